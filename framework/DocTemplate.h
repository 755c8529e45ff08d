// Document templates join a document class, a frame class and a view class
// under one resource id (menu, accelerators, icon, document string). The
// single-document kind keeps one document and one frame for the whole run.
// CCommandLineInfo is what the application parses its command line into.
#pragma once

#include <windows.h>
#include "framework/CmdTarget.h"
#include "framework/Collections.h"
#include "framework/CString.h"

class CDocument;
class CFrameWnd;
class CView;

class CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)
protected:
    CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                 CRuntimeClass* pViewClass);

public:
    virtual ~CDocTemplate();

    // Parts of the document string (the string resource of the template's id,
    // fields separated by '\n').
    enum DocStringIndex {
        windowTitle,
        docName,
        fileNewName,
        filterName,
        filterExt,
        regFileTypeId,
        regFileTypeName,
    };
    virtual BOOL GetDocString(CString& rString, enum DocStringIndex index) const;
    // Reads the document string; called when the template is added.
    virtual void LoadTemplate();

    virtual POSITION GetFirstDocPosition() const = 0;
    virtual CDocument* GetNextDoc(POSITION& rPos) const = 0;
    virtual void AddDocument(CDocument* pDoc);
    virtual void RemoveDocument(CDocument* pDoc);

    // A new object of the document class (null when it cannot be made).
    virtual CDocument* CreateNewDocument();
    // A new frame of the frame class loaded from the template's resources,
    // with its view(s) created for pDoc. Null on failure.
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    // Calls OnInitialUpdate of the frame's views, makes one of them active
    // and, with bMakeVisible, shows the frame (ActivateFrame).
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);

    // Null name: a new, empty document.
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
    virtual void SetDefaultTitle(CDocument* pDocument) = 0;
    // Closes the template's documents (at application exit).
    virtual void CloseAllDocuments(BOOL bEndSession);

    UINT GetResourceID() const { return m_nIDResource; }

    UINT m_nIDResource;
    CRuntimeClass* m_pDocClass;
    CRuntimeClass* m_pFrameClass;
    CRuntimeClass* m_pViewClass;
    CString m_strDocStrings;

    DECLARE_MESSAGE_MAP()
};

class CSingleDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CSingleDocTemplate)
public:
    CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                       CRuntimeClass* pViewClass);
    // Deletes the document if it is still there.
    virtual ~CSingleDocTemplate();

    virtual POSITION GetFirstDocPosition() const;
    virtual CDocument* GetNextDoc(POSITION& rPos) const;
    virtual void AddDocument(CDocument* pDoc);
    virtual void RemoveDocument(CDocument* pDoc);
    // Makes the one document (and frame) on first use; later calls reuse them.
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE);
    virtual void SetDefaultTitle(CDocument* pDocument);

    CDocument* m_pOnlyDoc = nullptr;

    DECLARE_MESSAGE_MAP()
};

class CCommandLineInfo : public CObject {
public:
    CCommandLineInfo() = default;
    virtual ~CCommandLineInfo() = default;

    // Called for each argument; bFlag when it started with '/' or '-' (which
    // is removed), bLast for the last argument.
    virtual void ParseParam(const wchar_t* pszParam, BOOL bFlag, BOOL bLast);

    enum {
        FileNew,
        FileOpen,
        FilePrint,
        FilePrintTo,
        FileDDE,
        AppRegister,
        AppUnregister,
        FileNothing = -1,
    } m_nShellCommand = FileNew;

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    CString m_strFileName;
    CString m_strPrinterName;
};
