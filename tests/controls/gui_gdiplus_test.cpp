// The GDI+ guard and its gradient fill, on memory surfaces.
#include <gtest/gtest.h>

#include <memory>

#include "controls/GDIPlus.h"
#include "tests/controls/GdiTestSurface.h"

namespace {

const COLORREF kMagenta = RGB(255, 0, 255);

bool Untouched(const TestSurface& s, const RECT& inside)
{
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            POINT pt = { x, y };
            if (!PtInRect(&inside, pt) && s.At(x, y) != kMagenta)
                return false;
        }
    return true;
}

TEST(GradientRect, TopToBottomStartsOneStepTowardsTheEnd)
{
    CGDIPlus gdiplus;
    TestSurface s(40, 80, kMagenta);
    RECT rc = { 5, 10, 35, 60 };
    gdiplus.DrawGradientRect(s.Dc(), rc, RGB(0, 0, 0), RGB(255, 255, 255), 1, TRUE);

    // The first row is already past black, the last not yet white.
    COLORREF first = s.At(10, rc.top);
    COLORREF last = s.At(10, rc.bottom - 1);
    EXPECT_GT(GetRValue(first), 0);
    EXPECT_LT(GetRValue(first), 128);
    EXPECT_GT(GetRValue(last), 200);
    EXPECT_LT(GetRValue(last), 255);
    // Grey all the way, brighter row by row, the same across each row.
    for (int y = rc.top; y < rc.bottom; ++y) {
        COLORREF c = s.At(rc.left, y);
        EXPECT_EQ(GetRValue(c), GetGValue(c));
        EXPECT_EQ(GetRValue(c), GetBValue(c));
        EXPECT_EQ(c, s.At(rc.right - 1, y));
        if (y > rc.top) {
            EXPECT_GT(GetRValue(c), GetRValue(s.At(rc.left, y - 1))) << "row " << y;
        }
    }
    EXPECT_TRUE(Untouched(s, rc));
}

TEST(GradientRect, LeftToRightForAnyOtherDirection)
{
    CGDIPlus gdiplus;
    TestSurface s(80, 30, kMagenta);
    RECT rc = { 10, 5, 60, 25 };
    gdiplus.DrawGradientRect(s.Dc(), rc, RGB(255, 0, 0), RGB(0, 0, 255), 0, TRUE);
    EXPECT_LT(GetRValue(s.At(rc.left, 10)), 255);
    EXPECT_GT(GetBValue(s.At(rc.left, 10)), 0);
    EXPECT_GT(GetRValue(s.At(rc.right - 1, 10)), 0);
    for (int x = rc.left + 1; x < rc.right; ++x) {
        EXPECT_LT(GetRValue(s.At(x, 10)), GetRValue(s.At(x - 1, 10))) << "column " << x;
        EXPECT_EQ(s.At(x, rc.top), s.At(x, rc.bottom - 1));
    }
    EXPECT_TRUE(Untouched(s, rc));
}

TEST(GradientRect, EqualColoursGiveAFlatFill)
{
    CGDIPlus gdiplus;
    TestSurface s(30, 30, kMagenta);
    RECT rc = { 2, 3, 28, 27 };
    gdiplus.DrawGradientRect(s.Dc(), rc, RGB(12, 140, 200), RGB(12, 140, 200), 1, TRUE);
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            ASSERT_EQ(RGB(12, 140, 200), s.At(x, y)) << x << "," << y;
    EXPECT_TRUE(Untouched(s, rc));
}

TEST(GradientRect, EmptyRectanglesPaintNothing)
{
    CGDIPlus gdiplus;
    TestSurface s(30, 30, kMagenta);
    RECT none = { 0, 0, 0, 0 };
    RECT flat = { 2, 10, 28, 10 };
    RECT thin = { 10, 2, 10, 28 };
    RECT upside = { 2, 20, 28, 10 };
    gdiplus.DrawGradientRect(s.Dc(), flat, 0, RGB(255, 255, 255), 1, TRUE);
    gdiplus.DrawGradientRect(s.Dc(), thin, 0, RGB(255, 255, 255), 1, TRUE);
    gdiplus.DrawGradientRect(s.Dc(), thin, 0, RGB(255, 255, 255), 0, FALSE);
    gdiplus.DrawGradientRect(s.Dc(), upside, 0, RGB(255, 255, 255), 1, TRUE);
    EXPECT_TRUE(Untouched(s, none));
}

TEST(GradientRect, TopByteOfAColourIsIgnored)
{
    CGDIPlus gdiplus;
    TestSurface plain(20, 40, kMagenta);
    TestSurface flagged(20, 40, kMagenta);
    RECT rc = { 0, 0, 20, 40 };
    gdiplus.DrawGradientRect(plain.Dc(), rc, RGB(200, 30, 0), RGB(0, 90, 250), 1, TRUE);
    gdiplus.DrawGradientRect(flagged.Dc(), rc, 0x7F000000u | RGB(200, 30, 0),
                             0xFF000000u | RGB(0, 90, 250), 1, TRUE);
    for (int y = 0; y < 40; ++y)
        ASSERT_EQ(plain.At(5, y), flagged.At(5, y)) << "row " << y;
    EXPECT_GT(GetRValue(plain.At(5, 0)), 150);
    EXPECT_GT(GetBValue(plain.At(5, 39)), 200);
}

TEST(GradientRect, ArgbConversionSwapsRedAndBlue)
{
    EXPECT_EQ(0xFF112233u, CGDIPlus::ToArgb(RGB(0x11, 0x22, 0x33)));
    EXPECT_EQ(0xFF112233u, CGDIPlus::ToArgb(0xAB000000u | RGB(0x11, 0x22, 0x33)));
}

TEST(GdiplusGuard, DestroyingOneGuardLeavesTheOtherUsable)
{
    auto first = std::make_unique<CGDIPlus>();
    CGDIPlus second;
    EXPECT_TRUE(first->IsStarted());
    EXPECT_TRUE(second.IsStarted());
    first.reset();

    TestSurface s(20, 20, kMagenta);
    RECT rc = { 0, 0, 20, 20 };
    EXPECT_EQ(Gdiplus::Ok,
              second.DrawGradientRect(s.Dc(), rc, RGB(0, 128, 0), RGB(0, 128, 0), 1, TRUE));
    EXPECT_EQ(RGB(0, 128, 0), s.At(10, 10));
}

}  // namespace
