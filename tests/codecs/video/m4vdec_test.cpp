// Interface, header and picture-level behaviour of the video decoder.
#include <gtest/gtest.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "bitwriter.h"
#include "codecs/video/m4v_internal.h"
#include "codecs/video/m4v_tables.h"
#include "codecs/video/mp4vdec.h"

namespace {

std::string g_log;
void Capture(const char* text) { g_log += text; }

// Owns the tables and frame buffers of one decoder.
struct Harness {
    Mp4vDecStreamInfo info = {};
    Mp4vDecInitConfig cfg = {};
    std::vector<uint8_t> planes;
    Mp4vDecFrameBuffer fbs[4] = {};
    m4v::MemTable tables[4] = {};
    std::vector<uint8_t> mem[4];
    int32_t kind = -2;
    Mp4vDecInitResult result = {&kind, 0, 0};
    Mp4vDecoder* dec = nullptr;

    Mp4vDecoder* Init(const std::vector<uint8_t>& config, int shortHdr, uint32_t maxW,
                      uint32_t maxH, uint32_t buffers = 3, int lowDelay = 0) {
        g_log.clear();
        info.configData = config.empty() ? nullptr : config.data();
        info.configSize = uint32_t(config.size());
        info.iIsShortHdrMode = shortHdr;
        info.lowDelay = lowDelay;
        size_t luma = size_t(maxW) * maxH;
        planes.assign(4 * (luma * 3 / 2 + 64), 0);
        uint8_t* p = planes.data();
        for (uint32_t i = 0; i < 4; ++i) {
            fbs[i].y = p;
            fbs[i].u = p + luma + 16;
            fbs[i].v = p + luma + 16 + luma / 4 + 16;
            p += luma * 3 / 2 + 64;
        }
        cfg.streamInfo = &info;
        cfg.frameBuffers = fbs;
        cfg.uFrmBufferNum = buffers;
        cfg.uMaxDecodableWidth = maxW;
        cfg.uMaxDecodableHeight = maxH;
        cfg.print = Capture;
        Mp4vDecGetMemTables(&cfg, tables);
        for (int i = 0; i < 4; ++i) {
            mem[i].assign(tables[i].size, 0xCD);
            tables[i].pointer = mem[i].data();
        }
        dec = Mp4vDecInit(tables, &cfg, &result);
        return dec;
    }

