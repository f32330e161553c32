// The SBR kernel set: the interchangeable DSP operations through which the
// frame driver and the envelope adjuster reach the filterbanks and the
// high-band kernels. The complex set computes complex subband samples; the
// real set only their real parts, never touching the imaginary ones, and
// adds a gain post-step against aliasing.
#pragma once
#include <cstdint>

#include "sbr_envadj.h"
#include "sbr_hfgen.h"
#include "sbr_qmf.h"

typedef void (*SbrHfGenerateFn)(SbrQmfMatrix* m, const SbrBandTables* t, SbrHfState* st,
                                const uint8_t* invf, int firstSlot, int endSlot);
typedef void (*SbrEnergyEstimateFn)(const SbrQmfMatrix* m, const uint8_t* table, int nb, int kx,
                                    int kEnd, int l0, int l1, int inExp, SbrME* cur);
typedef void (*SbrGainPostStepFn)(SbrME* gains, const SbrME* estimated, const int16_t* degree,
                                  const uint8_t* sine, int firstBand, int endBand);
typedef void (*SbrAssembleSlotFn)(int32_t* re, int32_t* im, const SbrSlotGains* g,
                                  SbrEnvAdjustState* st);

// Filled once per set-up and never changed while a stream is decoded.
struct SbrKernelSet {
    uint8_t complex;  // 1 complex set, 0 real set
    SbrAnalysisTransformFn analysisTransform;
    SbrSynthesisTransformFn synthesisTransform;
    SbrHfGenerateFn hfGenerate;
    void* reserved;  // never set, never called
    SbrEnergyEstimateFn estimateBands;
    SbrEnergyEstimateFn estimateSubbands;
    SbrGainPostStepFn gainPostStep;  // null in the complex set
    SbrAssembleSlotFn assembleSlot;
    SbrHeadroomFn headroom;
    SbrRescaleFn rescale;
};

// Flag 0 fills the real set, any other value the complex set. Returns 0.
int SbrSelectKernels(SbrKernelSet* ks, int flag);
