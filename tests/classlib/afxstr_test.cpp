// CString. Korean texts are written as code page 949 bytes, so the cases mean
// the same natively and in the Windows build (where this suite also runs).
//   "\xC7\xD1" 한   "\xB1\xDB" 글   "\xB5\xBF\xBF\xB5\xBB\xF3" 동영상
//   "\x81\x41" 갂 (trail byte 'A')   "\x81\x61" 갵 (trail byte 'a')
//   "\x81\x5A" 갴 (trail byte 'Z')
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "classlib/afxstr.h"

namespace {

std::string S(const CString& s) { return std::string(s.GetString(), s.GetLength()); }

// Counts failed library checks instead of aborting, for the cases that feed
// a bad index on purpose: debug builds report each one, release builds none.
struct AssertCounter {
    static int count;
    static void Hook(const char*, int, const char*) { ++count; }
    AfxAssertHook previous;
    AssertCounter() : previous(AfxSetAssertHook(&Hook)) { count = 0; }
    ~AssertCounter() { AfxSetAssertHook(previous); }
    int Expected(int reports) const { return AFX_DEBUG_BUILD ? reports : 0; }
};
int AssertCounter::count = 0;

}  // namespace

TEST(CStringKorean, RoundTripsKeepEveryByte) {
    const char* const texts[] = {
        "\xC7\xD1\xB1\xDB",                           // 한글
        "C:\\\xB5\xBF\xBF\xB5\xBB\xF3\\EVT01.mp4",    // C:\동영상\EVT01.mp4
        "\x81\x41\x81\x61\x81\x5A",                   // 갂갵갴
        "\xC6\xC4\xC0\xCF\xC0\xBB \xC0\xE7\xBB\xFD",  // 파일을 재생
        "\x8C\x63\x94\xEE",                           // 똠뷁
        "\xB0\xA1",                                   // 가
    };
    for (const char* t : texts) {
        CString a(t);
        EXPECT_EQ(std::string(t), S(a));
        EXPECT_EQ(static_cast<int>(std::strlen(t)), a.GetLength());
        CString b = a;
        CString c;
        c = b;
        c += a;
        EXPECT_EQ(std::string(t) + t, S(c));
        EXPECT_TRUE(a == t);
        EXPECT_EQ(a, c.Left(a.GetLength()));
        EXPECT_EQ(a, c.Mid(a.GetLength()));
        EXPECT_EQ(a, c.Right(a.GetLength()));
        CString f;
        f.Format("[%s]", t);
        EXPECT_EQ("[" + std::string(t) + "]", S(f));
        EXPECT_EQ(0, a.CompareNoCase(t));
    }
}

