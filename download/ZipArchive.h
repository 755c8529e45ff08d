// Reading zip archives: a handle-based interface over a reader object that
// drives minizip through the program's own file source, and the unpacking of
// a whole archive into a folder. Window-free.
#pragma once

#include <windows.h>
#include <vector>

#include "framework/CString.h"

// Result codes (0 is success).
const DWORD ZR_OK = 0;
const DWORD ZR_NOFILE = 0x200;       // archive not opened / not a zip / target not created
const DWORD ZR_WRITE = 0x400;        // writing the target failed (disk full included)
const DWORD ZR_CORRUPT = 0x700;      // local header disagrees with the central directory
const DWORD ZR_READ = 0x800;         // local extra field cannot be read whole
const DWORD ZR_PASSWORD = 0x1000;    // encrypted and the password check failed
const DWORD ZR_ARGS = 0x10000;       // NULL handle, index out of range
const DWORD ZR_UNSAFE = 0x20000;     // a name that would leave the base folder
const DWORD ZR_NOTREADER = 0x80000;  // handle of another kind
const DWORD ZR_ALREADYOPEN = 0x1000000;
const DWORD ZR_FLATE = 0x5000000;    // data cannot be decompressed, ends early or fails its CRC

struct ZipEntryInfo {
    int nIndex = 0;
    wchar_t szName[MAX_PATH] = {};     // cleaned name, separators as stored
    DWORD dwAttributes = 0;
    FILETIME ftAccessed = {};
    FILETIME ftCreated = {};
    FILETIME ftModified = {};
    long nCompressedSize = 0;
    long nUncompressedSize = 0;
    // The stored name is a safe relative name as it stands (nothing had to be
    // cleaned away, no device name, no control character, not too long).
    BOOL bSafeName = FALSE;
    ULONGLONG nFullUncompressedSize = 0;   // the size beyond 2 GB too
};

class CZipArchiveReader;

struct ZipHandle {
    int nKind = 0;                     // 1 = reader
    CZipArchiveReader* pReader = nullptr;
};
typedef ZipHandle* HZIP;

// password: ANSI text or nullptr. nullptr on failure.
HZIP ArchiveOpenFile(const wchar_t* zipPath, const char* password);
DWORD ArchiveSetBaseFolder(HZIP h, const wchar_t* folder);
// index -1: nIndex receives the number of entries.
DWORD ArchiveGetEntry(HZIP h, int index, ZipEntryInfo* info);
// Writes entry index to target (relative to the base folder).
DWORD ArchiveExtractEntry(HZIP h, int index, const wchar_t* target);
bool ArchiveIsReader(HZIP h);
DWORD ArchiveCloseReader(HZIP h);

// Creates base (when given and missing), then every folder of path below it.
void EnsureFolderPath(const wchar_t* base, const wchar_t* path);

// Free bytes on the volume of path (its nearest existing folder); ~0 when unknown.
ULONGLONG FreeDiskBytes(const wchar_t* path);
// Room downloads and program updates leave free on their disk.
const ULONGLONG kDiskMargin = 64ull << 20;
// What may still be written below path: its free bytes less kDiskMargin.
ULONGLONG RoomOnDisk(const wchar_t* path);
// Lets tests stand in for the free space of a disk: the hook sees each path
// and returns its free bytes. Returns the previous hook.
typedef ULONGLONG (*FreeDiskHook)(const wchar_t* path);
FreeDiskHook SetFreeDiskHook(FreeDiskHook hook);

class CZipUnpacker {
public:
    CZipUnpacker() = default;
    ~CZipUnpacker();
    CZipUnpacker(const CZipUnpacker&) = delete;
    CZipUnpacker& operator=(const CZipUnpacker&) = delete;

    // Unpacks every entry into folder. Before anything is written the whole
    // archive is checked: every name must be safe and the declared sizes
    // must fit on the disk. TRUE when every entry was written.
    BOOL UnpackToFolder(const CString& zipPath, const CString& folder);

    // The result code of the last failing step (ZR_OK after success).
    DWORD m_nLastResult = ZR_OK;

private:
    HZIP m_hZip = nullptr;
    ZipEntryInfo m_entry;
};

// Whether the file is a whole archive: its end record all there, and every
// entry's data decompressing to its size and CRC. Nothing is written.
DWORD CheckArchive(const wchar_t* zipPath);
bool IsWholeArchive(const wchar_t* zipPath);

// What a whole archive holds, read without writing anything: every entry's
// description, and whether all of them are safe. ZR_OK when it could be read.
DWORD ListArchive(const wchar_t* zipPath, std::vector<ZipEntryInfo>& entries);
