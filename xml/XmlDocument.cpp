#include "xml/XmlDocument.h"

#include <cwchar>
#include <map>
#include <string_view>
#include <vector>

namespace {

std::wstring Num(int n) { return std::to_wstring(n); }

// An element whose end tag has not been seen yet.
struct OpenElement {
    int iElement;
    std::wstring strName;
};

// The names of the open elements, for end tags that do not close the
// innermost one. An end tag name closes an element whose name is that name,
// or begins with it followed by one of "=[]"; an end tag name that can close
// anything holds no '=', so each element is kept once, by its name up to the
// first '='. An ordered map of views into the document text: no bucket a name
// can crowd, and its cost grows with the log of the count, never with the
// number of separators in a name.
class OpenNameIndex {
public:
    static std::wstring_view Key(const wchar_t* name, size_t length)
    {
        const std::wstring_view whole(name, length);
        return whole.substr(0, whole.find(L'='));
    }

    void Add(std::wstring_view key) { ++m_count[key]; }

    void Remove(std::wstring_view key)
    {
        auto it = m_count.find(key);
        if (--it->second == 0)
            m_count.erase(it);
    }

    // Whether any open element would be closed by the end tag name.
    bool ClosesAny(std::wstring_view name)
    {
        if (m_count.count(name))
            return true;
        m_probe.assign(name.data(), name.size());
        for (wchar_t separator : { L'[', L']' }) {
            m_probe += separator;
            auto it = m_count.lower_bound(m_probe);
            if (it != m_count.end() && it->first.substr(0, m_probe.size()) == m_probe)
                return true;
            m_probe.pop_back();
        }
        return false;
    }

private:
    std::map<std::wstring_view, int> m_count;
    std::wstring m_probe;
};

} // namespace

CXmlDocument::CXmlDocument()
    : iCursorParent(0), iCursorElement(0), iCursorChild(0), iFreeRecord(0), nCursorKind(0),
      nCursorNodeStart(0), nCursorNodeLength(0), pSegments(nullptr), nCapacity(0), nSegmentCapacity(0)
{
    LoadFromText(nullptr);
}

CXmlDocument::~CXmlDocument()
{
    FreeRecordTable();
}

void CXmlDocument::FreeRecordTable()
{
    for (int i = 0; i < nSegmentCapacity; ++i)
        delete[] pSegments[i];
    delete[] pSegments;
    pSegments = nullptr;
    nCapacity = 0;
    nSegmentCapacity = 0;
}

bool CXmlDocument::LoadFromText(const wchar_t* text)
{
    if (text)
        strDocumentText = text;
    else
        strDocumentText.Empty();
    strParseError.Empty();
    return ParseDocument();
}

// ---- record table ----

namespace {

// Reallocates a segment at newSize records, keeping the first held ones.
XmlElementRecord* ResizeSegment(XmlElementRecord* old, int held, int newSize)
{
    XmlElementRecord* seg = new XmlElementRecord[newSize];
    for (int i = 0; i < held; ++i)
        seg[i] = old[i];
    delete[] old;
    return seg;
}

} // namespace

bool CXmlDocument::ReserveElements(int count)
{
    const int SEG = XML_SEGMENT_RECORDS;
    if (count == 0)
        count = iFreeRecord + iFreeRecord / 2;
    if (nCapacity >= count)
        return true;

    int oldLast = nCapacity > 0 ? (nCapacity - 1) >> 16 : -1;
    int base = oldLast < 0 ? 0 : oldLast;
    int newLast = (count - 1) >> 16;
    if (newLast > base + 1) {
        newLast = base + 1;
        count = (newLast + 1) * SEG;
    }

    if (newLast >= nSegmentCapacity) {
        int entries = 2 * newLast + 4;
        XmlElementRecord** table = new XmlElementRecord*[entries]();
        for (int i = 0; i < nSegmentCapacity; ++i)
            table[i] = pSegments[i];
        delete[] pSegments;
        pSegments = table;
        nSegmentCapacity = entries;
    }

    if (newLast > base || oldLast < 0) {
        // A new last segment: every segment before it holds a full 65536.
        if (oldLast >= 0) {
            int held = nCapacity - oldLast * SEG;
            if (held < SEG)
                pSegments[oldLast] = ResizeSegment(pSegments[oldLast], held, SEG);
        } else if (newLast == 1) {
            pSegments[0] = ResizeSegment(nullptr, 0, SEG);
        }
    }
    int lastSize = count - newLast * SEG;
    int held = newLast == oldLast ? nCapacity - oldLast * SEG : 0;
    pSegments[newLast] = ResizeSegment(newLast == oldLast ? pSegments[newLast] : nullptr, held, lastSize);
    nCapacity = count;
    return true;
}

