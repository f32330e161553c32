// Stand-in for the video configuration probe until its parsers are merged:
// it leaves the sample entry's values. Weak, so the real one wins wherever
// both are linked. Delete this file when codec_probe.cpp exists.
#include "engine/codec_probe.h"

__attribute__((weak)) int VideoConfig_Probe(const uint8_t*, uint32_t, VideoTrackInfo*) { return 0; }
