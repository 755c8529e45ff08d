#include "framework/FileDialog.h"

#include "framework/Wnd.h"

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd, DWORD, BOOL)
    : m_bOpen(bOpenFileDialog), m_fileBuffer(MAX_PATH, L'\0')
{
    ZeroMemory(&m_ofn, sizeof m_ofn);
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.hwndOwner = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLESIZING;
    if (lpszDefExt) {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt;
    }
    if (lpszFileName)
        lstrcpynW(m_fileBuffer.data(), lpszFileName, MAX_PATH);
    m_ofn.lpstrFile = m_fileBuffer.data();
    m_ofn.nMaxFile = MAX_PATH;
    if (lpszFilter) {
        for (const wchar_t* p = lpszFilter; *p; ++p)
            m_filter.push_back(*p == L'|' ? L'\0' : *p);
        m_filter.push_back(L'\0');
        m_filter.push_back(L'\0');
        m_ofn.lpstrFilter = m_filter.data();
    }
}

INT_PTR CFileDialog::DoModal()
{
    const BOOL ok = m_bOpen ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    return ok ? IDOK : IDCANCEL;
}

POSITION CFileDialog::GetStartPosition() const
{
    return (m_ofn.lpstrFile && m_ofn.lpstrFile[0]) ? (POSITION)m_ofn.lpstrFile : nullptr;
}

CString CFileDialog::GetNextPathName(POSITION& pos) const
{
    const wchar_t* first = m_ofn.lpstrFile;
    const wchar_t* at = (const wchar_t*)pos;
    if (!at || !first) {
        pos = nullptr;
        return CString();
    }
    const bool multi = (m_ofn.Flags & OFN_ALLOWMULTISELECT) && first[lstrlenW(first) + 1] != 0;
    if (!multi) {
        pos = nullptr;
        return CString(first);
    }
    // "folder\0name1\0name2\0\0": the first call starts at the folder.
    if (at == first)
        at += lstrlenW(first) + 1;
    CString path = first;
    if (!path.IsEmpty() && path[path.GetLength() - 1] != L'\\')
        path += L'\\';
    path += at;
    const wchar_t* next = at + lstrlenW(at) + 1;
    pos = *next ? (POSITION)next : nullptr;
    return path;
}

CString CFileDialog::GetPathName() const
{
    POSITION pos = GetStartPosition();
    return pos ? GetNextPathName(pos) : CString();
}
