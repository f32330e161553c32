// Inverse transform of the filterbank: a pre-rotation that writes its output
// straight into bit-reversed order, a radix-2 FFT whose first two stages run
// as one multiplication-free pass, and a post-rotation that also applies the
// block's output shift.
//
// No sum here needs saturation. The pre-rotation is a rotation by a Q15
// cosine/sine pair with the products halved, so every complex value it makes
// has a modulus below 2^31 / sqrt(2) (plus rounding), whatever the 32-bit
// input. A butterfly forms (a +- b w) / 2 with |w| <= 1, so moduli never grow
// beyond that bound (plus one unit of rounding per stage), and the
// post-rotation is again a rotation. Each part is bounded by the modulus, so
// all values stay far inside 32 bits.
#include "codecs/aac/aac_fft.h"

#include "codecs/aac/aac_internal.h"

namespace {

// Bit reversal of 9-bit indices; a 6-bit index reverses to rev9(i) >> 3.
struct BitRev {
    uint16_t v[512];
};

constexpr BitRev MakeBitRev()
{
    BitRev t{};
    for (int i = 0; i < 512; i++) {
        int r = 0;
        for (int b = 0; b < 9; b++)
            r |= ((i >> b) & 1) << (8 - b);
        t.v[i] = (uint16_t)r;
    }
    return t;
}

constexpr BitRev kBitRev = MakeBitRev();

// (x * w) >> 16 on the 64-bit product.
inline int32_t MulHi16(int32_t x, int32_t w) { return (int32_t)(((int64_t)x * w) >> 16); }

// The first two radix-2 stages over groups of four points: every input
// halved before each stage; the second stage's odd butterfly turns by the
// Q15 pair (0, 32767), i.e. -j scaled by 32767/32768.
void FirstStages(int32_t* d, int m)
{
    for (int i = 0; i < m; i += 4) {
        int32_t* p = d + 2 * i;
        int32_t a0r = p[0] >> 1, a0i = p[1] >> 1, a1r = p[2] >> 1, a1i = p[3] >> 1;
        int32_t a2r = p[4] >> 1, a2i = p[5] >> 1, a3r = p[6] >> 1, a3i = p[7] >> 1;
        int32_t s0r = a0r + a1r, s0i = a0i + a1i, s1r = a0r - a1r, s1i = a0i - a1i;
        int32_t s2r = a2r + a3r, s2i = a2i + a3i, s3r = a2r - a3r, s3i = a2i - a3i;
        int32_t br = s2r >> 1, bi = s2i >> 1;
        int32_t ar = s0r >> 1, ai = s0i >> 1;
        p[0] = ar + br;
        p[1] = ai + bi;
        p[4] = ar - br;
        p[5] = ai - bi;
        br = MulHi16(s3i, 32767);
        bi = -MulHi16(s3r, 32767);
        ar = s1r >> 1;
        ai = s1i >> 1;
        p[2] = ar + br;
        p[3] = ai + bi;
        p[6] = ar - br;
        p[7] = ai - bi;
    }
}

inline void Butterfly(int32_t* a, int32_t* b, int32_t wc, int32_t ws)
{
    int32_t b0 = b[0], b1 = b[1];
    int32_t br = MulHi16(b0, wc) + MulHi16(b1, ws);
    int32_t bi = MulHi16(b1, wc) - MulHi16(b0, ws);
    int32_t ar = a[0] >> 1, ai = a[1] >> 1;
    a[0] = ar + br;
    a[1] = ai + bi;
    b[0] = ar - br;
    b[1] = ai - bi;
}

// Radix-2 stages of sizes 8..m on bit-reversed input.
void Stages(int32_t* d, int log2m)
{
    const int m = 1 << log2m;
    const int16_t* tw = kAacTwiddle;
    FirstStages(d, m);
    for (int len = 8; len <= m; len <<= 1) {
        const int half = len >> 1;
        const int quarter = half >> 1;
        const int stride = 2048 / len;
        for (int base = 0; base < m; base += len) {
            int32_t* a = d + 2 * base;
            int32_t* b = a + 2 * half;
            {
                int32_t ar = a[0] >> 1, ai = a[1] >> 1, br = b[0] >> 1, bi = b[1] >> 1;
                a[0] = ar + br;
                a[1] = ai + bi;
                b[0] = ar - br;
                b[1] = ai - bi;
            }
            // cosine from the top of the quarter sine downwards, sine upwards
            for (int k = 1, j = stride; k < quarter; k++, j += stride)
                Butterfly(a + 2 * k, b + 2 * k, tw[512 - j], tw[j]);
            Butterfly(a + 2 * quarter, b + 2 * quarter, 0, 32767);
            for (int k = quarter + 1, j = stride; k < half; k++, j += stride)
                Butterfly(a + 2 * k, b + 2 * k, -tw[j], tw[512 - j]);
        }
    }
}

} // namespace

