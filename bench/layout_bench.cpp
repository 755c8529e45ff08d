// Layout figures: a 200,000-character article laid out, reflowed to another
// page width, and typed in whole through InsertText.
#include <windows.h>
#include <cstdio>
#include <string>

#include "app/DisplaySettings.h"
#include "bench/BenchUtil.h"
#include "view/ArticleModel.h"

void RunLayoutBench()
{
    const int chars = 200000;
    const std::wstring text = BenchArticleText(chars, 12345u);
    const CString whole(text.c_str());
    const BOOL importing = bImporting;
    const int pageWidth = DisplaySettings.nPageWidth;
    DisplaySettings.nPageWidth = 1000;

    CArticleModel model;
    model.NewArticle();
    bImporting = TRUE;
    double insert = BestOf(1, [&] { model.InsertText(whole); });
    bImporting = FALSE;
    BenchReport("insert_text_200k_chars", insert, "ms");

    double layout = BestOf(5, [&] {
        model.Relayout(model.m_pRoot, 0);
        model.UpdateGeometry(model.m_pRoot, 0);
    });
    BenchReport("layout_200k_chars", layout, "ms");

    int step = 0;
    double reflow = BestOf(6, [&] {
        DisplaySettings.nPageWidth = (step++ % 2) ? 1000 : 700;
        model.ReflowToPageWidth();
    });
    BenchReport("reflow_200k_chars", reflow, "ms");

    // One typed character that overflows a full line in a long paragraph.
    ChunkNode* line = model.FirstLine(model.m_pRoot);
    model.m_pCurLine = line;
    model.m_pCurItem = line->pFirstItem;
    double overflow = BestOf(20, [&] {
        model.InsertChar(L"字", 0, 0);
        model.RebreakOverflow();
    });
    BenchReport("typing_overflow_rebreak", overflow * 1000.0, "us");

    DisplaySettings.nPageWidth = pageWidth;
    bImporting = importing;
}
