#include "controls/PictureCache.h"

#include "controls/PictureScaler.h"

#include <cstdarg>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <vector>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

// Decoded pixels, 0xAARRGGBB, rows top to bottom. A picture that could not be
// read has height 0 and stays remembered until its file changes.
struct CPictureCache::Picture {
    uint64_t stamp = 0;
    int w = 0;
    int h = 0;
    std::vector<uint32_t> argb;

    bool Ok() const { return h > 0; }
    size_t Bytes() const { return argb.size() * 4; }
};

// A top-down 32-bit DIB section holding premultiplied pixels.
struct CPictureCache::Surface {
    HBITMAP bmp = NULL;
    uint32_t* bits = NULL;
    int w = 0;
    int h = 0;
    bool opaque = true;  // every pixel
    bool solid = true;   // every pixel off the one-pixel frame

    ~Surface() { if (bmp) DeleteObject(bmp); }
    size_t Bytes() const { return (size_t)w * h * 4; }
};

HBITMAP CreateTopDownDib(int width, int height, void** bits)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    *bits = nullptr;
    return CreateDIBSection(NULL, &bi, DIB_RGB_COLORS, bits, NULL, 0);
}

namespace {

using Picture = CPictureCache::Picture;
using Surface = CPictureCache::Surface;

// Identity of a file's contents as far as the cache cares: time and size.
bool FileStamp(const wchar_t* path, uint64_t& stamp)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!path || !*path || !GetFileAttributesExW(path, GetFileExInfoStandard, &data))
        return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return false;
    uint64_t time = ((uint64_t)data.ftLastWriteTime.dwHighDateTime << 32)
        | data.ftLastWriteTime.dwLowDateTime;
    uint64_t size = ((uint64_t)data.nFileSizeHigh << 32) | data.nFileSizeLow;
    stamp = time + size * 0x9E3779B97F4A7C15ull;
    return true;
}

std::shared_ptr<Surface> CreateSurface(int w, int h)
{
    auto s = std::make_shared<Surface>();
    void* bits = NULL;
    s->bmp = CreateTopDownDib(w, h, &bits);
    if (!s->bmp)
        return nullptr;
    s->bits = (uint32_t*)bits;
    s->w = w;
    s->h = h;
    return s;
}

void CopyLockedRows(const BitmapData& data, Picture& pic)
{
    pic.argb.resize((size_t)pic.w * pic.h);
    const BYTE* row = (const BYTE*)data.Scan0;
    for (int y = 0; y < pic.h; ++y, row += data.Stride)
        memcpy(&pic.argb[(size_t)y * pic.w], row, (size_t)pic.w * 4);
}

// Reads the file once into plain memory, so the file is not held open.
std::shared_ptr<Picture> DecodePicture(const wchar_t* path, uint64_t stamp)
{
    auto pic = std::make_shared<Picture>();
    pic->stamp = stamp;
    GpImage* image = NULL;
    if (GdipLoadImageFromFile(path, &image) != Ok)
        return pic;
    ImageType type = ImageTypeUnknown;
    UINT w = 0, h = 0;
    GdipGetImageType(image, &type);
    GdipGetImageWidth(image, &w);
    GdipGetImageHeight(image, &h);
    if (type == ImageTypeBitmap && w > 0 && h > 0 && (uint64_t)w * h <= (1u << 26)) {
        GpRect all = { 0, 0, (INT)w, (INT)h };
        BitmapData data = {};
        if (GdipBitmapLockBits((GpBitmap*)image, &all, ImageLockModeRead,
                               PixelFormat32bppARGB, &data) == Ok) {
            pic->w = (int)w;
            pic->h = (int)h;
            CopyLockedRows(data, *pic);
            GdipBitmapUnlockBits((GpBitmap*)image, &data);
        }
    }
    GdipDisposeImage(image);
    return pic;
}

