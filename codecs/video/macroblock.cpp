// Macroblock layer: the plain I/P VOP decoders and the H.263 loops.
#include "codecs/video/m4v_internal.h"
#include "codecs/video/m4v_tables.h"

// Candidate blocks for vector prediction: {macroblock offset kind, block};
// kind 0 current, 1 left, 2 above, 3 above-right.
static const uint8_t kMvCand[4][3][2] = {
    {{1, 1}, {2, 2}, {3, 2}},
    {{0, 0}, {2, 3}, {3, 2}},
    {{1, 3}, {0, 0}, {0, 1}},
    {{0, 2}, {0, 0}, {0, 1}},
};

static inline int Median(int a, int b, int c) {
    int mx = a > b ? a : b, mn = a < b ? a : b;
    return c > mx ? mx : c < mn ? mn : c;
}

void M4vPredictMv(Mp4vDecoder* d, int block, int* px, int* py) {
    int vx[3], vy[3], valid = 0, last = 0;
    for (int k = 0; k < 3; ++k) {
        int kind = kMvCand[block][k][0], b = kMvCand[block][k][1];
        int idx = d->mbIndex;
        int ok = 1;
        if (kind == 1) {
            ok = d->availMask & 1;
            idx -= 1;
        } else if (kind == 2) {
            ok = d->availMask & 2;
            idx -= d->mbw;
        } else if (kind == 3) {
            ok = d->availMask & 4;
            idx -= d->mbw - 1;
        }
        if (ok) {
            const int16_t* mv = d->mvs + idx * 8 + b * 2;
            vx[k] = mv[0];
            vy[k] = mv[1];
            ++valid;
            last = k;
        } else {
            vx[k] = vy[k] = 0;
        }
    }
    if (valid == 1) {
        *px = vx[last];
        *py = vy[last];
        return;
    }
    *px = Median(vx[0], vx[1], vx[2]);
    *py = Median(vy[0], vy[1], vy[2]);
}

int M4vDecodeMvd(VBits* b, int fcode, int* out) {
    int code = VlcRead(b, kMvd, 12);
    if (code < 0) return -1;
    if (code == 0) {
        *out = 0;
        return 0;
    }
    int neg = int(VbGet1(b));
    int mag = code;
    if (fcode > 1) mag = ((code - 1) << (fcode - 1)) + int(VbGet(b, fcode - 1)) + 1;
    *out = neg ? -mag : mag;
    return 0;
}

int M4vWrapMv(int v, int fcode) {
    int r = 16 << fcode;
    if (v < -r)
        v += 2 * r;
    else if (v >= r)
        v -= 2 * r;
    return v;
}

// Reads one or four vectors of the current macroblock into the vector array.
int M4vReadVectors(Mp4vDecoder* d, int four, int fcode) {
    int16_t* mv = d->mvs + d->mbIndex * 8;
    int n = four ? 4 : 1;
    for (int k = 0; k < n; ++k) {
        int px, py, dx, dy;
        if (k == 2) LavcClearLeftAtPacketStart(d);
        M4vPredictMv(d, k, &px, &py);
        if (M4vDecodeMvd(&d->bs, fcode, &dx) < 0) return -1;
        if (M4vDecodeMvd(&d->bs, fcode, &dy) < 0) return -1;
        mv[k * 2] = int16_t(M4vWrapMv(px + dx, fcode));
        mv[k * 2 + 1] = int16_t(M4vWrapMv(py + dy, fcode));
    }
    if (!four)
        for (int k = 1; k < 4; ++k) {
            mv[k * 2] = mv[0];
            mv[k * 2 + 1] = mv[1];
        }
    return 0;
}

// Luma block k's top-left and stride: frame DCT puts the four blocks in the
// quadrants, field DCT (interlaced macroblocks with dct_type 1) puts blocks 0
// and 1 on the top field lines and 2 and 3 on the bottom field lines.
static inline uint8_t* LumaBlock(Mp4vDecoder* d, uint8_t* y, int k, int* stride) {
    int s = d->stride;
    if (d->fieldDct) {
        *stride = 2 * s;
        return y + (k >> 1) * s + (k & 1) * 8;
    }
    *stride = s;
    return y + (k >> 1) * 8 * s + (k & 1) * 8;
}

