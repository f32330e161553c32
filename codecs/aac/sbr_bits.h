// SBR payload CRC-10, and the bit writer that makes SBR and parametric-stereo
// payloads for test streams (MSB first). Payloads are read through the AAC
// bit reader.
#pragma once
#include <cstddef>
#include <cstdint>

#include "aac_bits.h"

struct SbrBitWriter {
    uint8_t* data;
    int capacityBits;
    int pos;
    int error;
};

void SbrBitWriterInit(SbrBitWriter* bw, uint8_t* data, int capacityBytes);
void SbrWriteBits(SbrBitWriter* bw, uint32_t value, int n);

// CRC-10 (x^10 + x^9 + x^5 + x^4 + x + 1), initial value 0, over `bits`
// bits starting at bit `start`, most significant bit first.
uint32_t SbrCrc10(const uint8_t* data, int start, int bits);

// Reads bs_sbr_crc_bits (10 bits) and checks them against the CRC-10 of the
// `bits` bits that follow (no more than the reader holds; none fails).
// Returns 1 on a match; the reader stands after the CRC bits.
int SbrCrcCheck(AacBitReader* r, int bits);