void CXmlDocument::LinkElement(int parent, int after, int element)
{
    XmlElementRecord& e = Element(element);
    XmlElementRecord& p = Element(parent);
    e.iParent = parent;
    if (after) {
        XmlElementRecord& a = Element(after);
        e.nFlags &= ~XML_FIRST_CHILD;
        e.iNextSibling = a.iNextSibling;
        if (a.iNextSibling)
            Element(a.iNextSibling).iPrevSibling = element;
        else
            Element(p.iFirstChild).iPrevSibling = element;
        a.iNextSibling = element;
        e.iPrevSibling = after;
    } else {
        e.nFlags |= XML_FIRST_CHILD;
        int old = p.iFirstChild;
        if (old) {
            XmlElementRecord& o = Element(old);
            e.iNextSibling = old;
            e.iPrevSibling = o.iPrevSibling;
            o.iPrevSibling = element;
            o.nFlags &= ~XML_FIRST_CHILD;
        } else {
            e.iNextSibling = 0;
            e.iPrevSibling = element;
        }
        p.iFirstChild = element;
    }
    // The level is kept within its 16 bits so deep nesting cannot reach the flags.
    if (parent)
        e.nFlags = (e.nFlags & ~XML_LEVEL_MASK) | (((p.nFlags & XML_LEVEL_MASK) + 1) & XML_LEVEL_MASK);
}

int CXmlDocument::LastChild(int parent) const
{
    int first = Element(parent).iFirstChild;
    return first ? Element(first).iPrevSibling : 0;
}

// ---- parsing ----

void CXmlDocument::SetParseError(const std::wstring& message)
{
    if (strParseError.IsEmpty())
        strParseError = message;
}

bool CXmlDocument::ParseDocument()
{
    iCursorParent = iCursorElement = iCursorChild = 0;
    nCursorKind = nCursorNodeStart = nCursorNodeLength = 0;
    iFreeRecord = 1;
    int length = strDocumentText.GetLength();
    ReserveElements(length / 64 + 8);
    Element(0) = XmlElementRecord{};
    if (length == 0) {
        strParseError = L"Empty document";
        return false;
    }

    ParseElements();

    XmlElementRecord& doc = Element(0);
    doc.nLength = length;
    int root = doc.iFirstChild;
    if (!root)
        strParseError = L"No root element";
    else if (Element(root).iNextSibling)
        strParseError = L"Root element has sibling";

    iCursorParent = iCursorElement = iCursorChild = 0;
    nCursorKind = nCursorNodeStart = nCursorNodeLength = 0;
    return !(doc.nFlags & XML_NOT_WELL_FORMED) && root && !Element(root).iNextSibling;
}

// Closes an element that never got its end tag: it keeps only its start tag
// and its children follow it as siblings.
void CXmlDocument::CloseUnended(int element)
{
    Element(0).nFlags |= XML_NOT_WELL_FORMED;
    XmlElementRecord& e = Element(element);
    int parent = e.iParent;
    e.nFlags |= XML_START_TAG_ONLY;
    e.nEndTagLength = 0;
    e.nLength = e.nStartTagLength;
    if (e.nFlags & XML_ERROR_INSIDE) {
        e.nFlags &= ~XML_ERROR_INSIDE;
        Element(parent).nFlags |= XML_ERROR_INSIDE;
    }

    int first = e.iFirstChild;
    if (!first)
        return;
    int last = Element(first).iPrevSibling;
    for (int c = first; c; c = Element(c).iNextSibling)
        Element(c).iParent = parent;
    Element(first).nFlags &= ~XML_FIRST_CHILD;
    e.iFirstChild = 0;
    int next = e.iNextSibling;
    e.iNextSibling = first;
    Element(first).iPrevSibling = element;
    Element(last).iNextSibling = next;
    if (next)
        Element(next).iPrevSibling = last;
    else
        Element(Element(parent).iFirstChild).iPrevSibling = last;
}

