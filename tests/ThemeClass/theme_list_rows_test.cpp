// The skinned list box's row rules: strip visibility, row plan, hit test,
// row colours and the wheel.
#include <gtest/gtest.h>

#include <climits>

#include "ThemeClass/ThemeListRows.h"

using skin::Rect;

TEST(ListRows, StripShowsOnlyWhenRowsOverflow) {
    struct Case {
        const char* name;
        int count;
        int itemHeight;
        int clientHeight;
        int outline;
        bool want;
    };
    const Case cases[] = {
        {"six rows of 16 in 100 inside the outline", 6, 16, 102, 1, false},
        {"seven rows of 16 overflow 100", 7, 16, 102, 1, true},
        {"exactly full does not overflow", 5, 20, 102, 1, false},
        {"no rows", 0, 16, 102, 1, false},
        {"thick outline takes room", 6, 16, 102, 4, true},
        {"no outline", 6, 17, 102, 0, false},
        {"a count whose pixels pass the int range", INT_MAX, 16, 102, 1, true},
    };
    for (const Case& c : cases) {
        const Rect client{0, 0, 150, c.clientHeight};
        EXPECT_EQ(c.want, skin::ListRowsOverflow(c.count, c.itemHeight, client, c.outline))
            << c.name;
    }
}

TEST(ListRows, AreaAndStripRectangles) {
    const Rect client{0, 0, 150, 102};
    EXPECT_EQ((Rect{1, 1, 149, 101}), skin::ListRowArea(client, 1, false));
    EXPECT_EQ((Rect{1, 1, 132, 101}), skin::ListRowArea(client, 1, true)) << "17 px narrower";
    EXPECT_EQ((Rect{132, 1, 149, 101}), skin::ListStripRect(client, 1));
    EXPECT_EQ((Rect{133, 0, 150, 102}), skin::ListStripRect(client, 0));
}

TEST(ListRows, PaintPlanStopsAtTheBottomAndFillsBelow) {
    const Rect area{1, 1, 149, 101};
    struct Case {
        const char* name;
        int top;
        int count;
        int itemHeight;
        int wantRows;
        int wantFirst;
        Rect wantBelow;
    };
    const Case cases[] = {
        {"three rows leave a back below", 0, 3, 16, 3, 0, Rect{3, 49, 147, 101}},
        {"a partly shown last row is painted", 0, 10, 16, 7, 0, Rect{}},
        {"from a scrolled top", 4, 10, 16, 6, 4, Rect{3, 97, 147, 101}},
        {"no rows: all back", 0, 0, 16, 0, 0, Rect{3, 1, 147, 101}},
        {"a zero row height paints no row", 0, 5, 0, 0, 0, Rect{3, 1, 147, 101}},
    };
    for (const Case& c : cases) {
        const skin::ListPaintPlan p = skin::PlanListRows(area, 2, 2, c.top, c.count, c.itemHeight);
        ASSERT_EQ(static_cast<size_t>(c.wantRows), p.rows.size()) << c.name;
        if (!p.rows.empty()) {
            EXPECT_EQ(c.wantFirst, p.rows[0].index) << c.name;
            EXPECT_EQ((Rect{3, 1, 147, 1 + c.itemHeight}), p.rows[0].rect) << c.name;
        }
        EXPECT_EQ(c.wantBelow, p.below) << c.name;
    }
}

TEST(ListRows, HitTest) {
    const Rect area{1, 1, 149, 101};
    struct Case {
        const char* name;
        int top;
        int count;
        int x;
        int y;
        int want;
    };
    const Case cases[] = {
        {"first row", 0, 10, 50, 1, 0},
        {"last pixel of the first row", 0, 10, 50, 16, 0},
        {"second row", 0, 10, 50, 17, 1},
        {"scrolled: the top row is 3", 3, 10, 50, 5, 3},
        {"below the last row", 0, 3, 50, 60, -1},
        {"scrolled past the count", 8, 10, 50, 40, -1},
        {"in the left gap still hits", 0, 10, 1, 5, 0},
        {"on the outline", 0, 10, 0, 5, -1},
        {"right of the area", 0, 10, 149, 5, -1},
        {"above the area", 0, 10, 50, 0, -1},
        {"below the area bottom", 0, 20, 50, 101, -1},
        {"empty list", 0, 0, 50, 5, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, skin::ListHitTest(area, c.top, c.count, 16, c.x, c.y)) << c.name;
}

TEST(ListRows, ItemRectangleForInvalidation) {
    const Rect area{1, 1, 149, 101};
    EXPECT_EQ((Rect{1, 33, 149, 49}), skin::ListItemRect(area, 0, 10, 16, 2));
    EXPECT_EQ((Rect{1, 1, 149, 17}), skin::ListItemRect(area, 2, 10, 16, 2));
    EXPECT_TRUE(skin::ListItemRect(area, 3, 10, 16, 2).IsEmpty()) << "above the top row";
    EXPECT_TRUE(skin::ListItemRect(area, 0, 10, 16, 10).IsEmpty()) << "not below the count";
    EXPECT_TRUE(skin::ListItemRect(area, 0, 10, 16, -1).IsEmpty()) << "no selection";
}

TEST(ListRows, RowColours) {
    skin::ListBoxColors c;
    c.state1 = 1;
    c.state2 = 2;
    c.state3 = 3;
    c.selectText = 4;
    c.selectBack = 5;
    c.back1 = 6;
    c.back2 = 7;
    struct Case {
        const char* name;
        int index;
        int selection;
        uintptr_t data;
        skin::Color back;
        skin::Color text;
    };
    const Case cases[] = {
        {"even row, data 0", 0, -1, 0, 6, 1},
        {"odd row, data 1", 1, -1, 1, 7, 2},
        {"other data", 2, -1, 9, 6, 3},
        {"selected wins over data", 3, 3, 1, 5, 4},
    };
    for (const Case& k : cases) {
        const skin::ListBoxRowLook l = skin::ListRowLook(c, k.index, k.selection, k.data);
        EXPECT_EQ(k.back, l.back) << k.name;
        EXPECT_EQ(k.text, l.text) << k.name;
    }
}

TEST(ListRows, WheelNotches) {
    struct Case {
        const char* name;
        int top;
        int delta;
        bool scrolls;
        int want;
    };
    const Case cases[] = {
        {"down one", 2, -120, true, 3},
        {"up one", 2, 120, true, 1},
        {"up at the top", 0, 120, false, 0},
        {"two notches at once do not scroll", 2, -240, false, 0},
        {"a fine wheel step does not scroll", 2, 60, false, 0},
    };
    for (const Case& c : cases) {
        int got = 0;
        EXPECT_EQ(c.scrolls, skin::ListWheelTop(c.top, c.delta, &got)) << c.name;
        if (c.scrolls) {
            EXPECT_EQ(c.want, got) << c.name;
        }
    }
}
