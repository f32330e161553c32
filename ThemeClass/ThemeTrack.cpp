#include "ThemeClass/ThemeTrack.h"

namespace skin {

namespace {

long long Clamp(long long v, long long lo, long long hi) { return v < lo ? lo : v > hi ? hi : v; }

}  // namespace

int TrackCentreForPos(const TrackAxis& a, int pos) {
    const long long range = static_cast<long long>(a.rangeMax) - a.rangeMin;
    const long long travel = a.Travel();
    if (travel < 0 || range < 1) return 0;
    const long long p = Clamp(pos, a.rangeMin, a.rangeMax);
    const double x = static_cast<double>(travel) * static_cast<double>(p - a.rangeMin) /
                     static_cast<double>(range);
    return static_cast<int>(static_cast<long long>(x) + a.thumb / 2 + a.lead);
}

int TrackPosForPoint(const TrackAxis& a, int point) {
    const long long range = static_cast<long long>(a.rangeMax) - a.rangeMin;
    const long long travel = a.Travel();
    if (travel < 1 || range < 1) return a.rangeMin;
    const double f = (static_cast<double>(point) - a.thumb / 2 - a.lead) /
                     static_cast<double>(travel) * static_cast<double>(range);
    // Far outside the range the double is clamped before it becomes an
    // integer.
    const double lo = -static_cast<double>(range) - 1, hi = 2 * static_cast<double>(range) + 1;
    const double g = f < lo ? lo : f > hi ? hi : f;
    return static_cast<int>(Clamp(static_cast<long long>(g) + a.rangeMin, a.rangeMin, a.rangeMax));
}

int TrackDragEdge(const TrackAxis& a, int point) {
    const long long lo = a.lead;
    long long hi = static_cast<long long>(a.extent) - a.thumb - a.tail;
    if (hi < lo) hi = lo;
    return static_cast<int>(Clamp(static_cast<long long>(point) - a.thumb / 2, lo, hi));
}

int TrackPageStep(int pos, int posUnderPoint, int page, int rangeMin, int rangeMax) {
    long long p = pos;
    if (posUnderPoint >= pos) {
        p += page;
        if (p > rangeMax) p = rangeMax;
    } else {
        p -= page;
        if (p < rangeMin) p = rangeMin;
    }
    return static_cast<int>(p);
}

bool TrackLineStep(int* pos, int line, bool up, int rangeMin, int rangeMax) {
    long long p = *pos;
    if (up) {
        if (p <= rangeMin) return false;
        p -= line;
        if (p < rangeMin) p = rangeMin;
    } else {
        if (p >= rangeMax) return false;
        p += line;
        if (p > rangeMax) p = rangeMax;
    }
    *pos = static_cast<int>(p);
    return true;
}

int StripFrameWidth(int imageWidth, int count) { return imageWidth / (count < 1 ? 1 : count); }

RepeatAction RepeatOnPress(bool prev) {
    RepeatAction a;
    a.step = true;
    a.up = prev;
    a.start = prev ? kTimerPrevFirst : kTimerNextFirst;
    a.startMs = kRepeatFirstMs;
    return a;
}

RepeatAction RepeatOnRelease(bool prev) {
    RepeatAction a;
    a.kill[0] = prev ? kTimerPrevFirst : kTimerNextFirst;
    a.kill[1] = prev ? kTimerPrevRepeat : kTimerNextRepeat;
    return a;
}

RepeatAction RepeatOnTimer(unsigned id, bool held) {
    RepeatAction a;
    bool prev;
    if (id == kTimerPrevFirst || id == kTimerPrevRepeat)
        prev = true;
    else if (id == kTimerNextFirst || id == kTimerNextRepeat)
        prev = false;
    else
        return a;
    if (!held) return RepeatOnRelease(prev);
    a.step = true;
    a.up = prev;
    if (id == kTimerPrevFirst || id == kTimerNextFirst) {
        a.kill[0] = id;
        a.start = id + 1;
        a.startMs = kRepeatMs;
    }
    return a;
}

namespace {

// A part of extent `along` on the axis and `across` across it, its leading
// edge at `lead`, centred across the client.
Rect PlacePart(const Rect& client, bool vertical, int lead, int along, int across) {
    Rect r;
    if (vertical) {
        r.top = lead;
        r.bottom = lead + along;
        r.left = (client.left + client.right) / 2 - across / 2;
        r.right = r.left + across;
    } else {
        r.left = lead;
        r.right = lead + along;
        r.top = (client.top + client.bottom) / 2 - across / 2;
        r.bottom = r.top + across;
    }
    return r;
}

}  // namespace

TrackAxis ScrollAxis(const Rect& client, bool vertical, const ScrollSizes& s, int rangeMin,
                     int rangeMax) {
    TrackAxis a;
    a.extent = vertical ? client.Height() : client.Width();
    a.thumb = vertical ? s.thumbH : s.thumbW;
    a.lead = vertical ? s.prevH : s.prevW;
    a.tail = vertical ? s.nextH : s.nextW;
    a.rangeMin = rangeMin;
    a.rangeMax = rangeMax;
    return a;
}

ScrollParts LayoutScroll(const Rect& client, bool vertical, const ScrollSizes& s, int rangeMin,
                         int rangeMax, int pos) {
    const TrackAxis a = ScrollAxis(client, vertical, s, rangeMin, rangeMax);
    const int nearEdge = vertical ? client.top : client.left;
    const int farEdge = vertical ? client.bottom : client.right;
    ScrollParts p;
    if (vertical) {
        p.prev = PlacePart(client, true, nearEdge, s.prevH, s.prevW);
        p.next = PlacePart(client, true, farEdge - s.nextH, s.nextH, s.nextW);
        p.thumb =
            PlacePart(client, true, TrackCentreForPos(a, pos) - s.thumbH / 2, s.thumbH, s.thumbW);
    } else {
        p.prev = PlacePart(client, false, nearEdge, s.prevW, s.prevH);
        p.next = PlacePart(client, false, farEdge - s.nextW, s.nextW, s.nextH);
        p.thumb =
            PlacePart(client, false, TrackCentreForPos(a, pos) - s.thumbW / 2, s.thumbW, s.thumbH);
    }
    return p;
}

Rect ScrollDragThumb(const Rect& client, bool vertical, const ScrollSizes& s, int point) {
    const TrackAxis a = ScrollAxis(client, vertical, s, 0, 0);
    const int edge = TrackDragEdge(a, point);
    return vertical ? PlacePart(client, true, edge, s.thumbH, s.thumbW)
                    : PlacePart(client, false, edge, s.thumbW, s.thumbH);
}

const char* ScrollPrevCaption(bool vertical) { return vertical ? "\xA1\xE2" : "\xA2\xB7"; }
const char* ScrollNextCaption(bool vertical) { return vertical ? "\xA1\xE4" : "\xA2\xB9"; }

}  // namespace skin
