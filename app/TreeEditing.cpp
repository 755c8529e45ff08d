// Editing the library from its tree: new articles and folders with their
// sequence numbers, renaming in place and deleting, on disk and in the tree.
#include "app/ImportTreeView.h"

#include "app/LibraryNames.h"
#include "app/MainFrm.h"
#include "framework/FileUtil.h"
#include "framework/MessageBox.h"

namespace {

const int kMaxTypedName = 199;

} // namespace

// ---------------------------------------------------------------- label editor

BEGIN_MESSAGE_MAP(CMyEdit, CEdit)
    ON_WM_CHAR()
END_MESSAGE_MAP()

bool CMyEdit::EndEdit(const CString& typed, const CString& oldName, CString& newName, CString* note)
{
    const CString prefix = m_strPrefix, suffix = m_strSuffix;
    const bool unchanged = typed == m_strShown;
    m_strPrefix.Empty();
    m_strSuffix.Empty();
    m_strShown.Empty();
    if (unchanged) {
        newName = oldName;
        return true;
    }
    return CompleteEditedName(prefix, typed, m_bArticle != 0, newName, note, suffix);
}

void CMyEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    // Enter and Esc have already ended the edit in the tree; the box only
    // needs to take the key without a beep.
    if (nChar == VK_RETURN || nChar == VK_ESCAPE)
        return;
    CEdit::OnChar(nChar, nRepCnt, nFlags);
}

// ---------------------------------------------------------------- new items

void CImportTreeView::EnsureFilled(HTREEITEM folder)
{
    CTreeCtrlLibrary(GetTreeCtrl()).FillChildren(folder);
}

HTREEITEM CImportTreeView::InsertLastChild(HTREEITEM parent, const CString& name, bool folder)
{
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM item = tree.InsertItem(TVIF_TEXT, name, 0, 0, 0, 0, 0, parent, TVI_LAST);
    // A folder stays a folder whatever its name holds (".xml" included).
    if (item && folder)
        tree.SetItemData(item, kFolderItem);
    return item;
}

HTREEITEM CImportTreeView::InsertAndSelect(const CString& name, bool folder)
{
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM parent = CurrentFolderItem();
    if (!parent)
        return nullptr;
    HTREEITEM item = InsertLastChild(parent, name, folder);
    if (!item)
        return nullptr;
    tree.Expand(parent, TVE_EXPAND);
    tree.Select(item, TVGN_CARET);
    SetFocus();
    return item;
}

void CImportTreeView::NewItem(bool article)
{
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM folder = CurrentFolderItem();
    if (!folder)
        return;
    // The numbering sees every child, also of a folder never opened.
    EnsureFilled(folder);
    std::vector<LibraryChild> children;
    for (HTREEITEM c = tree.GetChildItem(folder); c; c = tree.GetNextSiblingItem(c)) {
        LibraryChild child;
        child.text = tree.GetItemText(c);
        child.hasChildren = tree.ItemHasChildren(c) != FALSE;
        children.push_back(child);
    }
    const CString folderPath = GetItemPath(folder);
    const CString name = NewItemName(folderPath, children, article);
    const CString path = AppendPathPart(folderPath, name);
    if (path.GetLength() > (article ? kMaxLibraryFilePath : kMaxLibraryFolderPath)) {
        AfxMessageBox(PathTooLongMessage(path), MB_OK | MB_ICONWARNING);
        return;
    }
    // The new item is the one edited, whatever the selection did meanwhile
    // (a refused switch puts it back on the article that stays shown).
    if (HTREEITEM item = InsertAndSelect(name, !article))
        RenameItem(item);
}

void CImportTreeView::OnNewArticle()
{
    NewItem(true);
}

void CImportTreeView::OnNewFolder()
{
    NewItem(false);
}

// ---------------------------------------------------------------- rename

void CImportTreeView::OnRename()
{
    RenameItem(GetTreeCtrl().GetSelectedItem());
}

void CImportTreeView::RenameItem(HTREEITEM item)
{
    CTreeCtrl& tree = GetTreeCtrl();
    if (!item || item == tree.GetRootItem())
        return;
    m_hEditItem = item;
    ModifyStyle(0, TVS_EDITLABELS);
    tree.EditLabel(item);
    CEdit* box = tree.GetEditControl();
    if (!box || !box->m_hWnd) {
        ModifyStyle(TVS_EDITLABELS, 0);
        m_hEditItem = nullptr;
        EnsureFolderOnDisk(item);
        return;
    }
    const HWND hBox = box->m_hWnd;
    if (m_edit.m_hWnd)
        m_edit.UnsubclassWindow();
    if (CWnd* other = CWnd::FromHandlePermanent(hBox))
        other->UnsubclassWindow();
    m_edit.SubclassWindow(hBox);
    m_edit.m_pOwner = this;

    CString prefix, suffix;
    bool isArticle = false;
    const bool article = IsArticleItem(item);
    const CString title = TitleForEditing(tree.GetItemText(item), prefix, isArticle, article ? nullptr : &suffix);
    m_edit.m_bArticle = article ? 1 : 0;
    m_edit.m_strPrefix = prefix;
    m_edit.m_strSuffix = suffix;
    m_edit.m_strShown = title;

    // Only the title can be changed; number and ".xml" stay as they are.
    m_edit.SetWindowText(title);
    m_edit.SetSel(0, -1);
}

