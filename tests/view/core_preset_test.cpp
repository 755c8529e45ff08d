// The preset file, the picture folder listers and the word tables.
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "LayoutTestUtil.h"
#include "app/DistributionPreset.h"
#include "view/PresetFile.h"
#include "view/WordTables.h"

namespace {

class PresetTest : public testing::Test {
protected:
    SettingsGuard settings;
    TempProgramFolder folder;
    PresetViewValues view;

    void SetUp() override { DisplaySettings = DisplaySettingsBlock(); }

    CString Ini() { return folder.Path() + L"control\\preSet.ini"; }
    void Write(const wchar_t* section, const wchar_t* key, const wchar_t* value)
    {
        ASSERT_TRUE(WritePrivateProfileStringW(section, key, value, Ini()));
    }
    CString Img(const wchar_t* sub)
    {
        return folder.Path() + L"control\\IMG\\" + sub;
    }
    void MakeFiles(const CString& dir, const std::vector<const wchar_t*>& names)
    {
        CreateFolderTree(dir);
        for (const wchar_t* n : names)
            WriteBytes(dir + L"\\" + n, "x");
    }
    static std::vector<std::wstring> Sorted(const std::vector<CString>& names)
    {
        std::vector<std::wstring> out;
        for (const CString& n : names)
            out.push_back(n.GetString());
        std::sort(out.begin(), out.end());
        return out;
    }
};

} // namespace

TEST_F(PresetTest, MissingFileChangesNothing)
{
    view.nTextSize = 28;
    view.nRow = 4;
    SetFaceName(view.szFontFace, L"楷体");
    DisplaySettings.nWholeTB0 = -1;
    EXPECT_FALSE(ReadPresetFile(true, view));
    EXPECT_EQ(28, view.nTextSize);
    EXPECT_EQ(4, view.nRow);
    EXPECT_STREQ(L"楷体", view.szFontFace);
    EXPECT_EQ(1000, DisplaySettings.nPageWidth);
    EXPECT_EQ(201, DisplaySettings.nVerticalWidth);
    EXPECT_EQ(5, DisplaySettings.nPramWidth);
    EXPECT_EQ(3, DisplaySettings.nSelect);
    EXPECT_EQ(-1, DisplaySettings.nWholeTB0);
    EXPECT_TRUE(DisplaySettings.VerticalSet.strFolder.IsEmpty());
    EXPECT_TRUE(DisplaySettings.LineSet.vecFiles.empty());
    EXPECT_TRUE(DisplaySettings.BackgroundSet.vecFiles.empty());
}

TEST_F(PresetTest, OnlyAPageSectionGivesTheReadDefaults)
{
    Write(L"Page", L"nPageWidth", L"800");
    DisplaySettings.nWholeLR0 = DisplaySettings.nWholeLR1 = -1;
    DisplaySettings.nWholeTB0 = DisplaySettings.nWholeTB1 = -1;
    ASSERT_TRUE(ReadPresetFile(true, view));
    const DisplaySettingsBlock& ds = DisplaySettings;
    EXPECT_EQ(800, ds.nPageWidth);
    EXPECT_EQ(3, ds.nPramWidth);
    EXPECT_EQ(200, ds.nVerticalWidth);
    EXPECT_EQ(1, ds.nLineMode);
    EXPECT_EQ(1, ds.nPramMode);
    EXPECT_EQ(1, ds.nVerticalMode);
    EXPECT_EQ(0, ds.Index0);
    EXPECT_EQ(1, ds.Index1);
    EXPECT_EQ(0, ds.Count);
    EXPECT_EQ(22, ds.bComment);
    EXPECT_EQ(22, ds.bSingle);
    EXPECT_EQ(20, ds.nBiaozhu);       // 22 has no style: the last one
    EXPECT_EQ(3, ds.nHorize);
    EXPECT_EQ(3, ds.nVertical);
    EXPECT_EQ(0, ds.nSelect);
    EXPECT_EQ(0, ds.nPramLen);
    EXPECT_EQ(0, ds.Increase);
    EXPECT_EQ(0, ds.nWholeLR0);
    EXPECT_EQ(0, ds.nWholeLR1);
    EXPECT_EQ(0, ds.nWholeTB0);
    EXPECT_EQ(0, ds.nWholeTB1);
    EXPECT_EQ(22, view.nTextSize);
    EXPECT_EQ(0, view.nRow);
    EXPECT_EQ(0, view.nPram);
    EXPECT_STREQ(L"0", view.szFontFace);
    EXPECT_STREQ(L"0", view.szCodeFontFace);
    EXPECT_EQ(folder.Path() + L"control\\IMG\\竖栏\\", ds.VerticalSet.strFolder);
    EXPECT_EQ(folder.Path() + L"control\\IMG\\行线\\", ds.LineSet.strFolder);
    EXPECT_EQ(folder.Path() + L"control\\IMG\\背景\\", ds.BackgroundSet.strFolder);
    // Img is missing ("0", no such file) and Count is 0: no picture.
    EXPECT_TRUE(view.strBackgroundPicture.IsEmpty());
}

