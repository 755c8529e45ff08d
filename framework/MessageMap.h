// Static message maps: each class that handles messages has a table of entries
// (message, notification code, id range, handler kind, member) chained to its
// base class's table. The window procedure and command routing walk the chain
// from the most derived table to CCmdTarget's.
//
// Usage, in the class:      DECLARE_MESSAGE_MAP()
// and in its source file:   BEGIN_MESSAGE_MAP(CMyView, CScrollView)
//                               ON_WM_SIZE()
//                               ON_COMMAND(ID_EDIT_COPY, &CMyView::OnEditCopy)
//                           END_MESSAGE_MAP()
// ON_WM_xxx entries name the fixed handler (OnSize, ...) of the class; command,
// notification and ON_MESSAGE entries take the member as &Class::Member.
#pragma once

#include <windows.h>

class CCmdTarget;
class CWnd;
class CDC;
class CMenu;
class CCmdUI;
class CScrollBar;
class CPoint;

typedef void (CCmdTarget::*FwPmsg)();

// Marks message handlers in class declarations; expands to nothing.
#ifndef afx_msg
#define afx_msg
#endif

// How an entry's member is called; chosen by the entry macros.
enum FwSig : UINT {
    FwSig_end = 0,
    // command routing (OnCmdMsg)
    FwSig_cmd_v,            // void ()
    FwSig_cmd_b,            // BOOL ()              FALSE: not handled, routing goes on
    FwSig_cmd_range,        // void (UINT id)
    FwSig_cmd_ex,           // BOOL (UINT id)
    FwSig_cmd_ui,           // void (CCmdUI*)
    FwSig_notify,           // void (NMHDR*, LRESULT*)
    FwSig_notify_ex,        // BOOL (NMHDR*, LRESULT*)
    FwSig_notify_range,     // void (UINT id, NMHDR*, LRESULT*)
    // window messages (OnWndMsg)
    FwSig_i_create,         // int (LPCREATESTRUCT)
    FwSig_v_v,              // void ()
    FwSig_u_v,              // UINT ()
    FwSig_b_D,              // BOOL (CDC*)
    FwSig_v_u_ii,           // void (UINT, int, int)
    FwSig_v_ii,             // void (int, int)
    FwSig_v_up,             // void (UINT_PTR)
    FwSig_v_uuu,            // void (UINT, UINT, UINT)
    FwSig_v_u_p,            // void (UINT, CPoint)
    FwSig_b_u_s_p,          // BOOL (UINT, short, CPoint)
    FwSig_v_W,              // void (CWnd*)
    FwSig_v_W_p,            // void (CWnd*, CPoint)
    FwSig_v_u_u_Scroll,     // void (UINT, UINT, CScrollBar*)
    FwSig_v_u_W_b,          // void (UINT, CWnd*, BOOL)
    FwSig_b_W_u_u,          // BOOL (CWnd*, UINT, UINT)
    FwSig_i_W_u_u,          // int (CWnd*, UINT, UINT)
    FwSig_v_mmi,            // void (MINMAXINFO*)
    FwSig_v_drop,           // void (HDROP)
    FwSig_hbr_D_W_u,        // HBRUSH (CDC*, CWnd*, UINT)
    FwSig_v_i_draw,         // void (int, LPDRAWITEMSTRUCT)
    FwSig_v_i_measure,      // void (int, LPMEASUREITEMSTRUCT)
    FwSig_l_p,              // LRESULT (CPoint)
    FwSig_v_b,              // void (BOOL)
    FwSig_v_b_u,            // void (BOOL, UINT)
    FwSig_v_M_u_b,          // void (CMenu*, UINT, BOOL)
    FwSig_v_u_l,            // void (UINT, LPARAM)
    FwSig_l_w_l,            // LRESULT (WPARAM, LPARAM)
    // messages reflected to the control that caused them
    FwSig_hbr_D_u,          // HBRUSH (CDC*, UINT)   null: not handled
    FwSig_v_draw,           // void (LPDRAWITEMSTRUCT)
    FwSig_v_measure,        // void (LPMEASUREITEMSTRUCT)
    FwSig_v_u_u,            // void (UINT, UINT)
};

