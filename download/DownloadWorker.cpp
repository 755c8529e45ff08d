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
volatile LONG g_cancel = 0;         // the running download is to stop
volatile LONG g_stalled = 0;        // ... because nothing came for too long
volatile LONG g_lastActivity = 0;   // tick of the last sign of life
volatile LONG g_stallLimit = 60000;
volatile DWORD g_callerThread = 0;  // the thread waiting for the running download
ULONGLONG g_maxBytes = 0;           // the running request's bound, 0: the disk's
HANDLE g_cancelEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);

const int kMaxRedirects = 8;
// Progress goes to the sink at most this often (ms), besides the last.
const DWORD kProgressEvery = 20;
// How long an aborted transfer may take to say it stopped (ms).
const DWORD kAbortGrace = 800;

void Touch()
{
    InterlockedExchange(&g_lastActivity, (LONG)GetTickCount());
}

ULONGLONG DeclaredLength(LPCWSTR headers)
{
    if (!headers)
        return ~0ULL;
    CString lower(headers);
    lower.MakeLower();
    int at = lower.Find(L"\ncontent-length:");
    if (at < 0)
        return ~0ULL;
    const wchar_t* p = lower.GetString() + at + 16;
    while (*p == L' ' || *p == L'\t')
        ++p;
    if (*p < L'0' || *p > L'9')
        return ~0ULL;
    ULONGLONG v = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p)
        v = v * 10 + (ULONGLONG)(*p - L'0');
    return v;
}

// One request of a download: binds a URL moniker to a stream without the
// URL cache (asynchronous, the data pulled here) and writes what a 200
// answer brings into the open file. Runs on the worker's thread, which
// pumps the moniker's messages. A redirect ends the request with the new
// address in m_strLocation (followed, or not, by FetchInto).
class CDownloadBinding : public IBindStatusCallback,
                         public IHttpNegotiate,
                         public IServiceProvider,
                         public IBindCallbackRedirect {
public:
    CDownloadBinding(IBindStatusCallback* sink, HANDLE file, ULONGLONG limit, HRESULT overLimit)
        : m_pSink(sink), m_hFile(file), m_nLimit(limit), m_hrOverLimit(overLimit)
    {
    }

    HRESULT Run(const CString& url);
    CString m_strLocation;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IBindStatusCallback) {
            *ppv = static_cast<IBindStatusCallback*>(this);
            return S_OK;
        }
        if (riid == IID_IHttpNegotiate) {
            *ppv = static_cast<IHttpNegotiate*>(this);
            return S_OK;
        }
        if (riid == IID_IServiceProvider) {
            *ppv = static_cast<IServiceProvider*>(this);
            return S_OK;
        }
        if (riid == IID_IBindCallbackRedirect) {
            *ppv = static_cast<IBindCallbackRedirect*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP QueryService(REFGUID service, REFIID riid, void** ppv) override
    {
        if (service == IID_IBindCallbackRedirect || service == IID_IHttpNegotiate)
            return QueryInterface(riid, ppv);
        if (ppv)
            *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP Redirect(LPCWSTR url, VARIANT_BOOL* cancel) override
    {
        Touch();
        if (url)
            m_strLocation = url;
        if (cancel)
            *cancel = VARIANT_TRUE;
        return S_OK;
    }
    // Lives on the worker's stack for the whole request.
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP OnStartBinding(DWORD, IBinding* pib) override
    {
        if (pib && !m_pBinding) {
            pib->AddRef();
            m_pBinding = pib;
        }
        Touch();
        return S_OK;
    }
    STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnLowResource(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP OnProgress(ULONG, ULONG, ULONG, LPCWSTR) override
    {
        Touch();
        return g_cancel ? E_ABORT : S_OK;
    }
    STDMETHODIMP OnStopBinding(HRESULT hr, LPCWSTR text) override
    {
        if (hr == INET_E_REDIRECT_FAILED && text && m_strLocation.IsEmpty())
            m_strLocation = text;
        if (SUCCEEDED(hr) && m_hrFail == S_OK)
            Pull();
        m_hrResult = hr;
        m_bStopped = true;
        return S_OK;
    }
    STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO* info) override
    {
        // Asynchronous with the data pulled: the only way the moniker keeps
        // no file of its own. Always from the server, never into the cache;
        // redirects come back here to be counted.
        if (flags)
            *flags = BINDF_ASYNCHRONOUS | BINDF_ASYNCSTORAGE | BINDF_PULLDATA | BINDF_GETNEWESTVERSION |
                     BINDF_NOWRITECACHE | BINDF_PRAGMA_NO_CACHE | BINDF_NO_UI | BINDF_SILENTOPERATION;
        if (info && info->cbSize >= sizeof(BINDINFO)) {
            const ULONG size = info->cbSize;
            ZeroMemory(info, size);
            info->cbSize = size;
            info->dwBindVerb = BINDVERB_GET;
            info->dwOptions = BINDINFO_OPTIONS_DISABLEAUTOREDIRECTS;
        }
        return S_OK;
    }
    STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM* medium) override
    {
        Touch();
        if (!m_pStream && medium && medium->tymed == TYMED_ISTREAM && medium->pstm) {
            m_pStream = medium->pstm;
            m_pStream->AddRef();
        }
        Pull();
        return S_OK;
    }
    STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

    STDMETHODIMP BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* extra) override
    {
        if (extra)
            *extra = nullptr;
        return g_cancel ? E_ABORT : S_OK;
    }
    STDMETHODIMP OnResponse(DWORD code, LPCWSTR headers, LPCWSTR, LPWSTR* extra) override
    {
        if (extra)
            *extra = nullptr;
        Touch();
        downloadReport.nHttpStatus = code;
        downloadReport.nDeclared = DeclaredLength(headers);
        // Only a whole 200 answer is taken; a declared size beyond the
        // bound is not even started.
        if (code != 200)
            Fail(E_DOWNLOAD_HTTP);
        else if (downloadReport.nDeclared != ~0ULL && downloadReport.nDeclared > m_nLimit)
            Fail(m_hrOverLimit);
        return S_OK;
    }

