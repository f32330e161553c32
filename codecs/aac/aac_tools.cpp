// Spectral tools on the block-floating-point spectra: M/S and intensity
// stereo, perceptual noise substitution and temporal noise shaping.
#include <string.h>

#include "codecs/aac/aac_internal.h"

static inline int BandCb(const AacChannel* c, int g, int b) {
    return c->sectCb[c->windowSequence == AAC_EIGHT_SHORT ? g * 16 + b : b];
}

static inline int BitTest(const uint32_t* map, int bit) {
    return (bit < 128) && ((map[bit >> 5] >> (bit & 31)) & 1);
}

void AacParseMsMask(AacBitReader* r, AacDecState* s, const AacChannel* c) {
    memset(s->msFlags, 0, sizeof(s->msFlags));
    s->msMaskPresent = (uint8_t)AacBitsRead(r, 2);
    if (s->msMaskPresent == 1) {
        for (int g = 0; g < c->numWindowGroups; g++)
            for (int b = 0; b < c->maxSfb; b++)
                if (AacBitsRead1(r)) s->msFlags[b] |= (uint8_t)(1u << g);
    } else if (s->msMaskPresent == 2) {
        memset(s->msFlags, 0xFF, sizeof(s->msFlags));
    }
}

void AacPnsPairBands(AacDecState* s) {
    AacChannel* c0 = &s->ch[0];
    AacChannel* c1 = &s->ch[1];
    memset(c0->pnsPair, 0, sizeof(c0->pnsPair));
    if (s->msMaskPresent == 0) return;
    for (int g = 0; g < c0->numWindowGroups; g++) {
        for (int b = 0; b < c0->maxSfb; b++) {
            if (!(s->msFlags[b] & (1u << g))) continue;
            int bit = g * 16 + b;
            if (bit >= 128) continue;
            c0->pnsPair[bit >> 5] |= 1u << (bit & 31);
            if (BitTest(c0->pnsFlags, bit) && BitTest(c1->pnsFlags, bit))
                s->msFlags[b] &= (uint8_t) ~(1u << g);
        }
    }
}

void AacApplyMs(AacDecState* s) {
    AacChannel* c0 = &s->ch[0];
    AacChannel* c1 = &s->ch[1];
    const uint16_t* swb = AacSwb(c0);
    int win = 0;
    for (int g = 0; g < c0->numWindowGroups; g++) {
        for (int b = 0; b < c0->maxSfb; b++) {
            if (!(s->msFlags[b] & (1u << g))) continue;
            // Noise and intensity bands are not mid/side coded.
            if (BandCb(c0, g, b) >= AAC_CB_NOISE || BandCb(c1, g, b) >= AAC_CB_NOISE) continue;
            for (int wi = 0; wi < c0->windowGroupLength[g]; wi++) {
                int w = win + wi;
                int el = c0->bandExp[w][b], er = c1->bandExp[w][b];
                int e = (el > er ? el : er) + 1;
                int32_t* l = c0->spectrum + w * 128;
                int32_t* r = c1->spectrum + w * 128;
                // Both shifts are right shifts of at least one bit, so the
                // sum and the difference stay inside 32 bits.
                const int sl = e - el > 31 ? 31 : e - el, sr = e - er > 31 ? 31 : e - er;
                for (int k = swb[b]; k < swb[b + 1]; k++) {
                    int32_t m = l[k] >> sl;
                    int32_t sd = r[k] >> sr;
                    l[k] = m + sd;
                    r[k] = m - sd;
                }
                c0->bandExp[w][b] = (int16_t)e;
                c1->bandExp[w][b] = (int16_t)e;
            }
        }
        win += c0->windowGroupLength[g];
    }
}

