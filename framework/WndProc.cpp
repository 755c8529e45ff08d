// The window procedure, the HWND maps, creation and subclassing, message-map
// dispatch and reflection.
#include "framework/Wnd.h"
#include "framework/App.h"
#include "framework/Frame.h"

#include <cstdio>
#include <exception>
#include <unordered_map>

struct FwWndAccess {
    static void SetSuper(CWnd* pWnd, WNDPROC proc) { pWnd->m_pfnSuper = proc; }
    static WNDPROC Super(CWnd* pWnd) { return pWnd->m_pfnSuper; }
};

namespace {

// Per-thread state: windows belong to the thread that created them.
struct WndMaps {
    std::unordered_map<HWND, CWnd*> permanent;
    std::unordered_map<HWND, CWnd*> temporary;
    void ClearTemporary()
    {
        for (auto& item : temporary) {
            item.second->m_hWnd = nullptr;
            delete item.second;
        }
        temporary.clear();
    }
    ~WndMaps() { ClearTemporary(); }
};

thread_local WndMaps t_maps;
thread_local MSG t_currentMsg = {};
thread_local CWnd* t_pWndInit = nullptr;       // object waiting for its window
thread_local HHOOK t_hCbtHook = nullptr;

volatile LONG g_caughtExceptions = 0;

void LogException(const char* what, HWND hWnd, UINT message)
{
    InterlockedIncrement(&g_caughtExceptions);
    char text[512];
    std::snprintf(text, sizeof text, "Unhandled exception in window %p, message 0x%04X: %s\n",
                  (void*)hWnd, message, what ? what : "(unknown)");
    OutputDebugStringA(text);
}

LRESULT CALLBACK CbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code != HCBT_CREATEWND || !t_pWndInit)
        return CallNextHookEx(t_hCbtHook, code, wParam, lParam);
    HWND hWnd = (HWND)wParam;
    // Input-method windows may be created on the fly inside another creation.
    if (GetClassLongPtrW(hWnd, GCL_STYLE) & CS_IME)
        return CallNextHookEx(t_hCbtHook, code, wParam, lParam);
    CWnd* pWnd = t_pWndInit;
    t_pWndInit = nullptr;
    pWnd->Attach(hWnd);
    pWnd->PreSubclassWindow();
    WNDPROC old = (WNDPROC)GetWindowLongPtrW(hWnd, GWLP_WNDPROC);
    if (old != AfxWndProc) {
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
        FwWndAccess::SetSuper(pWnd, old);
    }
    return CallNextHookEx(t_hCbtHook, code, wParam, lParam);
}

} // namespace

LONG AfxGetCaughtExceptionCount()
{
    return g_caughtExceptions;
}

void AfxHookWindowCreate(CWnd* pWnd)
{
    if (!t_hCbtHook)
        t_hCbtHook = SetWindowsHookExW(WH_CBT, CbtFilterHook, nullptr, GetCurrentThreadId());
    t_pWndInit = pWnd;
}

BOOL AfxUnhookWindowCreate()
{
    if (t_hCbtHook) {
        UnhookWindowsHookEx(t_hCbtHook);
        t_hCbtHook = nullptr;
    }
    if (t_pWndInit) {
        t_pWndInit = nullptr;
        return FALSE;
    }
    return TRUE;
}

void AfxDeleteTempObjects()
{
    t_maps.ClearTemporary();
    FwDeleteTempDCs();
    FwDeleteTempGdiObjects();
    FwDeleteTempMenus();
}

// Window classes ---------------------------------------------------------------

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    // Names are kept for the life of the process: callers hold on to the pointer.
    static std::unordered_map<std::wstring, bool> registered;
    wchar_t name[96];
    std::swprintf(name, 96, L"FwWnd:%x:%p:%p:%p", nClassStyle, (void*)hCursor, (void*)hbrBackground,
                  (void*)hIcon);
    auto it = registered.find(name);
    if (it != registered.end())
        return it->first.c_str();
    HINSTANCE hInst = AfxGetInstanceHandle();
    WNDCLASSW wc = {};
    if (!GetClassInfoW(hInst, name, &wc)) {
        wc.style = nClassStyle;
        wc.lpfnWndProc = AfxWndProc;
        wc.hInstance = hInst;
        wc.hCursor = hCursor;
        wc.hbrBackground = hbrBackground;
        wc.hIcon = hIcon;
        wc.lpszClassName = name;
        if (!RegisterClassW(&wc))
            return nullptr;
    }
    return registered.emplace(name, true).first->first.c_str();
}

