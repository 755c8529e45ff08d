// The application's document, command-line and profile part, and the
// start-up helpers a program calls from InitInstance.
#include "framework/App.h"
#include "framework/Doc.h"
#include "framework/DocTemplate.h"
#include "framework/Ids.h"
#include "framework/Wnd.h"

#include <commdlg.h>
#include <ole2.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>

// Templates ---------------------------------------------------------------------

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (!pTemplate)
        return;
    if (std::find(m_templates.items.begin(), m_templates.items.end(), pTemplate)
        != m_templates.items.end())
        return;
    pTemplate->LoadTemplate();
    m_templates.items.push_back(pTemplate);
}

// A position is the index of the next template plus one.
POSITION CWinApp::GetFirstDocTemplatePosition() const
{
    return m_templates.items.empty() ? nullptr : reinterpret_cast<POSITION>((UINT_PTR)1);
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& rPosition) const
{
    UINT_PTR index = reinterpret_cast<UINT_PTR>(rPosition);
    if (index == 0 || index > m_templates.items.size()) {
        rPosition = nullptr;
        return nullptr;
    }
    rPosition = index < m_templates.items.size() ? reinterpret_cast<POSITION>(index + 1) : nullptr;
    return m_templates.items[index - 1];
}

CDocument* CWinApp::OpenDocumentFile(LPCTSTR lpszFileName)
{
    if (m_templates.items.empty())
        return nullptr;
    return m_templates.items.front()->OpenDocumentFile(lpszFileName);
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    for (CDocTemplate* t : m_templates.items)
        t->CloseAllDocuments(bEndSession);
}

void CWinApp::OnFileNew()
{
    if (!m_templates.items.empty())
        m_templates.items.front()->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen()
{
    if (m_templates.items.empty())
        return;
    CDocTemplate* t = m_templates.items.front();
    CString filterName, filterExt;
    t->GetDocString(filterName, CDocTemplate::filterName);
    t->GetDocString(filterExt, CDocTemplate::filterExt);
    // "name\0*.ext\0All files\0*.*\0\0"
    std::wstring filter;
    if (!filterName.IsEmpty() && !filterExt.IsEmpty()) {
        filter += filterName.GetString();
        filter += L'\0';
        filter += L'*';
        filter += filterExt.GetString();
        filter += L'\0';
    }
    filter += L"*.*";
    filter += L'\0';
    filter += L"*.*";
    filter += L'\0';
    filter += L'\0';

    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (::GetOpenFileNameW(&ofn))
        OpenDocumentFile(path);
}

void CWinApp::OnFilePrintSetup()
{
    PRINTDLGW pd = {};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    pd.Flags = PD_PRINTSETUP;
    if (::PrintDlgW(&pd)) {
        if (pd.hDevMode)
            ::GlobalFree(pd.hDevMode);
        if (pd.hDevNames)
            ::GlobalFree(pd.hDevNames);
    }
}

// Command line ---------------------------------------------------------------------

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv)
        return;
    for (int i = 1; i < argc; ++i) {
        const wchar_t* param = argv[i];
        BOOL bFlag = FALSE;
        if (param[0] == L'-' || param[0] == L'/') {
            bFlag = TRUE;
            ++param;
        }
        rCmdInfo.ParseParam(param, bFlag, i == argc - 1);
    }
    ::LocalFree(argv);
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        // A program's own ID_FILE_NEW handler comes first.
        if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr))
            OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    case CCommandLineInfo::FileNothing:
        return TRUE;
    default:
        // Printing, DDE and registration are not offered.
        return FALSE;
    }
}

// Profile -------------------------------------------------------------------------

namespace {

LPCTSTR DupOrNull(LPCTSTR s)
{
    return s ? _wcsdup(s) : nullptr;
}

} // namespace

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey)
{
    free((void*)m_pszRegistryKey);
    m_pszRegistryKey = DupOrNull(lpszRegistryKey);
    free((void*)m_pszProfileName);
    m_pszProfileName = DupOrNull(m_pszAppName ? m_pszAppName : m_pszExeName);
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString key;
    if (key.LoadString(nIDRegistryKey))
        SetRegistryKey(key.GetString());
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    // The recent-file list has no menu to show in; only its size is kept.
    m_nMaxMRU = nMaxMRU;
}

HKEY CWinApp::GetAppRegistryKey()
{
    if (!m_pszRegistryKey || !m_pszProfileName)
        return nullptr;
    CString path = CString(L"Software\\") + m_pszRegistryKey + L"\\" + m_pszProfileName;
    HKEY hKey = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return hKey;
}

HKEY CWinApp::GetSectionKey(LPCTSTR lpszSection)
{
    HKEY hApp = GetAppRegistryKey();
    if (!hApp)
        return nullptr;
    HKEY hSection = nullptr;
    if (::RegCreateKeyExW(hApp, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, nullptr, &hSection, nullptr) != ERROR_SUCCESS)
        hSection = nullptr;
    ::RegCloseKey(hApp);
    return hSection;
}

