// The skinned combo box in a real window: fitting to the strip, the drop
// list's place below or above, the drop button and its timer, closing on
// focus loss, selection by click and by SetCurSel, the read-only edit part
// of a drop-down list, the frameless layout and the button face.
#include <gtest/gtest.h>

#include <string>

#include "ThemeClass/ThemeCombo.h"
#include "theme_fixture.h"

using themetest::Hex;
using themetest::Shot;
using themetest::SkinStage;

namespace {

constexpr UINT kId = 5500;

CRect ChildRect(CWnd* child, CWnd* parent) {
    CRect rc;
    child->GetWindowRect(&rc);
    parent->ScreenToClient(&rc);
    return rc;
}

std::string EditText(CThemeCombo& c) {
    CString s;
    c.GetText(s);
    return std::string(s);
}

HWND InnerEdit(CThemeCombo& c) { return ::GetDlgItem(c.GetEdit()->GetSafeHwnd(), 1002); }

struct ComboScene {
    SkinStage stage;
    CThemeCombo combo;
    std::string textAtNotify;
    explicit ComboScene(DWORD kind = CBS_DROPDOWNLIST, int height = 60, int listHeight = 0) {
        uitest::MoveCursorClient(stage.parent(), 390, 290);
        stage.log().answer = [this](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT*) {
            if (msg == WM_COMMAND && LOWORD(wp) == kId && HIWORD(wp) == CBN_SELCHANGE)
                textAtNotify = EditText(combo);
            return false;
        };
        if (listHeight) combo.SetListBoxHeight(listHeight);
        combo.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | kind, CRect(20, 40, 140, 40 + height),
                     stage.parentWnd(), kId);
        combo.AddString("first");
        combo.AddString("second");
        themetest::Settle();
        stage.log().Clear();
    }
    ~ComboScene() {
        if (combo.GetSafeHwnd()) combo.DestroyWindow();
        stage.log().answer = nullptr;
    }
    int SelChanges() { return stage.log().CountCommand(kId, CBN_SELCHANGE); }
    bool Open() {
        const CRect b = ChildRect(combo.GetButton(), &combo);
        uitest::HoverClient(combo.GetButton()->GetSafeHwnd(), b.Width() / 2, b.Height() / 2, 40);
        uitest::ClickClient(combo.GetButton()->GetSafeHwnd(), b.Width() / 2, b.Height() / 2);
        return uitest::PumpUntil([this] { return combo.IsDropped() != FALSE; }, 1000);
    }
};

}  // namespace

TEST(ThemeCombo, WindowShrinksToTheStripAndKeepsTheRestAsListHeight) {
    struct Case {
        const char* name;
        int height;
        int presetList;
        int wantList;
    };
    const Case cases[] = {
        {"60 px: a 40-px list raised to 49", 60, 0, 49},
        {"120 px: a 100-px list", 120, 0, 100},
        {"exactly the strip keeps its list height", 20, 77, 77},
    };
    for (const Case& c : cases) {
        ComboScene s(CBS_DROPDOWNLIST, c.height, c.presetList);
        CRect w = ChildRect(&s.combo, s.stage.parentWnd());
        EXPECT_EQ(CRect(20, 40, 140, 60), w) << c.name;
        EXPECT_EQ(c.wantList, s.combo.GetListBoxHeight()) << c.name;
        EXPECT_EQ(CRect(1, 3, 98, 19), ChildRect(s.combo.GetEdit(), &s.combo)) << c.name;
        EXPECT_EQ(CRect(98, 1, 119, 19), ChildRect(s.combo.GetButton(), &s.combo)) << c.name;
    }
}

TEST(ThemeCombo, DropButtonStartsTheTimerAndTogglesTheList) {
    ComboScene s;
    // The click itself only starts the timer; the tick opens the list.
    s.combo.SendMessage(WM_COMMAND, MAKEWPARAM(CThemeCombo::kButtonId, BN_CLICKED),
                        reinterpret_cast<LPARAM>(s.combo.GetButton()->GetSafeHwnd()));
    EXPECT_FALSE(s.combo.IsDropped());
    ASSERT_TRUE(uitest::PumpUntil([&] { return s.combo.IsDropped() != FALSE; }, 1000));
    EXPECT_EQ(s.combo.GetListBox()->GetSafeHwnd(), GetFocus());
    CRect list;
    s.combo.GetListBox()->GetWindowRect(&list);
    CRect w;
    s.combo.GetWindowRect(&w);
    EXPECT_EQ(CRect(w.left, w.bottom, w.right, w.bottom + 49), list) << "below, as wide";
    EXPECT_EQ(0u, s.combo.GetListBox()->GetStyle() & WS_CHILD);

    // A click on the button while the list is open closes it for good.
    const HWND hb = s.combo.GetButton()->GetSafeHwnd();
    // Away from the centre that the next click uses, so the two do not make
    // a double click.
    uitest::HoverClient(hb, 3, 3, 40);
    uitest::ClickClient(hb, 3, 3);
    uitest::PumpFor(200);
    EXPECT_FALSE(s.combo.IsDropped());
    // And the next one opens it again.
    EXPECT_TRUE(s.Open());
    EXPECT_EQ(0, s.SelChanges());
}