TEST_F(PresetTest, EmptyValuesFollowTheirOwnRules)
{
    const wchar_t* emptyKeys[][2] = {
        {L"Size", L"TextSize"}, {L"Biaozhu", L"bComment"}, {L"Distance", L"Row"},
        {L"Color", L"nWholeTB0"}, {L"Color", L"nWholeLR1"}, {L"Color", L"nLineMode"},
        {L"Color", L"nPramWidth"}, {L"Color", L"nVerticalWidth"}, {L"Color", L"bWholeTop"},
        {L"Page", L"nPageWidth"}, {L"Background", L"Index1"}, {L"FontName", L"FontName"},
    };
    for (auto& k : emptyKeys)
        Write(k[0], k[1], L"");
    Write(L"FontName", L"CodeFontName", L"默认");
    DisplaySettings.nWholeTB0 = -1;
    DisplaySettings.nWholeLR1 = 7;
    DisplaySettings.nWholeTB1 = -1;
    ASSERT_TRUE(ReadPresetFile(false, view));
    EXPECT_EQ(0, view.nTextSize);
    EXPECT_EQ(0, DisplaySettings.bComment);
    EXPECT_EQ(22, DisplaySettings.bSingle);    // missing, not empty
    EXPECT_EQ(0, view.nRow);
    EXPECT_EQ(-1, DisplaySettings.nWholeTB0);  // empty keeps the value held
    EXPECT_EQ(7, DisplaySettings.nWholeLR1);
    EXPECT_EQ(0, DisplaySettings.nWholeTB1);   // missing gives 0
    EXPECT_EQ(1, DisplaySettings.nLineMode);
    EXPECT_EQ(3, DisplaySettings.nPramWidth);
    EXPECT_EQ(200, DisplaySettings.nVerticalWidth);
    EXPECT_EQ(0, DisplaySettings.bWholeTop);
    EXPECT_EQ(1000, DisplaySettings.nPageWidth);
    EXPECT_EQ(0, DisplaySettings.Index1);
    EXPECT_STREQ(L"", view.szFontFace);
    EXPECT_STREQ(L"", view.szCodeFontFace);
}

TEST_F(PresetTest, NumbersAndFacesAreReadAsWritten)
{
    Write(L"Size", L"TextSize", L"  30px");
    Write(L"Distance", L"Row", L"-4");
    Write(L"Distance", L"Pram", L"abc");
    Write(L"FontName", L"FontName", L"隶书");
    Write(L"Color", L"nSelect", L"+2");
    Write(L"Inc", L"Increase", L"3");
    ASSERT_TRUE(ReadPresetFile(true, view));
    EXPECT_EQ(30, view.nTextSize);
    EXPECT_EQ(-4, view.nRow);
    EXPECT_EQ(0, view.nPram);
    EXPECT_STREQ(L"隶书", view.szFontFace);
    EXPECT_EQ(2, DisplaySettings.nSelect);
    EXPECT_EQ(3, DisplaySettings.Increase);
}