TEST(CStringKorean, SearchesMatchWholeCharactersOnly) {
    struct Case {
        const char* name;
        const char* text;
        int got_by;  // 0 Find(ch, start), 1 Find(sub, start), 2 ReverseFind, 3 FindOneOf
        char ch;
        const char* sub;
        int start;
        int expected;
    };
    const Case cases[] = {
        {"trail 'A' is not an A", "\x81\x41", 0, 'A', nullptr, 0, -1},
        {"the A after the character",
         "\x81\x41"
         "A",
         0, 'A', nullptr, 0, 2},
        {"trail 'a' is not an a", "x\x81\x61y", 0, 'a', nullptr, 0, -1},
        {"start inside a character moves on",
         "\x81\x41"
         "A",
         0, 'A', nullptr, 1, 2},
        {"start past the end", "abc", 0, 'a', nullptr, 4, -1},
        {"negative start", "abc", 0, 'a', nullptr, -1, -1},
        {"a backslash after a lead byte belongs to it", "\xB1\\x\\", 0, '\\', nullptr, 0, 3},
        {"lead byte at the end stands alone", "x\xB1", 0, '\xB1', nullptr, 0, 1},
        {"substring starting on a trail byte",
         "\x81\x41"
         "B",
         1, 0, "AB", 0, -1},
        {"substring across two characters", "\x81\x41\x81\x41", 1, 0, "\x41\x81", 0, -1},
        {"lone lead byte does not match half", "\x81\x41", 1, 0, "\x81", 0, -1},
        {"whole character found", "x\xC7\xD1\xB1\xDB", 1, 0, "\xB1\xDB", 0, 3},
        {"second occurrence from start", "abab", 1, 0, "ab", 1, 2},
        {"empty substring at start", "abc", 1, 0, "", 2, 2},
        {"substring longer than text", "ab", 1, 0, "abc", 0, -1},
        {"last separator of a Korean path", "C:\\\xB5\xBF\xBF\xB5\xBB\xF3\\\x81\x5A", 2, '\\',
         nullptr, 0, 9},
        {"backslash inside a character not found backwards", "C:\\\xB1\\", 2, '\\', nullptr, 0, 2},
        {"trail 'Z' not found backwards", "\x81\x5A\x81\x5A", 2, 'Z', nullptr, 0, -1},
        {"reverse find picks the last real one", "Z\x81\x5A", 2, 'Z', nullptr, 0, 0},
        {"one of: trail bytes skipped", "\x81\x41\x81\x5A\\", 3, 0, "AZ\\", 0, 4},
        {"one of: a Korean member", "ab\xB1\xDB", 3, 0, "\xB1\xDB", 0, 2},
        {"one of: nothing", "abc", 3, 0, "xyz", 0, -1},
    };
    for (const Case& c : cases) {
        CString s(c.text);
        int got = -2;
        switch (c.got_by) {
            case 0: got = s.Find(c.ch, c.start); break;
            case 1: got = s.Find(c.sub, c.start); break;
            case 2: got = s.ReverseFind(c.ch); break;
            case 3: got = s.FindOneOf(c.sub); break;
        }
        EXPECT_EQ(c.expected, got) << c.name;
    }
}

TEST(CStringKorean, SubstringsNeverSplitACharacter) {
    const CString hangul("\xC7\xD1\xB1\xDB");  // 한글
    const CString mixed(
        "A\xC7\xD1"
        "B");  // A한B
    struct Case {
        const char* name;
        CString got;
        const char* expected;
    };
    const Case cases[] = {
        {"left half a character", hangul.Left(1), ""},
        {"left one character", hangul.Left(2), "\xC7\xD1"},
        {"left cuts the second", hangul.Left(3), "\xC7\xD1"},
        {"left beyond the end", hangul.Left(100), "\xC7\xD1\xB1\xDB"},
        {"left negative", hangul.Left(-1), ""},
        {"right half a character", hangul.Right(1), ""},
        {"right cuts the first", hangul.Right(3), "\xB1\xDB"},
        {"right beyond the end", hangul.Right(9), "\xC7\xD1\xB1\xDB"},
        {"mid inside both characters", hangul.Mid(1, 2), ""},
        {"mid from a trail byte", hangul.Mid(1, 3), "\xB1\xDB"},
        {"mid to the end from a trail byte", hangul.Mid(1), "\xB1\xDB"},
        {"mid negative first starts at 0", hangul.Mid(-5, 3), "\xC7\xD1"},
        {"mid negative count", hangul.Mid(0, -1), ""},
        {"mid past the end", hangul.Mid(10), ""},
        {"mid huge count", hangul.Mid(2, 0x7FFFFFFF), "\xB1\xDB"},
        {"mixed: the Korean character", mixed.Mid(1, 2), "\xC7\xD1"},
        {"mixed: from its trail byte", mixed.Mid(2, 2), "B"},
        {"mixed: right two", mixed.Right(2), "B"},
        {"trail 'A' then A: right one",
         CString("\x81\x41"
                 "A")
             .Right(1),
         "A"},
        {"span excluding the separator", CString("\xB5\xBF\xBF\xB5\xBB\xF3\\a").SpanExcluding("\\"),
         "\xB5\xBF\xBF\xB5\xBB\xF3"},
        {"span excluding A stops at A, not a trail byte",
         CString("\x81\x41"
                 "xA")
             .SpanExcluding("A"),
         "\x81\x41x"},
        {"span including digits", CString("123abc").SpanIncluding("0123456789"), "123"},
        {"span including a Korean member", CString("\xC7\xD1\xC7\xD1x").SpanIncluding("\xC7\xD1"),
         "\xC7\xD1\xC7\xD1"},
    };
    for (const Case& c : cases) EXPECT_EQ(std::string(c.expected), S(c.got)) << c.name;
}

