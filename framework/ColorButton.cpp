#include "framework/ColorButton.h"

IMPLEMENT_DYNAMIC(CMFCColorButton, CButton)

BEGIN_MESSAGE_MAP(CMFCColorButton, CButton)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, &CMFCColorButton::OnClicked)
END_MESSAGE_MAP()

namespace {

AfxChooseColorHook g_chooseColorHook = nullptr;

// The user's custom colours, kept between dialogs for the whole run.
COLORREF g_customColors[16] = {
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};

// Clears a flag however the scope is left.
struct FlagScope {
    BOOL& flag;
    explicit FlagScope(BOOL& f) : flag(f) { flag = TRUE; }
    ~FlagScope() { flag = FALSE; }
};

} // namespace

AfxChooseColorHook AfxSetChooseColorHook(AfxChooseColorHook hook)
{
    AfxChooseColorHook old = g_chooseColorHook;
    g_chooseColorHook = hook;
    return old;
}

BOOL AfxChooseColor(CHOOSECOLORW* pcc)
{
    if (!pcc)
        return FALSE;
    if (g_chooseColorHook)
        return g_chooseColorHook(pcc);
    return ::ChooseColorW(pcc);
}

void CMFCColorButton::SetColor(COLORREF color)
{
    m_Color = color & 0xFFFFFF;
    if (m_hWnd)
        Invalidate(FALSE);
}

void CMFCColorButton::PreSubclassWindow()
{
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
}

BOOL CMFCColorButton::OnClicked()
{
    if (m_bNotifying)
        return FALSE;   // our own notification: it is the parent's
    CHOOSECOLORW cc = {};
    cc.lStructSize = sizeof cc;
    CWnd* pTop = GetTopLevelParent();
    cc.hwndOwner = pTop ? pTop->m_hWnd : nullptr;
    cc.rgbResult = m_Color;
    cc.lpCustColors = g_customColors;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
    if (!AfxChooseColor(&cc))
        return TRUE;
    SetColor(cc.rgbResult);
    UpdateWindow();
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent) {
        FlagScope notifying(m_bNotifying);
        ::SendMessageW(hParent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED), (LPARAM)m_hWnd);
    }
    return TRUE;
}

void CMFCColorButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    CRect rc(lpDrawItemStruct->rcItem);
    const UINT state = lpDrawItemStruct->itemState;
    const bool disabled = (state & ODS_DISABLED) != 0;
    pDC->FillSolidRect(&rc, ::GetSysColor(COLOR_BTNFACE));
    pDC->DrawEdge(&rc, (state & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    CRect swatch = rc;
    swatch.DeflateRect(4, 4);
    if (state & ODS_SELECTED)
        swatch.OffsetRect(1, 1);
    if (swatch.Width() > 0 && swatch.Height() > 0) {
        pDC->FillSolidRect(&swatch, disabled ? ::GetSysColor(COLOR_BTNFACE) : m_Color);
        CBrush frame;
        frame.CreateSolidBrush(::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        pDC->FrameRect(&swatch, &frame);
    }
    if (state & ODS_FOCUS) {
        CRect focus = rc;
        focus.DeflateRect(2, 2);
        pDC->DrawFocusRect(&focus);
    }
}