private:
    void Fail(HRESULT hr)
    {
        if (m_hrFail == S_OK)
            m_hrFail = hr;
    }
    // Takes what the stream holds into the file, up to the bound.
    void Pull()
    {
        if (!m_pStream || m_hrFail != S_OK || g_cancel)
            return;
        if (downloadReport.nHttpStatus != 200) {
            Fail(E_DOWNLOAD_HTTP);
            return;
        }
        static thread_local char buffer[64 * 1024];
        for (;;) {
            ULONG got = 0;
            const HRESULT hr = m_pStream->Read(buffer, sizeof(buffer), &got);
            if (got > 0) {
                if (downloadReport.nReceived + got > m_nLimit) {
                    Fail(m_hrOverLimit);
                    return;
                }
                DWORD written = 0;
                if (!WriteFile(m_hFile, buffer, got, &written, nullptr) || written != got) {
                    Fail(HRESULT_FROM_WIN32(GetLastError()));
                    return;
                }
                downloadReport.nReceived += got;
                Touch();
                const DWORD now = GetTickCount();
                if (m_pSink && now - m_nShownAt >= kProgressEvery) {
                    m_nShownAt = now;
                    ShowProgress(m_pSink);
                }
            }
            if (hr != S_OK || got == 0 || g_cancel)
                break;
        }
    }

    IBindStatusCallback* m_pSink;
    HANDLE m_hFile;
    ULONGLONG m_nLimit;
    HRESULT m_hrOverLimit;
    IBinding* m_pBinding = nullptr;
    IStream* m_pStream = nullptr;
    HRESULT m_hrFail = S_OK;        // why this request is given up
    HRESULT m_hrResult = E_FAIL;
    bool m_bStopped = false;
    DWORD m_nShownAt = GetTickCount() - kProgressEvery;

public:
    // The bytes of the answer taken so far, as progress.
    static void ShowProgress(IBindStatusCallback* sink)
    {
        if (!sink)
            return;
        const ULONGLONG declared = downloadReport.nDeclared;
        const ULONG done = (ULONG)std::min<ULONGLONG>(downloadReport.nReceived, 0xFFFFFFFFull);
        const ULONG total = declared == ~0ULL ? 0 : (ULONG)std::min<ULONGLONG>(declared, 0xFFFFFFFFull);
        try {
            sink->OnProgress(done, total, BINDSTATUS_DOWNLOADINGDATA, nullptr);
        } catch (...) {
        }
    }
};

