// Temporary folders and small file helpers shared by the tests.
#pragma once
#include "framework/CString.h"
#include <ostream>
#include <set>
#include <string>

// Readable failures: CString printed as UTF-8.
void PrintTo(const CString& s, std::ostream* os);

namespace testfiles {

// Removes a folder and everything below it (read-only files too).
void DeleteTree(const CString& folder);
// Names of the entries of a folder, "." and ".." left out.
std::set<CString> Listing(const CString& folder);
// Every file and folder below a folder, as paths relative to it ("a\\b.txt");
// folders end with a backslash.
std::set<CString> ListingTree(const CString& folder);
// Writes bytes to a file (created or emptied); false when it cannot be written.
bool PutFile(const CString& path, const std::string& bytes);
// The whole file, or "" when it cannot be read.
std::string GetFile(const CString& path);

// A fresh folder with a Chinese name under the temporary folder, removed at the end.
// Path() has no trailing backslash.
class TempFolder {
public:
    explicit TempFolder(const wchar_t* stem = L"测试");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const CString& Path() const { return m_path; }
    CString Sub(const wchar_t* relative) const { return m_path + L"\\" + relative; }

private:
    CString m_path;
};

} // namespace testfiles
