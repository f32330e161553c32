// Tables, inverse DCT, motion compensation, post-filter and small texture
// rules of the video decoder.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "bitwriter.h"
#include "codecs/video/m4v_internal.h"
#include "codecs/video/m4v_tables.h"

namespace {

uint32_t SummaryOf(const int16_t* b) {
    uint32_t s = 0;
    for (int i = 0; i < 64; ++i)
        if (b[i]) s |= kCoefClass.v[i];
    return s;
}

TEST(VideoTables, ScansArePermutations) {
    for (const uint8_t* scan : {kScanZigzag, kScanAltHoriz, kScanAltVert}) {
        std::vector<int> seen(64, 0);
        for (int i = 0; i < 64; ++i) seen[scan[i]]++;
        for (int i = 0; i < 64; ++i) EXPECT_EQ(seen[i], 1) << i;
    }
}

// Every 12-bit prefix either decodes or is one of the few invalid codes the
// standard leaves free; the code set is complete apart from those.
TEST(VideoTables, TcoefTablesCoverTheCodeSpace) {
    for (const VTab32<4096>* t : {&kTcoefInter, &kTcoefIntra}) {
        int invalid = 0, escapes = 0;
        for (int i = 0; i < 4096; ++i) {
            if (!t->v[i])
                ++invalid;
            else if ((t->v[i] & 63) == TCOEF_ESCAPE)
                ++escapes;
        }
        EXPECT_EQ(escapes, 32);  // 7-bit escape code
        EXPECT_EQ(invalid, 8);   // only the 9-bit prefix 0000 0000 0 is free
    }
    // LMAX of the standard, spot values.
    EXPECT_EQ(kLmaxInter.v[0], 12);
    EXPECT_EQ(kLmaxInter.v[1], 6);
    EXPECT_EQ(kLmaxInter.v[64 + 0], 3);
    EXPECT_EQ(kLmaxIntra.v[0], 27);
    EXPECT_EQ(kLmaxIntra.v[1], 10);
    EXPECT_EQ(kLmaxIntra.v[64 + 0], 8);
    EXPECT_EQ(kRmaxInter.v[1], 26);
    EXPECT_EQ(kRmaxIntra.v[64 + 1], 20);
}

TEST(VideoTables, Reciprocals) {
    for (int k = 8; k <= 46; ++k) EXPECT_EQ(kR18[k], (1u << 18) / uint32_t(k) + 1) << k;
    for (int q = 1; q <= 32; ++q) EXPECT_EQ(kR16[q], 65536u / uint32_t(q) + 1) << q;
}

TEST(VideoIdct, DcOnlyPutAndAdd) {
    struct Row {
        const char* name;
        int dc, pred, expect;
    } rows[] = {{"put DC 100", 100, -1, 13},
                {"add DC 100 to 250", 100, 250, 255},
                {"put DC -2048", -2048, -1, 0},
                {"add DC -8 to 10", -8, 10, 9}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        int16_t blk[64] = {};
        blk[0] = int16_t(r.dc);
        uint8_t out[64], pred[64];
        memset(pred, r.pred < 0 ? 0 : r.pred, 64);
        if (r.pred < 0)
            M4vIdctPut(out, blk, 8, 0);
        else
            M4vIdctAdd(out, pred, blk, 8, 8, 0);
        for (int i = 0; i < 64; ++i) EXPECT_EQ(out[i], r.expect) << i;
    }
}

// The reduced forms chosen by the summary give exactly the full transform.
TEST(VideoIdct, ReducedFormsMatchFullTransform) {
    srand(7);
    for (int iter = 0; iter < 4000; ++iter) {
        int16_t blk[64] = {}, ref[64];
        int n = 1 + rand() % 6;
        int maxr = 1 + rand() % 8, maxc = 1 + rand() % 8;
        for (int k = 0; k < n; ++k) {
            int r = rand() % maxr, c = rand() % maxc;
            blk[r * 8 + c] = int16_t((rand() % 4096) - 2048);
        }
        if (iter == 0) {
            memset(blk, 0, sizeof blk);
            blk[1] = 8;  // only coefficient (0,1)
        }
        memcpy(ref, blk, sizeof blk);
        uint8_t a[64], b[64];
        M4vIdctPut(a, blk, 8, SummaryOf(blk));
        M4vIdctPutRef(b, ref, 8);
        ASSERT_EQ(memcmp(a, b, 64), 0) << "iteration " << iter;
    }
}

struct McFixture {
    Mp4vDecoder d = {};
    std::vector<uint8_t> scratch = std::vector<uint8_t>(24 * 24);
    McFixture(int rounding) {
        d.scratch = scratch.data();
        M4vMcSetKernels(&d, rounding);
    }
};

TEST(VideoMc, HalfPelRounding) {
    struct Row {
        const char* name;
        int rounding, expect;
    } rows[] = {{"rounding 0", 0, 2}, {"rounding 1", 1, 1}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        McFixture f(r.rounding);
        uint8_t ref[32 * 32];
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) ref[y * 32 + x] = uint8_t(1 + (x & 1));
        uint8_t dst[8 * 8];
        M4vMcBlock(&f.d, dst, 8, ref, 32, 32, 32, 8, 8, 1, 0, 8);
        EXPECT_EQ(dst[0], r.expect);
    }
}

