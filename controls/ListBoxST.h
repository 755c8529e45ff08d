// A list box whose items carry an icon from an image list beside word-wrapped
// text of their own height. Each item keeps a small record in its item data,
// freed by the list box itself. Needs LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS.
#pragma once

#include "framework/Controls.h"
#include "framework/Dc.h"
#include "framework/ImageList.h"

struct ListBoxSTItem {
    int nImage = 0;
    UINT uFormat = 0;       // extra DrawText flags
    UINT uFlags = 0;        // bit 0: disabled
};

class CListBoxST : public CListBox {
public:
    CListBoxST();
    virtual ~CListBoxST();

    // The new index, or LB_ERR / LB_ERRSPACE.
    int AddString(LPCTSTR lpszItem, int nImage);
    // Not owned: the caller keeps the list alive while it is set.
    void SetImageList(CImageList* pImageList);
    // -1 for an item without a record (or past the end).
    void GetItemImage(int nIndex, int* pnImage);
    void ResetContent();
    void DeleteItemRecords();

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDIS);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMIS);

    virtual int DrawItemBackground(int nIndex, CDC* pDC, const CRect& rcItem, const CRect& rcArea,
                                   BOOL bDisabled, BOOL bSelected, COLORREF clr);
    virtual int DrawIconAreaBackground(int nIndex, CDC* pDC, const CRect& rcItem, const CRect& rcIcon,
                                       BOOL bDisabled, BOOL bSelected, COLORREF clr);
    virtual int DrawItemIcon(int nIndex, CDC* pDC, const CRect& rcItem, const CRect& rcIcon, int nImage,
                             BOOL bDisabled, BOOL bSelected);

protected:
    ListBoxSTItem* Record(int nIndex) const;
    // Where the text goes: the item less the icon column.
    CRect IconRect(const CRect& rcItem) const;

    afx_msg void OnDestroy();
    // TRUE keeps a double-click on a disabled item from the parent.
    afx_msg BOOL OnDblClkReflect();

    CImageList* m_pImageList = nullptr;
    int m_cxIcon = 0;
    int m_cyIcon = 0;

    DECLARE_MESSAGE_MAP()
};
