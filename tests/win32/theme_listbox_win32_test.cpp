// The skinned list box in a real window: the scroll strip, row colours and
// separators, the notifications its parent receives, the wheel, SetCurSel
// bounds, two boxes side by side and the popup form's window styles.
#include <gtest/gtest.h>

#include <memory>

#include "ThemeClass/ThemeListBox.h"
#include "theme_fixture.h"

using themetest::Hex;
using themetest::Shot;
using themetest::SkinStage;

namespace {

constexpr UINT kId = 5300;
constexpr COLORREF kBack1 = 0xFFFFFF;
constexpr COLORREF kBack2 = 0xFFE6D2;
constexpr COLORREF kBack = 0xE1EAE7;
constexpr COLORREF kSelectBack = 0xCC9933;
constexpr COLORREF kFrame = 0xC8C8C8;

// A list box of 150 x 102 (100 rows' pixels inside the outline).
struct ListScene {
    SkinStage stage;
    std::unique_ptr<CThemeListBox> list = std::make_unique<CThemeListBox>();
    explicit ListScene(int x = 20, int y = 20) {
        uitest::MoveCursorClient(stage.parent(), 390, 290);
        list->Create(WS_CHILD | WS_VISIBLE, CRect(x, y, x + 150, y + 102), stage.parentWnd(), kId);
        themetest::Settle();
        stage.log().Clear();
    }
    ~ListScene() {
        if (list->GetSafeHwnd()) list->DestroyWindow();
    }
    void Fill(int n) {
        for (int i = 0; i < n; ++i) list->AddString("a");
    }
    HWND Hwnd() const { return list->GetSafeHwnd(); }
    int Commands(UINT code) { return stage.log().CountCommand(kId, code); }
};

// A click whose release is queued with the press: a scroll bar's arrow runs
// its own loop from the press until the release, so the release must be
// there before the press is dispatched.
void QueuedClick(HWND hwnd, int x, int y) {
    uitest::MoveCursorClient(hwnd, x, y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof in[0]);
    themetest::Settle();
}

}  // namespace

TEST(ThemeListBox, StripShowsForTheSeventhRowAndNarrowsTheRows) {
    ListScene s;
    s.Fill(6);
    EXPECT_FALSE(s.list->IsStripShown()) << "6 x 16 = 96 fits in 100";
    uitest::Picture p = Shot(s.Hwnd());
    EXPECT_EQ(Hex(kBack1), Hex(p.At(140, 4))) << "row 0 reaches the right gap";
    EXPECT_EQ(Hex(kBack), Hex(p.At(147, 4))) << "right gap";

    s.list->AddString("a");
    EXPECT_TRUE(s.list->IsStripShown()) << "7 x 16 = 112 overflows";
    CRect strip;
    s.list->GetInnerList()->GetWindowRect(&strip);
    s.list->ScreenToClient(&strip);
    EXPECT_EQ(CRect(132, 1, 149, 101), strip);
    p = Shot(s.Hwnd());
    EXPECT_EQ(Hex(kBack), Hex(p.At(130, 4))) << "the right gap moved 17 px left";
    EXPECT_EQ(Hex(kBack1), Hex(p.At(125, 4)));
    EXPECT_TRUE(s.list->GetInnerList()->IsWindowVisible()) << "the strip shows the scroll bar";
}

TEST(ThemeListBox, RowColoursSeparatorsAndOutline) {
    ListScene s;
    // A bold face, so the text colour shows in more than a few smoothed
    // pixels.
    s.list->SetFontBold(TRUE);
    s.list->SetFontSize(16);
    for (int i = 0; i < 4; ++i) s.list->AddString("WWW");
    s.list->SetItemDataAndRedraw(1, 1);
    s.list->SetItemDataAndRedraw(2, 7);
    s.list->SetCurSel(3);
    const uitest::Picture p = Shot(s.Hwnd());
    struct Case {
        const char* name;
        int x;
        int y;
        COLORREF want;
    };
    const Case cases[] = {
        {"row 0 back", 10, 8, kBack1},
        {"row 1 back", 10, 24, kBack2},
        {"row 2 back", 10, 40, kBack1},
        {"selected row 3", 10, 56, kSelectBack},
        {"separator under row 0", 10, 16, kFrame},
        {"separator under row 1", 60, 32, kFrame},
        {"back below the rows", 60, 80, kBack},
        {"left gap", 2, 8, kBack},
        {"outline left", 0, 50, 0xA47B4E},
        {"outline top", 50, 0, 0xA47B4E},
        {"outline right", 149, 50, 0xC8C3C0},
        {"outline bottom", 50, 101, 0xC8C3C0},
    };
    for (const Case& c : cases) EXPECT_EQ(Hex(c.want), Hex(p.At(c.x, c.y))) << c.name;

    struct Text {
        const char* name;
        RECT row;
        COLORREF color;
    };
    const Text texts[] = {
        {"item data 0: window text", {3, 1, 147, 16}, GetSysColor(COLOR_WINDOWTEXT)},
        {"item data 1", {3, 17, 147, 32}, 0x00F6FE},
        {"other item data", {3, 33, 147, 48}, 0x0D0DCF},
        {"selected text", {3, 49, 147, 64}, GetSysColor(COLOR_HIGHLIGHTTEXT)},
    };
    for (const Text& t : texts)
        EXPECT_GT(themetest::Count(p, t.row, themetest::NearColor(t.color, 40)), 3) << t.name;
}

