#include <cstring>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "engine/input/bitio.h"

namespace {

// The data on the heap at its exact size, so the sanitizer sees any read
// beyond it.
struct HeapBytes {
    std::unique_ptr<uint8_t[]> bytes;
    uint32_t size;
    HeapBytes(std::initializer_list<uint8_t> b)
        : bytes(new uint8_t[b.size()]), size((uint32_t)b.size()) {
        std::copy(b.begin(), b.end(), bytes.get());
    }
};

}  // namespace

TEST(BitReader, ReadSequences) {
    struct Step {
        uint32_t n, want;
    };
    struct Case {
        const char* name;
        std::initializer_list<uint8_t> data;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"12 then 4 bits", {0xFF, 0xF1}, {{12, 0xFFF}, {4, 1}}},
        {"single bits msb first", {0xA0}, {{1, 1}, {1, 0}, {1, 1}, {1, 0}}},
        {"32 bits aligned", {0x12, 0x34, 0x56, 0x78}, {{32, 0x12345678}}},
        {"32 bits at offset 7", {0x01, 0x23, 0x45, 0x67, 0x89}, {{7, 0}, {32, 0x91A2B3C4}, {1, 1}}},
        {"zero-bit read", {0x80}, {{0, 0}, {1, 1}}},
        {"past the end reads zeros", {0xFF}, {{4, 0xF}, {8, 0xF0}, {16, 0}}},
        {"empty buffer", {}, {{32, 0}}},
    };
    for (const Case& c : cases) {
        HeapBytes data(c.data);
        BitReader* br = BitReader_Create(data.bytes.get(), data.size);
        ASSERT_NE(nullptr, br);
        uint32_t pos = 0;
        for (const Step& s : c.steps) {
            EXPECT_EQ(s.want, BitReader_ShowBits(br, s.n)) << c.name;
            EXPECT_EQ(s.want, BitReader_GetBits(br, s.n)) << c.name;
            pos += s.n;
            EXPECT_EQ(pos, BitReader_Position(br)) << c.name;
        }
        BitReader_Destroy(br);
    }
    BitReader_Destroy(nullptr);
}

TEST(BitReader, OverrunIsStickyAndExactEndIsNot) {
    HeapBytes data{0xAB, 0xCD};
    BitReader br;
    BitReader_Init(&br, data.bytes.get(), data.size);
    EXPECT_EQ(0xABCDu, BitReader_GetBits(&br, 16));
    EXPECT_EQ(0, br.overrun) << "reading exactly to the end";
    EXPECT_EQ(0u, BitReader_BitsLeft(&br));
    EXPECT_EQ(0u, BitReader_GetBit(&br));
    EXPECT_EQ(1, br.overrun);
    // A huge skip neither wraps the position nor reads anything.
    BitReader_SkipBits(&br, 0xFFFFFFF0u);
    EXPECT_EQ(0u, BitReader_GetBits(&br, 32));
    EXPECT_EQ(1, br.overrun);
}

TEST(BitReader, AlignSaveRestoreAndSmallReads) {
    HeapBytes data{0xE5, 0x3C, 0x0F};
    BitReader br;
    BitReader_Init(&br, data.bytes.get(), data.size);
    EXPECT_EQ(0u, BitReader_ByteAlign(&br)) << "already aligned";
    EXPECT_EQ(7u, BitReader_GetBits(&br, 3));
    EXPECT_EQ(5u, BitReader_ByteAlign(&br));
    EXPECT_EQ(8u, BitReader_Position(&br));
    BitReader_SaveRestore(&br, 1);
    EXPECT_EQ(0x3u, BitReader_GetBits8(&br, 4));
    EXPECT_EQ(0xC0u, BitReader_GetBits8(&br, 8));
    BitReader_SaveRestore(&br, 0);
    EXPECT_EQ(8u, BitReader_Position(&br));
    EXPECT_EQ(0x3Cu, BitReader_GetBits(&br, 8));
    BitReader_SaveRestore(&br, 0);  // nothing saved: stays
    EXPECT_EQ(16u, BitReader_Position(&br));
    EXPECT_EQ(1u, BitReader_BitsLeft(&br) / 8);
}

