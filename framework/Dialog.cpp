#include "framework/Dialog.h"
#include "framework/App.h"

#include <exception>

IMPLEMENT_DYNAMIC(CDialog, CWnd)
IMPLEMENT_DYNAMIC(CDialogEx, CDialog)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CDialogEx, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

namespace {

// The system's dialog procedure must have one to send WM_INITDIALOG; the
// window procedure answers every message before it gets here.
INT_PTR CALLBACK FwDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

LPCDLGTEMPLATEW FindTemplate(LPCTSTR lpszTemplateName)
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRes = ::FindResourceW(hInst, lpszTemplateName, (LPCWSTR)RT_DIALOG);
    if (!hRes) {
        hInst = AfxGetInstanceHandle();
        hRes = ::FindResourceW(hInst, lpszTemplateName, (LPCWSTR)RT_DIALOG);
    }
    if (!hRes)
        return nullptr;
    HGLOBAL hGlobal = ::LoadResource(hInst, hRes);
    return hGlobal ? (LPCDLGTEMPLATEW)::LockResource(hGlobal) : nullptr;
}

} // namespace

// CDialog ------------------------------------------------------------------------

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEW(nIDTemplate)), m_nIDHelp(nIDTemplate),
      m_pParentWnd(pParentWnd)
{
}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog()
{
    // The window goes before the derived parts it calls into are gone.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
}

BOOL CDialog::CreateFromTemplate(LPCTSTR lpszTemplateName, HWND hOwner)
{
    if (m_hWnd || !lpszTemplateName)
        return FALSE;
    LPCDLGTEMPLATEW tmpl = FindTemplate(lpszTemplateName);
    if (!tmpl)
        return FALSE;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamW(AfxGetResourceHandle(), tmpl, hOwner, FwDlgProc, 0);
    AfxUnhookWindowCreate();
    return hWnd != nullptr && m_hWnd == hWnd;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCEW(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName))
        m_nIDHelp = (UINT)(UINT_PTR)lpszTemplateName;
    m_pParentWnd = pParentWnd;
    m_bModal = FALSE;
    if (!CreateFromTemplate(lpszTemplateName, pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr))
        return FALSE;
    if (CWinApp* app = AfxGetApp()) {
        app->AddModelessDialog(m_hWnd);
        m_bModelessListed = TRUE;
    }
    return TRUE;
}

HWND CDialog::ModalOwner() const
{
    HWND hParent = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (!hParent) {
        CWnd* pMain = AfxGetMainWnd();
        hParent = pMain ? pMain->GetSafeHwnd() : nullptr;
    }
    if (!hParent || !::IsWindow(hParent))
        return nullptr;
    HWND hRoot = ::GetAncestor(hParent, GA_ROOT);
    return hRoot ? hRoot : hParent;
}

INT_PTR CDialog::DoModal()
{
    if (m_hWnd || !m_lpszTemplateName || !FindTemplate(m_lpszTemplateName))
        return -1;
    HWND hOwner = ModalOwner();
    BOOL bEnableOwner = hOwner && ::IsWindowEnabled(hOwner);
    if (bEnableOwner)
        ::EnableWindow(hOwner, FALSE);

    m_bModal = TRUE;
    m_bEndModal = FALSE;
    m_nModalResult = -1;
    if (CreateFromTemplate(m_lpszTemplateName, hOwner)) {
        // OnInitDialog may have ended the dialog already.
        if (!m_bEndModal) {
            ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
            RunModalLoop();
        }
    }
    // Hide first, so activation goes back to the owner and not elsewhere.
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (bEnableOwner)
        ::EnableWindow(hOwner, TRUE);
    if (hOwner && ::IsWindow(hOwner))
        ::SetActiveWindow(hOwner);
    if (m_hWnd)
        DestroyWindow();
    m_bModal = FALSE;
    return m_nModalResult;
}

