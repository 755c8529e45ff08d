// Arrays, maps and lists with the familiar MFC-style interface.
// Arrays wrap std::vector; maps are chained hash tables so that a POSITION can
// walk them while other entries are added or removed.
#pragma once
#include <windows.h>
#include <vector>
#include <cstdint>
#include <type_traits>
#include <utility>
#include "framework/CString.h"

#ifndef BRINDLE_POSITION_DEFINED
#define BRINDLE_POSITION_DEFINED
struct FwPositionTag;
typedef FwPositionTag* POSITION;   // opaque place in a map or list
#endif

// ---------------------------------------------------------------- arrays

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray {
public:
    CArray() = default;

    INT_PTR GetSize() const { return (INT_PTR)m_v.size(); }
    INT_PTR GetCount() const { return (INT_PTR)m_v.size(); }
    bool IsEmpty() const { return m_v.empty(); }
    INT_PTR GetUpperBound() const { return (INT_PTR)m_v.size() - 1; }

    // nGrowBy is accepted for compatibility; growth is the vector's own.
    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1)
    {
        (void)nGrowBy;
        m_v.resize(nNewSize < 0 ? 0 : (size_t)nNewSize);
    }
    void FreeExtra() { m_v.shrink_to_fit(); }
    void RemoveAll() { m_v.clear(); }

    const TYPE& GetAt(INT_PTR i) const { return m_v[(size_t)i]; }
    TYPE& GetAt(INT_PTR i) { return m_v[(size_t)i]; }
    void SetAt(INT_PTR i, ARG_TYPE e) { m_v[(size_t)i] = e; }
    TYPE& ElementAt(INT_PTR i) { return m_v[(size_t)i]; }
    const TYPE& ElementAt(INT_PTR i) const { return m_v[(size_t)i]; }
    const TYPE& operator[](INT_PTR i) const { return m_v[(size_t)i]; }
    TYPE& operator[](INT_PTR i) { return m_v[(size_t)i]; }
    const TYPE* GetData() const { return m_v.empty() ? nullptr : m_v.data(); }
    TYPE* GetData() { return m_v.empty() ? nullptr : m_v.data(); }

    // Grows the array when i is past its end.
    void SetAtGrow(INT_PTR i, ARG_TYPE e)
    {
        if ((size_t)i >= m_v.size())
            m_v.resize((size_t)i + 1);
        m_v[(size_t)i] = e;
    }
    INT_PTR Add(ARG_TYPE e)
    {
        m_v.push_back(e);
        return (INT_PTR)m_v.size() - 1;
    }
    INT_PTR Append(const CArray& src)
    {
        INT_PTR old = GetSize();
        if (&src == this) {
            std::vector<TYPE> copy(src.m_v);
            m_v.insert(m_v.end(), copy.begin(), copy.end());
        } else {
            m_v.insert(m_v.end(), src.m_v.begin(), src.m_v.end());
        }
        return old;
    }
    void Copy(const CArray& src)
    {
        if (&src != this)
            m_v = src.m_v;
    }
    // Inserts count copies at i; past the end the array grows first.
    void InsertAt(INT_PTR i, ARG_TYPE e, INT_PTR count = 1)
    {
        if (count <= 0)
            return;
        TYPE value(e);   // e may refer into the array
        if ((size_t)i >= m_v.size())
            m_v.resize((size_t)i);
        m_v.insert(m_v.begin() + i, (size_t)count, value);
    }
    void InsertAt(INT_PTR i, const CArray* src)
    {
        if (!src || src->m_v.empty())
            return;
        std::vector<TYPE> copy(src->m_v);
        if ((size_t)i >= m_v.size())
            m_v.resize((size_t)i);
        m_v.insert(m_v.begin() + i, copy.begin(), copy.end());
    }
    void RemoveAt(INT_PTR i, INT_PTR count = 1)
    {
        if (i < 0 || count <= 0 || (size_t)i >= m_v.size())
            return;
        size_t end = (size_t)i + (size_t)count;
        if (end > m_v.size())
            end = m_v.size();
        m_v.erase(m_v.begin() + i, m_v.begin() + end);
    }

    // Range-for support.
    typename std::vector<TYPE>::iterator begin() { return m_v.begin(); }
    typename std::vector<TYPE>::iterator end() { return m_v.end(); }
    typename std::vector<TYPE>::const_iterator begin() const { return m_v.begin(); }
    typename std::vector<TYPE>::const_iterator end() const { return m_v.end(); }

private:
    std::vector<TYPE> m_v;
};

class CPtrArray : public CArray<void*, void*> {};
class CByteArray : public CArray<BYTE, BYTE> {};
class CWordArray : public CArray<WORD, WORD> {};
class CDWordArray : public CArray<DWORD, DWORD> {};
class CUIntArray : public CArray<UINT, UINT> {};
class CStringArray : public CArray<CString, const CString&> {};

