#include "settings/BlockDialogs.h"

#include "res/resource.h"
#include "settings/FontList.h"

// ---------------------------------------------------------------- block insertion

BEGIN_MESSAGE_MAP(CAddCodeDlg, CDrawDlg)
END_MESSAGE_MAP()

CAddCodeDlg::CAddCodeDlg(CWnd* pParent) : CDrawDlg(IDD_ADD_CODE, pParent)
{
}

CAddCodeDlg::~CAddCodeDlg()
{
}

void CAddCodeDlg::DoDataExchange(CDataExchange* pDX)
{
    CDrawDlg::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_ADDCODE_TEXT, m_strText);
    DDX_Control(pDX, IDC_ADDCODE_TYPE, m_cbType);
    DDX_Text(pDX, IDC_ADDCODE_FONT_SIZE, m_nFontSize);
    DDV_MinMaxInt(pDX, m_nFontSize, 11, 30);
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
}

BOOL CAddCodeDlg::OnInitDialog()
{
    CDrawDlg::OnInitDialog();
    m_cbType.InsertString(0, L"无格式");
    m_cbType.InsertString(1, L"文字段落");
    m_cbType.InsertString(2, L"代码");
    m_cbType.SetCurSel(2);
    return TRUE;
}

void CAddCodeDlg::OnOK()
{
    m_nType = m_cbType.GetCurSel();
    CDrawDlg::OnOK();
}

// ---------------------------------------------------------------- block size

BEGIN_MESSAGE_MAP(CSizeDlg, CDrawDlg)
    ON_CBN_SELCHANGE(IDC_SIZE_FONT, &CSizeDlg::OnFontChange)
END_MESSAGE_MAP()

CSizeDlg::CSizeDlg(CWnd* pParent) : CDrawDlg(IDD_BLOCK_SIZE, pParent)
{
}

CSizeDlg::~CSizeDlg()
{
}

void CSizeDlg::DoDataExchange(CDataExchange* pDX)
{
    CDrawDlg::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SIZE_TYPE_NAME, m_strTypeName);
    DDX_Control(pDX, IDC_SIZE_WIDTH, m_editWidth);
    DDX_Text(pDX, IDC_SIZE_HEIGHT, m_nHeight);
    DDV_MinMaxUInt(pDX, m_nHeight, 1, 1000);
    DDX_Text(pDX, IDC_SIZE_WIDTH, m_nWidth);
    DDV_MinMaxUInt(pDX, m_nWidth, 1, 2000);
    DDX_Control(pDX, IDC_SIZE_FONT, m_cbFont);
}

BOOL CSizeDlg::OnInitDialog()
{
    CDrawDlg::OnInitDialog();
    static const wchar_t* const kNames[] = {L"字符数据块", L"字图数据块", L"图像数据块",
                                            L"自由文本列", L"自由文本框"};
    if (m_nBlockType >= 7 && m_nBlockType <= 11) {
        m_strTypeName = kNames[m_nBlockType - 7];
        m_editWidth.EnableWindow(m_nBlockType == 9);
    } else {
        m_strTypeName = L"未知类型";
    }
    FillFontCombo();
    UpdateData(FALSE);
    return TRUE;
}

void CSizeDlg::FillFontCombo()
{
    AddSystemFonts({&m_cbFont});
    TidyFontList(m_cbFont, m_strFontName);
}

void CSizeDlg::OnFontChange()
{
    int sel = m_cbFont.GetCurSel();
    if (sel >= 0)
        m_cbFont.GetLBText(sel, m_strFontName);
}
