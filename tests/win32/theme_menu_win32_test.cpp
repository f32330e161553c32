// The skinned popup menu in real windows: menus from a compiled resource,
// the real cursor resting on items, real clicks, focus moving away; popup
// sizes, places, pixels and the parent's WM_COMMAND out.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ThemeClass/BaseMenu.h"
#include "ThemeClass/ThemeMenu.h"
#include "theme_fixture.h"
#include "theme_menu_ids.h"

using themetest::Count;
using themetest::Hex;
using themetest::NearColor;
using themetest::Shot;
using themetest::SkinStage;

namespace {

constexpr UINT kHostId = 4300;
constexpr DWORD kWaitMs = 3000;

// The default skin, as COLORREF.
constexpr COLORREF kNormalBack = 0xDCDCDC;
constexpr COLORREF kHoverBack = 0xEDD4B2;
constexpr COLORREF kPressedBack = 0x0080FF;
constexpr COLORREF kFontEnable = 0x000000;
constexpr COLORREF kFontDisable = 0x808080;
constexpr COLORREF kOutlineLT = 0x808080;
constexpr COLORREF kOutlineRB = 0x404040;
constexpr COLORREF kSeparatorUpper = 0x808080;
constexpr COLORREF kSeparatorLower = 0x000000;

// Item positions of the main submenu.
enum MainItem { kOpen, kSeparator, kDisabled, kMore, kOther, kCheck, kRed, kGreen, kBlue };

CRect WindowRect(CWnd* p) {
    CRect rc;
    p->GetWindowRect(&rc);
    return rc;
}

// Text and marks are drawn thin and smoothed: a pixel counts as ink when
// every channel is at most limit (the backs are all lighter).
std::function<bool(COLORREF)> Ink(int limit) {
    return [limit](COLORREF c) {
        return GetRValue(c) <= limit && GetGValue(c) <= limit && GetBValue(c) <= limit;
    };
}

CRect ItemOnScreen(CBaseMenu* p, int item) {
    CRect rc = p->GetItemRect(item);
    const CRect w = WindowRect(p);
    rc.OffsetRect(w.left, w.top);
    return rc;
}

// What the parent saw of the menu when a WM_COMMAND arrived.
struct CommandSeen {
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    int livePopups = -1;
    int busyPopups = -1;
    int openSlots = -1;
};

struct MenuScene {
    SkinStage stage;
    CThemeMenu host;
    std::vector<CommandSeen> commands;

    explicit MenuScene(short sub = SUB_MAIN) {
        uitest::MoveCursorClient(stage.parent(), 390, 290);
        host.Create(0x40010000, CRect(0, 0, 10, 10), stage.parentWnd(), kHostId);
        host.LoadMenu(IDR_TEST_MENU);
        host.SetSubMenuIndex(sub);
        stage.log().Clear();
        stage.log().answer = [this](HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT*) {
            if (msg == WM_COMMAND)
                commands.push_back({wParam, lParam, CBaseMenu::GetLiveCount(),
                                    CBaseMenu::GetBusyCount(), host.GetOpenCount()});
            return false;
        };
    }
    ~MenuScene() {
        stage.log().answer = nullptr;
        if (host.GetSafeHwnd()) host.DestroyWindow();
    }
    CBaseMenu* Popup(int level) { return host.GetPopup(level); }

    // Waits for a level's first paint, which sizes it.
    bool WaitSized(int level) {
        return uitest::PumpUntil(
            [&] {
                CBaseMenu* p = Popup(level);
                if (!p || !p->GetSafeHwnd()) return false;
                CRect rc;
                p->GetClientRect(&rc);
                return rc.Width() > 50;
            },
            kWaitMs);
    }
    CBaseMenu* Open(int x = 20, int y = 20) {
        host.TrackPopup(x, y);
        WaitSized(0);
        themetest::Settle();
        return Popup(0);
    }
    void Hover(int level, int item) {
        const CPoint c = ItemOnScreen(Popup(level), item).CenterPoint();
        uitest::MoveCursor(c.x, c.y);
        uitest::MoveCursor(c.x + 1, c.y);
        uitest::PumpUntil([&] { return Popup(level)->GetHoverIndex() == item; }, kWaitMs);
    }
    // Rests on a submenu item until the level below opens (or does not).
    CBaseMenu* OpenSub(int level, int item) {
        // By window: a new popup object may take the old one's address.
        const HWND before = Popup(level + 1) ? Popup(level + 1)->GetSafeHwnd() : nullptr;
        Hover(level, item);
        uitest::PumpUntil(
            [&] { return Popup(level + 1) && Popup(level + 1)->GetSafeHwnd() != before; }, kWaitMs);
        WaitSized(level + 1);
        themetest::Settle();
        return Popup(level + 1);
    }
    void Click(int level, int item) {
        Hover(level, item);
        uitest::MouseDown();
        uitest::PumpFor(30);
        uitest::MouseUp();
        themetest::Settle();
    }
};

}  // namespace

