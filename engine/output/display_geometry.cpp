#include "engine/output/display_geometry.h"

#include <cmath>

float DisplayAspectForMode(uint32_t mode, uint32_t width, uint32_t height) {
    switch (mode) {
        case VIDEO_ASPECT_4_3: return 1.33f;
        case VIDEO_ASPECT_16_9: return 1.78f;
        case VIDEO_ASPECT_185: return 1.85f;
        case VIDEO_ASPECT_235: return 2.35f;
        default: return height ? float(width) / float(height) : 1.0f;
    }
}

void FitRectKeepAspect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t mode,
                       uint32_t width, uint32_t height, uint32_t* outWidth, uint32_t* outHeight) {
    *outWidth = *outHeight = 0;
    const double rw = double(right) - left, rh = double(bottom) - top;
    if (rw <= 0 || rh <= 0 || width == 0) return;
    const double aspect = DisplayAspectForMode(mode, width, height);
    const double shownHeight = width / aspect;
    const double scale = std::fmin(rw / width, rh / shownHeight);
    // The aspect is a float: a product a hair below a whole pixel counts as
    // that pixel (359.99998 is 360, not 356 after the rounding to 4).
    *outWidth = uint32_t(width * scale + 0.01) & ~3u;
    *outHeight = uint32_t(shownHeight * scale + 0.01) & ~3u;
}

OutputRect ComputeOutputRect(const OutputRectInput& in) {
    int64_t rw = in.width > 0 ? in.width : 0, rh = in.height > 0 ? in.height : 0;
    if (in.rotation == 1 || in.rotation == 3) {
        int64_t t = rw;
        rw = rh;
        rh = t;
    }
    int64_t w = rw, h = rh;
    uint64_t num = 0, den = 0;
    switch (in.aspectMode) {
        case VIDEO_ASPECT_CLAMP:
            if (w > in.sourceWidth) w = in.sourceWidth;
            if (h > in.sourceHeight) h = in.sourceHeight;
            break;
        case VIDEO_ASPECT_STRETCH: break;
        case VIDEO_ASPECT_SOURCE: num = in.sourceWidth, den = in.sourceHeight; break;
        case VIDEO_ASPECT_4_3: num = 4, den = 3; break;
        case VIDEO_ASPECT_16_9: num = 16, den = 9; break;
        case VIDEO_ASPECT_185: num = 185, den = 100; break;
        case VIDEO_ASPECT_235: num = 235, den = 100; break;
        default: num = in.aspectWidth, den = in.aspectHeight; break;
    }
    // An aspect with a zero side has no shape to keep: the rectangle stays.
    if (num && den) {
        if (uint64_t(w) * den > uint64_t(h) * num)
            w = int64_t(uint64_t(h) * num / den);  // too wide: cut the width
        else
            h = int64_t(uint64_t(w) * den / num);  // too tall: cut the height
    }
    w &= ~int64_t(15);
    h &= ~int64_t(15);
    OutputRect out;
    out.width = int32_t(w);
    out.height = int32_t(h);
    out.x = int32_t(in.x + (rw - w) / 2);
    out.y = int32_t(in.y + (rh - h) / 2);
    return out;
}
