// The pane's block commands: code and text blocks, the block size and font,
// the fixed block font and the presets.
#include "view/ImportView.h"

#include "app/DisplaySettings.h"

void CImportView::SetCurrentChunkFont()
{
    if (m_pRoot && m_pCurLine)
        SetCurrentBlockFace(L"隶书");
}