void CXmlDocument::ParseElements()
{
    const wchar_t* text = strDocumentText.GetString();
    const int length = strDocumentText.GetLength();
    std::vector<OpenElement> open;
    open.reserve(6);
    // Made at the first end tag that misses the innermost element; regular
    // documents never need it.
    OpenNameIndex index;
    bool indexed = false;
    XmlScanner scanner(text, length);
    XmlNodeInfo node;

    auto keyOf = [&](const OpenElement& o) {
        return OpenNameIndex::Key(text + Element(o.iElement).nStart + 1, o.strName.size());
    };
    auto pop = [&]() {
        if (indexed)
            index.Remove(keyOf(open.back()));
        open.pop_back();
    };
    // Closes open[from..] as unended. Outermost first, so every element's
    // children move only once: each lands directly under the surviving parent.
    auto closeFrom = [&](size_t from) {
        for (size_t i = from; i < open.size(); ++i)
            CloseUnended(open[i].iElement);
        while (open.size() > from)
            pop();
    };
    auto flagError = [&]() {
        Element(0).nFlags |= XML_NOT_WELL_FORMED;
        if (!open.empty())
            Element(open.back().iElement).nFlags |= XML_ERROR_INSIDE;
    };

    while (true) {
        switch (XmlScanNode(scanner, node)) {
        case XML_NODE_ELEMENT: {
            if (iFreeRecord >= nCapacity)
                ReserveElements(0);
            int e = iFreeRecord++;
            int parent = open.empty() ? 0 : open.back().iElement;
            XmlElementRecord& r = Element(e);
            r = XmlElementRecord{};
            LinkElement(parent, LastChild(parent), e);
            r.nFlags = (r.nFlags & ~XML_LEVEL_MASK) | ((int)open.size() & XML_LEVEL_MASK);
            r.nStart = node.nStart;
            r.nStartTagLength = node.nLength;
            if (node.nFlags & XML_NODE_SELF_CLOSING) {
                r.nLength = node.nLength;
            } else {
                if (open.size() == open.capacity())
                    open.reserve(2 * open.size() + 6);
                open.push_back(OpenElement{ e, std::move(node.strText) });
                if (indexed)
                    index.Add(keyOf(open.back()));
            }
            break;
        }
        case XML_NODE_END_TAG: {
            XmlScanner token(text, node.nStart + node.nLength, node.nStart + 2);
            XmlScanToken(token);
            const int nameLength = token.nTokenEnd - token.nTokenStart;
            int k = (int)open.size() - 1;
            if (k >= 0 && !XmlNameMatches(text, token.nTokenStart, nameLength, open[k].strName.c_str())) {
                if (!indexed) {
                    for (const OpenElement& o : open)
                        index.Add(keyOf(o));
                    indexed = true;
                }
                if (index.ClosesAny(std::wstring_view(text + token.nTokenStart, nameLength))) {
                    // Every element passed over is closed below, so the walk
                    // costs no more than those closings.
                    do
                        --k;
                    while (!XmlNameMatches(text, token.nTokenStart, nameLength, open[k].strName.c_str()));
                } else {
                    k = -1;
                }
            }
            if (k < 0) {
                flagError();
                if (strParseError.IsEmpty())
                    SetParseError(L"No start tag for end tag '" + node.strText + L"' at offset " + Num(node.nStart));
                break;
            }
            if (k + 1 < (int)open.size()) {
                const OpenElement& inner = open.back();
                if (strParseError.IsEmpty())
                    SetParseError(L"End tag '" + node.strText + L"' at offset " + Num(node.nStart + 1) +
                                  L" does not match start tag '" + inner.strName + L"' at offset " +
                                  Num(Element(inner.iElement).nStart));
                closeFrom(k + 1);
            }
            XmlElementRecord& r = Element(open.back().iElement);
            r.nLength = node.nStart + node.nLength - r.nStart;
            r.nEndTagLength = node.nLength;
            pop();
            break;
        }
        case XML_NODE_ERROR:
            flagError();
            SetParseError(node.strText);
            break;
        case XML_NODE_EOF:
            if (!open.empty()) {
                const OpenElement& inner = open.back();
                if (strParseError.IsEmpty())
                    SetParseError(L"Element '" + inner.strName + L"' at offset " +
                                  Num(Element(inner.iElement).nStart) + L" not ended");
                closeFrom(0);
            }
            return;
        default:
            break;
        }
    }
}

