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

// Estimated energies of the subbands kx .. kEnd - 1 over slots l0 .. l1 - 1
// of a matrix at exponent inExp, into cur[k]: per subband, or averaged over
// each of the nb bands of the table.
void SbrEstimateEnergyBandsComplex(const SbrQmfMatrix* m, const uint8_t* table, int nb, int kx,
                                   int kEnd, int l0, int l1, int inExp, SbrME* cur);
void SbrEstimateEnergyBandsReal(const SbrQmfMatrix* m, const uint8_t* table, int nb, int kx,
                                int kEnd, int l0, int l1, int inExp, SbrME* cur);
void SbrEstimateEnergySubbandsComplex(const SbrQmfMatrix* m, const uint8_t* table, int nb, int kx,
                                      int kEnd, int l0, int l1, int inExp, SbrME* cur);
void SbrEstimateEnergySubbandsReal(const SbrQmfMatrix* m, const uint8_t* table, int nb, int kx,
                                   int kEnd, int l0, int l1, int inExp, SbrME* cur);

// What one slot of an envelope needs: the envelope's gains and noise
// levels (amplitudes), the linear noise and sinusoid levels at outExp, and
// the smoothing weight with the previous envelope's gains.
struct SbrSlotGains {
    const SbrME* gain;
    const SbrME* noise;
    const int32_t* noiseLin;
    const int32_t* sineLin;
    // For smoothing: this envelope's and the previous envelope's gains and
    // noise levels, each pair brought to one exponent per subband.
    const SbrME* gainAligned;
    const SbrME* prevGainAligned;
    const SbrME* noiseAligned;
    const SbrME* prevNoiseAligned;
    int weight;  // of the previous envelope, Q15; 0 without smoothing
    SbrME wNew, wOld;
    int inExp, outExp;
    int transient;
    int kx, kEnd;
};

// Gains, noise and sinusoids into one slot's subbands kx .. kEnd - 1; moves
// the state's noise and harmonic indices on.
void SbrAssembleSlotComplex(int32_t* re, int32_t* im, const SbrSlotGains* g, SbrEnvAdjustState* st);
void SbrAssembleSlotReal(int32_t* re, int32_t* im, const SbrSlotGains* g, SbrEnvAdjustState* st);

// Real set's gain post-step: runs of neighbouring subbands firstBand ..
// endBand - 1 that alias into each other (degree > 0 at the upper band of
// each pair, neither carrying a sinusoid) have their energy gains drawn
// towards the run's common gain by the degree, then scaled so that the run
// keeps its output energy sum(gain x estimated energy).
void SbrReduceAliasing(SbrME* gains, const SbrME* estimated, const int16_t* degree,
                       const uint8_t* sine, int firstBand, int endBand);

// Gain, noise level and sinusoid level (energies) of one subband from its
// transmitted energy, noise floor and estimated energy; sineInBand tells
// that a sinusoid lies somewhere in the subband's scale-factor band.
void SbrCalcGains(SbrME orig, SbrME noiseFloor, SbrME estimated, int sine, int sineInBand,
                  int transient, SbrME* gain, SbrME* noise, SbrME* sineLevel);
// Limits the gains of subbands firstBand..endBand-1 (one limiter band) to
// the limiter gain times the band's energy ratio, scaling the noise levels
// alike, then applies the capped boost to gains, noise and sinusoid levels.
void SbrLimitGains(const SbrME* orig, const SbrME* estimated, int firstBand, int endBand,
                   SbrME limiterGain, int transient, SbrME* gain, SbrME* noise, SbrME* sine);

// Adjusts the high band of the envelopes' slots (2 x borders) in place.
// The generated high band comes in at exponent inExp; the adjusted slots
// leave at the returned exponent, which is also written to slotExp[] for
// each adjusted slot. The set-specific steps come from the kernel set; the
// real set takes the generator's degrees of aliasing per subband
// (SbrHfState::aliasDegree) for its gain post-step, the complex set none.
struct SbrKernelSet;
int SbrAdjustEnvelope(SbrQmfMatrix* m, const SbrBandTables* t, const SbrHeader* h,
                      const SbrChannelFrame* f, SbrEnvAdjustState* st, int inExp, int* slotExp,
                      const SbrKernelSet* ks, const int16_t* aliasDegree);
