#include "controls/ListBoxST.h"

#include <new>

BEGIN_MESSAGE_MAP(CListBoxST, CListBox)
    ON_WM_DESTROY()
    ON_CONTROL_REFLECT_EX(LBN_DBLCLK, &CListBoxST::OnDblClkReflect)
END_MESSAGE_MAP()

namespace {
const UINT kTextFlags = DT_EXPANDTABS | DT_WORDBREAK;
}

CListBoxST::CListBoxST() = default;

// Records are freed on WM_DESTROY.
CListBoxST::~CListBoxST() = default;

ListBoxSTItem* CListBoxST::Record(int nIndex) const
{
    if (!m_hWnd || nIndex < 0 || nIndex >= GetCount())
        return nullptr;
    DWORD_PTR data = GetItemData(nIndex);
    return data == (DWORD_PTR)LB_ERR ? nullptr : (ListBoxSTItem*)data;
}

CRect CListBoxST::IconRect(const CRect& rcItem) const
{
    if (!m_pImageList)
        return CRect(0, 0, 0, 0);
    return CRect(rcItem.left, rcItem.top, rcItem.left + m_cxIcon + 6, rcItem.top + m_cyIcon + 4);
}

int CListBoxST::AddString(LPCTSTR lpszItem, int nImage)
{
    const int index = CListBox::AddString(lpszItem);
    if (index == LB_ERR || index == LB_ERRSPACE)
        return index;
    ListBoxSTItem* item = Record(index);
    if (!item) {
        item = new (std::nothrow) ListBoxSTItem;
        if (!item)
            return index;
    }
    item->nImage = nImage;
    item->uFlags = 0;
    SetItemData(index, (DWORD_PTR)item);
    return index;
}

void CListBoxST::SetImageList(CImageList* pImageList)
{
    m_pImageList = pImageList;
    m_cxIcon = m_cyIcon = 0;
    if (pImageList && pImageList->GetSafeHandle())
        ImageList_GetIconSize(pImageList->GetSafeHandle(), &m_cxIcon, &m_cyIcon);
    if (m_hWnd)
        Invalidate();
}

void CListBoxST::GetItemImage(int nIndex, int* pnImage)
{
    if (!pnImage)
        return;
    const ListBoxSTItem* item = Record(nIndex);
    *pnImage = item ? item->nImage : -1;
}

void CListBoxST::DeleteItemRecords()
{
    if (!m_hWnd)
        return;
    for (int i = GetCount() - 1; i >= 0; --i) {
        delete Record(i);
        SetItemData(i, 0);
    }
}

void CListBoxST::ResetContent()
{
    DeleteItemRecords();
    CListBox::ResetContent();
}

void CListBoxST::OnDestroy()
{
    DeleteItemRecords();
    Default();
}

BOOL CListBoxST::OnDblClkReflect()
{
    DWORD pos = GetMessagePos();
    CPoint pt((short)LOWORD(pos), (short)HIWORD(pos));
    ScreenToClient(&pt);
    BOOL bOutside = TRUE;
    const UINT index = ItemFromPoint(pt, bOutside);
    if (bOutside)
        return FALSE;
    const ListBoxSTItem* item = Record((int)index);
    return item && (item->uFlags & 1) ? TRUE : FALSE;
}

void CListBoxST::MeasureItem(LPMEASUREITEMSTRUCT lpMIS)
{
    // itemWidth is not filled in for list boxes: measure with the client width,
    // less the icon column the text is drawn beside.
    CRect client;
    GetClientRect(&client);
    CString text;
    if ((int)lpMIS->itemID >= 0 && (int)lpMIS->itemID < GetCount())
        GetText((int)lpMIS->itemID, text);
    CRect rc(0, 0, client.Width() - IconRect(client).Width(), 0);
    CDC* pDC = GetDC();
    int height = 0;
    if (pDC) {
        CFont* font = GetFont();
        CFont* old = font ? pDC->SelectObject(font) : nullptr;
        pDC->DrawText(text, &rc, DT_CALCRECT | kTextFlags);
        if (old)
            pDC->SelectObject(old);
        ReleaseDC(pDC);
        height = rc.Height();
    }
    if (m_pImageList && height < m_cyIcon + 4)
        height = m_cyIcon + 4;
    lpMIS->itemHeight = (UINT)(height + 4);
}

