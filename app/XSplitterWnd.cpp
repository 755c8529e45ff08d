#include "app/XSplitterWnd.h"

#include <algorithm>

namespace {

const UINT_PTR kHoverTimer = 1;
const UINT kHoverPeriod = 10;       // ms
const int kButtonLength = 50;
const int kButtonThickness = 8;

} // namespace

IMPLEMENT_DYNAMIC(CXSplitterWnd, CSplitterWnd)

BEGIN_MESSAGE_MAP(CXSplitterWnd, CSplitterWnd)
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONUP()
    ON_WM_TIMER()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CXSplitterWnd::CXSplitterWnd()
    : m_rcButton(0, 0, 50, 50)
{
    m_cxSplitter = m_cySplitter = 8;
    m_cxBorderShare = m_cyBorderShare = 0;
    m_cxSplitterGap = m_cySplitterGap = 9;
    m_cxBorder = m_cyBorder = 1;
    m_cxPaneEdge = m_cyPaneEdge = 1;
}

CXSplitterWnd::~CXSplitterWnd()
{
    m_memDC.DeleteDC();
}

BOOL CXSplitterWnd::CreateStatic(CWnd* pParentWnd, int nRows, int nCols, int nSide, DWORD dwStyle,
                                 UINT nID)
{
    if (nSide < 5) {
        m_nSide = nSide;
        m_bCollapsed = 0;
    }
    return CSplitterWnd::CreateStatic(pParentWnd, nRows, nCols, dwStyle, nID);
}

BOOL CXSplitterWnd::LoadButtonBitmaps(UINT nIDA, UINT nIDB, UINT nIDD, UINT nIDC)
{
    if (!m_bmpA.LoadBitmap(nIDA) || !m_bmpB.LoadBitmap(nIDB) || !m_bmpC.LoadBitmap(nIDC) ||
        !m_bmpD.LoadBitmap(nIDD))
        return FALSE;
    CClientDC dc(this);
    return m_memDC.CreateCompatibleDC(&dc);
}

void CXSplitterWnd::GetButtonRect(CRect& rect)
{
    CRect rcWnd;
    GetWindowRect(&rcWnd);
    int cur = 0, min = 0;
    if (IsColumnBar()) {
        GetColumnInfo(0, cur, min);
        const int h = rcWnd.Height();
        rect.SetRect(cur + 2, h / 2 - kButtonLength / 2, cur + 2 + kButtonThickness,
                     h / 2 + kButtonLength / 2);
    } else {
        GetRowInfo(0, cur, min);
        const int w = rcWnd.Width();
        rect.SetRect(w / 2 - kButtonLength / 2, cur + 2, w / 2 + kButtonLength / 2,
                     cur + 2 + kButtonThickness);
    }
}

void CXSplitterWnd::DrawButton(CDC* pDC)
{
    if (!pDC)
        return;
    CBitmap* bmp = &m_bmpA;
    switch (m_nSide + 4 * m_bCollapsed) {
    case 1: case 6: bmp = &m_bmpA; break;
    case 2: case 5: bmp = &m_bmpB; break;
    case 3: case 8: bmp = &m_bmpC; break;
    case 4: case 7: bmp = &m_bmpD; break;
    default: break;
    }
    GetButtonRect(m_rcButton);
    if (!m_memDC.GetSafeHdc() || !bmp->GetSafeHandle())
        return;
    HGDIOBJ old = m_memDC.SelectObject((HGDIOBJ)bmp->GetSafeHandle());
    const int srcX = m_bHover * (IsColumnBar() ? kButtonThickness : kButtonLength);
    pDC->BitBlt(m_rcButton.left, m_rcButton.top, m_rcButton.Width(), m_rcButton.Height(), &m_memDC,
                srcX, 0, SRCCOPY);
    m_memDC.SelectObject(old);
}

