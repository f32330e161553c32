#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ThemeClass/ThemeMenuLayout.h"

using skin::MenuItemRange;
using skin::MenuMetrics;
using skin::Rect;

namespace {

constexpr uint32_t kSep = skin::kMenuSeparatorId;
constexpr uint32_t kSub = skin::kMenuSubmenuId;

MenuMetrics Bare() {
    MenuMetrics m;
    m.backThick = 0;
    m.outlineThick = 0;
    return m;
}

// A glyph width that differs per letter, so a miscount shows.
int Glyph(unsigned char c) { return c == ' ' ? 3 : 5 + (c % 4); }

// "가나다라마바" in code page 949: six two-byte characters.
const std::string kKorean6 = "\xB0\xA1\xB3\xAA\xB4\xD9\xB6\xF3\xB8\xB6\xB9\xD9";

}  // namespace

TEST(MenuLayout, WindowSizeFromItemsAndText) {
    struct Case {
        const char* name;
        MenuMetrics m;
        std::vector<uint32_t> ids;
        int widest;
        int cx, cy;
    };
    const Case cases[] = {
        {"empty menu", MenuMetrics(), {}, 0, 88, 8},
        {"separators only still count 70", MenuMetrics(), {kSep, kSep}, 0, 88, 24},
        {"one short command", MenuMetrics(), {101}, 30, 88, 31},
        {"text exactly 70", MenuMetrics(), {101}, 70, 88, 31},
        {"wide text", MenuMetrics(), {101, kSep, kSub}, 120, 138, 62},
        {"no back, no outline", Bare(), {101, 102}, 0, 80, 46},
        {"thick frame", MenuMetrics{30, 10, 5, 3}, {101, kSep}, 71, 97, 56},
    };
    for (const Case& c : cases) {
        const skin::MenuSize s = skin::MenuWindowSize(c.m, c.ids, c.widest);
        EXPECT_EQ(c.cx, s.cx) << c.name;
        EXPECT_EQ(c.cy, s.cy) << c.name;
    }
}

