// The pane's input: typed characters, caret keys, Delete, the mouse and the
// caret itself. The work is done by the article model; these handlers turn
// messages into calls and redraw.
#include "view/ImportView.h"

#include <algorithm>

#include "app/DisplaySettings.h"

namespace {

// Units an input method sends that are not inserted from its message.
bool IsImeSkipped(wchar_t u)
{
    return u == 0x0040 || u == 0x0025 || u == 0xFF20 || u == 0xFF05;
}

// Typed units that become text: printable ones and Enter. Tab is OnChar's.
bool IsTypedText(wchar_t u)
{
    return (u >= 32 && u != 127) || u == kLineEnd;
}

const int kCaretWidth = 2;

} // namespace

// ---------------------------------------------------------------- coordinates

CPoint CImportView::ClientToDocument(CPoint pt)
{
    CClientDC dc(this);
    OnPrepareDC(&dc);
    dc.DPtoLP(&pt);
    return pt;
}

CPoint CImportView::DocumentToClient(CPoint pt)
{
    CClientDC dc(this);
    OnPrepareDC(&dc);
    dc.LPtoDP(&pt);
    return pt;
}

CPoint CImportView::DragPointToDocument(CPoint client)
{
    const CPoint doc = ClientToDocument(client);
    if (!m_bPressed)
        return doc;
    // Only the scroll the press itself made (the caret brought into view)
    // is taken back; wheel and scroll bar during the drag count.
    return doc - (m_ptPressScroll - m_ptPressScrollBefore);
}

int CImportView::GetVScrollPos()
{
    return GetScrollPosition().y;
}

void CImportView::ScrollVertBy(int dy)
{
    if (!m_hWnd || !m_nMapMode)
        return;
    CPoint pos = GetScrollPosition();
    ScrollToPosition(CPoint(pos.x, pos.y + dy));
    Invalidate(TRUE);
}

// ---------------------------------------------------------------- caret

void CImportView::UpdateCaret()
{
    // The caret belongs to the pane with the keyboard focus; another pane must
    // not destroy it.
    if (!m_hWnd || ::GetFocus() != m_hWnd)
        return;
    ::HideCaret(m_hWnd);
    ::DestroyCaret();
    if (!m_pRoot || !m_pCurLine || m_pCurLine->nType != kNodeLine || !m_pCurItem)
        return;
    int height = (int)(m_pCurItem->bottom - m_pCurItem->top);
    if (height <= 0)
        height = m_pCurItem->size > 0 ? m_pCurItem->size : m_nTextSize;
    CreateSolidCaret(kCaretWidth, height);

    const CPoint doc((int)m_pCurItem->left, (int)m_pCurItem->top);
    CPoint pt = DocumentToClient(doc);
    CRect client;
    GetClientRect(&client);
    if (m_nMapMode) {
        // Keep the caret inside the window: vertically first, then across.
        // Its bottom counts, or walking down with the arrow keys would leave
        // the caret line cut by the window's lower edge.
        // Bars across the top and bottom hide the lines under them: the
        // painter leaves those out, so the caret's line stays between them.
        int top = 0, limit = 0, bottom = pt.y + height;
        CaretBand(client, top, limit);
        if (IsUpperPane() && DisplaySettings.bWholeBottom)
            bottom = std::max(bottom, (int)DocumentToClient(CPoint(0, m_pCurLine->bottom)).y);
        CPoint pos = GetScrollPosition();
        CPoint want = pos;
        if (bottom > limit)
            want.y += bottom - limit;
        else if (pt.y < top)
            want.y += pt.y - top;
        if (pt.x > client.right - 33)
            want.x += pt.x - client.right + 33;
        else if (pt.x < 5)
            want.x += pt.x - 5;
        if (want != pos) {
            ScrollToPosition(want);
            Invalidate(TRUE);
        }
    }
    pt = DocumentToClient(doc);
    SetCaretPos(pt);
    ShowCaret();
}

void CImportView::CaretBand(const CRect& client, int& top, int& limit)
{
    top = DisplaySettings.bWholeTop ? m_nPageTop : 5;
    limit = client.bottom - 8;
    if (IsUpperPane() && DisplaySettings.bWholeBottom)
        limit = std::min(limit, (int)client.bottom - m_nPageTop);
}

