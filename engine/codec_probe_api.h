// The codec configuration helpers the MP4 reader and the source call.
#pragma once

#include <cstdint>

#include "engine/media_info.h"

// Reads width and height (and, for MPEG-1/2, bitrate and frame rate) from a
// video track's configuration bytes; 1 when a parser recognised the header.
int VideoConfig_Probe(const uint8_t* config, uint32_t length, VideoTrackInfo* info);
// The four characters of a FourCC with a-z made upper case.
uint32_t FourCC_ToUpper(uint32_t fourcc);
