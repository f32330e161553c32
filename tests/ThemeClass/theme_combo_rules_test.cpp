// The combo boxes' rules: strip fitting and layout, drop placement, the
// drop button's timer, and the in-place combo's keys and size.
#include <gtest/gtest.h>

#include "ThemeClass/ThemeComboRules.h"

using skin::ComboFirstKeyAction;
using skin::DropAction;
using skin::Rect;

TEST(ComboRules, FitListHeightFromTheWindow) {
    struct Case {
        const char* name;
        int window;
        int strip;
        int startList;
        bool resize;
        int wantList;
    };
    const Case cases[] = {
        {"60 px: 40 raised to 49", 60, 20, 49, true, 49},
        {"exactly the strip keeps the list height", 20, 20, 77, false, 77},
        {"120 px gives 100", 120, 20, 49, true, 100},
        {"shorter than the strip still gets the minimum", 12, 20, 77, true, 49},
    };
    for (const Case& c : cases) {
        int list = c.startList;
        EXPECT_EQ(c.resize, skin::ComboFitListHeight(c.window, c.strip, &list)) << c.name;
        EXPECT_EQ(c.wantList, list) << c.name;
    }
}

TEST(ComboRules, StripLayout) {
    struct Case {
        const char* name;
        int outline;
        int button;
        Rect edit;
        Rect btn;
    };
    const Case cases[] = {
        {"outline 1", 1, 21, Rect{1, 3, 98, 19}, Rect{98, 1, 119, 19}},
        {"outline 0 reaches the edges", 0, 21, Rect{0, 2, 99, 20}, Rect{99, 0, 120, 20}},
        {"outline 2", 2, 30, Rect{2, 4, 88, 18}, Rect{88, 2, 118, 18}},
    };
    for (const Case& c : cases) {
        const skin::ComboLayout l = skin::LayoutCombo(Rect{0, 0, 120, 20}, c.outline, c.button);
        EXPECT_EQ(c.edit, l.edit) << c.name;
        EXPECT_EQ(c.btn, l.button) << c.name;
    }
}

