// SBR QMF analysis and synthesis banks in fixed point.
#include "sbr_qmf.h"

#include <cstring>

#include "sbr_kernels.h"
#include "sbr_tables.h"

namespace {

// Bit-reversal permutations of 16 and 32 points, built at compile
// time.
struct BitReverse {
    uint8_t r[32];
};
constexpr BitReverse MakeBitReverse(int bits) {
    BitReverse t = {};
    for (int i = 0; i < (1 << bits); i++) {
        int r = 0;
        for (int b = 0; b < bits; b++)
            if (i & (1 << b)) r |= 1 << (bits - 1 - b);
        t.r[i] = (uint8_t)r;
    }
    return t;
}
constexpr BitReverse kBitReverse4 = MakeBitReverse(2);
constexpr BitReverse kBitReverse8 = MakeBitReverse(3);
constexpr BitReverse kBitReverse16 = MakeBitReverse(4);
constexpr BitReverse kBitReverse32 = MakeBitReverse(5);

// In-place complex FFT of n = 4, 8, 16 or 32 points in the positive
// exponent direction (sum of x[j] e^{+i 2 pi jk/n}), scaled by 1/n: each
// radix-2 stage halves so the values never grow.
// The size is a template argument so that each size gets its own fully
// known loops.
template <int n>
inline void FftCore(int32_t* re, int32_t* im) {
    const uint8_t* rev = n == 32   ? kBitReverse32.r
                         : n == 16 ? kBitReverse16.r
                         : n == 8  ? kBitReverse8.r
                                   : kBitReverse4.r;
    for (int i = 0; i < n; i++) {
        const int r = rev[i];
        if (r > i) {
            int32_t t = re[i];
            re[i] = re[r];
            re[r] = t;
            t = im[i];
            im[i] = im[r];
            im[r] = t;
        }
    }
    // The first two stages turn by 1 and i only: no products.
    for (int start = 0; start < n; start += 4) {
        int32_t* r = &re[start];
        int32_t* i = &im[start];
        const int64_t ar = AacSat32(((int64_t)r[0] + r[1]) >> 1),
                      ai = AacSat32(((int64_t)i[0] + i[1]) >> 1);
        const int64_t br = AacSat32(((int64_t)r[0] - r[1]) >> 1),
                      bi = AacSat32(((int64_t)i[0] - i[1]) >> 1);
        const int64_t cr = AacSat32(((int64_t)r[2] + r[3]) >> 1),
                      ci = AacSat32(((int64_t)i[2] + i[3]) >> 1);
        const int64_t dr = AacSat32(((int64_t)r[2] - r[3]) >> 1),
                      di = AacSat32(((int64_t)i[2] - i[3]) >> 1);
        r[0] = AacSat32((ar + cr) >> 1);
        i[0] = AacSat32((ai + ci) >> 1);
        r[2] = AacSat32((ar - cr) >> 1);
        i[2] = AacSat32((ai - ci) >> 1);
        // d turned by e^{i pi/2}: (-di, dr)
        r[1] = AacSat32((br - di) >> 1);
        i[1] = AacSat32((bi + dr) >> 1);
        r[3] = AacSat32((br + di) >> 1);
        i[3] = AacSat32((bi - dr) >> 1);
    }
    for (int len = 8; len <= n; len <<= 1) {
        const int half = len >> 1;
        const int step = 128 / len;
        for (int start = 0; start < n; start += len) {  // j = 0 turns by 1
            const int64_t xr = re[start], xi = im[start], tr = re[start + half],
                          ti = im[start + half];
            re[start] = AacSat32((xr + tr) >> 1);
            im[start] = AacSat32((xi + ti) >> 1);
            re[start + half] = AacSat32((xr - tr) >> 1);
            im[start + half] = AacSat32((xi - ti) >> 1);
        }
        for (int j = 1; j < half; j++) {
            const int64_t c = kSbrFftTwiddle[2 * j * step];
            const int64_t s = kSbrFftTwiddle[2 * j * step + 1];
            for (int start = j; start < n; start += len) {
                int32_t* ar = &re[start];
                int32_t* ai = &im[start];
                int32_t* br = &re[start + half];
                int32_t* bi = &im[start + half];
                const int64_t tr = ((int64_t)*br * c - (int64_t)*bi * s) >> 15;
                const int64_t ti = ((int64_t)*br * s + (int64_t)*bi * c) >> 15;
                const int64_t xr = *ar, xi = *ai;
                *ar = AacSat32((xr + tr) >> 1);
                *ai = AacSat32((xi + ti) >> 1);
                *br = AacSat32((xr - tr) >> 1);
                *bi = AacSat32((xi - ti) >> 1);
            }
        }
    }
}

}  // namespace

