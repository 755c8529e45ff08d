#include "framework/View.h"

#include <cstdlib>

IMPLEMENT_DYNAMIC(CScrollView, CView)

BEGIN_MESSAGE_MAP(CScrollView, CView)
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

const SIZE CScrollView::sizeDefault = { 0, 0 };

namespace {

int Clamp(int value, int low, int high)
{
    if (value > high)
        value = high;
    return value < low ? low : value;
}

} // namespace

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage,
                                 const SIZE& sizeLine)
{
    int oldMode = m_nMapMode;
    m_nMapMode = nMapMode;
    m_totalLog = sizeTotal;
    m_totalDev = sizeTotal;
    m_pageDev = sizePage;
    m_lineDev = sizeLine;
    if (nMapMode != MM_TEXT) {
        // Logical to device units through a screen DC in the same mapping mode.
        CClientDC dc(nullptr);
        dc.SetMapMode(nMapMode);
        dc.LPtoDP(&m_totalDev);
        dc.LPtoDP(&m_pageDev);
        dc.LPtoDP(&m_lineDev);
        m_totalDev = CSize(std::abs(m_totalDev.cx), std::abs(m_totalDev.cy));
        m_pageDev = CSize(std::abs(m_pageDev.cx), std::abs(m_pageDev.cy));
        m_lineDev = CSize(std::abs(m_lineDev.cx), std::abs(m_lineDev.cy));
    }
    // Steps left at zero follow the view: see LineStep and PageStep.
    m_bDefaultPage[0] = m_pageDev.cx <= 0;
    m_bDefaultPage[1] = m_pageDev.cy <= 0;
    m_bDefaultLine[0] = m_lineDev.cx <= 0;
    m_bDefaultLine[1] = m_lineDev.cy <= 0;
    if (m_hWnd) {
        UpdateBars();
        if (oldMode != m_nMapMode)
            Invalidate(TRUE);
    }
}

void CScrollView::GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage,
                                       SIZE& sizeLine) const
{
    nMapMode = m_nMapMode;
    sizeTotal = m_totalDev;
    sizePage = PageStep();
    sizeLine = LineStep();
}

CSize CScrollView::DefaultLineSize() const
{
    if (!m_hWnd)
        return CSize(16, 16);
    HDC dc = ::GetDC(m_hWnd);
    HFONT font = (HFONT)::SendMessageW(m_hWnd, WM_GETFONT, 0, 0);
    HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
    TEXTMETRICW tm = {};
    ::GetTextMetricsW(dc, &tm);
    if (old)
        ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    int h = tm.tmHeight + tm.tmExternalLeading;
    return CSize(h, h);
}

CSize CScrollView::LineStep() const
{
    CSize line = m_lineDev;
    if (m_bDefaultLine[0] || m_bDefaultLine[1]) {
        CSize text = DefaultLineSize();
        if (m_bDefaultLine[0])
            line.cx = text.cx;
        if (m_bDefaultLine[1])
            line.cy = text.cy;
    }
    // Every step moves at least one pixel.
    return CSize(line.cx < 1 ? 1 : line.cx, line.cy < 1 ? 1 : line.cy);
}

CSize CScrollView::PageStep() const
{
    CSize page = m_pageDev;
    if (m_bDefaultPage[0] || m_bDefaultPage[1]) {
        RECT rc = {0, 0, 0, 0};
        if (m_hWnd)
            ::GetClientRect(m_hWnd, &rc);
        CSize line = LineStep();
        if (m_bDefaultPage[0])
            page.cx = rc.right - line.cx;
        if (m_bDefaultPage[1])
            page.cy = rc.bottom - line.cy;
    }
    return CSize(page.cx < 1 ? 1 : page.cx, page.cy < 1 ? 1 : page.cy);
}

CPoint CScrollView::GetScrollPosition() const
{
    if (m_nMapMode == MM_TEXT || m_nMapMode == 0)
        return m_ptScroll;
    CClientDC dc(nullptr);
    dc.SetMapMode(m_nMapMode);
    POINT pt = m_ptScroll;
    dc.DPtoLP(&pt);
    return CPoint(pt);
}

