// Motion compensation: half-pel kernels, edge emulation, chroma vectors.
#include "codecs/video/m4v_internal.h"

template <int W, int F, int R>
static void PutHpel(uint8_t* dst, int ds, const uint8_t* src, int ss, int h) {
    for (int y = 0; y < h; ++y) {
        const uint8_t* s0 = src + y * ss;
        const uint8_t* s1 = s0 + ss;
        uint8_t* d = dst + y * ds;
        for (int x = 0; x < W; ++x) {
            if (F == 0)
                d[x] = s0[x];
            else if (F == 1)
                d[x] = uint8_t((s0[x] + s0[x + 1] + 1 - R) >> 1);
            else if (F == 2)
                d[x] = uint8_t((s0[x] + s1[x] + 1 - R) >> 1);
            else
                d[x] = uint8_t((s0[x] + s0[x + 1] + s1[x] + s1[x + 1] + 2 - R) >> 2);
        }
    }
}

static const McFn kPut[2][2][4] = {
    {{PutHpel<8, 0, 0>, PutHpel<8, 1, 0>, PutHpel<8, 2, 0>, PutHpel<8, 3, 0>},
     {PutHpel<16, 0, 0>, PutHpel<16, 1, 0>, PutHpel<16, 2, 0>, PutHpel<16, 3, 0>}},
    {{PutHpel<8, 0, 1>, PutHpel<8, 1, 1>, PutHpel<8, 2, 1>, PutHpel<8, 3, 1>},
     {PutHpel<16, 0, 1>, PutHpel<16, 1, 1>, PutHpel<16, 2, 1>, PutHpel<16, 3, 1>}},
};

McFn M4vMcKernelPlain(int rounding, int wide, int frac) { return kPut[rounding & 1][wide][frac]; }

static const int g_sse2 = M4vHaveSse2();

void M4vMcSetKernels(Mp4vDecoder* d, int rounding) {
    for (int w = 0; w < 2; ++w)
        for (int f = 0; f < 4; ++f) {
#if M4V_HAVE_SSE2_KERNELS
            if (g_sse2) {
                d->mcPut[w][f] = M4vMcKernelSse2(rounding, w, f);
                continue;
            }
#endif
            d->mcPut[w][f] = kPut[rounding & 1][w][f];
        }
}

int M4vChromaVector1(int v) { return (v >> 1) | (v & 1); }

int M4vChromaVector4(int s) {
    static const int kT[16] = {0, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1};
    return (s >> 3) + kT[s & 15];
}

// Predicts a size x size block at the integer position (ix, iy) of the plane
// with the half-pel fraction frac (bit 0 horizontal, bit 1 vertical);
// out-of-plane reads replicate the edge.
static void McBlockAt(Mp4vDecoder* d, uint8_t* dst, int dstStride, const uint8_t* ref,
                      int refStride, int planeW, int planeH, int ix, int iy, int frac, int size) {
    int ss;
    const uint8_t* src =
        RefArea(ref, refStride, planeW, planeH, ix, iy, size, size, d->scratch, 24, &ss);
    d->mcPut[size == 16][frac](dst, dstStride, src, ss, size);
}

// Predicts a size x size block at (x, y) of the plane from the reference
// displaced by the half-pel vector; out-of-picture reads replicate the edge.
void M4vMcBlock(Mp4vDecoder* d, uint8_t* dst, int dstStride, const uint8_t* ref, int refStride,
                int planeW, int planeH, int x, int y, int mvx, int mvy, int size) {
    McBlockAt(d, dst, dstStride, ref, refStride, planeW, planeH, x + (mvx >> 1), y + (mvy >> 1),
              (mvx & 1) | (mvy & 1) << 1, size);
}

