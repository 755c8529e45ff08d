#include "framework/Doc.h"
#include "framework/View.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
END_MESSAGE_MAP()

CDocument::~CDocument()
{
    for (CView* view : m_viewList)
        view->m_pDocument = nullptr;
    m_viewList.clear();
}

void CDocument::SetTitle(LPCTSTR lpszTitle)
{
    m_strTitle = lpszTitle;
}

void CDocument::SetPathName(LPCTSTR lpszPathName, BOOL)
{
    m_strPathName = lpszPathName;
    // The title is the file name part of the path.
    int slash = m_strPathName.ReverseFind(L'\\');
    SetTitle(slash >= 0 ? m_strPathName.Mid(slash + 1).GetString() : m_strPathName.GetString());
}

BOOL CDocument::IsModified()
{
    return m_bModified;
}

void CDocument::SetModifiedFlag(BOOL bModified)
{
    m_bModified = bModified;
}

void CDocument::AddView(CView* pView)
{
    if (!pView || std::find(m_viewList.begin(), m_viewList.end(), pView) != m_viewList.end())
        return;
    if (pView->m_pDocument && pView->m_pDocument != this)
        pView->m_pDocument->RemoveView(pView);
    m_viewList.push_back(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    auto it = std::find(m_viewList.begin(), m_viewList.end(), pView);
    if (it == m_viewList.end())
        return;
    m_viewList.erase(it);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

// A position is the index of the next view plus one, so null ends the walk.
POSITION CDocument::GetFirstViewPosition() const
{
    return m_viewList.empty() ? nullptr : reinterpret_cast<POSITION>((UINT_PTR)1);
}

CView* CDocument::GetNextView(POSITION& rPosition) const
{
    UINT_PTR index = reinterpret_cast<UINT_PTR>(rPosition);
    if (index == 0 || index > m_viewList.size()) {
        rPosition = nullptr;
        return nullptr;
    }
    CView* view = m_viewList[index - 1];
    rPosition = index < m_viewList.size() ? reinterpret_cast<POSITION>(index + 1) : nullptr;
    return view;
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    // A view's update may add or remove views: walk a copy.
    std::vector<CView*> views = m_viewList;
    for (CView* view : views)
        if (view != pSender)
            view->OnUpdate(pSender, lHint, pHint);
}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCTSTR)
{
    DeleteContents();
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument()
{
    DeleteContents();
    SetModifiedFlag(FALSE);
}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    return CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
