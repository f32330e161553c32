// CArray and its instances, CMap. Bad indexes are fed on purpose: the
// sanitizers watch that nothing outside the storage is touched, and a hook
// counts the reports that debug builds make.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/afxcoll.h"

namespace {

struct AssertCounter {
    static int count;
    static void Hook(const char*, int, const char*) { ++count; }
    AfxAssertHook previous;
    AssertCounter() : previous(AfxSetAssertHook(&Hook)) { count = 0; }
    ~AssertCounter() { AfxSetAssertHook(previous); }
    static int Expected(int reports) { return AFX_DEBUG_BUILD ? reports : 0; }
};
int AssertCounter::count = 0;

typedef CArray<int, int> IntArray;

std::vector<int> Contents(const IntArray& a) {
    std::vector<int> v;
    for (int i = 0; i < a.GetSize(); ++i) v.push_back(a[i]);
    return v;
}

IntArray Numbers(int n) {
    IntArray a;
    for (int i = 0; i < n; ++i) a.Add(i);
    return a;
}

}  // namespace

TEST(CArray, InsertRemoveAndGrow) {
    struct Case {
        const char* name;
        std::function<void(IntArray&)> change;
        std::vector<int> expected;
        int reports;  // bad calls, reported in debug builds
    };
    const Case cases[] = {
        {"insert at the front shifts all",
         [](IntArray& a) { a.InsertAt(0, 9); },
         {9, 0, 1, 2, 3, 4},
         0},
        {"insert three in the middle",
         [](IntArray& a) { a.InsertAt(2, 7, 3); },
         {0, 1, 7, 7, 7, 2, 3, 4},
         0},
        {"insert at the end appends", [](IntArray& a) { a.InsertAt(5, 8); }, {0, 1, 2, 3, 4, 8}, 0},
        {"insert past the end grows with zeros",
         [](IntArray& a) { a.InsertAt(8, 6, 2); },
         {0, 1, 2, 3, 4, 0, 0, 0, 6, 6},
         0},
        {"insert zero copies", [](IntArray& a) { a.InsertAt(1, 5, 0); }, {0, 1, 2, 3, 4}, 0},
        {"insert at a negative index", [](IntArray& a) { a.InsertAt(-1, 5); }, {0, 1, 2, 3, 4}, 1},
        {"insert a negative count", [](IntArray& a) { a.InsertAt(1, 5, -2); }, {0, 1, 2, 3, 4}, 1},
        {"insert an array",
         [](IntArray& a) {
             IntArray b = Numbers(2);
             a.InsertAt(1, &b);
         },
         {0, 0, 1, 1, 2, 3, 4},
         0},
        {"insert itself",
         [](IntArray& a) { a.InsertAt(2, &a); },
         {0, 1, 0, 1, 2, 3, 4, 2, 3, 4},
         0},
        {"insert a null array", [](IntArray& a) { a.InsertAt(0, nullptr); }, {0, 1, 2, 3, 4}, 1},
        {"remove the first shifts all", [](IntArray& a) { a.RemoveAt(0); }, {1, 2, 3, 4}, 0},
        {"remove three in the middle", [](IntArray& a) { a.RemoveAt(1, 3); }, {0, 4}, 0},
        {"remove the last", [](IntArray& a) { a.RemoveAt(4); }, {0, 1, 2, 3}, 0},
        {"remove all five", [](IntArray& a) { a.RemoveAt(0, 5); }, {}, 0},
        {"remove past the end", [](IntArray& a) { a.RemoveAt(3, 5); }, {0, 1, 2, 3, 4}, 1},
        {"remove at the size", [](IntArray& a) { a.RemoveAt(5); }, {0, 1, 2, 3, 4}, 1},
        {"remove at a negative index", [](IntArray& a) { a.RemoveAt(-1); }, {0, 1, 2, 3, 4}, 1},
        {"remove a huge count", [](IntArray& a) { a.RemoveAt(1, 0x7FFFFFFF); }, {0, 1, 2, 3, 4}, 1},
        {"set at grow past the end",
         [](IntArray& a) { a.SetAtGrow(7, 5); },
         {0, 1, 2, 3, 4, 0, 0, 5},
         0},
        {"set at grow inside", [](IntArray& a) { a.SetAtGrow(1, 5); }, {0, 5, 2, 3, 4}, 0},
        {"set at grow negative", [](IntArray& a) { a.SetAtGrow(-2, 5); }, {0, 1, 2, 3, 4}, 1},
        {"append itself",
         [](IntArray& a) { EXPECT_EQ(5, a.Append(a)); },
         {0, 1, 2, 3, 4, 0, 1, 2, 3, 4},
         0},
        {"copy another", [](IntArray& a) { a.Copy(Numbers(2)); }, {0, 1}, 0},
        {"copy itself", [](IntArray& a) { a.Copy(a); }, {0, 1, 2, 3, 4}, 0},
        {"shrink", [](IntArray& a) { a.SetSize(2); }, {0, 1}, 0},
        {"grow with zeros", [](IntArray& a) { a.SetSize(7, 100); }, {0, 1, 2, 3, 4, 0, 0}, 0},
        {"negative size", [](IntArray& a) { a.SetSize(-1); }, {0, 1, 2, 3, 4}, 1},
        {"set at", [](IntArray& a) { a.SetAt(4, 40); }, {0, 1, 2, 3, 40}, 0},
        {"set at past the end writes nothing",
         [](IntArray& a) { a.SetAt(5, 50); },
         {0, 1, 2, 3, 4},
         1},
        {"element past the end takes the write",
         [](IntArray& a) { a[5] = 50, a[-1] = 60; },
         {0, 1, 2, 3, 4},
         2},
        {"remove all", [](IntArray& a) { a.RemoveAll(); }, {}, 0},
    };
    for (const Case& c : cases) {
        AssertCounter checks;
        IntArray a = Numbers(5);
        c.change(a);
        EXPECT_EQ(c.expected, Contents(a)) << c.name;
        EXPECT_EQ(static_cast<int>(c.expected.size()) - 1, a.GetUpperBound()) << c.name;
        EXPECT_EQ(AssertCounter::Expected(c.reports), AssertCounter::count) << c.name;
    }
}

