// The whole spine through the Player_ interface alone, on a generated clip,
// a recording display and an audio output that plays on a simulated clock.
#include <gtest/gtest.h>

#include <cstdio>
#include <future>

#define SPINE_FAKE_SOURCE 1
#include "spine_fakes.h"
#include "spine_fixture.h"

namespace {

TEST_F(SpineTest, PlaysToTheEndThenRewindsAndPauses) {
    clip::Current().durationMs = 3000;
    PaceWithVideo();
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return obs.Saw(PLAYER_STATE_RANGE_END); }, 10000))
        << "simulated " << sim::Now() << " ms, held " << pacer.HeldMs() << " ms, gave up "
        << pacer.GiveUps() << ", position " << Position() << ", last picture "
        << player->lastPictureMs;
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
    EXPECT_GT(audio.Played(), 0u);
}

TEST_F(SpineTest, EndedCallbackOnlyAfterAnError) {
    clip::Current().openError = static_cast<int32_t>(0x80000015u);
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] {
        std::lock_guard<std::mutex> g(obs.lock);
        return obs.ended == 1;
    }));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_IDLE; }));
    std::lock_guard<std::mutex> g(obs.lock);
    EXPECT_EQ(0, obs.opened);
    ASSERT_EQ(1u, obs.errors.size()) << "the error is reported once";
    EXPECT_EQ(0x80000015u, obs.errors[0]);
}

TEST_F(SpineTest, WithoutRewindTheClipFinishesWithTheEndedCallback) {
    clip::Current().durationMs = 1000;
    ASSERT_EQ(1, Open(0));
    ASSERT_TRUE(WaitFor(
        [&] {
            std::lock_guard<std::mutex> g(obs.lock);
            return obs.ended == 1;
        },
        10000))
        << "state " << State() << " position " << Position() << " played " << audio.Played();
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

TEST_F(SpineTest, AnOutputWithoutMixerControlsStillPlaysTheSound) {
    // As the wave output without a mixer: volume and mute report failure.
    audio.volumeResult = 0;
    audio.muteResult = 0;
    clip::Current().durationMs = 2000;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return obs.Saw(PLAYER_STATE_RANGE_END); }, 10000));
    std::lock_guard<std::mutex> g(obs.lock);
    EXPECT_TRUE(obs.errors.empty());
    EXPECT_GT(audio.Played(), 16000u * 2 * 2) << "the clip's sound is played";
}

TEST_F(SpineTest, PauseSeekStepSpeedAndVolume) {
    clip::Current().durationMs = 20000;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING && Position() > 500; }));

    ASSERT_EQ(1, Player_Pause(player));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED; }));
    // A block the device finished just before the pause may still report
    // its time and correct the clock once (on a loaded machine the running
    // clock can be ahead of the sound by more than the dead band); after
    // that nothing moves it.
    uint32_t p = Position();
    ASSERT_TRUE(WaitFor([&] {
        uint32_t before = Position();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        p = Position();
        return p == before;
    }));
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

    // Speed 200: the clock runs twice as fast. Measured in simulated time,
    // once the sound queued at the old speed has played out, so a loaded
    // machine that runs the threads late changes nothing.
    ASSERT_EQ(1, Player_SetSpeed(player, 200));
    const uint32_t changed = sim::Now();
    ASSERT_TRUE(WaitFor([&] { return sim::Now() - changed >= 500; }));
    uint32_t t0 = sim::Now(), p0 = Position();
    ASSERT_TRUE(WaitFor([&] { return sim::Now() - t0 >= 2000; }));
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
        {"right_after_open", 0, false, false},
        {"while_playing", 300, false, false},
        {"while_paused", 300, true, false},
        {"during_seek", 300, false, true},
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
    ASSERT_TRUE(WaitFor([&] {
        std::lock_guard<std::mutex> g(obs.lock);
        return obs.opened == 2;
    }));
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

// The buffering time-out's clock, moved by the test.
std::atomic<uint32_t> g_bufferingMs{0};
uint32_t BufferingTick(void*) { return g_bufferingMs; }

