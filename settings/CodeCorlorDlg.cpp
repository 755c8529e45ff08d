#include "settings/CodeCorlorDlg.h"

#include <shlobj.h>
#include <cstdlib>
#include <ctime>

#include "app/DisplaySettings.h"
#include "framework/FileUtil.h"
#include "framework/MessageBox.h"
#include "res/resource.h"
#include "view/ImportView.h"
#include "view/PresetFile.h"

namespace {

// The pickers in the order of m_clr: control, member, setting; the page
// colours also repaint this dialog and the library tree.
struct PickerField {
    int id;
    CMFCColorButton CCodeCorlorDlg::*button;
    COLORREF DisplaySettingsBlock::*setting;
    bool page;
};

const PickerField kPickers[18] = {
    {IDC_COLOR_BG, &CCodeCorlorDlg::m_btnBg, &DisplaySettingsBlock::clrBg, true},
    {IDC_COLOR_TEXT, &CCodeCorlorDlg::m_btnText, &DisplaySettingsBlock::clrText, true},
    {IDC_COLOR_CBG, &CCodeCorlorDlg::m_btnCBg, &DisplaySettingsBlock::clrCBg, false},
    {IDC_COLOR_CTEXT, &CCodeCorlorDlg::m_btnCText, &DisplaySettingsBlock::clrCText, false},
    {IDC_COLOR_ZHUWEN, &CCodeCorlorDlg::m_btnZhuwen, &DisplaySettingsBlock::clrZhuwen, false},
    {IDC_COLOR_XIAOKUOHAO, &CCodeCorlorDlg::m_btnXiaokuohao, &DisplaySettingsBlock::clrXiaokuohao, false},
    {IDC_COLOR_DAKUOHAO, &CCodeCorlorDlg::m_btnDakuohao, &DisplaySettingsBlock::clrDakuohao, false},
    {IDC_COLOR_TRUE, &CCodeCorlorDlg::m_btnTrue, &DisplaySettingsBlock::clrTrue, false},
    {IDC_COLOR_INT, &CCodeCorlorDlg::m_btnInt, &DisplaySettingsBlock::clrInt, false},
    {IDC_COLOR_CONTROL, &CCodeCorlorDlg::m_btnControl, &DisplaySettingsBlock::clrControl, false},
    {IDC_COLOR_FUN, &CCodeCorlorDlg::m_btnFun, &DisplaySettingsBlock::clrFun, false},
    {IDC_COLOR_VAR, &CCodeCorlorDlg::m_btnVar, &DisplaySettingsBlock::clrVar, false},
    {IDC_COLOR_LEFT, &CCodeCorlorDlg::m_btnLeft, &DisplaySettingsBlock::clrLeft, false},
    {IDC_COLOR_YINHAO, &CCodeCorlorDlg::m_btnYinhao, &DisplaySettingsBlock::clrYinhao, false},
    {IDC_COLOR_DFUN, &CCodeCorlorDlg::m_btnDFun, &DisplaySettingsBlock::clrDFun, false},
    {IDC_COLOR_CURINXIAO, &CCodeCorlorDlg::m_btnCurInXiao, &DisplaySettingsBlock::clrCurInXiao, false},
    {IDC_COLOR_CURINDA, &CCodeCorlorDlg::m_btnCurInDa, &DisplaySettingsBlock::clrCurInDa, false},
    {IDC_COLOR_DIGIT, &CCodeCorlorDlg::m_btnDigit, &DisplaySettingsBlock::clrDigit, false},
};

// What the random code colours change, in the order they are drawn.
COLORREF DisplaySettingsBlock::*const kRandomCodeOrder[16] = {
    &DisplaySettingsBlock::clrCBg,       &DisplaySettingsBlock::clrCText,
    &DisplaySettingsBlock::clrZhuwen,    &DisplaySettingsBlock::clrXiaokuohao,
    &DisplaySettingsBlock::clrDakuohao,  &DisplaySettingsBlock::clrCurInXiao,
    &DisplaySettingsBlock::clrCurInDa,   &DisplaySettingsBlock::clrLeft,
    &DisplaySettingsBlock::clrInt,       &DisplaySettingsBlock::clrControl,
    &DisplaySettingsBlock::clrFun,       &DisplaySettingsBlock::clrDFun,
    &DisplaySettingsBlock::clrVar,       &DisplaySettingsBlock::clrTrue,
    &DisplaySettingsBlock::clrDigit,     &DisplaySettingsBlock::clrYinhao,
};

// A component never reaches 255: no random white.
COLORREF RandomColour()
{
    int r = rand() % 255;
    int g = rand() % 255;
    int b = rand() % 255;
    return RGB(r, g, b);
}

const wchar_t* const kPictureExtensions[] = {L".jpg", L".bmp", L".tif", nullptr};
const wchar_t* const kSideBarExtensions[] = {L".jpg", L".bmp", L".tif", L".png", nullptr};

CString DefaultSetFolder(const wchar_t* parent)
{
    CString folder;
    folder.Format(L"%scontrol\\IMG\\%s", g_strAppFolder.GetString(), parent);
    return folder;
}

bool BrowseForFolder(CString& folder)
{
    BROWSEINFOW bi = {};
    LPITEMIDLIST list = SHBrowseForFolderW(&bi);
    if (!list)
        return false;
    wchar_t path[MAX_PATH] = {};
    SHGetPathFromIDListW(list, path);
    CoTaskMemFree(list);
    folder = path;
    return true;
}

} // namespace

