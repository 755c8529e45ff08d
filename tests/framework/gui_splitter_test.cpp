// Static splitters: a 1 x 2 splitter whose right pane is a 2 x 1 splitter,
// as the program's main frame has them. Layout from ideal and minimum sizes,
// dragging the bars, and the panes' notifications reaching the frame.
#include <gtest/gtest.h>

#include "framework/Frame.h"
#include "framework/Ids.h"
#include "framework/Splitter.h"
#include "framework/TreeCtrl.h"
#include "framework/View.h"
#include "tests/support/Pixels.h"

namespace {

const UINT ID_PANE_COMMAND = 5001;
const UINT kLowerPaneId = AFX_IDW_PANE_FIRST + 16;   // row 1, column 0 of the inner splitter

// Exposes the protected metrics and hit testing.
class CTestSplitter : public CSplitterWnd {
public:
    int GapX() const { return m_cxSplitterGap; }
    int GapY() const { return m_cySplitterGap; }
    CRect Inside() const
    {
        CRect rc;
        GetInsideRect(rc);
        return rc;
    }
    int Hit(CPoint pt) const { return HitTest(pt); }
    void SetPaneEdge(int edge) { m_cxPaneEdge = m_cyPaneEdge = edge; }
    CRect ColumnBar(int col)
    {
        CRect rc;
        GetHitRect(hSplitterBar1 + col, rc);
        return rc;
    }
    CRect RowBar(int row)
    {
        CRect rc;
        GetHitRect(vSplitterBar1 + row, rc);
        return rc;
    }
    static constexpr int kColumnBar1 = hSplitterBar1;
    static constexpr int kRowBar1 = vSplitterBar1;
    static constexpr int kNoHit = noHit;
};

class CPaneView : public CView {
    DECLARE_DYNCREATE(CPaneView)
public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CPaneView, CView)

class CPaneTree : public CTreeView {
    DECLARE_DYNCREATE(CPaneTree)
public:
    int prePaints = 0;
    int itemPrePaints = 0;
protected:
    afx_msg void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
    {
        auto* cd = reinterpret_cast<NMTVCUSTOMDRAW*>(pNMHDR);
        if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) {
            ++prePaints;
            *pResult = CDRF_NOTIFYITEMDRAW;
        } else {
            if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT)
                ++itemPrePaints;
            *pResult = CDRF_DODEFAULT;
        }
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CPaneTree, CTreeView)
BEGIN_MESSAGE_MAP(CPaneTree, CTreeView)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, &CPaneTree::OnCustomDraw)
END_MESSAGE_MAP()

class CSplitFrame : public CFrameWnd {
public:
    CTestSplitter outer;
    CTestSplitter inner;
    int upperSelChanges = 0;
    int lowerSelChanges = 0;
    HTREEITEM selected = nullptr;
    int frameCustomDraws = 0;
    int paneCommands = 0;
protected:
    afx_msg void OnTreeSelChanged(NMHDR* pNMHDR, LRESULT* pResult)
    {
        ++upperSelChanges;
        selected = reinterpret_cast<NMTREEVIEWW*>(pNMHDR)->itemNew.hItem;
        *pResult = 0;
    }
    afx_msg void OnLowerSelChanged(NMHDR*, LRESULT*) { ++lowerSelChanges; }
    afx_msg void OnCustomDraw(NMHDR*, LRESULT*) { ++frameCustomDraws; }
    afx_msg void OnPaneCommand() { ++paneCommands; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CSplitFrame, CFrameWnd)
    ON_NOTIFY(TVN_SELCHANGEDW, AFX_IDW_PANE_FIRST, &CSplitFrame::OnTreeSelChanged)
    ON_NOTIFY(TVN_SELCHANGEDW, kLowerPaneId, &CSplitFrame::OnLowerSelChanged)
    ON_NOTIFY(NM_CUSTOMDRAW, AFX_IDW_PANE_FIRST, &CSplitFrame::OnCustomDraw)
    ON_COMMAND(ID_PANE_COMMAND, &CSplitFrame::OnPaneCommand)
END_MESSAGE_MAP()

// Frame 600 x 400: tree (200 wide) | upper view (150 high) over a lower tree.
struct Panes {
    CSplitFrame* frame = new CSplitFrame;

