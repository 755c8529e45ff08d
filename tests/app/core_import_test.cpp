// Chapter splitting of imported novels and the reading of TXT files: the
// title helpers against a plain literal version, the splitter's cases, the
// completeness of every plan, encodings and folder walks.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/ChapterSplit.h"
#include "app/TxtFiles.h"
#include "framework/FileUtil.h"
#include "tests/support/TempFiles.h"

namespace {

// ---------------------------------------------------------------- the literal version

// The helpers exactly as they read when written out plainly: substrings,
// repeated searches and the recursive look at the 40 characters after a
// title. Slow, but obviously right.
namespace literal {

const wchar_t kTrim[] = {0x000C, L'*', L':', 0xFF1F, L'?', L'<', L'>', L'|', L'/', L'\r', L'\n', L'-', L'_', 0x3000, L' ', 0};

int PlainGetLineStart(int pos, const CString& text)
{
    return text.Left(pos).ReverseFind(L'\n') + 1;
}

int PlainGetNextLineStart(int start, const CString& text)
{
    if (start == -1 || start < 0 || start > text.GetLength() - 1)
        return text.GetLength();
    int lf = text.Find(L'\n', start);
    return lf < 0 ? text.GetLength() : lf + 1;
}

CString PlainGetTitleLine(int pos, const CString& text)
{
    const int from = std::max(0, pos - 100);
    const CString before = text.Mid(from, pos - from);
    const CString after = text.Mid(pos, 100);
    const int b = before.ReverseFind(L'\n');
    const int a = after.Find(L'\n');
    if (a == -1 || (pos > 100 && b == -1))
        return CString();
    if (a == 0 && before.GetLength() - (b + 1) < 2)
        return CString();
    CString line = before.Mid(b + 1) + after.Left(a + 1);
    return line.Trim(kTrim);
}

int PlainIsNotTitleLine(int pos, const CString& text)
{
    if (pos == -1)
        return 1;
    const CString line = PlainGetTitleLine(pos, text);
    if (line.IsEmpty())
        return 1;
    bool blank = true;
    for (int i = 0; i < line.GetLength(); ++i) {
        const wchar_t c = line[i];
        if (!(c <= 0x20 || c == 0xE771 || c == L',' || c == 0x3002 || c == 0x2014))
            blank = false;
    }
    if (blank)
        return 1;
    const wchar_t marks[] = {0xFF0C, 0x3002, L':', 0xFF1A, L'?', 0xFF1F, 0xFF01, 0x3001, L'"', 0x00A1, 0};
    return line.FindOneOf(marks) >= 0 ? 1 : 0;
}

// First occurrence of pattern at or after start on a title line, or -1.
int PlainTitleHit(int start, const CString& pattern, const CString& text)
{
    for (int p = text.Find(pattern, start); p != -1; p = text.Find(pattern, p + 1)) {
        if (PlainIsNotTitleLine(p, text) == 0)
            return p;
    }
    return -1;
}

int PlainFindNextTitle(int start, const CString& pattern, const CString& text)
{
    if (start == -1 || start < 0 || start > text.GetLength())
        return -1;
    for (;;) {
        const int hit = PlainTitleHit(start, pattern, text);
        if (hit == -1)
            return -1;
        const int lineStart = PlainGetLineStart(hit, text);
        const int next = PlainGetNextLineStart(lineStart, text);
        const CString window = text.Mid(next, 40);
        if (PlainFindNextTitle(0, pattern, window) == -1)
            return lineStart;
        start = next;
    }
}

int PlainFindFirstTitle(int* next, const CString& pattern, const CString& text)
{
    const int hit = PlainTitleHit(0, pattern, text);
    if (hit == -1)
        return -1;
    const int first = PlainGetLineStart(hit, text);
    if (pattern.IsEmpty()) {
        *next += hit == 0 ? 200 : 100;
        return first;
    }
    *next = PlainFindNextTitle(PlainGetNextLineStart(first, text), pattern, text);
    int prev = first;
    while (*next > 100 && *next - prev < 100) {
        prev = *next;
        *next = PlainFindNextTitle(PlainGetNextLineStart(*next, text), pattern, text);
    }
    return first;
}

} // namespace literal

// Texts built from pieces that make titles, near-titles and ordinary lines.
CString RandomText(std::mt19937& rng, int length)
{
    static const wchar_t* const kPieces[] = {
        L"第二章", L"第", L"章", L"二", L"1", L"12", L"\n", L"\n", L"\n", L"\r\n", L"，", L"。", L" ", L"*",
        L"-", L"\t", L"abc", L"天地", L"人", L"\x3000", L":", L"\"", L"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
    };
    const int count = (int)(sizeof(kPieces) / sizeof(kPieces[0]));
    CString text;
    while (text.GetLength() < length)
        text += kPieces[rng() % count];
    return text;
}

std::wstring W(const CString& s)
{
    return s.str();
}

TEST(TitleHelpers, AgreeWithTheLiteralVersion)
{
    std::mt19937 rng(20261207);
    const CString patterns[] = {L"", L"第", L"第二章", L"1", L"章"};
    int found[5] = {}, skipped = 0;
    for (int round = 0; round < 60; ++round) {
        const CString text = RandomText(rng, 150 + (int)(rng() % 450));
        const int n = text.GetLength();
        for (int pos = 0; pos <= n; ++pos) {
            ASSERT_EQ(GetLineStart(pos, text), literal::PlainGetLineStart(pos, text)) << pos;
            ASSERT_EQ(GetNextLineStart(pos, text), literal::PlainGetNextLineStart(pos, text)) << pos;
            ASSERT_EQ(W(GetTitleLine(pos, text)), W(literal::PlainGetTitleLine(pos, text))) << round << " " << pos;
            ASSERT_EQ(IsNotTitleLine(pos, text), literal::PlainIsNotTitleLine(pos, text)) << round << " " << pos;
        }
        EXPECT_EQ(GetNextLineStart(-1, text), n);
        EXPECT_EQ(IsNotTitleLine(-1, text), 1);
        for (int k = 0; k < 5; ++k) {
            const CString& pattern = patterns[k];
            for (int start = -1; start <= n + 1; start += 1 + (int)(rng() % 7)) {
                const int got = FindNextTitle(start, pattern, text);
                ASSERT_EQ(got, literal::PlainFindNextTitle(start, pattern, text))
                    << round << " start " << start << " pattern " << W(pattern).size();
                found[k] += got >= 0 ? 1 : 0;
                // A title line that the search passed over: one followed closely by another.
                if (got > start && start >= 0 && IsNotTitleLine(start, text) == 0 && got > GetNextLineStart(start, text))
                    ++skipped;
            }
            int next = 0, literalNext = 0;
            ASSERT_EQ(FindFirstTitle(&next, pattern, text), literal::PlainFindFirstTitle(&literalNext, pattern, text));
            ASSERT_EQ(next, literalNext);
        }
    }
    // The texts exercise hits, misses and skipped contents lines alike.
    for (int k = 0; k < 5; ++k)
        EXPECT_GT(found[k], 100) << k;
    EXPECT_GT(skipped, 10);
}

TEST(TitleHelpers, TitleLinesAndWhatIsNeverOne)
{
    CString text = L"前言\n第一章 开端\n他说，好。\n  \t ,,——\n*?第三章 终/-_\x3000\n";
    EXPECT_EQ(W(GetTitleLine(text.Find(L"第一章"), text)), L"第一章 开端");
    EXPECT_EQ(IsNotTitleLine(text.Find(L"第一章"), text), 0);
    EXPECT_EQ(IsNotTitleLine(text.Find(L"他说"), text), 1);
    EXPECT_EQ(IsNotTitleLine(text.Find(L"  \t"), text), 1);
    // Inner marks stay, the ones at the ends go.
    EXPECT_EQ(W(GetTitleLine(text.Find(L"第三章"), text)), L"第三章 终");

    // No line feed within 100 characters after the hit, or, past character
    // 100, no line start within 100 before it.
    CString distant = CString(L'x', 150) + L"第二章" + CString(L'y', 120) + L"\n";
    EXPECT_EQ(IsNotTitleLine(150, distant), 1);
    CString late = CString(L'a', 300) + L"\n" + CString(L'b', 100) + L"第二章\n";
    EXPECT_EQ(IsNotTitleLine(late.Find(L"第二章"), late), 1);
    CString close = CString(L'a', 300) + L"\n" + CString(L'b', 99) + L"第二章\n";
    EXPECT_EQ(IsNotTitleLine(close.Find(L"第二章"), close), 0);
}

TEST(TitleHelpers, RomanNumerals)
{
    CString r;
    FormatRoman(90, &r);
    EXPECT_EQ(W(r), L"XC");
    FormatRoman(94, &r);
    EXPECT_EQ(W(r), L"XCIV");
    FormatRoman(1000, &r);
    EXPECT_EQ(W(r), L"");
    FormatRoman(3, &r);
    EXPECT_EQ(W(r), L"III");
    FormatRoman(1949, &r);
    EXPECT_EQ(W(r), L"CMXLIX");
}

// ---------------------------------------------------------------- the splitter

// Plain filler: lines of sentences with commas and full stops, never a
// title; a short last line of full stops keeps the length exact.
CString Filler(int length)
{
    static const wchar_t kLine[] = L"他们沿着河岸走了很久，天色渐渐暗了下来。风吹过芦苇，远处有人唱歌。\n";
    const int ll = (int)wcslen(kLine);
    CString s;
    while (s.GetLength() + ll <= length)
        s += kLine;
    const int rest = length - s.GetLength();
    if (rest > 0)
        s += CString(0x3002, rest - 1) + L"\n";
    return s;
}

std::vector<std::wstring> Names(const ImportPlan& plan)
{
    std::vector<std::wstring> names;
    for (const ImportStep& s : plan) {
        if (s.kind != ImportStep::kEndFolder)
            names.push_back(W(s.Name()));
    }
    return names;
}

// What a plan leaves out of text[from, to): a cut's line feed, and blank
// lines that would make an article of line ends alone.
void ExpectDropped(const CString& text, int from, int to)
{
    for (int k = from; k < to; ++k)
        ASSERT_TRUE(text[k] == L'\n' || text[k] == L'\r') << k;
}

// Every character is in one article, in order, apart from what cuts drop;
// no article is empty; folders are balanced.
void ExpectComplete(const ImportPlan& plan, const CString& text)
{
    int at = 0, depth = 0;
    for (const ImportStep& s : plan) {
        if (s.kind == ImportStep::kFolder) {
            ++depth;
            continue;
        }
        if (s.kind == ImportStep::kEndFolder) {
            --depth;
            ASSERT_GE(depth, 1);
            continue;
        }
        ASSERT_LT(s.start, s.end) << W(s.Name());
        ASSERT_GE(s.start, at) << W(s.Name());
        if (s.start > at)
            ExpectDropped(text, at, s.start);
        at = s.end;
    }
    ExpectDropped(text, at, text.GetLength());
    EXPECT_LE(depth, 1);
}

TEST(Splitter, ShortTextIsOneArticleLongTextABook)
{
    CString shortText = Filler(19999);
    ImportPlan plan = PlanBook(L"书", shortText, L"第");
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(W(plan[0].Name()), L"书.xml");
    EXPECT_EQ(plan[0].end, 19999);

    plan = PlanBook(L"书", Filler(20000), L"第");
    ASSERT_GE(plan.size(), 2u);
    EXPECT_EQ(plan[0].kind, ImportStep::kFolder);
    EXPECT_EQ(W(plan[0].Name()), L"书");
    EXPECT_TRUE(PlanBook(L"书", CString(), L"第").empty());
}

TEST(Splitter, TitleKindsAndWhereTheyCount)
{
    CString marker = L"?";
    // 第二章 on a title line before character 1000 does not decide.
    CString early = L"第二章 早\n" + Filler(3000);
    EXPECT_EQ(DetectTitleKind(early, &marker), -1);
    EXPECT_EQ(W(marker), L"?");
    CString late = Filler(1200) + L"第二章 晚\n" + Filler(100);
    EXPECT_EQ(DetectTitleKind(late, &marker), 0);
    EXPECT_EQ(W(marker), L"第");
    // The first occurrence decides alone: inside a sentence it fails the kind.
    CString inSentence = Filler(1200) + L"他读完了第二章，睡了。\n" + Filler(500) + L"第二章 晚\n";
    EXPECT_NE(DetectTitleKind(inSentence, &marker), 0);
    // 卷二 counts from character 5000 on, CHAPTER anywhere.
    CString volumeEarly = Filler(2000) + L"卷二\n" + Filler(4000);
    marker = L"?";
    EXPECT_EQ(DetectTitleKind(volumeEarly, &marker), -1);
    CString volumeLate = Filler(5200) + L"卷二\n" + Filler(400);
    EXPECT_EQ(DetectTitleKind(volumeLate, &marker), 5);
    EXPECT_EQ(W(marker), L"卷");
    CString chapter = L"CHAPTER ONE\n" + Filler(300);
    EXPECT_EQ(DetectTitleKind(chapter, &marker), 8);
    EXPECT_EQ(W(marker), L"CHAPTER");
}

TEST(Splitter, ChaptersByTitleWithContentsAndPreface)
{
    // A preface and a contents list, then the chapters: chapter 1 takes the
    // preface and the list and is named after the first list line.
    CString text = L"序\n" + Filler(200) + L"第一章 开端\n第二章 中段\n第三章 结局\n" + Filler(2000);
    const int first = text.GetLength();
    text += L"第一章 开端\n" + Filler(9000);
    const int second = text.GetLength();
    text += L"第二章 中段\n" + Filler(8000);
    const int third = text.GetLength();
    text += L"第三章 结局\n" + Filler(6000);
    ImportPlan plan = PlanBook(L"小说", text, L"第");
    ExpectComplete(plan, text);
    ASSERT_EQ(Names(plan), (std::vector<std::wstring>{L"小说", L"0001_第一章 开端.xml", L"0002_第一章 开端.xml",
                                                       L"0003_第二章 中段.xml", L"0004_第三章 结局.xml"}));
    EXPECT_EQ(plan[1].start, 0);
    EXPECT_EQ(plan[1].end, first);
    EXPECT_EQ(plan[3].start, second);
    EXPECT_EQ(plan[4].start, third);
}

TEST(Splitter, ChapterLengthLimitsAndParts)
{
    // Chapter 1 of exactly 20000 characters stays one article; 20001 makes parts.
    for (int length : {20000, 20001}) {
        CString body = L"第一章 甲\n" + Filler(length - 6);
        body = body.Left(length);
        CString text = body + L"第二章 乙\n" + Filler(3000);
        ImportPlan plan = PlanBook(L"书", text, L"第");
        ExpectComplete(plan, text);
        if (length == 20000) {
            EXPECT_EQ(W(plan[1].Name()), L"0001_第一章 甲.xml");
            EXPECT_EQ(plan[1].end, 20000);
        } else {
            ASSERT_EQ(plan[1].kind, ImportStep::kFolder);
            EXPECT_EQ(W(plan[1].Name()), L"0001_第一章 甲");
            EXPECT_EQ(W(plan[2].Name()), L"0001_第一章 甲_0001.xml");
            EXPECT_EQ(plan[2].end, text.Find(L'\n', 10000));
            EXPECT_EQ(W(plan[3].Name()), L"0001_第一章 甲_0002.xml");
            EXPECT_EQ(plan[4].kind, ImportStep::kEndFolder);
            EXPECT_EQ(W(plan[5].Name()), L"0002_第二章 乙.xml");
        }
    }
}

TEST(Splitter, TitlesAreCleanedIntoNames)
{
    CString text = L"第一章 " + CString(L'长', 90) + L"\n" + Filler(1500) + L"第二章 a/b\\c*e<h>i|j\tk.  \n" +
                   Filler(21000);
    ImportPlan plan = PlanBook(L"书", text, L"第");
    ExpectComplete(plan, text);
    std::vector<std::wstring> names = Names(plan);
    ASSERT_GE(names.size(), 3u);
    // 94 characters of title are cut to 80.
    EXPECT_EQ(names[1], L"0001_第一章 " + std::wstring(76, L'长') + L".xml");
    EXPECT_EQ(names[2], L"0002_第二章 abcehijk");
    EXPECT_EQ(W(CleanChapterTitle(L" 第二章 a/b\\c:d*e?f\"g<h>i|j\tk.  ")), L"第二章 abcdefghijk");
}

TEST(Splitter, BareNumbersKeepTheTextBeforeTheFirst)
{
    CString text = L"序言在这里，很长。\n" + Filler(3000) + L"1\n" + Filler(9000) + L"2\n" + Filler(9000) + L"3\n" +
                   Filler(4000);
    ImportPlan plan = PlanBook(L"书", text, L"第");
    ExpectComplete(plan, text);
    EXPECT_EQ(Names(plan), (std::vector<std::wstring>{L"书", L"0001.xml", L"0002.xml", L"0003.xml"}));
    EXPECT_EQ(plan[1].start, 0);
}

TEST(Splitter, RomanChaptersAndALongLastOne)
{
    CString text = Filler(300) + L"I start\n" + Filler(5000) + L"II next\n" + Filler(5000) + L"III more\n" +
                   Filler(25000);
    ImportPlan plan = PlanBook(L"书", text, L"第");
    ExpectComplete(plan, text);
    std::vector<std::wstring> names = Names(plan);
    ASSERT_EQ(names.size(), 7u);
    EXPECT_EQ(names[1], L"0001.xml");
    EXPECT_EQ(names[2], L"0002.xml");
    EXPECT_EQ(plan[2].start, text.Find(L"II next"));
    // The last chapter is longer than one article and goes into parts.
    EXPECT_EQ(names[3], L"0003");
    EXPECT_EQ(names[4], L"0003_0001.xml");
    EXPECT_EQ(names[6], L"0003_0003.xml");
}

TEST(Splitter, FixedPiecesKeepEveryCharacter)
{
    CString lines;
    while (lines.GetLength() < 30000)
        lines += CString(L'字', 99) + L"。\n";
    lines = lines.Left(30000);
    ImportPlan plan = PlanBook(L"书", lines, L"");
    ExpectComplete(plan, lines);
    ASSERT_EQ(Names(plan), (std::vector<std::wstring>{L"书", L"00001.xml", L"00002.xml", L"00003.xml"}));
    EXPECT_EQ(plan[1].end, lines.Find(L'\n', 9000));
    EXPECT_EQ(plan[3].end, 30000);     // the rest stays with the third piece, line feed and all

    // Without a line feed after character 9000 the whole text is piece 1.
    CString oneLine = CString(L'字', 25000);
    plan = PlanBook(L"书", oneLine, L"第");
    ASSERT_EQ(Names(plan), (std::vector<std::wstring>{L"书", L"00001.xml"}));
    EXPECT_EQ(plan[1].end, 25000);
}

// A line longer than one article may hold is cut inside, nothing dropped
// and no surrogate pair parted; lines of ordinary length are cut as before.
TEST(Splitter, LinesLongerThanAnArticleAreCutInside)
{
    const int n = 2 * kMaxArticleChars + 500;
    CString line = CString(L'字', n);
    // Pairs across the first cut of the line alone and of the line after a title.
    for (int pair : {kMaxArticleChars - 1, kMaxArticleChars - 7}) {
        line.SetAt(pair, 0xD840);
        line.SetAt(pair + 1, 0xDC00);
    }
    for (const CString& text : {line, L"第一章 长\n" + line + L"\n第二章 短\n" + Filler(3000)}) {
        const ImportPlan plan = PlanBook(L"书", text, L"第");
        ExpectComplete(plan, text);
        int articles = 0;
        for (const ImportStep& s : plan) {
            if (s.kind != ImportStep::kArticle)
                continue;
            ++articles;
            EXPECT_LE(s.end - s.start, kMaxArticleChars) << W(s.Name());
            EXPECT_FALSE(IS_HIGH_SURROGATE(text[s.end - 1])) << W(s.Name());
        }
        EXPECT_GE(articles, 3);
    }
    const ImportPlan pieces = PlanBook(L"书", line, L"");
    ASSERT_EQ(Names(pieces), (std::vector<std::wstring>{L"书", L"00001.xml", L"00002.xml", L"00003.xml"}));
    EXPECT_EQ(pieces[1].end, kMaxArticleChars - 1);
}

// A line that fits into an article alone is never cut: the article before
// it ends at the line feed before it, and a CR LF line of exactly an
// article's length keeps its CR, so no article starts with an empty line.
TEST(Splitter, ALineThatFitsAnArticleIsNotCut)
{
    struct Case {
        int length;
        const wchar_t* end;
    };
    for (const Case c : {Case{95000, L"\n"}, Case{kMaxArticleChars, L"\r\n"}}) {
        const CString line = CString(L'字', c.length) + c.end;
        for (const CString& before : {Filler(8000), CString()}) {
            const CString texts[] = {before + line + Filler(3000), before + line,
                                     L"第一章 长\n" + before + line + Filler(3000) + L"第二章 短\n" + Filler(3000)};
            for (int k = 0; k < 3; ++k) {
                const CString& text = texts[k];
                SCOPED_TRACE(testing::Message() << c.length << " after " << before.GetLength() << ", text " << k);
                const int ls = text.Find(line);
                const int le = ls + c.length;
                const ImportPlan plan = PlanBook(L"书", text, L"第");
                ExpectComplete(plan, text);
                bool whole = false;
                for (const ImportStep& s : plan) {
                    if (s.kind != ImportStep::kArticle)
                        continue;
                    // No character counts for a last line feed and a carriage return before one.
                    int e = s.end - (text[s.end - 1] == L'\n' ? 1 : 0);
                    e -= (e > s.start && text[e - 1] == L'\r') ? 1 : 0;
                    EXPECT_LE(e - s.start, kMaxArticleChars) << W(s.Name());
                    EXPECT_TRUE(text[s.start] != L'\r' && text[s.start] != L'\n') << W(s.Name());
                    whole = whole || (s.start <= ls && s.end >= le);
                }
                EXPECT_TRUE(whole);
            }
        }
    }
}

// The article before a long line ends before a blank line: the long line
// still fits whole into the next, and the blank line is no article of its own.
TEST(Splitter, ALineThatFitsStaysWholeAfterABlankLine)
{
    for (const wchar_t* eol : {L"\n", L"\r\n"}) {
        const CString body = CString(L'A', 8990) + eol + CString(L'B', 20) + eol + eol +
                             CString(L'C', kMaxArticleChars) + eol + CString(L'D', 3000) + eol;
        // As pieces, and as parts of a long chapter whose first part ends before the blank line.
        const CString texts[] = {body, L"第一章 长\n" + CString(L'A', 1000) + eol + body + L"第二章 短\n" + Filler(3000)};
        for (const CString& text : texts) {
            SCOPED_TRACE(testing::Message() << (eol[0] == L'\r' ? "CR LF" : "LF") << ", " << text.GetLength());
            const ImportPlan plan = PlanBook(L"书", text, L"第");
            ExpectComplete(plan, text);
            const int ls = text.Find(L'C');
            bool whole = false;
            for (const ImportStep& s : plan) {
                if (s.kind != ImportStep::kArticle)
                    continue;
                const CString article = text.Mid(s.start, s.end - s.start);
                EXPECT_GE(article.FindOneOf(L"ABCD第"), 0) << W(s.Name());
                EXPECT_TRUE(s.start == ls || text[s.start] != L'C') << W(s.Name());
                whole = whole || (s.start <= ls && s.end >= ls + kMaxArticleChars);
            }
            EXPECT_TRUE(whole);
        }
    }
}

TEST(Splitter, EmptyMarkerMakesChaptersOfLoneTitleLines)
{
    CString text = L"开篇\n" + Filler(6000) + L"风起\n" + Filler(9000) + L"云涌\n" + Filler(9000);
    ImportPlan plan = PlanBook(L"书", text, L"");
    ExpectComplete(plan, text);
    std::vector<std::wstring> names = Names(plan);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[1], L"0001_开篇.xml");
    EXPECT_EQ(names[2], L"0002_风起.xml");
    EXPECT_EQ(names[3], L"0003_云涌.xml");
}