// A source that stays empty: buffering (state 4) gives up after 30 windows
// of its 1000 ms with "No data", and the clip ends with the ended callback.
// A source that fills leaves buffering for play; a stop while buffering ends
// the clip without the callback.
TEST_F(SpineTest, BufferingWaitsGivesUpOrResumes) {
    struct Case {
        const char* name;
        enum { kGiveUp, kFill, kStop } action;
    };
    const Case cases[] = {
        {"an empty source gives up after 30 s", Case::kGiveUp},
        {"a source that fills plays", Case::kFill},
        {"a stop while buffering", Case::kStop},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        {
            std::lock_guard<std::mutex> g(obs.lock);
            obs.states.clear();
            obs.errors.clear();
            obs.ended = 0;
        }
        g_bufferingMs = 0;
        player->bufferingTick = BufferingTick;
        clip::Fill() = 0;
        ASSERT_EQ(1, Open());
        ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_BUFFERING; }));
        if (c.action == Case::kGiveUp) {
            // One window after another, each a little over 1000 ms.
            int windows = 0;
            while (windows < 40 && State() == PLAYER_STATE_BUFFERING) {
                g_bufferingMs += 1001;
                ++windows;
                const uint32_t target = g_bufferingMs;
                // Let the status thread see the new time.
                WaitFor(
                    [&] {
                        return player->bufferStartTick.load() == target ||
                               State() != PLAYER_STATE_BUFFERING;
                    },
                    500);
            }
            ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_IDLE; }));
            EXPECT_GE(windows, 29);
            EXPECT_LE(windows, 31);
            std::lock_guard<std::mutex> g(obs.lock);
            EXPECT_EQ(1, obs.ended);
            ASSERT_EQ(1u, obs.errors.size());
            EXPECT_EQ(uint32_t(PLAYER_E_NO_DATA), obs.errors[0]);
            EXPECT_EQ(0, obs.opened);
        } else if (c.action == Case::kFill) {
            // Nothing has passed on the buffering clock: still waiting.
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            EXPECT_EQ(PLAYER_STATE_BUFFERING, State());
            const size_t shown = display.Snapshot().size();
            clip::Fill() = 100;
            ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING; }));
            ASSERT_TRUE(WaitFor([&] { return display.Snapshot().size() > shown + 3; }));
            ASSERT_EQ(1, Player_Stop(player));
        } else {
            ASSERT_EQ(1, Player_Stop(player));
            EXPECT_EQ(PLAYER_STATE_IDLE, State());
            std::lock_guard<std::mutex> g(obs.lock);
            EXPECT_EQ(0, obs.ended);
            EXPECT_TRUE(obs.errors.empty());
        }
    }
}

// Selecting a track while playing flushes the sound; the pictures go on.
// The clip runs in real time and outlasts the wait: at the fixture's four
// times real time a 5-second clip was over in 1.25 s, so on a loaded machine
// it could end (or drop its pictures as late) before six were shown.
TEST_F(SpineTest, TrackIndicesAreChecked) {
    sim::Speed() = 1;
    clip::Current().durationMs = 60000;
    PlayerOpenParams p = {};
    p.fileName = kName;
    p.audioTrack = 5;
    p.videoTrack = 9;
    ASSERT_EQ(1, Player_Open(player, &p));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING; }));
    EXPECT_EQ(0, Player_SelectTrack(player, 2, PLAYER_TRACK_AUDIO));
    EXPECT_EQ(0, Player_SelectTrack(player, 0, 9));
    const size_t before = display.Snapshot().size();
    EXPECT_EQ(1, Player_SelectTrack(player, 0, PLAYER_TRACK_VIDEO));
    ASSERT_TRUE(WaitFor([&] { return display.Snapshot().size() > before + 5; }, 20000))
        << "pictures before the selection " << before << ", now " << display.Snapshot().size()
        << ", state " << State();
    EXPECT_EQ(PLAYER_STATE_PLAYING, State());
}

}  // namespace

// The measures: a generated 60-second clip (5 seconds under ThreadSanitizer,
// where only the race check counts) through the engine's raw-picture and
// PCM adapters, on the simulated clock.
class SpineMeasureTest : public SpineTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(SpineMeasureTest, SixtySecondClip) {
    const uint32_t speed = GetParam();
    clip::Spec& spec = clip::Current();
#if defined(__SANITIZE_THREAD__)
    spec.durationMs = 5000;
    sim::Speed() = 1;
#else
    spec.durationMs = 60000;
    sim::Speed() = 200 / speed;  // 2 ms of media time per real ms at either speed
#endif
    PaceWithVideo();
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING; }));
    ASSERT_EQ(1, Player_SetSpeed(player, speed));
    ASSERT_TRUE(WaitFor([&] { return obs.Saw(PLAYER_STATE_RANGE_END); }, 120000))
        << "simulated " << sim::Now() << " ms, held " << pacer.HeldMs() << " ms, gave up "
        << pacer.GiveUps() << ", position " << Position() << ", last picture "
        << player->lastPictureMs;
    auto pics = display.Snapshot();
    size_t frames = spec.durationMs / spec.frameMs, shown = 0, late = 0;
    int32_t gap = 0;
    std::vector<bool> seen(frames, false);
    for (const auto& p : pics) {
        uint32_t i = p.timeMs / spec.frameMs;
        if (i >= frames || seen[i]) continue;
        seen[i] = true;
        ++shown;
        int32_t g = p.lagMs < 0 ? -p.lagMs : p.lagMs;
        gap = g > gap ? g : gap;
        if (p.lagMs > 40) ++late;
    }
    std::printf("speed %u%%: pictures %zu, shown %zu, dropped %zu, late %zu, largest gap %d ms\n",
                speed, frames, shown, frames - shown, late, gap);
#if !defined(__SANITIZE_THREAD__)
    // The engine shows pictures from 40 ms early to 300 ms late. A task that
    // a loaded machine holds back shows up here doubled by the simulated
    // clock, so the check is that no picture was lost, not the 40 ms goal,
    // which the printed figures report.
    EXPECT_GE(shown * 100, frames * 99);
    EXPECT_LE(gap, 300);
#endif
}

INSTANTIATE_TEST_SUITE_P(Speeds, SpineMeasureTest, ::testing::Values(100u, 200u));