TEST(CArray, BadReadsAnswerDefaultsAndTouchNothing) {
    AssertCounter checks;
    IntArray a = Numbers(3);
    const IntArray& ca = a;
    EXPECT_EQ(0, ca[3]);
    EXPECT_EQ(0, ca.GetAt(-1));
    a.ElementAt(7) = 99;  // lands in a scratch element
    EXPECT_EQ(0, ca.GetAt(7)) << "the scratch element does not leak into reads";
    EXPECT_EQ(0, a.ElementAt(8)) << "nor into the next bad write";
    EXPECT_EQ((std::vector<int>{0, 1, 2}), Contents(a));
    EXPECT_EQ(AssertCounter::Expected(5), AssertCounter::count);

    CStringArray s;
    EXPECT_TRUE(s.GetAt(0).IsEmpty());
    EXPECT_EQ(nullptr, s.GetData()) << "an empty array has no storage";
}

TEST(CArray, ElementsOfItselfAsArguments) {
    // Each call reads an element of the array it may move: the value must be
    // taken before the storage grows.
    CStringArray a;
    a.Add("\xC7\xD1\xB1\xDB");  // 한글
    for (int i = 0; i < 200; ++i) a.Add(a[0]);
    a.InsertAt(0, a[5], 40);
    a.SetAtGrow(a.GetSize() + 50, a[1]);
    a.InsertAt(a.GetSize() + 3, a[2]);
    int n = 0;
    for (int i = 0; i < a.GetSize(); ++i)
        if (a[i] == "\xC7\xD1\xB1\xDB") ++n;
    EXPECT_EQ(1 + 200 + 40 + 1 + 1, n);
    EXPECT_EQ(1 + 200 + 40 + 51 + 4, a.GetSize());
}

