// Where a picture goes in a rectangle: the display aspect of an aspect mode,
// a picture fitted into a window with its aspect kept, and the renderer's
// output rectangle. Nothing on the playback path calls these yet; the
// DirectDraw output places the picture by its window.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <cstdint>

// Aspect modes of the video configuration (field 7).
enum : uint32_t {
    VIDEO_ASPECT_CLAMP = 0,    // the source size, cut to the rectangle
    VIDEO_ASPECT_SOURCE = 1,   // the source's own aspect
    VIDEO_ASPECT_STRETCH = 2,  // the whole rectangle
    VIDEO_ASPECT_4_3 = 3,
    VIDEO_ASPECT_16_9 = 4,
    VIDEO_ASPECT_185 = 5,  // 1.85:1
    VIDEO_ASPECT_235 = 6,  // 2.35:1
    // Any other mode: the custom width and height (fields 8, 9).
};

// Width over height: 1.33, 1.78, 1.85 or 2.35 for modes 3-6, else
// width / height (1 for a picture without height).
float DisplayAspectForMode(uint32_t mode, uint32_t width, uint32_t height);

// Scales a picture of `width` pixels shown at the mode's aspect to fit the
// rectangle; the fitted size, each side rounded down to a multiple of 4
// (0 x 0 for an empty rectangle or picture).
void FitRectKeepAspect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t mode,
                       uint32_t width, uint32_t height, uint32_t* outWidth, uint32_t* outHeight);

struct OutputRectInput {
    int32_t x, y, width, height;  // the output rectangle
    uint32_t rotation;            // 1 and 3 turn the picture a quarter
    uint32_t aspectMode, aspectWidth, aspectHeight;
    uint32_t sourceWidth, sourceHeight;
};
struct OutputRect {
    int32_t x, y, width, height;
};
// The picture's place in the rectangle: sized by the aspect mode, sides in
// multiples of 16, centred.
OutputRect ComputeOutputRect(const OutputRectInput& in);
