#include "app/TreeFill.h"
#include "app/LibraryPaths.h"
#include "framework/File.h"

namespace {

struct ExistingChild {
    CString text;
    LibraryItem item;
};

LibraryItem FindByText(const std::vector<ExistingChild>& children, const CString& name)
{
    // Items typed by the user keep their letter case; names from disk are lower-cased.
    for (const ExistingChild& child : children) {
        if (child.text.CompareNoCase(name) == 0)
            return child.item;
    }
    return nullptr;
}

} // namespace

std::vector<LibraryEntry> ListLibraryEntries(const CString& folder, bool firstOnly)
{
    std::vector<LibraryEntry> entries;
    CFileFind finder;
    BOOL more = finder.FindFile(AppendPathPart(folder, L"*.*"));
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots())
            continue;
        LibraryEntry entry;
        entry.name = finder.GetFileName();
        entry.name.MakeLower();
        entry.isFolder = finder.IsDirectory() != FALSE;
        if (!entry.isFolder && entry.name.Find(L".xml") < 0)
            continue;
        entries.push_back(entry);
        if (firstOnly)
            break;
    }
    return entries;
}

std::vector<CString> ChildTexts(ILibraryTree& tree, LibraryItem parent)
{
    std::vector<CString> texts;
    for (LibraryItem child = tree.GetFirstChild(parent); child; child = tree.GetNextSibling(child))
        texts.push_back(tree.GetText(child));
    return texts;
}

void FillTree(ILibraryTree& tree, const CString& folder, LibraryItem parent, int depth, int fresh)
{
    // fresh only tells whether parent is still empty; the children are looked
    // at either way, since enumeration order is not a promise.
    (void)fresh;
    if (depth < 1 || !parent)
        return;
    if (depth == 1) {
        // One child is enough for the expand button.
        if (tree.GetFirstChild(parent))
            return;
        const std::vector<LibraryEntry> first = ListLibraryEntries(folder, true);
        if (!first.empty())
            tree.InsertLast(parent, first[0].name);
        return;
    }
    std::vector<ExistingChild> existing;
    for (LibraryItem child = tree.GetFirstChild(parent); child; child = tree.GetNextSibling(child))
        existing.push_back({tree.GetText(child), child});

    for (const LibraryEntry& entry : ListLibraryEntries(folder)) {
        LibraryItem item = FindByText(existing, entry.name);
        const bool isNew = item == nullptr;
        if (isNew) {
            item = tree.InsertLast(parent, entry.name);
            if (!item)
                continue;
            existing.push_back({entry.name, item});
        }
        if (entry.isFolder)
            FillTree(tree, AppendPathPart(folder, entry.name), item, depth - 1, isNew ? 1 : 0);
    }
}

LibraryItem NextPageItem(ILibraryTree& tree, LibraryItem selected)
{
    if (!selected)
        return nullptr;
    LibraryItem target = tree.GetNextSibling(selected);
    if (!target) {
        LibraryItem parent = tree.GetParentItem(selected);
        if (parent)
            target = tree.GetNextSibling(parent);
    }
    while (target) {
        LibraryItem child = tree.GetFirstChild(target);
        if (!child)
            break;
        target = child;
    }
    return target;
}

LibraryItem PrevPageItem(ILibraryTree& tree, LibraryItem selected)
{
    if (!selected)
        return nullptr;
    LibraryItem target = tree.GetPrevSibling(selected);
    if (!target) {
        LibraryItem parent = tree.GetParentItem(selected);
        if (parent)
            target = tree.GetPrevSibling(parent);
    }
    if (!target)
        return nullptr;
    if (tree.GetFirstChild(target)) {
        while (LibraryItem child = tree.GetFirstChild(target))
            target = child;
        while (LibraryItem next = tree.GetNextSibling(target))
            target = next;
    }
    return target;
}