// ---- cursor ----

int CXmlDocument::FindElementAfter(int parent, int after, const wchar_t* name) const
{
    if (iFreeRecord <= 1)
        return 0;
    const wchar_t* text = strDocumentText.GetString();
    int length = strDocumentText.GetLength();
    int e = after ? Element(after).iNextSibling : Element(parent).iFirstChild;
    for (; e; e = Element(e).iNextSibling) {
        XmlScanner s(text, length, Element(e).nStart + 1);
        XmlScanToken(s);
        if (XmlNameMatches(text, s.nTokenStart, s.nTokenEnd - s.nTokenStart, name))
            return e;
    }
    return 0;
}

bool CXmlDocument::FindNextElement(const wchar_t* name)
{
    int e = FindElementAfter(iCursorParent, iCursorElement, name);
    if (!e)
        return false;
    iCursorElement = e;
    iCursorParent = Element(e).iParent;
    iCursorChild = 0;
    nCursorKind = 1;
    return true;
}

bool CXmlDocument::EnterElement()
{
    if (!iCursorElement || nCursorKind != 1)
        return false;
    iCursorParent = iCursorElement;
    iCursorElement = iCursorChild;
    iCursorChild = 0;
    nCursorKind = iCursorElement ? 1 : 0;
    return true;
}

bool CXmlDocument::LeaveElement()
{
    if (!iCursorParent)
        return false;
    iCursorChild = iCursorElement;
    iCursorElement = iCursorParent;
    iCursorParent = Element(iCursorElement).iParent;
    nCursorKind = 1;
    return true;
}

// ---- reading ----

void CXmlDocument::ReadAttribute(CString& out, const wchar_t* name)
{
    ReadAttributeAt(out, iCursorElement, name);
}

void CXmlDocument::ReadAttributeAt(CString& out, int element, const wchar_t* name)
{
    out.Empty();
    if (!element || element >= iFreeRecord || nCursorKind != 1 || !name || !*name)
        return;
    const wchar_t* text = strDocumentText.GetString();
    const XmlElementRecord& r = Element(element);
    XmlAttributeSpan span = XmlFindAttribute(text, r.nStart, r.nStart + r.nStartTagLength, name);
    if (!span.bFound)
        return;
    int start = span.nValueStart;
    int end = span.nValueEnd;
    if (span.bQuoted) {
        wchar_t quote = text[start];
        ++start;
        if (end > start && text[end - 1] == quote)
            --end;
    }
    out = XmlUnescapeText(text + start, end - start);
}

void CXmlDocument::ReadContent(CString& out)
{
    ReadContentAt(out, iCursorElement);
}

void CXmlDocument::ReadContentAt(CString& out, int element)
{
    out.Empty();
    if (!element || element >= iFreeRecord)
        return;
    const XmlElementRecord& r = Element(element);
    if (r.iFirstChild || r.IsEmpty() || r.ContentLength() <= 0)
        return;
    const wchar_t* text = strDocumentText.GetString();
    int start = r.ContentStart();
    int length = r.ContentLength();
    if (!wmemchr(text + start, L'<', length)) {
        out = XmlUnescapeText(text + start, length);
        return;
    }
    std::wstring result;
    XmlScanner s(text, start + length, start);
    XmlNodeInfo node;
    int kind;
    while ((kind = XmlScanNode(s, node)) != XML_NODE_EOF) {
        if (kind == XML_NODE_TEXT) {
            result += XmlUnescapeText(text + node.nStart, node.nLength);
        } else if (kind == XML_NODE_CDATA) {
            // "<![CDATA[" ... "]]>"
            int end = node.nStart + node.nLength - 3;
            int inner = node.nStart + 9 < end ? node.nStart + 9 : end;
            result.append(text + inner, end - inner);
        }
    }
    out = result;
}

// ---- editing ----

