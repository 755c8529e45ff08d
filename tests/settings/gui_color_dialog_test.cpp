// The colour and decoration dialog in the running program: opened from the
// toolbar, colours picked through the picker buttons, schemes saved and
// overwritten, sliders, switches and the picture-set boxes.
#include "tests/app/AppTestUtil.h"

#include <set>

#include "framework/ColorButton.h"
#include "settings/CodeCorlorDlg.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/Pixels.h"
#include "tests/support/TempFiles.h"

using namespace apptest;

namespace {

COLORREF g_pick = 0;
BOOL PickHook(CHOOSECOLORW* cc)
{
    cc->rgbResult = g_pick;
    return TRUE;
}

CString g_browsed;
bool BrowseHook(CString& folder)
{
    folder = g_browsed;
    return true;
}

struct PickerCase {
    int id;
    COLORREF DisplaySettingsBlock::*setting;
};
const PickerCase kPickers[18] = {
    {IDC_COLOR_BG, &DisplaySettingsBlock::clrBg},
    {IDC_COLOR_TEXT, &DisplaySettingsBlock::clrText},
    {IDC_COLOR_CBG, &DisplaySettingsBlock::clrCBg},
    {IDC_COLOR_CTEXT, &DisplaySettingsBlock::clrCText},
    {IDC_COLOR_ZHUWEN, &DisplaySettingsBlock::clrZhuwen},
    {IDC_COLOR_XIAOKUOHAO, &DisplaySettingsBlock::clrXiaokuohao},
    {IDC_COLOR_DAKUOHAO, &DisplaySettingsBlock::clrDakuohao},
    {IDC_COLOR_TRUE, &DisplaySettingsBlock::clrTrue},
    {IDC_COLOR_INT, &DisplaySettingsBlock::clrInt},
    {IDC_COLOR_CONTROL, &DisplaySettingsBlock::clrControl},
    {IDC_COLOR_FUN, &DisplaySettingsBlock::clrFun},
    {IDC_COLOR_VAR, &DisplaySettingsBlock::clrVar},
    {IDC_COLOR_LEFT, &DisplaySettingsBlock::clrLeft},
    {IDC_COLOR_YINHAO, &DisplaySettingsBlock::clrYinhao},
    {IDC_COLOR_DFUN, &DisplaySettingsBlock::clrDFun},
    {IDC_COLOR_CURINXIAO, &DisplaySettingsBlock::clrCurInXiao},
    {IDC_COLOR_CURINDA, &DisplaySettingsBlock::clrCurInDa},
    {IDC_COLOR_DIGIT, &DisplaySettingsBlock::clrDigit},
};

class ColorDialogTest : public AppTest {
protected:
    AfxChooseColorHook oldHook = nullptr;
    void SetUp() override
    {
        AppTest::SetUp();
        oldHook = AfxSetChooseColorHook(PickHook);
        CCodeCorlorDlg::s_browseHook = BrowseHook;
    }
    void TearDown() override
    {
        AppTest::TearDown();
        AfxSetChooseColorHook(oldHook);
        CCodeCorlorDlg::s_browseHook = nullptr;
    }
    // The program with an article in the upper pane and the dialog open from the toolbar.
    CCodeCorlorDlg* OpenDialog()
    {
        MakeArticle(L"0001_a.xml", L"甲乙丙");
        Start();
        Select(Item({L"0001_a.xml"}));
        Command(ID_COLOR_SETTINGS);
        CCodeCorlorDlg* dlg = Upper()->m_pColorDlg;
        EXPECT_NE(nullptr, dlg);
        if (dlg)
            EXPECT_TRUE(dlg->IsWindowVisible());
        return dlg;
    }
    HWND Item(CCodeCorlorDlg* dlg, int id) { return ::GetDlgItem(dlg->m_hWnd, id); }
    using AppTest::Item;
    void Click(CCodeCorlorDlg* dlg, int id)
    {
        ::SendMessageW(Item(dlg, id), BM_CLICK, 0, 0);
        Pump();
    }
    void Choose(CCodeCorlorDlg* dlg, int box, const wchar_t* text)
    {
        HWND h = Item(dlg, box);
        int at = (int)::SendMessageW(h, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text);
        ASSERT_GE(at, 0) << "no item";
        ::SendMessageW(h, CB_SETCURSEL, at, 0);
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(box, CBN_SELCHANGE), (LPARAM)h);
        Pump();
    }
    std::set<CString> Items(CCodeCorlorDlg* dlg, int box)
    {
        std::set<CString> items;
        HWND h = Item(dlg, box);
        int n = (int)::SendMessageW(h, CB_GETCOUNT, 0, 0);
        for (int i = 0; i < n; ++i) {
            wchar_t text[128] = {};
            ::SendMessageW(h, CB_GETLBTEXT, i, (LPARAM)text);
            items.insert(text);
        }
        return items;
    }
    // Saves the current colours under name through the name dialog.
    void SaveScheme(CCodeCorlorDlg* dlg, const wchar_t* name, bool* ownerDisabled = nullptr)
    {
        OnNextDialog([=](HWND nameDlg) {
            if (ownerDisabled)
                *ownerDisabled = !dlg->IsWindowEnabled();
            HWND edit = ::GetDlgItem(nameDlg, IDC_SCHEME_NAME);
            ::SetWindowTextW(edit, name);
            ::SetFocus(edit);
            PostKeyToFocus(VK_RETURN);
        });
        Click(dlg, IDC_COLOR_SAVE_SCHEME);
        EXPECT_FALSE(IsDialogActionPending());
    }
    static bool Close(COLORREF a, COLORREF b, int tolerance)
    {
        return abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
               abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
               abs(GetBValue(a) - GetBValue(b)) <= tolerance;
    }
};

} // namespace

