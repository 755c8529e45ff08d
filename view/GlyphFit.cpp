#include "view/GlyphFit.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "controls/PictureCache.h"
#include "framework/Dc.h"
#include "framework/Gdi.h"

namespace {

struct FontKey {
    std::wstring face;
    int tenths = 0;
    int weight = 0;     // 0: as the point font is made
    int dpi = 0;
    int height = 0;     // lfHeight of a copy made smaller as a whole; 0: the point size
    bool crisp = false; // drawn without antialiasing
    bool operator<(const FontKey& o) const
    {
        return std::tie(face, tenths, weight, dpi, height, crisp)
            < std::tie(o.face, o.tenths, o.weight, o.dpi, o.height, o.crisp);
    }
};

// Fonts stay made between paints: creating one per character is the
// costliest part of painting text. A page needs few: one per face, size and
// kind of box, and a smaller one for a glyph now and then. Many sizes and
// faces in a long session are dropped together at the end of a paint.
std::map<FontKey, CharFontInfo> g_fonts;
const size_t kMaxFonts = 96;

CharFontInfo MakeFont(CDC* pDC, const FontKey& key)
{
    CFont font;
    font.CreatePointFont(key.tenths, key.face.c_str(), pDC);
    if (key.weight || key.height || key.crisp) {
        LOGFONT lf = {};
        font.GetLogFont(&lf);
        font.DeleteObject();
        if (key.weight)
            lf.lfWeight = key.weight;
        if (key.height)
            lf.lfHeight = key.height;
        if (key.crisp)
            lf.lfQuality = NONANTIALIASED_QUALITY;
        font.CreateFontIndirect(&lf);
    }
    CharFontInfo info;
    info.hFont = (HFONT)font.Detach();
    LOGFONT lf = {};
    GetObjectW(info.hFont, sizeof(lf), &lf);
    HDC dc = pDC->GetSafeHdc();
    HGDIOBJ old = SelectObject(dc, info.hFont);
    TEXTMETRICW tm = {};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    info.nHeight = tm.tmHeight;
    info.nAscent = tm.tmAscent;
    info.nEm = std::max(1, (int)std::abs(lf.lfHeight));
    return info;
}

CharFontInfo KeyedFont(CDC* pDC, const FontKey& key)
{
    auto found = g_fonts.find(key);
    if (found != g_fonts.end())
        return found->second;
    const CharFontInfo info = MakeFont(pDC, key);
    g_fonts[key] = info;
    return info;
}

// A glyph's ink from its origin (the cell's top left): left and width
// across, top and height down, and the advance to the next glyph.
struct GlyphInk {
    int left = 0;
    int width = 0;
    int top = 0;
    int height = 0;
    int advance = 0;
    bool inked = false;
};

// Ink is measured by drawing the glyph: some faces bring bitmaps for some
// sizes, whose pixels their outline metrics do not describe, and a face that
// lacks a glyph borrows it from another. The surface is kept for the life of
// the process.
class InkRuler {
public:
    GlyphInk Measure(const CharFontInfo& font, const wchar_t* text, int n)
    {
        GlyphInk ink;
        MeasureEach(font, text, 1, n, &ink);
        return ink;
    }

    // The glyphs of text one unit each, drawn side by side in one call (a
    // call per glyph costs more than its drawing), each in a cell of its own.
    void MeasureAll(const CharFontInfo& font, const wchar_t* text, int n, GlyphInk* inks)
    {
        const int kPerCall = 32;
        for (int i = 0; i < n; i += kPerCall)
            MeasureEach(font, text + i, std::min(kPerCall, n - i), 1, inks + i);
    }

