// SBR payload writer and CRC-10.
#include "sbr_bits.h"

#include <cstring>

void SbrBitWriterInit(SbrBitWriter* bw, uint8_t* data, int capacityBytes) {
    bw->data = data;
    bw->capacityBits = capacityBytes * 8;
    bw->pos = 0;
    bw->error = 0;
    memset(data, 0, (size_t)capacityBytes);
}

void SbrWriteBits(SbrBitWriter* bw, uint32_t value, int n) {
    for (int i = n - 1; i >= 0; i--) {
        if (bw->pos >= bw->capacityBits) {
            bw->error = 1;
            return;
        }
        if ((value >> i) & 1) bw->data[bw->pos >> 3] |= (uint8_t)(0x80 >> (bw->pos & 7));
        bw->pos++;
    }
}

uint32_t SbrCrc10(const uint8_t* data, int start, int bits) {
    uint32_t crc = 0;
    for (int i = 0; i < bits; i++) {
        int p = start + i;
        uint32_t bit = (data[p >> 3] >> (7 - (p & 7))) & 1;
        uint32_t top = (crc >> 9) & 1;
        crc = (crc << 1) & 0x3ff;
        if (top ^ bit) crc ^= 0x233;
    }
    return crc;
}

namespace {

uint32_t Crc10Step(uint32_t crc, uint32_t value, int n) {
    for (int i = n - 1; i >= 0; i--) {
        uint32_t top = (crc >> 9) & 1;
        crc = (crc << 1) & 0x3ff;
        if (top ^ ((value >> i) & 1)) crc ^= 0x233;
    }
    return crc;
}

}  // namespace

int SbrCrcCheck(AacBitReader* r, int bits) {
    const uint32_t want = AacBitsReadLong(r, 10);
    if (r->bitsLeft < 0 || bits <= 0 || bits > r->bitsLeft) return 0;
    AacBitReader copy = *r;
    uint32_t crc = 0;
    int left = bits;
    for (; left >= 16; left -= 16) crc = Crc10Step(crc, AacBitsRead(&copy, 16), 16);
    if (left > 0) crc = Crc10Step(crc, AacBitsRead(&copy, left), left);
    return crc == want ? 1 : 0;
}
