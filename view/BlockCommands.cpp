// The pane's block commands: code and text blocks, the block size and font,
// the fixed block font and the presets.
#include "view/ImportView.h"

#include "app/DisplaySettings.h"
#include "framework/FileUtil.h"
#include "framework/MessageBox.h"
#include "settings/BlockDialogs.h"
#include "settings/SetPreDlg.h"

void CImportView::InsertCode()
{
    if (!m_pRoot)
        return;
    if (HasSelection()) {
        if (!MarkSelectedLinesAsBlock()) {
            AfxMessageBox(L"请选择字符！", MB_OK);
            return;
        }
        m_bModified = 1;
        return;
    }
    if (!m_pCurLine || m_pCurLine->nType != kNodeLine) {
        AfxMessageBox(L"请在字符行中粘贴文本！", MB_OK);
        return;
    }
    DisplaySettingsBlock& ds = DisplaySettings;
    CAddCodeDlg dlg(this);
    dlg.m_nFontSize = ds.nBlockFontSize;
    if (dlg.DoModal() != IDOK || dlg.m_strText.IsEmpty())
        return;
    ds.nBlockFontSize = dlg.m_nFontSize;
    m_bModified = 1;
    WaitForAutoSave();
    if (dlg.m_nType == CAddCodeDlg::kPlain)
        PasteText();    // the clipboard's text, as the paste command puts it
    else
        InsertBlockText(dlg.m_nType, dlg.m_strText, dlg.m_nFontSize,
                        GetSystemMetrics(SM_CXSCREEN));
    RelayoutAndRedraw();
}

void CImportView::OnSetChunkFormat()
{
    SetChunkFormat();
}

void CImportView::SetChunkFormat()
{
    if (!m_pRoot)
        return;
    if (!HasSelection() && (!m_pCurLine || m_pCurLine->nType != kNodeLine)) {
        AfxMessageBox(L"请选择字符数据块！", MB_OK);
        return;
    }
    ChunkNode* para = m_pCurLine ? m_pCurLine->pParent : nullptr;
    CSizeDlg dlg(this);
    dlg.m_nBlockType = 7;
    // A paragraph that never had a size of its own shows the pane's.
    dlg.m_nHeight = (para && para->nTextSize > 0) ? para->nTextSize : m_nTextSize;
    if (para && para->pFontFace)
        dlg.m_strFontName = para->pFontFace;
    if (dlg.DoModal() != IDOK)
        return;
    ApplyBlockFormat(BlockFormatTargets(), (int)dlg.m_nHeight, dlg.m_strFontName);
    m_bModified = 1;
}

void CImportView::SetCurrentChunkFont()
{
    if (m_pRoot && m_pCurLine) {
        SetCurrentBlockFace(L"隶书");
        m_bModified = 1;
    }
}

void CImportView::ShowPresetDialog()
{
    CWnd* top = GetTopLevelParent();
    CSetPreDlg dlg(this);
    dlg.m_nTextSize = (UINT)m_nTextSize;
    dlg.m_nLineSpacing = (UINT)m_nRow;
    dlg.m_nParaSpacing = (UINT)m_nPram;
    dlg.m_strBodyFont = m_szFontFace;
    dlg.m_strCodeFont = m_szCodeFontFace;
    if (top)
        top->SendMessage(WM_FRAME_TITLE_TEXT, 0, (LPARAM)&dlg.m_strTitleText);
    const CString path = PresetFilePath();
    if (dlg.DoModal() != IDOK)
        return;

    if (top)
        top->SendMessage(WM_FRAME_TITLE_TEXT, 1, (LPARAM)&dlg.m_strTitleText);
    const bool sizeChanged = (int)dlg.m_nTextSize != m_nTextSize;
    m_nTextSize = (int)dlg.m_nTextSize;
    m_nRow = (int)dlg.m_nLineSpacing;
    m_nPram = (int)dlg.m_nParaSpacing;
    // Faces longer than the buffers are cut there, never past them.
    SetFaceName(m_szFontFace, dlg.m_strBodyFont);
    SetFaceName(m_szCodeFontFace, dlg.m_strCodeFont);
    CreateFolderTree(g_strAppFolder + L"control");
    WritePresetDialogKeys(path, m_nTextSize, m_nRow, m_nPram, dlg.m_strBodyFont,
                          dlg.m_strCodeFont);
    if (!m_pRoot)
        return;
    Relayout(m_pRoot, 0);
    UpdateGeometry(m_pRoot, 0);
    if (sizeChanged)
        ReflowToPageWidth();
    Redraw();
}
