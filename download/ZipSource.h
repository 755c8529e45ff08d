// The file source minizip reads archives through: a Windows file opened by
// its wide path, read through a buffer of its own (minizip asks for headers a
// few bytes at a time and seeks before every block it reads).
#pragma once

#include <windows.h>

#include "ioapi.h"

// Fills the callbacks; the file name handed to unzOpen2_64 is a wchar_t path.
// The source opened through them is stored in *pOpened (nullptr until then).
void FillZipFileSource(zlib_filefunc64_def* def, voidpf* pOpened);

// The Windows handle of an open source (INVALID_HANDLE_VALUE for none).
HANDLE ZipSourceHandle(voidpf stream);
// Whether SetFilePointer worked on the handle when it was opened.
bool ZipSourceCanSeek(voidpf stream);
// Bytes from the source's start to the end of the file.
ULONGLONG ZipSourceSize(voidpf stream);
// Reads n bytes at offset (relative to the source's start), bypassing the
// buffer's position; true when all arrived.
bool ZipSourceReadAt(voidpf stream, ULONGLONG offset, void* buf, DWORD n);
