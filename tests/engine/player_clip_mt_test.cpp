// The spine on real clip files, read by the source and the MP4 reader and
// played through the Player_ interface on the recording devices: clips made
// by mkclip from raw 4:2:0 pictures (known checksums) and AAC sound, and the
// sample card's clips (MPEG-4 part 2 or H.263 video, AAC audio) through the
// real decoders.
#include <gtest/gtest.h>

#include <algorithm>
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
    std::string dir = std::string(DC_TESTDATA) + "/spine-aac";
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
        for (size_t k = 0; k < samples.size(); ++k)
            samples[k] = static_cast<int16_t>((k * 97 + t) & 0x3FFF);
        std::fwrite(samples.data(), 2, samples.size(), a);
    }
    std::fclose(a);
    // The sound as AAC (the reader takes AAC, not raw PCM entries); the
    // pictures stay raw, in an "mp4v" entry marked as uncompressed 4:2:0.
    std::string aac = out + ".aac";
    std::string cmd =
        "ffmpeg -nostdin -v error -y -f s16le -ar " + std::to_string(s.rate) + " -ac " +
        std::to_string(s.channels) + " -i '" + pcm + "' -c:a aac -b:a 64k -f adts '" + aac +
        "' && " + std::string(DC_BINARY_DIR) + "/tools/mkclip/mkclip --i420 '" + yuv + "' --size " +
        std::to_string(s.width) + "x" + std::to_string(s.height) + " --fps " +
        std::to_string(1000 / s.frameMs) + " --raw-entry mp4v --aac '" + aac + "' -o '" + out +
        ".tmp' > /dev/null 2>&1 && mv '" + out + ".tmp' '" + out + "'";
    int rc = std::system(cmd.c_str());
    std::remove(yuv.c_str());
    std::remove(pcm.c_str());
    std::remove(aac.c_str());
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
    PaceWithVideo();
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return obs.Saw(PLAYER_STATE_RANGE_END); }, 15000));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED && Position() == 0; }));
    {
        std::lock_guard<std::mutex> g(obs.lock);
        EXPECT_EQ(1, obs.opened);
        EXPECT_NEAR(3000.0, obs.duration, 300.0);  // AAC adds its priming
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
        EXPECT_EQ(RecordingDisplay::Checksum(&f, s.width, s.height), p.checksum)
            << "picture at " << p.timeMs;
        if (++checked > 200) break;
    }
    EXPECT_GT(audio.Played(), 0u);
}

TEST_F(ClipSpineTest, MissingFileEndsWithTheEndedCallback) {
    name = u"/nonexistent/clip.mp4";
    obs.name = name;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] {
        std::lock_guard<std::mutex> g(obs.lock);
        return obs.ended == 1;
    }));
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
    ASSERT_TRUE(WaitFor([&] {
        auto p = display.Snapshot();
        return !p.empty() && p.back().timeMs >= 6000;
    }));
    ASSERT_EQ(1, Player_Pause(player));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED; }));
    uint32_t before = player->lastPictureMs;
    ASSERT_EQ(1, Player_StepForward(player, 0, 4));
    ASSERT_TRUE(
        WaitFor([&] { return State() == PLAYER_STATE_PAUSED && player->lastPictureMs > before; }));
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
    sim::Speed() = 800 / speed;  // 8 ms of media time per real ms at either speed
