#include "framework/Bars.h"
#include "framework/Frame.h"
#include "framework/Gdi.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CControlBar, CWnd)
IMPLEMENT_DYNAMIC(CToolBarCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)
IMPLEMENT_DYNAMIC(CReBarCtrl, CWnd)
IMPLEMENT_DYNAMIC(CReBar, CControlBar)
IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, &CControlBar::OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CReBar, CControlBar)
    ON_NOTIFY_REFLECT(RBN_HEIGHTCHANGE, &CReBar::OnHeightChange)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
    ON_WM_SIZE()
END_MESSAGE_MAP()

// CControlBar ------------------------------------------------------------------------

CControlBar::~CControlBar() = default;

void CControlBar::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}

DWORD CControlBar::TakeBarStyle(DWORD dwStyle)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    return dwStyle & ~CBRS_ALL;
}

void CControlBar::SetBarStyle(DWORD dwStyle)
{
    m_dwStyle = dwStyle & CBRS_ALL;
}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom)
{
    m_cxLeftBorder = cxLeft;
    m_cyTopBorder = cyTop;
    m_cxRightBorder = cxRight;
    m_cyBottomBorder = cyBottom;
}

void CControlBar::SetBorders(LPCRECT lpRect)
{
    if (lpRect)
        SetBorders(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}

CRect CControlBar::GetBorders() const
{
    return CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder);
}

CFrameWnd* CControlBar::GetDockingFrame() const
{
    return GetParentFrame();
}

BOOL CControlBar::IsVisible() const
{
    return m_hWnd && ::IsWindowVisible(m_hWnd);
}

CSize CControlBar::CalcControlSize(BOOL bStretch, BOOL bHorz)
{
    CRect rc;
    if (m_hWnd)
        ::GetWindowRect(m_hWnd, &rc);
    if (bStretch)
        return bHorz ? CSize(32767, rc.Height()) : CSize(rc.Width(), 32767);
    return CSize(rc.Width(), rc.Height());
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    return CalcControlSize(bStretch, bHorz);
}

CSize CControlBar::CalcDynamicLayout(int, DWORD)
{
    return CalcFixedLayout(TRUE, TRUE);
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if (IsVisible())
        if (CFrameWnd* frame = GetDockingFrame())
            OnUpdateCmdUI(frame, (BOOL)wParam);
    return 0;
}

BOOL CControlBar::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // The frame offers it to the control and then routes the command.
    if (CFrameWnd* frame = GetDockingFrame()) {
        frame->SendMessage(WM_COMMAND, wParam, lParam);
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CControlBar::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (CFrameWnd* frame = GetDockingFrame()) {
        *pResult = frame->SendMessage(WM_NOTIFY, wParam, lParam);
        return TRUE;
    }
    return CWnd::OnNotify(wParam, lParam, pResult);
}

// CToolBarCtrl ---------------------------------------------------------------------

BOOL CToolBarCtrl::EnableButton(int nID, BOOL bEnable)
{
    return (BOOL)SendMessage(TB_ENABLEBUTTON, (WPARAM)nID, MAKELPARAM(bEnable, 0));
}

BOOL CToolBarCtrl::CheckButton(int nID, BOOL bCheck)
{
    return (BOOL)SendMessage(TB_CHECKBUTTON, (WPARAM)nID, MAKELPARAM(bCheck, 0));
}

BOOL CToolBarCtrl::IsButtonEnabled(int nID) const
{
    return (BOOL)SendMessage(TB_ISBUTTONENABLED, (WPARAM)nID, 0);
}

BOOL CToolBarCtrl::IsButtonChecked(int nID) const
{
    return (BOOL)SendMessage(TB_ISBUTTONCHECKED, (WPARAM)nID, 0);
}

BOOL CToolBarCtrl::HideButton(int nID, BOOL bHide)
{
    return (BOOL)SendMessage(TB_HIDEBUTTON, (WPARAM)nID, MAKELPARAM(bHide, 0));
}

int CToolBarCtrl::GetButtonCount() const { return (int)SendMessage(TB_BUTTONCOUNT); }

