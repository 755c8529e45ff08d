// Pixel readers, a message pump and keys for window tests.
#pragma once

#include <windows.h>
#include <functional>
#include <vector>

// Dispatches this thread's messages for at least ms milliseconds (one pass when 0).
void PumpMessages(int ms = 0);

// A key as the keyboard sends it: posted to the focused window with a modifier
// (VK_SHIFT, VK_CONTROL, or 0) held while pump takes it through the message loop.
void PressKey(UINT vk, int modifier, const std::function<void()>& pump);

// A copy of a window's client area as it is on screen, taken through the
// window's DC; the window must be shown and not covered.
class ClientCapture {
public:
    explicit ClientCapture(HWND wnd);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // CLR_INVALID outside the capture.
    COLORREF At(int x, int y) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<DWORD> m_bits;   // top-down 32-bit BGRX rows
};

// One client pixel of a window (see ClientCapture).
COLORREF PixelOfWindow(HWND wnd, int x, int y);
// One pixel of a DC (memory DCs included), CLR_INVALID outside its bitmap.
COLORREF PixelOfDC(HDC dc, int x, int y);
