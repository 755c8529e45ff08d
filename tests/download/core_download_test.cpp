// The download worker against a server of the test's own: what counts as a
// download, cancelling, progress, the pumping wait, one download at a time;
// and the moniker's callback object driven directly.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "download/DownloadWorker.h"
#include "tests/download/DownloadTestUtil.h"
#include "tests/download/ZipWriter.h"
#include "tests/support/HttpServer.h"
#include "tests/support/Ticker.h"
#include "tests/support/TempFiles.h"

using testfiles::GetFile;
using testfiles::PutFile;
using testhttp::Reply;

using dltest::Chunked;
using testhttp::Ticker;

namespace {

// Every body starts with it, so a copy in the URL cache can be found (one of
// this run's own: earlier runs are no concern).
const std::string& Marker()
{
    static const std::string marker = "LV" + std::to_string(GetTickCount()) + "-" + std::to_string(GetCurrentProcessId());
    return marker;
}

std::string Body(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = (char)('a' + (i * 31 + i / 7) % 26);
    const size_t mark = std::min(n, Marker().size());
    s.replace(0, mark, Marker(), 0, mark);
    return s;
}

struct Recorder : IDownloadProgress {
    std::vector<CString> texts;
    std::vector<int> percents;
    void ShowProgress(const wchar_t* text, int percent) override
    {
        texts.push_back(text);
        percents.push_back(percent);
    }
};

class DownloadTest : public testing::Test {
protected:
    testhttp::HttpServer server;
    testfiles::TempFolder folder{L"下载"};
    CString target = folder.Sub(L"书包.bin");
    HRESULT last = S_OK;

