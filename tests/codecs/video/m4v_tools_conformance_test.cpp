// Decodes FFmpeg-made streams that use the extended coding tools (B-VOPs with
// quarter-pel and field vectors, interlace with field DCT and the alternate
// scan, GMC, packed bitstreams with N-VOPs, a mid-stream VOL change) with the
// m4vdec tool and compares every picture with FFmpeg's own decode.
#include <gtest/gtest.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

namespace {

std::string Dir() { return std::string(DC_TESTDATA) + "/video"; }

bool ReadFile(const std::string& path, std::vector<unsigned char>* out) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return false;
  unsigned char buf[65536];
  size_t n;
  out->clear();
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) out->insert(out->end(), buf, buf + n);
  fclose(f);
  return true;
}

double Psnr(const unsigned char* a, const unsigned char* b, size_t n) {
  double se = 0;
  for (size_t i = 0; i < n; ++i) {
    int d = int(a[i]) - int(b[i]);
    se += d * d;
  }
  if (se == 0) return 99.0;
  return 10.0 * log10(255.0 * 255.0 * double(n) / se);
}

class VideoToolsConformance : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string cmd = std::string(DC_SOURCE_DIR) + "/tests/codecs/video/make_tool_streams.sh '" +
                      Dir() + "' >/dev/null";
    ASSERT_EQ(system(cmd.c_str()), 0) << "stream generation failed (ffmpeg?)";
  }
};

struct Case {
  const char* name;
  int width, height;
};

const Case kCases[] = {
    {"tools_bf1_long", 176, 144},          // B-VOPs, long GOP
    {"tools_bf2_short", 176, 144},         // two B-VOPs, short GOP
    {"tools_qpel_bf1", 320, 240},          // quarter-pel in P and B
    {"tools_qpel_mv4_bf2", 176, 144},      // quarter-pel four vectors, direct mode over them
    {"tools_qpel_packets", 320, 240},      // predictors reset at each video packet; libavcodec's
                                           // cleared vector left of a packet, seen by direct mode
    {"tools_mv4_packets", 320, 240},       // the same with half-pel (plain B decoder)
    {"tools_interlaced", 320, 240},        // field DCT and vectors, field direct, alternate scan
    {"tools_interlaced_qpel", 320, 240},   // quarter-pel fields, bottom field first, MPEG matrices
    {"tools_xvid_gmc", 320, 240},          // S-VOPs with three warping points
    {"tools_xvid_gmc_168x136", 168, 136},  // sizes that are not a multiple of 16
    {"tools_xvid_gmc_200x120", 200, 120},
    {"tools_xvid_gmc_qpel", 320, 240},     // GMC with quarter-pel
    {"tools_xvid_gmc_bf1", 320, 240},      // B-VOPs after S-VOPs (direct from warped macroblocks)
    {"tools_xvid_gmc_bf2", 320, 240},      // packed bitstream with N-VOPs
    {"tools_xvid_mpegquant_qpel", 176, 144},
    {"tools_vol_change", 176, 144},        // same size, other tools: decoders chosen again
};

TEST_F(VideoToolsConformance, MatchesFfmpeg) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::string in = Dir() + "/" + c.name + ".m4v";
    std::string out = Dir() + "/" + c.name + ".out.yuv";
    std::string cmd = std::string(DC_BINARY_DIR) + "/tools/m4vdec '" + in + "' '" + out +
                      "' 2>'" + out + ".log'";
    std::string text;
    FILE* p = popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    char buf[256];
    while (fgets(buf, sizeof buf, p)) text += buf;
    ASSERT_EQ(pclose(p), 0) << text;
    std::vector<unsigned char> got, ref;
    ASSERT_TRUE(ReadFile(out, &got));
    ASSERT_TRUE(ReadFile(Dir() + "/" + c.name + ".ref.yuv", &ref));
    size_t ysz = size_t(c.width) * c.height;
    size_t csz = size_t((c.width + 1) / 2) * size_t((c.height + 1) / 2), fs = ysz + 2 * csz;
    ASSERT_EQ(ref.size() % fs, 0u);
    size_t frames = ref.size() / fs;
    char expect[96];
    snprintf(expect, sizeof expect, "frames=%zu width=%d height=%d\n", frames, c.width, c.height);
    EXPECT_EQ(text, expect);
    ASSERT_EQ(got.size(), ref.size());
    double sum[3] = {0, 0, 0}, worst = 99;
    for (size_t f = 0; f < frames; ++f) {
      const unsigned char* a = &got[f * fs];
      const unsigned char* b = &ref[f * fs];
      double q[3] = {Psnr(a, b, ysz), Psnr(a + ysz, b + ysz, csz),
                     Psnr(a + ysz + csz, b + ysz + csz, csz)};
      for (int k = 0; k < 3; ++k) {
        sum[k] += q[k];
        if (q[k] < worst) worst = q[k];
        EXPECT_GE(q[k], 45.0) << "frame " << f << " plane " << k;
      }
    }
    for (int k = 0; k < 3; ++k) EXPECT_GE(sum[k] / double(frames), 48.0) << "plane " << k;
    printf("%-26s Y %.2f U %.2f V %.2f dB average, worst frame %.2f dB\n", c.name,
           sum[0] / double(frames), sum[1] / double(frames), sum[2] / double(frames), worst);
    remove(out.c_str());
    remove((out + ".log").c_str());
  }
}

}  // namespace
