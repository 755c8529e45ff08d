// The program's push button: an owner-drawn face picked from five pictures
// by state (normal, disabled, pressed under the mouse, focused, under the
// mouse), stretched over the whole button, with its text centred on top.
// Templates give the buttons bound to it the BS_OWNERDRAW style.
#pragma once

#include "framework/Controls.h"

class CMyColorButton : public CButton {
public:
    CMyColorButton();
    virtual ~CMyColorButton();

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    void PaintState(CDC* pDC, int nState);

    // Picture indexes of m_bmpState.
    enum { kNormal = 0, kDisabled = 1, kPressedHover = 2, kFocused = 3, kHover = 4 };
    // The picture DrawItem chooses for an owner-draw item state.
    int StateFor(UINT itemState) const;
    BOOL IsHovering() const { return m_bHover; }

protected:
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);

    CBitmap m_bmpState[5];
    BOOL m_bHover = FALSE;    // mouse tracking is on: the pointer is over the button

    DECLARE_MESSAGE_MAP()
};
