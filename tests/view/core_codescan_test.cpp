// The code-line scanner: word classes, learning, strings, comments and the
// caret pair tests, over lines built by the article model.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view/ArticleModel.h"
#include "view/CodeScanner.h"

namespace {

class CodeScanTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_tables.pLearnedFunctions = &m_fun;
        m_tables.pLearnedVariables = &m_var;
        m_tables.pLiteralWords = &m_lit;
        m_tables.pStatementWords = &m_stmt;
        m_tables.pTypeWords = &m_type;
        m_tables.pLibraryWords = &m_lib;
        BuildWordTables(m_fun, m_var, m_lit, m_stmt, m_type, m_lib);
        m_model.NewArticle();
        m_state.Reset();
    }

    // A code line holding text (and its line end) appended to the article.
    ChunkNode* Line(const wchar_t* text)
    {
        ChunkNode* para = m_model.m_pRoot->pFirstChild;
        ChunkNode* after = m_lines.empty() ? nullptr : m_lines.back();
        ChunkNode* line;
        if (!after) {
            line = m_model.FirstLine(para);
        } else {
            line = m_model.NewLineAfter(para, after);
            line->y = after->y + 30;
        }
        line->nCode = 2;
        CharItem* end = m_model.LastItem(line);
        CharItem* prev = nullptr;
        for (const wchar_t* p = text; *p; ++p) {
            wchar_t unit[2] = {*p, 0};
            prev = m_model.CreateCharItem(unit, prev, end, line);
        }
        m_lines.push_back(line);
        return line;
    }

    static CharItem* Item(ChunkNode* line, int index)
    {
        CharItem* i = line->pFirstItem;
        while (index-- > 0)
            i = i->pNext;
        return i;
    }

    // Scans the whole line; one decision per character before the line end.
    std::vector<CodeColour> Scan(ChunkNode* line)
    {
        std::vector<CodeColour> out;
        for (CharItem* i = line->pFirstItem; i && i->ch != kLineEnd; i = i->pNext)
            out.push_back(ScanCodeChar(m_state, i, m_tables));
        return out;
    }

    bool Learned(CWordMap& map, const wchar_t* word)
    {
        int v;
        return map.Lookup(word, v) != FALSE;
    }

    CArticleModel m_model;
    std::vector<ChunkNode*> m_lines;
    CWordMap m_fun, m_var, m_lit, m_stmt, m_type, m_lib;
    CodeWordTables m_tables;
    CodeScanState m_state;
};

bool IsWord(const CodeColour& c, int cls) { return c.tone == CodeTone::Word && c.nClass == cls && c.bBold; }

TEST_F(CodeScanTest, FixedWordsAreFoundInLowerCase)
{
    auto c = Scan(Line(L"IF BOOL rgb strcpy x"));
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(IsWord(c[i], kWordStatement)) << i;
    EXPECT_EQ(CodeTone::Plain, c[2].tone);
    for (int i = 3; i < 7; ++i)
        EXPECT_TRUE(IsWord(c[i], kWordType)) << i;
    for (int i = 8; i < 11; ++i)
        EXPECT_TRUE(IsWord(c[i], kWordLiteral)) << i;
    for (int i = 12; i < 18; ++i)
        EXPECT_TRUE(IsWord(c[i], kWordLibrary)) << i;
    EXPECT_EQ(CodeTone::Plain, c[19].tone);
    EXPECT_FALSE(c[19].bBold);
}

TEST_F(CodeScanTest, WordInsideAnotherWordIsNotClassified)
{
    // "xint": the "int" starts in the middle of a word.
    auto c = Scan(Line(L"xint"));
    for (auto& d : c)
        EXPECT_EQ(CodeTone::Plain, d.tone);
    // Digits and "_" keep a recognised word going; other marks end it.
    c = Scan(Line(L"int v2_;"));
    for (int i = 4; i < 7; ++i)
        EXPECT_TRUE(IsWord(c[i], kWordLearnedVariable)) << i;
    EXPECT_EQ(CodeTone::Plain, c[3].tone);
    EXPECT_EQ(CodeTone::Plain, c[7].tone);
}

TEST_F(CodeScanTest, DeclaredVariableIsLearnedAndColoured)
{
    auto c = Scan(Line(L"int count;"));
    EXPECT_TRUE(Learned(m_var, L"count"));
    EXPECT_FALSE(Learned(m_var, L"Count"));
    for (int i = 4; i < 9; ++i)
        EXPECT_TRUE(IsWord(c[i], kWordLearnedVariable)) << i;
    EXPECT_EQ(CodeTone::Plain, c[9].tone);
    // Used later on a line of its own, as written only.
    c = Scan(Line(L"count=Count"));
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(IsWord(c[i], kWordLearnedVariable)) << i;
    EXPECT_EQ(CodeTone::Plain, c[6].tone);
}