BOOL CToolBarCtrl::GetButton(int nIndex, LPTBBUTTON lpButton) const
{
    return (BOOL)SendMessage(TB_GETBUTTON, (WPARAM)nIndex, (LPARAM)lpButton);
}

BOOL CToolBarCtrl::GetItemRect(int nIndex, LPRECT lpRect) const
{
    return (BOOL)SendMessage(TB_GETITEMRECT, (WPARAM)nIndex, (LPARAM)lpRect);
}

int CToolBarCtrl::CommandToIndex(UINT nID) const
{
    return (int)SendMessage(TB_COMMANDTOINDEX, (WPARAM)nID, 0);
}

BOOL CToolBarCtrl::SetButtonWidth(int cxMin, int cxMax)
{
    return (BOOL)SendMessage(TB_SETBUTTONWIDTH, 0, MAKELPARAM(cxMin, cxMax));
}

HIMAGELIST CToolBarCtrl::SetImageList(HIMAGELIST hImageList)
{
    return (HIMAGELIST)SendMessage(TB_SETIMAGELIST, 0, (LPARAM)hImageList);
}

HIMAGELIST CToolBarCtrl::SetHotImageList(HIMAGELIST hImageList)
{
    return (HIMAGELIST)SendMessage(TB_SETHOTIMAGELIST, 0, (LPARAM)hImageList);
}

HIMAGELIST CToolBarCtrl::SetDisabledImageList(HIMAGELIST hImageList)
{
    return (HIMAGELIST)SendMessage(TB_SETDISABLEDIMAGELIST, 0, (LPARAM)hImageList);
}

BOOL CToolBarCtrl::SetButtonSize(CSize size)
{
    return (BOOL)SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(size.cx, size.cy));
}

BOOL CToolBarCtrl::SetBitmapSize(CSize size)
{
    return (BOOL)SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(size.cx, size.cy));
}

DWORD CToolBarCtrl::SetExtendedStyle(DWORD dwExStyle)
{
    return (DWORD)SendMessage(TB_SETEXTENDEDSTYLE, 0, (LPARAM)dwExStyle);
}

DWORD CToolBarCtrl::GetExtendedStyle() const { return (DWORD)SendMessage(TB_GETEXTENDEDSTYLE); }
void CToolBarCtrl::AutoSize() { SendMessage(TB_AUTOSIZE); }

CSize CToolBarCtrl::GetButtonSize() const
{
    DWORD size = (DWORD)SendMessage(TB_GETBUTTONSIZE);
    return CSize(LOWORD(size), HIWORD(size));
}

// CToolBar -------------------------------------------------------------------------

namespace {

// Toolbar items' state through CCmdUI: enable and check by position.
class CToolCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        SetStateBit(TBSTATE_ENABLED, bOn);
    }
    void SetCheck(int nCheck) override
    {
        SetStateBit(TBSTATE_CHECKED, nCheck == 1);
        SetStateBit(TBSTATE_INDETERMINATE, nCheck == 2);
    }
    void SetText(LPCTSTR) override {}

private:
    void SetStateBit(BYTE bit, BOOL on)
    {
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_BYINDEX | TBIF_STATE;
        if (m_pOther->SendMessage(TB_GETBUTTONINFOW, m_nIndex, (LPARAM)&info) < 0)
            return;
        BYTE state = on ? (BYTE)(info.fsState | bit) : (BYTE)(info.fsState & ~bit);
        if (state == info.fsState)
            return;
        info.fsState = state;
        m_pOther->SendMessage(TB_SETBUTTONINFOW, m_nIndex, (LPARAM)&info);
    }
};

TBBUTTON MakeButton(UINT nID, UINT nStyle, int iImage)
{
    TBBUTTON button = {};
    button.idCommand = (int)nID;
    button.fsStyle = (BYTE)LOWORD(nStyle);
    // TBBS_DISABLED is a cleared TBSTATE_ENABLED.
    button.fsState = (BYTE)(HIWORD(nStyle) ^ TBSTATE_ENABLED);
    button.iBitmap = (button.fsStyle & TBSTYLE_SEP) ? 0 : iImage;
    button.iString = -1;
    return button;
}

} // namespace

