// Global motion compensation of S-VOPs: warping parameters from the sprite
// trajectory, the warped prediction of a macroblock and its averaged vector.
#include "codecs/video/m4v_internal.h"

// Integer division rounded to the nearest, halves away from zero.
static int64_t RoundedDiv(int64_t a, int64_t b) {
    return (a > 0 ? a + (b >> 1) : a - (b >> 1)) / b;
}

static int32_t RoundShift(int64_t a, int b) {
    int64_t h = (int64_t(1) << b) >> 1;
    return int32_t(a > 0 ? (a + h) >> b : (a + h - 1) >> b);
}

static int64_t Half(int sh) { return sh > 0 ? int64_t(1) << (sh - 1) : 0; }

// v scaled from sh fraction bits to 16 (pictures wider than 2048 may have
// more than 16).
static int32_t To16(int64_t v, int sh) {
    return int32_t(sh <= 16 ? v * (int64_t(1) << (16 - sh)) : v >> (sh - 16));
}

void M4vGmcSetup(Mp4vDecoder* d) {
    const StreamHeader* h = d->hdr;
    int acc = h->warpAccuracy;
    int s = 2 << acc;   // positions per pixel
    int rho = 3 - acc;  // 16 = s * 2^rho
    int r = 16 / s;
    int w = h->width, ht = h->height;
    int points = h->warpPoints;
    int64_t du[3] = {0, 0, 0}, dv[3] = {0, 0, 0};
    for (int i = 0; i < points && i < 3; ++i) {
        du[i] = d->warp[i][0];
        dv[i] = d->warp[i][1];
    }
    // Sprite points of the corners (0,0), (w,0), (0,h) in 1/s pel.
    int64_t i0 = (s >> 1) * du[0], j0 = (s >> 1) * dv[0];
    int64_t i1 = (s >> 1) * (2 * w + du[0] + du[1]), j1 = (s >> 1) * (dv[0] + dv[1]);
    int64_t i2 = (s >> 1) * (du[0] + du[2]), j2 = (s >> 1) * (2 * ht + dv[0] + dv[2]);
    int alpha = 0, beta = 0;
    while ((1 << alpha) < w) ++alpha;
    while ((1 << beta) < ht) ++beta;
    int64_t w2 = int64_t(1) << alpha, h2 = int64_t(1) << beta;
    // Virtual points at (w2, 0) and (0, h2) in 1/16 pel.
    int64_t vi1 = 16 * w2 + RoundedDiv((w - w2) * (r * i0) + w2 * (r * i1 - 16 * w), w);
    int64_t vj1 = RoundedDiv((w - w2) * (r * j0) + w2 * (r * j1), w);
    int64_t vi2 = RoundedDiv((ht - h2) * (r * i0) + h2 * (r * i2), ht);
    int64_t vj2 = 16 * h2 + RoundedDiv((ht - h2) * (r * j0) + h2 * (r * j2 - 16 * ht), ht);

    int64_t off[2][2], dl[2][2];
    int shiftY = 0, shiftC = 0;
    switch (points) {
        case 0:
            off[0][0] = off[0][1] = off[1][0] = off[1][1] = 0;
            dl[0][0] = s;
            dl[0][1] = dl[1][0] = 0;
            dl[1][1] = s;
            break;
        case 1:
            off[0][0] = i0;
            off[0][1] = j0;
            off[1][0] = (i0 >> 1) | (i0 & 1);
            off[1][1] = (j0 >> 1) | (j0 & 1);
            dl[0][0] = s;
            dl[0][1] = dl[1][0] = 0;
            dl[1][1] = s;
            break;
        case 2: {
            shiftY = alpha + rho;
            shiftC = alpha + rho + 2;
            int64_t a = -r * i0 + vi1, b = r * j0 - vj1, c = -r * j0 + vj1;
            off[0][0] = i0 * (int64_t(1) << shiftY) + Half(shiftY);
            off[0][1] = j0 * (int64_t(1) << shiftY) + Half(shiftY);
            off[1][0] = a + b + 2 * w2 * r * i0 - 16 * w2 + (int64_t(1) << (alpha + rho + 1));
            off[1][1] = c + a + 2 * w2 * r * j0 - 16 * w2 + (int64_t(1) << (alpha + rho + 1));
            dl[0][0] = a;
            dl[0][1] = b;
            dl[1][0] = c;
            dl[1][1] = a;
            break;
        }
        default: {
            int mn = alpha < beta ? alpha : beta;
            int64_t w3 = w2 >> mn, h3 = h2 >> mn;
            shiftY = alpha + beta + rho - mn;
            shiftC = shiftY + 2;
            int64_t a = (-r * i0 + vi1) * h3, b = (-r * i0 + vi2) * w3;
            int64_t c = (-r * j0 + vj1) * h3, e = (-r * j0 + vj2) * w3;
            off[0][0] = i0 * (int64_t(1) << shiftY) + Half(shiftY);
            off[0][1] = j0 * (int64_t(1) << shiftY) + Half(shiftY);
            off[1][0] = a + b + 2 * w2 * h3 * r * i0 - 16 * w2 * h3 + (int64_t(1) << (shiftY + 1));
            off[1][1] = c + e + 2 * w2 * h3 * r * j0 - 16 * w2 * h3 + (int64_t(1) << (shiftY + 1));
            dl[0][0] = a;
            dl[0][1] = b;
            dl[1][0] = c;
            dl[1][1] = e;
            break;
        }
    }
    if (points >= 2 && dl[0][0] == (int64_t(s) << shiftY) && dl[0][1] == 0 && dl[1][0] == 0 &&
        dl[1][1] == (int64_t(s) << shiftY)) {
        // Gradients of the identity: a plain translation.
        off[0][0] >>= shiftY;
        off[0][1] >>= shiftY;
        off[1][0] >>= shiftC;
        off[1][1] >>= shiftC;
        points = 1;
    }
    d->gmcPoints = points < 2 ? 1 : points;
    if (points < 2) {
        for (int k = 0; k < 2; ++k)
            for (int c = 0; c < 2; ++c) d->gmcOffset[k][c] = int32_t(off[k][c]);
        d->gmcShift = 0;
    } else {
        // 16 fraction bits below the 1/s position.
        for (int c = 0; c < 2; ++c) {
            d->gmcOffset[0][c] = To16(off[0][c], shiftY);
            d->gmcOffset[1][c] = To16(off[1][c], shiftC);
            d->gmcDelta[0][c] = To16(dl[0][c], shiftY);
            d->gmcDelta[1][c] = To16(dl[1][c], shiftY);
        }
        d->gmcShift = 16;
    }
    // Averaged vector of a GMC macroblock for prediction and direct mode; the
    // translation gives one vector for all.
    if (d->gmcPoints == 1) {
        int qs = h->quarterSample;
        int len = 1 << (h->fcodeFwd + 4);
        for (int c = 0; c < 2; ++c) {
            int32_t v = RoundShift(int64_t(d->gmcOffset[0][c]) * (1 << qs), acc);
            d->gmcAmv[c] = int16_t(v < -len ? -len : v >= len ? len - 1 : v);
        }
    }
}

