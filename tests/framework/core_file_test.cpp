#include "framework/File.h"
#include "framework/FileUtil.h"
#include "framework/Profile.h"
#include <gtest/gtest.h>
#include "tests/support/TempFiles.h"
#include <set>

namespace {

using namespace testfiles;

class TempFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root.Format(L"%s文件测试_%lu_%lu", temp, GetCurrentProcessId(), GetTickCount());
        ASSERT_TRUE(CreateFolderTree(root));
    }
    void TearDown() override { DeleteTree(root); }
    CString root;
};

} // namespace

using CFileTest = TempFolderTest;

TEST_F(CFileTest, WriteReadSeek)
{
    CString path = root + L"\\第一章.dat";
    CFile f;
    ASSERT_TRUE(f.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary));
    EXPECT_TRUE(f.Write("abc\0def", 7));
    EXPECT_EQ(7u, f.GetLength());
    EXPECT_EQ(CString(L"第一章.dat"), f.GetFileName());
    EXPECT_EQ(CString(L"第一章"), f.GetFileTitle());
    EXPECT_EQ(path, f.GetFilePath());
    char buf[8];
    EXPECT_EQ(0u, f.Read(buf, 8));          // write-only handle
    f.Close();
    EXPECT_FALSE(f.IsOpen());

    ASSERT_TRUE(f.Open(path, CFile::modeRead | CFile::shareDenyWrite));
    EXPECT_FALSE(f.Write("x", 1));          // read-only handle
    EXPECT_EQ(4u, f.Seek(4, CFile::begin));
    EXPECT_EQ(3u, f.Read(buf, 8));
    EXPECT_EQ(std::string("def"), std::string(buf, 3));
    EXPECT_EQ(0u, f.Read(buf, 8));          // at the end
    EXPECT_EQ(2u, f.Seek(-5, CFile::end));
    EXPECT_EQ(3u, f.Seek(1, CFile::current));
    EXPECT_EQ(3u, f.GetPosition());
    f.SeekToBegin();
    EXPECT_EQ(7u, f.Read(buf, 8));
    EXPECT_EQ(0, memcmp(buf, "abc\0def", 7));
    EXPECT_EQ((ULONGLONG)-1, f.Seek(-100, CFile::begin));
    f.Close();

    // Without truncation the content stays and can be extended.
    ASSERT_TRUE(f.Open(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite));
    EXPECT_EQ(7u, f.SeekToEnd());
    EXPECT_TRUE(f.Write("gh", 2));
    EXPECT_TRUE(f.Flush());
    EXPECT_TRUE(f.SetLength(5));
    f.Close();
    EXPECT_EQ(std::string("abc\0d", 5), GetFile(path));

    // modeCreate alone truncates.
    ASSERT_TRUE(f.Open(path, CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(0u, f.GetLength());
}

TEST_F(CFileTest, OpenFailures)
{
    CFile f;
    CFileException e;
    CString missing = root + L"\\没有.dat";
    EXPECT_FALSE(f.Open(missing, CFile::modeRead, &e));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, (DWORD)e.m_lOsError);
    EXPECT_EQ(missing, e.m_strFileName);
    EXPECT_FALSE(f.Open(root + L"\\没有目录\\a.dat", CFile::modeCreate | CFile::modeWrite));
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(0u, f.Read(&e, 1));
    EXPECT_FALSE(f.Write("a", 1));
    EXPECT_EQ(0u, f.GetLength());
    EXPECT_FALSE(FileExists(missing));
}

