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
#include "xml/XmlDocument.h"
#include <algorithm>

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

// Opens a stored article whose Body holds body beside a regular article of
// the same file size; reports both times and sizes under name.
void OpenBesideRegular(const CString& folder, const CString& path, const std::wstring& body, const char* name)
{
    const std::wstring xml = L"<Page>\r\n<Body>\r\n" + body + L"\r\n</Body>\r\n</Page>\r\n";
    CString stored;
    EncodeArticleText(CString(xml.c_str(), (int)xml.size()), stored);
    std::string hostile((size_t)stored.GetLength() * 2, '\0');
    for (int i = 0; i < stored.GetLength(); ++i) {
        hostile[2 * i] = (char)(stored[i] & 0xFF);
        hostile[2 * i + 1] = (char)(stored[i] >> 8);
    }
    const CString hostilePath = folder + L"hostile.xml";
    WriteFileReplacing(hostilePath, hostile.data(), hostile.size());

    // The regular article's length, scaled from a sample to the same file size.
    std::string sample;
    {
        CArticleModel model;
        BuildArticle(model, 100000);
        model.SaveArticle(folder, path);
        ReadWholeFile(path, sample);
        CArticleModel regular;
        BuildArticle(regular, (int)(100000.0 * hostile.size() / sample.size()));
        regular.SaveArticle(folder, path);
        ReadWholeFile(path, sample);
    }
    double times[2] = {};
    const CString paths[2] = {path, hostilePath};
    for (int k = 0; k < 2; ++k) {
        times[k] = 1e30;
        for (int r = 0; r < 3; ++r) {
            CArticleModel loaded;
            double t0 = BenchNowMs();
            loaded.OpenArticle(folder, paths[k]);
            times[k] = std::min(times[k], BenchNowMs() - t0);
        }
    }
    DeleteFileW(hostilePath);
    const std::string suffix = name;
    BenchReport(("article_open_regular_as_" + suffix).c_str(), times[0], "ms");
    BenchReport(("article_open_" + suffix).c_str(), times[1], "ms");
    BenchReport(("article_file_size_regular_as_" + suffix).c_str(), sample.size() / 1024.0, "KiB");
    BenchReport(("article_file_size_" + suffix).c_str(), hostile.size() / 1024.0, "KiB");
}

} // namespace

void RunLayoutBench();   // layout_bench.cpp
void RunPaintBench();    // paint_bench.cpp
void RunEditingBench();  // editing_bench.cpp
void RunLibraryBench();  // library_bench.cpp
void RunPictureBench();  // bench_gdiplus.cpp
void RunExportBench();   // export_bench.cpp
void RunImportBench();   // import_bench.cpp
void RunZipBench();      // zip_bench.cpp
void RunDownloadBench(); // download_bench.cpp

