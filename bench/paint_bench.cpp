// Full paints of a 1920 x 1080 article pane with every decoration on:
// background picture, bars, strips, side bars, rules, separators, marks and a
// code block. The first paint decodes and pre-renders the pictures; the later
// ones show what scrolling and typing cost.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "app/DisplaySettings.h"
#include "bench/BenchUtil.h"
#include "framework/Doc.h"
#include "framework/FileUtil.h"
#include "framework/Frame.h"
#include "framework/Ids.h"
#include "view/ImportView.h"

namespace {

void AppendText(CArticleModel& m, ChunkNode* line, const std::wstring& text, WORD mark = 0)
{
    CharItem* end = m.LastItem(line);
    CharItem* prev = end ? end->pPrev : nullptr;
    for (wchar_t ch : text) {
        wchar_t units[2] = {ch, 0};
        CharItem* it = m.CreateCharItem(units, prev, end, line);
        it->nMark = mark;
        prev = it;
    }
}

// Thirty paragraphs of text with a marked run each, and a code block.
void BuildArticle(CArticleModel& m)
{
    m.NewArticle();
    ChunkNode* line = m.m_pCurLine;
    for (int p = 0; p < 30; ++p) {
        if (p > 0) {
            ChunkNode* para = m.NewContainerAfterCurrent();
            line = m.NewLineAfter(para, nullptr);
        }
        if (p == 3) {
            const wchar_t* code[] = {L"int main(int argc, char* argv[])", L"{",
                                     L"    int count = 0;", L"    for (int i = 0; i < argc; ++i)",
                                     L"        count += strlen(argv[i]);",
                                     L"    printf(\"%d\\n\", count); // total", L"    return 0;",
                                     L"}"};
            for (size_t i = 0; i < sizeof(code) / sizeof(code[0]); ++i) {
                if (i > 0)
                    line = m.NewLineAfter(line->pParent, line);
                line->nCode = 2;
                AppendText(m, line, code[i]);
            }
            continue;
        }
        std::wstring text;
        for (int i = 0; i < 90; ++i)
            text += (wchar_t)(0x4E00 + (p * 37 + i * 11) % 2000);
        AppendText(m, line, text.substr(0, 20));
        AppendText(m, line, text.substr(20, 6), (WORD)(p % 20 + 1));
        AppendText(m, line, text.substr(26));
    }
}

}  // namespace

void RunPaintBench()
{
    const CString folder = BenchTempFolder(L"lumivell_paint_bench") + L"\\";
    CString lines = folder + L"control\\IMG\\lines";
    CString strips = folder + L"control\\IMG\\strips";
    CreateFolderTree(lines);
    CreateFolderTree(strips);
    CString oldFolder = g_strAppFolder;
    g_strAppFolder = folder;
    DisplaySettingsBlock saved = DisplaySettings;

    CString background = folder + L"background.bmp";
    WriteBmp(background, 1600, 1000, [](int x, int y) {
        return RGB(200 + x % 40, 190 + y % 50, 170 + (x + y) % 60);
    });
    WriteBmp(lines + L"\\rule.bmp", 400, 20, [](int x, int y) {
        return (y > 5 && y < 14 && x % 40 < 30) ? RGB(120, 60, 20) : RGB(250, 250, 250);
    });
    WriteBmp(strips + L"\\strip.bmp", 60, 600, [](int x, int y) {
        return (x > 10 && x < 50 && y % 60 < 50) ? RGB(40, 80, 140) : RGB(240, 240, 240);
    });
    DisplaySettingsBlock& ds = DisplaySettings;
    ds.LineSet.strFolder = lines;
    ds.LineSet.vecFiles = {L"rule.bmp"};
    ds.VerticalSet.strFolder = strips;
    ds.VerticalSet.vecFiles = {L"strip.bmp"};
    ds.bWholeTop = ds.bWholeBottom = ds.bWholeLeft = 1;
    ds.nHorize = 3;
    ds.nVerticalWidth = 201;
    ds.nVertical = 3;

    CString path = folder + L"article.txt";
    {
        CArticleModel model;
        BuildArticle(model);
        model.SaveArticle(folder, path);
    }

    const int width = 1920, height = 1080;
    CWnd frame;
    CDocument doc;
    CImportView* view = CreateBenchPane(frame, doc, width, height, "paint bench");
    if (!view)
        return;
    view->OpenArticle(folder, path);
    view->m_strBackgroundPicture = background;

    auto paint = [&] {
        RedrawWindow(view->m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        GdiFlush();
    };
    double t0 = BenchNowMs();
    paint();
    BenchReport("paint_1920x1080_first", BenchNowMs() - t0, "ms");
    // 30 paints, fastest first, and their mean.
    std::vector<double> times;
    double mean = 0;
    auto paintRounds = [&] {
        times.clear();
        for (int i = 0; i < 30; ++i) {
            double t = BenchNowMs();
            paint();
            times.push_back(BenchNowMs() - t);
        }
        std::sort(times.begin(), times.end());
        double sum = 0;
        for (double t : times)
            sum += t;
        mean = sum / times.size();
    };
    paintRounds();
    BenchReport("paint_1920x1080_mean", mean, "ms");
    BenchReport("paint_1920x1080_median", times[times.size() / 2], "ms");
    BenchReport("paint_1920x1080_max", times.back(), "ms");
    BenchReport("paint_1920x1080_gdi_objects", FwGdiObjectCount(), "handles");

    // The same page in a face whose glyphs are larger than their boxes.
    wcscpy(view->m_szFontFace, L"黑体");
    wcscpy(view->m_szCodeFontFace, L"黑体");
    t0 = BenchNowMs();
    paint();
    BenchReport("paint_1920x1080_face_first", BenchNowMs() - t0, "ms");
    paintRounds();
    BenchReport("paint_1920x1080_face_mean", mean, "ms");

    view->DestroyWindow();
    frame.DestroyWindow();
    DisplaySettings = saved;
    g_strAppFolder = oldFolder;
    RemoveFolderTree(folder);
}
