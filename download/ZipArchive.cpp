#include "download/ZipArchive.h"

#include <cstring>
#include <new>
#include <string>

#include <zlib.h>

#include "download/ZipNames.h"
#include "download/ZipSource.h"
#include "framework/FileUtil.h"
#include "unzip.h"

namespace {

// Decompressed bytes per read and write.
const uInt kCopyBuffer = 256 * 1024;

bool EndsWithSeparator(const wchar_t* s)
{
    size_t n = wcslen(s);
    return n > 0 && (s[n - 1] == L'\\' || s[n - 1] == L'/');
}

FILETIME UnixToFileTime(LONG t)
{
    ULONGLONG v = ((ULONGLONG)((LONGLONG)t + 11644473600LL)) * 10000000ULL;
    FILETIME ft;
    ft.dwLowDateTime = (DWORD)v;
    ft.dwHighDateTime = (DWORD)(v >> 32);
    return ft;
}

// The DOS date and time as local time, given back in UTC; zero when the
// stored date is no calendar date.
FILETIME DosToFileTime(uLong dosDate)
{
    FILETIME utc = {};
    WORD date = (WORD)(dosDate >> 16), time = (WORD)dosDate;
    SYSTEMTIME st = {};
    st.wYear = (WORD)(1980 + (date >> 9));
    st.wMonth = (WORD)((date >> 5) & 0x0F);
    st.wDay = (WORD)(date & 0x1F);
    st.wHour = (WORD)(time >> 11);
    st.wMinute = (WORD)((time >> 5) & 0x3F);
    st.wSecond = (WORD)(2 * (time & 0x1F));
    FILETIME local;
    if (!SystemTimeToFileTime(&st, &local) || !LocalFileTimeToFileTime(&local, &utc))
        return FILETIME{};
    return utc;
}

bool IsZeroTime(const FILETIME& ft)
{
    return ft.dwLowDateTime == 0 && ft.dwHighDateTime == 0;
}

DWORD Attributes(uLong versionMadeBy, uLong external, bool bFolderName)
{
    const int host = (int)(versionMadeBy >> 8);
    DWORD attr = 0;
    if (host == 0 || host == 7 || host == 11 || host == 14) {
        if (external & 0x01) attr |= FILE_ATTRIBUTE_READONLY;
        if (external & 0x02) attr |= FILE_ATTRIBUTE_HIDDEN;
        if (external & 0x04) attr |= FILE_ATTRIBUTE_SYSTEM;
        if (external & 0x10) attr |= FILE_ATTRIBUTE_DIRECTORY;
        if (external & 0x20) attr |= FILE_ATTRIBUTE_ARCHIVE;
    } else {
        if (!(external & (1u << 23))) attr |= FILE_ATTRIBUTE_READONLY;
        if (external & (1u << 30)) attr |= FILE_ATTRIBUTE_DIRECTORY;
        attr |= FILE_ATTRIBUTE_ARCHIVE;
    }
    // A name ending in a separator is a folder, whatever the attributes say.
    if (bFolderName)
        attr |= FILE_ATTRIBUTE_DIRECTORY;
    return attr;
}

// The "UT" block of a local extra field: modification, access and creation
// times, each present when its flag bit is set.
void ReadExtendedTimes(const std::string& extra, ZipEntryInfo& info)
{
    const unsigned char* p = (const unsigned char*)extra.data();
    const size_t len = extra.size();
    if (len <= 4)
        return;
    size_t at = 0;
    while (at + 4 < len) {
        const unsigned id = p[at] | (p[at + 1] << 8);
        const unsigned size = p[at + 2] | (p[at + 3] << 8);
        if (id != 0x5455) {
            at += 4 + size;
            continue;
        }
        const size_t end = at + 4 + size < len ? at + 4 + size : len;
        size_t q = at + 4;
        if (q >= end)
            return;
        const unsigned flags = p[q++];
        FILETIME* targets[3] = {&info.ftModified, &info.ftAccessed, &info.ftCreated};
        for (int bit = 0; bit < 3; ++bit) {
            if (!(flags & (1u << bit)))
                continue;
            if (q + 4 > end)
                return;
            LONG t = (LONG)(p[q] | (p[q + 1] << 8) | (p[q + 2] << 16) | ((DWORD)p[q + 3] << 24));
            *targets[bit] = UnixToFileTime(t);
            q += 4;
        }
        return;
    }
}

// Traditional PKWARE decryption of an entry's 12-byte header; the last byte
// is what the password check compares.
unsigned char DecryptedCheckByte(const char* password, const unsigned char header[12])
{
    const z_crc_t* crc = get_crc_table();
    DWORD k0 = 0x12345678, k1 = 0x23456789, k2 = 0x34567890;
    auto update = [&](unsigned char c) {
        k0 = crc[(k0 ^ c) & 0xFF] ^ (k0 >> 8);
        k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
        k2 = crc[(k2 ^ (k1 >> 24)) & 0xFF] ^ (k2 >> 8);
    };
    for (const char* p = password; *p; ++p)
        update((unsigned char)*p);
    unsigned char plain = 0;
    for (int i = 0; i < 12; ++i) {
        DWORD t = (k2 & 0xFFFF) | 2;
        plain = (unsigned char)(header[i] ^ (((t * (t ^ 1)) >> 8) & 0xFF));
        update(plain);
    }
    return plain;
}

const char kEndSignature[] = "PK\x05\x06";
const size_t kEndRecordSize = 22;       // the end record before its comment
const size_t kMaxComment = 0xFFFF;

// Bytes of the end record at `at`, its comment included; 0 when even its
// fixed part is cut off.
size_t EndRecordLength(const std::string& bytes, size_t at)
{
    if (at + kEndRecordSize > bytes.size())
        return 0;
    const unsigned char* p = (const unsigned char*)bytes.data() + at;
    return kEndRecordSize + (p[20] | (p[21] << 8));
}

// An archive of no entries is its end record alone, which minizip cannot
// find at offset 0.
bool IsEmptyArchive(const wchar_t* path)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes) || bytes.size() < kEndRecordSize || bytes.size() > kEndRecordSize + kMaxComment)
        return false;
    const unsigned char* p = (const unsigned char*)bytes.data();
    return memcmp(p, kEndSignature, 4) == 0 && bytes.size() == EndRecordLength(bytes, 0) && p[8] == 0 &&
           p[9] == 0 && p[10] == 0 && p[11] == 0;
}

