// String library. The code-page cases run natively and, through the
// Windows build, against the platform's own conversion under Wine.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/platform/os.h"
#include "engine/platform/strutil.h"

namespace {

std::u16string U16(const char16_t* s) { return s ? std::u16string(s) : std::u16string(u"<null>"); }

}  // namespace

TEST(StrCodePage, AnsiAndWideAgree) {
    struct Case {
        const char* name;
        const char* ansi;  // code page 949 bytes
        const char16_t* wide;
    };
    const Case cases[] = {
        {"ascii", "Hello, 1-2", u"Hello, 1-2"},
        {"KS X 1001 syllables", "\xC7\xD1\xB1\xDB", u"한글"},
        {"extension syllable first", "\x8C\x63\xB9\xE6\xB0\xA2\xC7\xCF", u"똠방각하"},
        {"extension syllable", "\x94\xEE", u"뷁"},
        {"compatibility jamo", "\xA4\xA1\xA4\xBE\xA4\xBF", u"ㄱㅎㅏ"},
        {"message text",
         "\xB8\xDE\xB8\xF0\xB8\xAE\xB0\xA1\x20\xBA\xCE\xC1\xB7\xC7\xD5\xB4\xCF\xB4\xD9\x2E",
         u"메모리가 부족합니다."},
        {"empty", "", u""},
    };
    for (const Case& c : cases) {
        char16_t wide[64];
        uint32_t n = Ansi_ToWide(c.ansi, -1, wide, 64);
        EXPECT_EQ(U16(c.wide), U16(wide)) << c.name;
        EXPECT_EQ(WStr_Len(c.wide), n) << c.name;

        char ansi[64];
        uint32_t m = Wide_ToAnsi(c.wide, -1, ansi, 64);
        EXPECT_EQ(std::string(c.ansi), std::string(ansi)) << c.name;
        EXPECT_EQ(std::strlen(c.ansi), m) << c.name;

        char16_t* w2 = Ansi_ToWideNew(c.ansi, -1);
        EXPECT_EQ(U16(c.wide), U16(w2)) << c.name;
        OS_Free(w2);
        char* a2 = Wide_ToAnsiNew(c.wide, -1);
        ASSERT_NE(nullptr, a2);
        EXPECT_EQ(std::string(c.ansi), std::string(a2)) << c.name;
        OS_Free(a2);
    }
}

TEST(StrCodePage, CountedInputAndShortOutputs) {
    // A counted length stops inside the text; the terminator follows the
    // converted characters.
    char16_t wide[8];
    std::memset(wide, 0x55, sizeof wide);
    EXPECT_EQ(2u, Ansi_ToWide("\xC7\xD1\xB1\xDB", 4, wide, 8));
    EXPECT_EQ(u'\0', wide[2]);
    EXPECT_EQ(1u, Ansi_ToWide("\xC7\xD1\xB1\xDB", 4, wide, 2)) << "cut to the room left";
    EXPECT_EQ(U16(u"한"), U16(wide));

    char ansi[8];
    std::memset(ansi, 0x55, sizeof ansi);
    // Four bytes: room for one two-byte character and a single byte, never
    // half a character.
    EXPECT_EQ(3u, Wide_ToAnsi(u"한A글", -1, ansi, 4));
    EXPECT_EQ(std::string("\xC7\xD1"
                          "A"),
              std::string(ansi));
    EXPECT_EQ(2u, Wide_ToAnsi(u"한글", -1, ansi, 4));
    EXPECT_EQ(std::string("\xC7\xD1"), std::string(ansi));
    EXPECT_EQ(0u, Wide_ToAnsi(u"한", -1, ansi, 0));
}

