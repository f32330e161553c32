// Collections of the class library: the growable array CArray with its
// usual instances, and the hash map CMap.
//
// An index outside an array is a programming error: debug builds report it
// (ASSERT), and in every build the operation then touches nothing outside
// the storage: a read answers a default value, a write goes nowhere, a
// removal or insertion with a bad range changes nothing.
#pragma once

#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

#include "classlib/afxtypes.h"
#include "classlib/afxdebug.h"
#include "classlib/afxstr.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray {
    static_assert(!std::is_same<TYPE, bool>::value, "use BOOL: GetData needs real storage");

public:
    CArray() = default;
    CArray(const CArray&) = default;
    CArray(CArray&&) noexcept = default;
    CArray& operator=(const CArray&) = default;
    CArray& operator=(CArray&&) noexcept = default;
    virtual ~CArray() = default;

    int GetSize() const { return static_cast<int>(m_data.size()); }
    int GetCount() const { return GetSize(); }
    BOOL IsEmpty() const { return m_data.empty(); }
    int GetUpperBound() const { return GetSize() - 1; }

    // New elements are value-initialised (zero for numbers and pointers).
    // nGrowBy > 0 sets the step by which the storage grows; otherwise it
    // doubles.
    void SetSize(int nNewSize, int nGrowBy = -1) {
        if (nGrowBy >= 0) m_nGrowBy = nGrowBy;
        if (!AFX_CHECK(nNewSize >= 0)) return;
        Reserve(static_cast<size_t>(nNewSize));
        m_data.resize(static_cast<size_t>(nNewSize));
    }
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll() { m_data.clear(); }

    const TYPE& GetAt(int nIndex) const {
        if (!AFX_CHECK(InRange(nIndex))) return Empty();
        return m_data[static_cast<size_t>(nIndex)];
    }
    TYPE& GetAt(int nIndex) { return ElementAt(nIndex); }
    void SetAt(int nIndex, ARG_TYPE newElement) {
        if (!AFX_CHECK(InRange(nIndex))) return;
        m_data[static_cast<size_t>(nIndex)] = newElement;
    }
    TYPE& ElementAt(int nIndex) {
        if (!AFX_CHECK(InRange(nIndex))) return Sink();
        return m_data[static_cast<size_t>(nIndex)];
    }
    const TYPE& ElementAt(int nIndex) const { return GetAt(nIndex); }
    const TYPE& operator[](int nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](int nIndex) { return ElementAt(nIndex); }

    const TYPE* GetData() const { return m_data.empty() ? nullptr : m_data.data(); }
    TYPE* GetData() { return m_data.empty() ? nullptr : m_data.data(); }

    // Sets the element, growing the array first when the index is past the
    // end.
    void SetAtGrow(int nIndex, ARG_TYPE newElement) {
        if (!AFX_CHECK(nIndex >= 0)) return;
        TYPE value(newElement);  // the argument may be an element of this array
        if (nIndex >= GetSize()) SetSize(nIndex + 1);
        m_data[static_cast<size_t>(nIndex)] = std::move(value);
    }
    // Returns the new element's index.
    int Add(ARG_TYPE newElement) {
        TYPE value(newElement);
        Reserve(m_data.size() + 1);
        m_data.push_back(std::move(value));
        return GetUpperBound();
    }
    // Returns the index of the first appended element.
    int Append(const CArray& src) {
        int old = GetSize();
        std::vector<TYPE> copy(src.m_data);  // src may be this array
        Reserve(m_data.size() + copy.size());
        for (TYPE& v : copy) m_data.push_back(std::move(v));
        return old;
    }
    void Copy(const CArray& src) {
        if (this != &src) m_data = src.m_data;
    }

    // Inserts nCount copies before nIndex; an index past the end first
    // grows the array to it.
    void InsertAt(int nIndex, ARG_TYPE newElement, int nCount = 1) {
        if (!AFX_CHECK(nIndex >= 0 && nCount >= 0 &&
                       static_cast<int64_t>(nIndex) + nCount <= INT32_MAX))
            return;
        if (nCount == 0) return;
        TYPE value(newElement);
        if (nIndex > GetSize()) SetSize(nIndex);
        Reserve(m_data.size() + static_cast<size_t>(nCount));
        m_data.insert(m_data.begin() + nIndex, static_cast<size_t>(nCount), value);
    }
    void InsertAt(int nStartIndex, const CArray* pNewArray) {
        if (!AFX_CHECK(nStartIndex >= 0 && pNewArray != nullptr)) return;
        std::vector<TYPE> copy(pNewArray->m_data);
        if (copy.empty()) return;
        if (nStartIndex > GetSize()) SetSize(nStartIndex);
        Reserve(m_data.size() + copy.size());
        m_data.insert(m_data.begin() + nStartIndex, std::make_move_iterator(copy.begin()),
                      std::make_move_iterator(copy.end()));
    }
    void RemoveAt(int nIndex, int nCount = 1) {
        if (!AFX_CHECK(nIndex >= 0 && nCount >= 0 &&
                       static_cast<int64_t>(nIndex) + nCount <= GetSize()))
            return;
        m_data.erase(m_data.begin() + nIndex, m_data.begin() + nIndex + nCount);
    }