void CScrollView::ScrollToPosition(POINT pt)
{
    if (m_nMapMode != MM_TEXT && m_nMapMode != 0) {
        CClientDC dc(nullptr);
        dc.SetMapMode(m_nMapMode);
        dc.LPtoDP(&pt);
        pt.x = std::abs(pt.x);
        pt.y = std::abs(pt.y);
    }
    ScrollToDevicePosition(pt);
}

CPoint CScrollView::MaxDeviceScrollPosition() const
{
    RECT rc = { 0, 0, 0, 0 };
    if (m_hWnd)
        ::GetClientRect(m_hWnd, &rc);
    int maxX = m_totalDev.cx - rc.right;
    int maxY = m_totalDev.cy - rc.bottom;
    return CPoint(maxX > 0 ? maxX : 0, maxY > 0 ? maxY : 0);
}

void CScrollView::ScrollToDevicePosition(POINT ptDev)
{
    CPoint maxPos = MaxDeviceScrollPosition();
    CPoint pos(Clamp(ptDev.x, 0, maxPos.x), Clamp(ptDev.y, 0, maxPos.y));
    if (pos == m_ptScroll)
        return;
    CPoint old = m_ptScroll;
    m_ptScroll = pos;
    if (!m_hWnd)
        return;
    SetScrollPos(SB_HORZ, pos.x);
    SetScrollPos(SB_VERT, pos.y);
    ScrollWindow(old.x - pos.x, old.y - pos.y);
}

void CScrollView::UpdateBars()
{
    if (m_bInsideUpdate || !m_hWnd)
        return;
    m_bInsideUpdate = true;

    CRect rc;
    GetClientRect(&rc);
    int cxBar = ::GetSystemMetrics(SM_CXVSCROLL);
    int cyBar = ::GetSystemMetrics(SM_CYHSCROLL);
    DWORD style = GetStyle();
    // The client size without any bar.
    CSize full(rc.Width() + ((style & WS_VSCROLL) ? cxBar : 0),
               rc.Height() + ((style & WS_HSCROLL) ? cyBar : 0));
    bool needV = m_totalDev.cy > full.cy;
    bool needH = m_totalDev.cx > full.cx;
    // One bar takes room from the other direction.
    if (needV && !needH)
        needH = m_totalDev.cx > full.cx - cxBar;
    if (needH && !needV)
        needV = m_totalDev.cy > full.cy - cyBar;
    CSize avail(full.cx - (needV ? cxBar : 0), full.cy - (needH ? cyBar : 0));
    if (avail.cx < 0) avail.cx = 0;
    if (avail.cy < 0) avail.cy = 0;

    CPoint maxPos(needH ? m_totalDev.cx - avail.cx : 0, needV ? m_totalDev.cy - avail.cy : 0);
    CPoint pos(Clamp(m_ptScroll.x, 0, maxPos.x), Clamp(m_ptScroll.y, 0, maxPos.y));
    if (pos != m_ptScroll) {
        ScrollWindow(m_ptScroll.x - pos.x, m_ptScroll.y - pos.y);
        m_ptScroll = pos;
    }

    SCROLLINFO si = {};
    si.fMask = SIF_PAGE | SIF_RANGE | SIF_POS;
    si.nMin = 0;
    si.nMax = needH ? m_totalDev.cx - 1 : 0;
    si.nPage = needH ? (UINT)avail.cx : 0;
    si.nPos = pos.x;
    SetScrollInfo(SB_HORZ, &si, TRUE);
    ShowScrollBar(SB_HORZ, needH);
    si.nMax = needV ? m_totalDev.cy - 1 : 0;
    si.nPage = needV ? (UINT)avail.cy : 0;
    si.nPos = pos.y;
    SetScrollInfo(SB_VERT, &si, TRUE);
    ShowScrollBar(SB_VERT, needV);

    m_bInsideUpdate = false;
}

