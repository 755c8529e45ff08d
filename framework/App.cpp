#include "framework/App.h"
#include "framework/Ids.h"
#include "framework/Wnd.h"

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <exception>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
    ON_COMMAND(ID_APP_EXIT, &CWinApp::OnAppExit)
END_MESSAGE_MAP()

namespace {

CWinApp* g_pApp = nullptr;
HINSTANCE g_hResource = nullptr;

void LogLoopException(const char* what)
{
    char text[300];
    std::snprintf(text, sizeof text, "Unhandled exception in the message loop: %s\n",
                  what ? what : "(unknown)");
    OutputDebugStringA(text);
}

} // namespace

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp ? g_pApp->GetMainWnd() : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    if (g_pApp && g_pApp->m_hInstance)
        return g_pApp->m_hInstance;
    return ::GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return g_hResource ? g_hResource : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstResource)
{
    g_hResource = hInstResource;
}

// CWinThread --------------------------------------------------------------------

int CWinThread::ExitInstance()
{
    return (int)m_msgCur.wParam;
}

BOOL CWinThread::PumpMessage()
{
    BOOL got = ::GetMessageW(&m_msgCur, nullptr, 0, 0);
    if (got == 0 || got == -1)
        return FALSE;
    try {
        if (!PreTranslateMessage(&m_msgCur)) {
            ::TranslateMessage(&m_msgCur);
            ::DispatchMessageW(&m_msgCur);
        }
    } catch (const std::exception& e) {
        LogLoopException(e.what());
    } catch (...) {
        LogLoopException(nullptr);
    }
    return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    if (!pMsg->hwnd)
        return FALSE;   // thread messages have no window to offer them to
    CWnd* pMainWnd = AfxGetMainWnd();
    HWND hMain = pMainWnd ? pMainWnd->m_hWnd : nullptr;
    if (CWnd::WalkPreTranslateTree(hMain, pMsg))
        return TRUE;
    // A message for another top-level window (a modeless dialog) still gets
    // the main window's accelerators.
    if (hMain && ::GetAncestor(pMsg->hwnd, GA_ROOT) != hMain)
        return pMainWnd->PreTranslateMessage(pMsg);
    return FALSE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    // Paints, caret blinks and mouse moves that did not move start no idle round.
    if (pMsg->message == WM_PAINT || pMsg->message == 0x0118 /* caret timer */)
        return FALSE;
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        if (m_nLastMouseMsg == pMsg->message && m_ptLastMouse.x == pMsg->pt.x
            && m_ptLastMouse.y == pMsg->pt.y)
            return FALSE;
        m_ptLastMouse = pMsg->pt;
        m_nLastMouseMsg = pMsg->message;
    }
    return TRUE;
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount <= 0) {
        CWnd* pMainWnd = GetMainWnd();
        if (pMainWnd && pMainWnd->m_hWnd && ::IsWindowVisible(pMainWnd->m_hWnd)) {
            pMainWnd->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
            pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
        }
        return TRUE;
    }
    AfxDeleteTempObjects();
    return FALSE;
}

int CWinThread::Run()
{
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    for (;;) {
        while (bIdle && !::PeekMessageW(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE)) {
            BOOL more = FALSE;
            try {
                more = OnIdle(lIdleCount++);
            } catch (const std::exception& e) {
                LogLoopException(e.what());
            } catch (...) {
                LogLoopException(nullptr);
            }
            if (!more)
                bIdle = FALSE;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessageW(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE));
    }
}

// CWinApp -----------------------------------------------------------------------

CWinApp::CWinApp(LPCTSTR lpszAppName)
{
    g_pApp = this;
    m_hInstance = ::GetModuleHandleW(nullptr);
    m_nThreadID = ::GetCurrentThreadId();
    if (lpszAppName)
        m_pszAppName = _wcsdup(lpszAppName);
}

CWinApp::~CWinApp()
{
    free((void*)m_pszAppName);
    free((void*)m_pszExeName);
    free((void*)m_pszRegistryKey);
    free((void*)m_pszProfileName);
    m_pszAppName = m_pszExeName = m_pszRegistryKey = m_pszProfileName = nullptr;
    if (g_pApp == this)
        g_pApp = nullptr;
}

int CWinApp::ExitInstance()
{
    return CWinThread::ExitInstance();
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd && m_pMainWnd->m_hWnd)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

HICON CWinApp::LoadIcon(LPCTSTR lpszResourceName) const
{
    return ::LoadIconW(AfxGetResourceHandle(), lpszResourceName);
}

HICON CWinApp::LoadIcon(UINT nIDResource) const { return LoadIcon(MAKEINTRESOURCEW(nIDResource)); }
HICON CWinApp::LoadStandardIcon(LPCTSTR lpszIconName) const { return ::LoadIconW(nullptr, lpszIconName); }

HCURSOR CWinApp::LoadCursor(LPCTSTR lpszResourceName) const
{
    return ::LoadCursorW(AfxGetResourceHandle(), lpszResourceName);
}

HCURSOR CWinApp::LoadCursor(UINT nIDResource) const { return LoadCursor(MAKEINTRESOURCEW(nIDResource)); }
HCURSOR CWinApp::LoadStandardCursor(LPCTSTR lpszCursorName) const { return ::LoadCursorW(nullptr, lpszCursorName); }

// Entry -------------------------------------------------------------------------

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int nCmdShow)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = hInstance ? hInstance : ::GetModuleHandleW(nullptr);
    app->m_lpCmdLine = lpCmdLine;
    app->m_nCmdShow = nCmdShow;
    app->m_nThreadID = ::GetCurrentThreadId();

    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(app->m_hInstance, path, MAX_PATH);
    wchar_t* name = std::wcsrchr(path, L'\\');
    name = name ? name + 1 : path;
    if (wchar_t* dot = std::wcsrchr(name, L'.'))
        *dot = 0;
    if (!app->m_pszExeName)
        app->m_pszExeName = _wcsdup(name);
    if (!app->m_pszAppName)
        app->m_pszAppName = _wcsdup(name);

    int code = -1;
    try {
        if (!app->InitApplication() || !app->InitInstance()) {
            if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd)
                app->m_pMainWnd->DestroyWindow();
            code = app->ExitInstance();
        } else {
            code = app->Run();
        }
    } catch (const std::exception& e) {
        LogLoopException(e.what());
    } catch (...) {
        LogLoopException(nullptr);
    }
    AfxDeleteTempObjects();
    return code;
}
