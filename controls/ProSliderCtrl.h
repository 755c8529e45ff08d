// A trackbar that paints its own channel and thumb as rounded rectangles
// shaded from the rim to the middle, in the page colours, through its own
// (reflected) custom-draw notification; the thumb lights under the mouse.
#pragma once

#include "framework/Controls.h"

class CDC;

class CProSliderCtrl : public CSliderCtrl {
    DECLARE_DYNAMIC(CProSliderCtrl)
public:
    CProSliderCtrl();
    virtual ~CProSliderCtrl();

    // Channel from clrBg, thumb in clrText, fill in clrBg; repainted.
    void UpdateColors();
    // Sets the range again with redraw, which makes the trackbar repaint.
    void Repaint();

    // Rings from the rim inwards, each 10 lighter per component (up to 245).
    void DrawRoundGradient(CDC* pDC, CRect rect, COLORREF clr, BOOL bBoth);
    // The same first ring; the rings inside it lighter by the low byte of nStep.
    void DrawRoundGradientFirst(CDC* pDC, CRect rect, COLORREF clr, BOOL bBoth, BOOL bVertical,
                                int nStep);
    void DrawChannelBackground(CDC* pDC);
    void DrawChannel(CDC* pDC, const CRect& channel);
    void DrawThumb(CDC* pDC, const CRect& thumb, UINT itemState);

    COLORREF m_clrChannel;
    COLORREF m_clrFill;
    int m_nFillDivisor = 0;         // the fill runs over m_nFillPart / m_nFillDivisor
    int m_nFillPart = 0;            // of the channel (taken from range and position)
    COLORREF m_clrThumbHover = 0x0066FF;
    COLORREF m_clrThumbNormal = 0x00CC00;
    COLORREF m_clrThumbSelected = 0xCC6699;
    COLORREF m_clrThumb;
    int m_bDrawBackground = 1;
    int m_nBlink = 0;
    bool m_bThumbPressed = false;   // the last press of the left button was on the thumb

protected:
    // Repaints the whole control when the position or the range moved: the
    // fill must follow the thumb, which the trackbar alone would not redraw.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    afx_msg void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);

    DECLARE_MESSAGE_MAP()
};
