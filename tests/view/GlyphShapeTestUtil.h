// The glyphs a page draws, read from its pixels, and the shape of a letter
// drawn large by a face to compare them with.
#pragma once

#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "controls/PictureCache.h"
#include "tests/controls/GdiTestSurface.h"
#include "tests/support/Pixels.h"
#include "view/GlyphShape.h"

// The glyphs' own pixels: where the page differs from the same page with
// blanks of the same widths in place of the characters.
class GlyphInk {
public:
    GlyphInk(const ClientCapture& page, const ClientCapture& blank) : m_page(page), m_blank(blank) {}
    // A pixel of ink; faint: any visible trace of it.
    bool At(int x, int y, bool faint = false) const
    {
        return ChannelDiff(m_page.At(x, y), m_blank.At(x, y)) > (faint ? 12 : 40);
    }
    // The lowest row of ink in the box, -1 when there is none.
    int Bottom(const RECT& r) const
    {
        for (int y = r.bottom - 1; y >= r.top; --y)
            for (int x = r.left; x < r.right; ++x)
                if (At(x, y))
                    return y;
        return -1;
    }
    // How close the box's pixel nearest to the ink colour comes to it, from
    // the blank page's colour there (0) to the ink colour itself (1).
    double Contrast(const RECT& r, COLORREF ink) const
    {
        double best = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const int full = ChannelDiff(m_blank.At(x, y), ink);
                if (full > 0)
                    best = std::max(best, 1.0 - (double)ChannelDiff(m_page.At(x, y), ink) / full);
            }
        return best;
    }
    // The shape of the ink in the box, where a pixel comes from the blank
    // page's colour to the ink colour by at least threshold / 255 of the way.
    GlyphShape Shape(const RECT& r, COLORREF ink, int threshold) const
    {
        const int w = r.right - r.left, h = r.bottom - r.top;
        std::vector<uint8_t> grid(w * h, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const COLORREF blank = m_blank.At(r.left + x, r.top + y);
                const int full = std::max(1, ChannelDiff(blank, ink));
                const int off = ChannelDiff(m_page.At(r.left + x, r.top + y), ink);
                grid[y * w + x] = (uint8_t)(255 * std::max(0, full - off) / full);
            }
        return ShapeOfInk(grid.data(), w, h, w, 1, threshold);
    }

private:
    const ClientCapture& m_page;
    const ClientCapture& m_blank;
};

// The letter drawn large (antialiased, light on dark) in face at weight (0:
// the face's own).
inline GlyphShape LargeGlyphShape(const std::wstring& face, int weight, wchar_t ch)
{
    static std::map<std::tuple<std::wstring, int, wchar_t>, GlyphShape> shapes;
    auto found = shapes.find({face, weight, ch});
    if (found != shapes.end())
        return found->second;
    const int w = 3 * kLargeGlyphEm, h = 6 * kLargeGlyphEm;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(NULL);
    HBITMAP bitmap = CreateTopDownDib(w, h, &bits);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HFONT font = CreateFontW(-kLargeGlyphEm, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                             ANTIALIASED_QUALITY, 0, face.c_str());
    HGDIOBJ oldFont = SelectObject(dc, font);
    PatBlt(dc, 0, 0, w, h, BLACKNESS);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutW(dc, kLargeGlyphEm, kLargeGlyphEm / 2, &ch, 1);
    GdiFlush();
    std::vector<uint8_t> ink(w * h);
    for (int i = 0; i < w * h; ++i)
        ink[i] = (uint8_t)(((const DWORD*)bits)[i] >> 8);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    const GlyphShape shape = ShapeOfInk(ink.data(), w, h, w, 1, kFaintInk);
    shapes[{face, weight, ch}] = shape;
    return shape;
}

inline std::string Describe(const GlyphShape& s)
{
    return std::to_string(s.pieces) + " pieces (" + std::to_string(s.bridgedPieces)
        + " bridged), " + std::to_string(s.holes) + " holes (" + std::to_string(s.bridgedHoles) + " bridged), " + std::to_string(s.stems) + " stems (most " + std::to_string(s.mostStems)
        + "), " + std::to_string(s.width) + "x" + std::to_string(s.height);
}