private:
    bool InRange(int nIndex) const { return nIndex >= 0 && nIndex < GetSize(); }
    void Reserve(size_t n) {
        if (n <= m_data.capacity()) return;
        size_t step = m_nGrowBy > 0 ? static_cast<size_t>(m_nGrowBy) : m_data.capacity();
        if (step < 4) step = 4;
        size_t want = m_data.capacity() + step;
        m_data.reserve(want > n ? want : n);
    }
    // Where a bad index reads from or writes to.
    static const TYPE& Empty() {
        static const TYPE empty{};
        return empty;
    }
    static TYPE& Sink() {
        static TYPE sink{};
        sink = TYPE{};
        return sink;
    }

    std::vector<TYPE> m_data;
    int m_nGrowBy = 0;
};

// An array of typed pointers; the base class names the untyped array it
// stands for and is not otherwise used.
template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public CArray<TYPE, TYPE> {};

class CStringArray : public CArray<CString, const CString&> {};
class CUIntArray : public CArray<UINT, UINT> {};
class CDWordArray : public CArray<DWORD, DWORD> {};
class CWordArray : public CArray<WORD, WORD> {};
class CByteArray : public CArray<BYTE, BYTE> {};
class CPtrArray : public CArray<void*, void*> {};

// Hash values of map keys: numbers and pointers by value (mixed, so that
// aligned pointers and small steps spread over the table), strings by their
// bytes.
inline UINT AfxHashMix(uint64_t v) {
    v ^= v >> 33;
    v *= 0xFF51AFD7ED558CCDull;
    v ^= v >> 33;
    return static_cast<UINT>(v);
}
template <class KEY>
inline typename std::enable_if<std::is_integral<KEY>::value || std::is_enum<KEY>::value, UINT>::type
AfxHashKey(KEY key) {
    return AfxHashMix(static_cast<uint64_t>(key));
}
template <class T>
inline UINT AfxHashKey(T* key) {
    return AfxHashMix(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(key)));
}
inline UINT AfxHashKey(const char* key) {
    uint32_t h = 2166136261u;
    for (const char* p = key ? key : ""; *p; ++p) h = (h ^ static_cast<BYTE>(*p)) * 16777619u;
    return h;
}
inline UINT AfxHashKey(const CString& key) { return AfxHashKey(key.GetString()); }

