#include "framework/CmdTarget.h"
#include "framework/Menu.h"
#include "framework/Wnd.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

// The root of every chain: no entries, no base.
const FwMsgMap* CCmdTarget::GetThisMessageMap()
{
    static const FwMsgEntry entries[] = { { 0, 0, 0, 0, FwSig_end, nullptr, nullptr } };
    static const FwMsgMap map = { nullptr, &entries[0] };
    return &map;
}

const FwMsgMap* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const FwMsgEntry* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const
{
    for (const FwMsgMap* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const FwMsgEntry* e = map->lpEntries; e->nSig != FwSig_end; ++e) {
            if (e->pRegMsg) {
                if (*e->pRegMsg == nMessage && nMessage != 0)
                    return e;
                continue;
            }
            if (e->nMessage == nMessage && e->nCode == nCode && nID >= e->nID && nID <= e->nLastID)
                return e;
        }
    }
    return nullptr;
}

namespace {

union CmdFn {
    FwPmsg pfn;
    void (CCmdTarget::*v)();
    BOOL (CCmdTarget::*b)();
    void (CCmdTarget::*v_u)(UINT);
    BOOL (CCmdTarget::*b_u)(UINT);
    void (CCmdTarget::*ui)(CCmdUI*);
    void (CCmdTarget::*notify)(NMHDR*, LRESULT*);
    BOOL (CCmdTarget::*notify_ex)(NMHDR*, LRESULT*);
    void (CCmdTarget::*notify_range)(UINT, NMHDR*, LRESULT*);
};

BOOL DispatchCommand(CCmdTarget* target, UINT nID, const FwMsgEntry* e, void* pExtra)
{
    CmdFn fn;
    fn.pfn = e->pfn;
    switch (e->nSig) {
    case FwSig_cmd_v:
        (target->*fn.v)();
        return TRUE;
    case FwSig_cmd_b:
        return (target->*fn.b)();
    case FwSig_cmd_range:
        (target->*fn.v_u)(nID);
        return TRUE;
    case FwSig_cmd_ex:
        return (target->*fn.b_u)(nID);
    case FwSig_cmd_ui: {
        CCmdUI* ui = static_cast<CCmdUI*>(pExtra);
        if (!ui)
            return FALSE;
        ui->m_bContinueRouting = FALSE;
        (target->*fn.ui)(ui);
        return !ui->m_bContinueRouting;
    }
    case FwSig_notify:
    case FwSig_notify_ex:
    case FwSig_notify_range: {
        AFX_NOTIFY* n = static_cast<AFX_NOTIFY*>(pExtra);
        if (!n)
            return FALSE;
        if (e->nSig == FwSig_notify_ex)
            return (target->*fn.notify_ex)(n->pNMHDR, n->pResult);
        if (e->nSig == FwSig_notify_range)
            (target->*fn.notify_range)(nID, n->pNMHDR, n->pResult);
        else
            (target->*fn.notify)(n->pNMHDR, n->pResult);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

} // namespace

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    UINT nMsg, nNotify;
    if ((UINT)nCode == CN_UPDATE_COMMAND_UI) {
        nMsg = WM_COMMAND;
        nNotify = 0xFFFF;
    } else {
        nMsg = HIWORD((UINT)nCode);
        nNotify = LOWORD((UINT)nCode);
        if (nMsg == 0)
            nMsg = WM_COMMAND;
    }
    for (const FwMsgMap* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const FwMsgEntry* e = map->lpEntries; e->nSig != FwSig_end; ++e) {
            if (e->pRegMsg || e->nMessage != nMsg || e->nCode != nNotify)
                continue;
            if (nID < e->nID || nID > e->nLastID)
                continue;
            if (pHandlerInfo) {
                pHandlerInfo->pTarget = this;
                pHandlerInfo->pmf = e->pfn;
                return TRUE;
            }
            // An _EX handler that declines, or an update handler that asks to
            // continue routing, leaves the search going.
            if (DispatchCommand(this, nID, e, pExtra))
                return TRUE;
        }
    }
    return FALSE;
}

// CCmdUI ---------------------------------------------------------------------

void CCmdUI::Enable(BOOL bOn)
{
    if (m_pMenu) {
        if (m_pSubMenu)
            return;   // a pop-up item has no command of its own
        m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    } else if (m_pOther) {
        // A focused control that gets disabled would trap the keyboard: move it on.
        if (!bOn && ::GetFocus() == m_pOther->m_hWnd) {
            HWND parent = ::GetParent(m_pOther->m_hWnd);
            if (parent)
                ::SendMessageW(parent, WM_NEXTDLGCTL, 0, FALSE);
        }
        m_pOther->EnableWindow(bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_pMenu) {
        if (m_pSubMenu)
            return;
        m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther) {
        m_pOther->SendMessage(BM_SETCHECK, (WPARAM)nCheck, 0);
    }
}

void CCmdUI::SetRadio(BOOL bOn)
{
    SetCheck(bOn ? 1 : 0);
}

void CCmdUI::SetText(LPCTSTR lpszText)
{
    if (!lpszText)
        lpszText = L"";
    if (m_pMenu) {
        if (m_pSubMenu)
            return;
        UINT state = m_pMenu->GetMenuState(m_nIndex, MF_BYPOSITION);
        state &= ~(MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_POPUP);
        m_pMenu->ModifyMenu(m_nIndex, MF_BYPOSITION | MF_STRING | state, m_nID, lpszText);
    } else if (m_pOther) {
        m_pOther->SetWindowText(lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler)
{
    if (m_nID == 0 || !pTarget)
        return TRUE;   // separators and items without a target are left alone
    m_bEnableChanged = FALSE;
    BOOL handled = pTarget->OnCmdMsg(m_nID, (int)CN_UPDATE_COMMAND_UI, this, nullptr);
    if (!handled && bDisableIfNoHandler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info = { nullptr, nullptr };
        BOOL hasHandler = pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info);
        Enable(hasHandler);
    }
    return handled;
}

void CCmdUI::UpdateMenu(CMenu* pPopup, CCmdTarget* pTarget, BOOL bDisableIfNoHandler)
{
    if (!pPopup || !pPopup->m_hMenu)
        return;
    CCmdUI state;
    state.m_pMenu = pPopup;
    state.m_nIndexMax = (UINT)pPopup->GetMenuItemCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        UINT id = pPopup->GetMenuItemID((int)state.m_nIndex);
        if (id == 0 || id == (UINT)-1)
            continue;   // separator or pop-up
        state.m_nID = id;
        state.m_pSubMenu = nullptr;
        state.DoUpdate(pTarget, bDisableIfNoHandler);
        // A handler may have changed the menu's length.
        state.m_nIndexMax = (UINT)pPopup->GetMenuItemCount();
    }
}
