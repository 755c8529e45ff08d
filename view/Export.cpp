// Picture export: the article painted as JPEG pictures under "BookImg" in
// the program folder, one picture for a short article, numbered slices of
// 1000 document pixels for a long one. The pictures are painted from the
// document itself, so the pane's scroll position does not show in them.
#include "view/ImportView.h"

#include <algorithm>

#include "app/DisplaySettings.h"
#include "controls/Image.h"
#include "controls/PictureCache.h"
#include "framework/MessageBox.h"
#include "view/CodeScanner.h"
#include "view/Painter.h"

namespace {

const int kSliceBand = 1000;        // document pixels per slice
const int kSingleLimit = 2000;      // shorter articles give one picture

// Holds the painting flags and the painter's scroll values for one export.
struct ExportScope {
    CImportView& view;
    int scrollX, scrollY;
    CRect client;
    ExportScope(CImportView& v)
        : view(v), scrollX(v.m_nPaintScrollX), scrollY(v.m_nPaintScrollY),
          client(v.m_rcPaintClient)
    {
        g_bPagePainting = view.m_bPainting = 1;
    }
    ~ExportScope()
    {
        g_bPagePainting = view.m_bPainting = 0;
        view.m_nPaintScrollX = scrollX;
        view.m_nPaintScrollY = scrollY;
        view.m_rcPaintClient = client;
        view.FreeMarkRuns();
    }
};

// The picture name: the file name of the article without ".xml".
CString PictureName(const CString& articlePath)
{
    CString name = articlePath.Mid(articlePath.ReverseFind(L'\\') + 1);
    if (name.GetLength() >= 4 && name.Right(4) == L".xml")
        name = name.Left(name.GetLength() - 4);
    return name;
}

} // namespace

bool CImportView::ExportImages()
{
    if (!m_hWnd)
        return false;
    CClientDC windowDC(this);
    // One memory DC and one bitmap serve every slice.
    CDC mem;
    if (!mem.CreateCompatibleDC(&windowDC))
        return false;
    CRect client;
    GetClientRect(&client);
    const CSize total = GetTotalSize();
    const int W = std::max((int)total.cx, client.Width());
    const int H = total.cy;
    const CString name = PictureName(m_strPath);
    const CString folder = g_strAppFolder + L"BookImg";
    CreateDirectoryW(folder, nullptr);

    const bool sliced = H >= kSingleLimit;
    const int pictureHeight = sliced ? 2 * m_nPageTop + kSliceBand + 3 : H;
    CString sliceFolder = folder;
    if (sliced) {
        sliceFolder.Format(L"%s\\%s", folder.GetString(), name.GetString());
        CreateDirectoryW(sliceFolder, nullptr);
    }
    CBitmap bitmap;
    if (W <= 0 || pictureHeight <= 0 ||
        !bitmap.CreateCompatibleBitmap(&windowDC, W, pictureHeight))
        return false;

    CString failed;     // told once the panes may paint again
    {
        ExportScope scope(*this);
        // A long article takes seconds.
        HCURSOR oldCursor = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        for (int k = 1;; ++k) {
            const int top = sliced ? kSliceBand * (k - 1) : 0;
            const int end = sliced ? kSliceBand * k : H;
            HGDIOBJ old = mem.SelectObject((HGDIOBJ)bitmap.GetSafeHandle());
            RenderSlice(&mem, W, pictureHeight, top, end);
            mem.SelectObject(old);

            CString path;
            if (sliced)
                path.Format(L"%s\\%s_%d.jpg", sliceFolder.GetString(), name.GetString(), k);
            else
                path.Format(L"%s\\%s.jpg", folder.GetString(), name.GetString());
            CImage image;
            image.Attach((HBITMAP)bitmap.GetSafeHandle());
            const bool saved = SUCCEEDED(image.Save(path));
            image.Detach();
            if (!saved) {
                failed = path;
                break;
            }
            if (!sliced || end >= H)
                break;
        }
        ::SetCursor(oldCursor);
    }
    const bool ok = failed.IsEmpty();
    if (!ok) {
        CString message;
        message.Format(L"图片保存失败：\n%s", failed.GetString());
        AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    }
    mem.DeleteDC();
    return ok;
}

void CImportView::RenderSlice(CDC* pDC, int nWidth, int nHeight, int nSliceTop, int nSliceEnd)
{
    const DisplaySettingsBlock& ds = DisplaySettings;
    HDC hdc = pDC->GetSafeHdc();
    HFONT originalFont = (HFONT)GetCurrentObject(hdc, OBJ_FONT);
    FreeMarkRuns();
    m_nRunsFramed = 0;
    m_rcPaintClient.SetRect(0, 0, nWidth, nHeight);
    m_nPaintScrollX = 0;
    // Until the first line fixes it, the slice's own top.
    int offset = nSliceTop;
    m_nPaintScrollY = offset;
    BeginDecorationPass();

    bool background = false;
    if (IsPictureFile(m_strBackgroundPicture))
        background = CPictureCache::Instance().DrawStretched(hdc, m_strBackgroundPicture, 0, 0,
                                                             nWidth, nHeight);
    if (!background) {
        HBRUSH brush = CreateSolidBrush(ds.clrBg & 0xFFFFFF);
        RECT all = {0, 0, nWidth, nHeight};
        FillRect(hdc, &all, brush);
        DeleteObject(brush);
    }
    SetStretchBltMode(hdc, HALFTONE);
    SetBrushOrgEx(hdc, 0, 0, NULL);

    if (m_pRoot) {
        bool fixed = false;
        for (ChunkNode* node = m_pRoot->pFirstChild; node;) {
            ChunkNode* line = node;
            while (line->IsContainer() && line->pFirstChild)
                line = line->pFirstChild;
            if (line->IsLine()) {
                if (line->bottom > nSliceEnd + m_nPageTop)
                    break;
                if (line->bottom > nSliceTop + m_nPageTop) {
                    if (!fixed) {
                        // The slice's first line lands at the page top.
                        fixed = true;
                        offset = nSliceTop ? line->y - m_nPageTop : 0;
                        m_nPaintScrollY = offset;
                    }
                    if (line->nCode) {
                        DrawCodeLineBackground(line, pDC);
                        g_codeScan.Reset();
                    }
                    PaintLineCharacters(line, pDC);
                }
            }
            node = NextInWalk(line, m_pRoot);
        }
        DrawTopBottomBars(pDC, nHeight);
        if (ds.bWholeLeft)
            DrawPageSideStrips(pDC, nHeight);
        DrawBlockDecorationsForExport(pDC, m_pRoot->pFirstChild, nSliceTop, nSliceEnd, offset);
    }
    EndCharFonts(pDC, originalFont);
    EndDecorationPass();
}

void CImportView::DrawBlockDecorationsForExport(CDC* pDC, ChunkNode* first, int nSliceTop,
                                                int nSliceEnd, int nOffset)
{
    const int saved = m_nPaintScrollY;
    m_nPaintScrollY = nOffset;
    for (ChunkNode* block = TopLevelBlock(first); block; block = block->pNext) {
        if (block->y > nSliceEnd)
            break;
        if (block->bottom <= nSliceTop)
            continue;
        DrawOneBlockDecorations(pDC, block, true);
    }
    m_nPaintScrollY = saved;
}
