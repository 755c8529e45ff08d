// Helpers shared by the article model and article file tests.
#pragma once

#include <gtest/gtest.h>
#include "tests/support/TempFiles.h"
#include <windows.h>
#include <cstring>
#include <functional>
#include <string>
#include <vector>
#include "app/DisplaySettings.h"
#include "framework/Doc.h"
#include "framework/FileUtil.h"
#include "framework/MessageBox.h"
#include "framework/Wnd.h"
#include "view/ArticleModel.h"

// Answers every message box with OK and records what it said.
class MessageRecorder {
public:
    MessageRecorder()
    {
        Texts().clear();
        Types().clear();
        OnShow() = nullptr;
        m_old = AfxSetMessageBoxHook(&Hook);
    }
    ~MessageRecorder()
    {
        AfxSetMessageBoxHook(m_old);
        OnShow() = nullptr;
    }
    static std::vector<std::wstring>& Texts()
    {
        static std::vector<std::wstring> texts;
        return texts;
    }
    static std::vector<UINT>& Types()
    {
        static std::vector<UINT> types;
        return types;
    }
    // Runs while a box is shown (the box counts as open then).
    static std::function<void()>& OnShow()
    {
        static std::function<void()> f;
        return f;
    }

private:
    static int Hook(const wchar_t* text, UINT type)
    {
        Texts().push_back(text);
        Types().push_back(type);
        if (OnShow()) {
            auto f = OnShow();
            OnShow() = nullptr;
            f();
        }
        return IDOK;
    }
    AfxMessageBoxHook m_old;
};

// Keeps the shared settings of one test from leaking into the next.
class SettingsGuard {
public:
    SettingsGuard() : m_saved(DisplaySettings), m_importing(bImporting) {}
    ~SettingsGuard()
    {
        DisplaySettings = m_saved;
        bImporting = m_importing;
    }

private:
    DisplaySettingsBlock m_saved;
    BOOL m_importing;
};

// A temporary program folder with "control\"; g_strAppFolder points at it.
class TempProgramFolder {
public:
    TempProgramFolder()
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static int serial = 0;
        m_path.Format(L"%slumivell_view_%lu_%d\\", temp, GetCurrentProcessId(), ++serial);
        CreateFolderTree(m_path + L"control");
        m_old = g_strAppFolder;
        g_strAppFolder = m_path;
    }
    ~TempProgramFolder()
    {
        g_strAppFolder = m_old;
        DeleteTree(m_path);
    }
    const CString& Path() const { return m_path; }

    static void DeleteTree(const CString& folder) { testfiles::DeleteTree(folder); }

private:
    CString m_path;
    CString m_old;
};

// The model with its window hooks counted.
class TestModel : public CArticleModel {
public:
    int caretUpdates = 0, invalidations = 0, enables = 0, relayouts = 0, geometryUpdates = 0;
    int reflows = 0, scrollTops = 0, selectionClears = 0, fatalErrors = 0;
    int clientWidth = 1000;

protected:
    void UpdateCaret() override { ++caretUpdates; }
    void InvalidateView(bool) override { ++invalidations; }
    void EnableView(bool enable) override { enables += enable ? 1 : 0; }
    void Relayout(ChunkNode*, int) override { ++relayouts; }
    void UpdateGeometry(ChunkNode*, int) override { ++geometryUpdates; }
    void ReflowToPageWidth() override { ++reflows; }
    void ScrollToStart() override { ++scrollTops; }
    void ClearSelection() override { ++selectionClears; }
    void OnFatalError() override { ++fatalErrors; }
    int GetClientWidth() override { return clientWidth; }
};

// Appends the characters of text in front of the line's line end (at its end when
// it has none); surrogate pairs
// make one item. Returns the items made.
inline std::vector<CharItem*> AppendText(CArticleModel& m, ChunkNode* line, const std::wstring& text,
                                         WORD mark = 0, WORD style = 0)
{
    std::vector<CharItem*> made;
    CharItem* end = m.LastItem(line);
    if (end && end->ch != kLineEnd)
        end = nullptr;
    CharItem* prev = end ? end->pPrev : m.LastItem(line);
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t units[2] = {text[i], 0};
        if (IsHighSurrogate(text[i]) && i + 1 < text.size())
            units[1] = text[++i];
        CharItem* it = m.CreateCharItem(units, prev, end, line);
        prev = it;
        it->nMark = mark;
        it->nStyle = style;
        made.push_back(it);
    }
    return made;
}

// The units of a line's items (line end included, shown as \r).
inline std::wstring LineUnits(const ChunkNode* line)
{
    std::wstring s;
    for (const CharItem* it = line ? line->pFirstItem : nullptr; it; it = it->pNext) {
        s += it->ch;
        if (it->chLow)
            s += it->chLow;
    }
    return s;
}

inline int MarkRunCount(const ChunkNode* line)
{
    int runs = 0;
    WORD mark = 0;
    for (const CharItem* it = line->pFirstItem; it; it = it->pNext) {
        if (it == line->pFirstItem || it->nMark != mark)
            ++runs;
        mark = it->nMark;
    }
    return runs;
}