TEST(Splitter, EveryPlanHoldsTheWholeText)
{
    std::mt19937 rng(7);
    const wchar_t* const kTitles[] = {L"第%d章 题", L"%d", L"", L"卷%d"};
    for (int round = 0; round < 40; ++round) {
        CString text;
        const int chapters = 1 + (int)(rng() % 12);
        const wchar_t* form = kTitles[rng() % 4];
        const wchar_t* roman[] = {L"I", L"II", L"III", L"IV", L"V", L"VI", L"VII", L"VIII", L"IX", L"X", L"XI", L"XII"};
        const bool useRoman = rng() % 5 == 0;
        text += RandomText(rng, (int)(rng() % 500));
        for (int c = 1; c <= chapters; ++c) {
            CString title;
            if (useRoman)
                title.Format(L"%s go\n", roman[c - 1]);
            else if (*form)
                title.Format((CString(form) + L"\n").GetString(), c);
            text += title;
            text += Filler(100 + (int)(rng() % 30000));
            if (rng() % 3 == 0)
                text += RandomText(rng, (int)(rng() % 2000));
        }
        for (const wchar_t* prefix : {L"第", L""}) {
            ImportPlan plan = PlanBook(L"书", text, prefix);
            ExpectComplete(plan, text);
        }
    }
}

