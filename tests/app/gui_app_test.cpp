// The program's main window driven as the user drives it: start-up, the
// library tree, new folders and articles, renaming in place, deleting and
// switching articles, checked on disk.
#include "AppTestUtil.h"
#include "controls/MyColorButton.h"
#include "res/Version.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/Pixels.h"

using namespace apptest;

namespace {

class StartUpTest : public AppTest {};
class EditingTest : public AppTest {};
class SwitchingTest : public AppTest {};

// ---------------------------------------------------------------- start-up

TEST_F(StartUpTest, CreatesTheLibraryAndShowsItsRoot)
{
    ASSERT_FALSE(Exists(Library()));
    Start();
    EXPECT_EQ(g_strAppFolder, programFolder);
    EXPECT_TRUE(IsFolder(Library()));
    HTREEITEM root = Tree().GetRootItem();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Tree().GetItemText(root), Library());
    EXPECT_EQ(Tree().GetChildItem(root), nullptr);
    EXPECT_EQ(frame->m_strLibraryRoot, Library());
    // Neither pane holds an article yet, so neither takes input.
    EXPECT_FALSE(Upper()->IsWindowEnabled());
    EXPECT_FALSE(Lower()->IsWindowEnabled());
    EXPECT_EQ(frame->m_nTimerID, 6u);
    CString title;
    frame->GetWindowText(title);
    EXPECT_EQ(title, L"Lumivell-Velquor");
}

TEST_F(StartUpTest, OpensMaximisedInsideTheWorkAreaWithTheLowerPaneCollapsed)
{
    Start();
    EXPECT_TRUE(frame->IsZoomed());
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    CRect client;
    frame->GetClientRect(&client);
    frame->ClientToScreen(&client);
    EXPECT_GE(client.left, work.left);
    EXPECT_GE(client.top, work.top);
    EXPECT_LE(client.right, work.right);
    EXPECT_LE(client.bottom, work.bottom);
    EXPECT_GT(client.Width(), 600);

    // The lower pane has no height; the upper one fills the right column.
    EXPECT_TRUE(frame->m_wndInnerSplitter.IsCollapsed());
    int cur = 0, min = 0;
    frame->m_wndInnerSplitter.GetRowInfo(1, cur, min);
    EXPECT_EQ(cur, 0);
    CRect upper, inner;
    Upper()->GetWindowRect(&upper);
    frame->m_wndInnerSplitter.GetWindowRect(&inner);
    EXPECT_GT(upper.Height(), inner.Height() - 20);
    CRect tree;
    TreeView()->GetWindowRect(&tree);
    EXPECT_LT(tree.right, upper.left);

    // Toolbar buttons carry their texts under the icons; the status bar is at the bottom.
    EXPECT_EQ(frame->m_wndToolBar.GetButtonText(0), L"新建目录");
    EXPECT_EQ(frame->m_wndToolBar.GetItemID(17), (UINT)ID_APP_EXIT);
    CRect button;
    frame->m_wndToolBar.GetItemRect(0, &button);
    EXPECT_GT(button.Height(), 46 + 8);
    CRect status;
    frame->m_wndStatusBar.GetWindowRect(&status);
    EXPECT_TRUE(frame->m_wndStatusBar.IsWindowVisible());
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(frame->GetMenu(), nullptr);
}