TEST(StrWide, CompareCopyFind) {
    struct Case {
        const char* name;
        int got;
        int sign;
    };
    const Case cases[] = {
        {"equal", WStr_Compare(u"abc", u"abc"), 0},
        {"less", WStr_Compare(u"abc", u"abd"), -1},
        {"prefix is less", WStr_Compare(u"ab", u"abc"), -1},
        {"high unit is greater", WStr_Compare(u"\xAC00", u"z"), 1},
        {"n stops early", WStr_NCompare(u"abcX", u"abcY", 3), 0},
        {"case folded", WStr_CompareNoCase(u"File.MP4", u"file.mp4"), 0},
        {"case folded n", WStr_NCompareNoCase(u"HTTP://x", u"http://y", 7), 0},
        {"only ascii folds", WStr_CompareNoCase(u"\u00C9", u"\u00E9"), -1},
        {"8-bit folded", Str_CompareNoCase("MP4V", "mp4v"), 0},
        {"8-bit high byte greater", Str_CompareNoCase("\xB0", "a"), 1},
        {"8-bit n", Str_NCompareNoCase("SAMIx", "samiy", 4), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.sign, (c.got > 0) - (c.got < 0)) << c.name;

    char16_t buf[32];
    WStr_Copy(buf, u"C:\\clips\\");
    WStr_Cat(buf, u"EVT01.mp4");
    EXPECT_EQ(U16(u"C:\\clips\\EVT01.mp4"), U16(buf));
    EXPECT_EQ(18u, WStr_Len(buf));
    EXPECT_EQ(19u, WStr_SizeWithNul(buf));
    EXPECT_EQ(U16(u".mp4"), U16(WStr_FindLastChar(buf, u'.')));
    EXPECT_EQ(U16(u"\\clips\\EVT01.mp4"), U16(WStr_FindChar(buf, u'\\')));
    EXPECT_EQ(nullptr, WStr_FindChar(buf, u'#'));
    EXPECT_EQ(nullptr, WStr_FindLastChar(buf, u'#'));

    char16_t n[8] = u"xxxxxxx";
    WStr_NCopy(n, u"abcdef", 3);
    EXPECT_EQ(U16(u"abcxxxx"), U16(n));
    WStr_NCopy(n, u"z", 5);
    EXPECT_EQ(u'z', n[0]);
    EXPECT_EQ(u'\0', n[1]);

    WStr_ToUpper(buf, 3);
    EXPECT_EQ(u'C', buf[0]);
    WStr_ToLower(buf, 18);
    EXPECT_EQ(U16(u"c:\\clips\\evt01.mp4"), U16(buf));
    char fourcc[5] = "xViD";
    Str_ToLower(fourcc, 4);
    EXPECT_STREQ("xvid", fourcc);
    Str_ToUpper(fourcc, 2);
    EXPECT_STREQ("XVid", fourcc);

    char16_t* d = WStr_Dup(u"abc");
    char16_t* dn = WStr_DupN(u"abcdef", 2);
    char16_t* cat = WStr_Concat(u"ab", u"cd");
    EXPECT_EQ(U16(u"abc"), U16(d));
    EXPECT_EQ(U16(u"ab"), U16(dn));
    EXPECT_EQ(U16(u"abcd"), U16(cat));
    OS_Free(d);
    OS_Free(dn);
    OS_Free(cat);
    char* s1 = Str_Dup("xy");
    char* s2 = Str_DupN("xyz", 1);
    char* s3 = Str_Concat("x", "yz");
    EXPECT_STREQ("xy", s1);
    EXPECT_STREQ("x", s2);
    EXPECT_STREQ("xyz", s3);
    EXPECT_EQ(4u, Str_SizeWithNul(s3));
    OS_Free(s1);
    OS_Free(s2);
    OS_Free(s3);
    EXPECT_EQ(3u, U32Str_SizeWithNul(U"ab"));
}

TEST(StrParse, Numbers) {
    struct Case {
        const char* name;
        const char* text;
        uint32_t (*parse8)(const char*);
        uint32_t (*parse16)(const char16_t*);
        uint32_t want;
    };
    const Case cases[] = {
        {"int", "0042", Str_ParseInt, WStr_ParseInt, 42},
        {"int empty", "", Str_ParseInt, WStr_ParseInt, 0},
        {"hex mixed case", "1aF", Str_ParseHex, WStr_ParseHex, 0x1AF},
        {"seconds with fraction", "12.5", Str_ParseSeconds, WStr_ParseSeconds, 12500},
        {"whole seconds", "3", Str_ParseSeconds, WStr_ParseSeconds, 3000},
        {"only three fraction digits", "1.2345", Str_ParseSeconds, WStr_ParseSeconds, 1234},
        {"fraction only", ".05", Str_ParseSeconds, WStr_ParseSeconds, 50},
        {"clock", "01:02:03.040", Str_ParseClock, WStr_ParseClock, 3723040},
        {"clock without fraction", "10:00:05", Str_ParseClock, WStr_ParseClock, 36005000},
        {"clock cut short", "02:3", Str_ParseClock, WStr_ParseClock, 7380000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.want, c.parse8(c.text)) << c.name;
        std::u16string wide(c.text, c.text + std::strlen(c.text));
        EXPECT_EQ(c.want, c.parse16(wide.c_str())) << c.name;
    }
}

TEST(StrCharset, BigEndianPairs) {
    uint8_t be[8];
    EXPECT_EQ(2u, WStr_ToBigEndian(u"A\xAC00", be, 8));
    const uint8_t want[8] = {0x00, 0x41, 0xAC, 0x00, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(want, be, 8));
    EXPECT_EQ(1u, WStr_ToBigEndian(u"xyz", be, 3)) << "only whole pairs fit";

    char16_t out[4] = {9, 9, 9, 9};
    EXPECT_EQ(2u, WStr_FromBigEndian(want, 8, out, 4));
    EXPECT_EQ(U16(u"A\xAC00"), U16(out));
    EXPECT_EQ(0, out[3]);
    const uint8_t unterminated[4] = {0x00, 0x61, 0x00, 0x62};
    EXPECT_EQ(2u, WStr_FromBigEndian(unterminated, 4, out, 4)) << "reads no further than given";
    EXPECT_EQ(1u, WStr_FromBigEndian(unterminated, 4, out, 2)) << "keeps room for the terminator";
    EXPECT_EQ(U16(u"a"), U16(out));
}

TEST(StrCharset, Utf8ToUtf16) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        int flag;
        uint32_t limit;
        std::u16string want;
    };
    const Case cases[] = {
        {"two-byte", {0xC3, 0xA9}, 1, 16, u"\u00E9"},
        {"lone byte flag 1", {0x9B}, 1, 16, u"\u009B"},
        {"lone byte flag 0", {0x9B, 0x41}, 0, 16, u"\u9B00\u4100"},
        {"three-byte",
         {0xE2, 0x82, 0xAC, 0x41},
         1,
         16,
         u"\u20AC"
         u"A"},
        {"four-byte lead uses its low 4 bits", {0xF0, 0x9F, 0x98}, 1, 16, u"\u07D8"},
        {"cut three-byte ends", {0x41, 0xE2, 0x82}, 1, 16, u"A"},
        {"cut two-byte ends", {0x41, 0xC3}, 1, 16, u"A"},
        {"limit", {0x41, 0x42, 0x43}, 1, 2, u"AB"},
    };
    for (const Case& c : cases) {
        char16_t out[17];
        uint32_t n = Utf8_ToUtf16(c.bytes.data(), (uint32_t)c.bytes.size(), out, c.limit, c.flag);
        EXPECT_EQ(c.want, std::u16string(out)) << c.name;
        EXPECT_EQ(c.want.size(), n) << c.name;
    }
    const uint8_t text[] = {0xED, 0x95, 0x9C, 0x41, 0};
    char16_t* w = Utf8_ToUtf16New(text, 0);
    EXPECT_EQ(U16(u"한\x4100"), U16(w)) << "terminated input, byte flag 0";
    OS_Free(w);
}

