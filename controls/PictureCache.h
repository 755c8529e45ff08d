// Process-wide cache of the page's pictures and gradients.
//
// GDI+ draws slowly under Wine (a stretched background costs hundreds of
// milliseconds), so every picture is decoded once and every size it is
// drawn at is pre-rendered once into a bitmap that later paints only copy.
// Pictures are known by full path and the file's modification time: a
// changed file is read again. Used from the user-interface thread only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>

#include "controls/GDIPlus.h"

// A 32-bit top-down DIB section (rows from the top, like GDI+'s scan lines)
// and its pixels; null when it cannot be made.
HBITMAP CreateTopDownDib(int width, int height, void** bits);

class CPictureCache {
public:
    CPictureCache();
    ~CPictureCache();

    CPictureCache(const CPictureCache&) = delete;
    CPictureCache& operator=(const CPictureCache&) = delete;

    // The cache the whole program shares.
    static CPictureCache& Instance();

    // The whole picture stretched into (x, y, w, h), as GDI+ DrawImage does.
    // False when the picture cannot be loaded; nothing is drawn then.
    bool DrawStretched(HDC dc, const wchar_t* path, int x, int y, int w, int h);

    // The whole picture stretched into (x, y, w, h) with every pixel whose red,
    // green and blue all lie between those of keyLow and 255 transparent.
    // False when the picture cannot be loaded; nothing is drawn then.
    bool DrawKeyed(HDC dc, const wchar_t* path, int x, int y, int w, int h, COLORREF keyLow);

    // Size of the picture in pixels; 0 × 0 (and false) when it cannot be loaded.
    bool GetPictureSize(const wchar_t* path, int& w, int& h);

    // The same pixels as CGDIPlus::DrawGradientRect from top to bottom.
    void FillGradient(HDC dc, RECT rc, COLORREF from, COLORREF to);

    // Drops every decoded picture and every ready bitmap.
    void Clear();

    // Least recently used entries go beyond either limit.
    void SetLimits(size_t maxEntries, size_t maxBytes);
    size_t GetEntryCount() const { return m_lru.size(); }
    size_t GetByteCount() const { return m_bytes; }

    // Internal: decoded pixels of one file, a ready 32-bit bitmap at its size.
    struct Picture;
    struct Surface;

private:
    struct Entry {
        std::wstring key;
        std::wstring path;  // empty for gradients
        size_t bytes = 0;
        std::shared_ptr<Picture> picture;
        std::shared_ptr<Surface> surface;
    };
    using EntryList = std::list<Entry>;

    std::shared_ptr<Picture> FindPicture(const wchar_t* path, uint64_t stamp);
    std::shared_ptr<Surface> FindSurface(const std::wstring& key);
    void Insert(Entry&& entry);
    void Remove(EntryList::iterator it);
    void ForgetPath(const std::wstring& path);
    void Trim();
    bool DrawPicture(HDC dc, const wchar_t* path, int x, int y, int w, int h, const COLORREF* key);
    bool PictureSize(const wchar_t* path, int& w, int& h);
    void Gradient(HDC dc, RECT rc, COLORREF from, COLORREF to);
    bool Fits(int w, int h) const;

    CGDIPlus m_gdiplus;  // pictures are decoded while the cache lives
    EntryList m_lru;     // most recently used first
    std::unordered_map<std::wstring, EntryList::iterator> m_index;
    size_t m_bytes = 0;
    size_t m_maxEntries = 64;
    size_t m_maxBytes = 200u * 1024u * 1024u;
};
