// Scanner over XML text held as UTF-16, plus the escaping helpers and the
// attribute walk the document class builds on. Nothing here allocates
// records; it only classifies and delimits spans of the text.
#pragma once

#include <string>

// Node kinds returned by XmlScanNode.
enum {
    XML_NODE_END_TAG = 0,
    XML_NODE_ELEMENT = 1,
    XML_NODE_TEXT = 2,
    XML_NODE_WHITESPACE = 4,
    XML_NODE_CDATA = 8,
    XML_NODE_PI = 16,
    XML_NODE_COMMENT = 32,
    XML_NODE_DOCTYPE = 64,
    XML_NODE_ERROR = -1,
    XML_NODE_EOF = -2
};

// Node flag: a start tag that closes itself with "/>".
const int XML_NODE_SELF_CLOSING = 0x10000;

struct XmlNodeInfo {
    int nKind = XML_NODE_EOF;
    int nStart = 0;
    int nLength = 0;
    int nFlags = 0;
    std::wstring strText;   // tag name, text to insert, or error message
};

// Scanner state. pText need not be zero-terminated: nTextLength bounds it,
// which lets a caller scan just the content of one element.
struct XmlScanner {
    const wchar_t* pText = nullptr;
    int nTextLength = 0;
    int nOffset = 0;
    int nTokenStart = 0;
    int nTokenEnd = 0;
    wchar_t chQuote = 0;    // open quote character, 0 outside quotes

    XmlScanner() = default;
    XmlScanner(const wchar_t* text, int length, int offset = 0)
        : pText(text), nTextLength(length), nOffset(offset) {}
};

inline bool XmlIsSpace(wchar_t ch)
{
    return ch == L' ' || ch == L'\t' || ch == L'\n' || ch == L'\r';
}

// Reads the next name token; false (empty token) at the end of the text.
bool XmlScanToken(XmlScanner& s);

// Classifies and delimits the node at the current offset and moves past it.
int XmlScanNode(XmlScanner& s, XmlNodeInfo& node);

// True when the name token text[start, start+length) is the wanted name.
// A null or empty wanted name matches anything.
bool XmlNameMatches(const wchar_t* text, int start, int length, const wchar_t* wanted);

// Length of the tag name of the element whose '<' is at offset start.
int XmlTagNameLength(const wchar_t* text, int textLength, int start);

std::wstring XmlEscapeText(const wchar_t* text, bool attribute);
// The same for n units; a zero unit is left out, never taken as the end.
std::wstring XmlEscapeText(const wchar_t* text, size_t n, bool attribute);
std::wstring XmlUnescapeText(const wchar_t* text, int length);

// Result of looking up one attribute in a start tag.
struct XmlAttributeSpan {
    bool bFound = false;
    bool bHasEquals = false;    // written as name=value (else a bare name)
    int nNameStart = 0, nNameEnd = 0;
    int nValueStart = 0, nValueEnd = 0;     // whole value token, quotes included
    bool bQuoted = false;
    int nInsert = 0;    // where a missing attribute goes
};

// Walks the start tag whose '<' is at tagStart and ends before tagEnd.
XmlAttributeSpan XmlFindAttribute(const wchar_t* text, int tagStart, int tagEnd, const wchar_t* name);
