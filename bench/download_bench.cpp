// Download figures against a host started here: a large file, cancels
// (a transfer with a length, one held inside the transport by header lines
// it takes apart for seconds, one flooded with header lines), what the host
// sees taken after a cancel, and closing the program during a pack download
// and during the start-up check.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "app/ImportApp.h"
#include "app/MainFrm.h"
#include "bench/BenchUtil.h"
#include "download/DownloadWorker.h"
#include "download/UpdateList.h"
#include "download/WebUpdatePrjDlg.h"
#include "framework/FileUtil.h"
#include "res/resource.h"
#include "tests/download/ZipWriter.h"
#include "tests/support/HttpServer.h"
#include "tests/support/Ticker.h"

namespace {

using testhttp::Reply;

// Cancels the download once the host was asked for path and delayMs more
// passed; the time from the cancel until the download returned (ms).
double CancelAfterAsked(testhttp::HttpServer& server, const char* path, const CString& target, DWORD delayMs)
{
    const int asked = server.Hits(path);
    double askedAt = 0, cancelledAt = 0;
    testhttp::Ticker cancel([&] {
        if (!askedAt && server.Hits(path) > asked)
            askedAt = BenchNowMs();
        if (askedAt && !cancelledAt && BenchNowMs() - askedAt >= delayMs) {
            cancelledAt = BenchNowMs();
            CancelDownload();
        }
    });
    RunDownload(server.Url(path), target, nullptr, true);
    return cancelledAt ? BenchNowMs() - cancelledAt : -1;
}

void WorkerFigures(testhttp::HttpServer& server, const CString& folder)
{
    const CString target = folder + L"\\file.bin";
    Reply large;
    large.body = std::string(32u << 20, 'x');
    server.Set("/large", large);
    BenchReport("download_32mb", BestOf(3, [&] { RunDownload(server.Url("/large"), target, nullptr, true); }), "ms");

    Reply slow;
    slow.body = std::string(1u << 20, 's');
    slow.trickleBytes = 4096;
    slow.trickleDelayMs = 10;
    server.Set("/slow", slow);
    double best = 1e30;
    for (int i = 0; i < 3; ++i)
        best = std::min(best, CancelAfterAsked(server, "/slow", target, 100));
    BenchReport("download_cancel_with_length", best, "ms");

    // Header lines that arrive whole and hold the worker inside the
    // transport: the cancel, then how long until the next download could
    // start (the transport lets go of the worker only then).
    server.Set("/held", testhttp::HeldInHeaders());
    BenchReport("download_cancel_held_in_headers", CancelAfterAsked(server, "/held", target, 300), "ms");
    Reply small;
    small.body = "small";
    server.Set("/small", small);
    const double t0 = BenchNowMs();
    RunDownload(server.Url("/small"), target, nullptr, true);
    BenchReport("download_next_after_held_in_headers", BenchNowMs() - t0, "ms");

    // A flood of header lines still arriving: the cancel, and what the host
    // sees taken in the second after it.
    server.Set("/flood", testhttp::HeldInHeaders(64u << 20));
    BenchReport("download_cancel_flooded_with_headers", CancelAfterAsked(server, "/flood", target, 300), "ms");
    const size_t taken = server.Taken("/flood");
    Sleep(1000);
    BenchReport("download_taken_in_the_second_after_a_cancel", (server.Taken("/flood") - taken) / 1024.0, "KiB");
    DeleteFileW(target);
}

// The program started with the host, its start-up check over when wait.
CMainFrame* StartWithHost(testhttp::HttpServer& server, const CString& program)
{
    RemoveFolderTree(program);
    CreateFolderTree(program + L"\\control");
    CreateFolderTree(program + L"\\藏书库");
    const CString ini = program + L"\\control\\preSet.ini";
    WritePrivateProfileStringW(L"Version", L"Version", L"1.0", ini);
    WritePrivateProfileStringW(kUpdateHostSection, kUpdateHostKey, server.Base(), ini);
    return BenchStartProgram(program, "download bench");
}

void PumpFor(double ms)
{
    const double t0 = BenchNowMs();
    while (BenchNowMs() - t0 < ms) {
        BenchPump();
        Sleep(5);
    }
}

// Closes the program while the pack window downloads a pack the host holds
// (asked, then delayMs): ms until the main window is gone.
double ClosePackDownload(testhttp::HttpServer& server, const CString& program, const Reply& pack, DWORD delayMs)
{
    Reply list;
    list.body = "1.0-2014\r\nhttp://pan.example/s/1\r\n1-pack.zip\r\n";
    server.Set("/down/TempUpdate.txt", list);
    server.Set("/down/pack.zip", pack);
    CMainFrame* frame = StartWithHost(server, program);
    if (!frame)
        return -1;
    WaitForSingleObject(hUpdateDoneEvent, 10000);
    frame->SendMessage(WM_COMMAND, ID_UPDATE_CHECK);
    CCWebUpdatePrjDlg* dlg = frame->m_pWebUpdateDlg;
    const HWND frameWnd = frame->m_hWnd;
    // The download's own wait runs this thread's messages: the close comes
    // from another thread.
    std::atomic<double> closedAt{0};
    if (dlg) {
        const int asked = server.Hits("/down/pack.zip");
        std::thread closer([&] {
            for (int i = 0; i < 1000 && server.Hits("/down/pack.zip") == asked; ++i)
                Sleep(10);
            Sleep(delayMs);
            closedAt = BenchNowMs();
            PostMessageW(frameWnd, WM_CLOSE, 0, 0);
        });
        dlg->m_listPacks.SetCurSel(1);
        dlg->m_btnDownload.PostMessage(BM_CLICK);
        const double start = BenchNowMs();
        while (IsWindow(frameWnd) && BenchNowMs() - start < 60000) {
            BenchPump();
            Sleep(1);
        }
        closer.join();
    }
    const double ms = closedAt && !IsWindow(frameWnd) ? BenchNowMs() - closedAt : -1;
    theApp.ExitInstance();
    BenchStopProgram(nullptr, program);
    return ms;
}

// Closes the program while its start-up check waits for a list the host
// holds (asked, then delayMs): ms the close takes.
double CloseDuringCheck(testhttp::HttpServer& server, const CString& program, const Reply& list, DWORD delayMs)
{
    server.Set("/down/TempUpdate.txt", list);
    const int asked = server.Hits("/down/TempUpdate.txt");
    CMainFrame* frame = StartWithHost(server, program);
    if (!frame)
        return -1;
    const double start = BenchNowMs();
    while (server.Hits("/down/TempUpdate.txt") == asked && BenchNowMs() - start < 10000)
        PumpFor(5);
    PumpFor(delayMs);
    const double t0 = BenchNowMs();
    BenchStopProgram(frame, program);
    return BenchNowMs() - t0;
}

// Waits for a download left inside the transport, so the next figure
// starts clean.
void LetGo(testhttp::HttpServer& server, const CString& folder)
{
    ReopenDownloads();
    RunDownload(server.Url("/small"), folder + L"\\small.bin", nullptr, true);
    DeleteFileW(folder + L"\\small.bin");
}

} // namespace