LPCTSTR AfxDefaultWndClass()
{
    static LPCTSTR name = AfxRegisterWndClass(CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW),
                                              (HBRUSH)(COLOR_WINDOW + 1));
    return name;
}

LPCTSTR AfxDefaultViewClass()
{
    static LPCTSTR name = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                              LoadCursorW(nullptr, IDC_ARROW),
                                              (HBRUSH)(COLOR_WINDOW + 1));
    return name;
}

// Maps -------------------------------------------------------------------------

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    auto it = t_maps.permanent.find(hWnd);
    return it == t_maps.permanent.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    if (CWnd* p = FromHandlePermanent(hWnd))
        return p;
    auto it = t_maps.temporary.find(hWnd);
    if (it != t_maps.temporary.end())
        return it->second;
    CWnd* p = new CWnd;
    p->m_hWnd = hWnd;
    t_maps.temporary.emplace(hWnd, p);
    return p;
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (!hWndNew || m_hWnd)
        return FALSE;
    if (FromHandlePermanent(hWndNew))
        return FALSE;   // another object serves it already
    // A temporary wrapper of the same window stays valid until idle time;
    // FromHandle prefers this object from now on.
    t_maps.permanent[hWndNew] = this;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND h = m_hWnd;
    if (h) {
        auto it = t_maps.permanent.find(h);
        if (it != t_maps.permanent.end() && it->second == this)
            t_maps.permanent.erase(it);
    }
    m_hWnd = nullptr;
    return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!::IsWindow(hWnd) || !Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC old = (WNDPROC)::GetWindowLongPtrW(hWnd, GWLP_WNDPROC);
    if (old != AfxWndProc) {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
        m_pfnSuper = old;
    }
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    if (!pParent)
        return FALSE;
    HWND hControl = ::GetDlgItem(pParent->m_hWnd, (int)nID);
    return hControl ? SubclassWindow(hControl) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    if (!m_hWnd)
        return nullptr;
    if (m_pfnSuper) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
        m_pfnSuper = nullptr;
    }
    return Detach();
}

// Creation ---------------------------------------------------------------------

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxDefaultWndClass();
    return TRUE;
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID,
                    (LPVOID)pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    pParentWnd ? pParentWnd->m_hWnd : nullptr, (HMENU)(UINT_PTR)nID, lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam)
{
    if (m_hWnd)
        return FALSE;
    CREATESTRUCT cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = dwStyle;
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y,
                                  cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                                  cs.lpCreateParams);
    // Never bound: the object saw no message and will see none.
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();
    // When creation failed after binding, WM_NCDESTROY has detached (and
    // perhaps deleted) the object already: do not touch it then.
    return hWnd != nullptr;
}

BOOL CWnd::DestroyWindow()
{
    HWND hWnd = m_hWnd;
    if (!hWnd)
        return FALSE;
    bool servedByUs = FromHandlePermanent(hWnd) == this
                      && (WNDPROC)::GetWindowLongPtrW(hWnd, GWLP_WNDPROC) == AfxWndProc;
    BOOL ok = ::DestroyWindow(hWnd);
    // A served window detaches itself on WM_NCDESTROY (and the object may be
    // gone by now); an attached-only one must be let go here.
    if (!servedByUs && ok)
        Detach();
    return ok;
}

CWnd::~CWnd()
{
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
    if (m_hWnd)
        Detach();
}

void CWnd::PostNcDestroy()
{
}

void CWnd::PreSubclassWindow()
{
}

// The procedure ----------------------------------------------------------------

namespace {

// Ends the object's tie to a window that is going away.
void FinishNcDestroy(HWND hWnd)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return;
    WNDPROC super = FwWndAccess::Super(pWnd);
    if (super && (WNDPROC)GetWindowLongPtrW(hWnd, GWLP_WNDPROC) == AfxWndProc)
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, (LONG_PTR)super);
    FwWndAccess::SetSuper(pWnd, nullptr);
    pWnd->Detach();
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == pWnd) {
        app->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
    try {
        pWnd->PostNcDestroy();
    } catch (const std::exception& e) {
        LogException(e.what(), hWnd, WM_NCDESTROY);
    } catch (...) {
        LogException(nullptr, hWnd, WM_NCDESTROY);
    }
}

