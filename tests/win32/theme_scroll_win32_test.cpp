// The skinned scroll bar in a real window: where its parts go, the arrows'
// captions, steps and auto-repeat (and its end when the arrow loses the
// capture), dragging the thumb between the arrows, clicks on the track and
// the position blocks and moves sent to the parent.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ThemeClass/ThemeScroll.h"
#include "theme_fixture.h"

using themetest::Hex;
using themetest::Shot;
using themetest::SkinStage;

namespace {

constexpr UINT kId = 5400;

struct Block {
    int code;
    int pos;
    int pos2;
};

struct ScrollScene {
    SkinStage stage;
    CThemeScroll bar;
    std::vector<Block> blocks;
    explicit ScrollScene(int width = 240, int height = 20, DWORD extraStyle = 0) {
        uitest::MoveCursorClient(stage.parent(), 390, 290);
        stage.log().answer = [this](HWND, UINT msg, WPARAM, LPARAM lp, LRESULT*) {
            if (msg == WM_NOTIFY) {
                const SkinPosNotify* n = reinterpret_cast<const SkinPosNotify*>(lp);
                if (n->hdr.idFrom == kId)
                    blocks.push_back({static_cast<int>(n->hdr.code), n->pos, n->pos2});
            }
            return false;
        };
        const RECT r = {20, 40, 20 + width, 40 + height};
        bar.Create(WS_CHILD | WS_VISIBLE | extraStyle, r, stage.parentWnd(), kId);
        themetest::Settle();
        stage.log().Clear();
        blocks.clear();
    }
    ~ScrollScene() {
        uitest::MouseUp();
        if (bar.GetSafeHwnd()) bar.DestroyWindow();
        stage.log().answer = nullptr;
    }
    CRect Place(CWnd* w) const {
        CRect rc;
        w->GetWindowRect(&rc);
        bar.ScreenToClient(&rc);
        return rc;
    }
    CRect Thumb() const { return Place(bar.GetThumb()); }
    HWND Hwnd() const { return bar.GetSafeHwnd(); }
    HWND Prev() const { return bar.GetPrevButton()->GetSafeHwnd(); }
    HWND Next() const { return bar.GetNextButton()->GetSafeHwnd(); }
    // Whether any of the arrows' timers still runs (killing it on the way).
    bool AnyRepeatTimer() {
        bool any = false;
        for (UINT id = 1128; id <= 1131; ++id) any = ::KillTimer(Hwnd(), id) != FALSE || any;
        return any;
    }
};

}  // namespace

TEST(ThemeScroll, PartsAlongTheBar) {
    ScrollScene s;
    EXPECT_EQ(CRect(0, 0, 20, 20), s.Place(s.bar.GetPrevButton()));
    EXPECT_EQ(CRect(220, 0, 240, 20), s.Place(s.bar.GetNextButton()));
    struct Case {
        const char* name;
        int pos;
        int wantLeft;
    };
    const Case cases[] = {
        {"middle: centre at 120", 50, 110},
        {"start, next to the previous arrow", 0, 20},
        {"end, next to the next arrow", 100, 200},
        {"above the range is drawn at the end", 180, 200},
        {"below the range is drawn at the start", -40, 20},
    };
    for (const Case& c : cases) {
        s.bar.SetPos(c.pos);
        EXPECT_EQ(c.wantLeft, s.Thumb().left) << c.name;
        EXPECT_EQ(20, s.Thumb().Width()) << c.name;
        EXPECT_EQ(c.pos, s.bar.GetPos()) << c.name << ": stored as given";
    }
    s.bar.SetPos(50);
    const uitest::Picture p = Shot(s.Hwnd());
    EXPECT_EQ(Hex(0xFBD3C1), Hex(p.At(120, 10))) << "thumb";
    EXPECT_EQ(Hex(0xFFFFFF), Hex(p.At(60, 10))) << "track";
    EXPECT_EQ(Hex(0xC8C8C8), Hex(p.At(60, 0))) << "outline";
    EXPECT_EQ(Hex(0xFBD3C1), Hex(p.At(2, 2))) << "previous arrow";
    EXPECT_EQ(Hex(0xFBD3C1), Hex(p.At(237, 17))) << "next arrow";
}

