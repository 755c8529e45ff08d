#include "app/DisplaySettings.h"
#include "framework/FileUtil.h"
#include "framework/MessageBox.h"
#include <gtest/gtest.h>
#include "tests/support/TempFiles.h"
#include <set>

namespace {

using namespace testfiles;

std::vector<CString> g_messages;

int RecordMessage(const wchar_t* text, UINT)
{
    g_messages.push_back(text);
    return IDOK;
}

std::string Bytes(const std::wstring& text)
{
    return std::string((const char*)text.data(), text.size() * 2);
}

// A colour set with every field different, including values above 0x7FFFFFFF.
const COLORREF kColors[18] = {0x00102030, 0xFFFFFFFF, 0x0, 0x00FFFF00, 7, 0x80000000, 123456,
                              0x00ABCDEF, 1, 2, 3, 4, 5, 6, 0x7FFFFFFF, 0xFF000000, 9, 10};

// The fields in the order the file holds them.
std::vector<COLORREF*> Fields(DisplaySettingsBlock& d)
{
    return {&d.clrBg, &d.clrText, &d.clrCBg, &d.clrCText, &d.clrZhuwen, &d.clrXiaokuohao,
            &d.clrDakuohao, &d.clrCurInXiao, &d.clrCurInDa, &d.clrLeft, &d.clrControl,
            &d.clrInt, &d.clrFun, &d.clrDFun, &d.clrVar, &d.clrTrue, &d.clrYinhao, &d.clrDigit};
}

std::vector<COLORREF*> Fields(ColorScheme& s)
{
    return {&s.Bg, &s.Text, &s.CBg, &s.CText, &s.Zhuwen, &s.Xiaokuohao, &s.Dakuohao,
            &s.CurInXiao, &s.CurInDa, &s.Left, &s.Control, &s.Int, &s.Fun, &s.DFun, &s.Var,
            &s.TRUE_, &s.Yinhao, &s.Digit};
}

ColorScheme MakeScheme(const wchar_t* name, COLORREF base)
{
    ColorScheme s;
    s.Name = name;
    // Numbered in the record's own order, where Bg and Text come last.
    COLORREF* record[18] = {&s.CBg, &s.CText, &s.Zhuwen, &s.Xiaokuohao, &s.Dakuohao,
                            &s.CurInXiao, &s.CurInDa, &s.Left, &s.Control, &s.Int, &s.Fun,
                            &s.DFun, &s.Var, &s.TRUE_, &s.Yinhao, &s.Digit, &s.Bg, &s.Text};
    for (int i = 0; i < 18; ++i)
        *record[i] = base + (COLORREF)i;
    return s;
}

const wchar_t* const kNames[18] = {L"Bg", L"Text", L"CBg", L"CText", L"Zhuwen", L"Xiaokuohao",
                                   L"Dakuohao", L"CurInXiao", L"CurInDa", L"Left", L"Control",
                                   L"Int", L"Fun", L"DFun", L"Var", L"TRUE", L"Yinhao", L"Digit"};

// The 18 colour attributes as the file writes them.
std::wstring Attributes(const std::vector<COLORREF>& values)
{
    std::wstring out;
    for (int i = 0; i < 18; ++i)
        out += std::wstring(L" ") + kNames[i] + L"=\"" + std::to_wstring((int)values[i]) + L"\"";
    return out;
}

std::vector<COLORREF> Values(const std::vector<COLORREF*>& fields)
{
    std::vector<COLORREF> v;
    for (COLORREF* f : fields)
        v.push_back(*f);
    return v;
}

class ColorFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root.Format(L"%s程序目录_%lu_%lu", temp, GetCurrentProcessId(), GetTickCount());
        ASSERT_TRUE(CreateFolderTree(root + L"\\control"));
        ASSERT_TRUE(CreateFolderTree(root + L"\\藏书库"));
        g_strAppFolder = root + L"\\";
        control = root + L"\\control";
        file = control + L"\\Color.xml";
        DisplaySettings = DisplaySettingsBlock();
        vecColorSchemes.clear();
        g_messages.clear();
        oldHook = AfxSetMessageBoxHook(RecordMessage);
    }
    void TearDown() override
    {
        AfxSetMessageBoxHook(oldHook);
        DeleteTree(root);
        DisplaySettings = DisplaySettingsBlock();
        vecColorSchemes.clear();
    }
    void PutText(const std::wstring& text) { PutBytes(Bytes(text)); }
    void PutBytes(const std::string& bytes)
    {
        ASSERT_TRUE(WriteFileReplacing(file, bytes.data(), bytes.size()));
    }
    std::string FileBytes(const CString& path)
    {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(path, bytes)) << "cannot read the file";
        return bytes;
    }
    void SetKnownColors()
    {
        int i = 0;
        for (COLORREF* f : Fields(DisplaySettings))
            *f = kColors[i++];
    }

    CString root, control, file;
    AfxMessageBoxHook oldHook = nullptr;
};

} // namespace

