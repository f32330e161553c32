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

// AAC_FFT_PLAIN builds the plain code only (to measure it on x86).
#if defined(__SSE2__) && !defined(AAC_FFT_PLAIN)
#include <emmintrin.h>
#define AAC_FFT_SSE2 1
#else
#define AAC_FFT_SSE2 0
#endif

namespace {

// Bit reversal of 9-bit indices; a 6-bit index reverses to rev9(i) >> 3.
struct BitRev {
    uint16_t v[512];
};

constexpr BitRev MakeBitRev() {
    BitRev t{};
    for (int i = 0; i < 512; i++) {
        int r = 0;
        for (int b = 0; b < 9; b++) r |= ((i >> b) & 1) << (8 - b);
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
void FirstStages(int32_t* d, int m) {
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

inline void Butterfly(int32_t* a, int32_t* b, int32_t wc, int32_t ws) {
    int32_t b0 = b[0], b1 = b[1];
    int32_t br = MulHi16(b0, wc) + MulHi16(b1, ws);
    int32_t bi = MulHi16(b1, wc) - MulHi16(b0, ws);
    int32_t ar = a[0] >> 1, ai = a[1] >> 1;
    a[0] = ar + br;
    a[1] = ai + bi;
    b[0] = ar - br;
    b[1] = ai - bi;
}

// Twiddle pair (cosine, sine) of the angle 2 pi j / 2048, j = 0..1023.
inline void TwiddleAt(int j, int32_t* c, int32_t* s) {
    const int16_t* tw = kAacTwiddle;
    if (j < 512) {
        *s = tw[j];
        *c = j == 0 ? 32767 : tw[512 - j];
    } else if (j == 512) {
        *s = 32767;
        *c = 0;
    } else {
        *s = tw[1024 - j];
        *c = -tw[j - 512];
    }
}

// Radix-2 stages of sizes 8..m on bit-reversed input.
void StagesPlain(int32_t* d, int log2m) {
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

}  // namespace

static void BitReverse(int32_t* d, int log2m) {
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
}

// Output shift of the post-rotation, the same as AacShiftSat for every value.
static inline int32_t ShiftOut(int32_t v, int s) {
    if (s >= 0) {
        const int32_t lim = INT32_MAX >> s;
        if (v > lim) return INT32_MAX;
        if (v < -lim - 1) return INT32_MIN;
        return (int32_t)((uint32_t)v << s);
    }
    return v >> -s;
}

static int PostRotatePlain(int32_t* x, int n, int shift, const int32_t* work);

int AacImdctInversePlain(int32_t* x, int n, int shift, int32_t* work) {
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
    StagesPlain(work, log2m);
    return PostRotatePlain(x, n, shift, work);
}

// Post-rotation into x with the output shift; returns the exponent gained.
static int PostRotatePlain(int32_t* x, int n, int shift, const int32_t* work) {
    const int half = n >> 1;
    if (shift > 32) shift = 32;
    if (shift < -32) shift = -32;
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
    return n == 1024 ? 10 : 7;
}

void AacImdctFftPlain(int32_t* d, int log2m) {
    BitReverse(d, log2m);
    StagesPlain(d, log2m);
}

// Long window overlap-add, exactly clamp16((((x w) >> 14) - 4 o w' + 2^15) >> 16)
// on 64 bits, done in 32: ((x w) >> 16 - o w' + 2^13) >> 14 is the same
// value (the low bits dropped first cannot carry into the kept ones).
void AacOverlapLongPlain(const int32_t* x, const int16_t* o, const int16_t* w, int16_t* pcm) {
    for (int n = 0; n < 512; n++) {
        int32_t v = (MulHi16(x[512 + n], w[n]) - o[511 - n] * w[1023 - n] + 8192) >> 14;
        pcm[n] = AacSat16(v);
    }
    for (int n = 0; n < 512; n++) {
        int32_t v = (MulHi16(x[1023 - n], -w[512 + n]) - o[n] * w[511 - n] + 8192) >> 14;
        pcm[512 + n] = AacSat16(v);
    }
}

#if AAC_FFT_SSE2

namespace {

// (x * w) >> 16 in each 32-bit lane for any x, w in the 16-bit range: with x split
// into a signed high half h and an unsigned low half l, that is h * w plus
// (l * w) >> 16; the latter comes from the signed 16-bit high product, plus
// w when l has its top bit set.
inline __m128i MulHi16x4(__m128i x, __m128i w) {
    __m128i hi = _mm_madd_epi16(x, _mm_slli_epi32(w, 16));
    __m128i lo = _mm_srai_epi32(_mm_slli_epi32(_mm_mulhi_epi16(x, w), 16), 16);
    __m128i fix = _mm_and_si128(_mm_srai_epi32(_mm_slli_epi32(x, 16), 31), w);
    return _mm_add_epi32(_mm_add_epi32(hi, lo), fix);
}

// A twiddle vector w (16-bit values in 32-bit lanes) prepared for
// MulHi16Near: w in the high and in the low half of each lane.
struct TwiddleVec {
    __m128i hi, lo;
};

inline TwiddleVec Prepare(__m128i w) {
    return {_mm_slli_epi32(w, 16), _mm_and_si128(w, _mm_set1_epi32(0xFFFF))};
}

// (x * w) >> 16 for |x| < 2^31 - 2^15, the FFT's range: with h the high half
// of x + 2^15 and l the signed low half of x (x = h 2^16 + l), that is
// h * w + (l * w) >> 16, two 16-bit multiply-adds.
inline __m128i MulHi16Near(__m128i x, __m128i xBiased, const TwiddleVec& w) {
    return _mm_add_epi32(_mm_madd_epi16(xBiased, w.hi),
                         _mm_srai_epi32(_mm_madd_epi16(x, w.lo), 16));
}

// Two complex values z (re, im, re, im) turned by their pairs: re * c + im * s
// and im * c - re * s, each product (v * w) >> 16. c and s hold each pair's
// value twice.
inline __m128i Rotate(__m128i z, const TwiddleVec& c, const TwiddleVec& s) {
    const __m128i oddNeg = _mm_set_epi32(-1, 0, -1, 0);
    const __m128i zb = _mm_add_epi32(z, _mm_set1_epi32(0x8000));
    __m128i p = MulHi16Near(z, zb, c);
    __m128i q = MulHi16Near(_mm_shuffle_epi32(z, _MM_SHUFFLE(2, 3, 0, 1)),
                            _mm_shuffle_epi32(zb, _MM_SHUFFLE(2, 3, 0, 1)), s);
    q = _mm_sub_epi32(_mm_xor_si128(q, oddNeg), oddNeg);
    return _mm_add_epi32(p, q);
}

inline __m128i Pairs(int32_t v0, int32_t v1) { return _mm_set_epi32(v1, v1, v0, v0); }

void StagesSse2(int32_t* d, int log2m) {
    const int m = 1 << log2m;
    FirstStages(d, m);
    for (int len = 8; len <= m; len <<= 1) {
        const int half = len >> 1;
        const int stride = 2048 / len;
        for (int k = 0; k < half; k += 2) {
            int32_t c0, s0, c1, s1;
            TwiddleAt(k * stride, &c0, &s0);
            TwiddleAt((k + 1) * stride, &c1, &s1);
            const TwiddleVec c = Prepare(Pairs(c0, c1)), s = Prepare(Pairs(s0, s1));
            for (int base = 0; base < m; base += len) {
                __m128i* pa = (__m128i*)(d + 2 * (base + k));
                __m128i* pb = (__m128i*)(d + 2 * (base + k + half));
                __m128i a = _mm_srai_epi32(_mm_loadu_si128(pa), 1);
                __m128i b = _mm_loadu_si128(pb);
                __m128i r = Rotate(b, c, s);
                if (k == 0)  // twiddle 1: the first point is halved, not turned
                    r = _mm_castpd_si128(
                        _mm_move_sd(_mm_castsi128_pd(r), _mm_castsi128_pd(_mm_srai_epi32(b, 1))));
                _mm_storeu_si128(pa, _mm_add_epi32(a, r));
                _mm_storeu_si128(pb, _mm_sub_epi32(a, r));
            }
        }
    }
}

// Four 16-bit table values from p, sign-extended to 32 bits.
inline __m128i Load4x16(const int16_t* p) {
    __m128i v = _mm_loadl_epi64((const __m128i*)p);
    return _mm_srai_epi32(_mm_unpacklo_epi16(v, v), 16);
}

// The output shift on four values, as AacShiftSat for shifts -32..30.
inline __m128i ShiftOut4(__m128i v, int s) {
    if (s < 0) return _mm_sra_epi32(v, _mm_cvtsi32_si128(s < -31 ? 31 : -s));
    if (s == 0) return v;
    const __m128i hiLim = _mm_set1_epi32(INT32_MAX >> s);
    const __m128i loLim = _mm_set1_epi32(-(INT32_MAX >> s) - 1);
    __m128i over = _mm_cmpgt_epi32(v, hiLim);
    __m128i under = _mm_cmplt_epi32(v, loLim);
    __m128i r = _mm_sll_epi32(v, _mm_cvtsi32_si128(s));
    r = _mm_andnot_si128(_mm_or_si128(over, under), r);
    r = _mm_or_si128(r, _mm_and_si128(over, _mm_set1_epi32(INT32_MAX)));
    return _mm_or_si128(r, _mm_and_si128(under, _mm_set1_epi32(INT32_MIN)));
}

}  // namespace

static int InverseSse2(int32_t* x, int n, int shift, int32_t* work) {
    const int16_t* sine = n == 1024 ? kAacSineLong : kAacSineShort;
    const int half = n >> 1;
    const int log2m = n == 1024 ? 9 : 6;
    const int down = 9 - log2m;
    const __m128i oddNeg = _mm_set_epi32(-1, 0, -1, 0);
    // Pre-rotation, points m and m + 1: with a the front and b the back
    // value, (b c + a d, b d - a c), (v * w) >> 16 products.
    for (int m = 0; m < half; m += 2) {
        __m128i front = _mm_loadu_si128((const __m128i*)(x + 2 * m));         // a_m . a_m1 .
        __m128i back = _mm_loadu_si128((const __m128i*)(x + n - 4 - 2 * m));  // . b_m1 . b_m
        __m128i bs = _mm_shuffle_epi32(back, _MM_SHUFFLE(0, 2, 1, 3));        // b_m b_m1
        __m128i as = _mm_shuffle_epi32(front, _MM_SHUFFLE(3, 1, 2, 0));       // a_m a_m1
        __m128i z = _mm_unpacklo_epi32(bs, as);                               // b_m a_m b_m1 a_m1
        __m128i zs = _mm_unpacklo_epi32(as, bs);                              // a_m b_m a_m1 b_m1
        __m128i c = _mm_shuffle_epi32(Load4x16(sine + 2 * m), _MM_SHUFFLE(2, 2, 0, 0));
        __m128i dd = _mm_shuffle_epi32(Load4x16(sine + n - 4 - 2 * m), _MM_SHUFFLE(1, 1, 3, 3));
        __m128i p = MulHi16x4(z, c);    // b c, a c
        __m128i q = MulHi16x4(zs, dd);  // a d, b d
        __m128i r = _mm_add_epi32(_mm_sub_epi32(_mm_xor_si128(p, oddNeg), oddNeg), q);
        _mm_storel_epi64((__m128i*)(work + 2 * (kBitRev.v[m] >> down)), r);
        _mm_storel_epi64((__m128i*)(work + 2 * (kBitRev.v[m + 1] >> down)),
                         _mm_unpackhi_epi64(r, r));
    }
    StagesSse2(work, log2m);
    if (shift > 30) return PostRotatePlain(x, n, shift, work);
    // Post-rotation of points k, k + 1 (lo) and half - 2 - k, half - 1 - k
    // (hi): x[2k] takes re_k and x[2k + 1] the negated im of half - 1 - k.
    const int stride = 1024 / n;
    const int16_t* tw = kAacTwiddle;
    for (int k = 0; k < half / 2; k += 2) {
        // angles below a quarter turn: the sine upwards, the cosine downwards
        const int j0 = k * stride, j2 = (half - 2 - k) * stride;
        const int32_t s0 = tw[j0], s1 = tw[j0 + stride], s2 = tw[j2], s3 = tw[j2 + stride];
        const int32_t c0 = j0 ? tw[512 - j0] : 32767, c1 = tw[512 - j0 - stride];
        const int32_t c2 = tw[512 - j2], c3 = tw[512 - j2 - stride];
        __m128i lo = Rotate(_mm_loadu_si128((const __m128i*)(work + 2 * k)), Prepare(Pairs(c0, c1)),
                            Prepare(Pairs(s0, s1)));
        __m128i hi = Rotate(_mm_loadu_si128((const __m128i*)(work + n - 4 - 2 * k)),
                            Prepare(Pairs(c2, c3)), Prepare(Pairs(s2, s3)));
        lo = _mm_add_epi32(lo, lo);
        hi = _mm_add_epi32(hi, hi);
        __m128i nlo = _mm_sub_epi32(_mm_setzero_si128(), lo);
        __m128i nhi = _mm_sub_epi32(_mm_setzero_si128(), hi);
        __m128i out1 = _mm_unpacklo_epi32(_mm_shuffle_epi32(lo, _MM_SHUFFLE(3, 1, 2, 0)),
                                          _mm_shuffle_epi32(nhi, _MM_SHUFFLE(2, 0, 1, 3)));
        __m128i out2 = _mm_unpacklo_epi32(_mm_shuffle_epi32(hi, _MM_SHUFFLE(3, 1, 2, 0)),
                                          _mm_shuffle_epi32(nlo, _MM_SHUFFLE(2, 0, 1, 3)));
        _mm_storeu_si128((__m128i*)(x + 2 * k), ShiftOut4(out1, shift));
        _mm_storeu_si128((__m128i*)(x + n - 4 - 2 * k), ShiftOut4(out2, shift));
    }
    return log2m + 1;
}

// Products of four 16-bit pairs (in 32-bit lanes, either extension) as 32-bit
// values.
static inline __m128i Mul16x4(__m128i a, __m128i b) {
    return _mm_madd_epi16(_mm_and_si128(a, _mm_set1_epi32(0xFFFF)), b);
}

static inline __m128i Reverse4(__m128i v) { return _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3)); }

static void OverlapLongSse2(const int32_t* x, const int16_t* o, const int16_t* w, int16_t* pcm) {
    const __m128i round = _mm_set1_epi32(8192);
    for (int n = 0; n < 512; n += 8) {
        __m128i v[2];
        for (int h = 0; h < 2; h++) {
            const int i = n + 4 * h;
            __m128i p = MulHi16x4(_mm_loadu_si128((const __m128i*)(x + 512 + i)), Load4x16(w + i));
            __m128i b = Reverse4(Mul16x4(Load4x16(o + 508 - i), Load4x16(w + 1020 - i)));
            v[h] = _mm_srai_epi32(_mm_add_epi32(_mm_sub_epi32(p, b), round), 14);
        }
        _mm_storeu_si128((__m128i*)(pcm + n), _mm_packs_epi32(v[0], v[1]));
    }
    for (int n = 0; n < 512; n += 8) {
        __m128i v[2];
        for (int h = 0; h < 2; h++) {
            const int i = n + 4 * h;
            __m128i xr = Reverse4(_mm_loadu_si128((const __m128i*)(x + 1020 - i)));
            __m128i p = MulHi16x4(xr, _mm_sub_epi32(_mm_setzero_si128(), Load4x16(w + 512 + i)));
            __m128i b = Mul16x4(Load4x16(o + i), Reverse4(Load4x16(w + 508 - i)));
            v[h] = _mm_srai_epi32(_mm_add_epi32(_mm_sub_epi32(p, b), round), 14);
        }
        _mm_storeu_si128((__m128i*)(pcm + 512 + n), _mm_packs_epi32(v[0], v[1]));
    }
}

#endif

void AacImdctFft(int32_t* d, int log2m) {
    BitReverse(d, log2m);
#if AAC_FFT_SSE2
    if (log2m >= 3) {
        StagesSse2(d, log2m);
        return;
    }
#endif
    StagesPlain(d, log2m);
}

int AacImdctInverse(int32_t* x, int n, int shift, int32_t* work) {
#if AAC_FFT_SSE2
    return InverseSse2(x, n, shift, work);
#else
    return AacImdctInversePlain(x, n, shift, work);
#endif
}

void AacOverlapLong(const int32_t* x, const int16_t* o, const int16_t* w, int16_t* pcm) {
#if AAC_FFT_SSE2
    OverlapLongSse2(x, o, w, pcm);
#else
    AacOverlapLongPlain(x, o, w, pcm);
#endif
}