TEST_F(StartUpTest, CaptionButtonsHaveTheSymbolFontTheSystemDrawsThemWith)
{
    Start();
    // The caption buttons are the letters "0", "1", "r" of Marlett; without
    // that face they show as those letters.
    LOGFONTW lf = {};
    lf.lfHeight = -13;
    lf.lfCharSet = SYMBOL_CHARSET;
    wcscpy(lf.lfFaceName, L"Marlett");
    HFONT font = CreateFontIndirectW(&lf);
    ASSERT_NE(font, nullptr);
    HDC dc = GetDC(frame->m_hWnd);
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    WORD glyph = 0xFFFF;
    GetGlyphIndicesW(dc, L"r", 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    ReleaseDC(frame->m_hWnd, dc);
    DeleteObject(font);
    EXPECT_STREQ(face, L"Marlett");
    EXPECT_NE(glyph, 0xFFFF);
}

TEST_F(StartUpTest, AboutTellsTheVersionAndClosingDoesNotWaitForEver)
{
    Start();
    CString caption, version;
    bool okIsBitmapButton = false, frameDisabled = false;
    OnNextDialog([&](HWND dlg) {
        wchar_t text[64] = {};
        GetWindowTextW(dlg, text, 64);
        caption = text;
        GetDlgItemTextW(dlg, IDC_ABOUT_VERSION, text, 64);
        version = text;
        okIsBitmapButton =
            dynamic_cast<CMyColorButton*>(CWnd::FromHandlePermanent(GetDlgItem(dlg, IDOK))) != nullptr;
        frameDisabled = !frame->IsWindowEnabled();
        PostKeyToFocus(VK_RETURN);
    });
    Command(ID_APP_ABOUT);
    EXPECT_FALSE(IsDialogActionPending());
    EXPECT_EQ(caption, L"关于 Import");
    EXPECT_EQ(version, L"Lumivell-Velquor 1.0.0.0 版");
    EXPECT_TRUE(okIsBitmapButton);
    EXPECT_TRUE(frameDisabled);
    EXPECT_TRUE(frame->IsWindowEnabled());
    EXPECT_TRUE(Boxes::Texts().empty());

    // An update check that never finishes holds the closing only so long.
    hUpdateDoneEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const DWORD oldWait = CMainFrame::s_nUpdateWait;
    CMainFrame::s_nUpdateWait = 300;
    DWORD t0 = GetTickCount();
    frame->SendMessage(WM_CLOSE);
    DWORD elapsed = GetTickCount() - t0;
    CMainFrame::s_nUpdateWait = oldWait;
    CloseHandle(hUpdateDoneEvent);
    hUpdateDoneEvent = nullptr;
    EXPECT_GE(elapsed, 250u);
    EXPECT_LT(elapsed, 5000u);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    frame = nullptr;
    theApp.ExitInstance();
}

TEST_F(StartUpTest, RecentFoldersReopenLibraries)
{
    ASSERT_TRUE(CreateFolderTree(programFolder + L"control"));   // where the list is kept
    CString other = programFolder + L"别的书库";
    ASSERT_TRUE(CreateFolderTree(other + L"\\卷"));
    MakeArticle(L"0001_a.xml", L"甲");
    Start();
    Select(Item({L"0001_a.xml"}));
    TypeIntoPane(Upper(), L"改");

    frame->OpenLibrary(other, true);
    EXPECT_EQ(Tree().GetItemText(Tree().GetRootItem()), other);
    EXPECT_EQ(ChildTexts(Tree().GetRootItem()), std::vector<CString>{L"卷"});
    EXPECT_EQ(frame->m_mru.GetAt(0), other);
    frame->OpenLibrary(Library(), true);
    EXPECT_EQ(frame->m_mru.GetCount(), 2);

    // Opening another library saves and closes the open article first.
    Command(ID_RECENT_PATH2);
    EXPECT_EQ(frame->m_strLibraryRoot, other);
    EXPECT_EQ(Tree().GetItemText(Tree().GetRootItem()), other);
    EXPECT_EQ(FileText(InLibrary(L"0001_a.xml")), L"甲改");
    EXPECT_EQ(Upper()->m_pRoot, nullptr);
    EXPECT_TRUE(frame->m_upperParts.IsEmpty());
    const CString ini = programFolder + L"control\\Mru.ini";
    EXPECT_EQ(GetPrivateProfileIntW(L"Mru File", L"FileNum", -1, ini), 2u);

    Command(ID_CLEAR_RECENT);
    EXPECT_EQ(frame->m_mru.GetCount(), 0);
    EXPECT_EQ(GetPrivateProfileIntW(L"Mru File", L"FileNum", -1, ini), 0u);
    EXPECT_TRUE(Boxes::Texts().empty());
}

// Reads the tree's context menu as it opens and closes it again.
std::vector<CString> g_menuTexts;
HHOOK g_menuHook = nullptr;

LRESULT CALLBACK MenuHook(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* msg = (const CWPSTRUCT*)lParam;
    if (code == HC_ACTION && msg->message == WM_INITMENUPOPUP) {
        HMENU menu = (HMENU)msg->wParam;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
            UINT state = GetMenuState(menu, i, MF_BYPOSITION);
            bool off = !(state & MF_SEPARATOR) && (state & (MF_GRAYED | MF_DISABLED));
            CString item;
            item.Format(L"%u:%s%s", GetMenuItemID(menu, i), text, off ? L"(off)" : L"");
            g_menuTexts.push_back(item);
        }
        EndMenu();
    }
    return CallNextHookEx(g_menuHook, code, wParam, lParam);
}

TEST_F(StartUpTest, RightClickShowsTheTreeMenuEvenOnEmptySpace)
{
    Start();
    g_menuTexts.clear();
    g_menuHook = SetWindowsHookExW(WH_CALLWNDPROC, MenuHook, nullptr, GetCurrentThreadId());
    CRect client;
    TreeView()->GetClientRect(&client);
    TreeView()->SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, client.bottom - 10));
    TreeView()->SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(30, client.bottom - 10));
    UnhookWindowsHookEx(g_menuHook);
    Pump();
    EXPECT_EQ(g_menuTexts, (std::vector<CString>{L"2:新建文章", L"3:新建目录", L"0:", L"1:更改名称", L"4:删除",
                                                 L"0:", L"5:导入小说", L"6:保存图像"}));
}

TEST_F(EditingTest, TheTreeMenuActsOnTheItemRightClicked)
{
    MakeArticle(L"0001_a.xml", L"a");
    MakeArticle(L"0002_b.xml", L"b");
    Start();
    Select(Item({L"0001_a.xml"}));
    CRect rc;
    Tree().GetItemRect(Item({L"0002_b.xml"}), &rc, TRUE);
    g_menuTexts.clear();
    g_menuHook = SetWindowsHookExW(WH_CALLWNDPROC, MenuHook, nullptr, GetCurrentThreadId());
    TreeView()->SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(rc.left + 4, rc.CenterPoint().y));
    TreeView()->SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(rc.left + 4, rc.CenterPoint().y));
    UnhookWindowsHookEx(g_menuHook);
    Pump();
    ASSERT_FALSE(g_menuTexts.empty());
    // "删除" chosen in that menu deletes b, not the article selected before.
    TreeCommand(ID_TREE_DELETE);
    EXPECT_FALSE(Exists(InLibrary(L"0002_b.xml")));
    EXPECT_TRUE(Exists(InLibrary(L"0001_a.xml")));
    EXPECT_EQ(Boxes::CountContaining(L"0002_b.xml"), 1);
}

TEST_F(StartUpTest, ListsTheLibraryTwoLevelsDeepWithoutDuplicates)
{
    MakeArticle(L"卷一\\0001_a.xml", L"甲");
    MakeArticle(L"卷一\\0002_b.xml", L"乙");
    MakeArticle(L"卷一\\0003_c.xml", L"丙");
    MakeArticle(L"0001_top.xml", L"顶");
    MakeFolder(L"空目录");
    ASSERT_TRUE(WriteFileReplacing(InLibrary(L"readme.txt"), "x", 1));
    Start();
    HTREEITEM root = Tree().GetRootItem();
    std::vector<CString> top = ChildTexts(root);
    EXPECT_EQ(top.size(), 3u);   // the folders and the article, not the text file
    HTREEITEM volume = Tree().GetChildItem(root);
    while (volume && Tree().GetItemText(volume) != L"卷一")
        volume = Tree().GetNextSiblingItem(volume);
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(ChildTexts(volume).size(), 1u);   // one placeholder until it opens
    Tree().Expand(volume, TVE_EXPAND);
    Pump();
    EXPECT_EQ(ChildTexts(volume), (std::vector<CString>{L"0001_a.xml", L"0002_b.xml", L"0003_c.xml"}));
    Tree().Expand(volume, TVE_COLLAPSE);
    Tree().Expand(volume, TVE_EXPAND);
    Pump();
    EXPECT_EQ(ChildTexts(volume).size(), 3u);
}