// ---------------------------------------------------------------- scheme name

BEGIN_MESSAGE_MAP(CCodeCorlorNameDlg, CDrawDlg)
END_MESSAGE_MAP()

CCodeCorlorNameDlg::CCodeCorlorNameDlg(CWnd* pParent) : CDrawDlg(IDD_SCHEME_NAME, pParent)
{
}

CCodeCorlorNameDlg::~CCodeCorlorNameDlg()
{
}

void CCodeCorlorNameDlg::DoDataExchange(CDataExchange* pDX)
{
    CDrawDlg::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SCHEME_NAME, m_strName);
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
}

// ---------------------------------------------------------------- colour dialog

CCodeCorlorDlg::BrowseHook CCodeCorlorDlg::s_browseHook = nullptr;

BEGIN_MESSAGE_MAP(CCodeCorlorDlg, CDrawDlg)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_COLOR_CBG, IDC_COLOR_CURINDA, &CCodeCorlorDlg::OnPickColor)
    ON_BN_CLICKED(IDC_COLOR_RANDOM_CODE, &CCodeCorlorDlg::OnRandomCodeColors)
    ON_BN_CLICKED(IDC_COLOR_RANDOM, &CCodeCorlorDlg::OnRandomColors)
    ON_BN_CLICKED(IDC_COLOR_SAVE_SCHEME, &CCodeCorlorDlg::OnSaveScheme)
    ON_CBN_SELCHANGE(IDC_COLOR_SCHEME, &CCodeCorlorDlg::OnSelectScheme)
    ON_CBN_SELCHANGE(IDC_COLOR_BACKGROUND_SET, &CCodeCorlorDlg::OnSelectBackgroundSet)
    ON_CBN_SELCHANGE(IDC_COLOR_VERTICAL_SET, &CCodeCorlorDlg::OnSelectVerticalSet)
    ON_CBN_SELCHANGE(IDC_COLOR_LINE_SET, &CCodeCorlorDlg::OnSelectLineSet)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_COLOR_LINE_MODE, IDC_COLOR_PRAM_MODE, &CCodeCorlorDlg::OnCheckBox)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_COLOR_VERTICAL_MODE, IDC_COLOR_VERTICAL_MODE, &CCodeCorlorDlg::OnCheckBox)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_COLOR_WHOLE_LEFT, IDC_COLOR_WHOLE_BOTTOM, &CCodeCorlorDlg::OnCheckBox)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_COLOR_SEL_MARK_ONLY, IDC_COLOR_SEL_LINES, &CCodeCorlorDlg::OnSelectRadio)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_COLOR_SEL_PARAS, IDC_COLOR_SEL_BOTH, &CCodeCorlorDlg::OnSelectRadio)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_COLOR_SEL_TOP_BOTTOM, IDC_COLOR_SEL_TOP_BOTTOM, &CCodeCorlorDlg::OnSelectRadio)
    ON_WM_HSCROLL()
