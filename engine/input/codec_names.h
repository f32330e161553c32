// Codec tags and their display names: video FourCCs (four characters in
// memory order, first character in the lowest byte) and numeric wave-format
// tags of audio codecs.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <cstddef>
#include <cstdint>

constexpr uint32_t FourCC_Make(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}

// The four characters with a-z made upper case.
uint32_t FourCC_ToUpper(uint32_t value);

// Container codec ids to FourCCs: 1 H263, 2 MP4V, 3 AVC1, 4 JPEG; any other
// value is returned unchanged.
uint32_t FourCC_FromCodecId(uint32_t id);

// Display name of a video FourCC (case-insensitive; 0 is uncompressed RGB),
// or null when the FourCC is not known.
const char* FourCC_GetDescription(uint32_t value);

// Display name of a wave-format tag, or null when the tag is not known.
const char* WaveFormat_GetName(uint32_t tag);

struct FourCCName {
    const char* key;  // up to four characters, NUL-terminated
    const char* description;
};

struct WaveFormatName {
    uint32_t tag;
    const char* name;
};

// The tables themselves, in lookup order.
extern const FourCCName kFourCCNames[];
extern const size_t kFourCCNameCount;
extern const WaveFormatName kWaveFormatNames[];
extern const size_t kWaveFormatNameCount;
