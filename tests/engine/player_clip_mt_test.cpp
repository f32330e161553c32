// The spine on a real clip file: made by mkclip (raw I420 pictures, 16-bit
// PCM and the recorder's data track), read by the source and the MP4
// reader, played through the Player_ interface on the recording devices.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "spine_fakes.h"
#include "spine_fixture.h"

namespace {

// Makes (once, cached under the test data folder) a clip of the current
// clip::Spec and returns its path.
std::string MakeClip(const char* tag) {
    const clip::Spec& s = clip::Current();
    std::string dir = std::string(DC_TESTDATA) + "/spine";
    std::string out = dir + "/" + tag + ".mp4";
    if (FILE* f = std::fopen(out.c_str(), "rb")) {
        std::fclose(f);
        return out;
    }
    std::system(("mkdir -p '" + dir + "'").c_str());
    std::string yuv = out + ".yuv", pcm = out + ".pcm";
    std::vector<uint8_t> pic(clip::FrameBytes(s));
    FILE* v = std::fopen(yuv.c_str(), "wb");
    for (uint32_t i = 0; i < s.durationMs / s.frameMs; ++i) {
        clip::FillPicture(s, i, pic.data());
        std::fwrite(pic.data(), 1, pic.size(), v);
    }
    std::fclose(v);
    FILE* a = std::fopen(pcm.c_str(), "wb");
    std::vector<int16_t> samples(size_t(s.rate) * s.channels / 10);
    for (uint32_t t = 0; t < s.durationMs / 100; ++t) {
        for (size_t k = 0; k < samples.size(); ++k) samples[k] = static_cast<int16_t>((k * 97 + t) & 0x3FFF);
        std::fwrite(samples.data(), 2, samples.size(), a);
    }
    std::fclose(a);
    std::string cmd = std::string(DC_BINARY_DIR) + "/tools/mkclip/mkclip --i420 '" + yuv + "' --size " +
                      std::to_string(s.width) + "x" + std::to_string(s.height) + " --fps " +
                      std::to_string(1000 / s.frameMs) + " --raw-entry I420 --pcm '" + pcm +
                      "' --pcm-rate " + std::to_string(s.rate) + " --pcm-channels " +
                      std::to_string(s.channels) + " --pcm-frames " + std::to_string(s.audioPacketSamples) +
                      " -o '" + out + ".tmp' > /dev/null 2>&1 && mv '" + out + ".tmp' '" + out + "'";
    int rc = std::system(cmd.c_str());
    std::remove(yuv.c_str());
    std::remove(pcm.c_str());
    return rc == 0 ? out : std::string();
}

std::u16string Wide(const std::string& s) { return std::u16string(s.begin(), s.end()); }

class ClipSpineTest : public SpineTest {
protected:
    void Use(const char* tag, uint32_t durationMs) {
        clip::Current().durationMs = durationMs;
        path = MakeClip(tag);
        ASSERT_FALSE(path.empty()) << "mkclip failed";
        wide = Wide(path);
        name = wide.c_str();
        obs.name = name;
        PlayerOpenParams p = {};
        p.fileName = name;
        MediaInfoSummary s = {};
        ASSERT_EQ(0, Player_GetMediaInfo(&p, &s, nullptr));
        if (s.video[0].width == 0 || s.audio[0].sampleRate == 0)
            GTEST_SKIP() << "the reader gives no picture size or sample rate for raw tracks";
    }
    std::string path;
    std::u16string wide;
};

TEST_F(ClipSpineTest, PlaysTheFileAndShowsItsPictures) {
    Use("clip3s", 3000);
    if (IsSkipped()) return;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return obs.Saw(PLAYER_STATE_RANGE_END); }, 15000));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED && Position() == 0; }));
    {
        std::lock_guard<std::mutex> g(obs.lock);
        EXPECT_EQ(1, obs.opened);
        EXPECT_NEAR(3000.0, obs.duration, 100.0);
        EXPECT_EQ(1u, obs.summary.videoCount);
        EXPECT_EQ(1u, obs.summary.audioCount);
        EXPECT_GT(obs.textSamples, 0) << "the data track is read in the opened callback";
        EXPECT_EQ(0, obs.ended);
        EXPECT_TRUE(obs.errors.empty());
    }
    // Every picture shown is the clip's own picture for its time.
    const clip::Spec& s = clip::Current();
    std::vector<uint8_t> pic(clip::FrameBytes(s));
    auto pics = display.Snapshot();
    ASSERT_GT(pics.size(), 60u);
    size_t checked = 0;
    for (const auto& p : pics) {
        uint32_t i = p.timeMs / s.frameMs;
        clip::FillPicture(s, i, pic.data());
        DecodedFrame f = {pic.data(), pic.data() + s.width * s.height,
                          pic.data() + s.width * s.height * 5 / 4, s.width, p.timeMs};
        EXPECT_EQ(RecordingDisplay::Checksum(&f, s.width, s.height), p.checksum) << "picture at " << p.timeMs;
        if (++checked > 200) break;
    }
    EXPECT_GT(audio.playedTotal, 0u);
}

