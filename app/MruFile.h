// The four library folders opened last, newest first, kept in the section
// [Mru File] of an INI file and shown as the "最近路径" menu items.
#pragma once
#include <windows.h>
#include "framework/CString.h"

const int kMruEntries = 4;
const UINT kMruFirstCommand = 32844;   // entry 1; entry 4 is 32847
const UINT kMruClearCommand = 32848;   // "清理最近任务"

class CMruFile {
public:
    CMruFile() = default;
    virtual ~CMruFile() = default;

    // The INI file the list is saved to; nothing is saved while it is empty.
    void SetIniPath(const CString& path) { m_strIniPath = path; }
    const CString& GetIniPath() const { return m_strIniPath; }
    // The main window whose menu RebuildMenu updates (none: no menu work).
    void SetMainWindow(HWND hwnd) { m_hMainWnd = hwnd; }

    // Puts a folder at the front. A folder already in the list (letter case
    // aside) moves to the front; a fifth folder drops the oldest. Adding the
    // folder that is already first changes and writes nothing.
    void Add(const CString& path);
    // Empties the list, rebuilds the menu and saves.
    void Clear();
    // [Mru File] "FileNum" = count, "1" to "4" = the entries (empty ones too).
    void Save();
    // Reads the section back (a missing file gives an empty list).
    void Load();
    // Replaces the items 32844..32847 of the recent-path submenu (the fifth
    // item of the main window's first pop-up) by the present entries.
    void RebuildMenu();
    // The same on a given menu bar; false when it has no such submenu.
    bool RebuildMenu(HMENU menuBar);

    int GetCount() const { return m_nCount; }
    // Entry i (0 = newest); empty outside the list.
    CString GetAt(int i) const;

private:
    CString m_strIniPath;
    CString m_strEntries[kMruEntries];
    int m_nCount = 0;
    HWND m_hMainWnd = nullptr;
};
