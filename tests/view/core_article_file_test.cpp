// Article files: the format written, loading, round trips, hostile files, backups
// of damaged files and failed saves.
#include <gtest/gtest.h>
#include <algorithm>
#include <random>
#include <string>
#include <vector>
#include "view/ArticleCoder.h"
#include "xml/XmlDocument.h"
#include "ViewTestUtil.h"

namespace {

const wchar_t kMsgCannotOpen[] = L"文件不存在或正在使用中";
const wchar_t kMsgNotArticle[] = L"不是Lumivell-Velquor所需XML格式！请删掉XML文件,重新建立！";
const wchar_t kMsgNotFinal[] = L"XML有不是最终数据！";

class ArticleFileTest : public testing::Test {
protected:
    TempProgramFolder folder;
    MessageRecorder boxes;
    TestModel m;
    CString lib;
    CString path;

    void SetUp() override
    {
        ASSERT_EQ(936u, GetACP()) << "tests run with the Chinese code page";
        lib = folder.Path() + L"藏书库\\";
        CreateFolderTree(lib);
        path = lib + L"0001_新文章.xml";
    }

    void WriteXml(const CString& file, const std::wstring& xml)
    {
        ASSERT_TRUE(WriteBytes(file, ReferenceFileBytes(xml)));
    }

    // The XML text of a saved file.
    std::wstring SavedXml(const CString& file)
    {
        std::string bytes = ReadBytes(file);
        CString stored((const wchar_t*)bytes.data(), (int)bytes.size() / 2);
        CString xml;
        EXPECT_GT(DecodeArticleText(stored, xml), 0);
        return xml.str();
    }

    // Loads file into a fresh model and gives its tree.
    std::wstring LoadDump(const CString& file, TestModel& into)
    {
        into.OpenArticle(lib, file);
        return DumpTree(into.m_pRoot);
    }

    static int MaxLevel(const ChunkNode* root)
    {
        int level = 0;
        std::vector<const ChunkNode*> pending{root};
        while (!pending.empty()) {
            const ChunkNode* n = pending.back();
            pending.pop_back();
            level = std::max(level, (int)n->nLevel);
            if (n->IsContainer())
                for (const ChunkNode* c = n->pFirstChild; c; c = c->WalkNext())
                    pending.push_back(c);
        }
        return level;
    }

    // Every container holds a line, every line ends with its one line end, and the
    // current line and item are set.
    static void ExpectWellFormed(const TestModel& model)
    {
        ASSERT_NE(nullptr, model.m_pRoot);
        ASSERT_NE(nullptr, model.m_pCurLine);
        ASSERT_NE(nullptr, model.m_pCurItem);
        EXPECT_EQ(model.m_pCurLine, model.m_pCurItem->pOwner);
        std::vector<const ChunkNode*> pending{model.m_pRoot};
        while (!pending.empty()) {
            const ChunkNode* n = pending.back();
            pending.pop_back();
            if (n->IsContainer()) {
                EXPECT_NE(nullptr, n->pFirstChild) << "empty container at level " << n->nLevel;
                for (const ChunkNode* c = n->pFirstChild; c; c = c->WalkNext()) {
                    EXPECT_EQ(n, c->pParent);
                    pending.push_back(c);
                }
            } else if (n->IsLine()) {
                const CharItem* it = n->pFirstItem;
                ASSERT_NE(nullptr, it);
                for (; it->pNext; it = it->pNext) {
                    EXPECT_NE(kLineEnd, it->ch);
                    EXPECT_EQ(n, it->pOwner);
                }
                EXPECT_EQ(kLineEnd, it->ch);
            }
        }
    }

    std::vector<std::wstring> Lines(const TestModel& model)
    {
        std::vector<std::wstring> out;
        std::vector<const ChunkNode*> pending{model.m_pRoot};
        while (!pending.empty()) {
            const ChunkNode* n = pending.back();
            pending.pop_back();
            if (n->IsLine()) {
                std::wstring u = LineUnits(n);
                out.push_back(u.substr(0, u.size() - 1));
            }
            std::vector<const ChunkNode*> kids;
            if (n->IsContainer())
                for (const ChunkNode* c = n->pFirstChild; c; c = c->WalkNext())
                    kids.push_back(c);
            for (auto k = kids.rbegin(); k != kids.rend(); ++k)
                pending.push_back(*k);
        }
        return out;
    }
};

std::wstring Page(const std::wstring& body)
{
    return L"<Page Version=\"2\">\r\n<Body Type=\"R1\">\r\n" + body + L"</Body>\r\n</Page>\r\n";
}

} // namespace

// ---------------------------------------------------------------- new and written

