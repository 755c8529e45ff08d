#include "tests/support/TempFiles.h"
#include "framework/FileUtil.h"
#include <windows.h>

void PrintTo(const CString& s, std::ostream* os)
{
    *os << '"' << WideToMultiByte(s.GetString(), s.GetLength(), CP_UTF8) << '"';
}

namespace testfiles {

void DeleteTree(const CString& folder)
{
    DeleteFolderTree(folder);
}

std::set<CString> Listing(const CString& folder)
{
    std::set<CString> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(folder + L"\\*", &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            CString name = fd.cFileName;
            if (name != L"." && name != L"..")
                names.insert(name);
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    return names;
}

std::set<CString> ListingTree(const CString& folder)
{
    std::set<CString> all;
    for (const CString& name : Listing(folder)) {
        const CString path = folder + L"\\" + name;
        if (GetFileAttributesW(path) & FILE_ATTRIBUTE_DIRECTORY) {
            all.insert(name + L"\\");
            for (const CString& sub : ListingTree(path))
                all.insert(name + L"\\" + sub);
        } else {
            all.insert(name);
        }
    }
    return all;
}

bool PutFile(const CString& path, const std::string& bytes)
{
    HANDLE h = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD n = 0;
    BOOL ok = WriteFile(h, bytes.data(), (DWORD)bytes.size(), &n, nullptr);
    CloseHandle(h);
    return ok && n == bytes.size();
}

std::string GetFile(const CString& path)
{
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

TempFolder::TempFolder(const wchar_t* stem)
{
    static int counter = 0;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    m_path.Format(L"%s%s_%lu_%d", temp, stem, GetCurrentProcessId(), ++counter);
    DeleteTree(m_path);
    CreateFolderTree(m_path);
}

TempFolder::~TempFolder()
{
    DeleteTree(m_path);
}

} // namespace testfiles