void QmfFftSmall(int32_t* re, int32_t* im, int size) {
    switch (size) {
        case 4: FftCore<4>(re, im); break;
        case 8: FftCore<8>(re, im); break;
        case 16: FftCore<16>(re, im); break;
        default: break;
    }
}

void QmfFftLarge(int32_t* re, int32_t* im, int size) {
    if (size == 32) FftCore<32>(re, im);
}

namespace {

inline void CMul(int32_t ar, int32_t ai, const int16_t* w, int32_t* outR, int32_t* outI) {
    *outR = AacSat32(((int64_t)ar * w[0] - (int64_t)ai * w[1]) >> 15);
    *outI = AacSat32(((int64_t)ar * w[1] + (int64_t)ai * w[0]) >> 15);
}

inline int32_t NegSat(int32_t v) { return AacSat32(-(int64_t)v); }

}  // namespace

// Forward FFT of m points (negative exponent), scaled by 1/m, through the
// inverse one: FFT(z) = conj(IFFT(conj z)). The caller conjugates its input
// and reads the output's imaginary parts negated.
// DCT-IV of n = 2m points, out[j] = (1/m) sum_k x[k] cos(pi/n (k+1/2)(j+1/2)):
// pairs (x[2j], x[n-1-2j]) turned by exp(-i pi (4j+1)/(4n)), an m-point FFT,
// and a turn by exp(-i pi p/n) that gives out[2p] and -out[n-1-2p].
namespace {

template <int n>
inline void DctIvCore(const int32_t* x, const int16_t* pre, const int16_t* post, int32_t* out) {
    constexpr int m = n / 2;
    int32_t re[32], im[32];
    for (int j = 0; j < m; j++) {
        int32_t r, i;
        CMul(x[2 * j], x[n - 1 - 2 * j], &pre[2 * j], &r, &i);
        re[j] = r;
        im[j] = NegSat(i);
    }
    FftCore<m>(re, im);
    for (int p = 0; p < m; p++) {
        int32_t r, i;
        CMul(re[p], NegSat(im[p]), &post[2 * p], &r, &i);
        out[2 * p] = r;
        out[n - 1 - 2 * p] = NegSat(i);
    }
}

}  // namespace

void QmfDctIv(const int32_t* x, int n, const int16_t* pre, const int16_t* post, int32_t* out) {
    if (n == 64)
        DctIvCore<64>(x, pre, post, out);
    else if (n == 32)
        DctIvCore<32>(x, pre, post, out);
}

namespace {

// X[k] = (1/64) sum_{n<64} u[n] e^{i pi (k+1/2)(n+1/2)/32}, turned by
// turn[k]: folding u[n] and u[63-n] makes the real part the DCT-IV of their
// difference and the imaginary part the DST-IV of their sum.
void AnalysisCore(const int32_t u[64], const int16_t* turn, int32_t re[32], int32_t im[32]) {
    int32_t p[32], q[32], c[32], d[32];
    for (int m = 0; m < 32; m++) {
        p[m] = (int32_t)(((int64_t)u[m] - u[63 - m]) >> 1);
        q[31 - m] = (int32_t)(((int64_t)u[m] + u[63 - m]) >> 1);
    }
    DctIvCore<32>(p, kSbrDct4Pre32, kSbrDct4Post32, c);
    DctIvCore<32>(q, kSbrDct4Pre32, kSbrDct4Post32, d);
    for (int k = 0; k < 32; k++) {
        const int64_t yr = c[k], yi = (k & 1) ? -(int64_t)d[k] : d[k];
        const int64_t cr = turn[2 * k], ci = turn[2 * k + 1];
        re[k] = AacSat32((yr * cr - yi * ci) >> 16);
        im[k] = AacSat32((yr * ci + yi * cr) >> 16);
    }
}

}  // namespace

