#include <gtest/gtest.h>

#include "engine/output/clock.h"

// Outside an anonymous namespace: the Windows build includes this file.
struct FakeTicks {
    uint32_t now = 0;
    static uint32_t Read(void* self) { return static_cast<FakeTicks*>(self)->now; }
};

class ClockTest : public ::testing::Test {
protected:
    FakeTicks ticks;
    MediaClock* clock = nullptr;

    MediaClock* Make(uint32_t start, uint32_t speed = 100) {
        clock = Clock_Create(start, speed);
        Clock_SetTickSource(clock, FakeTicks::Read, &ticks);
        return clock;
    }
    void TearDown() override { Clock_Destroy(clock); }
};

TEST_F(ClockTest, NeverResumedReportsItsStart) {
    Make(5000);
    ticks.now = 100000;
    EXPECT_EQ(5000u, Clock_GetTime(clock));
    EXPECT_EQ(1, Clock_Pause(clock) == 0);
}

TEST_F(ClockTest, ResumeStartsNowOrWaitsForTheFirstReport) {
    struct Case {
        const char* name;
        int startNow;
        uint32_t want;  // after 500 ticks
    };
    const Case cases[] = {{"start now", 1, 1500}, {"armed only", 0, 1000}};
    for (const Case& c : cases) {
        Make(1000);
        ticks.now = 7000;
        EXPECT_EQ(1, Clock_Resume(clock, c.startNow)) << c.name;
        ticks.now += 500;
        EXPECT_EQ(c.want, Clock_GetTime(clock)) << c.name;
        Clock_Destroy(clock);
        clock = nullptr;
    }
}

TEST_F(ClockTest, FirstReportStartsAnArmedClockAtItsTime) {
    Make(0);
    Clock_Resume(clock, 0);
    ticks.now = 3000;
    EXPECT_EQ(1, Clock_Sync(clock, 1200));
    EXPECT_EQ(1200u, Clock_GetTime(clock));
    ticks.now += 250;
    EXPECT_EQ(1450u, Clock_GetTime(clock));
    EXPECT_EQ(0, Clock_Resume(clock, 1)) << "already running";
}

TEST_F(ClockTest, ReportsInsideTheDeadBandAreIgnored) {
    struct Case {
        const char* name;
        uint32_t report;
        uint32_t want;
    };
    const Case cases[] = {
        {"40 ahead", 1040, 1000}, {"50 ahead", 1050, 1000}, {"51 ahead", 1051, 1051},
        {"50 behind", 950, 1000}, {"51 behind", 949, 949},
    };
    for (const Case& c : cases) {
        Make(1000);
        Clock_Resume(clock, 1);
        EXPECT_EQ(1000u, Clock_GetTime(clock));
        Clock_Sync(clock, c.report);
        EXPECT_EQ(c.want, Clock_GetTime(clock)) << c.name;
        ticks.now += 100;
        EXPECT_EQ(c.want + 100, Clock_GetTime(clock)) << c.name << " keeps running";
        Clock_Destroy(clock);
        clock = nullptr;
    }
}

TEST_F(ClockTest, SpeedScalesTheTicks) {
    struct Case {
        const char* name;
        uint32_t speed;
        uint32_t ticks;
        uint32_t advance;
    };
    const Case cases[] = {
        {"normal", 100, 1000, 1000},
        {"double", 200, 1000, 2000},
        {"half", 50, 1000, 500},
        {"quarter truncates", 25, 1003, 250},
    };
    for (const Case& c : cases) {
        Make(0, c.speed);
        ticks.now = 0xFFFFFF00u;  // across the tick counter's wrap
        Clock_Resume(clock, 1);
        ticks.now += c.ticks;
        EXPECT_EQ(c.advance, Clock_GetTime(clock)) << c.name;
        Clock_Destroy(clock);
        clock = nullptr;
    }
}

TEST_F(ClockTest, SpeedChangeFoldsThePositionSoFar) {
    Make(0);
    Clock_Resume(clock, 1);
    ticks.now = 1000;
    Clock_SetSpeed(clock, 200);
    ticks.now = 1500;
    EXPECT_EQ(2000u, Clock_GetTime(clock));
    EXPECT_EQ(200u, clock->speed);
}

