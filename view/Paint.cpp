// The page is painted off screen, layer by layer, and copied to the window in
// one block transfer so it never flickers.
#include "view/ImportView.h"

#include "app/DisplaySettings.h"
#include "controls/PictureCache.h"
#include "view/Painter.h"

int g_bPagePainting = 0;

ChunkNode* NextInWalk(ChunkNode* node, const ChunkNode* root)
{
    if (node->pNext)
        return node->pNext;
    for (ChunkNode* p = node->pParent; p && p != root && p->nLevel > 1; p = p->pParent)
        if (p->pNext)
            return p->pNext;
    return nullptr;
}

bool IsPictureFile(const CString& path)
{
    return !path.IsEmpty()
        && (path.Find(L".jpg") >= 0 || path.Find(L".bmp") >= 0 || path.Find(L".tif") >= 0);
}

namespace {

// Clears the painting flags however the paint ends.
struct PaintingScope {
    int& shared;
    int& own;
    PaintingScope(int& s, int& o) : shared(s), own(o) { shared = own = 1; }
    ~PaintingScope() { shared = own = 0; }
};

}  // namespace

void CImportView::OnDraw(CDC* pDC)
{
    if (g_bPagePainting || !GetDocument())
        return;
    PaintingScope scope(g_bPagePainting, m_bPainting);
    PaintPage(pDC);
}

void CImportView::CollectMarkRun(CharItem* item, WORD prevMark)
{
    if (item->nMark != prevMark || m_vecMarkRuns.empty()) {
        MarkRun* run = new MarkRun;
        run->nMark = item->nMark;
        run->pFirst = run->pLast = item;
        m_vecMarkRuns.push_back(run);
    } else {
        m_vecMarkRuns.back()->pLast = item;
    }
}

void CImportView::PaintPage(CDC* pDC)
{
    FreeMarkRuns();
    m_nRunsFramed = 0;
    m_pDecoNext = nullptr;
    m_bDecoStarted = 0;
    if (!m_bMemDC || !m_dcMem.GetSafeHdc())
        return;
    DisplaySettingsBlock& ds = DisplaySettings;
    CDC* mem = &m_dcMem;
    HDC hdc = mem->GetSafeHdc();
    HFONT originalFont = (HFONT)GetCurrentObject(hdc, OBJ_FONT);
    BeginDecorationPass();
    GetClientRect(&m_rcPaintClient);
    CPoint scroll = GetScrollPosition();
    m_nPaintScrollX = scroll.x;
    m_nPaintScrollY = scroll.y;
    const int w = m_rcOffscreen.Width();
    const int h = m_rcOffscreen.Height();

    // Background: the picture, or the gradient when there is none or it cannot be read.
    bool background = false;
    if (IsPictureFile(m_strBackgroundPicture)) {
        background = CPictureCache::Instance().DrawStretched(hdc, m_strBackgroundPicture, 0, 0,
                                                             w, h);
        ds.strBackgroundFile = m_strBackgroundPicture;
    }
    if (!background) {
        RECT all = {0, 0, w, h};
        CPictureCache::Instance().FillGradient(hdc, all, ds.clrBg, 0xFFFFFF - ds.clrText);
    }
    SetStretchBltMode(hdc, HALFTONE);
    SetBrushOrgEx(hdc, 0, 0, NULL);

    const int y0 = ClientToDocPoint(CPoint(0, 0)).y;
    const int y1 = ClientToDocPoint(CPoint(0, m_rcPaintClient.bottom)).y;
    m_nPaintY0 = y0;

    if (m_pRoot) {
        // Start near the band: the caret's paragraph, moved back to the first
        // one that reaches 28 pixels above it.
        ChunkNode* start = (m_pCurLine && m_pCurLine->pParent) ? m_pCurLine->pParent
                                                               : m_pRoot->pFirstChild;
        if (start && start->y > m_nPageTop)
            while (start->y > y0 - 28 && start->pPrev)
                start = start->pPrev;
        // A caret far outside the band moves to the start's first line.
        if (start && m_pCurLine && (m_pCurLine->bottom < y0 - 28 || m_pCurLine->y > y1)) {
            ChunkNode* first = FirstLine(start);
            if (first && first->HoldsItems()) {
                m_pCurLine = first;
                m_pCurItem = first->pFirstItem;
            }
        }

        DrawTopBottomBars(mem, 0);
        if (ds.bWholeLeft)
            DrawPageSideStrips(mem, 0);

        const int topLimit = ds.bWholeTop ? y0 + m_nPageTop : y0;
        const int bottomLimit = (IsUpperPane() && ds.bWholeBottom) ? y1 - m_nPageTop : y1;
        bool firstLine = true;
        bool stop = false;
        for (ChunkNode* node = start; node && !stop;) {
            ChunkNode* line = node;
            while (line->IsContainer() && line->pFirstChild)
                line = line->pFirstChild;
            if (line->IsContainer()) {
                // An empty container holds nothing to draw.
                node = NextInWalk(line, m_pRoot);
                continue;
            }
            DrawBlockDecorations(mem, line, y1);
            if (line->IsLine() && line->y >= topLimit) {
                if (line->bottom > bottomLimit) {
                    stop = true;
                } else {
                    if (firstLine) {
                        m_pFirstDrawn = line;
                        firstLine = false;
                    }
                    if (line->nCode) {
                        DrawCodeLineBackground(line, mem);
                        g_codeScan.Reset();
                    }
                    PaintLineCharacters(line, mem);
                    DrawLineMarkRuns(mem, line);
                }
            }
            node = NextInWalk(line, m_pRoot);
        }
        DrawBlockDecorations(mem, nullptr, y1);
    }

    pDC->BitBlt(0, y0, w, h, mem, 0, 0, SRCCOPY);
    EndCharFonts(mem, originalFont);
    EndDecorationPass();
}
