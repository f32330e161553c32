// SBR high-frequency generation: the low band is inverse-filtered and
// copied up along the patches.
#pragma once
#include <cstdint>

#include "sbr_bands.h"
#include "sbr_qmf.h"

struct SbrHfState {
    uint8_t prevInvf[5];
    int32_t prevChirp[5];  // Q31
    // Real set only: degree of aliasing of each high subband (Q15, 0..32767)
    // from the reflection coefficients of the source bands; 0 at patch starts.
    int16_t aliasDegree[64];
    // The two low-band slots before matrix slot 0 (the oldest first), at the
    // low band's exponent: the predictor's history at the frame start.
    int32_t histRe[2][32], histIm[2][32];
};

// One chirp factor per noise band (Q31); updates nothing.
void SbrChirpFactors(const SbrHfState* st, int noiseBands, const uint8_t* invf, int32_t* out);

// Generates the high band (kx .. top of the last patch) of slots
// firstSlot .. endSlot - 1 from the low band; bands from the patch top to
// 63 are cleared. The high band comes out at exponent lowExp - 2.
// Updates the state's previous modes and chirp factors. The real form works
// on real parts only and also leaves the degrees of aliasing per subband in
// the state for the envelope adjuster.
void SbrHfGenerateComplex(SbrQmfMatrix* m, const SbrBandTables* t, SbrHfState* st,
                          const uint8_t* invf, int firstSlot, int endSlot);
void SbrHfGenerateReal(SbrQmfMatrix* m, const SbrBandTables* t, SbrHfState* st, const uint8_t* invf,
                       int firstSlot, int endSlot);
