// Dialogs from .rc templates. The dialog window is served by the framework's
// one window procedure like every CWnd (its own procedure, the system's
// dialog procedure, is the subclassed one), so message maps, reflection to
// controls and the exception barrier apply unchanged.
//
// A dialog class:
//     class CMyDlg : public CDialogEx {
//     public:
//         CMyDlg(CWnd* pParent = nullptr) : CDialogEx(IDD_MY, pParent) {}
//         int m_nCount = 0;
//     protected:
//         void DoDataExchange(CDataExchange* pDX) override
//         {
//             CDialogEx::DoDataExchange(pDX);
//             DDX_Text(pDX, IDC_COUNT, m_nCount);
//             DDV_MinMaxInt(pDX, m_nCount, 1, 99);
//         }
//         afx_msg void OnPick();
//         DECLARE_MESSAGE_MAP()
//     };
//     BEGIN_MESSAGE_MAP(CMyDlg, CDialogEx)
//         ON_BN_CLICKED(IDC_PICK, &CMyDlg::OnPick)
//     END_MESSAGE_MAP()
//
// DoModal runs its own message loop: keys go through the dialog's
// PreTranslateMessage (IsDialogMessage) and never through the main frame's
// accelerators. Create makes a modeless dialog whose keys the application's
// loop hands to IsDialogMessage.
#pragma once

#include <windows.h>
#include "framework/Wnd.h"
#include "framework/DataExchange.h"

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    virtual ~CDialog();

    // Template id or name; the parent owns the dialog's window (null: the main window).
    LPCTSTR m_lpszTemplateName = nullptr;
    UINT m_nIDHelp = 0;
    CWnd* m_pParentWnd = nullptr;

    // Modal: shows the dialog and returns the EndDialog value (IDOK, IDCANCEL, ...);
    // -1 when the template cannot be found or the window cannot be created.
    virtual INT_PTR DoModal();
    // Modeless: creates the window from the template. The object must outlive it.
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

    // Ends a modal dialog with nResult; hides a modeless one (the owner
    // decides whether to destroy it).
    void EndDialog(int nResult);
    BOOL IsModal() const { return m_bModal; }
    // Shows a modeless dialog again over the other windows: one without an
    // owner may lie behind the main window since a click there.
    void ShowInFront();

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    // Moves data between the controls and the members; FALSE when a field
    // failed to convert or validate (its message has been shown, the field
    // has the focus and nothing after it was exchanged).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    void GotoDlgCtrl(CWnd* pWndCtrl);
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
    int GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const;
    void SetDefID(UINT nID);
    DWORD GetDefID() const;

    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

private:
    BOOL CreateFromTemplate(LPCTSTR lpszTemplateName, HWND hOwner);
    HWND ModalOwner() const;
    void RunModalLoop();

    BOOL m_bModal = FALSE;
    BOOL m_bEndModal = FALSE;
    BOOL m_bModelessListed = FALSE;
    INT_PTR m_nModalResult = -1;

    DECLARE_MESSAGE_MAP()
};

// The dialog class the program derives from; an optional flat background colour.
class CDialogEx : public CDialog {
    DECLARE_DYNAMIC(CDialogEx)
public:
    CDialogEx() = default;
    explicit CDialogEx(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialogEx(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

    // The colour the dialog and its static texts are painted on.
    void SetBackgroundColor(COLORREF color, BOOL bRepaint = TRUE);

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

private:
    CBrush m_brBackground;
    COLORREF m_clrBackground = CLR_INVALID;

    DECLARE_MESSAGE_MAP()
};
