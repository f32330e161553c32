// Constant tables of the SBR decoder.
#pragma once
#include <cstdint>

extern const uint8_t kSbrStartBand[8][16];
extern const uint16_t kSbrLog2Table[65];
extern const int16_t kSbrReciprocal[50];
extern const int32_t kSbrChirpTable[5];
extern const int16_t kSbrLimiterGainMant[4];
extern const int8_t kSbrLimiterGainExp[4];
extern const int16_t kSbrSmoothing[4];

extern const int16_t kSbrQmfWindow[640];
// cos/sin pairs in Q15
extern const int16_t kSbrFftTwiddle[128];     // exp(i 2 pi j / 128), j = 0..63
extern const int16_t kSbrDct4Pre64[64];       // exp(-i pi (4m + 1) / 256), m = 0..31
extern const int16_t kSbrDct4Post64[64];      // exp(-i pi p / 64), p = 0..31
extern const int16_t kSbrDct2Split64[66];     // exp(-i 2 pi m / 64), m = 0..32
extern const int16_t kSbrDct2Post64[66];      // exp(-i pi m / 128), m = 0..32
extern const int16_t kSbrDct4Pre32[32];       // exp(-i pi (4m + 1) / 128), m = 0..15
extern const int16_t kSbrDct4Post32[32];      // exp(-i pi p / 32), p = 0..15
extern const int16_t kSbrDct2Split32[34];     // exp(-i 2 pi m / 32), m = 0..16
extern const int16_t kSbrDct2Post32[34];      // exp(-i pi m / 64), m = 0..16
extern const int16_t kSbrAnaTurnComplex[64];  // exp(-i 3 pi (k + 1/2) / 128), k = 0..31
extern const int16_t kSbrSyn32Turn[64];       // exp(-i pi (k + 1/2) / 128), k = 0..31
extern const int16_t kSbrRecipMant[256];
extern const int16_t kSbrSqrtMant[256];
extern const int16_t kSbrNoiseTable[1024];  // (re, im) pairs

struct SbrHuffTable {
    const uint32_t* code;
    const uint8_t* len;
    int count;
    int lav;  // value = symbol - lav
};
// Envelope T/F 1.5 dB, balance T/F 1.5 dB, envelope T/F 3.0 dB, balance
// T/F 3.0 dB, noise T 3.0 dB, noise balance T 3.0 dB.
enum {
    kSbrHuffEnvT15,
    kSbrHuffEnvF15,
    kSbrHuffBalT15,
    kSbrHuffBalF15,
    kSbrHuffEnvT30,
    kSbrHuffEnvF30,
    kSbrHuffBalT30,
    kSbrHuffBalF30,
    kSbrHuffNoiseT30,
    kSbrHuffNoiseBalT30
};
extern const SbrHuffTable kSbrHuff[10];
