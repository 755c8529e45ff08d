// Saving in every way the frame saves (command, timer, switch, close), what
// happens when a save fails, selections made while a message is shown, full
// screen, the collapsible splitter and the tree's painting.
#include "AppTestUtil.h"
#include "tests/support/Pixels.h"

using namespace apptest;

namespace {

class SaveTest : public AppTest {
protected:
    // Puts a folder where the article file belongs, so writing it fails.
    void BlockFile(const wchar_t* relative)
    {
        CString path = InLibrary(relative);
        DeleteFileW(path);
        ASSERT_TRUE(CreateDirectoryW(path, nullptr));
    }
    void UnblockFile(const wchar_t* relative) { RemoveDirectoryW(InLibrary(relative)); }
};
class WindowTest : public AppTest {};

// A tree item clicked by the real mouse, once or more.
void ClickItem(CTreeCtrl& tree, HTREEITEM item, int clicks = 1)
{
    CRect r;
    tree.GetItemRect(item, &r, TRUE);
    CPoint pt = r.CenterPoint();
    tree.ClientToScreen(&pt);
    ClickAt(pt, clicks);
}

// A splitter's button pressed and let go by the real mouse.
void PressButton(CXSplitterWnd& splitter, DWORD down, DWORD up)
{
    CRect button;
    splitter.GetButtonRect(button);
    CPoint pt = button.CenterPoint();
    splitter.ClientToScreen(&pt);
    MouseAt(pt, down);
    MouseAt(pt, up);
}

// ---------------------------------------------------------------- saving

TEST_F(SaveTest, TheTimerSavesModifiedPanesOnlyForItsOwnId)
{
    MakeArticle(L"0001_a.xml", L"原");
    Start();
    Select(Item({L"0001_a.xml"}));
    TypeIntoPane(Upper(), L"改");
    frame->PostMessage(WM_TIMER, 7, 0);
    Pump();
    EXPECT_EQ(Upper()->m_bModified, 1);
    EXPECT_EQ(FileText(InLibrary(L"0001_a.xml")), L"原");

    frame->PostMessage(WM_TIMER, CMainFrame::kAutoSaveTimer, 0);
    Pump();
    EXPECT_EQ(Upper()->m_bModified, 0);
    EXPECT_EQ(FileText(InLibrary(L"0001_a.xml")), L"原改");
    // The timer runs again and the event that typing waits for is set.
    EXPECT_EQ(frame->m_nTimerID, CMainFrame::kAutoSaveTimer);
    EXPECT_EQ(WaitForSingleObject(frame->m_hAutoSaveEvent, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(Boxes::Texts().empty());
}

TEST_F(SaveTest, SavesLeaveTheKeyboardWhereTheUserWorks)
{
    MakeArticle(L"0001_a.xml", L"上");
    MakeArticle(L"写小说\\0001_b.xml", L"下");
    Start();
    Select(Item({L"0001_a.xml"}));
    frame->SetActiveView(Upper());
    Upper()->SetFocus();
    TypeIntoPane(Upper(), L"一");
    // Ctrl+S while typing: the next keys still go to the article, not the tree.
    Key('S', VK_CONTROL);
    EXPECT_EQ(FileText(InLibrary(L"0001_a.xml")), L"上一");
    EXPECT_EQ(::GetFocus(), Upper()->m_hWnd);
    EXPECT_EQ(frame->GetActiveView(), Upper());

    Select(Item({L"写小说", L"0001_b.xml"}));
    TypeIntoPane(Lower(), L"改");
    Select(Item({L"0001_a.xml"}));
    frame->SetActiveView(Upper());
    Upper()->SetFocus();
    TypeIntoPane(Upper(), L"改");
    frame->PostMessage(WM_TIMER, CMainFrame::kAutoSaveTimer, 0);
    Pump();
    EXPECT_EQ(FileText(InLibrary(L"0001_a.xml")), L"上一改");
    EXPECT_EQ(FileText(InLibrary(L"写小说\\0001_b.xml")), L"下改");
    // Typing goes on in the upper article, not in the other one just saved.
    EXPECT_EQ(::GetFocus(), Upper()->m_hWnd);
    EXPECT_EQ(frame->GetActiveView(), Upper());

    // A rename under way in the tree is not ended by the save.
    TypeIntoPane(Lower(), L"再");
    Select(Item({L"0001_a.xml"}));
    TreeCommand(ID_TREE_RENAME);
    ASSERT_NE(EditBox(), nullptr);
    TypeChars(L"甲");
    frame->PostMessage(WM_TIMER, CMainFrame::kAutoSaveTimer, 0);
    Pump();
    EXPECT_EQ(FileText(InLibrary(L"写小说\\0001_b.xml")), L"下改再");
    ASSERT_NE(EditBox(), nullptr);
    EXPECT_EQ(::GetFocus(), EditBox());
    TypeChars(L"乙");
    Key(VK_RETURN);
    EXPECT_TRUE(Exists(InLibrary(L"0001_甲乙.xml")));
}

TEST_F(SaveTest, AFailedSaveIsToldOnceAndKeepsTheEdits)
{
    MakeArticle(L"0001_a.xml", L"原");
    Start();
    Select(Item({L"0001_a.xml"}));
    TypeIntoPane(Upper(), L"新");
    BlockFile(L"0001_a.xml");

    Command(ID_SAVE_PAGE);
    ASSERT_EQ(Boxes::Texts().size(), 1u);
    EXPECT_GE(Boxes::Texts()[0].Find(InLibrary(L"0001_a.xml")), 0);
    EXPECT_EQ(Upper()->m_bModified, 1);
    EXPECT_EQ(ArticleText(*Upper()), L"原新");

    Boxes::Clear();
    frame->PostMessage(WM_TIMER, CMainFrame::kAutoSaveTimer, 0);
    Pump();
    EXPECT_EQ(Boxes::Texts().size(), 1u);
    EXPECT_EQ(Upper()->m_bModified, 1);

    // Once the file can be written, the next save writes the kept edits.
    UnblockFile(L"0001_a.xml");
    Boxes::Clear();
    Command(ID_SAVE_PAGE);
    EXPECT_TRUE(Boxes::Texts().empty());
    EXPECT_EQ(Upper()->m_bModified, 0);
    EXPECT_EQ(FileText(InLibrary(L"0001_a.xml")), L"原新");
}

TEST_F(SaveTest, AFailedSaveOnSwitchKeepsTheArticleShown)
{
    MakeArticle(L"0001_a.xml", L"甲");
    MakeArticle(L"0002_b.xml", L"乙");
    Start();
    HTREEITEM a = Item({L"0001_a.xml"});
    Select(a);
    TypeIntoPane(Upper(), L"改");
    BlockFile(L"0001_a.xml");

    Select(Item({L"0002_b.xml"}));
    EXPECT_EQ(Boxes::Texts().size(), 1u);
    EXPECT_EQ(Tree().GetSelectedItem(), a);
    EXPECT_EQ(ArticleText(*Upper()), L"甲改");
    EXPECT_EQ(Upper()->m_bModified, 1);
    EXPECT_TRUE(Upper()->IsWindowEnabled());
    EXPECT_EQ(frame->m_upperParts.GetLast(), L"0001_a.xml");
    EXPECT_EQ(FileText(InLibrary(L"0002_b.xml")), L"乙");

    UnblockFile(L"0001_a.xml");
    Boxes::Clear();
    Select(Item({L"0002_b.xml"}));
    EXPECT_TRUE(Boxes::Texts().empty());
    EXPECT_EQ(ArticleText(*Upper()), L"乙");
    EXPECT_EQ(FileText(InLibrary(L"0001_a.xml")), L"甲改");
}

TEST_F(SaveTest, ANewArticleAfterARefusedSwitchIsTheItemRenamed)
{
    MakeArticle(L"0001_a.xml", L"甲");
    Start();
    HTREEITEM a = Item({L"0001_a.xml"});
    Select(a);
    TypeIntoPane(Upper(), L"改");
    BlockFile(L"0001_a.xml");

    Command(ID_TREE_NEW_ARTICLE);
    EXPECT_EQ(Boxes::Texts().size(), 1u);
    EXPECT_EQ(Tree().GetSelectedItem(), a);
    TypeChars(L"第二章");
    Key(VK_RETURN);
    EXPECT_EQ(Tree().GetItemText(a), L"0001_a.xml");
    EXPECT_NE(Item({L"0002_第二章.xml"}), nullptr);
    UnblockFile(L"0001_a.xml");
    Command(ID_SAVE_PAGE);
    EXPECT_EQ(FileText(InLibrary(L"0001_a.xml")), L"甲改");
    EXPECT_FALSE(Exists(InLibrary(L"0001_第二章.xml")));
}

TEST_F(SaveTest, ASelectionWhileTheMessageIsShownSavesNothingElsewhere)
{
    MakeArticle(L"0001_a.xml", L"甲");
    MakeArticle(L"0002_b.xml", L"乙");
    MakeArticle(L"0003_c.xml", L"丙");
    Start();
    HTREEITEM a = Item({L"0001_a.xml"});
    HTREEITEM c = Item({L"0003_c.xml"});
    Select(a);
    TypeIntoPane(Upper(), L"改");
    BlockFile(L"0001_a.xml");

    // While the failure is on screen, the user picks a third article.
    CTreeCtrl* tree = &Tree();
    Boxes::OnShow() = [tree, c] { tree->SelectItem(c); };
    Select(Item({L"0002_b.xml"}));
    Pump(50);
    EXPECT_EQ(Boxes::Texts().size(), 1u);
    EXPECT_EQ(ArticleText(*Upper()), L"甲改");
    EXPECT_EQ(frame->m_upperParts.GetLast(), L"0001_a.xml");
    EXPECT_EQ(FileText(InLibrary(L"0002_b.xml")), L"乙");
    EXPECT_EQ(FileText(InLibrary(L"0003_c.xml")), L"丙");
    EXPECT_EQ(Upper()->m_bModified, 1);
}

TEST_F(SaveTest, ASelectionDuringASuccessfulSwitchIsFollowedAfterwards)
{
    MakeArticle(L"0001_a.xml", L"甲");
    MakeArticle(L"0003_c.xml", L"丙");
    // An article file that cannot be read: opening it tells the user.
    ASSERT_TRUE(WriteFileReplacing(InLibrary(L"0002_b.xml"), "\x01\x02garbage", 9));
    Start();
    Select(Item({L"0001_a.xml"}));
    TypeIntoPane(Upper(), L"改");
    CTreeCtrl* tree = &Tree();
    HTREEITEM c = Item({L"0003_c.xml"});
    Boxes::OnShow() = [tree, c] { tree->SelectItem(c); };
    Select(Item({L"0002_b.xml"}));
    Pump(50);
    EXPECT_GE(Boxes::Texts().size(), 1u);
    // The click was followed once the switch was over; every file kept its own text.
    EXPECT_EQ(Tree().GetSelectedItem(), c);
    EXPECT_EQ(ArticleText(*Upper()), L"丙");
    EXPECT_EQ(FileText(InLibrary(L"0001_a.xml")), L"甲改");
    EXPECT_EQ(FileText(InLibrary(L"0003_c.xml")), L"丙");
    std::string bytes;
    ReadWholeFile(InLibrary(L"0002_b.xml"), bytes);
    EXPECT_EQ(bytes, std::string("\x01\x02garbage", 9));
}

TEST_F(SaveTest, ClosingSavesAndAsksBeforeDroppingEditsThatCannotBeSaved)
{
    MakeArticle(L"0001_a.xml", L"甲");
    Start();
    Select(Item({L"0001_a.xml"}));
    TypeIntoPane(Upper(), L"改");
    BlockFile(L"0001_a.xml");

    Boxes::Answer() = IDNO;
    frame->SendMessage(WM_CLOSE);
    Pump();
    ASSERT_EQ(Boxes::Texts().size(), 2u);   // the failure, then the question
    ASSERT_NE(theApp.m_pMainWnd, nullptr);
    EXPECT_TRUE(frame->IsWindowVisible());
    EXPECT_EQ(ArticleText(*Upper()), L"甲改");

    UnblockFile(L"0001_a.xml");
    Boxes::Clear();
    frame->SendMessage(WM_CLOSE);
    Pump();
    EXPECT_TRUE(Boxes::Texts().empty());
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    frame = nullptr;
    theApp.ExitInstance();
    EXPECT_EQ(FileText(InLibrary(L"0001_a.xml")), L"甲改");
}

TEST_F(SaveTest, AnInternalErrorEndsTheProgramThroughItsSave)
{
    MakeArticle(L"0001_a.xml", L"甲");
    Start();
    Select(Item({L"0001_a.xml"}));
    TypeIntoPane(Upper(), L"改");
    Upper()->ReportError(1);
    Pump();
    EXPECT_EQ(Boxes::CountContaining(L"程序发生异常"), 1);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    frame = nullptr;
    theApp.ExitInstance();
    EXPECT_EQ(FileText(InLibrary(L"0001_a.xml")), L"甲改");
}

// ---------------------------------------------------------------- windows

TEST_F(WindowTest, FullScreenFillsTheScreenWithTheArticlesAndComesBack)
{
    MakeArticle(L"0001_a.xml", L"甲");
    Start();
    CRect before;
    frame->GetWindowRect(&before);
    // Without an article the command does nothing.
    Command(ID_FULL_SCREEN);
    CRect same;
    frame->GetWindowRect(&same);
    EXPECT_EQ(same, before);

    Select(Item({L"0001_a.xml"}));
    Command(ID_FULL_SCREEN);
    EXPECT_EQ(Upper()->m_bFullScreen, 1);
    CRect panes;
    frame->m_wndInnerSplitter.GetWindowRect(&panes);
    EXPECT_EQ(panes, CRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    CRect full;
    frame->GetWindowRect(&full);
    EXPECT_EQ(full, CRect(frame->m_fullScreen.GetFullRect()));
    EXPECT_LT(full.left, 0);

    Command(ID_ESCAPE);
    EXPECT_EQ(Upper()->m_bFullScreen, 0);
    CRect after;
    frame->GetWindowRect(&after);
    EXPECT_EQ(after, before);
    // Escape again changes nothing.
    Command(ID_ESCAPE);
    frame->GetWindowRect(&after);
    EXPECT_EQ(after, before);

    // The toggle leaves full screen as well.
    Command(ID_FULL_SCREEN);
    Command(ID_FULL_SCREEN);
    frame->GetWindowRect(&after);
    EXPECT_EQ(after, before);
    EXPECT_FALSE(frame->m_fullScreen.IsFullScreen());
}

TEST_F(WindowTest, TheSplitterButtonCollapsesAndRestoresTheTree)
{
    Start();
    CXSplitterWnd& outer = frame->m_wndOuterSplitter;
    int width = 0, min = 0;
    outer.GetColumnInfo(0, width, min);
    ASSERT_GT(width, 100);
    CRect button;
    outer.GetButtonRect(button);
    EXPECT_EQ(button.left, width + 2);
    EXPECT_EQ(button.Width(), 8);
    EXPECT_EQ(button.Height(), 50);
    LPARAM at = MAKELPARAM(button.CenterPoint().x, button.CenterPoint().y);
    outer.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    outer.SendMessage(WM_LBUTTONUP, 0, at);
    Pump();
    EXPECT_TRUE(outer.IsCollapsed());
    int now = 0;
    outer.GetColumnInfo(0, now, min);
    EXPECT_EQ(now, 0);

    outer.GetButtonRect(button);
    at = MAKELPARAM(button.CenterPoint().x, button.CenterPoint().y);
    outer.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    outer.SendMessage(WM_LBUTTONUP, 0, at);
    Pump();
    EXPECT_FALSE(outer.IsCollapsed());
    outer.GetColumnInfo(0, now, min);
    EXPECT_EQ(now, width);

    // A right click turns the button round; restoring an open splitter does nothing.
    outer.SendMessage(WM_RBUTTONUP, 0, at);
    EXPECT_EQ(outer.GetSide(), (int)CXSplitterWnd::kSideRight);
    outer.Restore();
    outer.GetColumnInfo(0, now, min);
    EXPECT_EQ(now, width);
}

TEST_F(WindowTest, TheTreePaintsHotAndSelectedRows)
{
    MakeArticle(L"卷一\\0001_a.xml", L"a");
    MakeArticle(L"0002_b.xml", L"b");
    Start();
    HTREEITEM folder = Item({L"卷一"});
    HTREEITEM b = Item({L"0002_b.xml"});
    Tree().Expand(folder, TVE_COLLAPSE);
    Select(b);
    CRect rowB, rowFolder;
    ASSERT_TRUE(Tree().GetItemRect(b, &rowB, FALSE));
    ASSERT_TRUE(Tree().GetItemRect(folder, &rowFolder, FALSE));
    CRect client;
    TreeView()->GetClientRect(&client);
    const int x = client.right - 5;

    TreeView()->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, rowFolder.CenterPoint().y));
    TreeView()->UpdateWindow();
    Pump();
    EXPECT_EQ(TreeView()->GetHotItem(), folder);
    ClientCapture shot(TreeView()->m_hWnd);
    EXPECT_EQ(shot.At(x, rowFolder.CenterPoint().y), RGB(0xAA, 0xAA, 0xAA));
    // The selected row shows the green gradient; empty space the white background.
    COLORREF selected = shot.At(x, rowB.CenterPoint().y);
    // (Half-way between 0x90EE07 and 0x08F0EE: red rising, blue falling.)
    EXPECT_GE(GetGValue(selected), 0xEE);
    EXPECT_GT(GetRValue(selected), 0x07);
    EXPECT_LT(GetRValue(selected), 0xEE);
    EXPECT_GT(GetBValue(selected), 0x08);
    EXPECT_LT(GetBValue(selected), 0x90);
    EXPECT_EQ(shot.At(x, client.bottom - 3), RGB(0xFF, 0xFF, 0xFF));

    // Leaving the items keeps the last hot row.
    TreeView()->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, client.bottom - 3));
    EXPECT_EQ(TreeView()->GetHotItem(), folder);
    // A hot article row is dark grey; hot and selected shows the selection.
    TreeView()->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, rowB.CenterPoint().y));
    TreeView()->UpdateWindow();
    Pump();
    ClientCapture again(TreeView()->m_hWnd);
    EXPECT_EQ(GetRValue(again.At(x, rowB.CenterPoint().y)), GetRValue(selected));
    Select(folder);
    TreeView()->UpdateWindow();
    Pump();
    ClientCapture third(TreeView()->m_hWnd);
    EXPECT_EQ(third.At(x, rowB.CenterPoint().y), RGB(0x66, 0x66, 0x66));
}

