// SBR envelope adjustment: the generated high band is brought to the
// transmitted envelope, limited, and completed with noise and sinusoids.
#pragma once
#include <cstdint>

#include "sbr_bands.h"
#include "sbr_mantexp.h"
#include "sbr_qmf.h"

// One channel's dequantised frame data as the adjuster needs it.
struct SbrChannelFrame {
    int numEnv;          // 1..5
    uint8_t borders[6];  // SBR time slots (2 QMF slots each)
    uint8_t freqRes[5];  // 1 = high resolution table
    int transientEnv;    // -1 when none
    int numNoise;        // 1..2
    uint8_t noiseBorders[3];
    SbrME env[5][48];         // envelope energies per band of the envelope's table
    SbrME noise[2][5];        // noise-floor ratios per noise band
    uint8_t addHarmonic[48];  // per high-resolution band
    int16_t envValue[5][48];  // decoded (delta-summed) values before dequantisation
    int16_t noiseValue[2][5];
};

struct SbrEnvAdjustState {
    SbrME prevGain[64];   // amplitude gains of the last envelope
    SbrME prevNoise[64];  // noise amplitudes of the last envelope
    uint8_t prevHarmonic[48];
    int first;
    int harmonicIndex;        // 0..3
    int noiseIndex;           // 0..511
    int prevTransientMarker;  // 0 or -1
};

void SbrEnvAdjustInit(SbrEnvAdjustState* st);

// Real set's gain post-step: runs of neighbouring subbands firstBand ..
// endBand - 1 that alias into each other (degree > 0 at the upper band of
// each pair, neither carrying a sinusoid) have their energy gains drawn
// towards the run's common gain by the degree, then scaled so that the run
// keeps its output energy sum(gain x estimated energy).
void SbrReduceAliasing(SbrME* gains, const SbrME* estimated, const int16_t* degree,
                       const uint8_t* sine, int firstBand, int endBand);

// Adjusts the high band of the envelopes' slots (2 x borders) in place.
// The generated high band comes in at exponent inExp; the adjusted slots
// leave at the returned exponent, which is also written to slotExp[] for
// each adjusted slot. The real set (complexSet 0) takes the generator's
// degrees of aliasing per subband (SbrHfState::aliasDegree) for its gain
// post-step; the complex set passes null.
int SbrAdjustEnvelope(SbrQmfMatrix* m, const SbrBandTables* t, const SbrHeader* h,
                      const SbrChannelFrame* f, SbrEnvAdjustState* st, int inExp, int* slotExp,
                      int complexSet, const int16_t* aliasDegree);
