// Parametric stereo belongs to a single channel element: the same PS
// extension after a channel pair's SBR data makes the SBR step refuse the
// frame (4352 + 14), and the core's stereo PCM stands at the core rate.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "aac_test_util.h"
#include "aac_writer.h"
#include "codecs/aac/aac_dec.h"
#include "codecs/aac/sbr_bands.h"
#include "codecs/aac/sbr_parse.h"

using namespace aactest;

namespace {

const int kCoreRate = 22050;
const int kSfi = 7;  // 22050

// The SBR payload of a fill element (extension type 13 first) for one
// single channel element or a channel pair, each channel FIXFIX with two
// envelopes, followed by a parametric-stereo extension (header with IID and
// ICC off, one envelope) when ps is set. Returned as '0'/'1' bits, whole
// bytes.
std::string SbrPayloadBits(bool pair, bool ps) {
    uint8_t buf[128];
    SbrBitWriter bw;
    SbrBitWriterInit(&bw, buf, sizeof(buf));
    SbrWriteBits(&bw, 13, 4);
    SbrWriteBits(&bw, 1, 1);  // bs_header_flag
    SbrHeader h;
    SbrHeaderDefaults(&h);
    SbrWriteHeader(&bw, &h);
    SbrBandTables t;
    EXPECT_EQ(SbrBuildBandTables(&t, &h, 2 * kCoreRate), 1);
    SbrRawElement el;
    memset(&el, 0, sizeof(el));
    el.isPair = pair ? 1 : 0;
    for (int c = 0; c < (pair ? 2 : 1); c++) {
        SbrRawChannel& ch = el.ch[c];
        ch.grid.frameClass = kSbrFixFix;
        ch.grid.numEnv = 2;
        SbrGridFromSyntax(&ch.grid);
        ch.grid.freqRes[0] = ch.grid.freqRes[1] = 1;
        ch.ampRes = h.ampRes;
        ch.env[0][0] = ch.env[1][0] = 20;
        ch.noise[0][0] = ch.noise[1][0] = 10;
    }
    SbrWriteData(&bw, &h, &t, &el);
    if (ps) {
        bw.pos -= 1;              // bs_extended_data was written as 0
        SbrWriteBits(&bw, 1, 1);  // bs_extended_data
        SbrWriteBits(&bw, 2, 4);  // two bytes
        SbrWriteBits(&bw, 2, 2);  // bs_extension_id: parametric stereo
        SbrWriteBits(&bw, 1, 1);  // enable_ps_header
        SbrWriteBits(&bw, 0, 3);  // no IID, no ICC, no extension
        SbrWriteBits(&bw, 0, 1);  // frame_class
        SbrWriteBits(&bw, 1, 2);  // one envelope
        SbrWriteBits(&bw, 0, 7);  // the rest of the two bytes
    }
    while (bw.pos % 8) SbrWriteBits(&bw, 0, 1);
    EXPECT_EQ(bw.error, 0);
    std::string bits;
    for (int i = 0; i < bw.pos; i++) bits += ((buf[i >> 3] >> (7 - (i & 7))) & 1) ? '1' : '0';
    return bits;
}

std::string FillBits(const std::string& payload) {
    BitWriter w;
    const int count = (int)payload.size() / 8;
    if (count < 15) {
        w.Put((uint32_t)count, 4);
    } else {
        w.Put(15, 4);
        w.Put((uint32_t)(count - 14), 8);
    }
    w.Raw(payload);
    return Id(6) + w.bits;
}

// A silent frame of one single channel element or one channel pair (no
// common window), followed by the fill element.
std::vector<uint8_t> Frame(bool pair, bool ps) {
    const std::string ics = SceBits(SceOptions()).substr(4);  // without the tag
    const std::string element = pair ? Id(1) + "0000" + "0" + ics + ics : Id(0) + "0000" + ics;
    return Adts(element + FillBits(SbrPayloadBits(pair, ps)) + End(), kSfi, pair ? 2 : 1);
}

TEST(SbrPairPs, ParametricStereoOnlyAfterASingleChannel) {
    struct Case {
        const char* name;
        bool pair, ps;
        int32_t result;  // of every frame after the first
        int32_t rate, channels, samples;
        int32_t psPresent;
    } cases[] = {
        {"mono with PS", false, true, 0, 2 * kCoreRate, 2, 2048, 1},
        {"pair without PS", true, false, 0, 2 * kCoreRate, 2, 2048, 0},
        {"pair with PS", true, true, AAC_SBR_ERROR_BASE + 14, kCoreRate, 2, 1024, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> f = Frame(c.pair, c.ps);
        Decoder dec(kCoreRate);
        for (int i = 0; i < 4; i++) {
            int32_t produced = 0;
            const int32_t r = dec.Decode(f.data(), (int32_t)f.size(), &produced);
            EXPECT_EQ(dec.cfg.bytesUsed, (int32_t)f.size()) << "frame " << i;
            if (i == 0) continue;  // the SBR data run one frame behind
            EXPECT_EQ(r, c.result) << "frame " << i;
            EXPECT_EQ(dec.cfg.sampleRate, c.rate) << "frame " << i;
            EXPECT_EQ(dec.cfg.channels, c.channels) << "frame " << i;
            EXPECT_EQ(produced, c.channels * c.samples * 2) << "frame " << i;
            EXPECT_EQ(dec.cfg.psPresent, c.psPresent) << "frame " << i;
        }
    }
}

}  // namespace
