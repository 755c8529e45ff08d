// The about box: the program's icon, name and version, and one OK button.
#pragma once

#include "controls/DrawDlg.h"
#include "controls/MyColorButton.h"

class CAboutDlg : public CDrawDlg {
public:
    explicit CAboutDlg(CWnd* pParent = nullptr);
    virtual ~CAboutDlg();

    CMyColorButton m_btnOK;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();

    DECLARE_MESSAGE_MAP()
};

// "1.0.0.0" from the program's version resource; empty without one.
CString ProgramVersion();
