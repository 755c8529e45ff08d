// TXT import figures through the import dialog's own code path, to article
// files on disk: a 20 MB GBK novel of 3,000 titled chapters, the same text
// without titles (fixed-length pieces), and a text of 2- and 3-character
// lines. Each new tree item is timed through a hook on the tree's insert
// messages, so the time per article can be compared across the run. Before
// them, the reading of the novel's bytes in each encoding and the plans of
// texts whose lines are longer than the pieces.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/ChapterSplit.h"
#include "app/ImportTreeView.h"
#include "app/MainFrm.h"
#include "app/TxtFiles.h"
#include "app/XiaoshuoDlg.h"
#include "bench/BenchUtil.h"
#include "framework/FileUtil.h"

namespace {

const int kChapters = 3000;
const size_t kNovelBytes = 20u << 20;

std::vector<double> g_items;     // time of each new tree item, ms

LRESULT CALLBACK WatchInserts(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && ((const CWPSTRUCT*)lParam)->message == TVM_INSERTITEMW)
        g_items.push_back(BenchNowMs());
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Sentences of Chinese with some Latin words, commas and full stops, CR LF
// between paragraphs: never a title line.
std::wstring Prose(int chars, unsigned& seed)
{
    std::wstring text;
    int sentence = 0;
    while ((int)text.size() < chars) {
        seed = seed * 1103515245u + 12345u;
        const unsigned r = seed >> 8;
        if (++sentence % 18 == 0)
            text += (r % 3 == 0) ? L"。\r\n" : L"，";
        else
            text += r % 10 < 8 ? (wchar_t)(0x4E00 + (r >> 4) % 0x51A0) : (wchar_t)(L'a' + (r >> 4) % 26);
    }
    return text;
}

std::wstring Novel(bool titles)
{
    std::wstring text;
    unsigned seed = 12345;
    const int perChapter = (int)(kNovelBytes / kChapters / 1.85);
    for (int c = 1; c <= kChapters; ++c) {
        if (titles)
            text += L"第" + std::to_wstring(c) + L"章 风起第" + std::to_wstring(c) + L"回\r\n";
        text += Prose(perChapter, seed);
        text += L"\r\n";
    }
    return text;
}

std::wstring ShortLines()
{
    std::wstring text;
    unsigned seed = 777;
    while (text.size() * 2 < kNovelBytes / 2) {
        seed = seed * 1103515245u + 12345u;
        const int n = 2 + (int)((seed >> 8) % 2);
        for (int i = 0; i < n; ++i) {
            seed = seed * 1103515245u + 12345u;
            text += (wchar_t)(0x4E00 + (seed >> 8) % 0x51A0);
        }
        text += L"\r\n";
    }
    return text;
}

int CountArticles(const CString& folder)
{
    int n = 0;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(folder + L"\\*", &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    do {
        CString name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            n += CountArticles(folder + L"\\" + name);
        else if (name.Find(L".xml") >= 0)
            ++n;
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return n;
}

// Decoding the novel's bytes: GBK, UTF-8 after its mark, and the same with
// a bad byte in every chapter.
void DecodeFigures()
{
    const std::wstring novel = Novel(true);
    const std::string gbk = WideToMultiByte(novel.c_str(), (int)novel.size(), 936);
    const std::string utf8 = "\xEF\xBB\xBF" + WideToMultiByte(novel.c_str(), (int)novel.size(), CP_UTF8);
    std::string damaged = utf8;
    for (size_t at = utf8.size() / kChapters / 2; at < damaged.size(); at += utf8.size() / kChapters)
        damaged[at] = '\xFF';
    const struct {
        const char* name;
        const std::string& bytes;
    } kinds[] = {{"txt_decode_gbk_novel", gbk}, {"txt_decode_utf8_novel", utf8},
                 {"txt_decode_damaged_utf8_novel", damaged}};
    for (const auto& k : kinds) {
        size_t length = 0;
        BenchReport(k.name, BestOf(3, [&] { length = DecodeTxtBytes(k.bytes).GetLength(); }), "ms");
        if (length < novel.size() / 2)
            fprintf(stderr, "%s decoded to %u characters\n", k.name, (unsigned)length);
    }
}

// Plans of 20 MB texts: the novel without titles, and prose with a line of
// 95,000 characters after every 8,000 characters of it.
void PlanFigures()
{
    const std::wstring pieces = Novel(false);
    std::wstring longLines;
    unsigned seed = 99;
    while (longLines.size() < pieces.size())
        longLines += Prose(8000, seed) + L"\r\n" + std::wstring(95000, L'字') + L"\r\n";
    const CString a(pieces.c_str(), (int)pieces.size());
    const CString b(longLines.c_str(), (int)longLines.size());
    size_t steps = 0;
    BenchReport("plan_novel_without_titles", BestOf(3, [&] { steps = PlanBook(L"书", a, L"第").size(); }), "ms");
    BenchReport("plan_long_lines", BestOf(3, [&] { steps += PlanBook(L"书", b, L"第").size(); }), "ms");
    if (steps == 0)
        fprintf(stderr, "no plan\n");
}

// One import through the dialog, reported under name.
void RunOne(CMainFrame* frame, const char* name, const std::wstring& text, const wchar_t* prefix,
            const CString& program)
{
    const CString path = program + L"\\" + CString(name) + L".txt";
    const std::string gbk = WideToMultiByte(text.c_str(), (int)text.size(), 936);
    HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, gbk.data(), (DWORD)gbk.size(), &written, nullptr);
    CloseHandle(f);

    CImportTreeView* tree = frame->GetTreeView();
    tree->GetTreeCtrl().SelectItem(tree->GetTreeCtrl().GetRootItem());
    tree->ShowImportDialog();
    XiaoshuoDlg* dlg = tree->GetImportDialog();
    dlg->m_vecFiles = {path};
    dlg->m_strPath = path;
    dlg->m_strPrefix = prefix;
    dlg->m_bFolder = 0;
    dlg->UpdateData(FALSE);

    g_items.clear();
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchInserts, nullptr, GetCurrentThreadId());
    const double t0 = BenchNowMs();
    dlg->OnImport();
    const double t1 = BenchNowMs();
    UnhookWindowsHookEx(hook);
    BenchPump();

    const CString book = program + L"\\藏书库\\" + CString(name);
    const int articles = CountArticles(book) + (FileExists(book + L".xml") ? 1 : 0);
    char label[128];
    snprintf(label, sizeof label, "import_%s_mb", name);
    BenchReport(label, gbk.size() / 1048576.0, "MB");
    snprintf(label, sizeof label, "import_%s_articles", name);
    BenchReport(label, articles, "articles");
    snprintf(label, sizeof label, "import_%s_total", name);
    BenchReport(label, (t1 - t0) / 1000.0, "s");
    snprintf(label, sizeof label, "import_%s_articles_per_second", name);
    BenchReport(label, articles / ((t1 - t0) / 1000.0), "articles/s");
    // Time per article at the start, the middle and the end of the run:
    // flat when nothing grows with the number of articles made so far.
    const size_t n = g_items.size();
    if (n >= 30) {
        const size_t tenth = n / 10;
        const char* part[3] = {"first", "middle", "last"};
        const size_t from[3] = {0, n / 2 - tenth / 2, n - 1 - tenth};
        for (int k = 0; k < 3; ++k) {
            const double ms = (g_items[from[k] + tenth] - g_items[from[k]]) / tenth;
            snprintf(label, sizeof label, "import_%s_per_article_%s_tenth", name, part[k]);
            BenchReport(label, ms, "ms");
        }
    }
    DeleteFileW(path);
}

} // namespace

void RunImportBench()
{
    DecodeFigures();
    PlanFigures();
    const CString program = BenchTempFolder(L"lumivell_import_bench");
    RemoveFolderTree(program);
    CreateFolderTree(program + L"\\藏书库");
    CMainFrame* frame = BenchStartProgram(program, "import bench");
    if (!frame)
        return;
    RunOne(frame, "novel_3000_chapters", Novel(true), L"第", program);
    RunOne(frame, "novel_without_titles", Novel(false), L"第", program);
    const std::wstring lines = ShortLines();
    RunOne(frame, "short_lines", lines, L"第", program);
    RunOne(frame, "short_lines_empty_marker", lines, L"", program);
    BenchStopProgram(frame, program);
}
