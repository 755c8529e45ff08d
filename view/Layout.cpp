// Boxes of every node and character, the page width and its centring.
#include "view/ArticleModel.h"

#include <algorithm>
#include <vector>

#include "app/DisplaySettings.h"

namespace {

const int kMinMargin = 20;
const int kMinCharSize = 22;
const int kCodeSizeCut = 10;
const int kPageStep = 50;
const int kNarrowestPage = 400;     // NarrowPage stays above it
const int kMaxIncrease = 5;

// A first child: neither a previous nor a left neighbour.
inline bool IsFirstChild(const ChunkNode* n) { return !n->pPrev && !n->pLeft; }

} // namespace

bool CArticleModel::IsCodeLine(const ChunkNode* line)
{
    return line && (line->nCode || (line->pParent && line->pParent->nCode));
}

void CArticleModel::LayoutLineItems(ChunkNode* line)
{
    if (!line || line->nType != kNodeLine)
        return;
    const bool code = IsCodeLine(line);
    int size = m_nTextSize - (code ? kCodeSizeCut : 0);
    if (size < kMinCharSize)
        size = kMinCharSize;
    // A Latin unit is narrow: in code by the width setting, in text by half
    // the size, as the line breaker counts it, so a line never runs off the page.
    const double narrow = code ? size * (0.5 + DisplaySettings.Increase / 10.0) : size / 2;
    double left = line->x;
    const double top = line->y;
    for (CharItem* it = line->pFirstItem; it; it = it->pNext) {
        it->size = size;
        it->left = left;
        it->top = top;
        it->bottom = top + size;
        it->right = left + (it->ch < 0x100 ? narrow : size);
        left = it->right;
    }
    if ((int)left > m_nItemsRight)
        m_nItemsRight = (int)left;
}

// What one item adds to its line's width for breaking: Latin units count half.
// plainBig: a text line at a text size of 22 or more, measured by the view's size.
int CArticleModel::BreakWidthOf(const CharItem* item, bool plainBig) const
{
    const int size = plainBig ? m_nTextSize : item->size;
    return item->ch < 0x100 ? size / 2 : size;
}

bool CArticleModel::LastCharOverrunsPage(ChunkNode* line)
{
    CharItem* end = LastItem(line);
    if (!end || !end->pPrev || end->ch != kLineEnd)
        return false;
    const bool plainBig = m_nTextSize >= kMinCharSize && !IsCodeLine(line);
    return NodeWidth(line) - BreakWidthOf(end->pPrev, plainBig) > DisplaySettings.nPageWidth;
}

int CArticleModel::NodeWidth(ChunkNode* node)
{
    if (!node || !node->pFirstChild || node->nType < kNodeLine || node->nType > kNodeContainer)
        return 0;
    int width = 0;
    switch (node->nType) {
    case kNodeLine: {
        // Each half step of a code line truncates the running total, which for
        // whole sizes is the same as adding size / 2.
        const bool plainBig = m_nTextSize >= kMinCharSize && !IsCodeLine(node);
        for (const CharItem* it = node->pFirstItem; it; it = it->pNext)
            width += BreakWidthOf(it, plainBig);
        break;
    }
    case kNodeGlyph:
    case kNodeImage:
        width = (int)(node->pFirstItem->right - node->pFirstItem->left);
        break;
    case kNodeLegacy:
        for (ChunkNode* c = node->pFirstChild; c; c = c->WalkNext()) {
            if (!c->pPrev) {
                if (c->width > width)
                    width = c->width;
            } else {
                width += c->width;
            }
        }
        break;
    case kNodeContainer:
        for (ChunkNode* c = node->pFirstChild; c; c = c->WalkNext()) {
            if (!c->pPrev)
                width += c->width;
            else if (c->width > width)
                width = c->width;
        }
        break;
    default:
        break;
    }
    return width;
}

