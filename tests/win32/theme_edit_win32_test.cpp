// The skinned edit box in a real window: the inner edit placed by the
// outline, notifications under the frame's id, the colours in the pixels,
// the number range check with its message boxes (and no endless boxes),
// the enabled state, and nothing left behind when it goes.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ThemeClass/ThemeEdit.h"
#include "theme_fixture.h"

using themetest::Count;
using themetest::Hex;
using themetest::NearColor;
using themetest::Shot;
using themetest::SkinStage;

namespace {

constexpr UINT kFrameId = 3001;
constexpr UINT kSecondId = 3002;
const RECT kPlace = {20, 20, 220, 48};  // 200 x 28

int g_innerDestroyed = 0;

class CountedInner : public CBaseEdit {
public:
    ~CountedInner() override { ++g_innerDestroyed; }
};

class CountedEditBox : public CThemeEdit {
protected:
    CBaseEdit* NewInnerEdit() override { return new CountedInner; }
};

HWND Inner(const CThemeEdit& e) { return e.GetEdit() ? e.GetEdit()->GetSafeHwnd() : nullptr; }

std::string TextOf(const CThemeEdit& e) {
    CString s;
    e.GetText(s);
    return static_cast<LPCTSTR>(s);
}

// The inner edit's rectangle in the frame's client coordinates.
RECT InnerRect(const CThemeEdit& e) {
    RECT r = {};
    GetWindowRect(Inner(e), &r);
    MapWindowPoints(nullptr, e.GetSafeHwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

// Library message boxes are answered by the harness while it lives.
class LibraryBoxes {
public:
    LibraryBoxes() : old_(AfxSetMessageBoxHook(&uitest::AnswerMessageBox)) {}
    ~LibraryBoxes() { AfxSetMessageBoxHook(old_); }
    uitest::MessageBoxCatcher catcher;

private:
    AFX_MSGBOX_HOOK old_;
};

const std::string kRangePrefix = "입력범위가 올바르지 않습니다. 입력범위 : ";

}  // namespace

TEST(ThemeEdit, InnerEditSitsInsideTheOutline) {
    struct Case {
        const char* name;
        int thick;
    };
    const Case cases[] = {{"no outline", 0}, {"default outline", 1}, {"thick outline", 3}};
    for (const Case& c : cases) {
        SkinStage stage;
        CThemeEdit edit;
        edit.SetOutlineThick(c.thick);
        ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, kPlace, stage.parentWnd(), kFrameId))
            << c.name;
        ASSERT_TRUE(Inner(edit)) << c.name;
        EXPECT_EQ(THEMEEDIT_INNER_ID, GetDlgCtrlID(Inner(edit))) << c.name;
        const int t = c.thick;
        RECT want = {t, t + 2, 200 - t, 28 - t};
        EXPECT_EQ(RectText(want), RectText(InnerRect(edit))) << c.name;

        // Sizes of 9 pixels or less leave the inner edit where it was.
        const struct {
            int cx, cy;
            bool moves;
        } sizes[] = {{9, 40, false}, {150, 9, false}, {5, 5, false}, {120, 30, true}};
        for (const auto& sz : sizes) {
            const RECT before = InnerRect(edit);
            edit.MoveWindow(kPlace.left, kPlace.top, sz.cx, sz.cy);
            const RECT after = InnerRect(edit);
            if (sz.moves) {
                want = RECT{t, t + 2, sz.cx - t, sz.cy - t};
                EXPECT_EQ(RectText(want), RectText(after))
                    << c.name << " " << sz.cx << "x" << sz.cy;
            } else {
                EXPECT_TRUE(SameRect(before, after))
                    << c.name << " " << sz.cx << "x" << sz.cy << ": " << RectText(after);
            }
        }
    }
}

