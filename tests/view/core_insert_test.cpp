// Insertion: the insertion primitive, whole texts, new paragraphs and the
// re-break of an overfull line.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "LayoutTestUtil.h"

namespace {

class InsertTest : public LayoutModelTest {
protected:
    void SetUp() override { StartArticle(500); }
    int LineCount(const ChunkNode* para)
    {
        int n = 0;
        for (const ChunkNode* l = para->pFirstChild; l; l = l->pNext)
            ++n;
        return n;
    }
};

// A text of n units: Chinese and Latin mixed, a surrogate pair now and then.
std::wstring MixedText(int n, unsigned seed)
{
    std::wstring s;
    while ((int)s.size() < n) {
        seed = seed * 1103515245u + 12345u;
        unsigned r = (seed >> 8) % 100;
        if (r < 60)
            s += (wchar_t)(0x4E00 + (seed >> 12) % 0x5000);
        else if (r < 97)
            s += (wchar_t)(L'a' + (seed >> 12) % 26);
        else {
            s += (wchar_t)0xD840;
            s += (wchar_t)0xDC01;
        }
    }
    return s;
}

} // namespace

TEST_F(InsertTest, InsertCharPutsTheCharacterBeforeTheCaret)
{
    CharItem* a = m.InsertChar(L"a", 3, 0);
    CharItem* b = m.InsertChar(L"b", 0, 4);
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(L"ab\r", LineUnits(Line()));
    EXPECT_EQ(3, a->nStyle);
    EXPECT_EQ(0, a->nMark);
    EXPECT_EQ(4, b->nMark);
    EXPECT_EQ(m.LastItem(Line()), m.m_pCurItem);
    // Caret in the middle: the next character goes there.
    m.m_pCurItem = b;
    m.InsertChar(L"\xD840\xDC00", 0, 0);
    EXPECT_EQ(L"a\xD840\xDC00" L"b\r", LineUnits(Line()));
    // No layout happens here: callers lay out.
    EXPECT_EQ(0, m.caretUpdates);
}

TEST_F(InsertTest, InsertCharOpensANewLineWhenTheLineIsFull)
{
    // 17 Chinese characters and the line end: 17 x 28 + 14 = 490, not wider than 500.
    AppendText(m, Line(), std::wstring(17, L'满'));
    m.m_pCurItem = m.LastItem(Line());
    m.InsertChar(L"一", 0, 0);
    EXPECT_EQ(nullptr, Line()->pNext);
    EXPECT_EQ(518, m.NodeWidth(Line()));
    CharItem* c = m.InsertChar(L"二", 0, 0);
    ASSERT_NE(nullptr, Line()->pNext);
    ChunkNode* second = Line()->pNext;
    EXPECT_EQ(second, m.m_pCurLine);
    EXPECT_EQ(second, c->pOwner);
    EXPECT_EQ(L"二\r", LineUnits(second));
    EXPECT_EQ(Para(), second->pParent);
}

TEST_F(InsertTest, InsertCharWithoutACharacterLineDoesNothing)
{
    m.m_pCurLine = nullptr;
    EXPECT_EQ(nullptr, m.InsertChar(L"x", 0, 0));
    m.m_pCurLine = Para();
    EXPECT_EQ(nullptr, m.InsertChar(L"x", 0, 0));
    m.CloseArticle();
    EXPECT_EQ(nullptr, m.InsertChar(L"x", 0, 0));
    m.InsertText(L"abc\ndef");
    EXPECT_EQ(nullptr, m.m_pRoot);
}

TEST_F(InsertTest, NewParagraphFollowsTheCurrentOneAndMovesTheRestDown)
{
    AppendText(m, Line(), L"第一段");
    m.m_pCurLine = Line();
    m.NewParagraph();
    ChunkNode* second = Para()->pNext;
    AppendText(m, second->pFirstChild, L"第三段");
    // Back to the first paragraph, and a new one between the two.
    m.m_pCurLine = Line();
    m.m_pCurItem = Line()->pFirstItem;
    m.caretUpdates = m.invalidations = 0;
    m.NewParagraph();
    ChunkNode* middle = Para()->pNext;
    ASSERT_NE(second, middle);
    EXPECT_EQ(second, middle->pNext);
    EXPECT_EQ(m.m_pRoot, middle->pParent);
    EXPECT_EQ(kNodeContainer, middle->nType);
    EXPECT_EQ(2, middle->nLevel);
    ASSERT_NE(nullptr, middle->pFirstChild);
    EXPECT_EQ(L"\r", LineUnits(middle->pFirstChild));
    EXPECT_EQ(middle->pFirstChild, m.m_pCurLine);
    EXPECT_EQ(middle->pFirstChild->pFirstItem, m.m_pCurItem);
    EXPECT_EQ(1, m.caretUpdates);
    EXPECT_EQ(1, m.invalidations);
    ExpectNoOverlap(m.m_pRoot);
    EXPECT_EQ(middle->bottom, second->y);
}