// ---------------------------------------------------------------- hashing

inline UINT FwMixHash(uint64_t v)
{
    v ^= v >> 33;
    v *= 0xff51afd7ed558ccdULL;
    v ^= v >> 33;
    return (UINT)v;
}

inline UINT FwStringHash(const wchar_t* s)
{
    UINT h = 2166136261u;   // FNV-1a over the UTF-16 units
    if (s)
        for (; *s; ++s) {
            h ^= (UINT)*s;
            h *= 16777619u;
        }
    return h;
}

inline UINT HashKey(const wchar_t* key) { return FwStringHash(key); }
inline UINT HashKey(const CString& key) { return FwStringHash(key.GetString()); }
template <class T>
inline typename std::enable_if<std::is_integral<T>::value || std::is_enum<T>::value, UINT>::type
HashKey(T key)
{
    return FwMixHash((uint64_t)(int64_t)key);
}
template <class T>
inline UINT HashKey(T* key)
{
    return FwMixHash((uint64_t)(uintptr_t)key);
}

// ---------------------------------------------------------------- map

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap {
public:
    CMap() = default;
    CMap(const CMap&) = delete;
    CMap& operator=(const CMap&) = delete;
    ~CMap() { RemoveAll(); }

    INT_PTR GetCount() const { return m_count; }
    INT_PTR GetSize() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }
    UINT GetHashTableSize() const { return (UINT)m_buckets.size(); }

    // Sets the bucket count; takes effect on an empty map (like the classic one).
    void InitHashTable(UINT hashSize, BOOL /*allocNow*/ = TRUE)
    {
        if (m_count == 0 && hashSize > 0)
            m_buckets.assign(hashSize, nullptr);
    }

    BOOL Lookup(ARG_KEY key, VALUE& value) const
    {
        const Assoc* a = Find(key);
        if (!a)
            return FALSE;
        value = a->value;
        return TRUE;
    }
    // Pointer to the stored value, or null.
    VALUE* PLookup(ARG_KEY key)
    {
        Assoc* a = Find(key);
        return a ? &a->value : nullptr;
    }
    VALUE& operator[](ARG_KEY key) { return FindOrAdd(key)->value; }
    void SetAt(ARG_KEY key, ARG_VALUE value) { FindOrAdd(key)->value = value; }

    BOOL RemoveKey(ARG_KEY key)
    {
        if (m_buckets.empty())
            return FALSE;
        UINT h = HashKey(key);
        Assoc** link = &m_buckets[h % m_buckets.size()];
        for (Assoc* a = *link; a; link = &a->next, a = a->next) {
            if (a->hash == h && a->key == key) {
                *link = a->next;
                delete a;
                --m_count;
                return TRUE;
            }
        }
        return FALSE;
    }
    void RemoveAll()
    {
        for (Assoc*& head : m_buckets) {
            while (head) {
                Assoc* next = head->next;
                delete head;
                head = next;
            }
        }
        m_count = 0;
    }

    POSITION GetStartPosition() const
    {
        if (m_count == 0)
            return nullptr;
        return (POSITION)FirstFrom(0);
    }
    // Gives the entry at pos and moves pos to the next one (null at the end).
    void GetNextAssoc(POSITION& pos, KEY& key, VALUE& value) const
    {
        const Assoc* a = (const Assoc*)pos;
        key = a->key;
        value = a->value;
        const Assoc* next = a->next;
        if (!next)
            next = FirstFrom((a->hash % m_buckets.size()) + 1);
        pos = (POSITION)next;
    }

private:
    struct Assoc {
        Assoc* next;
        UINT hash;
        KEY key;
        VALUE value;
    };

    const Assoc* FirstFrom(size_t bucket) const
    {
        for (size_t b = bucket; b < m_buckets.size(); ++b)
            if (m_buckets[b])
                return m_buckets[b];
        return nullptr;
    }
    Assoc* Find(ARG_KEY key) const
    {
        if (m_buckets.empty())
            return nullptr;
        UINT h = HashKey(key);
        for (Assoc* a = m_buckets[h % m_buckets.size()]; a; a = a->next)
            if (a->hash == h && a->key == key)
                return a;
        return nullptr;
    }
    Assoc* FindOrAdd(ARG_KEY key)
    {
        if (Assoc* a = Find(key))
            return a;
        if (m_buckets.empty())
            m_buckets.assign(17, nullptr);
        else if ((size_t)m_count >= m_buckets.size() * 2)
            Rehash(m_buckets.size() * 4 + 1);
        UINT h = HashKey(key);
        Assoc* a = new Assoc{nullptr, h, KEY(key), VALUE()};
        Assoc*& head = m_buckets[h % m_buckets.size()];
        a->next = head;
        head = a;
        ++m_count;
        return a;
    }
    void Rehash(size_t size)
    {
        std::vector<Assoc*> buckets(size, nullptr);
        for (Assoc* head : m_buckets) {
            while (head) {
                Assoc* next = head->next;
                Assoc*& slot = buckets[head->hash % size];
                head->next = slot;
                slot = head;
                head = next;
            }
        }
        m_buckets.swap(buckets);
    }

    std::vector<Assoc*> m_buckets;
    INT_PTR m_count = 0;
};