TEST(ComboRules, DropRectangle) {
    struct Case {
        const char* name;
        Rect window;
        int list;
        Rect want;
    };
    const Case cases[] = {
        {"below the strip", Rect{100, 200, 220, 220}, 80, Rect{100, 220, 220, 300}},
        {"short list raised to 49", Rect{100, 200, 220, 220}, 10, Rect{100, 220, 220, 269}},
        {"exactly at the bottom still below", Rect{0, 924, 50, 944}, 80, Rect{0, 944, 50, 1024}},
        {"one past the bottom opens upward", Rect{0, 925, 50, 945}, 80, Rect{0, 845, 50, 925}},
        {"upward short list raised to 49", Rect{0, 1000, 50, 1020}, 10, Rect{0, 951, 50, 1000}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, skin::ComboDropRect(c.window, 20, c.list, 1024)) << c.name;
}

TEST(ComboRules, AlignmentKindAndFrames) {
    EXPECT_EQ(5u, skin::ComboAlignFromStyle(4, 3)) << "a drop-down list centres";
    EXPECT_EQ(6u, skin::ComboAlignFromStyle(4, 2)) << "ES_RIGHT";
    EXPECT_EQ(4u, skin::ComboAlignFromStyle(4, 0));
    EXPECT_TRUE(skin::ComboIsDropList(3 | 0x50000000));
    EXPECT_FALSE(skin::ComboIsDropList(2));
    struct Case {
        int n;
        bool valid;
    };
    const Case frames[] = {{0, false}, {1, true}, {4, true}, {5, false}, {-1, false}};
    for (const Case& c : frames) EXPECT_EQ(c.valid, skin::ComboFrameCountValid(c.n)) << c.n;
    const skin::ComboButtonSize s = skin::ComboSizeFromImage(84, 18, 4, 1);
    EXPECT_EQ(21, s.buttonWidth);
    EXPECT_EQ(20, s.stripHeight);
    EXPECT_EQ(84, skin::ComboSizeFromImage(84, 18, 0, 1).buttonWidth) << "no division by zero";
}

TEST(ComboRules, DropButtonTimerAndFocus) {
    struct Step {
        const char* name;
        int event;  // 0 button, 1 timer, 2 list lost focus, 3 combo lost focus, 4 select
        bool flag;  // has list / mouse over button / focus to button
        DropAction want;
        bool shown;
    };
    const Step steps[] = {
        {"click starts the timer", 0, true, DropAction::kStartTimer, false},
        {"tick opens", 1, false, DropAction::kOpen, true},
        {"a second tick does nothing", 1, false, DropAction::kNone, true},
        {"list loses focus to the button: kept", 2, true, DropAction::kNone, true},
        {"the button's click closes", 0, true, DropAction::kClose, false},
        {"click again", 0, true, DropAction::kStartTimer, false},
        {"tick", 1, false, DropAction::kOpen, true},
        {"focus to the button keeps it", 3, true, DropAction::kNone, true},
        {"focus elsewhere closes", 3, false, DropAction::kClose, false},
        {"closed list losing focus", 2, false, DropAction::kNone, false},
        {"no list: nothing", 0, false, DropAction::kNone, false},
        {"open once more", 0, true, DropAction::kStartTimer, false},
        {"tick", 1, false, DropAction::kOpen, true},
        {"list loses focus elsewhere", 2, false, DropAction::kClose, false},
        {"selection closes", 4, false, DropAction::kClose, false},
    };
    skin::ComboDropState st;
    for (const Step& s : steps) {
        DropAction a = DropAction::kNone;
        switch (s.event) {
            case 0: a = st.OnButton(s.flag); break;
            case 1: a = st.OnTimer(); break;
            case 2: a = st.OnListLostFocus(s.flag); break;
            case 3: a = st.OnComboLostFocus(s.flag); break;
            default: a = st.OnSelect(); break;
        }
        EXPECT_EQ(static_cast<int>(s.want), static_cast<int>(a)) << s.name;
        EXPECT_EQ(s.shown, st.listShown) << s.name;
    }
}

TEST(InPlaceComboRules, FirstKeyTable) {
    struct Case {
        const char* name;
        unsigned key;
        ComboFirstKeyAction want;
        bool skipEnter;
    };
    const Case cases[] = {
        {"mouse start", 1, ComboFirstKeyAction::kCaretEnd, false},
        {"Enter", 13, ComboFirstKeyAction::kCaretEnd, true},
        {"Backspace", 8, ComboFirstKeyAction::kCaretEndBackspace, false},
        {"Page Up", 0x21, ComboFirstKeyAction::kSelectAll, false},
        {"Home", 0x24, ComboFirstKeyAction::kSelectAll, false},
        {"Down", 0x28, ComboFirstKeyAction::kSelectAll, false},
        {"space", 0x20, ComboFirstKeyAction::kSelectAllType, false},
        {"a letter", 'k', ComboFirstKeyAction::kSelectAllType, false},
        {"0", 0, ComboFirstKeyAction::kSelectAllType, false},
        {"Tab", 9, ComboFirstKeyAction::kSelectAllType, false},
        {"above Down", 0x29, ComboFirstKeyAction::kSelectAllType, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(static_cast<int>(c.want), static_cast<int>(skin::ComboFirstKey(c.key))) << c.name;
        EXPECT_EQ(c.skipEnter, skin::ComboSkipsFirstEnter(c.key)) << c.name;
    }
}

TEST(InPlaceComboRules, EndingKeys) {
    struct Down {
        const char* name;
        unsigned vk;
        bool arrows;
        bool ctrl;
        bool ends;
    };
    const Down downs[] = {
        {"Down alone moves the selection", 0x28, false, false, false},
        {"Ctrl+Down ends", 0x28, false, true, true},
        {"Ctrl+Page Up ends", 0x21, false, true, true},
        {"Ctrl+Home does not", 0x24, false, true, false},
        {"arrows end edits: Left", 0x25, true, false, true},
        {"a letter with Ctrl", 'A', false, true, false},
    };
    for (const Down& d : downs)
        EXPECT_EQ(d.ends, skin::ComboKeyDownEnds(d.vk, d.arrows, d.ctrl)) << d.name;

    struct Up {
        const char* name;
        unsigned vk;
        bool skip;
        bool handled, restore, clearSkip, end;
    };
    const Up ups[] = {
        {"Enter ends", 13, false, true, false, false, true},
        {"the first Enter is skipped", 13, true, true, false, true, false},
        {"Tab ends even while skipping", 9, true, true, false, false, true},
        {"Escape restores and ends", 27, false, true, true, false, true},
        {"Escape while skipping", 27, true, true, true, false, true},
        {"other keys are the default's", 'A', false, false, false, false, false},
    };
    for (const Up& u : ups) {
        const skin::ComboKeyUpResult r = skin::ComboKeyUp(u.vk, u.skip);
        EXPECT_EQ(u.handled, r.handled) << u.name;
        EXPECT_EQ(u.restore, r.restoreText) << u.name;
        EXPECT_EQ(u.clearSkip, r.clearSkip) << u.name;
        EXPECT_EQ(u.end, r.end) << u.name;
    }
}

TEST(InPlaceComboRules, WindowOverTheCell) {
    struct Case {
        const char* name;
        Rect cell;
        int widest;
        Rect want;
        int dropWidth;
    };
    const Case cases[] = {
        {"narrow items keep the cell width", Rect{10, 40, 110, 60}, 30, Rect{10, 40, 110, 157},
         30 + 17 + 8},
        {"a wide item widens it", Rect{10, 40, 110, 60}, 120, Rect{10, 40, 155, 157}, 145},
        {"no items", Rect{0, 0, 50, 18}, 0, Rect{0, 0, 50, 18 + 72 + 17}, 25},
    };
    for (const Case& c : cases) {
        const skin::ComboCellGeometry g = skin::ComboCellRect(c.cell, 4, 17, c.widest, 17, 4);
        EXPECT_EQ(c.want, g.window) << c.name;
        EXPECT_EQ(c.dropWidth, g.dropWidth) << c.name;
    }
}
