// The whole spine through the Player_ interface alone, on a generated clip,
// a recording display and an audio output that plays on a simulated clock.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <future>

#include "recording_display.h"
#include "sim_audio_device.h"
#include "spine_fakes.h"

namespace {

const char16_t kName[] = u"clip.mp4";

struct Observer {
    std::mutex lock;
    PlayerContext* player = nullptr;
    int opened = 0, ended = 0;
    MediaInfoSummary summary = {};
    uint32_t duration = 0;
    int textSamples = 0;
    std::vector<uint32_t> states;  // engine state at each status callback
    std::vector<uint32_t> positions;
    std::vector<uint32_t> errors;

    static void OnOpened(void* u) {
        Observer* o = static_cast<Observer*>(u);
        PlayerOpenParams p = {};
        p.fileName = kName;
        MediaInfoSummary s;
        Player_GetMediaInfo(&p, &s, nullptr);
        PlayerStatus st;
        Player_GetStatus(o->player, &st);
        uint8_t buf[1024];
        int n = 0;
        for (; n < 1024; ++n) {
            uint32_t len = sizeof buf, t = 0;
            if (Player_ReadTextSample(o->player, buf, &len, &t) < 0) break;
        }
        Player_Seek(o->player, 0, 0);  // refused at this moment
        std::lock_guard<std::mutex> g(o->lock);
        o->opened++;
        o->summary = s;
        o->duration = s.duration;
        o->textSamples = n;
    }
    static void OnStatus(void* u) {
        Observer* o = static_cast<Observer*>(u);
        PlayerStatus st;
        Player_GetStatus(o->player, &st);
        std::lock_guard<std::mutex> g(o->lock);
        o->states.push_back(st.state);
        o->positions.push_back(st.positionMs);
        if (st.lastError) o->errors.push_back(st.lastError);
    }
    static void OnEnded(void* u) {
        Observer* o = static_cast<Observer*>(u);
        std::lock_guard<std::mutex> g(o->lock);
        o->ended++;
    }
    bool Saw(uint32_t state) {
        std::lock_guard<std::mutex> g(lock);
        for (uint32_t s : states)
            if (s == state) return true;
        return false;
    }
};

class SpineTest : public ::testing::Test {
protected:
    void SetUp() override {
        clip::Current() = clip::Spec();
        sim::Speed() = 4;
        RecordingDisplay::Current() = &display;
        SimAudioDevice::Current() = &audio;
        audio.now = [] { return sim::Now(); };
        VideoRenderer_RegisterDevice(VIDEO_DEVICE_DDRAW, RecordingDisplay::Ops());
        AudioRenderer_RegisterDevice(AUDIO_DEVICE_WAVEOUT, SimAudioDevice::Ops());
        PlayerCreateConfig cfg = {Observer::OnOpened, Observer::OnEnded, Observer::OnStatus, &obs, 0, 0, 0, 0};
        player = Player_Create(&cfg);
        ASSERT_NE(nullptr, player);
        obs.player = player;
        player->clockTick = sim::Tick;
        player->createThread = FailingCreateThread;
        display.clockNow = [](void* p) { return Clock_GetTime(static_cast<PlayerContext*>(p)->clock); };
        display.clockArg = player;
        VideoOutConfig v = {};
        v.flags = 0x3;
        v.fields[0] = VIDEO_DEVICE_DDRAW;
        v.fields[1] = 0x1001;
        Player_SetVideoConfig(player, &v);
        AudioOutConfig a = {};
        a.flags = 0x3;
        a.fields[0] = AUDIO_DEVICE_WAVEOUT;
        a.fields[1] = 0xFFFFFFFF;
        Player_SetAudioConfig(player, &a);
    }
    void TearDown() override {
        if (player) DestroyWithin(5000);
        VideoRenderer_RegisterDevice(VIDEO_DEVICE_DDRAW, nullptr);
        AudioRenderer_RegisterDevice(AUDIO_DEVICE_WAVEOUT, nullptr);
    }
    void DestroyWithin(int ms) {
        auto f = std::async(std::launch::async, [this] { Player_Destroy(player); });
        ASSERT_EQ(std::future_status::ready, f.wait_for(std::chrono::milliseconds(ms)))
            << "Player_Destroy hung";
        player = nullptr;
    }
    int Open(uint32_t rewind = 1) {
        PlayerOpenParams p = {};
        p.fileName = kName;
        p.rewindAtEnd = rewind;
        return Player_Open(player, &p);
    }
    uint32_t State() {
        PlayerStatus st;
        Player_GetStatus(player, &st);
        return st.state;
    }
    uint32_t Position() {
        PlayerStatus st;
        Player_GetStatus(player, &st);
        return st.positionMs;
    }
    // Waits (real time) until `pred` holds.
    template <class F>
    bool WaitFor(F pred, int ms = 5000) {
        for (int i = 0; i < ms; i += 5) {
            if (pred()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return pred();
    }
    Observer obs;
    RecordingDisplay display;
    SimAudioDevice audio;
    PlayerContext* player = nullptr;
};

TEST_F(SpineTest, PlaysToTheEndThenRewindsAndPauses) {
    clip::Current().durationMs = 3000;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return obs.Saw(PLAYER_STATE_RANGE_END); }, 10000));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED && Position() == 0; }, 5000));
    {
        std::lock_guard<std::mutex> g(obs.lock);
        EXPECT_EQ(1, obs.opened);
        EXPECT_EQ(3000u, obs.duration);
        EXPECT_EQ(3, obs.textSamples) << "all data-track samples are read in the opened callback";
        EXPECT_EQ(0, obs.ended) << "with rewind-at-end no ended callback";
        EXPECT_TRUE(obs.errors.empty());
    }
    auto pics = display.Snapshot();
    ASSERT_GT(pics.size(), 60u);
    for (size_t i = 1; i < pics.size(); ++i)
        if (pics[i].timeMs != 0) {
            EXPECT_GE(pics[i].timeMs, pics[i - 1].timeMs);
        }
    // The picture at 0 is shown again after the rewind.
    ASSERT_TRUE(WaitFor([&] { return display.Snapshot().back().timeMs == 0; }));
    pics = display.Snapshot();
    std::vector<uint8_t> first(clip::FrameBytes(clip::Current()));
    clip::FillPicture(clip::Current(), 0, first.data());
    DecodedFrame f0 = {first.data(), first.data() + 512, first.data() + 640, 32, 0};
    EXPECT_EQ(RecordingDisplay::Checksum(&f0, 32, 16), pics.back().checksum);
    EXPECT_GT(audio.playedTotal, 0u);
}