CToolBar::~CToolBar() = default;

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, CRect(1, 1, 1, 1), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders,
                        UINT nID)
{
    DWORD windowStyle = TakeBarStyle(dwStyle) | WS_CHILD;
    SetBorders(rcBorders);
    // The frame or a rebar places the bar; the control must not move itself.
    windowStyle |= (dwCtrlStyle & 0xFFFF) | CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER
                   | CCS_NORESIZE;
    if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEW, nullptr, windowStyle, 0, 0, 0, 0,
                        pParentWnd ? pParentWnd->m_hWnd : nullptr, (HMENU)(UINT_PTR)nID))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    return TRUE;
}

CToolBarCtrl& CToolBar::GetToolBarCtrl() const
{
    // The control and the bar are one window; the control class adds no data.
    return *reinterpret_cast<CToolBarCtrl*>(const_cast<CToolBar*>(this));
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    while (SendMessage(TB_BUTTONCOUNT) > 0)
        if (!SendMessage(TB_DELETEBUTTON, 0, 0))
            return FALSE;
    int image = 0;
    for (int i = 0; i < nIDCount; ++i) {
        TBBUTTON button;
        if (!lpIDArray) {
            // Blank positions for SetButtonInfo.
            button = MakeButton(ID_SEPARATOR, TBBS_SEPARATOR, 0);
        } else if (lpIDArray[i] == ID_SEPARATOR) {
            button = MakeButton(ID_SEPARATOR, TBBS_SEPARATOR, 0);
        } else {
            button = MakeButton(lpIDArray[i], TBBS_BUTTON, image++);
        }
        if (!SendMessage(TB_ADDBUTTONSW, 1, (LPARAM)&button))
            return FALSE;
    }
    m_nCount = nIDCount;
    return TRUE;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage)
{
    TBBUTTON old = {};
    if (!SendMessage(TB_GETBUTTON, (WPARAM)nIndex, (LPARAM)&old))
        return;
    TBBUTTON button = MakeButton(nID, nStyle, iImage);
    bool wasSep = (old.fsStyle & TBSTYLE_SEP) != 0;
    bool isSep = (button.fsStyle & TBSTYLE_SEP) != 0;
    if (wasSep == isSep) {
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_BYINDEX | TBIF_COMMAND | TBIF_STYLE | TBIF_STATE | TBIF_IMAGE;
        info.idCommand = button.idCommand;
        info.fsStyle = button.fsStyle;
        info.fsState = button.fsState;
        info.iImage = button.iBitmap;
        SendMessage(TB_SETBUTTONINFOW, (WPARAM)nIndex, (LPARAM)&info);
    } else {
        // A separator and a button differ too much to convert in place.
        SendMessage(TB_DELETEBUTTON, (WPARAM)nIndex, 0);
        SendMessage(TB_INSERTBUTTONW, (WPARAM)nIndex, (LPARAM)&button);
    }
    Invalidate(FALSE);
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const
{
    TBBUTTON button = {};
    if (!SendMessage(TB_GETBUTTON, (WPARAM)nIndex, (LPARAM)&button)) {
        nID = 0;
        nStyle = 0;
        iImage = 0;
        return;
    }
    nID = (UINT)button.idCommand;
    nStyle = MAKELONG(button.fsStyle, (BYTE)(button.fsState ^ TBSTATE_ENABLED));
    iImage = button.iBitmap;
}

UINT CToolBar::GetButtonStyle(int nIndex) const
{
    UINT nID, nStyle;
    int iImage;
    GetButtonInfo(nIndex, nID, nStyle, iImage);
    return nStyle;
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle)
{
    UINT nID, nOld;
    int iImage;
    GetButtonInfo(nIndex, nID, nOld, iImage);
    SetButtonInfo(nIndex, nID, nStyle, iImage);
}

BOOL CToolBar::SetButtonText(int nIndex, LPCTSTR lpszText)
{
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
    info.pszText = const_cast<LPWSTR>(lpszText ? lpszText : L"");
    if (!SendMessage(TB_SETBUTTONINFOW, (WPARAM)nIndex, (LPARAM)&info))
        return FALSE;
    // Texts change the button size. Setting the text-row count again (to the
    // same value) makes the control measure its buttons anew, which Wine's
    // toolbar does not do for a text set through button info.
    SendMessage(TB_SETMAXTEXTROWS, SendMessage(TB_GETTEXTROWS));
    SendMessage(TB_AUTOSIZE);
    Invalidate();
    return TRUE;
}

void CToolBar::GetButtonText(int nIndex, CString& rString) const
{
    wchar_t text[256] = {};
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
    info.pszText = text;
    info.cchText = 255;
    if (SendMessage(TB_GETBUTTONINFOW, (WPARAM)nIndex, (LPARAM)&info) < 0)
        text[0] = 0;
    rString = text;
}

CString CToolBar::GetButtonText(int nIndex) const
{
    CString text;
    GetButtonText(nIndex, text);
    return text;
}

UINT CToolBar::GetItemID(int nIndex) const
{
    TBBUTTON button = {};
    if (!SendMessage(TB_GETBUTTON, (WPARAM)nIndex, (LPARAM)&button))
        return 0;
    return (button.fsStyle & TBSTYLE_SEP) ? ID_SEPARATOR : (UINT)button.idCommand;
}

int CToolBar::CommandToIndex(UINT nIDFind) const
{
    return (int)SendMessage(TB_COMMANDTOINDEX, (WPARAM)nIDFind, 0);
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    if (!SendMessage(TB_GETITEMRECT, (WPARAM)nIndex, (LPARAM)lpRect))
        ::SetRectEmpty(lpRect);
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage)
{
    m_sizeButton = sizeButton;
    m_sizeImage = sizeImage;
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(sizeImage.cx, sizeImage.cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(sizeButton.cx, sizeButton.cy));
    Invalidate();
}

void CToolBar::SetHeight(int cyHeight)
{
    m_cyForcedHeight = cyHeight;
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size = GetToolBarCtrl().GetButtonSize();
    int cy = m_cyForcedHeight ? m_cyForcedHeight : size.cy + m_cyTopBorder + m_cyBottomBorder;
    int cx = 0;
    int count = (int)SendMessage(TB_BUTTONCOUNT);
    if (count > 0) {
        CRect last;
        GetItemRect(count - 1, &last);
        cx = last.right;
    }
    cx += m_cxLeftBorder + m_cxRightBorder;
    if (bStretch)
        return bHorz ? CSize(32767, cy) : CSize(cx, 32767);
    return CSize(cx, cy);
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CToolCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = (UINT)SendMessage(TB_BUTTONCOUNT);
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        TBBUTTON button = {};
        if (!SendMessage(TB_GETBUTTON, state.m_nIndex, (LPARAM)&button))
            continue;
        if (button.fsStyle & TBSTYLE_SEP)
            continue;
        state.m_nID = (UINT)button.idCommand;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}

// CReBarCtrl -------------------------------------------------------------------------

UINT CReBarCtrl::GetBandCount() const { return (UINT)SendMessage(RB_GETBANDCOUNT); }

BOOL CReBarCtrl::GetBandInfo(UINT uBand, REBARBANDINFO* prbbi) const
{
    return (BOOL)SendMessage(RB_GETBANDINFOW, uBand, (LPARAM)prbbi);
}

BOOL CReBarCtrl::SetBandInfo(UINT uBand, REBARBANDINFO* prbbi)
{
    return (BOOL)SendMessage(RB_SETBANDINFOW, uBand, (LPARAM)prbbi);
}

BOOL CReBarCtrl::InsertBand(UINT uIndex, REBARBANDINFO* prbbi)
{
    return (BOOL)SendMessage(RB_INSERTBANDW, uIndex, (LPARAM)prbbi);
}

BOOL CReBarCtrl::DeleteBand(UINT uBand) { return (BOOL)SendMessage(RB_DELETEBAND, uBand); }
UINT CReBarCtrl::GetBarHeight() const { return (UINT)SendMessage(RB_GETBARHEIGHT); }

void CReBarCtrl::GetBandBorders(int nBand, LPRECT prc) const
{
    SendMessage(RB_GETBANDBORDERS, (WPARAM)nBand, (LPARAM)prc);
}

BOOL CReBarCtrl::GetRect(UINT uBand, LPRECT prc) const
{
    return (BOOL)SendMessage(RB_GETRECT, uBand, (LPARAM)prc);
}

void CReBarCtrl::MinimizeBand(UINT uBand) { SendMessage(RB_MINIMIZEBAND, uBand); }
void CReBarCtrl::MaximizeBand(UINT uBand, BOOL bIdeal) { SendMessage(RB_MAXIMIZEBAND, uBand, bIdeal); }

// CReBar -----------------------------------------------------------------------------

BOOL CReBar::Create(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    static bool initialised = false;
    if (!initialised) {
        INITCOMMONCONTROLSEX icc = { sizeof icc, ICC_COOL_CLASSES | ICC_BAR_CLASSES };
        ::InitCommonControlsEx(&icc);
        initialised = true;
    }
    DWORD windowStyle = TakeBarStyle(dwStyle) | WS_CHILD;
    windowStyle |= (dwCtrlStyle & 0xFFFF) | CCS_NODIVIDER | CCS_NOPARENTALIGN;
    if (!CWnd::CreateEx(0, REBARCLASSNAMEW, nullptr, windowStyle, 0, 0, 100, 0,
                        pParentWnd ? pParentWnd->m_hWnd : nullptr, (HMENU)(UINT_PTR)nID))
        return FALSE;
    REBARINFO info = {};
    info.cbSize = sizeof info;
    SendMessage(RB_SETBARINFO, 0, (LPARAM)&info);
    return TRUE;
}

CReBarCtrl& CReBar::GetReBarCtrl() const
{
    return *reinterpret_cast<CReBarCtrl*>(const_cast<CReBar*>(this));
}

BOOL CReBar::DoAddBar(CWnd* pBar, REBARBANDINFO* pRBBI, LPCTSTR pszText, DWORD dwStyle)
{
    if (!pBar || !pBar->m_hWnd)
        return FALSE;
    pRBBI->cbSize = REBARBANDINFOW_V6_SIZE;
    pRBBI->fMask |= RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE;
    pRBBI->fStyle = dwStyle;
    pRBBI->hwndChild = pBar->m_hWnd;
    if (pszText) {
        pRBBI->fMask |= RBBIM_TEXT;
        pRBBI->lpText = const_cast<LPWSTR>(pszText);
    }
    // The band is as tall as the bar wants to be.
    CSize size(0, 0);
    if (CControlBar* bar = DYNAMIC_DOWNCAST(CControlBar, pBar))
        size = bar->CalcFixedLayout(FALSE, TRUE);
    else {
        CRect rc;
        pBar->GetWindowRect(&rc);
        size = CSize(rc.Width(), rc.Height());
    }
    pRBBI->cxMinChild = size.cx;
    pRBBI->cyMinChild = size.cy;
    pRBBI->fMask |= RBBIM_IDEALSIZE;
    pRBBI->cxIdeal = size.cx;
    if (!SendMessage(RB_INSERTBANDW, (WPARAM)-1, (LPARAM)pRBBI))
        return FALSE;
    if (CFrameWnd* frame = GetDockingFrame())
        frame->RecalcLayout();
    return TRUE;
}

BOOL CReBar::AddBar(CWnd* pBar, LPCTSTR pszText, CBitmap* pbmp, DWORD dwStyle)
{
    REBARBANDINFOW info = {};
    if (pbmp && pbmp->GetSafeHandle()) {
        info.fMask |= RBBIM_BACKGROUND;
        info.hbmBack = (HBITMAP)pbmp->GetSafeHandle();
    }
    return DoAddBar(pBar, &info, pszText, dwStyle);
}

BOOL CReBar::AddBar(CWnd* pBar, COLORREF clrFore, COLORREF clrBack, LPCTSTR pszText, DWORD dwStyle)
{
    REBARBANDINFOW info = {};
    info.fMask = RBBIM_COLORS;
    info.clrFore = clrFore;
    info.clrBack = clrBack;
    return DoAddBar(pBar, &info, pszText, dwStyle);
}

CSize CReBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    int cy = (int)SendMessage(RB_GETBARHEIGHT);
    CRect rc;
    GetWindowRect(&rc);
    if (bStretch)
        return bHorz ? CSize(32767, cy) : CSize(rc.Width(), 32767);
    return CSize(rc.Width(), cy);
}

void CReBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
    // The bars in the bands update themselves.
}

void CReBar::OnHeightChange(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    if (CFrameWnd* frame = GetDockingFrame())
        frame->RecalcLayout();
}

// CStatusBar ---------------------------------------------------------------------------

namespace {

class CStatusCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        auto* bar = static_cast<CStatusBar*>(m_pOther);
        UINT style = bar->GetPaneStyle((int)m_nIndex);
        UINT newStyle = bOn ? (style & ~SBPS_DISABLED) : (style | SBPS_DISABLED);
        if (newStyle != style)
            bar->SetPaneStyle((int)m_nIndex, newStyle);
    }
    void SetCheck(int nCheck) override
    {
        auto* bar = static_cast<CStatusBar*>(m_pOther);
        UINT style = bar->GetPaneStyle((int)m_nIndex);
        UINT newStyle = nCheck ? (style | SBPS_POPOUT) : (style & ~SBPS_POPOUT);
        if (newStyle != style)
            bar->SetPaneStyle((int)m_nIndex, newStyle);
    }
    void SetText(LPCTSTR lpszText) override
    {
        static_cast<CStatusBar*>(m_pOther)->SetPaneText((int)m_nIndex, lpszText);
    }
};

} // namespace

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, nID);
}

BOOL CStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    DWORD windowStyle = TakeBarStyle(dwStyle) | WS_CHILD | (dwCtrlStyle & 0xFFFF);
    // A grip only where the frame can be resized.
    if (pParentWnd && (pParentWnd->GetStyle() & WS_THICKFRAME))
        windowStyle |= SBARS_SIZEGRIP;
    return CWnd::CreateEx(0, STATUSCLASSNAMEW, nullptr, windowStyle, 0, 0, 0, 0,
                          pParentWnd ? pParentWnd->m_hWnd : nullptr, (HMENU)(UINT_PTR)nID);
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    m_panes.clear();
    CClientDC dc(this);
    HGDIOBJ oldFont = ::SelectObject(dc.m_hDC, (HFONT)SendMessage(WM_GETFONT));
    for (int i = 0; i < nIDCount; ++i) {
        Pane pane = { lpIDArray ? lpIDArray[i] : ID_SEPARATOR, SBPS_NORMAL, 0, CString() };
        if (pane.nID != ID_SEPARATOR) {
            CString text;
            text.LoadString(pane.nID);
            SIZE ext = {};
            ::GetTextExtentPoint32W(dc.m_hDC, text, text.GetLength(), &ext);
            pane.cxText = ext.cx;
            pane.strText = text;
        } else if (i == 0) {
            pane.nStyle = SBPS_NOBORDERS | SBPS_STRETCH;
        }
        m_panes.push_back(pane);
    }
    ::SelectObject(dc.m_hDC, oldFont);
    m_nCount = nIDCount;
    UpdateAllPanes(TRUE, TRUE);
    return TRUE;
}

