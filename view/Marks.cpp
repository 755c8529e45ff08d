// Marks and comments: the selected characters take the current mark style as
// their mark id or as their style index. Marking changes the article, so it
// sets the modified flag whenever something was selected.
#include "view/ArticleModel.h"

#include "app/DisplaySettings.h"

void CArticleModel::SetSelectionMark(bool deselect)
{
    const WORD mark = (WORD)DisplaySettings.nBiaozhu;
    bool changed = false;
    for (INT_PTR i = m_arrSelection.GetSize() - 1; i >= 0; --i) {
        CharItem* it = static_cast<CharItem*>(m_arrSelection[i]);
        if (!it->bSelected || m_arrSelectionTypes[i] != kNodeLine)
            continue;
        it->nMark = mark;
        changed = true;
    }
    if (changed)
        m_bModified = 1;
    if (deselect)
        ClearSelection();
    InvalidateView(true);
}

void CArticleModel::MarkSelection()
{
    SetSelectionMark(true);
}

void CArticleModel::ApplyStyleToSelection()
{
    if (m_arrSelection.IsEmpty())
        return;
    const WORD style = (WORD)DisplaySettings.nBiaozhu;
    bool changed = false;
    for (INT_PTR i = m_arrSelection.GetSize() - 1; i >= 0; --i) {
        CharItem* it = static_cast<CharItem*>(m_arrSelection[i]);
        if (!it->bSelected || m_arrSelectionTypes[i] != kNodeLine)
            continue;
        if (it->ch == kLineEnd)
            continue;       // line ends keep their style
        it->nStyle = style;
        changed = true;
    }
    if (changed)
        m_bModified = 1;
    ClearSelection();
    InvalidateView(true);
}

void CArticleModel::MarkCommand()
{
    if (!m_pRoot)
        return;
    m_bModified = 1;
    if (DisplaySettings.bSingle)
        ApplyStyleToSelection();
    else
        MarkSelection();
}

void CArticleModel::CommentSelection()
{
    if (!m_pRoot)
        return;
    MarkSelection();
}
