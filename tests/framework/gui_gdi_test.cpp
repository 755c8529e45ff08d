// Device contexts, GDI objects and geometry, drawn into memory DCs.
#include <gtest/gtest.h>

#include "framework/Dc.h"
#include "framework/Gdi.h"
#include "framework/Geometry.h"
#include "framework/Wnd.h"
#include "tests/support/Pixels.h"

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);

// A 32-bit memory surface of the given size, white.
struct Surface {
    CDC dc;
    CBitmap bmp;
    CBitmap* old = nullptr;
    Surface(int w, int h)
    {
        CClientDC screen(nullptr);
        EXPECT_TRUE(dc.CreateCompatibleDC(&screen));
        EXPECT_TRUE(bmp.CreateCompatibleBitmap(&screen, w, h));
        old = dc.SelectObject(&bmp);
        dc.FillSolidRect(0, 0, w, h, kWhite);
    }
    ~Surface() { dc.SelectObject(old); }
    COLORREF At(int x, int y) { return PixelOfDC(dc, x, y); }
};

TEST(Geometry, RectanglesBehaveLikeTheirWin32Counterparts)
{
    CRect r(10, 20, 110, 70);
    EXPECT_EQ(r.Width(), 100);
    EXPECT_EQ(r.Height(), 50);
    EXPECT_EQ(r.Size(), CSize(100, 50));
    EXPECT_EQ(r.CenterPoint(), CPoint(60, 45));
    EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(r.PtInRect(CPoint(110, 20)));   // right and bottom edges are outside
    r.TopLeft() = CPoint(0, 0);
    EXPECT_EQ(r, CRect(0, 0, 110, 70));
    r.OffsetRect(5, -5);
    EXPECT_EQ(r, CRect(5, -5, 115, 65));
    r.InflateRect(1, 2);
    EXPECT_EQ(r, CRect(4, -7, 116, 67));
    r.DeflateRect(1, 2, 3, 4);
    EXPECT_EQ(r, CRect(5, -5, 113, 63));

    CRect a(0, 0, 10, 10), b(5, 5, 20, 20), c(30, 30, 40, 40);
    EXPECT_EQ(a & b, CRect(5, 5, 10, 10));
    EXPECT_EQ(a | b, CRect(0, 0, 20, 20));
    CRect none;
    EXPECT_FALSE(none.IntersectRect(&a, &c));
    EXPECT_TRUE(none.IsRectEmpty());
    EXPECT_TRUE(CRect(3, 3, 3, 9).IsRectEmpty());
    EXPECT_FALSE(CRect(3, 3, 3, 9).IsRectNull());
    CRect flipped(10, 10, 0, 0);
    EXPECT_TRUE(flipped.IsRectEmpty());
    flipped.NormalizeRect();
    EXPECT_EQ(flipped, CRect(0, 0, 10, 10));
    CRect moved = a + CPoint(3, 4);
    EXPECT_EQ(moved, CRect(3, 4, 13, 14));
    moved -= CSize(3, 4);
    EXPECT_EQ(moved, a);
    EXPECT_NE(moved, b);

    // Negative coordinates survive the packing of mouse messages.
    CPoint p((LPARAM)MAKELPARAM(-3, -400));
    EXPECT_EQ(p, CPoint(-3, -400));
    EXPECT_EQ(CPoint(5, 7) - CPoint(2, 3), CSize(3, 4));
    LPCRECT asApi = a;
    EXPECT_EQ(asApi->right, 10);
}

