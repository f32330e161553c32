// The portable build sees no Windows headers and keeps UTF-8 literals.
#include <cstring>

#include <gtest/gtest.h>

TEST(BuildConfig, PortableBuildHasNoWindowsHeaders) {
#ifdef _WINDOWS_
    FAIL() << "windows.h reached the portable build";
#endif
    EXPECT_EQ(6u, std::strlen("한글"));
}
