// The main frame: creation of its bars and panes, shutting down, the timer,
// the size limits of full screen and the command table.
#include "app/MainFrm.h"

#include <commctrl.h>
#include <process.h>
#include <shlwapi.h>

#include "app/DisplaySettings.h"
#include "app/ImportApp.h"
#include "app/ImportTreeView.h"
#include "download/DownloadWorker.h"
#include "download/WebUpdatePrjDlg.h"
#include "download/WebUpdater.h"
#include "framework/App.h"
#include "framework/MessageBox.h"
#include "res/resource.h"
#include "view/ImportView.h"

namespace {

const wchar_t kProductName[] = L"Lumivell-Velquor";

struct ToolButton {
    UINT id;            // ID_SEPARATOR for a separator
    const wchar_t* text;
    int image;
};

const ToolButton kToolButtons[19] = {
    {ID_TREE_NEW_FOLDER, L"新建目录", 0},
    {ID_TREE_NEW_ARTICLE, L"新建文章", 1},
    {ID_INSERT_CODE, L"代码", 2},
    {ID_SAVE_PAGE, L"保存", 3},
    {ID_MARK, L"标注", 4},
    {ID_SEPARATOR, nullptr, 0},
    {ID_COLOR_SETTINGS, L"配色", 5},
    {ID_RANDOM_VERTICAL_BAR, L"换竖边", 6},
    {ID_RANDOM_HORIZONTAL_BAR, L"换横线", 7},
    {ID_NEXT_BACKGROUND, L"下背景", 8},
    {ID_PREV_BACKGROUND, L"上背景", 9},
    {ID_FULL_SCREEN, L"全屏", 10},
    {ID_PREV_PAGE, L"上一页", 11},
    {ID_NEXT_PAGE, L"下一页", 12},
    {ID_SEPARATOR, nullptr, 0},
    {ID_PRESET, L"设置", 13},
    {ID_UPDATE_CHECK, L"zize", 14},
    {ID_APP_EXIT, L"退出", 15},
    {ID_SEPARATOR, nullptr, 0},
};

const UINT kToolIcons[16] = {
    IDI_TB_NEW_FOLDER, IDI_TB_NEW_ARTICLE, IDI_TB_CODE, IDI_TB_SAVE, IDI_TB_MARK,
    IDI_TB_COLORS, IDI_TB_VERTICAL_BARS, IDI_TB_HORIZONTAL_LINES, IDI_TB_NEXT_BACKGROUND,
    IDI_TB_PREV_BACKGROUND, IDI_TB_FULL_SCREEN, IDI_TB_PREV_PAGE, IDI_TB_NEXT_PAGE,
    IDI_TB_SETTINGS, IDI_TB_PACKS, IDI_TB_EXIT,
};

const UINT kIndicators[4] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};

// A toolbar image list of the sixteen icons at size x size pixels.
HIMAGELIST MakeToolImages(int size)
{
    CImageList list;
    if (!list.Create(size, size, ILC_COLOR8 | ILC_MASK, 2, 2))
        return nullptr;
    list.SetBkColor(GetSysColor(COLOR_BTNFACE));
    for (UINT icon : kToolIcons) {
        HICON h = (HICON)LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(icon), IMAGE_ICON, size,
                                    size, LR_DEFAULTCOLOR);
        list.Add(h);
        if (h)
            DestroyIcon(h);
    }
    return list.Detach();
}

} // namespace

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

