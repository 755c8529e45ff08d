// Layout: character boxes, node sizes, page width and margins, reflow.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "LayoutTestUtil.h"

namespace {

class LayoutTest : public LayoutModelTest {
protected:
    void SetUp() override { StartArticle(1000); }
    void Layout()
    {
        m.Relayout(m.m_pRoot, 0);
        m.UpdateGeometry(m.m_pRoot, 0);
    }
    // A new paragraph after the last one, holding text.
    ChunkNode* AddParagraph(const std::wstring& text)
    {
        ChunkNode* last = Para();
        while (last->pNext)
            last = last->pNext;
        m.m_pCurLine = m.FirstLine(last);
        ChunkNode* para = m.NewContainerAfterCurrent();
        ChunkNode* line = m.NewLineAfter(para, nullptr);
        AppendText(m, line, text);
        return para;
    }
    // Lines of the given texts stacked in the first paragraph.
    void FillFirstParagraph(const std::vector<std::wstring>& lines)
    {
        ChunkNode* line = Line();
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i > 0)
                line = m.NewLineAfter(Para(), line);
            AppendText(m, line, lines[i]);
        }
    }
};

} // namespace

TEST_F(LayoutTest, TextLineIsMeasuredAndDrawnAtHalfWidthForLatin)
{
    AppendText(m, Line(), std::wstring(30, L'a'));
    Layout();
    // 30 x 14 plus 14 for the line end, for breaking and for the boxes alike.
    EXPECT_EQ(434, m.NodeWidth(Line()));
    CharItem* first = Line()->pFirstItem;
    CharItem* end = m.LastItem(Line());
    EXPECT_DOUBLE_EQ(420.0, end->pPrev->right - first->left);
    EXPECT_DOUBLE_EQ(434.0, end->right - first->left);
    EXPECT_DOUBLE_EQ(14.0, first->right - first->left);
    EXPECT_EQ(28, first->size);
    EXPECT_DOUBLE_EQ(Line()->x, first->left);
    EXPECT_DOUBLE_EQ(Line()->y, first->top);
    // Version 2 adds 2 to every node's width.
    EXPECT_EQ(436, Line()->width);
    EXPECT_EQ(28, Line()->height);
}

TEST_F(LayoutTest, ChineseCountsFullWidthAndSmallTextSizeUsesItemSizes)
{
    AppendText(m, Line(), L"中文ab");
    Layout();
    EXPECT_EQ(28 + 28 + 14 + 14 + 14, m.NodeWidth(Line()));
    // Below 22 the boxes are raised to 22 and the measure follows the items.
    m.m_nTextSize = 16;
    Layout();
    EXPECT_EQ(22, Line()->pFirstItem->size);
    EXPECT_EQ(22 + 22 + 11 + 11 + 11, m.NodeWidth(Line()));
}

TEST_F(LayoutTest, CodeLineCharactersAreCutByTenButNotBelow22)
{
    Para()->nCode = 1;
    AppendText(m, Line(), L"ab中");
    Layout();
    EXPECT_EQ(1, Line()->nCode);        // inherited from the paragraph
    CharItem* a = Line()->pFirstItem;
    CharItem* b = a->pNext;
    CharItem* han = b->pNext;
    EXPECT_EQ(22, a->size);
    EXPECT_DOUBLE_EQ(11.0, a->right - a->left);
    EXPECT_DOUBLE_EQ(a->right, b->left);
    EXPECT_DOUBLE_EQ(22.0, han->right - han->left);
    EXPECT_DOUBLE_EQ(22.0, a->bottom - a->top);

    DisplaySettings.Increase = 5;
    Layout();
    EXPECT_DOUBLE_EQ(22.0, a->right - a->left);
    DisplaySettings.Increase = 2;
    Layout();
    EXPECT_NEAR(15.4, a->right - a->left, 1e-9);

    // A larger text size: 40 - 10 = 30.
    m.m_nTextSize = 40;
    Layout();
    EXPECT_EQ(30, a->size);
    // The code measure adds half the item size for Latin units.
    EXPECT_EQ(15 + 15 + 30 + 15, m.NodeWidth(Line()));
}

TEST_F(LayoutTest, SpacingStacksLinesAndParagraphs)
{
    m.m_nRow = 6;
    m.m_nPram = 10;
    FillFirstParagraph({L"一二三", L"四五"});
    ChunkNode* second = AddParagraph(L"六");
    Layout();
    ChunkNode* l1 = Line();
    ChunkNode* l2 = l1->pNext;
    EXPECT_EQ(50, m.m_pRoot->y);
    EXPECT_EQ(m.m_nLeftMargin, m.m_pRoot->x);
    EXPECT_EQ(Para()->y, l1->y);
    EXPECT_EQ(28 + 6, l1->height);
    EXPECT_EQ(l1->bottom, l2->y);
    EXPECT_EQ(2 * (28 + 6) + 10, Para()->height);
    EXPECT_EQ(Para()->bottom, second->y);
    EXPECT_EQ(Para()->height + second->height, m.m_pRoot->height);
    EXPECT_EQ(l2->y, (int)l2->pFirstItem->top);
    ExpectNoOverlap(m.m_pRoot);
}

