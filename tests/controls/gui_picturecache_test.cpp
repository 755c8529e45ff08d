// The picture cache against GDI+'s own drawing, on memory surfaces.
#include <gtest/gtest.h>

#include "controls/GDIPlus.h"
#include "controls/PictureCache.h"
#include "tests/controls/GdiTestSurface.h"

namespace {

const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kRed = RGB(220, 20, 20);
const COLORREF kBlue = RGB(20, 20, 220);

// Four flat quadrants: red, blue / dark grey, light grey.
COLORREF Quadrants(int x, int y, int w, int h)
{
    bool right = x >= w / 2, bottom = y >= h / 2;
    if (!bottom)
        return right ? kBlue : kRed;
    return right ? RGB(230, 230, 230) : RGB(60, 60, 60);
}

// A picture with light parts just above and below each key, on a dark frame.
COLORREF KeyBands(int x, int y)
{
    static const COLORREF bands[] = {
        RGB(30, 30, 30), RGB(255, 255, 255), RGB(200, 200, 200), RGB(199, 199, 199),
        RGB(220, 220, 220), RGB(219, 219, 219), RGB(250, 190, 250), RGB(120, 60, 10),
    };
    return bands[(x / 4) % 8];
}

class PictureCacheTest : public testing::Test {
protected:
    std::wstring Quads(const wchar_t* name, int w, int h)
    {
        std::wstring path = m_folder.File(name);
        EXPECT_TRUE(WriteBmp(path, w, h, [w, h](int x, int y) { return Quadrants(x, y, w, h); }));
        return path;
    }
    std::wstring Flat(const wchar_t* name, COLORREF c)
    {
        std::wstring path = m_folder.File(name);
        EXPECT_TRUE(WriteBmp(path, 8, 8, [c](int, int) { return c; }));
        return path;
    }

    CGDIPlus m_gdiplus;
    TempFolder m_folder;
    CPictureCache m_cache;
};

// Pixels that differ by more than tol in any channel. The one-pixel frame of
// the drawn rectangle is left out: GDI+ onto a DC under Wine leaves the
// rectangle's first row unpainted, which the cache's bitmaps do paint.
int CompareSurfaces(const TestSurface& a, const TestSurface& b, int tol, const RECT& drawn,
                    int* worst)
{
    int over = 0;
    *worst = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            bool inside = x >= drawn.left && x < drawn.right && y >= drawn.top && y < drawn.bottom;
            bool frame = inside && (x == drawn.left || x == drawn.right - 1 || y == drawn.top
                                    || y == drawn.bottom - 1);
            if (frame)
                continue;
            int d = ChannelDiff(a.At(x, y), b.At(x, y));
            *worst = std::max(*worst, d);
            if (d > tol)
                ++over;
        }
    return over;
}

RECT Rect(int x, int y, int w, int h)
{
    RECT rc = { x, y, x + w, y + h };
    return rc;
}

TEST_F(PictureCacheTest, StretchedFillsTheRectangleWithThePicture)
{
    std::wstring path = Quads(L"quads.bmp", 16, 8);
    TestSurface s(120, 90, kGreen);
    ASSERT_TRUE(m_cache.DrawStretched(s.Dc(), path.c_str(), 10, 5, 100, 80));
    EXPECT_LE(ChannelDiff(kRed, s.At(30, 20)), 2);
    EXPECT_LE(ChannelDiff(kBlue, s.At(90, 20)), 2);
    EXPECT_LE(ChannelDiff(RGB(60, 60, 60), s.At(30, 70)), 2);
    EXPECT_LE(ChannelDiff(RGB(230, 230, 230), s.At(90, 70)), 2);
    EXPECT_EQ(kGreen, s.At(9, 40));
    EXPECT_EQ(kGreen, s.At(110, 40));
    EXPECT_EQ(kGreen, s.At(50, 4));
    EXPECT_EQ(kGreen, s.At(50, 85));

    // Drawn again from the ready bitmap: the same pixels as GDI+ straight onto the DC.
    TestSurface cached(120, 90, kGreen), reference(120, 90, kGreen);
    ASSERT_TRUE(m_cache.DrawStretched(cached.Dc(), path.c_str(), 10, 5, 100, 80));
    ASSERT_TRUE(ReferenceDraw(reference.Dc(), path, 10, 5, 100, 80, 0, false));
    int worst = 0;
    EXPECT_EQ(0, CompareSurfaces(cached, reference, 2, Rect(10, 5, 100, 80), &worst)) << "worst " << worst;
}

