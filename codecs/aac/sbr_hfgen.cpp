// SBR high-frequency generation (covariance-method inverse filtering and
// patching), complex and real forms.
#include "sbr_hfgen.h"

#include <cstring>

#include "sbr_tables.h"

void SbrChirpFactors(const SbrHfState* st, int noiseBands, const uint8_t* invf, int32_t* out) {
    for (int i = 0; i < noiseBands; i++) {
        int m = invf[i] & 3, p = st->prevInvf[i] & 3;
        int32_t target;
        switch (m) {
            case 1: target = p != 0 ? kSbrChirpTable[2] : kSbrChirpTable[1]; break;
            case 2: target = kSbrChirpTable[3]; break;
            case 3: target = kSbrChirpTable[4]; break;
            default: target = p == 1 ? kSbrChirpTable[1] : 0; break;
        }
        int32_t old = st->prevChirp[i];
        int64_t a, b;
        if (target < old) {
            a = ((int64_t)target * 0x60000000) >> 32;
            b = ((int64_t)old * 0x20000000) >> 32;
        } else {
            a = ((int64_t)target * 0x74000000) >> 32;
            b = ((int64_t)old * 0x0c000000) >> 32;
        }
        int32_t nw = AacSat32((a + b) * 2);
        if (nw < 0x2000000) nw = 0;
        if (nw >= 0x7f800000) nw = 0x7f800000;
        out[i] = nw;
    }
}

