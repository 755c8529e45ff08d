// Build step: writes control\preSet.ini beside this program (the program
// folder of the build), after the decoration pictures have been drawn there.
#include <windows.h>
#include <cstdio>

#include "app/DistributionPreset.h"

int wmain()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString folder = path;
    folder = folder.Left(folder.ReverseFind(L'\\') + 1);
    if (!WriteDistributionPreset(folder)) {
        fwprintf(stderr, L"control\\preSet.ini could not be written\n");
        return 1;
    }
    return 0;
}
