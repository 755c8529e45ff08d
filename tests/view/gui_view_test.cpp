// The article pane as a window: start-up, opening an article, the page width
// commands, resizing, the context menu and the caret.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "LayoutTestUtil.h"
#include "ViewWindowTest.h"
#include "framework/App.h"
#include "framework/Doc.h"
#include "framework/Ids.h"
#include "framework/Wnd.h"
#include "res/resource.h"
#include "view/ImportView.h"

namespace {

// Thread timer that looks at the tracked context menu and closes it.
HMENU g_trackedMenu = nullptr;
UINT g_fullScreenState = 0;
UINT g_prevPageState = 0;
bool g_menuSeen = false;

void CALLBACK CloseMenuTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (g_trackedMenu) {
        g_fullScreenState = GetMenuState(g_trackedMenu, ID_FULL_SCREEN, MF_BYCOMMAND);
        g_prevPageState = GetMenuState(g_trackedMenu, ID_VIEW_PREV_PAGE, MF_BYCOMMAND);
        g_menuSeen = true;
    }
    EndMenu();
}

} // namespace

TEST_F(ViewWindowTest, StartsDisabledAndReadyWithoutPresetFile)
{
    CreateView();
    EXPECT_FALSE(view->IsWindowEnabled());
    EXPECT_TRUE(MessageRecorder::Texts().empty());
    ASSERT_NE(nullptr, view->m_pContextMenu);
    ASSERT_NE(nullptr, view->m_pContextMenu->GetSubMenu(0));
    EXPECT_EQ(9, view->m_pContextMenu->GetSubMenu(0)->GetMenuItemCount());
    EXPECT_EQ(1, view->m_bMemDC);
    CRect client;
    view->GetClientRect(&client);
    EXPECT_EQ(client, view->m_rcClient);
    EXPECT_EQ(client.Width(), view->GetClientWidth());
    EXPECT_GE(view->m_rcOffscreen.Width(), client.Width());
    EXPECT_EQ(client.Height(), view->m_rcOffscreen.Height());
    BITMAP bm = {};
    ASSERT_TRUE(view->m_bmpMem.GetBitmap(&bm));
    EXPECT_EQ(view->m_rcOffscreen.Width(), bm.bmWidth);
    EXPECT_EQ(48, view->mapTypeWords.GetCount());
    EXPECT_EQ(0, view->mapLearnedFunctions.GetCount());
    // Nothing was read: the start values stay and the pane keeps its own.
    EXPECT_EQ(1000, DisplaySettings.nPageWidth);
    EXPECT_EQ(201, DisplaySettings.nVerticalWidth);
    EXPECT_EQ(28, view->m_nTextSize);
    EXPECT_STREQ(L"", view->m_szFontFace);
    EXPECT_EQ(ExpectedMargin(client.Width()), view->m_nLeftMargin);
    // Painting a pane without an article and without pictures is harmless.
    view->RedrawWindow();
    Pump();
    EXPECT_EQ(0, AfxGetCaughtExceptionCount());
}

TEST_F(ViewWindowTest, PresetFileIsReadForTheRightPane)
{
    CString ini = folder.Path() + L"control\\preSet.ini";
    WritePrivateProfileStringW(L"Size", L"TextSize", L"30", ini);
    WritePrivateProfileStringW(L"Distance", L"Row", L"4", ini);
    WritePrivateProfileStringW(L"FontName", L"FontName", L"隶书", ini);
    WritePrivateProfileStringW(L"FontName", L"CodeFontName", L"", ini);
    WritePrivateProfileStringW(L"Page", L"nPageWidth", L"1500", ini);
    WritePrivateProfileStringW(L"Background", L"verticalDir", L"missing", ini);
    WritePrivateProfileStringW(L"Background", L"Count", L"2", ini);
    CreateView(false);
    EXPECT_FALSE(view->IsWindowEnabled());
    EXPECT_EQ(30, view->m_nTextSize);
    EXPECT_EQ(4, view->m_nRow);
    EXPECT_STREQ(L"隶书", view->m_szFontFace);
    EXPECT_STREQ(L"", view->m_szCodeFontFace);
    EXPECT_EQ(0, DisplaySettings.Count);       // the background folder is missing
    EXPECT_TRUE(view->m_strBackgroundPicture.IsEmpty());
    // 1500 does not fit: the page takes the client width less 200.
    EXPECT_EQ(view->m_rcClient.Width() - 200, DisplaySettings.nPageWidth);
    view->RedrawWindow();
    Pump();
}