void M4vPutIntra(Mp4vDecoder* d) {
    int s = d->stride, cs = s / 2;
    uint8_t* y = d->target->y + (d->mby * 16) * s + d->mbx * 16;
    uint8_t* u = d->target->u + (d->mby * 8) * cs + d->mbx * 8;
    uint8_t* v = d->target->v + (d->mby * 8) * cs + d->mbx * 8;
    int16_t* blk = d->blocks;
    for (int k = 0; k < 4; ++k) {
        int bs;
        uint8_t* p = LumaBlock(d, y, k, &bs);
        M4vIdctPut(p, blk + 64 * k, bs, d->summary[k]);
    }
    M4vIdctPut(u, blk + 256, cs, d->summary[4]);
    M4vIdctPut(v, blk + 320, cs, d->summary[5]);
}

void M4vAddInter(Mp4vDecoder* d, int cbp) {
    int s = d->stride, cs = s / 2;
    uint8_t* y = d->target->y + (d->mby * 16) * s + d->mbx * 16;
    uint8_t* u = d->target->u + (d->mby * 8) * cs + d->mbx * 8;
    uint8_t* v = d->target->v + (d->mby * 8) * cs + d->mbx * 8;
    int16_t* blk = d->blocks;
    for (int k = 0; k < 4; ++k) {
        if (!(cbp & (32 >> k))) continue;
        int bs;
        uint8_t* p = LumaBlock(d, y, k, &bs);
        M4vIdctAdd(p, p, blk + 64 * k, bs, bs, d->summary[k]);
    }
    if (cbp & 2) M4vIdctAdd(u, u, blk + 256, cs, cs, d->summary[4]);
    if (cbp & 1) M4vIdctAdd(v, v, blk + 320, cs, cs, d->summary[5]);
}

// B macroblock header after the not-coded test: modb, mb_type, cbpb and
// dbquant. type: 0 direct, 1 interpolated, 2 backward, 3 forward;
// deltaCoded 0 for a direct macroblock with a zero delta and nothing coded.
// Returns -1 on an invalid mb_type.
int M4vReadBMbHeader(Mp4vDecoder* d, int* type, int* cbp, int* deltaCoded) {
    VBits* b = &d->bs;
    *cbp = 0;
    *deltaCoded = 1;
    if (VbGet1(b)) {
        *type = 0;
        *deltaCoded = 0;
        return 0;
    }
    int cbpPresent = !VbGet1(b);
    *type = -1;
    for (int k = 0; k < 4; ++k)
        if (VbGet1(b)) {
            *type = k;
            break;
        }
    if (*type < 0) return -1;
    if (cbpPresent) *cbp = int(VbGet(b, 6));
    if (*type != 0 && *cbp && VbGet1(b)) d->qp = ClipQ(d->qp + (VbGet1(b) ? 2 : -2));
    return 0;
}

void M4vFinishMacroblock(Mp4vDecoder* d, int intra) {
    int i = d->mbIndex;
    if (intra) d->mbStatus[i] = 0;
    if (d->mbStatus[i] == 0) d->target->decodedCount++;
    d->quantCur[i] = uint8_t(d->qp);
    M4vAdvancePosition(d);
}

// Intra macroblock body of every MPEG-4 I-, P- and S-VOP decoder that reads
// macroblocks whole: ac_pred_flag, CBPY, DQUANT, dct_type in interlaced
// streams, texture and reconstruction.
int M4vDecodeIntraMb(Mp4vDecoder* d, int mode, int cbpc) {
    VBits* b = &d->bs;
    d->acPredFlag = int(VbGet1(b));
    int e = VlcRead(b, kCbpy, 6);
    if (e < 0) return -1;
    int cbp = e << 2 | cbpc;
    int qpBefore = d->qp;
    if (mode == MB_INTRAQ) d->qp = ReadDquant(b, d->qp);
    d->fieldDct = d->hdr->interlaced ? int(VbGet1(b)) : 0;
    int qpThr = d->mbIndex == d->packetStart ? d->qp : qpBefore;
    d->useDcVlc = qpThr < d->hdr->intraDcThr;
    ComputeAvail(d);
    if (d->intraBlock(d, d->qp, cbp) < 0) return -1;
    M4vPutIntra(d);
    int i = d->mbIndex;
    d->mbMode[i] = uint8_t(mode);
    d->fieldInfo[i] = 0;
    memset(d->mvs + i * 8, 0, 16);
    return 0;
}

void M4vDecodeIVopPlain(Mp4vDecoder* d) {
    VBits* b = &d->bs;
    while (d->mbIndex < d->mbCount) {
        if (VbUnread(b) <= 0) return;
        if (d->mbIndex != d->packetStart && PacketEnds(b)) return;
        int v = VlcRead(b, kMcbpcIntra, 9);
        if (v < 0) return;
        if (v == 255) continue;
        if (M4vDecodeIntraMb(d, v >> 2, v & 3) < 0) return;
        M4vFinishMacroblock(d, 1);
    }
}

