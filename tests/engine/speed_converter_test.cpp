#include "engine/output/speed_converter.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<int16_t> Tone(double hz, uint32_t rate, uint32_t count, uint32_t start = 0) {
    std::vector<int16_t> v(count);
    for (uint32_t i = 0; i < count; ++i)
        v[i] = int16_t(std::lround(12000 * std::sin(2 * kPi * hz * (start + i) / rate)));
    return v;
}

// Share of the signal's energy at one frequency (Goertzel over the whole
// signal, normalised by its total energy): near 1 for a clean tone.
double ToneShare(const std::vector<int16_t>& s, double hz, uint32_t rate) {
    double w = 2 * kPi * hz / rate, c = 2 * std::cos(w), s1 = 0, s2 = 0, total = 0;
    for (int16_t x : s) {
        double s0 = x + c * s1 - s2;
        s2 = s1;
        s1 = s0;
        total += double(x) * x;
    }
    double power = s1 * s1 + s2 * s2 - c * s1 * s2;
    return total > 0 ? 2 * power / (total * s.size()) : 0;
}

struct Output {
    std::vector<int16_t> left, right;
};

// Feeds a signal through in blocks of the given size and collects the output.
Output Feed(SpeedConverter* c, const std::vector<int16_t>& l, const std::vector<int16_t>* r,
            uint32_t block) {
    Output out;
    for (uint32_t pos = 0; pos < l.size(); pos += block) {
        uint32_t n = std::min<uint32_t>(block, uint32_t(l.size()) - pos);
        std::vector<int16_t> bl(l.begin() + pos, l.begin() + pos + n), br;
        if (r) br.assign(r->begin() + pos, r->begin() + pos + n);
        PcmBlock b = {nullptr, bl.data(), r ? br.data() : nullptr, n, n, pos};
        EXPECT_EQ(1, SpeedConverter_Process(c, &b, nullptr));
        out.left.insert(out.left.end(), b.left, b.left + b.count);
        if (b.right) out.right.insert(out.right.end(), b.right, b.right + b.count);
    }
    return out;
}

TEST(SpeedConverter, CreateRejectsMoreThanTwoChannels) {
    EXPECT_EQ(nullptr, SpeedConverter_Create(48000, 3, 1024, 4096));
    EXPECT_EQ(nullptr, SpeedConverter_Create(48000, 0, 1024, 4096));
    SpeedConverter* c = SpeedConverter_Create(48000, 2, 1024, 4096);
    ASSERT_NE(nullptr, c);
    SpeedConverter_Destroy(c);
    SpeedConverter_Destroy(nullptr);
}

TEST(SpeedConverter, NormalSpeedPassesBlocksThrough) {
    SpeedConverter* c = SpeedConverter_Create(44100, 2, 1024, 4096);
    ASSERT_EQ(1, SpeedConverter_SetSpeed(c, 100));
    std::vector<int16_t> l = Tone(440, 44100, 1024), r = Tone(660, 44100, 1024);
    PcmBlock b = {nullptr, l.data(), r.data(), 1024, 1024, 77};
    EXPECT_EQ(1, SpeedConverter_Process(c, &b, nullptr));
    EXPECT_EQ(l.data(), b.left);
    EXPECT_EQ(r.data(), b.right);
    EXPECT_EQ(1024u, b.count);
    EXPECT_EQ(77u, b.timeMs);
    SpeedConverter_Destroy(c);
}

TEST(SpeedConverter, SpeedZeroIsRefusedAndKeepsTheRate) {
    SpeedConverter* c = SpeedConverter_Create(48000, 1, 1024, 4096);
    ASSERT_EQ(1, SpeedConverter_SetSpeed(c, 200));
    EXPECT_EQ(24000u, SpeedConverter_GetResampleRate(c));
    EXPECT_EQ(0, SpeedConverter_SetSpeed(c, 0));
    EXPECT_EQ(24000u, SpeedConverter_GetResampleRate(c));
    SpeedConverter_Destroy(c);
}