TEST_F(ViewWindowTest, OpeningAnArticleEnablesAndLaysOutThePane)
{
    CString path = WriteArticle(6, 120);
    CreateView();
    view->OpenArticle(folder.Path(), path);
    Pump();
    ASSERT_NE(nullptr, view->m_pRoot);
    EXPECT_TRUE(view->IsWindowEnabled());
    EXPECT_EQ(6, ParagraphCount(view->m_pRoot));
    EXPECT_EQ(50, view->m_pRoot->y);
    EXPECT_EQ(view->m_nLeftMargin, view->m_pRoot->x);
    CSize total = view->GetTotalSize();
    EXPECT_EQ(view->m_nLeftMargin + view->m_pRoot->width + 20, total.cx);
    EXPECT_EQ(50 + view->m_pRoot->height + 5, total.cy);
    ExpectNoOverlap(view->m_pRoot);
    ExpectBrokenAtPageWidth(*view, view->m_pRoot);
    view->RedrawWindow();
    Pump();
    EXPECT_EQ(0, AfxGetCaughtExceptionCount());
}

TEST_F(ViewWindowTest, WidenAndNarrowCommandsChangeThePageAndRebreak)
{
    CString path = WriteArticle(4, 200);
    CreateView();
    view->OpenArticle(folder.Path(), path);
    std::vector<CharRecord> before = ArticleChars(view->m_pRoot);
    const int client = view->m_rcClient.Width();
    ASSERT_EQ(1000, DisplaySettings.nPageWidth);
    int expected = 1000;
    for (int i = 0; i < 8; ++i) {
        Command(ID_WIDEN_PAGE);
        if (expected + 50 < client)
            expected += 50;
        EXPECT_EQ(expected, DisplaySettings.nPageWidth);
    }
    EXPECT_LT(DisplaySettings.nPageWidth, client);
    EXPECT_GE(DisplaySettings.nPageWidth + 50, client);
    ExpectBrokenAtPageWidth(*view, view->m_pRoot);
    EXPECT_EQ(before, ArticleChars(view->m_pRoot));

    for (int i = 0; i < 20; ++i)
        Command(ID_NARROW_PAGE);
    EXPECT_EQ(450, DisplaySettings.nPageWidth);
    EXPECT_EQ(ExpectedMargin(client), view->m_nLeftMargin);
    ExpectBrokenAtPageWidth(*view, view->m_pRoot);
    ExpectNoOverlap(view->m_pRoot);
    EXPECT_EQ(before, ArticleChars(view->m_pRoot));
    EXPECT_EQ(view->m_pRoot->x, view->m_nLeftMargin);
    // The caret went to the article's first character.
    EXPECT_EQ(view->FirstLine(view->m_pRoot), view->m_pCurLine);
    EXPECT_EQ(view->m_pCurLine->pFirstItem, view->m_pCurItem);
}

