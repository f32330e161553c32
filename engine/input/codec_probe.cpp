#include "engine/input/codec_probe.h"

#include <cstring>

#include "engine/input/bitio.h"
#include "engine/input/codec_names.h"
#include "engine/media_info.h"

namespace {

// A parameter set is never this long in a track's configuration bytes
// (they hold 128 bytes at most); longer input is cut, not overrun.
constexpr uint32_t kMaxNalBytes = 1024;

int64_t ReadSe(BitReader* br) {
    uint32_t k = Golomb_ReadUe(br);
    return (k & 1) ? int64_t(k >> 1) + 1 : -int64_t(k >> 1);
}

void SkipScalingList(BitReader* br, int size) {
    int64_t last = 8, next = 8;
    for (int j = 0; j < size && !br->overrun; ++j) {
        // A damaged list can code deltas far outside -128..127; wrap them in
        // 64 bits as a valid one would wrap.
        if (next != 0) next = ((last + ReadSe(br)) % 256 + 256) % 256;
        last = next == 0 ? last : next;
    }
}

bool HighProfile(uint32_t profile_idc) {
    switch (profile_idc) {
        case 100:
        case 110:
        case 122:
        case 244:
        case 44:
        case 83:
        case 86:
        case 118:
        case 128:
        case 138:
        case 139:
        case 134:
        case 135: return true;
        default: return false;
    }
}

// MPEG-1/2 frame rates by frame_rate_code, in thousandths.
const uint32_t kMpegFrameRates[9] = {0, 23975, 24000, 25000, 29970, 30000, 50000, 59940, 60000};

}  // namespace

uint32_t Golomb_ReadUe(BitReader* br) {
    uint32_t zeros = 0;
    while (!BitReader_GetBit(br)) {
        // Past the end every bit is 0: stop instead of counting forever.
        if (br->overrun || ++zeros > 31) return 0xFFFFFFFFu;
    }
    if (!zeros) return 0;
    return (1u << zeros) - 1 + BitReader_GetBits(br, zeros);
}

uint32_t Bits_Needed(int32_t value) {
    if (value < 0) return 0;
    uint32_t n = 1;
    while (n < 31 && (value >> n)) ++n;
    return n;
}

