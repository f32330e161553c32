// The debug checks as a release build sees them, whatever this build is.
#undef _DEBUG
#ifndef NDEBUG
#define NDEBUG 1
#endif

#include <gtest/gtest.h>

#include "classlib/afxdebug.h"

namespace {
int g_calls = 0;
bool Counted(bool result) {
    ++g_calls;
    return result;
}
}  // namespace

TEST(ReleaseChecks, AssertRunsNothingVerifyRunsOnce) {
    static_assert(!AFX_DEBUG_BUILD, "this file forces a release build");
    g_calls = 0;
    ASSERT(Counted(false));
    TRACE("%d\n", Counted(false));
    EXPECT_EQ(0, g_calls);
    VERIFY(Counted(false));
    EXPECT_EQ(1, g_calls);
    // The library's own range checks still guard memory.
    EXPECT_FALSE(AFX_CHECK(Counted(false)));
    EXPECT_EQ(2, g_calls);
}
