// CTime: local parts in and out, and formatting with strftime's codes,
// including "%c" as the print footer uses it.
#include "classlib/afxtime.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CTime, PartsAndFormat) {
    struct Case {
        int y, mo, d, h, mi, s;
        const char* format;
        const char* want;
    };
    const Case cases[] = {
        {2026, 12, 11, 13, 5, 9, "%Y-%m-%d %H:%M:%S", "2026-12-11 13:05:09"},
        {2000, 2, 29, 0, 0, 0, "%d.%m.%Y", "29.02.2000"},
        {1999, 12, 31, 23, 59, 59, "%H%M%S", "235959"},
        {2026, 1, 1, 7, 0, 0, "[%%]", "[%]"},
    };
    for (const Case& k : cases) {
        const CTime t(k.y, k.mo, k.d, k.h, k.mi, k.s);
        EXPECT_EQ(k.want, std::string(t.Format(k.format))) << k.format;
        EXPECT_EQ(k.y, t.GetYear());
        EXPECT_EQ(k.mo, t.GetMonth());
        EXPECT_EQ(k.d, t.GetDay());
        EXPECT_EQ(k.h, t.GetHour());
        EXPECT_EQ(k.mi, t.GetMinute());
        EXPECT_EQ(k.s, t.GetSecond());
    }
}

TEST(CTime, LocaleDateAndTime) {
    const CTime t(2026, 12, 11, 13, 5, 9);
    const std::string c = static_cast<LPCTSTR>(t.Format("%c"));
    EXPECT_NE(std::string::npos, c.find("13:05:09")) << c;
    EXPECT_EQ(6, t.GetDayOfWeek()) << "a Friday";
}

TEST(CTime, EmptyResults) {
    const CTime t(2026, 12, 11, 13, 5, 9);
    EXPECT_TRUE(t.Format("").IsEmpty());
    EXPECT_TRUE(t.Format(nullptr).IsEmpty());
    // A long format still comes out whole.
    const std::string longFormat(3000, 'x');
    EXPECT_EQ(longFormat, std::string(t.Format(longFormat.c_str())));
}

TEST(CTime, Now) {
    const time_t before = time(nullptr);
    const CTime now = CTime::GetCurrentTime();
    EXPECT_GE(now.GetTime(), before);
    EXPECT_LE(now.GetTime(), time(nullptr));
}

}  // namespace