int AvcSps_Probe(const uint8_t* data, uint32_t length, VideoTrackInfo* track, AvcSpsInfo* info) {
    if (!data || length < 3) return 0;
    // Skip the 4-byte start code or the 2-byte length prefix.
    uint32_t skip =
        (length >= 4 && data[0] == 0 && data[1] == 0 && data[2] == 0 && data[3] == 1) ? 4 : 2;
    if (length <= skip) return 0;
    const uint8_t* nal = data + skip;
    uint32_t nal_len = length - skip;
    if (skip == 2) {
        uint32_t declared = uint32_t(data[0]) << 8 | data[1];
        if (declared && declared < nal_len) nal_len = declared;
    }
    if (nal_len > kMaxNalBytes) nal_len = kMaxNalBytes;
    if ((nal[0] & 0x1F) != 7) return 0;  // not a sequence parameter set

    // Drop the emulation prevention bytes (00 00 03).
    uint8_t rbsp[kMaxNalBytes];
    uint32_t n = 0, zeros = 0;
    for (uint32_t i = 1; i < nal_len; ++i) {
        if (zeros >= 2 && nal[i] == 3) {
            zeros = 0;
            continue;
        }
        zeros = nal[i] == 0 ? zeros + 1 : 0;
        rbsp[n++] = nal[i];
    }

    BitReader br;
    BitReader_Init(&br, rbsp, n);
    uint32_t profile_idc = BitReader_GetBits(&br, 8);
    BitReader_SkipBits(&br, 8);  // constraint flags
    uint32_t level_idc = BitReader_GetBits(&br, 8);
    Golomb_ReadUe(&br);  // seq_parameter_set_id
    uint32_t chroma_format_idc = 1, separate_colour_plane = 0;
    if (HighProfile(profile_idc)) {
        chroma_format_idc = Golomb_ReadUe(&br);
        if (chroma_format_idc == 3) separate_colour_plane = BitReader_GetBit(&br);
        Golomb_ReadUe(&br);           // bit_depth_luma_minus8
        Golomb_ReadUe(&br);           // bit_depth_chroma_minus8
        BitReader_SkipBits(&br, 1);   // qpprime_y_zero_transform_bypass_flag
        if (BitReader_GetBit(&br)) {  // seq_scaling_matrix_present_flag
            int lists = chroma_format_idc != 3 ? 8 : 12;
            for (int i = 0; i < lists && !br.overrun; ++i)
                if (BitReader_GetBit(&br)) SkipScalingList(&br, i < 6 ? 16 : 64);
        }
    }
    Golomb_ReadUe(&br);  // log2_max_frame_num_minus4
    uint32_t poc_type = Golomb_ReadUe(&br);
    if (poc_type == 0) {
        Golomb_ReadUe(&br);
    } else if (poc_type == 1) {
        BitReader_SkipBits(&br, 1);
        Golomb_ReadUe(&br);
        Golomb_ReadUe(&br);
        uint32_t cycle = Golomb_ReadUe(&br);
        for (uint32_t i = 0; i < cycle && !br.overrun; ++i) Golomb_ReadUe(&br);
    }
    uint32_t num_ref_frames = Golomb_ReadUe(&br);
    BitReader_SkipBits(&br, 1);  // gaps_in_frame_num_value_allowed_flag
    uint32_t width_mbs = Golomb_ReadUe(&br);
    uint32_t height_units = Golomb_ReadUe(&br);
    uint32_t frame_mbs_only = BitReader_GetBit(&br);
    if (!frame_mbs_only) BitReader_SkipBits(&br, 1);  // mb_adaptive_frame_field_flag
    BitReader_SkipBits(&br, 1);                       // direct_8x8_inference_flag
    uint32_t crop[4] = {0, 0, 0, 0};
    if (BitReader_GetBit(&br))
        for (uint32_t& c : crop) c = Golomb_ReadUe(&br);
    if (br.overrun || width_mbs > 4095 || height_units > 4095) return 0;

    uint32_t width = (width_mbs + 1) * 16;
    uint32_t height = (height_units + 1) * 16 * (2 - frame_mbs_only);
    uint32_t unit_x = 1, unit_y = 2 - frame_mbs_only;
    if (chroma_format_idc != 0 && !separate_colour_plane) {
        unit_x = chroma_format_idc == 3 ? 1 : 2;
        unit_y *= chroma_format_idc == 1 ? 2 : 1;
    }
    uint64_t crop_x = uint64_t(crop[0] + uint64_t(crop[1])) * unit_x;
    uint64_t crop_y = uint64_t(crop[2] + uint64_t(crop[3])) * unit_y;
    // A crop that would leave no picture is damage: keep the coded size.
    if (crop_x < width && crop_y < height) {
        width -= uint32_t(crop_x);
        height -= uint32_t(crop_y);
    }
    if (info) {
        info->profile_idc = profile_idc;
        info->level_idc = level_idc;
        info->num_ref_frames = num_ref_frames;
        info->width = width;
        info->height = height;
    }
    if (track) {
        track->width = width;
        track->height = height;
    }
    return 1;
}

