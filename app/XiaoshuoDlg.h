// The TXT import dialog "导入小说": choose TXT files or a folder of them and
// import them as books under the selected folder of the library tree.
// Modeless and owned by the tree view; its buttons hide it, never destroy it.
// Enter browses (IDOK), Escape cancels.
#pragma once

#include <vector>

#include "controls/DrawDlg.h"
#include "controls/MyColorButton.h"
#include "framework/Controls.h"

class CImportTreeView;

class XiaoshuoDlg : public CDrawDlg {
public:
    explicit XiaoshuoDlg(CImportTreeView* pTree);
    virtual ~XiaoshuoDlg();

    CString m_strPath;                  // the chosen folder, or the last chosen file
    std::vector<CString> m_vecFiles;    // the files chosen in the file dialog, in its order
    CComboBox m_comboSource;            // 0 "加载TXT文件", 1 "加载文件夹"
    int m_nNumber = 8;                  // hidden; handed on, not used
    CString m_strPrefix = L"第";        // the chapter title marker
    CString m_strSuffix = L"章";        // hidden; handed on, not used
    int m_bFolder = 0;                  // the last browse chose a folder
    // The path as the last browse left it in the box; empty once the user
    // changed the source kind. A path that differs from it was typed.
    CString m_strBrowsed;
    CMyColorButton m_btnBrowse;
    CMyColorButton m_btnImport;
    CMyColorButton m_btnCancel;

    virtual BOOL OnInitDialog();
    virtual void OnCancel();
    afx_msg void OnBrowse();
    afx_msg void OnImport();
    afx_msg void OnSourceChange();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    CImportTreeView* m_pTree;

    DECLARE_MESSAGE_MAP()
};
