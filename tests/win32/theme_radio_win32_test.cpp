// The skinned radio button in a real window: group exclusivity, real
// clicks, the drawn mark and the disabled look.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ThemeClass/ThemeRadio.h"
#include "theme_fixture.h"

using themetest::Count;
using themetest::Hex;
using themetest::NearColor;
using themetest::Shot;
using themetest::SkinStage;

namespace {

constexpr UINT kFirstId = 5100;

// Three radios in one group, a fourth starting the next group.
struct GroupScene {
    SkinStage stage;
    std::vector<std::unique_ptr<CThemeRadio>> radios;
    explicit GroupScene(int count = 4) {
        uitest::MoveCursorClient(stage.parent(), 390, 290);
        for (int i = 0; i < count; ++i) {
            radios.push_back(std::make_unique<CThemeRadio>());
            DWORD style = WS_CHILD | WS_VISIBLE;
            if (i == 0 || i == 3) style |= WS_GROUP;
            const RECT r = {10, 10 + 30 * i, 130, 34 + 30 * i};
            radios.back()->Create(style, r, stage.parentWnd(), kFirstId + i);
            radios.back()->SetText("Option");
        }
        themetest::Settle();
        stage.log().Clear();
    }
    ~GroupScene() {
        for (auto& r : radios)
            if (r->GetSafeHwnd()) r->DestroyWindow();
    }
    std::vector<int> Checks() const {
        std::vector<int> v;
        for (const auto& r : radios) v.push_back(r->GetCheck());
        return v;
    }
    HWND Hwnd(int i) const { return radios[static_cast<size_t>(i)]->GetSafeHwnd(); }
};

}  // namespace

