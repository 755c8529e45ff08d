// The main frame and the library: filling the tree, switching, saving and
// auto-saving articles, page-by-page reading and opening other libraries.
#include "app/MainFrm.h"

#include <shlobj.h>

#include "app/DisplaySettings.h"
#include "app/ImportTreeView.h"
#include "app/LibraryNames.h"
#include "app/TreeFill.h"
#include "framework/MessageBox.h"
#include "view/ImportView.h"

namespace {

// Holds a busy flag up for as long as it lives.
class CNesting {
public:
    explicit CNesting(bool& flag) : m_flag(flag) { m_flag = true; }
    ~CNesting() { m_flag = false; }
    CNesting(const CNesting&) = delete;
    CNesting& operator=(const CNesting&) = delete;

private:
    bool& m_flag;
};

bool BuildPathOrTell(const CPathParts& parts, CString& folder, CString& path, bool create)
{
    CString error;
    if (BuildArticlePath(parts, folder, path, create, &error))
        return true;
    AfxMessageBox(error, MB_OK | MB_ICONWARNING);
    return false;
}

} // namespace

// ---------------------------------------------------------------- filling

void CMainFrame::FillTree(CTreeCtrl* pTree, const CString& folder, HTREEITEM hParent, int depth, int fresh)
{
    if (!pTree)
        return;
    CTreeCtrlLibrary library(*pTree);
    ::FillTree(library, folder, hParent, depth, fresh);
}

void CMainFrame::OpenLibrary(const CString& path, bool bRemember)
{
    CTreeCtrl* tree = GetTreeCtrl();
    if (!tree)
        return;
    m_strLibraryRoot = path;
    ++m_nQuietSelect;
    tree->DeleteAllItems();
    --m_nQuietSelect;
    HTREEITEM root = tree->InsertItem(TVIF_TEXT, path, 0, 0, 0, 0, 0, TVI_ROOT, TVI_LAST);
    if (bRemember)
        m_mru.Add(path);
    FillTree(tree, path, root, 2, 1);
}

void CMainFrame::OnTreeItemExpanding(NMHDR* pNMHDR, LRESULT* pResult)
{
    NMTREEVIEWW* nm = (NMTREEVIEWW*)pNMHDR;
    CImportTreeView* view = GetTreeView();
    CTreeCtrl* tree = GetTreeCtrl();
    HTREEITEM item = nm->itemNew.hItem;
    if (view && tree && item && item != tree->GetRootItem() &&
        !(tree->GetItemState(item, TVIS_EXPANDEDONCE) & TVIS_EXPANDEDONCE) && tree->ItemHasChildren(item))
        FillTree(tree, view->GetItemPath(item), item, 2, 0);
    Invalidate();
    *pResult = 0;
}

// ---------------------------------------------------------------- where articles go

int CMainFrame::IsInWritingFolder(HTREEITEM item)
{
    CImportTreeView* view = GetTreeView();
    if (!view || !item)
        return 0;
    std::vector<CString> texts = view->ItemTexts(item);
    if (texts.size() < 2)
        return 0;   // the root's own name never counts
    texts.erase(texts.begin());
    return ::IsInWritingFolder(texts);
}

// ---------------------------------------------------------------- switching

void CMainFrame::OnTreeSelChanged(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    if (m_nQuietSelect)
        return;
    // A selection made while a switch waits in a message box is followed
    // once that switch is over, never in the middle of it.
    if (m_bSwitching || m_bSaving) {
        m_bSelectionPending = true;
        return;
    }
    SwitchToSelection();
}

LRESULT CMainFrame::OnSyncSelection(WPARAM, LPARAM)
{
    if (m_bSwitching || m_bSaving)
        m_bSelectionPending = true;
    else
        SwitchToSelection();
    return 0;
}

void CMainFrame::SelectQuietly(const CPathParts& parts)
{
    CImportTreeView* view = GetTreeView();
    if (!view)
        return;
    HTREEITEM item = parts.IsEmpty() ? nullptr : view->FindItem(parts);
    ++m_nQuietSelect;
    view->GetTreeCtrl().SelectItem(item);
    --m_nQuietSelect;
}