struct FwMsgEntry {
    UINT nMessage;          // window message, WM_COMMAND, WM_NOTIFY, or WM_REFLECT_BASE + one of them
    UINT nCode;             // notification code (low word), 0 for plain window messages
    UINT nID;               // first control or command id
    UINT nLastID;           // last id of the range
    UINT nSig;              // FwSig
    FwPmsg pfn;
    const UINT* pRegMsg;    // registered message variable (ON_REGISTERED_MESSAGE)
};

struct FwMsgMap {
    const FwMsgMap* (*pfnGetBaseMap)();
    const FwMsgEntry* lpEntries;
};

// Filled instead of calling the handler when OnCmdMsg is only asked whether one exists.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
    FwPmsg pmf;
};

// pExtra of OnCmdMsg for WM_NOTIFY routing.
struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

// Reflected messages are looked up as WM_REFLECT_BASE + the message.
#define WM_REFLECT_BASE 0xBC00
// The old single colour message: ON_WM_CTLCOLOR handles all WM_CTLCOLORxxx.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif
// Sent at idle to let frames and bars refresh their command states.
#define WM_IDLEUPDATECMDUI 0x0363

#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const FwMsgMap* GetThisMessageMap(); \
    virtual const FwMsgMap* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const FwMsgMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const FwMsgMap* theClass::GetThisMessageMap() \
    { \
        typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        static const FwMsgEntry fwEntries[] = {

#define END_MESSAGE_MAP() \
            { 0, 0, 0, 0, FwSig_end, nullptr, nullptr } \
        }; \
        static const FwMsgMap fwMap = { &TheBaseClass::GetThisMessageMap, &fwEntries[0] }; \
        static_cast<void>(sizeof(ThisClass)); \
        return &fwMap; \
    }

#define FW_ENTRY(msg, code, id, last, sig, type, fn) \
    { (UINT)(msg), (UINT)(WORD)(code), (UINT)(id), (UINT)(last), (UINT)(sig), \
      reinterpret_cast<FwPmsg>(static_cast<type>(fn)), nullptr },

#define FW_WM(msg, sig, type, fn) FW_ENTRY(msg, 0, 0, 0, sig, type, fn)