TEST_F(StartUpTest, AFirstRunKeepsItsSettingsForTheNext)
{
    ASSERT_FALSE(Exists(programFolder + L"control"));
    Start();
    ASSERT_FALSE(Exists(programFolder + L"control\\Color.xml"));
    DisplaySettings.clrBg = 0x203040;
    DisplaySettings.nPageWidth = 700;
    DisplaySettings.nWholeTB0 = 2;      // a random pick made while drawing
    Stop();
    EXPECT_TRUE(Exists(programFolder + L"control\\Color.xml"));
    EXPECT_TRUE(Exists(programFolder + L"control\\preSet.ini"));
    // No version was read: the program's own is written, the one an update
    // check compares with the host's.
    wchar_t version[64] = {};
    GetPrivateProfileStringW(L"Version", L"Version", L"", version, 64, programFolder + L"control\\preSet.ini");
    EXPECT_STREQ(version, L"" LUMIVELL_VERSION_TEXT);

    DisplaySettings = DisplaySettingsBlock();
    Start();
    EXPECT_EQ(DisplaySettings.clrBg, 0x203040u);
    EXPECT_EQ(DisplaySettings.nPageWidth, 700);
    EXPECT_EQ(DisplaySettings.nWholeTB0, 2);
}

TEST_F(StartUpTest, ColourSchemesAndPresetsSurviveARestart)
{
    // A first run writes the colour file with two schemes, as the colour dialog does.
    ASSERT_TRUE(CreateFolderTree(programFolder + L"control"));
    DisplaySettings.clrBg = 0x102030;
    ColorScheme night = {};
    night.Name = L"夜读";
    night.Bg = 0x111111;
    night.Text = 0xEEEEEE;
    ColorScheme paper = night;
    paper.Name = L"纸张";
    paper.Bg = 0xF0F0E0;
    vecColorSchemes = {night, paper};
    g_strAppFolder = programFolder;
    ASSERT_TRUE(SaveColorXml());
    WritePrivateProfileStringW(L"Page", L"nPageWidth", L"600", programFolder + L"control\\preSet.ini");
    WritePrivateProfileStringW(L"Size", L"TextSize", L"30", programFolder + L"control\\preSet.ini");
    DisplaySettings = DisplaySettingsBlock();
    vecColorSchemes.clear();

    Start();
    EXPECT_EQ(DisplaySettings.clrBg, 0x102030u);
    ASSERT_EQ(vecColorSchemes.size(), 2u);
    EXPECT_EQ(DisplaySettings.nPageWidth, 600);
    DisplaySettings.nPageWidth = 650;   // a change made while running
    Stop();

    DisplaySettings = DisplaySettingsBlock();
    vecColorSchemes.clear();
    Start();
    ASSERT_EQ(vecColorSchemes.size(), 2u);
    EXPECT_EQ(vecColorSchemes[0].Name, L"夜读");
    EXPECT_EQ(vecColorSchemes[1].Name, L"纸张");
    EXPECT_EQ(vecColorSchemes[1].Bg, 0xF0F0E0u);
    EXPECT_EQ(DisplaySettings.clrBg, 0x102030u);
    EXPECT_EQ(DisplaySettings.nPageWidth, 650);
    // Keys the exit does not write stay as they were.
    EXPECT_EQ(GetPrivateProfileIntW(L"Size", L"TextSize", 0, programFolder + L"control\\preSet.ini"), 30u);
}

// The "control" folder the build puts beside the program, copied beside the
// program under test.
void CopyShippedControlFolder(const CString& programFolder)
{
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    CString from = exe;
    from = from.Left(from.ReverseFind(L'\\') + 1);
    for (const char* c = LUMIVELL_CONTROL_REL; *c; ++c)
        from += *c == '/' ? L'\\' : (wchar_t)*c;
    const CString to = programFolder + L"control";
    ASSERT_TRUE(CreateFolderTree(to));
    for (const CString& entry : testfiles::ListingTree(from)) {
        if (entry.Right(1) == L"\\")
            ASSERT_TRUE(CreateFolderTree(to + L"\\" + entry));
        else
            ASSERT_TRUE(CopyFileW(from + L"\\" + entry, to + L"\\" + entry, FALSE));
    }
    ASSERT_TRUE(Exists(to + L"\\preSet.ini"));
}

// Pixels of the pane's page that differ between two captures (the outermost
// row and column left out: they do not belong to the decorations).
int ChangedPixels(const ClientCapture& a, const ClientCapture& b)
{
    int changed = 0;
    for (int y = 0; y + 1 < a.Height(); ++y)
        for (int x = 0; x + 1 < a.Width(); ++x)
            changed += a.At(x, y) != b.At(x, y) ? 1 : 0;
    return changed;
}

