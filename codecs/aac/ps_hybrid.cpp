// Parametric stereo hybrid filterbank: QMF band 0 is split by an 8-band
// complex filter (six outputs kept), bands 1 and 2 by a 2-band real filter.
// The filters have 13 taps, so every output is 6 slots late.
#include <cstring>

#include "ps.h"

namespace {

// Product with a Q15 coefficient: shifted down by 15, lowest bit cleared.
int32_t MulQ15(int32_t x, int32_t c) { return AacSat32(((int64_t)x * c >> 15) & ~(int64_t)1); }

// The 2-band filter over 13 samples (w[12] newest): low and high halves.
void PsHybridFilter2(const int32_t* w, int32_t* low, int32_t* high) {
    const int32_t c = (int32_t)((int64_t)w[6] * 0x40000000 >> 31);
    int32_t s = 0;
    for (int i = 0; i < 6; i++) s = AacSat32((int64_t)s + MulQ15(w[1 + 2 * i], kPsHybrid2[i]));
    *low = AacSat32((int64_t)c + s);
    *high = AacSat32((int64_t)c - s);
}

// The 8-band complex filter: band q is centred on (q + 1/2) pi / 4. Band
// 7 - q's taps are the conjugates of band q's: each product serves both,
// truncated once as it is and once negated.
void PsHybridFilter8(const int32_t* wr, const int32_t* wi, int32_t* outRe, int32_t* outIm) {
    auto trunc = [](int64_t p) { return AacSat32((p >> 15) & ~(int64_t)1); };
    for (int q = 0; q < 4; q++) {
        const int16_t* c = &kPsHybrid8[q * 26];
        int32_t re = 0, im = 0, reM = 0, imM = 0;  // band q and band 7 - q
        for (int j = 0; j < 13; j++) {
            const int64_t cr = c[2 * j], ci = c[2 * j + 1];
            const int64_t rr = wr[j] * cr, ii = wi[j] * ci, ri = wr[j] * ci, ir = wi[j] * cr;
            const int32_t trr = trunc(rr), tir = trunc(ir);
            re = AacSat32((int64_t)re + trr - trunc(ii));
            im = AacSat32((int64_t)im + trunc(ri) + tir);
            reM = AacSat32((int64_t)reM + trr - trunc(-ii));
            imM = AacSat32((int64_t)imM + trunc(-ri) + tir);
        }
        outRe[q] = re;
        outIm[q] = im;
        outRe[7 - q] = reM;
        outIm[7 - q] = imM;
    }
}

}  // namespace

void PsHybridInit(PsHybrid* h) { memset(h, 0, sizeof(*h)); }

void PsHybridAnalysis(const int32_t* qmfRe, const int32_t* qmfIm, int32_t* outRe, int32_t* outIm,
                      PsHybrid* h, int shift) {
    if (h->pos >= kPsSlots) PsHybridEndFrame(h);  // history full
    for (int b = 0; b < 3; b++) {
        h->re[b][12 + h->pos] = AacShiftSat(qmfRe[b], -shift);
        h->im[b][12 + h->pos] = AacShiftSat(qmfIm[b], -shift);
    }
    int32_t r8[8], i8[8];
    PsHybridFilter8(&h->re[0][h->pos], &h->im[0][h->pos], r8, i8);
    // Rising frequency: the negative half (-3/8, -1/8 of a QMF band), the
    // positive half, and the two pairs that fold onto each other.
    outRe[0] = r8[6];
    outIm[0] = i8[6];
    outRe[1] = r8[7];
    outIm[1] = i8[7];
    outRe[2] = r8[0];
    outIm[2] = i8[0];
    outRe[3] = r8[1];
    outIm[3] = i8[1];
    outRe[4] = AacSat32((int64_t)r8[2] + r8[5]);
    outIm[4] = AacSat32((int64_t)i8[2] + i8[5]);
    outRe[5] = AacSat32((int64_t)r8[3] + r8[4]);
    outIm[5] = AacSat32((int64_t)i8[3] + i8[4]);
    // An odd QMF band is spectrally mirrored: its high-pass half holds the
    // lower frequencies.
    int32_t lo, hi;
    PsHybridFilter2(&h->re[1][h->pos], &lo, &hi);
    outRe[6] = hi;
    outRe[7] = lo;
    PsHybridFilter2(&h->im[1][h->pos], &lo, &hi);
    outIm[6] = hi;
    outIm[7] = lo;
    PsHybridFilter2(&h->re[2][h->pos], &outRe[8], &outRe[9]);
    PsHybridFilter2(&h->im[2][h->pos], &outIm[8], &outIm[9]);
    h->pos++;
}

void PsHybridSynthesis(const int32_t* inRe, const int32_t* inIm, int32_t* qmfRe, int32_t* qmfIm) {
    int64_t r = 0, i = 0;
    for (int k = 0; k < 6; k++) {
        r = AacSat32(r + inRe[k]);
        i = AacSat32(i + inIm[k]);
    }
    qmfRe[0] = (int32_t)r;
    qmfIm[0] = (int32_t)i;
    qmfRe[1] = AacSat32((int64_t)inRe[6] + inRe[7]);
    qmfIm[1] = AacSat32((int64_t)inIm[6] + inIm[7]);
    qmfRe[2] = AacSat32((int64_t)inRe[8] + inRe[9]);
    qmfIm[2] = AacSat32((int64_t)inIm[8] + inIm[9]);
}

void PsHybridEndFrame(PsHybrid* h) {
    for (int b = 0; b < 3; b++) {
        memmove(&h->re[b][0], &h->re[b][h->pos], 12 * sizeof(int32_t));
        memmove(&h->im[b][0], &h->im[b][h->pos], 12 * sizeof(int32_t));
    }
    h->pos = 0;
}