void CScrollView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    pDC->SetMapMode(m_nMapMode ? m_nMapMode : MM_TEXT);
    pDC->SetViewportOrg(-m_ptScroll.x, -m_ptScroll.y);
    CView::OnPrepareDC(pDC, pInfo);
}

void CScrollView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    UpdateBars();
}

BOOL CScrollView::OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll)
{
    CPoint maxPos = MaxDeviceScrollPosition();
    const CSize line = LineStep();
    const CSize page = PageStep();
    int x = m_ptScroll.x;
    int y = m_ptScroll.y;
    switch (LOBYTE(nScrollCode)) {
    case SB_TOP: x = 0; break;
    case SB_BOTTOM: x = maxPos.x; break;
    case SB_LINEUP: x -= line.cx; break;
    case SB_LINEDOWN: x += line.cx; break;
    case SB_PAGEUP: x -= page.cx; break;
    case SB_PAGEDOWN: x += page.cx; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: x = (int)nPos; break;
    default: break;
    }
    switch (HIBYTE(nScrollCode)) {
    case SB_TOP: y = 0; break;
    case SB_BOTTOM: y = maxPos.y; break;
    case SB_LINEUP: y -= line.cy; break;
    case SB_LINEDOWN: y += line.cy; break;
    case SB_PAGEUP: y -= page.cy; break;
    case SB_PAGEDOWN: y += page.cy; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: y = (int)nPos; break;
    default: break;
    }
    return OnScrollBy(CSize(x - m_ptScroll.x, y - m_ptScroll.y), bDoScroll);
}

BOOL CScrollView::OnScrollBy(CSize sizeScroll, BOOL bDoScroll)
{
    CPoint maxPos = MaxDeviceScrollPosition();
    CPoint target(Clamp(m_ptScroll.x + sizeScroll.cx, 0, maxPos.x),
                  Clamp(m_ptScroll.y + sizeScroll.cy, 0, maxPos.y));
    if (target == m_ptScroll)
        return FALSE;
    if (bDoScroll)
        ScrollToDevicePosition(target);
    return TRUE;
}

namespace {

// The thumb position of a drag: the message carries only 16 bits of it.
UINT ThumbPosition(CWnd* wnd, int bar, UINT nSBCode, UINT nPos, int total)
{
    if ((nSBCode != SB_THUMBTRACK && nSBCode != SB_THUMBPOSITION) || total <= 0xFFFF)
        return nPos;
    SCROLLINFO si = {};
    if (wnd->GetScrollInfo(bar, &si, SIF_TRACKPOS))
        return (UINT)si.nTrackPos;
    return nPos;
}

} // namespace

void CScrollView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (pScrollBar)
        return;   // a scroll-bar control of ours, not the window's own bar
    OnScroll(MAKEWORD(nSBCode, 0xFF), ThumbPosition(this, SB_HORZ, nSBCode, nPos, m_totalDev.cx));
}

void CScrollView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (pScrollBar)
        return;
    OnScroll(MAKEWORD(0xFF, nSBCode), ThumbPosition(this, SB_VERT, nSBCode, nPos, m_totalDev.cy));
}

BOOL CScrollView::OnMouseWheel(UINT, short zDelta, CPoint)
{
    CPoint maxPos = MaxDeviceScrollPosition();
    if (maxPos.x == 0 && maxPos.y == 0)
        return FALSE;
    UINT lines = 3;
    ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    bool vertical = maxPos.y > 0;
    int step;
    if (lines == WHEEL_PAGESCROLL)
        step = vertical ? PageStep().cy : PageStep().cx;
    else
        step = (int)lines * (vertical ? LineStep().cy : LineStep().cx);
    int amount = -(int)zDelta * step / WHEEL_DELTA;
    return OnScrollBy(vertical ? CSize(0, amount) : CSize(amount, 0), TRUE);
}