TEST_F(PresetTest, LongFaceNamesAreCutToTheBuffer)
{
    wchar_t face[kFaceBufferSize];
    std::wstring longName(40, L'字');
    SetFaceName(face, longName.c_str());
    EXPECT_EQ((size_t)kFaceBufferSize - 1, wcslen(face));
    EXPECT_EQ(longName.substr(0, kFaceBufferSize - 1), std::wstring(face));
    // A pair that would be cut in half is left out whole.
    std::wstring pairs(kFaceBufferSize - 2, L'a');
    pairs += L"\xD840\xDC00\xD840\xDC00";
    SetFaceName(face, pairs.c_str());
    EXPECT_EQ(std::wstring(kFaceBufferSize - 2, L'a'), std::wstring(face));
    SetFaceName(face, L"默认");
    EXPECT_STREQ(L"", face);
    SetFaceName(face, nullptr);
    EXPECT_STREQ(L"", face);

    Write(L"FontName", L"FontName", longName.c_str());
    ASSERT_TRUE(ReadPresetFile(true, view));
    EXPECT_EQ((size_t)kFaceBufferSize - 1, wcslen(view.szFontFace));
}

TEST_F(PresetTest, DialogKeysAreWrittenAndReadBack)
{
    DisplaySettings.bComment = 1;
    DisplaySettings.bSingle = 0;
    DisplaySettings.nBiaozhu = 5;
    WritePresetDialogKeys(Ini(), 36, 4, 12, L"默认", L"");
    EXPECT_EQ(36, (int)GetPrivateProfileIntW(L"Size", L"TextSize", 0, Ini()));
    EXPECT_EQ(12, (int)GetPrivateProfileIntW(L"Distance", L"Pram", 0, Ini()));
    wchar_t face[64];
    GetPrivateProfileStringW(L"FontName", L"FontName", L"", face, 64, Ini());
    EXPECT_STREQ(L"默认", face);
    GetPrivateProfileStringW(L"FontName", L"CodeFontName", L"none", face, 64, Ini());
    EXPECT_STREQ(L"none", face);     // an empty face is not written
    DisplaySettings = DisplaySettingsBlock();
    ASSERT_TRUE(ReadPresetFile(true, view));
    EXPECT_EQ(36, view.nTextSize);
    EXPECT_EQ(4, view.nRow);
    EXPECT_EQ(12, view.nPram);
    EXPECT_STREQ(L"", view.szFontFace);     // "默认" is the default face
    EXPECT_EQ(1, DisplaySettings.bComment);
    EXPECT_EQ(5, DisplaySettings.nBiaozhu);
    // A style outside the list is brought back into it.
    Write(L"Biaozhu", L"nBiaozhu", L"-3");
    ASSERT_TRUE(ReadPresetFile(true, view));
    EXPECT_EQ(0, DisplaySettings.nBiaozhu);
    Write(L"Biaozhu", L"nBiaozhu", L"21");
    ASSERT_TRUE(ReadPresetFile(true, view));
    EXPECT_EQ(20, DisplaySettings.nBiaozhu);
}