TEST(ThemeMenu, PopupSizesItselfAndDropsAtThePoint) {
    struct Case {
        const char* name;
        short sub;
        int width;  // 0: at least 88, depends on the glyphs
        int height;
    };
    const Case cases[] = {
        {"empty menu", SUB_EMPTY, 88, 8},
        // Six two-byte characters at 12: 6 x 17 + 18.
        {"korean item", SUB_KOREAN, 120, 31},
        {"one short item", SUB_DEEP, 88, 54},
        // Eight items of 23 and a separator of 8, plus 8.
        {"main menu", SUB_MAIN, 0, 200},
    };
    for (const Case& c : cases) {
        MenuScene s(c.sub);
        CBaseMenu* p = s.Open(30, 40);
        ASSERT_NE(nullptr, p) << c.name;
        const CRect w = WindowRect(p);
        const POINT origin = uitest::ClientToScreenPoint(s.stage.parent(), 30, 40);
        EXPECT_EQ(origin.x, w.left) << c.name;
        EXPECT_EQ(origin.y, w.top) << c.name;
        if (c.width)
            EXPECT_EQ(c.width, w.Width()) << c.name;
        else
            EXPECT_GE(w.Width(), 88) << c.name;
        EXPECT_EQ(c.height, w.Height()) << c.name;
        // An owned, topmost popup, not a child of the dialog.
        EXPECT_FALSE(p->GetStyle() & WS_CHILD) << c.name;
        EXPECT_TRUE(p->GetStyle() & WS_POPUP) << c.name;
        EXPECT_TRUE(p->GetExStyle() & WS_EX_TOPMOST) << c.name;
        EXPECT_EQ(::GetAncestor(s.stage.parent(), GA_ROOT), ::GetWindow(p->GetSafeHwnd(), GW_OWNER))
            << c.name;
    }
}

TEST(ThemeMenu, ItemHeightsAndRectangles) {
    MenuScene s;
    CBaseMenu* p = s.Open();
    ASSERT_NE(nullptr, p);
    const CRect client = p->GetItemRect(kOpen);
    EXPECT_EQ(CRect(4, 4, WindowRect(p).Width() - 4, 27), client);
    EXPECT_EQ(8, p->GetItemRect(kSeparator).Height());
    EXPECT_EQ(23, p->GetItemRect(kDisabled).Height());
    EXPECT_EQ(35, p->GetItemRect(kDisabled).top);
    EXPECT_EQ(CRect(0, 0, 10, 10), p->GetItemRect(42)) << "no such item";
    EXPECT_EQ(kMore, p->HitTest(20, p->GetItemRect(kMore).top + 5));
    EXPECT_EQ(-1, p->HitTest(20, 1)) << "outline";
}

