// Constant tables of the AAC decoder (data in *_tables.cpp).
#ifndef CODECS_AAC_AAC_TABLES_H
#define CODECS_AAC_AAC_TABLES_H

#include <stdint.h>

extern const int16_t kAacSineLong[1024];
extern const int16_t kAacSineShort[128];
extern const int16_t kAacKbdLong[1024];
extern const int16_t kAacKbdShort[128];
extern const int16_t kAacTwiddle[512];

extern const int32_t kAacPow43[257];
extern const int32_t kAacQuantGainMant[64];
extern const int8_t kAacQuantGainExp[64];
extern const int32_t kAacPow2Quarter[4];
extern const int16_t kAacTnsCoef3[8];
extern const int16_t kAacTnsCoef4[16];

extern const int32_t kAacSampleRates[12];

struct AacRateTable {
    int32_t rate;
    uint8_t numSwbLong;
    uint8_t numSwbShort;
    const uint16_t* swbLong;   // numSwbLong + 1 offsets
    const uint16_t* swbShort;  // numSwbShort + 1 offsets
    uint8_t tnsMaxBandsLong;
    uint8_t tnsMaxBandsShort;
};
extern const AacRateTable kAacRateTables[12];

// Huffman decoding trees, read two bits per step: entry = tree[4 * node + bits].
// Bit 0 set: leaf, symbol = entry >> 2; bit 1 set: the codeword ended one bit
// earlier. Otherwise entry >> 2 is the next node.
struct AacCodebook {
    uint8_t dimension;
    uint8_t bits;  // per packed value
    int8_t offset;
    uint8_t isSigned;  // values carry their sign (no sign bits follow)
    const uint16_t* tree;
};
extern const AacCodebook kAacCodebooks[13];  // 1..11 spectral, 12 = scalefactors (0 unused)

int32_t AacNoiseSign(int index);  // -1 or 1, random signs of the concealment
#endif
