// The document of the single-document template. It holds no article: each
// article pane keeps its own.
#pragma once

#include "framework/Doc.h"

class CImportDoc : public CDocument {
    DECLARE_DYNCREATE(CImportDoc)
public:
    CImportDoc() = default;
    virtual ~CImportDoc() = default;

    virtual void Serialize(CArchive& ar);
    virtual BOOL OnNewDocument();

protected:
    DECLARE_MESSAGE_MAP()
};