    // The height of the glyph's outline; 0 when the face has none for it.
    int OutlineHeight(const CharFontInfo& font, wchar_t ch)
    {
        if (!Reserve(1, 1))
            return 0;
        HGDIOBJ old = SelectObject(m_dc, font.hFont);
        GLYPHMETRICS gm = {};
        const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
        const DWORD done = GetGlyphOutlineW(m_dc, ch, GGO_METRICS, &gm, 0, NULL, &identity);
        SelectObject(m_dc, old);
        return done == GDI_ERROR ? 0 : (int)gm.gmBlackBoxY;
    }

private:
    // count glyphs of units units each; each one's cell reaches a cell height
    // left of its origin and two right of it, half a cell height above.
    void MeasureEach(const CharFontInfo& font, const wchar_t* text, int count, int units,
                     GlyphInk* inks)
    {
        const int cell = 3 * font.nHeight + 8;
        const int h = 2 * font.nHeight + 8;
        const int ox = font.nHeight + 4;
        const int oy = font.nHeight / 2 + 4;
        if (!Reserve(cell * count, h))
            return;
        for (int y = 0; y < h; ++y)
            memset(m_bits + (size_t)y * m_width, 0, (size_t)cell * count * 4);
        m_steps.assign(count * units, 0);
        m_extents.assign(count * units, 0);
        for (int i = 0; i < count; ++i)
            m_steps[i * units + units - 1] = cell;
        HGDIOBJ old = SelectObject(m_dc, font.hFont);
        ExtTextOutW(m_dc, ox, oy, 0, NULL, text, (UINT)(count * units),
                    count > 1 ? m_steps.data() : NULL);
        SIZE size = {};
        GetTextExtentExPointW(m_dc, text, count * units, 0, NULL, m_extents.data(), &size);
        SelectObject(m_dc, old);
        GdiFlush();
        for (int i = 0; i < count; ++i) {
            GlyphInk& ink = inks[i];
            ink = GlyphInk();
            const int end = i * units + units - 1;
            ink.advance = m_extents[end] - (i ? m_extents[end - units] : 0);
            const int x0 = i * cell;
            int left = cell, right = -1, top = h, bottom = -1;
            for (int y = 0; y < h; ++y) {
                const DWORD* row = m_bits + (size_t)y * m_width + x0;
                int x = 0;
                while (x < cell && !(row[x] & 0xFFFFFF))
                    ++x;
                if (x == cell)
                    continue;
                int last = cell - 1;
                while (!(row[last] & 0xFFFFFF))
                    --last;
                left = std::min(left, x);
                right = std::max(right, last);
                top = std::min(top, y);
                bottom = y;
            }
            if (right >= 0) {
                ink.left = left - ox;
                ink.width = right - left + 1;
                ink.top = top - oy;
                ink.height = bottom - top + 1;
                ink.inked = true;
            }
        }
    }

    bool Reserve(int w, int h)
    {
        if (m_dc && w <= m_width && h <= m_height)
            return true;
        if (m_dc) {
            SelectObject(m_dc, m_old);
            DeleteObject(m_bitmap);
            DeleteDC(m_dc);
            m_dc = NULL;
        }
        const int width = std::max(w, m_width);
        const int height = std::max(h, m_height);
        void* bits = nullptr;
        m_dc = CreateCompatibleDC(NULL);
        m_bitmap = CreateTopDownDib(width, height, &bits);
        if (!m_dc || !m_bitmap || !bits) {
            if (m_bitmap)
                DeleteObject(m_bitmap);
            if (m_dc)
                DeleteDC(m_dc);
            m_dc = NULL;
            m_bitmap = NULL;
            return false;
        }
        m_width = width;
        m_height = height;
        m_bits = (DWORD*)bits;
        m_old = SelectObject(m_dc, m_bitmap);
        SetBkMode(m_dc, TRANSPARENT);
        SetTextColor(m_dc, RGB(255, 255, 255));
        return true;
    }