// The real set's transform chain: the 33 DCT-III inputs g turned into a
// Hermitian 32-point spectrum (first stage), split into one 16-point complex
// sequence (second stage), and its FFT, whose real and imaginary parts hold
// the outputs at 2k and 31 - 2k.
void QmfRealFftChain(const int32_t g[33], int32_t out[32]) {
    int64_t vr[32], vi[32];
    for (int m = 0; m < 32; m++) {  // e^{i pi m/64} (g[m] - i g[32-m]), the FFT's twiddle m
        const int64_t c = kSbrFftTwiddle[2 * m], s = kSbrFftTwiddle[2 * m + 1];
        const int64_t a = g[m], b = -(int64_t)g[32 - m];
        vr[m] = (a * c - b * s) >> 15;
        vi[m] = (a * s + b * c) >> 15;
    }
    int32_t zr[16], zi[16];
    for (int m = 0; m < 16; m++) {
        // E = (V[m] + V[m+16]) / 2, O = (V[m] - V[m+16]) e^{i 2 pi m/32} / 2,
        // z = (E + i O) / 2
        const int64_t er = vr[m] + vr[m + 16], ei = vi[m] + vi[m + 16];
        const int64_t dr = vr[m] - vr[m + 16], di = vi[m] - vi[m + 16];
        const int64_t c = kSbrDct2Split32[2 * m], s = -(int64_t)kSbrDct2Split32[2 * m + 1];
        const int64_t orr = (dr * c - di * s) >> 15, oi = (dr * s + di * c) >> 15;
        zr[m] = AacSat32((er - oi) >> 2);
        zi[m] = AacSat32((ei + orr) >> 2);
    }
    FftCore<16>(zr, zi);
    for (int k = 0; k < 16; k++) {
        out[2 * k] = k & 1 ? zi[k >> 1] : zr[k >> 1];
        const int w = 31 - k;
        out[2 * k + 1] = w & 1 ? zi[w >> 1] : zr[w >> 1];
    }
}

namespace {

// The real set: X[k] = (1/64) sum_{n<64} u[n] cos(pi/32 (k+1/2)(n - 48)).
// Folded about n = 48 (even) and n = 16 (odd) this is the DCT-III
// sum_{j<32} g[j] cos(pi/32 j (k+1/2)), computed as the inverse of the
// DCT-II's FFT route: g turned into a Hermitian 32-point spectrum whose real
// inverse, from one 16-point complex FFT, holds X at 2k and 31-2k.
void AnalysisReal(const int32_t u[64], int32_t out[32]) {
    int32_t g[33];
    g[0] = u[48];  // counted twice in the spectrum below, halved like the rest
    for (int j = 1; j < 16; j++) g[j] = (int32_t)(((int64_t)u[48 - j] + u[48 + j]) >> 1);
    for (int j = 16; j < 32; j++) g[j] = (int32_t)(((int64_t)u[48 - j] - u[j - 16]) >> 1);
    g[32] = 0;
    QmfRealFftChain(g, out);
}

// DCT-II of n = 2m points, y[j] = (2/m) sum_k x[k] cos(pi/n (k+1/2) j) for
// j = 0..n (y[n] = 0): the even samples forwards and the odd ones backwards
// make a real sequence whose n-point FFT, split from one m-point complex FFT
// and turned by exp(-i pi j/(2n)), gives y[j] and -y[n-j] at once.
void Dct2(const int32_t* x, int n, const int16_t* split, const int16_t* post, int64_t* y) {
    const int m = n / 2;
    int32_t w[64];
    for (int k = 0; k < m; k++) {
        w[k] = x[2 * k];
        w[n - 1 - k] = x[2 * k + 1];
    }
    int32_t re[32], im[32];
    for (int j = 0; j < m; j++) {
        re[j] = w[2 * j];
        im[j] = NegSat(w[2 * j + 1]);
    }
    if (m == 32)
        FftCore<32>(re, im);
    else
        FftCore<16>(re, im);
    for (int j = 0; j <= m; j++) {
        // Z[j] and conj Z[m-j] of the forward FFT
        const int64_t zr = re[j % m], zi = -(int64_t)im[j % m];
        const int64_t cr = re[(m - j) % m], ci = (int64_t)im[(m - j) % m];
        const int64_t er = zr + cr, ei = zi + ci;   // 2 E
        const int64_t or_ = zi - ci, oi = cr - zr;  // 2 O = (Z - conj Z') / i
        const int64_t sr = split[2 * j], si = split[2 * j + 1];
        const int64_t wr = er + ((or_ * sr - oi * si) >> 15);
        const int64_t wi = ei + ((or_ * si + oi * sr) >> 15);
        const int64_t pr = post[2 * j], pi = post[2 * j + 1];
        y[j] = (wr * pr - wi * pi) >> 15;
        y[n - j] = -((wr * pi + wi * pr) >> 15);
    }
}

inline int16_t Round16(int64_t s, int shift) {
    const int64_t o = (s + ((int64_t)1 << (shift - 1))) >> shift;
    return (int16_t)(o > 32767 ? 32767 : (o < -32768 ? -32768 : o));
}

}  // namespace

