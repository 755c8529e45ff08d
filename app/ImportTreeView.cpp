// The library tree view: painting, mouse, context menu and item paths.
// Editing (new items, rename, delete) is in TreeEditing.cpp.
#include "app/ImportTreeView.h"

#include "app/DisplaySettings.h"
#include "app/LibraryNames.h"
#include "app/MainFrm.h"
#include "app/XiaoshuoDlg.h"
#include "controls/PictureCache.h"
#include "framework/Menu.h"
#include "res/resource.h"
#include "view/ImportView.h"

namespace {

const COLORREF kHotFolder = 0xAAAAAA;
const COLORREF kHotArticle = 0x666666;
const COLORREF kSelectionTop = 0x90EE07;
const COLORREF kSelectionBottom = 0x08F0EE;
const COLORREF kGlyphMask = 0x550055;
const int kGlyphShift = 19;     // the glyph stands this far left of the text

} // namespace

// ---------------------------------------------------------------- tree adapter

LibraryItem CTreeCtrlLibrary::GetParentItem(LibraryItem item)
{
    return item ? m_tree.GetParentItem((HTREEITEM)item) : nullptr;
}

LibraryItem CTreeCtrlLibrary::GetFirstChild(LibraryItem item)
{
    return item ? m_tree.GetChildItem((HTREEITEM)item) : nullptr;
}

LibraryItem CTreeCtrlLibrary::GetNextSibling(LibraryItem item)
{
    return item ? m_tree.GetNextSiblingItem((HTREEITEM)item) : nullptr;
}

LibraryItem CTreeCtrlLibrary::GetPrevSibling(LibraryItem item)
{
    return item ? m_tree.GetPrevSiblingItem((HTREEITEM)item) : nullptr;
}

CString CTreeCtrlLibrary::GetText(LibraryItem item)
{
    return item ? m_tree.GetItemText((HTREEITEM)item) : CString();
}

LibraryItem CTreeCtrlLibrary::InsertLast(LibraryItem parent, const CString& text)
{
    return m_tree.InsertItem(TVIF_TEXT, text, 0, 0, 0, 0, 0, parent ? (HTREEITEM)parent : TVI_ROOT,
                             TVI_LAST);
}

void CTreeCtrlLibrary::MarkFolder(LibraryItem item)
{
    m_tree.SetItemData((HTREEITEM)item, kFolderItem);
}

void CTreeCtrlLibrary::FillChildren(LibraryItem item)
{
    // The frame fills a folder when it first expands (the root is always full).
    HTREEITEM h = (HTREEITEM)item;
    if (h && m_tree.GetParentItem(h) && m_tree.ItemHasChildren(h) &&
        !(m_tree.GetItemState(h, TVIS_EXPANDEDONCE) & TVIS_EXPANDEDONCE))
        m_tree.Expand(h, TVE_EXPAND);
}

// ---------------------------------------------------------------- life

IMPLEMENT_DYNCREATE(CImportTreeView, CTreeView)

BEGIN_MESSAGE_MAP(CImportTreeView, CTreeView)
    ON_NOTIFY_REFLECT(NM_RCLICK, &CImportTreeView::OnRClick)
    ON_WM_RBUTTONDOWN()
    ON_COMMAND(ID_TREE_NEW_ARTICLE, &CImportTreeView::OnNewArticle)
    ON_COMMAND(ID_TREE_NEW_FOLDER, &CImportTreeView::OnNewFolder)
    ON_COMMAND(ID_TREE_RENAME, &CImportTreeView::OnRename)
    ON_COMMAND(ID_TREE_DELETE, &CImportTreeView::OnDelete)
    ON_COMMAND(ID_TREE_IMPORT_NOVEL, &CImportTreeView::OnImportNovel)
    ON_COMMAND(ID_TREE_SAVE_IMAGE, &CImportTreeView::OnSaveImage)
    ON_NOTIFY_REFLECT(TVN_ENDLABELEDITW, &CImportTreeView::OnEndLabelEdit)
    ON_NOTIFY_REFLECT_EX(TVN_DELETEITEMW, &CImportTreeView::OnDeleteItem)
    ON_WM_PAINT()
    ON_WM_VSCROLL()
    ON_WM_HSCROLL()
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEWHEEL()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

CImportTreeView::CImportTreeView()
{
    m_bmpClosed.LoadBitmap(IDB_FOLDER_CLOSED);
    m_bmpOpen.LoadBitmap(IDB_FOLDER_OPEN);
    if (m_imageList.Create(m_nGlyphSize, m_nGlyphSize, ILC_COLOR24 | ILC_MASK, 0, 2)) {
        m_imageList.Add(&m_bmpClosed, kGlyphMask);
        m_imageList.Add(&m_bmpOpen, kGlyphMask);
    }
    // Whole black pixels: smoothed, a serif face at 12 px comes out as thin grey strokes.
    m_fontBold.CreateFont(13, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, FF_SWISS, L"宋体");
    m_fontNormal.CreateFont(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, FF_SWISS,
                            L"宋体");
}