TEST(ThemeEdit, ParentHearsTheFramesIdOnly) {
    SkinStage stage;
    CThemeEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, kPlace, stage.parentWnd(), kFrameId));
    uitest::BringToFront(stage.parent());
    stage.log().Clear();
    edit.SetFocus(TRUE);
    uitest::KeyPress('1');
    uitest::KeyPress('2');
    SetFocus(stage.parent());
    themetest::Settle();
    EXPECT_EQ("12", TextOf(edit));
    const uitest::RecordingWindow& log = stage.log();
    EXPECT_EQ(1, log.CountCommand(kFrameId, EN_SETFOCUS));
    EXPECT_EQ(2, log.CountCommand(kFrameId, EN_CHANGE));
    EXPECT_EQ(2, log.CountCommand(kFrameId, EN_UPDATE));
    EXPECT_EQ(1, log.CountCommand(kFrameId, EN_KILLFOCUS));
    int fromInner = 0, fromFrame = 0;
    for (const uitest::Message& m : log.Of(WM_COMMAND)) {
        fromInner += m.id == THEMEEDIT_INNER_ID || m.from == Inner(edit);
        fromFrame += m.id == kFrameId && m.from == edit.GetSafeHwnd();
    }
    EXPECT_EQ(0, fromInner);
    EXPECT_EQ(static_cast<int>(log.Count(WM_COMMAND)), fromFrame);
    // Kill focus comes last, after the changes.
    ASSERT_FALSE(log.Of(WM_COMMAND).empty());
    EXPECT_EQ(static_cast<UINT>(EN_KILLFOCUS), log.Of(WM_COMMAND).back().code);
}

TEST(ThemeEdit, ColoursOfTheFrameAndTheInnerEdit) {
    SkinStage stage;
    CThemeEdit edit;
    const COLORREF back = RGB(30, 60, 160);
    const COLORREF text = RGB(40, 230, 60);
    const COLORREF lt = RGB(255, 0, 0);
    const COLORREF rb = RGB(0, 0, 255);
    edit.SetBackColor(back);
    edit.SetFontColor(text);
    edit.SetOutlineLTColor(lt);
    edit.SetOutlineRBColor(rb);
    edit.SetOutlineThick(2);
    edit.SetFontSize(20);
    edit.SetFontBold(TRUE);
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, kPlace, stage.parentWnd(), kFrameId));
    edit.SetText("WWWWWW");
    uitest::Picture p = Shot(edit.GetSafeHwnd());
    ASSERT_FALSE(p.empty());
    EXPECT_EQ(Hex(lt), Hex(p.At(0, 14))) << "left edge";
    EXPECT_EQ(Hex(lt), Hex(p.At(1, 14))) << "second left line";
    EXPECT_EQ(Hex(lt), Hex(p.At(100, 0))) << "top edge";
    EXPECT_EQ(Hex(rb), Hex(p.At(199, 14))) << "right edge";
    EXPECT_EQ(Hex(rb), Hex(p.At(100, 27))) << "bottom edge";
    EXPECT_EQ(Hex(back), Hex(p.At(100, 2))) << "frame fill above the inner edit";
    // Inside the inner edit (2, 4)-(198, 26): back and text colours.
    const RECT inner = {2, 4, 198, 26};
    EXPECT_GT(Count(p, inner, NearColor(back, 0)), 1000) << "the edit's back";
    EXPECT_GT(Count(p, inner, NearColor(text, 40)), 20) << "the text";

    // A new back colour reaches the inner edit's paint.
    const COLORREF back2 = RGB(200, 180, 20);
    edit.SetBackColor(back2);
    RedrawWindow(edit.GetSafeHwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    p = Shot(edit.GetSafeHwnd());
    EXPECT_GT(Count(p, inner, NearColor(back2, 0)), 1000);
    EXPECT_EQ(Hex(back2), Hex(p.At(100, 2)));
}

