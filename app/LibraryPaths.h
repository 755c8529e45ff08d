// Where an article lies in a library: the library root plus the names of the
// folders and the file below it, and the rules that turn them into paths.
// Window-free: the tree view and the frame feed it item texts.
#pragma once
#include <windows.h>
#include <vector>
#include "framework/CString.h"

// Longest full path the Win32 calls used here accept (MAX_PATH less the
// terminating zero), and the shorter limit CreateDirectoryW puts on folders.
const int kMaxLibraryFilePath = MAX_PATH - 1;     // 259
const int kMaxLibraryFolderPath = MAX_PATH - 13;  // 247

// Path components of one article below its library root. Slot 0 is the
// top-most folder, the last component the article's file name; there is no
// limit on depth, so deep articles are never cut short. A pane without an
// article holds no components. The root travels with the components, so a
// save always goes to the library the article was loaded from.
class CPathParts {
public:
    CPathParts() = default;
    explicit CPathParts(const CString& root) : m_strRoot(root) {}

    const CString& GetRoot() const { return m_strRoot; }
    void SetRoot(const CString& root) { m_strRoot = root; }

    // New component in slot 0; the others move one level deeper. An empty
    // part is ignored (it would end the path).
    void PushPathPart(const CString& part);
    // "\" + component for every slot, in order.
    CString JoinPathParts() const;
    // Root followed by JoinPathParts, without a doubled backslash after a
    // root such as "D:\".
    CString GetFullPath() const;

    int GetCount() const { return (int)m_parts.size(); }
    // The component in slot i; empty beyond the last one.
    CString GetAt(int i) const;
    // The last component (the article's file name), empty without one.
    CString GetLast() const;
    const std::vector<CString>& GetParts() const { return m_parts; }
    void SetParts(const std::vector<CString>& parts);

    // No article: slot 0 is empty.
    bool IsEmpty() const { return m_parts.empty(); }
    // Drops the components; the root is kept.
    void Empty() { m_parts.clear(); }

    // Same root and same components (exact comparison).
    bool SameArticle(const CPathParts& other) const;

    // The item renamedItem (its root and components before the rename) now has
    // the name newName. When this array lies at or below that item, the
    // matching component is replaced. Returns true when something changed.
    bool RenamePrefix(const CPathParts& renamedItem, const CString& newName);

private:
    CString m_strRoot;
    std::vector<CString> m_parts;
};

// Copies the component to *out; 1 when it names a folder (not empty and no
// ".xml" in it), else 0.
int IsFolderPart(const CString& part, CString* out);

// 1 when one of the texts, taken from the item itself up through its
// ancestors and stopping before the library root, contains "写小说": such
// articles are shown in the lower pane. The root's own text never counts.
int IsInWritingFolder(const std::vector<CString>& textsBelowRoot);
// The same for the components of an article.
int IsInWritingFolder(const CPathParts& parts);

// folder + "\" + part, without doubling a backslash the folder ends with.
CString AppendPathPart(const CString& folder, const CString& part);

// Folder and full path of the article that parts names: the folder is the
// root plus every component but the last, the full path the folder plus the
// last one (when that is no folder component; else it joins the folder and
// the path ends with a backslash). With createFolders, missing folders are
// created on the way (failures are left to the later save). Refuses, with a message text
// in *error, an empty root and a folder or path too long for the platform;
// nothing is created then.
bool BuildArticlePath(const CPathParts& parts, CString& folder, CString& path, bool createFolders,
                      CString* error = nullptr);

// The message for a path longer than the platform allows.
CString PathTooLongMessage(const CString& path);

// The window title shown while an article is open: banner, the text of the
// item's parent (the library root's path for an article directly under it),
// "------", then the item's text without a final ".xml".
CString ArticleWindowTitle(const CString& parentText, const CString& itemText);
// "Lumivell-Velquor", two blanks, the contact line and 21 blanks.
CString TitleBanner();

// Full path of a tree item from the texts of its chain, root first and item
// last: each ancestor's text is followed by a backslash unless it already ends
// with one. No limit on depth.
CString ItemPathFromTexts(const std::vector<CString>& textsFromRoot);
// The components of the same chain: root = first text, components = the rest.
CPathParts PartsFromTexts(const std::vector<CString>& textsFromRoot);

// When fullPath lies at or below oldPrefix (compared without regard to case,
// on a component boundary), replace that leading part by newPrefix.
bool RenamePathPrefix(CString& fullPath, const CString& oldPrefix, const CString& newPrefix);