int CArticleModel::NodeHeight(ChunkNode* node)
{
    if (!node)
        return 0;
    int height = 0;
    switch (node->nType) {
    case kNodeLine:
        for (const CharItem* it = node->pFirstItem; it; it = it->pNext) {
            int h = (int)(it->bottom - it->top);
            if (h > height)
                height = h;
        }
        break;
    case kNodeGlyph:
    case kNodeImage:
        if (node->pFirstItem)
            height = (int)(node->pFirstItem->bottom - node->pFirstItem->top);
        break;
    case kNodeLegacy:
        for (ChunkNode* c = node->pFirstChild; c; c = c->WalkNext()) {
            if (!c->pLeft) {
                if (c->height > height)
                    height = c->height;
            } else {
                height += c->height;
            }
        }
        break;
    case kNodeContainer:
        // The children carry their heights from their own layout.
        for (ChunkNode* c = node->pFirstChild; c; c = c->WalkNext()) {
            if (c->pLeft) {
                if (c->height > height)
                    height = c->height;
            } else {
                height += c->height;
            }
        }
        break;
    default:
        break;
    }
    return height;
}

// Glyph and image blocks: their one box stands at the node's origin.
void CArticleModel::PlaceBlockBox(ChunkNode* node)
{
    CharItem* box = node->pFirstItem;
    if (!box)
        return;
    double w, h;
    if (node->nType == kNodeGlyph) {
        w = h = m_nTextSize;
        box->size = m_nTextSize;
    } else {
        w = box->right - box->left;
        h = box->bottom - box->top;
    }
    box->left = node->x;
    box->top = node->y;
    box->right = node->x + w;
    box->bottom = node->y + h;
}

// Children of a legacy block stand in columns from the right edge leftwards.
// measure: take fresh sizes (Relayout) or keep the stored ones (UpdateGeometry).
void CArticleModel::PlaceLegacyChildren(ChunkNode* node, bool measure)
{
    bool first = true;
    for (ChunkNode* c = node->pFirstChild; c; c = c->pNext ? c->pNext : c->pRight) {
        if (c->nType == kNodeLegacy)
            PlaceLegacyChildren(c, measure);
        c->y = c->pLeft ? c->pLeft->bottom : node->y;
        c->right = c->pPrev ? c->pPrev->x : node->right;
        if (measure) {
            c->width = NodeWidth(c);
            c->height = NodeHeight(c);
        } else if (first) {
            SetFontFace(c, node->pFontFace);
        }
        c->x = c->right + c->width;
        c->bottom = c->y + c->height;
        first = false;
    }
}

void CArticleModel::RootLaidOut()
{
    if (!m_pRoot)
        return;
    // Code lines drawn with wider letters reach past the measured width: the
    // scroll area takes in every character.
    OnRootLaidOut(ScrollWidth(), m_nPageTop + m_pRoot->height + 5);
}

void CArticleModel::Relayout(ChunkNode* node, int flag)
{
    if (!node) {
        ReportError(1);
        return;
    }
    ChunkNode* parent = node->pParent;
    if (node == m_pRoot)
        m_nItemsRight = 0;      // measured again line by line
    if (parent) {
        if (node->pLeft) {
            node->y = parent->y;
            node->x = node->pLeft->right;
        } else {
            node->y = node->pPrev ? node->pPrev->bottom : parent->y;
            node->x = parent->x;
        }
        if (parent->nCode)
            node->nCode = 1;
    } else {
        node->y = m_nPageTop;
        node->x = m_nLeftMargin;
    }

    PlaceContents(node, true);

    node->height = NodeHeight(node);
    if (m_nVersion == 1) {
        int w = NodeWidth(node);
        node->width = w + (node->nLevel == 2 ? 12 : node->nLevel == 4 ? 2 : 0);
    } else if (m_nVersion == 2) {
        node->width = NodeWidth(node) + 2;
        if (node->nLevel == 2)
            node->height += m_nPram;
        else if (node->nLevel == 3)
            node->height += m_nRow;
    }
    node->right = node->x + node->width;
    node->bottom = node->y + node->height;

    if (!parent && node == m_pRoot)
        RootLaidOut();
    if (flag)
        RefreshAncestors(node);
}

