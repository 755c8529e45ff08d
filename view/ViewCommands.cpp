// The pane's own scrolling (wheel and scroll bars), full screen, and the
// commands that change the page's decorations without touching the article.
#include "view/ImportView.h"

#include <algorithm>

#include "app/DisplaySettings.h"
#include "res/resource.h"
#include "settings/CodeCorlorDlg.h"

namespace {

const int kWheelStep = 25;      // pixels per wheel notch, before the framework's lines
const int kArrowStep = 10;      // pixels per scroll-bar arrow click, likewise

// The picks of every block of the article: slot 0 side bar, 1 line rule,
// 2 paragraph separator; -1 has painting draw them again.
void ResetPicks(ChunkNode* node, int slot)
{
    for (; node; node = node->WalkNext()) {
        node->nPick[slot] = -1;
        if (node->IsContainer())
            ResetPicks(node->pFirstChild, slot);
    }
}

} // namespace

// ---------------------------------------------------------------- scrolling

CSize CImportView::DefaultLineSize() const
{
    const int line = std::max(1, m_nTextSize + m_nRow);
    return CSize(line, line);
}

BOOL CImportView::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
{
    if (!(GetStyle() & WS_VSCROLL))
        return FALSE;
    const int d = zDelta;
    int step;
    if (d < 1) {
        step = (d / WHEEL_DELTA) * kWheelStep;
        m_nScrollDown = 1;
    } else {
        step = (d * kWheelStep) / WHEEL_DELTA;
        m_nScrollDown = 0;
    }
    const CPoint pos = GetScrollPosition();
    // ScrollToPosition keeps the position between 0 and the bottom.
    ScrollToPosition(CPoint(pos.x, pos.y - step));
    Invalidate(TRUE);
    return CScrollView::OnMouseWheel(nFlags, zDelta, pt);
}

void CImportView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    const CPoint pos = GetScrollPosition();
    int y = pos.y;
    switch (nSBCode) {
    case SB_LINEUP:
        y -= kArrowStep;
        m_nScrollDown = 0;
        break;
    case SB_LINEDOWN:
        y += kArrowStep;
        m_nScrollDown = 1;
        break;
    case SB_THUMBTRACK: {
        // The message carries 16 bits of the position; longer articles read the bar.
        int track = (int)nPos;
        SCROLLINFO si = {};
        si.cbSize = sizeof(si);
        if (GetTotalSize().cy > 0xFFFF && GetScrollInfo(SB_VERT, &si, SIF_TRACKPOS))
            track = si.nTrackPos;
        if (track > y)
            m_nScrollDown = 1;
        else if (track < y)
            m_nScrollDown = 0;
        y = track;
        break;
    }
    default:
        break;
    }
    if (y != pos.y)
        ScrollToPosition(CPoint(pos.x, y));
    Invalidate(TRUE);
    CScrollView::OnVScroll(nSBCode, nPos, pScrollBar);
}

void CImportView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    Invalidate(TRUE);
    CScrollView::OnHScroll(nSBCode, nPos, pScrollBar);
}

// ---------------------------------------------------------------- full screen

void CImportView::ToggleFullScreen()
{
    CWnd* top = GetTopLevelParent();
    if (m_bFullScreen) {
        m_bFullScreen = 0;
        if (top)
            top->SendMessage(WM_FRAME_FULL_SCREEN, 0, 0);
        GetClientRect(&m_rcClient);
        m_nLeftMargin = LeftMarginFor(m_rcClient.Width());
    } else {
        m_bFullScreen = 1;
        if (top)
            top->SendMessage(WM_FRAME_FULL_SCREEN, 1, 0);
        CRect window;
        GetWindowRect(&window);
        // No lower bound here: the page may start left of the screen.
        m_nLeftMargin = (window.Width() - DisplaySettings.nPageWidth -
                         GetSystemMetrics(SM_CXVSCROLL)) / 2 - 20;
    }
    m_nScrollDown = 0;
    if (m_pRoot) {
        Relayout(m_pRoot, 0);
        UpdateGeometry(m_pRoot, 0);
    }
    Invalidate(TRUE);
}

