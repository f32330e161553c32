// The skinned push button in a real window: real cursor moves and clicks
// in, pixels and parent messages out.
#include <gtest/gtest.h>

#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeMenu.h"
#include "theme_fixture.h"

using themetest::Count;
using themetest::Hex;
using themetest::kParentBack;
using themetest::NearColor;
using themetest::Shot;
using themetest::SkinStage;

namespace {

constexpr UINT kId = 4242;
const RECT kPlace = {20, 20, 100, 50};  // 80 x 30 in the parent

// The default back colours per state, as COLORREF.
constexpr COLORREF kBackNormal = 0xFFC040;
constexpr COLORREF kBackHover = 0xFF8000;
constexpr COLORREF kBackPressed = 0x40C0FF;
constexpr COLORREF kBackDisabled = 0xC0C0C0;

struct ButtonScene {
    SkinStage stage;
    CThemeButton button;
    ButtonScene() {
        // Start with the cursor well away from the button.
        uitest::MoveCursorClient(stage.parent(), 300, 250);
        button.Create(WS_CHILD | WS_VISIBLE, kPlace, stage.parentWnd(), kId);
        themetest::Settle();
        stage.log().Clear();
    }
    ~ButtonScene() {
        if (button.GetSafeHwnd()) button.DestroyWindow();
    }
    uitest::Picture Face() { return Shot(button.GetSafeHwnd()); }
    COLORREF Centre() { return Face().At(40, 15); }
    void HoverOn() {
        uitest::MoveCursorClient(button.GetSafeHwnd(), 40, 15);
        uitest::MoveCursorClient(button.GetSafeHwnd(), 41, 16);
        uitest::PumpUntil([&] { return button.GetState() == 1; }, 2000);
    }
};

}  // namespace

TEST(ThemeButton, OwnerDrawReplacesTheTypeBits) {
    struct Case {
        const char* name;
        DWORD type;
    };
    const Case cases[] = {
        {"push button", BS_PUSHBUTTON},   {"default push button", BS_DEFPUSHBUTTON},
        {"radio button", BS_RADIOBUTTON}, {"auto check box", BS_AUTOCHECKBOX},
        {"group box", BS_GROUPBOX},
    };
    SkinStage stage;
    for (const Case& c : cases) {
        CThemeButton b;
        ASSERT_TRUE(b.Create(WS_CHILD | WS_VISIBLE | c.type, kPlace, stage.parentWnd(), kId))
            << c.name;
        EXPECT_EQ(DWORD(BS_OWNERDRAW), b.GetStyle() & 0x0F) << c.name;
        EXPECT_TRUE(b.GetStyle() & WS_VISIBLE) << c.name;
        b.DestroyWindow();
    }
}

TEST(ThemeButton, StatesColoursAndOutlineUnderRealInput) {
    ButtonScene s;
    // Normal: back and a 2-pixel outline, light top-left, black bottom-right.
    uitest::Picture p = s.Face();
    EXPECT_EQ(Hex(kBackNormal), Hex(p.At(40, 15)));
    EXPECT_EQ(Hex(0xC0C0C0), Hex(p.At(0, 15)));
    EXPECT_EQ(Hex(0xC0C0C0), Hex(p.At(1, 15)));
    EXPECT_EQ(Hex(0xC0C0C0), Hex(p.At(40, 0)));
    EXPECT_EQ(Hex(0x000000), Hex(p.At(79, 15)));
    EXPECT_EQ(Hex(0x000000), Hex(p.At(40, 29)));
    EXPECT_EQ(Hex(kBackNormal), Hex(p.At(2, 15)));

    // Hover: the cursor really moves onto the button; hover and leave
    // tracking must both arrive.
    s.HoverOn();
    ASSERT_EQ(1, s.button.GetState()) << "no hover seen";
    EXPECT_TRUE(s.button.IsHover());
    EXPECT_EQ(Hex(kBackHover), Hex(s.Centre()));

    // Pressed: sunken, the outline colours swap.
    uitest::MouseDown();
    themetest::Settle();
    EXPECT_EQ(2, s.button.GetState());
    p = s.Face();
    EXPECT_EQ(Hex(kBackPressed), Hex(p.At(40, 15)));
    EXPECT_EQ(Hex(0x000000), Hex(p.At(0, 15)));
    EXPECT_EQ(Hex(0xC0C0C0), Hex(p.At(79, 15)));

    // Released over the button: hover again, and a click.
    uitest::MouseUp();
    themetest::Settle();
    EXPECT_EQ(1, s.button.GetState());
    EXPECT_EQ(Hex(kBackHover), Hex(s.Centre()));
    EXPECT_EQ(1, s.stage.log().CountCommand(kId, BN_CLICKED));

    // Leave: back to normal.
    uitest::MoveCursorClient(s.stage.parent(), 300, 250);
    uitest::PumpUntil([&] { return s.button.GetState() == 0; }, 2000);
    EXPECT_EQ(0, s.button.GetState());
    EXPECT_FALSE(s.button.IsHover());
    EXPECT_EQ(Hex(kBackNormal), Hex(s.Centre()));

    // Disabled.
    s.button.EnableWindow(FALSE);
    EXPECT_EQ(Hex(kBackDisabled), Hex(s.Centre()));
    s.button.EnableWindow(TRUE);
    EXPECT_EQ(Hex(kBackNormal), Hex(s.Centre()));
}