TEST_F(InsertTest, InsertTextBuildsParagraphsAndBreaksLines)
{
    std::wstring first = MixedText(300, 1);
    std::wstring second = MixedText(250, 2);
    std::wstring third = MixedText(40, 3);
    m.InsertText(CString((first + L"\r\n" + second + L"\n\r\n" + third).c_str()));

    ASSERT_EQ(4, ParagraphCount(m.m_pRoot));
    ChunkNode* p1 = Para();
    ChunkNode* p2 = p1->pNext;
    ChunkNode* p3 = p2->pNext;
    ChunkNode* p4 = p3->pNext;
    // Carriage returns are dropped; each line feed starts a paragraph and stays
    // as its first character.
    EXPECT_EQ(first + L"\n" + second + L"\n\n" + third, ArticleText(m.m_pRoot));
    EXPECT_EQ(L'\n', p2->pFirstChild->pFirstItem->ch);
    EXPECT_EQ(L"\n\r", LineUnits(p3->pFirstChild));
    EXPECT_GT(LineCount(p1), 1);
    EXPECT_GT(LineCount(p2), 1);
    EXPECT_EQ(m.LastLine(p4), m.m_pCurLine);
    EXPECT_EQ(m.LastItem(m.LastLine(p4)), m.m_pCurItem);
    ExpectWellFormedLines(m.m_pRoot);
    ExpectBrokenAtPageWidth(m, m.m_pRoot);
    ExpectNoOverlap(m.m_pRoot);
    // One layout for the whole text.
    EXPECT_EQ(1, m.caretUpdates);
    EXPECT_EQ(1, m.invalidations);
    EXPECT_EQ(1, m.rootLayouts);
}

TEST_F(InsertTest, InsertTextKeepsSurrogatePairsTogether)
{
    m.InsertText(L"a\xD840\xDC00" L"b");
    EXPECT_EQ(L"a\xD840\xDC00" L"b\r", LineUnits(Line()));
    CharItem* pair = Line()->pFirstItem->pNext;
    EXPECT_EQ(0xD840, pair->ch);
    EXPECT_EQ(0xDC00, pair->chLow);
    // A high surrogate without its low half is left out; what follows is kept.
    m.InsertText(L"\xD841");
    m.InsertText(L"\xD841" L"c\xD842");
    EXPECT_EQ(L"a\xD840\xDC00" L"bc\r", LineUnits(Line()));
}

TEST_F(InsertTest, ImportingInsertsWithoutLayoutAndALaterLayoutStacksCleanly)
{
    bImporting = TRUE;
    m.rootLayouts = 0;
    m.InsertText(CString((MixedText(200, 5) + L"\r\n" + MixedText(200, 6)).c_str()));
    EXPECT_EQ(0, m.rootLayouts);
    EXPECT_EQ(0, m.caretUpdates);
    EXPECT_EQ(0, m.invalidations);
    EXPECT_EQ(2, ParagraphCount(m.m_pRoot));
    m.Relayout(m.m_pRoot, 0);
    m.UpdateGeometry(m.m_pRoot, 0);
    ExpectNoOverlap(m.m_pRoot);
    ExpectBrokenAtPageWidth(m, m.m_pRoot);
}

TEST_F(InsertTest, InsertTextIntoTheMiddleOfALine)
{
    AppendText(m, Line(), L"头尾");
    m.m_pCurItem = Line()->pFirstItem->pNext;
    m.InsertText(L"中\n新");
    EXPECT_EQ(L"头中尾\r", LineUnits(Line()));
    ASSERT_NE(nullptr, Para()->pNext);
    EXPECT_EQ(L"\n新\r", LineUnits(Para()->pNext->pFirstChild));
    ExpectNoOverlap(m.m_pRoot);
}

TEST_F(InsertTest, EmptyTextChangesNothing)
{
    m.InsertText(L"");
    EXPECT_EQ(L"\r", LineUnits(Line()));
    EXPECT_EQ(0, m.caretUpdates);
}

