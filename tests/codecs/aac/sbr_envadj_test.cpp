// Envelope adjustment: the adjusted high band carries the transmitted
// energies, noise fills a silent band, the limiter holds gains.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "tests/codecs/aac/sbr_test_matrix.h"
#include "codecs/aac/sbr_envadj.h"
#include "codecs/aac/sbr_kernels.h"

namespace {

const SbrKernelSet* Kernels(int complexSet) {
    static SbrKernelSet sets[2];
    SbrSelectKernels(&sets[complexSet ? 1 : 0], complexSet);
    return &sets[complexSet ? 1 : 0];
}

SbrME FromDouble(double v) {
    if (v <= 0) return SbrME{0, -64};
    int e = (int)std::floor(std::log2(v)) + 1;
    return SbrME{(int16_t)std::lround(v / std::ldexp(1.0, e) * 32768.0), (int16_t)e};
}

struct Fixture {
    SbrHeader h;
    SbrBandTables t;
    SbrChannelFrame f;
    SbrEnvAdjustState st;
    SbrTestMatrix m;
    int slotExp[kSbrMatrixSlots];
    Fixture() {
        SbrHeaderDefaults(&h);
        h.limiterGains = 3;
        h.smoothingMode = 1;
        h.interpolFreq = 1;
        EXPECT_EQ(SbrBuildBandTables(&t, &h, 44100), 1);
        memset(&f, 0, sizeof(f));
        f.numEnv = 2;
        f.borders[0] = 0;
        f.borders[1] = 8;
        f.borders[2] = 16;
        f.freqRes[0] = 1;
        f.freqRes[1] = 0;
        f.transientEnv = -1;
        f.numNoise = 1;
        f.noiseBorders[0] = 0;
        f.noiseBorders[1] = 16;
        SbrEnvAdjustInit(&st);
        m.Clear();
    }
    // Energy per subband over an envelope, in true units.
    double Energy(int e, int k, int outExp) const {
        double s = 0;
        for (int l = 2 * f.borders[e]; l < 2 * f.borders[e + 1]; l++)
            s += std::pow(m.re[l][k], 2.0) + std::pow(m.im[l][k], 2.0);
        return s / (2.0 * (f.borders[e + 1] - f.borders[e])) / std::ldexp(1.0, 2 * outExp);
    }
};

TEST(SbrEnvAdjust, HighBandTakesTransmittedEnergies) {
    static Fixture fx;
    std::mt19937 rng(3);
    std::normal_distribution<double> g(0, 1e6);
    for (int l = 0; l < kSbrMatrixSlots; l++)
        for (int k = fx.t.kx; k < 64; k++) {
            fx.m.re[l][k] = (int32_t)g(rng);
            fx.m.im[l][k] = (int32_t)g(rng);
        }
    const int inExp = 4;
    std::uniform_real_distribution<double> db(40, 110);
    double want[2][48];
    for (int e = 0; e < 2; e++) {
        int nb = fx.f.freqRes[e] ? fx.t.nHigh : fx.t.nLow;
        for (int b = 0; b < nb; b++) {
            want[e][b] = std::pow(10.0, db(rng) / 10);
            fx.f.env[e][b] = FromDouble(want[e][b]);
        }
    }
    for (int b = 0; b < 5; b++) fx.f.noise[0][b] = FromDouble(1e-6);
    int outExp = SbrAdjustEnvelope(&fx.m, &fx.t, &fx.h, &fx.f, &fx.st, inExp, fx.slotExp,
                                   Kernels(1), nullptr);
    for (int e = 0; e < 2; e++) {
        const uint8_t* table = fx.f.freqRes[e] ? fx.t.high : fx.t.low;
        int nb = fx.f.freqRes[e] ? fx.t.nHigh : fx.t.nLow;
        for (int b = 0; b < nb; b++)
            for (int k = table[b]; k < table[b + 1]; k++) {
                double got = fx.Energy(e, k, outExp);
                // Table-driven division and square root: well inside 0.2 dB.
                EXPECT_NEAR(10 * std::log10(got / want[e][b]), 0.0, 0.2)
                    << "env " << e << " k " << k;
            }
    }
    EXPECT_EQ(fx.slotExp[5], outExp);
}

// A nearly silent generated band is filled with noise at the transmitted
// energy (half from the gain on the weak band, half from noise).
TEST(SbrEnvAdjust, NoiseFillsSilentBand) {
    static Fixture fx;
    for (int l = 0; l < kSbrMatrixSlots; l++)
        for (int k = fx.t.kx; k < 64; k++) {
            fx.m.re[l][k] = ((l + k) & 1) ? 16 : -16;  // true amplitude 1 at exponent 4
            fx.m.im[l][k] = 16;
        }
    fx.f.numEnv = 1;
    fx.f.borders[1] = 16;
    fx.f.freqRes[0] = 0;
    double want = 1e8;
    for (int b = 0; b < fx.t.nLow; b++) fx.f.env[0][b] = FromDouble(want);
    for (int b = 0; b < 5; b++) fx.f.noise[0][b] = FromDouble(1.0);
    int outExp =
        SbrAdjustEnvelope(&fx.m, &fx.t, &fx.h, &fx.f, &fx.st, 4, fx.slotExp, Kernels(1), nullptr);
    double sum = 0;
    int n = 0;
    for (int k = fx.t.kx; k < fx.t.kx + fx.t.m; k++, n++) sum += fx.Energy(0, k, outExp);
    EXPECT_NEAR(10 * std::log10(sum / n / want), 0.0, 1.0)
        << "outExp " << outExp << " sum " << sum << " re " << fx.m.re[3][fx.t.kx];
}

// With limiter gain 0 dB a weak source band may not be boosted to a loud
// envelope beyond the limiter band's average gain.
TEST(SbrEnvAdjust, LimiterCapsGain) {
    static Fixture fx;
    fx.h.limiterGains = 0;
    fx.h.limiterBands = 0;
    SbrBuildLimiterTable(&fx.t, 0);
    fx.f.numEnv = 1;
    fx.f.borders[1] = 16;
    fx.f.freqRes[0] = 1;
    for (int l = 0; l < kSbrMatrixSlots; l++)
        for (int k = fx.t.kx; k < 64; k++) fx.m.re[l][k] = fx.m.im[l][k] = 1 << 20;
    for (int b = 0; b < fx.t.nHigh; b++) fx.f.env[0][b] = FromDouble(b == 0 ? 1e14 : 1e6);
    for (int b = 0; b < 5; b++) fx.f.noise[0][b] = FromDouble(1e-6);
    int outExp =
        SbrAdjustEnvelope(&fx.m, &fx.t, &fx.h, &fx.f, &fx.st, 4, fx.slotExp, Kernels(1), nullptr);
    double e0 = fx.Energy(0, fx.t.high[0], outExp);
    EXPECT_LT(e0, 1e14 / 2);  // limited well below the request
    EXPECT_GT(e0, 0.0);
}

// A limiter table whose thinning left its top border under the top of the
// SBR range: the subbands above it stay silent in both kernel sets. The
// real set's aliasing reduction, which draws neighbouring gains together,
// once lent them a gain (9 dB too loud in the top 1.5 kHz of such streams).
TEST(SbrEnvAdjust, BandsAboveTheLimiterTableStaySilent) {
    struct Case {
        const char* name;
        int complexSet;
    };
    for (const Case& c : {Case{"complex", 1}, Case{"real", 0}}) {
        static Fixture fx;
        fx = Fixture();
        fx.f.numEnv = 1;
        fx.f.borders[1] = 16;
        fx.f.freqRes[0] = 1;
        const int kEnd = fx.t.kx + fx.t.m;
        ASSERT_GT(fx.t.nLimiter, 1);
        fx.t.nLimiter--;  // the top border thinned out
        const int top = fx.t.limiter[fx.t.nLimiter];
        ASSERT_LT(top, kEnd);
        for (int l = 0; l < kSbrMatrixSlots; l++)
            for (int k = fx.t.kx; k < 64; k++) {
                fx.m.re[l][k] = ((l * 7 + k * 3) % 5 - 2) * (1 << 20);
                fx.m.im[l][k] = c.complexSet ? ((l * 3 + k) % 5 - 2) * (1 << 20) : 0;
            }
        for (int b = 0; b < fx.t.nHigh; b++) fx.f.env[0][b] = FromDouble(1e12);
        for (int b = 0; b < 5; b++) fx.f.noise[0][b] = FromDouble(1e-3);
        int16_t degree[64];
        for (int k = 0; k < 64; k++) degree[k] = k > fx.t.kx ? 32767 : 0;
        const int outExp =
            SbrAdjustEnvelope(&fx.m, &fx.t, &fx.h, &fx.f, &fx.st, 4, fx.slotExp,
                              Kernels(c.complexSet), c.complexSet ? nullptr : degree);
        for (int k = top; k < kEnd; k++)
            EXPECT_EQ(fx.Energy(0, k, outExp), 0.0) << c.name << " k " << k;
        EXPECT_GT(fx.Energy(0, top - 1, outExp), 0.0) << c.name;
    }
}

}  // namespace

