// Reads a clip back: its tracks and the records of its data track.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace mkclip {

struct DumpTrack {
    uint32_t id = 0;
    std::string handler, handler_name, media_header, entry;
    uint32_t timescale = 0, duration = 0;
    uint8_t oti = 0;
    bool data_track = false;  // sdsm handler named XBLB..., nmhd, object type 211
    std::vector<uint32_t> times, sizes, offsets;  // per sample
    std::vector<uint32_t> sync;                   // stss entries (1-based)
    bool has_stss = false;
};

bool ReadClip(const std::vector<uint8_t>& file, std::vector<DumpTrack>* tracks, std::string* err);

// Prints the track list and every data-track sample, decoded.
int DumpClip(const std::string& path, FILE* out);

// One record as text: "GPS ..." or "G ...".
std::string DescribeRecord(const uint8_t* p, size_t n);

}  // namespace mkclip
