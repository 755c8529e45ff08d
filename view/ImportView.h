// The article pane: a scroll view that owns one article (CArticleModel), lays
// it out as a page of nPageWidth pixels, paints it off screen and answers the
// pane's commands. The frame makes two of them, the upper and the lower pane.
#pragma once

#include <windows.h>
#include <deque>
#include <vector>

#include "framework/Collections.h"
#include "framework/Gdi.h"
#include "framework/Geometry.h"
#include "framework/View.h"
#include "framework/Menu.h"
#include "controls/GDIPlus.h"
#include "view/ArticleModel.h"
#include "view/CodeScanner.h"
#include "view/PresetFile.h"
#include "view/WordTables.h"

// Sent to a pane to have its caret placed and the page redrawn.
const UINT WM_VIEW_RELAYOUT = WM_USER + 150;
// Sent by a pane to its top-level frame for the chapter-title text of the
// presets: wParam 0 copies it into the CString at lParam, 1 sets it from there.
const UINT WM_FRAME_TITLE_TEXT = WM_APP + 42;
// Sent by a pane to its top-level frame: wParam 1 puts the frame in full
// screen so the panes cover the screen, 0 puts it back.
const UINT WM_FRAME_FULL_SCREEN = WM_APP + 41;

class CCodeCorlorDlg;
struct GlyphSpot;

class CImportView : public CScrollView, public CArticleModel {
    DECLARE_DYNCREATE(CImportView)
public:
    CImportView();
    virtual ~CImportView();

