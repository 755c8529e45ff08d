// The text of a clipboard block: Unicode units up to the first zero, never
// past the block's size.
#pragma once

#include <windows.h>
#include "framework/CString.h"

CString TextFromClipboardBlock(const wchar_t* data, SIZE_T blockBytes);