// Averaged vector of the current macroblock under an affine warp.
static void AffineAmv(Mp4vDecoder* d, int16_t* out) {
    const StreamHeader* h = d->hdr;
    int acc = h->warpAccuracy, qs = h->quarterSample;
    int len = 1 << (h->fcodeFwd + 4);
    for (int n = 0; n < 2; ++n) {
        int64_t dx = d->gmcDelta[n][0], dy = d->gmcDelta[n][1];
        if (n)
            dy -= int64_t(1) << (16 + acc + 1);
        else
            dx -= int64_t(1) << (16 + acc + 1);
        int64_t mbv = d->gmcOffset[0][n] + dx * d->mbx * 16 + dy * d->mby * 16;
        // floor((mbv + r) / 2^16) = hi + floor((lo + r) / 2^16) with the small
        // in-macroblock step r in 32 bits.
        int64_t hi = mbv >> 16;
        int32_t lo = int32_t(mbv - hi * 65536);
        int32_t sx = int32_t(dx), sy = int32_t(dy);
        int64_t sum = hi * 256;
        if (dx > -(1 << 25) && dx < (1 << 25) && dy > -(1 << 25) && dy < (1 << 25)) {
            int32_t part = 0;
            for (int y = 0; y < 16; ++y) {
                int32_t v = lo + sy * y;
                for (int x = 0; x < 16; ++x) part += (v + sx * x) >> 16;
            }
            sum += part;
        } else {
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) sum += (mbv + dy * y + dx * x) >> 16;
            sum -= hi * 256;
        }
        int32_t a = RoundShift(sum, acc + 8 - qs);
        out[n] = int16_t(a < -len ? -len : a >= len ? len - 1 : a);
    }
}

