// Layout figures: a 200,000-character article laid out, reflowed to another
// page width, and typed in whole through InsertText.
#include <windows.h>
#include <cstdio>
#include <string>

#include "app/DisplaySettings.h"
#include "view/ArticleModel.h"

namespace {

double Seconds()
{
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart / (double)freq.QuadPart;
}

void Report(const char* name, double value, const char* unit)
{
    printf("%s: %.2f %s\n", name, value, unit);
    fflush(stdout);
}

// Paragraphs of 100 to 1,000 units, mostly Chinese with Latin words, marks and styles.
std::wstring ArticleText(int chars)
{
    std::wstring text;
    unsigned seed = 12345u;
    int left = 0;
    while ((int)text.size() < chars) {
        seed = seed * 1103515245u + 12345u;
        if (left-- <= 0) {
            if (!text.empty())
                text += L"\r\n";
            left = 100 + (int)((seed >> 8) % 900);
            continue;
        }
        unsigned r = (seed >> 8) % 10;
        text += r < 7 ? (wchar_t)(0x4E00 + (seed >> 12) % 0x5000) : (wchar_t)(L'a' + (seed >> 12) % 26);
    }
    return text;
}

// Best of several runs, in milliseconds.
template <class F>
double BestOf(int runs, F&& f)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        double t0 = Seconds();
        f();
        double t = (Seconds() - t0) * 1000.0;
        if (t < best)
            best = t;
    }
    return best;
}

} // namespace

void RunLayoutBench()
{
    const int chars = 200000;
    const std::wstring text = ArticleText(chars);
    const CString whole(text.c_str());
    const BOOL importing = bImporting;
    const int pageWidth = DisplaySettings.nPageWidth;
    DisplaySettings.nPageWidth = 1000;

    CArticleModel model;
    model.NewArticle();
    bImporting = TRUE;
    double insert = BestOf(1, [&] { model.InsertText(whole); });
    bImporting = FALSE;
    Report("insert_text_200k_chars", insert, "ms");

    double layout = BestOf(5, [&] {
        model.Relayout(model.m_pRoot, 0);
        model.UpdateGeometry(model.m_pRoot, 0);
    });
    Report("layout_200k_chars", layout, "ms");

    int step = 0;
    double reflow = BestOf(6, [&] {
        DisplaySettings.nPageWidth = (step++ % 2) ? 1000 : 700;
        model.ReflowToPageWidth();
    });
    Report("reflow_200k_chars", reflow, "ms");

    // One typed character that overflows a full line in a long paragraph.
    ChunkNode* line = model.FirstLine(model.m_pRoot);
    model.m_pCurLine = line;
    model.m_pCurItem = line->pFirstItem;
    double overflow = BestOf(20, [&] {
        model.InsertChar(L"字", 0, 0);
        model.RebreakOverflow();
    });
    Report("typing_overflow_rebreak", overflow * 1000.0, "us");

    DisplaySettings.nPageWidth = pageWidth;
    bImporting = importing;
}
