// Editing without a window: hit testing, the selection, typing and deletion,
// clipboard text and marks.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "LayoutTestUtil.h"
#include "view/ArticleModel.h"
#include "view/ClipText.h"

namespace {

// The model with real layout and selection; only the window is missing.
class EditModel : public CArticleModel {
public:
    int caretUpdates = 0, invalidations = 0, scrolls = 0;
    int clientWidth = 1200, clientHeight = 700;

protected:
    void UpdateCaret() override { ++caretUpdates; }
    void InvalidateView(bool) override { ++invalidations; }
    int GetClientWidth() override { return clientWidth; }
    int GetClientHeight() override { return clientHeight; }
    int GetVScrollWidth() override { return 17; }
    void ScrollVertBy(int) override { ++scrolls; }
};

std::vector<ChunkNode*> Leaves(CArticleModel& m)
{
    std::vector<ChunkNode*> out;
    for (ChunkNode* l = m.FirstLeaf(m.m_pRoot); l; l = m.NextLeaf(l))
        out.push_back(l);
    return out;
}

CharItem* ItemOf(ChunkNode* line, int index)
{
    CharItem* it = line->pFirstItem;
    while (it && index-- > 0)
        it = it->pNext;
    return it;
}

int ItemCount(const ChunkNode* line)
{
    int n = 0;
    for (const CharItem* it = line->pFirstItem; it; it = it->pNext)
        ++n;
    return n;
}

int CenterX(const CharItem* it) { return (int)((it->left + it->right) / 2); }
int CenterY(const CharItem* it) { return (int)((it->top + it->bottom) / 2); }

int FlaggedCount(CArticleModel& m)
{
    int n = 0;
    for (ChunkNode* l = m.FirstLeaf(m.m_pRoot); l; l = m.NextLeaf(l))
        for (CharItem* it = l->pFirstItem; it; it = it->pNext)
            n += it->bSelected ? 1 : 0;
    return n;
}

// n CJK characters starting at base, with a Latin letter every seventh place.
std::wstring Chars(int n, wchar_t base)
{
    std::wstring s;
    for (int i = 0; i < n; ++i)
        s += (i % 7 == 6) ? (wchar_t)(L'a' + i % 26) : (wchar_t)(base + i);
    return s;
}

class EditingTest : public testing::Test {
protected:
    SettingsGuard settings;
    MessageRecorder boxes;
    EditModel m;

    void SetUp() override
    {
        DisplaySettings = DisplaySettingsBlock();
        DisplaySettings.nPageWidth = 300;
        bImporting = FALSE;
        m.NewArticle();
    }
    // Paragraphs as the importer makes them: every one after the first starts
    // with its line feed.
    void Load(const std::vector<std::wstring>& paragraphs)
    {
        std::wstring text;
        for (size_t i = 0; i < paragraphs.size(); ++i) {
            if (i)
                text += L"\r\n";
            text += paragraphs[i];
        }
        m.InsertText(CString(text.c_str()));
        m.m_bModified = 0;
    }
    std::wstring Text() { return ArticleText(m.m_pRoot); }
    void Type(const std::wstring& s)
    {
        for (size_t i = 0; i < s.size(); ++i) {
            wchar_t units[2] = {s[i], 0};
            if (IsHighSurrogate(s[i]) && i + 1 < s.size())
                units[1] = s[++i];
            m.InsertTypedChar(units);
        }
    }
    void Caret(ChunkNode* line, int index)
    {
        m.m_pCurLine = line;
        m.m_pCurItem = ItemOf(line, index);
    }
    void Click(CharItem* it) { ASSERT_TRUE(m.PlaceCaretAt(CenterX(it), CenterY(it))); }
    std::wstring LineText(ChunkNode* line)
    {
        return std::wstring(m.ItemsText(line->pFirstItem, nullptr).GetString());
    }
};

} // namespace

// ---------------------------------------------------------------- hit testing

