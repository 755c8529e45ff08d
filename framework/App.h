// The application object and its message loop. The program defines one global
// object of a CWinApp subclass; its wWinMain calls AfxWinMain.
#pragma once

#include <windows.h>
#include "framework/CmdTarget.h"
#include "framework/CString.h"

class CWnd;

class CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread() = default;

    CWnd* m_pMainWnd = nullptr;
    DWORD m_nThreadID = 0;
    MSG m_msgCur = {};

    virtual CWnd* GetMainWnd() { return m_pMainWnd; }
    virtual BOOL InitInstance() { return TRUE; }
    // Returns the program's exit code.
    virtual int ExitInstance();
    // The message loop: runs until WM_QUIT, calling OnIdle while the queue is empty.
    virtual int Run();
    // Offers a queued message to the windows from its target up to the main
    // window (accelerators, dialog keys) before it is dispatched.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // lCount counts the calls since the last input; TRUE asks for another call.
    // Count 0 lets frames refresh their command states, count 1 frees temporaries.
    virtual BOOL OnIdle(LONG lCount);
    // Gets and dispatches one message; FALSE on WM_QUIT.
    virtual BOOL PumpMessage();
    // Messages after which idle processing starts again.
    virtual BOOL IsIdleMessage(MSG* pMsg);

private:
    POINT m_ptLastMouse = { -1, -1 };
    UINT m_nLastMouseMsg = 0;
};

class CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    virtual ~CWinApp();

    HINSTANCE m_hInstance = nullptr;
    LPTSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    // Both strings are allocated with malloc (_wcsdup) and freed with free(),
    // so a program may replace them the familiar way.
    LPCTSTR m_pszAppName = nullptr;     // program name; the exe name when not given
    LPCTSTR m_pszExeName = nullptr;     // file name of the program without extension

    virtual BOOL InitApplication() { return TRUE; }
    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance();

    HICON LoadIcon(LPCTSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadStandardIcon(LPCTSTR lpszIconName) const;
    HCURSOR LoadCursor(LPCTSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const;

protected:
    // ID_APP_EXIT: closes the main window, which ends the message loop.
    afx_msg void OnAppExit();

    DECLARE_MESSAGE_MAP()
};

// The one application object (null before it is constructed).
CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);

// The framework's part of wWinMain: initialises the application object, runs
// InitInstance and the message loop, and returns the exit code.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
