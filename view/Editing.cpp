// Typing and deletion at the caret. Every change sets the modified flag, so
// switching articles never loses it.
#include "view/ArticleModel.h"

#include <unordered_set>

#include "app/DisplaySettings.h"

namespace {

const wchar_t kBackspace = 8;
const wchar_t kLineFeed = 10;
const int kIndent = 4;          // spaces that start a paragraph made by Enter
const int kScrollStep = 150;    // typing below the window scrolls this far

// Style index and mark id of a typed character (the comment switch).
void TypedStyle(WORD& style, WORD& mark)
{
    style = mark = 0;
    if (!DisplaySettings.bComment)
        return;
    if (DisplaySettings.bSingle)
        style = (WORD)DisplaySettings.nBiaozhu;
    else
        mark = (WORD)DisplaySettings.nBiaozhu;
}

} // namespace

void CArticleModel::InsertTypedChar(const wchar_t* units)
{
    if (!units)
        return;
    const wchar_t u = units[0];
    m_nScrollDown = 1;
    if (u == kBackspace || u == kLineFeed)
        return;
    // Control characters are keys, not text.
    if ((u < 32 && u != kLineEnd) || u == 127)
        return;
    if (!m_pRoot || !m_pCurLine)
        return;
    WORD style, mark;
    TypedStyle(style, mark);

    if (u == kLineEnd) {
        ChunkNode* line = m_pCurLine;
        WaitForAutoSave();
        if (line->nType == kNodeLine && IsCodeLine(line) && line->pNext && line->pParent) {
            // A code line keeps its indentation on the new line.
            NewLineAfter(line->pParent, line);
            const wchar_t space[2] = {L' ', 0};
            for (CharItem* it = line->pFirstItem; it && it->pNext && it->ch <= 32; it = it->pNext)
                InsertCharNoWait(space, style, mark);
        } else if (line->nType == kNodeLine && IsCodeLine(line)) {
            if (!NewParagraphNoLayout())
                return;
        } else {
            if (!NewParagraphNoLayout())
                return;
            const wchar_t space[2] = {L' ', 0};
            for (int i = 0; i < kIndent; ++i)
                InsertCharNoWait(space, 0, 0);
        }
        m_bModified = 1;
        Relayout(m_pCurLine, 0);
        if (m_pCurLine->bottom > GetClientHeight() + GetVScrollPos())
            ScrollVertBy(kScrollStep);
        Relayout(m_pRoot, 0);
        UpdateGeometry(m_pRoot, 0);
        if (!bImporting) {
            UpdateCaret();
            InvalidateView(true);
        }
        return;
    }

    WaitForAutoSave();
    ChunkNode* line = m_pCurLine;
    const int limit = m_nLeftMargin + DisplaySettings.nPageWidth;
    if (line->nType == kNodeLine && !IsCodeLine(line) && line->right >= limit && m_pCurItem &&
        !m_pCurItem->pNext && line->pParent) {
        // A full line: the character goes to the start of the next one.
        if (line->pNext && line->pNext->nType == kNodeLine) {
            ClearSelection();
            m_pCurLine = line->pNext;
            m_pCurItem = m_pCurLine->pFirstItem;
            UpdateCaret();
        } else {
            NewLineAfter(line->pParent, line);
        }
        line = m_pCurLine;
    }
    if (line->nType != kNodeLine || !m_pCurItem || m_pCurItem->pOwner != line)
        return;
    m_bModified = 1;
    const bool overflow = !IsCodeLine(line) && line->right > limit;
    CharItem* item = CreateCharItem(units, m_pCurItem->pPrev, m_pCurItem, line);
    item->nStyle = style;
    item->nMark = mark;
    // A character put into the middle of a line can push it past the page
    // by more than its last character: that one moves down too.
    if (overflow || (!IsCodeLine(line) && m_pCurItem->pNext && LastCharOverrunsPage(line)))
        RebreakOverflow();      // lays the paragraph out itself
    else if (ChunkNode* para = ParagraphOf(line))
        RelayoutParagraph(para);
    else
        Relayout(line, 1);
    if (m_pCurLine && m_pCurLine->bottom > GetClientHeight() + GetVScrollPos())
        ScrollVertBy(kScrollStep);
    if (!bImporting) {
        UpdateCaret();
        InvalidateView(true);
    }
}

