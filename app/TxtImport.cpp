// TXT import into the library tree: a text becomes the items of its import
// plan. Each chapter is typed into an article of its own, off screen, by the
// same model and writer the article panes use, and written to its file at
// once; the panes are not touched until the import ends and selects the
// last article. Problems are collected and told once.
#include "app/TxtImport.h"

#include <new>

#include "app/DisplaySettings.h"
#include "app/ImportTreeView.h"
#include "app/LibraryNames.h"
#include "app/MainFrm.h"
#include "app/TxtFiles.h"
#include "app/XiaoshuoDlg.h"
#include "framework/FileUtil.h"
#include "framework/MessageBox.h"
#include "res/resource.h"
#include "view/ArticleModel.h"
#include "view/ImportView.h"

namespace {

// Problems listed by name in the closing message; the rest are counted.
const size_t kListedProblems = 12;

// A book name that makes a usable file and folder name.
CString CleanBookName(const CString& name)
{
    CString clean = CleanNamePart(name, kMaxTitleChars);
    if (clean.IsEmpty())
        clean = L"新书";
    if (!IsAcceptableName(clean) || !IsAcceptableName(clean + L".xml"))
        clean = L"_" + clean;
    return clean;
}

// The folder walk of an import, as items under the tree.
class CFolderImport : public ITxtFolderVisitor {
public:
    CFolderImport(CImportTreeView* view, HTREEITEM parent, const CString& prefix, const CString& suffix)
        : m_view(view), m_tree(view->GetTreeCtrl()), m_prefix(prefix), m_suffix(suffix)
    {
        m_parents.push_back(parent);
    }

    void EnterFolder(const CString& name) override
    {
        HTREEITEM parent = m_parents.back();
        std::vector<CString> siblings;
        for (HTREEITEM c = m_tree.GetChildItem(parent); c; c = m_tree.GetNextSiblingItem(c))
            siblings.push_back(m_tree.GetItemText(c));
        ImportStep step;
        step.kind = ImportStep::kFolder;
        step.title = CleanNamePart(name, kMaxTitleChars);
        if (step.title.IsEmpty())
            step.title = L"_";
        const CString folderPath = m_view->GetItemPath(parent);
        const CString text = FitStepTitle(step, folderPath, siblings, true, kMaxLibraryFolderPath);
        HTREEITEM item = m_view->InsertLastChild(parent, text, true);
        if (item) {
            // The folder exists on disk even when no book lands in it.
            const CString path = AppendPathPart(folderPath, text);
            if (CreateDirectoryW(path, nullptr))
                m_view->NoteMadeFolder(item, path);
            m_tree.SelectItem(item);
            m_view->SetFocus();
        }
        m_parents.push_back(item ? item : parent);
    }

    void LeaveFolder() override
    {
        if (m_parents.size() > 1)
            m_parents.pop_back();
    }

    void TxtFile(const CString& path) override
    {
        m_tree.SelectItem(m_parents.back());
        m_view->SetFocus();
        m_view->ImportTxtFile(path, 0, 6, m_prefix, m_suffix);
    }

    void Skipped(const CString& path, const CString& reason) override { m_view->NoteImportProblem(path, reason); }

    bool GoOn() override { return !m_view->GetImportState().stopped; }

private:
    CImportTreeView* m_view;
    CTreeCtrl& m_tree;
    CString m_prefix;
    CString m_suffix;
    std::vector<HTREEITEM> m_parents;
};

} // namespace

// ---------------------------------------------------------------- session

CImportSession::CImportSession(CImportTreeView* view)
    : m_view(view), m_active(view && view->BeginImport())
{
}

CImportSession::~CImportSession()
{
    if (m_active)
        m_view->EndImport();
}

bool CImportTreeView::BeginImport()
{
    if (m_import.running || bImporting)
        return false;
    m_import = ImportRunState();
    m_import.running = true;
    bImporting = TRUE;
    // Thousands of new items: the tree is drawn once, at the end.
    SendMessage(WM_SETREDRAW, FALSE, 0);
    return true;
}

