// Performance figures of the program, one line each: "name: value unit".
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "app/DisplaySettings.h"
#include "bench/BenchUtil.h"
#include "framework/FileUtil.h"
#include "framework/MessageBox.h"
#include "view/ArticleCoder.h"
#include "view/ArticleModel.h"

namespace {

struct Rng {
    unsigned state;
    explicit Rng(unsigned seed) : state(seed) {}
    unsigned Next()
    {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    }
    unsigned Below(unsigned n) { return Next() % n; }
};

// An article of about `chars` characters: paragraphs of several lines, Chinese and
// ASCII text, marked runs and annotation styles.
void BuildArticle(CArticleModel& model, int chars)
{
    Rng rng(20240601u);
    model.NewArticle();
    ChunkNode* root = model.m_pRoot;
    ChunkNode* para = root->pFirstChild;
    ChunkNode* line = para->pFirstChild;
    int made = 0;
    while (made < chars) {
        int lines = 1 + (int)rng.Below(6);
        for (int l = 0; l < lines && made < chars; ++l) {
            if (l > 0)
                line = model.NewLineAfter(para, line);
            CharItem* end = model.LastItem(line);
            int count = 20 + (int)rng.Below(20);
            WORD mark = 0, style = 0;
            for (int i = 0; i < count; ++i) {
                wchar_t u = rng.Below(4) ? (wchar_t)(0x4E00 + rng.Below(0x51A5))
                                         : (wchar_t)(L' ' + rng.Below(95));
                if (rng.Below(25) == 0)
                    mark = rng.Below(3) ? 0 : (WORD)(1 + rng.Below(9));
                if (rng.Below(30) == 0)
                    style = rng.Below(2) ? 0 : (WORD)(1 + rng.Below(12));
                wchar_t units[2] = {u, 0};
                CharItem* it = model.CreateCharItem(units, end->pPrev, end, line);
                it->nMark = mark;
                it->nStyle = style;
            }
            made += count;
        }
        if (made < chars) {
            model.m_pCurLine = line;
            para = model.NewContainerAfterCurrent();
            line = model.NewLineAfter(para, nullptr);
        }
    }
}

} // namespace

void RunLayoutBench();   // layout_bench.cpp
void RunPaintBench();    // paint_bench.cpp
void RunEditingBench();  // editing_bench.cpp
void RunLibraryBench();  // library_bench.cpp
void RunPictureBench();  // bench_gdiplus.cpp
void RunZipBench();      // zip_bench.cpp

int main()
{
    AfxSetMessageBoxHook(BenchSilentBox);
    const CString folder = BenchTempFolder(L"lumivell_bench") + L"\\";
    CreateFolderTree(folder + L"control");
    g_strAppFolder = folder;
    CString path = folder + L"bench.xml";

    // Article open and save.
    {
        CArticleModel model;
        BuildArticle(model, 200000);
        double t0 = BenchNowMs();
        bool saved = model.SaveArticle(folder, path);
        double t1 = BenchNowMs();
        if (!saved) {
            fprintf(stderr, "save failed\n");
            return 1;
        }
        BenchReport("article_save_200k_chars", t1 - t0, "ms");
        std::string bytes;
        ReadWholeFile(path, bytes);
        BenchReport("article_file_size_200k_chars", bytes.size() / 1024.0, "KiB");

        CArticleModel loaded;
        double t2 = BenchNowMs();
        loaded.OpenArticle(folder, path);
        double t3 = BenchNowMs();
        BenchReport("article_open_200k_chars", t3 - t2, "ms");
    }

    // Coder throughput over random bytes.
    {
        const int size = 8 << 20;
        std::vector<unsigned char> data(size);
        Rng rng(7);
        for (int i = 0; i < size; ++i)
            data[i] = (unsigned char)rng.Next();
        char* coded = nullptr;
        double t0 = BenchNowMs();
        int n = ArticleCodeEncode(data.data(), size, &coded);
        double t1 = BenchNowMs();
        std::vector<unsigned char> back((size_t)n / 4 * 3 + 4);
        double t2 = BenchNowMs();
        int m = ArticleCodeDecode(coded, back.data());
        double t3 = BenchNowMs();
        free(coded);
        if (m != size) {
            fprintf(stderr, "coder round trip failed\n");
            return 1;
        }
        BenchReport("coder_encode", size / (1024.0 * 1024.0) / ((t1 - t0) / 1000.0), "MiB/s");
        BenchReport("coder_decode", size / (1024.0 * 1024.0) / ((t3 - t2) / 1000.0), "MiB/s");
    }

    DeleteFileW(path);
    DeleteFileW(folder + L"control\\ErrorLog.txt");
    RemoveDirectoryW(folder + L"control");
    RemoveDirectoryW(folder);
    RunLayoutBench();
    RunPaintBench();
    RunEditingBench();
    RunLibraryBench();
    RunPictureBench();
    RunZipBench();
    return 0;
}