TEST(Gdi, DrawingIntoAMemoryDCAndReadingItBack)
{
    Surface s(100, 80);
    s.dc.FillSolidRect(CRect(10, 10, 20, 20), kRed);
    EXPECT_EQ(s.At(10, 10), kRed);
    EXPECT_EQ(s.At(19, 19), kRed);
    EXPECT_EQ(s.At(20, 20), kWhite);
    EXPECT_EQ(s.dc.GetBkColor(), kRed);   // left behind by the fill

    // Pens and brushes: selecting returns the previous object.
    CPen pen(PS_SOLID, 1, kBlue);
    CBrush brush(kGreen);
    CPen* oldPen = s.dc.SelectObject(&pen);
    CBrush* oldBrush = s.dc.SelectObject(&brush);
    ASSERT_NE(oldPen, nullptr);
    EXPECT_NE(oldPen->m_hObject, pen.m_hObject);
    s.dc.Rectangle(30, 10, 60, 40);
    EXPECT_EQ(s.At(30, 10), kBlue);       // outline
    EXPECT_EQ(s.At(45, 25), kGreen);      // inside
    CPen* back = s.dc.SelectObject(oldPen);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->m_hObject, pen.m_hObject);
    s.dc.SelectObject(oldBrush);
    EXPECT_EQ(s.dc.GetCurrentPen()->m_hObject, oldPen->m_hObject);

    s.dc.MoveTo(0, 70);
    s.dc.SelectStockObject(BLACK_PEN);
    s.dc.LineTo(50, 70);
    EXPECT_EQ(s.At(25, 70), kBlack);
    EXPECT_EQ(s.dc.GetCurrentPosition(), CPoint(50, 70));

    s.dc.Draw3dRect(CRect(70, 10, 90, 30), kRed, kBlue);
    EXPECT_EQ(s.At(70, 10), kRed);
    EXPECT_EQ(s.At(89, 29), kBlue);
    EXPECT_EQ(s.At(80, 20), kWhite);

    // A viewport origin moves drawing and the conversions alike.
    s.dc.SetViewportOrg(-100, -50);
    EXPECT_EQ(s.dc.GetViewportOrg(), CPoint(-100, -50));
    s.dc.SetPixel(105, 55, kBlue);
    s.dc.SetViewportOrg(0, 0);
    EXPECT_EQ(s.At(5, 5), kBlue);
    s.dc.SetViewportOrg(-100, -50);
    CPoint pt(105, 55);
    s.dc.LPtoDP(&pt);
    EXPECT_EQ(pt, CPoint(5, 5));
    CSize size(30, 40);
    s.dc.LPtoDP(&size);
    EXPECT_EQ(size, CSize(30, 40));   // sizes are not moved by the origin
    s.dc.DPtoLP(&pt);
    EXPECT_EQ(pt, CPoint(105, 55));
}

