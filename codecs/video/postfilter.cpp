// Optional deblocking post-filter for display pictures.
#include "codecs/video/m4v_internal.h"

static inline uint8_t Clip(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// Filters one position across an edge: p points at a1 (first pixel after the
// edge); step is the distance between pixels across the edge.
void M4vDeblockEdge(uint8_t* p, int step, int qp) {
    int b3 = p[-3 * step], b2 = p[-2 * step], b1 = p[-step];
    int a1 = p[0], a2 = p[step], a3 = p[2 * step];
    int d = b1 - a1;
    int g = d - b2 + a2;
    if (g < 0) g = -g;
    if (d < -2 * qp) d = -2 * qp;
    if (d > 2 * qp) d = 2 * qp;
    if (2 * g >= qp) {
        int t = (3 * d + 8) >> 4;
        p[-step] = Clip(b1 - t);
        p[0] = Clip(a1 + t);
    } else if (8 * g < qp) {
        int s = d >> 3, t = (5 * d + 8) >> 4;
        p[-step] = Clip(b1 - s - t);
        p[0] = Clip(a1 + s + t);
        p[-2 * step] = Clip(b2 - t);
        p[step] = Clip(a2 + t);
        p[-3 * step] = Clip(b3 - t + s);
        p[2 * step] = Clip(a3 + t - s);
    } else {
        int t = (3 * d + 4) >> 3;
        p[-2 * step] = uint8_t((b2 + b1 + 1) >> 1);
        p[step] = uint8_t((a2 + a1 + 1) >> 1);
        p[-step] = Clip(b1 - t);
        p[0] = Clip(a1 + t);
    }
}

// One plane: blk is the block size in the quantiser grid (16 for luma, where
// one quantiser covers two 8-pixel blocks; 8 for chroma).
static void FilterPlane(const uint8_t* src, uint8_t* dst, int stride, int w, int h,
                        const uint8_t* q, int mbw, int blk, int inPlace) {
    if (w < 8 || h < 8) {
        if (!inPlace)
            for (int y = 0; y < h; ++y) memcpy(dst + y * stride, src + y * stride, size_t(w));
        return;
    }
    for (int sy = 0; sy < h; sy += 8) {
        int rows = h - sy < 8 ? h - sy : 8;
        if (!inPlace)
            for (int y = sy; y < sy + rows; ++y)
                memcpy(dst + y * stride, src + y * stride, size_t(w));
        for (int x = 8; x + 8 <= w; x += 8) {
            int qp = q[(sy / blk) * mbw + x / blk];
            for (int y = sy; y < sy + rows; ++y) M4vDeblockEdge(dst + y * stride + x, 1, qp);
        }
        if (sy > 0)
            for (int x = 0; x + 8 <= w; x += 8) {
                int qp = q[(sy / blk) * mbw + x / blk];
                for (int i = 0; i < 8; ++i) M4vDeblockEdge(dst + sy * stride + x + i, stride, qp);
            }
    }
}

void M4vPostFilterPicture(Mp4vDecoder* d, const FrameRec* src, FrameRec* dst, int isB,
                          const uint8_t* q) {
    int w = d->layoutW, h = d->layoutH, s = d->stride;
    int inPlace = isB || src == dst;
    FilterPlane(src->y, dst->y, s, w, h, q, d->mbw, 16, inPlace);
    // An odd width or height still has its last chroma column and row.
    int cw = (w + 1) / 2, ch = (h + 1) / 2;
    FilterPlane(src->u, dst->u, s / 2, cw, ch, q, d->mbw, 8, inPlace);
    FilterPlane(src->v, dst->v, s / 2, cw, ch, q, d->mbw, 8, inPlace);
}
