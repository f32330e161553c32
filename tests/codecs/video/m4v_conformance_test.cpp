// Decodes FFmpeg-made MPEG-4 and H.263 streams with the m4vdec tool and
// compares every picture with FFmpeg's own decode of the same stream.
#include "conformance_harness.h"

namespace {

using m4vtest::ReadFile;
using m4vtest::RunTool;
using m4vtest::ToolRun;

std::string Dir() { return std::string(DC_TESTDATA) + "/video"; }

class VideoConformance : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string cmd = std::string(DC_SOURCE_DIR) + "/tests/codecs/video/make_streams.sh '" +
                          Dir() + "' >/dev/null";
        ASSERT_EQ(system(cmd.c_str()), 0) << "stream generation failed (ffmpeg?)";
    }
};

struct Case {
    const char* name;
    const char* ext;
    int width, height;
};

// The suite: I/P with short and long GOPs, B-VOPs (with direct mode over
// four-vector macroblocks and packets), four vectors, MPEG
// quantisation with default and custom matrices, resync markers, a size that
// is not a multiple of 16, a low quantiser, an MP4 clip, H.263 at three sizes with GOB
// headers, and PLUSPTYPE with a custom picture format.
const Case kCases[] = {
    {"mpeg4_ip_short", "m4v", 352, 288},
    {"mpeg4_ip_long", "m4v", 352, 288},
    {"mpeg4_bf2", "m4v", 352, 288},
    {"mpeg4_bf1_mv4_resync", "m4v", 352, 288},
    {"mpeg4_mv4", "m4v", 352, 288},
    {"mpeg4_mpegquant", "m4v", 352, 288},
    {"mpeg4_mpegquant_matrix", "m4v", 352, 288},
    {"mpeg4_resync", "m4v", 352, 288},
    {"mpeg4_odd_size", "m4v", 180, 132},
    {"mpeg4_qcif_lowq", "m4v", 176, 144},
    {"mpeg4_clip_mp4", "mp4", 320, 240},
    {"h263_qcif", "h263", 176, 144},
    {"h263_cif", "h263", 352, 288},
    {"h263_4cif", "h263", 704, 576},
    {"h263p_custom", "h263", 320, 176},
};

TEST_F(VideoConformance, MatchesFfmpeg) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        std::string in = Dir() + "/" + c.name + "." + c.ext;
        // Our IDCT is not FFmpeg's: isolated +-1 differences that drift a
        // little through long GOPs; 45 dB per frame still means invisible.
        m4vtest::CompareWithReference(c.name, in, Dir() + "/" + c.name + ".ref.yuv", c.width,
                                      c.height);
    }
}

// A stream using a tool this decoder rejects (slice-structured H.263+) gives
// the message and no pictures.
TEST_F(VideoConformance, RejectedToolIsReported) {
    std::string in = Dir() + "/h263p_slices.h263";
    std::string out = Dir() + "/h263p_slices.out.yuv";
    ToolRun r = RunTool(in, out);
    EXPECT_NE(r.status, 0);
    std::vector<unsigned char> log;
    ASSERT_TRUE(ReadFile(out + ".log", &log));
    std::string text(log.begin(), log.end());
    EXPECT_NE(text.find("Not supported H263 features\n"), std::string::npos) << text;
}

}  // namespace
