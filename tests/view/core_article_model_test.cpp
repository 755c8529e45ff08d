// The article tree: creation, linking, walks, text forms, freeing and the error log.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "ViewTestUtil.h"

namespace {

class ArticleModelTest : public testing::Test {
protected:
    TempProgramFolder folder;
    MessageRecorder boxes;
    TestModel m;

    // A fresh article: root, one paragraph, one empty line.
    ChunkNode* Start()
    {
        m.NewArticle();
        return m.m_pCurLine;
    }
    ChunkNode* Para() { return m.m_pRoot->pFirstChild; }
    std::wstring LogText()
    {
        std::string bytes = ReadBytes(m.ErrorLogPath());
        return std::wstring((const wchar_t*)bytes.data(), bytes.size() / 2);
    }
};

// A line of the given units, each with its own mark id and style index.
ChunkNode* MakeLine(CArticleModel& m, ChunkNode* line, const std::wstring& text,
                    const std::vector<WORD>& marks, const std::vector<WORD>& styles)
{
    std::vector<CharItem*> items = AppendText(m, line, text);
    for (size_t i = 0; i < items.size(); ++i) {
        items[i]->nMark = i < marks.size() ? marks[i] : 0;
        items[i]->nStyle = i < styles.size() ? styles[i] : 0;
    }
    return line;
}

} // namespace

TEST_F(ArticleModelTest, NewArticleHasOneParagraphWithOneEmptyLine)
{
    ChunkNode* line = Start();
    ASSERT_NE(nullptr, m.m_pRoot);
    ASSERT_EQ(1u, m.m_vecNodes.size());
    EXPECT_EQ(m.m_pRoot, m.m_vecNodes[0]);
    EXPECT_EQ(1, m.m_pRoot->nLevel);
    EXPECT_EQ(20, m.m_pRoot->x);
    EXPECT_EQ(50, m.m_pRoot->y);
    EXPECT_EQ(1000, m.m_pRoot->width);
    EXPECT_EQ(2, m.m_nVersion);
    ChunkNode* para = Para();
    EXPECT_EQ(kNodeContainer, para->nType);
    EXPECT_EQ(2, para->nLevel);
    EXPECT_EQ(kNodeLine, line->nType);
    EXPECT_EQ(3, line->nLevel);
    EXPECT_EQ(para->pFirstChild, line);
    ASSERT_NE(nullptr, line->pFirstItem);
    EXPECT_EQ(kLineEnd, line->pFirstItem->ch);
    EXPECT_EQ(nullptr, line->pFirstItem->pNext);
    EXPECT_EQ(line->pFirstItem, m.m_pCurItem);
    EXPECT_EQ(L"", m.ItemsText(line->pFirstItem, nullptr).str());
    EXPECT_TRUE(m.IsArticleEmpty());
    EXPECT_EQ(1, m.caretUpdates);
    EXPECT_EQ(1, m.invalidations);
    EXPECT_EQ(1, m.enables);
}

TEST_F(ArticleModelTest, NewArticleWhileImportingDoesNotRedraw)
{
    bImporting = TRUE;
    Start();
    bImporting = FALSE;
    EXPECT_EQ(0, m.caretUpdates);
    EXPECT_EQ(0, m.invalidations);
    EXPECT_EQ(1, m.enables);
}

