// One character in its box: font, colours (the code scanner for code lines),
// the lit parenthesis and brace pairs, and the annotation frame.
#include "view/ImportView.h"

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "app/DisplaySettings.h"
#include "view/Painter.h"

namespace {

const wchar_t kSongFace[] = L"宋体";
const wchar_t kKaiFace[] = L"方正楷体S-超大字符集";

struct FontKey {
    std::wstring face;
    int tenths;
    int weight;
    int dpi;
    int width = 0;      // lfWidth of a narrowed copy; 0: as made
    int height = 0;     // lfHeight (cell height) of a lowered copy; 0: as made
    bool operator<(const FontKey& o) const
    {
        return std::tie(face, tenths, weight, dpi, width, height)
            < std::tie(o.face, o.tenths, o.weight, o.dpi, o.width, o.height);
    }
};

// Fonts stay made between paints: creating one per character is the
// costliest part of painting text. Many sizes and faces in a long session
// are dropped together at the end of a paint, with the surfaces that hold
// them.
//
// Each kept font also stays selected in a tiny surface of its own: Wine keeps
// a font's rendered glyphs only while a surface holds it, and for just a few
// fonts besides. A page drawn with more (narrowed and lowered copies) would
// otherwise render every glyph afresh on each paint.
struct KeptFont {
    CharFontInfo info;
    HDC holder = NULL;
    HBITMAP holderBitmap = NULL;
};
std::map<FontKey, KeptFont> g_fonts;
const size_t kMaxFonts = 96;

// The last font asked for, which the next character nearly always wants too.
struct LastFont {
    HDC dc = NULL;
    int dpi = 0;
    FontKey key;
    CharFontInfo info;
} g_last;

CharFontInfo KeyedFont(CDC* pDC, const FontKey& key);

CharFontInfo MakeFont(CDC* pDC, const FontKey& key)
{
    CFont font;
    if (key.weight || key.width || key.height) {
        FontKey plain{key.face, key.tenths, 0, key.dpi};
        LOGFONT lf = {};
        GetObjectW(KeyedFont(pDC, plain).hFont, sizeof(lf), &lf);
        if (key.weight)
            lf.lfWeight = key.weight;
        if (key.width)
            lf.lfWidth = key.width;
        if (key.height)
            lf.lfHeight = key.height;
        font.CreateFontIndirect(&lf);
    } else {
        font.CreatePointFont(key.tenths, key.face.c_str(), pDC);
    }
    CharFontInfo info;
    info.hFont = (HFONT)font.Detach();
    HDC dc = pDC->GetSafeHdc();
    HGDIOBJ old = SelectObject(dc, info.hFont);
    TEXTMETRICW tm = {};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    info.nHeight = tm.tmHeight;
    info.nAscent = tm.tmAscent;
    info.nAveWidth = tm.tmAveCharWidth;
    return info;
}

CharFontInfo KeyedFont(CDC* pDC, const FontKey& key)
{
    auto found = g_fonts.find(key);
    if (found != g_fonts.end())
        return found->second.info;
    KeptFont kept;
    kept.info = MakeFont(pDC, key);
    HDC dc = pDC->GetSafeHdc();
    kept.holder = CreateCompatibleDC(dc);
    kept.holderBitmap = CreateCompatibleBitmap(dc, 1, 1);
    if (kept.holder) {
        SelectObject(kept.holder, kept.holderBitmap);
        SelectObject(kept.holder, kept.info.hFont);
    }
    g_fonts[key] = kept;
    return kept.info;
}

// A glyph's ink from its origin: left and width across, top (below the
// cell's top) and height down; per font and unit.
struct GlyphInk {
    int left = 0;
    int width = 0;
    int top = 0;
    int height = 0;
    bool known = false;
};
std::unordered_map<uint64_t, GlyphInk> g_inks;

GlyphInk InkOf(HDC dc, const CharFontInfo& font, wchar_t ch)
{
    uint64_t key = ((uint64_t)(uintptr_t)font.hFont << 16) | ch;
    auto found = g_inks.find(key);
    if (found != g_inks.end())
        return found->second;
    HGDIOBJ old = SelectObject(dc, font.hFont);
    GLYPHMETRICS gm = {};
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    GlyphInk ink;
    if (GetGlyphOutlineW(dc, ch, GGO_METRICS, &gm, 0, NULL, &identity) != GDI_ERROR) {
        ink.left = gm.gmptGlyphOrigin.x;
        ink.width = (int)gm.gmBlackBoxX;
        ink.top = font.nAscent - gm.gmptGlyphOrigin.y;
        ink.height = (int)gm.gmBlackBoxY;
        ink.known = true;
    }
    SelectObject(dc, old);
    g_inks[key] = ink;
    return ink;
}

// Latin letters, digits and signs share one narrowed copy of a font per box
// width, as a face with half-width Latin would draw them: every printable
// ASCII glyph of it fits the width. 0: the font fits as it is.
std::map<std::pair<FontKey, int>, int> g_latinWidths;

int LatinWidth(CDC* pDC, const FontKey& base, int avail)
{
    auto found = g_latinWidths.find({base, avail});
    if (found != g_latinWidths.end())
        return found->second;
    HDC dc = pDC->GetSafeHdc();
    auto widest = [&](const FontKey& key) {
        CharFontInfo font = KeyedFont(pDC, key);
        int w = 0;
        for (wchar_t c = 0x21; c < 0x7F; ++c)
            w = std::max(w, InkOf(dc, font, c).width);
        return w;
    };
    int width = 0;
    const int w = widest(base);
    if (w > avail) {
        FontKey narrow = base;
        narrow.width = std::max(1, KeyedFont(pDC, base).nAveWidth * avail / w);
        while (narrow.width > 1 && widest(narrow) > avail)
            --narrow.width;
        width = narrow.width;
    }
    g_latinWidths[{base, avail}] = width;
    return width;
}

struct SpotKey {
    HFONT base;
    wchar_t ch;
    int boxWidth, boxHeight;
    bool raised;
    bool operator<(const SpotKey& o) const
    {
        return std::tie(base, ch, boxWidth, boxHeight, raised)
            < std::tie(o.base, o.ch, o.boxWidth, o.boxHeight, o.raised);
    }
};
std::map<SpotKey, GlyphSpot> g_spots;

// The glyph keeps the place the painter gives it (raised: at the box's left,
// 2 px above its top; otherwise at its left, centred down) and is only moved
// as far as needed to come inside the box. A glyph too wide or too tall for
// the box is drawn from a narrowed or lowered copy of its font.
GlyphSpot FitGlyph(CDC* pDC, const FontKey& base, const SpotKey& at)
{
    auto found = g_spots.find(at);
    if (found != g_spots.end())
        return found->second;
    HDC dc = pDC->GetSafeHdc();
    const int availW = at.boxWidth - 2;
    const int availH = at.boxHeight - 2;
    GlyphSpot spot;
    spot.font = KeyedFont(pDC, base);
    spot.y = at.raised ? -2 : at.boxHeight / 2 - spot.font.nHeight / 2;
    FontKey key = base;
    if (availW > 0 && availH > 0 && at.ch < 0x100)
        key.width = LatinWidth(pDC, base, availW);
    for (int tries = 0; availW > 0 && availH > 0 && tries < 12; ++tries) {
        CharFontInfo font = KeyedFont(pDC, key);
        GlyphInk ink = InkOf(dc, font, at.ch);
        if (!ink.known)
            break;
        if (ink.width <= availW && ink.height <= availH) {
            const int y = at.raised ? -2 : at.boxHeight / 2 - font.nHeight / 2;
            int x = 0;
            x += std::max(0, 1 - (x + ink.left));
            x -= std::max(0, x + ink.left + ink.width - (at.boxWidth - 1));
            int top = y + ink.top;
            int dy = std::max(0, 1 - top);
            dy -= std::max(0, top + dy + ink.height - (at.boxHeight - 1));
            spot = {font, x, y + dy, true};
            break;
        }
        if (ink.width > availW) {
            const int now = key.width ? key.width : font.nAveWidth;
            key.width = std::max(1, std::min(now - 1, now * availW / ink.width));
        }
        if (ink.height > availH) {
            const int now = key.height ? key.height : font.nHeight;
            key.height = std::max(1, std::min(now - 1, now * availH / ink.height));
        }
    }
    g_spots[at] = spot;
    return spot;
}

// Characters drawn at their own place, raised by 2 px.
bool IsRaisedChar(wchar_t ch)
{
    switch (ch) {
    case L'&': case L'j': case L'_': case L'(': case L')': case L'{': case L'}':
        return true;
    }
    return false;
}

// Characters a text line draws with one call per run; the rest have extra
// layers or a placement of their own.
bool IsPlainTextChar(const CharItem* item)
{
    return !IsRaisedChar(item->ch) && item->ch > 13 && !item->chLow && !item->bSelected
        && !item->nStyle;
}

COLORREF ToneColour(const CodeColour& c)
{
    const DisplaySettingsBlock& ds = DisplaySettings;
    switch (c.tone) {
    case CodeTone::String: return ds.clrYinhao;
    case CodeTone::Comment: return ds.clrZhuwen;
    case CodeTone::Paren: return ds.clrXiaokuohao;
    case CodeTone::Brace: return ds.clrDakuohao;
    case CodeTone::Digit: return ds.clrDigit;
    case CodeTone::Plain: return ds.clrCText;
    case CodeTone::Word: break;
    }
    switch (c.nClass) {
    case kWordStatement: return ds.clrControl;
    case kWordType: return ds.clrInt;
    case kWordLibrary: return ds.clrFun;
    case kWordLiteral: return ds.clrTrue;
    case kWordLearnedVariable: return ds.clrVar;
    case kWordLearnedFunction: return ds.clrDFun;
    }
    return ds.clrCText;
}

}  // namespace

