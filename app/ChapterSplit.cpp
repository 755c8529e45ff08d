// Chapter detection and the import plan. Every search walks the text
// forward once: a line's title verdict is worked out once per line and
// cached, the 40-character look-ahead after a title is a bounded scan of the
// same text (no copy, no recursion), and an empty marker steps line by line
// instead of testing every position.
#include "app/ChapterSplit.h"

#include <algorithm>
#include <cwchar>
#include <string>

#include "app/LibraryNames.h"
#include "app/LibraryPaths.h"
#include "framework/FileUtil.h"

namespace {

const wchar_t kLf = L'\n';
const int kTitleReach = 100;      // a title line's start and end lie this close to the hit
const int kFollowWindow = 40;     // a title followed this closely by another is a contents line
const int kContentsGap = 100;     // titles closer than this at the start are a contents list
const int kDetectStart = 1000;
const int kDetectStartVolume = 5000;
const int kRomanSpacing = 15;
const int kRomanFirstGap = 200;
const int kRomanStep = 6;

bool IsTrimmedChar(wchar_t c)
{
    switch (c) {
    case 0x000C: case L'*': case L':': case 0xFF1F: case L'?': case L'<': case L'>': case L'|':
    case L'/': case L'\r': case L'\n': case L'-': case L'_': case 0x3000: case L' ':
        return true;
    default:
        return false;
    }
}

bool IsBlankChar(wchar_t c)
{
    return c <= 0x20 || c == 0xE771 || c == L',' || c == 0x3002 || c == 0x2014;
}

bool IsSentenceMark(wchar_t c)
{
    switch (c) {
    case 0xFF0C: case 0x3002: case L':': case 0xFF1A: case L'?': case 0xFF1F: case 0xFF01: case 0x3001:
    case L'"': case 0x00A1:
        return true;
    default:
        return false;
    }
}

// The line [ls, le] (le its line feed) without the trimmed characters at
// either end, as [a, b).
void TrimLine(const wchar_t* s, int ls, int le, int& a, int& b)
{
    a = ls;
    b = le + 1;
    while (a < b && IsTrimmedChar(s[a]))
        ++a;
    while (b > a && IsTrimmedChar(s[b - 1]))
        --b;
}

bool LineCanBeTitle(const wchar_t* s, int ls, int le)
{
    int a, b;
    TrimLine(s, ls, le, a, b);
    bool blank = true;
    for (int i = a; i < b; ++i) {
        if (IsSentenceMark(s[i]))
            return false;
        if (!IsBlankChar(s[i]))
            blank = false;
    }
    return a < b && !blank;
}

// Title tests over one text, remembering the last line looked at so that
// many hits on one line cost one look at the line.
class CTitleScan {
public:
    explicit CTitleScan(const CString& text) : m_s(text.GetString()), m_n(text.GetLength()), m_str(text.str()) {}

    enum Verdict { kTitle, kNotHere, kNotOnLine };

    // Whether position q is on a title line whose line feed lies before limit.
    // kNotOnLine: no later position of the same line is one either.
    Verdict TestAt(int q, int limit)
    {
        if (q < 0 || q >= m_n)
            return kNotOnLine;
        Load(q);
        if (m_le < 0 || m_le >= limit || m_ls == kFar)
            return kNotOnLine;
        if (!PositionFits(q))
            return (m_le - q > kTitleReach - 1) ? kNotHere : kNotOnLine;
        return Content() ? kTitle : kNotOnLine;
    }

    // The trimmed line around q when q's position allows a title there.
    bool LineAt(int q, int& a, int& b)
    {
        if (q < 0 || q >= m_n)
            return false;
        Load(q);
        if (m_le < 0 || m_ls == kFar || !PositionFits(q))
            return false;
        TrimLine(m_s, m_ls, m_le, a, b);
        return a < b;
    }

