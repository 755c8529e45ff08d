#include <winsock2.h>
#include <ws2tcpip.h>

#include "download/DownloadBinding.h"

#include <shlwapi.h>

#include <cwchar>
#include <cwctype>
#include <algorithm>

namespace {

// Progress goes to the caller at most this often (ms).
const DWORD kProgressEvery = 20;
// How long an aborted request may take to say it stopped (ms).
const DWORD kAbortGrace = 800;

bool IsRedirectStatus(DWORD code)
{
    return code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
}

} // namespace

bool FindHeader(const wchar_t* headers, const wchar_t* name, CString& value)
{
    if (!headers)
        return false;
    const size_t length = wcslen(name);
    // Header lines follow the status line; each starts after a line end.
    for (const wchar_t* line = wcschr(headers, L'\n'); line; line = wcschr(line, L'\n')) {
        ++line;
        if (_wcsnicmp(line, name, length) != 0 || line[length] != L':')
            continue;
        const wchar_t* p = line + length + 1;
        while (*p == L' ' || *p == L'\t')
            ++p;
        const wchar_t* end = p;
        while (*end && *end != L'\r' && *end != L'\n')
            ++end;
        while (end > p && (end[-1] == L' ' || end[-1] == L'\t'))
            --end;
        value = CString(p, (int)(end - p));
        return true;
    }
    return false;
}