void M4vDecodePVopPlain(Mp4vDecoder* d) {
    VBits* b = &d->bs;
    int fcode = d->hdr->fcodeFwd;
    while (d->mbIndex < d->mbCount) {
        if (VbUnread(b) <= 0) return;
        if (d->mbIndex != d->packetStart && PacketEnds(b)) return;
        int i = d->mbIndex;
        if (VbGet1(b)) {
            d->mbMode[i] = MB_NOTCODED;
            memset(d->mvs + i * 8, 0, 16);
            M4vAcPredStore(d, 0);
            M4vCopyMacroblock(d, d->olderRef);
            M4vFinishMacroblock(d, 0);
            continue;
        }
        int v = VlcRead(b, kMcbpcInter, 9);
        if (v < 0) return;
        if (v == 255) continue;
        int mode = v >> 2, cbpc = v & 3;
        if (mode >= MB_INTRA) {
            if (M4vDecodeIntraMb(d, mode, cbpc) < 0) return;
            M4vFinishMacroblock(d, 1);
            continue;
        }
        int c = VlcRead(b, kCbpy, 6);
        if (c < 0) return;
        int cbp = (15 - c) << 2 | cbpc;
        if (mode == MB_INTERQ) d->qp = ReadDquant(b, d->qp);
        ComputeAvail(d);
        if (M4vReadVectors(d, mode == MB_INTER4V, fcode) < 0) return;
        if (d->interBlock(d, d->qp, cbp) < 0) return;
        d->mbMode[i] = uint8_t(mode);
        M4vAcPredStore(d, 0);
        M4vMcMacroblock(d, d->mvs + i * 8, mode == MB_INTER4V);
        M4vAddInter(d, cbp);
        M4vFinishMacroblock(d, 0);
    }
}

void M4vDecodeH263I(Mp4vDecoder* d) {
    VBits* b = &d->bs;
    while (d->mbIndex < d->mbCount) {
        if (VbUnread(b) <= 0) return;
        int v = VlcRead(b, kMcbpcIntra, 9);
        if (v < 0) return;
        if (v == 255) continue;
        int mode = v >> 2;
        int c = VlcRead(b, kCbpy, 6);
        if (c < 0) return;
        int cbp = c << 2 | (v & 3);
        if (mode == MB_INTRAQ) d->qp = ReadDquant(b, d->qp);
        if (M4vIntraBlockShortHdr(d, d->qp, cbp) < 0) return;
        M4vPutIntra(d);
        d->mbMode[d->mbIndex] = uint8_t(mode);
        memset(d->mvs + d->mbIndex * 8, 0, 16);
        M4vFinishMacroblock(d, 1);
    }
}

void M4vDecodeH263P(Mp4vDecoder* d) {
    VBits* b = &d->bs;
    while (d->mbIndex < d->mbCount) {
        if (VbUnread(b) <= 0) return;
        // A GOB start code ahead: stop before COD eats its first bit.
        if (VbShow(b, 17) <= 1) return;
        int i = d->mbIndex;
        if (VbGet1(b)) {
            d->mbMode[i] = MB_NOTCODED;
            memset(d->mvs + i * 8, 0, 16);
            M4vCopyMacroblock(d, d->olderRef);
            M4vFinishMacroblock(d, 0);
            continue;
        }
        int v = VlcRead(b, kMcbpcInter, 9);
        if (v < 0) return;
        if (v == 255) continue;
        int mode = v >> 2, cbpc = v & 3;
        int c = VlcRead(b, kCbpy, 6);
        if (c < 0) return;
        int intra = mode >= MB_INTRA;
        int cbp = (intra ? c : 15 - c) << 2 | cbpc;
        if (mode == MB_INTERQ || mode == MB_INTRAQ) d->qp = ReadDquant(b, d->qp);
        if (intra) {
            if (M4vIntraBlockShortHdr(d, d->qp, cbp) < 0) return;
            M4vPutIntra(d);
            d->mbMode[i] = uint8_t(mode);
            memset(d->mvs + i * 8, 0, 16);
            M4vFinishMacroblock(d, 1);
            continue;
        }
        ComputeAvail(d);
        if (M4vReadVectors(d, mode == MB_INTER4V, 1) < 0) return;
        if (M4vInterBlockShortHdr(d, d->qp, cbp) < 0) return;
        d->mbMode[i] = uint8_t(mode);
        M4vMcMacroblock(d, d->mvs + i * 8, mode == MB_INTER4V);
        M4vAddInter(d, cbp);
        M4vFinishMacroblock(d, 0);
    }
}

