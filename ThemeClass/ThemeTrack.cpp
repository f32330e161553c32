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

}  // namespace skin