void AacApplyIntensity(AacDecState* s) {
    AacChannel* c0 = &s->ch[0];
    AacChannel* c1 = &s->ch[1];
    const uint16_t* swb = AacSwb(c1);
    int win = 0;
    for (int g = 0; g < c1->numWindowGroups; g++) {
        for (int b = 0; b < c1->maxSfb; b++) {
            int cb = BandCb(c1, g, b);
            if (cb != AAC_CB_INTENSITY && cb != AAC_CB_INTENSITY2) continue;
            int p = c1->scaleFactor[c1->windowSequence == AAC_EIGHT_SHORT ? g * 16 + b : b];
            int ms = s->msMaskPresent != 0 && (s->msFlags[b] & (1u << g));
            int negative = (cb == AAC_CB_INTENSITY2) != (ms != 0);
            int32_t mant = kAacPow2Quarter[(-p) & 3];
            if (negative) mant = -mant;
            for (int wi = 0; wi < c1->windowGroupLength[g]; wi++) {
                int w = win + wi;
                const int32_t* l = c0->spectrum + w * 128;
                int32_t* r = c1->spectrum + w * 128;
                for (int k = swb[b]; k < swb[b + 1]; k++) r[k] = AacMulQ31(l[k], mant);
                int e = c0->bandExp[w][b];
                c1->bandExp[w][b] = (int16_t)(e == -32 ? -32 : e + ((-p) >> 2) + 1);
            }
        }
        win += c1->windowGroupLength[g];
    }
}

static uint32_t ISqrt64(uint64_t v) {
    uint64_t r = 0, bit = 1ull << 62;
    while (bit > v) bit >>= 2;
    while (bit) {
        if (v >= r + bit) {
            v -= r + bit;
            r = (r >> 1) + bit;
        } else {
            r >>= 1;
        }
        bit >>= 2;
    }
    return (uint32_t)r;
}

static inline int16_t NextNoise(uint16_t* seed) {
    *seed = (uint16_t)(*seed * 1321u + 14975u);
    return (int16_t)*seed;
}

void AacApplyPns(AacDecState* s, int chIndex, int pair) {
    AacChannel* c = &s->ch[chIndex];
    AacPnsState* ps = &s->pns[chIndex];
    if (chIndex == 0) s->pns[0].increment++;
    if (!c->noiseUsed) return;
    const uint16_t* swb = AacSwb(c);
    int win = 0;
    for (int g = 0; g < c->numWindowGroups; g++) {
        for (int wi = 0; wi < c->windowGroupLength[g]; wi++) {
            int w = win + wi;
            int32_t* spec = c->spectrum + w * 128;
            for (int b = 0; b < c->maxSfb; b++) {
                if (BandCb(c, g, b) != AAC_CB_NOISE) continue;
                int bit = g * 16 + b;
                int paired = pair && BitTest(s->ch[0].pnsPair, bit);
                uint16_t* seed = &ps->seed;
                uint16_t local;
                if (paired && chIndex == 0) {
                    s->pns[0].savedSeed[bit & 127] = ps->seed;
                } else if (paired && chIndex == 1) {
                    local = s->pns[0].savedSeed[bit & 127];
                    seed = &local;
                }
                int n = swb[b + 1] - swb[b];
                int16_t noise[128];
                uint64_t energy = 0;
                for (int i = 0; i < n; i++) {
                    noise[i] = NextNoise(seed);
                    energy += (uint64_t)((int32_t)noise[i] * noise[i]);
                }
                if (paired && chIndex == 0) {
                    // channel 1 repeats this band's noise from the saved seed
                }
                uint32_t root = ISqrt64(energy);
                if (root == 0) root = 1;
                int64_t recip = ((int64_t)1 << 46) / root;  // 2^31 / sqrt(energy), Q15
                int e = c->scaleFactor[c->windowSequence == AAC_EIGHT_SHORT ? bit : b];
                int32_t gain = kAacPow2Quarter[e & 3];  // 0.5 x 2^((e & 3) / 4)
                int shift = 1 + (e >> 2) - c->blockExp[w];
                if (shift > 0) {
                    // the noise is louder than the window's exponent allows
                    int raise = shift + (c->tnsPresent ? 2 : 0);
                    for (int k = 0; k < 128 * (c->windowSequence == AAC_EIGHT_SHORT ? 1 : 8); k++)
                        spec[k] = AacShiftSat(spec[k], -raise);
                    c->blockExp[w] = (int16_t)(c->blockExp[w] + raise);
                    shift -= raise;
                }
                for (int i = 0; i < n; i++) {
                    int32_t u =
                        AacSat32(((int64_t)noise[i] * recip) >> 15);  // unit-energy noise, Q31
                    int32_t v = AacMulQ31(u, gain);
                    spec[swb[b] + i] = AacShiftSat(v, shift);
                }
            }
        }
        win += c->windowGroupLength[g];
    }
    ps->seed = (uint16_t)(ps->seed + s->pns[0].increment);
}

