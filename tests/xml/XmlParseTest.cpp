// Parsing: records, messages, scanner kinds, record segments, hostile input.
#include "XmlTestUtil.h"

#include <chrono>
#include <cstdlib>
#include <new>

// Heap bytes in use and their peak, counted by this program's own operator new.
namespace {
size_t g_heapInUse = 0;
size_t g_heapPeak = 0;
const size_t kHeapHeader = 16;
} // namespace

void* operator new(size_t n)
{
    char* p = static_cast<char*>(std::malloc(n + kHeapHeader));
    if (!p)
        throw std::bad_alloc();
    *reinterpret_cast<size_t*>(p) = n;
    g_heapInUse += n;
    if (g_heapInUse > g_heapPeak)
        g_heapPeak = g_heapInUse;
    return p + kHeapHeader;
}

void operator delete(void* p) noexcept
{
    if (!p)
        return;
    char* block = static_cast<char*>(p) - kHeapHeader;
    g_heapInUse -= *reinterpret_cast<size_t*>(block);
    std::free(block);
}

void operator delete(void* p, size_t) noexcept { operator delete(p); }

namespace {

TEST(XmlParse, ResultsAndFirstMessage)
{
    struct Case { const wchar_t* text; bool ok; const wchar_t* error; };
    const Case cases[] = {
        { nullptr, false, L"Empty document" },
        { L"", false, L"Empty document" },
        { L" \r\n\t ", false, L"No root element" },
        { L"<a/><b/>", false, L"Root element has sibling" },
        { L"<a><b></a>", false, L"End tag 'a' at offset 7 does not match start tag 'b' at offset 3" },
        { L"<a></b></c></a>", false, L"No start tag for end tag 'b' at offset 3" },
        { L"<a b=x/>", false, L"Element 'a' at offset 0 not ended" },
        { L"<a x='1>2'/>", true, L"" },
        { L"<?xml version=\"1.0\"?>\r\n<!DOCTYPE r [<!ELEMENT r ANY><!ATTLIST r a CDATA \"x>y\">]>\r\n"
          L"<!-- c > --><r a='\"'><![CDATA[<x>]]><?p q?></r>\r\n", true, L"" },
        { L"<a><!-x--></a>", false, L"Incorrect comment tag at offset 3" },
        { L"<a><![X[y]]></a>", false, L"Incorrect tag at offset 3" },
        { L"<a><!Q></a>", false, L"Incorrect ! tag at offset 3" },
        { L"<a><1/></a>", false, L"Incorrect tag name character at offset 3" },
        { L"<!DOCTYPE a [<!-- c -->]><a/>", false, L"Incorrect ! tag at offset 0" },
        { L"<a><!-- x", false, L"Comment at offset 3 unterminated" },
        { L"<a><![CDATA[ x", false, L"CDATA Section at offset 3 unterminated" },
        { L"<a><?pi x", false, L"Processing instruction at offset 3 unterminated" },
        { L"<a><b x='>", false, L"Element tag at offset 3 unterminated" },
        { L"<a></a", false, L"Element end tag at offset 3 unterminated" },
        { L"<a/><!DOCTYPE a [<!ENTITY e 'x'>", false, L"Doctype at offset 4 unterminated" },
        { L"<a/><!ENTITY x", false, L"tag at offset 4 unterminated" },
    };
    for (const Case& c : cases) {
        CXmlDocument doc;
        EXPECT_EQ(doc.LoadFromText(c.text), c.ok) << (c.text ? c.text : L"(null)");
        EXPECT_EQ(doc.strParseError.str(), c.error) << (c.text ? c.text : L"(null)");
        EXPECT_EQ(doc.iCursorElement | doc.iCursorParent | doc.iCursorChild | doc.nCursorKind, 0);
    }
}

TEST(XmlParse, UnendedAndStrayTagsKeepUsableRecords)
{
    CXmlDocument doc;
    doc.LoadFromText(L"<a><b></a>");
    EXPECT_EQ(doc.Element(1).nLength, 10);
    EXPECT_EQ(doc.Element(1).nEndTagLength, 4);
    EXPECT_EQ(doc.Element(2).nFlags & XML_START_TAG_ONLY, XML_START_TAG_ONLY);
    EXPECT_EQ(doc.Element(2).nLength, doc.Element(2).nStartTagLength);
    EXPECT_TRUE(doc.Element(0).nFlags & XML_NOT_WELL_FORMED);

    doc.LoadFromText(L"<a></b></a>");
    EXPECT_EQ(doc.Element(1).nLength, 11);
    EXPECT_TRUE(doc.Element(1).nFlags & XML_ERROR_INSIDE);

    // a and c never end: their children follow them, a's error moves to r.
    doc.LoadFromText(L"<r><a><b/><1><c><d/></r>");
    EXPECT_EQ(doc.strParseError.str(), L"Incorrect tag name character at offset 10");
    ExpectSameRecords(doc, doc);
    std::wstring names;
    for (int k : Children(doc, 1))
        names += TagNameOf(doc, k) + ((doc.Element(k).nFlags & XML_START_TAG_ONLY) ? L"+" : L" ");
    EXPECT_EQ(names, L"a+b c+d ");
    EXPECT_EQ(doc.Element(2).nFlags & XML_ERROR_INSIDE, 0);
    EXPECT_TRUE(doc.Element(1).nFlags & XML_ERROR_INSIDE);
}

TEST(XmlScan, NodeKindsAndSelfClosing)
{
    const wchar_t* text = L"<?pi?> <!--c--><a b='>'>t<![CDATA[x]]></a><!DOCTYPE d><x/><x /><x y=\"1\"/><x y=1/>";
    const int kinds[] = { 16, 4, 32, 1, 2, 8, 0, 64, 1, 1, 1, 1, -2 };
    XmlScanner s(text, (int)wcslen(text));
    XmlNodeInfo node;
    std::wstring closing;
    for (int kind : kinds) {
        ASSERT_EQ(XmlScanNode(s, node), kind) << "at " << node.nStart;
        if (kind == 1) {
            closing += (node.nFlags & XML_NODE_SELF_CLOSING) ? L'/' : L'-';
        }
    }
    EXPECT_EQ(closing, L"-///-");
}

TEST(XmlParse, RecordsSpreadOverSegments)
{
    const int n = 140000;
    std::wstring text = L"<r>";
    for (int i = 0; i < n; ++i)
        text += L"<e/>";
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromText((text + L"</r>").c_str()));
    EXPECT_EQ(doc.iFreeRecord, n + 2);
    for (int i = 2; i < n + 2; ++i) {
        const XmlElementRecord& r = doc.pSegments[i >> 16][i & 0xFFFF];
        ASSERT_EQ(r.nStart, 3 + 4 * (i - 2)) << i;
        ASSERT_EQ(r.iNextSibling, i + 1 < n + 2 ? i + 1 : 0) << i;
    }
}

