// The general B-VOP decoder: direct (frame and field), interpolated,
// backward and forward macroblocks with frame or field vectors, half- or
// quarter-pel.
#include "codecs/video/m4v_internal.h"

// Reads one vector difference pair against pred (frame: pred holds the
// vector; field: the vertical part is kept doubled).
static int ReadVector(VBits* b, int fcode, int16_t* pred, int field, int16_t* out) {
    int dx, dy;
    if (M4vDecodeMvd(b, fcode, &dx) < 0) return -1;
    if (M4vDecodeMvd(b, fcode, &dy) < 0) return -1;
    int mx = M4vWrapMv(pred[0] + dx, fcode);
    int my = M4vWrapMv((field ? pred[1] / 2 : pred[1]) + dy, fcode);
    out[0] = int16_t(mx);
    out[1] = int16_t(my);
    pred[0] = int16_t(mx);
    pred[1] = int16_t(field ? my * 2 : my);
    return 0;
}

// Forward or backward vectors of a non-direct macroblock. pred[2][2] holds
// the predictors of the two field slots; a frame vector sets both.
static int ReadDirVectors(VBits* b, int fcode, int16_t (*pred)[2], int field, int16_t* mv) {
    if (field) {
        if (ReadVector(b, fcode, pred[0], 1, mv) < 0) return -1;
        if (ReadVector(b, fcode, pred[1], 1, mv + 2) < 0) return -1;
        return 0;
    }
    if (ReadVector(b, fcode, pred[0], 0, mv) < 0) return -1;
    pred[1][0] = pred[0][0];
    pred[1][1] = pred[0][1];
    for (int k = 1; k < 4; ++k) {
        mv[2 * k] = mv[0];
        mv[2 * k + 1] = mv[1];
    }
    return 0;
}

void M4vDecodeBVopGeneral(Mp4vDecoder* d) {
    VBits* b = &d->bs;
    const StreamHeader* h = d->hdr;
    int16_t pf[2][2] = {{0, 0}, {0, 0}}, pb[2][2] = {{0, 0}, {0, 0}};
    int s = d->stride, cs = s / 2;
    while (d->mbIndex < d->mbCount) {
        if (VbUnread(b) <= 0) return;
        if (d->mbIndex != d->packetStart && PacketEnds(b)) return;
        int i = d->mbIndex;
        // Predictors start again on each row and in each video packet.
        if (d->mbx == 0 || i == d->packetStart) memset(pf, 0, sizeof pf), memset(pb, 0, sizeof pb);
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
        // type: 0 direct, 1 interpolated, 2 backward, 3 forward
        int field = 0, fsel[2] = {0, 0}, bsel[2] = {0, 1};
        d->fieldDct = 0;
        if (h->interlaced) {
            if (cbp) d->fieldDct = int(VbGet1(b));
            if (type != 0) {
                field = int(VbGet1(b));
                if (field) {
                    if (type != 2) {
                        fsel[0] = int(VbGet1(b));
                        fsel[1] = int(VbGet1(b));
                    }
                    if (type != 3) {
                        bsel[0] = int(VbGet1(b));
                        bsel[1] = int(VbGet1(b));
                    }
                }
            }
        }
        int16_t fwd[8], bwd[8];
        int useF, useB;
        if (type == 0) {
            int mx = 0, my = 0;
            if (deltaCoded && (M4vDecodeMvd(b, 1, &mx) < 0 || M4vDecodeMvd(b, 1, &my) < 0)) return;
            useF = useB = 1;
            uint8_t info = h->interlaced ? d->fieldInfo[i] : 0;
            if (info & 4) {
                // Field direct: each field scales its co-located field vector by the
                // field distances to its reference field.
                field = 1;
                const int16_t* col = d->fieldMvs + i * 4;
                for (int f = 0; f < 2; ++f) {
                    int fs = (info >> f) & 1;
                    int tpp, tpb;
                    if (h->topFieldFirst) {
                        tpp = d->fieldTrd - fs + f;
                        tpb = d->fieldTrb - fs + f;
                    } else {
                        tpp = d->fieldTrd + fs - f;
                        tpb = d->fieldTrb + fs - f;
                    }
                    DirectPair(col[2 * f], mx, tpb, tpp, &fwd[2 * f], &bwd[2 * f]);
                    DirectPair(col[2 * f + 1], my, tpb, tpp, &fwd[2 * f + 1], &bwd[2 * f + 1]);
                    fsel[f] = fs;
                    bsel[f] = f;
                }
            } else {
                const int16_t* col = d->mvs + i * 8;
                int colFour = d->mbMode[i] == MB_INTER4V;  // else its vector is its block 0's
                for (int k = 0; k < 4; ++k) {
                    int kk = colFour ? k : 0;
                    DirectPair(col[2 * kk], mx, d->trb, d->trd, &fwd[2 * k], &bwd[2 * k]);
                    DirectPair(col[2 * kk + 1], my, d->trb, d->trd, &fwd[2 * k + 1],
                               &bwd[2 * k + 1]);
                }
            }
        } else {
            useF = type == 1 || type == 3;
            useB = type == 1 || type == 2;
            if (useF && ReadDirVectors(b, h->fcodeFwd, pf, field, fwd) < 0) return;
            if (useB && ReadDirVectors(b, h->fcodeBwd, pb, field, bwd) < 0) return;
        }
        if (cbp && d->interBlock(d, d->qp, cbp) < 0) return;
        int four = type == 0;
        uint8_t* ty = d->predTmp;
        uint8_t* tu = ty + 256;
        uint8_t* tv = tu + 64;
        if (useF) {
            if (field)
                M4vMcPredictFields(d, d->olderRef, dy, du, dv, s, cs, fwd, fsel, 0);
            else
                M4vMcPredictAny(d, d->olderRef, dy, du, dv, s, cs, fwd, four, 0);
        }
        if (useB) {
            int avg = useF;
            uint8_t *py = avg ? ty : dy, *pu = avg ? tu : du, *pv = avg ? tv : dv;
            int ps = avg ? 16 : s, pcs = avg ? 8 : cs;
            if (field)
                M4vMcPredictFields(d, d->newerRef, py, pu, pv, ps, pcs, bwd, bsel, 0);
            else
                M4vMcPredictAny(d, d->newerRef, py, pu, pv, ps, pcs, bwd, four, 0);
            if (avg) {
                M4vMcAverage(dy, s, ty, 16, 16, 16);
                M4vMcAverage(du, cs, tu, 8, 8, 8);
                M4vMcAverage(dv, cs, tv, 8, 8, 8);
            }
        }
        M4vAddInter(d, cbp);
        M4vFinishMacroblock(d, 0);
    }
}
