// Video decoder wrapper with its MPEG-4 and raw YUV adapters.
#include "engine/decode/video_decoder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/decode/mp4v_adapter.h"
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
        memcpy(t.config, config.data(),
               config.size() < sizeof t.config ? config.size() : sizeof t.config);
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

// ---- the end of the stream

namespace drain {

struct Stream {
    std::vector<std::vector<uint8_t>> units;  // access units in decode order
    std::vector<uint8_t> config;
    std::vector<std::vector<uint8_t>> lumaRef;  // FFmpeg's decode, display order
};

constexpr uint32_t kW = 176, kH = 144, kFrames = 12, kFrameMs = 40;

// Makes (once) a short stream with FFmpeg and its reference decode.
Stream Make(const char* name, const char* options, bool h263) {
    Stream s;
    std::string dir = std::string(DC_TESTDATA) + "/video_drain";
    std::string path = dir + "/" + name + (h263 ? ".h263" : ".m4v");
    if (FILE* f = fopen(path.c_str(), "rb")) {
        fclose(f);
    } else {
        std::string cmd = "mkdir -p '" + dir +
                          "' && ffmpeg -nostdin -v error -y -f lavfi -i "
                          "testsrc2=size=176x144:rate=25 -frames:v " +
                          std::to_string(kFrames) + " -pix_fmt yuv420p -threads 1 " + options +
                          " -f " + (h263 ? "h263" : "m4v") + " '" + path + ".tmp' && mv '" + path +
                          ".tmp' '" + path + "'";
        if (std::system(cmd.c_str()) != 0) return s;
    }
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return s;
    std::vector<uint8_t> b(1 << 20);
    b.resize(fread(b.data(), 1, b.size(), f));
    fclose(f);
    // MPEG-4: each VOP begins a unit, with the headers FFmpeg repeats before
    // key frames, as in an MP4 sample; H.263: each picture start code (byte
    // aligned, group number 0).
    std::vector<size_t> starts;
    bool inHeaders = false;
    size_t firstVop = 0;
    for (size_t i = 0; i + 3 < b.size(); ++i) {
        if (b[i] != 0 || b[i + 1] != 0) continue;
        if (h263) {
            if ((b[i + 2] & 0xFC) == 0x80) starts.push_back(i);
            continue;
        }
        if (b[i + 2] != 1) continue;
        if (!inHeaders) starts.push_back(i);
        inHeaders = b[i + 3] != 0xB6;
        if (!inHeaders && !firstVop) firstVop = i;
    }
    if (starts.empty()) return s;
    if (!h263) s.config.assign(b.begin(), b.begin() + long(firstVop));
    for (size_t k = 0; k < starts.size(); ++k) {
        size_t from = starts[k], to = k + 1 < starts.size() ? starts[k + 1] : b.size();
        s.units.emplace_back(b.begin() + long(from), b.begin() + long(to));
    }
    FILE* p = popen(
        ("ffmpeg -nostdin -v error -i '" + path + "' -f rawvideo -pix_fmt yuv420p -").c_str(), "r");
    if (!p) return s;
    std::vector<uint8_t> frame(kW * kH * 3 / 2);
    while (fread(frame.data(), 1, frame.size(), p) == frame.size())
        s.lumaRef.emplace_back(frame.begin(), frame.begin() + kW * kH);
    pclose(p);
    return s;
}

double LumaDistance(const DecodedFrame& f, const std::vector<uint8_t>& ref) {
    double sum = 0;
    for (uint32_t y = 0; y < kH; ++y)
        for (uint32_t x = 0; x < kW; ++x)
            sum += std::abs(int(f.y[y * f.stride + x]) - int(ref[y * kW + x]));
    return sum / (kW * kH);
}

struct Shown {
    uint32_t time;
    double distance;  // from FFmpeg's picture for that time
};

}  // namespace drain

