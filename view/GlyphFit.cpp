#include "view/GlyphFit.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "controls/PictureCache.h"
#include "framework/Dc.h"
#include "framework/Gdi.h"
#include "view/GlyphShape.h"

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
    // call per glyph costs more than its drawing), each in a cell of its own;
    // with their shapes where shapes is given, and as faint ink where faint
    // is (see kSmallInk). Antialiased strokes look thinner dark on light than
    // light on dark, where a small hole can close: the shapes are taken one
    // way round (light set: light on dark).
    void MeasureAll(const CharFontInfo& font, const wchar_t* text, int n, GlyphInk* inks,
                    GlyphShape* shapes = nullptr, GlyphShape* faint = nullptr,
                    bool light = false)
    {
        const int kPerCall = 32;
        m_light = light;
        for (int i = 0; i < n; i += kPerCall)
            MeasureEach(font, text + i, std::min(kPerCall, n - i), 1, inks + i,
                        shapes ? shapes + i : nullptr, faint ? faint + i : nullptr);
        m_light = false;
    }

private:
    // count glyphs of units units each; each one's cell reaches a cell height
    // left of its origin and two right of it, half a cell height above.
    void MeasureEach(const CharFontInfo& font, const wchar_t* text, int count, int units,
                     GlyphInk* inks, GlyphShape* shapes = nullptr, GlyphShape* faint = nullptr)
    {
        const int cell = 3 * font.nHeight + 8;
        const int h = 2 * font.nHeight + 8;
        const int ox = font.nHeight + 4;
        const int oy = font.nHeight / 2 + 4;
        if (!Reserve(cell * count, h))
            return;
        for (int y = 0; y < h; ++y)
            memset(m_bits + (size_t)y * m_width, m_light ? 0 : 0xFF, (size_t)cell * count * 4);
        SetTextColor(m_dc, m_light ? RGB(255, 255, 255) : RGB(0, 0, 0));
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
        const DWORD paper = m_light ? 0 : 0xFFFFFF;
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
                while (x < cell && (row[x] & 0xFFFFFF) == paper)
                    ++x;
                if (x == cell)
                    continue;
                int last = cell - 1;
                while ((row[last] & 0xFFFFFF) == paper)
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
            if (shapes)
                shapes[i] = GlyphShape();
            if (faint)
                faint[i] = GlyphShape();
            if (!ink.inked || !(shapes || faint))
                continue;
            // The green, the middle of the subpixels; dark on light turned
            // over, so that a value is the ink there.
            DWORD* inkTop = m_bits + (size_t)top * m_width + x0 + left;
            for (int y = 0; y < ink.height && !m_light; ++y)
                for (int x = 0; x < ink.width; ++x)
                    inkTop[(size_t)y * m_width + x] ^= 0xFFFFFF;
            const uint8_t* green = (const uint8_t*)inkTop + 1;
            if (shapes)
                shapes[i] = ShapeOfInk(green, ink.width, ink.height, m_width * 4, 4, kSmallInk);
            if (faint)
                faint[i] = ShapeOfInk(green, ink.width, ink.height, m_width * 4, 4, kFaintInk);
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
        return true;
    }

    std::vector<INT> m_steps;
    std::vector<INT> m_extents;
    bool m_light = false;
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

// A font of a face at a size and the key it is made from.
struct Look {
    FontKey key;
    CharFontInfo font;
};

// The samples of half-width boxes: printable ASCII.
const wchar_t kFirstSample = 0x21, kLastSample = 0x7E;

// The font of a face at a size for one kind of box: the point font drawn
// where the painter puts it, or a copy made smaller as a whole that stands
// on a baseline common to the face's glyphs.
struct Fit {
    FontKey key;
    CharFontInfo font;
    int baseline = 0;       // below the box's top
    bool asPainted = false;
    // Samples that lose a stroke or a hole in the fit's font and keep them in
    // another look of the face: lookOf[sample] is 1 + its index in others.
    std::vector<Look> others;
    std::vector<unsigned char> lookOf;

    Look LookOf(wchar_t ch) const
    {
        if (ch >= kFirstSample && ch <= kLastSample && !lookOf.empty() && lookOf[ch - kFirstSample])
            return others[lookOf[ch - kFirstSample] - 1];
        return {key, font};
    }
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
    int second = 0;         // the widest but one
    int top = 0;
    int bottom = 0;
    int Height() const { return bottom - top; }
};

