// The debug checks as a debug build sees them, whatever this build is.
#undef NDEBUG
#ifndef _DEBUG
#define _DEBUG 1
#endif

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/afxdebug.h"

namespace {

struct Report {
    std::string file;
    int line;
    std::string expression;
};
std::vector<Report> g_reports;

void Record(const char* file, int line, const char* expression) {
    g_reports.push_back({file, line, expression});
}

struct HookScope {
    AfxAssertHook previous = AfxSetAssertHook(&Record);
    HookScope() { g_reports.clear(); }
    ~HookScope() { AfxSetAssertHook(previous); }
};

int g_calls = 0;
bool CountedTrue() { return ++g_calls > 0; }
bool CountedFalse() { return ++g_calls < 0; }

}  // namespace

TEST(DebugChecks, ReportNameFileLineAndExpression) {
    static_assert(AFX_DEBUG_BUILD, "this file forces a debug build");
    HookScope scope;
    g_calls = 0;
    int line = __LINE__ + 1;
    ASSERT(CountedFalse());
    VERIFY(CountedFalse());
    ASSERT(CountedTrue());
    VERIFY(CountedTrue());
    EXPECT_EQ(4, g_calls) << "each expression runs once";
    ASSERT_EQ(2u, g_reports.size());
    EXPECT_NE(std::string::npos, g_reports[0].file.find("afxdebug_test.cpp"));
    EXPECT_EQ(line, g_reports[0].line);
    EXPECT_EQ("CountedFalse()", g_reports[0].expression);
    EXPECT_EQ(line + 1, g_reports[1].line);

    bool ok = AFX_CHECK(1 + 1 == 3);
    EXPECT_FALSE(ok);
    EXPECT_EQ(3u, g_reports.size());
    EXPECT_TRUE(AFX_CHECK(2 > 1));
    EXPECT_EQ(3u, g_reports.size());
}

TEST(DebugChecks, WithoutHookAFailedCheckAbortsWithItsPlace) {
    EXPECT_DEATH(ASSERT(1 == 2), "afxdebug_test\\.cpp\\([0-9]+\\): ASSERT failed: 1 == 2");
}

TEST(DebugChecks, TraceWritesFormattedText) {
    testing::internal::CaptureStderr();
    TRACE("clip %d of %s\n", 3, "EVT");
    EXPECT_EQ("clip 3 of EVT\n", testing::internal::GetCapturedStderr());
}
