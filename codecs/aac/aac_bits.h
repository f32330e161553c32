// Bit reader of the AAC decoder: 16-bit big-endian words through a 32-bit
// cache, most significant bit first. It never fails: reads past the data make
// bitsLeft negative and yield zero bits, and the parsers test bitsLeft.
#ifndef CODECS_AAC_AAC_BITS_H
#define CODECS_AAC_AAC_BITS_H

#include <stdint.h>

struct AacBitReader {
    const uint8_t* wordPtr;  // even-aligned word holding the current bit
    const uint8_t* start;
    const uint8_t* begin;  // readable bytes are [begin, end); others read as 0
    const uint8_t* end;
    int32_t bitPos;  // 0..15
    int32_t bitsLeft;
    uint32_t cache;  // current word high, next word low
    int32_t bitsRead;
};

static inline uint32_t AacBitsLoadWord(const AacBitReader* r, const uint8_t* p) {
    uint32_t hi = (p >= r->begin && p < r->end) ? p[0] : 0;
    uint32_t lo = (p + 1 >= r->begin && p + 1 < r->end) ? p[1] : 0;
    return (hi << 8) | lo;
}

static inline void AacBitsReload(AacBitReader* r) {
    r->cache = (AacBitsLoadWord(r, r->wordPtr) << 16) | AacBitsLoadWord(r, r->wordPtr + 2);
}

// Starts at byte `data`: the reader sits on the even address at or below it,
// at bit 8 when data is odd. Bits left is set by the caller.
void AacBitsInitBytes(AacBitReader* r, const uint8_t* data, int32_t bytes);
void AacBitsInit(AacBitReader* r, const uint8_t* wordPtr, const uint8_t* begin, const uint8_t* end);
// A stretch of `bits` bits that starts `bitOffset` bits into `data` (an SBR
// or parametric-stereo payload): bits left is `bits`, bits read counts from
// `data`, and the bytes after the stretch read as 0.
void AacBitsInitBits(AacBitReader* r, const uint8_t* data, int32_t bitOffset, int32_t bits);

static inline uint32_t AacBitsRead(AacBitReader* r, int n) {
    uint32_t v = ((r->cache << r->bitPos) >> (32 - n));
    r->bitPos += n;
    r->bitsLeft -= n;
    r->bitsRead += n;
    if (r->bitPos >= 16) {
        r->wordPtr += 2 * (r->bitPos >> 4);
        r->bitPos &= 15;
        r->cache = (r->cache << 16) | AacBitsLoadWord(r, r->wordPtr + 2);
    }
    return v;
}

// Up to 16 bits, n = 0 included.
static inline uint32_t AacBitsRead0(AacBitReader* r, int n) {
    uint32_t v = ((r->cache << r->bitPos) >> 1) >> (31 - n);
    r->bitPos += n;
    r->bitsLeft -= n;
    r->bitsRead += n;
    if (r->bitPos >= 16) {
        r->wordPtr += 2;
        r->bitPos -= 16;
        r->cache = (r->cache << 16) | AacBitsLoadWord(r, r->wordPtr + 2);
    }
    return v;
}

static inline uint32_t AacBitsPeek(const AacBitReader* r, int n) {
    return (r->cache << r->bitPos) >> (32 - n);
}

static inline uint32_t AacBitsRead1(AacBitReader* r) { return AacBitsRead(r, 1); }

uint32_t AacBitsReadLong(AacBitReader* r, int n);  // 0 to 32 bits
int32_t AacBitsByteAlign(AacBitReader* r, int32_t* bitsLeftOut);
void AacBitsRewind(AacBitReader* r, int32_t n);
void AacBitsSkip(AacBitReader* r, int32_t n);

#endif