TEST_F(PresetTest, ShippedPresetChoosesTheDrawnSetsAndReadsBack)
{
    MakeFiles(Img(L"背景\\") + kShippedBackgroundSet, {L"01.bmp", L"02.bmp", L"03.bmp"});
    MakeFiles(Img(L"竖栏\\") + kShippedVerticalSet + L"\\L", {L"01.bmp"});
    MakeFiles(Img(L"行线\\") + kShippedLineSet, {L"01.bmp", L"02.bmp"});
    DisplaySettings.nPageWidth = 777;
    ASSERT_TRUE(WriteDistributionPreset(folder.Path()));
    EXPECT_EQ(777, DisplaySettings.nPageWidth);     // the running settings are left alone
    EXPECT_EQ(folder.Path(), g_strAppFolder);
    DisplaySettings = DisplaySettingsBlock();
    ASSERT_TRUE(ReadPresetFile(true, view));
    const DisplaySettingsBlock& ds = DisplaySettings;
    EXPECT_EQ(3, ds.Count);
    EXPECT_EQ(Img(L"背景\\") + kShippedBackgroundSet + L"\\01.bmp", view.strBackgroundPicture);
    EXPECT_EQ(1u, ds.VerticalSet.vecFiles.size());
    EXPECT_EQ(2u, ds.LineSet.vecFiles.size());
    EXPECT_EQ(1, ds.bComment);
    EXPECT_EQ(1, ds.nBiaozhu);
    EXPECT_EQ(22, view.nTextSize);
    EXPECT_EQ(1000, ds.nPageWidth);
    EXPECT_EQ(3, ds.nHorize);
    EXPECT_STREQ(L"", view.szFontFace);
    // Without the pictures there is nothing worth shipping.
    testfiles::DeleteTree(Img(L""));
    EXPECT_FALSE(WriteDistributionPreset(folder.Path()));
}

TEST_F(PresetTest, FolderKeysNameAFolderOrAreOne)
{
    EXPECT_EQ(CString(L"D:\\图片\\竖栏"), PresetFolder(kVerticalParent, L"D:\\图片\\竖栏"));
    EXPECT_EQ(folder.Path() + L"control\\IMG\\竖栏\\木纹", PresetFolder(kVerticalParent, L"木纹"));
    EXPECT_EQ(folder.Path() + L"control\\IMG\\行线\\", PresetFolder(kLineParent, L""));

    CString own = folder.Path() + L"own bars";
    MakeFiles(own, {L"a.png", L"b.png"});
    MakeFiles(Img(L"行线\\细线"), {L"rule.png"});
    Write(L"Background", L"verticalDir", own);
    Write(L"Background", L"lineDir", L"细线");
    Write(L"Background", L"Background", L"");
    ASSERT_TRUE(ReadPresetFile(true, view));
    EXPECT_EQ(own, DisplaySettings.VerticalSet.strFolder);
    EXPECT_EQ((std::vector<std::wstring>{L"a.png", L"b.png"}),
              Sorted(DisplaySettings.VerticalSet.vecFiles));
    EXPECT_EQ(Img(L"行线\\细线"), DisplaySettings.LineSet.strFolder);
    EXPECT_EQ(std::vector<std::wstring>{L"rule.png"}, Sorted(DisplaySettings.LineSet.vecFiles));
    EXPECT_EQ(Img(L"背景\\"), DisplaySettings.BackgroundSet.strFolder);
}

TEST_F(PresetTest, BackgroundPictureComesFromTheListWhenImgIsNoFile)
{
    MakeFiles(Img(L"背景\\山水"), {L"p0.jpg", L"p1.jpg"});
    Write(L"Background", L"Background", L"山水");
    Write(L"Background", L"Count", L"1");
    Write(L"Background", L"Index0", L"0");
    Write(L"Background", L"Index1", L"1");
    ASSERT_TRUE(ReadPresetFile(true, view));
    EXPECT_EQ(2, DisplaySettings.Count);
    const std::vector<CString>& files = DisplaySettings.BackgroundSet.vecFiles;
    ASSERT_EQ(2u, files.size());
    EXPECT_EQ(Img(L"背景\\山水\\") + files[0], view.strBackgroundPicture);

    PresetViewValues lower;
    ASSERT_TRUE(ReadPresetFile(false, lower));
    EXPECT_EQ(Img(L"背景\\山水\\") + files[1], lower.strBackgroundPicture);

    // An index past the list shows no picture.
    Write(L"Background", L"Index1", L"5");
    ASSERT_TRUE(ReadPresetFile(false, lower));
    EXPECT_TRUE(lower.strBackgroundPicture.IsEmpty());
    Write(L"Background", L"Index1", L"-1");
    ASSERT_TRUE(ReadPresetFile(false, lower));
    EXPECT_TRUE(lower.strBackgroundPicture.IsEmpty());

    // An existing file named by Img is used as it is.
    CString own = folder.Path() + L"mine.jpg";
    WriteBytes(own, "x");
    Write(L"Img", L"Img", own);
    ASSERT_TRUE(ReadPresetFile(true, view));
    EXPECT_EQ(own, view.strBackgroundPicture);
}

