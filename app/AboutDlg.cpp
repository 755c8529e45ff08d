#include "app/AboutDlg.h"

#include <string>

#include "res/resource.h"

BEGIN_MESSAGE_MAP(CAboutDlg, CDrawDlg)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg(CWnd* pParent) : CDrawDlg(IDD_ABOUTBOX, pParent)
{
}

CAboutDlg::~CAboutDlg()
{
}

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDrawDlg::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnOK);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDrawDlg::OnInitDialog();
    CString version = ProgramVersion();
    if (!version.IsEmpty()) {
        CString line;
        line.Format(L"Lumivell-Velquor %s 版", version.GetString());
        SetDlgItemText(IDC_ABOUT_VERSION, line);
    }
    return TRUE;
}

CString ProgramVersion()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &handle);
    if (!size)
        return CString();
    std::string data(size, '\0');
    if (!GetFileVersionInfoW(path, 0, size, &data[0]))
        return CString();
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!VerQueryValueW(data.data(), L"\\", (void**)&info, &len) || !info)
        return CString();
    CString text;
    text.Format(L"%u.%u.%u.%u", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
    return text;
}
