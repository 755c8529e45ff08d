// The base of the program's dialogs: the page's look behind every dialog.
// On the first erase it makes a memory picture of the client size; every
// erase paints the background picture (or the page gradient, also when the
// picture cannot be loaded), the top and bottom strips and, when switched
// on, the side strips into it and copies it to the screen in one transfer.
// Static texts, check boxes, radio buttons and group boxes draw
// transparently over it in the page text colour.
#pragma once

#include "controls/GDIPlus.h"
#include "framework/Dialog.h"

class CDrawDlg : public CDialogEx {
public:
    CDrawDlg(UINT nIDTemplate, CWnd* pParent);
    virtual ~CDrawDlg();

    // Both measure the dialog's own client area; nHeight, when positive,
    // puts the bottom strip's lower edge there instead of the client bottom.
    void DrawTopBottomStrips(CDC* pDC, int nHeight);
    void DrawSideStrips(CDC* pDC, int nHeight);

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    CGDIPlus m_gdiplus;
    int m_bFirstPaint = 1;
    CDC m_memDC;
    CBitmap m_bitmap;

    DECLARE_MESSAGE_MAP()
};