TEST_F(ArticleModelTest, CreateCharItemTakesTheOwnersBoxAndSurrogates)
{
    ChunkNode* line = Start();
    line->x = 100;
    line->y = 60;
    line->nTextSize = 30;
    CharItem* end = line->pFirstItem;
    const wchar_t pair[] = {0xD840, 0xDC00, 0};
    CharItem* a = m.CreateCharItem(pair, nullptr, end, line);
    EXPECT_EQ(a, line->pFirstItem);
    EXPECT_EQ(end, a->pNext);
    EXPECT_EQ(a, end->pPrev);
    EXPECT_EQ(0xD840, a->ch);
    EXPECT_EQ(0xDC00, a->chLow);
    EXPECT_EQ(100, a->left);
    EXPECT_EQ(60, a->top);
    EXPECT_EQ(130, a->right);
    EXPECT_EQ(90, a->bottom);
    EXPECT_EQ(30, a->size);
    a->right = 130.75;
    const wchar_t b[] = {L'b', L'x', 0};
    CharItem* bi = m.CreateCharItem(b, a, end, line);
    EXPECT_EQ(130, bi->left);     // the previous right, truncated
    EXPECT_EQ(0, bi->chLow);      // only a high surrogate takes the second unit
    const wchar_t d800[] = {0xD800, L'q', 0};
    CharItem* c = m.CreateCharItem(d800, bi, end, line);
    EXPECT_EQ(L'q', c->chLow);
    EXPECT_EQ(L"\xD840\xDC00" L"b\xD800q", m.ItemsText(line->pFirstItem, nullptr).str());
    EXPECT_EQ(L"b", m.ItemsText(bi, c).str());
    EXPECT_EQ(L"", m.ItemsText(bi, bi).str());
}

TEST_F(ArticleModelTest, CreateNodeBetweenCodeNodesJoinsTheBlock)
{
    Start();
    ChunkNode* para = Para();
    ChunkNode* l1 = para->pFirstChild;
    ChunkNode* l2 = m.NewLineAfter(para, l1);
    l1->nCode = 2;
    l2->nCode = 1;
    l1->nTextSize = 18;
    l1->nInc = 3;
    m.SetFontFace(l1, L"Consolas");
    ChunkNode* mid = m.CreateNode(kNodeLine, 3, 28, 0, 0, 28, 28, l2, l1, nullptr, nullptr, para);
    EXPECT_EQ(l1->pNext, mid);
    EXPECT_EQ(l2->pPrev, mid);
    EXPECT_EQ(1, mid->nCode);
    EXPECT_EQ(18, mid->nTextSize);
    EXPECT_EQ(3, mid->nInc);
    ASSERT_NE(nullptr, mid->pFontFace);
    EXPECT_STREQ(L"Consolas", mid->pFontFace);
    EXPECT_NE(l1->pFontFace, mid->pFontFace);   // its own copy
    // Between a code node and a plain one nothing is inherited.
    l2->nCode = 0;
    ChunkNode* plain = m.CreateNode(kNodeLine, 3, 28, 0, 0, 28, 28, l2, mid, nullptr, nullptr, para);
    EXPECT_EQ(0, plain->nCode);
    EXPECT_EQ(nullptr, plain->pFontFace);
    EXPECT_EQ(-1, plain->nPick[0]);
    EXPECT_EQ(9, plain->nManner);
    EXPECT_EQ(28, plain->right);
}

TEST_F(ArticleModelTest, NewLineAfterKeepsTheChain)
{
    Start();
    ChunkNode* para = Para();
    ChunkNode* l1 = para->pFirstChild;
    ChunkNode* l3 = m.NewLineAfter(para, l1);
    ChunkNode* l2 = m.NewLineAfter(para, l1);
    ChunkNode* l0 = m.NewLineAfter(para, nullptr);
    EXPECT_EQ(l0, para->pFirstChild);
    EXPECT_EQ(l1, l0->pNext);
    EXPECT_EQ(l2, l1->pNext);
    EXPECT_EQ(l3, l2->pNext);
    EXPECT_EQ(l2, l3->pPrev);
    EXPECT_EQ(l0, m.m_pCurLine);
    EXPECT_EQ(l0->pFirstItem, m.m_pCurItem);
    para->nCode = 1;
    para->nTextSize = 24;
    ChunkNode* code = m.NewLineAfter(para, l3);
    EXPECT_EQ(1, code->nCode);
    EXPECT_EQ(24, code->nTextSize);
    EXPECT_EQ(3, code->nLevel);
}

