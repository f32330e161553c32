// SBR payload bit reader, writer and CRC-10.
#include "sbr_bits.h"

#include <cstring>

void SbrBitReaderInit(SbrBitReader* br, const uint8_t* data, int bits) {
    br->data = data;
    br->bits = bits < 0 ? 0 : bits;
    br->pos = 0;
    br->error = 0;
}

uint32_t SbrReadBits(SbrBitReader* br, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; i++) {
        uint32_t bit = 0;
        if (br->pos < br->bits) {
            bit = (br->data[br->pos >> 3] >> (7 - (br->pos & 7))) & 1;
            br->pos++;
        } else {
            br->error = 1;
        }
        v = (v << 1) | bit;
    }
    return v;
}

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