namespace {

// Without a registry key, settings go to "<exe>.INI" in the Windows folder.
CString IniName(LPCTSTR profileName, LPCTSTR exeName)
{
    if (profileName)
        return profileName;
    return CString(exeName ? exeName : L"app") + L".INI";
}

} // namespace

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault)
{
    if (m_pszRegistryKey) {
        HKEY hSection = GetSectionKey(lpszSection);
        if (!hSection)
            return (UINT)nDefault;
        DWORD value = 0, type = 0, size = sizeof value;
        LONG rc = ::RegQueryValueExW(hSection, lpszEntry, nullptr, &type, (LPBYTE)&value, &size);
        ::RegCloseKey(hSection);
        if (rc != ERROR_SUCCESS || type != REG_DWORD)
            return (UINT)nDefault;
        return value;
    }
    return ::GetPrivateProfileIntW(lpszSection, lpszEntry, nDefault,
                                   IniName(m_pszProfileName, m_pszExeName));
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    CString def = lpszDefault ? lpszDefault : L"";
    if (m_pszRegistryKey) {
        HKEY hSection = GetSectionKey(lpszSection);
        if (!hSection)
            return def;
        DWORD type = 0, size = 0;
        LONG rc = ::RegQueryValueExW(hSection, lpszEntry, nullptr, &type, nullptr, &size);
        CString value;
        if (rc == ERROR_SUCCESS && type == REG_SZ) {
            wchar_t* buf = value.GetBuffer((int)(size / sizeof(wchar_t)) + 1);
            rc = ::RegQueryValueExW(hSection, lpszEntry, nullptr, &type, (LPBYTE)buf, &size);
            buf[size / sizeof(wchar_t)] = 0;
            value.ReleaseBuffer();
        }
        ::RegCloseKey(hSection);
        return rc == ERROR_SUCCESS && type == REG_SZ ? value : def;
    }
    wchar_t buf[4096];
    ::GetPrivateProfileStringW(lpszSection, lpszEntry, def, buf, 4096,
                               IniName(m_pszProfileName, m_pszExeName));
    return buf;
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    if (m_pszRegistryKey) {
        HKEY hSection = GetSectionKey(lpszSection);
        if (!hSection)
            return FALSE;
        DWORD value = (DWORD)nValue;
        LONG rc = ::RegSetValueExW(hSection, lpszEntry, 0, REG_DWORD, (const BYTE*)&value, sizeof value);
        ::RegCloseKey(hSection);
        return rc == ERROR_SUCCESS;
    }
    wchar_t text[16];
    std::swprintf(text, 16, L"%d", nValue);
    return ::WritePrivateProfileStringW(lpszSection, lpszEntry, text,
                                        IniName(m_pszProfileName, m_pszExeName));
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    if (m_pszRegistryKey) {
        if (!lpszEntry) {
            // No entry: the whole section goes.
            HKEY hApp = GetAppRegistryKey();
            if (!hApp)
                return FALSE;
            LONG rc = ::RegDeleteKeyW(hApp, lpszSection);
            ::RegCloseKey(hApp);
            return rc == ERROR_SUCCESS;
        }
        HKEY hSection = GetSectionKey(lpszSection);
        if (!hSection)
            return FALSE;
        LONG rc;
        if (!lpszValue)
            rc = ::RegDeleteValueW(hSection, lpszEntry);
        else
            rc = ::RegSetValueExW(hSection, lpszEntry, 0, REG_SZ, (const BYTE*)lpszValue,
                                  (DWORD)((std::wcslen(lpszValue) + 1) * sizeof(wchar_t)));
        ::RegCloseKey(hSection);
        return rc == ERROR_SUCCESS;
    }
    return ::WritePrivateProfileStringW(lpszSection, lpszEntry, lpszValue,
                                        IniName(m_pszProfileName, m_pszExeName));
}

// Modeless dialogs -------------------------------------------------------------------

void CWinApp::AddModelessDialog(HWND hDlg)
{
    if (hDlg && std::find(m_modelessDialogs.begin(), m_modelessDialogs.end(), hDlg)
                    == m_modelessDialogs.end())
        m_modelessDialogs.push_back(hDlg);
}

void CWinApp::RemoveModelessDialog(HWND hDlg)
{
    m_modelessDialogs.erase(std::remove(m_modelessDialogs.begin(), m_modelessDialogs.end(), hDlg),
                            m_modelessDialogs.end());
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg)
{
    if (CWinThread::PreTranslateMessage(pMsg))
        return TRUE;
    if (!pMsg->hwnd)
        return FALSE;
    HWND root = ::GetAncestor(pMsg->hwnd, GA_ROOT);
    if (!root || (m_pMainWnd && root == m_pMainWnd->m_hWnd))
        return FALSE;
    bool isDialog = std::find(m_modelessDialogs.begin(), m_modelessDialogs.end(), root)
                    != m_modelessDialogs.end();
    if (!isDialog) {
        wchar_t cls[16] = {};
        ::GetClassNameW(root, cls, 16);
        isDialog = std::wcscmp(cls, L"#32770") == 0;
    }
    return isDialog && ::IsDialogMessageW(root, pMsg);
}

// Start-up helpers -------------------------------------------------------------------

BOOL AfxOleInit()
{
    static bool done = false;
    if (done)
        return TRUE;
    HRESULT hr = ::OleInitialize(nullptr);
    if (FAILED(hr))
        return FALSE;
    done = true;
    return TRUE;
}

void AfxEnableControlContainer()
{
}

BOOL AfxInitRichEdit2()
{
    static HMODULE hRichEdit = ::LoadLibraryW(L"riched20.dll");
    return hRichEdit != nullptr;
}