TEST(XmlParse, ReserveElementsGrowthSteps)
{
    CXmlDocument doc;
    EXPECT_EQ(doc.nCapacity, 8);
    EXPECT_EQ(doc.nSegmentCapacity, 4);
    doc.ReserveElements(100);
    for (int i = 0; i < 100; ++i)
        doc.Element(i).nStart = i;
    const int steps[][3] = {    // requested, capacity after, segment table size
        { 70000, 70000, 4 }, { 1000000, 3 * 65536, 4 }, { 1000000, 4 * 65536, 4 },
        { 1000000, 5 * 65536, 12 }, { 10, 5 * 65536, 12 },
    };
    for (const auto& st : steps) {
        doc.ReserveElements(st[0]);
        EXPECT_EQ(doc.nCapacity, st[1]);
        EXPECT_EQ(doc.nSegmentCapacity, st[2]);
    }
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(doc.Element(i).nStart, i);
    for (int i = 0; i < doc.nCapacity; i += 997)   // every slot is there
        doc.Element(i).nStart = i;
    for (int i = 0; i < doc.nCapacity; i += 997)
        ASSERT_EQ(doc.Element(i).nStart, i);

    doc.FreeRecordTable();
    doc.ReserveElements(200000);
    EXPECT_EQ(doc.nCapacity, 2 * 65536);
    doc.iFreeRecord = doc.nCapacity;
    doc.ReserveElements(0);
    EXPECT_EQ(doc.nCapacity, 3 * 65536);
    EXPECT_TRUE(doc.LoadFromText(L"<a/>"));
    EXPECT_EQ(doc.nCapacity, 3 * 65536);
}

