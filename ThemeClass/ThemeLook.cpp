#include "ThemeClass/ThemeLook.h"

#include <cmath>
#include <cstdio>

namespace skin {

void ResolveStateColors(const Color in[4], Color out[4]) {
    out[0] = in[0];
    for (int i = 1; i < 4; ++i) out[i] = in[i] == kColorKey ? in[0] : in[i];
}

bool FrameMapFor(int count, int map[4]) {
    static const int kMaps[4][4] = {{0, 0, 0, 0}, {0, 0, 1, 0}, {0, 1, 2, 0}, {0, 1, 2, 3}};
    if (count < 1 || count > 4) return false;
    for (int i = 0; i < 4; ++i) map[i] = kMaps[count - 1][i];
    return true;
}

Rect StripFrame(int imageWidth, int imageHeight, int frameCount, int frame) {
    if (frameCount < 1) frameCount = 1;
    const int w = imageWidth / frameCount;
    return Rect{w * frame, 0, w * frame + w, imageHeight};
}

int PaintState(int state, bool enabled) {
    if (!enabled) return kStateDisabled;
    if (state == kStateDisabled) return kStateNormal;
    return state;
}

void ButtonOutlineColors(int state, Color lt, Color rb, Color* outLt, Color* outRb) {
    const bool sunken = state == kStatePressed;
    *outLt = sunken ? rb : lt;
    *outRb = sunken ? lt : rb;
}

Rect ButtonCaptionRect(const Rect& areaValues, const Rect& client, int state) {
    Rect r = ResolveTextRect(areaValues, client);
    if (r.left < 0 || r.top < -1) r = client;
    if (state == kStatePressed) {
        ++r.left;
        ++r.top;
        ++r.right;
        ++r.bottom;
    }
    return r;
}

Rect LabelCaptionRect(const Rect& areaValues, const Rect& client) {
    Rect r = ResolveTextRect(areaValues, client);
    if (r.right <= 0 || r.bottom <= 0) r = client;
    return r;
}

uint32_t OwnerDrawButtonStyle(uint32_t style) {
    return (style & ~kButtonTypeMask) | kButtonOwnerDraw;
}

bool IsToolTipRelayed(unsigned int message) {
    switch (message) {
        case 0x200:  // mouse move
        case 0x201:  // left down
        case 0x202:  // left up
        case 0x204:  // right down
        case 0x205:  // right up
        case 0x207:  // middle down
        case 0x208:  // middle up
            return true;
        default: return false;
    }
}

bool ButtonTracker::OnHover() {
    hover = true;
    const int next = pressed ? kStatePressed : kStateHover;
    const bool changed = next != state;
    state = next;
    return changed;
}

bool ButtonTracker::OnLeave() {
    hover = false;
    pressed = false;
    state = kStateNormal;
    return true;
}

bool ButtonTracker::OnLeftDown() {
    pressed = true;
    state = hover ? kStatePressed : kStateNormal;
    return true;
}

bool ButtonTracker::OnLeftUp() {
    pressed = false;
    state = hover ? kStateHover : kStateNormal;
    return true;
}

ProgressLayout LayoutProgress(const Rect& client, int thickness, int rangeMin, int rangeMax,
                              int pos, double changePercent) {
    ProgressLayout out;
    const int t = thickness > 0 ? thickness : 0;
    out.inner = Rect{client.left + t, client.top + t, client.right - t, client.bottom - t};
    if (rangeMax > rangeMin) {
        int64_t p = pos;
        if (p < rangeMin) p = rangeMin;
        if (p > rangeMax) p = rangeMax;
        out.fraction = double(p - rangeMin) / (double(rangeMax) - double(rangeMin));
    }
    const int width = out.inner.Width() > 0 ? out.inner.Width() : 0;
    out.barRight = out.inner.left + static_cast<int>(std::trunc(width * out.fraction));
    out.colorSet = out.fraction * 100.0 > changePercent ? 2 : 1;
    return out;
}

std::string ProgressText(int pos, const std::string& unit) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", pos);
    return std::string(buf) + unit;
}

}  // namespace skin
