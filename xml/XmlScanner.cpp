#include "xml/XmlScanner.h"

#include <cwchar>

namespace {

bool IsNameStart(wchar_t ch)
{
    return (ch >= L'A' && ch <= L'Z') || ch == L'_' || ch == L':' || ch >= L'a';
}

// End of a tag name as the node scanner sees it.
bool IsTagNameEnd(wchar_t ch)
{
    return XmlIsSpace(ch) || ch == L'/' || ch == L'>';
}

bool IsTokenDelimiter(wchar_t ch)
{
    switch (ch) {
    case L' ': case L'\t': case L'\n': case L'\r':
    case L'<': case L'>': case L'=': case L'\\': case L'/': case L'?': case L'!':
        return true;
    }
    return false;
}

bool IsQuote(wchar_t ch) { return ch == L'"' || ch == L'\''; }

int Finish(XmlScanner& s, XmlNodeInfo& node, int kind, int end)
{
    node.nKind = kind;
    node.nLength = end - node.nStart;
    s.nOffset = end;
    return kind;
}

int Unterminated(XmlScanner& s, XmlNodeInfo& node, const wchar_t* what)
{
    node.strText = std::wstring(what) + L" at offset " + std::to_wstring(node.nStart) + L" unterminated";
    return Finish(s, node, XML_NODE_ERROR, s.nTextLength);
}

// A malformed node: skip to just past the next '>' (or to the end).
int Incorrect(XmlScanner& s, XmlNodeInfo& node, const wchar_t* what, int from)
{
    node.strText = std::wstring(L"Incorrect ") + what + L" at offset " + std::to_wstring(node.nStart);
    int i = from;
    while (i < s.nTextLength && s.pText[i] != L'>')
        ++i;
    return Finish(s, node, XML_NODE_ERROR, i < s.nTextLength ? i + 1 : i);
}

// Index of the '>' closing a tag, honouring quotes; -1 when the text ends first.
int FindQuotedEnd(XmlScanner& s, int from)
{
    s.chQuote = 0;
    for (int i = from; i < s.nTextLength; ++i) {
        wchar_t ch = s.pText[i];
        if (s.chQuote) {
            if (ch == s.chQuote)
                s.chQuote = 0;
        } else if (IsQuote(ch)) {
            s.chQuote = ch;
        } else if (ch == L'>') {
            return i;
        }
    }
    return -1;
}

// Index of the '>' of a terminator such as "-->" whose other characters
// all lie at or after from; -1 when the text ends first.
int FindTerminator(const XmlScanner& s, int from, const wchar_t* term, int termLength)
{
    for (int i = from + termLength - 1; i < s.nTextLength; ++i) {
        if (s.pText[i] == L'>' && wcsncmp(s.pText + i - termLength + 1, term, termLength - 1) == 0)
            return i;
    }
    return -1;
}

int ScanName(const XmlScanner& s, int from, std::wstring& name)
{
    int end = from;
    while (end < s.nTextLength && !IsTagNameEnd(s.pText[end]))
        ++end;
    name.assign(s.pText + from, end - from);
    return end;
}

// A document-type declaration ends at the first '>' outside quotes and
// outside the markup declarations it holds.
int ScanDoctype(XmlScanner& s, XmlNodeInfo& node, int from)
{
    const wchar_t* t = s.pText;
    int len = s.nTextLength;
    bool inDeclaration = false;
    s.chQuote = 0;
    for (int i = from; i < len; ++i) {
        wchar_t ch = t[i];
        if (s.chQuote) {
            if (ch == s.chQuote)
                s.chQuote = 0;
        } else if (IsQuote(ch)) {
            s.chQuote = ch;
        } else if (ch == L'<' && !inDeclaration && i + 1 < len && t[i + 1] == L'!') {
            if (i + 2 >= len)
                break;
            wchar_t kind = t[i + 2];
            if (kind != L'E' && kind != L'A' && kind != L'N')
                return Incorrect(s, node, L"! tag", i);
            inDeclaration = true;
            i += 2;
        } else if (ch == L'>') {
            if (!inDeclaration)
                return Finish(s, node, XML_NODE_DOCTYPE, i + 1);
            inDeclaration = false;
        }
    }
    return Unterminated(s, node, L"Doctype");
}

int ScanBang(XmlScanner& s, XmlNodeInfo& node, int p)
{
    const wchar_t* t = s.pText;
    int len = s.nTextLength;
    if (p + 1 >= len)
        return Unterminated(s, node, L"tag");
    wchar_t c = t[p + 1];
    if (c == L'-') {
        if (p + 2 >= len)
            return Unterminated(s, node, L"tag");
        if (t[p + 2] != L'-')
            return Incorrect(s, node, L"comment tag", p);
        int gt = FindTerminator(s, p + 3, L"-->", 3);
        return gt < 0 ? Unterminated(s, node, L"Comment") : Finish(s, node, XML_NODE_COMMENT, gt + 1);
    }
    if (c == L'[') {
        if (p + 2 >= len)
            return Unterminated(s, node, L"tag");
        if (t[p + 2] != L'C')
            return Incorrect(s, node, L"tag", p);
        int gt = FindTerminator(s, p + 3, L"]]>", 3);
        return gt < 0 ? Unterminated(s, node, L"CDATA Section") : Finish(s, node, XML_NODE_CDATA, gt + 1);
    }
    if (c == L'D')
        return ScanDoctype(s, node, p + 2);
    if (c == L'E' || c == L'A' || c == L'N') {
        int gt = FindQuotedEnd(s, p + 2);
        return gt < 0 ? Unterminated(s, node, L"tag") : Finish(s, node, XML_NODE_DOCTYPE, gt + 1);
    }
    return Incorrect(s, node, L"! tag", p);
}

} // namespace

