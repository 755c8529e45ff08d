#include "view/ArticleModel.h"

#include <cstdio>

ChunkNode::ChunkNode(WORD type, WORD level, int textSize, int y_, int x_, int width_, int height_,
                     ChunkNode* next, ChunkNode* prev, ChunkNode* left, ChunkNode* right_,
                     ChunkNode* parent, ChunkNode* firstChild)
    : nType(type), nLevel(level), nTextSize(textSize), x(x_), y(y_), right(x_ + width_),
      bottom(y_ + height_), width(width_), height(height_), pNext(next), pPrev(prev),
      pLeft(left), pRight(right_), pParent(parent)
{
    pFirstChild = firstChild;
}

CArticleModel::CArticleModel() = default;

CArticleModel::~CArticleModel()
{
    if (!m_vecNodes.empty())
        FreeNodeTree(m_vecNodes[0]);
    m_vecNodes.clear();
    FreeMarkRuns();
}

// ---------------------------------------------------------------- creation

ChunkNode* CArticleModel::CreateRootNode()
{
    ChunkNode* root = new ChunkNode(kNodeContainer, 1, m_nTextSize, m_nPageTop, m_nLeftMargin,
                                    GetClientWidth(), m_nTextSize, nullptr, nullptr, nullptr,
                                    nullptr, nullptr);
    m_vecNodes.push_back(root);
    return root;
}

ChunkNode* CArticleModel::CreateNode(WORD type, WORD level, int textSize, int y, int x, int width,
                                     int height, ChunkNode* next, ChunkNode* prev, ChunkNode* left,
                                     ChunkNode* right, ChunkNode* parent, ChunkNode* firstChild)
{
    ChunkNode* node = new ChunkNode(type, level, textSize, y, x, width, height, next, prev, left,
                                    right, parent, firstChild);
    if (prev)
        prev->pNext = node;
    if (left)
        left->pRight = node;
    if (next)
        next->pPrev = node;
    if (right)
        right->pLeft = node;
    if (!prev && !left && parent)
        parent->pFirstChild = node;
    // A node put between two code nodes belongs to the code block.
    if (prev && next && prev->nCode && next->nCode) {
        node->nCode = 1;
        node->nTextSize = prev->nTextSize;
        node->nInc = prev->nInc;
        SetFontFace(node, prev->pFontFace);
    }
    return node;
}

CharItem* CArticleModel::CreateCharItem(const wchar_t* units, CharItem* prev, CharItem* next,
                                        ChunkNode* owner)
{
    CharItem* item = new CharItem;
    int textSize = owner ? owner->nTextSize : m_nTextSize;
    int left = prev ? (int)prev->right : (owner ? owner->x : 0);
    item->left = left;
    item->top = owner ? owner->y : 0;
    item->right = item->left + textSize;
    item->bottom = item->top + textSize;
    item->size = textSize;
    if (units) {
        item->ch = units[0];
        if (IsHighSurrogate(units[0]))
            item->chLow = units[1];
    }
    item->pPrev = prev;
    item->pNext = next;
    item->pOwner = owner;
    if (prev)
        prev->pNext = item;
    else if (owner)
        owner->pFirstItem = item;
    if (next)
        next->pPrev = item;
    return item;
}

ChunkNode* CArticleModel::NewLineAfter(ChunkNode* parent, ChunkNode* after, const wchar_t*)
{
    if (!parent) {
        ReportError(1);
        return nullptr;
    }
    // Behind after in the stacked chain, or in front of the present first child.
    ChunkNode* next = after ? after->pNext : parent->pFirstChild;
    ChunkNode* line = CreateNode(kNodeLine, (WORD)(parent->nLevel + 1), parent->nTextSize,
                                 parent->y, parent->x, m_nTextSize, m_nTextSize, next, after,
                                 nullptr, nullptr, parent);
    if (parent->nCode)
        line->nCode = parent->nCode;
    line->nTextSize = parent->nTextSize;
    const wchar_t end[2] = {kLineEnd, 0};
    m_pCurItem = CreateCharItem(end, nullptr, nullptr, line);
    m_pCurLine = line;
    return line;
}