TEST_F(ArticleFileTest, MissingFileStartsANewArticleAndWritesNothing)
{
    m.m_nVersion = 1;
    m.OpenArticle(lib, path);
    EXPECT_EQ(path, m.m_strPath);
    EXPECT_EQ(lib, m.m_strFolder);
    EXPECT_EQ(2, m.m_nVersion);
    ExpectWellFormed(m);
    EXPECT_TRUE(m.IsArticleEmpty());
    EXPECT_EQ(1, m.scrollTops);
    EXPECT_EQ(1, m.enables);
    EXPECT_TRUE(m.SaveArticle(lib, path));
    EXPECT_FALSE(FileExists(path));
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(ArticleFileTest, AnEmptiedArticleIsWrittenEmpty)
{
    m.NewArticle();
    AppendText(m, m.m_pCurLine, L"ab");
    ASSERT_TRUE(m.SaveArticle(lib, path));
    m.CloseArticle();
    m.OpenArticle(lib, path);
    m.SelectAllItems(true);
    ASSERT_TRUE(m.DeleteSelection());
    ASSERT_TRUE(m.IsArticleEmpty());
    EXPECT_TRUE(m.SaveArticle(lib, path));
    TestModel back;
    back.OpenArticle(lib, path);
    EXPECT_TRUE(back.IsArticleEmpty());
    ExpectWellFormed(back);
}

TEST_F(ArticleFileTest, ALineWithoutItsLineEndKeepsEveryCharacter)
{
    m.NewArticle();
    AppendText(m, m.m_pCurLine, L"ab");
    m.DeleteCharItem(m.LastItem(m.m_pCurLine));
    ASSERT_EQ(L"ab", LineUnits(m.m_pCurLine));
    ASSERT_TRUE(m.SaveArticle(lib, path));
    TestModel back;
    back.OpenArticle(lib, path);
    EXPECT_EQ(L"ab\r", LineUnits(back.FirstLine(back.m_pRoot)));
}

TEST_F(ArticleFileTest, AUnitThirteenInsideALineIsKept)
{
    // As an older code block stored it: the line's first character is a 13.
    WriteXml(path, Page(L"<Chunk Type=\"C2\">\r\n"
                        L"<Chunk Code=\"1\">int a;\r</Chunk>\r\n"
                        L"<Chunk Code=\"1\">\r观为指场治（\r</Chunk>\r\n"
                        L"</Chunk>\r\n"));
    m.OpenArticle(lib, path);
    ASSERT_NE(nullptr, m.m_pRoot);
    const std::vector<std::wstring> lines = {L"int a;", L"\r观为指场治（"};
    EXPECT_EQ(lines, Lines(m));
    ASSERT_TRUE(m.SaveArticle(lib, path));
    TestModel back;
    back.OpenArticle(lib, path);
    EXPECT_EQ(lines, Lines(back));
    EXPECT_EQ(DumpTree(m.m_pRoot), DumpTree(back.m_pRoot));
}

TEST_F(ArticleFileTest, ZeroUnitsNeverEnterOrCutALine)
{
    // Inserted text (paste, import) leaves them out.
    m.NewArticle();
    m.InsertText(CString(L"ab\0cd", 5));
    EXPECT_EQ(L"abcd\r", LineUnits(m.FirstLine(m.m_pRoot)));
    // One that got into a line anyway does not cut the rest of it on saving.
    AppendText(m, m.m_pCurLine, std::wstring(L"x\0y", 3));
    ASSERT_TRUE(m.SaveArticle(lib, path));
    TestModel back;
    back.OpenArticle(lib, path);
    EXPECT_EQ(L"abcdxy\r", LineUnits(back.FirstLine(back.m_pRoot)));
}

TEST_F(ArticleFileTest, AHighSurrogateTakesOnlyALowOneAfterIt)
{
    // Inserted text (paste, import): a high half alone is no character, as typed.
    m.NewArticle();
    m.InsertText(L"ab\xD800");
    m.InsertText(L"cd");
    EXPECT_EQ(L"abcd\r", LineUnits(m.FirstLine(m.m_pRoot)));
    ASSERT_TRUE(m.SaveArticle(lib, path));
    TestModel back;
    back.OpenArticle(lib, path);
    EXPECT_EQ(L"abcd\r", LineUnits(back.FirstLine(back.m_pRoot)));
    TestModel two;
    two.NewArticle();
    two.InsertText(L"ab\xD800\ncd");
    EXPECT_EQ(2u, Lines(two).size());
    // A file holding one: the character after it keeps its own unit and style.
    WriteXml(path, Page(L"<Chunk Type=\"R1\">\r\n<Chunk>ab&#55296;[T2]c[/T]d\r</Chunk>\r\n</Chunk>\r\n"));
    TestModel read;
    read.OpenArticle(lib, path);
    ChunkNode* line = read.FirstLine(read.m_pRoot);
    ASSERT_EQ(L"abcd\r", LineUnits(line));
    EXPECT_EQ(2, line->pFirstItem->pNext->pNext->nStyle);
}

TEST_F(ArticleFileTest, OneLineIsWrittenInTheUnchangedFormat)
{
    m.NewArticle();
    AppendText(m, m.m_pCurLine, L"ab");
    ASSERT_TRUE(m.SaveArticle(lib, path));
    std::wstring xml =
        L"<Page Version=\"2\" Count_Input=\"0\">\r\n"
        L"<Body Type=\"R1\" Right=\"20\" Top=\"50\" Width=\"1000\" Height=\"28\">\r\n"
        L"<Chunk Type=\"R1\">\r\n"
        L"<Chunk>ab\r</Chunk>\r\n"
        L"</Chunk>\r\n"
        L"</Body>\r\n"
        L"</Page>\r\n";
    EXPECT_EQ(xml, SavedXml(path));
    EXPECT_EQ(ReferenceFileBytes(xml), ReadBytes(path));
}

TEST_F(ArticleFileTest, RunsMarksSizesAndParagraphsInTheUnchangedFormat)
{
    m.NewArticle();
    m.m_nColumnDis = 60;
    ChunkNode* para = m.m_pRoot->pFirstChild;
    ChunkNode* l1 = m.m_pCurLine;
    AppendText(m, l1, L"中");
    AppendText(m, l1, L"a", 0, 3);
    ChunkNode* l2 = m.NewLineAfter(para, l1);
    AppendText(m, l2, L"xy", 5);
    AppendText(m, l2, L"z");
    l2->nTextSize = 30;
    l2->nCode = 1;
    l2->nInc = 2;
    l2->nLine = 4;
    l2->nManner = 3;
    m.m_pCurLine = l2;
    ChunkNode* p2 = m.NewContainerAfterCurrent();
    ChunkNode* l3 = m.NewLineAfter(p2, nullptr);
    AppendText(m, l3, L"&<>\"'");
    // Glyph and image blocks are left out of the file.
    ChunkNode* glyph = m.CreateNode(kNodeGlyph, 3, 28, 0, 0, 28, 28, nullptr, l3, nullptr,
                                    nullptr, p2);
    const wchar_t g[] = {L'G', 0};
    m.CreateCharItem(g, nullptr, nullptr, glyph);
    ASSERT_TRUE(m.SaveArticle(lib, path));
    EXPECT_EQ(1, m.m_nCountInput);
    std::wstring xml =
        L"<Page Version=\"2\" ColumnDis=\"60\" Count_Input=\"1\">\r\n"
        L"<Body Type=\"C2\" Right=\"20\" Top=\"50\" Width=\"1000\" Height=\"28\">\r\n"
        L"<Chunk Type=\"C2\">\r\n"
        L"<Chunk>中[T3]a[/T]\r</Chunk>\r\n"
        L"<Chunk Type=\"R2\" Action=\"United\" Line=\"4\" Manner=\"3\">\r\n"
        L"<Chunk Size=\"30\" Code=\"1\" Inc=\"2\" FrameStyle=\"5\">xy</Chunk>\r\n"
        L"<Chunk Size=\"30\" Code=\"1\" Inc=\"2\">z\r</Chunk>\r\n"
        L"</Chunk>\r\n"
        L"</Chunk>\r\n"
        L"<Chunk Type=\"C2\">\r\n"
        L"<Chunk>&amp;&lt;&gt;\"'\r</Chunk>\r\n"
        L"</Chunk>\r\n"
        L"</Body>\r\n"
        L"</Page>\r\n";
    EXPECT_EQ(xml, SavedXml(path));
    EXPECT_EQ(ReferenceFileBytes(xml), ReadBytes(path));

    TestModel back;
    back.OpenArticle(lib, path);
    ExpectWellFormed(back);
    EXPECT_EQ(60, back.m_nColumnDis);
    EXPECT_EQ((std::vector<std::wstring>{L"中a", L"xyz", L"&<>\"'"}), Lines(back));
    ChunkNode* b2 = back.m_pRoot->pFirstChild->pFirstChild->pNext;
    EXPECT_EQ(30, b2->nTextSize);
    EXPECT_EQ(1, b2->nCode);
    EXPECT_EQ(2, b2->nInc);
    EXPECT_EQ(0, b2->nLine);        // not read back
    EXPECT_EQ(9, b2->nManner);
    EXPECT_EQ(5, b2->pFirstItem->nMark);
    EXPECT_EQ(0, b2->pFirstItem->pNext->pNext->nMark);
    EXPECT_TRUE(boxes.Texts().empty());
}

// A file another writer made in the form the program writes (marks, styles,
// sizes, code and Inc values, escapes, bracket text, a character outside the
// code page, paragraphs and a row of blocks) loads and is written again byte
// for byte.
TEST_F(ArticleFileTest, AFileInTheSameFormFromAnotherWriterIsSavedUnchanged)
{
    const std::wstring xml =
        L"<Page Version=\"2\" ColumnDis=\"60\" Count_Input=\"14\">\r\n"
        L"<Body Type=\"C3\" Right=\"20\" Top=\"50\" Width=\"1000\" Height=\"28\">\r\n"
        L"<Chunk Type=\"C2\">\r\n"
        L"<Chunk Size=\"30\" FrameStyle=\"4\" Code=\"1\">甲[T2]乙&amp;[/T]丙\r</Chunk>\r\n"
        L"<Chunk Type=\"R3\" Action=\"United\">\r\n"
        L"<Chunk Size=\"32\" Code=\"2\" Inc=\"3\" FrameStyle=\"5\">标[T7]记[/T]</Chunk>\r\n"
        L"<Chunk Size=\"32\" Code=\"2\" Inc=\"3\">&lt;b&gt; &#55360;&#56320;</Chunk>\r\n"
        L"<Chunk Size=\"32\" Code=\"2\" Inc=\"3\" FrameStyle=\"1\">尾\r</Chunk>\r\n"
        L"</Chunk>\r\n"
        L"</Chunk>\r\n"
        L"<Chunk Type=\"R1\">\r\n"
        L"<Chunk>[T0][[/T]F3]x[T0][[/T]/F]○□\r</Chunk>\r\n"
        L"</Chunk>\r\n"
        L"<Chunk Type=\"R2\">\r\n"
        L"<Chunk Type=\"C2\">\r\n"
        L"<Chunk>左一\r</Chunk>\r\n"
        L"<Chunk>左二\r</Chunk>\r\n"
        L"</Chunk>\r\n"
        L"<Chunk Type=\"R1\">\r\n"
        L"<Chunk>右\r</Chunk>\r\n"
        L"</Chunk>\r\n"
        L"</Chunk>\r\n"
        L"</Body>\r\n"
        L"</Page>\r\n";
    WriteXml(path, xml);
    m.OpenArticle(lib, path);
    ExpectWellFormed(m);
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_FALSE(m.NeedsBackupBeforeSave());
    EXPECT_EQ((std::vector<std::wstring>{L"甲乙&丙", L"标记<b> \U00020000尾", L"[F3]x[/F]○□", L"左一", L"左二", L"右"}),
              Lines(m));
    const CString copy = lib + L"copy.xml";
    ASSERT_TRUE(m.SaveArticle(lib, copy));
    EXPECT_EQ(xml, SavedXml(copy));
    EXPECT_EQ(ReferenceFileBytes(xml), ReadBytes(copy));
}

TEST_F(ArticleFileTest, CountInputCountsIdeographsAndTwoShapes)
{
    m.NewArticle();
    AppendText(m, m.m_pCurLine, L"中文ab\x25A1");
    ASSERT_TRUE(m.SaveArticle(lib, path));
    EXPECT_EQ(3, m.m_nCountInput);
    EXPECT_NE(std::wstring::npos, SavedXml(path).find(L"Count_Input=\"3\""));
}

TEST_F(ArticleFileTest, ManyMarkRunsOnOneLine)
{
    m.NewArticle();
    std::wstring expect;
    for (int i = 0; i < 80; ++i) {
        std::wstring ch(1, (wchar_t)(L'a' + i % 26));
        AppendText(m, m.m_pCurLine, ch, (WORD)(i % 2 ? 0 : 100 + i));
        expect += ch;
    }
    ASSERT_TRUE(m.SaveArticle(lib, path));
    EXPECT_NE(std::wstring::npos, SavedXml(path).find(L"Type=\"R80\" Action=\"United\""));
    TestModel back;
    EXPECT_EQ(DumpTree(m.m_pRoot), LoadDump(path, back));
}

// ---------------------------------------------------------------- reading

TEST_F(ArticleFileTest, ReadsOlderFilesAndTheirAttributes)
{
    WriteXml(path,
             L"<Page>\r\n<Body Type=\"C3\">\r\n"
             // an older top-level line without Type: a paragraph of its own
             L"<Chunk FontName=\"隶书\" FrameStyle=\"3\">ab[T2]cd[/T]\r</Chunk>\r\n"
             L"<Chunk Type=\"C2\" FontName=\"宋体\" Inc=\"4\">\r\n"
             L"<Chunk Type=\"R2\" Action=\"United\">\r\n"
             L"<Chunk FrameStyle=\"3\">x</Chunk>\r\n"
             L"<Chunk Size=\"20\" Code=\"2\" Inc=\"1\">y\r</Chunk>\r\n"
             L"</Chunk>\r\n"
             L"<Chunk Size=\"0\" Inc=\"5\">z\r</Chunk>\r\n"
             L"</Chunk>\r\n"
             L"</Body>\r\n</Page>\r\n");
    m.OpenArticle(lib, path);
    ExpectWellFormed(m);
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ(1, m.m_nVersion);     // no Version
    EXPECT_EQ(50, m.m_nColumnDis);
    ChunkNode* p1 = m.m_pRoot->pFirstChild;
    ASSERT_NE(nullptr, p1->pFontFace);
    EXPECT_STREQ(L"隶书", p1->pFontFace);
    ChunkNode* l1 = p1->pFirstChild;
    EXPECT_EQ(L"abcd\r", LineUnits(l1));
    std::vector<WORD> styles, marks;
    for (CharItem* it = l1->pFirstItem; it; it = it->pNext) {
        styles.push_back(it->nStyle);
        marks.push_back(it->nMark);
    }
    EXPECT_EQ((std::vector<WORD>{0, 0, 2, 2, 0}), styles);
    EXPECT_EQ((std::vector<WORD>{3, 3, 3, 3, 3}), marks);
    ChunkNode* p2 = p1->pNext;
    ASSERT_NE(nullptr, p2);
    EXPECT_STREQ(L"宋体", p2->pFontFace);
    EXPECT_EQ(4, p2->nInc);
    ChunkNode* united = p2->pFirstChild;
    EXPECT_EQ(L"xy\r", LineUnits(united));
    EXPECT_EQ(3, united->pFirstItem->nMark);
    EXPECT_EQ(0, united->pFirstItem->pNext->nMark);
    EXPECT_EQ(20, united->nTextSize);   // from the last run
    EXPECT_EQ(2, united->nCode);
    EXPECT_EQ(1, united->nInc);
    ChunkNode* single = united->pNext;
    ASSERT_NE(nullptr, single);
    EXPECT_EQ(28, single->nTextSize);   // a size of 0 is no size
    EXPECT_EQ(5, single->nInc);
    EXPECT_EQ(m.m_pRoot->pFirstChild->pFirstChild, m.m_pCurLine);
    EXPECT_EQ(m.m_pCurLine->pFirstItem, m.m_pCurItem);
    EXPECT_EQ(1, m.relayouts);
    EXPECT_EQ(1, m.geometryUpdates);
    EXPECT_EQ(1, m.enables);
    EXPECT_FALSE(m.NeedsBackupBeforeSave());
}

TEST_F(ArticleFileTest, ReflowOnlyWhenTheWidthIsFarFromThePage)
{
    WriteXml(path, Page(L"<Chunk Type=\"R1\">\r\n<Chunk>a\r</Chunk>\r\n</Chunk>\r\n"));
    DisplaySettings.nPageWidth = 1000;
    const struct { int width; int reflows; } cases[] = {{1100, 0}, {1101, 1}, {900, 0}, {899, 1}};
    for (const auto& c : cases) {
        TestModel t;
        t.clientWidth = c.width;
        t.OpenArticle(lib, path);
        EXPECT_EQ(c.reflows, t.reflows) << c.width;
        EXPECT_EQ(1, t.scrollTops);
    }
}

TEST_F(ArticleFileTest, LegacyBlocksDoNotOrphanTheirSiblings)
{
    WriteXml(path, Page(L"<Chunk Type=\"R1\">\r\n<Chunk>one\r</Chunk>\r\n</Chunk>\r\n"
                        L"<Chunk PotType=\"1\">g</Chunk>\r\n"
                        L"<Chunk Type=\"C4\">\r\n"
                        L"<Chunk>a\r</Chunk>\r\n"
                        L"<Chunk PotType=\"2\">i</Chunk>\r\n"
                        L"<Chunk PotType=\"11\">l</Chunk>\r\n"
                        L"<Chunk>b\r</Chunk>\r\n"
                        L"</Chunk>\r\n"
                        L"<Chunk PotType=\"11\">l</Chunk>\r\n"
                        L"<Chunk Type=\"R1\">\r\n<Chunk PotType=\"2\">i</Chunk>\r\n</Chunk>\r\n"
                        L"<Chunk Type=\"R1\">\r\n<Chunk>two\r</Chunk>\r\n</Chunk>\r\n"));
    m.OpenArticle(lib, path);
    ExpectWellFormed(m);
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ((std::vector<std::wstring>{L"one", L"a", L"b", L"", L"two"}), Lines(m));
    ChunkNode* p2 = m.m_pRoot->pFirstChild->pNext;
    ChunkNode* a = p2->pFirstChild;
    ASSERT_NE(nullptr, a->pNext);
    EXPECT_EQ(a, a->pNext->pPrev);
    // Four paragraphs: the blocks on their own made none; the paragraph holding only
    // an image got an empty line.
    int paragraphs = 0;
    for (ChunkNode* p = m.m_pRoot->pFirstChild; p; p = p->pNext)
        ++paragraphs;
    EXPECT_EQ(4, paragraphs);
    // Saving would drop the blocks: the file is kept before its first overwrite.
    EXPECT_TRUE(m.NeedsBackupBeforeSave());
}

TEST_F(ArticleFileTest, RefusesUnfinishedData)
{
    WriteXml(path, L"<Page Count_Error=\"2\">\r\n<Body>\r\n<Chunk Type=\"R1\">\r\n"
                   L"<Chunk>x\r</Chunk>\r\n</Chunk>\r\n</Body>\r\n</Page>\r\n");
    EXPECT_FALSE(m.LoadArticle(lib, path));
    ASSERT_EQ(1u, boxes.Texts().size());
    EXPECT_EQ(kMsgNotFinal, boxes.Texts()[0]);
    ExpectWellFormed(m);
    EXPECT_TRUE(m.IsArticleEmpty());

    WriteXml(path, L"<Page Count_Error=\"2\" Count_Ensure1=\"1\">\r\n<Body>\r\n<Chunk Type=\"R1\">\r\n"
                   L"<Chunk>x\r</Chunk>\r\n</Chunk>\r\n</Body>\r\n</Page>\r\n");
    TestModel ok;
    EXPECT_TRUE(ok.LoadArticle(lib, path));
    EXPECT_EQ((std::vector<std::wstring>{L"x"}), Lines(ok));
    WriteXml(path, L"<Page Count_Error=\"0\">\r\n<Body>\r\n<Chunk Type=\"R1\">\r\n"
                   L"<Chunk>y\r</Chunk>\r\n</Chunk>\r\n</Body>\r\n</Page>\r\n");
    TestModel zero;
    EXPECT_TRUE(zero.LoadArticle(lib, path));
    EXPECT_EQ((std::vector<std::wstring>{L"y"}), Lines(zero));
    EXPECT_EQ(1u, boxes.Texts().size());
}

// ---------------------------------------------------------------- hostile files

TEST_F(ArticleFileTest, HostileFilesOpenAsEmptyArticlesWithTheirMessage)
{
    std::string good;
    {
        TestModel w;
        w.NewArticle();
        AppendText(w, w.m_pCurLine, L"一二三四五六七八九十 good text");
        ASSERT_TRUE(w.SaveArticle(lib, path));
        good = ReadBytes(path);
    }
    struct Case { const char* name; std::string bytes; const wchar_t* message; };
    std::vector<Case> cases = {
        {"zero bytes", "", kMsgNotArticle},
        {"one odd byte", "M", kMsgNotArticle},
        {"plain XML, not coded", AsUtf16Bytes("<Page><Body/></Page>"), kMsgNotArticle},
        {"not an article", ReferenceFileBytes(L"<Other>\r\n<Body/>\r\n</Other>\r\n"), kMsgNotArticle},
        {"no Body", ReferenceFileBytes(L"<Page Version=\"2\">\r\n<Chunk Type=\"R1\"/>\r\n</Page>\r\n"),
         kMsgNotArticle},
        {"coded garbage", AsUtf16Bytes("44o=44o=44o=44o="), kMsgNotArticle},
        {"zero unit first", std::string("\0\0", 2) + good, kMsgNotArticle},
    };
    for (const Case& c : cases) {
        CString file = lib + L"hostile.xml";
        ASSERT_TRUE(WriteBytes(file, c.bytes)) << c.name;
        boxes.Texts().clear();
        TestModel t;
        EXPECT_FALSE(t.LoadArticle(lib, file)) << c.name;
        ASSERT_EQ(1u, boxes.Texts().size()) << c.name;
        EXPECT_EQ(std::wstring(c.message), boxes.Texts()[0]) << c.name;
        ExpectWellFormed(t);
        EXPECT_TRUE(t.IsArticleEmpty()) << c.name;
        EXPECT_TRUE(t.NeedsBackupBeforeSave()) << c.name;
        EXPECT_EQ(1, t.enables) << c.name;
    }
}

TEST_F(ArticleFileTest, UnreadableFileSaysSoAndIsNotOverwritten)
{
    boxes.Texts().clear();
    EXPECT_FALSE(m.LoadArticle(lib, lib + L"nowhere.xml"));
    ASSERT_EQ(1u, boxes.Texts().size());
    EXPECT_EQ(kMsgCannotOpen, boxes.Texts()[0]);
    ExpectWellFormed(m);

    // A file held open without sharing cannot be read, nor backed up, nor replaced.
    ASSERT_TRUE(WriteBytes(path, ReferenceFileBytes(Page(L""))));
    HANDLE h = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    boxes.Texts().clear();
    TestModel t;
    EXPECT_FALSE(t.LoadArticle(lib, path));
    EXPECT_EQ(std::vector<std::wstring>{kMsgCannotOpen}, boxes.Texts());
    AppendText(t, t.m_pCurLine, L"typed");
    boxes.Texts().clear();
    EXPECT_FALSE(t.SaveArticle(lib, path));
    ASSERT_EQ(1u, boxes.Texts().size());
    EXPECT_NE(std::wstring::npos, boxes.Texts()[0].find(path.str()));
    CloseHandle(h);
    EXPECT_EQ(ReferenceFileBytes(Page(L"")), ReadBytes(path));
}

TEST_F(ArticleFileTest, TruncatedFileIsBackedUpBeforeItsFirstOverwrite)
{
    m.NewArticle();
    ChunkNode* line = m.m_pCurLine;
    AppendText(m, line, L"第一行");
    for (int i = 0; i < 20; ++i) {
        line = m.NewLineAfter(m.m_pRoot->pFirstChild, line);
        AppendText(m, line, L"更多的文字 more text");
    }
    ASSERT_TRUE(m.SaveArticle(lib, path));
    std::string full = ReadBytes(path);
    std::string cut = full.substr(0, (full.size() / 2) & ~size_t(1));
    ASSERT_TRUE(WriteBytes(path, cut));

    // The elements left open lose their nesting, so no Body is found in the Page.
    TestModel t;
    t.OpenArticle(lib, path);
    ExpectWellFormed(t);
    EXPECT_EQ(std::vector<std::wstring>{kMsgNotArticle}, boxes.Texts());
    EXPECT_TRUE(t.NeedsBackupBeforeSave());

    AppendText(t, t.m_pCurLine, L"新");
    ASSERT_TRUE(t.SaveArticle(lib, path));
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(folder.Path() + L"control\\Backup\\0001_新文章_*.xml", &fd);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CString found = folder.Path() + L"control\\Backup\\" + fd.cFileName;
    EXPECT_FALSE(FindNextFileW(h, &fd));    // exactly one copy
    FindClose(h);
    EXPECT_EQ(cut, ReadBytes(found));
    EXPECT_NE(cut, ReadBytes(path));
    EXPECT_FALSE(t.NeedsBackupBeforeSave());
    // Later saves replace the file without further copies.
    AppendText(t, t.m_pCurLine, L"再");
    ASSERT_TRUE(t.SaveArticle(lib, path));
    EXPECT_EQ(cut, ReadBytes(found));
}

// A coded text with a bad character inside a group (not at its start) still decodes
// to the end: only the bytes of that group are wrong.
TEST_F(ArticleFileTest, BadCharacterInsideAGroupLoadsTheRest)
{
    m.NewArticle();
    AppendText(m, m.m_pCurLine, L"abcdefghijklmnopqrstuvwxyz0123456789");
    ASSERT_TRUE(m.SaveArticle(lib, path));
    std::wstring xml = SavedXml(path);
    size_t at = xml.find(L"xyz");
    ASSERT_NE(std::wstring::npos, at);
    std::string bytes = ReadBytes(path);
    size_t group = (at / 3) * 4;    // ASCII: one byte per character
    bytes[2 * (group + 1)] = '!';
    ASSERT_TRUE(WriteBytes(path, bytes));
    TestModel t;
    t.OpenArticle(lib, path);
    EXPECT_TRUE(boxes.Texts().empty());
    ExpectWellFormed(t);
    std::vector<std::wstring> lines = Lines(t);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(L"abcdefghijklmnopqrstu", lines[0].substr(0, 21));
    EXPECT_EQ(L"0123456789", lines[0].substr(lines[0].size() - 10));
}

// The contents of every file under control\Backup, in no particular order.
static std::vector<std::string> BackupContents(const CString& programFolder)
{
    std::vector<std::string> found;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(programFolder + L"control\\Backup\\*.xml", &fd);
    if (h == INVALID_HANDLE_VALUE)
        return found;
    do
        found.push_back(ReadBytes(programFolder + L"control\\Backup\\" + fd.cFileName));
    while (FindNextFileW(h, &fd));
    FindClose(h);
    return found;
}

static void SetWriteTime(const CString& file, WORD year)
{
    HANDLE h = CreateFileW(file, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    SYSTEMTIME st = {year, 3, 0, 4, 5, 6, 7, 0};
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &ft));
    CloseHandle(h);
}

