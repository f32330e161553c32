// Splitting elementary streams into MP4 samples.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mp4_write.h"

namespace mkclip {

// Frame rate as a fraction; durations use timescale num * 1000.
struct Rate {
    uint32_t num = 30, den = 1;
};

// Each returns false with a message in *err when the input is unusable.
// MPEG-4 part 2 elementary stream: the headers before the first GOV/VOP become
// the decoder configuration, each VOP (with any GOV/headers before it) a sample.
bool LoadM4v(const std::vector<uint8_t>& es, Rate fps, Track* t, std::string* err);
// H.263 baseline or H.263+ pictures, one sample per picture start code.
bool LoadH263(const std::vector<uint8_t>& es, Rate fps, Track* t, std::string* err);
// Raw 8-bit 4:2:0 planar pictures, Y then U then V.
bool LoadI420(const std::vector<uint8_t>& raw, int width, int height, Rate fps,
              const std::string& fourcc, Track* t, std::string* err);
// ADTS in, raw access units out; AudioSpecificConfig from the first header
// unless asc is given.
bool LoadAdts(const std::vector<uint8_t>& adts, const std::vector<uint8_t>& asc, Track* t,
              std::string* err);
// Interleaved signed 16-bit little-endian PCM.
bool LoadPcm(const std::vector<uint8_t>& raw, uint32_t rate, uint16_t channels,
             uint32_t frames_per_sample, Track* t, std::string* err);

}  // namespace mkclip
