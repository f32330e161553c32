// SBR frequency band tables derived from the header.
#pragma once
#include <cstdint>

struct SbrHeader {
    uint8_t ampRes, startFreq, stopFreq, xoverBand, freqScale, alterScale, noiseBands, limiterBands,
        limiterGains, interpolFreq, smoothingMode;
};

// Header values in force until the first header arrives.
void SbrHeaderDefaults(SbrHeader* h);

struct SbrBandTables {
    int k0, k2, kx, m;  // start, stop, crossover, SBR range width
    int nMaster, nHigh, nLow, nNoise, nLimiter;
    uint8_t master[65];
    uint8_t high[65];
    uint8_t low[65];
    uint8_t noise[6];
    uint8_t limiter[65];
    int numPatches;
    uint8_t patchSource[6];  // first source band
    uint8_t patchCount[6];   // bands in the patch
    int limiterBandsBuilt;   // bs_limiter_bands the limiter table was built for
};

// Start band k0 for an output rate, or -1 for a rate without a table.
int SbrStartBand(int outputRate, int startFreq);
// Patch goal band by output rate, or -1.
int SbrPatchGoal(int outputRate);

// Noise-floor band borders (nNoise + 1) taken from the low-resolution table
// of nLow bands.
void SbrNoiseBandTable(const uint8_t* low, int nLow, int nNoise, uint8_t* noise);

// Builds every table; returns 1 on success, 0 when the header gives bands
// the decoder cannot use.
int SbrBuildBandTables(SbrBandTables* t, const SbrHeader* h, int outputRate);
// Rebuilds only the limiter table (bs_limiter_bands may change without
// any of the values that force a full rebuild).
void SbrBuildLimiterTable(SbrBandTables* t, int limiterBands);
