#include "framework/Splitter.h"
#include "framework/Frame.h"
#include "framework/View.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CSplitterWnd, CWnd)

BEGIN_MESSAGE_MAP(CSplitterWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_CAPTURECHANGED()
    ON_WM_KEYDOWN()
    ON_MESSAGE(WM_CANCELMODE, &CSplitterWnd::OnCancelMode)
END_MESSAGE_MAP()

namespace {

const int kMaxPanes = 16;

// Grey dots for the tracker, inverted onto the window.
HBRUSH HalftoneBrush()
{
    static HBRUSH brush = [] {
        WORD pattern[8];
        for (int i = 0; i < 8; ++i)
            pattern[i] = (WORD)(0x5555 << (i & 1));
        HBITMAP bmp = ::CreateBitmap(8, 8, 1, 1, pattern);
        HBRUSH b = ::CreatePatternBrush(bmp);
        ::DeleteObject(bmp);
        return b;
    }();
    return brush;
}

bool IsColumnBar(int ht) { return ht >= 201 && ht <= 215; }
bool IsRowBar(int ht) { return ht >= 101 && ht <= 115; }
bool IsIntersection(int ht) { return ht >= 301 && ht <= 525; }

} // namespace

CSplitterWnd::CSplitterWnd()
    : m_cxSplitter(7), m_cySplitter(7),
      m_cxBorderShare(2), m_cyBorderShare(2),
      m_cxSplitterGap(11), m_cySplitterGap(11),
      m_cxBorder(2), m_cyBorder(2)
{
}

CSplitterWnd::~CSplitterWnd()
{
    FreeInfo();
}

void CSplitterWnd::FreeInfo()
{
    delete[] m_pColInfo;
    delete[] m_pRowInfo;
    m_pColInfo = nullptr;
    m_pRowInfo = nullptr;
}

BOOL CSplitterWnd::CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle, UINT nID)
{
    if (!pParentWnd || m_hWnd || nRows < 1 || nCols < 1 || nRows > kMaxPanes || nCols > kMaxPanes)
        return FALSE;
    FreeInfo();
    m_nRows = m_nMaxRows = nRows;
    m_nCols = m_nMaxCols = nCols;
    m_pRowInfo = new CRowColInfo[(size_t)nRows];
    m_pColInfo = new CRowColInfo[(size_t)nCols];
    for (int i = 0; i < nRows; ++i)
        m_pRowInfo[i] = { 0, 0, 0 };
    for (int i = 0; i < nCols; ++i)
        m_pColInfo[i] = { 0, 0, 0 };
    // No double clicks: a quick second click on a bar is another press.
    // No WS_CLIPCHILDREN: the tracker is drawn across the panes.
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
    // Empty at first: the parent's layout sizes it once the panes exist.
    return CWnd::CreateEx(0, cls, nullptr, (dwStyle | WS_CHILD) & ~(WS_HSCROLL | WS_VSCROLL),
                          CRect(0, 0, 0, 0), pParentWnd, nID);
}

BOOL CSplitterWnd::CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit,
                              CCreateContext* pContext)
{
    if (!m_hWnd || row < 0 || row >= m_nRows || col < 0 || col >= m_nCols || !pViewClass)
        return FALSE;
    if (::GetDlgItem(m_hWnd, IdFromRowCol(row, col)))
        return FALSE;   // the pane exists already
    m_pColInfo[col].nIdealSize = sizeInit.cx;
    m_pRowInfo[row].nIdealSize = sizeInit.cy;

    CObject* obj = pViewClass->CreateObject();
    if (!obj)
        return FALSE;
    CWnd* pWnd = DYNAMIC_DOWNCAST(CWnd, obj);
    if (!pWnd) {
        delete obj;
        return FALSE;
    }
    CRect rect(CPoint(0, 0), sizeInit);
    // Views delete themselves when their window fails.
    if (!pWnd->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, rect, this,
                      IdFromRowCol(row, col), pContext))
        return FALSE;
    return TRUE;
}

// Sizes ---------------------------------------------------------------------------------