TEST(VideoMc, VectorFarOutsideReplicatesTheEdge) {
    McFixture f(0);
    uint8_t ref[32 * 32];
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) ref[y * 32 + x] = uint8_t(y * 7 + x);
    uint8_t dst[16 * 16];
    M4vMcBlock(&f.d, dst, 16, ref, 32, 32, 32, 0, 8, -80, 0, 16);  // 40 pixels left
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) EXPECT_EQ(dst[y * 16 + x], ref[(8 + y) * 32]) << x << "," << y;
}

TEST(VideoMc, ChromaVectors) {
    EXPECT_EQ(M4vChromaVector1(1), 1);
    EXPECT_EQ(M4vChromaVector1(3), 1);
    EXPECT_EQ(M4vChromaVector1(4), 2);
    EXPECT_EQ(M4vChromaVector1(-1), -1);
    EXPECT_EQ(M4vChromaVector1(-3), -1);
    // Four vectors: sum 3 -> 1 (3/8 rounds to a half), sum -3 -> -1, sum 16 -> 2.
    EXPECT_EQ(M4vChromaVector4(3), 1);
    EXPECT_EQ(M4vChromaVector4(-3), -1);
    EXPECT_EQ(M4vChromaVector4(16), 2);
    EXPECT_EQ(M4vChromaVector4(2), 0);
}

TEST(VideoMv, DifferenceAndWrap) {
    EXPECT_EQ(M4vWrapMv(30 + 5, 1), -29);
    EXPECT_EQ(M4vWrapMv(-33, 1), 31);
    EXPECT_EQ(M4vWrapMv(64, 2), -64);
    EXPECT_EQ(M4vWrapMv(63, 2), 63);
    // fcode 2: code 3 with residual 1 -> ((3 - 1) << 1) + 1 + 1 = 6.
    BitWriter w;
    w.Put(1, 4);  // "0001": code 3
    w.Put(0, 1);  // sign +
    w.Put(1, 1);  // residual
    w.Put(0xFFFF, 16);
    std::vector<uint8_t> b = w.bytes();
    VBits bits;
    VbStart(&bits, b.data(), uint32_t(b.size()));
    int v = 0;
    ASSERT_EQ(M4vDecodeMvd(&bits, 2, &v), 0);
    EXPECT_EQ(v, 6);
}

