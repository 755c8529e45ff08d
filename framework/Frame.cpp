#include "framework/Frame.h"
#include "framework/App.h"
#include "framework/Bars.h"
#include "framework/Doc.h"
#include "framework/Ids.h"
#include "framework/View.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_WM_SETFOCUS()
    ON_WM_INITMENUPOPUP()
END_MESSAGE_MAP()

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

// Loading and creation -------------------------------------------------------------

namespace {

BOOL CALLBACK InitialUpdateProc(HWND h, LPARAM)
{
    if (CView* view = DYNAMIC_DOWNCAST(CView, CWnd::FromHandlePermanent(h)))
        view->OnInitialUpdate();
    return TRUE;
}

} // namespace

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                          CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString full;
    if (full.LoadString(nIDResource)) {
        int nl = full.Find(L'\n');
        m_strTitle = nl < 0 ? full : full.Left(nl);
    }
    HINSTANCE hInst = AfxGetResourceHandle();
    HICON hIcon = (HICON)::LoadImageW(hInst, MAKEINTRESOURCEW(nIDResource), IMAGE_ICON, 0, 0,
                                      LR_DEFAULTSIZE | LR_SHARED);
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                                      (HBRUSH)(COLOR_BTNFACE + 1), hIcon);
    HACCEL hAccel = ::LoadAcceleratorsW(hInst, MAKEINTRESOURCEW(nIDResource));
    if (!Create(cls, m_strTitle, dwDefaultStyle, rectDefault, pParentWnd,
                MAKEINTRESOURCEW(nIDResource), 0, pContext))
        return FALSE;   // the object is gone
    if (!m_hAccelTable)
        m_hAccelTable = hAccel;
    return TRUE;
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                       const RECT& rect, CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle,
                       CCreateContext* pContext)
{
    HMENU hMenu = nullptr;
    if (lpszMenuName)
        hMenu = ::LoadMenuW(AfxGetResourceHandle(), lpszMenuName);
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top,
                  pParentWnd ? pParentWnd->m_hWnd : nullptr, hMenu, (LPVOID)pContext)) {
        if (hMenu)
            ::DestroyMenu(hMenu);
        return FALSE;
    }
    // PreCreateWindow may have dropped the menu.
    if (hMenu && ::GetMenu(m_hWnd) != hMenu)
        ::DestroyMenu(hMenu);
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    auto* context = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (!OnCreateClient(lpcs, context))
        return -1;
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext && pContext->m_pNewViewClass)
        return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    if (!pContext || !pContext->m_pNewViewClass)
        return nullptr;
    CObject* obj = pContext->m_pNewViewClass->CreateObject();
    if (!obj)
        return nullptr;
    CWnd* pView = DYNAMIC_DOWNCAST(CWnd, obj);
    if (!pView) {
        delete obj;
        return nullptr;
    }
    // Views delete themselves when their window fails or goes.
    if (!pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this,
                       nID, pContext))
        return nullptr;
    return pView;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    // The first pane becomes the active view when none is yet.
    CView* pView = m_pViewActive;
    if (!pView) {
        pView = DYNAMIC_DOWNCAST(CView, GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE));
        if (pView)
            SetActiveView(pView, FALSE);
    }
    ::EnumChildWindows(m_hWnd, InitialUpdateProc, 0);
    if (bMakeVisible) {
        UpdateControlBarsCmdUI();
        int nCmdShow = -1;
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd == this) {
            nCmdShow = app->m_nCmdShow;
            app->m_nCmdShow = -1;   // only the first frame takes the shell's show command
        }
        ActivateFrame(nCmdShow);
        if (pView && pView->m_hWnd)
            pView->OnActivateView(TRUE, pView, pView);
    }
    (void)pDoc;
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    CDocument* pDoc = GetActiveDocument();
    if (bAddToTitle && (GetStyle() & FWS_ADDTOTITLE) && pDoc)
        UpdateFrameTitleForDocument(pDoc->GetTitle());
    else
        UpdateFrameTitleForDocument(nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCTSTR lpszDocName)
{
    CString title = m_strTitle;
    if (lpszDocName && *lpszDocName) {
        if (GetStyle() & FWS_PREFIXTITLE)
            title = CString(lpszDocName) + L" - " + m_strTitle;
        else
            title = m_strTitle + L" - " + lpszDocName;
    }
    CString current;
    GetWindowText(current);
    if (current != title)
        SetWindowText(title);
}

// Accelerators and views ---------------------------------------------------------------

BOOL CFrameWnd::LoadAccelTable(LPCTSTR lpszResourceName)
{
    if (m_hAccelTable)
        return FALSE;   // a frame keeps the first table it was given
    m_hAccelTable = ::LoadAcceleratorsW(AfxGetResourceHandle(), lpszResourceName);
    return m_hAccelTable != nullptr;
}

