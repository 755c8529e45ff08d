// The dialog base's picture (gradient or background picture, strips, side
// strips, transparent static texts) and the bitmap button's state pictures,
// read back from the screen.
#include <gtest/gtest.h>

#include "app/DisplaySettings.h"
#include "framework/App.h"
#include "controls/DrawDlg.h"
#include "controls/MyColorButton.h"
#include "controls/PictureCache.h"
#include "res/resource.h"
#include "tests/controls/GdiTestSurface.h"
#include "tests/support/Pixels.h"
#include "tests/support/TempFiles.h"

namespace {

const UINT IDD_LOOK = 910;
const int IDC_FIELD = 1001, IDC_LABEL = 1002, IDC_BITMAP_BUTTON = 1020;

class CLookDlg : public CDrawDlg {
public:
    CLookDlg() : CDrawDlg(IDD_LOOK, nullptr) {}
    CMyColorButton m_btn;
    int clicks = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDrawDlg::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_BITMAP_BUTTON, m_btn);
    }
    afx_msg void OnButton() { ++clicks; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CLookDlg, CDrawDlg)
    ON_BN_CLICKED(IDC_BITMAP_BUTTON, &CLookDlg::OnButton)
END_MESSAGE_MAP()

class DrawDlgTest : public ::testing::Test {
protected:
    DisplaySettingsBlock saved = DisplaySettings;
    testfiles::TempFolder folder{L"对话框"};
    CLookDlg dlg;
    int W = 0, H = 0;

    void SetUp() override
    {
        DisplaySettingsBlock& ds = DisplaySettings;
        ds.clrBg = RGB(180, 30, 40);
        ds.clrText = RGB(0, 0, 160);
        ds.strBackgroundFile.Empty();
        ds.LineSet = ImageSet();
        ds.VerticalSet = ImageSet();
        ds.bWholeTop = ds.bWholeBottom = ds.bWholeLeft = 0;
        ds.nWholeTB0 = ds.nWholeLR0 = 0;
    }
    void TearDown() override
    {
        dlg.DestroyWindow();
        DisplaySettings = saved;
        PumpMessages();
    }
    void Open()
    {
        ASSERT_TRUE(dlg.Create(IDD_LOOK));
        dlg.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        dlg.ShowWindow(SW_SHOW);
        dlg.UpdateWindow();
        PumpMessages(30);
        CRect rc;
        dlg.GetClientRect(&rc);
        W = rc.Width();
        H = rc.Height();
    }
    COLORREF At(int x, int y) { return PixelOfWindow(dlg.m_hWnd, x, y); }
    // A solid picture file in the temporary folder.
    CString Picture(const wchar_t* name, COLORREF c, int w = 40, int h = 20)
    {
        CString path = folder.Sub(name);
        EXPECT_TRUE(WriteBmp(path.str(), w, h, [c](int, int) { return c; }));
        return path;
    }
};

TEST_F(DrawDlgTest, GradientFromTheBackgroundToTheComplementOfTheText)
{
    DisplaySettings.strBackgroundFile = L"C:\\背景\\秋天.JPG";   // capitals: not a picture name
    Open();
    ASSERT_GT(W, 200);
    // The gradient runs over the client area and 10 rows above it.
    TestSurface ref(W, H + 10, 0);
    RECT full = {0, 0, W, H + 10};
    CPictureCache::Instance().FillGradient(ref.Dc(), full, RGB(180, 30, 40), RGB(255, 255, 95));
    for (int y : {0, 1, H / 2, H - 1})
        EXPECT_EQ(At(30, y), ref.At(30, y + 10)) << y;
    EXPECT_LE(ChannelDiff(At(30, 0), RGB(180, 30, 40)), 12);
    EXPECT_LE(ChannelDiff(At(30, H - 1), RGB(255, 255, 95)), 3);
}