// Translation with a 1/16 fraction over an n x n block.
static void Warp1(uint8_t* dst, int ds, const uint8_t* ref, int rs, int pw, int ph, int x, int y,
                  int fx, int fy, int n, int rounder) {
    const uint8_t* src;
    int ss;
    uint8_t buf[17 * 17];
    if (x < 0 || y < 0 || x + n + 1 > pw || y + n + 1 > ph) {
        for (int r = 0; r <= n; ++r) {
            int sy = y + r;
            sy = sy < 0 ? 0 : sy >= ph ? ph - 1 : sy;
            for (int c = 0; c <= n; ++c) {
                int sx = x + c;
                sx = sx < 0 ? 0 : sx >= pw ? pw - 1 : sx;
                buf[r * 17 + c] = ref[sy * rs + sx];
            }
        }
        src = buf;
        ss = 17;
    } else {
        src = ref + y * rs + x;
        ss = rs;
    }
    int w00 = (16 - fx) * (16 - fy), w01 = fx * (16 - fy), w10 = (16 - fx) * fy, w11 = fx * fy;
    for (int r = 0; r < n; ++r) {
        const uint8_t* a = src + r * ss;
        const uint8_t* b = a + ss;
        uint8_t* o = dst + r * ds;
        for (int c = 0; c < n; ++c)
            o[c] =
                uint8_t((w00 * a[c] + w01 * a[c + 1] + w10 * b[c] + w11 * b[c + 1] + rounder) >> 8);
    }
}

// Affine warp of an n x n block whose top-left position is (ox, oy) in
// 16.16 of 1/s pel, with the per-pixel steps of the deltas.
static void WarpAffine(uint8_t* dst, int ds, const uint8_t* ref, int rs, int pw, int ph, int64_t ox,
                       int64_t oy, const int32_t (*dl)[2], int n, int acc, int rounding) {
    int sh = acc + 1, s = 1 << sh;
    int rounder = (1 << (2 * sh - 1)) - rounding;
    int maxX = pw - 1, maxY = ph - 1;
    // Inside the picture at all four corners (the warp is affine, so every
    // position lies between them): no clamping.
    int inside = 1;
    for (int c = 0; c < 4 && inside; ++c) {
        int64_t cx =
            ox + int64_t(dl[0][0]) * ((c & 1) * (n - 1)) + int64_t(dl[0][1]) * ((c >> 1) * (n - 1));
        int64_t cy =
            oy + int64_t(dl[1][0]) * ((c & 1) * (n - 1)) + int64_t(dl[1][1]) * ((c >> 1) * (n - 1));
        int64_t px = (cx >> 16) >> sh, py = (cy >> 16) >> sh;
        if (px < 0 || py < 0 || px + 1 > maxX || py + 1 > maxY) inside = 0;
    }
    if (inside) {
        for (int y = 0; y < n; ++y) {
            int64_t vx = ox + int64_t(dl[0][1]) * y, vy = oy + int64_t(dl[1][1]) * y;
            uint8_t* o = dst + y * ds;
            for (int x = 0; x < n; ++x) {
                int px = int(vx >> 16), py = int(vy >> 16);
                int fx = px & (s - 1), fy = py & (s - 1);
                const uint8_t* r0 = ref + (py >> sh) * rs + (px >> sh);
                const uint8_t* r1 = r0 + rs;
                o[x] = uint8_t(((r0[0] * (s - fx) + r0[1] * fx) * (s - fy) +
                                (r1[0] * (s - fx) + r1[1] * fx) * fy + rounder) >>
                               (2 * sh));
                vx += dl[0][0];
                vy += dl[1][0];
            }
        }
        return;
    }
    for (int y = 0; y < n; ++y) {
        int64_t vx = ox + int64_t(dl[0][1]) * y, vy = oy + int64_t(dl[1][1]) * y;
        uint8_t* o = dst + y * ds;
        for (int x = 0; x < n; ++x) {
            int px = int(vx >> 16), py = int(vy >> 16);
            int fx = px & (s - 1), fy = py & (s - 1);
            px >>= sh;
            py >>= sh;
            int x0 = px < 0 ? 0 : px > maxX ? maxX : px;
            int x1 = px + 1 < 0 ? 0 : px + 1 > maxX ? maxX : px + 1;
            int y0 = py < 0 ? 0 : py > maxY ? maxY : py;
            int y1 = py + 1 < 0 ? 0 : py + 1 > maxY ? maxY : py + 1;
            const uint8_t* r0 = ref + y0 * rs;
            const uint8_t* r1 = ref + y1 * rs;
            int v = ((r0[x0] * (s - fx) + r0[x1] * fx) * (s - fy) +
                     (r1[x0] * (s - fx) + r1[x1] * fx) * fy + rounder) >>
                    (2 * sh);
            o[x] = uint8_t(v);
            vx += dl[0][0];
            vy += dl[1][0];
        }
    }
}