// ---------------------------------------------------------------- TXT files

std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s += (char)v;
    return s;
}

TEST(TxtFiles, Encodings)
{
    // GBK (the ANSI code page here): 中文
    EXPECT_EQ(W(DecodeTxtBytes(Bytes({0xD6, 0xD0, 0xCE, 0xC4}))), L"中文");
    // UTF-16LE after its mark, which is not part of the text.
    EXPECT_EQ(W(DecodeTxtBytes(Bytes({0xFF, 0xFE, 0x2D, 0x4E, 0x87, 0x65}))), L"中文");
    // UTF-8 after its mark.
    EXPECT_EQ(W(DecodeTxtBytes(Bytes({0xEF, 0xBB, 0xBF, 0xE4, 0xB8, 0xAD, 0xE6, 0x96, 0x87}))), L"中文");
    // An odd UTF-16 length loses only the broken last byte, and says so.
    TxtDamage damage = TxtDamage::kNone;
    EXPECT_EQ(W(DecodeTxtBytes(Bytes({0xFF, 0xFE, 0x2D, 0x4E, 0x87}), &damage)), L"中");
    EXPECT_EQ(damage, TxtDamage::kOddByte);
    // One byte is ANSI text; a zero is left out and the text after it kept.
    EXPECT_EQ(W(DecodeTxtBytes(Bytes({'A'}))), L"A");
    EXPECT_EQ(W(DecodeTxtBytes(Bytes({'A', 0, 'B'}))), L"AB");
    EXPECT_EQ(W(DecodeTxtBytes(Bytes({0xD6, 0xD0, 0, 0xCE, 0xC4}))), L"中文");
    EXPECT_EQ(W(DecodeTxtBytes(Bytes({0xFF, 0xFE, 'A', 0, 0, 0, 'B', 0}))), L"AB");
    // After the mark a damaged sequence loses only itself, and that is told.
    EXPECT_EQ(W(DecodeTxtBytes(Bytes({0xEF, 0xBB, 0xBF, 0xE4, 0xB8, 0xAD, 0xFF, 0xE6, 0x96, 0x87}), &damage)),
              L"中\xFFFD文");
    EXPECT_EQ(damage, TxtDamage::kBadUtf8);
    EXPECT_EQ(W(DecodeTxtBytes(Bytes({0xEF, 0xBB, 0xBF, 'a', 0xE4, '1', 0x80, 'c'}))), L"a\xFFFD" L"1\xFFFD" L"c");
    // GBK text that happens to begin with the UTF-8 mark's bytes.
    EXPECT_EQ(W(DecodeTxtBytes(Bytes({0xEF, 0xBB, 0xBF, 0xC6, 0xD1, 0xA7, 0xB5, 0xC4, 0xCA, 0xE9, 0xA1, 0xA3}), &damage)),
              L"锘科学的书。");
    EXPECT_EQ(damage, TxtDamage::kNone);
}