TEST(VideoPostFilter, EdgeStrengths) {
    struct Row {
        const char* name;
        uint8_t in[6];  // b3 b2 b1 | a1 a2 a3
        int qp;
        uint8_t out[6];
    } rows[] = {
        {"flat: strong", {100, 100, 100, 104, 104, 104}, 10, {100, 101, 102, 102, 103, 104}},
        {"busy: weak", {50, 80, 100, 110, 70, 60}, 10, {50, 80, 102, 108, 70, 60}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        uint8_t p[6];
        memcpy(p, r.in, 6);
        M4vDeblockEdge(p + 3, 1, r.qp);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(p[i], r.out[i]) << i;
    }
}

// The reader against a bit-by-bit model on data of every length around the
// whole-word loads (4 and 8 bytes), through the end and past it, where it
// reads zeros and counts the unread bits below zero.
TEST(VideoBits, ReadsMatchABitByBitModel) {
    struct Row {
        const char* name;
        int size;
    } rows[] = {{"empty", 0},      {"1 byte", 1},     {"3 bytes", 3},    {"4 bytes", 4},
                {"5 bytes", 5},    {"7 bytes", 7},    {"8 bytes", 8},    {"9 bytes", 9},
                {"15 bytes", 15},  {"16 bytes", 16},  {"17 bytes", 17},  {"33 bytes", 33},
                {"100 bytes", 100}};
    srand(11);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        for (int trial = 0; trial < 40; ++trial) {
            std::vector<uint8_t> data(size_t(r.size) + 1);
            for (uint8_t& c : data) c = uint8_t(rand());
            VBits b;
            VbStart(&b, data.data(), uint32_t(r.size));
            int64_t at = 0;  // model position in bits
            auto model = [&](int n) {
                uint32_t v = 0;
                for (int k = 0; k < n; ++k, ++at) {
                    int bit = at < 8 * r.size ? (data[size_t(at >> 3)] >> (7 - (at & 7))) & 1 : 0;
                    v = v << 1 | uint32_t(bit);
                }
                return v;
            };
            for (int step = 0; step < 60; ++step) {
                int op = rand() % 5;
                if (op == 0) {
                    int n = rand() % 33;
                    ASSERT_EQ(VbGet(&b, n), model(n)) << "get " << n << " at " << at;
                } else if (op == 1) {
                    int n = 1 + rand() % 25;
                    int64_t keep = at;
                    ASSERT_EQ(VbShow(&b, n), model(n)) << "show " << n;
                    at = keep;
                } else if (op == 2) {
                    int n = rand() % 41;
                    VbSkip(&b, n);
                    model(n);
                } else if (op == 3) {
                    ASSERT_EQ(VbGet1(&b), model(1));
                } else {
                    VbAlign(&b);
                    if (at & 7) model(int(8 - (at & 7)));
                }
                ASSERT_EQ(VbBitPos(&b), at);
                ASSERT_EQ(VbUnread(&b), 8 * r.size - at);
            }
        }
    }
}

