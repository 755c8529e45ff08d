// Process-wide display settings, colour schemes and program folder.
// Touched only from the user-interface thread (strVersion excepted).
#pragma once
#include <windows.h>
#include <vector>
#include "framework/CString.h"

// A folder of decoration pictures and the names of the files found in it.
struct ImageSet {
    CString strFolder;
    std::vector<CString> vecFiles;   // names only; full path = folder + "\" + name
};

struct ColorScheme {
    CString Name;
    COLORREF CBg, CText, Zhuwen, Xiaokuohao, Dakuohao, CurInXiao, CurInDa, Left, Control,
        Int, Fun, DFun, Var, TRUE_, Yinhao, Digit, Bg, Text;
};

struct DisplaySettingsBlock {
    // current colours
    COLORREF clrBg = 0xFFFFFF, clrText = 0x000000, clrCBg = 0x000000, clrCText = 0xFFFF00,
             clrZhuwen = 0x00FFFF, clrXiaokuohao = 0xFF00FF, clrDakuohao = 0xFF00FF,
             clrCurInXiao = 0x6FD39B, clrCurInDa = 0x99FFCC, clrLeft = 0x9BE964,
             clrControl = 0x00FF00, clrInt = 0xC8C880, clrFun = 0xC89B00, clrDFun = 0x7A7AFF,
             clrVar = 0x32FE2F, clrTrue = 0xFF00FF, clrYinhao = 0xFFFF00, clrDigit = 0xFF0000;
    // layout and decorations
    int nPageWidth = 1000;
    int nWholeTB0 = -1, nWholeTB1 = -1, nWholeLR0 = -1, nWholeLR1 = -1;
    int bWholeLeft = 0, bWholeTop = 0, bWholeBottom = 0;
    int bLineMode = 0, nLineMode = 1, bPramMode = 0, nPramMode = 1, bVerticalMode = 0, nVerticalMode = 1;
    int nPramLen = 6, nPramWidth = 5, nHorize = 3, nVertical = 0, nVerticalWidth = 201, nSelect = 3;
    int Index0 = 0, Index1 = 0, Count = 0;
    int Increase = 0;
    int bComment = 0, bSingle = 0, nBiaozhu = 0;
    int nBlockFontSize = 25;
    CString strVersion;
    CString strBackgroundFile;
    ImageSet BackgroundSet, VerticalSet, LineSet;
};

extern DisplaySettingsBlock DisplaySettings;
extern std::vector<ColorScheme> vecColorSchemes;
extern CString g_strAppFolder;     // program folder, ends with '\'
extern BOOL bImporting;            // a TXT import is running
// A scheme's 18 colours become the current ones / the current ones go into a scheme.
void ApplyColorScheme(const ColorScheme& scheme);
void StoreCurrentColors(ColorScheme& scheme);

// g_strAppFolder + "control\Color.xml".
CString ColorXmlPath();
// "control\Color.xml" beside the program: current colours and named schemes.
// Appends the file's schemes; a missing or unreadable file changes nothing.
void LoadColorXml();
// Writes the file safely; false (after one message naming the path) when it could not be written.
bool SaveColorXml();
