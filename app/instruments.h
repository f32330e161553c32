// The main dialog's two instruments and its small number rules: where the
// G-sensor graph plots a sample and the play cursor, the speedometer's text
// and needle, the playback speed steps with their labels, and the volume
// keys. Plain functions; the dialog draws with them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/recorder_records.h"

enum : int {
    GRAPH_WIDTH = 549,
    GRAPH_HEIGHT = 97,   // what reaches the window
    GRAPH_BUFFER_HEIGHT = 132,
    GRAPH_LEFT = 42,     // x of time 0
    GRAPH_SPAN = 509,    // curves: time 0..duration over 509 pixels
    GRAPH_CURSOR_SPAN = 508,
    GRAPH_START_Y = 15,  // where the first segment would start without a sample
    DIAL_SIZE = 174,
    DIAL_CENTER_X = 86,
    DIAL_CENTER_Y = 84,
    DIAL_TEXT_X = 74,
    DIAL_TEXT_Y = 110,
};

// x of a sample at timeMs in a clip of durationMs.
int Graph_SampleX(uint32_t timeMs, uint32_t durationMs);
// x of the play cursor at positionMs.
int Graph_CursorX(uint32_t positionMs, uint32_t durationMs);
// Row of an axis value (+127 at row 6, 0 at 47, -128 at 89).
int Graph_AxisY(int value);

struct GraphPoint {
    int x;
    int y[3];  // x, y and z axes
};

// One line per axis from `from` to `to`.
struct GraphSegment {
    GraphPoint from;
    GraphPoint to;
};

// The segments of the curves of a clip's samples: one per sample, each from
// the previous point (the first from the left edge at the first sample's
// rows). A sample that is not a G-sensor record keeps the previous values,
// so position samples between records draw flat. Samples before the first
// record plot the value 0.
std::vector<GraphSegment> Graph_BuildCurves(const TextSampleTable& table, uint32_t count,
                                            uint32_t durationMs);

// The speedometer's number: the speed truncated, right-aligned to three
// places ("  0", " 42", "100").
void Dial_SpeedText(float speedKmh, char* out, size_t outSize);

struct DialPoint {
    int x, y;
};
// Tip of the needle in dial coordinates (rest at (39, 103)).
DialPoint Dial_NeedleTip(float speedKmh);

// Playback speed in percent: steps of 50 between 50 and 200.
unsigned Speed_Slower(unsigned percent);
unsigned Speed_Faster(unsigned percent);
// "2x", "1.5x", "1x" or "0.5x"; empty for any other value.
const char* Speed_Label(unsigned percent);

// Volume keys: ten steps up or down within 0..100.
int Volume_Up(int percent);
int Volume_Down(int percent);