END_MESSAGE_MAP()

CCodeCorlorDlg::CCodeCorlorDlg(CWnd* pParent) : CDrawDlg(IDD_COLOR_SETTINGS, pParent), m_pView(pParent)
{
}

CCodeCorlorDlg::~CCodeCorlorDlg()
{
}

BOOL CCodeCorlorDlg::PreTranslateMessage(MSG* pMsg)
{
    return CDialogEx::PreTranslateMessage(pMsg);
}

void CCodeCorlorDlg::LoadSettings()
{
    const DisplaySettingsBlock& ds = DisplaySettings;
    for (int i = 0; i < 18; ++i)
        m_clr[i] = ds.*kPickers[i].setting;
    m_nVertical = ds.nVertical;
    m_nHorize = ds.nHorize;
    m_nPramLen = ds.nPramLen;
    m_nPramWidth = ds.nPramWidth;
    m_bLineMode = ds.bLineMode;
    m_bPramMode = ds.bPramMode;
    m_nSelect = ds.nSelect;
    m_nVerticalWidth = ds.nVerticalWidth;
    m_bVerticalMode = ds.bVerticalMode;
    m_bWholeLeft = ds.bWholeLeft;
    m_bWholeTop = ds.bWholeTop;
    m_bWholeBottom = ds.bWholeBottom;
}

CMFCColorButton* CCodeCorlorDlg::Picker(int index)
{
    return &(this->*kPickers[index].button);
}

void CCodeCorlorDlg::DoDataExchange(CDataExchange* pDX)
{
    CDrawDlg::DoDataExchange(pDX);
    for (int i = 0; i < 18; ++i)
        DDX_Control(pDX, kPickers[i].id, *Picker(i));
    DDX_Control(pDX, IDC_COLOR_SCHEME, m_cbScheme);
    DDX_Control(pDX, IDC_COLOR_BACKGROUND_SET, m_cbBackgroundSet);
    DDX_Control(pDX, IDC_COLOR_VERTICAL_SET, m_cbVerticalSet);
    DDX_Control(pDX, IDC_COLOR_LINE_SET, m_cbLineSet);
    DDX_Control(pDX, IDC_COLOR_SLD_VERTICAL, m_sldVertical);
    DDX_Control(pDX, IDC_COLOR_SLD_HORIZE, m_sldHorize);
    DDX_Control(pDX, IDC_COLOR_SLD_PRAMLEN, m_sldPramLen);
    DDX_Control(pDX, IDC_COLOR_SLD_PRAMWIDTH, m_sldPramWidth);
    DDX_Control(pDX, IDC_COLOR_SLD_VERTICALWIDTH, m_sldVerticalWidth);
    DDX_Control(pDX, IDC_COLOR_RANDOM, m_btnRandomColors);
    DDX_Control(pDX, IDC_COLOR_SAVE_SCHEME, m_btnSaveScheme);
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, IDCANCEL, m_btnHide);
    DDX_Slider(pDX, IDC_COLOR_SLD_VERTICAL, m_nVertical);
    DDV_MinMaxInt(pDX, m_nVertical, 0, 100);
    DDX_Slider(pDX, IDC_COLOR_SLD_HORIZE, m_nHorize);
    DDV_MinMaxInt(pDX, m_nHorize, 0, 13);
    DDX_Slider(pDX, IDC_COLOR_SLD_PRAMLEN, m_nPramLen);
    DDV_MinMaxInt(pDX, m_nPramLen, 0, 100);
    DDX_Slider(pDX, IDC_COLOR_SLD_PRAMWIDTH, m_nPramWidth);
    DDV_MinMaxInt(pDX, m_nPramWidth, 0, 50);
    DDX_Slider(pDX, IDC_COLOR_SLD_VERTICALWIDTH, m_nVerticalWidth);
    DDV_MinMaxInt(pDX, m_nVerticalWidth, 200, 1000);
    DDX_Check(pDX, IDC_COLOR_LINE_MODE, m_bLineMode);
    DDX_Check(pDX, IDC_COLOR_PRAM_MODE, m_bPramMode);
    DDX_Check(pDX, IDC_COLOR_VERTICAL_MODE, m_bVerticalMode);
    DDX_Check(pDX, IDC_COLOR_WHOLE_LEFT, m_bWholeLeft);
    DDX_Check(pDX, IDC_COLOR_WHOLE_TOP, m_bWholeTop);
    DDX_Check(pDX, IDC_COLOR_WHOLE_BOTTOM, m_bWholeBottom);
    DDX_Radio(pDX, IDC_COLOR_SEL_MARK_ONLY, m_nSelect);
}