// smooth: the inks of the samples drawn antialiased, which bound those
// drawn without: such a drawing can bring a stray pixel well off its glyph
// (which then loses its shape, see ChooseLooks).
Band BandOf(const CharFontInfo& font, const std::wstring& samples,
            const std::vector<GlyphInk>* smooth = nullptr)
{
    MeasureAhead(font, samples.data(), (int)samples.size());
    Band band;
    bool any = false;
    for (size_t i = 0; i < samples.size(); ++i) {
        GlyphInk ink = InkOf(font, samples[i]);
        if (smooth && (*smooth)[i].inked && (*smooth)[i].width + 1 < ink.width)
            ink = (*smooth)[i];
        if (!ink.inked)
            continue;
        const int above = ink.top - font.nAscent;
        band.top = any ? std::min(band.top, above) : above;
        band.bottom = any ? std::max(band.bottom, above + ink.height) : above + ink.height;
        if (ink.width > band.width) {
            band.second = band.width;
            band.width = ink.width;
        } else {
            band.second = std::max(band.second, ink.width);
        }
        any = true;
    }
    return band;
}

// A font of the face not made yet (made set), or the one made before.
Look TrialLook(CDC* pDC, const FontKey& key, bool* made)
{
    auto found = g_fonts.find(key);
    *made = found == g_fonts.end();
    return {key, *made ? MakeFont(pDC, key) : found->second};
}

// The samples measured in a font made for a trial and dropped again; their
// shapes where shapes is given, light on dark at half the full colour.
std::vector<GlyphInk> TrialInks(CDC* pDC, const FontKey& key, const std::wstring& samples,
                                std::vector<GlyphShape>* shapes = nullptr)
{
    bool made = false;
    const Look look = TrialLook(pDC, key, &made);
    std::vector<GlyphInk> inks(samples.size());
    if (shapes)
        shapes->resize(samples.size());
    g_ruler.MeasureAll(look.font, samples.data(), (int)samples.size(), inks.data(), nullptr,
                       shapes ? shapes->data() : nullptr, shapes != nullptr);
    if (made)
        DeleteObject(look.font.hFont);
    return inks;
}

// The shapes of the samples drawn large by the face at the key's weight.
const std::vector<GlyphShape>& LargeShapes(CDC* pDC, const FontKey& key,
                                           const std::wstring& samples)
{
    static std::map<std::pair<std::wstring, int>, std::vector<GlyphShape>> shapes;
    std::vector<GlyphShape>& large = shapes[{key.face, key.weight}];
    if (large.empty()) {
        FontKey big = key;
        big.height = -kLargeGlyphEm;
        big.crisp = false;
        TrialInks(pDC, big, samples, &large);
    }
    return large;
}

// A look of a face tried on samples: how well each one tried keeps its shape
// drawn large, plainly and in grey.
struct Trial {
    Look look;
    bool made = false;
    std::vector<GlyphInk> inks;
    std::vector<char> tried, plain, faint;
    int losses = 0;     // of the samples tried, those not kept plainly
};

// Tries the samples at the indices which. Antialiased, a glyph is taken
// both ways round, dark on light and light on dark.
void Judge(Trial& t, const std::wstring& samples, const std::vector<size_t>& which,
           const std::vector<GlyphShape>& large)
{
    std::wstring text;
    for (size_t i : which)
        text += samples[i];
    const int n = (int)text.size();
    std::vector<GlyphShape> shapes(n), faintShapes(n);
    std::vector<GlyphInk> inks(n), lightInks(n);
    std::vector<char> plain(n, kShapeKept), faint(n, kShapeKept);
    for (int light = 0; light < (t.look.key.crisp ? 1 : 2); ++light) {
        g_ruler.MeasureAll(t.look.font, text.data(), n, light ? lightInks.data() : inks.data(),
                           shapes.data(), faintShapes.data(), light);
        for (int j = 0; j < n; ++j) {
            plain[j] = std::min<char>(plain[j], Likeness(shapes[j], large[which[j]]));
            faint[j] = std::min<char>(faint[j], Likeness(faintShapes[j], large[which[j]]));
        }
    }
    t.inks.resize(samples.size());
    t.tried.resize(samples.size(), 0);
    t.plain.resize(samples.size(), kShapeLost);
    t.faint.resize(samples.size(), kShapeLost);
    for (int j = 0; j < n; ++j) {
        const size_t i = which[j];
        t.inks[i] = inks[j];
        t.tried[i] = 1;
        t.plain[i] = plain[j];
        t.faint[i] = faint[j];
        t.losses += plain[j] != kShapeKept;
    }
}

// Keeps a made font and the ink of the glyphs it was tried on.
void Adopt(const Trial& t, const std::wstring& samples)
{
    if (t.made)
        g_fonts[t.look.key] = t.look.font;
    for (size_t i = 0; i < samples.size(); ++i)
        if (t.tried[i])
            g_inks[InkKey(t.look.font.hFont, samples[i], 0)] = t.inks[i];
}

