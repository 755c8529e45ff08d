// Rules for names that come from the network (zip entries, pack entries of the
// update list): what may be written below a folder, and how stored names are
// decoded. Window-free.
#pragma once

#include <windows.h>
#include "framework/CString.h"

// Longest relative name accepted (the whole path must fit MAX_PATH too).
const int kMaxEntryName = MAX_PATH - 1;

// Stored zip names: UTF-8 when the entry's flag bit 11 says so, else the
// ANSI code page.
CString DecodeEntryName(const char* bytes, int len, bool bUtf8);

// Drops what would climb out of a folder: a leading drive ("X:"), one leading
// separator, and everything up to a "\..\", "\../", "/../" or "/..\", again
// until none applies. Works in place on a buffer of MAX_PATH characters.
void CleanEntryName(wchar_t* name);

// A name that may be written below a folder as it stands: not empty, at most
// maxLen characters, relative ("\"- or "/"-separated, no leading separator,
// no drive, no UNC), no ":" or other character Windows refuses in a name, no
// control characters, no "." or ".." step, no step ending in a dot or space,
// no device name (CON, NUL, COM1, ...). One trailing separator is allowed
// (a folder entry).
bool IsSafeRelativeName(const wchar_t* name, int maxLen = kMaxEntryName);

// Whether path lies inside folder once both are made full (".." and "."
// resolved); the folder itself does not count.
bool IsPathInside(const wchar_t* folder, const wchar_t* path);