TEST(ThemeMenu, PaintsOutlineSeparatorAndText) {
    MenuScene s;
    CBaseMenu* p = s.Open();
    ASSERT_NE(nullptr, p);
    const uitest::Picture pic = Shot(p->GetSafeHwnd());
    ASSERT_FALSE(pic.empty());
    const int w = pic.width, h = pic.height;
    struct Probe {
        const char* name;
        int x, y;
        COLORREF want;
    };
    const CRect sep = p->GetItemRect(kSeparator);
    const int lineY = (sep.top + sep.bottom) / 2 - 1;
    const Probe probes[] = {
        {"outer ring left", 0, h / 2, kOutlineLT},
        {"outer ring top", w / 2, 0, kOutlineLT},
        {"inner ring left", 1, h / 2, kOutlineLT},
        {"outer ring right", w - 1, h / 2, kOutlineRB},
        {"outer ring bottom", w / 2, h - 1, kOutlineRB},
        {"inner ring right", w - 2, h / 2, kOutlineRB},
        {"back inside the rings", 2, h / 2, 0xDCDCDC},
        {"item area", w - 6, p->GetItemRect(kOpen).top + 3, kNormalBack},
        {"separator upper line", sep.left + 10, lineY, kSeparatorUpper},
        {"separator lower line", sep.left + 10, lineY + 1, kSeparatorLower},
        {"separator ends 2 in", sep.left + 1, lineY, kNormalBack},
    };
    for (const Probe& pr : probes) EXPECT_EQ(Hex(pr.want), Hex(pic.At(pr.x, pr.y))) << pr.name;

    // Enabled text in FontEnable, grayed text in FontDisable.
    const CRect open = p->GetItemRect(kOpen);
    const CRect grayed = p->GetItemRect(kDisabled);
    const RECT openText = {open.left + 17, open.top, open.right - 13, open.bottom};
    const RECT grayText = {grayed.left + 17, grayed.top, grayed.right - 13, grayed.bottom};
    EXPECT_GT(Count(pic, openText, Ink(0x60)), 10);
    EXPECT_GT(Count(pic, grayText, NearColor(kFontDisable, 24)), 10);
    EXPECT_EQ(0, Count(pic, grayText, Ink(0x60)));
    // The submenu item carries its arrow at the right end.
    const CRect more = p->GetItemRect(kMore);
    const RECT arrow = {more.right - 13, more.top, more.right, more.bottom};
    EXPECT_GT(Count(pic, arrow, Ink(0x60)), 3);
    const CRect red = p->GetItemRect(kRed);
    const RECT noArrow = {red.right - 13, red.top, red.right, red.bottom};
    EXPECT_EQ(0, Count(pic, noArrow, Ink(0xA0)));
}

TEST(ThemeMenu, HoverAndPressLooks) {
    struct Case {
        const char* name;
        int item;
        COLORREF hover;
        COLORREF down;  // while the button is held over it
    };
    const Case cases[] = {
        {"command item", kOpen, kHoverBack, kPressedBack},
        {"grayed item cannot be pressed", kDisabled, kHoverBack, kHoverBack},
        {"submenu item cannot be pressed", kMore, kHoverBack, kHoverBack},
    };
    for (const Case& c : cases) {
        MenuScene s;
        CBaseMenu* p = s.Open();
        ASSERT_NE(nullptr, p) << c.name;
        s.Hover(0, c.item);
        const CRect rc = p->GetItemRect(c.item);
        const int x = rc.right - 4, y = rc.top + 3;
        EXPECT_EQ(Hex(c.hover), Hex(Shot(p->GetSafeHwnd()).At(x, y))) << c.name << " hover";
        uitest::MouseDown();
        EXPECT_EQ(Hex(c.down), Hex(Shot(p->GetSafeHwnd()).At(x, y))) << c.name << " down";
        uitest::MouseUp();
        themetest::Settle();
        // Leaving the items keeps the hover on the last one.
        uitest::MoveCursorClient(s.stage.parent(), 390, 290);
        themetest::Settle();
        if (s.Popup(0)) {
            EXPECT_EQ(c.item, s.Popup(0)->GetHoverIndex()) << c.name;
        }
    }
}