TEST_F(ColorFileTest, NoFileKeepsStartColours)
{
    DisplaySettingsBlock fresh;
    std::vector<COLORREF> before = Values(Fields(fresh));
    LoadColorXml();
    EXPECT_EQ(before, Values(Fields(DisplaySettings)));
    EXPECT_EQ(0xFFFFFFu, DisplaySettings.clrBg);
    EXPECT_EQ(0x000000u, DisplaySettings.clrText);
    EXPECT_EQ(0xFFFF00u, DisplaySettings.clrCText);
    EXPECT_EQ(0x000000u, DisplaySettings.clrCBg);
    EXPECT_TRUE(vecColorSchemes.empty());
    EXPECT_TRUE(g_messages.empty());
    EXPECT_EQ(g_strAppFolder + L"control\\Color.xml", ColorXmlPath());
}

TEST_F(ColorFileTest, ExactFileWithoutSchemes)
{
    SetKnownColors();
    ASSERT_TRUE(SaveColorXml());
    std::vector<COLORREF> colors(kColors, kColors + 18);
    std::wstring expect = L"<Page Count=\"0\"" + Attributes(colors) + L"/>\r\n";
    EXPECT_NE(std::wstring::npos, expect.find(L" Text=\"-1\" "));
    EXPECT_NE(std::wstring::npos, expect.find(L" TRUE=\"-16777216\" "));
    EXPECT_EQ(Bytes(expect), FileBytes(file));    // UTF-16LE, no BOM, no zero at the end
    EXPECT_EQ(std::set<CString>{L"Color.xml"}, Listing(control));

    DisplaySettings = DisplaySettingsBlock();
    LoadColorXml();
    EXPECT_EQ(colors, Values(Fields(DisplaySettings)));
    EXPECT_TRUE(vecColorSchemes.empty());
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(ColorFileTest, ExactFileAndRoundTripWithSchemes)
{
    SetKnownColors();
    vecColorSchemes.push_back(MakeScheme(L"经典 \"黑\" & <白>'s", 100));
    vecColorSchemes.push_back(MakeScheme(L"护眼", 0xFFFFFFF0));
    vecColorSchemes.push_back(MakeScheme(L"护眼", 5));       // a repeated name is kept
    std::vector<ColorScheme> saved = vecColorSchemes;
    ASSERT_TRUE(SaveColorXml());

    std::wstring expect = L"<Page Count=\"3\"" + Attributes(std::vector<COLORREF>(kColors, kColors + 18)) + L">\r\n";
    const wchar_t* escaped[3] = {L"经典 &quot;黑&quot; &amp; &lt;白&gt;&apos;s", L"护眼", L"护眼"};
    for (int i = 0; i < 3; ++i)
        expect += std::wstring(L"<CORLOR Name=\"") + escaped[i] + L"\"" +
                  Attributes(Values(Fields(saved[i]))) + L"/>\r\n";
    expect += L"</Page>\r\n";
    // Bg and Text lead each scheme although they are its last two fields.
    EXPECT_NE(std::wstring::npos, expect.find(L"Name=\"护眼\" Bg=\"21\" Text=\"22\" CBg=\"5\""));
    EXPECT_EQ(Bytes(expect), FileBytes(file));

    DisplaySettings = DisplaySettingsBlock();
    vecColorSchemes.clear();
    LoadColorXml();
    EXPECT_EQ(std::vector<COLORREF>(kColors, kColors + 18), Values(Fields(DisplaySettings)));
    ASSERT_EQ(3u, vecColorSchemes.size());
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(saved[i].Name, vecColorSchemes[i].Name) << i;
        EXPECT_EQ(Values(Fields(saved[i])), Values(Fields(vecColorSchemes[i]))) << i;
    }

    // Loading appends to what is there.
    LoadColorXml();
    EXPECT_EQ(6u, vecColorSchemes.size());
    EXPECT_EQ(saved[0].Name, vecColorSchemes[3].Name);
}

