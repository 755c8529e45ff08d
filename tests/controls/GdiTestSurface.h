// Memory surfaces, test pictures and reference GDI+ drawing for the drawing tests.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "controls/PictureCache.h"

// A 32-bit top-down DIB selected into a memory DC, readable pixel by pixel.
class TestSurface {
public:
    TestSurface(int w, int h, COLORREF fill) : m_w(w), m_h(h)
    {
        void* bits = NULL;
        m_dc = CreateCompatibleDC(NULL);
        m_bmp = CreateTopDownDib(w, h, &bits);
        m_bits = (uint32_t*)bits;
        m_old = SelectObject(m_dc, m_bmp);
        Fill(fill);
    }
    ~TestSurface()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bmp);
        DeleteDC(m_dc);
    }
    TestSurface(const TestSurface&) = delete;
    TestSurface& operator=(const TestSurface&) = delete;

    HDC Dc() const { return m_dc; }
    int Width() const { return m_w; }
    int Height() const { return m_h; }
    bool Valid() const { return m_bits != NULL; }

    void Fill(COLORREF c)
    {
        GdiFlush();
        uint32_t p = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        for (int i = 0; i < m_w * m_h; ++i)
            m_bits[i] = p;
    }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        uint32_t p = m_bits[y * m_w + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

private:
    int m_w, m_h;
    HDC m_dc = NULL;
    HBITMAP m_bmp = NULL;
    HGDIOBJ m_old = NULL;
    uint32_t* m_bits = NULL;
};

// Largest difference of the red, green and blue channels of two colours.
inline int ChannelDiff(COLORREF a, COLORREF b)
{
    int d = std::abs((int)GetRValue(a) - (int)GetRValue(b));
    d = std::max(d, std::abs((int)GetGValue(a) - (int)GetGValue(b)));
    return std::max(d, std::abs((int)GetBValue(a) - (int)GetBValue(b)));
}

// Writes a 24-bit bottom-up BMP whose pixel (x, y) is colour(x, y).
inline bool WriteBmp(const std::wstring& path, int w, int h,
                     const std::function<COLORREF(int, int)>& colour)
{
    int stride = (w * 3 + 3) & ~3;
    std::vector<BYTE> file(54 + (size_t)stride * h, 0);
    BITMAPFILEHEADER* fh = (BITMAPFILEHEADER*)file.data();
    BITMAPINFOHEADER* ih = (BITMAPINFOHEADER*)(file.data() + 14);
    fh->bfType = 0x4D42;
    fh->bfSize = (DWORD)file.size();
    fh->bfOffBits = 54;
    ih->biSize = 40;
    ih->biWidth = w;
    ih->biHeight = h;
    ih->biPlanes = 1;
    ih->biBitCount = 24;
    ih->biCompression = BI_RGB;
    for (int y = 0; y < h; ++y) {
        BYTE* row = file.data() + 54 + (size_t)(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            COLORREF c = colour(x, y);
            row[x * 3] = GetBValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetRValue(c);
        }
    }
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(f, file.data(), (DWORD)file.size(), &written, NULL);
    CloseHandle(f);
    return ok && written == file.size();
}

// Moves a file's modification time by the given number of seconds.
inline bool ShiftFileTime(const std::wstring& path, int seconds)
{
    HANDLE f = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    FILETIME ft;
    GetFileTime(f, NULL, NULL, &ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    t.QuadPart += (ULONGLONG)((LONGLONG)seconds * 10000000LL);
    ft.dwLowDateTime = t.LowPart;
    ft.dwHighDateTime = t.HighPart;
    BOOL ok = SetFileTime(f, NULL, NULL, &ft);
    CloseHandle(f);
    return ok != FALSE;
}

// How the page drew its pictures before the cache: GDI+ straight onto the DC,
// optionally colour-keyed up to white with anti-aliased smoothing.
inline bool ReferenceDraw(HDC dc, const std::wstring& path, int x, int y, int w, int h,
                          COLORREF keyLow, bool keyed)
{
    using namespace Gdiplus;
    using namespace Gdiplus::DllExports;
    GpImage* image = NULL;
    if (GdipLoadImageFromFile(path.c_str(), &image) != Ok)
        return false;
    UINT iw = 0, ih = 0;
    GdipGetImageWidth(image, &iw);
    GdipGetImageHeight(image, &ih);
    GpGraphics* g = NULL;
    GdipCreateFromHDC(dc, &g);
    GpImageAttributes* attrs = NULL;
    if (keyed) {
        GdipSetSmoothingMode(g, SmoothingModeAntiAlias);
        GdipCreateImageAttributes(&attrs);
        ARGB low = 0xFF000000u | (GetRValue(keyLow) << 16) | (GetGValue(keyLow) << 8)
            | GetBValue(keyLow);
        GdipSetImageAttributesColorKeys(attrs, ColorAdjustTypeDefault, TRUE, low, 0xFFFFFFFFu);
        GdipDrawImageRectRectI(g, image, x, y, w, h, 0, 0, iw, ih, UnitPixel, attrs, NULL, NULL);
        GdipDisposeImageAttributes(attrs);
    } else {
        GdipDrawImageRectI(g, image, x, y, w, h);
    }
    GdipDeleteGraphics(g);
    GdipDisposeImage(image);
    return true;
}

// A fresh folder under the temporary directory, removed with its files.
class TempFolder {
public:
    TempFolder()
    {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        wchar_t name[64];
        wsprintfW(name, L"gdiplus_test_%lu", GetCurrentProcessId());
        m_path = std::wstring(base) + name;
        CreateDirectoryW(m_path.c_str(), NULL);
    }
    ~TempFolder()
    {
        for (const std::wstring& f : m_files)
            DeleteFileW(f.c_str());
        RemoveDirectoryW(m_path.c_str());
    }
    std::wstring File(const wchar_t* name)
    {
        std::wstring f = m_path + L"\\" + name;
        m_files.push_back(f);
        return f;
    }

private:
    std::wstring m_path;
    std::vector<std::wstring> m_files;
};
