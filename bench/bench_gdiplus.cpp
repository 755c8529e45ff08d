// Picture and gradient painting: GDI+ straight onto a surface against the
// picture cache's first (building) and later (cached) paints.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchUtil.h"
#include "controls/GDIPlus.h"
#include "controls/PictureCache.h"

void RunPictureBench();

namespace {

void Report(const char* name, double ms)
{
    BenchReport(name, ms, "ms");
}

// Milliseconds of one call, averaged over `runs` calls.
double TimeMs(int runs, const std::function<void()>& work)
{
    double t0 = BenchNowMs();
    for (int i = 0; i < runs; ++i)
        work();
    GdiFlush();
    return (BenchNowMs() - t0) / runs;
}

// A 32-bit DIB in a memory DC, the shape of the page's off-screen surface.
struct Surface {
    HDC dc;
    HBITMAP bmp;
    HGDIOBJ old;
    Surface(int w, int h)
    {
        void* bits = NULL;
        dc = CreateCompatibleDC(NULL);
        bmp = CreateTopDownDib(w, h, &bits);
        old = SelectObject(dc, bmp);
    }
    ~Surface()
    {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
};

COLORREF Landscape(int x, int y)
{
    return RGB((x * 255) / 1024, (y * 255) / 768, ((x + y) * 7) & 0xFF);
}

// Dark ornament on white, as the side pictures are.
COLORREF Ornament(int x, int y)
{
    return ((x / 6 + y / 9) % 3 == 0) ? RGB(90, 60, 30) : RGB(250, 250, 250);
}

// How the page drew before the cache: load, draw, dispose, on every paint.
void DirectPicture(HDC dc, const std::wstring& path, int w, int h, bool keyed)
{
    using namespace Gdiplus;
    using namespace Gdiplus::DllExports;
    GpImage* image = NULL;
    if (GdipLoadImageFromFile(path.c_str(), &image) != Ok)
        return;
    UINT iw = 0, ih = 0;
    GdipGetImageWidth(image, &iw);
    GdipGetImageHeight(image, &ih);
    GpGraphics* g = NULL;
    GdipCreateFromHDC(dc, &g);
    GpImageAttributes* attrs = NULL;
    if (keyed) {
        GdipSetSmoothingMode(g, SmoothingModeAntiAlias);
        GdipCreateImageAttributes(&attrs);
        GdipSetImageAttributesColorKeys(attrs, ColorAdjustTypeDefault, TRUE, 0xFFDCDCDC,
                                        0xFFFFFFFF);
    }
    GdipDrawImageRectRectI(g, image, 0, 0, w, h, 0, 0, iw, ih, UnitPixel, attrs, NULL, NULL);
    if (attrs)
        GdipDisposeImageAttributes(attrs);
    GdipDeleteGraphics(g);
    GdipDisposeImage(image);
}

void BenchGradient(CGDIPlus& gdiplus, CPictureCache& cache)
{
    Surface s(1920, 1080);
    RECT rc = { 0, 0, 1920, 1080 };
    COLORREF from = RGB(250, 245, 230), to = RGB(20, 40, 90);
    Report("gradient_1920x1080_gdiplus", TimeMs(3, [&] {
        gdiplus.DrawGradientRect(s.dc, rc, from, to, 1, TRUE);
    }));
    Report("gradient_1920x1080_first", TimeMs(1, [&] { cache.FillGradient(s.dc, rc, from, to); }));
    Report("gradient_1920x1080_cached", TimeMs(20, [&] { cache.FillGradient(s.dc, rc, from, to); }));
}

void BenchStretched(CPictureCache& cache, const std::wstring& path)
{
    Surface s(1920, 1090);
    Report("picture_1024x768_to_1920x1090_gdiplus", TimeMs(2, [&] {
        DirectPicture(s.dc, path, 1920, 1090, false);
    }));
    const wchar_t* p = path.c_str();
    Report("picture_1024x768_to_1920x1090_first", TimeMs(1, [&] {
        cache.DrawStretched(s.dc, p, 0, 0, 1920, 1090);
    }));
    Report("picture_1024x768_to_1920x1090_cached", TimeMs(20, [&] {
        cache.DrawStretched(s.dc, p, 0, 0, 1920, 1090);
    }));
}

void BenchKeyed(CPictureCache& cache, const std::wstring& path)
{
    Surface s(400, 1000);
    Report("keyed_strip_150x900_gdiplus", TimeMs(10, [&] {
        DirectPicture(s.dc, path, 150, 900, true);
    }));
    const wchar_t* p = path.c_str();
    Report("keyed_strip_150x900_first", TimeMs(1, [&] {
        cache.DrawKeyed(s.dc, p, 0, 0, 150, 900, 0xDCDCDC);
    }));
    Report("keyed_strip_150x900_cached", TimeMs(50, [&] {
        cache.DrawKeyed(s.dc, p, 0, 0, 150, 900, 0xDCDCDC);
    }));
}

}  // namespace

void RunPictureBench()
{
    CGDIPlus gdiplus;
    CPictureCache cache;
    const std::wstring folder = BenchTempFolder(L"lumivell_pictures").GetString();
    CreateDirectoryW(folder.c_str(), NULL);
    std::wstring landscape = folder + L"\\landscape.bmp";
    std::wstring strip = folder + L"\\strip.bmp";

    BenchGradient(gdiplus, cache);
    if (WriteBmp(landscape.c_str(), 1024, 768, Landscape))
        BenchStretched(cache, landscape);
    if (WriteBmp(strip.c_str(), 100, 600, Ornament))
        BenchKeyed(cache, strip);

    cache.Clear();
    DeleteFileW(landscape.c_str());
    DeleteFileW(strip.c_str());
    RemoveDirectoryW(folder.c_str());
}