TEST_F(CodeScanTest, VariableLearningNeedsItsNeighbours)
{
    // Preceded by ",", "*" or "&" and followed by "=", ")", "[" or " ".
    Scan(Line(L"f(a,b) *p=0 &r[1]"));
    EXPECT_TRUE(Learned(m_var, L"b"));
    EXPECT_TRUE(Learned(m_var, L"p"));
    EXPECT_TRUE(Learned(m_var, L"r"));
    EXPECT_FALSE(Learned(m_var, L"a"));     // after "("
    EXPECT_FALSE(Learned(m_var, L"f"));     // first on the line
    // "," and ";" teach only after a type word or on a declaration line.
    Scan(Line(L"x y;"));
    EXPECT_FALSE(Learned(m_var, L"y"));
    Scan(Line(L"char a,b2;"));
    EXPECT_TRUE(Learned(m_var, L"a"));
    EXPECT_TRUE(Learned(m_var, L"b2"));
}

TEST_F(CodeScanTest, DeclaredFunctionIsLearned)
{
    auto c = Scan(Line(L"void draw(int n)"));
    EXPECT_TRUE(Learned(m_fun, L"draw"));
    EXPECT_TRUE(Learned(m_var, L"n"));
    for (int i = 5; i < 9; ++i)
        EXPECT_TRUE(IsWord(c[i], kWordLearnedFunction)) << i;
    EXPECT_EQ(CodeTone::Paren, c[9].tone);
    EXPECT_TRUE(c[9].bBold);
    // Not a declaration: a call teaches nothing.
    Scan(Line(L"x = paint(1);"));
    EXPECT_FALSE(Learned(m_fun, L"paint"));
}

TEST_F(CodeScanTest, DeclarationLineTest)
{
    EXPECT_TRUE(IsDeclarationLine(Line(L"  int x"), &m_type));
    EXPECT_TRUE(IsDeclarationLine(Line(L"BOOL* p"), &m_type));
    EXPECT_TRUE(IsDeclarationLine(Line(L"char&r"), &m_type));
    EXPECT_FALSE(IsDeclarationLine(Line(L"Int x"), &m_type));     // as written only
    EXPECT_FALSE(IsDeclarationLine(Line(L"int;"), &m_type));
    EXPECT_FALSE(IsDeclarationLine(Line(L"return x"), &m_type));
    ChunkNode* l = Line(L"void f(");
    EXPECT_TRUE(IsFunctionDeclaration(l, &m_type, Item(l, 6)));
    EXPECT_FALSE(IsFunctionDeclaration(l, &m_type, Item(l, 5)));
}

TEST_F(CodeScanTest, SlashStartsCommentUntilRecognisedWord)
{
    auto c = Scan(Line(L"a/b+c if d"));
    EXPECT_EQ(CodeTone::Plain, c[0].tone);
    for (int i = 1; i < 6; ++i)
        EXPECT_EQ(CodeTone::Comment, c[i].tone) << i;
    EXPECT_TRUE(IsWord(c[6], kWordStatement));
    EXPECT_EQ(CodeTone::Plain, c[9].tone);
}

TEST_F(CodeScanTest, LineLedByChineseIsComment)
{
    auto c = Scan(Line(L"注释，x=1;"));
    for (size_t i = 0; i < c.size(); ++i)
        EXPECT_EQ(CodeTone::Comment, c[i].tone) << i;
    // A recognised word takes its colour, all of it, where it is met; the
    // comment goes on behind it.
    c = Scan(Line(L"说明int x("));
    EXPECT_EQ(CodeTone::Comment, c[0].tone);
    for (int i = 2; i < 5; ++i)
        EXPECT_TRUE(IsWord(c[i], kWordType)) << i;
    for (int i = 5; i < 8; ++i)
        EXPECT_EQ(CodeTone::Comment, c[i].tone) << i;
    // One blank before non-Latin text also makes a comment line.
    c = Scan(Line(L" 中a"));
    EXPECT_EQ(CodeTone::Comment, c[2].tone);
    c = Scan(Line(L" a"));
    EXPECT_EQ(CodeTone::Plain, c[1].tone);
}

TEST_F(CodeScanTest, StringsCountQuotesBackToTheParenthesis)
{
    auto c = Scan(Line(L"puts(\"ab\")"));
    EXPECT_EQ(CodeTone::Paren, c[4].tone);
    EXPECT_EQ(CodeTone::Plain, c[5].tone);      // the opening quote itself
    EXPECT_EQ(CodeTone::String, c[6].tone);
    EXPECT_EQ(CodeTone::String, c[7].tone);
    EXPECT_EQ(CodeTone::String, c[8].tone);     // the closing quote
    EXPECT_EQ(CodeTone::Paren, c[9].tone);
    // A quote before the nearest "(" is not counted.
    ChunkNode* l = Line(L"\"x(y");
    EXPECT_FALSE(IsInsideStringLiteral(Item(l, 3)));
    EXPECT_TRUE(IsInsideStringLiteral(Item(l, 1)));
    // Digits outside strings and braces.
    c = Scan(Line(L"{7}"));
    EXPECT_EQ(CodeTone::Brace, c[0].tone);
    EXPECT_EQ(CodeTone::Digit, c[1].tone);
    EXPECT_EQ(CodeTone::Brace, c[2].tone);
}

