// Shared by the conformance suites: runs the m4vdec tool on a stream and
// compares every picture with a reference decode (FFmpeg's) by PSNR.
#pragma once
#include <gtest/gtest.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

namespace m4vtest {

inline bool ReadFile(const std::string& path, std::vector<unsigned char>* out) {
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return false;
    unsigned char buf[65536];
    size_t n;
    out->clear();
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out->insert(out->end(), buf, buf + n);
    fclose(f);
    return true;
}

inline bool WriteFile(const std::string& path, const std::vector<unsigned char>& data) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    size_t n = data.empty() ? 0 : fwrite(data.data(), 1, data.size(), f);
    return fclose(f) == 0 && n == data.size();
}

struct ToolRun {
    int status = -1;
    std::string stdoutText;
    std::string log;  // the tool's messages
};

inline ToolRun RunTool(const std::string& in, const std::string& out) {
    std::string cmd =
        std::string(DC_BINARY_DIR) + "/tools/m4vdec '" + in + "' '" + out + "' 2>'" + out + ".log'";
    ToolRun r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[256];
    while (fgets(buf, sizeof buf, p)) r.stdoutText += buf;
    r.status = pclose(p);
    std::vector<unsigned char> log;
    if (ReadFile(out + ".log", &log)) r.log.assign(log.begin(), log.end());
    return r;
}

inline double Psnr(const unsigned char* a, const unsigned char* b, size_t n) {
    double se = 0;
    for (size_t i = 0; i < n; ++i) {
        int d = int(a[i]) - int(b[i]);
        se += d * d;
    }
    if (se == 0) return 99.0;
    return 10.0 * log10(255.0 * 255.0 * double(n) / se);
}

// FFmpeg's decode of a stream into raw 4:2:0 pictures.
inline bool FfmpegDecode(const std::string& in, const std::string& out,
                         const std::string& options = "") {
    // Small elementary streams are not always recognised by probing.
    bool m4v = in.size() > 4 && in.compare(in.size() - 4, 4, ".m4v") == 0;
    std::string cmd = std::string("ffmpeg -nostdin -hide_banner -loglevel error -y -threads 1 ") +
                      (m4v ? "-f m4v " : "") + "-i '" + in + "' " + options +
                      " -f rawvideo -pix_fmt yuv420p '" + out + "'";
    return system(cmd.c_str()) == 0;
}

// Decodes `in` with the tool and checks frame count, size line, and PSNR
// (average at least 48 dB per plane, every frame at least 45 dB) against
// `ref`; with maxDiff >= 0 also that no sample differs by more. Returns the
// worst frame PSNR (negative when a check could not run).
inline double CompareWithReference(const std::string& name, const std::string& in,
                                   const std::string& ref, int width, int height,
                                   int maxDiff = -1) {
    std::string out = in + ".out.yuv";
    ToolRun r = RunTool(in, out);
    EXPECT_EQ(r.status, 0) << r.stdoutText << r.log;
    std::vector<unsigned char> got, want;
    EXPECT_TRUE(ReadFile(out, &got));
    EXPECT_TRUE(ReadFile(ref, &want));
    size_t cw = size_t(width + 1) / 2, ch = size_t(height + 1) / 2;
    size_t ysz = size_t(width) * height, csz = cw * ch, fs = ysz + 2 * csz;
    EXPECT_EQ(want.size() % fs, 0u);
    size_t frames = want.size() / fs;
    char expect[96];
    snprintf(expect, sizeof expect, "frames=%zu width=%d height=%d\n", frames, width, height);
    EXPECT_EQ(r.stdoutText, expect);
    EXPECT_EQ(got.size(), want.size());
    if (got.size() != want.size() || frames == 0) return -1;
    double sum[3] = {0, 0, 0}, worst = 99;
    for (size_t f = 0; f < frames; ++f) {
        const unsigned char* a = &got[f * fs];
        const unsigned char* b = &want[f * fs];
        if (maxDiff >= 0) {
            int m = 0;
            for (size_t i = 0; i < fs; ++i) m = std::max(m, abs(int(a[i]) - int(b[i])));
            EXPECT_LE(m, maxDiff) << "frame " << f;
        }
        double p[3] = {Psnr(a, b, ysz), Psnr(a + ysz, b + ysz, csz),
                       Psnr(a + ysz + csz, b + ysz + csz, csz)};
        for (int k = 0; k < 3; ++k) {
            sum[k] += p[k];
            if (p[k] < worst) worst = p[k];
            EXPECT_GE(p[k], 45.0) << "frame " << f << " plane " << k;
        }
    }
    for (int k = 0; k < 3; ++k) EXPECT_GE(sum[k] / double(frames), 48.0) << "plane " << k;
    printf("%-28s Y %.2f U %.2f V %.2f dB average, worst frame %.2f dB\n", name.c_str(),
           sum[0] / double(frames), sum[1] / double(frames), sum[2] / double(frames), worst);
    remove(out.c_str());
    remove((out + ".log").c_str());
    return worst;
}

}  // namespace m4vtest
