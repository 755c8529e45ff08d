// Image lists (comctl32): the pictures of toolbar buttons and tree items.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include "framework/Object.h"

class CBitmap;
class CDC;

class CImageList : public CObject {
    DECLARE_DYNAMIC(CImageList)
public:
    CImageList() = default;
    // Destroys the list unless it was detached.
    virtual ~CImageList();

    HIMAGELIST m_hImageList = nullptr;

    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const;

    // nFlags: ILC_COLORxx with ILC_MASK when images get masks.
    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    // A list cut from a bitmap resource into cx-wide images; crMask is transparent.
    BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
    BOOL Attach(HIMAGELIST hImageList);
    HIMAGELIST Detach();
    BOOL DeleteImageList();

    int GetImageCount() const;
    // Each returns the index of the (first) added image, or -1.
    int Add(CBitmap* pbmImage, CBitmap* pbmMask);
    int Add(CBitmap* pbmImage, COLORREF crMask);
    int Add(HICON hIcon);
    BOOL Replace(int nImage, HICON hIcon);
    BOOL Remove(int nImage);
    COLORREF SetBkColor(COLORREF cr);
    COLORREF GetBkColor() const;
    BOOL GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const;
    HICON ExtractIcon(int nImage);
    BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle);
};
