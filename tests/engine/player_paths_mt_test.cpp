// The player's less travelled paths through the Player_ interface, on the
// generated clip: a source that runs dry mid-play, clips with only pictures
// or only sound, the step that skips the sound after a paused picture step,
// steps past either end, the pause toggle, repeat and the open clip's media
// summary.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <future>

#define SPINE_FAKE_SOURCE 1
#include "engine/player/player_context.h"

// The shared generated-clip source, with its read step renamed: this file
// puts a source in front of it that can run dry.
int32_t FakeClip_ReadSample(MediaSource* src, MediaSample* m);
#define Source_ReadSample FakeClip_ReadSample
#include "spine_fakes.h"
#undef Source_ReadSample
#include "spine_fixture.h"

namespace dry {
// Samples at or after this time are "not here yet", as from a stream whose
// data has not arrived.
std::atomic<uint32_t>& FromMs() {
    static std::atomic<uint32_t> t{UINT32_MAX};
    return t;
}
std::atomic<uint32_t>& Refusals() {
    static std::atomic<uint32_t> n{0};
    return n;
}
}  // namespace dry

int32_t Source_ReadSample(MediaSource* src, MediaSample* m) {
    const uint32_t type = m->type;
    if (type == PLAYER_TRACK_AUDIO || type == PLAYER_TRACK_VIDEO) {
        uint32_t next;
        {
            std::lock_guard<std::mutex> g(src->lock);
            next = src->next[type];
        }
        if (next < Count(src->spec, type) && TimeOf(src->spec, type, next) >= dry::FromMs()) {
            ++dry::Refusals();
            return PLAYER_E_NOT_YET;
        }
    }
    return FakeClip_ReadSample(src, m);
}

namespace {

class PathsTest : public SpineTest {
protected:
    void SetUp() override {
        dry::FromMs() = UINT32_MAX;
        dry::Refusals() = 0;
        SpineTest::SetUp();
    }
    // The distinct states the status callback saw, from `from` on.
    std::vector<uint32_t> StatesSince(size_t from) {
        std::lock_guard<std::mutex> g(obs.lock);
        std::vector<uint32_t> v;
        for (size_t i = from; i < obs.states.size(); ++i)
            if (v.empty() || v.back() != obs.states[i]) v.push_back(obs.states[i]);
        return v;
    }
    size_t StatesSeen() {
        std::lock_guard<std::mutex> g(obs.lock);
        return obs.states.size();
    }
    static std::string List(const std::vector<uint32_t>& v) {
        std::string s;
        for (uint32_t x : v) s += std::to_string(x) + " ";
        return s;
    }
    int Ended() {
        std::lock_guard<std::mutex> g(obs.lock);
        return obs.ended;
    }
    std::vector<uint32_t> Errors() {
        std::lock_guard<std::mutex> g(obs.lock);
        return obs.errors;
    }
};

// A source that runs dry while playing makes the player buffer (states 3
// and 4) and, once data comes again, play on with the same decoders and
// outputs: it goes back to playing without the open's "ready" step.
TEST_F(PathsTest, NotYetBuffersThenPlaysOnWithoutReopening) {
    clip::Current().durationMs = 20000;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING && Position() > 300; }));
    const size_t from = StatesSeen();
    const uint32_t dryAt = Position() + 600;
    AudioDecoder* audioDecoder = player->audioDecoder;
    VideoDecoder* videoDecoder = player->videoDecoder;
    clip::Fill() = 0;  // nothing buffered beyond what has come
    dry::FromMs() = dryAt;
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_BUFFERING; }))
        << "states " << List(StatesSince(from));
    EXPECT_GT(dry::Refusals().load(), 0u);
    // Waiting: the clock stands and nothing past the gap is shown.
    const uint32_t held = Position();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(held, Position());
    EXPECT_EQ(PLAYER_STATE_BUFFERING, State());

    dry::FromMs() = UINT32_MAX;
    clip::Fill() = 100;
    ASSERT_TRUE(WaitFor([&] {
        auto p = display.Snapshot();
        return State() == PLAYER_STATE_PLAYING && !p.empty() && p.back().timeMs > dryAt + 400;
    })) << "states "
        << List(StatesSince(from));
    const std::vector<uint32_t> states = StatesSince(from);
    auto buffering = std::find(states.begin(), states.end(), uint32_t(PLAYER_STATE_BUFFERING));
    ASSERT_NE(states.end(), buffering) << List(states);
    EXPECT_NE(states.end(), std::find(buffering, states.end(), uint32_t(PLAYER_STATE_PLAYING)))
        << List(states);
    EXPECT_EQ(states.end(), std::find(states.begin(), states.end(), uint32_t(PLAYER_STATE_READY)))
        << "nothing is created again: " << List(states);
    EXPECT_EQ(audioDecoder, player->audioDecoder);
    EXPECT_EQ(videoDecoder, player->videoDecoder);
    EXPECT_EQ(1, display.opens);
    std::lock_guard<std::mutex> g(obs.lock);
    EXPECT_EQ(1, obs.opened);
    EXPECT_EQ(0, obs.ended);
    EXPECT_TRUE(obs.errors.empty());
}

