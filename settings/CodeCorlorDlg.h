// The modeless colour and decoration dialog ("颜色设置"): the 18 colours,
// named colour schemes, random colours, the three decoration picture sets
// and the decoration switches and sizes. Every change goes straight into the
// shared settings and redraws the pane that opened the dialog; the settings
// reach the disk at exit. CCodeCorlorNameDlg asks for a scheme's name.
#pragma once

#include "controls/DrawDlg.h"
#include "controls/MyColorButton.h"
#include "controls/ProSliderCtrl.h"
#include "framework/ColorButton.h"
#include "framework/Controls.h"

class CImportView;
struct ImageSet;

class CCodeCorlorNameDlg : public CDrawDlg {
public:
    explicit CCodeCorlorNameDlg(CWnd* pParent = nullptr);
    virtual ~CCodeCorlorNameDlg();

    CString m_strName;
    CMyColorButton m_btnOK;
    CMyColorButton m_btnCancel;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    DECLARE_MESSAGE_MAP()
};

class CCodeCorlorDlg : public CDrawDlg {
public:
    explicit CCodeCorlorDlg(CWnd* pParent = nullptr);
    virtual ~CCodeCorlorDlg();

    CWnd* m_pView;
    // Colours the pickers start with: clrBg, clrText, clrCBg, clrCText,
    // clrZhuwen, clrXiaokuohao, clrDakuohao, clrTrue, clrInt, clrControl,
    // clrFun, clrVar, clrLeft, clrYinhao, clrDFun, clrCurInXiao, clrCurInDa, clrDigit.
    COLORREF m_clr[18] = {};
    CMFCColorButton m_btnBg, m_btnText, m_btnCBg, m_btnCText, m_btnZhuwen, m_btnXiaokuohao,
        m_btnDakuohao, m_btnControl, m_btnTrue, m_btnInt, m_btnFun;
    CComboBox m_cbScheme;
    CMFCColorButton m_btnVar, m_btnLeft, m_btnYinhao, m_btnDFun, m_btnCurInXiao, m_btnCurInDa,
        m_btnDigit;
    int m_nVertical = 0;
    int m_nHorize = 3;
    int m_nPramLen = 40;
    int m_nPramWidth = 5;
    int m_bLineMode = 0;
    int m_bPramMode = 0;
    int m_nSelect = 2;
    CComboBox m_cbBackgroundSet;
    CComboBox m_cbVerticalSet;
    CProSliderCtrl m_sldVertical, m_sldHorize, m_sldPramLen, m_sldPramWidth, m_sldVerticalWidth;
    int m_nVerticalWidth = 200;
    CComboBox m_cbLineSet;
    int m_bVerticalMode = 0;
    int m_bWholeLeft = 0;
    int m_bWholeTop = 0;
    int m_bWholeBottom = 0;
    CMyColorButton m_btnRandomColors, m_btnSaveScheme, m_btnOK, m_btnHide;

    // The current colours and decoration settings into the members (the
    // controls keep what they show until the dialog is made).
    void LoadSettings();
    // The first scheme named exactly name takes the 18 current colours.
    void StoreColorsInScheme(const CString& name);
    void FillBackgroundSetCombo();
    void FillVerticalSetCombo();
    void FillLineSetCombo();

    // The folder browser behind "自定义"; tests answer for the user. False
    // when cancelled.
    typedef bool (*BrowseHook)(CString& folder);
    static BrowseHook s_browseHook;

    virtual BOOL PreTranslateMessage(MSG* pMsg);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    afx_msg void OnPickColor(UINT nID);
    afx_msg void OnRandomCodeColors();
    afx_msg void OnRandomColors();
    afx_msg void OnSaveScheme();
    afx_msg void OnHide();
    afx_msg void OnSelectScheme();
    afx_msg void OnSelectBackgroundSet();
    afx_msg void OnSelectVerticalSet();
    afx_msg void OnSelectLineSet();
    afx_msg void OnCheckBox(UINT nID);
    afx_msg void OnSelectRadio(UINT nID);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);

private:
    CMFCColorButton* Picker(int index);
    void SetPickersFromSettings();
    void CopyPickersToMembers();
    void FillSetCombo(CComboBox& box, const ImageSet& set, const wchar_t* parent);
    // The item chosen in a set box becomes the set's folder and is listed
    // (listed: the folder could be searched); false when nothing follows.
    bool ChooseSet(CComboBox& box, ImageSet& set, const wchar_t* parent, bool leftFolder,
                   const wchar_t* const* extensions, bool& listed);
    CImportView* View();
    void RedrawView();
    void RedrawPage();      // this dialog, the library tree and the view

    DECLARE_MESSAGE_MAP()
};