TEST(CStringKorean, CaseMappingLeavesTrailBytes) {
    struct Case {
        const char* name;
        const char* text;
        bool upper;
        const char* expected;
    };
    const Case cases[] = {
        {"upper skips trail 'a'", "a\x81\x61z", true, "A\x81\x61Z"},
        {"lower skips trail 'A' and 'Z'", "\x81\x41Q\x81\x5A", false, "\x81\x41q\x81\x5A"},
        {"only ASCII letters", "file.MP4 \xC7\xD1", false, "file.mp4 \xC7\xD1"},
        {"upper of digits and marks", "1-2_x", true, "1-2_X"},
    };
    for (const Case& c : cases) {
        CString s(c.text);
        if (c.upper)
            s.MakeUpper();
        else
            s.MakeLower();
        EXPECT_EQ(std::string(c.expected), S(s)) << c.name;
    }
    CString r(
        "ab\xC7\xD1"
        "c");
    r.MakeReverse();
    EXPECT_EQ(std::string("c\xC7\xD1"
                          "ba"),
              S(r))
        << "reverse keeps the character's bytes in order";
}

TEST(CString, Compare) {
    struct Case {
        const char* name;
        const char* a;
        const char* b;
        int exact;
        int nocase;
    };
    const Case cases[] = {
        {"equal", "abc", "abc", 0, 0},
        {"case differs", "ABC", "abc", -1, 0},
        {"prefix is less", "ab", "abc", -1, -1},
        {"high byte is greater", "\xB0\xA1", "z", 1, 1},
        {"folded to lower case", "_", "A", 1, -1},
        {"trail 'A' and trail 'a' differ", "\x81\x41", "\x81\x61", -1, -1},
        {"null is empty", "", nullptr, 0, 0},
    };
    for (const Case& c : cases) {
        CString a(c.a);
        EXPECT_EQ(c.exact, a.Compare(c.b)) << c.name;
        EXPECT_EQ(c.nocase, a.CompareNoCase(c.b)) << c.name;
        EXPECT_EQ(c.exact == 0, a == c.b) << c.name;
        EXPECT_EQ(c.exact != 0, a != c.b) << c.name;
        EXPECT_EQ(c.exact < 0, a < c.b) << c.name;
    }
}

TEST(CString, Replace) {
    struct Case {
        const char* name;
        const char* text;
        const char* from;
        const char* to;
        int count;
        const char* expected;
    };
    const Case cases[] = {
        {"trail byte is not replaced",
         "\x81\x41"
         "A",
         "A", "B", 1,
         "\x81\x41"
         "B"},
        {"non-overlapping, left to right", "aaa", "aa", "b", 1, "ba"},
        {"remove by empty replacement", "banana", "a", "", 3, "bnn"},
        {"null replacement is empty", "banana", "an", nullptr, 2, "ba"},
        {"empty pattern changes nothing", "abc", "", "x", 0, "abc"},
        {"null pattern changes nothing", "abc", nullptr, "x", 0, "abc"},
        {"replacement holds the pattern", "aaa", "a", "aa", 3, "aaaaaa"},
        {"Korean for Korean", "\xC7\xD1-\xC7\xD1", "\xC7\xD1", "\xB1\xDB", 2, "\xB1\xDB-\xB1\xDB"},
        {"pattern across characters", "\x81\x41\x81\x41", "\x41\x81", "x", 0, "\x81\x41\x81\x41"},
        {"escaped newline pairs", "A\\nB\\n", "\\n", "\n", 2, "A\nB\n"},
        {"no match", "abc", "d", "e", 0, "abc"},
    };
    for (const Case& c : cases) {
        CString s(c.text);
        EXPECT_EQ(c.count, s.Replace(c.from, c.to)) << c.name;
        EXPECT_EQ(std::string(c.expected), S(s)) << c.name;
    }

    CString grow("x");
    for (int i = 0; i < 12; ++i) grow.Replace("x", "xx");
    EXPECT_EQ(4096, grow.GetLength()) << "repeated growth";

    CString self("path");
    EXPECT_EQ(1, self.Replace(self, "p")) << "the pattern is the string itself";
    EXPECT_EQ("p", S(self));

    CString chars(
        "\x81\x41"
        "AxA");
    EXPECT_EQ(2, chars.Replace('A', 'B'));
    EXPECT_EQ(std::string("\x81\x41"
                          "BxB"),
              S(chars));
    EXPECT_EQ(0, chars.Replace('x', 'x'));
    CString removed(
        "\x81\x41"
        "AxA");
    EXPECT_EQ(2, removed.Remove('A'));
    EXPECT_EQ(std::string("\x81\x41x"), S(removed));
}