// Too large to keep: GDI+ straight onto the DC, as uncached code would,
// optionally colour-keyed up to white with anti-aliased smoothing.
void DrawDirect(HDC dc, const Picture& pic, int x, int y, int w, int h, const COLORREF* key)
{
    GpGraphics* g = NULL;
    GpBitmap* src = NULL;
    if (GdipCreateFromHDC(dc, &g) == Ok
        && GdipCreateBitmapFromScan0(pic.w, pic.h, pic.w * 4, PixelFormat32bppARGB,
                                     (BYTE*)pic.argb.data(), &src) == Ok) {
        GpImageAttributes* attrs = NULL;
        if (key) {
            GdipSetSmoothingMode(g, SmoothingModeAntiAlias);
            GdipCreateImageAttributes(&attrs);
            GdipSetImageAttributesColorKeys(attrs, ColorAdjustTypeDefault, TRUE,
                                            CGDIPlus::ToArgb(*key), 0xFFFFFFFFu);
        }
        GdipDrawImageRectRectI(g, src, x, y, w, h, 0, 0, pic.w, pic.h, UnitPixel, attrs,
                               NULL, NULL);
        if (attrs)
            GdipDisposeImageAttributes(attrs);
    }
    if (src)
        GdipDisposeImage(src);
    if (g)
        GdipDeleteGraphics(g);
}

