#include "controls/MyColorButton.h"

#include "res/resource.h"

namespace {
const int kPictureWidth = 73;
const int kPictureHeight = 19;
}

BEGIN_MESSAGE_MAP(CMyColorButton, CButton)
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSEHOVER, &CMyColorButton::OnMouseHover)
    ON_MESSAGE(WM_MOUSELEAVE, &CMyColorButton::OnMouseLeave)
END_MESSAGE_MAP()

CMyColorButton::CMyColorButton()
{
    const UINT ids[5] = {IDB_BUTTON_NORMAL, IDB_BUTTON_DISABLED, IDB_BUTTON_PRESSED,
                         IDB_BUTTON_FOCUSED, IDB_BUTTON_HOVER};
    for (int i = 0; i < 5; ++i)
        m_bmpState[i].LoadBitmap(ids[i]);
}

CMyColorButton::~CMyColorButton()
{
    // The window goes while DrawItem can still be reached.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        UnsubclassWindow();
}

int CMyColorButton::StateFor(UINT itemState) const
{
    if (m_bHover)
        return (itemState & ODS_SELECTED) ? kPressedHover : kHover;
    if (itemState & ODS_FOCUS)
        return kFocused;
    if (itemState & ODS_DISABLED)
        return kDisabled;
    return kNormal;
}

void CMyColorButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    PaintState(CDC::FromHandle(lpDrawItemStruct->hDC), StateFor(lpDrawItemStruct->itemState));
}

void CMyColorButton::PaintState(CDC* pDC, int nState)
{
    CRect rc;
    GetClientRect(&rc);
    CDC mem;
    mem.CreateCompatibleDC(pDC);
    CBitmap* oldBitmap = mem.SelectObject(&m_bmpState[nState]);
    pDC->StretchBlt(0, 0, rc.Width(), rc.Height(), &mem, 0, 0, kPictureWidth, kPictureHeight, SRCCOPY);
    CString text;
    GetWindowText(text);
    CGdiObject* oldFont = pDC->SelectStockObject(DEFAULT_GUI_FONT);
    pDC->SetBkMode(TRANSPARENT);
    pDC->DrawText(text, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    mem.SelectObject(oldBitmap);
    pDC->SelectObject(oldFont);
    mem.DeleteDC();
}

void CMyColorButton::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bHover) {
        TRACKMOUSEEVENT tme = {};
        tme.cbSize = sizeof tme;
        tme.dwFlags = TME_HOVER | TME_LEAVE;
        tme.hwndTrack = m_hWnd;
        tme.dwHoverTime = 1;
        // A failed request is made again on the next move.
        m_bHover = ::_TrackMouseEvent(&tme);
    }
    CButton::OnMouseMove(nFlags, point);
}

LRESULT CMyColorButton::OnMouseHover(WPARAM, LPARAM)
{
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return 0;
}

LRESULT CMyColorButton::OnMouseLeave(WPARAM, LPARAM)
{
    m_bHover = FALSE;
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return 0;
}