TEST(CString, Trim) {
    struct Case {
        const char* name;
        const char* text;
        int how;  // 0 Trim(), 1 TrimLeft(), 2 TrimRight(), 3 Trim(set), 4 TrimLeft(set),
                  // 5 TrimRight(set)
        const char* set;
        const char* expected;
    };
    const Case cases[] = {
        {"both sides, every kind of space", " \t\r\n\v\fx y \t\r\n", 0, nullptr, "x y"},
        {"left only", "  x  ", 1, nullptr, "x  "},
        {"right only", "  x  ", 2, nullptr, "  x"},
        {"all spaces", " \t \n", 0, nullptr, ""},
        {"empty", "", 0, nullptr, ""},
        {"inner spaces kept", "a  b", 0, nullptr, "a  b"},
        {"trailing A, not the trail byte 'A'",
         "\x81\x41"
         "AA",
         5, "A", "\x81\x41"},
        {"backslash after a lead byte is kept", "\xB1\\", 5, "\\", "\xB1\\"},
        {"only a trail byte 'A' at the end", "\x81\x41", 5, "A", "\x81\x41"},
        {"leading Korean characters of the set", "\x81\x41\x81\x41x", 4, "\x81\x41", "x"},
        {"a lead byte alone in the set matches nothing", "\x81\x41", 3, "\x81", "\x81\x41"},
        {"set of two", "--==x==--", 3, "-=", "x"},
        {"empty set", " x ", 3, "", " x "},
        {"null set", " x ", 3, nullptr, " x "},
        {"Korean text with spaces", " \xC7\xD1\xB1\xDB ", 0, nullptr, "\xC7\xD1\xB1\xDB"},
    };
    for (const Case& c : cases) {
        CString s(c.text);
        switch (c.how) {
            case 0: s.Trim(); break;
            case 1: s.TrimLeft(); break;
            case 2: s.TrimRight(); break;
            case 3: s.Trim(c.set); break;
            case 4: s.TrimLeft(c.set); break;
            case 5: s.TrimRight(c.set); break;
        }
        EXPECT_EQ(std::string(c.expected), S(s)) << c.name;
    }
    CString one("xx\\path\\\\");
    one.TrimRight('\\');
    EXPECT_EQ("xx\\path", S(one));
    one.Trim('x');
    EXPECT_EQ("\\path", S(one));
}

TEST(CString, InsertAndDelete) {
    struct Case {
        const char* name;
        const char* text;
        bool insert;
        int index;
        int count;  // Delete only
        const char* what;
        const char* expected;
    };
    const Case cases[] = {
        {"insert inside a character goes before it", "\xC7\xD1", true, 1, 0, "x", "x\xC7\xD1"},
        {"insert past the end appends", "ab", true, 99, 0, "x", "abx"},
        {"insert at a negative index prepends", "ab", true, -3, 0, "x", "xab"},
        {"insert Korean", "ab", true, 1, 0, "\xB1\xDB",
         "a\xB1\xDB"
         "b"},
        {"insert null", "ab", true, 1, 0, nullptr, "ab"},
        {"delete a trail byte takes the character",
         "\xC7\xD1"
         "A",
         false, 1, 1, nullptr, "A"},
        {"delete a lead byte takes the character",
         "\xC7\xD1"
         "A",
         false, 0, 1, nullptr, "A"},
        {"delete past the end is cut",
         "\xC7\xD1"
         "A",
         false, 2, 5, nullptr, "\xC7\xD1"},
        {"delete from past the end", "abc", false, 5, 1, nullptr, "abc"},
        {"delete nothing", "abc", false, 0, 0, nullptr, "abc"},
        {"delete a negative count", "abc", false, 0, -2, nullptr, "abc"},
        {"delete from a negative index", "abc", false, -1, 2, nullptr, "c"},
        {"delete ends inside a character",
         "a\xC7\xD1"
         "b",
         false, 0, 2, nullptr, "b"},
    };
    for (const Case& c : cases) {
        CString s(c.text);
        int n = c.insert ? s.Insert(c.index, c.what) : s.Delete(c.index, c.count);
        EXPECT_EQ(std::string(c.expected), S(s)) << c.name;
        EXPECT_EQ(s.GetLength(), n) << c.name;
    }
    CString s("ac");
    EXPECT_EQ(3, s.Insert(1, 'b'));
    EXPECT_EQ("abc", S(s));
}