// Every picture of a stream comes out, the last one at the end-of-stream
// call, in display order with its time; a flush (a seek) lets no picture
// from before it out.
TEST(VideoDecoderWrapper, EndOfStreamReleasesTheHeldPicture) {
#if defined(_WIN32)
    GTEST_SKIP() << "the streams and their references come from the ffmpeg program (native build)";
#endif
    using namespace drain;
    struct Row {
        const char* name;
        const char* options;
        bool h263;
        int seekFrom;  // -1: none; else decoding stops after this many units and restarts at the next key frame
        bool drainHolds;  // the end-of-stream call gives a picture
    } rows[] = {
        {"MPEG-4 I and P", "-c:v mpeg4 -g 6 -q:v 4", false, -1, true},
        {"MPEG-4 with B-VOPs", "-c:v mpeg4 -g 12 -bf 2 -q:v 4", false, -1, true},
        {"H.263", "-c:v h263 -g 6 -q:v 4", true, -1, false},
        {"MPEG-4 after a seek", "-c:v mpeg4 -g 6 -q:v 4", false, 4, true},
        {"MPEG-4 with B-VOPs after a seek", "-c:v mpeg4 -g 6 -bf 2 -q:v 4", false, 3, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        std::string file = std::string(r.name);
        for (char& c : file) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        Stream s = Make(file.c_str(), r.options, r.h263);
        ASSERT_EQ(s.lumaRef.size(), size_t(kFrames)) << "ffmpeg could not make the stream";
        ASSERT_EQ(s.units.size(), size_t(kFrames));
        uint32_t fourcc =
            r.h263 ? VideoFourCC('H', '2', '6', '3') : VideoFourCC('M', 'P', '4', 'V');
        VideoTrackInfo t = Track(fourcc, kW, kH, s.config, 25000);
        MediaSample first = Sample(s.units[0], 0);
        VideoDecoder* d = nullptr;
        ASSERT_EQ(VideoDecoder_Create(&d, &first, &t, 1), 0);
        std::vector<Shown> shown;
        auto keep = [&](const DecodedFrame& f) {
            size_t i = f.time / kFrameMs;
            shown.push_back({f.time, i < s.lumaRef.size() ? LumaDistance(f, s.lumaRef[i]) : 1e9});
        };
        size_t k = 0;
        if (r.seekFrom >= 0) {
            for (; k < size_t(r.seekFrom); ++k) {
                MediaSample m = Sample(s.units[k], uint32_t(k * kFrameMs));
                ASSERT_EQ(VideoDecoder_Decode(d, &m), 0);
                DecodedFrame f = {};
                VideoDecoder_DecodePacket(d, &m, &f);
            }
            VideoDecoder_Flush(d);
            DecodedFrame stale = {};
            EXPECT_EQ(VideoDecoder_Drain(d, &stale), 0);
            EXPECT_EQ(stale.y, nullptr) << "a picture from before the seek came out";
        }
        size_t firstDecoded = kFrames;
        for (; k < s.units.size(); ++k) {
            MediaSample m = Sample(s.units[k], uint32_t(k * kFrameMs));
            if (VideoDecoder_Decode(d, &m) != 0) continue;
            if (firstDecoded == kFrames) firstDecoded = k;
            DecodedFrame f = {};
            ASSERT_EQ(VideoDecoder_DecodePacket(d, &m, &f), 0)
                << "unit " << k << " rest " << m.length << " of " << s.units[k].size();
            if (f.y) keep(f);
        }
        DecodedFrame last = {};
        EXPECT_EQ(VideoDecoder_Drain(d, &last), 0);
        EXPECT_EQ(last.y != nullptr, r.drainHolds);
        if (last.y) keep(last);
        DecodedFrame again = {};
        VideoDecoder_Drain(d, &again);
        EXPECT_EQ(again.y, nullptr) << "the held picture comes out once";

        ASSERT_LT(firstDecoded, size_t(kFrames));
        ASSERT_EQ(shown.size(), kFrames - firstDecoded)
            << "every picture from the key frame on, the last included";
        for (size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i].time, (firstDecoded + i) * kFrameMs) << "picture " << i;
            EXPECT_LT(shown[i].distance, 1.0)
                << "picture " << i << " is not FFmpeg's picture of its time";
        }
        VideoDecoder_Destroy(d);
    }
}
