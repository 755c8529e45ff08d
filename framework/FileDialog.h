// The common open and save dialogs. A multi-selection comes back as one
// folder followed by file names; GetNextPathName joins them.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <vector>

#include "framework/Collections.h"
#include "framework/CString.h"

class CWnd;

class CFileDialog {
public:
    // lpszFilter: "text|pattern|...|" pairs, ended by "|".
    CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                CWnd* pParentWnd = nullptr, DWORD dwSize = 0, BOOL bVistaStyle = TRUE);
    virtual ~CFileDialog() = default;
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK or IDCANCEL (also when the system dialog failed; see CommDlgExtendedError).
    virtual INT_PTR DoModal();

    // The chosen paths; valid after IDOK.
    POSITION GetStartPosition() const;
    CString GetNextPathName(POSITION& pos) const;
    CString GetPathName() const;

    // The caller may point lpstrFile and nMaxFile at a buffer of its own.
    OPENFILENAMEW m_ofn;

private:
    BOOL m_bOpen;
    std::vector<wchar_t> m_filter;
    CString m_strDefExt;
    std::vector<wchar_t> m_fileBuffer;
};