TEST_F(PictureCacheTest, KeyedLeavesLightPixelsAndPaintsDarkOnes)
{
    std::wstring path = m_folder.File(L"bands.bmp");
    ASSERT_TRUE(WriteBmp(path, 32, 12, [](int x, int y) { return KeyBands(x, y); }));
    // One picture pixel becomes four surface pixels: band centres are unblended.
    TestSurface s(140, 60, kGreen);
    ASSERT_TRUE(m_cache.DrawKeyed(s.Dc(), path.c_str(), 4, 6, 128, 48, 0xC8C8C8));
    int y = 30;
    auto centre = [](int band) { return 4 + band * 16 + 8; };
    EXPECT_LE(ChannelDiff(RGB(30, 30, 30), s.At(centre(0), y)), 2);
    EXPECT_EQ(kGreen, s.At(centre(1), y));     // white
    EXPECT_EQ(kGreen, s.At(centre(2), y));     // exactly the key
    EXPECT_LE(ChannelDiff(RGB(199, 199, 199), s.At(centre(3), y)), 2);
    EXPECT_EQ(kGreen, s.At(centre(4), y));
    EXPECT_EQ(kGreen, s.At(centre(5), y));
    EXPECT_LE(ChannelDiff(RGB(250, 190, 250), s.At(centre(6), y)), 2);  // green below the key
    EXPECT_LE(ChannelDiff(RGB(120, 60, 10), s.At(centre(7), y)), 2);

    // The side-picture key keeps 219 grey and drops 220.
    TestSurface side(140, 60, kGreen);
    ASSERT_TRUE(m_cache.DrawKeyed(side.Dc(), path.c_str(), 4, 6, 128, 48, 0xDCDCDC));
    EXPECT_LE(ChannelDiff(RGB(200, 200, 200), side.At(centre(2), y)), 2);
    EXPECT_EQ(kGreen, side.At(centre(4), y));
    EXPECT_LE(ChannelDiff(RGB(219, 219, 219), side.At(centre(5), y)), 2);
}

TEST_F(PictureCacheTest, KeyedMatchesGdiplusOwnKeyedDrawing)
{
    std::wstring path = m_folder.File(L"bands.bmp");
    ASSERT_TRUE(WriteBmp(path, 32, 12, [](int x, int y) { return KeyBands(x + y, y); }));
    struct Place { int x, y, w, h; } places[] = {
        { 3, 2, 150, 90 },     // enlarged
        { 10, 10, 17, 7 },     // shrunk
        { -15, -7, 100, 40 },  // over the top left corner
        { 120, 70, 90, 50 },   // past the bottom right corner
    };
    for (const Place& p : places) {
        TestSurface mine(160, 100, kGreen), reference(160, 100, kGreen);
        ASSERT_TRUE(m_cache.DrawKeyed(mine.Dc(), path.c_str(), p.x, p.y, p.w, p.h, 0xC8C8C8));
        // Twice: the second paint comes from the ready bitmap over the first.
        ASSERT_TRUE(m_cache.DrawKeyed(mine.Dc(), path.c_str(), p.x, p.y, p.w, p.h, 0xC8C8C8));
        ASSERT_TRUE(ReferenceDraw(reference.Dc(), path, p.x, p.y, p.w, p.h, 0xC8C8C8, true));
        ReferenceDraw(reference.Dc(), path, p.x, p.y, p.w, p.h, 0xC8C8C8, true);
        int worst = 0;
        EXPECT_EQ(0, CompareSurfaces(mine, reference, 3, Rect(p.x, p.y, p.w, p.h), &worst))
            << "at " << p.x << "," << p.y << " worst " << worst;
    }
}

