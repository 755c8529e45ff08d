// The whole program under test: a temporary program folder, start-up the way
// the program does it, message boxes answered for the user, and helpers to
// drive the library tree and read article files back.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/DisplaySettings.h"
#include "app/ImportApp.h"
#include "app/ImportTreeView.h"
#include "app/MainFrm.h"
#include "framework/FileUtil.h"
#include "framework/MessageBox.h"
#include "res/resource.h"
#include "tests/support/TempFiles.h"
#include "tests/support/Pixels.h"
#include "view/ArticleModel.h"
#include "view/ImportView.h"

namespace apptest {

// Answers message boxes (OK, or the given answer to questions) and records them.
class Boxes {
public:
    Boxes()
    {
        Texts().clear();
        Answer() = IDYES;
        OnShow() = nullptr;
        m_old = AfxSetMessageBoxHook(&Hook);
    }
    ~Boxes()
    {
        AfxSetMessageBoxHook(m_old);
        OnShow() = nullptr;
    }
    static std::vector<CString>& Texts()
    {
        static std::vector<CString> texts;
        return texts;
    }
    // What questions (MB_YESNO, MB_OKCANCEL) are answered with.
    static int& Answer()
    {
        static int answer = IDYES;
        return answer;
    }
    // Runs once while the next box is shown.
    static std::function<void()>& OnShow()
    {
        static std::function<void()> f;
        return f;
    }
    static int CountContaining(const wchar_t* part)
    {
        int n = 0;
        for (const CString& t : Texts())
            n += t.Find(part) >= 0 ? 1 : 0;
        return n;
    }
    static void Clear() { Texts().clear(); }

private:
    static int Hook(const wchar_t* text, UINT type)
    {
        Texts().push_back(text);
        if (OnShow()) {
            auto f = OnShow();
            OnShow() = nullptr;
            f();
        }
        const UINT kind = type & MB_TYPEMASK;
        if (kind == MB_YESNO || kind == MB_YESNOCANCEL)
            return Answer() == IDOK ? IDYES : Answer();
        if (kind == MB_OKCANCEL)
            return Answer() == IDYES ? IDOK : Answer();
        return IDOK;
    }
    AfxMessageBoxHook m_old;
};

inline void DeleteTree(const CString& folder)
{
    CString base = folder;
    if (!base.IsEmpty() && base[base.GetLength() - 1] != L'\\')
        base += L'\\';
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(base + L"*", &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            CString name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            CString full = base + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(full);
            } else {
                SetFileAttributesW(full, FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full);
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(base);
}

inline bool Exists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

inline bool IsFolder(const CString& path)
{
    DWORD a = GetFileAttributesW(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// The text of an article: its characters, paragraphs joined by "\n". Without
// joining, the characters alone: typed-in text keeps each line feed as the
// first character of the paragraph it starts.
inline CString ArticleText(CArticleModel& model, bool joinParagraphs = true)
{
    CString text;
    if (!model.m_pRoot)
        return text;
    bool first = true;
    for (ChunkNode* para = model.m_pRoot->pFirstChild; para; para = para->WalkNext()) {
        if (!first && joinParagraphs)
            text += L'\n';
        first = false;
        std::vector<ChunkNode*> pending = {para};
        while (!pending.empty()) {
            ChunkNode* n = pending.back();
            pending.pop_back();
            if (n->HoldsItems()) {
                for (CharItem* it = n->pFirstItem; it; it = it->pNext) {
                    if (it->ch == kLineEnd)
                        continue;
                    text += it->ch;
                    if (it->chLow)
                        text += it->chLow;
                }
            } else if (n->IsContainer()) {
                std::vector<ChunkNode*> kids;
                for (ChunkNode* c = n->pFirstChild; c; c = c->WalkNext())
                    kids.push_back(c);
                for (auto k = kids.rbegin(); k != kids.rend(); ++k)
                    pending.push_back(*k);
            }
        }
    }
    return text;
}

// The text of an article file as it loads back.
inline CString FileText(const CString& path, bool joinParagraphs = true)
{
    CArticleModel model;
    int slash = path.ReverseFind(L'\\');
    if (!model.LoadArticle(path.Left(slash), path))
        return L"<unreadable>";
    return ArticleText(model, joinParagraphs);
}

// Writes an article file with the given text through the model's own writer.
inline bool WriteArticleFile(const CString& path, const CString& text)
{
    CArticleModel model;
    model.NewArticle();
    model.InsertText(text);
    int slash = path.ReverseFind(L'\\');
    return model.SaveArticle(path.Left(slash), path);
}

// Dispatches this thread's messages, with the idle work of the message loop.
inline void Pump(int ms = 0)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue;
            if (!AfxGetApp() || !AfxGetApp()->PreTranslateMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (AfxGetApp()) {
            AfxGetApp()->OnIdle(0);
            AfxGetApp()->OnIdle(1);
        }
        if (ms > 0)
            Sleep(5);
    } while ((int)(GetTickCount() - start) < ms);
}

// One event of real mouse input at a screen point. A button event carries
// the point too: a late pointer event of the X server must not move it.
inline INPUT MouseInput(CPoint screen, DWORD flags, int wheel = 0)
{
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = (screen.x * 65535 + (width - 1) / 2) / (width - 1);
    in.mi.dy = (screen.y * 65535 + (height - 1) / 2) / (height - 1);
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in.mi.mouseData = (DWORD)wheel;
    return in;
}

// Real mouse input: the pointer moves to the screen point, then flags.
inline void MouseAt(CPoint screen, DWORD flags, int wheel = 0)
{
    INPUT in[2] = {MouseInput(screen, 0), MouseInput(screen, flags, wheel)};
    SendInput(flags ? 2 : 1, in, sizeof(INPUT));
    Pump(30);
}

// Left clicks at a screen point, queued at once: a control that waits for
// the release in a loop of its own (the tree) finds it there.
inline void ClickAt(CPoint screen, int clicks = 1)
{
    std::vector<INPUT> in(1, MouseInput(screen, 0));
    for (int i = 0; i < clicks; ++i) {
        in.push_back(MouseInput(screen, MOUSEEVENTF_LEFTDOWN));
        in.push_back(MouseInput(screen, MOUSEEVENTF_LEFTUP));
    }
    SendInput((UINT)in.size(), in.data(), sizeof(INPUT));
    Pump(50);
}

// A program folder of its own for every test, started the program's way.
class AppTest : public testing::Test {
protected:
    Boxes boxes;
    CString programFolder;
    CMainFrame* frame = nullptr;

    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static int serial = 0;
        programFolder.Format(L"%slumivell_app_%lu_%d\\", temp, GetCurrentProcessId(), ++serial);
        DeleteTree(programFolder);
        ASSERT_TRUE(CreateFolderTree(programFolder));
        CImportApp::SetAppFolderOverride(programFolder);
        DisplaySettings = DisplaySettingsBlock();
        vecColorSchemes.clear();
        bImporting = FALSE;
    }
    void TearDown() override
    {
        Stop();
        CImportApp::SetAppFolderOverride(CString());
        DeleteTree(programFolder);
    }

    CString Library() const { return programFolder + L"藏书库"; }
    CString InLibrary(const wchar_t* relative) const { return Library() + L"\\" + relative; }
    // Folders and article files in the library before start-up.
    void MakeFolder(const wchar_t* relative) { ASSERT_TRUE(CreateFolderTree(InLibrary(relative))); }
    void MakeArticle(const wchar_t* relative, const wchar_t* text)
    {
        CString path = InLibrary(relative);
        CreateFolderTree(path.Left(path.ReverseFind(L'\\')));
        ASSERT_TRUE(WriteArticleFile(path, text));
    }

    void Start()
    {
        ASSERT_TRUE(theApp.InitInstance());
        frame = DYNAMIC_DOWNCAST(CMainFrame, theApp.m_pMainWnd);
        ASSERT_NE(frame, nullptr);
        Pump();
    }
    // Closes the frame the way its close box does and ends the application.
    void Stop()
    {
        if (!frame)
            return;
        if (theApp.m_pMainWnd && theApp.m_pMainWnd->m_hWnd) {
            Boxes::Answer() = IDYES;
            theApp.m_pMainWnd->SendMessage(WM_CLOSE);
            Pump();
        }
        if (theApp.m_pMainWnd && theApp.m_pMainWnd->m_hWnd)
            theApp.m_pMainWnd->DestroyWindow();
        frame = nullptr;
        theApp.ExitInstance();
        Pump();
    }

    CImportTreeView* TreeView() { return frame->GetTreeView(); }
    CTreeCtrl& Tree() { return frame->GetTreeView()->GetTreeCtrl(); }
    CImportView* Upper() { return frame->GetArticleView(0); }
    CImportView* Lower() { return frame->GetArticleView(1); }

    // The item at a path of texts below the root; expands folders on the way.
    HTREEITEM Item(std::initializer_list<const wchar_t*> texts)
    {
        HTREEITEM item = Tree().GetRootItem();
        for (const wchar_t* text : texts) {
            if (!(Tree().GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED))
                Tree().Expand(item, TVE_EXPAND);
            HTREEITEM child = Tree().GetChildItem(item);
            while (child && Tree().GetItemText(child) != text)
                child = Tree().GetNextSiblingItem(child);
            if (!child)
                return nullptr;
            item = child;
        }
        return item;
    }
    void Select(HTREEITEM item)
    {
        Tree().SelectItem(item);
        Pump();
    }
    std::vector<CString> ChildTexts(HTREEITEM item)
    {
        std::vector<CString> texts;
        for (HTREEITEM c = Tree().GetChildItem(item); c; c = Tree().GetNextSiblingItem(c))
            texts.push_back(Tree().GetItemText(c));
        return texts;
    }
    // A command as a toolbar button or accelerator sends it.
    void Command(UINT id)
    {
        frame->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
        Pump();
    }
    // A command of the tree's context menu.
    void TreeCommand(UINT id)
    {
        TreeView()->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
        Pump();
    }
    HWND EditBox() { return TreeView()->GetTreeCtrl().GetEditControl() ? TreeView()->GetTreeCtrl().GetEditControl()->m_hWnd : nullptr; }
    // A key as the keyboard sends it: posted to the focused window and taken
    // through the message loop (accelerators included), a modifier held.
    void Key(UINT vk, int modifier = 0) { PressKey(vk, modifier, [] { Pump(); }); }
    // Characters as X input reaches the focused window through Wine: one
    // WM_CHAR per UTF-16 unit.
    void TypeChars(const wchar_t* text)
    {
        HWND focus = GetFocus();
        for (const wchar_t* p = text; *p; ++p)
            PostMessageW(focus, WM_CHAR, *p, 1);
        Pump();
    }
    // Types into the label editor, which has the keyboard.
    void TypeInEditor(const wchar_t* text, bool replace = true)
    {
        HWND box = EditBox();
        ASSERT_NE(box, nullptr);
        ASSERT_EQ(box, GetFocus());
        if (replace)
            SendMessageW(box, EM_SETSEL, 0, -1);
        TypeChars(text);
    }
    void PressInEditor(UINT key)
    {
        ASSERT_NE(EditBox(), nullptr);
        ASSERT_EQ(EditBox(), GetFocus());
        Key(key);
    }
    // Article text typed into a pane the way typing ends: marked modified.
    void TypeIntoPane(CImportView* view, const wchar_t* text)
    {
        ASSERT_NE(view->m_pRoot, nullptr);
        // At the end of the article, as a writer goes on.
        ChunkNode* last = view->LastLine(view->m_pRoot);
        ASSERT_NE(last, nullptr);
        view->m_pCurLine = last;
        view->m_pCurItem = view->LastItem(last);
        view->InsertText(text);
        view->m_bModified = 1;
    }
};

} // namespace apptest
