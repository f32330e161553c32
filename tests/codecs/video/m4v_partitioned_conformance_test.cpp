// Data-partitioned MPEG-4 streams (and a picture size that is not a multiple
// of 16 with vectors across its edges) from FFmpeg's encoder, decoded with
// the m4vdec tool and compared with FFmpeg's own decode.
#include "conformance_harness.h"

namespace {

std::string Dir() { return std::string(DC_TESTDATA) + "/video"; }

class PartitionedConformance : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string cmd = std::string(DC_SOURCE_DIR) +
                          "/tests/codecs/video/make_partitioned_streams.sh '" + Dir() +
                          "' >/dev/null";
        ASSERT_EQ(system(cmd.c_str()), 0) << "stream generation failed (ffmpeg?)";
    }
    static void Check(const char* name, int w, int h) {
        std::string in = Dir() + "/" + name + ".m4v";
        m4vtest::CompareWithReference(name, in, Dir() + "/" + name + ".ref.yuv", w, h);
    }
};

// I- and P-VOPs in packets of about 200 bytes.
TEST_F(PartitionedConformance, IntraAndInter) { Check("mpeg4_dp", 176, 144); }

// P-VOPs where the content changes every three pictures: many intra
// macroblocks, whose DC differentials sit in the second part.
TEST_F(PartitionedConformance, IntraInPVops) { Check("mpeg4_dp_intra_p", 176, 144); }

// With B-VOPs (never partitioned), four vectors and a varying quantiser.
TEST_F(PartitionedConformance, WithBVops) { Check("mpeg4_dp_bf1", 320, 240); }

// Vectors that reach into the macroblocks beyond the right and bottom edges
// read the decoded pixels there, not copies of the last visible ones.
// Half-pel, quarter-pel and field prediction alike.
TEST_F(PartitionedConformance, OddSizeEdges) {
    for (const char* name :
         {"mpeg4_odd_size_pan", "mpeg4_odd_size_qpel", "mpeg4_odd_size_interlaced"}) {
        SCOPED_TRACE(name);
        Check(name, 168, 136);
    }
}

// Quarter-pel motion inside partitioned P-VOPs.
TEST_F(PartitionedConformance, QuarterPel) { Check("mpeg4_dp_qpel", 176, 144); }

}  // namespace
