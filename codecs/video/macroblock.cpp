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

void PredictMv(Mp4vDecoder* d, int block, int* px, int* py) {
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

int DecodeMvd(VBits* b, int fcode, int* out) {
    uint32_t e = kMvd.v[VbShow(b, 12)];
    if (!e) return -1;
    VbSkip(b, int(e >> 8));
    int code = int(e & 0xFF);
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

int WrapMv(int v, int fcode) {
    int r = 16 << fcode;
    if (v < -r)
        v += 2 * r;
    else if (v >= r)
        v -= 2 * r;
    return v;
}

// Reads one or four vectors of the current macroblock into the vector array.
int ReadVectors(Mp4vDecoder* d, int four, int fcode) {
    int16_t* mv = d->mvs + d->mbIndex * 8;
    int n = four ? 4 : 1;
    for (int k = 0; k < n; ++k) {
        int px, py, dx, dy;
        if (k == 2) LavcClearLeftAtPacketStart(d);
        PredictMv(d, k, &px, &py);
        if (DecodeMvd(&d->bs, fcode, &dx) < 0) return -1;
        if (DecodeMvd(&d->bs, fcode, &dy) < 0) return -1;
        mv[k * 2] = int16_t(WrapMv(px + dx, fcode));
        mv[k * 2 + 1] = int16_t(WrapMv(py + dy, fcode));
    }
    if (!four)
        for (int k = 1; k < 4; ++k) {
            mv[k * 2] = mv[0];
            mv[k * 2 + 1] = mv[1];
        }
    return 0;
}

static inline uint8_t* LumaAt(Mp4vDecoder* d) {
    return d->target->y + (d->mby * 16) * d->stride + d->mbx * 16;
}

void PutIntra(Mp4vDecoder* d) {
    int s = d->stride, cs = s / 2;
    uint8_t* y = LumaAt(d);
    uint8_t* u = d->target->u + (d->mby * 8) * cs + d->mbx * 8;
    uint8_t* v = d->target->v + (d->mby * 8) * cs + d->mbx * 8;
    int16_t* blk = d->blocks;
    IdctPut(y, blk, s, d->summary[0]);
    IdctPut(y + 8, blk + 64, s, d->summary[1]);
    IdctPut(y + 8 * s, blk + 128, s, d->summary[2]);
    IdctPut(y + 8 * s + 8, blk + 192, s, d->summary[3]);
    IdctPut(u, blk + 256, cs, d->summary[4]);
    IdctPut(v, blk + 320, cs, d->summary[5]);
}

void AddInter(Mp4vDecoder* d, int cbp) {
    int s = d->stride, cs = s / 2;
    uint8_t* y = LumaAt(d);
    uint8_t* u = d->target->u + (d->mby * 8) * cs + d->mbx * 8;
    uint8_t* v = d->target->v + (d->mby * 8) * cs + d->mbx * 8;
    int16_t* blk = d->blocks;
    if (cbp & 32) IdctAdd(y, y, blk, s, s, d->summary[0]);
    if (cbp & 16) IdctAdd(y + 8, y + 8, blk + 64, s, s, d->summary[1]);
    if (cbp & 8) IdctAdd(y + 8 * s, y + 8 * s, blk + 128, s, s, d->summary[2]);
    if (cbp & 4) IdctAdd(y + 8 * s + 8, y + 8 * s + 8, blk + 192, s, s, d->summary[3]);
    if (cbp & 2) IdctAdd(u, u, blk + 256, cs, cs, d->summary[4]);
    if (cbp & 1) IdctAdd(v, v, blk + 320, cs, cs, d->summary[5]);
}

// B macroblock header after the not-coded test: modb, mb_type, cbpb and
// dbquant. type: 0 direct, 1 interpolated, 2 backward, 3 forward;
// deltaCoded 0 for a direct macroblock with a zero delta and nothing coded.
// Returns -1 on an invalid mb_type.
int ReadBMbHeader(Mp4vDecoder* d, int* type, int* cbp, int* deltaCoded) {
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

void FinishMacroblock(Mp4vDecoder* d, int intra) {
    int i = d->mbIndex;
    if (intra) d->mbStatus[i] = 0;
    if (d->mbStatus[i] == 0) d->target->decodedCount++;
    d->quantCur[i] = uint8_t(d->qp);
    AdvancePosition(d);
}

// Intra macroblock body shared by I- and P-VOPs: ac_pred_flag, CBPY,
// DQUANT, texture and reconstruction.
static int DecodeIntraMb(Mp4vDecoder* d, int mode, int cbpc) {
    VBits* b = &d->bs;
    d->acPredFlag = int(VbGet1(b));
    uint32_t e = kCbpy.v[VbShow(b, 6)];
    if (!e) return -1;
    VbSkip(b, int(e >> 8));
    int cbp = int(e & 0xF) << 2 | cbpc;
    int qpBefore = d->qp;
    if (mode == MB_INTRAQ) d->qp = ReadDquant(b, d->qp);
    int qpThr = d->mbIndex == d->packetStart ? d->qp : qpBefore;
    d->useDcVlc = qpThr < d->hdr->intraDcThr;
    ComputeAvail(d);
    if (d->intraBlock(d, d->qp, cbp) < 0) return -1;
    PutIntra(d);
    d->mbMode[d->mbIndex] = uint8_t(mode);
    memset(d->mvs + d->mbIndex * 8, 0, 16);
    return 0;
}

void DecodeIVopPlain(Mp4vDecoder* d) {
    VBits* b = &d->bs;
    while (d->mbIndex < d->mbCount) {
        if (VbUnread(b) <= 0) return;
        if (d->mbIndex != d->packetStart && PacketEnds(b)) return;
        uint32_t e = kMcbpcIntra.v[VbShow(b, 9)];
        if (!e) return;
        VbSkip(b, int(e >> 8));
        int v = int(e & 0xFF);
        if (v == 255) continue;
        if (DecodeIntraMb(d, v >> 2, v & 3) < 0) return;
        FinishMacroblock(d, 1);
    }
}

void DecodePVopPlain(Mp4vDecoder* d) {
    VBits* b = &d->bs;
    int fcode = d->hdr->fcodeFwd;
    while (d->mbIndex < d->mbCount) {
        if (VbUnread(b) <= 0) return;
        if (d->mbIndex != d->packetStart && PacketEnds(b)) return;
        int i = d->mbIndex;
        if (VbGet1(b)) {
            d->mbMode[i] = MB_NOTCODED;
            memset(d->mvs + i * 8, 0, 16);
            AcPredStore(d, 0);
            CopyMacroblock(d, d->olderRef);
            FinishMacroblock(d, 0);
            continue;
        }
        uint32_t e = kMcbpcInter.v[VbShow(b, 9)];
        if (!e) return;
        VbSkip(b, int(e >> 8));
        int v = int(e & 0xFF);
        if (v == 255) continue;
        int mode = v >> 2, cbpc = v & 3;
        if (mode >= MB_INTRA) {
            if (DecodeIntraMb(d, mode, cbpc) < 0) return;
            FinishMacroblock(d, 1);
            continue;
        }
        uint32_t c = kCbpy.v[VbShow(b, 6)];
        if (!c) return;
        VbSkip(b, int(c >> 8));
        int cbp = int(15 - (c & 0xF)) << 2 | cbpc;
        if (mode == MB_INTERQ) d->qp = ReadDquant(b, d->qp);
        ComputeAvail(d);
        if (ReadVectors(d, mode == MB_INTER4V, fcode) < 0) return;
        if (d->interBlock(d, d->qp, cbp) < 0) return;
        d->mbMode[i] = uint8_t(mode);
        AcPredStore(d, 0);
        McMacroblock(d, d->mvs + i * 8, mode == MB_INTER4V);
        AddInter(d, cbp);
        FinishMacroblock(d, 0);
    }
}

void DecodeH263I(Mp4vDecoder* d) {
    VBits* b = &d->bs;
    while (d->mbIndex < d->mbCount) {
        if (VbUnread(b) <= 0) return;
        uint32_t e = kMcbpcIntra.v[VbShow(b, 9)];
        if (!e) return;
        VbSkip(b, int(e >> 8));
        int v = int(e & 0xFF);
        if (v == 255) continue;
        int mode = v >> 2;
        uint32_t c = kCbpy.v[VbShow(b, 6)];
        if (!c) return;
        VbSkip(b, int(c >> 8));
        int cbp = int(c & 0xF) << 2 | (v & 3);
        if (mode == MB_INTRAQ) d->qp = ReadDquant(b, d->qp);
        if (IntraBlockShortHdr(d, d->qp, cbp) < 0) return;
        PutIntra(d);
        d->mbMode[d->mbIndex] = uint8_t(mode);
        memset(d->mvs + d->mbIndex * 8, 0, 16);
        FinishMacroblock(d, 1);
    }
}

void DecodeH263P(Mp4vDecoder* d) {
    VBits* b = &d->bs;
    while (d->mbIndex < d->mbCount) {
        if (VbUnread(b) <= 0) return;
        // A GOB start code ahead: stop before COD eats its first bit.
        if (VbShow(b, 17) <= 1) return;
        int i = d->mbIndex;
        if (VbGet1(b)) {
            d->mbMode[i] = MB_NOTCODED;
            memset(d->mvs + i * 8, 0, 16);
            CopyMacroblock(d, d->olderRef);
            FinishMacroblock(d, 0);
            continue;
        }
        uint32_t e = kMcbpcInter.v[VbShow(b, 9)];
        if (!e) return;
        VbSkip(b, int(e >> 8));
        int v = int(e & 0xFF);
        if (v == 255) continue;
        int mode = v >> 2, cbpc = v & 3;
        uint32_t c = kCbpy.v[VbShow(b, 6)];
        if (!c) return;
        VbSkip(b, int(c >> 8));
        int intra = mode >= MB_INTRA;
        int cbp = int(intra ? (c & 0xF) : 15 - (c & 0xF)) << 2 | cbpc;
        if (mode == MB_INTERQ || mode == MB_INTRAQ) d->qp = ReadDquant(b, d->qp);
        if (intra) {
            if (IntraBlockShortHdr(d, d->qp, cbp) < 0) return;
            PutIntra(d);
            d->mbMode[i] = uint8_t(mode);
            memset(d->mvs + i * 8, 0, 16);
            FinishMacroblock(d, 1);
            continue;
        }
        ComputeAvail(d);
        if (ReadVectors(d, mode == MB_INTER4V, 1) < 0) return;
        if (InterBlockShortHdr(d, d->qp, cbp) < 0) return;
        d->mbMode[i] = uint8_t(mode);
        McMacroblock(d, d->mvs + i * 8, mode == MB_INTER4V);
        AddInter(d, cbp);
        FinishMacroblock(d, 0);
    }
}

// ---- B-VOPs -----------------------------------------------------------------

// Truncating division of the direct-mode scaling; a zero distance (damaged
// timing) scales to 0 instead of dividing.
static inline int DirectScale(int x, int num, int trd) {
    if (trd <= 0) return 0;
    int64_t v = int64_t(x) * num;
    return int(v / trd);
}

static int ReadBVector(VBits* b, int fcode, int16_t* pred) {
    int dx, dy;
    if (DecodeMvd(b, fcode, &dx) < 0) return -1;
    if (DecodeMvd(b, fcode, &dy) < 0) return -1;
    pred[0] = int16_t(WrapMv(pred[0] + dx, fcode));
    pred[1] = int16_t(WrapMv(pred[1] + dy, fcode));
    return 0;
}

void DecodeBVopPlain(Mp4vDecoder* d) {
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
            CopyMacroblock(d, d->olderRef);
            FinishMacroblock(d, 0);
            continue;
        }
        int type, cbp, deltaCoded;
        if (ReadBMbHeader(d, &type, &cbp, &deltaCoded) < 0) return;
        int16_t fwd[8], bwd[8];
        int four = 0, useF = 0, useB = 0;
        if (type == 0) {  // direct
            int mx = 0, my = 0;
            if (deltaCoded && (DecodeMvd(b, 1, &mx) < 0 || DecodeMvd(b, 1, &my) < 0)) return;
            const int16_t* col = d->mvs + i * 8;
            four = d->mbMode[i] == MB_INTER4V;
            for (int k = 0; k < 4; ++k) {
                int delta[2] = {mx, my};
                for (int c = 0; c < 2; ++c) {
                    // A one-vector macroblock's vector is its block 0's.
                    int cv = col[2 * (four ? k : 0) + c];
                    int f = DirectScale(cv, d->trb, d->trd) + delta[c];
                    int bb = delta[c] == 0 ? DirectScale(cv, d->trb - d->trd, d->trd) : f - cv;
                    fwd[2 * k + c] = int16_t(f);
                    bwd[2 * k + c] = int16_t(bb);
                }
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
        if (useF) McPredict(d, d->olderRef, dy, du, dv, s, cs, fwd, four);
        if (useB) {
            if (!useF) {
                McPredict(d, d->newerRef, dy, du, dv, s, cs, bwd, four);
            } else {
                uint8_t* ty = d->predTmp;
                uint8_t* tu = ty + 256;
                uint8_t* tv = tu + 64;
                McPredict(d, d->newerRef, ty, tu, tv, 16, 8, bwd, four);
                McAverage(dy, s, ty, 16, 16, 16);
                McAverage(du, cs, tu, 8, 8, 8);
                McAverage(dv, cs, tv, 8, 8, 8);
            }
        }
        AddInter(d, cbp);
        FinishMacroblock(d, 0);
    }
}
