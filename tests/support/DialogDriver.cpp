#include "tests/support/DialogDriver.h"

#include <set>

namespace {

struct Pending {
    std::function<void(HWND)> action;
    std::set<HWND> before;
    UINT_PTR timer = 0;
    DWORD deadline = 0;
};
Pending g_pending;

BOOL CALLBACK CollectDialog(HWND wnd, LPARAM lParam)
{
    wchar_t cls[16] = {};
    GetClassNameW(wnd, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0)
        reinterpret_cast<std::set<HWND>*>(lParam)->insert(wnd);
    return TRUE;
}

std::set<HWND> ThreadDialogs()
{
    std::set<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, (LPARAM)&found);
    return found;
}

void Stop()
{
    if (g_pending.timer)
        KillTimer(nullptr, g_pending.timer);
    g_pending.timer = 0;
}

void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD)
{
    if (!g_pending.action) {
        Stop();
        return;
    }
    for (HWND dlg : ThreadDialogs()) {
        if (g_pending.before.count(dlg) || !IsWindowVisible(dlg))
            continue;
        auto action = std::move(g_pending.action);
        g_pending.action = nullptr;
        Stop();
        action(dlg);
        return;
    }
    if ((int)(GetTickCount() - g_pending.deadline) > 0) {
        g_pending.action = nullptr;
        Stop();
    }
}

} // namespace

void OnNextDialog(std::function<void(HWND dlg)> action, int timeoutMs)
{
    Stop();
    g_pending.action = std::move(action);
    g_pending.before = ThreadDialogs();
    g_pending.deadline = GetTickCount() + (DWORD)timeoutMs;
    g_pending.timer = SetTimer(nullptr, 0, 10, Poll);
}

bool IsDialogActionPending()
{
    return (bool)g_pending.action;
}

void PostKeyToFocus(UINT vk)
{
    HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, vk, 1);
    PostMessageW(focus, WM_KEYUP, vk, 0xC0000001);
}
