// The library tree: one item per folder and article file of the library,
// painted by the program (gradient background, hot row, selection bar,
// folder glyphs), with a context menu for new articles and folders, renaming
// in place and deleting.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <vector>

#include "app/ChapterSplit.h"
#include "app/LibraryPaths.h"
#include "app/TxtImport.h"
#include "app/TreeFill.h"
#include "controls/GDIPlus.h"
#include "framework/Controls.h"
#include "framework/Gdi.h"
#include "framework/ImageList.h"
#include "framework/TreeCtrl.h"

class CImportTreeView;
class CMainFrame;
class XiaoshuoDlg;

// Item data of an item that stands for a folder on disk.
const DWORD_PTR kFolderItem = 1;

// The tree control seen through the library rules (filling, page walks).
class CTreeCtrlLibrary : public ILibraryTree {
public:
    explicit CTreeCtrlLibrary(CTreeCtrl& tree) : m_tree(tree) {}
    LibraryItem GetParentItem(LibraryItem item) override;
    LibraryItem GetFirstChild(LibraryItem item) override;
    LibraryItem GetNextSibling(LibraryItem item) override;
    LibraryItem GetPrevSibling(LibraryItem item) override;
    CString GetText(LibraryItem item) override;
    LibraryItem InsertLast(LibraryItem parent, const CString& text) override;
    void MarkFolder(LibraryItem item) override;
    void FillChildren(LibraryItem item) override;

private:
    CTreeCtrl& m_tree;
};

// The label editor: subclasses the tree's edit box during one rename and
// keeps what the box does not show (the number prefix and ".xml").
class CMyEdit : public CEdit {
public:
    CMyEdit() = default;
    virtual ~CMyEdit() = default;

    CImportTreeView* m_pOwner = nullptr;
    int m_bArticle = 0;
    CString m_strPrefix;     // "0003_" of a numbered name, held back from the box
    CString m_strSuffix;     // ".xml" ending a folder's name, held back from the box
    CString m_strShown;      // the title the box started with

    // The name an edit ends with: oldName when the title was left as shown;
    // else the typed title cleaned, the prefix put back in front, ".xml" kept
    // for articles, dropped when typed for folders (a folder's own ending
    // stays). Prefix and ending are used once. False when the title cannot
    // make a name.
    bool EndEdit(const CString& typed, const CString& oldName, CString& newName, CString* note = nullptr);

protected:
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);

    DECLARE_MESSAGE_MAP()
};

class CImportTreeView : public CTreeView {
    DECLARE_DYNCREATE(CImportTreeView)
public:
    CImportTreeView();
    virtual ~CImportTreeView();

    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual void OnInitialUpdate();
    virtual void OnDraw(CDC* pDC);

    // ---- item paths ----
    // Texts of the item's chain, the root first and the item last.
    std::vector<CString> ItemTexts(HTREEITEM item);
    // Root and components of an item (the selected one when null); no depth limit.
    CPathParts ItemParts(HTREEITEM item = nullptr);
    // Full path of an item (the selected one when null).
    CString GetItemFilePath(HTREEITEM item = nullptr);
    // Full path of an item from its chain of texts.
    CString GetItemPath(HTREEITEM item);
    // The item that parts name, or null.
    HTREEITEM FindItem(const CPathParts& parts);
    // The selected item, or its parent when an article is selected; the root
    // when nothing is selected.
    HTREEITEM CurrentFolderItem();
    // An article item: its text holds ".xml" and it does not stand for a folder.
    bool IsArticleItem(HTREEITEM item);

    // ---- editing ----
    // Adds name as the last child of parent; a folder item is marked as one.
    HTREEITEM InsertLastChild(HTREEITEM parent, const CString& name, bool folder);
    // Adds name as the last child of the current folder, selects it (which
    // opens it when it is an article) and gives the tree the focus.
    HTREEITEM InsertAndSelect(const CString& name, bool folder);
    void OnNewArticle();
    void OnNewFolder();
    void OnRename();
    // Starts editing the label of item (the selected one for OnRename).
    void RenameItem(HTREEITEM item);
    void OnDelete();
    // Applies a finished rename on disk and in the frame's article paths;
    // a refused one puts the old name back.
    void RenameOnDisk(HTREEITEM item, const CString& newName, const CString& oldName);

    // ---- TXT import (app/TxtImport.cpp) ----
    // A book from a text: one article, or a folder of chapter articles under
    // the current folder. The integers and the suffix are not used.
    void SplitChapters(CString name, const CString& text, int source, int number, CString prefix, CString suffix);
    // One TXT file as a book under the current folder.
    void ImportTxtFile(CString path, int source, int number, CString prefix, CString suffix);
    // Every TXT file of a folder tree, sub-folders becoming folder items under parent.
    void ImportTxtFolder(CTreeCtrl* tree, CString folder, HTREEITEM parent, CString prefix, CString suffix);
    // The import of the dialog and of dropped files: each source in turn
    // into the folder selected now, inside one import.
    void ImportBooks(const std::vector<ImportSource>& sources, int source, int number, const CString& prefix,
                     const CString& suffix);
    // The folder an import goes into: the selected folder, an article's
    // folder (selected instead of the article), or the root.
    HTREEITEM SelectImportTarget();
    // Used by CImportSession: false when an import is already running.
    bool BeginImport();
    void EndImport();
    void NoteImportProblem(const CString& path, const CString& reason);
    // A folder the running import created (removed again if it stops and the folder stayed empty).
    void NoteMadeFolder(HTREEITEM item, const CString& path);
    const ImportRunState& GetImportState() const { return m_import; }
    XiaoshuoDlg* GetImportDialog() const { return m_pImportDlg; }
    // Command 5 "导入小说": the import dialog, created on first use.
    void ShowImportDialog();

    HTREEITEM GetEditedItem() const { return m_hEditItem; }
    HTREEITEM GetHotItem() const { return m_hHotItem; }
    CMyEdit& GetLabelEditor() { return m_edit; }

protected:
    HTREEITEM m_hEditItem = nullptr;
    XiaoshuoDlg* m_pImportDlg = nullptr;
    ImportRunState m_import;
    CMyEdit m_edit;
    int m_nTextOffset = 16;
    int m_nGlyphSize = 11;
    CGDIPlus m_gdiplus;
    CRect m_rcClient;
    CFont m_fontBold;
    CFont m_fontNormal;
    int m_nMouseX = 0;
    int m_nMouseY = 0;
    CImageList m_imageList;
    HTREEITEM m_hHotItem = nullptr;
    CBitmap m_bmpClosed;
    CBitmap m_bmpOpen;

    CMainFrame* GetMainFrame() const;
    void NewItem(bool article);
    // Fills a folder that was never expanded, so new names see all its children.
    void EnsureFilled(HTREEITEM folder);
    // A folder item whose label edit ended without a new name still needs its folder.
    void EnsureFolderOnDisk(HTREEITEM item);
    void PaintItems(CDC* pDC);
    // An article item clicked or entered while already highlighted.
    void ChooseAgain(HTREEITEM item);
    // Carries out an import plan over text under the current folder: items
    // in the tree, each article written to its file; stops at a step it
    // cannot make.
    void RunImportPlan(const ImportPlan& plan, const CString& text);

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg BOOL OnDeleteItem(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnImportNovel();
    afx_msg void OnSaveImage();

    DECLARE_MESSAGE_MAP()
};
