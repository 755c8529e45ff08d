#include "app/ImportDoc.h"

IMPLEMENT_DYNCREATE(CImportDoc, CDocument)

BEGIN_MESSAGE_MAP(CImportDoc, CDocument)
END_MESSAGE_MAP()

void CImportDoc::Serialize(CArchive&)
{
}

BOOL CImportDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}
