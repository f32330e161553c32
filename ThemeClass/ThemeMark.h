// Where the check box and the radio button put their mark and caption.
// Portable, tested natively.
#pragma once

#include "ThemeClass/ThemeLayout.h"
#include "ThemeClass/ThemeLook.h"

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

// ---- check box

// The state a check box draws its image back and caption in: a push-like
// box that is checked looks pressed while nothing else is going on.
int CheckDrawState(int state, bool pushLike, bool checked);

// The colour back of a check box: the back colour of the state with the
// outline, sunken (outline colours swapped) while pressed or while a
// push-like box is checked; a checked push-like box takes the pressed
// colour.
struct CheckBack {
    Color back = 0;
    Color lt = 0;
    Color rb = 0;
};
CheckBack CheckColorBack(int state, bool pushLike, bool checked, const Color backs[4], Color lt,
                         Color rb);

// Hover and press of a check box: the push button's tracking, and a
// release toggles the check only when the press began on the box and the
// pointer hovers over it at the release, the release point lying on it.
struct CheckTracker : ButtonTracker {
    bool armed = false;  // the left button went down on the box

    bool OnLeftDown() {
        armed = true;
        return ButtonTracker::OnLeftDown();
    }
    // Returns whether the check flips.
    bool OnRelease(bool pointInside) {
        const bool toggles = armed && hover && pointInside;
        armed = false;
        OnLeftUp();
        return toggles;
    }
};

// The two halves of a mark image strip: unchecked on the left, checked on
// the right, full height.
Rect MarkImageHalf(int imageWidth, int imageHeight, bool checked);

}  // namespace skin
