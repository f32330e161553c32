// Frame-loss concealment on hand-made spectra: a lost frame between two good
// ones is rebuilt at the geometric mean of their band energies for every
// pairing of long and short windows, its signs are randomised from the noise
// table, and longer losses follow the mute states.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "codecs/aac/aac_internal.h"

namespace {

const int kSfi48k = 3;

// A channel record holding a spectrum of the given window kind; every band
// of the table has its own level, 2^levelShift[b % n] below full scale.
std::unique_ptr<AacChannel> MakeFrame(bool shortWindows, int exponent, uint32_t seed,
                                      const std::vector<int>& levelShift) {
    std::unique_ptr<AacChannel> c(new AacChannel());
    memset(c.get(), 0, sizeof(AacChannel));
    c->sfIndex = kSfi48k;
    c->windowSequence = shortWindows ? AAC_EIGHT_SHORT : AAC_ONLY_LONG;
    c->windowShape = 0;
    const AacRateTable* rt = AacRate(kSfi48k);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int32_t> mant(1 << 24, (1 << 25) - 1);
    const int windows = shortWindows ? 8 : 1;
    const int bands = shortWindows ? rt->numSwbShort : rt->numSwbLong;
    const uint16_t* swb = shortWindows ? rt->swbShort : rt->swbLong;
    for (int w = 0; w < windows; w++) {
        c->blockExp[w] = (int16_t)(shortWindows ? exponent + (w % 3) : exponent);
        for (int b = 0; b < bands; b++)
            for (int k = swb[b]; k < swb[b + 1]; k++) {
                int32_t v = mant(rng) >> levelShift[(size_t)b % levelShift.size()];
                v &= ~1;  // even, so a unit gain is exact
                c->spectrum[128 * w + k] = (rng() & 1) ? v : -v;
            }
    }
    return c;
}

double Coef(const AacChannel& c, int window, int k) {
    return (double)c.spectrum[128 * window + k] * std::ldexp(1.0, c.blockExp[window]);
}

double LongPower(const AacChannel& c, int lo, int hi) {
    double p = 0;
    for (int k = lo; k < hi; k++) p += Coef(c, 0, k) * Coef(c, 0, k);
    return p;
}

// Power of short band [lo, hi) over all eight windows.
double ShortPower(const AacChannel& c, int lo, int hi) {
    double p = 0;
    for (int w = 0; w < 8; w++)
        for (int k = lo; k < hi; k++) p += Coef(c, w, k) * Coef(c, w, k);
    return p;
}

// Runs good frame `prev`, a lost frame, then good frame `next`; returns the
// third call's output (the rebuilt lost frame).
AacChannel Rebuild(const AacChannel& prev, const AacChannel& next, AacConcealRecord* rec) {
    AacConcealReset(rec);
    AacChannel c = prev;
    AacConcealChannel(&c, rec, 1);
    AacChannel junk = prev;
    memset(junk.spectrum, 0x55, sizeof(junk.spectrum));
    AacConcealChannel(&junk, rec, 0);
    c = next;
    AacConcealChannel(&c, rec, 1);
    return c;
}

TEST(AacConceal, LostFrameSitsAtTheGeometricMeanOfItsNeighbours) {
    struct Case {
        const char* name;
        bool prevShort, nextShort;
        int prevExp, nextExp;
        int sequence, shape;  // of the rebuilt frame
    };
    const Case cases[] = {
        {"long, long", false, false, 3, 5, AAC_ONLY_LONG, 0},
        {"long, long, next quieter by exponent", false, false, 6, 1, AAC_ONLY_LONG, 0},
        {"long, then short", false, true, 4, 2, AAC_LONG_START, 1},
        {"short, then long", true, false, 2, 4, AAC_LONG_STOP, 0},
        {"short, short", true, true, 1, 3, AAC_EIGHT_SHORT, 1},
    };
    const std::vector<int> prevLevels = {0, 3, 6, 2, 5};
    const std::vector<int> nextLevels = {4, 1, 0, 6, 2, 3};
    const AacRateTable* rt = AacRate(kSfi48k);
    std::unique_ptr<AacConcealRecord> rec(new AacConcealRecord());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto prev = MakeFrame(c.prevShort, c.prevExp, 1, prevLevels);
        auto next = MakeFrame(c.nextShort, c.nextExp, 2, nextLevels);
        AacChannel out = Rebuild(*prev, *next, rec.get());
        EXPECT_EQ(out.windowSequence, c.sequence);
        EXPECT_EQ(out.windowShape, c.shape);
        // Band energies are estimated in whole powers of two, so the rebuilt
        // power may miss the mean by up to 2^0.5 (1.5 dB).
        const double tolDb = 1.6;
        if (!c.prevShort && !c.nextShort) {
            for (int b = 0; b < rt->numSwbLong; b++) {
                int lo = rt->swbLong[b], hi = rt->swbLong[b + 1];
                double want = std::sqrt(LongPower(*prev, lo, hi) * LongPower(*next, lo, hi));
                EXPECT_NEAR(10 * std::log10(LongPower(out, lo, hi) / want), 0, tolDb) << b;
            }
        } else if (c.prevShort && c.nextShort) {
            for (int w = 0; w < 8; w++)
                for (int b = 0; b < rt->numSwbShort; b++) {
                    int lo = rt->swbShort[b], hi = rt->swbShort[b + 1];
                    double pp = 0, pn = 0, po = 0;
                    for (int k = lo; k < hi; k++) {
                        pp += Coef(*prev, w, k) * Coef(*prev, w, k);
                        pn += Coef(*next, w, k) * Coef(*next, w, k);
                        po += Coef(out, w, k) * Coef(out, w, k);
                    }
                    EXPECT_NEAR(10 * std::log10(po / std::sqrt(pp * pn)), 0, tolDb)
                        << w << "/" << b;
                }
        } else {
            // One neighbour long, the other short: a short band's power over
            // its eight windows against the long band of the same frequencies.
            for (int b = 0; b < rt->numSwbShort; b++) {
                int lo = rt->swbShort[b], hi = rt->swbShort[b + 1];
                double pLong = LongPower(c.prevShort ? *next : *prev, lo * 8, hi * 8);
                double pShort = ShortPower(c.prevShort ? *prev : *next, lo, hi);
                double got = LongPower(out, lo * 8, hi * 8);
                EXPECT_NEAR(10 * std::log10(got / std::sqrt(pLong * pShort)), 0, tolDb) << b;
            }
        }
    }
}