// Window messages.
#define ON_WM_CREATE()        FW_WM(WM_CREATE, FwSig_i_create, int (CWnd::*)(LPCREATESTRUCT), &ThisClass::OnCreate)
#define ON_WM_DESTROY()       FW_WM(WM_DESTROY, FwSig_v_v, void (CWnd::*)(), &ThisClass::OnDestroy)
#define ON_WM_NCDESTROY()     FW_WM(WM_NCDESTROY, FwSig_v_v, void (CWnd::*)(), &ThisClass::OnNcDestroy)
#define ON_WM_SIZE()          FW_WM(WM_SIZE, FwSig_v_u_ii, void (CWnd::*)(UINT, int, int), &ThisClass::OnSize)
#define ON_WM_MOVE()          FW_WM(WM_MOVE, FwSig_v_ii, void (CWnd::*)(int, int), &ThisClass::OnMove)
#define ON_WM_PAINT()         FW_WM(WM_PAINT, FwSig_v_v, void (CWnd::*)(), &ThisClass::OnPaint)
#define ON_WM_ERASEBKGND()    FW_WM(WM_ERASEBKGND, FwSig_b_D, BOOL (CWnd::*)(CDC*), &ThisClass::OnEraseBkgnd)
#define ON_WM_TIMER()         FW_WM(WM_TIMER, FwSig_v_up, void (CWnd::*)(UINT_PTR), &ThisClass::OnTimer)
#define ON_WM_CHAR()          FW_WM(WM_CHAR, FwSig_v_uuu, void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnChar)
#define ON_WM_KEYDOWN()       FW_WM(WM_KEYDOWN, FwSig_v_uuu, void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnKeyDown)
#define ON_WM_KEYUP()         FW_WM(WM_KEYUP, FwSig_v_uuu, void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnKeyUp)
#define ON_WM_SYSKEYDOWN()    FW_WM(WM_SYSKEYDOWN, FwSig_v_uuu, void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnSysKeyDown)
#define ON_WM_SYSKEYUP()      FW_WM(WM_SYSKEYUP, FwSig_v_uuu, void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnSysKeyUp)
#define ON_WM_LBUTTONDOWN()   FW_WM(WM_LBUTTONDOWN, FwSig_v_u_p, void (CWnd::*)(UINT, CPoint), &ThisClass::OnLButtonDown)
#define ON_WM_LBUTTONUP()     FW_WM(WM_LBUTTONUP, FwSig_v_u_p, void (CWnd::*)(UINT, CPoint), &ThisClass::OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() FW_WM(WM_LBUTTONDBLCLK, FwSig_v_u_p, void (CWnd::*)(UINT, CPoint), &ThisClass::OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN()   FW_WM(WM_RBUTTONDOWN, FwSig_v_u_p, void (CWnd::*)(UINT, CPoint), &ThisClass::OnRButtonDown)
#define ON_WM_RBUTTONUP()     FW_WM(WM_RBUTTONUP, FwSig_v_u_p, void (CWnd::*)(UINT, CPoint), &ThisClass::OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() FW_WM(WM_RBUTTONDBLCLK, FwSig_v_u_p, void (CWnd::*)(UINT, CPoint), &ThisClass::OnRButtonDblClk)
#define ON_WM_MOUSEMOVE()     FW_WM(WM_MOUSEMOVE, FwSig_v_u_p, void (CWnd::*)(UINT, CPoint), &ThisClass::OnMouseMove)
#define ON_WM_MOUSEWHEEL()    FW_WM(WM_MOUSEWHEEL, FwSig_b_u_s_p, BOOL (CWnd::*)(UINT, short, CPoint), &ThisClass::OnMouseWheel)
#define ON_WM_MOUSEHOVER()    FW_WM(WM_MOUSEHOVER, FwSig_v_u_p, void (CWnd::*)(UINT, CPoint), &ThisClass::OnMouseHover)
#define ON_WM_MOUSELEAVE()    FW_WM(WM_MOUSELEAVE, FwSig_v_v, void (CWnd::*)(), &ThisClass::OnMouseLeave)
#define ON_WM_SETFOCUS()      FW_WM(WM_SETFOCUS, FwSig_v_W, void (CWnd::*)(CWnd*), &ThisClass::OnSetFocus)
#define ON_WM_KILLFOCUS()     FW_WM(WM_KILLFOCUS, FwSig_v_W, void (CWnd::*)(CWnd*), &ThisClass::OnKillFocus)
#define ON_WM_CAPTURECHANGED() FW_WM(WM_CAPTURECHANGED, FwSig_v_W, void (CWnd::*)(CWnd*), &ThisClass::OnCaptureChanged)
#define ON_WM_CONTEXTMENU()   FW_WM(WM_CONTEXTMENU, FwSig_v_W_p, void (CWnd::*)(CWnd*, CPoint), &ThisClass::OnContextMenu)
#define ON_WM_VSCROLL()       FW_WM(WM_VSCROLL, FwSig_v_u_u_Scroll, void (CWnd::*)(UINT, UINT, CScrollBar*), &ThisClass::OnVScroll)
#define ON_WM_HSCROLL()       FW_WM(WM_HSCROLL, FwSig_v_u_u_Scroll, void (CWnd::*)(UINT, UINT, CScrollBar*), &ThisClass::OnHScroll)
#define ON_WM_CLOSE()         FW_WM(WM_CLOSE, FwSig_v_v, void (CWnd::*)(), &ThisClass::OnClose)
#define ON_WM_ACTIVATE()      FW_WM(WM_ACTIVATE, FwSig_v_u_W_b, void (CWnd::*)(UINT, CWnd*, BOOL), &ThisClass::OnActivate)
#define ON_WM_SETCURSOR()     FW_WM(WM_SETCURSOR, FwSig_b_W_u_u, BOOL (CWnd::*)(CWnd*, UINT, UINT), &ThisClass::OnSetCursor)
#define ON_WM_GETMINMAXINFO() FW_WM(WM_GETMINMAXINFO, FwSig_v_mmi, void (CWnd::*)(MINMAXINFO*), &ThisClass::OnGetMinMaxInfo)
#define ON_WM_DROPFILES()     FW_WM(WM_DROPFILES, FwSig_v_drop, void (CWnd::*)(HDROP), &ThisClass::OnDropFiles)
#define ON_WM_CTLCOLOR()      FW_WM(WM_CTLCOLOR, FwSig_hbr_D_W_u, HBRUSH (CWnd::*)(CDC*, CWnd*, UINT), &ThisClass::OnCtlColor)
#define ON_WM_DRAWITEM()      FW_WM(WM_DRAWITEM, FwSig_v_i_draw, void (CWnd::*)(int, LPDRAWITEMSTRUCT), &ThisClass::OnDrawItem)
#define ON_WM_MEASUREITEM()   FW_WM(WM_MEASUREITEM, FwSig_v_i_measure, void (CWnd::*)(int, LPMEASUREITEMSTRUCT), &ThisClass::OnMeasureItem)
#define ON_WM_NCHITTEST()     FW_WM(WM_NCHITTEST, FwSig_l_p, LRESULT (CWnd::*)(CPoint), &ThisClass::OnNcHitTest)
#define ON_WM_SHOWWINDOW()    FW_WM(WM_SHOWWINDOW, FwSig_v_b_u, void (CWnd::*)(BOOL, UINT), &ThisClass::OnShowWindow)
#define ON_WM_ENABLE()        FW_WM(WM_ENABLE, FwSig_v_b, void (CWnd::*)(BOOL), &ThisClass::OnEnable)
#define ON_WM_INITMENUPOPUP() FW_WM(WM_INITMENUPOPUP, FwSig_v_M_u_b, void (CWnd::*)(CMenu*, UINT, BOOL), &ThisClass::OnInitMenuPopup)
#define ON_WM_MOUSEACTIVATE() FW_WM(WM_MOUSEACTIVATE, FwSig_i_W_u_u, int (CWnd::*)(CWnd*, UINT, UINT), &ThisClass::OnMouseActivate)
#define ON_WM_SYSCOMMAND()    FW_WM(WM_SYSCOMMAND, FwSig_v_u_l, void (CWnd::*)(UINT, LPARAM), &ThisClass::OnSysCommand)
#define ON_WM_GETDLGCODE()    FW_WM(WM_GETDLGCODE, FwSig_u_v, UINT (CWnd::*)(), &ThisClass::OnGetDlgCode)

