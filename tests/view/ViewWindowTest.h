// An article pane in a plain frame window, started up the way the frame
// starts it, with an article file written by the model's own writer.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "ViewTestUtil.h"
#include "framework/Ids.h"
#include "view/ImportView.h"

inline constexpr int kPaneWidth = 1200;
inline constexpr int kPaneHeight = 700;

// The view as the tests see it: the hooks it overrides stay reachable.
class CTestView : public CImportView {
public:
    using CImportView::GetClientWidth;
    using CImportView::UpdateCaret;
};

class ViewWindowTest : public PaneFrameTest {
protected:
    CTestView* view = nullptr;

    void SetUp() override { OpenFrame(L"gui_view", kPaneWidth + 60, kPaneHeight + 80); }
    // Creates the pane and starts it up the way the frame does.
    void CreateView(bool upper = true)
    {
        view = new CTestView;
        view->m_bUpperPane = upper;
        ASSERT_TRUE(view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL,
                                 CRect(0, 0, kPaneWidth, kPaneHeight), &frame, AFX_IDW_PANE_FIRST));
        doc.AddView(view);
        view->OnInitialUpdate();
        Pump();
    }
    // An article file of several paragraphs written by the model's own writer.
    CString WriteArticle(int paragraphs, int charsEach)
    {
        CArticleModel writer;
        writer.NewArticle();
        std::wstring text;
        for (int p = 0; p < paragraphs; ++p) {
            if (p)
                text += L"\r\n";
            for (int i = 0; i < charsEach; ++i)
                text += (wchar_t)(i % 5 == 4 ? L'a' + i % 26 : 0x4E00 + (p * 37 + i) % 3000);
        }
        writer.InsertText(CString(text.c_str()));
        CString path = folder.Path() + L"article.xml";
        EXPECT_TRUE(writer.SaveArticle(folder.Path(), path));
        return path;
    }
    void Command(UINT id) { view->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    int ExpectedMargin(int clientWidth)
    {
        int m = (clientWidth - DisplaySettings.nPageWidth - GetSystemMetrics(SM_CXVSCROLL)) / 2;
        return m < 20 ? 20 : m;
    }
};

