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

// RGB: 565 (red in the top bits), 555, 24-bit B G R, 32-bit B G R 0. Rows
// and columns in pairs (each chroma sample covers a 2 x 2 block); an odd
// last row or column is left as it was.
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

// FourCCs of the dispatch, first character in the lowest byte.
enum : uint32_t {
    COLOR_FOURCC_RGB = 0,  // RGB of the target depth
    COLOR_FOURCC_I420 = 'I' | ('4' << 8) | ('2' << 16) | ('0' << 24),
    COLOR_FOURCC_YV12 = 'Y' | ('V' << 8) | ('1' << 16) | ('2' << 24),
    COLOR_FOURCC_YUY2 = 'Y' | ('U' << 8) | ('Y' << 16) | ('2' << 24),
    COLOR_FOURCC_UYVY = 'U' | ('Y' << 8) | ('V' << 16) | ('Y' << 24),
    COLOR_FOURCC_YVYU = 'Y' | ('V' << 8) | ('Y' << 16) | ('U' << 24),
};

// How a target picture lies in one block with pitch `stride`:
//   RGB          height rows of width pixels of 2, 3 or 4 bytes (depth 16,
//                24, 32; any other depth is 16);
//   YUY2, UYVY,  height rows of 2 x width bytes;
//   YVYU
//   I420, YV12   height luma rows, then two chroma planes of height / 2
//                rows of width / 2 bytes with pitch stride / 2, U first
//                for I420 and V first for YV12.
// ColorConvert_TargetLayout gives the pitch it would choose and the block's
// size in bytes; 0 for an unknown target or an empty picture.
uint32_t ColorConvert_TargetLayout(uint32_t targetFourcc, uint32_t depth, int width, int height,
                                   int* stride);

// Converts a planar 4:2:0 picture into the target's layout at dst with
// pitch dstStride. Rows and columns go in pairs as above: an odd last row or
// column of a packed or RGB target is left as it was.
// 0 when done; 0 and nothing written for a source format of 0;
// 0x80000000 for an unknown target, a null or empty picture or destination,
// or a target size other than the source size (there is no scaler: the
// destination is left as it was rather than filled from an unscaled
// picture).
int32_t ColorConvert_Dispatch(uint32_t sourceFourcc, const PlanarPicture* src, int srcWidth,
                              int srcHeight, uint32_t targetFourcc, uint32_t targetDepth,
                              uint8_t* dst, int dstStride, int dstWidth, int dstHeight);

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
