// The custom slider: its rim-to-centre rings on a memory surface, and the
// thumb colours under the mouse, pressed and after a page-colour change.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "GdiTestSurface.h"
#include "app/DisplaySettings.h"
#include "controls/ProSliderCtrl.h"
#include "framework/App.h"
#include "framework/Dc.h"
#include "tests/support/Pixels.h"

namespace {

class SliderRings : public testing::Test {
protected:
    TestSurface surface{40, 40, RGB(0, 0, 0)};
    CProSliderCtrl slider;      // no window: horizontal
    CDC dc;
    void SetUp() override { dc.Attach(surface.Dc()); }
    void TearDown() override { dc.Detach(); }
    COLORREF At(int x, int y) { return PixelOfDC(surface.Dc(), x, y); }
};

} // namespace

TEST_F(SliderRings, EachRingIsTenLighterUntilTheComponentsSaturate)
{
    slider.DrawRoundGradient(&dc, CRect(0, 0, 20, 20), RGB(230, 240, 250), TRUE);
    // The rim, then the rings inwards (the middle of each ring's top edge).
    EXPECT_EQ(RGB(230, 240, 250), At(10, 0));
    EXPECT_EQ(RGB(240, 250, 250), At(10, 1));
    EXPECT_EQ(RGB(250, 250, 250), At(10, 2));   // 250 stays 250
    EXPECT_EQ(RGB(250, 250, 250), At(10, 5));
    // Only the first ring shrinks on every side; the rest only at top and
    // bottom, so the innermost one reaches the second column.
    EXPECT_EQ(RGB(230, 240, 250), At(0, 10));
    EXPECT_EQ(RGB(250, 250, 250), At(1, 10));
    EXPECT_EQ(RGB(250, 250, 250), At(18, 10));

    // A rectangle one pixel high has one ring only.
    surface.Fill(RGB(0, 0, 0));
    slider.DrawRoundGradient(&dc, CRect(0, 30, 30, 31), RGB(100, 0, 0), TRUE);
    EXPECT_EQ(RGB(100, 0, 0), At(15, 30));
    EXPECT_EQ(RGB(0, 0, 0), At(15, 31));

    // The first ring of the channel fill lightens by the step, capped at 255.
    surface.Fill(RGB(0, 0, 0));
    slider.DrawRoundGradientFirst(&dc, CRect(0, 0, 30, 10), RGB(240, 100, 0), TRUE, FALSE, 20);
    EXPECT_EQ(RGB(240, 100, 0), At(15, 0));
    EXPECT_EQ(RGB(255, 120, 20), At(15, 1));
    EXPECT_EQ(RGB(255, 130, 30), At(15, 2));
}

TEST(SliderWindow, ThumbLightsUnderTheMouseAndTakesThePageColours)
{
    DisplaySettingsBlock saved = DisplaySettings;
    DisplaySettings.clrBg = RGB(20, 60, 100);
    DisplaySettings.clrText = RGB(200, 180, 40);
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxDefaultWndClass(), L"slider", WS_POPUP | WS_VISIBLE, 0, 0,
                                300, 80, nullptr, nullptr));
    CProSliderCtrl slider;
    EXPECT_EQ(DisplaySettings.clrBg, slider.m_clrChannel);
    EXPECT_EQ(DisplaySettings.clrText, slider.m_clrFill);
    ASSERT_TRUE(slider.Create(WS_CHILD | WS_VISIBLE | TBS_HORZ, CRect(10, 10, 290, 50), &parent, 1056));
    slider.SetRange(0, 100, TRUE);
    slider.SetPos(50);
    slider.RedrawWindow();
    PumpMessages(20);
    CRect thumb;
    slider.GetThumbRect(&thumb);
    const CPoint mid = thumb.CenterPoint();
    slider.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(mid.x, mid.y));
    EXPECT_EQ((COLORREF)0x0066FF, slider.m_clrThumb);
    slider.UpdateWindow();
    EXPECT_EQ((COLORREF)0x0066FF, PixelOfWindow(slider.m_hWnd, thumb.left, mid.y));
    slider.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ((COLORREF)0x00CC00, slider.m_clrThumb);
    // The channel is filled up to the thumb in the fill colour, the rest is the channel's.
    slider.UpdateWindow();
    CRect client;
    slider.GetClientRect(&client);
    EXPECT_EQ(DisplaySettings.clrText, PixelOfWindow(slider.m_hWnd, 9, mid.y));
    // A press on the channel pages the thumb along but does not press it.
    const CPoint channel(client.right - 12, mid.y);
    slider.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(channel.x, channel.y));
    PumpMessages(20);
    slider.RedrawWindow();
    slider.GetThumbRect(&thumb);
    EXPECT_NE((COLORREF)0xCC6699, PixelOfWindow(slider.m_hWnd, thumb.left, mid.y));
    slider.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(channel.x, channel.y));
    PumpMessages(20);
    // Held down on the thumb it is drawn pressed (under Wine only the capture says so).
    slider.GetThumbRect(&thumb);
    const CPoint onThumb = thumb.CenterPoint();
    slider.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(onThumb.x, onThumb.y));
    slider.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(onThumb.x, onThumb.y));
    PumpMessages(20);
    slider.RedrawWindow();
    EXPECT_EQ((COLORREF)0xCC6699, PixelOfWindow(slider.m_hWnd, thumb.left, mid.y));
    slider.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(onThumb.x, onThumb.y));
    PumpMessages(20);
    // A random page colour: thumb in the text colour, fill in the background colour.
    slider.UpdateColors();
    EXPECT_EQ(DisplaySettings.clrText, slider.m_clrThumb);
    EXPECT_EQ(DisplaySettings.clrBg, slider.m_clrFill);
    // The trackbar's timer blinks thumb and channel.
    slider.SendMessage(WM_TIMER, 77, 0);
    EXPECT_EQ((COLORREF)0xCCCCCC, slider.m_clrChannel);
    slider.SendMessage(WM_TIMER, 77, 0);
    EXPECT_EQ((COLORREF)0xCC6666, slider.m_clrThumb);
    slider.DestroyWindow();
    parent.DestroyWindow();
    DisplaySettings = saved;
}
