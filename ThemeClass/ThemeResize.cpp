#include "ThemeClass/ThemeResize.h"

namespace skin {

namespace {
bool In(int v, int lo, int hi) { return lo <= v && v <= hi; }
}  // namespace

int HitTestBorder(int x, int y, int w, int h, int b) {
    const bool left = In(x, 0, b);
    const bool right = In(x, w - b, w);
    const bool top = In(y, 0, b);
    const bool bottom = In(y, h - b, h);
    if (left && top) return kZoneTopLeft;
    if (right && top) return kZoneTopRight;
    if (left && bottom) return kZoneBottomLeft;
    if (right && bottom) return kZoneBottomRight;
    if (left) return kZoneLeft;
    if (top) return kZoneTop;
    if (right) return kZoneRight;
    if (bottom) return kZoneBottom;
    return kZoneNone;
}

int HitTestZone(const Rect& window, int x, int y, int border) {
    return HitTestBorder(x - window.left, y - window.top, window.Width(), window.Height(), border);
}

bool ZoneMovesLeft(int z) { return z == kZoneLeft || z == kZoneTopLeft || z == kZoneBottomLeft; }
bool ZoneMovesTop(int z) { return z == kZoneTop || z == kZoneTopLeft || z == kZoneTopRight; }
bool ZoneMovesRight(int z) {
    return z == kZoneRight || z == kZoneTopRight || z == kZoneBottomRight;
}
bool ZoneMovesBottom(int z) {
    return z == kZoneBottom || z == kZoneBottomLeft || z == kZoneBottomRight;
}

Rect TrackResize(const Rect& in, int zone, int dx, int dy, const SizeLimits& lim) {
    Rect r = in;
    if (ZoneMovesLeft(zone)) {
        r.left += dx;
        if (r.Width() < lim.minWidth) r.left = r.right - lim.minWidth;
        if (r.Width() > lim.maxWidth) r.left = r.right - lim.maxWidth;
    }
    if (ZoneMovesTop(zone)) {
        r.top += dy;
        if (r.Height() < lim.minHeight) r.top = r.bottom - lim.minHeight;
        if (r.Height() > lim.maxHeight) r.top = r.bottom - lim.maxHeight;
    }
    if (ZoneMovesRight(zone)) {
        r.right += dx;
        if (r.Width() < lim.minWidth) r.right = r.left + lim.minWidth;
        if (r.Width() > lim.maxWidth) r.right = r.left + lim.maxWidth;
    }
    if (ZoneMovesBottom(zone)) {
        r.bottom += dy;
        if (r.Height() < lim.minHeight) r.bottom = r.top + lim.minHeight;
        if (r.Height() > lim.maxHeight) r.bottom = r.top + lim.maxHeight;
    }
    return r;
}

Rect ClampToLimits(const Rect& in, const SizeLimits& lim) {
    Rect r = in;
    if (r.Width() < lim.minWidth) r.right = r.left + lim.minWidth;
    if (r.Height() < lim.minHeight) r.bottom = r.top + lim.minHeight;
    if (r.Width() > lim.maxWidth) r.right = r.left + lim.maxWidth;
    if (r.Height() > lim.maxHeight) r.bottom = r.top + lim.maxHeight;
    return r;
}

bool ResizeByDelta(const Rect& in, int zone, int dx, int dy, const SizeLimits& lim, Rect* out) {
    if (dx == 0 && dy == 0) return false;
    if (zone < kZoneLeft || zone > kZoneBottomRight) return false;
    Rect r = in;
    if (ZoneMovesLeft(zone)) r.left += dx;
    if (ZoneMovesTop(zone)) r.top += dy;
    if (ZoneMovesRight(zone)) r.right += dx;
    if (ZoneMovesBottom(zone)) r.bottom += dy;
    if (r.Width() < lim.minWidth || r.Height() < lim.minHeight) return false;
    if (r.Width() > lim.maxWidth) r.right = r.left + lim.maxWidth;
    if (r.Height() > lim.maxHeight) r.bottom = r.top + lim.maxHeight;
    *out = r;
    return true;
}

Rect GrowBorder(const Rect& in, int zone) {
    Rect r = in;
    if (ZoneMovesLeft(zone)) r.left -= 15;
    if (ZoneMovesTop(zone)) r.top -= 15;
    if (ZoneMovesRight(zone)) r.right += 15;
    if (ZoneMovesBottom(zone)) r.bottom += 15;
    return r;
}

}  // namespace skin