DWORD CMainFrame::s_nUpdateWait = 15000;
UINT CMainFrame::s_nAutoSavePeriod = CMainFrame::kAutoSavePeriod;

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_TIMER()
    ON_WM_GETMINMAXINFO()
    ON_NOTIFY(TVN_SELCHANGEDW, AFX_IDW_PANE_FIRST, &CMainFrame::OnTreeSelChanged)
    ON_NOTIFY(TVN_ITEMEXPANDINGW, AFX_IDW_PANE_FIRST, &CMainFrame::OnTreeItemExpanding)
    ON_MESSAGE(WM_FRAME_SYNC_SELECTION, &CMainFrame::OnSyncSelection)
    ON_MESSAGE(WM_FRAME_FULL_SCREEN, &CMainFrame::OnPaneFullScreen)
    ON_MESSAGE(WM_FRAME_TITLE_TEXT, &CMainFrame::OnTitleText)
    ON_COMMAND(ID_TREE_NEW_ARTICLE, &CMainFrame::OnNewArticle)
    ON_COMMAND(ID_TREE_NEW_FOLDER, &CMainFrame::OnNewFolder)
    ON_COMMAND(ID_FILE_NEW_ARTICLE, &CMainFrame::OnFileNewArticle)
    ON_COMMAND(ID_SAVE_PAGE, &CMainFrame::OnSavePage)
    ON_COMMAND(ID_OPEN_PATH, &CMainFrame::OnOpenPath)
    ON_COMMAND(ID_RECENT_PATH1, &CMainFrame::OnRecentPath1)
    ON_COMMAND(ID_RECENT_PATH2, &CMainFrame::OnRecentPath2)
    ON_COMMAND(ID_RECENT_PATH3, &CMainFrame::OnRecentPath3)
    ON_COMMAND(ID_RECENT_PATH4, &CMainFrame::OnRecentPath4)
    ON_COMMAND(ID_CLEAR_RECENT, &CMainFrame::OnClearRecent)
    ON_UPDATE_COMMAND_UI(ID_CLEAR_RECENT, &CMainFrame::OnUpdateClearRecent)
    ON_COMMAND(ID_NEXT_PAGE, &CMainFrame::OnNextPage)
    ON_COMMAND(ID_PREV_PAGE, &CMainFrame::OnPrevPage)
    ON_COMMAND(ID_ESCAPE, &CMainFrame::OnEscape)
    ON_COMMAND(ID_FULL_SCREEN, &CMainFrame::OnFullScreen)
    ON_COMMAND(ID_COLOR_SETTINGS, &CMainFrame::OnColorSettings)
    ON_COMMAND(ID_SET_CHUNK_FONT, &CMainFrame::OnSetChunkFont)
    ON_COMMAND(ID_SET_CHUNK_FORMAT, &CMainFrame::OnSetChunkFormat)
    ON_COMMAND(ID_NEXT_BACKGROUND, &CMainFrame::OnNextBackground)
    ON_COMMAND(ID_PREV_BACKGROUND, &CMainFrame::OnPrevBackground)
    ON_COMMAND(ID_PRESET, &CMainFrame::OnPreset)
    ON_COMMAND(ID_RANDOM_VERTICAL_BAR, &CMainFrame::OnRandomVerticalBar)
    ON_COMMAND(ID_RANDOM_HORIZONTAL_BAR, &CMainFrame::OnRandomHorizontalBar)
    ON_COMMAND(ID_MARK, &CMainFrame::OnMark)
    ON_COMMAND(ID_COMMENT, &CMainFrame::OnComment)
    ON_COMMAND(ID_UPDATE_CHECK, &CMainFrame::OnUpdateCheck)
    ON_WM_DROPFILES()
    ON_COMMAND(ID_TREE_IMPORT_NOVEL, &CMainFrame::OnImportNovel)
    ON_COMMAND(ID_INSERT_CODE, &CMainFrame::OnEmptyCommand)
    ON_COMMAND(ID_KEY_CTRL_DOWN, &CMainFrame::OnEmptyCommand)
    ON_COMMAND(ID_KEY_CTRL_UP, &CMainFrame::OnEmptyCommand)
    ON_COMMAND(ID_KEY_CTRL_LEFT, &CMainFrame::OnEmptyCommand)
    ON_COMMAND(ID_KEY_CTRL_RIGHT, &CMainFrame::OnEmptyCommand)
