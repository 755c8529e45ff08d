// The update logic: the update list of the update host, book-pack downloads
// into the program's folder, the version check and the self-update. Messages
// go through AfxMessageBox; no windows of its own.
#pragma once

#include <windows.h>
#include <urlmon.h>
#include <vector>

#include "framework/CString.h"

class CWebUpdater {
public:
    CWebUpdater() = default;

    IBindStatusCallback* pCallback = nullptr;   // progress of pack downloads, not owned
    CString strPackBaseUrl;                     // ".../down", no trailing "/"
    CString strListUrl;                         // ".../down/TempUpdate.txt"
    CString strLocalFolder;                     // the program's folder, no trailing "\"
    CString strNetDiskUrl;                      // manual-download page, line 2 of the list
    std::vector<CString> arrPackNames;          // offered pack entries

    CString strPackageUrl;                      // ".../down/brindlecove.zip"
    CString strExePath;                         // the program file a self-update replaces
    CString strRemoteVersion;                   // what the last GetRemoteVersion read
    CString strHost;                            // the update host's base address
    HRESULT hrListFetch = S_OK;                 // how the last fetch of the list ended

    // The update host's base address; every URL above follows from it. An
    // empty host leaves them empty, and nothing is fetched.
    void SetHost(const CString& host);
    bool HasHost() const { return !strListUrl.IsEmpty(); }
    // The program's folder (g_strAppFolder, else the program file's folder)
    // and the program file in it.
    void SetLocalFolder();

    CString ListCopyPath() const { return strLocalFolder + L"\\control\\TempUpdate.txt"; }

    // Fetches the list to its local copy; a failed fetch leaves the copy as it
    // was. bWaitTurn: wait while another download runs (else give up at once).
    bool FetchPackList(bool bWaitTurn = true);
    // What the user is told when the last fetch of the list failed: the host
    // it was asked of.
    CString ListFailureText() const;
    // Field 0 of the list's first line when it is a plain version and the
    // line arrived with its line feed; else empty.
    CString GetRemoteVersion();
    // The remote version is plain and differs (case-insensitively) from DisplaySettings.strVersion.
    bool IsNewerVersion();
    // Reads the local copy into strNetDiskUrl and arrPackNames; a missing copy is reported.
    bool LoadPackList();
    // Row 0 opens the manual-download page; row n >= 1 fetches pack n - 1 and
    // unpacks a zip beside it. True when the pack is in place.
    bool DownloadPack(int index);
    // Downloads, checks and installs the program package (see the .cpp).
    bool SelfUpdate();
};

// The update check as the frame's thread runs it: the local version from the
// preset file, then, with an update host configured, the list and a
// self-update when the versions differ.
void RunUpdateCheck();

// Whether a self-update is moving files into place right now.
bool IsReplacingFiles();

// At the end of the program: stops downloads and waits for the update check
// (hDone signalled) at most bound ms, or for as long as it replaces files.
void WaitForUpdateCheck(HANDLE hDone, DWORD bound);
