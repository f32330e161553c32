// Integer inverse DCT (Chen-Wang flow graph, 11-bit constants) with reduced
// forms chosen by the block's nonzero summary, fused with put/add stores.
#include "codecs/video/m4v_internal.h"

enum { W1 = 2841, W2 = 2676, W3 = 2408, W5 = 1609, W6 = 1108, W7 = 565 };

static inline uint8_t Clip255(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// Vertical 1-D transform of one column (stride 8), results >> 8.
static inline void ColFull(int16_t* c) {
    int x0 = c[0] * 2048 + 128, x1 = c[32] * 2048, x2 = c[48], x3 = c[16];
    int x4 = c[8], x5 = c[56], x6 = c[40], x7 = c[24], x8;
    x8 = W7 * (x4 + x5);
    x4 = x8 + (W1 - W7) * x4;
    x5 = x8 - (W1 + W7) * x5;
    x8 = W3 * (x6 + x7);
    x6 = x8 - (W3 - W5) * x6;
    x7 = x8 - (W3 + W5) * x7;
    x8 = x0 + x1;
    x0 -= x1;
    x1 = W6 * (x3 + x2);
    x2 = x1 - (W2 + W6) * x2;
    x3 = x1 + (W2 - W6) * x3;
    x1 = x4 + x6;
    x4 -= x6;
    x6 = x5 + x7;
    x5 -= x7;
    x7 = x8 + x3;
    x8 -= x3;
    x3 = x0 + x2;
    x0 -= x2;
    x2 = int((181 * int64_t(x4 + x5) + 128) >> 8);
    x4 = int((181 * int64_t(x4 - x5) + 128) >> 8);
    c[0] = int16_t((x7 + x1) >> 8);
    c[8] = int16_t((x3 + x2) >> 8);
    c[16] = int16_t((x0 + x4) >> 8);
    c[24] = int16_t((x8 + x6) >> 8);
    c[32] = int16_t((x8 - x6) >> 8);
    c[40] = int16_t((x0 - x4) >> 8);
    c[48] = int16_t((x3 - x2) >> 8);
    c[56] = int16_t((x7 - x1) >> 8);
}

// Horizontal 1-D transform of one row into eight outputs (>> 14).
static inline void RowFull(const int16_t* r, int* o) {
    int x0 = r[0] * 256 + 8192, x1 = r[4] * 256, x2 = r[6], x3 = r[2];
    int x4 = r[1], x5 = r[7], x6 = r[5], x7 = r[3], x8;
    x8 = W7 * (x4 + x5) + 4;
    x4 = (x8 + (W1 - W7) * x4) >> 3;
    x5 = (x8 - (W1 + W7) * x5) >> 3;
    x8 = W3 * (x6 + x7) + 4;
    x6 = (x8 - (W3 - W5) * x6) >> 3;
    x7 = (x8 - (W3 + W5) * x7) >> 3;
    x8 = x0 + x1;
    x0 -= x1;
    x1 = W6 * (x3 + x2) + 4;
    x2 = (x1 - (W2 + W6) * x2) >> 3;
    x3 = (x1 + (W2 - W6) * x3) >> 3;
    x1 = x4 + x6;
    x4 -= x6;
    x6 = x5 + x7;
    x5 -= x7;
    x7 = x8 + x3;
    x8 -= x3;
    x3 = x0 + x2;
    x0 -= x2;
    x2 = int((181 * int64_t(x4 + x5) + 128) >> 8);
    x4 = int((181 * int64_t(x4 - x5) + 128) >> 8);
    o[0] = (x7 + x1) >> 14;
    o[1] = (x3 + x2) >> 14;
    o[2] = (x0 + x4) >> 14;
    o[3] = (x8 + x6) >> 14;
    o[4] = (x8 - x6) >> 14;
    o[5] = (x0 - x4) >> 14;
    o[6] = (x3 - x2) >> 14;
    o[7] = (x7 - x1) >> 14;
}

void M4vIdct8x8(uint32_t summary, int16_t* block) {
    for (int c = 0; c < 8; ++c) {
        uint32_t cls = (summary >> (2 * c)) & 3;
        int16_t* col = block + c;
        if (cls == 0) {
            if (col[0]) {
                int v = col[0] * 8;
                for (int r = 0; r < 8; ++r) col[8 * r] = int16_t(v);
            }
        } else {
            ColFull(col);
        }
    }
}

// Row outputs of the second pass.
static inline void RowOut(const int16_t* r, uint32_t colClass, int* o) {
    if (colClass == 0) {
        int v = (r[0] + 32) >> 6;
        for (int i = 0; i < 8; ++i) o[i] = v;
    } else {
        RowFull(r, o);
    }
}

void M4vIdctPutPlain(uint8_t* dst, int16_t* block, int stride, uint32_t summary) {
    if (summary == 0) {
        uint8_t v = Clip255((block[0] + 4) >> 3);
        for (int r = 0; r < 8; ++r) memset(dst + r * stride, v, 8);
        return;
    }
    M4vIdct8x8(summary, block);
    uint32_t cc = (summary >> 16) & 3;
    for (int r = 0; r < 8; ++r) {
        int o[8];
        RowOut(block + 8 * r, cc, o);
        uint8_t* d = dst + r * stride;
        for (int i = 0; i < 8; ++i) d[i] = Clip255(o[i]);
    }
}

void M4vIdctAddPlain(uint8_t* dst, const uint8_t* pred, int16_t* block, int dstStride,
                     int predStride, uint32_t summary) {
    if (summary == 0) {
        int v = (block[0] + 4) >> 3;
        for (int r = 0; r < 8; ++r)
            for (int i = 0; i < 8; ++i)
                dst[r * dstStride + i] = Clip255(pred[r * predStride + i] + v);
        return;
    }
    M4vIdct8x8(summary, block);
    uint32_t cc = (summary >> 16) & 3;
    for (int r = 0; r < 8; ++r) {
        int o[8];
        RowOut(block + 8 * r, cc, o);
        uint8_t* d = dst + r * dstStride;
        const uint8_t* p = pred + r * predStride;
        for (int i = 0; i < 8; ++i) d[i] = Clip255(p[i] + o[i]);
    }
}

// The SSE2 twins where the processor has them.
static const int g_sse2 = M4vHaveSse2();

void M4vIdctPut(uint8_t* dst, int16_t* block, int stride, uint32_t summary) {
#if M4V_HAVE_SSE2_KERNELS
    if (g_sse2) {
        M4vIdctPutSse2(dst, block, stride, summary);
        return;
    }
#endif
    M4vIdctPutPlain(dst, block, stride, summary);
}

void M4vIdctAdd(uint8_t* dst, const uint8_t* pred, int16_t* block, int dstStride, int predStride,
                uint32_t summary) {
#if M4V_HAVE_SSE2_KERNELS
    if (g_sse2) {
        M4vIdctAddSse2(dst, pred, block, dstStride, predStride, summary);
        return;
    }
#endif
    M4vIdctAddPlain(dst, pred, block, dstStride, predStride, summary);
}

void M4vIdctPutRef(uint8_t* dst, int16_t* block, int stride) {
    for (int c = 0; c < 8; ++c) ColFull(block + c);
    for (int r = 0; r < 8; ++r) {
        int o[8];
        RowFull(block + 8 * r, o);
        for (int i = 0; i < 8; ++i) dst[r * stride + i] = Clip255(o[i]);
    }
}
