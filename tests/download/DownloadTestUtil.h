// Text in the encodings the download tests write: GBK (the update list, stored
// names) and UTF-8 (flagged zip names).
#pragma once

#include <cwchar>
#include <string>

#include "framework/CString.h"

namespace dltest {

inline std::string Gbk(const wchar_t* s)
{
    return WideToMultiByte(s, (int)wcslen(s), 936);
}

inline std::string Utf8(const wchar_t* s)
{
    return WideToMultiByte(s, (int)wcslen(s), CP_UTF8);
}

} // namespace dltest
