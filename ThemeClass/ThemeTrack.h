// Geometry and position arithmetic of the skinned slider and scroll bar,
// and the arrow auto-repeat of the scroll bar. Plain integers only, so the
// rules are tested natively; the window classes call these.
//
// One axis is described at a time: the slider's x (or y when vertical).
// The scroll bar's arrows take lead pixels before the track and tail
// pixels after it; the slider has none.
#pragma once

#include "ThemeClass/ThemeLayout.h"

namespace skin {

struct TrackAxis {
    int extent = 0;  // client width (or height)
    int thumb = 0;   // thumb width (or height)
    int lead = 0;    // previous arrow
    int tail = 0;    // next arrow
    int rangeMin = 0;
    int rangeMax = 100;
    // The length the thumb's left edge travels.
    long long Travel() const { return static_cast<long long>(extent) - thumb - lead - tail; }
};

// The thumb centre for a position. An empty range or a track shorter than
// the thumb gives 0; a position outside the range is drawn clamped to it.
int TrackCentreForPos(const TrackAxis& a, int pos);

// The position under a point, clamped to the range. A track no longer than
// the thumb (nothing to travel) or an empty range gives the minimum.
int TrackPosForPoint(const TrackAxis& a, int point);

// The thumb's leading edge while it is dragged: point - thumb / 2, kept
// between the arrows.
int TrackDragEdge(const TrackAxis& a, int point);

// A click on the track with a page step: toward the click, stopping at the
// range ends.
int TrackPageStep(int pos, int posUnderPoint, int page, int rangeMin, int rangeMax);

// An arrow's line step: returns whether the position moved (nothing at the
// range end) and the new position.
bool TrackLineStep(int* pos, int line, bool up, int rangeMin, int rangeMax);

// Frames of a thumb image strip: a count below 1 counts as 1.
int StripFrameWidth(int imageWidth, int count);

// ---- scroll bar

// Sizes of the scroll bar's three parts: the thumb and the two arrows.
struct ScrollSizes {
    int thumbW = 20, thumbH = 30;
    int prevW = 20, prevH = 20;
    int nextW = 20, nextH = 20;
};

// Where the parts of a scroll bar go. The previous arrow sits at the near
// end (left, or top when vertical), the next arrow at the far end, each
// centred across the bar; the thumb runs between them.
struct ScrollParts {
    Rect prev;
    Rect next;
    Rect thumb;
};

// The axis the scroll bar's position lives on: the client's width (height
// when vertical) with the arrows before and after the track.
TrackAxis ScrollAxis(const Rect& client, bool vertical, const ScrollSizes& s, int rangeMin,
                     int rangeMax);
ScrollParts LayoutScroll(const Rect& client, bool vertical, const ScrollSizes& s, int rangeMin,
                         int rangeMax, int pos);
// The thumb while it is dragged to a point along the bar: centred on the
// point, never over an arrow.
Rect ScrollDragThumb(const Rect& client, bool vertical, const ScrollSizes& s, int point);

// The arrow captions, one double-byte character of code page 949 each:
// left and right pointing triangles across, up and down pointing ones when
// vertical.
const char* ScrollPrevCaption(bool vertical);
const char* ScrollNextCaption(bool vertical);

// ---- arrow auto-repeat

// Timer ids of the arrows: first delay and repeat of the previous arrow,
// then of the next arrow.
constexpr unsigned kTimerPrevFirst = 1128;
constexpr unsigned kTimerPrevRepeat = 1129;
constexpr unsigned kTimerNextFirst = 1130;
constexpr unsigned kTimerNextRepeat = 1131;
constexpr unsigned kRepeatFirstMs = 500;
constexpr unsigned kRepeatMs = 50;

// What one arrow event asks of the window.
struct RepeatAction {
    bool step = false;      // one line step now
    bool up = false;        // toward the minimum
    unsigned kill[2] = {};  // timers to stop (0 = none)
    unsigned start = 0;     // timer to start (0 = none)
    unsigned startMs = 0;
};

// The arrow was pressed (or double clicked); prev tells which arrow.
RepeatAction RepeatOnPress(bool prev);
// The arrow was released.
RepeatAction RepeatOnRelease(bool prev);
// A timer fired. held: the arrow still holds the mouse capture; when it
// lost it (cancel mode, capture released or taken) the repeat stops with
// no step. Ids that are not the arrows' do nothing.
RepeatAction RepeatOnTimer(unsigned id, bool held);

}  // namespace skin