LRESULT SafeResult(HWND hWnd, UINT message)
{
    switch (message) {
    case WM_NCCREATE:
        return FALSE;       // creation fails cleanly
    case WM_CREATE:
        return -1;
    case WM_PAINT:
        ValidateRect(hWnd, nullptr);   // else the paint request comes back for ever
        return 0;
    default:
        return 0;
    }
}

} // namespace

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    MSG saved = t_currentMsg;
    t_currentMsg.hwnd = hWnd;
    t_currentMsg.message = message;
    t_currentMsg.wParam = wParam;
    t_currentMsg.lParam = lParam;
    LRESULT result = 0;
    try {
        result = pWnd->WindowProc(message, wParam, lParam);
    } catch (const std::exception& e) {
        LogException(e.what(), hWnd, message);
        result = SafeResult(hWnd, message);
    } catch (...) {
        LogException(nullptr, hWnd, message);
        result = SafeResult(hWnd, message);
    }
    t_currentMsg = saved;
    if (message == WM_NCDESTROY)
        FinishNcDestroy(hWnd);
    return result;
}

const MSG* CWnd::GetCurrentMessage()
{
    return &t_currentMsg;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& m = t_currentMsg;
    if (!m_hWnd || m.hwnd != m_hWnd)
        return 0;
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
        if (CWnd* p = FromHandlePermanent(h))
            if (p->PreTranslateMessage(pMsg))
                return TRUE;
        if (h == hWndStop)
            break;
    }
    return FALSE;
}

// Commands and notifications -----------------------------------------------------

namespace {

// Answers whether a command is enabled without touching any menu or bar.
class EnabledProbe : public CCmdUI {
public:
    BOOL m_bEnabled = TRUE;
    void Enable(BOOL bOn) override { m_bEnabled = bOn; m_bEnableChanged = TRUE; }
    void SetCheck(int) override {}
    void SetRadio(BOOL) override {}
    void SetText(LPCTSTR) override {}
};

} // namespace

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hControl = (HWND)lParam;
    int nCode = HIWORD(wParam);
    if (!hControl) {
        // Menu or accelerator: a command whose update handler disables it is dropped.
        if (nCode == 0 || nCode == 1) {
            EnabledProbe probe;
            probe.m_nID = nID;
            probe.DoUpdate(this, FALSE);
            if (!probe.m_bEnabled)
                return TRUE;
        }
        nCode = CN_COMMAND;
    } else {
        LRESULT ignored = 0;
        if (ReflectToChild(hControl, WM_COMMAND, wParam, lParam, &ignored))
            return TRUE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = (NMHDR*)lParam;
    if (!pNMHDR)
        return FALSE;
    if (pNMHDR->hwndFrom && ReflectToChild(pNMHDR->hwndFrom, WM_NOTIFY, 0, lParam, pResult))
        return TRUE;
    AFX_NOTIFY notify = { pResult, pNMHDR };
    return OnCmdMsg((UINT)pNMHDR->idFrom, (int)MAKELONG(pNMHDR->code, WM_NOTIFY), &notify, nullptr);
}

BOOL CWnd::ReflectToChild(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    CWnd* pChild = FromHandlePermanent(hWndChild);
    if (!pChild || pChild == this)
        return FALSE;
    return pChild->OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_COMMAND: {
        int nCode = HIWORD(wParam);
        if (OnCmdMsg(0, (int)MAKELONG(nCode, WM_REFLECT_BASE + WM_COMMAND), nullptr, nullptr)) {
            if (pResult)
                *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }
    case WM_NOTIFY: {
        NMHDR* pNMHDR = (NMHDR*)lParam;
        LRESULT dummy = 0;
        AFX_NOTIFY notify = { pResult ? pResult : &dummy, pNMHDR };
        return OnCmdMsg(0, (int)MAKELONG(pNMHDR->code, WM_REFLECT_BASE + WM_NOTIFY), &notify, nullptr);
    }
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL: {
        LRESULT dummy = 0;
        return OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, pResult ? pResult : &dummy);
    }
    default:
        if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
            LRESULT dummy = 0;
            return OnWndMsg(WM_REFLECT_BASE + WM_CTLCOLOR, wParam,
                            (LPARAM)(message - WM_CTLCOLORMSGBOX), pResult ? pResult : &dummy);
        }
        return FALSE;
    }
}

// Window-message dispatch ---------------------------------------------------------

