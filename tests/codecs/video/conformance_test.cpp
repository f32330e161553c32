// Decodes FFmpeg-made MPEG-4 and H.263 streams with the m4vdec tool and
// compares every picture with FFmpeg's own decode of the same stream.
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

struct ToolRun {
  int status = -1;
  std::string stdoutText;
};

ToolRun RunTool(const std::string& in, const std::string& out) {
  std::string cmd = std::string(DC_BINARY_DIR) + "/tools/m4vdec '" + in + "' '" + out + "' 2>'" +
                    out + ".log'";
  ToolRun r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[256];
  while (fgets(buf, sizeof buf, p)) r.stdoutText += buf;
  r.status = pclose(p);
  return r;
}

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

double Psnr(const unsigned char* a, const unsigned char* b, size_t n) {
  double se = 0;
  for (size_t i = 0; i < n; ++i) {
    int d = int(a[i]) - int(b[i]);
    se += d * d;
  }
  if (se == 0) return 99.0;
  return 10.0 * log10(255.0 * 255.0 * double(n) / se);
}

TEST_F(VideoConformance, MatchesFfmpeg) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::string in = Dir() + "/" + c.name + "." + c.ext;
    std::string out = Dir() + "/" + c.name + ".out.yuv";
    ToolRun r = RunTool(in, out);
    ASSERT_EQ(r.status, 0) << r.stdoutText;
    char expect[96];
    std::vector<unsigned char> got, ref;
    ASSERT_TRUE(ReadFile(out, &got));
    ASSERT_TRUE(ReadFile(Dir() + "/" + c.name + ".ref.yuv", &ref));
    size_t cw = size_t(c.width + 1) / 2, ch = size_t(c.height + 1) / 2;
    size_t ysz = size_t(c.width) * c.height, csz = cw * ch, fs = ysz + 2 * csz;
    ASSERT_EQ(ref.size() % fs, 0u);
    size_t frames = ref.size() / fs;
    snprintf(expect, sizeof expect, "frames=%zu width=%d height=%d\n", frames, c.width, c.height);
    EXPECT_EQ(r.stdoutText, expect);
    ASSERT_EQ(got.size(), ref.size());
    double sum[3] = {0, 0, 0}, worst = 99;
    for (size_t f = 0; f < frames; ++f) {
      const unsigned char* a = &got[f * fs];
      const unsigned char* b = &ref[f * fs];
      double p[3] = {Psnr(a, b, ysz), Psnr(a + ysz, b + ysz, csz),
                     Psnr(a + ysz + csz, b + ysz + csz, csz)};
      for (int k = 0; k < 3; ++k) {
        sum[k] += p[k];
        if (p[k] < worst) worst = p[k];
        // Our IDCT is not FFmpeg's: isolated +-1 differences that drift a
        // little through long GOPs; 45 dB per frame still means invisible.
        EXPECT_GE(p[k], 45.0) << "frame " << f << " plane " << k;
      }
    }
    for (int k = 0; k < 3; ++k) EXPECT_GE(sum[k] / double(frames), 48.0) << "plane " << k;
    printf("%-24s Y %.2f U %.2f V %.2f dB average, worst frame %.2f dB\n", c.name,
           sum[0] / double(frames), sum[1] / double(frames), sum[2] / double(frames), worst);
    remove(out.c_str());
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