    // First q >= from holding pattern on a title line, with q + length of
    // the pattern and the line's line feed before limit; -1 when none.
    int Find(int from, const CString& pattern, int limit)
    {
        const int plen = pattern.GetLength();
        if (from < 0 || from > m_n)
            return -1;
        if (plen == 0)
            return FindAnyLine(from, limit);
        for (size_t p = m_str.find(pattern.GetString(), (size_t)from, (size_t)plen);
             p != std::wstring::npos && (int)p + plen <= limit;
             p = m_str.find(pattern.GetString(), p, (size_t)plen)) {
            const int q = (int)p;
            const Verdict v = TestAt(q, limit);
            if (v == kTitle)
                return q;
            if (v == kNotOnLine) {
                if (m_le < 0 || m_le + 1 >= limit)
                    return -1;
                p = (size_t)std::max(m_le + 1, q + 1);
            } else {
                p = (size_t)q + 1;
            }
        }
        return -1;
    }

    // Start and line feed of the line last looked at (valid after a hit).
    int LineStart() const { return m_ls; }
    int LineEnd() const { return m_le; }

private:
    static const int kFar = -2;     // the line starts more than 100 characters back

    // Reads the line around q unless it is the one remembered.
    void Load(int q)
    {
        if (m_lo >= 0 && q >= m_lo && (q <= m_le || (m_le < 0 && q < m_n)))
            return;
        const wchar_t* lf = wmemchr(m_s + q, kLf, (size_t)(m_n - q));
        m_le = lf ? (int)(lf - m_s) : -1;
        // Only the last 101 characters before q can hold the line start that
        // a title needs.
        m_ls = kFar;
        const int stop = std::max(0, q - (kTitleReach + 1));
        for (int k = q - 1; k >= stop; --k) {
            if (m_s[k] == kLf) {
                m_ls = k + 1;
                break;
            }
        }
        if (m_ls == kFar && stop == 0)
            m_ls = 0;
        m_lo = m_ls >= 0 ? m_ls : q;
        m_content = -1;
    }

    bool PositionFits(int q) const
    {
        if (m_le - q > kTitleReach - 1)
            return false;
        if (m_ls == 0 ? q > kTitleReach : q - m_ls > kTitleReach - 1)
            return false;
        // On the line feed itself the line needs two characters before it.
        return !(q == m_le && q - m_ls < 2);
    }

    bool Content()
    {
        if (m_content < 0)
            m_content = LineCanBeTitle(m_s, m_ls, m_le) ? 1 : 0;
        return m_content == 1;
    }

    // An empty pattern is found everywhere: per line the first position
    // that a title test accepts, if any.
    int FindAnyLine(int from, int limit)
    {
        for (int q = from; q < limit && q < m_n;) {
            Load(q);
            if (m_le < 0 || m_le >= limit)
                return -1;
            const int cand = std::max(q, m_le - (kTitleReach - 1));
            if (m_ls != kFar && PositionFits(cand) && Content())
                return cand;
            q = m_le + 1;
        }
        return -1;
    }