TEST_F(LayoutTest, VersionOneWidensParagraphsByTwelve)
{
    AppendText(m, Line(), L"ab");
    m.m_nVersion = 1;
    m.m_nRow = 6;
    Layout();
    EXPECT_EQ(42, Line()->width);           // no extra at level 3
    EXPECT_EQ(28, Line()->height);          // no spacing with version 1
    EXPECT_EQ(42, m.NodeWidth(Para()));
    EXPECT_EQ(54, Para()->width);
}

TEST_F(LayoutTest, RootLayoutSizesTheScrollArea)
{
    AppendText(m, Line(), L"一二三四");
    m.rootLayouts = 0;
    m.Relayout(m.m_pRoot, 0);
    EXPECT_EQ(1, m.rootLayouts);
    EXPECT_EQ(m.m_nLeftMargin + m.m_pRoot->width + 20, m.scrollWidth);
    EXPECT_EQ(m.m_nPageTop + m.m_pRoot->height + 5, m.scrollHeight);
    // A paragraph alone does not touch the scroll area; with the flag its
    // ancestors up to the root are refreshed.
    m.rootLayouts = 0;
    m.Relayout(Para(), 0);
    EXPECT_EQ(0, m.rootLayouts);
    AppendText(m, Line(), L"五六");
    m.Relayout(Line(), 1);
    EXPECT_EQ(1, m.rootLayouts);
    EXPECT_EQ(6 * 28 + 14 + 2, Line()->width);
    EXPECT_EQ(Line()->width, Para()->width);
    EXPECT_EQ(Para()->width, m.m_pRoot->width);
    EXPECT_EQ(28, m.m_pRoot->height);
}

TEST_F(LayoutTest, NullNodeIsLoggedAndIgnored)
{
    m.Relayout(nullptr, 1);
    std::string log = ReadBytes(m.ErrorLogPath());
    EXPECT_FALSE(log.empty());
    EXPECT_EQ(1u, MessageRecorder::Texts().size());
}

TEST_F(LayoutTest, UpdateGeometryMovesNodesBelowChangedOnes)
{
    ChunkNode* second = AddParagraph(L"二");
    ChunkNode* third = AddParagraph(L"三");
    Layout();
    int oldSecondY = second->y;
    // The first paragraph grows by a line; only its own layout runs.
    ChunkNode* extra = m.NewLineAfter(Para(), Line());
    AppendText(m, extra, L"多");
    m.RelayoutParagraph(Para());
    EXPECT_GT(second->y, oldSecondY);
    EXPECT_EQ(Para()->bottom, second->y);
    EXPECT_EQ(second->bottom, third->y);
    EXPECT_EQ(third->y, (int)third->pFirstChild->pFirstItem->top);
    EXPECT_EQ(2, third->nLevel);
    EXPECT_EQ(3, third->pFirstChild->nLevel);
    ExpectNoOverlap(m.m_pRoot);
}

TEST_F(LayoutTest, MarginIsCentredAndNeverBelowTwenty)
{
    DisplaySettings.nPageWidth = 1000;
    EXPECT_EQ((1500 - 1000 - 17) / 2, m.LeftMarginFor(1500));
    EXPECT_EQ(20, m.LeftMarginFor(1040));
    EXPECT_EQ(20, m.LeftMarginFor(300));

    m.clientWidth = 1500;
    m.FitMarginToClient();
    EXPECT_EQ(241, m.m_nLeftMargin);
    EXPECT_EQ(241, m.m_pRoot->x);
    EXPECT_EQ(0, m.m_nScrollDown);
}

TEST_F(LayoutTest, StartUpFitsThePageToThePane)
{
    struct Case {
        int client, page, wantPage, wantMargin;
    } cases[] = {
        {900, 1000, 700, (200 - 17) / 2},
        {300, 1000, 100, (200 - 17) / 2},
        {1500, 1000, 1000, (500 - 17) / 2},
        // Too narrow for any page: the width stays and the margin is 20.
        {150, 1000, 1000, 20},
        {200, 1000, 1000, 20},
    };
    for (const Case& c : cases) {
        DisplaySettings.nPageWidth = c.page;
        m.clientWidth = c.client;
        m.FitPageToClient();
        EXPECT_EQ(c.wantPage, DisplaySettings.nPageWidth) << c.client;
        EXPECT_EQ(c.wantMargin, m.m_nLeftMargin) << c.client;
    }
}

