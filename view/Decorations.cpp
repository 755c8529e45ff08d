// Picture decorations of the page: bars, strips, side bars, rules and
// separators, the code-line background and the textured mark frames.
// Pictures come from the shared picture cache, decoded once and pre-keyed at
// the size they are drawn at.
#include "view/ImportView.h"

#include <cstdlib>
#include <cwchar>
#include <map>
#include <utility>

#include "app/DisplaySettings.h"
#include "controls/PictureCache.h"
#include "framework/App.h"
#include "res/resource.h"
#include "view/Painter.h"

namespace {

// Folders asked about "L" and "R" sub-folders during this paint.
std::map<std::wstring, bool> g_leftRightFolders;

// A keyed picture drawn again at the same size in the same paint (the rule
// under every line, the separators) is fetched from the picture cache once
// into a transparent bitmap and then only blended: the same pixels, without
// the cache's per-call file check and set-up.
struct Overlay {
    HDC dc = NULL;
    HBITMAP bmp = NULL;
    HGDIOBJ old = NULL;
    int uses = 0;
    bool ok = false;
};
std::map<std::wstring, Overlay> g_overlays;

void FreeOverlays()
{
    for (auto& o : g_overlays) {
        if (o.second.dc) {
            SelectObject(o.second.dc, o.second.old);
            DeleteDC(o.second.dc);
        }
        if (o.second.bmp)
            DeleteObject(o.second.bmp);
    }
    g_overlays.clear();
}

bool MakeOverlay(Overlay& o, HDC like, const CString& path, int w, int h, COLORREF key)
{
    void* bits = NULL;
    o.bmp = CreateTopDownDib(w, h, &bits);
    if (!o.bmp)
        return false;
    o.dc = CreateCompatibleDC(like);
    o.old = SelectObject(o.dc, o.bmp);
    return CPictureCache::Instance().DrawKeyed(o.dc, path, 0, 0, w, h, key);
}

bool DrawKeyedPicture(CDC* pDC, const CString& path, int x, int y, int w, int h, COLORREF key)
{
    if (path.IsEmpty() || w <= 0 || h <= 0)
        return false;
    HDC dc = pDC->GetSafeHdc();
    wchar_t size[48];
    swprintf(size, 48, L"%d|%d|%06x|", w, h, (unsigned)(key & 0xFFFFFF));
    Overlay& o = g_overlays[size + path.str()];
    if (++o.uses == 1 || (size_t)w * h > 4u * 1024 * 1024)
        return CPictureCache::Instance().DrawKeyed(dc, path, x, y, w, h, key);
    if (o.uses == 2)
        o.ok = MakeOverlay(o, dc, path, w, h, key);
    if (!o.ok)
        return false;
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    // Only the part that lands on the surface: AlphaBlend refuses rectangles
    // reaching past it.
    RECT clip;
    if (GetClipBox(dc, &clip) == ERROR)
        return false;
    RECT dst = {x, y, x + w, y + h}, vis;
    if (!IntersectRect(&vis, &dst, &clip))
        return true;
    AlphaBlend(dc, vis.left, vis.top, vis.right - vis.left, vis.bottom - vis.top, o.dc,
               vis.left - x, vis.top - y, vis.right - vis.left, vis.bottom - vis.top, blend);
    return true;
}

// Size of a picture; false (and nothing to draw) when it cannot be loaded.
bool PictureSize(const CString& path, int& w, int& h)
{
    w = h = 0;
    return !path.IsEmpty() && CPictureCache::Instance().GetPictureSize(path, w, h) && w > 0
        && h > 0;
}

const UINT kTextureIds[21] = {
    IDB_MARK_STYLE_OTHER, IDB_MARK_STYLE1, IDB_MARK_STYLE2, IDB_MARK_STYLE3, IDB_MARK_STYLE4,
    IDB_MARK_STYLE5, IDB_MARK_STYLE6, IDB_MARK_STYLE7, IDB_MARK_STYLE8, IDB_MARK_STYLE9,
    IDB_MARK_STYLE10, IDB_MARK_STYLE11, IDB_MARK_STYLE12, IDB_MARK_STYLE13, IDB_MARK_STYLE14,
    IDB_MARK_STYLE15, IDB_MARK_STYLE16, IDB_MARK_STYLE17, IDB_MARK_STYLE18, IDB_MARK_STYLE19,
    IDB_MARK_STYLE20};

}  // namespace

// ---------------------------------------------------------------- free helpers

ChunkNode* TopLevelBlock(ChunkNode* node)
{
    while (node && node->nLevel > 2 && node->pParent)
        node = node->pParent;
    return node;
}

int PickBlockIndex(int& index, size_t count)
{
    if (index == -1 && count > 0)
        index = rand() % (int)count;
    return index;
}