TEST_F(ClockTest, PausedReportsTheLargerOfLastReportAndLastReading) {
    Make(0);
    Clock_Resume(clock, 1);
    ticks.now = 1000;
    EXPECT_EQ(1000u, Clock_GetTime(clock));
    ticks.now = 1300;  // not read before the pause
    EXPECT_EQ(1, Clock_Pause(clock));
    EXPECT_EQ(0, Clock_Pause(clock));
    EXPECT_EQ(1000u, Clock_GetTime(clock)) << "the last reading, not the folded 1300";
    ticks.now = 9000;
    EXPECT_EQ(1000u, Clock_GetTime(clock)) << "does not advance";
    // Resumes from the folded position.
    Clock_Resume(clock, 1);
    ticks.now += 100;
    EXPECT_EQ(1400u, Clock_GetTime(clock));
}

TEST_F(ClockTest, SetTimeMovesAStoppedOrRunningClock) {
    Make(0);
    Clock_SetTime(clock, 42000);
    EXPECT_EQ(42000u, Clock_GetTime(clock));
    Clock_Resume(clock, 1);
    ticks.now += 10;
    Clock_SetTime(clock, 5000);
    ticks.now += 20;
    EXPECT_EQ(5020u, Clock_GetTime(clock));
    EXPECT_EQ(0u, Clock_GetTime(nullptr));
}

namespace {

uint32_t SyncLoop(void* p) {
    MediaClock* clock = static_cast<MediaClock*>(p);
    uint32_t t = 0;
    for (int i = 0; i < 20000; ++i) Clock_Sync(clock, t += 60);
    return 0;
}

}  // namespace

// Reports from the audio callback thread against readers on others (run it
// under ThreadSanitizer to see the lock at work).
TEST(ClockThreads, SyncAndReadersDoNotRace) {
    MediaClock* clock = Clock_Create(0, 100);
    Clock_Resume(clock, 0);
    OsHandle t = OS_CreateThread("sync", SyncLoop, clock, OS_PRIORITY_NORMAL, 4096, 0);
    ASSERT_NE(OS_INVALID_HANDLE, t);
    for (int i = 0; !OS_WaitThread(t, 0); ++i) {
        Clock_GetTime(clock);
        if (i % 1000 == 0) Clock_SetSpeed(clock, 100 + i % 3);
    }
    OS_CloseThread(t);
    // The last report was 1,200,000 and the clock runs on from it.
    EXPECT_GE(Clock_GetTime(clock), 1200000u);
    Clock_Destroy(clock);
}

TEST(DateTime, AddMsCarriesDaysMonthByMonth) {
    struct Case {
        const char* name;
        uint32_t date, time, ms;
        uint32_t wantDate, wantTime;
    };
    const Case cases[] = {
        {"within the day", 20240115, 120000000, 61500, 20240115, 120101500},
        {"into the next day", 20240115, 235959999, 1, 20240116, 0},
        {"end of a 30-day month", 20230430, 230000000, 3600000, 20230501, 0},
        {"end of the year", 20231231, 235000000, 600000, 20240101, 0},
        {"February of a common year", 20230228, 0, 86400000, 20230301, 0},
        {"February of a leap year", 20240228, 0, 86400000, 20240229, 0},
        {"not a month", 20231300, 0, 1000, 20240100, 1000},
    };
    for (const Case& c : cases) {
        uint32_t d = c.date, t = c.time;
        DateTime_AddMs(&d, &t, c.ms);
        EXPECT_EQ(c.wantDate, d) << c.name;
        EXPECT_EQ(c.wantTime, t) << c.name;
    }
}

TEST(DateTime, DiffMsBorrowsAndCountsDays) {
    struct Case {
        const char* name;
        uint32_t d1, t1, d2, t2;
        int64_t want;
    };
    const Case cases[] = {
        {"same day", 20240115, 100000000, 20240115, 100100500, 60500},
        {"borrow across fields", 20240115, 105959999, 20240115, 110000000, 1},
        {"across a month", 20230131, 230000000, 20230201, 10000000, 2 * 3600000},
        {"across a leap day", 20240228, 0, 20240301, 0, 2 * 86400000LL},
        {"backwards", 20240102, 0, 20240101, 0, -86400000LL},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, DateTime_DiffMs(c.d1, c.t1, c.d2, c.t2)) << c.name;
}
