#include "engine/input/codec_probe.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "engine/input/bitio.h"
#include "engine/input/codec_names.h"
#include "engine/media_info.h"

namespace {

std::vector<uint8_t> Fixture(const std::string& name) {
    std::ifstream in(std::string(DC_SOURCE_DIR) + "/tests/fixtures/codec_probe/" + name,
                     std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

// A heap copy of exactly n bytes, so the sanitizer sees any read past it.
struct Exact {
    std::unique_ptr<uint8_t[]> bytes;
    uint32_t size;
    Exact(const uint8_t* p, size_t n) : bytes(new uint8_t[n ? n : 1]), size(uint32_t(n)) {
        if (n) std::memcpy(bytes.get(), p, n);
    }
    explicit Exact(const std::vector<uint8_t>& v) : Exact(v.data(), v.size()) {}
    uint8_t* data() const { return bytes.get(); }
};

VideoTrackInfo Track(uint32_t codec, uint32_t width = 11, uint32_t height = 22) {
    VideoTrackInfo t;
    std::memset(&t, 0, sizeof(t));
    t.codec = codec;
    t.width = width;
    t.height = height;
    return t;
}

// The SPS of an Annex B stream as an avcC-style configuration: the parameter
// set behind its 2-byte length.
std::vector<uint8_t> AvcConfigFromAnnexB(const std::vector<uint8_t>& es) {
    size_t start = 4, end = start;
    while (end + 3 < es.size() && !(es[end] == 0 && es[end + 1] == 0 && es[end + 2] <= 1)) ++end;
    std::vector<uint8_t> out = {uint8_t((end - start) >> 8), uint8_t(end - start)};
    out.insert(out.end(), es.begin() + long(start), es.begin() + long(end));
    return out;
}

// Headers made by FFmpeg's encoders; the expected values are the encoder
// settings (and what ffprobe reports for the streams).
struct ProbeCase {
    const char* name;
    const char* file;
    uint32_t codec;
    bool avcc;  // hand over as an avcC-style configuration
    int result;
    uint32_t width, height, frame_rate, bitrate;
};

const ProbeCase kProbes[] = {
    {"mpeg4_simple", "mpeg4_352x288.bin", FourCC_Make('M', 'P', '4', 'V'), false, 1, 352, 288, 0,
     0},
    {"mpeg4_partitioned_interlaced", "mpeg4_176x144_dp.bin", FourCC_Make('M', 'P', '4', 'V'), false,
     1, 176, 144, 0, 0},
    {"mpeg4_asp_qpel", "mpeg4_320x240_qpel.bin", FourCC_Make('D', 'I', 'V', 'X'), false, 1, 320,
     240, 0, 0},
    {"mpeg4_mpeg_quant_refused", "mpeg4_mpeg_quant.bin", FourCC_Make('M', 'P', '4', 'V'), false, 0,
     11, 22, 0, 0},
    {"xvid", "xvid_640x480.bin", FourCC_Make('x', 'v', 'i', 'd'), false, 1, 640, 480, 0, 0},
    {"h264_baseline_annexb", "h264_352x288_baseline.bin", FourCC_Make('H', '2', '6', '4'), false, 1,
     352, 288, 0, 0},
    {"h264_baseline_avcc", "h264_352x288_baseline.bin", FourCC_Make('A', 'V', 'C', '1'), true, 1,
     352, 288, 0, 0},
    {"h264_high_cropped", "h264_640x360_high.bin", FourCC_Make('A', 'V', 'C', '1'), true, 1, 640,
     360, 0, 0},
    {"h264_interlaced", "h264_720x576_interlaced.bin", FourCC_Make('A', 'V', 'C', '1'), true, 1,
     720, 576, 0, 0},
    {"h264_high444", "h264_1280x720_444.bin", FourCC_Make('A', 'V', 'C', '1'), true, 1, 1280, 720,
     0, 0},
    {"mpeg2_25", "mpeg2_720x576_25.bin", FourCC_Make('M', 'P', 'E', 'G'), false, 1, 720, 576, 25000,
     4000000},
    {"mpeg2_5994", "mpeg2_1280x720_5994.bin", FourCC_Make('M', 'P', 'E', 'G'), false, 1, 1280, 720,
     59940, 8000000},
    {"mpeg1_2997", "mpeg1_352x240_2997.bin", FourCC_Make('M', 'P', 'E', 'G'), false, 1, 352, 240,
     29970, 1150000},
    {"unlisted_fourcc", "mpeg4_352x288.bin", FourCC_Make('H', '2', '6', '3'), false, 0, 11, 22, 0,
     0},
    {"wrong_parser", "mpeg2_720x576_25.bin", FourCC_Make('M', 'P', '4', 'V'), false, 0, 11, 22, 0,
     0},
};

class VideoProbe : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(VideoProbe, ReadsTheEncoderSettings) {
    const ProbeCase& c = GetParam();
    std::vector<uint8_t> bytes = Fixture(c.file);
    ASSERT_FALSE(bytes.empty()) << c.file;
    if (c.avcc) bytes = AvcConfigFromAnnexB(bytes);
    Exact data(bytes);
    VideoTrackInfo t = Track(c.codec);
    EXPECT_EQ(VideoConfig_Probe(data.data(), data.size, &t), c.result);
    EXPECT_EQ(t.width, c.width);
    EXPECT_EQ(t.height, c.height);
    EXPECT_EQ(t.frameRate, c.frame_rate);
    EXPECT_EQ(t.bitrate, c.bitrate);
}

INSTANTIATE_TEST_SUITE_P(Ffmpeg, VideoProbe, ::testing::ValuesIn(kProbes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CodecProbe, VolDetails) {
    Exact dp(Fixture("mpeg4_176x144_dp.bin"));
    Mp4vVolInfo vol;
    ASSERT_EQ(Mp4vVol_Probe(dp.data(), dp.size, nullptr, &vol), 1);
    EXPECT_EQ(vol.vop_time_increment_resolution, 30u);
    EXPECT_EQ(vol.time_increment_bits, 5u);
    EXPECT_EQ(vol.data_partitioned, 1u);
    EXPECT_EQ(vol.interlaced, 1u);
    EXPECT_EQ(vol.video_object_type_indication, 1u);
    EXPECT_EQ(vol.resync_markers, 1u);

    Exact xvid(Fixture("xvid_640x480.bin"));
    ASSERT_EQ(Mp4vVol_Probe(xvid.data(), xvid.size, nullptr, &vol), 1);
    EXPECT_EQ(vol.width, 640u);
    EXPECT_EQ(vol.data_partitioned, 0u);
}

TEST(CodecProbe, SpsDetails) {
    Exact high(AvcConfigFromAnnexB(Fixture("h264_640x360_high.bin")));
    AvcSpsInfo sps;
    ASSERT_EQ(AvcSps_Probe(high.data(), high.size, nullptr, &sps), 1);
    EXPECT_EQ(sps.profile_idc, 100u);
    EXPECT_EQ(sps.width, 640u);
    EXPECT_EQ(sps.height, 360u);
}

// pic_width_in_mbs_minus1 = 21, pic_height_in_map_units_minus1 = 17, built
// by hand: 352 x 288.
TEST(CodecProbe, HandBuiltSps) {
    uint8_t buf[32] = {0};
    BitReader bw;
    BitWriter_Init(&bw, buf, sizeof(buf));
    auto ue = [&bw](uint32_t v) {
        uint32_t n = Bits_Needed(int32_t(v + 1));
        BitWriter_PutBits(&bw, n - 1, 0);
        BitWriter_PutBits(&bw, n, v + 1);
    };
    BitWriter_PutBits(&bw, 16, 0);    // length prefix, patched below
    BitWriter_PutBits(&bw, 8, 0x67);  // NAL header
    BitWriter_PutBits(&bw, 8, 66);    // profile_idc
    BitWriter_PutBits(&bw, 8, 0);
    BitWriter_PutBits(&bw, 8, 30);  // level_idc
    ue(0);                          // seq_parameter_set_id
    ue(0);                          // log2_max_frame_num_minus4
    ue(1);                          // pic_order_cnt_type 1
    BitWriter_PutBits(&bw, 1, 0);
    ue(0);
    ue(0);
    ue(2);  // two offsets in the cycle
    ue(1);
    ue(2);
    ue(3);  // num_ref_frames
    BitWriter_PutBits(&bw, 1, 0);
    ue(21);
    ue(17);
    BitWriter_PutBits(&bw, 1, 1);  // frame_mbs_only_flag
    BitWriter_PutBits(&bw, 1, 1);
    BitWriter_PutBits(&bw, 1, 0);  // no cropping
    BitWriter_PutBits(&bw, 1, 1);  // rbsp stop bit
    uint32_t bytes = (BitReader_Position(&bw) + 7) / 8;
    buf[1] = uint8_t(bytes - 2);
    Exact data(buf, bytes);
    AvcSpsInfo sps;
    VideoTrackInfo t = Track(FourCC_Make('A', 'V', 'C', '1'));
    ASSERT_EQ(AvcSps_Probe(data.data(), data.size, &t, &sps), 1);
    EXPECT_EQ(t.width, 352u);
    EXPECT_EQ(t.height, 288u);
    EXPECT_EQ(sps.num_ref_frames, 3u);
    EXPECT_EQ(sps.level_idc, 30u);
}

TEST(CodecProbe, MpegSequenceExtensionRate) {
    struct Row {
        const char* name;
        std::vector<uint8_t> bytes;
        uint32_t frame_rate;
        uint32_t bitrate;
    };
    // 720 x 576, frame_rate_code 4, bit_rate_value 1; then optional
    // extensions (a picture coding extension first, which is not the one).
    const std::vector<uint8_t> seq = {0,    0,    1,    0xB3, 0x2D, 0x02,
                                      0x40, 0x14, 0x00, 0x00, 0x60, 0x00};
    auto with = [&seq](std::vector<uint8_t> tail) {
        std::vector<uint8_t> v = seq;
        v.insert(v.end(), tail.begin(), tail.end());
        return v;
    };
    const Row rows[] = {
        {"no_extension", seq, 29970, 400},
        {"extension_n1_d0", with({0, 0, 1, 0xB5, 0x14, 0x8A, 0x00, 0x01, 0x00, 0x20}), 59940, 400},
        {"picture_extension_skipped",
         with({0, 0, 1, 0xB5, 0x8F, 0xFF, 0xF3, 0, 0, 1, 0xB5, 0x14, 0x8A, 0x00, 0x01, 0x00, 0x20}),
         59940, 400},
        {"bitrate_extension", with({0, 0, 1, 0xB5, 0x14, 0x8A, 0x00, 0x03, 0x00, 0x00}), 29970,
         ((1u << 18) | 1) * 400},
        {"extension_cut_ignored", with({0, 0, 1, 0xB5, 0x14, 0x8A}), 29970, 400},
    };
    for (const Row& r : rows) {
        Exact data(r.bytes);
        VideoTrackInfo t = Track(FourCC_Make('M', 'P', 'E', 'G'));
        ASSERT_EQ(Mpeg2Seq_Probe(data.data(), data.size, &t), 1) << r.name;
        EXPECT_EQ(t.width, 720u) << r.name;
        EXPECT_EQ(t.height, 576u) << r.name;
        EXPECT_EQ(t.frameRate, r.frame_rate) << r.name;
        EXPECT_EQ(t.bitrate, r.bitrate) << r.name;
    }
}

TEST(CodecProbe, ShapeBinaryVolLeavesTheRecord) {
    // A VOL whose shape is binary: the sample entry's size stays.
    Exact data(Fixture("mpeg4_352x288.bin"));
    uint8_t* vol = data.data();
    uint32_t at = 0;
    while (!(vol[at] == 0 && vol[at + 1] == 0 && vol[at + 2] == 1 && vol[at + 3] == 0x20)) ++at;
    BitReader br;
    BitReader_Init(&br, vol + at + 4, data.size - at - 4);
    BitReader_SkipBits(&br, 9);
    if (BitReader_GetBit(&br)) BitReader_SkipBits(&br, 7);  // verid, priority
    if (BitReader_GetBits(&br, 4) == 15) BitReader_SkipBits(&br, 16);
    if (BitReader_GetBit(&br)) {  // vol_control_parameters
        BitReader_SkipBits(&br, 3);
        if (BitReader_GetBit(&br)) BitReader_SkipBits(&br, 79);
    }
    uint32_t pos = BitReader_Position(&br);
    vol[at + 4 + pos / 8] |= uint8_t(0x80 >> (pos % 8));  // shape 00 -> 10 (binary)
    VideoTrackInfo t = Track(FourCC_Make('M', 'P', '4', 'V'), 320, 240);
    EXPECT_EQ(VideoConfig_Probe(data.data(), data.size, &t), 0);
    EXPECT_EQ(t.width, 320u);
    EXPECT_EQ(t.height, 240u);
}

TEST(CodecProbe, VolWriterRoundTrip) {
    uint8_t buf[MP4V_VOL_HEADER_MAX + 8];
    std::memset(buf, 0xAA, sizeof(buf));
    uint32_t len = 0;
    ASSERT_EQ(Mp4vWriteVolHeader(buf, &len, 176, 144, 30000, 0), 1);
    ASSERT_GT(len, 60u);
    ASSERT_LE(len, uint32_t(MP4V_VOL_HEADER_MAX));
    EXPECT_EQ(buf[MP4V_VOL_HEADER_MAX], 0xAA);  // nothing written past the area
    // The VOL's last byte ends with the stuffing 0 1 1 ...
    uint8_t last = buf[len - 1];
    int ones = 0;
    while (ones < 8 && (last >> ones) & 1) ++ones;
    EXPECT_GT(ones, 0);
    EXPECT_EQ((last >> ones) & 1, 0);
    // The vendor's user data is 32 bytes: a name and zeros.
    Exact data(buf, len);
    Mp4vVolInfo vol;
    VideoTrackInfo t = Track(FourCC_Make('M', 'P', '4', 'V'));
    ASSERT_EQ(Mp4vVol_Probe(data.data(), data.size, &t, &vol), 1);
    EXPECT_EQ(t.width, 176u);
    EXPECT_EQ(t.height, 144u);
    EXPECT_EQ(vol.vop_time_increment_resolution, 30000u);
    EXPECT_EQ(vol.time_increment_bits, 15u);
    EXPECT_EQ(vol.resync_markers, 0u);

    ASSERT_EQ(Mp4vWriteVolHeader(buf, &len, 640, 480, 25, 1), 1);
    Exact mq(buf, len);
    EXPECT_EQ(Mp4vVol_Probe(mq.data(), mq.size, nullptr, &vol), 0);  // MPEG quantisation
}

TEST(CodecProbe, VopCoded) {
    // VOP header: start code, type 01 (P), modulo_time_base 1 1 0, marker,
    // 5-bit increment, marker ... then vop_coded.
    struct Row {
        const char* name;
        std::vector<uint8_t> bytes;
        int coded;
    };
    const Row rows[] = {
        // 01 110 1 00101 1 then vop_coded
        {"not_coded", {0x12, 0, 0, 1, 0xB6, 0x74, 0xB0}, 0},
        {"coded", {0, 0, 1, 0xB6, 0x74, 0xB8}, 1},
        {"no_start_code", {0, 0, 1, 0xB5, 0x00}, 1},
        {"cut_header", {0, 0, 1, 0xB6, 0x74}, 1},
        {"empty", {}, 1},
    };
    for (const Row& r : rows) {
        Exact data(r.bytes);
        EXPECT_EQ(Mp4vVop_IsCoded(data.data(), data.size, 5), r.coded) << r.name;
    }
    // A start code beyond the first 1024 bits is not looked at.
    std::vector<uint8_t> far(130, 0x55);
    far.insert(far.end(), {0, 0, 1, 0xB6, 0x40, 0x00});
    Exact f(far);
    EXPECT_EQ(Mp4vVop_IsCoded(f.data(), f.size, 5), 1);
}

TEST(CodecProbe, NalLengthsToStartCodes) {
    std::vector<uint8_t> v = {0, 0, 0, 2, 0xAA, 0xBB, 0, 0, 0, 1, 0xCC, 0, 0, 0, 9, 0xDD};
    Exact data(v);
    Nal_LengthsToStartCodes(data.data(), data.size);
    const uint8_t want[] = {0, 0, 0, 1, 0xAA, 0xBB, 0, 0, 0, 1, 0xCC, 0, 0, 0, 9, 0xDD};
    EXPECT_EQ(std::memcmp(data.data(), want, sizeof(want)), 0);
    Nal_LengthsToStartCodes(data.data(), 3);  // too short for a prefix
}

TEST(CodecProbe, GolombAndBitsNeeded) {
    struct Row {
        std::vector<uint8_t> bytes;
        uint32_t value;
    };
    const Row rows[] = {
        {{0x80}, 0},
        {{0x40}, 1},
        {{0x60}, 2},
        {{0x20}, 3},
        {{0x38}, 6},
        {{0x00, 0x00, 0x00, 0x00}, 0xFFFFFFFFu},  // runs off the end
        {{0x00, 0x01, 0xFF, 0xFF}, (1u << 15) - 1 + 0x7FFF},
    };
    for (const Row& r : rows) {
        Exact data(r.bytes);
        BitReader br;
        BitReader_Init(&br, data.data(), data.size);
        EXPECT_EQ(Golomb_ReadUe(&br), r.value);
    }
    EXPECT_EQ(Bits_Needed(0), 1u);
    EXPECT_EQ(Bits_Needed(1), 1u);
    EXPECT_EQ(Bits_Needed(2), 2u);
    EXPECT_EQ(Bits_Needed(29999), 15u);
    EXPECT_EQ(Bits_Needed(-1), 0u);
    EXPECT_EQ(Bits_Needed(0x7FFFFFFF), 31u);
}

// Every prefix of every header, handed over in a buffer of exactly that
// size, is probed without reading past it.
TEST(CodecProbe, TruncatedInputStaysInBounds) {
    const char* files[] = {"mpeg4_352x288.bin", "xvid_640x480.bin", "h264_640x360_high.bin",
                           "h264_1280x720_444.bin", "mpeg2_1280x720_5994.bin"};
    const uint32_t codecs[] = {FourCC_Make('M', 'P', '4', 'V'), FourCC_Make('A', 'V', 'C', '1'),
                               FourCC_Make('M', 'P', 'E', 'G')};
    for (const char* f : files) {
        std::vector<uint8_t> all = Fixture(f);
        std::vector<uint8_t> avcc = AvcConfigFromAnnexB(all);
        for (size_t n = 0; n <= all.size(); ++n) {
            Exact data(all.data(), n);
            for (uint32_t codec : codecs) {
                VideoTrackInfo t = Track(codec);
                VideoConfig_Probe(data.data(), data.size, &t);
            }
            Mp4vVop_IsCoded(data.data(), data.size, 16);
            if (n <= avcc.size()) {
                Exact a(avcc.data(), n);
                VideoTrackInfo t = Track(FourCC_Make('A', 'V', 'C', '1'));
                VideoConfig_Probe(a.data(), a.size, &t);
            }
        }
    }
}

}  // namespace