TEST_F(LayoutTest, PageWidthStepsStayInsideTheirBounds)
{
    m.clientWidth = 1040;
    DisplaySettings.nPageWidth = 1000;
    EXPECT_FALSE(m.StepPageWidth(+1));      // 1050 is not less than 1040
    EXPECT_EQ(1000, DisplaySettings.nPageWidth);
    EXPECT_EQ(0, m.selectionClears);

    m.clientWidth = 1051;
    EXPECT_TRUE(m.StepPageWidth(+1));
    EXPECT_EQ(1050, DisplaySettings.nPageWidth);
    EXPECT_EQ(20, m.m_nLeftMargin);         // (1051 - 1050 - 17) / 2 is raised to 20
    EXPECT_EQ(1, m.selectionClears);

    DisplaySettings.nPageWidth = 450;
    EXPECT_FALSE(m.StepPageWidth(-1));      // 400 is not greater than 400
    EXPECT_EQ(450, DisplaySettings.nPageWidth);
    DisplaySettings.nPageWidth = 500;
    EXPECT_TRUE(m.StepPageWidth(-1));
    EXPECT_EQ(450, DisplaySettings.nPageWidth);
}

TEST_F(LayoutTest, NarrowingThePageRebreaksLines)
{
    AppendText(m, Line(), std::wstring(40, L'汉'));
    DisplaySettings.nPageWidth = 1150;
    m.ReflowToPageWidth();
    EXPECT_EQ(nullptr, Line()->pNext);
    DisplaySettings.nPageWidth = 550;
    ASSERT_TRUE(m.StepPageWidth(-1));
    EXPECT_EQ(500, DisplaySettings.nPageWidth);
    ASSERT_NE(nullptr, Line()->pNext);
    ExpectBrokenAtPageWidth(m, m.m_pRoot);
    EXPECT_EQ(std::wstring(40, L'汉'), ArticleText(m.m_pRoot));
}

TEST_F(LayoutTest, CharWidthStepsAreCappedAtZeroAndFive)
{
    Para()->nCode = 1;
    AppendText(m, Line(), L"x");
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(m.StepCharWidth(+1));
    EXPECT_EQ(5, DisplaySettings.Increase);
    EXPECT_FALSE(m.StepCharWidth(+1));
    EXPECT_EQ(5, DisplaySettings.Increase);
    EXPECT_DOUBLE_EQ(22.0, Line()->pFirstItem->right - Line()->pFirstItem->left);
    for (int i = 0; i < 5; ++i)
        m.StepCharWidth(-1);
    EXPECT_EQ(0, DisplaySettings.Increase);
    EXPECT_FALSE(m.StepCharWidth(-1));
    EXPECT_EQ(0, DisplaySettings.Increase);
    EXPECT_DOUBLE_EQ(11.0, Line()->pFirstItem->right - Line()->pFirstItem->left);
    EXPECT_GT(m.invalidations, 0);
}

// ---------------------------------------------------------------- reflow

TEST_F(LayoutTest, ReflowKeepsEveryCharacterMarkAndStyle)
{
    // Text that looks like run tags must stay text.
    std::vector<CharItem*> a = AppendText(m, Line(), L"[T1]字[/T]和[F2]x[/F]", 0, 0);
    std::vector<CharItem*> b = AppendText(m, Line(), L"标注", 3, 0);
    std::vector<CharItem*> c = AppendText(m, Line(), L"样式", 0, 7);
    std::vector<CharItem*> d = AppendText(m, Line(), L"都有", 4, 9);
    std::vector<CharItem*> e = AppendText(m, Line(), L"\xD840\xDC00[", 5, 0);
    ChunkNode* line2 = m.NewLineAfter(Para(), Line());
    AppendText(m, line2, std::wstring(60, L'长'), 2, 1);
    ChunkNode* second = AddParagraph(std::wstring(50, L'b') + L"[/T]");
    Layout();
    std::vector<CharRecord> before = ArticleChars(m.m_pRoot);

    DisplaySettings.nPageWidth = 450;
    m.ReflowToPageWidth();

    EXPECT_EQ(before, ArticleChars(m.m_pRoot));
    EXPECT_EQ(2, ParagraphCount(m.m_pRoot));
    EXPECT_EQ(second, Para()->pNext);
    EXPECT_NE(nullptr, Line()->pNext);
    ExpectWellFormedLines(m.m_pRoot);
    ExpectBrokenAtPageWidth(m, m.m_pRoot);
    ExpectNoOverlap(m.m_pRoot);
    // Items were moved, not made again.
    bool found = false;
    for (ChunkNode* l = Line(); l; l = l->pNext)
        for (CharItem* it = l->pFirstItem; it; it = it->pNext)
            found = found || it == a[0];
    EXPECT_TRUE(found);
    EXPECT_EQ(0xDC00, e[0]->chLow);
    EXPECT_EQ(5, e[0]->nMark);
}