TEST_F(ColorFileTest, CountSwitchesSchemesOnButDoesNotLimitThem)
{
    const wchar_t* body = L"<CORLOR Name=\"a\"/>\r\n<CORLOR Name=\"b\"/>\r\n<Other/>\r\n<CORLOR Name=\"c\"/>\r\n</Page>\r\n";
    struct Case {
        const wchar_t* count;
        size_t schemes;
    } cases[] = {
        {L" Count=\"1\"", 3}, {L" Count=\" 2x\"", 3}, {L" Count=\"0\"", 0}, {L"", 0},
        {L" Count=\"\"", 0},  {L" Count=\"-2\"", 0},  {L" Count=\"abc\"", 0},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const Case& c = cases[i];
        vecColorSchemes.clear();
        PutText(std::wstring(L"<Page") + c.count + L" Bg=\"1\">\r\n" + body);
        LoadColorXml();
        ASSERT_EQ(c.schemes, vecColorSchemes.size()) << "case " << i;
        EXPECT_EQ(1u, DisplaySettings.clrBg);
        if (c.schemes == 3) {
            EXPECT_EQ(CString(L"a"), vecColorSchemes[0].Name);
            EXPECT_EQ(CString(L"c"), vecColorSchemes[2].Name);
        }
    }
}

TEST_F(ColorFileTest, MissingAndOddValues)
{
    // Missing colours become 0, not their start values; letters give 0.
    PutText(L"<Page Count=\"2\" Bg=\"abc\" Text=\" -5z\" CText=\"+12\" Digit=\"\" Yinhao='7'>\r\n"
            L"<CORLOR Name=\"\" Bg=\"x1\" Text=\"0012\"/>\r\n"
            L"<CORLOR Var=\"99\"/>\r\n</Page>\r\n");
    LoadColorXml();
    EXPECT_EQ(0u, DisplaySettings.clrBg);
    EXPECT_EQ((COLORREF)-5, DisplaySettings.clrText);
    EXPECT_EQ(12u, DisplaySettings.clrCText);
    EXPECT_EQ(0u, DisplaySettings.clrDigit);
    EXPECT_EQ(7u, DisplaySettings.clrYinhao);
    EXPECT_EQ(0u, DisplaySettings.clrZhuwen);    // start value 0x00FFFF
    EXPECT_EQ(0u, DisplaySettings.clrCurInDa);
    ASSERT_EQ(2u, vecColorSchemes.size());
    EXPECT_EQ(CString(L"未命名"), vecColorSchemes[0].Name);
    EXPECT_EQ(CString(L"未命名"), vecColorSchemes[1].Name);
    EXPECT_EQ(0u, vecColorSchemes[0].Bg);
    EXPECT_EQ(12u, vecColorSchemes[0].Text);
    EXPECT_EQ(99u, vecColorSchemes[1].Var);
    EXPECT_EQ(0u, vecColorSchemes[1].CText);
}

