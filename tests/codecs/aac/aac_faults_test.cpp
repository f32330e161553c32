// Faults no encoder makes, from the test writer: each gives its exact error
// code; element faults after the first frame still deliver concealed PCM.
#include <gtest/gtest.h>

#include "tests/codecs/aac/aac_test_util.h"
#include "tests/codecs/aac/aac_writer.h"

using namespace aactest;

namespace {

struct FaultCase {
    const char* name;
    std::vector<uint8_t> frame;
    int32_t expect;
    bool concealed;  // PCM delivered with the code
};

std::vector<uint8_t> SceFrame(const SceOptions& o, const std::string& tail = "") {
    return Adts(Id(0) + SceBits(o) + tail + End());
}

std::vector<FaultCase> Cases() {
    std::vector<FaultCase> c;
    SceOptions o;
    o.maxSfb = 1;
    o.spectral = "0";  // codebook 1: the all-zero quad
    c.push_back({"clean frame", SceFrame(o), 0, true});

    SceOptions pred = o;
    pred.predictor = 1;
    c.push_back({"main-profile prediction", SceFrame(pred), AAC_E_PREDICTION, true});

    SceOptions gain = o;
    gain.gainControl = 1;
    c.push_back({"gain control", SceFrame(gain), AAC_E_GAINCONTROL, true});

    SceOptions cb12 = o;
    cb12.sectionCb = 12;
    cb12.spectral = "";
    c.push_back({"reserved codebook 12", SceFrame(cb12), AAC_E_CODEBOOK, true});

    SceOptions wide = o;
    wide.maxSfb = 50;  // 49 long bands at 48 kHz
    wide.spectral = "";
    c.push_back({"max_sfb beyond the band table", SceFrame(wide), AAC_E_BANDS, true});

    SceOptions tns = o;
    tns.tnsLength = 60;  // starts below band 0
    c.push_back({"TNS filter below band 0", SceFrame(tns), AAC_E_TNS, true});

    // codebook 11: (16, 0), sign, then an escape prefix of nine ones (2^13)
    SceOptions esc = o;
    esc.sectionCb = 11;
    esc.spectral =
        std::string("111000010") + "0" + "111111111" + "0" + std::string(13, '0') + "0000";
    c.push_back({"escape above 8191", SceFrame(esc), AAC_E_BANDS, true});

    // an escape of 8191 is still allowed: prefix of eight ones, 12-bit word
    SceOptions escOk = o;
    escOk.sectionCb = 11;
    escOk.spectral =
        std::string("111000010") + "0" + "11111111" + "0" + std::string(12, '1') + "0000";
    c.push_back({"escape of 8191", SceFrame(escOk), 0, true});

    // a section that runs past max_sfb
    SceOptions sect = o;
    sect.maxSfb = 0;
    c.push_back({"spectral data cut short", Adts(Id(0) + SceBits(escOk).substr(0, 40) + End()),
                 AAC_E_BANDS, true});

    c.push_back({"coupling channel element", Adts(Id(2) + std::string(40, '0') + End()),
                 AAC_E_COUPLING, true});

    std::string sce = SceBits(o);
    c.push_back({"SCE then CPE: three channels", Adts(Id(0) + sce + Id(1) + sce + End()),
                 AAC_E_CHANNELS, true});

    c.push_back({"ADTS CRC correct", Adts(Id(0) + sce + End(), 3, 1, true, {sce}), 0, true});
    c.push_back({"ADTS CRC altered", Adts(Id(0) + sce + End(), 3, 1, true, {sce}, 0, true),
                 AAC_E_CRC, true});

    // headers: rejected before any PCM
    c.push_back({"channel configuration 3", Adts(Id(0) + sce + End(), 3, 3), AAC_E_ADTS, false});
    c.push_back({"frame longer than the bytes given",
                 Adts(Id(0) + sce + End(), 3, 1, false, {}, 40), AAC_E_ADTS, false});
    return c;
}

TEST(AacFaults, ExactCodes) {
    for (const FaultCase& fc : Cases()) {
        SCOPED_TRACE(fc.name);
        Decoder dec(48000, 1, 1);
        int32_t produced = -1;
        std::vector<uint8_t> good = SilentFrame();
        ASSERT_EQ(dec.Decode(good.data(), (int32_t)good.size(), &produced), 0);
        ASSERT_EQ(dec.Decode(good.data(), (int32_t)good.size(), &produced), 0);
        EXPECT_EQ(produced, 2048);
        int32_t r = dec.Decode(fc.frame.data(), (int32_t)fc.frame.size(), &produced);
        EXPECT_EQ(r, fc.expect);
        EXPECT_EQ(produced, fc.concealed ? 2048 : 0);
        // the stream goes on
        EXPECT_EQ(dec.Decode(good.data(), (int32_t)good.size(), &produced), 0);
        EXPECT_EQ(produced, 2048);
    }
}

TEST(AacFaults, FirstFrameHeaderFaultIsReturnedAtOnce) {
    SceOptions o;
    std::vector<uint8_t> bad = Adts(Id(0) + SceBits(o) + End(), 3, 3);
    Decoder dec(48000, 1, 1);
    int32_t produced = -1;
    EXPECT_EQ(dec.Decode(bad.data(), (int32_t)bad.size(), &produced), AAC_E_ADTS);
    EXPECT_EQ(produced, 0);
    EXPECT_EQ(dec.cfg.bytesUsed, 0);
}

// Truncated and random input never reads outside the given bytes (the
// sanitizers watch) and always ends in a defined result.
TEST(AacFaults, TruncatedFramesStayInside) {
    SceOptions o;
    o.maxSfb = 1;
    o.sectionCb = 11;
    o.spectral = std::string("111000010") + "0" + "11111111" + "0" + std::string(12, '1') + "0000";
    std::vector<uint8_t> f = Adts(Id(0) + SceBits(o) + End());
    for (size_t n = 1; n < f.size(); n++) {
        Decoder dec(48000, 1, 1);
        std::vector<uint8_t> cut(f.begin(), f.begin() + (long)n);
        int32_t produced;
        int32_t r = dec.Decode(cut.data(), (int32_t)cut.size(), &produced);
        EXPECT_NE(r, 0) << n;
    }
}

}  // namespace
