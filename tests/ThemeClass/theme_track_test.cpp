#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "ThemeClass/ThemeRadioGroup.h"
#include "ThemeClass/ThemeTrack.h"

using skin::TrackAxis;

namespace {

TrackAxis Slider(int extent, int thumb, int lo, int hi) {
    TrackAxis a;
    a.extent = extent;
    a.thumb = thumb;
    a.rangeMin = lo;
    a.rangeMax = hi;
    return a;
}

TrackAxis Scroll(int extent, int thumb, int arrow, int lo, int hi) {
    TrackAxis a = Slider(extent, thumb, lo, hi);
    a.lead = arrow;
    a.tail = arrow;
    return a;
}

}  // namespace

TEST(TrackGeometry, CentreForPosition) {
    struct Case {
        const char* name;
        TrackAxis axis;
        int pos;
        int want;
    };
    const Case cases[] = {
        {"slider middle", Slider(220, 20, 0, 100), 50, 110},
        {"slider start", Slider(220, 20, 0, 100), 0, 10},
        {"slider end", Slider(220, 20, 0, 100), 100, 210},
        {"slider offset range", Slider(220, 20, -50, 50), 0, 110},
        {"truncated toward zero", Slider(103, 0, 0, 3), 1, 34},
        {"above the range draws at the end", Slider(220, 20, 0, 100), 150, 210},
        {"below the range draws at the start", Slider(220, 20, 0, 100), -7, 10},
        {"empty range", Slider(220, 20, 5, 5), 5, 0},
        {"reversed range", Slider(220, 20, 10, 0), 5, 0},
        {"track shorter than the thumb", Slider(10, 20, 0, 100), 50, 0},
        {"track as long as the thumb", Slider(20, 20, 0, 100), 50, 10},
        {"whole int range", Slider(220, 20, INT_MIN, INT_MAX), INT_MAX, 210},
        {"scroll 240 middle", Scroll(240, 20, 20, 0, 100), 50, 120},
        {"scroll 240 start", Scroll(240, 20, 20, 0, 100), 0, 30},
        {"scroll 240 end", Scroll(240, 20, 20, 0, 100), 100, 210},
        {"scroll with no track", Scroll(50, 20, 20, 0, 100), 50, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, skin::TrackCentreForPos(c.axis, c.pos)) << c.name;
}

TEST(TrackGeometry, PositionForPoint) {
    struct Case {
        const char* name;
        TrackAxis axis;
        int point;
        int want;
    };
    const Case cases[] = {
        {"click at 10", Slider(220, 20, 0, 100), 10, 0},
        {"click at 210", Slider(220, 20, 0, 100), 210, 100},
        {"click at the middle", Slider(220, 20, 0, 100), 110, 50},
        {"left of the track", Slider(220, 20, 0, 100), -40, 0},
        {"right of the track", Slider(220, 20, 0, 100), 500, 100},
        {"offset range", Slider(220, 20, 10, 20), 210, 20},
        {"empty range", Slider(220, 20, 0, 0), 100, 0},
        {"empty range away from 0 stays in it", Slider(220, 20, 7, 7), 100, 7},
        {"thumb as wide as the bar", Slider(20, 20, 0, 100), 15, 0},
        {"thumb wider than the bar", Slider(10, 20, 30, 100), 15, 30},
        {"far outside a wide range", Slider(220, 20, INT_MIN, INT_MAX), INT_MAX, INT_MAX},
        {"scroll middle", Scroll(240, 20, 20, 0, 100), 120, 50},
        {"scroll over the previous arrow", Scroll(240, 20, 20, 0, 100), 5, 0},
        {"scroll over the next arrow", Scroll(240, 20, 20, 0, 100), 235, 100},
        {"scroll with no track", Scroll(60, 20, 20, 0, 100), 30, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, skin::TrackPosForPoint(c.axis, c.point)) << c.name;
}

TEST(TrackGeometry, DragEdgeStaysOnTheTrack) {
    struct Case {
        const char* name;
        TrackAxis axis;
        int point;
        int want;
    };
    const Case cases[] = {
        {"slider middle", Slider(220, 20, 0, 100), 110, 100},
        {"slider left of the bar", Slider(220, 20, 0, 100), -50, 0},
        {"slider right of the bar", Slider(220, 20, 0, 100), 400, 200},
        {"scroll cannot cover the previous arrow", Scroll(240, 20, 20, 0, 100), 0, 20},
        {"scroll cannot cover the next arrow", Scroll(240, 20, 20, 0, 100), 239, 200},
        {"scroll with no room keeps after the arrow", Scroll(50, 20, 20, 0, 100), 40, 20},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, skin::TrackDragEdge(c.axis, c.point)) << c.name;
}

TEST(TrackGeometry, PageAndLineSteps) {
    struct Page {
        const char* name;
        int pos, under, page, hi, want;
    };
    const Page pages[] = {
        {"right of the thumb capped", 95, 99, 10, 100, 100},
        {"left of the thumb floored", 5, 0, 10, 100, 0},
        {"right in the middle", 40, 80, 10, 100, 50},
        {"left in the middle", 40, 10, 10, 100, 30},
        {"on the thumb goes up", 40, 40, 10, 100, 50},
        {"no overflow near INT_MAX", INT_MAX - 1, INT_MAX, 10, INT_MAX, INT_MAX},
    };
    for (const Page& c : pages)
        EXPECT_EQ(c.want, skin::TrackPageStep(c.pos, c.under, c.page, 0, c.hi)) << c.name;

    struct Line {
        const char* name;
        int pos, line;
        bool up;
        bool moved;
        int want;
    };
    const Line lines[] = {
        {"up one", 5, 1, true, true, 4},
        {"up floored", 2, 5, true, true, 0},
        {"up at the minimum does nothing", 0, 1, true, false, 0},
        {"down one", 5, 1, false, true, 6},
        {"down capped", 98, 5, false, true, 100},
        {"down at the maximum does nothing", 100, 1, false, false, 100},
    };
    for (const Line& c : lines) {
        int pos = c.pos;
        EXPECT_EQ(c.moved, skin::TrackLineStep(&pos, c.line, c.up, 0, 100)) << c.name;
        EXPECT_EQ(c.want, pos) << c.name;
    }
}

TEST(TrackGeometry, StripFrameWidthNeverDividesByZero) {
    EXPECT_EQ(20, skin::StripFrameWidth(80, 4));
    EXPECT_EQ(80, skin::StripFrameWidth(80, 1));
    EXPECT_EQ(80, skin::StripFrameWidth(80, 0));
    EXPECT_EQ(80, skin::StripFrameWidth(80, -3));
}

TEST(ArrowRepeat, PressWaitRepeatAndStop) {
    using skin::RepeatAction;
    struct Step {
        const char* name;
        RepeatAction got;
        bool step;
        bool up;
        unsigned kill0, kill1, start, ms;
    };
    const Step steps[] = {
        {"prev press steps at once", skin::RepeatOnPress(true), true, true, 0, 0, 1128, 500},
        {"next press", skin::RepeatOnPress(false), true, false, 0, 0, 1130, 500},
        {"first delay over: step and repeat", skin::RepeatOnTimer(1128, true), true, true, 1128, 0,
         1129, 50},
        {"repeat steps", skin::RepeatOnTimer(1129, true), true, true, 0, 0, 0, 0},
        {"next first delay", skin::RepeatOnTimer(1130, true), true, false, 1130, 0, 1131, 50},
        {"next repeat", skin::RepeatOnTimer(1131, true), true, false, 0, 0, 0, 0},
        {"prev release", skin::RepeatOnRelease(true), false, false, 1128, 1129, 0, 0},
        {"next release", skin::RepeatOnRelease(false), false, false, 1130, 1131, 0, 0},
        {"capture lost during the delay", skin::RepeatOnTimer(1128, false), false, false, 1128,
         1129, 0, 0},
        {"capture lost while repeating", skin::RepeatOnTimer(1131, false), false, false, 1130, 1131,
         0, 0},
        {"someone else's timer", skin::RepeatOnTimer(7, true), false, false, 0, 0, 0, 0},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(s.step, s.got.step) << s.name;
        if (s.step) {
            EXPECT_EQ(s.up, s.got.up) << s.name;
        }
        EXPECT_EQ(s.kill0, s.got.kill[0]) << s.name;
        EXPECT_EQ(s.kill1, s.got.kill[1]) << s.name;
        EXPECT_EQ(s.start, s.got.start) << s.name;
        EXPECT_EQ(s.ms, s.got.startMs) << s.name;
    }
}

TEST(RadioGroup, OthersUpToTheNextGroupStart) {
    struct Case {
        const char* name;
        std::vector<bool> starts;
        int self;
        std::vector<int> want;
    };
    const Case cases[] = {
        {"first of three", {true, false, false, true}, 0, {1, 2}},
        {"middle of three", {true, false, false, true}, 1, {0, 2}},
        {"last of three, next group untouched", {true, false, false, true, false}, 2, {0, 1}},
        {"second group", {true, false, true, false, false}, 3, {2, 4}},
        {"no group start at all", {false, false, false}, 2, {0, 1}},
        {"alone in its group", {true, true, true}, 1, {}},
        {"out of the list", {true, false}, 5, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, skin::RadioGroupOthers(c.starts, c.self)) << c.name;
}

TEST(ScrollLayout, PartsAlongTheBar) {
    using skin::Rect;
    skin::ScrollSizes sq;  // every part 20 x 20
    sq.thumbH = 20;
    skin::ScrollSizes tall;  // default thumb 20 x 30, arrows 20 x 20
    struct Case {
        const char* name;
        Rect client;
        bool vertical;
        skin::ScrollSizes sizes;
        int lo, hi, pos;
        Rect prev, next, thumb;
    };
    const Case cases[] = {
        {"240 wide, middle: thumb centre at 120",
         {0, 0, 240, 20},
         false,
         sq,
         0,
         100,
         50,
         {0, 0, 20, 20},
         {220, 0, 240, 20},
         {110, 0, 130, 20}},
        {"at the minimum the thumb touches the previous arrow",
         {0, 0, 240, 20},
         false,
         sq,
         0,
         100,
         0,
         {0, 0, 20, 20},
         {220, 0, 240, 20},
         {20, 0, 40, 20}},
        {"at the maximum the next arrow",
         {0, 0, 240, 20},
         false,
         sq,
         0,
         100,
         100,
         {0, 0, 20, 20},
         {220, 0, 240, 20},
         {200, 0, 220, 20}},
        {"beyond the maximum is drawn at it",
         {0, 0, 240, 20},
         false,
         sq,
         0,
         100,
         250,
         {0, 0, 20, 20},
         {220, 0, 240, 20},
         {200, 0, 220, 20}},
        {"below the minimum is drawn at it",
         {0, 0, 240, 20},
         false,
         sq,
         0,
         100,
         -30,
         {0, 0, 20, 20},
         {220, 0, 240, 20},
         {20, 0, 40, 20}},
        {"parts centred across a taller bar",
         {0, 0, 240, 40},
         false,
         tall,
         0,
         100,
         50,
         {0, 10, 20, 30},
         {220, 10, 240, 30},
         {110, 5, 130, 35}},
        {"vertical: previous on top, next at the bottom",
         {0, 0, 20, 240},
         true,
         sq,
         0,
         100,
         50,
         {0, 0, 20, 20},
         {0, 220, 20, 240},
         {0, 110, 20, 130}},
        {"vertical thumb uses its height",
         {0, 0, 40, 250},
         true,
         tall,
         0,
         100,
         100,
         {10, 0, 30, 20},
         {10, 230, 30, 250},
         {10, 200, 30, 230}},
    };
    for (const Case& c : cases) {
        const skin::ScrollParts p =
            skin::LayoutScroll(c.client, c.vertical, c.sizes, c.lo, c.hi, c.pos);
        EXPECT_EQ(c.prev, p.prev) << c.name;
        EXPECT_EQ(c.next, p.next) << c.name;
        EXPECT_EQ(c.thumb, p.thumb) << c.name;
    }
}

TEST(ScrollLayout, DraggedThumbNeverCoversAnArrow) {
    using skin::Rect;
    skin::ScrollSizes sq;
    sq.thumbH = 20;
    struct Case {
        const char* name;
        bool vertical;
        int point;
        Rect want;
    };
    const Case cases[] = {
        {"in the middle", false, 100, {90, 0, 110, 20}},
        {"over the previous arrow", false, 3, {20, 0, 40, 20}},
        {"left of the bar", false, -500, {20, 0, 40, 20}},
        {"over the next arrow", false, 238, {200, 0, 220, 20}},
        {"far right", false, 5000, {200, 0, 220, 20}},
        {"vertical, over the top arrow", true, 0, {0, 20, 20, 40}},
        {"vertical, under the bottom arrow", true, 400, {0, 200, 20, 220}},
    };
    for (const Case& c : cases) {
        const Rect client = c.vertical ? Rect{0, 0, 20, 240} : Rect{0, 0, 240, 20};
        EXPECT_EQ(c.want, skin::ScrollDragThumb(client, c.vertical, sq, c.point)) << c.name;
    }
}

TEST(ScrollLayout, ArrowCaptionsAreDoubleByteTriangles) {
    EXPECT_STREQ("\xA2\xB7", skin::ScrollPrevCaption(false));
    EXPECT_STREQ("\xA2\xB9", skin::ScrollNextCaption(false));
    EXPECT_STREQ("\xA1\xE2", skin::ScrollPrevCaption(true));
    EXPECT_STREQ("\xA1\xE4", skin::ScrollNextCaption(true));
}

namespace {

// The window's timers on a clock the test moves: a timer started at t with
// period p fires at t + p, t + 2p... until it is killed; starting a running
// id again restarts it.
class FakeTimers {
public:
    unsigned now = 0;
    void Apply(const skin::RepeatAction& a, int* pos, std::vector<unsigned>* moves) {
        for (unsigned k : a.kill)
            if (k) Kill(k);
        if (a.step && skin::TrackLineStep(pos, 1, a.up, 0, 100)) moves->push_back(now);
        if (a.start) {
            Kill(a.start);
            timers_.push_back({a.start, now + a.startMs, a.startMs});
        }
    }
    // The ids due now, in the order they were started.
    std::vector<unsigned> Due() {
        std::vector<unsigned> ids;
        for (Timer& t : timers_)
            if (t.due == now) {
                ids.push_back(t.id);
                t.due += t.period;
            }
        return ids;
    }
    bool Running(unsigned id) const {
        for (const Timer& t : timers_)
            if (t.id == id) return true;
        return false;
    }
    size_t Count() const { return timers_.size(); }

private:
    struct Timer {
        unsigned id, due, period;
    };
    void Kill(unsigned id) {
        for (size_t i = 0; i < timers_.size(); ++i)
            if (timers_[i].id == id) timers_.erase(timers_.begin() + static_cast<long>(i--));
    }
    std::vector<Timer> timers_;
};

constexpr unsigned kNever = 1u << 30;

}  // namespace

TEST(ArrowRepeat, OnAClock) {
    struct Case {
        const char* name;
        bool prev;
        int startPos;
        unsigned releaseAt;      // the arrow's own button-up
        unsigned captureLostAt;  // cancel mode, capture taken: no button-up follows
        std::vector<unsigned> moves;
    };
    const Case cases[] = {
        {"a click steps once", true, 50, 120, kNever, {0}},
        {"held: at once, after 500 ms, then every 50 ms",
         true,
         50,
         720,
         kNever,
         {0, 500, 550, 600, 650, 700}},
        {"next arrow the same", false, 50, 610, kNever, {0, 500, 550, 600}},
        {"released just before the repeat", true, 50, 549, kNever, {0, 500}},
        {"no step at the minimum", true, 2, 2000, kNever, {0, 500}},
        {"no step at the maximum", false, 99, 2000, kNever, {0}},
        {"capture lost while repeating stops it", true, 50, kNever, 580, {0, 500, 550}},
        {"capture lost during the first delay", true, 50, kNever, 200, {0}},
        {"capture lost at the moment of a repeat", false, 50, kNever, 600, {0, 500, 550}},
    };
    for (const Case& c : cases) {
        FakeTimers clock;
        int pos = c.startPos;
        std::vector<unsigned> moves;
        clock.Apply(skin::RepeatOnPress(c.prev), &pos, &moves);
        bool released = false;
        for (clock.now = 1; clock.now <= 3000; ++clock.now) {
            if (clock.now == c.releaseAt) {
                clock.Apply(skin::RepeatOnRelease(c.prev), &pos, &moves);
                released = true;
            }
            const bool held = !released && clock.now < c.captureLostAt;
            for (unsigned id : clock.Due())
                clock.Apply(skin::RepeatOnTimer(id, held), &pos, &moves);
        }
        EXPECT_EQ(c.moves, moves) << c.name;
        EXPECT_EQ(0u, clock.Count()) << c.name << ": a timer still runs";
        EXPECT_FALSE(clock.Running(c.prev ? skin::kTimerPrevRepeat : skin::kTimerNextRepeat))
            << c.name;
    }
}