TEST_F(InsertTest, OverflowMovesTheLastCharacterAndRebreaksTheParagraph)
{
    // Three full lines of marked and styled text, and a paragraph below.
    std::vector<CharItem*> l1 = AppendText(m, Line(), std::wstring(17, L'甲'), 2, 0);
    ChunkNode* line2 = m.NewLineAfter(Para(), Line());
    std::vector<CharItem*> l2 = AppendText(m, line2, L"[T1]" + std::wstring(14, L'乙'), 0, 5);
    ChunkNode* line3 = m.NewLineAfter(Para(), line2);
    AppendText(m, line3, L"丙丁", 7, 8);
    m.m_pCurLine = line3;
    m.NewParagraph();
    ChunkNode* below = Para()->pNext;
    AppendText(m, below->pFirstChild, L"下段");
    m.Relayout(m.m_pRoot, 0);
    m.UpdateGeometry(m.m_pRoot, 0);

    // Typing put one more character into the middle of the first line.
    m.m_pCurLine = Line();
    m.m_pCurItem = l1[5];
    CharItem* typed = m.InsertChar(L"新", 0, 0);
    std::vector<CharRecord> before = ParagraphChars(Para());
    m.RebreakOverflow();

    EXPECT_EQ(before, ParagraphChars(Para()));
    ExpectWellFormedLines(m.m_pRoot);
    ExpectLinesBrokenFrom(m, Line()->pNext);
    ExpectNoOverlap(m.m_pRoot);
    EXPECT_EQ(Line(), typed->pOwner);
    // The pushed character starts the next line; the caret stayed where it was.
    ASSERT_NE(nullptr, Line()->pNext);
    EXPECT_EQ(l1[16], Line()->pNext->pFirstItem);
    EXPECT_EQ(l1[5], m.m_pCurItem);
    EXPECT_EQ(Line(), m.m_pCurLine);
    EXPECT_EQ(below, Para()->pNext);
    EXPECT_EQ(Para()->bottom, below->y);
}

TEST_F(InsertTest, OverflowTakesTheCaretAlongWithItsCharacter)
{
    std::vector<CharItem*> l1 = AppendText(m, Line(), std::wstring(18, L'满'));
    ChunkNode* below = nullptr;
    m.m_pCurLine = Line();
    m.NewParagraph();
    below = Para()->pNext;
    AppendText(m, below->pFirstChild, L"下");
    m.Relayout(m.m_pRoot, 0);
    m.UpdateGeometry(m.m_pRoot, 0);
    int belowY = below->y;

    m.m_pCurLine = Line();
    m.m_pCurItem = l1[17];
    m.RebreakOverflow();
    ASSERT_NE(nullptr, Line()->pNext);
    EXPECT_EQ(Line()->pNext, m.m_pCurLine);
    EXPECT_EQ(l1[17], m.m_pCurItem);
    EXPECT_EQ(l1[17], m.m_pCurLine->pFirstItem);
    // The paragraph grew by a line and the one below moved down.
    EXPECT_GT(below->y, belowY);
    ExpectNoOverlap(m.m_pRoot);
}

TEST_F(InsertTest, OverflowWithTheCaretOnALaterLineEnd)
{
    AppendText(m, Line(), std::wstring(18, L'满'));
    ChunkNode* line2 = m.NewLineAfter(Para(), Line());
    AppendText(m, line2, L"短");
    m.m_pCurLine = Line();
    m.m_pCurItem = m.LastItem(line2);
    m.RebreakOverflow();
    ASSERT_NE(nullptr, m.m_pCurLine);
    EXPECT_EQ(Para(), m.m_pCurLine->pParent);
    EXPECT_EQ(m.LastItem(m.m_pCurLine), m.m_pCurItem);
    EXPECT_EQ(std::wstring(18, L'满') + L"短", ArticleText(m.m_pRoot));
}

// ---------------------------------------------------------------- blocks

namespace {

// Code flags of every line of the article, paragraph by paragraph ("2 2|0").
std::string Flags(const ChunkNode* root)
{
    std::string out;
    for (const ChunkNode* p = root->pFirstChild; p; p = p->pNext) {
        if (!out.empty())
            out += '|';
        for (const ChunkNode* l = p->pFirstChild; l; l = l->pNext) {
            if (l != p->pFirstChild)
                out += ' ';
            out += (char)('0' + l->nCode);
        }
    }
    return out;
}

} // namespace