CharFontInfo CharFont(CDC* pDC, const wchar_t* face, int tenths, bool bold)
{
    if (!face)
        face = L"";
    HDC dc = pDC->GetSafeHdc();
    if (dc != g_last.dc) {
        g_last = LastFont();
        g_last.dc = dc;
        g_last.dpi = pDC->GetDeviceCaps(LOGPIXELSY);
    }
    const int weight = bold ? 800 : 0;
    if (g_last.info.hFont && g_last.key.tenths == tenths && g_last.key.weight == weight
        && g_last.key.face == face)
        return g_last.info;
    FontKey key{face, tenths, weight, g_last.dpi};
    CharFontInfo info = KeyedFont(pDC, key);
    g_last.key = key;
    g_last.info = info;
    return info;
}

bool g_bBatchPlainText = true;

void EndCharFonts(CDC* pDC, HFONT original)
{
    if (original)
        SelectObject(pDC->GetSafeHdc(), original);
    if (g_fonts.size() <= kMaxFonts)
        return;
    for (auto& f : g_fonts) {
        if (f.second.holder)
            DeleteDC(f.second.holder);
        DeleteObject(f.second.holderBitmap);
        DeleteObject(f.second.info.hFont);
    }
    g_fonts.clear();
    g_inks.clear();
    g_latinWidths.clear();
    g_spots.clear();
    g_last = LastFont();
}

