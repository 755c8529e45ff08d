// Zip reading and unpacking over archives written here: names, attributes,
// times, passwords, hostile names and damaged archives.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/download/DownloadTestUtil.h"
#include "download/ZipArchive.h"
#include "download/ZipNames.h"
#include "framework/FileUtil.h"
#include "tests/download/ZipWriter.h"
#include "tests/support/TempFiles.h"

using testfiles::GetFile;
using testfiles::ListingTree;
using testfiles::PutFile;
using testfiles::TempFolder;
using testzip::Entry;

using dltest::Gbk;
using dltest::Utf8;

namespace {

std::string Text(int n, char seed)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += (char)(seed + (i * 7 + i / 13) % 23);
    return s;
}

FILETIME WriteTime(const CString& path)
{
    FILETIME c = {}, a = {}, w = {};
    HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    GetFileTime(h, &c, &a, &w);
    CloseHandle(h);
    return w;
}

LONGLONG Unix(const FILETIME& ft)
{
    ULONGLONG v = ((ULONGLONG)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
    return (LONGLONG)(v / 10000000ULL) - 11644473600LL;
}

class ZipTest : public testing::Test {
protected:
    TempFolder sandbox{L"解压"};
    CString zip = sandbox.Sub(L"包.zip");
    CString out = sandbox.Sub(L"书库");

    void Write(const std::vector<Entry>& entries) { ASSERT_TRUE(PutFile(zip, testzip::Build(entries))); }
    BOOL Unpack(DWORD* code = nullptr)
    {
        CZipUnpacker unpacker;
        BOOL ok = unpacker.UnpackToFolder(zip, out);
        if (code)
            *code = unpacker.m_nLastResult;
        return ok;
    }
    // Everything in the sandbox apart from the archive itself.
    std::set<CString> Written()
    {
        std::set<CString> all = ListingTree(sandbox.Path());
        all.erase(L"包.zip");
        return all;
    }
};

TEST_F(ZipTest, StoredDeflatedAndFoldersUnpackWithTheirNames)
{
    Entry folder = testzip::File("卷一/", "", false);
    folder.name = Utf8(L"卷一/");
    folder.utf8 = true;
    folder.external = 0;    // a folder known by its trailing separator alone
    folder.madeBy = 0x0014;
    Entry utf = testzip::File(Utf8(L"卷一/第一章.txt"), Text(5000, 'a'));
    utf.utf8 = true;
    Entry gbk = testzip::File(Gbk(L"卷二\\序言.txt"), Text(300, 'k'), false);
    gbk.madeBy = 0x0014;
    gbk.external = 0x20;
    Entry deep = testzip::File("a/b/c/empty.txt", "", true);
    Write({folder, utf, gbk, deep});

    ASSERT_TRUE(Unpack());
    EXPECT_EQ(Written(), (std::set<CString>{L"书库\\", L"书库\\卷一\\", L"书库\\卷一\\第一章.txt", L"书库\\卷二\\",
                                             L"书库\\卷二\\序言.txt", L"书库\\a\\", L"书库\\a\\b\\",
                                             L"书库\\a\\b\\c\\", L"书库\\a\\b\\c\\empty.txt"}));
    EXPECT_EQ(GetFile(out + L"\\卷一\\第一章.txt"), Text(5000, 'a'));
    EXPECT_EQ(GetFile(out + L"\\卷二\\序言.txt"), Text(300, 'k'));
    EXPECT_EQ(GetFile(out + L"\\a\\b\\c\\empty.txt"), "");

    HZIP h = ArchiveOpenFile(zip, nullptr);
    ASSERT_TRUE(ArchiveIsReader(h));
    ZipEntryInfo info;
    ASSERT_EQ(ArchiveGetEntry(h, -1, &info), ZR_OK);
    EXPECT_EQ(info.nIndex, 4);
    ASSERT_EQ(ArchiveGetEntry(h, 0, &info), ZR_OK);
    EXPECT_EQ(info.dwAttributes, (DWORD)FILE_ATTRIBUTE_DIRECTORY);
    ASSERT_EQ(ArchiveGetEntry(h, 2, &info), ZR_OK);
    EXPECT_STREQ(info.szName, L"卷二\\序言.txt");
    EXPECT_EQ(info.dwAttributes, (DWORD)FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(info.nUncompressedSize, 300);
    EXPECT_EQ(ArchiveGetEntry(h, 4, &info), ZR_ARGS);
    EXPECT_EQ(ArchiveGetEntry(h, -2, &info), ZR_ARGS);
    EXPECT_EQ(ArchiveExtractEntry(h, 4, L"x"), ZR_ARGS);
    EXPECT_EQ(ArchiveCloseReader(h), ZR_OK);
    EXPECT_EQ(ArchiveGetEntry(nullptr, 0, &info), ZR_ARGS);
    ZipHandle writer;
    writer.nKind = 2;
    EXPECT_EQ(ArchiveGetEntry(&writer, 0, &info), ZR_NOTREADER);
    EXPECT_FALSE(ArchiveIsReader(&writer));
}

TEST_F(ZipTest, AttributesAndTimes)
{
    Entry ro = testzip::File("ro.txt", "r");
    ro.external = 0100444u << 16;
    Entry rw = testzip::File("rw.txt", "w");
    Entry dosHidden = testzip::File("hidden.txt", "h");
    dosHidden.madeBy = 0x0014;
    dosHidden.external = 0x02 | 0x20;
    // Another block of odd size before the extended times: only the write time is given.
    Entry stamped = testzip::File("stamped.txt", "t");
    stamped.localExtra = std::string("\x01\x02\x03\x00zzz", 7) + testzip::TimeBlock(1, {1600000000});
    Entry all = testzip::File("all.txt", "a");
    all.localExtra = testzip::TimeBlock(7, {1500000000, 1500000100, 1400000000});
    Write({ro, rw, dosHidden, stamped, all});
    ASSERT_TRUE(Unpack());

    EXPECT_EQ(GetFileAttributesW(out + L"\\ro.txt"), (DWORD)(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(GetFileAttributesW(out + L"\\rw.txt") & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(GetFileAttributesW(out + L"\\hidden.txt") & FILE_ATTRIBUTE_HIDDEN, (DWORD)FILE_ATTRIBUTE_HIDDEN);

    // The DOS time 2025-01-01 12:00:00 is local time.
    SYSTEMTIME st = {2025, 1, 0, 1, 12, 0, 0, 0};
    FILETIME local, utc;
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    EXPECT_EQ(Unix(WriteTime(out + L"\\rw.txt")), Unix(utc));
    EXPECT_EQ(Unix(WriteTime(out + L"\\stamped.txt")), 1600000000);

    HZIP h = ArchiveOpenFile(zip, nullptr);
    ZipEntryInfo info;
    ASSERT_EQ(ArchiveGetEntry(h, 3, &info), ZR_OK);
    EXPECT_EQ(Unix(info.ftModified), 1600000000);
    EXPECT_EQ(Unix(info.ftCreated), Unix(utc));
    ASSERT_EQ(ArchiveGetEntry(h, 4, &info), ZR_OK);
    EXPECT_EQ(Unix(info.ftModified), 1500000000);
    EXPECT_EQ(Unix(info.ftAccessed), 1500000100);
    EXPECT_EQ(Unix(info.ftCreated), 1400000000);
    ArchiveCloseReader(h);
}

TEST_F(ZipTest, EncryptedEntriesNeedTheirPassword)
{
    Entry secret = testzip::File("secret.txt", Text(4000, 'p'));
    secret.password = "书包";
    Entry storedSecret = testzip::File("stored.txt", "plain words", false);
    storedSecret.password = "书包";
    Write({secret, storedSecret});

    DWORD code = 0;
    EXPECT_FALSE(Unpack(&code));
    EXPECT_EQ(code, ZR_PASSWORD);
    EXPECT_EQ(Written(), (std::set<CString>{L"书库\\"}));

    for (const char* wrong : {"wrong", ""}) {
        HZIP h = ArchiveOpenFile(zip, wrong);
        ASSERT_NE(h, nullptr);
        ArchiveSetBaseFolder(h, out);
        EXPECT_EQ(ArchiveExtractEntry(h, 0, L"secret.txt"), ZR_PASSWORD) << wrong;
        ArchiveCloseReader(h);
    }
    EXPECT_EQ(Written(), (std::set<CString>{L"书库\\"}));

    const std::string gbkPassword = Gbk(L"书包");
    secret.password = storedSecret.password = gbkPassword;
    Write({secret, storedSecret});
    HZIP h = ArchiveOpenFile(zip, gbkPassword.c_str());
    ASSERT_NE(h, nullptr);
    ArchiveSetBaseFolder(h, out);
    EXPECT_EQ(ArchiveExtractEntry(h, 0, L"secret.txt"), ZR_OK);
    EXPECT_EQ(ArchiveExtractEntry(h, 1, L"stored.txt"), ZR_OK);
    ArchiveCloseReader(h);
    EXPECT_EQ(GetFile(out + L"\\secret.txt"), Text(4000, 'p'));
    EXPECT_EQ(GetFile(out + L"\\stored.txt"), "plain words");
}

TEST_F(ZipTest, HostileNamesAreRefusedBeforeAnythingIsWritten)
{
    const std::string kNames[] = {
        "../evil.txt", "..\\evil.txt", "a/../../evil.txt", "a\\..\\..\\evil.txt", "/abs/evil.txt",
        "\\abs\\evil.txt", "C:\\evil.txt", "C:evil.txt", "C:/Windows/evil.txt", "\\\\server\\share\\evil.txt",
        "//server/share/evil.txt", "a/b/../../../evil.txt", "..", "a/..", "CON", "nul.txt", "a/COM1.log",
        "a:b.txt", "stream.txt:hidden", std::string("ctl\x01.txt"), "dots./x.txt", "space /x.txt",
        std::string(300, 'n') + ".txt", "a/" + std::string(250, 'm') + "/b.txt",
    };
    for (const std::string& name : kNames) {
        Write({testzip::File("good.txt", "fine"), testzip::File(name, "evil")});
        DWORD code = 0;
        EXPECT_FALSE(Unpack(&code)) << name;
        EXPECT_EQ(code, ZR_UNSAFE) << name;
        EXPECT_TRUE(Written().empty()) << name;

        // Entry by entry, too: the hostile one is described but never written.
        HZIP h = ArchiveOpenFile(zip, nullptr);
        ASSERT_NE(h, nullptr);
        CreateFolderTree(out + L"\\inner");
        ArchiveSetBaseFolder(h, out + L"\\inner");
        ZipEntryInfo info;
        ASSERT_EQ(ArchiveGetEntry(h, 1, &info), ZR_OK) << name;
        if (name.size() < 200) {
            EXPECT_FALSE(info.bSafeName) << name;
        }
        EXPECT_EQ(ArchiveExtractEntry(h, 1, info.szName), ZR_UNSAFE) << name;
        EXPECT_EQ(ArchiveExtractEntry(h, 0, L"..\\escaped.txt"), ZR_UNSAFE) << name;
        ArchiveCloseReader(h);
        EXPECT_EQ(Written(), (std::set<CString>{L"书库\\", L"书库\\inner\\"})) << name;
        testfiles::DeleteTree(out);
    }

    // What is left of a stored name once climbing parts are dropped.
    Write({testzip::File("C:\\dir\\f.txt", "1"), testzip::File("/abs/f.txt", "2"),
           testzip::File("a\\..\\b.txt", "3")});
    HZIP h = ArchiveOpenFile(zip, nullptr);
    ZipEntryInfo info;
    const wchar_t* kCleaned[] = {L"dir\\f.txt", L"abs/f.txt", L"b.txt"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(ArchiveGetEntry(h, i, &info), ZR_OK);
        EXPECT_STREQ(info.szName, kCleaned[i]);
        EXPECT_FALSE(info.bSafeName);
    }
    ArchiveCloseReader(h);
}

TEST_F(ZipTest, DamagedArchivesLeaveExistingFilesAlone)
{
    Entry big = testzip::File("book.txt", Text(20000, 'b'));
    Entry stored = testzip::File("notes.txt", Text(3000, 'n'), false);
    const std::string good = testzip::Build({big, stored});
    ASSERT_TRUE(CreateFolderTree(out));
    ASSERT_TRUE(PutFile(out + L"\\book.txt", "old book"));
    ASSERT_TRUE(PutFile(out + L"\\notes.txt", "old notes"));
    const std::set<CString> before = Written();
    // The same archive with a comment after its end record.
    std::string commented = good;
    commented[commented.size() - 2] = 7;
    commented += "comment";

    for (const std::string& cut :
         {good.substr(0, 0), good.substr(0, 10), good.substr(0, 40), good.substr(0, good.size() / 2),
          good.substr(0, good.size() - 30), good.substr(0, good.size() - 22), good.substr(0, good.size() - 1),
          commented.substr(0, commented.size() - 1), commented.substr(0, commented.size() - 7)}) {
        ASSERT_TRUE(PutFile(zip, cut));
        DWORD code = 0;
        EXPECT_FALSE(Unpack(&code)) << cut.size();
        EXPECT_EQ(code, ZR_NOFILE) << cut.size();
        EXPECT_EQ(Written(), before) << cut.size();
        EXPECT_TRUE(GetFile(out + L"\\book.txt") == "old book");
    }
    // A flipped byte in the deflated data, then in the stored data (CRC).
    const size_t deflatedAt = 30 + 8 + testzip::Deflate(big.data).size() / 2;
    const size_t storedAt = good.find("notes.txt") + 9 + 500;
    for (size_t at : {deflatedAt, storedAt}) {
        std::string bad = good;
        bad[at] ^= 0x20;
        ASSERT_TRUE(PutFile(zip, bad));
        ASSERT_TRUE(PutFile(out + L"\\book.txt", "old book"));
        EXPECT_FALSE(Unpack()) << at;
        EXPECT_EQ(Written(), before) << at;
        EXPECT_TRUE(GetFile(out + L"\\notes.txt") == "old notes");
    }
    EXPECT_TRUE(GetFile(out + L"\\book.txt") == Text(20000, 'b'));
    // The good archive replaces both; a read-only file is not replaced.
    ASSERT_TRUE(PutFile(zip, commented));
    ASSERT_TRUE(Unpack());
    EXPECT_TRUE(GetFile(out + L"\\notes.txt") == Text(3000, 'n'));
    EXPECT_EQ(Written(), before);
    SetFileAttributesW(out + L"\\notes.txt", FILE_ATTRIBUTE_READONLY);
    DWORD code = 0;
    EXPECT_FALSE(Unpack(&code));
    EXPECT_EQ(code, ZR_NOFILE);
}

// An archive proves itself whole only when its end record is all there and
// every entry reads to its size and CRC: no copy cut near its end or every
// 997 bytes before, and none with a changed byte, does. Nothing is written.
TEST_F(ZipTest, OnlyAWholeArchiveProvesWhole)
{
    Entry big = testzip::File("book.txt", Text(20000, 'b'));
    Entry stored = testzip::File("notes.txt", Text(3000, 'n'), false);
    std::string good = testzip::Build({big, stored, testzip::File("dir/", "")});
    ASSERT_TRUE(PutFile(zip, good));
    EXPECT_EQ(CheckArchive(zip), ZR_OK);
    EXPECT_TRUE(IsWholeArchive(zip));
    good[good.size() - 2] = 7;
    good += "comment";
    ASSERT_TRUE(PutFile(zip, good));
    EXPECT_TRUE(IsWholeArchive(zip));
    std::vector<size_t> cuts;
    for (size_t n = 0; n < good.size(); n += n + 100 < good.size() ? 997 : 1)
        cuts.push_back(n);
    for (size_t n : cuts) {
        ASSERT_TRUE(PutFile(zip, good.substr(0, n)));
        EXPECT_FALSE(IsWholeArchive(zip)) << n;
    }
    const size_t storedAt = good.find("notes.txt") + 9 + 500;
    for (size_t at : {(size_t)60, storedAt}) {
        std::string bad = good;
        bad[at] ^= 0x20;
        ASSERT_TRUE(PutFile(zip, bad));
        EXPECT_FALSE(IsWholeArchive(zip)) << at;
    }
    EXPECT_EQ(Written(), std::set<CString>());
}

TEST_F(ZipTest, AFailingEntryKeepsTheEarlierOnes)
{
    Entry third = testzip::File("3.txt", Text(2000, 'c'), false);
    std::string zipBytes = testzip::Build({testzip::File("1.txt", "one"), testzip::File("2.txt", "two"), third});
    zipBytes[zipBytes.find("3.txt") + 5 + 100] ^= 1;
    ASSERT_TRUE(PutFile(zip, zipBytes));
    DWORD code = 0;
    EXPECT_FALSE(Unpack(&code));
    EXPECT_EQ(code, ZR_FLATE);
    EXPECT_EQ(Written(), (std::set<CString>{L"书库\\", L"书库\\1.txt", L"书库\\2.txt"}));
}

TEST_F(ZipTest, EmptyArchiveNonZipAndMissingFile)
{
    Write({});
    EXPECT_TRUE(Unpack());
    EXPECT_EQ(Written(), (std::set<CString>{L"书库\\"}));

    testfiles::DeleteTree(out);
    ASSERT_TRUE(PutFile(zip, "<html><body>404 Not Found</body></html>"));
    DWORD code = 0;
    EXPECT_FALSE(Unpack(&code));
    EXPECT_EQ(code, ZR_NOFILE);
    EXPECT_TRUE(Written().empty());
    DeleteFileW(zip);
    EXPECT_FALSE(Unpack());
    CZipUnpacker unpacker;
    EXPECT_FALSE(unpacker.UnpackToFolder(L"", out));
}

TEST_F(ZipTest, DeclaredSizesBeyondTheDiskAreRefused)
{
    // Every entry claims almost 4 GB: more than this disk holds in all.
    std::vector<Entry> entries;
    for (int i = 0; i < 3000; ++i) {
        Entry e = testzip::File("huge" + std::to_string(i) + ".bin", "x");
        e.declaredSize = 0xFFFFFFF0;
        entries.push_back(e);
    }
    Write(entries);
    DWORD code = 0;
    EXPECT_FALSE(Unpack(&code));
    EXPECT_EQ(code, ZR_WRITE);
    EXPECT_TRUE(Written().empty());
}

TEST_F(ZipTest, MoreDataThanDeclaredIsNotWritten)
{
    Entry e = testzip::File("bomb.txt", std::string(100000, 'z'));
    e.declaredSize = 1000;
    Write({e});
    EXPECT_FALSE(Unpack());
    EXPECT_EQ(Written(), (std::set<CString>{L"书库\\"}));
}

TEST(ZipNames, SafeRelativeNames)
{
    for (const wchar_t* ok : {L"a.txt", L"书库\\卷一\\第一章.txt", L"a/b/c", L"dir/", L"dir\\", L".hidden", L"a..b"})
        EXPECT_TRUE(IsSafeRelativeName(ok)) << ok;
    for (const wchar_t* bad : {L"", L"\\a", L"/a", L"..\\a", L"a\\..", L"a\\.\\b", L"a//b", L"c:a", L"x|y",
                               L"aux", L"Lpt9.txt", L"conin$", L"a.", L"a ", L"tab\there"})
        EXPECT_FALSE(IsSafeRelativeName(bad)) << bad;
    EXPECT_TRUE(IsSafeRelativeName(CString(L'a', kMaxEntryName)));
    EXPECT_FALSE(IsSafeRelativeName(CString(L'a', kMaxEntryName + 1)));
    EXPECT_TRUE(IsPathInside(L"C:\\lib", L"C:\\lib\\a\\b.txt"));
    EXPECT_FALSE(IsPathInside(L"C:\\lib", L"C:\\lib\\..\\x.txt"));
    EXPECT_FALSE(IsPathInside(L"C:\\lib", L"C:\\library\\x.txt"));
    EXPECT_FALSE(IsPathInside(L"C:\\lib", L"C:\\lib"));
}

} // namespace