TEST(CString, Format) {
    struct Case {
        const char* name;
        CString got;
        std::string expected;
    };
    auto fmt = [](auto... args) {
        CString s("old text");
        s.Format(args...);
        return s;
    };
    const std::string longText(5000, 'k');
    const std::string korean = std::string(1000, 'x') + "\xC7\xD1\xB1\xDB";
    const Case cases[] = {
        {"mixed arguments",
         fmt("%05d|%-8s|%+.3f|%X|%c|%%|%lld", 42, "ab", -1.5, 0xBEEFu, 'Q', -9000000000LL),
         "00042|ab      |-1.500|BEEF|Q|%|-9000000000"},
        {"latitude label", fmt("%+011f %s", 37.5, "N"), "+037.500000 N"},
        {"script call", fmt("%s%.7f%s%.7f%s", "setLatLng(", 37.5, ",", -126.25, ")"),
         "setLatLng(37.5000000,-126.2500000)"},
        {"date text", fmt("%04d/%02d/%02d %02d:%02d:%02d", 2024, 1, 2, 3, 4, 5),
         "2024/01/02 03:04:05"},
        {"width and precision", fmt("%#x|%o|%5.2s|%-5c|", 255, 8, "abcdef", 'z'),
         "0xff|10|   ab|z    |"},
        {"5000 characters", fmt("<%s>", longText.c_str()), "<" + longText + ">"},
        {"long Korean text", fmt("%s", korean.c_str()), korean},
        {"width 100000", fmt("%100000d", 7), std::string(99999, ' ') + "7"},
        {"empty result", fmt("%s", ""), ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected.size(), static_cast<size_t>(c.got.GetLength())) << c.name;
        EXPECT_EQ(c.expected, S(c.got)) << c.name;
    }

    // Around the size where the formatting moves to a second buffer.
    for (int n : {0, 1, 254, 255, 256, 257, 511, 512, 513, 4095, 4096, 4097}) {
        CString s;
        s.Format("%s", std::string(static_cast<size_t>(n), 'y').c_str());
        EXPECT_EQ(n, s.GetLength()) << n;
        EXPECT_EQ(std::string(static_cast<size_t>(n), 'y'), S(s)) << n;
    }

    CString self("ab");
    self.Format("%s-%s", self.GetString(), self.GetString());
    EXPECT_EQ("ab-ab", S(self)) << "the string formats itself";
    self.AppendFormat("[%d]", 7);
    EXPECT_EQ("ab-ab[7]", S(self));
}

TEST(CString, Tokenize) {
    struct Case {
        const char* name;
        const char* text;
        const char* delims;
        std::vector<std::string> tokens;
    };
    const Case cases[] = {
        {"commas with an empty field", "a,b,,c", ",", {"a", "b", "c"}},
        {"leading and trailing delimiters", ",,x,,", ",", {"x"}},
        {"only delimiters", ",,,", ",", {}},
        {"empty text", "", ",", {}},
        {"Korean delimiter", "x\xC7\xD1y\xC7\xD1", "\xC7\xD1", {"x", "y"}},
        {"trail 'A' is no delimiter",
         "\x81\x41"
         "A"
         "b",
         "A",
         {"\x81\x41", "b"}},
        {"no delimiters: the whole rest", "a b", "", {"a b"}},
        {"two kinds of delimiter", "1-2 3", " -", {"1", "2", "3"}},
    };
    for (const Case& c : cases) {
        CString s(c.text);
        std::vector<std::string> got;
        int pos = 0;
        for (int guard = 0; guard < 100; ++guard) {
            CString token = s.Tokenize(c.delims, pos);
            if (pos == -1) {
                EXPECT_TRUE(token.IsEmpty()) << c.name;
                break;
            }
            got.push_back(S(token));
        }
        EXPECT_EQ(c.tokens, got) << c.name;
    }
}