#endif
    if (IsSkipped()) return;
    PaceWithVideo();
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
    std::printf(
        "file, speed %u%%: pictures %zu, shown %zu, dropped %zu, late %zu, largest gap %d ms\n",
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

// ---- the sample card's clips through the real video and audio decoders

const std::string kCard = std::string(DC_TESTDATA) + "/card";

struct CardClip {
    const char* path;
    uint32_t width, height, fps, seconds, rate, channels;  // sound as played: HE-AAC v2
};

const CardClip kCardClips[] = {
    {"RIVAVEZU/REC_20240315_093000.mp4", 640, 480, 15, 4, 44100, 2},
    {"RIVAVEZU/INFINITE/INFI_20240315_093004.mp4", 320, 240, 15, 4, 32000, 2},
    {"RIVAVEZU/INFINITE/INFI_20240315_093008.mp4", 1280, 720, 10, 3, 48000, 2},
    {"RIVAVEZU/INFINITE/INFI_20240315_093011.mp4", 352, 288, 15, 4, 32000, 2},
    {"RIVAVEZU/EVENT/EVT_20240315_093015.mp4", 640, 480, 15, 4, 44100, 2},
};

// FFmpeg's decode of a clip, as one luma signature per picture.
std::vector<std::vector<uint16_t>> ReferenceSignatures(const std::string& path, uint32_t w,
                                                       uint32_t h) {
    std::vector<std::vector<uint16_t>> v;
    FILE* p = popen(
        ("ffmpeg -nostdin -v error -i '" + path + "' -f rawvideo -pix_fmt yuv420p -").c_str(), "r");
    if (!p) return v;
    std::vector<uint8_t> frame(size_t(w) * h * 3 / 2);
    while (std::fread(frame.data(), 1, frame.size(), p) == frame.size())
        v.push_back(RecordingDisplay::Blocks(frame.data(), w, w, h));
    pclose(p);
    return v;
}

class CardSpineTest : public SpineTest {
protected:
    static void SetUpTestSuite() {
        std::string cmd = "MKCLIP='" + std::string(DC_BINARY_DIR) + "/tools/mkclip/mkclip' '" +
                          std::string(DC_SOURCE_DIR) + "/tools/mkcard' '" + kCard +
                          "' > /dev/null 2>&1";
        ASSERT_EQ(0, std::system(cmd.c_str())) << "mkcard failed";
    }
    void Use(const CardClip& c) {
        clip = c;
        path = kCard + "/" + c.path;
        wide = Wide(path);
        name = wide.c_str();
        obs.name = name;
        PlayerOpenParams p = {};
        p.fileName = name;
        MediaInfoSummary s = {};
        ASSERT_EQ(0, Player_GetMediaInfo(&p, &s, nullptr));
        ASSERT_EQ(c.width, s.video[0].width);
        ASSERT_EQ(c.height, s.video[0].height);
        ASSERT_EQ(c.rate / 2, s.audio[0].sampleRate);  // the track describes the AAC-LC core
        reference = ReferenceSignatures(path, c.width, c.height);
        ASSERT_GE(reference.size(), size_t(c.fps * c.seconds - 1))
            << "ffmpeg could not decode " << path;
        // Real time, or twice that for the small pictures; where the
        // decoders fall behind (sanitizers, a loaded machine) the simulated
        // time waits for them, so every picture is due to be shown.
        sim::Speed() = c.width * c.height > 640 * 480 ? 1 : 2;
        display.keepBlocks = true;
        PaceWithVideo(uint32_t((reference.size() - 1) * 1000 / c.fps) - 2);
    }
    std::string StateList() {
        std::lock_guard<std::mutex> g(obs.lock);
        std::string s;
        for (size_t i = 0; i < obs.states.size(); ++i)
            if (i == 0 || obs.states[i] != obs.states[i - 1])
                s += std::to_string(obs.states[i]) + "@" + std::to_string(obs.positions[i]) + " ";
        return s;
    }
    // Whether a shown picture is FFmpeg's picture for its time: closer to
    // it than to its neighbours, and close in absolute terms (two decoders
    // of one stream differ by a fraction of a level; neighbouring pictures
    // of the moving test patterns by 0.5 to 3).
    ::testing::AssertionResult IsPictureOfItsTime(const RecordingDisplay::Picture& p) const {
        size_t i = (uint64_t(p.timeMs) * clip.fps + 500) / 1000;
        if (i >= reference.size())
            return ::testing::AssertionFailure() << "no picture at " << p.timeMs;
        double own = RecordingDisplay::BlockDistance(p.blocks, reference[i]);
        if (own > 0.4)
            return ::testing::AssertionFailure()
                   << "picture at " << p.timeMs << " is " << own << " levels off";
        for (size_t k = i > 2 ? i - 2 : 0; k <= i + 2 && k < reference.size(); ++k) {
            if (k == i) continue;
            double other = RecordingDisplay::BlockDistance(p.blocks, reference[k]);
            if (other <= own)
                return ::testing::AssertionFailure()
                       << "picture at " << p.timeMs << " looks like picture " << k << " (" << other
                       << " against " << own << ")";
        }
        return ::testing::AssertionSuccess();
    }
    CardClip clip = {};
    std::string path;
    std::u16string wide;
    std::vector<std::vector<uint16_t>> reference;
};

void PrintTo(const CardClip& c, std::ostream* os) { *os << c.path; }

class CardPlayTest : public CardSpineTest, public ::testing::WithParamInterface<CardClip> {};

TEST_P(CardPlayTest, PlaysToTheEndThroughTheRealDecoders) {
    Use(GetParam());
    const uint32_t durationMs = clip.seconds * 1000, frameMs = 1000 / clip.fps;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(
        WaitFor([&] { return obs.Saw(PLAYER_STATE_RANGE_END); }, int(durationMs) * 2 + 20000));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED && Position() == 0; }));
    // The rewind shows the first picture again.
    ASSERT_TRUE(WaitFor([&] {
        auto p = display.Snapshot();
        return !p.empty() && p.back().timeMs == 0;
    }));
    {
        std::lock_guard<std::mutex> g(obs.lock);
        EXPECT_EQ(1, obs.opened);
        EXPECT_NEAR(double(durationMs), obs.duration, 300.0);
        EXPECT_GT(obs.textSamples, 0) << "the data track is read in the opened callback";
        EXPECT_EQ(0, obs.ended);
        EXPECT_TRUE(obs.errors.empty());
        // Playing, then the end of the range, then paused at 0.
        auto playing =
            std::find(obs.states.begin(), obs.states.end(), uint32_t(PLAYER_STATE_PLAYING));
        auto end = std::find(playing, obs.states.end(), uint32_t(PLAYER_STATE_RANGE_END));
        ASSERT_NE(obs.states.end(), end);
        EXPECT_NE(obs.states.end(),
                  std::find(end, obs.states.end(), uint32_t(PLAYER_STATE_PAUSED)));
        EXPECT_GE(*std::max_element(obs.positions.begin(), obs.positions.end()),
                  durationMs - 3 * frameMs)
            << "the position reaches the end";
    }
    // The pictures up to the rewind: in order, nearly all of them, each the
    // clip's own picture for its time.
    auto pics = display.Snapshot();
    size_t n = 1;
    while (n < pics.size() && pics[n].timeMs > pics[n - 1].timeMs) ++n;
    const size_t frames = clip.fps * clip.seconds;
