// A static splitter with a small button in the middle of its bar: a click
// collapses the first column (or row) to one side, a second click restores
// the remembered sizes, a right click turns the button round.
#pragma once

#include <windows.h>
#include "framework/Splitter.h"
#include "framework/Gdi.h"
#include "framework/Dc.h"

class CXSplitterWnd : public CSplitterWnd {
    DECLARE_DYNAMIC(CXSplitterWnd)
public:
    // Button sides: 1 and 2 for a bar between two columns, 3 and 4 for one
    // between two rows; 1 and 3 collapse the first column or row to its
    // minimum, 2 and 4 let it take the whole width or height.
    enum { kNoButton = 0, kSideLeft = 1, kSideRight = 2, kSideUp = 3, kSideDown = 4 };

    CXSplitterWnd();
    virtual ~CXSplitterWnd();

    BOOL CreateStatic(CWnd* pParentWnd, int nRows, int nCols, int nSide,
                      DWORD dwStyle = WS_CHILD | WS_VISIBLE, UINT nID = AFX_IDW_PANE_FIRST);
    using CSplitterWnd::CreateStatic;
    // The four pictures of the button (each a normal and a hover frame side
    // by side): A for side 1, B for side 2, D for side 3, C for side 4 (id4).
    BOOL LoadButtonBitmaps(UINT nIDA, UINT nIDB, UINT nIDD, UINT nIDC);

    void Collapse();
    void Restore();
    // Gives pane index (0 the first, 1 the second) room again when it has
    // less than a quarter of the splitter, whether the button or a drag of
    // the bar took it: a collapse is undone, and if that is not enough the
    // first pane gets firstSize (half the splitter at most).
    void ShowPane(int index, int firstSize);
    void GetButtonRect(CRect& rect);
    void DrawButton(CDC* pDC);


    int GetSide() const { return m_nSide; }
    bool IsCollapsed() const { return m_bCollapsed != 0; }
    bool IsHovering() const { return m_bHover != 0; }
    void EnableDragging(bool bAllow) { m_bAllowDrag = bAllow ? 1 : 0; }

protected:
    virtual void OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect);
    virtual void OnInvertTracker(const CRect& rect);
    virtual BOOL DoKeyboardSplit();

    bool IsColumnBar() const { return m_nSide == kSideLeft || m_nSide == kSideRight; }
    bool IsOnButton(CPoint pt);
    void ToggleCollapse();

    int m_nSide = kNoButton;
    int m_bCollapsed = 0;
    int m_bAllowDrag = 1;
    int m_nSavedCur = 10;
    int m_nSavedMin = 0;
    CRect m_rcButton;
    CBitmap m_bmpA, m_bmpB, m_bmpC, m_bmpD;
    CDC m_memDC;
    POINT m_ptCursor = {0, 0};
    int m_bHover = 0;
    int m_bPressed = 0;

    afx_msg void OnLButtonDown(UINT nFlags, CPoint pt);
    afx_msg void OnMouseMove(UINT nFlags, CPoint pt);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint pt);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint pt);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);

    DECLARE_MESSAGE_MAP()
};