TEST_F(EditingTest, PointsFindTheirLineAndCharacter)
{
    Load({L"abcdefghij", Chars(30, 0x4E00)});
    std::vector<ChunkNode*> lines = Leaves(m);
    ASSERT_GE(lines.size(), 3u);
    ChunkNode* first = lines[0];
    ChunkNode* second = lines[1];
    // Bands are shifted 5 px down: the top 5 px of a line belong to the one above.
    EXPECT_EQ(first, m.LineAtPoint(100, second->y + 4, m.m_pRoot));
    EXPECT_EQ(second, m.LineAtPoint(100, second->y + 6, m.m_pRoot));
    EXPECT_EQ(nullptr, m.LineAtPoint(100, m.m_pRoot->y + 2, m.m_pRoot));
    EXPECT_EQ(nullptr, m.LineAtPoint(100, m.m_pRoot->bottom + 6, m.m_pRoot));

    CharItem* c = ItemOf(first, 2);
    EXPECT_EQ(c, m.ItemAtPoint(CenterX(c), first));
    // The box is tested 5 px to the left of where it is drawn.
    EXPECT_EQ(ItemOf(first, 3), m.ItemAtPoint((int)c->right - 4, first));
    // Left of the page: the first character; right of the text: the line end.
    EXPECT_EQ(first->pFirstItem, m.ItemAtPoint(m.m_nLeftMargin - 3, first));
    EXPECT_EQ(m.LastItem(first), m.ItemAtPoint(1000, first));

    ASSERT_TRUE(m.PlaceCaretAt(CenterX(c), CenterY(c)));
    EXPECT_EQ(first, m.m_pCurLine);
    EXPECT_EQ(c, m.m_pCurItem);
    EXPECT_FALSE(m.PlaceCaretAt(100, 10));
    EXPECT_EQ(c, m.m_pCurItem);
}

TEST_F(EditingTest, EmptinessAndReadingOrder)
{
    Load({L"ab", L"cd"});
    std::vector<ChunkNode*> lines = Leaves(m);
    ASSERT_EQ(2u, lines.size());
    EXPECT_FALSE(m.IsNodeEmpty(lines[0]));
    EXPECT_EQ(lines[1], m.NextLeaf(lines[0]));
    EXPECT_EQ(lines[0], m.PrevLeaf(lines[1]));
    EXPECT_EQ(nullptr, m.PrevLeaf(lines[0]));
    EXPECT_EQ(nullptr, m.NextLeaf(lines[1]));
    ChunkNode* fresh = m.NewLineAfter(lines[1]->pParent, lines[1]);
    EXPECT_TRUE(m.IsNodeEmpty(fresh));
    EXPECT_FALSE(m.IsNodeEmpty(lines[1]->pParent));
    EXPECT_EQ(fresh, m.LastLeaf(m.m_pRoot));
}

// ---------------------------------------------------------------- selection

TEST_F(EditingTest, DragOnOneLineSelectsUpToTheReleasePoint)
{
    Load({L"abcdefghij"});
    ChunkNode* line = m.FirstLine(m.m_pRoot);
    Click(ItemOf(line, 2));
    m.SelectToPoint(CenterX(ItemOf(line, 6)), CenterY(ItemOf(line, 6)));
    EXPECT_EQ(ItemOf(line, 6), m.m_pCurItem);
    CString copied = m.BuildCopyText();
    EXPECT_STREQ(L"cdef", copied);

    m.ResetSelection(true);
    EXPECT_EQ(0, FlaggedCount(m));
    // Leftwards: from the release point up to the caret.
    Click(ItemOf(line, 8));
    m.SelectToPoint(CenterX(ItemOf(line, 5)), CenterY(ItemOf(line, 5)));
    EXPECT_STREQ(L"fgh", m.BuildCopyText());
    // Releasing where the caret stands selects nothing more.
    m.SelectToPoint(CenterX(ItemOf(line, 5)), CenterY(ItemOf(line, 5)));
    EXPECT_EQ(3, FlaggedCount(m));
}

TEST_F(EditingTest, DragAcrossLinesSelectsWholeLinesEitherWay)
{
    Load({Chars(40, 0x4E00), Chars(40, 0x5000)});
    std::vector<ChunkNode*> lines = Leaves(m);
    ASSERT_GE(lines.size(), 6u);
    ChunkNode* para1 = lines[0]->pParent;
    ASSERT_GE(ParagraphChars(para1).size(), 40u);
    // Down from the second line to the third.
    Click(ItemOf(lines[1], 3));
    CharItem* target = ItemOf(lines[2], 1);
    m.SelectToPoint(CenterX(target), CenterY(target));
    EXPECT_EQ(ItemCount(lines[1]) + ItemCount(lines[2]), FlaggedCount(m));
    EXPECT_FALSE(ItemOf(lines[0], 0)->bSelected);

    // Up, across the paragraph boundary: both included.
    m.ResetSelection(true);
    ChunkNode* lower = lines[lines.size() - 2];
    Click(ItemOf(lower, 2));
    target = ItemOf(lines[1], 2);
    m.SelectToPoint(CenterX(target), CenterY(target));
    int expected = 0;
    for (size_t i = 1; i + 1 < lines.size(); ++i)
        expected += ItemCount(lines[i]);
    EXPECT_EQ(expected, FlaggedCount(m));
    EXPECT_FALSE(m.LastItem(lines.back())->bSelected);
}