ChunkNode* CArticleModel::NewContainerAfterCurrent()
{
    if (!m_pCurLine || !m_pRoot || m_pCurLine->nType == kNodeLegacy)
        return nullptr;
    while (m_pCurLine->pParent && m_pCurLine->nLevel > 2)
        m_pCurLine = m_pCurLine->pParent;
    ChunkNode* para = m_pCurLine;
    if (para->nLevel != 2 || para->pParent != m_pRoot)
        return nullptr;
    return CreateNode(kNodeContainer, (WORD)(m_pRoot->nLevel + 1), m_pRoot->nTextSize,
                      para->bottom, m_pRoot->x, m_nTextSize, m_nTextSize, para->pNext, para,
                      nullptr, nullptr, m_pRoot);
}

void CArticleModel::SetFontFace(ChunkNode* node, const wchar_t* face)
{
    if (!node)
        return;
    const wchar_t* old = node->pFontFace;
    wchar_t* copy = nullptr;
    if (face && *face && wcscmp(face, L"默认") != 0) {
        size_t n = wcslen(face);
        copy = new wchar_t[n + 1];
        wmemcpy(copy, face, n + 1);
    }
    node->pFontFace = copy;
    delete[] old;
}

// ---------------------------------------------------------------- walking

ChunkNode* CArticleModel::FirstLine(ChunkNode* node, bool reportNull)
{
    if (!node) {
        if (reportNull)
            ReportError(1);
        return nullptr;
    }
    while (node && node->IsContainer())
        node = node->pFirstChild;
    return node;
}

ChunkNode* CArticleModel::LastLine(ChunkNode* node)
{
    if (!node) {
        ReportError(1);
        return nullptr;
    }
    while (node->IsContainer() && node->pFirstChild) {
        ChunkNode* c = node->pFirstChild;
        while (c->WalkNext())
            c = c->WalkNext();
        node = c;
    }
    return node;
}

ChunkNode* CArticleModel::LastInFirstRow(ChunkNode* node)
{
    if (!node) {
        ReportError(1);
        return nullptr;
    }
    while (node->IsContainer() && node->pFirstChild) {
        ChunkNode* c = node->pFirstChild;
        while (c->pRight)
            c = c->pRight;
        node = c;
    }
    return node;
}

CharItem* CArticleModel::LastItem(ChunkNode* node)
{
    if (!node) {
        ReportError(1);
        return nullptr;
    }
    if (node->nType == kNodeGlyph || node->nType == kNodeImage)
        return node->pFirstItem;
    if (node->nType != kNodeLine)
        return nullptr;
    CharItem* it = node->pFirstItem;
    while (it && it->pNext)
        it = it->pNext;
    return it;
}

ChunkNode* CArticleModel::NextNode(ChunkNode* node)
{
    while (node) {
        if (node->pNext)
            return node->pNext;
        node = node->pParent;
        if (!node || node->nLevel <= 1)
            return nullptr;
    }
    return nullptr;
}

ChunkNode* CArticleModel::PrevNode(ChunkNode* node)
{
    while (node) {
        if (node->pPrev)
            return node->pPrev;
        node = node->pParent;
        if (!node || node->nLevel <= 1)
            return nullptr;
    }
    return nullptr;
}

ChunkNode* CArticleModel::NextNodeAny(ChunkNode* node)
{
    while (node) {
        if (node->pNext)
            return node->pNext;
        node = node->pParent;
    }
    return nullptr;
}

ChunkNode* CArticleModel::PrevNodeAny(ChunkNode* node)
{
    while (node) {
        if (node->pPrev)
            return node->pPrev;
        node = node->pParent;
    }
    return nullptr;
}

ChunkNode* CArticleModel::ParagraphOf(ChunkNode* node)
{
    while (node && node->nLevel > 2)
        node = node->pParent;
    return node && node->nLevel == 2 ? node : nullptr;
}

ChunkNode* CArticleModel::FindLineAtY(ChunkNode* node, int y)
{
    return FindLineAtYImpl(node, y, false);
}

ChunkNode* CArticleModel::FindLineAtYFromFirst(ChunkNode* node, int y)
{
    return FindLineAtYImpl(node, y, true);
}