TEST_F(CFileTest, FindFilesWithChineseNames)
{
    PutFile(root + L"\\第一章.txt", "12345");
    PutFile(root + L"\\第二章.xml", "");
    PutFile(root + L"\\隐藏.xml", "x");
    SetFileAttributesW(root + L"\\隐藏.xml", FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(CreateFolderTree(root + L"\\子目录"));

    CFileFind find;
    ASSERT_TRUE(find.FindFile(root + L"\\*.*"));
    std::set<CString> names, dirs;
    int dots = 0, hidden = 0;
    BOOL more = TRUE;
    while (more) {
        more = find.FindNextFile();
        if (find.IsDots()) {
            ++dots;
            continue;
        }
        names.insert(find.GetFileName());
        EXPECT_EQ(root + L"\\" + find.GetFileName(), find.GetFilePath());
        if (find.IsDirectory())
            dirs.insert(find.GetFileName());
        if (find.IsHidden())
            ++hidden;
        if (find.GetFileName() == L"第一章.txt") {
            EXPECT_EQ(5u, find.GetLength());
            EXPECT_EQ(CString(L"第一章"), find.GetFileTitle());
        }
    }
    EXPECT_EQ(2, dots);
    EXPECT_EQ((std::set<CString>{L"第一章.txt", L"第二章.xml", L"隐藏.xml", L"子目录"}), names);
    EXPECT_EQ(std::set<CString>{L"子目录"}, dirs);
    EXPECT_EQ(1, hidden);
    // The last match stays readable after FindNextFile said no more.
    EXPECT_FALSE(find.GetFileName().IsEmpty());
    EXPECT_FALSE(find.FindNextFile());
    find.Close();

    ASSERT_TRUE(find.FindFile(root + L"\\第*.xml"));
    EXPECT_FALSE(find.FindNextFile());
    EXPECT_EQ(CString(L"第二章.xml"), find.GetFileName());
    EXPECT_EQ(root, find.GetRoot());

    EXPECT_FALSE(find.FindFile(root + L"\\没有目录\\*.*"));
    EXPECT_FALSE(find.FindNextFile());
}

using FileUtilTest = TempFolderTest;

TEST_F(FileUtilTest, WriteReplacingNewAndExisting)
{
    CString path = root + L"\\Color.xml";
    std::string first("\x01\x00\x02", 3);
    CString error;
    ASSERT_TRUE(WriteFileReplacing(path, first.data(), first.size(), &error)) << error.GetString();
    EXPECT_EQ(first, GetFile(path));
    std::string second(100000, 'z');
    ASSERT_TRUE(WriteFileReplacing(path, second.data(), second.size(), &error)) << error.GetString();
    EXPECT_EQ(second, GetFile(path));
    ASSERT_TRUE(WriteFileReplacing(path, "", 0));
    EXPECT_EQ(std::string(), GetFile(path));
    EXPECT_EQ(std::set<CString>{L"Color.xml"}, Listing(root));
}

TEST_F(FileUtilTest, FailedWriteKeepsTargetAndLeavesNoTemp)
{
    CString error;
    // The target is a folder.
    CString folder = root + L"\\目标";
    ASSERT_TRUE(CreateFolderTree(folder));
    PutFile(folder + L"\\inside.txt", "keep");
    EXPECT_FALSE(WriteFileReplacing(folder, "new", 3, &error));
    EXPECT_FALSE(error.IsEmpty());
    EXPECT_TRUE(FolderExists(folder));
    EXPECT_EQ(std::string("keep"), GetFile(folder + L"\\inside.txt"));

    // The folder of the target does not exist, or the path is not valid at all.
    error.Empty();
    EXPECT_FALSE(WriteFileReplacing(root + L"\\没有\\a.xml", "new", 3, &error));
    EXPECT_NE(-1, error.Find(L"没有"));
    error.Empty();
    EXPECT_FALSE(WriteFileReplacing(L"Q:\\no\\such\\disk.xml", "new", 3, &error));
    EXPECT_FALSE(error.IsEmpty());
    EXPECT_FALSE(WriteFileReplacing(root + L"\\bad|name?.xml", "new", 3, &error));
    EXPECT_FALSE(WriteFileReplacing(L"", "new", 3, nullptr));

    // A read-only target cannot be replaced.
    CString locked = root + L"\\locked.xml";
    PutFile(locked, "old");
    SetFileAttributesW(locked, FILE_ATTRIBUTE_READONLY);
    error.Empty();
    EXPECT_FALSE(WriteFileReplacing(locked, "new", 3, &error));
    EXPECT_FALSE(error.IsEmpty());
    EXPECT_EQ(std::string("old"), GetFile(locked));

    EXPECT_EQ((std::set<CString>{L"目标", L"locked.xml"}), Listing(root));
}

TEST_F(FileUtilTest, ReadOnlyFolder)
{
    CString folder = root + L"\\只读";
    ASSERT_TRUE(CreateFolderTree(folder));
    CString path = folder + L"\\Color.xml";
    PutFile(path, "old");
    SetFileAttributesW(folder, FILE_ATTRIBUTE_READONLY);
    CString probe = folder + L"\\probe";
    HANDLE h = CreateFileW(probe, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        DeleteFileW(probe);
        GTEST_SKIP() << "this account can write into read-only folders";
    }
    EXPECT_FALSE(WriteFileReplacing(path, "new", 3));
    EXPECT_EQ(std::string("old"), GetFile(path));
    EXPECT_EQ(std::set<CString>{L"Color.xml"}, Listing(folder));
}

TEST_F(FileUtilTest, BackupOnceAndFolders)
{
    CString src = root + L"\\Color.xml";
    CString bak = root + L"\\备份\\深\\Color.xml.bak";
    EXPECT_FALSE(BackupFileOnce(src, bak));          // nothing to back up
    EXPECT_FALSE(FileExists(bak));
    PutFile(src, "first");
    EXPECT_TRUE(BackupFileOnce(src, bak));
    EXPECT_EQ(std::string("first"), GetFile(bak));
    PutFile(src, "second");
    EXPECT_TRUE(BackupFileOnce(src, bak));
    EXPECT_EQ(std::string("first"), GetFile(bak));   // the first copy is kept

    EXPECT_TRUE(CreateFolderTree(root + L"/一/二/三/"));
    EXPECT_TRUE(FolderExists(root + L"\\一\\二\\三"));
    EXPECT_FALSE(FileExists(root + L"\\一\\二\\三"));
    EXPECT_TRUE(FileExists(src));
    EXPECT_FALSE(FolderExists(src));
    EXPECT_FALSE(CreateFolderTree(src + L"\\sub"));  // a file is in the way
    EXPECT_FALSE(FileExists(L""));
    EXPECT_FALSE(FolderExists(nullptr));

    std::string bytes = "stale";
    EXPECT_FALSE(ReadWholeFile(root + L"\\没有.xml", bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST(SystemErrorTextTest, ReadableAndTrimmed)
{
    CString text = SystemErrorText(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(text.IsEmpty());
    wchar_t last = text[text.GetLength() - 1];
    EXPECT_TRUE(last != L'\n' && last != L'\r' && last != L' ');
    EXPECT_NE(text, SystemErrorText(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(SystemErrorText(0x2badbeef).IsEmpty());
}

using CIniFileTest = TempFolderTest;

TEST_F(CIniFileTest, MissingEmptyAndNumbers)
{
    CIniFile ini(root + L"\\preSet.ini");
    CString v = L"stale";
    EXPECT_FALSE(ini.GetString(L"Set", L"Name", v));  // no file yet
    EXPECT_EQ(CString(L"def"), ini.GetString(L"Set", L"Name", L"def"));
    EXPECT_TRUE(ini.WriteString(L"Set", L"Empty", L""));
    EXPECT_TRUE(ini.WriteString(L"Set", L"Name", L"楷体"));
    EXPECT_TRUE(ini.WriteInt(L"Set", L"Neg", -16777216));
    EXPECT_TRUE(ini.WriteString(L"Set", L"Word", L"abc"));
    EXPECT_TRUE(ini.WriteString(L"Set", L"Long", CString(L'x', 3000)));

    v = L"stale";
    EXPECT_TRUE(ini.GetString(L"Set", L"Empty", v));
    EXPECT_TRUE(v.IsEmpty());
    EXPECT_FALSE(ini.GetString(L"Set", L"Nothing", v));
    EXPECT_FALSE(ini.GetString(L"Other", L"Name", v));
    EXPECT_EQ(CString(L"楷体"), ini.GetString(L"Set", L"Name", L""));
    EXPECT_EQ(3000, ini.GetString(L"Set", L"Long", L"").GetLength());
    EXPECT_EQ(-16777216, ini.GetInt(L"Set", L"Neg", 5));
    EXPECT_EQ(0, ini.GetInt(L"Set", L"Word", 5));
    EXPECT_EQ(5, ini.GetInt(L"Set", L"Empty", 5));
    EXPECT_EQ(5, ini.GetInt(L"Set", L"Nothing", 5));

    std::string bytes = GetFile(ini.GetPath());
    EXPECT_NE(std::string::npos, bytes.find("Neg=-16777216"));
}