TEST_F(ColorFileTest, TextEndsAtZeroUnitAndOddByte)
{
    std::string bytes = Bytes(L"<Page Count=\"0\" Bg=\"42\"/>\r\n");
    bytes += std::string("\0\0<\0P\0", 6);      // junk after a zero unit
    bytes += "Q";                               // odd length
    PutBytes(bytes);
    LoadColorXml();
    EXPECT_EQ(42u, DisplaySettings.clrBg);
    EXPECT_EQ(0u, DisplaySettings.clrText);

    DisplaySettings = DisplaySettingsBlock();
    PutBytes(Bytes(L"<Page Bg=\"43\"/>") + "!");  // an odd byte right after the text
    LoadColorXml();
    EXPECT_EQ(43u, DisplaySettings.clrBg);
}

TEST_F(ColorFileTest, UnreadableFileIsIgnoredThenBackedUpOnce)
{
    std::string broken = Bytes(L"<Pages Bg=\"1\"/>\r\n");
    PutBytes(broken);
    vecColorSchemes.push_back(MakeScheme(L"旧", 1));
    LoadColorXml();
    EXPECT_EQ(0xFFFFFFu, DisplaySettings.clrBg);      // nothing changed
    EXPECT_EQ(1u, vecColorSchemes.size());

    ASSERT_TRUE(SaveColorXml());
    CString bak = control + L"\\Color.xml.bak";
    EXPECT_EQ(broken, FileBytes(bak));
    vecColorSchemes.clear();
    LoadColorXml();
    EXPECT_EQ(1u, vecColorSchemes.size());          // the new file reads back

    // A second broken file does not replace the first backup.
    PutBytes("\xff\xfe garbage");
    ASSERT_TRUE(SaveColorXml());
    EXPECT_EQ(broken, FileBytes(bak));
    // A readable file is not backed up at all.
    DeleteFileW(bak);
    ASSERT_TRUE(SaveColorXml());
    EXPECT_FALSE(FileExists(bak));
    EXPECT_EQ(std::set<CString>{L"Color.xml"}, Listing(control));
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(ColorFileTest, AnUnreadableFileThatCannotBeBackedUpIsKept)
{
    std::string broken = Bytes(L"<Pages Bg=\"1\"/>\r\n");
    PutBytes(broken);
    // A folder where the backup should go.
    ASSERT_TRUE(CreateDirectoryW(control + L"\\Color.xml.bak", nullptr));
    EXPECT_FALSE(SaveColorXml());
    EXPECT_EQ(broken, FileBytes(file));
    EXPECT_EQ(1u, g_messages.size());
}

TEST_F(ColorFileTest, FailedSaveKeepsStateAndReportsOnce)
{
    ASSERT_TRUE(CreateDirectoryW(file, nullptr));     // a folder where the file should be
    SetKnownColors();
    vecColorSchemes.push_back(MakeScheme(L"方案", 1));
    EXPECT_FALSE(SaveColorXml());
    ASSERT_EQ(1u, g_messages.size());
    EXPECT_NE(-1, g_messages[0].Find(file));
    EXPECT_TRUE(FolderExists(file));
    EXPECT_EQ(std::vector<COLORREF>(kColors, kColors + 18), Values(Fields(DisplaySettings)));
    ASSERT_EQ(1u, vecColorSchemes.size());
    EXPECT_EQ(CString(L"方案"), vecColorSchemes[0].Name);
    EXPECT_EQ(std::set<CString>{L"Color.xml"}, Listing(control));   // no temporary left
}

TEST_F(ColorFileTest, MissingControlFolderIsCreated)
{
    DeleteTree(control);
    ASSERT_FALSE(FolderExists(control));
    DisplaySettings.clrBg = 0x123456;
    EXPECT_TRUE(SaveColorXml());
    EXPECT_TRUE(FileExists(file));
    DisplaySettings = DisplaySettingsBlock();
    LoadColorXml();
    EXPECT_EQ(0x123456u, DisplaySettings.clrBg);
    EXPECT_TRUE(g_messages.empty());
}
