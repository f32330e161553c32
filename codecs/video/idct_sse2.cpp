// SSE2 form of the integer inverse DCT: the same products and shifts as the
// plain transform, four columns (or rows) per 32-bit lane group, so its output
// is bit-exact with it. Always the full transform: the reduced forms of the
// plain one give the full transform's result.
#include "codecs/video/m4v_internal.h"

#if defined(__i386__) || defined(__x86_64__) || defined(_M_IX86) || defined(_M_X64)
#include <emmintrin.h>

#if defined(__i386__)
// On i686, Windows enters threads and callbacks with the stack only 4-byte
// aligned, while SSE2 spills and operands need 16: each SSE2 function
// realigns its own frame.
#define M4V_SSE2 __attribute__((target("sse2"), force_align_arg_pointer))
#else
#define M4V_SSE2 __attribute__((target("sse2")))
#endif

namespace {

enum { W1 = 2841, W2 = 2676, W3 = 2408, W5 = 1609, W6 = 1108, W7 = 565 };

// Pairs (a, b) of two 16-bit inputs times (ca, cb), summed in 32 bits.
M4V_SSE2 inline __m128i Pair(__m128i ab, int ca, int cb) {
    return _mm_madd_epi16(ab, _mm_set1_epi32(int((uint32_t(uint16_t(cb)) << 16) | uint16_t(ca))));
}

// 181 * y with shifts (181 = 128 + 32 + 16 + 4 + 1).
M4V_SSE2 inline __m128i Times181(__m128i y) {
    __m128i s = _mm_add_epi32(_mm_slli_epi32(y, 7), _mm_slli_epi32(y, 5));
    s = _mm_add_epi32(s, _mm_slli_epi32(y, 4));
    s = _mm_add_epi32(s, _mm_slli_epi32(y, 2));
    return _mm_add_epi32(s, y);
}

// (181 * v + 128) >> 8 without a 32-bit overflow: split v at bit 8.
M4V_SSE2 inline __m128i Rotate181(__m128i v) {
    __m128i hi = Times181(_mm_srai_epi32(v, 8));
    __m128i lo = Times181(_mm_and_si128(v, _mm_set1_epi32(255)));
    return _mm_add_epi32(hi, _mm_srai_epi32(_mm_add_epi32(lo, _mm_set1_epi32(128)), 8));
}

// Lanes 0-3 (lo) or 4-7 (hi) of a and b interleaved.
template <bool kHi>
M4V_SSE2 inline __m128i Interleave(__m128i a, __m128i b) {
    return kHi ? _mm_unpackhi_epi16(a, b) : _mm_unpacklo_epi16(a, b);
}

// One 1-D pass over 8 vectors of 8 int16 lanes (x[k] = input k of each lane)
// for the lanes lo (0-3) or hi (4-7); out[k] = 32-bit output k before the
// final shift. Row: the products are rounded by 3 bits and x0 gets 8192 with a
// scale of 256; column: no product rounding, x0 gets 128 with 2048.
template <bool kRow, bool kHi>
M4V_SSE2 inline void Pass(const __m128i* x, __m128i* out) {
    const int scale = kRow ? 256 : 2048;
    __m128i r = _mm_set1_epi32(kRow ? 4 : 0);
    __m128i p04 = Interleave<kHi>(x[0], x[4]);
    __m128i bias = _mm_set1_epi32(kRow ? 8192 : 128);
    __m128i x8 = _mm_add_epi32(Pair(p04, scale, scale), bias);   // x0 + x1
    __m128i x0 = _mm_add_epi32(Pair(p04, scale, -scale), bias);  // x0 - x1
    __m128i p26 = Interleave<kHi>(x[2], x[6]);
    __m128i p17 = Interleave<kHi>(x[1], x[7]);
    __m128i p53 = Interleave<kHi>(x[5], x[3]);
    __m128i x2 = Pair(p26, W6, -W2), x3 = Pair(p26, W2, W6);
    __m128i x4 = Pair(p17, W1, W7), x5 = Pair(p17, W7, -W1);
    __m128i x6 = Pair(p53, W5, W3), x7 = Pair(p53, W3, -W5);
    if (kRow) {
        x2 = _mm_srai_epi32(_mm_add_epi32(x2, r), 3);
        x3 = _mm_srai_epi32(_mm_add_epi32(x3, r), 3);
        x4 = _mm_srai_epi32(_mm_add_epi32(x4, r), 3);
        x5 = _mm_srai_epi32(_mm_add_epi32(x5, r), 3);
        x6 = _mm_srai_epi32(_mm_add_epi32(x6, r), 3);
        x7 = _mm_srai_epi32(_mm_add_epi32(x7, r), 3);
    }
    __m128i x1 = _mm_add_epi32(x4, x6);
    x4 = _mm_sub_epi32(x4, x6);
    x6 = _mm_add_epi32(x5, x7);
    x5 = _mm_sub_epi32(x5, x7);
    x7 = _mm_add_epi32(x8, x3);
    x8 = _mm_sub_epi32(x8, x3);
    x3 = _mm_add_epi32(x0, x2);
    x0 = _mm_sub_epi32(x0, x2);
    x2 = Rotate181(_mm_add_epi32(x4, x5));
    x4 = Rotate181(_mm_sub_epi32(x4, x5));
    out[0] = _mm_add_epi32(x7, x1);
    out[1] = _mm_add_epi32(x3, x2);
    out[2] = _mm_add_epi32(x0, x4);
    out[3] = _mm_add_epi32(x8, x6);
    out[4] = _mm_sub_epi32(x8, x6);
    out[5] = _mm_sub_epi32(x0, x4);
    out[6] = _mm_sub_epi32(x3, x2);
    out[7] = _mm_sub_epi32(x7, x1);
}

M4V_SSE2 inline void Transpose(__m128i* r) {
    __m128i a0 = _mm_unpacklo_epi16(r[0], r[1]), a1 = _mm_unpackhi_epi16(r[0], r[1]);
    __m128i a2 = _mm_unpacklo_epi16(r[2], r[3]), a3 = _mm_unpackhi_epi16(r[2], r[3]);
    __m128i a4 = _mm_unpacklo_epi16(r[4], r[5]), a5 = _mm_unpackhi_epi16(r[4], r[5]);
    __m128i a6 = _mm_unpacklo_epi16(r[6], r[7]), a7 = _mm_unpackhi_epi16(r[6], r[7]);
    __m128i b0 = _mm_unpacklo_epi32(a0, a2), b1 = _mm_unpackhi_epi32(a0, a2);
    __m128i b2 = _mm_unpacklo_epi32(a1, a3), b3 = _mm_unpackhi_epi32(a1, a3);
    __m128i b4 = _mm_unpacklo_epi32(a4, a6), b5 = _mm_unpackhi_epi32(a4, a6);
    __m128i b6 = _mm_unpacklo_epi32(a5, a7), b7 = _mm_unpackhi_epi32(a5, a7);
    r[0] = _mm_unpacklo_epi64(b0, b4);
    r[1] = _mm_unpackhi_epi64(b0, b4);
    r[2] = _mm_unpacklo_epi64(b1, b5);
    r[3] = _mm_unpackhi_epi64(b1, b5);
    r[4] = _mm_unpacklo_epi64(b2, b6);
    r[5] = _mm_unpackhi_epi64(b2, b6);
    r[6] = _mm_unpacklo_epi64(b3, b7);
    r[7] = _mm_unpackhi_epi64(b3, b7);
}

// 32-bit values to int16 wrapping as the plain transform's stores do.
M4V_SSE2 inline __m128i Wrap16(__m128i lo, __m128i hi) {
    lo = _mm_srai_epi32(_mm_slli_epi32(lo, 16), 16);
    hi = _mm_srai_epi32(_mm_slli_epi32(hi, 16), 16);
    return _mm_packs_epi32(lo, hi);
}

// The transform of a block into 8 rows of int16 pixel offsets (saturated:
// the stores clip to 0..255 after adding the prediction).
M4V_SSE2 void Transform(const int16_t* block, __m128i* rows) {
    __m128i v[8], lo[8], hi[8];
    for (int k = 0; k < 8; ++k)
        v[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 8 * k));
    Pass<false, false>(v, lo);
    Pass<false, true>(v, hi);
    for (int k = 0; k < 8; ++k) v[k] = Wrap16(_mm_srai_epi32(lo[k], 8), _mm_srai_epi32(hi[k], 8));
    Transpose(v);
    Pass<true, false>(v, lo);
    Pass<true, true>(v, hi);
    for (int k = 0; k < 8; ++k)
        rows[k] = _mm_packs_epi32(_mm_srai_epi32(lo[k], 14), _mm_srai_epi32(hi[k], 14));
    Transpose(rows);
}

}  // namespace

