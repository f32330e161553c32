// The main dialog's instruments: the graph's time and axis mapping, its
// curves over a clip's records (flat across position samples), the play
// cursor, the speedometer's text and needle, and the speed and volume
// steps.
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/instruments.h"

namespace {

struct Sample {
    uint32_t timeMs;
    std::vector<uint8_t> bytes;
};

std::unique_ptr<TextSampleTable> Table(const std::vector<Sample>& samples) {
    std::unique_ptr<TextSampleTable> t(new TextSampleTable());
    std::memset(t.get(), 0, sizeof(*t));
    for (size_t i = 0; i < samples.size(); ++i) {
        t->samples[i].timeMs = samples[i].timeMs;
        std::memcpy(t->samples[i].data, samples[i].bytes.data(), samples[i].bytes.size());
    }
    t->count = uint32_t(samples.size());
    return t;
}

// A G-sensor record with its marker at byte `at`.
std::vector<uint8_t> G(int8_t x, int8_t y, int8_t z, int at = 0) {
    std::vector<uint8_t> b(size_t(at), uint8_t('x'));
    b.insert(b.end(), {'M', uint8_t(x), uint8_t(y), uint8_t(z), 0, 0, 0, 24, 3, 15, 9, 30, 0});
    return b;
}

std::vector<uint8_t> Gps() {
    const std::string s = "$GPRMC,003000,A,3733.99,N,12658.68,E,16.2,45,150324,,";
    return std::vector<uint8_t>(s.begin(), s.end());
}

}  // namespace

