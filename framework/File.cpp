#include "framework/File.h"

namespace {

CString NamePart(const CString& path)
{
    int cut = -1;
    for (int i = 0; i < path.GetLength(); ++i)
        if (path[i] == L'\\' || path[i] == L'/')
            cut = i;
    return path.Mid(cut + 1);
}

CString TitlePart(const CString& name)
{
    int dot = name.ReverseFind(L'.');
    return dot > 0 ? name.Left(dot) : name;
}

} // namespace

// ---------------------------------------------------------------- CFile

BOOL CFile::Open(const wchar_t* path, UINT flags, CFileException* error)
{
    Close();
    DWORD access = 0;
    switch (flags & 3) {
    case modeRead: access = GENERIC_READ; break;
    case modeWrite: access = GENERIC_WRITE; break;
    default: access = GENERIC_READ | GENERIC_WRITE; break;
    }
    DWORD share = 0;
    switch (flags & 0x70) {
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: share = 0; break;
    }
    DWORD creation = OPEN_EXISTING;
    if (flags & modeCreate)
        creation = (flags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, (flags & modeNoInherit) ? FALSE : TRUE};
    HANDLE h = CreateFileW(path ? path : L"", access, share, &sa, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (error) {
            error->m_lOsError = (LONG)GetLastError();
            error->m_strFileName = path;
        }
        return FALSE;
    }
    m_hFile = h;
    // Keep the full path so GetFilePath means the same after a folder change.
    wchar_t full[MAX_PATH * 2];
    DWORD n = GetFullPathNameW(path, MAX_PATH * 2, full, nullptr);
    m_strFilePath = (n > 0 && n < MAX_PATH * 2) ? CString(full) : CString(path);
    return TRUE;
}

void CFile::Close()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_strFilePath.Empty();
}

UINT CFile::Read(void* buffer, UINT count)
{
    if (!IsOpen() || count == 0)
        return 0;
    DWORD got = 0;
    if (!ReadFile(m_hFile, buffer, count, &got, nullptr))
        return 0;
    return got;
}

BOOL CFile::Write(const void* buffer, UINT count)
{
    if (!IsOpen())
        return FALSE;
    if (count == 0)
        return TRUE;
    DWORD written = 0;
    return WriteFile(m_hFile, buffer, count, &written, nullptr) && written == count;
}

BOOL CFile::Flush()
{
    return IsOpen() && FlushFileBuffers(m_hFile);
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from)
{
    if (!IsOpen())
        return (ULONGLONG)-1;
    DWORD method = from == end ? FILE_END : from == current ? FILE_CURRENT : FILE_BEGIN;
    LARGE_INTEGER dist, pos;
    dist.QuadPart = offset;
    if (!SetFilePointerEx(m_hFile, dist, &pos, method))
        return (ULONGLONG)-1;
    return (ULONGLONG)pos.QuadPart;
}

ULONGLONG CFile::GetPosition() const
{
    if (!IsOpen())
        return 0;
    LARGE_INTEGER zero, pos;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(m_hFile, zero, &pos, FILE_CURRENT))
        return 0;
    return (ULONGLONG)pos.QuadPart;
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (!IsOpen() || !GetFileSizeEx(m_hFile, &size))
        return 0;
    return (ULONGLONG)size.QuadPart;
}

BOOL CFile::SetLength(ULONGLONG length)
{
    if (!IsOpen())
        return FALSE;
    ULONGLONG old = GetPosition();
    if (Seek((LONGLONG)length, begin) == (ULONGLONG)-1 || !SetEndOfFile(m_hFile))
        return FALSE;
    Seek((LONGLONG)(old < length ? old : length), begin);
    return TRUE;
}

CString CFile::GetFileName() const
{
    return NamePart(m_strFilePath);
}

CString CFile::GetFileTitle() const
{
    return TitlePart(GetFileName());
}

// ---------------------------------------------------------------- CFileFind

BOOL CFileFind::FindFile(const wchar_t* pattern)
{
    Close();
    if (!pattern || !*pattern)
        pattern = L"*.*";
    wchar_t full[MAX_PATH * 2];
    DWORD n = GetFullPathNameW(pattern, MAX_PATH * 2, full, nullptr);
    CString path = (n > 0 && n < MAX_PATH * 2) ? CString(full) : CString(pattern);
    int cut = -1;
    for (int i = 0; i < path.GetLength(); ++i)
        if (path[i] == L'\\' || path[i] == L'/')
            cut = i;
    m_strRoot = cut >= 0 ? path.Left(cut) : CString();

    m_hFind = FindFirstFileW(pattern, &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    m_hasNext = true;
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (!m_hasNext)
        return FALSE;
    m_found = m_next;
    m_hasFound = true;
    m_hasNext = m_hFind != INVALID_HANDLE_VALUE && ::FindNextFileW(m_hFind, &m_next);
    return m_hasNext ? TRUE : FALSE;
}

void CFileFind::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE)
        FindClose(m_hFind);
    m_hFind = INVALID_HANDLE_VALUE;
    m_hasFound = m_hasNext = false;
}

CString CFileFind::GetFileName() const
{
    return m_hasFound ? CString(m_found.cFileName) : CString();
}

CString CFileFind::GetFilePath() const
{
    if (!m_hasFound)
        return CString();
    return m_strRoot + L"\\" + m_found.cFileName;
}

CString CFileFind::GetFileTitle() const
{
    return TitlePart(GetFileName());
}

ULONGLONG CFileFind::GetLength() const
{
    if (!m_hasFound)
        return 0;
    return ((ULONGLONG)m_found.nFileSizeHigh << 32) | m_found.nFileSizeLow;
}

BOOL CFileFind::GetLastWriteTime(FILETIME& time) const
{
    if (!m_hasFound)
        return FALSE;
    time = m_found.ftLastWriteTime;
    return TRUE;
}

BOOL CFileFind::IsDots() const
{
    if (!m_hasFound || !(m_found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return FALSE;
    const wchar_t* n = m_found.cFileName;
    return (n[0] == L'.' && (n[1] == 0 || (n[1] == L'.' && n[2] == 0))) ? TRUE : FALSE;
}