// Inverse quantisation of inter coefficients, short codes and escapes,
// up to the limits: at most 2047 up and 2048 down.
TEST(VideoTexture, InterLevelsDequantisedAndClamped) {
    struct Event {
        int escape;  // 0: the short code of level 1 (run 0), else fixed-length
        int level;
    };
    struct Row {
        const char* name;
        int qp, mpegQuant;
        Event ev[2];
        int out[2];  // coefficients 0 and 1 of block 0
    } rows[] = {
        {"short codes, H.263", 10, 0, {{0, 1}, {0, -1}}, {29, -29}},
        {"escapes, H.263", 7, 0, {{1, 100}, {1, -3}}, {1407, -49}},
        {"escapes past the limits, H.263", 31, 0, {{1, 2000}, {1, -2000}}, {2047, -2048}},
        {"escapes, matrix", 4, 1, {{1, 9}, {1, -9}}, {76, -76}},
        {"escapes past the limits, matrix", 31, 1, {{1, 2047}, {1, -2047}}, {2047, -2048}},
        {"short codes, matrix", 3, 1, {{0, 1}, {0, -1}}, {9, -9}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        BitWriter w;
        for (int k = 0; k < 2; ++k) {
            const Event& e = r.ev[k];
            if (!e.escape) {
                // "10" is run 0 level 1, "0111" the same with last set.
                if (k == 0)
                    w.Put(2, 2);
                else
                    w.Put(7, 4);
                w.Put(e.level < 0 ? 1 : 0, 1);
                continue;
            }
            w.Put(3, 7);  // escape
            w.Put(3, 2);  // fixed length
            w.Put(uint32_t(k), 1);
            w.Put(0, 6);  // run
            w.Put(1, 1);
            w.Put(uint32_t(e.level) & 0xFFF, 12);
            w.Put(1, 1);
        }
        w.Put(0xFFFFFF, 24);
        std::vector<uint8_t> bytes = w.bytes();
        StreamHeader h = {};
        memset(h.interMatrix, 16, sizeof h.interMatrix);
        std::vector<int16_t> blocks(6 * 64, 0x5555);
        Mp4vDecoder d = {};
        d.hdr = &h;
        d.blocks = blocks.data();
        VbStart(&d.bs, bytes.data(), uint32_t(bytes.size()));
        int rc = r.mpegQuant ? M4vInterBlockMpegQuant(&d, r.qp, 32)
                             : M4vInterBlockH263Quant(&d, r.qp, 32);
        ASSERT_EQ(rc, 0);
        EXPECT_EQ(blocks[0], r.out[0]);
        EXPECT_EQ(blocks[1], r.out[1]);
        for (int i = 2; i < 64; ++i) ASSERT_EQ(blocks[size_t(i)], 0) << i;
        EXPECT_EQ(d.summary[0], SummaryOf(blocks.data()));
        EXPECT_EQ(blocks[64], 0x5555);  // blocks without coefficients untouched
        int used = (r.ev[0].escape ? 30 : 3) + (r.ev[1].escape ? 30 : 5);
        EXPECT_EQ(VbBitPos(&d.bs), used);
    }
}

}  // namespace

#if M4V_HAVE_SSE2_KERNELS
// The SSE2 transform against the plain one on random blocks of every shape:
// bit-exact, also for coefficients far outside what a stream can carry.
TEST(VideoKernelsSse2, IdctMatchesPlain) {
    if (!M4vHaveSse2()) GTEST_SKIP() << "no SSE2";
    struct Case {
        const char* name;
        int density;  // percent of nonzero coefficients
        int range;    // coefficients in -range..range-1
        int rows;     // nonzero only in the first rows
    };
    const Case kCases[] = {
        {"dc_only", 100, 2048, 1},  {"first_rows", 60, 256, 3},   {"sparse", 8, 2048, 8},
        {"dense_small", 90, 64, 8}, {"dense_full", 100, 2048, 8}, {"huge", 100, 32768, 8},
    };
    uint32_t seed = 12345;
    auto rnd = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        for (int iter = 0; iter < 2000; ++iter) {
            int16_t blk[64] = {};
            for (int i = 0; i < 8 * c.rows; ++i)
                if (int(rnd() % 100) < c.density)
                    blk[i] = int16_t(int(rnd() % uint32_t(2 * c.range)) - c.range);
            if (c.rows == 1) std::fill(blk + 1, blk + 64, int16_t(0));
            uint32_t sum = SummaryOf(blk);
            uint8_t pred[8 * 16], a[8 * 16], b[8 * 16];
            for (uint8_t& p : pred) p = uint8_t(rnd());
            int16_t x[64], y[64];
            memcpy(x, blk, sizeof x);
            memcpy(y, blk, sizeof y);
            M4vIdctPutPlain(a, x, 16, sum);
            M4vIdctPutSse2(b, y, 16, sum);
            for (int r = 0; r < 8; ++r) ASSERT_EQ(memcmp(a + 16 * r, b + 16 * r, 8), 0) << iter;
            memcpy(x, blk, sizeof x);
            memcpy(y, blk, sizeof y);
            M4vIdctAddPlain(a, pred, x, 16, 16, sum);
            M4vIdctAddSse2(b, pred, y, 16, 16, sum);
            for (int r = 0; r < 8; ++r) ASSERT_EQ(memcmp(a + 16 * r, b + 16 * r, 8), 0) << iter;
        }
    }
}