void CDialog::RunModalLoop()
{
    MSG msg = {};
    while (!m_bEndModal && m_hWnd) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            // The program is quitting: leave the dialog as cancelled and let
            // the outer loop see the quit message too.
            ::PostQuitMessage((int)msg.wParam);
            m_nModalResult = IDCANCEL;
            break;
        }
        try {
            // Keys for the dialog are the dialog's: the frame's accelerators
            // never see them.
            BOOL handled = FALSE;
            if (msg.hwnd && (msg.hwnd == m_hWnd || ::IsChild(m_hWnd, msg.hwnd)))
                handled = WalkPreTranslateTree(m_hWnd, &msg);
            if (!handled) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        } catch (const std::exception& e) {
            OutputDebugStringA(e.what());
        } catch (...) {
            OutputDebugStringA("Unhandled exception in a modal dialog's loop\n");
        }
    }
}

void CDialog::ShowInFront()
{
    ShowWindow(SW_SHOW);
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(m_hWnd);
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    if (m_bModal) {
        m_bEndModal = TRUE;
        if (m_hWnd)
            ::PostMessageW(m_hWnd, WM_NULL, 0, 0);   // wakes the modal loop
    } else if (m_hWnd) {
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;    // the system focuses the first tab stop
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*)
{
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    if (!m_hWnd)
        return FALSE;
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_bFailed;
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    if (m_hWnd && pWndCtrl && pWndCtrl->m_hWnd)
        ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, (WPARAM)pWndCtrl->m_hWnd, 1);
}

void CDialog::NextDlgCtrl() const
{
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, 0, 0);
}

void CDialog::PrevDlgCtrl() const
{
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, 1, 0);
}

void CDialog::CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
{
    ::CheckRadioButton(m_hWnd, nIDFirstButton, nIDLastButton, nIDCheckButton);
}

int CDialog::GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const
{
    for (int id = nIDFirstButton; id <= nIDLastButton; ++id)
        if (::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED)
            return id;
    return 0;
}

void CDialog::SetDefID(UINT nID)
{
    ::SendMessageW(m_hWnd, DM_SETDEFID, nID, 0);
}

DWORD CDialog::GetDefID() const
{
    return (DWORD)::SendMessageW(m_hWnd, DM_GETDEFID, 0, 0);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    // Tab, arrows, Enter and Esc move between fields and end the dialog.
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hWnd)
        return ::IsDialogMessageW(m_hWnd, pMsg);
    return FALSE;
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_INITDIALOG) {
        *pResult = OnInitDialog();
        return TRUE;
    }
    if (message == WM_DESTROY && m_bModelessListed) {
        if (CWinApp* app = AfxGetApp())
            app->RemoveModelessDialog(m_hWnd);
        m_bModelessListed = FALSE;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}

// CDialogEx ----------------------------------------------------------------------

CDialogEx::CDialogEx(UINT nIDTemplate, CWnd* pParentWnd) : CDialog(nIDTemplate, pParentWnd)
{
}

CDialogEx::CDialogEx(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : CDialog(lpszTemplateName, pParentWnd)
{
}

void CDialogEx::SetBackgroundColor(COLORREF color, BOOL bRepaint)
{
    m_brBackground.DeleteObject();
    m_clrBackground = color;
    if (color != CLR_INVALID)
        m_brBackground.CreateSolidBrush(color);
    if (bRepaint && m_hWnd)
        Invalidate();
}

BOOL CDialogEx::OnEraseBkgnd(CDC* pDC)
{
    if (m_clrBackground == CLR_INVALID)
        return CDialog::OnEraseBkgnd(pDC);
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, m_clrBackground);
    return TRUE;
}

HBRUSH CDialogEx::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (m_clrBackground == CLR_INVALID
        || (nCtlColor != CTLCOLOR_DLG && nCtlColor != CTLCOLOR_STATIC))
        return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (nCtlColor == CTLCOLOR_STATIC)
        pDC->SetBkColor(m_clrBackground);
    return (HBRUSH)m_brBackground.GetSafeHandle();
}