void CSplitterWnd::GetRowInfo(int row, int& cyCur, int& cyMin) const
{
    if (row < 0 || row >= m_nRows) {
        cyCur = cyMin = 0;
        return;
    }
    cyCur = m_pRowInfo[row].nCurSize;
    cyMin = m_pRowInfo[row].nMinSize;
}

void CSplitterWnd::SetRowInfo(int row, int cyIdeal, int cyMin)
{
    if (row < 0 || row >= m_nRows)
        return;
    m_pRowInfo[row].nIdealSize = std::max(0, cyIdeal);
    m_pRowInfo[row].nMinSize = std::max(0, cyMin);
}

void CSplitterWnd::GetColumnInfo(int col, int& cxCur, int& cxMin) const
{
    if (col < 0 || col >= m_nCols) {
        cxCur = cxMin = 0;
        return;
    }
    cxCur = m_pColInfo[col].nCurSize;
    cxMin = m_pColInfo[col].nMinSize;
}

void CSplitterWnd::SetColumnInfo(int col, int cxIdeal, int cxMin)
{
    if (col < 0 || col >= m_nCols)
        return;
    m_pColInfo[col].nIdealSize = std::max(0, cxIdeal);
    m_pColInfo[col].nMinSize = std::max(0, cxMin);
}

// Panes --------------------------------------------------------------------------------

int CSplitterWnd::IdFromRowCol(int row, int col) const
{
    return AFX_IDW_PANE_FIRST + row * 16 + col;
}

CWnd* CSplitterWnd::GetPane(int row, int col) const
{
    if (!m_hWnd || row < 0 || row >= m_nRows || col < 0 || col >= m_nCols)
        return nullptr;
    return CWnd::FromHandle(::GetDlgItem(m_hWnd, IdFromRowCol(row, col)));
}

BOOL CSplitterWnd::IsChildPane(CWnd* pWnd, int* pRow, int* pCol)
{
    if (!pWnd || !pWnd->m_hWnd || ::GetParent(pWnd->m_hWnd) != m_hWnd)
        return FALSE;
    int id = pWnd->GetDlgCtrlID() - AFX_IDW_PANE_FIRST;
    int row = id / 16, col = id % 16;
    if (id < 0 || row >= m_nRows || col >= m_nCols)
        return FALSE;
    if (pRow)
        *pRow = row;
    if (pCol)
        *pCol = col;
    return TRUE;
}

CWnd* CSplitterWnd::GetActivePane(int* pRow, int* pCol)
{
    CWnd* pView = nullptr;
    if (CFrameWnd* frame = GetParentFrame())
        pView = frame->GetActiveView();
    if (!pView || !IsChildPane(pView, pRow, pCol)) {
        pView = CWnd::GetFocus();
        if (!IsChildPane(pView, pRow, pCol))
            pView = nullptr;
    }
    return pView;
}

void CSplitterWnd::SetActivePane(int row, int col, CWnd* pWnd)
{
    CWnd* pane = pWnd ? pWnd : GetPane(row, col);
    if (!pane)
        return;
    CView* view = DYNAMIC_DOWNCAST(CView, pane);
    CFrameWnd* frame = GetParentFrame();
    if (view && frame)
        frame->SetActiveView(view);
    else
        pane->SetFocus();
}

BOOL CSplitterWnd::DoKeyboardSplit()
{
    return FALSE;
}

// Layout ---------------------------------------------------------------------------------

void CSplitterWnd::LayoutRowCol(CRowColInfo* pInfoArray, int nMax, int nSize, int nSizeSplitter)
{
    if (!pInfoArray || nMax <= 0)
        return;
    nSize = std::max(0, nSize);
    for (int i = 0; i < nMax - 1; ++i) {
        CRowColInfo& info = pInfoArray[i];
        // A pane below its minimum is hidden; one that asks for more than
        // there is keeps room for the bar after it.
        int room = std::max(0, nSize - nSizeSplitter);
        info.nCurSize = info.nIdealSize < info.nMinSize ? 0 : std::min(info.nIdealSize, room);
        nSize = std::max(0, nSize - info.nCurSize - nSizeSplitter);
    }
    pInfoArray[nMax - 1].nCurSize = nSize;
}