// Every half-pel kernel (both roundings, 8 and 16 wide, four fractions) and
// the bidirectional average against their plain twins on random pictures.
TEST(VideoKernelsSse2, MotionCompensationMatchesPlain) {
    if (!M4vHaveSse2()) GTEST_SKIP() << "no SSE2";
    uint32_t seed = 777;
    auto rnd = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    const int kStride = 40;
    std::vector<uint8_t> src(kStride * 20);
    for (int iter = 0; iter < 300; ++iter) {
        for (uint8_t& v : src) v = uint8_t(iter % 3 == 0 ? 250 + rnd() % 6 : rnd());
        for (int r = 0; r < 2; ++r)
            for (int wide = 0; wide < 2; ++wide)
                for (int f = 0; f < 4; ++f) {
                    SCOPED_TRACE(testing::Message()
                                 << "rounding " << r << " wide " << wide << " frac " << f);
                    int w = wide ? 16 : 8, h = 1 + int(rnd() % 16), off = int(rnd() % 8);
                    uint8_t a[16 * 32] = {}, b[16 * 32] = {};
                    M4vMcKernelPlain(r, wide, f)(a, 32, &src[off], kStride, h);
                    M4vMcKernelSse2(r, wide, f)(b, 32, &src[off], kStride, h);
                    ASSERT_EQ(memcmp(a, b, sizeof a), 0) << iter << " " << w;
                }
        for (int w : {8, 16}) {
            uint8_t a[16 * 16], b[16 * 16];
            for (uint8_t& v : a) v = uint8_t(rnd());
            memcpy(b, a, sizeof a);
            M4vMcAveragePlain(a, 16, &src[3], kStride, w, 16);
            M4vMcAverageSse2(b, 16, &src[3], kStride, w, 16);
            ASSERT_EQ(memcmp(a, b, sizeof a), 0) << iter << " " << w;
        }
    }
}

// The vertical and horizontal quarter-pel passes (three offsets, both
// roundings, the three block shapes) against their plain twins.
TEST(VideoKernelsSse2, QuarterPelPassesMatchPlain) {
    if (!M4vHaveSse2()) GTEST_SKIP() << "no SSE2";
    typedef void (*Pass)(uint8_t*, int, const uint8_t*, int, int, int, int, int);
    struct PassCase {
        const char* name;
        Pass plain, sse2;
    };
    const PassCase passes[] = {
        {"columns", M4vQpelColsPlain, M4vQpelColsSse2},
        {"rows", M4vQpelRowsPlain, M4vQpelRowsSse2},
    };
    uint32_t seed = 99;
    auto rnd = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    const int shapes[3][2] = {{8, 8}, {16, 8}, {16, 16}};
    std::vector<uint8_t> src(24 * 17);
    for (const PassCase& p : passes)
        for (int iter = 0; iter < 300; ++iter) {
            for (uint8_t& v : src) v = uint8_t(iter % 4 == 0 ? (rnd() & 1) * 255 : rnd());
            for (const auto& sh : shapes)
                for (int f = 1; f <= 3; ++f)
                    for (int r = 0; r < 2; ++r) {
                        uint8_t a[16 * 16] = {}, b[16 * 16] = {};
                        p.plain(a, 16, src.data(), 24, sh[0], sh[1], f, r);
                        p.sse2(b, 16, src.data(), 24, sh[0], sh[1], f, r);
                        ASSERT_EQ(memcmp(a, b, sizeof a), 0)
                            << p.name << " " << iter << " " << sh[0] << "x" << sh[1] << " f " << f
                            << " r " << r;
                    }
        }
}