    const wchar_t* m_s;
    int m_n;
    const std::wstring& m_str;
    int m_lo = -1;      // first position known to lie on the remembered line
    int m_ls = -1;
    int m_le = -1;      // its line feed, -1 when the text ends without one
    int m_content = -1;
};

// FindNextTitle over a scanner that the caller may keep.
int NextTitle(CTitleScan& scan, int start, const CString& pattern, const CString& text)
{
    const int n = text.GetLength();
    if (start < 0 || start > n)
        return -1;
    for (int from = start;;) {
        const int q = scan.Find(from, pattern, n);
        if (q < 0)
            return -1;
        const int lineStart = scan.LineStart();
        const int nextLine = scan.LineEnd() + 1;
        const int windowEnd = std::min(n, nextLine + kFollowWindow);
        if (scan.Find(nextLine, pattern, windowEnd) < 0)
            return lineStart;
        from = nextLine;
    }
}

CString Formatted(const wchar_t* format, int number)
{
    CString s;
    s.Format(format, number);
    return s;
}

ImportStep Step(ImportStep::Kind kind, const CString& head, const CString& title, const CString& tail,
                int start = 0, int end = 0)
{
    ImportStep step;
    step.kind = kind;
    step.head = head;
    step.title = title;
    step.tail = tail;
    step.start = start;
    step.end = end;
    return step;
}

// One chapter: nothing when empty, parts when too long, else one article.
void AddChapter(ImportPlan& plan, const CString& head, const CString& title, const CString& text, int start,
                int end)
{
    if (end <= start)
        return;
    if (end - start > kOneArticleLimit)
        PlanLongChapter(plan, head, title, text, start, end, kPartLength);
    else
        plan.push_back(Step(ImportStep::kArticle, head, title, L".xml", start, end));
}

bool PlanTitles(ImportPlan& plan, const CString& text, const CString& marker)
{
    int next = 0;
    int cur = FindFirstTitle(&next, marker, text);
    if (cur == -1)
        return false;
    const int n = text.GetLength();
    CTitleScan scan(text);
    for (int number = 1;; ++number) {
        const CString title = GetTitleLine(cur, text);
        const int lineStart = GetLineStart(cur, text);
        const int nxt = number == 1 ? NextTitle(scan, next - 1, marker, text)
                                    : NextTitle(scan, GetNextLineStart(cur, text), marker, text);
        // What precedes the first title (preface, contents) belongs to chapter 1.
        const int start = number == 1 ? 0 : lineStart;
        AddChapter(plan, Formatted(L"%04d_", number), CleanChapterTitle(title), text, start,
                   nxt == -1 ? n : nxt);
        if (nxt == -1)
            return true;
        cur = nxt;
    }
}

bool PlanBareNumbers(ImportPlan& plan, const CString& text)
{
    CTitleScan scan(text);
    const int n = text.GetLength();
    if (scan.Find(0, L"1", n) < 0)
        return false;
    int skip = 0;
    int cur = FindFirstTitle(&skip, L"1", text);
    for (int number = 1;; ++number) {
        const int lineStart = GetLineStart(cur, text);
        const int nxt = NextTitle(scan, cur, Formatted(L"%d", number + 1), text);
        // The text before the first "1" line goes into chapter 1.
        AddChapter(plan, Formatted(L"%04d", number), CString(), text, number == 1 ? 0 : lineStart,
                   nxt == -1 ? n : nxt);
        if (nxt == -1)
            return true;
        cur = nxt;
    }
}

// First space at or after a position; a search that starts inside the
// stretch already searched reuses its answer.
class CSpaceFinder {
public:
    explicit CSpaceFinder(const std::wstring& s) : m_s(s) {}
    size_t From(size_t pos)
    {
        if (m_known && pos >= m_from && (m_at == std::wstring::npos || pos <= m_at))
            return m_at;
        m_from = pos;
        m_at = m_s.find(L' ', pos);
        m_known = true;
        return m_at;
    }

private:
    const std::wstring& m_s;
    bool m_known = false;
    size_t m_from = 0;
    size_t m_at = std::wstring::npos;
};

bool PlanRoman(ImportPlan& plan, const CString& text)
{
    const std::wstring& s = text.str();
    const size_t npos = std::wstring::npos;
    CSpaceFinder space(s);
    size_t i = s.find(L'I');
    if (i == npos)
        return false;
    const size_t ii = s.find(L"II", i);
    size_t sp = space.From(i);
    if (ii == npos || sp == npos)
        return false;
    while (sp - i > (size_t)kRomanSpacing) {
        i = s.find(L'I', sp);
        if (i == npos)
            return false;
        sp = space.From(i);
        if (sp == npos)
            return false;
    }
    if ((long long)ii - (long long)i <= kRomanFirstGap)
        return false;

    size_t prev = 0, cut = ii;
    int number = 0;
    for (;;) {
        ++number;
        AddChapter(plan, Formatted(L"%04d", number), CString(), text, (int)prev, (int)cut);
        CString numeral;
        FormatRoman(number + 2, &numeral);
        prev = cut;
        // Past 999 the numerals repeat; an empty one would cut everywhere.
        if (numeral.IsEmpty())
            break;
        size_t c = s.find(numeral.GetString(), cut + kRomanStep);
        if (c == npos)
            break;
        size_t after = space.From(c + 1);
        while (after != npos && after - c > (size_t)kRomanSpacing) {
            c = s.find(numeral.GetString(), c + 1);
            if (c == npos)
                break;
            after = space.From(c + 1);
        }
        if (c == npos || after == npos)
            break;
        cut = c;
    }
    // The last chapter is cut into parts like any other when it is long.
    AddChapter(plan, Formatted(L"%04d", number + 1), CString(), text, (int)prev, text.GetLength());
    return true;
}

// First line feed in text[from, end), or -1.
int LineFeedIn(const CString& text, int from, int end)
{
    if (from < 0 || from >= end)
        return -1;
    const wchar_t* s = text.GetString();
    const wchar_t* lf = wmemchr(s + from, kLf, (size_t)(end - from));
    return lf ? (int)(lf - s) : -1;
}

// Last line feed in text[from, end), or -1.
int LastLineFeedIn(const CString& text, int from, int end)
{
    const wchar_t* s = text.GetString();
    for (int i = end - 1; i >= from; --i) {
        if (s[i] == kLf)
            return i;
    }
    return -1;
}

// First line feed in text[from, end) at which the article from start ends
// within kMaxArticleChars, a carriage return before it not counted (it
// belongs to the line feed); -1 when there is none.
int ArticleEndIn(const CString& text, int start, int from, int end)
{
    const int limit = start + kMaxArticleChars;
    const int lf = LineFeedIn(text, from, std::min(end, limit + 1));
    if (lf >= 0)
        return lf;
    if (from <= limit + 1 && limit + 1 < end && text[limit + 1] == kLf && text[limit] == L'\r')
        return limit + 1;
    return -1;
}

// Where the article from start is cut, looking for a line feed from from
// on: at the first one that keeps the article within kMaxArticleChars (the
// line feed itself is dropped). Else, when the text up to end is longer
// than that, at the line feed before the line that runs past the limit, as
// long as that line fits into an article alone; only a line longer than
// that is cut inside (nothing dropped, a surrogate pair kept whole).
struct Cut {
    int end = -1;   // the article is text[start, end); -1: no cut
    int next = -1;  // where the next one starts
};

// Whether text[start, end) holds line ends alone (or nothing). Such a stretch
// makes no article, a blank page: it goes with the cut before it, unless
// nothing else was made.
bool OnlyLineEnds(const CString& text, int start, int end)
{
    const wchar_t* s = text.GetString();
    for (int k = start; k < end; ++k) {
        if (s[k] != kLf && s[k] != L'\r')
            return false;
    }
    return true;
}

Cut NextCut(const CString& text, int start, int from, int end)
{
    Cut cut;
    int lf = ArticleEndIn(text, start, from, end);
    if (lf < 0 && end - start > kMaxArticleChars) {
        // The line's own line feed lies past this article's limit.
        const int before = LastLineFeedIn(text, start, from);
        const int line = before + 1;
        const int pastLimit = start + kMaxArticleChars + 1;
        if (before >= 0 && (end - line <= kMaxArticleChars || ArticleEndIn(text, line, pastLimit, end) >= 0))
            lf = before;
    }
    if (lf >= 0) {
        cut.end = lf;
        cut.next = lf + 1;
    } else if (end - start > kMaxArticleChars) {
        int at = start + kMaxArticleChars;
        if (IS_HIGH_SURROGATE(text[at - 1]) && IS_LOW_SURROGATE(text[at]))
            --at;
        cut.end = cut.next = at;
    }
    return cut;
}

void PlanPieces(ImportPlan& plan, const CString& text)
{
    const int n = text.GetLength();
    int start = 0, number = 0;
    // A cut needs text after it, so the text's last line feed is never dropped.
    for (Cut cut = NextCut(text, start, kPieceLength, n); cut.end >= 0 && cut.next < n;
         cut = NextCut(text, start, start + kPieceLength, n)) {
        // The last cut keeps its line feed: the last piece runs on to the
        // end, as long as it fits into one article.
        if (LineFeedIn(text, cut.next + kPieceLength, n) < 0 && n - start <= kMaxArticleChars)
            break;
        if (!OnlyLineEnds(text, start, cut.end))
            plan.push_back(Step(ImportStep::kArticle, Formatted(L"%05d", ++number), CString(), L".xml", start, cut.end));
        start = cut.next;
    }
    if (start < n && (number == 0 || !OnlyLineEnds(text, start, n)))
        plan.push_back(Step(ImportStep::kArticle, Formatted(L"%05d", ++number), CString(), L".xml", start, n));
}

struct TitleKind {
    const wchar_t* probes[5];
    int from;
    const wchar_t* marker;
};

const TitleKind kTitleKinds[] = {
    {{L"第二章", L"第 二 章", L"第2章", L"第02章", L"第002章"}, kDetectStart, L"第"},
    {{L"第二回", L"第 二 回", L"第2回", L"第02回", L"第002回"}, kDetectStart, L"第"},
    {{L"第二卷", L"第 二 卷", L"第2卷", L"第02卷", L"第002卷"}, kDetectStart, L"第"},
    {{L"第二传", L"第 二 传", L"第2传", L"第02传", L"第002传"}, kDetectStart, L"第"},
    {{L"第二则", L"第 二 则", L"第2则", L"第02则", L"第002则"}, kDetectStart, L"第"},
    {{L"卷二", L"卷2"}, kDetectStartVolume, L"卷"},
    {{L"卷之"}, kDetectStart, L"卷之"},
    {{L"第一", L"志第"}, kDetectStart, L"第"},
    {{L"CHAPTER"}, 0, L"CHAPTER"},
};

} // namespace