class CMapStringToPtr : public CMap<CString, const wchar_t*, void*, void*> {};
class CMapStringToString : public CMap<CString, const wchar_t*, CString, const wchar_t*> {};
class CMapPtrToPtr : public CMap<void*, void*, void*, void*> {};
class CMapWordToPtr : public CMap<WORD, WORD, void*, void*> {};

// ---------------------------------------------------------------- list

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList {
public:
    CList() = default;
    CList(const CList&) = delete;
    CList& operator=(const CList&) = delete;
    ~CList() { RemoveAll(); }

    INT_PTR GetCount() const { return m_count; }
    INT_PTR GetSize() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }

    TYPE& GetHead() { return m_head->data; }
    const TYPE& GetHead() const { return m_head->data; }
    TYPE& GetTail() { return m_tail->data; }
    const TYPE& GetTail() const { return m_tail->data; }
    POSITION GetHeadPosition() const { return (POSITION)m_head; }
    POSITION GetTailPosition() const { return (POSITION)m_tail; }

    TYPE& GetNext(POSITION& pos)
    {
        Node* n = (Node*)pos;
        pos = (POSITION)n->next;
        return n->data;
    }
    const TYPE& GetNext(POSITION& pos) const
    {
        const Node* n = (const Node*)pos;
        pos = (POSITION)n->next;
        return n->data;
    }
    TYPE& GetPrev(POSITION& pos)
    {
        Node* n = (Node*)pos;
        pos = (POSITION)n->prev;
        return n->data;
    }
    TYPE& GetAt(POSITION pos) { return ((Node*)pos)->data; }
    const TYPE& GetAt(POSITION pos) const { return ((const Node*)pos)->data; }
    void SetAt(POSITION pos, ARG_TYPE e) { ((Node*)pos)->data = e; }

    POSITION AddHead(ARG_TYPE e) { return InsertBefore((POSITION)m_head, e); }
    POSITION AddTail(ARG_TYPE e) { return InsertAfter((POSITION)m_tail, e); }
    // A null pos inserts at the head (before) or the tail (after).
    POSITION InsertBefore(POSITION pos, ARG_TYPE e)
    {
        Node* at = (Node*)pos;
        if (!at)
            at = m_head;
        Node* n = new Node{at ? at->prev : nullptr, at, TYPE(e)};
        Link(n);
        return (POSITION)n;
    }
    POSITION InsertAfter(POSITION pos, ARG_TYPE e)
    {
        Node* at = (Node*)pos;
        if (!at)
            at = m_tail;
        Node* n = new Node{at, at ? at->next : nullptr, TYPE(e)};
        Link(n);
        return (POSITION)n;
    }
    TYPE RemoveHead()
    {
        TYPE e = m_head->data;
        RemoveAt((POSITION)m_head);
        return e;
    }
    TYPE RemoveTail()
    {
        TYPE e = m_tail->data;
        RemoveAt((POSITION)m_tail);
        return e;
    }
    void RemoveAt(POSITION pos)
    {
        Node* n = (Node*)pos;
        (n->prev ? n->prev->next : m_head) = n->next;
        (n->next ? n->next->prev : m_tail) = n->prev;
        delete n;
        --m_count;
    }
    void RemoveAll()
    {
        while (m_head) {
            Node* next = m_head->next;
            delete m_head;
            m_head = next;
        }
        m_tail = nullptr;
        m_count = 0;
    }
    POSITION Find(ARG_TYPE value, POSITION startAfter = nullptr) const
    {
        const Node* n = startAfter ? ((const Node*)startAfter)->next : m_head;
        for (; n; n = n->next)
            if (n->data == value)
                return (POSITION)n;
        return nullptr;
    }
    POSITION FindIndex(INT_PTR index) const
    {
        if (index < 0 || index >= m_count)
            return nullptr;
        const Node* n = m_head;
        while (index-- > 0)
            n = n->next;
        return (POSITION)n;
    }

private:
    struct Node {
        Node* prev;
        Node* next;
        TYPE data;
    };
    void Link(Node* n)
    {
        (n->prev ? n->prev->next : m_head) = n;
        (n->next ? n->next->prev : m_tail) = n;
        ++m_count;
    }

    Node* m_head = nullptr;
    Node* m_tail = nullptr;
    INT_PTR m_count = 0;
};

class CStringList : public CList<CString, const CString&> {};
class CPtrList : public CList<void*, void*> {};