TEST(ThemeButton, PressAndMoveOutClearsThePressedLook) {
    ButtonScene s;
    s.HoverOn();
    uitest::MouseDown();
    themetest::Settle();
    ASSERT_EQ(2, s.button.GetState());
    uitest::MoveCursorClient(s.stage.parent(), 300, 250);
    uitest::PumpUntil([&] { return s.button.GetState() == 0; }, 2000);
    uitest::MouseUp();
    themetest::Settle();
    EXPECT_EQ(0, s.button.GetState());
    EXPECT_EQ(Hex(kBackNormal), Hex(s.Centre()));
    EXPECT_EQ(0, s.stage.log().CountCommand(kId, BN_CLICKED)) << "released outside";
}

TEST(ThemeButton, ParentMessagesCarryIdAndPosition) {
    ButtonScene s;
    uitest::ClickClient(s.button.GetSafeHwnd(), 30, 12);
    themetest::Settle();
    struct Case {
        const char* name;
        UINT msg;
    };
    const Case cases[] = {{"mouse move", WM_SKIN_MOUSEMOVE},
                          {"left down", WM_SKIN_LBUTTONDOWN},
                          {"left up", WM_SKIN_LBUTTONUP}};
    for (const Case& c : cases) {
        const uitest::Message* m = s.stage.log().Last(c.msg);
        ASSERT_NE(nullptr, m) << c.name;
        EXPECT_EQ(WPARAM(kId), m->wParam) << c.name;
        EXPECT_EQ(30, LOWORD(m->lParam)) << c.name;
        EXPECT_EQ(12, HIWORD(m->lParam)) << c.name;
    }
    // Order: down before up, and the click as BN_CLICKED.
    int down = -1, up = -1, i = 0;
    for (const uitest::Message& m : s.stage.log().log()) {
        if (m.msg == WM_SKIN_LBUTTONDOWN && down < 0) down = i;
        if (m.msg == WM_SKIN_LBUTTONUP && up < 0) up = i;
        ++i;
    }
    EXPECT_LT(down, up);
    EXPECT_EQ(1, s.stage.log().CountCommand(kId, BN_CLICKED));

    s.stage.log().Clear();
    uitest::DoubleClickClient(s.button.GetSafeHwnd(), 25, 10);
    themetest::Settle();
    const uitest::Message* dbl = s.stage.log().Last(WM_SKIN_LBUTTONDBLCLK);
    ASSERT_NE(nullptr, dbl);
    EXPECT_EQ(WPARAM(kId), dbl->wParam);
    EXPECT_EQ(25, LOWORD(dbl->lParam));
}

