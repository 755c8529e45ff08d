// An article pane in a plain frame whose commands open the settings
// dialogs, and a driver that types values into one field of a modal dialog
// and presses Enter, once more after each validation message.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <functional>
#include <memory>
#include <vector>

#include "tests/view/ViewWindowTest.h"
#include "res/resource.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/Pixels.h"

class SettingsPaneTest : public ViewWindowTest {
protected:
    void OpenArticle(int paragraphs, int charsEach)
    {
        CString path = WriteArticle(paragraphs, charsEach);
        CreateView();
        view->OpenArticle(folder.Path(), path);
        PumpAll();
        ASSERT_NE(nullptr, view->m_pRoot);
    }
    int ParagraphCount()
    {
        int n = 0;
        for (ChunkNode* p = view->m_pRoot->pFirstChild; p; p = p->pNext)
            ++n;
        return n;
    }
    static int LineCount(ChunkNode* para)
    {
        int n = 0;
        for (ChunkNode* l = para->pFirstChild; l; l = l->pNext)
            ++n;
        return n;
    }
    static void PumpAll() { PumpMessages(20); }
    static bool Near(COLORREF a, COLORREF b, int tolerance = 40)
    {
        return abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
               abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
               abs(GetBValue(a) - GetBValue(b)) <= tolerance;
    }
    static void PostKey(HWND wnd, UINT vk)
    {
        PostMessageW(wnd, WM_KEYDOWN, vk, 1);
        PostMessageW(wnd, WM_KEYUP, vk, 0xC0000001);
    }
    // When the next dialog shows: setup, then each value typed into field
    // and Enter pressed there; a validation message brings the next value.
    // After the last value Escape follows when cancelAtEnd. Without a field,
    // setup ends the dialog itself.
    void RunDialog(std::function<void(HWND)> setup, int field = 0,
                   std::vector<const wchar_t*> values = {}, bool cancelAtEnd = false)
    {
        OnNextDialog([=](HWND dlg) {
            if (setup)
                setup(dlg);
            if (!field)
                return;
            auto index = std::make_shared<size_t>(0);
            auto step = std::make_shared<std::function<void()>>();
            *step = [=]() {
                HWND edit = GetDlgItem(dlg, field);
                if (*index >= values.size()) {
                    PostKey(edit, VK_ESCAPE);
                    return;
                }
                SetWindowTextW(edit, values[(*index)++]);
                SetFocus(edit);
                if (*index < values.size() || cancelAtEnd)
                    MessageRecorder::OnShow() = [step] { (*step)(); };
                PostKey(edit, VK_RETURN);
            };
            (*step)();
        });
    }
};
