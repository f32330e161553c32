// The sample card from tools/mkcard: its folders and settings files, and for
// every clip what FFmpeg reads and decodes and the recorder records it holds.
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>

#include <gtest/gtest.h>

#include "tool_helpers.h"

using namespace tooltest;

namespace {

const std::string kCard = std::string(DC_TESTDATA) + "/card";

struct ClipCase {
    const char* path;   // under the card
    const char* codec;  // FFmpeg's name
    int width, height, frames;
    double seconds;
    int rate, channels;  // as decoded: HE-AAC v2 from a mono core at half the rate
    bool shock;          // an event: a record of 1 g or more
    int void_gps;        // leading GPS sentences without a fix
};

const ClipCase kClips[] = {
    {"RIVAVEZU/REC_20240315_093000.mp4", "mpeg4", 640, 480, 60, 4, 44100, 2, false, 2},
    {"RIVAVEZU/INFINITE/INFI_20240315_093004.mp4", "mpeg4", 320, 240, 60, 4, 32000, 2, false, 0},
    {"RIVAVEZU/INFINITE/INFI_20240315_093008.mp4", "mpeg4", 1280, 720, 30, 3, 48000, 2, false, 0},
    {"RIVAVEZU/INFINITE/INFI_20240315_093011.mp4", "h263", 352, 288, 60, 4, 32000, 2, false, 0},
    {"RIVAVEZU/EVENT/EVT_20240315_093015.mp4", "mpeg4", 640, 480, 60, 4, 44100, 2, true, 0},
};

std::string MakeCard() {
    return "MKCLIP=" + Quote(Mkclip()) + " " + Quote(std::string(DC_SOURCE_DIR) + "/tools/mkcard") +
           " " + Quote(kCard);
}

class CardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RunResult r = Shell(MakeCard());
        ASSERT_EQ(0, r.code) << r.out;
    }
};

class ClipTest : public CardTest, public ::testing::WithParamInterface<ClipCase> {
protected:
    std::string Clip() const { return kCard + "/" + GetParam().path; }
};

// Local start time from a name such as INFI_20240315_093004.mp4, as seconds
// of a UTC-like count (no time zone applied).
int64_t NameTime(const std::string& path) {
    size_t us = path.rfind('_');
    std::string d = path.substr(us - 8, 8), t = path.substr(us + 1, 6);
    std::tm tm{};
    tm.tm_year = std::stoi(d.substr(0, 4)) - 1900;
    tm.tm_mon = std::stoi(d.substr(4, 2)) - 1;
    tm.tm_mday = std::stoi(d.substr(6, 2));
    tm.tm_hour = std::stoi(t.substr(0, 2));
    tm.tm_min = std::stoi(t.substr(2, 2));
    tm.tm_sec = std::stoi(t.substr(4, 2));
    return static_cast<int64_t>(timegm(&tm));
}

TEST_F(CardTest, FoldersAndSettingsFiles) {
    RunResult r = Shell("cd " + Quote(kCard) + " && find . -type f ! -name .mkcard-stamp | sort");
    EXPECT_EQ(
        "./RIVAVEZU/EVENT/EVT_20240315_093015.mp4\n"
        "./RIVAVEZU/INFINITE/INFI_20240315_093004.mp4\n"
        "./RIVAVEZU/INFINITE/INFI_20240315_093008.mp4\n"
        "./RIVAVEZU/INFINITE/INFI_20240315_093011.mp4\n"
        "./RIVAVEZU/REC_20240315_093000.mp4\n"
        "./setting/setframe.dat\n"
        "./setting/setquality.dat\n"
        "./setting/setsensitivity.dat\n"
        "./setting/setsound.dat\n"
        "./setting/settime.dat\n",
        r.out);
    // One binary byte each: 3 high, 2 middle, 1 low.
    const std::pair<const char*, uint8_t> settings[] = {
        {"setquality.dat", 3}, {"setsensitivity.dat", 2}, {"setsound.dat", 2}, {"setframe.dat", 3}};
    for (const auto& s : settings)
        EXPECT_EQ(std::vector<uint8_t>{s.second}, ReadBytes(kCard + "/setting/" + s.first))
            << s.first;
    auto clock = ReadBytes(kCard + "/setting/settime.dat");
    EXPECT_EQ("2024-03-15-09-30-00", std::string(clock.begin(), clock.end()));
    // Small enough for CI.
    RunResult du = Shell("du -sk " + Quote(kCard) + " | cut -f1");
    EXPECT_LT(std::atoi(du.out.c_str()), 4096);
}

TEST_F(CardTest, SecondRunKeepsTheCard) {
    struct stat before {
    }, after{};
    ASSERT_EQ(0, stat((kCard + "/" + kClips[0].path).c_str(), &before));
    RunResult r = Shell(MakeCard());
    EXPECT_EQ(0, r.code);
    EXPECT_EQ("", r.out);
    ASSERT_EQ(0, stat((kCard + "/" + kClips[0].path).c_str(), &after));
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(before.st_mtime, after.st_mtime);
}