TEST_F(ArticleModelTest, NewContainerAfterCurrentGoesBehindTheParagraph)
{
    Start();
    ChunkNode* p1 = Para();
    m.m_pCurLine = p1->pFirstChild;
    ChunkNode* p3 = m.NewContainerAfterCurrent();
    m.NewLineAfter(p3, nullptr);
    m.m_pCurLine = p1->pFirstChild;
    ChunkNode* p2 = m.NewContainerAfterCurrent();
    ASSERT_NE(nullptr, p2);
    EXPECT_EQ(p1, m.m_pCurLine);    // moved up to the paragraph on the way
    EXPECT_EQ(p2, p1->pNext);
    EXPECT_EQ(p3, p2->pNext);
    EXPECT_EQ(p2, p3->pPrev);
    EXPECT_EQ(2, p2->nLevel);
    EXPECT_EQ(p1->bottom, p2->y);
    EXPECT_EQ(m.m_pRoot, p2->pParent);
    m.m_pCurLine->nType = kNodeLegacy;
    EXPECT_EQ(nullptr, m.NewContainerAfterCurrent());
    m.m_pCurLine->nType = kNodeContainer;
}

TEST_F(ArticleModelTest, SetFontFace)
{
    Start();
    ChunkNode* p = Para();
    m.SetFontFace(p, L"隶书");
    ASSERT_NE(nullptr, p->pFontFace);
    EXPECT_STREQ(L"隶书", p->pFontFace);
    m.SetFontFace(p, L"默认");
    EXPECT_EQ(nullptr, p->pFontFace);
    m.SetFontFace(p, L"宋体");
    m.SetFontFace(p, L"");
    EXPECT_EQ(nullptr, p->pFontFace);
}