// A clip with only pictures runs its clock by itself; one with only sound
// runs on the sound and draws nothing. Either ends like a whole clip:
// paused at its start with rewind-at-end, else finished with the ended
// callback (after the sound has played out).
struct OneStreamCase {
    const char* name;
    bool audio, video;
    uint32_t rewind;
};
const OneStreamCase kOneStream[] = {
    {"pictures_only_rewind", false, true, 1},
    {"pictures_only_finish", false, true, 0},
    {"sound_only_rewind", true, false, 1},
    {"sound_only_finish", true, false, 0},
};

class OneStreamTest : public PathsTest, public ::testing::WithParamInterface<OneStreamCase> {};

TEST_P(OneStreamTest, PlaysToTheEnd) {
    const OneStreamCase& c = GetParam();
    clip::Spec& spec = clip::Current();
    spec.durationMs = 1500;
    spec.audio = c.audio;
    spec.video = c.video;
    ASSERT_EQ(1, Open(c.rewind));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING; }));
    {
        std::lock_guard<std::mutex> g(obs.lock);
        EXPECT_EQ(c.audio ? 1u : 0u, obs.summary.audioCount);
        EXPECT_EQ(c.video ? 1u : 0u, obs.summary.videoCount);
    }
    if (!c.video) {
        // Picture steps need pictures: refused, nothing issued.
        for (uint32_t mode : {PLAYER_STEP_RESEEK, PLAYER_STEP_PICTURE}) {
            EXPECT_EQ(0, Player_StepForward(player, 100, mode)) << "mode " << mode;
            EXPECT_EQ(0, Player_StepBackward(player, 100, mode)) << "mode " << mode;
        }
        EXPECT_EQ(PLAYER_STATE_PLAYING, State());
    }
    if (c.rewind) {
        ASSERT_TRUE(WaitFor([&] { return obs.Saw(PLAYER_STATE_RANGE_END); }, 10000));
        ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED && Position() == 0; }));
        EXPECT_EQ(0, Ended());
    } else {
        ASSERT_TRUE(WaitFor([&] { return Ended() == 1; }, 10000))
            << "state " << State() << " position " << Position();
        ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_IDLE; }));
    }
    EXPECT_TRUE(Errors().empty());
    {
        std::lock_guard<std::mutex> g(obs.lock);
        EXPECT_GE(*std::max_element(obs.positions.begin(), obs.positions.end()),
                  spec.durationMs - 200)
            << "the clock runs up to the end";
    }
    auto pics = display.Snapshot();
    if (c.video) {
        ASSERT_GT(pics.size(), 20u);
        uint32_t last = 0;
        for (const auto& p : pics) last = std::max(last, p.timeMs);
        EXPECT_GE(last, spec.durationMs - 2 * spec.frameMs);
        EXPECT_EQ(0u, audio.Played());
        EXPECT_EQ(0u, audio.opens) << "no sound output for a clip without sound";
    } else {
        EXPECT_TRUE(pics.empty());
        EXPECT_EQ(0, display.opens) << "no display for a clip without pictures";
        // Nearly all of the sound: 16-bit samples of both channels.
        EXPECT_GE(audio.Played() * 10,
                  uint64_t(spec.rate) * spec.channels * 2 * spec.durationMs / 1000 * 9);
    }
}

INSTANTIATE_TEST_SUITE_P(Clips, OneStreamTest, ::testing::ValuesIn(kOneStream),
                         [](const ::testing::TestParamInfo<OneStreamCase>& i) {
                             return std::string(i.param.name);
                         });

