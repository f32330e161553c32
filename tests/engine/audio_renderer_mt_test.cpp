// Audio renderer against a recording device: the block ring and the clock
// syncs it drives, the writer's wait, flush, mute and configuration.
#include "engine/output/audio_renderer.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/output/clock.h"
#include "engine/player.h"

namespace {

// A clock whose ticks stand still, so only syncs move it.
struct TestClock {
    TestClock() {
        c = Clock_Create(0, 100);
        Clock_SetTickSource(
            c, [](void*) -> uint32_t { return 1000; }, nullptr);
    }
    ~TestClock() { Clock_Destroy(c); }
    MediaClock* c;
};

struct RecordingDevice {
    std::atomic<uint32_t> freeBytes{1u << 30};
    std::atomic<uint32_t> freeAfterReset{0};  // 0: a reset leaves freeBytes alone
    int32_t openResult = 0;
    std::atomic<int> opens{0}, closes{0}, pauses{0}, resets{0}, restarts{0}, speeds{0};
    std::vector<uint32_t> writes;  // samples per write
    std::vector<int16_t> firstSample;
    uint32_t volume = 0, muteCalls = 0;
};

RecordingDevice* g_dev;

const AudioOutputDevice kDevice = {
    [](AudioRenderer* r) -> int32_t {
        r->device = g_dev;
        ++g_dev->opens;
        return g_dev->openResult;
    },
    [](AudioRenderer* r) {
        ++g_dev->closes;
        r->device = nullptr;
    },
    [](AudioRenderer*) -> uint32_t { return g_dev->freeBytes; },
    [](AudioRenderer*, const int16_t* a, const int16_t*, uint32_t n) {
        g_dev->writes.push_back(n);
        g_dev->firstSample.push_back(a[0]);
        return 1;
    },
    [](AudioRenderer*) {
        ++g_dev->pauses;
        return 1;
    },
    [](AudioRenderer*) {
        ++g_dev->resets;
        if (g_dev->freeAfterReset) g_dev->freeBytes = g_dev->freeAfterReset.load();
        return 1;
    },
    [](AudioRenderer*) {
        ++g_dev->restarts;
        return 1;
    },
    [](AudioRenderer*, uint32_t) {
        ++g_dev->speeds;
        return 1;
    },
    [](AudioRenderer*) -> uint32_t { return g_dev->volume; },
    [](AudioRenderer*, uint32_t v) {
        g_dev->volume = v;
        return 1;
    },
    nullptr,
    [](AudioRenderer*, uint32_t) {
        ++g_dev->muteCalls;
        return 1;
    },
};

class AudioRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_dev = &dev;
        AudioRenderer_RegisterDevice(AUDIO_DEVICE_WAVEOUT, &kDevice);
    }
    void TearDown() override {
        AudioRenderer_Destroy(r);
        AudioRenderer_RegisterDevice(AUDIO_DEVICE_WAVEOUT, nullptr);
    }
    void Make(uint32_t rate, uint32_t channels, MediaClock* clock) {
        AudioRendererFormat f = {rate, channels, 1024, (rate / (1024 * 20) + 1) * 1024};
        ASSERT_EQ(0, AudioRenderer_Create(&r, &f, clock, 0));
        ASSERT_EQ(0, AudioRenderer_SetDevice(r, AUDIO_DEVICE_WAVEOUT));
    }
    // Writes a stereo block of n samples at time t.
    int WriteBlock(uint32_t n, uint32_t t, int16_t value = 7) {
        left.assign(n, value);
        right.assign(n, value);
        PcmBlock b = {nullptr, left.data(), right.data(), n, n, t};
        int ok = AudioRenderer_Write(r, &b);
        lastCount = b.count;
        return ok;
    }
    RecordingDevice dev;
    TestClock tclock;
    MediaClock* clock = tclock.c;
    AudioRenderer* r = nullptr;
    std::vector<int16_t> left, right;
    uint32_t lastCount = 0;
};

TEST_F(AudioRendererTest, DeviceBufferHoldsHalfASecondInWholePcmBuffers) {
    Make(48000, 2, clock);
    EXPECT_EQ(3072u, r->pcmBufferSize);
    EXPECT_EQ(98304u, r->deviceBufferBytes);
    EXPECT_EQ(1, dev.opens);
}

