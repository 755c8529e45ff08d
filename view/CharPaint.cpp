// One character in its box: font, colours (the code scanner for code lines),
// the lit parenthesis and brace pairs, and the annotation frame.
#include "view/ImportView.h"

#include <cstring>
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
    bool operator<(const FontKey& o) const
    {
        return std::tie(face, tenths, weight, dpi) < std::tie(o.face, o.tenths, o.weight, o.dpi);
    }
};

// Fonts stay made between paints: creating one per character is the
// costliest part of painting text. Many sizes and faces in a long session
// are dropped together once no surface holds any of them.
std::map<FontKey, CharFontInfo> g_fonts;
const size_t kMaxFonts = 96;

// The last font asked for, which the next character nearly always wants too.
struct LastFont {
    HDC dc = NULL;
    int dpi = 0;
    FontKey key;
    CharFontInfo info;
} g_last;

CharFontInfo MakeFont(CDC* pDC, const FontKey& key)
{
    CFont font;
    if (key.weight) {
        LOGFONT lf = {};
        GetObjectW(CharFont(pDC, key.face.c_str(), key.tenths).hFont, sizeof(lf), &lf);
        lf.lfWeight = key.weight;
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
    return info;
}

// Horizontal extent of a glyph's ink from its origin, per font and unit.
struct GlyphInk {
    int left = 0;
    int width = 0;
    bool known = false;
};
std::unordered_map<uint64_t, GlyphInk> g_inks;

GlyphInk InkOf(HDC dc, HFONT font, wchar_t ch)
{
    uint64_t key = ((uint64_t)(uintptr_t)font << 16) | ch;
    auto found = g_inks.find(key);
    if (found != g_inks.end())
        return found->second;
    HGDIOBJ old = SelectObject(dc, font);
    GLYPHMETRICS gm = {};
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    GlyphInk ink;
    if (GetGlyphOutlineW(dc, ch, GGO_METRICS, &gm, 0, NULL, &identity) != GDI_ERROR) {
        ink.left = gm.gmptGlyphOrigin.x;
        ink.width = (int)gm.gmBlackBoxX;
        ink.known = true;
    }
    SelectObject(dc, old);
    g_inks[key] = ink;
    return ink;
}

// Characters a text line draws with DrawText at the common place; the rest
// have their own placement or extra layers.
bool IsPlainTextChar(const CharItem* item)
{
    switch (item->ch) {
    case L'&': case L'j': case L'_': case L'(': case L')': case L'{': case L'}':
        return false;
    }
    return item->ch > 13 && !item->chLow && !item->bSelected && !item->nStyle;
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
    auto found = g_fonts.find(key);
    CharFontInfo info = found != g_fonts.end() ? found->second : MakeFont(pDC, key);
    if (found == g_fonts.end())
        g_fonts[key] = info;
    g_last.key = key;
    g_last.info = info;
    return info;
}

// DrawText's own placement across the box: half the room that is left.
void DrawTextCentred(HDC dc, const wchar_t* text, int n, const RECT& box)
{
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, n, &size);
    const int x = (box.left + box.right - size.cx) / 2;
    ExtTextOutW(dc, x, box.top, ETO_CLIPPED, &box, text, (UINT)n, NULL);
}

// DrawText's own placement for one line centred vertically: half the box
// down, less half the cell height, each halved on its own.
void DrawTextInBox(HDC dc, const wchar_t* text, int n, const RECT& box, int fontHeight)
{
    const int y = box.top + (box.bottom - box.top) / 2 - fontHeight / 2;
    ExtTextOutW(dc, box.left, y, ETO_CLIPPED, &box, text, (UINT)n, NULL);
}

bool g_bBatchPlainText = true;

void EndCharFonts(CDC* pDC, HFONT original)
{
    if (original)
        SelectObject(pDC->GetSafeHdc(), original);
    if (g_fonts.size() <= kMaxFonts)
        return;
    for (auto& f : g_fonts)
        DeleteObject(f.second.hFont);
    g_fonts.clear();
    g_inks.clear();
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

void CImportView::PaintCharacter(CharItem* item, CDC* pDC)
{
    if (!item || item->ch <= 13)
        return;
    const DisplaySettingsBlock& ds = DisplaySettings;
    HDC dc = pDC->GetSafeHdc();
    ChunkNode* line = item->pOwner;
    const bool code = line && line->nCode;

    const wchar_t* face = CharFace(item);
    const int tenths = (int)(7.5 * item->size) - 5;
    CharFontInfo font = CharFont(pDC, face, tenths);

    if (code) {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, ds.clrBg);
        SetTextColor(dc, ds.clrText);
    } else {
        SetBkMode(dc, TRANSPARENT);
    }
    SelectObject(dc, font.hFont);

    bool bold = false;
    if (item->bSelected) {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, RGB(0, 0, 0));
        SetTextColor(dc, RGB(255, 255, 255));
    } else if (!code) {
        SetBkColor(dc, ds.clrBg);
        SetTextColor(dc, ds.clrText);
    } else {
        CodeColour colour = ScanCodeChar(g_codeScan, item, WordTablePointers());
        SetBkColor(dc, ds.clrCBg);
        SetTextColor(dc, ToneColour(colour));
        if (colour.bBold) {
            CharFontInfo heavy = CharFont(pDC, face, tenths, true);
            SelectObject(dc, heavy.hFont);
            font.nHeight = heavy.nHeight;
            bold = true;
        }
    }

    RECT box = {(int)item->left + 1, PaintY((int)(item->top + 1)), (int)item->right - 1,
                PaintY((int)(item->bottom - 1))};
    wchar_t text[3] = {item->ch, item->chLow, 0};
    const int n = item->chLow ? 2 : 1;
    const wchar_t ch = item->ch;
    if (ch == L'&' || ch == L'j' || ch == L'_') {
        TextOutW(dc, box.left, box.top - 2, text, n);
    } else if ((ch == L'(' || ch == L')') && IsCaretInsideParens(item)) {
        COLORREF old = SetBkColor(dc, ds.clrCurInXiao);
        TextOutW(dc, box.left, box.top - 2, text, n);
        SetBkColor(dc, old);
    } else if (ch == L'{' || ch == L'}') {
        bool lit = ch == L'{' ? IsCaretInsideBraceOpen(item) : IsCaretInsideBraceClose(item);
        COLORREF old = 0;
        if (lit)
            old = SetBkColor(dc, ds.clrCurInDa);
        TextOutW(dc, box.left, box.top - 2, text, n);
        if (lit)
            SetBkColor(dc, old);
    } else {
        DrawTextInBox(dc, text, n, box, font.nHeight);
    }

    if (bold)
        SelectObject(dc, font.hFont);
    if (item->nStyle)
        DrawCharStyle(pDC, item);
}