void CSplitterWnd::DeferClientPos(HDWP& hdwp, CWnd* pWnd, int x, int y, int cx, int cy, BOOL,
                                  int cxEdge, int cyEdge)
{
    if (!pWnd || !pWnd->m_hWnd)
        return;
    CRect rect(x, y, x + std::max(0, cx), y + std::max(0, cy));
    // Sunken edges and nested splitters' borders overlap the bars.
    if (cx > 0 && cy > 0
        && ((pWnd->GetExStyle() & WS_EX_CLIENTEDGE) || pWnd->IsKindOf(RUNTIME_CLASS(CSplitterWnd))))
        rect.InflateRect(cxEdge, cyEdge);
    CRect old;
    pWnd->GetWindowRect(&old);
    ::MapWindowPoints(nullptr, ::GetParent(pWnd->m_hWnd), (LPPOINT)&old, 2);
    if (old == rect)
        return;
    if (hdwp)
        hdwp = ::DeferWindowPos(hdwp, pWnd->m_hWnd, nullptr, rect.left, rect.top, rect.Width(),
                                rect.Height(), SWP_NOACTIVATE | SWP_NOZORDER);
    if (!hdwp)
        ::SetWindowPos(pWnd->m_hWnd, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                       SWP_NOACTIVATE | SWP_NOZORDER);
}

void CSplitterWnd::GetInsideRect(CRect& rect) const
{
    ::GetClientRect(m_hWnd, &rect);
    rect.InflateRect(-m_cxBorder, -m_cyBorder);
    if (rect.right < rect.left)
        rect.right = rect.left;
    if (rect.bottom < rect.top)
        rect.bottom = rect.top;
}

void CSplitterWnd::RecalcLayout()
{
    if (!m_hWnd || !m_pColInfo || !m_pRowInfo)
        return;
    CRect inside;
    GetInsideRect(inside);
    LayoutRowCol(m_pColInfo, m_nCols, inside.Width(), m_cxSplitterGap);
    LayoutRowCol(m_pRowInfo, m_nRows, inside.Height(), m_cySplitterGap);

    HDWP hdwp = ::BeginDeferWindowPos(m_nRows * m_nCols);
    int x = inside.left;
    for (int col = 0; col < m_nCols; ++col) {
        int cx = m_pColInfo[col].nCurSize;
        int y = inside.top;
        for (int row = 0; row < m_nRows; ++row) {
            int cy = m_pRowInfo[row].nCurSize;
            DeferClientPos(hdwp, GetPane(row, col), x, y, cx, cy, FALSE, m_cxPaneEdge, m_cyPaneEdge);
            y += cy + m_cySplitterGap;
        }
        x += cx + m_cxSplitterGap;
    }
    if (hdwp)
        ::EndDeferWindowPos(hdwp);
    DrawAllSplitBars(nullptr, inside.right, inside.bottom);
}

// Bars ------------------------------------------------------------------------------------

void CSplitterWnd::GetHitRect(int ht, CRect& rect)
{
    CRect inside;
    GetInsideRect(inside);
    int col = -1, row = -1;
    if (IsColumnBar(ht))
        col = ht - hSplitterBar1;
    else if (IsRowBar(ht))
        row = ht - vSplitterBar1;
    else if (IsIntersection(ht)) {
        row = (ht - splitterIntersection1) / 15;
        col = (ht - splitterIntersection1) % 15;
    } else {
        rect.SetRectEmpty();
        return;
    }
    rect = inside;
    if (col >= 0) {
        int x = inside.left;
        for (int i = 0; i < col; ++i)
            x += m_pColInfo[i].nCurSize + m_cxSplitterGap;
        x += m_pColInfo[col].nCurSize;
        rect.left = x;
        rect.right = x + m_cxSplitterGap;
    }
    if (row >= 0) {
        int y = inside.top;
        for (int i = 0; i < row; ++i)
            y += m_pRowInfo[i].nCurSize + m_cySplitterGap;
        y += m_pRowInfo[row].nCurSize;
        rect.top = y;
        rect.bottom = y + m_cySplitterGap;
    }
}

