// SBR frame step: header state, damaged payloads, concealment, and the
// limiter table following bs_limiter_bands alone.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "tests/codecs/aac/sbr_test_matrix.h"
#include "codecs/aac/sbr_dec.h"

namespace {

const int kRate = 44100;  // output rate (core 22050)

struct Payload {
    uint8_t buf[256];
    int bits;
};

// Payload with the extension-type nibble in front, as a FIL element has it.
Payload Make(const SbrHeader* h, int extType, int envLevel, bool damage = false) {
    Payload p;
    SbrBitWriter bw;
    SbrBitWriterInit(&bw, p.buf, sizeof(p.buf));
    SbrWriteBits(&bw, (uint32_t)extType, 4);
    if (extType == 14) SbrWriteBits(&bw, 0, 10);  // CRC, filled below
    int crcStart = bw.pos;
    SbrHeader hh;
    SbrHeaderDefaults(&hh);
    if (h) hh = *h;
    SbrWriteBits(&bw, h ? 1 : 0, 1);
    if (h) SbrWriteHeader(&bw, h);
    SbrBandTables t;
    SbrBuildBandTables(&t, &hh, kRate);
    SbrRawElement el;
    memset(&el, 0, sizeof(el));
    SbrRawChannel& c = el.ch[0];
    c.grid.frameClass = kSbrFixFix;
    c.grid.numEnv = 2;
    SbrGridFromSyntax(&c.grid);
    c.grid.freqRes[0] = c.grid.freqRes[1] = 1;
    c.ampRes = hh.ampRes;
    c.env[0][0] = (int16_t)envLevel;
    c.env[1][0] = (int16_t)envLevel;
    c.noise[0][0] = 10;
    c.noise[1][0] = 10;
    SbrWriteData(&bw, &hh, &t, &el);
    while (bw.pos % 8) SbrWriteBits(&bw, 0, 1);
    p.bits = bw.pos;
    if (extType == 14) {
        uint32_t crc = SbrCrc10(p.buf, crcStart, bw.pos - crcStart);
        SbrBitWriter fix;
        uint8_t tmp[2];
        SbrBitWriterInit(&fix, tmp, 2);
        SbrWriteBits(&fix, crc, 10);
        // splice the 10 CRC bits in at bit 4
        for (int i = 0; i < 10; i++) {
            int bit = (tmp[i >> 3] >> (7 - (i & 7))) & 1;
            int pos = 4 + i;
            if (bit) p.buf[pos >> 3] |= (uint8_t)(0x80 >> (pos & 7));
        }
    }
    if (damage) p.buf[p.bits / 16] ^= 0x20;
    return p;
}

std::vector<int16_t> Core(int frame) {
    std::vector<int16_t> pcm(2048);
    for (int i = 0; i < 1024; i++) {
        double t = frame * 1024 + i;
        double v = 6000 * std::sin(0.05 * t) + 3000 * std::sin(0.9 * t) + 2000 * std::sin(2.2 * t);
        pcm[i] = pcm[1024 + i] = (int16_t)v;
    }
    return pcm;
}

int DecodeOne(SbrDecoder* d, const Payload& p, int frame, std::vector<int16_t>* out) {
    std::vector<int16_t> in = Core(frame);
    out->assign(4096, 0);
    return SbrDecodeFrame(d, p.buf, 4, p.bits - 4, p.buf[0] >> 4, 0, in.data(), 1, out->data());
}

double Energy(const std::vector<int16_t>& v, int n) {
    double e = 0;
    for (int i = 0; i < n; i++) e += (double)v[i] * v[i];
    return e / n;
}

// The header state through sequences of payloads: none yet, the defaults in
// force (no data read with them), or a valid header.
TEST(SbrDec, HeaderStates) {
    SbrHeader defaults;
    SbrHeaderDefaults(&defaults);
    SbrHeader other = defaults;
    other.startFreq = (uint8_t)(defaults.startFreq + 3);
    SbrHeader broken = defaults;
    broken.startFreq = 0;
    broken.stopFreq = 15;  // k2 - k0 too wide at 44100
    SbrBandTables t;
    ASSERT_TRUE(SbrBuildBandTables(&t, &defaults, kRate));
    const int defaultK0 = t.k0;
    ASSERT_TRUE(SbrBuildBandTables(&t, &other, kRate));
    const int otherK0 = t.k0;
    ASSERT_NE(defaultK0, otherK0);

    enum Kind { kNone, kHeaderless, kDefaultHeader, kOtherHeader, kBrokenHeader };
    struct Step {
        Kind payload;
        int frameGood;
        int result;
        int state;
        int k0;  // 0: not checked
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const int N = kSbrHeaderNone, D = kSbrHeaderDefaults, V = kSbrHeaderValid;
    const Case cases[] = {
        {"no header yet: the defaults stand, no data are read",
         {{kHeaderless, 1, kSbrOk, D, defaultK0},
          {kHeaderless, 1, kSbrOk, D, 0},
          {kDefaultHeader, 1, kSbrOk, V, 0},
          {kHeaderless, 1, kSbrOk, V, 0}}},
        {"a header that fails first leaves nothing decodable",
         {{kBrokenHeader, 1, kSbrNotDecodable, N, 0}, {kOtherHeader, 1, kSbrOk, V, otherK0}}},
        {"a header that fails later falls back to the defaults",
         {{kOtherHeader, 1, kSbrOk, V, otherK0},
          {kBrokenHeader, 1, kSbrOk, D, defaultK0},
          {kHeaderless, 1, kSbrOk, D, defaultK0},
          {kOtherHeader, 1, kSbrOk, V, otherK0}}},
        {"a good frame without SBR data ends the valid header; a lost one does not",
         {{kDefaultHeader, 1, kSbrOk, V, 0},
          {kNone, 0, kSbrOk, V, 0},
          {kNone, 1, kSbrOk, D, 0},
          {kHeaderless, 1, kSbrOk, D, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SbrDecoder d;
        ASSERT_EQ(SbrDecoderSetup(&d, kRate, 0, 1, SbrTestWork()), 1);
        EXPECT_EQ(d.headerState, N);
        int frame = 0;
        for (const Step& st : c.steps) {
            SCOPED_TRACE(frame);
            Payload p;
            switch (st.payload) {
                case kNone:
                case kHeaderless: p = Make(nullptr, 13, 40); break;
                case kDefaultHeader: p = Make(&defaults, 13, 40); break;
                case kOtherHeader: p = Make(&other, 13, 40); break;
                case kBrokenHeader: p = Make(&broken, 13, 40); break;
            }
            SbrPayloadList list;
            memset(&list, 0, sizeof(list));
            list.frameGood = st.frameGood;
            if (st.payload != kNone) {
                list.count = 1;
                list.item[0] = {p.buf, 4, p.bits - 4, 13, 0};
            }
            std::vector<int16_t> in = Core(frame++), out(4096);
            EXPECT_EQ(SbrDecodeFrameList(&d, &list, in.data(), 1024, 1, out.data(), 2048), st.result);
            EXPECT_EQ(d.headerState, st.state);
            if (st.k0) {
                EXPECT_EQ(d.tables.k0, st.k0);
            }
        }
    }
}

TEST(SbrDec, UnsupportedRateFailsSetUp) {
    SbrDecoder d;
    EXPECT_EQ(SbrDecoderSetup(&d, 12000, 0, 1, SbrTestWork()), 0);
    EXPECT_EQ(SbrDecoderSetup(&d, 16000, 0, 0, SbrTestWork()), 1);
    EXPECT_EQ(SbrDecoderSetup(&d, 96000, 0, 0, SbrTestWork()), 1);
}

struct DamageCase {
    const char* name;
    int complexSet;
};

class SbrDecSets : public ::testing::TestWithParam<DamageCase> {};

// Damaged payloads (bad CRC, impossible header) conceal from the previous
// frame: the output keeps its level and nothing saturates.
TEST_P(SbrDecSets, DamagedPayloadsConceal) {
    SbrDecoder good, bad;
    ASSERT_EQ(SbrDecoderSetup(&good, kRate, 0, GetParam().complexSet, SbrTestWork()), 1);
    ASSERT_EQ(SbrDecoderSetup(&bad, kRate, 0, GetParam().complexSet, SbrTestWork()), 1);
    SbrHeader h;
    SbrHeaderDefaults(&h);
    SbrHeader broken = h;
    broken.startFreq = 0;
    broken.stopFreq = 15;  // k2 - k0 too wide at 44100
    std::vector<int16_t> outGood, outBad;
    for (int f = 0; f < 12; f++) {
        Payload pg = Make(f % 4 == 0 ? &h : nullptr, 14, 14);
        Payload pb = pg;
        if (f >= 4 && f % 3 == 1) pb = Make(nullptr, 14, 14, true);  // CRC mismatch
        if (f == 8) pb = Make(&broken, 14, 14);                      // bad band limits
        ASSERT_EQ(DecodeOne(&good, pg, f, &outGood), kSbrOk) << f;
        ASSERT_EQ(DecodeOne(&bad, pb, f, &outBad), kSbrOk) << f;
        double eg = Energy(outGood, 2048), eb = Energy(outBad, 2048);
        if (f > 1) {
            EXPECT_NEAR(10 * std::log10(eb / eg), 0.0, 1.0) << "frame " << f;
        }
        int peak = 0;
        for (int i = 0; i < 2048; i++) peak = std::max(peak, std::abs((int)outBad[i]));
        EXPECT_LT(peak, 32767) << f;
    }
    // the bad header of frame 8 left the defaults in force, and no later
    // header came
    EXPECT_EQ(bad.headerState, kSbrHeaderDefaults);
    EXPECT_EQ(good.headerState, kSbrHeaderValid);
}

INSTANTIATE_TEST_SUITE_P(Sets, SbrDecSets,
                         ::testing::Values(DamageCase{"complex", 1}, DamageCase{"real", 0}),
                         [](const ::testing::TestParamInfo<DamageCase>& i) {
                             return std::string(i.param.name);
                         });

// A header that changes bs_limiter_bands only must not leave the limiter
// table of the previous value in force.
TEST(SbrDec, LimiterBandsChangeAlone) {
    SbrDecoder d;
    ASSERT_EQ(SbrDecoderSetup(&d, kRate, 0, 1, SbrTestWork()), 1);
    SbrHeader h;
    SbrHeaderDefaults(&h);
    std::vector<int16_t> out;
    ASSERT_EQ(DecodeOne(&d, Make(&h, 13, 30), 0, &out), kSbrOk);
    int before = d.tables.nLimiter;
    h.limiterBands = 0;
    ASSERT_EQ(DecodeOne(&d, Make(&h, 13, 30), 1, &out), kSbrOk);
    EXPECT_EQ(d.tables.limiterBandsBuilt, 0);
    EXPECT_EQ(d.tables.nLimiter, 1);
    EXPECT_NE(before, 1);
}

// SBR adds energy above the core band and leaves the level sensible.
TEST(SbrDec, HighBandAppearsWithEnvelope) {
    SbrDecoder quiet, loud;
    ASSERT_EQ(SbrDecoderSetup(&quiet, kRate, 0, 1, SbrTestWork()), 1);
    ASSERT_EQ(SbrDecoderSetup(&loud, kRate, 0, 1, SbrTestWork()), 1);
    SbrHeader h;
    SbrHeaderDefaults(&h);
    std::vector<int16_t> a, b;
    for (int f = 0; f < 6; f++) {
        ASSERT_EQ(DecodeOne(&quiet, Make(&h, 13, 0), f, &a), kSbrOk);
        ASSERT_EQ(DecodeOne(&loud, Make(&h, 13, 24), f, &b), kSbrOk);
    }
    EXPECT_GT(Energy(b, 2048), Energy(a, 2048) * 1.05);
    printf("energy without / with high band: %.4g / %.4g\n", Energy(a, 2048), Energy(b, 2048));
}

}  // namespace

namespace {

// Payloads come back one frame later, copied no further than they reach.
TEST(SbrDec, PayloadDelayCopiesBoundedAndLate) {
    static SbrPayloadDelay pd;
    SbrPayloadDelayInit(&pd);
    std::vector<uint8_t> small(3, 0xAB);  // a 3-byte payload at the end of a buffer
    SbrPayloadList in = {};
    in.count = 1;
    in.item[0] = SbrPayload{small.data(), 4, 20, 13, 0};
    SbrPayloadList out;
    int good = -1;
    SbrPayloadDelayPush(&pd, &in, 1, &out, &good);
    EXPECT_EQ(out.count, 0);
    EXPECT_EQ(good, 0);
    SbrPayloadList none = {};
    SbrPayloadDelayPush(&pd, &none, 0, &out, &good);
    ASSERT_EQ(out.count, 1);
    EXPECT_EQ(good, 1);
    EXPECT_EQ(out.item[0].bits, 20);
    EXPECT_EQ(out.item[0].data[2], 0xAB);
    EXPECT_NE(out.item[0].data, small.data());
    // An oversized claim is cut to the store.
    std::vector<uint8_t> big(600, 1);
    in.item[0] = SbrPayload{big.data(), 4, 600 * 8 - 4, 13, 0};
    SbrPayloadDelayPush(&pd, &in, 1, &out, &good);
    SbrPayloadDelayPush(&pd, &none, 1, &out, &good);
    EXPECT_EQ(out.item[0].bits, kSbrPayloadStoreBytes * 8 - 4);
}

// Two single-channel payloads drive one channel each.
TEST(SbrDec, TwoSingleChannelPayloads) {
    SbrDecoder d;
    ASSERT_EQ(SbrDecoderSetup(&d, kRate, 0, 0, SbrTestWork()), 1);
    SbrHeader h;
    SbrHeaderDefaults(&h);
    Payload a = Make(&h, 13, 14), b = Make(&h, 13, 20);
    SbrPayloadList list = {};
    list.count = 2;
    list.item[0] = SbrPayload{a.buf, 4, a.bits - 4, 13, 0};
    list.item[1] = SbrPayload{b.buf, 4, b.bits - 4, 13, 0};
    std::vector<int16_t> in = Core(0), out(4096);
    ASSERT_EQ(SbrDecodeFrameList(&d, &list, in.data(), 1024, 2, out.data(), 2048), kSbrOk);
    EXPECT_EQ(d.ch[0].frame.envValue[0][0], 14);
    EXPECT_EQ(d.ch[1].frame.envValue[0][0], 20);
}

}  // namespace