TEST_F(PresetTest, NoBackgroundListMeansNoPicture)
{
    DisplaySettings.strBackgroundFile = L"old.jpg";
    Write(L"Img", L"Img", L"nowhere.jpg");
    Write(L"Background", L"Count", L"0");
    ASSERT_TRUE(ReadPresetFile(true, view));
    EXPECT_TRUE(view.strBackgroundPicture.IsEmpty());
    EXPECT_TRUE(DisplaySettings.strBackgroundFile.IsEmpty());

    // An empty Img with an empty list: nothing to pick, nothing shown.
    Write(L"Img", L"Img", L"");
    Write(L"Background", L"Count", L"3");   // the folder does not exist
    ASSERT_TRUE(ReadPresetFile(true, view));
    EXPECT_EQ(0, DisplaySettings.Count);
    EXPECT_TRUE(DisplaySettings.BackgroundSet.vecFiles.empty());
    EXPECT_TRUE(view.strBackgroundPicture.IsEmpty());
}

TEST_F(PresetTest, ListersSkipFoldersAndKeepOrDropOldLists)
{
    ImageSet& bg = DisplaySettings.BackgroundSet;
    ImageSet& line = DisplaySettings.LineSet;
    ImageSet& vert = DisplaySettings.VerticalSet;

    // Background: a missing folder empties the list and the count.
    bg.strFolder = Img(L"背景\\无");
    bg.vecFiles = {L"stale.jpg"};
    DisplaySettings.Count = 1;
    ListBackgroundSet();
    EXPECT_TRUE(bg.vecFiles.empty());
    EXPECT_EQ(0, DisplaySettings.Count);
    MakeFiles(Img(L"背景\\有"), {L"a.jpg", L"b.bmp", L"c.txt"});
    CreateFolderTree(Img(L"背景\\有\\sub"));
    bg.strFolder = Img(L"背景\\有");
    ListBackgroundSet();
    EXPECT_EQ((std::vector<std::wstring>{L"a.jpg", L"b.bmp", L"c.txt"}), Sorted(bg.vecFiles));
    EXPECT_EQ(3, DisplaySettings.Count);

    // Line rules: a missing folder keeps the old list, an empty one empties it.
    line.strFolder = Img(L"行线\\无");
    line.vecFiles = {L"kept.png"};
    ListLineSet();
    EXPECT_EQ(std::vector<std::wstring>{L"kept.png"}, Sorted(line.vecFiles));
    CreateFolderTree(Img(L"行线\\空"));
    line.strFolder = Img(L"行线\\空");
    ListLineSet();
    EXPECT_TRUE(line.vecFiles.empty());

    // Side bars: the "L" sub-folder wins when there is one.
    MakeFiles(Img(L"竖栏\\木"), {L"top.png"});
    MakeFiles(Img(L"竖栏\\木\\L"), {L"left1.png", L"left2.png"});
    MakeFiles(Img(L"竖栏\\木\\R"), {L"right.png"});
    vert.strFolder = Img(L"竖栏\\木");
    ListVerticalSet();
    EXPECT_EQ((std::vector<std::wstring>{L"left1.png", L"left2.png"}), Sorted(vert.vecFiles));
    MakeFiles(Img(L"竖栏\\竹"), {L"one.png"});
    vert.strFolder = Img(L"竖栏\\竹");
    ListVerticalSet();
    EXPECT_EQ(std::vector<std::wstring>{L"one.png"}, Sorted(vert.vecFiles));
    vert.strFolder = Img(L"竖栏\\无");
    ListVerticalSet();
    EXPECT_EQ(std::vector<std::wstring>{L"one.png"}, Sorted(vert.vecFiles));
}

