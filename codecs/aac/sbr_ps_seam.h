// Where parametric stereo meets the SBR frame step. The SBR decoder calls
// these for a mono core with the complex kernel set; sbr_ps_seam.cpp holds
// the default (no parametric stereo: the frame stays mono), which the
// parametric-stereo module replaces by its own definitions.
#pragma once
#include <cstdint>

#include "aac_bits.h"
#include "sbr_qmf.h"

// Bytes the SBR decoder reserves for the parametric-stereo state. Cleared
// at SBR set-up (all zero is the state before the first PS data).
enum { kSbrPsStateBytes = 20416 };

// One frame's QMF data handed to parametric stereo, just before synthesis.
// left: the mono channel's matrix (slots 0..kSbrOverlapSlots-1 are the
// previous frame's last slots, the frame's 32 slots follow); bands below kx
// are stored at *lowExp, bands kx..kx+m-1 of matrix slot l at highExp[l]
// (kSbrNoHighBand: silent), stored = true x 2^exponent. right: the second
// channel's matrix to fill (its overlap slots hold what PS left there in the
// previous frame). PS may rescale both and rewrite the exponents; the two
// channels are then synthesised with the same exponents.
struct SbrPsFrame {
    SbrQmfMatrix* left;
    SbrQmfMatrix* right;
    int firstSlot;  // kSbrOverlapSlots
    int slotCount;  // kSbrFrameSlots
    int* lowExp;
    int* highExp;  // kSbrMatrixSlots entries
    int kx;        // first SBR band (the synthesis' low-band end)
    int m;         // SBR bands
};

// Set-up and reset of the parametric-stereo state.
void PsReset(void* psState);

// Reads one frame's parametric-stereo extension (bs_extension_id 2): `bits`
// bits from the reader's position (the bits after the 2-bit extension id).
// Returns 1 when the data are usable.
int PsReadData(void* psState, const AacBitReader* reader, int bits);

// Runs parametric stereo on one frame. Returns 1 when `right` was filled
// (the output becomes stereo), 0 when the frame stays mono.
int PsApplyQmf(void* psState, SbrPsFrame* frame);
