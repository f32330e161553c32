// The skinned slider in a real window: thumb placement, clicks on the track,
// dragging the thumb (and its end when the thumb loses the capture), a
// disabled slider, and the position blocks and moves sent to the parent.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "ThemeClass/ThemeSlider.h"
#include "theme_fixture.h"

using themetest::Hex;
using themetest::Shot;
using themetest::SkinStage;

namespace {

constexpr UINT kId = 5200;

struct Block {
    int code;
    int pos;
    int pos2;
};

struct SliderScene {
    SkinStage stage;
    CThemeSlider slider;
    std::vector<Block> blocks;
    explicit SliderScene(int width = 220, int height = 30) {
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
        slider.Create(WS_CHILD | WS_VISIBLE, r, stage.parentWnd(), kId);
        themetest::Settle();
        stage.log().Clear();
        blocks.clear();
    }
    ~SliderScene() {
        if (slider.GetSafeHwnd()) slider.DestroyWindow();
        stage.log().answer = nullptr;
    }
    CRect Thumb() const {
        CRect rc;
        slider.GetThumb()->GetWindowRect(&rc);
        slider.ScreenToClient(&rc);
        return rc;
    }
    HWND Hwnd() const { return slider.GetSafeHwnd(); }
};

}  // namespace

TEST(ThemeSlider, ThumbFollowsThePosition) {
    SliderScene s;
    struct Case {
        const char* name;
        int pos;
        int wantLeft;
    };
    const Case cases[] = {
        {"middle: centre at 110", 50, 100},
        {"start", 0, 0},
        {"end", 100, 200},
        {"above the range is drawn at the end", 150, 200},
        {"below the range is drawn at the start", -20, 0},
    };
    for (const Case& c : cases) {
        s.slider.SetPos(c.pos);
        EXPECT_EQ(c.wantLeft, s.Thumb().left) << c.name;
        EXPECT_EQ(20, s.Thumb().Width()) << c.name;
        EXPECT_EQ(30, s.Thumb().Height()) << c.name;
        EXPECT_EQ(c.pos, s.slider.GetPos()) << c.name << ": stored as given";
    }
    // The thumb's colour shows where it is.
    s.slider.SetPos(50);
    const uitest::Picture p = Shot(s.Hwnd());
    EXPECT_EQ(Hex(0xFBD3C1), Hex(p.At(110, 15)));
    EXPECT_EQ(Hex(0xFFFFFF), Hex(p.At(50, 15)));
    EXPECT_EQ(Hex(0xC8C8C8), Hex(p.At(50, 0)));
}

TEST(ThemeSlider, TrackClicksJumpOrStepAndReport) {
    struct Case {
        const char* name;
        int page;
        int start;
        int x;
        int want;
    };
    const Case cases[] = {
        {"jump to x = 10", 0, 50, 10, 0},
        {"jump to x = 210", 0, 0, 210, 100},
        {"page right from 95 stops at 100", 10, 95, 215, 100},
        {"page left from 5 stops at 0", 10, 5, 2, 0},
        {"page right in the middle", 10, 20, 180, 30},
    };
    for (const Case& c : cases) {
        SliderScene s;
        s.slider.SetPageUnit(c.page);
        s.slider.SetPos(c.start);
        uitest::ClickClient(s.Hwnd(), c.x, 15);
        themetest::Settle();
        EXPECT_EQ(c.want, s.slider.GetPos()) << c.name;
        ASSERT_EQ(2u, s.blocks.size()) << c.name;
        EXPECT_EQ(kSkinPosChanging, s.blocks[0].code) << c.name;
        EXPECT_EQ(c.want, s.blocks[0].pos) << c.name;
        EXPECT_EQ(c.want, s.blocks[0].pos2) << c.name;
        EXPECT_EQ(kSkinPosReleased, s.blocks[1].code) << c.name;
        EXPECT_EQ(c.want, s.blocks[1].pos) << c.name;
    }
}

TEST(ThemeSlider, DragIsClampedAndMovesArePosted) {
    SliderScene s;
    s.slider.SetPos(50);
    uitest::DragClient(s.Hwnd(), POINT{110, 15}, POINT{330, 15}, 8);
    themetest::Settle();
    EXPECT_EQ(100, s.slider.GetPos());
    EXPECT_EQ(200, s.Thumb().left) << "the thumb stays on the track";
    ASSERT_GE(s.blocks.size(), 2u);
    EXPECT_EQ(kSkinPosReleased, s.blocks.back().code);
    EXPECT_EQ(100, s.blocks.back().pos);
    int released = 0;
    for (const Block& b : s.blocks) released += b.code == kSkinPosReleased;
    EXPECT_EQ(1, released) << "one release block";

    // Moves over the track are posted whether or not anything is dragged.
    s.stage.log().Clear();
    uitest::MoveCursorClient(s.Hwnd(), 40, 5);
    uitest::MoveCursorClient(s.Hwnd(), 60, 5);
    themetest::Settle();
    const int moves = s.stage.log().Count(WM_SKIN_SLIDERMOUSEMOVE);
    EXPECT_GE(moves, 2);
    const uitest::Message* m = s.stage.log().Last(WM_SKIN_SLIDERMOUSEMOVE);
    ASSERT_NE(nullptr, m);
    EXPECT_EQ(WPARAM(kId), m->wParam);
    EXPECT_EQ(60, static_cast<short>(LOWORD(m->lParam)));
}