// Any message: LRESULT Handler(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn) \
    FW_WM(message, FwSig_l_w_l, LRESULT (CWnd::*)(WPARAM, LPARAM), memberFxn)
// A message number from RegisterWindowMessage held in a UINT variable.
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn) \
    { 0xC000, 0, 0, 0, (UINT)FwSig_l_w_l, \
      reinterpret_cast<FwPmsg>(static_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(memberFxn)), \
      &(nMessageVariable) },

// Commands (menus, accelerators, buttons) and their state queries.
#define ON_COMMAND(id, memberFxn) \
    FW_ENTRY(WM_COMMAND, CN_COMMAND, id, id, FwSig_cmd_v, void (CCmdTarget::*)(), memberFxn)
#define ON_COMMAND_EX(id, memberFxn) \
    FW_ENTRY(WM_COMMAND, CN_COMMAND, id, id, FwSig_cmd_ex, BOOL (CCmdTarget::*)(UINT), memberFxn)
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
    FW_ENTRY(WM_COMMAND, CN_COMMAND, id, idLast, FwSig_cmd_range, void (CCmdTarget::*)(UINT), memberFxn)
#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
    FW_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, id, FwSig_cmd_ui, void (CCmdTarget::*)(CCmdUI*), memberFxn)
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn) \
    FW_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, idLast, FwSig_cmd_ui, void (CCmdTarget::*)(CCmdUI*), memberFxn)

