// Data-partitioned I and P VOP decoders. A video packet holds three parts:
// the macroblock headers (with the DC differentials of I-VOPs, or the motion
// vectors of P-VOPs) up to the DC or motion marker, then the rest of the
// headers, then the texture of every coded block. The two header parts are
// walked once to find where the next part begins, and then read again in
// step with the texture, so nothing per macroblock is kept between passes.
#include "codecs/video/m4v_internal.h"
#include "codecs/video/m4v_tables.h"

namespace {

const uint32_t kDcMarker = 0x6B001;      // 19 bits
const uint32_t kMotionMarker = 0x1F001;  // 17 bits

// One macroblock as the two header parts describe it.
struct PartMb {
    int notCoded;
    int mode;
    int cbpc;
    int mcsel;
    int acPred;
    int cbpy;  // intra meaning
    int qp;
    int useDc;
    int16_t dc[6];
};

int ReadDcs(VBits* b, PartMb* m) {
    for (int k = 0; k < 6; ++k) {
        int v;
        if (M4vReadDcDifferential(b, k < 4, &v) < 0) return -1;
        m->dc[k] = int16_t(v);
    }
    return 0;
}

// The quantiser compared with the intra DC threshold: the one before this
// macroblock's DQUANT, except for the first macroblock of a packet.
inline void ApplyDquant(VBits* b, PartMb* m, int* qp, int first, int thr) {
    int before = *qp;
    if (m->mode == MB_INTERQ || m->mode == MB_INTRAQ) *qp = ReadDquant(b, *qp);
    m->qp = *qp;
    m->useDc = (first ? *qp : before) < thr;
}

// First part of one macroblock at the current position. Vectors are decoded
// into the vector array (they predict from earlier macroblocks of the packet).
int ReadFirstPart(Mp4vDecoder* d, VBits* r, int isI, PartMb* m, int* qp) {
    const StreamHeader* h = d->hdr;
    memset(m, 0, sizeof(*m));
    int16_t* mv = d->mvs + d->mbIndex * 8;
    if (isI) {
        int v;
        do {
            if (VbUnread(r) <= 0) return -1;
            v = VlcRead(r, kMcbpcIntra, 9);
            if (v < 0) return -1;
        } while (v == 255);
        m->mode = v >> 2;
        m->cbpc = v & 3;
        ApplyDquant(r, m, qp, d->mbIndex == d->packetStart, h->intraDcThr);
        if (m->useDc && ReadDcs(r, m) < 0) return -1;
        memset(mv, 0, 16);
        return VbUnread(r) >= 0 ? 0 : -1;
    }
    int v;
    for (;;) {
        if (VbUnread(r) <= 0) return -1;
        if (VbGet1(r)) {
            m->notCoded = 1;
            m->mode = MB_NOTCODED;
            if (h->spriteEnable == 2 && h->codingType == 3)
                M4vGmcAverageVector(d, mv);  // what later vectors predict from
            else
                memset(mv, 0, 16);
            return 0;
        }
        v = VlcRead(r, kMcbpcInter, 9);
        if (v < 0) return -1;
        if (v != 255) break;
    }
    m->mode = v >> 2;
    m->cbpc = v & 3;
    if (m->mode >= MB_INTRA) {
        memset(mv, 0, 16);
        return 0;
    }
    if (h->spriteEnable == 2 && h->codingType == 3 && m->mode != MB_INTER4V)
        m->mcsel = int(VbGet1(r));
    if (m->mcsel) {
        M4vGmcAverageVector(d, mv);
        return 0;
    }
    ComputeAvail(d);
    d->bs = *r;
    int err = M4vReadVectors(d, m->mode == MB_INTER4V, h->fcodeFwd);
    *r = d->bs;
    return err < 0 || VbUnread(r) < 0 ? -1 : 0;
}

// Second part of one macroblock.
int ReadSecondPart(Mp4vDecoder* d, VBits* r, int isI, PartMb* m, int* qp) {
    if (m->notCoded) {
        m->qp = *qp;
        return 0;
    }
    int intra = m->mode >= MB_INTRA;
    if (intra) m->acPred = int(VbGet1(r));
    int e = VlcRead(r, kCbpy, 6);
    if (e < 0) return -1;
    m->cbpy = e;
    if (!isI) {
        ApplyDquant(r, m, qp, d->mbIndex == d->packetStart, d->hdr->intraDcThr);
        if (intra && m->useDc && ReadDcs(r, m) < 0) return -1;
    }
    return VbUnread(r) >= 0 ? 0 : -1;
}

// Prediction of an inter macroblock of a P- or S-VOP: global motion for
// not-coded and mcsel macroblocks of S-VOPs, else one or four vectors
// (half- or quarter-pel by the stream).
void PredictInter(Mp4vDecoder* d, const PartMb& m) {
    FrameRec* t = d->target;
    int s = d->stride, cs = s / 2;
    uint8_t* dy = t->y + (d->mby * 16) * s + d->mbx * 16;
    uint8_t* du = t->u + (d->mby * 8) * cs + d->mbx * 8;
    uint8_t* dv = t->v + (d->mby * 8) * cs + d->mbx * 8;
    if (m.notCoded || m.mcsel)
        M4vGmcPredict(d, dy, du, dv, s, cs);
    else
        M4vMcPredictAny(d, d->olderRef, dy, du, dv, s, cs, d->mvs + d->mbIndex * 8,
                        m.mode == MB_INTER4V, d->hdr->rounding);
}

inline int MarkerAhead(VBits* r, int isI) {
    return isI ? VbShow(r, 19) == kDcMarker : VbShow(r, 17) == kMotionMarker;
}

void DecodePartitioned(Mp4vDecoder* d, int isI) {
    const int start = d->mbIndex;
    const int qp0 = d->qp;
    const VBits begin = d->bs;  // the reader is borrowed for vectors and texture
    PartMb m;
    // Pass 1: the first part up to its marker gives the macroblock count.
    VBits r1 = begin;
    int qp = qp0, n = 0;
    while (!MarkerAhead(&r1, isI)) {
        if (d->mbIndex >= d->mbCount || ReadFirstPart(d, &r1, isI, &m, &qp) < 0) {
            d->bs = begin;
            M4vSetPosition(d, start);
            return;
        }
        M4vAdvancePosition(d);
        ++n;
    }
    VbSkip(&r1, isI ? 19 : 17);
    // Pass 2: the second part, read beside the first, ends where the texture
    // begins.
    const VBits second = r1;
    VBits r2 = second;
    r1 = begin;
    M4vSetPosition(d, start);
    int qp1 = qp0, qp2 = qp0;
    for (int i = 0; i < n; ++i) {
        if (ReadFirstPart(d, &r1, isI, &m, &qp1) < 0 ||
            ReadSecondPart(d, &r2, isI, &m, isI ? &m.qp : &qp2) < 0) {
            M4vSetPosition(d, start);
            d->bs = begin;
            return;
        }
        M4vAdvancePosition(d);
    }
    // Pass 3: both header parts again, in step with the texture.
    VBits r3 = r2;
    r1 = begin;
    r2 = second;
    M4vSetPosition(d, start);
    qp1 = qp2 = qp0;
    const int gmcVop = d->hdr->spriteEnable == 2 && d->hdr->codingType == 3;
    for (int i = 0; i < n; ++i) {
        if (ReadFirstPart(d, &r1, isI, &m, &qp1) < 0) break;
        if (ReadSecondPart(d, &r2, isI, &m, isI ? &m.qp : &qp2) < 0) break;
        int idx = d->mbIndex;
        d->qp = m.qp;
        if (m.notCoded) {
            M4vAcPredStore(d, 0);
            if (gmcVop) {
                d->mbMode[idx] = MB_INTER;  // warped by the global motion
                PredictInter(d, m);
            } else {
                d->mbMode[idx] = MB_NOTCODED;
                M4vCopyMacroblock(d, d->olderRef);
            }
            M4vFinishMacroblock(d, 0);
            continue;
        }
        d->bs = r3;
        if (m.mode >= MB_INTRA) {
            int cbp = m.cbpy << 2 | m.cbpc;
            d->acPredFlag = m.acPred;
            d->useDcVlc = m.useDc;
            d->dcPreset = 1;
            memcpy(d->dcDiff, m.dc, sizeof m.dc);
            ComputeAvail(d);
            int err = d->intraBlock(d, m.qp, cbp);
            d->dcPreset = 0;
            r3 = d->bs;
            if (err < 0 || VbUnread(&r3) < 0) break;
            M4vPutIntra(d);
            d->mbMode[idx] = uint8_t(m.mode);
            M4vFinishMacroblock(d, 1);
            continue;
        }
        int cbp = (15 - m.cbpy) << 2 | m.cbpc;
        int err = cbp ? d->interBlock(d, m.qp, cbp) : 0;
        r3 = d->bs;
        if (err < 0 || VbUnread(&r3) < 0) break;
        d->mbMode[idx] = uint8_t(m.mode);
        M4vAcPredStore(d, 0);
        PredictInter(d, m);
        M4vAddInter(d, cbp);
        M4vFinishMacroblock(d, 0);
    }
    d->bs = r3;
}

}  // namespace

void M4vDecodeIVopPartitioned(Mp4vDecoder* d) { DecodePartitioned(d, 1); }
void M4vDecodePVopPartitioned(Mp4vDecoder* d) { DecodePartitioned(d, 0); }
