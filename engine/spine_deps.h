// Declarations of the engine parts the player stands on that are not in
// this tree yet; replaced by their own headers as they arrive.
#pragma once

#include <cstdint>

struct MediaClock;
int Clock_Sync(MediaClock* clock, uint32_t timeMs);

// A decoded I420 picture; a null Y plane means no picture.
struct DecodedFrame {
    uint8_t* y;
    uint8_t* u;
    uint8_t* v;
    uint32_t stride;
    uint32_t timeMs;
};
