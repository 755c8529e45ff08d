#include "controls/ProSliderCtrl.h"

#include <commctrl.h>

#include "app/DisplaySettings.h"
#include "framework/Dc.h"

IMPLEMENT_DYNAMIC(CProSliderCtrl, CSliderCtrl)

BEGIN_MESSAGE_MAP(CProSliderCtrl, CSliderCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, &CProSliderCtrl::OnCustomDraw)
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

namespace {

// One rounded ring of the colour over rect, drawn with a brush and a pen of it.
void RoundRing(CDC* pDC, const CRect& rect, COLORREF clr)
{
    HDC dc = pDC->GetSafeHdc();
    HBRUSH brush = CreateSolidBrush(clr);
    HPEN pen = CreatePen(PS_SOLID, 1, clr);
    HGDIOBJ oldBrush = brush ? SelectObject(dc, brush) : nullptr;
    HGDIOBJ oldPen = pen ? SelectObject(dc, pen) : nullptr;
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, 2, 2);
    if (oldPen)
        SelectObject(dc, oldPen);
    if (oldBrush)
        SelectObject(dc, oldBrush);
    if (pen)
        DeleteObject(pen);
    if (brush)
        DeleteObject(brush);
}

int Lighter(int c, int step, bool ringRule)
{
    if (ringRule)    // below 246 grows by the step, the rest stays
        return c < 246 ? c + step : c;
    return c + step > 255 ? 255 : c + step;
}

COLORREF LighterColour(COLORREF clr, int step, bool ringRule)
{
    return RGB(Lighter(GetRValue(clr), step, ringRule), Lighter(GetGValue(clr), step, ringRule),
               Lighter(GetBValue(clr), step, ringRule));
}

// Shrinks by 1 on every side, across (left and right) or along (top and bottom).
void Shrink(CRect& rect, bool both, bool vertical)
{
    if (both)
        rect.DeflateRect(1, 1);
    else if (vertical)
        rect.DeflateRect(1, 0);
    else
        rect.DeflateRect(0, 1);
}

} // namespace

CProSliderCtrl::CProSliderCtrl()
{
    const DisplaySettingsBlock& ds = DisplaySettings;
    m_clrChannel = ds.clrBg;
    m_clrFill = ds.clrText;
    m_clrThumb = ds.clrBg;
}

CProSliderCtrl::~CProSliderCtrl()
{
}

void CProSliderCtrl::Repaint()
{
    if (!m_hWnd)
        return;
    int lo = 0, hi = 0;
    GetRange(lo, hi);
    SetRange(lo, hi, TRUE);
}

void CProSliderCtrl::UpdateColors()
{
    const DisplaySettingsBlock& ds = DisplaySettings;
    m_clrChannel = ds.clrBg;
    Repaint();
    m_clrThumb = ds.clrText;
    Repaint();
    m_clrFill = ds.clrBg;
    Repaint();
}

void CProSliderCtrl::DrawRoundGradient(CDC* pDC, CRect rect, COLORREF clr, BOOL bBoth)
{
    const bool vertical = m_hWnd && (GetStyle() & TBS_VERT);
    bool both = bBoth != FALSE;
    for (;;) {
        RoundRing(pDC, rect, clr);
        Shrink(rect, both, vertical);
        clr = LighterColour(clr, 10, true);
        if (rect.IsRectEmpty())
            break;
        both = false;
    }
}

void CProSliderCtrl::DrawRoundGradientFirst(CDC* pDC, CRect rect, COLORREF clr, BOOL bBoth,
                                            BOOL bVertical, int nStep)
{
    RoundRing(pDC, rect, clr);
    Shrink(rect, bBoth != FALSE, bVertical != FALSE);
    clr = LighterColour(clr, nStep & 0xFF, false);
    if (!rect.IsRectEmpty())
        DrawRoundGradient(pDC, rect, clr, FALSE);
}

void CProSliderCtrl::DrawChannelBackground(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    DrawRoundGradientFirst(pDC, client, m_clrChannel, TRUE, FALSE, 5);
}

