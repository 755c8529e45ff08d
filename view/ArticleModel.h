// The article held in memory: a tree of ChunkNodes (root, paragraphs and blocks,
// character lines) whose lines hold linked lists of CharItems, plus reading and
// writing the article file. No window code lives here: the article pane derives
// from CArticleModel and supplies the window side through the virtual hooks.
#pragma once

#include <windows.h>
#include <algorithm>
#include <string>
#include <vector>
#include "framework/Collections.h"
#include "framework/CString.h"

class CXmlDocument;
struct CharItem;

// Node types.
enum : WORD {
    kNodeLine = 7,          // character line
    kNodeGlyph = 8,         // glyph-image block
    kNodeImage = 9,         // image block
    kNodeLegacy = 18,       // legacy block kind of old files
    kNodeContainer = 20,    // the root, paragraphs and blocks
};

const wchar_t kLineEnd = 13;    // unit of the item that closes every line

struct ChunkNode {
    int nCode = 0;              // 0 plain text, non-zero inside code and text blocks
    WORD nType = 0;
    WORD nLevel = 0;            // root 1, its children 2, ...
    WORD nLine = 0;
    int nTextSize = 0;
    int x = 0, y = 0;
    int right = 0, bottom = 0;
    int width = 0, height = 0;
    wchar_t* pFontFace = nullptr;   // own copy; null = the default face
    WORD nInc = 0;
    int nPick[4] = {-1, -1, -1, -1};    // decoration picture picks, -1 = pick at random
    WORD nManner = 9;
    ChunkNode* pNext = nullptr;     // stacked chain (one below the other)
    ChunkNode* pPrev = nullptr;
    ChunkNode* pLeft = nullptr;     // row chain (side by side)
    ChunkNode* pRight = nullptr;
    ChunkNode* pParent = nullptr;
    union {
        ChunkNode* pFirstChild;     // containers
        CharItem* pFirstItem;       // lines and blocks 8, 9
    };

    ChunkNode(WORD type, WORD level, int textSize, int y, int x, int width, int height,
              ChunkNode* next, ChunkNode* prev, ChunkNode* left, ChunkNode* right,
              ChunkNode* parent, ChunkNode* firstChild = nullptr);
    ~ChunkNode() { delete[] pFontFace; }
    ChunkNode(const ChunkNode&) = delete;
    ChunkNode& operator=(const ChunkNode&) = delete;

    bool IsContainer() const { return nType == kNodeContainer; }
    bool IsLine() const { return nType == kNodeLine; }
    bool HoldsItems() const { return nType == kNodeLine || nType == kNodeGlyph || nType == kNodeImage; }
    // The next child of the same parent: the right neighbour first, else the next node.
    ChunkNode* WalkNext() const { return pRight ? pRight : pNext; }
};

struct CharItem {
    double left = 0, top = 0, right = 0, bottom = 0;
    int size = 0;
    WORD nMark = 0;             // mark id, 0 = none
    wchar_t ch = 0;             // the unit; kLineEnd closes the line
    wchar_t chLow = 0;          // low surrogate when ch is a high surrogate, else 0
    int bSelected = 0;
    WORD nStyle = 0;            // annotation style index, 0 = none
    CharItem* pPrev = nullptr;
    CharItem* pNext = nullptr;
    ChunkNode* pOwner = nullptr;
};

// One run of equally marked characters of a line, rebuilt by every paint.
struct MarkRun {
    int left = 0, top = 0, right = 0, bottom = 0;
    WORD nMark = 0;
    CharItem* pFirst = nullptr;
    CharItem* pLast = nullptr;
};