TEST(ThemeScroll, ArrowCaptions) {
    {
        ScrollScene s;
        EXPECT_EQ(std::string("\xA2\xB7"), std::string(s.bar.GetPrevButton()->GetText()));
        EXPECT_EQ(std::string("\xA2\xB9"), std::string(s.bar.GetNextButton()->GetText()));
        const uitest::Picture p = Shot(s.Prev());
        // The thin strokes are smoothed into the face: count what is clearly
        // darker than it inside the outline.
        const int ink = themetest::Count(p, RECT{2, 2, 18, 18}, [](COLORREF c) {
            return GetRValue(c) + 40 < GetRValue(0xFBD3C1) &&
                   GetBValue(c) + 40 < GetBValue(0xFBD3C1);
        });
        EXPECT_GT(ink, 8) << "the triangle is drawn";
    }
    {
        ScrollScene s(20, 240, SBS_VERT);
        EXPECT_TRUE(s.bar.IsVertical());
        EXPECT_EQ(std::string("\xA1\xE2"), std::string(s.bar.GetPrevButton()->GetText()));
        EXPECT_EQ(std::string("\xA1\xE4"), std::string(s.bar.GetNextButton()->GetText()));
        EXPECT_EQ(CRect(0, 0, 20, 20), s.Place(s.bar.GetPrevButton())) << "above";
        EXPECT_EQ(CRect(0, 220, 20, 240), s.Place(s.bar.GetNextButton())) << "below";
        s.bar.SetPos(50);
        EXPECT_EQ(110, s.Thumb().top);
    }
    {
        // A live bar turned upright relabels and relays its arrows.
        ScrollScene s(30, 200);
        s.bar.SetVertical(TRUE);
        EXPECT_EQ(std::string("\xA1\xE2"), std::string(s.bar.GetPrevButton()->GetText()));
        EXPECT_EQ(CRect(0, 180, 30, 200), s.Place(s.bar.GetNextButton()));
    }
}

TEST(ThemeScroll, ArrowClicksStepAndStopAtTheEnds) {
    struct Case {
        const char* name;
        bool prev;
        int start;
        int line;
        int want;
        bool notified;
    };
    const Case cases[] = {
        {"previous steps down", true, 50, 1, 49, true},
        {"next steps up", false, 50, 1, 51, true},
        {"line unit 7", false, 50, 7, 57, true},
        {"floored at the minimum", true, 3, 7, 0, true},
        {"capped at the maximum", false, 98, 7, 100, true},
        {"at the minimum nothing happens", true, 0, 1, 0, false},
        {"at the maximum nothing happens", false, 100, 1, 100, false},
    };
    for (const Case& c : cases) {
        ScrollScene s;
        s.bar.SetLineUnit(c.line);
        s.bar.SetPos(c.start);
        uitest::ClickClient(c.prev ? s.Prev() : s.Next(), 10, 10);
        themetest::Settle();
        EXPECT_EQ(c.want, s.bar.GetPos()) << c.name;
        if (c.notified) {
            ASSERT_EQ(1u, s.blocks.size()) << c.name;
            EXPECT_EQ(kSkinPosChanging, s.blocks[0].code) << c.name;
            EXPECT_EQ(c.want, s.blocks[0].pos) << c.name;
            EXPECT_EQ(c.want, s.blocks[0].pos2) << c.name;
        } else {
            EXPECT_EQ(0u, s.blocks.size()) << c.name;
        }
        EXPECT_FALSE(s.AnyRepeatTimer()) << c.name << ": the release ends the repeat";
    }
}

TEST(ThemeScroll, LineUnitBelowOneIsIgnored) {
    ScrollScene s;
    s.bar.SetLineUnit(5);
    s.bar.SetLineUnit(0);
    EXPECT_EQ(5, s.bar.GetLineUnit());
    s.bar.SetLineUnit(-3);
    EXPECT_EQ(5, s.bar.GetLineUnit());
    s.bar.SetPos(10);
    uitest::ClickClient(s.Next(), 10, 10);
    themetest::Settle();
    EXPECT_EQ(15, s.bar.GetPos());
}

