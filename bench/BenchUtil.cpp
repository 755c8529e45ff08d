#include "bench/BenchUtil.h"
#include "framework/FileUtil.h"

#include <cstdio>
#include <vector>

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
