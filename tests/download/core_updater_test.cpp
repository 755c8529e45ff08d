// The updater against a local update host: book packs into the program's
// folder and the self-update matrix, each case leaving a program that starts.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/DisplaySettings.h"
#include "tests/download/DownloadTestUtil.h"
#include "download/DownloadWorker.h"
#include "download/UpdateList.h"
#include "download/WebUpdater.h"
#include "download/ZipArchive.h"
#include "framework/FileUtil.h"
#include "framework/MessageBox.h"
#include "tests/download/ZipWriter.h"
#include "res/Version.h"
#include "tests/support/HttpServer.h"
#include "tests/support/TempFiles.h"

using testfiles::GetFile;
using testfiles::ListingTree;
using testfiles::PutFile;
using testhttp::Reply;

using dltest::Gbk;
using dltest::Utf8;

namespace {

std::vector<CString>& Boxes()
{
    static std::vector<CString> texts;
    return texts;
}
int RecordBox(const wchar_t* text, UINT)
{
    Boxes().push_back(text);
    return IDOK;
}

CString SelfPath()
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return self;
}

// The program file a self-update replaces has this test's own name; it is a
// small program that ends with 42.
CString ExeName()
{
    const CString self = SelfPath();
    return self.Mid(self.ReverseFind(L'\\') + 1);
}
std::string ProbeBytes()
{
    const CString self = SelfPath();
    return GetFile(self.Left(self.ReverseFind(L'\\') + 1) + L"update_probe.exe");
}