namespace {

struct Coeffs {
    int16_t a0r, a0i, a1r, a1i;  // alpha / 4 in Q15
    int16_t rc;                  // first-order reflection coefficient, Q15
};

// Restoring division, one quotient bit per step: |num| / |den| in Q13
// (the predictor's alpha / 4 in Q15), the sign applied afterwards. A
// quotient of 4 or more is out of the predictor's range (the standard's
// stability rule drops it): *overflow is set and 0 returned.
int16_t DivQ13(int64_t num, int64_t den, bool* overflow) {
    if (den == 0 || num == 0) return 0;
    const bool neg = (num < 0) != (den < 0);
    uint64_t n = num < 0 ? (uint64_t)0 - (uint64_t)num : (uint64_t)num;
    uint64_t d = den < 0 ? (uint64_t)0 - (uint64_t)den : (uint64_t)den;
    if (n >= 4 * d || n >> 61) {
        *overflow = true;
        return 0;
    }
    // Both under 2^47, so that n << 14 and d << 15 stay within 64 bits.
    while (d >> 47) {
        d >>= 1;
        n >>= 1;
    }
    if (d == 0) return 0;
    n <<= 14;  // one bit beyond Q13 for the rounding
    uint32_t q = 0;
    for (int bit = 15; bit >= 0; bit--) {
        if (n >= (d << bit)) {
            n -= d << bit;
            q |= 1u << bit;
        }
    }
    q = (q + 1) >> 1;
    if (q > 32767) q = 32767;
    return (int16_t)(neg ? -(int32_t)q : (int32_t)q);
}

// Leading sign bits of a 32-bit value less one: the left shift that keeps it
// inside 32 bits (31 for 0).
int Headroom32(int32_t v) {
    const uint32_t x = (uint32_t)(v ^ (v >> 31));
    return x == 0 ? 31 : __builtin_clz(x) - 1;
}

// Upper word of a 32 x 32-bit product.
inline int64_t Hi(int32_t a, int32_t b) { return ((int64_t)a * b) >> 32; }

// Second-order linear predictor of one low band by the covariance method,
// over the frame's slots and the two kept before them, in fixed point.
Coeffs Predictor(const SbrQmfMatrix* m, const SbrHfState* st, int band, int slots, int complexSet) {
    int32_t vr[kSbrMatrixSlots + 2], vi[kSbrMatrixSlots + 2];
    for (int l = 0; l < 2; l++) {
        vr[l] = band < 32 ? st->histRe[l][band] : 0;
        vi[l] = band < 32 && complexSet ? st->histIm[l][band] : 0;
    }
    for (int l = 0; l < slots; l++) {
        vr[l + 2] = m->re[l][band];
        vi[l + 2] = complexSet ? m->im[l][band] : 0;
    }
    slots += 2;
    // 16-bit copies: the band's values are brought into 15 bits first.
    int32_t peak = 0;
    for (int l = 0; l < slots; l++) {
        int32_t r = vr[l], i = vi[l];
        uint32_t ar = r < 0 ? (uint32_t)(-(int64_t)r) : (uint32_t)r;
        uint32_t ai = i < 0 ? (uint32_t)(-(int64_t)i) : (uint32_t)i;
        uint32_t mx = ar > ai ? ar : ai;
        if (mx > (uint32_t)peak) peak = (int32_t)(mx > 0x7fffffffu ? 0x7fffffff : mx);
    }
    Coeffs c = {0, 0, 0, 0, 0};
    if (peak == 0) return c;
    int shift = 0;
    while ((peak >> shift) > 16383) shift++;
    int16_t xr[kSbrMatrixSlots + 2], xi[kSbrMatrixSlots + 2];
    for (int l = 0; l < slots; l++) {
        xr[l] = (int16_t)(vr[l] >> shift);
        xi[l] = (int16_t)(vi[l] >> shift);
    }
    // phi(i, j) = sum x[n - i] conj(x[n - j]): 64-bit sums of 16 x 16-bit
    // products, brought to 32 bits by >> 4 with saturation.
    int64_t sr[3][3] = {}, si[3][3] = {};
    for (int n = 2; n < slots; n++) {
        for (int i = 0; i < 3; i++)
            for (int j = i; j < 3; j++) {
                sr[i][j] += (int64_t)xr[n - i] * xr[n - j] + (int64_t)xi[n - i] * xi[n - j];
                si[i][j] += (int64_t)xi[n - i] * xr[n - j] - (int64_t)xr[n - i] * xi[n - j];
            }
    }
    int32_t pr[3][3] = {}, pi[3][3] = {};
    int norm = 31;
    for (int i = 0; i < 3; i++)
        for (int j = i; j < 3; j++) {
            pr[i][j] = AacSat32(sr[i][j] >> 4);
            pi[i][j] = AacSat32(si[i][j] >> 4);
            const int hr = Headroom32(pr[i][j]), hi = Headroom32(pi[i][j]);
            norm = hr < norm ? hr : norm;
            norm = hi < norm ? hi : norm;
        }
    // One shift for all: one bit short of the smallest headroom, so that
    // sums of two products' upper words cannot wrap.
    norm = norm > 0 ? norm - 1 : 0;
    for (int i = 0; i < 3; i++)
        for (int j = i; j < 3; j++) {
            pr[i][j] = (int32_t)((uint32_t)pr[i][j] << norm);
            pi[i][j] = (int32_t)((uint32_t)pi[i][j] << norm);
        }
    const int32_t p01r = pr[0][1], p01i = pi[0][1], p02r = pr[0][2], p02i = pi[0][2];
    const int32_t p12r = pr[1][2], p12i = pi[1][2], p11 = pr[1][1], p22 = pr[2][2];
    // det = phi(1,1) phi(2,2) - |phi(1,2)|^2, without the relaxation term.
    const int64_t det = Hi(p11, p22) - Hi(p12r, p12r) - Hi(p12i, p12i);
    bool unstable = false;
    int16_t a1r = 0, a1i = 0, a0r = 0, a0i = 0;
    if (det != 0) {
        // (phi01 phi12 - phi02 phi11) / det
        a1r = DivQ13(Hi(p01r, p12r) - Hi(p01i, p12i) - Hi(p02r, p11), det, &unstable);
        a1i = DivQ13(Hi(p01i, p12r) + Hi(p01r, p12i) - Hi(p02i, p11), det, &unstable);
    }
    if (p11 != 0) {
        // -(phi01 + alpha1 conj(phi12)) / phi11, alpha1 in Q13
        const int64_t nr = (int64_t)p01r + (((int64_t)a1r * p12r + (int64_t)a1i * p12i) >> 13);
        const int64_t ni = (int64_t)p01i + (((int64_t)a1i * p12r - (int64_t)a1r * p12i) >> 13);
        a0r = DivQ13(-nr, p11, &unstable);
        a0i = DivQ13(-ni, p11, &unstable);
    }
    if (!complexSet) {
        a0i = a1i = 0;
        // -phi(0,1) / phi(1,1), held to -1..1, in Q15
        if (p11 != 0) {
            bool over = false;
            const int32_t rc = DivQ13(-(int64_t)p01r, p11, &over);
            int32_t v = over ? ((p01r < 0) == (p11 < 0) ? -32768 : 32767) : rc * 4;
            c.rc = (int16_t)(v > 32767 ? 32767 : (v < -32768 ? -32768 : v));
        }
    }
    // The standard's stability rule: |alpha|^2 >= 16 (2^30 in Q13 squared).
    const int64_t m0 = (int64_t)a0r * a0r + (int64_t)a0i * a0i;
    const int64_t m1 = (int64_t)a1r * a1r + (int64_t)a1i * a1i;
    if (unstable || m0 >= ((int64_t)1 << 30) || m1 >= ((int64_t)1 << 30)) a0r = a0i = a1r = a1i = 0;
    c.a0r = a0r;
    c.a0i = a0i;
    c.a1r = a1r;
    c.a1i = a1i;
    return c;
}

// Degree of aliasing per low band from the signs of neighbouring reflection
// coefficients: a band whose coefficient points towards its neighbour while
// the neighbour points back shares a tone with it (the mirror image of a
// real-valued subband). 1 - rc^2 of the middle band weights a half-match.
void SbrAliasDegrees(const Coeffs* c, int n, int16_t* deg) {
    for (int k = 0; k < n; k++) deg[k] = 0;
    for (int k = 1; k < n; k++) {
        const int r0 = c[k].rc, r1 = c[k - 1].rc, r2 = k >= 2 ? c[k - 2].rc : 0;
        const int sign = (k & 1) ? 1 : -1;  // odd bands look for rc > 0
        if (r0 * sign <= 0) continue;
        const int16_t half = (int16_t)(32767 - (((int32_t)r1 * r1) >> 15));
        if (r1 * sign > 0) {
            deg[k] = 32767;
            if (k >= 2 && r2 * sign < 0) deg[k - 1] = half;
        } else if (k >= 2 && r2 * sign < 0) {
            deg[k] = half;
        }
    }
}

inline int32_t MulQ15(int32_t x, int32_t q) { return (int32_t)(((int64_t)x * q) >> 15); }

inline int16_t RoundHi(int64_t v) {  // Q31 x Q15 -> Q15, rounded
    int64_t r = (v + ((int64_t)1 << 30)) >> 31;
    return (int16_t)(r > 32767 ? 32767 : (r < -32768 ? -32768 : r));
}

// One body for both sets: the real one never reads or writes imaginary parts.
template <bool complexSet>
void HfGenerate(SbrQmfMatrix* m, const SbrBandTables* t, SbrHfState* st, const uint8_t* invf,
                int firstSlot, int endSlot) {
    int32_t chirp[5] = {};
    SbrChirpFactors(st, t->nNoise, invf, chirp);
    int top = t->kx;
    for (int p = 0; p < t->numPatches; p++) top += t->patchCount[p];
    for (int l = firstSlot; l < endSlot; l++)
        for (int k = top; k < 64; k++) {
            m->re[l][k] = 0;
            if (complexSet) m->im[l][k] = 0;
        }
    Coeffs coeffs[64];
    bool have[64] = {};
    if (!complexSet) {
        for (int b = 0; b < t->kx && b < 64; b++) {
            coeffs[b] = Predictor(m, st, b, kSbrMatrixSlots, 0);
            have[b] = true;
        }
        int16_t deg[64];
        SbrAliasDegrees(coeffs, t->kx, deg);
        memset(st->aliasDegree, 0, sizeof(st->aliasDegree));
        int kk = t->kx;
        for (int p = 0; p < t->numPatches; p++)
            for (int b = 0; b < t->patchCount[p]; b++, kk++)
                if (b > 0 && kk < 64) st->aliasDegree[kk] = deg[t->patchSource[p] + b];
    }
    int k = t->kx;
    for (int p = 0; p < t->numPatches; p++) {
        for (int b = 0; b < t->patchCount[p]; b++, k++) {
            int src = t->patchSource[p] + b;
            if (!have[src]) {
                coeffs[src] = Predictor(m, st, src, kSbrMatrixSlots, complexSet);
                have[src] = true;
            }
            int g = 0;
            while (g + 1 < t->nNoise && k >= t->noise[g + 1]) g++;
            int64_t bw = chirp[g];
            int16_t bwQ15 = (int16_t)(bw >> 16);
            int64_t bw2 = (bw * bw) >> 31;  // Q31
            const Coeffs& c = coeffs[src];
            int16_t a0r = RoundHi(bw * c.a0r), a0i = RoundHi(bw * c.a0i);
            int16_t a1r = RoundHi(bw2 * c.a1r), a1i = RoundHi(bw2 * c.a1i);
            bool copy = bwQ15 == 0 || (a0r == 0 && a0i == 0 && a1r == 0 && a1i == 0);
            for (int l = firstSlot; l < endSlot; l++) {
                int32_t xr = m->re[l][src] >> 2;
                int32_t xi = complexSet ? m->im[l][src] >> 2 : 0;
                if (!copy) {
                    // slots -2 and -1 are the kept history
                    const bool h1 = l < 1, h2 = l < 2;
                    int32_t r1 = h1 ? (src < 32 ? st->histRe[1][src] : 0) : m->re[l - 1][src];
                    int32_t r2 = h2 ? (src < 32 ? st->histRe[l][src] : 0) : m->re[l - 2][src];
                    int32_t i1 = !complexSet ? 0
                                 : h1        ? (src < 32 ? st->histIm[1][src] : 0)
                                             : m->im[l - 1][src];
                    int32_t i2 = !complexSet ? 0
                                 : h2        ? (src < 32 ? st->histIm[l][src] : 0)
                                             : m->im[l - 2][src];
                    int64_t sr = (int64_t)xr + MulQ15(r1, a0r) - MulQ15(i1, a0i) + MulQ15(r2, a1r) -
                                 MulQ15(i2, a1i);
                    int64_t si = (int64_t)xi + MulQ15(r1, a0i) + MulQ15(i1, a0r) + MulQ15(r2, a1i) +
                                 MulQ15(i2, a1r);
                    xr = AacSat32(sr);
                    xi = AacSat32(si);
                }
                m->re[l][k] = xr;
                if (complexSet) m->im[l][k] = xi;
            }
        }
    }
    for (int i = 0; i < t->nNoise && i < 5; i++) {
        st->prevChirp[i] = chirp[i];
        st->prevInvf[i] = invf[i];
    }
}

}  // namespace

void SbrHfGenerateComplex(SbrQmfMatrix* m, const SbrBandTables* t, SbrHfState* st,
                          const uint8_t* invf, int firstSlot, int endSlot) {
    HfGenerate<true>(m, t, st, invf, firstSlot, endSlot);
}

void SbrHfGenerateReal(SbrQmfMatrix* m, const SbrBandTables* t, SbrHfState* st, const uint8_t* invf,
                       int firstSlot, int endSlot) {
    HfGenerate<false>(m, t, st, invf, firstSlot, endSlot);
}
