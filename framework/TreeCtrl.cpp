#include "framework/TreeCtrl.h"
#include "framework/Controls.h"
#include "framework/ImageList.h"

#include <vector>

IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)
IMPLEMENT_DYNAMIC(CCtrlView, CView)
IMPLEMENT_DYNCREATE(CTreeView, CCtrlView)

BEGIN_MESSAGE_MAP(CCtrlView, CView)
    ON_WM_PAINT()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CTreeView, CCtrlView)
END_MESSAGE_MAP()

namespace {

void InitTreeClass()
{
    static bool done = false;
    if (!done) {
        INITCOMMONCONTROLSEX icc = { sizeof icc, ICC_TREEVIEW_CLASSES };
        ::InitCommonControlsEx(&icc);
        done = true;
    }
}

// Commands from the label editor: its object sees them first, then the
// tree's own procedure (the caller returns FALSE so default processing runs).
BOOL OfferEditCommand(CWnd* pTree, WPARAM wParam, LPARAM lParam)
{
    if (!lParam)
        return FALSE;
    LRESULT ignored = 0;
    pTree->ReflectToChild((HWND)lParam, WM_COMMAND, wParam, lParam, &ignored);
    return TRUE;
}

} // namespace

// CTreeCtrl -------------------------------------------------------------------------

BOOL CTreeCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CreateEx(0, dwStyle, rect, pParentWnd, nID);
}

BOOL CTreeCtrl::CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    InitTreeClass();
    return CWnd::CreateEx(dwExStyle, WC_TREEVIEWW, nullptr, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CTreeCtrl::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (OfferEditCommand(this, wParam, lParam))
        return FALSE;
    return CWnd::OnCommand(wParam, lParam);
}

HTREEITEM CTreeCtrl::InsertItem(LPTVINSERTSTRUCT lpInsertStruct)
{
    return (HTREEITEM)SendMessage(TVM_INSERTITEMW, 0, (LPARAM)lpInsertStruct);
}

HTREEITEM CTreeCtrl::InsertItem(UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage,
                                UINT nState, UINT nStateMask, LPARAM lParam, HTREEITEM hParent,
                                HTREEITEM hInsertAfter)
{
    TVINSERTSTRUCTW tvis = {};
    tvis.hParent = hParent;
    tvis.hInsertAfter = hInsertAfter;
    tvis.item.mask = nMask;
    tvis.item.pszText = const_cast<LPWSTR>(lpszItem);
    tvis.item.iImage = nImage;
    tvis.item.iSelectedImage = nSelectedImage;
    tvis.item.state = nState;
    tvis.item.stateMask = nStateMask;
    tvis.item.lParam = lParam;
    return InsertItem(&tvis);
}

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR lpszItem, HTREEITEM hParent, HTREEITEM hInsertAfter)
{
    return InsertItem(TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0, hParent, hInsertAfter);
}

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent,
                                HTREEITEM hInsertAfter)
{
    return InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, lpszItem, nImage, nSelectedImage,
                      0, 0, 0, hParent, hInsertAfter);
}

BOOL CTreeCtrl::DeleteItem(HTREEITEM hItem)
{
    return (BOOL)SendMessage(TVM_DELETEITEM, 0, (LPARAM)hItem);
}

