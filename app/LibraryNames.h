// Names of library items: the four-digit numbering of new articles and
// folders, cleaning of typed names and titles, renaming and deleting on disk.
// Window-free: the tree view passes item texts and folder paths.
#pragma once
#include <windows.h>
#include <vector>
#include "framework/CString.h"

// One child of a folder item as the tree shows it.
struct LibraryChild {
    CString text;
    bool hasChildren = false;
};

// Longest title the library makes into a name (cut to fit), and the longest
// name a file system component may have.
const int kMaxItemName = 200;
const int kMaxNameOnDisk = 255;

// An item is an article when its text contains ".xml" (case-sensitive).
bool IsArticleName(const CString& name);
// Numbered: the first underscore is the fifth character ("0007_abc.xml").
bool IsNumberedName(const CString& name);
// Decimal value of the first four characters of a numbered name.
int NameNumber(const CString& name);

// Number for a new item from the tree's children of the current folder: the
// last child's number + 1 when it is numbered, otherwise the count of
// children without children of their own + 1 (1 for an empty folder).
int NextItemNumber(const std::vector<LibraryChild>& children);
// "%04d_新文章.xml" or "%04d_新目录".
CString NumberedNewName(int number, bool article);

// The name for a new article or folder in folderPath: NumberedNewName with
// NextItemNumber, the number raised until no child in the tree and no file
// or folder on disk (a folder not yet expanded included) has that name.
CString NewItemName(const CString& folderPath, const std::vector<LibraryChild>& children, bool article);

// Makes typed text or a title usable as a file or folder name: drops
// \ / : * ? " < > | and control characters, trims blanks at both ends and
// dots and blanks at the end, cuts to maxLength characters. The result
// may be empty.
CString CleanNamePart(const CString& text, int maxLength = kMaxItemName);
// A name the library accepts: not empty, not "." or "..", none of the
// characters above, no trailing dot or blank, not a reserved device name
// (CON, NUL, COM1, ...), at most kMaxNameOnDisk characters.
bool IsAcceptableName(const CString& name);

// What the label editor shows for an item: the text without a final ".xml"
// and without the "%04d_" prefix of a numbered name. prefix receives the
// five characters held back (empty when not numbered), isArticle whether the
// text contains ".xml". For a folder item (folderSuffix given) a final
// ".xml" belongs to its name: it is held back in *folderSuffix instead, for
// CompleteEditedName to give back.
CString TitleForEditing(const CString& itemText, CString& prefix, bool& isArticle,
                        CString* folderSuffix = nullptr);
// Completes an edited title: cleaned, prefix put back in front; an article
// gets ".xml" when it has none, a folder loses a final ".xml". A title too
// long for the file system is cut (never inside a surrogate pair, never the
// ".xml") and *note says so. False when the cleaned title is empty, when a
// folder name would still hold ".xml" (any case: the library would take the
// folder for an article) or when the name is not acceptable; *note then
// says why when there is more to say. The old name stays. A folder gets
// folderSuffix (what TitleForEditing held back) after its title.
bool CompleteEditedName(const CString& prefix, const CString& typedTitle, bool isArticle, CString& newName,
                        CString* note = nullptr, const CString& folderSuffix = CString());
// A folder name that holds ".xml" in any letter case.
bool HasArticleMark(const CString& name);
// Fits the file systems the program runs on: at most kMaxNameOnDisk UTF-16
// units and kMaxNameOnDisk UTF-8 bytes (Linux file systems under Wine).
bool FitsNameOnDisk(const CString& name);

enum class RenameResult {
    Unchanged,      // new name equals the old one
    Renamed,        // the file or folder was renamed on disk
    FolderCreated,  // nothing on disk yet; the new folder was made
    NothingOnDisk,  // a new article not yet saved: nothing to do
    Refused,        // see the message
};

// Renames folder\oldName to folder\newName. Refused with a message text when
// the new name is not acceptable, when a sibling in the tree or an entry on
// disk already has it (letter case aside; changing only the case of the same
// item is allowed), when a path is too long, or when Windows refuses. When
// the old item is not on disk, a folder name is created and an article needs
// nothing.
RenameResult RenameItemOnDisk(const CString& folder, const CString& oldName, const CString& newName,
                              const std::vector<CString>& siblingTexts, CString* message = nullptr);

// Deletes an article file or an empty folder (a folder still holding files
// stays). False when it could not be removed or the path is too long.
bool DeleteItemOnDisk(const CString& folder, const CString& name);
