// The download worker: one HTTP fetch at a time through a URL moniker on a
// thread of its own, while the caller keeps dispatching its messages. The
// data is pulled from the moniker and written to "<target>.part" (nothing
// goes to the URL cache); a fetch counts only when the transfer ended well,
// the server answered 200 with a declared length (no coding, not empty) and
// that length was met, or, for a caller that checks the file itself, without
// a length and the file passed; the file takes the target's place only then.
// Redirects are followed a few times; every fetch has a bound on its size. A
// running fetch can be cancelled from any thread; at most one left inside
// the transport runs at a time. No windows of its own.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include "download/DownloadBinding.h"
#include "framework/CString.h"

// The shared request and its result (one download at a time).
extern CString strDownloadUrl;
extern CString strDownloadTarget;
extern HRESULT hrDownload;
extern int bDownloadDone;

extern DownloadReport downloadReport;     // what the server said in the last download

// Receives progress on the thread that waits for the download.
class IDownloadProgress {
public:
    virtual void ShowProgress(const wchar_t* text, int percent) = 0;

protected:
    ~IDownloadProgress() = default;
};

// "Downloaded %s of %s" (percent truncated) or "Downloaded %s (total size
// unknown)" (percent 0); counts taken as unsigned 32-bit values.
void FormatDownloadProgress(ULONG done, ULONG total, CString& text, int& percent);

// The progress sink of the book-pack dialog: the bytes of a 200 answer as
// they arrive, and why when the download failed (DownloadFailureText). No
// reference counting: its owner deletes it.
class CCallback : public IBindStatusCallback {
public:
    CCallback() = default;
    virtual ~CCallback() = default;

    IDownloadProgress* pDialog = nullptr;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 0; }
    STDMETHODIMP_(ULONG) Release() override { return 0; }
    STDMETHODIMP OnStartBinding(DWORD, IBinding*) override { return E_NOTIMPL; }
    STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnLowResource(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP OnProgress(ULONG ulProgress, ULONG ulProgressMax, ULONG ulStatusCode,
                            LPCWSTR szStatusText) override;
    STDMETHODIMP OnStopBinding(HRESULT hr, LPCWSTR) override;
    STDMETHODIMP GetBindInfo(DWORD*, BINDINFO*) override { return E_NOTIMPL; }
    STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return E_NOTIMPL; }
};

// One download, the way every caller runs it: takes the request (bWaitTurn:
// wait while another download runs; otherwise refuse with E_DOWNLOAD_BUSY,
// leaving the request and its result alone), starts the worker, waits for it
// while dispatching this thread's messages (a WM_QUIT taken meanwhile cancels
// the download and is posted again afterwards). S_OK when the file is in
// place at target. A worker that a cancel does not reach within a second
// (stuck inside the transport) is left behind: its part file goes, and it
// touches nothing when it returns. Until it has ended, the next download
// waits for it (bWaitTurn, cancelable) or refuses with E_DOWNLOAD_LEFTOVER.
// maxBytes: what the fetch may take at most; 0: the free disk less a margin.
// check: an answer without a declared length (or with a coding) counts when
// the file that arrived passes it; without one, such answers fail.
HRESULT RunDownload(const CString& url, const CString& target, IBindStatusCallback* sink, bool bWaitTurn,
                    ULONGLONG maxBytes = 0, WholeFileCheck check = nullptr);

// What the user is told of a failed download.
const wchar_t* DownloadFailureText(HRESULT hr);

bool IsDownloadRunning();
// When this thread is waiting for a download: cancels it and returns true.
bool CancelDownloadOfThisThread();
// Cancels the running download (any thread); it ends as E_ABORT.
void CancelDownload();
// At the end of the program: cancels the running download and refuses new
// ones until ReopenDownloads.
void CloseDownloads();
void ReopenDownloads();
bool AreDownloadsClosed();
// A download that receives nothing for this long is cancelled (ms).
void SetDownloadStallLimit(DWORD ms);
