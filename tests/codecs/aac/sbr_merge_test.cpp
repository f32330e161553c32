// Mono merge of a channel pair's SBR data: borders, thinning, mean energies,
// noise floors, inverse filtering, sinusoids and transient index.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "codecs/aac/sbr_dec.h"

namespace {

double Value(SbrME v) { return v.m / 32768.0 * std::pow(2.0, v.e); }

struct Grid {
    std::vector<int> borders;
    std::vector<int> noiseBorders;
    int transient;
    SbrME level;  // every envelope band
    SbrME noise;
};

SbrChannelFrame Make(const Grid& g, const SbrBandTables& t) {
    SbrChannelFrame f;
    memset(&f, 0, sizeof(f));
    f.numEnv = (int)g.borders.size() - 1;
    for (size_t i = 0; i < g.borders.size(); i++) f.borders[i] = (uint8_t)g.borders[i];
    f.numNoise = (int)g.noiseBorders.size() - 1;
    for (size_t i = 0; i < g.noiseBorders.size(); i++)
        f.noiseBorders[i] = (uint8_t)g.noiseBorders[i];
    f.transientEnv = g.transient;
    for (int e = 0; e < f.numEnv; e++) {
        f.freqRes[e] = 1;
        for (int b = 0; b < t.nHigh; b++) f.env[e][b] = g.level;
    }
    for (int l = 0; l < f.numNoise; l++)
        for (int b = 0; b < t.nNoise; b++) f.noise[l][b] = g.noise;
    return f;
}

struct Case {
    const char* name;
    Grid ch0, ch1;
    std::vector<int> borders;       // merged
    std::vector<int> noiseBorders;  // merged
    int transient;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class SbrMerge : public ::testing::TestWithParam<Case> {};

TEST_P(SbrMerge, Grids) {
    const Case& c = GetParam();
    SbrHeader h;
    SbrHeaderDefaults(&h);
    SbrBandTables t;
    ASSERT_EQ(SbrBuildBandTables(&t, &h, 44100), 1);
    SbrChannelFrame f0 = Make(c.ch0, t), f1 = Make(c.ch1, t);
    uint8_t invf0[5] = {0, 3, 1, 0, 2}, invf1[5] = {2, 1, 1, 3, 0};
    f0.addHarmonic[3] = 1;
    f1.addHarmonic[7] = 1;
    const SbrChannelFrame keep1 = f1;
    SbrMergeChannels(&f0, invf0, &f1, invf1, &t);

    ASSERT_EQ(f0.numEnv, (int)c.borders.size() - 1);
    for (size_t i = 0; i < c.borders.size(); i++) EXPECT_EQ(f0.borders[i], c.borders[i]) << i;
    ASSERT_EQ(f0.numNoise, (int)c.noiseBorders.size() - 1);
    for (size_t i = 0; i < c.noiseBorders.size(); i++)
        EXPECT_EQ(f0.noiseBorders[i], c.noiseBorders[i]) << i;
    EXPECT_EQ(f0.transientEnv, c.transient);
    // Both grids carry one level each: every merged band is their mean.
    const double want = (Value(c.ch0.level) + Value(c.ch1.level)) / 2;
    const double wantNoise = (Value(c.ch0.noise) + Value(c.ch1.noise)) / 2;
    for (int e = 0; e < f0.numEnv; e++) {
        EXPECT_EQ(f0.freqRes[e], 1);
        for (int b = 0; b < t.nHigh; b++)
            EXPECT_NEAR(Value(f0.env[e][b]) / want, 1.0, 1e-3) << e << "/" << b;
    }
    for (int l = 0; l < f0.numNoise; l++)
        for (int b = 0; b < t.nNoise; b++)
            EXPECT_NEAR(Value(f0.noise[l][b]) / wantNoise, 1.0, 1e-3);
    const uint8_t invf[5] = {2, 3, 1, 3, 2};
    EXPECT_EQ(memcmp(invf0, invf, 5), 0);
    EXPECT_EQ(f0.addHarmonic[3], 1);
    EXPECT_EQ(f0.addHarmonic[7], 1);
    EXPECT_EQ(f0.addHarmonic[5], 0);
    EXPECT_EQ(memcmp(&f1, &keep1, sizeof(f1)), 0);
}

const SbrME k8 = {16384, 4}, k2 = {16384, 2}, kN0 = {16384, -3}, kN1 = {24576, -2};

INSTANTIATE_TEST_SUITE_P(Cases, SbrMerge,
                         ::testing::Values(Case{"same_grid",
                                                {{0, 8, 16}, {0, 8, 16}, -1, k8, kN0},
                                                {{0, 8, 16}, {0, 8, 16}, -1, k2, kN1},
                                                {0, 8, 16},
                                                {0, 8, 16},
                                                -1},
                                           Case{"one_slot_apart",
                                                {{0, 8, 16}, {0, 8, 16}, 1, k8, kN0},
                                                {{0, 9, 16}, {0, 16}, -1, k2, kN1},
                                                {0, 8, 16},
                                                {0, 8, 16},
                                                1},
                                           Case{"later_start_and_end",
                                                {{1, 16}, {1, 16}, -1, k8, kN0},
                                                {{0, 4, 8, 12, 17}, {0, 8, 17}, 2, k2, kN1},
                                                {1, 4, 8, 12, 17},
                                                {1, 8, 17},
                                                2},
                                           Case{"interleaved_thinned",
                                                {{0, 3, 6, 9, 12, 16}, {0, 6, 16}, 3, k8, kN0},
                                                {{0, 2, 5, 8, 11, 16}, {0, 5, 16}, 1, k2, kN1},
                                                {0, 2, 5, 8, 11, 16},
                                                {0, 5, 16},
                                                1},
                                           Case{"last_envelope_short",
                                                {{0, 4, 15}, {0, 4, 15}, -1, k8, kN0},
                                                {{0, 8, 16}, {0, 8, 16}, -1, k2, kN1},
                                                {0, 4, 8, 16},
                                                {0, 4, 16},
                                                -1}),
                         [](const ::testing::TestParamInfo<Case>& i) {
                             return std::string(i.param.name);
                         });

}  // namespace
