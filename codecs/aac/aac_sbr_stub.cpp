// Stand-in for the SBR stage until its module lands: SBR set-up fails, so the
// decoder delivers the core at its own rate. Delete this file when
// codecs/aac/sbr_*.cpp provide the functions of aac_sbr_hook.h.
#include "codecs/aac/aac_sbr_hook.h"

int32_t SbrDecoderInit(void*, int32_t, int32_t, int32_t, int32_t) { return 0; }

int32_t SbrFrameStep(void*, const AacSbrPayloadList*, int16_t*, int32_t*, int32_t, int32_t,
                     int32_t, int32_t, int32_t, int32_t, int32_t* lastPayloadBytes,
                     int32_t* bytesUsed)
{
    if (lastPayloadBytes)
        *lastPayloadBytes = 0;
    if (bytesUsed)
        *bytesUsed = 0;
    return 13;
}

int32_t SbrPsFound(const void*) { return 0; }

void SbrClearHistories(void*) {}
