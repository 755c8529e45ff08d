// Binary file access and folder searching with the familiar MFC-style interface.
// Failures are reported by return values; nothing here throws.
#pragma once
#include <windows.h>
#include "framework/CString.h"

// Filled by CFile::Open when it fails.
struct CFileException {
    LONG m_lOsError = 0;     // GetLastError value
    CString m_strFileName;
};

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,      // accepted, the file is always binary
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile() = default;
    CFile(const wchar_t* path, UINT flags) { Open(path, flags); }
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    virtual ~CFile() { Close(); }

    // modeCreate alone creates or truncates; with modeNoTruncate it opens or creates.
    BOOL Open(const wchar_t* path, UINT flags, CFileException* error = nullptr);
    void Close();
    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

    // Bytes read; 0 at the end of the file or on failure.
    UINT Read(void* buffer, UINT count);
    // TRUE only when every byte was written.
    BOOL Write(const void* buffer, UINT count);
    BOOL Flush();

    // New position, or (ULONGLONG)-1 on failure.
    ULONGLONG Seek(LONGLONG offset, UINT from);
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG GetPosition() const;
    ULONGLONG GetLength() const;
    BOOL SetLength(ULONGLONG length);

    CString GetFilePath() const { return m_strFilePath; }
    CString GetFileName() const;
    CString GetFileTitle() const;

    HANDLE m_hFile = INVALID_HANDLE_VALUE;

private:
    CString m_strFilePath;
};

class CFileFind {
public:
    CFileFind() = default;
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;
    ~CFileFind() { Close(); }

    // Starts a search; call FindNextFile before reading the first match.
    BOOL FindFile(const wchar_t* pattern = L"*.*");
    // Moves to the next match; FALSE when the match just reached is the last one
    // (its data stays readable).
    BOOL FindNextFile();
    void Close();

    CString GetFileName() const;
    CString GetFilePath() const;     // folder of the pattern + "\" + name
    CString GetFileTitle() const;    // name without its extension
    CString GetRoot() const { return m_strRoot; }
    ULONGLONG GetLength() const;
    BOOL GetLastWriteTime(FILETIME& time) const;
    DWORD GetAttributes() const { return m_found.dwFileAttributes; }
    BOOL IsDirectory() const { return Has(FILE_ATTRIBUTE_DIRECTORY); }
    BOOL IsHidden() const { return Has(FILE_ATTRIBUTE_HIDDEN); }
    BOOL IsReadOnly() const { return Has(FILE_ATTRIBUTE_READONLY); }
    BOOL IsSystem() const { return Has(FILE_ATTRIBUTE_SYSTEM); }
    BOOL IsDots() const;

private:
    BOOL Has(DWORD attr) const { return m_hasFound && (m_found.dwFileAttributes & attr) ? TRUE : FALSE; }

    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW m_found = {};
    WIN32_FIND_DATAW m_next = {};
    bool m_hasFound = false;
    bool m_hasNext = false;
    CString m_strRoot;               // without a trailing separator
};