// Speed changes: the output length scales by 100 / speed and a tone stays a
// clean tone at the same pitch relative to the device rate (the device then
// plays the resampled stream at the input rate, so pitch and tempo change
// together).
struct SpeedCase {
    const char* name;
    uint32_t rate, speed, expectRate;
};

class SpeedChange : public ::testing::TestWithParam<SpeedCase> {};

TEST_P(SpeedChange, LengthAndToneFollowTheSpeed) {
    const SpeedCase& k = GetParam();
    SpeedConverter* c = SpeedConverter_Create(k.rate, 1, 1024, 4096);
    ASSERT_EQ(1, SpeedConverter_SetSpeed(c, k.speed));
    EXPECT_EQ(k.expectRate, SpeedConverter_GetResampleRate(c));
    const uint32_t n = k.rate;  // one second
    std::vector<int16_t> in = Tone(1000, k.rate, n);
    Output out = Feed(c, in, nullptr, 1024);
    double expected = double(n) * k.expectRate / k.rate;
    // The filter keeps back at most its own length (16 taps at the lower rate).
    EXPECT_NEAR(expected, double(out.left.size()), 40.0);
    // Skip the filter's start-up, then the tone must dominate.
    std::vector<int16_t> body(out.left.begin() + 64, out.left.end() - 64);
    EXPECT_GT(ToneShare(body, 1000, k.expectRate), 0.98);
    SpeedConverter_Destroy(c);
}

INSTANTIATE_TEST_SUITE_P(Speeds, SpeedChange,
                         ::testing::Values(SpeedCase{"half_speed_48k", 48000, 50, 96000},
                                           SpeedCase{"double_speed_48k", 48000, 200, 24000},
                                           SpeedCase{"one_and_half_44k", 44100, 150, 29400},
                                           SpeedCase{"slow_22k", 22050, 75, 29400}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SpeedConverter, StereoToMonoAtTheSameRateAveragesWithFloor) {
    SpeedConverter* c = SpeedConverter_Create(48000, 2, 1024, 4096);
    ASSERT_EQ(1, SpeedConverter_SetFormat(c, 48000, 1, 1));
    std::vector<int16_t> l = {1, -1, 32767, -32768, 3}, r = {2, -2, 32767, -32768, -4};
    PcmBlock b = {nullptr, l.data(), r.data(), 5, 5, 0};
    ASSERT_EQ(1, SpeedConverter_Process(c, &b, nullptr));
    ASSERT_EQ(5u, b.count);
    const int16_t want[] = {1, -2, 32767, -32768, -1};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(want[i], b.left[i]) << i;
    SpeedConverter_Destroy(c);
}

TEST(SpeedConverter, MonoToStereoAtAnotherRateFillsBothPlanes) {
    SpeedConverter* c = SpeedConverter_Create(22050, 1, 1024, 4096);
    ASSERT_EQ(1, SpeedConverter_SetFormat(c, 44100, 2, 1));
    std::vector<int16_t> in = Tone(500, 22050, 8192);
    Output out = Feed(c, in, nullptr, 1024);
    ASSERT_EQ(out.left.size(), out.right.size());
    EXPECT_NEAR(16384.0, double(out.left.size()), 40.0);
    EXPECT_EQ(out.left, out.right);
    SpeedConverter_Destroy(c);
}

TEST(SpeedConverter, OverlongBlockIsRefusedWithoutTouchingIt) {
    SpeedConverter* c = SpeedConverter_Create(48000, 1, 1024, 1024);
    ASSERT_EQ(1, SpeedConverter_SetSpeed(c, 50));
    std::vector<int16_t> big(4096, 100);
    PcmBlock b = {nullptr, big.data(), nullptr, 4096, 4096, 5};
    EXPECT_EQ(0, SpeedConverter_Process(c, &b, nullptr));
    EXPECT_EQ(big.data(), b.left);
    EXPECT_EQ(4096u, b.count);
    // A block that fits still converts afterwards.
    PcmBlock ok = {nullptr, big.data(), nullptr, 1024, 1024, 5};
    EXPECT_EQ(1, SpeedConverter_Process(c, &ok, nullptr));
    EXPECT_GT(ok.count, 1024u);
    SpeedConverter_Destroy(c);
}

}  // namespace
