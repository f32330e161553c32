// Stand-ins for the codec probes until they are merged: the probe leaves the
// sample entry's values, the FourCC upper-casing is complete. Weak, so the
// real definitions win wherever both are linked.
#include "engine/codec_probe_api.h"

__attribute__((weak)) int VideoConfig_Probe(const uint8_t*, uint32_t, VideoTrackInfo*) { return 0; }

__attribute__((weak)) uint32_t FourCC_ToUpper(uint32_t v) {
    uint32_t out = 0;
    for (int i = 0; i < 4; ++i) {
        uint32_t c = v >> (8 * i) & 0xFF;
        if (c >= 'a' && c <= 'z') c -= 32;
        out |= c << (8 * i);
    }
    return out;
}
