// Parametric stereo payload: what the writer puts down the parser reads
// back; headers persist, reserved modes skip the payload and keep the
// previous parameters; deltas, borders and the 34-to-20 mapping decode to
// the expected indices.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "prefix_code_check.h"
#include "codecs/aac/ps.h"

namespace {

const int kBands[3] = {10, 20, 34};

struct Payload {
    uint8_t data[512];
    int bits;
};

Payload Write(const PsBitstream& bs, int withHeader, int extBytes = 0) {
    Payload p;
    memset(p.data, 0, sizeof(p.data));
    SbrBitWriter bw;
    SbrBitWriterInit(&bw, p.data, sizeof(p.data));
    PsWriteData(&bw, &bs, withHeader, extBytes);
    EXPECT_EQ(bw.error, 0);
    p.bits = bw.pos;
    return p;
}

// Parses with `slack` bits of padding after the payload.
int Parse(PsBitstream* bs, const Payload& p, int slack = 0) {
    AacBitReader br;
    AacBitsInitBits(&br, p.data, 0, p.bits + slack);
    return PsParseData(bs, &br, p.bits + slack);
}

PsBitstream Header(int iidMode, int fine, int iccMode, int enableIid = 1, int enableIcc = 1) {
    PsBitstream bs;
    memset(&bs, 0, sizeof(bs));
    bs.enableIid = (uint8_t)enableIid;
    bs.enableIcc = (uint8_t)enableIcc;
    bs.iidMode = (uint8_t)iidMode;
    bs.iidFine = (uint8_t)fine;
    bs.iccMode = (uint8_t)iccMode;
    return bs;
}

// Fixed borders, one envelope, frequency-coded constant indices.
PsBitstream Constant(int iidMode, int fine, int iccMode, int iid, int icc) {
    PsBitstream bs = Header(iidMode, fine, iccMode);
    bs.numEnv = 1;
    for (int b = 0; b < kBands[iidMode]; b++) bs.iidDelta[0][b] = (int8_t)(b ? 0 : iid);
    for (int b = 0; b < kBands[iccMode]; b++) bs.iccDelta[0][b] = (int8_t)(b ? 0 : icc);
    return bs;
}

TEST(PsHuffman, EveryCodeDecodesToItsValue) {
    for (int t = 0; t < 6; t++) {
        const PsHuffTable& h = kPsHuff[t];
        for (int s = 0; s < h.count; s++) {
            uint8_t buf[8] = {0};
            SbrBitWriter bw;
            SbrBitWriterInit(&bw, buf, sizeof(buf));
            SbrWriteBits(&bw, h.code[s], h.len[s]);
            AacBitReader br;
            AacBitsInitBits(&br, buf, 0, h.len[s]);
            EXPECT_EQ(AacHuffmanTreeDecode(h.tree, &br), s - h.lav)
                << "table " << t << " symbol " << s;
            EXPECT_EQ(br.bitsRead, h.len[s]);
            EXPECT_GE(br.bitsLeft, 0);
        }
        // The value 0 is a one-bit code: 0, but 1 in the fine IID tables.
        const bool fine = t == kPsHuffIidFineF || t == kPsHuffIidFineT;
        EXPECT_EQ(h.len[h.lav], 1);
        EXPECT_EQ(h.code[h.lav], fine ? 1u : 0u);
    }
}

TEST(PsHuffman, CompletePrefixCodes) {
    static const int kLav[6] = {14, 14, 30, 30, 7, 7};
    for (int t = 0; t < 6; t++) {
        const PsHuffTable& h = kPsHuff[t];
        SCOPED_TRACE("table " + std::to_string(t));
        ASSERT_EQ(h.lav, kLav[t]);
        ASSERT_EQ(h.count, 2 * h.lav + 1);
        ExpectCompletePrefixCode(h.code, h.len, h.count);
    }
}

TEST(PsHuffman, TruncatedDataEndsInALeaf) {
    uint8_t ones[4] = {0xff, 0xff, 0xff, 0xff};
    for (int t = 0; t < 6; t++) {
        AacBitReader br;
        AacBitsInitBits(&br, ones, 0, 3);
        int v = AacHuffmanTreeDecode(kPsHuff[t].tree, &br);
        EXPECT_LE(v, kPsHuff[t].lav);
        EXPECT_GE(v, -kPsHuff[t].lav);
    }
}

TEST(PsParse, RandomPayloadsReadBackAsWritten) {
    std::mt19937 rng(7);
    for (int iter = 0; iter < 400; iter++) {
        PsBitstream w = Header((int)(rng() % 3), (int)(rng() % 2), (int)(rng() % 3),
                               (int)(rng() % 2), (int)(rng() % 2));
        w.enableExt = (uint8_t)(rng() % 2);
        const int extBytes = w.enableExt ? (int)(rng() % 20) : 0;
        w.frameClass = (uint8_t)(rng() % 2);
        if (w.frameClass) {
            w.numEnv = (uint8_t)(1 + rng() % 4);
            for (int e = 1; e <= w.numEnv; e++) w.border[e] = (uint8_t)(1 + rng() % 32);
        } else {
            const int n[4] = {0, 1, 2, 4};
            w.numEnv = (uint8_t)n[rng() % 4];
        }
        const int iidLav = w.iidFine ? 30 : 14;
        for (int e = 0; e < w.numEnv; e++) {
            w.iidDt[e] = (uint8_t)(rng() % 2);
            w.iccDt[e] = (uint8_t)(rng() % 2);
            for (int b = 0; b < 34; b++) {
                w.iidDelta[e][b] = (int8_t)((int)(rng() % (2 * iidLav + 1)) - iidLav);
                w.iccDelta[e][b] = (int8_t)((int)(rng() % 15) - 7);
            }
        }
        Payload p = Write(w, 1, extBytes);
        PsBitstream r;
        memset(&r, 0, sizeof(r));
        const int slack = (int)(rng() % 8);
        ASSERT_EQ(Parse(&r, p, slack), p.bits) << iter;
        ASSERT_EQ(r.dataValid, 1) << iter;
        EXPECT_EQ(r.enableIid, w.enableIid);
        EXPECT_EQ(r.enableIcc, w.enableIcc);
        EXPECT_EQ(r.frameClass, w.frameClass);
        ASSERT_EQ(r.numEnv, w.numEnv);
        if (w.enableIid) {
            EXPECT_EQ(r.iidMode, w.iidMode);
            EXPECT_EQ(r.iidFine, w.iidFine);
        }
        if (w.enableIcc) {
            EXPECT_EQ(r.iccMode, w.iccMode);
        }
        for (int e = 0; e < w.numEnv; e++) {
            if (w.frameClass) {
                EXPECT_EQ(r.border[e + 1], w.border[e + 1]);
            }
            if (w.enableIid) {
                EXPECT_EQ(r.iidDt[e], w.iidDt[e]);
                EXPECT_EQ(0, memcmp(r.iidDelta[e], w.iidDelta[e], (size_t)kBands[w.iidMode]))
                    << iter;
            }
            if (w.enableIcc) {
                EXPECT_EQ(r.iccDt[e], w.iccDt[e]);
                EXPECT_EQ(0, memcmp(r.iccDelta[e], w.iccDelta[e], (size_t)kBands[w.iccMode]))
                    << iter;
            }
        }
    }
}

TEST(PsParse, FrameWithoutHeaderKeepsTheLastHeader) {
    PsBitstream st;
    memset(&st, 0, sizeof(st));
    PsParams p;
    Payload first = Write(Constant(2, 1, 0, 9, 3), 1);
    ASSERT_EQ(Parse(&st, first), first.bits);
    PsDecodeParameters(&st, &p);
    EXPECT_EQ(p.iid[0][19], 9);  // fine: 9 is in range
    // Same frame data, no header: 34 IID bands with fine steps and 10 ICC
    // bands must still be read.
    Payload second = Write(Constant(2, 1, 0, -12, 5), 0);
    ASSERT_EQ(Parse(&st, second), second.bits);
    ASSERT_EQ(st.dataValid, 1);
    EXPECT_EQ(st.iidMode, 2);
    EXPECT_EQ(st.iidFine, 1);
    EXPECT_EQ(st.iccMode, 0);
    PsDecodeParameters(&st, &p);
    EXPECT_EQ(p.iid[0][0], -12);
    EXPECT_EQ(p.icc[0][19], 5);
}

TEST(PsParse, PayloadBeforeAnyHeaderIsSkipped) {
    PsBitstream st;
    memset(&st, 0, sizeof(st));
    Payload p = Write(Constant(1, 0, 1, 3, 2), 0);
    EXPECT_EQ(Parse(&st, p, 5), p.bits + 5);
    EXPECT_EQ(st.dataValid, 0);
}

TEST(PsParse, ReservedModeSkipsThePayloadAndKeepsTheParameters) {
    struct Case {
        const char* name;
        int iidMode, iccMode;  // transmitted
    } cases[] = {
        {"iid mode 7", 7, 1}, {"iid mode 6", 6, 1}, {"icc mode 6", 1, 6}, {"icc mode 7", 1, 7}};
    for (const Case& c : cases) {
        PsBitstream st;
        memset(&st, 0, sizeof(st));
        PsParams p;
        Payload good = Write(Constant(1, 0, 1, 4, 6), 1);
        ASSERT_EQ(Parse(&st, good), good.bits);
        PsDecodeParameters(&st, &p);
        ASSERT_EQ(p.iid[0][5], 4);
        // A header with a reserved mode, followed by data that would change
        // the parameters if they were read.
        uint8_t buf[64] = {0};
        SbrBitWriter bw;
        SbrBitWriterInit(&bw, buf, sizeof(buf));
        SbrWriteBits(&bw, 1, 1);
        SbrWriteBits(&bw, 1, 1);
        SbrWriteBits(&bw, (uint32_t)c.iidMode, 3);
        SbrWriteBits(&bw, 1, 1);
        SbrWriteBits(&bw, (uint32_t)c.iccMode, 3);
        SbrWriteBits(&bw, 0, 1);
        for (int i = 0; i < 40; i++) SbrWriteBits(&bw, 0x6b, 8);
        AacBitReader br;
        AacBitsInitBits(&br, buf, 0, bw.pos);
        EXPECT_EQ(PsParseData(&st, &br, bw.pos), bw.pos) << c.name;
        EXPECT_EQ(st.dataValid, 0) << c.name;
        PsDecodeParameters(&st, &p);
        EXPECT_EQ(p.numEnv, 1) << c.name;
        EXPECT_EQ(p.border[1], 32) << c.name;
        for (int b = 0; b < 20; b++) {
            EXPECT_EQ(p.iid[0][b], 4) << c.name;
            EXPECT_EQ(p.icc[0][b], 6) << c.name;
        }
    }
}

TEST(PsParse, OverrunIsNotValidData) {
    PsBitstream st;
    memset(&st, 0, sizeof(st));
    Payload p = Write(Constant(2, 1, 2, 20, 7), 1);
    AacBitReader br;
    AacBitsInitBits(&br, p.data, 0, p.bits - 9);
    PsParseData(&st, &br, p.bits - 9);
    EXPECT_EQ(st.dataValid, 0);
}

TEST(PsDecode, Borders) {
    struct Case {
        const char* name;
        int frameClass, numEnv;
        uint8_t sent[4];
        int wantEnv;
        uint8_t want[6];
    } cases[] = {
        {"fixed, none (previous parameters)", 0, 0, {0}, 1, {0, 32}},
        {"fixed, 1", 0, 1, {0}, 1, {0, 32}},
        {"fixed, 2", 0, 2, {0}, 2, {0, 16, 32}},
        {"fixed, 4", 0, 4, {0}, 4, {0, 8, 16, 24, 32}},
        {"variable, ends at 32", 1, 2, {12, 32}, 2, {0, 12, 32}},
        {"variable, repeated border", 1, 2, {10, 10}, 3, {0, 10, 11, 32}},
        {"variable, falling borders", 1, 3, {20, 5, 6}, 4, {0, 20, 21, 22, 32}},
        {"variable, crowded end", 1, 4, {31, 32, 32, 32}, 4, {0, 29, 30, 31, 32}},
        {"variable, single early", 1, 1, {1}, 2, {0, 1, 32}},
    };
    for (const Case& c : cases) {
        PsBitstream w = Header(1, 0, 1);
        w.frameClass = (uint8_t)c.frameClass;
        w.numEnv = (uint8_t)c.numEnv;
        for (int e = 0; e < c.numEnv; e++) {
            if (c.frameClass) w.border[e + 1] = c.sent[e];
            w.iidDelta[e][0] = (int8_t)(e + 1);
        }
        PsBitstream st;
        memset(&st, 0, sizeof(st));
        Payload p = Write(w, 1);
        ASSERT_EQ(Parse(&st, p), p.bits) << c.name;
        PsParams out;
        PsDecodeParameters(&st, &out);
        ASSERT_EQ(out.numEnv, c.wantEnv) << c.name;
        for (int e = 0; e <= c.wantEnv; e++)
            EXPECT_EQ(out.border[e], c.want[e]) << c.name << " border " << e;
        // An appended envelope repeats the last one's parameters.
        if (c.wantEnv > c.numEnv && c.numEnv > 0) {
            EXPECT_EQ(out.iid[c.wantEnv - 1][0], out.iid[c.numEnv - 1][0]) << c.name;
        }
    }
}

TEST(PsDecode, DeltasAcrossBandsEnvelopesAndFrames) {
    PsBitstream st;
    memset(&st, 0, sizeof(st));
    PsParams out;
    // Frame 1: 20 IID bands frequency-coded as a ramp that runs past the
    // coarse limit (clamped at 7), 10 ICC bands coded over time against
    // zeros; second envelope time-coded on the first.
    PsBitstream w = Header(1, 0, 0);
    w.numEnv = 2;
    for (int b = 0; b < 20; b++) w.iidDelta[0][b] = 1;
    w.iidDt[1] = 1;
    for (int b = 0; b < 20; b++) w.iidDelta[1][b] = (int8_t)(b < 10 ? -1 : 0);
    w.iccDt[0] = 1;
    for (int b = 0; b < 10; b++) w.iccDelta[0][b] = (int8_t)(b % 8);
    w.iccDt[1] = 0;
    for (int b = 0; b < 10; b++) w.iccDelta[1][b] = (int8_t)(b ? 1 : 3);
    Payload p = Write(w, 1);
    ASSERT_EQ(Parse(&st, p), p.bits);
    PsDecodeParameters(&st, &out);
    ASSERT_EQ(out.numEnv, 2);
    for (int b = 0; b < 20; b++) {
        const int ramp = b + 1 > 7 ? 7 : b + 1;
        EXPECT_EQ(out.iid[0][b], ramp) << b;
        EXPECT_EQ(out.iid[1][b], b < 10 ? ramp - 1 : ramp) << b;
        EXPECT_EQ(out.icc[0][b], (b / 2) % 8) << b;  // 10 bands spread to 20
        EXPECT_EQ(out.icc[1][b], 3 + b / 2 > 7 ? 7 : 3 + b / 2) << b;
    }
    // Frame 2: time-coded against the previous frame's last envelope; the
    // 10-band ICC compares with every second previous value.
    PsBitstream w2 = Header(1, 0, 0);
    w2.numEnv = 1;
    w2.iidDt[0] = 1;
    w2.iccDt[0] = 1;
    for (int b = 0; b < 20; b++) w2.iidDelta[0][b] = -14;
    for (int b = 0; b < 10; b++) w2.iccDelta[0][b] = -1;
    p = Write(w2, 0);
    ASSERT_EQ(Parse(&st, p), p.bits);
    PsDecodeParameters(&st, &out);
    for (int b = 0; b < 20; b++) {
        EXPECT_EQ(out.iid[0][b], -7) << b;  // clamped
        const int prevIcc = 3 + (b / 2) * 1 > 7 ? 7 : 3 + (b / 2);
        EXPECT_EQ(out.icc[0][b], prevIcc - 1) << b;
    }
}

TEST(PsDecode, FineRangeAndDisabledParameters) {
    PsBitstream st;
    memset(&st, 0, sizeof(st));
    PsParams out;
    PsBitstream w = Header(1, 1, 1, 1, 0);
    w.numEnv = 1;
    w.iidDelta[0][0] = 30;
    w.iidDelta[0][1] = -22;
    Payload p = Write(w, 1);
    ASSERT_EQ(Parse(&st, p), p.bits);
    PsDecodeParameters(&st, &out);
    EXPECT_EQ(out.iidFine, 1);
    EXPECT_EQ(out.iid[0][0], 15);
    EXPECT_EQ(out.iid[0][1], -7);
    for (int b = 0; b < 20; b++) EXPECT_EQ(out.icc[0][b], 0);
}

TEST(PsDecode, Third) {
    struct Case {
        int y, want;
    } cases[] = {{8, 2},   {-8, -2}, {3, 1},     {0, 0}, {9, 3},
                 {44, 14}, {45, 15}, {-45, -15}, {2, 0}, {7, 2}};
    for (const Case& c : cases) EXPECT_EQ(PsThird(c.y), c.want) << c.y;
}

TEST(PsDecode, Map34To20) {
    int8_t v[34];
    for (int i = 0; i < 34; i++) v[i] = 0;
    v[0] = 2;  // with v[1] = 4: (2 x 2 + 4) / 3 = 2
    v[1] = 4;
    v[28] = 1;  // the four-value mean: (1 + 2 + 0 + 1) / 4 = 1
    v[29] = 2;
    v[30] = 0;
    v[31] = 1;
    v[6] = -3;  // (-3 + 0) / 2 = -1, truncated toward zero
    v[10] = 5;
    v[33] = 7;
    PsMap34To20(v);
    EXPECT_EQ(v[0], 2);
    EXPECT_EQ(v[1], PsThird(4 + 0));
    EXPECT_EQ(v[4], -1);
    EXPECT_EQ(v[6], 5);
    EXPECT_EQ(v[18], 1);
    EXPECT_EQ(v[19], 3);
    // A 34-band payload arrives mapped.
    PsBitstream st;
    memset(&st, 0, sizeof(st));
    PsBitstream w = Header(2, 0, 2);
    w.numEnv = 1;
    for (int b = 0; b < 34; b++) {
        w.iidDelta[0][b] = (int8_t)(b == 28 ? 1 : b == 29 ? 1 : b == 30 ? -2 : b == 31 ? 1 : 0);
        w.iccDelta[0][b] = (int8_t)(b == 0 ? 6 : 0);
    }
    Payload p = Write(w, 1);
    ASSERT_EQ(Parse(&st, p), p.bits);
    PsParams out;
    PsDecodeParameters(&st, &out);
    EXPECT_EQ(out.iid[0][18], 1);  // values 1, 2, 0, 1
    EXPECT_EQ(out.iid[0][17], 0);
    EXPECT_EQ(out.icc[0][0], 6);
    EXPECT_EQ(out.icc[0][19], 6);
    // The previous values keep the native 34 bands for time coding.
    EXPECT_EQ(st.prevIid[29], 2);
}

}  // namespace