TEST_F(ArticleFileTest, DamagedFilesOfTheSameNameAndTimeEachKeepABackup)
{
    // Numbering starts again in every folder; files unpacked together share a time.
    const CString a = lib + L"书甲\\0001_新文章.xml";
    const CString b = lib + L"书乙\\0001_新文章.xml";
    CreateFolderTree(lib + L"书甲");
    CreateFolderTree(lib + L"书乙");
    const std::string bytesA = AsUtf16Bytes("damaged A"), bytesB = AsUtf16Bytes("damaged B");
    ASSERT_TRUE(WriteBytes(a, bytesA));
    ASSERT_TRUE(WriteBytes(b, bytesB));
    SetWriteTime(a, 2021);
    SetWriteTime(b, 2021);
    for (const CString& file : {a, b}) {
        TestModel t;
        t.OpenArticle(ParentFolder(file), file);
        AppendText(t, t.m_pCurLine, L"新");
        ASSERT_TRUE(t.SaveArticle(ParentFolder(file), file));
        // A second save of the same file makes no second copy.
        AppendText(t, t.m_pCurLine, L"再");
        ASSERT_TRUE(t.SaveArticle(ParentFolder(file), file));
    }
    std::vector<std::string> kept = BackupContents(folder.Path());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ((std::vector<std::string>{bytesA, bytesB}), kept);

    // The same bytes in the same file damaged again later: one more copy of it,
    // since another file's copy with the same content is not its own.
    const CString c = lib + L"0001_新文章.xml";
    ASSERT_TRUE(WriteBytes(c, bytesA));
    SetWriteTime(c, 2021);
    TestModel t;
    t.OpenArticle(lib, c);
    AppendText(t, t.m_pCurLine, L"新");
    ASSERT_TRUE(t.SaveArticle(lib, c));
    EXPECT_EQ(3u, BackupContents(folder.Path()).size());
}

