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
extern const int16_t kSbrFftTwiddle[128];        // exp(i 2 pi j / 128), j = 0..63
extern const int16_t kSbrTwiddlePi64[128];       // exp(i pi n / 64), n = 0..63
extern const int16_t kSbrTwiddlePi128[256];      // exp(i pi n / 128), n = 0..127
extern const int16_t kSbrAnaPostComplex[64];
extern const int16_t kSbrAnaPostReal[64];
extern const int16_t kSbrSyn64PreComplex[128];
extern const int16_t kSbrSyn64PreReal[128];
extern const int16_t kSbrSyn32PreComplex[64];
extern const int16_t kSbrSyn32PreReal[64];
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
  kSbrHuffEnvT15, kSbrHuffEnvF15, kSbrHuffBalT15, kSbrHuffBalF15, kSbrHuffEnvT30,
  kSbrHuffEnvF30, kSbrHuffBalT30, kSbrHuffBalF30, kSbrHuffNoiseT30, kSbrHuffNoiseBalT30
};
extern const SbrHuffTable kSbrHuff[10];
