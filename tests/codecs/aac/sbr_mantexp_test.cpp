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