TEST_P(ClipTest, FfprobeSeesTheTracks) {
    const ClipCase& c = GetParam();
    RunResult r = Shell(
        "ffprobe -v error -show_entries stream=codec_type,codec_name,codec_tag_string,width,height,"
        "sample_rate,channels,profile,nb_frames,duration -of compact " +
        Quote(Clip()));
    ASSERT_EQ(0, r.code) << r.out;
    auto s = ProbeSections(r.out, "stream");
    ASSERT_EQ(3u, s.size()) << r.out;
    EXPECT_EQ("video", s[0]["codec_type"]);
    EXPECT_EQ(c.codec, s[0]["codec_name"]);
    EXPECT_EQ(std::to_string(c.width), s[0]["width"]);
    EXPECT_EQ(std::to_string(c.height), s[0]["height"]);
    EXPECT_EQ(std::to_string(c.frames), s[0]["nb_frames"]);
    EXPECT_DOUBLE_EQ(c.seconds, std::stod(s[0]["duration"]));

    EXPECT_EQ("audio", s[1]["codec_type"]);
    EXPECT_EQ("aac", s[1]["codec_name"]);
    // The track says AAC-LC at the core rate; FFmpeg finds SBR and parametric
    // stereo in the access units.
    EXPECT_EQ("HE-AACv2", s[1]["profile"]);
    EXPECT_EQ(std::to_string(c.rate), s[1]["sample_rate"]);
    EXPECT_EQ(std::to_string(c.channels), s[1]["channels"]);
    // 2048 output samples per access unit; the encoder adds up to two frames
    // of priming and padding beyond the video's length.
    double audio = std::stod(s[1]["duration"]);
    EXPECT_NEAR(std::stoi(s[1]["nb_frames"]) * 2048.0 / c.rate, audio, 1e-3);
    EXPECT_GE(audio, c.seconds);
    EXPECT_LE(audio, c.seconds + 3 * 2048.0 / c.rate);

    EXPECT_EQ("data", s[2]["codec_type"]);
    EXPECT_EQ("mp4s", s[2]["codec_tag_string"]);
    EXPECT_EQ(std::to_string(int(c.seconds * 2)),
              s[2]["nb_frames"]);  // GPS and G-sensor each second
}

TEST_P(ClipTest, FfmpegDecodesVideoAndAudio) {
    const ClipCase& c = GetParam();
    RunResult r = Shell("ffmpeg -nostdin -v error -xerror -i " + Quote(Clip()) +
                        " -map 0:v -map 0:a -f null -");
    EXPECT_EQ(0, r.code);
    EXPECT_EQ("", r.out);
    RunResult n = Shell(
        "ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames "
        "-of csv=p=0 " +
        Quote(Clip()));
    EXPECT_EQ(std::to_string(c.frames) + "\n", n.out);
}

TEST_P(ClipTest, RecordsFollowTheClip) {
    const ClipCase& c = GetParam();
    RunResult r = Shell("ffprobe -v error -select_streams d -show_packets -show_data -of compact " +
                        Quote(Clip()));
    ASSERT_EQ(0, r.code) << r.out;
    auto packets = ProbeSections(r.out, "packet");
    ASSERT_EQ(size_t(c.seconds * 2), packets.size());
    int64_t start = NameTime(c.path);
    bool shock = false;
    for (size_t i = 0; i < packets.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i));
        auto b = DumpBytes(packets[i]["data"]);
        ASSERT_FALSE(b.empty());
        EXPECT_EQ(std::to_string(i * 500), packets[i]["pts"]);
        std::time_t local = static_cast<std::time_t>(start + int64_t(i / 2));
        std::tm tm{};
        gmtime_r(&local, &tm);
        if (i % 2 == 0) {
            std::string text(b.begin(), b.end());
            ASSERT_EQ(0, text.compare(0, 7, "$GPRMC,"));
            EXPECT_EQ('\0', text.back());
            std::time_t utc = local - 9 * 3600;
            std::tm u{};
            gmtime_r(&utc, &u);
            char hms[16];
            std::snprintf(hms, sizeof hms, "%02d%02d%02d.000", u.tm_hour, u.tm_min, u.tm_sec);
            EXPECT_EQ(hms, text.substr(7, 10));
            EXPECT_EQ(int(i / 2) < c.void_gps ? 'V' : 'A', text[18]);
        } else {
            ASSERT_EQ(14u, b.size());
            EXPECT_EQ('M', b[1]);
            std::vector<uint8_t> when = {uint8_t(tm.tm_year - 100), uint8_t(tm.tm_mon + 1),
                                         uint8_t(tm.tm_mday),       uint8_t(tm.tm_hour),
                                         uint8_t(tm.tm_min),        uint8_t(tm.tm_sec)};
            EXPECT_EQ(when, std::vector<uint8_t>(b.begin() + 8, b.end()));
            for (int a = 2; a <= 3; ++a)  // x and y; z carries gravity
                if (std::abs(int8_t(b[a])) * 0.018 >= 1.0) shock = true;
        }
    }
    EXPECT_EQ(c.shock, shock);
}

TEST_P(ClipTest, FileTimeIsTheClipEnd) {
    // The recorder closes the file at the end of the clip; the file system
    // keeps UTC, the name local time (UTC+9).
    const ClipCase& c = GetParam();
    struct stat st {};
    ASSERT_EQ(0, stat(Clip().c_str(), &st));
    EXPECT_EQ(NameTime(c.path) - 9 * 3600 + int64_t(c.seconds), int64_t(st.st_mtime));
}

INSTANTIATE_TEST_SUITE_P(Card, ClipTest, ::testing::ValuesIn(kClips),
                         [](const ::testing::TestParamInfo<ClipCase>& i) {
                             std::string n = i.param.path;
                             n = n.substr(n.rfind('/') + 1);
                             return n.substr(0, n.find('.'));
                         });

}  // namespace