TEST_F(ArticleModelTest, WalksOverStacksAndRows)
{
    Start();
    ChunkNode* root = m.m_pRoot;
    ChunkNode* p1 = Para();
    ChunkNode* a = p1->pFirstChild;
    ChunkNode* b = m.NewLineAfter(p1, a);
    m.m_pCurLine = b;
    ChunkNode* p2 = m.NewContainerAfterCurrent();
    // p2 holds a row of two containers, each with a line.
    ChunkNode* left = m.CreateNode(kNodeContainer, 3, 28, 0, 0, 28, 28, nullptr, nullptr, nullptr,
                                   nullptr, p2);
    ChunkNode* right = m.CreateNode(kNodeContainer, 3, 28, 0, 0, 28, 28, nullptr, nullptr, left,
                                    nullptr, p2);
    ChunkNode* c = m.NewLineAfter(left, nullptr);
    ChunkNode* d = m.NewLineAfter(right, nullptr);
    ChunkNode* e = m.NewLineAfter(right, d);

    EXPECT_EQ(a, m.FirstLine(root));
    EXPECT_EQ(c, m.FirstLine(p2));
    EXPECT_EQ(e, m.LastLine(root));
    EXPECT_EQ(b, m.LastLine(p1));
    EXPECT_EQ(e, m.LastLine(p2));
    EXPECT_EQ(d, m.LastInFirstRow(p2));
    EXPECT_EQ(a, m.LastLine(a));
    EXPECT_EQ(a->pFirstItem, m.LastItem(a));
    EXPECT_EQ(nullptr, m.LastItem(p1));
    EXPECT_TRUE(CArticleModel::HasRowLinks(left));
    EXPECT_FALSE(CArticleModel::HasColumnLinks(left));
    EXPECT_TRUE(CArticleModel::HasColumnLinks(a));
    EXPECT_FALSE(CArticleModel::HasRowLinks(a));

    EXPECT_EQ(b, m.NextNode(a));
    EXPECT_EQ(p2, m.NextNode(b));       // up to the paragraph's next
    EXPECT_EQ(nullptr, m.NextNode(e));  // stops at the root
    EXPECT_EQ(nullptr, m.NextNodeAny(e));
    EXPECT_EQ(a, m.PrevNode(b));
    EXPECT_EQ(p1, m.PrevNode(c));
    EXPECT_EQ(nullptr, m.PrevNode(a));
    EXPECT_EQ(p2, CArticleModel::ParagraphOf(e));
    EXPECT_EQ(nullptr, CArticleModel::ParagraphOf(root));

    int count = 0;
    EXPECT_TRUE(m.CountChainForType(root, count));
    EXPECT_EQ(2, count);
    EXPECT_FALSE(m.CountChainForType(p2, count));
    EXPECT_EQ(2, count);
    EXPECT_EQ(L"C2", m.TypeWord(p1).str());
    EXPECT_EQ(L"R2", m.TypeWord(p2).str());
    EXPECT_EQ(L"R1", m.TypeWord(left).str());
    EXPECT_EQ(L"R0", m.TypeWord(a).str());
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(ArticleModelTest, FindLineAtY)
{
    Start();
    ChunkNode* p = Para();
    ChunkNode* a = p->pFirstChild;
    ChunkNode* b = m.NewLineAfter(p, a);
    // Boxes as a layout would leave them: a 50..80, b 80..110, paragraph 50..120.
    a->y = 50, a->bottom = 80;
    b->y = 80, b->bottom = 110;
    p->y = 50, p->bottom = 120;
    m.m_pRoot->y = 50, m.m_pRoot->bottom = 120;
    EXPECT_EQ(a, m.FindLineAtY(m.m_pRoot, 60));
    EXPECT_EQ(b, m.FindLineAtY(m.m_pRoot, 90));
    // At 85 both a (to its bottom + 5) and b (from its top + 5) match.
    EXPECT_EQ(a, m.FindLineAtYFromFirst(m.m_pRoot, 85));
    EXPECT_EQ(b, m.FindLineAtY(m.m_pRoot, 85));             // searched from the last
    EXPECT_EQ(b, m.FindLineAtY(m.m_pRoot, 118));            // spacing below: the last line
    EXPECT_EQ(nullptr, m.FindLineAtY(m.m_pRoot, 54));       // above top + 5
    EXPECT_EQ(nullptr, m.FindLineAtY(m.m_pRoot, 126));
}

TEST_F(ArticleModelTest, StyledAndMarkedText)
{
    ChunkNode* line = MakeLine(m, Start(), L"ab", {5, 5}, {0, 3});
    CharItem* end = m.LastItem(line);
    EXPECT_EQ(L"a[T3]b[/T]", m.StyledRunText(line->pFirstItem, end).str());
    EXPECT_EQ(L"[F5]a[T3]b[/T][/F]", m.LineMarkedText(line).str());
    EXPECT_EQ(2, m.CollectStyleRuns(line->pFirstItem, end));
    ASSERT_EQ(3u, m.m_vecStyleRuns.size());
    EXPECT_EQ(end, m.m_vecStyleRuns[2]);
    EXPECT_EQ(0, m.CollectStyleRuns(end, end));
    // The following lines of a paragraph, joined.
    ChunkNode* second = m.NewLineAfter(Para(), line);
    MakeLine(m, second, L"cd", {0, 7}, {0, 0});
    EXPECT_EQ(L"c[F7]d[/F]", m.FollowingLinesMarkedText(line).str());
    EXPECT_EQ(L"[F5]a[T3]b[/T][/F]c[F7]d[/F]", m.ContainerMarkedText(Para()).str());
    EXPECT_EQ(L"", m.ContainerMarkedText(m.m_pRoot).str());     // its first child is no line
}

TEST_F(ArticleModelTest, CollectRunStartsCountsTypedCharacters)
{
    ChunkNode* line = MakeLine(m, Start(), L"中a\x25A1\x25CB\x33FF\xF800", {1, 1, 2, 2, 0, 0}, {});
    m.m_nCountInput = 10;
    EXPECT_EQ(3, m.CollectRunStarts(line));
    EXPECT_EQ(13, m.m_nCountInput);     // 中, U+25A1, U+25CB
    ASSERT_EQ(3u, m.m_vecRunStarts.size());
    EXPECT_EQ(L'中', m.m_vecRunStarts[0]->ch);
    EXPECT_EQ(0x25A1, m.m_vecRunStarts[1]->ch);
    EXPECT_EQ(0x33FF, m.m_vecRunStarts[2]->ch);
    EXPECT_EQ(0, m.CollectRunStarts(Para()));
}

TEST_F(ArticleModelTest, RunTableGrowsPastThirtyTwoRuns)
{
    std::vector<WORD> marks;
    std::wstring text;
    for (int i = 0; i < 100; ++i) {
        text += (wchar_t)(L'a' + i % 26);
        marks.push_back((WORD)(i % 2 ? 0 : i + 1));
    }
    ChunkNode* line = MakeLine(m, Start(), text, marks, {});
    EXPECT_EQ(100, m.CollectRunStarts(line));   // the line end joins the last, unmarked run
    EXPECT_EQ(100u, m.m_vecRunStarts.size());
}

TEST_F(ArticleModelTest, ParseRunText)
{
    ChunkNode* line = Start();
    CharItem* last = m.ParseRunText(CString(L"x[T12]yz[/T]w"), CString(L"4"), line, nullptr);
    ASSERT_NE(nullptr, last);
    std::vector<std::wstring> got;
    for (CharItem* it = line->pFirstItem; it && it->ch != kLineEnd; it = it->pNext) {
        wchar_t buf[32];
        swprintf(buf, 32, L"%lc %u %u", it->ch, it->nMark, it->nStyle);
        got.push_back(buf);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"x 4 0", L"y 4 12", L"z 4 12", L"w 4 0"}), got);
    EXPECT_EQ(L'w', last->ch);
    EXPECT_EQ(kLineEnd, last->pNext->ch);   // appended in front of what followed

    // Surrogate pairs make one item; an empty text makes none.
    ChunkNode* l2 = m.NewLineAfter(Para(), line);
    CharItem* first = m.ParseRunText(CString(L"\xD840\xDC00"), CString(), l2, nullptr);
    EXPECT_EQ(0xDC00, first->chLow);
    EXPECT_EQ(first, m.ParseRunText(CString(), CString(L"9"), l2, first));
    // The unchanged reading of a literal "[T": it opens a style run.
    ChunkNode* l3 = m.NewLineAfter(Para(), l2);
    m.ParseRunText(CString(L"a[Tb"), CString(), l3, nullptr);
    EXPECT_EQ(L"a\r", LineUnits(l3));
    // Style digits: non-digits count 0, the value is kept in 16 bits.
    ChunkNode* l4 = m.NewLineAfter(Para(), l3);
    CharItem* it = m.ParseRunText(CString(L"[T1x]q[/T][T65537]r"), CString(), l4, nullptr);
    EXPECT_EQ(1, it->nStyle);
    EXPECT_EQ(10, it->pPrev->nStyle);
}