END_MESSAGE_MAP()

// ---------------------------------------------------------------- life

CMainFrame::CMainFrame()
{
    m_hLoadEvent = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    m_hAutoSaveEvent = CreateEventW(nullptr, TRUE, TRUE, nullptr);
}

CMainFrame::~CMainFrame()
{
    // The dialog deletes itself with its window.
    m_pWebUpdateDlg = nullptr;
    // The article panes wait on the auto-save event while they type; they
    // are gone with the frame's window, so the events can go too.
    if (m_hLoadEvent)
        CloseHandle(m_hLoadEvent);
    if (m_hAutoSaveEvent)
        CloseHandle(m_hAutoSaveEvent);
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    // The menu resource only carries command texts; the frame has no menu bar.
    // The title is set by the program, never from the document's name.
    cs.style |= WS_MAXIMIZE;
    cs.style &= ~FWS_ADDTOTITLE;
    cs.hMenu = nullptr;
    return TRUE;
}

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg)
{
    return CFrameWnd::PreTranslateMessage(pMsg);
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (CreateToolBar() == -1)
        return -1;
    if (m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR))
        m_wndStatusBar.SetIndicators(kIndicators, 4);
    HICON icon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
    SendMessage(WM_SETICON, ICON_BIG, (LPARAM)icon);
    SendMessage(WM_SETICON, ICON_SMALL, (LPARAM)icon);
    RecalcLayout();
    return 0;
}

int CMainFrame::CreateToolBar()
{
    if (!m_wndReBar.Create(this, RBS_BANDBORDERS,
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CBRS_TOP,
                           AFX_IDW_REBAR))
        return -1;
    if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT,
                               WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY |
                                   CBRS_SIZE_DYNAMIC,
                               CRect(0, 0, 0, 0), AFX_IDW_TOOLBAR))
        return -1;

    CToolBarCtrl& ctrl = m_wndToolBar.GetToolBarCtrl();
    ctrl.SetButtonWidth(40, 55);
    // The lists belong to the toolbar from here on.
    ctrl.SetHotImageList(MakeToolImages(46));
    ctrl.SetImageList(MakeToolImages(44));
    m_wndToolBar.ModifyStyle(0, 0x8812);

    m_wndToolBar.SetButtons(nullptr, 19);
    for (int i = 0; i < 19; ++i) {
        const ToolButton& b = kToolButtons[i];
        if (b.id == ID_SEPARATOR) {
            m_wndToolBar.SetButtonInfo(i, ID_SEPARATOR, TBBS_SEPARATOR, 8);
            continue;
        }
        m_wndToolBar.SetButtonInfo(i, b.id, TBBS_BUTTON, b.image);
        m_wndToolBar.SetButtonText(i, b.text);
    }

    CRect button;
    m_wndToolBar.GetItemRect(0, &button);
    m_wndToolBar.SetSizes(CSize(button.Width(), button.Height()), CSize(46, 46));

    m_wndReBar.AddBar(&m_wndToolBar, nullptr, nullptr, RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP);
    m_bmpBand.LoadBitmap(IDB_REBAR_BACKGROUND);
    REBARBANDINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_BACKGROUND | RBBIM_IDEALSIZE;
    info.cxMinChild = button.Width();
    info.cyMinChild = button.Height();
    info.hbmBack = (HBITMAP)m_bmpBand.GetSafeHandle();
    info.cx = 10 * button.Width();
    info.cxIdeal = 10 * button.Width();
    m_wndReBar.SendMessage(RB_SETBANDINFOW, 0, (LPARAM)&info);
    return 1;
}

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    const DWORD style = WS_CHILD | WS_VISIBLE;
    m_wndOuterSplitter.CreateStatic(this, 1, 2, CXSplitterWnd::kSideLeft, style, AFX_IDW_PANE_FIRST);
    if (!m_wndOuterSplitter.LoadButtonBitmaps(IDB_SPLIT_LEFT, IDB_SPLIT_RIGHT, IDB_SPLIT_DOWN, IDB_SPLIT_UP))
        AfxMessageBox(L"load error");
    m_wndOuterSplitter.CreateView(0, 0, RUNTIME_CLASS(CImportTreeView), CSize(kTreeWidth, 300), pContext);

    m_wndInnerSplitter.CreateStatic(&m_wndOuterSplitter, 2, 1, CXSplitterWnd::kSideDown, style,
                                    m_wndOuterSplitter.IdFromRowCol(0, 1));
    if (!m_wndInnerSplitter.LoadButtonBitmaps(IDB_SPLIT_LEFT, IDB_SPLIT_RIGHT, IDB_SPLIT_DOWN, IDB_SPLIT_UP))
        AfxMessageBox(L"load error");
    m_wndInnerSplitter.CreateView(0, 0, RUNTIME_CLASS(CImportView), CSize(500, 300), pContext);
    m_wndInnerSplitter.CreateView(1, 0, RUNTIME_CLASS(CImportView), CSize(0, 0), pContext);
    for (int row = 0; row < 2; ++row) {
        if (CImportView* view = GetArticleView(row)) {
            // The panes read their own preset keys when they start.
            view->m_bUpperPane = row == 0;
            view->m_hAutoSaveEvent = m_hAutoSaveEvent;
        }
    }

    m_fullScreen.SetWindows(m_hWnd, m_wndInnerSplitter.m_hWnd);

    m_mru.SetIniPath(g_strAppFolder + L"control\\Mru.ini");
    m_mru.SetMainWindow(m_hWnd);
    m_mru.Load();

    CString library = g_strAppFolder + L"藏书库";
    if (!PathFileExistsW(library))
        CreateDirectoryW(library, nullptr);
    OpenLibrary(library, false);
    DragAcceptFiles(TRUE);
    StartUpdateCheck();
    return TRUE;
}

