// The tool tip every skinned control carries: one tool per control, the
// multi-line layout, the relay of mouse messages, and the tool's removal
// with the control.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeGroup.h"
#include "ThemeClass/ThemeProgress.h"
#include "ThemeClass/ThemeStatic.h"
#include "theme_fixture.h"

using themetest::SkinStage;

namespace {

constexpr UINT kId = 777;
const RECT kPlace = {10, 10, 130, 40};

// One kind of control behind a common face.
struct Control {
    std::unique_ptr<CWnd> wnd;
    std::function<void(LPCTSTR)> setTip;
    std::function<CThemeToolTip&()> tip;
};

using Maker = std::function<Control(CWnd*)>;

template <class T>
Control Make(CWnd* parent) {
    auto* p = new T;
    p->Create(WS_CHILD | WS_VISIBLE, kPlace, parent, kId);
    Control c;
    c.wnd.reset(p);
    c.setTip = [p](LPCTSTR t) { p->SetToolTipText(t); };
    c.tip = [p]() -> CThemeToolTip& { return p->GetToolTip(); };
    return c;
}

struct Kind {
    const char* name;
    Maker make;
};

const Kind kKinds[] = {
    {"button", Make<CThemeButton>},
    {"label", Make<CThemeStatic>},
    {"group", Make<CThemeGroup>},
    {"progress", Make<CThemeProgress>},
};

CString ToolText(CThemeToolTip& tip, CWnd* owner) {
    CString text;
    static_cast<CToolTipCtrl&>(tip).GetText(text, owner,
                                            reinterpret_cast<UINT_PTR>(owner->GetSafeHwnd()));
    return text;
}

CRect ToolRect(CThemeToolTip& tip, CWnd* owner) {
    TTTOOLINFOA ti = {};
    ti.cbSize = sizeof ti;
    ti.hwnd = owner->GetSafeHwnd();
    ti.uId = reinterpret_cast<UINT_PTR>(owner->GetSafeHwnd());
    tip.SendMessage(TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti));
    return CRect(ti.rect);
}

// Counts the relays a tip window receives, by message.
struct RelaySpy {
    static std::vector<UINT>& Seen() {
        static std::vector<UINT> seen;
        return seen;
    }
    static WNDPROC& Old() {
        static WNDPROC old = nullptr;
        return old;
    }
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == TTM_RELAYEVENT && l) Seen().push_back(reinterpret_cast<MSG*>(l)->message);
        return CallWindowProcA(Old(), h, m, w, l);
    }
    explicit RelaySpy(HWND tip) : tip_(tip) {
        Seen().clear();
        Old() = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(tip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    ~RelaySpy() {
        if (IsWindow(tip_))
            SetWindowLongPtrA(tip_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Old()));
    }
    HWND tip_;
};

}  // namespace

TEST(ThemeToolTip, SecondTextLeavesOneTool) {
    SkinStage stage;
    for (const Kind& k : kKinds) {
        Control c = k.make(stage.parentWnd());
        EXPECT_EQ(nullptr, c.tip().GetSafeHwnd()) << k.name << ": no tip before a text";
        c.setTip("first");
        ASSERT_NE(nullptr, c.tip().GetSafeHwnd()) << k.name;
        c.setTip("second");
        EXPECT_EQ(1, c.tip().GetToolCount()) << k.name;
        EXPECT_STREQ("second", ToolText(c.tip(), c.wnd.get())) << k.name;
        EXPECT_STREQ("second", c.tip().GetText()) << k.name;
        c.wnd->DestroyWindow();
    }
}

TEST(ThemeToolTip, TwoLineTipIsAsWideAsItsWiderLine) {
    SkinStage stage;
    Control c = Make<CThemeStatic>(stage.parentWnd());
    c.setTip("A rather wide first line\\nshort");
    CThemeToolTip& tip = c.tip();
    EXPECT_STREQ("A rather wide first line\\nshort", tip.GetText()) << "kept as given";
    EXPECT_STREQ("A rather wide first line\nshort", ToolText(tip, c.wnd.get()));

    // The wider line measured in the tip's own font.
    HDC dc = GetDC(tip.GetSafeHwnd());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(tip.SendMessage(WM_GETFONT)));
    SIZE wide = {}, narrow = {};
    GetTextExtentPoint32A(dc, "A rather wide first line", 24, &wide);
    GetTextExtentPoint32A(dc, "short", 5, &narrow);
    SelectObject(dc, old);
    ReleaseDC(tip.GetSafeHwnd(), dc);
    EXPECT_EQ(std::max(wide.cx, narrow.cx), tip.GetMaxTipWidth());
    RECT margin = {};
    tip.GetMargin(&margin);
    EXPECT_EQ(2, margin.left);
    EXPECT_EQ(2, margin.top);
    EXPECT_EQ(2, margin.right);
    EXPECT_EQ(2, margin.bottom);
    c.wnd->DestroyWindow();
}

