// Text in the encodings the download tests write: GBK (the update list, stored
// names) and UTF-8 (flagged zip names); bodies sent in chunks.
#pragma once

#include <algorithm>
#include <cstdio>
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

// The body in chunks of a size; the closing 0-chunk when last.
inline std::string Chunked(const std::string& in, size_t piece, bool last = true)
{
    std::string out;
    for (size_t i = 0; i < in.size(); i += piece) {
        const size_t n = std::min(piece, in.size() - i);
        char size[32];
        snprintf(size, sizeof(size), "%x\r\n", (unsigned)n);
        out += size + in.substr(i, n) + "\r\n";
    }
    if (last)
        out += "0\r\n\r\n";
    return out;
}

} // namespace dltest