TEST(ThemeMenu, RestingOnASubmenuItemOpensItBesideTheItem) {
    MenuScene s;
    CBaseMenu* p0 = s.Open();
    ASSERT_NE(nullptr, p0);
    CBaseMenu* p1 = s.OpenSub(0, kMore);
    ASSERT_NE(nullptr, p1);
    const CRect item = ItemOnScreen(p0, kMore);
    EXPECT_EQ(item.right - 2, WindowRect(p1).left);
    EXPECT_EQ(item.top, WindowRect(p1).top);
    EXPECT_EQ(3 * 23 + 8, WindowRect(p1).Height()) << "the More menu: three items";
    // The new popup took the focus within the close delay: nothing closed.
    uitest::PumpFor(200);
    EXPECT_EQ(p0, s.Popup(0));
    EXPECT_EQ(p1, s.Popup(1));
    EXPECT_EQ(1, s.host.GetFocusLevel());

    // Resting on a command item leaves the deeper popup open.
    s.Hover(0, kOpen);
    uitest::PumpFor(400);
    EXPECT_EQ(p1, s.Popup(1));
    EXPECT_EQ(2, s.host.GetOpenCount());

    // Another submenu item replaces it, beside that item.
    const HWND first = p1->GetSafeHwnd();
    CBaseMenu* p1b = s.OpenSub(0, kOther);
    ASSERT_NE(nullptr, p1b);
    EXPECT_NE(first, p1b->GetSafeHwnd());
    EXPECT_FALSE(::IsWindow(first));
    EXPECT_EQ(ItemOnScreen(p0, kOther).top, WindowRect(p1b).top);
    EXPECT_EQ(23 + 8, WindowRect(p1b).Height()) << "the Other menu: one item";
    EXPECT_EQ(2, CBaseMenu::GetLiveCount());

    // Back to the first submenu (the first level must still stand over the
    // dialog after a replaced popup), and a third level from it.
    CBaseMenu* p1c = s.OpenSub(0, kMore);
    ASSERT_NE(nullptr, p1c);
    EXPECT_EQ(3, p1c->GetItemCount());
    ASSERT_NE(nullptr, s.OpenSub(1, 2));
    EXPECT_EQ(3, s.host.GetOpenCount());
}

TEST(ThemeMenu, ACommandClosesEveryPopupThenIsSentOnce) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, int>> path;  // submenu items to rest on
        int item;
        UINT id;
    };
    const std::vector<Case> cases = {
        {"first level", {}, kOpen, ID_OPEN},
        {"second level", {{0, kMore}}, 0, ID_ALPHA},
        {"third level", {{0, kMore}, {1, 2}}, 0, ID_GAMMA},
        {"second level, other branch", {{0, kOther}}, 0, ID_DELTA},
    };
    for (const Case& c : cases) {
        MenuScene s;
        ASSERT_NE(nullptr, s.Open()) << c.name;
        for (const auto& step : c.path) ASSERT_NE(nullptr, s.OpenSub(step.first, step.second));
        const int level = static_cast<int>(c.path.size());
        s.Click(level, c.item);
        uitest::PumpFor(150);
        ASSERT_EQ(1u, s.commands.size()) << c.name;
        const CommandSeen& seen = s.commands[0];
        EXPECT_EQ(WPARAM(c.id), seen.wParam) << c.name;
        EXPECT_EQ(0, seen.lParam) << c.name;
        // Sent after every popup was closed, and not from inside a popup's
        // own handler.
        EXPECT_EQ(0, seen.livePopups) << c.name;
        EXPECT_EQ(0, seen.openSlots) << c.name;
        EXPECT_EQ(0, seen.busyPopups) << c.name;
        EXPECT_EQ(0, CBaseMenu::GetLiveCount()) << c.name;
    }
}

TEST(ThemeMenu, ClicksThatSendNothing) {
    struct Case {
        const char* name;
        int item;
    };
    const Case cases[] = {
        {"grayed item", kDisabled},
        {"separator", kSeparator},
        {"submenu item", kOther},
    };
    for (const Case& c : cases) {
        MenuScene s;
        ASSERT_NE(nullptr, s.Open()) << c.name;
        s.Click(0, c.item);
        uitest::PumpFor(300);
        EXPECT_TRUE(s.commands.empty()) << c.name;
        ASSERT_NE(nullptr, s.Popup(0)) << c.name << ": the menu stays open";
        EXPECT_EQ(-1, s.Popup(0)->GetPressedIndex()) << c.name;
    }
}