TEST(MenuLayout, ItemRectanglesStackWithoutGaps) {
    const Rect client{0, 0, 100, 62};
    const std::vector<uint32_t> ids = {101, kSep, kSub};
    struct Case {
        const char* name;
        int index;
        Rect want;
    };
    const Case cases[] = {
        {"first command", 0, {4, 4, 96, 27}},      {"separator under it", 1, {4, 27, 96, 35}},
        {"submenu item last", 2, {4, 35, 96, 58}}, {"past the end", 3, {0, 0, 10, 10}},
        {"negative", -1, {0, 0, 10, 10}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, skin::MenuItemRect(client, MenuMetrics(), ids, c.index)) << c.name;
    // An offset client moves the items with it.
    EXPECT_EQ((Rect{14, 24, 106, 47}),
              skin::MenuItemRect(Rect{10, 20, 110, 82}, MenuMetrics(), ids, 0));
}

TEST(MenuLayout, HitTestTakesTheFirstItemOnAnEdge) {
    const Rect client{0, 0, 100, 62};
    const std::vector<uint32_t> ids = {101, kSep, kSub};
    struct Case {
        const char* name;
        int x, y;
        int want;
    };
    const Case cases[] = {
        {"inside the first", 50, 10, 0},
        {"top edge of the first", 4, 4, 0},
        {"shared edge goes to the upper item", 50, 27, 0},
        {"inside the separator", 50, 30, 1},
        {"right edge included", 96, 40, 2},
        {"bottom edge of the last", 50, 58, 2},
        {"in the outline above", 50, 2, -1},
        {"in the outline left", 3, 10, -1},
        {"below the items", 50, 59, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, skin::MenuHitTest(client, MenuMetrics(), ids, c.x, c.y)) << c.name;
    EXPECT_EQ(-1, skin::MenuHitTest(client, MenuMetrics(), {}, 10, 5)) << "no items";
}

TEST(MenuLayout, TextWidthCountsTwoByteCharactersFlat) {
    const std::string longAscii(300, 'a');
    struct Case {
        const char* name;
        std::string text;
        int fontSize;
        int want;
    };
    const std::vector<Case> cases = {
        {"empty", "", 12, 0},
        {"ascii: glyph + 2 each", "ab", 12, (Glyph('a') + 2) + (Glyph('b') + 2)},
        {"korean: font size + 5 each", kKorean6, 12, 6 * 17},
        {"korean at 20", kKorean6, 20, 6 * 25},
        {"mixed", "a" + kKorean6.substr(0, 2) + " ", 12, (Glyph('a') + 2) + 17 + (3 + 2)},
        {"lead byte at the end counts once", "a\xB0", 12, (Glyph('a') + 2) + 17},
        {"longer than 255 bytes measured in full", longAscii, 12, 300 * (Glyph('a') + 2)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, skin::MeasureMenuText(c.text.data(), c.text.size(), c.fontSize, Glyph))
            << c.name;
}

TEST(MenuLayout, ImageFramePerCountAndState) {
    struct Case {
        int count;
        int normal, hover, pressed;
    };
    const Case cases[] = {
        {1, 0, 0, 0}, {2, 0, 1, 1}, {3, 0, 1, 2}, {4, 0, 1, 2}, {0, 0, 0, 0}, {5, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.normal, skin::MenuImageFrame(c.count, 0)) << "count " << c.count;
        EXPECT_EQ(c.hover, skin::MenuImageFrame(c.count, 1)) << "count " << c.count;
        EXPECT_EQ(c.pressed, skin::MenuImageFrame(c.count, 2)) << "count " << c.count;
        EXPECT_EQ(0, skin::MenuImageFrame(c.count, 3)) << "count " << c.count;
        EXPECT_EQ(0, skin::MenuImageFrame(c.count, -1)) << "count " << c.count;
    }
}

TEST(MenuLayout, SeparatorLinesSubmenuOriginAndSlots) {
    EXPECT_EQ(30, skin::MenuSeparatorLineY(Rect{4, 27, 96, 35}));
    EXPECT_EQ(30, skin::MenuSeparatorLineY(Rect{4, 27, 96, 36})) << "odd height rounds down";
    const skin::MenuPoint p = skin::SubmenuOrigin(Rect{104, 204, 196, 227});
    EXPECT_EQ(194, p.x);
    EXPECT_EQ(204, p.y);
    struct Case {
        int level;
        bool has;
    };
    const Case cases[] = {{-1, false}, {0, true}, {9, true}, {10, false}, {11, false}};
    for (const Case& c : cases) EXPECT_EQ(c.has, skin::MenuLevelHasSlot(c.level)) << c.level;
}

TEST(MenuItemTable, FindTakesTheFirstCoveringEntry) {
    const std::vector<MenuItemRange> table = {
        {200, 0, skin::kMenuCheckItem},
        {300, 305, skin::kMenuRadioRange},
        {302, 0, skin::kMenuCheckItem},  // also covered by the range above
        {400, 0, 7},                     // unknown kind: never found
        {0xFFFFFFF0u, 0xFFFFFFFEu, skin::kMenuRadioRange},
        {500, 600, skin::kMenuCheckItem},  // a check item ignores its last id
    };
    struct Case {
        const char* name;
        uint32_t id;
        int want;
    };
    const Case cases[] = {
        {"check item", 200, 0},
        {"range start", 300, 1},
        {"range end", 305, 1},
        {"after the range", 306, -1},
        {"earlier entry decides", 302, 1},
        {"unknown kind", 400, -1},
        {"unsigned range", 0xFFFFFFF5u, 4},
        {"past an unsigned range", 0xFFFFFFFFu, -1},
        {"check item by first id only", 550, -1},
        {"none", 1, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, skin::FindMenuItemRange(table, c.id)) << c.name;
    EXPECT_EQ(-1, skin::FindMenuItemRange({}, 200)) << "empty table";
}

TEST(MenuItemTable, AddingReplacesTheCoveringEntry) {
    std::vector<MenuItemRange> t;
    skin::AddMenuCheckItem(t, 10);
    skin::AddMenuRadioRange(t, 20, 25);
    skin::AddMenuCheckItem(t, 30);
    ASSERT_EQ(3u, t.size());

    // A check item inside the range takes the range's place at the end.
    skin::AddMenuCheckItem(t, 22);
    ASSERT_EQ(3u, t.size());
    EXPECT_EQ(10u, t[0].first);
    EXPECT_EQ(30u, t[1].first);
    EXPECT_EQ(22u, t[2].first);
    EXPECT_EQ(skin::kMenuCheckItem, t[2].kind);

    // A range replaces the entry of its first id only.
    skin::AddMenuRadioRange(t, 10, 40);
    ASSERT_EQ(3u, t.size());
    EXPECT_EQ(30u, t[0].first);
    EXPECT_EQ(22u, t[1].first);
    EXPECT_EQ(10u, t[2].first);
    EXPECT_EQ(40u, t[2].last);
    EXPECT_EQ(skin::kMenuRadioRange, t[2].kind);
    // The older check items still decide the ids they cover.
    EXPECT_EQ(0, skin::FindMenuItemRange(t, 30));
    EXPECT_EQ(2, skin::FindMenuItemRange(t, 35));
}
