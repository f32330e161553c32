// Parametric stereo in the SBR frame step: the PS state lives in the bytes
// the SBR decoder reserves for it.
#include "sbr_ps_seam.h"

#include <algorithm>

#include "ps.h"

static_assert(sizeof(PsState) <= kSbrPsStateBytes, "PS state does not fit its reserve");
static_assert((int)kSbrNoHighBand == (int)kPsMutedExp, "silent high band marks differ");

void PsReset(void* psState) { PsDecoderInit(static_cast<PsState*>(psState)); }

int PsReadData(void* psState, const AacBitReader* reader, int bits) {
    PsState* ps = static_cast<PsState*>(psState);
    AacBitReader br = *reader;
    PsParseData(&ps->bs, &br, bits);
    return ps->bs.dataValid;
}

namespace {

void Shift(SbrQmfMatrix* m, int l, int k0, int k1, int shift) {
    for (int k = k0; k < k1; k++) {
        m->re[l][k] = AacShiftSat(m->re[l][k], -shift);
        m->im[l][k] = AacShiftSat(m->im[l][k], -shift);
    }
}

// Redundant sign bits of bands k0..k1-1 of slots l0..l1-1 in both
// channels' matrices (31 when all are zero).
int Headroom(const SbrQmfMatrix* a, const SbrQmfMatrix* b, int l0, int l1, int k0, int k1) {
    return std::min(SbrHeadroomComplex(a, k0, k1, l0, l1), SbrHeadroomComplex(b, k0, k1, l0, l1));
}

}  // namespace

int PsApplyQmf(void* psState, SbrPsFrame* f) {
    PsState* ps = static_cast<PsState*>(psState);
    // Before the first PS header the parameters are neutral: both channels
    // carry the mono signal, so the channel count does not change midway.
    if (ps->bs.headerSeen) PsDecodeParameters(&ps->bs, &ps->params);
    ps->bs.dataValid = 0;  // a frame without PS data holds these parameters
    const int lowExp = *f->lowExp;
    const int limit = f->kx + f->m > 64 ? 64 : f->kx + f->m;
    const int e = PsApplyFrame(ps, f->left->re, f->left->im, f->right->re, f->right->im, lowExp,
                               f->highExp, f->kx, limit);
    // Back from the PS exponent: the low band to its own exponent, one bit
    // lower for the gain of the mixing (up to 2), unless the output needs
    // more room. Keeping the low band near its exponent keeps the next
    // frame's analysis, which joins the overlap slots under one low-band
    // exponent, at full precision. Each slot's high band takes the exponent
    // its output fills: the decorrelated signal may be far louder or quieter
    // than the slot's own input (a loud slot 14 slots back, an all-pass tail
    // into a silent slot), and the slot's input exponent would saturate it or
    // leave it a few bits, or only the sign bits of a right shift, at a
    // large scale.
    const int lowOut =
        std::min(lowExp - 1, e + Headroom(f->left, f->right, 0, f->slotCount, 0, f->kx));
    for (int l = 0; l < f->slotCount; l++) {
        Shift(f->left, l, 0, f->kx, e - lowOut);
        Shift(f->right, l, 0, f->kx, e - lowOut);
        const int highOut = e + Headroom(f->left, f->right, l, l + 1, f->kx, limit);
        Shift(f->left, l, f->kx, limit, e - highOut);
        Shift(f->right, l, f->kx, limit, e - highOut);
        f->highExp[l] = highOut;
    }
    for (int l = f->firstSlot + f->slotCount - kSbrOverlapSlots; l < kSbrMatrixSlots; l++)
        Shift(f->left, l, 0, f->kx, lowExp - lowOut);
    *f->lowExp = lowOut;
    return 1;
}