TEST_F(ArticleFileTest, ADamagedArticleRenamedBeforeItsFirstSaveIsStillBackedUp)
{
    const std::string damaged = AsUtf16Bytes("not an article");
    struct Case { const wchar_t* from; const wchar_t* to; };
    // The file itself renamed, and the folder it lies in.
    const Case cases[] = {{L"卷\\0001_旧.xml", L"卷\\0001_新.xml"}, {L"旧卷\\0001_a.xml", L"新卷\\0001_a.xml"}};
    for (const Case& c : cases) {
        const CString from = lib + c.from, to = lib + c.to;
        CreateFolderTree(ParentFolder(from));
        ASSERT_TRUE(WriteBytes(from, damaged));
        TestModel t;
        t.OpenArticle(ParentFolder(from), from);
        if (ParentFolder(from) == ParentFolder(to))
            ASSERT_TRUE(MoveFileW(from, to));
        else
            ASSERT_TRUE(MoveFileW(ParentFolder(from), ParentFolder(to)));
        AppendText(t, t.m_pCurLine, L"新");
        ASSERT_TRUE(t.SaveArticle(ParentFolder(to), to));
        EXPECT_NE(damaged, ReadBytes(to));
    }
    EXPECT_EQ((std::vector<std::string>{damaged, damaged}), BackupContents(folder.Path()));
}

