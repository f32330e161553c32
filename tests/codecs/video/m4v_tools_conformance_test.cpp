// Decodes FFmpeg-made streams that use the extended coding tools (B-VOPs with
// quarter-pel and field vectors, interlace with field DCT and the alternate
// scan, GMC, packed bitstreams with N-VOPs, a mid-stream VOL change) with the
// m4vdec tool and compares every picture with FFmpeg's own decode.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "conformance_harness.h"

namespace {

using m4vtest::CompareWithReference;

std::string Dir() { return std::string(DC_TESTDATA) + "/video"; }

class VideoToolsConformance : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string cmd = std::string(DC_SOURCE_DIR) +
                          "/tests/codecs/video/make_tool_streams.sh '" + Dir() + "' >/dev/null";
        ASSERT_EQ(system(cmd.c_str()), 0) << "stream generation failed (ffmpeg?)";
    }
};

struct Case {
    const char* name;
    int width, height;
    // Worst picture at least this close to FFmpeg's (dB), beyond the
    // harness's own floor: where our decode is nearly exact, a wrong field
    // vector or direct-mode vector in a few macroblocks shows only here.
    double floorDb = 0;
};

const Case kCases[] = {
    {"tools_bf1_long", 176, 144},            // B-VOPs, long GOP
    {"tools_bf2_short", 176, 144},           // two B-VOPs, short GOP
    {"tools_qpel_bf1", 320, 240},            // quarter-pel in P and B
    {"tools_qpel_mv4_bf2", 176, 144},        // quarter-pel four vectors, direct mode over them
    {"tools_qpel_packets", 320, 240},        // predictors reset at each video packet; libavcodec's
                                             // cleared vector left of a packet, seen by direct mode
    {"tools_mv4_packets", 320, 240},         // the same with half-pel (plain B decoder)
    {"tools_interlaced", 320, 240, 60},      // field DCT and vectors, field direct, alternate scan
    {"tools_interlaced_pan", 320, 240, 60},  // field vectors and field direct with real motion
    {"tools_interlaced_pan_720", 720, 480,
     60},  // the same at full size, fast pan and zoom, top field first
    {"tools_interlaced_qpel", 320, 240},   // quarter-pel fields, bottom field first, MPEG matrices
    {"tools_xvid_gmc", 320, 240},          // S-VOPs with three warping points
    {"tools_xvid_gmc_168x136", 168, 136},  // sizes that are not a multiple of 16
    {"tools_xvid_gmc_200x120", 200, 120},
    {"tools_xvid_gmc_qpel", 320, 240},  // GMC with quarter-pel
    {"tools_xvid_gmc_bf1", 320, 240},   // B-VOPs after S-VOPs (direct from warped macroblocks)
    {"tools_xvid_gmc_bf2", 320, 240},   // packed bitstream with N-VOPs
    {"tools_xvid_mpegquant_qpel", 176, 144},
    {"tools_vol_change", 176, 144},  // same size, other tools: decoders chosen again
    // Stream endings (packed, unpacked, B-VOPs before the last I/P or not).
    {"tools_end_xvid_packed_24", 176, 144},
    {"tools_end_xvid_packed_25", 176, 144},
    {"tools_end_xvid_packed_26", 176, 144},
    {"tools_end_xvid_packed_27", 176, 144},
    {"tools_end_xvid_unpacked_24", 176, 144},
    {"tools_end_xvid_unpacked_25", 176, 144},
    {"tools_end_xvid_unpacked_26", 176, 144},
    {"tools_end_xvid_unpacked_27", 176, 144},
    {"tools_end_mpeg4_24", 176, 144},
    {"tools_end_mpeg4_25", 176, 144},
    {"tools_end_mpeg4_26", 176, 144},
    {"tools_end_mpeg4_27", 176, 144},
};

TEST_F(VideoToolsConformance, MatchesFfmpeg) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        std::string base = Dir() + "/" + c.name;
        double worst =
            CompareWithReference(c.name, base + ".m4v", base + ".ref.yuv", c.width, c.height);
        if (c.floorDb > 0) {
            EXPECT_GE(worst, c.floorDb);
        }
    }
}

}  // namespace
