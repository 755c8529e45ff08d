// Whole-file reading and crash-safe replacing of a file.
#pragma once
#include <windows.h>
#include <string>
#include "framework/CString.h"

// Reads the whole file; false when it cannot be opened or read.
bool ReadWholeFile(const wchar_t* path, std::string& bytes);

// Writes the bytes to a temporary file in the same folder (a name without the
// target's extension), checks the count written, flushes, and then replaces the
// target with MoveFileExW (replace existing, write through). The target is never
// truncated before the new content is safely on disk. On failure the temporary
// file is removed, the target keeps its old content, and error (when given)
// receives a readable reason (Windows error text). Returns true on success.
bool WriteFileReplacing(const wchar_t* path, const void* data, size_t size, CString* error = nullptr);

// The temporary file WriteFileReplacing writes first: in the target's folder,
// named "~sav" + a number + ".~tmp", so it never carries the target's
// extension (a library never takes it for an article) and stays short.
CString SaveTempPath(const wchar_t* path);
// A file name ending in ".~tmp": what a save that never finished leaves behind.
bool IsSaveLeftoverName(const wchar_t* name);
// Writes a file that does not exist yet, straight to its name: with nothing
// to protect, no temporary file is needed (a partly written file is removed).
// False, with a reason in error, when the file exists or cannot be written.
bool WriteNewFile(const wchar_t* path, const void* data, size_t size, CString* error = nullptr);
// Lets tests make WriteNewFile fail the way a full or failing disk does: the
// hook sees each path and returns 0 to write it, or the Windows error code
// the write fails with. Returns the previous hook.
typedef DWORD (*NewFileFaultHook)(const wchar_t* path);
NewFileFaultHook SetNewFileFaultHook(NewFileFaultHook hook);

// Copies path to backupPath once: does nothing when backupPath already exists.
// Creates the backup's folder (and its parents) as needed.
bool BackupFileOnce(const wchar_t* path, const wchar_t* backupPath);

// Copies path to backupPath, or, when a file with other bytes already has
// that name, to the first free "<name>_2<ext>", "<name>_3<ext>", ... A backup
// holding the same bytes already counts as made. backupPath receives the
// name used. Creates the backup's folder (and its parents) as needed.
bool BackupFileKeepingOthers(const wchar_t* path, CString& backupPath);

// FNV-1a of a path with letter case folded: the same file gives the same value.
DWORD PathHash(const wchar_t* path);

// Folder part of a path without the trailing separator; empty when there is none.
CString ParentFolder(const wchar_t* path);

// Creates a folder and all missing parents; true when it exists afterwards.
bool CreateFolderTree(const wchar_t* path);

// Deletes a folder and everything below it, read-only files too; trailing
// separators are allowed. True when the folder is gone afterwards.
bool DeleteFolderTree(const wchar_t* path);

bool FileExists(const wchar_t* path);     // a file, not a folder
bool FolderExists(const wchar_t* path);
bool PathExists(const wchar_t* path);     // a file or a folder

// Windows' text for an error code (GetLastError value), trimmed.
CString SystemErrorText(DWORD code);