TEST(ThemeMenu, CheckAndRadioMarksMove) {
    MenuScene s;
    s.host.AddCheckItem(ID_CHECK);
    s.host.AddRadioRange(ID_RED, ID_BLUE);
    EXPECT_TRUE(s.host.SetItemCheck(ID_GREEN, TRUE));
    EXPECT_FALSE(s.host.SetItemCheck(ID_OPEN, TRUE)) << "not registered";
    EXPECT_FALSE(s.host.IsItemChecked(4242)) << "no such item";

    // Dark pixels in the left gap of each item: where a mark is drawn.
    const auto marks = [&s]() {
        CBaseMenu* p = s.Open();
        std::vector<int> at;
        if (!p) return at;
        const uitest::Picture pic = Shot(p->GetSafeHwnd());
        for (int i : {kOpen, kCheck, kRed, kGreen, kBlue}) {
            const CRect rc = p->GetItemRect(i);
            const RECT gap = {rc.left, rc.top, rc.left + 17, rc.bottom};
            if (Count(pic, gap, Ink(0x90)) > 3) at.push_back(i);
        }
        s.host.CloseAllPopups();
        return at;
    };
    struct Step {
        const char* name;
        int click;  // -1: look only
        UINT id;
        std::vector<int> marked;
    };
    const std::vector<Step> steps = {
        {"radio set on Green", -1, 0, {kGreen}},
        {"check item toggles on", kCheck, ID_CHECK, {kCheck, kGreen}},
        {"radio moves to Red", kRed, ID_RED, {kCheck, kRed}},
        {"check item toggles off", kCheck, ID_CHECK, {kRed}},
        {"radio on its own item stays", kRed, ID_RED, {kRed}},
        {"radio moves to Blue", kBlue, ID_BLUE, {kBlue}},
        {"unregistered item has no mark", kOpen, ID_OPEN, {kBlue}},
    };
    for (const Step& st : steps) {
        if (st.click >= 0) {
            s.commands.clear();
            ASSERT_NE(nullptr, s.Open()) << st.name;
            s.Click(0, st.click);
            uitest::PumpFor(100);
            ASSERT_EQ(1u, s.commands.size()) << st.name;
            EXPECT_EQ(WPARAM(st.id), s.commands[0].wParam) << st.name;
        }
        EXPECT_EQ(st.marked, marks()) << st.name;
    }
    EXPECT_TRUE(s.host.IsItemChecked(ID_BLUE));
    EXPECT_FALSE(s.host.IsItemChecked(ID_RED));
    EXPECT_FALSE(s.host.IsItemChecked(ID_CHECK));
    EXPECT_TRUE(s.host.SetItemCheck(ID_BLUE, FALSE));
    EXPECT_FALSE(s.host.IsItemChecked(ID_BLUE));
}

TEST(ThemeMenu, LosingTheFocusClosesEverything) {
    MenuScene s;
    ASSERT_NE(nullptr, s.Open());
    ASSERT_NE(nullptr, s.OpenSub(0, kMore));
    ASSERT_EQ(2, CBaseMenu::GetLiveCount());
    uitest::BringToFront(::GetAncestor(s.stage.parent(), GA_ROOT));
    EXPECT_TRUE(uitest::PumpUntil([] { return CBaseMenu::GetLiveCount() == 0; }, kWaitMs));
    EXPECT_EQ(0, s.host.GetOpenCount());
    EXPECT_TRUE(s.commands.empty());
}

TEST(ThemeMenu, TransparencyReadBack) {
    struct Case {
        const char* name;
        int value;
        bool layered;
        BYTE alpha;
    };
    const Case cases[] = {
        {"0 stays opaque and not layered", 0, false, 0},
        {"255 layered but opaque", 255, true, 255},
        {"128", 128, true, 128},
        {"low byte kept", 0x1FF, true, 255},
        {"low byte 0", 0x100, false, 0},
    };
    for (const Case& c : cases) {
        MenuScene s;
        s.host.SetTransparent(c.value);
        CBaseMenu* p = s.Open();
        ASSERT_NE(nullptr, p) << c.name;
        const bool layered = (p->GetExStyle() & WS_EX_LAYERED) != 0;
        EXPECT_EQ(c.layered, layered) << c.name;
        if (layered) {
            BYTE alpha = 0;
            DWORD flags = 0;
            ASSERT_TRUE(::GetLayeredWindowAttributes(p->GetSafeHwnd(), nullptr, &alpha, &flags))
                << c.name;
            EXPECT_EQ(c.alpha, alpha) << c.name;
            EXPECT_EQ(DWORD(LWA_ALPHA), flags) << c.name;
        }
    }
}

