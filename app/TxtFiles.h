// TXT files for the import: reading one in its encoding, the book name it
// gives, and walking a folder tree of them. Window-free.
#pragma once
#include <string>
#include "framework/CString.h"

enum class TxtReadResult {
    kText,          // text holds the file's text (possibly empty after decoding)
    kEmpty,         // the file has no bytes: nothing to import
    kMissing,       // there is no such file
    kUnreadable,    // it exists but could not be opened or read (locked, a folder)
    kTooLarge,
};

// Largest TXT file the import reads (bytes).
const long long kMaxTxtBytes = 256ll << 20;

// What decoding a TXT file could not take as it stood.
enum class TxtDamage {
    kNone,
    kOddByte,       // a UTF-16 file of odd length lost its incomplete last byte
    kBadUtf8,       // damaged UTF-8 sequences became U+FFFD, one each
};

// The text of a TXT file's bytes: UTF-16LE after the bytes FF FE; UTF-8
// after EF BB BF, unless the rest is not well-formed UTF-8 and the whole
// file, those bytes included, reads in the ANSI code page without error
// (GBK texts can begin with them); otherwise the ANSI code page. Zero units
// (UTF-16) and zero bytes are left out, the text after them kept.
CString DecodeTxtBytes(const std::string& bytes, TxtDamage* damage = nullptr);

// Reads and decodes a TXT file. *error receives a short reason for
// kUnreadable and kTooLarge.
TxtReadResult ReadTxtFile(const CString& path, CString& text, TxtDamage* damage = nullptr, CString* error = nullptr);

// The book a TXT file makes: the name after the last backslash without a
// final ".txt" in any letter case.
CString BookNameFromPath(const CString& path);

// What a folder walk finds, in the order the file system lists it.
class ITxtFolderVisitor {
public:
    virtual ~ITxtFolderVisitor() = default;
    // A sub-folder (lower-cased name); its contents follow, then LeaveFolder.
    virtual void EnterFolder(const CString& name) = 0;
    virtual void LeaveFolder() = 0;
    // A file whose lower-cased name contains ".txt"; path = folder + "\" +
    // the lower-cased name.
    virtual void TxtFile(const CString& path) = 0;
    // Something that was left out, with the reason.
    virtual void Skipped(const CString& path, const CString& reason) = 0;
    // False stops the walk.
    virtual bool GoOn() { return true; }
};

// Walks folder and its sub-folders. Each folder's entries are listed before
// any is visited; links and junctions are not followed, and a folder reached
// a second time (a loop through a link the system does not mark) is skipped.
void WalkTxtFolder(const CString& folder, ITxtFolderVisitor& visitor);

// Whether path is folder itself or lies below it (the folder found by its
// identity on the disk). An import from folder into path would walk the
// folders it makes there, without end.
bool IsFolderAtOrBelow(const CString& folder, const CString& path);
