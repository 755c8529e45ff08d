// The shape of a letter drawn large by a face, for comparing with the same
// letter as the page draws it.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "controls/PictureCache.h"
#include "view/GlyphShape.h"

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
