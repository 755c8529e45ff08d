#include "download/ZipSource.h"

#include <cstring>
#include <new>

namespace {

// A few small aligned blocks: minizip hops between the central directory and
// each entry's local header, so one large buffer would be refilled at every hop.
const DWORD kBlockSize = 16 * 1024;
const int kBlocks = 4;

struct Block {
    ULONGLONG pos = ~0ULL;      // file offset (relative to start) of data[0]
    DWORD len = 0;
    unsigned stamp = 0;         // last use, for replacing the oldest
    unsigned char data[kBlockSize];
};

struct FileSource {
    HANDLE hFile = INVALID_HANDLE_VALUE;
    ULONGLONG start = 0;        // file position at opening; seeks are relative to it
    bool canSeek = false;
    bool failed = false;
    ULONGLONG pos = 0;          // logical position, relative to start
    ULONGLONG size = 0;         // bytes from start to the end of the file
    unsigned clock = 0;
    Block blocks[kBlocks];
};

bool RawRead(FileSource* s, ULONGLONG at, void* out, DWORD n, DWORD* got)
{
    *got = 0;
    if (s->canSeek) {
        LARGE_INTEGER li;
        li.QuadPart = (LONGLONG)(s->start + at);
        if (!SetFilePointerEx(s->hFile, li, nullptr, FILE_BEGIN))
            return false;
    }
    DWORD total = 0;
    while (total < n) {
        DWORD chunk = 0;
        if (!ReadFile(s->hFile, (char*)out + total, n - total, &chunk, nullptr))
            return false;
        if (chunk == 0)
            break;
        total += chunk;
    }
    *got = total;
    return true;
}

voidpf ZCALLBACK OpenSource(voidpf opaque, const void* filename, int mode)
{
    if (!filename || (mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ)
        return nullptr;
    HANDLE h = CreateFileW((const wchar_t*)filename, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return nullptr;
    FileSource* s = new (std::nothrow) FileSource;
    if (!s) {
        CloseHandle(h);
        return nullptr;
    }
    s->hFile = h;
    LARGE_INTEGER zero = {}, here = {};
    s->canSeek = SetFilePointerEx(h, zero, &here, FILE_CURRENT) != FALSE;
    s->start = s->canSeek ? (ULONGLONG)here.QuadPart : 0;
    LARGE_INTEGER size = {};
    if (GetFileSizeEx(h, &size) && (ULONGLONG)size.QuadPart >= s->start)
        s->size = (ULONGLONG)size.QuadPart - s->start;
    if (opaque)
        *(voidpf*)opaque = s;
    return s;
}

// The block holding pos, read in when none does; nullptr when reading failed.
Block* BlockAt(FileSource* s, ULONGLONG pos)
{
    Block* oldest = &s->blocks[0];
    for (Block& b : s->blocks) {
        if (b.pos != ~0ULL && pos >= b.pos && pos < b.pos + b.len) {
            b.stamp = ++s->clock;
            return &b;
        }
        if (b.stamp < oldest->stamp)
            oldest = &b;
    }
    const ULONGLONG at = pos - pos % kBlockSize;
    DWORD got = 0;
    if (!RawRead(s, at, oldest->data, kBlockSize, &got)) {
        s->failed = true;
        oldest->pos = ~0ULL;
        return nullptr;
    }
    oldest->pos = at;
    oldest->len = got;
    oldest->stamp = ++s->clock;
    return pos < at + got ? oldest : nullptr;
}

uLong ZCALLBACK ReadSource(voidpf, voidpf stream, void* out, uLong size)
{
    FileSource* s = (FileSource*)stream;
    unsigned char* dst = (unsigned char*)out;
    uLong done = 0;
    // Large blocks of entry data go straight to the caller.
    if (size >= kBlockSize) {
        DWORD got = 0;
        if (!RawRead(s, s->pos, dst, size, &got))
            s->failed = true;
        s->pos += got;
        return got;
    }
    while (done < size) {
        Block* b = BlockAt(s, s->pos);
        if (!b)
            break;
        const DWORD offset = (DWORD)(s->pos - b->pos);
        DWORD n = b->len - offset;
        if (n > size - done)
            n = size - done;
        memcpy(dst + done, b->data + offset, n);
        done += n;
        s->pos += n;
    }
    return done;
}

uLong ZCALLBACK WriteSource(voidpf, voidpf, const void*, uLong)
{
    return 0;
}

ZPOS64_T ZCALLBACK TellSource(voidpf, voidpf stream)
{
    return ((FileSource*)stream)->pos;
}

long ZCALLBACK SeekSource(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    FileSource* s = (FileSource*)stream;
    if (!s->canSeek)
        return -1;
    ULONGLONG target;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: target = offset; break;
    case ZLIB_FILEFUNC_SEEK_CUR: target = s->pos + offset; break;
    case ZLIB_FILEFUNC_SEEK_END: target = s->size + offset; break;
    default: return -1;
    }
    s->pos = target;
    return 0;
}

int ZCALLBACK CloseSource(voidpf opaque, voidpf stream)
{
    FileSource* s = (FileSource*)stream;
    if (opaque && *(voidpf*)opaque == stream)
        *(voidpf*)opaque = nullptr;
    CloseHandle(s->hFile);
    delete s;
    return 0;
}

int ZCALLBACK ErrorSource(voidpf, voidpf stream)
{
    return ((FileSource*)stream)->failed ? 1 : 0;
}

} // namespace

void FillZipFileSource(zlib_filefunc64_def* def, voidpf* pOpened)
{
    def->zopen64_file = OpenSource;
    def->zread_file = ReadSource;
    def->zwrite_file = WriteSource;
    def->ztell64_file = TellSource;
    def->zseek64_file = SeekSource;
    def->zclose_file = CloseSource;
    def->zerror_file = ErrorSource;
    def->opaque = pOpened;
    if (pOpened)
        *pOpened = nullptr;
}

HANDLE ZipSourceHandle(voidpf stream)
{
    return stream ? ((FileSource*)stream)->hFile : INVALID_HANDLE_VALUE;
}

bool ZipSourceCanSeek(voidpf stream)
{
    return stream && ((FileSource*)stream)->canSeek;
}

ULONGLONG ZipSourceSize(voidpf stream)
{
    return stream ? ((FileSource*)stream)->size : 0;
}

bool ZipSourceReadAt(voidpf stream, ULONGLONG offset, void* buf, DWORD n)
{
    FileSource* s = (FileSource*)stream;
    if (!s || !s->canSeek)
        return false;
    DWORD got = 0;
    return RawRead(s, offset, buf, n, &got) && got == n;
}