TEST(ThemeEdit, RangeCheckWhenTheFocusLeaves) {
    struct Case {
        const char* name;
        double min, max;
        BOOL integer;
        const char* text;
        bool fails;
        std::string bounds;
        std::string after;
    };
    const Case cases[] = {
        {"integer, above the range", 1, 10, TRUE, "11", true, "[ 1 ~ 10 ] ", "1"},
        {"integer, the upper bound passes", 1, 10, TRUE, "10", false, "", "10"},
        {"integer, not a number reads as 0", 1, 10, TRUE, "abc", true, "[ 1 ~ 10 ] ", "1"},
        {"decimal, the upper bound passes", -0.5, 0.5, FALSE, "0.5", false, "", "0.5"},
        {"decimal, just above", -0.5, 0.5, FALSE, "0.51", true, "[ -0.500000 ~ 0.500000 ] ",
         "-0.500000"},
        {"decimal, below", -0.5, 0.5, FALSE, "-3", true, "[ -0.500000 ~ 0.500000 ] ", "-0.500000"},
        {"check off", 0, 0, FALSE, "99", false, "", "99"},
    };
    for (const Case& c : cases) {
        SkinStage stage;
        LibraryBoxes boxes;
        CThemeEdit edit;
        ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, kPlace, stage.parentWnd(), kFrameId));
        edit.SetRange(c.min, c.max, c.integer);
        uitest::BringToFront(stage.parent());
        edit.SetFocus(TRUE);
        edit.SetText(c.text);
        stage.log().Clear();
        SetFocus(stage.parent());
        themetest::Settle();
        EXPECT_EQ(1, stage.log().CountCommand(kFrameId, EN_KILLFOCUS)) << c.name;
        ASSERT_EQ(c.fails ? 1 : 0, boxes.catcher.count()) << c.name;
        if (c.fails) {
            EXPECT_EQ(kRangePrefix + c.bounds, boxes.catcher.boxes()[0].text) << c.name;
            EXPECT_EQ(Inner(edit), GetFocus()) << c.name << ": the focus is kept";
        } else {
            EXPECT_EQ(stage.parent(), GetFocus()) << c.name;
        }
        EXPECT_EQ(c.after, TextOf(edit)) << c.name;
    }
}

TEST(ThemeEdit, TypedValueAndTabRunTheCheck) {
    SkinStage stage;
    LibraryBoxes boxes;
    CThemeEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, kPlace, stage.parentWnd(), kFrameId));
    edit.SetRange(1, 10, TRUE);
    uitest::BringToFront(stage.parent());
    edit.SetFocus(TRUE);
    uitest::KeyPress('1');
    uitest::KeyPress('1');
    uitest::KeyPress(VK_TAB);  // the focus goes to the frame: same window
    themetest::Settle();
    ASSERT_EQ(1, boxes.catcher.count());
    EXPECT_EQ(kRangePrefix + "[ 1 ~ 10 ] ", boxes.catcher.boxes()[0].text);
    EXPECT_EQ("1", TextOf(edit));
    EXPECT_EQ(Inner(edit), GetFocus());
    // Escape clears the text and leaves; 0 is outside too.
    uitest::KeyPress(VK_ESCAPE);
    themetest::Settle();
    EXPECT_EQ(2, boxes.catcher.count());
    EXPECT_EQ("1", TextOf(edit));
}

TEST(ThemeEdit, TwoFailingBoxesDoNotCallEachOtherForever) {
    struct Case {
        const char* name;
        double min, max;
        BOOL integer;
        const char* first;
        const char* second;
    };
    const Case cases[] = {
        {"minimum above maximum", 10, 1, TRUE, "50", "60"},
        {"a reset text that would fail: integer minimum 0.5", 0.5, 10, TRUE, "0", "0"},
        {"decimal minimum with more than six places", 0.1234564, 1, FALSE, "5", "5"},
    };
    for (const Case& c : cases) {
        SkinStage stage;
        // Real boxes, answered as they appear: their windows take the focus.
        uitest::MessageBoxCatcher catcher;
        CThemeEdit a, b;
        ASSERT_TRUE(a.Create(WS_CHILD | WS_VISIBLE, kPlace, stage.parentWnd(), kFrameId));
        ASSERT_TRUE(
            b.Create(WS_CHILD | WS_VISIBLE, CRect(20, 80, 220, 108), stage.parentWnd(), kSecondId));
        a.SetRange(c.min, c.max, c.integer);
        b.SetRange(c.min, c.max, c.integer);
        a.SetText(c.first);
        b.SetText(c.second);
        uitest::BringToFront(stage.parent());
        a.SetFocus(TRUE);
        b.SetFocus(TRUE);  // a fails: one box, a reset, the focus back in a
        themetest::Settle();
        EXPECT_EQ(1, catcher.count()) << c.name;
        EXPECT_EQ(Inner(a), GetFocus()) << c.name;
        EXPECT_TRUE(skin::RangeAccepts(a.GetRange(), TextOf(a))) << c.name << ": " << TextOf(a);
        EXPECT_EQ(c.second, TextOf(b)) << c.name << ": b lost the focus inside a's check";

        b.SetFocus(TRUE);  // a passes now
        themetest::Settle();
        EXPECT_EQ(1, catcher.count()) << c.name;
        EXPECT_EQ(Inner(b), GetFocus()) << c.name;
        a.SetFocus(TRUE);  // b fails once
        themetest::Settle();
        EXPECT_EQ(2, catcher.count()) << c.name;
        EXPECT_EQ(Inner(b), GetFocus()) << c.name;
        EXPECT_TRUE(skin::RangeAccepts(b.GetRange(), TextOf(b))) << c.name << ": " << TextOf(b);
        a.SetFocus(TRUE);
        themetest::Settle();
        EXPECT_EQ(2, catcher.count()) << c.name << ": both pass now";
    }
}

