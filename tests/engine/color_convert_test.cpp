// Colour conversion routines.
#include "engine/output/color_convert.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
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

// ---- the dispatch, against a plain per-pixel reference

const uint8_t kCanary = 0xA5;

uint8_t Clamp(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// A planar 4:2:0 picture with padded rows (stride > width) and pseudo-random
// samples, so that a plane or row mix-up shows.
struct Source {
    int w, h, stride;
    std::vector<uint8_t> y, u, v;
    Source(int w_, int h_) : w(w_), h(h_), stride(w_ + 6) {
        y.assign(size_t(stride) * h, 0);
        u.assign(size_t(stride / 2) * (h / 2 > 0 ? h / 2 : 1), 0);
        v.assign(u.size(), 0);
        uint32_t s = 0x1234567u + uint32_t(w * 131 + h);
        auto next = [&s] {
            s = s * 1103515245u + 12345u;
            return uint8_t(s >> 16);
        };
        for (auto& b : y) b = next();
        for (auto& b : u) b = next();
        for (auto& b : v) b = next();
    }
    PlanarPicture Pic() const { return {y.data(), u.data(), v.data(), stride}; }
    int Y(int x, int r) const { return y[size_t(r) * stride + x]; }
    int U(int x, int r) const { return u[size_t(r / 2) * (stride / 2) + x / 2]; }
    int V(int x, int r) const { return v[size_t(r / 2) * (stride / 2) + x / 2]; }
};

// What the target holds at byte `i` of row `r`, or -1 where the conversion
// must leave the canary (an odd last row or column has no chroma sample).
int Expected(const Source& s, uint32_t target, uint32_t depth, int stride, int r, int i) {
    const int w = s.w, h = s.h;
    const int pw = w & ~1, ph = h & ~1;  // the part covered by whole chroma samples
    if (target == COLOR_FOURCC_RGB) {
        const int bpp = depth == 32 ? 4 : depth == 24 ? 3 : 2;
        if (r >= h) return -1;
        const int x = i / bpp, k = i % bpp;
        if (x >= pw || r >= ph) return -1;
        const int yy = s.Y(x, r) * 64, cu = s.U(x, r) - 128, cv = s.V(x, r) - 128;
        const int R = Clamp((yy + 101 * cv) >> 6), G = Clamp((yy - (12 * cu + 30 * cv)) >> 6),
                  B = Clamp((yy + 119 * cu) >> 6);
        if (bpp == 2) {
            const int px = (R & 0xF8) << 8 | (G << 3 & 0x7E0) | B >> 3;
            return k == 0 ? (px & 0xFF) : (px >> 8);
        }
        const int bgr0[4] = {B, G, R, 0};
        return bgr0[k];
    }
    if (target == COLOR_FOURCC_YUY2 || target == COLOR_FOURCC_UYVY || target == COLOR_FOURCC_YVYU) {
        if (r >= h || i >= 2 * w) return -1;
        const int x = (i / 4) * 2, k = i % 4;
        if (x >= pw || r >= ph) return -1;
        const char* order = target == COLOR_FOURCC_YUY2   ? "YUyV"
                            : target == COLOR_FOURCC_UYVY ? "UYVy"
                                                          : "YVyU";
        switch (order[k]) {
            case 'Y': return s.Y(x, r);
            case 'y': return s.Y(x + 1, r);
            case 'U': return s.U(x, r);
            default: return s.V(x, r);
        }
    }
    // Planar: luma rows, then two chroma planes at half the pitch.
    const int cs = stride / 2, ch = h / 2, cw = w / 2;
    if (r < h) return i < w ? s.Y(i, r) : -1;
    const size_t off = size_t(r - h) * stride + i;  // byte offset after the luma plane
    const size_t plane = off / (size_t(cs) * ch);
    const size_t in = off % (size_t(cs) * ch);
    const int cr = int(in / cs), cx = int(in % cs);
    if (plane > 1 || cx >= cw || cr >= ch) return -1;
    const bool firstIsU = target == COLOR_FOURCC_I420;
    const bool isU = (plane == 0) == firstIsU;
    return isU ? s.U(2 * cx, 2 * cr) : s.V(2 * cx, 2 * cr);
}

TEST(ColorConvertDispatch, EveryTargetAndSizeMatchesTheReference) {
    struct Target {
        const char* name;
        uint32_t fourcc, depth;
    } targets[] = {
        {"rgb565", COLOR_FOURCC_RGB, 16}, {"rgb24", COLOR_FOURCC_RGB, 24},
        {"rgb32", COLOR_FOURCC_RGB, 32},  {"rgb other depth is 565", COLOR_FOURCC_RGB, 8},
        {"YUY2", COLOR_FOURCC_YUY2, 0},   {"UYVY", COLOR_FOURCC_UYVY, 0},
        {"YVYU", COLOR_FOURCC_YVYU, 0},   {"I420", COLOR_FOURCC_I420, 0},
        {"YV12", COLOR_FOURCC_YV12, 0},
    };
    struct Size {
        int w, h;
    } sizes[] = {{16, 16}, {8, 2}, {176, 144}, {13, 7}, {33, 18}, {10, 5}, {2, 1}, {1, 1}, {7, 3}};
    for (const Target& t : targets)
        for (const Size& z : sizes) {
            SCOPED_TRACE(std::string(t.name) + " " + std::to_string(z.w) + "x" +
                         std::to_string(z.h));
            Source src(z.w, z.h);
            int stride = 0;
            uint32_t size = ColorConvert_TargetLayout(t.fourcc, t.depth, z.w, z.h, &stride);
            ASSERT_GT(size, 0u);
            // A trailing guard band catches writes past the block.
            std::vector<uint8_t> dst(size + 64, kCanary);
            PlanarPicture p = src.Pic();
            ASSERT_EQ(0, ColorConvert_Dispatch(COLOR_FOURCC_I420, &p, z.w, z.h, t.fourcc, t.depth,
                                               dst.data(), stride, z.w, z.h));
            int bad = 0;
            for (uint32_t i = 0; i < dst.size() && bad < 5; ++i) {
                const int r = int(i / uint32_t(stride)), b = int(i % uint32_t(stride));
                const int want = i < size ? Expected(src, t.fourcc, t.depth, stride, r, b) : -1;
                const int got = dst[i];
                if (want < 0 ? got != kCanary : got != want) {
                    ++bad;
                    ADD_FAILURE() << "byte " << i << " (row " << r << ", " << b << "): got " << got
                                  << ", want " << (want < 0 ? kCanary : want);
                }
            }
        }
}

TEST(ColorConvertDispatch, RefusalsLeaveTheDestination) {
    Source src(8, 4);
    PlanarPicture p = src.Pic();
    PlanarPicture noV = p;
    noV.v = nullptr;
    const uint32_t kUnknown = 'R' | ('G' << 8) | ('B' << 16) | ('A' << 24);
    const int32_t kFail = static_cast<int32_t>(0x80000000u);
    struct Case {
        const char* name;
        uint32_t source;
        const PlanarPicture* pic;
        uint32_t target;
        int dstW, dstH, stride;
        int32_t result;
    } cases[] = {
        {"source format 0 converts nothing", 0, &p, COLOR_FOURCC_RGB, 8, 4, 32, 0},
        {"unknown target", COLOR_FOURCC_I420, &p, kUnknown, 8, 4, 32, kFail},
        {"other width: no scaler", COLOR_FOURCC_I420, &p, COLOR_FOURCC_RGB, 16, 4, 32, kFail},
        {"other height: no scaler", COLOR_FOURCC_I420, &p, COLOR_FOURCC_YUY2, 8, 2, 32, kFail},
        {"missing plane", COLOR_FOURCC_I420, &noV, COLOR_FOURCC_I420, 8, 4, 32, kFail},
        {"no picture", COLOR_FOURCC_I420, nullptr, COLOR_FOURCC_YV12, 8, 4, 32, kFail},
        {"pitch below a row", COLOR_FOURCC_I420, &p, COLOR_FOURCC_RGB, 8, 4, 8, kFail},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> dst(256, kCanary);
        EXPECT_EQ(c.result, ColorConvert_Dispatch(c.source, c.pic, 8, 4, c.target, 32, dst.data(),
                                                  c.stride, c.dstW, c.dstH));
        for (size_t i = 0; i < dst.size(); ++i) ASSERT_EQ(kCanary, dst[i]) << i;
    }
    EXPECT_EQ(0u, ColorConvert_TargetLayout(kUnknown, 0, 8, 4, nullptr));
    EXPECT_EQ(0u, ColorConvert_TargetLayout(COLOR_FOURCC_RGB, 32, 0, 4, nullptr));
}

}  // namespace
