// Filling the library tree from disk and the page-by-page walk.
#include "LibraryTestUtil.h"
#include "app/LibraryPaths.h"
#include <algorithm>

using libtest::PlainTree;
using libtest::TempLibrary;

namespace {

std::vector<CString> Sorted(std::vector<CString> texts)
{
    std::sort(texts.begin(), texts.end());
    return texts;
}

std::vector<CString> EntryNames(const std::vector<LibraryEntry>& entries)
{
    std::vector<CString> names;
    for (const LibraryEntry& entry : entries)
        names.push_back(entry.name);
    return names;
}

TEST(TreeFill, OnlyFoldersAndXmlFilesQualifyLowerCased)
{
    TempLibrary lib;
    lib.File(L"b.txt");
    lib.File(L"a.XML");
    lib.File(L"x.xml.bak");
    lib.File(L"说明.doc");
    lib.Folder(L"卷一");
    std::vector<LibraryEntry> entries = ListLibraryEntries(lib.Root());
    EXPECT_EQ((std::vector<CString>{L"a.xml", L"x.xml.bak", L"卷一"}), Sorted(EntryNames(entries)));
    for (const LibraryEntry& entry : entries)
        EXPECT_EQ(entry.name == L"卷一", entry.isFolder);
    EXPECT_EQ(1u, ListLibraryEntries(lib.Root(), true).size());
    EXPECT_TRUE(ListLibraryEntries(lib.Path(L"没有")).empty());

    // A save that never finished leaves a file the tree does not list.
    const CString leftover = SaveTempPath(lib.Path(L"0001_新文章.XML"));
    EXPECT_EQ(lib.Root(), leftover.Left(leftover.ReverseFind(L'\\')));
    CString lower = leftover;
    EXPECT_LT(lower.MakeLower().Find(L".xml"), 0);
    lib.File(leftover.Mid(leftover.ReverseFind(L'\\') + 1));
    lib.File(L"0002_b.xml.~tmp");
    EXPECT_EQ(3u, ListLibraryEntries(lib.Root()).size());

    TempLibrary only;
    only.File(L"b.txt");
    only.File(L"a.XML");
    PlainTree tree(only.Root());
    FillTree(tree, only.Root(), tree.Root(), 2, 1);
    EXPECT_EQ(only.Root().str() + L"(a.xml)", tree.Outline(tree.Root()));
}

TEST(TreeFill, EmptyFolderGetsNoExpandButton)
{
    TempLibrary lib;
    lib.Folder(L"空");
    lib.Folder(L"只有文本");
    lib.File(L"只有文本\\readme.txt");
    PlainTree tree(L"根");
    FillTree(tree, lib.Root(), tree.Root(), 2, 1);
    LibraryItem empty = tree.At({L"空"});
    LibraryItem textOnly = tree.At({L"只有文本"});
    ASSERT_TRUE(empty);
    ASSERT_TRUE(textOnly);
    EXPECT_EQ(nullptr, tree.GetFirstChild(empty));
    EXPECT_EQ(nullptr, tree.GetFirstChild(textOnly));
}

TEST(TreeFill, PlaceholdersThenExpansionWithoutDuplicates)
{
    TempLibrary lib;
    const wchar_t* folders[] = {L"卷一", L"卷二", L"卷三"};
    for (const wchar_t* folder : folders) {
        lib.Folder(folder);
        for (const wchar_t* name : {L"0001_a.xml", L"0002_b.xml", L"0003_c.xml"})
            lib.File((CString(folder) + L"\\" + name));
    }
    lib.Folder(L"卷二\\子卷");
    lib.File(L"卷二\\子卷\\0001_深.xml");
    lib.File(L"0001_序.xml");
    lib.File(L"0002_跋.xml");

    PlainTree tree(lib.Root());
    FillTree(tree, lib.Root(), tree.Root(), 2, 1);
    std::vector<CString> top = ChildTexts(tree, tree.Root());
    EXPECT_EQ((std::vector<CString>{L"0001_序.xml", L"0002_跋.xml", L"卷一", L"卷三", L"卷二"}), Sorted(top));
    for (const wchar_t* folder : folders) {
        LibraryItem item = tree.At({folder});
        ASSERT_TRUE(item);
        EXPECT_EQ(1u, ChildTexts(tree, item).size()) << "one placeholder";
    }

    // Expanding completes the folder; the placeholder is not repeated.
    LibraryItem second = tree.At({L"卷二"});
    const CString placeholder = ChildTexts(tree, second)[0];
    FillTree(tree, ItemPathFromTexts({lib.Root(), L"卷二"}), second, 2, 0);
    std::vector<CString> children = ChildTexts(tree, second);
    EXPECT_EQ((std::vector<CString>{L"0001_a.xml", L"0002_b.xml", L"0003_c.xml", L"子卷"}), Sorted(children));
    EXPECT_EQ(placeholder, children[0]);   // the placeholder keeps its place
    // The sub-folder now has its own placeholder.
    LibraryItem sub = tree.At({L"卷二", L"子卷"});
    ASSERT_TRUE(sub);
    EXPECT_EQ((std::vector<CString>{L"0001_深.xml"}), ChildTexts(tree, sub));

    // Expanding again adds nothing.
    const int inserts = tree.inserts;
    FillTree(tree, ItemPathFromTexts({lib.Root(), L"卷二"}), second, 2, 0);
    FillTree(tree, lib.Root(), tree.Root(), 2, 0);
    EXPECT_EQ(inserts, tree.inserts);
    EXPECT_EQ(4u, ChildTexts(tree, second).size());
    EXPECT_EQ(5u, ChildTexts(tree, tree.Root()).size());
}

TEST(TreeFill, ExistingItemsAreMatchedByNameNotByOrder)
{
    TempLibrary lib;
    lib.Folder(L"卷一");
    lib.File(L"卷一\\0001_a.xml");
    lib.File(L"卷一\\0002_B.xml");
    lib.File(L"卷一\\0003_c.xml");
    lib.Folder(L"卷一\\附录");
    lib.File(L"卷一\\附录\\0001_x.xml");

    PlainTree tree(lib.Root());
    LibraryItem folder = tree.InsertLast(tree.Root(), L"卷一");
    // A placeholder that is not the first entry the disk lists, an item typed
    // by the user in capitals, an article not yet saved, and a sub-folder
    // already holding a child.
    tree.InsertLast(folder, L"0003_c.xml");
    tree.InsertLast(folder, L"0002_B.xml");
    tree.InsertLast(folder, L"0004_新文章.xml");
    LibraryItem appendix = tree.InsertLast(folder, L"附录");
    tree.InsertLast(appendix, L"0001_x.xml");

    FillTree(tree, lib.Path(L"卷一"), folder, 2, 0);
    std::vector<CString> children = ChildTexts(tree, folder);
    EXPECT_EQ((std::vector<CString>{L"0001_a.xml", L"0002_B.xml", L"0003_c.xml", L"0004_新文章.xml", L"附录"}),
              Sorted(children));
    EXPECT_EQ((std::vector<CString>{L"0001_x.xml"}), ChildTexts(tree, appendix));
}

TEST(TreeFill, DepthRules)
{
    TempLibrary lib;
    lib.File(L"0001_a.xml");
    lib.File(L"0002_b.xml");
    PlainTree tree(lib.Root());
    FillTree(tree, lib.Root(), tree.Root(), 0, 1);
    EXPECT_EQ(0, tree.inserts);
    FillTree(tree, lib.Root(), tree.Root(), 1, 1);
    EXPECT_EQ(1u, ChildTexts(tree, tree.Root()).size());
    FillTree(tree, lib.Root(), tree.Root(), 1, 0);   // already has its placeholder
    EXPECT_EQ(1u, ChildTexts(tree, tree.Root()).size());
    FillTree(tree, lib.Root(), tree.Root(), 2, 0);
    EXPECT_EQ(2u, ChildTexts(tree, tree.Root()).size());
}

// root
//  ├ 卷一: 0001_a.xml, 0002_b.xml
//  ├ 卷二: 子卷 (0001_c.xml, 0002_d.xml), 0003_e.xml
//  ├ 0009_z.xml
//  └ 卷三: 0001_y.xml
class PageWalk : public testing::Test {
protected:
    PageWalk() : tree(L"D:\\书库")
    {
        LibraryItem one = tree.InsertLast(tree.Root(), L"卷一");
        tree.InsertLast(one, L"0001_a.xml");
        tree.InsertLast(one, L"0002_b.xml");
        LibraryItem two = tree.InsertLast(tree.Root(), L"卷二");
        LibraryItem sub = tree.InsertLast(two, L"子卷");
        tree.InsertLast(sub, L"0001_c.xml");
        tree.InsertLast(sub, L"0002_d.xml");
        tree.InsertLast(two, L"0003_e.xml");
        tree.InsertLast(tree.Root(), L"0009_z.xml");
        LibraryItem three = tree.InsertLast(tree.Root(), L"卷三");
        tree.InsertLast(three, L"0001_y.xml");
    }
    PlainTree tree;
};

TEST_F(PageWalk, NextPage)
{
    EXPECT_EQ(tree.At({L"卷一", L"0002_b.xml"}), NextPageItem(tree, tree.At({L"卷一", L"0001_a.xml"})));
    // Last article of a folder: the parent's next sibling, down its first children.
    EXPECT_EQ(tree.At({L"卷二", L"子卷", L"0001_c.xml"}), NextPageItem(tree, tree.At({L"卷一", L"0002_b.xml"})));
    EXPECT_EQ(tree.At({L"卷二", L"0003_e.xml"}), NextPageItem(tree, tree.At({L"卷二", L"子卷", L"0002_d.xml"})));
    EXPECT_EQ(tree.At({L"0009_z.xml"}), NextPageItem(tree, tree.At({L"卷二", L"0003_e.xml"})));
    EXPECT_EQ(tree.At({L"卷三", L"0001_y.xml"}), NextPageItem(tree, tree.At({L"0009_z.xml"})));
    // Last article of the last folder: nowhere to go.
    EXPECT_EQ(nullptr, NextPageItem(tree, tree.At({L"卷三", L"0001_y.xml"})));
    EXPECT_EQ(nullptr, NextPageItem(tree, tree.Root()));
    EXPECT_EQ(nullptr, NextPageItem(tree, nullptr));
    // From a folder item: its next sibling.
    EXPECT_EQ(tree.At({L"卷二", L"子卷", L"0001_c.xml"}), NextPageItem(tree, tree.At({L"卷一"})));
}

TEST_F(PageWalk, PrevPage)
{
    EXPECT_EQ(tree.At({L"卷一", L"0001_a.xml"}), PrevPageItem(tree, tree.At({L"卷一", L"0002_b.xml"})));
    // First article of a folder: the parent's previous sibling, down and to the last item.
    EXPECT_EQ(tree.At({L"卷二", L"子卷", L"0002_d.xml"}), PrevPageItem(tree, tree.At({L"卷二", L"0003_e.xml"})));
    EXPECT_EQ(tree.At({L"卷一", L"0002_b.xml"}), PrevPageItem(tree, tree.At({L"卷二", L"子卷"})));
    EXPECT_EQ(tree.At({L"卷二", L"子卷", L"0002_d.xml"}), PrevPageItem(tree, tree.At({L"0009_z.xml"})));
    EXPECT_EQ(tree.At({L"0009_z.xml"}), PrevPageItem(tree, tree.At({L"卷三", L"0001_y.xml"})));
    // No previous sibling of the item or of its parent.
    EXPECT_EQ(nullptr, PrevPageItem(tree, tree.At({L"卷二", L"子卷", L"0001_c.xml"})));
    EXPECT_EQ(nullptr, PrevPageItem(tree, tree.At({L"卷一", L"0001_a.xml"})));
    EXPECT_EQ(nullptr, PrevPageItem(tree, nullptr));
}

} // namespace