int CSplitterWnd::HitTest(CPoint pt) const
{
    if (!m_pColInfo || !m_pRowInfo)
        return noHit;
    CRect inside;
    GetInsideRect(inside);
    if (!inside.PtInRect(pt))
        return noHit;
    int colBar = -1, rowBar = -1;
    int x = inside.left;
    for (int col = 0; col < m_nCols - 1; ++col) {
        x += m_pColInfo[col].nCurSize;
        if (pt.x >= x && pt.x < x + m_cxSplitterGap) {
            colBar = col;
            break;
        }
        x += m_cxSplitterGap;
    }
    int y = inside.top;
    for (int row = 0; row < m_nRows - 1; ++row) {
        y += m_pRowInfo[row].nCurSize;
        if (pt.y >= y && pt.y < y + m_cySplitterGap) {
            rowBar = row;
            break;
        }
        y += m_cySplitterGap;
    }
    if (colBar >= 0 && rowBar >= 0)
        return splitterIntersection1 + rowBar * 15 + colBar;
    if (colBar >= 0)
        return hSplitterBar1 + colBar;
    if (rowBar >= 0)
        return vSplitterBar1 + rowBar;
    return noHit;
}

void CSplitterWnd::DrawAllSplitBars(CDC* pDC, int cxInside, int cyInside)
{
    if (!m_pColInfo || !m_pRowInfo)
        return;
    CRect inside;
    GetInsideRect(inside);
    int x = inside.left;
    for (int col = 0; col < m_nCols - 1; ++col) {
        x += m_pColInfo[col].nCurSize;
        CRect bar(x + m_cxBorderShare, inside.top, x + m_cxBorderShare + m_cxSplitter, cyInside);
        OnDrawSplitter(pDC, splitBar, bar);
        x += m_cxSplitterGap;
    }
    int y = inside.top;
    for (int row = 0; row < m_nRows - 1; ++row) {
        y += m_pRowInfo[row].nCurSize;
        CRect bar(inside.left, y + m_cyBorderShare, cxInside, y + m_cyBorderShare + m_cySplitter);
        OnDrawSplitter(pDC, splitBar, bar);
        y += m_cySplitterGap;
    }
    if (m_cxBorder > 0 || m_cyBorder > 0) {
        CRect client;
        GetClientRect(&client);
        OnDrawSplitter(pDC, splitBorder, client);
    }
}

void CSplitterWnd::OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect)
{
    if (!pDC) {
        InvalidateRect(&rect, nType == splitBorder);
        return;
    }
    switch (nType) {
    case splitBorder: {
        CRect r = rect;
        pDC->Draw3dRect(&r, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
        if (m_cxBorder > 1 && m_cyBorder > 1) {
            r.InflateRect(-1, -1);
            pDC->Draw3dRect(&r, ::GetSysColor(COLOR_WINDOWFRAME), ::GetSysColor(COLOR_BTNFACE));
        }
        break;
    }
    default:
        pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_BTNFACE));
        break;
    }
}

void CSplitterWnd::OnInvertTracker(const CRect& rect)
{
    if (!m_hWnd || rect.IsRectEmpty())
        return;
    // Drawn over the panes: this window does not clip its children.
    HDC hdc = ::GetDCEx(m_hWnd, nullptr, DCX_CACHE);
    HGDIOBJ old = ::SelectObject(hdc, HalftoneBrush());
    ::PatBlt(hdc, rect.left, rect.top, rect.Width(), rect.Height(), PATINVERT);
    ::SelectObject(hdc, old);
    ::ReleaseDC(m_hWnd, hdc);
}

// Tracking ----------------------------------------------------------------------------------