    std::vector<INT> m_steps;
    std::vector<INT> m_extents;
    HDC m_dc = NULL;
    HBITMAP m_bitmap = NULL;
    HGDIOBJ m_old = NULL;
    DWORD* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
} g_ruler;

std::unordered_map<uint64_t, GlyphInk> g_inks;

uint64_t InkKey(HFONT font, wchar_t ch, wchar_t low)
{
    return ((uint64_t)(uintptr_t)font << 32) | ((uint64_t)ch << 16) | low;
}

GlyphInk InkOf(const CharFontInfo& font, const wchar_t* text, int n)
{
    const uint64_t key = InkKey(font.hFont, text[0], n > 1 ? text[1] : 0);
    auto found = g_inks.find(key);
    if (found != g_inks.end())
        return found->second;
    GlyphInk ink = g_ruler.Measure(font, text, n);
    g_inks[key] = ink;
    return ink;
}

GlyphInk InkOf(const CharFontInfo& font, wchar_t ch) { return InkOf(font, &ch, 1); }

// Measures the glyphs of units not yet measured in font, together.
void MeasureAhead(const CharFontInfo& font, const wchar_t* text, int n)
{
    static std::vector<wchar_t> missing;
    static std::vector<GlyphInk> inks;
    missing.clear();
    for (int i = 0; i < n; ++i) {
        if (!g_inks.count(InkKey(font.hFont, text[i], 0)) && std::find(missing.begin(), missing.end(), text[i]) == missing.end())
            missing.push_back(text[i]);
    }
    if (missing.empty())
        return;
    inks.resize(missing.size());
    g_ruler.MeasureAll(font, missing.data(), (int)missing.size(), inks.data());
    for (size_t i = 0; i < missing.size(); ++i)
        g_inks[InkKey(font.hFont, missing[i], 0)] = inks[i];
}

// The font of a face at a size for one kind of box: the point font drawn
// where the painter puts it, or a copy made smaller as a whole that stands
// on a baseline common to the face's glyphs.
struct Fit {
    FontKey key;
    CharFontInfo font;
    int baseline = 0;       // below the box's top
    bool asPainted = false;
};

struct FitKey {
    HFONT base;
    int width, height;
    bool operator<(const FitKey& o) const
    {
        return std::tie(base, width, height) < std::tie(o.base, o.width, o.height);
    }
};
std::map<FitKey, Fit> g_fits;

const wchar_t kHanSamples[] = L"中国文字";

bool IsHalfWidth(wchar_t ch) { return ch < 0x100; }

// Signs the painter lifts by 2 px above the point font's place.
bool IsRaisedSign(wchar_t ch)
{
    switch (ch) {
    case L'&': case L'j': case L'_': case L'(': case L')': case L'{': case L'}':
        return true;
    }
    return false;
}

// The painter's own place for the point font: the cell centred down the box,
// the raised signs 2 px above its top.
int PaintersY(const CharFontInfo& font, int h, bool raised)
{
    return raised ? -2 : h / 2 - font.nHeight / 2;
}

bool InkInside(const GlyphInk& ink, int x, int y, int w, int h)
{
    return x + ink.left >= 0 && x + ink.left + ink.width <= w && y + ink.top >= 0
        && y + ink.top + ink.height <= h;
}

// Where a glyph of font goes in a box of the fit: the point font at the
// painter's place (at the box's left, the cell centred down); a smaller copy
// on the common baseline, a half-width glyph centred across, another with its
// cell centred across. A glyph outside the box is moved in as far as needed;
// one larger than the box is not whole.
GlyphSpot PlaceOn(const Fit& fit, const CharFontInfo& font, const GlyphInk& ink, int w, int h,
                  bool half, bool raised)
{
    GlyphSpot spot;
    spot.font = font;
    if (fit.asPainted) {
        spot.x = 0;
        spot.y = PaintersY(font, h, raised);
    } else {
        spot.y = fit.baseline - font.nAscent;
        spot.x = half ? (w - ink.width) / 2 - ink.left : (w - ink.advance) / 2;
    }
    if (!ink.inked) {
        spot.whole = true;
        return spot;
    }
    if (ink.width > w || ink.height > h)
        return spot;
    spot.x += std::max(0, -(spot.x + ink.left));
    spot.x -= std::max(0, spot.x + ink.left + ink.width - w);
    spot.y += std::max(0, -(spot.y + ink.top));
    spot.y -= std::max(0, spot.y + ink.top + ink.height - h);
    spot.whole = true;
    return spot;
}

// The em height a copy needs for ink of inkW x inkH to fit w x h: the size
// scaled down as a whole, at least a pixel less than now.
int SmallerEm(int em, int inkW, int inkH, int w, int h)
{
    const double scale = std::min((double)w / std::max(1, inkW), (double)h / std::max(1, inkH));
    return std::min(em - 1, (int)(em * scale));
}

// The widest ink of the samples and how far it reaches above (top, up is
// negative) and below the baseline.
struct Band {
    int width = 0;
    int top = 0;
    int bottom = 0;
    int Height() const { return bottom - top; }
};

Band BandOf(const CharFontInfo& font, const std::wstring& samples)
{
    MeasureAhead(font, samples.data(), (int)samples.size());
    Band band;
    bool any = false;
    for (wchar_t c : samples) {
        const GlyphInk ink = InkOf(font, c);
        if (!ink.inked)
            continue;
        const int above = ink.top - font.nAscent;
        band.top = any ? std::min(band.top, above) : above;
        band.bottom = any ? std::max(band.bottom, above + ink.height) : above + ink.height;
        band.width = std::max(band.width, ink.width);
        any = true;
    }
    return band;
}

// A glyph drawn without antialiasing that is well shorter than a reference
// height has lost a stroke or a dot (hinting may move an edge by a pixel).
bool LostStrokes(const GlyphInk& crisp, int reference)
{
    return reference > 0
        && (!crisp.inked || crisp.height < reference - std::max(2, reference / 4));
}

// Every sample drawn without antialiasing keeps nearly the height of its
// outline or, for a face that brings bitmaps of its own, of its antialiased
// twin: no stroke or dot has vanished.
bool KeepsEveryStroke(const Fit& fit, const std::wstring& samples)
{
    MeasureAhead(fit.font, samples.data(), (int)samples.size());
    bool outlinesKept = true;
    for (wchar_t c : samples)
        if (LostStrokes(InkOf(fit.font, c), g_ruler.OutlineHeight(fit.font, c))) {
            outlinesKept = false;
            break;
        }
    if (outlinesKept)
        return true;
    LOGFONT lf = {};
    GetObjectW(fit.font.hFont, sizeof(lf), &lf);
    lf.lfQuality = DEFAULT_QUALITY;
    CFont twin;
    if (!twin.CreateFontIndirect(&lf))
        return true;
    CharFontInfo smooth = fit.font;
    smooth.hFont = (HFONT)twin.GetSafeHandle();
    std::vector<GlyphInk> soft(samples.size());
    g_ruler.MeasureAll(smooth, samples.data(), (int)samples.size(), soft.data());
    for (size_t i = 0; i < samples.size(); ++i)
        if (soft[i].inked && LostStrokes(InkOf(fit.font, samples[i]), soft[i].height))
            return false;
    return true;
}

Fit MakeFit(CDC* pDC, const FontKey& key, int w, int h, bool half)
{
    std::wstring samples;
    if (half)
        for (wchar_t c = 0x21; c < 0x7F; ++c)
            samples += c;
    else
        samples = kHanSamples;
    Fit fit;
    fit.key = key;
    fit.font = KeyedFont(pDC, key);
    // The point font where the painter puts it, when every sample is whole there.
    MeasureAhead(fit.font, samples.data(), (int)samples.size());
    fit.asPainted = true;
    for (wchar_t c : samples) {
        const GlyphInk ink = InkOf(fit.font, c);
        if (ink.inked && !InkInside(ink, 0, PaintersY(fit.font, h, IsRaisedSign(c)), w, h)) {
            fit.asPainted = false;
            break;
        }
    }
    if (fit.asPainted) {
        fit.baseline = h / 2 - fit.font.nHeight / 2 + fit.font.nAscent;
        return fit;
    }
    // Smaller as a whole until the samples fit, above and below one baseline.
    for (int tries = 0;; ++tries) {
        const Band band = BandOf(fit.font, samples);
        const int em = SmallerEm(fit.font.nEm, band.width, band.Height(), w, h);
        if ((band.width <= w && band.Height() <= h) || em < 1 || tries == 12)
            break;
        fit.key.height = -em;
        fit.font = KeyedFont(pDC, fit.key);
    }
    // Without antialiasing a stroke or dot of a thin face can vanish at some
    // sizes: the face drawn heavier, or a size smaller, keeps them.
    const FontKey fitted = fit.key;
    const int fittedEm = fit.font.nEm;
    for (int step = 0; fit.key.crisp && step < 6 && !KeepsEveryStroke(fit, samples); ++step) {
        fit.key = fitted;
        if (step % 2 == 0 && fitted.weight < FW_BOLD)
            fit.key.weight = FW_BOLD;
        if (step > 0 && fittedEm - (step + 1) / 2 > 0)
            fit.key.height = -(fittedEm - (step + 1) / 2);
        if (step == 5) {
            // No size keeps them: the fitted size, antialiased and heavier.
            fit.key = fitted;
            fit.key.crisp = false;
            fit.key.weight = std::max(fitted.weight, (int)FW_BOLD);
        }
        fit.font = KeyedFont(pDC, fit.key);
    }
    const Band band = BandOf(fit.font, samples);
    fit.baseline = (h - band.Height()) / 2 - band.top;
    return fit;
}

// A glyph larger than its box at its face's fit, or without ink there: a copy
// of its own made smaller as a whole, on the same baseline.
struct SpotKey {
    HFONT fit;
    wchar_t ch, low;
    int width, height;
    bool operator<(const SpotKey& o) const
    {
        return std::tie(fit, ch, low, width, height) < std::tie(o.fit, o.ch, o.low, o.width, o.height);
    }
};
std::map<SpotKey, GlyphSpot> g_spots;

GlyphSpot ShrinkGlyph(CDC* pDC, const Fit& fit, const wchar_t* text, int n, int w, int h,
                      bool half, bool raised)
{
    const SpotKey at{fit.font.hFont, text[0], n > 1 ? text[1] : L'\0', w, h};
    auto found = g_spots.find(at);
    if (found != g_spots.end())
        return found->second;
    FontKey key = fit.key;
    CharFontInfo font = fit.font;
    GlyphInk ink = InkOf(font, text, n);
    // A face may lack a glyph at some sizes only, or only in the bitmaps it
    // brings for drawing without antialiasing.
    if (!ink.inked && key.crisp) {
        key.crisp = false;
        font = KeyedFont(pDC, key);
        ink = InkOf(font, text, n);
    }
    for (int tries = 0; tries < 12 && (ink.width > w || ink.height > h || (!ink.inked && tries < 3));
         ++tries) {
        const int em = SmallerEm(font.nEm, ink.width, ink.height, w, h);
        if (em < 1)
            break;
        key.height = -em;
        font = KeyedFont(pDC, key);
        ink = InkOf(font, text, n);
    }
    const GlyphSpot spot = PlaceOn(fit, font, ink, w, h, half, raised);
    g_spots[at] = spot;
    return spot;
}

// What the last glyph of each kind (half-width or not) was drawn with, which
// the next one nearly always wants too.
struct Recent {
    HDC dc = NULL;
    FontKey key;
    int width = 0;
    int height = 0;
    const Fit* fit = nullptr;
};
Recent g_recent[2];
int g_dpi = 0;
HDC g_dpiDc = NULL;

void ForgetFonts()
{
    for (auto& f : g_fonts)
        DeleteObject(f.second.hFont);
    g_fonts.clear();
    g_inks.clear();
    g_fits.clear();
    g_spots.clear();
    g_recent[0] = g_recent[1] = Recent();
}

// The fit of a face at a size for a box of width x height.
const Fit& FitFor(CDC* pDC, const wchar_t* face, int tenths, bool bold, bool half, int width,
                  int height)
{
    if (!face)
        face = L"";
    HDC dc = pDC->GetSafeHdc();
    if (dc != g_dpiDc) {
        g_dpiDc = dc;
        g_dpi = pDC->GetDeviceCaps(LOGPIXELSY);
    }
    const int weight = bold ? 800 : 0;
    Recent& recent = g_recent[half ? 1 : 0];
    if (!(recent.fit && recent.dc == dc && recent.key.tenths == tenths
          && recent.key.weight == weight && recent.key.dpi == g_dpi && recent.width == width
          && recent.height == height && recent.key.face == face)) {
        const FontKey key{face, tenths, weight, g_dpi, 0, half};
        const FitKey fitKey{KeyedFont(pDC, key).hFont, width, height};
        auto found = g_fits.find(fitKey);
        if (found == g_fits.end())
            found = g_fits.emplace(fitKey, MakeFit(pDC, key, width, height, half)).first;
        recent.dc = dc;
        recent.key = key;
        recent.width = width;
        recent.height = height;
        recent.fit = &found->second;
    }
    return *recent.fit;
}

}  // namespace