// v[n] = (1/B) sum_k Re{X[k] e^{i pi (k+1/2)(2n - 4B + 1)/(2B)}}, n = 0..2B-1
// (2n - 127.5 for the 32-band bank),
// written to the delay line at true v / 2 for input at
// kSbrSynthesisReference (the 64-band bank doubles, as its upper half carries
// no core energy). With X' = (-1)^k X and j = 0..B-1 this is
// v[B+j] = C[j] + D[j], v[B-1-j] = C[j] - D[j], C the DCT-IV of Im X' and
// D[j] = (-1)^j times the DCT-IV of Re X' reversed.
void SbrSynthesisTransformComplex(const int32_t re[64], const int32_t im[64], int16_t* v,
                                  int bands) {
    const int n = bands;
    const int16_t* pre = n == 64 ? kSbrDct4Pre64 : kSbrDct4Pre32;
    const int16_t* post = n == 64 ? kSbrDct4Post64 : kSbrDct4Post32;
    int32_t xr[64], xi[64];
    if (n == 32) {
        // The 32-band bank's phase runs half a sample later: (2n - 127.5).
        for (int k = 0; k < n; k++) CMul(re[k], im[k], &kSbrSyn32Turn[2 * k], &xr[k], &xi[k]);
        re = xr;
        im = xi;
    }
    int32_t a[64] = {}, b[64] = {}, c[64], d[64];
    for (int k = 0; k < n; k++) {
        a[k] = (k & 1) ? NegSat(im[k]) : im[k];
        const int j = n - 1 - k;
        b[k] = (j & 1) ? NegSat(re[j]) : re[j];
    }
    if (n == 64) {
        DctIvCore<64>(a, pre, post, c);
        DctIvCore<64>(b, pre, post, d);
    } else {
        DctIvCore<32>(a, pre, post, c);
        DctIvCore<32>(b, pre, post, d);
    }
    const int shift = n == 64 ? 10 : 11;  // the DCTs' 1/m and the scale above
    for (int j = 0; j < n; j++) {
        const int64_t dj = (j & 1) ? -(int64_t)d[j] : d[j];
        v[n + j] = Round16(c[j] + dj, shift);
        v[n - 1 - j] = Round16(c[j] - dj, shift);
    }
}

// The real set: v[n] = (2/B) sum_k X[k] cos(pi/B (k+1/2)(n - B/2)), at the
// same delay-line scale; that is the DCT-II y of X read at |n - B/2|, with
// y[2B - j] = -y[j] beyond B.
void SbrSynthesisTransformReal(const int32_t re[64], const int32_t* /*im*/, int16_t* v, int bands) {
    const int n = bands;
    int64_t y[65];
    Dct2(re, n, n == 64 ? kSbrDct2Split64 : kSbrDct2Split32,
         n == 64 ? kSbrDct2Post64 : kSbrDct2Post32, y);
    const int shift = n == 64 ? 10 : 11;
    for (int i = 0; i < 2 * n; i++) {
        const int j = i - n / 2;
        const int64_t s = j < 0 ? y[-j] : (j <= n ? y[j] : -y[2 * n - j]);
        v[i] = Round16(s, shift);
    }
}

void SbrAnalysisTransformComplex(const int32_t u[64], int32_t re[32], int32_t im[32]) {
    AnalysisCore(u, kSbrAnaTurnComplex, re, im);
}

void SbrAnalysisTransformReal(const int32_t u[64], int32_t re[32], int32_t* /*im*/) {
    AnalysisReal(u, re);
}

namespace {
int HeadroomOf(uint32_t acc) {
    if (acc == 0) return 31;
    int lz = 0;
    uint32_t x = ((acc << 1) ^ acc);
    while (!(x & 0x80000000u)) {
        x <<= 1;
        lz++;
    }
    return lz;
}

inline uint32_t Redundant(int32_t v) { return (uint32_t)(v ^ (v >> 1)); }

}  // namespace

int SbrHeadroomComplex(const SbrQmfMatrix* m, int firstBand, int endBand, int firstSlot,
                       int endSlot) {
    uint32_t acc = 0;
    for (int l = firstSlot; l < endSlot; l++)
        for (int k = firstBand; k < endBand; k++)
            acc |= Redundant(m->re[l][k]) | Redundant(m->im[l][k]);
    return HeadroomOf(acc);
}