BOOL CCodeCorlorDlg::OnInitDialog()
{
    CDrawDlg::OnInitDialog();
    m_sldHorize.SetRange(0, 13);
    m_sldPramWidth.SetRange(0, 50);
    m_sldVerticalWidth.SetRange(200, 1000, TRUE);
    for (int i = 0; i < 18; ++i)
        Picker(i)->SetColor(m_clr[i]);
    for (const ColorScheme& scheme : vecColorSchemes)
        m_cbScheme.AddString(scheme.Name);
    m_sldHorize.SetPos(m_nHorize);
    m_sldVertical.SetPos(m_nVertical);
    m_sldPramLen.SetPos(m_nPramLen);
    m_sldPramWidth.SetPos(m_nPramWidth);
    m_sldVerticalWidth.SetPos(m_nVerticalWidth);
    CheckDlgButton(IDC_COLOR_LINE_MODE, m_bLineMode ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_COLOR_PRAM_MODE, m_bPramMode ? BST_CHECKED : BST_UNCHECKED);
    FillBackgroundSetCombo();
    FillVerticalSetCombo();
    FillLineSetCombo();
    return TRUE;
}

// ---------------------------------------------------------------- redrawing

CImportView* CCodeCorlorDlg::View()
{
    return m_pView ? DYNAMIC_DOWNCAST(CImportView, m_pView) : nullptr;
}

void CCodeCorlorDlg::RedrawView()
{
    if (m_pView && m_pView->m_hWnd)
        m_pView->Invalidate(TRUE);
}

