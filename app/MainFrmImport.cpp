// The main frame's ways into the TXT import: files and folders dropped on
// the window, and the import command when a pane has the focus.
#include "app/MainFrm.h"

#include <shellapi.h>

#include "app/ImportTreeView.h"
#include "app/LibraryNames.h"
#include "framework/FileUtil.h"

void CMainFrame::OnDropFiles(HDROP hDropInfo)
{
    CImportTreeView* treeView = GetTreeView();
    {
        // A drop that arrives while an import shows a message is not nested into it.
        CImportSession session(treeView);
        if (session.IsActive()) {
            CTreeCtrl& tree = treeView->GetTreeCtrl();
            HTREEITEM target = treeView->SelectImportTarget();
            const UINT count = DragQueryFileW(hDropInfo, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < count && !treeView->GetImportState().stopped; ++i) {
                // Paths of any length, not only those that fit MAX_PATH.
                const UINT length = DragQueryFileW(hDropInfo, i, nullptr, 0);
                CString name;
                DragQueryFileW(hDropInfo, i, name.GetBufferSetLength((int)length + 1), length + 1);
                name.ReleaseBuffer((int)length);
                // A folder is known by what it is, not by a dot in its path.
                if (FolderExists(name)) {
                    treeView->ImportTxtFolder(&tree, name, target, m_strTitleText, CString());
                    continue;
                }
                CString lower = name;
                lower.MakeLower();
                if (lower.Find(L".txt") < 0)
                    continue;
                tree.SelectItem(target);
                treeView->SetFocus();
                treeView->ImportTxtFile(lower, 0, 8, m_strTitleText, CString());
            }
        }
    }
    DragFinish(hDropInfo);
}

void CMainFrame::OnImportNovel()
{
    if (CImportTreeView* tree = GetTreeView())
        tree->ShowImportDialog();
}