TEST(ThemeButton, AttachedMenuDropsUnderTheButton) {
    ButtonScene s;
    CThemeMenu menu;
    ASSERT_TRUE(menu.Create(0x40010000, CRect(0, 0, 10, 10), s.stage.parentWnd(), kId + 1));
    // A menu built in place: one submenu of one item.
    CMenu sub;
    sub.CreatePopupMenu();
    sub.AppendMenu(MF_STRING, 100, "Item");
    menu.GetMenu()->CreateMenu();
    menu.GetMenu()->AppendMenu(MF_POPUP, (UINT_PTR)sub.Detach(), "menu");
    s.button.SetMenu(&menu);
    uitest::ClickClient(s.button.GetSafeHwnd(), 10, 10);
    themetest::Settle();
    CBaseMenu* popup = menu.GetPopup(0);
    ASSERT_NE(nullptr, popup);
    CRect rc;
    popup->GetWindowRect(&rc);
    const POINT want = uitest::ClientToScreenPoint(s.stage.parent(), kPlace.left, kPlace.bottom);
    EXPECT_EQ(want.x, rc.left);
    EXPECT_EQ(want.y, rc.top);
    EXPECT_EQ(1, popup->GetItemCount());
    menu.CloseAllPopups();
    s.button.SetMenu(nullptr);
    uitest::ClickClient(s.button.GetSafeHwnd(), 10, 10);
    themetest::Settle();
    EXPECT_EQ(nullptr, menu.GetPopup(0)) << "detached";
    menu.DestroyWindow();
}