TEST(ThemeCombo, ListOpensUpwardNearTheScreenBottom) {
    const int screen = GetSystemMetrics(SM_CYSCREEN);
    uitest::Stage stage(400, 300, 100, screen - 300);
    CThemeCombo combo;
    combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(20, 270, 140, 290),
                 CWnd::FromHandle(stage.parent()), kId);
    combo.SetListBoxHeight(10);
    combo.AddString("a");
    combo.ShowDropList();
    CRect w, list;
    combo.GetWindowRect(&w);
    combo.GetListBox()->GetWindowRect(&list);
    EXPECT_EQ(w.top, list.bottom) << "its bottom on the combo's top edge";
    EXPECT_EQ(49, list.Height()) << "never less than 49";
    EXPECT_EQ(w.Width(), list.Width());
    combo.DestroyWindow();
}

TEST(ThemeCombo, LosingTheFocusClosesTheList) {
    ComboScene s;
    CButton other;
    other.Create("o", WS_CHILD | WS_VISIBLE, CRect(300, 200, 350, 230), s.stage.parentWnd(), 77);
    ASSERT_TRUE(s.Open());
    uitest::ClickClient(other.GetSafeHwnd(), 10, 10);
    themetest::Settle();
    EXPECT_FALSE(s.combo.IsDropped());
    EXPECT_EQ(other.GetSafeHwnd(), GetFocus()) << "the clicked window keeps the focus";
    EXPECT_EQ(0, s.SelChanges());
    other.DestroyWindow();
}

TEST(ThemeCombo, ClicksInTheListSelectAndNotify) {
    struct Case {
        const char* name;
        int y;
        int wantSel;
        const char* wantText;
    };
    const Case cases[] = {
        {"second row", 24, 1, "second"},
        {"below the last row keeps the selection", 42, 0, "first"},
    };
    for (const Case& c : cases) {
        ComboScene s;
        s.combo.SetCurSel(0);
        s.stage.log().Clear();
        ASSERT_TRUE(s.Open()) << c.name;
        uitest::ClickClient(s.combo.GetListBox()->GetSafeHwnd(), 40, c.y);
        themetest::Settle();
        EXPECT_EQ(c.wantSel, s.combo.GetCurSel()) << c.name;
        EXPECT_EQ(c.wantText, EditText(s.combo)) << c.name;
        EXPECT_EQ(1, s.SelChanges()) << c.name;
        EXPECT_FALSE(s.combo.IsDropped()) << c.name;
        const uitest::Message* m = s.stage.log().Last(WM_COMMAND);
        ASSERT_NE(nullptr, m) << c.name;
        EXPECT_EQ(s.combo.GetSafeHwnd(), reinterpret_cast<HWND>(m->lParam)) << c.name;
    }
}

TEST(ThemeCombo, SetCurSelNotifiesBeforeItReturns) {
    ComboScene s;
    struct Case {
        const char* name;
        int index;
        int wantResult;
        int wantSel;
        const char* wantText;
    };
    const Case cases[] = {
        {"select 1", 1, 1, 1, "second"},
        {"out of range keeps the selection", 5, LB_ERR, 1, "second"},
        {"select 0", 0, 0, 0, "first"},
        {"below 0", -1, LB_ERR, 0, "first"},
    };
    int notes = 0;
    for (const Case& c : cases) {
        s.textAtNotify.clear();
        EXPECT_EQ(c.wantResult, s.combo.SetCurSel(c.index)) << c.name;
        EXPECT_EQ(++notes, s.SelChanges()) << c.name << ": sent, not posted";
        EXPECT_EQ(c.wantText, s.textAtNotify) << c.name << ": the text came first";
        EXPECT_EQ(c.wantSel, s.combo.GetCurSel()) << c.name;
        EXPECT_EQ(InnerEdit(s.combo), GetFocus()) << c.name << ": focus in the edit part";
    }
}