// Whether the end record minizip went by (the last signature near the end of
// the file) is there whole, comment included. minizip takes the fields of a
// record cut short for zeros, so an archive missing its last bytes would
// otherwise pass for a whole one.
bool IsEndRecordWhole(voidpf source)
{
    const ULONGLONG size = ZipSourceSize(source);
    const DWORD n = (DWORD)(size < kEndRecordSize + kMaxComment ? size : kEndRecordSize + kMaxComment);
    std::string tail(n, '\0');
    if (n < kEndRecordSize || !ZipSourceReadAt(source, size - n, &tail[0], n))
        return false;
    const size_t at = tail.rfind(kEndSignature, n - 4, 4);
    if (at == std::string::npos)
        return false;
    const size_t length = EndRecordLength(tail, at);
    return length > 0 && at + length <= n;
}

} // namespace

// ------------------------------------------------------------------ reader

class CZipArchiveReader {
public:
    explicit CZipArchiveReader(const char* password)
    {
        if (password) {
            m_password = password;
            m_bPassword = true;
        }
    }
    ~CZipArchiveReader() { Close(); }

    DWORD Open(const wchar_t* path);
    DWORD SetBaseFolder(const wchar_t* folder);
    DWORD GetEntry(int index, ZipEntryInfo* info);
    DWORD ExtractEntry(int index, const wchar_t* target);
    // Reads an entry's data through without writing it: ZR_OK when it
    // decompresses to its size and CRC.
    DWORD CheckEntry(int index);
    int Count() const { return m_nCount; }
    void Close();

private:
    void CloseEntryData();
    DWORD GoTo(int index);
    DWORD Describe(int index);
    DWORD OpenEntryData();
    // Into file, or nowhere when file is INVALID_HANDLE_VALUE.
    DWORD CopyEntryData(HANDLE file);