void CXSplitterWnd::OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect)
{
    if (nType != splitBar || !pDC) {
        CSplitterWnd::OnDrawSplitter(pDC, nType, rect);
        return;
    }
    if (m_nSide == kNoButton)
        return;
    pDC->Draw3dRect(rect, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawButton(pDC);
}

void CXSplitterWnd::OnInvertTracker(const CRect& rect)
{
    CSplitterWnd::OnInvertTracker(rect);
}

BOOL CXSplitterWnd::DoKeyboardSplit()
{
    return CSplitterWnd::DoKeyboardSplit();
}

void CXSplitterWnd::Collapse()
{
    if (m_nSide == kNoButton)
        return;
    m_bCollapsed = 1;
    CRect client;
    GetClientRect(&client);
    if (IsColumnBar()) {
        GetColumnInfo(0, m_nSavedCur, m_nSavedMin);
        if (m_nSide == kSideLeft)
            SetColumnInfo(0, m_nSavedMin, m_nSavedMin);
        else
            SetColumnInfo(0, client.Width(), m_nSavedMin);
    } else {
        GetRowInfo(0, m_nSavedCur, m_nSavedMin);
        if (m_nSide == kSideUp)
            SetRowInfo(0, m_nSavedMin, m_nSavedMin);
        else
            SetRowInfo(0, client.Height(), m_nSavedMin);
    }
    RecalcLayout();
}

void CXSplitterWnd::Restore()
{
    if (!m_bCollapsed)
        return;
    m_bCollapsed = 0;
    if (IsColumnBar())
        SetColumnInfo(0, m_nSavedCur, m_nSavedMin);
    else
        SetRowInfo(0, m_nSavedCur, m_nSavedMin);
    RecalcLayout();
}

void CXSplitterWnd::ShowPane(int index, int firstSize)
{
    if (!m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    const int whole = IsColumnBar() ? client.Width() : client.Height();
    int first = 0, min = 0;
    auto roomy = [&] {
        if (IsColumnBar())
            GetColumnInfo(0, first, min);
        else
            GetRowInfo(0, first, min);
        return (index == 0 ? first : whole - first) >= whole / 4;
    };
    if (roomy())
        return;
    Restore();
    if (roomy())
        return;
    first = std::min(firstSize, whole / 2);
    if (IsColumnBar())
        SetColumnInfo(0, first, min);
    else
        SetRowInfo(0, first, min);
    RecalcLayout();
}

void CXSplitterWnd::OnSize(UINT nType, int cx, int cy)
{
    // Collapsed towards the far side, the first pane keeps the whole client
    // as the window grows (full screen): the other pane stays closed.
    if (m_bCollapsed && nType != SIZE_MINIMIZED && m_hWnd) {
        if (m_nSide == kSideRight)
            SetColumnInfo(0, cx, m_nSavedMin);
        else if (m_nSide == kSideDown)
            SetRowInfo(0, cy, m_nSavedMin);
    }
    CSplitterWnd::OnSize(nType, cx, cy);
}

bool CXSplitterWnd::IsOnButton(CPoint pt)
{
    if (m_nSide == kNoButton)
        return false;
    GetButtonRect(m_rcButton);
    return m_rcButton.PtInRect(pt) != FALSE;
}

void CXSplitterWnd::ToggleCollapse()
{
    if (m_bCollapsed)
        Restore();
    else
        Collapse();
}

void CXSplitterWnd::OnMouseMove(UINT nFlags, CPoint pt)
{
    SetTimer(kHoverTimer, kHoverPeriod);
    if (m_bAllowDrag && !IsOnButton(pt))
        CSplitterWnd::OnMouseMove(nFlags, pt);
    else
        Default();
}

void CXSplitterWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kHoverTimer) {
        Default();
        return;
    }
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(&pt);
    m_ptCursor = pt;
    if (!m_bPressed && IsOnButton(CPoint(pt))) {
        if (!m_bHover) {
            m_bHover = 1;
            InvalidateRect(&m_rcButton, FALSE);
        }
        return;
    }
    KillTimer(kHoverTimer);
    if (m_bHover) {
        m_bHover = 0;
        InvalidateRect(&m_rcButton, FALSE);
    }
}

void CXSplitterWnd::OnLButtonDown(UINT nFlags, CPoint pt)
{
    m_bPressed = 1;
    if (m_bAllowDrag && !IsOnButton(pt))
        CSplitterWnd::OnLButtonDown(nFlags, pt);
    else
        Default();
}

void CXSplitterWnd::OnLButtonUp(UINT nFlags, CPoint pt)
{
    m_bPressed = 0;
    if (!m_bTracking && IsOnButton(pt)) {
        ToggleCollapse();
        Default();
        return;
    }
    if (m_bAllowDrag)
        CSplitterWnd::OnLButtonUp(nFlags, pt);
    else
        Default();
}

BOOL CXSplitterWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_bAllowDrag && nHitTest == HTCLIENT) {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(&pt);
        if (!IsOnButton(CPoint(pt)))
            return CSplitterWnd::OnSetCursor(pWnd, nHitTest, message);
    }
    return (BOOL)Default();
}

void CXSplitterWnd::OnRButtonUp(UINT, CPoint)
{
    Default();
    switch (m_nSide) {
    case kSideLeft: m_nSide = kSideRight; break;
    case kSideRight: m_nSide = kSideLeft; break;
    case kSideUp: m_nSide = kSideDown; break;
    case kSideDown: m_nSide = kSideUp; break;
    default: return;
    }
    GetButtonRect(m_rcButton);
    InvalidateRect(&m_rcButton, FALSE);
}

BOOL CXSplitterWnd::OnEraseBkgnd(CDC*)
{
    return (BOOL)Default();
}
