// Default parametric-stereo hooks: no parametric stereo, the frame stays
// mono. Replaced by the parametric-stereo module.
#include "sbr_ps_seam.h"

void PsReset(void*) {}

int PsReadData(void*, const uint8_t*, int, int) { return 0; }

int PsApplyQmf(void*, SbrPsFrame*) { return 0; }
