// The main window: toolbar in a rebar, status bar, the library tree on the
// left and two stacked article panes on the right. It keeps the library
// root, where each pane's article lies, the recent folders, the six-minute
// auto-save and full screen.
#pragma once

#include <windows.h>

#include "app/FullScreenHelper.h"
#include "app/LibraryPaths.h"
#include "app/MruFile.h"
#include "app/XSplitterWnd.h"
#include "framework/Bars.h"
#include "framework/Frame.h"

class CImportTreeView;
class CImportView;
class CTreeCtrl;
class CCWebUpdatePrjDlg;

// Posted to the frame to follow a tree selection made while an article
// switch was still running, or an article chosen again in the tree.
const UINT WM_FRAME_SYNC_SELECTION = WM_APP + 40;

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();
    virtual ~CMainFrame();

    static constexpr UINT kAutoSaveTimer = 6;
    static constexpr UINT kAutoSavePeriod = 360000;     // six minutes
    static UINT s_nAutoSavePeriod;                      // kAutoSavePeriod; tests shorten it
    static constexpr DWORD kLoadWait = 258;             // ms a switch waits for the previous one
    static constexpr int kTreeWidth = 300;              // the library tree's width at start
    // How long closing waits for a running update check (ms), unless it is
    // replacing the program's files.
    static DWORD s_nUpdateWait;

    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual void ActivateFrame(int nCmdShow = -1);

    // ---- panes ----
    CImportTreeView* GetTreeView() const;
    CTreeCtrl* GetTreeCtrl() const;
    // Row 0 is the upper article pane, row 1 the lower one.
    CImportView* GetArticleView(int row) const;
    // 1 when the item lies below a folder whose name holds "写小说" (lower pane).
    int IsInWritingFolder(HTREEITEM item);
    CPathParts& PaneParts(int row) { return row == 1 ? m_lowerParts : m_upperParts; }

    // ---- library ----
    void FillTree(CTreeCtrl* pTree, const CString& folder, HTREEITEM hParent, int depth, int fresh);
    // Shows the library at path in the tree (the recent list gets it when bRemember).
    void OpenLibrary(const CString& path, bool bRemember);
    void OpenRecentPath(int index);
    // Saves what is modified and closes the upper pane before another
    // library is opened; 0 (nothing closed) when a save failed.
    int CloseCurrent();

    // ---- saving ----
    // Saves every modified pane; false when a save failed (the pane keeps
    // its edits and its modified flag; the user has been told).
    bool SaveModifiedPanes(bool bAutoSave);
    void AutoSave();
    void RestartAutoSaveTimer();
    void StopAutoSaveTimer();

    // ---- what the tree tells the frame ----
    void OnLibraryItemRenamed(const CPathParts& oldItem, const CString& newName);
    void OnLibraryItemDeleted(const CPathParts& item);
    // A pane shows the article item and it holds text (saved or not).
    bool ArticleHoldsText(const CPathParts& item);

    // ---- update check: thread procedure, started once the panes exist ----
    static void __cdecl UpdateCheckThread(void*);

    // ---- members ----
    UINT m_nTimerID = 0;
    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;
    CReBar m_wndReBar;
    CXSplitterWnd m_wndOuterSplitter;
    CXSplitterWnd m_wndInnerSplitter;
    CFullScreenHelper m_fullScreen;
    CString m_strLibraryRoot;
    CMruFile m_mru;
    CPathParts m_upperParts;
    CPathParts m_leavingParts;
    CPathParts m_lowerParts;
    HANDLE m_hLoadEvent = nullptr;
    CString m_strTitleText;
    CCWebUpdatePrjDlg* m_pWebUpdateDlg = nullptr;
    HANDLE m_hAutoSaveEvent = nullptr;

protected:
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    int CreateToolBar();
    void SetupPanesAndTimer();
    void StartUpdateCheck();
    // Opens the article pane of row (0 upper, 1 lower) when a splitter
    // button or a dragged bar has closed it: it has just been given or
    // shown an article.
    void ShowArticlePane(int row);
    // The article switch behind a selection change of the tree.
    void SwitchToSelection();
    // Saves one pane's article to the path its components name.
    bool SavePane(CImportView* pView, const CPathParts& parts);
    // Selects the item of parts without starting a switch.
    void SelectQuietly(const CPathParts& parts);
    void CloseArticleOf(int row);

    bool m_bSwitching = false;      // an article switch is running
    bool m_bSelectionPending = false;
    int m_nQuietSelect = 0;         // selection changes made by the frame itself
    bool m_bSaving = false;
    CBitmap m_bmpBand;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnClose();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg void OnTreeSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnTreeItemExpanding(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg LRESULT OnSyncSelection(WPARAM wParam, LPARAM lParam);
    // A pane's full-screen toggle: wParam 1 enters, 0 restores.
    afx_msg LRESULT OnPaneFullScreen(WPARAM wParam, LPARAM lParam);
    // The presets read (wParam 0) or set (1) m_strTitleText through the CString at lParam.
    afx_msg LRESULT OnTitleText(WPARAM wParam, LPARAM lParam);

    afx_msg void OnNewArticle();
    afx_msg void OnNewFolder();
    afx_msg void OnFileNewArticle();
    afx_msg void OnSavePage();
    afx_msg void OnOpenPath();
    afx_msg void OnRecentPath1();
    afx_msg void OnRecentPath2();
    afx_msg void OnRecentPath3();
    afx_msg void OnRecentPath4();
    afx_msg void OnClearRecent();
    afx_msg void OnUpdateClearRecent(CCmdUI* pCmdUI);
    afx_msg void OnNextPage();
    afx_msg void OnPrevPage();
    afx_msg void OnEscape();
    afx_msg void OnFullScreen();
    afx_msg void OnColorSettings();
    afx_msg void OnSetChunkFont();
    afx_msg void OnSetChunkFormat();
    afx_msg void OnNextBackground();
    afx_msg void OnPrevBackground();
    afx_msg void OnPreset();
    afx_msg void OnRandomVerticalBar();
    afx_msg void OnRandomHorizontalBar();
    afx_msg void OnMark();
    afx_msg void OnComment();
    afx_msg void OnUpdateCheck();
    // Dropped TXT files and folders are imported into the selected folder.
    afx_msg void OnDropFiles(HDROP hDropInfo);
    afx_msg void OnImportNovel();
    afx_msg void OnEmptyCommand();

    DECLARE_MESSAGE_MAP()
};