TEST(CArray, GrowsLargeAndStaysContiguous) {
    CDWordArray a;
    for (DWORD i = 0; i < 100000; ++i) a.Add(i * 3u);
    ASSERT_EQ(100000, a.GetSize());
    const DWORD* p = a.GetData();
    bool ok = true;
    for (int i = 0; i < a.GetSize(); ++i) ok = ok && p[i] == static_cast<DWORD>(i) * 3u;
    EXPECT_TRUE(ok);
    a.RemoveAt(0, 99990);
    EXPECT_EQ(10, a.GetSize());
    EXPECT_EQ(99990u * 3u, a[0]);
    a.FreeExtra();
    EXPECT_EQ(99999u * 3u, a[9]);

    IntArray stepped;
    stepped.SetSize(0, 1000);
    for (int i = 0; i < 2500; ++i) stepped.Add(i);
    EXPECT_EQ(2499, stepped[2499]);
}

TEST(CArray, Instances) {
    CStringArray strings;
    strings.Add("a");
    strings.Add(CString("\xB5\xBF\xBF\xB5\xBB\xF3"));
    strings.InsertAt(1, "b");
    ASSERT_EQ(3, strings.GetCount());
    EXPECT_STREQ("b", strings[1]);
    EXPECT_STREQ("\xB5\xBF\xBF\xB5\xBB\xF3", strings.GetAt(2));
    CStringArray copy;
    copy.Copy(strings);
    strings[0] = "changed";
    EXPECT_STREQ("a", copy[0]) << "a copy owns its strings";

    CUIntArray uints;
    uints.SetSize(3);
    EXPECT_EQ(0u, uints[2]);
    uints.SetAt(2, 0xFFFFFFFFu);
    EXPECT_EQ(0xFFFFFFFFu, uints[2]);

    int x = 0, y = 0;
    CPtrArray ptrs;
    ptrs.Add(&x);
    ptrs.SetAtGrow(2, &y);
    EXPECT_EQ(&x, ptrs[0]);
    EXPECT_EQ(nullptr, ptrs[1]);
    EXPECT_EQ(&y, ptrs[2]);

    CTypedPtrArray<CPtrArray, int*> typed;
    typed.Add(&x);
    typed.Add(&y);
    *typed[1] = 5;
    typed[0] = nullptr;  // entries are cleared in place when owned objects go
    EXPECT_EQ(5, y);
    EXPECT_EQ(nullptr, typed.GetAt(0));
}

TEST(CMap, PointerSizedKeys) {
    // Keys that share their low 32 bits, aligned pointers, the extremes.
    std::vector<UINT_PTR> keys;
    for (UINT_PTR i = 0; i < 300; ++i) keys.push_back(i * 16);
    if (sizeof(UINT_PTR) > 4) {
        for (UINT_PTR i = 0; i < 300; ++i)
            keys.push_back((static_cast<UINT_PTR>(1) << (sizeof(UINT_PTR) * 8 - 1)) | (i * 16));
    }
    keys.push_back(~static_cast<UINT_PTR>(0));
    keys.push_back(1);

    CMap<UINT_PTR, UINT_PTR, int, int> map;
    for (size_t i = 0; i < keys.size(); ++i) map.SetAt(keys[i], static_cast<int>(i));
    ASSERT_EQ(static_cast<int>(keys.size()), map.GetCount()) << "no two keys merged";
    for (size_t i = 0; i < keys.size(); ++i) {
        int v = -1;
        EXPECT_TRUE(map.Lookup(keys[i], v)) << i;
        EXPECT_EQ(static_cast<int>(i), v) << i;
    }
    int v = 0;
    EXPECT_FALSE(map.Lookup(8, v));

    std::map<UINT_PTR, int> seen;
    POSITION pos = map.GetStartPosition();
    while (pos) {
        UINT_PTR k;
        int value;
        map.GetNextAssoc(pos, k, value);
        seen[k] += 1;
        EXPECT_EQ(value, static_cast<int>(std::find(keys.begin(), keys.end(), k) - keys.begin()));
    }
    EXPECT_EQ(keys.size(), seen.size()) << "the walk visits every key once";
    for (const auto& s : seen) EXPECT_EQ(1, s.second);

    // Remove every entry as the walk returns it.
    pos = map.GetStartPosition();
    int removed = 0;
    while (pos) {
        UINT_PTR k;
        int value;
        map.GetNextAssoc(pos, k, value);
        removed += map.RemoveKey(k);
    }
    EXPECT_EQ(static_cast<int>(keys.size()), removed);
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_EQ(nullptr, map.GetStartPosition());
}