TEST(ThemeEdit, NoCheckWhenTheFocusGoesToAnotherTopLevelWindow) {
    SkinStage stage;
    LibraryBoxes boxes;
    CThemeEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, kPlace, stage.parentWnd(), kFrameId));
    edit.SetRange(1, 10, TRUE);
    edit.SetText("99");
    std::unique_ptr<uitest::RecordingWindow> other(
        uitest::RecordingWindow::CreateTopmost(600, 100, 120, 80));
    uitest::BringToFront(stage.parent());
    edit.SetFocus(TRUE);
    uitest::BringToFront(other->hwnd());
    themetest::Settle();
    EXPECT_EQ(0, boxes.catcher.count());
    EXPECT_EQ("99", TextOf(edit));
    // Back in its own window, leaving the field is checked.
    uitest::BringToFront(stage.parent());
    edit.SetFocus(TRUE);
    SetFocus(stage.parent());
    themetest::Settle();
    EXPECT_EQ(1, boxes.catcher.count());
    EXPECT_EQ("1", TextOf(edit));
}

TEST(ThemeEdit, DisablingRepaintsAndDisablesTheInnerEdit) {
    SkinStage stage;
    CThemeEdit edit;
    const COLORREF text = RGB(230, 20, 20);
    edit.SetFontColor(text);
    edit.SetFontSize(20);
    edit.SetFontBold(TRUE);
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, kPlace, stage.parentWnd(), kFrameId));
    edit.SetText("WWWWWW");
    const RECT inner = {1, 3, 199, 27};
    uitest::Picture p = Shot(edit.GetSafeHwnd());
    EXPECT_GT(Count(p, inner, NearColor(text, 40)), 20) << "enabled text";

    // Spoil the frame's pixels without telling it; the enable change must
    // paint them again.
    HDC dc = GetDC(edit.GetSafeHwnd());
    RECT all = {0, 0, 200, 28};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(edit.GetSafeHwnd(), dc);
    edit.EnableWindow(FALSE);
    p = Shot(edit.GetSafeHwnd());
    EXPECT_FALSE(IsWindowEnabled(Inner(edit)));
    EXPECT_EQ(Hex(0xA47B4E), Hex(p.At(0, 14))) << "outline painted again";
    EXPECT_EQ(Hex(0xFFFFFF), Hex(p.At(100, 1))) << "back painted again";
    EXPECT_EQ(0, Count(p, inner, NearColor(text, 40))) << "disabled text is not in the text colour";

    edit.EnableWindow(TRUE);
    p = Shot(edit.GetSafeHwnd());
    EXPECT_TRUE(IsWindowEnabled(Inner(edit)));
    EXPECT_GT(Count(p, inner, NearColor(text, 40)), 20);
}

