// HF generation: chirp factor smoothing and the patch copy.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/codecs/aac/sbr_test_matrix.h"
#include "codecs/aac/sbr_hfgen.h"
#include "codecs/aac/sbr_kernels.h"

namespace {

struct ChirpCase {
    const char* name;
    uint8_t mode, prevMode;
    int32_t old;
    int32_t lo, hi;  // expected range (inclusive)
};

TEST(SbrHfGen, ChirpFactors) {
    const ChirpCase cases[] = {
        {"off_after_off", 0, 0, 0, 0, 0},
        {"off_after_light_keeps_0.6", 0, 1, 0, 0x4ccccd00 / 100 * 90, 0x4ccccd00},
        {"mode3_steady_below_cap", 3, 3, 0x7d70a400, 0x7d70a400 - 16, 0x7d70a400},
        {"mode2_from_zero", 2, 0, 0, 0x68000000, 0x69000000},
        {"tiny_result_is_zero", 0, 0, 0x4000000, 0, 0},
    };
    for (const ChirpCase& c : cases) {
        SbrHfState st = {};
        st.prevInvf[0] = c.prevMode;
        st.prevChirp[0] = c.old;
        int32_t out = -1;
        SbrChirpFactors(&st, 1, &c.mode, &out);
        EXPECT_GE(out, c.lo) << c.name;
        EXPECT_LE(out, c.hi) << c.name;
        EXPECT_LT(out, 0x7f800001) << c.name;
    }
}

SbrBandTables Tables() {
    SbrHeader h;
    SbrHeaderDefaults(&h);
    SbrBandTables t;
    EXPECT_EQ(SbrBuildBandTables(&t, &h, 44100), 1);
    return t;
}

struct GenCase {
    const char* name;
    int complexSet;
};

class SbrHfGenSets : public ::testing::TestWithParam<GenCase> {};

// With inverse filtering off the high band is the low band shifted right
// by 2, and the bands above the last patch are cleared.
TEST_P(SbrHfGenSets, PlainCopyWhenFilteringOff) {
    const int cx = GetParam().complexSet;
    SbrBandTables t = Tables();
    static SbrTestMatrix m;
    for (int l = 0; l < kSbrMatrixSlots; l++)
        for (int k = 0; k < 64; k++) {
            m.re[l][k] = (l * 7919 + k * 104729) % 200001 - 100000;
            m.im[l][k] = (l * 6007 + k * 7001) % 150001 - 75000;
        }
    SbrHfState st = {};
    uint8_t invf[5] = {};
    (cx ? SbrHfGenerateComplex : SbrHfGenerateReal)(&m, &t, &st, invf, 2, kSbrMatrixSlots);
    int k = t.kx;
    for (int p = 0; p < t.numPatches; p++)
        for (int b = 0; b < t.patchCount[p]; b++, k++)
            for (int l = 2; l < kSbrMatrixSlots; l++) {
                int src = t.patchSource[p] + b;
                ASSERT_EQ(m.re[l][k], m.re[l][src] >> 2) << k << " " << l;
                if (cx) {
                    ASSERT_EQ(m.im[l][k], m.im[l][src] >> 2);
                }
            }
    for (; k < 64; k++) ASSERT_EQ(m.re[5][k], 0);
    if (!cx) {
        EXPECT_EQ(m.im[5][63], (5 * 6007 + 63 * 7001) % 150001 - 75000);  // untouched
    }
}

// A silent low band gives a silent high band whatever the filtering.
TEST_P(SbrHfGenSets, SilentSourceStaysSilent) {
    const int cx = GetParam().complexSet;
    SbrBandTables t = Tables();
    static SbrTestMatrix m;
    m.Clear();
    SbrHfState st = {};
    uint8_t invf[5] = {3, 3, 3, 3, 3};
    (cx ? SbrHfGenerateComplex : SbrHfGenerateReal)(&m, &t, &st, invf, 2, kSbrMatrixSlots);
    for (int l = 0; l < kSbrMatrixSlots; l++)
        for (int k = 0; k < 64; k++) ASSERT_EQ(m.re[l][k], 0);
    EXPECT_GT(st.prevChirp[0], 0);
}

// A decaying complex exponential is predicted from its past: strong
// inverse filtering removes most of it.
TEST(SbrHfGen, InverseFilteringWhitensPredictableBand) {
    SbrBandTables t = Tables();
    static SbrTestMatrix m;
    m.Clear();
    int src = t.patchSource[0];
    double re = 1e6, im = 0;
    for (int l = 0; l < kSbrMatrixSlots; l++) {
        m.re[l][src] = (int32_t)re;
        m.im[l][src] = (int32_t)im;
        double c = 0.9 * std::cos(0.7), s = 0.9 * std::sin(0.7);
        double nr = re * c - im * s, ni = re * s + im * c;
        re = nr;
        im = ni;
    }
    SbrHfState st = {};
    st.prevInvf[0] = 3;
    st.prevChirp[0] = 0x7f800000;
    uint8_t invf[5] = {3, 3, 3, 3, 3};
    SbrHfGenerateComplex(&m, &t, &st, invf, 2, kSbrMatrixSlots);
    double inE = 0, outE = 0;
    for (int l = 10; l < kSbrMatrixSlots; l++) {
        inE += std::pow(m.re[l][src] / 4.0, 2) + std::pow(m.im[l][src] / 4.0, 2);
        outE += std::pow((double)m.re[l][t.kx], 2) + std::pow((double)m.im[l][t.kx], 2);
    }
    EXPECT_LT(outE, inE * 0.1);
}

INSTANTIATE_TEST_SUITE_P(Sets, SbrHfGenSets,
                         ::testing::Values(GenCase{"complex", 1}, GenCase{"real", 0}),
                         [](const ::testing::TestParamInfo<GenCase>& i) {
                             return std::string(i.param.name);
                         });

}  // namespace