// A hash map. Walking it: POSITION pos = map.GetStartPosition(); while
// (pos) map.GetNextAssoc(pos, key, value); the entry just returned may be
// removed during the walk; adding keys during a walk may skip or repeat
// entries.
template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap {
public:
    explicit CMap(int nBlockSize = 10) {}
    CMap(const CMap&) = delete;
    CMap& operator=(const CMap&) = delete;
    virtual ~CMap() { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    int GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const {
        const Assoc* a = Find(key, AfxHashKey(key));
        if (!a) return FALSE;
        rValue = a->value;
        return TRUE;
    }
    // The value of the key, added (value-initialised) when missing.
    VALUE& operator[](ARG_KEY key) {
        UINT hash = AfxHashKey(key);
        if (Assoc* a = Find(key, hash)) return a->value;
        if (m_buckets.empty() || static_cast<size_t>(m_nCount) >= m_buckets.size())
            Rehash(m_buckets.empty() ? 17 : m_buckets.size() * 2 + 1);
        Assoc* a = new Assoc{nullptr, hash, KEY(key), VALUE{}};
        Assoc*& head = m_buckets[hash % m_buckets.size()];
        a->next = head;
        head = a;
        ++m_nCount;
        return a->value;
    }
    void SetAt(ARG_KEY key, ARG_VALUE newValue) {
        VALUE value(newValue);  // the argument may be a value of this map
        (*this)[key] = std::move(value);
    }
    BOOL RemoveKey(ARG_KEY key) {
        if (m_buckets.empty()) return FALSE;
        UINT hash = AfxHashKey(key);
        for (Assoc** link = &m_buckets[hash % m_buckets.size()]; *link; link = &(*link)->next) {
            Assoc* a = *link;
            if (a->hash == hash && a->key == key) {
                *link = a->next;
                delete a;
                --m_nCount;
                return TRUE;
            }
        }
        return FALSE;
    }
    void RemoveAll() {
        for (Assoc*& head : m_buckets) {
            while (head) {
                Assoc* next = head->next;
                delete head;
                head = next;
            }
        }
        m_nCount = 0;
    }
    // Sizes the table ahead of many insertions (a prime is best); only an
    // empty map is resized.
    void InitHashTable(UINT nHashSize, BOOL bAllocNow = TRUE) {
        if (!AFX_CHECK(m_nCount == 0) || nHashSize == 0) return;
        m_buckets.assign(nHashSize, nullptr);
    }
    UINT GetHashTableSize() const { return static_cast<UINT>(m_buckets.size()); }

    POSITION GetStartPosition() const { return ToPosition(FirstFrom(0)); }
    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const {
        const Assoc* a = reinterpret_cast<const Assoc*>(rNextPosition);
        if (!AFX_CHECK(a != nullptr)) return;
        rKey = a->key;
        rValue = a->value;
        const Assoc* next = a->next ? a->next : FirstFrom(a->hash % m_buckets.size() + 1);
        rNextPosition = ToPosition(next);
    }

private:
    struct Assoc {
        Assoc* next;
        UINT hash;
        KEY key;
        VALUE value;
    };

    static POSITION ToPosition(const Assoc* a) {
        return reinterpret_cast<POSITION>(const_cast<Assoc*>(a));
    }
    const Assoc* FirstFrom(size_t bucket) const {
        for (; bucket < m_buckets.size(); ++bucket)
            if (m_buckets[bucket]) return m_buckets[bucket];
        return nullptr;
    }
    Assoc* Find(ARG_KEY key, UINT hash) const {
        if (m_buckets.empty()) return nullptr;
        for (Assoc* a = m_buckets[hash % m_buckets.size()]; a; a = a->next)
            if (a->hash == hash && a->key == key) return a;
        return nullptr;
    }
    void Rehash(size_t size) {
        std::vector<Assoc*> buckets(size, nullptr);
        for (Assoc* head : m_buckets) {
            while (head) {
                Assoc* next = head->next;
                Assoc*& to = buckets[head->hash % size];
                head->next = to;
                to = head;
                head = next;
            }
        }
        m_buckets.swap(buckets);
    }

    std::vector<Assoc*> m_buckets;
    int m_nCount = 0;
};

class CMapPtrToPtr : public CMap<void*, void*, void*, void*> {};
class CMapWordToPtr : public CMap<WORD, WORD, void*, void*> {};
class CMapStringToPtr : public CMap<CString, LPCTSTR, void*, void*> {};
class CMapStringToString : public CMap<CString, LPCTSTR, CString, LPCTSTR> {};
