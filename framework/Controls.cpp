#include "framework/Controls.h"

IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)

// Owner drawing reaches the virtual members through reflection.
BEGIN_MESSAGE_MAP(CButton, CWnd)
    ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CListBox, CWnd)
    ON_WM_DRAWITEM_REFLECT()
    ON_WM_MEASUREITEM_REFLECT()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CComboBox, CWnd)
    ON_WM_DRAWITEM_REFLECT()
    ON_WM_MEASUREITEM_REFLECT()
END_MESSAGE_MAP()

// CEdit ------------------------------------------------------------------------------

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(0, L"EDIT", nullptr, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

DWORD CEdit::GetSel() const { return (DWORD)SendMessage(EM_GETSEL); }

void CEdit::GetSel(int& nStartChar, int& nEndChar) const
{
    DWORD start = 0, end = 0;
    SendMessage(EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    nStartChar = (int)start;
    nEndChar = (int)end;
}

void CEdit::SetSel(DWORD dwSelection, BOOL bNoScroll)
{
    SetSel((int)(short)LOWORD(dwSelection), (int)(short)HIWORD(dwSelection), bNoScroll);
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll)
{
    SendMessage(EM_SETSEL, (WPARAM)nStartChar, (LPARAM)nEndChar);
    if (!bNoScroll)
        SendMessage(EM_SCROLLCARET);
}

void CEdit::ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo)
{
    SendMessage(EM_REPLACESEL, (WPARAM)bCanUndo, (LPARAM)(lpszNewText ? lpszNewText : L""));
}

void CEdit::LimitText(int nChars) { SendMessage(EM_LIMITTEXT, (WPARAM)nChars); }
void CEdit::SetLimitText(UINT nMax) { SendMessage(EM_SETLIMITTEXT, nMax); }
UINT CEdit::GetLimitText() const { return (UINT)SendMessage(EM_GETLIMITTEXT); }
BOOL CEdit::SetReadOnly(BOOL bReadOnly) { return (BOOL)SendMessage(EM_SETREADONLY, bReadOnly); }
BOOL CEdit::GetModify() const { return (BOOL)SendMessage(EM_GETMODIFY); }
void CEdit::SetModify(BOOL bModified) { SendMessage(EM_SETMODIFY, bModified); }
int CEdit::GetLineCount() const { return (int)SendMessage(EM_GETLINECOUNT); }
int CEdit::LineFromChar(int nIndex) const { return (int)SendMessage(EM_LINEFROMCHAR, (WPARAM)nIndex); }
int CEdit::LineIndex(int nLine) const { return (int)SendMessage(EM_LINEINDEX, (WPARAM)nLine); }
int CEdit::LineLength(int nLine) const { return (int)SendMessage(EM_LINELENGTH, (WPARAM)nLine); }
BOOL CEdit::Undo() { return (BOOL)SendMessage(EM_UNDO); }
void CEdit::Clear() { SendMessage(WM_CLEAR); }
void CEdit::Copy() { SendMessage(WM_COPY); }
void CEdit::Cut() { SendMessage(WM_CUT); }
void CEdit::Paste() { SendMessage(WM_PASTE); }

// CButton -----------------------------------------------------------------------------

BOOL CButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(0, L"BUTTON", lpszCaption, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

int CButton::GetCheck() const { return (int)SendMessage(BM_GETCHECK); }
void CButton::SetCheck(int nCheck) { SendMessage(BM_SETCHECK, (WPARAM)nCheck); }
UINT CButton::GetState() const { return (UINT)SendMessage(BM_GETSTATE); }
void CButton::SetState(BOOL bHighlight) { SendMessage(BM_SETSTATE, (WPARAM)bHighlight); }
UINT CButton::GetButtonStyle() const { return (UINT)GetStyle() & 0xFFFF; }
void CButton::SetButtonStyle(UINT nStyle, BOOL bRedraw) { SendMessage(BM_SETSTYLE, nStyle, bRedraw); }

HBITMAP CButton::SetBitmap(HBITMAP hBitmap)
{
    return (HBITMAP)SendMessage(BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap);
}

HBITMAP CButton::GetBitmap() const { return (HBITMAP)SendMessage(BM_GETIMAGE, IMAGE_BITMAP); }
HICON CButton::SetIcon(HICON hIcon) { return (HICON)SendMessage(BM_SETIMAGE, IMAGE_ICON, (LPARAM)hIcon); }
HICON CButton::GetIcon() const { return (HICON)SendMessage(BM_GETIMAGE, IMAGE_ICON); }

void CButton::DrawItem(LPDRAWITEMSTRUCT)
{
}

// CStatic -------------------------------------------------------------------------------

BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(0, L"STATIC", lpszText, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

HBITMAP CStatic::SetBitmap(HBITMAP hBitmap)
{
    return (HBITMAP)SendMessage(STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap);
}

HBITMAP CStatic::GetBitmap() const { return (HBITMAP)SendMessage(STM_GETIMAGE, IMAGE_BITMAP); }
HICON CStatic::SetIcon(HICON hIcon) { return (HICON)SendMessage(STM_SETICON, (WPARAM)hIcon); }
HICON CStatic::GetIcon() const { return (HICON)SendMessage(STM_GETICON); }

// CListBox ------------------------------------------------------------------------------

BOOL CListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(0, L"LISTBOX", nullptr, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

int CListBox::GetCount() const { return (int)SendMessage(LB_GETCOUNT); }
int CListBox::AddString(LPCTSTR lpszItem) { return (int)SendMessage(LB_ADDSTRING, 0, (LPARAM)lpszItem); }

int CListBox::InsertString(int nIndex, LPCTSTR lpszItem)
{
    return (int)SendMessage(LB_INSERTSTRING, (WPARAM)nIndex, (LPARAM)lpszItem);
}

int CListBox::DeleteString(UINT nIndex) { return (int)SendMessage(LB_DELETESTRING, nIndex); }
void CListBox::ResetContent() { SendMessage(LB_RESETCONTENT); }

int CListBox::GetText(int nIndex, LPTSTR lpszBuffer) const
{
    return (int)SendMessage(LB_GETTEXT, (WPARAM)nIndex, (LPARAM)lpszBuffer);
}

void CListBox::GetText(int nIndex, CString& rString) const
{
    int len = GetTextLen(nIndex);
    if (len == LB_ERR) {
        rString.Empty();
        return;
    }
    GetText(nIndex, rString.GetBuffer(len + 1));
    rString.ReleaseBuffer();
}

int CListBox::GetTextLen(int nIndex) const { return (int)SendMessage(LB_GETTEXTLEN, (WPARAM)nIndex); }

int CListBox::FindString(int nStartAfter, LPCTSTR lpszItem) const
{
    return (int)SendMessage(LB_FINDSTRING, (WPARAM)nStartAfter, (LPARAM)lpszItem);
}

int CListBox::FindStringExact(int nIndexStart, LPCTSTR lpszFind) const
{
    return (int)SendMessage(LB_FINDSTRINGEXACT, (WPARAM)nIndexStart, (LPARAM)lpszFind);
}

int CListBox::SelectString(int nStartAfter, LPCTSTR lpszItem)
{
    return (int)SendMessage(LB_SELECTSTRING, (WPARAM)nStartAfter, (LPARAM)lpszItem);
}

int CListBox::GetCurSel() const { return (int)SendMessage(LB_GETCURSEL); }
int CListBox::SetCurSel(int nSelect) { return (int)SendMessage(LB_SETCURSEL, (WPARAM)nSelect); }
int CListBox::GetSel(int nIndex) const { return (int)SendMessage(LB_GETSEL, (WPARAM)nIndex); }
int CListBox::SetSel(int nIndex, BOOL bSelect) { return (int)SendMessage(LB_SETSEL, bSelect, nIndex); }
int CListBox::GetTopIndex() const { return (int)SendMessage(LB_GETTOPINDEX); }
int CListBox::SetTopIndex(int nIndex) { return (int)SendMessage(LB_SETTOPINDEX, (WPARAM)nIndex); }
DWORD_PTR CListBox::GetItemData(int nIndex) const { return (DWORD_PTR)SendMessage(LB_GETITEMDATA, (WPARAM)nIndex); }

int CListBox::SetItemData(int nIndex, DWORD_PTR dwItemData)
{
    return (int)SendMessage(LB_SETITEMDATA, (WPARAM)nIndex, (LPARAM)dwItemData);
}

int CListBox::GetItemRect(int nIndex, LPRECT lpRect) const
{
    return (int)SendMessage(LB_GETITEMRECT, (WPARAM)nIndex, (LPARAM)lpRect);
}

int CListBox::GetItemHeight(int nIndex) const { return (int)SendMessage(LB_GETITEMHEIGHT, (WPARAM)nIndex); }

int CListBox::SetItemHeight(int nIndex, UINT cyItemHeight)
{
    return (int)SendMessage(LB_SETITEMHEIGHT, (WPARAM)nIndex, MAKELPARAM(cyItemHeight, 0));
}

UINT CListBox::ItemFromPoint(CPoint pt, BOOL& bOutside) const
{
    DWORD result = (DWORD)SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
    bOutside = HIWORD(result) != 0;
    return LOWORD(result);
}

void CListBox::DrawItem(LPDRAWITEMSTRUCT)
{
}

void CListBox::MeasureItem(LPMEASUREITEMSTRUCT)
{
}

// CComboBox -------------------------------------------------------------------------------

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(0, L"COMBOBOX", nullptr, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

int CComboBox::GetCount() const { return (int)SendMessage(CB_GETCOUNT); }
int CComboBox::AddString(LPCTSTR lpszString) { return (int)SendMessage(CB_ADDSTRING, 0, (LPARAM)lpszString); }

int CComboBox::InsertString(int nIndex, LPCTSTR lpszString)
{
    return (int)SendMessage(CB_INSERTSTRING, (WPARAM)nIndex, (LPARAM)lpszString);
}

int CComboBox::DeleteString(UINT nIndex) { return (int)SendMessage(CB_DELETESTRING, nIndex); }
void CComboBox::ResetContent() { SendMessage(CB_RESETCONTENT); }

int CComboBox::GetLBText(int nIndex, LPTSTR lpszText) const
{
    return (int)SendMessage(CB_GETLBTEXT, (WPARAM)nIndex, (LPARAM)lpszText);
}

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    int len = GetLBTextLen(nIndex);
    if (len == CB_ERR) {
        rString.Empty();
        return;
    }
    GetLBText(nIndex, rString.GetBuffer(len + 1));
    rString.ReleaseBuffer();
}

int CComboBox::GetLBTextLen(int nIndex) const { return (int)SendMessage(CB_GETLBTEXTLEN, (WPARAM)nIndex); }

int CComboBox::FindString(int nStartAfter, LPCTSTR lpszString) const
{
    return (int)SendMessage(CB_FINDSTRING, (WPARAM)nStartAfter, (LPARAM)lpszString);
}

int CComboBox::FindStringExact(int nIndexStart, LPCTSTR lpszFind) const
{
    return (int)SendMessage(CB_FINDSTRINGEXACT, (WPARAM)nIndexStart, (LPARAM)lpszFind);
}

int CComboBox::SelectString(int nStartAfter, LPCTSTR lpszString)
{
    return (int)SendMessage(CB_SELECTSTRING, (WPARAM)nStartAfter, (LPARAM)lpszString);
}

int CComboBox::GetCurSel() const { return (int)SendMessage(CB_GETCURSEL); }
int CComboBox::SetCurSel(int nSelect) { return (int)SendMessage(CB_SETCURSEL, (WPARAM)nSelect); }
DWORD_PTR CComboBox::GetItemData(int nIndex) const { return (DWORD_PTR)SendMessage(CB_GETITEMDATA, (WPARAM)nIndex); }

int CComboBox::SetItemData(int nIndex, DWORD_PTR dwItemData)
{
    return (int)SendMessage(CB_SETITEMDATA, (WPARAM)nIndex, (LPARAM)dwItemData);
}

BOOL CComboBox::LimitText(int nMaxChars) { return (BOOL)SendMessage(CB_LIMITTEXT, (WPARAM)nMaxChars); }
void CComboBox::ShowDropDown(BOOL bShowIt) { SendMessage(CB_SHOWDROPDOWN, bShowIt); }
BOOL CComboBox::GetDroppedState() const { return (BOOL)SendMessage(CB_GETDROPPEDSTATE); }

void CComboBox::DrawItem(LPDRAWITEMSTRUCT)
{
}

void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT)
{
}

// CSliderCtrl -----------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)

BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(0, TRACKBAR_CLASSW, nullptr, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

int CSliderCtrl::GetRangeMin() const { return (int)SendMessage(TBM_GETRANGEMIN); }
int CSliderCtrl::GetRangeMax() const { return (int)SendMessage(TBM_GETRANGEMAX); }

void CSliderCtrl::GetRange(int& nMin, int& nMax) const
{
    nMin = GetRangeMin();
    nMax = GetRangeMax();
}

void CSliderCtrl::SetRange(int nMin, int nMax, BOOL bRedraw)
{
    SendMessage(TBM_SETRANGEMIN, FALSE, nMin);
    SendMessage(TBM_SETRANGEMAX, bRedraw, nMax);
}

void CSliderCtrl::SetRangeMin(int nMin, BOOL bRedraw) { SendMessage(TBM_SETRANGEMIN, bRedraw, nMin); }
void CSliderCtrl::SetRangeMax(int nMax, BOOL bRedraw) { SendMessage(TBM_SETRANGEMAX, bRedraw, nMax); }
int CSliderCtrl::GetPos() const { return (int)SendMessage(TBM_GETPOS); }
void CSliderCtrl::SetPos(int nPos) { SendMessage(TBM_SETPOS, TRUE, nPos); }
void CSliderCtrl::SetTicFreq(int nFreq) { SendMessage(TBM_SETTICFREQ, (WPARAM)nFreq); }
int CSliderCtrl::GetPageSize() const { return (int)SendMessage(TBM_GETPAGESIZE); }
int CSliderCtrl::SetPageSize(int nSize) { return (int)SendMessage(TBM_SETPAGESIZE, 0, nSize); }
int CSliderCtrl::GetLineSize() const { return (int)SendMessage(TBM_GETLINESIZE); }
int CSliderCtrl::SetLineSize(int nSize) { return (int)SendMessage(TBM_SETLINESIZE, 0, nSize); }
void CSliderCtrl::GetChannelRect(LPRECT lprc) const { SendMessage(TBM_GETCHANNELRECT, 0, (LPARAM)lprc); }
void CSliderCtrl::GetThumbRect(LPRECT lprc) const { SendMessage(TBM_GETTHUMBRECT, 0, (LPARAM)lprc); }

// CProgressCtrl ---------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)

BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(0, PROGRESS_CLASSW, nullptr, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

void CProgressCtrl::SetRange(short nLower, short nUpper) { SendMessage(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper)); }
void CProgressCtrl::SetRange32(int nLower, int nUpper) { SendMessage(PBM_SETRANGE32, (WPARAM)nLower, (LPARAM)nUpper); }

void CProgressCtrl::GetRange(int& nLower, int& nUpper) const
{
    PBRANGE range = {};
    SendMessage(PBM_GETRANGE, TRUE, (LPARAM)&range);
    nLower = range.iLow;
    nUpper = range.iHigh;
}

int CProgressCtrl::GetPos() const { return (int)SendMessage(PBM_GETPOS); }
int CProgressCtrl::SetPos(int nPos) { return (int)SendMessage(PBM_SETPOS, (WPARAM)nPos); }
int CProgressCtrl::OffsetPos(int nPos) { return (int)SendMessage(PBM_DELTAPOS, (WPARAM)nPos); }
int CProgressCtrl::SetStep(int nStep) { return (int)SendMessage(PBM_SETSTEP, (WPARAM)nStep); }
int CProgressCtrl::StepIt() { return (int)SendMessage(PBM_STEPIT); }
