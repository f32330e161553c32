// The real Windows outputs under Wine: the DirectDraw output puts a decoded
// picture and the frame text into the window; the wave output plays,
// reports played fragments, takes volume and reopens at a new speed; pause,
// resume, flush and close never hang.
#include <windows.h>
#include <mmsystem.h>

#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "engine/output/audio_renderer.h"
#include "engine/output/clock.h"
#include "engine/output/video_renderer.h"
#include "engine/player.h"
#include "engine/win_outputs.h"
#include "tests/harness/harness.h"

namespace {

const int kW = 160, kH = 120;

const char kText[] = "2024/03/15 09:30:00";
int g_textCalls = 0;
uint32_t g_textTime = 0;
void FrameText(uint32_t* timeMs, char* text, uint32_t* length) {
    ++g_textCalls;
    g_textTime = *timeMs;
    std::memcpy(text, kText, sizeof kText);
    *length = sizeof kText - 1;
}

// Overlong text: the whole buffer without a terminator and a length past it.
void RunawayText(uint32_t*, char* text, uint32_t* length) {
    std::memset(text, 'W', DDRAW_TEXT_BUFFER_SIZE);
    *length = 100000;
}

struct Yuv {
    std::vector<uint8_t> y, u, v;
    DecodedFrame frame = {};
    // Top half red, bottom half blue (BT.601 video range).
    Yuv() : y(kW * kH), u(kW * kH / 4), v(kW * kH / 4) {
        for (int r = 0; r < kH; ++r) std::memset(&y[r * kW], r < kH / 2 ? 81 : 41, kW);
        for (int r = 0; r < kH / 2; ++r) {
            std::memset(&u[r * kW / 2], r < kH / 4 ? 90 : 240, kW / 2);
            std::memset(&v[r * kW / 2], r < kH / 4 ? 240 : 110, kW / 2);
        }
        frame = {y.data(), u.data(), v.data(), kW, 1234};
    }
};

class DdrawOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = uitest::MakeTopWindow(300, 200, 2 * kW, 2 * kH);
        hwnd = window->hwnd();
        ASSERT_NE(nullptr, hwnd);
        DdrawOutput_Register();
        VideoRendererFormat f = {0, 0, kW, kH, nullptr, 0};
        ASSERT_EQ(0, VideoRenderer_Create(&vr, &f, 0));
        VideoOutConfig c = {};
        c.flags = VIDEO_CONFIG_DEVICE | VIDEO_CONFIG_WINDOW;
        c.fields[VIDEO_FIELD_DEVICE] = VIDEO_DEVICE_DDRAW;
        c.fields[VIDEO_FIELD_WINDOW] = reinterpret_cast<uintptr_t>(hwnd);
        ASSERT_EQ(1, VideoRenderer_SetConfig(vr, &c));
    }
    void TearDown() override {
        VideoRenderer_Destroy(vr);
        VideoRenderer_RegisterDevice(VIDEO_DEVICE_DDRAW, nullptr);
    }
    // Draws until the screen shows the picture's blue half with the window
    // at (left, top) (presentation may lag).
    bool DrawAndWait(const DecodedFrame& f, int left = 300, int top = 200) {
        for (int i = 0; i < 40; ++i) {
            EXPECT_EQ(0, VideoRenderer_DrawFrame(vr, &f));
            uitest::PumpFor(50);
            COLORREF c = uitest::ScreenPixel(left + kW - 10, top + 3 * kH / 4);
            if (GetBValue(c) > 180 && GetRValue(c) < 80) return true;
        }
        return false;
    }
    int RedTextPixels() {
        // The text lies in the top-left corner over the red half: count
        // pixels whose colour differs from the picture's red.
        int n = 0;
        HDC s = GetDC(nullptr);
        for (int y = 200; y < 200 + 16; ++y)
            for (int x = 300; x < 300 + kW; ++x) {
                COLORREF c = GetPixel(s, x, y);
                if (GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60) ++n;
            }
        ReleaseDC(nullptr, s);
        return n;
    }
    std::unique_ptr<uitest::RecordingWindow> window;
    HWND hwnd = nullptr;
    VideoRenderer* vr = nullptr;
};