void CProSliderCtrl::DrawChannel(CDC* pDC, const CRect& channel)
{
    // The fill reaches the thumb: the position within the range.
    int lo = 0, hi = 0;
    GetRange(lo, hi);
    m_nFillDivisor = hi - lo;
    m_nFillPart = GetPos() - lo;

    CRect rect = channel;
    CRect fill;
    const bool vertical = rect.Height() > rect.Width();
    if (!vertical) {
        rect.InflateRect(0, 5);
        pDC->DrawEdge(&rect, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        rect.InflateRect(0, 1);
        const int length = m_nFillDivisor ? rect.Width() * m_nFillPart / m_nFillDivisor : 0;
        fill.SetRect(9, rect.top, 9 + length, rect.bottom);
    } else {
        rect.InflateRect(5, 0);
        pDC->DrawEdge(&rect, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        rect.InflateRect(1, 0);
        const int length = m_nFillDivisor ? rect.Height() * m_nFillPart / m_nFillDivisor : 0;
        fill.SetRect(rect.left, 9, rect.right, 9 + length);
    }
    DrawRoundGradientFirst(pDC, fill, m_clrFill, TRUE, vertical, 20);
}

void CProSliderCtrl::DrawThumb(CDC* pDC, const CRect& thumb, UINT itemState)
{
    // Wine reports a dragged thumb as hot, never selected: the capture tells,
    // when the press that took it was on the thumb (a press on the channel
    // takes it too).
    if ((itemState & CDIS_SELECTED) || (m_bThumbPressed && m_hWnd && ::GetCapture() == m_hWnd))
        m_clrThumb = m_clrThumbSelected;
    DrawRoundGradient(pDC, thumb, m_clrThumb, TRUE);
}

void CProSliderCtrl::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    NMCUSTOMDRAW* cd = reinterpret_cast<NMCUSTOMDRAW*>(pNMHDR);
    CDC* pDC = CDC::FromHandle(cd->hdc);
    switch (cd->dwDrawStage) {
    case CDDS_PREPAINT:
        *pResult = CDRF_NOTIFYITEMDRAW;
        return;
    case CDDS_PREERASE:
    case CDDS_POSTERASE:
        *pResult = CDRF_SKIPDEFAULT;
        return;
    case CDDS_ITEMPREPAINT:
        if (cd->dwItemSpec == TBCD_THUMB) {
            DrawThumb(pDC, CRect(cd->rc), cd->uItemState);
            *pResult = CDRF_SKIPDEFAULT;
            return;
        }
        if (cd->dwItemSpec == TBCD_CHANNEL) {
            if (m_bDrawBackground)
                DrawChannelBackground(pDC);
            DrawChannel(pDC, CRect(cd->rc));
            *pResult = CDRF_SKIPDEFAULT;
            return;
        }
        break;
    default:
        break;
    }
    *pResult = CDRF_DODEFAULT;
}

LRESULT CProSliderCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool range = message == TBM_SETRANGE || message == TBM_SETRANGEMIN ||
                       message == TBM_SETRANGEMAX;
    const bool moves = range || message == TBM_SETPOS || message == WM_KEYDOWN ||
                       message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
                       message == WM_MOUSEMOVE || message == WM_TIMER;
    const HWND hwnd = m_hWnd;
    if (!moves || !hwnd)
        return CSliderCtrl::WindowProc(message, wParam, lParam);
    int lo = 0, hi = 0;
    GetRange(lo, hi);
    const int pos = GetPos();
    const LRESULT result = CSliderCtrl::WindowProc(message, wParam, lParam);
    if (!::IsWindow(hwnd))
        return result;
    int newLo = 0, newHi = 0;
    GetRange(newLo, newHi);
    if (range && (newLo != lo || newHi != hi)) {
        // Wine's trackbar keeps the thumb where the old range put it until
        // its layout is computed again.
        RECT client;
        ::GetClientRect(hwnd, &client);
        ::SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    }
    if (newLo != lo || newHi != hi || GetPos() != pos)
        ::InvalidateRect(hwnd, nullptr, FALSE);
    return result;
}

void CProSliderCtrl::OnMouseMove(UINT, CPoint point)
{
    CRect thumb;
    GetThumbRect(&thumb);
    thumb.InflateRect(2, -2);
    m_clrThumb = thumb.PtInRect(point) ? m_clrThumbHover : m_clrThumbNormal;
    Repaint();
    Default();
}

void CProSliderCtrl::OnTimer(UINT_PTR)
{
    if (m_nBlink == 0) {
        m_clrThumb = m_clrChannel = 0xCCCCCC;
        m_nBlink = 1;
    } else {
        m_clrThumb = m_clrChannel = 0xCC6666;
        m_nBlink = 0;
    }
    Repaint();
    Default();
}

void CProSliderCtrl::OnLButtonDown(UINT, CPoint point)
{
    CRect thumb;
    GetThumbRect(&thumb);
    m_bThumbPressed = thumb.PtInRect(point) != FALSE;
    Default();
}