TEST(ThemeButton, StripFramesPerFrameCount) {
    // A strip of four 20 x 10 frames in red, green, blue, yellow.
    const COLORREF frames[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
    struct Case {
        int count;
        int hover;  // frame shown per state
        int pressed;
        int disabled;
    };
    const Case cases[] = {{1, 0, 0, 0}, {2, 0, 1, 0}, {3, 1, 2, 0}, {4, 1, 2, 3}};
    for (const Case& c : cases) {
        const std::string path = themetest::WriteBmp("theme_button_strip.bmp", 20 * c.count, 10,
                                                     [&](int x, int) { return frames[x / 20]; });
        ButtonScene s;
        ASSERT_TRUE(s.button.SetImageFile(path.c_str())) << c.count;
        s.button.SetFrameCount(c.count);
        s.button.SetBackImageFillType(1);  // stretched
        EXPECT_EQ(2, s.button.GetBackDrawType());
        s.button.Invalidate(FALSE);
        EXPECT_EQ(Hex(frames[0]), Hex(s.Centre())) << "normal, count " << c.count;
        s.HoverOn();
        EXPECT_EQ(Hex(frames[c.hover]), Hex(s.Centre())) << "hover, count " << c.count;
        uitest::MouseDown();
        EXPECT_EQ(Hex(frames[c.pressed]), Hex(s.Centre())) << "pressed, count " << c.count;
        uitest::MouseUp();
        uitest::MoveCursorClient(s.stage.parent(), 300, 250);
        s.button.EnableWindow(FALSE);
        EXPECT_EQ(Hex(frames[c.disabled]), Hex(s.Centre())) << "disabled, count " << c.count;
        DeleteFileA(path.c_str());
    }
    // A count outside 1..4 is ignored.
    const std::string path = themetest::WriteBmp("theme_button_strip2.bmp", 40, 10,
                                                 [&](int x, int) { return frames[x / 20]; });
    ButtonScene s;
    s.button.SetImageFile(path.c_str());
    s.button.SetFrameCount(2);
    s.button.SetFrameCount(5);
    s.button.SetFrameCount(0);
    s.button.SetBackImageFillType(1);
    s.button.EnableWindow(FALSE);
    s.button.EnableWindow(TRUE);
    s.HoverOn();
    uitest::MouseDown();
    EXPECT_EQ(Hex(frames[1]), Hex(s.Centre())) << "still two frames";
    uitest::MouseUp();
    DeleteFileA(path.c_str());
}

TEST(ThemeButton, CaptionLinesAndShadow) {
    struct Case {
        const char* name;
        const char* text;
        COLORREF shadow;
        int bands;  // the caption in this many equal bands of the 30-px face
    };
    const Case cases[] = {
        {"one line", "HH", 0xFF00FF, 1},
        {"three lines by line feed", "H\nH\nH", 0xFF00FF, 3},
        {"three lines by backslash-n", "H\\nH\\nH", 0xFF00FF, 3},
        {"shadowed", "HH", RGB(0, 0, 0), 1},
    };
    for (const Case& c : cases) {
        ButtonScene s;
        s.button.SetBackColors(RGB(255, 255, 255), 0xFF00FF, 0xFF00FF, 0xFF00FF);
        s.button.SetOutlineThick(0);
        s.button.SetFontSize(9);
        s.button.SetTextColors(RGB(255, 0, 0), 0xFF00FF, 0xFF00FF, 0xFF00FF);
        s.button.SetShadowColors(c.shadow, 0xFF00FF, 0xFF00FF, 0xFF00FF);
        s.button.SetText(c.text);
        const uitest::Picture p = s.Face();
        const int bandHeight = 30 / c.bands;
        for (int b = 0; b < c.bands; ++b) {
            const RECT band = {0, b * bandHeight, 80, b * bandHeight + bandHeight};
            EXPECT_GT(Count(p, band, NearColor(RGB(255, 0, 0), 90)), 0) << c.name << " band " << b;
        }
        const int shadow = Count(p, {0, 0, 80, 30}, NearColor(RGB(0, 0, 0), 60));
        if (c.shadow == 0xFF00FF) {
            EXPECT_EQ(0, shadow) << c.name;
        } else {
            EXPECT_GT(shadow, 0) << c.name;
        }
    }
}

TEST(ThemeButton, BackTypeNoneShowsTheParentAndForgetsOldText) {
    ButtonScene s;
    s.button.SetBackDrawType(0);
    s.button.SetTextColors(RGB(255, 0, 0), 0xFF00FF, 0xFF00FF, 0xFF00FF);
    s.button.SetText("WWWW");
    uitest::Picture p = s.Face();
    EXPECT_GT(Count(p, {0, 0, 80, 30}, NearColor(RGB(255, 0, 0), 90)), 0);
    EXPECT_EQ(Hex(kParentBack), Hex(p.At(2, 2)));
    s.button.SetText("");
    p = s.Face();
    EXPECT_EQ(80 * 30, Count(p, {0, 0, 80, 30}, NearColor(kParentBack, 0))) << "old text left";
}

TEST(ThemeButton, FailedImageGivesNoBack) {
    ButtonScene s;
    EXPECT_FALSE(s.button.SetImageFile("C:\\no\\such\\face.bmp"));
    EXPECT_EQ(0, s.button.GetBackDrawType());
    EXPECT_EQ(Hex(kParentBack), Hex(s.Centre()));
    EXPECT_FALSE(s.button.SetBitmap(31999));
    EXPECT_EQ(0, s.button.GetBackDrawType());
}

TEST(ThemeButton, CaptionAreaLeftOfTheClientUsesTheWholeFace) {
    ButtonScene s;
    s.button.SetBackColors(RGB(255, 255, 255), 0xFF00FF, 0xFF00FF, 0xFF00FF);
    s.button.SetOutlineThick(0);
    s.button.SetTextColors(RGB(255, 0, 0), 0xFF00FF, 0xFF00FF, 0xFF00FF);
    s.button.SetCaptionArea(-10, 0, 0, 0);
    s.button.SetText("H");
    const uitest::Picture p = s.Face();
    // Centred in the whole 80-px face: ink only around x = 40.
    EXPECT_GT(Count(p, {30, 0, 50, 30}, NearColor(RGB(255, 0, 0), 90)), 0);
    EXPECT_EQ(0, Count(p, {0, 0, 25, 30}, NearColor(RGB(255, 0, 0), 90)));
}

TEST(ThemeButton, FaceWithoutBackForgetsThePressedCaption) {
    ButtonScene s;
    s.button.SetBackDrawType(0);
    s.button.SetTextColors(RGB(255, 0, 0), 0xFF00FF, 0xFF00FF, 0xFF00FF);
    s.button.SetText("HH");
    const uitest::Picture normal = s.Face();
    ASSERT_GT(Count(normal, {0, 0, 80, 30}, NearColor(RGB(255, 0, 0), 90)), 0);
    // Pressed, the caption sits a pixel lower; leaving must not keep it.
    s.HoverOn();
    uitest::MouseDown();
    themetest::Settle();
    ASSERT_EQ(2, s.button.GetState());
    uitest::MoveCursorClient(s.stage.parent(), 300, 250);
    uitest::PumpUntil([&] { return s.button.GetState() == 0; }, 2000);
    const uitest::Picture after = s.Face();  // still held: no release repaint yet
    uitest::MouseUp();
    int differ = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) differ += normal.At(x, y) != after.At(x, y);
    EXPECT_EQ(0, differ) << "the pressed caption stayed behind";
}