TEST(ThemeEdit, InnerEditAndBrushesAreFreed) {
    ASSERT_TRUE(uitest::InstallGdiCounter());
    struct Case {
        const char* name;
        bool destroyWindowFirst;
    };
    const Case cases[] = {{"window destroyed, then the object deleted", true},
                          {"object deleted with its window", false}};
    for (const Case& c : cases) {
        SkinStage stage;
        themetest::Settle();
        const long before = uitest::LiveGdiObjects();
        g_innerDestroyed = 0;
        {
            auto edit = std::make_unique<CountedEditBox>();
            ASSERT_TRUE(edit->Create(WS_CHILD | WS_VISIBLE, kPlace, stage.parentWnd(), kFrameId));
            edit->SetText("12345");
            for (int i = 0; i < 6; ++i) {
                edit->SetBackColor(RGB(10 * i, 200, 30));
                edit->SetFontSize(12 + i);
                edit->SetFontBold(i % 2);
                edit->RedrawWindow(nullptr, nullptr,
                                   RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            }
            themetest::Settle();
            if (c.destroyWindowFirst) {
                edit->DestroyWindow();
                EXPECT_EQ(1, g_innerDestroyed) << c.name << ": freed with the window";
            }
        }
        themetest::Settle();
        EXPECT_EQ(1, g_innerDestroyed) << c.name;
        EXPECT_EQ(before, uitest::LiveGdiObjects()) << c.name;
    }
}

TEST(ThemeEdit, BackBrushIsReplacedNotPiledUp) {
    ASSERT_TRUE(uitest::InstallGdiCounter());
    SkinStage stage;
    CThemeEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, kPlace, stage.parentWnd(), kFrameId));
    themetest::Settle();
    const long brushes = uitest::LiveGdiObjects(uitest::GdiKind::Brush);
    for (int i = 0; i < 10; ++i) edit.SetBackColor(RGB(i, i, i));
    EXPECT_EQ(brushes, uitest::LiveGdiObjects(uitest::GdiKind::Brush));
    const long fonts = uitest::LiveGdiObjects(uitest::GdiKind::Font);
    for (int i = 0; i < 10; ++i) edit.SetFontSize(10 + i);
    EXPECT_EQ(fonts, uitest::LiveGdiObjects(uitest::GdiKind::Font));
}

TEST(ThemeEdit, ForwardedOperations) {
    SkinStage stage;
    CThemeEdit edit;
    ASSERT_TRUE(
        edit.Create(WS_CHILD | WS_VISIBLE | ES_CENTER, kPlace, stage.parentWnd(), kFrameId));
    const HWND h = Inner(edit);
    const LONG style = static_cast<LONG>(GetWindowLongPtrA(h, GWL_STYLE));
    EXPECT_TRUE(style & ES_CENTER) << "the frame's style reaches the inner edit";
    EXPECT_TRUE(style & WS_TABSTOP);

    edit.SetText("abcdef");
    edit.SetSel(1, 3);
    DWORD s = 0, e = 0;
    SendMessageA(h, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    EXPECT_EQ(1u, s);
    EXPECT_EQ(3u, e);

    edit.ModifyEditStyle(0, ES_READONLY);
    SendMessageA(h, WM_CHAR, 'z', 0);
    EXPECT_EQ("abcdef", TextOf(edit)) << "read-only";
    edit.ModifyEditStyle(ES_READONLY, 0);
    SendMessageA(h, WM_CHAR, 'z', 0);
    EXPECT_EQ("azdef", TextOf(edit)) << "typing replaces the selection";

    uitest::BringToFront(stage.parent());
    edit.SetFocus(FALSE);
    EXPECT_NE(h, GetFocus());
    edit.SetFocus(TRUE);
    EXPECT_EQ(h, GetFocus());

    edit.SetToolTipText("Hint");
    CThemeToolTip& tip = edit.GetEdit()->GetToolTip();
    ASSERT_TRUE(tip.GetSafeHwnd());
    EXPECT_EQ("Hint", std::string(tip.GetText()));
    EXPECT_EQ(1, tip.GetToolCount());
    edit.UpdateTool("Other");
    EXPECT_EQ("Other", std::string(tip.GetText()));
    EXPECT_EQ(1, tip.GetToolCount());
    edit.DelTool();
    EXPECT_EQ(0, tip.GetToolCount());

    // Defaults of the built-in skin.
    edit.SetBackColor(1);
    edit.SetOutlineThick(5);
    edit.SetDefaultSkin();
    EXPECT_EQ(12, edit.GetFontSize());
    EXPECT_EQ(FALSE, edit.GetFontBold());
    EXPECT_EQ(0x000000u, edit.GetFontColor());
    EXPECT_EQ(0xFFFFFFu, edit.GetBackColor());
    EXPECT_EQ(0xA47B4Eu, edit.GetOutlineLTColor());
    EXPECT_EQ(0xC8C3C0u, edit.GetOutlineRBColor());
    EXPECT_EQ(1, edit.GetOutlineThick());
}
