#include "app/MruFile.h"
#include "framework/FileUtil.h"
#include "framework/Profile.h"
#include <cwchar>
#include <utility>

namespace {

const wchar_t kSection[] = L"Mru File";

CString KeyOf(int i)
{
    CString key;
    key.Format(L"%d", i + 1);
    return key;
}

// A path with "&" would show an underlined letter instead.
CString MenuText(const CString& path)
{
    CString text = path;
    text.Replace(L"&", L"&&");
    return text;
}

} // namespace

CString CMruFile::GetAt(int i) const
{
    if (i < 0 || i >= m_nCount)
        return CString();
    return m_strEntries[i];
}

void CMruFile::Add(const CString& path)
{
    if (m_nCount > 0 && _wcsicmp(m_strEntries[0], path) == 0)
        return;
    CString carried = path;
    bool stopped = false;
    for (int i = 0; i < m_nCount; ++i) {
        if (_wcsicmp(m_strEntries[i], path) == 0) {
            m_strEntries[i] = carried;
            stopped = true;
            break;
        }
        std::swap(m_strEntries[i], carried);
    }
    if (!stopped && m_nCount < kMruEntries)
        m_strEntries[m_nCount++] = carried;
    RebuildMenu();
    Save();
}

void CMruFile::Clear()
{
    m_nCount = 0;
    for (CString& entry : m_strEntries)
        entry.Empty();
    RebuildMenu();
    Save();
}

void CMruFile::Save()
{
    if (m_strIniPath.IsEmpty())
        return;
    // The profile functions make no folders: a first run has no "control" yet.
    const CString folder = ParentFolder(m_strIniPath);
    if (!folder.IsEmpty())
        CreateFolderTree(folder);
    CIniFile ini(m_strIniPath);
    ini.WriteInt(kSection, L"FileNum", m_nCount);
    for (int i = 0; i < kMruEntries; ++i)
        ini.WriteString(kSection, KeyOf(i), m_strEntries[i]);
}

void CMruFile::Load()
{
    m_nCount = 0;
    for (CString& entry : m_strEntries)
        entry.Empty();
    if (m_strIniPath.IsEmpty())
        return;
    CIniFile ini(m_strIniPath);
    int count = ini.GetInt(kSection, L"FileNum", 0);
    if (count < 0)
        count = 0;
    if (count > kMruEntries)
        count = kMruEntries;
    // Empty or repeated entries are skipped, so the list stays sound.
    for (int i = 0; i < count; ++i) {
        const CString entry = ini.GetString(kSection, KeyOf(i), L"");
        if (entry.IsEmpty())
            continue;
        bool seen = false;
        for (int j = 0; j < m_nCount; ++j)
            seen = seen || _wcsicmp(m_strEntries[j], entry) == 0;
        if (!seen)
            m_strEntries[m_nCount++] = entry;
    }
}

void CMruFile::RebuildMenu()
{
    if (m_hMainWnd && IsWindow(m_hMainWnd)) {
        if (HMENU menu = GetMenu(m_hMainWnd)) {
            RebuildMenu(menu);
            DrawMenuBar(m_hMainWnd);
        }
    }
}

bool CMruFile::RebuildMenu(HMENU menuBar)
{
    HMENU first = menuBar ? GetSubMenu(menuBar, 0) : nullptr;
    HMENU recent = first ? GetSubMenu(first, 4) : nullptr;
    if (!recent)
        return false;
    for (int i = 0; i < kMruEntries; ++i)
        DeleteMenu(recent, kMruFirstCommand + (UINT)i, MF_BYCOMMAND);
    for (int i = 0; i < m_nCount; ++i) {
        InsertMenuW(recent, kMruClearCommand, MF_BYCOMMAND | MF_STRING, kMruFirstCommand + (UINT)i,
                    MenuText(m_strEntries[i]));
    }
    return true;
}
