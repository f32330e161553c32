// Colour conversions between packed 4:2:2, planar 4:2:0 and RGB pictures.
// Tight I420: Y w x h, then U and V (w/2) x (h/2), no row padding.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <cstdint>

// Packed 4:2:2 to tight I420 (destination, source, width, height).
void ColorConvert_YUY2ToI420(uint8_t* dst, const uint8_t* src, int width, int height);
void ColorConvert_UYVYToI420(uint8_t* dst, const uint8_t* src, int width, int height);
void ColorConvert_YVYUToI420(uint8_t* dst, const uint8_t* src, int width, int height);

// Planar 4:2:0 source given as three planes with a luma stride (chroma
// strides are half of it).
struct PlanarPicture {
    const uint8_t* y;
    const uint8_t* u;
    const uint8_t* v;
    int stride;
};

void ColorConvert_I420ToI420(uint8_t* dstY, uint8_t* dstU, uint8_t* dstV, int dstStride,
                             const PlanarPicture* src, int width, int height);
void ColorConvert_I420ToYV12(uint8_t* dstY, uint8_t* dstU, uint8_t* dstV, int dstStride,
                             const PlanarPicture* src, int width, int height);
void ColorConvert_I420ToYUY2(uint8_t* dst, int dstStride, const PlanarPicture* src, int width,
                             int height);
void ColorConvert_I420ToUYVY(uint8_t* dst, int dstStride, const PlanarPicture* src, int width,
                             int height);
void ColorConvert_I420ToYVYU(uint8_t* dst, int dstStride, const PlanarPicture* src, int width,
                             int height);

// RGB: 565 (red in the top bits), 555, 24-bit B G R, 32-bit B G R 0. Width a
// multiple of 8, rows in pairs.
void YuvToRgbKernel565(uint8_t* d0, uint8_t* d1, const uint8_t* y0, const uint8_t* y1,
                       const uint8_t* u, const uint8_t* v, int width);
void YuvToRgbKernel555(uint8_t* d0, uint8_t* d1, const uint8_t* y0, const uint8_t* y1,
                       const uint8_t* u, const uint8_t* v, int width);
void YuvToRgbKernel24(uint8_t* d0, uint8_t* d1, const uint8_t* y0, const uint8_t* y1,
                      const uint8_t* u, const uint8_t* v, int width);
void YuvToRgbKernel32(uint8_t* d0, uint8_t* d1, const uint8_t* y0, const uint8_t* y1,
                      const uint8_t* u, const uint8_t* v, int width);
void ColorConvert_I420ToRgb565(uint8_t* dst, int dstStride, const PlanarPicture* src, int width,
                               int height);
void ColorConvert_I420ToRgb555(uint8_t* dst, int dstStride, const PlanarPicture* src, int width,
                               int height);
void ColorConvert_I420ToRgb24(uint8_t* dst, int dstStride, const PlanarPicture* src, int width,
                              int height);
void ColorConvert_I420ToRgb32(uint8_t* dst, int dstStride, const PlanarPicture* src, int width,
                              int height);
// Depth 32, 24 or 16 (anything else is treated as 16).
void ColorConvert_PlanarToRgb(uint8_t* dst, int dstStride, int depth, const PlanarPicture* src,
                              int width, int height);
void ColorConvert_None(void);
void ColorConvert_Scale(void);

// Routines without a caller in the player, kept for completeness.
void ColorConvert_SwapChromaPlanes(uint8_t* dst, const uint8_t* src, int width, int height);
void ColorConvert_UYVYToI422(uint8_t* dst, const uint8_t* src, int width, int height);
// Planar 4:2:0 <-> planar 4:1:0 (chroma a quarter of the luma size each way).
void ColorConvert_Planar420To410(uint8_t* dst, const uint8_t* src, int width, int height);
void ColorConvert_Planar410To420(uint8_t* dst, const uint8_t* src, int width, int height);
// In-place 2:1 reductions of one plane (stride = width).
void ColorConvert_HalveChromaRows(uint8_t* plane, int width, int height);
void ColorConvert_HalveChromaColumns(uint8_t* plane, int width, int height);
void ColorConvert_HalveChromaBoth(uint8_t* plane, int width, int height);
// RGB to tight I420 (chroma from every second pixel of every second row).
void Rgb565ToI420(uint8_t* dst, const uint16_t* src, int width, int height);
void Rgb24ToI420(uint8_t* dst, const uint8_t* src, int width, int height);  // bottom-up, B G R