bool XmlScanToken(XmlScanner& s)
{
    int i = s.nOffset;
    while (i < s.nTextLength && XmlIsSpace(s.pText[i]))
        ++i;
    if (i >= s.nTextLength) {
        s.nOffset = s.nTokenStart = s.nTokenEnd = s.nTextLength;
        return false;
    }
    int j = i + 1;
    if (!IsTokenDelimiter(s.pText[i])) {
        while (j < s.nTextLength && !IsTokenDelimiter(s.pText[j]))
            ++j;
    }
    s.nTokenStart = i;
    s.nTokenEnd = s.nOffset = j;
    return true;
}

int XmlScanNode(XmlScanner& s, XmlNodeInfo& node)
{
    const wchar_t* t = s.pText;
    int len = s.nTextLength;
    int start = s.nOffset;
    node.nStart = start;
    node.nFlags = 0;
    node.strText.clear();
    s.chQuote = 0;
    if (start >= len)
        return Finish(s, node, XML_NODE_EOF, start);

    if (t[start] != L'<') {
        int kind = XML_NODE_WHITESPACE;
        int i = start;
        for (; i < len && t[i] != L'<'; ++i) {
            if (!XmlIsSpace(t[i]))
                kind = XML_NODE_TEXT;
        }
        return Finish(s, node, kind, i);
    }

    int p = start + 1;
    if (p >= len)
        return Unterminated(s, node, L"tag");
    wchar_t c = t[p];
    if (IsNameStart(c)) {
        int nameEnd = ScanName(s, p, node.strText);
        int gt = FindQuotedEnd(s, nameEnd);
        if (gt < 0)
            return Unterminated(s, node, L"Element tag");
        if (t[gt - 1] == L'/' && (gt - 1 == nameEnd || XmlIsSpace(t[gt - 2]) || IsQuote(t[gt - 2])))
            node.nFlags |= XML_NODE_SELF_CLOSING;
        return Finish(s, node, XML_NODE_ELEMENT, gt + 1);
    }
    if (c == L'/') {
        int i = ScanName(s, p + 1, node.strText);
        while (i < len && t[i] != L'>')
            ++i;
        if (i >= len)
            return Unterminated(s, node, L"Element end tag");
        return Finish(s, node, XML_NODE_END_TAG, i + 1);
    }
    if (c == L'?') {
        ScanName(s, p + 1, node.strText);
        int gt = FindTerminator(s, p + 1, L"?>", 2);
        if (gt < 0)
            return Unterminated(s, node, L"Processing instruction");
        return Finish(s, node, XML_NODE_PI, gt + 1);
    }
    if (c == L'!')
        return ScanBang(s, node, p);
    return Incorrect(s, node, L"tag name character", p);
}

bool XmlNameMatches(const wchar_t* text, int start, int length, const wchar_t* wanted)
{
    if (!wanted || !*wanted)
        return true;
    for (int k = 0; k < length; ++k) {
        if (wanted[k] == 0 || wanted[k] != text[start + k])
            return false;
    }
    wchar_t next = wanted[length];
    return next == 0 || wcschr(L" =/[]", next) != nullptr;
}

int XmlTagNameLength(const wchar_t* text, int textLength, int start)
{
    XmlScanner s(text, textLength, start + 1);
    return XmlScanToken(s) ? s.nTokenEnd - s.nTokenStart : 0;
}

std::wstring XmlEscapeText(const wchar_t* text, bool attribute)
{
    return text ? XmlEscapeText(text, wcslen(text), attribute) : std::wstring();
}

std::wstring XmlEscapeText(const wchar_t* text, size_t n, bool attribute)
{
    std::wstring out;
    if (!text)
        return out;
    out.reserve(n + n / 8 + 8);
    for (size_t i = 0; i < n; ++i) {
        wchar_t ch = text[i];
        switch (ch) {
        case 0: break;      // XML has no way to write it; what follows is kept
        case L'<': out += L"&lt;"; break;
        case L'&': out += L"&amp;"; break;
        case L'>': out += L"&gt;"; break;
        case L'\'': if (attribute) out += L"&apos;"; else out += ch; break;
        case L'"': if (attribute) out += L"&quot;"; else out += ch; break;
        default: out += ch; break;
        }
    }
    return out;
}