// Names are drawn in black strokes at their 12 pixels, not in thin grey ones.
TEST_F(WindowTest, TheTreeDrawsArticleNamesInBlack)
{
    MakeArticle(L"0001_第一章.xml", L"a");
    MakeArticle(L"0002_第二章.xml", L"b");
    Start();
    HTREEITEM first = Item({L"0001_第一章.xml"});
    Select(Item({L"0002_第二章.xml"}));
    TreeView()->UpdateWindow();
    Pump();
    ASSERT_NE(TreeView()->GetHotItem(), first);
    CRect row;
    ASSERT_TRUE(Tree().GetItemRect(first, &row, FALSE));
    ClientCapture shot(TreeView()->m_hWnd);
    int inked = 0, black = 0;
    for (int y = row.top; y < row.bottom; ++y)
        for (int x = row.left; x < row.right; ++x) {
            const COLORREF c = shot.At(x, y);
            if (c == RGB(0xFF, 0xFF, 0xFF))
                continue;
            ++inked;
            black += GetRValue(c) < 0x40 && GetGValue(c) < 0x40 && GetBValue(c) < 0x40;
        }
    EXPECT_GT(inked, 40);
    EXPECT_GT(black, inked * 2 / 3) << inked;
}

TEST_F(WindowTest, ClickingEmptySpaceClearsTheSelection)
{
    MakeArticle(L"0001_a.xml", L"a");
    Start();
    HTREEITEM a = Item({L"0001_a.xml"});
    Select(a);
    CRect row;
    Tree().GetItemRect(a, &row, FALSE);
    LPARAM below = MAKELPARAM(20, row.bottom + 60);
    TreeView()->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, below);
    TreeView()->SendMessage(WM_LBUTTONUP, 0, below);
    Pump();
    EXPECT_EQ(Tree().GetSelectedItem(), nullptr);
    // The article stays open.
    EXPECT_EQ(ArticleText(*Upper()), L"a");
}

} // namespace