    void SetUp() override
    {
        ASSERT_TRUE(server.Running());
        ReopenDownloads();
        SetDownloadStallLimit(60000);
        ASSERT_TRUE(PutFile(target, "the good old file"));
    }
    void TearDown() override
    {
        // Downloads leave no copy outside their target.
        EXPECT_EQ(testhttp::CacheFilesHolding(Marker()), std::vector<CString>());
    }
    bool Fetch(const char* path, IBindStatusCallback* sink = nullptr)
    {
        last = RunDownload(server.Url(path), target, sink, false);
        return SUCCEEDED(last);
    }
    bool TargetUntouched() { return GetFile(target) == "the good old file" && !PathExists(target + L".part"); }
    static bool PathExists(const CString& p) { return GetFileAttributesW(p) != INVALID_FILE_ATTRIBUTES; }
};

TEST_F(DownloadTest, AWholeAnswerWithItsLengthArrives)
{
    Reply r;
    r.body = Body(300000);
    server.Set("/len.bin", r);
    ASSERT_TRUE(Fetch("/len.bin")) << std::hex << last;
    EXPECT_EQ(bDownloadDone, 1);
    EXPECT_EQ(downloadReport.nHttpStatus, 200u);
    EXPECT_TRUE(GetFile(target) == r.body);
    EXPECT_FALSE(PathExists(target + L".part"));
    EXPECT_EQ(strDownloadTarget, target);
    // Asked again: the answer comes from the server, not from a cache.
    r.body = "second";
    server.Set("/len.bin", r);
    ASSERT_TRUE(Fetch("/len.bin"));
    EXPECT_EQ(GetFile(target), "second");
}

TEST_F(DownloadTest, FailuresNeverReplaceTheTarget)
{
    Reply notFound;
    notFound.status = 404;
    notFound.body = Body(300);
    server.Set("/404", notFound);
    Reply error = notFound;
    error.status = 500;
    server.Set("/500", error);
    Reply cut;
    cut.body = Body(200000);
    cut.cutAt = 120000;
    server.Set("/cut", cut);
    Reply silent;
    silent.closeWithoutReply = true;
    server.Set("/silent", silent);

    for (const char* path : {"/404", "/500"}) {
        EXPECT_FALSE(Fetch(path)) << path;
        EXPECT_EQ(last, E_DOWNLOAD_HTTP) << path;
        EXPECT_EQ(downloadReport.nHttpStatus, (DWORD)atoi(path + 1));
    }
    for (const char* path : {"/404", "/500", "/cut", "/silent"}) {
        EXPECT_FALSE(Fetch(path)) << path;
        EXPECT_EQ(bDownloadDone, 1) << path;
        EXPECT_TRUE(FAILED(hrDownload)) << path;
        EXPECT_EQ(last, hrDownload) << path;
        EXPECT_TRUE(TargetUntouched()) << path;
    }
    // Nobody listens on the port any more.
    const CString refused = server.Url("/gone");
    server.Stop();
    EXPECT_TRUE(FAILED(RunDownload(refused, target, nullptr, false)));
    EXPECT_TRUE(TargetUntouched());
}

// Only a 200 whose whole body is known to have arrived counts: no content, an
// unasked part, a redirect that never ends, an answer whose end cannot be
// told from a cut (no length, a content coding the transport undoes, chunks)
// and an empty one leave the target as it was.
TEST_F(DownloadTest, OnlyAWhole200Counts)
{
    const std::string whole = Body(20000);
    Reply none;
    none.status = 204;
    server.Set("/204", none);
    Reply part;
    part.status = 206;
    part.body = whole.substr(0, 10000);
    part.extraHeaders = "Content-Range: bytes 0-9999/20000\r\n";
    server.Set("/206", part);
    Reply loop;
    loop.status = 302;
    loop.location = "/loop";
    loop.body = Body(100);
    server.Set("/loop", loop);

    const std::string text = Body(300000);
    Reply noLength;
    noLength.body = text;
    noLength.sendLength = false;
    server.Set("/no-length", noLength);
    Reply gzip;
    gzip.body = testzip::Deflate(text, 6, 15 + 16);
    gzip.extraHeaders = "Content-Encoding: gzip\r\n";
    server.Set("/gzip", gzip);
    gzip.cutAt = gzip.body.size() / 2;
    server.Set("/gzip-length-cut", gzip);
    gzip.sendLength = false;
    server.Set("/gzip-cut", gzip);
    gzip.body = Chunked(gzip.body, 8000);
    gzip.cutAt = gzip.body.size() / 2;
    gzip.extraHeaders += "Transfer-Encoding: chunked\r\n";
    server.Set("/gzip-chunked-cut", gzip);
    Reply chunked;
    chunked.body = Chunked(text, 10000);
    chunked.sendLength = false;
    chunked.extraHeaders = "Transfer-Encoding: chunked\r\n";
    server.Set("/chunked", chunked);
    chunked.cutAt = chunked.body.size() / 2;
    server.Set("/chunked-cut", chunked);
    chunked.cutAt = std::string::npos;
    chunked.body = Chunked(text, 10000, false);
    server.Set("/chunked-open", chunked);
    chunked.body = "zz\r\n" + text.substr(0, 1000) + "\r\n0\r\n\r\n";
    server.Set("/chunked-zz", chunked);
    Reply empty;
    server.Set("/empty", empty);

    for (const char* path : {"/204", "/206", "/loop", "/no-length", "/gzip", "/gzip-length-cut", "/gzip-cut",
                             "/gzip-chunked-cut", "/chunked", "/chunked-cut", "/chunked-open", "/chunked-zz",
                             "/empty"}) {
        EXPECT_FALSE(Fetch(path)) << path;
        EXPECT_TRUE(TargetUntouched()) << path;
    }
    // The host is asked for the bytes as they are, without a content coding.
    const std::string asked = server.LastRequest("/gzip");
    EXPECT_NE(asked.find("Accept-Encoding: identity\r\n"), std::string::npos) << asked;
    EXPECT_EQ(asked.find("\nAccept-Encoding: gzip"), std::string::npos) << asked;
    // The loop was followed a few times, then given up, also in the background.
    const int hits = server.Hits("/loop");
    EXPECT_GE(hits, 2);
    EXPECT_LE(hits, 20);
    Sleep(300);
    EXPECT_EQ(server.Hits("/loop"), hits);

    // A redirect to a whole answer is followed, relative or absolute, by
    // any of the five codes; a loop of 308s ends after 8 hops.
    Reply moved;
    moved.status = 302;
    moved.location = "/there";
    server.Set("/here", moved);
    moved.status = 301;
    const CString here = server.Url("/here");
    moved.location = WideToMultiByte(here.GetString(), here.GetLength(), CP_UTF8);
    server.Set("/far", moved);
    moved.status = 303;
    moved.location = "/far";
    server.Set("/303", moved);
    moved.status = 307;
    moved.location = "/303";
    server.Set("/307", moved);
    moved.status = 308;
    moved.location = "/307";
    server.Set("/308", moved);
    Reply there;
    there.body = whole;
    server.Set("/there", there);
    ASSERT_TRUE(Fetch("/308")) << std::hex << last;
    EXPECT_TRUE(GetFile(target) == whole);
    EXPECT_EQ(server.Hits("/there"), 1);
    moved.location = "/308-loop";
    server.Set("/308-loop", moved);
    EXPECT_EQ(RunDownload(server.Url("/308-loop"), target, nullptr, false), E_DOWNLOAD_REDIRECTS);
    EXPECT_EQ(server.Hits("/308-loop"), 9);
}

// Answers without a length (closed after the body, chunked, compressed
// although not asked for) count for a caller that checks the file itself,
// and only when the file passes: cut ones, an empty one and one declaring a
// length of nothing leave the target as it was.
TEST_F(DownloadTest, WithoutALengthTheFileMustProveItselfWhole)
{
    static std::string expected;
    expected = Body(300000);
    const WholeFileCheck sameAsSent = [](const wchar_t* path) { return GetFile(path) == expected; };
    Reply close;
    close.body = expected;
    close.sendLength = false;
    server.Set("/close", close);
    close.cutAt = 149500;
    server.Set("/close-cut", close);
    Reply chunked = close;
    chunked.cutAt = std::string::npos;
    chunked.body = Chunked(expected, 10000);
    chunked.extraHeaders = "Transfer-Encoding: chunked\r\n";
    server.Set("/chunked", chunked);
    chunked.cutAt = chunked.body.size() - 20;
    server.Set("/chunked-cut", chunked);
    Reply gzip;
    gzip.body = testzip::Deflate(expected, 6, 15 + 16);
    gzip.extraHeaders = "Content-Encoding: gzip\r\n";
    server.Set("/gzip", gzip);
    Reply empty;
    empty.sendLength = false;
    server.Set("/empty", empty);
    empty.sendLength = true;
    server.Set("/zero", empty);

    for (const char* path : {"/close", "/chunked", "/gzip"}) {
        ASSERT_TRUE(PutFile(target, "the good old file"));
        EXPECT_EQ(RunDownload(server.Url(path), target, nullptr, false, 0, sameAsSent), S_OK) << path;
        EXPECT_TRUE(GetFile(target) == expected) << path;
        EXPECT_FALSE(PathExists(target + L".part")) << path;
    }
    ASSERT_TRUE(PutFile(target, "the good old file"));
    for (const char* path : {"/close-cut", "/chunked-cut", "/empty", "/zero"}) {
        EXPECT_TRUE(FAILED(RunDownload(server.Url(path), target, nullptr, false, 0, sameAsSent))) << path;
        EXPECT_TRUE(TargetUntouched()) << path;
    }
    EXPECT_EQ(RunDownload(server.Url("/close-cut"), target, nullptr, false, 0, sameAsSent), E_DOWNLOAD_CUT);
    // Without a check nothing of the kind counts, and the user is told why.
    EXPECT_EQ(RunDownload(server.Url("/close"), target, nullptr, false), E_DOWNLOAD_UNCHECKED);
    EXPECT_TRUE(TargetUntouched());
    EXPECT_GE(CString(DownloadFailureText(E_DOWNLOAD_UNCHECKED)).Find(L"长度"), 0);
}

// An answer without a length is refused at once, one longer than the fetch's
// bound is not taken, and a cancel ends a download at once; nothing of them
// stays.
TEST_F(DownloadTest, EndlessAnswersAreBounded)
{
    Reply endless;
    endless.body = Body(64 * 1024);
    endless.endlessBytes = 512u << 20;
    server.Set("/endless", endless);
    last = RunDownload(server.Url("/endless"), target, nullptr, false, 4u << 20);
    EXPECT_EQ(last, E_DOWNLOAD_UNCHECKED);
    EXPECT_TRUE(TargetUntouched());
    EXPECT_LT(server.Sent("/endless"), 64u << 20);
    endless.declaredLength = endless.endlessBytes;
    server.Set("/long", endless);
    last = RunDownload(server.Url("/long"), target, nullptr, false, 4u << 20);
    EXPECT_EQ(last, E_DOWNLOAD_TOO_BIG);
    EXPECT_TRUE(TargetUntouched());
    EXPECT_LT(server.Sent("/long"), 64u << 20);

    Recorder seen;
    CCallback sink;
    sink.pDialog = &seen;
    DWORD cancelledAt = 0;
    Ticker ticker([&] {
        if (!cancelledAt && !seen.texts.empty()) {
            cancelledAt = GetTickCount();
            CancelDownload();
        }
    });
    EXPECT_FALSE(Fetch("/long", &sink));
    EXPECT_EQ(last, E_ABORT);
    ASSERT_NE(cancelledAt, 0u);
    EXPECT_LT(GetTickCount() - cancelledAt, 1000u);
    EXPECT_TRUE(TargetUntouched());
    // Nothing is read after the cancel: the host stops once the
    // connection's buffers are full.
    Sleep(500);
    const size_t sent = server.Sent("/long");
    Sleep(300);
    EXPECT_EQ(server.Sent("/long"), sent);
    EXPECT_LT(sent, 128u << 20);

}

// Threads of this process now.
int ThreadCount()
{
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {sizeof(entry)};
    int n = 0;
    for (BOOL more = Thread32First(snap, &entry); more; more = Thread32Next(snap, &entry))
        n += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snap);
    return n;
}