TEST(StrCharset, Utf16ToUtf8AndUcs4) {
    struct Case {
        const char* name;
        std::u16string text;
        uint32_t size;
        std::string want;
    };
    const Case cases[] = {
        {"one two three bytes", u"A\u00E9\u20AC", 16, "A\xC3\xA9\xE2\x82\xAC"},
        {"surrogate replaced", u"\xD83D\xDE00", 16, "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"stops before what does not fit", u"A\u20AC", 4, "A"},
        {"exact fit", u"A\u20AC", 5, "A\xE2\x82\xAC"},
    };
    for (const Case& c : cases) {
        uint8_t out[16];
        uint32_t n = Utf16_ToUtf8(c.text.c_str(), (int32_t)c.text.size(), out, c.size);
        EXPECT_EQ(c.want, std::string(reinterpret_cast<char*>(out))) << c.name;
        EXPECT_EQ(c.want.size(), n) << c.name;
    }
    EXPECT_EQ(6u, Utf16_Utf8Length(u"A\u00E9\u20AC", -1));

    char32_t ucs[8];
    EXPECT_EQ(2u, Utf16_ToUcs4(u"\xD83D\xDE00"
                               u"B",
                               -1, ucs, 8));
    EXPECT_EQ(0x1F600u, (uint32_t)ucs[0]);
    EXPECT_EQ(U'B', ucs[1]);
    EXPECT_EQ(2u, Utf16_ToUcs4(u"a\xD83D"
                               u"b\xDE00",
                               -1, ucs, 8))
        << "unpaired surrogates skipped";
    EXPECT_EQ(U'a', ucs[0]);
    EXPECT_EQ(U'b', ucs[1]);
    EXPECT_EQ(0u, (uint32_t)ucs[2]);
}

TEST(StrCharset, BomSelectsByteOrder) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        int bigDefault;
        std::u32string want;
    };
    const Case cases[] = {
        {"little-endian mark", {0xFF, 0xFE, 0x41, 0x00, 0x00, 0xAC}, 1, U"A\uAC00"},
        {"big-endian mark", {0xFE, 0xFF, 0x00, 0x41, 0xD8, 0x3D, 0xDE, 0x00}, 0, U"A\U0001F600"},
        {"no mark, big default", {0x00, 0x41}, 1, U"A"},
        {"no mark, little default", {0x41, 0x00}, 0, U"A"},
    };
    for (const Case& c : cases) {
        alignas(4) uint8_t buf[16];
        std::memcpy(buf, c.bytes.data(), c.bytes.size());
        char32_t* out = Utf16Bom_ToUcs4New(buf, (uint32_t)c.bytes.size(), c.bigDefault);
        ASSERT_NE(nullptr, out) << c.name;
        EXPECT_EQ(c.want, std::u32string(out)) << c.name;
        OS_Free(out);
    }
    alignas(4) uint8_t odd[4] = {0, 0x41, 0};
    EXPECT_EQ(nullptr, Utf16Bom_ToUcs4New(odd + 1, 2, 1));

    const uint8_t bytes[] = {0x00, 0x9F, 0xAB};
    char* hex = Bytes_ToHex(bytes, 3);
    EXPECT_STREQ("009fab", hex);
    OS_Free(hex);
}