DWORD RunProgram(const CString& exe)
{
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    CString cmd = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe, cmd.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return (DWORD)-1;
    DWORD code = (DWORD)-2;
    if (WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

class UpdaterTest : public testing::Test {
protected:
    testhttp::HttpServer server;
    testfiles::TempFolder sandbox{L"更新"};
    CString program = sandbox.Sub(L"程序");
    CString exe = program + L"\\" + ExeName();
    std::string exeName = WideToMultiByte(ExeName(), ExeName().GetLength(), CP_UTF8);
    std::string probe = ProbeBytes();
    CWebUpdater updater;
    AfxMessageBoxHook oldHook = nullptr;

    void SetUp() override
    {
        ASSERT_TRUE(server.Running());
        ASSERT_FALSE(probe.empty());
        ReopenDownloads();
        ASSERT_TRUE(CreateFolderTree(program + L"\\control"));
        ASSERT_TRUE(CreateFolderTree(program + L"\\藏书库"));
        ASSERT_TRUE(PutFile(exe, probe));
        ASSERT_TRUE(PutFile(program + L"\\readme.txt", "old readme"));
        WritePrivateProfileStringW(L"Version", L"Version", L"1.0", program + L"\\control\\preSet.ini");
        DisplaySettings.strVersion = L"1.0";
        SetList("2.0-2014\r\nhttp://pan.example/s/1\r\n");
        updater.SetHost(server.Base());
        updater.strLocalFolder = program;
        updater.strExePath = exe;
        Boxes().clear();
        oldHook = AfxSetMessageBoxHook(&RecordBox);
    }
    void TearDown() override { AfxSetMessageBoxHook(oldHook); }

    void SetList(const std::string& text)
    {
        Reply r;
        r.body = text;
        server.Set("/down/TempUpdate.txt", r);
    }
    void SetPackage(const std::string& bytes)
    {
        Reply r;
        r.body = bytes;
        server.Set("/down/brindlecove.zip", r);
    }
    std::string Package(std::vector<testzip::Entry> extra, bool withExe = true)
    {
        if (withExe)
            extra.insert(extra.begin(), testzip::File(exeName, probe + "NEWVERSION"));
        return testzip::Build(extra);
    }
};

TEST_F(UpdaterTest, GoodPackageReplacesTheProgramAndKeepsTheFirstVersion)
{
    testzip::Entry added = testzip::File(Utf8(L"control/新.txt"), "n");
    added.utf8 = true;
    SetPackage(Package({testzip::File("readme.txt", "new readme"), added}));
    ASSERT_TRUE(updater.IsNewerVersion());
    // The list changes after the check: the version kept is the one checked.
    SetList("3.0-2015\r\n");
    ASSERT_TRUE(updater.SelfUpdate());

    const std::string now = GetFile(exe);
    EXPECT_TRUE(now.size() == probe.size() + 10 && now.compare(probe.size(), 10, "NEWVERSION") == 0);
    EXPECT_TRUE(GetFile(exe + L".PRE") == probe);
    EXPECT_EQ(RunProgram(exe), 42u);
    EXPECT_EQ(GetFile(program + L"\\readme.txt"), "new readme");
    EXPECT_EQ(GetFile(program + L"\\control\\新.txt"), "n");
    EXPECT_STREQ(DisplaySettings.strVersion, L"2.0");
    wchar_t kept[32] = {};
    GetPrivateProfileStringW(L"Version", L"Version", L"", kept, 32, program + L"\\control\\preSet.ini");
    EXPECT_STREQ(kept, L"2.0");
    EXPECT_EQ(server.Hits("/down/TempUpdate.txt"), 1);
    EXPECT_EQ(ListingTree(program),
              (std::set<CString>{ExeName(), ExeName() + L".PRE", L"readme.txt", L"control\\",
                                 L"control\\preSet.ini", L"control\\TempUpdate.txt", L"control\\新.txt",
                                 L"藏书库\\"}));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(UpdaterTest, BadPackagesChangeNothing)
{
    const std::string good = Package({testzip::File("readme.txt", "new readme")});
    struct Case {
        const char* what;
        std::string bytes;
        size_t cutAt;
    };
    const Case kCases[] = {
        {"web page", "<html><body>Service temporarily unavailable</body></html>", std::string::npos},
        {"truncated", good, good.size() / 2},
        {"without the program", Package({testzip::File("readme.txt", "new")}, false), std::string::npos},
        {"climbing entry", Package({testzip::File("../evil.txt", "evil")}), std::string::npos},
        {"absolute entry", Package({testzip::File("C:/evil.txt", "evil")}), std::string::npos},
        {"damaged data", good.substr(0, 60) + "\x7F" + good.substr(61), std::string::npos},
    };
    ASSERT_TRUE(updater.IsNewerVersion());
    const std::set<CString> before = ListingTree(sandbox.Path());
    for (const Case& c : kCases) {
        Reply r;
        r.body = c.bytes;
        r.cutAt = c.cutAt;
        server.Set("/down/brindlecove.zip", r);
        EXPECT_FALSE(updater.SelfUpdate()) << c.what;
        EXPECT_EQ(ListingTree(sandbox.Path()), before) << c.what;
        EXPECT_TRUE(GetFile(exe) == probe) << c.what;
        EXPECT_EQ(GetFile(program + L"\\readme.txt"), "old readme") << c.what;
        EXPECT_EQ(RunProgram(exe), 42u) << c.what;
        EXPECT_STREQ(DisplaySettings.strVersion, L"1.0") << c.what;
    }
}

// A body as a host without a length sends it: closed after it, or chunked.
struct Streamed {
    const char* how;
    Reply reply;
};

Reply Closed(const std::string& body, size_t cutAt = std::string::npos)
{
    Reply r;
    r.body = body;
    r.sendLength = false;
    r.cutAt = cutAt;
    return r;
}

Reply InChunks(const std::string& body, bool last = true, size_t cutAt = std::string::npos)
{
    Reply r = Closed(dltest::Chunked(body, 1000, last), cutAt);
    r.extraHeaders = "Transfer-Encoding: chunked\r\n";
    return r;
}

std::vector<Streamed> WholeStreams(const std::string& body)
{
    return {{"closed", Closed(body)}, {"chunked", InChunks(body)}, {"without the 0-chunk", InChunks(body, false)}};
}

// A zip of more than 2,000 bytes cut by the transport or by the host.
std::vector<Streamed> CutStreams(const std::string& zip)
{
    const std::string chunked = dltest::Chunked(zip, 1000);
    return {{"closed inside the end record", Closed(zip, zip.size() - 10)},
            {"inside the last chunk", InChunks(zip, true, chunked.size() - 8)},
            {"between chunks without the 0-chunk", InChunks(zip.substr(0, 2000), false)},
            {"whole chunks of a cut end record", InChunks(zip.substr(0, zip.size() - 10))}};
}

// A host that sends no length serves the list and zips, which prove
// themselves whole before anything is unpacked or installed: every cut zip
// leaves the book, the old zip and the program as they were. A list cut in
// its first line starts no update, and a .txt pack without a length is
// refused with the reason.
TEST_F(UpdaterTest, HostsWithoutALengthServeListsAndZipsThatProveWhole)
{
    SetList(Gbk(L"2.0-2014\r\nhttp://pan.example/s/1\r\n1-藏书库\\三国.zip\r\n1-藏书库\\notes.txt\r\n"));
    ASSERT_TRUE(updater.FetchPackList());
    ASSERT_TRUE(updater.LoadPackList());
    testzip::Entry chapter = testzip::File(Utf8(L"三国/第一回.txt"), Gbk(L"话说天下大势") + std::string(5000, 'z'), false);
    chapter.utf8 = true;
    const std::string pack = testzip::Build({chapter});
    const std::string packPath = "/down/%E4%B8%89%E5%9B%BD.zip";
    const CString book = program + L"\\藏书库\\三国\\第一回.txt", oldZip = program + L"\\藏书库\\三国.zip";
    ASSERT_TRUE(CreateFolderTree(ParentFolder(book)));
    ASSERT_TRUE(PutFile(book, "old chapter"));
    ASSERT_TRUE(PutFile(oldZip, "old zip"));
    std::set<CString> before = ListingTree(sandbox.Path());
    for (const Streamed& cut : CutStreams(pack)) {
        server.Set(packPath, cut.reply);
        EXPECT_FALSE(updater.DownloadPack(1)) << cut.how;
        EXPECT_EQ(ListingTree(sandbox.Path()), before) << cut.how;
        EXPECT_EQ(GetFile(book), "old chapter") << cut.how;
        EXPECT_EQ(GetFile(oldZip), "old zip") << cut.how;
    }
    EXPECT_EQ(Boxes(), std::vector<CString>(4, L"下载失败"));
    for (const Streamed& whole : WholeStreams(pack)) {
        ASSERT_TRUE(PutFile(book, "old chapter"));
        server.Set(packPath, whole.reply);
        EXPECT_TRUE(updater.DownloadPack(1)) << whole.how;
        EXPECT_TRUE(GetFile(book) == chapter.data) << whole.how;
        EXPECT_FALSE(PathExists(oldZip)) << whole.how;
    }
    ASSERT_TRUE(PutFile(program + L"\\藏书库\\notes.txt", "old notes"));
    Boxes().clear();
    for (const Streamed& whole : WholeStreams("plain notes")) {
        server.Set("/down/notes.txt", whole.reply);
        EXPECT_FALSE(updater.DownloadPack(2)) << whole.how;
        EXPECT_EQ(GetFile(program + L"\\藏书库\\notes.txt"), "old notes") << whole.how;
    }
    EXPECT_EQ(Boxes(), std::vector<CString>(3, DownloadFailureText(E_DOWNLOAD_UNCHECKED)));

    // The program package.
    const std::string package = Package({testzip::File("readme.txt", "new readme")});
    before = ListingTree(sandbox.Path());
    for (const Streamed& cut : CutStreams(package)) {
        server.Set("/down/brindlecove.zip", cut.reply);
        ASSERT_TRUE(updater.IsNewerVersion()) << cut.how;
        EXPECT_FALSE(updater.SelfUpdate()) << cut.how;
        EXPECT_EQ(ListingTree(sandbox.Path()), before) << cut.how;
        EXPECT_TRUE(GetFile(exe) == probe) << cut.how;
        EXPECT_EQ(GetFile(program + L"\\readme.txt"), "old readme") << cut.how;
        EXPECT_STREQ(DisplaySettings.strVersion, L"1.0") << cut.how;
    }
    // The list cut inside its first line: no update, whatever came of it.
    const std::string list = "2.0-2014\r\nhttp://pan.example/s/1\r\n";
    const int asked = server.Hits("/down/brindlecove.zip");
    for (const Streamed& cut : {Streamed{"closed", Closed(list, 3)}, Streamed{"chunked", InChunks(list.substr(0, 3), false)}}) {
        server.Set("/down/TempUpdate.txt", cut.reply);
        EXPECT_FALSE(updater.IsNewerVersion()) << cut.how;
        EXPECT_EQ(GetFile(updater.ListCopyPath()), "2.0") << cut.how;
    }
    EXPECT_EQ(server.Hits("/down/brindlecove.zip"), asked);
    // Whole, list and package go end to end.
    const std::vector<Streamed> lists = WholeStreams(list), packages = WholeStreams(package);
    for (size_t i = 0; i < lists.size(); ++i) {
        server.Set("/down/TempUpdate.txt", lists[i].reply);
        server.Set("/down/brindlecove.zip", packages[i].reply);
        ASSERT_TRUE(updater.IsNewerVersion()) << lists[i].how;
        EXPECT_TRUE(updater.SelfUpdate()) << lists[i].how;
        EXPECT_EQ(GetFile(program + L"\\readme.txt"), "new readme") << lists[i].how;
        EXPECT_EQ(RunProgram(exe), 42u) << lists[i].how;
        EXPECT_STREQ(DisplaySettings.strVersion, L"2.0") << lists[i].how;
        // Back to the old program for the next round.
        ASSERT_TRUE(PutFile(exe, probe));
        ASSERT_TRUE(DeleteFileW(exe + L".PRE"));
        ASSERT_TRUE(PutFile(program + L"\\readme.txt", "old readme"));
        DisplaySettings.strVersion = L"1.0";
    }
}

TEST_F(UpdaterTest, AFailedMoveRollsEverythingBackAndKeepsTheOldProgram)
{
    ASSERT_TRUE(PutFile(program + L"\\a.txt", "old a"));
    ASSERT_TRUE(PutFile(exe + L".PRE", "older program"));
    ASSERT_TRUE(updater.IsNewerVersion());
    const std::set<CString> before = ListingTree(sandbox.Path());
    for (const bool held : {true, false}) {
        // A file another program holds open, or a folder where a file is.
        SetPackage(Package({testzip::File("a.txt", "new a"), testzip::File("readme.txt", "new readme"),
                            testzip::File(held ? "z.txt" : "control/preSet.ini/x.txt", "new z")}));
        HANDLE busy = held ? CreateFileW(program + L"\\readme.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                         nullptr)
                           : INVALID_HANDLE_VALUE;
        ASSERT_EQ(busy != INVALID_HANDLE_VALUE, held);
        EXPECT_FALSE(updater.SelfUpdate()) << held;
        if (held)
            CloseHandle(busy);
        EXPECT_EQ(ListingTree(sandbox.Path()), before) << held;
        EXPECT_TRUE(GetFile(exe) == probe) << held;
        EXPECT_EQ(GetFile(exe + L".PRE"), "older program") << held;
        EXPECT_EQ(GetFile(program + L"\\a.txt"), "old a") << held;
        EXPECT_EQ(GetFile(program + L"\\readme.txt"), "old readme") << held;
        EXPECT_STREQ(DisplaySettings.strVersion, L"1.0") << held;
        EXPECT_EQ(RunProgram(exe), 42u) << held;
    }
}

ULONGLONG g_freeBytes = 0;
ULONGLONG FakeFreeBytes(const wchar_t*)
{
    return g_freeBytes;
}

TEST_F(UpdaterTest, AnUpdateLeavesTheDiskMargin)
{
    const std::string big(2 << 20, '\0');
    SetPackage(Package({testzip::File("big.bin", big)}));
    const ULONGLONG files = probe.size() + 10 + big.size();
    ASSERT_TRUE(updater.IsNewerVersion());
    const std::set<CString> before = ListingTree(sandbox.Path());
    const FreeDiskHook oldHook = SetFreeDiskHook(&FakeFreeBytes);
    g_freeBytes = files + kDiskMargin - 1;
    EXPECT_FALSE(updater.SelfUpdate());
    EXPECT_EQ(ListingTree(sandbox.Path()), before);
    EXPECT_TRUE(GetFile(exe) == probe);
    EXPECT_STREQ(DisplaySettings.strVersion, L"1.0");
    g_freeBytes = files + kDiskMargin;
    EXPECT_TRUE(updater.SelfUpdate());
    SetFreeDiskHook(oldHook);
    EXPECT_TRUE(GetFile(program + L"\\big.bin") == big);
    EXPECT_TRUE(GetFile(exe + L".PRE") == probe);
    EXPECT_STREQ(DisplaySettings.strVersion, L"2.0");
    EXPECT_EQ(RunProgram(exe), 42u);
}

TEST_F(UpdaterTest, NoPackageTakesAFolderTheUserDataOrTheKeptProgram)
{
    ASSERT_TRUE(PutFile(program + L"\\藏书库\\三国.xml", "article"));
    ASSERT_TRUE(PutFile(program + L"\\control\\Color.xml", "colours"));
    ASSERT_TRUE(CreateFolderTree(program + L"\\BookImg"));
    ASSERT_TRUE(PutFile(program + L"\\BookImg\\1.jpg", "picture"));
    ASSERT_TRUE(updater.IsNewerVersion());
    // The library's short (8.3) name, where the file system has one.
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(program + L"\\藏书库", shortPath, MAX_PATH), 0u);
    const CString shortName = CString(shortPath).Mid(CString(shortPath).ReverseFind(L'\\') + 1);
    const std::string shortLibrary = WideToMultiByte(shortName, shortName.GetLength(), CP_UTF8);
    // The short name the old program will have once it is kept (none is yet).
    const CString preProbe = sandbox.Sub(ExeName() + L".PRE");
    ASSERT_TRUE(PutFile(preProbe, ""));
    ASSERT_GT(GetShortPathNameW(preProbe, shortPath, MAX_PATH), 0u);
    DeleteFileW(preProbe);
    const CString preName = CString(shortPath).Mid(CString(shortPath).ReverseFind(L'\\') + 1);
    const std::string shortPre = WideToMultiByte(preName, preName.GetLength(), CP_UTF8);
    const std::string blob(34, 'x');
    const std::string kRefused[] = {Utf8(L"藏书库"), shortLibrary, "control", "CONTROL", "BookImg", "BOOKIMG",
                                    exeName + ".PRE", exeName + ".pre", shortPre};
    // A package with a top-level file of that name moves nothing.
    auto expectRefused = [&](const std::string& name) {
        const std::set<CString> before = ListingTree(sandbox.Path());
        const std::string installed = GetFile(exe), kept = GetFile(exe + L".PRE");
        testzip::Entry e = testzip::File(name, blob);
        e.utf8 = true;
        SetPackage(Package({testzip::File("readme.txt", "new readme"), e}));
        DisplaySettings.strVersion = L"1.0";
        EXPECT_FALSE(updater.SelfUpdate()) << name;
        EXPECT_EQ(ListingTree(sandbox.Path()), before) << name;
        EXPECT_TRUE(GetFile(exe) == installed && GetFile(exe + L".PRE") == kept) << name;
        EXPECT_EQ(GetFile(program + L"\\readme.txt"), "old readme") << name;
        EXPECT_STREQ(DisplaySettings.strVersion, L"1.0") << name;
    };
    for (const std::string& name : kRefused)
        expectRefused(name);
    EXPECT_TRUE(GetFile(exe) == probe);
    EXPECT_EQ(GetFile(program + L"\\藏书库\\三国.xml"), "article");
    EXPECT_EQ(GetFile(program + L"\\control\\Color.xml"), "colours");
    EXPECT_EQ(RunProgram(exe), 42u);

    // Files of the library, the settings and the pictures are the user's: an
    // update adds beside them and leaves them as they are.
    std::vector<testzip::Entry> user = {testzip::File(shortLibrary + Utf8(L"/三国.xml"), "vendor article"),
                                        testzip::File(Utf8(L"藏书库/三国.xml"), "vendor article"),
                                        testzip::File(Utf8(L"藏书库/水浒.xml"), "new article"),
                                        testzip::File("control/Color.xml", "vendor colours"),
                                        testzip::File("control/preSet.ini", "[Version]\r\nVersion=0.1\r\n"),
                                        testzip::File("bookimg/1.jpg", "vendor picture"),
                                        testzip::File("BookImg/2.jpg", "new picture")};
    for (testzip::Entry& e : user)
        e.utf8 = true;
    SetPackage(Package(user));
    ASSERT_TRUE(updater.SelfUpdate());
    EXPECT_TRUE(GetFile(exe + L".PRE") == probe);
    EXPECT_EQ(GetFile(program + L"\\藏书库\\三国.xml"), "article");
    EXPECT_EQ(GetFile(program + L"\\藏书库\\水浒.xml"), "new article");
    EXPECT_EQ(GetFile(program + L"\\control\\Color.xml"), "colours");
    EXPECT_EQ(GetFile(program + L"\\BookImg\\1.jpg"), "picture");
    EXPECT_EQ(GetFile(program + L"\\BookImg\\2.jpg"), "new picture");
    wchar_t kept[32] = {};
    GetPrivateProfileStringW(L"Version", L"Version", L"", kept, 32, program + L"\\control\\preSet.ini");
    EXPECT_STREQ(kept, L"2.0");

    // Those names are no file's names, even while the folders are missing;
    // the kept old program has its short name now.
    ASSERT_TRUE(DeleteFolderTree(program + L"\\藏书库"));
    ASSERT_TRUE(DeleteFolderTree(program + L"\\BookImg"));
    for (const std::string& name : {Utf8(L"藏书库"), std::string("bookimg"), shortPre})
        expectRefused(name);
    EXPECT_TRUE(GetFile(exe + L".PRE") == probe);
}

TEST_F(UpdaterTest, OnlyAPlainDifferentVersionStartsAnUpdate)
{
    SetPackage(Package({}));
    struct Case {
        std::string list;
        const wchar_t* local;
        bool newer;
    };
    const Case kCases[] = {
        {"2.0-2014\r\n", L"2.0", false},
        {"2.0-2014\r\n", L"1.0", true},
        {"V2.0-x\r\n", L"v2.0", false},
        {"1.0\r\n", L"", true},
        {"", L"1.0", false},
        {"\r\n2.0\r\n", L"1.0", false},
        {"\xEF\xBB\xBF" "2.0-x\r\n", L"2.0", false},
        {"\xEF\xBB\xBF" "2.1-x\r\n", L"2.0", true},
        {"<!DOCTYPE html><html><head><title>Index</title>", L"1.0", false},
    };
    for (const Case& c : kCases) {
        SetList(c.list);
        DisplaySettings.strVersion = c.local;
        EXPECT_EQ(updater.IsNewerVersion(), c.newer) << c.list;
    }
    // A list that cannot be fetched keeps the local copy and starts nothing.
    SetList("9.0\r\n");
    ASSERT_TRUE(updater.FetchPackList());
    Reply gone;
    gone.status = 404;
    gone.body = "<html>gone</html>";
    server.Set("/down/TempUpdate.txt", gone);
    EXPECT_FALSE(updater.IsNewerVersion());
    EXPECT_EQ(GetFile(updater.ListCopyPath()), "9.0\r\n");
    EXPECT_EQ(server.Hits("/down/brindlecove.zip"), 0);
}

TEST_F(UpdaterTest, TheStartUpCheckReadsItsHostFromThePresetFile)
{
    SetPackage(Package({}));
    g_strAppFolder = program + L"\\";
    DisplaySettings.strVersion.Empty();
    // No host: the local version is read, nothing is asked.
    RunUpdateCheck();
    EXPECT_EQ(server.Hits("/down/TempUpdate.txt"), 0);
    EXPECT_STREQ(DisplaySettings.strVersion, L"1.0");

    WritePrivateProfileStringW(kUpdateHostSection, kUpdateHostKey, server.Base(), program + L"\\control\\preSet.ini");
    RunUpdateCheck();
    g_strAppFolder.Empty();
    EXPECT_EQ(server.Hits("/down/brindlecove.zip"), 1);
    EXPECT_STREQ(DisplaySettings.strVersion, L"2.0");
    EXPECT_TRUE(GetFile(exe + L".PRE") == probe);
    EXPECT_EQ(RunProgram(exe), 42u);
}

// A preset the user wrote only to name the host, or with an empty version:
// the version is the program's own, so a list naming it installs nothing.
TEST_F(UpdaterTest, APresetWithoutAVersionIsTheProgramsOwn)
{
    SetPackage(Package({}));
    SetList(LUMIVELL_VERSION_TEXT "-2014\r\n");
    g_strAppFolder = program + L"\\";
    const std::string host = "[Update]\r\nUpdateHost=" + WideToMultiByte(server.Base(), server.Base().GetLength(), CP_UTF8) + "\r\n";
    for (const std::string& preset : {host, "[Version]\r\nVersion=\r\n" + host}) {
        ASSERT_TRUE(PutFile(program + L"\\control\\preSet.ini", preset));
        DisplaySettings.strVersion.Empty();
        RunUpdateCheck();
        EXPECT_STREQ(DisplaySettings.strVersion, L"" LUMIVELL_VERSION_TEXT);
    }
    g_strAppFolder.Empty();
    EXPECT_EQ(server.Hits("/down/TempUpdate.txt"), 2);
    EXPECT_EQ(server.Hits("/down/brindlecove.zip"), 0);
    EXPECT_TRUE(GetFile(exe) == probe);
}

TEST_F(UpdaterTest, BookPacksArriveInTheLibrary)
{
    SetList(Gbk(L"2.0-2014\r\ncalc.exe\r\n1-藏书库\\三国.zip\r\n1-藏书库\\notes.txt\r\n1-藏书库\\坏.zip\r\n"
                L"1-藏书库\\missing.zip\r\n0-藏书库\\已有.zip\r\n1-..\\evil.zip\r\n"));
    ASSERT_TRUE(CreateFolderTree(program + L"\\藏书库\\已有"));
    Reply pack;
    testzip::Entry chapter = testzip::File(Utf8(L"三国/第一回.txt"), Gbk(L"话说天下大势"));
    chapter.utf8 = true;
    pack.body = testzip::Build({chapter});
    server.Set("/down/%E4%B8%89%E5%9B%BD.zip", pack);
    Reply notes;
    notes.body = "plain notes";
    server.Set("/down/notes.txt", notes);
    Reply broken;
    broken.body = "<html>not a zip</html>";
    server.Set("/down/%E5%9D%8F.zip", broken);

    ASSERT_TRUE(updater.FetchPackList());
    ASSERT_TRUE(updater.LoadPackList());
    const std::vector<CString> offered = {L"藏书库\\三国.zip", L"藏书库\\notes.txt", L"藏书库\\坏.zip",
                                          L"藏书库\\missing.zip"};
    EXPECT_EQ(updater.arrPackNames, offered);

    EXPECT_TRUE(updater.DownloadPack(1));
    EXPECT_EQ(GetFile(program + L"\\藏书库\\三国\\第一回.txt"), Gbk(L"话说天下大势"));
    EXPECT_FALSE(PathExists(program + L"\\藏书库\\三国.zip"));
    EXPECT_TRUE(updater.DownloadPack(2));
    EXPECT_EQ(GetFile(program + L"\\藏书库\\notes.txt"), "plain notes");
    EXPECT_TRUE(Boxes().empty());

    EXPECT_FALSE(updater.DownloadPack(3));
    EXPECT_FALSE(PathExists(program + L"\\藏书库\\坏.zip"));
    EXPECT_FALSE(updater.DownloadPack(4));
    EXPECT_FALSE(PathExists(program + L"\\藏书库\\missing.zip"));
    EXPECT_FALSE(updater.DownloadPack(5));
    EXPECT_FALSE(updater.DownloadPack(0));
    EXPECT_EQ(Boxes(), (std::vector<CString>{L"解压失败", L"下载失败", L"Encountered an improper argument.",
                                              L"网盘地址无效"}));
    EXPECT_EQ(ListingTree(sandbox.Path()).count(L"evil.zip"), 0u);

    // Without a local copy the list is reported missing.
    DeleteFileW(updater.ListCopyPath());
    Boxes().clear();
    EXPECT_FALSE(updater.LoadPackList());
    EXPECT_TRUE(updater.arrPackNames.empty());
    ASSERT_EQ(Boxes().size(), 1u);
}

} // namespace