void CImportView::OnSetFocus(CWnd* pOldWnd)
{
    CScrollView::OnSetFocus(pOldWnd);
    // The keyboard comes back (a click, a closed dialog) to a page scrolled
    // away from the caret: the page stays where it is shown and the caret
    // comes into it, so a click acts where the user looks.
    if (m_pRoot && m_nMapMode) {
        CRect client;
        GetClientRect(&client);
        int top = 0, limit = 0;
        CaretBand(client, top, limit);
        const int y = GetScrollPosition().y;
        if (PlaceCaretInBand(y + top, y + limit))
            InvalidateView(false);
    }
    UpdateCaret();
}

void CImportView::OnKillFocus(CWnd* pNewWnd)
{
    m_bPressed = false;
    ::HideCaret(m_hWnd);
    ::DestroyCaret();
    CScrollView::OnKillFocus(pNewWnd);
}

// ---------------------------------------------------------------- typing

LRESULT CImportView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CHAR) {
        const wchar_t u = (wchar_t)wParam;
        // The default processing of an input-method character posts it back
        // as WM_CHAR; that copy was typed already (or skipped on purpose).
        if (!m_imeEchoes.empty() && m_imeEchoes.front() == u)
            m_imeEchoes.pop_front();
        else
            TypeUnit(u);
    } else if (message == WM_IME_CHAR) {
        const wchar_t u = (wchar_t)wParam;
        // Units below 256 come back as WM_CHAR and are typed from there.
        if (u >= 256) {
            if (m_imeEchoes.size() >= kMaxImeEchoes)
                m_imeEchoes.pop_front();
            m_imeEchoes.push_back(u);
            if (IsImeSkipped(u))
                m_chPending[0] = m_chPending[1] = 0;
            else
                TypeUnit(u);
        }
    }
    return CScrollView::WindowProc(message, wParam, lParam);
}

void CImportView::TypeUnit(wchar_t u)
{
    if (IsLowSurrogate(u)) {
        // Only the low half of a waiting high surrogate makes a character.
        if (IsHighSurrogate(m_chPending[0])) {
            m_chPending[1] = u;
            InsertTypedChar(m_chPending);
        }
        m_chPending[0] = m_chPending[1] = 0;
        return;
    }
    // Anything else ends a wait for a low surrogate: the high one is dropped.
    m_chPending[0] = m_chPending[1] = 0;
    if (IsHighSurrogate(u)) {
        m_chPending[0] = u;
    } else if (IsTypedText(u)) {
        const wchar_t units[2] = {u, 0};
        InsertTypedChar(units);
    }
}

void CImportView::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (m_pRoot && m_pCurLine) {
        m_bModified = 1;
        if (nChar == 8) {
            if (HasSelection())
                DeleteSelection();
            else
                DeletePrevChar();
            if (!bImporting) {
                UpdateCaret();
                Invalidate(TRUE);
            }
        } else if (nChar == 9) {
            InsertTypedChar(L" ");
            if (!bImporting) {
                UpdateCaret();
                Invalidate(TRUE);
            }
        }
        if (!m_arrSelection.IsEmpty()) {
            ClearSelection();
            InvalidateView(false);
        }
    }
    CScrollView::OnChar(nChar, nRepCnt, nFlags);
}

void CImportView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    switch (nChar) {
    case VK_DELETE:
        // Delete only removes a selection.
        if (!m_pRoot || !HasSelection())
            return;
        m_bModified = 1;
        DeleteSelection();
        Redraw();
        break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        if (m_pRoot && m_pCurLine) {
            if (nChar == VK_LEFT)
                MoveCaretLeft();
            else if (nChar == VK_RIGHT)
                MoveCaretRight();
            else if (nChar == VK_UP)
                MoveCaretUp();
            else
                MoveCaretDown();
            ClearSelection();
            UpdateCaret();
            // Selection marks and the code painter's caret pairs follow the caret.
            InvalidateView(false);
        }
        break;
    default:
        break;
    }
    CScrollView::OnKeyDown(nChar, nRepCnt, nFlags);
}

// ---------------------------------------------------------------- mouse