#if defined(__i386__) && defined(__GNUC__)
// Every SSE2 kernel once, checked against its plain twin.
static void RunEveryKernel(void* result) {
    int16_t x[64], y[64];
    uint8_t pred[16 * 16], src[40 * 24], a[16 * 32], b[16 * 32];
    for (int i = 0; i < 64; ++i) x[i] = y[i] = int16_t((i * 37) % 23 - 11);
    for (int i = 0; i < int(sizeof pred); ++i) pred[i] = uint8_t(i * 7);
    for (int i = 0; i < int(sizeof src); ++i) src[i] = uint8_t(i * 13 + 5);
    uint32_t differ = 0;  // one bit per kernel that gave something else
    memset(a, 0, sizeof a);
    memset(b, 0, sizeof b);
    M4vIdctPutPlain(a, x, 16, SummaryOf(x));
    M4vIdctPutSse2(b, y, 16, SummaryOf(y));
    if (memcmp(a, b, sizeof a)) differ |= 1;
    for (int i = 0; i < 64; ++i) x[i] = y[i] = int16_t((i * 29) % 17 - 8);
    M4vIdctAddPlain(a, pred, x, 16, 16, SummaryOf(x));
    M4vIdctAddSse2(b, pred, y, 16, 16, SummaryOf(y));
    if (memcmp(a, b, sizeof a)) differ |= 2;
    for (int r = 0; r < 2; ++r)
        for (int wide = 0; wide < 2; ++wide)
            for (int f = 0; f < 4; ++f) {
                M4vMcKernelPlain(r, wide, f)(a, 32, src, 40, 16);
                M4vMcKernelSse2(r, wide, f)(b, 32, src, 40, 16);
                if (memcmp(a, b, sizeof a)) differ |= 4;
            }
    M4vMcAveragePlain(a, 16, src, 40, 16, 16);
    M4vMcAverageSse2(b, 16, src, 40, 16, 16);
    if (memcmp(a, b, sizeof a)) differ |= 8;
    M4vQpelColsPlain(a, 16, src, 24, 16, 16, 2, 1);
    M4vQpelColsSse2(b, 16, src, 24, 16, 16, 2, 1);
    if (memcmp(a, b, sizeof a)) differ |= 16;
    M4vQpelRowsPlain(a, 16, src, 40, 16, 16, 1, 0);
    M4vQpelRowsSse2(b, 16, src, 40, 16, 16, 1, 0);
    if (memcmp(a, b, sizeof a)) differ |= 32;
    *static_cast<uint32_t*>(result) = differ;
}

// Calls fn(arg) with the stack pointer at each of the four 4-byte offsets
// from 16-byte alignment, as Windows may enter a thread or a callback on
// i686.
static void CallWithStackSkew(void (*fn)(void*), void* arg, uint32_t skew) {
    __asm__ volatile(
        "movl %[fn], %%eax\n\t"
        "movl %[arg], %%ecx\n\t"
        "movl %[skew], %%edx\n\t"
        "movl %%esp, %%esi\n\t"
        "andl $-16, %%esp\n\t"
        "subl %%edx, %%esp\n\t"
        "pushl %%ecx\n\t"
        "call *%%eax\n\t"
        "movl %%esi, %%esp\n\t"
        :
        : [fn] "m"(fn), [arg] "m"(arg), [skew] "m"(skew)
        : "eax", "ecx", "edx", "esi", "memory", "cc");
}

TEST(VideoKernelsSse2, RunOnAStackOfAnyAlignment) {
    if (!M4vHaveSse2()) GTEST_SKIP() << "no SSE2";
    for (uint32_t skew : {0u, 4u, 8u, 12u}) {
        uint32_t differ = ~0u;
        CallWithStackSkew(RunEveryKernel, &differ, skew);
        EXPECT_EQ(0u, differ) << "stack skew " << skew;
    }
}
#endif
#endif
