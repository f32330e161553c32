#include <gtest/gtest.h>

#include <string>

#include "ThemeClass/ThemeResize.h"

using skin::Rect;

namespace {
std::string Show(const Rect& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}
}  // namespace

TEST(HitTestBorder, ClientOf300By200) {
    struct Case {
        int x, y, zone;
    };
    const Case cases[] = {
        {3, 3, 5},
        {7, 100, 1},
        {8, 100, 0},
        {296, 196, 8},
        {150, 0, 2},
        {0, 0, 5},
        {7, 7, 5},
        {8, 7, 2},
        {293, 0, 6},
        {300, 7, 6},
        {292, 100, 0},
        {293, 100, 3},
        {0, 193, 7},
        {7, 200, 7},
        {150, 193, 4},
        {150, 192, 0},
        {300, 200, 8},
        {150, 150, 0},
        // Edge tests look at one coordinate only: far outside still counts.
        {-50, -50, 0},
        {5, -50, 1},
        {-50, 5, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.zone, skin::HitTestBorder(c.x, c.y, 300, 200, 7))
            << "(" << c.x << "," << c.y << ")";
    }
}

TEST(HitTestZone, WindowRectangleInScreenCoordinates) {
    const Rect w{100, 50, 400, 250};
    EXPECT_EQ(5, skin::HitTestZone(w, 103, 53, 7));
    EXPECT_EQ(8, skin::HitTestZone(w, 396, 246, 7));
    EXPECT_EQ(0, skin::HitTestZone(w, 250, 150, 7));
    EXPECT_EQ(3, skin::HitTestZone(w, 400, 150, 7));
}

TEST(TrackResize, EachZoneClampedByItsOwnLimits) {
    const Rect r{100, 100, 400, 300};  // 300 x 200
    const skin::SizeLimits lim;        // 50..4000
    struct Case {
        const char* name;
        int zone, dx, dy;
        Rect want;
    };
    const Case cases[] = {
        {"zone 0 keeps the rectangle", 0, 40, 40, r},
        {"left edge in", 1, 20, 99, {120, 100, 400, 300}},
        {"left past the minimum stops at right - 50", 1, 290, 0, {350, 100, 400, 300}},
        {"left out past the maximum", 1, -5000, 0, {-3600, 100, 400, 300}},
        {"top down past the minimum", 2, 0, 190, {100, 250, 400, 300}},
        {"right in past the minimum", 3, -290, 0, {100, 100, 150, 300}},
        {"bottom out", 4, 0, 25, {100, 100, 400, 325}},
        {"bottom-right to 30 x 30 held at 50", 8, -270, -170, {100, 100, 150, 150}},
        {"bottom-right beyond 4000 wide", 8, 5000, 0, {100, 100, 4100, 300}},
        {"top-left moves both", 5, 10, 20, {110, 120, 400, 300}},
        {"top-right", 6, 10, -20, {100, 80, 410, 300}},
        {"bottom-left both clamped", 7, 400, -400, {350, 100, 400, 150}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Show(c.want), Show(skin::TrackResize(r, c.zone, c.dx, c.dy, lim))) << c.name;
    }
}

TEST(ClampToLimits, MovesTheFarEdges) {
    skin::SizeLimits lim;
    EXPECT_EQ(Show({10, 10, 60, 60}), Show(skin::ClampToLimits({10, 10, 40, 40}, lim)));
    EXPECT_EQ(Show({10, 10, 4010, 60}), Show(skin::ClampToLimits({10, 10, 5000, 60}, lim)));
    lim.minWidth = 100;
    lim.maxHeight = 80;
    EXPECT_EQ(Show({0, 0, 100, 80}), Show(skin::ClampToLimits({0, 0, 20, 500}, lim)));
}

TEST(ResizeByDelta, Table) {
    const Rect r{0, 0, 300, 200};
    const skin::SizeLimits lim;
    struct Case {
        const char* name;
        int zone, dx, dy;
        bool applied;
        Rect want;
    };
    const Case cases[] = {
        {"no delta", 8, 0, 0, false, r},
        {"zone 0", 0, 5, 5, false, r},
        {"unknown zone", 9, 5, 5, false, r},
        {"right grows", 3, 10, 0, true, {0, 0, 310, 200}},
        {"below the minimum is dropped", 3, -260, 0, false, r},
        {"above the maximum is cut", 4, 0, 9000, true, {0, 0, 300, 4000}},
        {"top-left", 5, -5, -6, true, {-5, -6, 300, 200}},
    };
    for (const Case& c : cases) {
        Rect out = r;
        EXPECT_EQ(c.applied, skin::ResizeByDelta(r, c.zone, c.dx, c.dy, lim, &out)) << c.name;
        EXPECT_EQ(Show(c.want), Show(out)) << c.name;
    }
}

TEST(GrowBorder, FifteenPixelsOutward) {
    const Rect r{100, 100, 200, 200};
    EXPECT_EQ(Show({85, 85, 200, 200}), Show(skin::GrowBorder(r, 5)));
    EXPECT_EQ(Show({100, 100, 215, 215}), Show(skin::GrowBorder(r, 8)));
    EXPECT_EQ(Show(r), Show(skin::GrowBorder(r, 0)));
}