TEST_F(StartUpTest, ShippedPresetShowsTheDecorationsAndEachDecorationButtonChangesThePage)
{
    CopyShippedControlFolder(programFolder);
    CString text;
    for (int para = 0; para < 8; ++para) {
        if (para)
            text += L"\r\n";
        for (int i = 0; i < 300; ++i)
            text += (wchar_t)(0x4E00 + (para * 300 + i) % 900);
    }
    MakeArticle(L"0001_a.xml", text);
    Start();
    const DisplaySettingsBlock& ds = DisplaySettings;
    EXPECT_FALSE(ds.bWholeLeft || ds.bWholeTop || ds.bWholeBottom);
    EXPECT_NE(200, ds.nVerticalWidth);      // side bars beside tall blocks
    EXPECT_FALSE(ds.VerticalSet.vecFiles.empty());
    EXPECT_FALSE(ds.LineSet.vecFiles.empty());
    Select(Item({L"0001_a.xml"}));
    CImportView* pane = Upper();
    ASSERT_NE(nullptr, pane->m_pRoot);
    for (bool fromPane : {false, true}) {
        SCOPED_TRACE(fromPane ? "pane active" : "tree active");
        CView* active = fromPane ? (CView*)pane : (CView*)TreeView();
        frame->SetActiveView(active);
        active->SetFocus();
        pane->UpdateWindow();
        Pump();
        for (UINT id : {ID_RANDOM_VERTICAL_BAR, ID_RANDOM_HORIZONTAL_BAR}) {
            SCOPED_TRACE(id == ID_RANDOM_VERTICAL_BAR ? "换竖边" : "换横线");
            const ClientCapture before(pane->m_hWnd);
            Command(id);
            pane->UpdateWindow();
            const ClientCapture after(pane->m_hWnd);
            EXPECT_GT(ChangedPixels(before, after), 2000);
        }
    }
}

// ---------------------------------------------------------------- editing

TEST_F(EditingTest, NewFolderAndArticleGetNumbersAndTypedTitles)
{
    Start();
    Select(Tree().GetRootItem());
    Command(ID_TREE_NEW_FOLDER);
    ASSERT_NE(EditBox(), nullptr);
    CString shown;
    CWnd::FromHandle(EditBox())->GetWindowText(shown);
    EXPECT_EQ(shown, L"新目录");
    // Nothing is made on disk before the name is settled.
    EXPECT_FALSE(Exists(InLibrary(L"0001_新目录")));
    TypeInEditor(L"卷一");
    PressInEditor(VK_RETURN);
    EXPECT_EQ(EditBox(), nullptr);
    EXPECT_TRUE(IsFolder(InLibrary(L"0001_卷一")));
    EXPECT_FALSE(Exists(InLibrary(L"0001_新目录")));
    HTREEITEM folder = Item({L"0001_卷一"});
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(Tree().GetSelectedItem(), folder);

    Command(ID_TREE_NEW_ARTICLE);
    HTREEITEM article = Tree().GetSelectedItem();
    ASSERT_NE(article, nullptr);
    EXPECT_EQ(Tree().GetItemText(article), L"0001_新文章.xml");
    EXPECT_EQ(Tree().GetParentItem(article), folder);
    // The new article is open in the upper pane at once.
    EXPECT_NE(Upper()->m_pRoot, nullptr);
    EXPECT_TRUE(Upper()->IsWindowEnabled());
    TypeInEditor(L"第一章");
    PressInEditor(VK_RETURN);
    EXPECT_EQ(Tree().GetItemText(article), L"0001_第一章.xml");
    EXPECT_EQ(frame->m_upperParts.GetFullPath(), InLibrary(L"0001_卷一\\0001_第一章.xml"));

    TypeIntoPane(Upper(), L"天地玄黄");
    Command(ID_SAVE_PAGE);
    EXPECT_EQ(Upper()->m_bModified, 0);
    EXPECT_EQ(FileText(InLibrary(L"0001_卷一\\0001_第一章.xml")), L"天地玄黄");

    // A second article in the same folder takes the next number.
    Command(ID_TREE_NEW_ARTICLE);
    EXPECT_EQ(Tree().GetItemText(Tree().GetSelectedItem()), L"0002_新文章.xml");
    PressInEditor(VK_RETURN);
    EXPECT_EQ(Tree().GetItemText(Tree().GetSelectedItem()), L"0002_新文章.xml");
    EXPECT_TRUE(Boxes::Texts().empty());
}

TEST_F(EditingTest, NumbersSkipNamesTakenOnDiskInAFolderNeverOpened)
{
    MakeArticle(L"卷二\\0001_a.xml", L"a");
    MakeArticle(L"卷二\\0002_b.xml", L"b");
    MakeFolder(L"卷二\\0003_新目录");
    Start();
    HTREEITEM volume = Tree().GetChildItem(Tree().GetRootItem());
    ASSERT_EQ(Tree().GetItemText(volume), L"卷二");
    ASSERT_FALSE(Tree().GetItemState(volume, TVIS_EXPANDEDONCE) & TVIS_EXPANDEDONCE);
    Select(volume);
    Command(ID_TREE_NEW_FOLDER);
    PressInEditor(VK_RETURN);
    std::vector<CString> children = ChildTexts(volume);
    EXPECT_EQ(children, (std::vector<CString>{L"0001_a.xml", L"0002_b.xml", L"0003_新目录", L"0004_新目录"}));
    EXPECT_TRUE(IsFolder(InLibrary(L"卷二\\0004_新目录")));
}

TEST_F(EditingTest, RenameEndsByClickingElsewhereAndKeepsPrefixAndSuffix)
{
    MakeArticle(L"0005_1.xml", L"正文");
    Start();
    HTREEITEM article = Item({L"0005_1.xml"});
    Select(article);
    TreeCommand(ID_TREE_RENAME);
    CString shown;
    CWnd::FromHandle(EditBox())->GetWindowText(shown);
    EXPECT_EQ(shown, L"1");
    TypeInEditor(L"星河");
    // The box loses the keyboard to another window.
    Upper()->SetFocus();
    Pump();
    EXPECT_EQ(EditBox(), nullptr);
    EXPECT_EQ(Tree().GetItemText(article), L"0005_星河.xml");
    EXPECT_TRUE(Exists(InLibrary(L"0005_星河.xml")));
    EXPECT_FALSE(Exists(InLibrary(L"0005_1.xml")));
    EXPECT_EQ(FileText(InLibrary(L"0005_星河.xml")), L"正文");

    // A click on the tree ends the next rename the same way.
    Select(article);
    TreeCommand(ID_TREE_RENAME);
    TypeInEditor(L"月光");
    CRect last;
    Tree().GetItemRect(article, &last, FALSE);
    LPARAM below = MAKELPARAM(20, last.bottom + 40);
    TreeView()->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, below);
    TreeView()->SendMessage(WM_LBUTTONUP, 0, below);
    Pump();
    EXPECT_EQ(EditBox(), nullptr);
    EXPECT_EQ(Tree().GetItemText(article), L"0005_月光.xml");
    EXPECT_TRUE(Exists(InLibrary(L"0005_月光.xml")));
    // The pane's article followed its file.
    EXPECT_EQ(frame->m_upperParts.GetFullPath(), InLibrary(L"0005_月光.xml"));
}