int Mpeg2Seq_Probe(const uint8_t* data, uint32_t length, VideoTrackInfo* track) {
    if (!data) return 0;
    const uint8_t* p = data;
    uint32_t left = length;
    if (!StartCode_Find(&p, &left, 0x1B3)) return 0;
    BitReader br;
    BitReader_Init(&br, p, left);
    BitReader_SkipBits(&br, 32);
    uint32_t width = BitReader_GetBits(&br, 12);
    uint32_t height = BitReader_GetBits(&br, 12);
    BitReader_SkipBits(&br, 4);  // aspect_ratio_information
    uint32_t frame_rate_code = BitReader_GetBits(&br, 4);
    uint32_t bit_rate_value = BitReader_GetBits(&br, 18);
    if (br.overrun) return 0;

    uint32_t bit_rate_extension = 0, ext_n = 0, ext_d = 0;
    p += 4;
    left -= 4;
    while (StartCode_Find(&p, &left, 0x1B5)) {
        BitReader_Init(&br, p, left);
        BitReader_SkipBits(&br, 32);
        if (BitReader_GetBits(&br, 4) == 1) {            // sequence extension
            BitReader_SkipBits(&br, 8 + 1 + 2 + 2 + 2);  // profile/level ... size extensions
            uint32_t rate_ext = BitReader_GetBits(&br, 12);
            BitReader_SkipBits(&br, 1 + 8 + 1);  // marker, vbv_buffer_size_extension, low_delay
            uint32_t n = BitReader_GetBits(&br, 2);
            uint32_t d = BitReader_GetBits(&br, 5);
            if (!br.overrun) {
                bit_rate_extension = rate_ext;
                ext_n = n;
                ext_d = d;
            }
            break;
        }
        p += 4;
        left -= 4;
    }

    uint64_t bitrate = ((uint64_t(bit_rate_extension) << 18) | bit_rate_value) * 400;
    uint64_t rate = frame_rate_code < 9 ? kMpegFrameRates[frame_rate_code] : 0;
    rate = rate * (ext_n + 1) / (ext_d + 1);
    if (track) {
        track->width = width;
        track->height = height;
        track->bitrate = bitrate > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(bitrate);
        track->frameRate = uint32_t(rate);
    }
    return 1;
}

int Mp4vVol_Probe(const uint8_t* data, uint32_t length, VideoTrackInfo* track, Mp4vVolInfo* info) {
    if (!data) return 0;
    const uint8_t* p = data;
    uint32_t left = length;
    if (!StartCode_Find(&p, &left, 0x120)) return 0;
    BitReader br;
    BitReader_Init(&br, p + 4, left - 4);
    Mp4vVolInfo vol;
    std::memset(&vol, 0, sizeof(vol));

    BitReader_SkipBits(&br, 1);  // random_accessible_vol
    vol.video_object_type_indication = BitReader_GetBits(&br, 8);
    uint32_t verid = 1;
    if (BitReader_GetBit(&br)) {  // is_object_layer_identifier
        verid = BitReader_GetBits(&br, 4);
        BitReader_SkipBits(&br, 3);
    }
    if (BitReader_GetBits(&br, 4) == 15) BitReader_SkipBits(&br, 16);  // par_width, par_height
    if (BitReader_GetBit(&br)) {                                       // vol_control_parameters
        BitReader_SkipBits(&br, 2 + 1);                                // chroma_format, low_delay
        if (BitReader_GetBit(&br)) {                                   // vbv_parameters
            BitReader_SkipBits(&br, 79);
        }
    }
    if (BitReader_GetBits(&br, 2) != 0) return 0;  // only rectangular shape
    BitReader_SkipBits(&br, 1);
    vol.vop_time_increment_resolution = BitReader_GetBits(&br, 16);
    vol.time_increment_bits = Bits_Needed(int32_t(vol.vop_time_increment_resolution) - 1);
    BitReader_SkipBits(&br, 1);
    if (BitReader_GetBit(&br))  // fixed_vop_rate
        vol.fixed_vop_time_increment = BitReader_GetBits(&br, vol.time_increment_bits);
    BitReader_SkipBits(&br, 1);
    vol.width = BitReader_GetBits(&br, 13);
    BitReader_SkipBits(&br, 1);
    vol.height = BitReader_GetBits(&br, 13);
    BitReader_SkipBits(&br, 1);
    vol.interlaced = BitReader_GetBit(&br);
    BitReader_SkipBits(&br, 1);  // obmc_disable
    if (br.overrun) return 0;
    if (BitReader_GetBits(&br, verid == 1 ? 1 : 2) != 0) return 0;  // sprites
    if (BitReader_GetBit(&br))
        BitReader_SkipBits(&br, 4 + 4);  // not_8_bit: quant_precision, bits_per_pixel
    vol.quant_type = BitReader_GetBit(&br);
    if (vol.quant_type) return 0;
    if (verid != 1) BitReader_SkipBits(&br, 1);  // quarter_sample
    if (!BitReader_GetBit(&br)) {                // complexity_estimation_disable
        uint32_t method = BitReader_GetBits(&br, 2);
        vol.complexity_flags = method << 24;
        if (method <= 1) {
            if (!BitReader_GetBit(&br)) vol.complexity_flags |= BitReader_GetBits(&br, 6) << 16;
            if (!BitReader_GetBit(&br)) vol.complexity_flags |= BitReader_GetBits(&br, 4) << 12;
            BitReader_SkipBits(&br, 1);
            if (!BitReader_GetBit(&br)) vol.complexity_flags |= BitReader_GetBits(&br, 4) << 8;
            if (!BitReader_GetBit(&br)) vol.complexity_flags |= BitReader_GetBits(&br, 6) << 2;
            BitReader_SkipBits(&br, 1);
            if (method == 1 && !BitReader_GetBit(&br))
                vol.complexity_flags |= BitReader_GetBits(&br, 2);
        }
    }
    vol.resync_markers = 1 - BitReader_GetBit(&br);
    vol.data_partitioned = BitReader_GetBit(&br);
    if (vol.data_partitioned) vol.reversible_vlc = BitReader_GetBit(&br);
    if (verid != 1) {
        if (BitReader_GetBit(&br)) BitReader_SkipBits(&br, 2 + 1);  // newpred_enable
        BitReader_SkipBits(&br, 1);                                 // reduced_resolution_vop_enable
    }
    BitReader_SkipBits(&br, 1);  // scalability
    if (info) *info = vol;
    if (track) {
        track->width = vol.width;
        track->height = vol.height;
    }
    return 1;
}

