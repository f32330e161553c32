#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "ThemeClass/ThemeEditRules.h"

using skin::EditRange;
using skin::Rect;

TEST(InPlaceFirstKey, SelectionAndReplay) {
    struct Case {
        const char* name;
        unsigned key;
        bool selectAll;
        bool sendChar;
    };
    const Case cases[] = {
        {"click", 1, false, false},
        {"return", 13, false, false},
        {"backspace deletes the last character", 8, false, true},
        {"tab", 9, true, false},
        {"space", 32, true, false},
        {"page up", 33, true, false},
        {"end", 35, true, false},
        {"home", 36, true, false},
        {"down arrow, the last of the block", 40, true, false},
        {"41 is typed", 41, true, true},
        {"31 is typed", 31, true, true},
        {"a letter replaces the text", 'x', true, true},
        {"a digit", '7', true, true},
        {"escape is replayed as a character", 27, true, true},
        {"zero", 0, true, true},
        {"a lead byte above 127", 0xB0, true, true},
    };
    for (const Case& c : cases) {
        const skin::FirstKeyAction a = skin::InPlaceFirstKey(c.key);
        EXPECT_EQ(c.selectAll, a.selectAll) << c.name;
        EXPECT_EQ(c.sendChar, a.sendChar) << c.name;
    }
}

