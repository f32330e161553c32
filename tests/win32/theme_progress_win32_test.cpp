// The skinned progress bar in a real window: bar, colour sets, outline and
// text read back from the screen.
#include <gtest/gtest.h>

#include "ThemeClass/ThemeDraw.h"
#include "ThemeClass/ThemeProgress.h"
#include "theme_fixture.h"

using themetest::Count;
using themetest::Hex;
using themetest::NearColor;
using themetest::Shot;
using themetest::SkinStage;

namespace {

constexpr UINT kId = 5151;
// 102 x 20: with the 1-pixel outline the inner area is 100 x 18 at (1, 1),
// its upper half rows 1-9 and its lower half rows 10-18.
const RECT kPlace = {40, 40, 142, 60};
constexpr COLORREF kBar1Up = 0x42BD55, kBar1Down = 0x13AD2A, kBar1Line = 0x13DB64;
constexpr COLORREF kBar2Up = 0x36B7DE, kBar2Down = 0x03A5D5;
constexpr COLORREF kBack = 0x7F7F7F;

struct ProgressScene {
    SkinStage stage;
    CThemeProgress bar;
    ProgressScene() {
        bar.Create(WS_CHILD | WS_VISIBLE, kPlace, stage.parentWnd(), kId);
        themetest::Settle();
    }
    ~ProgressScene() {
        if (bar.GetSafeHwnd()) bar.DestroyWindow();
    }
    uitest::Picture Face() { return Shot(bar.GetSafeHwnd()); }
};

}  // namespace

TEST(ThemeProgress, DefaultLook) {
    ProgressScene s;
    const uitest::Picture p = s.Face();
    EXPECT_EQ(Hex(kBar1Up), Hex(p.At(30, 5)));
    EXPECT_EQ(Hex(kBar1Down), Hex(p.At(30, 14)));
    EXPECT_EQ(Hex(kBar1Line), Hex(p.At(1, 10))) << "bar outline, left";
    EXPECT_EQ(Hex(kBar1Line), Hex(p.At(70, 10))) << "bar outline, right (bar ends at 71)";
    EXPECT_EQ(Hex(kBack), Hex(p.At(71, 10)));
    EXPECT_EQ(Hex(kBack), Hex(p.At(100, 10)));
    for (POINT pt : {POINT{0, 10}, POINT{101, 10}, POINT{50, 0}, POINT{50, 19}})
        EXPECT_EQ(Hex(0x000000), Hex(p.At(pt.x, pt.y))) << pt.x << "," << pt.y;
    EXPECT_EQ(0, Count(p, {2, 2, 100, 18}, NearColor(RGB(255, 255, 255), 40))) << "no text";
}

TEST(ThemeProgress, PositionsColourSetsAndClamping) {
    struct Case {
        const char* name;
        int min, max, pos;
        COLORREF at50;  // upper half at x = 50
        COLORREF at99;  // upper half at x = 99
    };
    const Case cases[] = {
        {"95 of 100 takes the second set", 0, 100, 95, kBar2Up, kBack},
        {"90 of 100 stays on the first", 0, 100, 90, kBar1Up, kBack},
        {"below the minimum: no bar", 0, 100, -30, kBack, kBack},
        {"above the maximum: full", 0, 100, 400, kBar2Up, kBar2Up},
        {"min equals max: empty", 50, 50, 50, kBack, kBack},
    };
    for (const Case& c : cases) {
        ProgressScene s;
        s.bar.SetRange(c.min, c.max);
        s.bar.SetPos(c.pos);
        const uitest::Picture p = s.Face();
        EXPECT_EQ(Hex(c.at50), Hex(p.At(50, 5))) << c.name;
        EXPECT_EQ(Hex(c.at99), Hex(p.At(98, 5))) << c.name;
        EXPECT_EQ(Hex(0x000000), Hex(p.At(0, 10))) << c.name << ": frame";
    }
    ProgressScene s;
    s.bar.SetPos(95);
    EXPECT_EQ(Hex(kBar2Down), Hex(s.Face().At(50, 14)));
}

