// Editing figures in a real pane of a 200,000-character article: one keystroke
// in the middle of a full line (re-break and paint), a paste of 1,000,000
// characters in 20,000 paragraphs through the clipboard, and select all with
// delete. Each at two sizes, so the growth can be read off.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/DisplaySettings.h"
#include "bench/BenchUtil.h"
#include "framework/Doc.h"
#include "framework/Ids.h"
#include "res/resource.h"
#include "view/ImportView.h"

namespace {

// chars units in the given number of paragraphs, CR LF between them.
std::wstring PasteText(int chars, int paragraphs)
{
    std::wstring text;
    text.reserve((size_t)chars + 2 * paragraphs);
    const int each = chars / paragraphs;
    for (int p = 0; p < paragraphs; ++p) {
        if (p)
            text += L"\r\n";
        for (int i = 0; i < each; ++i)
            text += (i % 4 == 3) ? (wchar_t)(L'a' + (p + i) % 26) : (wchar_t)(0x5000 + (p * 7 + i) % 9000);
    }
    return text;
}

bool SetClipboardText(HWND owner, const std::wstring& text)
{
    if (!OpenClipboard(owner))
        return false;
    EmptyClipboard();
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool ok = false;
    if (block) {
        memcpy(GlobalLock(block), text.c_str(), bytes);
        GlobalUnlock(block);
        ok = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
        if (!ok)
            GlobalFree(block);
    }
    CloseClipboard();
    return ok;
}

class Pane {
public:
    bool Open(int chars)
    {
        if (!m_frame.CreateEx(0, AfxDefaultWndClass(), L"editing bench", WS_POPUP | WS_VISIBLE, 0,
                              0, 1280, 900, nullptr, nullptr))
            return false;
        m_doc.m_bAutoDelete = FALSE;
        view = new CImportView;
        view->m_bUpperPane = false;     // select all takes the whole article
        if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL,
                          CRect(0, 0, 1280, 900), &m_frame, AFX_IDW_PANE_FIRST))
            return false;
        m_doc.AddView(view);
        view->OnInitialUpdate();
        view->NewArticle();
        bImporting = TRUE;
        view->InsertText(CString(BenchArticleText(chars, 12345u + chars).c_str()));
        bImporting = FALSE;
        view->Relayout(view->m_pRoot, 0);
        view->UpdateGeometry(view->m_pRoot, 0);
        m_frame.SetForegroundWindow();
        view->SetFocus();
        BenchPump();
        return true;
    }
    ~Pane()
    {
        if (m_frame.m_hWnd)
            m_frame.DestroyWindow();
        BenchPump();
    }
    // Puts the caret on a full line near the middle of the article and shows it.
    void CaretToMiddle()
    {
        std::vector<ChunkNode*> lines;
        for (ChunkNode* l = view->FirstLeaf(view->m_pRoot); l; l = view->NextLeaf(l))
            lines.push_back(l);
        size_t i = lines.size() / 2;
        while (i + 1 < lines.size() && !(lines[i]->pNext && lines[i]->pNext->IsLine()))
            ++i;
        view->m_pCurLine = lines[i];
        view->m_pCurItem = view->m_pCurLine->pFirstItem->pNext;
        view->Redraw();
        view->UpdateWindow();
    }
    void Paint()
    {
        view->UpdateWindow();
        BenchPump();
    }
    CImportView* view = nullptr;

private:
    CWnd m_frame;
    CDocument m_doc;
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

void RunEditingBench()
{
    const BOOL importing = bImporting;
    const int pageWidth = DisplaySettings.nPageWidth;
    const int sizes[] = {100000, 200000};

    for (int chars : sizes) {
        const int k = chars / 1000;
        char name[64];
        {
            Pane pane;
            if (!pane.Open(chars)) {
                fprintf(stderr, "editing bench: no window\n");
                return;
            }
            pane.CaretToMiddle();
            std::vector<double> times, typing;
            for (int i = 0; i < 31; ++i) {
                double t0 = BenchNowMs();
                // Chinese arrives from the input method, Latin as a character.
                if (i % 3)
                    pane.view->SendMessage(WM_IME_CHAR, 0x5B57, 1);
                else
                    pane.view->SendMessage(WM_CHAR, L'k', 1);
                double t1 = BenchNowMs();
                pane.Paint();
                times.push_back(BenchNowMs() - t0);
                typing.push_back(t1 - t0);
            }
            sprintf(name, "keystroke_rebreak_%dk", k);
            BenchReport(name, Median(typing), "ms");
            sprintf(name, "keystroke_rebreak_paint_%dk", k);
            BenchReport(name, Median(times), "ms");

            // Select all, then Delete, then the paint that follows.
            double t0 = BenchNowMs();
            pane.view->SendMessage(WM_COMMAND, MAKEWPARAM(ID_SELECT_ALL, 0), 0);
            pane.view->SendMessage(WM_KEYDOWN, VK_DELETE, 1);
            pane.Paint();
            sprintf(name, "select_all_delete_%dk", k);
            BenchReport(name, BenchNowMs() - t0, "ms");
        }
        {
            // A paste into the middle of the article through the clipboard.
            Pane pane;
            if (!pane.Open(chars))
                return;
            pane.CaretToMiddle();
            const int pasted = chars * 5;
            const std::wstring text = PasteText(pasted, pasted / 50);
            if (!SetClipboardText(pane.view->m_hWnd, text)) {
                fprintf(stderr, "editing bench: clipboard refused the text\n");
                return;
            }
            double t0 = BenchNowMs();
            pane.view->SendMessage(WM_COMMAND, MAKEWPARAM(ID_ARTICLE_PASTE, 0), 0);
            pane.Paint();
            sprintf(name, "paste_%dk_chars_%dk_paragraphs", pasted / 1000, pasted / 50 / 1000);
            BenchReport(name, BenchNowMs() - t0, "ms");
        }
    }
    DisplaySettings.nPageWidth = pageWidth;
    bImporting = importing;
}