M4V_SSE2 void M4vIdctPutSse2(uint8_t* dst, int16_t* block, int stride, uint32_t summary) {
    if (summary == 0) {
        M4vIdctPutPlain(dst, block, stride, summary);
        return;
    }
    __m128i rows[8];
    Transform(block, rows);
    for (int k = 0; k < 8; ++k)
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + k * stride),
                         _mm_packus_epi16(rows[k], rows[k]));
}

M4V_SSE2 void M4vIdctAddSse2(uint8_t* dst, const uint8_t* pred, int16_t* block, int dstStride,
                             int predStride, uint32_t summary) {
    if (summary == 0) {
        M4vIdctAddPlain(dst, pred, block, dstStride, predStride, summary);
        return;
    }
    __m128i rows[8];
    Transform(block, rows);
    __m128i zero = _mm_setzero_si128();
    for (int k = 0; k < 8; ++k) {
        __m128i p = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pred + k * predStride));
        __m128i s = _mm_adds_epi16(rows[k], _mm_unpacklo_epi8(p, zero));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + k * dstStride), _mm_packus_epi16(s, s));
    }
}

int M4vHaveSse2() {
#if defined(__x86_64__) || defined(_M_X64)
    return 1;
#else
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2") ? 1 : 0;
#endif
}

#else

int M4vHaveSse2() { return 0; }

#endif