namespace {

int HexDigit(wchar_t ch)
{
    if (ch >= L'0' && ch <= L'9') return ch - L'0';
    if (ch >= L'a' && ch <= L'f') return ch - L'a' + 10;
    if (ch >= L'A' && ch <= L'F') return ch - L'A' + 10;
    return -1;
}

// Decodes "&#...;" at text[i]; returns the index of its ';' or -1.
int DecodeNumeric(const wchar_t* text, int length, int i, std::wstring& out)
{
    int j = i + 2;
    int base = 10;
    if (j < length && text[j] == L'x') {
        base = 16;
        ++j;
    }
    int digitsStart = j;
    long value = 0;
    while (j < length && j - digitsStart < 7) {
        int d = HexDigit(text[j]);
        if (d < 0 || d >= base)
            break;
        value = value * base + d;
        ++j;
    }
    if (j == digitsStart || j >= length || text[j] != L';' || value == 0 || value > 0x10FFFF)
        return -1;
    if (value > 0xFFFF) {
        value -= 0x10000;
        out += (wchar_t)(0xD800 + (value >> 10));
        out += (wchar_t)(0xDC00 + (value & 0x3FF));
    } else {
        out += (wchar_t)value;
    }
    return j;
}

} // namespace

std::wstring XmlUnescapeText(const wchar_t* text, int length)
{
    static const struct { const wchar_t* name; int len; wchar_t ch; } entities[] = {
        { L"&lt;", 4, L'<' }, { L"&amp;", 5, L'&' }, { L"&gt;", 4, L'>' },
        { L"&apos;", 6, L'\'' }, { L"&quot;", 6, L'"' },
    };
    std::wstring out;
    out.reserve(length > 0 ? length : 0);
    for (int i = 0; i < length; ++i) {
        wchar_t ch = text[i];
        if (ch != L'&') {
            out += ch;
            continue;
        }
        if (i + 1 < length && text[i + 1] == L'#') {
            int end = DecodeNumeric(text, length, i, out);
            if (end >= 0) {
                i = end;
                continue;
            }
        } else {
            bool named = false;
            for (const auto& e : entities) {
                if (length - i >= e.len && wcsncmp(text + i, e.name, e.len) == 0) {
                    out += e.ch;
                    i += e.len - 1;
                    named = true;
                    break;
                }
            }
            if (named)
                continue;
        }
        out += ch;
    }
    return out;
}

XmlAttributeSpan XmlFindAttribute(const wchar_t* text, int tagStart, int tagEnd, const wchar_t* name)
{
    enum { NONE, NAME_SEEN, EQUALS_SEEN } state = NONE;
    XmlAttributeSpan r;
    bool tagName = true;
    bool lastWasName = false;
    bool afterEquals = false;
    int pos = tagStart + 1;
    int spaceStart = pos;
    while (true) {
        spaceStart = pos;
        while (pos < tagEnd && XmlIsSpace(text[pos]))
            ++pos;
        wchar_t c = pos < tagEnd ? text[pos] : L'>';
        if (c == L'>' || c == L'/' || c == L'?')
            break;
        int end = pos + 1;
        if (IsQuote(c) || (afterEquals && c != L'>')) {
            // A value token: quoted, or unquoted right after '='.
            bool quoted = IsQuote(c);
            if (quoted) {
                while (end < tagEnd && text[end] != c)
                    ++end;
                if (end < tagEnd)
                    ++end;
            } else {
                while (end < tagEnd && !XmlIsSpace(text[end]) && text[end] != L'>')
                    ++end;
            }
            if (state == EQUALS_SEEN) {
                r.bFound = r.bHasEquals = true;
                r.nValueStart = pos;
                r.nValueEnd = end;
                r.bQuoted = quoted;
                return r;
            }
            if (state == NAME_SEEN)
                break;
            lastWasName = afterEquals = false;
        } else if (c == L'=') {
            if (lastWasName) {
                afterEquals = true;
                if (state == NAME_SEEN)
                    state = EQUALS_SEEN;
            }
            lastWasName = false;
        } else {
            while (end < tagEnd && !XmlIsSpace(text[end]) && !wcschr(L"=>/?", text[end]))
                ++end;
            if (state == NAME_SEEN)
                break;
            if (tagName) {
                tagName = false;
            } else if (XmlNameMatches(text, pos, end - pos, name)) {
                state = NAME_SEEN;
                r.nNameStart = pos;
                r.nNameEnd = end;
            }
            lastWasName = true;
            afterEquals = false;
        }
        pos = end;
    }
    r.nInsert = spaceStart;
    if (state == NAME_SEEN) {
        // Written without '=': the name stands for its own value.
        r.bFound = true;
        r.nValueStart = r.nNameStart;
        r.nValueEnd = r.nNameEnd;
    } else if (state == EQUALS_SEEN) {
        r.bFound = r.bHasEquals = true;
        r.nValueStart = r.nValueEnd = spaceStart;
    }
    return r;
}
