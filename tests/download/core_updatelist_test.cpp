// The update list read as tables: line and field splitting, versions, pack
// types and entries, addresses.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/download/DownloadTestUtil.h"
#include "download/UpdateList.h"
#include "framework/FileUtil.h"
#include "tests/support/TempFiles.h"

using dltest::Gbk;

namespace {

TEST(UpdateList, LinesAndFields)
{
    struct Case {
        std::string bytes;
        int lines;
        const wchar_t* version;
        bool hasUrl;
        const wchar_t* url;
        size_t packs;
    };
    const Case kCases[] = {
        {"", 0, L"", false, L"", 0},
        {"2.0-2014", 1, L"2.0", false, L"", 0},
        {"2.0", 1, L"2.0", false, L"", 0},
        {"2.0-2014\r\nhttp://pan.example/s/1-x\r\n", 2, L"2.0", true, L"http://pan.example/s/1", 0},
        {"2.0\nhttp://a\n0-a.zip\n1-b.zip", 4, L"2.0", true, L"http://a", 2},
        {"\xEF\xBB\xBF" "2.0-x\r\n", 1, L"2.0", false, L"", 0},
        {"2.0\r\rtail\n", 1, L"2.0\r\rtail", false, L"", 0},
    };
    for (const Case& c : kCases) {
        const UpdateList list = ParseUpdateList(c.bytes);
        EXPECT_EQ(list.nLines, c.lines) << c.bytes;
        if (c.version) {
            EXPECT_STREQ(list.strVersion, c.version) << c.bytes;
        }
        EXPECT_EQ(list.bHasUrlLine, c.hasUrl) << c.bytes;
        EXPECT_STREQ(list.strNetDiskUrl, c.url) << c.bytes;
        EXPECT_EQ(list.packs.size(), c.packs) << c.bytes;
        // Only a first line that ends with its line feed is whole.
        EXPECT_EQ(list.bVersionLineEnded, c.bytes.find('\n') != std::string::npos) << c.bytes;
    }

    CString f0, f1;
    SplitListFields(L"1-藏书库\\卷-二.zip", f0, f1);
    EXPECT_STREQ(f0, L"1");
    EXPECT_STREQ(f1, L"藏书库\\卷");
    SplitListFields(L"no dash", f0, f1);
    EXPECT_STREQ(f0, L"no dash");
    EXPECT_STREQ(f1, L"");

    const wchar_t* text = L"2.1-新版\r\nhttp://盘\r\n1-藏书库\\三国.zip\r\n";
    // GBK, or UTF-8 after its byte-order mark.
    for (const std::string& bytes : {Gbk(text), "\xEF\xBB\xBF" + dltest::Utf8(text)}) {
        const UpdateList list = ParseUpdateList(bytes);
        EXPECT_STREQ(list.strVersion, L"2.1");
        EXPECT_STREQ(list.strNetDiskUrl, L"http://盘");
        ASSERT_EQ(list.packs.size(), 1u);
        EXPECT_STREQ(list.packs[0].strEntry, L"藏书库\\三国.zip");
    }
}

TEST(UpdateList, PlainVersions)
{
    for (const wchar_t* ok : {L"2.0", L"V2.0", L"1.0.3_beta", L"10"})
        EXPECT_TRUE(IsPlainVersion(ok)) << ok;
    for (const wchar_t* bad : {L"", L" ", L"<html>", L"\xFEFF" L"2.0", L"\x9518\xbbbf" L"2.0", L"2.0 ",
                               L"1.0\r", L"版本2", L"012345678901234567890123456789012"})
        EXPECT_FALSE(IsPlainVersion(bad)) << bad;
}

TEST(UpdateList, OfferedPacksByTypeAndPlace)
{
    testfiles::TempFolder program(L"程序");
    ASSERT_TRUE(CreateFolderTree(program.Sub(L"藏书库\\红楼梦")));
    ASSERT_TRUE(testfiles::PutFile(program.Sub(L"map"), "x"));
    const std::string text = Gbk(
        L"2.0-2014\r\nhttp://pan\r\n"
        L"0-藏书库\\红楼梦.zip\r\n"     // unpacked already: not offered
        L"0-藏书库\\西游记.zip\r\n"
        L"1-藏书库\\红楼梦.zip\r\n"     // always offered
        L"2-藏书库\\水浒.zip\r\n"       // unknown type
        L"x-藏书库\\三国.zip\r\n"       // no number: type 0
        L"0-map.zip\r\n"               // a file "map" exists
        L"0-MAP.ZIP\r\n"               // only a lower-case ".zip" is dropped
        L"1-..\\evil.zip\r\n"
        L"1-C:\\evil.zip\r\n"
        L"1-\\\\host\\share\\evil.zip\r\n"
        L"1-藏书库\\con.zip\r\n"
        L"1-a:b.zip\r\n"
        L"1-藏书库\\\r\n"
        L"1-\r\n"
        L"1-藏书库\\红楼梦.zip\r\n");  // duplicates stay
    const std::vector<CString> offered = OfferedPacks(ParseUpdateList(text), program.Path());
    const std::vector<CString> expected = {L"藏书库\\西游记.zip", L"藏书库\\红楼梦.zip", L"藏书库\\三国.zip",
                                           L"MAP.ZIP", L"藏书库\\红楼梦.zip"};
    EXPECT_EQ(offered, expected);

    // A long list is offered up to one past the rows shown.
    std::string many = "2.0\r\nhttp://pan\r\n";
    for (int i = 0; i < 3000; ++i)
        many += "0-b" + std::to_string(i) + ".zip\r\n";
    EXPECT_EQ(OfferedPacks(ParseUpdateList(many), program.Path()).size(), kMaxOfferedPacks + 1);
}

TEST(UpdateList, AddressesAndHost)
{
    for (const wchar_t* ok : {L"http://pan.example.com/s/abc", L"HTTPS://pan.example.com", L"http://127.0.0.1:8080/x"})
        EXPECT_TRUE(IsWebAddress(ok)) << ok;
    for (const wchar_t* bad : {L"", L"calc.exe", L"file:///C:/Windows/calc.exe", L"C:\\Windows\\calc.exe",
                               L"http://", L"http:///x", L"http://a b", L"javascript:alert(1)", L"\\\\host\\share",
                               L"http://a\"b"})
        EXPECT_FALSE(IsWebAddress(bad)) << bad;
    EXPECT_STREQ(EncodeUrlPart(L"三国 1.zip"), L"%E4%B8%89%E5%9B%BD%201.zip");

    testfiles::TempFolder folder(L"主机");
    const CString ini = folder.Sub(L"preSet.ini");
    EXPECT_STREQ(ReadUpdateHost(ini), L"");
    struct Case {
        const wchar_t* value;
        const wchar_t* host;
    };
    for (const Case& c : {Case{L"", L""}, Case{L"127.0.0.1:8080", L"http://127.0.0.1:8080"},
                          Case{L" http://books.example/ ", L"http://books.example"},
                          Case{L"ftp://books.example", L""}, Case{L"file:///C:/x", L""}}) {
        WritePrivateProfileStringW(kUpdateHostSection, kUpdateHostKey, c.value, ini);
        EXPECT_STREQ(ReadUpdateHost(ini), c.host) << c.value;
    }
}

} // namespace