void CImportTreeView::EndImport()
{
    // A stopped import leaves no empty folders behind, on disk or in the
    // tree; the deepest go first.
    if (m_import.stopped) {
        CTreeCtrl& tree = GetTreeCtrl();
        for (auto it = m_import.madeFolders.rbegin(); it != m_import.madeFolders.rend(); ++it) {
            if (RemoveDirectoryW(it->path))
                tree.DeleteItem((HTREEITEM)it->item);
        }
    }
    bImporting = FALSE;
    SendMessage(WM_SETREDRAW, TRUE, 0);
    const ImportRunState run = m_import;
    m_import = ImportRunState();
    // The last article opens the usual way, in the pane its folder belongs to.
    if (run.lastArticle) {
        GetTreeCtrl().SelectItem((HTREEITEM)run.lastArticle);
        SetFocus();
    }
    if (CMainFrame* frame = GetMainFrame()) {
        if (CImportView* upper = frame->GetArticleView(0))
            upper->Redraw();
    }
    Invalidate(FALSE);
    if (run.problems.empty())
        return;
    CString text = L"以下文件没有完整导入：\n";
    for (size_t i = 0; i < run.problems.size() && i < kListedProblems; ++i)
        text += L"\n" + run.problems[i];
    if (run.problems.size() > kListedProblems) {
        CString more;
        more.Format(L"\n……另有 %d 项", (int)(run.problems.size() - kListedProblems));
        text += more;
    }
    AfxMessageBox(text, MB_OK | MB_ICONWARNING);
}

void CImportTreeView::NoteImportProblem(const CString& path, const CString& reason)
{
    m_import.problems.push_back(path + L"：" + reason);
}

void CImportTreeView::NoteMadeFolder(HTREEITEM item, const CString& path)
{
    m_import.madeFolders.push_back({item, path});
}

HTREEITEM CImportTreeView::SelectImportTarget()
{
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM item = CurrentFolderItem();
    if (item && item != tree.GetSelectedItem()) {
        tree.SelectItem(item);
        SetFocus();
    }
    return item;
}

// ---------------------------------------------------------------- plan

void CImportTreeView::RunImportPlan(const ImportPlan& plan, const CString& text)
{
    CTreeCtrl& tree = GetTreeCtrl();
    struct Folder {
        HTREEITEM item;
        CString path;
    };
    HTREEITEM start = CurrentFolderItem();
    if (!start)
        return;
    std::vector<Folder> folders = {{start, GetItemPath(start)}};
    // The chapters are typed the way a pane types them, at the upper pane's text size.
    CArticleModel article;
    if (CMainFrame* frame = GetMainFrame()) {
        if (CImportView* upper = frame->GetArticleView(0))
            article.m_nTextSize = upper->m_nTextSize;
    }
    for (size_t i = 0; i < plan.size() && !m_import.stopped; ++i) {
        const ImportStep& step = plan[i];
        if (step.kind == ImportStep::kEndFolder) {
            if (folders.size() > 1)
                folders.pop_back();
            continue;
        }
        const Folder& parent = folders.back();
        const bool isArticle = step.kind == ImportStep::kArticle;
        // The first item is the book: it gets a name of its own.
        std::vector<CString> siblings;
        if (i == 0) {
            for (HTREEITEM c = tree.GetChildItem(parent.item); c; c = tree.GetNextSiblingItem(c))
                siblings.push_back(tree.GetItemText(c));
        }
        ImportStep fitted = step;
        fitted.title = FitStepTitle(step, parent.path, siblings, i == 0,
                                    isArticle ? kMaxLibraryFilePath : kMaxLibraryFolderPath);
        const CString name = fitted.Name();
        const CString path = AppendPathPart(parent.path, name);
        if (!isArticle) {
            const bool existed = FolderExists(path);
            if (!existed && !CreateDirectoryW(path, nullptr)) {
                NoteImportProblem(path, L"无法创建文件夹（" + SystemErrorText(GetLastError()) + L"），导入中止");
                m_import.stopped = true;
                break;
            }
            HTREEITEM item = InsertLastChild(parent.item, name, true);
            folders.push_back({item ? item : parent.item, path});
            if (item && !existed)
                NoteMadeFolder(item, path);
            continue;
        }
        // A new file in a new place: written straight, never over another file.
        std::string bytes;
        bool built = false;
        try {
            article.NewArticle();
            article.InsertText(text.Mid(step.start, step.end - step.start));
            built = article.BuildArticleFile(bytes);
        } catch (const std::bad_alloc&) {
            article.CloseArticle();
        }
        if (!built || !WriteNewFile(path, bytes.data(), bytes.size())) {
            const CString reason = built ? SystemErrorText(GetLastError()) : CString(L"内存不足");
            NoteImportProblem(path, L"无法写入（" + reason + L"），导入中止");
            m_import.stopped = true;
            break;
        }
        if (HTREEITEM item = InsertLastChild(parent.item, name, false))
            m_import.lastArticle = item;
        ++m_import.articles;
    }
    article.CloseArticle();
}

