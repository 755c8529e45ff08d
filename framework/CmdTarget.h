// Objects that receive commands: the message-map walk for WM_COMMAND and
// WM_NOTIFY routing, and CCmdUI, through which handlers report a command's state.
#pragma once

#include <windows.h>
#include "framework/Object.h"
#include "framework/MessageMap.h"

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;

    // nCode: the notification code in the low word and, for anything other
    // than WM_COMMAND, the message in the high word (WM_NOTIFY, or
    // WM_REFLECT_BASE + WM_COMMAND/WM_NOTIFY for reflected ones);
    // CN_UPDATE_COMMAND_UI asks for the state of a command (pExtra is a CCmdUI*).
    // With pHandlerInfo the handler is only looked up, not called.
    // Frames override it to offer commands to their view and the application.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // Finds the entry for a window message in the chain; null when none.
    const FwMsgEntry* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;

    DECLARE_MESSAGE_MAP()
};

// State of one command item (menu item, toolbar button, ...). Handlers of
// ON_UPDATE_COMMAND_UI call Enable/SetCheck/SetText; bars derive their own kind.
class CCmdUI {
public:
    CCmdUI() = default;
    virtual ~CCmdUI() = default;

    UINT m_nID = 0;
    UINT m_nIndex = 0;          // position in the menu or bar
    UINT m_nIndexMax = 0;
    CMenu* m_pMenu = nullptr;   // the menu being updated, if any
    CMenu* m_pSubMenu = nullptr;
    CWnd* m_pOther = nullptr;   // a bar or other window being updated, if any
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);      // 0 clear, 1 checked, 2 indeterminate
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCTSTR lpszText);
    // Lets the next target in the routing chain update the item too.
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Asks the target for the item's state; when no update handler answers and
    // bDisableIfNoHandler is set, disables the item unless a command handler exists.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler);

    // Runs the update handlers for every command item of a pop-up menu.
    static void UpdateMenu(CMenu* pPopup, CCmdTarget* pTarget, BOOL bDisableIfNoHandler);
};
