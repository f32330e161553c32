#include "app/instruments.h"

#include <cmath>
#include <cstdio>

int Graph_SampleX(uint32_t timeMs, uint32_t durationMs) {
    return GRAPH_LEFT + int(double(GRAPH_SPAN) * double(timeMs) / (double(durationMs) + 1.0));
}

int Graph_CursorX(uint32_t positionMs, uint32_t durationMs) {
    return GRAPH_LEFT +
           int(double(GRAPH_CURSOR_SPAN) * double(positionMs) / (double(durationMs) + 1.0));
}

int Graph_AxisY(int value) { return 6 + int(83.0 * double(255 - (value + 128)) / 255.0); }

std::vector<GraphSegment> Graph_BuildCurves(const TextSampleTable& table, uint32_t count,
                                            uint32_t durationMs) {
    std::vector<GraphSegment> out;
    if (count > TEXT_SAMPLE_MAX) count = TEXT_SAMPLE_MAX;
    out.reserve(count);
    GraphPoint prev = {GRAPH_LEFT, {GRAPH_START_Y, GRAPH_START_Y, GRAPH_START_Y}};
    int values[3] = {0, 0, 0};
    for (uint32_t i = 0; i < count; ++i) {
        const TextTrackSample& s = table.samples[i];
        GraphPoint p;
        p.x = Graph_SampleX(s.timeMs, durationMs);
        if (IsGSensorRecord(s.data)) {
            // The marker is at byte 1 when that byte says so, else at byte 0.
            const int m = s.data[1] == 'M' ? 1 : 0;
            for (int a = 0; a < 3; ++a) values[a] = int8_t(s.data[m + 1 + a]);
        }
        for (int a = 0; a < 3; ++a) p.y[a] = Graph_AxisY(values[a]);
        if (i == 0)
            for (int a = 0; a < 3; ++a) prev.y[a] = p.y[a];
        out.push_back({prev, p});
        prev = p;
    }
    return out;
}

void Dial_SpeedText(float speedKmh, char* out, size_t outSize) {
    if (!out || outSize == 0) return;
    // Truncated toward zero; kept in int range for any reading.
    double v = double(speedKmh);
    if (!(v > -1e6)) v = 0;  // NaN and large negatives
    if (v > 1e6) v = 1e6;
    const int n = int(v);
    const char* fmt = n >= 100 ? "%d" : n >= 10 ? " %d" : "  %d";
    std::snprintf(out, outSize, fmt, n);
}

DialPoint Dial_NeedleTip(float speedKmh) {
    double a = double(speedKmh) * 3.14 / 180.0;
    if (!std::isfinite(a)) a = 0;  // a reading that is no number rests the needle
    const double c = std::cos(a), s = std::sin(a);
    DialPoint p;
    p.x = DIAL_CENTER_X + int(-47.0 * c - 19.0 * s);
    p.y = DIAL_CENTER_Y + int(19.0 * c - 47.0 * s);
    return p;
}

unsigned Speed_Slower(unsigned percent) { return percent < 100 ? 50 : percent - 50; }

unsigned Speed_Faster(unsigned percent) { return percent + 50 > 200 ? 200 : percent + 50; }

const char* Speed_Label(unsigned percent) {
    switch (percent) {
        case 200: return "2x";
        case 150: return "1.5x";
        case 100: return "1x";
        case 50: return "0.5x";
        default: return "";
    }
}

int Volume_Up(int percent) { return percent + 10 > 100 ? 100 : percent + 10; }

int Volume_Down(int percent) { return percent - 10 < 0 ? 0 : percent - 10; }