TEST(ThemeToolTip, MouseMessagesRelayedDoubleClicksNot) {
    struct Case {
        const char* name;
        UINT msg;
        bool relayed;
    };
    const Case cases[] = {
        {"move", WM_MOUSEMOVE, true},
        {"left down", WM_LBUTTONDOWN, true},
        {"left up", WM_LBUTTONUP, true},
        {"left double click", WM_LBUTTONDBLCLK, false},
        {"right down", WM_RBUTTONDOWN, true},
        {"right up", WM_RBUTTONUP, true},
        {"right double click", WM_RBUTTONDBLCLK, false},
        {"middle down", WM_MBUTTONDOWN, true},
        {"middle up", WM_MBUTTONUP, true},
        {"middle double click", WM_MBUTTONDBLCLK, false},
        {"wheel", WM_MOUSEWHEEL, false},
    };
    SkinStage stage;
    for (const Kind& k : kKinds) {
        Control c = k.make(stage.parentWnd());
        // Before the tip exists nothing is relayed and nothing fails.
        c.wnd->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        c.setTip("tip");
        RelaySpy spy(c.tip().GetSafeHwnd());
        for (const Case& m : cases) {
            RelaySpy::Seen().clear();
            c.wnd->SendMessage(m.msg, 0, MAKELPARAM(5, 5));
            if (m.msg == WM_LBUTTONDOWN || m.msg == WM_LBUTTONDBLCLK) {
                c.wnd->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            }
            const auto& seen = RelaySpy::Seen();
            EXPECT_EQ(m.relayed, std::count(seen.begin(), seen.end(), m.msg) == 1)
                << k.name << ": " << m.name;
        }
        c.wnd->DestroyWindow();
    }
}

TEST(ThemeToolTip, DestroyingTheControlLeavesNoTool) {
    SkinStage stage;
    for (const Kind& k : kKinds) {
        Control c = k.make(stage.parentWnd());
        c.setTip("bye");
        ASSERT_EQ(1, c.tip().GetToolCount()) << k.name;
        c.wnd->DestroyWindow();
        EXPECT_TRUE(!c.tip().GetSafeHwnd() || c.tip().GetToolCount() == 0) << k.name;
    }
}

TEST(ThemeToolTip, ResizeMovesTheToolOnlyAboveSevenPixels) {
    SkinStage stage;
    Control c = Make<CThemeStatic>(stage.parentWnd());
    c.setTip("sized");
    EXPECT_EQ(CRect(0, 0, 120, 30), ToolRect(c.tip(), c.wnd.get()));
    struct Case {
        const char* name;
        int w, h;
        CRect want;
    };
    const Case cases[] = {
        {"7 wide: unchanged", 7, 30, CRect(0, 0, 120, 30)},
        {"7 high: unchanged", 60, 7, CRect(0, 0, 120, 30)},
        {"8 by 8: follows", 8, 8, CRect(0, 0, 8, 8)},
        {"60 by 20: follows", 60, 20, CRect(0, 0, 60, 20)},
    };
    for (const Case& k : cases) {
        c.wnd->MoveWindow(10, 10, k.w, k.h);
        EXPECT_EQ(k.want, ToolRect(c.tip(), c.wnd.get())) << k.name;
        EXPECT_STREQ("sized", ToolText(c.tip(), c.wnd.get())) << k.name;
    }
    c.wnd->DestroyWindow();
}

TEST(ThemeToolTip, ShownTipFitsItsWiderLine) {
    // The same wide line alone and over a shorter second line: the tip
    // window keeps the width and grows in height.
    struct Shown {
        int width = 0;
        int height = 0;
    };
    auto show = [](const char* text) {
        SkinStage stage;
        Control c = Make<CThemeStatic>(stage.parentWnd());
        c.setTip(text);
        CThemeToolTip& tip = c.tip();
        tip.SetDelayTime(TTDT_INITIAL, 1);
        uitest::MoveCursorClient(c.wnd->GetSafeHwnd(), 20, 10);
        uitest::MoveCursorClient(c.wnd->GetSafeHwnd(), 22, 12);
        uitest::PumpUntil([&] { return tip.IsWindowVisible() != FALSE; }, 3000);
        Shown s;
        if (tip.IsWindowVisible()) {
            CRect rc;
            tip.GetWindowRect(&rc);
            s.width = rc.Width();
            s.height = rc.Height();
        }
        uitest::MoveCursorClient(stage.parent(), 300, 250);
        c.wnd->DestroyWindow();
        return s;
    };
    const Shown one = show("A rather wide first line");
    const Shown two = show("A rather wide first line\\nshort");
    ASSERT_GT(one.width, 0) << "the tip never showed";
    ASSERT_GT(two.width, 0) << "the tip never showed";
    EXPECT_EQ(one.width, two.width);
    EXPECT_GT(two.height, one.height);
}
