// Data exchange between dialog controls and members, and its validation.
// Nothing here throws: a field that does not convert or validate shows its
// message, then Fail() marks the exchange failed and puts the focus on that
// field; every later DDX/DDV call of the same exchange does nothing, and
// UpdateData returns FALSE.
#pragma once

#include <windows.h>
#include "framework/CString.h"
#include "framework/Ids.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;    // TRUE: controls to members (and validate)
    CWnd* m_pDlgWnd;            // the dialog
    BOOL m_bFailed = FALSE;     // a field failed; the rest of the exchange is skipped

    // The control nIDC of the dialog, remembered as the field that later DDV
    // calls check and Fail focuses; null when the dialog has no such control.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Marks the exchange failed and focuses the last prepared field (its
    // text selected when it is an edit box). Shows nothing itself.
    void Fail();

    int m_idLastControl = 0;
    BOOL m_bEditLastControl = FALSE;
};

// Whole-text parsing used by DDX_Text: optional blanks around an optional
// sign and at least one decimal digit; FALSE on anything else or overflow.
BOOL AfxParseInt(const wchar_t* text, int& value);
BOOL AfxParseUInt(const wchar_t* text, UINT& value);
// A string-table text with %1 and %2 replaced.
CString AfxFormatMessageString(UINT nIDPrompt, LPCTSTR lpsz1, LPCTSTR lpsz2 = nullptr);

void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// nIDC is the first radio button of a group (WS_GROUP); value is the index
// of the checked one, -1 when none.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// Binds the dialog's control to rControl (subclassing it) the first time.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_Slider(CDataExchange* pDX, int nIDC, int& value);

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
// Loading limits the field to nChars; saving rejects a longer text.
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
