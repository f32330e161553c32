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

// Which bits the ADTS CRC covers: the first 192 bits of a single channel
// element and of a channel pair's first channel, 128 of its second, program
// config and data stream elements whole; no check when a data stream or fill
// element begins within the first 193 bits of the block; at most four regions.
TEST(AacFaults, CrcRegions) {
    SceOptions o;
    o.maxSfb = 1;
    o.spectral = "0";
    const std::string sce = SceBits(o);
    const std::string ics = sce.substr(4);  // without the element_instance_tag
    const std::string cpeHead = "0000" + std::string("0") + ics;
    const std::string cpe = cpeHead + ics;
    const std::string fil = "0001" + std::string(8, '0');
    const std::vector<uint8_t> dseData = {0x12, 0x34, 0x56};
    const std::string dse = DseBits(dseData);
    // A program config element long enough that what follows begins past bit 193.
    const std::string pce = PceBits(72 + 3, {0}, "a comment of twenty.");
    const std::string sceAfterPce = Id(5) + pce + Id(0) + sce;
    const std::string shortPce = PceBits(72 + 3, {0}, "");

    struct Case {
        const char* name;
        int chanCfg;
        std::string block;
        std::vector<CrcRegion> regions;
        bool breakCrc;
        int32_t expect;
    };
    const std::vector<Case> cases = {
        {"channel pair: 192 bits, then 128 of the second channel",
         2,
         Id(1) + cpe + End(),
         {{cpeHead, 192}, {ics, 128}},
         false,
         0},
        {"channel pair: second channel taken as 192 bits",
         2,
         Id(1) + cpe + End(),
         {{cpeHead, 192}, {ics, 192}},
         false,
         AAC_E_CRC},
        {"channel pair: altered CRC",
         2,
         Id(1) + cpe + End(),
         {{cpeHead, 192}, {ics, 128}},
         true,
         AAC_E_CRC},
        {"program config and data stream past bit 193 enter whole",
         1,
         sceAfterPce + Id(4) + dse + End(),
         {{pce, 0}, {sce, 192}, {dse, 0}},
         false,
         0},
        {"data stream past bit 193 left out",
         1,
         sceAfterPce + Id(4) + dse + End(),
         {{pce, 0}, {sce, 192}},
         false,
         AAC_E_CRC},
        {"program config taken as 192 bits",
         1,
         sceAfterPce + End(),
         {{pce, 192}, {sce, 192}},
         false,
         AAC_E_CRC},
        {"data stream within 193 bits: not checked",
         1,
         Id(0) + sce + Id(4) + dse + End(),
         {{sce, 192}, {dse, 0}},
         true,
         0},
        {"fill within 193 bits: not checked",
         1,
         Id(0) + sce + Id(6) + fil + End(),
         {{sce, 192}},
         true,
         0},
        {"a fifth region",
         1,
         Id(5) + shortPce + Id(5) + shortPce + Id(5) + shortPce + Id(5) + shortPce + Id(0) + sce +
             End(),
         // every region counted right: only the fifth registration fails it
         {{shortPce, 0}, {shortPce, 0}, {shortPce, 0}, {shortPce, 0}, {sce, 192}},
         false,
         AAC_E_CRC},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Decoder dec(48000, 1, c.chanCfg);
        const std::vector<uint8_t> good =
            c.chanCfg == 2 ? Adts(Id(1) + cpe + End(), 3, 2) : Adts(Id(0) + sce + End());
        int32_t produced = -1;
        ASSERT_EQ(dec.Decode(good.data(), (int32_t)good.size(), &produced), 0);
        const std::vector<uint8_t> f = AdtsWithCrc(c.block, c.chanCfg, c.regions, c.breakCrc);
        EXPECT_EQ(dec.Decode(f.data(), (int32_t)f.size(), &produced), c.expect);
        EXPECT_EQ(produced, 2048 * c.chanCfg);
    }
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
