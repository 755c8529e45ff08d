#include "download/DownloadWorker.h"

#include <process.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwchar>

#include "download/UpdateList.h"
#include "download/ZipArchive.h"
#include "framework/FileUtil.h"

CString strDownloadUrl;
CString strDownloadTarget;
HRESULT hrDownload = S_OK;
int bDownloadDone = 0;
DownloadReport downloadReport;

namespace {

volatile LONG g_busy = 0;           // the request is taken
volatile LONG g_closed = 0;         // the program is ending: no new downloads
volatile LONG g_stallLimit = 60000;
volatile DWORD g_callerThread = 0;  // the thread waiting for the running download
// The worker of the last download given up inside the transport, while it
// may still run; only the download that holds the request touches it.
HANDLE g_leftover = nullptr;

// The running download's job, for a cancel from any thread.
struct RunningJob {
    CRITICAL_SECTION lock;
    CDownloadJob* job = nullptr;
    RunningJob() { InitializeCriticalSection(&lock); }
};
RunningJob& Running()
{
    static RunningJob running;
    return running;
}

const int kMaxRedirects = 8;
// A worker that has not ended this long after a cancel is left behind (ms).
const DWORD kAbandonAfter = 1000;

// The whole download into the job's file, redirects followed a few times,
// to web addresses only.
HRESULT FetchInto(CDownloadJob* job, CString url)
{
    for (int redirects = 0;; ++redirects) {
        CDownloadBinding* binding = new CDownloadBinding(job);
        binding->Run(url);
        const HRESULT hr = binding->Outcome();
        const CString next = binding->RedirectTarget();
        job->m_report = binding->Report();
        // The moniker may still hold it: it only lets go of everything here.
        binding->Detach();
        binding->Release();
        if (hr != INET_E_REDIRECT_FAILED)
            return hr;
        if (redirects >= kMaxRedirects)
            return E_DOWNLOAD_REDIRECTS;
        wchar_t combined[2084];
        DWORD size = 2084;
        if (FAILED(UrlCombineW(url, next, combined, &size, 0)) || !IsWebAddress(combined))
            return E_DOWNLOAD_HTTP;
        url = combined;
        job->Restart();
    }
}

// The worker's thread: owns one reference of the job.
unsigned __stdcall DownloadThreadProc(void* arg)
{
    CDownloadJob* job = (CDownloadJob*)arg;
    try {
        const HRESULT coInit = CoInitialize(nullptr);
        const HRESULT hr = job->IsCancelled() ? E_ABORT : FetchInto(job, job->m_strUrl);
        if (SUCCEEDED(coInit))
            CoUninitialize();
        job->m_hrResult = hr;
    } catch (...) {
        job->m_hrResult = E_UNEXPECTED;
    }
    job->Release();
    return 0;
}

ULONGLONG FileSize(const wchar_t* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data))
        return ~0ULL;
    return ((ULONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

void ShowProgress(IBindStatusCallback* sink, ULONGLONG received, ULONGLONG declared)
{
    if (!sink)
        return;
    const ULONG done = (ULONG)std::min<ULONGLONG>(received, 0xFFFFFFFFull);
    const ULONG total = declared == ~0ULL ? 0 : (ULONG)std::min<ULONGLONG>(declared, 0xFFFFFFFFull);
    try {
        sink->OnProgress(done, total, BINDSTATUS_DOWNLOADINGDATA, nullptr);
    } catch (...) {
    }
}

// Blocks until the worker ended, dispatching every message meanwhile and
// showing its progress. False when the worker was left behind: cancelled
// (on request or after too long a silence, then bStalled) and still running
// abandonAfter ms later.
bool WaitForWorker(HANDLE hThread, CDownloadJob* job, IBindStatusCallback* sink, bool& bStalled,
                   DWORD abandonAfter = kAbandonAfter)
{
    auto givenUp = [&] { return job->IsCancelled() && job->CancelledFor() >= abandonAfter; };
    bool bQuit = false;
    WPARAM quitCode = 0;
    bool bEnded = false;
    const HANDLE handles[2] = {hThread, job->ProgressEvent()};
    for (;;) {
        const DWORD r = MsgWaitForMultipleObjectsEx(2, handles, 50, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (r == WAIT_OBJECT_0) {
            bEnded = true;
            break;
        }
        if (r == WAIT_OBJECT_0 + 1) {
            ULONGLONG received = 0, declared = 0;
            job->GetProgress(received, declared);
            ShowProgress(sink, received, declared);
        } else if (r == WAIT_OBJECT_0 + 2) {
            MSG msg;
            while (!bEnded && !givenUp() && PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
                const bool bUnicode = msg.hwnd == nullptr || IsWindowUnicode(msg.hwnd);
                const BOOL got = bUnicode ? GetMessageW(&msg, nullptr, 0, 0) : GetMessageA(&msg, nullptr, 0, 0);
                if (got > 0) {
                    TranslateMessage(&msg);
                    if (bUnicode)
                        DispatchMessageW(&msg);
                    else
                        DispatchMessageA(&msg);
                } else if (got == 0) {
                    // The program is ending: stop the transfer, keep the quit for later.
                    bQuit = true;
                    quitCode = msg.wParam;
                    job->Cancel();
                }
                bEnded = WaitForSingleObject(hThread, 0) == WAIT_OBJECT_0;
            }
            if (bEnded)
                break;
        } else if (r != WAIT_TIMEOUT) {
            job->Cancel();
            bEnded = WaitForSingleObject(hThread, kAbandonAfter) == WAIT_OBJECT_0;
            break;
        }
        // Nothing came for too long: the download is stopped.
        if (!job->IsCancelled() && job->QuietFor() > (DWORD)g_stallLimit) {
            bStalled = true;
            job->Cancel();
        }
        if (givenUp()) {
            bEnded = WaitForSingleObject(hThread, 0) == WAIT_OBJECT_0;
            break;
        }
    }
    if (bQuit)
        PostQuitMessage((int)quitCode);
    return bEnded;
}

// At most one worker given up inside the transport costs the machine: a
// new download waits for it to end (cancelable like the download) or, when
// it may not wait, refuses. S_OK when the way is clear.
HRESULT WaitForLeftover(CDownloadJob* job, bool bWaitTurn, bool& bStalled)
{
    if (!g_leftover)
        return S_OK;
    const bool ended = WaitForSingleObject(g_leftover, 0) == WAIT_OBJECT_0 ||
                       (bWaitTurn && !job->IsCancelled() && WaitForWorker(g_leftover, job, nullptr, bStalled, 0));
    if (ended) {
        CloseHandle(g_leftover);
        g_leftover = nullptr;
    }
    if (job->IsCancelled())
        return bStalled ? E_DOWNLOAD_STALLED : E_ABORT;
    return ended ? S_OK : E_DOWNLOAD_LEFTOVER;
}

} // namespace

const wchar_t* DownloadFailureText(HRESULT hr)
{
    switch (hr) {
    case E_DOWNLOAD_UNCHECKED:
        return L"下载失败：服务器没有给出文件长度，无法确认下载完整";
    case E_DOWNLOAD_LEFTOVER:
        return L"上一个下载还在停止中，请稍后再试";
    case E_DOWNLOAD_BUSY:
        return L"正在下载其他文件，请稍后再试";
    default:
        return L"下载失败";
    }
}

void FormatDownloadProgress(ULONG done, ULONG total, CString& text, int& percent)
{
    wchar_t szDone[256] = {}, szTotal[256] = {}, message[256] = {};
    StrFormatByteSizeW((LONGLONG)done, szDone, 256);
    StrFormatByteSizeW((LONGLONG)total, szTotal, 256);
    if (total == 0) {
        wsprintfW(message, L"Downloaded %s (total size unknown)", szDone);
        percent = 0;
    } else {
        wsprintfW(message, L"Downloaded %s of %s", szDone, szTotal);
        percent = (int)((double)done * 100.0 / (double)total);
    }
    text = message;
}

STDMETHODIMP CCallback::QueryInterface(REFIID, void** ppv)
{
    if (ppv)
        *ppv = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CCallback::OnProgress(ULONG ulProgress, ULONG ulProgressMax, ULONG, LPCWSTR)
{
    CString text;
    int percent = 0;
    FormatDownloadProgress(ulProgress, ulProgressMax, text, percent);
    if (pDialog)
        pDialog->ShowProgress(text, percent);
    return S_OK;
}

STDMETHODIMP CCallback::OnStopBinding(HRESULT hr, LPCWSTR)
{
    if (FAILED(hr) && pDialog)
        pDialog->ShowProgress(DownloadFailureText(hr), 0);
    return S_OK;
}

HRESULT RunDownload(const CString& url, const CString& target, IBindStatusCallback* sink, bool bWaitTurn,
                    ULONGLONG maxBytes, WholeFileCheck check)
{
    for (;;) {
        if (g_closed)
            return E_ABORT;
        if (InterlockedCompareExchange(&g_busy, 1, 0) == 0)
            break;
        if (!bWaitTurn)
            return E_DOWNLOAD_BUSY;
        Sleep(20);
    }
    HRESULT hr = E_FAIL;
    DownloadReport report;
    try {
        // The bound: what the caller allows, else the free disk less a margin.
        ULONGLONG limit = maxBytes;
        HRESULT overLimit = E_DOWNLOAD_TOO_BIG;
        if (limit == 0) {
            limit = RoomOnDisk(target);
            overLimit = E_DOWNLOAD_DISK;
        }
        const CString part = target + L".part";
        CDownloadJob* job = new CDownloadJob(part, limit, overLimit, check);
        job->m_strUrl = url;
        EnterCriticalSection(&Running().lock);
        Running().job = job;
        LeaveCriticalSection(&Running().lock);
        if (g_closed)
            job->Cancel();
        g_callerThread = GetCurrentThreadId();
        strDownloadUrl = url;
        strDownloadTarget = target;
        bDownloadDone = 0;
        hrDownload = E_FAIL;
        downloadReport = DownloadReport();

        bool bStalled = false;
        const HRESULT turn = WaitForLeftover(job, bWaitTurn, bStalled);
        HANDLE hThread = nullptr;
        if (FAILED(turn)) {
            hr = turn;
        } else {
            job->AddRef();
            hThread = (HANDLE)_beginthreadex(nullptr, 0, DownloadThreadProc, job, 0, nullptr);
            if (!hThread)
                job->Release();
        }
        if (hThread) {
            if (WaitForWorker(hThread, job, sink, bStalled)) {
                // The answer was judged by the worker; the file must hold all of it.
                hr = job->m_hrResult;
                report = job->m_report;
                const HRESULT closed = job->CloseFile();
                if (SUCCEEDED(hr) && FAILED(closed))
                    hr = closed;
                if (job->IsCancelled())
                    hr = bStalled ? E_DOWNLOAD_STALLED : E_ABORT;
                else if (SUCCEEDED(hr) && FileSize(part) != report.nReceived)
                    hr = E_DOWNLOAD_SHORT;
                // Without a length only the file itself can tell it is whole.
                if (SUCCEEDED(hr) && report.nDeclared == ~0ULL && !(check && check(part)))
                    hr = E_DOWNLOAD_CUT;
                if (SUCCEEDED(hr)) {
                    ShowProgress(sink, report.nReceived, report.nDeclared);
                    if (!MoveFileExW(part, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                        hr = HRESULT_FROM_WIN32(GetLastError());
                }
                if (FAILED(hr))
                    DeleteFileW(part);
                bDownloadDone = 1;
                CloseHandle(hThread);
            } else {
                // Stuck inside the transport: it is not waited for. Its file
                // goes now; when it returns it finds the job given up. The
                // next download waits for it.
                job->Abandon();
                hr = bStalled ? E_DOWNLOAD_STALLED : E_ABORT;
                g_leftover = hThread;
            }
        }
        EnterCriticalSection(&Running().lock);
        Running().job = nullptr;
        LeaveCriticalSection(&Running().lock);
        job->Release();
    } catch (...) {
        hr = E_UNEXPECTED;
    }
    if (FAILED(hr) && sink) {
        try {
            sink->OnStopBinding(hr, nullptr);
        } catch (...) {
        }
    }
    hrDownload = hr;
    downloadReport = report;
    g_callerThread = 0;
    InterlockedExchange(&g_busy, 0);
    return hr;
}

bool IsDownloadRunning()
{
    return g_busy != 0;
}

bool CancelDownloadOfThisThread()
{
    if (!g_busy || g_callerThread != GetCurrentThreadId())
        return false;
    CancelDownload();
    return true;
}

void CancelDownload()
{
    // The worker aborts its transfer on its own thread.
    EnterCriticalSection(&Running().lock);
    if (Running().job)
        Running().job->Cancel();
    LeaveCriticalSection(&Running().lock);
}

void CloseDownloads()
{
    InterlockedExchange(&g_closed, 1);
    if (g_busy)
        CancelDownload();
}

void ReopenDownloads()
{
    InterlockedExchange(&g_closed, 0);
}

bool AreDownloadsClosed()
{
    return InterlockedCompareExchange(&g_closed, 0, 0) != 0;
}

void SetDownloadStallLimit(DWORD ms)
{
    InterlockedExchange(&g_stallLimit, (LONG)ms);
}