// Tag lengths beyond 20 and 10 bits keep every offset right.
TEST(XmlParse, HugeTagsKeepOffsets)
{
    std::wstring value(1100000, L'v'), name(1500, L'N');
    std::wstring text = L"<r><a v='" + value + L"'>t</a><" + name + L">u</" + name + L"><b/></r>";
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromText(text.c_str()));
    ASSERT_TRUE(doc.FindNextElement(L"r") && doc.EnterElement() && doc.FindNextElement(L"a"));
    EXPECT_EQ(doc.Element(2).nStartTagLength, (int)value.size() + 8);
    EXPECT_EQ(Attr(doc, 2, L"v"), value);
    EXPECT_EQ(Content(doc, 2), L"t");
    EXPECT_EQ(doc.Element(3).nEndTagLength, 1503);
    EXPECT_EQ(Content(doc, 3), L"u");
    ASSERT_TRUE(doc.FindNextElement(name.c_str()) && doc.FindNextElement(L"b"));
    ASSERT_TRUE(doc.WriteAttributeAt(2, L"v", L"w"));
    ASSERT_TRUE(doc.WriteContentAt(3, L"longer"));
    EXPECT_EQ(Content(doc, 3), L"longer");
    ExpectSameAsReparsed(doc);
}

// Hostile nesting: nothing recurses and levels stay inside their 16 bits.
TEST(XmlParse, DeepNestingParsesAndEdits)
{
    const int depth = 70000;
    std::wstring open;
    for (int i = 0; i < depth; ++i)
        open += L"<a>";
    std::wstring close;
    for (int i = 0; i < depth; ++i)
        close += L"</a>";
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromText((open + close).c_str()));
    for (int i = 0; i < depth; ++i)
        ASSERT_TRUE(doc.FindNextElement(L"a") && doc.EnterElement()) << i;
    EXPECT_EQ(doc.Element(doc.iCursorParent).nFlags, XML_FIRST_CHILD | ((depth - 1) & XML_LEVEL_MASK));
    ASSERT_TRUE(doc.AppendElement(L"leaf"));
    ASSERT_TRUE(doc.WriteContentAt(doc.iCursorElement, L"x<y"));
    ASSERT_TRUE(doc.WriteAttributeIntAt(1, L"n", -5));
    EXPECT_EQ(Attr(doc, 1, L"n"), L"-5");
    ExpectSameAsReparsed(doc);

    EXPECT_FALSE(doc.LoadFromText(open.c_str()));
    EXPECT_EQ(Children(doc, 0).size(), (size_t)depth);
    EXPECT_FALSE(doc.LoadFromText((L"<r>" + open + L"</r>").c_str()));
    EXPECT_EQ(doc.strParseError.str(), L"End tag 'r' at offset " + std::to_wstring(3 * depth + 4) +
                                           L" does not match start tag 'a' at offset " + std::to_wstring(3 * depth));
    EXPECT_EQ(Children(doc, 1).size(), (size_t)depth);
}

// Stray end tags under many open elements: each is looked up at once, so a
// hostile file costs no more than a regular one of its size.
TEST(XmlParse, StrayEndTagsUnderDeepNestingStayFast)
{
    const int n = 80000;
    std::wstring text = L"<Page><Body>";
    for (int i = 0; i < n; ++i)
        text += L"<a>";
    for (int i = 0; i < n; ++i)
        text += L"</b>";
    text += L"</a></Body></Page>";
    CXmlDocument doc;
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(doc.LoadFromText(text.c_str()));
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(4));
    EXPECT_EQ(doc.strParseError.str(), L"No start tag for end tag 'b' at offset " + std::to_wstring(12 + 3 * n));
    // "</a>" ends the innermost a; the others never end and follow it.
    ASSERT_EQ(Children(doc, 0).size(), 1u);
    const std::vector<int> body = Children(doc, 1);
    ASSERT_EQ(body.size(), 1u);
    const std::vector<int> inBody = Children(doc, body[0]);
    ASSERT_EQ(inBody.size(), (size_t)n);
    EXPECT_TRUE(doc.Element(inBody.front()).nFlags & XML_START_TAG_ONLY);
    EXPECT_EQ(doc.Element(inBody.back()).nEndTagLength, 4);
    EXPECT_EQ(doc.Element(body[0]).nEndTagLength, 7);

    // Names that share a beginning: an end tag finds the innermost that fits.
    ASSERT_TRUE(doc.LoadFromText(L"<r><a[1]x><a[1]><a=2></a></a></a[1]x></r>"));
    // So it does past inner elements that do not fit: whole or by "[", "]" or
    // "="; none fits when the name goes on with anything else.
    struct Pass { const wchar_t* text; int closed; const wchar_t* error; };
    const Pass passes[] = {
        { L"<r><ab><a></ab></r>", 2, L"End tag 'ab' at offset 11 does not match start tag 'a' at offset 7" },
        { L"<r><a[1]x><b></a[1></r>", 2, L"End tag 'a[1' at offset 14 does not match start tag 'b' at offset 10" },
        { L"<r><a=1><ab></a></r>", 2, L"End tag 'a' at offset 13 does not match start tag 'ab' at offset 8" },
        { L"<r><a><a]><b></a></r>", 3, L"End tag 'a' at offset 14 does not match start tag 'b' at offset 10" },
        { L"<r><a[1]x><b></a[1]></r>", 0, L"No start tag for end tag 'a[1]' at offset 13" },
    };
    for (const Pass& p : passes) {
        ASSERT_FALSE(doc.LoadFromText(p.text));
        EXPECT_EQ(doc.strParseError.str(), p.error);
        if (p.closed) {
            EXPECT_GT(doc.Element(p.closed).nEndTagLength, 0) << p.text;
            EXPECT_TRUE(doc.Element(p.closed + 1).nFlags & XML_START_TAG_ONLY) << p.text;
        }
    }
}