bool CArticleModel::RemoveEmptyLine(ChunkNode* line)
{
    if (!line || !m_pRoot)
        return false;
    // The containers that only held this line go with it, up to the paragraph;
    // the article keeps at least one line.
    ChunkNode* gone = line;
    while (gone->pParent && gone->pParent != m_pRoot && gone->pParent->nLevel >= 2 &&
           !HasColumnLinks(gone) && !HasRowLinks(gone))
        gone = gone->pParent;
    if (gone->pParent == m_pRoot && !HasColumnLinks(gone) && !HasRowLinks(gone))
        return false;
    DeleteNode(gone);
    return true;
}

void CArticleModel::DeletePrevChar()
{
    if (!m_pRoot || !m_pCurLine)
        return;
    // Nothing may stay listed while items are freed.
    ResetSelection(true);
    m_bModified = 1;
    ChunkNode* line = m_pCurLine;
    bool structural = false;
    if (line->HoldsItems() && !line->pFirstItem) {
        ChunkNode* prev = PrevLeaf(line);
        if (!prev)
            return;
        m_pCurLine = prev;
        m_pCurItem = LastItem(prev);
        DeleteNode(line);
        structural = true;
    } else if (line->nType == kNodeLine && m_pCurItem && m_pCurItem->pPrev) {
        DeleteCharItem(m_pCurItem->pPrev);
    } else {
        // At the start of a line: the caret goes to the end of the line before.
        ChunkNode* prev = PrevLeaf(line);
        while (prev && prev->HoldsItems() && !prev->pFirstItem) {
            ChunkNode* empty = prev;
            prev = PrevLeaf(prev);
            DeleteNode(empty);
            structural = true;
        }
        if (!prev)
            return;     // the article's start: nothing before the caret
        m_pCurLine = prev;
        m_pCurItem = LastItem(prev);
        if (IsNodeEmpty(line) && line->nType == kNodeLine) {
            RemoveEmptyLine(line);
            structural = true;
        }
    }
    if (structural || !ParagraphOf(m_pCurLine)) {
        Relayout(m_pRoot, 0);
        UpdateGeometry(m_pRoot, 0);
    } else {
        RelayoutParagraph(ParagraphOf(m_pCurLine));
    }
}

bool CArticleModel::DeleteSelection()
{
    std::vector<CharItem*> items;
    CharItem* after = nullptr;
    CollectSelection(items, &after);
    if (items.empty() || !m_pRoot) {
        ResetSelection(true);
        return false;
    }
    m_bModified = 1;

    // Where the caret goes: in front of what follows the first selected item on
    // its line when that line stays, else behind what came before the selection.
    CharItem* first = items.front();
    ChunkNode* firstLine = first->pOwner;
    CharItem* inLine = nullptr;
    for (CharItem* it = first->pNext; it; it = it->pNext)
        if (!it->bSelected || !it->pNext) {
            inLine = it;
            break;
        }
    CharItem* before = first->pPrev;
    if (!before && firstLine) {
        ChunkNode* prev = PrevLeaf(firstLine);
        before = prev && prev->HoldsItems() ? LastItem(prev) : nullptr;
    }

    // The lists and flags go first: the items they point to are freed below.
    ResetSelection(true);
    m_pCurLine = nullptr;
    m_pCurItem = nullptr;

    // Exactly the selected characters go; a selected line end takes its line
    // when nothing else is left on it (lines are never joined).
    std::vector<ChunkNode*> ended;
    for (CharItem* it : items) {
        ChunkNode* owner = it->pOwner;
        if (!owner || owner->nType != kNodeLine)
            continue;       // blocks stay
        if (it->ch == kLineEnd && !it->pNext)
            ended.push_back(owner);
        else
            DeleteCharItem(it);
    }
    bool firstLineGone = false;
    for (ChunkNode* line : ended)
        if (IsNodeEmpty(line) && RemoveEmptyLine(line) && line == firstLine)
            firstLineGone = true;

    CharItem* caret = nullptr;
    if (!firstLineGone && inLine && inLine->pOwner == firstLine)
        caret = inLine;
    else if (before)
        caret = before;
    else
        caret = after;
    if (caret) {
        m_pCurItem = caret;
        m_pCurLine = caret->pOwner;
    } else {
        m_pCurLine = LastLeaf(m_pRoot);
        m_pCurItem = m_pCurLine && m_pCurLine->HoldsItems() ? LastItem(m_pCurLine) : nullptr;
    }
    Relayout(m_pRoot, 0);
    UpdateGeometry(m_pRoot, 0);
    return true;
}