CodeWordTables CImportView::WordTablePointers()
{
    CodeWordTables t;
    t.pLearnedFunctions = &mapLearnedFunctions;
    t.pLearnedVariables = &mapLearnedVariables;
    t.pLiteralWords = &mapLiteralWords;
    t.pStatementWords = &mapStatementWords;
    t.pTypeWords = &mapTypeWords;
    t.pLibraryWords = &mapLibraryWords;
    return t;
}

bool CImportView::IsCaretInsideParens(CharItem* c) { return CaretInsideParens(c, m_pCurItem); }
bool CImportView::IsCaretInsideBraceOpen(CharItem* c) { return CaretInsideBraceOpen(c, m_pCurLine); }
bool CImportView::IsCaretInsideBraceClose(CharItem* c) { return CaretInsideBraceClose(c, m_pCurLine); }
bool CImportView::IsDeclarationLine(ChunkNode* line) { return ::IsDeclarationLine(line, &mapTypeWords); }

bool CImportView::IsFunctionDeclaration(ChunkNode* line, CharItem* next)
{
    return ::IsFunctionDeclaration(line, &mapTypeWords, next);
}

CPoint CImportView::DocToClientPoint(CPoint pt)
{
    CPoint scroll = m_bPainting ? CPoint(m_nPaintScrollX, m_nPaintScrollY) : GetScrollPosition();
    return CPoint(pt.x - scroll.x, pt.y - scroll.y);
}

