// Parametric stereo mixing and decorrelation: the mixing matrices at the
// corner parameters, the angle-to-table index, envelope interpolation,
// transient reduction, and whole frames with known outcomes.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <random>
#include <vector>

#include "codecs/aac/ps.h"

namespace {

TEST(PsMix, CosSin) {
    struct Case {
        double angle;
    } cases[] = {{0},   {M_PI / 6}, {M_PI / 4},  {M_PI / 3}, {M_PI / 2},
                 {2.0}, {M_PI},     {-M_PI / 3}, {-1.2}};
    for (const Case& c : cases) {
        int32_t co, si;
        PsCosSin((int32_t)std::lround(c.angle * 16384), &co, &si);
        // One table step is 2 pi / 2048.
        EXPECT_NEAR(co / 32768.0, std::cos(c.angle), 0.004) << c.angle;
        EXPECT_NEAR(si / 32768.0, std::sin(c.angle), 0.004) << c.angle;
    }
}

TEST(PsDecorrelate, PhaseTablesStayWithinQ15) {
    // The decorrelator's products with these skip saturation: a value of
    // -32768 would let one overflow.
    for (int i = 0; i < kPsAllpassBands * 2; i++) EXPECT_GE(kPsFractPhase[i], -32767) << i;
    for (int i = 0; i < 3 * kPsAllpassBands * 2; i++) EXPECT_GE(kPsLinkPhase[i], -32767) << i;
}

TEST(PsMix, Matrices) {
    struct Case {
        const char* name;
        int iid, icc, fine;
        double h11, h12, h21, h22;
    } cases[] = {
        {"IID 0, ICC 0: both channels mono", 0, 0, 0, 1, 1, 0, 0},
        {"IID 0, ICC 7: decorrelated and its negation", 0, 7, 0, 0, 0, 1, -1},
        {"IID 0, ICC 5 (rho 0): 45 degrees", 0, 5, 0, M_SQRT1_2, M_SQRT1_2, M_SQRT1_2, -M_SQRT1_2},
        {"IID +7, ICC 0: left 25 dB louder", 7, 0, 0, 23134 / 16384.0, 1301 / 16384.0, 0, 0},
        {"IID -7, ICC 0: right 25 dB louder", -7, 0, 0, 1301 / 16384.0, 23134 / 16384.0, 0, 0},
        {"fine IID +15, ICC 0", 15, 0, 1, 23170 / 16384.0, 73 / 16384.0, 0, 0},
    };
    for (const Case& c : cases) {
        int16_t h[4];
        PsMixMatrix(c.iid, c.icc, c.fine, h);
        EXPECT_NEAR(h[0] / 16384.0, c.h11, 0.005) << c.name;
        EXPECT_NEAR(h[1] / 16384.0, c.h12, 0.005) << c.name;
        EXPECT_NEAR(h[2] / 16384.0, c.h21, 0.005) << c.name;
        EXPECT_NEAR(h[3] / 16384.0, c.h22, 0.005) << c.name;
    }
    // The general case against the standard's formulas.
    const double rho[8] = {1, 0.937, 0.84118, 0.60092, 0.36764, 0, -0.589, -1};
    const double db[15] = {-25, -18, -14, -10, -7, -4, -2, 0, 2, 4, 7, 10, 14, 18, 25};
    for (int iid = -7; iid <= 7; iid++)
        for (int icc = 0; icc < 8; icc++) {
            const double c = std::pow(10, db[iid + 7] / 20);
            const double c1 = std::sqrt(2 / (1 + c * c)), c2 = std::sqrt(2 * c * c / (1 + c * c));
            const double a = 0.5 * std::acos(rho[icc]), b = a * (c1 - c2) / M_SQRT2;
            int16_t h[4];
            PsMixMatrix(iid, icc, 0, h);
            EXPECT_NEAR(h[0] / 16384.0, c2 * std::cos(b + a), 0.006) << iid << " " << icc;
            EXPECT_NEAR(h[1] / 16384.0, c1 * std::cos(b - a), 0.006) << iid << " " << icc;
            EXPECT_NEAR(h[2] / 16384.0, c2 * std::sin(b + a), 0.006) << iid << " " << icc;
            EXPECT_NEAR(h[3] / 16384.0, c1 * std::sin(b - a), 0.006) << iid << " " << icc;
        }
}

// A PS state whose parameters are one constant set over `numEnv` fixed
// envelopes.
void SetParams(PsState* ps, int iid, int icc, int numEnv = 1) {
    PsParams& p = ps->params;
    p.numEnv = numEnv;
    p.iidFine = 0;
    for (int e = 0; e <= numEnv; e++) p.border[e] = (uint8_t)(32 * e / numEnv);
    for (int e = 0; e < numEnv; e++)
        for (int b = 0; b < kPsStereoBands; b++) {
            p.iid[e][b] = (int8_t)iid;
            p.icc[e][b] = (int8_t)icc;
        }
}

TEST(PsMix, OneSlotEnvelopeReachesItsTarget) {
    static PsState ps;
    PsDecoderInit(&ps);
    ps.params.numEnv = 2;
    ps.params.border[0] = 0;
    ps.params.border[1] = 1;
    ps.params.border[2] = 32;
    for (int b = 0; b < kPsStereoBands; b++) {
        ps.params.icc[0][b] = 7;
        ps.params.iid[0][b] = 0;
    }
    ps.bandLimit = 64;
    PsMix(&ps, 0, 64);
    int32_t s[kPsSignalBands] = {0}, d[kPsSignalBands] = {0}, r[kPsSignalBands], ri[kPsSignalBands];
    int32_t si[kPsSignalBands] = {0}, di[kPsSignalBands] = {0};
    PsApplyMix(&ps, s, si, d, di, r, ri);
    for (int g = 0; g < kPsGroups; g++) {
        EXPECT_NEAR(ps.h[g][0], 0, 2) << g;
        EXPECT_NEAR(ps.h[g][2], 16384, 2) << g;
        EXPECT_NEAR(ps.h[g][3], -16384, 2) << g;
    }
}

TEST(PsMix, EnvelopeSlotsStepTowardsTheTarget) {
    // From the initial mono mixing (h11 = 1) to ICC 7 (h11 = 0) over an
    // envelope of len slots: slot n (from 0) mixes with h11 = 1 - (n + 1) /
    // len, so the first slot has moved one step and the last holds the target.
    for (int len : {1, 3, 8, 32}) {
        static PsState ps;
        PsDecoderInit(&ps);
        ps.params.numEnv = 1;
        ps.params.border[0] = 0;
        ps.params.border[1] = (uint8_t)len;
        for (int b = 0; b < kPsStereoBands; b++) {
            ps.params.iid[0][b] = 0;
            ps.params.icc[0][b] = 7;
        }
        ps.bandLimit = 64;
        PsMix(&ps, 0, 64);
        for (int n = 0; n < len; n++) {
            int32_t s[kPsSignalBands], si[kPsSignalBands] = {0}, d[kPsSignalBands] = {0},
                                       di[kPsSignalBands] = {0}, r[kPsSignalBands],
                                       ri[kPsSignalBands];
            for (int i = 0; i < kPsSignalBands; i++) s[i] = 1 << 14;
            PsApplyMix(&ps, s, si, d, di, r, ri);
            const double want = 16384.0 * (1 - (n + 1.0) / len);
            EXPECT_NEAR(s[20], want, 4 + n) << "length " << len << ", slot " << n;  // left = h11
        }
    }
}

// Slot pointers over a frame's rows, as the decoder hands them over.
template <int N>
struct Rows {
    int32_t* p[N];
    explicit Rows(int32_t (*a)[64]) {
        for (int i = 0; i < N; i++) p[i] = a[i];
    }
};

struct Frame {
    int32_t re[38][64], im[38][64], rre[32][64], rim[32][64], inRe[38][64], inIm[38][64];
    int highExp[38];
};

// Random QMF matrix of one frame: the previous frame's last 6 slots, then
// 32 new ones.
void Fill(Frame* f, std::mt19937& rng, int amp) {
    std::uniform_int_distribution<int32_t> d(-amp, amp);
    for (int l = 0; l < 6; l++)
        for (int k = 0; k < 64; k++) {
            f->re[l][k] = f->inRe[l][k] = f->inRe[l + 32][k];
            f->im[l][k] = f->inIm[l][k] = f->inIm[l + 32][k];
        }
    for (int l = 6; l < 38; l++)
        for (int k = 0; k < 64; k++) {
            f->re[l][k] = f->inRe[l][k] = d(rng);
            f->im[l][k] = f->inIm[l][k] = d(rng);
        }
    for (int l = 0; l < 38; l++) f->highExp[l] = 20;
}

TEST(PsFrame, Iid0Icc0GivesTheMonoSignalOnBothChannels) {
    static PsState ps;
    PsDecoderInit(&ps);
    SetParams(&ps, 0, 0);
    static Frame f;
    std::mt19937 rng(11);
    for (int frame = 0; frame < 3; frame++) {
        Fill(&f, rng, 1 << 28);
        const int e = PsApplyFrame(&ps, Rows<38>(f.re).p, Rows<38>(f.im).p, Rows<32>(f.rre).p,
                                   Rows<32>(f.rim).p, 20, f.highExp, 20, 48);
        EXPECT_EQ(e, 19);
        if (frame == 0) continue;  // the hybrid history starts empty
        double maxErr = 0;
        for (int l = 0; l < 32; l++)
            for (int k = 0; k < 48; k++) {
                // Output at exponent 19 is the input at 20 halved.
                const double want = f.inRe[l][k] / 2.0;
                maxErr = std::fmax(maxErr, std::fabs(f.re[l][k] - want));
                maxErr = std::fmax(maxErr, std::fabs(f.rre[l][k] - want));
                maxErr = std::fmax(maxErr, std::fabs(f.rim[l][k] - f.inIm[l][k] / 2.0));
            }
        // Bands 0..2 pass the hybrid filters: the rounding of their Q15
        // coefficients, a few parts in 2^15.
        EXPECT_LT(maxErr, (1 << 27) * 4e-4) << frame;

        for (int l = 0; l < 32; l++)
            for (int k = 48; k < 64; k++) EXPECT_EQ(f.rre[l][k], 0);
    }
}

TEST(PsFrame, Icc7GivesOppositeChannels) {
    static PsState ps;
    PsDecoderInit(&ps);
    SetParams(&ps, 0, 7);
    static Frame f;
    std::mt19937 rng(5);
    double sumPow = 0, diffPow = 0;
    for (int frame = 0; frame < 4; frame++) {
        Fill(&f, rng, 1 << 28);
        PsApplyFrame(&ps, Rows<38>(f.re).p, Rows<38>(f.im).p, Rows<32>(f.rre).p, Rows<32>(f.rim).p,
                     20, f.highExp, 20, 64);
        if (frame < 2) continue;  // the mixing has reached its target
        for (int l = 0; l < 32; l++)
            for (int k = 0; k < 64; k++) {
                const double s = (double)f.re[l][k] + f.rre[l][k],
                             d = (double)f.re[l][k] - f.rre[l][k];
                sumPow += s * s;
                diffPow += d * d;
            }
    }
    EXPECT_GT(diffPow, 0);
    EXPECT_LT(sumPow / diffPow, 1e-5);
}

TEST(PsFrame, IidSetsTheLevelDifference) {
    static PsState ps;
    PsDecoderInit(&ps);
    SetParams(&ps, 4, 0);  // +10 dB
    static Frame f;
    std::mt19937 rng(9);
    double pl = 0, pr = 0;
    for (int frame = 0; frame < 3; frame++) {
        Fill(&f, rng, 1 << 26);
        PsApplyFrame(&ps, Rows<38>(f.re).p, Rows<38>(f.im).p, Rows<32>(f.rre).p, Rows<32>(f.rim).p,
                     22, f.highExp, 20, 64);
        if (frame < 2) continue;
        for (int l = 0; l < 32; l++)
            for (int k = 0; k < 64; k++) {
                pl += (double)f.re[l][k] * f.re[l][k];
                pr += (double)f.rre[l][k] * f.rre[l][k];
            }
    }
    EXPECT_NEAR(10 * std::log10(pl / pr), 10.0, 0.1);
}

TEST(PsDecorrelate, OnsetLowersTheGainOfItsBandOnly) {
    static PsState ps;
    PsDecoderInit(&ps);
    ps.bandLimit = 64;
    std::mt19937 rng(1);
    int32_t sRe[kPsSignalBands], sIm[kPsSignalBands], dRe[kPsSignalBands], dIm[kPsSignalBands];
    const int onsetIndex = 12 + 7;  // QMF band 12: group 17, stereo band 15
    for (int slot = 0; slot < 60; slot++) {
        for (int i = 0; i < kPsSignalBands; i++) {
            // Steady tones of constant power; a click in one band.
            const double a = ((slot == 50 && i == onsetIndex) ? 100 : 1) * (1 << 20);
            const double w = 0.3 + 0.1 * i;
            sRe[i] = (int32_t)(a * std::cos(w * slot));
            sIm[i] = (int32_t)(a * std::sin(w * slot));
        }
        PsDecorrelate(&ps, sRe, sIm, dRe, dIm);
        ps.slotCount++;
        if (slot == 49) {
            for (int b = 0; b < kPsStereoBands; b++) EXPECT_EQ(ps.transientGain[b], 32767) << b;
        }
        if (slot == 52) {
            for (int b = 0; b < kPsStereoBands; b++) {
                if (b == 15) {
                    EXPECT_LT(ps.transientGain[b], 32767 / 2) << b;
                } else {
                    EXPECT_EQ(ps.transientGain[b], 32767) << b;
                }
            }
        }
    }
}

TEST(PsRescale, ExponentFollowsTheStateAndTheInput) {
    static PsState ps;
    PsDecoderInit(&ps);
    // Empty state: one below the input.
    EXPECT_EQ(PsRescale(&ps, 12), 11);
    ps.delayRe[0][0] = 0x10000000;  // 2 bits of headroom
    ps.power[3] = 1000;
    EXPECT_EQ(PsRescale(&ps, 30), 12);  // 11 + 2 - 1
    EXPECT_EQ(ps.delayRe[0][0], 0x20000000);
    EXPECT_EQ(ps.power[3], 4000);
    EXPECT_EQ(PsRescale(&ps, 5), 4);
    EXPECT_EQ(ps.delayRe[0][0], 0x20000000 >> 8);
    EXPECT_EQ(ps.power[3], 4000 >> 16);
}

}  // namespace

