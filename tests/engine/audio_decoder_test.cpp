// Audio decoder wrapper with the AAC and PCM adapters.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/decode/audio_decoder.h"
#include "engine/output/audio_renderer.h"
#include "engine/player_result.h"
#include "tests/codecs/aac/aac_test_util.h"
#include "tests/codecs/aac/aac_writer.h"

using namespace aactest;

namespace {

struct Area {
    std::vector<int16_t> l = std::vector<int16_t>(8192), r = std::vector<int16_t>(8192);
    PcmBlock Make(uint32_t room) {
        PcmBlock b = {};
        b.left = l.data();
        b.right = r.data();
        b.room = room;
        return b;
    }
};

AudioTrackInfo Track(uint32_t codec, uint32_t rate, uint32_t ch, uint32_t bits = 16) {
    AudioTrackInfo t;
    memset(&t, 0, sizeof(t));
    t.codec = codec;
    t.sampleRate = rate;
    t.channels = ch;
    t.bitsPerSample = bits;
    return t;
}

TEST(AudioDecoder, UnsupportedTag) {
    AudioTrackInfo t = Track(85, 44100, 2);
    std::vector<uint8_t> d(100);
    MediaSample s = {d.data(), 100, 100, 0, 0, 0, TRACK_TYPE_AUDIO, 0};
    AudioDecoder* dec = (AudioDecoder*)1;
    EXPECT_EQ(AudioDecoder_Create(&dec, &s, &t), PLAYER_E_UNSUPPORTED_AUDIO_CODEC);
    EXPECT_EQ(dec, nullptr);
}

TEST(AudioDecoder, PcmPackets) {
    struct Row {
        const char* name;
        uint32_t bits, ch, bytes, room;
        uint32_t count;
        int32_t result;
    } rows[] = {
        {"16-bit stereo 4000 bytes", 16, 2, 4000, 4096, 1000, 0},
        {"16-bit mono, more than the room", 16, 1, 4000, 1500, 1500, PLAYER_E_PACKET_PENDING},
        {"8-bit stereo", 8, 2, 400, 4096, 200, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AudioTrackInfo t = Track(1, 8000, row.ch, row.bits);
        std::vector<uint8_t> d(row.bytes, 0x80);
        MediaSample s = {d.data(), row.bytes, row.bytes, 1000, 0, 0, TRACK_TYPE_AUDIO, 0};
        AudioDecoder* dec = nullptr;
        ASSERT_EQ(AudioDecoder_Create(&dec, &s, &t), 0);
        EXPECT_EQ(t.samplesPerFrame, 160u);
        Area a;
        PcmBlock b = a.Make(row.room);
        EXPECT_EQ(AudioDecoder_Decode(dec, &s, &b), row.result);
        EXPECT_EQ(b.count, row.count);
        EXPECT_EQ(b.timeMs, 1000u);
        if (row.bits == 8) {
            EXPECT_EQ(a.l[0], 0);  // 0x80 is the 8-bit zero
        }
        AudioDecoder_Destroy(dec);
    }
}

TEST(AudioDecoder, AdtsPacketsFrameByFrame) {
    EnsureStreams();
    std::vector<uint8_t> d = ReadFile(StreamDir() + "/mono48.aac");
    if (d.empty()) GTEST_SKIP();
    auto frames = AdtsFrames(d);
    ASSERT_GT(frames.size(), 20u);
    // one packet of ten frames
    uint32_t len = (uint32_t)(frames[10].first - frames[0].first);
    MediaSample s = {d.data(), len, len, 500, 0, 0, TRACK_TYPE_AUDIO, 0};
    AudioTrackInfo t = Track(255, 0, 0);
    AudioDecoder* dec = nullptr;
    ASSERT_EQ(AudioDecoder_Create(&dec, &s, &t), 0);
    EXPECT_EQ(t.sampleRate, 48000u);
    EXPECT_EQ(t.channels, 1u);
    EXPECT_EQ(t.samplesPerFrame, 1024u);
    EXPECT_EQ(t.pcmBufferSamples, (48000u / (1024 * 20) + 1) * 1024);
    Area a;
    // room for four frames: the first call decodes five (the first gives no
    // PCM) and keeps the packet
    PcmBlock b = a.Make(4096);
    EXPECT_EQ(AudioDecoder_Decode(dec, &s, &b), PLAYER_E_PACKET_PENDING);
    EXPECT_EQ(b.count, 4096u);
    EXPECT_EQ(b.timeMs, 500u);
    PcmBlock b2 = a.Make(8192);
    EXPECT_EQ(AudioDecoder_Decode(dec, &s, &b2), 0);
    EXPECT_EQ(b2.count, 5u * 1024);
    EXPECT_EQ(b2.timeMs, 500u + 4096u * 1000 / 48000);
    EXPECT_EQ(s.length, 0u);
    AudioDecoder_Destroy(dec);
}

TEST(AudioDecoder, RawAccessUnitsUseTheWholePacket) {
    // a raw access unit followed by junk: the packet is one access unit
    SceOptions o;
    std::vector<uint8_t> adts = SilentFrame(4);
    std::vector<uint8_t> raw(adts.begin() + 7, adts.end());
    raw.push_back(0xAA);
    AudioTrackInfo t = Track(255, 0, 0);
    t.config[0] = 0x12;  // AAC LC, 44100 Hz, 2 channels... one channel here:
    t.config[1] = 0x08;
    t.configLength = 2;
    MediaSample s = {
        raw.data(), (uint32_t)raw.size(), (uint32_t)raw.size(), 0, 0, 0, TRACK_TYPE_AUDIO, 0};
    AudioDecoder* dec = nullptr;
    ASSERT_EQ(AudioDecoder_Create(&dec, &s, &t), 0);
    EXPECT_EQ(t.sampleRate, 44100u);
    EXPECT_EQ(t.channels, 1u);
    Area a;
    for (int i = 0; i < 3; i++) {
        MediaSample p = {raw.data(),
                         (uint32_t)raw.size(),
                         (uint32_t)raw.size(),
                         (uint32_t)(i * 23),
                         0,
                         0,
                         TRACK_TYPE_AUDIO,
                         0};
        PcmBlock b = a.Make(4096);
        int32_t r = AudioDecoder_Decode(dec, &p, &b);
        EXPECT_EQ(p.length, 0u);
        if (i == 0) {
            EXPECT_EQ(r, PLAYER_E_AUDIO_DECODE);  // the decoder's one frame of delay
        } else {
            EXPECT_EQ(r, 0);
            EXPECT_EQ(b.count, 1024u);
        }
    }
    AudioDecoder_Destroy(dec);
}

// An HE-AAC v2 stream (FFmpeg's AAC-LC with SBR and parametric stereo
// spliced in by sbrsplice), made once per build tree.
std::vector<uint8_t> PsStream() {
    const std::string dir = std::string(DC_TESTDATA) + "/audio_decoder_ps";
    const std::string lc = dir + "/mono.aac", v2 = dir + "/v2.aac";
    if (ReadFile(v2).empty()) {
        std::string cmd = "mkdir -p '" + dir +
                          "' && ffmpeg -nostdin -v error -y -f lavfi -i "
                          "'sine=frequency=440:sample_rate=24000:duration=2' -ac 1 -c:a aac "
                          "-b:a 32k -threads 1 -flags +bitexact -f adts '" +
                          lc + "' && '" + DC_BINARY_DIR + "/tools/sbrsplice/sbrsplice' '" + lc +
                          "' '" + v2 + "' --ps --seed 5 --quiet-noise > /dev/null";
        if (std::system(cmd.c_str()) != 0) return {};
    }
    return ReadFile(v2);
}

// Decodes frames [from, to) of an ADTS stream, one packet each, and returns
// the left plane's samples.
std::vector<int16_t> DecodeFrames(AudioDecoder* dec, std::vector<uint8_t>& d,
                                  const std::vector<std::pair<size_t, int32_t>>& frames,
                                  size_t from, size_t to) {
    std::vector<int16_t> out;
    Area a;
    for (size_t i = from; i < to; ++i) {
        MediaSample p = {d.data() + frames[i].first,
                         (uint32_t)frames[i].second,
                         (uint32_t)frames[i].second,
                         (uint32_t)(i * 85),
                         0,
                         0,
                         TRACK_TYPE_AUDIO,
                         0};
        PcmBlock b = a.Make(8192);
        AudioDecoder_Decode(dec, &p, &b);
        out.insert(out.end(), a.l.begin(), a.l.begin() + b.count);
    }
    return out;
}

TEST(AudioDecoder, ResetReinitialisesAParametricStereoDecoder) {
#ifdef _WIN32
    GTEST_SKIP() << "the stream is made with host tools";
#endif
    std::vector<uint8_t> d = PsStream();
    auto frames = AdtsFrames(d);
    ASSERT_GE(frames.size(), 40u) << "no HE-AAC v2 stream";
    // One decoder through the first 20 frames, then reset.
    AudioTrackInfo t = Track(255, 0, 0);
    MediaSample first = {
        d.data(), (uint32_t)frames[0].second, (uint32_t)frames[0].second, 0, 0, 0, TRACK_TYPE_AUDIO,
        0};
    AudioDecoder* dec = nullptr;
    ASSERT_EQ(0, AudioDecoder_Create(&dec, &first, &t));
    EXPECT_EQ(253u, t.codec);
    EXPECT_EQ(48000u, t.sampleRate);
    EXPECT_EQ(2u, t.channels);
    EXPECT_EQ(2048u, t.samplesPerFrame);
    ASSERT_FALSE(DecodeFrames(dec, d, frames, 0, 20).empty());
    EXPECT_EQ(1, AudioDecoder_Reset(dec));
    std::vector<uint8_t> copy = d;
    std::vector<int16_t> afterReset = DecodeFrames(dec, copy, frames, 20, 40);
    EXPECT_EQ(48000u, dec->outputRate);
    EXPECT_EQ(2u, dec->channels);
    // A fresh decoder from frame 20 gives the same samples: the reset left
    // nothing of the earlier frames and set the core up at the halved rate
    // and channel count again.
    AudioTrackInfo t2 = Track(255, 0, 0);
    MediaSample at20 = {d.data() + frames[20].first,
                        (uint32_t)frames[20].second,
                        (uint32_t)frames[20].second,
                        0,
                        0,
                        0,
                        TRACK_TYPE_AUDIO,
                        0};
    AudioDecoder* fresh = nullptr;
    ASSERT_EQ(0, AudioDecoder_Create(&fresh, &at20, &t2));
    // (Its record may say 254: frame 20 need not carry the stereo header.)
    std::vector<int16_t> fromFresh = DecodeFrames(fresh, d, frames, 20, 40);
    ASSERT_FALSE(fromFresh.empty());
    EXPECT_EQ(fromFresh, afterReset);
    AudioDecoder_Destroy(fresh);
    AudioDecoder_Destroy(dec);
}

}  // namespace
