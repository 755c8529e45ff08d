#include "view/ArticleCoder.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>
#include "framework/MessageBox.h"

const char ArticleCodeAlphabet[65] = "MTQZBXkpwm73LFRDWJzrbh/HNVCPGdtxf05KYSAEIjvql91OUsgcyn+82aeiou64";

namespace {

const char kPad = '=';

// Index of each byte in the alphabet, -1 for every other byte.
struct AlphabetIndex {
    signed char index[256];
    AlphabetIndex()
    {
        memset(index, -1, sizeof index);
        for (int i = 0; i < 64; ++i)
            index[(unsigned char)ArticleCodeAlphabet[i]] = (signed char)i;
    }
};

int IndexOf(char c)
{
    static const AlphabetIndex table;
    return table.index[(unsigned char)c];
}

// Whether one UTF-16 unit survives the trip through the ANSI code page; remembered
// per unit for the code page in use.
bool UnitFitsCodePage(wchar_t unit)
{
    static UINT cachedPage = 0;
    static std::vector<unsigned char> known;   // 0 unknown, 1 fits, 2 does not
    UINT page = GetACP();
    if (page != cachedPage || known.empty()) {
        known.assign(65536, 0);
        cachedPage = page;
    }
    if (unit < 0x80)
        return true;
    unsigned char& state = known[unit];
    if (!state) {
        char bytes[8];
        wchar_t back[4];
        int n = WideCharToMultiByte(CP_ACP, 0, &unit, 1, bytes, sizeof bytes, nullptr, nullptr);
        int m = n > 0 ? MultiByteToWideChar(CP_ACP, 0, bytes, n, back, 4) : 0;
        state = (m == 1 && back[0] == unit) ? 1 : 2;
    }
    return state == 1;
}

// Every unit the code page cannot hold becomes a numeric character reference, which
// the XML reader turns back into the unit; text that fits stays as it is.
const CString& ReferenceForeignUnits(const CString& text, CString& scratch)
{
    const int n = text.GetLength();
    int i = 0;
    while (i < n && UnitFitsCodePage(text[i]))
        ++i;
    if (i == n)
        return text;
    scratch = CString(text.GetString(), i);
    scratch.Preallocate(n + 64);
    for (; i < n; ++i) {
        wchar_t u = text[i];
        if (UnitFitsCodePage(u)) {
            scratch += u;
        } else {
            wchar_t ref[16];
            swprintf(ref, 16, L"&#%u;", (unsigned)u);
            scratch += ref;
        }
    }
    return scratch;
}

} // namespace

int ArticleCodeEncode(const unsigned char* in, int length, char** out)
{
    if (length < 0 || !in)
        length = 0;
    size_t size = (size_t)length * 4 / 3 + 4;
    char* buffer = (char*)calloc(size, 1);
    if (!buffer)
        return -1;
    size_t w = 0;
    for (int i = 0; i < length; i += 3) {
        int have = length - i < 3 ? length - i : 3;
        unsigned value = (unsigned)in[i] << 16;
        if (have > 1)
            value |= (unsigned)in[i + 1] << 8;
        if (have > 2)
            value |= in[i + 2];
        buffer[w++] = ArticleCodeAlphabet[(value >> 18) & 63];
        buffer[w++] = ArticleCodeAlphabet[(value >> 12) & 63];
        buffer[w++] = have > 1 ? ArticleCodeAlphabet[(value >> 6) & 63] : kPad;
        buffer[w++] = have > 2 ? ArticleCodeAlphabet[value & 63] : kPad;
    }
    buffer[w] = 0;
    *out = buffer;
    return (int)w;
}

int ArticleCodeDecode(const char* in, unsigned char* out)
{
    if (!in || !*in)
        return 0;
    const size_t n = strlen(in);
    size_t pos = 0;
    int written = 0;
    for (;;) {
        char first = in[pos];
        if (first != kPad && IndexOf(first) < 0)
            return written;
        if (n - pos < 4)
            return -1;
        int value = 0;
        int pads = 0;
        for (int k = 0; k < 4; ++k) {
            char c = in[pos + k];
            value *= 64;
            if (c == kPad) {
                ++pads;
            } else {
                if (pads)
                    return -1;
                int index = IndexOf(c);
                value += index >= 0 ? index : -1;
            }
        }
        if (pads >= 3)
            return -1;
        out[written++] = (unsigned char)(value >> 16);
        if (pads < 2)
            out[written++] = (unsigned char)(value >> 8);
        if (pads == 0)
            out[written++] = (unsigned char)value;
        pos += 4;
        if (pos >= n)
            return written;
    }
}

int EncodeArticleText(const CString& text, CString& out)
{
    char* coded = nullptr;
    int length = -1;
    try {
        CString scratch;
        const CString& fitting = ReferenceForeignUnits(text, scratch);
        std::string bytes;
        if (!fitting.IsEmpty()) {
            // Size the buffer from the converter's own answer.
            int need = WideCharToMultiByte(CP_ACP, 0, fitting.GetString(), fitting.GetLength(),
                                           nullptr, 0, nullptr, nullptr);
            if (need > 0) {
                bytes.resize((size_t)need);
                need = WideCharToMultiByte(CP_ACP, 0, fitting.GetString(), fitting.GetLength(),
                                           &bytes[0], need, nullptr, nullptr);
                bytes.resize(need > 0 ? (size_t)need : 0);
            } else {
                bytes.clear();
            }
            size_t zero = bytes.find('\0');
            if (zero != std::string::npos)
                bytes.resize(zero);
        }
        length = ArticleCodeEncode((const unsigned char*)bytes.data(), (int)bytes.size(), &coded);
        if (length >= 0) {
            CString result;
            wchar_t* dst = result.GetBufferSetLength(length);
            for (int i = 0; i < length; ++i)
                dst[i] = (unsigned char)coded[i];
            result.ReleaseBuffer(length);
            out = std::move(result);
        }
    } catch (const std::bad_alloc&) {
        length = -1;
    }
    free(coded);
    if (length < 0) {
        AfxMessageBox(L"保存文件时，堆中未能成功分配空间");
        return -1;
    }
    return length;
}

int DecodeArticleText(const CString& stored, CString& out)
{
    std::string bytes;
    if (!stored.IsEmpty()) {
        int need = WideCharToMultiByte(CP_ACP, 0, stored.GetString(), stored.GetLength(), nullptr,
                                       0, nullptr, nullptr);
        if (need > 0) {
            bytes.resize((size_t)need);
            need = WideCharToMultiByte(CP_ACP, 0, stored.GetString(), stored.GetLength(),
                                       &bytes[0], need, nullptr, nullptr);
            bytes.resize(need > 0 ? (size_t)need : 0);
        }
    }
    std::vector<unsigned char> decoded(bytes.size() / 4 * 3 + 4, 0);
    int result = ArticleCodeDecode(bytes.c_str(), decoded.data());
    // Whatever decoded is handed on, up to the first zero byte.
    size_t used = 0;
    while (used < decoded.size() && decoded[used])
        ++used;
    out.Empty();
    if (used) {
        int need = MultiByteToWideChar(CP_ACP, 0, (const char*)decoded.data(), (int)used,
                                       nullptr, 0);
        if (need > 0) {
            wchar_t* dst = out.GetBufferSetLength(need);
            need = MultiByteToWideChar(CP_ACP, 0, (const char*)decoded.data(), (int)used, dst,
                                       need);
            out.ReleaseBuffer(need > 0 ? need : 0);
        }
    }
    return result;
}
