// The skinned label and group box in a real window: pixels of their backs
// and text bands, and the label's messages to its parent.
#include <gtest/gtest.h>

#include <algorithm>

#include "ThemeClass/ThemeGroup.h"
#include "ThemeClass/ThemeStatic.h"
#include "theme_fixture.h"

using themetest::Count;
using themetest::Hex;
using themetest::kParentBack;
using themetest::NearColor;
using themetest::Shot;
using themetest::SkinStage;

namespace {

constexpr UINT kId = 3131;
constexpr COLORREF kInk = RGB(255, 0, 0);

struct LabelScene {
    SkinStage stage;
    CThemeStatic label;
    explicit LabelScene(RECT place = {30, 30, 130, 55}) {
        uitest::MoveCursorClient(stage.parent(), 300, 250);
        label.Create(WS_CHILD | WS_VISIBLE, place, stage.parentWnd(), kId);
        label.SetColors(12, FALSE, kInk, 0xFF00FF, DT_CENTER | DT_VCENTER);
        themetest::Settle();
        stage.log().Clear();
    }
    ~LabelScene() {
        if (label.GetSafeHwnd()) label.DestroyWindow();
    }
    uitest::Picture Face() { return Shot(label.GetSafeHwnd()); }
};

}  // namespace

TEST(ThemeStatic, LinesInTruncatedBands) {
    struct Case {
        const char* name;
        const char* text;
        std::vector<RECT> inked;  // bands that must hold ink
        std::vector<RECT> blank;  // rows that must not
    };
    // A 100 x 25 label: two lines are bands 0-12 and 12-24, row 24 stays
    // empty.
    const Case cases[] = {
        {"line feed", "H\nH", {{0, 0, 100, 12}, {0, 12, 100, 24}}, {{0, 24, 100, 25}}},
        {"backslash-n", "H\\nH", {{0, 0, 100, 12}, {0, 12, 100, 24}}, {{0, 24, 100, 25}}},
        {"one line", "H", {{0, 6, 100, 19}}, {{0, 0, 100, 3}, {0, 22, 100, 25}}},
    };
    for (const Case& c : cases) {
        LabelScene s;
        s.label.SetFontSize(11);
        s.label.SetText(c.text);
        const uitest::Picture p = s.Face();
        for (const RECT& r : c.inked)
            EXPECT_GT(Count(p, r, NearColor(kInk, 90)), 0) << c.name << " band " << r.top;
        for (const RECT& r : c.blank)
            EXPECT_EQ(0, Count(p, r, NearColor(kInk, 90))) << c.name << " rows " << r.top;
    }
}

TEST(ThemeStatic, BackTypesAndFills) {
    // A 9 x 9 image: blue with a magenta key ring on its border.
    const std::string image = themetest::WriteBmp("theme_static_back.bmp", 9, 9, [](int x, int y) {
        return (x == 0 || y == 0 || x == 8 || y == 8) ? RGB(255, 0, 255) : RGB(0, 0, 255);
    });
    const COLORREF blue = RGB(0, 0, 255), key = RGB(255, 0, 255);
    struct Case {
        const char* name;
        int type;
        int fill;
        int round;
        // Expected colours at the centre, at (0, 12) and at (0, 0).
        COLORREF centre;
        COLORREF leftEdge;
        COLORREF corner;
    };
    const Case cases[] = {
        {"no back", 0, 0, 0, kParentBack, kParentBack, kParentBack},
        {"colour, square", 1, 0, 0, 0xFFC040, 0x808080, 0x808080},
        {"colour, rounded", 1, 0, 6, 0xFFC040, 0x808080, kParentBack},
        {"image, nine-part", 2, 0, 0, blue, kParentBack, kParentBack},
        {"image, stretched", 2, 1, 0, blue, kParentBack, kParentBack},
        // A pattern brush knows no key: the magenta border shows.
        {"image, tiled", 2, 2, 0, blue, key, key},
        {"image, aligned left and centred", 2, 3, 0, kParentBack, kParentBack, kParentBack},
    };
    for (const Case& c : cases) {
        LabelScene s;
        if (c.type == 1) s.label.SetBackColor(0xFFC040);
        if (c.type == 2) {
            ASSERT_TRUE(s.label.SetBackImage(image.c_str())) << c.name;
        }
        s.label.SetBackImageFillType(c.fill);
        s.label.SetEdgeRoundValue(c.round);
        s.label.Invalidate(FALSE);
        const uitest::Picture p = s.Face();
        EXPECT_EQ(Hex(c.centre), Hex(p.At(50, 12))) << c.name;
        EXPECT_EQ(Hex(c.leftEdge), Hex(p.At(0, 12))) << c.name;
        EXPECT_EQ(Hex(c.corner), Hex(p.At(0, 0))) << c.name;
        if (c.type == 2 && c.fill == 3) {
            // Left-aligned, vertically centred: the 9 x 9 image at (0, 8).
            EXPECT_EQ(Hex(blue), Hex(p.At(4, 12))) << c.name;
            EXPECT_EQ(Hex(kParentBack), Hex(p.At(4, 7))) << c.name;
            EXPECT_EQ(Hex(kParentBack), Hex(p.At(12, 12))) << c.name;
        }
    }
    DeleteFileA(image.c_str());
}

