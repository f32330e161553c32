// Colour conversion routines; plain C++ that any compiler vectorises.
#include "engine/output/color_convert.h"

#include <cstring>

namespace {

inline uint8_t Clamp255(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// Row-pair packed 4:2:2 to I420; uo and vo are the byte offsets of U and V
// in a four-byte group, y0o and y1o those of the two luma samples.
void PackedPairsToI420(uint8_t* dst, const uint8_t* src, int w, int h, int y0o, int y1o, int uo,
                       int vo) {
    uint8_t* dy = dst;
    uint8_t* du = dst + w * h;
    uint8_t* dv = du + (w * h) / 4;
    int cw = w / 2;
    for (int r = 0; r + 1 < h; r += 2) {
        const uint8_t* s0 = src + size_t(r) * 2 * w;
        const uint8_t* s1 = s0 + 2 * w;
        uint8_t* y0 = dy + size_t(r) * w;
        uint8_t* y1 = y0 + w;
        uint8_t* u = du + size_t(r / 2) * cw;
        uint8_t* v = dv + size_t(r / 2) * cw;
        for (int x = 0; x < cw; ++x) {
            const uint8_t* a = s0 + 4 * x;
            const uint8_t* b = s1 + 4 * x;
            y0[2 * x] = a[y0o];
            y0[2 * x + 1] = a[y1o];
            y1[2 * x] = b[y0o];
            y1[2 * x + 1] = b[y1o];
            u[x] = uint8_t((a[uo] + b[uo]) / 2);
            v[x] = uint8_t((a[vo] + b[vo]) / 2);
        }
    }
}

void PlaneCopy(uint8_t* d, int ds, const uint8_t* s, int ss, int w, int h) {
    if (w == ds && w == ss) {
        memcpy(d, s, size_t(w) * h);
        return;
    }
    for (int r = 0; r < h; ++r) memcpy(d + size_t(r) * ds, s + size_t(r) * ss, size_t(w));
}

// Whole row pairs only: the chroma plane has h / 2 rows, so an odd last
// row has no chroma of its own.
void ToPacked(uint8_t* dst, int ds, const PlanarPicture* p, int w, int h, int y0o, int y1o, int uo,
              int vo) {
    int cs = p->stride / 2;
    for (int r = 0; r < (h & ~1); ++r) {
        const uint8_t* y = p->y + size_t(r) * p->stride;
        const uint8_t* u = p->u + size_t(r / 2) * cs;
        const uint8_t* v = p->v + size_t(r / 2) * cs;
        uint8_t* d = dst + size_t(r) * ds;
        for (int x = 0; x + 1 < w; x += 2) {
            d[2 * x + y0o] = y[x];
            d[2 * x + y1o] = y[x + 1];
            d[2 * x + uo] = u[x / 2];
            d[2 * x + vo] = v[x / 2];
        }
    }
}

struct Rgb {
    int r, g, b;
};

inline Rgb YuvToRgb(int y, int u, int v) {
    int yy = y * 64;
    return {Clamp255((yy + 101 * v) >> 6), Clamp255((yy - (12 * u + 30 * v)) >> 6),
            Clamp255((yy + 119 * u) >> 6)};
}

template <int kBytes, int kBits>
inline void Store(uint8_t* d, Rgb c) {
    if (kBytes == 2) {
        uint16_t p;
        if (kBits == 16)
            p = uint16_t((c.r & 0xF8) << 8 | (c.g << 3 & 0x7E0) | c.b >> 3);
        else
            p = uint16_t((c.r & 0xF8) << 7 | (c.g << 2 & 0x3E0) | c.b >> 3);
        memcpy(d, &p, 2);
    } else {
        d[0] = uint8_t(c.b);
        d[1] = uint8_t(c.g);
        d[2] = uint8_t(c.r);
        if (kBytes == 4) d[3] = 0;
    }
}

template <int kBytes, int kBits>
void Kernel(uint8_t* d0, uint8_t* d1, const uint8_t* y0, const uint8_t* y1, const uint8_t* u,
            const uint8_t* v, int width) {
    // Column pairs: each chroma sample serves two pixels of both rows.
    for (int x = 0; x + 2 <= width; x += 2) {
        int cu = int16_t(u[x / 2] - 128), cv = int16_t(v[x / 2] - 128);
        for (int j = 0; j < 2; ++j) {
            int i = x + j;
            Store<kBytes, kBits>(d0 + i * kBytes, YuvToRgb(y0[i], cu, cv));
            Store<kBytes, kBits>(d1 + i * kBytes, YuvToRgb(y1[i], cu, cv));
        }
    }
}

typedef void (*KernelFn)(uint8_t*, uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*,
                         const uint8_t*, int);

void Drive(KernelFn k, uint8_t* dst, int ds, const PlanarPicture* p, int w, int h) {
    const uint8_t* y = p->y;
    const uint8_t* u = p->u;
    const uint8_t* v = p->v;
    for (int r = 0; r < h / 2; ++r) {
        k(dst, dst + ds, y, y + p->stride, u, v, w);
        dst += 2 * ds;
        y += 2 * p->stride;
        u += p->stride / 2;
        v += p->stride / 2;
    }
}

}  // namespace

void ColorConvert_YUY2ToI420(uint8_t* dst, const uint8_t* src, int w, int h) {
    uint8_t* u = dst + w * h;
    uint8_t* v = u + (w * h) / 4;
    int cw = w / 2;
    for (int r = 0; r < h; ++r) {
        const uint8_t* s = src + size_t(r) * 2 * w;
        uint8_t* y = dst + size_t(r) * w;
        for (int x = 0; x < cw; ++x) {
            y[2 * x] = s[4 * x];
            y[2 * x + 1] = s[4 * x + 2];
        }
        // Chroma from the even rows only.
        if (!(r & 1) && r + 1 < h) {
            for (int x = 0; x < cw; ++x) {
                *u++ = s[4 * x + 1];
                *v++ = s[4 * x + 3];
            }
        }
    }
}

void ColorConvert_UYVYToI420(uint8_t* dst, const uint8_t* src, int w, int h) {
    PackedPairsToI420(dst, src, w, h, 1, 3, 0, 2);
}

void ColorConvert_YVYUToI420(uint8_t* dst, const uint8_t* src, int w, int h) {
    PackedPairsToI420(dst, src, w, h, 0, 2, 3, 1);
}

void ColorConvert_I420ToI420(uint8_t* dy, uint8_t* du, uint8_t* dv, int ds, const PlanarPicture* s,
                             int w, int h) {
    PlaneCopy(dy, ds, s->y, s->stride, w, h);
    PlaneCopy(du, ds / 2, s->u, s->stride / 2, w / 2, h / 2);
    PlaneCopy(dv, ds / 2, s->v, s->stride / 2, w / 2, h / 2);
}

void ColorConvert_I420ToYV12(uint8_t* dy, uint8_t* du, uint8_t* dv, int ds, const PlanarPicture* s,
                             int w, int h) {
    ColorConvert_I420ToI420(dy, dv, du, ds, s, w, h);
}

void ColorConvert_I420ToYUY2(uint8_t* d, int ds, const PlanarPicture* s, int w, int h) {
    ToPacked(d, ds, s, w, h, 0, 2, 1, 3);
}
void ColorConvert_I420ToUYVY(uint8_t* d, int ds, const PlanarPicture* s, int w, int h) {
    ToPacked(d, ds, s, w, h, 1, 3, 0, 2);
}
void ColorConvert_I420ToYVYU(uint8_t* d, int ds, const PlanarPicture* s, int w, int h) {
    ToPacked(d, ds, s, w, h, 0, 2, 3, 1);
}

void YuvToRgbKernel565(uint8_t* d0, uint8_t* d1, const uint8_t* y0, const uint8_t* y1,
                       const uint8_t* u, const uint8_t* v, int w) {
    Kernel<2, 16>(d0, d1, y0, y1, u, v, w);
}
void YuvToRgbKernel555(uint8_t* d0, uint8_t* d1, const uint8_t* y0, const uint8_t* y1,
                       const uint8_t* u, const uint8_t* v, int w) {
    Kernel<2, 15>(d0, d1, y0, y1, u, v, w);
}
void YuvToRgbKernel24(uint8_t* d0, uint8_t* d1, const uint8_t* y0, const uint8_t* y1,
                      const uint8_t* u, const uint8_t* v, int w) {
    Kernel<3, 24>(d0, d1, y0, y1, u, v, w);
}
void YuvToRgbKernel32(uint8_t* d0, uint8_t* d1, const uint8_t* y0, const uint8_t* y1,
                      const uint8_t* u, const uint8_t* v, int w) {
    Kernel<4, 32>(d0, d1, y0, y1, u, v, w);
}

void ColorConvert_I420ToRgb565(uint8_t* d, int ds, const PlanarPicture* s, int w, int h) {
    Drive(YuvToRgbKernel565, d, ds, s, w, h);
}
void ColorConvert_I420ToRgb555(uint8_t* d, int ds, const PlanarPicture* s, int w, int h) {
    Drive(YuvToRgbKernel555, d, ds, s, w, h);
}
void ColorConvert_I420ToRgb24(uint8_t* d, int ds, const PlanarPicture* s, int w, int h) {
    Drive(YuvToRgbKernel24, d, ds, s, w, h);
}
void ColorConvert_I420ToRgb32(uint8_t* d, int ds, const PlanarPicture* s, int w, int h) {
    Drive(YuvToRgbKernel32, d, ds, s, w, h);
}

void ColorConvert_PlanarToRgb(uint8_t* d, int ds, int depth, const PlanarPicture* s, int w, int h) {
    if (depth == 32)
        ColorConvert_I420ToRgb32(d, ds, s, w, h);
    else if (depth == 24)
        ColorConvert_I420ToRgb24(d, ds, s, w, h);
    else
        ColorConvert_I420ToRgb565(d, ds, s, w, h);
}

void ColorConvert_None(void) {}
void ColorConvert_Scale(void) {}

namespace {

const int32_t kDispatchFail = static_cast<int32_t>(0x80000000u);

int RgbBytes(uint32_t depth) { return depth == 32 ? 4 : depth == 24 ? 3 : 2; }

bool IsPacked(uint32_t f) {
    return f == COLOR_FOURCC_YUY2 || f == COLOR_FOURCC_UYVY || f == COLOR_FOURCC_YVYU;
}
bool IsPlanar(uint32_t f) { return f == COLOR_FOURCC_I420 || f == COLOR_FOURCC_YV12; }

}  // namespace

uint32_t ColorConvert_TargetLayout(uint32_t target, uint32_t depth, int w, int h, int* stride) {
    if (stride) *stride = 0;
    if (w <= 0 || h <= 0) return 0;
    size_t pitch, size;
    if (target == COLOR_FOURCC_RGB) {
        pitch = (size_t(w) * RgbBytes(depth) + 3) & ~size_t(3);  // DIB rows: whole words
        size = pitch * size_t(h);
    } else if (IsPacked(target)) {
        pitch = size_t(w) * 2;
        size = pitch * size_t(h);
    } else if (IsPlanar(target)) {
        pitch = (size_t(w) + 1) & ~size_t(1);  // chroma pitch pitch / 2 holds w / 2
        size = pitch * size_t(h) + 2 * (pitch / 2) * size_t(h / 2);
    } else {
        return 0;
    }
    if (size > 0x7FFFFFFFu) return 0;
    if (stride) *stride = static_cast<int>(pitch);
    return static_cast<uint32_t>(size);
}

int32_t ColorConvert_Dispatch(uint32_t source, const PlanarPicture* src, int sw, int sh,
                              uint32_t target, uint32_t depth, uint8_t* dst, int ds, int dw,
                              int dh) {
    if (source == 0) {
        ColorConvert_None();
        return 0;
    }
    if (!src || !src->y || !src->u || !src->v || !dst || sw <= 0 || sh <= 0) return kDispatchFail;
    if (src->stride < sw) return kDispatchFail;
    if (dw != sw || dh != sh) return kDispatchFail;
    if (target == COLOR_FOURCC_RGB) {
        if (ds < sw * RgbBytes(depth)) return kDispatchFail;
        ColorConvert_PlanarToRgb(dst, ds, static_cast<int>(depth), src, sw, sh);
        return 0;
    }
    if (IsPacked(target)) {
        if (ds < 2 * sw) return kDispatchFail;
        if (target == COLOR_FOURCC_YUY2)
            ColorConvert_I420ToYUY2(dst, ds, src, sw, sh);
        else if (target == COLOR_FOURCC_UYVY)
            ColorConvert_I420ToUYVY(dst, ds, src, sw, sh);
        else
            ColorConvert_I420ToYVYU(dst, ds, src, sw, sh);
        return 0;
    }
    if (IsPlanar(target)) {
        if (ds < sw || ds / 2 < sw / 2) return kDispatchFail;
        uint8_t* c0 = dst + size_t(ds) * sh;
        uint8_t* c1 = c0 + size_t(ds / 2) * (sh / 2);
        if (target == COLOR_FOURCC_I420)
            ColorConvert_I420ToI420(dst, c0, c1, ds, src, sw, sh);
        else
            ColorConvert_I420ToYV12(dst, c0, c1, ds, src, sw, sh);  // V lands first
        return 0;
    }
    return kDispatchFail;
}

void ColorConvert_SwapChromaPlanes(uint8_t* dst, const uint8_t* src, int w, int h) {
    size_t ys = size_t(w) * h, cs = ys / 4;
    memcpy(dst, src, ys);
    memcpy(dst + ys, src + ys + cs, cs);
    memcpy(dst + ys + cs, src + ys, cs);
}

void ColorConvert_UYVYToI422(uint8_t* dst, const uint8_t* src, int w, int h) {
    uint8_t* u = dst + size_t(w) * h;
    uint8_t* v = u + size_t(w / 2) * h;
    for (int r = 0; r < h; ++r) {
        const uint8_t* s = src + size_t(r) * 2 * w;
        uint8_t* y = dst + size_t(r) * w;
        for (int x = 0; x < w / 2; ++x) {
            u[size_t(r) * (w / 2) + x] = s[4 * x];
            y[2 * x] = s[4 * x + 1];
            v[size_t(r) * (w / 2) + x] = s[4 * x + 2];
            y[2 * x + 1] = s[4 * x + 3];
        }
    }
}

void ColorConvert_Planar420To410(uint8_t* dst, const uint8_t* src, int w, int h) {
    size_t ys = size_t(w) * h;
    memcpy(dst, src, ys);
    int cw = w / 2, ch = h / 2, qw = w / 4, qh = h / 4;
    for (int p = 0; p < 2; ++p) {
        const uint8_t* s = src + ys + size_t(p) * cw * ch;
        uint8_t* d = dst + ys + size_t(p) * qw * qh;
        for (int r = 0; r < qh; ++r)
            for (int x = 0; x < qw; ++x) {
                const uint8_t* a = s + size_t(2 * r) * cw + 2 * x;
                d[size_t(r) * qw + x] = uint8_t((a[0] + a[1] + a[cw] + a[cw + 1]) >> 2);
            }
    }
}

void ColorConvert_Planar410To420(uint8_t* dst, const uint8_t* src, int w, int h) {
    size_t ys = size_t(w) * h;
    memcpy(dst, src, ys);
    int cw = w / 2, ch = h / 2, qw = w / 4, qh = h / 4;
    for (int p = 0; p < 2; ++p) {
        const uint8_t* s = src + ys + size_t(p) * qw * qh;
        uint8_t* d = dst + ys + size_t(p) * cw * ch;
        for (int r = 0; r < ch; ++r)
            for (int x = 0; x < cw; ++x) {
                int sr = r / 2 < qh ? r / 2 : qh - 1, sx = x / 2 < qw ? x / 2 : qw - 1;
                d[size_t(r) * cw + x] = (qw > 0 && qh > 0) ? s[size_t(sr) * qw + sx] : 128;
            }
    }
}

void ColorConvert_HalveChromaRows(uint8_t* p, int w, int h) {
    for (int r = 0; r < h / 2; ++r)
        for (int x = 0; x < w; ++x)
            p[size_t(r) * w + x] =
                uint8_t((p[size_t(2 * r) * w + x] + p[size_t(2 * r + 1) * w + x]) >> 1);
}

void ColorConvert_HalveChromaColumns(uint8_t* p, int w, int h) {
    int hw = w / 2;
    for (int r = 0; r < h; ++r)
        for (int x = 0; x < hw; ++x)
            p[size_t(r) * hw + x] =
                uint8_t((p[size_t(r) * w + 2 * x] + p[size_t(r) * w + 2 * x + 1]) >> 1);
}

void ColorConvert_HalveChromaBoth(uint8_t* p, int w, int h) {
    ColorConvert_HalveChromaRows(p, w, h);
    ColorConvert_HalveChromaColumns(p, w, h / 2);
}

void Rgb565ToI420(uint8_t* dst, const uint16_t* src, int w, int h) {
    uint8_t* du = dst + size_t(w) * h;
    uint8_t* dv = du + size_t(w) * h / 4;
    for (int r = 0; r < h; ++r)
        for (int x = 0; x < w; ++x) {
            uint16_t p = src[size_t(r) * w + x];
            int R = (p >> 11 & 31) << 3, G = (p >> 5 & 63) << 2, B = (p & 31) << 3;
            dst[size_t(r) * w + x] = uint8_t((77 * R + 150 * G + 29 * B) / 256);
            if (!(r & 1) && !(x & 1) && r + 1 < h + 1 && x / 2 < w / 2 && r / 2 < h / 2) {
                int U = (112 * B - 74 * G - 38 * R) / 256 + 128;
                int V = (157 * R - 132 * G - 26 * B) / 256 + 128;
                du[size_t(r / 2) * (w / 2) + x / 2] = Clamp255(U);
                dv[size_t(r / 2) * (w / 2) + x / 2] = uint8_t(V > 255 ? 255 : V < 0 ? 0 : V);
            }
        }
}

void Rgb24ToI420(uint8_t* dst, const uint8_t* src, int w, int h) {
    uint8_t* du = dst + size_t(w) * h;
    uint8_t* dv = du + size_t(w) * h / 4;
    for (int r = 0; r < h; ++r) {
        const uint8_t* row = src + size_t(h - 1 - r) * 3 * w;  // bottom-up
        for (int x = 0; x < w; ++x) {
            int B = row[3 * x], G = row[3 * x + 1], R = row[3 * x + 2];
            dst[size_t(r) * w + x] = uint8_t((54 * R + 183 * G + 18 * B) / 256);
            if (!(r & 1) && !(x & 1) && x / 2 < w / 2 && r / 2 < h / 2) {
                du[size_t(r / 2) * (w / 2) + x / 2] =
                    Clamp255((128 * B - 99 * G - 29 * R) / 256 + 128);
                dv[size_t(r / 2) * (w / 2) + x / 2] =
                    Clamp255((128 * R - 117 * G - 12 * B) / 256 + 128);
            }
        }
    }
}
