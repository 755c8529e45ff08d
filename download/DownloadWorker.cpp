#include "download/DownloadWorker.h"

#include <process.h>
#include <shlwapi.h>

#include <cwchar>

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
CRITICAL_SECTION g_bindingLock;
IBinding* g_pBinding = nullptr;     // the running transfer, for cancelling

struct LockInit {
    LockInit() { InitializeCriticalSection(&g_bindingLock); }
} g_lockInit;

void Touch()
{
    InterlockedExchange(&g_lastActivity, (LONG)GetTickCount());
}

// The callback urlmon talks to: records the server's answer, offers the
// cancel, and passes progress on to the caller's sink.
class CDownloadBinding : public IBindStatusCallback, public IHttpNegotiate {
public:
    explicit CDownloadBinding(IBindStatusCallback* sink, const CString& target) : m_pSink(sink), m_strTarget(target) {}

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
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the worker's stack for the whole transfer.
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP OnStartBinding(DWORD, IBinding* pib) override
    {
        if (pib) {
            EnterCriticalSection(&g_bindingLock);
            pib->AddRef();
            g_pBinding = pib;
            LeaveCriticalSection(&g_bindingLock);
        }
        Touch();
        return g_cancel ? E_ABORT : S_OK;
    }
    STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnLowResource(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP OnProgress(ULONG done, ULONG total, ULONG status, LPCWSTR text) override
    {
        Touch();
        if (g_cancel)
            return E_ABORT;
        if (status == BINDSTATUS_DOWNLOADINGDATA || status == BINDSTATUS_ENDDOWNLOADDATA ||
            status == BINDSTATUS_BEGINDOWNLOADDATA)
            downloadReport.nReceived = done;
        if (m_pSink) {
            try {
                m_pSink->OnProgress(done, total, status, text);
            } catch (...) {
            }
        }
        return g_cancel ? E_ABORT : S_OK;
    }
    STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) override
    {
        EnterCriticalSection(&g_bindingLock);
        IBinding* b = g_pBinding;
        g_pBinding = nullptr;
        LeaveCriticalSection(&g_bindingLock);
        if (b)
            b->Release();
        return S_OK;
    }
    STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO* info) override
    {
        // Always from the server: a stale list or pack from a cache is no answer.
        if (flags)
            *flags |= BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE | BINDF_PRAGMA_NO_CACHE;
        (void)info;
        return S_OK;
    }
    STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
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
        // A declared size beyond the free disk is not even started.
        if (downloadReport.nDeclared != ~0ULL && downloadReport.nDeclared > FreeDiskBytes(m_strTarget)) {
            m_bNoRoom = true;
            return E_ABORT;
        }
        return g_cancel ? E_ABORT : S_OK;
    }

    bool m_bNoRoom = false;

private:
    static ULONGLONG DeclaredLength(LPCWSTR headers)
    {
        if (!headers)
            return ~0ULL;
        CString all(headers);
        CString lower = all;
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

    IBindStatusCallback* m_pSink;
    CString m_strTarget;
};

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

unsigned __stdcall DownloadThreadProc(void* sink)
{
    bDownloadDone = 0;
    try {
        const CString target = strDownloadTarget;
        const CString part = target + L".part";
        downloadReport = DownloadReport();
        DeleteFileW(part);
        const HRESULT coInit = CoInitialize(nullptr);
        CDownloadBinding binding((IBindStatusCallback*)sink, target);
        HRESULT hr = g_cancel ? E_ABORT : URLDownloadToFileW(nullptr, strDownloadUrl, part, 0, &binding);
        if (SUCCEEDED(coInit))
            CoUninitialize();

        // Judge what arrived: only a whole answer of the server counts.
        const ULONGLONG size = FileSize(part);
        if (g_cancel)
            hr = g_stalled ? E_DOWNLOAD_STALLED : E_ABORT;
        else if (binding.m_bNoRoom)
            hr = E_DOWNLOAD_DISK;
        else if (SUCCEEDED(hr) && (downloadReport.nHttpStatus < 200 || downloadReport.nHttpStatus > 299))
            hr = E_DOWNLOAD_HTTP;
        else if (SUCCEEDED(hr) && (size == ~0ULL || (downloadReport.nDeclared != ~0ULL && size != downloadReport.nDeclared)))
            hr = E_DOWNLOAD_SHORT;
        if (SUCCEEDED(hr)) {
            downloadReport.nReceived = size;
            if (!MoveFileExW(part, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                hr = HRESULT_FROM_WIN32(GetLastError());
        }
        if (FAILED(hr))
            DeleteFileW(part);
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

HRESULT RunDownload(const CString& url, const CString& target, IBindStatusCallback* sink, bool bWaitTurn)
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
    InterlockedExchange(&g_cancel, 1);
    // A stalled transfer calls nothing back: abort the binding itself.
    EnterCriticalSection(&g_bindingLock);
    IBinding* b = g_pBinding;
    if (b)
        b->AddRef();
    LeaveCriticalSection(&g_bindingLock);
    if (b) {
        b->Abort();
        b->Release();
    }
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
