#include "app/LibraryNames.h"
#include "app/LibraryPaths.h"
#include "framework/FileUtil.h"
#include <cwchar>
#include <cwctype>

namespace {

const wchar_t kForbidden[] = L"\\/:*?\"<>|";

bool IsForbiddenChar(wchar_t ch)
{
    return ch < 0x20 || wcschr(kForbidden, ch) != nullptr;
}

bool IsBlank(wchar_t ch)
{
    return ch == L' ' || ch == L'\t' || ch == 0x3000;   // 0x3000: ideographic space
}

void TrimNameEnd(CString& name)
{
    while (!name.IsEmpty()) {
        const wchar_t last = name[name.GetLength() - 1];
        if (last != L'.' && !IsBlank(last))
            break;
        name.Delete(name.GetLength() - 1);
    }
}

bool IsReservedDeviceName(const CString& name)
{
    CString base = name;
    const int dot = base.Find(L'.');
    if (dot >= 0)
        base = base.Left(dot);
    base.TrimRight();
    static const wchar_t* const kReserved[] = {L"CON", L"PRN", L"AUX", L"NUL"};
    for (const wchar_t* reserved : kReserved) {
        if (base.CompareNoCase(reserved) == 0)
            return true;
    }
    if (base.GetLength() == 4 && base[3] >= L'1' && base[3] <= L'9') {
        const CString stem = base.Left(3);
        if (stem.CompareNoCase(L"COM") == 0 || stem.CompareNoCase(L"LPT") == 0)
            return true;
    }
    return false;
}

bool ListedIn(const std::vector<CString>& texts, const CString& name, const CString& except)
{
    for (const CString& text : texts) {
        if (text == except)
            continue;
        if (text.CompareNoCase(name) == 0)
            return true;
    }
    return false;
}

void SetMessage(CString* message, const CString& text)
{
    if (message)
        *message = text;
}

} // namespace

bool IsArticleName(const CString& name)
{
    return name.Find(L".xml") >= 0;
}

bool IsNumberedName(const CString& name)
{
    return name.Find(L'_') == 4;
}

int NameNumber(const CString& name)
{
    return _wtoi(name.Left(4));
}

int NextItemNumber(const std::vector<LibraryChild>& children)
{
    if (!children.empty() && IsNumberedName(children.back().text))
        return NameNumber(children.back().text) + 1;
    int leaves = 0;
    for (const LibraryChild& child : children) {
        if (!child.hasChildren)
            ++leaves;
    }
    return leaves + 1;
}

CString NumberedNewName(int number, bool article)
{
    CString name;
    name.Format(article ? L"%04d_新文章.xml" : L"%04d_新目录", number);
    return name;
}

CString NewItemName(const CString& folderPath, const std::vector<LibraryChild>& children, bool article)
{
    std::vector<CString> texts;
    for (const LibraryChild& child : children)
        texts.push_back(child.text);
    int number = NextItemNumber(children);
    CString name = NumberedNewName(number, article);
    // Folders not yet expanded show only one child, so the disk has the last word.
    for (int tries = 0; tries < 100000; ++tries) {
        const bool taken = ListedIn(texts, name, CString()) ||
                           (!folderPath.IsEmpty() && PathExists(AppendPathPart(folderPath, name)));
        if (!taken)
            break;
        name = NumberedNewName(++number, article);
    }
    return name;
}

CString CleanNamePart(const CString& text, int maxLength)
{
    CString clean;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (!IsForbiddenChar(text[i]))
            clean += text[i];
    }
    while (!clean.IsEmpty() && IsBlank(clean[0]))
        clean.Delete(0);
    TrimNameEnd(clean);
    if (clean.GetLength() > maxLength) {
        int cut = maxLength;
        if (IS_HIGH_SURROGATE(clean[cut - 1]))
            --cut;
        clean = clean.Left(cut);
        TrimNameEnd(clean);
    }
    return clean;
}

bool HasArticleMark(const CString& name)
{
    CString lower = name;
    lower.MakeLower();
    return lower.Find(L".xml") >= 0;
}

bool FitsNameOnDisk(const CString& name)
{
    if (name.GetLength() > kMaxNameOnDisk)
        return false;
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, name.GetString(), name.GetLength(), nullptr, 0,
                                          nullptr, nullptr);
    return bytes <= kMaxNameOnDisk;
}

bool IsAcceptableName(const CString& name)
{
    if (name.IsEmpty() || !FitsNameOnDisk(name) || name == L"." || name == L"..")
        return false;
    for (int i = 0; i < name.GetLength(); ++i) {
        if (IsForbiddenChar(name[i]))
            return false;
    }
    const wchar_t last = name[name.GetLength() - 1];
    if (last == L'.' || IsBlank(last))
        return false;
    return !IsReservedDeviceName(name);
}

