// Putting characters into the article: the insertion primitive, whole texts,
// new paragraphs and the re-break of a line that typing made too wide.
// Re-breaking moves the character items themselves, so marks, styles and any
// text that looks like a run tag stay exactly as they were.
#include "view/ArticleModel.h"

#include <vector>

#include "app/DisplaySettings.h"

void CArticleModel::WaitForAutoSave()
{
    // The timer's save must not see a half-changed tree; after the time-out
    // the insertion goes ahead anyway.
    if (m_hAutoSaveEvent)
        WaitForSingleObject(m_hAutoSaveEvent, 2000);
}

// Moves every item of line but its line end to the back of out; the line keeps
// only its line end.
// Unlinks the node after this one and frees it with everything it holds.
void CArticleModel::FreeNextSibling(ChunkNode* node)
{
    ChunkNode* l = node->pNext;
    node->pNext = l->pNext;
    if (l->pNext)
        l->pNext->pPrev = node;
    l->pNext = l->pPrev = nullptr;
    if (m_pFirstDrawn == l)
        m_pFirstDrawn = node;
    FreeNodeTree(l);
}

void CArticleModel::TakeLineItems(ChunkNode* line, std::vector<CharItem*>& out)
{
    if (!line || line->nType != kNodeLine)
        return;
    CharItem* end = LastItem(line);
    if (end && end->ch != kLineEnd)
        end = nullptr;      // a line without its line end gives up every item
    for (CharItem* it = line->pFirstItem; it && it != end;) {
        CharItem* next = it->pNext;
        it->pPrev = it->pNext = nullptr;
        out.push_back(it);
        it = next;
    }
    line->pFirstItem = end;
    if (end)
        end->pPrev = nullptr;
}

// Links items[first..] in order into line in front of its line end, opening a
// new line behind the last one whenever the line is wider than the page before
// the next item. Returns the last line filled.
ChunkNode* CArticleModel::AppendBroken(ChunkNode* line, const std::vector<CharItem*>& items,
                                       size_t first)
{
    if (!line || first >= items.size())
        return line;
    bool plainBig = m_nTextSize >= 22 && !IsCodeLine(line);
    int width = NodeWidth(line);
    CharItem* end = LastItem(line);
    for (size_t i = first; i < items.size(); ++i) {
        if (width > DisplaySettings.nPageWidth && line->pParent) {
            line = NewLineAfter(line->pParent, line);
            plainBig = m_nTextSize >= 22 && !IsCodeLine(line);
            width = NodeWidth(line);
            end = LastItem(line);
        }
        CharItem* item = items[i];
        item->pOwner = line;
        item->pNext = end;
        item->pPrev = end ? end->pPrev : nullptr;
        if (!end) {
            // A line without items (never made here): append at its back.
            CharItem* last = LastItem(line);
            item->pPrev = last;
            if (last)
                last->pNext = item;
            else
                line->pFirstItem = item;
        } else {
            if (end->pPrev)
                end->pPrev->pNext = item;
            else
                line->pFirstItem = item;
            end->pPrev = item;
        }
        width += BreakWidthOf(item, plainBig);
    }
    return line;
}

CharItem* CArticleModel::InsertChar(const wchar_t* units, WORD style, WORD mark)
{
    WaitForAutoSave();
    return InsertCharNoWait(units, style, mark);
}

CharItem* CArticleModel::InsertCharNoWait(const wchar_t* units, WORD style, WORD mark)
{
    ChunkNode* line = m_pCurLine;
    if (line && line->nType == kNodeLine) {
        // During a bulk insertion the width of the line being filled is kept
        // instead of measured again for every character.
        int width = (m_bBulkInsert && m_pWidthLine == line) ? m_nWidthLine : NodeWidth(line);
        if (width > DisplaySettings.nPageWidth && line->pParent) {
            line = NewLineAfter(line->pParent, line);
            width = NodeWidth(line);
        }
        m_pWidthLine = line;
        m_nWidthLine = width;
    }
    line = m_pCurLine;
    if (!line || line->nType != kNodeLine || !m_pCurItem || m_pCurItem->pOwner != line)
        return nullptr;
    CharItem* item = CreateCharItem(units, m_pCurItem->pPrev, m_pCurItem, line);
    item->nStyle = style;
    item->nMark = mark;
    if (m_pWidthLine == line)
        m_nWidthLine += BreakWidthOf(item, m_nTextSize >= 22 && !IsCodeLine(line));
    return item;
}