// ---------------------------------------------------------------- lines and titles

int GetLineStart(int pos, const CString& text)
{
    return LastLineFeedIn(text, 0, std::min(pos, text.GetLength())) + 1;
}

int GetNextLineStart(int start, const CString& text)
{
    const int n = text.GetLength();
    const int lf = LineFeedIn(text, start, n);
    return lf < 0 ? n : lf + 1;
}

CString GetTitleLine(int pos, const CString& text)
{
    CTitleScan scan(text);
    int a, b;
    if (!scan.LineAt(pos, a, b))
        return CString();
    return CString(text.GetString() + a, b - a);
}

int IsNotTitleLine(int pos, const CString& text)
{
    CTitleScan scan(text);
    return scan.TestAt(pos, text.GetLength()) == CTitleScan::kTitle ? 0 : 1;
}

int FindNextTitle(int start, const CString& pattern, const CString& text)
{
    CTitleScan scan(text);
    return NextTitle(scan, start, pattern, text);
}

int FindFirstTitle(int* next, const CString& pattern, const CString& text)
{
    CTitleScan scan(text);
    const int q = scan.Find(0, pattern, text.GetLength());
    if (q < 0)
        return -1;
    const int first = scan.LineStart();
    if (pattern.IsEmpty()) {
        *next += q == 0 ? 2 * kTitleReach : kTitleReach;
        return first;
    }
    *next = NextTitle(scan, scan.LineEnd() + 1, pattern, text);
    int prev = first;
    while (*next > kContentsGap && *next - prev < kContentsGap) {
        prev = *next;
        *next = NextTitle(scan, GetNextLineStart(*next, text), pattern, text);
    }
    return first;
}