TEST_F(LayoutTest, ReflowLeavesCodeAloneAndBreaksTheLinesOfBlocksAndRows)
{
    AppendText(m, Line(), std::wstring(50, L'正'));
    ChunkNode* code = AddParagraph(std::wstring(80, L'c'));
    code->pFirstChild->nCode = 1;
    ChunkNode* codeLine = code->pFirstChild;
    // A paragraph holding a block, then a row of a line and a block.
    ChunkNode* nested = AddParagraph(std::wstring(60, L'前'));
    ChunkNode* plainLine = nested->pFirstChild;
    ChunkNode* block = m.CreateNode(kNodeContainer, 3, 28, 0, 0, 28, 28, nullptr, plainLine,
                                    nullptr, nullptr, nested);
    ChunkNode* inner = m.NewLineAfter(block, nullptr);
    AppendText(m, inner, std::wstring(80, L'嵌'));
    ChunkNode* rowLine = m.NewLineAfter(nested, block);
    AppendText(m, rowLine, std::wstring(40, L'左'));
    ChunkNode* rowBlock = m.CreateNode(kNodeContainer, 3, 28, 0, 0, 28, 28, nullptr, nullptr,
                                       rowLine, nullptr, nested);
    AppendText(m, m.NewLineAfter(rowBlock, nullptr), std::wstring(40, L'右'));
    const std::wstring before = ArticleText(m.m_pRoot);
    Layout();

    DisplaySettings.nPageWidth = 500;
    m.ReflowToPageWidth();

    EXPECT_EQ(1, code->nCode);
    EXPECT_EQ(codeLine, code->pFirstChild);
    EXPECT_EQ(nullptr, codeLine->pNext);
    EXPECT_EQ(std::wstring(80, L'c') + L"\r", LineUnits(codeLine));
    EXPECT_NE(nullptr, Line()->pNext);      // the plain paragraph was broken
    // The paragraph's own lines and the block's lines are broken to the page;
    // the block and the row keep their places, the line in the row its text.
    ChunkNode* p = nested->pFirstChild;
    ASSERT_TRUE(p->IsLine());
    ExpectLinesBrokenFrom(m, p);
    while (p->pNext && p->pNext->IsLine())
        p = p->pNext;
    EXPECT_NE(p, nested->pFirstChild);
    EXPECT_EQ(block, p->pNext);
    ExpectLinesBrokenFrom(m, block->pFirstChild);
    EXPECT_NE(nullptr, block->pFirstChild->pNext);
    EXPECT_EQ(rowLine, block->pNext);
    EXPECT_EQ(rowBlock, rowLine->pRight);
    EXPECT_EQ(41u, LineUnits(rowLine).size());
    ExpectLinesBrokenFrom(m, rowBlock->pFirstChild);
    EXPECT_EQ(before, ArticleText(m.m_pRoot));
    ExpectWellFormedLines(m.m_pRoot);
}

TEST_F(LayoutTest, ReflowPutsTheCaretOnTheFirstCharacter)
{
    AppendText(m, Line(), std::wstring(100, L'字'));
    ChunkNode* second = AddParagraph(L"尾");
    m.m_pCurLine = second->pFirstChild;
    m.m_pCurItem = m.LastItem(second->pFirstChild);
    m.m_nScrollDown = 0;
    m.caretUpdates = m.invalidations = 0;
    m.ReflowToPageWidth();
    EXPECT_EQ(Line(), m.m_pCurLine);
    EXPECT_EQ(Line()->pFirstItem, m.m_pCurItem);
    EXPECT_EQ(Line(), m.m_pFirstDrawn);
    EXPECT_EQ(1, m.m_nScrollDown);
    EXPECT_EQ(1, m.caretUpdates);
    EXPECT_EQ(1, m.invalidations);

    bImporting = TRUE;
    m.ReflowToPageWidth();
    EXPECT_EQ(1, m.caretUpdates);
    EXPECT_EQ(1, m.invalidations);
}

TEST_F(LayoutTest, ReflowOfNoArticleDoesNothing)
{
    m.CloseArticle();
    m.ReflowToPageWidth();
    EXPECT_EQ(nullptr, m.m_pRoot);
    EXPECT_EQ(nullptr, m.m_pCurLine);
}

TEST_F(LayoutTest, ReflowGivesAnEmptyParagraphOneLine)
{
    ChunkNode* second = AddParagraph(L"x");
    // The second paragraph loses its only line.
    ChunkNode* line = second->pFirstChild;
    second->pFirstChild = nullptr;
    m.FreeNodeTree(line);
    m.ReflowToPageWidth();
    ASSERT_NE(nullptr, second->pFirstChild);
    EXPECT_EQ(L"\r", LineUnits(second->pFirstChild));
    ExpectWellFormedLines(m.m_pRoot);
}