void CListBoxST::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    const int index = (int)lpDIS->itemID;
    const ListBoxSTItem* item = Record(index);
    if (!item)
        return;
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const COLORREF clrWindow = GetSysColor(COLOR_WINDOW);
    const COLORREF clrHighlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF clrText = GetSysColor(COLOR_WINDOWTEXT);
    const BOOL bSelected = (lpDIS->itemState & ODS_SELECTED) ? TRUE : FALSE;
    const BOOL bDisabled = ((lpDIS->itemState & ODS_DISABLED) || (item->uFlags & 1)) ? TRUE : FALSE;

    pDC->SetBkMode(TRANSPARENT);
    const CRect rcItem(lpDIS->rcItem);
    const CRect rcIcon = IconRect(rcItem);
    CRect rcArea = rcItem;
    rcArea.left = rcIcon.right;

    CString text;
    GetText(index, text);
    CRect rcText = rcArea;
    pDC->DrawText(text, &rcText, DT_CALCRECT | kTextFlags | item->uFormat);
    const int shift = (rcArea.Height() - rcText.Height()) / 2;
    rcText.top += shift;
    rcText.bottom += shift;

    if (m_pImageList)
        DrawIconAreaBackground(index, pDC, rcItem, rcIcon, bDisabled, bSelected,
                               bSelected && !bDisabled ? clrHighlight : clrWindow);

    COLORREF back;
    if (bDisabled) {
        pDC->SetTextColor(GetSysColor(COLOR_GRAYTEXT));
        back = clrWindow;
    } else if (bSelected) {
        pDC->SetTextColor(clrText ^ 0x00FFFFFF);
        back = clrHighlight;
    } else {
        pDC->SetTextColor(clrText);
        back = clrWindow;
    }
    DrawItemBackground(index, pDC, rcItem, rcArea, bDisabled, bSelected, back);
    if (m_pImageList)
        DrawItemIcon(index, pDC, rcItem, rcIcon, item->nImage, bDisabled, bSelected);
    pDC->DrawText(text, &rcText, kTextFlags | item->uFormat);
    if ((lpDIS->itemState & ODS_FOCUS) && !bDisabled)
        pDC->DrawFocusRect(&rcItem);
}

int CListBoxST::DrawItemBackground(int, CDC* pDC, const CRect&, const CRect& rcArea, BOOL, BOOL, COLORREF clr)
{
    pDC->SetBkColor(clr);
    pDC->FillSolidRect(&rcArea, clr);
    return 0;
}

int CListBoxST::DrawIconAreaBackground(int, CDC* pDC, const CRect& rcItem, const CRect& rcIcon, BOOL, BOOL,
                                       COLORREF clr)
{
    pDC->SetBkColor(clr);
    pDC->FillSolidRect(rcIcon.left, rcIcon.top, rcIcon.Width(), rcItem.Height(), clr);
    return 0;
}

int CListBoxST::DrawItemIcon(int, CDC* pDC, const CRect&, const CRect& rcIcon, int nImage, BOOL bDisabled, BOOL)
{
    if (!m_pImageList || !m_pImageList->GetSafeHandle())
        return 0;
    HICON icon = ImageList_GetIcon(m_pImageList->GetSafeHandle(), nImage, ILD_NORMAL);
    if (!icon)
        return 0;
    ::DrawStateW(pDC->GetSafeHdc(), nullptr, nullptr, (LPARAM)icon, 0, rcIcon.left + 3, rcIcon.top + 2, m_cxIcon,
                 m_cyIcon, DST_ICON | (bDisabled ? DSS_DISABLED : 0));
    DestroyIcon(icon);
    return 0;
}
