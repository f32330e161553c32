// The renderer's own speed and format path, for a device that cannot change
// its rate: blocks are resampled so they play faster or slower, and a
// stereo source meets a mono output as the average of its channels.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "engine/output/audio_renderer.h"
#include "engine/player.h"

namespace {

struct Written {
    std::vector<uint32_t> counts;
    std::vector<int16_t> left;
    bool sawRight = false;
};
Written* g_out;

// A device with no speed, volume or mute control.
const AudioOutputDevice kFixedRateDevice = {
    [](AudioRenderer*) -> int32_t { return 0; },
    [](AudioRenderer*) {},
    [](AudioRenderer*) -> uint32_t { return 1u << 30; },
    [](AudioRenderer*, const int16_t* a, const int16_t* b, uint32_t n) {
        g_out->counts.push_back(n);
        g_out->left.insert(g_out->left.end(), a, a + n);
        if (b) g_out->sawRight = true;
        return 1;
    },
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

class RendererSpeed : public ::testing::Test {
protected:
    void SetUp() override {
        g_out = &out;
        AudioRenderer_RegisterDevice(AUDIO_DEVICE_WAVEOUT, &kFixedRateDevice);
    }
    void TearDown() override {
        AudioRenderer_Destroy(r);
        AudioRenderer_RegisterDevice(AUDIO_DEVICE_WAVEOUT, nullptr);
    }
    void Make(uint32_t rate, uint32_t channels) {
        AudioRendererFormat f = {rate, channels, 1024, (rate / (1024 * 20) + 1) * 1024};
        ASSERT_EQ(0, AudioRenderer_Create(&r, &f, nullptr, 0));
        ASSERT_EQ(0, AudioRenderer_SetDevice(r, AUDIO_DEVICE_WAVEOUT));
    }
    // Writes planar blocks of a tone, as the audio path hands them over.
    void WriteTone(uint32_t blocks, uint32_t n, uint32_t channels) {
        for (uint32_t b = 0; b < blocks; ++b) {
            std::vector<int16_t> l(n), rr(n);
            for (uint32_t i = 0; i < n; ++i) {
                double t = double(b * n + i);
                l[i] = int16_t(8000 * std::sin(t * 0.05));
                rr[i] = int16_t(-3000 * std::sin(t * 0.031));
            }
            PcmBlock blk = {nullptr, l.data(), channels == 2 ? rr.data() : nullptr, n, n, b * 20};
            ASSERT_EQ(1, AudioRenderer_Write(r, &blk));
            ASSERT_EQ(0u, blk.count);
        }
    }
    uint64_t Total() const {
        uint64_t t = 0;
        for (uint32_t c : out.counts) t += c;
        return t;
    }
    Written out;
    AudioRenderer* r = nullptr;
};

struct SpeedCase {
    const char* name;
    uint32_t rate, channels, speed, blockSamples;
    double ratio;  // output samples per input sample
};

TEST_F(RendererSpeed, BlockLengthsScaleInverselyWithTheSpeed) {
    const SpeedCase cases[] = {
        {"48 kHz stereo at half speed", 48000, 2, 50, 1024, 2.0},
        {"48 kHz stereo at double speed", 48000, 2, 200, 1024, 0.5},
        {"44.1 kHz mono at half speed", 44100, 1, 50, 2048, 2.0},
        {"22.05 kHz mono at double speed", 22050, 1, 200, 1024, 0.5},
        {"32 kHz stereo at 150 %", 32000, 2, 150, 1536, 100.0 / 150.0},
    };
    for (const SpeedCase& k : cases) {
        SCOPED_TRACE(k.name);
        out = Written{};
        AudioRenderer_Destroy(r);
        r = nullptr;
        Make(k.rate, k.channels);
        ASSERT_EQ(1, AudioRenderer_SetSpeed(r, k.speed));
        const uint32_t blocks = 30;
        WriteTone(blocks, k.blockSamples, k.channels);
        // Each block comes out scaled, give or take the filter's delay.
        ASSERT_FALSE(out.counts.empty());
        for (size_t i = 1; i < out.counts.size(); ++i)
            EXPECT_NEAR(double(out.counts[i]), k.blockSamples * k.ratio, 20.0) << "block " << i;
        EXPECT_NEAR(double(Total()), double(blocks) * k.blockSamples * k.ratio, 40.0);
        EXPECT_EQ(k.channels == 2, out.sawRight);
        // The device was not asked to change anything: its rate stays.
        EXPECT_EQ(k.rate, r->outRate);
    }
}

TEST_F(RendererSpeed, BackToNormalSpeedPassesBlocksUnchanged) {
    Make(48000, 2);
    ASSERT_EQ(1, AudioRenderer_SetSpeed(r, 200));
    WriteTone(3, 1024, 2);
    ASSERT_EQ(1, AudioRenderer_SetSpeed(r, 100));
    out = Written{};
    std::vector<int16_t> l(1024, 1234), rr(1024, -1);
    PcmBlock blk = {nullptr, l.data(), rr.data(), 1024, 1024, 0};
    ASSERT_EQ(1, AudioRenderer_Write(r, &blk));
    ASSERT_EQ(1u, out.counts.size());
    EXPECT_EQ(1024u, out.counts[0]);
    EXPECT_EQ(1234, out.left[0]);
}

TEST_F(RendererSpeed, StereoSourceToMonoOutputIsTheFlooredMean) {
    Make(44100, 2);
    AudioOutConfig cfg = {};
    cfg.flags = 0x8;  // output rate and channels
    cfg.fields[3] = 44100;
    cfg.fields[4] = 1;
    ASSERT_EQ(1, AudioRenderer_SetConfig(r, &cfg));
    EXPECT_EQ(1u, r->outChannels.load());
    // Odd sums and negative values show the rounding: toward minus infinity.
    const int16_t L[] = {1, -1, 32767, -32768, 7, -7, 100, 0};
    const int16_t R[] = {0, 0, 32767, -32768, -8, 8, 101, -1};
    const int16_t want[] = {0, -1, 32767, -32768, -1, 0, 100, -1};
    std::vector<int16_t> l(L, L + 8), rr(R, R + 8);
    PcmBlock blk = {nullptr, l.data(), rr.data(), 8, 8, 0};
    ASSERT_EQ(1, AudioRenderer_Write(r, &blk));
    ASSERT_EQ(1u, out.counts.size());
    EXPECT_EQ(8u, out.counts[0]);
    EXPECT_FALSE(out.sawRight);
    EXPECT_EQ(std::vector<int16_t>(want, want + 8), out.left);
}

TEST_F(RendererSpeed, VolumeWithoutADeviceControlGoesToTheEffectsStage) {
    Make(48000, 2);
    AudioOutConfig cfg = {};
    cfg.flags = 0x2 | 0x10 | 0x20 | 0x40 | 0x400 | 0x800;
    cfg.fields[1] = 0x80008000u;
    cfg.fields[9] = 1;   // first switch on
    cfg.fields[13] = 0;  // last switch off
    EXPECT_EQ(1, AudioRenderer_SetConfig(r, &cfg));
    EXPECT_EQ(0x80008000u, r->effects->volume);
    EXPECT_EQ(1u, r->effects->switches[0]);
    EXPECT_EQ(0u, r->effects->switches[4]);
    // The stage changes no sample.
    std::vector<int16_t> l(64, 321), rr(64, -321);
    PcmBlock blk = {nullptr, l.data(), rr.data(), 64, 64, 0};
    ASSERT_EQ(1, AudioRenderer_Write(r, &blk));
    EXPECT_EQ(std::vector<int16_t>(64, 321), out.left);
}

}  // namespace
