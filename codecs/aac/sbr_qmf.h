// SBR QMF banks: 32-band analysis of the core PCM, 64-band (or 32-band
// down-sampled) synthesis, both as a complex set and a real set.
#pragma once
#include <cstdint>

#include "aac_fixed.h"

enum {
    kSbrOverlapSlots = 6,
    kSbrFrameSlots = 32,  // QMF slots of a 1024-sample core frame
    kSbrMatrixSlots = kSbrOverlapSlots + kSbrFrameSlots,
};

// One QMF time slot as it lies in memory: 64 real then 64 imaginary values.
struct SbrQmfSlot {
    int32_t re[64];
    int32_t im[64];
};

// QMF matrix of one channel, reached through slot pointers: the overlap
// slots kept from the previous frame followed by the frame's slots, which
// SbrBuildSlotTable takes from separate areas. re[l][k] and im[l][k] are
// band k of slot l. Stored value = true value x 2^exponent.
struct SbrQmfMatrix {
    int32_t* re[kSbrMatrixSlots];
    int32_t* im[kSbrMatrixSlots];
};

// Fills slot pointer arrays from three areas: overlapCount slots of areaA,
// then (slotCount + 1) / 2 slots of areaB and slotCount / 2 of areaC (the
// frame's slots). With mode 1 a second set of overlapCount + slotCount
// entries follows in both arrays, for the second output channel of
// parametric stereo: each of its slots lies one slot position before the
// first set's slot of the same index (the previous entry of the first set;
// the first one just before areaA, which then needs a slot of room in front),
// so that it reuses the memory of a slot the first channel has consumed.
// The arrays hold overlapCount + slotCount entries, twice that with mode 1.
void SbrBuildSlotTable(SbrQmfSlot* areaA, SbrQmfSlot* areaB, SbrQmfSlot* areaC, int32_t** realSlots,
                       int32_t** imagSlots, int overlapCount, int slotCount, int mode);

// Block exponents of one channel (stored = true x 2^e).
struct SbrExponents {
    int32_t low;  // current low band
    int32_t work;
    int32_t prevLow;  // previous frame's low band (overlap slots)
    int32_t high;     // high band
    int32_t env;
    int32_t synthRef;  // reference of the synthesis input
    int32_t ps;
};

struct SbrAnalysisBank {
    int16_t x[320];  // newest sample first
};

struct SbrSynthesisBank {
    int16_t v[1280];  // newest values first; 640 used in down-sampled mode
    int bands;        // 64, or 32 down-sampled
    int lowEnd;       // first SBR band
    int highEnd;      // last SBR band + 1
};

typedef void (*SbrAnalysisTransformFn)(const int32_t u[64], int32_t re[32], int32_t im[32]);
typedef void (*SbrSynthesisTransformFn)(const int32_t re[64], const int32_t im[64], int16_t* v,
                                        int bands);
typedef int (*SbrHeadroomFn)(const SbrQmfMatrix* m, int firstBand, int endBand, int firstSlot,
                             int endSlot);
typedef void (*SbrRescaleFn)(SbrQmfMatrix* m, int firstBand, int endBand, int firstSlot,
                             int endSlot, int shift);

struct SbrKernelSet;  // sbr_kernels.h

void SbrAnalysisTransformComplex(const int32_t u[64], int32_t re[32], int32_t im[32]);
void SbrAnalysisTransformReal(const int32_t u[64], int32_t re[32], int32_t im[32]);
void SbrSynthesisTransformComplex(const int32_t re[64], const int32_t im[64], int16_t* v,
                                  int bands);
void SbrSynthesisTransformReal(const int32_t re[64], const int32_t im[64], int16_t* v, int bands);
int SbrHeadroomComplex(const SbrQmfMatrix* m, int firstBand, int endBand, int firstSlot,
                       int endSlot);
int SbrHeadroomReal(const SbrQmfMatrix* m, int firstBand, int endBand, int firstSlot, int endSlot);
void SbrRescaleComplex(SbrQmfMatrix* m, int firstBand, int endBand, int firstSlot, int endSlot,
                       int shift);
void SbrRescaleReal(SbrQmfMatrix* m, int firstBand, int endBand, int firstSlot, int endSlot,
                    int shift);

// Exponent of the analysis output (stored = true x 2^this, PCM as integers).
enum { kSbrAnalysisExponent = 8, kSbrSynthesisReference = 8 };

void SbrAnalysisInit(SbrAnalysisBank* bank);
// Analyses slotCount x 32 PCM samples into slots kSbrOverlapSlots onwards and
// sets the low-band exponent.
void SbrQmfAnalysis(const int16_t* pcm, int slotCount, SbrExponents* exps, SbrQmfMatrix* m,
                    SbrAnalysisBank* bank, const SbrKernelSet* ks);

// One slot of analysis windowing: 32 new samples into the delay line
// (newest first) and the 64 sums u[n] of the standard's z = x c folding.
void SbrAnalysisWindow(int32_t out64[64], int16_t delayLine[320], const int16_t* window,
                       const int16_t in32[32]);

void SbrSynthesisInit(SbrSynthesisBank* bank, int downSampled);
// Synthesises slotCount slots from matrix slot firstSlot on into
// slotCount x bands PCM samples. Bands below the bank's lowEnd are at
// lowExp; bands lowEnd..highEnd-1 at highExp[slot] (per matrix slot;
// kSbrNoHighBand mutes them; a null array means lowExp); bands above are
// silent.
enum { kSbrNoHighBand = -1000 };
void SbrSynthesisOutput(const SbrQmfMatrix* m, int firstSlot, int slotCount, int lowExp,
                        const int* highExp, int16_t* pcmOut, SbrSynthesisBank* bank,
                        const SbrKernelSet* ks);

// One slot of synthesis windowing: `bands` PCM samples from the delay line
// (newest values first), each the rounded sum of 10 products / 2^14.
void SbrSynthesisWindow(const int16_t* v, int bands, int16_t* pcmOut);

// Transform cores shared by the banks. The FFTs are complex, in place, in
// the positive exponent direction and scaled by 1/size; QmfFftSmall takes
// sizes 4, 8 and 16 and QmfFftLarge 32, and any other size changes nothing.
void QmfFftSmall(int32_t* re, int32_t* im, int size);
void QmfFftLarge(int32_t* re, int32_t* im, int size);
// DCT-IV of n = 32 or 64 points through an n/2-point FFT, with the n/2
// pre-twiddle and post-rotation pairs; scaled by 2/n.
void QmfDctIv(const int32_t* x, int n, const int16_t* pre, const int16_t* post, int32_t* out);
// The real analysis transform's chain from its 33 folded DCT-III inputs.
void QmfRealFftChain(const int32_t g[33], int32_t out[32]);

// Copies the last kSbrOverlapSlots slots to the front for the next frame.
void SbrKeepOverlapSlots(SbrQmfMatrix* m, int slotCount);
