// Checks shared by the XML document tests.
#pragma once

#include "xml/XmlDocument.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

inline std::wstring Text(const CXmlDocument& doc) { return doc.GetDocumentText().str(); }

inline std::wstring Attr(CXmlDocument& doc, int element, const wchar_t* name)
{
    CString out;
    doc.ReadAttributeAt(out, element, name);
    return out.str();
}

inline std::wstring Content(CXmlDocument& doc, int element)
{
    CString out;
    doc.ReadContentAt(out, element);
    return out.str();
}

inline std::wstring TagNameOf(const CXmlDocument& doc, int element)
{
    const std::wstring& t = doc.GetDocumentText().str();
    int start = doc.Element(element).nStart;
    return t.substr(start + 1, XmlTagNameLength(t.c_str(), (int)t.size(), start));
}

// The children of parent, checking their links to it and to each other.
inline std::vector<int> Children(const CXmlDocument& doc, int parent)
{
    std::vector<int> out;
    for (int c = doc.Element(parent).iFirstChild; c; c = doc.Element(c).iNextSibling) {
        const XmlElementRecord& r = doc.Element(c);
        EXPECT_EQ(r.iParent, parent) << "element " << c;
        EXPECT_EQ((r.nFlags & XML_FIRST_CHILD) != 0, out.empty()) << "element " << c;
        if (!out.empty()) {
            EXPECT_EQ(r.iPrevSibling, out.back()) << "element " << c;
        }
        out.push_back(c);
    }
    if (!out.empty()) {
        EXPECT_EQ(doc.Element(out[0]).iPrevSibling, out.back()) << "first child of " << parent;
    }
    return out;
}

// Both documents index the same tree with the same offsets, lengths and
// flags, whatever order their records were made in. Iterative: deep trees are fine.
inline void ExpectSameRecords(const CXmlDocument& a, const CXmlDocument& b)
{
    ASSERT_EQ(a.Element(0).nLength, b.Element(0).nLength);
    std::vector<std::pair<int, int>> todo{ { 0, 0 } };
    while (!todo.empty()) {
        auto [ia, ib] = todo.back();
        todo.pop_back();
        const XmlElementRecord& ra = a.Element(ia);
        const XmlElementRecord& rb = b.Element(ib);
        if (ia) {
            ASSERT_EQ(ra.nStart, rb.nStart) << "records " << ia << "/" << ib;
            ASSERT_EQ(ra.nLength, rb.nLength) << "records " << ia << "/" << ib;
            ASSERT_EQ(ra.nStartTagLength, rb.nStartTagLength) << "records " << ia << "/" << ib;
            ASSERT_EQ(ra.nEndTagLength, rb.nEndTagLength) << "records " << ia << "/" << ib;
            ASSERT_EQ(ra.nFlags, rb.nFlags) << "records " << ia << "/" << ib;
        }
        std::vector<int> ka = Children(a, ia), kb = Children(b, ib);
        ASSERT_EQ(ka.size(), kb.size()) << "records " << ia << "/" << ib;
        for (size_t i = 0; i < ka.size(); ++i)
            todo.push_back({ ka[i], kb[i] });
    }
}

// The edited records equal those of a fresh parse of the document's text.
inline void ExpectSameAsReparsed(const CXmlDocument& doc)
{
    CXmlDocument fresh;
    fresh.LoadFromText(doc.GetDocumentText());
    ExpectSameRecords(doc, fresh);
}
