#include "controls/GDIPlus.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

CGDIPlus::CGDIPlus()
    : m_token(0)
{
    GdiplusStartupInput input;  // version 1, no callback, background thread, external codecs
    GdiplusStartup(&m_token, &input, NULL);
}

CGDIPlus::~CGDIPlus()
{
    if (m_token != 0)
        GdiplusShutdown(m_token);
}

ARGB CGDIPlus::ToArgb(COLORREF clr)
{
    return 0xFF000000u | ((ARGB)GetRValue(clr) << 16) | ((ARGB)GetGValue(clr) << 8)
        | (ARGB)GetBValue(clr);
}

Status CGDIPlus::DrawGradientRect(HDC hdc, RECT rc, COLORREF clrFrom, COLORREF clrTo,
                                  int nDirection, BOOL bSmooth)
{
    GpGraphics* graphics = NULL;
    GdipCreateFromHDC(hdc, &graphics);
    ARGB from = ToArgb(clrFrom);
    ARGB to = ToArgb(clrTo);
    if (bSmooth)
        GdipSetSmoothingMode(graphics, SmoothingModeHighQuality);

    // Start one pixel before the rectangle so the first row is not the pure start colour.
    GpPoint p1, p2;
    if (nDirection == 1) {
        p1.X = rc.left;     p1.Y = rc.top - 1;
        p2.X = rc.left;     p2.Y = rc.bottom;
    } else {
        p1.X = rc.left - 1; p1.Y = rc.top;
        p2.X = rc.right;    p2.Y = rc.top;
    }
    GpLineGradient* brush = NULL;
    GdipCreateLineBrushI(&p1, &p2, from, to, WrapModeTile, &brush);
    GdipSetLineGammaCorrection(brush, TRUE);
    if (rc.right > rc.left && rc.bottom > rc.top)
        GdipFillRectangleI(graphics, brush, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    GdipDeleteBrush(brush);
    return GdipDeleteGraphics(graphics);
}