int DropConnectionsTo(const CString& url)
{
    wchar_t part[32] = {};
    DWORD size = 32;
    int port = 0;
    if (SUCCEEDED(UrlGetPartW(url, part, &size, URL_PART_PORT, 0)) && part[0])
        port = _wtoi(part);
    size = 32;
    if (!port && SUCCEEDED(UrlGetPartW(url, part, &size, URL_PART_SCHEME, 0)))
        port = _wcsicmp(part, L"https") == 0 ? 443 : 80;
    WSADATA wsa;
    if (port <= 0 || port > 0xFFFF || WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
        return 0;
    // The transport's sockets are handles of this process: every connected
    // stream socket whose far end is that port (handles are given out
    // lowest first, so they lie below a bound of the handle count).
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    const ULONG_PTR bound = std::max<ULONG_PTR>(0x10000, (ULONG_PTR)handles * 16);
    int dropped = 0;
    for (ULONG_PTR h = 4; h < bound; h += 4) {
        int type = 0, length = sizeof(type);
        if (getsockopt((SOCKET)h, SOL_SOCKET, SO_TYPE, (char*)&type, &length) != 0 || type != SOCK_STREAM)
            continue;
        sockaddr_storage peer = {};
        int peerLength = sizeof(peer);
        if (getpeername((SOCKET)h, (sockaddr*)&peer, &peerLength) != 0)
            continue;
        const u_short farPort = peer.ss_family == AF_INET6 ? ((sockaddr_in6*)&peer)->sin6_port
                                                       : ((sockaddr_in*)&peer)->sin_port;
        if (ntohs(farPort) == port && shutdown((SOCKET)h, SD_BOTH) == 0)
            ++dropped;
    }
    WSACleanup();
    return dropped;
}

// ---------------------------------------------------------------- the job

CDownloadJob::CDownloadJob(const CString& part, ULONGLONG limit, HRESULT overLimit, WholeFileCheck check)
    : m_strPart(part), m_nLimit(limit), m_hrOverLimit(overLimit), m_check(check),
      m_hCancel(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_hProgress(CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
    InitializeCriticalSection(&m_lock);
    Touch();
}

CDownloadJob::~CDownloadJob()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        CloseHandle(m_hFile);
    CloseHandle(m_hCancel);
    CloseHandle(m_hProgress);
    DeleteCriticalSection(&m_lock);
}

void CDownloadJob::Release()
{
    if (InterlockedDecrement(&m_nRefs) == 0)
        delete this;
}

void CDownloadJob::Cancel()
{
    // One field, so no reader sees a cancel without its time.
    const DWORD now = GetTickCount();
    InterlockedCompareExchange(&m_nCancelledAt, (LONG)(now ? now : 1), 0);
    SetEvent(m_hCancel);
}

DWORD CDownloadJob::CancelledFor() const
{
    const DWORD at = (DWORD)m_nCancelledAt;
    return at ? GetTickCount() - at : 0;
}

HRESULT CDownloadJob::Write(const void* data, ULONG size)
{
    HRESULT hr = S_OK;
    EnterCriticalSection(&m_lock);
    if (m_bAbandoned) {
        hr = E_ABORT;
    } else {
        if (m_hFile == INVALID_HANDLE_VALUE)
            m_hFile = CreateFileW(m_strPart, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        if (m_hFile == INVALID_HANDLE_VALUE || !WriteFile(m_hFile, data, size, &written, nullptr) || written != size)
            hr = HRESULT_FROM_WIN32(GetLastError());
    }
    LeaveCriticalSection(&m_lock);
    return hr;
}

void CDownloadJob::Restart()
{
    EnterCriticalSection(&m_lock);
    if (m_hFile != INVALID_HANDLE_VALUE) {
        SetFilePointer(m_hFile, 0, nullptr, FILE_BEGIN);
        SetEndOfFile(m_hFile);
    }
    LeaveCriticalSection(&m_lock);
}

HRESULT CDownloadJob::CloseFile()
{
    HRESULT hr = S_OK;
    EnterCriticalSection(&m_lock);
    if (m_hFile != INVALID_HANDLE_VALUE) {
        if (!FlushFileBuffers(m_hFile))
            hr = HRESULT_FROM_WIN32(GetLastError());
        CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
    LeaveCriticalSection(&m_lock);
    return hr;
}

void CDownloadJob::Abandon()
{
    EnterCriticalSection(&m_lock);
    m_bAbandoned = true;
    if (m_hFile != INVALID_HANDLE_VALUE) {
        CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
    DeleteFileW(m_strPart);
    LeaveCriticalSection(&m_lock);
}

void CDownloadJob::SetProgress(ULONGLONG received, ULONGLONG declared)
{
    EnterCriticalSection(&m_lock);
    m_nShownReceived = received;
    m_nShownDeclared = declared;
    LeaveCriticalSection(&m_lock);
    SetEvent(m_hProgress);
}

void CDownloadJob::GetProgress(ULONGLONG& received, ULONGLONG& declared)
{
    EnterCriticalSection(&m_lock);
    received = m_nShownReceived;
    declared = m_nShownDeclared;
    LeaveCriticalSection(&m_lock);
}

// ---------------------------------------------------------------- the callback object

CDownloadBinding::CDownloadBinding(CDownloadJob* job)
    : m_pJob(job), m_nShownAt(GetTickCount() - kProgressEvery)
{
    m_pJob->AddRef();
}

CDownloadBinding::~CDownloadBinding()
{
    Detach();
}

void CDownloadBinding::Detach()
{
    if (m_pStream)
        m_pStream->Release();
    m_pStream = nullptr;
    if (m_pBinding)
        m_pBinding->Release();
    m_pBinding = nullptr;
    if (m_pJob)
        m_pJob->Release();
    m_pJob = nullptr;
}

STDMETHODIMP CDownloadBinding::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IBindStatusCallback)
        *ppv = static_cast<IBindStatusCallback*>(this);
    else if (riid == IID_IHttpNegotiate)
        *ppv = static_cast<IHttpNegotiate*>(this);
    else if (riid == IID_IServiceProvider)
        *ppv = static_cast<IServiceProvider*>(this);
    else if (riid == IID_IBindCallbackRedirect)
        *ppv = static_cast<IBindCallbackRedirect*>(this);
    else
        *ppv = nullptr;
    if (!*ppv)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CDownloadBinding::AddRef()
{
    return (ULONG)InterlockedIncrement(&m_nRefs);
}

STDMETHODIMP_(ULONG) CDownloadBinding::Release()
{
    const LONG refs = InterlockedDecrement(&m_nRefs);
    if (refs == 0)
        delete this;
    return (ULONG)refs;
}

STDMETHODIMP CDownloadBinding::QueryService(REFGUID service, REFIID riid, void** ppv)
{
    if (service == IID_IBindCallbackRedirect || service == IID_IHttpNegotiate)
        return QueryInterface(riid, ppv);
    if (ppv)
        *ppv = nullptr;
    return E_NOINTERFACE;
}

void CDownloadBinding::Fail(HRESULT hr)
{
    if (m_hrFail == S_OK)
        m_hrFail = hr;
}

// The first address given is the one followed; nothing of this answer is kept.
void CDownloadBinding::TakeRedirect(const wchar_t* url)
{
    if (!m_pJob || m_bRedirect || m_hrFail != S_OK)
        return;
    if (!url || !*url) {
        Fail(E_DOWNLOAD_HTTP);
        return;
    }
    m_strLocation = url;
    m_bRedirect = true;
}

STDMETHODIMP CDownloadBinding::Redirect(LPCWSTR url, VARIANT_BOOL* cancel)
{
    if (m_pJob)
        m_pJob->Touch();
    TakeRedirect(url);
    if (cancel)
        *cancel = VARIANT_TRUE;
    return S_OK;
}

STDMETHODIMP CDownloadBinding::OnStartBinding(DWORD, IBinding* pib)
{
    if (!m_pJob)
        return E_ABORT;
    if (pib && !m_pBinding) {
        pib->AddRef();
        m_pBinding = pib;
    }
    m_pJob->Touch();
    return S_OK;
}

STDMETHODIMP CDownloadBinding::OnProgress(ULONG, ULONG, ULONG status, LPCWSTR text)
{
    if (!m_pJob)
        return E_ABORT;
    m_pJob->Touch();
    // The moniker follows a redirect by itself: this request ends and the
    // address is asked for anew, counted like any other.
    if (status == BINDSTATUS_REDIRECTING)
        TakeRedirect(text);
    return Active() ? S_OK : E_ABORT;
}

STDMETHODIMP CDownloadBinding::OnStopBinding(HRESULT hr, LPCWSTR text)
{
    if (!m_pJob)
        return S_OK;
    if (hr == INET_E_REDIRECT_FAILED)
        TakeRedirect(text);
    if (SUCCEEDED(hr))
        Pull();
    m_hrStop = hr;
    m_bStopped = true;
    return S_OK;
}

STDMETHODIMP CDownloadBinding::GetBindInfo(DWORD* flags, BINDINFO* info)
{
    // Asynchronous with the data pulled: the only way the moniker keeps no
    // file of its own. Always from the server, never into the cache;
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

STDMETHODIMP CDownloadBinding::OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM* medium)
{
    if (!m_pJob)
        return E_ABORT;
    m_pJob->Touch();
    if (!m_pStream && medium && medium->tymed == TYMED_ISTREAM && medium->pstm) {
        m_pStream = medium->pstm;
        m_pStream->AddRef();
    }
    Pull();
    return Active() ? S_OK : E_ABORT;
}

STDMETHODIMP CDownloadBinding::BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* extra)
{
    // No content coding, so the declared length is that of the bytes that
    // arrive. Wine's moniker appends its own "Accept-Encoding: gzip, deflate"
    // line after ours, and the last one would win: the open last line takes
    // it in as a value of no meaning.
    static const wchar_t kIdentity[] = L"Accept-Encoding: identity\r\nX-Moniker-Default: none; ";
    if (extra) {
        *extra = (LPWSTR)CoTaskMemAlloc(sizeof(kIdentity));
        if (*extra)
            memcpy(*extra, kIdentity, sizeof(kIdentity));
    }
    return Active() ? S_OK : E_ABORT;
}

STDMETHODIMP CDownloadBinding::OnResponse(DWORD code, LPCWSTR headers, LPCWSTR, LPWSTR* extra)
{
    if (extra)
        *extra = nullptr;
    if (!m_pJob)
        return S_OK;
    m_pJob->Touch();
    m_report.nHttpStatus = code;
    CString value;
    if (FindHeader(headers, L"Content-Length", value) && !value.IsEmpty() &&
        value.SpanIncluding(L"0123456789") == value && value.GetLength() <= 18)
        m_report.nDeclared = _wcstoui64(value, nullptr, 10);
    if (IsRedirectStatus(code)) {
        CString location;
        TakeRedirect(FindHeader(headers, L"Location", location) ? location.GetString() : nullptr);
        return S_OK;
    }
    // A coding between the server and the bytes leaves no length of the
    // bytes that arrive.
    if ((FindHeader(headers, L"Transfer-Encoding", value) && value.CompareNoCase(L"identity") != 0) ||
        (FindHeader(headers, L"Content-Encoding", value) && value.CompareNoCase(L"identity") != 0))
        m_report.nDeclared = ~0ULL;
    // Only a 200 whose end can be checked is taken: a declared length with
    // something in it and no more than the bound, or none when the caller
    // checks the file itself.
    if (code != 200)
        Fail(E_DOWNLOAD_HTTP);
    else if (m_report.nDeclared == 0 || (m_report.nDeclared == ~0ULL && !m_pJob->m_check))
        Fail(E_DOWNLOAD_UNCHECKED);
    else if (m_report.nDeclared != ~0ULL && m_report.nDeclared > m_pJob->m_nLimit)
        Fail(m_pJob->m_hrOverLimit);
    return S_OK;
}

// Takes what the stream holds into the file, up to the bound.
void CDownloadBinding::Pull()
{
    if (!m_pStream || !Active())
        return;
    if (m_report.nHttpStatus != 200) {
        Fail(E_DOWNLOAD_HTTP);
        return;
    }
    static thread_local char buffer[64 * 1024];
    for (;;) {
        ULONG got = 0;
        const HRESULT hr = m_pStream->Read(buffer, sizeof(buffer), &got);
        if (got > 0) {
            if (m_report.nReceived + got > m_pJob->m_nLimit || m_report.nReceived + got > m_report.nDeclared) {
                Fail(m_report.nReceived + got > m_pJob->m_nLimit ? m_pJob->m_hrOverLimit : E_DOWNLOAD_SHORT);
                return;
            }
            const HRESULT written = m_pJob->Write(buffer, got);
            if (FAILED(written)) {
                Fail(written);
                return;
            }
            m_report.nReceived += got;
            m_pJob->Touch();
            const DWORD now = GetTickCount();
            if (now - m_nShownAt >= kProgressEvery) {
                m_nShownAt = now;
                m_pJob->SetProgress(m_report.nReceived, m_report.nDeclared);
            }
        }
        if (hr != S_OK || got == 0 || !Active())
            break;
    }
}

void CDownloadBinding::Run(const CString& url)
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
        // The moniker talks to this thread through its messages.
        const HANDLE cancel = m_pJob->CancelEvent();
        bool aborted = false;
        DWORD abortedAt = 0;
        while (SUCCEEDED(hr) && !m_bStopped) {
            MsgWaitForMultipleObjects(1, &cancel, FALSE, 50, QS_ALLINPUT);
            MSG msg;
            while (!m_bStopped && Active() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            if (m_bStopped)
                break;
            if (!Active() && !aborted) {
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
        if (FAILED(hr))
            Fail(hr);
        RevokeBindStatusCallback(context, this);
        // Given up (not merely sent elsewhere and stopped): whatever the
        // transport still reads of it is cut off.
        if (aborted && (!m_bRedirect || !m_bStopped))
            DropConnectionsTo(url);
    } else {
        Fail(hr);
    }
    if (context)
        context->Release();
    if (moniker)
        moniker->Release();
}

HRESULT CDownloadBinding::Outcome() const
{
    if (!m_pJob || m_pJob->IsCancelled())
        return E_ABORT;
    if (m_bRedirect)
        return INET_E_REDIRECT_FAILED;
    if (m_hrFail != S_OK)
        return m_hrFail;
    if (!m_bStopped)
        return E_ABORT;
    if (FAILED(m_hrStop))
        return m_hrStop;
    if (m_report.nHttpStatus != 200)
        return E_DOWNLOAD_HTTP;
    if (m_report.nDeclared == ~0ULL)
        return m_pJob->m_check && m_report.nReceived > 0 ? S_OK : E_DOWNLOAD_UNCHECKED;
    if (m_report.nDeclared == 0)
        return E_DOWNLOAD_UNCHECKED;
    if (m_report.nReceived != m_report.nDeclared)
        return E_DOWNLOAD_SHORT;
    return S_OK;
}