HRESULT CDownloadBinding::Run(const CString& url)
{
    IMoniker* moniker = nullptr;
    IBindCtx* context = nullptr;
    HRESULT hr = CreateURLMonikerEx(nullptr, url, &moniker, URL_MK_UNIFORM);
    if (SUCCEEDED(hr))
        hr = CreateBindCtx(0, &context);
    if (SUCCEEDED(hr))
        hr = RegisterBindStatusCallback(context, this, nullptr, 0);
    if (SUCCEEDED(hr)) {
        IStream* stream = nullptr;
        hr = moniker->BindToStorage(context, nullptr, IID_IStream, (void**)&stream);
        if (stream)
            stream->Release();
        if (SUCCEEDED(hr)) {
            // The moniker talks to this thread through its messages.
            bool aborted = false;
            DWORD abortedAt = 0;
            while (!m_bStopped) {
                MsgWaitForMultipleObjects(1, &g_cancelEvent, FALSE, 50, QS_ALLINPUT);
                MSG msg;
                while (!m_bStopped && !g_cancel && m_hrFail == S_OK && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
                if (m_bStopped)
                    break;
                if ((g_cancel || m_hrFail != S_OK) && !aborted) {
                    aborted = true;
                    abortedAt = GetTickCount();
                    if (m_pBinding)
                        m_pBinding->Abort();
                    // Its last messages, without taking any more data.
                    while (!m_bStopped && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                        TranslateMessage(&msg);
                        DispatchMessageW(&msg);
                    }
                }
                if (aborted && GetTickCount() - abortedAt > kAbortGrace)
                    break;
            }
            hr = m_bStopped ? m_hrResult : E_ABORT;
        }
        RevokeBindStatusCallback(context, this);
    }
    if (m_pStream)
        m_pStream->Release();
    m_pStream = nullptr;
    if (m_pBinding)
        m_pBinding->Release();
    m_pBinding = nullptr;
    if (context)
        context->Release();
    if (moniker)
        moniker->Release();
    if (m_hrFail != S_OK)
        return m_hrFail;
    if (SUCCEEDED(hr) && downloadReport.nHttpStatus != 200)
        return E_DOWNLOAD_HTTP;
    return hr;
}

// The whole download into the open file, redirects followed a few times,
// to web addresses only.
HRESULT FetchInto(CString url, HANDLE file, IBindStatusCallback* sink, ULONGLONG limit, HRESULT overLimit)
{
    for (int redirects = 0;; ++redirects) {
        CDownloadBinding binding(sink, file, limit, overLimit);
        const HRESULT hr = binding.Run(url);
        if (binding.m_strLocation.IsEmpty() || g_cancel || hr != INET_E_REDIRECT_FAILED)
            return hr;
        if (redirects >= kMaxRedirects)
            return E_DOWNLOAD_REDIRECTS;
        wchar_t next[2084];
        DWORD size = 2084;
        if (FAILED(UrlCombineW(url, binding.m_strLocation, next, &size, 0)) || !IsWebAddress(next))
            return E_DOWNLOAD_HTTP;
        url = next;
        downloadReport = DownloadReport();
        SetFilePointer(file, 0, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
    }
}

ULONGLONG FileSize(const wchar_t* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data))
        return ~0ULL;
    return ((ULONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

// Stops a download that has shown no sign of life for too long.
void CheckStall()
{
    if (!g_busy || g_cancel)
        return;
    const DWORD quiet = GetTickCount() - (DWORD)g_lastActivity;
    if (quiet > (DWORD)g_stallLimit) {
        InterlockedExchange(&g_stalled, 1);
        CancelDownload();
    }
}

} // namespace

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
        pDialog->ShowProgress(L"下载失败", 0);
    return S_OK;
}

unsigned __stdcall DownloadThreadProc(void* sink)
{
    bDownloadDone = 0;
    try {
        const CString target = strDownloadTarget;
        const CString part = target + L".part";
        downloadReport = DownloadReport();
        // The bound: what the caller allows, else the free disk less a margin.
        ULONGLONG limit = g_maxBytes;
        HRESULT overLimit = E_DOWNLOAD_TOO_BIG;
        if (limit == 0) {
            limit = RoomOnDisk(target);
            overLimit = E_DOWNLOAD_DISK;
        }
        HRESULT hr = E_ABORT;
        HANDLE file = CreateFileW(part, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            hr = HRESULT_FROM_WIN32(GetLastError());
        } else {
            const HRESULT coInit = CoInitialize(nullptr);
            if (!g_cancel)
                hr = FetchInto(strDownloadUrl, file, (IBindStatusCallback*)sink, limit, overLimit);
            if (SUCCEEDED(coInit))
                CoUninitialize();
            if (!FlushFileBuffers(file) && SUCCEEDED(hr))
                hr = HRESULT_FROM_WIN32(GetLastError());
            CloseHandle(file);
        }

        // Judge what arrived: only a whole 200 answer of the server counts.
        const ULONGLONG size = FileSize(part);
        if (g_cancel)
            hr = g_stalled ? E_DOWNLOAD_STALLED : E_ABORT;
        else if (SUCCEEDED(hr) && downloadReport.nHttpStatus != 200)
            hr = E_DOWNLOAD_HTTP;
        else if (SUCCEEDED(hr) && (size == ~0ULL || size != downloadReport.nReceived ||
                                   (downloadReport.nDeclared != ~0ULL && size != downloadReport.nDeclared)))
            hr = E_DOWNLOAD_SHORT;
        if (SUCCEEDED(hr)) {
            CDownloadBinding::ShowProgress((IBindStatusCallback*)sink);
            if (!MoveFileExW(part, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                hr = HRESULT_FROM_WIN32(GetLastError());
        }
        if (FAILED(hr)) {
            DeleteFileW(part);
            if (sink)
                ((IBindStatusCallback*)sink)->OnStopBinding(hr, nullptr);
        }
        hrDownload = hr;
    } catch (...) {
        hrDownload = E_UNEXPECTED;
    }
    bDownloadDone = 1;
    return 0;
}

void WaitThreadPumpingMessages(HANDLE hThread)
{
    bool bQuit = false;
    WPARAM quitCode = 0;
    for (;;) {
        // Wakes for input, and now and then to look for a stalled transfer.
        const DWORD r = MsgWaitForMultipleObjectsEx(1, &hThread, 250, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (r == WAIT_OBJECT_0)
            break;
        if (r == WAIT_TIMEOUT) {
            CheckStall();
            continue;
        }
        if (r != WAIT_OBJECT_0 + 1)
            break;
        bool bEnded = false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
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
                CancelDownload();
            }
            if (WaitForSingleObject(hThread, 0) == WAIT_OBJECT_0) {
                bEnded = true;
                break;
            }
        }
        if (bEnded)
            break;
        CheckStall();
    }
    if (bQuit)
        PostQuitMessage((int)quitCode);
}

HRESULT RunDownload(const CString& url, const CString& target, IBindStatusCallback* sink, bool bWaitTurn,
                    ULONGLONG maxBytes)
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
    if (g_closed) {
        InterlockedExchange(&g_busy, 0);
        return E_ABORT;
    }
    InterlockedExchange(&g_cancel, 0);
    InterlockedExchange(&g_stalled, 0);
    ResetEvent(g_cancelEvent);
    g_maxBytes = maxBytes;
    g_callerThread = GetCurrentThreadId();
    Touch();
    strDownloadUrl = url;
    strDownloadTarget = target;
    bDownloadDone = 0;
    hrDownload = E_FAIL;
    HANDLE hThread = (HANDLE)_beginthreadex(nullptr, 0, DownloadThreadProc, sink, 0, nullptr);
    if (hThread) {
        WaitThreadPumpingMessages(hThread);
        // The wait ends early only when it failed; the request stays taken
        // until the worker is really gone.
        WaitForSingleObject(hThread, INFINITE);
        CloseHandle(hThread);
    }
    const HRESULT hr = !hThread ? E_FAIL : !bDownloadDone ? E_FAIL : hrDownload;
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
    InterlockedExchange(&g_cancel, 1);
    SetEvent(g_cancelEvent);
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
