#include "app/ImportApp.h"

#include <commctrl.h>
#include <gdiplus.h>
#include <ole2.h>

#include "app/AboutDlg.h"
#include "app/DisplaySettings.h"
#include "app/ImportDoc.h"
#include "app/MainFrm.h"
#include "app/PresetWriter.h"
#include "framework/DocTemplate.h"
#include "framework/FileUtil.h"
#include "framework/MessageBox.h"
#include "res/resource.h"
#include "view/ImportView.h"
#include "view/PresetFile.h"

namespace {

const wchar_t kAppName[] = L"Lumivell-Velquor";

CString& AppFolderOverride()
{
    static CString folder;
    return folder;
}

} // namespace

CImportApp theApp;
HANDLE hUpdateDoneEvent = nullptr;

BEGIN_MESSAGE_MAP(CImportApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, &CImportApp::OnAppAbout)
    ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, &CWinApp::OnFileOpen)
    ON_COMMAND(ID_FILE_PRINT_SETUP, &CWinApp::OnFilePrintSetup)
END_MESSAGE_MAP()

CImportApp::CImportApp() = default;

CImportApp::~CImportApp() = default;

void CImportApp::SetAppFolderOverride(const CString& folder)
{
    AppFolderOverride() = folder;
}

CString ProgramFolder()
{
    if (!AppFolderOverride().IsEmpty()) {
        CString folder = AppFolderOverride();
        if (folder[folder.GetLength() - 1] != L'\\')
            folder += L'\\';
        return folder;
    }
    wchar_t path[255] = {};
    GetModuleFileNameW(nullptr, path, 255);
    CString folder = path;
    return folder.Left(folder.ReverseFind(L'\\') + 1);
}

BOOL CImportApp::InitInstance()
{
    InitCommonControls();
    g_strAppFolder = ProgramFolder();

    // A second copy starts like the first; the mutex only marks that one runs.
    if (!m_hMutex)
        m_hMutex = CreateMutexW(nullptr, TRUE, kAppName);

    AfxInitRichEdit2();
    CWinApp::InitInstance();

    Gdiplus::GdiplusStartupInput input;
    if (!m_gdiplusToken)
        Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr);

    if (!AfxOleInit()) {
        AfxMessageBox(IDP_OLE_INIT_FAILED);
        return FALSE;
    }
    m_bOleStarted = true;

    AfxEnableControlContainer();
    SetRegistryKey(L"应用程序向导生成的本地应用程序");
    LoadStdProfileSettings(4);

    // A restart inside one process (tests) keeps the template of the first run.
    POSITION pos = GetFirstDocTemplatePosition();
    if (!pos) {
        CSingleDocTemplate* pDocTemplate = new (std::nothrow)
            CSingleDocTemplate(IDR_DOC_TEMPLATE, RUNTIME_CLASS(CImportDoc), RUNTIME_CLASS(CMainFrame),
                               RUNTIME_CLASS(CImportView));
        if (!pDocTemplate)
            return FALSE;
        AddDocTemplate(pDocTemplate);
    }

    // What the article panes read while they start belongs to this run only.
    m_bPresetFileRead = FileExists(PresetFilePath());

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo))
        return FALSE;

    free((void*)m_pszAppName);
    m_pszAppName = _wcsdup(kAppName);
    AfxSetMessageBoxCaption(kAppName);

    m_bColorFileRead = FileExists(ColorXmlPath());
    LoadColorXml();

    if (!m_pMainWnd)
        return FALSE;
    m_pMainWnd->SetWindowText(kAppName);
    m_pMainWnd->ShowWindow(SW_SHOW);
    m_pMainWnd->UpdateWindow();
    return TRUE;
}

int CImportApp::ExitInstance()
{
    // The colour file first, then the preset file; each only when it was read.
    SaveSettingsAtExit(m_bColorFileRead, m_bPresetFileRead);
    m_bColorFileRead = m_bPresetFileRead = false;
    if (m_gdiplusToken) {
        Gdiplus::GdiplusShutdown(m_gdiplusToken);
        m_gdiplusToken = 0;
    }
    if (m_bOleStarted) {
        OleUninitialize();
        m_bOleStarted = false;
    }
    return CWinApp::ExitInstance();
}

void CImportApp::OnAppAbout()
{
    CAboutDlg aboutDlg;
    aboutDlg.DoModal();
}
