// The application object: brings the program up (program folder, document
// template, colour file) and down (colour and preset files written back).
#pragma once

#include <windows.h>
#include "framework/App.h"
#include "framework/CString.h"

class CImportApp : public CWinApp {
public:
    CImportApp();
    virtual ~CImportApp();

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    // Tests start the program inside a temporary program folder: while set,
    // start-up takes this folder (ending in a backslash) instead of the
    // program file's.
    static void SetAppFolderOverride(const CString& folder);

    // Start-up got as far as reading the settings files: exit writes both
    // back (a first run creates them).
    bool m_bSettingsLoaded = false;

protected:
    ULONG_PTR m_gdiplusToken = 0;
    HANDLE m_hMutex = nullptr;
    bool m_bOleStarted = false;

    afx_msg void OnAppAbout();

    DECLARE_MESSAGE_MAP()
};

extern CImportApp theApp;

// Set by the update check when it has finished; null while none runs. The
// frame waits for it (with a limit) when it closes.
extern HANDLE hUpdateDoneEvent;

// The program folder of this run: the folder of the program file, with a
// trailing backslash, unless tests set another.
CString ProgramFolder();