// Step-up recursion from reflection coefficients (Q15) to the direct-form
// all-pole coefficients, Q15 scaled down by 2^s so they fit 16 bits.
int AacTnsReflToFilter(const int16_t* refl, int order, int16_t* coefOut) {
    int64_t a[13] = {0};
    int64_t tmp[13];
    a[0] = (int64_t)1 << 30;
    for (int m = 1; m <= order; m++) {
        for (int i = 0; i < m; i++) tmp[i] = a[i];
        a[m] = (int64_t)refl[m - 1] * 32768;
        for (int i = 1; i < m; i++) a[i] = tmp[i] + ((refl[m - 1] * tmp[m - i]) >> 15);
    }
    int s = 0;
    for (;;) {
        int ok = 1;
        for (int i = 0; i <= order; i++) {
            int64_t v = ((a[i] >> s) + (1 << 14)) >> 15;
            if (v > 32767 || v < -32768) {
                ok = 0;
                break;
            }
        }
        if (ok) break;
        s++;
    }
    for (int i = 0; i <= order; i++) {
        int64_t v = ((a[i] >> s) + (1 << 14)) >> 15;
        coefOut[i] = (int16_t)(v > 32767 ? 32767 : v);
    }
    return s;
}

void AacApplyTns(AacChannel* c, int32_t* scratch) {
    (void)scratch;
    if (!c->tnsPresent) return;
    const int isShort = c->windowSequence == AAC_EIGHT_SHORT;
    const AacRateTable* rt = AacRate(c->sfIndex);
    const int maxBands = isShort ? rt->tnsMaxBandsShort : rt->tnsMaxBandsLong;
    const uint16_t* swb = AacSwb(c);
    const int windows = isShort ? 8 : 1;
    for (int w = 0; w < windows; w++) {
        int32_t* spec = c->spectrum + w * 128;
        for (int f = 0; f < c->tnsNumFilt[w]; f++) {
            const AacTnsFilter* t = &c->tns[w][f];
            int order = t->order;
            int start = t->startBand, top = t->topBand;
            if (start > maxBands) start = maxBands;
            if (start > c->maxSfb) start = c->maxSfb;
            if (top > maxBands) top = maxBands;
            if (top > c->maxSfb) top = c->maxSfb;
            if (order == 0) continue;
            int lo = swb[start], hi = swb[top];
            if (hi <= lo) continue;
            int16_t refl[12], a[13];
            const int16_t* table = t->coefRes == 4 ? kAacTnsCoef4 : kAacTnsCoef3;
            int mask = t->coefRes == 4 ? 15 : 7;
            for (int i = 0; i < order; i++) refl[i] = table[t->coef[i] & mask];
            int s = AacTnsReflToFilter(refl, order, a);
            // headroom of the range
            int32_t peak = 0;
            for (int k = lo; k < hi; k++) {
                int32_t v = spec[k] < 0 ? ~spec[k] : spec[k];
                if (v > peak) peak = v;
            }
            int d = AacNorm32(peak) - 3 - s;
            if (d != 0)
                for (int k = lo; k < hi; k++) spec[k] = AacShiftSat(spec[k], d);
            int32_t state[12] = {0};
            int n = hi - lo;
            int k = t->direction == 255 ? hi - 1 : lo;
            int step = t->direction == 255 ? -1 : 1;
            for (int i = 0; i < n; i++, k += step) {
                // a[0] is 1.0 scaled by 2^-s; keep it exact.
                int64_t acc = ((int64_t)spec[k] * 32768) >> s;
                for (int j = 0; j < order; j++) acc -= (int64_t)state[j] * a[j + 1];
                int32_t y = AacSat32((acc * ((int64_t)1 << s)) >> 15);
                for (int j = order - 1; j > 0; j--) state[j] = state[j - 1];
                state[0] = y;
                spec[k] = y;
            }
            if (d != 0)
                for (int k2 = lo; k2 < hi; k2++) spec[k2] = AacShiftSat(spec[k2], -d);
        }
    }
}
