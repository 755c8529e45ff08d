// The update list "TempUpdate.txt" (GBK text, one record a line, fields
// split at "-"): line 1 the program version, line 2 the manual-download page,
// then one pack a line as "type-entry". Also the update host's address and
// the checks every text from the list passes. Window-free.
#pragma once

#include <vector>
#include <string>

#include "framework/CString.h"

struct PackLine {
    int nType = 0;          // _wtoi of field 0: text that is no number is 0
    CString strEntry;       // field 1
};

struct UpdateList {
    int nLines = 0;
    CString strVersion;     // field 0 of line 1 (as it stands)
    bool bVersionLineEnded = false;  // line 1 ends with its line feed (not cut)
    bool bHasUrlLine = false;
    CString strNetDiskUrl;  // field 0 of line 2
    std::vector<PackLine> packs;
};

// Fields 0 and 1 of a line: the text before the first "-", and the text
// between the first and the second "-" (to the end without a second one).
void SplitListFields(const CString& line, CString& field0, CString& field1);

// Lines end at LF or CR LF; the bytes are code page 936, or UTF-8 after a
// UTF-8 byte-order mark.
UpdateList ParseUpdateList(const std::string& bytes);

// The most a fetch of the list may bring (bytes): a list is small.
const unsigned long long kMaxListBytes = 1u << 20;
// The most pack rows the book-pack window offers.
const size_t kMaxOfferedPacks = 1000;

// A version worth comparing: 1 to 32 letters, digits, "." and "_". A web
// page, a byte-order mark or a blank line is none.
bool IsPlainVersion(const CString& version);

// A pack entry that may be stored below the program's folder.
bool IsSafePackEntry(const CString& entry);

// Entries offered for download, in list order: type 1 always, type 0 while
// folder + "\" + entry (less one trailing ".zip") does not exist; unsafe
// entries never. folder has no trailing backslash. At most
// kMaxOfferedPacks + 1 entries: one more than is offered tells that the
// list goes on.
std::vector<CString> OfferedPacks(const UpdateList& list, const CString& folder);

// Only http:// and https:// addresses without spaces or control characters
// may be handed to the shell.
bool IsWebAddress(const CString& text);

// A path part of a URL: UTF-8, with everything but unreserved characters
// percent-encoded.
CString EncodeUrlPart(const CString& text);

// "control\preSet.ini", section "Update", key "UpdateHost": the update host's
// base address ("http://host[:port]"). Empty (no host: nothing is fetched)
// when absent or not an http(s) address; a bare host name gets "http://".
extern const wchar_t kUpdateHostSection[];
extern const wchar_t kUpdateHostKey[];
CString ReadUpdateHost(const CString& presetPath);