// Ten cancels in a row against a host that floods header lines without end:
// the transport stops reading each one (the host sees nothing more taken)
// and no thread stays behind. A flood that arrives whole holds the worker
// inside the transport for seconds after its cancel: while it runs, no
// other transfer starts: a download waiting its turn is cancelled like any
// other, one that may not wait is refused at once, and a good host's
// download works once it ended. In the end the process has at most one
// thread more than before.
TEST_F(DownloadTest, TenCancelsLeaveAtMostOneTransferBehind)
{
    // Cancelling is measured in the bench (about 1 s for a worker held in
    // the transport, a few ms otherwise); a busy machine may take longer.
    const DWORD kCancelBound = 5000;
    SetDownloadStallLimit(600000);
    const int before = ThreadCount();
    Reply endless = testhttp::HeldInHeaders(1u << 30);
    endless.trickleDelayMs = 100;
    server.Set("/endless-headers", endless);
    for (int round = 0; round < 10; ++round) {
        const int asked = server.Hits("/endless-headers");
        DWORD askedAt = 0, cancelledAt = 0;
        Ticker cancel([&] {
            if (!askedAt && server.Hits("/endless-headers") > asked)
                askedAt = GetTickCount();
            if (askedAt && !cancelledAt && GetTickCount() - askedAt > 300) {
                cancelledAt = GetTickCount();
                CancelDownload();
            }
        });
        EXPECT_EQ(RunDownload(server.Url("/endless-headers"), target, nullptr, true), E_ABORT) << round;
        ASSERT_NE(cancelledAt, 0u) << round;
        EXPECT_LT(GetTickCount() - cancelledAt, kCancelBound) << round;
        EXPECT_TRUE(TargetUntouched()) << round;
    }
    Sleep(300);
    const size_t taken = server.Taken("/endless-headers");
    Sleep(500);
    EXPECT_EQ(server.Taken("/endless-headers"), taken);

    const Reply held = testhttp::HeldInHeaders();
    server.Set("/headers", held);
    {
        DWORD sentAt = 0, cancelledAt = 0;
        Ticker cancel([&] {
            if (!sentAt && server.Taken("/headers") >= held.headerFloodBytes)
                sentAt = GetTickCount();
            // By then the header lines have arrived and are being taken apart.
            if (sentAt && !cancelledAt && GetTickCount() - sentAt > 300) {
                cancelledAt = GetTickCount();
                CancelDownload();
            }
        });
        EXPECT_EQ(RunDownload(server.Url("/headers"), target, nullptr, true), E_ABORT);
        ASSERT_NE(cancelledAt, 0u);
        EXPECT_LT(GetTickCount() - cancelledAt, kCancelBound);
        EXPECT_TRUE(TargetUntouched());
    }
    {
        Ticker cancel([] { CancelDownload(); });
        EXPECT_EQ(RunDownload(server.Url("/headers"), target, nullptr, true), E_ABORT);
    }
    for (int round = 0; round < 8; ++round)
        EXPECT_EQ(RunDownload(server.Url("/headers"), target, nullptr, false), E_DOWNLOAD_LEFTOVER) << round;
    EXPECT_EQ(server.Hits("/headers"), 1);
    EXPECT_TRUE(TargetUntouched());

    Reply whole;
    whole.body = Body(1000);
    server.Set("/whole", whole);
    ASSERT_EQ(RunDownload(server.Url("/whole"), target, nullptr, true), S_OK);
    EXPECT_TRUE(GetFile(target) == whole.body);
    for (int waited = 0; ThreadCount() > before + 1 && waited < 200; ++waited)
        Sleep(100);
    EXPECT_LE(ThreadCount(), before + 1);
}

