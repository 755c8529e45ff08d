// Message maps, command routing, reflection, subclassing and the window
// procedure's exception barrier, on real windows.
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

#include "framework/Wnd.h"
#include "tests/support/Pixels.h"

namespace {

enum : UINT {
    ID_BASE_ONLY = 2001,
    ID_OVERRIDDEN = 2002,
    ID_RANGE_FIRST = 2010,
    ID_RANGE_LAST = 2019,
    ID_DISABLED = 2030,
    ID_CHECKED = 2031,
    ID_NO_UPDATE = 2032,
    ID_NOBODY = 2033,
    ID_DECLINED = 2034,
    IDC_BUTTON = 300,
    IDC_PLAIN = 301,
    IDC_STATIC = 302,
    IDC_OWNERDRAW = 303,
};

const UINT WM_THROW = WM_APP + 1;
const UINT WM_ANSWER = WM_APP + 2;
UINT g_registeredMsg = RegisterWindowMessageW(L"FwTestRegistered");

// A base window whose map the derived one chains to.
class CBaseTestWnd : public CWnd {
public:
    std::vector<CString> calls;
    UINT lastChar = 0;
    UINT lastRangeId = 0;

    void Log(const wchar_t* what) { calls.push_back(what); }

protected:
    afx_msg void OnChar(UINT nChar, UINT, UINT) { lastChar = nChar; Log(L"base char"); }
    afx_msg void OnBaseOnly() { Log(L"base only"); }
    afx_msg void OnOverridden() { Log(L"base overridden"); }
    afx_msg void OnRange(UINT id) { lastRangeId = id; Log(L"range"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTestWnd, CWnd)
    ON_WM_CHAR()
    ON_COMMAND(ID_BASE_ONLY, &CBaseTestWnd::OnBaseOnly)
    ON_COMMAND(ID_OVERRIDDEN, &CBaseTestWnd::OnOverridden)
    ON_COMMAND_RANGE(ID_RANGE_FIRST, ID_RANGE_LAST, &CBaseTestWnd::OnRange)
END_MESSAGE_MAP()

class CDerivedTestWnd : public CBaseTestWnd {
public:
    int cx = -1, cy = -1;
    int paints = 0;
    bool throwInPaint = false;
    bool disabledRan = false;

protected:
    afx_msg void OnSize(UINT, int w, int h) { cx = w; cy = h; }
    afx_msg void OnPaint()
    {
        ++paints;
        if (throwInPaint)
            throw std::runtime_error("paint failed");
        CPaintDC dc(this);
    }
    afx_msg void OnOverridden() { Log(L"derived overridden"); }
    afx_msg void OnDisabled() { disabledRan = true; }
    afx_msg void OnUpdateDisabled(CCmdUI* ui) { ui->Enable(FALSE); }
    afx_msg void OnUpdateChecked(CCmdUI* ui) { ui->SetCheck(1); ui->SetText(L"Checked item"); }
    afx_msg void OnChecked() {}
    afx_msg void OnNoUpdate() {}
    afx_msg BOOL OnDeclined(UINT) { Log(L"declined"); return FALSE; }
    afx_msg LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
    afx_msg LRESULT OnAnswer(WPARAM w, LPARAM l) { return (LRESULT)(w * 100 + l); }
    afx_msg LRESULT OnRegistered(WPARAM w, LPARAM) { return (LRESULT)(w + 1); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTestWnd, CBaseTestWnd)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_COMMAND(ID_OVERRIDDEN, &CDerivedTestWnd::OnOverridden)
    ON_COMMAND(ID_DISABLED, &CDerivedTestWnd::OnDisabled)
    ON_UPDATE_COMMAND_UI(ID_DISABLED, &CDerivedTestWnd::OnUpdateDisabled)
    ON_COMMAND(ID_CHECKED, &CDerivedTestWnd::OnChecked)
    ON_UPDATE_COMMAND_UI(ID_CHECKED, &CDerivedTestWnd::OnUpdateChecked)
    ON_COMMAND(ID_NO_UPDATE, &CDerivedTestWnd::OnNoUpdate)
    ON_COMMAND_EX(ID_DECLINED, &CDerivedTestWnd::OnDeclined)
    ON_MESSAGE(WM_THROW, &CDerivedTestWnd::OnThrow)
    ON_MESSAGE(WM_ANSWER, &CDerivedTestWnd::OnAnswer)
    ON_REGISTERED_MESSAGE(g_registeredMsg, &CDerivedTestWnd::OnRegistered)
END_MESSAGE_MAP()

HWND CreatePopup(CWnd& wnd, int w = 300, int h = 200)
{
    EXPECT_TRUE(wnd.CreateEx(0, nullptr, L"test", WS_POPUP | WS_VISIBLE, 0, 0, w, h, nullptr, nullptr));
    return wnd.m_hWnd;
}

WPARAM Cmd(UINT id, UINT code = 0) { return MAKEWPARAM(id, code); }

TEST(MessageMap, WindowMessagesReachTheirHandlersThroughTheChain)
{
    CDerivedTestWnd wnd;
    HWND h = CreatePopup(wnd);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), &wnd);

    ::SendMessageW(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(123, 45));
    EXPECT_EQ(wnd.cx, 123);
    EXPECT_EQ(wnd.cy, 45);

    ::SendMessageW(h, WM_CHAR, L'中', 1);
    EXPECT_EQ(wnd.lastChar, (UINT)L'中');
    ASSERT_EQ(wnd.calls.size(), 1u);
    EXPECT_EQ(wnd.calls[0], L"base char");

    EXPECT_EQ(::SendMessageW(h, WM_ANSWER, 7, 3), 703);
    EXPECT_EQ(::SendMessageW(h, g_registeredMsg, 41, 0), 42);
    // Unmapped messages get the default processing.
    ::SendMessageW(h, WM_SETTEXT, 0, (LPARAM)L"caption");
    CString text;
    wnd.GetWindowText(text);
    EXPECT_EQ(text, L"caption");
    wnd.DestroyWindow();
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
}

TEST(MessageMap, CommandsAreFoundByIdRangeAndDerivedFirst)
{
    CDerivedTestWnd wnd;
    HWND h = CreatePopup(wnd);
    ::SendMessageW(h, WM_COMMAND, Cmd(ID_BASE_ONLY), 0);
    ::SendMessageW(h, WM_COMMAND, Cmd(ID_OVERRIDDEN), 0);
    ::SendMessageW(h, WM_COMMAND, Cmd(ID_RANGE_FIRST + 4), 0);
    ::SendMessageW(h, WM_COMMAND, Cmd(ID_RANGE_LAST + 1), 0);   // just outside
    ::SendMessageW(h, WM_COMMAND, Cmd(ID_NOBODY), 0);
    ::SendMessageW(h, WM_COMMAND, Cmd(ID_DECLINED), 0);
    std::vector<CString> expected = { L"base only", L"derived overridden", L"range", L"declined" };
    EXPECT_EQ(wnd.calls, expected);
    EXPECT_EQ(wnd.lastRangeId, (UINT)ID_RANGE_FIRST + 4);

    // The handler lookup alone does not run anything.
    AFX_CMDHANDLERINFO info = {};
    EXPECT_TRUE(wnd.OnCmdMsg(ID_BASE_ONLY, CN_COMMAND, nullptr, &info));
    EXPECT_EQ(info.pTarget, &wnd);
    EXPECT_EQ(wnd.calls.size(), expected.size());
    EXPECT_FALSE(wnd.OnCmdMsg(ID_NOBODY, CN_COMMAND, nullptr, &info));
    // An _EX handler that declines leaves the command unhandled.
    EXPECT_FALSE(wnd.OnCmdMsg(ID_DECLINED, CN_COMMAND, nullptr, nullptr));
}

TEST(MessageMap, UpdateHandlersSetMenuStateAndBlockDisabledCommands)
{
    CDerivedTestWnd wnd;
    HWND h = CreatePopup(wnd);
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, ID_DISABLED, L"Disabled");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING, ID_CHECKED, L"Checked");
    menu.AppendMenu(MF_STRING, ID_NO_UPDATE, L"Handler only");
    menu.AppendMenu(MF_STRING, ID_NOBODY, L"Nobody");
    CCmdUI::UpdateMenu(&menu, &wnd, TRUE);

