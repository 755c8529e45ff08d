// Cursor, reading and editing: exact output texts and read-back.
#include "XmlTestUtil.h"

namespace {

TEST(XmlEdit, PageBodyChunkLayout)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.AppendElement(L"Page"));
    EXPECT_EQ(Text(doc), L"<Page/>\r\n");
    ASSERT_TRUE(doc.WriteAttributeIntAt(doc.iCursorElement, L"Version", 2));
    EXPECT_EQ(Text(doc), L"<Page Version=\"2\"/>\r\n");
    ASSERT_TRUE(doc.EnterElement() && doc.AppendElement(L"Body"));
    EXPECT_EQ(Text(doc), L"<Page Version=\"2\">\r\n<Body/>\r\n</Page>\r\n");
    ASSERT_TRUE(doc.AppendElement(L"Chunk"));
    EXPECT_EQ(Text(doc), L"<Page Version=\"2\">\r\n<Body/>\r\n<Chunk/>\r\n</Page>\r\n");
    ASSERT_TRUE(doc.WriteAttributeAt(doc.iCursorElement, L"FrameStyle", L"3"));
    ASSERT_TRUE(doc.WriteContentAt(doc.iCursorElement, L"[T1]a<b[/T]"));
    doc.iCursorElement = 0;
    ASSERT_TRUE(doc.FindNextElement(L"Body") && doc.AppendElement(L"Mid", L"x&y"));
    ASSERT_TRUE(doc.LeaveElement() && doc.AppendElement(L"Next"));
    EXPECT_EQ(Text(doc), L"<Page Version=\"2\">\r\n<Body/>\r\n<Mid>x&amp;y</Mid>\r\n"
                         L"<Chunk FrameStyle=\"3\">[T1]a&lt;b[/T]</Chunk>\r\n</Page>\r\n<Next/>\r\n");
    ExpectSameAsReparsed(doc);
}

TEST(XmlEdit, AppendIntoEachKindOfParent)
{
    struct Case { const wchar_t* before; const wchar_t* after; };
    const Case cases[] = {
        { L"<r></r>", L"<r>\r\n<x/>\r\n</r>" },
        { L"<r>\r\n</r>", L"<r>\r\n<x/>\r\n</r>" },
        { L"<r>text</r>", L"<r>text<x/>\r\n</r>" },
        { L"<r a='1' />", L"<r a='1' >\r\n<x/>\r\n</r>" },
        { L"<r><a/>  \r\n</r>", L"<r><a/>  \r\n<x/>\r\n</r>" },
        { L"<r><a/> t </r>", L"<r><a/><x/>\r\n t </r>" },
        { L"<q><r></q>", L"<q><r>\r\n<x/>\r\n</r></q>" },   // start tag only
    };
    for (const Case& c : cases) {
        CXmlDocument doc;
        doc.LoadFromText(c.before);
        if (doc.FindNextElement(L"q"))
            doc.EnterElement();
        ASSERT_TRUE(doc.FindNextElement(L"r") && doc.EnterElement() && doc.AppendElement(L"x"));
        EXPECT_EQ(Text(doc), c.after);
        ExpectSameAsReparsed(doc);
    }
    CXmlDocument doc;
    doc.LoadFromText(L"<r><a x=1/></r>");
    ASSERT_TRUE(doc.WriteContentAt(2, L"t"));
    EXPECT_EQ(Text(doc), L"<r><a x=1/>t</a></r>");
    ExpectSameAsReparsed(doc);
}

TEST(XmlEdit, WriteAttributeInPlaceOrAtInsertionPoint)
{
    struct Case { const wchar_t* before; const wchar_t* name; const wchar_t* after; };
    const Case cases[] = {
        { L"<a x='1' y=\"2\"/>", L"x", L"<a x=\"5\" y=\"2\"/>" },
        { L"<a x='1' y=\"2\"/>", L"y", L"<a x='1' y=\"5\"/>" },
        { L"<a x = 1 />", L"x", L"<a x = \"5\" />" },
        { L"<a b=x x=\"1\"/>", L"x", L"<a b=x x=\"5\"/>" },
        { L"<a x />", L"x", L"<a x=\"5\" />" },
        { L"<a b=\"1\" ></a>", L"c", L"<a b=\"1\" c=\"5\" ></a>" },
        { L"<a  />", L"c", L"<a c=\"5\"  />" },
        { L"<a FrameStyle=\"1\" Frame='2'/>", L"Frame", L"<a FrameStyle=\"1\" Frame=\"5\"/>" },
        { L"<a Frame='2'/>", L"FrameStyle", L"<a Frame='2' FrameStyle=\"5\"/>" },
    };
    for (const Case& c : cases) {
        CXmlDocument doc;
        doc.LoadFromText((L"<r>" + std::wstring(c.before) + L"<b/></r>").c_str());
        ASSERT_TRUE(doc.FindNextElement(nullptr) && doc.EnterElement() && doc.FindNextElement(L"a"));
        ASSERT_TRUE(doc.WriteAttributeAt(doc.iCursorElement, c.name, L"5"));
        EXPECT_EQ(Text(doc), L"<r>" + std::wstring(c.after) + L"<b/></r>");
        EXPECT_EQ(Attr(doc, doc.iCursorElement, c.name), L"5");
        ExpectSameAsReparsed(doc);
    }
}

