#include "download/WebUpdatePrjDlg.h"

#include <algorithm>

#include "download/UpdateList.h"
#include "framework/App.h"
#include "framework/FileUtil.h"
#include "framework/MessageBox.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CCWebUpdatePrjDlg, CDrawDlg)
    ON_WM_PAINT()
    ON_MESSAGE(WM_QUERYDRAGICON, &CCWebUpdatePrjDlg::OnQueryDragIcon)
    ON_BN_CLICKED(IDC_PACK_CHECK, &CCWebUpdatePrjDlg::OnCheckUpdate)
    ON_BN_CLICKED(IDC_PACK_DOWNLOAD, &CCWebUpdatePrjDlg::OnDownload)
END_MESSAGE_MAP()

CCWebUpdatePrjDlg::CCWebUpdatePrjDlg(CWnd* pParent) : CDrawDlg(IDD_PACKS, pParent)
{
    if (CWinApp* app = AfxGetApp())
        m_hIcon = app->LoadIcon(IDR_MAINFRAME);
}

CCWebUpdatePrjDlg::~CCWebUpdatePrjDlg()
{
    delete m_pCallback;
}

void CCWebUpdatePrjDlg::DoDataExchange(CDataExchange* pDX)
{
    CDrawDlg::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PACK_LIST, m_listPacks);
    DDX_Control(pDX, IDC_PACK_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_PACK_CHECK, m_btnCheck);
    DDX_Control(pDX, IDC_PACK_DOWNLOAD, m_btnDownload);
    DDX_Control(pDX, IDCANCEL, m_btnClose);
}

BOOL CCWebUpdatePrjDlg::OnInitDialog()
{
    CDrawDlg::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_imageList.Create(32, 32, ILC_COLOR32 | ILC_MASK, 3, 1);
    m_imageList.SetBkColor(RGB(255, 255, 255));
    HICON row = (HICON)LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_TB_HORIZONTAL_LINES), IMAGE_ICON,
                                  32, 32, LR_DEFAULTCOLOR);
    for (int i = 0; i < 3; ++i)
        m_imageList.Add(row);
    if (row)
        DestroyIcon(row);
    m_listPacks.SetImageList(&m_imageList);

    GetDlgItemText(IDC_PACK_PROGRESS_TEXT, m_strIdleCaption);
    m_pCallback = new CCallback;
    m_update.SetLocalFolder();
    m_update.SetHost(ReadUpdateHost(m_update.strLocalFolder + L"\\control\\preSet.ini"));
    return TRUE;
}

void CCWebUpdatePrjDlg::BeginBusy()
{
    ++m_nBusy;
    m_btnCheck.EnableWindow(FALSE);
    m_btnDownload.EnableWindow(FALSE);
    m_btnClose.EnableWindow(FALSE);
}

bool CCWebUpdatePrjDlg::EndBusy()
{
    if (--m_nBusy > 0)
        return true;
    if (m_bDestroyed) {
        delete this;
        return false;
    }
    m_btnCheck.EnableWindow(TRUE);
    m_btnDownload.EnableWindow(TRUE);
    m_btnClose.EnableWindow(TRUE);
    return true;
}

void CCWebUpdatePrjDlg::OnCheckUpdate()
{
    if (m_nBusy)
        return;
    m_listPacks.ResetContent();
    m_pCallback->pDialog = this;
    m_update.pCallback = m_pCallback;
    ShowProgress(m_strIdleCaption, 0);
    // The list is asked for again; when that fails the last copy stays, and
    // without one the user is told which host did not give it.
    if (m_update.HasHost()) {
        BeginBusy();
        const bool fetched = m_update.FetchPackList(false);
        if (!EndBusy())
            return;
        if (!fetched) {
            const CString failure = m_update.ListFailureText();
            ShowProgress(failure, 0);
            if (!FileExists(m_update.ListCopyPath())) {
                AfxMessageBox(failure, MB_OK | MB_ICONEXCLAMATION);
                return;
            }
        }
    }
    // Without the list (reported) there is nothing to offer, not even the page.
    if (!m_update.LoadPackList())
        return;
    // All rows in one go, drawn once.
    m_listPacks.SetRedraw(FALSE);
    m_listPacks.AddString(L"从网盘进行下载", 0);
    const size_t rows = std::min(m_update.arrPackNames.size(), kMaxOfferedPacks);
    for (size_t i = 0; i < rows; ++i)
        m_listPacks.AddString(m_update.arrPackNames[i], 1);
    m_listPacks.SetRedraw(TRUE);
    m_listPacks.Invalidate();
    if (m_update.arrPackNames.size() > kMaxOfferedPacks) {
        CString note;
        note.Format(L"更新列表过长，只列出前%d个书包", (int)kMaxOfferedPacks);
        ShowProgress(note, 0);
    }
}

void CCWebUpdatePrjDlg::OnDownload()
{
    if (m_nBusy)
        return;
    const int row = m_listPacks.GetCurSel();
    if (row > 0)
        ShowProgress(m_strIdleCaption, 0);
    BeginBusy();
    const bool arrived = m_update.DownloadPack(row);
    if (EndBusy() && arrived && m_onPackArrived)
        m_onPackArrived();
}

void CCWebUpdatePrjDlg::ShowProgress(const wchar_t* text, int percent)
{
    HWND hWnd = m_hWnd;
    if (!hWnd)
        return;
    HWND caption = ::GetDlgItem(hWnd, IDC_PACK_PROGRESS_TEXT);
    ::SetWindowTextW(caption, text);
    // The caption is transparent: the dialog's picture goes under it again first.
    RECT rc;
    if (caption && ::GetWindowRect(caption, &rc)) {
        ::MapWindowPoints(nullptr, hWnd, (POINT*)&rc, 2);
        ::RedrawWindow(hWnd, &rc, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    ::SendDlgItemMessageW(hWnd, IDC_PACK_PROGRESS, PBM_SETPOS, (WPARAM)percent, 0);
}

void CCWebUpdatePrjDlg::OnPaint()
{
    if (!IsIconic()) {
        CDrawDlg::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, (WPARAM)dc.GetSafeHdc(), 0);
    CRect rc;
    GetClientRect(&rc);
    const int x = (rc.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rc.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

LRESULT CCWebUpdatePrjDlg::OnQueryDragIcon(WPARAM, LPARAM)
{
    return (LRESULT)m_hIcon;
}

void CCWebUpdatePrjDlg::OnCancel()
{
    CDrawDlg::OnCancel();
}

void CCWebUpdatePrjDlg::PostNcDestroy()
{
    CDrawDlg::PostNcDestroy();
    // A download still waits inside this window's handler: it is stopped,
    // and the object (with its progress sink) goes when the handler returns.
    if (m_nBusy > 0) {
        m_bDestroyed = true;
        CancelDownload();
        return;
    }
    delete this;
}
