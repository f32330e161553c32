// Where the check box and the radio button put their mark and caption.
// Portable, tested natively.
#pragma once

#include "ThemeClass/ThemeLayout.h"

namespace skin {

// The square mark: 4 pixels in when the control has a back of its own, at
// the left edge otherwise; at the bottom for DT_BOTTOM, centred for
// DT_VCENTER, else at the top.
Rect MarkRect(const Rect& client, int size, int backDrawType, unsigned alignFormat);

// The caption rectangle of a check box or radio button: right of the mark
// (5 pixels gap) unless push-like, 4 pixels in at the right when there is a
// back; a caption area whose resolved left is 1 or more replaces it; one
// pixel right and down in the pressed look.
Rect MarkCaptionRect(const Rect& client, const Rect& mark, const Rect& areaValues, bool pushLike,
                     int backDrawType, bool pressedLook);

// The V of a checked drawn mark: two strokes from the upper corners (3 in)
// down to the middle, 3 above the bottom. Points as x0, y0, x1, y1 of each.
struct VMark {
    int x0, y0, x1, y1;  // left stroke
    int x2, y2, x3, y3;  // right stroke
};
VMark CheckVMark(const Rect& mark);

}  // namespace skin
