// The player on the real Windows outputs with no wave device at all (CTest
// runs this test with the sound server out of reach, so Wine offers neither
// a wave output nor a mixer): the wave output's open fails, the audio path
// fails, and the clip plays on as video only on the media clock, pictures
// drawn by DirectDraw, with no ended callback.
#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/output/audio_renderer.h"
#include "engine/output/video_renderer.h"
#include "engine/player.h"
#include "engine/player/player_context.h"
#include "engine/win_outputs.h"
#include "tests/harness/harness.h"
#include "tests/harness/player_window.h"

namespace {

const std::string kClip =
    std::string(DC_TESTDATA) + "/card/RIVAVEZU/INFINITE/INFI_20240315_093004.mp4";
const int kW = 320, kH = 240;

// Pictures drawn by the real DirectDraw output, counted on the way.
const DisplayDevice* g_real = nullptr;
std::mutex g_lock;
std::vector<uint32_t> g_drawn;
int32_t CountingDraw(VideoRenderer* r, const DecodedFrame* f) {
    {
        std::lock_guard<std::mutex> g(g_lock);
        g_drawn.push_back(f->time);
    }
    return g_real->Draw(r, f);
}

struct Observer {
    PlayerContext* player = nullptr;
    std::atomic<int> opened{0}, ended{0}, sawRangeEnd{0};
    std::mutex lock;
    std::vector<uint32_t> errors;
    static void OnOpened(void* u) { static_cast<Observer*>(u)->opened++; }
    static void OnEnded(void* u) { static_cast<Observer*>(u)->ended++; }
    static void OnStatus(void* u) {
        Observer* o = static_cast<Observer*>(u);
        PlayerStatus st;
        Player_GetStatus(o->player, &st);
        if (st.state == PLAYER_STATE_RANGE_END) o->sawRangeEnd = 1;
        std::lock_guard<std::mutex> g(o->lock);
        if (st.lastError) o->errors.push_back(st.lastError);
    }
};

TEST(PlayerWithoutWaveDevice, PlaysTheClipAsVideoOnly) {
    if (waveOutGetNumDevs() != 0)
        GTEST_SKIP() << "a wave device is present (run through CTest, which hides it)";
    if (!uitest::WineFileExists(kClip))
        GTEST_SKIP() << "no sample card (the native tests make it: tools/mkcard)";
    EXPECT_EQ(0u, mixerGetNumDevs());

    auto window = uitest::MakeTopWindow(100, 100, kW, kH);
    HWND hwnd = window->hwnd();
    ASSERT_NE(nullptr, hwnd);

    WaveOut_Register();
    g_real = DdrawOutput_Device();
    static DisplayDevice counting;
    counting = *g_real;
    counting.Draw = CountingDraw;
    VideoRenderer_RegisterDevice(VIDEO_DEVICE_DDRAW, &counting);

    Observer obs;
    PlayerContext* player = uitest::CreateObservedPlayer(&obs);
    ASSERT_NE(nullptr, player);
    uitest::SetWindowOutputs(player, hwnd, VIDEO_DEVICE_DDRAW, AUDIO_DEVICE_WAVEOUT);

    std::u16string name = uitest::WineName(kClip);
    PlayerOpenParams p = {};
    p.fileName = name.c_str();
    p.rewindAtEnd = 1;
    ASSERT_EQ(1, Player_Open(player, &p));
    // A 4-second clip: it reaches its end on the clock alone, then rewinds.
    uitest::PumpUntil([&] { return obs.sawRangeEnd.load() != 0; }, 15000);
    EXPECT_TRUE(obs.sawRangeEnd) << "the clip did not reach its end";
    PlayerStatus st = {};
    for (int i = 0; i < 200; ++i) {
        uitest::PumpFor(20);
        Player_GetStatus(player, &st);
        if (st.state == PLAYER_STATE_PAUSED && st.positionMs == 0) break;
    }
    EXPECT_EQ(uint32_t(PLAYER_STATE_PAUSED), st.state);
    EXPECT_EQ(nullptr, player->audioRenderer) << "no wave device, no audio path";

    auto destroyed = std::async(std::launch::async, [player] { Player_Destroy(player); });
    EXPECT_EQ(std::future_status::ready, destroyed.wait_for(std::chrono::seconds(5)));
    VideoRenderer_RegisterDevice(VIDEO_DEVICE_DDRAW, nullptr);
    AudioRenderer_RegisterDevice(AUDIO_DEVICE_WAVEOUT, nullptr);
    window.reset();

    EXPECT_EQ(1, obs.opened.load());
    EXPECT_EQ(0, obs.ended.load()) << "a failed audio path does not end the clip";
    {
        std::lock_guard<std::mutex> g(obs.lock);
        for (uint32_t e : obs.errors)
            EXPECT_EQ(0x8000003Bu, e) << "only the audio output's failure is reported";
    }
    std::lock_guard<std::mutex> g(g_lock);
    // 60 pictures in 4 s; every one drawn in order up to the end.
    size_t n = 1;
    while (n < g_drawn.size() && g_drawn[n] > g_drawn[n - 1]) ++n;
    EXPECT_GE(n, 54u);
    ASSERT_FALSE(g_drawn.empty());
    EXPECT_GE(g_drawn[n - 1], 3800u);
}

}  // namespace