// A picture that cannot be loaded leaves the gradient, as on the page, so
// the texts stay readable.
TEST_F(DrawDlgTest, APictureThatCannotBeLoadedLeavesTheGradient)
{
    DisplaySettings.strBackgroundFile = folder.Sub(L"不在.bmp");
    Open();
    ASSERT_GT(W, 200);
    TestSurface ref(W, H + 10, 0);
    RECT full = {0, 0, W, H + 10};
    CPictureCache::Instance().FillGradient(ref.Dc(), full, RGB(180, 30, 40), RGB(255, 255, 95));
    for (int y : {0, H / 2, H - 1})
        EXPECT_EQ(At(30, y), ref.At(30, y + 10)) << y;
}

TEST_F(DrawDlgTest, StaticTextIsTransparentInTheTextColour)
{
    Open();
    CRect rc;
    ::GetWindowRect(::GetDlgItem(dlg.m_hWnd, IDC_LABEL), &rc);
    dlg.ScreenToClient(&rc);
    ClientCapture shot(dlg.m_hWnd);
    int inText = 0, asBackground = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x) {
            COLORREF c = shot.At(x, y);
            inText += c == RGB(0, 0, 160);
            // Around the glyphs the dialog's picture shows: the same colour as
            // beside the label on that row.
            asBackground += c == shot.At(20, y);
        }
    EXPECT_GT(inText, 20);
    EXPECT_GT(asBackground, rc.Width() * rc.Height() / 4);
    EXPECT_NE(shot.At(rc.right - 1, rc.bottom - 1), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(DrawDlgTest, BackgroundPictureFillsTheDialog)
{
    DisplaySettings.strBackgroundFile = Picture(L"底图.bmp", RGB(20, 140, 60));
    Open();
    // Away from the edges, where the stretch blends the picture's border.
    EXPECT_EQ(At(15, 15), RGB(20, 140, 60));
    EXPECT_EQ(At(W - 15, H - 15), RGB(20, 140, 60));
}

TEST_F(DrawDlgTest, TopAndBottomStripsWithARandomIndexKept)
{
    DisplaySettingsBlock& ds = DisplaySettings;
    ds.LineSet.strFolder = folder.Path();
    const COLORREF colours[4] = {RGB(0, 0, 200), RGB(0, 150, 0), RGB(150, 0, 150), RGB(90, 90, 0)};
    for (int i = 0; i < 4; ++i) {
        CString name;
        name.Format(L"行线%d.bmp", i);
        Picture(name, colours[i]);
        ds.LineSet.vecFiles.push_back(name);
    }
    ds.bWholeTop = ds.bWholeBottom = 1;
    ds.nWholeTB0 = -1;
    Open();
    ASSERT_GE(ds.nWholeTB0, 0);
    ASSERT_LT(ds.nWholeTB0, 4);
    const COLORREF strip = colours[ds.nWholeTB0];
    EXPECT_EQ(At(30, 0), strip);
    EXPECT_EQ(At(30, 19), strip);
    EXPECT_NE(At(30, 20), strip);
    EXPECT_EQ(At(30, H - 20), strip);
    EXPECT_EQ(At(30, H - 1), strip);
    EXPECT_NE(At(30, H - 21), strip);
}

TEST_F(DrawDlgTest, SideStripsOnlyWhenSwitchedOnAndLeftPictureOnBothSides)
{
    DisplaySettingsBlock& ds = DisplaySettings;
    ds.VerticalSet.strFolder = folder.Path();
    ASSERT_TRUE(CreateDirectoryW(folder.Sub(L"L"), nullptr));
    ASSERT_TRUE(CreateDirectoryW(folder.Sub(L"R"), nullptr));
    for (const wchar_t* name : {L"甲.bmp", L"乙.bmp", L"丙.bmp"}) {
        ds.VerticalSet.vecFiles.push_back(name);
        Picture(CString(L"L\\") + name, RGB(0, 120, 200));
    }
    Picture(L"R\\乙.bmp", RGB(200, 0, 0));
    ds.nWholeLR0 = 7;
    ds.bWholeLeft = 1;
    Open();
    ASSERT_GE(ds.nWholeLR0, 0);
    ASSERT_LT(ds.nWholeLR0, 3);
    EXPECT_EQ(At(5, H / 2), RGB(0, 120, 200));
    EXPECT_EQ(At(50, H / 2), RGB(0, 120, 200));
    EXPECT_NE(At(62, H / 2), RGB(0, 120, 200));
    // Only "乙" has its own right picture.
    const COLORREF right = ds.nWholeLR0 == 1 ? RGB(200, 0, 0) : RGB(0, 120, 200);
    EXPECT_EQ(At(W - 50, H / 2), right);
    EXPECT_EQ(At(W - 5, H / 2), right);
    EXPECT_NE(At(W - 62, H / 2), right);
}

TEST_F(DrawDlgTest, SideStripsOffDrawNoStrips)
{
    DisplaySettingsBlock& ds = DisplaySettings;
    ds.VerticalSet.strFolder = folder.Path();
    ds.VerticalSet.vecFiles.push_back(L"竖.bmp");
    Picture(L"竖.bmp", RGB(0, 120, 200));
    ds.nWholeLR0 = 5;
    Open();
    EXPECT_NE(At(10, H / 2), RGB(0, 120, 200));
    EXPECT_EQ(ds.nWholeLR0, 5);
}

// Pixel (x, y) of one of the five state pictures.
COLORREF StatePixel(UINT id, int x, int y)
{
    HBITMAP bmp = ::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id));
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, bmp);
    COLORREF c = ::GetPixel(dc, x, y);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(bmp);
    return c;
}