TEST(ThemeStatic, FailedBackImageLeavesNoBack) {
    LabelScene s;
    s.label.SetBackColor(RGB(1, 2, 3));
    EXPECT_EQ(1, s.label.GetBackDrawType());
    EXPECT_FALSE(s.label.SetBackImage("C:\\no\\such\\back.bmp"));
    EXPECT_EQ(0, s.label.GetBackDrawType());
    EXPECT_FALSE(s.label.SetBackBitmap(31999));
    EXPECT_EQ(0, s.label.GetBackDrawType());
}

TEST(ThemeStatic, NewTextWithoutBackLeavesNoOldText) {
    LabelScene s;
    s.label.SetText("WWWWWW");
    uitest::Picture p = s.Face();
    ASSERT_GT(Count(p, {0, 0, 100, 25}, NearColor(kInk, 90)), 0);
    s.label.SetText("");
    p = s.Face();
    EXPECT_EQ(100 * 25, Count(p, {0, 0, 100, 25}, NearColor(kParentBack, 0)))
        << "the old text stayed behind";
    s.label.SetText(".");
    p = s.Face();
    EXPECT_EQ(0, Count(p, {0, 0, 40, 25}, NearColor(kInk, 90))) << "only the new dot";
}

TEST(ThemeStatic, ButtonMessagesInOrder) {
    LabelScene s;
    uitest::ClickClient(s.label.GetSafeHwnd(), 17, 9);
    themetest::Settle();
    int down = -1, up = -1, i = 0;
    for (const uitest::Message& m : s.stage.log().log()) {
        if (m.msg == WM_SKIN_LBUTTONDOWN) {
            down = i;
            EXPECT_EQ(WPARAM(kId), m.wParam);
            EXPECT_EQ(MAKELPARAM(17, 9), m.lParam);
        }
        if (m.msg == WM_SKIN_LBUTTONUP) {
            up = i;
            EXPECT_EQ(WPARAM(kId), m.wParam);
            EXPECT_EQ(MAKELPARAM(17, 9), m.lParam);
        }
        ++i;
    }
    ASSERT_GE(down, 0);
    ASSERT_GE(up, 0);
    EXPECT_LT(down, up);
    EXPECT_EQ(0, s.stage.log().Count(WM_SKIN_MOUSEMOVE)) << "a label posts no moves";
}

TEST(ThemeStatic, ShadowIsOnePixelRightAndDown) {
    LabelScene s;
    s.label.SetBackColor(RGB(255, 255, 255));
    s.label.SetOutlineThick(0);
    s.label.SetColors(12, FALSE, kInk, RGB(0, 0, 255), DT_LEFT | DT_TOP);
    s.label.SetText("I");
    const uitest::Picture p = s.Face();
    // The shadow's extent is the text's, one pixel right and down.
    auto box = [&](const std::function<bool(COLORREF)>& test) {
        RECT r = {1000, 1000, -1, -1};
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < 100; ++x)
                if (test(p.At(x, y))) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x);
                    r.bottom = std::max<LONG>(r.bottom, y);
                }
        return r;
    };
    // Smoothed glyphs: a pixel counts by its dominant channel.
    auto reddish = [](COLORREF c) { return GetRValue(c) - GetBValue(c) > 60; };
    auto bluish = [](COLORREF c) { return GetBValue(c) - GetRValue(c) > 60; };
    const RECT text = box(reddish);
    const RECT shadow = box(bluish);
    ASSERT_GE(text.right, 0);
    ASSERT_GE(shadow.right, 0);
    EXPECT_EQ(text.right + 1, shadow.right);
    EXPECT_EQ(text.bottom + 1, shadow.bottom);
    EXPECT_GE(shadow.left, text.left);
    EXPECT_GE(shadow.top, text.top);

    // Without a shadow colour there is no shadow pass.
    s.label.SetTextColors(kInk, 0xFF00FF);
    const uitest::Picture plain = s.Face();
    EXPECT_EQ(0, Count(plain, {0, 0, 100, 25},
                       [](COLORREF c) { return GetBValue(c) > 150 && GetRValue(c) < 100; }));
}

