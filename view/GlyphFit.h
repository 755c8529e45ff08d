// Fonts of the page's characters and where each glyph goes in its box. A face
// whose glyphs do not fit the boxes is drawn from a copy made smaller as a
// whole, one per face, size and box, standing on one baseline; a glyph that
// still does not fit gets a smaller copy of its own. Glyphs that lie whole in
// their boxes go out together, one call per font and colour.
#pragma once

#include <windows.h>

#include <vector>

class CDC;

// A font made once and kept for later paints, with its cell height, ascent
// and em height in pixels.
struct CharFontInfo {
    HFONT hFont = NULL;
    int nHeight = 0;
    int nAscent = 0;
    int nEm = 0;
};

// The font of a glyph and its origin from the box's top left; whole when
// the glyph's ink lies inside the box.
struct GlyphSpot {
    CharFontInfo font;
    int x = 0;
    int y = 0;
    bool whole = false;
};

// The glyph of text (one unit, or a surrogate pair) in face at tenths of a
// point, for a box of width x height pixels. Units below U+0100 have half
// boxes: they share a copy of the face that fits every printable ASCII glyph,
// drawn without antialiasing so thin strokes keep their colour. A few signs
// the painter lifts by 2 px where the point font is drawn as it is.
GlyphSpot FitGlyph(CDC* pDC, const wchar_t* face, int tenths, bool bold, const wchar_t* text,
                   int n, int width, int height);

// Learns the glyphs of text (units of one kind of box, no surrogate pairs)
// that FitGlyph will place for such boxes in one go: measuring them one at
// a time costs more than drawing them.
void MeasureGlyphs(CDC* pDC, const wchar_t* face, int tenths, bool bold, const wchar_t* text,
                   int n, int width, int height);

// Selects the font the surface had before painting back; when many fonts
// were made they are all dropped (with what was learned of their glyphs).
// Called at the end of each paint.
void EndCharFonts(CDC* pDC, HFONT original);

// Glyphs that lie whole in their boxes, gathered and drawn with one call per
// font and colour, each at its own place, clipped to the bounds of their
// boxes: the pixels of one call per glyph.
class GlyphBatch {
public:
    void Add(HFONT font, COLORREF colour, int x, int y, wchar_t ch, const RECT& box);
    // Draws (transparently) and empties the batch.
    void Flush(HDC dc);

private:
    struct Glyph {
        HFONT font;
        COLORREF colour;
        int x, y;
        wchar_t ch;
        RECT box;
        bool drawn;
    };
    std::vector<Glyph> m_glyphs;
    std::vector<wchar_t> m_text;
    std::vector<INT> m_steps;
};

// Characters go out batched (true) or one call each (tests compare the two).
extern bool g_bBatchPlainText;
