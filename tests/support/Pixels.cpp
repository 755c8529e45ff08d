#include "tests/support/Pixels.h"

#include <cstring>

void PumpMessages(int ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (ms > 0)
            Sleep(5);
    } while ((int)(GetTickCount() - start) < ms);
}

void PressKey(UINT vk, int modifier, const std::function<void()>& pump)
{
    BYTE keys[256], saved[256];
    GetKeyboardState(keys);
    memcpy(saved, keys, sizeof(keys));
    if (modifier)
        keys[modifier] |= 0x80;
    SetKeyboardState(keys);
    PostMessageW(GetFocus(), WM_KEYDOWN, vk, 1);
    pump();
    SetKeyboardState(saved);
}

ClientCapture::ClientCapture(HWND wnd)
{
    RECT rc;
    if (!GetClientRect(wnd, &rc) || rc.right <= 0 || rc.bottom <= 0)
        return;
    m_width = rc.right;
    m_height = rc.bottom;
    HDC wndDC = GetDC(wnd);
    HDC memDC = CreateCompatibleDC(wndDC);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = m_width;
    bi.bmiHeader.biHeight = -m_height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(wndDC, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memDC, bmp);
    BitBlt(memDC, 0, 0, m_width, m_height, wndDC, 0, 0, SRCCOPY);
    GdiFlush();
    m_bits.assign(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + m_width * m_height);
    SelectObject(memDC, old);
    DeleteObject(bmp);
    DeleteDC(memDC);
    ReleaseDC(wnd, wndDC);
}

COLORREF ClientCapture::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return CLR_INVALID;
    DWORD p = m_bits[(size_t)y * m_width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

COLORREF PixelOfWindow(HWND wnd, int x, int y)
{
    return ClientCapture(wnd).At(x, y);
}

COLORREF PixelOfDC(HDC dc, int x, int y)
{
    return GetPixel(dc, x, y);
}
