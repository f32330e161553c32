// sbrsplice --ps: every configuration's payloads read back as planned (the
// tool checks each payload with the decoder's parser and fails otherwise),
// FFmpeg sees HE-AAC v2 stereo, stereo inputs are refused, and IID/ICC
// estimated from a stereo original follow its level difference and
// correlation.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "tests/tools/tool_helpers.h"
#include "tools/sbrsplice/ps_plan.cpp"

using namespace tooltest;

namespace {

const std::string kDir = std::string(DC_TESTDATA) + "/ps";
std::string Tool() { return std::string(DC_BINARY_DIR) + "/tools/sbrsplice/sbrsplice"; }

std::string MakeAac(const std::string& name, int channels) {
    Shell("mkdir -p " + Quote(kDir));
    const std::string path = kDir + "/" + name;
    if (!Exists(path))
        Shell(
            "ffmpeg -nostdin -v error -y -f lavfi -i sine=frequency=500:sample_rate=24000 -t 1 "
            "-ac " +
            std::to_string(channels) +
            " -c:a aac -b:a 32k -threads 1 -flags +bitexact -fflags +bitexact -f adts " +
            Quote(path + ".tmp") + " && mv " + Quote(path + ".tmp") + " " + Quote(path));
    return path;
}

void WriteWav(const std::string& path, const std::vector<int16_t>& l, const std::vector<int16_t>& r,
              int rate) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    auto u32 = [&](uint32_t v) { fwrite(&v, 4, 1, f); };
    auto u16 = [&](uint16_t v) { fwrite(&v, 2, 1, f); };
    const uint32_t data = (uint32_t)l.size() * 4;
    fwrite("RIFF", 1, 4, f);
    u32(36 + data);
    fwrite("WAVEfmt ", 1, 8, f);
    u32(16);
    u16(1);
    u16(2);
    u32((uint32_t)rate);
    u32((uint32_t)rate * 4);
    u16(4);
    u16(16);
    fwrite("data", 1, 4, f);
    u32(data);
    for (size_t i = 0; i < l.size(); i++) {
        u16((uint16_t)l[i]);
        u16((uint16_t)r[i]);
    }
    fclose(f);
}

TEST(PsSplice, EveryConfigurationReadsBack) {
    const std::string src = MakeAac("mono24.aac", 1);
    ASSERT_TRUE(Exists(src));
    // Seeds 1..36 cover 10/20/34 IID bands x coarse/fine x 10/20/34 ICC
    // bands x fixed/variable borders, with and without headers in every
    // frame and extension bytes; seed 0 is the neutral stream.
    for (int seed = 0; seed <= 36; seed++) {
        const std::string dst = kDir + "/ps_" + std::to_string(seed) + ".aac";
        RunResult r = Shell(Quote(Tool()) + " " + Quote(src) + " " + Quote(dst) + " --ps --seed " +
                            std::to_string(seed));
        ASSERT_EQ(r.code, 0) << "seed " << seed << ": " << r.out;
        if (seed % 9 == 0) {
            RunResult p =
                Shell("ffprobe -v error -show_entries stream=profile,channels " + Quote(dst));
            EXPECT_NE(p.out.find("HE-AACv2"), std::string::npos) << p.out;
            EXPECT_NE(p.out.find("channels=2"), std::string::npos) << p.out;
        }
    }
}

TEST(PsSplice, StereoInputIsRefused) {
    const std::string src = MakeAac("stereo24.aac", 2);
    RunResult r =
        Shell(Quote(Tool()) + " " + Quote(src) + " " + Quote(kDir + "/bad.aac") + " --ps 2>&1");
    EXPECT_NE(r.code, 0);
    EXPECT_NE(r.out.find("mono"), std::string::npos) << r.out;
}

TEST(PsSplice, EstimateFollowsTheOriginal) {
    Shell("mkdir -p " + Quote(kDir));
    const int rate = 48000, n = rate;
    std::vector<int16_t> l(n), r(n);
    std::mt19937 rng(2);
    std::normal_distribution<double> noise(0, 300);
    for (int i = 0; i < n; i++) {
        // 1 kHz (stereo band 7 at 48 kHz) 20 dB louder on the left and fully
        // correlated; independent noise everywhere else.
        const double tone = 8000 * std::sin(2 * M_PI * 1000 * i / rate);
        l[i] = (int16_t)std::lround(tone + noise(rng) * 0.05);
        r[i] = (int16_t)std::lround(tone * 0.1 + noise(rng) * 0.05);
    }
    // Above 4 kHz both channels carry independent noise of equal level.
    for (int i = 0; i < n; i++) {
        l[i] = (int16_t)(l[i] + (int16_t)std::lround(noise(rng)));
        r[i] = (int16_t)(r[i] + (int16_t)std::lround(noise(rng)));
    }
    const std::string wav = kDir + "/original.wav";
    WriteWav(wav, l, r, rate);
    PsPlanner plan;
    ASSERT_EQ(plan.Init(0, wav, rate), "");
    uint8_t buf[512] = {0};
    for (int f = 0; f < 10; f++) {
        SbrBitWriter bw;
        SbrBitWriterInit(&bw, buf, sizeof(buf));
        memset(buf, 0, sizeof(buf));
        SbrWriteBits(&bw, 0, 1);  // the bs_extended_data flag the planner turns on
        ASSERT_TRUE(plan.Extend(&bw)) << f;
    }
    int uncorrelated = 0, level = 0, total = 0;
    for (int f = 2; f < 10; f++) {
        const PsParams& p = plan.planned()[(size_t)f];
        for (int e = 0; e < p.numEnv; e++) {
            EXPECT_EQ(p.iid[e][7], 6) << "frame " << f;  // 18 dB, the nearest to 20
            EXPECT_EQ(p.icc[e][7], 0) << "frame " << f;
            for (int b = 12; b < 20; b++) {
                uncorrelated += p.icc[e][b] >= 4 && p.icc[e][b] <= 6;
                level += p.iid[e][b] >= -1 && p.iid[e][b] <= 1;
                total++;
            }
        }
    }
    EXPECT_GT(uncorrelated, total * 9 / 10);
    EXPECT_GT(level, total * 9 / 10);
}

}  // namespace
