// The skinned check box in a real window: real clicks toggle it only when
// released over it, the drawn V and the image mark's halves, the push-like
// pressed look, the disabled look, and nothing posted to the parent.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ThemeClass/ThemeCheck.h"
#include "theme_fixture.h"

using themetest::Count;
using themetest::Hex;
using themetest::NearColor;
using themetest::Shot;
using themetest::SkinStage;

namespace {

constexpr UINT kId = 5300;

// Colours that tell the four states apart.
constexpr COLORREF kNormal = RGB(200, 220, 240);
constexpr COLORREF kHover = RGB(180, 240, 180);
constexpr COLORREF kPressed = RGB(240, 200, 120);
constexpr COLORREF kDisabled = RGB(160, 160, 160);

struct CheckScene {
    SkinStage stage;
    CThemeCheck check;
    explicit CheckScene(DWORD extraStyle = 0) {
        uitest::MoveCursorClient(stage.parent(), 390, 290);
        const RECT r = {20, 20, 160, 44};
        check.Create(WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX | extraStyle, r, stage.parentWnd(),
                     kId);
        check.SetText("Check");
        themetest::Settle();
        stage.log().Clear();
    }
    ~CheckScene() {
        if (check.GetSafeHwnd()) check.DestroyWindow();
    }
    HWND Hwnd() const { return check.GetSafeHwnd(); }
    // Moves onto the box and waits for the hover to arrive.
    bool HoverOn(int x, int y) {
        uitest::MoveCursorClient(Hwnd(), x, y);
        uitest::MoveCursorClient(Hwnd(), x + 1, y);
        return uitest::PumpUntil([&] { return check.GetState() == skin::kStateHover; }, 2000);
    }
    void Away() { uitest::MoveCursorClient(stage.parent(), 390, 290); }
    int SkinPosts() {
        int n = 0;
        for (UINT m = WM_SKIN_MOUSEMOVE; m <= WM_SKIN_LBUTTONDBLCLK; ++m) n += stage.log().Count(m);
        return n;
    }
};

}  // namespace

TEST(ThemeCheck, TogglesOnlyOnAReleaseOverIt) {
    struct Case {
        const char* name;
        std::function<void(CheckScene&)> act;
        int want;
    };
    const std::vector<Case> cases = {
        {"a click checks it",
         [](CheckScene& s) {
             ASSERT_TRUE(s.HoverOn(60, 12));
             uitest::MouseDown();
             uitest::PumpFor(30);
             uitest::MouseUp();
         },
         1},
        {"a second click clears it",
         [](CheckScene& s) {
             ASSERT_TRUE(s.HoverOn(60, 12));
             uitest::ClickClient(s.Hwnd(), 60, 12);
             // Far enough away not to make a double click.
             ASSERT_TRUE(s.HoverOn(100, 12));
             uitest::ClickClient(s.Hwnd(), 100, 12);
         },
         0},
        {"a double click toggles twice",
         [](CheckScene& s) {
             ASSERT_TRUE(s.HoverOn(60, 12));
             uitest::DoubleClickClient(s.Hwnd(), 60, 12);
         },
         0},
        {"three quick clicks toggle three times",
         [](CheckScene& s) {
             ASSERT_TRUE(s.HoverOn(60, 12));
             uitest::DoubleClickClient(s.Hwnd(), 60, 12);
             uitest::MouseDown();
             uitest::PumpFor(30);
             uitest::MouseUp();
         },
         1},
        {"pressed over it, released outside",
         [](CheckScene& s) {
             ASSERT_TRUE(s.HoverOn(60, 12));
             uitest::MouseDown();
             uitest::PumpFor(30);
             s.Away();
             uitest::PumpFor(60);
             uitest::MouseUp();
         },
         0},
        {"pressed outside, released over it",
         [](CheckScene& s) {
             uitest::MouseDown();
             uitest::PumpFor(30);
             uitest::MoveCursorClient(s.Hwnd(), 60, 12);
             uitest::PumpFor(60);
             uitest::MouseUp();
         },
         0},
        {"pressed, out and back in, released over it",
         [](CheckScene& s) {
             ASSERT_TRUE(s.HoverOn(60, 12));
             uitest::MouseDown();
             uitest::PumpFor(30);
             s.Away();
             uitest::PumpFor(60);
             uitest::MoveCursorClient(s.Hwnd(), 61, 12);
             uitest::MoveCursorClient(s.Hwnd(), 62, 12);
             uitest::PumpFor(60);
             uitest::MouseUp();
         },
         1},
    };
    for (const Case& c : cases) {
        CheckScene s;
        c.act(s);
        themetest::Settle();
        EXPECT_EQ(c.want, s.check.GetCheck()) << c.name;
        EXPECT_EQ(c.want, static_cast<int>(::SendMessageA(s.Hwnd(), BM_GETCHECK, 0, 0)))
            << c.name << ": BM_GETCHECK answers from the same state";
        EXPECT_EQ(0, s.SkinPosts()) << c.name << ": nothing of the skin's own is posted";
        s.Away();
        themetest::Settle();
    }
}