    Panes()
    {
        EXPECT_TRUE(frame->CreateEx(0, nullptr, L"split", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400,
                                    nullptr, nullptr));
        CCreateContext context;
        EXPECT_TRUE(frame->outer.CreateStatic(frame, 1, 2));
        EXPECT_TRUE(frame->outer.CreateView(0, 0, RUNTIME_CLASS(CPaneTree), CSize(200, 300), &context));
        EXPECT_TRUE(frame->inner.CreateStatic(&frame->outer, 2, 1, WS_CHILD | WS_VISIBLE,
                                              frame->outer.IdFromRowCol(0, 1)));
        EXPECT_TRUE(frame->inner.CreateView(0, 0, RUNTIME_CLASS(CPaneView), CSize(500, 150), &context));
        EXPECT_TRUE(frame->inner.CreateView(1, 0, RUNTIME_CLASS(CPaneTree), CSize(0, 0), &context));
        frame->RecalcLayout();
    }
    ~Panes()
    {
        if (::IsWindow(frame->m_hWnd))
            frame->DestroyWindow();
    }
    CPaneTree* Tree() const { return static_cast<CPaneTree*>(frame->outer.GetPane(0, 0)); }
    CWnd* Upper() const { return frame->inner.GetPane(0, 0); }
    CPaneTree* Lower() const { return static_cast<CPaneTree*>(frame->inner.GetPane(1, 0)); }
    // A window's rectangle in its parent's client coordinates.
    static CRect InParent(CWnd* wnd)
    {
        CRect rc;
        wnd->GetWindowRect(&rc);
        ::MapWindowPoints(nullptr, ::GetParent(wnd->m_hWnd), (LPPOINT)&rc, 2);
        return rc;
    }
    static int Column(CSplitterWnd& s, int col)
    {
        int cur = 0, min = 0;
        s.GetColumnInfo(col, cur, min);
        return cur;
    }
    static int Row(CSplitterWnd& s, int row)
    {
        int cur = 0, min = 0;
        s.GetRowInfo(row, cur, min);
        return cur;
    }
};

TEST(Splitter, NestedStaticSplittersLayOutTheirPanes)
{
    Panes p;
    CTestSplitter& outer = p.frame->outer;
    CTestSplitter& inner = p.frame->inner;
    EXPECT_EQ(::GetDlgCtrlID(outer.m_hWnd), AFX_IDW_PANE_FIRST);
    EXPECT_EQ(outer.GetPane(0, 1), &inner);
    EXPECT_EQ(inner.IdFromRowCol(1, 0), (int)kLowerPaneId);
    ASSERT_NE(p.Tree(), nullptr);
    ASSERT_NE(p.Upper(), nullptr);
    ASSERT_NE(p.Lower(), nullptr);
    EXPECT_TRUE(p.Tree()->IsKindOf(RUNTIME_CLASS(CTreeView)));
    EXPECT_EQ(outer.GetRowCount(), 1);
    EXPECT_EQ(inner.GetRowCount(), 2);

    // The outer splitter fills the frame; columns and rows from the ideal sizes.
    CRect client;
    p.frame->GetClientRect(&client);
    EXPECT_EQ(Panes::InParent(&outer), client);
    EXPECT_EQ(Panes::Column(outer, 0), 200);
    EXPECT_EQ(Panes::Column(outer, 1), outer.Inside().Width() - 200 - outer.GapX());
    EXPECT_EQ(Panes::Row(outer, 0), outer.Inside().Height());
    EXPECT_EQ(Panes::Row(inner, 0), 150);
    EXPECT_EQ(Panes::Row(inner, 1), inner.Inside().Height() - 150 - inner.GapY());

    // Panes sit side by side without overlapping, inside their splitters.
    CRect tree = Panes::InParent(p.Tree());
    CRect right = Panes::InParent(&inner);
    EXPECT_LT(tree.right, right.left);
    EXPECT_GE(tree.left, 0);
    EXPECT_LE(right.right, client.right);
    CRect upper = Panes::InParent(p.Upper());
    CRect lower = Panes::InParent(p.Lower());
    EXPECT_LT(upper.bottom, lower.top);
    EXPECT_EQ(upper.left, lower.left);
    EXPECT_EQ(upper.Width(), lower.Width());

    // The bars are found where the layout put them.
    CRect bar = outer.ColumnBar(0);
    EXPECT_EQ(bar.left, outer.Inside().left + 200);
    EXPECT_EQ(outer.Hit(bar.CenterPoint()), CTestSplitter::kColumnBar1);
    EXPECT_EQ(outer.Hit(CPoint(50, 50)), CTestSplitter::kNoHit);
    EXPECT_EQ(inner.Hit(inner.RowBar(0).CenterPoint()), CTestSplitter::kRowBar1);

    // Sunken-edged panes reach over the bars by the pane edge.
    EXPECT_EQ(tree.Width(), 200 + 2 * 2);
    outer.SetPaneEdge(1);
    outer.RecalcLayout();
    EXPECT_EQ(Panes::InParent(p.Tree()).Width(), 200 + 2 * 1);
    EXPECT_EQ(Panes::InParent(&inner).left, outer.Inside().left + 200 + outer.GapX() - 1);
}

TEST(Splitter, RowsBelowTheirMinimumOrSetToZeroCollapse)
{
    Panes p;
    CTestSplitter& inner = p.frame->inner;
    int height = inner.Inside().Height();

    inner.SetRowInfo(0, 0, 0);
    inner.RecalcLayout();
    EXPECT_EQ(Panes::Row(inner, 0), 0);
    EXPECT_EQ(Panes::Row(inner, 1), height - inner.GapY());
    EXPECT_EQ(Panes::InParent(p.Upper()).Height(), 0);
    EXPECT_GT(Panes::InParent(p.Lower()).Height(), height - inner.GapY());

    // An ideal size under the minimum hides the row too.
    inner.SetRowInfo(0, 50, 80);
    inner.RecalcLayout();
    EXPECT_EQ(Panes::Row(inner, 0), 0);
    int cur = 0, min = 0;
    inner.GetRowInfo(0, cur, min);
    EXPECT_EQ(min, 80);
    inner.SetRowInfo(0, 120, 80);
    inner.RecalcLayout();
    EXPECT_EQ(Panes::Row(inner, 0), 120);

    // A first column asking for everything leaves the bar reachable.
    CTestSplitter& outer = p.frame->outer;
    outer.SetColumnInfo(0, 5000, 0);
    outer.RecalcLayout();
    EXPECT_EQ(Panes::Column(outer, 0), outer.Inside().Width() - outer.GapX());
    EXPECT_EQ(Panes::Column(outer, 1), 0);
    CRect bar = outer.ColumnBar(0);
    EXPECT_LE(bar.right, outer.Inside().right);
    EXPECT_EQ(outer.Hit(bar.CenterPoint()), CTestSplitter::kColumnBar1);
}

void Drag(CWnd& wnd, CPoint from, CPoint to)
{
    wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    wnd.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((from.x + to.x) / 2, (from.y + to.y) / 2));
    wnd.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    wnd.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
}