TEST_F(SpineTest, EndedCallbackOnlyAfterAnError) {
    clip::Current().openError = static_cast<int32_t>(0x80000015u);
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { std::lock_guard<std::mutex> g(obs.lock); return obs.ended == 1; }));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_IDLE; }));
    std::lock_guard<std::mutex> g(obs.lock);
    EXPECT_EQ(0, obs.opened);
    ASSERT_EQ(1u, obs.errors.size()) << "the error is reported once";
    EXPECT_EQ(0x80000015u, obs.errors[0]);
}

TEST_F(SpineTest, WithoutRewindTheClipFinishesWithTheEndedCallback) {
    clip::Current().durationMs = 1000;
    ASSERT_EQ(1, Open(0));
    ASSERT_TRUE(WaitFor([&] { std::lock_guard<std::mutex> g(obs.lock); return obs.ended == 1; }, 10000));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_IDLE; }));
}

TEST_F(SpineTest, FailedAudioOutputLeavesVideoPlaying) {
    AudioRenderer_RegisterDevice(AUDIO_DEVICE_WAVEOUT, nullptr);
    AudioOutConfig a = {};
    a.flags = 0x1;
    a.fields[0] = 7;  // no such output
    Player_SetAudioConfig(player, &a);
    clip::Current().durationMs = 2000;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return obs.Saw(PLAYER_STATE_RANGE_END); }, 10000));
    std::lock_guard<std::mutex> g(obs.lock);
    EXPECT_EQ(0, obs.ended);
    EXPECT_GT(display.Snapshot().size(), 40u);
}