TEST(ThemeCombo, EditPartIsReadOnlyOnlyForADropDownList) {
    struct Case {
        const char* name;
        DWORD kind;
        bool readOnly;
        const char* wantText;
    };
    const Case cases[] = {
        {"drop-down list", CBS_DROPDOWNLIST, true, "first"},
        {"drop-down", CBS_DROPDOWN, false, "x"},
    };
    for (const Case& c : cases) {
        ComboScene s(c.kind);
        s.combo.SetCurSel(0);
        s.stage.log().Clear();
        const HWND edit = InnerEdit(s.combo);
        EXPECT_EQ(c.readOnly, (GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) != 0) << c.name;
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        uitest::KeyPress('X');
        themetest::Settle();
        std::string got = EditText(s.combo);
        for (char& ch : got) ch = static_cast<char>(tolower(ch));
        EXPECT_EQ(c.wantText, got) << c.name;
        EXPECT_EQ(0, s.SelChanges()) << c.name << ": typing sends nothing";
        EXPECT_EQ(0, s.combo.GetCurSel()) << c.name;
    }
}

TEST(ThemeCombo, OutlineZeroLaysOutWithoutAFrame) {
    ComboScene s;
    uitest::Picture p = Shot(s.combo.GetSafeHwnd());
    EXPECT_EQ(Hex(0xA47B4E), Hex(p.At(0, 1))) << "outline 1 on the left";
    s.combo.SetOutlineThick(0);
    EXPECT_EQ(CRect(0, 2, 99, 20), ChildRect(s.combo.GetEdit(), &s.combo));
    EXPECT_EQ(CRect(99, 0, 120, 20), ChildRect(s.combo.GetButton(), &s.combo));
    p = Shot(s.combo.GetSafeHwnd());
    EXPECT_EQ(Hex(0xFFFFFF), Hex(p.At(0, 1))) << "the back alone above the edit part";
    EXPECT_EQ(Hex(0xFFFFFF), Hex(p.At(50, 0)));
}

TEST(ThemeCombo, ButtonFaceSizesTheButtonAndIgnoresBadFrameCounts) {
    ComboScene s;
    const std::string path =
        themetest::WriteBmp("combo_face.bmp", 84, 18, [](int, int) { return RGB(20, 90, 200); });
    EXPECT_FALSE(s.combo.SetButtonImage("Z:\\nonexistent\\face.bmp"));
    EXPECT_EQ(21, s.combo.GetButtonWidth());
    ASSERT_TRUE(s.combo.SetButtonImage(path.c_str()));
    EXPECT_EQ(21, s.combo.GetButtonWidth()) << "84 px in 4 frames";
    EXPECT_EQ(20, s.combo.GetStripHeight()) << "18 + 2 x outline";
    struct Case {
        const char* name;
        int frames;
        int wantWidth;
        int wantFrames;
    };
    const Case cases[] = {
        {"0 frames is ignored", 0, 21, 4},
        {"5 frames is ignored", 5, 21, 4},
        {"2 frames", 2, 42, 2},
        {"-1 is ignored", -1, 42, 2},
        {"1 frame", 1, 84, 1},
    };
    for (const Case& c : cases) {
        s.combo.SetButtonFrameCount(c.frames);
        EXPECT_EQ(c.wantWidth, s.combo.GetButtonWidth()) << c.name;
        EXPECT_EQ(c.wantFrames, s.combo.GetButtonFrameCount()) << c.name;
        EXPECT_EQ(c.wantWidth, ChildRect(s.combo.GetButton(), &s.combo).Width()) << c.name;
    }
    EXPECT_EQ(Hex(RGB(20, 90, 200)), Hex(Shot(s.combo.GetSafeHwnd()).At(110, 10)));
}

TEST(ThemeCombo, DestroyFreesTheChildren) {
    ComboScene s;
    const HWND list = s.combo.GetListBox()->GetSafeHwnd();
    const HWND edit = s.combo.GetEdit()->GetSafeHwnd();
    s.combo.DestroyWindow();
    EXPECT_FALSE(IsWindow(list));
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(nullptr, s.combo.GetListBox());
    EXPECT_EQ(nullptr, s.combo.GetButton());
    EXPECT_EQ(nullptr, s.combo.GetEdit());
    EXPECT_EQ(CB_ERR, s.combo.AddString("late"));
    EXPECT_EQ(CB_ERR, s.combo.SetCurSel(0)) << "no list: nothing to select";
}

TEST(ThemeCombo, ClickOnTheFrameFocusesTheEditPart) {
    ComboScene s;
    SetFocus(s.stage.parent());
    uitest::ClickClient(s.combo.GetSafeHwnd(), 50, 1);
    themetest::Settle();
    EXPECT_EQ(InnerEdit(s.combo), GetFocus());
    EXPECT_FALSE(s.combo.IsDropped());
}