// A paragraph holding a block and one holding a row of blocks, read from a
// file: narrowing the page breaks the blocks' lines again; the blocks and the
// row keep their places.
TEST_F(ViewWindowTest, NarrowingThePageBreaksTheLinesOfBlocksToo)
{
    CString path = folder.Path() + L"nested.xml";
    {
        CArticleModel m;
        m.NewArticle();
        m.InsertText(L"前");
        ChunkNode* para = m.m_pRoot->pFirstChild;
        ChunkNode* block = m.CreateNode(kNodeContainer, 3, 28, 0, 0, 28, 28, nullptr,
                                        para->pFirstChild, nullptr, nullptr, para);
        m.NewLineAfter(block, nullptr);
        m.InsertText(std::wstring(60, L'嵌').c_str());
        m.NewLineAfter(para, block);
        m.InsertText(L"后");
        m.NewParagraph();
        ChunkNode* row = m.m_pCurLine->pParent;
        ChunkNode* emptyLine = row->pFirstChild;
        ChunkNode* left = m.CreateNode(kNodeContainer, 3, 28, 0, 0, 28, 28, nullptr, nullptr,
                                       nullptr, nullptr, row);
        m.FreeNodeTree(emptyLine);
        m.NewLineAfter(left, nullptr);
        m.InsertText(std::wstring(40, L'左').c_str());
        ChunkNode* right = m.CreateNode(kNodeContainer, 3, 28, 0, 0, 28, 28, nullptr, nullptr,
                                        left, nullptr, row);
        m.NewLineAfter(right, nullptr);
        m.InsertText(std::wstring(40, L'右').c_str());
        ASSERT_TRUE(m.SaveArticle(folder.Path(), path));
    }
    CreateView();
    view->OpenArticle(folder.Path(), path);
    const std::wstring before = ArticleText(view->m_pRoot);
    ChunkNode* para = view->m_pRoot->pFirstChild;
    ChunkNode* block = para->pFirstChild->pNext;
    ASSERT_TRUE(block && block->IsContainer()) << DumpTree(view->m_pRoot);
    ChunkNode* left = para->pNext->pFirstChild;
    ASSERT_TRUE(left->IsContainer() && left->pRight) << DumpTree(view->m_pRoot);
    ChunkNode* right = left->pRight;
    for (int i = 0; i < 20; ++i)
        Command(ID_NARROW_PAGE);
    ASSERT_EQ(450, DisplaySettings.nPageWidth);
    EXPECT_EQ(block, para->pFirstChild->pNext);
    EXPECT_EQ(right, left->pRight);
    for (ChunkNode* b : {block, left, right}) {
        ASSERT_NE(nullptr, b->pFirstChild->pNext);
        ExpectLinesBrokenFrom(*view, b->pFirstChild);
    }
    // Every character of the block stands on the page.
    for (ChunkNode* l = block->pFirstChild; l; l = l->pNext)
        EXPECT_LE(view->LastItem(l)->left, view->m_nLeftMargin + 450 + 28);
    EXPECT_EQ(before, ArticleText(view->m_pRoot));
    ExpectWellFormedLines(view->m_pRoot);
}

TEST_F(ViewWindowTest, ResizingRefitsThePage)
{
    CString path = WriteArticle(3, 80);
    CreateView();
    view->OpenArticle(folder.Path(), path);
    view->MoveWindow(0, 0, 900, 600);
    Pump();
    CRect client;
    view->GetClientRect(&client);
    EXPECT_EQ(client, view->m_rcClient);
    EXPECT_LE(view->m_rcClient.Width(), 900);
    EXPECT_EQ(20, view->m_nLeftMargin);
    EXPECT_EQ(20, view->m_pRoot->x);
    EXPECT_EQ(0, view->m_nScrollDown);
    EXPECT_GE(view->m_rcOffscreen.Width(), view->m_rcClient.Width());
    EXPECT_EQ(view->m_rcClient.Height(), view->m_rcOffscreen.Height());

    view->MoveWindow(0, 0, 1600, 650);
    Pump();
    EXPECT_EQ(ExpectedMargin(view->m_rcClient.Width()), view->m_nLeftMargin);
    EXPECT_EQ(view->m_nLeftMargin, view->m_pRoot->x);
    EXPECT_EQ(view->m_nLeftMargin, view->m_pRoot->pFirstChild->x);
    BITMAP bm = {};
    ASSERT_TRUE(view->m_bmpMem.GetBitmap(&bm));
    EXPECT_EQ(view->m_rcOffscreen.Width(), bm.bmWidth);
    EXPECT_EQ(view->m_rcOffscreen.Height(), bm.bmHeight);
    view->RedrawWindow();
    Pump();
}

