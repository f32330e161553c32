#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "ThemeClass/ThemeLook.h"

using skin::Color;
using skin::Rect;

TEST(StateColors, KeyMeansTheNormalColour) {
    struct Case {
        const char* name;
        Color in[4];
        Color want[4];
    };
    const Case cases[] = {
        {"all given", {1, 2, 3, 4}, {1, 2, 3, 4}},
        {"key in the last three",
         {0x123456, 0xFF00FF, 0xFF00FF, 0xFF00FF},
         {0x123456, 0x123456, 0x123456, 0x123456}},
        {"key only for pressed", {7, 8, 0xFF00FF, 9}, {7, 8, 7, 9}},
        {"key as the normal colour stays", {0xFF00FF, 1, 2, 3}, {0xFF00FF, 1, 2, 3}},
    };
    for (const Case& c : cases) {
        Color out[4];
        skin::ResolveStateColors(c.in, out);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(c.want[i], out[i]) << c.name << " state " << i;
    }
}

TEST(Frames, MapAndStripRectangle) {
    struct Case {
        int count;
        bool ok;
        int map[4];
    };
    const Case cases[] = {
        {1, true, {0, 0, 0, 0}},   {2, true, {0, 0, 1, 0}},  {3, true, {0, 1, 2, 0}},
        {4, true, {0, 1, 2, 3}},   {0, false, {9, 9, 9, 9}}, {5, false, {9, 9, 9, 9}},
        {-1, false, {9, 9, 9, 9}},
    };
    for (const Case& c : cases) {
        int map[4] = {9, 9, 9, 9};
        EXPECT_EQ(c.ok, skin::FrameMapFor(c.count, map)) << "count " << c.count;
        for (int i = 0; i < 4; ++i) EXPECT_EQ(c.map[i], map[i]) << "count " << c.count;
    }
    // A 120 x 30 strip of four frames: frame 2 is 60..90.
    EXPECT_EQ((Rect{60, 0, 90, 30}), skin::StripFrame(120, 30, 4, 2));
    EXPECT_EQ((Rect{0, 0, 120, 30}), skin::StripFrame(120, 30, 1, 0));
    EXPECT_EQ((Rect{40, 0, 80, 30}), skin::StripFrame(120, 30, 3, 1));
}

TEST(States, PaintFollowsTheEnabledFlag) {
    struct Case {
        int state;
        bool enabled;
        int want;
    };
    const Case cases[] = {{0, true, 0},  {1, true, 1},  {2, true, 2}, {3, true, 0},
                          {0, false, 3}, {2, false, 3}, {3, false, 3}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.want, skin::PaintState(c.state, c.enabled)) << c.state << " " << c.enabled;
    }
}

TEST(States, OutlineColoursSwapWhenPressed) {
    for (int state = 0; state < 4; ++state) {
        Color lt = 0, rb = 0;
        skin::ButtonOutlineColors(state, 0xC0C0C0, 0x000000, &lt, &rb);
        EXPECT_EQ(state == 2 ? 0x000000u : 0xC0C0C0u, lt) << state;
        EXPECT_EQ(state == 2 ? 0xC0C0C0u : 0x000000u, rb) << state;
    }
}

TEST(Captions, ButtonAndLabelRectangles) {
    const Rect client{0, 0, 100, 30};
    struct Case {
        const char* name;
        bool button;
        Rect area;
        int state;
        Rect want;
    };
    const Case cases[] = {
        {"button: default area is the client", true, {0, 0, 0, 0}, 0, {0, 0, 100, 30}},
        {"button: pressed moves one pixel", true, {0, 0, 0, 0}, 2, {1, 1, 101, 31}},
        {"button: area left of the client gives the client",
         true,
         {-4, 2, -4, -2},
         0,
         {0, 0, 100, 30}},
        {"button: top -1 is kept", true, {4, -1, -4, 0}, 0, {4, -1, 96, 30}},
        {"button: top -2 gives the client", true, {4, -2, -4, 0}, 0, {0, 0, 100, 30}},
        {"label: default area is the client", false, {0, 0, 0, 0}, 0, {0, 0, 100, 30}},
        {"label: far edges resolved", false, {5, 2, -5, -2}, 0, {5, 2, 95, 28}},
        {"label: non-positive right gives the client", false, {5, 2, -100, 20}, 0, {0, 0, 100, 30}},
        {"label: non-positive bottom gives the client", false, {5, 2, 50, -30}, 0, {0, 0, 100, 30}},
    };
    for (const Case& c : cases) {
        const Rect got = c.button ? skin::ButtonCaptionRect(c.area, client, c.state)
                                  : skin::LabelCaptionRect(c.area, client);
        EXPECT_EQ(c.want, got) << c.name;
    }
}

