// Library path rules, item names and numbering, renaming on disk, the preset
// writer, the recent-folder list and the full-screen arithmetic.
#include "LibraryTestUtil.h"
#include "app/DisplaySettings.h"
#include "app/FullScreenCalc.h"
#include "app/LibraryNames.h"
#include "app/LibraryPaths.h"
#include "app/MruFile.h"
#include "app/PresetWriter.h"
#include "framework/MessageBox.h"
#include <string>

using libtest::TempLibrary;

namespace {

CPathParts Parts(const CString& root, std::initializer_list<const wchar_t*> texts)
{
    CPathParts parts(root);
    std::vector<CString> list;
    for (const wchar_t* text : texts)
        list.push_back(text);
    parts.SetParts(list);
    return parts;
}

CString Repeat(const wchar_t* unit, int count)
{
    CString s;
    for (int i = 0; i < count; ++i)
        s += unit;
    return s;
}

// ---- component arrays and article paths ----

TEST(LibraryPaths, PushAndJoinKeepOrderBelowTheRoot)
{
    CPathParts parts(L"D:\\书库");
    EXPECT_TRUE(parts.IsEmpty());
    parts.PushPathPart(L"0002_b.xml");
    parts.PushPathPart(L"卷一");
    EXPECT_FALSE(parts.IsEmpty());
    EXPECT_EQ(2, parts.GetCount());
    EXPECT_EQ(CString(L"卷一"), parts.GetAt(0));
    EXPECT_EQ(CString(L"0002_b.xml"), parts.GetAt(1));
    EXPECT_EQ(CString(), parts.GetAt(2));
    EXPECT_EQ(CString(L"\\卷一\\0002_b.xml"), parts.JoinPathParts());
    EXPECT_EQ(CString(L"D:\\书库\\卷一\\0002_b.xml"), parts.GetFullPath());
    parts.PushPathPart(L"");   // an empty part would end the path: ignored
    EXPECT_EQ(2, parts.GetCount());
    parts.Empty();
    EXPECT_TRUE(parts.IsEmpty());
    EXPECT_EQ(CString(L"D:\\书库"), parts.GetRoot());

    // The first empty slot ends the path.
    CPathParts slots = Parts(L"D:\\书库", {L"卷一", L"", L"a.xml"});
    EXPECT_EQ(1, slots.GetCount());
    // A drive root gets no doubled backslash.
    EXPECT_EQ(CString(L"D:\\卷一\\a.xml"), Parts(L"D:\\", {L"卷一", L"a.xml"}).GetFullPath());
}

TEST(LibraryPaths, DeepArticlesAreNotCut)
{
    CPathParts parts(L"C:\\库");
    parts.PushPathPart(L"深.xml");
    for (int level = 12; level >= 1; --level) {
        CString name;
        name.Format(L"层%d", level);
        parts.PushPathPart(name);
    }
    ASSERT_EQ(13, parts.GetCount());
    EXPECT_EQ(CString(L"层1"), parts.GetAt(0));
    EXPECT_EQ(CString(L"层10"), parts.GetAt(9));
    EXPECT_EQ(CString(L"深.xml"), parts.GetLast());
    CString folder, path;
    ASSERT_TRUE(BuildArticlePath(parts, folder, path, false));
    EXPECT_EQ(CString(L"C:\\库\\层1\\层2\\层3\\层4\\层5\\层6\\层7\\层8\\层9\\层10\\层11\\层12"), folder);
    EXPECT_EQ(folder + L"\\深.xml", path);
}

TEST(LibraryPaths, FolderPartTest)
{
    struct Row { const wchar_t* part; int folder; };
    const Row rows[] = {
        {L"卷一", 1}, {L"0002_b.xml", 0}, {L"", 0}, {L"x.xml.bak", 0},
        {L"a.XML", 1},   // the test is case-sensitive
        {L"0003_html.xml", 0}, {L"htmlxml", 1},
    };
    for (const Row& row : rows) {
        CString out = L"old";
        EXPECT_EQ(row.folder, IsFolderPart(row.part, &out)) << CString(row.part).GetLength();
        EXPECT_EQ(CString(row.part), out);
    }
}

TEST(LibraryPaths, WritingFolderChain)
{
    EXPECT_EQ(1, IsInWritingFolder(std::vector<CString>{L"我的写小说草稿", L"0001_a.xml"}));
    EXPECT_EQ(1, IsInWritingFolder(std::vector<CString>{L"0001_a.xml", L"子目录", L"我的写小说草稿"}));
    EXPECT_EQ(0, IsInWritingFolder(std::vector<CString>{L"卷一", L"0002_b.xml"}));
    EXPECT_EQ(0, IsInWritingFolder(std::vector<CString>{}));   // the root item itself
    // A root whose own path holds the words does not count.
    CPathParts underRoot = PartsFromTexts({L"D:\\写小说", L"卷一", L"0001_a.xml"});
    EXPECT_EQ(0, IsInWritingFolder(underRoot));
    CPathParts below = PartsFromTexts({L"D:\\书", L"我的写小说草稿", L"第一部", L"0001_a.xml"});
    EXPECT_EQ(1, IsInWritingFolder(below));
}

TEST(LibraryPaths, BuildCreatesMissingFoldersUnderItsOwnRoot)
{
    TempLibrary lib;
    CPathParts parts(lib.Root());
    parts.PushPathPart(L"0002_b.xml");
    parts.PushPathPart(L"第二部");
    parts.PushPathPart(L"卷一");
    CString folder, path;
    ASSERT_TRUE(BuildArticlePath(parts, folder, path, false));
    EXPECT_EQ(lib.Path(L"卷一\\第二部"), folder);
    EXPECT_EQ(lib.Path(L"卷一\\第二部\\0002_b.xml"), path);
    EXPECT_FALSE(lib.Exists(L"卷一"));
    ASSERT_TRUE(BuildArticlePath(parts, folder, path, true));
    EXPECT_TRUE(FolderExists(lib.Path(L"卷一\\第二部")));
    EXPECT_FALSE(lib.Exists(L"卷一\\第二部\\0002_b.xml"));

    // An article directly under the root.
    ASSERT_TRUE(BuildArticlePath(Parts(lib.Root(), {L"0001_a.xml"}), folder, path, true));
    EXPECT_EQ(lib.Root(), folder);
    EXPECT_EQ(lib.Path(L"0001_a.xml"), path);

    // The root travels with the components: another library gives another path.
    CPathParts other = parts;
    other.SetRoot(lib.Path(L"别的库"));
    ASSERT_TRUE(BuildArticlePath(other, folder, path, false));
    EXPECT_EQ(lib.Path(L"别的库\\卷一\\第二部\\0002_b.xml"), path);
    EXPECT_FALSE(parts.SameArticle(other));
    EXPECT_TRUE(parts.SameArticle(Parts(lib.Root(), {L"卷一", L"第二部", L"0002_b.xml"})));
    EXPECT_FALSE(parts.SameArticle(Parts(lib.Root(), {L"卷一", L"第二部", L"0003_c.xml"})));

    // No library: refused.
    CString error;
    EXPECT_FALSE(BuildArticlePath(Parts(L"", {L"a.xml"}), folder, path, true, &error));
    EXPECT_FALSE(error.IsEmpty());
}

TEST(LibraryPaths, TooLongPathsAreRefusedBeforeAnythingIsCreated)
{
    TempLibrary lib;
    const CString root = lib.Root();
    // Folder exactly at the limit, then one character over it.
    const int room = kMaxLibraryFolderPath - root.GetLength() - 1;   // one backslash
    ASSERT_GT(room, 10);
    CString longFolder = Repeat(L"书", room);
    CString folder, path, error;
    ASSERT_TRUE(BuildArticlePath(Parts(root, {longFolder, L"a.xml"}), folder, path, true, &error))
        << error.GetLength();
    EXPECT_EQ(kMaxLibraryFolderPath, folder.GetLength());
    EXPECT_TRUE(FolderExists(folder));

    CString tooLong = longFolder + L"书";
    error.Empty();
    EXPECT_FALSE(BuildArticlePath(Parts(root, {L"新卷", tooLong, L"a.xml"}), folder, path, true, &error));
    EXPECT_TRUE(folder.IsEmpty());
    EXPECT_NE(-1, error.Find(L"路径太长"));
    EXPECT_FALSE(lib.Exists(L"新卷"));   // nothing made on the way

    // The file path has its own limit.
    const int fileRoom = kMaxLibraryFilePath - root.GetLength() - 1;
    CString name = Repeat(L"文", fileRoom - 4) + L".xml";
    EXPECT_TRUE(BuildArticlePath(Parts(root, {name}), folder, path, false));
    EXPECT_EQ(kMaxLibraryFilePath, path.GetLength());
    name = Repeat(L"文", fileRoom - 3) + L".xml";
    EXPECT_FALSE(BuildArticlePath(Parts(root, {name}), folder, path, false, &error));
}

TEST(LibraryPaths, TitleAndItemPaths)
{
    const CString banner = TitleBanner();
    EXPECT_EQ(0, banner.Find(L"Lumivell-Velquor  "));
    EXPECT_EQ(CString(L' ', 21), banner.Right(21));
    EXPECT_NE(L' ', banner[banner.GetLength() - 22]);

    EXPECT_EQ(banner + L"卷一------0002_b", ArticleWindowTitle(L"卷一", L"0002_b.xml"));
    EXPECT_EQ(banner + L"卷一------0003_html", ArticleWindowTitle(L"卷一", L"0003_html.xml"));
    EXPECT_EQ(banner + L"D:\\书库------0001_a", ArticleWindowTitle(L"D:\\书库", L"0001_a.xml"));
    EXPECT_EQ(banner + L"卷一------x.xml.bak", ArticleWindowTitle(L"卷一", L"x.xml.bak"));

    EXPECT_EQ(CString(L"D:\\书库\\卷一\\a.xml"), ItemPathFromTexts({L"D:\\书库", L"卷一", L"a.xml"}));
    EXPECT_EQ(CString(L"D:\\卷一"), ItemPathFromTexts({L"D:\\", L"卷一"}));
    EXPECT_EQ(CString(L"D:\\书库"), ItemPathFromTexts({L"D:\\书库"}));
    CPathParts parts = PartsFromTexts({L"D:\\书库", L"卷一", L"a.xml"});
    EXPECT_EQ(CString(L"D:\\书库"), parts.GetRoot());
    EXPECT_EQ(CString(L"\\卷一\\a.xml"), parts.JoinPathParts());
}

TEST(LibraryPaths, RenamingAFolderRewritesRememberedArticlesBelowIt)
{
    const CString root = L"D:\\书库";
    CPathParts upper = Parts(root, {L"卷一", L"第二部", L"0001_a.xml"});
    // A sibling folder whose name starts the same is left alone.
    EXPECT_FALSE(upper.RenamePrefix(Parts(root, {L"卷一续"}), L"卷九"));
    // The same names under another library are left alone.
    EXPECT_FALSE(upper.RenamePrefix(Parts(L"E:\\别处", {L"卷一"}), L"卷九"));
    // A folder of the same name at another depth is left alone.
    EXPECT_FALSE(upper.RenamePrefix(Parts(root, {L"第二部"}), L"第三部"));

    EXPECT_TRUE(upper.RenamePrefix(Parts(root, {L"卷一", L"第二部"}), L"0002_中篇"));
    EXPECT_EQ(CString(L"\\卷一\\0002_中篇\\0001_a.xml"), upper.JoinPathParts());
    EXPECT_TRUE(upper.RenamePrefix(Parts(root, {L"卷一"}), L"卷二"));
    EXPECT_EQ(CString(L"\\卷二\\0002_中篇\\0001_a.xml"), upper.JoinPathParts());
    // The article itself.
    EXPECT_TRUE(upper.RenamePrefix(Parts(root, {L"卷二", L"0002_中篇", L"0001_a.xml"}), L"0001_新.xml"));
    EXPECT_EQ(CString(L"0001_新.xml"), upper.GetLast());
    // Deeper than the array: no match.
    EXPECT_FALSE(upper.RenamePrefix(Parts(root, {L"卷二", L"0002_中篇", L"0001_新.xml", L"x"}), L"y"));

    CString full = L"D:\\书库\\卷一\\第二部\\0001_a.xml";
    EXPECT_TRUE(RenamePathPrefix(full, L"d:\\书库\\卷一", L"D:\\书库\\卷二"));
    EXPECT_EQ(CString(L"D:\\书库\\卷二\\第二部\\0001_a.xml"), full);
    EXPECT_FALSE(RenamePathPrefix(full, L"D:\\书库\\卷", L"D:\\书库\\X"));
    EXPECT_TRUE(RenamePathPrefix(full, full, L"D:\\书库\\b.xml"));
    EXPECT_EQ(CString(L"D:\\书库\\b.xml"), full);
}

// ---- names and numbering ----

TEST(LibraryNames, NumberingFollowsTheLastChildOrTheLeaves)
{
    EXPECT_EQ(1, NextItemNumber({}));
    EXPECT_EQ(8, NextItemNumber({{L"0001_z.xml", false}, {L"卷", true}, {L"0007_abc.xml", false}}));
    // Last child not numbered: three articles and a folder with children give 4.
    EXPECT_EQ(4, NextItemNumber({{L"a.xml", false}, {L"卷", true}, {L"b.xml", false}, {L"c.xml", false}}));
    EXPECT_EQ(3, NextItemNumber({{L"0001_a", false}, {L"第2章_b.xml", false}}));
    EXPECT_EQ(1, NextItemNumber({{L"abcd_x.xml", false}}));   // numbered shape, no digits
    EXPECT_TRUE(IsNumberedName(L"0003_标题.xml"));
    EXPECT_FALSE(IsNumberedName(L"003_标题.xml"));
    EXPECT_FALSE(IsNumberedName(L"00003_标题.xml"));
    EXPECT_EQ(12, NameNumber(L"0012_a"));

    EXPECT_EQ(CString(L"0001_新文章.xml"), NumberedNewName(1, true));
    EXPECT_EQ(CString(L"0010_新目录"), NumberedNewName(10, false));
}

TEST(LibraryNames, NewItemsNeverCollideWithWhatIsOnDisk)
{
    TempLibrary lib;
    lib.Folder(L"卷一");
    lib.File(L"卷一\\0001_开篇.xml");
    lib.File(L"卷一\\0002_新文章.xml");
    lib.File(L"卷一\\0003_新文章.xml");
    lib.Folder(L"卷一\\0002_新目录");
    const CString folder = lib.Path(L"卷一");

    // The folder was never expanded: the tree shows only its placeholder.
    std::vector<LibraryChild> shown = {{L"0001_开篇.xml", false}};
    EXPECT_EQ(CString(L"0004_新文章.xml"), NewItemName(folder, shown, true));
    EXPECT_EQ(CString(L"0003_新目录"), NewItemName(folder, shown, false));
    // An item the tree has but the disk has not yet (a new unsaved article).
    shown.push_back({L"0002_甲.xml", false});
    shown.push_back({L"0003_新目录", false});
    EXPECT_EQ(CString(L"0004_新目录"), NewItemName(folder, shown, false));
    // Letter case does not make a name free.
    lib.File(L"卷一\\0004_新文章.XML");
    shown = {{L"0003_a.xml", false}};
    EXPECT_EQ(CString(L"0005_新文章.xml"), NewItemName(folder, shown, true));
    // An empty folder starts at 1.
    lib.Folder(L"空");
    EXPECT_EQ(CString(L"0001_新文章.xml"), NewItemName(lib.Path(L"空"), {}, true));
}

TEST(LibraryNames, CleaningTypedNamesAndTitles)
{
    struct Row { const wchar_t* typed; const wchar_t* clean; };
    const Row rows[] = {
        {L"第一章 开端", L"第一章 开端"},
        {L"a\\b/c:d*e?f\"g<h>i|j", L"abcdefghij"},
        {L"行\t尾\x01", L"行尾"},
        {L"  前后  ", L"前后"},
        {L"结尾. . .", L"结尾"},
        {L"..", L""},
        {L"..\\..\\Windows", L"....Windows"},   // no separator survives
        {L"\\", L""},
        {L"", L""},
        {L"　全角空格　", L"全角空格"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(CString(row.clean), CleanNamePart(row.typed));

    const CString longTitle = Repeat(L"长", 300);
    EXPECT_EQ(kMaxItemName, CleanNamePart(longTitle).GetLength());
    // A cut never splits a surrogate pair.
    CString pairs = Repeat(L"a", kMaxItemName - 1) + L"\xD840\xDC00" + L"b";
    CString cut = CleanNamePart(pairs);
    EXPECT_EQ(kMaxItemName - 1, cut.GetLength());

    struct Name { const wchar_t* name; bool ok; };
    const Name names[] = {
        {L"正常名", true}, {L"0001_新文章.xml", true}, {L"", false}, {L".", false}, {L"..", false},
        {L"a.", false}, {L"a ", false}, {L"a/b", false}, {L"a\\b", false}, {L"a:b", false},
        {L"con", false}, {L"CON.xml", false}, {L"Nul", false}, {L"com1", false}, {L"LPT9.txt", false},
        {L"com0", true}, {L"console", true},
    };
    for (const Name& n : names)
        EXPECT_EQ(n.ok, IsAcceptableName(n.name)) << CString(n.name).GetLength();
    EXPECT_FALSE(IsAcceptableName(Repeat(L"x", kMaxNameOnDisk + 1)));
}

TEST(LibraryNames, EditingKeepsPrefixAndSuffix)
{
    CString prefix;
    bool article = false;
    EXPECT_EQ(CString(L"标题"), TitleForEditing(L"0003_标题.xml", prefix, article));
    EXPECT_EQ(CString(L"0003_"), prefix);
    EXPECT_TRUE(article);
    EXPECT_EQ(CString(L"1"), TitleForEditing(L"0005_1.xml", prefix, article));
    EXPECT_EQ(CString(L"html"), TitleForEditing(L"0003_html.xml", prefix, article));
    EXPECT_EQ(CString(L"卷一"), TitleForEditing(L"卷一", prefix, article));
    EXPECT_TRUE(prefix.IsEmpty());
    EXPECT_FALSE(article);
    EXPECT_EQ(CString(L"x.xml.bak"), TitleForEditing(L"x.xml.bak", prefix, article));
    EXPECT_TRUE(article);
    EXPECT_EQ(CString(L"新目录"), TitleForEditing(L"0002_新目录", prefix, article));
    EXPECT_EQ(CString(L"0002_"), prefix);

    struct Row { const wchar_t* prefix; const wchar_t* typed; bool article; const wchar_t* name; };
    const Row rows[] = {
        {L"0003_", L"新标题", true, L"0003_新标题.xml"},
        {L"0005_", L"1", true, L"0005_1.xml"},                // unchanged edit keeps the name
        {L"0003_", L"标题.xml", true, L"0003_标题.xml"},       // suffix not doubled
        {L"0002_", L"abc.xml", false, L"0002_abc"},            // a folder loses the suffix
        {L"0002_", L"abc..xml", false, L"0002_abc"},
        {L"", L"卷二", false, L"卷二"},
        {L"0003_", L"a/b:c", true, L"0003_abc.xml"},
        {L"0003_", L"标题. ", true, L"0003_标题.xml"},
    };
    for (const Row& row : rows) {
        CString name;
        ASSERT_TRUE(CompleteEditedName(row.prefix, row.typed, row.article, name)) << CString(row.typed).GetLength();
        EXPECT_EQ(CString(row.name), name);
    }
    CString name = L"keep";
    EXPECT_FALSE(CompleteEditedName(L"0003_", L"", true, name));
    EXPECT_FALSE(CompleteEditedName(L"0003_", L"..", true, name));
    EXPECT_FALSE(CompleteEditedName(L"", L"\\/", false, name));
    EXPECT_FALSE(CompleteEditedName(L"", L"con", false, name));
    EXPECT_FALSE(CompleteEditedName(L"", L".xml", false, name));
    EXPECT_EQ(CString(L"keep"), name);
    // A folder never carries ".xml": the library would take it for an article.
    CString note;
    EXPECT_FALSE(CompleteEditedName(L"0002_", L"资料.XML版", false, name, &note));
    EXPECT_GE(note.Find(L".xml"), 0);
    EXPECT_EQ(CString(L"keep"), name);

    // Titles are cut to fit 255 UTF-8 bytes (and UTF-16 units), never inside a
    // pair and never the extension, and the note says so.
    std::wstring longTitle(94, L'章');
    ASSERT_TRUE(CompleteEditedName(L"0001_", longTitle.c_str(), true, name, &note));
    EXPECT_EQ(CString(L"0001_") + std::wstring(82, L'章').c_str() + L".xml", name);
    EXPECT_TRUE(FitsNameOnDisk(name));
    EXPECT_GE(note.Find(L"截短"), 0);
    std::wstring pairs;
    for (int i = 0; i < 70; ++i)
        pairs += L"\xD840\xDC00";     // four UTF-8 bytes each
    ASSERT_TRUE(CompleteEditedName(L"", pairs.c_str(), true, name, &note));
    EXPECT_EQ(4 + 2 * 62, name.GetLength());
    EXPECT_FALSE(IS_HIGH_SURROGATE(name[name.GetLength() - 5]));
    ASSERT_TRUE(CompleteEditedName(L"0001_", L"短", true, name, &note));
    EXPECT_TRUE(note.IsEmpty());
    EXPECT_FALSE(IsAcceptableName(CString(std::wstring(86, L'章').c_str())));
}

TEST(LibraryNames, RenameOnDisk)
{
    TempLibrary lib;
    lib.Folder(L"卷一");
    lib.File(L"卷一\\0003_旧.xml", "old");
    lib.File(L"卷一\\0004_别的.xml", "other");
    const CString folder = lib.Path(L"卷一");
    CString message;

    EXPECT_EQ(RenameResult::Unchanged, RenameItemOnDisk(folder, L"0003_旧.xml", L"0003_旧.xml", {}, &message));

    EXPECT_EQ(RenameResult::Renamed, RenameItemOnDisk(folder, L"0003_旧.xml", L"0003_新.xml", {}, &message));
    EXPECT_FALSE(lib.Exists(L"卷一\\0003_旧.xml"));
    EXPECT_TRUE(lib.Exists(L"卷一\\0003_新.xml"));

    // Onto an existing name (any letter case): refused, both files stay.
    message.Empty();
    EXPECT_EQ(RenameResult::Refused, RenameItemOnDisk(folder, L"0003_新.xml", L"0004_别的.xml", {}, &message));
    EXPECT_NE(-1, message.Find(L"0004_别的.xml"));
    EXPECT_TRUE(lib.Exists(L"卷一\\0003_新.xml"));
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(lib.Path(L"卷一\\0004_别的.xml"), bytes));
    EXPECT_EQ("other", bytes);
    lib.File(L"卷一\\ABC.xml");
    EXPECT_EQ(RenameResult::Refused, RenameItemOnDisk(folder, L"0003_新.xml", L"abc.xml", {}, &message));

    // Onto a name a sibling item has in the tree only (an unsaved article).
    EXPECT_EQ(RenameResult::Refused,
              RenameItemOnDisk(folder, L"0003_新.xml", L"0005_未存.xml", {L"0003_新.xml", L"0005_未存.xml"}, &message));
    EXPECT_TRUE(lib.Exists(L"卷一\\0003_新.xml"));

    // Only the letter case changes: the same item.
    EXPECT_EQ(RenameResult::Renamed, RenameItemOnDisk(folder, L"abc.xml", L"Abc.xml", {L"abc.xml"}, &message));
    EXPECT_TRUE(lib.Exists(L"卷一\\Abc.xml"));

    // A new folder is made under its final name only.
    EXPECT_EQ(RenameResult::FolderCreated, RenameItemOnDisk(folder, L"0001_新目录", L"0001_序章", {}, &message));
    EXPECT_TRUE(FolderExists(lib.Path(L"卷一\\0001_序章")));
    EXPECT_FALSE(lib.Exists(L"卷一\\0001_新目录"));
    // A new article needs nothing on disk.
    EXPECT_EQ(RenameResult::NothingOnDisk, RenameItemOnDisk(folder, L"0006_新文章.xml", L"0006_后记.xml", {}, &message));
    EXPECT_FALSE(lib.Exists(L"卷一\\0006_后记.xml"));

    // A folder with content is renamed as a whole.
    lib.File(L"卷一\\0001_序章\\0001_a.xml");
    EXPECT_EQ(RenameResult::Renamed, RenameItemOnDisk(folder, L"0001_序章", L"0001_楔子", {}, &message));
    EXPECT_TRUE(lib.Exists(L"卷一\\0001_楔子\\0001_a.xml"));

    // Unusable names and too long paths are refused with a message.
    message.Empty();
    EXPECT_EQ(RenameResult::Refused, RenameItemOnDisk(folder, L"0003_新.xml", L"..", {}, &message));
    EXPECT_FALSE(message.IsEmpty());
    EXPECT_EQ(RenameResult::Refused, RenameItemOnDisk(folder, L"0003_新.xml", L"a\\..\\b.xml", {}, &message));
    CString longName = Repeat(L"c", kMaxLibraryFilePath - folder.GetLength()) + L".xml";
    message.Empty();
    EXPECT_EQ(RenameResult::Refused, RenameItemOnDisk(folder, L"0003_新.xml", longName, {}, &message));
    EXPECT_NE(-1, message.Find(L"路径太长"));
    EXPECT_TRUE(lib.Exists(L"卷一\\0003_新.xml"));
}

TEST(LibraryNames, DeleteOnDisk)
{
    TempLibrary lib;
    lib.Folder(L"卷一");
    lib.File(L"卷一\\0001_a.xml");
    lib.Folder(L"空目录");
    EXPECT_TRUE(DeleteItemOnDisk(lib.Path(L"卷一"), L"0001_a.xml"));
    EXPECT_FALSE(lib.Exists(L"卷一\\0001_a.xml"));
    lib.File(L"卷一\\b.txt");
    EXPECT_FALSE(DeleteItemOnDisk(lib.Root(), L"卷一"));   // still holds a file
    EXPECT_TRUE(lib.Exists(L"卷一\\b.txt"));
    EXPECT_TRUE(DeleteItemOnDisk(lib.Root(), L"空目录"));
    EXPECT_FALSE(lib.Exists(L"空目录"));
}

// ---- preset file written at exit ----

class PresetWriterTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_saved = DisplaySettings;
        m_savedFolder = g_strAppFolder;
        // Mixed-case program folder, so a default folder differing only in case can be made.
        m_lib.Folder(L"程序Ab\\control");
        g_strAppFolder = m_lib.Path(L"程序Ab\\");
        m_path = g_strAppFolder + L"control\\preSet.ini";
    }
    void TearDown() override
    {
        DisplaySettings = m_saved;
        g_strAppFolder = m_savedFolder;
    }
    CString Read(const wchar_t* section, const wchar_t* key)
    {
        wchar_t buffer[512];
        GetPrivateProfileStringW(section, key, L"<missing>", buffer, 512, m_path);
        return buffer;
    }
    // Keys of the file in the order they stand, "section/key".
    std::vector<CString> KeyOrder()
    {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(m_path, bytes));
        CString text = MultiByteToWide(bytes.data(), (int)bytes.size());
        std::vector<CString> keys;
        CString section;
        int start = 0;
        for (;;) {
            CString line = text.Tokenize(L"\r\n", start);
            if (start < 0)
                break;
            line.Trim();
            if (line.IsEmpty())
                continue;
            if (line[0] == L'[')
                section = line.Mid(1, line.GetLength() - 2);
            else if (line.Find(L'=') > 0)
                keys.push_back(section + L"/" + line.Left(line.Find(L'=')));
        }
        return keys;
    }

    TempLibrary m_lib;
    DisplaySettingsBlock m_saved;
    CString m_savedFolder;
    CString m_path;
};

