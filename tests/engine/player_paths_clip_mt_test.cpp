// The player's less travelled paths on FFmpeg-made files, read by the real
// source and MP4 reader and decoded by the real decoders: files with only
// pictures or only sound, the play range and the per-track time offset.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "spine_fakes.h"
#include "spine_fixture.h"

namespace {

// Makes (once, under the test data folder) a file with FFmpeg's MPEG-4 part
// 2 and AAC encoders: 176x144 test pictures at 10 per second with a key
// frame each second, and a 16 kHz mono tone.
std::string MakeFile(const std::string& tag, const std::string& inputs, const std::string& opts) {
    const std::string dir = std::string(DC_TESTDATA) + "/paths";
    const std::string out = dir + "/" + tag + ".mp4";
    if (FILE* f = std::fopen(out.c_str(), "rb")) {
        std::fclose(f);
        return out;
    }
    std::system(("mkdir -p '" + dir + "'").c_str());
    const std::string cmd = "ffmpeg -nostdin -v error -y " + inputs + " " + opts + " '" + out +
                            ".tmp.mp4' && mv '" + out + ".tmp.mp4' '" + out + "'";
    return std::system(cmd.c_str()) == 0 ? out : std::string();
}

const char kPictures[] = "-f lavfi -i testsrc=size=176x144:rate=10";
const char kTone[] = "-f lavfi -i sine=frequency=440:sample_rate=16000";
const char kVideoCodec[] = "-c:v mpeg4 -g 10";
const char kAudioCodec[] = "-c:a aac -ac 1 -b:a 32k";

std::string PicturesAndSound(uint32_t seconds) {
    return MakeFile("av" + std::to_string(seconds), std::string(kPictures) + " " + kTone,
                    "-t " + std::to_string(seconds) + " " + kVideoCodec + " " + kAudioCodec);
}

std::u16string Wide(const std::string& s) { return std::u16string(s.begin(), s.end()); }

class PathsFileTest : public SpineTest {
protected:
    void Use(const std::string& file) {
        ASSERT_FALSE(file.empty()) << "ffmpeg could not make the file";
        path = file;
        wide = Wide(path);
        name = wide.c_str();
        obs.name = name;
        // The decoders keep up with small pictures at twice real time.
        sim::Speed() = 2;
    }
    uint32_t LastPicture() {
        auto p = display.Snapshot();
        return p.empty() ? UINT32_MAX : p.back().timeMs;
    }
    uint32_t LatestPicture() {
        uint32_t m = 0;
        for (const auto& p : display.Snapshot()) m = std::max(m, p.timeMs);
        return m;
    }
    int RangeEnds() {
        std::lock_guard<std::mutex> g(obs.lock);
        int n = 0;
        for (size_t i = 0; i < obs.states.size(); ++i)
            n += obs.states[i] == PLAYER_STATE_RANGE_END &&
                 (i == 0 || obs.states[i - 1] != PLAYER_STATE_RANGE_END);
        return n;
    }
    std::string path;
    std::u16string wide;
};

struct OneStreamFile {
    const char* tag;
    bool audio, video;
};
const OneStreamFile kOneStreamFiles[] = {
    {"pictures_only", false, true},
    {"sound_only", true, false},
};

class OneStreamFileTest : public PathsFileTest,
                          public ::testing::WithParamInterface<OneStreamFile> {};

// Played to the end, a file with one stream ends its range and stands
// paused at its start, with every picture or nearly all of its sound.
TEST_P(OneStreamFileTest, PlaysToTheEndAndRewinds) {
    const OneStreamFile& c = GetParam();
    const std::string inputs = c.video ? kPictures : kTone;
    const std::string opts = std::string("-t 3 ") + (c.video ? kVideoCodec : kAudioCodec);
    Use(MakeFile(c.tag, inputs, opts));
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return obs.Saw(PLAYER_STATE_RANGE_END); }, 20000))
        << "state " << State() << " position " << Position();
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED && Position() == 0; }));
    {
        std::lock_guard<std::mutex> g(obs.lock);
        EXPECT_EQ(1, obs.opened);
        EXPECT_EQ(c.audio ? 1u : 0u, obs.summary.audioCount);
        EXPECT_EQ(c.video ? 1u : 0u, obs.summary.videoCount);
        EXPECT_NEAR(3000.0, obs.duration, 150.0);
        EXPECT_EQ(0, obs.ended);
        EXPECT_TRUE(obs.errors.empty());
        EXPECT_GE(*std::max_element(obs.positions.begin(), obs.positions.end()), 2700u);
    }
    auto pics = display.Snapshot();
    if (c.video) {
        std::vector<bool> seen(30, false);
        for (const auto& p : pics)
            if (p.timeMs / 100 < seen.size()) seen[p.timeMs / 100] = true;
        EXPECT_TRUE(seen.back()) << "the last picture is shown";
#if !defined(__SANITIZE_THREAD__)
        // (Under ThreadSanitizer the slowed decoder may drop late pictures.)
        EXPECT_GE(std::count(seen.begin(), seen.end(), true), 27) << "nearly every picture";
#endif
        EXPECT_EQ(0u, audio.opens);
    } else {
        EXPECT_TRUE(pics.empty());
        EXPECT_EQ(0, display.opens);
        // 3 s of 16-bit mono at 16 kHz.
        EXPECT_GE(audio.Played() * 10, uint64_t(16000) * 2 * 3 * 9);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, OneStreamFileTest, ::testing::ValuesIn(kOneStreamFiles),
                         [](const ::testing::TestParamInfo<OneStreamFile>& i) {
                             return std::string(i.param.tag);
                         });

