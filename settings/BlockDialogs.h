// The two small dialogs of the block commands: the block insertion dialog
// ("代码": text, kind and code font size) and the block size dialog
// ("字体设置": height and font of a block).
#pragma once

#include "controls/DrawDlg.h"
#include "controls/MyColorButton.h"
#include "framework/Controls.h"

class CAddCodeDlg : public CDrawDlg {
public:
    explicit CAddCodeDlg(CWnd* pParent = nullptr);
    virtual ~CAddCodeDlg();

    enum { kPlain = 0, kTextBlock = 1, kCode = 2 };
    int m_nType = 0;            // on OK: 0 "无格式", 1 "文字段落", 2 "代码"
    CString m_strText;
    CComboBox m_cbType;
    int m_nFontSize = 25;       // 11..30
    CMyColorButton m_btnOK;
    CMyColorButton m_btnCancel;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK();

    DECLARE_MESSAGE_MAP()
};

class CSizeDlg : public CDrawDlg {
public:
    explicit CSizeDlg(CWnd* pParent = nullptr);
    virtual ~CSizeDlg();

    CString m_strTypeName;
    UINT m_nHeight = 1;         // 1..1000
    UINT m_nWidth = 1;          // 1..2000 (image blocks only)
    int m_nBlockType = 0;       // 7 character block, 8 glyph, 9 image, 10 text column, 11 text box
    CEdit m_editWidth;
    CComboBox m_cbFont;
    CString m_strFontName;

    // The system's faces into m_cbFont, m_strFontName selected, "默认" first.
    void FillFontCombo();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    afx_msg void OnFontChange();

    DECLARE_MESSAGE_MAP()
};
