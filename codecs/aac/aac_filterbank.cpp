// Filterbank: inverse MDCT through a complex FFT in block floating point,
// windowing with the sine or KBD shapes and overlap-add with the 16-bit half
// frame kept from the previous call.
//
// Scales: after the output shift a transform value x stands for a sample
// times 2^15; windowed sums are formed at sample times 2^16 and rounded to
// 16 bits. The overlap keeps round(x / 2^16), half a sample.
#include <string.h>

#include "codecs/aac/aac_fft.h"
#include "codecs/aac/aac_internal.h"

static inline const int16_t* LongWindow(int shape) { return shape ? kAacKbdLong : kAacSineLong; }
static inline const int16_t* ShortWindow(int shape) { return shape ? kAacKbdShort : kAacSineShort; }

// Unfolded time sample n (0..2n-1) of the transform output x of n values.
static inline int64_t Unfold(const int32_t* x, int n, int t) {
    const int h = n >> 1;
    if (t < h) return x[h + t];
    if (t < n) return -(int64_t)x[n - 1 - (t - h)];
    if (t < n + h) return -(int64_t)x[h - 1 - (t - n)];
    return -(int64_t)x[t - n - h];
}

// Second half of a folded 16-bit overlap o of h values (symmetric), sample t of 2h.
static inline int32_t UnfoldOverlap(const int16_t* o, int h, int t) {
    return t < h ? -(int32_t)o[h - 1 - t] : -(int32_t)o[t - h];
}

static inline int16_t RoundHalf(int64_t x) { return AacSat16((x + 32768) >> 16); }

void AacFilterbank(AacChannel* c, AacFilterbankState* fb, int16_t* pcm, int32_t* scratch) {
    int64_t y[1024];  // sample x 2^16
    const int prevShape = fb->prevShape;
    const int seq = c->windowSequence;
    const int16_t* wl = LongWindow(prevShape);
    const int16_t* wsPrev = ShortWindow(prevShape);
    const int longAfterLong = fb->prevSequence != AAC_EIGHT_SHORT &&
                              fb->prevSequence != AAC_LONG_START && seq != AAC_EIGHT_SHORT;

    // What the previous frame leaves for this one.
    if (fb->prevSequence == AAC_EIGHT_SHORT) {
        for (int n = 0; n < 448; n++)
            y[n] = (int64_t)fb->overlap[n] * 131072;  // S holds half samples
        for (int n = 0; n < 128; n++) {
            int32_t v = UnfoldOverlap(fb->overlap + 448, 64, n);
            y[448 + n] = ((int64_t)v * wsPrev[127 - n]) * 4;
        }
        for (int n = 576; n < 1024; n++) y[n] = 0;
    } else if (fb->prevSequence == AAC_LONG_START) {
        for (int n = 0; n < 448; n++) y[n] = (int64_t)UnfoldOverlap(fb->overlap, 512, n) * 131072;
        for (int n = 0; n < 128; n++)
            y[448 + n] = ((int64_t)UnfoldOverlap(fb->overlap, 512, 448 + n) * wsPrev[127 - n]) * 4;
        for (int n = 576; n < 1024; n++) y[n] = 0;
    } else if (!longAfterLong || seq == AAC_LONG_STOP) {
        const int16_t* o = fb->overlap;
        for (int n = 0; n < 512; n++) {
            y[n] = -((int64_t)o[511 - n] * wl[1023 - n]) * 4;
            y[512 + n] = -((int64_t)o[n] * wl[511 - n]) * 4;
        }
    }

    if (seq != AAC_EIGHT_SHORT) {
        int32_t* x = c->spectrum;
        AacImdctInverse(x, 1024, c->blockExp[0] + 10 - 26, scratch);
        if (seq == AAC_LONG_STOP) {
            for (int n = 0; n < 128; n++)
                y[448 + n] += ((int64_t)Unfold(x, 1024, 448 + n) * wsPrev[n]) >> 14;
            for (int n = 576; n < 1024; n++) y[n] += (int64_t)Unfold(x, 1024, n) * 2;
        } else if (!longAfterLong) {
            for (int n = 0; n < 512; n++) {
                y[n] += ((int64_t)x[512 + n] * wl[n]) >> 14;
                y[512 + n] += (-(int64_t)x[1023 - n] * wl[512 + n]) >> 14;
            }
        } else {
            // The usual case: both halves in one pass, no y[] round trip.
            AacOverlapLong(x, fb->overlap, wl, pcm);
        }
        if (!longAfterLong || seq == AAC_LONG_STOP)
            for (int n = 0; n < 1024; n++) pcm[n] = RoundHalf(y[n]);
        for (int k = 0; k < 512; k++) fb->overlap[k] = RoundHalf(x[k]);
    } else {
        int64_t t[1600 - 448];  // the eight windows from sample 448 on
        memset(t, 0, sizeof(t));
        const int16_t* wsCur = ShortWindow(c->windowShape);
        int16_t last[64];
        for (int j = 0; j < 8; j++) {
            int32_t* x = c->spectrum + 128 * j;
            AacImdctInverse(x, 128, c->blockExp[j] + 7 - 23, scratch);
            const int16_t* rise = j == 0 ? wsPrev : wsCur;
            int64_t* out = t + 128 * j;
            // the unfolded window: x[64..127], -x[127..64], -x[63..0], -x[0..63]
            for (int n = 0; n < 64; n++) out[n] += ((int64_t)x[64 + n] * rise[n]) >> 14;
            for (int n = 64; n < 128; n++) out[n] += (-(int64_t)x[191 - n] * rise[n]) >> 14;
            if (j < 7) {
                for (int n = 0; n < 64; n++)
                    out[128 + n] += (-(int64_t)x[63 - n] * wsCur[127 - n]) >> 14;
                for (int n = 64; n < 128; n++)
                    out[128 + n] += (-(int64_t)x[n - 64] * wsCur[127 - n]) >> 14;
            } else {
                for (int k = 0; k < 64; k++) last[k] = RoundHalf(x[k]);
            }
        }
        for (int n = 448; n < 1024; n++) y[n] += t[n - 448];
        for (int n = 0; n < 1024; n++) pcm[n] = RoundHalf(y[n]);
        for (int k = 0; k < 448; k++) fb->overlap[k] = RoundHalf(t[1024 - 448 + k] / 2);
        memcpy(fb->overlap + 448, last, sizeof(last));
    }
    fb->prevShape = c->windowShape;
    fb->prevSequence = (uint8_t)seq;
}