void AacImdctFft(int32_t* d, int log2m)
{
    const int m = 1 << log2m;
    const int down = 9 - log2m;
    for (int i = 0; i < m; i++) {
        int j = kBitRev.v[i] >> down;
        if (i < j) {
            int32_t t0 = d[2 * i], t1 = d[2 * i + 1];
            d[2 * i] = d[2 * j];
            d[2 * i + 1] = d[2 * j + 1];
            d[2 * j] = t0;
            d[2 * j + 1] = t1;
        }
    }
    Stages(d, log2m);
}

// Output shift of the post-rotation, the same as AacShiftSat for every value.
static inline int32_t ShiftOut(int32_t v, int s)
{
    if (s >= 0) {
        const int32_t lim = INT32_MAX >> s;
        if (v > lim)
            return INT32_MAX;
        if (v < -lim - 1)
            return INT32_MIN;
        return (int32_t)((uint32_t)v << s);
    }
    return v >> -s;
}

int AacImdctInverse(int32_t* x, int n, int shift, int32_t* work)
{
    const int16_t* sine = n == 1024 ? kAacSineLong : kAacSineShort;
    const int half = n >> 1;
    const int log2m = n == 1024 ? 9 : 6;
    const int down = 9 - log2m;
    // Pre-rotation: 2 x ((v * w) >> 16) products, halved, i.e. the plain
    // (v * w) >> 16 terms summed.
    for (int m = 0; m < half; m++) {
        int32_t a = x[2 * m], b = x[n - 1 - 2 * m];
        int32_t c = sine[2 * m], d = sine[n - 1 - 2 * m];
        int32_t* o = work + 2 * (kBitRev.v[m] >> down);
        o[0] = MulHi16(b, c) + MulHi16(a, d);
        o[1] = MulHi16(b, d) - MulHi16(a, c);
    }
    Stages(work, log2m);
    if (shift > 32)
        shift = 32;
    if (shift < -32)
        shift = -32;
    const int stride = 1024 / n;
    const int16_t* tw = kAacTwiddle;
    // Post-rotation: the products are 2 x ((v * w) >> 16).
    for (int k = 0; k < half; k++) {
        int j = k * stride;
        int32_t s = tw[j];
        int32_t c = j == 0 ? 32767 : tw[512 - j];
        int32_t zr = work[2 * k], zi = work[2 * k + 1];
        int32_t re = 2 * (MulHi16(zr, c) + MulHi16(zi, s));
        int32_t im = 2 * (MulHi16(zi, c) - MulHi16(zr, s));
        if (shift == 32 || shift == -32) {
            x[2 * k] = AacShiftSat(re, shift);
            x[n - 1 - 2 * k] = AacShiftSat(-im, shift);
        } else {
            x[2 * k] = ShiftOut(re, shift);
            x[n - 1 - 2 * k] = ShiftOut(-im, shift);
        }
    }
    return log2m + 1;
}