    unzFile m_zip = nullptr;
    voidpf m_source = nullptr;
    int m_nOpenEntry = -1;
    int m_nCurrent = -1;         // minizip's current entry
    int m_nCount = 0;
    bool m_bEmpty = false;       // an archive of no entries (no minizip reader)
    ZipEntryInfo m_cache;
    int m_nCacheIndex = -1;
    uLong m_nCacheFlags = 0;     // general-purpose flags of the cached entry
    uLong m_nCacheCrc = 0;
    uLong m_nCacheDosDate = 0;
    std::string m_password;
    bool m_bPassword = false;
    unsigned char* m_pBuffer = nullptr;
    wchar_t m_szBase[MAX_PATH] = {};
    CString m_strEnsured;        // last folder made sure of
};

DWORD CZipArchiveReader::Open(const wchar_t* path)
{
    if (m_zip || m_bEmpty || m_nOpenEntry >= 0)
        return ZR_ALREADYOPEN;
    wchar_t cwd[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH - 1, cwd);
    SetBaseFolder(cwd);
    zlib_filefunc64_def def;
    FillZipFileSource(&def, &m_source);
    m_zip = unzOpen2_64(path, &def);
    if (!m_zip) {
        m_source = nullptr;
        m_bEmpty = IsEmptyArchive(path);
        m_nCount = 0;
        return m_bEmpty ? ZR_OK : ZR_NOFILE;
    }
    unz_global_info64 gi;
    if (!IsEndRecordWhole(m_source) || unzGetGlobalInfo64(m_zip, &gi) != UNZ_OK || gi.number_entry > 0x7FFFFFFF) {
        Close();
        return ZR_NOFILE;
    }
    m_nCount = (int)gi.number_entry;
    m_nCurrent = m_nCount > 0 && unzGoToFirstFile(m_zip) == UNZ_OK ? 0 : -1;
    return ZR_OK;
}

DWORD CZipArchiveReader::SetBaseFolder(const wchar_t* folder)
{
    size_t n = folder ? wcslen(folder) : 0;
    if (n + 2 > MAX_PATH)
        return ZR_ARGS;
    wmemcpy(m_szBase, folder ? folder : L"", n);
    m_szBase[n] = 0;
    if (!EndsWithSeparator(m_szBase)) {
        m_szBase[n] = L'\\';
        m_szBase[n + 1] = 0;
    }
    m_strEnsured.Empty();
    return ZR_OK;
}

void CZipArchiveReader::CloseEntryData()
{
    if (m_nOpenEntry >= 0) {
        unzCloseCurrentFile(m_zip);
        m_nOpenEntry = -1;
    }
}

void CZipArchiveReader::Close()
{
    CloseEntryData();
    if (m_zip)
        unzClose(m_zip);
    m_zip = nullptr;
    m_bEmpty = false;
    m_source = nullptr;
    m_nCacheIndex = -1;
    m_nCount = 0;
    delete[] m_pBuffer;
    m_pBuffer = nullptr;
}

DWORD CZipArchiveReader::GoTo(int index)
{
    if (index < m_nCurrent || m_nCurrent < 0) {
        if (unzGoToFirstFile(m_zip) != UNZ_OK)
            return ZR_CORRUPT;
        m_nCurrent = 0;
    }
    while (m_nCurrent < index) {
        if (unzGoToNextFile(m_zip) != UNZ_OK) {
            m_nCurrent = -1;
            return ZR_CORRUPT;
        }
        ++m_nCurrent;
    }
    return ZR_OK;
}

