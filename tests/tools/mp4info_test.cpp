// mp4info against ffprobe on FFmpeg-made clips and on every clip of the
// sample card: duration, track codecs, sizes, rates, channels and sample
// counts; and clean errors on files it cannot read.
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tool_helpers.h"

namespace {

using namespace tooltest;

const std::string kClips = std::string(DC_TESTDATA) + "/mp4";
const std::string kCard = std::string(DC_TESTDATA) + "/card";

std::string Mp4info() { return std::string(DC_BINARY_DIR) + "/tools/mp4info"; }

// key=value words of one output line.
Fields Words(const std::string& line) {
    Fields f;
    std::istringstream in(line);
    std::string w;
    while (in >> w) {
        size_t eq = w.find('=');
        if (eq != std::string::npos) f[w.substr(0, eq)] = w.substr(eq + 1);
    }
    return f;
}

struct Info {
    Fields head;
    std::vector<Fields> tracks;
    int samples = 0;
};

Info Parse(const std::string& out) {
    Info info;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("duration_ms=", 0) == 0)
            info.head = Words(line);
        else if (line.rfind("track ", 0) == 0)
            info.tracks.push_back(Words(line));
        else if (line.rfind("sample ", 0) == 0)
            info.samples++;
    }
    return info;
}

double Num(const Fields& f, const std::string& k) { return f.count(k) ? std::stod(f.at(k)) : -1; }

double Ratio(const std::string& r) {
    size_t s = r.find('/');
    if (s == std::string::npos) return std::stod(r);
    double d = std::stod(r.substr(s + 1));
    return d ? std::stod(r.substr(0, s)) / d : 0;
}

std::vector<std::string> AllClips() {
    std::vector<std::string> v;
    RunResult r =
        Shell("find " + Quote(kClips) + " " + Quote(kCard + "/RIVAVEZU") + " -name '*.mp4' | sort");
    std::istringstream in(r.out);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty()) v.push_back(line);
    return v;
}

class Mp4infoTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RunResult r =
            Shell(Quote(std::string(DC_SOURCE_DIR) + "/tests/engine/data/make_mp4_clips.sh") + " " +
                  Quote(kClips));
        ASSERT_EQ(0, r.code) << r.out;
        r = Shell("MKCLIP=" + Quote(Mkclip()) + " " +
                  Quote(std::string(DC_SOURCE_DIR) + "/tools/mkcard") + " " + Quote(kCard));
        ASSERT_EQ(0, r.code) << r.out;
    }
};

TEST_F(Mp4infoTest, AgreesWithFfprobeOnEveryClip) {
    std::vector<std::string> clips = AllClips();
    ASSERT_GE(clips.size(), 10u);
    for (const std::string& clip : clips) {
        SCOPED_TRACE(clip);
        RunResult mine = Shell(Quote(Mp4info()) + " " + Quote(clip));
        ASSERT_EQ(0, mine.code) << mine.out;
        Info info = Parse(mine.out);
        RunResult probe = Shell(
            "ffprobe -v error -show_entries "
            "format=duration:stream=codec_type,codec_name,width,height,"
            "sample_rate,channels,profile,nb_frames,duration,avg_frame_rate -of compact " +
            Quote(clip));
        ASSERT_EQ(0, probe.code) << probe.out;
        std::vector<Fields> fmt = ProbeSections(probe.out, "format");
        std::vector<Fields> streams = ProbeSections(probe.out, "stream");
        ASSERT_EQ(1u, fmt.size());
        // ffprobe prints seconds with 6 decimals; we truncate to whole ms.
        EXPECT_NEAR(std::stod(fmt[0]["duration"]) * 1000, Num(info.head, "duration_ms"), 1.0);
        ASSERT_EQ(streams.size(), info.tracks.size()) << mine.out << probe.out;
        // Our order: video, audio, text; ffprobe's: the file's.
        for (const char* kind : {"video", "audio", "data"}) {
            std::vector<Fields> theirs, ours;
            for (auto& s : streams)
                if (s["codec_type"] == kind) theirs.push_back(s);
            std::string ourKind = std::string(kind) == "data" ? "text" : kind;
            for (auto& t : info.tracks)
                if (t["type"] == ourKind) ours.push_back(t);
            ASSERT_EQ(theirs.size(), ours.size()) << kind;
            for (size_t i = 0; i < ours.size(); ++i) {
                Fields& o = ours[i];
                Fields& t = theirs[i];
                EXPECT_EQ(t["nb_frames"], o["samples"]) << kind;
                if (ourKind == "text") {
                    EXPECT_EQ("BLBX", o["codec"]);
                    // ffprobe gives a data stream the file's duration, not its own.
                    EXPECT_EQ(std::stoi(o["samples"]), info.samples);
                    continue;
                }
                EXPECT_NEAR(std::stod(t["duration"]) * 1000, Num(o, "duration_ms"), 1.0) << kind;
                if (ourKind == "video") {
                    const char* want = t["codec_name"] == "mpeg4"  ? "MP4V"
                                       : t["codec_name"] == "h263" ? "H263"
                                                                   : "?";
                    EXPECT_EQ(want, o["codec"]);
                    EXPECT_EQ(t["width"], o["width"]);
                    EXPECT_EQ(t["height"], o["height"]);
                    // Frames over duration, ours in thousandths of a frame per second.
                    double theirRate = Ratio(t["avg_frame_rate"]);
                    EXPECT_NEAR(theirRate, Num(o, "rate"), theirRate * 0.001 + 0.001);
                } else {
                    EXPECT_EQ(t["codec_name"] == "aac" ? "AAC" : "?", o["codec"]);
                    // ffprobe reports what it decodes; we report the track,
                    // which for implicitly signalled HE-AAC (v2) describes
                    // the core: half the rate (and one channel for v2).
                    int rate = std::stoi(t["sample_rate"]), channels = std::stoi(t["channels"]);
                    if (t["profile"] == "HE-AAC" || t["profile"] == "HE-AACv2") rate /= 2;
                    if (t["profile"] == "HE-AACv2") channels = 1;
                    EXPECT_EQ(std::to_string(rate), o["rate"]);
                    EXPECT_EQ(std::to_string(channels), o["channels"]);
                }
            }
        }
    }
}