GlyphSpot FitGlyph(CDC* pDC, const wchar_t* face, int tenths, bool bold, const wchar_t* text,
                   int n, int width, int height)
{
    const bool half = IsHalfWidth(text[0]);
    const bool raised = IsRaisedSign(text[0]);
    const Fit& fit = FitFor(pDC, face, tenths, bold, half, width, height);
    const GlyphInk ink = InkOf(fit.font, text, n);
    GlyphSpot spot = PlaceOn(fit, fit.font, ink, width, height, half, raised);
    if (!spot.whole || (!ink.inked && text[0] > L' '))
        spot = ShrinkGlyph(pDC, fit, text, n, width, height, half, raised);
    return spot;
}

void MeasureGlyphs(CDC* pDC, const wchar_t* face, int tenths, bool bold, const wchar_t* text,
                   int n, int width, int height)
{
    if (n > 0)
        MeasureAhead(FitFor(pDC, face, tenths, bold, IsHalfWidth(text[0]), width, height).font,
                     text, n);
}

void EndCharFonts(CDC* pDC, HFONT original)
{
    if (original)
        SelectObject(pDC->GetSafeHdc(), original);
    if (g_fonts.size() > kMaxFonts)
        ForgetFonts();
}

bool g_bBatchPlainText = true;

void GlyphBatch::Add(HFONT font, COLORREF colour, int x, int y, wchar_t ch, const RECT& box)
{
    m_glyphs.push_back({font, colour, x, y, ch, box, false});
}

