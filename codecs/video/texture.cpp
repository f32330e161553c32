// Texture decoding: intra DC and AC prediction, TCOEF with escapes, inverse
// quantisation into coefficient blocks with their nonzero summaries.
#include "codecs/video/m4v_internal.h"
#include "codecs/video/m4v_tables.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Zeroes a coefficient block: eight 16-byte stores where the target has
// them, which beat the string store a 128-byte memset becomes.
static inline void ClearBlock(int16_t* blk) {
#if defined(__SSE2__)
    __m128i z = _mm_setzero_si128();
    for (int i = 0; i < 64; i += 8) _mm_storeu_si128(reinterpret_cast<__m128i*>(blk + i), z);
#else
    memset(blk, 0, 128);
#endif
}

static inline int Clamp2048(int v) { return v < -2048 ? -2048 : v > 2047 ? 2047 : v; }

static inline int DcScaler(int qp, int lum) {
    if (qp < 5) return 8;
    if (lum) return qp < 9 ? 2 * qp : qp < 25 ? qp + 8 : 2 * qp - 16;
    return qp < 25 ? (qp + 13) / 2 : qp - 6;
}

// One run/level event. Returns 0 and fills run, level, last; -1 on an invalid
// code. mpeg4: the three escapes of MPEG-4; else the H.263 escape.
template <bool kIntraTable, bool kMpeg4>
static inline int ReadEvent(VBits* b, int* run, int* level, int* last) {
    const uint32_t* tab = kIntraTable ? kTcoefIntra.v : kTcoefInter.v;
    VbRefill(b);
    uint32_t e = tab[VbPeek(b, 12)];
    if (!e) return -1;
    int len = int(e >> 16);
    int r = int(e & 63);
    if (r != int(TCOEF_ESCAPE)) {
        // Code and sign together: at most 13 of the 25 bits a refill leaves.
        int l = int((e >> 7) & 0x1FF);
        int neg = -int(VbPeek(b, len + 1) & 1);
        VbDrop(b, len + 1);
        *run = r;
        *last = int((e >> 6) & 1);
        *level = (l ^ neg) - neg;
        return 0;
    }
    VbDrop(b, len);
    if (!kMpeg4) {
        *last = int(VbGet1(b));
        *run = int(VbGet(b, 6));
        int l = int(int8_t(uint8_t(VbGet(b, 8))));
        if (l == 0 || l == -128) return -1;
        *level = l;
        return 0;
    }
    const uint8_t* lmax = kIntraTable ? kLmaxIntra.v : kLmaxInter.v;
    const uint8_t* rmax = kIntraTable ? kRmaxIntra.v : kRmaxInter.v;
    if (!VbGet1(b)) {  // type 1: level offset
        e = tab[VbShow(b, 12)];
        if (!e || (e & 63) == TCOEF_ESCAPE) return -1;
        VbSkip(b, int(e >> 16));
        int ls = int((e >> 6) & 1), rr = int(e & 63);
        int l = int((e >> 7) & 0x1FF) + lmax[ls * 64 + rr];
        *run = rr;
        *last = ls;
        *level = VbGet1(b) ? -l : l;
        return 0;
    }
    if (!VbGet1(b)) {  // type 2: run offset
        e = tab[VbShow(b, 12)];
        if (!e || (e & 63) == TCOEF_ESCAPE) return -1;
        VbSkip(b, int(e >> 16));
        int ls = int((e >> 6) & 1), l = int((e >> 7) & 0x1FF);
        *run = int(e & 63) + rmax[ls * 64 + l] + 1;
        *last = ls;
        *level = VbGet1(b) ? -l : l;
        return 0;
    }
    // type 3: fixed length
    *last = int(VbGet1(b));
    *run = int(VbGet(b, 6));
    VbSkip(b, 1);
    int l = int(VbGet(b, 12));
    if (l & 0x800) l -= 0x1000;
    VbSkip(b, 1);
    if (l == 0) return -1;
    *level = l;
    return 0;
}

// The reader's cache and count held in locals by the block loops, which the
// compiler keeps in registers; the reader itself is brought up to date only
// to refill and for the rare events.
struct VbLocal {
    VbWord cache;
    int bits;
};
static inline VbLocal VbTake(const VBits* b) { return VbLocal{b->cache, b->bits}; }
static inline void VbPut(VBits* b, VbLocal l) {
    b->cache = l.cache;
    b->bits = l.bits;
}

