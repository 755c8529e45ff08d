#include "app/TxtFiles.h"

#include <windows.h>
#include <cwchar>
#include <set>
#include <tuple>
#include <vector>

#include "framework/File.h"
#include "framework/FileUtil.h"

namespace {

// Deeper folder trees than this are not walked (each level also lengthens
// every path below it).
const int kMaxFolderDepth = 64;

typedef std::tuple<DWORD, DWORD, DWORD> FolderId;

// The file system's identity of a folder (volume and file index), so that a
// folder reached again through a link is recognised.
bool GetFolderId(const CString& folder, FolderId& id)
{
    HANDLE h = CreateFileW(folder, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    const BOOL ok = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!ok || (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0))
        return false;
    id = FolderId(info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
    return true;
}

struct FolderEntry {
    CString name;       // lower-cased
    DWORD attributes;
};

class CFolderWalk {
public:
    explicit CFolderWalk(ITxtFolderVisitor& visitor) : m_visitor(visitor) {}

    void Walk(const CString& folder, int depth)
    {
        if (depth == 0) {
            FolderId id;
            if (GetFolderId(folder, id))
                m_seen.insert(id);
        }
        // The whole listing first: the import adds folders of its own, which
        // may lie below this one.
        std::vector<FolderEntry> entries;
        CFileFind find;
        BOOL more = find.FindFile(folder + L"\\*.*");
        while (more) {
            more = find.FindNextFile();
            if (find.IsDots())
                continue;
            CString name = find.GetFileName();
            name.MakeLower();
            entries.push_back({name, find.GetAttributes()});
        }
        find.Close();

        for (const FolderEntry& e : entries) {
            if (!m_visitor.GoOn())
                return;
            const CString path = folder + L"\\" + e.name;
            if (e.attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                if ((e.attributes & FILE_ATTRIBUTE_DIRECTORY) || e.name.Find(L".txt") >= 0)
                    m_visitor.Skipped(path, L"链接或联接，没有跟随");
                continue;
            }
            if (e.attributes & FILE_ATTRIBUTE_DIRECTORY) {
                // A folder met again (through a link the system does not mark) would loop.
                FolderId id;
                if (GetFolderId(path, id) && !m_seen.insert(id).second) {
                    m_visitor.Skipped(path, L"文件夹重复出现（链接形成的循环），已跳过");
                    continue;
                }
                if (depth + 1 > kMaxFolderDepth) {
                    m_visitor.Skipped(path, L"文件夹层次太深，已跳过");
                    continue;
                }
                m_visitor.EnterFolder(e.name);
                Walk(path, depth + 1);
                m_visitor.LeaveFolder();
            } else if (e.name.Find(L".txt") >= 0) {
                m_visitor.TxtFile(path);
            }
        }
    }

private:
    ITxtFolderVisitor& m_visitor;
    std::set<FolderId> m_seen;
};

// True when s[0, n) reads in codePage without an invalid sequence, by the
// system's own decoder.
bool ReadsWithoutError(const char* s, size_t n, UINT codePage)
{
    return n == 0 || MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, s, (int)n, nullptr, 0) > 0;
}

} // namespace

CString DecodeTxtBytes(const std::string& bytes, TxtDamage* damage)
{
    if (damage)
        *damage = TxtDamage::kNone;
    size_t n = bytes.size();
    const unsigned char* b = (const unsigned char*)bytes.data();
    if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
        const size_t units = (n - 2) / 2;
        if (damage && (n - 2) % 2 != 0)
            *damage = TxtDamage::kOddByte;
        // A zero unit is no character: it is left out, and the text after
        // it is kept.
        const wchar_t* w = (const wchar_t*)(bytes.data() + 2);
        std::wstring text;
        text.reserve(units);
        for (size_t i = 0; i < units; ++i)
            if (w[i] != 0)
                text += w[i];
        return CString(text.c_str(), (int)text.size());
    }
    // Zero bytes are left out the same way (no GBK or UTF-8 character holds
    // one).
    const char* s = bytes.data();
    std::string kept;
    if (memchr(s, 0, n)) {
        kept.reserve(n);
        for (size_t i = 0; i < n; ++i)
            if (s[i] != 0)
                kept += s[i];
        s = kept.data();
        n = kept.size();
    }
    b = (const unsigned char*)s;
    // After the UTF-8 mark the text is UTF-8, a damaged sequence losing
    // only itself. The mark's bytes also begin GBK texts ("锘" and a
    // character more): such a file reads whole in the ANSI code page.
    if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        if (ReadsWithoutError(s + 3, n - 3, CP_UTF8))
            return MultiByteToWide(s + 3, (int)(n - 3), CP_UTF8);
        if (!ReadsWithoutError(s, n, CP_ACP)) {
            if (damage)
                *damage = TxtDamage::kBadUtf8;
            return MultiByteToWide(s + 3, (int)(n - 3), CP_UTF8);
        }
    }
    return MultiByteToWide(s, (int)n, CP_ACP);
}

TxtReadResult ReadTxtFile(const CString& path, CString& text, TxtDamage* damage, CString* error)
{
    text.Empty();
    if (damage)
        *damage = TxtDamage::kNone;
    // Every refusal says why; a failure that leaves no error code still gets a reason.
    auto unreadable = [&](DWORD code) {
        if (error)
            *error = code ? SystemErrorText(code) : CString(L"无法打开文件");
        return TxtReadResult::kUnreadable;
    };
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) {
        const DWORD code = GetLastError();
        return PathExists(path) ? unreadable(code) : TxtReadResult::kMissing;
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (error)
            *error = L"这是一个文件夹";
        return TxtReadResult::kUnreadable;
    }
    const long long size = ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
    if (size == 0)
        return TxtReadResult::kEmpty;
    if (size > kMaxTxtBytes) {
        if (error)
            *error = L"文件太大";
        return TxtReadResult::kTooLarge;
    }
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return unreadable(GetLastError());
    if (bytes.empty())
        return TxtReadResult::kEmpty;
    text = DecodeTxtBytes(bytes, damage);
    return TxtReadResult::kText;
}

CString BookNameFromPath(const CString& path)
{
    CString name = path.Mid(path.ReverseFind(L'\\') + 1);
    if (name.GetLength() >= 4 && name.Right(4).CompareNoCase(L".txt") == 0)
        name = name.Left(name.GetLength() - 4);
    return name;
}

void WalkTxtFolder(const CString& folder, ITxtFolderVisitor& visitor)
{
    CString root = folder;
    while (root.GetLength() > 3 && root[root.GetLength() - 1] == L'\\')
        root = root.Left(root.GetLength() - 1);
    CFolderWalk walk(visitor);
    walk.Walk(root, 0);
}

bool IsFolderAtOrBelow(const CString& folder, const CString& path)
{
    FolderId id;
    const DWORD size = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (!GetFolderId(folder, id) || size == 0)
        return false;
    CString at;
    const DWORD length = GetFullPathNameW(path, size, at.GetBufferSetLength((int)size), nullptr);
    at.ReleaseBuffer(length < size ? (int)length : 0);
    while (at.GetLength() > 3 && (at.Right(1) == L"\\" || at.Right(1) == L"/"))
        at.Delete(at.GetLength() - 1);
    // Up from path, folder by folder to the drive's root: the same folder by
    // identity, whatever spelling, letter case or short name reached it.
    while (!at.IsEmpty()) {
        FolderId up;
        if (GetFolderId(at, up) && up == id)
            return true;
        if (at.Right(1) == L"\\")
            break;
        at = ParentFolder(at);
        if (at.Right(1) == L":")
            at += L'\\';
    }
    return false;
}