DWORD CZipArchiveReader::Describe(int index)
{
    if (index == m_nCacheIndex)
        return ZR_OK;
    if (DWORD r = GoTo(index))
        return r;
    unz_file_info64 fi;
    char name[MAX_PATH + 1] = {};
    if (unzGetCurrentFileInfo64(m_zip, &fi, name, MAX_PATH, nullptr, 0, nullptr, 0) != UNZ_OK)
        return ZR_CORRUPT;
    const bool bNameFits = fi.size_filename < MAX_PATH;
    name[bNameFits ? fi.size_filename : MAX_PATH - 1] = 0;

    // The local header must agree with the central record; its extra field
    // may hold the extended times.
    int method = 0, level = 0;
    if (unzOpenCurrentFile2(m_zip, &method, &level, 1) != UNZ_OK)
        return ZR_CORRUPT;
    std::string extra;
    const int extraLen = unzGetLocalExtrafield(m_zip, nullptr, 0);
    if (extraLen > 0) {
        if (!ZipSourceCanSeek(m_source)) {
            unzCloseCurrentFile(m_zip);
            return ZR_READ;
        }
        extra.resize((size_t)extraLen);
        if (unzGetLocalExtrafield(m_zip, &extra[0], (unsigned)extraLen) != extraLen) {
            unzCloseCurrentFile(m_zip);
            return ZR_READ;
        }
    }
    unzCloseCurrentFile(m_zip);

    ZipEntryInfo info;
    info.nIndex = index;
    const CString decoded = DecodeEntryName(name, (int)strlen(name), (fi.flag & 0x800) != 0);
    const int n = decoded.GetLength() < MAX_PATH - 1 ? decoded.GetLength() : MAX_PATH - 1;
    wmemcpy(info.szName, decoded.GetString(), (size_t)n);
    info.szName[n] = 0;
    info.bSafeName = bNameFits && decoded.GetLength() == n && (int)wcslen(info.szName) == n &&
                     IsSafeRelativeName(info.szName);
    CleanEntryName(info.szName);
    info.dwAttributes = Attributes(fi.version, fi.external_fa, EndsWithSeparator(info.szName));
    info.nCompressedSize = (long)fi.compressed_size;
    info.nUncompressedSize = (long)fi.uncompressed_size;
    info.nFullUncompressedSize = fi.uncompressed_size;
    info.ftModified = info.ftAccessed = info.ftCreated = DosToFileTime(fi.dosDate);
    ReadExtendedTimes(extra, info);

    m_cache = info;
    m_nCacheIndex = index;
    m_nCacheFlags = fi.flag;
    m_nCacheCrc = fi.crc;
    m_nCacheDosDate = fi.dosDate;
    return ZR_OK;
}

DWORD CZipArchiveReader::GetEntry(int index, ZipEntryInfo* info)
{
    if (index < -1 || index >= m_nCount)
        return ZR_ARGS;
    CloseEntryData();
    if (index == -1) {
        *info = ZipEntryInfo();
        info->nIndex = m_nCount;
        return ZR_OK;
    }
    if (DWORD r = Describe(index))
        return r;
    *info = m_cache;
    return ZR_OK;
}

DWORD CZipArchiveReader::OpenEntryData()
{
    if (!(m_nCacheFlags & 1)) {
        if (unzOpenCurrentFile(m_zip) != UNZ_OK)
            return ZR_FLATE;
        m_nOpenEntry = m_nCacheIndex;
        return ZR_OK;
    }
    if (!m_bPassword)
        return ZR_PASSWORD;
    if (unzOpenCurrentFilePassword(m_zip, m_password.c_str()) != UNZ_OK)
        return ZR_FLATE;
    m_nOpenEntry = m_nCacheIndex;
    // minizip decrypts without checking: compare the header's last byte with
    // the CRC's high byte (or the time's, when the sizes follow the data).
    unsigned char header[12];
    const ZPOS64_T data = unzGetCurrentFileZStreamPos64(m_zip);
    if (data < 12 || !ZipSourceReadAt(m_source, data - 12, header, 12))
        return ZR_PASSWORD;
    const unsigned char expect = (m_nCacheFlags & 8) ? (unsigned char)(m_nCacheDosDate >> 8)
                                                     : (unsigned char)(m_nCacheCrc >> 24);
    return DecryptedCheckByte(m_password.c_str(), header) == expect ? ZR_OK : ZR_PASSWORD;
}