TEST(StrField, NarrowParsers) {
    struct Case {
        const char* name;
        const char* line;
        const char* key;
        const char* (*parse)(const char*, const char*, uint32_t*);
        bool found;
        uint32_t want;
        const char* rest;  // text after the field
    };
    const Case cases[] = {
        {"int after key", "size 7 len=42;", "len=", Field_Int, true, 42, ";"},
        {"int without key", "  size 7 len=42", nullptr, Field_Int, true, 7, " len=42"},
        {"key not on the line", "size 7\r\nlen=42", "len=", Field_Int, false, 0, nullptr},
        {"no digit before the line ends", "len=x\n5", "len=", Field_Int, false, 0, nullptr},
        {"long field cut to 19 digits", "n=12345678901234567890123!", "n=", Field_Int, true,
         Str_ParseInt("1234567890123456789"), "!"},
        {"hex", "id: zz1fQ", "id:", Field_Hex, true, 0x1F, "Q"},
        {"seconds", "start=12.5s", "start=", Field_Seconds, true, 12500, "s"},
        {"clock", "at 01:02:03.040 go", nullptr, Field_Clock, true, 3723040, " go"},
    };
    for (const Case& c : cases) {
        uint32_t v = 0xDEAD;
        const char* end = c.parse(c.line, c.key, &v);
        EXPECT_EQ(c.found, end != nullptr) << c.name;
        if (!end || !c.found) continue;
        EXPECT_EQ(c.want, v) << c.name;
        EXPECT_STREQ(c.rest, end) << c.name;
    }
    int32_t s = 0;
    EXPECT_NE(nullptr, Field_SignedInt("x -15 y", nullptr, &s));
    EXPECT_EQ(-15, s);
    EXPECT_NE(nullptr, Field_SignedInt("x 15", nullptr, &s));
    EXPECT_EQ(15, s);
}

TEST(StrField, SpansOfText) {
    struct Case {
        const char* name;
        const char* line;
        const char* key;
        const char* (*parse)(const char*, const char*, const char**, uint32_t*);
        const char* want;  // null: no field
    };
    const Case cases[] = {
        {"word", "name = foo-bar_1.x; next", "name", Field_Word, "foo-bar_1.x"},
        {"hex word", "key: --00aBz", "key:", Field_HexWord, "00aB"},
        {"url host after scheme", "http://www.example.com:80/a", nullptr, Field_UrlHost,
         "www.example.com"},
        {"url host without scheme", " host.local/x", nullptr, Field_UrlHost, "host.local"},
        {"url host after key", "Location: rtsp://cam-1/live", "Location:", Field_UrlHost, "cam-1"},
        {"path", "file: C:/dir/a_1.mp4 rest", "file:", Field_Path, "C:/dir/a_1.mp4"},
        {"rest of line", "Title:   hello world\r\nnext", "Title:", Field_RestOfLine, "hello world"},
        {"rest of an empty line", "Title:  \r\nnext", "Title:", Field_RestOfLine, nullptr},
    };
    for (const Case& c : cases) {
        const char* start = nullptr;
        uint32_t len = 0;
        const char* end = c.parse(c.line, c.key, &start, &len);
        if (!c.want) {
            EXPECT_EQ(nullptr, end) << c.name;
            continue;
        }
        ASSERT_NE(nullptr, end) << c.name;
        EXPECT_EQ(std::string(c.want), std::string(start, len)) << c.name;
        EXPECT_EQ(start + len, end) << c.name;
    }
}