TEST_F(ColorDialogTest, EveryPickerWritesItsColourAndThePageShowsItAfterARestart)
{
    CCodeCorlorDlg* dlg = OpenDialog();
    ASSERT_NE(nullptr, dlg);
    for (int i = 0; i < 18; ++i) {
        g_pick = RGB(10 + i * 11, 200 - i * 9, 40 + i * 7);
        Click(dlg, kPickers[i].id);
        EXPECT_EQ(g_pick, DisplaySettings.*kPickers[i].setting) << kPickers[i].id;
    }
    // The swapped captions name what the pickers change.
    wchar_t caption[64] = {};
    HWND before = ::GetWindow(Item(dlg, IDC_COLOR_FUN), GW_HWNDPREV);
    ::GetWindowTextW(before, caption, 64);
    EXPECT_STREQ(L"系统常用函数:", caption);
    ::GetWindowTextW(::GetWindow(Item(dlg, IDC_COLOR_CURINDA), GW_HWNDPREV), caption, 64);
    EXPECT_STREQ(L"光标在大括号内:", caption);

    g_pick = RGB(30, 120, 60);
    Click(dlg, IDC_COLOR_BG);
    Upper()->UpdateWindow();
    EXPECT_TRUE(Close(PixelOfWindow(Upper()->m_hWnd, 4, 2), g_pick, 6));
    Stop();
    DisplaySettings = DisplaySettingsBlock();
    Start();
    EXPECT_EQ(RGB(30, 120, 60), DisplaySettings.clrBg);
    EXPECT_EQ(RGB(10 + 17 * 11, 200 - 17 * 9, 40 + 17 * 7), DisplaySettings.clrDigit);
}