TEST(ButtonStyle, OwnerDrawReplacesTheType) {
    struct Case {
        const char* name;
        uint32_t style;
        uint32_t want;
    };
    const Case cases[] = {
        {"push button", 0x50010000, 0x5001000B},
        {"default push button", 0x50010001, 0x5001000B},
        // OR-ing 0xB into BS_RADIOBUTTON (4) would give 0xF, another type.
        {"radio button", 0x50000004, 0x5000000B},
        {"auto check box", 0x50000003, 0x5000000B},
        {"group box", 0x50000007, 0x5000000B},
        {"other style bits kept", 0x00000F00, 0x00000F0B},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, skin::OwnerDrawButtonStyle(c.style)) << c.name;
}

TEST(ButtonTracker, HoverPressAndLeave) {
    enum Ev { Move, MoveHeld, Hover, Leave, Down, Up };
    struct Case {
        const char* name;
        std::vector<Ev> events;
        int state;
        bool pressed;
        bool hover;
    };
    const Case cases[] = {
        {"hover", {Move, Hover}, 1, false, true},
        {"press while hovering", {Move, Hover, Down}, 2, true, true},
        {"release while hovering", {Move, Hover, Down, Up}, 1, false, true},
        {"press without hover", {Down}, 0, true, false},
        {"press held and leave clears at once",
         {Move, Hover, Down, MoveHeld, Leave},
         0,
         false,
         false},
        {"hover with the button held shows pressed", {MoveHeld, Hover}, 2, true, true},
        {"leave then release", {Move, Hover, Leave, Up}, 0, false, false},
    };
    for (const Case& c : cases) {
        skin::ButtonTracker t;
        for (Ev e : c.events) {
            switch (e) {
                case Move: t.OnMove(false); break;
                case MoveHeld: t.OnMove(true); break;
                case Hover: t.OnHover(); break;
                case Leave: t.OnLeave(); break;
                case Down: t.OnLeftDown(); break;
                case Up: t.OnLeftUp(); break;
            }
        }
        EXPECT_EQ(c.state, t.state) << c.name;
        EXPECT_EQ(c.pressed, t.pressed) << c.name;
        EXPECT_EQ(c.hover, t.hover) << c.name;
    }
    skin::ButtonTracker t;
    EXPECT_TRUE(t.OnHover());
    EXPECT_FALSE(t.OnHover()) << "a second hover changes nothing";
}

TEST(Progress, BarWidthColourSetAndClamping) {
    const Rect client{0, 0, 102, 20};  // inner 100 wide with a 1-pixel outline
    struct Case {
        const char* name;
        int thickness;
        int min;
        int max;
        int pos;
        double percent;
        int barRight;
        int set;
    };
    const Case cases[] = {
        {"default 70 of 0-100", 1, 0, 100, 70, 90.0, 71, 1},
        {"95 switches to the second set", 1, 0, 100, 95, 90.0, 96, 2},
        {"90 exactly stays on the first", 1, 0, 100, 90, 90.0, 91, 1},
        {"below the minimum: no bar", 1, 0, 100, -20, 90.0, 1, 1},
        {"above the maximum: full", 1, 0, 100, 250, 90.0, 101, 2},
        {"min equals max: empty, no fault", 1, 50, 50, 50, 90.0, 1, 1},
        {"min above max: empty", 1, 60, 50, 55, 90.0, 1, 1},
        {"offset range", 1, 100, 300, 200, 90.0, 51, 1},
        {"thickness 0 uses the whole client", 0, 0, 100, 50, 90.0, 51, 1},
        {"extreme range without overflow", 1, INT_MIN, INT_MAX, INT_MAX, 90.0, 101, 2},
    };
    for (const Case& c : cases) {
        const auto l = skin::LayoutProgress(client, c.thickness, c.min, c.max, c.pos, c.percent);
        EXPECT_EQ(c.barRight, l.barRight) << c.name;
        EXPECT_EQ(c.set, l.colorSet) << c.name;
    }
    const auto l = skin::LayoutProgress({0, 0, 60, 20}, 3, 0, 100, 50, 90.0);
    EXPECT_EQ((Rect{3, 3, 57, 17}), l.inner);
    EXPECT_EQ(3 + 27, l.barRight);
}

TEST(Progress, Text) {
    EXPECT_EQ("42%", skin::ProgressText(42, "%"));
    EXPECT_EQ("70", skin::ProgressText(70, ""));
    EXPECT_EQ("-5 MB", skin::ProgressText(-5, " MB"));
}

TEST(ToolTipRelay, MouseMessagesButNoDoubleClicks) {
    struct Case {
        const char* name;
        unsigned int message;
        bool relayed;
    };
    const Case cases[] = {
        {"move", 0x200, true},
        {"left down", 0x201, true},
        {"left up", 0x202, true},
        {"left double click", 0x203, false},
        {"right down", 0x204, true},
        {"right up", 0x205, true},
        {"right double click", 0x206, false},
        {"middle down", 0x207, true},
        {"middle up", 0x208, true},
        {"middle double click", 0x209, false},
        {"wheel", 0x20A, false},
        {"hover", 0x2A1, false},
        {"leave", 0x2A3, false},
        {"paint", 0x00F, false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.relayed, skin::IsToolTipRelayed(c.message)) << c.name;
}
