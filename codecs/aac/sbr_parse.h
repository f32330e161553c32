// SBR payload syntax: header, grids, delta directions, inverse filtering,
// envelope and noise data, sinusoids, extended data. The writer mirrors the
// reader for test streams.
#pragma once
#include <cstdint>

#include "sbr_bands.h"
#include "aac_bits.h"
#include "sbr_bits.h"
#include "sbr_envadj.h"

enum { kSbrFixFix = 0, kSbrFixVar = 1, kSbrVarFix = 2, kSbrVarVar = 3 };

struct SbrGrid {
    int frameClass;
    int numEnv;
    uint8_t borders[6];
    uint8_t freqRes[5];
    int pointer;
    int transientEnv;  // -1 when none
    int numNoise;
    uint8_t noiseBorders[3];
    // syntax fields, kept for the writer
    int varBord0, varBord1, numRel0, numRel1;
    uint8_t relBord0[3], relBord1[3];
};

struct SbrRawChannel {
    SbrGrid grid;
    uint8_t dfEnv[5];
    uint8_t dfNoise[2];
    uint8_t invf[5];
    int16_t env[5][48];  // coded values: absolute first value (F), deltas otherwise
    int16_t noise[2][5];
    uint8_t addHarmonicFlag;
    uint8_t addHarmonic[48];
    int ampRes;  // in force for this frame
};

struct SbrRawElement {
    int isPair;
    int coupling;
    SbrRawChannel ch[2];
    int extendedBytes;  // bytes of extended data skipped
    int psFound;
    AacBitReader psReader;  // parametric-stereo data: the reader at the first
    int psBits;             // bit after the extension id, and the bits it holds
};

// Reads bs_* header fields; returns 1 when the band tables must be rebuilt
// (start, stop, crossover, frequency scale, alter scale or noise bands
// changed, or no header was in force).
int SbrParseHeader(AacBitReader* br, SbrHeader* h, int headerValid);
void SbrWriteHeader(SbrBitWriter* bw, const SbrHeader* h);

// Reads single channel or channel pair data; returns 1 on success, 0 when
// the data are unusable (bad grid, too many values, reader overrun).
int SbrParseData(AacBitReader* br, const SbrHeader* h, const SbrBandTables* t, int isPair,
                 SbrRawElement* el);
// The channel pair element, and the extended data that end either element
// (parametric stereo is noted, with a reader at its data, not parsed here).
int SbrParseChannelElement(AacBitReader* br, const SbrHeader* h, const SbrBandTables* t,
                           SbrRawElement* el);
int SbrParseExtendedData(AacBitReader* br, SbrRawElement* el);
void SbrWriteData(SbrBitWriter* bw, const SbrHeader* h, const SbrBandTables* t,
                  const SbrRawElement* el);

// Fills the border arrays of a grid from its syntax fields; returns 0 for
// a grid the decoder refuses.
int SbrGridFromSyntax(SbrGrid* g);
int SbrCheckGrid(const SbrGrid* g);

// Decoding memory of one channel across frames.
struct SbrChannelHistory {
    int16_t prevEnv[64];  // per high-resolution band
    int16_t prevNoise[5];
    int prevLastBorder;  // last envelope border of the previous frame, minus 16
    int prevCoupling;
    uint8_t prevInvf[5];
    int valid;
};

void SbrChannelHistoryInit(SbrChannelHistory* hist);

// Delta decoding, range checks and dequantisation of one element into the
// adjuster's frame records. Returns 1 when the values are usable, 0 when a
// value lies outside the allowed range (the history is then left as it
// was).
// Dequantisation of one channel without coupling (envelope energies
// 64 x 2^(x / a), noise floors 2^(6 - q)), and of a coupled pair from its
// level (channel 0) and balance (channel 1) values.
void SbrDequantEnvelope(const SbrRawChannel* r, const SbrBandTables* t, const int16_t env[5][48],
                        const int16_t noise[2][5], SbrChannelFrame* out);
void SbrDequantCoupled(const SbrRawChannel* r, const SbrBandTables* t, const int16_t env[2][5][48],
                       const int16_t noise[2][2][5], SbrChannelFrame out[2]);

int SbrDecodeElement(const SbrRawElement* el, const SbrBandTables* t, SbrChannelHistory hist[2],
                     SbrChannelFrame out[2]);