// One event as run, magnitude, sign mask (0 or -1) and last flag (nonzero
// when last): the short codes straight from the table with their sign,
// escapes and invalid codes through ReadEvent from the same place. -1 on an
// invalid code.
template <bool kIntraTable, bool kMpeg4, bool kRvlc>
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
static inline int NextEvent(VBits* b, VbLocal* l, int* run, int* a, int* neg, int* last) {
    uint32_t e = 0;
    if (!kRvlc) {
        if (l->bits < 25) {
            VbPut(b, *l);
            VbRefill(b);
            *l = VbTake(b);
        }
        e = (kIntraTable ? kTcoefIntra.v : kTcoefInter.v)[l->cache >> (kVbWordBits - 12)];
    }
    if (e && (e & 63) != TCOEF_ESCAPE) {
        int len = int(e >> 16) + 1;  // with the sign
        *neg = -int((l->cache >> (kVbWordBits - len)) & 1);
        l->cache <<= len;
        l->bits -= len;
        *run = int(e & 63);
        *last = int(e & 64);
        *a = int((e >> 7) & 0x1FF);
        return 0;
    }
    int level;
    VbPut(b, *l);
    int bad = kRvlc ? M4vReadRvlcEvent(b, kIntraTable, run, &level, last) < 0
                    : ReadEvent<kIntraTable, kMpeg4>(b, run, &level, last) < 0;
    *l = VbTake(b);
    if (bad) return -1;
    *neg = level < 0 ? -1 : 0;
    *a = (level ^ *neg) - *neg;
    return 0;
}

// Inter block: dequantised as decoded.
// The block loops read through a local copy of the bit reader, which the
// compiler keeps in registers, and store it back whatever the outcome.
template <bool kMpeg4, bool kMpegQuant, bool kRvlc>
static inline int InterBlocks(Mp4vDecoder* d, VBits* b, int qp, int cbp) {
    const uint8_t* scan = d->hdr->altVertScan ? kScanAltVert : kScanZigzag;
    const uint8_t* w = d->hdr->interMatrix;
    int add = (qp - 1) | 1;
    VbLocal l = VbTake(b);
    for (int k = 0; k < 6; ++k) {
        if (!(cbp & (32 >> k))) continue;
        int16_t* blk = d->blocks + 64 * k;
        ClearBlock(blk);
        uint32_t sum = 0;
        int idx = -1, last;
        do {
            int run, a, neg;
            if (NextEvent<false, kMpeg4, kRvlc>(b, &l, &run, &a, &neg, &last) < 0) return -1;
            idx += run + 1;
            if (idx >= 64) {
                VbPut(b, l);
                return -1;
            }
            int pos = scan[idx];
            int f = kMpegQuant ? ((2 * a + 1) * w[pos] * qp) >> 4 : 2 * qp * a + add;
            // At most 2047 up, 2048 down.
            int cap = 2047 - neg;
            if (f > cap) f = cap;
            blk[pos] = int16_t((f ^ neg) - neg);
            sum |= kCoefClass.v[pos];
        } while (!last);
        d->summary[k] = sum;
    }
    VbPut(b, l);
    return 0;
}

template <bool kMpeg4, bool kMpegQuant, bool kRvlc = false>
static int InterBlock(Mp4vDecoder* d, int qp, int cbp) {
    VBits b = d->bs;
    int rc = InterBlocks<kMpeg4, kMpegQuant, kRvlc>(d, &b, qp, cbp);
    d->bs = b;
    return rc;
}

int M4vInterBlockH263Quant(Mp4vDecoder* d, int qp, int cbp) {
    return InterBlock<true, false>(d, qp, cbp);
}
int M4vInterBlockMpegQuant(Mp4vDecoder* d, int qp, int cbp) {
    return InterBlock<true, true>(d, qp, cbp);
}
int M4vInterBlockShortHdr(Mp4vDecoder* d, int qp, int cbp) {
    return InterBlock<false, false>(d, qp, cbp);
}

// dct_dc_size and the differential (with its marker after sizes above 8).
int M4vReadDcDifferential(VBits* b, int luma, int* out) {
    int size = VlcRead(b, luma ? kDcSizeLum : kDcSizeChr, 12);
    if (size < 0) return -1;
    int v = 0;
    if (size) {
        v = int(VbGet(b, size));
        if (!(v >> (size - 1))) v -= (1 << size) - 1;
        if (size > 8) VbSkip(b, 1);
    }
    *out = v;
    return 0;
}

static const AcPredEntry kAcDefault = {1024, {0, 0, 0, 0, 0, 0, 0}};

