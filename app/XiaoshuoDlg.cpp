#include "app/XiaoshuoDlg.h"

#include <shlobj.h>

#include "app/ImportTreeView.h"
#include "framework/FileDialog.h"
#include "framework/FileUtil.h"
#include "framework/MessageBox.h"
#include "res/resource.h"

namespace {

// Room for the names of a large multi-selection (the system answers with an
// error, not a partial list, when they do not fit).
const DWORD kFileBufferChars = 65536;

} // namespace

BEGIN_MESSAGE_MAP(XiaoshuoDlg, CDrawDlg)
    ON_BN_CLICKED(IDOK, &XiaoshuoDlg::OnBrowse)
    ON_BN_CLICKED(IDC_NOVEL_IMPORT, &XiaoshuoDlg::OnImport)
    ON_CBN_SELCHANGE(IDC_NOVEL_SOURCE, &XiaoshuoDlg::OnSourceChange)
END_MESSAGE_MAP()

XiaoshuoDlg::XiaoshuoDlg(CImportTreeView* pTree) : CDrawDlg(IDD_IMPORT_NOVEL, pTree), m_pTree(pTree)
{
}

XiaoshuoDlg::~XiaoshuoDlg()
{
}

void XiaoshuoDlg::DoDataExchange(CDataExchange* pDX)
{
    CDrawDlg::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_NOVEL_PATH, m_strPath);
    DDX_Control(pDX, IDC_NOVEL_SOURCE, m_comboSource);
    DDX_Text(pDX, IDC_NOVEL_NUMBER, m_nNumber);
    DDX_Text(pDX, IDC_NOVEL_PREFIX, m_strPrefix);
    DDX_Text(pDX, IDC_NOVEL_SUFFIX, m_strSuffix);
    DDX_Control(pDX, IDOK, m_btnBrowse);
    DDX_Control(pDX, IDC_NOVEL_IMPORT, m_btnImport);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
}

BOOL XiaoshuoDlg::OnInitDialog()
{
    CDrawDlg::OnInitDialog();
    m_comboSource.InsertString(0, L"加载TXT文件");
    m_comboSource.InsertString(1, L"加载文件夹");
    m_comboSource.SetCurSel(0);
    return TRUE;
}

void XiaoshuoDlg::OnBrowse()
{
    if (!UpdateData(TRUE))
        return;
    switch (m_comboSource.GetCurSel()) {
    case 0: {
        CFileDialog dlg(TRUE, L"*", L"*.txt", OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                        L"All Files(*.txt|*.txt||", nullptr, 0, TRUE);
        // The file name field starts empty.
        std::vector<wchar_t> buffer(kFileBufferChars, L'\0');
        dlg.m_ofn.lpstrFile = buffer.data();
        dlg.m_ofn.nMaxFile = kFileBufferChars;
        if (dlg.DoModal() != IDOK) {
            if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
                AfxMessageBox(L"选择的文件太多，请分几次导入。", MB_OK | MB_ICONWARNING);
            return;
        }
        m_vecFiles.clear();
        for (POSITION pos = dlg.GetStartPosition(); pos;) {
            m_strPath = dlg.GetNextPathName(pos);
            m_vecFiles.push_back(m_strPath);
        }
        m_bFolder = 0;
        break;
    }
    case 1: {
        m_vecFiles.clear();
        BROWSEINFOW bi = {};
        LPITEMIDLIST pidl = SHBrowseForFolderW(&bi);
        if (!pidl)
            return;
        wchar_t folder[MAX_PATH] = {};
        SHGetPathFromIDListW(pidl, folder);
        CoTaskMemFree(pidl);
        m_strPath = folder;
        m_bFolder = 1;
        break;
    }
    default:
        return;
    }
    m_strBrowsed = m_strPath;
    UpdateData(FALSE);
}

void XiaoshuoDlg::OnSourceChange()
{
    // Another kind chosen: what the last browse found no longer decides; the
    // path in the box is taken as typed until the next browse.
    m_strBrowsed.Empty();
    m_vecFiles.clear();
    m_bFolder = 0;
}

void XiaoshuoDlg::OnImport()
{
    if (!UpdateData(TRUE))
        return;
    if (m_strPath.IsEmpty()) {
        ShowWindow(SW_HIDE);
        return;
    }
    std::vector<ImportSource> sources;
    const bool typed = m_strBrowsed.IsEmpty() || m_strPath != m_strBrowsed;
    if (typed) {
        // A path typed into the box: a file or a folder, as it is on disk.
        if (!PathExists(m_strPath)) {
            AfxMessageBox(L"找不到文件或文件夹：" + m_strPath, MB_OK | MB_ICONWARNING);
            return;
        }
        m_vecFiles.clear();
        sources.push_back({m_strPath, FolderExists(m_strPath)});
    } else if (m_bFolder) {
        sources.push_back({m_strPath, true});
    } else {
        for (const CString& file : m_vecFiles)
            sources.push_back({file, false});
        m_vecFiles.clear();
    }
    // What was browsed is used up; the next import starts from the box again.
    m_strBrowsed.Empty();
    if (m_pTree)
        m_pTree->ImportBooks(sources, m_comboSource.GetCurSel(), m_nNumber, m_strPrefix, m_strSuffix);
    ShowWindow(SW_HIDE);
}

void XiaoshuoDlg::OnCancel()
{
    m_strPath.Empty();
    m_strBrowsed.Empty();
    UpdateData(FALSE);
    ShowWindow(SW_HIDE);
}