TEST(XmlEdit, ValuesNeedingEscapesRoundTrip)
{
    const wchar_t* v = L"<&>'\"";
    CXmlDocument doc;
    ASSERT_TRUE(doc.AppendElement(L"Page") && doc.WriteAttributeAt(doc.iCursorElement, L"v", v));
    EXPECT_EQ(Text(doc), L"<Page v=\"&lt;&amp;&gt;&apos;&quot;\"/>\r\n");
    ASSERT_TRUE(doc.EnterElement() && doc.AppendElement(L"E", v) && doc.WriteAttributeAt(doc.iCursorElement, L"w", v));
    EXPECT_EQ(Text(doc), L"<Page v=\"&lt;&amp;&gt;&apos;&quot;\">\r\n"
                         L"<E w=\"&lt;&amp;&gt;&apos;&quot;\">&lt;&amp;&gt;'\"</E>\r\n</Page>\r\n");
    EXPECT_EQ(Attr(doc, 1, L"v") + Attr(doc, 2, L"w") + Content(doc, 2), std::wstring(v) + v + v);
    ExpectSameAsReparsed(doc);
}

TEST(XmlEdit, ReferencesAndContentRuns)
{
    struct Case { const wchar_t* stored; const wchar_t* read; };
    const Case cases[] = {
        { L"&#65;", L"A" }, { L"&#x41;", L"A" }, { L"&#0000065;", L"A" }, { L"&#00000065;", L"&#00000065;" },
        { L"&#0;", L"&#0;" }, { L"&foo;", L"&foo;" }, { L"&#65", L"&#65" }, { L"&#x;", L"&#x;" },
        { L"&#131072;", L"\xD840\xDC00" }, { L"&#x20000;", L"\xD840\xDC00" }, { L"&#x10FFFF;", L"\xDBFF\xDFFF" },
        { L"&#x110000;", L"&#x110000;" }, { L"&amp;lt;", L"&lt;" }, { L"&lt;&gt;&apos;&quot;&", L"<>'\"&" },
        { L" x <!--c--><?p?> <![CDATA[<y>&amp;]]>&lt;z\r\n", L" x <y>&amp;<z\r\n" },
    };
    for (const Case& c : cases) {
        CXmlDocument doc;
        doc.LoadFromText((L"<a>" + std::wstring(c.stored) + L"</a>").c_str());
        EXPECT_EQ(Content(doc, 1), c.read) << c.stored;
    }
    CXmlDocument doc;
    doc.LoadFromText(L"<r><a><b/></a><c/>t</r>");
    EXPECT_EQ(Content(doc, 0) + Content(doc, 2) + Content(doc, 4), L"");
}

TEST(XmlCursor, FindEnterLeaveAndRefusals)
{
    CXmlDocument doc;
    doc.LoadFromText(L"<Page><Chunk i='1'/><Body/><Chunks/><Chunk i='2'><T/></Chunk><Chunk i='3'/></Page>");
    EXPECT_FALSE(doc.LeaveElement() || doc.EnterElement());
    CString out = L"stale";
    doc.ReadAttribute(out, L"i");
    EXPECT_EQ(out.str(), L"");
    ASSERT_TRUE(doc.FindNextElement(L"Page") && doc.EnterElement());
    EXPECT_EQ(doc.nCursorKind, 0);
    std::wstring seen;
    while (doc.FindNextElement(L"Chunk")) {
        doc.ReadAttribute(out, L"i");
        seen += out.str();
    }
    EXPECT_EQ(seen, L"123");
    EXPECT_EQ(doc.FindElementAfter(1, 0, L"Body[1]"), 3);
    EXPECT_EQ(doc.FindElementAfter(1, 0, L"Bod"), 0);

    doc.iCursorElement = 0;
    ASSERT_TRUE(doc.FindNextElement(nullptr) && doc.FindNextElement(L""));
    EXPECT_EQ(doc.iCursorElement, 3);
    ASSERT_TRUE(doc.FindNextElement(L"Chunk") && doc.EnterElement() && doc.FindNextElement(L"T"));
    ASSERT_TRUE(doc.LeaveElement());
    doc.ReadAttribute(out, L"i");
    EXPECT_EQ(out.str(), L"2");
    ASSERT_TRUE(doc.EnterElement());   // back onto T
    EXPECT_EQ(doc.iCursorElement, 6);
    ASSERT_TRUE(doc.LeaveElement() && doc.LeaveElement());
    EXPECT_EQ(doc.iCursorElement, 1);
    EXPECT_FALSE(doc.LeaveElement());

    std::wstring before = Text(doc);
    EXPECT_FALSE(doc.WriteAttributeAt(0, L"x", L"1"));
    EXPECT_FALSE(doc.WriteContentAt(1, L"x") || doc.WriteContentAt(0, L"x"));
    doc.nCursorKind = 0;
    EXPECT_FALSE(doc.WriteAttributeAt(1, L"x", L"1"));
    EXPECT_EQ(Text(doc), before);
}

TEST(XmlEdit, WriteContentReplacesAndClearsErrorFlag)
{
    CXmlDocument doc;
    doc.LoadFromText(L"<r><a>x<1>y</a><b>old</b></r>");
    EXPECT_TRUE(doc.Element(2).nFlags & XML_ERROR_INSIDE);
    ASSERT_TRUE(doc.WriteContentAt(2, L"new") && doc.WriteContentAt(3, L""));
    EXPECT_FALSE(doc.Element(2).nFlags & XML_ERROR_INSIDE);
    EXPECT_EQ(Text(doc), L"<r><a>new</a><b></b></r>");
    ExpectSameAsReparsed(doc);
}

} // namespace
