#include "framework/FileUtil.h"

#include <cwctype>

namespace {

// Also leaves the code as the thread's last error, for callers that word
// the reason themselves.
void SetError(CString* error, const wchar_t* what, const wchar_t* path, DWORD code)
{
    SetLastError(code);
    if (!error)
        return;
    CString text;
    text.Format(L"%s \"%s\": %s", what, path, SystemErrorText(code).GetString());
    *error = text;
}

} // namespace

CString ParentFolder(const wchar_t* path)
{
    CString p(path);
    int cut = -1;
    for (int i = 0; i < p.GetLength(); ++i)
        if (p[i] == L'\\' || p[i] == L'/')
            cut = i;
    if (cut <= 0)
        return CString();
    return p.Left(cut);
}

bool ReadWholeFile(const wchar_t* path, std::string& bytes)
{
    bytes.clear();
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart > 0x7FFFFFFF) {
        ok = false;
    } else {
        bytes.resize((size_t)size.QuadPart);
        size_t done = 0;
        while (done < bytes.size()) {
            DWORD got = 0;
            if (!ReadFile(file, &bytes[done], (DWORD)(bytes.size() - done), &got, nullptr)) {
                ok = false;
                break;
            }
            if (got == 0)
                break;      // the file shrank while we read it
            done += got;
        }
        bytes.resize(done);
    }
    CloseHandle(file);
    if (!ok)
        bytes.clear();
    return ok;
}

// Writes all of data (flushed to disk when asked) and closes the file; false
// with the error code when any step failed.
static bool WriteAndClose(HANDLE file, const void* data, size_t size, bool flush, DWORD& code)
{
    DWORD written = 0;
    bool ok = WriteFile(file, data, (DWORD)size, &written, nullptr) != FALSE;
    code = ok ? 0 : GetLastError();
    if (ok && written != (DWORD)size) {
        ok = false;
        code = ERROR_DISK_FULL;
    }
    if (ok && flush && !FlushFileBuffers(file)) {
        ok = false;
        code = GetLastError();
    }
    if (!CloseHandle(file) && ok) {
        ok = false;
        code = GetLastError();
    }
    return ok;
}

bool WriteFileReplacing(const wchar_t* path, const void* data, size_t size, CString* error)
{
    if (!path || !*path) {
        SetError(error, L"Cannot write", L"", ERROR_INVALID_NAME);
        return false;
    }
    DWORD attr = GetFileAttributesW(path);
    if (attr != INVALID_FILE_ATTRIBUTES &&
        (attr & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
        // Never put the file where a folder is, and keep a read-only file as Windows
        // does (Wine's rename would replace it).
        SetError(error, L"Cannot write", path, ERROR_ACCESS_DENIED);
        return false;
    }
    if (size > 0xFFFFFFFFu) {
        SetError(error, L"Cannot write", path, ERROR_FILE_TOO_LARGE);
        return false;
    }
    const CString temp = SaveTempPath(path);
    HANDLE file = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        SetError(error, L"Cannot create", temp, GetLastError());
        return false;
    }
    DWORD code = 0;
    const bool ok = WriteAndClose(file, data, size, true, code);
    if (!ok) {
        DeleteFileW(temp);
        SetError(error, L"Cannot write", temp, code);
        return false;
    }
    if (!MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        code = GetLastError();
        DeleteFileW(temp);
        SetError(error, L"Cannot replace", path, code);
        return false;
    }
    return true;
}

CString SaveTempPath(const wchar_t* path)
{
    const CString folder = ParentFolder(path);
    // Saves of different files in one folder never share a temporary file.
    const DWORD hash = PathHash(path);
    CString name;
    name.Format(L"~sav%lx_%08lx.~tmp", (unsigned long)GetCurrentProcessId(), (unsigned long)hash);
    return folder.IsEmpty() ? name : folder + L"\\" + name;
}

bool IsSaveLeftoverName(const wchar_t* name)
{
    const size_t n = wcslen(name);
    return n >= 5 && _wcsicmp(name + n - 5, L".~tmp") == 0;
}

static NewFileFaultHook s_newFileFault = nullptr;

NewFileFaultHook SetNewFileFaultHook(NewFileFaultHook hook)
{
    NewFileFaultHook old = s_newFileFault;
    s_newFileFault = hook;
    return old;
}