// Text the user typed that looks like a run tag comes back exactly.
TEST_F(ArticleModelTest, BracketsThatLookLikeTagsSurviveTheRunText)
{
    struct Case { const wchar_t* text; WORD style; const wchar_t* expect; };
    const Case cases[] = {
        {L"a[TOTAL] = 0;", 0, L"a[T0][[/T]TOTAL] = 0;"},
        {L"[/T]", 0, L"[T0][[/T]/T]"},
        {L"[T", 0, L"[T0][[/T]T"},
        {L"[", 0, L"["},
        {L"x[", 0, L"x["},
        {L"[F1]x[/F]", 0, L"[T0][[/T]F1]x[T0][[/T]/F]"},
        {L"[[T", 0, L"[[T0][[/T]T"},
        {L"a[/b", 3, L"[T3]a[/T][T3][[/T][T3]/b[/T]"},
        {L"[T", 5, L"[T5][[/T][T5]T[/T]"},
        {L"x[", 2, L"[T2]x[[/T]"},
        {L"a[0]", 0, L"a[0]"},
    };
    for (const Case& c : cases) {
        TestModel fresh;
        fresh.NewArticle();
        ChunkNode* line = fresh.m_pCurLine;
        AppendText(fresh, line, c.text, 0, c.style);
        CString text = fresh.StyledRunText(line->pFirstItem, fresh.LastItem(line));
        EXPECT_EQ(std::wstring(c.expect), text.str()) << c.text;
        ChunkNode* back = fresh.NewLineAfter(fresh.m_pRoot->pFirstChild, line);
        fresh.ParseRunText(text, CString(), back, nullptr);
        EXPECT_EQ(std::wstring(c.text) + L"\r", LineUnits(back)) << c.text;
        for (CharItem* it = back->pFirstItem; it->pNext; it = it->pNext)
            EXPECT_EQ(c.style, it->nStyle) << c.text;
    }
}

