// Filling the library tree from disk, two levels at a time, and the walk of
// the next-page and previous-page commands. Both work on an abstract tree,
// so the real tree control and a plain test tree share the rules.
#pragma once
#include <windows.h>
#include <vector>
#include "framework/CString.h"

// A tree item as the tree knows it (an HTREEITEM for the tree control);
// nullptr is "no item".
typedef void* LibraryItem;

class ILibraryTree {
public:
    virtual ~ILibraryTree() = default;
    virtual LibraryItem GetParentItem(LibraryItem item) = 0;
    virtual LibraryItem GetFirstChild(LibraryItem item) = 0;
    virtual LibraryItem GetNextSibling(LibraryItem item) = 0;
    virtual LibraryItem GetPrevSibling(LibraryItem item) = 0;
    virtual CString GetText(LibraryItem item) = 0;
    // Appends an item with the text as the last child of parent.
    virtual LibraryItem InsertLast(LibraryItem parent, const CString& text) = 0;
    // The item stands for a folder on disk: it is never taken for an article,
    // whatever its name holds.
    virtual void MarkFolder(LibraryItem /*item*/) {}
    // A folder item that holds only the placeholder of a fill gets all its
    // children, as on its first expansion.
    virtual void FillChildren(LibraryItem /*item*/) {}
};

// One entry of a library folder that the tree shows.
struct LibraryEntry {
    CString name;        // lower-cased
    bool isFolder = false;
};

// The qualifying entries of folder in the order the file system lists them:
// sub-folders (not "." or "..") and files whose lower-cased name contains
// ".xml" anywhere. With firstOnly, only the first one.
std::vector<LibraryEntry> ListLibraryEntries(const CString& folder, bool firstOnly = false);

// Puts the qualifying entries of folder under parent. depth is the number of
// levels to visit: 1 gives parent one child (the placeholder that shows an
// expand button) when it has none yet; 2 completes parent and gives each of
// its sub-folders its placeholder. fresh says parent had no children yet; an
// item whose text already names an entry (letter case aside) is never
// inserted again, so filling a folder never shows an item twice.
void FillTree(ILibraryTree& tree, const CString& folder, LibraryItem parent, int depth, int fresh);

// Target of the next-page command from the selected item: its next sibling,
// else its parent's next sibling; then down the first-child chain while the
// target has children (folders never opened are filled on the way). nullptr
// when there is none.
LibraryItem NextPageItem(ILibraryTree& tree, LibraryItem selected);
// Target of the previous-page command: the previous sibling, else the
// parent's previous sibling; when that has children, down the first-child
// chain and then to the last sibling at that level (folders never opened are
// filled on the way). nullptr when none.
LibraryItem PrevPageItem(ILibraryTree& tree, LibraryItem selected);

// The texts of an item's children, in order.
std::vector<CString> ChildTexts(ILibraryTree& tree, LibraryItem parent);
