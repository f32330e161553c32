// Declarations of the engine parts the player stands on that are not in
// this tree yet; replaced by their own headers as they arrive.
#pragma once

#include <cstdint>

struct MediaClock;
int Clock_Sync(MediaClock* clock, uint32_t timeMs);