    // Decodes one unit; returns {type, ticks}.
    std::pair<int, int> Decode(const std::vector<uint8_t>& data, uint32_t* used = nullptr,
                               int complete = 1, Mp4vDecOutput* outCopy = nullptr) {
        int32_t pair[2] = {-1, -12345};
        Mp4vDecOutput o = {};
        o.result = pair;
        Mp4vDecInput in = {};
        in.data = data.empty() ? nullptr : data.data();
        in.size = uint32_t(data.size());
        in.completeUnit = uint32_t(complete);
        uint32_t n = Mp4vDecDecodeFrame(dec, &in, &o);
        if (used) *used = n;
        if (outCopy) *outCopy = o;
        return {pair[0], pair[1]};
    }
    ~Harness() {
        if (dec) Mp4vDecClose(dec, tables);
    }
};

std::vector<uint8_t> Vol(const VolOptions& o) {
    BitWriter w;
    WriteVol(&w, o);
    return w.bytes();
}

TEST(VideoDecoderApi, VersionAndTableSizes) {
    uint32_t v[3];
    EXPECT_EQ(Mp4vDecGetVersion(v), v);
    EXPECT_EQ(v[0], 3u);
    EXPECT_EQ(v[1], 4u);
    EXPECT_EQ(v[2], 9u);
    EXPECT_EQ(Mp4vDecGetMemTableCount(), 4);
    struct Row {
        const char* name;
        uint32_t w, h, t1, t2;
    } rows[] = {{"640x480", 640, 480, 19896, 30028}, {"176x144", 176, 144, 4828, 2503}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Mp4vDecInitConfig c = {};
        c.uFrmBufferNum = 3;
        c.uMaxDecodableWidth = r.w;
        c.uMaxDecodableHeight = r.h;
        m4v::MemTable t[4];
        EXPECT_EQ(Mp4vDecGetMemTables(&c, t), 4);
        // Tables 0 and 3 hold pointers: their sizes grow with the pointer width.
        if (sizeof(void*) == 4) {
            EXPECT_EQ(t[0].size, 516u);
            EXPECT_EQ(t[3].size, 332u);
        } else {
            EXPECT_GE(t[0].size, 516u);
            EXPECT_GE(t[3].size, 332u);
        }
        EXPECT_EQ(t[1].size, r.t1);
        EXPECT_EQ(t[2].size, r.t2);
    }
}

TEST(VideoDecoderApi, InitChecks) {
    VolOptions big;
    big.width = 800;
    big.height = 600;
    VolOptions obmc;
    obmc.obmcDisable = 0;
    VolOptions gmc4;
    gmc4.warpPoints = 4;
    struct Row {
        const char* name;
        std::vector<uint8_t> config;
        int shortHdr;
        uint32_t w, h, buffers;
        bool ok;
        const char* log;
    } rows[] = {
        {"size not multiple of 16",
         {},
         0,
         720,
         482,
         3,
         false,
         "Error : uMaxDecodableWidth/Height is not multiple of 16\n"},
        {"two buffers", {}, 0, 720, 480, 2, false, "Error : uFrmBufferNum is smaller than 3\n"},
        {"decide without config",
         {},
         -1,
         720,
         480,
         3,
         false,
         "Error : iIsShortHdrMode is -1 but there is no config data\n"},
        {"VOL above the maximum", Vol(big), 0, 720, 576, 3, false,
         "Error : VOL width/height is zero or larger than uMaxDecodableWidth/Height\n"},
        {"OBMC", Vol(obmc), 0, 720, 576, 3, false,
         "NOT SUPPORTED : OBMC\nError : Config data is corrupted\n"},
        {"four warping points", Vol(gmc4), 0, 720, 576, 3, false,
         "ERROR : GMC points > 3Error : Config data is corrupted\n"},
        {"VOL overrides short header", Vol(VolOptions()), 1, 176, 144, 3, true, ""},
        {"short header without config", {}, 1, 176, 144, 3, true, ""},
    };
    for (Row& r : rows) {
        SCOPED_TRACE(r.name);
        Harness h;
        Mp4vDecoder* d = h.Init(r.config, r.shortHdr, r.w, r.h, r.buffers);
        EXPECT_EQ(d != nullptr, r.ok);
        EXPECT_EQ(g_log, r.log);
    }
    Harness h;
    ASSERT_TRUE(h.Init(Vol(VolOptions()), 1, 176, 144));
    EXPECT_EQ(h.kind, 0);
    EXPECT_EQ(h.result.width, 176u);
    EXPECT_EQ(h.result.height, 144u);
}

TEST(VideoDecoderApi, ParseConfig) {
    Mp4vDecStreamInfo info = {};
    Mp4vDecInitConfig c = {};
    c.streamInfo = &info;
    c.print = Capture;
    int32_t kind = -1;
    Mp4vDecInitResult r = {&kind, 0, 0};
    g_log.clear();
    EXPECT_EQ(Mp4vDecParseConfig(&c, &r), -1);
    EXPECT_EQ(g_log, "ERROR : Config data is NULL\n");
    std::vector<uint8_t> vol = Vol(VolOptions());
    info.configData = vol.data();
    info.configSize = uint32_t(vol.size());
    EXPECT_EQ(Mp4vDecParseConfig(&c, &r), 0);
    EXPECT_EQ(kind, 0);
    EXPECT_EQ(r.width, 176u);
    // H.263 PLUSPTYPE with a custom format: width code 87, height code 36.
    BitWriter w;
    w.Put(0x20, 22);
    w.Put(0, 8);  // TR
    w.Put(2, 5);  // PTYPE bits 1-5
    w.Put(7, 3);  // PLUSPTYPE
    w.Put(1, 3);  // UFEP
    w.Put(6, 3);  // custom format
    w.Put(0, 1);  // custom PCF
    w.Put(0, 1);  // UMV
    w.Put(0, 9);
    w.Put(8, 4);
    w.Put(0, 3);  // I picture
    w.Put(0, 2);
    w.Put(0, 1);  // RTYPE
    w.Put(1, 3);
    w.Put(0, 1);  // CPM
    w.Put(2, 4);  // PAR
    w.Put(87, 9);
    w.Put(1, 1);
    w.Put(36, 9);
    w.Put(5, 5);  // PQUANT
    w.Put(0, 1);  // PEI
    w.Put(0, 16);
    std::vector<uint8_t> pic = w.bytes();
    info.configData = pic.data();
    info.configSize = uint32_t(pic.size());
    EXPECT_EQ(Mp4vDecParseConfig(&c, &r), 0);
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(r.width, 352u);
    EXPECT_EQ(r.height, 144u);
}

TEST(VideoDecoderHeaders, UserDataMarks) {
    struct Row {
        const char* text;
        int packed, workaround, lavc;
    } rows[] = {{"DivX503b1393p", 1, 0, 0}, {"DivX501b413", 0, 1, 0}, {"XviD0012", 0, 1, 0},
                {"XviD0013", 0, 0, 0},      {"DivX", 0, 0, 0},        {"Lavc58.1.100", 0, 0, 1}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        BitWriter w;
        for (const char* p = r.text; *p; ++p) w.Put(uint8_t(*p), 8);
        w.Put(0x000001B6, 32);
        std::vector<uint8_t> b = w.bytes();
        VBits bits;
        VbStart(&bits, b.data(), uint32_t(b.size()));
        StreamHeader h = {};
        M4vParseUserData(&bits, &h);
        EXPECT_EQ(h.packed, r.packed);
        EXPECT_EQ(h.workaround, r.workaround);
        EXPECT_EQ(h.lavc, r.lavc);
    }
}

TEST(VideoDecoderHeaders, VolFields) {
    struct Row {
        const char* name;
        int res, bits;
    } rows[] = {{"resolution 1", 1, 1}, {"resolution 30", 30, 5}, {"resolution 30000", 30000, 15}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        VolOptions o;
        o.timeRes = r.res;
        std::vector<uint8_t> v = Vol(o);
        VBits b;
        VbStart(&b, v.data(), uint32_t(v.size()));
        StreamHeader h = {};
        ASSERT_EQ(M4vSearchVolHeaders(&b, &h, nullptr), 0);
        EXPECT_EQ(h.timeBits, r.bits);
        EXPECT_EQ(h.width, 176);
    }
    // MPEG quantisation with default matrices.
    VolOptions o;
    o.quantType = 1;
    std::vector<uint8_t> v = Vol(o);
    VBits b;
    VbStart(&b, v.data(), uint32_t(v.size()));
    StreamHeader h = {};
    ASSERT_EQ(M4vSearchVolHeaders(&b, &h, nullptr), 0);
    EXPECT_EQ(h.quantType, 1);
    EXPECT_EQ(h.intraMatrix[0], 8);
    EXPECT_EQ(h.interMatrix[63], 33);
}

TEST(VideoDecoderHeaders, VopResyncLength) {
    struct Row {
        const char* name;
        int type, fwd, bwd, len;
    } rows[] = {{"I", 0, 1, 1, 17},
                {"P fcode 3", 1, 3, 1, 19},
                {"B fcode 1/1", 2, 1, 1, 18},
                {"B fcode 2/4", 2, 2, 4, 20}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        BitWriter w;
        w.Put(uint32_t(r.type), 2);
        w.Put(0, 1);  // modulo_time_base
        w.Put(1, 1);
        w.Put(3, 5);  // increment (resolution 30)
        w.Put(1, 1);
        w.Put(1, 1);                   // coded
        if (r.type == 1) w.Put(1, 1);  // rounding
        w.Put(0, 3);                   // intra_dc_vlc_thr
        w.Put(7, 5);                   // quant
        if (r.type != 0) w.Put(uint32_t(r.fwd), 3);
        if (r.type == 2) w.Put(uint32_t(r.bwd), 3);
        w.Put(0xFFFF, 16);
        std::vector<uint8_t> d = w.bytes();
        VBits b;
        VbStart(&b, d.data(), uint32_t(d.size()));
        StreamHeader h = {};
        h.timeBits = 5;
        ASSERT_EQ(M4vParseVopHeader(&b, &h), 0);
        EXPECT_EQ(h.resyncLen, r.len);
        EXPECT_EQ(h.quant, 7);
        EXPECT_EQ(h.timeIncrement, 3);
        EXPECT_EQ(h.intraDcThr, 32);
    }
}

TEST(VideoDecoderHeaders, QuantMatrixRead) {
    struct Row {
        const char* name;
        std::vector<int> intra, inter;
        bool ok;
        const char* log;
    } rows[] = {
        {"three values then 0", {8, 20, 30, 0}, {}, true, ""},
        {"inter matrix starting with 0", {}, {0}, false, "ERROR : inter quant matrix\n"},
        {"intra DC not 8", {9, 0}, {}, false, "ERROR : intra quant matrix\n"},
        {"intra starting with 0", {0}, {}, false, "ERROR : intra quant matrix\n"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        VolOptions o;
        o.quantType = 1;
        o.intraMatrix = r.intra;
        o.interMatrix = r.inter;
        std::vector<uint8_t> v = Vol(o);
        VBits b;
        VbStart(&b, v.data(), uint32_t(v.size()));
        StreamHeader h = {};
        g_log.clear();
        EXPECT_EQ(M4vSearchVolHeaders(&b, &h, Capture), r.ok ? 0 : -1);
        EXPECT_EQ(g_log, r.log);
        if (r.ok && !r.intra.empty()) {
            EXPECT_EQ(h.intraMatrix[0], 8);
            EXPECT_EQ(h.intraMatrix[1], 20);  // zigzag position 1
            EXPECT_EQ(h.intraMatrix[8], 30);  // zigzag position 2
            for (int i = 3; i < 64; ++i) EXPECT_EQ(h.intraMatrix[kScanZigzag[i]], 30) << i;
            EXPECT_EQ(h.interMatrix[63], 33);  // default kept
        }
    }
}

TEST(VideoDecoderFrames, TimeDeltasAndReorder) {
    // resolution 30, increments 0, 1, 2 in the same second; not-coded VOPs.
    Harness h;
    ASSERT_TRUE(h.Init(Vol(VolOptions()), 0, 176, 144, 3, 1));
    int expect[3] = {0, 3000, 3000};
    for (int i = 0; i < 3; ++i) {
        BitWriter w;
        WriteNotCodedVop(&w, i == 0 ? 0 : 1, 0, i, 5);
        auto r = h.Decode(w.bytes());
        EXPECT_EQ(r.first, i == 0 ? 0 : 1);
        EXPECT_EQ(r.second, expect[i]) << i;
    }
    // With reordering: I then P gives nothing, then I; end of stream gives P.
    Harness r;
    ASSERT_TRUE(r.Init(Vol(VolOptions()), 0, 176, 144, 3, 0));
    BitWriter a, b;
    WriteNotCodedVop(&a, 0, 0, 0, 5);
    WriteNotCodedVop(&b, 1, 1, 0, 5);
    EXPECT_EQ(r.Decode(a.bytes()).first, -1);
    auto second = r.Decode(b.bytes());
    EXPECT_EQ(second.first, 0);
    auto last = r.Decode({});
    EXPECT_EQ(last.first, 1);
    EXPECT_EQ(last.second, 90000);  // one second later
}

TEST(VideoDecoderFrames, IncompleteUnitWaits) {
    Harness h;
    ASSERT_TRUE(h.Init(Vol(VolOptions()), 0, 176, 144, 3, 1));
    BitWriter w;
    w.StartCode(0xB6);
    w.Put(0, 2);
    w.Put(0, 1);
    w.Put(1, 1);
    w.Put(0, 5);
    w.Put(1, 1);
    w.Put(1, 1);  // coded
    w.Put(0, 3);
    w.Put(4, 5);
    w.Put(1, 1);  // first MCBPC "1": intra, cbpc 0
    std::vector<uint8_t> d = w.bytes();
    uint32_t used = 0;
    auto r = h.Decode(d, &used, 0);
    EXPECT_EQ(r.first, -1);
    EXPECT_EQ(used, uint32_t(d.size()));
}

TEST(VideoDecoderFrames, TruncatedIntraPictureIsConcealed) {
    std::string path = std::string(DC_TESTDATA) + "/video/mpeg4_qcif_lowq.m4v";
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) GTEST_SKIP() << "run the conformance suite first (" << path << ")";
    std::vector<uint8_t> s(1 << 20);
    s.resize(fread(s.data(), 1, s.size(), f));
    fclose(f);
    // Split config and first VOP.
    size_t vop = 0, next = 0;
    for (size_t i = 0; i + 3 < s.size(); ++i)
        if (s[i] == 0 && s[i + 1] == 0 && s[i + 2] == 1 && s[i + 3] == 0xB6) {
            if (!vop)
                vop = i;
            else {
                next = i;
                break;
            }
        }
    ASSERT_GT(next, vop);
    Harness h;
    ASSERT_TRUE(h.Init(std::vector<uint8_t>(s.begin(), s.begin() + long(vop)), 0, 176, 144, 3, 1));
    std::vector<uint8_t> half(s.begin() + long(vop), s.begin() + long(vop + (next - vop) / 2));
    Mp4vDecOutput o;
    auto r = h.Decode(half, nullptr, 1, &o);
    EXPECT_EQ(r.first, 0);
    EXPECT_GT(o.decodedPercent, 20u);
    EXPECT_LT(o.decodedPercent, 80u);
    // The last rows repeat the line above the lost part.
    const uint8_t* last = o.y + 143 * o.stride;
    const uint8_t* above = o.y + 142 * o.stride;
    EXPECT_EQ(memcmp(last, above, 176), 0);
}

}  // namespace