TEST_F(DrawDlgTest, BitmapButtonFollowsFocusMouseAndPress)
{
    // The five pictures differ where the test looks.
    const int px = 1, py = 9;
    for (UINT a = IDB_BUTTON_NORMAL; a <= IDB_BUTTON_HOVER; ++a)
        for (UINT b = a + 1; b <= IDB_BUTTON_HOVER; ++b)
            EXPECT_NE(StatePixel(a, px, py), StatePixel(b, px, py)) << a << " " << b;

    Open();
    HWND button = dlg.m_btn.m_hWnd;
    ASSERT_NE(button, nullptr);
    ::SetCursorPos(600, 600);
    // At the pictures' own size, so pixels compare one to one.
    dlg.m_btn.SetWindowPos(nullptr, 0, 0, 73, 19, SWP_NOMOVE | SWP_NOZORDER);
    ::SetFocus(::GetDlgItem(dlg.m_hWnd, IDC_FIELD));
    dlg.m_btn.RedrawWindow();
    PumpMessages(20);
    EXPECT_EQ(PixelOfWindow(button, px, py), StatePixel(IDB_BUTTON_NORMAL, px, py));

    ::SetFocus(button);
    PumpMessages(20);
    EXPECT_EQ(PixelOfWindow(button, px, py), StatePixel(IDB_BUTTON_FOCUSED, px, py));

    // The pointer comes over the button: hover picture, even though it has the focus.
    CPoint centre(36, 9);
    dlg.m_btn.ClientToScreen(&centre);
    ::SetCursorPos(centre.x, centre.y);
    ::PostMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(36, 9));
    PumpMessages(150);
    EXPECT_TRUE(dlg.m_btn.IsHovering());
    EXPECT_EQ(PixelOfWindow(button, px, py), StatePixel(IDB_BUTTON_HOVER, px, py));

    ::PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(36, 9));
    PumpMessages(50);
    EXPECT_EQ(PixelOfWindow(button, px, py), StatePixel(IDB_BUTTON_PRESSED, px, py));
    ::PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(36, 9));
    PumpMessages(50);
    EXPECT_EQ(dlg.clicks, 1);

    // The pointer leaves: back to the focused picture.
    ::SetCursorPos(600, 600);
    ::PostMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(200, 200));
    PumpMessages(150);
    EXPECT_FALSE(dlg.m_btn.IsHovering());
    EXPECT_EQ(PixelOfWindow(button, px, py), StatePixel(IDB_BUTTON_FOCUSED, px, py));

    dlg.m_btn.EnableWindow(FALSE);
    ::SetFocus(::GetDlgItem(dlg.m_hWnd, IDC_FIELD));
    PumpMessages(20);
    EXPECT_EQ(PixelOfWindow(button, px, py), StatePixel(IDB_BUTTON_DISABLED, px, py));
}

} // namespace