CPoint CImportView::ClientToDocPoint(CPoint pt)
{
    CPoint scroll = m_bPainting ? CPoint(m_nPaintScrollX, m_nPaintScrollY) : GetScrollPosition();
    return CPoint(pt.x + scroll.x, pt.y + scroll.y);
}

// The page surface keeps document x and client y: only top and bottom move.
CRect CImportView::DocToClientRect(CRect rc)
{
    int dy = DocToClientPoint(CPoint(0, 0)).y;
    return CRect(rc.left, rc.top + dy, rc.right, rc.bottom + dy);
}

const wchar_t* CImportView::CharFace(const CharItem* item) const
{
    const ChunkNode* line = item->pOwner;
    if (!(line && line->nCode))
        return m_szFontFace[0] ? m_szFontFace : (item->ch < 0x100 ? kSongFace : kKaiFace);
    return (item->chLow || !m_szCodeFontFace[0]) ? kSongFace : m_szCodeFontFace;
}

// The box a character's glyph is drawn in: its own box less a pixel all round.
RECT CImportView::GlyphBox(const CharItem* item)
{
    return {(int)item->left + 1, PaintY((int)(item->top + 1)), (int)item->right - 1,
            PaintY((int)(item->bottom - 1))};
}

GlyphSpot CImportView::PlaceGlyph(CDC* pDC, const CharItem* item, const RECT& box, bool bold)
{
    const int tenths = (int)(7.5 * item->size) - 5;
    CharFontInfo base = CharFont(pDC, CharFace(item), tenths, bold);
    const bool raised = IsRaisedChar(item->ch);
    if (item->chLow) {
        // A surrogate pair has no one glyph to measure: it keeps the plain place.
        GlyphSpot spot;
        spot.font = base;
        spot.y = raised ? -2 : (box.bottom - box.top) / 2 - base.nHeight / 2;
        return spot;
    }
    return FitGlyph(pDC, g_last.key,
                    {base.hFont, item->ch, box.right - box.left, box.bottom - box.top, raised});
}

void CImportView::PaintCharacter(CharItem* item, CDC* pDC)
{
    if (!item || item->ch <= 13)
        return;
    const DisplaySettingsBlock& ds = DisplaySettings;
    HDC dc = pDC->GetSafeHdc();
    ChunkNode* line = item->pOwner;
    const bool code = line && line->nCode;

    bool bold = false;
    if (item->bSelected) {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, RGB(0, 0, 0));
        SetTextColor(dc, RGB(255, 255, 255));
    } else if (!code) {
        SetBkMode(dc, TRANSPARENT);
        SetBkColor(dc, ds.clrBg);
        SetTextColor(dc, ds.clrText);
    } else {
        CodeColour colour = ScanCodeChar(g_codeScan, item, WordTablePointers());
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, ds.clrCBg);
        SetTextColor(dc, ToneColour(colour));
        bold = colour.bBold;
    }

    const RECT box = GlyphBox(item);
    const GlyphSpot spot = PlaceGlyph(pDC, item, box, bold);
    SelectObject(dc, spot.font.hFont);
    const int x = box.left + spot.x;
    const int y = box.top + spot.y;
    wchar_t text[3] = {item->ch, item->chLow, 0};
    const int n = item->chLow ? 2 : 1;
    const wchar_t ch = item->ch;
    COLORREF lit = CLR_INVALID;
    if ((ch == L'(' || ch == L')') && IsCaretInsideParens(item))
        lit = ds.clrCurInXiao;
    else if ((ch == L'{' && IsCaretInsideBraceOpen(item))
             || (ch == L'}' && IsCaretInsideBraceClose(item)))
        lit = ds.clrCurInDa;
    const COLORREF old = lit != CLR_INVALID ? SetBkColor(dc, lit) : CLR_INVALID;
    // A selected character is inverted over its whole box. Nothing, not even
    // the background of a font's tall cell, reaches past the box.
    ExtTextOutW(dc, x, y, ETO_CLIPPED | (item->bSelected ? ETO_OPAQUE : 0), &box, text, (UINT)n,
                NULL);
    if (old != CLR_INVALID)
        SetBkColor(dc, old);
    if (item->nStyle)
        DrawCharStyle(pDC, item);
}

