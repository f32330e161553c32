// Helpers shared by the general VOP decoders: neighbour availability,
// reconstruction with frame or field DCT placement, the packet-end test.
#pragma once
#include "codecs/video/m4v_internal.h"
#include "codecs/video/m4v_tables.h"

// Luma block k's top-left and stride: frame DCT puts the four blocks in the
// quadrants, field DCT puts blocks 0 and 1 on the top field lines and 2 and 3
// on the bottom field lines.
static inline uint8_t* MbLumaBlock(Mp4vDecoder* d, uint8_t* y, int k, int* stride) {
    int s = d->stride;
    if (d->fieldDct) {
        *stride = 2 * s;
        return y + (k >> 1) * s + (k & 1) * 8;
    }
    *stride = s;
    return y + (k >> 1) * 8 * s + (k & 1) * 8;
}

static inline void MbPutIntra(Mp4vDecoder* d) {
    int s = d->stride, cs = s / 2;
    uint8_t* y = d->target->y + (d->mby * 16) * s + d->mbx * 16;
    uint8_t* u = d->target->u + (d->mby * 8) * cs + d->mbx * 8;
    uint8_t* v = d->target->v + (d->mby * 8) * cs + d->mbx * 8;
    int16_t* blk = d->blocks;
    for (int k = 0; k < 4; ++k) {
        int bs;
        uint8_t* p = MbLumaBlock(d, y, k, &bs);
        IdctPut(p, blk + 64 * k, bs, d->summary[k]);
    }
    IdctPut(u, blk + 256, cs, d->summary[4]);
    IdctPut(v, blk + 320, cs, d->summary[5]);
}

static inline void MbAddInter(Mp4vDecoder* d, int cbp) {
    int s = d->stride, cs = s / 2;
    uint8_t* y = d->target->y + (d->mby * 16) * s + d->mbx * 16;
    uint8_t* u = d->target->u + (d->mby * 8) * cs + d->mbx * 8;
    uint8_t* v = d->target->v + (d->mby * 8) * cs + d->mbx * 8;
    int16_t* blk = d->blocks;
    for (int k = 0; k < 4; ++k) {
        if (!(cbp & (32 >> k))) continue;
        int bs;
        uint8_t* p = MbLumaBlock(d, y, k, &bs);
        IdctAdd(p, p, blk + 64 * k, bs, bs, d->summary[k]);
    }
    if (cbp & 2) IdctAdd(u, u, blk + 256, cs, cs, d->summary[4]);
    if (cbp & 1) IdctAdd(v, v, blk + 320, cs, cs, d->summary[5]);
}