int SbrHeadroomReal(const SbrQmfMatrix* m, int firstBand, int endBand, int firstSlot, int endSlot) {
    uint32_t acc = 0;
    for (int l = firstSlot; l < endSlot; l++)
        for (int k = firstBand; k < endBand; k++) acc |= Redundant(m->re[l][k]);
    return HeadroomOf(acc);
}

static void RescaleArray(int32_t* const* a, int firstBand, int endBand, int firstSlot, int endSlot,
                         int shift) {
    if (shift == 0) return;
    for (int l = firstSlot; l < endSlot; l++)
        for (int k = firstBand; k < endBand; k++)
            a[l][k] = shift > 0 ? (int32_t)((uint32_t)a[l][k] << shift)
                                : a[l][k] >> (-shift > 31 ? 31 : -shift);
}

void SbrRescaleComplex(SbrQmfMatrix* m, int firstBand, int endBand, int firstSlot, int endSlot,
                       int shift) {
    RescaleArray(m->re, firstBand, endBand, firstSlot, endSlot, shift);
    RescaleArray(m->im, firstBand, endBand, firstSlot, endSlot, shift);
}

void SbrRescaleReal(SbrQmfMatrix* m, int firstBand, int endBand, int firstSlot, int endSlot,
                    int shift) {
    RescaleArray(m->re, firstBand, endBand, firstSlot, endSlot, shift);
}

int SbrSelectKernels(SbrKernelSet* ks, int flag) {
    const bool c = flag != 0;
    ks->complex = c ? 1 : 0;
    ks->analysisTransform = c ? SbrAnalysisTransformComplex : SbrAnalysisTransformReal;
    ks->synthesisTransform = c ? SbrSynthesisTransformComplex : SbrSynthesisTransformReal;
    ks->hfGenerate = c ? SbrHfGenerateComplex : SbrHfGenerateReal;
    ks->reserved = nullptr;
    ks->estimateBands = c ? SbrEstimateEnergyBandsComplex : SbrEstimateEnergyBandsReal;
    ks->estimateSubbands = c ? SbrEstimateEnergySubbandsComplex : SbrEstimateEnergySubbandsReal;
    ks->gainPostStep = c ? nullptr : SbrReduceAliasing;
    ks->assembleSlot = c ? SbrAssembleSlotComplex : SbrAssembleSlotReal;
    ks->headroom = c ? SbrHeadroomComplex : SbrHeadroomReal;
    ks->rescale = c ? SbrRescaleComplex : SbrRescaleReal;
    return 0;
}

void SbrAnalysisInit(SbrAnalysisBank* bank) { memset(bank, 0, sizeof(*bank)); }

void SbrAnalysisWindow(int32_t out64[64], int16_t delayLine[320], const int16_t* window,
                       const int16_t in32[32]) {
    int16_t* x = delayLine;
    memmove(x + 32, x, 288 * sizeof(int16_t));
    for (int i = 0; i < 32; i++) x[31 - i] = in32[i];
    for (int n = 0; n < 64; n++) {
        // Five 16 x 16-bit products; the window's taps 128 apart sum to at
        // most 1.02 in magnitude, so the 32-bit sum cannot wrap.
        int32_t acc = 0;
        for (int j = 0; j < 5; j++) acc += (int32_t)x[n + 64 * j] * window[2 * (n + 64 * j)];
        out64[n] = acc;
    }
}

void SbrQmfAnalysis(const int16_t* pcm, int slotCount, SbrExponents* exps, SbrQmfMatrix* m,
                    SbrAnalysisBank* bank, const SbrKernelSet* ks) {
    for (int s = 0; s < slotCount; s++) {
        int32_t u[64];
        SbrAnalysisWindow(u, bank->x, kSbrQmfWindow, pcm + 32 * s);
        ks->analysisTransform(u, m->re[kSbrOverlapSlots + s], m->im[kSbrOverlapSlots + s]);
    }
    exps->low = kSbrAnalysisExponent;
    exps->work = 0;
}

void SbrSynthesisInit(SbrSynthesisBank* bank, int downSampled) {
    memset(bank->v, 0, sizeof(bank->v));
    bank->bands = downSampled ? 32 : 64;
    bank->lowEnd = bank->bands;
    bank->highEnd = bank->bands;
}

