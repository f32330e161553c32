#include <gtest/gtest.h>

#include <vector>

#include "ThemeClass/ThemeMark.h"

using skin::Rect;

namespace {

constexpr unsigned kTop = 0, kVCenter = 4, kBottom = 8;

}  // namespace

TEST(MarkLayout, SquareByBackAndAlignment) {
    struct Case {
        const char* name;
        Rect client;
        int size;
        int backDrawType;
        unsigned align;
        Rect want;
    };
    const Case cases[] = {
        {"colour back, centred", {0, 0, 120, 24}, 12, 1, kVCenter, {4, 6, 16, 18}},
        {"no back sits at the edge", {0, 0, 120, 24}, 12, 0, kVCenter, {0, 6, 12, 18}},
        {"image back is inset too", {0, 0, 120, 24}, 12, 2, kTop, {4, 0, 16, 12}},
        {"bottom aligned", {0, 0, 120, 30}, 12, 1, kBottom, {4, 18, 16, 30}},
        {"bottom wins over centre", {0, 0, 120, 30}, 12, 1, kBottom | kVCenter, {4, 18, 16, 30}},
        {"odd height centres down", {0, 0, 120, 25}, 13, 1, kVCenter, {4, 6, 17, 19}},
        {"mark taller than the box", {0, 0, 120, 8}, 12, 1, kVCenter, {4, -2, 16, 10}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, skin::MarkRect(c.client, c.size, c.backDrawType, c.align)) << c.name;
}

TEST(MarkLayout, CaptionBesideTheMark) {
    const Rect client{0, 0, 120, 24};
    const Rect mark{4, 6, 16, 18};
    struct Case {
        const char* name;
        Rect area;
        bool pushLike;
        int backDrawType;
        bool pressed;
        Rect want;
    };
    const Case cases[] = {
        {"right of the mark, inset at the right", {}, false, 1, false, {21, 0, 116, 24}},
        {"no back keeps the right edge", {}, false, 0, false, {21, 0, 120, 24}},
        {"push-like takes the whole width", {}, true, 1, false, {0, 0, 116, 24}},
        {"pressed look moves a pixel", {}, true, 1, true, {1, 1, 117, 25}},
        {"caption area from left 1 replaces it",
         {30, 2, -10, 0},
         false,
         1,
         false,
         {30, 2, 110, 24}},
        {"caption area at left 0 is ignored", {0, 2, 60, 20}, false, 1, false, {21, 0, 116, 24}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, skin::MarkCaptionRect(client, mark, c.area, c.pushLike, c.backDrawType,
                                                c.pressed))
            << c.name;
}

TEST(MarkLayout, CheckVStrokesMeetInTheMiddle) {
    const skin::VMark v = skin::CheckVMark(Rect{4, 6, 16, 18});
    EXPECT_EQ(7, v.x0);
    EXPECT_EQ(9, v.y0);
    EXPECT_EQ(13, v.x2);
    EXPECT_EQ(9, v.y2);
    EXPECT_EQ(10, v.x1);
    EXPECT_EQ(15, v.y1);
    EXPECT_EQ(v.x1, v.x3);
    EXPECT_EQ(v.y1, v.y3);
}

TEST(MarkLayout, ImageHalves) {
    EXPECT_EQ((Rect{0, 0, 12, 12}), skin::MarkImageHalf(24, 12, false));
    EXPECT_EQ((Rect{12, 0, 24, 12}), skin::MarkImageHalf(24, 12, true));
    EXPECT_EQ((Rect{0, 0, 12, 13}), skin::MarkImageHalf(25, 13, false));
    EXPECT_EQ((Rect{12, 0, 25, 13}), skin::MarkImageHalf(25, 13, true));
}

TEST(CheckLook, PushLikeCheckedLooksPressed) {
    struct Case {
        const char* name;
        int state;
        bool pushLike, checked;
        int wantState;
        skin::Color wantBack, wantLt, wantRb;
    };
    const skin::Color backs[4] = {0x000001, 0x000002, 0x000003, 0x000004};
    const skin::Color lt = 0xAA, rb = 0xBB;
    const Case cases[] = {
        {"plain normal", 0, false, false, 0, 0x000001, lt, rb},
        {"checked box is not pressed", 0, false, true, 0, 0x000001, lt, rb},
        {"pressed sinks", 2, false, false, 2, 0x000003, rb, lt},
        {"push-like unchecked", 0, true, false, 0, 0x000001, lt, rb},
        {"push-like checked at rest", 0, true, true, 2, 0x000003, rb, lt},
        {"push-like checked hovered keeps hover frame", 1, true, true, 1, 0x000003, rb, lt},
        {"push-like checked pressed", 2, true, true, 2, 0x000003, rb, lt},
        {"push-like checked disabled", 3, true, true, 3, 0x000003, rb, lt},
        {"disabled", 3, false, false, 3, 0x000004, lt, rb},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.wantState, skin::CheckDrawState(c.state, c.pushLike, c.checked)) << c.name;
        const skin::CheckBack b =
            skin::CheckColorBack(c.state, c.pushLike, c.checked, backs, lt, rb);
        EXPECT_EQ(c.wantBack, b.back) << c.name;
        EXPECT_EQ(c.wantLt, b.lt) << c.name;
        EXPECT_EQ(c.wantRb, b.rb) << c.name;
    }
}

TEST(CheckLook, ReleaseTogglesOnlyWhileHoveringOverIt) {
    enum Ev { Hover, Leave, Down, UpIn, UpOut };
    struct Case {
        const char* name;
        std::vector<Ev> events;
        int toggles;
        int endState;
    };
    const Case cases[] = {
        {"click while hovering", {Hover, Down, UpIn}, 1, skin::kStateHover},
        {"two clicks", {Hover, Down, UpIn, Down, UpIn}, 2, skin::kStateHover},
        {"press, leave, release outside", {Hover, Down, Leave, UpOut}, 0, skin::kStateNormal},
        {"press, leave, come back, release",
         {Hover, Down, Leave, Hover, UpIn},
         1,
         skin::kStateHover},
        {"release before any hover", {Down, UpIn}, 0, skin::kStateNormal},
        // A drag from elsewhere that ends on the box.
        {"pressed elsewhere, released over it", {Hover, UpIn}, 0, skin::kStateHover},
        {"a release after a finished click", {Hover, Down, UpIn, UpIn}, 1, skin::kStateHover},
        // With the capture held, a leave may not come before the release.
        {"release outside without a leave", {Hover, Down, UpOut}, 0, skin::kStateHover},
    };
    for (const Case& c : cases) {
        skin::CheckTracker t;
        int toggles = 0;
        for (Ev e : c.events) {
            switch (e) {
                case Hover: t.OnHover(); break;
                case Leave: t.OnLeave(); break;
                case Down: t.OnLeftDown(); break;
                case UpIn: toggles += t.OnRelease(true); break;
                case UpOut: toggles += t.OnRelease(false); break;
            }
        }
        EXPECT_EQ(c.toggles, toggles) << c.name;
        EXPECT_EQ(c.endState, t.state) << c.name;
        EXPECT_FALSE(t.pressed) << c.name;
    }
}
