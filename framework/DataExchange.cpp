#include "framework/DataExchange.h"
#include "framework/MessageBox.h"
#include "framework/Wnd.h"

#include <climits>
#include <cwchar>
#include <cwctype>

namespace {
bool IsComboBox(HWND hWnd);
}

// CDataExchange -------------------------------------------------------------------

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hCtrl = m_pDlgWnd ? ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), nIDC) : nullptr;
    m_idLastControl = nIDC;
    m_bEditLastControl = FALSE;
    return hCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hCtrl = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hCtrl;
}

void CDataExchange::Fail()
{
    m_bFailed = TRUE;
    if (!m_bSaveAndValidate || !m_pDlgWnd || !m_idLastControl)
        return;
    HWND hCtrl = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), m_idLastControl);
    if (!hCtrl)
        return;
    // Through the dialog, so the default button follows the focus.
    ::SendMessageW(m_pDlgWnd->GetSafeHwnd(), WM_NEXTDLGCTL, (WPARAM)hCtrl, 1);
    if (m_bEditLastControl) {
        if (IsComboBox(hCtrl))
            ::SendMessageW(hCtrl, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        else
            ::SendMessageW(hCtrl, EM_SETSEL, 0, -1);
    }
}

// Parsing ---------------------------------------------------------------------------

namespace {

bool IsComboBox(HWND hWnd)
{
    wchar_t cls[16] = {};
    ::GetClassNameW(hWnd, cls, 16);
    return _wcsicmp(cls, L"ComboBox") == 0;
}

bool IsBlank(wchar_t ch)
{
    return ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n' || ch == 0x3000;
}

// Sign and magnitude of the whole text; false unless it is blanks, an
// optional sign, digits and blanks, with the magnitude below 2^32.
bool ParseWhole(const wchar_t* text, bool& negative, unsigned long long& magnitude)
{
    negative = false;
    magnitude = 0;
    if (!text)
        return false;
    const wchar_t* p = text;
    while (IsBlank(*p))
        ++p;
    if (*p == L'+' || *p == L'-')
        negative = *p++ == L'-';
    if (*p < L'0' || *p > L'9')
        return false;
    while (*p >= L'0' && *p <= L'9') {
        magnitude = magnitude * 10 + (unsigned)(*p++ - L'0');
        if (magnitude > 0xFFFFFFFFull)
            return false;
    }
    while (IsBlank(*p))
        ++p;
    return *p == 0;
}

CString NumberText(long long value)
{
    CString s;
    s.Format(L"%lld", value);
    return s;
}

CString ControlText(HWND hCtrl)
{
    CString text;
    int len = ::GetWindowTextLengthW(hCtrl);
    if (len > 0) {
        ::GetWindowTextW(hCtrl, text.GetBuffer(len + 1), len + 1);
        text.ReleaseBuffer();
    }
    return text;
}

void FailWithMessage(CDataExchange* pDX, const CString& text)
{
    AfxMessageBox(text, MB_ICONEXCLAMATION);
    pDX->Fail();
}

void FailWithMessage(CDataExchange* pDX, UINT nIDPrompt)
{
    FailWithMessage(pDX, AfxFormatMessageString(nIDPrompt, nullptr));
}

void FailOutOfRange(CDataExchange* pDX, long long minVal, long long maxVal)
{
    FailWithMessage(pDX, AfxFormatMessageString(AFX_IDP_PARSE_INT_RANGE, NumberText(minVal),
                                                NumberText(maxVal)));
}

} // namespace

BOOL AfxParseInt(const wchar_t* text, int& value)
{
    bool negative = false;
    unsigned long long magnitude = 0;
    if (!ParseWhole(text, negative, magnitude))
        return FALSE;
    long long v = negative ? -(long long)magnitude : (long long)magnitude;
    if (v < INT_MIN || v > INT_MAX)
        return FALSE;
    value = (int)v;
    return TRUE;
}

BOOL AfxParseUInt(const wchar_t* text, UINT& value)
{
    bool negative = false;
    unsigned long long magnitude = 0;
    if (!ParseWhole(text, negative, magnitude) || (negative && magnitude != 0))
        return FALSE;
    value = (UINT)magnitude;
    return TRUE;
}

CString AfxFormatMessageString(UINT nIDPrompt, LPCTSTR lpsz1, LPCTSTR lpsz2)
{
    CString text;
    if (!text.LoadString(nIDPrompt)) {
        // A program without the framework's strings still says something useful.
        switch (nIDPrompt) {
        case AFX_IDP_PARSE_INT: text = L"Enter an integer."; break;
        case AFX_IDP_PARSE_INT_RANGE: text = L"Enter an integer between %1 and %2."; break;
        case AFX_IDP_PARSE_STRING_SIZE: text = L"Enter no more than %1 characters."; break;
        case AFX_IDP_PARSE_UINT: text = L"Enter a positive integer."; break;
        default: break;
        }
    }
    // One pass, so a replacement that itself holds "%2" stays as it is.
    CString result;
    for (int i = 0; i < text.GetLength(); ++i) {
        wchar_t ch = text[i];
        if (ch == L'%' && i + 1 < text.GetLength() && (text[i + 1] == L'1' || text[i + 1] == L'2')) {
            LPCTSTR arg = text[i + 1] == L'1' ? lpsz1 : lpsz2;
            result += arg ? arg : L"";
            ++i;
        } else {
            result += ch;
        }
    }
    return result;
}

// DDX ---------------------------------------------------------------------------------