CImportTreeView::~CImportTreeView()
{
    if (m_edit.m_hWnd)
        m_edit.UnsubclassWindow();
    if (m_pImportDlg) {
        if (m_pImportDlg->m_hWnd)
            m_pImportDlg->DestroyWindow();
        delete m_pImportDlg;
    }
}

BOOL CImportTreeView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
    return CTreeView::PreCreateWindow(cs);
}

void CImportTreeView::OnInitialUpdate()
{
    CTreeView::OnInitialUpdate();
}

void CImportTreeView::OnDraw(CDC*)
{
    // Everything is painted in OnPaint.
}

CMainFrame* CImportTreeView::GetMainFrame() const
{
    CFrameWnd* frame = GetParentFrame();
    return frame ? DYNAMIC_DOWNCAST(CMainFrame, frame) : nullptr;
}

// ---------------------------------------------------------------- item paths

std::vector<CString> CImportTreeView::ItemTexts(HTREEITEM item)
{
    CTreeCtrl& tree = GetTreeCtrl();
    std::vector<CString> texts;
    for (HTREEITEM it = item; it; it = tree.GetParentItem(it))
        texts.insert(texts.begin(), tree.GetItemText(it));
    return texts;
}

CPathParts CImportTreeView::ItemParts(HTREEITEM item)
{
    if (!item)
        item = GetTreeCtrl().GetSelectedItem();
    return item ? PartsFromTexts(ItemTexts(item)) : CPathParts();
}

CString CImportTreeView::GetItemFilePath(HTREEITEM item)
{
    return ItemParts(item).GetFullPath();
}

CString CImportTreeView::GetItemPath(HTREEITEM item)
{
    return ItemPathFromTexts(ItemTexts(item));
}

HTREEITEM CImportTreeView::FindItem(const CPathParts& parts)
{
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM item = tree.GetRootItem();
    if (!item || tree.GetItemText(item) != parts.GetRoot())
        return nullptr;
    for (const CString& part : parts.GetParts()) {
        HTREEITEM child = tree.GetChildItem(item);
        while (child && tree.GetItemText(child) != part)
            child = tree.GetNextSiblingItem(child);
        if (!child)
            return nullptr;
        item = child;
    }
    return item;
}

HTREEITEM CImportTreeView::CurrentFolderItem()
{
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM item = tree.GetSelectedItem();
    if (!item)
        return tree.GetRootItem();
    if (IsArticleItem(item))
        item = tree.GetParentItem(item);
    return item ? item : tree.GetRootItem();
}

bool CImportTreeView::IsArticleItem(HTREEITEM item)
{
    CTreeCtrl& tree = GetTreeCtrl();
    if (!item || item == tree.GetRootItem() || !IsArticleName(tree.GetItemText(item)))
        return false;
    // A folder whose name holds ".xml" (made by another program) is a folder.
    return tree.GetItemData(item) != kFolderItem;
}

// ---------------------------------------------------------------- painting