// Plain characters of a text line are gathered into runs of one font and one
// row and drawn by a single call, each glyph at its own box. A run is clipped
// to its boxes (to their bounds when every glyph's ink stays inside its own
// box, else to a region made of them), and a glyph joins a run only when its
// ink cannot reach another box of the run: the pixels are those of one call
// per character, each clipped to its box. Everything else is painted one by one.
void CImportView::PaintLineCharacters(ChunkNode* line, CDC* pDC)
{
    const DisplaySettingsBlock& ds = DisplaySettings;
    HDC dc = pDC->GetSafeHdc();
    const bool batching = g_bBatchPlainText && !line->nCode;
    static std::vector<wchar_t> text;
    static std::vector<INT> dx;
    static std::vector<RECT> boxes;
    text.clear();
    boxes.clear();
    CharFontInfo runFont;
    int inkRight = 0;           // right end of the last glyph's ink
    bool spills = false;        // some glyph's ink leaves its own box
    auto flush = [&] {
        if (text.empty())
            return;
        for (size_t i = 0; i + 1 < boxes.size(); ++i)
            dx[i] = boxes[i + 1].left - boxes[i].left;
        dx[boxes.size() - 1] = boxes.back().right - boxes.back().left;
        SelectObject(dc, runFont.hFont);
        SetBkMode(dc, TRANSPARENT);
        SetBkColor(dc, ds.clrBg);
        SetTextColor(dc, ds.clrText);
        RECT bounds = {boxes.front().left, boxes.front().top, boxes.back().right,
                       boxes.front().bottom};
        const int y = bounds.top + (bounds.bottom - bounds.top) / 2 - runFont.nHeight / 2;
        HRGN saved = NULL;
        bool clipped = false;
        if (spills) {
            std::vector<BYTE> data(sizeof(RGNDATAHEADER) + boxes.size() * sizeof(RECT));
            RGNDATA* rd = (RGNDATA*)data.data();
            rd->rdh.dwSize = sizeof(RGNDATAHEADER);
            rd->rdh.iType = RDH_RECTANGLES;
            rd->rdh.nCount = (DWORD)boxes.size();
            rd->rdh.rcBound = bounds;
            memcpy(rd->Buffer, boxes.data(), boxes.size() * sizeof(RECT));
            if (HRGN rgn = ExtCreateRegion(NULL, (DWORD)data.size(), rd)) {
                saved = CreateRectRgn(0, 0, 0, 0);
                if (GetClipRgn(dc, saved) != 1) {
                    DeleteObject(saved);
                    saved = NULL;
                }
                clipped = ExtSelectClipRgn(dc, rgn, RGN_AND) != ERROR;
                DeleteObject(rgn);
            }
        }
        if (!spills || clipped)
            ExtTextOutW(dc, bounds.left, y, ETO_CLIPPED, &bounds, text.data(),
                        (UINT)text.size(), dx.data());
        if (clipped)
            SelectClipRgn(dc, saved);
        if (saved)
            DeleteObject(saved);
        // A run that could not be clipped goes out one character at a time.
        if (spills && !clipped)
            for (size_t i = 0; i < text.size(); ++i)
                DrawTextInBox(dc, &text[i], 1, boxes[i], runFont.nHeight);
        text.clear();
        boxes.clear();
        spills = false;
    };

    WORD prevMark = 0;
    for (CharItem* item = line->pFirstItem; item; item = item->pNext) {
        if (item->nMark)
            CollectMarkRun(item, prevMark);
        prevMark = item->nMark;
        if (batching && IsPlainTextChar(item)) {
            CharFontInfo font = CharFont(pDC, CharFace(item), (int)(7.5 * item->size) - 5);
            RECT box = {(int)item->left + 1, PaintY((int)(item->top + 1)), (int)item->right - 1,
                        PaintY((int)(item->bottom - 1))};
            GlyphInk ink = InkOf(dc, font.hFont, item->ch);
            if (ink.known && box.right > box.left) {
                const int inkLeft = box.left + ink.left;
                if (!text.empty()
                    && (font.hFont != runFont.hFont || box.top != boxes.back().top
                        || box.bottom != boxes.back().bottom || box.left < boxes.back().right
                        || inkLeft < boxes.back().right || inkRight > box.left))
                    flush();
                runFont = font;
                text.push_back(item->ch);
                boxes.push_back(box);
                inkRight = inkLeft + ink.width;
                spills = spills || inkLeft < box.left || inkRight > box.right;
                if (dx.size() < text.size())
                    dx.resize(text.size() * 2);
                continue;
            }
        }
        flush();
        PaintCharacter(item, pDC);
    }
    flush();
}