void CSplitterWnd::SetSplitCursor(int ht)
{
    LPCWSTR cursor = IDC_ARROW;
    if (IsColumnBar(ht))
        cursor = IDC_SIZEWE;
    else if (IsRowBar(ht))
        cursor = IDC_SIZENS;
    else if (IsIntersection(ht))
        cursor = IDC_SIZEALL;
    ::SetCursor(::LoadCursorW(nullptr, cursor));
}

void CSplitterWnd::StartTracking(int ht)
{
    if (ht == noHit || m_bTracking)
        return;
    m_htTrack = ht;
    CRect inside;
    GetInsideRect(inside);
    m_bTracking2 = FALSE;
    if (IsIntersection(ht)) {
        int row = (ht - splitterIntersection1) / 15;
        int col = (ht - splitterIntersection1) % 15;
        GetHitRect(hSplitterBar1 + col, m_rectTracker);
        GetHitRect(vSplitterBar1 + row, m_rectTracker2);
        m_bTracking2 = TRUE;
    } else {
        GetHitRect(ht, m_rectTracker);
    }
    m_rectLimit = inside;
    SetCapture();
    m_bTracking = TRUE;
    OnInvertTracker(m_rectTracker);
    if (m_bTracking2)
        OnInvertTracker(m_rectTracker2);
}

void CSplitterWnd::StopTracking(BOOL bAccept)
{
    if (!m_bTracking)
        return;
    m_bTracking = FALSE;   // before releasing: the capture change comes back here
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    OnInvertTracker(m_rectTracker);
    if (m_bTracking2)
        OnInvertTracker(m_rectTracker2);
    BOOL both = m_bTracking2;
    m_bTracking2 = FALSE;
    if (!bAccept)
        return;
    int ht = m_htTrack;
    if (IsIntersection(ht)) {
        int row = (ht - splitterIntersection1) / 15;
        int col = (ht - splitterIntersection1) % 15;
        TrackColumnSize(m_rectTracker.left, col);
        if (both)
            TrackRowSize(m_rectTracker2.top, row);
    } else if (IsColumnBar(ht)) {
        TrackColumnSize(m_rectTracker.left, ht - hSplitterBar1);
    } else if (IsRowBar(ht)) {
        TrackRowSize(m_rectTracker.top, ht - vSplitterBar1);
    }
    RecalcLayout();
}

void CSplitterWnd::TrackColumnSize(int x, int col)
{
    if (col < 0 || col >= m_nCols - 1)
        return;
    CRect inside;
    GetInsideRect(inside);
    int left = inside.left;
    for (int i = 0; i < col; ++i)
        left += m_pColInfo[i].nCurSize + m_cxSplitterGap;
    int size = std::max(0, x - left);
    // Dragged below its minimum the column goes away.
    m_pColInfo[col].nIdealSize = size < m_pColInfo[col].nMinSize ? 0 : size;
}

void CSplitterWnd::TrackRowSize(int y, int row)
{
    if (row < 0 || row >= m_nRows - 1)
        return;
    CRect inside;
    GetInsideRect(inside);
    int top = inside.top;
    for (int i = 0; i < row; ++i)
        top += m_pRowInfo[i].nCurSize + m_cySplitterGap;
    int size = std::max(0, y - top);
    m_pRowInfo[row].nIdealSize = size < m_pRowInfo[row].nMinSize ? 0 : size;
}

// Messages ------------------------------------------------------------------------------------

int CSplitterWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    return CWnd::OnCreate(lpcs);
}

void CSplitterWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

void CSplitterWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect inside;
    GetInsideRect(inside);
    DrawAllSplitBars(&dc, inside.right, inside.bottom);
}

