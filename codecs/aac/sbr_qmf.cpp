// SBR QMF analysis and synthesis banks in fixed point.
#include "sbr_qmf.h"

#include <cstring>

#include "sbr_tables.h"

namespace {

// Bit-reversal permutations of 32, 64 and 128 points, built at compile
// time.
struct BitReverse {
  uint8_t r[128];
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
constexpr BitReverse kBitReverse32 = MakeBitReverse(5);
constexpr BitReverse kBitReverse64 = MakeBitReverse(6);
constexpr BitReverse kBitReverse128 = MakeBitReverse(7);

// In-place complex FFT of n = 32, 64 or 128 points in the positive
// exponent direction (sum of x[j] e^{+i 2 pi jk/n}), scaled by 1/n: each
// radix-2 stage halves so the values never grow. upperZero: the upper half
// of the input is zero (the synthesis), which makes the first stage a
// halving copy.
void FftInverseScaled(int32_t* re, int32_t* im, int n, bool upperZero = false) {
  const uint8_t* rev = n == 128 ? kBitReverse128.r : (n == 64 ? kBitReverse64.r : kBitReverse32.r);
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
  int first = 2;
  if (upperZero) {
    // After the permutation the odd positions hold the zeros.
    for (int i = 0; i < n; i += 2) {
      re[i] >>= 1;
      im[i] >>= 1;
      re[i + 1] = re[i];
      im[i + 1] = im[i];
    }
    first = 4;
  }
  for (int len = first; len <= n; len <<= 1) {
    const int half = len >> 1;
    const int step = 128 / len;
    for (int j = 0; j < half; j++) {
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
        *ar = SbrSat32((xr + tr) >> 1);
        *ai = SbrSat32((xi + ti) >> 1);
        *br = SbrSat32((xr - tr) >> 1);
        *bi = SbrSat32((xi - ti) >> 1);
      }
    }
  }
}

inline void CMul(int32_t ar, int32_t ai, const int16_t* w, int32_t* outR, int32_t* outI) {
  *outR = SbrSat32(((int64_t)ar * w[0] - (int64_t)ai * w[1]) >> 15);
  *outI = SbrSat32(((int64_t)ar * w[1] + (int64_t)ai * w[0]) >> 15);
}

// X[k] = 2 sum u[n] e^{i pi (k+1/2)(2n - A)/64}, evaluated as a 64-point
// FFT between the pre-twiddle e^{i pi n/64} and a post-twiddle by k.
// Output scale: true x 2^kSbrAnalysisExponent for a Q15 window sum.
void AnalysisCore(const int32_t u[64], const int16_t* post, int32_t re[32], int32_t im[32],
                  bool wantImag) {
  int32_t fr[64], fi[64];
  for (int n = 0; n < 64; n++) {
    fr[n] = (int32_t)(((int64_t)u[n] * kSbrTwiddlePi64[2 * n]) >> 15);
    fi[n] = (int32_t)(((int64_t)u[n] * kSbrTwiddlePi64[2 * n + 1]) >> 15);
  }
  FftInverseScaled(fr, fi, 64);
  for (int k = 0; k < 32; k++) {
    int32_t r, i;
    CMul(fr[k], fi[k], &post[2 * k], &r, &i);
    re[k] = r;
    if (wantImag) im[k] = i;
  }
}

// v[n] = (1/B) sum_k Re{X[k] e^{i pi (k+1/2)(2n - K)/(2B)}}, n = 0..2B-1,
// as a 2B-point FFT. Input at kSbrSynthesisReference; output rounded to the
// 16-bit delay line scale (true v / 2), `extra` doubles for the real set.
void SynthesisCore(const int32_t* xr, const int32_t* xi, const int16_t* pre, int16_t* v,
                   int bands, int extra) {
  int32_t fr[128], fi[128];
  const int n2 = 2 * bands;
  for (int k = 0; k < bands; k++) {
    CMul(xr[k], xi ? xi[k] : 0, &pre[2 * k], &fr[k], &fi[k]);
  }
  for (int k = bands; k < n2; k++) fr[k] = fi[k] = 0;
  FftInverseScaled(fr, fi, n2, true);
  // Brings the FFT output to the delay line's scale, true v / 2 (the
  // standard's 1/64 included); the 64-band bank doubles, as its upper half
  // carries no core energy. The real set's chain leaves one bit less.
  const int shift = kSbrSynthesisReference + 1 - extra - (bands == 64 ? 1 : 0);
  const int64_t round = (int64_t)1 << (shift - 1);
  const int16_t* post = bands == 64 ? kSbrTwiddlePi128 : kSbrTwiddlePi64;
  for (int n = 0; n < n2; n++) {
    int64_t r = ((int64_t)fr[n] * post[2 * n] - (int64_t)fi[n] * post[2 * n + 1]) >> 15;
    int64_t o = (r + round) >> shift;
    v[n] = (int16_t)(o > 32767 ? 32767 : (o < -32768 ? -32768 : o));
  }
}

}  // namespace