BOOL CTreeCtrl::DeleteAllItems()
{
    return (BOOL)SendMessage(TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
}

BOOL CTreeCtrl::GetItem(TVITEM* pItem) const
{
    return (BOOL)SendMessage(TVM_GETITEMW, 0, (LPARAM)pItem);
}

BOOL CTreeCtrl::SetItem(TVITEM* pItem)
{
    return (BOOL)SendMessage(TVM_SETITEMW, 0, (LPARAM)pItem);
}

BOOL CTreeCtrl::SetItem(HTREEITEM hItem, UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage,
                        UINT nState, UINT nStateMask, LPARAM lParam)
{
    TVITEMW item = {};
    item.hItem = hItem;
    item.mask = nMask;
    item.pszText = const_cast<LPWSTR>(lpszItem);
    item.iImage = nImage;
    item.iSelectedImage = nSelectedImage;
    item.state = nState;
    item.stateMask = nStateMask;
    item.lParam = lParam;
    return SetItem(&item);
}

CString CTreeCtrl::GetItemText(HTREEITEM hItem) const
{
    // Grow the buffer until the text fits.
    for (int size = 256; size <= 65536; size *= 4) {
        std::vector<wchar_t> buf((size_t)size, L'\0');
        TVITEMW item = {};
        item.hItem = hItem;
        item.mask = TVIF_TEXT;
        item.pszText = buf.data();
        item.cchTextMax = size;
        if (!SendMessage(TVM_GETITEMW, 0, (LPARAM)&item))
            return CString();
        const wchar_t* text = item.pszText ? item.pszText : L"";
        int len = (int)wcslen(text);
        if (len < size - 1 || text != buf.data())
            return CString(text);
    }
    return CString();
}

BOOL CTreeCtrl::SetItemText(HTREEITEM hItem, LPCTSTR lpszItem)
{
    return SetItem(hItem, TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0);
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM hItem) const
{
    TVITEMW item = {};
    item.hItem = hItem;
    item.mask = TVIF_PARAM;
    return SendMessage(TVM_GETITEMW, 0, (LPARAM)&item) ? (DWORD_PTR)item.lParam : 0;
}

BOOL CTreeCtrl::SetItemData(HTREEITEM hItem, DWORD_PTR dwData)
{
    return SetItem(hItem, TVIF_PARAM, nullptr, 0, 0, 0, 0, (LPARAM)dwData);
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const
{
    TVITEMW item = {};
    item.hItem = hItem;
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    BOOL ok = (BOOL)SendMessage(TVM_GETITEMW, 0, (LPARAM)&item);
    nImage = item.iImage;
    nSelectedImage = item.iSelectedImage;
    return ok;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage)
{
    return SetItem(hItem, TVIF_IMAGE | TVIF_SELECTEDIMAGE, nullptr, nImage, nSelectedImage, 0, 0, 0);
}

UINT CTreeCtrl::GetItemState(HTREEITEM hItem, UINT nStateMask) const
{
    TVITEMW item = {};
    item.hItem = hItem;
    item.mask = TVIF_STATE;
    item.stateMask = nStateMask;
    if (!SendMessage(TVM_GETITEMW, 0, (LPARAM)&item))
        return 0;
    return item.state & nStateMask;
}

BOOL CTreeCtrl::SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask)
{
    return SetItem(hItem, TVIF_STATE, nullptr, 0, 0, nState, nStateMask, 0);
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM hItem) const
{
    TVITEMW item = {};
    item.hItem = hItem;
    item.mask = TVIF_CHILDREN;
    if (!SendMessage(TVM_GETITEMW, 0, (LPARAM)&item))
        return FALSE;
    return item.cChildren != 0;
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const
{
    if (!lpRect)
        return FALSE;
    *reinterpret_cast<HTREEITEM*>(lpRect) = hItem;
    return (BOOL)SendMessage(TVM_GETITEMRECT, (WPARAM)bTextOnly, (LPARAM)lpRect);
}

HTREEITEM CTreeCtrl::GetNextItem(HTREEITEM hItem, UINT nCode) const
{
    return (HTREEITEM)SendMessage(TVM_GETNEXTITEM, nCode, (LPARAM)hItem);
}

HTREEITEM CTreeCtrl::GetChildItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_CHILD); }
HTREEITEM CTreeCtrl::GetNextSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXT); }
HTREEITEM CTreeCtrl::GetPrevSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUS); }
HTREEITEM CTreeCtrl::GetParentItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PARENT); }
HTREEITEM CTreeCtrl::GetFirstVisibleItem() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
HTREEITEM CTreeCtrl::GetNextVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXTVISIBLE); }
HTREEITEM CTreeCtrl::GetPrevVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUSVISIBLE); }
HTREEITEM CTreeCtrl::GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
HTREEITEM CTreeCtrl::GetDropHilightItem() const { return GetNextItem(nullptr, TVGN_DROPHILITE); }
HTREEITEM CTreeCtrl::GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
UINT CTreeCtrl::GetCount() const { return (UINT)SendMessage(TVM_GETCOUNT); }
UINT CTreeCtrl::GetVisibleCount() const { return (UINT)SendMessage(TVM_GETVISIBLECOUNT); }

BOOL CTreeCtrl::Select(HTREEITEM hItem, UINT nCode)
{
    return (BOOL)SendMessage(TVM_SELECTITEM, nCode, (LPARAM)hItem);
}

BOOL CTreeCtrl::SelectItem(HTREEITEM hItem) { return Select(hItem, TVGN_CARET); }
BOOL CTreeCtrl::SelectDropTarget(HTREEITEM hItem) { return Select(hItem, TVGN_DROPHILITE); }
BOOL CTreeCtrl::SelectSetFirstVisible(HTREEITEM hItem) { return Select(hItem, TVGN_FIRSTVISIBLE); }

BOOL CTreeCtrl::Expand(HTREEITEM hItem, UINT nCode)
{
    return (BOOL)SendMessage(TVM_EXPAND, nCode, (LPARAM)hItem);
}

BOOL CTreeCtrl::EnsureVisible(HTREEITEM hItem)
{
    return (BOOL)SendMessage(TVM_ENSUREVISIBLE, 0, (LPARAM)hItem);
}

BOOL CTreeCtrl::SortChildren(HTREEITEM hItem)
{
    return (BOOL)SendMessage(TVM_SORTCHILDREN, 0, (LPARAM)hItem);
}

