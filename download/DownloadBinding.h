// One download as its three parties see it: the caller that waits, the
// worker thread that runs the transfer, and the URL moniker's callback object
// of each request. The job outlives a worker left behind inside the
// transport; the callback object outlives every reference the moniker holds.
// No windows.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include "framework/CString.h"

// What the server said in a download.
struct DownloadReport {
    DWORD nHttpStatus = 0;              // 0: no answer
    ULONGLONG nReceived = 0;            // bytes that arrived
    ULONGLONG nDeclared = ~0ULL;        // Content-Length, ~0 when none
};

// Failure codes of a judged download besides the transfer's own.
const HRESULT E_DOWNLOAD_HTTP = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0301);     // status not 200
const HRESULT E_DOWNLOAD_SHORT = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0302);    // length not met
const HRESULT E_DOWNLOAD_BUSY = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0303);     // another one runs
const HRESULT E_DOWNLOAD_DISK = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0304);     // no room for it
const HRESULT E_DOWNLOAD_STALLED = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0305);  // nothing came for too long
const HRESULT E_DOWNLOAD_TOO_BIG = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0306);  // more than the fetch may take
const HRESULT E_DOWNLOAD_REDIRECTS = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0307); // redirected too often
// No declared length, a content or transfer coding (the end of such an
// answer cannot be told from a cut), or a length of nothing.
const HRESULT E_DOWNLOAD_UNCHECKED = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0308);
// Came without a length and the file does not prove itself whole.
const HRESULT E_DOWNLOAD_CUT = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0309);
// An earlier download given up inside the transport is still being stopped.
const HRESULT E_DOWNLOAD_LEFTOVER = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x030A);
// A download cancelled on request (CancelDownload, the end of the program) ends as E_ABORT.

// How a file that came without a declared length (or with a coding) may
// still count: it proves itself whole. True when it does.
typedef bool (*WholeFileCheck)(const wchar_t* path);

// Shared by the caller and the worker (and the callback objects through the
// worker); reference counted. The answer's bytes go to "<target>.part",
// created with the first of them. Once the caller gives the job up, nothing
// more is written and the part file is gone.
class CDownloadJob {
public:
    // check: answers without a length are taken, for the caller to check
    // (nullptr: such answers fail).
    CDownloadJob(const CString& part, ULONGLONG limit, HRESULT overLimit, WholeFileCheck check = nullptr);
    CDownloadJob(const CDownloadJob&) = delete;
    CDownloadJob& operator=(const CDownloadJob&) = delete;

    void AddRef() { InterlockedIncrement(&m_nRefs); }
    void Release();

    CString m_strUrl;               // set before the worker starts
    const CString m_strPart;
    const ULONGLONG m_nLimit;       // what the fetch may take at most
    const HRESULT m_hrOverLimit;    // the failure when it takes more
    const WholeFileCheck m_check;

    void Cancel();
    bool IsCancelled() const { return m_nCancelledAt != 0; }
    // How long ago the cancel came (ms); 0 when none did.
    DWORD CancelledFor() const;
    HANDLE CancelEvent() const { return m_hCancel; }

    // A sign of life of the transfer, and how long ago the last one was (ms).
    void Touch() { InterlockedExchange(&m_nLastActivity, (LONG)GetTickCount()); }
    DWORD QuietFor() const { return GetTickCount() - (DWORD)m_nLastActivity; }

    // Appends to the part file; fails once the job was given up.
    HRESULT Write(const void* data, ULONG size);
    // Empties the part file (the request is made again elsewhere).
    void Restart();
    // The worker is done with the file: flushed and closed. S_OK, or why not.
    HRESULT CloseFile();
    // The caller gives the job up: the file is closed and deleted, and every
    // later Write fails.
    void Abandon();

    // Progress: the bytes taken so far and the declared length; the event is
    // set when they changed.
    void SetProgress(ULONGLONG received, ULONGLONG declared);
    void GetProgress(ULONGLONG& received, ULONGLONG& declared);
    HANDLE ProgressEvent() const { return m_hProgress; }

