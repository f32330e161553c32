// SSE2 twins of the half-pel prediction kernels and the bidirectional
// average, bit-exact with the plain ones.
#include "codecs/video/m4v_internal.h"

#if M4V_HAVE_SSE2_KERNELS
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

template <int W>
M4V_SSE2 inline __m128i Load(const uint8_t* p) {
    return W == 16 ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(p))
                   : _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

template <int W>
M4V_SSE2 inline void Store(uint8_t* p, __m128i v) {
    if (W == 16)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    else
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
}

// (a + b + 1 - r) >> 1
template <int R>
M4V_SSE2 inline __m128i Avg2(__m128i a, __m128i b) {
    __m128i m = _mm_avg_epu8(a, b);
    if (R) m = _mm_sub_epi8(m, _mm_and_si128(_mm_xor_si128(a, b), _mm_set1_epi8(1)));
    return m;
}

// (a + b + c + d + 2 - r) >> 2 in 16-bit lanes.
template <int R>
M4V_SSE2 inline __m128i Avg4(__m128i a, __m128i b, __m128i c, __m128i d) {
    __m128i z = _mm_setzero_si128(), k = _mm_set1_epi16(2 - R);
    __m128i lo = _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(a, z), _mm_unpacklo_epi8(b, z)),
                               _mm_add_epi16(_mm_unpacklo_epi8(c, z), _mm_unpacklo_epi8(d, z)));
    __m128i hi = _mm_add_epi16(_mm_add_epi16(_mm_unpackhi_epi8(a, z), _mm_unpackhi_epi8(b, z)),
                               _mm_add_epi16(_mm_unpackhi_epi8(c, z), _mm_unpackhi_epi8(d, z)));
    lo = _mm_srli_epi16(_mm_add_epi16(lo, k), 2);
    hi = _mm_srli_epi16(_mm_add_epi16(hi, k), 2);
    return _mm_packus_epi16(lo, hi);
}

template <int W, int F, int R>
M4V_SSE2 void PutHpelSse2(uint8_t* dst, int ds, const uint8_t* src, int ss, int h) {
    for (int y = 0; y < h; ++y, dst += ds, src += ss) {
        __m128i v;
        if (F == 0) {
            v = Load<W>(src);
        } else if (F == 1) {
            v = Avg2<R>(Load<W>(src), Load<W>(src + 1));
        } else if (F == 2) {
            v = Avg2<R>(Load<W>(src), Load<W>(src + ss));
        } else {
            v = Avg4<R>(Load<W>(src), Load<W>(src + 1), Load<W>(src + ss), Load<W>(src + ss + 1));
        }
        Store<W>(dst, v);
    }
}

const McFn kPutSse2[2][2][4] = {
    {{PutHpelSse2<8, 0, 0>, PutHpelSse2<8, 1, 0>, PutHpelSse2<8, 2, 0>, PutHpelSse2<8, 3, 0>},
     {PutHpelSse2<16, 0, 0>, PutHpelSse2<16, 1, 0>, PutHpelSse2<16, 2, 0>, PutHpelSse2<16, 3, 0>}},
    {{PutHpelSse2<8, 0, 1>, PutHpelSse2<8, 1, 1>, PutHpelSse2<8, 2, 1>, PutHpelSse2<8, 3, 1>},
     {PutHpelSse2<16, 0, 1>, PutHpelSse2<16, 1, 1>, PutHpelSse2<16, 2, 1>, PutHpelSse2<16, 3, 1>}},
};

}  // namespace

McFn M4vMcKernelSse2(int rounding, int wide, int frac) {
    return kPutSse2[rounding & 1][wide][frac];
}

M4V_SSE2 void M4vMcAverageSse2(uint8_t* dst, int ds, const uint8_t* src, int ss, int w, int h) {
    if (w != 8 && w != 16) {
        M4vMcAveragePlain(dst, ds, src, ss, w, h);
        return;
    }
    for (int y = 0; y < h; ++y, dst += ds, src += ss) {
        if (w == 16)
            Store<16>(dst, _mm_avg_epu8(Load<16>(dst), Load<16>(src)));
        else
            Store<8>(dst, _mm_avg_epu8(Load<8>(dst), Load<8>(src)));
    }
}

