#include "download/WebUpdater.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>

#include "app/DisplaySettings.h"
#include "download/DownloadWorker.h"
#include "download/UpdateList.h"
#include "download/ZipArchive.h"
#include "download/ZipNames.h"
#include "framework/FileUtil.h"
#include "framework/MessageBox.h"
#include "framework/Profile.h"
#include "res/Version.h"

namespace {

const wchar_t kPackageName[] = L"brindlecove.zip";
const wchar_t kStageFolder[] = L"brindlecove.new";     // the package unpacked
const wchar_t kBackupFolder[] = L"brindlecove.old";    // files it replaced, until done
// The user's articles, settings and exported pictures beside the program.
const wchar_t* const kUserFolders[] = {L"藏书库", L"control", L"BookImg"};

volatile LONG g_replacing = 0;

// The list replaces only its local copy, so it is taken without a length:
// its reader acts on the version only when that line arrived whole.
bool ListTakenAsItCame(const wchar_t*)
{
    return true;
}

// A zip payload: a pack whose name ends in ".zip", the program package.
bool IsZipName(const CString& name)
{
    return name.GetLength() >= 4 && name.Right(4).CompareNoCase(L".zip") == 0;
}

CString FileNameOf(const CString& path)
{
    const int slash = std::max(path.ReverseFind(L'\\'), path.ReverseFind(L'/'));
    return slash < 0 ? path : path.Mid(slash + 1);
}

void ListFiles(const CString& folder, const CString& relative, std::vector<CString>& files)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(folder + L"\\" + relative + L"*", &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        const CString name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListFiles(folder, relative + name + L"\\", files);
        else
            files.push_back(relative + name);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}

bool Move(const CString& from, const CString& to)
{
    return MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

// What a self-update does with one staged file (a name relative to the
// program's folder).
enum class StagedUse {
    Install,
    KeepUsers,      // the user's own file stays; the package's copy is dropped
    Refuse,         // the whole package is refused
};

// Whether name has the shape of a short (8.3) name the system makes up for
// "<program>.PRE": a "~" in the base and the last extension's first three
// letters. Such a name stands for the kept old program even before that
// file exists, so every name of that shape is kept off.
bool MayBeShortNameOfPre(const CString& name)
{
    const int dot = name.Find(L'.');
    return dot >= 1 && dot <= 8 && name.Left(dot).Find(L'~') >= 0 && name.Mid(dot + 1).CompareNoCase(L"PRE") == 0;
}

StagedUse UseOfStaged(const CString& folder, const CString& rel, const CString& exeName)
{
    const int slash = rel.Find(L'\\');
    CString top = slash < 0 ? rel : rel.Left(slash);
    if (MayBeShortNameOfPre(top))
        return StagedUse::Refuse;
    // A short (8.3) name is taken for the folder or file it stands for.
    wchar_t longPath[MAX_PATH] = {};
    const DWORD n = GetLongPathNameW(folder + L"\\" + top, longPath, MAX_PATH);
    if (n > 0 && n < MAX_PATH)
        top = FileNameOf(longPath);
    // The old program is always kept under this name.
    if (top.CompareNoCase(exeName + L".PRE") == 0)
        return StagedUse::Refuse;
    // A file never replaces a folder.
    if (FolderExists(folder + L"\\" + rel))
        return StagedUse::Refuse;
    for (const wchar_t* user : kUserFolders) {
        if (top.CompareNoCase(user) != 0)
            continue;
        // Those names stay folders, even where one is missing now.
        if (slash < 0)
            return StagedUse::Refuse;
        return PathExists(folder + L"\\" + rel) ? StagedUse::KeepUsers : StagedUse::Install;
    }
    return StagedUse::Install;
}

// Moves the staged files into the program's folder. The program file goes
// aside as ".PRE" first; every file that is replaced, the older ".PRE"
// included, goes to the backup folder. Any failure puts everything back as
// it was; a package that would take a folder or the kept old program moves
// nothing.
bool InstallStaged(const CString& folder, const CString& exePath, const std::vector<CString>& staged)
{
    const CString stage = folder + L"\\" + kStageFolder;
    const CString backup = folder + L"\\" + kBackupFolder;
    const CString pre = exePath + L".PRE";
    DeleteFolderTree(backup);

    struct Step {
        CString target;
        CString saved;      // where the old file went; empty when there was none
    };
    std::vector<Step> done;
    bool exeAside = false;
    CString preSaved;       // where the older ".PRE" went
    bool ok = true;

    const CString exeName = FileNameOf(exePath);
    // The whole package is weighed before anything moves.
    std::vector<CString> installed;
    for (const CString& rel : staged) {
        const StagedUse use = UseOfStaged(folder, rel, exeName);
        if (use == StagedUse::Refuse)
            return false;
        if (use == StagedUse::Install)
            installed.push_back(rel);
    }
    for (const CString& rel : installed) {
        const CString target = folder + L"\\" + rel;
        Step step;
        step.target = target;
        if (rel.CompareNoCase(exeName) == 0) {
            // A running program file can be renamed, not overwritten.
            if (PathExists(exePath)) {
                if (PathExists(pre)) {
                    const CString saved = backup + L"\\" + FileNameOf(pre);
                    CreateFolderTree(backup);
                    if (!Move(pre, saved)) {
                        ok = false;
                        break;
                    }
                    preSaved = saved;
                }
                if (!Move(exePath, pre)) {
                    ok = false;
                    break;
                }
                exeAside = true;
            }
        } else if (PathExists(target)) {
            const CString saved = backup + L"\\" + rel;
            CreateFolderTree(ParentFolder(saved));
            SetFileAttributesW(target, GetFileAttributesW(target) & ~FILE_ATTRIBUTE_READONLY);
            if (!Move(target, saved)) {
                ok = false;
                break;
            }
            step.saved = saved;
        }
        CreateFolderTree(ParentFolder(target));
        if (!Move(stage + L"\\" + rel, target)) {
            if (!step.saved.IsEmpty())
                Move(step.saved, target);
            ok = false;
            break;
        }
        done.push_back(step);
    }
    if (ok) {
        DeleteFolderTree(backup);
        return true;
    }
    bool restored = true;
    for (auto it = done.rbegin(); it != done.rend(); ++it) {
        SetFileAttributesW(it->target, FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(it->target);
        if (!it->saved.IsEmpty())
            restored = Move(it->saved, it->target) && restored;
    }
    if (exeAside && !PathExists(exePath))
        restored = Move(pre, exePath) && restored;
    if (!preSaved.IsEmpty())
        restored = Move(preSaved, pre) && restored;
    // What could not be put back stays in the backup folder.
    if (restored)
        DeleteFolderTree(backup);
    return false;
}

} // namespace

// ------------------------------------------------------------------ setup

void CWebUpdater::SetHost(const CString& host)
{
    strHost = host;
    if (host.IsEmpty()) {
        strPackBaseUrl.Empty();
        strListUrl.Empty();
        strPackageUrl.Empty();
        return;
    }
    strPackBaseUrl = host + L"/down";
    strListUrl = strPackBaseUrl + L"/TempUpdate.txt";
    strPackageUrl = strPackBaseUrl + L"/" + kPackageName;
}

void CWebUpdater::SetLocalFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const CString module(path);
    strLocalFolder = g_strAppFolder.IsEmpty() ? ParentFolder(module) : g_strAppFolder;
    while (!strLocalFolder.IsEmpty() && strLocalFolder[strLocalFolder.GetLength() - 1] == L'\\')
        strLocalFolder.Delete(strLocalFolder.GetLength() - 1);
    // The program file in the program's folder (the running one, unless
    // tests point the folder elsewhere).
    strExePath = strLocalFolder + L"\\" + FileNameOf(module);
}

// ------------------------------------------------------------------ the list

bool CWebUpdater::FetchPackList(bool bWaitTurn)
{
    if (!HasHost())
        return false;
    const CString target = ListCopyPath();
    CreateFolderTree(ParentFolder(target));
    hrListFetch = RunDownload(strListUrl, target, nullptr, bWaitTurn, kMaxListBytes, ListTakenAsItCame);
    return SUCCEEDED(hrListFetch);
}

CString CWebUpdater::ListFailureText() const
{
    CString text = L"无法从更新服务器 " + strHost + L" 取得更新列表";
    if (hrListFetch == E_DOWNLOAD_LEFTOVER || hrListFetch == E_DOWNLOAD_BUSY)
        text += CString(L"：") + DownloadFailureText(hrListFetch);
    return text;
}

CString CWebUpdater::GetRemoteVersion()
{
    strRemoteVersion.Empty();
    if (!FetchPackList())
        return CString();
    std::string bytes;
    if (!ReadWholeFile(ListCopyPath(), bytes))
        return CString();
    const UpdateList list = ParseUpdateList(bytes);
    // A version line cut short could be any version.
    if (list.bVersionLineEnded && IsPlainVersion(list.strVersion))
        strRemoteVersion = list.strVersion;
    return strRemoteVersion;
}

bool CWebUpdater::IsNewerVersion()
{
    const CString remote = GetRemoteVersion();
    return !remote.IsEmpty() && remote.CompareNoCase(DisplaySettings.strVersion) != 0;
}

bool CWebUpdater::LoadPackList()
{
    arrPackNames.clear();
    std::string bytes;
    const CString path = ListCopyPath();
    if (!ReadWholeFile(path, bytes)) {
        AfxMessageBox(path + L" was not found.", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    const UpdateList list = ParseUpdateList(bytes);
    if (list.bHasUrlLine)
        strNetDiskUrl = list.strNetDiskUrl;
    arrPackNames = OfferedPacks(list, strLocalFolder);
    return true;
}

// ------------------------------------------------------------------ packs

bool CWebUpdater::DownloadPack(int index)
{
    if (index == 0) {
        // Only a web address goes to the shell; any other text of the list is not run.
        if (IsWebAddress(strNetDiskUrl))
            ShellExecuteW(nullptr, nullptr, strNetDiskUrl, nullptr, nullptr, SW_SHOWNORMAL);
        else
            AfxMessageBox(L"网盘地址无效", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (index < 0 || index > (int)arrPackNames.size()) {
        AfxMessageBox(L"Encountered an improper argument.", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    CString entry = arrPackNames[(size_t)index - 1];
    const CString name = FileNameOf(entry);
    entry.Replace(L'/', L'\\');
    const CString target = strLocalFolder + L"\\" + entry;
    if (!HasHost() || !IsSafePackEntry(entry) || !IsPathInside(strLocalFolder, target)) {
        AfxMessageBox(L"下载失败", MB_OK);
        return false;
    }
    CreateFolderTree(ParentFolder(target));
    // A zip proves itself whole when the host gives no length; nothing else can.
    const HRESULT hr = RunDownload(strPackBaseUrl + L"/" + EncodeUrlPart(name), target, pCallback, false, 0,
                                   IsZipName(name) ? IsWholeArchive : nullptr);
    if (FAILED(hr)) {
        if (hr != E_ABORT)     // cancelled on purpose: the user knows
            AfxMessageBox(DownloadFailureText(hr), MB_OK);
        return false;
    }
    if (name.Find(L".zip") < 0)
        return true;
    // The archive goes whether it unpacked or not: no stray download is
    // left in the library.
    CZipUnpacker unpacker;
    const BOOL unpacked = unpacker.UnpackToFolder(target, ParentFolder(target) + L"\\");
    DeleteFileW(target);
    if (!unpacked) {
        AfxMessageBox(L"解压失败", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

// ------------------------------------------------------------------ self-update

// The package is fetched beside the program, checked (a zip whose every
// name is safe, that holds the program file and fits on the disk with the
// downloads' margin left), unpacked into a staging folder (every entry's CRC
// checked there) and only then moved into place; the running program file
// goes aside as ".PRE". The program is never left without its program file.
bool CWebUpdater::SelfUpdate()
{
    if (!HasHost() || strLocalFolder.IsEmpty() || strExePath.IsEmpty())
        return false;
    const CString package = strLocalFolder + L"\\" + kPackageName;
    const CString stage = strLocalFolder + L"\\" + kStageFolder;
    const CString version = strRemoteVersion;
    if (FAILED(RunDownload(strPackageUrl, package, nullptr, true, 0, IsWholeArchive)))
        return false;

    bool ok = false;
    std::vector<ZipEntryInfo> entries;
    if (ListArchive(package, entries) == ZR_OK) {
        const CString exeName = FileNameOf(strExePath);
        bool safe = true, hasExe = false;
        ULONGLONG total = 0;
        for (const ZipEntryInfo& e : entries) {
            safe = safe && e.bSafeName && stage.GetLength() + 1 + (int)wcslen(e.szName) < MAX_PATH;
            hasExe = hasExe || (!(e.dwAttributes & FILE_ATTRIBUTE_DIRECTORY) && exeName.CompareNoCase(e.szName) == 0);
            total += e.nFullUncompressedSize;
        }
        DeleteFolderTree(stage);
        CZipUnpacker unpacker;
        if (safe && hasExe && total <= RoomOnDisk(strLocalFolder) && unpacker.UnpackToFolder(package, stage)) {
            std::vector<CString> staged;
            ListFiles(stage, CString(), staged);
            // The program file first, the rest in name order.
            std::sort(staged.begin(), staged.end(), [&](const CString& a, const CString& b) {
                const bool ea = a.CompareNoCase(exeName) == 0, eb = b.CompareNoCase(exeName) == 0;
                return ea != eb ? ea : a.CompareNoCase(b) < 0;
            });
            // Once files move, the program's end waits; a program already
            // ending moves nothing.
            InterlockedExchange(&g_replacing, 1);
            ok = !AreDownloadsClosed() && InstallStaged(strLocalFolder, strExePath, staged);
            if (ok) {
                // The version read before the download, kept at once so a
                // program without its preset file does not update again.
                DisplaySettings.strVersion = version;
                WritePrivateProfileStringW(L"Version", L"Version", version,
                                           strLocalFolder + L"\\control\\preSet.ini");
            }
            InterlockedExchange(&g_replacing, 0);
        }
    }
    DeleteFolderTree(stage);
    DeleteFileW(package);
    return ok;
}

// ------------------------------------------------------------------ the check

void RunUpdateCheck()
{
    const CString preset = g_strAppFolder + L"control\\preSet.ini";
    if (PathFileExistsW(preset)) {
        wchar_t version[256] = {};
        GetPrivateProfileStringW(L"Version", L"Version", L"", version, 256, preset);
        DisplaySettings.strVersion = version;
    }
    // A preset written by hand without a version is this program's own:
    // otherwise it would install the package it already is, at every start.
    if (DisplaySettings.strVersion.IsEmpty())
        DisplaySettings.strVersion = L"" LUMIVELL_VERSION_TEXT;
    const CString host = ReadUpdateHost(preset);
    if (host.IsEmpty())
        return;
    CWebUpdater updater;
    updater.SetHost(host);
    updater.SetLocalFolder();
    if (updater.IsNewerVersion())
        updater.SelfUpdate();
}

bool IsReplacingFiles()
{
    return InterlockedCompareExchange(&g_replacing, 0, 0) != 0;
}

void WaitForUpdateCheck(HANDLE hDone, DWORD bound)
{
    CloseDownloads();
    if (!hDone)
        return;
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(hDone, 20) == WAIT_TIMEOUT) {
        if (!IsReplacingFiles() && GetTickCount() - start >= bound)
            return;
    }
}