TEST(BitWriter, WritesFieldsMsbFirst) {
    struct Field {
        uint32_t n, value;
    };
    struct Case {
        const char* name;
        std::vector<Field> fields;
        std::vector<uint8_t> want;
    };
    const Case cases[] = {
        {"1 0 0 then five 1s",
         {{1, 1}, {1, 0}, {1, 0}, {5, 0x1F}},
         {0x9F, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"only the low bits of the value",
         {{4, 0xFA}, {4, 0x3}},
         {0xA3, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"32 bits across 5 bytes",
         {{3, 0x5}, {32, 0xDEADBEEF}},
         {0xBB, 0xD5, 0xB7, 0xDD, 0xE0, 0xFF, 0xFF, 0xFF}},
        {"window after the field cleared", {{8, 0x12}}, {0x12, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<uint8_t[]> buf(new uint8_t[8]);
        std::memset(buf.get(), 0xFF, 8);
        BitReader bw;
        BitWriter_Init(&bw, buf.get(), 8);
        uint32_t bits = 0;
        for (const Field& f : c.fields) {
            BitWriter_PutBits(&bw, f.n, f.value);
            bits += f.n;
        }
        EXPECT_EQ(bits, BitReader_Position(&bw)) << c.name;
        EXPECT_EQ(0, std::memcmp(c.want.data(), buf.get(), 8)) << c.name;
    }
}

TEST(BitWriter, StaysInsideItsBufferAndRoundTrips) {
    std::unique_ptr<uint8_t[]> buf(new uint8_t[3]);
    BitReader* bw = BitWriter_Create(buf.get(), 3);
    ASSERT_NE(nullptr, bw);
    const uint8_t bytes[] = {0x47, 0x40, 0x11};
    BitWriter_PutBytes(bw, 3, bytes);  // each 4-byte window reaches past the end
    BitWriter_PutBits(bw, 8, 0x99);    // wholly past the end
    EXPECT_EQ(1, bw->overrun);
    BitReader_Destroy(bw);
    BitReader br;
    BitReader_Init(&br, buf.get(), 3);
    EXPECT_EQ(0x474011u, BitReader_GetBits(&br, 24));

    // A read-only stream is never written.
    uint8_t ro[4] = {1, 2, 3, 4};
    BitReader_Init(&br, ro, 4);
    BitWriter_PutBits(&br, 8, 0xEE);
    EXPECT_EQ(1, ro[0]);
}

TEST(StartCode, Searches) {
    struct Case {
        const char* name;
        std::initializer_list<uint8_t> data;
        int found;
        uint32_t code;
        uint32_t skipped;
    };
    const Case cases[] = {
        {"at the start", {0x00, 0x00, 0x01, 0xB6, 0x55}, 1, 0x1B6, 0},
        {"after junk", {0xFF, 0x00, 0x00, 0x00, 0x01, 0xB0, 0x01}, 1, 0x1B0, 2},
        {"four bytes are too few", {0x00, 0x00, 0x01, 0xB6}, 0, 0, 0},
        {"prefix in the last four bytes", {0x12, 0x00, 0x00, 0x01, 0xB3}, 0, 0, 1},
        {"none", {0x00, 0x00, 0x02, 0x00, 0x00, 0x00}, 0, 0, 2},
    };
    for (const Case& c : cases) {
        HeapBytes data(c.data);
        const uint8_t* p = data.bytes.get();
        uint32_t left = data.size, code = 0;
        EXPECT_EQ(c.found, StartCode_FindNext(&p, &left, &code)) << c.name;
        EXPECT_EQ(c.code, code) << c.name;
        EXPECT_EQ(c.skipped, (uint32_t)(p - data.bytes.get())) << c.name;
        EXPECT_EQ(data.size - c.skipped, left) << c.name;
    }

    HeapBytes vos{0x00, 0x00, 0x01, 0xB0, 0x01, 0x00, 0x00, 0x01, 0xB5, 0x09};
    const uint8_t* p = vos.bytes.get();
    uint32_t left = vos.size;
    EXPECT_EQ(1, StartCode_Find(&p, &left, 0x000001B5));
    EXPECT_EQ(5, p - vos.bytes.get());
    p = vos.bytes.get();
    left = vos.size;
    EXPECT_EQ(0, StartCode_Find(&p, &left, 0x000001B6));
}

TEST(HexToBytes, PairsOfDigits) {
    struct Case {
        const char* name;
        const char* text;
        std::vector<uint8_t> want;
        const char* lowered;
    };
    const Case cases[] = {
        {"mixed case", "0A1f", {0x0A, 0x1F}, "0a1f"},
        {"odd last digit ignored", "ff7", {0xFF}, "ff7"},
        {"empty", "", {}, ""},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        uint8_t out[8] = {};
        uint32_t n = Hex_ToBytes(&text[0], (uint32_t)text.size(), out);
        ASSERT_EQ(c.want.size(), n) << c.name;
        if (n) {
            EXPECT_EQ(0, std::memcmp(c.want.data(), out, n)) << c.name;
        }
        EXPECT_EQ(c.lowered, text) << c.name;
    }
}