void CMainFrame::SwitchToSelection()
{
    CImportTreeView* treeView = GetTreeView();
    if (!treeView)
        return;
    CTreeCtrl& tree = treeView->GetTreeCtrl();
    HTREEITEM item = tree.GetSelectedItem();
    const CString text = item ? tree.GetItemText(item) : CString();

    WaitForSingleObject(m_hLoadEvent, kLoadWait);
    ResetEvent(m_hLoadEvent);

    // The article already shown, chosen again, leaves the auto-save's due
    // time alone: clicking it from time to time must not keep the save away.
    bool keepTimer = false;
    if (item && treeView->IsArticleItem(item)) {
        CPathParts target = treeView->ItemParts(item);
        int row = IsInWritingFolder(item);
        // A file is open in one pane at most: an article the other pane
        // already shows (its folder was renamed into or out of a "写小说"
        // folder since) stays there, so no second copy can overwrite its edits.
        if (!PaneParts(row).SameArticle(target) && PaneParts(1 - row).SameArticle(target))
            row = 1 - row;
        CPathParts& current = PaneParts(row);
        HTREEITEM parent = tree.GetParentItem(item);
        const CString title = ArticleWindowTitle(parent ? tree.GetItemText(parent) : CString(), text);

        m_leavingParts = current;
        CImportView* view = GetArticleView(row);
        CString folder, path;
        // From here on a selection made while a message is shown waits.
        CNesting switching(m_bSwitching);
        keepTimer = target.SameArticle(current) && m_nTimerID;
        if (!keepTimer)
            StopAutoSaveTimer();
        if (target.SameArticle(current)) {
            SetWindowText(title);
            ShowArticlePane(row);
        } else if (!view) {
            // no pane to show it in
        } else if (!BuildPathOrTell(target, folder, path, false)) {
            // Clicks made while the message was shown are dropped with the switch.
            m_bSelectionPending = false;
            SelectQuietly(current);
        } else {
            // Paging from the pane itself keeps the keyboard there once the next article is in.
            const bool paneHadFocus = ::GetFocus() == view->m_hWnd;
            view->EnableWindow(FALSE);
            m_wndOuterSplitter.SetActivePane(0, 0);
            bool saved = true;
            if ((bImporting || view->m_bModified) && !m_leavingParts.IsEmpty())
                saved = SavePane(view, m_leavingParts);
            if (!saved) {
                // The article stays shown with its edits; so does its item.
                view->EnableWindow(TRUE);
                m_bSelectionPending = false;
                SelectQuietly(current);
            } else {
                view->CloseArticle();
                view->m_bModified = 0;
                current = target;
                BuildArticlePath(current, folder, path, true);
                view->OpenArticle(folder, path);
                ShowArticlePane(row);
                view->Redraw();
                SetWindowText(title);
            }
            if (paneHadFocus && view->IsWindowEnabled()) {
                SetActiveView(view);
                view->SetFocus();
            }
        }
    }

    if (!keepTimer)
        RestartAutoSaveTimer();
    SetEvent(m_hLoadEvent);
    if (m_bSelectionPending) {
        m_bSelectionPending = false;
        PostMessage(WM_FRAME_SYNC_SELECTION);
    }
}

// ---------------------------------------------------------------- saving

bool CMainFrame::SavePane(CImportView* pView, const CPathParts& parts)
{
    CString folder, path;
    if (!BuildPathOrTell(parts, folder, path, true))
        return false;
    return pView->SaveArticle(folder, path);
}

bool CMainFrame::SaveModifiedPanes(bool bAutoSave)
{
    if (m_bSaving)
        return false;
    CNesting saving(m_bSaving);
    StopAutoSaveTimer();
    // A save hands the keyboard back to where the user was working (a pane,
    // a name being typed in the tree), which a disabled pane loses.
    const HWND hFocus = ::GetFocus();
    CView* pActive = GetActiveView();
    int lastSaved = -1;
    bool all = true;
    for (int row = 0; row < 2; ++row) {
        CImportView* view = GetArticleView(row);
        if (!view || !view->m_bModified)
            continue;
        const CPathParts& parts = PaneParts(row);
        if (parts.IsEmpty()) {
            view->m_bModified = 0;      // nothing open to save
            continue;
        }
        if (bAutoSave && m_strLibraryRoot.IsEmpty())
            continue;
        view->EnableWindow(FALSE);
        if (!bAutoSave)
            m_wndOuterSplitter.SetActivePane(0, 0);
        const bool ok = SavePane(view, parts);
        view->EnableWindow(TRUE);
        lastSaved = row;
        // A failed save keeps the flag, so the next save tries again.
        if (ok)
            view->m_bModified = 0;
        else
            all = false;
    }
    if (lastSaved >= 0) {
        if (hFocus && ::IsWindow(hFocus) && ::IsWindowEnabled(hFocus) && ::IsWindowVisible(hFocus)) {
            if (pActive && GetActiveView() != pActive)
                SetActiveView(pActive);
            if (::GetFocus() != hFocus)
                ::SetFocus(hFocus);
        } else if (CImportView* view = bAutoSave ? GetArticleView(lastSaved) : nullptr) {
            m_wndInnerSplitter.SetActivePane(lastSaved, 0);
            view->SetFocus();
        }
    }
    RestartAutoSaveTimer();
    // A tree selection made while a save message was shown is followed now.
    if (m_bSelectionPending && !m_bSwitching) {
        m_bSelectionPending = false;
        PostMessage(WM_FRAME_SYNC_SELECTION);
    }
    return all;
}

