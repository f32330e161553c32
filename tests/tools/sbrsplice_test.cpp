// sbrsplice: spliced streams stay valid ADTS, every payload reads back as
// planned (the tool checks that itself and fails otherwise), FFmpeg sees
// SBR in them, and bad inputs get clear errors.
#include <gtest/gtest.h>

#include "tool_helpers.h"

using namespace tooltest;

namespace {

const std::string kDir = std::string(DC_TESTDATA) + "/sbrsplice";
std::string Tool() { return std::string(DC_BINARY_DIR) + "/tools/sbrsplice/sbrsplice"; }

struct Input {
    const char* name;
    const char* lavfi;
    int channels;
};

const Input kInputs[] = {
    {"mono16.aac", "sine=frequency=440:sample_rate=16000", 1},
    {"mono22.aac", "sine=frequency=300:sample_rate=22050", 1},
    {"stereo24.aac", "sine=frequency=500:sample_rate=24000", 2},
    {"mono48.aac", "sine=frequency=500:sample_rate=48000", 1},
};

class SbrspliceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Shell("mkdir -p " + Quote(kDir));
        for (const Input& in : kInputs) {
            std::string path = kDir + "/" + in.name;
            if (Exists(path)) continue;
            Shell("ffmpeg -nostdin -v error -y -f lavfi -i " + std::string(in.lavfi) +
                  " -t 1 -ac " + std::to_string(in.channels) +
                  " -c:a aac -b:a 32k -threads 1 -flags +bitexact -fflags +bitexact -f adts " +
                  Quote(path + ".tmp") + " && mv " + Quote(path + ".tmp") + " " + Quote(path));
        }
    }
};

// Walks ADTS frames; returns the count, or -1 when a length is off.
int CountFrames(const std::vector<uint8_t>& v) {
    size_t pos = 0;
    int n = 0;
    while (pos + 7 <= v.size()) {
        if (v[pos] != 0xFF || (v[pos + 1] & 0xF0) != 0xF0) return -1;
        int len = ((v[pos + 3] & 3) << 11) | (v[pos + 4] << 3) | (v[pos + 5] >> 5);
        if (len < 7) return -1;
        pos += (size_t)len;
        n++;
    }
    return pos == v.size() ? n : -1;
}

TEST_F(SbrspliceTest, SweepsProduceValidHeAacStreams) {
    for (int i = 0; i < 3; i++) {
        const Input& in = kInputs[i];
        std::string src = kDir + "/" + in.name;
        ASSERT_TRUE(Exists(src)) << src;
        int frames = CountFrames(ReadBytes(src));
        ASSERT_GT(frames, 0);
        for (int seed = 0; seed < 6; seed++) {
            std::string dst = kDir + "/out_" + std::to_string(seed) + "_" + in.name;
            RunResult r = Shell(Quote(Tool()) + " " + Quote(src) + " " + Quote(dst) + " --seed " +
                                std::to_string(seed));
            ASSERT_EQ(r.code, 0) << in.name << " seed " << seed << ": " << r.out;
            std::vector<uint8_t> out = ReadBytes(dst);
            EXPECT_EQ(CountFrames(out), frames) << in.name << " seed " << seed;
            EXPECT_GT(out.size(), ReadBytes(src).size());
            if (seed == 0) {
                RunResult p = Shell("ffprobe -v error -show_entries stream=profile,sample_rate " +
                                    Quote(dst));
                EXPECT_NE(p.out.find("HE-AAC"), std::string::npos) << p.out;
            }
        }
    }
}

// MP4: the audio samples grow, the sample tables follow, the video track
// is untouched and the stream is signalled as HE-AAC at twice the rate.
TEST_F(SbrspliceTest, Mp4KeepsOtherTracksAndSignalsSbr) {
    std::string src = kDir + "/av22.mp4";
    if (!Exists(src))
        Shell(
            "ffmpeg -nostdin -v error -y -f lavfi -i sine=frequency=440:sample_rate=22050 -f lavfi "
            "-i testsrc2=size=64x48:rate=10 -t 1 -c:a aac -b:a 32k -c:v mpeg4 -threads 1 -flags "
            "+bitexact -fflags +bitexact " +
            Quote(src + ".tmp.mp4") + " && mv " + Quote(src + ".tmp.mp4") + " " + Quote(src));
    ASSERT_TRUE(Exists(src));
    std::string dst = kDir + "/av22_out.mp4";
    RunResult r = Shell(Quote(Tool()) + " " + Quote(src) + " " + Quote(dst) + " --seed 4");
    ASSERT_EQ(r.code, 0) << r.out;
    RunResult p = Shell(
        "ffprobe -v error -select_streams a -show_entries stream=profile,sample_rate,nb_frames " +
        Quote(dst));
    EXPECT_NE(p.out.find("HE-AAC"), std::string::npos) << p.out;
    EXPECT_NE(p.out.find("sample_rate=44100"), std::string::npos) << p.out;
    auto VideoMd5 = [&](const std::string& f) {
        return Shell("ffmpeg -nostdin -v quiet -i " + Quote(f) + " -map 0:v -f framemd5 -").out;
    };
    EXPECT_EQ(VideoMd5(src), VideoMd5(dst));
}

TEST_F(SbrspliceTest, RefusesUnsuitableInput) {
    struct Case {
        const char* name;
        std::string args;
        const char* message;
    } cases[] = {
        {"core_rate_48000", Quote(kDir + "/mono48.aac") + " " + Quote(kDir + "/x.aac"),
         "core rate"},
        {"missing_file", Quote(kDir + "/nope.aac") + " " + Quote(kDir + "/x.aac"), "cannot open"},
        {"unknown_option", Quote(kDir + "/mono22.aac") + " " + Quote(kDir + "/x.aac") + " --bogus",
         "unknown option"},
    };
    for (const Case& c : cases) {
        RunResult r = Shell(Quote(Tool()) + " " + c.args);
        EXPECT_NE(r.code, 0) << c.name;
        EXPECT_NE(r.out.find(c.message), std::string::npos) << c.name << ": " << r.out;
    }
}

}  // namespace
