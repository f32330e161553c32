// Decoder context: everything the AAC decoder keeps lives in these records,
// laid into the caller's memory tables by AacDecInit.
#ifndef CODECS_AAC_AAC_STATE_H
#define CODECS_AAC_AAC_STATE_H

#include <stdint.h>

#include "codecs/aac/aac_bits.h"
#include "codecs/aac/aac_dec.h"
#include "codecs/aac/aac_sbr_hook.h"

enum { AAC_ONLY_LONG = 0, AAC_LONG_START = 1, AAC_EIGHT_SHORT = 2, AAC_LONG_STOP = 3 };

enum {
    AAC_CB_ZERO = 0,
    AAC_CB_ESC = 11,
    AAC_CB_RESERVED = 12,
    AAC_CB_NOISE = 13,
    AAC_CB_INTENSITY2 = 14,
    AAC_CB_INTENSITY = 15
};

enum { AAC_TRANSPORT_ADIF = 0, AAC_TRANSPORT_ADTS = 1, AAC_TRANSPORT_RAW = 3 };

struct AacTnsFilter {
    uint8_t startBand;
    uint8_t topBand;
    uint8_t direction;  // 1 upwards, 255 downwards
    uint8_t coefRes;    // resolution + 3 ... stored as bits per coefficient source (3 or 4)
    uint8_t order;      // at most 12 after limiting
    int8_t coef[32];
};

// One individual channel stream as read, then its spectrum in block
// floating point: mantissas with one exponent per window.
struct AacChannel {
    uint8_t globalGain;
    uint8_t icsReservedBit;
    uint8_t windowSequence;
    uint8_t windowShape;
    uint8_t maxSfb;
    uint8_t scaleFactorGrouping;
    uint8_t numSwb;  // bands of the window length at this rate
    uint8_t numWindowGroups;
    uint8_t windowGroupLength[8];
    int8_t sfIndex;
    uint8_t objectType;
    uint8_t intensityUsed;
    uint8_t noiseUsed;

    uint8_t sectCb[128];       // long: band b; short: group * 16 + band
    int16_t scaleFactor[128];  // value - 100 (intensity positions alike); PNS energies raw

    uint8_t pulsePresent;
    uint8_t numberPulse;
    uint8_t pulseStartSfb;
    uint8_t pulseOffset[4];
    uint8_t pulseAmp[4];

    uint8_t tnsPresent;
    uint8_t tnsNumFilt[8];
    AacTnsFilter tns[8][3];

    uint32_t pnsFlags[4];  // bit g * 16 + b
    uint32_t pnsPair[4];   // channel 0 of a pair: bands whose noise channel 1 repeats

    int16_t blockExp[8];     // per window (the first for a long window)
    int16_t bandExp[8][64];  // per window and band while decoding
    int32_t spectrum[1024];
};

struct AacConcealRecord {
    uint8_t windowShape;
    uint8_t windowSequence;
    uint8_t prevGood;
    uint8_t prevPrevGood;
    uint8_t muteState;
    uint8_t counter;
    uint8_t threshold[3];
    uint16_t noiseIndex;
    int16_t blockExp[8];
    int32_t spectrum[1024];
};

struct AacFilterbankState {
    uint8_t prevShape;
    uint8_t prevSequence;
    int16_t overlap[512];
};

struct AacStreamInfo {
    int8_t sfIndex;
    int32_t sampleRate;
    uint8_t objectType;
    uint8_t channelConfig;
    uint8_t channels;  // of the last good frame
    int32_t frameLength;
};

struct AacAdifHeader {
    uint8_t copyrightPresent, originalCopy, home, bitstreamType;
    uint32_t bitrate;
    uint8_t numPce;
    uint8_t pce[16][2];  // object type, sampling frequency index
};

struct AacCrcRegion {
    uint8_t active;
    int32_t requestedBits;
    int32_t packedBits;
    int32_t consumedBits;
    AacBitReader start;
    uint8_t buffer[192];
};

struct AacCrcState {
    int16_t count;
    uint16_t crcCheck;
    uint8_t waived;
    uint16_t table[256];
    AacCrcRegion region[4];
};

struct AacPnsState {
    uint16_t seed;
    uint16_t increment;
    uint16_t savedSeed[128];
};

// What the decoded frames used, for tests and diagnostics.
struct AacStats {
    uint32_t frames;
    uint32_t shortWindows;  // channels coded with EIGHT_SHORT
    uint32_t msBands;       // band x window group with M/S applied
    uint32_t intensityBands;
    uint32_t noiseBands;
    uint32_t tnsFilters;
    uint32_t pulses;
};

// Decoder state (table 1).
struct AacDecState {
    AacBitReader reader;
    uint8_t initialised;
    uint8_t transport;  // 0 ADIF, 1 ADTS, 3 unknown/raw
    uint8_t rateUnknown;
    uint8_t frameOkInput;
    uint8_t frameOk;
    uint8_t secondChannel;
    uint8_t sbrInitialised;
    uint8_t stereoKind;
    uint32_t framesDecoded;
    uint32_t lostFrames;
    int32_t channels;
    int32_t frameLength;
    int32_t outputRate;
    int32_t result;

    AacStreamInfo info;
    AacAdifHeader adif;
    AacCrcState crc;
    AacSbrPayloadList sbrPayloads;
    AacPnsState pns[2];
    uint8_t msMaskPresent;
    uint8_t msFlags[64];  // per band, bit g for window group g
    int16_t* pcm;         // planar output, AAC_PCM_CHANNEL_STRIDE apart
    AacStats* stats;

    AacChannel ch[2];
    AacConcealRecord conceal[2];
    AacFilterbankState fb[2];
};

// Work area (table 2): the SBR stage's state and the frame count.
struct AacWorkArea {
    uint32_t framesDecoded;
    uint32_t pad;
    AacStats stats;
    alignas(16) unsigned char sbr[AAC_SBR_STATE_BYTES];
};

// Scratch buffers (table 3), 32-byte aligned.
struct AacScratch {
    alignas(32) int32_t fft[2048];
    int32_t tns[1024];
};

// Spare table 4.
struct AacSpare {
    int32_t words[986];
};

struct AacDecHandle {
    AacDecState* state;
    AacWorkArea* work;
    AacScratch* scratch;
    AacSpare* spare;
};

#endif