TEST(ThemeCheck, HoverArrivesWithOneTrackingRequest) {
    CheckScene s;
    ASSERT_TRUE(s.HoverOn(60, 12)) << "hover and leave asked for in one call";
    s.Away();
    EXPECT_TRUE(uitest::PumpUntil([&] { return s.check.GetState() == 0; }, 2000));
}

TEST(ThemeCheck, DrawnMark) {
    CheckScene s;
    // Mark: 12 x 12 at x 4..16, centred in 24 px: y 6..18; V strokes from
    // (7, 9) and (13, 9) down to (10, 15).
    uitest::Picture p = Shot(s.Hwnd());
    EXPECT_EQ(Hex(0xE3E1D6), Hex(p.At(120, 2))) << "back";
    EXPECT_EQ(Hex(0xFFFFFF), Hex(p.At(10, 12))) << "unchecked mark is white";
    EXPECT_EQ(0, Count(p, RECT{5, 7, 16, 18}, NearColor(0x450308, 40))) << "no V yet";
    EXPECT_GT(Count(p, RECT{4, 6, 5, 18}, NearColor(0xA47B4E, 0)), 8) << "left edge";
    EXPECT_GT(Count(p, RECT{4, 18, 16, 19}, NearColor(0xC8C3C0, 0)), 8) << "bottom edge";
    EXPECT_GT(Count(p, RECT{22, 0, 140, 24}, NearColor(0x450308, 60)), 2) << "caption";

    s.check.SetMarkColor(RGB(200, 0, 0));
    s.check.SetCheck(1);
    p = Shot(s.Hwnd());
    EXPECT_GT(Count(p, RECT{5, 7, 16, 18}, NearColor(RGB(200, 0, 0), 0)), 8) << "the V";
    EXPECT_EQ(Hex(RGB(200, 0, 0)), Hex(p.At(10, 14))) << "bottom of the V";
    EXPECT_EQ(Hex(0xFFFFFF), Hex(p.At(10, 8))) << "inside the V stays white";
}

TEST(ThemeCheck, ImageMarkHalves) {
    CheckScene s;
    const COLORREF off = RGB(0, 120, 255), on = RGB(255, 60, 0);
    const std::string path = themetest::WriteBmp("check_mark.bmp", 24, 12,
                                                 [&](int x, int) { return x < 12 ? off : on; });
    ASSERT_TRUE(s.check.SetMarkImageFile(path.c_str()));
    EXPECT_EQ(2, s.check.GetMarkDrawType());
    EXPECT_EQ(12, s.check.GetMarkSize());
    s.check.Invalidate(FALSE);
    uitest::Picture p = Shot(s.Hwnd());
    EXPECT_EQ(144, Count(p, RECT{4, 6, 16, 18}, NearColor(off, 0))) << "left half when unchecked";
    EXPECT_EQ(0, Count(p, RECT{0, 0, 140, 24}, NearColor(on, 0)));
    s.check.SetCheck(1);
    p = Shot(s.Hwnd());
    EXPECT_EQ(144, Count(p, RECT{4, 6, 16, 18}, NearColor(on, 0))) << "right half when checked";
    EXPECT_EQ(0, Count(p, RECT{0, 0, 140, 24}, NearColor(off, 0)));

    // A file that does not load leaves the mark as it was.
    EXPECT_FALSE(s.check.SetMarkImageFile("C:\\no\\such\\mark.bmp"));
    EXPECT_EQ(2, s.check.GetMarkDrawType());
    EXPECT_EQ(12, s.check.GetMarkSize());
    s.check.Invalidate(FALSE);
    p = Shot(s.Hwnd());
    EXPECT_EQ(144, Count(p, RECT{4, 6, 16, 18}, NearColor(on, 0))) << "still drawn";
}