TEST(ThemeSlider, DegenerateSizesDoNotFault) {
    // A thumb as wide as the bar: any click stays at the minimum.
    {
        SliderScene s(20, 30);
        s.slider.SetRange(10, 20);
        s.slider.SetPos(15);
        uitest::ClickClient(s.Hwnd(), 10, 15);
        themetest::Settle();
        EXPECT_EQ(10, s.slider.GetPos());
    }
    // An empty range, and a block count of 0 that would divide by zero.
    {
        SliderScene s;
        s.slider.SetRange(5, 5);
        s.slider.SetBarImageBlockCount(0);
        uitest::ClickClient(s.Hwnd(), 150, 15);
        themetest::Settle();
        EXPECT_EQ(5, s.slider.GetPos());
    }
}

TEST(ThemeSlider, BarImageSetsTheThumbSizeUntilAColourResize) {
    SliderScene s;
    const std::string path =
        themetest::WriteBmp("slider_bar.bmp", 64, 24, [](int, int) { return RGB(10, 200, 30); });
    ASSERT_TRUE(s.slider.SetBarImage(path.c_str()));
    EXPECT_EQ(16, s.Thumb().Width()) << "64 px in 4 frames";
    EXPECT_EQ(24, s.Thumb().Height());
    s.slider.SetBarImageBlockCount(2);
    EXPECT_EQ(32, s.Thumb().Width());
    s.slider.MoveWindow(20, 40, 240, 30, TRUE);
    EXPECT_EQ(20, s.Thumb().Width()) << "a colour back resets the thumb";
}

TEST(ThemeSlider, DragWhoseCaptureWasTakenEnds) {
    struct Case {
        const char* name;
        std::function<void(SliderScene&)> lose;
    };
    const std::vector<Case> cases = {
        {"cancel mode to the thumb",
         [](SliderScene& s) {
             ::SendMessageA(s.slider.GetThumb()->GetSafeHwnd(), WM_CANCELMODE, 0, 0);
         }},
        {"cancel mode to the slider",
         [](SliderScene& s) { ::SendMessageA(s.Hwnd(), WM_CANCELMODE, 0, 0); }},
        {"capture released", [](SliderScene&) { ::ReleaseCapture(); }},
        {"another window takes it", [](SliderScene& s) { ::SetCapture(s.stage.parent()); }},
    };
    for (const Case& c : cases) {
        SliderScene s;
        s.slider.SetPos(50);
        uitest::MoveCursorClient(s.Hwnd(), 110, 15);
        uitest::MouseDown();
        uitest::MoveCursorClient(s.Hwnd(), 115, 15);
        themetest::Settle();
        ASSERT_TRUE(s.slider.IsDragging()) << c.name;
        ASSERT_EQ(s.slider.GetThumb()->GetSafeHwnd(), ::GetCapture()) << c.name;
        c.lose(s);
        ASSERT_NE(s.slider.GetThumb()->GetSafeHwnd(), ::GetCapture()) << c.name;
        // Released away from the thumb: no button-up reaches it.
        uitest::MoveCursorClient(s.stage.parent(), 390, 290);
        uitest::MouseUp();
        ::ReleaseCapture();
        themetest::Settle();
        // The pointer now merely passes over the thumb, well off its centre.
        const int pos = s.slider.GetPos();
        const int left = s.Thumb().left;
        uitest::MoveCursorClient(s.Hwnd(), left + 3, 15);
        uitest::MoveCursorClient(s.Hwnd(), left + 17, 15);
        themetest::Settle();
        EXPECT_FALSE(s.slider.IsDragging()) << c.name;
        EXPECT_EQ(pos, s.slider.GetPos())
            << c.name << ": the thumb followed a pointer with no button";
        EXPECT_EQ(left, s.Thumb().left) << c.name;
        // A new press on the thumb drags again.
        s.blocks.clear();
        uitest::DragClient(s.Hwnd(), POINT{left + 10, 15}, POINT{330, 15}, 8);
        themetest::Settle();
        EXPECT_EQ(100, s.slider.GetPos()) << c.name;
        ASSERT_FALSE(s.blocks.empty()) << c.name;
        EXPECT_EQ(kSkinPosReleased, s.blocks.back().code) << c.name;
    }
}

TEST(ThemeSlider, DisabledSliderDoesNotMove) {
    SliderScene s;
    s.slider.SetPos(50);
    s.slider.EnableWindow(FALSE);
    EXPECT_FALSE(s.slider.GetThumb()->IsWindowEnabled()) << "the thumb is disabled with it";
    uitest::DragClient(s.Hwnd(), POINT{110, 15}, POINT{200, 15}, 4);
    uitest::ClickClient(s.Hwnd(), 10, 15);
    themetest::Settle();
    EXPECT_EQ(50, s.slider.GetPos());
    EXPECT_EQ(100, s.Thumb().left);
    EXPECT_TRUE(s.blocks.empty());
    s.slider.EnableWindow(TRUE);
    uitest::DragClient(s.Hwnd(), POINT{110, 15}, POINT{200, 15}, 4);
    themetest::Settle();
    EXPECT_EQ(95, s.slider.GetPos()) << "x = 200: (200 - 10) / 200 of the range";
}

TEST(ThemeSlider, TurnedUprightWhileLive) {
    SliderScene s(30, 220);
    s.slider.SetVertical(TRUE);
    EXPECT_TRUE(s.slider.IsVertical());
    EXPECT_EQ(30, s.Thumb().Width()) << "as wide as the bar";
    EXPECT_EQ(20, s.Thumb().Height());
    s.slider.SetPos(50);
    EXPECT_EQ(100, s.Thumb().top);
    uitest::ClickClient(s.Hwnd(), 15, 210);
    themetest::Settle();
    EXPECT_EQ(100, s.slider.GetPos()) << "y carries the position";
}