TEST(ThemeListBox, MouseNotificationsAndSelection) {
    struct Case {
        const char* name;
        bool dbl;
        int y;
        int wantSel;
        int wantSelChange;
        int wantDbl;
    };
    const Case cases[] = {
        {"release on row 1 selects it", false, 24, 1, 1, 0},
        {"release below the rows keeps the selection", false, 80, 2, 1, 0},
        {"double click on a row", true, 8, 0, 2, 1},
        {"double click below the rows", true, 80, 2, 2, 0},
    };
    for (const Case& c : cases) {
        ListScene s;
        s.Fill(3);
        s.list->SetCurSel(2);
        s.stage.log().Clear();
        if (c.dbl)
            uitest::DoubleClickClient(s.Hwnd(), 50, c.y);
        else
            uitest::ClickClient(s.Hwnd(), 50, c.y);
        themetest::Settle();
        EXPECT_EQ(c.wantSel, s.list->GetCurSel()) << c.name;
        EXPECT_EQ(c.wantSelChange, s.Commands(LBN_SELCHANGE)) << c.name;
        EXPECT_EQ(c.wantDbl, s.Commands(LBN_DBLCLK)) << c.name;
        const uitest::Message* m = s.stage.log().Last(WM_COMMAND);
        ASSERT_NE(nullptr, m) << c.name;
        EXPECT_EQ(s.Hwnd(), reinterpret_cast<HWND>(m->lParam)) << c.name;
    }
}

TEST(ThemeListBox, FocusNotificationsNameTheOtherWindow) {
    ListScene s;
    s.Fill(3);
    CButton other;
    other.Create("b", WS_CHILD | WS_VISIBLE, CRect(250, 20, 300, 50), s.stage.parentWnd(), 77);
    other.SetFocus();
    s.stage.log().Clear();
    s.list->SetFocus();
    ASSERT_EQ(1, s.Commands(LBN_SETFOCUS));
    EXPECT_EQ(other.GetSafeHwnd(), reinterpret_cast<HWND>(s.stage.log().Last(WM_COMMAND)->lParam));
    other.SetFocus();
    ASSERT_EQ(1, s.Commands(LBN_KILLFOCUS));
    EXPECT_EQ(other.GetSafeHwnd(), reinterpret_cast<HWND>(s.stage.log().Last(WM_COMMAND)->lParam));
    other.DestroyWindow();
}

TEST(ThemeListBox, SetCurSelBounds) {
    ListScene s;
    s.Fill(5);
    s.list->SetCurSel(2);
    struct Case {
        const char* name;
        int index;
        int wantResult;
        int wantSel;
    };
    const Case cases[] = {
        {"below 0", -1, LB_ERR, 2}, {"the count", 5, LB_ERR, 2}, {"far above", 1000, LB_ERR, 2},
        {"last row", 4, 4, 4},      {"first row", 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.wantResult, s.list->SetCurSel(c.index)) << c.name;
        EXPECT_EQ(c.wantSel, s.list->GetCurSel()) << c.name;
    }
    // Deleting strings leaves the stored selection where it was.
    s.list->SetCurSel(3);
    s.list->DeleteString(0);
    EXPECT_EQ(3, s.list->GetCurSel());
    EXPECT_EQ(Hex(kSelectBack), Hex(Shot(s.Hwnd()).At(10, 56)));
}