TEST(ThemeScroll, HeldArrowRepeatsUntilReleased) {
    ScrollScene s;
    s.bar.SetPos(60);
    uitest::MoveCursorClient(s.Prev(), 10, 10);
    uitest::MouseDown();
    // One step at once, then the repeat.
    EXPECT_TRUE(uitest::PumpUntil([&] { return s.bar.GetPos() <= 55; }, 5000))
        << "still at " << s.bar.GetPos();
    uitest::MouseUp();
    themetest::Settle();
    const int released = s.bar.GetPos();
    uitest::PumpFor(700);
    EXPECT_EQ(released, s.bar.GetPos()) << "no step after the release";
    EXPECT_FALSE(s.AnyRepeatTimer());
    ASSERT_GE(s.blocks.size(), 5u);
    for (size_t i = 0; i < s.blocks.size(); ++i) {
        EXPECT_EQ(kSkinPosChanging, s.blocks[i].code);
        EXPECT_EQ(59 - static_cast<int>(i), s.blocks[i].pos) << "one line per block";
    }
}

TEST(ThemeScroll, RepeatEndsWhenTheArrowLosesTheCapture) {
    struct Case {
        const char* name;
        std::function<void(ScrollScene&)> lose;
    };
    const std::vector<Case> cases = {
        {"cancel mode", [](ScrollScene& s) { ::SendMessageA(s.Prev(), WM_CANCELMODE, 0, 0); }},
        {"capture released", [](ScrollScene&) { ::ReleaseCapture(); }},
        {"another window takes it", [](ScrollScene& s) { ::SetCapture(s.stage.parent()); }},
    };
    for (const Case& c : cases) {
        ScrollScene s;
        s.bar.SetPos(60);
        uitest::MoveCursorClient(s.Prev(), 10, 10);
        uitest::MouseDown();
        ASSERT_TRUE(uitest::PumpUntil([&] { return s.bar.GetPos() == 59; }, 2000)) << c.name;
        ASSERT_EQ(s.Prev(), ::GetCapture()) << c.name << ": the held arrow has the capture";
        c.lose(s);
        ASSERT_NE(s.Prev(), ::GetCapture()) << c.name;
        // Long enough for the first delay and several repeats to pass.
        uitest::PumpFor(900);
        EXPECT_EQ(59, s.bar.GetPos()) << c.name << ": the repeat went on";
        EXPECT_FALSE(s.AnyRepeatTimer()) << c.name;
        ::ReleaseCapture();
        uitest::MouseUp();
        themetest::Settle();
    }
}

TEST(ThemeScroll, DragStaysBetweenTheArrows) {
    struct Case {
        const char* name;
        int toX;
        int wantPos;
        int wantLeft;
    };
    const Case cases[] = {
        {"over the previous arrow", -60, 0, 20},
        {"over the next arrow", 400, 100, 200},
        {"to the middle", 80, 27, 70},
    };
    for (const Case& c : cases) {
        ScrollScene s;
        s.bar.SetPos(50);
        uitest::DragClient(s.Hwnd(), POINT{120, 10}, POINT{c.toX, 10}, 8);
        themetest::Settle();
        EXPECT_EQ(c.wantPos, s.bar.GetPos()) << c.name;
        EXPECT_EQ(c.wantLeft, s.Thumb().left) << c.name;
        EXPECT_FALSE(s.bar.IsDragging()) << c.name;
        ASSERT_GE(s.blocks.size(), 2u) << c.name;
        EXPECT_EQ(kSkinPosReleased, s.blocks.back().code) << c.name;
        EXPECT_EQ(c.wantPos, s.blocks.back().pos) << c.name;
        int released = 0;
        for (const Block& b : s.blocks) released += b.code == kSkinPosReleased;
        EXPECT_EQ(1, released) << c.name << ": one release block";
    }
}