void CXmlDocument::ReplaceSpan(int start, int length, const std::wstring& text)
{
    std::wstring& s = strDocumentText.str();
    size_t newLength = s.size() - (size_t)length + text.size();
    if (newLength > s.capacity())
        s.reserve(newLength + newLength / 2 + 128);
    s.replace((size_t)start, (size_t)length, text);
}

// Moves every descendant of element by delta, walking the tree without recursion.
void CXmlDocument::ShiftDescendants(int element, int delta)
{
    int n = Element(element).iFirstChild;
    while (n) {
        XmlElementRecord& r = Element(n);
        r.nStart += delta;
        if (r.iFirstChild) {
            n = r.iFirstChild;
            continue;
        }
        while (n != element && !Element(n).iNextSibling)
            n = Element(n).iParent;
        if (n == element)
            return;
        n = Element(n).iNextSibling;
    }
}

void CXmlDocument::AdjustFollowing(int element, int delta, bool skipChildren)
{
    if (delta == 0)
        return;
    if (!skipChildren)
        ShiftDescendants(element, delta);
    // Climb to record 0: the siblings behind each level move, each enclosing
    // ancestor grows.
    for (int cur = element; cur != 0;) {
        for (int s = Element(cur).iNextSibling; s; s = Element(s).iNextSibling) {
            Element(s).nStart += delta;
            ShiftDescendants(s, delta);
        }
        cur = Element(cur).iParent;
        Element(cur).nLength += delta;
    }
}

int CXmlDocument::SkipSpaceToTag(int pos) const
{
    const wchar_t* text = strDocumentText.GetString();
    int length = strDocumentText.GetLength();
    int i = pos;
    while (i < length && XmlIsSpace(text[i]))
        ++i;
    return (i >= length || text[i] == L'<') ? i : pos;
}

std::wstring CXmlDocument::TagName(int element) const
{
    XmlScanner s(strDocumentText.GetString(), strDocumentText.GetLength(), Element(element).nStart + 1);
    XmlScanToken(s);
    return std::wstring(s.pText + s.nTokenStart, s.nTokenEnd - s.nTokenStart);
}

int CXmlDocument::InsertNodeText(XmlNodeInfo& node, int parent, int after)
{
    const std::wstring& elem = node.strText;
    const int elemLength = (int)elem.size();
    if (after || parent == 0) {
        // Behind the previous sibling, or at the end of the document.
        int pos = after ? Element(after).nStart + Element(after).nLength : strDocumentText.GetLength();
        pos = SkipSpaceToTag(pos);
        ReplaceSpan(pos, 0, elem + L"\r\n");
        node.nStart = pos;
        return elemLength + 2;
    }

    XmlElementRecord& p = Element(parent);
    const wchar_t* text = strDocumentText.GetString();
    if (p.IsEmpty()) {
        std::wstring name = TagName(parent);
        int gt = p.nStart + p.nStartTagLength - 1;
        std::wstring reopen = L">\r\n" + elem + L"\r\n</" + name;
        if (!(p.nFlags & XML_START_TAG_ONLY) && text[gt - 1] == L'/') {
            // "<P/>": the '/' gives way and the old '>' closes the new end tag.
            ReplaceSpan(gt - 1, 1, reopen);
            node.nStart = gt - 1 + 3;
            p.nStartTagLength -= 1;
            p.nEndTagLength = (int)name.size() + 3;
            return (int)reopen.size() - 1;
        }
        // A start tag that never got its end tag.
        ReplaceSpan(gt, 0, reopen);
        node.nStart = gt + 3;
        p.nFlags &= ~XML_START_TAG_ONLY;
        p.nEndTagLength = (int)name.size() + 3;
        return (int)reopen.size();
    }
    if (p.ContentLength() == 0) {
        int pos = p.ContentStart();
        ReplaceSpan(pos, 0, L"\r\n" + elem + L"\r\n");
        node.nStart = pos + 2;
        return elemLength + 4;
    }
    int pos = SkipSpaceToTag(p.ContentStart() + p.ContentLength());
    ReplaceSpan(pos, 0, elem + L"\r\n");
    node.nStart = pos;
    return elemLength + 2;
}

