// Choosing and naming the decoration pictures of an image set, shared by the
// article pane and the dialogs so both show the same strips.
#pragma once

#include <windows.h>

#include <cstddef>

#include "app/DisplaySettings.h"

// Colour keys: every pixel from this grey up to white is transparent.
const COLORREF kLinePictureKey = RGB(200, 200, 200);    // bars, rules, separators
const COLORREF kSidePictureKey = RGB(220, 220, 220);    // strips and side bars

// The index rule of the decoration settings: an index that is negative or
// not below count is replaced by a random pick (the C runtime's rand()) and
// stored back. An empty list leaves the index alone and gives -1.
int PickPictureIndex(int& index, size_t count);

// folder + sub + "\" + the index-th name; empty when the index is outside the list.
CString PicturePath(const ImageSet& set, int index, const wchar_t* sub = L"");