TEST_F(EditingTest, UnchangedOrCancelledRenameKeepsTheName)
{
    MakeArticle(L"0003_旧题.xml", L"x");
    MakeFolder(L"0001_资料.xml");
    Start();
    // A folder named like an article keeps its whole name too.
    for (const wchar_t* name : {L"0001_资料.xml", L"0003_旧题.xml"}) {
        HTREEITEM item = Item({name});
        Select(item);
        TreeCommand(ID_TREE_RENAME);
        PressInEditor(VK_RETURN);
        EXPECT_EQ(Tree().GetItemText(item), name);
        EXPECT_TRUE(Exists(InLibrary(name)));
    }
    EXPECT_TRUE(IsFolder(InLibrary(L"0001_资料.xml")));

    HTREEITEM article = Item({L"0003_旧题.xml"});
    TreeCommand(ID_TREE_RENAME);
    TypeInEditor(L"新题");
    PressInEditor(VK_ESCAPE);
    EXPECT_EQ(EditBox(), nullptr);
    EXPECT_EQ(Tree().GetItemText(article), L"0003_旧题.xml");
    EXPECT_TRUE(Exists(InLibrary(L"0003_旧题.xml")));
    EXPECT_FALSE(Exists(InLibrary(L"0003_新题.xml")));
    EXPECT_TRUE(Boxes::Texts().empty());
}

TEST_F(EditingTest, KeysTypedWhileRenamingGoToTheNameNotToTheArticle)
{
    MakeArticle(L"0003_旧题.xml", L"正文内容");
    Start();
    HTREEITEM article = Item({L"0003_旧题.xml"});
    Select(article);
    TreeCommand(ID_TREE_RENAME);
    ASSERT_NE(EditBox(), nullptr);
    ASSERT_EQ(::GetFocus(), EditBox());
    // Shift+Left selects in the name box and Ctrl+X cuts there; the article stays.
    Key(VK_END);
    Key(VK_LEFT, VK_SHIFT);
    Key('X', VK_CONTROL);
    TypeChars(L"事");
    Key(VK_RETURN);
    EXPECT_EQ(EditBox(), nullptr);
    EXPECT_EQ(Tree().GetItemText(article), L"0003_旧事.xml");
    EXPECT_EQ(ArticleText(*Upper()), L"正文内容");
    EXPECT_EQ(Upper()->m_bModified, 0);

    // Esc gives the next rename up.
    TreeCommand(ID_TREE_RENAME);
    TypeChars(L"别题");
    Key(VK_ESCAPE);
    EXPECT_EQ(EditBox(), nullptr);
    EXPECT_EQ(Tree().GetItemText(article), L"0003_旧事.xml");
    EXPECT_TRUE(Exists(InLibrary(L"0003_旧事.xml")));
    EXPECT_TRUE(Boxes::Texts().empty());
}

TEST_F(EditingTest, TypedNamesAreCleanedAndCollisionsRefused)
{
    MakeArticle(L"甲.xml", L"甲文");
    MakeArticle(L"乙.xml", L"乙文");
    MakeFolder(L"0002_目录");
    MakeFolder(L"0001_资料.xml");
    Start();
    HTREEITEM second = Item({L"乙.xml"});
    Select(second);
    TreeCommand(ID_TREE_RENAME);
    TypeInEditor(L"甲");
    PressInEditor(VK_RETURN);
    EXPECT_EQ(Boxes::CountContaining(L"甲.xml"), 1);
    EXPECT_EQ(Tree().GetItemText(second), L"乙.xml");
    EXPECT_EQ(FileText(InLibrary(L"甲.xml")), L"甲文");
    EXPECT_EQ(FileText(InLibrary(L"乙.xml")), L"乙文");

    Boxes::Clear();
    TreeCommand(ID_TREE_RENAME);
    TypeInEditor(L" a/b:c?  ");
    PressInEditor(VK_RETURN);
    EXPECT_EQ(Tree().GetItemText(second), L"abc.xml");
    EXPECT_TRUE(Exists(InLibrary(L"abc.xml")));

    // A folder typed with ".xml" keeps its number and stays a folder; one
    // whose name ends in ".xml" keeps that ending, which the user did not touch.
    const struct { const wchar_t* from; const wchar_t* typed; const wchar_t* to; } folders[] = {
        {L"0002_目录", L"资料.xml", L"0002_资料"}, {L"0001_资料.xml", L"资料二", L"0001_资料二.xml"}};
    for (const auto& f : folders) {
        HTREEITEM folder = Item({f.from});
        Select(folder);
        TreeCommand(ID_TREE_RENAME);
        TypeInEditor(f.typed);
        PressInEditor(VK_RETURN);
        EXPECT_EQ(Tree().GetItemText(folder), f.to);
        EXPECT_TRUE(IsFolder(InLibrary(f.to)));
    }
    EXPECT_TRUE(Boxes::Texts().empty());
}