TEST_F(EditingTest, ReleaseOnALineAloneSelectsWholeParagraphs)
{
    Load({Chars(40, 0x4E00), L"xyz", L"tail"});
    std::vector<ChunkNode*> lines = Leaves(m);
    ChunkNode* lone = lines[lines.size() - 2];
    ASSERT_EQ(nullptr, lone->pNext);
    ASSERT_EQ(nullptr, lone->pPrev);
    Click(ItemOf(lines[1], 0));
    m.SelectToPoint(CenterX(ItemOf(lone, 1)), CenterY(ItemOf(lone, 1)));
    // The whole first paragraph counts, its first line included.
    EXPECT_TRUE(ItemOf(lines[0], 0)->bSelected);
    EXPECT_TRUE(m.LastItem(lone)->bSelected);
    EXPECT_FALSE(lines.back()->pFirstItem->bSelected);
}

TEST_F(EditingTest, ShiftUpAndDownToggleFlagsAndKeepEveryEntry)
{
    Load({L"abcdefgh"});
    ChunkNode* line = m.FirstLine(m.m_pRoot);
    Caret(line, 5);
    EXPECT_TRUE(m.StepSelectionBack());
    EXPECT_TRUE(m.StepSelectionBack());
    EXPECT_TRUE(m.StepSelectionForward());
    EXPECT_EQ(1, FlaggedCount(m));
    EXPECT_EQ(3, (int)m.m_arrSelection.GetSize());
    EXPECT_TRUE(ItemOf(line, 4)->bSelected);
    EXPECT_EQ(ItemOf(line, 4), m.m_pCurItem);
    EXPECT_TRUE(m.HasSelection());
    EXPECT_STREQ(L"e", m.BuildCopyText());
    // At the line start Shift+Up stops; at the line end Shift+Down does.
    Caret(line, 0);
    EXPECT_FALSE(m.StepSelectionBack());
    m.m_pCurItem = m.LastItem(line);
    EXPECT_FALSE(m.StepSelectionForward());
}

TEST_F(EditingTest, SelectAllTakesTheParagraphOrTheArticle)
{
    Load({L"one", L"two", L"three"});
    std::vector<ChunkNode*> lines = Leaves(m);
    Caret(lines[1], 1);
    m.SelectAllItems(false);
    EXPECT_EQ(ItemCount(lines[1]), FlaggedCount(m));
    m.SelectAllItems(true);
    EXPECT_EQ(ItemCount(lines[0]) + ItemCount(lines[1]) + ItemCount(lines[2]), FlaggedCount(m));
    // Selecting again does not double the list.
    EXPECT_EQ(FlaggedCount(m), (int)m.m_arrSelection.GetSize());
}

TEST_F(EditingTest, DoubleClickSelectsLineOrParagraph)
{
    Load({Chars(40, 0x4E00)});
    std::vector<ChunkNode*> lines = Leaves(m);
    Click(ItemOf(lines[1], 2));
    EXPECT_TRUE(m.SelectAtDoubleClick(CenterX(ItemOf(lines[1], 2)), CenterY(ItemOf(lines[1], 2))));
    EXPECT_EQ(ItemCount(lines[1]), FlaggedCount(m));
    EXPECT_TRUE(m.SelectAtDoubleClick(m.m_pRoot->x - 5, CenterY(ItemOf(lines[1], 2))));
    EXPECT_EQ((int)ParagraphChars(lines[0]->pParent).size() + (int)lines.size(), FlaggedCount(m));
    EXPECT_FALSE(m.SelectAtDoubleClick(m.m_pRoot->right + 50, m.m_pRoot->bottom + 50));
    EXPECT_EQ(0, FlaggedCount(m));
}

// ---------------------------------------------------------------- caret keys

TEST_F(EditingTest, CaretKeysWalkCharactersLinesAndParagraphs)
{
    Load({L"ab", L"cd"});
    std::vector<ChunkNode*> lines = Leaves(m);
    Caret(lines[0], 0);
    EXPECT_FALSE(m.MoveCaretLeft());
    EXPECT_TRUE(m.MoveCaretRight());
    EXPECT_TRUE(m.MoveCaretRight());
    EXPECT_EQ(m.LastItem(lines[0]), m.m_pCurItem);
    EXPECT_TRUE(m.MoveCaretRight());
    EXPECT_EQ(lines[1], m.m_pCurLine);
    EXPECT_EQ(lines[1]->pFirstItem, m.m_pCurItem);
    EXPECT_TRUE(m.MoveCaretLeft());
    EXPECT_EQ(m.LastItem(lines[0]), m.m_pCurItem);
    // Up and Down keep the caret's top, so ordinary lines land on their line end.
    Caret(lines[1], 1);
    EXPECT_TRUE(m.MoveCaretUp());
    EXPECT_EQ(lines[0], m.m_pCurLine);
    EXPECT_EQ(m.LastItem(lines[0]), m.m_pCurItem);
    EXPECT_FALSE(m.MoveCaretUp());
    EXPECT_TRUE(m.MoveCaretDown());
    EXPECT_EQ(lines[1], m.m_pCurLine);
    EXPECT_FALSE(m.MoveCaretDown());
    m.m_pCurItem = m.LastItem(lines[1]);
    EXPECT_FALSE(m.MoveCaretRight());
}