void FormatRoman(int n, CString* out)
{
    static const wchar_t* const kUnits[10] = {L"", L"I", L"II", L"III", L"IV", L"V", L"VI", L"VII", L"VIII", L"IX"};
    static const wchar_t* const kTens[10] = {L"", L"X", L"XX", L"XXX", L"XL", L"L", L"LX", L"LXX", L"LXXX", L"XC"};
    static const wchar_t* const kHundreds[10] = {L"", L"C", L"CC", L"CCC", L"CD", L"D", L"DC", L"DCC", L"DCCC", L"CM"};
    const int m = ((n % 1000) + 1000) % 1000;
    out->Empty();
    *out += kHundreds[m / 100];
    *out += kTens[(m / 10) % 10];
    *out += kUnits[m % 10];
}

int DetectTitleKind(const CString& text, CString* marker)
{
    const std::wstring& s = text.str();
    int kind = 0;
    for (const TitleKind& k : kTitleKinds) {
        for (const wchar_t* probe : k.probes) {
            if (!probe)
                break;
            const size_t at = s.find(probe, (size_t)k.from);
            if (at != std::wstring::npos && IsNotTitleLine((int)at, text) == 0) {
                *marker = k.marker;
                return kind;
            }
        }
        ++kind;
    }
    return -1;
}