#if !defined(__SANITIZE_THREAD__)
    // (Under ThreadSanitizer the decoders are many times slower, and on a
    // small loaded machine late pictures are dropped; there the race check
    // is what counts.)
    EXPECT_GE(n * 10, frames * 9) << "pictures shown before the rewind";
#else
    (void)frames;
#endif
    EXPECT_GE(pics[n - 1].timeMs, durationMs - 3 * frameMs);
    // Every picture, the last one too (the MPEG-4 decoder gives that one
    // out only at the end of the stream). Under ThreadSanitizer the slowed
    // decoders may start late enough for the first pictures to be dropped
    // as late; there only the last one counts.
    std::vector<bool> seen(reference.size(), false);
    for (size_t i = 0; i < n; ++i) {
        size_t k = (uint64_t(pics[i].timeMs) * clip.fps + 500) / 1000;
        if (k < seen.size()) seen[k] = true;
    }
#if !defined(__SANITIZE_THREAD__)
    for (size_t k = 0; k < seen.size(); ++k)
        EXPECT_TRUE(seen[k]) << "picture " << k << " of " << seen.size() << " not shown";
#endif
    EXPECT_EQ(uint64_t(reference.size() - 1),
              (uint64_t(pics[n - 1].timeMs) * clip.fps + 500) / 1000)
        << "the last picture shown before the rewind";
    for (size_t i = 0; i < n; ++i) EXPECT_TRUE(IsPictureOfItsTime(pics[i]));
    EXPECT_TRUE(IsPictureOfItsTime(pics.back()));
    // The sound: at least the clip's samples, as 16-bit PCM.
    EXPECT_GE(audio.Played() * 10, uint64_t(clip.rate) * clip.channels * 2 * clip.seconds * 9);
    // at the decoded rate and channel count (the device's lock, taken above,
    // orders these reads after its open)
    EXPECT_EQ(clip.rate, audio.renderer->outRate);
    EXPECT_EQ(clip.channels, audio.renderer->outChannels);
}

INSTANTIATE_TEST_SUITE_P(Card, CardPlayTest, ::testing::ValuesIn(kCardClips),
                         [](const ::testing::TestParamInfo<CardClip>& i) {
                             std::string n = i.param.path;
                             n = n.substr(n.rfind('/') + 1);
                             n = n.substr(0, n.find('_')) + "_" + std::to_string(i.param.width) +
                                 "x" + std::to_string(i.param.height);
                             return n;
                         });

