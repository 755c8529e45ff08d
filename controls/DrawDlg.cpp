#include "controls/DrawDlg.h"

#include <shlwapi.h>

#include "app/DisplaySettings.h"
#include "controls/DecorationPick.h"
#include "controls/PictureCache.h"

namespace {

// The memory picture reaches this far above the client area.
const int kTopOverhang = 10;
const int kStripHeight = 20;
const int kSideStripWidth = 60;

bool IsBackgroundPicture(const CString& file)
{
    return !file.IsEmpty()
        && (file.Find(L".jpg") >= 0 || file.Find(L".bmp") >= 0 || file.Find(L".tif") >= 0);
}

} // namespace

BEGIN_MESSAGE_MAP(CDrawDlg, CDialogEx)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CDrawDlg::CDrawDlg(UINT nIDTemplate, CWnd* pParent) : CDialogEx(nIDTemplate, pParent)
{
}

CDrawDlg::~CDrawDlg()
{
    // The window goes while this class's handlers still exist.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
}

void CDrawDlg::OnPaint()
{
    CPaintDC dc(this);
}

BOOL CDrawDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    const int w = rcClient.Width();
    const int h = rcClient.Height();
    if (m_bFirstPaint) {
        m_memDC.DeleteDC();
        m_memDC.CreateCompatibleDC(pDC);
        m_bitmap.DeleteObject();
        m_bitmap.CreateCompatibleBitmap(pDC, w, h + kTopOverhang);
        m_memDC.SelectObject(&m_bitmap);
        m_bFirstPaint = 0;
    }
    // The picture is drawn from 10 pixels above the client area down to its
    // bottom; the part above is never shown.
    const DisplaySettingsBlock& ds = DisplaySettings;
    CRect rcDraw(0, -kTopOverhang, w, h);
    // A picture that cannot be loaded leaves the gradient, as on the page.
    CPictureCache& cache = CPictureCache::Instance();
    if (!IsBackgroundPicture(ds.strBackgroundFile) ||
        !cache.DrawStretched(m_memDC, ds.strBackgroundFile, 0, -kTopOverhang, w, h + kTopOverhang))
        cache.FillGradient(m_memDC, rcDraw, ds.clrBg, 0xFFFFFF - ds.clrText);
    DrawTopBottomStrips(&m_memDC, 0);
    if (ds.bWholeLeft)
        DrawSideStrips(&m_memDC, 0);
    pDC->BitBlt(0, 0, w, h, &m_memDC, 0, 0, SRCCOPY);
    return TRUE;
}

HBRUSH CDrawDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hbr = CDialogEx::OnCtlColor(pDC, pWnd, nCtlColor);
    if (nCtlColor != CTLCOLOR_STATIC)
        return hbr;
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(DisplaySettings.clrText);
    return (HBRUSH)::GetStockObject(NULL_BRUSH);
}

void CDrawDlg::DrawTopBottomStrips(CDC* pDC, int nHeight)
{
    DisplaySettingsBlock& ds = DisplaySettings;
    const ImageSet& set = ds.LineSet;
    if (set.vecFiles.empty())
        return;
    CRect rc;
    GetClientRect(&rc);
    CString path = PicturePath(set, PickPictureIndex(ds.nWholeTB0, set.vecFiles.size()));
    const int bottomY = (nHeight > 0 ? nHeight : rc.Height()) - kStripHeight;
    CPictureCache& cache = CPictureCache::Instance();
    if (ds.bWholeTop)
        cache.DrawKeyed(*pDC, path, 0, 0, rc.Width(), kStripHeight, kLinePictureKey);
    if (ds.bWholeBottom)
        cache.DrawKeyed(*pDC, path, 0, bottomY, rc.Width(), kStripHeight, kLinePictureKey);
}

void CDrawDlg::DrawSideStrips(CDC* pDC, int)
{
    DisplaySettingsBlock& ds = DisplaySettings;
    const ImageSet& set = ds.VerticalSet;
    if (set.vecFiles.empty())
        return;
    CRect rc;
    GetClientRect(&rc);
    const int xRight = rc.right - kSideStripWidth;
    const int band = rc.Height();
    CPictureCache& cache = CPictureCache::Instance();
    if (!::PathFileExistsW(set.strFolder + L"\\L")) {
        CString path = PicturePath(set, PickPictureIndex(ds.nWholeLR0, set.vecFiles.size()));
        cache.DrawKeyed(*pDC, path, 0, rc.top, kSideStripWidth, band, kSidePictureKey);
        cache.DrawKeyed(*pDC, path, xRight, rc.top, kSideStripWidth, band, kSidePictureKey);
        return;
    }
    // Two-sided sets keep the left and right pictures under the same names.
    CString left = PicturePath(set, PickPictureIndex(ds.nWholeLR0, set.vecFiles.size()), L"\\L");
    cache.DrawKeyed(*pDC, left, 0, rc.top, kSideStripWidth, band, kSidePictureKey);
    CString right = PicturePath(set, PickPictureIndex(ds.nWholeLR0, set.vecFiles.size()), L"\\R");
    if (::PathFileExistsW(right))
        cache.DrawKeyed(*pDC, right, xRight, rc.top, kSideStripWidth, band, kLinePictureKey);
    else
        cache.DrawKeyed(*pDC, left, xRight, rc.top, kSideStripWidth, band, kSidePictureKey);
}
