// A bitmap saved as a picture file, in place of ATL's CImage: the GDI+
// encoder is chosen by the file's extension (".jpg" writes JPEG at the
// encoder's default quality). GDI+ must be started by the caller.
#pragma once

#include <windows.h>

class CImage {
public:
    CImage() = default;
    ~CImage();
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;

    // Takes the bitmap over (it is deleted with the image unless detached).
    void Attach(HBITMAP bitmap);
    HBITMAP Detach();
    operator HBITMAP() const { return m_hBitmap; }

    // S_OK, or a failure code when there is no bitmap, no encoder for the
    // extension, or the file could not be written.
    HRESULT Save(const wchar_t* path) const;

private:
    HBITMAP m_hBitmap = nullptr;
};

// The class id of the GDI+ encoder of a MIME type ("image/jpeg"); false without one.
bool FindImageEncoder(const wchar_t* mimeType, CLSID* clsid);