// Everything of a tree that an article file keeps, one line per node or item.
inline std::wstring DumpTree(const ChunkNode* root)
{
    std::wstring out;
    std::vector<const ChunkNode*> pending;
    if (root)
        pending.push_back(root);
    wchar_t buf[160];
    while (!pending.empty()) {
        const ChunkNode* n = pending.back();
        pending.pop_back();
        const wchar_t* link = n->pPrev ? L"below" : n->pLeft ? L"beside" : L"first";
        swprintf(buf, 160, L"node type=%u level=%u %ls", n->nType, n->nLevel, link);
        out += buf;
        if (n->IsLine()) {
            swprintf(buf, 160, L" size=%d code=%d", n->nTextSize, n->nCode);
            out += buf;
            if (MarkRunCount(n) > 1) {
                swprintf(buf, 160, L" inc=%u", n->nInc);
                out += buf;
            }
            out += L"\n";
            for (const CharItem* it = n->pFirstItem; it; it = it->pNext) {
                swprintf(buf, 160, L"  item %04X %04X mark=%u style=%u\n", it->ch, it->chLow,
                         it->nMark, it->nStyle);
                out += buf;
            }
        } else {
            out += L"\n";
            std::vector<const ChunkNode*> kids;
            for (const ChunkNode* c = n->pFirstChild; c; c = c->WalkNext())
                kids.push_back(c);
            for (auto k = kids.rbegin(); k != kids.rend(); ++k)
                pending.push_back(*k);
        }
    }
    return out;
}

inline std::string ReadBytes(const CString& path)
{
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

inline bool WriteBytes(const CString& path, const std::string& bytes)
{
    return WriteFileReplacing(path, bytes.data(), bytes.size());
}

// The stored form of a coded text: its characters as UTF-16LE units.
inline std::string AsUtf16Bytes(const std::string& coded)
{
    std::string out;
    for (char c : coded) {
        out += c;
        out += '\0';
    }
    return out;
}

// An independent coder for the checks: standard base64, then each character of the
// standard alphabet replaced by the one at the same place in the article alphabet.
inline std::string ReferenceEncode(const std::string& bytes)
{
    static const char standard[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    static const char article[] =
        "MTQZBXkpwm73LFRDWJzrbh/HNVCPGdtxf05KYSAEIjvql91OUsgcyn+82aeiou64";
    std::string b64;
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned v = ((unsigned char)bytes[i] << 16) | ((unsigned char)bytes[i + 1] << 8) |
                     (unsigned char)bytes[i + 2];
        for (int k = 3; k >= 0; --k)
            b64 += standard[(v >> (6 * k)) & 63];
    }
    if (bytes.size() - i == 1) {
        unsigned v = (unsigned char)bytes[i] << 16;
        b64 += standard[(v >> 18) & 63];
        b64 += standard[(v >> 12) & 63];
        b64 += "==";
    } else if (bytes.size() - i == 2) {
        unsigned v = ((unsigned char)bytes[i] << 16) | ((unsigned char)bytes[i + 1] << 8);
        b64 += standard[(v >> 18) & 63];
        b64 += standard[(v >> 12) & 63];
        b64 += standard[(v >> 6) & 63];
        b64 += '=';
    }
    for (char& c : b64)
        if (c != '=')
            c = article[strchr(standard, c) - standard];
    return b64;
}

// The XML text converted to the ANSI code page, coded and stored as UTF-16LE: the
// bytes of an article file.
inline std::string ReferenceFileBytes(const std::wstring& xml)
{
    std::string ansi;
    if (!xml.empty()) {
        int n = WideCharToMultiByte(CP_ACP, 0, xml.c_str(), (int)xml.size(), nullptr, 0, nullptr,
                                    nullptr);
        ansi.resize(n);
        WideCharToMultiByte(CP_ACP, 0, xml.c_str(), (int)xml.size(), &ansi[0], n, nullptr, nullptr);
    }
    return AsUtf16Bytes(ReferenceEncode(ansi));
}

// The Unicode text on the clipboard now.
inline std::wstring ClipboardText()
{
    std::wstring s;
    if (!OpenClipboard(nullptr))
        return L"<not open>";
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(h))) {
            s = p;
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return s;
}

// Puts units on the clipboard as they are: no terminating zero is added.
inline void SetClipboardUnits(const wchar_t* units, size_t count)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, count * sizeof(wchar_t));
    memcpy(GlobalLock(block), units, count * sizeof(wchar_t));
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

inline void SetClipboardText(const std::wstring& text)
{
    SetClipboardUnits(text.c_str(), text.size() + 1);
}

// A frame window for article panes, with default settings, a program folder
// of its own and message boxes answered.
class PaneFrameTest : public testing::Test {
protected:
    SettingsGuard settings;
    TempProgramFolder folder;
    MessageRecorder boxes;
    CWnd frame;
    CDocument doc;

    void OpenFrame(const wchar_t* title, int width, int height)
    {
        DisplaySettings = DisplaySettingsBlock();
        bImporting = FALSE;
        ASSERT_TRUE(frame.CreateEx(0, AfxDefaultWndClass(), title, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                   0, 0, width, height, nullptr, nullptr));
        doc.m_bAutoDelete = FALSE;
    }
    void TearDown() override
    {
        if (frame.m_hWnd)
            frame.DestroyWindow();
    }
    static void Pump()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
};