    // ---- overrides ----
    virtual void Serialize(CArchive& ar);
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual void OnInitialUpdate();
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);

    // ---- layout and page width ----
    void WidenPage();                   // 33397
    void NarrowPage();                  // 33399
    void IncreaseCharWidth();
    void DecreaseCharWidth();
    void Redraw();
    // The frame's inner splitter places the view: pane (0, 0) is the upper pane.
    bool IsUpperPane() const { return m_bUpperPane; }
    // The scroll area again after the bottom bar was switched on or off.
    void FitScrollToBottomBar();

    // ---- commands ----
    void ToggleFullScreen();            // 32771
    void CopySelection();               // 32828
    void CutSelection();                // 32830
    void OnEditCopy();                  // 33379
    void OnEditCut();                   // 33381
    void OnEditPaste();                 // 33380
    void SelectAll();                   // 32970
    void InsertCode();                  // 32972
    void ShowColorDialog();             // 32973
    void SetCurrentChunkFont();         // 32974
    void OnSetChunkFormat();            // 32975
    void NextBackground();              // 32982
    void PrevBackground();              // 32983
    void ExtendSelectionBack();         // 33034
    void ExtendSelectionForward();      // 33035
    void OnNothing();                   // 33036, 33037, 32988
    void OnNextPage();                  // 33404
    void OnPrevPage();                  // 33405
    void ShowPresetDialog();            // 33408
    void OnRandomVerticalBar();         // 33413
    void OnRandomHorizontalBar();       // 33415
    void OnUpdateFullScreen(CCmdUI* pCmdUI);

    // ---- decoration commands (view/ViewCommands.cpp) ----
    // New random side bars / line decorations for the article.
    void RandomizeVerticalBars();
    void RandomizeHorizontalBars();
    // The pane's background index (Index0 upper, Index1 lower) moves by delta,
    // wrapping inside Count and the listed pictures; false without pictures.
    bool StepBackground(int delta);
    // The colour dialog, when it exists, and this pane are redrawn.
    void InvalidateWithColorDialog();
    CCodeCorlorDlg* m_pColorDlg = nullptr;  // the modeless colour dialog, made on first use

    // ---- block commands (view/BlockCommands.cpp) ----
    void SetChunkFormat();

    // ---- picture export (view/Export.cpp) ----
    // Pictures of the article under g_strAppFolder + "BookImg"; false (after
    // telling the user) when a picture could not be written.
    bool ExportImages();
    void RenderSlice(CDC* pDC, int nWidth, int nHeight, int nSliceTop, int nSliceEnd);
    void DrawBlockDecorationsForExport(CDC* pDC, ChunkNode* first, int nSliceTop, int nSliceEnd,
                                       int nOffset);

    // ---- members, in the pane's order ----
    CGDIPlus m_gdiplus;
    CString m_strBackgroundPicture;     // preSet.ini [Img] Img or a background command
    wchar_t m_szFontFace[kFaceBufferSize] = {};       // body face; empty = default fonts
    wchar_t m_szCodeFontFace[kFaceBufferSize] = {};   // code face; empty = default fonts
    CWordMap mapLearnedFunctions;
    CWordMap mapLearnedVariables;
    CWordMap mapLiteralWords;
    CWordMap mapStatementWords;
    CWordMap mapTypeWords;
    CWordMap mapLibraryWords;
    CRect m_rcOffscreen;                // size of the off-screen bitmap
    CRect m_rcClient;                   // client rectangle at the last resize
    // (the selection lists are the article model's: m_arrSelection and the rest)
    CFont m_font;
    CDC m_dcMem;                        // the page is painted here, then copied
    CBitmap m_bmpMem;
    int m_bMemDC = 0;                   // m_dcMem exists
    wchar_t m_chPending[2] = {};        // typed unit pair waiting for its low surrogate
    // Input-method units typed already, whose WM_CHAR copies are still due.
    std::deque<wchar_t> m_imeEchoes;
    static constexpr size_t kMaxImeEchoes = 64;
    // One typed UTF-16 unit: text, Enter, or half of a surrogate pair.
    void TypeUnit(wchar_t u);
    int m_bFullScreen = 0;
    CMenu* m_pContextMenu = nullptr;    // menu resource 130
    bool m_bUpperPane = true;           // set by the frame for the lower pane

    // --- editing (view/ViewEditing.cpp, view/ViewClipboard.cpp) ---
    // Clipboard text at the caret (command 33380).
    void PasteText();
    // False, after telling the user, when the clipboard could not take the text.
    bool PutTextOnClipboard(const CString& text);
    CPoint ClientToDocument(CPoint pt);
    CPoint DocumentToClient(CPoint pt);
    bool m_bPressed = false;            // the left button went down in this pane
    CPoint m_ptPressScrollBefore;       // scroll position when the button went down
    CPoint m_ptPressScroll;             // and once the press had placed the caret
    // The document point under the pointer during a drag; a press that
    // scrolled the caret into view does not move the release.
    CPoint DragPointToDocument(CPoint client);
    // A press (single or the second of a double click) holds the mouse until its release.
    void HoldPress();
    // The frame's mark and comment commands call MarkCommand() and
    // CommentSelection() of the article model on the upper pane.
    // --- end of editing ---

    // The word tables as the code scanner takes them.
    CodeWordTables WordTablePointers();
    // Check mark and enabled items of the context menu's pop-up.
    void PrepareContextMenu(CMenu* popup);

    // --- painter-owned members ---
    virtual void OnDraw(CDC* pDC);
    void PaintPage(CDC* pDC);
    void CollectMarkRun(CharItem* item, WORD prevMark);
    void DrawTopBottomBars(CDC* pDC, int nPictureHeight);
    void DrawPageSideStrips(CDC* pDC, int nPictureHeight);
    void DrawCodeLineBackground(ChunkNode* line, CDC* pDC);
    void DrawBlockDecorations(CDC* pDC, ChunkNode* node, int y1);
    void DrawMarkRun(CDC* pDC, MarkRun* run);
    void DrawCharStyle(CDC* pDC, CharItem* item);
    void PaintCharacter(CharItem* item, CDC* pDC);
    bool IsCaretInsideParens(CharItem* c);
    bool IsCaretInsideBraceOpen(CharItem* c);
    bool IsCaretInsideBraceClose(CharItem* c);
    bool IsDeclarationLine(ChunkNode* line);
    bool IsFunctionDeclaration(ChunkNode* line, CharItem* next);
    CPoint DocToClientPoint(CPoint pt);
    CPoint ClientToDocPoint(CPoint pt);
    CRect DocToClientRect(CRect rc);
    // Every character of a drawn line, collecting its mark runs.
    void PaintLineCharacters(ChunkNode* line, CDC* pDC);
    void MeasureLineGlyphs(ChunkNode* line, CDC* pDC);
    // The font face a character of a line is painted in.
    const wchar_t* CharFace(const CharItem* item) const;
    // A character's glyph: its box, and its font and place there, so that
    // the whole glyph shows inside the box in any face.
    RECT GlyphBox(const CharItem* item);
    RECT ItemBox(const CharItem* item);
    GlyphSpot PlaceGlyph(CDC* pDC, const CharItem* item, const RECT& box, bool bold);
    // How a character is painted: its colour, the background behind it
    // (CLR_INVALID: none) and its weight.
    struct CharLook {
        COLORREF text = 0;
        COLORREF fill = CLR_INVALID;
        bool bold = false;
    };
    CharLook LookOf(CharItem* item);
    void DrawCharacter(CDC* pDC, CharItem* item, const CharLook& look);
    // The characters first to last again in white over a mark's frame, as
    // the page drew them.
    void DrawCharsOverFrame(CDC* pDC, CharItem* first, const CharItem* last);
    void DrawLineMarkRuns(CDC* pDC, ChunkNode* line);
    // inSlice: an export slice, which leaves out what its top edge cuts.
    void DrawOneBlockDecorations(CDC* pDC, ChunkNode* block, bool inSlice = false);
    // Document y to the page surface's y (the surface keeps document x).
    int PaintY(int docY) const { return docY - m_nPaintScrollY; }
    CRect m_rcPaintClient;              // client rectangle of the running paint
    int m_nPaintScrollX = 0;            // scroll position of the running paint
    int m_nPaintScrollY = 0;
    int m_nPaintY0 = 0;                 // top of the visible band, document y
    int m_bPainting = 0;                // this pane is painting
    ChunkNode* m_pDecoNext = nullptr;   // first top-level block whose decorations are due
    int m_bDecoStarted = 0;             // m_pDecoNext is set for this paint
    size_t m_nRunsFramed = 0;           // mark runs framed so far in this paint
    std::vector<const CharItem*> m_vecBoldMarked;   // bold marked characters of the line
    // --- end of painter-owned members ---

