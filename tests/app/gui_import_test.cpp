// TXT import in the real frame: files and folders dropped on the window (an
// in-process HDROP, as a shell drop delivers it), the books they make on
// disk and in the tree after a restart, the panes an import types into and
// what it tells when files cannot be read.
#include "AppTestUtil.h"
#include "app/ChapterSplit.h"
#include "app/XiaoshuoDlg.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TempFiles.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <set>
#include <sstream>

using namespace apptest;

namespace {

// Lines of sentences, never a title line.
CString Prose(int length)
{
    static const wchar_t kLine[] = L"他们沿着河岸走了很久，天色渐渐暗了下来。风吹过芦苇，远处有人唱歌。\r\n";
    CString s;
    while (s.GetLength() < length)
        s += kLine;
    return s;
}

// A novel of three titled chapters, about 25,000 characters, CR LF lines.
CString Novel(const wchar_t* flavour)
{
    return CString(L"序：") + flavour + L"\r\n" + Prose(300) + L"第一章 开端\r\n" + Prose(9000) + L"第二章 中段\r\n" +
           Prose(9000) + L"第三章 结局\r\n" + Prose(6000);
}

std::string Gbk(const CString& text)
{
    return WideToMultiByte(text.GetString(), text.GetLength(), 936);
}

std::string Utf16(const CString& text)
{
    std::string bytes = "\xFF\xFE";
    bytes.append((const char*)text.GetString(), text.GetLength() * sizeof(wchar_t));
    return bytes;
}

std::string Utf8Bom(const CString& text)
{
    return "\xEF\xBB\xBF" + WideToMultiByte(text.GetString(), text.GetLength(), CP_UTF8);
}

// What an article holds once saved: paragraphs, no carriage returns.
CString Stored(CString text)
{
    text.Remove(L'\r');
    return text;
}

// Long texts compared with a short report: lengths and the first difference.
::testing::AssertionResult SameText(const CString& got, const CString& want)
{
    if (got == want)
        return ::testing::AssertionSuccess();
    int i = 0;
    while (i < got.GetLength() && i < want.GetLength() && got[i] == want[i])
        ++i;
    std::ostringstream os;
    PrintTo(got.Mid(std::max(0, i - 10), 30), &os);
    os << " instead of ";
    PrintTo(want.Mid(std::max(0, i - 10), 30), &os);
    return ::testing::AssertionFailure() << "lengths " << got.GetLength() << " and " << want.GetLength()
                                         << ", first difference at " << i << ": " << os.str();
}

// Types text into the window with the keyboard focus, character by character.
void PostTextToFocus(const CString& text)
{
    HWND focus = GetFocus();
    for (int i = 0; i < text.GetLength(); ++i)
        PostMessageW(focus, WM_CHAR, text[i], 1);
}

FILETIME WriteTime(const CString& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(path, GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

class ImportTest : public AppTest {
protected:
    testfiles::TempFolder source{L"导入源"};

    CString Put(const wchar_t* name, const std::string& bytes)
    {
        CString path = source.Sub(name);
        EXPECT_TRUE(testfiles::PutFile(path, bytes));
        return path;
    }

    // Tabs to 导入 in the import dialog and presses it.
    void PressImportButton()
    {
        for (int i = 0; i < 6 && GetDlgCtrlID(GetFocus()) != IDC_NOVEL_IMPORT; ++i) {
            PostKeyToFocus(VK_TAB);
            Pump();
        }
        ASSERT_EQ(GetDlgCtrlID(GetFocus()), IDC_NOVEL_IMPORT);
        PostKeyToFocus(VK_SPACE);
        Pump();
    }

    // Drops the paths on the frame the way the shell does.
    void Drop(const std::vector<CString>& paths)
    {
        size_t chars = 1;
        for (const CString& p : paths)
            chars += p.GetLength() + 1;
        HGLOBAL mem = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
        ASSERT_NE(mem, nullptr);
        DROPFILES* drop = (DROPFILES*)GlobalLock(mem);
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = TRUE;
        wchar_t* out = (wchar_t*)((BYTE*)drop + sizeof(DROPFILES));
        for (const CString& p : paths) {
            wcscpy(out, p.GetString());
            out += p.GetLength() + 1;
        }
        *out = 0;
        GlobalUnlock(mem);
        frame->SendMessage(WM_DROPFILES, (WPARAM)mem, 0);
        Pump();
    }

    // The texts of a book folder's articles in name order, joined.
    CString BookText(const CString& folder)
    {
        std::set<CString> names = testfiles::Listing(folder);
        CString all;
        for (const CString& name : names)
            all += FileText(folder + L"\\" + name, false);
        return all;
    }
};

TEST_F(ImportTest, DroppedFilesInEveryEncodingBecomeBooksThatSurviveARestart)
{
    MakeFolder(L"书库");
    MakeArticle(L"0001_旧.xml", L"旧文");
    const CString gbk = Novel(L"国标");
    const CString utf16 = L"短篇的第一行\r\n第二行，完。\r\n";
    const CString utf8 = L"八位编码的短文。\r\n";
    std::vector<CString> paths = {Put(L"长篇.txt", Gbk(gbk)), Put(L"Short.TXT", Utf16(utf16)),
                                  Put(L"八.txt", Utf8Bom(utf8)), Put(L"图.doc", "x")};
    Start();
    // The open article is not written again merely because an import starts.
    Select(Item({L"0001_旧.xml"}));
    const FILETIME before = WriteTime(InLibrary(L"0001_旧.xml"));
    Sleep(20);
    Select(Item({L"书库"}));
    Drop(paths);

    EXPECT_TRUE(Boxes::Texts().empty());
    EXPECT_FALSE(bImporting);
    const FILETIME after = WriteTime(InLibrary(L"0001_旧.xml"));
    EXPECT_EQ(CompareFileTime(&before, &after), 0);
    // Every article reached the disk, the last one too, before any restart.
    EXPECT_TRUE(SameText(FileText(InLibrary(L"书库\\长篇\\0003_第三章 结局.xml"), false), Stored(L"第三章 结局\r\n" + Prose(6000))));
    Stop();

    EXPECT_EQ(testfiles::Listing(InLibrary(L"书库")),
              (std::set<CString>{L"长篇", L"short.xml", L"八.xml"}));
    EXPECT_EQ(testfiles::Listing(InLibrary(L"书库\\长篇")),
              (std::set<CString>{L"0001_第一章 开端.xml", L"0002_第二章 中段.xml", L"0003_第三章 结局.xml"}));
    EXPECT_TRUE(SameText(BookText(InLibrary(L"书库\\长篇")), Stored(gbk)));
    EXPECT_TRUE(SameText(FileText(InLibrary(L"书库\\short.xml"), false), Stored(utf16)));
    EXPECT_TRUE(SameText(FileText(InLibrary(L"书库\\八.xml"), false), Stored(utf8)));

    Start();
    HTREEITEM shelf = Item({L"书库"});
    ASSERT_NE(shelf, nullptr);
    Tree().Expand(shelf, TVE_EXPAND);
    std::vector<CString> children = ChildTexts(shelf);
    std::sort(children.begin(), children.end());
    EXPECT_EQ(children, (std::vector<CString>{L"short.xml", L"八.xml", L"长篇"}));
    Select(Item({L"书库", L"长篇", L"0002_第二章 中段.xml"}));
    EXPECT_TRUE(SameText(ArticleText(*Upper(), false), Stored(L"第二章 中段\r\n" + Prose(9000))));
}

TEST_F(ImportTest, ImportIntoAWritingFolderLeavesTheUpperArticleAlone)
{
    MakeArticle(L"0001_a.xml", L"原文");
    MakeFolder(L"我的写小说");
    const CString novel = Novel(L"写");
    const CString path = Put(L"草稿.txt", Gbk(novel));
    Start();
    Select(Item({L"0001_a.xml"}));
    TypeIntoPane(Upper(), L"改");
    const CPathParts upperParts = frame->PaneParts(0);
    Select(Item({L"我的写小说"}));
    Drop({path});

    EXPECT_TRUE(Boxes::Texts().empty());
    // The upper pane still shows the user's article with its unsaved edit.
    EXPECT_TRUE(frame->PaneParts(0).SameArticle(upperParts));
    EXPECT_EQ(ArticleText(*Upper()), L"原文改");
    EXPECT_EQ(Upper()->m_bModified, 1);
    EXPECT_EQ(FileText(InLibrary(L"0001_a.xml")), L"原文");
    // The chapters went through the lower pane, which shows the last one.
    EXPECT_EQ(frame->PaneParts(1).GetLast(), L"0003_第三章 结局.xml");
    EXPECT_TRUE(SameText(ArticleText(*Lower(), false), Stored(L"第三章 结局\r\n" + Prose(6000))));
    EXPECT_TRUE(SameText(BookText(InLibrary(L"我的写小说\\草稿")), Stored(novel)));
}

TEST_F(ImportTest, ASecondImportGetsANameOfItsOwnAndNoSelectionMeansTheRoot)
{
    const CString novel = Novel(L"同");
    const CString path = Put(L"同名.txt", Gbk(novel));
    const CString shortPath = Put(L"小.txt", Gbk(L"一段短文。"));
    Start();
    Tree().SelectItem(nullptr);
    Drop({path, shortPath});
    Drop({path, shortPath});
    EXPECT_TRUE(Boxes::Texts().empty());
    Stop();
    EXPECT_EQ(testfiles::Listing(Library()),
              (std::set<CString>{L"同名", L"同名(2)", L"小.xml", L"小(2).xml"}));
    EXPECT_TRUE(SameText(BookText(InLibrary(L"同名")), Stored(novel)));
    EXPECT_TRUE(SameText(BookText(InLibrary(L"同名(2)")), Stored(novel)));
    EXPECT_EQ(FileText(InLibrary(L"小(2).xml")), L"一段短文。");
}

TEST_F(ImportTest, ABookImportedIntoAFolderNeverOpenedComesLast)
{
    MakeArticle(L"卷一\\0001_a.xml", L"a");
    MakeArticle(L"卷一\\0002_b.xml", L"b");
    const CString path = Put(L"新书.txt", Gbk(L"一段短文。"));
    Start();
    HTREEITEM volume = Tree().GetChildItem(Tree().GetRootItem());
    ASSERT_EQ(Tree().GetItemText(volume), L"卷一");
    ASSERT_FALSE(Tree().GetItemState(volume, TVIS_EXPANDEDONCE) & TVIS_EXPANDEDONCE);
    Select(volume);
    Drop({path});
    // Read page by page, the new book follows what the folder held.
    const std::vector<CString> children = ChildTexts(volume);
    ASSERT_EQ(children.size(), 3u);
    EXPECT_EQ(children.back(), L"新书.xml");
    EXPECT_EQ(Tree().GetItemText(Tree().GetSelectedItem()), L"新书.xml");
}

TEST_F(ImportTest, FilesThatCannotBeReadAreToldOnceAtTheEnd)
{
    const CString locked = Put(L"锁.txt", Gbk(L"锁住的。"));
    const CString odd = Put(L"奇.txt", Utf16(L"奇数") + "X");
    const CString good = Put(L"好.txt", Gbk(L"好的。"));
    CreateDirectoryW(source.Sub(L"夹"), nullptr);
    Put(L"夹\\里.txt", Gbk(L"里面的。"));
    HANDLE h = CreateFileW(locked, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    Start();
    Drop({locked, odd, good, source.Sub(L"夹"), source.Sub(L"CON.txt")});
    CloseHandle(h);

    ASSERT_EQ(Boxes::Texts().size(), 1u);
    EXPECT_GE(Boxes::Texts()[0].Find(L"锁.txt"), 0);
    EXPECT_GE(Boxes::Texts()[0].Find(L"奇.txt"), 0);
    EXPECT_GE(Boxes::Texts()[0].Find(L"con.txt"), 0);
    EXPECT_LT(Boxes::Texts()[0].Find(L"（）"), 0);     // every reason is told
    EXPECT_LT(Boxes::Texts()[0].Find(L"好.txt"), 0);
    EXPECT_FALSE(bImporting);
    EXPECT_EQ(FileText(InLibrary(L"奇.xml")), L"奇数");
    EXPECT_EQ(FileText(InLibrary(L"好.xml")), L"好的。");
    EXPECT_EQ(FileText(InLibrary(L"里.xml")), L"里面的。");
    EXPECT_FALSE(Exists(InLibrary(L"锁.xml")));
}

// UTF-8 books with their mark and damaged bytes: a last character cut
// short, one 0xFF byte, a few scattered bad bytes. Each damaged sequence
// becomes one U+FFFD, the rest stays UTF-8 with its chapters, and the books
// are named at the end.
TEST_F(ImportTest, DamagedUtf8BooksKeepTheirChaptersAndAreTold)
{
    const CString novel = Novel(L"损") + L"完。";
    auto utf8 = [](const CString& text) { return WideToMultiByte(text.GetString(), text.GetLength(), CP_UTF8); };
    // The novel with bad bytes put in before the given places, and what it reads as.
    auto damaged = [&](std::vector<std::pair<int, std::string>> bad, CString* expected) {
        std::string bytes = "\xEF\xBB\xBF";
        int from = 0;
        expected->Empty();
        for (const auto& b : bad) {
            bytes += utf8(novel.Mid(from, b.first - from)) + b.second;
            *expected += novel.Mid(from, b.first - from) + L"\xFFFD";
            from = b.first;
        }
        *expected += novel.Mid(from);
        return bytes + utf8(novel.Mid(from));
    };
    const int one = novel.Find(L"第一章") + 50, two = novel.Find(L"第二章") + 50, three = novel.Find(L"第三章") + 50;
    CString cutText, oneText, fewText;
    std::string cut = Utf8Bom(novel);
    cut.pop_back();
    cutText = novel.Left(novel.GetLength() - 1) + L"\xFFFD";
    const std::string oneBad = damaged({{two, "\xFF"}}, &oneText);
    const std::string fewBad = damaged({{one, "\x80"}, {two, "\xE4\xB8"}, {three, "\xFE"}}, &fewText);
    Start();
    Drop({Put(L"断尾.txt", cut), Put(L"一字.txt", oneBad), Put(L"几处.txt", fewBad)});

    const std::pair<const wchar_t*, CString> books[] = {{L"断尾", cutText}, {L"一字", oneText}, {L"几处", fewText}};
    for (const auto& book : books) {
        SCOPED_TRACE(testing::PrintToString(book.first));
        EXPECT_EQ(testfiles::Listing(InLibrary(book.first)),
                  (std::set<CString>{L"0001_第一章 开端.xml", L"0002_第二章 中段.xml", L"0003_第三章 结局.xml"}));
        EXPECT_TRUE(SameText(BookText(InLibrary(book.first)), Stored(book.second)));
    }
    ASSERT_EQ(Boxes::Texts().size(), 1u);
    for (const auto& book : books)
        EXPECT_GE(Boxes::Texts()[0].Find(CString(book.first) + L".txt"), 0) << testing::PrintToString(book.first);
}

// A text with no line feed, too long for one article, becomes several
// articles that hold it all.
TEST_F(ImportTest, ALineTooLongForOneArticleBecomesSeveral)
{
    const CString text = CString(L'字', 2 * kMaxArticleChars + 100);
    const CString path = Put(L"长行.txt", Gbk(text));
    Start();
    Drop({path});
    EXPECT_TRUE(Boxes::Texts().empty());
    Stop();
    const CString book = InLibrary(L"长行");
    EXPECT_EQ(testfiles::Listing(book), (std::set<CString>{L"00001.xml", L"00002.xml", L"00003.xml"}));
    CString all;
    for (const CString& name : testfiles::Listing(book)) {
        const CString piece = FileText(book + L"\\" + name, false);
        EXPECT_LE(piece.GetLength(), kMaxArticleChars);
        all += piece;
    }
    EXPECT_TRUE(SameText(all, text));

    // After a piece that ends before a blank line, a CR LF line that fits
    // stays whole, and the blank line makes no blank page. Titles begin with
    // 第 (as the presets set it), so the book has none.
    const CString crlf = CString(L'A', 8990) + L"\r\n" + CString(L'B', 20) + L"\r\n\r\n" +
                         CString(L'C', kMaxArticleChars) + L"\r\n" + CString(L'D', 3000) + L"\r\n";
    Start();
    CString marker = L"第";
    frame->SendMessage(WM_FRAME_TITLE_TEXT, 1, (LPARAM)&marker);
    Drop({Put(L"空行.txt", Gbk(crlf))});
    EXPECT_TRUE(Boxes::Texts().empty());
    Stop();
    const CString blank = InLibrary(L"空行");
    bool whole = false;
    for (const CString& name : testfiles::Listing(blank)) {
        const CString piece = FileText(blank + L"\\" + name, false);
        EXPECT_GE(piece.FindOneOf(L"ABCD"), 0);
        whole = whole || piece.Find(CString(L'C', kMaxArticleChars)) >= 0;
    }
    EXPECT_TRUE(whole);
    EXPECT_EQ(testfiles::Listing(blank).size(), 3u);
}

// The disk refuses the first chapter of a book whose first chapter is long,
// after the book folder and the chapter's folder were made: a dropped file,
// and the same file in a sub-folder of a dropped folder, whose folder the
// folder walk made.
TEST_F(ImportTest, ABookStoppedByAFailingWriteLeavesNoEmptyFolders)
{
    MakeFolder(L"书库");
    MakeFolder(L"空夹");
    MakeArticle(L"0001_旧.xml", L"旧文");
    const std::string book = Gbk(CString(L"第一章 开端\r\n") + Prose(25000) + L"第二章 结局\r\n" + Prose(3000));
    const CString path = Put(L"断.txt", book);
    ASSERT_TRUE(CreateFolderTree(source.Sub(L"源\\子")));
    Put(L"源\\子\\断.txt", book);
    const std::set<CString> before = testfiles::ListingTree(Library());
    static CString refused;
    static bool inMadeFolder;
    refused.Empty();
    struct FullDisk {
        static DWORD Fault(const wchar_t* target)
        {
            refused = target;
            inMadeFolder = FolderExists(ParentFolder(target));
            return ERROR_DISK_FULL;
        }
        NewFileFaultHook old = SetNewFileFaultHook(&Fault);
        ~FullDisk() { SetNewFileFaultHook(old); }
    };
    Start();
    for (const CString& dropped : {path, source.Sub(L"源")}) {
        SCOPED_TRACE(testing::PrintToString(dropped));
        Boxes::Texts().clear();
        refused.Empty();
        Select(Item({L"书库"}));
        {
            FullDisk disk;
            Drop({dropped});
        }

        // The chapter's file was refused inside the chapter's folder inside
        // the book's (inside 子 for the folder).
        const CString shelf = InLibrary(dropped == path ? L"书库\\" : L"书库\\子\\");
        ASSERT_EQ(refused.Find(shelf), 0) << testing::PrintToString(refused);
        EXPECT_EQ(refused.Mid(shelf.GetLength()).Remove(L'\\'), 2);
        EXPECT_TRUE(inMadeFolder);
        // Told once, with the file and the reason.
        ASSERT_EQ(Boxes::Texts().size(), 1u);
        const CString text = Boxes::Texts()[0];
        const CString head = refused + L"：无法写入（";
        const int reason = text.Find(head) + head.GetLength();
        ASSERT_GE(reason, head.GetLength()) << testing::PrintToString(text);
        const int end = text.Find(L"），导入中止", reason);
        EXPECT_GT(end, reason);
        // The reason is the system's, without the path again.
        EXPECT_LT(text.Mid(reason, end - reason).Find(refused), 0) << testing::PrintToString(text);
        EXPECT_FALSE(bImporting);
        // No folder stays, in the tree or on disk; what was there before is all there.
        EXPECT_TRUE(ChildTexts(Item({L"书库"})).empty());
        EXPECT_EQ(testfiles::ListingTree(Library()), before);
    }
    Stop();
    EXPECT_EQ(testfiles::ListingTree(Library()), before);
}

TEST_F(ImportTest, TheImportDialogImportsTheChosenFiles)
{
    MakeFolder(L"书库");
    const CString gbk = Novel(L"对话框");
    const CString utf16 = L"双字节的短文。\r\n";
    const CString utf8 = L"八位的短文。\r\n";
    Put(L"长篇.txt", Gbk(gbk));
    Put(L"双.txt", Utf16(utf16));
    Put(L"八.txt", Utf8Bom(utf8));
    Start();
    Select(Item({L"书库"}));
    TreeCommand(ID_TREE_IMPORT_NOVEL);
    XiaoshuoDlg* dlg = TreeView()->GetImportDialog();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(IsWindowVisible(dlg->m_hWnd));
    ASSERT_TRUE(IsChild(dlg->m_hWnd, GetFocus()));

    // Enter browses. In the file dialog the user types the folder, Enter,
    // then the three names, Enter; the dialog runs its own loop meanwhile.
    static CString names;
    names = L"\"长篇.txt\" \"双.txt\" \"八.txt\"";
    const CString folder = source.Path();
    static HWND fileDialog;
    OnNextDialog([folder](HWND shown) {
        fileDialog = shown;
        PostTextToFocus(folder);
        PostKeyToFocus(VK_RETURN);
        struct Later {
            static void CALLBACK Names(HWND, UINT, UINT_PTR id, DWORD)
            {
                KillTimer(nullptr, id);
                PostTextToFocus(names);
                PostKeyToFocus(VK_RETURN);
            }
            // A dialog that did not take the names is cancelled: the test fails instead of hanging.
            static void CALLBACK GiveUp(HWND, UINT, UINT_PTR id, DWORD)
            {
                KillTimer(nullptr, id);
                if (IsWindow(fileDialog))
                    PostMessageW(fileDialog, WM_COMMAND, IDCANCEL, 0);
            }
        };
        SetTimer(nullptr, 0, 300, &Later::Names);
        SetTimer(nullptr, 0, 8000, &Later::GiveUp);
    }, 10000);
    PostKeyToFocus(VK_RETURN);
    for (int i = 0; i < 100 && dlg->m_vecFiles.size() < 3; ++i)
        Pump(20);
    ASSERT_EQ(dlg->m_vecFiles.size(), 3u);
    EXPECT_EQ(dlg->m_bFolder, 0);

    PressImportButton();

    EXPECT_TRUE(Boxes::Texts().empty());
    EXPECT_FALSE(IsWindowVisible(dlg->m_hWnd));
    EXPECT_FALSE(bImporting);
    EXPECT_TRUE(dlg->m_vecFiles.empty());
    Stop();
    EXPECT_EQ(testfiles::Listing(InLibrary(L"书库")), (std::set<CString>{L"长篇", L"双.xml", L"八.xml"}));
    EXPECT_TRUE(SameText(BookText(InLibrary(L"书库\\长篇")), Stored(gbk)));
    EXPECT_TRUE(SameText(FileText(InLibrary(L"书库\\双.xml"), false), Stored(utf16)));
    EXPECT_TRUE(SameText(FileText(InLibrary(L"书库\\八.xml"), false), Stored(utf8)));
}

// Chooses folder in the shell's folder browser the way a user clicks down to
// it from the drive, then presses Enter.
void ChooseInFolderBrowser(HWND browser, const CString& folder)
{
    HWND tree = FindWindowExW(browser, nullptr, L"SysTreeView32", nullptr);
    ASSERT_NE(tree, nullptr);
    auto text = [tree](HTREEITEM item) {
        wchar_t buf[MAX_PATH] = {};
        TVITEMW tv = {};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = buf;
        tv.cchTextMax = MAX_PATH;
        TreeView_GetItem(tree, &tv);
        return CString(buf);
    };
    auto child = [&](HTREEITEM parent, std::function<bool(const CString&)> match) -> HTREEITEM {
        TreeView_Expand(tree, parent, TVE_EXPAND);
        for (HTREEITEM c = TreeView_GetChild(tree, parent); c; c = TreeView_GetNextSibling(tree, c))
            if (match(text(c)))
                return c;
        return nullptr;
    };
    // The drive lies one level below the desktop's children ("(C:)").
    const CString drive = L"(" + folder.Left(2) + L")";
    HTREEITEM item = nullptr;
    for (HTREEITEM top = TreeView_GetChild(tree, TreeView_GetRoot(tree)); top && !item;
         top = TreeView_GetNextSibling(tree, top))
        item = child(top, [&](const CString& t) { return t.Right(drive.GetLength()) == drive; });
    ASSERT_NE(item, nullptr);
    CString rest = folder.Mid(3);
    while (item && !rest.IsEmpty()) {
        int slash = rest.Find(L'\\');
        const CString part = slash < 0 ? rest : rest.Left(slash);
        rest = slash < 0 ? CString() : rest.Mid(slash + 1);
        item = child(item, [&](const CString& t) { return t.CompareNoCase(part) == 0; });
    }
    ASSERT_NE(item, nullptr);
    TreeView_SelectItem(tree, item);
    ::SetFocus(tree);
    PostKeyToFocus(VK_RETURN);
}

TEST_F(ImportTest, AfterAFolderBrowseATypedPathIsTakenAsTyped)
{
    MakeFolder(L"书库");
    CreateDirectoryW(source.Sub(L"夹"), nullptr);
    Put(L"夹\\夹中.txt", Gbk(L"夹里的一本。"));
    const CString single = Put(L"单本.txt", Gbk(L"单独的一本。"));
    Start();
    Select(Item({L"书库"}));
    TreeCommand(ID_TREE_IMPORT_NOVEL);
    XiaoshuoDlg* dlg = TreeView()->GetImportDialog();
    ASSERT_NE(dlg, nullptr);

    // 加载文件夹, then Enter browses for the folder.
    ::SetFocus(dlg->m_comboSource.m_hWnd);
    PostKeyToFocus(VK_DOWN);
    Pump();
    ASSERT_EQ(dlg->m_comboSource.GetCurSel(), 1);
    const CString folder = source.Sub(L"夹");
    OnNextDialog([folder](HWND shown) { ChooseInFolderBrowser(shown, folder); }, 10000);
    PostKeyToFocus(VK_RETURN);
    for (int i = 0; i < 100 && dlg->m_strPath.CompareNoCase(folder) != 0; ++i)
        Pump(20);
    ASSERT_EQ(dlg->m_strPath.CompareNoCase(folder), 0);
    EXPECT_EQ(dlg->m_bFolder, 1);

    // A typed path that is not there is told; the dialog stays.
    auto typePath = [&](const CString& path) {
        HWND edit = GetDlgItem(dlg->m_hWnd, IDC_NOVEL_PATH);
        ::SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        PostTextToFocus(path);
        Pump();
    };
    typePath(source.Sub(L"无此书.txt"));
    PressImportButton();
    ASSERT_EQ(Boxes::Texts().size(), 1u);
    EXPECT_EQ(Boxes::Texts()[0], L"找不到文件或文件夹：" + source.Sub(L"无此书.txt"));
    EXPECT_TRUE(IsWindowVisible(dlg->m_hWnd));
    Boxes::Clear();

    // A typed TXT file is imported as the file it is.
    typePath(single);
    PressImportButton();
    EXPECT_TRUE(Boxes::Texts().empty());
    EXPECT_FALSE(IsWindowVisible(dlg->m_hWnd));
    Stop();
    EXPECT_EQ(testfiles::Listing(InLibrary(L"书库")), (std::set<CString>{L"单本.xml"}));
    EXPECT_EQ(FileText(InLibrary(L"书库\\单本.xml")), L"单独的一本。");
}

TEST_F(ImportTest, ThePanesReachTheDialogAndEscapeCancelsIt)
{
    Start();
    // With an article pane active, the frame routes the command to the tree.
    frame->m_wndInnerSplitter.SetActivePane(0, 0);
    Upper()->SetFocus();
    Command(ID_TREE_IMPORT_NOVEL);
    XiaoshuoDlg* dlg = TreeView()->GetImportDialog();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(IsWindowVisible(dlg->m_hWnd));
    EXPECT_EQ(dlg->m_comboSource.GetCurSel(), 0);
    ASSERT_EQ(GetDlgCtrlID(GetFocus()), IDC_NOVEL_PATH);

    PostTextToFocus(L"C:\\某处");
    Pump();
    wchar_t typed[64] = {};
    GetDlgItemTextW(dlg->m_hWnd, IDC_NOVEL_PATH, typed, 64);
    EXPECT_STREQ(typed, L"C:\\某处");
    PostKeyToFocus(VK_ESCAPE);
    Pump();
    EXPECT_FALSE(IsWindowVisible(dlg->m_hWnd));
    EXPECT_TRUE(dlg->m_strPath.IsEmpty());

    // Shown again, the same dialog, its path field empty.
    TreeCommand(ID_TREE_IMPORT_NOVEL);
    EXPECT_EQ(TreeView()->GetImportDialog(), dlg);
    EXPECT_TRUE(IsWindowVisible(dlg->m_hWnd));
    GetDlgItemTextW(dlg->m_hWnd, IDC_NOVEL_PATH, typed, 64);
    EXPECT_STREQ(typed, L"");
    EXPECT_TRUE(Boxes::Texts().empty());
}

TEST_F(ImportTest, AFolderImportMakesLowerCaseFolderItemsInTheSelectedArticlesFolder)
{
    MakeArticle(L"书库\\0001_序.xml", L"序");
    CreateDirectoryW(source.Sub(L"A"), nullptr);
    CreateDirectoryW(source.Sub(L"A\\B"), nullptr);
    CreateDirectoryW(source.Sub(L"A\\Empty"), nullptr);
    Put(L"A\\B\\X.txt", Gbk(L"叉的内容。"));
    Put(L"A\\notes.txt.bak", Gbk(L"备注。"));
    Put(L"A\\pic.doc", "x");
    Start();
    Select(Item({L"书库", L"0001_序.xml"}));
    TreeCommand(ID_TREE_IMPORT_NOVEL);
    XiaoshuoDlg* dlg = TreeView()->GetImportDialog();
    ASSERT_NE(dlg, nullptr);
    // A path typed into the field is looked up on disk: a missing one is
    // told and keeps the dialog open, a folder is imported as a folder.
    ASSERT_EQ(GetDlgCtrlID(GetFocus()), IDC_NOVEL_PATH);
    PostTextToFocus(source.Sub(L"无此夹"));
    Pump();
    PressImportButton();
    ASSERT_EQ(Boxes::Texts().size(), 1u);
    EXPECT_EQ(Boxes::Texts()[0], L"找不到文件或文件夹：" + source.Sub(L"无此夹"));
    EXPECT_TRUE(IsWindowVisible(dlg->m_hWnd));
    Boxes::Clear();
    SetDlgItemTextW(dlg->m_hWnd, IDC_NOVEL_PATH, L"");
    ::SetFocus(GetDlgItem(dlg->m_hWnd, IDC_NOVEL_PATH));
    PostTextToFocus(source.Sub(L"A"));
    Pump();
    PressImportButton();

    EXPECT_TRUE(Boxes::Texts().empty());
    EXPECT_FALSE(bImporting);
    HTREEITEM shelf = Item({L"书库"});
    std::vector<CString> children = ChildTexts(shelf);
    std::sort(children.begin(), children.end());
    EXPECT_EQ(children, (std::vector<CString>{L"0001_序.xml", L"b", L"empty", L"notes.txt.bak.xml"}));
    EXPECT_EQ(ChildTexts(Item({L"书库", L"b"})), (std::vector<CString>{L"x.xml"}));
    EXPECT_TRUE(IsFolder(InLibrary(L"书库\\empty")));
    EXPECT_EQ(FileText(InLibrary(L"书库\\b\\x.xml")), L"叉的内容。");
    EXPECT_EQ(FileText(InLibrary(L"书库\\notes.txt.bak.xml")), L"备注。");
}

TEST_F(ImportTest, FoldersTheImportNamesLikeArticlesAreFolders)
{
    CreateDirectoryW(source.Sub(L"S"), nullptr);
    CreateDirectoryW(source.Sub(L"S\\v.xml"), nullptr);
    Put(L"S\\v.xml\\a.txt", Gbk(L"甲的内容。"));
    // A book of chapters becomes a folder named after the file.
    Put(L"x.xml.txt", Gbk(Novel(L"叉")));
    Start();
    Select(Tree().GetRootItem());
    Drop({source.Sub(L"S"), source.Sub(L"x.xml.txt")});
    EXPECT_TRUE(Boxes::Texts().empty());
    EXPECT_EQ(ChildTexts(Item({L"v.xml"})), (std::vector<CString>{L"a.xml"}));
    EXPECT_EQ(FileText(InLibrary(L"v.xml\\a.xml")), L"甲的内容。");
    EXPECT_FALSE(Exists(InLibrary(L"a.xml")));
    HTREEITEM book = Item({L"x.xml"});
    ASSERT_NE(book, nullptr);
    ASSERT_TRUE(IsFolder(InLibrary(L"x.xml")));

    // Selecting the book's folder leaves the article shown where it is, and
    // what is typed there is saved into that article.
    const CPathParts shown = frame->m_upperParts;
    ASSERT_FALSE(shown.IsEmpty());
    Select(book);
    EXPECT_TRUE(frame->m_upperParts.SameArticle(shown));
    Upper()->SetFocus();
    Pump();
    TypeChars(L"续写");
    Command(ID_SAVE_PAGE);
    EXPECT_TRUE(Boxes::Texts().empty());
    EXPECT_GE(FileText(shown.GetFullPath()).Find(L"续写"), 0);
}

} // namespace


// A folder of the library dropped onto itself or one of its own sub-folders
// is refused at once, and nothing is made; the rest of the drop goes on.
TEST_F(ImportTest, AFolderIsNeverImportedIntoItself)
{
    MakeArticle(L"旧夹\\子\\0001_a.xml", L"甲");
    ASSERT_TRUE(testfiles::PutFile(InLibrary(L"旧夹\\章.txt"), Gbk(L"一章。")));
    Put(L"别的.txt", Gbk(L"别的书。"));
    const std::set<CString> before = testfiles::ListingTree(Library());
    Start();
    for (const wchar_t* into : {L"子", L""}) {
        Select(*into ? Item({L"旧夹", into}) : Item({L"旧夹"}));
        // Spelled another way (through ".", with a backslash at the end), it is the same folder.
        CString dropped = InLibrary(L"旧夹\\");
        dropped.Replace(L"藏书库", L"藏书库\\.");
        Drop({dropped});
        ASSERT_EQ(Boxes::Texts().size(), 1u);
        EXPECT_GE(Boxes::Texts()[0].Find(L"不能导入到它自己"), 0);
        EXPECT_GE(Boxes::Texts()[0].Find(L"旧夹"), 0);
        EXPECT_EQ(testfiles::ListingTree(Library()), before);
        Boxes::Clear();
    }
    Select(Item({L"旧夹", L"子"}));
    Drop({InLibrary(L"旧夹"), source.Sub(L"别的.txt")});
    EXPECT_EQ(Boxes::Texts().size(), 1u);
    EXPECT_EQ(FileText(InLibrary(L"旧夹\\子\\别的.xml")), L"别的书。");
}