// A translated n x n block starts no further than n samples before the
// picture and no further than its visible size (not the macroblock area)
// beyond; a block held at that far limit has no fraction in that direction.
static void LimitTranslation(int* pos, int* frac, int visible, int n) {
    if (*pos < -n) *pos = -n;
    if (*pos >= visible) {
        *pos = visible;
        *frac = 0;
    }
}

void M4vGmcAverageVector(Mp4vDecoder* d, int16_t* mv) {
    int16_t v[2] = {d->gmcAmv[0], d->gmcAmv[1]};
    if (d->gmcPoints != 1) AffineAmv(d, v);
    for (int k = 0; k < 4; ++k) {
        mv[2 * k] = v[0];
        mv[2 * k + 1] = v[1];
    }
}

void M4vGmcPredict(Mp4vDecoder* d, uint8_t* dy, uint8_t* du, uint8_t* dv, int ys, int cs) {
    const StreamHeader* h = d->hdr;
    const FrameRec* ref = d->olderRef;
    int s = d->stride, rcs = s / 2;
    // Samples are read from the decoded macroblock area, which reaches past
    // the picture when its size is not a multiple of 16.
    int W = d->stride, H = d->codedHeight;
    int acc = h->warpAccuracy;
    int16_t* mv = d->mvs + d->mbIndex * 8;
    if (d->gmcPoints == 1) {
        int rounder = 128 - h->rounding;
        int sh = acc + 1;
        int mx = d->gmcOffset[0][0], my = d->gmcOffset[0][1];
        int x = d->mbx * 16 + (mx >> sh), y = d->mby * 16 + (my >> sh);
        int fx = (mx * (1 << (3 - acc))) & 15, fy = (my * (1 << (3 - acc))) & 15;
        LimitTranslation(&x, &fx, d->layoutW, 16);
        LimitTranslation(&y, &fy, d->layoutH, 16);
        Warp1(dy, ys, ref->y, s, W, H, x, y, fx, fy, 16, rounder);
        int cx = d->gmcOffset[1][0], cy = d->gmcOffset[1][1];
        x = d->mbx * 8 + (cx >> sh);
        y = d->mby * 8 + (cy >> sh);
        fx = (cx * (1 << (3 - acc))) & 15;
        fy = (cy * (1 << (3 - acc))) & 15;
        LimitTranslation(&x, &fx, d->layoutW >> 1, 8);
        LimitTranslation(&y, &fy, d->layoutH >> 1, 8);
        Warp1(du, cs, ref->u, rcs, W >> 1, H >> 1, x, y, fx, fy, 8, rounder);
        Warp1(dv, cs, ref->v, rcs, W >> 1, H >> 1, x, y, fx, fy, 8, rounder);
        M4vGmcAverageVector(d, mv);
        return;
    }
    const int32_t(*dl)[2] = d->gmcDelta;
    int x = d->mbx * 16, y = d->mby * 16;
    int64_t ox = d->gmcOffset[0][0] + int64_t(dl[0][0]) * x + int64_t(dl[0][1]) * y;
    int64_t oy = d->gmcOffset[0][1] + int64_t(dl[1][0]) * x + int64_t(dl[1][1]) * y;
    WarpAffine(dy, ys, ref->y, s, W, H, ox, oy, dl, 16, acc, h->rounding);
    x >>= 1;
    y >>= 1;
    ox = d->gmcOffset[1][0] + int64_t(dl[0][0]) * x + int64_t(dl[0][1]) * y;
    oy = d->gmcOffset[1][1] + int64_t(dl[1][0]) * x + int64_t(dl[1][1]) * y;
    WarpAffine(du, cs, ref->u, rcs, W >> 1, H >> 1, ox, oy, dl, 8, acc, h->rounding);
    WarpAffine(dv, cs, ref->v, rcs, W >> 1, H >> 1, ox, oy, dl, 8, acc, h->rounding);
    M4vGmcAverageVector(d, mv);
}