int VideoConfig_Probe(const uint8_t* data, uint32_t length, VideoTrackInfo* track) {
    if (!track) return 0;
    uint32_t codec = FourCC_ToUpper(track->codec);
    if (codec == FourCC_Make('H', '2', '6', '4') || codec == FourCC_Make('A', 'V', 'C', '1'))
        return AvcSps_Probe(data, length, track, nullptr);
    if (codec == FourCC_Make('M', 'P', 'E', 'G')) return Mpeg2Seq_Probe(data, length, track);
    static const uint32_t kMp4v[] = {
        FourCC_Make('M', 'P', '4', 'V'), FourCC_Make('M', 'P', '4', 'S'),
        FourCC_Make('X', 'V', 'I', 'D'), FourCC_Make('D', 'I', 'V', 'X'),
        FourCC_Make('D', 'I', 'V', '4'), FourCC_Make('D', 'I', 'V', '5'),
        FourCC_Make('D', 'X', '5', '0'),
    };
    for (uint32_t c : kMp4v)
        if (codec == c) return Mp4vVol_Probe(data, length, track, nullptr);
    return 0;
}

int Mp4vWriteVolHeader(uint8_t* buffer, uint32_t* out_length, uint32_t width, uint32_t height,
                       uint32_t vop_time_increment_resolution, uint32_t quant_type) {
    if (!buffer) return 0;
    std::memset(buffer, 0, MP4V_VOL_HEADER_MAX);
    BitReader bw;
    BitWriter_Init(&bw, buffer, MP4V_VOL_HEADER_MAX);
    auto stuff = [&bw]() {
        uint32_t used = BitReader_Position(&bw) & 7;
        if (used) {
            BitWriter_PutBits(&bw, 1, 0);
            if (7 - used) BitWriter_PutBits(&bw, 7 - used, (1u << (7 - used)) - 1);
        }
    };
    BitWriter_PutBits(&bw, 32, 0x1B0);  // visual_object_sequence_start_code
    BitWriter_PutBits(&bw, 8, 1);       // profile_and_level_indication
    BitWriter_PutBits(&bw, 32, 0x1B5);  // visual_object_start_code
    BitWriter_PutBits(&bw, 1, 1);       // is_visual_object_identifier
    BitWriter_PutBits(&bw, 4, 1);       // visual_object_verid
    BitWriter_PutBits(&bw, 3, 1);       // visual_object_priority
    BitWriter_PutBits(&bw, 4, 1);       // visual_object_type: video
    BitWriter_PutBits(&bw, 1, 0);       // video_signal_type
    stuff();
    BitWriter_PutBits(&bw, 32, 0x1B2);  // user_data_start_code
    static const char kVendor[9] = {'D', 'C', 'P', 'L', 'A', 'Y', 'E', 'R', '1'};
    uint8_t id[32] = {0};
    std::memcpy(id, kVendor, sizeof(kVendor));
    BitWriter_PutBytes(&bw, sizeof(id), id);
    BitWriter_PutBits(&bw, 32, 0x100);  // video_object_start_code
    BitWriter_PutBits(&bw, 32, 0x120);  // video_object_layer_start_code
    BitWriter_PutBits(&bw, 1, 0);       // random_accessible_vol
    BitWriter_PutBits(&bw, 8, 1);       // video_object_type_indication: simple
    BitWriter_PutBits(&bw, 1, 1);       // is_object_layer_identifier
    BitWriter_PutBits(&bw, 4, 1);       // video_object_layer_verid
    BitWriter_PutBits(&bw, 3, 1);       // video_object_layer_priority
    BitWriter_PutBits(&bw, 4, 1);       // aspect_ratio_info: square
    BitWriter_PutBits(&bw, 1, 0);       // vol_control_parameters
    BitWriter_PutBits(&bw, 2, 0);       // video_object_layer_shape: rectangular
    BitWriter_PutBits(&bw, 1, 1);
    BitWriter_PutBits(&bw, 16, vop_time_increment_resolution);
    BitWriter_PutBits(&bw, 1, 1);
    BitWriter_PutBits(&bw, 1, 0);  // fixed_vop_rate
    BitWriter_PutBits(&bw, 1, 1);
    BitWriter_PutBits(&bw, 13, width);
    BitWriter_PutBits(&bw, 1, 1);
    BitWriter_PutBits(&bw, 13, height);
    BitWriter_PutBits(&bw, 1, 1);
    BitWriter_PutBits(&bw, 1, 0);  // interlaced
    BitWriter_PutBits(&bw, 1, 1);  // obmc_disable
    BitWriter_PutBits(&bw, 1, 0);  // sprite_enable
    BitWriter_PutBits(&bw, 1, 0);  // not_8_bit
    BitWriter_PutBits(&bw, 1, quant_type ? 1 : 0);
    if (quant_type) BitWriter_PutBits(&bw, 2, 0);  // no intra / non-intra matrices
    BitWriter_PutBits(&bw, 1, 1);                  // complexity_estimation_disable
    BitWriter_PutBits(&bw, 1, 1);                  // resync_marker_disable
    BitWriter_PutBits(&bw, 1, 0);                  // data_partitioned
    BitWriter_PutBits(&bw, 1, 0);                  // scalability
    stuff();
    if (out_length) *out_length = BitReader_Position(&bw) / 8;
    return 1;
}