void SbrSynthesisWindow(const int16_t* v, int bands, int16_t* pcmOut) {
    // Ten 16 x 16-bit products per sample. The window's taps that meet in
    // one sum add up to at most 57308 (Q15) in magnitude, so the 32-bit sums
    // cannot wrap, whatever the order of the additions.
    const int B = bands;
    const int16_t* c = kSbrQmfWindow;
    int32_t acc[64];
    for (int j = 0; j < B; j++) acc[j] = 0;
    if (B == 64) {
        for (int i = 0; i < 5; i++) {
            const int16_t* v0 = v + 256 * i;
            const int16_t* v1 = v0 + 192;
            const int16_t* c0 = c + 128 * i;
            const int16_t* c1 = c0 + 64;
            for (int j = 0; j < 64; j++) acc[j] += v0[j] * c0[j] + v1[j] * c1[j];
        }
    } else {
        for (int i = 0; i < 5; i++)
            for (int j = 0; j < B; j++)
                acc[j] += v[4 * B * i + j] * c[2 * (2 * B * i + j)] +
                          v[4 * B * i + 3 * B + j] * c[2 * (2 * B * i + B + j)];
    }
    for (int j = 0; j < B; j++) {
        // Rounded sum / 2^14, saturated to 16 bits.
        const int32_t o = (acc[j] + 8192) >> 14;
        pcmOut[j] = (int16_t)(o > 32767 ? 32767 : (o < -32768 ? -32768 : o));
    }
}

void SbrSynthesisOutput(const SbrQmfMatrix* m, int firstSlot, int slotCount, int lowExp,
                        const int* highExp, int16_t* pcmOut, SbrSynthesisBank* bank,
                        const SbrKernelSet* ks) {
    const int B = bank->bands;
    const int lowEnd = bank->lowEnd < B ? bank->lowEnd : B;
    const int highEnd = bank->highEnd < B ? bank->highEnd : B;
    int16_t* v = bank->v;
    for (int s = 0; s < slotCount; s++) {
        const int32_t* sr = m->re[firstSlot + s];
        const int32_t* si = m->im[firstSlot + s];
        int32_t xr[64], xi[64];
        const int lowShift = lowExp - kSbrSynthesisReference;
        const int he = highExp ? highExp[firstSlot + s] : lowExp;
        const int highShift = he - kSbrSynthesisReference;
        const int end = he == kSbrNoHighBand ? lowEnd : highEnd;
        for (int k = 0; k < B; k++) {
            int sh = k < lowEnd ? lowShift : highShift;
            if (k < end) {
                xr[k] = AacShiftSat(sr[k], -sh);
                xi[k] = ks->complex ? AacShiftSat(si[k], -sh) : 0;
            } else {
                xr[k] = xi[k] = 0;
            }
        }
        memmove(v + 2 * B, v, 18 * B * sizeof(int16_t));
        ks->synthesisTransform(xr, xi, v, B);
        SbrSynthesisWindow(v, B, pcmOut + B * s);
    }
}

void SbrKeepOverlapSlots(SbrQmfMatrix* m, int slotCount) {
    for (int l = 0; l < kSbrOverlapSlots; l++) {
        if (m->re[l] != m->re[slotCount + l])
            memcpy(m->re[l], m->re[slotCount + l], 64 * sizeof(int32_t));
        if (m->im[l] != m->im[slotCount + l])
            memcpy(m->im[l], m->im[slotCount + l], 64 * sizeof(int32_t));
    }
}

void SbrBuildSlotTable(SbrQmfSlot* areaA, SbrQmfSlot* areaB, SbrQmfSlot* areaC, int32_t** realSlots,
                       int32_t** imagSlots, int overlapCount, int slotCount, int mode) {
    const int inB = (slotCount + 1) / 2;
    const int total = overlapCount + slotCount;
    for (int l = 0; l < total; l++) {
        SbrQmfSlot* s = l < overlapCount         ? &areaA[l]
                        : l < overlapCount + inB ? &areaB[l - overlapCount]
                                                 : &areaC[l - overlapCount - inB];
        realSlots[l] = s->re;
        imagSlots[l] = s->im;
    }
    if (mode != 1) return;
    // The second set: slot l sits where the first set's slot l - 1 lies.
    realSlots[total] = (areaA - 1)->re;
    imagSlots[total] = (areaA - 1)->im;
    for (int l = 1; l < total; l++) {
        realSlots[total + l] = realSlots[l - 1];
        imagSlots[total + l] = imagSlots[l - 1];
    }
}
