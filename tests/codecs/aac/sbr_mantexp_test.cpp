// Mantissa-exponent arithmetic against doubles.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "codecs/aac/sbr_mantexp.h"

namespace {

double Val(int16_t m, int e) { return m / 32768.0 * std::ldexp(1.0, e); }

TEST(SbrMantExp, AddDivSqrtMatchDoubles) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> mant(0x4000, 0x7fff), ex(-20, 20), sign(0, 1);
    double worstAdd = 0, worstDiv = 0, worstSqrt = 0;
    for (int i = 0; i < 20000; i++) {
        int16_t a = (int16_t)mant(rng), b = (int16_t)mant(rng);
        int ea = ex(rng), eb = ea + ex(rng) / 4;
        int16_t m;
        int e;
        SbrAddMantExp(a, ea, b, eb, &m, &e);
        double want = Val(a, ea) + Val(b, eb);
        worstAdd = std::max(worstAdd, std::fabs(Val(m, e) - want) / want);
        SbrDivMantExp(a, ea, b, eb, &m, &e);
        want = Val(a, ea) / Val(b, eb);
        worstDiv = std::max(worstDiv, std::fabs(Val(m, e) - want) / want);
        m = a;
        e = ea;
        SbrSqrtMantExp(&m, &e);
        want = std::sqrt(Val(a, ea));
        worstSqrt = std::max(worstSqrt, std::fabs(Val(m, e) - want) / want);
    }
    // Table lookups with 8-bit indices: a few 1e-3 relative error.
    EXPECT_LT(worstAdd, 1e-3);
    EXPECT_LT(worstDiv, 4e-3);
    EXPECT_LT(worstSqrt, 2e-3);
    printf("worst relative error: add %.2g div %.2g sqrt %.2g\n", worstAdd, worstDiv, worstSqrt);
}

struct EdgeCase {
    const char* name;
    int16_t m;
    int e;
    int16_t wantM;
    int wantE;
};

TEST(SbrMantExp, SqrtEdges) {
    const EdgeCase cases[] = {
        {"zero", 0, 5, 0, -16},
        {"negative", -100, 3, 0, -16},
        {"half", 0x4000, 0, 0x5A82, 0},
        {"two", 0x4000, 2, 0x5A82, 1},
    };
    for (const EdgeCase& c : cases) {
        int16_t m = c.m;
        int e = c.e;
        SbrSqrtMantExp(&m, &e);
        EXPECT_EQ(m, c.wantM) << c.name;
        EXPECT_EQ(e, c.wantE) << c.name;
    }
}

// A sum that would pass 16 bits moves up one exponent instead of wrapping.
TEST(SbrMantExp, AddCarriesIntoExponent) {
    int16_t m;
    int e;
    SbrAddMantExp(0x7fff, 3, 0x7fff, 3, &m, &e);
    EXPECT_EQ(e, 4);
    EXPECT_NEAR(Val(m, e), 2 * Val(0x7fff, 3), 1e-3);
}

}  // namespace

namespace {

// Re-expressing gains at another exponent: right shifts round to nearest,
// left shifts saturate, shifts beyond 32 count as 32.
TEST(SbrGains16, ShiftRoundsSaturatesAndClamps) {
    struct Case {
        int16_t in;
        int exponent, newExponent;
        int16_t want;
    };
    const Case cases[] = {
        {16384, 3, 3, 16384},
        {16384, 3, 4, 8192},
        {3, 0, 1, 2},
        {-3, 0, 1, -1},
        {5, 0, 2, 1},
        {6, 0, 2, 2},
        {-6, 0, 2, -1},
        {100, 0, -2, 400},
        {16384, 0, -1, 32767},
        {-16384, 0, -1, -32768},
        {-16385, 0, -1, -32768},
        {32767, 0, 40, 0},
        {-32768, 0, 40, 0},
        {1, 0, -40, 32767},
        {-1, 10, -30, -32768},
        {12345, -5, 10, 0},
        {32767, 0, 16, 0},
        {-32768, 0, 16, 0},
        {32767, 0, 15, 1},
        {-32768, 0, 15, -1},
        {0, 0, -32, 0},
    };
    for (const Case& c : cases) {
        int16_t v[3] = {c.in, c.in, c.in};
        SbrShiftGains16(v, c.exponent, c.newExponent, 2);
        EXPECT_EQ(v[0], c.want) << c.in << " from " << c.exponent << " to " << c.newExponent;
        EXPECT_EQ(v[1], c.want);
        EXPECT_EQ(v[2], c.in) << "past count";
    }
}

// Two gain sets meet at the larger exponent per subband: the value of each
// gain stays within the rounding of its new exponent, nothing saturates.
TEST(SbrGains16, AlignKeepsValuesAtTheLargerExponent) {
    struct Case {
        int16_t prev;
        int8_t prevExp;
        int16_t cur;
        int8_t curExp;
    };
    const Case cases[] = {
        {20000, 2, 20000, 2}, {30000, 5, 30000, 1},  {30000, 1, 30000, 5}, {-32768, 7, 32767, -3},
        {1, -20, 32767, 20},  {16384, 0, 16384, 40}, {-300, 3, 9, 3},
    };
    const int n = (int)(sizeof(cases) / sizeof(cases[0]));
    int16_t prev[n], cur[n];
    int8_t pe[n], ce[n];
    for (int k = 0; k < n; k++) {
        prev[k] = cases[k].prev, pe[k] = cases[k].prevExp;
        cur[k] = cases[k].cur, ce[k] = cases[k].curExp;
    }
    SbrAlignGains(prev, pe, cur, ce, n);
    for (int k = 0; k < n; k++) {
        const Case& c = cases[k];
        const int e = c.prevExp > c.curExp ? c.prevExp : c.curExp;
        EXPECT_EQ(pe[k], e) << k;
        EXPECT_EQ(ce[k], e) << k;
        const double ulp = std::ldexp(1.0, e - 15);
        EXPECT_LE(std::fabs(prev[k] * ulp - std::ldexp(c.prev, c.prevExp - 15)), ulp / 2 + 1e-300)
            << k;
        EXPECT_LE(std::fabs(cur[k] * ulp - std::ldexp(c.cur, c.curExp - 15)), ulp / 2 + 1e-300)
            << k;
        if (c.prevExp == e) {
            EXPECT_EQ(prev[k], c.prev) << k;
        }
        if (c.curExp == e) {
            EXPECT_EQ(cur[k], c.cur) << k;
        }
    }
}

}  // namespace