TEST_F(CardSpineTest, SeekPauseAndStepOnARealClip) {
    Use(kCardClips[0]);
    const uint32_t frameMs = 1000 / clip.fps;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING; }));

    ASSERT_EQ(1, Player_Seek(player, 2000, 1));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING && Position() >= 2000; }));
    ASSERT_TRUE(WaitFor([&] {
        auto p = display.Snapshot();
        return !p.empty() && p.back().timeMs >= 2200;
    }));
    {
        auto pics = display.Snapshot();
        auto it = std::find_if(pics.begin(), pics.end(),
                               [](const RecordingDisplay::Picture& p) { return p.timeMs >= 1900; });
        ASSERT_NE(pics.end(), it);
        for (; it != pics.end(); ++it) ASSERT_TRUE(IsPictureOfItsTime(*it));
    }

    ASSERT_EQ(1, Player_Pause(player));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED; }));
    uint32_t paused = Position();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(paused, Position()) << "the clock stands while paused";

    // One picture forward, then one back: each shows the clip's picture.
    uint32_t before = player->lastPictureMs;
    size_t shown = display.Snapshot().size();
    ASSERT_EQ(1, Player_StepForward(player, 0, 4));
    ASSERT_TRUE(WaitFor([&] {
        auto p = display.Snapshot();
        return State() == PLAYER_STATE_PAUSED && p.size() > shown && p.back().timeMs > before;
    }));
    auto fwd = display.Snapshot().back();
    EXPECT_NEAR(double(before + frameMs), double(fwd.timeMs), 2.0);
    EXPECT_TRUE(IsPictureOfItsTime(fwd));

    ASSERT_EQ(1, Player_StepBackward(player, 0, 4));
    ASSERT_TRUE(WaitFor([&] {
        auto p = display.Snapshot();
        return State() == PLAYER_STATE_PAUSED && player->seekMode == 0 &&
               p.back().timeMs < fwd.timeMs;
    }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // paused: the picture is redrawn
    auto back = display.Snapshot().back();
    EXPECT_LT(back.timeMs, fwd.timeMs);
    EXPECT_NEAR(double(fwd.timeMs - frameMs), double(back.timeMs), 2.0) << "one picture back";
    EXPECT_TRUE(IsPictureOfItsTime(back));

    // Resumed, it plays on to the end and rewinds.
    ASSERT_EQ(1, Player_Play(player));
    ASSERT_TRUE(WaitFor([&] { return obs.Saw(PLAYER_STATE_RANGE_END); }, 15000));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED && Position() == 0; }))
        << "state " << State() << " position " << Position() << " states " << StateList();
    std::lock_guard<std::mutex> g(obs.lock);
    EXPECT_EQ(0, obs.ended);
    EXPECT_TRUE(obs.errors.empty());
}

// Stepping paused up to the end shows the last picture; played on from
// there the clip still ends the range and rewinds to a paused start.
TEST_P(CardPlayTest, StepsForwardToTheLastPicture) {
    Use(GetParam());
    const uint32_t frameMs = 1000 / clip.fps;
    const uint32_t lastMs = uint32_t((reference.size() - 1) * 1000 / clip.fps);
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PLAYING; }));
    ASSERT_EQ(1, Player_Pause(player));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED; }));
    const uint32_t target = lastMs - 3 * frameMs;
    ASSERT_EQ(1, Player_Seek(player, target, 1));
    ASSERT_TRUE(WaitFor([&] {
        auto p = display.Snapshot();
        // The seek lands on the key frame before the target (one a second).
        return State() == PLAYER_STATE_PAUSED && !p.empty() &&
               p.back().timeMs + 1000 + frameMs >= target;
    })) << "states "
        << StateList();
    for (int i = 0; i < 2 * int(clip.fps) && player->lastPictureMs + frameMs / 2 < lastMs; ++i) {
        uint32_t before = player->lastPictureMs;
        ASSERT_EQ(1, Player_StepForward(player, 0, 4));
        ASSERT_TRUE(WaitFor([&] {
            return State() == PLAYER_STATE_PAUSED && player->lastPictureMs > before;
        })) << "step "
            << i << " from " << before << " (last picture " << lastMs << ")";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // paused: the picture is redrawn
    auto last = display.Snapshot().back();
    EXPECT_NEAR(double(lastMs), double(last.timeMs), 2.0) << "the step reaches the last picture";
    EXPECT_TRUE(IsPictureOfItsTime(last));
    // One more step finds nothing to show and stays paused on it.
    ASSERT_EQ(1, Player_StepForward(player, 0, 4));
    EXPECT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED; }))
        << "states " << StateList();
    EXPECT_NEAR(double(lastMs), double(display.Snapshot().back().timeMs), 2.0);

    obs.lock.lock();
    size_t from = obs.states.size();
    obs.lock.unlock();
    ASSERT_EQ(1, Player_Play(player));
    ASSERT_TRUE(WaitFor([&] { return obs.Saw(PLAYER_STATE_RANGE_END); }, 15000))
        << "states " << StateList();
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED && Position() == 0; }))
        << "states " << StateList();
    std::lock_guard<std::mutex> g(obs.lock);
    auto playing = std::find(obs.states.begin() + long(from), obs.states.end(),
                             uint32_t(PLAYER_STATE_PLAYING));
    auto end = std::find(playing, obs.states.end(), uint32_t(PLAYER_STATE_RANGE_END));
    ASSERT_NE(obs.states.end(), end) << "playing, then the end of the range";
    EXPECT_NE(obs.states.end(), std::find(end, obs.states.end(), uint32_t(PLAYER_STATE_PAUSED)));
    EXPECT_EQ(0, obs.ended);
    EXPECT_TRUE(obs.errors.empty());
}

