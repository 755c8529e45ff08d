#include "CString.h"

#include <cwchar>
#include <cwctype>
#include <vector>

std::string WideToMultiByte(const wchar_t* s, int len, UINT codePage)
{
    if (!s || len == 0) return std::string();
    if (len < 0) len = (int)wcslen(s);
    int n = WideCharToMultiByte(codePage, 0, s, len, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out((size_t)n, '\0');
    WideCharToMultiByte(codePage, 0, s, len, &out[0], n, nullptr, nullptr);
    return out;
}

CString MultiByteToWide(const char* s, int len, UINT codePage)
{
    if (!s || len == 0) return CString();
    if (len < 0) len = (int)strlen(s);
    int n = MultiByteToWideChar(codePage, 0, s, len, nullptr, 0);
    if (n <= 0) return CString();
    CString out;
    wchar_t* p = out.GetBufferSetLength(n);
    MultiByteToWideChar(codePage, 0, s, len, p, n);
    out.ReleaseBuffer(n);
    return out;
}

CString::CString(const char* s)
{
    if (s) *this = MultiByteToWide(s, -1);
}

int CString::CompareNoCase(const wchar_t* s) const
{
    return _wcsicmp(m_s.c_str(), s ? s : L"");
}

CString CString::Mid(int first, int count) const
{
    int len = GetLength();
    if (first < 0) first = 0;
    if (count < 0) count = 0;
    if (first >= len) return CString();
    if (count > len - first) count = len - first;
    return CString(m_s.substr((size_t)first, (size_t)count));
}

CString CString::Right(int count) const
{
    int len = GetLength();
    if (count <= 0) return CString();
    if (count >= len) return *this;
    return CString(m_s.substr((size_t)(len - count)));
}

int CString::Find(wchar_t ch, int start) const
{
    if (start < 0) start = 0;
    if (start >= GetLength()) return -1;
    size_t p = m_s.find(ch, (size_t)start);
    return p == std::wstring::npos ? -1 : (int)p;
}

int CString::Find(const wchar_t* sub, int start) const
{
    if (!sub) return -1;
    if (start < 0) start = 0;
    if (start > GetLength()) return -1;
    size_t p = m_s.find(sub, (size_t)start);
    return p == std::wstring::npos ? -1 : (int)p;
}

int CString::ReverseFind(wchar_t ch) const
{
    size_t p = m_s.rfind(ch);
    return p == std::wstring::npos ? -1 : (int)p;
}

int CString::FindOneOf(const wchar_t* set) const
{
    if (!set) return -1;
    size_t p = m_s.find_first_of(set);
    return p == std::wstring::npos ? -1 : (int)p;
}

int CString::Replace(const wchar_t* from, const wchar_t* to)
{
    if (!from || !*from) return 0;
    std::wstring f(from), t(to ? to : L"");
    int count = 0;
    size_t pos = 0;
    std::wstring out;
    out.reserve(m_s.size());
    while (true) {
        size_t p = m_s.find(f, pos);
        if (p == std::wstring::npos) break;
        out.append(m_s, pos, p - pos);
        out += t;
        pos = p + f.size();
        ++count;
    }
    if (count) {
        out.append(m_s, pos, std::wstring::npos);
        m_s.swap(out);
    }
    return count;
}

int CString::Replace(wchar_t from, wchar_t to)
{
    int count = 0;
    for (auto& c : m_s)
        if (c == from) { c = to; ++count; }
    return count;
}

int CString::Remove(wchar_t ch)
{
    size_t before = m_s.size();
    std::wstring out;
    out.reserve(before);
    for (wchar_t c : m_s)
        if (c != ch) out += c;
    m_s.swap(out);
    return (int)(before - m_s.size());
}

int CString::Insert(int index, const wchar_t* s)
{
    if (index < 0) index = 0;
    if (index > GetLength()) index = GetLength();
    if (s) m_s.insert((size_t)index, s);
    return GetLength();
}

int CString::Insert(int index, wchar_t ch)
{
    wchar_t buf[2] = {ch, 0};
    return Insert(index, buf);
}

int CString::Delete(int index, int count)
{
    if (index < 0) index = 0;
    if (count > 0 && index < GetLength()) {
        if (count > GetLength() - index) count = GetLength() - index;
        m_s.erase((size_t)index, (size_t)count);
    }
    return GetLength();
}

static bool InSet(wchar_t c, const wchar_t* set)
{
    if (!set) return iswspace(c) != 0;
    return wcschr(set, c) != nullptr && c != 0;
}

CString& CString::TrimLeft(const wchar_t* set)
{
    size_t i = 0;
    while (i < m_s.size() && InSet(m_s[i], set)) ++i;
    m_s.erase(0, i);
    return *this;
}

CString& CString::TrimRight(const wchar_t* set)
{
    size_t n = m_s.size();
    while (n > 0 && InSet(m_s[n - 1], set)) --n;
    m_s.resize(n);
    return *this;
}

CString& CString::Trim(const wchar_t* set) { TrimRight(set); return TrimLeft(set); }
CString& CString::Trim() { return Trim(nullptr); }
CString& CString::TrimLeft() { return TrimLeft(nullptr); }
CString& CString::TrimRight() { return TrimRight(nullptr); }

CString& CString::MakeLower()
{
    if (!m_s.empty()) CharLowerBuffW(&m_s[0], (DWORD)m_s.size());
    return *this;
}

CString& CString::MakeUpper()
{
    if (!m_s.empty()) CharUpperBuffW(&m_s[0], (DWORD)m_s.size());
    return *this;
}

CString CString::SpanIncluding(const wchar_t* set) const
{
    size_t i = 0;
    while (i < m_s.size() && set && wcschr(set, m_s[i]) && m_s[i]) ++i;
    return Left((int)i);
}

CString CString::SpanExcluding(const wchar_t* set) const
{
    size_t i = 0;
    while (i < m_s.size() && !(set && wcschr(set, m_s[i]) && m_s[i])) ++i;
    return Left((int)i);
}

CString CString::Tokenize(const wchar_t* delims, int& start) const
{
    if (start < 0) { return CString(); }
    int len = GetLength();
    while (start < len && InSet(m_s[(size_t)start], delims)) ++start;
    if (start >= len) { start = -1; return CString(); }
    int end = start;
    while (end < len && !InSet(m_s[(size_t)end], delims)) ++end;
    CString tok = Mid(start, end - start);
    start = end + 1;
    return tok;
}

void CString::FormatV(const wchar_t* fmt, va_list args)
{
    if (!fmt) { m_s.clear(); return; }
    std::vector<wchar_t> buf(256);
    while (true) {
        va_list copy;
        va_copy(copy, args);
        int n = _vsnwprintf(buf.data(), buf.size() - 1, fmt, copy);
        va_end(copy);
        if (n >= 0 && (size_t)n < buf.size() - 1) {
            m_s.assign(buf.data(), (size_t)n);
            return;
        }
        if (buf.size() > (64u << 20)) { m_s.clear(); return; }
        buf.resize(buf.size() * 2);
    }
}

void CString::Format(const wchar_t* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    FormatV(fmt, args);
    va_end(args);
}

void CString::AppendFormat(const wchar_t* fmt, ...)
{
    CString tail;
    va_list args;
    va_start(args, fmt);
    tail.FormatV(fmt, args);
    va_end(args);
    m_s += tail.m_s;
}

BOOL CString::LoadString(UINT id)
{
    const wchar_t* p = nullptr;
    int n = ::LoadStringW(GetModuleHandleW(nullptr), id, (LPWSTR)&p, 0);
    if (n <= 0 || !p) { m_s.clear(); return FALSE; }
    m_s.assign(p, (size_t)n);
    return TRUE;
}

wchar_t* CString::GetBuffer(int minLength)
{
    if (minLength > GetLength()) m_s.resize((size_t)minLength);
    if (m_s.empty()) m_s.reserve(1);
    return &m_s[0];
}

wchar_t* CString::GetBufferSetLength(int length)
{
    m_s.resize(length > 0 ? (size_t)length : 0);
    return &m_s[0];
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0) {
        size_t n = wcsnlen(m_s.c_str(), m_s.size());
        m_s.resize(n);
    } else if ((size_t)newLength <= m_s.size()) {
        m_s.resize((size_t)newLength);
    }
}