TEST_F(ViewWindowTest, CharWidthAndRelayoutMessage)
{
    CreateView();
    view->NewArticle();
    view->m_pRoot->pFirstChild->nCode = 1;
    view->InsertText(L"int x;");
    CharItem* first = view->m_pCurLine->pFirstItem;
    EXPECT_DOUBLE_EQ(11.0, first->right - first->left);
    for (int i = 0; i < 7; ++i)
        view->IncreaseCharWidth();
    EXPECT_EQ(5, DisplaySettings.Increase);
    EXPECT_DOUBLE_EQ(22.0, first->right - first->left);
    view->DecreaseCharWidth();
    EXPECT_EQ(4, DisplaySettings.Increase);
    EXPECT_EQ(0, view->SendMessage(WM_USER + 150));
}

TEST_F(ViewWindowTest, ContextMenuChecksFullScreenOnlyWhenSet)
{
    CreateView();
    view->NewArticle();
    g_trackedMenu = view->m_pContextMenu->GetSubMenu(0)->m_hMenu;
    for (int full = 1; full >= 0; --full) {
        view->m_bFullScreen = full;
        g_menuSeen = false;
        SetTimer(nullptr, 0, 150, CloseMenuTimer);
        view->SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 100));
        Pump();
        ASSERT_TRUE(g_menuSeen) << "the context menu was not shown";
        EXPECT_EQ(full ? (UINT)MF_CHECKED : 0u, g_fullScreenState & MF_CHECKED);
        EXPECT_EQ(0u, g_prevPageState & (MF_GRAYED | MF_DISABLED));
    }
    g_trackedMenu = nullptr;
}

TEST_F(ViewWindowTest, CaretStandsAtTheCurrentCharacterWhenFocused)
{
    CString path = WriteArticle(2, 30);
    CreateView();
    view->OpenArticle(folder.Path(), path);
    frame.SetForegroundWindow();
    view->SetFocus();
    view->m_pCurItem = view->m_pCurLine->pFirstItem->pNext->pNext;
    view->UpdateCaret();
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
    EXPECT_EQ(view->m_hWnd, info.hwndCaret);
    EXPECT_EQ((int)view->m_pCurItem->left, info.rcCaret.left);
    EXPECT_EQ((int)view->m_pCurItem->top, info.rcCaret.top);
    EXPECT_EQ((int)(view->m_pCurItem->bottom - view->m_pCurItem->top),
              info.rcCaret.bottom - info.rcCaret.top);
}

TEST_F(ViewWindowTest, PaneWithoutPictureFoldersPaintsAnArticle)
{
    CString ini = folder.Path() + L"control\\preSet.ini";
    WritePrivateProfileStringW(L"Color", L"bWholeLeft", L"1", ini);
    WritePrivateProfileStringW(L"Color", L"bWholeTop", L"1", ini);
    WritePrivateProfileStringW(L"Color", L"bLineMode", L"1", ini);
    WritePrivateProfileStringW(L"Color", L"bVerticalMode", L"1", ini);
    WritePrivateProfileStringW(L"Color", L"nWholeTB0", L"-1", ini);
    WritePrivateProfileStringW(L"Img", L"Img", L"", ini);
    CString path = WriteArticle(5, 150);
    CreateView();
    view->OpenArticle(folder.Path(), path);
    view->RedrawWindow();
    Pump();
    Command(ID_NARROW_PAGE);
    view->RedrawWindow();
    Pump();
    EXPECT_TRUE(DisplaySettings.LineSet.vecFiles.empty());
    EXPECT_EQ(0, AfxGetCaughtExceptionCount());
}