TEST_F(DdrawOutputTest, PictureAppearsAtTheWindowCorner) {
    Yuv yuv;
    ASSERT_TRUE(DrawAndWait(yuv.frame));
    struct Point {
        const char* name;
        int x, y;
        bool red;
    } points[] = {{"top middle", kW / 2, kH / 3, true},
                  {"top right", kW - 8, kH / 4, true},
                  {"bottom left", 8, 3 * kH / 4, false},
                  {"bottom middle", kW / 2, kH - 8, false}};
    for (const Point& p : points) {
        COLORREF c = uitest::ScreenPixel(300 + p.x, 200 + p.y);
        SCOPED_TRACE(p.name);
        // Reference (255,0,0) / (0,0,255) from the BT.601 conversion; the
        // display's conversion and 5-6-5 rounding allow a wide margin.
        if (p.red) {
            EXPECT_GT(GetRValue(c), 180);
            EXPECT_LT(GetBValue(c), 80);
        } else {
            EXPECT_GT(GetBValue(c), 180);
            EXPECT_LT(GetRValue(c), 80);
        }
        EXPECT_LT(GetGValue(c), 80);
    }
}

// The output places each picture by the window's corner as it stands at
// the draw: after a move the next pictures appear at the new corner.
TEST_F(DdrawOutputTest, PictureFollowsTheWindowWhenItMoves) {
    Yuv yuv;
    ASSERT_TRUE(DrawAndWait(yuv.frame));
    const int left = 520, top = 330;
    SetWindowPos(hwnd, HWND_TOPMOST, left, top, 2 * kW, 2 * kH, SWP_NOACTIVATE);
    uitest::PumpFor(50);
    ASSERT_TRUE(DrawAndWait(yuv.frame, left, top)) << "no picture at the moved window";
    COLORREF topHalf = uitest::ScreenPixel(left + kW / 2, top + kH / 3);
    EXPECT_GT(GetRValue(topHalf), 180);
    EXPECT_LT(GetBValue(topHalf), 80);
}

TEST_F(DdrawOutputTest, FrameTextIsDrawnWithTheFrameTime) {
    Yuv yuv;
    // Blue picture top and bottom, so the red text stands out.
    std::memset(yuv.y.data(), 41, yuv.y.size());
    std::memset(yuv.u.data(), 240, yuv.u.size());
    std::memset(yuv.v.data(), 110, yuv.v.size());
    g_textCalls = 0;
    DdrawRendererSetTextCallback(FrameText);
    ASSERT_TRUE(DrawAndWait(yuv.frame));
    EXPECT_GT(g_textCalls, 0);
    EXPECT_EQ(1234u, g_textTime);
    EXPECT_GT(RedTextPixels(), 20);
}

TEST_F(DdrawOutputTest, RunawayTextStaysInsideTheBuffer) {
    Yuv yuv;
    DdrawRendererSetTextCallback(RunawayText);
    EXPECT_EQ(0, VideoRenderer_DrawFrame(vr, &yuv.frame));
    Yuv none;
    none.frame.u = nullptr;
    EXPECT_EQ(static_cast<int32_t>(0x80000000u), VideoRenderer_DrawFrame(vr, &none.frame));
}

// ---- wave output

struct AudioFixture {
    MediaClock* clock = nullptr;
    AudioRenderer* r = nullptr;
    bool ok = false;
    AudioFixture() {
        WaveOut_Register();
        clock = Clock_Create(0, 100);
        AudioRendererFormat f = {44100, 2, 1024, 4096};
        if (AudioRenderer_Create(&r, &f, clock, 0) < 0 || !r) return;
        ok = AudioRenderer_SetDevice(r, AUDIO_DEVICE_WAVEOUT) >= 0 && r->device;
    }
    ~AudioFixture() {
        AudioRenderer_Destroy(r);
        Clock_Destroy(clock);
        AudioRenderer_RegisterDevice(AUDIO_DEVICE_WAVEOUT, nullptr);
    }
    const WAVEFORMATEX& Format() const { return *static_cast<const WAVEFORMATEX*>(r->device); }
    void Write(uint32_t blocks, uint32_t t0) {
        std::vector<int16_t> pcm(2 * 1024);
        for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<int16_t>((i * 300) & 0x3FFF);
        for (uint32_t b = 0; b < blocks; ++b) {
            PcmBlock blk = {pcm.data(), nullptr, nullptr, 1024, 1024, t0 + b * 23};
            AudioRenderer_Write(r, &blk);
        }
    }
};

