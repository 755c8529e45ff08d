// GDI+ start-up guard and the program's two-colour gradient fill.
#pragma once

#include <windows.h>
#include <gdiplus.h>

// Each window that paints with GDI+ embeds one guard: GDI+ stays started
// for as long as the guard lives. Every guard keeps its own start-up token,
// so destroying one window leaves GDI+ usable for the others.
class CGDIPlus {
public:
    CGDIPlus();
    virtual ~CGDIPlus();

    CGDIPlus(const CGDIPlus&) = delete;
    CGDIPlus& operator=(const CGDIPlus&) = delete;

    // Two-colour linear gradient over rc; nDirection 1 runs top to bottom,
    // anything else left to right. The gradient begins one pixel before the
    // rectangle, so its first row (or column) is already one step towards
    // clrTo. The top byte of each COLORREF is ignored.
    Gdiplus::Status DrawGradientRect(HDC hdc, RECT rc, COLORREF clrFrom, COLORREF clrTo,
                                     int nDirection, BOOL bSmooth);

    // Opaque GDI+ colour (0xFFRRGGBB) of a COLORREF (0x??BBGGRR).
    static Gdiplus::ARGB ToArgb(COLORREF clr);

    bool IsStarted() const { return m_token != 0; }

private:
    ULONG_PTR m_token;
};