bool CArticleModel::NewParagraphNoLayout()
{
    if (!m_pRoot || !m_pCurLine || m_pCurLine->nType == kNodeLegacy)
        return false;
    ChunkNode* para = NewContainerAfterCurrent();
    if (!para)
        return false;
    NewLineAfter(para, nullptr);
    return true;
}

void CArticleModel::NewParagraph()
{
    if (!NewParagraphNoLayout())
        return;
    if (!bImporting) {
        Relayout(m_pRoot, 0);
        UpdateGeometry(m_pRoot, 0);
        UpdateCaret();
        InvalidateView(true);
    }
}

void CArticleModel::InsertTextItems(const CString& text)
{
    const int n = text.GetLength();
    const wchar_t* s = text.GetString();
    m_bBulkInsert = true;
    m_pWidthLine = nullptr;
    for (int i = 0; i < n;) {
        wchar_t units[2];
        i += NextCharUnits(s, i, n, units);
        if (units[0] == L'\r' || units[0] == 0)
            continue;   // a zero unit would end the line's text wherever it is handed on
        if (units[0] == L'\n')
            NewParagraphNoLayout();
        InsertCharNoWait(units, 0, 0);
    }
    m_bBulkInsert = false;
    m_pWidthLine = nullptr;
}

void CArticleModel::InsertText(const CString& text)
{
    if (text.IsEmpty())
        return;
    WaitForAutoSave();
    InsertTextItems(text);
    // One layout for the whole text; the importer lays out once when it ends.
    if (!bImporting && m_pRoot) {
        Relayout(m_pRoot, 0);
        UpdateGeometry(m_pRoot, 0);
        UpdateCaret();
        InvalidateView(true);
    }
}

void CArticleModel::RebreakOverflow()
{
    ChunkNode* line = m_pCurLine;
    if (!line || line->nType != kNodeLine || !line->pParent)
        return;
    CharItem* end = LastItem(line);
    if (!end || end->ch != kLineEnd || !end->pPrev)
        return;
    CharItem* caret = m_pCurItem;
    // The lines below are freed with their line ends: nothing may stay selected.
    ResetSelection(true);

    // The last character (more while the line is still too wide) and
    // everything on the lines below it in the paragraph.
    std::vector<CharItem*> items;
    do {
        CharItem* taken = end->pPrev;
        end->pPrev = taken->pPrev;
        if (taken->pPrev)
            taken->pPrev->pNext = end;
        else
            line->pFirstItem = end;
        taken->pPrev = taken->pNext = nullptr;
        items.insert(items.begin(), taken);
    } while (end->pPrev && LastCharOverrunsPage(line));
    bool caretOnFreedEnd = false;
    for (ChunkNode* l = line->pNext; l; l = l->pNext) {
        if (caret && caret == LastItem(l))
            caretOnFreedEnd = true;
        TakeLineItems(l, items);
    }
    while (line->pNext)
        FreeNextSibling(line);

    ChunkNode* last = AppendBroken(NewLineAfter(line->pParent, line), items, 0);
    if (caretOnFreedEnd || !caret) {
        m_pCurLine = last;
        m_pCurItem = LastItem(last);
    } else {
        // The caret stays with its character, wherever that went.
        m_pCurItem = caret;
        m_pCurLine = caret->pOwner;
    }

    if (ChunkNode* para = ParagraphOf(line)) {
        RelayoutParagraph(para);
    } else if (m_pRoot) {
        Relayout(m_pRoot, 1);
        UpdateGeometry(m_pRoot, 1);
    }
}