TEST_F(ArticleFileTest, SavingWithNoArticleOpenWritesNothing)
{
    ASSERT_TRUE(WriteBytes(path, "kept"));
    std::string bytes;
    EXPECT_FALSE(m.BuildArticleFile(bytes));
    m.SaveArticle(lib, path);
    m.NewArticle();
    AppendText(m, m.m_pCurLine, L"x");
    m.CloseArticle();
    m.SaveArticle(lib, path);
    EXPECT_EQ("kept", ReadBytes(path));
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(ArticleFileTest, BackupNameHasTheFileNameAndItsTime)
{
    ASSERT_TRUE(WriteBytes(path, "x"));
    HANDLE h = CreateFileW(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    SYSTEMTIME st = {2021, 3, 0, 4, 5, 6, 7, 0};
    FILETIME local, utc;
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &utc));
    CloseHandle(h);
    const CString backup = CArticleModel::BackupPathFor(path);
    const CString start = folder.Path() + L"control\\Backup\\0001_新文章_20210304-050607_";
    EXPECT_EQ(start, backup.Left(start.GetLength()));
    EXPECT_EQ(CString(L".xml"), backup.Right(4));
    // The same name and time in another folder is another backup.
    const CString other = lib + L"卷\\0001_新文章.xml";
    CreateFolderTree(lib + L"卷");
    ASSERT_TRUE(CopyFileW(path, other, FALSE));
    EXPECT_NE(backup, CArticleModel::BackupPathFor(other));
    EXPECT_EQ(CString(), CArticleModel::BackupPathFor(lib + L"missing.xml"));
}