// A flat glyph that every look draws too short (a dash that is a dot) in a
// longer copy of its own that keeps its shape and fits a box of w x h.
bool LargerCopy(CDC* pDC, const Fit& fit, wchar_t ch, const GlyphShape& large, int w, int h,
                Look* look)
{
    if (large.width < 2 * large.height || 2 * InkOf(fit.font, ch).width > w)
        return false;
    const std::wstring sample(1, ch);
    for (int em = fit.font.nEm + 1; 2 * em <= 3 * fit.font.nEm; ++em) {
        Trial t;
        FontKey key = fit.key;
        key.height = -em;
        t.look = TrialLook(pDC, key, &t.made);
        Judge(t, sample, {0}, {large});
        if (t.plain[0] == kShapeKept && t.inks[0].width <= w && t.inks[0].height <= h) {
            Adopt(t, sample);
            *look = t.look;
            return true;
        }
        if (t.made)
            DeleteObject(t.look.font.hFont);
    }
    return false;
}

// Where each sample is drawn when the trial face gives the look of the
// face: in that look where it keeps its shape there, else in the first look
// of the same weight that keeps it, plainly or in grey; in another weight
// only for a loss that shows (not for a gap of a pixel); a glyph made too
// short in a larger copy (kLarger); else as the face (kUnkept).
const int kLarger = -1, kUnkept = -2;
struct Plan {
    std::vector<int> at;
    int switches = 0;   // letters and digits drawn in another weight
};

Plan PlanLooks(const std::vector<Trial>& trials, size_t face, const std::wstring& samples)
{
    Plan plan;
    plan.at.assign(samples.size(), (int)face);
    const int weight = trials[face].look.key.weight;
    for (size_t i = 0; i < samples.size(); ++i) {
        const char here = trials[face].plain[i];
        if (here == kShapeKept)
            continue;
        int other = kUnkept;
        for (int pass = 0; pass < 4 && other == kUnkept; ++pass) {
            if (pass == 2 && here == kShapeGapped)
                break;
            for (size_t t = 0; t < trials.size() && other == kUnkept; ++t)
                if (trials[t].tried[i] && (trials[t].look.key.weight == weight) == (pass < 2)
                    && (pass % 2 ? trials[t].faint[i] : trials[t].plain[i]) == kShapeKept)
                    other = (int)t;
        }
        if (other >= 0 && trials[other].look.key.weight != weight && iswalnum(samples[i]))
            ++plan.switches;
        if (other == kUnkept && here == kShapeShort)
            other = kLarger;
        if (other != kUnkept || here != kShapeGapped)
            plan.at[i] = other;
    }
    return plan;
}

// Drawn without antialiasing at a small size, some faces lose strokes, dots
// or holes of their letters (hinting, or bitmaps of their own that are made
// for Chinese), and a few draw a stray pixel. The fit's font becomes the look
// of the face (without antialiasing or with, at its weight or heavier) that
// keeps the shape of clearly the most samples drawn large, drawing the
// fewest letters in another weight; each sample it loses is drawn as
// PlanLooks says. Returns how many letters and digits no look keeps.
int ChooseLooks(CDC* pDC, Fit& fit, const std::wstring& samples,
                const std::vector<GlyphShape>& large, int w, int h)
{
    if (fit.font.nEm >= kLargeGlyphEm)
        return 0;
    // Tried in this order: as fitted, antialiased, and both at the other
    // weight (heavier, or for a bold font its face's own, for single glyphs).
    std::vector<FontKey> keys;
    for (int other = 0; other < 2; ++other)
        for (int smooth = 0; smooth < 2; ++smooth) {
            keys.push_back(fit.key);
            keys.back().crisp = !smooth;
            if (other)
                keys.back().weight = fit.key.weight < FW_BOLD ? FW_BOLD : 0;
        }
    std::vector<size_t> all(samples.size()), lost, rest;
    for (size_t i = 0; i < samples.size(); ++i)
        all[i] = i;
    std::vector<Trial> trials(keys.size());
    trials[0].look = {fit.key, fit.font};
    Judge(trials[0], samples, all, large);
    if (!trials[0].losses)
        return 0;
    for (size_t i = 0; i < samples.size(); ++i)
        (trials[0].plain[i] == kShapeKept ? rest : lost).push_back(i);
    for (size_t t = 1; t < keys.size(); ++t) {
        trials[t].look = TrialLook(pDC, keys[t], &trials[t].made);
        Judge(trials[t], samples, lost, large);
    }
    // A few glyphs are better mended one by one than by a new look for all:
    // another look is tried on every sample where it keeps enough of those
    // the fitted one loses, and taken where it loses clearly fewer, without
    // drawing more letters in another weight.
    const int kClearlyFewer = 5;
    size_t face = 0;
    Plan plan = PlanLooks(trials, 0, samples);
    for (size_t t = 1; t < keys.size(); ++t) {
        if (keys[t].weight < fit.key.weight
            || (int)lost.size() - trials[t].losses < kClearlyFewer)
            continue;
        Judge(trials[t], samples, rest, large);
        const Plan other = PlanLooks(trials, t, samples);
        if (trials[t].losses + kClearlyFewer <= trials[0].losses
            && (other.switches < plan.switches
                || (other.switches == plan.switches
                    && trials[t].losses < trials[face].losses))) {
            face = t;
            plan = other;
        }
    }
    fit.key = trials[face].look.key;
    fit.font = trials[face].look.font;
    fit.lookOf.assign(samples.size(), 0);
    std::vector<bool> used(trials.size(), false);
    used[face] = true;
    int unkept = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        const int at = plan.at[i];
        Look look;
        if (at >= 0 && at != (int)face) {
            look = trials[at].look;
            used[at] = true;
        } else if (at == (int)face) {
            continue;
        } else if (at == kUnkept || !LargerCopy(pDC, fit, samples[i], large[i], w, h, &look)) {
            unkept += iswalnum(samples[i]) != 0;
            continue;
        }
        size_t n = 0;
        while (n < fit.others.size() && fit.others[n].font.hFont != look.font.hFont)
            ++n;
        if (n == fit.others.size())
            fit.others.push_back(look);
        fit.lookOf[i] = (unsigned char)(n + 1);
    }
    // Fonts kept are kept with their glyphs' inks; the others are dropped.
    for (size_t t = 0; t < trials.size(); ++t) {
        if (used[t])
            Adopt(trials[t], samples);
        else if (trials[t].made)
            DeleteObject(trials[t].look.font.hFont);
    }
    return unkept;
}