namespace {

// The field's control, or null when the exchange has failed already or the
// dialog has no such control (then the field is skipped).
HWND BeginField(CDataExchange* pDX, int nIDC, bool edit)
{
    if (pDX->m_bFailed)
        return nullptr;
    return edit ? pDX->PrepareEditCtrl(nIDC) : pDX->PrepareCtrl(nIDC);
}

template <class T>
void ExchangeNumber(CDataExchange* pDX, int nIDC, T& value, BOOL (*parse)(const wchar_t*, T&),
                    UINT nIDPrompt)
{
    HWND hCtrl = BeginField(pDX, nIDC, true);
    if (!hCtrl)
        return;
    if (!pDX->m_bSaveAndValidate) {
        ::SetWindowTextW(hCtrl, NumberText(value));
        return;
    }
    T parsed = 0;
    if (!parse(ControlText(hCtrl), parsed)) {
        FailWithMessage(pDX, nIDPrompt);
        return;
    }
    value = parsed;
}

// A value the control gives with getMsg and takes with setMsg (in wParam,
// or in lParam with wParam TRUE when bValueInLParam).
void ExchangeState(CDataExchange* pDX, int nIDC, int& value, UINT getMsg, UINT setMsg,
                   bool bValueInLParam = false)
{
    HWND hCtrl = BeginField(pDX, nIDC, false);
    if (!hCtrl)
        return;
    if (pDX->m_bSaveAndValidate)
        value = (int)::SendMessageW(hCtrl, getMsg, 0, 0);
    else if (bValueInLParam)
        ::SendMessageW(hCtrl, setMsg, TRUE, (LPARAM)value);
    else
        ::SendMessageW(hCtrl, setMsg, (WPARAM)value, 0);
}

} // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    ExchangeNumber(pDX, nIDC, value, AfxParseInt, AFX_IDP_PARSE_INT);
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    ExchangeNumber(pDX, nIDC, value, AfxParseUInt, AFX_IDP_PARSE_UINT);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hCtrl = BeginField(pDX, nIDC, true);
    if (!hCtrl)
        return;
    if (pDX->m_bSaveAndValidate)
        value = ControlText(hCtrl);
    else
        ::SetWindowTextW(hCtrl, value);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    ExchangeState(pDX, nIDC, value, BM_GETCHECK, BM_SETCHECK);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hCtrl = BeginField(pDX, nIDC, false);
    if (!hCtrl)
        return;
    if (pDX->m_bSaveAndValidate)
        value = -1;
    // The group runs from nIDC to the next control that starts a group.
    int index = 0;
    for (HWND h = hCtrl; h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (h != hCtrl && (::GetWindowLongW(h, GWL_STYLE) & WS_GROUP))
            break;
        if (!(::SendMessageW(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
            continue;
        if (pDX->m_bSaveAndValidate) {
            if (::SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED)
                value = index;
        } else {
            ::SendMessageW(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd)
        return;
    if (HWND hCtrl = BeginField(pDX, nIDC, false))
        rControl.SubclassWindow(hCtrl);
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    ExchangeState(pDX, nIDC, index, CB_GETCURSEL, CB_SETCURSEL);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hCtrl = BeginField(pDX, nIDC, false);
    if (!hCtrl)
        return;
    if (!pDX->m_bSaveAndValidate) {
        // A list item that starts with the text, else the text itself (drop-downs).
        if (::SendMessageW(hCtrl, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)value.GetString()) == CB_ERR)
            ::SetWindowTextW(hCtrl, value);
        return;
    }
    if (::GetWindowTextLengthW(hCtrl) > 0) {
        value = ControlText(hCtrl);
        return;
    }
    // A drop-down list has no edit part: take the selected item.
    value.Empty();
    int sel = (int)::SendMessageW(hCtrl, CB_GETCURSEL, 0, 0);
    if (sel == CB_ERR)
        return;
    int len = (int)::SendMessageW(hCtrl, CB_GETLBTEXTLEN, (WPARAM)sel, 0);
    if (len > 0) {
        ::SendMessageW(hCtrl, CB_GETLBTEXT, (WPARAM)sel, (LPARAM)value.GetBuffer(len + 1));
        value.ReleaseBuffer();
    }
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    ExchangeState(pDX, nIDC, index, LB_GETCURSEL, LB_SETCURSEL);
}

void DDX_Slider(CDataExchange* pDX, int nIDC, int& value)
{
    ExchangeState(pDX, nIDC, value, TBM_GETPOS, TBM_SETPOS, true);
}

// DDV ---------------------------------------------------------------------------------

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (pDX->m_bFailed || !pDX->m_bSaveAndValidate)
        return;
    if (value < minVal || value > maxVal)
        FailOutOfRange(pDX, minVal, maxVal);
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal)
{
    if (pDX->m_bFailed || !pDX->m_bSaveAndValidate)
        return;
    if (value < minVal || value > maxVal)
        FailOutOfRange(pDX, minVal, maxVal);
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars)
{
    if (pDX->m_bFailed)
        return;
    if (!pDX->m_bSaveAndValidate) {
        HWND hCtrl = pDX->m_pDlgWnd && pDX->m_idLastControl
                         ? ::GetDlgItem(pDX->m_pDlgWnd->GetSafeHwnd(), pDX->m_idLastControl)
                         : nullptr;
        if (hCtrl)
            ::SendMessageW(hCtrl, IsComboBox(hCtrl) ? CB_LIMITTEXT : EM_LIMITTEXT, (WPARAM)nChars, 0);
        return;
    }
    if (value.GetLength() > nChars)
        FailWithMessage(pDX, AfxFormatMessageString(AFX_IDP_PARSE_STRING_SIZE, NumberText(nChars)));
}