// However the open elements are named, a file of a few MB parses in a time
// and a memory that follow its size.
TEST(XmlParse, NoNamingOfOpenElementsSlowsParsing)
{
    struct Case { const char* what; std::wstring text; int elements; };
    std::vector<Case> cases;
    {
        // Long names full of "=", "[" and "]".
        std::wstring parts;
        for (int j = 0; j < 400; ++j)
            parts += L"[x]=x";
        std::wstring text = L"<r>";
        for (int i = 0; i < 1000; ++i)
            text += L"<n" + std::to_wstring(i) + parts + L">";
        for (int i = 0; i < 1000; ++i)
            text += L"</n>";
        cases.push_back({ "long names", text + L"</r>", 1001 });
    }
    {
        // Sixteen names that share one bucket of a 64-bit polynomial hash
        // with "b", under stray end tags "b".
        const wchar_t* names[] = {
            L"\x6556\x6C35\x67C7\x5CFF\x8A27\x6D97", L"\x699D\x6E6B\x5E9D\x7D04\x9452\x6BBC",
            L"\x6E84\x87E6\x6D1F\x6ED7\x5DAC\x792D", L"\x70A2\x5C85\x5C79\x74C0\x793A\x7CCB",
            L"\x72D3\x71B1\x706C\x8ED6\x5FA4\x68F7", L"\x7378\x6179\x6764\x7971\x9177\x71DC",
            L"\x73BE\x8B11\x87FF\x7715\x630D\x6D03", L"\x75E3\x73EC\x7F31\x6141\x6CF2\x7F18",
            L"\x7857\x680B\x74B0\x7407\x8554\x7A9C", L"\x7A83\x7BB1\x7035\x6E39\x73F5\x8726",
            L"\x7AEE\x8433\x8094\x6096\x72B0\x7508", L"\x7F0D\x603C\x723F\x8671\x7339\x88DB",
            L"\x7FED\x79F7\x829C\x7921\x802A\x6B7E", L"\x82B6\x6C0B\x7424\x894D\x729D\x7622",
            L"\x849C\x769E\x7DAD\x70AB\x76F7\x736E", L"\x87BF\x8A11\x67B8\x6C11\x7196\x75E6",
        };
        std::wstring text = L"<r>";
        for (int i = 0; i < 31000; ++i)
            text += std::wstring(L"<") + names[i % 16] + L">";
        for (int i = 0; i < 93000; ++i)
            text += L"</b>";
        cases.push_back({ "one bucket", text + L"</r>", 31001 });
    }
    {
        // Names that share a long beginning with the stray end tags.
        const std::wstring stem = L"b" + std::wstring(16, L'_');
        std::wstring text = L"<r>";
        for (int i = 0; i < 31000; ++i)
            text += L"<" + stem + std::to_wstring(i) + L">";
        for (int i = 0; i < 93000; ++i)
            text += i % 2 ? L"</b>" : L"</" + stem + L">";
        cases.push_back({ "shared beginning", text + L"</r>", 31001 });
    }
    for (const Case& c : cases) {
        CXmlDocument doc;
        const size_t heapBefore = g_heapInUse;
        g_heapPeak = heapBefore;
        const auto t0 = std::chrono::steady_clock::now();
        EXPECT_FALSE(doc.LoadFromText(c.text.c_str())) << c.what;
        const auto elapsed = std::chrono::steady_clock::now() - t0;
        EXPECT_LT(elapsed, std::chrono::seconds(1)) << c.what;
        EXPECT_LT(g_heapPeak - heapBefore, 6 * c.text.size() * sizeof(wchar_t)) << c.what;
        EXPECT_EQ(doc.iFreeRecord, c.elements + 1) << c.what;
    }
}

} // namespace
