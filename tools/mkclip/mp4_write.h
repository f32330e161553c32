// MP4 writer: version-0 boxes with 32-bit sizes, one sample description per
// track, chunks interleaved by time, "moov" before or after "mdat".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mkclip {

enum class TrackKind { Video, Audio, Data };

struct Sample {
    std::vector<uint8_t> data;
    uint32_t duration = 0;  // media timescale units
    bool sync = true;
    uint32_t cts_offset = 0;  // composition minus decode time (B-VOPs)
};

struct Track {
    TrackKind kind = TrackKind::Video;
    std::string entry;  // sample entry type: "mp4v", "s263", "mp4a", "sowt", "mp4s", ...
    uint32_t timescale = 1000;
    std::vector<Sample> samples;
    uint16_t width = 0, height = 0;           // video
    uint16_t channels = 0, sample_bits = 16;  // audio
    uint32_t sample_rate = 0;                 // audio
    // esds: written when oti is not 0.
    uint8_t oti = 0;
    uint8_t stream_type = 0;   // 6-bit streamType
    std::vector<uint8_t> dsi;  // DecoderSpecificInfo payload
    bool write_stss = false;   // stss is left out when false
    std::string handler;       // "vide", "soun", "sdsm"
    std::string handler_name;
    std::string media_header;      // "vmhd", "smhd", "nmhd", "hmhd"
    bool constant_size = true;     // stsz sample_size when all sizes match
    uint32_t edit_media_time = 0;  // media time shown first; an edit list when not 0
};

struct WriteOptions {
    bool moov_first = false;
    uint32_t chunk_ms = 1000;        // a chunk holds about this much media time
    bool long_desc_lengths = false;  // descriptor lengths in the 4-byte form
    uint32_t creation_time = 0;      // seconds since 1904-01-01
    std::string major_brand = "mp42";
};

// Media duration of a track in its timescale.
uint64_t TrackDuration(const Track& t);

// Builds the whole file in memory.
std::vector<uint8_t> WriteMp4(const std::vector<Track>& tracks, const WriteOptions& opt);

}  // namespace mkclip