// ---------------------------------------------------------------- deletion

TEST_F(EditingTest, DeletingABackwardSelectionRemovesExactlyIt)
{
    Load({L"abcdefghij"});
    ChunkNode* line = m.FirstLine(m.m_pRoot);
    Caret(line, 7);
    for (int i = 0; i < 3; ++i)
        m.StepSelectionBack();
    // The list reads g, f, e; the deletion still takes e, f, g and nothing else.
    EXPECT_TRUE(m.DeleteSelection());
    EXPECT_EQ(L"abcdhij", Text());
    EXPECT_EQ(line, m.m_pCurLine);
    EXPECT_EQ(L'h', m.m_pCurItem->ch);
    EXPECT_EQ(1, m.m_bModified);
    EXPECT_TRUE(m.m_arrSelection.IsEmpty());
    EXPECT_FALSE(m.DeleteSelection());
    EXPECT_EQ(L"abcdhij", Text());
}

TEST_F(EditingTest, RepeatedEntriesAreDeletedOnce)
{
    Load({L"abcdefghij", L"KLMN"});
    ChunkNode* line = m.FirstLine(m.m_pRoot);
    // The same characters listed several times and in mixed order.
    m.AddToSelection(ItemOf(line, 5), kNodeLine);
    m.AddToSelection(ItemOf(line, 3), kNodeLine);
    m.AddToSelection(ItemOf(line, 4), kNodeLine);
    m.AddToSelection(ItemOf(line, 5), kNodeLine);
    m.AddToSelection(ItemOf(line, 3), kNodeLine);
    EXPECT_TRUE(m.DeleteSelection());
    EXPECT_EQ(L"abcghij\nKLMN", Text());
    EXPECT_EQ(L'g', m.m_pCurItem->ch);
    ExpectWellFormedLines(m.m_pRoot);
}

TEST_F(EditingTest, DeletingWholeLinesKeepsTheRestInOrder)
{
    const std::wstring para = Chars(50, 0x4E00);
    Load({L"first", para, L"last"});
    std::vector<ChunkNode*> lines = Leaves(m);
    ASSERT_GE(lines.size(), 6u);
    ChunkNode* l2 = lines[2];
    ChunkNode* l3 = lines[3];
    std::wstring removed = LineUnits(l2) + LineUnits(l3);
    Click(ItemOf(l3, 2));
    m.SelectToPoint(CenterX(ItemOf(l2, 1)), CenterY(ItemOf(l2, 1)));
    std::wstring before = Text();
    ASSERT_TRUE(m.DeleteSelection());
    // Line ends carry no text: what is gone are the two lines' characters.
    std::wstring chars;
    for (wchar_t u : removed)
        if (u != kLineEnd)
            chars += u;
    size_t at = before.find(chars);
    ASSERT_NE(std::wstring::npos, at);
    EXPECT_EQ(before.substr(0, at) + before.substr(at + chars.size()), Text());
    EXPECT_EQ((int)lines.size() - 2, (int)Leaves(m).size());
    // The caret stands at the end of the line before the cut.
    EXPECT_EQ(lines[1], m.m_pCurLine);
    EXPECT_EQ(m.LastItem(lines[1]), m.m_pCurItem);
    ExpectWellFormedLines(m.m_pRoot);
    ExpectNoOverlap(m.m_pRoot);
}

TEST_F(EditingTest, SelectAllAndDeleteLeavesOneEmptyLine)
{
    Load({Chars(60, 0x4E00), L"second", Chars(30, 0x6000)});
    m.SelectAllItems(true);
    ASSERT_TRUE(m.DeleteSelection());
    EXPECT_EQ(L"", Text());
    ASSERT_EQ(1u, Leaves(m).size());
    EXPECT_EQ(m.FirstLine(m.m_pRoot), m.m_pCurLine);
    EXPECT_EQ(m.m_pCurLine->pFirstItem, m.m_pCurItem);
    EXPECT_TRUE(m.IsArticleEmpty());
    Type(L"ok");
    EXPECT_EQ(L"ok", Text());
}