// A play range: setting it with the seek flag before its start moves there;
// playing stops at its end (state 15) and rewinds to it; a seek past its end
// lands on its start, and the end holds again after that; cleared, the clip
// plays to its own end.
TEST_F(PathsFileTest, PlayRangeBoundsPlayback) {
    EXPECT_EQ(0, Player_SetPlayRange(player, 1000, 2000, 1)) << "no clip open";
    Use(PicturesAndSound(4));
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING; }));
    ASSERT_EQ(1, Player_Pause(player));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED; }));
    ASSERT_LT(Position(), 2000u);

    // Before the start, with the seek flag: there at once, still paused.
    ASSERT_EQ(1, Player_SetPlayRange(player, 2000, 3000, 1));
    ASSERT_TRUE(WaitFor([&] {
        return State() == PLAYER_STATE_PAUSED && Position() == 2000 && LastPicture() == 2000;
    })) << "state "
        << State() << " position " << Position() << " picture " << LastPicture();

    struct Round {
        const char* name;
        bool seekPastEnd;
    };
    const Round rounds[] = {{"played from the start", false}, {"after a seek past the end", true}};
    for (const Round& r : rounds) {
        SCOPED_TRACE(r.name);
        if (r.seekPastEnd) {
            ASSERT_EQ(1, Player_Seek(player, 3500, 1));
            ASSERT_TRUE(WaitFor([&] {
                return State() == PLAYER_STATE_PAUSED && Position() == 2000 &&
                       LastPicture() == 2000;
            })) << "position "
                << Position() << " picture " << LastPicture();
        }
        const int ends = RangeEnds();
        const size_t shown = display.Snapshot().size();
        ASSERT_EQ(1, Player_Play(player));
        ASSERT_TRUE(WaitFor([&] { return RangeEnds() > ends; }, 15000))
            << "state " << State() << " position " << Position();
        // The rewind seeks back by key frame from the range's start: it
        // stands on the key frame at or before it (one a second).
        ASSERT_TRUE(WaitFor([&] {
            return State() == PLAYER_STATE_PAUSED && Position() >= 1000 && Position() <= 2000;
        })) << "position "
            << Position();
        auto pics = display.Snapshot();
        uint32_t latest = 0;
        for (size_t i = shown; i < pics.size(); ++i) latest = std::max(latest, pics[i].timeMs);
        EXPECT_GE(latest, 2800u) << "played up to the end of the range";
        EXPECT_LE(latest, 3000u) << "nothing past the end of the range";
    }

    // Cleared: on to the clip's own end, then back to 0.
    ASSERT_EQ(1, Player_SetPlayRange(player, 0, 0, 0));
    const int ends = RangeEnds();
    ASSERT_EQ(1, Player_Play(player));
    ASSERT_TRUE(WaitFor([&] { return RangeEnds() > ends; }, 15000));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED && Position() == 0; }))
        << "position " << Position();
    EXPECT_GE(LatestPicture(), 3800u);
    std::lock_guard<std::mutex> g(obs.lock);
    EXPECT_EQ(0, obs.ended);
    EXPECT_TRUE(obs.errors.empty());
}

// A time offset moves the times of one track's samples from the next
// sample read on; offsets add up, and 0 puts them back.
TEST_F(PathsFileTest, TimeOffsetMovesThePictureTimes) {
    EXPECT_EQ(0, Player_SetTimeOffset(player, 20, PLAYER_TRACK_VIDEO)) << "no clip open";
    Use(PicturesAndSound(12));
    sim::Speed() = 1;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING && Position() > 300; }));
    struct Step {
        int32_t offsetMs;
        uint32_t remainder;  // of the picture times, which are whole tenths of a second
    };
    const Step steps[] = {{20, 20}, {30, 50}, {0, 0}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.offsetMs);
        const size_t before = display.Snapshot().size();
        ASSERT_EQ(1, Player_SetTimeOffset(player, s.offsetMs, PLAYER_TRACK_VIDEO));
        // Two packets were read before the change; then three more.
        ASSERT_TRUE(WaitFor([&] { return display.Snapshot().size() >= before + 6; }, 10000));
        auto pics = display.Snapshot();
        for (size_t i = pics.size() - 3; i < pics.size(); ++i)
            EXPECT_EQ(s.remainder, pics[i].timeMs % 100) << "picture at " << pics[i].timeMs;
    }
    EXPECT_EQ(PLAYER_STATE_PLAYING, State());
    std::lock_guard<std::mutex> g(obs.lock);
    EXPECT_TRUE(obs.errors.empty());
}

}  // namespace