void CStatusBar::UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText)
{
    if (!m_hWnd)
        return;
    int count = (int)m_panes.size();
    if (bUpdateRects) {
        CRect client;
        GetClientRect(&client);
        int borders[3] = {};
        SendMessage(SB_GETBORDERS, 0, (LPARAM)borders);
        const int gap = borders[2] > 0 ? borders[2] : 2;
        const int grip = (GetStyle() & SBARS_SIZEGRIP) ? ::GetSystemMetrics(SM_CXVSCROLL) : 0;
        // Fixed panes from the right; the stretching pane takes the rest.
        std::vector<int> rights((size_t)std::max(count, 1), -1);
        int fixedWidth = 0;
        for (const Pane& p : m_panes)
            if (!(p.nStyle & SBPS_STRETCH))
                fixedWidth += p.cxText + 2 * 4 + gap;
        int stretch = std::max(0, client.Width() - grip - fixedWidth);
        int x = 0;
        for (int i = 0; i < count; ++i) {
            const Pane& p = m_panes[(size_t)i];
            x += (p.nStyle & SBPS_STRETCH) ? stretch : p.cxText + 2 * 4 + gap;
            rights[(size_t)i] = i == count - 1 ? -1 : x;
        }
        SendMessage(SB_SETPARTS, (WPARAM)count, (LPARAM)rights.data());
    }
    if (bUpdateText)
        for (int i = 0; i < count; ++i) {
            const Pane& p = m_panes[(size_t)i];
            UINT type = p.nStyle & (SBT_NOBORDERS | SBT_POPOUT | SBT_OWNERDRAW);
            const wchar_t* text = (p.nStyle & SBPS_DISABLED) ? L"" : p.strText.GetString();
            SendMessage(SB_SETTEXTW, (WPARAM)(i | type), (LPARAM)text);
        }
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate)
{
    if (nIndex < 0 || nIndex >= (int)m_panes.size())
        return FALSE;
    Pane& p = m_panes[(size_t)nIndex];
    CString text = lpszNewText ? lpszNewText : L"";
    if (p.strText == text)
        return TRUE;
    p.strText = text;
    if (bUpdate && m_hWnd) {
        UINT type = p.nStyle & (SBT_NOBORDERS | SBT_POPOUT | SBT_OWNERDRAW);
        const wchar_t* shown = (p.nStyle & SBPS_DISABLED) ? L"" : p.strText.GetString();
        SendMessage(SB_SETTEXTW, (WPARAM)(nIndex | type), (LPARAM)shown);
    }
    return TRUE;
}

