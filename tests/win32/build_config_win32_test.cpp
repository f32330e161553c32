// The Windows build compiles narrow literals to the Korean code page and runs
// with it as the ANSI code page under Wine.
#include <windows.h>

#include <cstring>

#include <gtest/gtest.h>

TEST(BuildConfig, NarrowLiteralsAreCp949) {
    const char* s = "한글";
    const unsigned char cp949[] = {0xC7, 0xD1, 0xB1, 0xDB, 0};
    EXPECT_EQ(0, std::memcmp(s, cp949, sizeof cp949));
}

TEST(BuildConfig, AnsiCodePageIsKorean) { EXPECT_EQ(949u, GetACP()); }