TEST_F(EditingTest, RenamingAFolderMovesThePathsOfOpenArticles)
{
    MakeArticle(L"0001_卷一\\0001_a.xml", L"一");
    MakeArticle(L"我的写小说\\0001_草稿.xml", L"稿");
    Start();
    Select(Item({L"0001_卷一", L"0001_a.xml"}));
    Select(Item({L"我的写小说", L"0001_草稿.xml"}));
    ASSERT_NE(Upper()->m_pRoot, nullptr);
    ASSERT_NE(Lower()->m_pRoot, nullptr);
    TypeIntoPane(Upper(), L"上");
    TypeIntoPane(Lower(), L"下");

    Select(Item({L"0001_卷一"}));
    TreeCommand(ID_TREE_RENAME);
    TypeInEditor(L"卷甲");
    PressInEditor(VK_RETURN);
    Select(Item({L"我的写小说"}));
    TreeCommand(ID_TREE_RENAME);
    TypeInEditor(L"写小说二");
    PressInEditor(VK_RETURN);
    EXPECT_TRUE(IsFolder(InLibrary(L"0001_卷甲")));
    EXPECT_TRUE(IsFolder(InLibrary(L"写小说二")));

    Command(ID_SAVE_PAGE);
    EXPECT_FALSE(Exists(InLibrary(L"0001_卷一")));
    EXPECT_FALSE(Exists(InLibrary(L"我的写小说")));
    EXPECT_EQ(FileText(InLibrary(L"0001_卷甲\\0001_a.xml")), L"一上");
    EXPECT_EQ(FileText(InLibrary(L"写小说二\\0001_草稿.xml")), L"稿下");
}

TEST_F(EditingTest, AnArticleIsOpenInOnePaneOnlyAfterItsFolderIsRenamed)
{
    MakeArticle(L"卷一\\0001_a.xml", L"甲");
    Start();
    Select(Item({L"卷一", L"0001_a.xml"}));
    TypeIntoPane(Upper(), L"改");
    Select(Item({L"卷一"}));
    TreeCommand(ID_TREE_RENAME);
    TypeChars(L"写小说卷一");
    Key(VK_RETURN);
    ASSERT_TRUE(IsFolder(InLibrary(L"写小说卷一")));

    Select(Item({L"写小说卷一", L"0001_a.xml"}));
    EXPECT_TRUE(frame->m_lowerParts.IsEmpty());
    EXPECT_EQ(Lower()->m_pRoot, nullptr);
    EXPECT_EQ(ArticleText(*Upper()), L"甲改");
    TypeIntoPane(Upper(), L"再");
    Command(ID_SAVE_PAGE);
    EXPECT_EQ(FileText(InLibrary(L"写小说卷一\\0001_a.xml")), L"甲改再");
}

TEST_F(EditingTest, LongTitlesAreCutToFitAndFoldersNeverTakeTheArticleMark)
{
    MakeArticle(L"0001_a.xml", L"甲");
    MakeFolder(L"0002_资料");
    Start();
    Select(Item({L"0001_a.xml"}));
    TreeCommand(ID_TREE_RENAME);
    TypeChars(std::wstring(94, L'章').c_str());
    Key(VK_RETURN);
    const CString cut = CString(L"0001_") + std::wstring(82, L'章').c_str() + L".xml";
    EXPECT_EQ(Boxes::CountContaining(L"截短"), 1);
    EXPECT_EQ(FileText(Library() + L"\\" + cut), L"甲");

    Select(Item({L"0002_资料"}));
    TreeCommand(ID_TREE_RENAME);
    TypeChars(L"资料.xml版");
    Key(VK_RETURN);
    EXPECT_EQ(Boxes::CountContaining(L".xml"), 1);
    EXPECT_TRUE(IsFolder(InLibrary(L"0002_资料")));

    Stop();
    Start();
    EXPECT_NE(Item({cut.GetString()}), nullptr);
    EXPECT_NE(Item({L"0002_资料"}), nullptr);
}

TEST_F(EditingTest, AFolderWhoseNameHoldsTheArticleMarkStaysAFolder)
{
    // Made by another program.
    MakeArticle(L"0002_资料.xml版\\0001_a.xml", L"甲");
    Start();
    HTREEITEM folder = Item({L"0002_资料.xml版"});
    ASSERT_NE(folder, nullptr);
    Select(folder);
    EXPECT_EQ(Upper()->m_pRoot, nullptr);
    Command(ID_TREE_NEW_ARTICLE);
    Key(VK_RETURN);
    EXPECT_EQ(ChildTexts(folder).size(), 2u);
    Select(Item({L"0002_资料.xml版", L"0001_a.xml"}));
    EXPECT_EQ(ArticleText(*Upper()), L"甲");
    TypeIntoPane(Upper(), L"乙");
    Command(ID_SAVE_PAGE);
    EXPECT_EQ(FileText(InLibrary(L"0002_资料.xml版\\0001_a.xml")), L"甲乙");
}

TEST_F(EditingTest, DeletingANewArticleThatHoldsTextAsksFirst)
{
    Start();
    Select(Tree().GetRootItem());
    Command(ID_TREE_NEW_ARTICLE);
    PressInEditor(VK_RETURN);
    HTREEITEM article = Tree().GetSelectedItem();
    ASSERT_EQ(Tree().GetItemText(article), L"0001_新文章.xml");
    Upper()->SetFocus();
    Pump();
    TypeChars(L"尚未保存的文字");
    ASSERT_FALSE(Exists(InLibrary(L"0001_新文章.xml")));

    Boxes::Answer() = IDNO;
    TreeCommand(ID_TREE_DELETE);
    EXPECT_EQ(Boxes::Texts().size(), 1u);
    EXPECT_EQ(Item({L"0001_新文章.xml"}), article);
    EXPECT_EQ(ArticleText(*Upper()), L"尚未保存的文字");

    Boxes::Answer() = IDYES;
    Boxes::Clear();
    TreeCommand(ID_TREE_DELETE);
    EXPECT_EQ(Boxes::Texts().size(), 1u);
    EXPECT_EQ(Item({L"0001_新文章.xml"}), nullptr);
    EXPECT_FALSE(Exists(InLibrary(L"0001_新文章.xml")));

    // A new article nobody typed in goes without a question.
    Boxes::Clear();
    Command(ID_TREE_NEW_ARTICLE);
    PressInEditor(VK_RETURN);
    TreeCommand(ID_TREE_DELETE);
    EXPECT_TRUE(Boxes::Texts().empty());
    EXPECT_TRUE(ChildTexts(Tree().GetRootItem()).empty());
}