TEST_F(ColorDialogTest, SchemesAreSavedOverwrittenOnYesAndChosen)
{
    ColorScheme first;
    first.Name = L"甲";
    DisplaySettings.clrBg = RGB(1, 2, 3);
    StoreCurrentColors(first);
    CCodeCorlorDlg* dlg = nullptr;
    {
        // The schemes come from the colour file read at start.
        CreateFolderTree(programFolder + L"control");
        g_strAppFolder = programFolder;
        vecColorSchemes = {first};
        ASSERT_TRUE(SaveColorXml());
        vecColorSchemes.clear();
    }
    dlg = OpenDialog();
    ASSERT_NE(nullptr, dlg);
    EXPECT_EQ(std::set<CString>{L"甲"}, Items(dlg, IDC_COLOR_SCHEME));

    g_pick = RGB(50, 60, 70);
    Click(dlg, IDC_COLOR_BG);
    bool ownerDisabled = false;
    SaveScheme(dlg, L"乙", &ownerDisabled);
    EXPECT_TRUE(ownerDisabled);
    ASSERT_EQ(2u, vecColorSchemes.size());
    EXPECT_EQ(RGB(50, 60, 70), vecColorSchemes[1].Bg);
    EXPECT_EQ((std::set<CString>{L"甲", L"乙"}), Items(dlg, IDC_COLOR_SCHEME));

    // The same name again: No keeps the scheme, Yes overwrites it.
    g_pick = RGB(90, 90, 90);
    Click(dlg, IDC_COLOR_BG);
    Boxes::Clear();
    Boxes::Answer() = IDNO;
    SaveScheme(dlg, L"乙");
    ASSERT_EQ(1u, Boxes::Texts().size());
    EXPECT_EQ(CString(L"有重名配色方案，是否将其替换"), Boxes::Texts()[0]);
    EXPECT_EQ(RGB(50, 60, 70), vecColorSchemes[1].Bg);
    Boxes::Answer() = IDYES;
    SaveScheme(dlg, L"乙");
    EXPECT_EQ(RGB(90, 90, 90), vecColorSchemes[1].Bg);
    EXPECT_EQ(2u, vecColorSchemes.size());

    // Choosing a scheme sets the colours and the pickers.
    Choose(dlg, IDC_COLOR_SCHEME, L"甲");
    EXPECT_EQ(RGB(1, 2, 3), DisplaySettings.clrBg);
    EXPECT_EQ(RGB(1, 2, 3), dlg->m_btnBg.GetColor());
    Stop();
    DisplaySettings = DisplaySettingsBlock();
    vecColorSchemes.clear();
    Start();
    ASSERT_EQ(2u, vecColorSchemes.size());
    EXPECT_EQ(RGB(90, 90, 90), vecColorSchemes[1].Bg);
}

TEST_F(ColorDialogTest, SlidersSwitchesAndRandomColours)
{
    CCodeCorlorDlg* dlg = OpenDialog();
    ASSERT_NE(nullptr, dlg);
    dlg->m_sldVertical.SetPos(40);
    dlg->m_sldHorize.SetPos(9);
    dlg->m_sldPramLen.SetPos(70);
    dlg->m_sldPramWidth.SetPos(33);
    dlg->m_sldVerticalWidth.SetPos(650);
    // Moving one slider reads all five.
    dlg->SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 9), (LPARAM)dlg->m_sldHorize.m_hWnd);
    const DisplaySettingsBlock& ds = DisplaySettings;
    EXPECT_EQ(40, ds.nVertical);
    EXPECT_EQ(9, ds.nHorize);
    EXPECT_EQ(70, ds.nPramLen);
    EXPECT_EQ(33, ds.nPramWidth);
    EXPECT_EQ(650, ds.nVerticalWidth);
    EXPECT_EQ(13, dlg->m_sldHorize.GetRangeMax());
    EXPECT_EQ(200, dlg->m_sldVerticalWidth.GetRangeMin());

    Click(dlg, IDC_COLOR_WHOLE_TOP);
    EXPECT_EQ(1, ds.bWholeTop);
    // The bottom bar lengthens the scroll area by its height.
    const int scrollHeight = Upper()->GetTotalSize().cy;
    Click(dlg, IDC_COLOR_WHOLE_BOTTOM);
    EXPECT_EQ(1, ds.bWholeBottom);
    EXPECT_EQ(scrollHeight + Upper()->m_nPageTop, Upper()->GetTotalSize().cy);
    Click(dlg, IDC_COLOR_LINE_MODE);
    EXPECT_EQ(1, ds.bLineMode);
    Click(dlg, IDC_COLOR_SEL_TOP_BOTTOM);
    EXPECT_EQ(4, ds.nSelect);

    Click(dlg, IDC_COLOR_RANDOM);
    const COLORREF bg = ds.clrBg, text = ds.clrText;
    for (COLORREF c : {bg, text})
        EXPECT_TRUE(GetRValue(c) < 255 && GetGValue(c) < 255 && GetBValue(c) < 255);
    EXPECT_EQ(bg, dlg->m_btnBg.GetColor());
    EXPECT_EQ(text, dlg->m_sldHorize.m_clrThumb);
    EXPECT_EQ(bg, dlg->m_sldHorize.m_clrFill);
    DisplaySettings.clrCBg = DisplaySettings.clrYinhao = RGB(255, 255, 255);
    Click(dlg, IDC_COLOR_RANDOM_CODE);
    EXPECT_NE(RGB(255, 255, 255), ds.clrCBg);
    EXPECT_NE(RGB(255, 255, 255), ds.clrYinhao);
    // Sixteen code colours, none with a full component; the pickers show them.
    for (const PickerCase& p : kPickers) {
        const COLORREF c = ds.*p.setting;
        if (p.id == IDC_COLOR_BG || p.id == IDC_COLOR_TEXT)
            continue;
        EXPECT_TRUE(GetRValue(c) < 255 && GetGValue(c) < 255 && GetBValue(c) < 255) << p.id;
        EXPECT_EQ(c, static_cast<CMFCColorButton*>(CWnd::FromHandlePermanent(Item(dlg, p.id)))->GetColor())
            << p.id;
    }
    EXPECT_EQ(bg, ds.clrBg);

    // Hidden by Escape, shown again by the toolbar with the controls as they were.
    ::SetFocus(dlg->m_sldVertical.m_hWnd);
    PostKeyToFocus(VK_ESCAPE);
    Pump();
    EXPECT_FALSE(dlg->IsWindowVisible());
    Command(ID_COLOR_SETTINGS);
    EXPECT_EQ(dlg, Upper()->m_pColorDlg);
    EXPECT_TRUE(dlg->IsWindowVisible());
    EXPECT_EQ(650, dlg->m_sldVerticalWidth.GetPos());
}