// A seek the reader refuses (the duration lies past the last sample) sets
// the target to 0: the clip goes on from its start, playing or paused as it
// was, instead of jumping its clock to the end and finishing.
TEST_F(CardSpineTest, RefusedSeekGoesOnFromTheStart) {
    struct Case {
        const char* name;
        bool pauseFirst;
        uint32_t resumed;
    };
    const Case cases[] = {
        {"while playing", false, PLAYER_STATE_PLAYING},
        {"while paused", true, PLAYER_STATE_PAUSED},
    };
    Use(kCardClips[1]);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(1, Open());
        ASSERT_TRUE(
            WaitFor([&] { return State() == PLAYER_STATE_PLAYING && Position() >= 1500; }, 15000));
        if (c.pauseFirst) {
            ASSERT_EQ(1, Player_Pause(player));
            ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_PAUSED; }));
        }
        size_t statesBefore;
        {
            std::lock_guard<std::mutex> g(obs.lock);
            statesBefore = obs.states.size();
        }
        // Capped at the duration, which no sample reaches.
        ASSERT_EQ(1, Player_Seek(player, 0xFFFFFFFFu, 1));
        ASSERT_TRUE(WaitFor([&] { return State() == c.resumed && Position() < 1000; }))
            << "state " << State() << " position " << Position() << " states " << StateList();
        if (!c.pauseFirst) {
            // It plays on from the start, showing the clip's pictures.
            ASSERT_TRUE(WaitFor([&] { return Position() >= 600; }, 10000));
            auto pics = display.Snapshot();
            ASSERT_FALSE(pics.empty());
            EXPECT_LT(pics.back().timeMs, 2000u);
            EXPECT_TRUE(IsPictureOfItsTime(pics.back()));
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            EXPECT_EQ(PLAYER_STATE_PAUSED, State());
            EXPECT_LT(Position(), 1000u);
        }
        {
            std::lock_guard<std::mutex> g(obs.lock);
            EXPECT_EQ(0, obs.ended);
            EXPECT_TRUE(obs.errors.empty());
            for (size_t i = statesBefore; i < obs.states.size(); ++i) {
                EXPECT_NE(PLAYER_STATE_FINISHED, obs.states[i]);
                EXPECT_NE(PLAYER_STATE_RANGE_END, obs.states[i]);
            }
        }
        ASSERT_EQ(1, Player_Stop(player));
    }
}

// ---- clips that cannot be played: FFmpeg-made files, damaged or in a form
// the reader does not take