inline bool IsHighSurrogate(wchar_t u) { return u >= 0xD800 && u <= 0xDBFF; }
inline bool IsLowSurrogate(wchar_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The character that starts at s[i] (of n units): its units and how many it
// takes. A high half pairs only with a low half after it; alone it is no
// character (units[0] is 0), as when it is typed.
inline int NextCharUnits(const wchar_t* s, int i, int n, wchar_t units[2])
{
    units[0] = s[i];
    units[1] = 0;
    if (!IsHighSurrogate(s[i]))
        return 1;
    if (i + 1 < n && IsLowSurrogate(s[i + 1])) {
        units[1] = s[i + 1];
        return 2;
    }
    units[0] = 0;
    return 1;
}

// The UTF-16 units of one character item (a surrogate pair as two units).
inline void AppendItemUnits(CString& out, const CharItem* it)
{
    out += it->ch;
    if (IsHighSurrogate(it->ch) && it->chLow)
        out += it->chLow;
}

class CArticleModel {
public:
    CArticleModel();
    virtual ~CArticleModel();
    CArticleModel(const CArticleModel&) = delete;
    CArticleModel& operator=(const CArticleModel&) = delete;

    // ---- creation ----
    ChunkNode* CreateRootNode();
    ChunkNode* CreateNode(WORD type, WORD level, int textSize, int y, int x, int width, int height,
                          ChunkNode* next, ChunkNode* prev, ChunkNode* left, ChunkNode* right,
                          ChunkNode* parent, ChunkNode* firstChild = nullptr);
    // units: the unit, and its low surrogate after a high one.
    CharItem* CreateCharItem(const wchar_t* units, CharItem* prev, CharItem* next, ChunkNode* owner);
    // A new line with one line end under parent behind after (null: first child);
    // it becomes the current line. Returns the line.
    ChunkNode* NewLineAfter(ChunkNode* parent, ChunkNode* after, const wchar_t* unused = nullptr);
    ChunkNode* NewContainerAfterCurrent();
    void SetFontFace(ChunkNode* node, const wchar_t* face);

    // ---- walking ----
    ChunkNode* FirstLine(ChunkNode* node, bool reportNull = false);
    ChunkNode* LastLine(ChunkNode* node);
    ChunkNode* LastInFirstRow(ChunkNode* node);
    CharItem* LastItem(ChunkNode* node);
    ChunkNode* NextNode(ChunkNode* node);
    ChunkNode* PrevNode(ChunkNode* node);
    ChunkNode* NextNodeAny(ChunkNode* node);
    ChunkNode* PrevNodeAny(ChunkNode* node);
    static bool HasRowLinks(const ChunkNode* node) { return node && (node->pLeft || node->pRight); }
    static bool HasColumnLinks(const ChunkNode* node) { return node && (node->pNext || node->pPrev); }
    ChunkNode* FindLineAtY(ChunkNode* node, int y);
    ChunkNode* FindLineAtYFromFirst(ChunkNode* node, int y);
    // Ancestor at level 2 (the top-level paragraph), or null.
    static ChunkNode* ParagraphOf(ChunkNode* node);

    // ---- text forms of a line ----
    CString ItemsText(CharItem* first, CharItem* end);
    int CollectStyleRuns(CharItem* first, CharItem* end);
    CString StyledRunText(CharItem* first, CharItem* end);
    int CollectRunStarts(ChunkNode* line);
    CString LineMarkedText(ChunkNode* line);
    CString ContainerMarkedText(ChunkNode* container);
    CString FollowingLinesMarkedText(ChunkNode* line);
    CharItem* ParseRunText(const CString& text, const CString& mark, ChunkNode* line, CharItem* prev);
    // Children counted along the chain; true when the last step was a next link.
    bool CountChainForType(ChunkNode* container, int& count);
    CString TypeWord(ChunkNode* node);

    // ---- freeing ----
    void FreeNodeTree(ChunkNode* node);
    void DeleteNode(ChunkNode* node);
    void DeleteCharItem(CharItem* item);
    void FreeMarkRuns();
    void CloseArticle();
    bool IsArticleEmpty();

    // ---- article files ----
    void OpenArticle(const CString& folder, const CString& fullPath);
    // True when the file was read as an article; on every failure the user has been
    // told and an empty article stands in its place.
    bool LoadArticle(const CString& folder, const CString& fullPath);
    void NewArticle();
    int ReadChunkKind(CXmlDocument& doc, int& stacked, CString& action);
    ChunkNode* ReadChunk(CXmlDocument& doc, ChunkNode* parent, ChunkNode* previous, int stacked);
    // False (after one message naming the path) when the file could not be written.
    bool SaveArticle(const CString& folder, const CString& fullPath);
    // The bytes SaveArticle writes; false when the coder failed (it has told the user).
    bool BuildArticleFile(std::string& bytes);
    void WriteChunk(ChunkNode* node, CXmlDocument& doc);
    // Where a file that loaded with errors is copied before it is first overwritten.
    static CString BackupPathFor(const CString& fullPath);
    // True while the open article's file loaded with errors and has not been
    // saved since (under whatever path a rename gave it).
    bool NeedsBackupBeforeSave() const;

    // ---- error log ----
    int ReportError(int code);
    CString ErrorLogPath() const;

    // ---- layout and page width (view/Layout.cpp) ----
    // Measures and places node and its subtree; flag: refresh the ancestors too.
    virtual void Relayout(ChunkNode* node, int flag);
    // Fixes levels and vertical positions top-down after sizes changed.
    virtual void UpdateGeometry(ChunkNode* node, int flag);
    // Re-breaks every plain paragraph to nPageWidth, moving its characters.
    virtual void ReflowToPageWidth();
    // A line whose own code flag or whose parent's is set.
    static bool IsCodeLine(const ChunkNode* line);
    // Boxes of a line's characters.
    void LayoutLineItems(ChunkNode* line);
    // The width the line breaker compares with nPageWidth, and the height.
    int NodeWidth(ChunkNode* node);
    int NodeHeight(ChunkNode* node);
    // (client width - nPageWidth - scroll bar) / 2, never below 20.
    int LeftMarginFor(int clientWidth);
    // Start-up: nPageWidth fits the client (when it can) and the page is centred.
    void FitPageToClient();
    // Resize: the page is centred again and the article laid out.
    void FitMarginToClient();
    // Page width +/- 50 within its bounds, then reflow; false when out of bounds.
    bool StepPageWidth(int delta);
    // Increase +/- 1 within 0..5, then relayout; false when already at the bound.
    bool StepCharWidth(int delta);
    // Relayout of one paragraph (flag 1); the paragraphs below follow it.
    void RelayoutParagraph(ChunkNode* para);
    // The page's right edge as drawn: the root's box, or the widest line's
    // characters where code letters are drawn wider than they are measured.
    int DrawnRight() const { return m_pRoot ? std::max(m_pRoot->right, m_nItemsRight) : 0; }
    // Width of the scroll area: every character of the page and a little room.
    int ScrollWidth() const
    {
        return m_pRoot ? std::max(m_nLeftMargin + m_pRoot->width, m_nItemsRight) + 20 : 0;
    }

    // ---- insertion (view/Insert.cpp) ----
    // One character (units: the unit and its low surrogate) in front of the caret
    // item; opens a new line first when the current one is wider than the page.
    // No layout. Null without a character line.
    CharItem* InsertChar(const wchar_t* units, WORD style, WORD mark);
    // A whole text; line feeds start paragraphs. Laid out once at the end.
    void InsertText(const CString& text);
    // A new paragraph after the current one, holding one empty line.
    void NewParagraph();
    // The current line's last character moves down and the rest of the paragraph
    // is broken again; used when typing made the line too wide.
    void RebreakOverflow();
    // Waits up to 2000 ms for the frame's auto-save to finish.
    void WaitForAutoSave();
    HANDLE m_hAutoSaveEvent = nullptr;  // set while no auto-save runs; owned by the frame

    // ---- blocks (view/BlockInsert.cpp) ----
    // Relayout and geometry of the root; unless importing, caret and redraw.
    void RelayoutAndRedraw();
    // The lines of the selected characters (and their paragraphs) become a
    // text block; false when something other than characters is selected.
    bool MarkSelectedLinesAsBlock();
    // A block text in new paragraphs after the current one: kind 1 a text
    // block (code flag 1) wrapped to the screen width, kind 2 code lines
    // (flag 2, text size fontSize) for lines starting with a Latin unit and
    // plain paragraphs for the others. Laid out once at the end.
    void InsertBlockText(int kind, const CString& text, int fontSize, int screenWidth);
    // The paragraphs the block format acts on: those of the selected
    // characters, else the current line's.
    std::vector<ChunkNode*> BlockFormatTargets();
    // Size and face (empty or "默认": none) of the paragraphs; the current
    // line takes the size too when nothing is selected.
    void ApplyBlockFormat(const std::vector<ChunkNode*>& paras, int size, const wchar_t* face);
    // The face of the current line's paragraph.
    void SetCurrentBlockFace(const wchar_t* face);

    // --- editing (view/Selection.cpp, Editing.cpp, ClipText.cpp, Marks.cpp) ---
    // Hit testing in document coordinates.
    ChunkNode* LineAtPoint(int x, int y, ChunkNode* node);
    CharItem* ItemAtPoint(int x, ChunkNode* line);
    CharItem* ItemAtTop(ChunkNode* node, double top);
    bool IsNodeEmpty(ChunkNode* node);
    // The leaves (lines and blocks) in reading order, never leaving the root.
    ChunkNode* NextLeaf(ChunkNode* node);
    ChunkNode* PrevLeaf(ChunkNode* node);
    ChunkNode* FirstLeaf(ChunkNode* node);
    ChunkNode* LastLeaf(ChunkNode* node);
    // A click: the caret goes to the line and item at the point; false on no line.
    bool PlaceCaretAt(int x, int y);
    // A caret line outside the document band top..bottom moves to the start
    // of the first text line inside it; false when the caret stays.
    bool PlaceCaretInBand(int top, int bottom);
    // The end of a drag that started at the caret; the caret goes to the point.
    void SelectToPoint(int x, int y);
    // A double click: the current line (inside the page) or paragraph (left of it).
    bool SelectAtDoubleClick(int x, int y);
    // The upper pane selects the current paragraph, the lower one the article.
    void SelectAllItems(bool wholeArticle);
    void SelectNodeChars(ChunkNode* node);
    void AddToSelection(CharItem* item, BYTE type);
    // Shift+Up / Shift+Down; false when the caret could not move.
    bool StepSelectionBack();
    bool StepSelectionForward();
    // True while some listed object is flagged as selected.
    bool HasSelection() const;
    // Empties the selection lists, resetting the flags first when asked.
    void ResetSelection(bool resetFlags);
    // The selected objects, each once, in reading order; after: the first item
    // behind the last of them (null at the article's end).
    void CollectSelection(std::vector<CharItem*>& items, CharItem** after = nullptr);
    // Caret keys; false when the caret did not move.
    bool MoveCaretLeft();
    bool MoveCaretRight();
    bool MoveCaretUp();
    bool MoveCaretDown();

    // Typing and deletion.
    void InsertTypedChar(const wchar_t* units);
    void DeletePrevChar();
    // Removes exactly the selected characters; false when nothing was selected.
    bool DeleteSelection();
    // A line that holds only its line end goes, with the containers it leaves empty.
    bool RemoveEmptyLine(ChunkNode* line);

    // Clipboard text.
    CString BuildCopyText();
    // False when a block is selected (only characters can be cut).
    bool BuildCutText(CString& text);
    // Pasted text goes in at the caret; the text behind the caret follows it.
    void PasteTextAtCaret(const CString& text);

    // Marks and comments.
    void SetSelectionMark(bool deselect);
    void MarkSelection();
    void ApplyStyleToSelection();
    // The frame's mark command ("标注"): by bSingle as mark id or style index.
    void MarkCommand();
    // The frame's comment command ("点评").
    void CommentSelection();

    // Selection: the selected objects (CharItems; blocks by their box) and their
    // node types (7 item, 8 or 9 block), and the two lists of the legacy blocks.
    CPtrArray m_arrSelection;
    CByteArray m_arrSelectionTypes;
    CPtrArray m_arrLegacyBlocks;
    CPtrArray m_arrLegacyLines;
    // --- end of editing ---

    // ---- state ----
    int m_bModified = 0;
    int m_nPageTop = 50;
    int m_nLeftMargin = 20;
    int m_nVersion = 2;
    int m_nColumnDis = 50;
    int m_nTextSize = 28;
    int m_nRow = 0;                 // line spacing
    int m_nPram = 0;                // paragraph spacing
    ChunkNode* m_pRoot = nullptr;
    ChunkNode* m_pCurLine = nullptr;
    CharItem* m_pCurItem = nullptr;     // the caret stands in front of it
    ChunkNode* m_pFirstDrawn = nullptr;
    int m_nScrollDown = 1;              // 1 down, 0 up
    std::vector<ChunkNode*> m_vecNodes;     // holds the root only
    std::vector<CharItem*> m_vecRunStarts;  // first item of each mark-id run of a line
    std::vector<CharItem*> m_vecStyleRuns;  // first item of each style run, then the end
    std::vector<MarkRun*> m_vecMarkRuns;    // owned
    int m_nCountInput = 0;
    CString m_strLogPath;           // empty: ErrorLogPath() decides
    CString m_strFolder;            // folder and full path of the open article;
    CString m_strPath;              // the path starts every error-log entry

    // Deepest level a node may have; deeper Chunks of a file are read into the
    // deepest container allowed.
    static constexpr int kMaxLevel = 32;

protected:
    // Window side, supplied by the article pane.
    virtual void UpdateCaret() {}
    virtual void InvalidateView(bool /*erase*/) {}
    virtual void EnableView(bool /*enable*/) {}
    virtual void ScrollToStart() {}
    virtual void ClearSelection() { ResetSelection(true); }
    virtual void OnFatalError() {}      // the pane ends the program through its frame
    virtual int GetClientWidth() { return 0; }
    virtual int GetClientHeight() { return 0; }
    virtual int GetVScrollWidth() { return GetSystemMetrics(SM_CXVSCROLL); }
    // The root was laid out: the pane sizes its scroll area and off-screen bitmap.
    virtual void OnRootLaidOut(int /*scrollWidth*/, int /*scrollHeight*/) {}
    // --- editing: the pane's vertical scroll position, and scrolling it ---
    virtual int GetVScrollPos() { return 0; }
    virtual void ScrollVertBy(int /*dy*/) {}

private:
    // layout and insertion helpers
    void RefreshAncestors(ChunkNode* node);
    void PlaceLegacyChildren(ChunkNode* node, bool measure);
    void PlaceBlockBox(ChunkNode* node);
    void PlaceContents(ChunkNode* node, bool measure);
    void FreeNextSibling(ChunkNode* node);
    void RootLaidOut();
    int BreakWidthOf(const CharItem* item, bool plainBig) const;
    // A line holds more than the break rule allows: it was already wider than
    // the page before its last character.
    bool LastCharOverrunsPage(ChunkNode* line);
    bool NewParagraphNoLayout();
    CharItem* InsertCharNoWait(const wchar_t* units, WORD style, WORD mark);
    // The characters of a text at the caret, a line feed opening a paragraph;
    // no wait and no layout (the callers do both once).
    void InsertTextItems(const CString& text);
    void TakeLineItems(ChunkNode* line, std::vector<CharItem*>& out);
    ChunkNode* AppendBroken(ChunkNode* line, const std::vector<CharItem*>& items, size_t first);
    // Reflow: every run of stacked plain lines in container and its blocks.
    void RebreakLineRuns(ChunkNode* container, std::vector<CharItem*>& items);
    ChunkNode* m_pWidthLine = nullptr;  // InsertChar's width cache, kept during bulk insertion
    int m_nWidthLine = 0;
    bool m_bBulkInsert = false;
    int m_nItemsRight = 0;              // right edge of the widest line's boxes

    ChunkNode* MakeReadNode(WORD type, ChunkNode* parent, ChunkNode* prev, int stacked);
    void ReadLineChunk(CXmlDocument& doc, ChunkNode* line, bool united);
    void BuildEmptyArticle();
    void NormalizeTree();
    void FreeItems(CharItem* first);
    bool IsInside(const ChunkNode* node, const ChunkNode* ancestor) const;
    CString RunText(CharItem* first, CharItem* end, CharItem* follow);
    CharItem* LineEndOf(CharItem* item);
    int CountRuns(ChunkNode* line, std::vector<CharItem*>& starts, bool countTyped);
    ChunkNode* FindLineAtYImpl(ChunkNode* node, int y, bool fromFirst);
    void AppendLineChunk(ChunkNode* line, CXmlDocument& doc);
    void MarkLoadedWithErrors();

    bool m_bLoadedDamaged = false;  // loaded with errors: back the file up before overwriting
    bool m_bReadLossy = false;      // the last read dropped or flattened Chunks
};