TEST(InPlaceKeys, NavigationEndsTheEditWhenAKeyStartedItOrWithControl) {
    struct Case {
        const char* name;
        unsigned vk;
        bool arrowsEnd;
        bool control;
        bool ends;
    };
    const Case cases[] = {
        {"left, key start", 0x25, true, false, true},
        {"left, click start", 0x25, false, false, false},
        {"left, click start, control", 0x25, false, true, true},
        {"down, click start, control", 0x28, false, true, true},
        {"page up, key start", 0x21, true, false, true},
        {"page down, click start", 0x22, false, false, false},
        {"home never ends it", 0x24, true, true, false},
        {"end never ends it", 0x23, true, true, false},
        {"a letter never ends it", 'A', true, true, false},
        {"delete never ends it", 0x2E, true, true, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.ends, skin::NavigationKeyEndsEdit(c.vk, c.arrowsEnd, c.control)) << c.name;
}

TEST(InPlaceGrowth, WidensToTheTextButNotPastTheParent) {
    struct Case {
        const char* name;
        int left, right, text, parentRight;
        int want;
    };
    const Case cases[] = {
        {"text fits: unchanged", 10, 110, 80, 300, 110},
        {"text exactly as wide: unchanged", 10, 110, 100, 300, 110},
        {"wider text grows the editor", 10, 110, 150, 300, 160},
        {"stops at the parent's edge", 10, 110, 500, 300, 300},
        {"never shrinks past its own edge", 250, 350, 400, 300, 350},
        {"huge widths do not overflow", 10, 20, 2147483647, 400, 400},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, skin::GrowEditRight(c.left, c.right, c.text, c.parentRight)) << c.name;
}

TEST(EditBoxLayout, InnerEditInsideTheOutline) {
    struct Case {
        const char* name;
        Rect client;
        int thick;
        Rect want;
    };
    const Case cases[] = {
        {"no outline", {0, 0, 120, 24}, 0, {0, 2, 120, 24}},
        {"default outline", {0, 0, 120, 24}, 1, {1, 3, 119, 23}},
        {"thick outline", {0, 0, 120, 24}, 3, {3, 5, 117, 21}},
        {"negative thickness counts as none", {0, 0, 120, 24}, -4, {0, 2, 120, 24}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, skin::EditInnerRect(c.client, c.thick)) << c.name;

    const struct {
        int cx, cy;
        bool applies;
    } sizes[] = {{10, 10, true}, {9, 30, false}, {30, 9, false}, {0, 0, false}, {200, 24, true}};
    for (const auto& s : sizes)
        EXPECT_EQ(s.applies, skin::EditLayoutApplies(s.cx, s.cy)) << s.cx << " x " << s.cy;
}

TEST(EditBoxNotifications, OnlyTheEditCodesArePassedOn) {
    const unsigned passed[] = {0x100, 0x200, 0x300, 0x400, 0x500, 0x501, 0x601, 0x602};
    for (unsigned c : passed) EXPECT_TRUE(skin::IsForwardedEditCode(c)) << std::hex << c;
    const unsigned kept[] = {0, 0x502, 0x600, 0x603, 0x700, 0x701, 0x800, 0xFFFF};
    for (unsigned c : kept) EXPECT_FALSE(skin::IsForwardedEditCode(c)) << std::hex << c;
}

namespace {

const std::string kPrefix = "입력범위가 올바르지 않습니다. 입력범위 : ";

}  // namespace

TEST(EditRangeCheck, AcceptsAndRejects) {
    struct Case {
        const char* name;
        EditRange range;
        const char* text;
        bool active;
        bool accepts;
    };
    const EditRange int1to10 = skin::MakeEditRange(1, 10, true);
    const EditRange halfDec = skin::MakeEditRange(-0.5, 0.5, false);
    const Case cases[] = {
        {"inside", int1to10, "5", true, true},
        {"lower bound", int1to10, "1", true, true},
        {"upper bound", int1to10, "10", true, true},
        {"above", int1to10, "11", true, false},
        {"not a number reads as 0", int1to10, "abc", true, false},
        {"empty reads as 0", int1to10, "", true, false},
        {"a fraction passes an integer range", int1to10, "5.5", true, true},
        {"leading digits count", int1to10, "7년", true, true},
        {"decimal upper bound", halfDec, "0.5", true, true},
        {"decimal just above", halfDec, "0.51", true, false},
        {"decimal lower bound", halfDec, "-0.5", true, true},
        {"off range accepts anything", skin::MakeEditRange(0, 0, false), "99", false, true},
        {"reversed range is taken the right way round", skin::MakeEditRange(10, 1, true), "5", true,
         true},
        {"a bound that is not a number turns the check off",
         skin::MakeEditRange(std::nan(""), 3, false), "5", false, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.active, skin::RangeCheckActive(c.range)) << c.name;
        EXPECT_EQ(c.accepts, skin::RangeAccepts(c.range, c.text)) << c.name;
    }
}

TEST(EditRangeCheck, MessageAndResetText) {
    struct Case {
        const char* name;
        EditRange range;
        std::string bounds;  // what the message shows after its prefix
        std::string reset;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"integer range", skin::MakeEditRange(1, 10, true), "[ 1 ~ 10 ] ", "1"},
        {"decimal range", skin::MakeEditRange(-0.5, 0.5, false), "[ -0.500000 ~ 0.500000 ] ",
         "-0.500000"},
        {"integer bounds are truncated toward the inside: a fractional minimum",
         skin::MakeEditRange(0.5, 10, true), "[ 1 ~ 10 ] ", "1"},
        {"a fractional maximum", skin::MakeEditRange(-3.5, -1.5, true), "[ -3 ~ -2 ] ", "-3"},
        {"no whole number inside: the decimal form", skin::MakeEditRange(0.2, 0.8, true),
         "[ 0.200000 ~ 0.800000 ] ", "0.200000"},
        {"reversed bounds", skin::MakeEditRange(10, 1, true), "[ 1 ~ 10 ] ", "1"},
        {"a minimum finer than six decimals is written in full",
         skin::MakeEditRange(0.1234564, 1, false), "[ 0.123456 ~ 1.000000 ] ", "0.1234564"},
        {"bounds beyond the int range", skin::MakeEditRange(-1e12, 1e12, true),
         "[ -2147483648 ~ 2147483647 ] ", "-2147483648"},
        {"infinite bounds", skin::MakeEditRange(-inf, inf, false), "[ -inf ~ inf ] ", "-inf"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kPrefix + c.bounds, skin::RangeMessage(c.range)) << c.name;
        const std::string reset = skin::RangeResetText(c.range);
        EXPECT_EQ(c.reset, reset) << c.name;
        // The reset must itself pass, or two failing boxes would call each
        // other forever.
        EXPECT_TRUE(skin::RangeAccepts(c.range, reset)) << c.name;
    }
}

TEST(EditRangeCheck, EveryResetTextPassesItsOwnCheck) {
    // A sweep of bounds, including ones that no fixed-precision text or
    // whole number meets.
    const double values[] = {
        -1e9, -1000.75, -10, -1,           -0.5,    -1e-7, 0,   1e-9,  0.1234564, 0.25,
        0.5,  0.999,    1,   3.3333333333, 7.00001, 100.5, 1e6, 2.5e9, 1e15,      123456.789012};
    for (double a : values)
        for (double b : values)
            for (bool integer : {false, true}) {
                const EditRange r = skin::MakeEditRange(a, b, integer);
                if (!skin::RangeCheckActive(r)) continue;
                EXPECT_LE(r.minimum, r.maximum);
                EXPECT_TRUE(skin::RangeAccepts(r, skin::RangeResetText(r)))
                    << a << " .. " << b << (integer ? " integer" : " decimal") << " -> "
                    << skin::RangeResetText(r);
            }
}
