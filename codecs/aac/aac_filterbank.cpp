// Filterbank: inverse MDCT through a complex FFT in block floating point,
// windowing with the sine or KBD shapes and overlap-add with the 16-bit half
// frame kept from the previous call.
//
// Scales: after the output shift a transform value x stands for a sample
// times 2^15; windowed sums are formed at sample times 2^16 and rounded to
// 16 bits. The overlap keeps round(x / 2^16), half a sample.
#include <string.h>

#include "codecs/aac/aac_internal.h"

// 2 x ((x * w) >> 16): a Q15 product with its lowest bit cleared.
static inline int32_t MulTw(int32_t x, int32_t w)
{
    return AacSat32(2 * (((int64_t)x * w) >> 16));
}

// Twiddle pair of the angle 2 pi j / 2048, j = 0..1023, from the quarter sine.
static inline void Twiddle(int j, int32_t* c, int32_t* s)
{
    if (j < 512) {
        *s = kAacTwiddle[j];
        *c = j == 0 ? 32767 : kAacTwiddle[512 - j];
    } else if (j == 512) {
        *s = 32767;
        *c = 0;
    } else {
        *s = kAacTwiddle[1024 - j];
        *c = -kAacTwiddle[j - 512];
    }
}

// In-place forward complex FFT of m points (interleaved re, im), halving at
// every stage: the result is the transform divided by m.
static void Fft(int32_t* d, int log2m)
{
    const int m = 1 << log2m;
    for (int i = 1, j = 0; i < m; i++) {
        int bit = m >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) {
            int32_t t0 = d[2 * i], t1 = d[2 * i + 1];
            d[2 * i] = d[2 * j];
            d[2 * i + 1] = d[2 * j + 1];
            d[2 * j] = t0;
            d[2 * j + 1] = t1;
        }
    }
    for (int len = 2; len <= m; len <<= 1) {
        const int half = len >> 1;
        const int stride = 2048 / len;
        for (int k = 0; k < half; k++) {
            int32_t wc, ws;
            Twiddle(k * stride, &wc, &ws);
            for (int i = k; i < m; i += len) {
                int32_t* a = d + 2 * i;
                int32_t* b = d + 2 * (i + half);
                int32_t ar = a[0] >> 1, ai = a[1] >> 1;
                int32_t br, bi;
                if (k == 0) {
                    br = b[0] >> 1;
                    bi = b[1] >> 1;
                } else {
                    // b x exp(-i angle), halved
                    br = AacSat32((((int64_t)b[0] * wc) >> 16) + (((int64_t)b[1] * ws) >> 16));
                    bi = AacSat32((((int64_t)b[1] * wc) >> 16) - (((int64_t)b[0] * ws) >> 16));
                }
                a[0] = AacSat32((int64_t)ar + br);
                a[1] = AacSat32((int64_t)ai + bi);
                b[0] = AacSat32((int64_t)ar - br);
                b[1] = AacSat32((int64_t)ai - bi);
            }
        }
    }
}

// DCT-IV of n coefficients in place (n = 1024 or 128), divided by 2^gain;
// returns the gain (10 or 7).
static int InverseTransform(int32_t* x, int n, int32_t* work)
{
    const int16_t* sine = n == 1024 ? kAacSineLong : kAacSineShort;
    const int half = n >> 1;
    const int log2m = n == 1024 ? 9 : 6;
    for (int m = 0; m < half; m++) {
        int32_t a = x[2 * m], b = x[n - 1 - 2 * m];
        int32_t c = sine[2 * m], d = sine[n - 1 - 2 * m];
        work[2 * m] = AacSat32(((int64_t)MulTw(b, c) + MulTw(a, d)) >> 1);
        work[2 * m + 1] = AacSat32(((int64_t)MulTw(b, d) - MulTw(a, c)) >> 1);
    }
    Fft(work, log2m);
    const int stride = 1024 / n;
    for (int k = 0; k < half; k++) {
        int j = k * stride;
        int32_t s = kAacTwiddle[j];
        int32_t c = j == 0 ? 32767 : kAacTwiddle[512 - j];
        int32_t zr = work[2 * k], zi = work[2 * k + 1];
        int32_t re = AacSat32((int64_t)MulTw(zr, c) + MulTw(zi, s));
        int32_t im = AacSat32((int64_t)MulTw(zi, c) - MulTw(zr, s));
        x[2 * k] = re;
        x[n - 1 - 2 * k] = AacSat32(-(int64_t)im);
    }
    return log2m + 1;
}

static inline const int16_t* LongWindow(int shape) { return shape ? kAacKbdLong : kAacSineLong; }
static inline const int16_t* ShortWindow(int shape) { return shape ? kAacKbdShort : kAacSineShort; }

// Unfolded time sample n (0..2n-1) of the transform output x of n values.
static inline int64_t Unfold(const int32_t* x, int n, int t)
{
    const int h = n >> 1;
    if (t < h)
        return x[h + t];
    if (t < n)
        return -(int64_t)x[n - 1 - (t - h)];
    if (t < n + h)
        return -(int64_t)x[h - 1 - (t - n)];
    return -(int64_t)x[t - n - h];
}