// ---------------------------------------------------------------- word tables

TEST(WordTablesTest, FixedTablesHoldTheirWordsAndLearnedOnesStartEmpty)
{
    CWordMap fn, var, lit, stmt, type, lib;
    var.SetAt(L"stale", 0);
    BuildWordTables(fn, var, lit, stmt, type, lib);

    EXPECT_EQ(4, kLiteralWordCount);
    EXPECT_EQ(34, kStatementWordCount);
    EXPECT_EQ(49, kTypeWordCount);
    EXPECT_EQ(68, kLibraryWordCount);
    // Repeated words collapse.
    EXPECT_EQ(0, fn.GetCount());
    EXPECT_EQ(0, var.GetCount());
    EXPECT_EQ(4, lit.GetCount());
    EXPECT_EQ(32, stmt.GetCount());     // "break" and "case" twice
    EXPECT_EQ(48, type.GetCount());     // "unsigned" twice
    EXPECT_EQ(66, lib.GetCount());      // "abort" and "randomize" twice
    EXPECT_EQ(101u, fn.GetHashTableSize());
    EXPECT_EQ(101u, var.GetHashTableSize());
    EXPECT_EQ(31u, lit.GetHashTableSize());
    EXPECT_EQ(101u, stmt.GetHashTableSize());
    EXPECT_EQ(101u, type.GetHashTableSize());
    EXPECT_EQ(201u, lib.GetHashTableSize());

    struct {
        CWordMap* map;
        const wchar_t* const* words;
        int count;
    } lists[] = {
        {&lit, kLiteralWordList, kLiteralWordCount},
        {&stmt, kStatementWordList, kStatementWordCount},
        {&type, kTypeWordList, kTypeWordCount},
        {&lib, kLibraryWordList, kLibraryWordCount},
    };
    for (auto& l : lists) {
        for (int i = 0; i < l.count; ++i) {
            int value = -1;
            EXPECT_TRUE(l.map->Lookup(l.words[i], value)) << l.words[i];
            EXPECT_EQ(0, value);
        }
    }
    int v;
    for (const wchar_t* w : {L"true", L"rgb", L"if", L"this", L"strictfp", L"int", L"BOOL",
                             L"bool", L"_variant_t", L"chtmlview"})
        EXPECT_TRUE(lit.Lookup(w, v) || stmt.Lookup(w, v) || type.Lookup(w, v)) << w;
    for (const wchar_t* w : {L"main", L"tanh", L"window", L"write", L"_close", L"ultoa"})
        EXPECT_TRUE(lib.Lookup(w, v)) << w;
    // Words are kept as written: only "BOOL" has capitals.
    EXPECT_FALSE(type.Lookup(L"Int", v));
    EXPECT_FALSE(stmt.Lookup(L"IF", v));
    EXPECT_FALSE(lib.Lookup(L"Main", v));
    EXPECT_FALSE(type.Lookup(L"while", v));
    EXPECT_FALSE(stmt.Lookup(L"int", v));
}

TEST(WordTablesTest, BuildingAgainStartsTheLearnedTablesAfresh)
{
    CWordMap fn, var, lit, stmt, type, lib;
    BuildWordTables(fn, var, lit, stmt, type, lib);
    fn.SetAt(L"Learned", 0);
    var.SetAt(L"count", 0);
    type.SetAt(L"extra", 0);
    BuildWordTables(fn, var, lit, stmt, type, lib);
    EXPECT_EQ(0, fn.GetCount());
    EXPECT_EQ(0, var.GetCount());
    EXPECT_EQ(48, type.GetCount());
    int v;
    EXPECT_FALSE(type.Lookup(L"extra", v));
}
