// Bit reader and writer for SBR payloads (MSB first). Reading past the end
// yields zeros and sets the sticky error flag.
#pragma once
#include <cstddef>
#include <cstdint>

struct SbrBitReader {
    const uint8_t* data;
    int bits;  // readable bits
    int pos;
    int error;
};

void SbrBitReaderInit(SbrBitReader* br, const uint8_t* data, int bits);
uint32_t SbrReadBits(SbrBitReader* br, int n);  // n <= 32
static inline int SbrBitsLeft(const SbrBitReader* br) { return br->bits - br->pos; }

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
