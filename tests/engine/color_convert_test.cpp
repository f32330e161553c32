// Colour conversion routines.
#include "engine/output/color_convert.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A packed 4:2:2 picture whose luma is 10 + x + 16 y and whose chroma per
// row is given.
std::vector<uint8_t> Packed(const char* order, int w, int h, const std::vector<int>& uPerRow,
                            const std::vector<int>& vPerRow) {
    std::vector<uint8_t> p(size_t(2 * w * h));
    for (int r = 0; r < h; ++r)
        for (int x = 0; x < w; x += 2) {
            uint8_t* g = &p[size_t(r) * 2 * w + 2 * x];
            uint8_t vals[4];
            for (int k = 0; k < 4; ++k) {
                char c = order[k];
                if (c == 'Y') vals[k] = uint8_t(10 + x + 16 * r + (k >= 2 ? 1 : 0));
                if (c == 'y') vals[k] = uint8_t(10 + x + 16 * r + 1);
                if (c == 'U') vals[k] = uint8_t(uPerRow[size_t(r)]);
                if (c == 'V') vals[k] = uint8_t(vPerRow[size_t(r)]);
            }
            memcpy(g, vals, 4);
        }
    return p;
}

TEST(ColorConvert, PackedToI420) {
    typedef void (*Fn)(uint8_t*, const uint8_t*, int, int);
    struct Row {
        const char* name;
        const char* order;  // Y first luma, y second luma
        Fn fn;
        std::vector<int> u, v;
        int expectU, expectV;  // chroma of the first row pair
    } rows[] = {
        {"YUY2 takes even rows",
         "YUyV",
         ColorConvert_YUY2ToI420,
         {40, 200, 60, 60},
         {90, 10, 70, 70},
         40,
         90},
        {"UYVY averages row pairs",
         "UYVy",
         ColorConvert_UYVYToI420,
         {255, 0, 60, 60},
         {10, 21, 70, 70},
         127,
         15},
        {"YVYU averages row pairs",
         "YVyU",
         ColorConvert_YVYUToI420,
         {100, 50, 60, 60},
         {3, 4, 70, 70},
         75,
         3},
    };
    const int w = 8, h = 4;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        std::vector<uint8_t> src = Packed(r.order, w, h, r.u, r.v);
        std::vector<uint8_t> dst(size_t(w * h * 3 / 2), 0xEE);
        r.fn(dst.data(), src.data(), w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                EXPECT_EQ(dst[size_t(y * w + x)], 10 + (x & ~1) + 16 * y + (x & 1))
                    << x << "," << y;
        const uint8_t* u = &dst[size_t(w * h)];
        const uint8_t* v = u + w * h / 4;
        for (int x = 0; x < w / 2; ++x) {
            EXPECT_EQ(u[x], r.expectU);
            EXPECT_EQ(v[x], r.expectV);
            EXPECT_EQ(u[w / 2 + x], 60);
            EXPECT_EQ(v[w / 2 + x], 70);
        }
    }
}

TEST(ColorConvert, HeightOneWritesNoChroma) {
    std::vector<uint8_t> src = Packed("UYVy", 8, 1, {9}, {9});
    std::vector<uint8_t> dst(64, 0xEE);
    ColorConvert_UYVYToI420(dst.data(), src.data(), 8, 1);
    // Whole row pairs only: a single row writes nothing at all.
    for (size_t i = 0; i < dst.size(); ++i) EXPECT_EQ(dst[i], 0xEE) << i;
}

TEST(ColorConvert, I420ToPackedRoundTrip) {
    const int w = 8, h = 4;
    std::vector<uint8_t> y(size_t(w * h)), u(size_t(w * h / 4)), v(size_t(w * h / 4));
    for (size_t i = 0; i < y.size(); ++i) y[i] = uint8_t(i * 3);
    for (size_t i = 0; i < u.size(); ++i) {
        u[i] = uint8_t(100 + i);
        v[i] = uint8_t(200 - i);
    }
    PlanarPicture p = {y.data(), u.data(), v.data(), w};
    std::vector<uint8_t> packed(size_t(2 * w * h)), back(size_t(w * h * 3 / 2));
    ColorConvert_I420ToUYVY(packed.data(), 2 * w, &p, w, h);
    ColorConvert_UYVYToI420(back.data(), packed.data(), w, h);
    EXPECT_EQ(memcmp(back.data(), y.data(), y.size()), 0);
    EXPECT_EQ(memcmp(back.data() + y.size(), u.data(), u.size()), 0);
    EXPECT_EQ(memcmp(back.data() + y.size() + u.size(), v.data(), v.size()), 0);
    // YV12 exchanges the chroma planes.
    std::vector<uint8_t> yv(size_t(w * h * 3 / 2));
    ColorConvert_I420ToYV12(yv.data(), yv.data() + w * h, yv.data() + w * h * 5 / 4, w, &p, w, h);
    EXPECT_EQ(memcmp(yv.data() + w * h, v.data(), v.size()), 0);
}