TEST(Instruments, GraphMapping) {
    struct Case {
        const char* name;
        int got, expected;
    };
    const Case cases[] = {
        {"sample at 0", Graph_SampleX(0, 4000), 42},
        {"sample at the duration, just left of 551", Graph_SampleX(4000, 4000), 550},
        {"sample at half", Graph_SampleX(2000, 4000), 42 + 254},
        {"duration 0", Graph_SampleX(0, 0), 42},
        {"largest times do not wrap", Graph_SampleX(0xFFFFFFFFu, 0xFFFFFFFFu), 550},
        {"cursor, no clip", Graph_CursorX(0, 0), 42},
        {"cursor at the end uses 508", Graph_CursorX(4000, 4000), 549},
        {"axis +127 on row 6", Graph_AxisY(127), 6},
        {"axis 0 on row 47", Graph_AxisY(0), 47},
        {"axis -128 on row 89", Graph_AxisY(-128), 89},
        {"axis -1", Graph_AxisY(-1), 47},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.name;
}

TEST(Instruments, CurvesAreFlatAcrossPositionSamples) {
    // Two G-sensor records (marker at byte 0 and at byte 1) with position
    // samples before, between and after them.
    auto t = Table({{0, Gps()},
                    {500, G(127, 0, -128)},
                    {1000, Gps()},
                    {1500, Gps()},
                    {2000, G(-128, 127, 0, 1)},
                    {2500, Gps()}});
    const auto seg = Graph_BuildCurves(*t, t->count, 3000);
    ASSERT_EQ(seg.size(), 6u);
    struct Row {
        int fromX, toX;
        int y[3];  // rows at the segment's end
        bool flat;  // every axis keeps its row
    };
    const Row rows[] = {
        {42, 42, {47, 47, 47}, true},  // before any record: value 0, from the first point
        {42, 126, {6, 47, 89}, false},
        {126, 211, {6, 47, 89}, true},
        {211, 296, {6, 47, 89}, true},
        {296, 381, {89, 6, 47}, false},
        {381, 466, {89, 6, 47}, true},
    };
    for (size_t i = 0; i < seg.size(); ++i) {
        EXPECT_EQ(seg[i].from.x, rows[i].fromX) << i;
        EXPECT_EQ(seg[i].to.x, rows[i].toX) << i;
        for (int a = 0; a < 3; ++a) {
            EXPECT_EQ(seg[i].to.y[a], rows[i].y[a]) << i << " axis " << a;
            if (rows[i].flat) {
                EXPECT_EQ(seg[i].from.y[a], seg[i].to.y[a]) << i << " axis " << a;
            }
        }
    }
    // Each segment starts where the previous one ended.
    for (size_t i = 1; i < seg.size(); ++i) {
        EXPECT_EQ(seg[i].from.x, seg[i - 1].to.x);
        for (int a = 0; a < 3; ++a) EXPECT_EQ(seg[i].from.y[a], seg[i - 1].to.y[a]);
    }
}

TEST(Instruments, CurveEdges) {
    auto one = Table({{700, G(0, 10, -10)}});
    auto seg = Graph_BuildCurves(*one, 1, 700);
    ASSERT_EQ(seg.size(), 1u);
    EXPECT_EQ(seg[0].from.x, 42);
    EXPECT_EQ(seg[0].from.y[1], seg[0].to.y[1]);  // the first segment is level
    EXPECT_TRUE(Graph_BuildCurves(*one, 0, 700).empty());
    // A count beyond the table is held to the table.
    EXPECT_EQ(Graph_BuildCurves(*one, TEXT_SAMPLE_MAX + 5, 700).size(), size_t(TEXT_SAMPLE_MAX));
}

TEST(Instruments, Speedometer) {
    struct Case {
        const char* name;
        float kmh;
        const char* text;
        int tipX, tipY;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {"rest", 0.0f, "  0", 39, 103},
        {"100 km/h", 100.0f, "100", 76, 35},
        {"9.9 shows 9", 9.9f, "  9", -1, -1},
        {"10", 10.0f, " 10", -1, -1},
        {"99.99", 99.99f, " 99", -1, -1},
        {"no number rests", nan, "  0", 39, 103},
        {"infinite rests the needle", inf, "1000000", 39, 103},
    };
    for (const Case& c : cases) {
        char text[32];
        Dial_SpeedText(c.kmh, text, sizeof text);
        EXPECT_STREQ(text, c.text) << c.name;
        if (c.tipX < 0) continue;
        const DialPoint p = Dial_NeedleTip(c.kmh);
        EXPECT_EQ(p.x, c.tipX) << c.name;
        EXPECT_EQ(p.y, c.tipY) << c.name;
    }
    // The needle stays on its circle of radius sqrt(47^2 + 19^2) ~ 50.7.
    for (float v = 0; v <= 240; v += 7.5f) {
        const DialPoint p = Dial_NeedleTip(v);
        const double r = std::hypot(p.x - DIAL_CENTER_X, p.y - DIAL_CENTER_Y);
        EXPECT_NEAR(r, 50.7, 1.5) << v;
    }
}

TEST(Instruments, SpeedSteps) {
    // Four presses of Faster from 100, then Slower down past the bottom.
    struct Case {
        bool faster;
        unsigned expected;
        const char* label;
    };
    const Case presses[] = {
        {true, 150, "1.5x"}, {true, 200, "2x"}, {true, 200, "2x"}, {true, 200, "2x"},
        {false, 150, "1.5x"}, {false, 100, "1x"}, {false, 50, "0.5x"}, {false, 50, "0.5x"},
    };
    unsigned speed = 100;
    for (const Case& c : presses) {
        speed = c.faster ? Speed_Faster(speed) : Speed_Slower(speed);
        EXPECT_EQ(speed, c.expected);
        EXPECT_STREQ(Speed_Label(speed), c.label);
    }
    EXPECT_STREQ(Speed_Label(75), "");
}

TEST(Instruments, VolumeKeys) {
    struct Case {
        int from, up, down;
    };
    const Case cases[] = {{95, 100, 85}, {5, 15, 0}, {100, 100, 90}, {0, 10, 0}, {50, 60, 40}};
    for (const Case& c : cases) {
        EXPECT_EQ(Volume_Up(c.from), c.up) << c.from;
        EXPECT_EQ(Volume_Down(c.from), c.down) << c.from;
    }
}