TEST(ThemeScroll, DragWhoseCaptureWasTakenEnds) {
    struct Case {
        const char* name;
        std::function<void(ScrollScene&)> lose;
    };
    const std::vector<Case> cases = {
        {"cancel mode",
         [](ScrollScene& s) {
             ::SendMessageA(s.bar.GetThumb()->GetSafeHwnd(), WM_CANCELMODE, 0, 0);
         }},
        {"capture released", [](ScrollScene&) { ::ReleaseCapture(); }},
        {"another window takes it", [](ScrollScene& s) { ::SetCapture(s.stage.parent()); }},
    };
    for (const Case& c : cases) {
        ScrollScene s;
        s.bar.SetPos(50);
        uitest::MoveCursorClient(s.Hwnd(), 120, 10);
        uitest::MouseDown();
        uitest::MoveCursorClient(s.Hwnd(), 125, 10);
        themetest::Settle();
        ASSERT_TRUE(s.bar.IsDragging()) << c.name;
        c.lose(s);
        ASSERT_NE(s.bar.GetThumb()->GetSafeHwnd(), ::GetCapture()) << c.name;
        // Released away from the thumb: no button-up reaches it.
        uitest::MoveCursorClient(s.stage.parent(), 390, 290);
        uitest::MouseUp();
        ::ReleaseCapture();
        themetest::Settle();
        // The pointer now merely passes over the thumb.
        const int pos = s.bar.GetPos();
        const int left = s.Thumb().left;
        uitest::MoveCursorClient(s.Hwnd(), left + 15, 10);
        uitest::MoveCursorClient(s.Hwnd(), left + 18, 10);
        themetest::Settle();
        EXPECT_FALSE(s.bar.IsDragging()) << c.name;
        EXPECT_EQ(pos, s.bar.GetPos()) << c.name << ": the thumb followed a pointer with no button";
        EXPECT_EQ(left, s.Thumb().left) << c.name;
    }
}

TEST(ThemeScroll, TrackClicksJumpOrStepAndReport) {
    struct Case {
        const char* name;
        int page;
        int start;
        int x;
        int want;
    };
    const Case cases[] = {
        {"jump near the previous arrow", 0, 50, 30, 0},
        {"jump near the next arrow", 0, 0, 210, 100},
        {"page right from 95 stops at 100", 10, 95, 215, 100},
        {"page left from 5 stops at 0", 10, 5, 25, 0},
        {"page right in the middle", 10, 20, 180, 30},
    };
    for (const Case& c : cases) {
        ScrollScene s;
        s.bar.SetPageUnit(c.page);
        s.bar.SetPos(c.start);
        uitest::ClickClient(s.Hwnd(), c.x, 10);
        themetest::Settle();
        EXPECT_EQ(c.want, s.bar.GetPos()) << c.name;
        ASSERT_EQ(2u, s.blocks.size()) << c.name;
        EXPECT_EQ(kSkinPosChanging, s.blocks[0].code) << c.name;
        EXPECT_EQ(c.want, s.blocks[0].pos) << c.name;
        EXPECT_EQ(kSkinPosReleased, s.blocks[1].code) << c.name;
        EXPECT_EQ(c.want, s.blocks[1].pos) << c.name;
    }
}

TEST(ThemeScroll, MovesOverTheTrackArePosted) {
    ScrollScene s;
    s.bar.SetPos(90);
    uitest::MoveCursorClient(s.Hwnd(), 40, 5);
    uitest::MoveCursorClient(s.Hwnd(), 70, 6);
    themetest::Settle();
    EXPECT_GE(s.stage.log().Count(WM_SKIN_SCROLLMOUSEMOVE), 2);
    const uitest::Message* m = s.stage.log().Last(WM_SKIN_SCROLLMOUSEMOVE);
    ASSERT_NE(nullptr, m);
    EXPECT_EQ(WPARAM(kId), m->wParam);
    EXPECT_EQ(70, static_cast<short>(LOWORD(m->lParam)));
    EXPECT_EQ(6, static_cast<short>(HIWORD(m->lParam)));
}