TEST_F(ColorDialogTest, SliderThumbSitsAtItsValueAndTheFillFollowsTheKeys)
{
    CCodeCorlorDlg* dlg = OpenDialog();
    ASSERT_NE(nullptr, dlg);
    CProSliderCtrl& slider = dlg->m_sldHorize;      // 0..13, at 3
    slider.UpdateWindow();
    // Where the thumb of a value lies along the channel.
    auto expectedLeft = [&](const CRect& channel, const CRect& thumb) {
        const int lo = slider.GetRangeMin(), hi = slider.GetRangeMax();
        return channel.left + (channel.Width() - thumb.Width()) * (slider.GetPos() - lo) / (hi - lo);
    };
    CRect channel, thumb;
    slider.GetChannelRect(&channel);
    slider.GetThumbRect(&thumb);
    EXPECT_EQ(3, slider.GetPos());
    EXPECT_NEAR(expectedLeft(channel, thumb), thumb.left, 1);

    // End, then Left twice: the page redraws the fill up to the thumb, and no
    // earlier thumb stays behind.
    ::SetFocus(slider.m_hWnd);
    for (UINT key : {0u, (UINT)VK_END, (UINT)VK_LEFT, (UINT)VK_LEFT}) {
        if (key)
            PostKeyToFocus(key);
        Pump();
        slider.UpdateWindow();      // painted after each key, as the user sees it
    }
    EXPECT_EQ(11, slider.GetPos());
    slider.GetThumbRect(&thumb);
    EXPECT_NEAR(expectedLeft(channel, thumb), thumb.left, 1);
    const ClientCapture shot(slider.m_hWnd);
    const int y = channel.CenterPoint().y;
    int fill = 0, n = 0;
    for (int x = channel.left + 12; x < thumb.left - 2; ++x, ++n)
        fill += GetRValue(shot.At(x, y)) < 128 ? 1 : 0;     // the page text colour, black
    EXPECT_EQ(n, fill);
    int beyond = 0;
    for (int x = thumb.right + 3; x < channel.right - 3; ++x)
        beyond += GetRValue(shot.At(x, y)) < 128 ? 1 : 0;
    EXPECT_EQ(0, beyond);
}

TEST_F(ColorDialogTest, TheToolbarBringsTheDialogBackFromBehindTheMainWindow)
{
    CCodeCorlorDlg* dlg = OpenDialog();
    ASSERT_NE(nullptr, dlg);
    // Which of the two windows lies above the other.
    auto dialogOnTop = [&]() {
        for (HWND w = ::GetTopWindow(nullptr); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
            if (w == dlg->m_hWnd)
                return true;
            if (w == frame->m_hWnd)
                return false;
        }
        return false;
    };
    EXPECT_TRUE(dialogOnTop());
    // A click on the page raises the main window over the open dialog.
    frame->SetForegroundWindow();
    frame->BringWindowToTop();
    Pump();
    ASSERT_FALSE(dialogOnTop());
    Command(ID_COLOR_SETTINGS);
    EXPECT_TRUE(dlg->IsWindowVisible());
    EXPECT_TRUE(dialogOnTop());
}