void CImportTreeView::OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    NMTVDISPINFOW* info = (NMTVDISPINFOW*)pNMHDR;
    *pResult = 0;   // the item's text is set here, not by the control
    // The tree may report the end again while this one is handled (taking
    // label editing off, or the box losing the focus as it goes); only the
    // first report counts.
    HTREEITEM item = m_hEditItem;
    if (!item)
        return;
    m_hEditItem = nullptr;
    CTreeCtrl& tree = GetTreeCtrl();
    const CString oldName = tree.GetItemText(item);
    CString newName = oldName;
    CString note;
    // The tree ends the edit (Enter, Esc, a click elsewhere) before the box
    // hears of it, so the name is completed here. A cancelled edit has no text.
    if (info->item.pszText) {
        CString typed = info->item.pszText;
        if (typed.GetLength() > kMaxTypedName)
            typed = typed.Left(kMaxTypedName);
        CString completed;
        if (m_edit.EndEdit(typed, oldName, completed, &note)) {
            newName = completed;
        } else if (!CleanNamePart(typed).IsEmpty()) {
            if (note.IsEmpty())
                note.Format(L"“%s”不能用作文件名。", typed.GetString());
            AfxMessageBox(note, MB_OK | MB_ICONWARNING);
            note.Empty();
        }
    }
    m_edit.m_strPrefix.Empty();
    m_edit.m_strSuffix.Empty();
    m_edit.m_strShown.Empty();
    ModifyStyle(TVS_EDITLABELS, 0);
    RenameOnDisk(item, newName, oldName);
    // A title cut to fit is said, once the name stands.
    if (!note.IsEmpty() && GetTreeCtrl().GetItemText(item) == newName)
        AfxMessageBox(note, MB_OK | MB_ICONINFORMATION);
}

void CImportTreeView::EnsureFolderOnDisk(HTREEITEM item)
{
    CTreeCtrl& tree = GetTreeCtrl();
    if (!item || item == tree.GetRootItem())
        return;
    if (IsArticleItem(item))
        return;
    const CString path = GetItemPath(item);
    if (!PathExists(path) && path.GetLength() <= kMaxLibraryFolderPath)
        CreateDirectoryW(path, nullptr);
}

void CImportTreeView::RenameOnDisk(HTREEITEM item, const CString& newName, const CString& oldName)
{
    m_hEditItem = nullptr;
    CTreeCtrl& tree = GetTreeCtrl();
    if (!item)
        item = tree.GetSelectedItem();
    if (!item || item == tree.GetRootItem())
        return;
    HTREEITEM parent = tree.GetParentItem(item);
    const CString folder = GetItemPath(parent);
    std::vector<CString> siblings;
    for (HTREEITEM c = tree.GetChildItem(parent); c; c = tree.GetNextSiblingItem(c)) {
        if (c != item)
            siblings.push_back(tree.GetItemText(c));
    }
    const CPathParts before = ItemParts(item);
    CString message;
    switch (RenameItemOnDisk(folder, oldName, newName, siblings, &message)) {
    case RenameResult::Refused:
        AfxMessageBox(message, MB_OK | MB_ICONWARNING);
        tree.SetItemText(item, oldName);
        EnsureFolderOnDisk(item);
        break;
    case RenameResult::Unchanged:
        tree.SetItemText(item, oldName);
        EnsureFolderOnDisk(item);
        break;
    case RenameResult::Renamed:
    case RenameResult::FolderCreated:
    case RenameResult::NothingOnDisk:
        tree.SetItemText(item, newName);
        if (CMainFrame* frame = GetMainFrame())
            frame->OnLibraryItemRenamed(before, newName);
        break;
    }
    Invalidate(FALSE);
}

// ---------------------------------------------------------------- delete

void CImportTreeView::OnDelete()
{
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM item = tree.GetSelectedItem();
    // The library folder itself is never deleted from here.
    if (!item || item == tree.GetRootItem() || !tree.GetParentItem(item))
        return;
    if (tree.ItemHasChildren(item)) {
        AfxMessageBox(L"请先删除此目录下的所有文件", MB_OK);
        return;
    }
    const CString name = tree.GetItemText(item);
    const CString folder = GetItemPath(tree.GetParentItem(item));
    const CString path = AppendPathPart(folder, name);
    if (path.GetLength() > kMaxLibraryFilePath) {
        AfxMessageBox(PathTooLongMessage(path), MB_OK | MB_ICONWARNING);
        return;
    }
    const bool article = IsArticleItem(item);
    const bool onDisk = PathExists(path);
    const CPathParts parts = ItemParts(item);
    CMainFrame* frame = GetMainFrame();
    // A deleted file does not go to the recycle bin, and text not yet saved
    // has no file at all: ask before an article with text goes.
    if (article && (onDisk || (frame && frame->ArticleHoldsText(parts)))) {
        CString question;
        question.Format(L"确定要删除“%s”吗？删除后无法恢复。", name.GetString());
        if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
            return;
    }
    if (onDisk && !DeleteItemOnDisk(folder, name)) {
        CString text;
        text.Format(L"无法删除：%s\n%s", path.GetString(), SystemErrorText(GetLastError()).GetString());
        AfxMessageBox(text, MB_OK | MB_ICONWARNING);
        return;
    }
    if (frame)
        frame->OnLibraryItemDeleted(parts);
    tree.DeleteItem(item);
    Invalidate(FALSE);
}
