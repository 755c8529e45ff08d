#include "framework/View.h"
#include "framework/Doc.h"
#include "framework/Frame.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_MOUSEACTIVATE()
END_MESSAGE_MAP()

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxDefaultViewClass();
    // A bordered view gets the sunken client edge instead of a flat line.
    if (cs.style & WS_BORDER) {
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
        cs.style &= ~WS_BORDER;
    }
    cs.style |= WS_CLIPSIBLINGS;
    return TRUE;
}

void CView::PostNcDestroy()
{
    delete this;
}

int CView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    // Views made by a frame come with the document they show.
    auto* context = static_cast<CCreateContext*>(lpCreateStruct->lpCreateParams);
    if (context && context->m_pCurrentDoc)
        context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy()
{
    if (CFrameWnd* frame = GetParentFrame())
        if (frame->GetActiveView() == this)
            frame->SetActiveView(nullptr, FALSE);
    CWnd::OnDestroy();
}

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

void CView::OnPrepareDC(CDC*, CPrintInfo*)
{
}

void CView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*)
{
    Invalidate(TRUE);
}

void CView::OnActivateView(BOOL bActivate, CView* pActivateView, CView*)
{
    if (!bActivate || pActivateView != this || !m_hWnd)
        return;
    // Take the keyboard when our top-level window is the active one.
    CWnd* top = GetTopLevelParent();
    HWND focus = ::GetFocus();
    if (top && ::GetActiveWindow() == top->m_hWnd && focus != m_hWnd && !::IsChild(m_hWnd, focus))
        SetFocus();
}

int CView::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    int result = CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT)
        return result;
    // A click makes this the view that receives the frame's commands.
    if (CFrameWnd* frame = GetParentFrame()) {
        if (frame->GetActiveView() == this) {
            HWND focus = ::GetFocus();
            if (focus != m_hWnd && !::IsChild(m_hWnd, focus))
                SetFocus();
        } else {
            frame->SetActiveView(this);
        }
    }
    return result;
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    UINT nMsg = (UINT)nCode == CN_UPDATE_COMMAND_UI ? 0 : HIWORD((UINT)nCode);
    if (nMsg >= WM_REFLECT_BASE)
        return FALSE;
    return m_pDocument && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