TEST_F(EditingTest, BackspaceAtLineAndArticleEdges)
{
    Load({L"abc", L"de"});
    std::vector<ChunkNode*> lines = Leaves(m);
    // The article's start: nothing happens.
    Caret(lines[0], 0);
    m.DeletePrevChar();
    EXPECT_EQ(L"abc\nde", Text());
    EXPECT_EQ(lines[0], m.m_pCurLine);
    EXPECT_EQ(lines[0]->pFirstItem, m.m_pCurItem);
    // The start of a line with text: the caret moves back, nothing is deleted.
    Caret(lines[1], 0);
    m.DeletePrevChar();
    EXPECT_EQ(L"abc\nde", Text());
    EXPECT_EQ(lines[0], m.m_pCurLine);
    EXPECT_EQ(m.LastItem(lines[0]), m.m_pCurItem);
    // Inside a line: the character before the caret.
    m.DeletePrevChar();
    EXPECT_EQ(L"ab\nde", Text());
    // An empty line goes, with its paragraph.
    Caret(lines[1], 3);
    m.DeletePrevChar();
    m.DeletePrevChar();
    m.DeletePrevChar();
    EXPECT_EQ(L"ab", Text());
    EXPECT_TRUE(m.IsNodeEmpty(lines[1]));
    m.DeletePrevChar();
    EXPECT_EQ(1u, Leaves(m).size());
    EXPECT_EQ(lines[0], m.m_pCurLine);
    EXPECT_EQ(m.LastItem(lines[0]), m.m_pCurItem);
    ExpectWellFormedLines(m.m_pRoot);
}

// ---------------------------------------------------------------- typing

TEST_F(EditingTest, ControlCharactersAreNotText)
{
    Type(L"a");
    const wchar_t controls[] = {1, 8, 9, 10, 27, 31, 127};
    for (wchar_t c : controls) {
        wchar_t units[2] = {c, 0};
        m.InsertTypedChar(units);
    }
    Type(L"b");
    EXPECT_EQ(L"ab", Text());
    EXPECT_EQ(1, m.m_bModified);
}

TEST_F(EditingTest, EnterStartsAnIndentedParagraphAndLeavesTheRest)
{
    Type(L"abcdef");
    ChunkNode* first = m.m_pCurLine;
    Caret(first, 3);
    Type(L"\r");
    EXPECT_NE(first, m.m_pCurLine);
    EXPECT_EQ(L"    ", LineText(m.m_pCurLine));
    EXPECT_EQ(L"abcdef", LineText(first));
    EXPECT_EQ(2, ParagraphCount(m.m_pRoot));
    Type(L"g");
    EXPECT_EQ(L"abcdef    g", Text());
}

TEST_F(EditingTest, EnterInACodeLineKeepsItsIndentation)
{
    Type(L"x");
    ChunkNode* para = m.m_pCurLine->pParent;
    para->nCode = 1;
    m.m_pCurLine->nCode = 1;
    ChunkNode* line1 = m.m_pCurLine;
    m.m_pCurItem = line1->pFirstItem;
    Type(L"  ");
    ChunkNode* line2 = m.NewLineAfter(para, line1);
    Type(L"y");
    // Enter on the first of two code lines: a new line below it, indented alike.
    m.m_pCurLine = line1;
    m.m_pCurItem = m.LastItem(line1);
    Type(L"\r");
    ASSERT_EQ(line1->pNext, m.m_pCurLine);
    EXPECT_EQ(line2, m.m_pCurLine->pNext);
    EXPECT_EQ(L"  ", LineText(m.m_pCurLine));
    EXPECT_EQ(1, ParagraphCount(m.m_pRoot));
    // Enter on the last code line: a new paragraph.
    m.m_pCurLine = line2;
    m.m_pCurItem = m.LastItem(line2);
    Type(L"\r");
    EXPECT_EQ(2, ParagraphCount(m.m_pRoot));
}

TEST_F(EditingTest, TypingAtTheEndOfAFullLineContinuesOnTheNext)
{
    Load({Chars(30, 0x4E00)});
    std::vector<ChunkNode*> lines = Leaves(m);
    ASSERT_GE(lines.size(), 2u);
    m.m_pCurLine = lines[0];
    m.m_pCurItem = m.LastItem(lines[0]);
    Type(L"字");
    EXPECT_EQ(lines[1], m.m_pCurLine);
    EXPECT_EQ(L'字', lines[1]->pFirstItem->ch);
    EXPECT_EQ(lines[1]->pFirstItem->pNext, m.m_pCurItem);
}

