#include "app/LibraryPaths.h"
#include "framework/FileUtil.h"

namespace {

bool EndsWith(const CString& text, const wchar_t* tail)
{
    const int n = (int)wcslen(tail);
    return text.GetLength() >= n && text.Right(n) == tail;
}

bool EndsWithBackslash(const CString& text)
{
    return !text.IsEmpty() && text[text.GetLength() - 1] == L'\\';
}

} // namespace

void CPathParts::PushPathPart(const CString& part)
{
    if (part.IsEmpty())
        return;
    m_parts.insert(m_parts.begin(), part);
}

CString CPathParts::JoinPathParts() const
{
    CString joined;
    for (const CString& part : m_parts)
        joined += L"\\" + part;
    return joined;
}

CString CPathParts::GetFullPath() const
{
    CString path = m_strRoot;
    for (const CString& part : m_parts)
        path = AppendPathPart(path, part);
    return path;
}

CString CPathParts::GetAt(int i) const
{
    if (i < 0 || i >= (int)m_parts.size())
        return CString();
    return m_parts[(size_t)i];
}

CString CPathParts::GetLast() const
{
    return m_parts.empty() ? CString() : m_parts.back();
}

void CPathParts::SetParts(const std::vector<CString>& parts)
{
    // The first empty slot ends the path.
    m_parts.clear();
    for (const CString& part : parts) {
        if (part.IsEmpty())
            break;
        m_parts.push_back(part);
    }
}

bool CPathParts::SameArticle(const CPathParts& other) const
{
    return m_strRoot.CompareNoCase(other.m_strRoot) == 0 && m_parts == other.m_parts;
}

bool CPathParts::RenamePrefix(const CPathParts& renamedItem, const CString& newName)
{
    const std::vector<CString>& prefix = renamedItem.m_parts;
    if (prefix.empty() || newName.IsEmpty() || prefix.size() > m_parts.size())
        return false;
    if (m_strRoot.CompareNoCase(renamedItem.m_strRoot) != 0)
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (m_parts[i] != prefix[i])
            return false;
    }
    CString& slot = m_parts[prefix.size() - 1];
    if (slot == newName)
        return false;
    slot = newName;
    return true;
}

int IsFolderPart(const CString& part, CString* out)
{
    if (out)
        *out = part;
    return !part.IsEmpty() && part.Find(L".xml") < 0 ? 1 : 0;
}

int IsInWritingFolder(const std::vector<CString>& textsBelowRoot)
{
    for (const CString& text : textsBelowRoot) {
        if (text.Find(L"写小说") >= 0)
            return 1;
    }
    return 0;
}

int IsInWritingFolder(const CPathParts& parts)
{
    return IsInWritingFolder(parts.GetParts());
}

CString AppendPathPart(const CString& folder, const CString& part)
{
    if (folder.IsEmpty() || EndsWithBackslash(folder))
        return folder + part;
    return folder + L"\\" + part;
}

CString PathTooLongMessage(const CString& path)
{
    CString text;
    text.Format(L"路径太长，无法保存或打开：\n%s", path.GetString());
    return text;
}

bool BuildArticlePath(const CPathParts& parts, CString& folder, CString& path, bool createFolders,
                      CString* error)
{
    folder.Empty();
    path.Empty();
    if (parts.GetRoot().IsEmpty()) {
        if (error)
            *error = L"没有打开藏书库。";
        return false;
    }
    // Work out both paths first, so an over-long one creates nothing.
    CString f = parts.GetRoot();
    while (f.GetLength() > 3 && EndsWithBackslash(f))
        f.Delete(f.GetLength() - 1);
    std::vector<CString> folders;
    CString name;
    const std::vector<CString>& all = parts.GetParts();
    for (size_t i = 0; i < all.size(); ++i) {
        const CString& part = all[i];
        // Only the last component can be the article: a folder above it is a
        // folder whatever its name holds.
        if (!IsFolderPart(part, &name) && i + 1 == all.size())
            break;
        f = AppendPathPart(f, part);
        folders.push_back(f);
        name.Empty();
    }
    CString p = EndsWithBackslash(f) ? f + name : f + L"\\" + name;
    if (f.GetLength() > kMaxLibraryFolderPath || p.GetLength() > kMaxLibraryFilePath) {
        if (error)
            *error = PathTooLongMessage(p);
        return false;
    }
    if (createFolders) {
        for (const CString& each : folders) {
            if (!FolderExists(each))
                CreateDirectoryW(each, nullptr);
        }
    }
    folder = f;
    path = p;
    return true;
}

CString TitleBanner()
{
    return CString(L"Lumivell-Velquor") + L"  " + L"意见与建议请告诉作者" + CString(L' ', 21);
}

CString ArticleWindowTitle(const CString& parentText, const CString& itemText)
{
    CString title = itemText;
    if (EndsWith(title, L".xml"))
        title = title.Left(title.GetLength() - 4);
    return TitleBanner() + parentText + L"------" + title;
}

CString ItemPathFromTexts(const std::vector<CString>& textsFromRoot)
{
    CString path;
    for (size_t i = 0; i < textsFromRoot.size(); ++i) {
        path += textsFromRoot[i];
        if (i + 1 < textsFromRoot.size() && !EndsWithBackslash(textsFromRoot[i]))
            path += L'\\';
    }
    return path;
}

CPathParts PartsFromTexts(const std::vector<CString>& textsFromRoot)
{
    CPathParts parts;
    if (textsFromRoot.empty())
        return parts;
    parts.SetRoot(textsFromRoot[0]);
    parts.SetParts(std::vector<CString>(textsFromRoot.begin() + 1, textsFromRoot.end()));
    return parts;
}

bool RenamePathPrefix(CString& fullPath, const CString& oldPrefix, const CString& newPrefix)
{
    const int n = oldPrefix.GetLength();
    if (n == 0 || fullPath.GetLength() < n)
        return false;
    if (fullPath.Left(n).CompareNoCase(oldPrefix) != 0)
        return false;
    if (fullPath.GetLength() > n && fullPath[n] != L'\\' && !EndsWithBackslash(oldPrefix))
        return false;   // "卷一" must not match "卷一续"
    fullPath = newPrefix + fullPath.Mid(n);
    return true;
}