TEST(Splitter, DraggingABarResizesItsColumnOrRow)
{
    Panes p;
    CTestSplitter& outer = p.frame->outer;
    CPoint grip = outer.ColumnBar(0).CenterPoint();

    outer.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grip.x, grip.y));
    EXPECT_EQ(::GetCapture(), outer.m_hWnd);
    outer.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grip.x + 50, grip.y + 30));
    EXPECT_EQ(Panes::Column(outer, 0), 200);   // sizes change on release
    outer.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(grip.x + 50, grip.y + 30));
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(Panes::Column(outer, 0), 250);
    EXPECT_EQ(Panes::InParent(p.Tree()).right, Panes::InParent(p.Tree()).left + 250 + 4);

    // Escape cancels a drag.
    grip = outer.ColumnBar(0).CenterPoint();
    outer.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grip.x, grip.y));
    outer.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grip.x - 100, grip.y));
    outer.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(::GetCapture(), nullptr);
    outer.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(grip.x - 100, grip.y));
    EXPECT_EQ(Panes::Column(outer, 0), 250);

    // Dragged past the edge, the bar stops inside the splitter.
    Drag(outer, outer.ColumnBar(0).CenterPoint(), CPoint(5000, 10));
    EXPECT_EQ(Panes::Column(outer, 0), outer.Inside().Width() - outer.GapX());
    Drag(outer, outer.ColumnBar(0).CenterPoint(), CPoint(-300, 10));
    EXPECT_EQ(Panes::Column(outer, 0), 0);

    // The inner splitter's row bar.
    CTestSplitter& inner = p.frame->inner;
    CPoint rowGrip = inner.RowBar(0).CenterPoint();
    Drag(inner, rowGrip, rowGrip + CPoint(0, -40));
    EXPECT_EQ(Panes::Row(inner, 0), 110);
    EXPECT_EQ(Panes::Row(inner, 1), inner.Inside().Height() - 110 - inner.GapY());

    // A press away from the bars starts nothing.
    inner.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rowGrip.x, 5));
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST(Splitter, PaneNotificationsReachTheFrameWithThePaneId)
{
    Panes p;
    CTreeCtrl& tree = p.Tree()->GetTreeCtrl();
    HTREEITEM root = tree.InsertItem(L"D:\\藏书库");
    HTREEITEM child = tree.InsertItem(L"0001_新文章.xml", root);
    ASSERT_NE(child, nullptr);
    tree.SelectItem(child);
    EXPECT_EQ(p.frame->upperSelChanges, 1);
    EXPECT_EQ(p.frame->selected, child);
    EXPECT_EQ(p.frame->lowerSelChanges, 0);

    // Two splitters deep, with the lower pane's own id.
    CTreeCtrl& lowerTree = p.Lower()->GetTreeCtrl();
    lowerTree.SelectItem(lowerTree.InsertItem(L"写小说"));
    EXPECT_EQ(p.frame->lowerSelChanges, 1);
    EXPECT_EQ(p.frame->upperSelChanges, 1);

    // Custom draw is reflected to the tree itself and stops there.
    p.Tree()->Invalidate();
    p.Tree()->UpdateWindow();
    EXPECT_GT(p.Tree()->prePaints, 0);
    EXPECT_GT(p.Tree()->itemPrePaints, 0);
    EXPECT_EQ(p.frame->frameCustomDraws, 0);

    // Commands sent to a splitter go on to the frame.
    p.frame->inner.SendMessage(WM_COMMAND, ID_PANE_COMMAND, 0);
    EXPECT_EQ(p.frame->paneCommands, 1);
}

TEST(Splitter, ActivePaneFollowsTheFramesActiveView)
{
    Panes p;
    CTestSplitter& outer = p.frame->outer;
    CTestSplitter& inner = p.frame->inner;
    inner.SetActivePane(0, 0);
    EXPECT_EQ(p.frame->GetActiveView(), p.Upper());
    int row = -1, col = -1;
    EXPECT_EQ(inner.GetActivePane(&row, &col), p.Upper());
    EXPECT_EQ(row, 0);
    EXPECT_EQ(col, 0);
    EXPECT_EQ(outer.GetActivePane(), nullptr);

    outer.SetActivePane(0, 0);
    EXPECT_EQ(p.frame->GetActiveView(), p.Tree());
    EXPECT_EQ(outer.GetActivePane(&row, &col), p.Tree());
    EXPECT_EQ(inner.GetActivePane(), nullptr);
}

} // namespace