TEST(ColorConvert, YuvToRgb) {
    struct Row {
        const char* name;
        uint8_t y, u, v;
        uint8_t r, g, b;
    } rows[] = {{"black", 0, 128, 128, 0, 0, 0},
                {"white", 255, 128, 128, 255, 255, 255},
                {"red clamps", 128, 128, 255, 255, 68, 128},
                {"blue", 100, 200, 128, 100, 86, 233}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const int w = 8, h = 2;
        std::vector<uint8_t> y(size_t(w * h), r.y), u(4, r.u), v(4, r.v);
        PlanarPicture p = {y.data(), u.data(), v.data(), w};
        std::vector<uint8_t> out32(size_t(w * h * 4)), out24(size_t(w * h * 3)),
            out16(size_t(w * h * 2));
        ColorConvert_PlanarToRgb(out32.data(), w * 4, 32, &p, w, h);
        ColorConvert_PlanarToRgb(out24.data(), w * 3, 24, &p, w, h);
        ColorConvert_PlanarToRgb(out16.data(), w * 2, 7, &p, w, h);  // unknown depth: 16
        for (int i = 0; i < w * h; ++i) {
            EXPECT_EQ(out32[size_t(4 * i)], r.b);
            EXPECT_EQ(out32[size_t(4 * i + 1)], r.g);
            EXPECT_EQ(out32[size_t(4 * i + 2)], r.r);
            EXPECT_EQ(out32[size_t(4 * i + 3)], 0);
            EXPECT_EQ(out24[size_t(3 * i)], r.b);
            EXPECT_EQ(out24[size_t(3 * i + 2)], r.r);
            uint16_t px;
            memcpy(&px, &out16[size_t(2 * i)], 2);
            EXPECT_EQ(px, uint16_t((r.r & 0xF8) << 8 | (r.g << 3 & 0x7E0) | r.b >> 3));
        }
    }
}

TEST(ColorConvert, RgbToI420) {
    // White and black 565 pixels: Y 255*... and neutral chroma.
    std::vector<uint16_t> white(16, 0xFFFF);
    std::vector<uint8_t> out(24);
    Rgb565ToI420(out.data(), white.data(), 4, 4);
    EXPECT_EQ(out[0], (77 * 248 + 150 * 252 + 29 * 248) / 256);
    EXPECT_EQ(out[16], (112 * 248 - 74 * 252 - 38 * 248) / 256 + 128);
    // Pure green drives V below 0: it stays at 0 instead of wrapping.
    std::vector<uint16_t> green(16, 0x07E0);
    Rgb565ToI420(out.data(), green.data(), 4, 4);
    EXPECT_EQ(out[20], 0);
    std::vector<uint8_t> bgr(4 * 4 * 3, 0);
    bgr[0] = 255;  // bottom-up: the first stored row is the last picture row
    Rgb24ToI420(out.data(), bgr.data(), 4, 4);
    EXPECT_EQ(out[12], (18 * 255) / 256);
    EXPECT_EQ(out[0], 0);
}

TEST(ColorConvert, PlanarHelpers) {
    const int w = 8, h = 8;
    std::vector<uint8_t> src(size_t(w * h * 3 / 2));
    for (size_t i = 0; i < src.size(); ++i) src[i] = uint8_t(i);
    std::vector<uint8_t> swapped(src.size());
    ColorConvert_SwapChromaPlanes(swapped.data(), src.data(), w, h);
    EXPECT_EQ(swapped[size_t(w * h)], src[size_t(w * h + 16)]);
    std::vector<uint8_t> p410(size_t(w * h + 2 * 4)), back(src.size());
    ColorConvert_Planar420To410(p410.data(), src.data(), w, h);
    EXPECT_EQ(p410[size_t(w * h)], (64 + 65 + 68 + 69) >> 2);
    ColorConvert_Planar410To420(back.data(), p410.data(), w, h);
    EXPECT_EQ(back[size_t(w * h + 1)], p410[size_t(w * h)]);
    uint8_t plane[8] = {10, 20, 30, 40, 50, 60, 70, 80};
    ColorConvert_HalveChromaBoth(plane, 4, 2);
    EXPECT_EQ(plane[0], (((10 + 50) >> 1) + ((20 + 60) >> 1)) >> 1);
}

}  // namespace