CString TitleForEditing(const CString& itemText, CString& prefix, bool& isArticle, CString* folderSuffix)
{
    CString text = itemText;
    isArticle = IsArticleName(text);
    if (folderSuffix)
        folderSuffix->Empty();
    if (isArticle && text.GetLength() >= 4 && text.Right(4) == L".xml") {
        if (folderSuffix)
            *folderSuffix = text.Right(4);
        text = text.Left(text.GetLength() - 4);
    }
    prefix.Empty();
    if (IsNumberedName(text)) {
        prefix = text.Left(5);
        text = text.Mid(5);
    }
    return text;
}

bool CompleteEditedName(const CString& prefix, const CString& typedTitle, bool isArticle, CString& newName,
                        CString* note, const CString& folderSuffix)
{
    SetMessage(note, CString());
    CString title = CleanNamePart(typedTitle);
    const bool endsInMark = title.GetLength() >= 4 && title.Right(4) == L".xml";
    if (isArticle) {
        // A typed ".xml" at the end is the extension, kept out of the cut.
        if (endsInMark && !IsArticleName(prefix + title.Left(title.GetLength() - 4))) {
            title = title.Left(title.GetLength() - 4);
            TrimNameEnd(title);
        }
    } else {
        while (title.GetLength() >= 4 && title.Right(4) == L".xml") {
            title = title.Left(title.GetLength() - 4);
            TrimNameEnd(title);
        }
        if (HasArticleMark(prefix + title)) {
            CString text;
            text.Format(L"目录名称中不能含有“.xml”：%s", (prefix + title).GetString());
            SetMessage(note, text);
            return false;
        }
    }
    if (title.IsEmpty())
        return false;
    const CString suffix = isArticle ? (IsArticleName(prefix + title) ? CString() : CString(L".xml")) : folderSuffix;
    bool cut = false;
    while (!title.IsEmpty() && !FitsNameOnDisk(prefix + title + suffix)) {
        int keep = title.GetLength() - 1;
        if (keep > 0 && IS_HIGH_SURROGATE(title[keep - 1]))
            --keep;
        title = title.Left(keep);
        TrimNameEnd(title);
        cut = true;
    }
    if (title.IsEmpty())
        return false;
    const CString name = prefix + title + suffix;
    if (!IsAcceptableName(name))
        return false;
    if (cut) {
        CString text;
        text.Format(L"名称太长，标题已截短为：%s", title.GetString());
        SetMessage(note, text);
    }
    newName = name;
    return true;
}

RenameResult RenameItemOnDisk(const CString& folder, const CString& oldName, const CString& newName,
                              const std::vector<CString>& siblingTexts, CString* message)
{
    if (newName == oldName)
        return RenameResult::Unchanged;
    CString text;
    if (!IsAcceptableName(newName)) {
        text.Format(L"“%s”不能用作文件名。", newName.GetString());
        SetMessage(message, text);
        return RenameResult::Refused;
    }
    if (!IsArticleName(oldName) && HasArticleMark(newName)) {
        text.Format(L"目录名称中不能含有“.xml”：%s", newName.GetString());
        SetMessage(message, text);
        return RenameResult::Refused;
    }
    const CString oldPath = AppendPathPart(folder, oldName);
    const CString newPath = AppendPathPart(folder, newName);
    const int limit = IsArticleName(newName) ? kMaxLibraryFilePath : kMaxLibraryFolderPath;
    if (newPath.GetLength() > limit || oldPath.GetLength() > kMaxLibraryFilePath) {
        SetMessage(message, PathTooLongMessage(newPath));
        return RenameResult::Refused;
    }
    // Changing only the letter case keeps the same item.
    const bool sameItem = oldName.CompareNoCase(newName) == 0;
    if (!sameItem && (ListedIn(siblingTexts, newName, oldName) || PathExists(newPath))) {
        text.Format(L"已有同名的文件或目录：%s", newName.GetString());
        SetMessage(message, text);
        return RenameResult::Refused;
    }
    if (PathExists(oldPath)) {
        if (!MoveFileW(oldPath, newPath)) {
            text.Format(L"无法更改名称：%s\n%s", oldPath.GetString(),
                        SystemErrorText(GetLastError()).GetString());
            SetMessage(message, text);
            return RenameResult::Refused;
        }
        return RenameResult::Renamed;
    }
    if (IsArticleName(newName))
        return RenameResult::NothingOnDisk;
    if (!CreateDirectoryW(newPath, nullptr)) {
        text.Format(L"无法创建目录：%s\n%s", newPath.GetString(),
                    SystemErrorText(GetLastError()).GetString());
        SetMessage(message, text);
        return RenameResult::Refused;
    }
    return RenameResult::FolderCreated;
}

bool DeleteItemOnDisk(const CString& folder, const CString& name)
{
    if (name.IsEmpty())
        return false;
    const CString path = AppendPathPart(folder, name);
    if (path.GetLength() > kMaxLibraryFilePath)
        return false;
    if (FolderExists(path))
        return RemoveDirectoryW(path) != FALSE;
    return DeleteFileW(path) != FALSE;
}
