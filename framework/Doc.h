// Documents: the data behind one or more views. The document template and
// file handling come with the document/view work that builds on this.
#pragma once

#include <windows.h>
#include <vector>
#include "framework/CmdTarget.h"
#include "framework/Collections.h"
#include "framework/CString.h"

class CView;
class CDocTemplate;

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument() = default;
    // Views still attached forget the document.
    virtual ~CDocument();

    CString m_strTitle;
    CString m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;
    BOOL m_bModified = FALSE;
    BOOL m_bAutoDelete = TRUE;

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(LPCTSTR lpszTitle);
    const CString& GetPathName() const { return m_strPathName; }
    virtual void SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU = TRUE);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    virtual BOOL IsModified();
    virtual void SetModifiedFlag(BOOL bModified = TRUE);

    // Views.
    virtual void AddView(CView* pView);
    virtual void RemoveView(CView* pView);
    POSITION GetFirstViewPosition() const;
    CView* GetNextView(POSITION& rPosition) const;
    // Tells every view but pSender that the document changed (CView::OnUpdate).
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);
    virtual void OnChangedViewList() {}

    // Life cycle.
    virtual BOOL OnNewDocument();
    // Documents here have no archive format: the default only resets the
    // contents and takes the path as the document's name.
    virtual BOOL OnOpenDocument(LPCTSTR lpszPathName);
    virtual void DeleteContents() {}
    virtual void OnCloseDocument();

    // Commands reach the document after its view.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

protected:
    std::vector<CView*> m_viewList;

    DECLARE_MESSAGE_MAP()
};