TEST(ThemeScroll, DisabledBarDoesNotStep) {
    ScrollScene s;
    s.bar.SetPos(50);
    s.bar.EnableWindow(FALSE);
    EXPECT_FALSE(s.bar.GetPrevButton()->IsWindowEnabled());
    uitest::ClickClient(s.Prev(), 10, 10);
    uitest::ClickClient(s.Next(), 10, 10);
    uitest::DragClient(s.Hwnd(), POINT{120, 10}, POINT{200, 10}, 4);
    themetest::Settle();
    EXPECT_EQ(50, s.bar.GetPos());
    EXPECT_TRUE(s.blocks.empty());
    s.bar.EnableWindow(TRUE);
    uitest::ClickClient(s.Next(), 10, 10);
    themetest::Settle();
    EXPECT_EQ(51, s.bar.GetPos());
}

TEST(ThemeScroll, PartImagesSetTheirSizes) {
    ScrollScene s(240, 30);
    const std::string arrow =
        themetest::WriteBmp("scroll_prev.bmp", 48, 16, [](int, int) { return RGB(30, 90, 200); });
    ASSERT_TRUE(s.bar.SetPrevImage(arrow.c_str()));
    EXPECT_EQ(std::string(""), std::string(s.bar.GetPrevButton()->GetText()));
    EXPECT_EQ(CRect(0, 7, 12, 23), s.Place(s.bar.GetPrevButton())) << "48 px in 4 frames";
    s.bar.SetPrevImageBlockCount(2);
    EXPECT_EQ(24, s.Place(s.bar.GetPrevButton()).Width());
    s.bar.SetPrevImageBlockCount(0);
    EXPECT_EQ(24, s.Place(s.bar.GetPrevButton()).Width()) << "a count of 0 is ignored";
    // The thumb's track now starts after the wider arrow.
    s.bar.SetPos(0);
    EXPECT_EQ(24, s.Thumb().left);
    EXPECT_FALSE(s.bar.SetNextImage("C:\\no\\such\\arrow.bmp"));
    EXPECT_EQ(std::string("\xA2\xB9"), std::string(s.bar.GetNextButton()->GetText()));
}

TEST(ThemeScroll, DoubleClickOnAnArrowStepsTwiceAndHeldRepeats) {
    ScrollScene s;
    s.bar.SetPos(50);
    uitest::DoubleClickClient(s.Next(), 10, 10);
    themetest::Settle();
    EXPECT_EQ(52, s.bar.GetPos()) << "the second press of a double click steps too";
    EXPECT_FALSE(s.AnyRepeatTimer());
    EXPECT_EQ(nullptr, ::GetCapture()) << "no capture is left behind";

    // Held after the double click's second press, the arrow repeats.
    uitest::MoveCursorClient(s.Prev(), 10, 10);
    uitest::MouseDown();
    uitest::MouseUp();
    uitest::MouseDown();
    EXPECT_TRUE(uitest::PumpUntil([&] { return s.bar.GetPos() <= 48; }, 5000))
        << "still at " << s.bar.GetPos();
    uitest::MouseUp();
    themetest::Settle();
    const int released = s.bar.GetPos();
    uitest::PumpFor(700);
    EXPECT_EQ(released, s.bar.GetPos());
    EXPECT_EQ(nullptr, ::GetCapture());
}

TEST(ThemeScroll, PrevButtonDownAndAutoToolTip) {
    ScrollScene s;
    s.bar.SetPos(10);
    EXPECT_FALSE(s.bar.OnPrevButtonDown(s.Next()));
    EXPECT_EQ(10, s.bar.GetPos());
    EXPECT_TRUE(s.bar.OnPrevButtonDown(s.Prev()));
    EXPECT_EQ(9, s.bar.GetPos());
    EXPECT_TRUE(s.AnyRepeatTimer()) << "the repeat's first delay runs";

    s.bar.SetAutoToolTip(TRUE);
    ASSERT_NE(nullptr, s.bar.GetToolTip().GetSafeHwnd());
    uitest::MoveCursorClient(s.Hwnd(), 120, 5);
    uitest::MoveCursorClient(s.Hwnd(), 121, 5);
    themetest::Settle();
    EXPECT_EQ(std::string("50"), std::string(s.bar.GetToolTip().GetText()))
        << "the position under the pointer";
}
