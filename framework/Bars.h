// Control bars: windows a frame docks along its top or bottom edge (toolbar,
// rebar, status bar). The frame's RecalcLayout asks each bar for its size
// (CalcFixedLayout) and gives the pane what is left. Bars refresh their
// items' states at idle through ON_UPDATE_COMMAND_UI of the frame, and pass
// the commands and notifications of their controls on to the frame.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <vector>
#include "framework/Wnd.h"
#include "framework/Ids.h"

class CFrameWnd;
class CBitmap;

// Bar styles: the low word of a bar's style argument (kept by the bar,
// never given to the window).
#ifndef CBRS_ALIGN_LEFT
#define CBRS_ALIGN_LEFT     0x1000L
#define CBRS_ALIGN_TOP      0x2000L
#define CBRS_ALIGN_RIGHT    0x4000L
#define CBRS_ALIGN_BOTTOM   0x8000L
#define CBRS_ALIGN_ANY      0xF000L
#define CBRS_BORDER_LEFT    0x0100L
#define CBRS_BORDER_TOP     0x0200L
#define CBRS_BORDER_RIGHT   0x0400L
#define CBRS_BORDER_BOTTOM  0x0800L
#define CBRS_BORDER_ANY     0x0F00L
#define CBRS_TOOLTIPS       0x0010L
#define CBRS_FLYBY          0x0020L
#define CBRS_FLOAT_MULTI    0x0040L
#define CBRS_BORDER_3D      0x0080L
#define CBRS_HIDE_INPLACE   0x0008L
#define CBRS_SIZE_DYNAMIC   0x0004L
#define CBRS_SIZE_FIXED     0x0002L
#define CBRS_FLOATING       0x0001L
#define CBRS_GRIPPER        0x00400000L
#define CBRS_ALL            0x0040FFFFL
#define CBRS_NOALIGN        0x00000000L
#define CBRS_LEFT           (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_TOP            (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_RIGHT          (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_BOTTOM         (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)
#endif

// Toolbar button styles: the control's style in the low word, state bits in
// the high word (TBBS_DISABLED marks a cleared TBSTATE_ENABLED).
#ifndef TBBS_BUTTON
#define TBBS_BUTTON         MAKELONG(TBSTYLE_BUTTON, 0)
#define TBBS_SEPARATOR      MAKELONG(TBSTYLE_SEP, 0)
#define TBBS_CHECKBOX       MAKELONG(TBSTYLE_CHECK, 0)
#define TBBS_GROUP          MAKELONG(TBSTYLE_GROUP, 0)
#define TBBS_CHECKGROUP     (TBBS_GROUP | TBBS_CHECKBOX)
#define TBBS_DROPDOWN       MAKELONG(TBSTYLE_DROPDOWN, 0)
#define TBBS_AUTOSIZE       MAKELONG(TBSTYLE_AUTOSIZE, 0)
#define TBBS_CHECKED        MAKELONG(0, TBSTATE_CHECKED)
#define TBBS_INDETERMINATE  MAKELONG(0, TBSTATE_INDETERMINATE)
#define TBBS_DISABLED       MAKELONG(0, TBSTATE_ENABLED)
#define TBBS_PRESSED        MAKELONG(0, TBSTATE_PRESSED)
#endif

// Status bar pane styles.
#ifndef SBPS_NORMAL
#define SBPS_NORMAL     0x0000
#define SBPS_NOBORDERS  SBT_NOBORDERS
#define SBPS_POPOUT     SBT_POPOUT
#define SBPS_OWNERDRAW  SBT_OWNERDRAW
#define SBPS_DISABLED   0x04000000
#define SBPS_STRETCH    0x08000000
#endif

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    CControlBar() = default;
    virtual ~CControlBar();

    // Size the bar wants: the full width of the frame (bStretch) by its own
    // height for horizontal bars.
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    virtual CSize CalcDynamicLayout(int nLength, DWORD nMode);
    // Refreshes the bar's items from pTarget's update handlers.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;

    DWORD GetBarStyle() const { return m_dwStyle; }
    virtual void SetBarStyle(DWORD dwStyle);
    void SetBorders(int cxLeft = 0, int cyTop = 0, int cxRight = 0, int cyBottom = 0);
    void SetBorders(LPCRECT lpRect);
    CRect GetBorders() const;
    // The frame the bar belongs to (its owner, else its parent frame).
    CFrameWnd* GetDockingFrame() const;
    BOOL IsVisible() const;
    int GetCount() const { return m_nCount; }

    BOOL m_bAutoDelete = FALSE;     // delete the object with its window

    virtual void PostNcDestroy();

protected:
    DWORD m_dwStyle = 0;            // CBRS_ bits
    int m_cxLeftBorder = 0, m_cxRightBorder = 0;
    int m_cyTopBorder = 0, m_cyBottomBorder = 0;
    int m_nCount = 0;

    // Splits dwStyle into the bar's CBRS_ bits and the window style.
    DWORD TakeBarStyle(DWORD dwStyle);
    // Height of a horizontal common control laid out at the frame's width.
    CSize CalcControlSize(BOOL bStretch, BOOL bHorz);

    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);

    // The controls' commands and notifications go on to the frame.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()
};

// Direct access to the toolbar common control (the same window as the CToolBar).
class CToolBarCtrl : public CWnd {
    DECLARE_DYNAMIC(CToolBarCtrl)
public:
    CToolBarCtrl() = default;

