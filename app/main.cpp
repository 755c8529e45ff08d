// Entry point: the framework runs theApp (ImportApp.cpp).
#include <windows.h>
#include "app/ImportApp.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow)
{
    if (AfxGetApp() != &theApp)
        return -1;
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