TEST_F(PictureCacheTest, MissingOrBrokenPictureDrawsNothing)
{
    TestSurface s(40, 40, kGreen);
    std::wstring missing = m_folder.File(L"missing.bmp");
    EXPECT_FALSE(m_cache.DrawStretched(s.Dc(), missing.c_str(), 0, 0, 40, 40));
    EXPECT_FALSE(m_cache.DrawKeyed(s.Dc(), missing.c_str(), 0, 0, 40, 40, 0xC8C8C8));
    EXPECT_FALSE(m_cache.DrawStretched(s.Dc(), L"", 0, 0, 40, 40));
    int w = -1, h = -1;
    EXPECT_FALSE(m_cache.GetPictureSize(missing.c_str(), w, h));
    EXPECT_EQ(0, w);
    EXPECT_EQ(0, h);

    std::wstring broken = m_folder.File(L"broken.jpg");
    HANDLE f = CreateFileW(broken.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    WriteFile(f, "not a picture", 13, &written, NULL);
    CloseHandle(f);
    EXPECT_FALSE(m_cache.DrawStretched(s.Dc(), broken.c_str(), 0, 0, 40, 40));
    EXPECT_FALSE(m_cache.DrawKeyed(s.Dc(), broken.c_str(), 0, 0, 40, 40, 0xC8C8C8));
    for (int y = 0; y < 40; y += 3)
        for (int x = 0; x < 40; x += 3)
            ASSERT_EQ(kGreen, s.At(x, y));

    // Once the file holds a picture (and so has a new time) it draws.
    ASSERT_TRUE(WriteBmp(broken, 8, 8, [](int, int) { return kBlue; }));
    ASSERT_TRUE(ShiftFileTime(broken, 5));
    EXPECT_TRUE(m_cache.DrawStretched(s.Dc(), broken.c_str(), 0, 0, 40, 40));
    EXPECT_EQ(kBlue, s.At(20, 20));
}

TEST_F(PictureCacheTest, ChangedFileIsReadAgain)
{
    std::wstring path = Flat(L"flat.bmp", kRed);
    TestSurface s(30, 30, kGreen);
    ASSERT_TRUE(m_cache.DrawStretched(s.Dc(), path.c_str(), 0, 0, 30, 30));
    ASSERT_TRUE(m_cache.DrawKeyed(s.Dc(), path.c_str(), 0, 0, 30, 30, 0xC8C8C8));
    EXPECT_EQ(kRed, s.At(15, 15));

    // Same size, same dimensions, only the time tells it changed.
    ASSERT_TRUE(WriteBmp(path, 8, 8, [](int, int) { return kBlue; }));
    ASSERT_TRUE(ShiftFileTime(path, 10));
    ASSERT_TRUE(m_cache.DrawStretched(s.Dc(), path.c_str(), 0, 0, 30, 30));
    EXPECT_EQ(kBlue, s.At(15, 15));
    s.Fill(kGreen);
    ASSERT_TRUE(m_cache.DrawKeyed(s.Dc(), path.c_str(), 0, 0, 30, 30, 0xC8C8C8));
    EXPECT_EQ(kBlue, s.At(15, 15));
}

TEST_F(PictureCacheTest, PictureSizeAndEmptyRectangles)
{
    std::wstring path = Quads(L"size.bmp", 37, 21);
    int w = 0, h = 0;
    EXPECT_TRUE(m_cache.GetPictureSize(path.c_str(), w, h));
    EXPECT_EQ(37, w);
    EXPECT_EQ(21, h);

    TestSurface s(30, 30, kGreen);
    EXPECT_TRUE(m_cache.DrawStretched(s.Dc(), path.c_str(), 5, 5, 0, 20));
    EXPECT_TRUE(m_cache.DrawKeyed(s.Dc(), path.c_str(), 5, 5, 20, -3, 0xC8C8C8));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(kGreen, s.At(x, y));
}

TEST_F(PictureCacheTest, GradientMatchesTheGdiplusFill)
{
    struct Case { RECT rc; COLORREF from, to; } cases[] = {
        { { 3, 4, 203, 154 }, RGB(250, 240, 200), RGB(20, 60, 140) },
        { { 0, 0, 64, 1 }, RGB(0, 0, 0), RGB(255, 255, 255) },
        { { -10, -20, 90, 300 }, RGB(10, 200, 30), RGB(200, 10, 230) },
    };
    for (const Case& c : cases) {
        TestSurface mine(210, 160, kGreen), again(210, 160, kGreen), reference(210, 160, kGreen);
        m_cache.FillGradient(mine.Dc(), c.rc, c.from, c.to);
        m_cache.FillGradient(again.Dc(), c.rc, c.from | 0x5A000000u, c.to);
        m_gdiplus.DrawGradientRect(reference.Dc(), c.rc, c.from, c.to, 1, TRUE);
        int worst = 0;
        RECT none = { 0, 0, 0, 0 };
        EXPECT_EQ(0, CompareSurfaces(mine, reference, 0, none, &worst)) << "worst " << worst;
        EXPECT_EQ(0, CompareSurfaces(again, reference, 0, none, &worst)) << "worst " << worst;
    }
    TestSurface s(20, 20, kGreen);
    RECT empty = { 5, 5, 15, 5 };
    m_cache.FillGradient(s.Dc(), empty, 0, RGB(255, 255, 255));
    EXPECT_EQ(kGreen, s.At(10, 5));
}

TEST_F(PictureCacheTest, SizeIsBoundedAndClearEmpties)
{
    std::wstring path = Quads(L"lru.bmp", 16, 16);
    TestSurface s(100, 100, kGreen);
    m_cache.SetLimits(3, 64u * 1024 * 1024);
    for (int size = 10; size < 60; size += 10)
        ASSERT_TRUE(m_cache.DrawKeyed(s.Dc(), path.c_str(), 0, 0, size, size, 0xC8C8C8));
    EXPECT_EQ(3u, m_cache.GetEntryCount());

    // A byte bound of two 80 × 80 bitmaps keeps no more than that.
    m_cache.SetLimits(64, 2 * 80 * 80 * 4);
    for (int i = 0; i < 4; ++i) {
        RECT rc = { 0, 0, 80, 80 };
        m_cache.FillGradient(s.Dc(), rc, RGB(i * 40, 0, 0), RGB(0, 0, 255));
    }
    EXPECT_LE(m_cache.GetByteCount(), 2u * 80 * 80 * 4);
    EXPECT_GE(m_cache.GetEntryCount(), 1u);

    // Too large for the bound: drawn straight, not kept.
    m_cache.Clear();
    m_cache.SetLimits(64, 1000);
    s.Fill(kGreen);
    ASSERT_TRUE(m_cache.DrawKeyed(s.Dc(), path.c_str(), 0, 0, 100, 100, 0xC8C8C8));
    EXPECT_LE(ChannelDiff(kRed, s.At(20, 20)), 2);
    EXPECT_EQ(kGreen, s.At(80, 80));  // light grey quadrant keyed out
    RECT whole = { 0, 0, 100, 100 };
    m_cache.FillGradient(s.Dc(), whole, RGB(10, 10, 10), RGB(10, 10, 10));
    EXPECT_EQ(RGB(10, 10, 10), s.At(50, 50));
    EXPECT_EQ(1u, m_cache.GetEntryCount());  // the decoded picture alone

    // Whatever went out is made again on demand.
    m_cache.SetLimits(64, 64u * 1024 * 1024);
    s.Fill(kGreen);
    ASSERT_TRUE(m_cache.DrawStretched(s.Dc(), path.c_str(), 0, 0, 100, 100));
    EXPECT_LE(ChannelDiff(kRed, s.At(20, 20)), 2);
    m_cache.Clear();
    EXPECT_EQ(0u, m_cache.GetEntryCount());
    EXPECT_EQ(0u, m_cache.GetByteCount());
    s.Fill(kGreen);
    ASSERT_TRUE(m_cache.DrawStretched(s.Dc(), path.c_str(), 0, 0, 100, 100));
    EXPECT_LE(ChannelDiff(kBlue, s.At(80, 20)), 2);
}

}  // namespace