TEST_F(ClipSpineTest, MissingFileEndsWithTheEndedCallback) {
    name = u"/nonexistent/clip.mp4";
    obs.name = name;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { std::lock_guard<std::mutex> g(obs.lock); return obs.ended == 1; }));
    std::lock_guard<std::mutex> g(obs.lock);
    ASSERT_EQ(1u, obs.errors.size());
    EXPECT_EQ(0x80000010u, obs.errors[0]);
}

TEST_F(ClipSpineTest, SeekAndStepOnTheFile) {
    Use("clip10s", 10000);
    if (IsSkipped()) return;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING; }));
    ASSERT_EQ(1, Player_Seek(player, 6000, 1));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING && Position() >= 6000; }));
    ASSERT_TRUE(WaitFor([&] { return display.Snapshot().back().timeMs >= 6000; }));
    ASSERT_EQ(1, Player_Pause(player));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED; }));
    uint32_t before = player->lastPictureMs;
    ASSERT_EQ(1, Player_StepForward(player, 0, 4));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED && player->lastPictureMs > before; }));
    ASSERT_EQ(1, Player_Stop(player));
}

// The measures on a 60-second file (a 5-second one under ThreadSanitizer,
// where only the race check counts).
class ClipMeasureTest : public ClipSpineTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(ClipMeasureTest, SixtySecondFile) {
    const uint32_t speed = GetParam();
#if defined(__SANITIZE_THREAD__)
    Use("clip5s", 5000);
    sim::Speed() = 1;
#else
    Use("clip60s", 60000);
    sim::Speed() = 200 / speed;  // 2 ms of media time per real ms at either speed
#endif
    if (IsSkipped()) return;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING; }));
    ASSERT_EQ(1, Player_SetSpeed(player, speed));
    ASSERT_TRUE(WaitFor([&] { return obs.Saw(PLAYER_STATE_RANGE_END); }, 120000));
    const clip::Spec& s = clip::Current();
    auto pics = display.Snapshot();
    size_t frames = s.durationMs / s.frameMs, shown = 0, late = 0;
    int32_t gap = 0;
    std::vector<bool> seen(frames, false);
    for (const auto& p : pics) {
        uint32_t i = p.timeMs / s.frameMs;
        if (i >= frames || seen[i]) continue;
        seen[i] = true;
        ++shown;
        int32_t g = p.lagMs < 0 ? -p.lagMs : p.lagMs;
        gap = g > gap ? g : gap;
        if (p.lagMs > 40) {
            ++late;
        }
    }
    std::printf("file, speed %u%%: pictures %zu, shown %zu, dropped %zu, late %zu, largest gap %d ms\n",
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

INSTANTIATE_TEST_SUITE_P(Speeds, ClipMeasureTest, ::testing::Values(100u, 200u));

}  // namespace