// Makes (once) the clip of a case under the test data folder, where the
// Windows tests find it too. `keepPercent` below 100 cuts the file.
std::string MakeUnplayableClip(const char* tag, const char* muxerOptions, int keepPercent) {
    const std::string dir = std::string(DC_TESTDATA) + "/unplayable";
    const std::string out = dir + "/" + tag + ".mp4";
    if (FILE* f = std::fopen(out.c_str(), "rb")) {
        std::fclose(f);
        return out;
    }
    std::system(("mkdir -p '" + dir + "'").c_str());
    const std::string whole = out + ".whole.mp4";
    std::string cmd =
        "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=176x144:rate=15 -f lavfi -i "
        "sine=frequency=440:sample_rate=16000 -t 2 -c:v mpeg4 -c:a aac " +
        std::string(muxerOptions) + " '" + whole + "'";
    if (std::system(cmd.c_str()) != 0) return std::string();
    FILE* in = std::fopen(whole.c_str(), "rb");
    if (!in) return std::string();
    std::vector<char> bytes;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(in);
    std::remove(whole.c_str());
    bytes.resize(bytes.size() * size_t(keepPercent) / 100);
    const std::string tmp = out + ".tmp";
    FILE* o = std::fopen(tmp.c_str(), "wb");
    if (!o) return std::string();
    std::fwrite(bytes.data(), 1, bytes.size(), o);
    std::fclose(o);
    std::rename(tmp.c_str(), out.c_str());
    return out;
}

struct UnplayableCase {
    const char* tag;
    const char* muxerOptions;
    int keepPercent;
};

const UnplayableCase kUnplayable[] = {
    // The index is written last; the card was pulled before it.
    {"cut_off_index", "", 70},
    // Every sample sits in a movie fragment; the movie box lists none.
    {"fragmented", "-movflags frag_keyframe+empty_moov", 100},
    // Fragments after a movie box that holds only the track descriptions.
    {"fragmented_default_base", "-movflags frag_keyframe+empty_moov+default_base_moof", 100},
};

class UnplayableClipTest : public ClipSpineTest,
                           public ::testing::WithParamInterface<UnplayableCase> {};

// The open ends the clip in state 13 with "Unsupported file" before any
// position is reported, and the ended callback follows.
TEST_P(UnplayableClipTest, EndsAtTheOpenWithUnsupportedFile) {
    path = MakeUnplayableClip(GetParam().tag, GetParam().muxerOptions, GetParam().keepPercent);
    ASSERT_FALSE(path.empty()) << "ffmpeg could not make the clip";
    wide = Wide(path);
    name = wide.c_str();
    obs.name = name;
    ASSERT_EQ(1, Open());
    ASSERT_TRUE(WaitFor([&] {
        std::lock_guard<std::mutex> g(obs.lock);
        return obs.ended == 1;
    }));
    ASSERT_TRUE(WaitFor([&] { return State() == PLAYER_STATE_IDLE; }));
    std::lock_guard<std::mutex> g(obs.lock);
    EXPECT_EQ(0, obs.opened);
    ASSERT_EQ(1u, obs.errors.size());
    EXPECT_EQ(0x80000015u, obs.errors[0]);
    for (uint32_t s : obs.states) {
        EXPECT_NE(PLAYER_STATE_PLAYING, s) << "a position was reported";
        EXPECT_NE(PLAYER_STATE_READY, s);
    }
    EXPECT_EQ(PLAYER_STATE_FINISHED, obs.states.back());
}

INSTANTIATE_TEST_SUITE_P(Files, UnplayableClipTest, ::testing::ValuesIn(kUnplayable),
                         [](const ::testing::TestParamInfo<UnplayableCase>& i) {
                             return std::string(i.param.tag);
                         });

// A caller that waits for the engine to finish (the application's close)
// reads the state without taking the error from whoever reports it.
TEST(PlayerPeekStatus, LeavesTheErrorForGetStatus) {
    std::string path = MakeUnplayableClip(kUnplayable[0].tag, kUnplayable[0].muxerOptions,
                                          kUnplayable[0].keepPercent);
    ASSERT_FALSE(path.empty());
    std::u16string w = Wide(path);
    PlayerContext* p = Player_Create(nullptr);
    ASSERT_NE(nullptr, p);
    PlayerOpenParams op = {};
    op.fileName = w.c_str();
    ASSERT_EQ(1, Player_Open(p, &op));
    PlayerStatus st = {};
    for (int i = 0; i < 1000; ++i) {
        Player_PeekStatus(p, &st);
        if (st.state == PLAYER_STATE_IDLE) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(uint32_t(PLAYER_STATE_IDLE), st.state);
    EXPECT_EQ(0x80000015u, st.lastError);
    Player_PeekStatus(p, &st);
    EXPECT_EQ(0x80000015u, st.lastError) << "peeking clears nothing";
    Player_GetStatus(p, &st);
    EXPECT_EQ(0x80000015u, st.lastError);
    Player_GetStatus(p, &st);
    EXPECT_EQ(0u, st.lastError) << "the status read takes it";
    Player_Destroy(p);
}

}  // namespace