TEST_F(DownloadTest, StalledTransfersAreCancelled)
{
    Reply stall;
    stall.body = Body(100000);
    stall.stallAt = 5000;
    server.Set("/stall", stall);
    Reply mute;
    mute.stallBeforeHeaders = true;
    server.Set("/mute", mute);

    // Cancelled by the user once some data arrived.
    {
        Recorder seen;
        CCallback sink;
        sink.pDialog = &seen;
        Ticker ticker([&] {
            if (!seen.texts.empty())
                CancelDownload();
        });
        const DWORD start = GetTickCount();
        EXPECT_FALSE(Fetch("/stall", &sink));
        EXPECT_EQ(hrDownload, E_ABORT);
        EXPECT_FALSE(seen.texts.empty());
        EXPECT_LT(GetTickCount() - start, 2000u);
        EXPECT_TRUE(TargetUntouched());
    }

    // No answer at all: the stall limit ends it.
    SetDownloadStallLimit(300);
    const DWORD start = GetTickCount();
    EXPECT_FALSE(Fetch("/mute"));
    EXPECT_EQ(hrDownload, E_DOWNLOAD_STALLED);
    EXPECT_LT(GetTickCount() - start, 2000u);
    EXPECT_TRUE(TargetUntouched());
}

TEST_F(DownloadTest, TrickleShowsProgressWhileMessagesFlow)
{
    Reply slow;
    slow.body = Body(2000);
    slow.trickleBytes = 100;
    slow.trickleDelayMs = 15;
    server.Set("/slow", slow);
    Recorder seen;
    CCallback sink;
    sink.pDialog = &seen;
    Ticker ticker;
    ASSERT_TRUE(Fetch("/slow", &sink));
    EXPECT_TRUE(GetFile(target) == slow.body);
    // The wait went on dispatching this thread's messages.
    EXPECT_GE(Ticker::Count(), 5);
    ASSERT_GE(seen.percents.size(), 5u);
    for (size_t i = 1; i < seen.percents.size(); ++i)
        EXPECT_GE(seen.percents[i], seen.percents[i - 1]);
    EXPECT_EQ(seen.percents.back(), 100);
    EXPECT_EQ(seen.texts.back().Find(L"Downloaded "), 0);
    EXPECT_GE(seen.texts.back().Find(L" of "), 0);

    // A second download asked for meanwhile is refused and leaves the request alone.
    HRESULT second = S_OK;
    CString targetDuring;
    Ticker again([&] {
        if (second == S_OK) {
            const CString other = target + L".other";
            second = RunDownload(server.Url("/slow"), other, nullptr, false);
            targetDuring = strDownloadTarget;
        }
    });
    ASSERT_TRUE(Fetch("/slow"));
    EXPECT_EQ(second, E_DOWNLOAD_BUSY);
    EXPECT_EQ(targetDuring, target);
}

