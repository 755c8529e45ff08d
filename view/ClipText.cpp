// Plain text for the clipboard from the selection, and pasted text put in at
// the caret. Marks, styles, fonts and blocks do not travel.
#include "view/ClipText.h"

#include "app/DisplaySettings.h"
#include "view/ArticleModel.h"

namespace {

const wchar_t kLineFeed = 10;

// The paragraph of a line: its ancestor at level 2, else its container.
ChunkNode* ParagraphOfLine(ChunkNode* line)
{
    ChunkNode* para = CArticleModel::ParagraphOf(line);
    return para ? para : (line ? line->pParent : nullptr);
}

// Moves what stands behind node in its top-level paragraph (from the child of
// the paragraph that holds node on) into a paragraph of its own right behind,
// so that paragraphs pasted after node come before it.
void SplitParagraphAfter(CArticleModel& m, ChunkNode* node)
{
    while (node && node->pParent && node->pParent != m.m_pRoot &&
           node->pParent->pParent != m.m_pRoot)
        node = node->pParent;
    ChunkNode* para = node ? node->pParent : nullptr;
    if (!para || para->pParent != m.m_pRoot || !node->pNext || CArticleModel::HasRowLinks(node))
        return;
    ChunkNode* rest = m.CreateNode(kNodeContainer, para->nLevel, para->nTextSize, para->bottom,
                                   para->x, para->width, para->height, para->pNext, para, nullptr,
                                   nullptr, m.m_pRoot);
    rest->nCode = para->nCode;
    rest->nInc = para->nInc;
    rest->nManner = para->nManner;
    for (int i = 0; i < 4; ++i)
        rest->nPick[i] = para->nPick[i];
    m.SetFontFace(rest, para->pFontFace);
    ChunkNode* first = node->pNext;
    node->pNext = nullptr;
    first->pPrev = nullptr;
    rest->pFirstChild = first;
    for (ChunkNode* n = first; n; n = n->WalkNext())
        n->pParent = rest;
}

} // namespace

CString TextFromClipboardBlock(const wchar_t* data, SIZE_T blockBytes)
{
    if (!data)
        return CString();
    const SIZE_T most = blockBytes / sizeof(wchar_t);
    SIZE_T len = 0;
    while (len < most && data[len])
        ++len;
    return CString(data, (int)len);
}

CString CArticleModel::BuildCopyText()
{
    std::vector<CharItem*> items;
    CollectSelection(items);
    CString out;
    if (items.empty())
        return out;
    out.Preallocate((int)items.size() + 16);
    ChunkNode* prevPara = ParagraphOfLine(items.front()->pOwner);
    bool codeBreak = false;     // the text ends with the break of a code line
    for (CharItem* it : items) {
        ChunkNode* line = it->pOwner;
        if (!line || line->nType != kNodeLine)
            continue;       // blocks carry no text
        ChunkNode* para = ParagraphOfLine(line);
        const bool lineEnd = it->ch == kLineEnd && !it->pNext;
        // A new paragraph starts on a line of its own, unless the code line
        // before it has just ended one.
        if (para != prevPara && !codeBreak)
            out += L"\r\n";
        codeBreak = false;
        if (para && para->nCode) {
            if (lineEnd) {
                out += L"\r\n";
                codeBreak = true;
            } else {
                AppendItemUnits(out, it);
            }
        } else if (!lineEnd && it->ch != kLineFeed) {
            // A paragraph's first character stays, unless it is the line feed
            // that marks the paragraph. Where the page wrapped a line is no
            // break of the text.
            AppendItemUnits(out, it);
        }
        prevPara = para;
    }
    return out;
}

bool CArticleModel::BuildCutText(CString& text)
{
    text.Empty();
    for (INT_PTR i = 0; i < m_arrSelection.GetSize(); ++i)
        if (static_cast<CharItem*>(m_arrSelection[i])->bSelected &&
            m_arrSelectionTypes[i] != kNodeLine)
            return false;
    // The text copy would give: pasted back, paragraphs and code lines stay apart.
    text = BuildCopyText();
    return true;
}

void CArticleModel::PasteTextAtCaret(const CString& text)
{
    ChunkNode* line = m_pCurLine;
    if (!m_pRoot || !line || line->nType != kNodeLine || !m_pCurItem ||
        m_pCurItem->pOwner != line)
        return;
    const int n = text.GetLength();
    if (n > 0) {
        // Lines below are freed and rebuilt: nothing may stay listed.
        ResetSelection(true);
        WaitForAutoSave();
        m_bModified = 1;

        // What stands behind the caret (in a text paragraph: the rest of the
        // paragraph) is taken out and follows the pasted text.
        std::vector<CharItem*> tail;
        CharItem* end = LastItem(line);
        if (end && end->ch == kLineEnd && m_pCurItem != end) {
            CharItem* first = m_pCurItem;
            if (first->pPrev)
                first->pPrev->pNext = end;
            else
                line->pFirstItem = end;
            end->pPrev = first->pPrev;
            for (CharItem* it = first; it && it != end;) {
                CharItem* next = it->pNext;
                it->pPrev = it->pNext = nullptr;
                tail.push_back(it);
                it = next;
            }
            m_pCurItem = end;
        }
        if (!IsCodeLine(line)) {
            for (ChunkNode* l = line->pNext; l && l->nType == kNodeLine; l = l->pNext)
                TakeLineItems(l, tail);
            while (line->pNext && line->pNext->nType == kNodeLine)
                FreeNextSibling(line);
        }
        // The lines (and blocks) still behind the caret's line follow the
        // paragraphs the text opens.
        if (text.Find(L'\n') >= 0)
            SplitParagraphAfter(*this, line);

        InsertTextItems(text);

        if (!tail.empty()) {
            AppendBroken(m_pCurLine && m_pCurLine->nType == kNodeLine ? m_pCurLine : line, tail, 0);
            // The caret stays in front of the character it stood before.
            m_pCurItem = tail.front();
            m_pCurLine = m_pCurItem->pOwner;
        }
    }
    Relayout(m_pRoot, 0);
    UpdateGeometry(m_pRoot, 0);
    if (!bImporting) {
        UpdateCaret();
        InvalidateView(true);
    }
}