// The depth of a tree is bounded (kMaxLevel), so the recursion is too.
ChunkNode* CArticleModel::FindLineAtYImpl(ChunkNode* node, int y, bool fromFirst)
{
    if (!node || y < node->y + 5 || y > node->bottom + 5)
        return nullptr;
    if (!node->IsContainer())
        return node;
    ChunkNode* start = node->pFirstChild;
    if (!start)
        return nullptr;
    if (!fromFirst)
        while (start->pNext)
            start = start->pNext;
    for (ChunkNode* c = start; c; c = fromFirst ? c->pNext : c->pPrev) {
        if (ChunkNode* hit = FindLineAtYImpl(c, y, fromFirst))
            return hit;
        for (ChunkNode* r = c->pRight; r; r = r->pRight)
            if (ChunkNode* hit = FindLineAtYImpl(r, y, fromFirst))
                return hit;
    }
    // Inside the container but between its children (spacing): its nearest line.
    return fromFirst ? LastInFirstRow(start) : LastLine(start);
}

// ---------------------------------------------------------------- text forms

CString CArticleModel::ItemsText(CharItem* first, CharItem* end)
{
    CString out;
    for (CharItem* it = first; it && it != end; it = it->pNext) {
        if (!end && !it->pNext)
            break;      // the line end
        AppendItemUnits(out, it);
    }
    return out;
}

// The line end of the line that holds item; null when the line has lost it, so
// a range up to it still takes the line's last character.
CharItem* CArticleModel::LineEndOf(CharItem* item)
{
    CharItem* last = item->pOwner ? LastItem(item->pOwner) : nullptr;
    return (last && last->ch == kLineEnd) ? last : nullptr;
}

int CArticleModel::CollectStyleRuns(CharItem* first, CharItem* end)
{
    m_vecStyleRuns.clear();
    if (!first || first == end)
        return 0;
    if (!end)
        end = LineEndOf(first);
    int runs = 0;
    WORD style = 0;
    for (CharItem* it = first; it && it != end; it = it->pNext) {
        if (it == first || it->nStyle != style) {
            m_vecStyleRuns.push_back(it);
            style = it->nStyle;
            ++runs;
        }
    }
    m_vecStyleRuns.push_back(end);
    return runs;
}

static void AppendStyleOpen(CString& out, WORD style)
{
    wchar_t tag[16];
    swprintf(tag, 16, L"[T%u]", (unsigned)style);
    out += tag;
}

// A '[' directly followed by 'T', 'F' or '/' would be read back as a run tag.
static bool IsTagLetter(wchar_t u) { return u == L'T' || u == L'F' || u == L'/'; }

// Run text of [first, end) with style runs inline. A '[' that the reader would take
// for a tag stands alone in a style run of its own, "[T<style>][[/T]": inside a run
// only "[/" ends it, so the reader gives back exactly that '[' with its style.
// follow is the item whose unit comes right after the range in the caller's text
// (null: a tag, a line end or nothing comes next).
CString CArticleModel::RunText(CharItem* first, CharItem* end, CharItem* follow)
{
    CString out;
    CollectStyleRuns(first, end);
    std::vector<CharItem*> runs(m_vecStyleRuns);
    for (size_t r = 0; r + 1 < runs.size(); ++r) {
        CharItem* a = runs[r];
        CharItem* b = runs[r + 1];
        WORD style = a->nStyle;
        bool open = false;
        for (CharItem* it = a; it && it != b; it = it->pNext) {
            bool tagLike = false;
            if (it->ch == L'[') {
                // Between two style runs the next text starts with a tag anyway.
                CharItem* next = it->pNext;
                if (next && next != b)
                    tagLike = IsTagLetter(next->ch);
                else if (b == end || !next)
                    tagLike = follow && IsTagLetter(follow->ch);
            }
            if (tagLike) {
                if (open) {
                    out += L"[/T]";
                    open = false;
                }
                AppendStyleOpen(out, style);
                out += L"[[/T]";
                continue;
            }
            if (style && !open) {
                AppendStyleOpen(out, style);
                open = true;
            }
            AppendItemUnits(out, it);
        }
        if (open)
            out += L"[/T]";
    }
    return out;
}

CString CArticleModel::StyledRunText(CharItem* first, CharItem* end)
{
    if (!first)
        return CString();
    if (!end)
        end = LineEndOf(first);
    return RunText(first, end, end);
}

