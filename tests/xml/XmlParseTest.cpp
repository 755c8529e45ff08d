// Parsing: records, messages, scanner kinds, record segments, hostile input.
#include "XmlTestUtil.h"

#include <chrono>

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
    ASSERT_FALSE(doc.LoadFromText(L"<r><ab><a></ab></r>"));
    EXPECT_EQ(doc.strParseError.str(), L"End tag 'ab' at offset 11 does not match start tag 'a' at offset 7");
}

} // namespace