namespace {

struct GroupScene {
    SkinStage stage;
    CThemeGroup group;
    GroupScene() {
        group.Create(WS_CHILD | WS_VISIBLE, RECT{20, 20, 220, 120}, stage.parentWnd(), kId);
        group.SetCaption("Group");
        themetest::Settle();
    }
    ~GroupScene() {
        if (group.GetSafeHwnd()) group.DestroyWindow();
    }
    uitest::Picture Face() { return Shot(group.GetSafeHwnd()); }
};

}  // namespace

TEST(ThemeGroup, DefaultLook) {
    GroupScene s;
    const uitest::Picture p = s.Face();
    EXPECT_EQ(Hex(0xE3E1D6), Hex(p.At(100, 60))) << "panel";
    EXPECT_EQ(Hex(kParentBack), Hex(p.At(0, 0))) << "rounded corner";
    EXPECT_EQ(Hex(0xC5B3A8), Hex(p.At(100, 0))) << "outline";
    // The black caption in the band 0-20 from x = 5.
    auto black = NearColor(RGB(0, 0, 0), 100);
    EXPECT_GT(Count(p, {5, 0, 170, 20}, black), 0);
    EXPECT_EQ(0, Count(p, {1, 1, 5, 99}, black));
    EXPECT_EQ(0, Count(p, {1, 21, 199, 99}, black));
    EXPECT_EQ(DWORD(0), s.group.GetExStyle() & WS_EX_TRANSPARENT);
    char cls[32] = {};
    GetClassNameA(s.group.GetSafeHwnd(), cls, sizeof cls);
    EXPECT_STREQ("Static", cls);
}

TEST(ThemeGroup, SettersWaitForTheNextPaintSetCaptionRepaints) {
    GroupScene s;
    const COLORREF red = RGB(255, 0, 0), green = RGB(0, 160, 0);
    struct Case {
        const char* name;
        std::function<void(CThemeGroup&)> set;
    };
    const Case cases[] = {
        {"back colour", [&](CThemeGroup& g) { g.SetBackColor(red); }},
        {"round value", [&](CThemeGroup& g) { g.SetEdgeRoundValue(0); }},
        {"font colour", [&](CThemeGroup& g) { g.SetFontColor(green); }},
        {"outline", [&](CThemeGroup& g) { g.SetOutlineColor(green); }},
        {"draw type", [&](CThemeGroup& g) { g.SetBackDrawType(0); }},
    };
    for (const Case& c : cases) {
        s.group.SetDefaultSkin();
        s.group.SetCaption("Group");
        const uitest::Picture before = s.Face();
        c.set(s.group);
        const uitest::Picture after = s.Face();
        EXPECT_TRUE(before.pixels == after.pixels) << c.name << " repainted at once";
    }
    s.group.SetDefaultSkin();
    s.group.SetBackColor(red);
    s.group.SetCaption("Again");
    EXPECT_EQ(Hex(red), Hex(s.Face().At(100, 60)));
}

TEST(ThemeGroup, CaptionAreaOutsideUsesTheClient) {
    GroupScene s;
    s.group.SetCaptionArea(0, 0, -300, 0);  // right resolves below 1
    s.group.SetColors(12, FALSE, RGB(0, 0, 0), 0xFF00FF, DT_CENTER | DT_VCENTER);
    s.group.SetCaption("Mid");
    const uitest::Picture p = s.Face();
    auto black = NearColor(RGB(0, 0, 0), 100);
    EXPECT_GT(Count(p, {70, 35, 130, 65}, black), 0) << "centred in the whole panel";
    EXPECT_EQ(0, Count(p, {1, 1, 199, 25}, black));
}
