#include "controls/Image.h"

#include <gdiplus.h>
#include <cwchar>
#include <vector>

namespace {

const wchar_t* MimeTypeOf(const wchar_t* path)
{
    const wchar_t* dot = wcsrchr(path, L'.');
    if (!dot)
        return nullptr;
    struct Kind {
        const wchar_t* ext;
        const wchar_t* mime;
    };
    static const Kind kinds[] = {{L".jpg", L"image/jpeg"}, {L".jpeg", L"image/jpeg"},
                                 {L".png", L"image/png"},  {L".bmp", L"image/bmp"},
                                 {L".gif", L"image/gif"},  {L".tif", L"image/tiff"},
                                 {L".tiff", L"image/tiff"}};
    for (const Kind& k : kinds)
        if (_wcsicmp(dot, k.ext) == 0)
            return k.mime;
    return nullptr;
}

} // namespace

bool FindImageEncoder(const wchar_t* mimeType, CLSID* clsid)
{
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && wcscmp(codecs[i].MimeType, mimeType) == 0) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

CImage::~CImage()
{
    if (m_hBitmap)
        DeleteObject(m_hBitmap);
}

void CImage::Attach(HBITMAP bitmap)
{
    if (m_hBitmap && m_hBitmap != bitmap)
        DeleteObject(m_hBitmap);
    m_hBitmap = bitmap;
}

HBITMAP CImage::Detach()
{
    HBITMAP b = m_hBitmap;
    m_hBitmap = nullptr;
    return b;
}

HRESULT CImage::Save(const wchar_t* path) const
{
    if (!m_hBitmap || !path)
        return E_POINTER;
    const wchar_t* mime = MimeTypeOf(path);
    CLSID clsid;
    if (!mime || !FindImageEncoder(mime, &clsid))
        return E_FAIL;
    Gdiplus::Bitmap* picture = Gdiplus::Bitmap::FromHBITMAP(m_hBitmap, nullptr);
    if (!picture)
        return E_OUTOFMEMORY;
    Gdiplus::Status status = picture->GetLastStatus();
    if (status == Gdiplus::Ok)
        status = picture->Save(path, &clsid, nullptr);
    delete picture;
    return status == Gdiplus::Ok ? S_OK : E_FAIL;
}
