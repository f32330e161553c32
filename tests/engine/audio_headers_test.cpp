#include "engine/input/audio_headers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "engine/input/codec_names.h"

namespace {

std::vector<uint8_t> Fixture(const std::string& name) {
    std::ifstream in(std::string(DC_SOURCE_DIR) + "/tests/fixtures/audio_headers/" + name,
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
    const uint8_t* data() const { return bytes.get(); }
};

AudioFrameConfig Blank(uint32_t tag = 0) {
    AudioFrameConfig c;
    std::memset(&c, 0, sizeof(c));
    c.codec_tag = tag;
    return c;
}

// Streams encoded by FFmpeg; expected values are what ffprobe reports for
// them (bitrate -1: the first frame's rate differs from ffprobe's average).
struct StreamCase {
    const char* name;
    const char* file;
    uint32_t tag_in;
    uint32_t tag;
    uint32_t rate;
    uint32_t channels;
    int64_t bitrate;
    uint32_t samples_per_frame;
};

const StreamCase kStreams[] = {
    {"adts_lc_stereo", "adts_44100_stereo.aac", 255, 255, 44100, 2, 0, 1024},
    {"adts_lc_mono_by_search", "adts_16000_mono.aac", 0, 255, 16000, 1, 0, 1024},
    {"ac3_48k_stereo", "ac3_48000_stereo.ac3", 0x2000, 146, 48000, 2, 192000, 1536},
    {"ac3_44k1", "ac3_44100_160k.ac3", 0, 146, 44100, 2, 160000, 1536},
    {"ac3_5_1_with_lfe", "ac3_48000_5_1.ac3", 146, 146, 48000, 6, 384000, 1536},
    {"mp3_after_id3_tag", "mp3_44100_vbr.mp3", 85, 80, 44100, 2, -1, 1152},
    {"mp3_mpeg2_mono", "mp3_22050_mono.mp3", 0, 80, 22050, 1, 32000, 576},
    {"mp2_layer2", "mp2_48000_stereo.mp2", 0, 80, 48000, 2, 192000, 1152},
};

class StreamConfig : public ::testing::TestWithParam<StreamCase> {};

TEST_P(StreamConfig, MatchesFfprobe) {
    const StreamCase& c = GetParam();
    Exact data(Fixture(c.file));
    ASSERT_GT(data.size, 0u) << c.file;
    AudioFrameConfig cfg = Blank(c.tag_in);
    uint32_t spf = 0;
    ASSERT_NE(AudioFrame_ParseConfig(data.data(), data.size, &cfg, &spf), nullptr);
    EXPECT_EQ(cfg.codec_tag, c.tag);
    EXPECT_EQ(cfg.sample_rate, c.rate);
    EXPECT_EQ(cfg.channels, c.channels);
    if (c.bitrate >= 0) {
        EXPECT_EQ(cfg.bitrate, uint32_t(c.bitrate));
    }
    EXPECT_EQ(spf, c.samples_per_frame);
}

INSTANTIATE_TEST_SUITE_P(Ffmpeg, StreamConfig, ::testing::ValuesIn(kStreams),
                         [](const auto& info) { return std::string(info.param.name); });

// Walking a whole stream frame by frame must land exactly on its end.
struct WalkCase {
    const char* name;
    const char* file;
    uint32_t tag;
    uint32_t min_frames;
};

const WalkCase kWalks[] = {
    {"adts", "adts_44100_stereo.aac", 255, 4},
    {"ac3_44k1_alternating_sizes", "ac3_44100_160k.ac3", 146, 9},
    {"ac3_5_1", "ac3_48000_5_1.ac3", 8192, 4},
    {"mp2", "mp2_48000_stereo.mp2", 80, 4},
    {"mp3_mpeg2", "mp3_22050_mono.mp3", 85, 10},
};

class FrameWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(FrameWalk, ReachesTheEndExactly) {
    const WalkCase& c = GetParam();
    Exact data(Fixture(c.file));
    const uint8_t* p = data.data();
    uint32_t left = data.size, frames = 0;
    for (;;) {
        uint32_t size = 0, spf = 0;
        const uint8_t* frame = AudioFrame_Parse(&p, &left, &size, &spf, c.tag);
        if (!frame) break;
        ASSERT_GT(size, 0u);
        ASSERT_LE(size, left) << "frame " << frames;
        p += size;
        left -= size;
        ++frames;
    }
    EXPECT_GE(frames, c.min_frames);
    EXPECT_LT(left, 7u);  // only a possible ID3v1-free tail of nothing
}

INSTANTIATE_TEST_SUITE_P(Ffmpeg, FrameWalk, ::testing::ValuesIn(kWalks),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AudioHeaders, VorbisIdHeaderFromOgg) {
    std::vector<uint8_t> ogg = Fixture("vorbis_44100_stereo.ogg");
    static const uint8_t kId[] = {1, 'v', 'o', 'r', 'b', 'i', 's'};
    auto it = std::search(ogg.begin(), ogg.end(), std::begin(kId), std::end(kId));
    ASSERT_NE(it, ogg.end());
    Exact data(&*it, 30);
    AudioFrameConfig cfg = Blank();
    uint32_t spf = 0;
    ASSERT_EQ(AudioFrame_ParseConfig(data.data(), data.size, &cfg, &spf), data.data());
    EXPECT_EQ(cfg.codec_tag, 0x674Fu);
    EXPECT_EQ(cfg.sample_rate, 44100u);
    EXPECT_EQ(cfg.channels, 2u);
    EXPECT_EQ(cfg.bitrate, 112000u);  // ffprobe's nominal rate
    EXPECT_EQ(spf, 1024u);
}

TEST(AudioHeaders, XingHeaderOfVbrMp3) {
    Exact data(Fixture("mp3_44100_vbr.mp3"));
    const uint8_t* p = data.data();
    uint32_t left = data.size, size = 0, spf = 0;
    ASSERT_NE(MpegAudio_FindSync(&p, &left, &size, &spf), nullptr);
    XingInfo x;
    ASSERT_EQ(Xing_Find(p, size, &x), 1);
    EXPECT_EQ(x.flags & 7, 7u);
    EXPECT_EQ(x.bytes, data.size - uint32_t(p - data.data()));
    // 0.3 s at 1152 samples per frame: the frame count lame writes.
    EXPECT_GE(x.frames, 11u);
    EXPECT_LE(x.frames, 14u);
    EXPECT_EQ(Xing_SeekPosition(&x, 0.0f), uint32_t(x.toc[0]) * x.bytes / 256);
    EXPECT_EQ(Xing_SeekPosition(&x, 100.0f), x.bytes);
    EXPECT_EQ(Xing_SeekPosition(&x, 250.0f), x.bytes);
}

TEST(AudioHeaders, AscFields) {
    struct Row {
        const char* name;
        std::vector<uint8_t> bytes;
        int ok;
        uint32_t rate, channels;
    };
    const Row rows[] = {
        {"lc_44100_stereo", {0x12, 0x10}, 1, 44100, 2},
        {"lc_48000_mono", {0x11, 0x88}, 1, 48000, 1},
        {"he_aac_24000_stereo", {0x2B, 0x10, 0x88, 0x00}, 1, 24000, 2},
        {"reserved_index_13", {0x16, 0x90}, 1, 0, 2},
        {"explicit_frequency", {0x17, 0x80, 0x17, 0x70, 0x10}, 1, 12000, 2},
        {"explicit_frequency_cut", {0x17, 0x80, 0x2E}, 0, 7, 7},
        {"one_byte", {0x12}, 0, 7, 7},
        {"empty", {}, 0, 7, 7},
    };
    for (const Row& r : rows) {
        Exact data(r.bytes.data(), r.bytes.size());
        AudioFrameConfig cfg = Blank();
        cfg.sample_rate = cfg.channels = 7;
        EXPECT_EQ(Aac_ParseAsc(data.data(), data.size, &cfg), r.ok) << r.name;
        EXPECT_EQ(cfg.sample_rate, r.rate) << r.name;
        EXPECT_EQ(cfg.channels, r.channels) << r.name;
    }
}

TEST(AudioHeaders, AdtsSync) {
    // 00 FF F1 ...: the frame starts at the second byte.
    const uint8_t frame[] = {0x00, 0xFF, 0xF1, 0x50, 0x80, 0x02, 0x1F, 0xFC, 0x00};
    Exact data(frame, sizeof(frame));
    const uint8_t* p = data.data();
    uint32_t left = data.size, len = 0;
    EXPECT_EQ(Adts_FindSync(&p, &left, &len), data.data() + 1);
    EXPECT_EQ(left, 8u);
    EXPECT_EQ(len, 16u);

    Exact six(frame + 1, 6);
    p = six.data();
    left = six.size;
    EXPECT_EQ(Adts_FindSync(&p, &left, &len), nullptr);

    // A sync whose frame length is below the header size is no frame.
    const uint8_t zero_len[] = {0xFF, 0xF1, 0x50, 0x80, 0x00, 0x1F, 0xFC, 0, 0, 0};
    Exact z(zero_len, sizeof(zero_len));
    p = z.data();
    left = z.size;
    EXPECT_EQ(Adts_FindSync(&p, &left, &len), nullptr);

    AudioFrameConfig cfg = Blank();
    EXPECT_EQ(Adts_ParseHeader(data.data(), data.size, &cfg), data.data() + 1);
    EXPECT_EQ(cfg.sample_rate, 44100u);
    EXPECT_EQ(cfg.channels, 2u);
    // With a CRC the header needs 9 bytes.
    const uint8_t crc[] = {0xFF, 0xF0, 0x50, 0x80, 0x02, 0x1F, 0xFC, 0x12};
    Exact c(crc, sizeof(crc));
    EXPECT_EQ(Adts_ParseHeader(c.data(), c.size, &cfg), nullptr);
}

TEST(AudioHeaders, Ac3Headers) {
    struct Row {
        const char* name;
        uint8_t b4, b5, b6;
        uint32_t size, rate, bitrate, channels;
    };
    // Bytes 4 (fscod, frmsizecod), 5 (bsid, bsmod), 6 (acmod ...).
    const Row rows[] = {
        {"44k1_160k_odd", 0x40 | 19, 8 << 3, 0x40, 698, 44100, 160000, 2},
        {"48k_32k", 0x00, 8 << 3, 0x20, 128, 48000, 32000, 1},
        {"32k_640k", 0x80 | 37, 6 << 3, 0xE1, 3840, 32000, 640000, 6},
        {"bsid_9_halves", 0x00 | 4, 9 << 3, 0x40, 192, 24000, 24000, 2},
        {"bsid_11_eighth", 0x00 | 4, 11 << 3, 0x40, 192, 6000, 6000, 2},
        {"dual_mono", 0x00 | 4, 8 << 3, 0x00, 192, 48000, 48000, 2},
        {"dolby_surround_stereo", 0x00 | 4, 8 << 3, 0x50, 192, 48000, 48000, 2},
        {"stereo_with_lfe", 0x00 | 4, 8 << 3, 0x44, 192, 48000, 48000, 3},
    };
    for (const Row& r : rows) {
        const uint8_t bytes[] = {0x0B, 0x77, 0, 0, r.b4, r.b5, r.b6, 0};
        Exact data(bytes, sizeof(bytes));
        const uint8_t* p = data.data();
        uint32_t left = data.size, size = 0;
        EXPECT_EQ(Ac3_FindSync(&p, &left, &size), data.data()) << r.name;
        EXPECT_EQ(size, r.size) << r.name;
        AudioFrameConfig cfg = Blank();
        EXPECT_EQ(Ac3_ParseHeader(data.data(), data.size, &cfg), data.data()) << r.name;
        EXPECT_EQ(cfg.sample_rate, r.rate) << r.name;
        EXPECT_EQ(cfg.bitrate, r.bitrate) << r.name;
        EXPECT_EQ(cfg.channels, r.channels) << r.name;
        EXPECT_EQ(cfg.codec_tag, 146u) << r.name;
    }
    const uint8_t bad[][8] = {
        {0x0B, 0x77, 0, 0, 0xC0, 8 << 3, 0x40, 0},   // fscod 3
        {0x0B, 0x77, 0, 0, 38, 8 << 3, 0x40, 0},     // frmsizecod 38
        {0x0B, 0x77, 0, 0, 0x08, 12 << 3, 0x40, 0},  // bsid 12
    };
    for (const auto& b : bad) {
        Exact data(b, 8);
        AudioFrameConfig cfg = Blank();
        EXPECT_EQ(Ac3_ParseHeader(data.data(), data.size, &cfg), nullptr);
    }
}

TEST(AudioHeaders, MpegSyncNeedsFourHeadersAfterGarbage) {
    // A lone header that is not followed by more is skipped; the real run
    // of four headers after it is found.
    const uint32_t header = 0xFFFB9000;  // MPEG-1 layer III, 128k, 44.1k
    MpegAudioHeader h;
    MpegAudio_DecodeHeader(header, &h);
    ASSERT_EQ(h.frame_length + 4, 417u);
    std::vector<uint8_t> stream = {0x00, 0xFF, 0xFB, 0x90, 0x00, 0x11, 0x22};
    size_t start = stream.size();
    for (int i = 0; i < 4; ++i) {
        size_t at = stream.size();
        stream.resize(at + 417, 0);
        stream[at] = 0xFF, stream[at + 1] = 0xFB, stream[at + 2] = 0x90, stream[at + 3] = 0x00;
    }
    Exact data(stream);
    const uint8_t* p = data.data();
    uint32_t left = data.size, size = 0, spf = 0;
    EXPECT_EQ(MpegAudio_FindSync(&p, &left, &size, &spf), data.data() + start);
    EXPECT_EQ(size, 417u);
    EXPECT_EQ(spf, 1152u);
    // Only three frames: no run of four, no sync.
    Exact short_run(stream.data() + 2, stream.size() - 2 - 417);
    p = short_run.data();
    left = short_run.size;
    EXPECT_EQ(MpegAudio_FindSync(&p, &left, &size, &spf), nullptr);
}

TEST(AudioHeaders, MpegHeaderValidity) {
    struct Row {
        const char* name;
        uint32_t value;
        int valid;
    };
    const Row rows[] = {
        {"mpeg1_l3", 0xFFFB9000, 1},         {"mpeg25_l3", 0xFFE39000, 1},
        {"free_format", 0xFFFB0000, 0},      {"bad_bitrate", 0xFFFBF000, 0},
        {"reserved_rate", 0xFFFB9C00, 0},    {"reserved_layer", 0xFFF99000, 0},
        {"reserved_version", 0xFFEB9000, 0}, {"no_sync", 0xFF7B9000, 0},
    };
    for (const Row& r : rows) EXPECT_EQ(MpegAudio_IsHeader(r.value), r.valid) << r.name;
}

TEST(AudioHeaders, AmrFileHeaders) {
    struct Row {
        const char* name;
        std::string bytes;
        bool wide;
        uint32_t tag_in;
        long offset;  // -1: refused
        uint32_t rate;
    };
    const Row rows[] = {
        {"amr", "#!AMR\n\x3c", false, 0, 6, 8000},
        {"amr_mc", std::string("#!AMR_MC1.0\n\0\0\0\1\x3c", 17), false, 0, 16, 8000},
        {"amr_mc_cut", "#!AMR_MC1.0\n\1", false, 0, -1, 0},
        {"amr_raw_with_tag", "\x3c\x00", false, 0x6173, 0, 8000},
        {"amr_raw_without_tag", "\x3c\x00", false, 0, -1, 0},
        {"amr_wb", "#!AMR-WB\n", true, 0, 9, 16000},
        {"amr_wb_mc", std::string("#!AMR-WB_MC1.0\n\0\0\0\1", 19), true, 0, 19, 16000},
        {"amr_header_cut", "#!AM", false, 0, -1, 0},
    };
    for (const Row& r : rows) {
        Exact data(reinterpret_cast<const uint8_t*>(r.bytes.data()), r.bytes.size());
        AudioFrameConfig cfg = Blank(r.tag_in);
        const uint8_t* after = r.wide ? AmrWb_ParseFileHeader(data.data(), data.size, &cfg)
                                      : Amr_ParseFileHeader(data.data(), data.size, &cfg);
        if (r.offset < 0) {
            EXPECT_EQ(after, nullptr) << r.name;
            continue;
        }
        EXPECT_EQ(after, data.data() + r.offset) << r.name;
        EXPECT_EQ(cfg.sample_rate, r.rate) << r.name;
        EXPECT_EQ(cfg.channels, 1u) << r.name;
        EXPECT_EQ(cfg.codec_tag, r.wide ? 0x6177u : 0x6173u) << r.name;
    }
}

TEST(AudioHeaders, SpeechFrameSizes) {
    uint32_t size = 99;
    const uint8_t amr[] = {7 << 3 | 4};
    Amr_FrameSize(amr, 1, &size);
    EXPECT_EQ(size, 32u);
    AmrWb_FrameSize(amr, 1, &size);
    EXPECT_EQ(size, 59u);
    size = 99;
    Amr_FrameSize(amr, 0, &size);
    EXPECT_EQ(size, 99u);

    const uint8_t evrc[] = {9, 7, 4, 0};
    Exact e(evrc, sizeof(evrc));
    const uint8_t* p = e.data();
    uint32_t left = e.size;
    EXPECT_EQ(Evrc_FrameSize(&p, &left, &size), e.data() + 2);
    EXPECT_EQ(size, 23u);
    const uint8_t qcelp[] = {5, 6, 4};
    Exact q(qcelp, sizeof(qcelp));
    p = q.data();
    left = q.size;
    EXPECT_EQ(Qcelp_FrameSize(&p, &left, &size), q.data() + 2);
    EXPECT_EQ(size, 35u);
    const uint8_t junk[] = {5, 6, 7};
    Exact j(junk, sizeof(junk));
    p = j.data();
    left = j.size;
    EXPECT_EQ(Qcelp_FrameSize(&p, &left, &size), nullptr);
    EXPECT_EQ(left, 0u);
}

TEST(AudioHeaders, AdifHeader) {
    // ADIF, no copyright, constant rate 128000, one PCE at 48 kHz with one
    // front CPE, one front SCE and one LFE: 4 channels.
    const uint8_t adif[] = {
        'A',  'D',  'I',  'F',  0x00, 0x03, 0xE8, 0x00,  // flags(4) + bitrate 128000 (23)
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    // Hand-assemble the bits after "ADIF".
    std::vector<int> bits;
    auto put = [&](uint32_t v, int n) {
        for (int i = n - 1; i >= 0; --i) bits.push_back((v >> i) & 1);
    };
    put(0, 1);  // copyright_id_present
    put(0, 2);  // original_copy, home
    put(1, 1);  // bitstream_type: variable rate, no buffer fullness
    put(128000, 23);
    put(0, 4);  // num_program_config_elements
    put(0, 4);  // element_instance_tag
    put(1, 2);  // object_type
    put(3, 4);  // 48000
    put(2, 4);
    put(0, 4);
    put(0, 4);
    put(1, 2);
    put(0, 3);
    put(0, 4);
    put(0, 1);
    put(0, 1);
    put(0, 1);
    put(1, 1);
    put(0, 4);  // front CPE
    put(0, 1);
    put(1, 4);  // front SCE
    put(0, 4);  // LFE
    while (bits.size() % 8) bits.push_back(0);
    put(3, 8);  // comment of 3 bytes
    put(0x414243, 24);
    std::vector<uint8_t> bytes(adif, adif + 4);
    for (size_t i = 0; i < bits.size(); i += 8) {
        uint8_t b = 0;
        for (int k = 0; k < 8; ++k) b = uint8_t(b << 1 | bits[i + k]);
        bytes.push_back(b);
    }
    Exact data(bytes);
    AudioFrameConfig cfg = Blank();
    uint32_t spf = 0;
    ASSERT_EQ(AudioFrame_ParseConfig(data.data(), data.size, &cfg, &spf), data.data());
    EXPECT_EQ(cfg.codec_tag, 255u);
    EXPECT_EQ(cfg.sample_rate, 48000u);
    EXPECT_EQ(cfg.channels, 4u);
    EXPECT_EQ(cfg.bitrate, 128000u);
    // Without its last comment byte the header runs out.
    Exact cut(bytes.data(), bytes.size() - 1);
    cfg = Blank();
    EXPECT_EQ(Adif_ParseHeader(cut.data(), cut.size, &cfg), nullptr);
}

TEST(AudioHeaders, SamplesPerFrameAndMaxBytes) {
    struct Row {
        uint32_t tag, spf;
    };
    const Row rows[] = {{1, 160},       {0x6177, 320},      {255, 1024}, {17, 8192},
                        {85, 1152},     {8192, 1536},       {253, 2048}, {354, 4096},
                        {0x6770, 1024}, {0x6B6F6F63, 1024}, {0x674E, 0}, {0x12345, 0}};
    for (const Row& r : rows) EXPECT_EQ(AudioFrame_GetSamplesPerFrame(r.tag), r.spf) << r.tag;

    // 1024 samples at 44100 Hz: 23 ms frames; 10 s hold 434 frames.
    EXPECT_EQ(AudioFrame_MaxBytes(44100, 0, 255, 10000), 434u * 1000);
    EXPECT_EQ(AudioFrame_MaxBytes(0, 0, 255, 10000), 0u);
    EXPECT_EQ(AudioFrame_MaxBytes(2000000, 0, 255, 10000), 0u);  // frames under 1 ms
    EXPECT_EQ(AudioFrame_MaxBytes(8000, 0, 0x6173, 100000), 5000u * 32);
    EXPECT_EQ(AudioFrame_MaxBytes(8000, 0, 0x161, 0xFFFFFFFF), 0xFFFFFFFFu);  // saturates
    EXPECT_EQ(AudioCodec_TagFromId(4), 353u);
    EXPECT_EQ(AudioCodec_TagFromId(6), 6u);
}

// Every prefix of every fixture, handed over in a buffer of exactly that
// size, is parsed without reading past it.
TEST(AudioHeaders, TruncatedInputStaysInBounds) {
    const char* files[] = {"adts_44100_stereo.aac", "ac3_48000_5_1.ac3", "mp3_44100_vbr.mp3",
                           "mp2_48000_stereo.mp2", "vorbis_44100_stereo.ogg"};
    const uint32_t tags[] = {0, 255, 85, 146, 0x6173, 0x6177, 0x674F, 0x3331};
    for (const char* f : files) {
        std::vector<uint8_t> all = Fixture(f);
        for (size_t n = 0; n <= all.size() && n < 600; ++n) {
            Exact data(all.data(), n);
            for (uint32_t tag : tags) {
                AudioFrameConfig cfg = Blank(tag);
                uint32_t spf = 0;
                AudioFrame_ParseConfig(data.data(), data.size, &cfg, &spf);
                const uint8_t* p = data.data();
                uint32_t left = data.size, size = 0;
                AudioFrame_Parse(&p, &left, &size, &spf, tag);
                EXPECT_LE(left, data.size);
            }
            XingInfo x;
            Xing_Find(data.data(), data.size, &x);
            AudioFrameConfig asc = Blank();
            Aac_ParseAsc(data.data(), data.size, &asc);
        }
    }
}

}  // namespace