int main(int argc, char** argv)
{
    AfxSetMessageBoxHook(BenchSilentBox);
    // "import" runs the import figures alone.
    if (argc > 1 && std::string(argv[1]) == "import") {
        RunImportBench();
        return 0;
    }
    // "paint" runs the figures of painting alone: pages, typing, export.
    if (argc > 1 && std::string(argv[1]) == "paint") {
        RunPaintBench();
        RunEditingBench();
        RunExportBench();
        return 0;
    }
    // "download" runs the download figures alone.
    if (argc > 1 && std::string(argv[1]) == "download") {
        RunDownloadBench();
        return 0;
    }
    const CString folder = BenchTempFolder(L"lumivell_bench") + L"\\";
    CreateFolderTree(folder + L"control");
    g_strAppFolder = folder;
    CString path = folder + L"bench.xml";

    // Article save and open (decode, parse, build and lay out) at three sizes;
    // each doubling or more should cost at most its share of time.
    {
        struct Size { int chars; const char* name; int runs; };
        const Size sizes[] = {{20000, "20k", 5}, {1000000, "1m", 1}, {2000000, "2m", 1}};
        double save[3] = {}, open[3] = {};
        for (int s = 0; s < 3; ++s) {
            CArticleModel model;
            BuildArticle(model, sizes[s].chars);
            save[s] = open[s] = 1e30;
            for (int r = 0; r < sizes[s].runs; ++r) {
                double t0 = BenchNowMs();
                bool saved = model.SaveArticle(folder, path);
                double t1 = BenchNowMs();
                if (!saved) {
                    fprintf(stderr, "save failed\n");
                    return 1;
                }
                CArticleModel loaded;
                double t2 = BenchNowMs();
                loaded.OpenArticle(folder, path);
                double t3 = BenchNowMs();
                save[s] = std::min(save[s], t1 - t0);
                open[s] = std::min(open[s], t3 - t2);
            }
            std::string name = std::string("article_save_") + sizes[s].name + "_chars";
            BenchReport(name.c_str(), save[s], "ms");
            name = std::string("article_open_") + sizes[s].name + "_chars";
            BenchReport(name.c_str(), open[s], "ms");
            if (s == 1) {
                std::string bytes;
                ReadWholeFile(path, bytes);
                BenchReport("article_file_size_1m_chars", bytes.size() / 1024.0, "KiB");
            }
        }
        // Time at the next size over time at this one (sizes grow 50 and 2 times).
        for (int s = 0; s < 2; ++s) {
            const std::string pair = std::string(sizes[s].name) + "_to_" + sizes[s + 1].name;
            BenchReport(("article_save_ratio_" + pair).c_str(), save[s + 1] / save[s], "x");
            BenchReport(("article_open_ratio_" + pair).c_str(), open[s + 1] / open[s], "x");
        }
    }

    // XML parsing of 200,000 and 400,000 elements.
    {
        double parse[2] = {};
        const int counts[2] = {200000, 400000};
        for (int s = 0; s < 2; ++s) {
            std::wstring xml = L"<Page>\r\n<Body>\r\n";
            for (int i = 0; i < counts[s]; ++i)
                xml += (i % 5 == 0) ? L"<Chunk Type=\"C4\" Line=\"3\">\r\n"
                                    : L"<Chunk Size=\"30\" FrameStyle=\"2\">文字abc[T1]x[/T]\r</Chunk>\r\n";
            for (int i = 0; i < counts[s]; i += 5)
                xml += L"</Chunk>\r\n";
            xml += L"</Body>\r\n</Page>\r\n";
            double best = 1e30;
            for (int r = 0; r < 3; ++r) {
                CXmlDocument doc;
                double t0 = BenchNowMs();
                doc.LoadFromText(xml.c_str());
                best = std::min(best, BenchNowMs() - t0);
            }
            parse[s] = best;
        }
        BenchReport("xml_parse_200k_elements", parse[0], "ms");
        BenchReport("xml_parse_400k_elements", parse[1], "ms");
        BenchReport("xml_parse_ratio_200k_to_400k", parse[1] / parse[0], "x");
    }

    // Stored articles whose elements make the parser's search for an end tag's
    // element costly, each opened beside a regular article of the same file size.
    {
        std::wstring strays;   // 80,000 open elements, 80,000 end tags that close none
        for (int i = 0; i < 80000; ++i)
            strays += L"<a>";
        for (int i = 0; i < 80000; ++i)
            strays += L"</b>";
        OpenBesideRegular(folder, path, strays, "stray_end_tags");

        std::wstring longNames;   // 280 open elements with names of 2,000 "=[]x"
        std::wstring parts;
        for (int j = 0; j < 400; ++j)
            parts += L"[x]=x";
        for (int i = 0; i < 280; ++i)
            longNames += L"<n" + std::to_wstring(i) + parts + L">";
        OpenBesideRegular(folder, path, longNames, "long_names");

        // 8,000 open elements whose names share a long beginning, and as many
        // end tags of that beginning, which close none of them.
        std::wstring shared;
        const std::wstring stem = L"n" + std::wstring(29, L'_');
        for (int i = 0; i < 8000; ++i)
            shared += L"<" + stem + std::to_wstring(i) + L">";
        for (int i = 0; i < 8000; ++i)
            shared += L"</" + stem + L">";
        OpenBesideRegular(folder, path, shared, "shared_name_beginnings");
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
    RunExportBench();
    RunImportBench();
    RunZipBench();
    RunDownloadBench();
    return 0;
}
