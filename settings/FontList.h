// The font lists of the settings dialogs: every TrueType face of every
// character set once, without the "@" vertical faces, "默认" first.
#pragma once

#include <vector>

#include "framework/CString.h"

class CComboBox;

// Adds each enumerated face to every list (a font neither raster nor
// TrueType adds an empty name); false when the enumeration gave nothing.
bool AddSystemFonts(const std::vector<CComboBox*>& lists);
// Removes repeats (the lists are sorted) and "@" faces, selects the first
// item equal to select (exactly) when select is not empty, and puts "默认"
// in front.
void TidyFontList(CComboBox& list, const CString& select);

// Exact, case-sensitive search; -1 when no item equals text.
int FindExactItem(CComboBox& list, const CString& text);
