// GMC with 0 to 3 warping points: the encoder here writes three, so the
// test rewrites its stream (the VOL's point count and every S-VOP's sprite
// trajectory, dropping the later points) and checks m4vdec against FFmpeg's
// decode of the same rewritten bytes.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "bitwriter.h"
#include "conformance_harness.h"

namespace {

using m4vtest::CompareWithReference;
using m4vtest::FfmpegDecode;
using m4vtest::ReadFile;
using m4vtest::WriteFile;

std::string Dir() { return std::string(DC_TESTDATA) + "/video"; }

class BitIn {
public:
    BitIn(const unsigned char* p, size_t n) : p_(p), n_(n * 8) {}
    int Bit() {
        if (pos_ >= n_) return 0;
        int b = (p_[pos_ / 8] >> (7 - pos_ % 8)) & 1;
        ++pos_;
        return b;
    }
    uint32_t Get(int k) {
        uint32_t v = 0;
        for (int i = 0; i < k; ++i) v = v << 1 | uint32_t(Bit());
        return v;
    }
    size_t pos() const { return pos_; }
    size_t size() const { return n_; }

private:
    const unsigned char* p_;
    size_t n_, pos_ = 0;
};

// Copies bits [from, to) of data into w.
void CopyBits(BitWriter* w, const unsigned char* data, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) w->PutBit((data[i / 8] >> (7 - i % 8)) & 1);
}

// Reads one warping_mv_code (dmv_length, the value, a marker).
void SkipWarpCode(BitIn* b) {
    static const int kLen[15][2] = {{2, 0},   {3, 2},   {3, 3},     {3, 4},     {3, 5},
                                    {3, 6},   {4, 14},  {5, 30},    {6, 62},    {7, 126},
                                    {8, 254}, {9, 510}, {10, 1022}, {11, 2046}, {12, 4094}};
    int len = 0;
    for (int k = 0; k < 15; ++k) {
        BitIn probe = *b;
        if (int(probe.Get(kLen[k][0])) == kLen[k][1]) {
            b->Get(kLen[k][0]);
            len = k;
            break;
        }
    }
    b->Get(len);
    b->Get(1);
}

// Rewrites an elementary stream with three warping points to `points`.
std::vector<unsigned char> RewritePoints(const std::vector<unsigned char>& in, int points) {
    std::vector<size_t> codes;
    for (size_t i = 0; i + 3 < in.size(); ++i)
        if (in[i] == 0 && in[i + 1] == 0 && in[i + 2] == 1) codes.push_back(i);
    std::vector<unsigned char> out(in.begin(),
                                   in.begin() + long(codes.empty() ? in.size() : codes[0]));
    int timeBits = 1, srcPoints = 0;
    for (size_t k = 0; k < codes.size(); ++k) {
        size_t a = codes[k], e = k + 1 < codes.size() ? codes[k + 1] : in.size();
        const unsigned char* p = &in[a + 4];
        size_t n = e - a - 4;
        uint8_t code = in[a + 3];
        BitWriter w;
        w.Put(0x000001, 24);
        w.Put(code, 8);
        BitIn b(p, n);
        if (code >= 0x20 && code <= 0x2F) {
            b.Get(9);
            int verid = 1;
            if (b.Get(1)) {
                verid = int(b.Get(4));
                b.Get(3);
            }
            if (b.Get(4) == 15) b.Get(16);
            if (b.Get(1)) {
                b.Get(3);
                if (b.Get(1)) b.Get(79);
            }
            b.Get(2);
            b.Get(1);
            int res = int(b.Get(16));
            timeBits = 1;
            while ((1 << timeBits) < res) ++timeBits;
            b.Get(1);
            if (b.Get(1)) b.Get(timeBits);
            b.Get(1 + 13 + 1 + 13 + 1 + 1 + 1);
            int sprite = int(b.Get(verid == 1 ? 1 : 2));
            if (sprite == 2) {
                size_t at = b.pos();
                srcPoints = int(b.Get(6));
                CopyBits(&w, p, 0, at);
                w.Put(uint32_t(points), 6);
                CopyBits(&w, p, b.pos(), n * 8);
            } else {
                CopyBits(&w, p, 0, n * 8);
            }
        } else if (code == 0xB6 && (p[0] >> 6) == 3 && srcPoints > 0) {
            b.Get(2);
            while (b.Get(1)) {}
            b.Get(1);
            b.Get(timeBits);
            b.Get(1);
            if (!b.Get(1)) {
                CopyBits(&w, p, 0, n * 8);
            } else {
                b.Get(1 + 3);  // rounding, intra_dc_vlc_thr
                size_t keepEnd = b.pos();
                for (int i = 0; i < srcPoints; ++i) {
                    SkipWarpCode(&b);
                    SkipWarpCode(&b);
                    if (i + 1 == points) keepEnd = b.pos();
                }
                CopyBits(&w, p, 0, keepEnd);
                // The rest up to the stuffing (a zero then ones before the next
                // start code), then new stuffing.
                size_t end = n * 8;
                while (end > b.pos() && ((p[(end - 1) / 8] >> (7 - (end - 1) % 8)) & 1)) --end;
                if (end > b.pos()) --end;
                CopyBits(&w, p, b.pos(), end);
                w.Stuff();
            }
        } else {
            CopyBits(&w, p, 0, n * 8);
        }
        out.insert(out.end(), w.bytes().begin(), w.bytes().end());
    }
    return out;
}