void CImportView::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_arrLegacyBlocks.RemoveAll();
    m_arrLegacyLines.RemoveAll();
    const CPoint doc = ClientToDocument(point);
    m_ptPressScrollBefore = m_ptPressScroll = GetScrollPosition();
    HoldPress();
    if (!m_pRoot)
        return;
    const bool hit = PlaceCaretAt(doc.x, doc.y);
    const bool hadSelection = !m_arrSelection.IsEmpty();
    ClearSelection();
    if ((hit || hadSelection) && !bImporting) {
        UpdateCaret();
        Invalidate(TRUE);
    }
    m_ptPressScroll = GetScrollPosition();
    CScrollView::OnLButtonDown(nFlags, point);
}

void CImportView::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    // The second press of the click: in the coordinates of the first one,
    // which may have scrolled the caret into view.
    HoldPress();
    if (m_pRoot) {
        const CPoint doc = DragPointToDocument(point);
        const bool hadSelection = !m_arrSelection.IsEmpty();
        if (SelectAtDoubleClick(doc.x, doc.y) || hadSelection)
            Invalidate(TRUE);
    }
    CScrollView::OnLButtonDblClk(nFlags, point);
}

void CImportView::HoldPress()
{
    m_bPressed = true;
    // The release comes here wherever the pointer is by then.
    if (::GetCapture() != m_hWnd)
        SetCapture();
}

void CImportView::OnMouseMove(UINT nFlags, CPoint point)
{
    if (nFlags == MK_LBUTTON && m_pRoot && m_pCurLine) {
        // A guide from the caret to the pointer, drawn straight onto the window;
        // the next paint takes it away.
        const CPoint doc = DragPointToDocument(point);
        const ChunkNode* line = m_pCurLine;
        CClientDC dc(this);
        OnPrepareDC(&dc);
        CPen pen(PS_DASH, 6, RGB(200, 0, 0));
        CPen* old = dc.SelectObject(&pen);
        ::HideCaret(m_hWnd);
        const bool inside = doc.x >= line->x && doc.x <= line->right && doc.y >= line->y &&
                            doc.y <= line->bottom;
        if (!inside) {
            dc.MoveTo(line->x, line->y);
            dc.LineTo(doc);
        } else if (m_pCurItem) {
            CharItem* under = ItemAtPoint(doc.x, m_pCurLine);
            if (under) {
                dc.MoveTo((int)m_pCurItem->left, (int)m_pCurItem->bottom);
                dc.LineTo((int)under->left, (int)under->bottom);
            }
        }
        ::ShowCaret(m_hWnd);
        dc.SelectObject(old);
    }
    CScrollView::OnMouseMove(nFlags, point);
}

void CImportView::OnLButtonUp(UINT nFlags, CPoint point)
{
    const CPoint doc = DragPointToDocument(point);
    m_bPressed = false;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (m_pRoot && m_pCurLine) {
        SelectToPoint(doc.x, doc.y);
        if (!bImporting) {
            UpdateCaret();
            Invalidate(TRUE);
        }
    }
    CScrollView::OnLButtonUp(nFlags, point);
}

void CImportView::OnCaptureChanged(CWnd*)
{
    // Capture taken away (a dialog, another window): the drag is over.
    m_bPressed = false;
}

void CImportView::OnContextMenu(CWnd* pWnd, CPoint point)
{
    // The caret moves to the click as with the left button; the selection stays.
    if (m_pRoot && !(point.x == -1 && point.y == -1)) {
        CPoint client = point;
        ScreenToClient(&client);
        const CPoint doc = ClientToDocument(client);
        if (PlaceCaretAt(doc.x, doc.y)) {
            if (m_pCurLine->nType == kNodeLegacy)
                m_arrLegacyBlocks.Add(m_pCurLine);
            UpdateCaret();
        }
    }
    CScrollView::OnContextMenu(pWnd, point);
}

// ---------------------------------------------------------------- selection commands

void CImportView::SelectAll()
{
    if (!m_pRoot)
        return;
    SelectAllItems(!IsUpperPane());
    Invalidate(TRUE);
}

void CImportView::ExtendSelectionBack()
{
    if (!m_pRoot)
        return;
    StepSelectionBack();
    Redraw();
}

void CImportView::ExtendSelectionForward()
{
    if (!m_pRoot)
        return;
    StepSelectionForward();
    Redraw();
}
