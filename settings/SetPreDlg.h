// The preset dialog ("预设置"): text size, spacing, body and code faces,
// the chapter-title text and the annotation settings. The font lists and the
// page-width buttons act on the pane at once; the caller applies the rest
// after OK (see CImportView::ShowPresetDialog).
#pragma once

#include "controls/DrawDlg.h"
#include "controls/MyColorButton.h"
#include "framework/Controls.h"

class CImportView;

class CSetPreDlg : public CDrawDlg {
public:
    explicit CSetPreDlg(CImportView* pView = nullptr);
    virtual ~CSetPreDlg();

    CImportView* m_pView;
    UINT m_nTextSize = 0;           // 22..100
    UINT m_nLineSpacing = 28;       // 0..100
    UINT m_nParaSpacing = 28;       // 0..100
    CComboBox m_cbBodyFont;
    CString m_strBodyFont;
    CString m_strCodeFont;
    CString m_strTitleText;
    CMyColorButton m_btnWiden;
    CMyColorButton m_btnNarrow;
    CMyColorButton m_btnOK;
    CMyColorButton m_btnCancel;
    CComboBox m_cbStyle;
    CComboBox m_cbCodeFont;
    // The annotation settings as the controls show them; OK stores them in
    // bSingle, bComment and nBiaozhu once every field has passed its check.
    int m_bSingle = 0;
    int m_bComment = 0;
    int m_nBiaozhu = 0;

    void FillFontCombos();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    afx_msg void OnBodyFontChange();
    afx_msg void OnCodeFontChange();
    afx_msg void OnWidenPage();
    afx_msg void OnNarrowPage();

    DECLARE_MESSAGE_MAP()
};