// A step back by more than the position seeks to 0, and a step forward by
// more than what is left asks for the end, which no sample reaches: the
// clip goes on from its start. Either way the clip stays playing or
// paused, as it was.
TEST_F(PathsTest, StepsPastEitherEndLandAtTheStart) {
    struct Case {
        const char* name;
        bool forward;
        uint32_t mode;
        uint32_t extraMs;  // added to the position for the delta
        bool paused;
    };
    const Case cases[] = {
        {"back, exact, paused", false, PLAYER_STEP_EXACT, 5000, true},
        {"back, key frame, paused", false, PLAYER_STEP_KEY, 1, true},
        {"back, exact, playing", false, PLAYER_STEP_EXACT, 5000, false},
        {"back, largest delta", false, PLAYER_STEP_KEY, UINT32_MAX, true},
        {"forward, largest delta", true, PLAYER_STEP_EXACT, UINT32_MAX, true},
    };
    clip::Current().durationMs = 20000;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING; }));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (State() == PLAYER_STATE_PAUSED) {
            ASSERT_EQ(1, Player_Play(player));
        }
        ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING && Position() > 800; }));
        if (c.paused) {
            ASSERT_EQ(1, Player_Pause(player));
            ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED; }));
        }
        const uint32_t p = Position();
        const uint32_t delta = c.extraMs == UINT32_MAX ? UINT32_MAX : p + c.extraMs;
        const size_t shown = display.Snapshot().size();
        if (c.forward) {
            ASSERT_EQ(1, Player_StepForward(player, delta, c.mode));
            EXPECT_EQ(clip::Current().durationMs, player->requestedTarget.load());
        } else {
            ASSERT_EQ(1, Player_StepBackward(player, delta, c.mode));
            EXPECT_EQ(0u, player->requestedTarget.load());
        }
        const uint32_t resumed = c.paused ? PLAYER_STATE_PAUSED : PLAYER_STATE_PLAYING;
        // Every picture before the step lay past 800 ms.
        ASSERT_TRUE(WaitFor([&] {
            auto pics = display.Snapshot();
            bool fromStart = false;
            for (size_t i = shown; i < pics.size(); ++i) fromStart |= pics[i].timeMs < 400;
            return State() == resumed && fromStart;
        })) << "state "
            << State() << " position " << Position();
        if (c.paused) {
            EXPECT_EQ(0u, display.Snapshot().back().timeMs) << "the first picture is shown";
            EXPECT_EQ(0u, Position());
        }
    }
    std::lock_guard<std::mutex> g(obs.lock);
    EXPECT_EQ(0, obs.ended);
    EXPECT_TRUE(obs.errors.empty());
}

// The pause toggle: playing pauses, paused plays, and without a clip it is
// refused.
TEST_F(PathsTest, TogglePauseSwitchesBetweenPlayingAndPaused) {
    EXPECT_EQ(0, Player_TogglePause(player)) << "no clip open";
    EXPECT_EQ(0, Player_TogglePause(nullptr));
    clip::Current().durationMs = 20000;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING && Position() > 200; }));
    struct Case {
        const char* name;
        uint32_t from, to;
    };
    const Case cases[] = {
        {"playing pauses", PLAYER_STATE_PLAYING, PLAYER_STATE_PAUSED},
        {"paused plays", PLAYER_STATE_PAUSED, PLAYER_STATE_PLAYING},
        {"and pauses again", PLAYER_STATE_PLAYING, PLAYER_STATE_PAUSED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.from, State());
        ASSERT_EQ(1, Player_TogglePause(player));
        ASSERT_TRUE(WaitFor([&] { return State() == c.to; }));
        const uint32_t p = Position();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (c.to == PLAYER_STATE_PAUSED)
            EXPECT_EQ(p, Position()) << "the clock stands";
        else
            EXPECT_TRUE(WaitFor([&] { return Position() > p + 100; })) << "the clock runs";
    }
}