void CImportTreeView::OnPaint()
{
    CPaintDC dc(this);
    GetClientRect(&m_rcClient);
    const int w = m_rcClient.Width(), h = m_rcClient.Height();
    if (w <= 0 || h <= 0)
        return;
    CDC mem;
    CBitmap bmp;
    if (!mem.CreateCompatibleDC(&dc) || !bmp.CreateCompatibleBitmap(&dc, w, h))
        return;
    CBitmap* oldBmp = mem.SelectObject(&bmp);
    const COLORREF top = 0xFFFFFF - (DisplaySettings.clrText & 0xFFFFFF);
    CPictureCache::Instance().FillGradient(mem.GetSafeHdc(), m_rcClient, top, DisplaySettings.clrBg);
    PaintItems(&mem);
    dc.BitBlt(0, 0, w, h, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(oldBmp);
}

void CImportTreeView::PaintItems(CDC* pDC)
{
    CTreeCtrl& tree = GetTreeCtrl();
    CFont* oldFont = pDC->SelectObject(&m_fontNormal);
    pDC->SetBkMode(TRANSPARENT);
    for (HTREEITEM item = tree.GetFirstVisibleItem(); item; item = tree.GetNextVisibleItem(item)) {
        CRect rc;
        if (!tree.GetItemRect(item, &rc, TRUE))
            continue;
        rc.left -= kGlyphShift;
        if (rc.top > m_rcClient.bottom)
            break;
        const CRect band(0, rc.top, m_rcClient.right, rc.bottom);
        const bool hasChildren = tree.ItemHasChildren(item) != FALSE;
        if (item == m_hHotItem)
            pDC->FillSolidRect(&band, hasChildren ? kHotFolder : kHotArticle);
        if (tree.GetItemState(item, TVIS_SELECTED) & TVIS_SELECTED)
            CPictureCache::Instance().FillGradient(pDC->GetSafeHdc(), band, kSelectionTop, kSelectionBottom);
        if (hasChildren && m_imageList.GetSafeHandle()) {
            const int glyph = (tree.GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED) ? 1 : 0;
            ImageList_Draw(m_imageList.GetSafeHandle(), glyph, pDC->GetSafeHdc(), rc.left,
                           rc.top + (rc.bottom - m_nGlyphSize - rc.top) / 2, ILD_TRANSPARENT);
        }
        CRect text = rc;
        text.left += m_nTextOffset;
        text.right += m_nTextOffset;
        if (!tree.GetParentItem(item)) {
            pDC->SelectObject(&m_fontBold);
            pDC->SetTextColor(RGB(0, 0, 0));
        } else {
            pDC->SelectObject(hasChildren ? &m_fontBold : &m_fontNormal);
        }
        const CString label = tree.GetItemText(item);
        const int height = pDC->GetTextExtent(label).cy;
        text.top += ((text.bottom - height) - text.top) / 2;
        pDC->DrawText(label, &text, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
    pDC->SelectObject(oldFont);
}

BOOL CImportTreeView::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CImportTreeView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    Invalidate(TRUE);
    CTreeView::OnVScroll(nSBCode, nPos, pScrollBar);
}

void CImportTreeView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    Invalidate(TRUE);
    CTreeView::OnHScroll(nSBCode, nPos, pScrollBar);
}

BOOL CImportTreeView::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
{
    Invalidate(TRUE);
    return CTreeView::OnMouseWheel(nFlags, zDelta, pt);
}

// ---------------------------------------------------------------- mouse

void CImportTreeView::OnMouseMove(UINT nFlags, CPoint point)
{
    m_nMouseX = point.x;
    m_nMouseY = point.y;
    HTREEITEM item = GetTreeCtrl().HitTest(point);
    if (item && item != m_hHotItem) {
        m_hHotItem = item;
        Invalidate(FALSE);
    }
    CTreeView::OnMouseMove(nFlags, point);
}

void CImportTreeView::OnLButtonDown(UINT nFlags, CPoint point)
{
    CTreeCtrl& tree = GetTreeCtrl();
    // A click elsewhere finishes a rename before the selection moves.
    if (tree.GetEditControl())
        tree.EndEditLabelNow(FALSE);
    HTREEITEM hit = tree.HitTest(point);
    if (hit && hit == tree.GetSelectedItem())
        ChooseAgain(hit);
    tree.Select(hit, TVGN_CARET);
    CTreeView::OnLButtonDown(nFlags, point);
}

void CImportTreeView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_RETURN)
        ChooseAgain(GetTreeCtrl().GetSelectedItem());
    CTreeView::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CImportTreeView::ChooseAgain(HTREEITEM item)
{
    // The article still highlighted, chosen again: the selection does not
    // change, yet the frame shows it (its pane may have been closed).
    CMainFrame* frame = GetMainFrame();
    if (frame && item && IsArticleItem(item))
        frame->PostMessage(WM_FRAME_SYNC_SELECTION);
}

void CImportTreeView::OnRButtonDown(UINT nFlags, CPoint point)
{
    // The menu's rename and delete act on the selection: an item right-clicked
    // becomes it, as a left click makes it; on empty space the selection stays.
    CTreeCtrl& tree = GetTreeCtrl();
    if (HTREEITEM hit = tree.HitTest(point)) {
        if (tree.GetEditControl())
            tree.EndEditLabelNow(FALSE);
        if (hit != tree.GetSelectedItem())
            tree.Select(hit, TVGN_CARET);
    }
    CMenu menu;
    if (menu.CreatePopupMenu()) {
        menu.AppendMenu(MF_STRING, ID_TREE_NEW_ARTICLE, L"新建文章");
        menu.AppendMenu(MF_STRING, ID_TREE_NEW_FOLDER, L"新建目录");
        menu.AppendMenu(MF_SEPARATOR);
        menu.AppendMenu(MF_STRING, ID_TREE_RENAME, L"更改名称");
        menu.AppendMenu(MF_STRING, ID_TREE_DELETE, L"删除");
        menu.AppendMenu(MF_SEPARATOR);
        menu.AppendMenu(MF_STRING, ID_TREE_IMPORT_NOVEL, L"导入小说");
        menu.AppendMenu(MF_STRING, ID_TREE_SAVE_IMAGE, L"保存图像");
        POINT cursor;
        GetCursorPos(&cursor);
        menu.TrackPopupMenu(TPM_RIGHTBUTTON, cursor.x, cursor.y, this);
        menu.DestroyMenu();
    }
    CTreeView::OnRButtonDown(nFlags, point);
}

void CImportTreeView::OnRClick(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
}

BOOL CImportTreeView::OnDeleteItem(NMHDR* pNMHDR, LRESULT* pResult)
{
    // Forget items that go away; the frame may hear of the deletion too.
    NMTREEVIEWW* nm = (NMTREEVIEWW*)pNMHDR;
    if (nm->itemOld.hItem == m_hHotItem)
        m_hHotItem = nullptr;
    if (nm->itemOld.hItem == m_hEditItem)
        m_hEditItem = nullptr;
    *pResult = 0;
    return FALSE;
}

void CImportTreeView::OnImportNovel()
{
    ShowImportDialog();
}

void CImportTreeView::OnSaveImage()
{
    CMainFrame* frame = GetMainFrame();
    if (CImportView* upper = frame ? frame->GetArticleView(0) : nullptr)
        upper->ExportImages();
}
