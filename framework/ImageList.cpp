#include "framework/ImageList.h"
#include "framework/App.h"
#include "framework/Dc.h"
#include "framework/Gdi.h"

IMPLEMENT_DYNAMIC(CImageList, CObject)

CImageList::~CImageList()
{
    DeleteImageList();
}

HIMAGELIST CImageList::GetSafeHandle() const
{
    return FwIsNullObject(this) ? nullptr : m_hImageList;
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
{
    if (m_hImageList)
        return FALSE;
    m_hImageList = ::ImageList_Create(cx, cy, nFlags, nInitial, nGrow);
    return m_hImageList != nullptr;
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
    if (m_hImageList)
        return FALSE;
    m_hImageList = ::ImageList_LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nBitmapID), cx,
                                          nGrow, crMask, IMAGE_BITMAP, LR_CREATEDIBSECTION);
    return m_hImageList != nullptr;
}

BOOL CImageList::Attach(HIMAGELIST hImageList)
{
    if (m_hImageList || !hImageList)
        return FALSE;
    m_hImageList = hImageList;
    return TRUE;
}

HIMAGELIST CImageList::Detach()
{
    HIMAGELIST h = m_hImageList;
    m_hImageList = nullptr;
    return h;
}

BOOL CImageList::DeleteImageList()
{
    if (!m_hImageList)
        return FALSE;
    BOOL ok = ::ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
    return ok;
}

int CImageList::GetImageCount() const
{
    return m_hImageList ? ::ImageList_GetImageCount(m_hImageList) : 0;
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask)
{
    if (!m_hImageList || !pbmImage)
        return -1;
    return ::ImageList_Add(m_hImageList, (HBITMAP)pbmImage->GetSafeHandle(),
                           pbmMask ? (HBITMAP)pbmMask->GetSafeHandle() : nullptr);
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask)
{
    if (!m_hImageList || !pbmImage)
        return -1;
    return ::ImageList_AddMasked(m_hImageList, (HBITMAP)pbmImage->GetSafeHandle(), crMask);
}

int CImageList::Add(HICON hIcon)
{
    if (!m_hImageList || !hIcon)
        return -1;
    return ::ImageList_ReplaceIcon(m_hImageList, -1, hIcon);
}

BOOL CImageList::Replace(int nImage, HICON hIcon)
{
    return m_hImageList && ::ImageList_ReplaceIcon(m_hImageList, nImage, hIcon) != -1;
}

BOOL CImageList::Remove(int nImage)
{
    return m_hImageList && ::ImageList_Remove(m_hImageList, nImage);
}

COLORREF CImageList::SetBkColor(COLORREF cr)
{
    return m_hImageList ? ::ImageList_SetBkColor(m_hImageList, cr) : CLR_NONE;
}

COLORREF CImageList::GetBkColor() const
{
    return m_hImageList ? ::ImageList_GetBkColor(m_hImageList) : CLR_NONE;
}

BOOL CImageList::GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const
{
    return m_hImageList && ::ImageList_GetImageInfo(m_hImageList, nImage, pImageInfo);
}

HICON CImageList::ExtractIcon(int nImage)
{
    return m_hImageList ? ::ImageList_GetIcon(m_hImageList, nImage, ILD_NORMAL) : nullptr;
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle)
{
    if (!m_hImageList || !pDC)
        return FALSE;
    return ::ImageList_Draw(m_hImageList, nImage, pDC->m_hDC, pt.x, pt.y, nStyle);
}
