#include "framework/Collections.h"
#include <gtest/gtest.h>
#include <map>

TEST(CArrayTest, AddInsertRemove)
{
    CArray<int, int> a;
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(-1, a.GetUpperBound());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(i, a.Add(i * 10));
    a.InsertAt(1, 7, 2);                   // 0 7 7 10 20 30 40
    a.RemoveAt(4);                         // 0 7 7 10 30 40
    a.RemoveAt(5, 10);                     // cut at the end: 0 7 7 10 30
    ASSERT_EQ(5, a.GetSize());
    EXPECT_EQ(4, a.GetUpperBound());
    int expect[] = {0, 7, 7, 10, 30};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(expect[i], a[i]) << i;
    a.SetAt(0, -1);
    a.ElementAt(1) += 1;
    EXPECT_EQ(-1, a.GetAt(0));
    EXPECT_EQ(8, a.GetData()[1]);
    a.InsertAt(8, 99);                     // past the end grows with zeros
    ASSERT_EQ(9, a.GetCount());
    EXPECT_EQ(0, a[6]);
    EXPECT_EQ(99, a[8]);
    a.SetSize(2);
    EXPECT_EQ(2, a.GetSize());
    a.SetAtGrow(4, 5);
    EXPECT_EQ(5, a.GetSize());
    EXPECT_EQ(5, a[4]);
    a.RemoveAll();
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(nullptr, a.GetData());
}

TEST(CArrayTest, InsertOwnElementAndAppendSelf)
{
    CStringArray s;
    s.Add(L"第一章");
    s.Add(L"第二章");
    s.InsertAt(0, s[1], 3);                // the argument refers into the array
    ASSERT_EQ(5, s.GetSize());
    EXPECT_EQ(CString(L"第二章"), s[0]);
    EXPECT_EQ(CString(L"第二章"), s[2]);
    EXPECT_EQ(CString(L"第一章"), s[3]);
    EXPECT_EQ(5, s.Append(s));
    EXPECT_EQ(10, s.GetSize());
    EXPECT_EQ(CString(L"第二章"), s[9]);

    CStringArray t;
    t.Copy(s);
    t.RemoveAt(0, 9);
    EXPECT_EQ(1, t.GetSize());
    EXPECT_EQ(10, s.GetSize());
    CArray<CString, const CString&> more;
    more.Add(L"a");
    more.Add(L"b");
    t.InsertAt(0, &more);
    ASSERT_EQ(3, t.GetSize());
    EXPECT_EQ(CString(L"a"), t[0]);
    EXPECT_EQ(CString(L"第二章"), t[2]);
}

TEST(CArrayTest, TypedArrays)
{
    CByteArray b;
    b.SetSize(3);
    EXPECT_EQ(0, b[2]);
    b[2] = 0xFF;
    EXPECT_EQ(0xFF, b.GetAt(2));
    CDWordArray d;
    d.Add(0xFFFFFFFFu);
    EXPECT_EQ(0xFFFFFFFFu, d[0]);
    CPtrArray p;
    int x = 0;
    p.Add(&x);
    EXPECT_EQ(&x, p[0]);
    CUIntArray u;
    CWordArray w;
    u.Add(3);
    w.Add(4);
    int sum = 0;
    for (UINT v : u)
        sum += (int)v;
    for (WORD v : w)
        sum += v;
    EXPECT_EQ(7, sum);
}

TEST(CMapTest, IntegersManyEntries)
{
    CMap<int, int, int, int> m;
    for (int i = -500; i < 1500; ++i)
        m.SetAt(i, i * 2);
    EXPECT_EQ(2000, m.GetCount());
    int v = 0;
    EXPECT_TRUE(m.Lookup(-500, v));
    EXPECT_EQ(-1000, v);
    EXPECT_FALSE(m.Lookup(1500, v));
    for (int i = -500; i < 1500; i += 2)
        EXPECT_TRUE(m.RemoveKey(i));
    EXPECT_FALSE(m.RemoveKey(-500));
    EXPECT_EQ(1000, m.GetCount());
    m[7] += 1;                             // 7 is present: 14 -> 15
    m[8] += 1;                             // 8 was removed: a new zero entry -> 1
    EXPECT_TRUE(m.Lookup(7, v));
    EXPECT_EQ(15, v);
    EXPECT_TRUE(m.Lookup(8, v));
    EXPECT_EQ(1, v);

    std::map<int, int> seen;
    POSITION pos = m.GetStartPosition();
    while (pos) {
        int key = 0, value = 0;
        m.GetNextAssoc(pos, key, value);
        EXPECT_TRUE(seen.emplace(key, value).second) << "key twice: " << key;
    }
    EXPECT_EQ(1001u, seen.size());
    EXPECT_EQ(15, seen[7]);
    m.RemoveAll();
    EXPECT_TRUE(m.IsEmpty());
    EXPECT_EQ(nullptr, m.GetStartPosition());
}

