#include "download/ZipSource.h"

#include <cstring>
#include <new>

namespace {

const DWORD kBufferSize = 64 * 1024;

struct FileSource {
    HANDLE hFile = INVALID_HANDLE_VALUE;
    ULONGLONG start = 0;        // file position at opening; seeks are relative to it
    bool canSeek = false;
    bool failed = false;
    ULONGLONG pos = 0;          // logical position, relative to start
    ULONGLONG bufPos = 0;       // position of buf[0]
    DWORD bufLen = 0;
    ULONGLONG size = 0;         // bytes from start to the end of the file
    unsigned char buf[kBufferSize];
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

uLong ZCALLBACK ReadSource(voidpf, voidpf stream, void* out, uLong size)
{
    FileSource* s = (FileSource*)stream;
    unsigned char* dst = (unsigned char*)out;
    uLong done = 0;
    while (done < size) {
        // From the buffer when the position lies in it.
        if (s->pos >= s->bufPos && s->pos < s->bufPos + s->bufLen) {
            DWORD offset = (DWORD)(s->pos - s->bufPos);
            DWORD n = s->bufLen - offset;
            if (n > size - done)
                n = size - done;
            memcpy(dst + done, s->buf + offset, n);
            done += n;
            s->pos += n;
            continue;
        }
        DWORD got = 0;
        // Large blocks go straight to the caller; small reads refill the buffer.
        if (size - done >= kBufferSize) {
            if (!RawRead(s, s->pos, dst + done, size - done, &got)) {
                s->failed = true;
                break;
            }
            done += got;
            s->pos += got;
            break;
        }
        if (!RawRead(s, s->pos, s->buf, kBufferSize, &got)) {
            s->failed = true;
            s->bufLen = 0;
            break;
        }
        s->bufPos = s->pos;
        s->bufLen = got;
        if (got == 0)
            break;
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

bool ZipSourceReadAt(voidpf stream, ULONGLONG offset, void* buf, DWORD n)
{
    FileSource* s = (FileSource*)stream;
    if (!s || !s->canSeek)
        return false;
    DWORD got = 0;
    return RawRead(s, offset, buf, n, &got) && got == n;
}