TEST_F(ArticleModelTest, BracketBeforeAnotherStyleRunNeedsNoEscape)
{
    ChunkNode* line = MakeLine(m, Start(), L"a[Tb", {}, {0, 0, 4, 4});
    EXPECT_EQ(L"a[[T4]Tb[/T]", m.StyledRunText(line->pFirstItem, m.LastItem(line)).str());
    // A '[' ending a line of a paragraph goes before the next line's text.
    ChunkNode* next = m.NewLineAfter(Para(), line);
    AppendText(m, next, L"/x");
    ChunkNode* l1 = line;
    while (l1->pFirstItem->pNext != m.LastItem(l1))
        m.DeleteCharItem(l1->pFirstItem);
    l1->pFirstItem->ch = L'[';
    l1->pFirstItem->nStyle = 0;
    EXPECT_EQ(L"[T0][[/T]/x", m.ContainerMarkedText(Para()).str());
}

TEST_F(ArticleModelTest, IsArticleEmpty)
{
    EXPECT_TRUE(m.IsArticleEmpty());
    ChunkNode* line = Start();
    EXPECT_TRUE(m.IsArticleEmpty());
    AppendText(m, line, L"a");
    EXPECT_FALSE(m.IsArticleEmpty());
    m.DeleteCharItem(line->pFirstItem);
    EXPECT_TRUE(m.IsArticleEmpty());
    ChunkNode* second = m.NewLineAfter(Para(), line);
    EXPECT_FALSE(m.IsArticleEmpty());
    m.DeleteNode(second);
    EXPECT_TRUE(m.IsArticleEmpty());
    m.DeleteNode(line);
    EXPECT_TRUE(m.IsArticleEmpty());    // a paragraph without a line
    m.DeleteNode(Para());
    EXPECT_TRUE(m.IsArticleEmpty());    // a root without children
}

TEST_F(ArticleModelTest, DeleteNodeAndItemKeepLinksRight)
{
    Start();
    ChunkNode* p = Para();
    ChunkNode* a = p->pFirstChild;
    ChunkNode* b = m.NewLineAfter(p, a);
    ChunkNode* c = m.NewLineAfter(p, b);
    m.m_pCurLine = a;
    m.m_pCurItem = a->pFirstItem;
    m.DeleteNode(a);
    EXPECT_EQ(b, p->pFirstChild);
    EXPECT_EQ(nullptr, b->pPrev);
    EXPECT_EQ(nullptr, m.m_pCurLine);   // nothing points into freed nodes
    EXPECT_EQ(nullptr, m.m_pCurItem);
    m.DeleteNode(c);
    EXPECT_EQ(nullptr, b->pNext);
    // Row neighbours: the right one becomes the first child.
    ChunkNode* r = m.CreateNode(kNodeLine, 3, 28, 0, 0, 28, 28, nullptr, nullptr, b, nullptr, p);
    m.DeleteNode(b);
    EXPECT_EQ(r, p->pFirstChild);
    EXPECT_EQ(nullptr, r->pLeft);

    AppendText(m, r, L"xyz");
    EXPECT_EQ(L"xyz", LineUnits(r));
    m.DeleteCharItem(r->pFirstItem);
    EXPECT_EQ(L'y', r->pFirstItem->ch);
    EXPECT_EQ(nullptr, r->pFirstItem->pPrev);
    m.DeleteCharItem(r->pFirstItem->pNext);
    EXPECT_EQ(nullptr, r->pFirstItem->pNext);
    m.DeleteCharItem(r->pFirstItem);
    EXPECT_EQ(nullptr, r->pFirstItem);
}