// Equal neighbours: unit gain, so the rebuilt frame is the previous one with
// the signs of the noise table's real parts.
TEST(AacConceal, RebuiltSignsFollowTheNoiseTable) {
    auto frame = MakeFrame(false, 2, 7, {1, 3});
    std::unique_ptr<AacConcealRecord> rec(new AacConcealRecord());
    AacChannel out = Rebuild(*frame, *frame, rec.get());
    int flipped = 0;
    for (int k = 0; k < 1024; k++) {
        ASSERT_EQ(out.spectrum[k], frame->spectrum[k] * AacNoiseSign(k)) << k;
        flipped += AacNoiseSign(k) < 0;
    }
    EXPECT_GT(flipped, 200);
    EXPECT_LT(flipped, 824);
}

// The mute states, by sequence of good (G) and bad (B) frames: M marks a call
// whose output is silent. The first call only fills the one-frame delay.
TEST(AacConceal, MuteStates) {
    struct Case {
        const char* name;
        std::string frames, muted;
    };
    const Case cases[] = {
        {"one loss is rebuilt", "GGBGGG", "......"},
        {"two losses are muted", "GGBBGGG", "...MM.."},
        {"five bad steps: five good in the long mute, five fading back", "GGBBBBBBBGGGGGGGGGGGGGG",
         "...MMMMMMMMMMMMMMMM...."},
        {"a bad frame while fading back returns to the short mute", "GGBBBBBBBGGGGGGGBGGGGGG",
         "...MMMMMMMMMMMMMM......"},
        {"two bad frames while fading back", "GGBBBBBBBGGGGGGGBBGGGGG", "...MMMMMMMMMMMMMMMM...."},
    };
    std::unique_ptr<AacConcealRecord> rec(new AacConcealRecord());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.frames.size(), c.muted.size());
        AacConcealReset(rec.get());
        std::string got;
        for (size_t i = 0; i < c.frames.size(); i++) {
            auto f = MakeFrame(false, 0, (uint32_t)i + 1, {2});
            AacConcealChannel(f.get(), rec.get(), c.frames[i] == 'G');
            bool silent = true;
            for (int k = 0; k < 1024; k++) silent &= f->spectrum[k] == 0;
            // the first output is the empty store
            got += (i > 0 && silent) ? 'M' : '.';
        }
        EXPECT_EQ(got, c.muted);
    }
}

}  // namespace
