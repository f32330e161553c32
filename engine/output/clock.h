// Media clock: the playback position in ms of media time. It runs from a
// tick source (the system tick count unless one is injected) scaled by the
// playback speed, and is pulled to the audio output's reports through
// Clock_Sync, so audio is the master and video follows.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <stdint.h>

#include "engine/platform/os.h"

// Milliseconds from an arbitrary start, wrapping at 2^32.
typedef uint32_t (*ClockTickSource)(void* user);

struct MediaClock {
    int armed;    // told to run; the first Clock_Sync starts it
    int stopped;  // does not advance
    OsLockWord lock;
    uint32_t speed;         // percent, 100 = normal
    uint32_t lastSync;      // last reported time
    uint32_t lastComputed;  // last running position handed out
    uint32_t base;          // position at baseTick
    uint32_t baseTick;
    ClockTickSource tick;
    void* tickUser;
};

// A report within this distance of the running position leaves it alone.
#define CLOCK_SYNC_DEAD_BAND_MS 50

// Stopped at startMs; null on allocation failure.
MediaClock* Clock_Create(uint32_t startMs, uint32_t speed);
void Clock_Destroy(MediaClock* clock);
// Replaces the tick source (null: the system tick count).
void Clock_SetTickSource(MediaClock* clock, ClockTickSource tick, void* user);
// Arms a stopped clock, starting it now when startNow is set; 0 when it
// was not stopped.
int Clock_Resume(MediaClock* clock, int startNow);
int Clock_Pause(MediaClock* clock);  // 0 when already stopped
int Clock_SetSpeed(MediaClock* clock, uint32_t speed);
// An audio report: starts an armed clock, and moves the position to
// mediaMs when it is more than the dead band away.
int Clock_Sync(MediaClock* clock, uint32_t mediaMs);
int Clock_SetTime(MediaClock* clock, uint32_t ms);
// Running: the position. Stopped: the larger of the last report and the
// last position handed out. 0 for a null clock.
uint32_t Clock_GetTime(MediaClock* clock);

// Packed dates (year*10000 + month*100 + day) and times (hours*10^7 +
// minutes*10^5 + seconds*1000 + ms).
void DateTime_AddMs(uint32_t* date, uint32_t* time, uint32_t ms);
int64_t DateTime_DiffMs(uint32_t date1, uint32_t time1, uint32_t date2, uint32_t time2);