template <class F>
bool Within(int ms, F f) {
    auto fut = std::async(std::launch::async, f);
    return fut.wait_for(std::chrono::milliseconds(ms)) == std::future_status::ready;
}

TEST(WaveOutput, PlaysAndReportsPlayedFragments) {
    AudioFixture a;
    if (!a.ok) GTEST_SKIP() << "no wave output device under this Wine";
    EXPECT_EQ(44100u, a.Format().nSamplesPerSec);
    EXPECT_EQ(4u, a.Format().nBlockAlign);
    Clock_Resume(a.clock, 1);
    ASSERT_TRUE(Within(5000, [&] { a.Write(40, 0); }));  // ~0.9 s, more than the ring holds
    // With the drain flag the tail goes out too; everything written comes
    // back as played.
    a.r->drain = 1;
    a.Write(1, 40 * 23);
    bool drained = false;
    for (int i = 0; i < 300 && !drained; ++i) {
        drained = AudioRenderer_RingCount(a.r) == 0;
        Sleep(10);
    }
    EXPECT_TRUE(drained);
    // Nothing left in flight: the whole ring (whole 50 ms fragments) is free.
    const uint32_t freeBytes = a.r->ops.GetFreeBytes(a.r);
    EXPECT_EQ(0u, freeBytes % (4 * 2205));
    EXPECT_GE(freeBytes, a.r->deviceBufferBytes - 4 * 2205);
}

TEST(WaveOutput, VolumeReachesTheDevice) {
    AudioFixture a;
    if (!a.ok) GTEST_SKIP() << "no wave output device under this Wine";
    AudioOutConfig c = {};
    c.flags = AUDIO_CONFIG_VOLUME;
    c.fields[AUDIO_FIELD_VOLUME] = 0x8000;
    EXPECT_EQ(1, AudioRenderer_SetConfig(a.r, &c));
    uint32_t info[4] = {};
    AudioRenderer_GetInfo(a.r, info);
    EXPECT_NEAR(0x8000, static_cast<int>(info[2]), 0x200);
    // The mute goes to the mixer; reading it back needs a mixer with a mute
    // control, which not every Wine audio driver offers.
    c.flags = AUDIO_CONFIG_MUTE;
    c.fields[AUDIO_FIELD_MUTE] = 1;
    AudioRenderer_SetConfig(a.r, &c);
    EXPECT_EQ(1u, a.r->mute.load());
}

TEST(WaveOutput, SpeedChangeReopensAtTheScaledRate) {
    AudioFixture a;
    if (!a.ok) GTEST_SKIP() << "no wave output device under this Wine";
    a.Write(8, 0);
    ASSERT_EQ(1, AudioRenderer_SetSpeed(a.r, 200));
    // The single-precision 0.01 (0.0099999998) truncates the doubled rate.
    const uint32_t rate = 88199;
    EXPECT_EQ(rate, a.Format().nSamplesPerSec);
    EXPECT_EQ(rate * 4, a.Format().nAvgBytesPerSec);
    // The new handle plays: writes go on and come back.
    ASSERT_TRUE(Within(5000, [&] { a.Write(20, 200); }));
    // Back at normal speed the same product truncates too: 44100 x 100 x
    // 0.0099999998 is 44099.999.
    ASSERT_EQ(1, AudioRenderer_SetSpeed(a.r, 100));
    EXPECT_EQ(44099u, a.Format().nSamplesPerSec);
}

TEST(WaveOutput, PauseResumeFlushCloseNeverHang) {
    AudioFixture a;
    if (!a.ok) GTEST_SKIP() << "no wave output device under this Wine";
    ASSERT_TRUE(Within(5000, [&] { a.Write(10, 0); }));
    EXPECT_TRUE(Within(2000, [&] { AudioRenderer_Pause(a.r); }));
    // A writer blocked on a full ring while paused is released by the flush.
    auto writer = std::async(std::launch::async, [&] { a.Write(60, 500); });
    Sleep(200);
    EXPECT_TRUE(Within(2000, [&] { AudioRenderer_Flush(a.r); }));
    EXPECT_TRUE(Within(2000, [&] { AudioRenderer_Resume(a.r); }));
    EXPECT_EQ(std::future_status::ready, writer.wait_for(std::chrono::seconds(5)));
    EXPECT_TRUE(Within(4000, [&] { AudioRenderer_SetDevice(a.r, AUDIO_DEVICE_NONE); }));
}

}  // namespace