BOOL CFrameWnd::LoadAccelTable(UINT nIDResource)
{
    return LoadAccelTable(MAKEINTRESOURCEW(nIDResource));
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* pViewOld = m_pViewActive;
    if (pViewNew == pViewOld)
        return;
    m_pViewActive = nullptr;
    if (bNotify && pViewOld)
        pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
    m_pViewActive = pViewNew;
    if (bNotify && pViewNew)
        pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

CDocument* CFrameWnd::GetActiveDocument()
{
    return m_pViewActive ? m_pViewActive->GetDocument() : nullptr;
}

namespace {

// Stacks the frame's visible top and bottom bars (in child order) inside its
// client area and returns what is left for the pane; moves the bars when asked.
CRect LayOutBars(HWND hFrame, bool move)
{
    CRect rc;
    ::GetClientRect(hFrame, &rc);
    for (HWND h = ::GetWindow(hFrame, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        CControlBar* bar = DYNAMIC_DOWNCAST(CControlBar, CWnd::FromHandlePermanent(h));
        if (!bar || !::IsWindowVisible(h))
            continue;
        DWORD style = bar->GetBarStyle();
        if (!(style & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)))
            continue;
        CSize size = bar->CalcFixedLayout(TRUE, TRUE);
        int cy = std::min<int>(size.cy, std::max<int>(0, rc.Height()));
        if (style & CBRS_ALIGN_TOP) {
            if (move)
                ::MoveWindow(h, rc.left, rc.top, rc.Width(), cy, TRUE);
            rc.top += cy;
        } else {
            if (move)
                ::MoveWindow(h, rc.left, rc.bottom - cy, rc.Width(), cy, TRUE);
            rc.bottom -= cy;
        }
    }
    return rc;
}

} // namespace

void CFrameWnd::GetPaneRect(LPRECT lpRect)
{
    *lpRect = LayOutBars(m_hWnd, false);
}

void CFrameWnd::RecalcLayout(BOOL)
{
    if (!m_hWnd || m_bInRecalcLayout)
        return;
    m_bInRecalcLayout = true;
    CRect rc = LayOutBars(m_hWnd, true);
    if (HWND hPane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST))
        ::MoveWindow(hPane, rc.left, rc.top, rc.Width(), rc.Height(), TRUE);
    m_bInRecalcLayout = false;
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
    // A bar inside a rebar is not a direct child.
    return DYNAMIC_DOWNCAST(CControlBar, GetDescendantWindow((int)nID, TRUE));
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    pBar->ShowWindow(bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
    if (!bDelay)
        RecalcLayout();
}

namespace {

BOOL CALLBACK UpdateBarProc(HWND h, LPARAM lParam)
{
    auto* frame = reinterpret_cast<CFrameWnd*>(lParam);
    if (CControlBar* bar = DYNAMIC_DOWNCAST(CControlBar, CWnd::FromHandlePermanent(h)))
        bar->OnUpdateCmdUI(frame, TRUE);
    return TRUE;
}

} // namespace

void CFrameWnd::UpdateControlBarsCmdUI()
{
    ::EnumChildWindows(m_hWnd, UpdateBarProc, (LPARAM)this);
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == -1)
        nCmdShow = ::IsWindowVisible(m_hWnd) ? SW_SHOW : SW_SHOWNORMAL;
    ShowWindow(nCmdShow);
    BringWindowToTop();
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                                           (HBRUSH)(COLOR_BTNFACE + 1));
    cs.style |= WS_CLIPCHILDREN;
    // A single-document frame shows "document - program".
    if (cs.style & FWS_ADDTOTITLE)
        cs.style |= FWS_PREFIXTITLE;
    return TRUE;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (m_hAccelTable && pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST &&
        !IsEditBoxKey(pMsg))
        return ::TranslateAcceleratorW(m_hWnd, m_hAccelTable, pMsg) != 0;
    return FALSE;
}

bool CFrameWnd::IsEditBoxKey(const MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN && pMsg->message != WM_SYSKEYDOWN)
        return false;
    if (!pMsg->hwnd)
        return false;
    // An edit box by its class (a tree's label edit answers the dialog-code
    // query for itself) or by what it says it does.
    wchar_t cls[16] = {};
    ::GetClassNameW(pMsg->hwnd, cls, 16);
    if (::lstrcmpiW(cls, L"Edit") != 0 &&
        !(::SendMessageW(pMsg->hwnd, WM_GETDLGCODE, pMsg->wParam, (LPARAM)pMsg) & DLGC_HASSETSEL))
        return false;
    if (::GetKeyState(VK_MENU) < 0)
        return false;
    const UINT vk = (UINT)pMsg->wParam;
    switch (vk) {
    case VK_ESCAPE: case VK_RETURN: case VK_TAB: case VK_BACK: case VK_DELETE: case VK_INSERT:
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
        return true;    // with Shift or Ctrl too: selection and word steps
    default:
        break;
    }
    if (::GetKeyState(VK_CONTROL) < 0)
        return vk == 'A' || vk == 'C' || vk == 'V' || vk == 'X' || vk == 'Z';
    // Plain and shifted keys type characters; function keys stay shortcuts.
    return !(vk >= VK_F1 && vk <= VK_F24);
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // Reflected messages concern this window alone.
    UINT nMsg = (UINT)nCode == CN_UPDATE_COMMAND_UI ? 0 : HIWORD((UINT)nCode);
    if (nMsg >= WM_REFLECT_BASE)
        return CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);

    if (CView* pView = GetActiveView())
        if (pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CFrameWnd::PostNcDestroy()
{
    delete this;
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

void CFrameWnd::OnClose()
{
    CWinApp* app = AfxGetApp();
    bool isMain = app && app->m_pMainWnd == this;
    DestroyWindow();    // deletes this object
    if (isMain)
        app->CloseAllDocuments(FALSE);
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd)
{
    // The keyboard belongs to the active view.
    if (m_pViewActive && m_pViewActive->m_hWnd)
        m_pViewActive->SetFocus();
    else
        CWnd::OnSetFocus(pOldWnd);
}

void CFrameWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
{
    CWnd::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
    if (!bSysMenu)
        CCmdUI::UpdateMenu(pPopupMenu, this, TRUE);
}