void CMainFrame::AutoSave()
{
    if (m_bSwitching)
        return;
    SaveModifiedPanes(true);
}

void CMainFrame::CloseArticleOf(int row)
{
    PaneParts(row).Empty();
    if (CImportView* view = GetArticleView(row)) {
        view->CloseArticle();
        view->m_bModified = 0;
        view->Redraw();
        view->EnableWindow(FALSE);
    }
}

int CMainFrame::CloseCurrent()
{
    if (m_strLibraryRoot.IsEmpty())
        return 1;
    if (!SaveModifiedPanes(false))
        return 0;
    // The lower pane keeps its article: its components carry their own
    // library root, so it is saved where it was loaded from.
    m_leavingParts.Empty();
    CloseArticleOf(0);
    m_wndOuterSplitter.SetActivePane(0, 0);
    return 1;
}

// ---------------------------------------------------------------- renames and deletes

void CMainFrame::OnLibraryItemRenamed(const CPathParts& oldItem, const CString& newName)
{
    m_leavingParts.RenamePrefix(oldItem, newName);
    for (int row = 0; row < 2; ++row) {
        if (!PaneParts(row).RenamePrefix(oldItem, newName))
            continue;
        CImportView* view = GetArticleView(row);
        CString folder, path;
        if (view && BuildArticlePath(PaneParts(row), folder, path, false)) {
            view->m_strFolder = folder;
            view->m_strPath = path;
        }
    }
}

void CMainFrame::OnLibraryItemDeleted(const CPathParts& item)
{
    if (m_leavingParts.SameArticle(item))
        m_leavingParts.Empty();
    for (int row = 0; row < 2; ++row) {
        if (!PaneParts(row).IsEmpty() && PaneParts(row).SameArticle(item))
            CloseArticleOf(row);
    }
}

bool CMainFrame::ArticleHoldsText(const CPathParts& item)
{
    for (int row = 0; row < 2; ++row) {
        CImportView* view = GetArticleView(row);
        if (view && !PaneParts(row).IsEmpty() && PaneParts(row).SameArticle(item) && !view->IsArticleEmpty())
            return true;
    }
    return false;
}

// ---------------------------------------------------------------- pages

void CMainFrame::OnNextPage()
{
    CTreeCtrl* tree = GetTreeCtrl();
    if (!tree)
        return;
    CTreeCtrlLibrary library(*tree);
    if (HTREEITEM target = (HTREEITEM)NextPageItem(library, tree->GetSelectedItem()))
        tree->SelectItem(target);
}

void CMainFrame::OnPrevPage()
{
    CTreeCtrl* tree = GetTreeCtrl();
    if (!tree)
        return;
    CTreeCtrlLibrary library(*tree);
    if (HTREEITEM target = (HTREEITEM)PrevPageItem(library, tree->GetSelectedItem()))
        tree->SelectItem(target);
}

// ---------------------------------------------------------------- other libraries

void CMainFrame::OnOpenPath()
{
    if (!CloseCurrent())
        return;
    BROWSEINFOW bi = {};
    bi.hwndOwner = m_hWnd;
    bi.lpszTitle = L"请选择目录（XML目录）";
    bi.ulFlags = 0x65;
    LPITEMIDLIST pidl = SHBrowseForFolderW(&bi);
    if (!pidl)
        return;
    wchar_t path[MAX_PATH] = {};
    const BOOL ok = SHGetPathFromIDListW(pidl, path);
    CoTaskMemFree(pidl);
    if (ok && path[0])
        OpenLibrary(path, true);
}

void CMainFrame::OpenRecentPath(int index)
{
    if (!CloseCurrent())
        return;
    const CString path = m_mru.GetAt(index);
    if (path.IsEmpty()) {
        m_strLibraryRoot.Empty();
        return;
    }
    OpenLibrary(path, false);
}