TEST(ThemeListBox, WheelStepsRepaintEachBoxByItsOwnTopRow) {
    ListScene s;
    s.Fill(20);
    CThemeListBox other;
    other.Create(WS_CHILD | WS_VISIBLE, CRect(200, 20, 350, 122), s.stage.parentWnd(), kId + 1);
    for (int i = 0; i < 20; ++i) other.AddString("a");
    themetest::Settle();

    struct Step {
        const char* name;
        CThemeListBox* box;
        short delta;
        int wantTop;
        COLORREF wantTopBack;
    };
    const Step steps[] = {
        {"first box down", s.list.get(), -120, 1, kBack2},
        // The same top row in a second box must still repaint it.
        {"second box down to the same row", &other, -120, 1, kBack2},
        {"second box down again", &other, -120, 2, kBack1},
        {"first box up", s.list.get(), 120, 0, kBack1},
        {"first box up at the top stays", s.list.get(), 120, 0, kBack1},
        {"two notches at once do nothing", s.list.get(), -240, 0, kBack1},
    };
    for (const Step& st : steps) {
        const POINT pt = uitest::ClientToScreenPoint(st.box->GetSafeHwnd(), 50, 50);
        st.box->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, st.delta), MAKELPARAM(pt.x, pt.y));
        EXPECT_EQ(st.wantTop, st.box->GetTopIndex()) << st.name;
        EXPECT_EQ(Hex(st.wantTopBack), Hex(Shot(st.box->GetSafeHwnd()).At(10, 8))) << st.name;
    }
    other.DestroyWindow();
}

TEST(ThemeListBox, ScrollBarOfOneBoxLeavesTheOtherAlone) {
    ListScene s;
    s.Fill(20);
    CThemeListBox other;
    other.Create(WS_CHILD | WS_VISIBLE, CRect(200, 20, 350, 122), s.stage.parentWnd(), kId + 1);
    for (int i = 0; i < 20; ++i) other.AddString("a");
    themetest::Settle();
    // The down arrow at the bottom of the first box's strip.
    QueuedClick(s.Hwnd(), 140, 96);
    EXPECT_GE(s.list->GetTopIndex(), 1);
    EXPECT_EQ(0, other.GetTopIndex());
    EXPECT_EQ(Hex(s.list->GetTopIndex() % 2 ? kBack2 : kBack1), Hex(Shot(s.Hwnd()).At(10, 8)))
        << "the rows follow the scroll bar";
    EXPECT_EQ(Hex(kBack1), Hex(Shot(other.GetSafeHwnd()).At(10, 8)));
    EXPECT_EQ(s.Hwnd(), ::GetFocus()) << "a scroll takes the focus";
    QueuedClick(other.GetSafeHwnd(), 140, 96);
    EXPECT_GE(other.GetTopIndex(), 1);
    EXPECT_EQ(Hex(other.GetTopIndex() % 2 ? kBack2 : kBack1),
              Hex(Shot(other.GetSafeHwnd()).At(10, 8)));
    other.DestroyWindow();
}

TEST(ThemeListBox, TransparencyAndPopupStyles) {
    ListScene s;
    s.list->SetTransparent(0);
    EXPECT_EQ(0u, s.list->GetExStyle() & WS_EX_LAYERED) << "alpha 0 leaves it unlayered";

    CThemeListBox popup;
    popup.SetPopup(TRUE);
    ASSERT_TRUE(popup.Create(WS_CHILD | WS_TABSTOP, CRect(0, 20, 100, 80), s.list.get(), 1004));
    const DWORD style = popup.GetStyle();
    EXPECT_NE(0u, style & WS_POPUP);
    EXPECT_EQ(0u, style & WS_CHILD) << "never child and popup at once";
    EXPECT_EQ(0, popup.GetDlgCtrlID()) << "a popup has no child id";
    popup.SetTransparent(128);
    EXPECT_NE(0u, popup.GetExStyle() & WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(popup.GetSafeHwnd(), nullptr, &alpha, &flags));
    EXPECT_EQ(128, alpha);
    EXPECT_EQ(static_cast<DWORD>(LWA_ALPHA), flags & LWA_ALPHA);
    popup.DestroyWindow();
}

TEST(ThemeListBox, DestroyFreesTheInnerList) {
    ListScene s;
    s.Fill(3);
    const HWND inner = s.list->GetInnerList()->GetSafeHwnd();
    ASSERT_TRUE(IsWindow(inner));
    s.list->DestroyWindow();
    EXPECT_FALSE(IsWindow(inner));
    EXPECT_EQ(nullptr, s.list->GetInnerList());
    EXPECT_EQ(0, s.list->GetCount());
    EXPECT_EQ(LB_ERR, s.list->AddString("late")) << "no window, no item";
}

TEST(ThemeListBox, RepaintsLeaveNoGdiObjectsBehind) {
    ASSERT_TRUE(uitest::InstallGdiCounter());
    ListScene s;
    s.Fill(12);
    s.list->SetCurSel(1);
    themetest::Settle();
    const long before = uitest::LiveGdiObjects();
    for (int i = 0; i < 10; ++i) {
        s.list->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const POINT pt = uitest::ClientToScreenPoint(s.Hwnd(), 50, 50);
        s.list->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, i % 2 ? 120 : -120),
                            MAKELPARAM(pt.x, pt.y));
        uitest::PumpFor(5);
    }
    EXPECT_EQ(before, uitest::LiveGdiObjects());
}