DWORD CZipArchiveReader::CopyEntryData(HANDLE file)
{
    if (!m_pBuffer)
        m_pBuffer = new (std::nothrow) unsigned char[kCopyBuffer];
    if (!m_pBuffer)
        return ZR_WRITE;
    ULONGLONG total = 0;
    for (;;) {
        int got = unzReadCurrentFile(m_zip, m_pBuffer, kCopyBuffer);
        if (got < 0)
            return ZR_FLATE;
        if (got == 0)
            break;
        total += (ULONGLONG)got;
        if (total > m_cache.nFullUncompressedSize)
            return ZR_FLATE;
        DWORD written = 0;
        if (file != INVALID_HANDLE_VALUE &&
            (!WriteFile(file, m_pBuffer, (DWORD)got, &written, nullptr) || written != (DWORD)got))
            return ZR_WRITE;
    }
    if (!unzeof(m_zip) || total != m_cache.nFullUncompressedSize)
        return ZR_FLATE;
    // The CRC is checked when the data is closed.
    const int closed = unzCloseCurrentFile(m_zip);
    m_nOpenEntry = -1;
    return closed == UNZ_OK ? ZR_OK : ZR_FLATE;
}

DWORD CZipArchiveReader::CheckEntry(int index)
{
    CloseEntryData();
    if (index < 0 || index >= m_nCount)
        return ZR_ARGS;
    if (DWORD r = Describe(index))
        return r;
    DWORD result = OpenEntryData();
    if (result == ZR_OK)
        result = CopyEntryData(INVALID_HANDLE_VALUE);
    CloseEntryData();
    return result;
}

