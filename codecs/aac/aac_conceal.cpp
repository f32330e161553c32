// Frame-loss concealment. The decoder always outputs the spectrum of the
// frame before the current one, so a single bad frame is rebuilt from both
// neighbours; longer losses are muted and come back after a run of good
// frames.
#include <string.h>

#include "codecs/aac/aac_internal.h"
#include "codecs/aac/sbr_tables.h"

// Q31 0.5 x 2^(k/4), k = 0..3
static const int32_t kGain[4] = {0x40000000, 0x4C1BF82E, 0x5A827997, 0x6BA27E70};

int32_t AacNoiseSign(int index) {
    // The signs of the real parts of the SBR noise table.
    return kSbrNoiseTable[2 * (index & 511)] < 0 ? -1 : 1;
}

void AacConcealReset(AacConcealRecord* rec) {
    memset(rec->spectrum, 0, sizeof(rec->spectrum));
    memset(rec->blockExp, 0, sizeof(rec->blockExp));
    rec->windowShape = 0;
    rec->windowSequence = 0;
    rec->noiseIndex = 0;
    rec->counter = 0;
    rec->muteState = 0;
    rec->prevGood = 1;
    rec->prevPrevGood = 1;
    rec->threshold[0] = rec->threshold[1] = rec->threshold[2] = 5;
}

static void MuteStep(AacConcealRecord* r, int g) {
    int p = r->prevGood, pp = r->prevPrevGood;
    int rebuild = p || (pp && g);
    switch (r->muteState) {
        case 0:
            if (!rebuild) r->muteState = 1;
            break;
        case 1:
            if (!rebuild) {
                if (++r->counter >= r->threshold[0]) {
                    r->muteState = 2;
                    r->counter = 0;
                }
            } else {
                r->muteState = 0;
                r->counter = 0;
            }
            break;
        case 2:
            if (rebuild && ++r->counter >= r->threshold[1]) {
                r->muteState = 3;
                r->counter = 0;
            }
            break;
        default:
            if (!g) {
                r->muteState = 1;
                r->counter = 0;
            } else if (++r->counter >= r->threshold[2]) {
                r->muteState = 0;
                r->counter = 0;
            }
            break;
    }
}

// -(redundant sign bits of 1 + sum of squares), squares as Q31 products.
static int BandEnergy(const int32_t* x, int lo, int hi) {
    int64_t sum = 1;
    for (int k = lo; k < hi; k++) sum += ((int64_t)x[k] * x[k]) >> 31;
    return -AacNorm32(AacSat32(sum));
}

// Scales the band [lo, hi) of x from energy ep / exponent sp towards the
// geometric mean with en / sn; the result is at exponent max(sp, sn).
static void ScaleBand(int32_t* x, int lo, int hi, int sp, int sn, int ep, int en) {
    int d = 2 * (sn - sp) + en - ep;
    int32_t g = kGain[d & 3];
    int shift = (sp - (sp > sn ? sp : sn)) + (d >> 2) + 1;
    for (int k = lo; k < hi; k++) x[k] = AacShiftSat(AacMulQ31(x[k], g), shift);
}

static int MaxExp(const int16_t* e) {
    int m = e[0];
    for (int i = 1; i < 8; i++)
        if (e[i] > m) m = e[i];
    return m;
}