TEST_F(CodeScanTest, EveryLineStartsWithAFreshState)
{
    // The line's last character is never scanned (it was selected), so the
    // line-end rule did not run: the comment must not reach the next line.
    ChunkNode* a = Line(L"x/y");
    ScanCodeChar(m_state, Item(a, 0), m_tables);
    ScanCodeChar(m_state, Item(a, 1), m_tables);
    EXPECT_EQ(1, m_state.bInComment);
    auto c = Scan(Line(L"z"));
    EXPECT_EQ(CodeTone::Plain, c[0].tone);
    // Nor does a word left open: "int" cut short.
    ChunkNode* b = Line(L"int");
    ScanCodeChar(m_state, Item(b, 0), m_tables);
    EXPECT_EQ(1, m_state.bInWord);
    c = Scan(Line(L"q"));
    EXPECT_EQ(CodeTone::Plain, c[0].tone);
    // The same line painted again starts afresh too.
    ChunkNode* d = Line(L"a/b");
    Scan(d);
    ScanCodeChar(m_state, Item(d, 1), m_tables);
    EXPECT_EQ(CodeTone::Plain, ScanCodeChar(m_state, Item(d, 0), m_tables).tone);
}

TEST_F(CodeScanTest, ParenthesisPairLightsAroundTheCaret)
{
    ChunkNode* l = Line(L"f(a)b");
    CharItem* open = Item(l, 1);
    CharItem* close = Item(l, 3);
    // Caret directly before "(": the "(" is lit, its ")" is not.
    EXPECT_TRUE(CaretInsideParens(open, open));
    EXPECT_FALSE(CaretInsideParens(close, open));
    // Caret before "a" or before ")": both lit.
    EXPECT_TRUE(CaretInsideParens(open, Item(l, 2)));
    EXPECT_TRUE(CaretInsideParens(close, Item(l, 2)));
    EXPECT_TRUE(CaretInsideParens(open, close));
    EXPECT_TRUE(CaretInsideParens(close, close));
    // Outside the pair, or no caret.
    EXPECT_FALSE(CaretInsideParens(open, Item(l, 4)));
    EXPECT_FALSE(CaretInsideParens(close, Item(l, 0)));
    EXPECT_FALSE(CaretInsideParens(open, nullptr));
    EXPECT_FALSE(CaretInsideParens(Item(l, 0), Item(l, 0)));
}

TEST_F(CodeScanTest, BracePairLightsAroundTheCaretLine)
{
    ChunkNode* l0 = Line(L"if {");
    ChunkNode* l1 = Line(L"  while {");
    ChunkNode* l2 = Line(L"  x;");
    ChunkNode* l3 = Line(L"  }");
    ChunkNode* l4 = Line(L"  y;");
    ChunkNode* l5 = Line(L"}");
    CharItem* outerOpen = Item(l0, 3);
    CharItem* innerOpen = Item(l1, 8);
    CharItem* innerClose = Item(l3, 2);
    CharItem* outerClose = Item(l5, 0);

    // Caret on "y;": inside the outer pair only.
    EXPECT_TRUE(CaretInsideBraceOpen(outerOpen, l4));
    EXPECT_TRUE(CaretInsideBraceClose(outerClose, l4));
    EXPECT_FALSE(CaretInsideBraceOpen(innerOpen, l4));
    EXPECT_FALSE(CaretInsideBraceClose(innerClose, l4));
    // Caret on "x;": inside the inner pair, which hides the outer one.
    EXPECT_TRUE(CaretInsideBraceOpen(innerOpen, l2));
    EXPECT_TRUE(CaretInsideBraceClose(innerClose, l2));
    EXPECT_FALSE(CaretInsideBraceOpen(outerOpen, l2));
    EXPECT_FALSE(CaretInsideBraceClose(outerClose, l2));
    // A caret line holding a brace lights only its own.
    EXPECT_TRUE(CaretInsideBraceOpen(innerOpen, l1));
    EXPECT_FALSE(CaretInsideBraceOpen(outerOpen, l1));
    EXPECT_TRUE(CaretInsideBraceClose(outerClose, l5));
    // The caret above an opening brace or below a closing one, or none.
    EXPECT_FALSE(CaretInsideBraceOpen(innerOpen, l0));
    EXPECT_FALSE(CaretInsideBraceClose(innerClose, l5));
    EXPECT_FALSE(CaretInsideBraceOpen(outerOpen, nullptr));
    EXPECT_TRUE(LineHasOpenBrace(l0));
    EXPECT_FALSE(LineHasOpenBrace(l2));
    EXPECT_TRUE(LineHasCloseBrace(l3));
}

}  // namespace
