// Quarter-pel luma prediction (8-tap half-sample filter with mirroring at the
// block edge), field prediction, and the prediction entry used by the
// general VOP decoders.
#include "codecs/video/m4v_internal.h"

static inline uint8_t Clip255(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

static inline int Tap8(int m3, int m2, int m1, int p0, int p1, int p2, int p3, int p4, int r) {
    return Clip255((20 * (p0 + p1) - 6 * (m1 + p2) + 3 * (m2 + p3) - (m3 + p4) + 16 - r) >> 5);
}

// Horizontal pass over one line of N + 1 samples: N outputs at the quarter
// offset f (1, 2 or 3), the taps mirrored at both ends of the line.
template <int N>
static inline void QpelRow(uint8_t* out, const uint8_t* in, int f, int r) {
    uint8_t p[N + 8];
    memcpy(p + 3, in, N + 1);
    p[2] = p[3];
    p[1] = p[4];
    p[0] = p[5];
    p[N + 4] = p[N + 3];
    p[N + 5] = p[N + 2];
    p[N + 6] = p[N + 1];
    const uint8_t* q = p + 3;
    for (int k = 0; k < N; ++k) {
        int h = Tap8(q[k - 3], q[k - 2], q[k - 1], q[k], q[k + 1], q[k + 2], q[k + 3], q[k + 4], r);
        if (f == 1)
            h = (q[k] + h + 1 - r) >> 1;
        else if (f == 3)
            h = (h + q[k + 1] + 1 - r) >> 1;
        out[k] = uint8_t(h);
    }
}

// Vertical pass over H + 1 rows of W samples, the rows mirrored likewise.
template <int W, int H>
static inline void QpelCols(uint8_t* dst, int ds, const uint8_t* src, int ss, int f, int r) {
    const uint8_t* row[H + 8];
    for (int i = 0; i <= H; ++i) row[3 + i] = src + i * ss;
    row[2] = row[3];
    row[1] = row[4];
    row[0] = row[5];
    row[H + 4] = row[H + 3];
    row[H + 5] = row[H + 2];
    row[H + 6] = row[H + 1];
    const uint8_t* const* q = row + 3;
    for (int k = 0; k < H; ++k) {
        const uint8_t *a = q[k - 3], *b = q[k - 2], *c = q[k - 1], *e = q[k], *g = q[k + 1],
                      *m = q[k + 2], *n = q[k + 3], *o = q[k + 4];
        const uint8_t* near = f == 3 ? g : e;
        uint8_t* out = dst + k * ds;
        for (int x = 0; x < W; ++x) {
            int h = Tap8(a[x], b[x], c[x], e[x], g[x], m[x], n[x], o[x], r);
            if (f != 2) h = (near[x] + h + 1 - r) >> 1;
            out[x] = uint8_t(h);
        }
    }
}

static const int g_sse2 = M4vHaveSse2();

// Horizontal pass over `lines` lines.
template <int W>
static inline void QpelRows(uint8_t* dst, int ds, const uint8_t* src, int ss, int lines, int f,
                            int r) {
#if M4V_HAVE_SSE2_KERNELS
    if (g_sse2) {
        M4vQpelRowsSse2(dst, ds, src, ss, W, lines, f, r);
        return;
    }
#endif
    for (int y = 0; y < lines; ++y) QpelRow<W>(dst + y * ds, src + y * ss, f, r);
}

template <int W, int H>
static void QpelBlock(uint8_t* dst, int ds, const uint8_t* src, int ss, int fx, int fy, int r) {
    // src holds (W + 1) x (H + 1) samples.
    uint8_t tmp[17 * 16];
    if (!fy) {
        QpelRows<W>(dst, ds, src, ss, H, fx, r);
        return;
    }
    const uint8_t* t = src;
    int ts = ss;
    if (fx) {
        QpelRows<W>(tmp, 16, src, ss, H + 1, fx, r);
        t = tmp;
        ts = 16;
    }
#if M4V_HAVE_SSE2_KERNELS
    if (g_sse2) {
        M4vQpelColsSse2(dst, ds, t, ts, W, H, fy, r);
        return;
    }
#endif
    QpelCols<W, H>(dst, ds, t, ts, fy, r);
}

void M4vQpelRowsPlain(uint8_t* dst, int ds, const uint8_t* src, int ss, int w, int h, int f,
                      int r) {
    for (int y = 0; y < h; ++y) {
        if (w == 16)
            QpelRow<16>(dst + y * ds, src + y * ss, f, r);
        else
            QpelRow<8>(dst + y * ds, src + y * ss, f, r);
    }
}

void M4vQpelColsPlain(uint8_t* dst, int ds, const uint8_t* src, int ss, int w, int h, int f,
                      int r) {
    if (w == 16 && h == 16)
        QpelCols<16, 16>(dst, ds, src, ss, f, r);
    else if (w == 16)
        QpelCols<16, 8>(dst, ds, src, ss, f, r);
    else
        QpelCols<8, 8>(dst, ds, src, ss, f, r);
}

static void QpelFromBlock(uint8_t* dst, int dstStride, const uint8_t* src, int ss, int fx, int fy,
                          int w, int h, int rounding);

void M4vMcQpelBlock(uint8_t* dst, int dstStride, const uint8_t* ref, int refStride, int planeW,
                    int planeH, int x, int y, int mvx, int mvy, int w, int h, int rounding) {
    int ix = x + (mvx >> 2), iy = y + (mvy >> 2);
    int fx = mvx & 3, fy = mvy & 3;
    uint8_t buf[17 * 17];
    int ss;
    const uint8_t* src = RefArea(ref, refStride, planeW, planeH, ix, iy, w, h, buf, 17, &ss);
    QpelFromBlock(dst, dstStride, src, ss, fx, fy, w, h, rounding);
}

// Interpolation from a (w + 1) x (h + 1) block already fetched.
static void QpelFromBlock(uint8_t* dst, int dstStride, const uint8_t* src, int ss, int fx, int fy,
                          int w, int h, int rounding) {
    if (!fx && !fy) {
        for (int r = 0; r < h; ++r) memcpy(dst + r * dstStride, src + r * ss, size_t(w));
        return;
    }
    if (w == 16 && h == 16)
        QpelBlock<16, 16>(dst, dstStride, src, ss, fx, fy, rounding);
    else if (w == 16)
        QpelBlock<16, 8>(dst, dstStride, src, ss, fx, fy, rounding);
    else
        QpelBlock<8, 8>(dst, dstStride, src, ss, fx, fy, rounding);
}

// Luma quarter-pel vector halved toward zero: the half-pel vector that the
// chroma rules take.
static inline int HalveTz(int v) { return v / 2; }

void M4vMcPredictQpel(Mp4vDecoder* d, const FrameRec* ref, uint8_t* dy, uint8_t* du, uint8_t* dv,
                      int ys, int cs, const int16_t* mv, int fourVectors, int rounding) {
    int s = d->stride, rcs = s / 2;
    int W = d->stride, H = d->codedHeight;  // the decoded macroblock area
    int x = d->mbx * 16, y = d->mby * 16;
    int cvx, cvy;
    if (!fourVectors) {
        M4vMcQpelBlock(dy, ys, ref->y, s, W, H, x, y, mv[0], mv[1], 16, 16, rounding);
        cvx = M4vChromaVector1(HalveTz(mv[0]));
        cvy = M4vChromaVector1(HalveTz(mv[1]));
    } else {
        int sx = 0, sy = 0;
        for (int k = 0; k < 4; ++k) {
            int ox = (k & 1) * 8, oy = (k >> 1) * 8;
            M4vMcQpelBlock(dy + oy * ys + ox, ys, ref->y, s, W, H, x + ox, y + oy, mv[2 * k],
                           mv[2 * k + 1], 8, 8, rounding);
            sx += HalveTz(mv[2 * k]);
            sy += HalveTz(mv[2 * k + 1]);
        }
        cvx = M4vChromaVector4(sx);
        cvy = M4vChromaVector4(sy);
    }
    int cx = x / 2, cy = y / 2, cw = W >> 1, ch = H >> 1;
    M4vMcBlock(d, du, cs, ref->u, rcs, cw, ch, cx, cy, cvx, cvy, 8);
    M4vMcBlock(d, dv, cs, ref->v, rcs, cw, ch, cx, cy, cvx, cvy, 8);
}

void M4vMcPredictAny(Mp4vDecoder* d, const FrameRec* ref, uint8_t* dy, uint8_t* du, uint8_t* dv,
                     int ys, int cs, const int16_t* mv, int fourVectors, int rounding) {
    if (d->hdr->quarterSample)
        M4vMcPredictQpel(d, ref, dy, du, dv, ys, cs, mv, fourVectors, rounding);
    else
        M4vMcPredict(d, ref, dy, du, dv, ys, cs, mv, fourVectors);
}

// Fetches the (w + 1) x (h + 1) source block of a field prediction: field
// sel of a frame plane (frame stride fs, frame height H), at column ix and
// field row iy. The reference is extended as a frame, not per field: rows
// above the picture repeat its first row and rows below it its last row,
// whichever field that row belongs to.
static const uint8_t* FetchField(uint8_t* buf, int bs, const uint8_t* plane, int fs, int W, int H,
                                 int sel, int ix, int iy, int w, int h, int* ss) {
    int fh = H >> 1;
    if (ix >= 0 && iy >= 0 && ix + w + 1 <= W && iy + h + 1 <= fh) {
        *ss = 2 * fs;
        return plane + (2 * iy + sel) * fs + ix;
    }
    for (int r = 0; r <= h; ++r) {
        int fr = iy + r;
        int row = fr < 0 ? 0 : fr >= fh ? H - 1 : 2 * fr + sel;
        if (row > H - 1) row = H - 1;
        const uint8_t* src = plane + row * fs;
        for (int c = 0; c <= w; ++c) {
            int sx = ix + c;
            sx = sx < 0 ? 0 : sx >= W ? W - 1 : sx;
            buf[r * bs + c] = src[sx];
        }
    }
    *ss = bs;
    return buf;
}

void M4vMcPredictFields(Mp4vDecoder* d, const FrameRec* ref, uint8_t* dy, uint8_t* du, uint8_t* dv,
                        int ys, int cs, const int16_t* mv, const int* sel, int rounding) {
    int s = d->stride, rcs = s / 2;
    int W = d->stride, H = d->codedHeight;  // the decoded macroblock area
    int x = d->mbx * 16, y = d->mby * 8;    // field rows
    int qpel = d->hdr->quarterSample;
    uint8_t buf[17 * 24];
    for (int f = 0; f < 2; ++f) {
        int mx = mv[2 * f], my = mv[2 * f + 1];
        int ss;
        const uint8_t* src;
        if (qpel) {
            // A field half is filtered as two 8x8 blocks, each mirrored at its
            // own edges; chroma halves the vertical part with a floor.
            for (int k = 0; k < 2; ++k) {
                src = FetchField(buf, 24, ref->y, s, W, H, sel[f], x + 8 * k + (mx >> 2),
                                 y + (my >> 2), 8, 8, &ss);
                QpelFromBlock(dy + f * ys + 8 * k, 2 * ys, src, ss, mx & 3, my & 3, 8, 8, rounding);
            }
            mx = HalveTz(mx);
            my >>= 1;
        } else {
            src = FetchField(buf, 24, ref->y, s, W, H, sel[f], x + (mx >> 1), y + (my >> 1), 16, 8,
                             &ss);
            d->mcPut[1][(mx & 1) | (my & 1) << 1](dy + f * ys, 2 * ys, src, ss, 8);
        }
        int cvx = M4vChromaVector1(mx), cvy = M4vChromaVector1(my);
        int cx = x / 2 + (cvx >> 1), cy = y / 2 + (cvy >> 1);
        int frac = (cvx & 1) | (cvy & 1) << 1;
        src = FetchField(buf, 24, ref->u, rcs, W >> 1, H >> 1, sel[f], cx, cy, 8, 4, &ss);
        d->mcPut[0][frac](du + f * cs, 2 * cs, src, ss, 4);
        src = FetchField(buf, 24, ref->v, rcs, W >> 1, H >> 1, sel[f], cx, cy, 8, 4, &ss);
        d->mcPut[0][frac](dv + f * cs, 2 * cs, src, ss, 4);
    }
}
