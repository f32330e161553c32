// The general I/P/S VOP decoder of streams with interlace, quarter-pel or
// global motion compensation: field DCT, field vectors, mcsel.
#include "codecs/video/m4v_internal.h"

// Two field vectors: the frame predictor with its vertical part halved; the
// macroblock's frame vector becomes their average.
static int ReadFieldVectors(Mp4vDecoder* d, int fcode) {
    int i = d->mbIndex;
    int16_t* fmv = d->fieldMvs + i * 4;
    int px, py;
    M4vPredictMv(d, 0, &px, &py);
    for (int f = 0; f < 2; ++f) {
        int dx, dy;
        if (M4vDecodeMvd(&d->bs, fcode, &dx) < 0) return -1;
        if (M4vDecodeMvd(&d->bs, fcode, &dy) < 0) return -1;
        fmv[2 * f] = int16_t(M4vWrapMv(px + dx, fcode));
        fmv[2 * f + 1] = int16_t(M4vWrapMv(py / 2 + dy, fcode));
    }
    int sx = fmv[0] + fmv[2];
    int sy = fmv[1] + fmv[3];  // doubled field components, averaged
    int16_t* mv = d->mvs + i * 8;
    for (int k = 0; k < 4; ++k) {
        mv[2 * k] = int16_t((sx >> 1) | (sx & 1));
        mv[2 * k + 1] = int16_t(sy);
    }
    return 0;
}

void M4vDecodeVopGeneral(Mp4vDecoder* d) {
    VBits* b = &d->bs;
    const StreamHeader* h = d->hdr;
    int type = h->codingType;
    int gmc = type == 3 && h->spriteEnable == 2;
    int fcode = h->fcodeFwd;
    int rounding = h->rounding;
    int s = d->stride, cs = s / 2;
    while (d->mbIndex < d->mbCount) {
        if (VbUnread(b) <= 0) return;
        if (d->mbIndex != d->packetStart && PacketEnds(b)) return;
        int i = d->mbIndex;
        FrameRec* t = d->target;
        uint8_t* dy = t->y + (d->mby * 16) * s + d->mbx * 16;
        uint8_t* du = t->u + (d->mby * 8) * cs + d->mbx * 8;
        uint8_t* dv = t->v + (d->mby * 8) * cs + d->mbx * 8;
        if (type == 0) {
            int v = VlcRead(b, kMcbpcIntra, 9);
            if (v < 0) return;
            if (v == 255) continue;
            if (M4vDecodeIntraMb(d, v >> 2, v & 3) < 0) return;
            M4vFinishMacroblock(d, 1);
            continue;
        }
        if (VbGet1(b)) {  // not coded
            d->fieldInfo[i] = 0;
            M4vAcPredStore(d, 0);
            if (gmc) {
                d->mbMode[i] = MB_INTER;
                M4vGmcPredict(d, dy, du, dv, s, cs);
            } else {
                d->mbMode[i] = MB_NOTCODED;
                memset(d->mvs + i * 8, 0, 16);
                M4vCopyMacroblock(d, d->olderRef);
            }
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
        int mcsel = gmc && mode != MB_INTER4V ? int(VbGet1(b)) : 0;
        int c = VlcRead(b, kCbpy, 6);
        if (c < 0) return;
        int cbp = (15 - c) << 2 | cbpc;
        if (mode == MB_INTERQ) d->qp = ReadDquant(b, d->qp);
        int field = 0, sel[2] = {0, 0};
        d->fieldDct = 0;
        if (h->interlaced) {
            if (cbp) d->fieldDct = int(VbGet1(b));
            if (mode != MB_INTER4V && !mcsel) {
                field = int(VbGet1(b));
                if (field) {
                    sel[0] = int(VbGet1(b));
                    sel[1] = int(VbGet1(b));
                }
            }
        }
        ComputeAvail(d);
        if (mcsel) {
            d->fieldInfo[i] = 0;
            M4vGmcPredict(d, dy, du, dv, s, cs);
        } else if (field) {
            if (ReadFieldVectors(d, fcode) < 0) return;
            d->fieldInfo[i] = uint8_t(sel[0] | sel[1] << 1 | 4);
            M4vMcPredictFields(d, d->olderRef, dy, du, dv, s, cs, d->fieldMvs + i * 4, sel,
                               rounding);
        } else {
            if (M4vReadVectors(d, mode == MB_INTER4V, fcode) < 0) return;
            d->fieldInfo[i] = 0;
            M4vMcPredictAny(d, d->olderRef, dy, du, dv, s, cs, d->mvs + i * 8, mode == MB_INTER4V,
                            rounding);
        }
        if (d->interBlock(d, d->qp, cbp) < 0) return;
        d->mbMode[i] = uint8_t(mode);
        M4vAcPredStore(d, 0);
        M4vAddInter(d, cbp);
        M4vFinishMacroblock(d, 0);
    }
}
