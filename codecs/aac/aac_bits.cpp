// Bit reader: init, long reads, alignment, rewind and skip.
#include "codecs/aac/aac_bits.h"

#include <stdint.h>

void AacBitsInit(AacBitReader* r, const uint8_t* wordPtr, const uint8_t* begin,
                 const uint8_t* end) {
    r->wordPtr = wordPtr;
    r->start = wordPtr;
    r->begin = begin;
    r->end = end;
    r->bitPos = 0;
    r->bitsLeft = 0;
    r->bitsRead = 0;
    AacBitsReload(r);
}

void AacBitsInitBytes(AacBitReader* r, const uint8_t* data, int32_t bytes) {
    uintptr_t a = (uintptr_t)data;
    const uint8_t* even = data - (a & 1);
    AacBitsInit(r, even, data, data + bytes);
    r->bitPos = (int32_t)(a & 1) * 8;
}

void AacBitsInitBits(AacBitReader* r, const uint8_t* data, int32_t bitOffset, int32_t bits) {
    if (bitOffset < 0) bitOffset = 0;
    if (bits < 0) bits = 0;
    AacBitsInitBytes(r, data, (bitOffset + bits + 7) >> 3);
    r->bitsLeft = bitOffset + bits;
    AacBitsSkip(r, bitOffset);
}

uint32_t AacBitsReadLong(AacBitReader* r, int n) {
    if (n <= 16) return AacBitsRead0(r, n);
    uint32_t hi = AacBitsRead(r, n - 16);
    return (hi << 16) | AacBitsRead(r, 16);
}

int32_t AacBitsByteAlign(AacBitReader* r, int32_t* bitsLeftOut) {
    int32_t k = 0;
    if (r->bitPos != 0) {
        k = r->bitPos <= 8 ? 8 - r->bitPos : 16 - r->bitPos;
        if (k > 0) AacBitsRead(r, k);
    }
    if (bitsLeftOut) *bitsLeftOut = r->bitsLeft;
    return k;
}

void AacBitsRewind(AacBitReader* r, int32_t n) {
    int32_t d = (n - r->bitPos) + 15;
    r->wordPtr -= 2 * (d >> 4);
    r->bitPos = (~d) & 15;
    r->bitsRead -= n;
    r->bitsLeft += n;
    AacBitsReload(r);
}

void AacBitsSkip(AacBitReader* r, int32_t n) {
    if (n < 0) {
        AacBitsRewind(r, -n);
        return;
    }
    // Large skips move the pointer directly; the bit accounting is the same
    // as reading 16 bits at a time.
    if (n > 64) {
        int32_t total = r->bitPos + n;
        r->wordPtr += 2 * (total >> 4);
        r->bitPos = total & 15;
        r->bitsLeft -= n;
        r->bitsRead += n;
        AacBitsReload(r);
        return;
    }
    while (n > 16) {
        AacBitsRead(r, 16);
        n -= 16;
    }
    if (n > 0) AacBitsRead(r, n);
}