void CCodeCorlorDlg::RedrawPage()
{
    if (m_hWnd)
        Invalidate(TRUE);
    // The library tree paints in the page colours too.
    if (m_pView && m_pView->m_hWnd) {
        if (CWnd* top = m_pView->GetTopLevelParent())
            top->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    RedrawView();
}

// ---------------------------------------------------------------- colours

void CCodeCorlorDlg::OnPickColor(UINT nID)
{
    for (int i = 0; i < 18; ++i) {
        if (kPickers[i].id != (int)nID)
            continue;
        DisplaySettings.*kPickers[i].setting = Picker(i)->GetColor();
        if (kPickers[i].page)
            RedrawPage();
        else
            RedrawView();
        return;
    }
}

void CCodeCorlorDlg::SetPickersFromSettings()
{
    for (int i = 0; i < 18; ++i)
        Picker(i)->SetColor(DisplaySettings.*kPickers[i].setting);
}

void CCodeCorlorDlg::CopyPickersToMembers()
{
    for (int i = 0; i < 18; ++i)
        m_clr[i] = Picker(i)->GetColor();
}

void CCodeCorlorDlg::OnOK()
{
    CopyPickersToMembers();
    CDrawDlg::OnOK();
}

void CCodeCorlorDlg::OnCancel()
{
    OnHide();
}

void CCodeCorlorDlg::OnHide()
{
    ShowWindow(SW_HIDE);
}

void CCodeCorlorDlg::OnRandomCodeColors()
{
    srand((unsigned)time(nullptr));
    DisplaySettingsBlock& ds = DisplaySettings;
    for (COLORREF DisplaySettingsBlock::*setting : kRandomCodeOrder)
        ds.*setting = RandomColour();
    SetPickersFromSettings();
    RedrawView();
}

void CCodeCorlorDlg::OnRandomColors()
{
    srand((unsigned)time(nullptr));
    DisplaySettingsBlock& ds = DisplaySettings;
    ds.clrBg = RandomColour();
    ds.clrText = RandomColour();
    m_btnBg.SetColor(ds.clrBg);
    m_btnText.SetColor(ds.clrText);
    for (CProSliderCtrl* slider :
         {&m_sldVertical, &m_sldHorize, &m_sldPramLen, &m_sldPramWidth, &m_sldVerticalWidth})
        slider->UpdateColors();
    RedrawPage();
}

// ---------------------------------------------------------------- schemes

void CCodeCorlorDlg::StoreColorsInScheme(const CString& name)
{
    for (ColorScheme& scheme : vecColorSchemes) {
        if (scheme.Name == name) {
            StoreCurrentColors(scheme);
            return;
        }
    }
}

void CCodeCorlorDlg::OnSelectScheme()
{
    const int sel = m_cbScheme.GetCurSel();
    if (sel < 0)
        return;
    CString name;
    m_cbScheme.GetLBText(sel, name);
    for (const ColorScheme& scheme : vecColorSchemes) {
        if (scheme.Name != name)
            continue;
        ApplyColorScheme(scheme);
        SetPickersFromSettings();
        CopyPickersToMembers();
        RedrawPage();
        return;
    }
}

void CCodeCorlorDlg::OnSaveScheme()
{
    // Owned by this dialog, which it disables while it asks.
    CCodeCorlorNameDlg nameDlg(this);
    if (nameDlg.DoModal() != IDOK || nameDlg.m_strName.IsEmpty())
        return;
    const CString name = nameDlg.m_strName;
    for (int i = 0; i < m_cbScheme.GetCount(); ++i) {
        CString item;
        m_cbScheme.GetLBText(i, item);
        if (item != name)
            continue;
        if (AfxMessageBox(L"有重名配色方案，是否将其替换", MB_YESNO | MB_ICONQUESTION) != IDNO)
            StoreColorsInScheme(name);
        return;
    }
    ColorScheme scheme;
    scheme.Name = name;
    StoreCurrentColors(scheme);
    vecColorSchemes.push_back(scheme);
    m_cbScheme.AddString(name);
}

// ---------------------------------------------------------------- decorations

void CCodeCorlorDlg::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    CDrawDlg::OnHScroll(nSBCode, nPos, pScrollBar);
    DisplaySettingsBlock& ds = DisplaySettings;
    ds.nVertical = m_nVertical = m_sldVertical.GetPos();
    ds.nHorize = m_nHorize = m_sldHorize.GetPos();
    ds.nPramLen = m_nPramLen = m_sldPramLen.GetPos();
    ds.nPramWidth = m_nPramWidth = m_sldPramWidth.GetPos();
    ds.nVerticalWidth = m_nVerticalWidth = m_sldVerticalWidth.GetPos();
    RedrawView();
}

void CCodeCorlorDlg::OnCheckBox(UINT nID)
{
    if (!UpdateData(TRUE))
        return;
    DisplaySettingsBlock& ds = DisplaySettings;
    switch (nID) {
    case IDC_COLOR_LINE_MODE: ds.bLineMode = m_bLineMode; break;
    case IDC_COLOR_PRAM_MODE: ds.bPramMode = m_bPramMode; break;
    case IDC_COLOR_VERTICAL_MODE: ds.bVerticalMode = m_bVerticalMode; break;
    case IDC_COLOR_WHOLE_LEFT: ds.bWholeLeft = m_bWholeLeft; break;
    case IDC_COLOR_WHOLE_TOP: ds.bWholeTop = m_bWholeTop; break;
    case IDC_COLOR_WHOLE_BOTTOM: ds.bWholeBottom = m_bWholeBottom; break;
    default: return;
    }
    if (nID >= IDC_COLOR_WHOLE_LEFT && m_hWnd)
        Invalidate(TRUE);
    if (nID == IDC_COLOR_WHOLE_BOTTOM)
        if (CImportView* view = View())
            view->FitScrollToBottomBar();
    RedrawView();
}

void CCodeCorlorDlg::OnSelectRadio(UINT)
{
    if (UpdateData(TRUE) && m_nSelect >= 0)
        DisplaySettings.nSelect = m_nSelect;
}