TEST_F(InsertTest, CodeBlockLinesTakeTheirKindFromTheirFirstUnit)
{
    m.InsertText(L"前");
    // Layout marks every line of a block 1; the paragraph keeps the kind.
    m.InsertBlockText(2, L"int a;\r\n\tb++;\r\n第二段\r\nx\r\n", 24, 1280);
    EXPECT_EQ("0|1 1|0|1", Flags(m.m_pRoot));
    ChunkNode* code = Para()->pNext;
    EXPECT_EQ(2, code->nCode);
    EXPECT_EQ(0, code->pNext->nCode);
    EXPECT_EQ(24, code->pFirstChild->nTextSize);
    EXPECT_EQ(L"int a;\r", LineUnits(code->pFirstChild));
    EXPECT_EQ(L" b++;\r", LineUnits(code->pFirstChild->pNext));     // tab as a space
    EXPECT_EQ(L"第二段\r", LineUnits(code->pNext->pFirstChild));
    // The text ends with a line end: nothing is read past it, no empty line follows.
    EXPECT_EQ(L"x\r", LineUnits(code->pNext->pNext->pFirstChild));
    m.InsertBlockText(2, L"9 lives\r", 24, 1280);
    EXPECT_EQ("0|1 1|0|1|0", Flags(m.m_pRoot));
    EXPECT_EQ(L"9 lives\r", LineUnits(m.m_pCurLine));
}

TEST_F(InsertTest, TextBlockWrapsAtTheScreenEstimateAndKeepsPairs)
{
    DisplaySettings.nPageWidth = 3000;
    std::wstring text(50, L'字');
    text += L"\r\n";
    text += L"\xD840\xDC00" L"a";
    m.InsertBlockText(1, text.c_str(), 25, 1280);
    ChunkNode* block = Para()->pNext;
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(1, block->nCode);
    // (2n - k) x 15 > 1260 opens a line after 43 CJK characters.
    ChunkNode* first = block->pFirstChild;
    EXPECT_EQ(std::wstring(43, L'字') + L"\r", LineUnits(first));
    EXPECT_EQ(std::wstring(7, L'字') + L"\r", LineUnits(first->pNext));
    EXPECT_EQ(L"\xD840\xDC00" L"a\r", LineUnits(first->pNext->pNext));
    EXPECT_EQ("0|1 1 1", Flags(m.m_pRoot));
}

TEST_F(InsertTest, SelectedLinesBecomeABlockOnlyWhenAllAreCharacters)
{
    m.InsertText(L"甲乙\n丙丁\n戊");
    ChunkNode* second = Para()->pNext->pFirstChild;
    m.AddToSelection(second->pFirstItem, kNodeLine);
    m.AddToSelection(second->pFirstItem->pNext, kNodeLine);
    ASSERT_TRUE(m.MarkSelectedLinesAsBlock());
    EXPECT_EQ("0|1|0", Flags(m.m_pRoot));
    EXPECT_EQ(1, Para()->pNext->nCode);
    m.ResetSelection(true);
    m.AddToSelection(Line()->pFirstItem, kNodeGlyph);
    EXPECT_FALSE(m.MarkSelectedLinesAsBlock());
    EXPECT_EQ("0|1|0", Flags(m.m_pRoot));

    // Block format: the paragraphs of the selection, else the current one.
    m.ResetSelection(true);
    m.AddToSelection(Line()->pFirstItem, kNodeLine);
    m.AddToSelection(second->pFirstItem, kNodeLine);
    std::vector<ChunkNode*> paras = m.BlockFormatTargets();
    ASSERT_EQ(2u, paras.size());
    m.ApplyBlockFormat(paras, 40, L"隶书");
    EXPECT_EQ(40, Para()->nTextSize);
    EXPECT_STREQ(L"隶书", Para()->pNext->pFontFace);
    EXPECT_EQ(nullptr, Para()->pNext->pNext->pFontFace);
    m.ResetSelection(true);
    m.m_pCurLine = second;
    m.ApplyBlockFormat(m.BlockFormatTargets(), 30, L"默认");
    EXPECT_EQ(nullptr, Para()->pNext->pFontFace);
    EXPECT_EQ(30, second->nTextSize);
    m.SetCurrentBlockFace(L"隶书");
    EXPECT_STREQ(L"隶书", Para()->pNext->pFontFace);
}