// ---- B-VOPs -----------------------------------------------------------------

static int ReadBVector(VBits* b, int fcode, int16_t* pred) {
    int dx, dy;
    if (M4vDecodeMvd(b, fcode, &dx) < 0) return -1;
    if (M4vDecodeMvd(b, fcode, &dy) < 0) return -1;
    pred[0] = int16_t(M4vWrapMv(pred[0] + dx, fcode));
    pred[1] = int16_t(M4vWrapMv(pred[1] + dy, fcode));
    return 0;
}

void M4vDecodeBVopPlain(Mp4vDecoder* d) {
    VBits* b = &d->bs;
    const StreamHeader* h = d->hdr;
    int16_t pf[2] = {0, 0}, pb[2] = {0, 0};  // forward and backward predictors
    int s = d->stride, cs = s / 2;
    while (d->mbIndex < d->mbCount) {
        if (VbUnread(b) <= 0) return;
        if (d->mbIndex != d->packetStart && PacketEnds(b)) return;
        int i = d->mbIndex;
        // Predictors start again on each row and in each packet.
        if (d->mbx == 0 || i == d->packetStart) pf[0] = pf[1] = pb[0] = pb[1] = 0;
        FrameRec* t = d->target;
        uint8_t* dy = t->y + (d->mby * 16) * s + d->mbx * 16;
        uint8_t* du = t->u + (d->mby * 8) * cs + d->mbx * 8;
        uint8_t* dv = t->v + (d->mby * 8) * cs + d->mbx * 8;
        if (d->mbMode[i] == MB_NOTCODED) {
            M4vCopyMacroblock(d, d->olderRef);
            M4vFinishMacroblock(d, 0);
            continue;
        }
        int type, cbp, deltaCoded;
        if (M4vReadBMbHeader(d, &type, &cbp, &deltaCoded) < 0) return;
        int16_t fwd[8], bwd[8];
        int four = 0, useF = 0, useB = 0;
        if (type == 0) {  // direct
            int mx = 0, my = 0;
            if (deltaCoded && (M4vDecodeMvd(b, 1, &mx) < 0 || M4vDecodeMvd(b, 1, &my) < 0)) return;
            const int16_t* col = d->mvs + i * 8;
            four = d->mbMode[i] == MB_INTER4V;
            for (int k = 0; k < 4; ++k) {
                // A one-vector macroblock's vector is its block 0's.
                const int16_t* cv = col + 2 * (four ? k : 0);
                DirectPair(cv[0], mx, d->trb, d->trd, &fwd[2 * k], &bwd[2 * k]);
                DirectPair(cv[1], my, d->trb, d->trd, &fwd[2 * k + 1], &bwd[2 * k + 1]);
            }
            four = 1;
            useF = useB = 1;
        } else {
            useF = type == 1 || type == 3;
            useB = type == 1 || type == 2;
            if (useF && ReadBVector(b, h->fcodeFwd, pf) < 0) return;
            if (useB && ReadBVector(b, h->fcodeBwd, pb) < 0) return;
            for (int k = 0; k < 4; ++k) {
                fwd[2 * k] = pf[0];
                fwd[2 * k + 1] = pf[1];
                bwd[2 * k] = pb[0];
                bwd[2 * k + 1] = pb[1];
            }
        }
        if (cbp && d->interBlock(d, d->qp, cbp) < 0) return;
        if (useF) M4vMcPredict(d, d->olderRef, dy, du, dv, s, cs, fwd, four);
        if (useB) {
            if (!useF) {
                M4vMcPredict(d, d->newerRef, dy, du, dv, s, cs, bwd, four);
            } else {
                uint8_t* ty = d->predTmp;
                uint8_t* tu = ty + 256;
                uint8_t* tv = tu + 64;
                M4vMcPredict(d, d->newerRef, ty, tu, tv, 16, 8, bwd, four);
                M4vMcAverage(dy, s, ty, 16, 16, 16);
                M4vMcAverage(du, cs, tu, 8, 8, 8);
                M4vMcAverage(dv, cs, tv, 8, 8, 8);
            }
        }
        M4vAddInter(d, cbp);
        M4vFinishMacroblock(d, 0);
    }
}