    BOOL EnableButton(int nID, BOOL bEnable = TRUE);
    BOOL CheckButton(int nID, BOOL bCheck = TRUE);
    BOOL IsButtonEnabled(int nID) const;
    BOOL IsButtonChecked(int nID) const;
    BOOL HideButton(int nID, BOOL bHide = TRUE);
    int GetButtonCount() const;
    BOOL GetButton(int nIndex, LPTBBUTTON lpButton) const;
    BOOL GetItemRect(int nIndex, LPRECT lpRect) const;
    int CommandToIndex(UINT nID) const;
    BOOL SetButtonWidth(int cxMin, int cxMax);
    HIMAGELIST SetImageList(HIMAGELIST hImageList);
    HIMAGELIST SetHotImageList(HIMAGELIST hImageList);
    HIMAGELIST SetDisabledImageList(HIMAGELIST hImageList);
    BOOL SetButtonSize(CSize size);
    BOOL SetBitmapSize(CSize size);
    DWORD SetExtendedStyle(DWORD dwExStyle);
    DWORD GetExtendedStyle() const;
    void AutoSize();
    CSize GetButtonSize() const;
};

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar() = default;
    virtual ~CToolBar();

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                UINT nID = AFX_IDW_TOOLBAR);
    // dwCtrlStyle: TBSTYLE_ bits; dwStyle: window style with CBRS_ bits.
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                  CRect rcBorders = CRect(0, 0, 0, 0), UINT nID = AFX_IDW_TOOLBAR);

    // Replaces the buttons: one per id (ID_SEPARATOR gives a separator), or
    // nIDCount blank buttons when lpIDArray is null, to be set up with
    // SetButtonInfo. Images are numbered in order, skipping separators.
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
    void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);
    void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    BOOL SetButtonText(int nIndex, LPCTSTR lpszText);
    CString GetButtonText(int nIndex) const;
    void GetButtonText(int nIndex, CString& rString) const;
    UINT GetItemID(int nIndex) const;
    int CommandToIndex(UINT nIDFind) const;
    // Client rectangle of a button.
    virtual void GetItemRect(int nIndex, LPRECT lpRect) const;
    // Button and image sizes of every button.
    void SetSizes(SIZE sizeButton, SIZE sizeImage);
    void SetHeight(int cyHeight);

    CToolBarCtrl& GetToolBarCtrl() const;

    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler);

protected:
    CSize m_sizeButton{ 0, 0 };
    CSize m_sizeImage{ 0, 0 };
    int m_cyForcedHeight = 0;

    DECLARE_MESSAGE_MAP()
};

// Direct access to the rebar common control.
class CReBarCtrl : public CWnd {
    DECLARE_DYNAMIC(CReBarCtrl)
public:
    CReBarCtrl() = default;

    UINT GetBandCount() const;
    BOOL GetBandInfo(UINT uBand, REBARBANDINFO* prbbi) const;
    BOOL SetBandInfo(UINT uBand, REBARBANDINFO* prbbi);
    BOOL InsertBand(UINT uIndex, REBARBANDINFO* prbbi);
    BOOL DeleteBand(UINT uBand);
    UINT GetBarHeight() const;
    void GetBandBorders(int nBand, LPRECT prc) const;
    BOOL GetRect(UINT uBand, LPRECT prc) const;
    void MinimizeBand(UINT uBand);
    void MaximizeBand(UINT uBand, BOOL bIdeal = FALSE);
};

class CReBar : public CControlBar {
    DECLARE_DYNAMIC(CReBar)
public:
    CReBar() = default;

    BOOL Create(CWnd* pParentWnd, DWORD dwCtrlStyle = RBS_BANDBORDERS,
                DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CBRS_TOP,
                UINT nID = AFX_IDW_REBAR);
    // Puts pBar into a new band at the end (the bar becomes the rebar's child).
    BOOL AddBar(CWnd* pBar, LPCTSTR pszText = nullptr, CBitmap* pbmp = nullptr,
                DWORD dwStyle = RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP);
    BOOL AddBar(CWnd* pBar, COLORREF clrFore, COLORREF clrBack, LPCTSTR pszText = nullptr,
                DWORD dwStyle = RBBS_GRIPPERALWAYS);

    CReBarCtrl& GetReBarCtrl() const;

    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler);

protected:
    BOOL DoAddBar(CWnd* pBar, REBARBANDINFO* pRBBI, LPCTSTR pszText, DWORD dwStyle);
    afx_msg void OnHeightChange(NMHDR* pNMHDR, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()
};

class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
public:
    CStatusBar() = default;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = AFX_IDW_STATUS_BAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = AFX_IDW_STATUS_BAR);

    // One pane per id; a pane's text starts as the string resource of its id
    // (ID_SEPARATOR: empty, the stretching pane). Indicator panes are as wide
    // as their text.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
    CString GetPaneText(int nIndex) const;
    void GetPaneText(int nIndex, CString& rString) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);
    UINT GetItemID(int nIndex) const;
    int CommandToIndex(UINT nIDFind) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;

    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler);

protected:
    struct Pane {
        UINT nID;
        UINT nStyle;
        int cxText;
        CString strText;
    };
    std::vector<Pane> m_panes;

    // Gives the control the panes' right edges for the current width.
    void UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText);

    afx_msg void OnSize(UINT nType, int cx, int cy);

    DECLARE_MESSAGE_MAP()
};