void GlyphBatch::Flush(HDC dc)
{
    if (m_glyphs.empty())
        return;
    SetBkMode(dc, TRANSPARENT);
    for (size_t i = 0; i < m_glyphs.size(); ++i) {
        if (m_glyphs[i].drawn)
            continue;
        const Glyph& first = m_glyphs[i];
        RECT bounds = first.box;
        m_text.clear();
        m_steps.clear();
        const Glyph* prev = nullptr;
        for (size_t j = i; j < m_glyphs.size(); ++j) {
            Glyph& g = m_glyphs[j];
            if (g.drawn || g.font != first.font || g.colour != first.colour)
                continue;
            if (prev) {
                // The second of each pair runs up the font's vertical.
                m_steps.push_back(g.x - prev->x);
                m_steps.push_back(prev->y - g.y);
            }
            m_text.push_back(g.ch);
            bounds.left = std::min(bounds.left, g.box.left);
            bounds.top = std::min(bounds.top, g.box.top);
            bounds.right = std::max(bounds.right, g.box.right);
            bounds.bottom = std::max(bounds.bottom, g.box.bottom);
            g.drawn = true;
            prev = &g;
        }
        m_steps.push_back(0);
        m_steps.push_back(0);
        SelectObject(dc, first.font);
        SetTextColor(dc, first.colour);
        ExtTextOutW(dc, first.x, first.y, ETO_CLIPPED | ETO_PDY, &bounds, m_text.data(),
                    (UINT)m_text.size(), m_steps.data());
    }
    m_glyphs.clear();
}

