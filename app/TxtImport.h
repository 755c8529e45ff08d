// What one TXT import keeps while it runs: the problems told at its end,
// whether it had to stop, and the last article it made.
#pragma once
#include <vector>
#include "framework/CString.h"

class CImportTreeView;

// One thing to import: a TXT file, or a folder whose sub-folders become
// folder items and whose TXT files become books.
struct ImportSource {
    CString path;
    bool folder = false;
};

// A folder an import created, on disk and as a tree item.
struct ImportMadeFolder {
    void* item;
    CString path;
};

struct ImportRunState {
    bool running = false;
    bool stopped = false;               // an article could not be written: nothing more is imported
    void* lastArticle = nullptr;        // tree item of the last article written, selected at the end
    int articles = 0;                   // articles written by this import
    std::vector<CString> problems;      // "path: reason", told once at the end
    std::vector<ImportMadeFolder> madeFolders;  // in the order made; a stopped import removes the empty ones
};

// Raises an import for as long as it lives (bImporting, problems collected
// and told at its end, the last article opened). Inactive when an
// import is already running, as when a file is dropped while a message of
// a running import is shown.
class CImportSession {
public:
    explicit CImportSession(CImportTreeView* view);
    ~CImportSession();
    CImportSession(const CImportSession&) = delete;
    CImportSession& operator=(const CImportSession&) = delete;
    bool IsActive() const { return m_active; }

private:
    CImportTreeView* m_view;
    bool m_active;
};
