// Picture export of a 200,000-character article from a 1920 x 1080 pane with
// a background picture: time per slice, and the process's GDI handles before
// and after (one memory DC and one bitmap serve every slice).
#include <windows.h>

#include <cstdio>

#include "app/DisplaySettings.h"
#include "bench/BenchUtil.h"
#include "framework/Doc.h"
#include "framework/FileUtil.h"
#include "framework/Frame.h"
#include "framework/Ids.h"
#include "framework/MessageBox.h"
#include "view/ImportView.h"

void RunExportBench()
{
    const CString folder = BenchTempFolder(L"lumivell_export_bench") + L"\\";
    CreateFolderTree(folder + L"control");
    const CString oldFolder = g_strAppFolder;
    g_strAppFolder = folder;
    const DisplaySettingsBlock saved = DisplaySettings;
    AfxMessageBoxHook oldBox = AfxSetMessageBoxHook(BenchSilentBox);

    const CString background = folder + L"background.bmp";
    WriteBmp(background, 1600, 1000, [](int x, int y) {
        return RGB(210 + x % 40, 200 + y % 50, 180 + (x + y) % 60);
    });
    const CString path = folder + L"long.xml";
    {
        CArticleModel model;
        model.NewArticle();
        model.InsertText(BenchArticleText(200000, 7).c_str());
        model.SaveArticle(folder, path);
    }

    const int width = 1920, height = 1080;
    CWnd frame;
    CDocument doc;
    if (CImportView* view = CreateBenchPane(frame, doc, width, height, "export bench")) {
        view->OpenArticle(folder, path);
        view->m_strBackgroundPicture = background;
        view->UpdateWindow();
        const int slices = (view->GetTotalSize().cy + 999) / 1000;
        double t0 = BenchNowMs();
        bool ok = view->ExportImages();
        const double first = BenchNowMs() - t0;
        // The second export finds the fonts and pictures made; it holds no more handles.
        const DWORD gdiBefore = FwGdiObjectCount();
        t0 = BenchNowMs();
        ok = view->ExportImages() && ok;
        const double total = BenchNowMs() - t0;
        const DWORD gdiAfter = FwGdiObjectCount();
        BenchReport("export_200k_first_per_slice", slices ? first / slices : 0, "ms");
        if (!ok)
            fprintf(stderr, "export bench: a picture was not written\n");
        BenchReport("export_200k_slices", slices, "pictures");
        BenchReport("export_200k_per_slice", slices ? total / slices : 0, "ms");
        BenchReport("export_200k_gdi_before", gdiBefore, "handles");
        BenchReport("export_200k_gdi_after", gdiAfter, "handles");
        view->DestroyWindow();
    }
    frame.DestroyWindow();
    AfxSetMessageBoxHook(oldBox);
    DisplaySettings = saved;
    g_strAppFolder = oldFolder;
    RemoveFolderTree(folder);
}