    // The worker's result, read by the caller once the worker ended.
    HRESULT m_hrResult = E_ABORT;
    DownloadReport m_report;

private:
    ~CDownloadJob();

    volatile LONG m_nRefs = 1;
    volatile LONG m_nCancelledAt = 0;  // tick of the cancel, 0 while none came
    volatile LONG m_nLastActivity = 0;
    HANDLE m_hCancel;
    HANDLE m_hProgress;
    CRITICAL_SECTION m_lock;        // the file, the progress figures
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    bool m_bAbandoned = false;
    ULONGLONG m_nShownReceived = 0, m_nShownDeclared = ~0ULL;
};

// The URL moniker's callback object of one request: takes a whole 200 answer
// into the job's file and notes a redirect however the moniker reports it
// (the redirect callback, a 3xx through OnResponse, BINDSTATUS_REDIRECTING
// or the stop code). Reference counted and created with new: the moniker may
// hold it after the request is over; once detached, late callbacks change
// nothing.
class CDownloadBinding : public IBindStatusCallback,
                         public IHttpNegotiate,
                         public IServiceProvider,
                         public IBindCallbackRedirect {
public:
    explicit CDownloadBinding(CDownloadJob* job);

    // Binds the moniker of url and runs the request on this thread (which
    // pumps the moniker's messages) until it stopped or was given up.
    void Run(const CString& url);
    // What the request came to: S_OK for a whole 200 answer, INET_E_REDIRECT_FAILED
    // when it sends elsewhere (RedirectTarget), E_ABORT when cancelled, else a failure.
    HRESULT Outcome() const;
    const CString& RedirectTarget() const { return m_strLocation; }
    const DownloadReport& Report() const { return m_report; }
    // Lets go of the moniker's objects and the file; later callbacks do nothing.
    void Detach();

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP QueryService(REFGUID service, REFIID riid, void** ppv) override;
    STDMETHODIMP Redirect(LPCWSTR url, VARIANT_BOOL* cancel) override;

    STDMETHODIMP OnStartBinding(DWORD, IBinding* pib) override;
    STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnLowResource(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP OnProgress(ULONG, ULONG, ULONG status, LPCWSTR text) override;
    STDMETHODIMP OnStopBinding(HRESULT hr, LPCWSTR text) override;
    STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO* info) override;
    STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM* medium) override;
    STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

    STDMETHODIMP BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* extra) override;
    STDMETHODIMP OnResponse(DWORD code, LPCWSTR headers, LPCWSTR, LPWSTR* extra) override;

private:
    virtual ~CDownloadBinding();

    bool Active() const { return m_pJob && !m_bRedirect && m_hrFail == S_OK && !m_pJob->IsCancelled(); }
    void Fail(HRESULT hr);
    void TakeRedirect(const wchar_t* url);
    void Pull();

    volatile LONG m_nRefs = 1;
    CDownloadJob* m_pJob;           // nullptr once detached
    IBinding* m_pBinding = nullptr;
    IStream* m_pStream = nullptr;
    DownloadReport m_report;
    CString m_strLocation;
    bool m_bRedirect = false;
    HRESULT m_hrFail = S_OK;        // why this request is given up
    HRESULT m_hrStop = E_ABORT;     // what the moniker's stop said
    bool m_bStopped = false;
    DWORD m_nShownAt;
};

// Shuts down this process's connections to the port of url, so that a
// transfer given up stops reading: the transport may go on taking an answer's
// header lines on a thread of its own after the moniker was aborted. Returns
// how many were shut.
int DropConnectionsTo(const CString& url);

// The value of a header line ("Name: value") of an answer's headers, without
// surrounding blanks; false when there is no such line.
bool FindHeader(const wchar_t* headers, const wchar_t* name, CString& value);