TEST(CMap, Operations) {
    struct Case {
        const char* name;
        std::function<void(CMapPtrToPtr&)> change;
        std::set<std::pair<uintptr_t, uintptr_t>> expected;
    };
    static int objects[4];
    auto P = [](int i) { return static_cast<void*>(&objects[i]); };
    auto U = [](int i) { return reinterpret_cast<uintptr_t>(&objects[i]); };
    const Case cases[] = {
        {"set at adds",
         [&](CMapPtrToPtr& m) { m.SetAt(P(2), P(3)); },
         {{U(0), U(1)}, {U(1), U(2)}, {U(2), U(3)}}},
        {"set at replaces",
         [&](CMapPtrToPtr& m) { m.SetAt(P(0), P(3)); },
         {{U(0), U(3)}, {U(1), U(2)}}},
        {"subscript adds a null value",
         [&](CMapPtrToPtr& m) { EXPECT_EQ(nullptr, m[P(3)]); },
         {{U(0), U(1)}, {U(1), U(2)}, {U(3), 0}}},
        {"subscript writes",
         [&](CMapPtrToPtr& m) { m[P(1)] = nullptr; },
         {{U(0), U(1)}, {U(1), 0}}},
        {"remove a key", [&](CMapPtrToPtr& m) { EXPECT_TRUE(m.RemoveKey(P(0))); }, {{U(1), U(2)}}},
        {"remove a missing key",
         [&](CMapPtrToPtr& m) { EXPECT_FALSE(m.RemoveKey(P(3))); },
         {{U(0), U(1)}, {U(1), U(2)}}},
        {"remove all", [&](CMapPtrToPtr& m) { m.RemoveAll(); }, {}},
        {"null key",
         [&](CMapPtrToPtr& m) { m.SetAt(nullptr, P(0)); },
         {{U(0), U(1)}, {U(1), U(2)}, {0, U(0)}}},
    };
    for (const Case& c : cases) {
        CMapPtrToPtr m;
        m.SetAt(P(0), P(1));
        m.SetAt(P(1), P(2));
        c.change(m);
        std::set<std::pair<uintptr_t, uintptr_t>> got;
        for (POSITION pos = m.GetStartPosition(); pos;) {
            void* k;
            void* v;
            m.GetNextAssoc(pos, k, v);
            got.insert({reinterpret_cast<uintptr_t>(k), reinterpret_cast<uintptr_t>(v)});
        }
        EXPECT_EQ(c.expected, got) << c.name;
        EXPECT_EQ(static_cast<int>(c.expected.size()), m.GetCount()) << c.name;
    }
}

TEST(CMap, KeysOfOtherKinds) {
    CMap<DWORD, DWORD, CString, const CString&> byId;
    byId.InitHashTable(7);
    EXPECT_EQ(7u, byId.GetHashTableSize());
    for (DWORD id = 0; id < 1000; ++id) {
        CString s;
        s.Format("%u", static_cast<unsigned>(id));
        byId[id] = s;
    }
    CString s;
    EXPECT_TRUE(byId.Lookup(999, s));
    EXPECT_STREQ("999", s);
    byId.SetAt(5, byId[6]);  // the value of another key as the argument
    EXPECT_TRUE(byId.Lookup(5, s));
    EXPECT_STREQ("6", s);

    CMap<int, int, int, int> negative;
    negative[-1] = 1;
    negative[-2] = 2;
    int v = 0;
    EXPECT_TRUE(negative.Lookup(-2, v));
    EXPECT_EQ(2, v);

    CMapStringToString names;
    names.SetAt("\x81\x41", "first");   // trail byte 'A'
    names.SetAt("\x81\x61", "second");  // trail byte 'a'
    names.SetAt(CString("key"), "third");
    EXPECT_EQ(3, names.GetCount());
    CString value;
    EXPECT_TRUE(names.Lookup("\x81\x61", value));
    EXPECT_STREQ("second", value);
    EXPECT_TRUE(names.Lookup(CString("key"), value));
    EXPECT_STREQ("third", value);
    EXPECT_FALSE(names.Lookup("KEY", value)) << "keys are compared exactly";
}
