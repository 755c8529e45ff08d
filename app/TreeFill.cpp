#include "app/TreeFill.h"
#include "app/LibraryPaths.h"
#include "framework/File.h"
#include "framework/FileUtil.h"

#include <cwctype>
#include <string>
#include <unordered_map>

namespace {

// Key for matching children by text with letter case ignored, the same folding
// CompareNoCase does. Items typed by the user keep their letter case; names
// from disk are lower-cased.
std::wstring FoldedKey(const CString& text)
{
    std::wstring key(text.GetString(), (size_t)text.GetLength());
    for (wchar_t& ch : key)
        ch = (wchar_t)towlower(ch);
    return key;
}

// Next (forward) or previous sibling of an item, or else that of its parent.
LibraryItem SiblingOrParentSibling(ILibraryTree& tree, LibraryItem item, bool forward)
{
    auto sibling = [&tree, forward](LibraryItem of) {
        return forward ? tree.GetNextSibling(of) : tree.GetPrevSibling(of);
    };
    LibraryItem target = sibling(item);
    if (!target) {
        LibraryItem parent = tree.GetParentItem(item);
        if (parent)
            target = sibling(parent);
    }
    return target;
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
        if (!entry.isFolder && (entry.name.Find(L".xml") < 0 || IsSaveLeftoverName(entry.name)))
            continue;   // other files, and what an unfinished save left
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
        if (first.empty())
            return;
        LibraryItem item = tree.InsertLast(parent, first[0].name);
        if (item && first[0].isFolder)
            tree.MarkFolder(item);
        return;
    }
    // Built once per fill so each lookup is constant time; the first child
    // with a given text wins, as a front-to-back search would find it.
    std::unordered_map<std::wstring, LibraryItem> existing;
    for (LibraryItem child = tree.GetFirstChild(parent); child; child = tree.GetNextSibling(child))
        existing.emplace(FoldedKey(tree.GetText(child)), child);

    for (const LibraryEntry& entry : ListLibraryEntries(folder)) {
        const std::wstring key = FoldedKey(entry.name);
        auto found = existing.find(key);
        LibraryItem item = found != existing.end() ? found->second : nullptr;
        const bool isNew = item == nullptr;
        if (isNew) {
            item = tree.InsertLast(parent, entry.name);
            if (!item)
                continue;
            existing.emplace(key, item);
        }
        if (entry.isFolder) {
            tree.MarkFolder(item);
            FillTree(tree, AppendPathPart(folder, entry.name), item, depth - 1, isNew ? 1 : 0);
        }
    }
}

LibraryItem NextPageItem(ILibraryTree& tree, LibraryItem selected)
{
    if (!selected)
        return nullptr;
    LibraryItem target = SiblingOrParentSibling(tree, selected, true);
    while (target) {
        tree.FillChildren(target);
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
    LibraryItem target = SiblingOrParentSibling(tree, selected, false);
    if (!target)
        return nullptr;
    tree.FillChildren(target);
    if (tree.GetFirstChild(target)) {
        while (LibraryItem child = tree.GetFirstChild(target)) {
            target = child;
            tree.FillChildren(target);
        }
        while (LibraryItem next = tree.GetNextSibling(target))
            target = next;
    }
    return target;
}
