// Static splitter windows: a grid of panes (views or other splitters) with
// bars between them that the user drags. Windows has no such control, so the
// splitter lays out, paints and tracks everything itself. Notifications and
// commands of the panes go on to the splitter's parent, so a frame sees its
// panes' WM_NOTIFY with the pane's id.
#pragma once

#include <windows.h>
#include "framework/Wnd.h"
#include "framework/Ids.h"

struct CCreateContext;

class CSplitterWnd : public CWnd {
    DECLARE_DYNAMIC(CSplitterWnd)
public:
    CSplitterWnd();
    virtual ~CSplitterWnd();

    // A grid of nRows x nCols (each 1..16) whose panes are made afterwards
    // with CreateView. The row and column sizes start at 0 ideal, 0 minimum.
    virtual BOOL CreateStatic(CWnd* pParentWnd, int nRows, int nCols,
                              DWORD dwStyle = WS_CHILD | WS_VISIBLE,
                              UINT nID = AFX_IDW_PANE_FIRST);
    // Makes pane (row, col) an object of pViewClass (a CWnd class with a
    // creator) with the pane's id; sizeInit becomes the ideal width of the
    // column and height of the row. Views are attached to the context's document.
    virtual BOOL CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit,
                            CCreateContext* pContext);

    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    // Current size (after the last layout) and minimum of a row or column.
    void GetRowInfo(int row, int& cyCur, int& cyMin) const;
    void SetRowInfo(int row, int cyIdeal, int cyMin);
    void GetColumnInfo(int col, int& cxCur, int& cxMin) const;
    void SetColumnInfo(int col, int cxIdeal, int cxMin);

    CWnd* GetPane(int row, int col) const;
    BOOL IsChildPane(CWnd* pWnd, int* pRow, int* pCol);
    int IdFromRowCol(int row, int col) const;

    // Sizes the panes from the ideal and minimum sizes (the last row and
    // column take what is left), moves them all at once and repaints the bars.
    virtual void RecalcLayout();

    // The pane that has the focus or, failing that, the frame's active view
    // when it is one of ours.
    virtual CWnd* GetActivePane(int* pRow = nullptr, int* pCol = nullptr);
    virtual void SetActivePane(int row, int col, CWnd* pWnd = nullptr);

    // Static splitters cannot be split from the keyboard.
    virtual BOOL DoKeyboardSplit();

protected:
    enum ESplitType { splitBox, splitBar, splitIntersection, splitBorder };
    // HitTest results: none, a vertical bar (between rows) or a horizontal
    // one (between columns) by index, or the crossing of two bars.
    enum HitTestValue {
        noHit = 0,
        vSplitterBox = 1,
        hSplitterBox = 2,
        bothSplitterBox = 3,
        vSplitterBar1 = 101,
        vSplitterBar15 = 115,
        hSplitterBar1 = 201,
        hSplitterBar15 = 215,
        splitterIntersection1 = 301,
        splitterIntersection225 = 525,
    };

    struct CRowColInfo {
        int nMinSize;       // below this the row/column is not shown
        int nIdealSize;     // what the user or the program asked for
        int nCurSize;       // what the last layout gave it
    };

    // Bar and border metrics; derived classes change them in their constructor.
    int m_cxSplitter, m_cySplitter;         // width of a bar as drawn
    int m_cxBorderShare, m_cyBorderShare;   // part of a pane's border the bar covers
    int m_cxSplitterGap, m_cySplitterGap;   // distance between two panes
    int m_cxBorder, m_cyBorder;             // frame around the whole splitter
    // How far a pane with a sunken client edge, or a nested splitter,
    // reaches over the bars on each side (0 for none).
    int m_cxPaneEdge = 2, m_cyPaneEdge = 2;

    int m_nMaxRows = 0, m_nMaxCols = 0;
    int m_nRows = 0, m_nCols = 0;
    BOOL m_bHasHScroll = FALSE, m_bHasVScroll = FALSE;
    CRowColInfo* m_pColInfo = nullptr;
    CRowColInfo* m_pRowInfo = nullptr;
    CRuntimeClass* m_pDynamicViewClass = nullptr;

    // Tracking of a dragged bar.
    BOOL m_bTracking = FALSE;
    BOOL m_bTracking2 = FALSE;
    CPoint m_ptTrackOffset;
    CRect m_rectLimit;
    CRect m_rectTracker;
    CRect m_rectTracker2;
    int m_htTrack = noHit;

    // Paints one piece; a null DC asks for an invalidation of rect.
    virtual void OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect);
    // XORs the tracker rectangle on the splitter's window.
    virtual void OnInvertTracker(const CRect& rect);

    // What is under a client point.
    virtual int HitTest(CPoint pt) const;
    // The client area less the splitter's border.
    virtual void GetInsideRect(CRect& rect) const;
    // The rectangle of the bar or crossing ht (client coordinates).
    virtual void GetHitRect(int ht, CRect& rect);
    // Sets the ideal size of the row above / column left of a bar dropped at y / x.
    virtual void TrackRowSize(int y, int row);
    virtual void TrackColumnSize(int x, int col);
    virtual void DrawAllSplitBars(CDC* pDC, int cxInside, int cyInside);
    virtual void SetSplitCursor(int ht);
    virtual void StartTracking(int ht);
    virtual void StopTracking(BOOL bAccept);

    // Layout helpers for derived layouts: sizes nMax rows or columns into
    // nSize, and moves one pane (through a deferred position when hdwp is set).
    static void LayoutRowCol(CRowColInfo* pInfoArray, int nMax, int nSize, int nSizeSplitter);
    // Edged panes (see m_cxPaneEdge) are enlarged by cxEdge, cyEdge.
    static void DeferClientPos(HDWP& hdwp, CWnd* pWnd, int x, int y, int cx, int cy,
                               BOOL bScrollBar, int cxEdge = 2, int cyEdge = 2);

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnMouseMove(UINT nFlags, CPoint pt);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint pt);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint pt);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg LRESULT OnCancelMode(WPARAM, LPARAM);

    // Pane notifications and commands go on to the parent (after the pane's
    // own reflected handlers, which the parent offers them to).
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()

private:
    void FreeInfo();
};