void CStatusBar::GetPaneText(int nIndex, CString& rString) const
{
    rString = nIndex >= 0 && nIndex < (int)m_panes.size() ? m_panes[(size_t)nIndex].strText : CString();
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    CString text;
    GetPaneText(nIndex, text);
    return text;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    if (nIndex < 0 || nIndex >= (int)m_panes.size())
        return;
    Pane& p = m_panes[(size_t)nIndex];
    p.nID = nID;
    p.nStyle = nStyle;
    p.cxText = cxWidth;
    UpdateAllPanes(TRUE, TRUE);
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    if (nIndex < 0 || nIndex >= (int)m_panes.size()) {
        nID = nStyle = 0;
        cxWidth = 0;
        return;
    }
    const Pane& p = m_panes[(size_t)nIndex];
    nID = p.nID;
    nStyle = p.nStyle;
    cxWidth = p.cxText;
}

UINT CStatusBar::GetPaneStyle(int nIndex) const
{
    return nIndex >= 0 && nIndex < (int)m_panes.size() ? m_panes[(size_t)nIndex].nStyle : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
    if (nIndex < 0 || nIndex >= (int)m_panes.size() || m_panes[(size_t)nIndex].nStyle == nStyle)
        return;
    m_panes[(size_t)nIndex].nStyle = nStyle;
    UpdateAllPanes(FALSE, TRUE);
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    return nIndex >= 0 && nIndex < (int)m_panes.size() ? m_panes[(size_t)nIndex].nID : 0;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (size_t i = 0; i < m_panes.size(); ++i)
        if (m_panes[i].nID == nIDFind)
            return (int)i;
    return -1;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    if (!SendMessage(SB_GETRECT, (WPARAM)nIndex, (LPARAM)lpRect))
        ::SetRectEmpty(lpRect);
}

CSize CStatusBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    return CalcControlSize(bStretch, bHorz);
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CStatusCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = (UINT)m_panes.size();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = m_panes[state.m_nIndex].nID;
        if (state.m_nID == ID_SEPARATOR)
            continue;
        int key = state.m_nID == ID_INDICATOR_CAPS  ? VK_CAPITAL
                  : state.m_nID == ID_INDICATOR_NUM ? VK_NUMLOCK
                  : state.m_nID == ID_INDICATOR_SCRL ? VK_SCROLL
                                                      : 0;
        // The key indicators show their text while their key is toggled on,
        // unless the frame answers for them.
        if (key) {
            state.m_bEnableChanged = FALSE;
            if (!pTarget->OnCmdMsg(state.m_nID, (int)CN_UPDATE_COMMAND_UI, &state, nullptr))
                state.Enable((::GetKeyState(key) & 1) != 0);
            continue;
        }
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}

void CStatusBar::OnSize(UINT nType, int cx, int cy)
{
    CControlBar::OnSize(nType, cx, cy);
    UpdateAllPanes(TRUE, FALSE);
}