// ---------------------------------------------------------------- plan

CString CleanChapterTitle(const CString& title)
{
    return CleanNamePart(title, kMaxTitleChars);
}

void PlanLongChapter(ImportPlan& plan, const CString& head, const CString& title, const CString& text,
                     int start, int end, int partLength)
{
    plan.push_back(Step(ImportStep::kFolder, head, title, CString()));
    int number = 0;
    // A cut needs text after it, so no part is left empty.
    for (Cut cut = NextCut(text, start, start + partLength, end); cut.end >= 0 && cut.next < end;
         cut = NextCut(text, start, start + partLength, end)) {
        if (!OnlyLineEnds(text, start, cut.end))
            plan.push_back(Step(ImportStep::kArticle, head, title, Formatted(L"_%04d.xml", ++number), start, cut.end));
        start = cut.next;
    }
    if (number == 0 || !OnlyLineEnds(text, start, end))
        plan.push_back(Step(ImportStep::kArticle, head, title, Formatted(L"_%04d.xml", ++number), start, end));
    plan.push_back(Step(ImportStep::kEndFolder, CString(), CString(), CString()));
}

ImportPlan PlanBook(const CString& bookName, const CString& text, const CString& prefix)
{
    ImportPlan plan;
    const int n = text.GetLength();
    if (n == 0)
        return plan;
    if (n < kOneArticleLimit) {
        plan.push_back(Step(ImportStep::kArticle, CString(), bookName, L".xml", 0, n));
        return plan;
    }
    plan.push_back(Step(ImportStep::kFolder, CString(), bookName, CString()));
    CString marker = prefix;
    DetectTitleKind(text, &marker);
    if (PlanTitles(plan, text, marker) || PlanBareNumbers(plan, text) || PlanRoman(plan, text))
        return plan;
    PlanPieces(plan, text);
    return plan;
}

CString FitStepTitle(const ImportStep& step, const CString& folderPath, const std::vector<CString>& siblings,
                     bool unique, int maxPath)
{
    const int kNumberRoom = 5;  // "(99)" and a little
    int room = maxPath - folderPath.GetLength() - 1 - step.head.GetLength() - step.tail.GetLength();
    if (unique)
        room -= kNumberRoom;
    CString title = step.title;
    if (title.GetLength() > room)
        title = room > 0 ? CleanNamePart(title, room) : CString();
    if (!unique)
        return title;
    for (int k = 1;; ++k) {
        const CString candidate = k == 1 ? title : title + Formatted(L"(%d)", k);
        const CString name = step.head + candidate + step.tail;
        bool taken = PathExists(AppendPathPart(folderPath, name));
        for (size_t i = 0; i < siblings.size() && !taken; ++i)
            taken = siblings[i].CompareNoCase(name) == 0;
        if (!taken)
            return candidate;
    }
}