// The stream without its user data.
std::vector<unsigned char> DropUserData(const std::vector<unsigned char>& in) {
    std::vector<unsigned char> out;
    bool skip = false;
    for (size_t i = 0; i < in.size(); ++i) {
        if (i + 3 < in.size() && in[i] == 0 && in[i + 1] == 0 && in[i + 2] == 1)
            skip = in[i + 3] == 0xB2;
        if (!skip) out.push_back(in[i]);
    }
    return out;
}

struct Source {
    const char* name;
    int width, height;
    bool dropUserData;  // without the encoder's user data: no edge workaround
};

const Source kSources[] = {
    {"tools_xvid_gmc", 320, 240, false},
    // Sizes that are not a multiple of 16: warped positions beyond the
    // picture, with the right and bottom macroblocks only partly visible.
    {"tools_xvid_gmc_168x136", 168, 136, false},
    {"tools_xvid_gmc_168x136", 168, 136, true},
    {"tools_xvid_gmc_200x120", 200, 120, true},
};

TEST(VideoGmcPoints, FewerWarpingPointsMatchFfmpeg) {
    std::string gen = std::string(DC_SOURCE_DIR) + "/tests/codecs/video/make_tool_streams.sh '" +
                      Dir() + "' >/dev/null";
    ASSERT_EQ(system(gen.c_str()), 0) << "stream generation failed (ffmpeg?)";
    for (const Source& src : kSources) {
        std::vector<unsigned char> in;
        ASSERT_TRUE(ReadFile(Dir() + "/" + src.name + ".m4v", &in));
        if (src.dropUserData) in = DropUserData(in);
        const int w = src.width, h = src.height;
        for (int points = 0; points <= 3; ++points) {
            std::string tag = std::string(src.name) + (src.dropUserData ? "_nud" : "") + "_points" +
                              std::to_string(points);
            SCOPED_TRACE(tag);
            std::vector<unsigned char> s = RewritePoints(in, points);
            std::string base = Dir() + "/" + tag;
            ASSERT_TRUE(WriteFile(base + ".m4v", s));
            ASSERT_TRUE(FfmpegDecode(base + ".m4v", base + ".ref.yuv"));
            CompareWithReference(tag, base + ".m4v", base + ".ref.yuv", w, h);
            remove((base + ".ref.yuv").c_str());
        }
    }
}

}  // namespace
