// The application object and its message loop. The program defines one global
// object of a CWinApp subclass; its wWinMain calls AfxWinMain.
#pragma once

#include <windows.h>
#include "framework/CmdTarget.h"
#include "framework/CString.h"
#include "framework/Collections.h"

#include <vector>

class CWnd;
class CDocTemplate;
class CDocument;
class CCommandLineInfo;

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

    // Document templates: the application owns them once added.
    void AddDocTemplate(CDocTemplate* pTemplate);
    POSITION GetFirstDocTemplatePosition() const;
    CDocTemplate* GetNextDocTemplate(POSITION& rPosition) const;
    // Opens (or, without a name, creates) a document through the first template.
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
    // Closes every template's documents (the main frame does this when it closes).
    void CloseAllDocuments(BOOL bEndSession);

    // Command line: ParseCommandLine fills rCmdInfo from the process's
    // arguments; ProcessShellCommand runs it (FileNew creates the main frame).
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);

    // Profile settings under HKCU\Software\<key>\<application name>.
    LPCTSTR m_pszRegistryKey = nullptr;     // malloc'ed like m_pszAppName
    LPCTSTR m_pszProfileName = nullptr;
    UINT m_nMaxMRU = 0;
    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    // Open keys the caller closes; null without a registry key.
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCTSTR lpszSection);
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);

    // Modeless dialogs get their keyboard handling (IsDialogMessage) from
    // the message loop while registered. Top-level dialog windows are
    // recognised without registering too.
    void AddModelessDialog(HWND hDlg);
    void RemoveModelessDialog(HWND hDlg);
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // Handlers a program maps to ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_PRINT_SETUP.
    afx_msg void OnFileNew();
    afx_msg void OnFileOpen();
    afx_msg void OnFilePrintSetup();

    HICON LoadIcon(LPCTSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadStandardIcon(LPCTSTR lpszIconName) const;
    HCURSOR LoadCursor(LPCTSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const;

protected:
    // ID_APP_EXIT: closes the main window, which ends the message loop.
    afx_msg void OnAppExit();

    // Owns the templates; its destructor lives with the template code.
    struct TemplateList {
        std::vector<CDocTemplate*> items;
        TemplateList() = default;
        TemplateList(const TemplateList&) = delete;
        TemplateList& operator=(const TemplateList&) = delete;
        ~TemplateList();
    };
    TemplateList m_templates;
    std::vector<HWND> m_modelessDialogs;

    DECLARE_MESSAGE_MAP()
};

// The one application object (null before it is constructed).
CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);

// OLE for the user-interface thread (OleInitialize); FALSE on failure.
BOOL AfxOleInit();
// Controls in dialogs need nothing more here.
void AfxEnableControlContainer();
// Loads the rich-edit 2 library (riched20.dll) once.
BOOL AfxInitRichEdit2();

// The framework's part of wWinMain: initialises the application object, runs
// InitInstance and the message loop, and returns the exit code.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