#endif

#if M4V_HAVE_SSE2_KERNELS
namespace {

// The 8-tap half-sample value of eight 16-bit lanes, clipped to 0..255.
M4V_SSE2 inline __m128i Tap8x8(__m128i a, __m128i b, __m128i c, __m128i e, __m128i g, __m128i m,
                               __m128i n, __m128i o, __m128i bias) {
    __m128i s = _mm_mullo_epi16(_mm_add_epi16(e, g), _mm_set1_epi16(20));
    s = _mm_sub_epi16(s, _mm_mullo_epi16(_mm_add_epi16(c, m), _mm_set1_epi16(6)));
    s = _mm_add_epi16(s, _mm_mullo_epi16(_mm_add_epi16(b, n), _mm_set1_epi16(3)));
    s = _mm_sub_epi16(s, _mm_add_epi16(a, o));
    s = _mm_srai_epi16(_mm_add_epi16(s, bias), 5);
    s = _mm_max_epi16(s, _mm_setzero_si128());
    return _mm_min_epi16(s, _mm_set1_epi16(255));
}

}  // namespace

M4V_SSE2 void M4vQpelColsSse2(uint8_t* dst, int ds, const uint8_t* src, int ss, int w, int h, int f,
                              int r) {
    const uint8_t* row[16 + 8];
    for (int i = 0; i <= h; ++i) row[3 + i] = src + i * ss;
    row[2] = row[3];
    row[1] = row[4];
    row[0] = row[5];
    row[h + 4] = row[h + 3];
    row[h + 5] = row[h + 2];
    row[h + 6] = row[h + 1];
    const uint8_t* const* q = row + 3;
    __m128i z = _mm_setzero_si128(), bias = _mm_set1_epi16(int16_t(16 - r));
    __m128i rnd = _mm_set1_epi16(int16_t(1 - r));
    for (int k = 0; k < h; ++k) {
        for (int x = 0; x < w; x += 8) {
            __m128i v[8];
            for (int t = 0; t < 8; ++t)
                v[t] = _mm_unpacklo_epi8(
                    _mm_loadl_epi64(reinterpret_cast<const __m128i*>(q[k - 3 + t] + x)), z);
            __m128i hv = Tap8x8(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], bias);
            if (f != 2) {
                __m128i nr = f == 3 ? v[4] : v[3];
                hv = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(hv, nr), rnd), 1);
            }
            _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + k * ds + x),
                             _mm_packus_epi16(hv, hv));
        }
    }
}

M4V_SSE2 void M4vQpelRowsSse2(uint8_t* dst, int ds, const uint8_t* src, int ss, int w, int h, int f,
                              int r) {
    __m128i z = _mm_setzero_si128(), bias = _mm_set1_epi16(int16_t(16 - r));
    __m128i rnd = _mm_set1_epi16(int16_t(1 - r));
    for (int k = 0; k < h; ++k) {
        // The line's w + 1 samples with three mirrored on each side.
        uint8_t p[16 + 8];
        const uint8_t* in = src + k * ss;
        memcpy(p + 3, in, size_t(w + 1));
        p[2] = p[3];
        p[1] = p[4];
        p[0] = p[5];
        p[w + 4] = p[w + 3];
        p[w + 5] = p[w + 2];
        p[w + 6] = p[w + 1];
        for (int x = 0; x < w; x += 8) {
            __m128i v[8];
            for (int t = 0; t < 8; ++t)
                v[t] = _mm_unpacklo_epi8(
                    _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + x + t)), z);
            __m128i hv = Tap8x8(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], bias);
            if (f != 2) {
                __m128i nr = f == 3 ? v[4] : v[3];
                hv = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(hv, nr), rnd), 1);
            }
            _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + k * ds + x),
                             _mm_packus_epi16(hv, hv));
        }
    }
}
#endif