TEST(ThemeRadio, CheckingClearsTheRestOfItsGroupOnly) {
    struct Case {
        const char* name;
        std::function<void(GroupScene&)> act;
        std::vector<int> want;
    };
    const std::vector<Case> cases = {
        {"check the first", [](GroupScene& s) { s.radios[0]->SetCheck(1); }, {1, 0, 0, 0}},
        {"then the second clears the first",
         [](GroupScene& s) {
             s.radios[0]->SetCheck(1);
             s.radios[1]->SetCheck(1);
         },
         {0, 1, 0, 0}},
        {"the next group is left alone",
         [](GroupScene& s) {
             s.radios[3]->SetCheck(1);
             s.radios[2]->SetCheck(1);
         },
         {0, 0, 1, 1}},
        // Defaults first, then the stored values, in one handler with no
        // pumping in between: exactly one radio stays checked.
        {"sequential checks in one handler",
         [](GroupScene& s) {
             s.radios[0]->SetCheck(1);
             s.radios[2]->SetCheck(1);
             s.radios[1]->SetCheck(1);
         },
         {0, 1, 0, 0}},
        {"a disabled member is cleared",
         [](GroupScene& s) {
             s.radios[1]->SetCheck(1);
             s.radios[1]->EnableWindow(FALSE);
             s.radios[0]->SetCheck(1);
         },
         {1, 0, 0, 0}},
        {"checking from a disabled member ends and clears the others",
         [](GroupScene& s) {
             s.radios[0]->SetCheck(1);
             s.radios[2]->EnableWindow(FALSE);
             s.radios[2]->SetCheck(1);
         },
         {0, 0, 1, 0}},
        {"checking from a hidden member",
         [](GroupScene& s) {
             s.radios[0]->SetCheck(1);
             s.radios[1]->ShowWindow(SW_HIDE);
             s.radios[1]->SetCheck(1);
         },
         {0, 1, 0, 0}},
        {"BM_SETCHECK 0 clears only itself",
         [](GroupScene& s) {
             s.radios[0]->SetCheck(1);
             s.radios[3]->SetCheck(1);
             s.radios[0]->SetCheck(0);
         },
         {0, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        GroupScene s;
        c.act(s);
        EXPECT_EQ(c.want, s.Checks()) << c.name << " (before pumping)";
        themetest::Settle();
        EXPECT_EQ(c.want, s.Checks()) << c.name << " (after pumping)";
        // BM_GETCHECK answers from the same flag.
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(c.want[static_cast<size_t>(i)],
                      static_cast<int>(::SendMessageA(s.Hwnd(i), BM_GETCHECK, 0, 0)))
                << c.name << " radio " << i;
    }
}

TEST(ThemeRadio, ClickChecksOnlyWhenReleasedOverIt) {
    GroupScene s;
    s.radios[1]->SetCheck(1);
    uitest::ClickClient(s.Hwnd(0), 60, 12);
    themetest::Settle();
    EXPECT_EQ((std::vector<int>{1, 0, 0, 0}), s.Checks()) << "click on the first";

    // Pressed on the third, released far outside.
    uitest::MoveCursorClient(s.Hwnd(2), 60, 12);
    uitest::MouseDown();
    themetest::Settle();
    uitest::MoveCursorClient(s.stage.parent(), 390, 290);
    uitest::MouseUp();
    themetest::Settle();
    EXPECT_EQ((std::vector<int>{1, 0, 0, 0}), s.Checks()) << "released outside";
    // Nothing of the skin's own is posted to the parent.
    EXPECT_EQ(0, s.stage.log().Count(WM_SKIN_LBUTTONDOWN));
}

TEST(ThemeRadio, DrawnMarkBackAndDisabledColours) {
    GroupScene s(1);
    CThemeRadio& r = *s.radios[0];
    // Mark square: x 4..17, centred vertically in 24 px: y 5..18.
    uitest::Picture p = Shot(r.GetSafeHwnd());
    EXPECT_EQ(Hex(0xE3E1D6), Hex(p.At(100, 2))) << "back";
    EXPECT_EQ(Hex(0xFFFFFF), Hex(p.At(10, 11))) << "unchecked mark is white";
    r.SetCheck(1);
    p = Shot(r.GetSafeHwnd());
    EXPECT_EQ(Hex(0x6E3C14), Hex(p.At(10, 11))) << "checked dot";
    EXPECT_GT(Count(p, RECT{4, 5, 17, 18}, NearColor(0xA47B4E, 0)), 8) << "ring";
    const int textNormal = Count(p, RECT{22, 0, 120, 24}, NearColor(0x450308, 60));
    EXPECT_GT(textNormal, 2) << "caption";

    // Disabled: white caption on grey, repainted by the enable change itself.
    r.EnableWindow(FALSE);
    p = Shot(r.GetSafeHwnd());
    EXPECT_EQ(3, r.GetState());
    EXPECT_EQ(Hex(0xC0C0C0), Hex(p.At(100, 2)));
    EXPECT_GT(Count(p, RECT{22, 0, 120, 24}, NearColor(0xFFFFFF, 30)), 10);
    r.EnableWindow(TRUE);
    p = Shot(r.GetSafeHwnd());
    EXPECT_EQ(Hex(0xE3E1D6), Hex(p.At(100, 2)));
}

TEST(ThemeRadio, HoverArrivesWithOneTrackingRequest) {
    GroupScene s(1);
    uitest::MoveCursorClient(s.Hwnd(0), 60, 12);
    uitest::MoveCursorClient(s.Hwnd(0), 61, 13);
    EXPECT_TRUE(uitest::PumpUntil([&] { return s.radios[0]->GetState() == 1; }, 2000));
    uitest::MoveCursorClient(s.stage.parent(), 390, 290);
    EXPECT_TRUE(uitest::PumpUntil([&] { return s.radios[0]->GetState() == 0; }, 2000));
}

TEST(ThemeRadio, SettersAndBlockCounts) {
    CThemeRadio r;
    struct Case {
        const char* name;
        int count;
        int wantCount;
        int map[4];
    };
    const Case cases[] = {
        {"two frames", 2, 2, {0, 0, 1, 0}},
        {"zero ignored", 0, 2, {0, 0, 1, 0}},
        {"five ignored", 5, 2, {0, 0, 1, 0}},
        {"three frames", 3, 3, {0, 1, 2, 0}},
    };
    for (const Case& c : cases) {
        r.SetBackImageBlockCount(c.count);
        EXPECT_EQ(c.wantCount, r.GetFrameCount()) << c.name;
        for (int i = 0; i < 4; ++i) EXPECT_EQ(c.map[i], r.GetFrameMap()[i]) << c.name;
    }
    r.SetTextColors(0x123456, 0xFF00FF, 0xFF00FF, 0xFF00FF);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(COLORREF(0x123456), r.GetTextColor(i));
    r.SetMarkDrawType(0);
    EXPECT_TRUE(r.IsPushLike());
    r.SetMarkDrawType(1);
    EXPECT_TRUE(r.IsPushLike()) << "type 1 does not clear push-like";
    r.SetPushLike(FALSE);
    EXPECT_FALSE(r.IsPushLike());
}