void BeginDecorationPass()
{
    g_leftRightFolders.clear();
    FreeOverlays();
}

void EndDecorationPass()
{
    FreeOverlays();
}

bool HasLeftRightFolders(const ImageSet& set)
{
    auto found = g_leftRightFolders.find(set.strFolder.str());
    if (found != g_leftRightFolders.end())
        return found->second;
    DWORD attr = GetFileAttributesW((set.strFolder + L"\\L").GetString());
    bool has = attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
    g_leftRightFolders[set.strFolder.str()] = has;
    return has;
}

void DrawSideBars(CDC* pDC, int xLeft, int yTop, int xRight, int yBottom, int index)
{
    DisplaySettingsBlock& ds = DisplaySettings;
    const ImageSet& set = ds.VerticalSet;
    const int count = (int)set.vecFiles.size();
    if (ds.nVerticalWidth == 200 || count == 0)
        return;
    if (ds.nVerticalMode >= count)
        ds.nVerticalMode = -1;
    if (index >= count || index < 0)
        index = 0;
    int pick = index;
    if (ds.bVerticalMode) {
        if (ds.nVerticalMode < 0)
            ds.nVerticalMode = rand() % count;
        pick = ds.nVerticalMode;
    }
    const int h = yBottom - yTop;
    const bool twoSided = HasLeftRightFolders(set);
    CString left = PicturePath(set, pick, twoSided ? L"\\L" : L"");
    CString right = twoSided ? PicturePath(set, pick, L"\\R") : left;
    int pw, ph;
    if (h <= 0 || !PictureSize(left, pw, ph))
        return;
    double w = (double)h * pw / ph;
    const double cap = twoSided ? ds.nVerticalWidth : 200;
    if (w > cap)
        w = cap;
    const int xl = (int)(xLeft - (100 - ds.nVertical) * w / 100);
    const int xr = (int)(xRight - ds.nVertical * w / 100);
    DrawKeyedPicture(pDC, left, xl, yTop, (int)w, h, kSidePictureKey);
    DrawKeyedPicture(pDC, right, xr, yTop, (int)w, h, kSidePictureKey);
}

void DrawRuleImage(CDC* pDC, int x1, int y, int x2, int yLine, int index, int kind)
{
    DisplaySettingsBlock& ds = DisplaySettings;
    const ImageSet& set = ds.LineSet;
    const int count = (int)set.vecFiles.size();
    if (count == 0)
        return;
    if (index >= count || index < 0)
        index = 0;
    if (ds.nPramMode >= count)
        ds.nPramMode = -1;
    int pick = index;
    int x, top, w, h;
    if (kind == 0) {
        if (ds.nHorize <= 1)
            return;
        if (ds.bLineMode) {
            if (ds.nLineMode >= count || ds.nLineMode < 0)
                ds.nLineMode = rand() % count;
            pick = ds.nLineMode;
        }
        x = x1;
        w = x2 - x1;
        top = yLine - ds.nHorize / 2;
        h = ds.nHorize;
    } else {
        if (ds.nPramWidth == 0)
            return;
        if (ds.bPramMode) {
            if (ds.nPramMode < 0)
                ds.nPramMode = rand() % count;
            pick = ds.nPramMode;
        }
        const double p = ds.nPramLen / 100.0;
        x = (int)(x1 - p * x1);
        w = (int)(2 * x1 * p + (x2 - x1));
        top = y - ds.nPramWidth / 2 - 1;
        h = ds.nPramWidth;
    }
    DrawKeyedPicture(pDC, PicturePath(set, pick), x, top, w, h, kLinePictureKey);
}

void FillDecorationRects(CDC* pDC, int left, int top, int right, int bottom, int height,
                         int fill, int kind, int colourSwitch)
{
    const DisplaySettingsBlock& ds = DisplaySettings;
    if (fill) {
        COLORREF c = kind ? (colourSwitch ? ds.clrLeft : ds.clrBg)
                          : (colourSwitch ? ds.clrCBg : ds.clrBg);
        HBRUSH brush = CreateSolidBrush(c & 0xFFFFFF);
        RECT rc = {left, top, right, top + height};
        ::FillRect(pDC->GetSafeHdc(), &rc, brush);
        DeleteObject(brush);
        return;
    }
    CPen pen(PS_DOT, 1, RGB(0, 0, 0));
    CPen* old = pDC->SelectObject(&pen);
    pDC->Rectangle(left, top, right + 1, bottom + 1);
    pDC->SelectObject(old);
}

UINT TextureResourceFor(int style)
{
    return (style >= 1 && style <= 20) ? kTextureIds[style] : kTextureIds[0];
}