// Repeat: at the end the clip starts again from 0 and plays on, without
// the ended callback; once repeat is off again the next end finishes it.
TEST_F(PathsTest, RepeatPlaysTheClipAgainUntilSwitchedOff) {
    EXPECT_EQ(0, Player_SetRepeat(player, 1)) << "no clip open";
    clip::Current().durationMs = 1200;
    ASSERT_EQ(1, Open(0));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING; }));
    ASSERT_EQ(1, Player_SetRepeat(player, 1));
    // Rounds of play: the position climbs, falls back to the start and
    // climbs again.
    auto rounds = [&] {
        std::lock_guard<std::mutex> g(obs.lock);
        int n = 1;
        for (size_t i = 1; i < obs.positions.size(); ++i)
            if (obs.positions[i] + 600 < obs.positions[i - 1]) ++n;
        return n;
    };
    ASSERT_TRUE(WaitFor([&] { return rounds() >= 3 && Position() > 300; }, 20000))
        << "rounds " << rounds() << " state " << State();
    EXPECT_EQ(0, Ended());
    EXPECT_TRUE(obs.Saw(PLAYER_STATE_RANGE_END));
    auto pics = display.Snapshot();
    int restarts = 0;
    for (size_t i = 1; i < pics.size(); ++i)
        if (pics[i].timeMs + 600 < pics[i - 1].timeMs) ++restarts;
    EXPECT_GE(restarts, 2) << "the pictures start again from the beginning";

    ASSERT_EQ(1, Player_SetRepeat(player, 0));
    ASSERT_TRUE(WaitFor([&] { return Ended() == 1; }, 10000)) << "state " << State();
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_IDLE; }));
    EXPECT_TRUE(Errors().empty());
}

// The open clip's summary is the one Player_GetMediaInfo gives for its
// file; before any open it is all zeros.
TEST_F(PathsTest, OpenMediaInfoDescribesTheOpenClip) {
    MediaInfoSummary s;
    std::memset(&s, 0xAB, sizeof s);
    ASSERT_EQ(1, Player_GetOpenMediaInfo(player, &s));
    const MediaInfoSummary zero = {};
    EXPECT_EQ(0, std::memcmp(&zero, &s, sizeof s));
    EXPECT_EQ(0, Player_GetOpenMediaInfo(player, nullptr));
    EXPECT_EQ(0, Player_GetOpenMediaInfo(nullptr, &s));

    clip::Current().durationMs = 7000;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING; }));
    ASSERT_EQ(1, Player_GetOpenMediaInfo(player, &s));
    EXPECT_EQ(7000u, s.duration);
    EXPECT_EQ(1u, s.audioCount);
    EXPECT_EQ(1u, s.videoCount);
    EXPECT_EQ(1u, s.textCount);
    EXPECT_EQ(16000u, s.audio[0].sampleRate);
    EXPECT_EQ(2u, s.audio[0].channels);
    EXPECT_EQ(32u, s.video[0].width);
    EXPECT_EQ(16u, s.video[0].height);
    EXPECT_EQ(uint32_t(CODEC_TAG_BLBX), s.text[0].codec);
    std::lock_guard<std::mutex> g(obs.lock);
    EXPECT_EQ(0, std::memcmp(&obs.summary, &s, sizeof s))
        << "the same as the file's summary read apart";
}

// After picture steps while paused the sound is skipped up to the picture:
// played on, the sound goes on from there, so the clock (which the sound
// drives) does not fall back to where the clip was paused.
TEST_F(PathsTest, SoundFollowsThePictureStepsWhenPlayedOn) {
    clip::Current().durationMs = 20000;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING && Position() > 1000; }));
    ASSERT_EQ(1, Player_Pause(player));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED; }));
    const uint32_t pausedAt = Position();
    for (int i = 0; i < 25; ++i) {
        const uint32_t before = player->lastPictureMs;
        ASSERT_EQ(1, Player_StepForward(player, 0, PLAYER_STEP_PICTURE));
        ASSERT_TRUE(WaitFor([&] {
            return State() == PLAYER_STATE_PAUSED && player->lastPictureMs > before;
        })) << "step "
            << i;
    }
    const uint32_t stepped = player->lastPictureMs;
    ASSERT_GE(stepped, pausedAt + 800) << "the steps moved on";
    EXPECT_NEAR(double(stepped), double(Position()), 1.0) << "the clock follows the picture";
    const uint64_t played = audio.Played();
    ASSERT_EQ(1, Player_Play(player));
    // Watched closely: a fall back lasts only while stale sound plays.
    uint32_t lowest = Position();
    ASSERT_TRUE(WaitFor([&] {
        const uint32_t p = Position();
        lowest = std::min(lowest, p);
        return p > stepped + 500;
    }));
    EXPECT_GE(lowest + 60, stepped) << "the clock fell back";
    EXPECT_GT(audio.Played(), played) << "the sound plays on";
}

}  // namespace
