// Damaged and lost video packets, with and without data partitioning: the
// decoder conceals what it cannot read and picks up again at the next packet.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codecs/video/mp4vdec.h"
#include "m4v_writer.h"

namespace {

using m4vtest::M4vWriter;
using m4vtest::WriterConfig;

// One decoder on caller-owned tables, low delay, fed one VOP at a time.
class Decoder {
public:
    Decoder(const std::vector<uint8_t>& config, uint32_t w, uint32_t h) {
        info_.configData = config.data();
        info_.configSize = uint32_t(config.size());
        info_.lowDelay = 1;
        size_t luma = size_t(w) * h;
        planes_.assign(3 * (luma * 3 / 2 + 64), 0);
        for (uint32_t i = 0; i < 3; ++i) {
            uint8_t* p = planes_.data() + i * (luma * 3 / 2 + 64);
            fbs_[i] = {p, p + luma + 16, p + luma + 32 + luma / 4, 0};
        }
        cfg_ = {&info_, fbs_, 3, w, h, nullptr};
        Mp4vDecGetMemTables(&cfg_, tables_);
        for (int i = 0; i < 4; ++i) {
            mem_[i].assign(tables_[i].size, 0);
            tables_[i].pointer = mem_[i].data();
        }
        dec_ = Mp4vDecInit(tables_, &cfg_, &result_);
    }
    ~Decoder() {
        if (dec_) Mp4vDecClose(dec_, tables_);
    }
    bool ok() const { return dec_ != nullptr; }
    Mp4vDecOutput Decode(const uint8_t* data, size_t size) {
        Mp4vDecOutput o = {};
        o.result = pair_;
        Mp4vDecInput in = {};
        in.data = data;
        in.size = uint32_t(size);
        in.completeUnit = 1;
        Mp4vDecDecodeFrame(dec_, &in, &o);
        return o;
    }

private:
    Mp4vDecStreamInfo info_ = {};
    Mp4vDecInitConfig cfg_ = {};
    std::vector<uint8_t> planes_;
    Mp4vDecFrameBuffer fbs_[3] = {};
    m4v::MemTable tables_[4] = {};
    std::vector<uint8_t> mem_[4];
    int32_t kind_ = 0;
    Mp4vDecInitResult result_ = {&kind_, 0, 0};
    Mp4vDecoder* dec_ = nullptr;
    int32_t pair_[2] = {0, 0};
};

// Offsets of the VOP start codes.
std::vector<size_t> VopStarts(const std::vector<uint8_t>& s) {
    std::vector<size_t> v;
    for (size_t i = 0; i + 3 < s.size(); ++i)
        if (s[i] == 0 && s[i + 1] == 0 && s[i + 2] == 1 && s[i + 3] == 0xB6) v.push_back(i);
    return v;
}

struct Case {
    const char* name;
    bool partitioned;
    bool drop;  // the packet is lost whole, else its first code is invalid
    int vop;    // 0: the I-VOP, 1: the P-VOP after it
    int packet;
};

const Case kCases[] = {
    {"plain_intra_damaged", false, false, 0, 1},
    {"plain_inter_lost", false, true, 1, 3},
    {"partitioned_intra_damaged", true, false, 0, 1},
    {"partitioned_intra_lost", true, true, 0, 4},
    {"partitioned_inter_damaged", true, false, 1, 2},
    {"partitioned_last_packet_lost", true, true, 0, 10},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Resilience : public ::testing::TestWithParam<Case> {};

// 176x144 in packets of 9 macroblocks (11 packets): the macroblocks of the
// damaged packet are concealed (status 1, or unchanged for a P-VOP's), all
// others of the I-VOP are decoded intra (status 0).
TEST_P(Resilience, ConcealsOnlyTheDamagedPacket) {
    const Case& c = GetParam();
    WriterConfig cfg;
    cfg.packetMbs = 9;
    cfg.hec = true;
    cfg.dataPartitioned = c.partitioned;
    cfg.damagedVop = c.vop;
    cfg.damagedPacket = c.packet;
    cfg.dropPacket = c.drop;
    M4vWriter w(cfg, 77);
    w.Headers();
    w.IVop(6, 0);
    w.PVop(6, 0, 1);
    std::vector<uint8_t> s = w.bytes();
    std::vector<size_t> vops = VopStarts(s);
    ASSERT_EQ(vops.size(), 2u);
    Decoder d(std::vector<uint8_t>(s.begin(), s.begin() + long(vops[0])), 176, 144);
    ASSERT_TRUE(d.ok());
    int first = c.packet * 9, last = first + 9;
    for (int v = 0; v < 2; ++v) {
        size_t end = v + 1 < 2 ? vops[v + 1] : s.size();
        Mp4vDecOutput o = d.Decode(s.data() + vops[v], end - vops[v]);
        ASSERT_NE(o.y, nullptr);
        ASSERT_NE(o.mbStatus, nullptr);
        for (int i = 0; i < 99; ++i) {
            int lost = c.vop == v && i >= first && i < last;
            int concealedBefore = c.vop == 0 && i >= first && i < last;
            // A P-VOP leaves inter and skipped macroblocks' entries as they were;
            // its intra ones become 0, so only the damaged ones are certain.
            if (v == 1 && !lost) {
                if (concealedBefore) {
                    EXPECT_LE(o.mbStatus[i], 1) << "mb " << i;
                } else {
                    EXPECT_EQ(o.mbStatus[i], 0) << "mb " << i;
                }
                continue;
            }
            EXPECT_EQ(o.mbStatus[i], lost ? 1 : 0) << "vop " << v << " mb " << i;
        }
        if (v == 0) {
            EXPECT_EQ(o.decodedPercent, c.vop == 0 ? 90u : 100u);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Packets, Resilience, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& i) {
                             return std::string(i.param.name);
                         });

}  // namespace