DWORD CZipArchiveReader::ExtractEntry(int index, const wchar_t* target)
{
    CloseEntryData();
    if (index < 0 || index >= m_nCount || !target)
        return ZR_ARGS;
    if (DWORD r = Describe(index))
        return r;

    // Nothing is written outside the base folder.
    CString name(target);
    if (!m_cache.bSafeName || !IsSafeRelativeName(name))
        return ZR_UNSAFE;
    const bool bFolder = (m_cache.dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    name.Replace(L'/', L'\\');
    while (!name.IsEmpty() && name[name.GetLength() - 1] == L'\\')
        name.Delete(name.GetLength() - 1);
    const CString full = CString(m_szBase) + name;
    if (full.GetLength() >= MAX_PATH || !IsPathInside(m_szBase, full))
        return ZR_UNSAFE;

    if (bFolder) {
        EnsureFolderPath(m_szBase, name);
        return ZR_OK;
    }
    const int slash = name.ReverseFind(L'\\');
    const CString folderPart = slash >= 0 ? name.Left(slash) : CString();
    if (folderPart != m_strEnsured) {
        EnsureFolderPath(m_szBase, folderPart);
        m_strEnsured = folderPart;
    }
    // Large entries are weighed against the free disk first (small ones are
    // covered by the unpacker's check of the whole archive).
    if (m_cache.nFullUncompressedSize >= (1u << 20) && m_cache.nFullUncompressedSize > FreeDiskBytes(m_szBase))
        return ZR_WRITE;

    // An existing file is replaced only by content that was written whole and
    // checked; until then the new bytes go to a file beside it.
    bool bReplace = false;
    CString writePath = full;
    HANDLE file = CreateFileW(full, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const DWORD old = GetFileAttributesW(full);
        const DWORD guarded = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || old == INVALID_FILE_ATTRIBUTES ||
            (old & FILE_ATTRIBUTE_DIRECTORY) || (old & guarded & ~m_cache.dwAttributes) ||
            (old & FILE_ATTRIBUTE_READONLY))
            return ZR_NOFILE;
        bReplace = true;
        writePath = full + L".unzip~";
        file = CreateFileW(writePath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return ZR_NOFILE;
    }
    DWORD result = OpenEntryData();
    if (result == ZR_OK)
        result = CopyEntryData(file);
    CloseEntryData();
    // A wrong password shows only as data that does not decompress or check.
    if (result == ZR_FLATE && (m_nCacheFlags & 1))
        result = ZR_PASSWORD;
    if (result == ZR_OK) {
        SetFileTime(file, IsZeroTime(m_cache.ftCreated) ? nullptr : &m_cache.ftCreated,
                    IsZeroTime(m_cache.ftAccessed) ? nullptr : &m_cache.ftAccessed,
                    IsZeroTime(m_cache.ftModified) ? nullptr : &m_cache.ftModified);
    }
    if (!CloseHandle(file) && result == ZR_OK)
        result = ZR_WRITE;
    if (result == ZR_OK && bReplace &&
        !MoveFileExW(writePath, full, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        result = ZR_NOFILE;
    if (result != ZR_OK) {
        DeleteFileW(writePath);
        return result;
    }
    const DWORD keep = m_cache.dwAttributes &
                       (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    if (keep && keep != FILE_ATTRIBUTE_ARCHIVE)
        SetFileAttributesW(full, keep);
    return ZR_OK;
}

// ------------------------------------------------------------------ interface

HZIP ArchiveOpenFile(const wchar_t* zipPath, const char* password)
{
    if (!zipPath)
        return nullptr;
    CZipArchiveReader* reader = new (std::nothrow) CZipArchiveReader(password);
    if (!reader)
        return nullptr;
    if (reader->Open(zipPath) != ZR_OK) {
        delete reader;
        return nullptr;
    }
    ZipHandle* h = new (std::nothrow) ZipHandle;
    if (!h) {
        delete reader;
        return nullptr;
    }
    h->nKind = 1;
    h->pReader = reader;
    return h;
}

static DWORD CheckHandle(HZIP h)
{
    if (!h)
        return ZR_ARGS;
    return h->nKind == 1 && h->pReader ? ZR_OK : ZR_NOTREADER;
}

DWORD ArchiveSetBaseFolder(HZIP h, const wchar_t* folder)
{
    if (DWORD r = CheckHandle(h))
        return r;
    return h->pReader->SetBaseFolder(folder);
}

DWORD ArchiveGetEntry(HZIP h, int index, ZipEntryInfo* info)
{
    if (DWORD r = CheckHandle(h))
        return r;
    if (!info)
        return ZR_ARGS;
    info->nIndex = 0;
    info->szName[0] = 0;
    info->nUncompressedSize = 0;
    return h->pReader->GetEntry(index, info);
}

DWORD ArchiveExtractEntry(HZIP h, int index, const wchar_t* target)
{
    if (DWORD r = CheckHandle(h))
        return r;
    return h->pReader->ExtractEntry(index, target);
}

bool ArchiveIsReader(HZIP h)
{
    return h && h->nKind == 1;
}

DWORD ArchiveCloseReader(HZIP h)
{
    if (DWORD r = CheckHandle(h))
        return r;
    delete h->pReader;
    delete h;
    return ZR_OK;
}

// ------------------------------------------------------------------ folders

void EnsureFolderPath(const wchar_t* base, const wchar_t* path)
{
    CString root(base ? base : L"");
    if (!root.IsEmpty() && !PathExists(root))
        CreateFolderTree(root);
    if (!path || !*path)
        return;
    CreateFolderTree(root + path);
}

static FreeDiskHook s_freeDisk = nullptr;

FreeDiskHook SetFreeDiskHook(FreeDiskHook hook)
{
    FreeDiskHook old = s_freeDisk;
    s_freeDisk = hook;
    return old;
}

ULONGLONG FreeDiskBytes(const wchar_t* path)
{
    if (s_freeDisk)
        return s_freeDisk(path);
    CString p(path);
    p.Replace(L'/', L'\\');
    // The nearest folder that exists.
    while (!p.IsEmpty() && !FolderExists(p)) {
        while (!p.IsEmpty() && p[p.GetLength() - 1] == L'\\')
            p.Delete(p.GetLength() - 1);
        int slash = p.ReverseFind(L'\\');
        if (slash < 0)
            break;
        p = p.Left(slash + 1);
    }
    ULARGE_INTEGER avail;
    if (p.IsEmpty() || !GetDiskFreeSpaceExW(p, &avail, nullptr, nullptr))
        return ~0ULL;
    return avail.QuadPart;
}

ULONGLONG RoomOnDisk(const wchar_t* path)
{
    const ULONGLONG free = FreeDiskBytes(path);
    return free > kDiskMargin ? free - kDiskMargin : 0;
}

// ------------------------------------------------------------------ unpacking

CZipUnpacker::~CZipUnpacker()
{
    if (m_hZip)
        ArchiveCloseReader(m_hZip);
}

DWORD ListArchive(const wchar_t* zipPath, std::vector<ZipEntryInfo>& entries)
{
    entries.clear();
    HZIP h = ArchiveOpenFile(zipPath, nullptr);
    if (!h)
        return ZR_NOFILE;
    ZipEntryInfo info;
    DWORD r = ArchiveGetEntry(h, -1, &info);
    const int count = info.nIndex;
    for (int i = 0; r == ZR_OK && i < count; ++i) {
        r = ArchiveGetEntry(h, i, &info);
        if (r == ZR_OK)
            entries.push_back(info);
    }
    ArchiveCloseReader(h);
    return r;
}

DWORD CheckArchive(const wchar_t* zipPath)
{
    CZipArchiveReader reader(nullptr);
    DWORD r = reader.Open(zipPath);
    for (int i = 0; r == ZR_OK && i < reader.Count(); ++i)
        r = reader.CheckEntry(i);
    return r;
}

bool IsWholeArchive(const wchar_t* zipPath)
{
    return CheckArchive(zipPath) == ZR_OK;
}

BOOL CZipUnpacker::UnpackToFolder(const CString& zipPath, const CString& folder)
{
    m_nLastResult = ZR_ARGS;
    if (folder.IsEmpty() || zipPath.IsEmpty() || !FileExists(zipPath))
        return FALSE;
    auto fail = [this](DWORD code) {
        m_nLastResult = code;
        if (m_hZip) {
            ArchiveCloseReader(m_hZip);
            m_hZip = nullptr;
        }
        return FALSE;
    };
    m_hZip = ArchiveOpenFile(zipPath, nullptr);
    if (!m_hZip)
        return fail(ZR_NOFILE);
    if (DWORD r = ArchiveGetEntry(m_hZip, -1, &m_entry))
        return fail(r);
    const int count = m_entry.nIndex;

    // The whole archive is looked at before anything is written.
    ULONGLONG total = 0;
    for (int i = 0; i < count; ++i) {
        if (DWORD r = ArchiveGetEntry(m_hZip, i, &m_entry))
            return fail(r);
        if (!m_entry.bSafeName || folder.GetLength() + 1 + (int)wcslen(m_entry.szName) >= MAX_PATH)
            return fail(ZR_UNSAFE);
        total += m_entry.nFullUncompressedSize;
    }
    if (total > FreeDiskBytes(folder))
        return fail(ZR_WRITE);
    if (!FolderExists(folder) && !CreateFolderTree(folder))
        return fail(ZR_NOFILE);
    if (DWORD r = ArchiveSetBaseFolder(m_hZip, folder))
        return fail(r);
    for (int i = 0; i < count; ++i) {
        ArchiveGetEntry(m_hZip, i, &m_entry);
        if (DWORD r = ArchiveExtractEntry(m_hZip, i, m_entry.szName))
            return fail(r);
    }
    ArchiveCloseReader(m_hZip);
    m_hZip = nullptr;
    m_nLastResult = ZR_OK;
    return TRUE;
}
