// Text and code blocks: a typed-in block text broken into lines of its kind,
// selected lines turned into a block, and the size and face of blocks.
// Window-free; the pane's commands call these and redraw.
#include "view/ArticleModel.h"

#include "app/DisplaySettings.h"

namespace {

// The unit opens a code line: Latin and punctuation, not a digit.
bool StartsCode(wchar_t u)
{
    return u < 0x100 && !(u >= L'0' && u <= L'9');
}

// The first unit of the line after position i (line feeds skipped); 0 at the end.
wchar_t NextLineStart(const wchar_t* s, int n, int i)
{
    for (int j = i + 1; j < n; ++j)
        if (s[j] != L'\n')
            return s[j];
    return 0;
}

} // namespace

void CArticleModel::RelayoutAndRedraw()
{
    if (m_pRoot) {
        Relayout(m_pRoot, 0);
        UpdateGeometry(m_pRoot, 0);
    }
    if (!bImporting) {
        UpdateCaret();
        InvalidateView(true);
    }
}

bool CArticleModel::MarkSelectedLinesAsBlock()
{
    const INT_PTR n = m_arrSelection.GetSize();
    for (INT_PTR i = 0; i < n; ++i)
        if (i >= m_arrSelectionTypes.GetSize() || m_arrSelectionTypes[i] != kNodeLine)
            return false;
    ChunkNode* previous = nullptr;
    for (INT_PTR i = n - 1; i >= 0; --i) {
        ChunkNode* line = static_cast<CharItem*>(m_arrSelection[i])->pOwner;
        if (!line || line == previous)
            continue;
        previous = line;
        line->nCode = 1;
        if (line->pParent && line->pParent != m_pRoot)
            line->pParent->nCode = 1;
    }
    RelayoutAndRedraw();
    return true;
}

void CArticleModel::InsertBlockText(int kind, const CString& text, int fontSize, int screenWidth)
{
    if (kind != 1 && kind != 2)
        return;
    if (!m_pCurLine || m_pCurLine->nType != kNodeLine || !NewParagraphNoLayout())
        return;
    const wchar_t* s = text.GetString();
    const int len = text.GetLength();
    ChunkNode* line = m_pCurLine;
    auto setKind = [&](ChunkNode* l, int code) {
        l->nCode = code;
        if (l->pParent)
            l->pParent->nCode = code;
        if (code == 2)
            l->nTextSize = fontSize;
    };
    // Text lines wrap by an estimate of the screen: 15 px per half-width unit.
    const int wrapText = (screenWidth / 30) * 30;
    const int wrapPlain = (screenWidth / 32) * 30;
    int n = 0, k = 0;       // characters since the line start, and those below U+00FF

    if (kind == 1)
        setKind(line, 1);
    else
        setKind(line, len > 0 && StartsCode(s[0]) ? 2 : 0);

    for (int i = 0; i < len; ++i) {
        wchar_t units[2];
        i += NextCharUnits(s, i, len, units) - 1;
        if (units[0] == 0)
            continue;
        if (units[0] == L'\n')
            continue;
        if (units[0] == L'\r') {
            if (kind == 1) {
                line = NewLineAfter(line->pParent, line);
                line->nCode = 1;
            } else {
                // The next line's first unit decides its kind; a text ending
                // here opens nothing more.
                const wchar_t next = NextLineStart(s, len, i);
                if (!next)
                    break;
                if (StartsCode(next) && line->nCode == 2) {
                    line = NewLineAfter(line->pParent, line);
                    setKind(line, 2);
                } else {
                    NewParagraphNoLayout();
                    line = m_pCurLine;
                    setKind(line, StartsCode(next) ? 2 : 0);
                }
            }
            n = k = 0;
            continue;
        }
        if (units[0] == L'\t')
            units[0] = L' ';
        if (kind == 1 && (2 * n - k) * 15 > wrapText) {
            line = NewLineAfter(line->pParent, line);
            line->nCode = 1;
            n = k = 0;
        } else if (kind == 2 && line->nCode == 0 && (2 * n - k) * 15 > wrapPlain) {
            NewParagraphNoLayout();
            line = m_pCurLine;
            setKind(line, 0);
            n = k = 0;
        }
        if (!InsertCharNoWait(units, 0, 0))
            break;
        // Page overflow may have opened a line of the same paragraph.
        line = m_pCurLine;
        ++n;
        if (units[0] < 0xFF)
            ++k;
    }
    if (m_pRoot) {
        Relayout(m_pRoot, 0);
        UpdateGeometry(m_pRoot, 0);
    }
}

std::vector<ChunkNode*> CArticleModel::BlockFormatTargets()
{
    std::vector<ChunkNode*> paras;
    if (!HasSelection()) {
        if (m_pCurLine && m_pCurLine->pParent)
            paras.push_back(m_pCurLine->pParent);
        return paras;
    }
    ChunkNode* previous = nullptr;
    for (INT_PTR i = m_arrSelection.GetSize() - 1; i >= 0; --i) {
        if (i < m_arrSelectionTypes.GetSize() && m_arrSelectionTypes[i] != kNodeLine)
            continue;
        ChunkNode* line = static_cast<CharItem*>(m_arrSelection[i])->pOwner;
        ChunkNode* para = line ? line->pParent : nullptr;
        if (!para || para == previous)
            continue;
        previous = para;
        paras.push_back(para);
    }
    return paras;
}

void CArticleModel::ApplyBlockFormat(const std::vector<ChunkNode*>& paras, int size,
                                     const wchar_t* face)
{
    for (ChunkNode* para : paras) {
        para->nTextSize = size;
        SetFontFace(para, face);
    }
    if (!HasSelection() && m_pCurLine)
        m_pCurLine->nTextSize = size;
    RelayoutAndRedraw();
}

void CArticleModel::SetCurrentBlockFace(const wchar_t* face)
{
    if (!m_pCurLine || !m_pCurLine->pParent)
        return;
    SetFontFace(m_pCurLine->pParent, face);
    RelayoutAndRedraw();
}