TEST_F(EditingTest, DeleteAsksFirstAndClosesOnlyTheDeletedArticle)
{
    MakeArticle(L"卷一\\0001_a.xml", L"a");
    MakeArticle(L"卷一\\0002_b.xml", L"b");
    MakeArticle(L"写小说\\0001_稿.xml", L"稿");
    Start();
    Select(Item({L"写小说", L"0001_稿.xml"}));
    HTREEITEM a = Item({L"卷一", L"0001_a.xml"});
    Select(a);
    ASSERT_NE(Upper()->m_pRoot, nullptr);

    Boxes::Answer() = IDNO;
    TreeCommand(ID_TREE_DELETE);
    EXPECT_EQ(Boxes::Texts().size(), 1u);
    EXPECT_TRUE(Exists(InLibrary(L"卷一\\0001_a.xml")));
    EXPECT_EQ(Tree().GetItemText(a), L"0001_a.xml");

    Boxes::Answer() = IDYES;
    Boxes::Clear();
    // The selection moves on to the next article once the item is gone.
    TreeCommand(ID_TREE_DELETE);
    EXPECT_EQ(Boxes::Texts().size(), 1u);
    EXPECT_FALSE(Exists(InLibrary(L"卷一\\0001_a.xml")));
    EXPECT_EQ(Item({L"卷一", L"0001_a.xml"}), nullptr);
    EXPECT_NE(frame->m_upperParts.GetLast(), L"0001_a.xml");
    // The other pane's article was not touched.
    EXPECT_NE(Lower()->m_pRoot, nullptr);
    EXPECT_EQ(frame->m_lowerParts.GetLast(), L"0001_稿.xml");
}

TEST_F(EditingTest, DeleteRefusesTheRootAndFoldersWithItems)
{
    MakeArticle(L"卷一\\0001_a.xml", L"a");
    MakeFolder(L"空");
    Start();
    Select(Tree().GetRootItem());
    TreeCommand(ID_TREE_DELETE);
    EXPECT_TRUE(IsFolder(Library()));
    EXPECT_NE(Tree().GetRootItem(), nullptr);

    Select(Item({L"卷一"}));
    TreeCommand(ID_TREE_DELETE);
    EXPECT_EQ(Boxes::CountContaining(L"请先删除此目录下的所有文件"), 1);
    EXPECT_TRUE(IsFolder(InLibrary(L"卷一")));

    Boxes::Clear();
    Select(Item({L"空"}));
    TreeCommand(ID_TREE_DELETE);
    EXPECT_FALSE(Exists(InLibrary(L"空")));
    EXPECT_EQ(Item({L"空"}), nullptr);
    EXPECT_TRUE(Boxes::Texts().empty());
}

// ---------------------------------------------------------------- switching