TEST_F(EditingTest, TypingIntoAFullLineRebreaksAndTheCaretKeepsItsCharacter)
{
    const std::wstring text = Chars(45, 0x4E00);
    Load({text});
    std::vector<ChunkNode*> lines = Leaves(m);
    ASSERT_GE(lines.size(), 3u);
    // Select something on a lower line first: the re-break frees those lines.
    m.SelectNodeChars(lines[2]);
    CharItem* keep = ItemOf(lines[0], 4);
    Caret(lines[0], 4);
    Type(L"新");
    EXPECT_TRUE(m.m_arrSelection.IsEmpty());
    EXPECT_EQ(0, FlaggedCount(m));
    EXPECT_EQ(keep, m.m_pCurItem);
    EXPECT_EQ(keep->pOwner, m.m_pCurLine);
    std::wstring want = text;
    want.insert(4, L"新");
    EXPECT_EQ(want, Text());
    // The edited line may stay a little wide; the lines below are broken anew.
    ExpectLinesBrokenFrom(m, m.FirstLine(m.m_pRoot)->pNext);
    ExpectWellFormedLines(m.m_pRoot);
    // The caret character that is pushed down takes the caret with it.
    ChunkNode* first = m.FirstLine(m.m_pRoot);
    CharItem* last = m.LastItem(first)->pPrev;
    m.m_pCurLine = first;
    m.m_pCurItem = last;
    Type(L"再");
    EXPECT_EQ(last, m.m_pCurItem);
    EXPECT_EQ(first->pNext, m.m_pCurLine);
    EXPECT_EQ(last, m.m_pCurLine->pFirstItem);
}

TEST_F(EditingTest, SupplementaryCharactersStayWhole)
{
    Type(L"a\U00020000b");
    ChunkNode* line = m.m_pCurLine;
    ASSERT_EQ(4, ItemCount(line));
    EXPECT_EQ(0xD840, ItemOf(line, 1)->ch);
    EXPECT_EQ(0xDC00, ItemOf(line, 1)->chLow);
    m.DeletePrevChar();
    m.DeletePrevChar();
    EXPECT_EQ(L"a", Text());
}

TEST_F(EditingTest, CommentSwitchMarksTypedCharacters)
{
    DisplaySettings.bComment = 1;
    DisplaySettings.nBiaozhu = 7;
    DisplaySettings.bSingle = 0;
    Type(L"a");
    DisplaySettings.bSingle = 1;
    Type(L"b");
    DisplaySettings.bComment = 0;
    Type(L"c");
    ChunkNode* line = m.m_pCurLine;
    EXPECT_EQ(7, ItemOf(line, 0)->nMark);
    EXPECT_EQ(0, ItemOf(line, 0)->nStyle);
    EXPECT_EQ(0, ItemOf(line, 1)->nMark);
    EXPECT_EQ(7, ItemOf(line, 1)->nStyle);
    EXPECT_EQ(0, ItemOf(line, 2)->nMark + ItemOf(line, 2)->nStyle);
}

TEST_F(EditingTest, EveryOperationWaitsOnceForTheAutoSave)
{
    // A semaphore counts the waits that took it.
    HANDLE sem = CreateSemaphoreW(nullptr, 1000, 2000, nullptr);
    ASSERT_NE(nullptr, sem);
    m.m_hAutoSaveEvent = sem;
    auto waits = [&] {
        LONG count = 0;
        ReleaseSemaphore(sem, 1, &count);
        WaitForSingleObject(sem, 0);
        LONG used = 1000 - count;
        // Filled up again for the next count.
        if (used > 0)
            ReleaseSemaphore(sem, used, nullptr);
        return (int)used;
    };
    Type(L"x");
    EXPECT_EQ(1, waits());
    Type(L"\r");
    EXPECT_EQ(1, waits());
    m.PasteTextAtCaret(L"a long text\r\nwith two paragraphs");
    EXPECT_EQ(1, waits());
    m.InsertText(L"more text\r\nand more");
    EXPECT_EQ(1, waits());
    m.m_hAutoSaveEvent = nullptr;
    CloseHandle(sem);
}

// ---------------------------------------------------------------- clipboard text

TEST_F(EditingTest, CopyTextKeepsEveryParagraphsFirstCharacter)
{
    // Paragraphs typed with Enter start with their indentation, not a line feed.
    Type(L"ab\rcd");
    m.SelectAllItems(true);
    EXPECT_STREQ(L"ab\r\n    cd", m.BuildCopyText());
    m.ResetSelection(true);
    // Imported paragraphs start with their line feed, which the break replaces.
    m.NewArticle();
    Load({L"xy", L"zw"});
    m.SelectAllItems(true);
    EXPECT_STREQ(L"xy\r\nzw", m.BuildCopyText());
    // Nothing selected: no text.
    m.ResetSelection(true);
    EXPECT_STREQ(L"", m.BuildCopyText());
}