    EXPECT_TRUE(menu.GetMenuState(ID_DISABLED, MF_BYCOMMAND) & MF_GRAYED);
    UINT checked = menu.GetMenuState(ID_CHECKED, MF_BYCOMMAND);
    EXPECT_TRUE(checked & MF_CHECKED);
    EXPECT_FALSE(checked & MF_GRAYED);
    CString label;
    menu.GetMenuString(ID_CHECKED, label, MF_BYCOMMAND);
    EXPECT_EQ(label, L"Checked item");
    EXPECT_FALSE(menu.GetMenuState(ID_NO_UPDATE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(menu.GetMenuState(ID_NOBODY, MF_BYCOMMAND) & MF_GRAYED);

    // A menu or accelerator command whose update handler disables it is dropped...
    ::SendMessageW(h, WM_COMMAND, Cmd(ID_DISABLED, 1), 0);
    EXPECT_FALSE(wnd.disabledRan);
    // ...while the routing itself still finds the handler.
    EXPECT_TRUE(wnd.OnCmdMsg(ID_DISABLED, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(wnd.disabledRan);
}

TEST(MessageMap, ExceptionsInHandlersAreCaughtAndTheWindowLivesOn)
{
    CDerivedTestWnd wnd;
    HWND h = CreatePopup(wnd);
    LONG before = AfxGetCaughtExceptionCount();
    EXPECT_EQ(::SendMessageW(h, WM_THROW, 0, 0), 0);
    EXPECT_EQ(AfxGetCaughtExceptionCount(), before + 1);
    EXPECT_EQ(::SendMessageW(h, WM_ANSWER, 1, 2), 102);

    // A paint handler that throws leaves the window validated, so the paint
    // request does not come back for ever.
    wnd.throwInPaint = true;
    wnd.paints = 0;
    wnd.Invalidate();
    PumpMessages(50);
    EXPECT_EQ(wnd.paints, 1);
    EXPECT_FALSE(::GetUpdateRect(h, nullptr, FALSE));
    EXPECT_EQ(AfxGetCaughtExceptionCount(), before + 2);
    // The message being handled is restored after the nested one ended.
    ::SendMessageW(h, WM_SIZE, 0, MAKELPARAM(10, 20));
    EXPECT_EQ(wnd.cx, 10);
}

class CFailingCreateWnd : public CWnd {
public:
    int ncDestroyed = 0;
    bool throwIt = false;
protected:
    afx_msg int OnCreate(LPCREATESTRUCT)
    {
        if (throwIt)
            throw std::runtime_error("create failed");
        return -1;
    }
    void PostNcDestroy() override { ++ncDestroyed; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFailingCreateWnd, CWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

TEST(MessageMap, FailedCreationDetachesTheObject)
{
    for (bool throwIt : { false, true }) {
        CFailingCreateWnd wnd;
        wnd.throwIt = throwIt;
        EXPECT_FALSE(wnd.CreateEx(0, nullptr, L"x", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
        EXPECT_EQ(wnd.m_hWnd, nullptr);
        EXPECT_EQ(wnd.ncDestroyed, 1);
    }
}

// Controls that handle their own notifications.
class CReflectButton : public CWnd {
public:
    int clicked = 0;
protected:
    afx_msg void OnClicked() { ++clicked; }
    afx_msg void OnCustomDraw(NMHDR* hdr, LRESULT* result)
    {
        *result = ((NMCUSTOMDRAW*)hdr)->dwDrawStage == CDDS_PREPAINT ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    }
    afx_msg BOOL OnClickNotify(NMHDR*, LRESULT*) { ++clicked; return FALSE; }
    afx_msg void HScroll(UINT code, UINT pos) { lastScroll = MAKELONG(code, pos); }
public:
    LONG lastScroll = -1;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectButton, CWnd)
    ON_CONTROL_REFLECT(BN_CLICKED, &CReflectButton::OnClicked)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, &CReflectButton::OnCustomDraw)
    ON_NOTIFY_REFLECT_EX(NM_CLICK, &CReflectButton::OnClickNotify)
    ON_WM_HSCROLL_REFLECT()
END_MESSAGE_MAP()

class CColorStatic : public CWnd {
public:
    CBrush brush{ RGB(1, 2, 3) };
    UINT ctlColorSeen = 99;
protected:
    afx_msg HBRUSH CtlColor(CDC*, UINT nCtlColor) { ctlColorSeen = nCtlColor; return brush; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CColorStatic, CWnd)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class COwnerDrawButton : public CWnd {
public:
    int drawn = 0;
    COLORREF fill = RGB(0, 160, 80);
    void DrawItem(LPDRAWITEMSTRUCT dis)
    {
        ++drawn;
        CDC* dc = CDC::FromHandle(dis->hDC);
        dc->FillSolidRect(&dis->rcItem, fill);
    }
protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COwnerDrawButton, CWnd)
    ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

class COwnerDrawList : public CWnd {
public:
    int measured = 0;
    void MeasureItem(LPMEASUREITEMSTRUCT mis)
    {
        ++measured;
        mis->itemHeight = 23;
    }
protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COwnerDrawList, CWnd)
    ON_WM_MEASUREITEM_REFLECT()
END_MESSAGE_MAP()

class CParentWnd : public CWnd {
public:
    int parentClicks = 0;
    int parentNotifies = 0;
    int parentCtlColor = 0;
    int parentDrawItem = 0;
protected:
    afx_msg void OnButton() { ++parentClicks; }
    afx_msg void OnPlain() { ++parentClicks; }
    afx_msg void OnNotifyClick(NMHDR*, LRESULT* result) { ++parentNotifies; *result = 5; }
    afx_msg void OnNotifyDraw(NMHDR*, LRESULT* result) { ++parentNotifies; *result = 77; }
    afx_msg HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT nCtlColor)
    {
        ++parentCtlColor;
        return CWnd::OnCtlColor(dc, wnd, nCtlColor);
    }
    afx_msg void OnDrawItem(int, LPDRAWITEMSTRUCT) { ++parentDrawItem; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParentWnd, CWnd)
    ON_BN_CLICKED(IDC_BUTTON, &CParentWnd::OnButton)
    ON_BN_CLICKED(IDC_PLAIN, &CParentWnd::OnPlain)
    ON_NOTIFY(NM_CLICK, IDC_BUTTON, &CParentWnd::OnNotifyClick)
    ON_NOTIFY(NM_CUSTOMDRAW, IDC_BUTTON, &CParentWnd::OnNotifyDraw)
    ON_NOTIFY(NM_CUSTOMDRAW, IDC_PLAIN, &CParentWnd::OnNotifyDraw)
    ON_WM_CTLCOLOR()
    ON_WM_DRAWITEM()
END_MESSAGE_MAP()

HWND MakeChild(HWND parent, const wchar_t* cls, DWORD style, UINT id, int y)
{
    return ::CreateWindowExW(0, cls, L"child", WS_CHILD | WS_VISIBLE | style, 10, y, 120, 30, parent,
                             (HMENU)(UINT_PTR)id, nullptr, nullptr);
}

TEST(Reflection, ControlsHandleTheirOwnNotificationsFirst)
{
    CParentWnd parent;
    HWND hParent = CreatePopup(parent, 400, 300);
    HWND hButton = MakeChild(hParent, L"BUTTON", BS_PUSHBUTTON, IDC_BUTTON, 10);
    HWND hPlain = MakeChild(hParent, L"BUTTON", BS_PUSHBUTTON, IDC_PLAIN, 50);
    HWND hStatic = MakeChild(hParent, L"STATIC", 0, IDC_STATIC, 90);
    CReflectButton button;
    CColorStatic colorStatic;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_BUTTON, &parent));
    ASSERT_TRUE(colorStatic.SubclassWindow(hStatic));
    EXPECT_EQ(CWnd::FromHandlePermanent(hButton), &button);

    // WM_COMMAND: the subclassed button takes its click; the plain one goes to the parent.
    ::SendMessageW(hParent, WM_COMMAND, Cmd(IDC_BUTTON, BN_CLICKED), (LPARAM)hButton);
    EXPECT_EQ(button.clicked, 1);
    EXPECT_EQ(parent.parentClicks, 0);
    ::SendMessageW(hParent, WM_COMMAND, Cmd(IDC_PLAIN, BN_CLICKED), (LPARAM)hPlain);
    EXPECT_EQ(parent.parentClicks, 1);
    // A real click goes the same way.
    ::SendMessageW(hButton, BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_EQ(button.clicked, 2);
    EXPECT_EQ(parent.parentClicks, 1);

    // WM_NOTIFY: custom draw answered by the control, its result returned.
    NMCUSTOMDRAW cd = {};
    cd.hdr.hwndFrom = hButton;
    cd.hdr.idFrom = IDC_BUTTON;
    cd.hdr.code = NM_CUSTOMDRAW;
    cd.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(::SendMessageW(hParent, WM_NOTIFY, IDC_BUTTON, (LPARAM)&cd), CDRF_NOTIFYITEMDRAW);
    EXPECT_EQ(parent.parentNotifies, 0);
    cd.hdr.hwndFrom = hPlain;
    cd.hdr.idFrom = IDC_PLAIN;
    EXPECT_EQ(::SendMessageW(hParent, WM_NOTIFY, IDC_PLAIN, (LPARAM)&cd), 77);
    EXPECT_EQ(parent.parentNotifies, 1);
    // A reflected _EX handler that declines lets the parent handle it too.
    NMHDR click = { hButton, IDC_BUTTON, (UINT)NM_CLICK };
    EXPECT_EQ(::SendMessageW(hParent, WM_NOTIFY, IDC_BUTTON, (LPARAM)&click), 5);
    EXPECT_EQ(button.clicked, 3);
    EXPECT_EQ(parent.parentNotifies, 2);

    // WM_CTLCOLORSTATIC: the control's brush wins and the parent is not asked.
    parent.parentCtlColor = 0;   // the buttons asked while they painted
    HDC dc = ::GetDC(hStatic);
    LRESULT brush = ::SendMessageW(hParent, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)hStatic);
    EXPECT_EQ((HBRUSH)brush, (HBRUSH)colorStatic.brush);
    EXPECT_EQ(colorStatic.ctlColorSeen, (UINT)CTLCOLOR_STATIC);
    EXPECT_EQ(parent.parentCtlColor, 0);
    ::SendMessageW(hParent, WM_CTLCOLORBTN, (WPARAM)dc, (LPARAM)hPlain);
    EXPECT_EQ(parent.parentCtlColor, 1);
    ::ReleaseDC(hStatic, dc);

    // Scroll messages from a control reach the control.
    ::SendMessageW(hParent, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 17), (LPARAM)hButton);
    EXPECT_EQ(button.lastScroll, MAKELONG(SB_THUMBTRACK, 17));

    // Unsubclassing gives the parent its messages back.
    EXPECT_EQ(button.UnsubclassWindow(), hButton);
    EXPECT_EQ(CWnd::FromHandlePermanent(hButton), nullptr);
    ::SendMessageW(hParent, WM_COMMAND, Cmd(IDC_BUTTON, BN_CLICKED), (LPARAM)hButton);
    EXPECT_EQ(button.clicked, 3);
    EXPECT_EQ(parent.parentClicks, 2);
    parent.DestroyWindow();
    EXPECT_EQ(colorStatic.m_hWnd, nullptr);   // detached when its window went
}

TEST(Reflection, OwnerDrawnControlCreatedThroughCreatePaintsItself)
{
    CParentWnd parent;
    HWND hParent = CreatePopup(parent, 300, 200);
    COwnerDrawButton button;
    // A system class: the creation hook binds and subclasses it.
    ASSERT_TRUE(button.Create(L"BUTTON", L"owner", WS_VISIBLE | BS_OWNERDRAW, CRect(20, 20, 120, 70),
                              &parent, IDC_OWNERDRAW));
    EXPECT_EQ(CWnd::FromHandlePermanent(button.m_hWnd), &button);
    EXPECT_EQ(::GetParent(button.m_hWnd), hParent);
    EXPECT_EQ(button.GetDlgCtrlID(), IDC_OWNERDRAW);
    // The button's own procedure still works behind ours.
    button.SetWindowText(L"renamed");
    CString text;
    button.GetWindowText(text);
    EXPECT_EQ(text, L"renamed");

    ::RedrawWindow(hParent, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages(30);
    EXPECT_GE(button.drawn, 1);
    EXPECT_EQ(parent.parentDrawItem, 0);
    EXPECT_EQ(PixelOfWindow(button.m_hWnd, 50, 25), button.fill);

    // A fixed-height owner-drawn list measures while it is being created.
    COwnerDrawList list;
    ASSERT_TRUE(list.Create(L"LISTBOX", nullptr, WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                            CRect(150, 20, 280, 150), &parent, IDC_PLAIN));
    EXPECT_GE(list.measured, 1);
    EXPECT_EQ(list.SendMessage(LB_GETITEMHEIGHT, 0, 0), 23);

    HWND hButton = button.m_hWnd;
    parent.DestroyWindow();
    EXPECT_EQ(button.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hButton), nullptr);
}

TEST(WindowMap, ForeignWindowsGetTemporaryWrappers)
{
    HWND foreign = ::CreateWindowExW(0, L"STATIC", L"foreign", WS_POPUP, 0, 0, 10, 10, nullptr,
                                     nullptr, nullptr, nullptr);
    ASSERT_NE(foreign, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(foreign), nullptr);
    CWnd* temp = CWnd::FromHandle(foreign);
    ASSERT_NE(temp, nullptr);
    EXPECT_EQ(temp->m_hWnd, foreign);
    EXPECT_EQ(CWnd::FromHandle(foreign), temp);
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    AfxDeleteTempObjects();
    // The window itself is untouched by freeing its wrapper.
    EXPECT_TRUE(::IsWindow(foreign));

    // Attach makes an object permanent without routing messages through it.
    CWnd attached;
    ASSERT_TRUE(attached.Attach(foreign));
    EXPECT_EQ(CWnd::FromHandle(foreign), &attached);
    CWnd second;
    EXPECT_FALSE(second.Attach(foreign));
    EXPECT_EQ(attached.Detach(), foreign);
    EXPECT_EQ(CWnd::FromHandlePermanent(foreign), nullptr);
    ::DestroyWindow(foreign);
}

} // namespace

// Dynamic creation and type tests.
class CDynBase : public CWnd {
    DECLARE_DYNCREATE(CDynBase)
};
IMPLEMENT_DYNCREATE(CDynBase, CWnd)

class CDynDerived : public CDynBase {
    DECLARE_DYNCREATE(CDynDerived)
public:
    int marker = 4711;
};
IMPLEMENT_DYNCREATE(CDynDerived, CDynBase)

class CDynOnly : public CCmdTarget {
    DECLARE_DYNAMIC(CDynOnly)
};
IMPLEMENT_DYNAMIC(CDynOnly, CCmdTarget)

namespace {

TEST(RuntimeClass, CreatesAndTestsClassesByRecord)
{
    CRuntimeClass* rc = RUNTIME_CLASS(CDynDerived);
    EXPECT_STREQ(rc->m_lpszClassName, "CDynDerived");
    EXPECT_EQ(rc->m_nObjectSize, (int)sizeof(CDynDerived));
    EXPECT_EQ(rc->m_pBaseClass, RUNTIME_CLASS(CDynBase));
    CObject* obj = rc->CreateObject();
    ASSERT_NE(obj, nullptr);
    EXPECT_EQ(obj->GetRuntimeClass(), rc);
    EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(CDynBase)));
    EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(obj->IsKindOf(RUNTIME_CLASS(CDynOnly)));
    CDynDerived* derived = DYNAMIC_DOWNCAST(CDynDerived, obj);
    ASSERT_NE(derived, nullptr);
    EXPECT_EQ(derived->marker, 4711);
    EXPECT_EQ(DYNAMIC_DOWNCAST(CDynOnly, obj), nullptr);
    delete obj;

    CObject* base = RUNTIME_CLASS(CDynBase)->CreateObject();
    ASSERT_NE(base, nullptr);
    EXPECT_FALSE(base->IsKindOf(RUNTIME_CLASS(CDynDerived)));
    delete base;

    EXPECT_EQ(RUNTIME_CLASS(CDynOnly)->CreateObject(), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName("CDynDerived"), rc);
    EXPECT_EQ(CRuntimeClass::FromName(L"CDynDerived"), rc);
    EXPECT_EQ(CRuntimeClass::FromName("CWnd"), RUNTIME_CLASS(CWnd));
    EXPECT_EQ(CRuntimeClass::FromName("NoSuchClass"), nullptr);
}

} // namespace
