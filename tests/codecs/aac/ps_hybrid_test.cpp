// Parametric stereo hybrid filterbank: the filter taps, the 6-slot delay of
// analysis followed by synthesis, tones landing in the sub-subband of their
// frequency (QMF band 1 is mirrored), and input scaling.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "codecs/aac/ps.h"

namespace {

// Runs n slots of bands 0..2 through the analysis; out[slot][10].
void Analyse(PsHybrid* h, const double (*re)[3], const double (*im)[3], int n, double (*outRe)[10],
             double (*outIm)[10], int shift = 0) {
    for (int l = 0; l < n; l++) {
        int32_t qr[3], qi[3], orr[10], oi[10];
        for (int b = 0; b < 3; b++) {
            qr[b] = (int32_t)std::lround(re[l][b]);
            qi[b] = (int32_t)std::lround(im[l][b]);
        }
        PsHybridAnalysis(qr, qi, orr, oi, h, shift);
        for (int k = 0; k < 10; k++) {
            outRe[l][k] = orr[k];
            outIm[l][k] = oi[k];
        }
        if (h->pos == kPsSlots) PsHybridEndFrame(h);
    }
}

TEST(PsHybrid, ImpulseInBand1GivesTheTwoBandTaps) {
    PsHybrid h;
    PsHybridInit(&h);
    static double re[20][3], im[20][3], orr[20][10], oi[20][10];
    memset(re, 0, sizeof(re));
    memset(im, 0, sizeof(im));
    re[0][1] = 1 << 20;
    Analyse(&h, re, im, 20, orr, oi);
    // g[n] of the 2-band filter; odd taps in Q15, the centre 0.5.
    const double g[13] = {0, 622, 0, -2390, 0, 10026, 16384, 10026, 0, -2390, 0, 622, 0};
    for (int n = 0; n < 13; n++) {
        const double tap = g[n] / 32768.0 * (1 << 20);
        const double sign = (n - 6) % 2 ? -1.0 : 1.0;
        // Band 1 is mirrored: its upper output is the low-pass (centre + odd).
        EXPECT_NEAR(orr[n][7], tap, 2.0) << n;
        EXPECT_NEAR(orr[n][6], sign * tap, 2.0) << n;
        EXPECT_EQ(orr[n][8], 0) << n;
    }
}

TEST(PsHybrid, AnalysisThenSynthesisDelaysBySixSlots) {
    PsHybrid h;
    PsHybridInit(&h);
    std::mt19937 rng(3);
    std::uniform_int_distribution<int32_t> d(-(1 << 28), 1 << 28);
    const int n = 100;  // crosses frame ends
    static int32_t in[n][2][3];
    double maxErr = 0;
    for (int l = 0; l < n; l++) {
        int32_t orr[10], oi[10], sr[3], si[3];
        for (int b = 0; b < 3; b++) {
            in[l][0][b] = d(rng);
            in[l][1][b] = d(rng);
        }
        PsHybridAnalysis(in[l][0], in[l][1], orr, oi, &h, 0);
        if (h.pos == kPsSlots) PsHybridEndFrame(&h);
        PsHybridSynthesis(orr, oi, sr, si);
        if (l < 6) continue;
        for (int b = 0; b < 3; b++) {
            maxErr = std::fmax(maxErr, std::fabs((double)sr[b] - in[l - 6][0][b]));
            maxErr = std::fmax(maxErr, std::fabs((double)si[b] - in[l - 6][1][b]));
        }
    }
    // The off-centre Q15 coefficients of the 8 bands sum to zero only within
    // their rounding: a few parts in 2^15 of the input.
    EXPECT_LT(maxErr, (1 << 28) * 4e-4);
}

TEST(PsHybrid, ToneLandsInItsSubSubband) {
    // A complex tone exp(i w n) in one QMF band; w in radians per slot. In
    // the QMF domain a band's lower edge is at w = 0 for even bands and at
    // w = -pi for odd ones.
    struct Case {
        const char* name;
        int band;
        double w;
        int want;
    } cases[] = {
        {"band 0, -3/8", 0, -3 * M_PI / 8, 0},
        {"band 0, -1/8", 0, -M_PI / 8, 1},
        {"band 0, 1/8", 0, M_PI / 8, 2},
        {"band 0, 3/8", 0, 3 * M_PI / 8, 3},
        {"band 0, 5/8", 0, 5 * M_PI / 8, 4},
        {"band 0, 7/8", 0, 7 * M_PI / 8, 5},
        {"band 1, lower half", 1, -3 * M_PI / 4, 6},
        {"band 1, upper half", 1, -M_PI / 4, 7},
        {"band 2, lower half", 2, M_PI / 4, 8},
        {"band 2, upper half", 2, 3 * M_PI / 4, 9},
    };
    for (const Case& c : cases) {
        PsHybrid h;
        PsHybridInit(&h);
        const int n = 64;
        static double re[n][3], im[n][3], orr[n][10], oi[n][10];
        memset(re, 0, sizeof(re));
        memset(im, 0, sizeof(im));
        for (int l = 0; l < n; l++) {
            re[l][c.band] = std::cos(c.w * l) * (1 << 26);
            im[l][c.band] = std::sin(c.w * l) * (1 << 26);
        }
        Analyse(&h, re, im, n, orr, oi);
        double e[10] = {0};
        for (int l = 20; l < n; l++)
            for (int k = 0; k < 10; k++) e[k] += orr[l][k] * orr[l][k] + oi[l][k] * oi[l][k];
        int best = 0;
        double total = 0;
        for (int k = 0; k < 10; k++) {
            total += e[k];
            if (e[k] > e[best]) best = k;
        }
        EXPECT_EQ(best, c.want) << c.name;
        EXPECT_GT(e[best] / total, 0.9) << c.name;
    }
}

TEST(PsHybrid, InputShift) {
    struct Case {
        const char* name;
        int32_t x;
        int shift;
        int32_t stored;
    } cases[] = {
        {"no shift", 12345, 0, 12345},
        {"right", 12345, 3, 12345 >> 3},
        {"left", 12345, -4, 12345 * 16},
        {"left, saturating", 1 << 28, -5, INT32_MAX},
        {"left, saturating negative", -(1 << 28), -5, INT32_MIN},
    };
    for (const Case& c : cases) {
        PsHybrid h;
        PsHybridInit(&h);
        int32_t q[3] = {c.x, c.x, c.x}, orr[10], oi[10];
        PsHybridAnalysis(q, q, orr, oi, &h, c.shift);
        EXPECT_EQ(h.re[0][12], c.stored) << c.name;
        EXPECT_EQ(h.im[2][12], c.stored) << c.name;
    }
}

}  // namespace