bool WriteNewFile(const wchar_t* path, const void* data, size_t size, CString* error)
{
    if (size > 0xFFFFFFFFu) {
        SetError(error, L"Cannot write", path, ERROR_FILE_TOO_LARGE);
        return false;
    }
    if (const DWORD fault = s_newFileFault ? s_newFileFault(path) : 0) {
        SetError(error, L"Cannot write", path, fault);
        return false;
    }
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        SetError(error, L"Cannot create", path, GetLastError());
        return false;
    }
    DWORD code = 0;
    const bool ok = WriteAndClose(file, data, size, false, code);
    if (!ok) {
        DeleteFileW(path);
        SetError(error, L"Cannot write", path, code);
    }
    return ok;
}

bool BackupFileOnce(const wchar_t* path, const wchar_t* backupPath)
{
    if (FileExists(backupPath))
        return true;
    if (!FileExists(path))
        return false;
    CString folder = ParentFolder(backupPath);
    if (!folder.IsEmpty() && !CreateFolderTree(folder))
        return false;
    return CopyFileW(path, backupPath, TRUE) != FALSE;
}

bool BackupFileKeepingOthers(const wchar_t* path, CString& backupPath)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return false;
    const CString first = backupPath;
    const CString folder = ParentFolder(first);
    if (!folder.IsEmpty() && !CreateFolderTree(folder))
        return false;
    int dot = first.ReverseFind(L'.');
    if (dot <= first.ReverseFind(L'\\'))
        dot = first.GetLength();
    for (int n = 1; n < 10000; ++n) {
        CString candidate = first;
        if (n > 1)
            candidate.Format(L"%s_%d%s", first.Left(dot).GetString(), n, first.Mid(dot).GetString());
        if (!FileExists(candidate)) {
            if (!CopyFileW(path, candidate, TRUE))
                return false;
            backupPath = candidate;
            return true;
        }
        std::string kept;
        if (ReadWholeFile(candidate, kept) && kept == bytes) {
            backupPath = candidate;
            return true;
        }
    }
    return false;
}

DWORD PathHash(const wchar_t* path)
{
    DWORD hash = 2166136261u;
    for (const wchar_t* p = path; *p; ++p)
        hash = (hash ^ (DWORD)towlower(*p)) * 16777619u;
    return hash;
}

bool CreateFolderTree(const wchar_t* path)
{
    if (!path || !*path)
        return false;
    CString p(path);
    p.Replace(L'/', L'\\');
    while (p.GetLength() > 1 && p[p.GetLength() - 1] == L'\\')
        p.Delete(p.GetLength() - 1);
    if (FolderExists(p))
        return true;
    // Skip the root: "C:\", "\\server\share\" or a leading "\".
    int start = 0;
    if (p.GetLength() >= 2 && p[1] == L':')
        start = 3;
    else if (p.Left(2) == L"\\\\") {
        int server = p.Find(L'\\', 2);
        int share = server < 0 ? -1 : p.Find(L'\\', server + 1);
        start = share < 0 ? p.GetLength() : share + 1;
    } else if (p.GetLength() > 0 && p[0] == L'\\')
        start = 1;
    for (int i = start; i <= p.GetLength(); ++i) {
        if (i == p.GetLength() || p[i] == L'\\') {
            CString part = p.Left(i);
            if (!part.IsEmpty() && !FolderExists(part))
                CreateDirectoryW(part, nullptr);
        }
    }
    return FolderExists(p);
}

bool DeleteFolderTree(const wchar_t* path)
{
    if (!path || !*path)
        return false;
    CString base(path);
    while (base.GetLength() > 3 && (base[base.GetLength() - 1] == L'\\' || base[base.GetLength() - 1] == L'/'))
        base.Delete(base.GetLength() - 1);
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(base + L"\\*", &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const CString name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const CString child = base + L"\\" + name;
            SetFileAttributesW(child, FILE_ATTRIBUTE_NORMAL);
            // A linked folder goes as a link; what it points to stays.
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                RemoveDirectoryW(child);
            else if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteFolderTree(child);
            else
                DeleteFileW(child);
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    SetFileAttributesW(base, FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(base);
    return !PathExists(base);
}

bool FileExists(const wchar_t* path)
{
    if (!path || !*path)
        return false;
    DWORD attr = GetFileAttributesW(path);
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathExists(const wchar_t* path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

bool FolderExists(const wchar_t* path)
{
    if (!path || !*path)
        return false;
    DWORD attr = GetFileAttributesW(path);
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

CString SystemErrorText(DWORD code)
{
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, (LPWSTR)&buffer, 0, nullptr);
    CString text;
    if (n && buffer)
        text = CString(buffer, (int)n);
    if (buffer)
        LocalFree(buffer);
    text.Trim();
    if (text.IsEmpty())
        text.Format(L"error %lu", (unsigned long)code);
    return text;
}
