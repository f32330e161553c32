// Parametric stereo in the SBR frame step: the PS state lives in the bytes
// the SBR decoder reserves for it.
#include "sbr_ps_seam.h"

#include "ps.h"

static_assert(sizeof(PsState) <= kSbrPsStateBytes, "PS state does not fit its reserve");
static_assert((int)kSbrNoHighBand == (int)kPsMutedExp, "silent high band marks differ");

void PsReset(void* psState) { PsDecoderInit(static_cast<PsState*>(psState)); }

int PsReadData(void* psState, const uint8_t* data, int bitPos, int bits) {
  PsState* ps = static_cast<PsState*>(psState);
  SbrBitReader br;
  SbrBitReaderInit(&br, data, bitPos + bits);
  br.pos = bitPos;
  PsParseData(&ps->bs, &br, bits);
  return ps->bs.dataValid;
}

namespace {

void Shift(SbrQmfMatrix* m, int l, int k0, int k1, int shift) {
  for (int k = k0; k < k1; k++) {
    m->re[l][k] = SbrShiftSat(m->re[l][k], shift);
    m->im[l][k] = SbrShiftSat(m->im[l][k], shift);
  }
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
  // Back from the PS exponent to the frame's own, one bit lower for the
  // gain of the mixing (up to 2): the low band and each slot's high band.
  // Keeping the low band near its exponent keeps the next frame's analysis,
  // which joins the overlap slots under one low-band exponent, at full
  // precision.
  const int lowOut = lowExp - 1;
  for (int l = 0; l < f->slotCount; l++) {
    Shift(f->left, l, 0, f->kx, e - lowOut);
    Shift(f->right, l, 0, f->kx, e - lowOut);
    if (f->highExp[l] > kSbrNoHighBand) {
      const int highOut = f->highExp[l] - 1;
      Shift(f->left, l, f->kx, limit, e - highOut);
      Shift(f->right, l, f->kx, limit, e - highOut);
      f->highExp[l] = highOut;
    } else {
      f->highExp[l] = e;  // the decorrelator's tail
    }
  }
  for (int l = f->firstSlot + f->slotCount - kSbrOverlapSlots; l < kSbrMatrixSlots; l++)
    Shift(f->left, l, 0, f->kx, 1);
  *f->lowExp = lowOut;
  return 1;
}