TEST(ThemeMenu, ElevenLevelsDeepOpenTenPopupsOnly) {
    MenuScene s(SUB_DEEP);
    s.host.AddCheckItem(ID_BOTTOM);
    ASSERT_NE(nullptr, s.Open(0, 0));
    for (int level = 0; level < 9; ++level)
        ASSERT_NE(nullptr, s.OpenSub(level, 0)) << "level " << level + 1;
    ASSERT_EQ(10, s.host.GetOpenCount());
    // Level 9 shows L9, whose first item would open an eleventh popup.
    CBaseMenu* last = s.Popup(9);
    EXPECT_EQ(2, last->GetItemCount());
    s.Hover(9, 0);
    uitest::PumpFor(600);
    EXPECT_EQ(10, CBaseMenu::GetLiveCount());
    EXPECT_EQ(10, s.host.GetOpenCount());
    EXPECT_EQ(nullptr, s.host.GetPopup(10));
    EXPECT_EQ(0, s.host.FindItem(ID_BOTTOM)) << "the host's own state is intact";
    // The deepest level still chooses commands.
    s.Click(9, 1);
    uitest::PumpFor(150);
    ASSERT_EQ(1u, s.commands.size());
    EXPECT_EQ(WPARAM(ID_LEAF_BASE + 9), s.commands[0].wParam);
    EXPECT_EQ(0, CBaseMenu::GetLiveCount());
}

TEST(ThemeMenu, ItemImageFramesPerState) {
    // A strip of three 30 x 20 frames in red, green and blue.
    const COLORREF frames[3] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    struct Case {
        int count;
        COLORREF normal, hover, pressed;
    };
    const Case cases[] = {
        {3, frames[0], frames[1], frames[2]},
        {2, frames[0], frames[1], frames[1]},
        {1, frames[0], frames[0], frames[0]},
    };
    for (const Case& c : cases) {
        const std::string path = themetest::WriteBmp("theme_menu_item.bmp", 30 * c.count, 20,
                                                     [&](int x, int) { return frames[x / 30]; });
        MenuScene s;
        ASSERT_TRUE(s.host.SetItemImage(path.c_str()));
        s.host.SetItemImageCount(c.count);
        CBaseMenu* p = s.Open();
        ASSERT_NE(nullptr, p);
        EXPECT_EQ(20, p->GetItemRect(kOpen).Height()) << "items as high as the image";
        s.Hover(0, kOpen);
        const CRect open = p->GetItemRect(kOpen);
        const CRect red = p->GetItemRect(kRed);
        const uitest::Picture pic = Shot(p->GetSafeHwnd());
        EXPECT_EQ(Hex(c.hover), Hex(pic.At(open.right - 3, open.top + 2))) << c.count;
        EXPECT_EQ(Hex(c.normal), Hex(pic.At(red.right - 3, red.top + 2))) << c.count;
        uitest::MouseDown();
        EXPECT_EQ(Hex(c.pressed), Hex(Shot(p->GetSafeHwnd()).At(open.right - 3, open.top + 2)))
            << c.count;
        uitest::MouseUp();
        themetest::Settle();
    }
}

TEST(ThemeMenu, HostLifetimeAndMenuReplacement) {
    {
        MenuScene s;
        ASSERT_NE(nullptr, s.Open());
        ASSERT_NE(nullptr, s.OpenSub(0, kMore));
        s.host.DestroyWindow();
        EXPECT_EQ(0, CBaseMenu::GetLiveCount()) << "destroying the host closes its popups";
    }
    {
        MenuScene s;
        ASSERT_NE(nullptr, s.Open());
        EXPECT_TRUE(s.host.LoadMenu(IDR_TEST_MENU));
        EXPECT_EQ(0, CBaseMenu::GetLiveCount()) << "a new menu closes the old one's popups";
        EXPECT_FALSE(s.host.LoadMenu(4242));
        s.host.TrackPopup(20, 20);
        uitest::PumpFor(100);
        ASSERT_NE(nullptr, s.Popup(0)) << "an empty popup for a missing menu";
        EXPECT_EQ(0, s.Popup(0)->GetItemCount());
    }
    {
        // A skin reload keeps the submenu the dialog chose.
        MenuScene s(SUB_KOREAN);
        s.host.SetFontSize(20);
        s.host.SetDefaultSkin();
        CBaseMenu* p = s.Open();
        ASSERT_NE(nullptr, p);
        EXPECT_EQ(120, WindowRect(p).Width());
    }
    EXPECT_EQ(0, CBaseMenu::GetLiveCount());
}