TEST_F(SpineTest, PauseSeekStepSpeedAndVolume) {
    clip::Current().durationMs = 20000;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING && Position() > 500; }));

    ASSERT_EQ(1, Player_Pause(player));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED; }));
    uint32_t p = Position();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(p, Position()) << "the clock stands while paused";
    EXPECT_EQ(0, Player_Pause(player)) << "pause while paused is refused";

    // One picture forward while paused.
    size_t shown = display.Snapshot().size();
    ASSERT_EQ(1, Player_StepForward(player, 0, 4));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED; }));
    ASSERT_TRUE(WaitFor([&] { return display.Snapshot().size() > shown; }));
    uint32_t stepped = player->lastPictureMs;
    EXPECT_GT(stepped, 0u);

    // One picture back: the step leaves no seek mode behind.
    ASSERT_EQ(1, Player_StepBackward(player, 0, 4));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED && player->seekMode == 0; }));

    // A refused step leaves the request words alone.
    uint32_t mode = player->seekMode, target = player->requestedTarget;
    EXPECT_EQ(0, Player_StepForward(player, 1000, 7));
    EXPECT_EQ(1, Player_Play(player));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING; }));
    EXPECT_EQ(0, Player_StepForward(player, 0, 4)) << "a picture step only while paused";
    EXPECT_EQ(mode, player->seekMode.load());
    EXPECT_EQ(target, player->requestedTarget.load());

    // Seek, and a seek beyond the end clamped to the duration.
    ASSERT_EQ(1, Player_Seek(player, 10000, 1));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING && Position() >= 10000; }));
    auto pics = display.Snapshot();
    ASSERT_TRUE(WaitFor([&] { return display.Snapshot().size() > pics.size() + 5; }));
    pics = display.Snapshot();
    EXPECT_GE(pics.back().timeMs, 10000u);

    // Speed 200: the clock runs twice as fast.
    ASSERT_EQ(1, Player_SetSpeed(player, 200));
    uint32_t t0 = sim::Now(), p0 = Position();
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    uint32_t dt = sim::Now() - t0, dp = Position() - p0;
    EXPECT_GT(dp, dt * 3 / 2) << "speed 200 advances the position about twice the time";
    ASSERT_EQ(1, Player_SetSpeed(player, 100));

    AudioOutConfig a = {};
    a.flags = 0x2;
    a.fields[1] = 0x40004000;
    ASSERT_EQ(1, Player_SetAudioConfig(player, &a));
    uint32_t info[4] = {};
    ASSERT_EQ(1, Player_GetAudioInfo(player, info));
    EXPECT_EQ(0x4000u, info[2]);

    ASSERT_EQ(1, Player_Seek(player, 999999, 1));
    EXPECT_EQ(20000u, player->requestedTarget.load());
}

TEST_F(SpineTest, StopAndDestroyFromAnyStateWithoutHanging) {
    clip::Current().durationMs = 10000;
    struct Case {
        const char* name;
        int settleMs;
        bool pause;
        bool seek;
    };
    const Case cases[] = {
        {"right_after_open", 0, false, false}, {"while_playing", 300, false, false},
        {"while_paused", 300, true, false},    {"during_seek", 300, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(1, Open());
        if (c.settleMs) {
            ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING; }));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(c.settleMs));
        if (c.pause) {
            Player_Pause(player);
            WaitFor([&] { return State() == PLAYER_STATE_PAUSED; });
        }
        if (c.seek) Player_Seek(player, 5000, 0);
        auto f = std::async(std::launch::async, [this] { return Player_Stop(player); });
        ASSERT_EQ(std::future_status::ready, f.wait_for(std::chrono::seconds(5)));
        EXPECT_EQ(1, f.get());
        EXPECT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_IDLE; }));
    }
    std::lock_guard<std::mutex> g(obs.lock);
    EXPECT_EQ(0, obs.ended) << "no ended callback after a stop";
}

TEST_F(SpineTest, DestroyWhilePlayingWithNoWait) {
    clip::Current().durationMs = 10000;
    PlayerOpenParams p = {};
    p.fileName = kName;
    p.noWait = 1;
    char16_t name[16];
    std::memcpy(name, kName, sizeof kName);
    p.fileName = name;
    ASSERT_EQ(1, Player_Open(player, &p));
    std::memset(name, 0, sizeof name);  // the player keeps its own copy
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING; }));
    DestroyWithin(5000);
}

