// A colour picker button: an owner-drawn swatch of its colour. A click opens
// the system's colour dialog; when the user picks a colour the button keeps
// it, repaints, and then notifies its parent with BN_CLICKED (the parent's
// handler reads GetColor). A cancelled dialog changes nothing and notifies
// nobody.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include "framework/Controls.h"

class CMFCColorButton : public CButton {
    DECLARE_DYNAMIC(CMFCColorButton)
public:
    CMFCColorButton() = default;

    COLORREF GetColor() const { return m_Color; }
    void SetColor(COLORREF color);

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

protected:
    // Template buttons of any push style become owner-drawn.
    virtual void PreSubclassWindow();
    afx_msg BOOL OnClicked();

    COLORREF m_Color = RGB(0, 0, 0);
    BOOL m_bNotifying = FALSE;   // our own BN_CLICKED on its way to the parent

    DECLARE_MESSAGE_MAP()
};

// Every colour dialog of the program goes through AfxChooseColor, so tests can
// answer for the user: a hook gets the filled structure, sets rgbResult and
// returns TRUE for a pick or FALSE for a cancel.
typedef BOOL (*AfxChooseColorHook)(CHOOSECOLORW* pcc);
AfxChooseColorHook AfxSetChooseColorHook(AfxChooseColorHook hook);
BOOL AfxChooseColor(CHOOSECOLORW* pcc);