namespace {

// The decorrelator in double precision, straight from the formulas:
// z^-2 with the fractional-delay phase and three all-pass links for the
// hybrid bands and QMF bands 3..22, plain delays above, transient gains
// from the peak-decay envelope of each stereo band's power.
struct ModelDecorrelator {
    typedef std::complex<double> C;
    std::vector<std::vector<C>> in, link[3];
    std::vector<std::vector<C>> delay;
    double peak[20] = {0}, diff[20] = {0}, pow_[20] = {0};
    int n = 0;
    const uint8_t* bandOf;

    explicit ModelDecorrelator(const uint8_t* b) : bandOf(b) {
        in.assign(30, std::vector<C>(64));
        for (auto& l : link) l.assign(30, std::vector<C>(64));
        delay.assign(71, std::vector<C>(64));
    }
    static double Centre(int i) {
        const double fc[10] = {-3 / 8.0, -1 / 8.0, 1 / 8.0, 3 / 8.0, 5 / 8.0,
                               7 / 8.0,  1.25,     1.75,    2.25,    2.75};
        return i < 10 ? fc[i] : (i - 7) + 0.5;
    }
    void Run(const C* s, C* d) {
        double p[20] = {0};
        for (int i = 0; i < 71; i++) p[bandOf[i]] += std::norm(s[i]) / 4294967296.0;
        double gain[20];
        for (int b = 0; b < 20; b++) {
            peak[b] = std::max(0.765928338 * peak[b], p[b]);
            diff[b] = 0.25 * (peak[b] - p[b]) + 0.75 * diff[b];
            pow_[b] = 0.25 * p[b] + 0.75 * pow_[b];
            gain[b] = 1.5 * diff[b] > pow_[b] ? pow_[b] / (1.5 * diff[b]) : 1.0;
        }
        const double q[3] = {0.43, 0.75, 0.347};
        const double a[3] = {0.65143905753106, 0.56471812200776, 0.48954165955695};
        const int dl[3] = {3, 4, 5};
        for (int i = 0; i < 71; i++) {
            C y;
            if (i < 30) {
                const double f = Centre(i);
                in[(size_t)i][(size_t)(n & 63)] = s[i];
                y = std::polar(1.0, -M_PI * 0.39 * f) * in[(size_t)i][(size_t)((n - 2) & 63)];
                const int k = i - 7;
                const double g = (i >= 10 && k > 3) ? std::max(0.0, 1 - 0.05 * (k - 3)) : 1.0;
                for (int m = 0; m < 3; m++) {
                    const C t = std::polar(1.0, -M_PI * q[m] * f) *
                                link[m][(size_t)i][(size_t)((n - dl[m]) & 63)];
                    const C w = y + a[m] * g * t;
                    link[m][(size_t)i][(size_t)(n & 63)] = w;
                    y = t - a[m] * g * w;
                }
            } else {
                const int back = i < 42 ? 14 : 1;
                delay[(size_t)i][(size_t)(n & 63)] = s[i];
                y = delay[(size_t)i][(size_t)((n - back) & 63)];
            }
            d[i] = y * gain[bandOf[i]];
        }
        n++;
    }
};

TEST(PsDecorrelate, MatchesADoublePrecisionModel) {
    static PsState ps;
    PsDecoderInit(&ps);
    ps.bandLimit = 64;
    ModelDecorrelator model(ps.bandOf);
    std::mt19937 rng(21);
    std::normal_distribution<double> nd(0, 1 << 24);
    double se = 0, sp = 0;
    for (int slot = 0; slot < 200; slot++) {
        int32_t sRe[kPsSignalBands], sIm[kPsSignalBands], dRe[kPsSignalBands], dIm[kPsSignalBands];
        std::complex<double> s[kPsSignalBands], d[kPsSignalBands];
        // Bursts now and then, so the transient gains move.
        // Bursts up to full scale (2^30 at the PS exponent), so the transient
        // gains move.
        const double burst = slot % 37 == 5 ? 16 : 1;
        for (int i = 0; i < kPsSignalBands; i++) {
            sRe[i] = (int32_t)std::fmax(-(1 << 30), std::fmin(1 << 30, nd(rng) * burst));
            sIm[i] = (int32_t)std::fmax(-(1 << 30), std::fmin(1 << 30, nd(rng) * burst));
            s[i] = std::complex<double>(sRe[i], sIm[i]);
        }
        PsDecorrelate(&ps, sRe, sIm, dRe, dIm);
        ps.slotCount++;
        model.Run(s, d);
        if (slot < 20) continue;
        for (int i = 0; i < kPsSignalBands; i++) {
            se += std::norm(std::complex<double>(dRe[i], dIm[i]) - d[i]);
            sp += std::norm(d[i]);
        }
    }
    // Q15 phases and Q31 coefficients with truncated products: about 80 dB.
    EXPECT_GT(10 * std::log10(sp / se), 70.0);
}

}  // namespace