void RunDownloadBench()
{
    testhttp::HttpServer server;
    if (!server.Running()) {
        fprintf(stderr, "download bench: no local host\n");
        return;
    }
    const CString folder = BenchTempFolder(L"lumivell_download_bench");
    RemoveFolderTree(folder);
    CreateFolderTree(folder);
    // An earlier bench may have ended the program, which closes downloads.
    ReopenDownloads();
    SetDownloadStallLimit(600000);
    WorkerFigures(server, folder);

    const CString program = folder + L"\\program";
    Reply stalled;
    stalled.body = std::string(100000, 'x');
    stalled.stallAt = 3000;
    BenchReport("download_close_pack_stalled", ClosePackDownload(server, program, stalled, 300), "ms");
    LetGo(server, folder);
    BenchReport("download_close_pack_held_in_headers",
                ClosePackDownload(server, program, testhttp::HeldInHeaders(), 1000), "ms");
    LetGo(server, folder);
    Reply mute;
    mute.stallBeforeHeaders = true;
    BenchReport("download_close_check_mute", CloseDuringCheck(server, program, mute, 300), "ms");
    LetGo(server, folder);
    BenchReport("download_close_check_held_in_headers",
                CloseDuringCheck(server, program, testhttp::HeldInHeaders(), 1000), "ms");
    LetGo(server, folder);
    SetDownloadStallLimit(60000);
    RemoveFolderTree(folder);
}
