// Hit testing against the laid-out boxes, caret movement and the selection.
// The selection list keeps the order in which objects were added and may hold
// an object twice; the selected flag decides what counts as selected, and every
// consumer reads the flagged objects once each in reading order.
#include "view/ArticleModel.h"

#include <unordered_set>

#include "app/DisplaySettings.h"

namespace {

// Hit bands are shifted 5 px down, so a click between two lines falls into the
// upper one's lower edge.
const int kBandShift = 5;

inline bool InBand(const ChunkNode* n, int y)
{
    return y >= n->y + kBandShift && y <= n->bottom + kBandShift;
}

inline bool IsLeaf(const ChunkNode* n)
{
    return n->nType != kNodeContainer;
}

} // namespace

// ---------------------------------------------------------------- reading order

ChunkNode* CArticleModel::FirstLeaf(ChunkNode* node)
{
    if (!node)
        return nullptr;
    if (IsLeaf(node))
        return node;
    // Containers without children are stepped over. The depth is bounded.
    for (ChunkNode* c = node->pFirstChild; c; c = c->WalkNext())
        if (ChunkNode* leaf = FirstLeaf(c))
            return leaf;
    return nullptr;
}

ChunkNode* CArticleModel::LastLeaf(ChunkNode* node)
{
    if (!node)
        return nullptr;
    if (IsLeaf(node))
        return node;
    ChunkNode* last = node->pFirstChild;
    if (!last)
        return nullptr;
    while (last->WalkNext())
        last = last->WalkNext();
    // From the last child backwards to the first one that holds a leaf.
    for (ChunkNode* c = last; c;) {
        if (ChunkNode* leaf = LastLeaf(c))
            return leaf;
        c = c->pLeft ? c->pLeft : c->pPrev;
    }
    return nullptr;
}

ChunkNode* CArticleModel::NextLeaf(ChunkNode* node)
{
    while (node && node->pParent) {
        for (ChunkNode* n = node->WalkNext(); n; n = n->WalkNext())
            if (ChunkNode* leaf = FirstLeaf(n))
                return leaf;
        node = node->pParent;
    }
    return nullptr;
}

ChunkNode* CArticleModel::PrevLeaf(ChunkNode* node)
{
    while (node && node->pParent) {
        for (ChunkNode* n = node->pLeft ? node->pLeft : node->pPrev; n;
             n = n->pLeft ? n->pLeft : n->pPrev)
            if (ChunkNode* leaf = LastLeaf(n))
                return leaf;
        node = node->pParent;
    }
    return nullptr;
}

// ---------------------------------------------------------------- hit testing

ChunkNode* CArticleModel::LineAtPoint(int x, int y, ChunkNode* node)
{
    if (!node || !InBand(node, y))
        return nullptr;
    if (!node->IsContainer())
        return node;
    for (ChunkNode* c = node->pFirstChild; c; c = c->WalkNext())
        if (ChunkNode* hit = LineAtPoint(x, y, c))
            return hit;
    return nullptr;
}

CharItem* CArticleModel::ItemAtPoint(int x, ChunkNode* line)
{
    if (!line)
        return nullptr;
    if (line->nType != kNodeLine)
        return line->HoldsItems() ? line->pFirstItem : nullptr;
    CharItem* it = line->pFirstItem;
    for (; it && it->pNext; it = it->pNext)
        if (it->left - kBandShift <= x && x <= it->right - kBandShift)
            return it;
    // Right of the text: the line end; left of the page: the first character.
    return x > m_nLeftMargin ? it : line->pFirstItem;
}

CharItem* CArticleModel::ItemAtTop(ChunkNode* node, double top)
{
    if (!node)
        return nullptr;
    if (node->nType == kNodeGlyph || node->nType == kNodeImage)
        return node->pFirstItem;
    if (node->nType != kNodeLine)
        return nullptr;
    CharItem* it = node->pFirstItem;
    for (; it && it->pNext; it = it->pNext)
        if (it->top <= top && top < it->bottom)
            return it;
    return it;
}

bool CArticleModel::IsNodeEmpty(ChunkNode* node)
{
    if (!node)
        return true;
    switch (node->nType) {
    case kNodeLine:
        return !node->pFirstItem || (!node->pFirstItem->pNext && node->pFirstItem->ch == kLineEnd);
    case kNodeGlyph:
    case kNodeImage:
        return false;
    case kNodeContainer:
        for (ChunkNode* c = node->pFirstChild; c; c = c->WalkNext())
            if (!IsNodeEmpty(c))
                return false;
        return true;
    default:
        return false;
    }
}

bool CArticleModel::PlaceCaretAt(int x, int y)
{
    if (!m_pRoot)
        return false;
    for (ChunkNode* para = m_pRoot->pFirstChild; para; para = para->WalkNext()) {
        if (ChunkNode* line = LineAtPoint(x, y, para)) {
            m_pCurLine = line;
            m_pCurItem = ItemAtPoint(x, line);
            return true;
        }
    }
    return false;
}

