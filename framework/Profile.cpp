#include "framework/Profile.h"
#include <cstdlib>

namespace {
// A default no stored value can equal, so a missing key can be told from an empty one.
const wchar_t kMissing[] = L"\x01\x02<missing>\x03";
}

bool CIniFile::GetString(const wchar_t* section, const wchar_t* key, CString& out) const
{
    std::wstring buffer(256, L'\0');
    DWORD n = 0;
    for (;;) {
        n = GetPrivateProfileStringW(section, key, kMissing, &buffer[0], (DWORD)buffer.size(), m_strPath);
        if (n + 2 < buffer.size() || buffer.size() >= 1u << 20)
            break;
        buffer.assign(buffer.size() * 4, L'\0');    // the value may have been cut
    }
    buffer.resize(n);
    if (buffer == kMissing)
        return false;
    out = CString(buffer);
    return true;
}

CString CIniFile::GetString(const wchar_t* section, const wchar_t* key, const wchar_t* def) const
{
    CString value;
    if (!GetString(section, key, value))
        return CString(def);
    return value;
}

int CIniFile::GetInt(const wchar_t* section, const wchar_t* key, int def) const
{
    CString value;
    if (!GetString(section, key, value) || value.IsEmpty())
        return def;
    return _wtoi(value);
}

bool CIniFile::WriteString(const wchar_t* section, const wchar_t* key, const wchar_t* value)
{
    return WritePrivateProfileStringW(section, key, value, m_strPath) != FALSE;
}

bool CIniFile::WriteInt(const wchar_t* section, const wchar_t* key, int value)
{
    wchar_t text[16];
    swprintf(text, 16, L"%d", value);
    return WriteString(section, key, text);
}
