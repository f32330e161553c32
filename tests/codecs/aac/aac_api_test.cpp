// Decoder interface, bit reader and concealment.
#include <gtest/gtest.h>

#include "codecs/aac/aac_bits.h"
#include "codecs/aac/aac_internal.h"
#include "tests/codecs/aac/aac_test_util.h"
#include "tests/codecs/aac/aac_writer.h"

using namespace aactest;

namespace {

TEST(AacBits, Reads) {
    const uint8_t d[] = {0xFF, 0xF1, 0x00, 0xAB, 0x12, 0x34, 0x56, 0x78};
    AacBitReader r;
    AacBitsInitBytes(&r, d, 8);
    r.bitsLeft = 64;
    EXPECT_EQ(AacBitsRead(&r, 12), 0xFFFu);
    EXPECT_EQ(AacBitsRead(&r, 4), 1u);
    // odd start: the byte at the address comes first
    AacBitReader o;
    AacBitsInitBytes(&o, d + 3, 5);
    EXPECT_EQ(AacBitsRead(&o, 8), 0xABu);
    // rewind restores position and counts across a word boundary
    AacBitsInitBytes(&r, d, 8);
    r.bitsLeft = 64;
    AacBitsRead(&r, 10);
    AacBitReader before = r;
    AacBitsRead(&r, 12);
    AacBitsRewind(&r, 12);
    EXPECT_EQ(r.wordPtr, before.wordPtr);
    EXPECT_EQ(r.bitPos, before.bitPos);
    EXPECT_EQ(r.bitsLeft, before.bitsLeft);
    EXPECT_EQ(r.bitsRead, before.bitsRead);
    EXPECT_EQ(AacBitsRead(&r, 12), 0xC40u);  // bits 10..21 of FF F1 00 AB
}

TEST(AacBits, AlignSkipAndOverrun) {
    const uint8_t d[] = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
    struct Row {
        const char* name;
        int first;
        int skipped;
    } rows[] = {
        {"position 3", 3, 5}, {"position 12", 12, 4}, {"position 0", 0, 0}, {"position 8", 8, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AacBitReader r;
        AacBitsInitBytes(&r, d, 6);
        r.bitsLeft = 48;
        if (row.first) AacBitsRead(&r, row.first);
        int32_t left;
        EXPECT_EQ(AacBitsByteAlign(&r, &left), row.skipped);
        EXPECT_EQ(left, 48 - row.first - row.skipped);
    }
    AacBitReader r;
    AacBitsInitBytes(&r, d, 6);
    r.bitsLeft = 48;
    AacBitsSkip(&r, 40);
    EXPECT_EQ(r.bitsRead, 40);
    EXPECT_EQ(AacBitsRead(&r, 8), 0xBCu);
    AacBitsRead(&r, 16);  // past the end: zeros, bits left negative
    EXPECT_LT(r.bitsLeft, 0);
}

TEST(AacApi, ArgumentChecks) {
    aac::MemTable t[AAC_MEM_TABLE_COUNT];
    EXPECT_EQ(AacDecGetMemTableCount(), 5);
    EXPECT_EQ(AacDecGetMemTables(nullptr), AAC_E_POINTER);
    ASSERT_EQ(AacDecGetMemTables(t), 0);
    std::vector<std::vector<uint8_t>> blocks;
    for (auto& e : t) {
        EXPECT_EQ(e.alignment, 4u);
        blocks.emplace_back(e.size + 8);
        e.pointer = blocks.back().data();
    }
    AacDecConfig cfg;
    memset(&cfg, 0, sizeof(cfg));
    AacDecHandle* h = (AacDecHandle*)1;
    EXPECT_EQ(AacDecInit("3.1", &h, &cfg, t), AAC_E_INTERFACE);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(AacDecInit("3.2", nullptr, &cfg, t), AAC_E_POINTER);
    EXPECT_EQ(AacDecInit("3.2", &h, nullptr, t), AAC_E_POINTER);
    void* keep = t[2].pointer;
    t[2].pointer = (uint8_t*)keep + 1;
    EXPECT_EQ(AacDecInit("3.2", &h, &cfg, t), AAC_E_INVALIDARG);
    t[2].pointer = keep;
    cfg.sampleRate = 48000;
    ASSERT_EQ(AacDecInit("3.2", &h, &cfg, t), 0);

    std::vector<uint8_t> f = SilentFrame();
    std::vector<int16_t> pcm(4096);
    AacDecInput in = {(int32_t)f.size(), (int32_t)f.size(), f.data()};
    AacDecOutput out = {0, 8191, pcm.data()};
    EXPECT_EQ(AacDecDecodeFrame(nullptr, &cfg, &in, &out), AAC_E_HANDLE);
    EXPECT_EQ(AacDecDecodeFrame(h, &cfg, nullptr, &out), AAC_E_POINTER);
    EXPECT_EQ(AacDecDecodeFrame(h, &cfg, &in, nullptr), AAC_E_POINTER);
    EXPECT_EQ(AacDecDecodeFrame(h, &cfg, &in, &out), AAC_E_OUTBUF);
    out.capacity = 0;
    EXPECT_EQ(AacDecDecodeFrame(h, &cfg, &in, &out), AAC_E_INVALIDARG);
    out.capacity = 8192;
    AacDecInput bad = {10, 5, f.data()};
    EXPECT_EQ(AacDecDecodeFrame(h, &cfg, &bad, &out), AAC_E_INVALIDARG);
    // one frame of delay
    EXPECT_EQ(AacDecDecodeFrame(h, &cfg, &in, &out), 0);
    EXPECT_EQ(out.bytesProduced, 0);
    EXPECT_EQ(cfg.transport, 1);
    EXPECT_EQ(cfg.bytesUsed, (int32_t)f.size());
    EXPECT_EQ(AacDecDecodeFrame(h, &cfg, &in, &out), 0);
    EXPECT_EQ(out.bytesProduced, 2048);
    EXPECT_EQ(cfg.sampleRate, 48000);
    EXPECT_EQ(cfg.channels, 1);
    EXPECT_EQ(AacDecClose(h), 0);
    EXPECT_EQ(AacDecClose(h), AAC_E_NOTINIT);
    EXPECT_EQ(AacDecDecodeFrame(h, &cfg, &in, &out), AAC_E_NOTINIT);
}

// AacDecProbeFrame reads one access unit the way the frame call does, but
// always as a good frame and without PCM: it reports rate, channels,
// transport and the bytes used, returns a core fault with the bytes used
// set, and leaves the decoder as if it had not run (the first frame call
// after it still produces nothing: the output runs one frame behind).
TEST(AacApi, ProbeFrameContract) {
    const std::vector<uint8_t> silent = SilentFrame();
    std::vector<uint8_t> junkThenFrame(5, 0x11);
    junkThenFrame.insert(junkThenFrame.end(), silent.begin(), silent.end());
    const std::vector<uint8_t> coupling = Adts(Id(2) + std::string(40, '0') + End());
    const std::vector<uint8_t> junk(100, 0x55);
    struct Case {
        const char* name;
        const std::vector<uint8_t>* data;
        int32_t initRate;
        int32_t lostInput;  // config word 5: the probe ignores it
        int32_t result, rate, channels, bytesUsed;
    } cases[] = {
        {"silent mono", &silent, 48000, 0, 0, 48000, 1, (int32_t)silent.size()},
        {"marked lost", &silent, 48000, 1, 0, 48000, 1, (int32_t)silent.size()},
        {"rate unknown, junk first", &junkThenFrame, 0, 0, 0, 48000, 1,
         (int32_t)junkThenFrame.size()},
        {"coupling element", &coupling, 48000, 0, AAC_E_COUPLING, -1, -1, -1},
        {"rate unknown, no sync", &junk, 0, 0, AAC_E_NOSYNC, -1, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Decoder dec(c.initRate, 0, 1);  // one channel known: a bad first frame is concealed
        dec.cfg.frameLost = c.lostInput;
        dec.cfg.bytesUsed = -7;
        AacDecInput in = {(int32_t)c.data->size(), (int32_t)c.data->size(), c.data->data()};
        EXPECT_EQ(AacDecProbeFrame(dec.h, &dec.cfg, &in), c.result);
        if (c.rate > 0) {
            EXPECT_EQ(dec.cfg.sampleRate, c.rate);
        }
        if (c.channels > 0) {
            EXPECT_EQ(dec.cfg.channels, c.channels);
        }
        if (c.bytesUsed >= 0) {
            EXPECT_EQ(dec.cfg.bytesUsed, c.bytesUsed);
        } else {
            EXPECT_GT(dec.cfg.bytesUsed, 0);
        }
        if (c.result != 0) continue;
        EXPECT_EQ(dec.cfg.transport, 1);
        EXPECT_EQ(dec.cfg.sbrPresent, 0);
        EXPECT_EQ(dec.cfg.psPresent, 0);
        int32_t produced = -1;
        EXPECT_EQ(dec.Decode(silent.data(), (int32_t)silent.size(), &produced), 0);
        EXPECT_EQ(produced, 0) << "the first frame call after a probe";
        EXPECT_EQ(dec.Decode(silent.data(), (int32_t)silent.size(), &produced), 0);
        EXPECT_EQ(produced, 2048);
    }
    Decoder dec(48000);
    AacDecInput in = {(int32_t)silent.size(), (int32_t)silent.size(), silent.data()};
    EXPECT_EQ(AacDecProbeFrame(dec.h, nullptr, &in), AAC_E_POINTER);
    ASSERT_EQ(AacDecClose(dec.h), 0);
    EXPECT_EQ(AacDecProbeFrame(dec.h, &dec.cfg, &in), AAC_E_NOTINIT);
}

// Tables of exactly the reported sizes, each at an address that is 4-byte
// but not 8-byte aligned (all the interface promises), decode a whole
// stream to the same PCM as tables from malloc: nothing is read or written
// outside a table (the sanitizers watch the block ends), and the work
// buffers of table 3 and the spare table 4 keep their fixed sizes.
TEST(AacApi, TablesOfTheReportedSizesAtFourByteAlignment) {
    aac::MemTable t[AAC_MEM_TABLE_COUNT];
    ASSERT_EQ(AacDecGetMemTables(t), 0);
    EXPECT_EQ(t[3].size, 16928u);
    EXPECT_EQ(t[4].size, 3944u);
    if (sizeof(void*) == 4) {
        EXPECT_EQ(t[0].size, 16u);
    }
    ASSERT_TRUE(EnsureStreams());
    const std::vector<uint8_t> data = ReadFile(StreamDir() + "/stereo44.aac");
    const auto frames = AdtsFrames(data);
    ASSERT_GT(frames.size(), 20u);
    std::vector<uint8_t*> bases;
    for (auto& e : t) {
        uint8_t* b = (uint8_t*)malloc(e.size + 4);
        ASSERT_NE(b, nullptr);
        bases.push_back(b);
        e.pointer = b + 4;  // malloc gives at least 8-byte alignment
    }
    AacDecConfig cfg;
    memset(&cfg, 0, sizeof(cfg));
    AacDecHandle* h = nullptr;
    ASSERT_EQ(AacDecInit("3.2", &h, &cfg, t), 0);
    Decoder ref;
    std::vector<int16_t> pcm(4096);
    for (const auto& f : frames) {
        AacDecInput in = {f.second, f.second, data.data() + f.first};
        AacDecOutput out = {0, 8192, pcm.data()};
        ASSERT_EQ(AacDecDecodeFrame(h, &cfg, &in, &out), 0);
        int32_t produced = 0;
        ASSERT_EQ(ref.Decode(data.data() + f.first, f.second, &produced), 0);
        ASSERT_EQ(out.bytesProduced, produced);
        ASSERT_EQ(pcm, ref.pcm);
    }
    EXPECT_EQ(AacDecClose(h), 0);
    for (uint8_t* b : bases) free(b);
}

TEST(AacApi, UnknownRateSearchesForSync) {
    Decoder dec(0, 0, 0);
    std::vector<uint8_t> junk(100, 0x55);
    int32_t produced;
    EXPECT_EQ(dec.Decode(junk.data(), (int32_t)junk.size(), &produced), AAC_E_NOSYNC);
    // junk before a frame is skipped and counted as used
    std::vector<uint8_t> f = SilentFrame();
    std::vector<uint8_t> d(5, 0x11);
    d.insert(d.end(), f.begin(), f.end());
    EXPECT_EQ(dec.Decode(d.data(), (int32_t)d.size(), &produced), 0);
    EXPECT_EQ(dec.cfg.bytesUsed, (int32_t)d.size());
    EXPECT_EQ(dec.cfg.sampleRate, 48000);
}

TEST(AacApi, DisabledChannelIsZeroed) {
    EnsureStreams();
    std::vector<uint8_t> d = ReadFile(StreamDir() + "/stereo44.aac");
    if (d.empty()) GTEST_SKIP();
    Decoder dec;
    int32_t produced = 0;
    auto frames = AdtsFrames(d);
    for (size_t i = 0; i < 30; i++) {
        dec.cfg.disableCh1 = 1;
        dec.Decode(d.data() + frames[i].first, frames[i].second, &produced);
    }
    ASSERT_EQ(produced, 4096);
    int32_t left = 0, right = 0;
    for (int i = 0; i < 1024; i++) {
        left |= dec.pcm[(size_t)i];
        right |= dec.pcm[2048 + (size_t)i];
    }
    EXPECT_NE(left, 0);
    EXPECT_EQ(right, 0);
}

// Concealment on a steady tone: per frame, whether the output is muted.
TEST(AacConceal, LossPatterns) {
    EnsureStreams();
    std::vector<uint8_t> d = ReadFile(StreamDir() + "/mono48.aac");
    if (d.empty()) GTEST_SKIP();
    auto frames = AdtsFrames(d);
    struct Row {
        const char* name;
        std::vector<int> lost;   // frame numbers marked lost
        std::vector<int> muted;  // output frames (by input frame number) that are silent
    };
    // Output of call n is frame n - 1.
    const Row rows[] = {
        {"single loss rebuilt from both neighbours", {20}, {}},
        {"two losses muted", {20, 21}, {21, 22}},
        {"long loss: five good frames in the long mute, five more fading back",
         {20, 21, 22, 23, 24, 25, 26},
         {21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Decoder dec;
        std::vector<int> silent;
        std::vector<double> energy;
        for (int n = 0; n < 60; n++) {
            int lost = 0;
            for (int l : row.lost) lost |= l == n;
            int32_t produced;
            dec.Decode(d.data() + frames[(size_t)n].first, frames[(size_t)n].second, &produced,
                       lost);
            if (n < 2) continue;
            double e = 0;
            for (int i = 0; i < 1024; i++) e += (double)dec.pcm[(size_t)i] * dec.pcm[(size_t)i];
            energy.push_back(e);
            if (e == 0) silent.push_back(n);
        }
        // muted frames are exactly silent; the overlap tail of the frame
        // before a mute leaves its first half non-zero, so compare sets of
        // frames whose second half is silent
        std::vector<int> expect = row.muted;
        std::vector<int> got;
        for (int n : silent) got.push_back(n);
        for (int n : expect) {
            bool found = false;
            for (int g : got) found |= g == n || g == n + 1;
            EXPECT_TRUE(found) << "frame " << n << " not muted";
        }
        if (expect.empty()) {
            EXPECT_TRUE(got.empty());
        }
    }
}

}  // namespace