void M4vAcPredStore(Mp4vDecoder* d, int intra) {
    AcPredEntry* top = d->acTop + d->mbx * 4;
    d->acDiag[0] = top[1].dc;
    d->acDiag[1] = top[2].dc;
    d->acDiag[2] = top[3].dc;
    if (intra) {
        top[0] = d->acCur[2][0];
        top[1] = d->acCur[3][0];
        top[2] = d->acCur[4][0];
        top[3] = d->acCur[5][0];
        d->acLeft[0] = d->acCur[1][1];
        d->acLeft[1] = d->acCur[3][1];
        d->acLeft[2] = d->acCur[4][1];
        d->acLeft[3] = d->acCur[5][1];
    } else {
        for (int i = 0; i < 4; ++i) top[i] = d->acLeft[i] = kAcDefault;
    }
}

static inline int RescaleAc(int v, int qpn, int qp) {
    if (qpn == qp || v == 0) return v;
    int a = v < 0 ? -v : v;
    a = int((uint32_t(a * qpn + qp / 2) * kR16[qp]) >> 16);
    return v < 0 ? -a : a;
}

template <bool kMpegQuant, bool kRvlc>
static inline int IntraBlocks(Mp4vDecoder* d, VBits* b, int qp, int cbp) {
    const uint8_t* w = d->hdr->intraMatrix;
    int add = (qp - 1) | 1;
    int avail = d->availMask;
    int i = d->mbIndex;
    int qpLeft = (avail & 1) ? d->quantCur[i - 1] : qp;
    int qpAbove = (avail & 2) ? d->quantCur[i - d->mbw] : qp;
    const AcPredEntry* top = d->acTop + d->mbx * 4;
    for (int k = 0; k < 6; ++k) {
        int lum = k < 4;
        const AcPredEntry *A, *C;
        int B, qa = qp, qc = qp;
        switch (k) {
            case 0:
                A = (avail & 1) ? &d->acLeft[0] : &kAcDefault;
                C = (avail & 2) ? &top[0] : &kAcDefault;
                B = (avail & 8) ? d->acDiag[0] : 1024;
                qa = qpLeft;
                qc = qpAbove;
                break;
            case 1:
                A = &d->acCur[0][1];
                C = (avail & 2) ? &top[1] : &kAcDefault;
                B = (avail & 2) ? top[0].dc : 1024;
                qc = qpAbove;
                break;
            case 2:
                A = (avail & 1) ? &d->acLeft[1] : &kAcDefault;
                C = &d->acCur[0][0];
                B = (avail & 1) ? d->acLeft[0].dc : 1024;
                qa = qpLeft;
                break;
            case 3:
                A = &d->acCur[2][1];
                C = &d->acCur[1][0];
                B = d->acCur[0][0].dc;
                break;
            default:
                A = (avail & 1) ? &d->acLeft[k - 2] : &kAcDefault;
                C = (avail & 2) ? &top[k - 2] : &kAcDefault;
                B = (avail & 8) ? d->acDiag[k - 3] : 1024;
                qa = qpLeft;
                qc = qpAbove;
                break;
        }
        int da = A->dc - B, dc = B - C->dc;
        if (da < 0) da = -da;
        if (dc < 0) dc = -dc;
        int fromLeft = da >= dc;
        int scaler = DcScaler(qp, lum);
        int p = fromLeft ? A->dc : C->dc;
        int pred = int((int64_t(p + scaler / 2) * kR18[scaler]) >> 18);

        int16_t* blk = d->blocks + 64 * k;
        ClearBlock(blk);
        const uint8_t* scan = d->hdr->altVertScan ? kScanAltVert
                              : d->acPredFlag     ? (fromLeft ? kScanAltVert : kScanAltHoriz)
                                                  : kScanZigzag;
        int idx = -1;
        int dcq = 0;
        uint32_t sum = 0;
        if (d->useDcVlc) {
            if (d->dcPreset) {
                dcq = d->dcDiff[k];
            } else if (M4vReadDcDifferential(b, lum, &dcq) < 0) {
                return -1;
            }
            idx = 0;
        }
        if (cbp & (32 >> k)) {
            int last;
            VbLocal l = VbTake(b);
            do {
                int run, a, neg;
                if (NextEvent<true, true, kRvlc>(b, &l, &run, &a, &neg, &last) < 0) return -1;
                idx += run + 1;
                if (idx >= 64) {
                    VbPut(b, l);
                    return -1;
                }
                int pos = scan[idx];
                if (pos == 0) {
                    dcq = (a ^ neg) - neg;
                } else if (pos < 8 || (pos & 7) == 0) {
                    blk[pos] = int16_t((a ^ neg) - neg);  // dequantised after AC prediction
                } else {
                    int f = kMpegQuant ? (2 * a * w[pos] * qp) >> 4 : 2 * qp * a + add;
                    int cap = 2047 - neg;  // at most 2047 up, 2048 down
                    if (f > cap) f = cap;
                    blk[pos] = int16_t((f ^ neg) - neg);
                    sum |= kCoefClass.v[pos];
                }
            } while (!last);
            VbPut(b, l);
        }
        int dcv = Clamp2048((dcq + pred) * scaler);
        if (d->acPredFlag) {
            if (fromLeft)
                for (int j = 1; j < 8; ++j)
                    blk[8 * j] = int16_t(blk[8 * j] + RescaleAc(A->ac[j - 1], qa, qp));
            else
                for (int j = 1; j < 8; ++j)
                    blk[j] = int16_t(blk[j] + RescaleAc(C->ac[j - 1], qc, qp));
        }
        AcPredEntry* row = &d->acCur[k][0];
        AcPredEntry* col = &d->acCur[k][1];
        row->dc = col->dc = int16_t(dcv);
        for (int j = 1; j < 8; ++j) {
            row->ac[j - 1] = blk[j];
            col->ac[j - 1] = blk[8 * j];
        }
        for (int j = 1; j < 8; ++j) {
            int pr = j, pc = 8 * j;
            int positions[2] = {pr, pc};
            for (int t = 0; t < 2; ++t) {
                int pos = positions[t];
                int level = blk[pos];
                if (!level) continue;
                int a = level < 0 ? -level : level, f;
                if (kMpegQuant)
                    f = (2 * a * w[pos] * qp) >> 4;
                else
                    f = 2 * qp * a + add;
                blk[pos] = int16_t(Clamp2048(level < 0 ? -f : f));
                sum |= kCoefClass.v[pos];
            }
        }
        blk[0] = int16_t(dcv);
        d->summary[k] = sum;
    }
    M4vAcPredStore(d, 1);
    return 0;
}