namespace {

union WndFn {
    FwPmsg pfn;
    int (CWnd::*i_create)(LPCREATESTRUCT);
    void (CWnd::*v_v)();
    UINT (CWnd::*u_v)();
    BOOL (CWnd::*b_D)(CDC*);
    void (CWnd::*v_u_ii)(UINT, int, int);
    void (CWnd::*v_ii)(int, int);
    void (CWnd::*v_up)(UINT_PTR);
    void (CWnd::*v_uuu)(UINT, UINT, UINT);
    void (CWnd::*v_u_p)(UINT, CPoint);
    BOOL (CWnd::*b_u_s_p)(UINT, short, CPoint);
    void (CWnd::*v_W)(CWnd*);
    void (CWnd::*v_W_p)(CWnd*, CPoint);
    void (CWnd::*v_u_u_Scroll)(UINT, UINT, CScrollBar*);
    void (CWnd::*v_u_W_b)(UINT, CWnd*, BOOL);
    BOOL (CWnd::*b_W_u_u)(CWnd*, UINT, UINT);
    int (CWnd::*i_W_u_u)(CWnd*, UINT, UINT);
    void (CWnd::*v_mmi)(MINMAXINFO*);
    void (CWnd::*v_drop)(HDROP);
    HBRUSH (CWnd::*hbr_D_W_u)(CDC*, CWnd*, UINT);
    void (CWnd::*v_i_draw)(int, LPDRAWITEMSTRUCT);
    void (CWnd::*v_i_measure)(int, LPMEASUREITEMSTRUCT);
    LRESULT (CWnd::*l_p)(CPoint);
    void (CWnd::*v_b)(BOOL);
    void (CWnd::*v_b_u)(BOOL, UINT);
    void (CWnd::*v_M_u_b)(CMenu*, UINT, BOOL);
    void (CWnd::*v_u_l)(UINT, LPARAM);
    LRESULT (CWnd::*l_w_l)(WPARAM, LPARAM);
    HBRUSH (CWnd::*hbr_D_u)(CDC*, UINT);
    void (CWnd::*v_draw)(LPDRAWITEMSTRUCT);
    void (CWnd::*v_measure)(LPMEASUREITEMSTRUCT);
    void (CWnd::*v_u_u)(UINT, UINT);
};

CScrollBar* ScrollBarOf(LPARAM lParam)
{
    return reinterpret_cast<CScrollBar*>(CWnd::FromHandle((HWND)lParam));
}

// The control a parent's message is about, for reflection; null when none.
HWND ControlOfMessage(HWND hParent, UINT message, LPARAM lParam)
{
    switch (message) {
    case WM_DRAWITEM: {
        auto* dis = (LPDRAWITEMSTRUCT)lParam;
        return dis && dis->CtlType != ODT_MENU ? dis->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
        auto* mis = (LPMEASUREITEMSTRUCT)lParam;
        if (!mis || mis->CtlType == ODT_MENU)
            return nullptr;
        // A control measuring while it is created is already its parent's child.
        return ::GetDlgItem(hParent, (int)mis->CtlID);
    }
    case WM_COMPAREITEM:
        return lParam ? ((LPCOMPAREITEMSTRUCT)lParam)->hwndItem : nullptr;
    case WM_DELETEITEM:
        return lParam ? ((LPDELETEITEMSTRUCT)lParam)->hwndItem : nullptr;
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
        return (HWND)lParam;
    default:
        if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
            return (HWND)lParam;
        return nullptr;
    }
}

} // namespace

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT result = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 0;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        if (!OnNotify(wParam, lParam, &result))
            return FALSE;
        *pResult = result;
        return TRUE;
    }
    if (HWND hControl = ControlOfMessage(m_hWnd, message, lParam)) {
        if (ReflectToChild(hControl, message, wParam, lParam, &result)) {
            *pResult = result;
            return TRUE;
        }
    }

    UINT lookup = message;
    UINT nCtlColor = 0;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        lookup = WM_CTLCOLOR;
        nCtlColor = message - WM_CTLCOLORMSGBOX;
    }
    const FwMsgEntry* e = FindMessageEntry(lookup, 0, 0);
    if (!e)
        return FALSE;

    WndFn fn;
    fn.pfn = e->pfn;
    switch (e->nSig) {
    case FwSig_i_create:
        result = (this->*fn.i_create)((LPCREATESTRUCT)lParam);
        break;
    case FwSig_v_v:
        (this->*fn.v_v)();
        break;
    case FwSig_u_v:
        result = (this->*fn.u_v)();
        break;
    case FwSig_b_D:
        result = (this->*fn.b_D)(CDC::FromHandle((HDC)wParam));
        break;
    case FwSig_v_u_ii:
        (this->*fn.v_u_ii)((UINT)wParam, LOWORD(lParam), HIWORD(lParam));
        break;
    case FwSig_v_ii:
        (this->*fn.v_ii)((short)LOWORD(lParam), (short)HIWORD(lParam));
        break;
    case FwSig_v_up:
        (this->*fn.v_up)((UINT_PTR)wParam);
        break;
    case FwSig_v_uuu:
        (this->*fn.v_uuu)((UINT)wParam, LOWORD(lParam), HIWORD(lParam));
        break;
    case FwSig_v_u_p:
        (this->*fn.v_u_p)((UINT)wParam, CPoint(lParam));
        break;
    case FwSig_b_u_s_p:
        result = (this->*fn.b_u_s_p)(LOWORD(wParam), (short)HIWORD(wParam), CPoint(lParam));
        break;
    case FwSig_v_W:
        (this->*fn.v_W)(CWnd::FromHandle((HWND)wParam));
        break;
    case FwSig_v_W_p:
        (this->*fn.v_W_p)(CWnd::FromHandle((HWND)wParam), CPoint(lParam));
        break;
    case FwSig_v_u_u_Scroll:
        (this->*fn.v_u_u_Scroll)(LOWORD(wParam), HIWORD(wParam), ScrollBarOf(lParam));
        break;
    case FwSig_v_u_W_b:
        (this->*fn.v_u_W_b)(LOWORD(wParam), CWnd::FromHandle((HWND)lParam), (BOOL)HIWORD(wParam));
        break;
    case FwSig_b_W_u_u:
        result = (this->*fn.b_W_u_u)(CWnd::FromHandle((HWND)wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case FwSig_i_W_u_u:
        result = (this->*fn.i_W_u_u)(CWnd::FromHandle((HWND)wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case FwSig_v_mmi:
        (this->*fn.v_mmi)((MINMAXINFO*)lParam);
        break;
    case FwSig_v_drop:
        (this->*fn.v_drop)((HDROP)wParam);
        break;
    case FwSig_hbr_D_W_u:
        result = (LRESULT)(this->*fn.hbr_D_W_u)(CDC::FromHandle((HDC)wParam),
                                                CWnd::FromHandle((HWND)lParam), nCtlColor);
        break;
    case FwSig_v_i_draw:
        (this->*fn.v_i_draw)((int)wParam, (LPDRAWITEMSTRUCT)lParam);
        result = TRUE;
        break;
    case FwSig_v_i_measure:
        (this->*fn.v_i_measure)((int)wParam, (LPMEASUREITEMSTRUCT)lParam);
        result = TRUE;
        break;
    case FwSig_l_p:
        result = (this->*fn.l_p)(CPoint(lParam));
        break;
    case FwSig_v_b:
        (this->*fn.v_b)((BOOL)wParam);
        break;
    case FwSig_v_b_u:
        (this->*fn.v_b_u)((BOOL)wParam, (UINT)lParam);
        break;
    case FwSig_v_M_u_b:
        (this->*fn.v_M_u_b)(CMenu::FromHandle((HMENU)wParam), LOWORD(lParam), (BOOL)HIWORD(lParam));
        break;
    case FwSig_v_u_l:
        (this->*fn.v_u_l)((UINT)wParam, lParam);
        break;
    case FwSig_l_w_l:
        result = (this->*fn.l_w_l)(wParam, lParam);
        break;
    case FwSig_hbr_D_u: {
        HBRUSH hbr = (this->*fn.hbr_D_u)(CDC::FromHandle((HDC)wParam), (UINT)lParam);
        if (!hbr)
            return FALSE;   // the control leaves its colours to the parent
        result = (LRESULT)hbr;
        break;
    }
    case FwSig_v_draw:
        (this->*fn.v_draw)((LPDRAWITEMSTRUCT)lParam);
        result = TRUE;
        break;
    case FwSig_v_measure:
        (this->*fn.v_measure)((LPMEASUREITEMSTRUCT)lParam);
        result = TRUE;
        break;
    case FwSig_v_u_u:
        (this->*fn.v_u_u)(LOWORD(wParam), HIWORD(wParam));
        break;
    default:
        return FALSE;
    }
    *pResult = result;
    return TRUE;
}
