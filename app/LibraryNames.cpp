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

bool IsAcceptableName(const CString& name)
{
    if (name.IsEmpty() || name.GetLength() > kMaxNameOnDisk || name == L"." || name == L"..")
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

CString TitleForEditing(const CString& itemText, CString& prefix, bool& isArticle)
{
    CString text = itemText;
    isArticle = IsArticleName(text);
    if (isArticle && text.GetLength() >= 4 && text.Right(4) == L".xml")
        text = text.Left(text.GetLength() - 4);
    prefix.Empty();
    if (IsNumberedName(text)) {
        prefix = text.Left(5);
        text = text.Mid(5);
    }
    return text;
}

bool CompleteEditedName(const CString& prefix, const CString& typedTitle, bool isArticle, CString& newName)
{
    CString title = CleanNamePart(typedTitle);
    if (title.IsEmpty())
        return false;
    CString name = prefix + title;
    if (isArticle) {
        if (!IsArticleName(name))
            name += L".xml";
    } else if (name.GetLength() >= 4 && name.Right(4) == L".xml") {
        name = name.Left(name.GetLength() - 4);
        TrimNameEnd(name);
    }
    if (!IsAcceptableName(name))
        return false;
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
    if (IsArticleName(name))
        return DeleteFileW(path) != FALSE;
    return RemoveDirectoryW(path) != FALSE;
}
