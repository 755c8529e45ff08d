// The "control\preSet.ini" a fresh installation carries: the drawn picture
// sets chosen with every page decoration shown, marks and comments on. It is
// written by the same writers as at exit and after the preset dialog.
#pragma once

#include "framework/CString.h"

// Picture sets drawn by the build (tools/gen_resources.py) that the
// shipped preset file names.
extern const wchar_t kShippedBackgroundSet[];   // under control\IMG\背景
extern const wchar_t kShippedVerticalSet[];     // under control\IMG\竖栏
extern const wchar_t kShippedLineSet[];         // under control\IMG\行线

// Writes the file for the program folder programFolder (ending with "\"),
// whose control\IMG folders hold the drawn sets; false when it could not be
// written. DisplaySettings and g_strAppFolder are left as they were.
bool WriteDistributionPreset(const CString& programFolder);
