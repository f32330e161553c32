// Border resizing of a skinned dialog as plain geometry: which border zone
// a point is in, the rectangle a drag gives, and the size limits.
#pragma once

#include "ThemeClass/ThemeLayout.h"

namespace skin {

// Border zones: 0 none, 1 left, 2 top, 3 right, 4 bottom, 5 top-left,
// 6 top-right, 7 bottom-left, 8 bottom-right.
enum BorderZone {
    kZoneNone = 0,
    kZoneLeft,
    kZoneTop,
    kZoneRight,
    kZoneBottom,
    kZoneTopLeft,
    kZoneTopRight,
    kZoneBottomLeft,
    kZoneBottomRight,
};

struct SizeLimits {
    int minWidth = 50;
    int minHeight = 50;
    int maxWidth = 4000;
    int maxHeight = 4000;
};

// The zone of (x, y) in a client area from (0, 0) to (w, h), every range
// inclusive, corners first; the edge tests look at one coordinate only.
int HitTestBorder(int x, int y, int w, int h, int border);
// The same against a window rectangle in screen coordinates.
int HitTestZone(const Rect& window, int x, int y, int border);

// Which edges a zone moves.
bool ZoneMovesLeft(int zone);
bool ZoneMovesTop(int zone);
bool ZoneMovesRight(int zone);
bool ZoneMovesBottom(int zone);

// The outline a drag of (dx, dy) in the zone gives: each moved edge is held
// so that the size stays within the limits, the opposite edge staying put.
// Zone 0 gives the rectangle unchanged.
Rect TrackResize(const Rect& r, int zone, int dx, int dy, const SizeLimits& limits);

// The rectangle the dialog takes on release: a size below the minimum or
// above the maximum moves the right or bottom edge to meet it.
Rect ClampToLimits(const Rect& r, const SizeLimits& limits);

// A resize by a delta: false when there is nothing to do (no delta, zone 0
// or unknown) or the result falls below the minimum; a size above the
// maximum is cut at the right or bottom.
bool ResizeByDelta(const Rect& r, int zone, int dx, int dy, const SizeLimits& limits, Rect* out);

// The zone's edges moved 15 pixels outward; no limits.
Rect GrowBorder(const Rect& r, int zone);

}  // namespace skin
