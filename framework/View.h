// Views: windows that show a document. CView paints through OnPrepareDC and
// OnDraw; CScrollView adds scroll bars over a fixed total size and sets each
// DC's viewport origin to minus the scroll position, so OnDraw works in
// document coordinates.
#pragma once

#include <windows.h>
#include "framework/Wnd.h"

class CDocument;
class CFrameWnd;
struct CPrintInfo;     // printing is not supported; the hooks stay for overrides

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CView() = default;
    virtual ~CView();

    CDocument* GetDocument() const { return m_pDocument; }

    virtual void OnDraw(CDC* pDC) = 0;
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);
    // Called once after the view's window and document are ready.
    virtual void OnInitialUpdate();
    // The document changed; by default the whole view is repainted.
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    // The view became (bActivate) or stopped being its frame's active view.
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);

    virtual BOOL OnPreparePrinting(CPrintInfo*) { return FALSE; }
    virtual void OnBeginPrinting(CDC*, CPrintInfo*) {}
    virtual void OnEndPrinting(CDC*, CPrintInfo*) {}
    BOOL DoPreparePrinting(CPrintInfo*) { return FALSE; }

    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);
    // Views own themselves: the object is deleted with its window.
    virtual void PostNcDestroy();

    CDocument* m_pDocument = nullptr;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);

    DECLARE_MESSAGE_MAP()
};

class CScrollView : public CView {
    DECLARE_DYNAMIC(CScrollView)
public:
    CScrollView() = default;

    // Default steps: a line is one text line (DefaultLineSize), a page the
    // client extent less one line, taken at the time of each scroll.
    static const SIZE sizeDefault;

    // Sizes in logical units of nMapMode (MM_TEXT: pixels).
    void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = sizeDefault,
                        const SIZE& sizeLine = sizeDefault);
    CSize GetTotalSize() const { return m_totalLog; }
    // The steps as they are now (defaults worked out for the present client size).
    void GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const;
    // The document point shown at the client area's top left corner.
    CPoint GetScrollPosition() const;
    CPoint GetDeviceScrollPosition() const { return m_ptScroll; }
    // Scrolls so that pt (logical) is at the top left, as far as the sizes allow.
    void ScrollToPosition(POINT pt);

    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);
    // nScrollCode: horizontal SB_ code in the low byte, vertical in the high
    // byte, 0xFF for none. FALSE when nothing moved.
    virtual BOOL OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll = TRUE);
    virtual BOOL OnScrollBy(CSize sizeScroll, BOOL bDoScroll = TRUE);
    // One wheel notch scrolls the system's wheel lines (3) by the line size.
    virtual BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    // Shows the scroll bars the sizes need and keeps the position in range.
    void UpdateBars();

protected:
    int m_nMapMode = 0;     // 0 until SetScrollSizes
    CSize m_totalLog;
    CSize m_totalDev;
    CSize m_pageDev;
    CSize m_lineDev;
    CPoint m_ptScroll;      // device scroll position
    bool m_bInsideUpdate = false;

    bool m_bDefaultPage[2] = {true, true};  // x, y: the page step follows the client size
    bool m_bDefaultLine[2] = {true, true};  // x, y: the line step is DefaultLineSize()

    // One text line of the view, in pixels (both directions); by default the
    // line height of the window's font.
    virtual CSize DefaultLineSize() const;
    CSize LineStep() const;
    CSize PageStep() const;
    CPoint MaxDeviceScrollPosition() const;
    void ScrollToDevicePosition(POINT ptDev);

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);

    DECLARE_MESSAGE_MAP()
};