TEST_F(ArticleModelTest, FreeingAVeryDeepTreeDoesNotRecurse)
{
    Start();
    ChunkNode* parent = Para();
    for (int i = 0; i < 200000; ++i)
        parent = m.CreateNode(kNodeContainer, 3, 28, 0, 0, 28, 28, nullptr, nullptr, nullptr,
                              nullptr, parent);
    m.NewLineAfter(parent, nullptr);
    m.CloseArticle();
    EXPECT_EQ(nullptr, m.m_pRoot);
}

TEST_F(ArticleModelTest, CloseArticleResetsEverything)
{
    Start();
    m.m_pFirstDrawn = m.m_pCurLine;
    m.m_nScrollDown = 0;
    m.m_vecMarkRuns.push_back(new MarkRun);
    m.m_vecMarkRuns.push_back(new MarkRun);
    m.CloseArticle();
    EXPECT_EQ(1, m.selectionClears);
    EXPECT_EQ(nullptr, m.m_pRoot);
    EXPECT_EQ(nullptr, m.m_pCurLine);
    EXPECT_EQ(nullptr, m.m_pCurItem);
    EXPECT_EQ(nullptr, m.m_pFirstDrawn);
    EXPECT_TRUE(m.m_vecNodes.empty());
    EXPECT_TRUE(m.m_vecMarkRuns.empty());
    EXPECT_EQ(1, m.m_nScrollDown);
    EXPECT_TRUE(m.IsArticleEmpty());
}

// ---------------------------------------------------------------- error log

TEST_F(ArticleModelTest, NullNodesAreReportedToTheLog)
{
    m.m_strPath = L"C:\\lib\\0001_a.xml";
    EXPECT_EQ(nullptr, m.LastLine(nullptr));
    EXPECT_EQ(L"C:\\lib\\0001_a.xml错误类型：Chunk等于NULL\r\n", LogText());
    ASSERT_EQ(1u, boxes.Texts().size());
    EXPECT_EQ(L"程序发生异常，查看错误日志并联系管理员", boxes.Texts()[0]);
    EXPECT_EQ((UINT)MB_OKCANCEL, boxes.Types()[0] & 0xF);
    EXPECT_EQ(1, m.fatalErrors);
    // Without the reporting form a null start is quiet.
    EXPECT_EQ(nullptr, m.FirstLine(nullptr));
    EXPECT_EQ(1u, boxes.Texts().size());
    EXPECT_EQ(nullptr, m.FirstLine(nullptr, true));
    EXPECT_EQ(2u, boxes.Texts().size());
}

TEST_F(ArticleModelTest, ErrorLogEntriesAppendInOrder)
{
    TempProgramFolder::DeleteTree(folder.Path() + L"control");     // created when missing
    m.m_strPath = L"D:\\x.xml";
    EXPECT_EQ(1, m.ReportError(7));
    EXPECT_EQ(1, m.ReportError(2));
    EXPECT_EQ(1, m.ReportError(3));
    EXPECT_EQ(L"D:\\x.xml错误类型：未知\r\n"
              L"D:\\x.xml错误类型：new操作失败\r\n"
              L"D:\\x.xml错误类型：malloc操作失败\r\n",
              LogText());
    EXPECT_EQ(2u, boxes.Texts().size());    // code 7 shows nothing
    EXPECT_EQ(2, m.fatalErrors);
    EXPECT_EQ(folder.Path() + L"control\\ErrorLog.txt", m.ErrorLogPath());
    // No byte-order mark: the file starts with the path's first unit.
    EXPECT_EQ('D', ReadBytes(m.ErrorLogPath())[0]);
}

TEST_F(ArticleModelTest, ReportWhileABoxIsOpenOnlyLogs)
{
    MessageRecorder::OnShow() = [this] { m.ReportError(1); };
    EXPECT_EQ(1, m.ReportError(1));
    EXPECT_EQ(1u, boxes.Texts().size());
    EXPECT_EQ(1, m.fatalErrors);
    EXPECT_EQ(L"错误类型：Chunk等于NULL\r\n错误类型：Chunk等于NULL\r\n", LogText());
}