TEST_F(PresetWriterTest, KeysValuesAndOrder)
{
    DisplaySettingsBlock& ds = DisplaySettings;
    ds.strVersion = L"2.5";
    ds.BackgroundSet.strFolder = g_strAppFolder + L"control\\IMG\\背景\\Autumn";
    ds.VerticalSet.strFolder = L"D:\\图片\\竖栏\\秋";                           // elsewhere
    ds.LineSet.strFolder = m_lib.Path(L"程序AB\\control\\IMG\\行线\\细线");    // case differs
    ds.Index0 = 3; ds.Index1 = -1; ds.Count = 12;
    ds.nWholeTB0 = 4; ds.nWholeTB1 = -1; ds.nWholeLR0 = 7; ds.nWholeLR1 = 0;
    ds.bWholeLeft = 2; ds.bWholeTop = 0; ds.bWholeBottom = -5;
    ds.bLineMode = 1; ds.nLineMode = 9; ds.bPramMode = 0; ds.nPramMode = 2;
    ds.bVerticalMode = 7; ds.nVerticalMode = 3; ds.nPramLen = 11; ds.nPramWidth = 5;
    ds.nHorize = 6; ds.nVertical = 8; ds.nVerticalWidth = 201; ds.nSelect = -2;
    ds.nPageWidth = 1234; ds.Increase = 5;
    // Keys of the preset dialog stay as they are.
    WritePrivateProfileStringW(L"Size", L"TextSize", L"30", m_path);

    SavePreSetIni(m_path);

    EXPECT_EQ(CString(L"2.5"), Read(L"Version", L"Version"));
    EXPECT_EQ(CString(L"Autumn"), Read(L"Background", L"Background"));
    EXPECT_EQ(CString(L"D:\\图片\\竖栏\\秋"), Read(L"Background", L"verticalDir"));
    EXPECT_EQ(m_lib.Path(L"程序AB\\control\\IMG\\行线\\细线"), Read(L"Background", L"lineDir"));
    EXPECT_EQ(CString(L"3"), Read(L"Background", L"Index0"));
    EXPECT_EQ(CString(L"-1"), Read(L"Background", L"Index1"));
    EXPECT_EQ(CString(L"12"), Read(L"Background", L"Count"));
    EXPECT_EQ(CString(L"4"), Read(L"Color", L"nWholeTB0"));
    EXPECT_EQ(CString(L"-1"), Read(L"Color", L"nWholeTB1"));
    EXPECT_EQ(CString(L"1"), Read(L"Color", L"bWholeLeft"));      // 2 is stored as 1
    EXPECT_EQ(CString(L"0"), Read(L"Color", L"bWholeTop"));
    EXPECT_EQ(CString(L"1"), Read(L"Color", L"bWholeBottom"));
    EXPECT_EQ(CString(L"1"), Read(L"Color", L"bVerticalMode"));
    EXPECT_EQ(CString(L"9"), Read(L"Color", L"nLineMode"));
    EXPECT_EQ(CString(L"-2"), Read(L"Color", L"nSelect"));
    EXPECT_EQ(CString(L"201"), Read(L"Color", L"nVerticalWidth"));
    EXPECT_EQ(CString(L"1234"), Read(L"Page", L"nPageWidth"));
    EXPECT_EQ(CString(L"5"), Read(L"Inc", L"Increase"));
    EXPECT_EQ(CString(L"30"), Read(L"Size", L"TextSize"));

    const wchar_t* expected[] = {
        L"Size/TextSize",
        L"Version/Version",
        L"Background/Background", L"Background/verticalDir", L"Background/lineDir",
        L"Background/Index0", L"Background/Index1", L"Background/Count",
        L"Color/nWholeTB0", L"Color/nWholeTB1", L"Color/nWholeLR0", L"Color/nWholeLR1",
        L"Color/bWholeLeft", L"Color/bWholeTop", L"Color/bWholeBottom", L"Color/bLineMode",
        L"Color/nLineMode", L"Color/bPramMode", L"Color/nPramMode", L"Color/bVerticalMode",
        L"Color/nVerticalMode", L"Color/nPramLen", L"Color/nPramWidth", L"Color/nHorize",
        L"Color/nVertical", L"Color/nVerticalWidth", L"Color/nSelect",
        L"Page/nPageWidth", L"Inc/Increase",
    };
    std::vector<CString> keys = KeyOrder();
    ASSERT_EQ(sizeof(expected) / sizeof(expected[0]), keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(CString(expected[i]), keys[i]) << i;
}

TEST_F(PresetWriterTest, FolderShortening)
{
    const CString def = g_strAppFolder + L"control\\IMG\\背景";
    EXPECT_EQ(CString(L"Autumn"), ShortPictureFolder(def + L"\\Autumn", def));
    EXPECT_EQ(def + L"\\Autumn\\深", ShortPictureFolder(def + L"\\Autumn\\深", def));
    EXPECT_EQ(CString(L"D:\\x\\Autumn"), ShortPictureFolder(L"D:\\x\\Autumn", def));
    CString upper = def;
    upper.MakeUpper();
    EXPECT_EQ(upper + L"\\Autumn", ShortPictureFolder(upper + L"\\Autumn", def));
    EXPECT_EQ(CString(L""), ShortPictureFolder(L"", def));
}

TEST_F(PresetWriterTest, ExitCreatesBothFiles)
{
    AfxMessageBoxHook old = AfxSetMessageBoxHook([](const wchar_t*, UINT) { return IDOK; });
    const CString color = g_strAppFolder + L"control\\Color.xml";
    SaveSettingsAtExit();
    EXPECT_TRUE(FileExists(m_path));
    EXPECT_TRUE(FileExists(color));
    AfxSetMessageBoxHook(old);
}

// ---- recent folders ----

class MruTest : public testing::Test {
protected:
    void SetUp() override { m_path = m_lib.Path(L"最近.ini"); }
    CString Key(const wchar_t* key)
    {
        wchar_t buffer[512];
        GetPrivateProfileStringW(L"Mru File", key, L"<missing>", buffer, 512, m_path);
        return buffer;
    }
    static std::vector<CString> List(const CMruFile& mru)
    {
        std::vector<CString> list;
        for (int i = 0; i < mru.GetCount(); ++i)
            list.push_back(mru.GetAt(i));
        return list;
    }
    static CMruFile Make(const CString& ini, std::initializer_list<const wchar_t*> newestFirst)
    {
        CMruFile mru;
        std::vector<const wchar_t*> items(newestFirst);
        for (auto it = items.rbegin(); it != items.rend(); ++it)
            mru.Add(*it);
        mru.SetIniPath(ini);
        return mru;
    }

    TempLibrary m_lib;
    CString m_path;
};

TEST_F(MruTest, AddMovesToFrontAndKeepsFour)
{
    CMruFile mru = Make(m_path, {L"D:\\books", L"E:\\a"});
    ASSERT_EQ((std::vector<CString>{L"D:\\books", L"E:\\a"}), List(mru));
    mru.Save();
    ASSERT_TRUE(FileExists(m_path));
    ASSERT_TRUE(DeleteFileW(m_path));
    // The same folder as the newest entry, letter case aside: nothing changes, nothing is written.
    mru.Add(L"D:\\Books");
    EXPECT_EQ((std::vector<CString>{L"D:\\books", L"E:\\a"}), List(mru));
    EXPECT_FALSE(FileExists(m_path));

    mru = Make(m_path, {L"D:\\books", L"E:\\a", L"F:\\x"});
    mru.Add(L"E:\\a");
    EXPECT_EQ((std::vector<CString>{L"E:\\a", L"D:\\books", L"F:\\x"}), List(mru));
    EXPECT_EQ(CString(L"3"), Key(L"FileNum"));
    EXPECT_EQ(CString(L"E:\\a"), Key(L"1"));
    EXPECT_EQ(CString(L"F:\\x"), Key(L"3"));
    EXPECT_EQ(CString(L""), Key(L"4"));

    mru.Add(L"G:\\藏书");
    mru.Add(L"H:\\第五");
    EXPECT_EQ((std::vector<CString>{L"H:\\第五", L"G:\\藏书", L"E:\\a", L"D:\\books"}), List(mru));
    EXPECT_EQ(CString(L"4"), Key(L"FileNum"));
    EXPECT_EQ(CString(L"D:\\books"), Key(L"4"));
    EXPECT_EQ(CString(), mru.GetAt(4));

    // A duplicate of the oldest entry moves it up without losing another.
    mru.Add(L"d:\\BOOKS");
    EXPECT_EQ((std::vector<CString>{L"d:\\BOOKS", L"H:\\第五", L"G:\\藏书", L"E:\\a"}), List(mru));

    CMruFile again;
    again.SetIniPath(m_path);
    again.Load();
    EXPECT_EQ(List(mru), List(again));
}

TEST_F(MruTest, ClearWritesEmptyKeys)
{
    CMruFile mru = Make(m_path, {L"D:\\a", L"D:\\b"});
    mru.Save();
    EXPECT_EQ(CString(L"D:\\b"), Key(L"2"));
    mru.Clear();
    EXPECT_EQ(0, mru.GetCount());
    EXPECT_EQ(CString(L"0"), Key(L"FileNum"));
    for (const wchar_t* key : {L"1", L"2", L"3", L"4"})
        EXPECT_EQ(CString(L""), Key(key)) << key;

    // Without a file path nothing is written anywhere.
    CMruFile loose;
    loose.Add(L"D:\\a");
    loose.Save();
    EXPECT_EQ(1, loose.GetCount());
}

TEST_F(MruTest, TheFirstLibraryOpenedIsKeptWithoutAControlFolder)
{
    // A run that starts without "control": the list is written the moment a library opens.
    const CString ini = m_lib.Path(L"control\\Mru.ini");
    ASSERT_FALSE(FolderExists(m_lib.Path(L"control")));
    CMruFile mru;
    mru.SetIniPath(ini);
    mru.Add(L"D:\\藏书");
    CMruFile again;
    again.SetIniPath(ini);
    again.Load();
    EXPECT_EQ((std::vector<CString>{L"D:\\藏书"}), List(again));
}

TEST_F(MruTest, MenuItemsFollowTheList)
{
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    HMENU recent = CreatePopupMenu();
    AppendMenuW(recent, MF_STRING, kMruClearCommand, L"清理最近任务");
    for (int i = 0; i < 4; ++i)
        AppendMenuW(file, MF_STRING, 100 + i, L"项");
    AppendMenuW(file, MF_POPUP, (UINT_PTR)recent, L"最近路径");
    AppendMenuW(bar, MF_POPUP, (UINT_PTR)file, L"文件");

    CMruFile mru = Make(CString(), {L"D:\\甲&乙", L"E:\\b"});
    ASSERT_TRUE(mru.RebuildMenu(bar));
    ASSERT_EQ(3, GetMenuItemCount(recent));
    EXPECT_EQ(kMruFirstCommand, GetMenuItemID(recent, 0));
    EXPECT_EQ(kMruFirstCommand + 1, GetMenuItemID(recent, 1));
    EXPECT_EQ(kMruClearCommand, GetMenuItemID(recent, 2));
    wchar_t text[64];
    GetMenuStringW(recent, 0, text, 64, MF_BYPOSITION);
    EXPECT_EQ(CString(L"D:\\甲&&乙"), CString(text));
    GetMenuStringW(recent, 1, text, 64, MF_BYPOSITION);
    EXPECT_EQ(CString(L"E:\\b"), CString(text));

    mru.Add(L"F:\\c");
    mru.RebuildMenu(bar);
    ASSERT_EQ(4, GetMenuItemCount(recent));
    GetMenuStringW(recent, 0, text, 64, MF_BYPOSITION);
    EXPECT_EQ(CString(L"F:\\c"), CString(text));

    mru.Clear();
    mru.RebuildMenu(bar);
    EXPECT_EQ(1, GetMenuItemCount(recent));
    EXPECT_EQ(kMruClearCommand, GetMenuItemID(recent, 0));

    HMENU bare = CreateMenu();
    EXPECT_FALSE(mru.RebuildMenu(bare));
    DestroyMenu(bare);
    DestroyMenu(bar);
}

// ---- full screen ----

TEST(FullScreenCalc, FrameRectangleThatPutsTheTargetOnTheScreen)
{
    const RECT frame = {0, 0, 1280, 1000};
    const RECT target = {8, 60, 1272, 992};
    RECT full = CalcFullScreenRect(&frame, &target, 1920, 1080);
    EXPECT_EQ(-8, full.left);
    EXPECT_EQ(-60, full.top);
    EXPECT_EQ(1928, full.right);
    EXPECT_EQ(1088, full.bottom);

    // A frame moved elsewhere on the screen gives the same answer.
    const RECT moved = {100, 50, 1380, 1050};
    const RECT movedTarget = {108, 110, 1372, 1042};
    full = CalcFullScreenRect(&moved, &movedTarget, 1920, 1080);
    EXPECT_EQ(-8, full.left);
    EXPECT_EQ(1928, full.right);
    EXPECT_EQ(1088, full.bottom);

    // No windows: the screen.
    full = CalcFullScreenRect(nullptr, &target, 1920, 1080);
    EXPECT_EQ(0, full.left);
    EXPECT_EQ(1920, full.right);
    EXPECT_EQ(1080, full.bottom);
    full = CalcFullScreenRect(&frame, nullptr, 800, 600);
    EXPECT_EQ(800, full.right);
    EXPECT_EQ(600, full.bottom);

    // A target larger than its frame would make the frame smaller than the screen.
    const RECT small = {0, 0, 100, 100};
    const RECT big = {-50, -50, 200, 200};
    full = CalcFullScreenRect(&small, &big, 1920, 1080);
    EXPECT_EQ(0, full.left);
    EXPECT_EQ(0, full.top);
    EXPECT_EQ(1920, full.right);
    EXPECT_EQ(1080, full.bottom);
    // Exactly the screen size is accepted.
    const RECT frame2 = {0, 0, 1000, 800};
    const RECT shifted = {10, 20, 1010, 820};
    full = CalcFullScreenRect(&frame2, &shifted, 1920, 1080);
    EXPECT_EQ(-10, full.left);
    EXPECT_EQ(-20, full.top);
    EXPECT_EQ(1910, full.right);
    EXPECT_EQ(1060, full.bottom);
}

} // namespace