TEST(ThemeProgress, RangeAloneDoesNotRepaint) {
    ProgressScene s;
    s.bar.SetRange(0, 200);  // 70 of 200 would end the bar at 36
    EXPECT_EQ(Hex(kBar1Up), Hex(s.Face().At(60, 5)));
    s.bar.SetPos(70);
    EXPECT_EQ(Hex(kBack), Hex(s.Face().At(60, 5)));
    int lo = 0, hi = 0;
    s.bar.GetRange(&lo, &hi);
    EXPECT_EQ(0, lo);
    EXPECT_EQ(200, hi);
    EXPECT_EQ(70, s.bar.GetPos());
}

TEST(ThemeProgress, TextIsThePositionAndUnit) {
    ProgressScene s;
    s.bar.SetDrawText(TRUE);
    s.bar.SetTextUnit("%");
    s.bar.SetRange(0, 100);
    s.bar.SetPos(42);
    const uitest::Picture p = s.Face();
    auto white = NearColor(RGB(255, 255, 255), 60);
    EXPECT_GT(Count(p, {30, 2, 72, 18}, white), 0) << "centred text";
    EXPECT_EQ(0, Count(p, {2, 2, 25, 18}, white));
    EXPECT_EQ(0, Count(p, {78, 2, 100, 18}, white));
}

TEST(ThemeProgress, OutlineThickness) {
    // Column 50 from the top: the frame rings, then the bar's own outline
    // row, then its upper colour.
    struct Case {
        int thick;
        std::vector<COLORREF> rows;  // rows 0, 1, 2, 3 at x = 50
    };
    const COLORREF lt = RGB(1, 2, 3), rb = RGB(4, 5, 6);
    const Case cases[] = {
        {0, {kBar1Line, kBar1Up, kBar1Up, kBar1Up}},
        {1, {lt, kBar1Line, kBar1Up, kBar1Up}},
        {3, {lt, lt, lt, kBar1Line}},
    };
    for (const Case& c : cases) {
        ProgressScene s;
        s.bar.SetFrame(lt, rb, c.thick, kBack);
        s.bar.SetPos(80);
        const uitest::Picture p = s.Face();
        for (int y = 0; y < 4; ++y)
            EXPECT_EQ(Hex(c.rows[y]), Hex(p.At(50, y))) << "thickness " << c.thick << " row " << y;
        const COLORREF right = c.thick > 0 ? rb : kBack;
        EXPECT_EQ(Hex(right), Hex(p.At(101, 10))) << "thickness " << c.thick;
    }
}

TEST(ThemeProgress, GradientAndItsMissingLibrary) {
    {
        ProgressScene s;
        s.bar.SetGradientColors(TRUE, RGB(0, 0, 0), RGB(250, 0, 0));
        s.bar.SetPos(100);
        const uitest::Picture p = s.Face();
        EXPECT_LT(GetRValue(p.At(3, 10)), GetRValue(p.At(50, 10)));
        EXPECT_LT(GetRValue(p.At(50, 10)), GetRValue(p.At(98, 10)));
    }
    {
        ProgressScene s;
        // A bar of a known colour first, then gradient mode without the
        // library: only the back part and the outline change.
        s.bar.SetPos(50);
        themetest::Settle();
        skin::SetGradientLibraryForTest("no_such_gradient_library.dll");
        s.bar.SetGradientColors(TRUE, RGB(0, 0, 250), RGB(0, 0, 250));
        s.bar.SetPos(60);
        const uitest::Picture p = s.Face();
        skin::SetGradientLibraryForTest(nullptr);
        EXPECT_EQ(0, Count(p, {1, 1, 101, 19}, NearColor(RGB(0, 0, 250), 30)));
        EXPECT_EQ(Hex(kBack), Hex(p.At(80, 10)));
        EXPECT_EQ(Hex(0x000000), Hex(p.At(0, 10)));
    }
}