// The ancestors take the new size of an edited node without measuring their
// other children again.
void CArticleModel::RefreshAncestors(ChunkNode* node)
{
    for (ChunkNode* p = node->pParent; p; p = p->pParent) {
        if (p->pParent) {
            p->y = p->pPrev ? p->pPrev->bottom : p->pParent->y;
            if (p->pParent->nCode)
                p->nCode = 1;
        } else {
            p->y = m_nPageTop;
            p->x = m_nLeftMargin;
        }
        p->height = NodeHeight(p);
        if (m_nVersion == 1) {
            int w = NodeWidth(p);
            p->width = w + (p->nLevel == 2 ? 12 : p->nLevel == 4 ? 2 : 0);
        } else if (m_nVersion == 2) {
            p->width = NodeWidth(p);
        }
        p->right = p->x + p->width;
        p->bottom = p->y + p->height;
        if (!p->pParent && p == m_pRoot)
            RootLaidOut();
    }
}

// Lays out what a node holds: measured again (Relayout) or only moved to the
// node's new place (UpdateGeometry).
void CArticleModel::PlaceContents(ChunkNode* node, bool measure)
{
    switch (node->nType) {
    case kNodeLine:
        LayoutLineItems(node);
        break;
    case kNodeGlyph:
    case kNodeImage:
        PlaceBlockBox(node);
        break;
    case kNodeLegacy:
        PlaceLegacyChildren(node, measure);
        break;
    case kNodeContainer:
        for (ChunkNode* c = node->pFirstChild; c; c = c->WalkNext()) {
            if (measure)
                Relayout(c, 0);
            else
                UpdateGeometry(c, 0);
        }
        break;
    default:
        break;
    }
}

void CArticleModel::UpdateGeometry(ChunkNode* node, int /*flag*/)
{
    if (!node)
        return;
    if (ChunkNode* parent = node->pParent) {
        node->nLevel = (WORD)(parent->nLevel + 1);
        if (parent->nCode)
            node->nCode = 1;
        if (node->pLeft)
            node->y = parent->y;
        else
            node->y = node->pPrev ? node->pPrev->bottom : parent->y;
        if (node->nLevel == 2 && m_pRoot)
            node->width = m_pRoot->width;
    }
    node->right = node->x + node->width;
    node->bottom = node->y + node->height;
    PlaceContents(node, false);
}

void CArticleModel::RelayoutParagraph(ChunkNode* para)
{
    if (!para)
        return;
    const int oldBottom = para->bottom;
    Relayout(para, 1);
    // A paragraph that grew or shrank moves every paragraph below it.
    if (para->bottom != oldBottom)
        for (ChunkNode* p = para->pNext; p; p = p->pNext)
            UpdateGeometry(p, 0);
}

// ---------------------------------------------------------------- page width

int CArticleModel::LeftMarginFor(int clientWidth)
{
    int margin = (clientWidth - DisplaySettings.nPageWidth - GetVScrollWidth()) / 2;
    return margin < kMinMargin ? kMinMargin : margin;
}

void CArticleModel::FitPageToClient()
{
    const int w = GetClientWidth();
    // A pane too narrow for any page keeps the width it has.
    if (w - 200 > 0 && DisplaySettings.nPageWidth > w - 200)
        DisplaySettings.nPageWidth = w - 200;
    m_nLeftMargin = LeftMarginFor(w);
}

void CArticleModel::FitMarginToClient()
{
    m_nLeftMargin = LeftMarginFor(GetClientWidth());
    m_nScrollDown = 0;
    if (m_pRoot)
        Relayout(m_pRoot, 0);
}

