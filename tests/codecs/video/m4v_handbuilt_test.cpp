// Hand-built MPEG-4 streams for syntax that no encoder here produces,
// written by the test writer, decoded by the m4vdec tool and compared with
// FFmpeg's decode of the same bytes.
#include <sys/stat.h>

#include <functional>
#include <map>
#include <set>

#include "conformance_harness.h"
#include "m4v_writer.h"

namespace {

using m4vtest::M4vWriter;
using m4vtest::WriterConfig;

std::string Dir() {
    std::string d = std::string(DC_TESTDATA) + "/video";
    mkdir(std::string(DC_TESTDATA).c_str(), 0755);
    mkdir(d.c_str(), 0755);
    d += "/handbuilt";
    mkdir(d.c_str(), 0755);
    return d;
}

struct Case {
    const char* name;
    WriterConfig config;
    // Writes the VOPs after the headers.
    std::function<void(M4vWriter*)> vops;
    int maxDiff;  // largest sample difference allowed; -1: the PSNR bar only
};

// I then P-VOPs; the quantiser and intra_dc_vlc_thr change from VOP to VOP
// so that every threshold meets quantisers on both sides of it.
void IpSequence(M4vWriter* w, int frames, bool allThresholds = true) {
    for (int f = 0; f < frames; ++f) {
        int thr = allThresholds ? f % 8 : 0, qp = 2 + (f * 7) % 20;
        if (f % 10 == 0)
            w->IVop(qp, thr);
        else
            w->PVop(qp, thr, 1 + f % 3);
    }
}

WriterConfig Config(int w, int h) {
    WriterConfig c;
    c.width = w;
    c.height = h;
    return c;
}

WriterConfig Packets(WriterConfig c, int mbs, bool hec, bool partitioned) {
    c.packetMbs = mbs;
    c.hec = hec;
    c.dataPartitioned = partitioned;
    return c;
}

WriterConfig Reversible(WriterConfig c, bool sweep) {
    c.reversibleVlc = true;
    c.sweep = sweep;
    return c;
}

WriterConfig UserData(WriterConfig c, const char* text) {
    c.userData = text;
    return c;
}

WriterConfig Gmc(WriterConfig c, int points) {
    c.warpPoints = points;
    return c;
}

// S-VOPs between I- and P-VOPs, with trajectories that translate, and with
// two points also zoom and rotate.
// `scale` widens the trajectory values.
void GmcSequence(M4vWriter* w, int points, int scale = 1) {
    w->IVop(4, 0);
    for (int f = 1; f < 20; ++f) {
        std::vector<std::pair<int, int>> t;
        for (int p = 0; p < points; ++p)
            t.push_back({((f * 5 + p * 3) % 23 - 11) * scale, ((f * 3 + p * 7) % 17 - 8) * scale});
        int thr = f % 8;
        if (f % 4 == 0)
            w->PVop(5, thr, 1);
        else
            w->SVop(5, thr, 2, t);
    }
}

const Case kCases[] = {
    // Every intra_dc_vlc_thr (0..7) in plain I- and P-VOPs.
    {"dc_thresholds", Config(176, 144), [](M4vWriter* w) { IpSequence(w, 24); }, -1},
    // Video packets whose headers carry the header extension.
    {"packets_hec", Packets(Config(176, 144), 7, true, false),
     [](M4vWriter* w) { IpSequence(w, 20); }, -1},
    // Not-coded VOPs in a stream that is not packed: each repeats the
    // reference and keeps its place.
    {"not_coded_vops", Config(176, 144),
     [](M4vWriter* w) {
         w->IVop(6, 0);
         for (int f = 1; f < 20; ++f) {
             if (f % 3 == 0)
                 w->NotCodedVop(1);
             else
                 w->PVop(6, 0, 1);
         }
     },
     -1},
    // A size that is not a multiple of 16 without workaround: one-vector
    // blocks read the decoded macroblocks beyond the picture edge; the
    // blocks of four-vector macroblocks are first held within the picture.
    {"odd_size_168x136", Config(168, 136), [](M4vWriter* w) { IpSequence(w, 20); }, -1},
    // Encoder-workaround user data with a size that is not a multiple of 16.
    {"xvid_workaround", UserData(Config(168, 136), "XviD0012"),
     [](M4vWriter* w) { IpSequence(w, 20); }, -1},
    // (FFmpeg applies no edge workaround for this DivX build, so the size is
    // a multiple of 16 here.)
    {"divx_workaround", UserData(Config(176, 144), "DivX501b413"),
     [](M4vWriter* w) { IpSequence(w, 20); }, -1},
    // Data partitioning with small packets and header extensions. FFmpeg
    // reads the DC differentials of partitioned I-VOPs whatever
    // intra_dc_vlc_thr says, so only threshold 0 is compared here.
    {"partitioned", Packets(Config(176, 144), 9, false, true),
     [](M4vWriter* w) { IpSequence(w, 24, false); }, -1},
    {"partitioned_hec", Packets(Config(320, 240), 23, true, true),
     [](M4vWriter* w) { IpSequence(w, 20, false); }, -1},
    // Reversible VLC texture: every code word of the intra and the inter
    // table in turn, and random content with escapes.
    // (A high quantiser makes one wrong entry stand out of the IDCT's
    // rounding differences.)
    {"reversible_sweep", Reversible(Packets(Config(176, 144), 9, false, true), true),
     [](M4vWriter* w) {
         for (int f = 0; f < 24; ++f) {
             if (f % 8 == 0)
                 w->IVop(16, 0);
             else
                 w->PVop(16, 0, 1);
         }
     },
     2},
    {"reversible", Reversible(Packets(Config(320, 240), 23, true, true), false),
     [](M4vWriter* w) { IpSequence(w, 20, false); }, -1},
    // GMC with one and with two warping points.
    {"gmc_1point", Gmc(Config(176, 144), 1), [](M4vWriter* w) { GmcSequence(w, 1); }, -1},
    {"gmc_2points", Gmc(Config(176, 144), 2), [](M4vWriter* w) { GmcSequence(w, 2); }, -1},
    // Sizes that are not a multiple of 16: warped positions in the decoded
    // macroblocks beyond the picture edge; one point with offsets of up to
    // a macroblock and more.
    {"gmc_0points_168x136", Gmc(Config(168, 136), 0), [](M4vWriter* w) { GmcSequence(w, 0); }, -1},
    {"gmc_1point_168x136", Gmc(Config(168, 136), 1), [](M4vWriter* w) { GmcSequence(w, 1); }, -1},
    {"gmc_1point_far_168x136", Gmc(Config(168, 136), 1), [](M4vWriter* w) { GmcSequence(w, 1, 7); },
     -1},
    {"gmc_1point_far_200x120", Gmc(Config(200, 120), 1),
     [](M4vWriter* w) { GmcSequence(w, 1, 13); }, -1},
    {"gmc_2points_168x136", Gmc(Config(168, 136), 2), [](M4vWriter* w) { GmcSequence(w, 2); }, -1},
    {"gmc_2points_far_200x120", Gmc(Config(200, 120), 2),
     [](M4vWriter* w) { GmcSequence(w, 2, 5); }, -1},
    {"gmc_3points_200x120", Gmc(Config(200, 120), 3), [](M4vWriter* w) { GmcSequence(w, 3); }, -1},
    {"gmc_3points_far_168x136", Gmc(Config(168, 136), 3),
     [](M4vWriter* w) { GmcSequence(w, 3, 5); }, -1},
    // S-VOPs in packets. (FFmpeg calls its reading of a trajectory repeated
    // in a header extension "untested", and reports its own decode of
    // partitioned S-VOPs as corrupt, so neither is compared here.)
    {"gmc_packets", Gmc(Packets(Config(176, 144), 7, false, false), 2),
     [](M4vWriter* w) { GmcSequence(w, 2); }, -1},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

// The reversible tables: 169 code words each, every (last, run, level) of
// the intra and inter meanings once, levels 1..LMAX for every run without
// gaps, so that the sweep streams reach each of them.
TEST(ReversibleTables, CompleteAndDistinct) {
    for (const VRvlcTab* t : {&kRvlcIntra, &kRvlcInter}) {
        std::map<int, int> maxLevel[2];
        std::set<int> seen;
        int n = 0;
        for (uint16_t e : t->v) {
            if (!e) continue;
            ++n;
            int last = (e >> 14) & 1, run = (e >> 8) & 63, level = e & 0xFF;
            EXPECT_TRUE(seen.insert(last << 16 | run << 8 | level).second)
                << last << " " << run << " " << level;
            maxLevel[last][run] = std::max(maxLevel[last][run], level);
        }
        EXPECT_EQ(n, 169);
        for (int last = 0; last < 2; ++last)
            for (const auto& rl : maxLevel[last])
                for (int level = 1; level <= rl.second; ++level)
                    EXPECT_TRUE(seen.count(last << 16 | rl.first << 8 | level))
                        << last << " " << rl.first << " " << level;
        // Runs are contiguous from 0.
        EXPECT_EQ(int(maxLevel[0].size()), maxLevel[0].rbegin()->first + 1);
        EXPECT_EQ(int(maxLevel[1].size()), maxLevel[1].rbegin()->first + 1);
    }
}

class HandBuilt : public ::testing::TestWithParam<Case> {};

TEST_P(HandBuilt, MatchesFfmpeg) {
    const Case& c = GetParam();
    M4vWriter w(c.config, 1234);
    w.Headers();
    c.vops(&w);
    std::string in = Dir() + "/" + c.name + ".m4v";
    std::string ref = Dir() + "/" + c.name + ".ref.yuv";
    ASSERT_TRUE(m4vtest::WriteFile(in, w.bytes()));
    ASSERT_TRUE(m4vtest::FfmpegDecode(in, ref, "-fps_mode passthrough"))
        << "ffmpeg could not decode " << in;
    // FFmpeg gives no picture for a not-coded VOP; here it repeats the
    // reference in its place.
    std::vector<unsigned char> frames;
    ASSERT_TRUE(m4vtest::ReadFile(ref, &frames));
    size_t fs = size_t(c.config.width) * c.config.height +
                2 * size_t((c.config.width + 1) / 2) * size_t((c.config.height + 1) / 2);
    std::vector<unsigned char> expect;
    size_t next = 0;
    for (int coded : w.coded()) {
        if (coded) {
            ASSERT_LE((next + 1) * fs, frames.size());
            expect.insert(expect.end(), frames.begin() + long(next * fs),
                          frames.begin() + long((next + 1) * fs));
            ++next;
        } else {
            ASSERT_GE(expect.size(), fs);
            expect.insert(expect.end(), expect.end() - long(fs), expect.end());
        }
    }
    ASSERT_EQ(next * fs, frames.size());
    ASSERT_TRUE(m4vtest::WriteFile(ref, expect));
    m4vtest::CompareWithReference(c.name, in, ref, c.config.width, c.config.height, c.maxDiff);
}

INSTANTIATE_TEST_SUITE_P(Streams, HandBuilt, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& i) {
                             return std::string(i.param.name);
                         });

}  // namespace
