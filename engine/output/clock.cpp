#include "engine/output/clock.h"

#include <stdlib.h>

static uint32_t SystemTicks(void*) { return OS_GetTickCount(); }

static uint32_t Now(const MediaClock* c) { return c->tick(c->tickUser); }

// Position of a running clock. Integer scaling: at speed 100 a second of
// ticks is exactly a second of media.
static uint32_t Running(const MediaClock* c) {
    if (c->stopped) return c->base;
    uint64_t elapsed = (uint32_t)(Now(c) - c->baseTick);
    return c->base + (uint32_t)(elapsed * c->speed / 100u);
}

MediaClock* Clock_Create(uint32_t startMs, uint32_t speed) {
    MediaClock* c = static_cast<MediaClock*>(calloc(1, sizeof(MediaClock)));
    if (!c) return nullptr;
    c->lock = OS_CreateLock();
    if (c->lock == OS_INVALID_HANDLE) {
        free(c);
        return nullptr;
    }
    c->stopped = 1;
    c->speed = speed;
    c->lastSync = c->lastComputed = c->base = startMs;
    c->tick = SystemTicks;
    return c;
}

void Clock_Destroy(MediaClock* c) {
    if (!c) return;
    OS_DeleteLock(c->lock);
    free(c);
}

void Clock_SetTickSource(MediaClock* c, ClockTickSource tick, void* user) {
    if (!c) return;
    OS_Lock(c->lock);
    c->tick = tick ? tick : SystemTicks;
    c->tickUser = tick ? user : nullptr;
    OS_Unlock(c->lock);
}

int Clock_Resume(MediaClock* c, int startNow) {
    if (!c) return 0;
    OS_Lock(c->lock);
    if (!c->stopped) {
        OS_Unlock(c->lock);
        return 0;
    }
    if (startNow) {
        c->baseTick = Now(c);
        c->stopped = 0;
    }
    c->armed = 1;
    OS_Unlock(c->lock);
    return 1;
}

int Clock_Pause(MediaClock* c) {
    if (!c) return 0;
    OS_Lock(c->lock);
    int result = 0;
    if (!c->stopped) {
        c->base = Running(c);
        c->armed = 0;
        c->stopped = 1;
        result = 1;
    }
    OS_Unlock(c->lock);
    return result;
}

int Clock_SetSpeed(MediaClock* c, uint32_t speed) {
    if (!c) return 0;
    OS_Lock(c->lock);
    if (!c->stopped) {
        c->base = Running(c);
        c->baseTick = Now(c);
    }
    c->speed = speed;
    OS_Unlock(c->lock);
    return 1;
}

int Clock_Sync(MediaClock* c, uint32_t mediaMs) {
    if (!c) return 0;
    // Called from the wave output's callback thread while the video task
    // and the status thread read the clock: it takes the lock like them.
    OS_Lock(c->lock);
    if (c->armed && c->stopped) {
        c->baseTick = Now(c);
        c->stopped = 0;
    }
    c->lastSync = c->lastComputed = mediaMs;
    uint32_t pos = Running(c);
    uint32_t diff = pos > mediaMs ? pos - mediaMs : mediaMs - pos;
    if (diff > CLOCK_SYNC_DEAD_BAND_MS) {
        c->base = mediaMs;
        c->baseTick = Now(c);
    }
    OS_Unlock(c->lock);
    return 1;
}

int Clock_SetTime(MediaClock* c, uint32_t ms) {
    if (!c) return 0;
    OS_Lock(c->lock);
    c->lastSync = c->lastComputed = c->base = ms;
    c->baseTick = Now(c);
    OS_Unlock(c->lock);
    return 1;
}

uint32_t Clock_GetTime(MediaClock* c) {
    if (!c) return 0;
    OS_Lock(c->lock);
    uint32_t t;
    if (c->stopped) {
        t = c->lastSync > c->lastComputed ? c->lastSync : c->lastComputed;
    } else {
        t = Running(c);
        c->lastComputed = t;
    }
    OS_Unlock(c->lock);
    return t;
}

// ---- packed dates ----

static bool IsLeap(uint32_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

static uint32_t MonthDays(uint32_t year, uint32_t month) {
    switch (month) {
        case 4:
        case 6:
        case 9:
        case 11: return 30;
        case 2: return IsLeap(year) ? 29 : 28;
        default: return 31;
    }
}

static const uint32_t kDayMs = 86400000u;

static uint32_t TimeToMs(uint32_t t) {
    uint32_t h = t / 10000000u, m = t / 100000u % 100u, s = t / 1000u % 100u, ms = t % 1000u;
    return ((h * 60u + m) * 60u + s) * 1000u + ms;
}

static uint32_t MsToTime(uint32_t ms) {
    uint32_t s = ms / 1000u;
    return s / 3600u * 10000000u + s / 60u % 60u * 100000u + s % 60u * 1000u + ms % 1000u;
}

void DateTime_AddMs(uint32_t* date, uint32_t* time, uint32_t ms) {
    uint64_t total = (uint64_t)TimeToMs(*time) + ms;
    uint64_t days = total / kDayMs;
    uint32_t y = *date / 10000u, m = *date / 100u % 100u, d = *date % 100u;
    if (m < 1 || m > 12) {  // not a month: January of the next year
        m = 1;
        ++y;
    }
    for (uint64_t i = 0; i < days; ++i) {
        if (++d > MonthDays(y, m)) {
            d = 1;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
    }
    *date = y * 10000u + m * 100u + d;
    *time = MsToTime((uint32_t)(total % kDayMs));
}

// Days since 1 January of year 0.
static int64_t DayNumber(uint32_t date) {
    uint32_t y = date / 10000u, m = date / 100u % 100u, d = date % 100u;
    if (m < 1 || m > 12) {
        m = 1;
        ++y;
    }
    int64_t n = (int64_t)y * 365 + (y + 3) / 4 - (y + 99) / 100 + (y + 399) / 400;
    for (uint32_t i = 1; i < m; ++i) n += MonthDays(y, i);
    return n + d;
}

int64_t DateTime_DiffMs(uint32_t date1, uint32_t time1, uint32_t date2, uint32_t time2) {
    return (DayNumber(date2) - DayNumber(date1)) * (int64_t)kDayMs + (int64_t)TimeToMs(time2) -
           (int64_t)TimeToMs(time1);
}