TEST_F(AudioRendererTest, PlayedReportsEmptyTheRingAndSyncTheClock) {
    struct Case {
        const char* name;
        std::vector<uint32_t> reports;  // played bytes, one report each
        uint32_t ringCount;
        uint32_t lastSync;  // the time the clock was last synchronised to
    };
    // Three stereo blocks of 1000 samples (4000 bytes) at 0, 100 and 200 ms.
    const Case cases[] = {
        {"block_boundary_syncs_next", {4000}, 2, 100},
        {"mid_block_only_shortens", {2000}, 3, 7},
        {"two_halves_make_a_block", {2000, 2000}, 2, 100},
        {"zero_bytes_removes_head", {0}, 2, 100},
        {"all_played_syncs_each", {12000}, 0, 200},
        {"report_beyond_ring", {40000}, 0, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestClock k;
        Clock_SetTime(k.c, 7);
        Make(48000, 2, k.c);
        for (uint32_t t : {0u, 100u, 200u}) ASSERT_EQ(1, WriteBlock(1000, t));
        for (uint32_t b : c.reports) AudioRenderer_ConsumePlayed(r, b);
        EXPECT_EQ(c.ringCount, AudioRenderer_RingCount(r));
        EXPECT_EQ(c.lastSync, k.c->lastSync);
        AudioRenderer_Destroy(r);
        r = nullptr;
    }
}

TEST_F(AudioRendererTest, WithoutClockTheRingStaysEmpty) {
    Make(44100, 2, nullptr);
    ASSERT_EQ(1, WriteBlock(1000, 0));
    EXPECT_EQ(0u, lastCount) << "the block is marked taken";
    EXPECT_EQ(0u, AudioRenderer_RingCount(r));
    EXPECT_EQ(1, AudioRenderer_IsDrained(r));
    AudioRenderer_ConsumePlayed(r, 4000);
}

TEST_F(AudioRendererTest, DrainedMeansAtMostOneBlockForTheWaveOutput) {
    Make(44100, 2, clock);
    WriteBlock(100, 0);
    WriteBlock(100, 10);
    EXPECT_EQ(0, AudioRenderer_IsDrained(r));
    EXPECT_EQ(1u, r->drain.load());
    AudioRenderer_ConsumePlayed(r, 400);
    EXPECT_EQ(1, AudioRenderer_IsDrained(r));
}

TEST_F(AudioRendererTest, FullRingBlocksTheWriterUntilABlockIsPlayed) {
    Make(44100, 2, clock);
    for (uint32_t i = 0; i < AUDIO_RING_ENTRIES; ++i) ASSERT_EQ(1, WriteBlock(10, i * 10));
    std::atomic<int> done{0};
    std::thread writer([&] {
        std::vector<int16_t> a(10), b(10);
        PcmBlock blk = {nullptr, a.data(), b.data(), 10, 10, 200};
        AudioRenderer_Write(r, &blk);
        done = 1;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(0, done.load()) << "a full ring must hold the writer even with device room";
    // Pause and resume reach the device while the writer waits.
    EXPECT_EQ(1, AudioRenderer_Pause(r));
    EXPECT_EQ(1, AudioRenderer_Resume(r));
    AudioRenderer_ConsumePlayed(r, 0);
    writer.join();
    EXPECT_EQ(1, done.load());
    EXPECT_EQ(AUDIO_RING_ENTRIES, AudioRenderer_RingCount(r));
}

TEST_F(AudioRendererTest, FlushAbortsAWaitingWriter) {
    Make(44100, 2, clock);
    dev.freeBytes = 0;
    std::atomic<int> result{-1};
    std::atomic<uint32_t> count{99};
    std::thread writer([&] {
        std::vector<int16_t> a(10), b(10);
        PcmBlock blk = {nullptr, a.data(), b.data(), 10, 10, 0};
        result = AudioRenderer_Write(r, &blk);
        count = blk.count;
    });
    while (true) {
        {
            OsLockGuard g(r->ringLock);
            if (r->writerWaiting) break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(1, AudioRenderer_Flush(r));
    writer.join();
    EXPECT_EQ(1, result.load());
    EXPECT_EQ(0u, count.load());
    EXPECT_EQ(1, dev.resets);
    EXPECT_TRUE(dev.writes.empty());
}

// A flush that empties a full device while the writer is between finding
// no room and waiting for it: nothing plays from an empty device, so no
// played report would ever wake the writer. The test holds the renderer
// lock while the writer and the flush queue up for it, in either order;
// whichever goes first, the writer comes back.
TEST_F(AudioRendererTest, FlushRacingAWriterNeverLeavesItWaiting) {
    Make(44100, 2, clock);
    std::vector<int16_t> a(10), b(10);
    dev.freeAfterReset = 1u << 30;  // a reset empties the device
    for (int round = 0; round < 24; ++round) {
        dev.freeBytes = 0;  // full until the reset
        std::atomic<int> done{0};
        OS_Lock(r->lock);
        std::thread writer([&] {
            PcmBlock blk = {nullptr, a.data(), b.data(), 10, 10, 0};
            AudioRenderer_Write(r, &blk);
            done = 1;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(round % 2 ? 5 : 0));
        std::thread flusher([&] { AudioRenderer_Flush(r); });
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        OS_Unlock(r->lock);
        flusher.join();
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (!done) {
            AudioRenderer_AbortWrite(r);  // free the writer so the test can end
            writer.join();
            FAIL() << "the writer still waited for room after the flush, round " << round;
        }
        writer.join();
    }
}

TEST_F(AudioRendererTest, MuteUsesTheDeviceControlWhenOffered) {
    Make(44100, 2, clock);
    AudioOutConfig cfg = {};
    cfg.flags = 0x4;
    cfg.fields[2] = 1;
    EXPECT_EQ(1, AudioRenderer_SetConfig(r, &cfg));
    EXPECT_EQ(1u, dev.muteCalls);
    WriteBlock(10, 0, 1234);
    EXPECT_EQ(1234, dev.firstSample.back()) << "samples stay when the device mutes";

    r->ops.SetMute = nullptr;
    WriteBlock(10, 10, 1234);
    EXPECT_EQ(0, dev.firstSample.back()) << "software mute zeroes the block";
}

TEST_F(AudioRendererTest, ConfigurationInstallsTheDeviceAndReportsOpenErrors) {
    AudioRendererFormat f = {44100, 2, 1024, 3072};
    ASSERT_EQ(0, AudioRenderer_Create(&r, &f, clock, 0));
    AudioOutConfig cfg = {};
    cfg.flags = 0xFFFFFFFF;
    cfg.fields[0] = AUDIO_DEVICE_WAVEOUT;
    cfg.fields[1] = 0x80008000;
    EXPECT_EQ(1, AudioRenderer_SetConfig(r, &cfg));
    EXPECT_EQ(1, dev.opens);
    EXPECT_EQ(0x80008000u, dev.volume);
    uint32_t info[4] = {42, 0, 0, 0};
    EXPECT_EQ(1, AudioRenderer_GetInfo(r, info));
    EXPECT_EQ(42u, info[0]);
    EXPECT_EQ(2u, info[1]);
    EXPECT_EQ(0x80008000u, info[2]);

    dev.openResult = static_cast<int32_t>(0x8000003B);
    cfg.flags = 0x1;
    EXPECT_EQ(0, AudioRenderer_SetConfig(r, &cfg));
    EXPECT_EQ(1, dev.closes) << "the old device is closed before the reopen";
}

TEST_F(AudioRendererTest, SpeedGoesToTheDeviceOnlyWhenItChanges) {
    Make(44100, 2, clock);
    EXPECT_EQ(1, AudioRenderer_SetSpeed(r, 100));
    EXPECT_EQ(0, dev.speeds);
    EXPECT_EQ(1, AudioRenderer_SetSpeed(r, 200));
    EXPECT_EQ(1, dev.speeds);
    EXPECT_EQ(200u, r->speed.load());
}

TEST_F(AudioRendererTest, NullRendererAndEmptyBlocks) {
    PcmBlock b = {};
    EXPECT_EQ(0, AudioRenderer_Write(nullptr, &b));
    EXPECT_EQ(static_cast<int32_t>(0x80000000), AudioRenderer_SetDevice(nullptr, 2));
    EXPECT_EQ(0, AudioRenderer_IsDrained(nullptr));
    EXPECT_EQ(0, AudioRenderer_Pause(nullptr));
    Make(44100, 2, clock);
    EXPECT_EQ(0, AudioRenderer_Write(r, &b));
    EXPECT_EQ(7u, AudioRenderer_GetVersion());
}

}  // namespace