TEST(CMapTest, RemovingTheEntryJustVisited)
{
    CMap<int, int, CString, const CString&> m;
    m.InitHashTable(3);
    for (int i = 0; i < 20; ++i)
        m[i] = CString(L'x', i);
    int visited = 0;
    POSITION pos = m.GetStartPosition();
    while (pos) {
        int key;
        CString value;
        m.GetNextAssoc(pos, key, value);
        EXPECT_EQ(key, value.GetLength());
        if (key % 2)
            m.RemoveKey(key);
        ++visited;
    }
    EXPECT_EQ(20, visited);
    EXPECT_EQ(10, m.GetCount());
}

TEST(CMapTest, StringKeys)
{
    CMapStringToPtr names;
    int a = 1, b = 2;
    names.SetAt(L"藏书库", &a);
    names[CString(L"写小说")] = &b;
    void* p = nullptr;
    EXPECT_TRUE(names.Lookup(L"藏书库", p));
    EXPECT_EQ(&a, p);
    EXPECT_TRUE(names.Lookup(CString(L"写") + L"小说", p));
    EXPECT_EQ(&b, p);
    EXPECT_FALSE(names.Lookup(L"藏书", p));
    EXPECT_TRUE(names.RemoveKey(L"藏书库"));
    EXPECT_EQ(1, names.GetCount());

    CMapStringToString words;
    words[L"int"] = L"类型";
    words.SetAt(L"Int", L"别的");             // case matters
    CString v;
    EXPECT_TRUE(words.Lookup(L"int", v));
    EXPECT_EQ(CString(L"类型"), v);
    EXPECT_EQ(2, words.GetCount());
    POSITION pos = words.GetStartPosition();
    CString key;
    int n = 0;
    while (pos) {
        words.GetNextAssoc(pos, key, v);
        ++n;
    }
    EXPECT_EQ(2, n);

    CMapPtrToPtr ptrs;
    ptrs[&a] = &b;
    EXPECT_TRUE(ptrs.Lookup(&a, p));
    EXPECT_EQ(&b, p);
    EXPECT_FALSE(ptrs.Lookup(&b, p));
}

TEST(CListTest, HeadTailAndPositions)
{
    CStringList l;
    EXPECT_EQ(nullptr, l.GetHeadPosition());
    l.AddTail(L"b");
    l.AddHead(L"a");
    POSITION last = l.AddTail(L"d");
    l.InsertBefore(last, L"c");
    EXPECT_EQ(4, l.GetCount());
    CString all;
    for (POSITION pos = l.GetHeadPosition(); pos;)
        all += l.GetNext(pos);
    EXPECT_EQ(CString(L"abcd"), all);
    all.Empty();
    for (POSITION pos = l.GetTailPosition(); pos;)
        all += l.GetPrev(pos);
    EXPECT_EQ(CString(L"dcba"), all);
    POSITION c = l.Find(L"c");
    ASSERT_NE(nullptr, c);
    EXPECT_EQ(c, l.FindIndex(2));
    l.RemoveAt(c);
    EXPECT_EQ(nullptr, l.Find(L"c"));
    EXPECT_EQ(CString(L"a"), l.RemoveHead());
    EXPECT_EQ(CString(L"d"), l.RemoveTail());
    EXPECT_EQ(CString(L"b"), l.GetHead());
    EXPECT_EQ(CString(L"b"), l.GetTail());
    l.RemoveAll();
    EXPECT_TRUE(l.IsEmpty());
    EXPECT_EQ(nullptr, l.FindIndex(0));
}