void CMainFrame::StartUpdateCheck()
{
    // The event exists before the thread does, so a close right after the
    // start still waits for the check.
    ReopenDownloads();
    if (!hUpdateDoneEvent)
        hUpdateDoneEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    else
        ResetEvent(hUpdateDoneEvent);
    if (_beginthread(&CMainFrame::UpdateCheckThread, 0, nullptr) == (uintptr_t)-1 && hUpdateDoneEvent)
        SetEvent(hUpdateDoneEvent);
}

void __cdecl CMainFrame::UpdateCheckThread(void*)
{
    try {
        RunUpdateCheck();
    } catch (...) {
    }
    if (hUpdateDoneEvent)
        SetEvent(hUpdateDoneEvent);
}

void CMainFrame::ActivateFrame(int)
{
    CFrameWnd::ActivateFrame(SW_SHOWMAXIMIZED);
    SetupPanesAndTimer();
}

void CMainFrame::SetupPanesAndTimer()
{
    m_wndInnerSplitter.Collapse();
    RestartAutoSaveTimer();
    SetWindowText(CString(kProductName) + L"\x2014");
}

void CMainFrame::ShowArticlePane(int row)
{
    // The tree may have taken the whole width (its button, or its bar
    // dragged to the edge); the panes may have left this one no room.
    m_wndOuterSplitter.ShowPane(1, kTreeWidth);
    if (m_wndInnerSplitter.m_hWnd) {
        CRect client;
        m_wndInnerSplitter.GetClientRect(&client);
        m_wndInnerSplitter.ShowPane(row, client.Height() / 2);
    }
}

