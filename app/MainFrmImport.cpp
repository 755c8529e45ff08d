// The main frame's ways into the TXT import: files and folders dropped on
// the window, and the import command when a pane has the focus.
#include "app/MainFrm.h"

#include <shellapi.h>

#include "app/ImportTreeView.h"
#include "framework/FileUtil.h"

void CMainFrame::OnDropFiles(HDROP hDropInfo)
{
    std::vector<ImportSource> sources;
    const UINT count = DragQueryFileW(hDropInfo, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // Paths of any length, not only those that fit MAX_PATH.
        const UINT length = DragQueryFileW(hDropInfo, i, nullptr, 0);
        CString name;
        DragQueryFileW(hDropInfo, i, name.GetBufferSetLength((int)length + 1), length + 1);
        name.ReleaseBuffer((int)length);
        // A folder is known by what it is, not by a dot in its path.
        if (FolderExists(name)) {
            sources.push_back({name, true});
            continue;
        }
        name.MakeLower();
        if (name.Find(L".txt") >= 0)
            sources.push_back({name, false});
    }
    DragFinish(hDropInfo);
    if (CImportTreeView* treeView = GetTreeView())
        treeView->ImportBooks(sources, 0, 8, m_strTitleText, CString());
}

void CMainFrame::OnImportNovel()
{
    if (CImportTreeView* tree = GetTreeView())
        tree->ShowImportDialog();
}