TEST_F(SwitchingTest, SelectingAnotherArticleSavesTheChangedOne)
{
    MakeArticle(L"卷一\\0001_a.xml", L"甲");
    MakeArticle(L"卷一\\0002_b.xml", L"乙");
    Start();
    HTREEITEM a = Item({L"卷一", L"0001_a.xml"});
    HTREEITEM b = Item({L"卷一", L"0002_b.xml"});
    Select(a);
    EXPECT_EQ(ArticleText(*Upper()), L"甲");
    CString title;
    frame->GetWindowText(title);
    EXPECT_EQ(title, ArticleWindowTitle(L"卷一", L"0001_a.xml"));
    TypeIntoPane(Upper(), L"一");

    Select(b);
    EXPECT_EQ(ArticleText(*Upper()), L"乙");
    EXPECT_EQ(Upper()->m_bModified, 0);
    EXPECT_EQ(FileText(InLibrary(L"卷一\\0001_a.xml")), L"甲一");
    EXPECT_EQ(frame->m_upperParts.GetFullPath(), InLibrary(L"卷一\\0002_b.xml"));

    // Unchanged articles are not written again.
    FILETIME before, after;
    HANDLE h = CreateFileW(InLibrary(L"卷一\\0002_b.xml"), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    GetFileTime(h, nullptr, nullptr, &before);
    CloseHandle(h);
    Sleep(20);
    Select(a);
    EXPECT_EQ(ArticleText(*Upper()), L"甲一");
    h = CreateFileW(InLibrary(L"卷一\\0002_b.xml"), GENERIC_READ, FILE_SHARE_READ, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    GetFileTime(h, nullptr, nullptr, &after);
    CloseHandle(h);
    EXPECT_EQ(CompareFileTime(&before, &after), 0);
}

TEST_F(SwitchingTest, WritingFolderArticlesGoToTheLowerPane)
{
    MakeArticle(L"卷一\\0001_a.xml", L"上文");
    MakeArticle(L"我的写小说草稿\\章\\0001_x.xml", L"下文");
    Start();
    Select(Item({L"卷一", L"0001_a.xml"}));
    Select(Item({L"我的写小说草稿", L"章", L"0001_x.xml"}));
    EXPECT_EQ(ArticleText(*Upper()), L"上文");
    EXPECT_EQ(ArticleText(*Lower()), L"下文");
    EXPECT_EQ(frame->m_lowerParts.GetCount(), 3);
    // Selecting a folder changes neither pane.
    Select(Item({L"卷一"}));
    EXPECT_EQ(ArticleText(*Upper()), L"上文");
    EXPECT_EQ(frame->m_upperParts.GetLast(), L"0001_a.xml");
}

TEST_F(SwitchingTest, PagesStepThroughTheArticlesInTreeOrder)
{
    MakeArticle(L"卷一\\0001_a.xml", L"a");
    MakeArticle(L"卷一\\0002_b.xml", L"b");
    MakeArticle(L"卷二\\0001_c.xml", L"c");
    Start();
    Select(Item({L"卷一", L"0001_a.xml"}));
    Item({L"卷二", L"0001_c.xml"});
    Command(ID_NEXT_PAGE);
    EXPECT_EQ(ArticleText(*Upper()), L"b");
    Command(ID_NEXT_PAGE);
    EXPECT_EQ(ArticleText(*Upper()), L"c");
    Command(ID_NEXT_PAGE);
    EXPECT_EQ(ArticleText(*Upper()), L"c");
    Command(ID_PREV_PAGE);
    EXPECT_EQ(ArticleText(*Upper()), L"b");
    Command(ID_PREV_PAGE);
    EXPECT_EQ(ArticleText(*Upper()), L"a");

    // The pane's own context commands page through the frame too.
    Upper()->SendMessage(WM_COMMAND, MAKEWPARAM(ID_VIEW_NEXT_PAGE, 0), 0);
    EXPECT_EQ(ArticleText(*Upper()), L"b");
    Upper()->SendMessage(WM_COMMAND, MAKEWPARAM(ID_VIEW_PREV_PAGE, 0), 0);
    EXPECT_EQ(ArticleText(*Upper()), L"a");
}

TEST_F(SwitchingTest, PagesReachTheNearestArticleInFoldersNeverOpened)
{
    MakeArticle(L"v1\\0001_a.xml", L"a");
    MakeArticle(L"v1\\0002_b.xml", L"b");
    MakeArticle(L"v2\\0001_c.xml", L"c");
    MakeArticle(L"v3\\p1\\0001_d.xml", L"d");
    Start();
    Select(Item({L"v2", L"0001_c.xml"}));
    ASSERT_FALSE(Tree().GetItemState(Item({L"v1"}), TVIS_EXPANDEDONCE) & TVIS_EXPANDEDONCE);
    // Back from c is the last article of v1, not the one v1 showed before it was opened.
    Key(VK_PRIOR);
    EXPECT_EQ(ArticleText(*Upper()), L"b");
    Key(VK_NEXT);
    EXPECT_EQ(ArticleText(*Upper()), L"c");
    // On from c goes down into v3's first folder to its first article.
    Key(VK_NEXT);
    EXPECT_EQ(ArticleText(*Upper()), L"d");
    EXPECT_EQ(Tree().GetItemText(Tree().GetSelectedItem()), L"0001_d.xml");
}

TEST_F(SwitchingTest, PagingFromThePaneKeepsTheKeyboardInIt)
{
    MakeArticle(L"0001_a.xml", L"a");
    MakeArticle(L"0002_b.xml", L"b");
    MakeArticle(L"0003_c.xml", L"c");
    Start();
    Select(Item({L"0001_a.xml"}));
    frame->SetActiveView(Upper());
    Upper()->SetFocus();
    Key(VK_NEXT);
    EXPECT_EQ(ArticleText(*Upper()), L"b");
    EXPECT_EQ(::GetFocus(), Upper()->m_hWnd);
    // An arrow key then moves in the article, not to the next item of the tree.
    Key(VK_DOWN);
    EXPECT_EQ(Tree().GetItemText(Tree().GetSelectedItem()), L"0002_b.xml");
    EXPECT_EQ(ArticleText(*Upper()), L"b");
}

TEST_F(SwitchingTest, TheMarkCommandMarksTheUpperPaneSelection)
{
    MakeArticle(L"卷一\\0001_a.xml", L"甲乙丙");
    Start();
    Select(Item({L"卷一", L"0001_a.xml"}));
    ASSERT_EQ(ArticleText(*Upper()), L"甲乙丙");
    ASSERT_NE(Upper()->m_pRoot, nullptr);
    DisplaySettings.bSingle = 0;
    DisplaySettings.nBiaozhu = 3;
    Upper()->SelectAllItems(true);
    Command(ID_MARK);
    EXPECT_EQ(Upper()->m_bModified, 1);
    ASSERT_NE(Upper()->m_pRoot, nullptr);
    CharItem* first = Upper()->FirstLine(Upper()->m_pRoot)->pFirstItem;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->nMark, 3);
    EXPECT_EQ(first->nStyle, 0);
}

TEST_F(SwitchingTest, ArticlesDeeperThanTenLevelsKeepTheirWholePath)
{
    CString deep = L"d1\\d2\\d3\\d4\\d5\\d6\\d7\\d8\\d9\\d10\\d11\\0001_深.xml";
    MakeArticle(deep, L"深处");
    Start();
    HTREEITEM item = Item({L"d1", L"d2", L"d3", L"d4", L"d5", L"d6", L"d7", L"d8", L"d9", L"d10", L"d11",
                           L"0001_深.xml"});
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(TreeView()->GetItemFilePath(item), InLibrary(deep));
    Select(item);
    EXPECT_EQ(ArticleText(*Upper()), L"深处");
    EXPECT_EQ(frame->m_upperParts.GetCount(), 12);
    TypeIntoPane(Upper(), L"更深");
    Command(ID_SAVE_PAGE);
    EXPECT_EQ(FileText(InLibrary(deep)), L"深处更深");
    EXPECT_FALSE(Exists(InLibrary(L"d1\\d2\\d3\\d4\\d5\\d6\\d7\\d8\\d9\\0001_深.xml")));
}

TEST_F(SwitchingTest, AnArticlePathTooLongIsRefusedWithAMessage)
{
    MakeArticle(L"0001_a.xml", L"a");
    Start();
    HTREEITEM a = Item({L"0001_a.xml"});
    Select(a);
    CString longName(L'长', 240);
    longName += L".xml";
    HTREEITEM tooLong = Tree().InsertItem(longName, Tree().GetRootItem());
    Select(tooLong);
    EXPECT_EQ(Boxes::CountContaining(L"路径太长"), 1);
    EXPECT_EQ(Tree().GetSelectedItem(), a);
    EXPECT_EQ(ArticleText(*Upper()), L"a");
    EXPECT_EQ(frame->m_upperParts.GetLast(), L"0001_a.xml");
}

} // namespace