TEST(CString, BufferAccess) {
    CString s("keep");
    char* p = s.GetBuffer(10);
    EXPECT_EQ(0, std::strncmp(p, "keep", 4)) << "the text is kept";
    std::strcpy(p, "0123456789");
    s.ReleaseBuffer();
    EXPECT_EQ("0123456789", S(s));

    p = s.GetBuffer(3);
    p[2] = '\0';
    s.ReleaseBuffer();
    EXPECT_EQ("01", S(s)) << "length up to the first zero";

    p = s.GetBufferSetLength(3);
    std::memcpy(p, "abc", 3);
    s.ReleaseBuffer();
    EXPECT_EQ("abc", S(s)) << "no terminator written: the set length holds";

    p = s.GetBuffer(20);
    std::memcpy(p, "xyz", 3);
    s.ReleaseBuffer(2);
    EXPECT_EQ("xy", S(s));

    CString empty;
    p = empty.GetBuffer(0);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ('\0', *p);
    empty.ReleaseBuffer();
    EXPECT_TRUE(empty.IsEmpty());

    AssertCounter checks;
    CString small("ab");
    small.GetBuffer(2);
    small.ReleaseBuffer(50);
    EXPECT_EQ("ab", S(small)) << "a length beyond the buffer is cut to it";
    EXPECT_EQ(checks.Expected(1), AssertCounter::count);
}

TEST(CString, IndexChecks) {
    AssertCounter checks;
    CString s("a\xC7\xD1");
    EXPECT_EQ('a', s.GetAt(0));
    EXPECT_EQ('\xD1', s[2]);
    EXPECT_EQ('\0', s.GetAt(3)) << "past the end";
    EXPECT_EQ('\0', s.GetAt(-1)) << "negative";
    s.SetAt(0, 'b');
    s.SetAt(1, 'x');  // the lead byte of a character
    s.SetAt(2, 'x');  // its trail byte
    s.SetAt(3, 'x');  // past the end
    EXPECT_EQ(std::string("b\xC7\xD1"), S(s));
    EXPECT_EQ(checks.Expected(5), AssertCounter::count);
}

TEST(CString, ConstructionAndConcatenation) {
    const char* none = nullptr;
    struct Case {
        const char* name;
        CString got;
        const char* expected;
    };
    const Case cases[] = {
        {"null pointer", CString(none), ""},
        {"counted", CString("abcdef", 3), "abc"},
        {"counted zero", CString("abc", 0), ""},
        {"counted negative", CString("abc", -4), ""},
        {"repeated character", CString('-', 4), "----"},
        {"unsigned bytes", CString(reinterpret_cast<const unsigned char*>("\xC7\xD1")), "\xC7\xD1"},
        {"string + literal", CString("a") + "b", "ab"},
        {"literal + string", "a" + CString("b"), "ab"},
        {"string + char", CString("a") + 'b', "ab"},
        {"char + string", 'a' + CString("b"), "ab"},
        {"string + string", CString("\xC7\xD1") + CString("\xB1\xDB"), "\xC7\xD1\xB1\xDB"},
    };
    for (const Case& c : cases) EXPECT_EQ(std::string(c.expected), S(c.got)) << c.name;

    CString s("0123456789");
    s = s.GetString() + 4;
    EXPECT_EQ("456789", S(s)) << "assigned from its own text";
    s += s.GetString() + 3;
    EXPECT_EQ("456789789", S(s)) << "appended from its own text";
    s.Append(s.GetString(), 2);
    EXPECT_EQ("45678978945", S(s));
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(0, s.GetLength());
    LPCTSTR p = s;
    EXPECT_STREQ("", p);
}

TEST(CString, LoadStringWithoutTable) {
#ifndef _WIN32
    CString s("x");
    EXPECT_FALSE(s.LoadString(101));
    EXPECT_TRUE(s.IsEmpty());
#endif
}