bool CXmlDocument::AppendElement(const wchar_t* name, const wchar_t* value, int /*flags*/)
{
    if (!name || !*name)
        return false;
    if (iFreeRecord >= nCapacity)
        ReserveElements(0);
    int e = iFreeRecord++;

    std::wstring tagName(name);
    const int nameLength = (int)tagName.size();
    XmlNodeInfo node;
    int startTagLength, endTagLength;
    if (!value || !*value) {
        node.strText = L"<" + tagName + L"/>";
        startTagLength = nameLength + 3;
        endTagLength = 0;
    } else {
        node.strText = L"<" + tagName + L">" + XmlEscapeText(value, false) + L"</" + tagName + L">";
        startTagLength = nameLength + 2;
        endTagLength = nameLength + 3;
    }
    const int length = (int)node.strText.size();

    int parent = iCursorParent;
    int after = iCursorElement ? iCursorElement : LastChild(parent);
    int delta = InsertNodeText(node, parent, after);

    XmlElementRecord& r = Element(e);
    r = XmlElementRecord{};
    r.nStart = node.nStart;
    r.nLength = length;
    r.nStartTagLength = startTagLength;
    r.nEndTagLength = endTagLength;
    LinkElement(parent, after, e);
    AdjustFollowing(e, delta, true);

    iCursorElement = e;
    iCursorChild = 0;
    nCursorKind = 1;
    return true;
}

bool CXmlDocument::WriteAttributeAt(int element, const wchar_t* name, const CString& value)
{
    if (!element || element >= iFreeRecord || nCursorKind != 1 || !name || !*name)
        return false;
    std::wstring quoted = L"\"" + XmlEscapeText(value.GetString(), (size_t)value.GetLength(), true) + L"\"";
    XmlElementRecord& r = Element(element);
    XmlAttributeSpan span =
        XmlFindAttribute(strDocumentText.GetString(), r.nStart, r.nStart + r.nStartTagLength, name);
    int pos, replaced = 0;
    std::wstring insert;
    if (span.bFound && span.bHasEquals) {
        pos = span.nValueStart;
        replaced = span.nValueEnd - span.nValueStart;
        insert = quoted;
    } else if (span.bFound) {
        // A bare name gets its value added instead of being overwritten.
        pos = span.nNameEnd;
        insert = L"=" + quoted;
    } else {
        pos = span.nInsert;
        insert = L" " + std::wstring(name) + L"=" + quoted;
    }
    ReplaceSpan(pos, replaced, insert);
    int delta = (int)insert.size() - replaced;
    r.nStartTagLength += delta;
    r.nLength += delta;
    AdjustFollowing(element, delta, false);
    return true;
}

bool CXmlDocument::WriteAttributeIntAt(int element, const wchar_t* name, int value)
{
    CString text;
    text.Format(L"%d", value);
    return WriteAttributeAt(element, name, text);
}

bool CXmlDocument::WriteContentAt(int element, const CString& text, int /*flags*/)
{
    if (!element || element >= iFreeRecord)
        return false;
    XmlElementRecord& r = Element(element);
    if (r.iFirstChild)
        return false;
    std::wstring escaped = XmlEscapeText(text.GetString(), (size_t)text.GetLength(), false);
    int delta;
    if (r.IsEmpty()) {
        std::wstring name = TagName(element);
        int gt = r.nStart + r.nStartTagLength - 1;
        if (!(r.nFlags & XML_START_TAG_ONLY) && strDocumentText[gt - 1] == L'/') {
            std::wstring reopen = L">" + escaped + L"</" + name;
            ReplaceSpan(gt - 1, 1, reopen);
            r.nStartTagLength -= 1;
            delta = (int)reopen.size() - 1;
        } else {
            std::wstring close = escaped + L"</" + name + L">";
            ReplaceSpan(gt + 1, 0, close);
            r.nFlags &= ~XML_START_TAG_ONLY;
            delta = (int)close.size();
        }
        r.nEndTagLength = (int)name.size() + 3;
    } else {
        int length = r.ContentLength();
        ReplaceSpan(r.ContentStart(), length, escaped);
        delta = (int)escaped.size() - length;
    }
    AdjustFollowing(element, delta, true);
    r.nLength += delta;
    r.nFlags &= ~XML_ERROR_INSIDE;
    return true;
}