TEST_F(EditingTest, CopyOfACodeParagraphEndsEachLine)
{
    Load({L"text", L"int a;"});
    std::vector<ChunkNode*> lines = Leaves(m);
    ChunkNode* code = lines[1]->pParent;
    code->nCode = 1;
    m.NewLineAfter(code, lines[1]);
    m.InsertText(L"b");
    m.SelectNodeChars(code);
    EXPECT_STREQ(L"\nint a;\r\nb\r\n", m.BuildCopyText());
}

TEST_F(EditingTest, CutTextIsTheCopyTextAndRefusesBlocks)
{
    Load({Chars(20, 0x4E00), L"\U00020001z"});
    m.SelectAllItems(true);
    CString text;
    ASSERT_TRUE(m.BuildCutText(text));
    EXPECT_STREQ(m.BuildCopyText(), text);
    // A block in the selection: only characters can be cut.
    ChunkNode* para = m.m_pRoot->pFirstChild;
    ChunkNode* glyph = m.CreateNode(kNodeGlyph, 3, 28, 0, 0, 28, 28, nullptr, m.LastLine(para),
                                    nullptr, nullptr, para);
    m.CreateCharItem(L"?", nullptr, nullptr, glyph);
    m.SelectNodeChars(glyph);
    EXPECT_FALSE(m.BuildCutText(text));
}

TEST_F(EditingTest, ClipboardBlocksAreReadUpToTheirSize)
{
    const wchar_t data[] = {L'a', L'b', L'c', L'd', 0, L'e'};
    EXPECT_STREQ(L"abcd", TextFromClipboardBlock(data, sizeof(data)));
    // No terminating zero within the block: its size ends the text.
    EXPECT_STREQ(L"ab", TextFromClipboardBlock(data, 4));
    EXPECT_STREQ(L"ab", TextFromClipboardBlock(data, 5));
    EXPECT_STREQ(L"", TextFromClipboardBlock(data, 0));
    EXPECT_STREQ(L"", TextFromClipboardBlock(nullptr, 100));
}

TEST_F(EditingTest, PasteInsertsAtTheCaretAndTheRestFollows)
{
    Load({L"abcdefgh"});
    ChunkNode* line = m.FirstLine(m.m_pRoot);
    CharItem* e = ItemOf(line, 4);
    Caret(line, 4);
    m.PasteTextAtCaret(L"XY\r\nZ");
    EXPECT_EQ(L"abcdXY\nZefgh", Text());
    EXPECT_EQ(2, ParagraphCount(m.m_pRoot));
    EXPECT_EQ(e, m.m_pCurItem);
    EXPECT_EQ(1, m.m_bModified);
    // An empty text changes nothing.
    m.m_bModified = 0;
    m.PasteTextAtCaret(L"");
    EXPECT_EQ(L"abcdXY\nZefgh", Text());
    EXPECT_EQ(0, m.m_bModified);
}

TEST_F(EditingTest, PasteIntoTheMiddleOfAWrappedParagraphKeepsTheOrder)
{
    const std::wstring text = Chars(60, 0x4E00);
    Load({text, L"next"});
    std::vector<ChunkNode*> lines = Leaves(m);
    Caret(lines[1], 3);
    int offset = ItemCount(lines[0]) - 1 + 3;
    const std::wstring pasted = Chars(35, 0x7000) + L"\U00020002";
    m.PasteTextAtCaret(CString(pasted.c_str()));
    std::wstring want = text;
    want.insert(offset, pasted);
    want += L"\nnext";
    EXPECT_EQ(want, Text());
    ExpectLinesBrokenFrom(m, m.FirstLine(m.m_pRoot));
    ExpectWellFormedLines(m.m_pRoot);
    ExpectNoOverlap(m.m_pRoot);
    EXPECT_EQ(text[offset], m.m_pCurItem->ch);
}

TEST_F(EditingTest, CutAndPasteBackRestoresTheArticle)
{
    Load({Chars(50, 0x4E00), Chars(30, 0x5100), L"end"});
    const std::wstring original = Text();
    std::vector<ChunkNode*> lines = Leaves(m);
    // Whole lines from the middle of the first paragraph to the second one.
    Click(ItemOf(lines[1], 1));
    ChunkNode* target = lines[lines.size() - 2];
    m.SelectToPoint(CenterX(ItemOf(target, 1)), CenterY(ItemOf(target, 1)));
    CString cut;
    ASSERT_TRUE(m.BuildCutText(cut));
    ASSERT_TRUE(m.DeleteSelection());
    EXPECT_NE(original, Text());
    m.PasteTextAtCaret(cut);
    EXPECT_EQ(original, Text());
    ExpectWellFormedLines(m.m_pRoot);
}

