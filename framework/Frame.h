// Frame windows: the window that holds views, routes commands (active view
// first, then the frame, then the application) and translates its
// accelerators. A frame is loaded from the resources of one id, builds its
// client area (views, splitters) during WM_CREATE and lays its control bars
// out around the pane window.
#pragma once

#include <windows.h>
#include "framework/Wnd.h"
#include "framework/Ids.h"

class CView;
class CDocument;
class CDocTemplate;
class CControlBar;

// Styles of LoadFrame's default style: the title shows the document's name.
#ifndef FWS_ADDTOTITLE
#define FWS_ADDTOTITLE 0x00008000L
#endif
#ifndef FWS_PREFIXTITLE
#define FWS_PREFIXTITLE 0x00004000L
#endif

// What a frame hands to the views it creates (through CREATESTRUCT::lpCreateParams).
struct CCreateContext {
    CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd() = default;

    HACCEL m_hAccelTable = nullptr;     // translated in PreTranslateMessage
    CString m_strTitle;                 // the title LoadFrame took from the resources
    UINT m_nIDHelp = 0;                 // the resource id the frame was loaded with

    static const CRect rectDefault;     // CW_USEDEFAULT placement

    // A top-level frame from the resources of nIDResource: the title is the
    // first field of its string resource, the icon and accelerators of that
    // id are used and its menu is attached (PreCreateWindow may drop it).
    // The context reaches OnCreateClient. FALSE when the window failed.
    virtual BOOL LoadFrame(UINT nIDResource,
                           DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    // Creates the frame's window (used by LoadFrame).
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                DWORD dwStyle = WS_OVERLAPPEDWINDOW, const RECT& rect = rectDefault,
                CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr, DWORD dwExStyle = 0,
                CCreateContext* pContext = nullptr);
    using CWnd::Create;

    // Builds the client area during WM_CREATE; the default makes one view of
    // the context's view class with id AFX_IDW_PANE_FIRST.
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    // A view of pContext->m_pNewViewClass as a child with the given id,
    // attached to pContext->m_pCurrentDoc; null on failure.
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    // Calls OnInitialUpdate of every view below the frame (the template does this).
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);

    // Title: the document's title (FWS_ADDTOTITLE) joined to the frame's.
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    void UpdateFrameTitleForDocument(LPCTSTR lpszDocName);
    void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
    CString GetTitle() const { return m_strTitle; }

    // Control bars (children with ids in the control-bar range) placed by RecalcLayout.
    CControlBar* GetControlBar(UINT nID);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    // The client area left for the pane after the bars (client coordinates).
    void GetPaneRect(LPRECT lpRect);
    // Refreshes the states of bar buttons through ON_UPDATE_COMMAND_UI.
    void UpdateControlBarsCmdUI();

    BOOL LoadAccelTable(LPCTSTR lpszResourceName);
    BOOL LoadAccelTable(UINT nIDResource);

    CView* GetActiveView() const { return m_pViewActive; }
    // Makes pViewNew the view that gets commands first; with bNotify both
    // views hear of it through OnActivateView.
    virtual void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();

    // Places the bars (CBRS_TOP ones at the top, CBRS_BOTTOM ones at the
    // bottom) and gives the pane window (id AFX_IDW_PANE_FIRST) the rest.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    virtual void ActivateFrame(int nCmdShow = -1);

    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // The accelerators, except for the keys an edit box with the focus uses
    // (a label edit, a modeless dialog's field): those go to the box.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    static bool IsEditBoxKey(const MSG* pMsg);
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);
    // Frames own themselves: the object is deleted with its window.
    virtual void PostNcDestroy();

protected:
    CView* m_pViewActive = nullptr;
    bool m_bInRecalcLayout = false;

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnClose();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);

    friend class CView;

    DECLARE_MESSAGE_MAP()
};