bool CArticleModel::StepPageWidth(int delta)
{
    const int wanted = DisplaySettings.nPageWidth + (delta > 0 ? kPageStep : -kPageStep);
    if (delta > 0 ? !(wanted < GetClientWidth()) : !(wanted > kNarrowestPage))
        return false;
    DisplaySettings.nPageWidth = wanted;
    m_nLeftMargin = LeftMarginFor(GetClientWidth());
    ClearSelection();
    ReflowToPageWidth();
    return true;
}

bool CArticleModel::StepCharWidth(int delta)
{
    int value = DisplaySettings.Increase + (delta > 0 ? 1 : -1);
    if (value > kMaxIncrease)
        value = kMaxIncrease;
    if (value < 0)
        value = 0;
    const bool changed = value != DisplaySettings.Increase;
    DisplaySettings.Increase = value;
    if (m_pRoot)
        Relayout(m_pRoot, 0);
    if (!bImporting) {
        UpdateCaret();
        InvalidateView(true);
    }
    return changed;
}

// ---------------------------------------------------------------- reflow

// A line the reflow may break again: stacked (not in a row) and not code.
static bool IsReflowLine(const ChunkNode* n)
{
    return n->nType == kNodeLine && !n->pLeft && !n->pRight && !n->nCode;
}

void CArticleModel::RebreakLineRuns(ChunkNode* container, std::vector<CharItem*>& items)
{
    for (ChunkNode* c = container->pFirstChild; c;) {
        if (c->IsContainer() && !c->nCode)
            RebreakLineRuns(c, items);
        if (!IsReflowLine(c)) {
            c = c->WalkNext();
            continue;
        }
        // c and the stacked lines below it give up their characters and go;
        // one new line in their place takes the characters again.
        ChunkNode* before = c->pPrev;
        ChunkNode* last = c;
        while (last->pNext && IsReflowLine(last->pNext))
            last = last->pNext;
        ChunkNode* after = last->pNext;
        items.clear();
        for (ChunkNode* l = c; l != after;) {
            ChunkNode* next = l->pNext;
            TakeLineItems(l, items);
            l->pNext = l->pPrev = nullptr;
            FreeNodeTree(l);
            l = next;
        }
        if (before)
            before->pNext = after;
        else
            container->pFirstChild = after;
        if (after)
            after->pPrev = before;
        ChunkNode* line = NewLineAfter(container, before);
        // A plain line, even between two code lines.
        line->nCode = 0;
        line->nInc = 0;
        SetFontFace(line, nullptr);
        c = AppendBroken(line, items, 0)->pNext;
    }
}

void CArticleModel::ReflowToPageWidth()
{
    if (!m_pRoot)
        return;
    WaitForAutoSave();
    // Every line is rebuilt: nothing may keep pointing at the old ones.
    ResetSelection(true);
    m_pCurLine = nullptr;
    m_pCurItem = nullptr;
    m_pFirstDrawn = nullptr;
    std::vector<CharItem*> items;
    for (ChunkNode* para = m_pRoot->pFirstChild; para; para = para->pNext) {
        ChunkNode* first = para->pFirstChild;
        if (first && first->nCode) {
            para->nCode = first->nCode;
            continue;
        }
        if (para->nCode || para->nType != kNodeContainer)
            continue;
        // Blocks and rows keep their places; the lines stacked in the
        // paragraph and in its blocks are broken again.
        if (!first)
            NewLineAfter(para, nullptr);
        else
            RebreakLineRuns(para, items);
    }
    Relayout(m_pRoot, 1);
    UpdateGeometry(m_pRoot, 1);
    ChunkNode* line = FirstLine(m_pRoot);
    m_pCurLine = line;
    m_pCurItem = line && line->HoldsItems() ? line->pFirstItem : nullptr;
    m_pFirstDrawn = line;
    m_nScrollDown = 1;
    if (!bImporting) {
        UpdateCaret();
        InvalidateView(true);
    }
}