TEST(StrField, WideParsersAndLines) {
    uint32_t v = 0;
    const char16_t* line = u"size 7 len=42";
    const char16_t* end = WField_Int(line, u"len=", &v);
    ASSERT_NE(nullptr, end);
    EXPECT_EQ(42u, v);
    EXPECT_EQ(u'\0', *end);
    int32_t s = 0;
    EXPECT_NE(nullptr, WField_SignedInt(u"[-3;", nullptr, &s));
    EXPECT_EQ(-3, s);
    EXPECT_NE(nullptr, WField_Hex(u"color=#ff00A0>", u"#", &v));
    EXPECT_EQ(0xFF00A0u, v);
    EXPECT_NE(nullptr, WField_Seconds(u"<SYNC Start=1.5>", u"Start=", &v));
    EXPECT_EQ(1500u, v);
    EXPECT_NE(nullptr, WField_Clock(u"t 00:01:00", nullptr, &v));
    EXPECT_EQ(60000u, v);
    const char16_t* start = nullptr;
    uint32_t len = 0;
    EXPECT_NE(nullptr, WField_Word(u"<font color=red>", u"color=", &start, &len));
    EXPECT_EQ(U16(u"red"), std::u16string(start, len));
    EXPECT_NE(nullptr, WField_HexWord(u"x=#a0b1g", u"#", &start, &len));
    EXPECT_EQ(U16(u"a0b1"), std::u16string(start, len));
    EXPECT_NE(nullptr, WStr_GetUrlHost(u"mms://media.example.org/x", nullptr, &start, &len));
    EXPECT_EQ(U16(u"media.example.org"), std::u16string(start, len));
    EXPECT_EQ(nullptr, WStr_FindInLine(u"abc\ndef", u"def"));
    EXPECT_EQ(U16(u"bc\ndef"), U16(WStr_FindInLine(u"abc\ndef", u"bc")));
    EXPECT_NE(nullptr, Str_FindInLine("a key", "key"));

    EXPECT_EQ(1, WStr_IsNumberLine(u"  12 --> 13"));
    EXPECT_EQ(0, WStr_IsNumberLine(u"  x12"));

    char folded[] = "  Subject: one\r\n two\r\n\tthree\r\nNext: x";
    char* begin = nullptr;
    uint32_t n = Line_Unfold(folded, &begin);
    EXPECT_EQ(std::string("Subject: one   two  \tthree"), std::string(begin, n));
    EXPECT_STREQ("\r\nNext: x", begin + n);
    char16_t wfolded[] = u"a\n b";
    char16_t* wbegin = nullptr;
    EXPECT_EQ(4u, WLine_Unfold(wfolded, &wbegin));
    EXPECT_EQ(U16(u"a  b"), U16(wbegin));
}

TEST(StrUrl, ComposeJoinsTheCountedParts) {
    UrlParts parts = {};
    const char* texts[11] = {"http",         "://", "user", ":",     "pw",  "@",
                             "host.example", ":",   "8080", "/path", "?q=1"};
    for (int i = 0; i < 11; ++i) {
        parts.part[i] = texts[i];
        parts.length[i] = (uint32_t)std::strlen(texts[i]);
    }
    parts.length[9] = 3;  // counted, not terminated
    char out[64];
    EXPECT_EQ(std::strlen("http://user:pw@host.example:8080/pa?q=1#x"),
              Url_Compose(&parts, "#x", out, 64));
    EXPECT_STREQ("http://user:pw@host.example:8080/pa?q=1#x", out);
    EXPECT_EQ(7u, Url_Compose(&parts, "", out, 8));
    EXPECT_STREQ("http://", out);
}
