#include "framework/DocTemplate.h"
#include "framework/App.h"
#include "framework/Doc.h"
#include "framework/Frame.h"
#include "framework/View.h"

#include <cwchar>

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

BEGIN_MESSAGE_MAP(CDocTemplate, CCmdTarget)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CSingleDocTemplate, CDocTemplate)
END_MESSAGE_MAP()

// CDocTemplate -------------------------------------------------------------------

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource),
      m_pDocClass(pDocClass),
      m_pFrameClass(pFrameClass),
      m_pViewClass(pViewClass)
{
}

CDocTemplate::~CDocTemplate() = default;

void CDocTemplate::LoadTemplate()
{
    if (m_strDocStrings.IsEmpty())
        m_strDocStrings.LoadString(m_nIDResource);
}

BOOL CDocTemplate::GetDocString(CString& rString, enum DocStringIndex index) const
{
    rString.Empty();
    int start = 0;
    for (int field = 0; field < (int)index; ++field) {
        int nl = m_strDocStrings.Find(L'\n', start);
        if (nl < 0)
            return FALSE;
        start = nl + 1;
    }
    if (start > m_strDocStrings.GetLength())
        return FALSE;
    int end = m_strDocStrings.Find(L'\n', start);
    rString = m_strDocStrings.Mid(start, (end < 0 ? m_strDocStrings.GetLength() : end) - start);
    return TRUE;
}

void CDocTemplate::AddDocument(CDocument* pDoc)
{
    if (pDoc)
        pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc)
{
    if (pDoc && pDoc->m_pDocTemplate == this)
        pDoc->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    if (!m_pDocClass)
        return nullptr;
    CObject* obj = m_pDocClass->CreateObject();
    if (!obj)
        return nullptr;
    CDocument* pDoc = DYNAMIC_DOWNCAST(CDocument, obj);
    if (!pDoc) {
        delete obj;
        return nullptr;
    }
    AddDocument(pDoc);
    return pDoc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    if (!m_pFrameClass)
        return nullptr;
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;

    CObject* obj = m_pFrameClass->CreateObject();
    if (!obj)
        return nullptr;
    CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, obj);
    if (!pFrame) {
        delete obj;
        return nullptr;
    }
    // A frame that fails to load has deleted itself.
    if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr;
    return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    if (pFrame)
        pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
    POSITION pos = GetFirstDocPosition();
    while (pos) {
        CDocument* pDoc = GetNextDoc(pos);
        if (!pDoc)
            continue;
        pDoc->OnCloseDocument();
        if (pDoc->m_bAutoDelete) {
            RemoveDocument(pDoc);
            delete pDoc;
        }
    }
}

// CSingleDocTemplate ----------------------------------------------------------------

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass,
                                       CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    CDocument* pDoc = m_pOnlyDoc;
    m_pOnlyDoc = nullptr;
    delete pDoc;
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const
{
    return m_pOnlyDoc ? reinterpret_cast<POSITION>((UINT_PTR)1) : nullptr;
}

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& rPos) const
{
    CDocument* pDoc = rPos ? m_pOnlyDoc : nullptr;
    rPos = nullptr;
    return pDoc;
}

void CSingleDocTemplate::AddDocument(CDocument* pDoc)
{
    CDocTemplate::AddDocument(pDoc);
    m_pOnlyDoc = pDoc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc)
{
    CDocTemplate::RemoveDocument(pDoc);
    if (m_pOnlyDoc == pDoc)
        m_pOnlyDoc = nullptr;
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString title;
    if (!GetDocString(title, docName) || title.IsEmpty())
        title = L"Untitled";
    pDocument->SetTitle(title);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* pDocument = m_pOnlyDoc;
    CFrameWnd* pFrame = nullptr;
    bool bCreated = false;
    if (pDocument) {
        // The document's frame, if its views are still there.
        POSITION pos = pDocument->GetFirstViewPosition();
        if (CView* pView = pDocument->GetNextView(pos))
            pFrame = pView->GetParentFrame();
    } else {
        pDocument = CreateNewDocument();
        if (!pDocument)
            return nullptr;
        bCreated = true;
    }

    bool bFrameCreated = false;
    if (!pFrame) {
        BOOL bAutoDelete = pDocument->m_bAutoDelete;
        pDocument->m_bAutoDelete = FALSE;   // a failing frame must not take the document along
        pFrame = CreateNewFrame(pDocument, nullptr);
        pDocument->m_bAutoDelete = bAutoDelete;
        if (!pFrame) {
            if (bCreated) {
                RemoveDocument(pDocument);
                delete pDocument;
            }
            return nullptr;
        }
        bFrameCreated = true;
    }

    BOOL ok;
    if (!lpszPathName) {
        SetDefaultTitle(pDocument);
        ok = pDocument->OnNewDocument();
    } else {
        ok = pDocument->OnOpenDocument(lpszPathName);
        if (ok)
            pDocument->SetPathName(lpszPathName);
    }
    if (!ok) {
        if (bFrameCreated)
            pFrame->DestroyWindow();
        if (bCreated) {
            RemoveDocument(pDocument);
            delete pDocument;
        }
        return nullptr;
    }

    CWinApp* app = AfxGetApp();
    if (bFrameCreated && app && !app->m_pMainWnd)
        app->m_pMainWnd = pFrame;
    InitialUpdateFrame(pFrame, pDocument, bMakeVisible);
    return pDocument;
}

// CCommandLineInfo -----------------------------------------------------------------

void CCommandLineInfo::ParseParam(const wchar_t* pszParam, BOOL bFlag, BOOL)
{
    if (!pszParam)
        return;
    if (bFlag) {
        if (_wcsicmp(pszParam, L"pt") == 0)
            m_nShellCommand = FilePrintTo;
        else if (_wcsicmp(pszParam, L"p") == 0)
            m_nShellCommand = FilePrint;
        else if (_wcsicmp(pszParam, L"dde") == 0)
            m_nShellCommand = FileDDE;
        else if (_wcsicmp(pszParam, L"Register") == 0 || _wcsicmp(pszParam, L"Regserver") == 0)
            m_nShellCommand = AppRegister;
        else if (_wcsicmp(pszParam, L"Unregister") == 0 || _wcsicmp(pszParam, L"Unregserver") == 0)
            m_nShellCommand = AppUnregister;
        else if (_wcsicmp(pszParam, L"Embedding") == 0) {
            m_bRunEmbedded = TRUE;
            m_bShowSplash = FALSE;
        } else if (_wcsicmp(pszParam, L"Automation") == 0) {
            m_bRunAutomated = TRUE;
            m_bShowSplash = FALSE;
        }
        return;
    }
    if (m_strFileName.IsEmpty()) {
        m_strFileName = pszParam;
        if (m_nShellCommand == FileNew)
            m_nShellCommand = FileOpen;
    } else if (m_nShellCommand == FilePrintTo && m_strPrinterName.IsEmpty()) {
        m_strPrinterName = pszParam;
    }
}

// The application's template list ------------------------------------------------------

CWinApp::TemplateList::~TemplateList()
{
    std::vector<CDocTemplate*> list;
    list.swap(items);
    for (CDocTemplate* t : list)
        delete t;
}