TEST_F(ColorDialogTest, PictureSetBoxesListTheFoldersAndChooseTheirFiles)
{
    const CString img = programFolder + L"control\\IMG\\";
    auto put = [](const CString& path) { ASSERT_TRUE(testfiles::PutFile(path, "x")); };
    CreateFolderTree(img + L"背景\\纸\\深处");
    put(img + L"背景\\纸\\1.JPG");
    put(img + L"背景\\纸\\2.bmp");
    CreateFolderTree(img + L"背景\\空");
    CreateFolderTree(img + L"竖栏\\双\\L");
    CreateFolderTree(img + L"竖栏\\双\\R");
    put(img + L"竖栏\\双\\L\\a.bmp");
    put(img + L"竖栏\\双\\R\\a.bmp");
    put(img + L"竖栏\\双\\top.bmp");
    const CString browsed = programFolder + L"mine";
    CreateFolderTree(browsed);
    for (const wchar_t* name : {L"x.JPG", L"y.jpg", L"t.txt", L"z.bmp"})
        put(browsed + L"\\" + name);
    // 行线 is missing altogether.
    DisplaySettings.VerticalSet.strFolder = img + L"竖栏\\双";

    CCodeCorlorDlg* dlg = OpenDialog();
    ASSERT_NE(nullptr, dlg);
    EXPECT_EQ((std::set<CString>{L"无", L"纸", L"空", L"自定义"}), Items(dlg, IDC_COLOR_BACKGROUND_SET));
    EXPECT_EQ((std::set<CString>{L"无", L"自定义"}), Items(dlg, IDC_COLOR_LINE_SET));
    // The current side-bar set is shown chosen.
    wchar_t text[32] = {};
    ::GetWindowTextW(Item(dlg, IDC_COLOR_VERTICAL_SET), text, 32);
    EXPECT_STREQ(L"双", text);

    const DisplaySettingsBlock& ds = DisplaySettings;
    Choose(dlg, IDC_COLOR_BACKGROUND_SET, L"纸");
    EXPECT_EQ((std::set<CString>{L"1.JPG", L"2.bmp"}),
              std::set<CString>(ds.BackgroundSet.vecFiles.begin(), ds.BackgroundSet.vecFiles.end()));
    EXPECT_EQ(2, ds.Count);
    EXPECT_EQ(img + L"背景\\纸\\" + ds.BackgroundSet.vecFiles[0], Upper()->m_strBackgroundPicture);
    Choose(dlg, IDC_COLOR_BACKGROUND_SET, L"空");
    EXPECT_EQ(0, ds.Count);
    EXPECT_TRUE(Upper()->m_strBackgroundPicture.IsEmpty());
    Choose(dlg, IDC_COLOR_BACKGROUND_SET, L"无");
    EXPECT_EQ(0, ds.Count);
    EXPECT_TRUE(ds.strBackgroundFile.IsEmpty());
    // A browsed folder keeps only names with a picture ending, as written.
    g_browsed = browsed;
    DisplaySettings.Index0 = 2;
    Choose(dlg, IDC_COLOR_BACKGROUND_SET, L"自定义");
    EXPECT_EQ((std::set<CString>{L"y.jpg", L"z.bmp"}),
              std::set<CString>(ds.BackgroundSet.vecFiles.begin(), ds.BackgroundSet.vecFiles.end()));
    EXPECT_EQ(0, ds.Index0);
    EXPECT_EQ(browsed, ds.BackgroundSet.strFolder);

    // Side bars come from the "L" folder; the choice draws new random bars.
    DisplaySettings.nVerticalMode = 2;
    Choose(dlg, IDC_COLOR_VERTICAL_SET, L"双");
    EXPECT_EQ(std::vector<CString>{L"a.bmp"}, ds.VerticalSet.vecFiles);
    EXPECT_EQ(-1, ds.nVerticalMode);
    // A line set that cannot be listed keeps its list.
    DisplaySettings.nSelect = 1;
    Choose(dlg, IDC_COLOR_LINE_SET, L"无");
    EXPECT_EQ(img + L"行线\\无", ds.LineSet.strFolder);
    EXPECT_EQ(-1, ds.nLineMode);
    EXPECT_EQ(0, AfxGetCaughtExceptionCount());
}
