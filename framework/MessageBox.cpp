#include "framework/MessageBox.h"
#include "framework/CString.h"

namespace {

AfxMessageBoxHook g_hook = nullptr;
CString g_caption;
thread_local int t_openBoxes = 0;

struct OpenBoxCounter {
    OpenBoxCounter() { ++t_openBoxes; }
    ~OpenBoxCounter() { --t_openBoxes; }
};

bool IsOurWindow(HWND wnd)
{
    if (!wnd || !IsWindow(wnd))
        return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    return pid == GetCurrentProcessId();
}

// The box belongs to the window the user is looking at, so it stays on top of it
// and blocks it; a child window cannot own a box, its top-level window can.
HWND FindOwner()
{
    HWND wnd = GetActiveWindow();
    if (!IsOurWindow(wnd))
        wnd = GetForegroundWindow();
    if (!IsOurWindow(wnd))
        return nullptr;
    HWND root = GetAncestor(wnd, GA_ROOT);
    if (root)
        wnd = root;
    HWND popup = GetLastActivePopup(wnd);
    if (IsOurWindow(popup) && IsWindowEnabled(popup))
        wnd = popup;
    return wnd;
}

CString DefaultCaption()
{
    wchar_t path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString name(path, (int)n);
    int slash = name.ReverseFind(L'\\');
    if (slash >= 0)
        name = name.Mid(slash + 1);
    int dot = name.ReverseFind(L'.');
    if (dot > 0)
        name = name.Left(dot);
    return name;
}

} // namespace

int AfxMessageBox(const wchar_t* text, UINT type, UINT /*helpId*/)
{
    if (!text)
        text = L"";
    OpenBoxCounter open;
    if (AfxMessageBoxHook hook = g_hook)
        return hook(text, type);
    CString caption = g_caption.IsEmpty() ? DefaultCaption() : g_caption;
    return MessageBoxW(FindOwner(), text, caption, type);
}

int AfxMessageBox(UINT stringId, UINT type, UINT helpId)
{
    CString text;
    text.LoadString(stringId);
    return AfxMessageBox(text.GetString(), type, helpId == (UINT)-1 ? stringId : helpId);
}

AfxMessageBoxHook AfxSetMessageBoxHook(AfxMessageBoxHook hook)
{
    AfxMessageBoxHook old = g_hook;
    g_hook = hook;
    return old;
}

bool AfxIsMessageBoxOpen()
{
    return t_openBoxes > 0;
}

void AfxSetMessageBoxCaption(const wchar_t* caption)
{
    g_caption = caption;
}