void CImportView::DrawCharOverFrame(CDC* pDC, const CharItem* item)
{
    HDC dc = pDC->GetSafeHdc();
    const RECT box = GlyphBox(item);
    const GlyphSpot spot = PlaceGlyph(pDC, item, box, false);
    wchar_t text[3] = {item->ch, item->chLow, 0};
    const int oldMode = SetBkMode(dc, item->bSelected ? OPAQUE : TRANSPARENT);
    const COLORREF oldBack = SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(255, 255, 255));
    SelectObject(dc, spot.font.hFont);
    ExtTextOutW(dc, box.left + spot.x, box.top + spot.y,
                ETO_CLIPPED | (item->bSelected ? ETO_OPAQUE : 0), &box, text,
                item->chLow ? 2u : 1u, NULL);
    SetBkColor(dc, oldBack);
    SetBkMode(dc, oldMode);
}

// Plain characters of a text line are gathered until a character that needs
// a call of its own; then the glyphs of one font, height and row go out in a
// single call, each at its own place. A glyph is gathered only when it lies
// whole inside its own box, so clipping such a call to the bounds of its boxes
// gives the pixels of one call per character, each clipped to its box.
void CImportView::PaintLineCharacters(ChunkNode* line, CDC* pDC)
{
    const DisplaySettingsBlock& ds = DisplaySettings;
    HDC dc = pDC->GetSafeHdc();
    const bool batching = g_bBatchPlainText && !line->nCode;
    struct Pending {
        HFONT font;     // null once drawn
        int x, y;
        RECT box;
        wchar_t ch;
    };
    static std::vector<Pending> run;
    static std::vector<wchar_t> text;
    static std::vector<INT> dx;
    run.clear();
    auto flush = [&] {
        if (run.empty())
            return;
        SetBkMode(dc, TRANSPARENT);
        SetBkColor(dc, ds.clrBg);
        SetTextColor(dc, ds.clrText);
        for (size_t i = 0; i < run.size(); ++i) {
            if (!run[i].font)
                continue;
            const Pending first = run[i];
            RECT bounds = first.box;
            int lastX = first.x;
            text.clear();
            dx.clear();
            for (size_t j = i; j < run.size(); ++j) {
                Pending& g = run[j];
                if (g.font != first.font || g.y != first.y || g.box.top != first.box.top
                    || g.box.bottom != first.box.bottom)
                    continue;
                if (!text.empty())
                    dx.push_back(g.x - lastX);
                text.push_back(g.ch);
                lastX = g.x;
                bounds.right = g.box.right;
                g.font = NULL;
            }
            dx.push_back(bounds.right - lastX);
            SelectObject(dc, first.font);
            ExtTextOutW(dc, first.x, first.y, ETO_CLIPPED, &bounds, text.data(),
                        (UINT)text.size(), dx.data());
        }
        run.clear();
    };

    WORD prevMark = 0;
    for (CharItem* item = line->pFirstItem; item; item = item->pNext) {
        if (item->nMark)
            CollectMarkRun(item, prevMark);
        prevMark = item->nMark;
        if (batching && IsPlainTextChar(item)) {
            const RECT box = GlyphBox(item);
            if (box.right > box.left) {
                const GlyphSpot spot = PlaceGlyph(pDC, item, box, false);
                if (spot.whole) {
                    // Boxes of one call run left to right.
                    if (!run.empty() && box.left < run.back().box.right)
                        flush();
                    run.push_back({spot.font.hFont, box.left + spot.x, box.top + spot.y, box,
                                   item->ch});
                    continue;
                }
            }
        }
        flush();
        PaintCharacter(item, pDC);
    }
    flush();
}