BOOL CSplitterWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (nHitTest == HTCLIENT && pWnd == this && !m_bTracking) {
        CPoint pt;
        ::GetCursorPos(&pt);
        ScreenToClient(&pt);
        SetSplitCursor(HitTest(pt));
        return TRUE;
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

void CSplitterWnd::OnMouseMove(UINT, CPoint pt)
{
    if (!m_bTracking) {
        if (::GetCapture() != m_hWnd)
            SetSplitCursor(HitTest(pt));
        return;
    }
    CPoint p = pt - m_ptTrackOffset;
    CRect rect = m_rectTracker;
    if (IsColumnBar(m_htTrack) || IsIntersection(m_htTrack)) {
        int left = std::max<int>(m_rectLimit.left, std::min<int>(p.x, m_rectLimit.right - rect.Width()));
        rect.OffsetRect(left - rect.left, 0);
    } else {
        int top = std::max<int>(m_rectLimit.top, std::min<int>(p.y, m_rectLimit.bottom - rect.Height()));
        rect.OffsetRect(0, top - rect.top);
    }
    CRect rect2 = m_rectTracker2;
    if (m_bTracking2) {
        int top = std::max<int>(m_rectLimit.top, std::min<int>(p.y, m_rectLimit.bottom - rect2.Height()));
        rect2.OffsetRect(0, top - rect2.top);
    }
    if (rect != m_rectTracker) {
        OnInvertTracker(m_rectTracker);
        m_rectTracker = rect;
        OnInvertTracker(m_rectTracker);
    }
    if (m_bTracking2 && rect2 != m_rectTracker2) {
        OnInvertTracker(m_rectTracker2);
        m_rectTracker2 = rect2;
        OnInvertTracker(m_rectTracker2);
    }
}

void CSplitterWnd::OnLButtonDown(UINT, CPoint pt)
{
    if (m_bTracking)
        return;
    StartTracking(HitTest(pt));
    if (!m_bTracking)
        return;
    // The grip point keeps its place on the bar while dragging.
    m_ptTrackOffset = CPoint(pt.x - m_rectTracker.left,
                             m_bTracking2 ? pt.y - m_rectTracker2.top : pt.y - m_rectTracker.top);
}

void CSplitterWnd::OnLButtonUp(UINT, CPoint)
{
    StopTracking(TRUE);
}

void CSplitterWnd::OnCaptureChanged(CWnd* pWnd)
{
    if (m_bTracking && (!pWnd || pWnd->m_hWnd != m_hWnd))
        StopTracking(FALSE);
    CWnd::OnCaptureChanged(pWnd);
}

void CSplitterWnd::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (m_bTracking && nChar == VK_ESCAPE)
        StopTracking(FALSE);
    else if (m_bTracking && nChar == VK_RETURN)
        StopTracking(TRUE);
    else
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
}

LRESULT CSplitterWnd::OnCancelMode(WPARAM, LPARAM)
{
    StopTracking(FALSE);
    return Default();
}

// Routing ------------------------------------------------------------------------------------

BOOL CSplitterWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // Our own entries first, without reflection: the window that finally
    // handles the command offers it to the control once.
    if (OnCmdMsg(LOWORD(wParam), lParam ? HIWORD(wParam) : CN_COMMAND, nullptr, nullptr))
        return TRUE;
    HWND parent = ::GetParent(m_hWnd);
    if (!parent)
        return FALSE;
    if (!CWnd::FromHandlePermanent(parent) && lParam) {
        LRESULT ignored = 0;
        if (ReflectToChild((HWND)lParam, WM_COMMAND, wParam, lParam, &ignored))
            return TRUE;
    }
    ::SendMessageW(parent, WM_COMMAND, wParam, lParam);
    return TRUE;
}

BOOL CSplitterWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = (NMHDR*)lParam;
    if (!pNMHDR)
        return FALSE;
    AFX_NOTIFY notify = { pResult, pNMHDR };
    if (OnCmdMsg((UINT)pNMHDR->idFrom, (int)MAKELONG(pNMHDR->code, WM_NOTIFY), &notify, nullptr))
        return TRUE;
    HWND parent = ::GetParent(m_hWnd);
    if (!parent)
        return FALSE;
    if (!CWnd::FromHandlePermanent(parent) && pNMHDR->hwndFrom
        && ReflectToChild(pNMHDR->hwndFrom, WM_NOTIFY, wParam, lParam, pResult))
        return TRUE;
    *pResult = ::SendMessageW(parent, WM_NOTIFY, wParam, lParam);
    return TRUE;
}