void CMainFrame::OnClose()
{
    // A book pack being fetched from this window stops first; closing goes on
    // once its wait has returned.
    if (CancelDownloadOfThisThread()) {
        PostMessage(WM_CLOSE);
        return;
    }
    // Nothing that was typed is dropped: a failed save asks first.
    if (!SaveModifiedPanes(false)) {
        if (AfxMessageBox(L"有文章没有保存成功，修改会丢失。仍要退出吗？",
                          MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
            return;
    }
    ShowWindow(SW_HIDE);
    StopAutoSaveTimer();
    if (CTreeCtrl* tree = GetTreeCtrl()) {
        ++m_nQuietSelect;
        tree->DeleteAllItems();
        --m_nQuietSelect;
    }
    if (CImportView* upper = GetArticleView(0))
        upper->CloseArticle();
    // A running update check stops its download; it may finish replacing
    // files, but otherwise it is not waited for long.
    WaitForUpdateCheck(hUpdateDoneEvent, s_nUpdateWait);
    if (m_pWebUpdateDlg) {
        m_pWebUpdateDlg->DestroyWindow();
        m_pWebUpdateDlg = nullptr;
    }
    CFrameWnd::OnClose();
}

// ---------------------------------------------------------------- timer

void CMainFrame::RestartAutoSaveTimer()
{
    StopAutoSaveTimer();
    m_nTimerID = kAutoSaveTimer;
    SetTimer(kAutoSaveTimer, s_nAutoSavePeriod);
}

void CMainFrame::StopAutoSaveTimer()
{
    if (m_nTimerID) {
        KillTimer(m_nTimerID);
        m_nTimerID = 0;
    }
}

void CMainFrame::OnTimer(UINT_PTR nIDEvent)
{
    if (m_nTimerID && nIDEvent == m_nTimerID) {
        ResetEvent(m_hAutoSaveEvent);
        AutoSave();
        SetEvent(m_hAutoSaveEvent);
    }
    CFrameWnd::OnTimer(nIDEvent);
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    CFrameWnd::OnGetMinMaxInfo(lpMMI);
    // Only full screen may make the frame larger than the screen; otherwise
    // the system's limits keep a maximised frame inside the work area.
    if (m_wndOuterSplitter.m_hWnd && GetArticleView(0) && m_fullScreen.AllowsOversize()) {
        const RECT& full = m_fullScreen.GetFullRect();
        lpMMI->ptMaxSize.x = lpMMI->ptMaxTrackSize.x = full.right - full.left;
        lpMMI->ptMaxSize.y = lpMMI->ptMaxTrackSize.y = full.bottom - full.top;
        lpMMI->ptMaxPosition.x = full.left;
        lpMMI->ptMaxPosition.y = full.top;
    }
}

// ---------------------------------------------------------------- panes

CImportTreeView* CMainFrame::GetTreeView() const
{
    if (!m_wndOuterSplitter.m_hWnd)
        return nullptr;
    CWnd* pane = m_wndOuterSplitter.GetPane(0, 0);
    return pane ? DYNAMIC_DOWNCAST(CImportTreeView, pane) : nullptr;
}

CTreeCtrl* CMainFrame::GetTreeCtrl() const
{
    CImportTreeView* view = GetTreeView();
    return view ? &view->GetTreeCtrl() : nullptr;
}

CImportView* CMainFrame::GetArticleView(int row) const
{
    if (!m_wndOuterSplitter.m_hWnd || !m_wndInnerSplitter.m_hWnd)
        return nullptr;
    CWnd* pane = m_wndInnerSplitter.GetPane(row, 0);
    return pane ? DYNAMIC_DOWNCAST(CImportView, pane) : nullptr;
}

// ---------------------------------------------------------------- commands

void CMainFrame::OnNewArticle()
{
    if (CImportTreeView* tree = GetTreeView())
        tree->OnNewArticle();
}

void CMainFrame::OnNewFolder()
{
    if (CImportTreeView* tree = GetTreeView())
        tree->OnNewFolder();
}

void CMainFrame::OnFileNewArticle()
{
    if (!CloseCurrent())
        return;
    if (CImportTreeView* tree = GetTreeView())
        tree->OnNewArticle();
}

void CMainFrame::OnSavePage()
{
    SaveModifiedPanes(false);
}

void CMainFrame::OnRecentPath1() { OpenRecentPath(0); }
void CMainFrame::OnRecentPath2() { OpenRecentPath(1); }
void CMainFrame::OnRecentPath3() { OpenRecentPath(2); }
void CMainFrame::OnRecentPath4() { OpenRecentPath(3); }

void CMainFrame::OnClearRecent()
{
    m_mru.Clear();
}

void CMainFrame::OnUpdateClearRecent(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_mru.GetCount() > 0);
}

void CMainFrame::OnEscape()
{
    // Either pane may have entered full screen.
    for (int row = 0; row < 2; ++row)
        if (CImportView* view = GetArticleView(row))
            view->m_bFullScreen = 0;
    m_fullScreen.Restore();
}

void CMainFrame::OnFullScreen()
{
    CImportView* upper = GetArticleView(0);
    if (upper && upper->m_pRoot)
        upper->ToggleFullScreen();
}

LRESULT CMainFrame::OnPaneFullScreen(WPARAM wParam, LPARAM)
{
    if (wParam)
        m_fullScreen.EnterFullScreen();
    else
        m_fullScreen.Restore();
    return 0;
}

LRESULT CMainFrame::OnTitleText(WPARAM wParam, LPARAM lParam)
{
    CString* text = reinterpret_cast<CString*>(lParam);
    if (!text)
        return 0;
    if (wParam)
        m_strTitleText = *text;
    else
        *text = m_strTitleText;
    return 1;
}

void CMainFrame::OnColorSettings()
{
    CImportView* upper = GetArticleView(0);
    if (upper && upper->m_pRoot)
        upper->ShowColorDialog();
}

void CMainFrame::OnSetChunkFont()
{
    CImportView* upper = GetArticleView(0);
    if (upper && upper->m_pRoot)
        upper->SetCurrentChunkFont();
}

void CMainFrame::OnSetChunkFormat()
{
    CImportView* upper = GetArticleView(0);
    if (upper && upper->m_pRoot)
        upper->OnSetChunkFormat();
}

void CMainFrame::OnNextBackground()
{
    if (CImportView* upper = GetArticleView(0))
        upper->IncreaseCharWidth();
}

void CMainFrame::OnPrevBackground()
{
    if (CImportView* upper = GetArticleView(0))
        upper->DecreaseCharWidth();
}

void CMainFrame::OnPreset()
{
    if (CImportView* upper = GetArticleView(0))
        upper->ShowPresetDialog();
}

void CMainFrame::OnRandomVerticalBar()
{
    CImportView* upper = GetArticleView(0);
    if (upper && upper->m_pRoot)
        upper->OnRandomVerticalBar();
}

void CMainFrame::OnRandomHorizontalBar()
{
    CImportView* upper = GetArticleView(0);
    if (upper && upper->m_pRoot)
        upper->OnRandomHorizontalBar();
}

void CMainFrame::OnMark()
{
    // Marks and comments always act on the upper pane.
    if (CImportView* upper = GetArticleView(0))
        upper->MarkCommand();
}

void CMainFrame::OnComment()
{
    if (CImportView* upper = GetArticleView(0))
        upper->CommentSelection();
}

void CMainFrame::OnUpdateCheck()
{
    if (m_pWebUpdateDlg) {
        m_pWebUpdateDlg->ShowInFront();
        return;
    }
    CCWebUpdatePrjDlg* dlg = new CCWebUpdatePrjDlg(nullptr);
    if (!dlg->Create(IDD_PACKS, nullptr))
        return;     // a window that failed has freed its object
    m_pWebUpdateDlg = dlg;
    // A book that arrived shows in the tree at once.
    dlg->m_onPackArrived = [this] { OpenLibrary(m_strLibraryRoot, false); };
    dlg->OnCheckUpdate();
}

void CMainFrame::OnEmptyCommand()
{
}