int CArticleModel::CountRuns(ChunkNode* line, std::vector<CharItem*>& starts, bool countTyped)
{
    starts.clear();
    if (!line || line->nType != kNodeLine)
        return 0;
    WORD mark = 0;
    for (CharItem* it = line->pFirstItem; it; it = it->pNext) {
        if (it == line->pFirstItem || it->nMark != mark) {
            starts.push_back(it);
            mark = it->nMark;
        }
        if (countTyped &&
            ((it->ch >= 0x3400 && it->ch <= 0xF7FF) || it->ch == 0x25A1 || it->ch == 0x25CB))
            ++m_nCountInput;
    }
    return (int)starts.size();
}

int CArticleModel::CollectRunStarts(ChunkNode* line)
{
    return CountRuns(line, m_vecRunStarts, true);
}

CString CArticleModel::LineMarkedText(ChunkNode* line)
{
    CString out;
    std::vector<CharItem*> starts;
    int runs = CountRuns(line, starts, false);
    if (!runs)
        return out;
    CharItem* lineEnd = LastItem(line);
    for (int r = 0; r < runs; ++r) {
        CharItem* a = starts[r];
        CharItem* b = r + 1 < runs ? starts[r + 1] : lineEnd;
        if (a == b)
            continue;
        // A run that ends where the next one starts is followed by a tag in this text;
        // the last one may be followed by the next line's text when lines are joined.
        CharItem* follow = nullptr;
        if (r + 1 == runs && line->pNext && line->pNext->IsLine())
            follow = line->pNext->pFirstItem;
        CString text = RunText(a, b, follow);
        if (text.IsEmpty())
            continue;
        if (a->nMark) {
            wchar_t tag[16];
            swprintf(tag, 16, L"[F%u]", (unsigned)a->nMark);
            out += tag;
            out += text;
            out += L"[/F]";
        } else {
            out += text;
        }
    }
    return out;
}

CString CArticleModel::ContainerMarkedText(ChunkNode* container)
{
    CString out;
    if (!container || !container->pFirstChild || container->pFirstChild->nType != kNodeLine)
        return out;
    for (ChunkNode* l = container->pFirstChild; l; l = l->pNext)
        out += LineMarkedText(l);
    return out;
}

CString CArticleModel::FollowingLinesMarkedText(ChunkNode* line)
{
    CString out;
    if (!line)
        return out;
    for (ChunkNode* l = line->pNext; l; l = l->pNext)
        out += LineMarkedText(l);
    return out;
}

CharItem* CArticleModel::ParseRunText(const CString& text, const CString& mark, ChunkNode* line,
                                      CharItem* prev)
{
    WORD markId = (WORD)_wtoi(mark);
    const wchar_t* s = text.GetString();
    const int n = text.GetLength();
    CharItem* next = prev ? prev->pNext : (line ? line->pFirstItem : nullptr);
    auto make = [&](int& i, WORD style) {
        if (!s[i]) {
            ++i;    // a zero unit is no character
            return;
        }
        wchar_t units[2];
        i += NextCharUnits(s, i, n, units);
        if (!units[0])
            return;
        CharItem* item = CreateCharItem(units, prev, next, line);
        item->nMark = markId;
        item->nStyle = style;
        prev = item;
    };
    int i = 0;
    while (i < n) {
        if (s[i] == L'[' && i + 1 < n && s[i + 1] == L'T') {
            WORD style = 0;
            int j = i + 2;
            for (; j < n && s[j] != L']'; ++j) {
                int digit = (s[j] >= L'0' && s[j] <= L'9') ? s[j] - L'0' : 0;
                style = (WORD)(style * 10 + digit);
            }
            i = j + 1;
            while (i < n && !(s[i] == L'[' && i + 1 < n && s[i + 1] == L'/'))
                make(i, style);
            if (i < n)
                i += 4;     // "[/T]"
        } else {
            make(i, 0);
        }
    }
    return prev;
}

bool CArticleModel::CountChainForType(ChunkNode* container, int& count)
{
    count = 0;
    bool stacked = false;
    if (!container || !container->IsContainer())
        return false;
    for (ChunkNode* c = container->pFirstChild; c;) {
        ++count;
        if (c->pNext) {
            c = c->pNext;
            stacked = true;
        } else if (c->pRight) {
            c = c->pRight;
            stacked = false;
        } else {
            break;
        }
    }
    return stacked;
}