// Turns straight alpha into the premultiplied form AlphaBlend expects and
// notes where the surface is opaque.
void Premultiply(Surface& s)
{
    s.opaque = s.solid = true;
    for (int y = 0; y < s.h; ++y) {
        uint32_t* row = s.bits + (size_t)y * s.w;
        bool edgeRow = y == 0 || y == s.h - 1;
        for (int x = 0; x < s.w; ++x) {
            uint32_t p = row[x];
            uint32_t a = p >> 24;
            if (a == 255)
                continue;
            s.opaque = false;
            if (!edgeRow && x != 0 && x != s.w - 1)
                s.solid = false;
            uint32_t r = (((p >> 16) & 0xFF) * a + 127) / 255;
            uint32_t g = (((p >> 8) & 0xFF) * a + 127) / 255;
            uint32_t b = ((p & 0xFF) * a + 127) / 255;
            row[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
}

// The picture stretched (and keyed) into a new surface of w × h.
std::shared_ptr<Surface> RenderPicture(const Picture& pic, int w, int h, const COLORREF* key)
{
    auto s = CreateSurface(w, h);
    if (!s)
        return nullptr;
    GdiFlush();
    if (key) {
        std::vector<uint32_t> keyed(pic.argb);
        ApplyColorKey(keyed.data(), (int)keyed.size(), CGDIPlus::ToArgb(*key));
        StretchArgb(keyed.data(), pic.w, pic.h, s->bits, w, h);
    } else {
        StretchArgb(pic.argb.data(), pic.w, pic.h, s->bits, w, h);
    }
    Premultiply(*s);
    return s;
}

// A vertical gradient changes only from row to row: one column drawn by
// the GDI+ fill itself, copied across the width.
std::shared_ptr<Surface> RenderGradient(CGDIPlus& gdiplus, int w, int h, COLORREF from,
                                        COLORREF to)
{
    auto column = CreateSurface(1, h);
    auto s = CreateSurface(w, h);
    if (!column || !s)
        return nullptr;
    HDC mem = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(mem, column->bmp);
    RECT rc = { 0, 0, 1, h };
    gdiplus.DrawGradientRect(mem, rc, from, to, 1, TRUE);
    GdiFlush();
    SelectObject(mem, old);
    DeleteDC(mem);
    for (int y = 0; y < h; ++y) {
        uint32_t c = column->bits[y] | 0xFF000000u;
        uint32_t* row = s->bits + (size_t)y * w;
        for (int x = 0; x < w; ++x)
            row[x] = c;
    }
    return s;
}

// Copies part of the surface (surface coordinates) placed at (x, y),
// clipped to clip, blending it when it holds transparent pixels.
void BlitPart(HDC dc, HDC mem, int x, int y, RECT part, const RECT& clip, bool blend)
{
    OffsetRect(&part, x, y);
    RECT vis;
    if (!IntersectRect(&vis, &part, &clip))
        return;
    int w = vis.right - vis.left, h = vis.bottom - vis.top;
    if (!blend) {
        BitBlt(dc, vis.left, vis.top, w, h, mem, vis.left - x, vis.top - y, SRCCOPY);
        return;
    }
    BLENDFUNCTION bf = { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA };
    AlphaBlend(dc, vis.left, vis.top, w, h, mem, vis.left - x, vis.top - y, w, h, bf);
}

// Draws the surface at (x, y), clipped to what the DC can show, so
// rectangles reaching past the edges cost nothing extra. A surface that is
// opaque but for its frame (a stretched picture fades out along its last
// row and column) is copied and only the frame blended.
void Blit(HDC dc, const Surface& s, int x, int y)
{
    RECT clip;
    if (GetClipBox(dc, &clip) == ERROR)
        SetRect(&clip, x, y, x + s.w, y + s.h);
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, s.bmp);
    RECT all = { 0, 0, s.w, s.h };
    if (s.opaque || !s.solid || s.w < 3 || s.h < 3) {
        BlitPart(dc, mem, x, y, all, clip, !s.opaque);
    } else {
        RECT inner = { 1, 1, s.w - 1, s.h - 1 };
        RECT top = { 0, 0, s.w, 1 }, bottom = { 0, s.h - 1, s.w, s.h };
        RECT left = { 0, 1, 1, s.h - 1 }, right = { s.w - 1, 1, s.w, s.h - 1 };
        BlitPart(dc, mem, x, y, inner, clip, false);
        BlitPart(dc, mem, x, y, top, clip, true);
        BlitPart(dc, mem, x, y, bottom, clip, true);
        BlitPart(dc, mem, x, y, left, clip, true);
        BlitPart(dc, mem, x, y, right, clip, true);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
}

std::wstring Format(const wchar_t* fmt, ...)
{
    wchar_t buf[96];
    va_list args;
    va_start(args, fmt);
    vswprintf(buf, sizeof(buf) / sizeof(buf[0]), fmt, args);
    va_end(args);
    return buf;
}

std::wstring PictureKey(const wchar_t* path)
{
    return std::wstring(L"P|") + path;
}

std::wstring RenderKey(const wchar_t* path, uint64_t stamp, int w, int h, const COLORREF* key)
{
    std::wstring k = key ? Format(L"K|%08x%08x|%d|%d|%06x|", (unsigned)(stamp >> 32),
                                  (unsigned)stamp, w, h, (unsigned)(*key & 0xFFFFFF))
                         : Format(L"S|%08x%08x|%d|%d|", (unsigned)(stamp >> 32),
                                  (unsigned)stamp, w, h);
    return k + path;
}

}  // namespace

CPictureCache::CPictureCache()
{
}

CPictureCache::~CPictureCache()
{
    Clear();
}

CPictureCache& CPictureCache::Instance()
{
    static CPictureCache cache;
    return cache;
}

bool CPictureCache::Fits(int w, int h) const
{
    return w > 0 && h > 0 && w <= 32767 && h <= 32767 && (uint64_t)w * h * 4 <= m_maxBytes;
}

void CPictureCache::Remove(EntryList::iterator it)
{
    m_bytes -= it->bytes;
    m_index.erase(it->key);
    m_lru.erase(it);
}

void CPictureCache::Trim()
{
    while (m_lru.size() > 1 && (m_lru.size() > m_maxEntries || m_bytes > m_maxBytes))
        Remove(std::prev(m_lru.end()));
}

void CPictureCache::Insert(Entry&& entry)
{
    auto found = m_index.find(entry.key);
    if (found != m_index.end())
        Remove(found->second);
    m_lru.push_front(std::move(entry));
    try {
        m_index[m_lru.front().key] = m_lru.begin();
    } catch (...) {
        m_lru.pop_front();
        throw;
    }
    m_bytes += m_lru.front().bytes;
    Trim();
}

// Everything made from an older version of the file goes at once.
void CPictureCache::ForgetPath(const std::wstring& path)
{
    for (auto it = m_lru.begin(); it != m_lru.end();) {
        auto next = std::next(it);
        if (it->path == path)
            Remove(it);
        it = next;
    }
}

std::shared_ptr<CPictureCache::Surface> CPictureCache::FindSurface(const std::wstring& key)
{
    auto found = m_index.find(key);
    if (found == m_index.end())
        return nullptr;
    m_lru.splice(m_lru.begin(), m_lru, found->second);
    return found->second->surface;
}

// The decoded picture for the file as it is now (stamp), or null when it
// cannot be read; a failure is remembered until the file changes.
std::shared_ptr<CPictureCache::Picture> CPictureCache::FindPicture(const wchar_t* path,
                                                                   uint64_t stamp)
{
    std::wstring key = PictureKey(path);
    auto found = m_index.find(key);
    if (found != m_index.end()) {
        std::shared_ptr<Picture> pic = found->second->picture;
        if (pic->stamp == stamp) {
            m_lru.splice(m_lru.begin(), m_lru, found->second);
            return pic->Ok() ? pic : nullptr;
        }
        ForgetPath(path);
    }
    std::shared_ptr<Picture> pic = DecodePicture(path, stamp);
    Entry entry;
    entry.key = key;
    entry.path = path;
    entry.bytes = pic->Bytes();
    entry.picture = pic;
    Insert(std::move(entry));
    return pic->Ok() ? pic : nullptr;
}

bool CPictureCache::DrawPicture(HDC dc, const wchar_t* path, int x, int y, int w, int h,
                                const COLORREF* key)
{
    uint64_t stamp = 0;
    if (!FileStamp(path, stamp))
        return false;
    if (w <= 0 || h <= 0)
        return FindPicture(path, stamp) != nullptr;
    std::wstring renderKey = RenderKey(path, stamp, w, h, key);
    std::shared_ptr<Surface> s = FindSurface(renderKey);
    if (!s) {
        std::shared_ptr<Picture> pic = FindPicture(path, stamp);
        if (!pic)
            return false;
        if (Fits(w, h))
            s = RenderPicture(*pic, w, h, key);
        if (!s) {
            DrawDirect(dc, *pic, x, y, w, h, key);
            return true;
        }
        Entry entry;
        entry.key = renderKey;
        entry.path = path;
        entry.bytes = s->Bytes();
        entry.surface = s;
        Insert(std::move(entry));
    }
    Blit(dc, *s, x, y);
    return true;
}

// Painting code calls these from window procedures: running out of memory
// for a bitmap only means the picture is not drawn.
bool CPictureCache::DrawStretched(HDC dc, const wchar_t* path, int x, int y, int w, int h)
{
    try {
        return DrawPicture(dc, path, x, y, w, h, NULL);
    } catch (...) {
        return false;
    }
}

bool CPictureCache::DrawKeyed(HDC dc, const wchar_t* path, int x, int y, int w, int h,
                              COLORREF keyLow)
{
    try {
        return DrawPicture(dc, path, x, y, w, h, &keyLow);
    } catch (...) {
        return false;
    }
}

bool CPictureCache::GetPictureSize(const wchar_t* path, int& w, int& h)
{
    w = h = 0;
    try {
        return PictureSize(path, w, h);
    } catch (...) {
        w = h = 0;
        return false;
    }
}

bool CPictureCache::PictureSize(const wchar_t* path, int& w, int& h)
{
    uint64_t stamp = 0;
    if (!FileStamp(path, stamp))
        return false;
    std::shared_ptr<Picture> pic = FindPicture(path, stamp);
    if (!pic)
        return false;
    w = pic->w;
    h = pic->h;
    return true;
}

void CPictureCache::FillGradient(HDC dc, RECT rc, COLORREF from, COLORREF to)
{
    try {
        Gradient(dc, rc, from, to);
    } catch (...) {
        m_gdiplus.DrawGradientRect(dc, rc, from, to, 1, TRUE);
    }
}

void CPictureCache::Gradient(HDC dc, RECT rc, COLORREF from, COLORREF to)
{
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0)
        return;
    from &= 0xFFFFFF;
    to &= 0xFFFFFF;
    if (!Fits(w, h)) {
        m_gdiplus.DrawGradientRect(dc, rc, from, to, 1, TRUE);
        return;
    }
    std::wstring key = Format(L"G|%d|%d|%06x|%06x", w, h, (unsigned)from, (unsigned)to);
    std::shared_ptr<Surface> s = FindSurface(key);
    if (!s) {
        s = RenderGradient(m_gdiplus, w, h, from, to);
        if (!s) {
            m_gdiplus.DrawGradientRect(dc, rc, from, to, 1, TRUE);
            return;
        }
        Entry entry;
        entry.key = key;
        entry.bytes = s->Bytes();
        entry.surface = s;
        Insert(std::move(entry));
    }
    Blit(dc, *s, rc.left, rc.top);
}

void CPictureCache::Clear()
{
    m_index.clear();
    m_lru.clear();
    m_bytes = 0;
}

void CPictureCache::SetLimits(size_t maxEntries, size_t maxBytes)
{
    m_maxEntries = maxEntries ? maxEntries : 1;
    m_maxBytes = maxBytes;
    Trim();
}
