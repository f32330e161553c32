#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "ThemeClass/ThemeProfile.h"

using skin::Rect;

namespace {
std::string Show(const Rect& r) { return skin::FormatRect(r); }
}  // namespace

TEST(ParseRect, Fields) {
    struct Case {
        const char* name;
        const char* text;
        Rect want;
    };
    const Case cases[] = {
        {"four fields", "10,10,110,40", {10, 10, 110, 40}},
        {"far-edge left", "-110,10,-10,40", {-110, 10, -10, 40}},
        {"three fields: bottom 0", "1,2,3", {1, 2, 3, 0}},
        {"empty text", "", {0, 0, 0, 0}},
        {"empty middle field", "5,,7,8", {5, 0, 7, 8}},
        {"spaces before numbers", " 5, 6,\t7, 8", {5, 6, 7, 8}},
        {"trailing junk in a field", "5px,6,7,8", {5, 6, 7, 8}},
        {"not a number", "a,b,c,d", {0, 0, 0, 0}},
        {"plus sign", "+5,6,7,8", {5, 6, 7, 8}},
        // Fields after the fourth are dropped, not written past the four.
        {"six fields", "1,2,3,4,5,6", {1, 2, 3, 4}},
        {"many commas", "1,2,3,4,,,,,,,,,,,,99", {1, 2, 3, 4}},
        {"per-mille value", "5000020,0,10000000,30", {5000020, 0, 10000000, 30}},
        {"beyond int", "99999999999,-99999999999,0,0", {INT_MAX, INT_MIN, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Show(c.want), Show(skin::ParseRect(c.text))) << c.name;
    }
}

TEST(ParseColor, Fields) {
    struct Case {
        const char* name;
        const char* text;
        uint32_t want;
    };
    const Case cases[] = {
        {"magenta", "255,0,255", 0xFF00FF},
        {"red in the low byte", "1,2,3", 0x030201},
        {"300 keeps its low 8 bits", "300,0,0", 0x00002C},
        {"negative wraps to its low 8 bits", "-1,0,0", 0x0000FF},
        {"fourth field ignored", "1,2,3,4", 0x030201},
        {"fields past four ignored", "1,2,3,4,5,6,7", 0x030201},
        {"missing fields", "7", 0x000007},
        {"empty", "", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.want, skin::ParseColor(c.text)) << c.name;
    }
}

TEST(ProfileValues, FormatThenParseRoundTrips) {
    const Rect rects[] = {{0, 0, 0, 0}, {-110, 10, -10, 40}, {INT_MIN, INT_MAX, -1, 1}};
    for (const Rect& r : rects) EXPECT_EQ(Show(r), Show(skin::ParseRect(skin::FormatRect(r))));
    for (uint32_t c : {0u, 0xFF00FFu, 0x123456u, 0xFFFFFFu})
        EXPECT_EQ(c, skin::ParseColor(skin::FormatColor(c)));
    EXPECT_EQ("255,0,0", skin::FormatColor(0x0000FF));
}

TEST(IsFixedRect, Table) {
    struct Case {
        const char* name;
        Rect r;
        bool want;
    };
    const Case cases[] = {
        {"all zero", {0, 0, 0, 0}, true},
        {"no position", {-1, -1, -1, -1}, true},
        {"plain pixels", {10, 10, 110, 40}, true},
        {"largest pixel", {9999, 0, 9999, 0}, true},
        {"far-edge right", {10, 10, -10, 40}, false},
        {"thousandths", {0, 0, 10000, 10}, false},
        {"negative thousandths", {0, 0, 0, -10000}, false},
        {"-1 mixed with pixels", {-1, 0, 0, 0}, false},
        {"whole extent", {0, 0, 10000000, 10000000}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, skin::IsFixedRect(c.r)) << c.name;
}

TEST(MakeCaption, LineBreaksAndWindowText) {
    struct Case {
        const char* name;
        const char* text;
        const char* caption;
        const char* window;
    };
    const Case cases[] = {
        {"two words", "A\\nB", "A\nB", "AB"},
        {"no break", "Title", "Title", "Title"},
        {"line feed kept", "A\nB", "A\nB", "AB"},
        {"several", "a\\nb\\nc", "a\nb\nc", "abc"},
        {"backslash alone", "a\\b", "a\\b", "a\\b"},
        {"double backslash then n", "a\\\\nb", "a\\\nb", "a\\b"},
        {"trailing backslash", "a\\", "a\\", "a\\"},
        {"empty", "", "", ""},
    };
    for (const Case& c : cases) {
        const skin::CaptionText t = skin::MakeCaption(c.text);
        EXPECT_EQ(c.caption, t.caption) << c.name;
        EXPECT_EQ(c.window, t.windowText) << c.name;
    }
}

TEST(ParseInt, AtoiRules) {
    EXPECT_EQ(200, skin::ParseInt("200"));
    EXPECT_EQ(-7, skin::ParseInt("  -7x"));
    EXPECT_EQ(0, skin::ParseInt("x7"));
    EXPECT_EQ(0, skin::ParseInt("-"));
    EXPECT_EQ(INT_MAX, skin::ParseInt("2147483648"));
    EXPECT_EQ(INT_MIN, skin::ParseInt("-2147483648"));
    EXPECT_EQ(INT_MIN, skin::ParseInt("-99999999999999999999999"));
}
