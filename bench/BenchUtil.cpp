#include "bench/BenchUtil.h"
#include "framework/FileUtil.h"

#include "framework/Doc.h"
#include "framework/Frame.h"
#include "framework/Ids.h"
#include "view/ImportView.h"

#include <cstdio>
#include <vector>

#include "app/ImportApp.h"
#include "app/MainFrm.h"
#include "framework/MessageBox.h"

namespace {

AfxMessageBoxHook g_oldBoxHook = nullptr;

} // namespace

CMainFrame* BenchStartProgram(const CString& program, const char* bench)
{
    g_oldBoxHook = AfxSetMessageBoxHook(&BenchSilentBox);
    CImportApp::SetAppFolderOverride(program + L"\\");
    if (!theApp.InitInstance()) {
        fprintf(stderr, "%s: the program did not start\n", bench);
        BenchStopProgram(nullptr, program);
        return nullptr;
    }
    CMainFrame* frame = DYNAMIC_DOWNCAST(CMainFrame, theApp.m_pMainWnd);
    BenchPump();
    return frame;
}

void BenchStopProgram(CMainFrame* frame, const CString& program)
{
    if (frame) {
        frame->SendMessage(WM_CLOSE);
        BenchPump();
        theApp.ExitInstance();
    }
    CImportApp::SetAppFolderOverride(CString());
    AfxSetMessageBoxHook(g_oldBoxHook);
    RemoveFolderTree(program);
}

double BenchNowMs()
{
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1000.0 / (double)freq.QuadPart;
}

void BenchReport(const char* name, double value, const char* unit)
{
    printf("%s: %.2f %s\n", name, value, unit);
    fflush(stdout);
}

CString BenchTempFolder(const wchar_t* prefix)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    CString folder;
    folder.Format(L"%s%s_%lu", temp, prefix, GetCurrentProcessId());
    return folder;
}

void RemoveFolderTree(CString folder)
{
    DeleteFolderTree(folder);
}

bool WriteBmp(const wchar_t* path, int w, int h, const std::function<COLORREF(int, int)>& colour)
{
    int stride = (w * 3 + 3) & ~3;
    std::vector<BYTE> file(54 + (size_t)stride * h, 0);
    BITMAPFILEHEADER* fh = (BITMAPFILEHEADER*)file.data();
    BITMAPINFOHEADER* ih = (BITMAPINFOHEADER*)(file.data() + 14);
    fh->bfType = 0x4D42;
    fh->bfSize = (DWORD)file.size();
    fh->bfOffBits = 54;
    ih->biSize = 40;
    ih->biWidth = w;
    ih->biHeight = h;
    ih->biPlanes = 1;
    ih->biBitCount = 24;
    for (int y = 0; y < h; ++y) {
        BYTE* row = file.data() + 54 + (size_t)(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            COLORREF c = colour(x, y);
            row[x * 3] = GetBValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetRValue(c);
        }
    }
    HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(f, file.data(), (DWORD)file.size(), &written, NULL);
    CloseHandle(f);
    return ok && written == file.size();
}

void BenchPump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

int BenchSilentBox(const wchar_t*, UINT)
{
    return IDOK;
}

std::wstring BenchArticleText(int chars, unsigned seed)
{
    std::wstring text;
    int left = 0;
    while ((int)text.size() < chars) {
        seed = seed * 1103515245u + 12345u;
        if (left-- <= 0) {
            if (!text.empty())
                text += L"\r\n";
            left = 100 + (int)((seed >> 8) % 900);
            continue;
        }
        text += (seed >> 8) % 10 < 7 ? (wchar_t)(0x4E00 + (seed >> 12) % 0x5000)
                                     : (wchar_t)(L'a' + (seed >> 12) % 26);
    }
    return text;
}

CImportView* CreateBenchPane(CWnd& frame, CDocument& doc, int w, int h, const char* what)
{
    if (!frame.CreateEx(0, AfxDefaultWndClass(), L"bench", WS_POPUP | WS_VISIBLE, 0, 0, w, h,
                        NULL, NULL)) {
        fprintf(stderr, "%s: no display\n", what);
        return nullptr;
    }
    CCreateContext context;
    context.m_pCurrentDoc = &doc;
    CImportView* view = new CImportView;
    if (!view->Create(NULL, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, w, h), &frame,
                      AFX_IDW_PANE_FIRST, &context)) {
        delete view;
        fprintf(stderr, "%s: no window\n", what);
        return nullptr;
    }
    view->OnInitialUpdate();
    return view;
}
