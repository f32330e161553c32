// Video decoder wrapper with its MPEG-4 and raw YUV adapters.
#include "engine/video_decoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/mp4v_adapter.h"
#include "tests/codecs/video/bitwriter.h"

namespace {

VideoTrackInfo Track(uint32_t fourcc, uint32_t w, uint32_t h, const std::vector<uint8_t>& config,
                     uint32_t rate = 30000) {
    VideoTrackInfo t = {};
    t.codec = fourcc;
    t.width = w;
    t.height = h;
    t.frameRate = rate;
    t.bitsPerPixel = 12;
    if (!config.empty())
        memcpy(t.config, config.data(), config.size() < sizeof t.config ? config.size() : sizeof t.config);
    t.configLength = uint32_t(config.size());
    return t;
}

MediaSample Sample(std::vector<uint8_t>& bytes, uint32_t time) {
    MediaSample s = {};
    s.data = bytes.data();
    s.length = uint32_t(bytes.size());
    s.capacity = s.length;
    s.time = time;
    s.type = TRACK_TYPE_VIDEO;
    return s;
}

std::vector<uint8_t> VolBytes() {
    BitWriter w;
    WriteVol(&w, VolOptions());
    return w.bytes();
}

std::vector<uint8_t> NotCoded(int type, int inc) {
    BitWriter w;
    WriteNotCodedVop(&w, type, 0, inc, 5);
    return w.bytes();
}

TEST(VideoDecoderWrapper, CreateChoosesAdapter) {
    struct Row {
        const char* name;
        uint32_t fourcc;
        PlayerResult result;
    } rows[] = {
        {"MP4V", VideoFourCC('M', 'P', '4', 'V'), 0},
        {"XVID", VideoFourCC('X', 'V', 'I', 'D'), 0},
        {"AVC1 unsupported", VideoFourCC('A', 'V', 'C', '1'), PLAYER_E_UNSUPPORTED_VIDEO_CODEC},
        {"YUY2", VideoFourCC('Y', 'U', 'Y', '2'), 0},
        {"raw 0", 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        VideoTrackInfo t = Track(r.fourcc, 176, 144, VolBytes());
        VideoDecoder* d = nullptr;
        EXPECT_EQ(VideoDecoder_Create(&d, nullptr, &t, 1), r.result);
        EXPECT_EQ(d != nullptr, r.result == 0);
        if (d) {
            EXPECT_EQ(t.width, 176u);
            EXPECT_EQ(t.height, 144u);
            VideoDecoder_Destroy(d);
        }
    }
    // A VOL whose size the track record does not know, and a broken one.
    VideoTrackInfo unknown = Track(VideoFourCC('M', 'P', '4', 'V'), 0, 0, VolBytes());
    VideoDecoder* d = nullptr;
    ASSERT_EQ(VideoDecoder_Create(&d, nullptr, &unknown, 1), 0);
    EXPECT_EQ(unknown.width, 176u);
    EXPECT_EQ(unknown.outputFourCC, VideoFourCC('I', '4', '2', '0'));
    VideoDecoder_Destroy(d);
    VideoTrackInfo tooSmall = Track(VideoFourCC('M', 'P', '4', 'V'), 64, 64, VolBytes());
    EXPECT_EQ(VideoDecoder_Create(&d, nullptr, &tooSmall, 1), PLAYER_E_VIDEO_DECODER_INIT);
}

TEST(VideoDecoderWrapper, KeyFrameGateAfterFlush) {
    VideoTrackInfo t = Track(VideoFourCC('M', 'P', '4', 'V'), 176, 144, VolBytes());
    VideoDecoder* d = nullptr;
    ASSERT_EQ(VideoDecoder_Create(&d, nullptr, &t, 1), 0);
    std::vector<uint8_t> p = NotCoded(1, 1), i = NotCoded(0, 2), p2 = NotCoded(1, 3);
    MediaSample sp = Sample(p, 40);
    EXPECT_EQ(VideoDecoder_Decode(d, &sp), PLAYER_E_FRAME_LATE);
    EXPECT_EQ(sp.length, 0u);
    MediaSample si = Sample(i, 80);
    EXPECT_EQ(VideoDecoder_Decode(d, &si), 0);
    DecodedFrame f = {};
    EXPECT_EQ(VideoDecoder_DecodePacket(d, &si, &f), 0);
    EXPECT_EQ(f.y, nullptr);  // the first packet after a flush gives no picture
    MediaSample sp2 = Sample(p2, 120);
    EXPECT_EQ(VideoDecoder_Decode(d, &sp2), 0);
    EXPECT_EQ(VideoDecoder_DecodePacket(d, &sp2, &f), 0);
    ASSERT_NE(f.y, nullptr);
    EXPECT_EQ(f.time, 80u);  // the picture leaving carries the previous packet's time
    EXPECT_EQ(f.stride, 176u);
    MediaSample empty = {};
    EXPECT_EQ(VideoDecoder_Decode(d, &empty), PLAYER_E_FRAME_LATE);
    VideoDecoder_Flush(d);
    std::vector<uint8_t> p3 = NotCoded(1, 4);
    MediaSample sp3 = Sample(p3, 160);
    EXPECT_EQ(VideoDecoder_Decode(d, &sp3), PLAYER_E_FRAME_LATE);
    VideoDecoder_Destroy(d);
}

TEST(VideoDecoderWrapper, TwoPicturesInOnePacket) {
    struct Row {
        const char* name;
        uint32_t rate, advance;
    } rows[] = {{"25 fps", 25000, 40}, {"unknown rate", 0, 0}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        VideoTrackInfo t = Track(VideoFourCC('M', 'P', '4', 'V'), 176, 144, VolBytes(), r.rate);
        VideoDecoder* d = nullptr;
        ASSERT_EQ(VideoDecoder_Create(&d, nullptr, &t, 1), 0);
        std::vector<uint8_t> both = NotCoded(0, 0);
        std::vector<uint8_t> second = NotCoded(1, 1);
        both.insert(both.end(), second.begin(), second.end());
        MediaSample s = Sample(both, 1000);
        DecodedFrame f = {};
        EXPECT_EQ(VideoDecoder_DecodePacket(d, &s, &f), PLAYER_E_PACKET_PENDING);
        EXPECT_EQ(s.length, uint32_t(second.size()));
        EXPECT_EQ(s.time, 1000u + r.advance);
        EXPECT_EQ(VideoDecoder_DecodePacket(d, &s, &f), 0);
        EXPECT_EQ(s.length, 0u);
        VideoDecoder_Destroy(d);
    }
}

TEST(VideoDecoderWrapper, DecodesAStream) {
    std::string path = std::string(DC_TESTDATA) + "/video/mpeg4_ip_short.m4v";
    FILE* fp = fopen(path.c_str(), "rb");
    if (!fp) GTEST_SKIP() << "conformance streams not generated yet";
    std::vector<uint8_t> s(1 << 21);
    s.resize(fread(s.data(), 1, s.size(), fp));
    fclose(fp);
    std::vector<size_t> vops;
    for (size_t i = 0; i + 3 < s.size(); ++i)
        if (s[i] == 0 && s[i + 1] == 0 && s[i + 2] == 1 && s[i + 3] == 0xB6) vops.push_back(i);
    ASSERT_GT(vops.size(), 10u);
    std::vector<uint8_t> config(s.begin(), s.begin() + long(vops[0]));
    VideoTrackInfo t = Track(VideoFourCC('M', 'P', '4', 'V'), 352, 288, config);
    VideoDecoder* d = nullptr;
    ASSERT_EQ(VideoDecoder_Create(&d, nullptr, &t, 1), 0);
    int pictures = 0;
    uint32_t last = 0;
    for (size_t k = 0; k < vops.size(); ++k) {
        size_t end = k + 1 < vops.size() ? vops[k + 1] : s.size();
        std::vector<uint8_t> unit(s.begin() + long(vops[k]), s.begin() + long(end));
        MediaSample m = Sample(unit, uint32_t(k * 40));
        if (VideoDecoder_Decode(d, &m) != 0) continue;
        PlayerResult r;
        do {
            DecodedFrame f = {};
            r = VideoDecoder_DecodePacket(d, &m, &f);
            if (f.y) {
                ++pictures;
                EXPECT_GE(f.time, last);
                last = f.time;
            }
        } while (r == PLAYER_E_PACKET_PENDING);
    }
    EXPECT_EQ(pictures, int(vops.size()) - 1);
    VideoDecoder_Destroy(d);
}

TEST(VideoDecoderWrapper, RawYuv) {
    const int w = 8, h = 4;
    VideoTrackInfo t = Track(VideoFourCC('Y', 'U', 'Y', '2'), w, h, {});
    VideoDecoder* d = nullptr;
    ASSERT_EQ(VideoDecoder_Create(&d, nullptr, &t, 1), 0);
    EXPECT_EQ(t.outputFourCC, VideoFourCC('I', '4', '2', '0'));
    std::vector<uint8_t> yuy2(size_t(2 * w * h));
    for (size_t i = 0; i < yuy2.size(); ++i) yuy2[i] = uint8_t(i);
    MediaSample m = Sample(yuy2, 500);
    DecodedFrame f = {};
    EXPECT_EQ(VideoDecoder_Decode(d, &m), 0);
    EXPECT_EQ(VideoDecoder_DecodePacket(d, &m, &f), 0);
    ASSERT_NE(f.y, nullptr);
    EXPECT_EQ(f.y[1], yuy2[2]);
    EXPECT_EQ(f.u[0], yuy2[1]);
    EXPECT_EQ(f.v - f.u, w * h / 4);
    EXPECT_EQ(f.time, 500u);
    EXPECT_EQ(f.stride, uint32_t(w));
    // A sample shorter than a picture is dropped, not read past its end.
    std::vector<uint8_t> shortSample(10);
    MediaSample ms = Sample(shortSample, 540);
    EXPECT_EQ(VideoDecoder_DecodePacket(d, &ms, &f), PLAYER_E_STREAM_SYNTAX);
    VideoDecoder_Destroy(d);
    // YV12 keeps its FourCC and is used in place.
    VideoTrackInfo yv = Track(VideoFourCC('Y', 'V', '1', '2'), w, h, {});
    ASSERT_EQ(VideoDecoder_Create(&d, nullptr, &yv, 1), 0);
    EXPECT_EQ(yv.outputFourCC, VideoFourCC('Y', 'V', '1', '2'));
    std::vector<uint8_t> planar(size_t(w * h * 3 / 2), 7);
    MediaSample mp = Sample(planar, 0);
    EXPECT_EQ(VideoDecoder_DecodePacket(d, &mp, &f), 0);
    EXPECT_EQ(f.y, planar.data());
    VideoDecoder_Destroy(d);
}

TEST(VideoDecoderWrapper, FrameDuration) {
    EXPECT_EQ(VideoDecoder_FrameDuration(30000), 33u);
    EXPECT_EQ(VideoDecoder_FrameDuration(29970), 33u);
    EXPECT_EQ(VideoDecoder_FrameDuration(25000), 40u);
    EXPECT_EQ(VideoDecoder_FrameDuration(0), 0u);
}

}  // namespace