TEST(ThemeCheck, PushLikeLooks) {
    struct Case {
        const char* name;
        std::function<void(CThemeCheck&)> setup;
        bool hover;
        COLORREF back;     // inside, away from the outline
        COLORREF topEdge;  // the top outline row
    };
    const COLORREF lt = RGB(0, 0, 200), rb = RGB(0, 200, 0);
    const std::vector<Case> cases = {
        {"push-like unchecked: normal, raised", [](CThemeCheck& c) { c.SetPushLike(TRUE); }, false,
         kNormal, lt},
        {"push-like checked: pressed, sunken",
         [](CThemeCheck& c) {
             c.SetPushLike(TRUE);
             c.SetCheck(1);
         },
         false, kPressed, rb},
        {"push-like checked and hovered keeps the pressed colour",
         [](CThemeCheck& c) {
             c.SetPushLike(TRUE);
             c.SetCheck(1);
         },
         true, kPressed, rb},
        {"a plain checked box is not pressed", [](CThemeCheck& c) { c.SetCheck(1); }, false,
         kNormal, lt},
        {"mark type 0 makes it push-like",
         [](CThemeCheck& c) {
             c.SetMarkDrawType(0);
             c.SetCheck(1);
         },
         false, kPressed, rb},
        {"created with BS_PUSHLIKE", [](CThemeCheck& c) { c.SetCheck(1); }, false, kPressed, rb},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        CheckScene s(i + 1 == cases.size() ? BS_PUSHLIKE : 0);
        s.check.SetBackColors(kNormal, kHover, kPressed, kDisabled);
        s.check.SetOutlineLTColor(lt);
        s.check.SetOutlineRBColor(rb);
        s.check.SetOutlineThick(1);
        c.setup(s.check);
        if (c.hover) {
            ASSERT_TRUE(s.HoverOn(100, 12)) << c.name;
        }
        s.check.Invalidate(FALSE);
        const uitest::Picture p = Shot(s.Hwnd());
        EXPECT_EQ(Hex(c.back), Hex(p.At(130, 4))) << c.name;
        EXPECT_EQ(Hex(c.topEdge), Hex(p.At(70, 0))) << c.name;
        // Push-like boxes draw no mark: the back shows where it would be.
        if (s.check.IsPushLike()) {
            EXPECT_EQ(0, Count(p, RECT{4, 6, 16, 18}, NearColor(0xFFFFFF, 0))) << c.name;
        }
        s.Away();
    }
}

TEST(ThemeCheck, MarkTypeOneDoesNotUndoPushLike) {
    CThemeCheck c;
    c.SetMarkDrawType(0);
    EXPECT_TRUE(c.IsPushLike());
    c.SetMarkDrawType(1);
    EXPECT_TRUE(c.IsPushLike()) << "type 1 does not clear push-like";
    EXPECT_EQ(1, c.GetMarkDrawType());
    c.SetPushLike(FALSE);
    EXPECT_FALSE(c.IsPushLike());
}

TEST(ThemeCheck, ImageBackFramePerState) {
    // A four-frame strip, one colour per frame.
    const COLORREF frames[4] = {RGB(10, 10, 200), RGB(10, 200, 10), RGB(200, 10, 10),
                                RGB(90, 90, 90)};
    const std::string path =
        themetest::WriteBmp("check_back.bmp", 40, 10, [&](int x, int) { return frames[x / 10]; });
    struct Case {
        const char* name;
        bool pushLike, checked, enabled;
        int frame;
    };
    const Case cases[] = {
        {"normal", false, false, true, 0},
        {"checked box keeps the normal frame", false, true, true, 0},
        {"push-like checked shows the pressed frame", true, true, true, 2},
        {"disabled", false, false, false, 3},
    };
    for (const Case& c : cases) {
        CheckScene s;
        ASSERT_TRUE(s.check.SetImageFile(path.c_str())) << c.name;
        s.check.SetBackImageFillType(1);
        s.check.SetPushLike(c.pushLike);
        s.check.SetCheck(c.checked);
        s.check.EnableWindow(c.enabled);
        s.check.Invalidate(FALSE);
        const uitest::Picture p = Shot(s.Hwnd());
        EXPECT_EQ(Hex(frames[c.frame]), Hex(p.At(130, 3))) << c.name;
    }
}

TEST(ThemeCheck, DisabledLookComesWithTheEnableChange) {
    CheckScene s;
    s.check.SetBackColors(kNormal, kHover, kPressed, kDisabled);
    s.check.Invalidate(FALSE);
    EXPECT_EQ(Hex(kNormal), Hex(Shot(s.Hwnd()).At(130, 4)));
    // No invalidation of the test's own: the enable change repaints.
    s.check.EnableWindow(FALSE);
    uitest::Picture p = Shot(s.Hwnd());
    EXPECT_EQ(3, s.check.GetState());
    EXPECT_EQ(Hex(kDisabled), Hex(p.At(130, 4)));
    EXPECT_GT(Count(p, RECT{22, 0, 140, 24}, NearColor(0xFFFFFF, 30)), 10) << "white caption";
    s.check.EnableWindow(TRUE);
    EXPECT_EQ(Hex(kNormal), Hex(Shot(s.Hwnd()).At(130, 4)));
    EXPECT_EQ(0, s.check.GetState());
}

TEST(ThemeCheck, DialogHelpersSeeTheSameState) {
    CheckScene s;
    ::CheckDlgButton(s.stage.parent(), kId, BST_CHECKED);
    EXPECT_EQ(1, s.check.GetCheck());
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), ::IsDlgButtonChecked(s.stage.parent(), kId));
    s.check.SetCheck(0);
    EXPECT_EQ(0u, ::IsDlgButtonChecked(s.stage.parent(), kId));
}