CString CArticleModel::TypeWord(ChunkNode* node)
{
    int count = 0;
    bool stacked = CountChainForType(node, count);
    CString word;
    word.Format(L"%c%d", stacked ? L'C' : L'R', count);
    return word;
}

// ---------------------------------------------------------------- freeing

void CArticleModel::FreeItems(CharItem* first)
{
    while (first) {
        CharItem* next = first->pNext;
        delete first;
        first = next;
    }
}

// Iterative, so a deep tree cannot exhaust the stack.
void CArticleModel::FreeNodeTree(ChunkNode* node)
{
    if (!node)
        return;
    std::vector<ChunkNode*> pending{node};
    while (!pending.empty()) {
        ChunkNode* n = pending.back();
        pending.pop_back();
        if (n->HoldsItems()) {
            FreeItems(n->pFirstItem);
        } else {
            for (ChunkNode* c = n->pFirstChild; c; c = c->WalkNext())
                pending.push_back(c);
        }
        delete n;
    }
}

bool CArticleModel::IsInside(const ChunkNode* node, const ChunkNode* ancestor) const
{
    for (; node; node = node->pParent)
        if (node == ancestor)
            return true;
    return false;
}

void CArticleModel::DeleteNode(ChunkNode* node)
{
    if (!node)
        return;
    ChunkNode* parent = node->pParent;
    if (parent && !node->pPrev && !node->pLeft && parent->pFirstChild == node)
        parent->pFirstChild = node->pRight ? node->pRight : node->pNext;
    if (node->pPrev)
        node->pPrev->pNext = node->pNext;
    if (node->pNext)
        node->pNext->pPrev = node->pPrev;
    if (node->pLeft)
        node->pLeft->pRight = node->pRight;
    if (node->pRight)
        node->pRight->pLeft = node->pLeft;
    node->pNext = node->pPrev = node->pLeft = node->pRight = nullptr;
    // Nothing may keep pointing into the freed subtree.
    if (!m_arrSelection.IsEmpty())
        ResetSelection(true);
    if (IsInside(m_pCurLine, node)) {
        m_pCurLine = nullptr;
        m_pCurItem = nullptr;
    }
    if (IsInside(m_pFirstDrawn, node))
        m_pFirstDrawn = nullptr;
    if (node == m_pRoot) {
        m_pRoot = nullptr;
        m_vecNodes.clear();
    }
    FreeNodeTree(node);
}

void CArticleModel::DeleteCharItem(CharItem* item)
{
    if (!item)
        return;
    if (!m_arrSelection.IsEmpty())
        ResetSelection(true);
    if (item->pPrev)
        item->pPrev->pNext = item->pNext;
    else if (item->pOwner && item->pOwner->pFirstItem == item)
        item->pOwner->pFirstItem = item->pNext;
    if (item->pNext)
        item->pNext->pPrev = item->pPrev;
    if (m_pCurItem == item)
        m_pCurItem = nullptr;
    delete item;
}

void CArticleModel::FreeMarkRuns()
{
    while (!m_vecMarkRuns.empty()) {
        delete m_vecMarkRuns.back();
        m_vecMarkRuns.pop_back();
    }
}

void CArticleModel::CloseArticle()
{
    ClearSelection();
    if (!m_vecNodes.empty())
        FreeNodeTree(m_vecNodes[0]);
    m_pRoot = nullptr;
    m_pCurLine = nullptr;
    m_pCurItem = nullptr;
    m_vecNodes.clear();
    FreeMarkRuns();
    m_pFirstDrawn = nullptr;
    m_nScrollDown = 1;
    m_bLoadedDamaged = false;
}

bool CArticleModel::IsArticleEmpty()
{
    if (m_vecNodes.empty() || !m_pRoot)
        return true;
    ChunkNode* para = m_pRoot->pFirstChild;
    if (!para)
        return true;
    if (HasRowLinks(para) || HasColumnLinks(para))
        return false;
    if (!para->IsContainer())
        return false;
    ChunkNode* line = para->pFirstChild;
    if (!line)
        return true;
    if (line->nType != kNodeLine || HasRowLinks(line) || HasColumnLinks(line))
        return false;
    CharItem* it = line->pFirstItem;
    return !it || (!it->pNext && it->ch == kLineEnd);
}