static void Interpolate(AacChannel* out, const AacConcealRecord* next, const AacRateTable* rt) {
    const int repShort = out->windowSequence == AAC_EIGHT_SHORT;
    const int nextShort = next->windowSequence == AAC_EIGHT_SHORT;
    if (!repShort && !nextShort) {
        int sp = out->blockExp[0], sn = next->blockExp[0];
        for (int b = 0; b < rt->numSwbLong; b++) {
            int lo = rt->swbLong[b], hi = rt->swbLong[b + 1];
            ScaleBand(out->spectrum, lo, hi, sp, sn, BandEnergy(out->spectrum, lo, hi),
                      BandEnergy(next->spectrum, lo, hi));
        }
        out->blockExp[0] = (int16_t)(sp > sn ? sp : sn);
        out->windowSequence = AAC_ONLY_LONG;
        out->windowShape = 0;
    } else if (!repShort && nextShort) {
        // Next frame's energies on the short table, summed over its windows
        // and spread over the long band of the same frequencies.
        int sp = out->blockExp[0], sn = MaxExp(next->blockExp);
        for (int b = 0; b < rt->numSwbShort; b++) {
            int lo = rt->swbShort[b], hi = rt->swbShort[b + 1];
            int64_t sum = 1;
            for (int w = 0; w < 8; w++)
                for (int k = lo; k < hi; k++) {
                    int32_t v = AacShiftSat(next->spectrum[128 * w + k], next->blockExp[w] - sn);
                    sum += ((int64_t)v * v) >> 31;
                }
            int en = -AacNorm32(AacSat32(sum));
            int ep = BandEnergy(out->spectrum, lo * 8, hi * 8);
            ScaleBand(out->spectrum, lo * 8, hi * 8, sp, sn, ep, en);
        }
        out->blockExp[0] = (int16_t)(sp > sn ? sp : sn);
        out->windowSequence = AAC_LONG_START;
        out->windowShape = 1;
    } else if (repShort && !nextShort) {
        int sn = next->blockExp[0], sp = MaxExp(out->blockExp);
        int ep[16];
        for (int b = 0; b < rt->numSwbShort; b++) {
            int lo = rt->swbShort[b], hi = rt->swbShort[b + 1];
            int64_t sum = 1;
            for (int w = 0; w < 8; w++)
                for (int k = lo; k < hi; k++) {
                    int32_t v = AacShiftSat(out->spectrum[128 * w + k], out->blockExp[w] - sp);
                    sum += ((int64_t)v * v) >> 31;
                }
            ep[b] = -AacNorm32(AacSat32(sum));
        }
        memcpy(out->spectrum, next->spectrum, sizeof(out->spectrum));
        for (int b = 0; b < rt->numSwbShort; b++) {
            int lo = rt->swbShort[b] * 8, hi = rt->swbShort[b + 1] * 8;
            int en = BandEnergy(out->spectrum, lo, hi);
            // scale the next frame's band back towards the repeated energy
            ScaleBand(out->spectrum, lo, hi, sn, sp, en, ep[b]);
        }
        out->blockExp[0] = (int16_t)(sp > sn ? sp : sn);
        out->windowSequence = AAC_LONG_STOP;
        out->windowShape = 0;
    } else {
        for (int w = 0; w < 8; w++) {
            int sp = out->blockExp[w], sn = next->blockExp[w];
            for (int b = 0; b < rt->numSwbShort; b++) {
                int lo = 128 * w + rt->swbShort[b], hi = 128 * w + rt->swbShort[b + 1];
                ScaleBand(out->spectrum, lo, hi, sp, sn, BandEnergy(out->spectrum, lo, hi),
                          BandEnergy(next->spectrum, lo, hi));
            }
            out->blockExp[w] = (int16_t)(sp > sn ? sp : sn);
        }
        out->windowSequence = AAC_EIGHT_SHORT;
        out->windowShape = 1;
    }
}

void AacConcealChannel(AacChannel* c, AacConcealRecord* rec, int frameGood) {
    if (frameGood) {
        // Store the new frame, output the previous one.
        uint8_t t8 = c->windowShape;
        c->windowShape = rec->windowShape;
        rec->windowShape = t8;
        t8 = c->windowSequence;
        c->windowSequence = rec->windowSequence;
        rec->windowSequence = t8;
        for (int k = 0; k < 1024; k++) {
            int32_t t = c->spectrum[k];
            c->spectrum[k] = rec->spectrum[k];
            rec->spectrum[k] = t;
        }
        for (int w = 0; w < 8; w++) {
            int16_t t = c->blockExp[w];
            c->blockExp[w] = rec->blockExp[w];
            rec->blockExp[w] = t;
        }
    } else {
        c->windowShape = rec->windowShape;
        c->windowSequence = rec->windowSequence;
        memcpy(c->spectrum, rec->spectrum, sizeof(c->spectrum));
        memcpy(c->blockExp, rec->blockExp, sizeof(c->blockExp));
    }
    MuteStep(rec, frameGood);
    if (!rec->prevGood) {
        if (frameGood && rec->prevPrevGood) Interpolate(c, rec, AacRate(c->sfIndex));
        for (int k = 0; k < 1024; k++) {
            if (AacNoiseSign(rec->noiseIndex) < 0)
                c->spectrum[k] = c->spectrum[k] == INT32_MIN ? INT32_MAX : -c->spectrum[k];
            rec->noiseIndex = (uint16_t)((rec->noiseIndex + 1) & 511);
        }
    }
    rec->prevPrevGood = rec->prevGood;
    rec->prevGood = (uint8_t)frameGood;
    if (rec->muteState != 0) memset(c->spectrum, 0, sizeof(c->spectrum));
}