bool Fits(const Band& band, int w, int h) { return band.width <= w && band.Height() <= h; }

// The fit's font made smaller as a whole until the samples fit, above and
// below one baseline. A size that should fit and does not may owe it to a
// stray pixel.
void ShrinkToFit(CDC* pDC, Fit& fit, const std::wstring& samples, int w, int h,
                 bool allButWidest = false)
{
    for (int tries = 0; tries < 12; ++tries) {
        Band band = BandOf(fit.font, samples);
        if (!Fits(band, w, h) && fit.key.crisp && tries > 0) {
            FontKey smooth = fit.key;
            smooth.crisp = false;
            const std::vector<GlyphInk> smoothInks = TrialInks(pDC, smooth, samples);
            band = BandOf(fit.font, samples, &smoothInks);
        }
        if (allButWidest)
            band.width = band.second;
        const int em = SmallerEm(fit.font.nEm, band.width, band.Height(), w, h);
        if (Fits(band, w, h) || em < 1)
            break;
        fit.key.height = -em;
        fit.font = KeyedFont(pDC, fit.key);
    }
}

Fit MakeFit(CDC* pDC, const FontKey& key, int w, int h, bool half)
{
    std::wstring samples;
    if (half)
        for (wchar_t c = kFirstSample; c <= kLastSample; ++c)
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
    const Fit whole = fit;
    ShrinkToFit(pDC, fit, samples, w, h);
    if (half) {
        const std::vector<GlyphShape>& large = LargeShapes(pDC, key, samples);
        // Where letters lose their shape in every look, the face is too small
        // for them: the widest glyph alone gets a smaller copy of its own, if
        // that leaves the face large enough to keep more of them.
        const int unkept = ChooseLooks(pDC, fit, samples, large, w, h);
        if (unkept) {
            Fit larger = whole;
            ShrinkToFit(pDC, larger, samples, w, h, true);
            if (larger.font.nEm > fit.font.nEm
                && ChooseLooks(pDC, larger, samples, large, w, h) < unkept)
                fit = larger;
        }
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

GlyphSpot ShrinkGlyph(CDC* pDC, const Fit& fit, const Look& look, const wchar_t* text, int n,
                      int w, int h, bool half, bool raised)
{
    const SpotKey at{look.font.hFont, text[0], n > 1 ? text[1] : L'\0', w, h};
    auto found = g_spots.find(at);
    if (found != g_spots.end())
        return found->second;
    FontKey key = look.key;
    CharFontInfo font = look.font;
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
    const Look look = fit.LookOf(text[0]);
    const GlyphInk ink = InkOf(look.font, text, n);
    GlyphSpot spot = PlaceOn(fit, look.font, ink, width, height, half, raised);
    if (!spot.whole || (!ink.inked && text[0] > L' '))
        spot = ShrinkGlyph(pDC, fit, look, text, n, width, height, half, raised);
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

