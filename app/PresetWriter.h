// Writing the layout part of "control\preSet.ini" at exit.
#pragma once
#include <windows.h>
#include "framework/CString.h"

// Writes [Version], [Background], [Color], [Page] and [Inc] from
// DisplaySettings into path, one key at a time, in a fixed order. A picture
// folder lying directly in its default folder under the program folder
// ("control\IMG\背景", "竖栏", "行线") is written as its own name only;
// switches are written as "1" or "0"; an empty version is written as the
// program's own. The keys of [Size], [Biaozhu], [Distance] and [FontName]
// are left alone.
void SavePreSetIni(const CString& path);

// The value written for a picture folder: the last component when the part
// before it equals defaultFolder exactly (letter case included), else the
// whole folder.
CString ShortPictureFolder(const CString& folder, const CString& defaultFolder);

// The settings files written at exit, in order: "control\Color.xml", then
// "control\preSet.ini"; both are created when missing (a first run).
void SaveSettingsAtExit();
