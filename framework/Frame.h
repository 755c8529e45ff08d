// Frame windows: the window that holds views, routes commands (active view
// first, then the frame, then the application) and translates its
// accelerators. Loading from resources, control bars and the document
// template's part come with the document/view work that builds on this.
#pragma once

#include <windows.h>
#include "framework/Wnd.h"

class CView;
class CDocument;
class CDocTemplate;

// What a frame hands to the views it creates (through CREATESTRUCT::lpCreateParams).
struct CCreateContext {
    CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd() = default;

    HACCEL m_hAccelTable = nullptr;     // translated in PreTranslateMessage

    BOOL LoadAccelTable(LPCTSTR lpszResourceName);
    BOOL LoadAccelTable(UINT nIDResource);

    CView* GetActiveView() const { return m_pViewActive; }
    // Makes pViewNew the view that gets commands first; with bNotify both
    // views hear of it through OnActivateView.
    virtual void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();

    // Sizes the pane window (id AFX_IDW_PANE_FIRST) to the client area.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    virtual void ActivateFrame(int nCmdShow = -1);

    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);
    // Frames own themselves: the object is deleted with its window.
    virtual void PostNcDestroy();

protected:
    CView* m_pViewActive = nullptr;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnClose();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);

    friend class CView;

    DECLARE_MESSAGE_MAP()
};