protected:
    // ---- messages ----
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg LRESULT OnRelayoutMessage(WPARAM wParam, LPARAM lParam);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // --- editing ---
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    // The client rows the caret is kept between: bars across the top and
    // bottom hide the lines under them.
    void CaretBand(const CRect& client, int& top, int& limit);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    virtual int GetVScrollPos();
    virtual void ScrollVertBy(int dy);
    // --- end of editing ---

    // ---- the article's window side ----
    virtual void UpdateCaret();
    virtual void InvalidateView(bool erase);
    virtual void EnableView(bool enable);
    virtual void ScrollToStart();
    virtual void OnFatalError();
    virtual int GetClientWidth();
    virtual int GetClientHeight();
    virtual void OnRootLaidOut(int scrollWidth, int scrollHeight);
    // One text line of the page: the scroll bars' line step.
    virtual CSize DefaultLineSize() const;

    // Recreates the off-screen bitmap when the wanted rectangle differs from the last one.
    void UpdateOffscreenBitmap(int width, int height);
    HGDIOBJ m_hOldMemBitmap = nullptr;  // the memory DC's own bitmap, put back before freeing ours
    bool m_bInSize = false;
    int m_nLaidOutHeight = 0;           // the scroll height the layout asked for

    DECLARE_MESSAGE_MAP()
};