TEST(Gdi, BlitsClippingAndGradients)
{
    Surface src(40, 40), dst(80, 80);
    src.dc.FillSolidRect(0, 0, 20, 40, kRed);
    src.dc.FillSolidRect(20, 0, 20, 40, kBlue);
    EXPECT_TRUE(dst.dc.BitBlt(10, 10, 40, 40, &src.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(dst.At(15, 15), kRed);
    EXPECT_EQ(dst.At(45, 15), kBlue);
    EXPECT_EQ(dst.At(55, 15), kWhite);
    EXPECT_TRUE(dst.dc.StretchBlt(0, 60, 80, 10, &src.dc, 0, 0, 40, 40, SRCCOPY));
    EXPECT_EQ(dst.At(5, 65), kRed);
    EXPECT_EQ(dst.At(75, 65), kBlue);

    // Drawing outside the clip rectangle leaves the surface alone.
    int saved = dst.dc.SaveDC();
    dst.dc.IntersectClipRect(0, 0, 5, 5);
    dst.dc.FillSolidRect(0, 0, 80, 80, kGreen);
    dst.dc.RestoreDC(saved);
    EXPECT_EQ(dst.At(2, 2), kGreen);
    EXPECT_EQ(dst.At(15, 15), kRed);

    CRgn rgn;
    ASSERT_TRUE(rgn.CreateRectRgn(60, 60, 70, 70));
    EXPECT_TRUE(rgn.PtInRegion(65, 65));
    EXPECT_FALSE(rgn.PtInRegion(70, 65));
    CRgn other, combined;
    other.CreateRectRgn(65, 60, 80, 70);
    combined.CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(combined.CombineRgn(&rgn, &other, RGN_AND), SIMPLEREGION);
    CRect box;
    combined.GetRgnBox(&box);
    EXPECT_EQ(box, CRect(65, 60, 70, 70));

    TRIVERTEX v[2] = { { 0, 0, 0xFF00, 0, 0, 0 }, { 80, 10, 0, 0, 0xFF00, 0 } };
    GRADIENT_RECT gr = { 0, 1 };
    EXPECT_TRUE(dst.dc.GradientFill(v, 2, &gr, 1, GRADIENT_FILL_RECT_H));
    COLORREF left = dst.At(1, 5), right = dst.At(78, 5);
    EXPECT_GT(GetRValue(left), 200);
    EXPECT_LT(GetBValue(left), 50);
    EXPECT_GT(GetBValue(right), 200);
    EXPECT_LT(GetRValue(right), 50);
}

TEST(Gdi, FontsTextAndBitmapInfo)
{
    Surface s(200, 60);
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(120, L"宋体", &s.dc));
    LOGFONT lf = {};
    ASSERT_GT(font.GetLogFont(&lf), 0);
    // 12 points at the DC's vertical resolution.
    EXPECT_EQ(lf.lfHeight, -MulDiv(12, s.dc.GetDeviceCaps(LOGPIXELSY), 72));
    EXPECT_STREQ(lf.lfFaceName, L"宋体");
    CFont* old = s.dc.SelectObject(&font);
    CSize one = s.dc.GetTextExtent(CString(L"中"));
    CSize two = s.dc.GetTextExtent(L"中文", 2);
    EXPECT_GT(one.cx, 0);
    EXPECT_EQ(two.cx, 2 * one.cx);
    TEXTMETRIC tm = {};
    EXPECT_TRUE(s.dc.GetTextMetrics(&tm));
    EXPECT_EQ(tm.tmHeight, one.cy);

    s.dc.SetTextColor(kBlack);
    s.dc.SetBkMode(TRANSPARENT);
    CRect rc(0, 0, 200, 60);
    int height = s.dc.DrawText(CString(L"中文"), rc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(height, tm.tmHeight);
    EXPECT_EQ(rc.Width(), two.cx);
    s.dc.TextOut(0, 0, CString(L"中中中"));
    int dark = 0;
    for (int x = 0; x < 3 * one.cx; ++x)
        for (int y = 0; y < one.cy; ++y)
            dark += s.At(x, y) != kWhite;
    EXPECT_GT(dark, 10);
    s.dc.SelectObject(old);

    BITMAP bm = {};
    ASSERT_GT(s.bmp.GetBitmap(&bm), 0);
    EXPECT_EQ(bm.bmWidth, 200);
    EXPECT_EQ(bm.bmHeight, 60);
    EXPECT_EQ(s.dc.GetCurrentBitmap()->m_hObject, s.bmp.m_hObject);
}

TEST(Gdi, WrappersOwnTheirHandlesUnlessDetached)
{
    HBRUSH raw = ::CreateSolidBrush(kRed);
    {
        CBrush owner;
        owner.Attach(raw);
        EXPECT_EQ(owner.GetSafeHandle(), raw);
    }
    LOGBRUSH lb = {};
    EXPECT_EQ(::GetObjectW(raw, sizeof lb, &lb), 0);   // deleted with its owner

    HBRUSH kept = ::CreateSolidBrush(kBlue);
    {
        CBrush owner;
        owner.Attach(kept);
        EXPECT_EQ(owner.Detach(), kept);
    }
    EXPECT_GT(::GetObjectW(kept, sizeof lb, &lb), 0);
    // A temporary wrapper never deletes what it wraps.
    CBrush* temp = CBrush::FromHandle(kept);
    EXPECT_EQ(temp->m_hObject, kept);
    EXPECT_EQ(CBrush::FromHandle(kept), temp);
    AfxDeleteTempObjects();
    EXPECT_GT(::GetObjectW(kept, sizeof lb, &lb), 0);
    EXPECT_EQ(lb.lbColor, kBlue);
    ::DeleteObject(kept);

    // Null objects answer with null handles, as callers rely on.
    CGdiObject* volatile nothing = nullptr;
    EXPECT_EQ(nothing->GetSafeHandle(), nullptr);
    CWnd* volatile noWnd = nullptr;
    EXPECT_EQ(noWnd->GetSafeHwnd(), nullptr);
}

} // namespace