HBRUSH TextureBrushFor(int style)
{
    static std::map<UINT, HBRUSH> brushes;
    const UINT id = TextureResourceFor(style);
    auto found = brushes.find(id);
    if (found != brushes.end())
        return found->second;
    HBRUSH brush = NULL;
    HBITMAP bmp = (HBITMAP)LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_BITMAP,
                                      0, 0, LR_DEFAULTCOLOR);
    if (bmp) {
        brush = CreatePatternBrush(bmp);
        DeleteObject(bmp);      // the brush keeps its own copy
    }
    brushes[id] = brush;
    return brush;
}

// ---------------------------------------------------------------- view painters

void CImportView::DrawTopBottomBars(CDC* pDC, int nPictureHeight)
{
    DisplaySettingsBlock& ds = DisplaySettings;
    const ImageSet& set = ds.LineSet;
    if (set.vecFiles.empty())
        return;
    int& index = IsUpperPane() ? ds.nWholeTB0 : ds.nWholeTB1;
    CString path = PicturePath(set, PickPictureIndex(index, set.vecFiles.size()));
    const int w = m_rcPaintClient.Width();
    const int bottomY = nPictureHeight > 0 ? nPictureHeight - m_nPageTop
                                           : m_rcPaintClient.Height() - m_nPageTop;
    if (ds.bWholeTop)
        DrawKeyedPicture(pDC, path, 0, 0, w, m_nPageTop, kLinePictureKey);
    if (ds.bWholeBottom)
        DrawKeyedPicture(pDC, path, 0, bottomY, w, m_nPageTop, kLinePictureKey);
}

void CImportView::DrawPageSideStrips(CDC* pDC, int nPictureHeight)
{
    DisplaySettingsBlock& ds = DisplaySettings;
    const ImageSet& set = ds.VerticalSet;
    if (set.vecFiles.empty())
        return;
    const int top = m_rcPaintClient.top;
    const int bottom = nPictureHeight > 0 ? 1000 : m_rcPaintClient.bottom;
    const int band = bottom - top;
    int& index = IsUpperPane() ? ds.nWholeLR0 : ds.nWholeLR1;
    PickPictureIndex(index, set.vecFiles.size());
    const int m = m_nLeftMargin;
    const int right = m_rcPaintClient.right;
    int pw, ph;
    if (!HasLeftRightFolders(set)) {
        CString path = PicturePath(set, index);
        if (band <= 0 || !PictureSize(path, pw, ph))
            return;
        double w = (double)band * pw / ph;
        if (w > ds.nVerticalWidth)
            w = ds.nVerticalWidth;
        double xl, xr;
        if (m - w >= 0) {
            xl = ds.nVertical * (m - w) / 100;
            xr = right - w - ds.nVertical * (m - w) / 100;
        } else {
            xl = (100 - ds.nVertical) * (m - w) / 100;
            xr = right - m + ds.nVertical * (m - w) / 100;
        }
        DrawKeyedPicture(pDC, path, (int)xl, top, (int)w, band, kSidePictureKey);
        DrawKeyedPicture(pDC, path, (int)xr, top, (int)w, band, kSidePictureKey);
        return;
    }
    CString left = PicturePath(set, index, L"\\L");
    CString rightPath = PicturePath(set, index, L"\\R");
    if (band <= 0 || !PictureSize(left, pw, ph))
        return;
    int w = (int)((double)band * pw / ph);
    if (w > ds.nVerticalWidth)
        w = ds.nVerticalWidth;
    const int step = (m - w) / 100;
    int xl, xr;
    if (m - w >= 0) {
        xl = ds.nVertical * step;
        xr = right - w - ds.nVertical * step;
    } else {
        xl = (100 - ds.nVertical) * step;
        xr = right - m + ds.nVertical * step;
    }
    DrawKeyedPicture(pDC, left, xl, top, w, band, kLinePictureKey);
    DrawKeyedPicture(pDC, rightPath, xr, top, w, band, kLinePictureKey);
}

void CImportView::DrawCodeLineBackground(ChunkNode* line, CDC* pDC)
{
    if (!line || !line->nCode)
        return;
    CGdiObject* oldBrush = pDC->SelectStockObject(NULL_BRUSH);
    CPen pen(PS_DOT, 1, RGB(0, 0, 0));
    CPen* oldPen = pDC->SelectObject(&pen);
    // Letters widened past the window go on to the scroll area's edge; so does their background.
    const int right = std::max((int)m_rcPaintClient.Width(), ScrollWidth());
    const int top = PaintY(line->y);
    const int bottom = PaintY(line->bottom);
    const int height = line->bottom - line->y;
    FillDecorationRects(pDC, 0, top, line->x - 2, bottom, height, 1, 1, 1);
    FillDecorationRects(pDC, line->x - 2, top, right, bottom, height, 1, 0, 1);
    pDC->SelectObject(oldPen);
    if (oldBrush)
        pDC->SelectObject(oldBrush);
}