TEST_F(ArticleFileTest, CleanFilesAreNotBackedUp)
{
    m.NewArticle();
    AppendText(m, m.m_pCurLine, L"a");
    ASSERT_TRUE(m.SaveArticle(lib, path));
    TestModel t;
    t.OpenArticle(lib, path);
    AppendText(t, t.m_pCurLine, L"b");
    ASSERT_TRUE(t.SaveArticle(lib, path));
    EXPECT_FALSE(FolderExists(folder.Path() + L"control\\Backup"));
}

TEST_F(ArticleFileTest, TenThousandNestedChunks)
{
    std::wstring body;
    for (int i = 0; i < 10000; ++i)
        body += L"<Chunk Type=\"R1\">\r\n";
    body += L"<Chunk>deep\r</Chunk>\r\n";
    for (int i = 0; i < 10000; ++i)
        body += L"</Chunk>\r\n";
    body += L"<Chunk Type=\"R1\">\r\n<Chunk>after\r</Chunk>\r\n</Chunk>\r\n";
    WriteXml(path, Page(body));
    m.OpenArticle(lib, path);
    ExpectWellFormed(m);
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ((std::vector<std::wstring>{L"deep", L"after"}), Lines(m));
    EXPECT_EQ(CArticleModel::kMaxLevel, MaxLevel(m.m_pRoot));
    EXPECT_TRUE(m.NeedsBackupBeforeSave());

    CString copy = lib + L"copy.xml";
    ASSERT_TRUE(m.SaveArticle(lib, copy));
    TestModel back;
    EXPECT_EQ(DumpTree(m.m_pRoot), LoadDump(copy, back));
}