TEST(TxtFiles, BookNamesAndReading)
{
    EXPECT_EQ(W(BookNameFromPath(L"C:\\书\\故事.TXT")), L"故事");
    EXPECT_EQ(W(BookNameFromPath(L"c:\\a\\notes.txt.bak")), L"notes.txt.bak");

    testfiles::TempFolder folder;
    CString text;
    EXPECT_EQ(ReadTxtFile(folder.Sub(L"无.txt"), text), TxtReadResult::kMissing);
    ASSERT_TRUE(testfiles::PutFile(folder.Sub(L"空.txt"), ""));
    EXPECT_EQ(ReadTxtFile(folder.Sub(L"空.txt"), text), TxtReadResult::kEmpty);
    ASSERT_TRUE(CreateDirectoryW(folder.Sub(L"夹.txt"), nullptr));
    CString why;
    EXPECT_EQ(ReadTxtFile(folder.Sub(L"夹.txt"), text, nullptr, &why), TxtReadResult::kUnreadable);
    EXPECT_FALSE(why.IsEmpty());
    ASSERT_TRUE(testfiles::PutFile(folder.Sub(L"书.txt"), Bytes({0xFF, 0xFE, 0x2D, 0x4E})));
    EXPECT_EQ(ReadTxtFile(folder.Sub(L"书.txt"), text), TxtReadResult::kText);
    EXPECT_EQ(W(text), L"中");
    // A file another program holds without sharing cannot be read.
    HANDLE locked = CreateFileW(folder.Sub(L"书.txt"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    why.Empty();
    EXPECT_EQ(ReadTxtFile(folder.Sub(L"书.txt"), text, nullptr, &why), TxtReadResult::kUnreadable);
    EXPECT_FALSE(why.IsEmpty());
    CloseHandle(locked);
    // A device name is no file; what cannot be read always says why.
    why.Empty();
    EXPECT_NE(ReadTxtFile(folder.Sub(L"CON.txt"), text, nullptr, &why), TxtReadResult::kText);
    EXPECT_FALSE(why.IsEmpty());
}

class Recorder : public ITxtFolderVisitor {
public:
    std::vector<std::wstring> events;
    void EnterFolder(const CString& name) override { events.push_back(L"enter " + W(name)); }
    void LeaveFolder() override { events.push_back(L"leave"); }
    void TxtFile(const CString& path) override { events.push_back(L"file " + W(path.Mid(path.ReverseFind(L'\\') + 1))); }
    void Skipped(const CString& path, const CString&) override { events.push_back(L"skip " + W(path)); }
};

TEST(TxtFiles, FolderWalk)
{
    testfiles::TempFolder folder;
    ASSERT_TRUE(CreateFolderTree(folder.Sub(L"A\\B")));
    ASSERT_TRUE(CreateFolderTree(folder.Sub(L"A\\空")));
    ASSERT_TRUE(testfiles::PutFile(folder.Sub(L"A\\B\\X.txt"), "x"));
    ASSERT_TRUE(testfiles::PutFile(folder.Sub(L"A\\notes.txt.bak"), "y"));
    ASSERT_TRUE(testfiles::PutFile(folder.Sub(L"A\\pic.doc"), "z"));
    Recorder rec;
    WalkTxtFolder(folder.Sub(L"A"), rec);
    std::vector<std::wstring> sorted = rec.events;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::wstring>{L"enter b", L"enter 空", L"file notes.txt.bak", L"file x.txt",
                                                 L"leave", L"leave"}));
    // x.txt is visited between entering b and leaving it.
    auto enter = std::find(rec.events.begin(), rec.events.end(), L"enter b");
    ASSERT_NE(enter, rec.events.end());
    EXPECT_EQ(*(enter + 1), L"file x.txt");
    EXPECT_EQ(*(enter + 2), L"leave");
}

TEST(TxtFiles, AFolderLinkedBackIntoItselfIsWalkedOnce)
{
    CString root = LINK_LOOP_DIR;
    root.Replace(L'/', L'\\');
    ASSERT_TRUE(FolderExists(root + L"\\book\\vol\\loop"));
    Recorder rec;
    WalkTxtFolder(root + L"\\book", rec);
    EXPECT_EQ(rec.events, (std::vector<std::wstring>{L"enter vol", L"file a.txt",
                                                     L"skip " + W(root) + L"\\book\\vol\\loop", L"leave"}));
}

} // namespace
