// The choices every skinned control makes before it draws: which colour or
// frame a visual state uses, where the caption goes, how hover and press
// move the state, and the progress bar's bar and text. Portable, tested
// natively; the window classes call these.
#pragma once

#include <cstdint>
#include <string>

#include "ThemeClass/ThemeLayout.h"

namespace skin {

using Color = uint32_t;  // 0x00BBGGRR, as a Windows COLORREF

// The transparent key of skin images; in colour setters "no colour" or
// "same as the normal state".
constexpr Color kColorKey = 0xFF00FF;

// Visual states, the index of every per-state property.
enum State { kStateNormal = 0, kStateHover = 1, kStatePressed = 2, kStateDisabled = 3 };

// Back draw types and image fill types shared by the controls.
enum BackDraw { kBackNone = 0, kBackColor = 1, kBackImage = 2 };
enum ImageFill { kFillNineGrid = 0, kFillStretch = 1, kFillTile = 2, kFillAlign = 3 };

// Four per-state colours where the key in the hover, pressed or disabled
// place stands for the normal colour.
void ResolveStateColors(const Color in[4], Color out[4]);

// The state-to-frame map of a strip of count frames; false (map untouched)
// when the count is outside 1..4.
bool FrameMapFor(int count, int map[4]);

// Frame f of a strip: (w*f, 0, w*f + w, height) with w = width / count.
Rect StripFrame(int imageWidth, int imageHeight, int frameCount, int frame);

// The state a paint uses: disabled windows paint in state 3, and a window
// enabled again while in state 3 goes back to 0.
int PaintState(int state, bool enabled);

// The outline colours of a colour back: swapped while pressed so the face
// looks sunken.
void ButtonOutlineColors(int state, Color lt, Color rb, Color* outLt, Color* outRb);

// The button's caption rectangle: the caption area against the client; the
// whole client when the area starts left of 0 or above -1; one pixel right
// and down while pressed.
Rect ButtonCaptionRect(const Rect& areaValues, const Rect& client, int state);

// The label's caption rectangle: the whole client when the resolved right
// or bottom is not positive.
Rect LabelCaptionRect(const Rect& areaValues, const Rect& client);

// Button styles: the owner-draw type replaces the type bits instead of
// being OR-ed into them (an OR with another type makes a third type).
constexpr uint32_t kButtonTypeMask = 0x0F;
constexpr uint32_t kButtonOwnerDraw = 0x0B;
uint32_t OwnerDrawButtonStyle(uint32_t style);

// The mouse messages a control passes to its tool tip: moves and the
// left, right and middle buttons going down and up; never double clicks.
bool IsToolTipRelayed(unsigned int message);

// Hover and press tracking of a push button. Each event returns whether
// the face must be repainted.
struct ButtonTracker {
    int state = kStateNormal;
    bool pressed = false;
    bool hover = false;

    // The left-button bit of a move's key flags; no repaint of its own.
    void OnMove(bool leftDown) { pressed = leftDown; }
    bool OnHover();
    bool OnLeave();
    bool OnLeftDown();
    bool OnLeftUp();
};

// The progress bar's layout for one paint.
struct ProgressLayout {
    Rect inner;        // the client less the outline thickness on every side
    int barRight = 0;  // the bar spans inner.left .. barRight
    int colorSet = 1;  // 1 or 2
    double fraction = 0;
};

// p clamped to [min, max]; f = (p - min) / (max - min); bar width
// trunc(inner width * f); set 2 when f * 100 is above the percent. A range
// whose minimum is not below its maximum draws an empty bar.
ProgressLayout LayoutProgress(const Rect& client, int thickness, int rangeMin, int rangeMax,
                              int pos, double changePercent);

// "%d" of the position, followed by the unit when there is one.
std::string ProgressText(int pos, const std::string& unit);

}  // namespace skin