// ---------------------------------------------------------------- backgrounds

bool CImportView::StepBackground(int delta)
{
    DisplaySettingsBlock& ds = DisplaySettings;
    const int listed = (int)ds.BackgroundSet.vecFiles.size();
    if (ds.Count <= 0 || listed == 0)
        return false;
    int& index = IsUpperPane() ? ds.Index0 : ds.Index1;
    index += delta;
    if (index >= ds.Count)
        index = 0;
    else if (index < 0)
        index = ds.Count - 1;
    // Count comes from the preset file and may disagree with the folder:
    // an index past the list wraps inside it.
    if (index < 0 || index >= listed)
        index = ((index % listed) + listed) % listed;
    CString path;
    path.Format(L"%s\\%s", ds.BackgroundSet.strFolder.GetString(),
                ds.BackgroundSet.vecFiles[(size_t)index].GetString());
    m_strBackgroundPicture = path;
    ds.strBackgroundFile = path;
    InvalidateWithColorDialog();
    return true;
}

void CImportView::NextBackground()
{
    // On a code line the key widens the code characters instead.
    if (m_pCurLine && m_pCurLine->nCode) {
        IncreaseCharWidth();
        return;
    }
    StepBackground(+1);
}

void CImportView::PrevBackground()
{
    if (m_pCurLine && m_pCurLine->nCode) {
        DecreaseCharWidth();
        return;
    }
    StepBackground(-1);
}

// ---------------------------------------------------------------- random decorations

void CImportView::InvalidateWithColorDialog()
{
    if (m_pColorDlg && m_pColorDlg->m_hWnd)
        m_pColorDlg->Invalidate(TRUE);
    if (m_hWnd)
        Invalidate(TRUE);
}

void CImportView::RandomizeVerticalBars()
{
    if (!m_pRoot)
        return;
    DisplaySettingsBlock& ds = DisplaySettings;
    ds.nVerticalMode = -1;
    (IsUpperPane() ? ds.nWholeLR0 : ds.nWholeLR1) = -1;
    ResetPicks(m_pRoot->pFirstChild, 0);
    InvalidateWithColorDialog();
}

void CImportView::RandomizeHorizontalBars()
{
    if (!m_pRoot)
        return;
    DisplaySettingsBlock& ds = DisplaySettings;
    switch (ds.nSelect) {
    case 0:
        ds.nBiaozhu = ds.nBiaozhu % 20 + 2;
        break;
    case 1:
    case 2:
    case 3:
        if (ds.nSelect != 2) {
            ds.nLineMode = -1;
            ResetPicks(m_pRoot->pFirstChild, 1);
        }
        if (ds.nSelect != 1) {
            ds.nPramMode = -1;
            ResetPicks(m_pRoot->pFirstChild, 2);
        }
        break;
    case 4:
        (IsUpperPane() ? ds.nWholeTB0 : ds.nWholeTB1) = -1;
        break;
    default:
        break;
    }
    InvalidateWithColorDialog();
}

void CImportView::OnRandomVerticalBar()
{
    RandomizeVerticalBars();
}

void CImportView::OnRandomHorizontalBar()
{
    RandomizeHorizontalBars();
}

// ---------------------------------------------------------------- colour dialog

void CImportView::ShowColorDialog()
{
    if (!m_pColorDlg) {
        m_pColorDlg = new CCodeCorlorDlg(nullptr);
        m_pColorDlg->LoadSettings();
        if (!m_pColorDlg->Create(IDD_COLOR_SETTINGS)) {
            delete m_pColorDlg;
            m_pColorDlg = nullptr;
            return;
        }
        m_pColorDlg->ShowWindow(SW_SHOW);
        m_pColorDlg->m_pView = this;
        return;
    }
    // The controls keep what they showed; the members follow the settings.
    m_pColorDlg->LoadSettings();
    m_pColorDlg->ShowInFront();
}
