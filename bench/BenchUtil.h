// Pieces every benchmark needs: a clock, the "name: value unit" line, a
// scratch folder, picture files and generated article text.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "framework/CString.h"

// Milliseconds from a fixed start, for differences.
double BenchNowMs();

// The fastest of runs calls of f, in ms.
template <class F>
double BestOf(int runs, F&& f)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const double t0 = BenchNowMs();
        f();
        const double t = BenchNowMs() - t0;
        if (t < best)
            best = t;
    }
    return best;
}

// One result line: "name: value unit".
void BenchReport(const char* name, double value, const char* unit);

// A fresh name in the temp folder, "<temp><prefix>_<process id>", without a
// trailing separator. Nothing is created.
CString BenchTempFolder(const wchar_t* prefix);

// Deletes a folder with everything in it; a trailing separator is allowed.
void RemoveFolderTree(CString folder);

// Writes a 24-bit BMP file, colour(x, y) giving each pixel.
bool WriteBmp(const wchar_t* path, int w, int h, const std::function<COLORREF(int, int)>& colour);

class CMainFrame;

// Starts the whole program with program (no trailing separator) as its
// folder, message boxes answered at once; null, with everything undone, when
// it did not start.
CMainFrame* BenchStartProgram(const CString& program, const char* bench);
// Closes the frame, ends the program, undoes what BenchStartProgram set and
// removes the program folder.
void BenchStopProgram(CMainFrame* frame, const CString& program);

// Runs the messages waiting for this thread.
void BenchPump();

// Answers every message box at once.
int BenchSilentBox(const wchar_t*, UINT);

// Paragraphs of 100 to 1,000 units, mostly Chinese with Latin letters, CR LF
// between them.
std::wstring BenchArticleText(int chars, unsigned seed);

class CWnd;
class CDocument;
class CImportView;
// A started article pane of w x h filling a new popup frame; null (after a
// line on stderr naming what) without a display or window.
CImportView* CreateBenchPane(CWnd& frame, CDocument& doc, int w, int h, const char* what);