// Control notifications through WM_COMMAND: void Handler().
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
    FW_ENTRY(WM_COMMAND, wNotifyCode, id, id, FwSig_cmd_v, void (CCmdTarget::*)(), memberFxn)
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn) \
    FW_ENTRY(WM_COMMAND, wNotifyCode, id, idLast, FwSig_cmd_range, void (CCmdTarget::*)(UINT), memberFxn)
#define ON_BN_CLICKED(id, memberFxn)      ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn)       ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn)       ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn)     ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn)    ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn)   ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn)      ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn)   ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn)  ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn)  ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn)    ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn)     ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn)    ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn)   ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn)     ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn)    ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn)      ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn)    ON_CONTROL(LBN_SETFOCUS, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn)   ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn)     ON_CONTROL(STN_CLICKED, id, memberFxn)

// WM_NOTIFY from a child control: void Handler(NMHDR*, LRESULT*).
#define ON_NOTIFY(wNotifyCode, id, memberFxn) \
    FW_ENTRY(WM_NOTIFY, wNotifyCode, id, id, FwSig_notify, void (CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn)
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn) \
    FW_ENTRY(WM_NOTIFY, wNotifyCode, id, idLast, FwSig_notify_range, void (CCmdTarget::*)(UINT, NMHDR*, LRESULT*), memberFxn)
#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn) \
    FW_ENTRY(WM_NOTIFY, wNotifyCode, id, id, FwSig_notify_ex, BOOL (CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn)

// Reflection: the control's own class handles what its parent received.
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn) \
    FW_ENTRY(WM_REFLECT_BASE + WM_COMMAND, wNotifyCode, 0, 0, FwSig_cmd_v, void (CCmdTarget::*)(), memberFxn)
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn) \
    FW_ENTRY(WM_REFLECT_BASE + WM_COMMAND, wNotifyCode, 0, 0, FwSig_cmd_b, BOOL (CCmdTarget::*)(), memberFxn)
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn) \
    FW_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, wNotifyCode, 0, 0, FwSig_notify, void (CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn)
// FALSE from the handler lets the parent handle the notification too.
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn) \
    FW_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, wNotifyCode, 0, 0, FwSig_notify_ex, BOOL (CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn)
// HBRUSH CtlColor(CDC*, UINT nCtlColor); a null brush lets the parent decide.
#define ON_WM_CTLCOLOR_REFLECT() \
    FW_WM(WM_REFLECT_BASE + WM_CTLCOLOR, FwSig_hbr_D_u, HBRUSH (CWnd::*)(CDC*, UINT), &ThisClass::CtlColor)
#define ON_WM_DRAWITEM_REFLECT() \
    FW_WM(WM_REFLECT_BASE + WM_DRAWITEM, FwSig_v_draw, void (CWnd::*)(LPDRAWITEMSTRUCT), &ThisClass::DrawItem)
#define ON_WM_MEASUREITEM_REFLECT() \
    FW_WM(WM_REFLECT_BASE + WM_MEASUREITEM, FwSig_v_measure, void (CWnd::*)(LPMEASUREITEMSTRUCT), &ThisClass::MeasureItem)
#define ON_WM_HSCROLL_REFLECT() \
    FW_WM(WM_REFLECT_BASE + WM_HSCROLL, FwSig_v_u_u, void (CWnd::*)(UINT, UINT), &ThisClass::HScroll)
#define ON_WM_VSCROLL_REFLECT() \
    FW_WM(WM_REFLECT_BASE + WM_VSCROLL, FwSig_v_u_u, void (CWnd::*)(UINT, UINT), &ThisClass::VScroll)
