// Wide string with the familiar CString interface, stored as UTF-16 units.
#pragma once

#include <windows.h>
#include <string>
#include <cstdarg>

class CString {
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString(const wchar_t* s) { if (s) m_s = s; }
    CString(const wchar_t* s, int len) { if (s && len > 0) m_s.assign(s, len); }
    CString(wchar_t ch, int repeat = 1) { if (repeat > 0) m_s.assign(repeat, ch); }
    // Narrow text is taken in the thread's ANSI code page.
    CString(const char* s);
    CString(const std::wstring& s) : m_s(s) {}

    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(const wchar_t* s) { if (s) m_s = s; else m_s.clear(); return *this; }
    CString& operator=(wchar_t ch) { m_s.assign(1, ch); return *this; }
    CString& operator=(const char* s) { return *this = CString(s); }

    operator const wchar_t*() const { return m_s.c_str(); }
    const wchar_t* GetString() const { return m_s.c_str(); }
    const std::wstring& str() const { return m_s; }
    std::wstring& str() { return m_s; }

    int GetLength() const { return (int)m_s.size(); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    wchar_t GetAt(int i) const { return m_s[(size_t)i]; }
    void SetAt(int i, wchar_t ch) { m_s[(size_t)i] = ch; }
    wchar_t operator[](int i) const { return m_s[(size_t)i]; }

    CString& operator+=(const CString& s) { m_s += s.m_s; return *this; }
    CString& operator+=(const wchar_t* s) { if (s) m_s += s; return *this; }
    CString& operator+=(wchar_t ch) { m_s += ch; return *this; }
    void Append(const wchar_t* s, int len) { if (s && len > 0) m_s.append(s, (size_t)len); }
    void AppendChar(wchar_t ch) { m_s += ch; }

    friend CString operator+(const CString& a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, const wchar_t* b) { CString r(a); r += b; return r; }
    friend CString operator+(const wchar_t* a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, wchar_t b) { CString r(a); r += b; return r; }
    friend CString operator+(wchar_t a, const CString& b) { CString r(a); r += b; return r; }

    friend bool operator==(const CString& a, const CString& b) { return a.m_s == b.m_s; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.m_s == (b ? b : L""); }
    friend bool operator==(const wchar_t* a, const CString& b) { return b == a; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const wchar_t* b) { return !(a == b); }
    friend bool operator!=(const wchar_t* a, const CString& b) { return !(b == a); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_s < b.m_s; }

    int Compare(const wchar_t* s) const { return wcscmp(m_s.c_str(), s ? s : L""); }
    int CompareNoCase(const wchar_t* s) const;

    CString Mid(int first) const { return Mid(first, GetLength()); }
    CString Mid(int first, int count) const;
    CString Left(int count) const { return Mid(0, count); }
    CString Right(int count) const;

    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* sub, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    int FindOneOf(const wchar_t* set) const;

    int Replace(const wchar_t* from, const wchar_t* to);
    int Replace(wchar_t from, wchar_t to);
    int Remove(wchar_t ch);
    int Insert(int index, const wchar_t* s);
    int Insert(int index, wchar_t ch);
    int Delete(int index, int count = 1);

    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();
    CString& Trim(const wchar_t* set);
    CString& TrimLeft(const wchar_t* set);
    CString& TrimRight(const wchar_t* set);
    CString& MakeLower();
    CString& MakeUpper();
    CString SpanIncluding(const wchar_t* set) const;
    CString SpanExcluding(const wchar_t* set) const;
    CString Tokenize(const wchar_t* delims, int& start) const;

    void Format(const wchar_t* fmt, ...);
    void FormatV(const wchar_t* fmt, va_list args);
    void AppendFormat(const wchar_t* fmt, ...);
    // Loads a string resource of the running module; false when absent.
    BOOL LoadString(UINT id);

    // Raw buffer access: GetBuffer gives room for at least minLength units,
    // ReleaseBuffer cuts the string at newLength or at the first zero.
    wchar_t* GetBuffer(int minLength = 0);
    wchar_t* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);
    void Preallocate(int length) { m_s.reserve((size_t)length); }

private:
    std::wstring m_s;
};

typedef CString CStringW;

// Converts between UTF-16 and a code page; CP_ACP is the thread's ANSI page.
std::string WideToMultiByte(const wchar_t* s, int len, UINT codePage = CP_ACP);
CString MultiByteToWide(const char* s, int len, UINT codePage = CP_ACP);