void SbrAnalysisTransformComplex(const int32_t u[64], int32_t re[32], int32_t im[32]) {
  AnalysisCore(u, kSbrAnaPostComplex, re, im, true);
}

void SbrAnalysisTransformReal(const int32_t u[64], int32_t re[32], int32_t im[32]) {
  AnalysisCore(u, kSbrAnaPostReal, re, im, false);
}

void SbrSynthesisTransformComplex(const int32_t re[64], const int32_t im[64], int16_t* v,
                                  int bands) {
  SynthesisCore(re, im, bands == 64 ? kSbrSyn64PreComplex : kSbrSyn32PreComplex, v, bands, 0);
}

void SbrSynthesisTransformReal(const int32_t re[64], const int32_t* /*im*/, int16_t* v,
                               int bands) {
  SynthesisCore(re, nullptr, bands == 64 ? kSbrSyn64PreReal : kSbrSyn32PreReal, v, bands, 1);
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
    for (int k = firstBand; k < endBand; k++) acc |= Redundant(m->re[l][k]) | Redundant(m->im[l][k]);
  return HeadroomOf(acc);
}

int SbrHeadroomReal(const SbrQmfMatrix* m, int firstBand, int endBand, int firstSlot,
                    int endSlot) {
  uint32_t acc = 0;
  for (int l = firstSlot; l < endSlot; l++)
    for (int k = firstBand; k < endBand; k++) acc |= Redundant(m->re[l][k]);
  return HeadroomOf(acc);
}

static void RescaleArray(int32_t (*a)[64], int firstBand, int endBand, int firstSlot,
                         int endSlot, int shift) {
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
  if (flag) {
    ks->complex = 1;
    ks->analysisTransform = SbrAnalysisTransformComplex;
    ks->synthesisTransform = SbrSynthesisTransformComplex;
    ks->headroom = SbrHeadroomComplex;
    ks->rescale = SbrRescaleComplex;
  } else {
    ks->complex = 0;
    ks->analysisTransform = SbrAnalysisTransformReal;
    ks->synthesisTransform = SbrSynthesisTransformReal;
    ks->headroom = SbrHeadroomReal;
    ks->rescale = SbrRescaleReal;
  }
  return 0;
}

void SbrAnalysisInit(SbrAnalysisBank* bank) { memset(bank, 0, sizeof(*bank)); }

void SbrQmfAnalysis(const int16_t* pcm, int slotCount, SbrExponents* exps, SbrQmfMatrix* m,
                    SbrAnalysisBank* bank, const SbrKernelSet* ks) {
  int16_t* x = bank->x;
  const int16_t* c = kSbrQmfWindow;
  for (int s = 0; s < slotCount; s++) {
    memmove(x + 32, x, 288 * sizeof(int16_t));
    for (int i = 0; i < 32; i++) x[31 - i] = pcm[32 * s + i];
    int32_t u[64];
    for (int n = 0; n < 64; n++) {
      // Five 16 x 16-bit products; the window's taps 128 apart sum to at
      // most 1.02 in magnitude, so the 32-bit sum cannot wrap.
      int32_t acc = 0;
      for (int j = 0; j < 5; j++) acc += (int32_t)x[n + 64 * j] * c[2 * (n + 64 * j)];
      u[n] = acc;
    }
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

void SbrQmfSynthesis(const SbrQmfMatrix* m, int firstSlot, int slotCount, int lowExp,
                     const int* highExp, int16_t* pcmOut, SbrSynthesisBank* bank,
                     const SbrKernelSet* ks) {
  const int B = bank->bands;
  const int lowEnd = bank->lowEnd < B ? bank->lowEnd : B;
  const int highEnd = bank->highEnd < B ? bank->highEnd : B;
  int16_t* v = bank->v;
  const int16_t* c = kSbrQmfWindow;
  const int cstep = B == 64 ? 1 : 2;
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
        xr[k] = SbrShiftSat(sr[k], sh);
        xi[k] = ks->complex ? SbrShiftSat(si[k], sh) : 0;
      } else {
        xr[k] = xi[k] = 0;
      }
    }
    memmove(v + 2 * B, v, 18 * B * sizeof(int16_t));
    ks->synthesisTransform(xr, xi, v, B);
    int16_t* out = pcmOut + B * s;
    for (int j = 0; j < B; j++) {
      int64_t acc = 0;
      for (int i = 0; i < 5; i++) {
        acc += (int32_t)v[4 * B * i + j] * c[cstep * (2 * B * i + j)];
        acc += (int32_t)v[4 * B * i + 3 * B + j] * c[cstep * (2 * B * i + B + j)];
      }
      // Rounded sum / 2^14, saturated to 16 bits.
      int64_t o = (acc + 8192) >> 14;
      out[j] = (int16_t)(o > 32767 ? 32767 : (o < -32768 ? -32768 : o));
    }
  }
}

void SbrKeepOverlapSlots(SbrQmfMatrix* m, int slotCount) {
  memmove(m->re[0], m->re[slotCount], sizeof(m->re[0]) * kSbrOverlapSlots);
  memmove(m->im[0], m->im[slotCount], sizeof(m->im[0]) * kSbrOverlapSlots);
}
