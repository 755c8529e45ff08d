// An XML document kept as one UTF-16 string with a table of element records
// that hold offsets into it. Edits change the string in place and shift the
// offsets of every record behind the edit.
#pragma once

#include "framework/CString.h"
#include "xml/XmlScanner.h"

#include <string>

// Element flags (the low 16 bits hold the nesting level).
const int XML_LEVEL_MASK = 0xFFFF;
const int XML_FIRST_CHILD = 0x80000;
const int XML_START_TAG_ONLY = 0x100000;
const int XML_ERROR_INSIDE = 0x200000;
const int XML_NOT_WELL_FORMED = 0x800000;   // record 0 only

// Records per segment; growth never moves more than one segment.
const int XML_SEGMENT_RECORDS = 65536;

// One element; record 0 stands for the document itself.
struct XmlElementRecord {
    int nStart;             // offset of '<'
    int nLength;            // '<' of the start tag to the end of the end tag
    int nStartTagLength;
    int nEndTagLength;
    int nFlags;
    int iParent;
    int iFirstChild;
    int iNextSibling;
    int iPrevSibling;       // the first child's holds the last child

    bool IsEmpty() const { return nStartTagLength == nLength; }
    int ContentStart() const { return nStart + nStartTagLength; }
    int ContentLength() const { return nLength - nStartTagLength - nEndTagLength; }
};

class CXmlDocument {
public:
    CString strDocumentText;
    CString strParseError;
    int iCursorParent;
    int iCursorElement;
    int iCursorChild;
    int iFreeRecord;
    int nCursorKind;        // 1 = on an element, 0 = on none
    int nCursorNodeStart;
    int nCursorNodeLength;
    XmlElementRecord** pSegments;
    int nCapacity;
    int nSegmentCapacity;

    CXmlDocument();
    ~CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    bool LoadFromText(const wchar_t* text);
    const CString& GetDocumentText() const { return strDocumentText; }

    // Cursor.
    bool FindNextElement(const wchar_t* name);
    bool EnterElement();
    bool LeaveElement();

    // Reading.
    void ReadAttribute(CString& out, const wchar_t* name);
    void ReadAttributeAt(CString& out, int element, const wchar_t* name);
    void ReadContent(CString& out);
    void ReadContentAt(CString& out, int element);

    // Editing.
    bool AppendElement(const wchar_t* name, const wchar_t* value = nullptr, int flags = 0);
    bool WriteAttributeAt(int element, const wchar_t* name, const CString& value);
    bool WriteAttributeIntAt(int element, const wchar_t* name, int value);
    bool WriteContentAt(int element, const CString& text, int flags = 0);

    // The steps the operations above are made of.
    bool ParseDocument();
    bool ReserveElements(int count);
    void LinkElement(int parent, int after, int element);
    int FindElementAfter(int parent, int after, const wchar_t* name) const;
    // Puts node.strText into the text for a new child of parent behind after;
    // sets node.nStart to its '<' and returns the change in text length.
    int InsertNodeText(XmlNodeInfo& node, int parent, int after);
    void ReplaceSpan(int start, int length, const std::wstring& text);
    void AdjustFollowing(int element, int delta, bool skipChildren);
    void FreeRecordTable();

    XmlElementRecord& Element(int i) { return pSegments[i >> 16][i & 0xFFFF]; }
    const XmlElementRecord& Element(int i) const { return pSegments[i >> 16][i & 0xFFFF]; }

private:
    void ParseElements();
    void CloseUnended(int element);
    void SetParseError(const std::wstring& message);
    int LastChild(int parent) const;
    int SkipSpaceToTag(int pos) const;
    std::wstring TagName(int element) const;
    void ShiftDescendants(int element, int delta);
};
