// Library figures of the whole program: filling the tree with a folder of
// 3,000 articles when it is first opened, and reading through them page by
// page, each one saved (as after an edit) and the next one opened.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/DisplaySettings.h"
#include "bench/BenchUtil.h"
#include "app/ImportApp.h"
#include "app/ImportTreeView.h"
#include "app/MainFrm.h"
#include "framework/FileUtil.h"
#include "framework/MessageBox.h"
#include "res/resource.h"
#include "view/ArticleModel.h"
#include "view/ImportView.h"

namespace {

const int kArticles = 3000;

} // namespace

void RunLibraryBench()
{
    const CString program = BenchTempFolder(L"lumivell_library_bench");
    RemoveFolderTree(program);
    const CString folder = program + L"\\藏书库\\卷一";
    CreateFolderTree(folder);

    // Articles of about 1,500 characters, written by the program's own writer.
    {
        CArticleModel writer;
        writer.NewArticle();
        std::wstring text;
        for (int i = 0; i < 1500; ++i)
            text += (i % 300 == 299) ? L'\n' : (wchar_t)(0x4E00 + (i * 37) % 3000);
        writer.InsertText(text.c_str());
        for (int i = 1; i <= kArticles; ++i) {
            CString path;
            path.Format(L"%s\\%04d_第%d章.xml", folder.GetString(), i, i);
            writer.SaveArticle(folder, path);
        }
    }

    CMainFrame* frame = BenchStartProgram(program, "library bench");
    if (!frame)
        return;
    CTreeCtrl& tree = frame->GetTreeView()->GetTreeCtrl();
    HTREEITEM volume = tree.GetChildItem(tree.GetRootItem());

    double t0 = BenchNowMs();
    tree.Expand(volume, TVE_EXPAND);
    double t1 = BenchNowMs();
    int shown = 0;
    for (HTREEITEM c = tree.GetChildItem(volume); c; c = tree.GetNextSiblingItem(c))
        ++shown;
    if (shown != kArticles)
        fprintf(stderr, "library bench: %d items shown instead of %d\n", shown, kArticles);
    BenchReport("library_expand_3000_articles", t1 - t0, "ms");
    BenchReport("library_expand_per_article", (t1 - t0) * 1000.0 / kArticles, "us");

    tree.SelectItem(tree.GetChildItem(volume));
    BenchPump();
    CImportView* upper = frame->GetArticleView(0);
    double t2 = BenchNowMs();
    for (int i = 1; i < kArticles; ++i) {
        upper->m_bModified = 1;
        frame->SendMessage(WM_COMMAND, ID_NEXT_PAGE, 0);
    }
    double t3 = BenchNowMs();
    BenchReport("library_page_open_save_per_article", (t3 - t2) / (kArticles - 1), "ms");

    upper->m_bModified = 0;
    BenchStopProgram(frame, program);
}
