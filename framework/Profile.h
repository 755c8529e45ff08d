// A settings file in INI form (GetPrivateProfileString and friends; text in the
// ANSI code page). The path should be a full path.
#pragma once
#include <windows.h>
#include "framework/CString.h"

class CIniFile {
public:
    explicit CIniFile(const wchar_t* path) : m_strPath(path) {}

    const CString& GetPath() const { return m_strPath; }

    // False when the key (or the file) is missing; an empty value is found and true.
    bool GetString(const wchar_t* section, const wchar_t* key, CString& out) const;
    CString GetString(const wchar_t* section, const wchar_t* key, const wchar_t* def) const;
    // Decimal number with optional sign, read like _wtoi (letters give 0);
    // def when the key is missing or its value is empty.
    int GetInt(const wchar_t* section, const wchar_t* key, int def) const;

    bool WriteString(const wchar_t* section, const wchar_t* key, const wchar_t* value);
    bool WriteInt(const wchar_t* section, const wchar_t* key, int value);   // "%d"

private:
    CString m_strPath;
};