// ---------------------------------------------------------------- marks

TEST_F(EditingTest, MarkCommandWritesMarkIdOrStyle)
{
    Load({L"abcdef"});
    ChunkNode* line = m.FirstLine(m.m_pRoot);
    DisplaySettings.nBiaozhu = 3;
    DisplaySettings.bSingle = 0;
    m.SelectNodeChars(line);
    m.MarkCommand();
    EXPECT_EQ(1, m.m_bModified);
    EXPECT_TRUE(m.m_arrSelection.IsEmpty());
    EXPECT_EQ(0, FlaggedCount(m));
    for (CharItem* it = line->pFirstItem; it; it = it->pNext)
        EXPECT_EQ(3, it->nMark);
    // Marking twice keeps the last style; with bSingle the line end keeps its style.
    DisplaySettings.nBiaozhu = 5;
    DisplaySettings.bSingle = 1;
    m.SelectNodeChars(line);
    m.MarkCommand();
    for (CharItem* it = line->pFirstItem; it->pNext; it = it->pNext)
        EXPECT_EQ(5, it->nStyle);
    EXPECT_EQ(0, m.LastItem(line)->nStyle);
    EXPECT_EQ(3, line->pFirstItem->nMark);
    // Style 0 takes the marks away again.
    DisplaySettings.nBiaozhu = 0;
    DisplaySettings.bSingle = 0;
    m.AddToSelection(ItemOf(line, 1), kNodeLine);
    m.MarkSelection();
    EXPECT_EQ(0, ItemOf(line, 1)->nMark);
    EXPECT_EQ(3, ItemOf(line, 2)->nMark);
}

TEST_F(EditingTest, CommentSetsTheModifiedFlagOnlyWhenSomethingIsMarked)
{
    Load({L"abc"});
    DisplaySettings.nBiaozhu = 2;
    int before = m.invalidations;
    m.CommentSelection();
    EXPECT_EQ(0, m.m_bModified);
    EXPECT_GT(m.invalidations, before);
    m.SelectNodeChars(m.FirstLine(m.m_pRoot));
    m.CommentSelection();
    EXPECT_EQ(1, m.m_bModified);
    EXPECT_EQ(2, m.FirstLine(m.m_pRoot)->pFirstItem->nMark);
}

TEST_F(EditingTest, MarksSurviveSavingAndOpening)
{
    TempProgramFolder folder;
    Load({L"abcdefgh", L"ijkl"});
    std::vector<ChunkNode*> lines = Leaves(m);
    DisplaySettings.nBiaozhu = 4;
    DisplaySettings.bSingle = 0;
    for (int i = 1; i < 4; ++i)
        m.AddToSelection(ItemOf(lines[0], i), kNodeLine);
    m.MarkCommand();
    DisplaySettings.nBiaozhu = 9;
    DisplaySettings.bSingle = 1;
    for (int i = 1; i < 3; ++i)
        m.AddToSelection(ItemOf(lines[1], i), kNodeLine);
    m.MarkCommand();
    const std::vector<CharRecord> before = ArticleChars(m.m_pRoot);
    CString path = folder.Path() + L"marked.xml";
    ASSERT_TRUE(m.SaveArticle(folder.Path(), path));

    EditModel other;
    ASSERT_TRUE(other.LoadArticle(folder.Path(), path));
    EXPECT_EQ(before, ArticleChars(other.m_pRoot));
    ChunkNode* l0 = other.FirstLine(other.m_pRoot);
    EXPECT_EQ(4, ItemOf(l0, 2)->nMark);
    EXPECT_EQ(0, ItemOf(l0, 4)->nMark);
    ChunkNode* l1 = other.NextLeaf(l0);
    EXPECT_EQ(9, ItemOf(l1, 1)->nStyle);
    EXPECT_EQ(0, ItemOf(l1, 3)->nStyle);
}

// ---------------------------------------------------------------- freeing

TEST_F(EditingTest, ReflowAndClosingClearTheSelectionFirst)
{
    Load({Chars(80, 0x4E00)});
    m.SelectAllItems(true);
    DisplaySettings.nPageWidth = 500;
    m.ReflowToPageWidth();
    EXPECT_TRUE(m.m_arrSelection.IsEmpty());
    EXPECT_EQ(0, FlaggedCount(m));
    m.SelectAllItems(true);
    m.CloseArticle();
    EXPECT_TRUE(m.m_arrSelection.IsEmpty());
    EXPECT_TRUE(m.m_arrSelectionTypes.IsEmpty());
}