HTREEITEM CTreeCtrl::HitTest(CPoint pt, UINT* pFlags) const
{
    TVHITTESTINFO info = {};
    info.pt = pt;
    HTREEITEM hItem = HitTest(&info);
    if (pFlags)
        *pFlags = info.flags;
    return hItem;
}

HTREEITEM CTreeCtrl::HitTest(TVHITTESTINFO* pHitTestInfo) const
{
    return (HTREEITEM)SendMessage(TVM_HITTEST, 0, (LPARAM)pHitTestInfo);
}

CEdit* CTreeCtrl::EditLabel(HTREEITEM hItem)
{
    HWND hEdit = (HWND)SendMessage(TVM_EDITLABELW, 0, (LPARAM)hItem);
    // CEdit adds no data to CWnd: a plain wrapper serves as one.
    return static_cast<CEdit*>(CWnd::FromHandle(hEdit));
}

CEdit* CTreeCtrl::GetEditControl() const
{
    HWND hEdit = (HWND)SendMessage(TVM_GETEDITCONTROL);
    return static_cast<CEdit*>(CWnd::FromHandle(hEdit));
}

BOOL CTreeCtrl::EndEditLabelNow(BOOL bCancelWithoutSave)
{
    return (BOOL)SendMessage(TVM_ENDEDITLABELNOW, (WPARAM)bCancelWithoutSave, 0);
}

CImageList* CTreeCtrl::SetImageList(CImageList* pImageList, int nImageListType)
{
    SetImageList(pImageList ? pImageList->GetSafeHandle() : nullptr, nImageListType);
    // The previous list has no object of ours to return.
    return nullptr;
}

HIMAGELIST CTreeCtrl::SetImageList(HIMAGELIST hImageList, int nImageListType)
{
    return (HIMAGELIST)SendMessage(TVM_SETIMAGELIST, (WPARAM)nImageListType, (LPARAM)hImageList);
}

HIMAGELIST CTreeCtrl::GetImageList(int nImageListType) const
{
    return (HIMAGELIST)SendMessage(TVM_GETIMAGELIST, (WPARAM)nImageListType, 0);
}

UINT CTreeCtrl::GetIndent() const { return (UINT)SendMessage(TVM_GETINDENT); }
void CTreeCtrl::SetIndent(UINT nIndent) { SendMessage(TVM_SETINDENT, nIndent); }
SHORT CTreeCtrl::GetItemHeight() const { return (SHORT)SendMessage(TVM_GETITEMHEIGHT); }
SHORT CTreeCtrl::SetItemHeight(SHORT cyHeight) { return (SHORT)SendMessage(TVM_SETITEMHEIGHT, (WPARAM)cyHeight); }
COLORREF CTreeCtrl::GetBkColor() const { return (COLORREF)SendMessage(TVM_GETBKCOLOR); }
COLORREF CTreeCtrl::SetBkColor(COLORREF clr) { return (COLORREF)SendMessage(TVM_SETBKCOLOR, 0, (LPARAM)clr); }
COLORREF CTreeCtrl::GetTextColor() const { return (COLORREF)SendMessage(TVM_GETTEXTCOLOR); }
COLORREF CTreeCtrl::SetTextColor(COLORREF clr) { return (COLORREF)SendMessage(TVM_SETTEXTCOLOR, 0, (LPARAM)clr); }

// CCtrlView ----------------------------------------------------------------------------

CCtrlView::CCtrlView(LPCTSTR lpszClass, DWORD dwStyle) : m_strClass(lpszClass), m_dwDefaultStyle(dwStyle)
{
}

BOOL CCtrlView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.lpszClass = m_strClass;
    cs.style |= m_dwDefaultStyle;
    return CView::PreCreateWindow(cs);
}

void CCtrlView::OnDraw(CDC*)
{
}

void CCtrlView::OnPaint()
{
    // The control paints itself.
    Default();
}

// CTreeView ---------------------------------------------------------------------------

CTreeView::CTreeView() : CCtrlView(WC_TREEVIEWW, WS_CHILD | WS_VISIBLE | WS_BORDER)
{
}

CTreeCtrl& CTreeView::GetTreeCtrl() const
{
    // The view's window is the tree; CTreeCtrl adds no data to CWnd.
    return *reinterpret_cast<CTreeCtrl*>(static_cast<CWnd*>(const_cast<CTreeView*>(this)));
}

BOOL CTreeView::PreCreateWindow(CREATESTRUCT& cs)
{
    InitTreeClass();
    return CCtrlView::PreCreateWindow(cs);
}

BOOL CTreeView::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (OfferEditCommand(this, wParam, lParam))
        return FALSE;
    return CCtrlView::OnCommand(wParam, lParam);
}