TEST_F(Mp4infoTest, PrintsTheRecorderRecords) {
    std::string clip = kCard + "/RIVAVEZU/EVENT/EVT_20240315_093015.mp4";
    RunResult mine = Shell(Quote(Mp4info()) + " " + Quote(clip));
    ASSERT_EQ(0, mine.code);
    // GPS records are text, G-sensor records hex; both carry their times.
    EXPECT_NE(std::string::npos, mine.out.find("sample time_ms=0 bytes=70 data=$GPRMC,"))
        << mine.out;
    EXPECT_NE(std::string::npos, mine.out.find("sample time_ms=500 bytes=14 data=474d"))
        << mine.out;
}

struct BadCase {
    const char* name;
    std::string bytes;
    const char* code;
};

TEST_F(Mp4infoTest, FilesItCannotReadEndWithAnError) {
    std::string moovOnly;
    {
        std::vector<uint8_t> f = ReadBytes(kClips + "/mpeg4_aac_mono.mp4");
        moovOnly.assign(f.begin(), f.begin() + 48);  // ftyp and the start of mdat: no moov
    }
    const BadCase cases[] = {
        {"text file", "this is not a clip at all\n", "0x80000015"},
        {"empty", "", "0x80000015"},
        {"free box",
         std::string("\0\0\0\x10"
                     "free"
                     "\0\0\0\0\0\0\0\0",
                     16),
         "0x80000015"},
        {"cut before the movie box", moovOnly, "0x80000056"},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        std::string path = std::string(DC_TESTDATA) + "/mp4/bad_input.bin";
        {
            std::ofstream out(path, std::ios::binary);
            out.write(tc.bytes.data(), std::streamsize(tc.bytes.size()));
        }
        RunResult r = Shell(Quote(Mp4info()) + " " + Quote(path));
        EXPECT_NE(0, r.code);
        EXPECT_NE(std::string::npos, r.out.find(std::string("error: ") + tc.code)) << r.out;
        std::remove(path.c_str());
    }
    RunResult missing = Shell(Quote(Mp4info()) + " /nonexistent/clip.mp4");
    EXPECT_NE(0, missing.code);
    EXPECT_NE(std::string::npos, missing.out.find("error: 0x80000010")) << missing.out;
}

TEST_F(Mp4infoTest, TruncatedClipsNeverCrash) {
    std::vector<uint8_t> f = ReadBytes(kCard + "/RIVAVEZU/REC_20240315_093000.mp4");
    ASSERT_GT(f.size(), 4096u);
    std::string path = std::string(DC_TESTDATA) + "/mp4/truncated.bin";
    for (size_t cut :
         {size_t(7), size_t(100), f.size() / 3, f.size() / 2, f.size() - 2000, f.size() - 1}) {
        SCOPED_TRACE(cut);
        {
            std::ofstream out(path, std::ios::binary);
            out.write(reinterpret_cast<const char*>(f.data()), std::streamsize(cut));
        }
        RunResult r = Shell("timeout 20 " + Quote(Mp4info()) + " " + Quote(path));
        // Either a summary or a clean error; a signal or time-out is not.
        EXPECT_TRUE(r.code == 0 || r.code == 1) << r.code << "\n" << r.out;
        if (r.code == 1) {
            EXPECT_NE(std::string::npos, r.out.find("error: 0x8000")) << r.out;
        }
    }
    std::remove(path.c_str());
}

}  // namespace