namespace {

double ToDouble(SbrME a) { return a.m / 32768.0 * std::ldexp(1.0, a.e); }

struct AliasCase {
    const char* name;
    double gain[4];
    double est[4];
    double degree[4];  // 0..1 per band
    uint8_t sine[4];
    bool equalised01;  // bands 0 and 1 end with one gain
    bool untouched;    // every gain stays as it was
};

}  // namespace

// The post-step keeps each run's output energy, equalises full aliasing,
// and leaves unrelated or sinusoid bands alone.
TEST(SbrReduceAliasing, GroupsKeepTheirEnergy) {
    const AliasCase cases[] = {
        {"full pair", {4.0, 0.25, 1.0, 1.0}, {1.0, 3.0, 2.0, 2.0}, {0, 1, 0, 0}, {}, true, false},
        {"half degree",
         {4.0, 0.25, 1.0, 1.0},
         {1.0, 3.0, 2.0, 2.0},
         {0, 0.5, 0, 0},
         {},
         false,
         false},
        {"run of three", {8.0, 0.5, 2.0, 1.0}, {0.5, 4.0, 1.0, 2.0}, {0, 1, 1, 0}, {}, true, false},
        {"uneven degrees",
         {8.0, 0.5, 2.0, 1.0},
         {0.5, 4.0, 1.0, 2.0},
         {0, 1, 0.3, 0},
         {},
         true,
         false},
        {"no aliasing", {4.0, 0.25, 1.0, 9.0}, {1.0, 3.0, 2.0, 2.0}, {0, 0, 0, 0}, {}, false, true},
        {"sinusoid band",
         {4.0, 0.25, 1.0, 9.0},
         {1.0, 3.0, 2.0, 2.0},
         {0, 1, 0, 0},
         {0, 1, 0, 0},
         false,
         true},
    };
    for (const AliasCase& c : cases) {
        SCOPED_TRACE(c.name);
        SbrME g[64], est[64];
        int16_t deg[64] = {};
        uint8_t sine[64] = {};
        const int k0 = 20;
        for (int j = 0; j < 4; j++) {
            g[k0 + j] = FromDouble(c.gain[j]);
            est[k0 + j] = FromDouble(c.est[j]);
            deg[k0 + j] = (int16_t)std::lround(c.degree[j] * 32767.0);
            sine[k0 + j] = c.sine[j];
        }
        double before = 0;
        for (int j = 0; j < 4; j++) before += c.gain[j] * c.est[j];
        SbrReduceAliasing(g, est, deg, sine, k0, k0 + 4);
        double after = 0;
        for (int j = 0; j < 4; j++) after += ToDouble(g[k0 + j]) * c.est[j];
        EXPECT_NEAR(after / before, 1.0, 0.01);
        if (c.equalised01) {
            EXPECT_NEAR(ToDouble(g[k0]) / ToDouble(g[k0 + 1]), 1.0, 0.01);
        }
        if (c.untouched) {
            for (int j = 0; j < 4; j++) EXPECT_NEAR(ToDouble(g[k0 + j]) / c.gain[j], 1.0, 0.002);
        } else {
            // the gap between the pair's gains narrows
            EXPECT_LT(ToDouble(g[k0]) / ToDouble(g[k0 + 1]), c.gain[0] / c.gain[1] * 0.9);
        }
    }
}