// The same for the blocks of a four-vector prediction, whose position is
// first held between `size` samples before the picture and its visible size
// beyond (visW, visH: the picture, not the macroblock area); at that far
// limit the half-pel fraction of the direction is dropped.
static void McBlockHeld(Mp4vDecoder* d, uint8_t* dst, int dstStride, const uint8_t* ref,
                        int refStride, int planeW, int planeH, int visW, int visH, int x, int y,
                        int mvx, int mvy, int size) {
    int ix = x + (mvx >> 1), iy = y + (mvy >> 1);
    int frac = (mvx & 1) | (mvy & 1) << 1;
    if (ix < -size) ix = -size;
    if (ix >= visW) {
        ix = visW;
        frac &= 2;
    }
    if (iy < -size) iy = -size;
    if (iy >= visH) {
        iy = visH;
        frac &= 1;
    }
    McBlockAt(d, dst, dstStride, ref, refStride, planeW, planeH, ix, iy, frac, size);
}

// Prediction of the current macroblock from a reference into the given
// planes (luma stride ys, chroma stride cs).
void M4vMcPredict(Mp4vDecoder* d, const FrameRec* ref, uint8_t* dy, uint8_t* du, uint8_t* dv,
                  int ys, int cs, const int16_t* mv, int fourVectors) {
    int s = d->stride, rcs = s / 2;
    int W = d->stride, H = d->codedHeight;
    int x = d->mbx * 16, y = d->mby * 16;
    int cvx, cvy;
    if (!fourVectors) {
        M4vMcBlock(d, dy, ys, ref->y, s, W, H, x, y, mv[0], mv[1], 16);
        cvx = M4vChromaVector1(mv[0]);
        cvy = M4vChromaVector1(mv[1]);
    } else {
        for (int k = 0; k < 4; ++k) {
            int ox = (k & 1) * 8, oy = (k >> 1) * 8;
            McBlockHeld(d, dy + oy * ys + ox, ys, ref->y, s, W, H, d->layoutW, d->layoutH, x + ox,
                        y + oy, mv[2 * k], mv[2 * k + 1], 8);
        }
        cvx = M4vChromaVector4(mv[0] + mv[2] + mv[4] + mv[6]);
        cvy = M4vChromaVector4(mv[1] + mv[3] + mv[5] + mv[7]);
    }
    int cx = x / 2, cy = y / 2;
    int cw = W >> 1, ch = H >> 1;
    if (fourVectors) {
        int vw = d->layoutW >> 1, vh = d->layoutH >> 1;
        McBlockHeld(d, du, cs, ref->u, rcs, cw, ch, vw, vh, cx, cy, cvx, cvy, 8);
        McBlockHeld(d, dv, cs, ref->v, rcs, cw, ch, vw, vh, cx, cy, cvx, cvy, 8);
    } else {
        M4vMcBlock(d, du, cs, ref->u, rcs, cw, ch, cx, cy, cvx, cvy, 8);
        M4vMcBlock(d, dv, cs, ref->v, rcs, cw, ch, cx, cy, cvx, cvy, 8);
    }
}

void M4vMcMacroblock(Mp4vDecoder* d, const int16_t* mv, int fourVectors) {
    FrameRec* t = d->target;
    int s = d->stride, cs = s / 2;
    M4vMcPredict(d, d->olderRef, t->y + (d->mby * 16) * s + d->mbx * 16,
                 t->u + (d->mby * 8) * cs + d->mbx * 8, t->v + (d->mby * 8) * cs + d->mbx * 8, s,
                 cs, mv, fourVectors);
}

// dst = (dst + src + 1) >> 1 over a w x h block.
void M4vMcAverage(uint8_t* dst, int ds, const uint8_t* src, int ss, int w, int h) {
#if M4V_HAVE_SSE2_KERNELS
    if (g_sse2) {
        M4vMcAverageSse2(dst, ds, src, ss, w, h);
        return;
    }
#endif
    M4vMcAveragePlain(dst, ds, src, ss, w, h);
}

void M4vMcAveragePlain(uint8_t* dst, int ds, const uint8_t* src, int ss, int w, int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            dst[y * ds + x] = uint8_t((dst[y * ds + x] + src[y * ss + x] + 1) >> 1);
}
