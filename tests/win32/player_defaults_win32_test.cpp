// A player whose caller registered no output devices: on Windows it plays
// through the wave output and the DirectDraw output by itself, and the video
// renderer takes its rectangle from the real window, following it when the
// window moves or changes size.
#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>

#include <gtest/gtest.h>

#include "engine/output/video_renderer.h"
#include "engine/player.h"
#include "engine/win_outputs.h"
#include "tests/harness/harness.h"
#include "tests/harness/player_window.h"

namespace {

const std::string kClip =
    std::string(DC_TESTDATA) + "/card/RIVAVEZU/INFINITE/INFI_20240315_093004.mp4";

RECT ScreenRect(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return r;
}

// The rectangle a renderer reports after taking the window (and numbers of
// its own that the window must replace).
RECT ReportedAfterWindow(VideoRenderer* vr, HWND hwnd) {
    VideoOutConfig cfg = {};
    cfg.flags = VIDEO_CONFIG_WINDOW;
    cfg.fields[VIDEO_FIELD_WINDOW] = reinterpret_cast<uintptr_t>(hwnd);
    cfg.fields[VIDEO_FIELD_X] = 1;
    cfg.fields[VIDEO_FIELD_Y] = 2;
    cfg.fields[VIDEO_FIELD_WIDTH] = 3;
    cfg.fields[VIDEO_FIELD_HEIGHT] = 4;
    EXPECT_EQ(1, VideoRenderer_SetConfig(vr, &cfg));
    VideoOutConfig out = {};
    EXPECT_EQ(1, VideoRenderer_GetConfig(vr, &out));
    const LONG x = static_cast<LONG>(out.fields[VIDEO_FIELD_X]);
    const LONG y = static_cast<LONG>(out.fields[VIDEO_FIELD_Y]);
    return {x, y, x + static_cast<LONG>(out.fields[VIDEO_FIELD_WIDTH]),
            y + static_cast<LONG>(out.fields[VIDEO_FIELD_HEIGHT])};
}

TEST(DefaultOutputs, RendererRectangleFollowsTheWindow) {
    // Creating a player puts the engine's Windows outputs in place.
    PlayerContext* player = Player_Create(nullptr);
    ASSERT_NE(nullptr, player);
    auto window = uitest::MakeTopWindow(200, 150, 320, 240);
    HWND hwnd = window->hwnd();
    ASSERT_NE(nullptr, hwnd);
    VideoRenderer* vr = nullptr;
    VideoRendererFormat f = {0, 0, 160, 120, nullptr, 0};
    ASSERT_EQ(0, VideoRenderer_Create(&vr, &f, 0));

    struct Step {
        const char* name;
        int x, y, w, h;
    } steps[] = {
        {"as created", 200, 150, 320, 240},
        {"grown", 200, 150, 480, 360},
        {"moved and shrunk", 40, 60, 161, 97},
        {"moved back, odd size", 301, 203, 177, 143},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        SetWindowPos(hwnd, HWND_TOPMOST, s.x, s.y, s.w, s.h, SWP_NOACTIVATE);
        uitest::PumpFor(30);
        const RECT want = ScreenRect(hwnd);
        ASSERT_EQ(s.w, want.right - want.left) << "the window took its size";
        const RECT got = ReportedAfterWindow(vr, hwnd);
        EXPECT_EQ(want.left, got.left);
        EXPECT_EQ(want.top, got.top);
        EXPECT_EQ(s.w, got.right - got.left);
        EXPECT_EQ(s.h, got.bottom - got.top);
    }
    VideoRenderer_Destroy(vr);
    Player_Destroy(player);
}

std::atomic<int> g_pictures{0};
std::atomic<uint32_t> g_latestPictureMs{0};  // the latest picture time drawn
void CountPicture(uint32_t* timeMs, char*, uint32_t* length) {
    g_pictures++;
    uint32_t t = *timeMs, seen = g_latestPictureMs.load();
    while (t > seen && !g_latestPictureMs.compare_exchange_weak(seen, t)) {}
    *length = 0;
}

struct Observer {
    PlayerContext* player = nullptr;
    std::atomic<int> opened{0}, ended{0}, sawRangeEnd{0}, audioOpen{0};
    static void OnOpened(void* u) {
        // The DirectDraw output opened just before: its text hook counts
        // the pictures it draws.
        DdrawRendererSetTextCallback(CountPicture);
        static_cast<Observer*>(u)->opened++;
    }
    static void OnEnded(void* u) { static_cast<Observer*>(u)->ended++; }
    static void OnStatus(void* u) {
        Observer* o = static_cast<Observer*>(u);
        PlayerStatus st = {};
        Player_PeekStatus(o->player, &st);
        if (st.state == PLAYER_STATE_RANGE_END) o->sawRangeEnd = 1;
        PlayerPlaybackInfo pb = {};
        if (Player_GetPlaybackInfo(o->player, &pb) && pb.audioOutput) o->audioOpen = 1;
    }
};

TEST(DefaultOutputs, PlaysAClipToTheEndWithNothingRegistered) {
    if (!uitest::WineFileExists(kClip))
        GTEST_SKIP() << "no sample card (the native tests make it: tools/mkcard)";
    const bool haveWave = waveOutGetNumDevs() != 0;
    auto window = uitest::MakeTopWindow(100, 100, 320, 240);
    HWND hwnd = window->hwnd();
    ASSERT_NE(nullptr, hwnd);

    Observer obs;
    PlayerContext* player = uitest::CreateObservedPlayer(&obs);
    ASSERT_NE(nullptr, player);
    // What the application sets: output types and the window, no devices.
    uitest::SetWindowOutputs(player, hwnd, PLAYER_VIDEO_OUTPUT_DDRAW, PLAYER_AUDIO_OUTPUT_WAVE);

    g_pictures = 0;
    g_latestPictureMs = 0;
    std::u16string name = uitest::WineName(kClip);
    PlayerOpenParams p = {};
    p.fileName = name.c_str();
    p.rewindAtEnd = 1;
    ASSERT_EQ(1, Player_Open(player, &p));
    ASSERT_TRUE(uitest::PumpUntil([&] { return obs.opened.load() != 0; }, 10000));

    // Half-way the window moves and grows; the playing renderer takes the
    // new rectangle when the application hands the window again.
    uitest::PumpUntil([] { return g_latestPictureMs.load() >= 1500; }, 10000);
    SetWindowPos(hwnd, HWND_TOPMOST, 140, 120, 400, 300, SWP_NOACTIVATE);
    uitest::PumpFor(30);
    VideoOutConfig v = {};
    v.flags = VIDEO_CONFIG_WINDOW;
    v.fields[VIDEO_FIELD_DEVICE] = PLAYER_VIDEO_OUTPUT_DDRAW;
    v.fields[VIDEO_FIELD_WINDOW] = reinterpret_cast<uintptr_t>(hwnd);
    Player_SetVideoConfig(player, &v);
    VideoOutConfig back = {};
    Player_GetVideoConfig(player, &back);
    const RECT want = ScreenRect(hwnd);
    EXPECT_EQ(uintptr_t(PLAYER_VIDEO_OUTPUT_DDRAW), back.fields[VIDEO_FIELD_DEVICE]);
    EXPECT_EQ(uintptr_t(want.left), back.fields[VIDEO_FIELD_X]);
    EXPECT_EQ(uintptr_t(want.top), back.fields[VIDEO_FIELD_Y]);
    EXPECT_EQ(400u, back.fields[VIDEO_FIELD_WIDTH]);
    EXPECT_EQ(300u, back.fields[VIDEO_FIELD_HEIGHT]);

    // A 4-second clip at 15 pictures a second; the bound only ends a hang.
    EXPECT_TRUE(uitest::PumpUntil([&] { return obs.sawRangeEnd.load() != 0; }, 30000))
        << "the clip did not reach its end";
    PlayerStatus st = {};
    uitest::PumpUntil(
        [&] {
            Player_PeekStatus(player, &st);
            return st.state == PLAYER_STATE_PAUSED && st.positionMs == 0;
        },
        5000);
    EXPECT_EQ(uint32_t(PLAYER_STATE_PAUSED), st.state) << "rewound and paused at the end";
    Player_GetStatus(player, &st);
    EXPECT_EQ(0u, st.lastError);
    EXPECT_GE(g_pictures.load(), 30) << "the DirectDraw output drew the clip";
    EXPECT_GE(g_latestPictureMs.load(), 3800u) << "up to its last pictures";
    if (haveWave) {
        EXPECT_EQ(1, obs.audioOpen.load()) << "the wave output played the sound";
    }

    auto destroyed = std::async(std::launch::async, [player] { Player_Destroy(player); });
    EXPECT_EQ(std::future_status::ready, destroyed.wait_for(std::chrono::seconds(10)));
    EXPECT_EQ(0, obs.ended.load()) << "an end with rewind calls no ended callback";
}

}  // namespace