bool CArticleModel::PlaceCaretInBand(int top, int bottom)
{
    if (!m_pRoot)
        return false;
    if (m_pCurLine && m_pCurLine->y >= top && m_pCurLine->bottom <= bottom)
        return false;
    for (ChunkNode* leaf = FirstLeaf(m_pRoot); leaf; leaf = NextLeaf(leaf)) {
        if (leaf->y > bottom)
            break;
        if (leaf->nType == kNodeLine && leaf->y >= top && leaf->bottom <= bottom) {
            m_pCurLine = leaf;
            m_pCurItem = leaf->pFirstItem;
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- the selection

void CArticleModel::AddToSelection(CharItem* item, BYTE type)
{
    if (!item)
        return;
    item->bSelected = 1;
    m_arrSelection.Add(item);
    m_arrSelectionTypes.Add(type);
}

void CArticleModel::SelectNodeChars(ChunkNode* node)
{
    if (!node)
        return;
    if (node->nType == kNodeLine) {
        for (CharItem* it = node->pFirstItem; it; it = it->pNext)
            AddToSelection(it, kNodeLine);
        return;
    }
    if (node->nType == kNodeGlyph || node->nType == kNodeImage) {
        AddToSelection(node->pFirstItem, (BYTE)node->nType);
        return;
    }
    if (!node->IsContainer())
        return;
    for (ChunkNode* c = node->pFirstChild; c; c = c->WalkNext())
        SelectNodeChars(c);
}

bool CArticleModel::HasSelection() const
{
    for (INT_PTR i = 0; i < m_arrSelection.GetSize(); ++i)
        if (static_cast<const CharItem*>(m_arrSelection[i])->bSelected)
            return true;
    return false;
}

void CArticleModel::ResetSelection(bool resetFlags)
{
    if (resetFlags) {
        for (INT_PTR i = m_arrSelection.GetSize() - 1; i >= 0; --i)
            static_cast<CharItem*>(m_arrSelection[i])->bSelected = 0;
    }
    m_arrSelection.RemoveAll();
    m_arrSelectionTypes.RemoveAll();
    m_arrLegacyBlocks.RemoveAll();
    m_arrLegacyLines.RemoveAll();
}

void CArticleModel::CollectSelection(std::vector<CharItem*>& items, CharItem** after)
{
    items.clear();
    if (after)
        *after = nullptr;
    if (!m_pRoot || m_arrSelection.IsEmpty())
        return;
    // Only the leaves that hold a flagged object are read, in reading order.
    std::unordered_set<ChunkNode*> owners;
    for (INT_PTR i = 0; i < m_arrSelection.GetSize(); ++i) {
        CharItem* it = static_cast<CharItem*>(m_arrSelection[i]);
        if (it->bSelected && it->pOwner)
            owners.insert(it->pOwner);
    }
    if (owners.empty())
        return;
    size_t seen = 0;
    for (ChunkNode* leaf = FirstLeaf(m_pRoot); leaf && seen < owners.size(); leaf = NextLeaf(leaf)) {
        if (!owners.count(leaf))
            continue;
        ++seen;
        for (CharItem* it = leaf->pFirstItem; it; it = it->pNext)
            if (it->bSelected)
                items.push_back(it);
    }
    if (!after || items.empty())
        return;
    CharItem* last = items.back();
    if (last->pNext) {
        *after = last->pNext;
    } else {
        ChunkNode* next = NextLeaf(last->pOwner);
        *after = next && next->HoldsItems() ? next->pFirstItem : nullptr;
    }
}

void CArticleModel::SelectAllItems(bool wholeArticle)
{
    if (!m_pRoot)
        return;
    ResetSelection(true);
    if (wholeArticle)
        SelectNodeChars(m_pRoot);
    else if (m_pCurLine && m_pCurLine->pParent)
        SelectNodeChars(m_pCurLine->pParent);
    InvalidateView(false);
}

// Whole leaves from first to last (both included) in reading order.
static void SelectLeafRange(CArticleModel& m, ChunkNode* first, ChunkNode* last)
{
    for (ChunkNode* l = first; l; l = m.NextLeaf(l)) {
        m.SelectNodeChars(l);
        if (l == last)
            break;
    }
}

void CArticleModel::SelectToPoint(int x, int y)
{
    if (!m_pRoot || !m_pCurLine)
        return;
    ChunkNode* line = LineAtPoint(x, y, m_pRoot);
    if (!line)
        return;
    ChunkNode* caretLine = m_pCurLine;
    if (line == caretLine || (line->y == caretLine->y && line->pParent == caretLine->pParent)) {
        if (line != caretLine || !m_pCurItem)
            return;
        CharItem* old = m_pCurItem;
        CharItem* now = ItemAtPoint(x, line);
        if (!now || now == old)
            return;
        m_pCurItem = now;
        // Which way the drag went: is the new item behind the old one?
        bool right = false;
        for (CharItem* it = old; it; it = it->pNext)
            if (it == now) {
                right = true;
                break;
            }
        CharItem* from = right ? old : now;
        CharItem* to = right ? now : old;
        for (CharItem* it = from; it && it != to; it = it->pNext)
            AddToSelection(it, kNodeLine);
        return;
    }
    ChunkNode* para = ParagraphOf(line);
    ChunkNode* caretPara = ParagraphOf(caretLine);
    const bool releasedAbove = line->y < caretLine->y;
    if (para && caretPara && para != caretPara && !HasColumnLinks(line) && !HasRowLinks(line)) {
        // A line alone in its paragraph: whole paragraphs between the two.
        ChunkNode* upper = releasedAbove ? para : caretPara;
        ChunkNode* lower = releasedAbove ? caretPara : para;
        for (ChunkNode* p = upper; p; p = p->pNext) {
            SelectNodeChars(p);
            if (p == lower)
                break;
        }
    } else if (releasedAbove) {
        SelectLeafRange(*this, line, caretLine);
    } else {
        SelectLeafRange(*this, caretLine, line);
    }
    // The caret ends where the pointer was let go, as on one line: the page
    // showing that place has no reason to scroll back to where the drag began.
    m_pCurLine = line;
    m_pCurItem = ItemAtPoint(x, line);
}

bool CArticleModel::SelectAtDoubleClick(int x, int y)
{
    ClearSelection();
    if (!m_pRoot || !m_pCurLine)
        return false;
    const ChunkNode* r = m_pRoot;
    if (x >= r->x && x <= DrawnRight() && y >= r->y && y <= r->bottom) {
        SelectNodeChars(m_pCurLine);
        return true;
    }
    if (x < r->x) {
        if (ChunkNode* para = ParagraphOf(m_pCurLine)) {
            SelectNodeChars(para);
            return true;
        }
    }
    return false;
}

bool CArticleModel::StepSelectionBack()
{
    if (!m_pCurLine || m_pCurLine->nType != kNodeLine || !m_pCurItem || !m_pCurItem->pPrev)
        return false;
    m_pCurItem = m_pCurItem->pPrev;
    m_pCurItem->bSelected = !m_pCurItem->bSelected;
    if (m_pCurItem->bSelected)
        AddToSelection(m_pCurItem, kNodeLine);
    return true;
}

bool CArticleModel::StepSelectionForward()
{
    if (!m_pCurLine || m_pCurLine->nType != kNodeLine || !m_pCurItem || !m_pCurItem->pNext)
        return false;
    CharItem* it = m_pCurItem;
    it->bSelected = !it->bSelected;
    // Listed either way: an entry whose flag is off counts for nothing.
    m_arrSelection.Add(it);
    m_arrSelectionTypes.Add(kNodeLine);
    m_pCurItem = it->pNext;
    return true;
}

// ---------------------------------------------------------------- caret keys

bool CArticleModel::MoveCaretLeft()
{
    if (!m_pCurLine)
        return false;
    if (m_pCurLine->nType == kNodeLine && m_pCurItem && m_pCurItem->pPrev) {
        m_pCurItem = m_pCurItem->pPrev;
        return true;
    }
    ChunkNode* prev = PrevLeaf(m_pCurLine);
    if (!prev)
        return false;
    m_pCurLine = prev;
    m_pCurItem = prev->HoldsItems() ? LastItem(prev) : nullptr;
    return true;
}

bool CArticleModel::MoveCaretRight()
{
    if (!m_pCurLine)
        return false;
    if (m_pCurLine->nType == kNodeLine && m_pCurItem && m_pCurItem->pNext) {
        m_pCurItem = m_pCurItem->pNext;
        return true;
    }
    ChunkNode* next = NextLeaf(m_pCurLine);
    if (!next)
        return false;
    m_pCurLine = next;
    m_pCurItem = next->HoldsItems() ? next->pFirstItem : nullptr;
    return true;
}

// The caret's top: its item's, or the block's box.
static double CaretTop(const ChunkNode* line, const CharItem* item)
{
    if (item)
        return item->top;
    return line ? line->y : 0;
}

bool CArticleModel::MoveCaretUp()
{
    if (!m_pCurLine)
        return false;
    ChunkNode* prev = PrevLeaf(m_pCurLine);
    if (!prev)
        return false;
    const double top = CaretTop(m_pCurLine, m_pCurItem);
    m_pCurLine = prev;
    m_pCurItem = ItemAtTop(prev, top);
    return true;
}

bool CArticleModel::MoveCaretDown()
{
    if (!m_pCurLine)
        return false;
    ChunkNode* next = NextLeaf(m_pCurLine);
    if (!next)
        return false;
    const double top = CaretTop(m_pCurLine, m_pCurItem);
    m_pCurLine = next;
    m_pCurItem = ItemAtTop(next, top);
    return true;
}