template <bool kMpegQuant, bool kRvlc = false>
static int IntraBlock(Mp4vDecoder* d, int qp, int cbp) {
    VBits b = d->bs;
    int rc = IntraBlocks<kMpegQuant, kRvlc>(d, &b, qp, cbp);
    d->bs = b;
    return rc;
}

int M4vIntraBlockH263Quant(Mp4vDecoder* d, int qp, int cbp) {
    return IntraBlock<false>(d, qp, cbp);
}
int M4vIntraBlockMpegQuant(Mp4vDecoder* d, int qp, int cbp) { return IntraBlock<true>(d, qp, cbp); }

int M4vIntraBlockRvlc(Mp4vDecoder* d, int qp, int cbp) {
    return d->hdr->quantType ? IntraBlock<true, true>(d, qp, cbp)
                             : IntraBlock<false, true>(d, qp, cbp);
}
int M4vInterBlockRvlc(Mp4vDecoder* d, int qp, int cbp) {
    return d->hdr->quantType ? InterBlock<true, true, true>(d, qp, cbp)
                             : InterBlock<true, false, true>(d, qp, cbp);
}

int M4vIntraBlockShortHdr(Mp4vDecoder* d, int qp, int cbp) {
    VBits* b = &d->bs;
    int add = (qp - 1) | 1;
    for (int k = 0; k < 6; ++k) {
        int16_t* blk = d->blocks + 64 * k;
        ClearBlock(blk);
        int dc = int(VbGet(b, 8));
        if (dc == 0 || dc == 128) return -1;
        blk[0] = int16_t(dc == 255 ? 1024 : dc * 8);
        uint32_t sum = 0;
        if (cbp & (32 >> k)) {
            int idx = 0, last = 0;
            do {
                int run, level;
                if (ReadEvent<false, false>(b, &run, &level, &last) < 0) return -1;
                idx += run + 1;
                if (idx >= 64) return -1;
                int pos = kScanZigzag[idx];
                int a = level < 0 ? -level : level;
                int f = 2 * qp * a + add;
                blk[pos] = int16_t(Clamp2048(level < 0 ? -f : f));
                sum |= kCoefClass.v[pos];
            } while (!last);
        }
        d->summary[k] = sum;
    }
    return 0;
}