// Called for every node the walk reaches, before the node is drawn: the
// blocks before the node's block are complete, so their decorations go on
// now, once, over their text. A null node finishes the band.
void CImportView::DrawBlockDecorations(CDC* pDC, ChunkNode* node, int y1)
{
    ChunkNode* upTo = node ? TopLevelBlock(node) : nullptr;
    if (!m_bDecoStarted) {
        m_bDecoStarted = 1;
        m_pDecoNext = upTo;
    }
    while (m_pDecoNext && m_pDecoNext != upTo) {
        ChunkNode* block = m_pDecoNext;
        if (block->y > y1) {
            m_pDecoNext = nullptr;
            break;
        }
        m_pDecoNext = block->pNext;
        if (block->bottom >= m_nPaintY0)
            DrawOneBlockDecorations(pDC, block);
    }
}

void CImportView::DrawOneBlockDecorations(CDC* pDC, ChunkNode* block, bool inSlice)
{
    const DisplaySettingsBlock& ds = DisplaySettings;
    ChunkNode* root = m_pRoot;
    if (!root)
        return;
    int right = m_nLeftMargin + ds.nPageWidth + 20;
    if (root->right > right)
        right = root->right;
    const bool tallNext = block->pNext && block->pNext->height > 80;
    if (block->height > 100) {
        PickBlockIndex(block->nPick[0], ds.VerticalSet.vecFiles.size());
        DrawSideBars(pDC, root->x, PaintY(block->y), right, PaintY(block->bottom - m_nPram),
                     block->nPick[0]);
    }
    PickBlockIndex(block->nPick[1], ds.LineSet.vecFiles.size());
    if (block->height > 80) {
        PickBlockIndex(block->nPick[2], ds.LineSet.vecFiles.size());
        const int top = block->y - m_nPram / 2 - 2;
        // A slice shows no separator cut by its top edge.
        if (!inSlice || PaintY(top) > m_nPageTop)
            DrawRuleImage(pDC, root->x, PaintY(top), root->right,
                          PaintY(block->bottom - m_nRow), block->nPick[2], 1);
    }
    if (!block->IsContainer())
        return;
    ChunkNode* last = nullptr;
    for (ChunkNode* c = block->pFirstChild; c; c = c->WalkNext())
        if (c->IsLine())
            last = c;
    bool leading = inSlice;
    const int ruleRight = DrawnRight();     // under widened code letters too
    for (ChunkNode* c = block->pFirstChild; c; c = c->WalkNext()) {
        if (!c->IsLine() || (tallNext && c == last))
            continue;
        // In a slice the lines above its top edge belong to the slice before.
        if (leading && PaintY(c->y) < m_nPageTop)
            continue;
        leading = false;
        DrawRuleImage(pDC, root->x, PaintY(c->y), ruleRight, PaintY(c->bottom - m_nRow),
                      block->nPick[1], 0);
    }
}

// Frames the mark runs the line's characters collected.
void CImportView::DrawLineMarkRuns(CDC* pDC, ChunkNode* line)
{
    for (size_t i = m_nRunsFramed; i < m_vecMarkRuns.size(); ++i) {
        MarkRun* run = m_vecMarkRuns[i];
        double t = run->pFirst->top;
        if (t < line->y || t > line->bottom)
            continue;
        run->left = (int)run->pFirst->left;
        run->top = (int)run->pFirst->top;
        run->right = (int)run->pLast->right;
        run->bottom = (int)run->pLast->bottom;
        DrawMarkRun(pDC, run);
    }
    m_nRunsFramed = m_vecMarkRuns.size();
}

void CImportView::DrawMarkRun(CDC* pDC, MarkRun* run)
{
    HDC dc = pDC->GetSafeHdc();
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    if (HBRUSH texture = TextureBrushFor(run->nMark))
        SelectObject(dc, texture);
    SetTextColor(dc, RGB(255, 255, 255));
    RoundRect(dc, run->left, PaintY(run->top), run->right, PaintY(run->bottom), 20, 20);
    DrawCharsOverFrame(pDC, run->pFirst, run->pLast);
    SelectObject(dc, oldBrush);
}

void CImportView::DrawCharStyle(CDC* pDC, CharItem* item)
{
    if (!item || !item->nStyle)
        return;
    HDC dc = pDC->GetSafeHdc();
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    SetTextColor(dc, RGB(255, 255, 255));
    if (HBRUSH texture = TextureBrushFor(item->nStyle))
        SelectObject(dc, texture);
    RECT box = {(int)item->left, PaintY((int)item->top), (int)item->right,
                PaintY((int)item->bottom) + 1};
    RoundRect(dc, box.left, box.top, box.right, box.bottom, 20, 20);
    DrawCharsOverFrame(pDC, item, item);
    SelectObject(dc, oldBrush);
}
