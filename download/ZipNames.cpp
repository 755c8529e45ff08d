#include "download/ZipNames.h"

#include <cwchar>
#include <cwctype>

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$, CONOUT$, with or without an
// extension ("nul.txt" opens the device too).
bool IsDeviceName(const wchar_t* step, int len)
{
    int base = 0;
    while (base < len && step[base] != L'.')
        ++base;
    while (base > 0 && step[base - 1] == L' ')
        --base;
    wchar_t up[8] = {};
    if (base < 3 || base > 7)
        return false;
    for (int i = 0; i < base; ++i)
        up[i] = (wchar_t)towupper(step[i]);
    static const wchar_t* const kNames[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* n : kNames)
        if (wcscmp(up, n) == 0)
            return true;
    if (base == 4 && (wcsncmp(up, L"COM", 3) == 0 || wcsncmp(up, L"LPT", 3) == 0) && up[3] >= L'0' &&
        up[3] <= L'9')
        return true;
    return false;
}

bool IsSafeStep(const wchar_t* step, int len)
{
    if (len == 0)
        return false;
    if (step[len - 1] == L'.' || step[len - 1] == L' ')   // also "." and ".."
        return false;
    return !IsDeviceName(step, len);
}

} // namespace

CString DecodeEntryName(const char* bytes, int len, bool bUtf8)
{
    if (!bytes || len <= 0)
        return CString();
    return MultiByteToWide(bytes, len, bUtf8 ? CP_UTF8 : CP_ACP);
}

void CleanEntryName(wchar_t* name)
{
    static const wchar_t* const kUp[] = {L"\\..\\", L"\\../", L"/../", L"/..\\"};
    for (bool changed = true; changed;) {
        changed = false;
        size_t len = wcslen(name);
        if (len >= 2 && name[1] == L':') {
            memmove(name, name + 2, (len - 1) * sizeof(wchar_t));
            changed = true;
            continue;
        }
        if (len >= 1 && IsSeparator(name[0])) {
            memmove(name, name + 1, len * sizeof(wchar_t));
            changed = true;
            continue;
        }
        for (const wchar_t* up : kUp) {
            if (const wchar_t* at = wcsstr(name, up)) {
                const wchar_t* rest = at + 4;
                memmove(name, rest, (wcslen(rest) + 1) * sizeof(wchar_t));
                changed = true;
                break;
            }
        }
    }
}

bool IsSafeRelativeName(const wchar_t* name, int maxLen)
{
    if (!name)
        return false;
    const int len = (int)wcslen(name);
    if (len == 0 || len > maxLen || IsSeparator(name[0]))
        return false;
    int stepStart = 0;
    for (int i = 0; i <= len; ++i) {
        const wchar_t c = name[i];
        if (i == len || IsSeparator(c)) {
            // One trailing separator marks a folder entry.
            if (i == len && stepStart == len && len > 0 && IsSeparator(name[len - 1]))
                break;
            if (!IsSafeStep(name + stepStart, i - stepStart))
                return false;
            stepStart = i + 1;
            continue;
        }
        if (c < 0x20 || c == 0x7F || wcschr(L":<>\"|?*", c))
            return false;
    }
    return true;
}

bool IsPathInside(const wchar_t* folder, const wchar_t* path)
{
    wchar_t fullFolder[MAX_PATH * 2];
    wchar_t fullPath[MAX_PATH * 2];
    DWORD n1 = GetFullPathNameW(folder, MAX_PATH * 2, fullFolder, nullptr);
    DWORD n2 = GetFullPathNameW(path, MAX_PATH * 2, fullPath, nullptr);
    if (n1 == 0 || n1 >= MAX_PATH * 2 || n2 == 0 || n2 >= MAX_PATH * 2)
        return false;
    CString base(fullFolder);
    base.Replace(L'/', L'\\');
    CString full(fullPath);
    full.Replace(L'/', L'\\');
    while (base.GetLength() > 0 && base[base.GetLength() - 1] == L'\\')
        base.Delete(base.GetLength() - 1);
    base += L'\\';
    return full.GetLength() > base.GetLength() && full.Left(base.GetLength()).CompareNoCase(base) == 0;
}
