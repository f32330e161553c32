// Checks a Huffman table given as code words and lengths: every code fits
// its length, the code is complete (Kraft sum exactly one) and no code word
// is the start of another.
#pragma once
#include <gtest/gtest.h>
#include <stdint.h>

inline void ExpectCompletePrefixCode(const uint32_t* code, const uint8_t* len, int count) {
    const int kMaxLen = 32;
    uint64_t kraft = 0;
    for (int i = 0; i < count; i++) {
        ASSERT_GE(len[i], 1);
        ASSERT_LT(len[i], kMaxLen);
        ASSERT_EQ(code[i] >> len[i], 0u) << "symbol " << i;
        kraft += uint64_t(1) << (kMaxLen - len[i]);
    }
    EXPECT_EQ(kraft, uint64_t(1) << kMaxLen);
    for (int i = 0; i < count; i++) {
        for (int j = 0; j < count; j++) {
            if (i != j && len[j] >= len[i]) {
                EXPECT_NE(code[j] >> (len[j] - len[i]), code[i])
                    << "symbol " << i << " prefixes " << j;
            }
        }
    }
}
