// Helpers shared by the general VOP decoders: neighbour availability,
// reconstruction with frame or field DCT placement, the packet-end test.
#pragma once
#include "codecs/video/m4v_internal.h"
#include "codecs/video/m4v_tables.h"

static inline void MbComputeAvail(Mp4vDecoder* d) {
  int i = d->mbIndex, w = d->mbw, ps = d->packetStart;
  int m = 0;
  if (d->mbx > 0 && i - 1 >= ps) m |= 1;
  if (d->mby > 0 && i - w >= ps) m |= 2;
  if (d->mby > 0 && d->mbx < w - 1 && i - w + 1 >= ps) m |= 4;
  if (d->mby > 0 && d->mbx > 0 && i - w - 1 >= ps) m |= 8;
  d->availMask = m;
}

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

static inline void MbFinish(Mp4vDecoder* d, int intra) {
  int i = d->mbIndex;
  if (intra) d->mbStatus[i] = 0;
  if (d->mbStatus[i] == 0) d->target->decodedCount++;
  d->quantCur[i] = uint8_t(d->qp);
  AdvancePosition(d);
}

// Resync marker or start code ahead: stuffing to the byte boundary (a zero
// then ones) followed by at least 16 zero bits.
static inline int MbPacketEnds(VBits* b) {
  int k = 8 - (VbBitPos(b) & 7);
  uint32_t v = VbShow(b, k + 16);
  return v == (((1u << (k - 1)) - 1) << 16);
}
