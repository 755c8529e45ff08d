// One character in its box: font, colours (the code scanner for code lines),
// the lit parenthesis and brace pairs, and the annotation frame.
#include "view/ImportView.h"

#include <algorithm>
#include <string>

#include "app/DisplaySettings.h"
#include "view/Painter.h"

namespace {

const wchar_t kSongFace[] = L"宋体";
const wchar_t kKaiFace[] = L"方正楷体S-超大字符集";

// The point size a character is drawn at, in tenths.
int PointTenths(const CharItem* item) { return (int)(7.5 * item->size) - 5; }

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

// A character's glyph drawn on its own: its background (CLR_INVALID: none)
// over the glyph box, then the glyph clipped to the character's whole box.
void DrawGlyphAlone(HDC dc, const CharItem* item, const RECT& box, const RECT& whole,
                    const GlyphSpot& spot, COLORREF text, COLORREF fill)
{
    if (fill != CLR_INVALID) {
        SetBkColor(dc, fill);
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &box, NULL, 0, NULL);
    }
    const wchar_t units[2] = {item->ch, item->chLow};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text);
    SelectObject(dc, spot.font.hFont);
    ExtTextOutW(dc, box.left + spot.x, box.top + spot.y, ETO_CLIPPED, &whole, units,
                item->chLow ? 2u : 1u, NULL);
}

}  // namespace

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

// The character's whole box, which nothing of its glyph passes.
RECT CImportView::ItemBox(const CharItem* item)
{
    return {(int)item->left, PaintY((int)item->top), (int)item->right, PaintY((int)item->bottom)};
}

GlyphSpot CImportView::PlaceGlyph(CDC* pDC, const CharItem* item, const RECT& box, bool bold)
{
    const wchar_t text[2] = {item->ch, item->chLow};
    return FitGlyph(pDC, CharFace(item), PointTenths(item), bold, text, item->chLow ? 2 : 1,
                    box.right - box.left, box.bottom - box.top);
}

// The line's glyphs of each kind of box are measured together before they
// are placed.
void CImportView::MeasureLineGlyphs(ChunkNode* line, CDC* pDC)
{
    static std::wstring units[2];
    const CharItem* first[2] = {};
    units[0].clear();
    units[1].clear();
    for (const CharItem* it = line->pFirstItem; it; it = it->pNext) {
        if (it->ch <= 13 || it->chLow)
            continue;
        const int half = it->ch < 0x100;
        if (!first[half])
            first[half] = it;
        units[half] += it->ch;
    }
    for (int half = 0; half < 2; ++half) {
        if (!first[half])
            continue;
        const RECT box = GlyphBox(first[half]);
        MeasureGlyphs(pDC, CharFace(first[half]), PointTenths(first[half]), false,
                      units[half].data(), (int)units[half].size(), box.right - box.left,
                      box.bottom - box.top);
    }
}

// Runs the code scanner for an unselected character of a code line: call it
// once per character, in order.
CImportView::CharLook CImportView::LookOf(CharItem* item)
{
    const DisplaySettingsBlock& ds = DisplaySettings;
    const bool code = item->pOwner && item->pOwner->nCode;
    CharLook look;
    if (item->bSelected) {
        look.text = RGB(255, 255, 255);
        look.fill = RGB(0, 0, 0);
    } else if (!code) {
        look.text = ds.clrText;
    } else {
        CodeColour colour = ScanCodeChar(g_codeScan, item, WordTablePointers());
        look.text = ToneColour(colour);
        look.bold = colour.bBold;
    }
    // A lit pair shows its colour behind the character where the background
    // is drawn: on code lines and selected characters. (A code line's own
    // background, clrCBg, lies under its characters already.)
    const wchar_t ch = item->ch;
    if (code || item->bSelected) {
        if ((ch == L'(' || ch == L')') && IsCaretInsideParens(item))
            look.fill = ds.clrCurInXiao;
        else if ((ch == L'{' && IsCaretInsideBraceOpen(item))
                 || (ch == L'}' && IsCaretInsideBraceClose(item)))
            look.fill = ds.clrCurInDa;
    }
    return look;
}

// One character on its own: its background over the glyph box where it has
// one, then the glyph, then its annotation frame.
void CImportView::DrawCharacter(CDC* pDC, CharItem* item, const CharLook& look)
{
    HDC dc = pDC->GetSafeHdc();
    if (look.bold && (item->nMark || item->nStyle))
        m_vecBoldMarked.push_back(item);
    const RECT box = GlyphBox(item);
    DrawGlyphAlone(dc, item, box, ItemBox(item), PlaceGlyph(pDC, item, box, look.bold), look.text,
                   look.fill);
    if (item->nStyle)
        DrawCharStyle(pDC, item);
}

void CImportView::PaintCharacter(CharItem* item, CDC* pDC)
{
    if (!item || item->ch <= 13)
        return;
    DrawCharacter(pDC, item, LookOf(item));
}

// The characters of a run again in white over their mark frame, each in the
// font, weight and place the page gave it.
void CImportView::DrawCharsOverFrame(CDC* pDC, CharItem* first, const CharItem* last)
{
    HDC dc = pDC->GetSafeHdc();
    static GlyphBatch batch;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    for (CharItem* item = first; item; item = item->pNext) {
        if (item->ch > 13) {
            const bool bold = std::find(m_vecBoldMarked.begin(), m_vecBoldMarked.end(), item)
                != m_vecBoldMarked.end();
            const RECT box = GlyphBox(item);
            const GlyphSpot spot = PlaceGlyph(pDC, item, box, bold);
            if (g_bBatchPlainText && spot.whole && !item->chLow && !item->bSelected) {
                batch.Add(spot.font.hFont, RGB(255, 255, 255), box.left + spot.x,
                          box.top + spot.y, item->ch, ItemBox(item));
            } else {
                DrawGlyphAlone(dc, item, box, ItemBox(item), spot, RGB(255, 255, 255),
                               item->bSelected ? RGB(0, 0, 0) : CLR_INVALID);
            }
        }
        if (item == last)
            break;
    }
    batch.Flush(dc);
    SetBkMode(dc, oldMode);
}

// Characters that need nothing but their glyph are gathered and go out in one
// call per font and colour at the end of the line; the others are drawn as
// they come. No glyph reaches another's box, so the order makes no difference.
void CImportView::PaintLineCharacters(ChunkNode* line, CDC* pDC)
{
    static GlyphBatch batch;
    m_vecBoldMarked.clear();
    if (g_bBatchPlainText)
        MeasureLineGlyphs(line, pDC);
    WORD prevMark = 0;
    for (CharItem* item = line->pFirstItem; item; item = item->pNext) {
        if (item->nMark)
            CollectMarkRun(item, prevMark);
        prevMark = item->nMark;
        if (item->ch <= 13)
            continue;
        const CharLook look = LookOf(item);
        if (g_bBatchPlainText && look.fill == CLR_INVALID && !item->nStyle && !item->chLow) {
            const RECT box = GlyphBox(item);
            const GlyphSpot spot = PlaceGlyph(pDC, item, box, look.bold);
            if (spot.whole) {
                if (look.bold && item->nMark)
                    m_vecBoldMarked.push_back(item);
                batch.Add(spot.font.hFont, look.text, box.left + spot.x, box.top + spot.y,
                          item->ch, ItemBox(item));
                continue;
            }
        }
        DrawCharacter(pDC, item, look);
    }
    batch.Flush(pDC->GetSafeHdc());
}