int Mp4vVop_IsCoded(const uint8_t* data, uint32_t length, uint32_t time_increment_bits) {
    if (!data) return 1;
    // The start code must begin within the first 1024 bits.
    uint32_t limit = length < 128 ? length : 128;
    for (uint32_t i = 0; i < limit; ++i) {
        if (length - i < 4 || data[i] != 0 || data[i + 1] != 0 || data[i + 2] != 1 ||
            data[i + 3] != 0xB6)
            continue;
        BitReader br;
        BitReader_Init(&br, data + i, length - i);
        BitReader_SkipBits(&br, 34);  // start code, vop_coding_type
        while (BitReader_GetBit(&br) && !br.overrun) {}
        BitReader_SkipBits(&br, 1);  // marker
        BitReader_SkipBits(&br, time_increment_bits > 32 ? 32 : time_increment_bits);
        BitReader_SkipBits(&br, 1);  // the marker after the increment precedes vop_coded
        int coded = int(BitReader_GetBit(&br));
        return br.overrun ? 1 : coded;  // a cut header counts as no header
    }
    return 1;
}

void Nal_LengthsToStartCodes(uint8_t* data, uint32_t length) {
    if (!data) return;
    uint32_t pos = 0;
    while (pos <= length && length - pos >= 4) {
        uint32_t n = uint32_t(data[pos]) << 24 | uint32_t(data[pos + 1]) << 16 |
                     uint32_t(data[pos + 2]) << 8 | data[pos + 3];
        if (n > length - pos - 4) break;
        data[pos] = data[pos + 1] = data[pos + 2] = 0;
        data[pos + 3] = 1;
        pos += 4 + n;
    }
}