// ---------------------------------------------------------------- files

void CImportTreeView::SplitChapters(CString name, const CString& text, int, int, CString prefix, CString)
{
    if (m_import.stopped)
        return;
    ImportPlan plan = PlanBook(CleanBookName(name.Mid(name.ReverseFind(L'\\') + 1)), text, prefix);
    RunImportPlan(plan, text);
}

void CImportTreeView::ImportTxtFile(CString path, int source, int number, CString prefix, CString suffix)
{
    if (m_import.stopped)
        return;
    CString text, why;
    TxtDamage damage = TxtDamage::kNone;
    switch (ReadTxtFile(path, text, &damage, &why)) {
    case TxtReadResult::kMissing:
        NoteImportProblem(path, L"文件不存在");
        break;
    case TxtReadResult::kEmpty:
        break;
    case TxtReadResult::kUnreadable:
    case TxtReadResult::kTooLarge:
        NoteImportProblem(path, L"无法读取（" + why + L"）");
        break;
    case TxtReadResult::kText:
        if (damage == TxtDamage::kOddByte)
            NoteImportProblem(path, L"UTF-16 文件的字节数是奇数，末尾不完整的一个字节已忽略");
        else if (damage == TxtDamage::kBadUtf8)
            NoteImportProblem(path, L"UTF-8 文件中有损坏的字节，每处已换成“\uFFFD”");
        SplitChapters(BookNameFromPath(path), text, source, number, prefix, suffix);
        break;
    }
    if (CMainFrame* frame = GetMainFrame()) {
        if (CImportView* upper = frame->GetArticleView(0))
            upper->Redraw();
    }
}

void CImportTreeView::ImportTxtFolder(CTreeCtrl* tree, CString folder, HTREEITEM parent, CString prefix,
                                      CString suffix)
{
    if (!tree || m_import.stopped)
        return;
    if (!parent)
        parent = tree->GetRootItem();
    CFolderImport import(this, parent, prefix, suffix);
    WalkTxtFolder(folder, import);
}

void CImportTreeView::ImportBooks(const std::vector<ImportSource>& sources, int source, int number,
                                  const CString& prefix, const CString& suffix)
{
    // A drop that arrives while an import shows a message is not nested into it.
    if (sources.empty())
        return;
    CImportSession session(this);
    if (!session.IsActive())
        return;
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM target = SelectImportTarget();
    // A folder never opened gets its children first, so the books come after them.
    EnsureFilled(target);
    for (const ImportSource& s : sources) {
        if (m_import.stopped)
            break;
        if (s.folder) {
            if (target && IsFolderAtOrBelow(s.path, GetItemPath(target)))
                NoteImportProblem(s.path, L"导入的目标就在这个文件夹里，文件夹不能导入到它自己或它的子文件夹中");
            else
                ImportTxtFolder(&tree, s.path, target, prefix, suffix);
            continue;
        }
        tree.SelectItem(target);
        SetFocus();
        ImportTxtFile(s.path, source, number, prefix, suffix);
    }
}

// ---------------------------------------------------------------- dialog

void CImportTreeView::ShowImportDialog()
{
    if (m_pImportDlg && m_pImportDlg->m_hWnd) {
        m_pImportDlg->m_strPath.Empty();
        m_pImportDlg->UpdateData(FALSE);
        m_pImportDlg->ShowWindow(SW_SHOWNORMAL);
        return;
    }
    if (!m_pImportDlg)
        m_pImportDlg = new XiaoshuoDlg(this);
    if (m_pImportDlg->Create(IDD_IMPORT_NOVEL, this))
        m_pImportDlg->ShowWindow(SW_SHOW);
}