// An article for a collapsed pane opens it, by a click in the tree or by the
// page commands, and the article is seen; so does choosing its article again.
// Either direction of the splitter button may have closed it.
TEST_F(WindowTest, AnArticleForACollapsedPaneOpensIt)
{
    MakeArticle(L"0001_a.xml", L"上文");
    MakeArticle(L"卷二\\0001_b.xml", L"再一篇");
    MakeArticle(L"写小说\\0001_x.xml", L"下文下文下文");
    MakeArticle(L"写小说\\0002_y.xml", L"又一篇");
    Start();
    CXSplitterWnd& inner = frame->m_wndInnerSplitter;
    ASSERT_TRUE(inner.IsCollapsed());
    auto lowerHeight = [&] {
        CRect r;
        Lower()->GetClientRect(&r);
        return r.Height();
    };
    auto inkIn = [&](CImportView* pane) {
        pane->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ClientCapture cap(pane->m_hWnd);
        int n = 0;
        for (int y = 0; y < cap.Height(); ++y)
            for (int x = 0; x < cap.Width(); ++x)
                n += cap.At(x, y) == DisplaySettings.clrText ? 1 : 0;
        return n;
    };
    Select(Item({L"写小说", L"0001_x.xml"}));
    EXPECT_FALSE(inner.IsCollapsed());
    EXPECT_GT(lowerHeight(), 100);
    EXPECT_EQ(L"下文下文下文", ArticleText(*Lower()));
    EXPECT_GT(inkIn(Lower()), 50);

    // Collapsed again by its button, then reached page by page from the upper pane.
    inner.Collapse();
    Pump();
    ASSERT_EQ(0, lowerHeight());
    Select(Item({L"0001_a.xml"}));
    Command(ID_NEXT_PAGE);
    Command(ID_NEXT_PAGE);
    EXPECT_EQ(L"又一篇", ArticleText(*Lower()));
    EXPECT_FALSE(inner.IsCollapsed());
    EXPECT_GT(lowerHeight(), 100);
    EXPECT_EQ(L"上文", ArticleText(*Upper()));

    // The splitter's button as the mouse reaches it: a left click toggles,
    // a right click turns it round.
    auto clickButton = [&](bool right) {
        CRect button;
        inner.GetButtonRect(button);
        const LPARAM at = MAKELPARAM(button.CenterPoint().x, button.CenterPoint().y);
        inner.PostMessage(right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, at);
        inner.PostMessage(right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at);
        Pump();
    };
    auto upperHeight = [&] {
        CRect r;
        Upper()->GetClientRect(&r);
        return r.Height();
    };
    clickButton(false);
    ASSERT_EQ(0, lowerHeight());
    Select(Item({L"0001_a.xml"}));
    Select(Item({L"写小说", L"0002_y.xml"}));
    EXPECT_GT(lowerHeight(), 100);
    clickButton(true);
    clickButton(false);
    ASSERT_LT(upperHeight(), 10);
    Select(Item({L"卷二", L"0001_b.xml"}));
    EXPECT_GT(upperHeight(), 100);
    EXPECT_EQ(L"再一篇", ArticleText(*Upper()));
    clickButton(false);
    ASSERT_LT(upperHeight(), 10);
    Select(Item({L"写小说", L"0002_y.xml"}));
    Select(Item({L"卷二", L"0001_b.xml"}));
    EXPECT_GT(upperHeight(), 100);
    EXPECT_GT(lowerHeight(), 100);

    // By the real mouse now. With the lower pane closed by a click on its
    // button and its article still highlighted, a click or a double click
    // on that article opens it.
    const HTREEITEM lowerItem = Item({L"写小说", L"0002_y.xml"});
    ClickItem(Tree(), lowerItem, 1);
    ASSERT_GT(lowerHeight(), 100);
    PressButton(inner, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    PressButton(inner, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_EQ(0, lowerHeight());
    ASSERT_EQ(lowerItem, Tree().GetSelectedItem());
    ClickItem(Tree(), lowerItem, 1);
    EXPECT_GT(lowerHeight(), 100);
    EXPECT_GT(inkIn(Lower()), 20);
    PressButton(inner, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_EQ(0, lowerHeight());
    ClickItem(Tree(), lowerItem, 2);
    EXPECT_GT(lowerHeight(), 100);

    // The tree's bar dragged to the window's edge, then an article clicked
    // in the tree, a new one or the one still highlighted: the tree gives
    // the article's pane room again.
    CXSplitterWnd& outer = frame->m_wndOuterSplitter;
    auto paneWidth = [&] {
        CRect r;
        Upper()->GetClientRect(&r);
        return r.Width();
    };
    auto dragTreeBarToTheEdge = [&] {
        CRect button, rc;
        outer.GetButtonRect(button);
        outer.GetClientRect(&rc);
        CPoint grip(button.CenterPoint().x, rc.Height() / 4), edge(rc.right - 1, rc.Height() / 4);
        outer.ClientToScreen(&grip);
        outer.ClientToScreen(&edge);
        MouseAt(grip, MOUSEEVENTF_LEFTDOWN);
        MouseAt(CPoint((grip.x + edge.x) / 2, grip.y), 0);
        MouseAt(edge, 0);
        MouseAt(edge, MOUSEEVENTF_LEFTUP);
    };
    dragTreeBarToTheEdge();
    ASSERT_LT(paneWidth(), 20);
    ClickItem(Tree(), Item({L"0001_a.xml"}), 1);
    EXPECT_EQ(L"上文", ArticleText(*Upper()));
    EXPECT_GT(paneWidth(), 200);
    EXPECT_GT(inkIn(Upper()), 20);
    dragTreeBarToTheEdge();
    ASSERT_LT(paneWidth(), 20);
    ClickItem(Tree(), Item({L"0001_a.xml"}), 1);
    EXPECT_GT(paneWidth(), 200);
}

TEST_F(SaveTest, ChoosingTheOpenArticleAgainKeepsTheAutoSaveDue)
{
    struct Period {
        UINT saved = CMainFrame::s_nAutoSavePeriod;
        ~Period() { CMainFrame::s_nAutoSavePeriod = saved; }
    } period;
    CMainFrame::s_nAutoSavePeriod = 1500;
    MakeArticle(L"0001_a.xml", L"原");
    MakeArticle(L"写小说\\0001_x.xml", L"下文");
    Start();
    const HTREEITEM a = Item({L"0001_a.xml"});
    ClickItem(Tree(), a);
    ASSERT_EQ(a, Tree().GetSelectedItem());
    TypeIntoPane(Upper(), L"改");
    // A writer clicks the open article every few tenths of a second: the
    // save still comes when it was due, not a period after the last click.
    const DWORD start = GetTickCount();
    while (FileText(InLibrary(L"0001_a.xml")) != L"原改" && GetTickCount() - start < 6000) {
        ClickItem(Tree(), a);
        Pump(250);
    }
    EXPECT_EQ(FileText(InLibrary(L"0001_a.xml")), L"原改");
    EXPECT_EQ(Upper()->m_bModified, 0);

    // Enter on the highlighted article brings back the pane its splitter's
    // button closed, as a click does.
    const HTREEITEM x = Item({L"写小说", L"0001_x.xml"});
    ClickItem(Tree(), x);
    CXSplitterWnd& inner = frame->m_wndInnerSplitter;
    PressButton(inner, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    CRect r;
    Lower()->GetClientRect(&r);
    ASSERT_EQ(0, r.Height());
    ASSERT_EQ(x, Tree().GetSelectedItem());
    ASSERT_EQ(Tree().m_hWnd, ::GetFocus());
    Key(VK_RETURN);
    Lower()->GetClientRect(&r);
    EXPECT_GT(r.Height(), 100);
    EXPECT_EQ(L"下文", ArticleText(*Lower()));
}