// Second half of a folded 16-bit overlap o of h values (symmetric), sample t of 2h.
static inline int32_t UnfoldOverlap(const int16_t* o, int h, int t)
{
    return t < h ? -(int32_t)o[h - 1 - t] : -(int32_t)o[t - h];
}

static inline int16_t RoundHalf(int64_t x)
{
    int64_t v = (x + 32768) >> 16;
    return (int16_t)(v > 32767 ? 32767 : (v < -32768 ? -32768 : v));
}

void AacFilterbank(AacChannel* c, AacFilterbankState* fb, int16_t* pcm, int32_t* scratch)
{
    int64_t y[1024]; // sample x 2^16
    const int prevShape = fb->prevShape;
    const int seq = c->windowSequence;
    const int16_t* wl = LongWindow(prevShape);
    const int16_t* wsPrev = ShortWindow(prevShape);

    // What the previous frame leaves for this one.
    if (fb->prevSequence == AAC_EIGHT_SHORT) {
        for (int n = 0; n < 448; n++)
            y[n] = (int64_t)fb->overlap[n] * 131072; // S holds half samples
        for (int n = 0; n < 128; n++) {
            int32_t v = UnfoldOverlap(fb->overlap + 448, 64, n);
            y[448 + n] = ((int64_t)v * wsPrev[127 - n]) * 4;
        }
        for (int n = 576; n < 1024; n++)
            y[n] = 0;
    } else if (fb->prevSequence == AAC_LONG_START) {
        for (int n = 0; n < 448; n++)
            y[n] = (int64_t)UnfoldOverlap(fb->overlap, 512, n) * 131072;
        for (int n = 0; n < 128; n++)
            y[448 + n] = ((int64_t)UnfoldOverlap(fb->overlap, 512, 448 + n) * wsPrev[127 - n]) * 4;
        for (int n = 576; n < 1024; n++)
            y[n] = 0;
    } else {
        const int16_t* o = fb->overlap;
        for (int n = 0; n < 512; n++) {
            y[n] = -((int64_t)o[511 - n] * wl[1023 - n]) * 4;
            y[512 + n] = -((int64_t)o[n] * wl[511 - n]) * 4;
        }
    }

    if (seq != AAC_EIGHT_SHORT) {
        int32_t* x = c->spectrum;
        int gain = InverseTransform(x, 1024, scratch);
        int shift = c->blockExp[0] + gain - 26;
        for (int k = 0; k < 1024; k++)
            x[k] = AacShiftSat(x[k], shift);
        if (seq == AAC_LONG_STOP) {
            for (int n = 0; n < 128; n++)
                y[448 + n] += ((int64_t)Unfold(x, 1024, 448 + n) * wsPrev[n]) >> 14;
            for (int n = 576; n < 1024; n++)
                y[n] += (int64_t)Unfold(x, 1024, n) * 2;
        } else {
            for (int n = 0; n < 512; n++) {
                y[n] += ((int64_t)x[512 + n] * wl[n]) >> 14;
                y[512 + n] += (-(int64_t)x[1023 - n] * wl[512 + n]) >> 14;
            }
        }
        for (int n = 0; n < 1024; n++)
            pcm[n] = RoundHalf(y[n]);
        for (int k = 0; k < 512; k++)
            fb->overlap[k] = RoundHalf(x[k]);
    } else {
        int64_t t[1600 - 448]; // the eight windows from sample 448 on
        memset(t, 0, sizeof(t));
        const int16_t* wsCur = ShortWindow(c->windowShape);
        int16_t last[64];
        for (int j = 0; j < 8; j++) {
            int32_t* x = c->spectrum + 128 * j;
            int gain = InverseTransform(x, 128, scratch);
            int shift = c->blockExp[j] + gain - 23;
            for (int k = 0; k < 128; k++)
                x[k] = AacShiftSat(x[k], shift);
            const int16_t* rise = j == 0 ? wsPrev : wsCur;
            int64_t* out = t + 128 * j;
            for (int n = 0; n < 128; n++)
                out[n] += ((int64_t)Unfold(x, 128, n) * rise[n]) >> 14;
            if (j < 7) {
                for (int n = 0; n < 128; n++)
                    out[128 + n] += ((int64_t)Unfold(x, 128, 128 + n) * wsCur[127 - n]) >> 14;
            } else {
                for (int k = 0; k < 64; k++)
                    last[k] = RoundHalf(x[k]);
            }
        }
        for (int n = 448; n < 1024; n++)
            y[n] += t[n - 448];
        for (int n = 0; n < 1024; n++)
            pcm[n] = RoundHalf(y[n]);
        for (int k = 0; k < 448; k++)
            fb->overlap[k] = RoundHalf(t[1024 - 448 + k] / 2);
        memcpy(fb->overlap + 448, last, sizeof(last));
    }
    fb->prevShape = c->windowShape;
    fb->prevSequence = (uint8_t)seq;
}
