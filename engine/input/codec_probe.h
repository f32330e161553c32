// Picture size (and for MPEG-1/2 bitrate and frame rate) from a video
// track's decoder configuration bytes, plus small MPEG-4 part 2 and H.264
// helpers. Every probe reads only the bytes it is given.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <cstdint>

struct BitReader;
struct VideoTrackInfo;

struct AvcSpsInfo {
    uint32_t profile_idc;
    uint32_t level_idc;
    uint32_t num_ref_frames;
    uint32_t width;
    uint32_t height;
};

struct Mp4vVolInfo {
    uint32_t vop_time_increment_resolution;
    uint32_t time_increment_bits;
    uint32_t quant_type;
    uint32_t data_partitioned;
    uint32_t reversible_vlc;
    uint32_t fixed_vop_time_increment;
    uint32_t width;
    uint32_t height;
    uint32_t video_object_type_indication;
    uint32_t resync_markers;    // 1 - resync_marker_disable
    uint32_t complexity_flags;  // estimation method bit 24, groups below
    uint32_t interlaced;
};

// By the track's codec FourCC: H264/AVC1 SPS, MPEG sequence header,
// MP4V/MP4S/XVID/DIVX/DIV4/DIV5/DX50 VOL. 1 when the header was recognised
// (width, height and, for MPEG, frame rate and bitrate written), else 0 with
// the record untouched.
int VideoConfig_Probe(const uint8_t* data, uint32_t length, VideoTrackInfo* track);

// The out-records are optional (null: not filled).
int AvcSps_Probe(const uint8_t* data, uint32_t length, VideoTrackInfo* track, AvcSpsInfo* info);
int Mpeg2Seq_Probe(const uint8_t* data, uint32_t length, VideoTrackInfo* track);
int Mp4vVol_Probe(const uint8_t* data, uint32_t length, VideoTrackInfo* track, Mp4vVolInfo* info);

// Size of the MPEG-4 VOS/VO/VOL header block that Mp4vWriteVolHeader needs
// at most.
enum { MP4V_VOL_HEADER_MAX = 200 };
// Writes VOS, VO and VOL headers for a simple-profile stream into buffer
// (at least MP4V_VOL_HEADER_MAX bytes); 1, with *out_length the bytes written.
int Mp4vWriteVolHeader(uint8_t* buffer, uint32_t* out_length, uint32_t width, uint32_t height,
                       uint32_t vop_time_increment_resolution, uint32_t quant_type);

// vop_coded of the first VOP in data, or 1 when no VOP start code lies in
// the first 1024 bits.
int Mp4vVop_IsCoded(const uint8_t* data, uint32_t length, uint32_t time_increment_bits);

// In place: every 4-byte big-endian length prefix becomes 00 00 00 01; stops
// at a unit that would run past the end.
void Nal_LengthsToStartCodes(uint8_t* data, uint32_t length);

// Unsigned Exp-Golomb code.
uint32_t Golomb_ReadUe(BitReader* reader);

// Number of bits that hold value: 1 for 0 and 1, 0 for a negative value.
uint32_t Bits_Needed(int32_t value);