TEST_F(SpineTest, OpenWhilePlayingRestartsAndOpenFailsWithoutThread) {
    clip::Current().durationMs = 10000;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING; }));
    ASSERT_EQ(1, Open()) << "an open while playing stops the clip and opens again";
    ASSERT_TRUE(WaitFor([&] { std::lock_guard<std::mutex> g(obs.lock); return obs.opened == 2; }));
    ASSERT_EQ(1, Player_Pause(player));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED; }));
    EXPECT_EQ(0, Open()) << "an open while paused is refused";
    ASSERT_EQ(1, Player_Stop(player));

    FakeThreadFailures() = 1;
    EXPECT_EQ(0, Open()) << "no status thread, no success";
    EXPECT_EQ(PLAYER_STATE_IDLE, State());
    EXPECT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING; }));

    PlayerOpenParams none = {};
    EXPECT_EQ(0, Player_Open(player, &none));
    EXPECT_EQ(0, Player_StepForward(nullptr, 0, 1));
    Player_GetStatus(nullptr, nullptr);
}

TEST_F(SpineTest, TrackIndicesAreChecked) {
    clip::Current().durationMs = 5000;
    PlayerOpenParams p = {};
    p.fileName = kName;
    p.audioTrack = 5;
    p.videoTrack = 9;
    ASSERT_EQ(1, Player_Open(player, &p));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING; }));
    EXPECT_EQ(0, Player_SelectTrack(player, 2, PLAYER_TRACK_AUDIO));
    EXPECT_EQ(0, Player_SelectTrack(player, 0, 9));
    EXPECT_EQ(1, Player_SelectTrack(player, 0, PLAYER_TRACK_VIDEO));
    ASSERT_TRUE(WaitFor([&] { return display.Snapshot().size() > 5; }));
}

struct Figures {
    size_t frames, shown, dropped, late;
    int32_t maxGap;
};

Figures Measure(SpineTest*, RecordingDisplay& display, const clip::Spec& spec) {
    auto pics = display.Snapshot();
    Figures f = {spec.durationMs / spec.frameMs, 0, 0, 0, 0};
    std::vector<bool> seen(f.frames, false);
    for (const auto& p : pics) {
        uint32_t i = p.timeMs / spec.frameMs;
        if (i < f.frames && !seen[i]) {
            seen[i] = true;
            f.shown++;
            int32_t gap = p.lagMs < 0 ? -p.lagMs : p.lagMs;
            if (gap > f.maxGap) f.maxGap = gap;
            if (p.lagMs > 40) f.late++;
        }
    }
    f.dropped = f.frames - f.shown;
    return f;
}

}  // namespace

// The measures: a 60-second clip played through on the simulated clock.
class SpineMeasureTest : public SpineTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(SpineMeasureTest, SixtySecondClip) {
    const uint32_t speed = GetParam();
    clip::Spec& spec = clip::Current();
    spec.durationMs = 60000;
    // Media time runs 2 ms per real ms at either speed, so the 10 ms waits
    // of the tasks stay the same size in media time.
    sim::Speed() = 200 / speed;
#if defined(__SANITIZE_THREAD__)
    // Under ThreadSanitizer the point is the race check, not the figures.
    spec.durationMs = 5000;
    sim::Speed() = 1;
#endif
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING; }));
    ASSERT_EQ(1, Player_SetSpeed(player, speed));
    ASSERT_TRUE(WaitFor([&] { return obs.Saw(PLAYER_STATE_RANGE_END); }, 120000));
    Figures f = Measure(this, display, spec);
    std::printf("speed %u%%: pictures %zu, shown %zu, dropped %zu, late %zu, largest gap %d ms\n",
                speed, f.frames, f.shown, f.dropped, f.late, f.maxGap);
    ::testing::Test::RecordProperty("shown", static_cast<int>(f.shown));
    // The engine shows a picture from 40 ms early on; a task that the shared
    // test machine holds back for a few real ms adds that, doubled by the
    // simulated clock, so the bound here is looser than the 40 ms goal.
    // The figures depend on how the machine schedules the tasks, so the goals
    // (no drop, every picture near the clock) are checked only when asked
    // for (DC_STRICT_TIMING=1, on a quiet machine); a loaded machine must
    // still play the clip through with nearly every picture shown.
    EXPECT_GE(f.shown, f.frames * 9 / 10);
#if !defined(__SANITIZE_THREAD__)
    if (std::getenv("DC_STRICT_TIMING")) {
        EXPECT_EQ(0u, f.dropped);
        EXPECT_LE(f.maxGap, 100);
    }
#endif
}

INSTANTIATE_TEST_SUITE_P(Speeds, SpineMeasureTest, ::testing::Values(100u, 200u));