TEST_F(ArticleFileTest, FlattenedChunksKeepTheirOrder)
{
    // Deep containers holding lines at several depths, read into the deepest allowed.
    std::wstring body;
    for (int i = 0; i < 40; ++i)
        body += L"<Chunk Type=\"C2\">\r\n<Chunk>l" + std::to_wstring(i) + L"\r</Chunk>\r\n";
    for (int i = 0; i < 40; ++i)
        body += L"</Chunk>\r\n";
    WriteXml(path, Page(body));
    m.OpenArticle(lib, path);
    ExpectWellFormed(m);
    std::vector<std::wstring> lines = Lines(m);
    ASSERT_EQ(40u, lines.size());
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(L"l" + std::to_wstring(i), lines[i]);
}

// ---------------------------------------------------------------- saving safely

TEST_F(ArticleFileTest, FailedSaveSaysWhereAndKeepsTheFile)
{
    m.NewArticle();
    AppendText(m, m.m_pCurLine, L"new");
    ASSERT_TRUE(WriteBytes(path, "precious"));
    SetFileAttributesW(path, FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(m.SaveArticle(lib, path));
    SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(1u, boxes.Texts().size());
    EXPECT_NE(std::wstring::npos, boxes.Texts()[0].find(path.str()));
    EXPECT_EQ("precious", ReadBytes(path));

    boxes.Texts().clear();
    CString nowhere = lib + L"no folder\\0001_x.xml";
    EXPECT_FALSE(m.SaveArticle(lib, nowhere));
    ASSERT_EQ(1u, boxes.Texts().size());
    EXPECT_NE(std::wstring::npos, boxes.Texts()[0].find(nowhere.str()));
}

// ---------------------------------------------------------------- round trips

namespace {

ChunkNode* RowLine(CArticleModel& m, ChunkNode* parent, ChunkNode* left)
{
    ChunkNode* line = m.CreateNode(kNodeLine, (WORD)(parent->nLevel + 1), parent->nTextSize, 0, 0,
                                   28, 28, nullptr, nullptr, left, nullptr, parent);
    const wchar_t end[] = {kLineEnd, 0};
    m.CreateCharItem(end, nullptr, nullptr, line);
    return line;
}

void FillRandomLine(CArticleModel& m, ChunkNode* line, std::mt19937& rng)
{
    static const std::wstring snippets[] = {
        L"a[TOTAL] = 0;", L"[F", L"[/", L"[T", L"[", L"[[T1]", L"&#20013;", L"<a href=\"x\">",
        L"\n", L"\U00020000", L"\U0001F600", L"\x0E01", L"\xC0", L"\xFFFF", L"]]>", L"  ",
        L"中文", L"□○", L"x[/F]y"};
    auto pick = [&](int n) { return (int)(rng() % (unsigned)n); };
    WORD mark = 0, style = 0;
    int pieces = pick(12);
    for (int p = 0; p < pieces; ++p) {
        std::wstring text;
        switch (pick(4)) {
        case 0:
            for (int k = 1 + pick(6); k > 0; --k)
                text += (wchar_t)(0x4E00 + pick(0x51A5));
            break;
        case 1:
            for (int k = 1 + pick(6); k > 0; --k)
                text += (wchar_t)(0x20 + pick(95));
            break;
        default:
            text = snippets[pick(sizeof snippets / sizeof snippets[0])];
            break;
        }
        if (pick(3) == 0)
            mark = pick(2) ? 0 : (WORD)(pick(5) ? 1 + pick(20) : 65535);
        if (pick(3) == 0)
            style = pick(2) ? 0 : (WORD)(pick(5) ? 1 + pick(12) : 65535);
        AppendText(m, line, text, mark, style);
    }
    // The line end carries the last run's mark, or a mark of its own, or none.
    CharItem* end = m.LastItem(line);
    int which = pick(3);
    end->nMark = which == 0 ? mark : which == 1 ? 0 : (WORD)(1 + pick(9));
    line->nTextSize = pick(3) ? 28 : 20 + pick(30);
    line->nCode = pick(4) ? 0 : pick(3);
    line->nInc = (WORD)pick(4);
}

void BuildRandomArticle(CArticleModel& m, unsigned seed)
{
    std::mt19937 rng(seed);
    m.NewArticle();
    m.m_nColumnDis = rng() % 2 ? 50 : 70;
    ChunkNode* para = m.m_pRoot->pFirstChild;
    int paragraphs = 2 + (int)(rng() % 5);
    for (int p = 0; p < paragraphs; ++p) {
        if (p > 0) {
            m.m_pCurLine = para;
            para = m.NewContainerAfterCurrent();
            if (rng() % 5 == 0) {
                // A row of two blocks, each holding lines side by side.
                ChunkNode* left = m.CreateNode(kNodeContainer, 3, 28, 0, 0, 28, 28, nullptr,
                                               nullptr, nullptr, nullptr, para);
                ChunkNode* right = m.CreateNode(kNodeContainer, 3, 28, 0, 0, 28, 28, nullptr,
                                                nullptr, left, nullptr, para);
                ChunkNode* a = RowLine(m, left, nullptr);
                FillRandomLine(m, a, rng);
                FillRandomLine(m, RowLine(m, left, a), rng);
                FillRandomLine(m, RowLine(m, right, nullptr), rng);
                continue;
            }
            m.NewLineAfter(para, nullptr);
        }
        ChunkNode* line = para->pFirstChild;
        int lines = 1 + (int)(rng() % 5);
        for (int l = 0; l < lines; ++l) {
            if (l > 0)
                line = m.NewLineAfter(para, line);
            FillRandomLine(m, line, rng);
        }
    }
}

} // namespace

TEST_F(ArticleFileTest, RandomArticlesComeBackIdentical)
{
    for (unsigned seed = 1; seed <= 60; ++seed) {
        TestModel a;
        BuildRandomArticle(a, seed);
        if (a.IsArticleEmpty())
            continue;
        ASSERT_TRUE(a.SaveArticle(lib, path)) << "seed " << seed;
        TestModel b;
        std::wstring got = LoadDump(path, b);
        ASSERT_EQ(DumpTree(a.m_pRoot), got) << "seed " << seed;
        EXPECT_EQ(a.m_nColumnDis, b.m_nColumnDis);
        EXPECT_EQ(2, b.m_nVersion);
        ExpectWellFormed(b);
        // Saving what was loaded gives the same file again.
        std::string first = ReadBytes(path);
        ASSERT_TRUE(b.SaveArticle(lib, path));
        ASSERT_EQ(first, ReadBytes(path)) << "seed " << seed;
    }
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(ArticleFileTest, CharactersOutsideTheCodePageSurvive)
{
    m.NewArticle();
    AppendText(m, m.m_pCurLine, L"\U00020000 \U0001F600 \x0E01\xC0 中 &#20013;");
    ASSERT_TRUE(m.SaveArticle(lib, path));
    std::wstring xml = SavedXml(path);
    EXPECT_NE(std::wstring::npos, xml.find(L"&#55360;&#56320; &#55357;&#56832; &#3585;&#192; 中 "
                                           L"&amp;#20013;"));
    TestModel back;
    back.OpenArticle(lib, path);
    EXPECT_EQ((std::vector<std::wstring>{L"\U00020000 \U0001F600 \x0E01\xC0 中 &#20013;"}),
              Lines(back));
    ChunkNode* line = back.m_pCurLine;
    EXPECT_EQ(0xD840, line->pFirstItem->ch);
    EXPECT_EQ(0xDC00, line->pFirstItem->chLow);
}
