// Every toolbar button and accelerator with the tree, the upper pane and the
// lower pane active: each command reaches the handler its routing names, and
// acts on the pane that handler is for.
#include "AppTestUtil.h"

#include <cstring>
#include <functional>

#include "settings/BlockDialogs.h"
#include "settings/CodeCorlorDlg.h"
#include "settings/SetPreDlg.h"
#include "tests/support/DialogDriver.h"

using namespace apptest;

namespace {

enum Active { kTree = 0, kUpper = 1, kLower = 2 };

class RoutingTest : public AppTest {
protected:
    void StartWithTwoArticles()
    {
        MakeArticle(L"0001_a.xml", L"甲乙丙丁戊己庚辛壬癸");
        MakeArticle(L"0002_c.xml", L"子丑寅卯");
        MakeArticle(L"写小说\\0001_b.xml", L"天地玄黄");
        // Two background pictures by name; painting falls back when they cannot be read.
        DisplaySettings.BackgroundSet.strFolder = programFolder + L"bg";
        DisplaySettings.BackgroundSet.vecFiles = {L"01.bmp", L"02.bmp"};
        DisplaySettings.Count = 2;
        Start();
    }
    void OpenBoth()
    {
        Select(Item({L"写小说", L"0001_b.xml"}));
        Select(Item({L"0001_a.xml"}));
        ASSERT_NE(nullptr, Upper()->m_pRoot);
        ASSERT_NE(nullptr, Lower()->m_pRoot);
    }
    CImportView* Pane(Active a) { return a == kLower ? Lower() : Upper(); }
    void Activate(Active a)
    {
        CView* v = a == kTree ? (CView*)TreeView() : (CView*)Pane(a);
        frame->SetActiveView(v);
        v->SetFocus();
        Pump();
    }
    // The command's modal dialog, looked at and cancelled at once (the
    // object lives only while it is open); false when none opened.
    bool DialogOf(UINT id, std::function<void(CWnd*)> look)
    {
        bool opened = false;
        OnNextDialog([&](HWND dlg) {
            opened = true;
            look(CWnd::FromHandlePermanent(dlg));
            PostKeyToFocus(VK_ESCAPE);
        }, 300);
        Command(id);
        if (IsDialogActionPending())
            Pump(350);
        return opened;
    }
    CString SelectedText() { return Tree().GetItemText(Tree().GetSelectedItem()); }
};

} // namespace

TEST_F(RoutingTest, ToolbarButtonsReachTheirHandlersFromTheTreeAndFromEachPane)
{
    StartWithTwoArticles();
    DisplaySettingsBlock& ds = DisplaySettings;
    CRect window;
    frame->GetWindowRect(&window);
    for (Active a : {kTree, kUpper, kLower}) {
        SCOPED_TRACE(a == kTree ? "tree" : a == kUpper ? "upper pane" : "lower pane");
        OpenBoth();
        Activate(a);
        CImportView* target = Pane(a);          // the tree's commands act on the upper pane
        CImportView* other = a == kLower ? Upper() : Lower();
        int& lr = a == kLower ? ds.nWholeLR1 : ds.nWholeLR0;
        int& tb = a == kLower ? ds.nWholeTB1 : ds.nWholeTB0;
        int& bg = a == kLower ? ds.Index1 : ds.Index0;

        // 全屏, then Escape through the accelerator table.
        Command(ID_FULL_SCREEN);
        EXPECT_EQ(1, target->m_bFullScreen);
        EXPECT_EQ(0, other->m_bFullScreen);
        EXPECT_TRUE(frame->m_fullScreen.IsFullScreen());
        CRect pane;
        target->GetWindowRect(&pane);
        EXPECT_EQ((pane.Width() - ds.nPageWidth - GetSystemMetrics(SM_CXVSCROLL)) / 2 - 20,
                  target->m_nLeftMargin);
        Activate(a);
        Key(VK_ESCAPE);
        EXPECT_EQ(0, target->m_bFullScreen);
        CRect back;
        frame->GetWindowRect(&back);
        EXPECT_EQ(window, back);

        // 配色: the modeless dialog of that pane.
        Command(ID_COLOR_SETTINGS);
        ASSERT_NE(nullptr, target->m_pColorDlg);
        EXPECT_TRUE(target->m_pColorDlg->IsWindowVisible());
        EXPECT_EQ(target, target->m_pColorDlg->m_pView);
        target->m_pColorDlg->ShowWindow(SW_HIDE);
        Activate(a);

        // 换竖边, 换横线.
        ds.nWholeLR0 = ds.nWholeLR1 = 5;
        Command(ID_RANDOM_VERTICAL_BAR);
        EXPECT_EQ(-1, lr);
        EXPECT_EQ(5, a == kLower ? ds.nWholeLR0 : ds.nWholeLR1);
        ds.nSelect = 4;
        ds.nWholeTB0 = ds.nWholeTB1 = 5;
        Command(ID_RANDOM_HORIZONTAL_BAR);
        EXPECT_EQ(-1, tb);
        EXPECT_EQ(5, a == kLower ? ds.nWholeTB0 : ds.nWholeTB1);

        // 下背景, 上背景: a pane steps its background, the frame the code character width.
        ds.Index0 = ds.Index1 = 0;
        ds.Increase = 2;
        Command(ID_NEXT_BACKGROUND);
        Command(ID_NEXT_BACKGROUND);
        if (a == kTree) {
            EXPECT_EQ(4, ds.Increase);
            EXPECT_EQ(0, ds.Index0);
        } else {
            EXPECT_EQ(2, ds.Increase);
            EXPECT_EQ(0, bg);       // 0 -> 1 -> wrapped to 0
            EXPECT_EQ(ds.BackgroundSet.strFolder + L"\\01.bmp", target->m_strBackgroundPicture);
        }
        Command(ID_PREV_BACKGROUND);
        if (a == kTree)
            EXPECT_EQ(3, ds.Increase);
        else
            EXPECT_EQ(1, bg);

        // 设置 opens the presets of the pane; 代码 the block dialog only from a pane.
        CImportView* presetView = nullptr;
        EXPECT_TRUE(DialogOf(ID_PRESET, [&](CWnd* dlg) {
            if (CSetPreDlg* preset = dynamic_cast<CSetPreDlg*>(dlg))
                presetView = preset->m_pView;
        }));
        EXPECT_EQ(target, presetView);
        bool codeDialog = false;
        const bool opened = DialogOf(ID_INSERT_CODE, [&](CWnd* dlg) {
            codeDialog = dynamic_cast<CAddCodeDlg*>(dlg) != nullptr;
        });
        EXPECT_EQ(a != kTree, opened);
        EXPECT_EQ(a != kTree, codeDialog);

        // 标注 marks the upper pane's selection whichever view is active.
        Upper()->ResetSelection(true);
        ChunkNode* line = Upper()->FirstLine(Upper()->m_pRoot);
        Upper()->AddToSelection(line->pFirstItem, kNodeLine);
        Upper()->m_bModified = 0;
        ds.bSingle = 0;
        ds.nBiaozhu = 3;
        Command(ID_MARK);
        EXPECT_EQ(1, Upper()->m_bModified);
        EXPECT_EQ(3, line->pFirstItem->nMark);

        // 保存 and Ctrl+S save both panes.
        Lower()->m_bModified = 1;
        Command(ID_SAVE_PAGE);
        EXPECT_EQ(0, Upper()->m_bModified);
        EXPECT_EQ(0, Lower()->m_bModified);
        Upper()->m_bModified = 1;
        Activate(a);
        Key('S', VK_CONTROL);
        EXPECT_EQ(0, Upper()->m_bModified);

        // 下一页, 上一页 and PageDown walk the tree.
        Command(ID_NEXT_PAGE);
        EXPECT_EQ(CString(L"0002_c.xml"), SelectedText());
        Command(ID_PREV_PAGE);
        EXPECT_EQ(CString(L"0001_a.xml"), SelectedText());
        Activate(a);
        Key(VK_NEXT);
        EXPECT_EQ(CString(L"0002_c.xml"), SelectedText());

        // 新建目录 and 新建文章 always go to the tree.
        const size_t before = ChildTexts(Tree().GetRootItem()).size();
        Command(ID_TREE_NEW_FOLDER);
        PressInEditor(VK_RETURN);
        Command(ID_TREE_NEW_ARTICLE);
        PressInEditor(VK_RETURN);
        EXPECT_GE(ChildTexts(Tree().GetRootItem()).size(), before + 1);
    }
    EXPECT_EQ(0, AfxGetCaughtExceptionCount());

    // 退出 closes the program.
    Command(ID_APP_EXIT);
    Pump();
    EXPECT_EQ(nullptr, theApp.m_pMainWnd);
    frame = nullptr;
    theApp.ExitInstance();
}