TEST_F(DownloadTest, QuitDuringTheWaitCancelsAndIsPostedAgain)
{
    Reply slow;
    slow.body = Body(5000);
    slow.trickleBytes = 100;
    slow.trickleDelayMs = 20;
    server.Set("/slow", slow);
    Ticker quit([] {
        if (Ticker::Count() == 3)
            PostQuitMessage(7);
    });
    EXPECT_FALSE(Fetch("/slow"));
    EXPECT_EQ(hrDownload, E_ABORT);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(DownloadTest, ClosedDownloadsStartNothing)
{
    Reply r;
    r.body = "x";
    server.Set("/x", r);
    CloseDownloads();
    EXPECT_FALSE(Fetch("/x"));
    EXPECT_EQ(server.Hits("/x"), 0);
    ReopenDownloads();
    EXPECT_TRUE(Fetch("/x"));
}

// The moniker's callback object driven in the orders a moniker may call it:
// a redirect is taken from whichever report comes first, none of its answer
// reaches the file, and calls that come after the worker let go change
// nothing (the object lives while the moniker holds it).
TEST(DownloadBinding, RedirectsHoweverReportedAndLateCallbacks)
{
    testfiles::TempFolder folder{L"回调"};
    const CString part = folder.Sub(L"书包.zip.part");
    CDownloadJob* job = new CDownloadJob(part, 1u << 20, E_DOWNLOAD_TOO_BIG);
    auto data = [](const char* bytes) {
        IStream* stream = nullptr;
        CreateStreamOnHGlobal(nullptr, TRUE, &stream);
        stream->Write(bytes, (ULONG)strlen(bytes), nullptr);
        const LARGE_INTEGER start = {};
        stream->Seek(start, STREAM_SEEK_SET, nullptr);
        STGMEDIUM medium = {};
        medium.tymed = TYMED_ISTREAM;
        medium.pstm = stream;
        return medium;
    };
    auto feed = [&](CDownloadBinding* b, const char* bytes) {
        STGMEDIUM medium = data(bytes);
        const HRESULT hr = b->OnDataAvailable(BSCF_LASTDATANOTIFICATION, 3, nullptr, &medium);
        medium.pstm->Release();
        return hr;
    };
    const wchar_t* moved = L"HTTP/1.1 308 Permanent Redirect\r\nLocation: /next\r\nContent-Length: 3\r\n\r\n";
    const wchar_t* ok = L"HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n";
    struct Order {
        const char* name;
        std::function<void(CDownloadBinding*)> calls;
        HRESULT outcome;
        const wchar_t* location;
    };
    const std::vector<Order> orders = {
        {"redirect callback, then the stop", [](CDownloadBinding* b) {
             VARIANT_BOOL cancel = VARIANT_FALSE;
             b->Redirect(L"http://host/a", &cancel);
             EXPECT_EQ(cancel, VARIANT_TRUE);
             b->OnStopBinding(INET_E_REDIRECT_FAILED, L"http://host/a");
         }, INET_E_REDIRECT_FAILED, L"http://host/a"},
        {"3xx through OnResponse, its body, a good stop", [&](CDownloadBinding* b) {
             b->OnResponse(308, moved, nullptr, nullptr);
             feed(b, "abc");
             b->OnStopBinding(S_OK, nullptr);
         }, INET_E_REDIRECT_FAILED, L"/next"},
        {"BINDSTATUS_REDIRECTING, then an abort", [](CDownloadBinding* b) {
             EXPECT_EQ(b->OnProgress(0, 0, BINDSTATUS_REDIRECTING, L"http://host/b"), E_ABORT);
             b->OnResponse(200, L"HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n", nullptr, nullptr);
             b->OnStopBinding(E_ABORT, nullptr);
         }, INET_E_REDIRECT_FAILED, L"http://host/b"},
        {"the stop code alone", [](CDownloadBinding* b) {
             b->OnStopBinding(INET_E_REDIRECT_FAILED, L"http://host/c");
         }, INET_E_REDIRECT_FAILED, L"http://host/c"},
        {"3xx without an address", [&](CDownloadBinding* b) {
             b->OnResponse(302, ok, nullptr, nullptr);
             b->OnStopBinding(S_OK, nullptr);
         }, E_DOWNLOAD_HTTP, L""},
        {"a whole 200", [&](CDownloadBinding* b) {
             b->OnResponse(200, ok, nullptr, nullptr);
             EXPECT_EQ(feed(b, "abc"), S_OK);
             b->OnStopBinding(S_OK, nullptr);
         }, S_OK, L""},
    };
    for (const Order& order : orders) {
        DeleteFileW(part);
        CDownloadBinding* b = new CDownloadBinding(job);
        order.calls(b);
        EXPECT_EQ(b->Outcome(), order.outcome) << order.name;
        EXPECT_STREQ(b->RedirectTarget(), order.location) << order.name;
        EXPECT_EQ(GetFile(part), order.outcome == S_OK ? "abc" : "") << order.name;
        b->Detach();
        b->Release();
    }
    EXPECT_EQ(job->CloseFile(), S_OK);

    // The moniker still holds it when the worker lets go.
    DeleteFileW(part);
    CDownloadBinding* b = new CDownloadBinding(job);
    b->AddRef();
    b->OnResponse(200, ok, nullptr, nullptr);
    b->Detach();
    EXPECT_EQ(b->Release(), 1u);
    EXPECT_EQ(feed(b, "abc"), E_ABORT);
    EXPECT_EQ(b->OnProgress(3, 3, BINDSTATUS_ENDDOWNLOADDATA, nullptr), E_ABORT);
    EXPECT_EQ(b->OnStopBinding(S_OK, nullptr), S_OK);
    EXPECT_EQ(b->Release(), 0u);
    EXPECT_EQ(GetFileAttributesW(part), INVALID_FILE_ATTRIBUTES);
    job->Release();
}

TEST(DownloadProgress, Texts)
{
    CString text;
    int percent = -1;
    FormatDownloadProgress(1000, 0, text, percent);
    EXPECT_EQ(percent, 0);
    EXPECT_EQ(text.Find(L"Downloaded "), 0);
    EXPECT_GE(text.Find(L"(total size unknown)"), 0);
    FormatDownloadProgress(199, 200, text, percent);
    EXPECT_EQ(percent, 99);
    FormatDownloadProgress(200, 200, text, percent);
    EXPECT_EQ(percent, 100);
    FormatDownloadProgress(3000000000u, 4000000000u, text, percent);
    EXPECT_EQ(percent, 75);
}


} // namespace

