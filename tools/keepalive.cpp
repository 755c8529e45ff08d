// Keeps one Wine session warm for a whole test run: a hidden window that
// writes a ready file and then waits until the session is ended.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR cmd, int)
{
    HWND wnd = CreateWindowExW(0, L"STATIC", L"keepalive", WS_POPUP, 0, 0, 1, 1,
                               nullptr, nullptr, nullptr, nullptr);
    if (cmd && *cmd) {
        HANDLE f = CreateFileW(cmd, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    if (wnd) DestroyWindow(wnd);
    return 0;
}