void CCodeCorlorDlg::FillSetCombo(CComboBox& box, const ImageSet& set, const wchar_t* parent)
{
    const CString defaultFolder = DefaultSetFolder(parent);
    const int slash = set.strFolder.ReverseFind(L'\\');
    const bool listed = slash >= 0 && set.strFolder.Left(slash) == defaultFolder;
    const CString current = slash >= 0 ? set.strFolder.Mid(slash + 1) : CString();
    box.ResetContent();
    box.InsertString(0, L"无");
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(defaultFolder + L"\\*.*", &fd);
    int at = 1;
    bool selected = false;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const CString name = fd.cFileName;
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == L"." || name == L"..")
                continue;
            box.InsertString(at, name);
            if (listed && !selected && name == current) {
                box.SetCurSel(at);
                selected = true;
            }
            ++at;
        } while (FindNextFileW(find, &fd));
        FindClose(find);
    }
    box.InsertString(at, L"自定义");
}

void CCodeCorlorDlg::FillBackgroundSetCombo()
{
    FillSetCombo(m_cbBackgroundSet, DisplaySettings.BackgroundSet, kBackgroundParent);
}

void CCodeCorlorDlg::FillVerticalSetCombo()
{
    FillSetCombo(m_cbVerticalSet, DisplaySettings.VerticalSet, kVerticalParent);
}

void CCodeCorlorDlg::FillLineSetCombo()
{
    FillSetCombo(m_cbLineSet, DisplaySettings.LineSet, kLineParent);
}

bool CCodeCorlorDlg::ChooseSet(CComboBox& box, ImageSet& set, const wchar_t* parent,
                               bool leftFolder, const wchar_t* const* extensions, bool& listed)
{
    const int sel = box.GetCurSel();
    if (sel < 0)
        return false;
    const bool browsed = sel == box.GetCount() - 1;
    CString folder;
    if (browsed) {
        if (!(s_browseHook ? s_browseHook(folder) : BrowseForFolder(folder)))
            return false;
    } else {
        CString name;
        box.GetLBText(sel, name);
        folder.Format(L"%scontrol\\IMG\\%s\\%s", g_strAppFolder.GetString(), parent,
                      name.GetString());
    }
    set.strFolder = folder;
    // A browsed folder offers only pictures; a folder of the set, every file.
    listed = ListPictureFolder(set, leftFolder, browsed ? extensions : nullptr);
    return listed || !browsed;
}

void CCodeCorlorDlg::OnSelectBackgroundSet()
{
    DisplaySettingsBlock& ds = DisplaySettings;
    bool listed = false;
    if (!ChooseSet(m_cbBackgroundSet, ds.BackgroundSet, kBackgroundParent, false,
                   kPictureExtensions, listed))
        return;
    ds.Count = listed ? (int)ds.BackgroundSet.vecFiles.size() : 0;
    CImportView* view = View();
    int& index = (view && !view->IsUpperPane()) ? ds.Index1 : ds.Index0;
    if (index >= ds.Count || index < 0)
        index = 0;
    CString picture;
    if (ds.Count > 0)
        picture.Format(L"%s\\%s", ds.BackgroundSet.strFolder.GetString(),
                       ds.BackgroundSet.vecFiles[(size_t)index].GetString());
    if (view)
        view->m_strBackgroundPicture = picture;
    ds.strBackgroundFile = picture;
    if (ds.Count == 0)
        RedrawPage();
    RedrawView();
    Invalidate(TRUE);
}

void CCodeCorlorDlg::OnSelectVerticalSet()
{
    bool listed = false;
    if (!ChooseSet(m_cbVerticalSet, DisplaySettings.VerticalSet, kVerticalParent, true,
                   kSideBarExtensions, listed))
        return;
    if (CImportView* view = View())
        view->RandomizeVerticalBars();
}

void CCodeCorlorDlg::OnSelectLineSet()
{
    bool listed = false;
    if (!ChooseSet(m_cbLineSet, DisplaySettings.LineSet, kLineParent, false, kPictureExtensions,
                   listed))
        return;
    if (CImportView* view = View())
        view->RandomizeHorizontalBars();
}
