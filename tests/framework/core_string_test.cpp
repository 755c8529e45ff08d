#include "framework/CString.h"
#include <gtest/gtest.h>

TEST(CStringTest, SearchAndSlice)
{
    CString s(L"0001_新文章.xml");
    EXPECT_EQ(4, s.Find(L'_'));
    EXPECT_EQ(8, s.Find(L".xml"));
    EXPECT_EQ(-1, s.Find(L".xml", 9));
    EXPECT_EQ(CString(L"新文章"), s.Mid(5, 3));
    EXPECT_EQ(CString(L".xml"), s.Right(4));
    EXPECT_EQ(CString(L""), s.Mid(40));
    EXPECT_EQ(CString(L"0001"), s.Left(4));
    EXPECT_EQ(CString(s), s.Left(100));
    EXPECT_EQ(8, s.ReverseFind(L'.'));
}

TEST(CStringTest, EditAndFormat)
{
    CString s;
    s.Format(L"%04d_%s", 7, L"新目录");
    EXPECT_EQ(CString(L"0007_新目录"), s);
    s.Replace(L"新", L"旧的");
    EXPECT_EQ(CString(L"0007_旧的目录"), s);
    s.Delete(0, 5);
    s.Insert(0, L'[');
    EXPECT_EQ(CString(L"[旧的目录"), s);
    CString t(L"  a b \r\n");
    t.Trim();
    EXPECT_EQ(CString(L"a b"), t);
    CString big;
    big.Format(L"%s", CString(L'x', 5000).GetString());
    EXPECT_EQ(5000, big.GetLength());
}

TEST(CStringTest, BufferAndAnsi)
{
    CString s;
    wchar_t* p = s.GetBuffer(10);
    wcscpy(p, L"abc");
    s.ReleaseBuffer();
    EXPECT_EQ(3, s.GetLength());
    // Under code page 936 the GBK bytes of 中 come back as U+4E2D.
    CString a("\xD6\xD0");
    ASSERT_EQ(1, a.GetLength());
    EXPECT_EQ(0x4E2D, a[0]);
    EXPECT_EQ(std::string("\xD6\xD0"), WideToMultiByte(a, -1));
}
