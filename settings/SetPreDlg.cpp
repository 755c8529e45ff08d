#include "settings/SetPreDlg.h"

#include "app/DisplaySettings.h"
#include "res/resource.h"
#include "settings/FontList.h"
#include "view/ImportView.h"
#include "view/PresetFile.h"

BEGIN_MESSAGE_MAP(CSetPreDlg, CDrawDlg)
    ON_CBN_SELCHANGE(IDC_PRESET_BODY_FONT, &CSetPreDlg::OnBodyFontChange)
    ON_CBN_SELCHANGE(IDC_PRESET_CODE_FONT, &CSetPreDlg::OnCodeFontChange)
    ON_BN_CLICKED(IDC_PRESET_WIDEN_PAGE, &CSetPreDlg::OnWidenPage)
    ON_BN_CLICKED(IDC_PRESET_NARROW_PAGE, &CSetPreDlg::OnNarrowPage)
END_MESSAGE_MAP()

CSetPreDlg::CSetPreDlg(CImportView* pView) : CDrawDlg(IDD_PRESET, pView), m_pView(pView)
{
    const DisplaySettingsBlock& ds = DisplaySettings;
    m_bSingle = ds.bSingle;
    m_bComment = ds.bComment;
    m_nBiaozhu = ds.nBiaozhu;
}

CSetPreDlg::~CSetPreDlg()
{
}

void CSetPreDlg::DoDataExchange(CDataExchange* pDX)
{
    CDrawDlg::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PRESET_TEXT_SIZE, m_nTextSize);
    DDV_MinMaxUInt(pDX, m_nTextSize, 22, 100);
    DDX_Text(pDX, IDC_PRESET_LINE_SPACING, m_nLineSpacing);
    DDV_MinMaxUInt(pDX, m_nLineSpacing, 0, 100);
    DDX_Text(pDX, IDC_PRESET_PARA_SPACING, m_nParaSpacing);
    DDV_MinMaxUInt(pDX, m_nParaSpacing, 0, 100);
    DDX_Text(pDX, IDC_PRESET_TITLE_TEXT, m_strTitleText);
    DDX_Control(pDX, IDC_PRESET_BODY_FONT, m_cbBodyFont);
    DDX_Control(pDX, IDC_PRESET_CODE_FONT, m_cbCodeFont);
    DDX_Control(pDX, IDC_PRESET_MARK_STYLE, m_cbStyle);
    DDX_Control(pDX, IDC_PRESET_WIDEN_PAGE, m_btnWiden);
    DDX_Control(pDX, IDC_PRESET_NARROW_PAGE, m_btnNarrow);
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Radio(pDX, IDC_PRESET_MARK_RUNS, m_bSingle);
    DDX_Check(pDX, IDC_PRESET_COMMENT, m_bComment);
    // Nothing chosen keeps the style there was.
    int style = m_nBiaozhu;
    DDX_CBIndex(pDX, IDC_PRESET_MARK_STYLE, style);
    if (style >= 0)
        m_nBiaozhu = style;
}

BOOL CSetPreDlg::OnInitDialog()
{
    CDrawDlg::OnInitDialog();
    FillFontCombos();
    m_cbStyle.InsertString(0, L"无");
    for (int i = 1; i <= kMaxAnnotationStyle; ++i) {
        CString name;
        name.Format(L"样式%d", i);
        m_cbStyle.InsertString(i, name);
    }
    m_cbStyle.SetCurSel(m_nBiaozhu);
    UpdateData(FALSE);
    return TRUE;
}

void CSetPreDlg::FillFontCombos()
{
    AddSystemFonts({&m_cbBodyFont, &m_cbCodeFont});
    TidyFontList(m_cbBodyFont, m_strBodyFont);
    TidyFontList(m_cbCodeFont, m_strCodeFont);
}

void CSetPreDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    DisplaySettingsBlock& ds = DisplaySettings;
    ds.bSingle = m_bSingle < 0 ? 0 : m_bSingle;
    ds.bComment = m_bComment;
    ds.nBiaozhu = m_nBiaozhu;
    EndDialog(IDOK);
}

void CSetPreDlg::OnBodyFontChange()
{
    int sel = m_cbBodyFont.GetCurSel();
    if (sel < 0)
        return;
    m_cbBodyFont.GetLBText(sel, m_strBodyFont);
    if (m_pView) {
        SetFaceName(m_pView->m_szFontFace, m_strBodyFont);
        m_pView->Redraw();
    }
}

void CSetPreDlg::OnCodeFontChange()
{
    int sel = m_cbCodeFont.GetCurSel();
    if (sel < 0)
        return;
    m_cbCodeFont.GetLBText(sel, m_strCodeFont);
    if (m_pView) {
        SetFaceName(m_pView->m_szCodeFontFace, m_strCodeFont);
        m_pView->Redraw();
    }
}

void CSetPreDlg::OnWidenPage()
{
    if (m_pView)
        m_pView->WidenPage();
}

void CSetPreDlg::OnNarrowPage()
{
    if (m_pView)
        m_pView->NarrowPage();
}