TEST_F(RoutingTest, FullScreenKeepsAClosedLowerPaneClosed)
{
    StartWithTwoArticles();
    Select(Item({L"0001_a.xml"}));
    auto height = [](CWnd* w) {
        CRect r;
        w->GetWindowRect(&r);
        return r.Height();
    };
    const int lowerBefore = height(Lower());
    ASSERT_LT(lowerBefore, 20);
    for (Active a : {kTree, kUpper}) {
        SCOPED_TRACE(a == kTree ? "tree" : "upper pane");
        Activate(a);
        Command(ID_FULL_SCREEN);
        ASSERT_TRUE(frame->m_fullScreen.IsFullScreen());
        // The page takes the whole screen; the closed pane gets none of it.
        EXPECT_LE(height(Lower()), lowerBefore);
        EXPECT_GE(height(Upper()), GetSystemMetrics(SM_CYSCREEN) - 20);
        Activate(a);
        Key(VK_ESCAPE);
        EXPECT_FALSE(frame->m_fullScreen.IsFullScreen());
        EXPECT_LE(height(Lower()), lowerBefore);
    }
}

TEST_F(RoutingTest, ContextMenuAndKeyCommandsOfAPane)
{
    StartWithTwoArticles();
    OpenBoth();
    CImportView* v = Upper();
    Activate(kUpper);
    // Ctrl+Left is taken by the accelerator table: the caret stays.
    ChunkNode* line = v->FirstLine(v->m_pRoot);
    v->m_pCurLine = line;
    v->m_pCurItem = line->pFirstItem->pNext->pNext;
    CharItem* caret = v->m_pCurItem;
    Key(VK_LEFT, VK_CONTROL);
    EXPECT_EQ(caret, v->m_pCurItem);
    Key(VK_LEFT);
    EXPECT_NE(caret, v->m_pCurItem);

    // The pane's own page commands walk the tree through the frame.
    v->SendMessage(WM_COMMAND, MAKEWPARAM(ID_VIEW_NEXT_PAGE, 0), 0);
    Pump();
    EXPECT_EQ(CString(L"0002_c.xml"), SelectedText());
    Upper()->SendMessage(WM_COMMAND, MAKEWPARAM(ID_VIEW_PREV_PAGE, 0), 0);
    Pump();
    EXPECT_EQ(CString(L"0001_a.xml"), SelectedText());
    // The fixed block font of the current paragraph.
    Upper()->m_pCurLine = Upper()->FirstLine(Upper()->m_pRoot);
    frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_SET_CHUNK_FONT, 0), 0);
    EXPECT_STREQ(L"隶书", Upper()->m_pCurLine->pParent->pFontFace);
}
