// Copy, cut and paste of plain Unicode text through the system clipboard.
#include "view/ImportView.h"

#include "framework/MessageBox.h"
#include "view/ClipText.h"

namespace {

// Chinese (PRC): the code page the system uses when it makes CF_TEXT from our text.
const LCID kClipboardLocale = 0x0804;

// Puts a copy of bytes into a new shareable block and hands it to the clipboard.
bool SetClipboardBlock(UINT format, const void* bytes, SIZE_T size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    if (!block)
        return false;
    void* p = GlobalLock(block);
    if (!p) {
        GlobalFree(block);
        return false;
    }
    memcpy(p, bytes, size);
    GlobalUnlock(block);
    if (!SetClipboardData(format, block)) {
        GlobalFree(block);
        return false;
    }
    return true;
}

} // namespace

bool CImportView::PutTextOnClipboard(const CString& text)
{
    if (!::OpenClipboard(m_hWnd)) {
        AfxMessageBox(L"不能打开剪贴板！", MB_OK);
        return false;
    }
    if (!EmptyClipboard()) {
        CloseClipboard();
        AfxMessageBox(L"不能清空剪贴板！", MB_OK);
        return false;
    }
    const SIZE_T bytes = 2 * (SIZE_T)text.GetLength() + 2;
    bool ok = SetClipboardBlock(CF_UNICODETEXT, text.GetString(), bytes);
    if (ok) {
        // Without the locale, the text made for ANSI readers would use the
        // keyboard's code page instead of Chinese.
        LCID locale = kClipboardLocale;
        SetClipboardBlock(CF_LOCALE, &locale, sizeof(locale));
    }
    CloseClipboard();
    if (!ok)
        AfxMessageBox(L"不能复制到剪贴板！", MB_OK);
    return ok;
}

void CImportView::CopySelection()
{
    if (!m_pRoot || !HasSelection())
        return;
    PutTextOnClipboard(BuildCopyText());
}

void CImportView::CutSelection()
{
    // Nothing selected: the clipboard keeps what it has.
    if (!m_pRoot || !HasSelection())
        return;
    CString text;
    if (!BuildCutText(text)) {
        AfxMessageBox(L"目前只提供纯文本（无格式）字符数据剪切，请选择字符数据！", MB_OK);
        return;
    }
    // Only text that reached the clipboard is taken out of the article.
    if (!PutTextOnClipboard(text))
        return;
    DeleteSelection();
    Redraw();
}

void CImportView::OnEditCopy()
{
    CopySelection();
}

void CImportView::OnEditCut()
{
    CutSelection();
}

void CImportView::OnEditPaste()
{
    PasteText();
}

void CImportView::PasteText()
{
    if (!m_pRoot)
        return;
    if (!m_pCurLine || m_pCurLine->nType != kNodeLine) {
        AfxMessageBox(L"请在字符数据块中粘贴文本！", MB_OK);
        return;
    }
    if (!::OpenClipboard(m_hWnd)) {
        AfxMessageBox(L"不能打开剪贴板！", MB_OK);
        return;
    }
    HANDLE block = GetClipboardData(CF_UNICODETEXT);
    if (!block) {
        CloseClipboard();
        AfxMessageBox(L"不能获取剪贴板数据！", MB_OK);
        return;
    }
    CString text;
    if (const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(block))) {
        text = TextFromClipboardBlock(p, GlobalSize(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    PasteTextAtCaret(text);
}
