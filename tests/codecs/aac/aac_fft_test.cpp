// The filterbank's FFT against a double-precision DFT, and the whole inverse
// transform, in its SSE2 and plain forms, against a twin that saturates every
// sum (the form the arithmetic is defined in): the decoder leaves the
// saturation out because the values provably stay inside 32 bits, so all
// must agree bit for bit on any input, full scale included.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "codecs/aac/aac_fft.h"
#include "codecs/aac/aac_internal.h"

namespace {

// ---- Plain twin: every product and sum saturated, bit reversal by swaps ----

int32_t MulTw(int32_t x, int32_t w) { return AacSat32(2 * (((int64_t)x * w) >> 16)); }

void TwinTwiddle(int j, int32_t* c, int32_t* s) {
    if (j < 512) {
        *s = kAacTwiddle[j];
        *c = j == 0 ? 32767 : kAacTwiddle[512 - j];
    } else if (j == 512) {
        *s = 32767;
        *c = 0;
    } else {
        *s = kAacTwiddle[1024 - j];
        *c = -kAacTwiddle[j - 512];
    }
}

void TwinFft(int32_t* d, int log2m) {
    const int m = 1 << log2m;
    for (int i = 1, j = 0; i < m; i++) {
        int bit = m >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) {
            std::swap(d[2 * i], d[2 * j]);
            std::swap(d[2 * i + 1], d[2 * j + 1]);
        }
    }
    for (int len = 2; len <= m; len <<= 1) {
        const int half = len >> 1;
        for (int k = 0; k < half; k++) {
            int32_t wc, ws;
            TwinTwiddle(k * (2048 / len), &wc, &ws);
            for (int i = k; i < m; i += len) {
                int32_t* a = d + 2 * i;
                int32_t* b = d + 2 * (i + half);
                int32_t ar = a[0] >> 1, ai = a[1] >> 1, br, bi;
                if (k == 0) {
                    br = b[0] >> 1;
                    bi = b[1] >> 1;
                } else {
                    br = AacSat32((((int64_t)b[0] * wc) >> 16) + (((int64_t)b[1] * ws) >> 16));
                    bi = AacSat32((((int64_t)b[1] * wc) >> 16) - (((int64_t)b[0] * ws) >> 16));
                }
                a[0] = AacSat32((int64_t)ar + br);
                a[1] = AacSat32((int64_t)ai + bi);
                b[0] = AacSat32((int64_t)ar - br);
                b[1] = AacSat32((int64_t)ai - bi);
            }
        }
    }
}

void TwinInverse(int32_t* x, int n, int shift) {
    std::vector<int32_t> work(n);
    const int16_t* sine = n == 1024 ? kAacSineLong : kAacSineShort;
    const int half = n / 2;
    for (int m = 0; m < half; m++) {
        int32_t a = x[2 * m], b = x[n - 1 - 2 * m];
        int32_t c = sine[2 * m], d = sine[n - 1 - 2 * m];
        work[2 * m] = AacSat32(((int64_t)MulTw(b, c) + MulTw(a, d)) >> 1);
        work[2 * m + 1] = AacSat32(((int64_t)MulTw(b, d) - MulTw(a, c)) >> 1);
    }
    TwinFft(work.data(), n == 1024 ? 9 : 6);
    for (int k = 0; k < half; k++) {
        int j = k * (1024 / n);
        int32_t s = kAacTwiddle[j];
        int32_t c = j == 0 ? 32767 : kAacTwiddle[512 - j];
        int32_t zr = work[2 * k], zi = work[2 * k + 1];
        int32_t re = AacSat32((int64_t)MulTw(zr, c) + MulTw(zi, s));
        int32_t im = AacSat32((int64_t)MulTw(zi, c) - MulTw(zr, s));
        x[2 * k] = AacShiftSat(re, shift);
        x[n - 1 - 2 * k] = AacShiftSat(AacSat32(-(int64_t)im), shift);
    }
}

std::vector<int32_t> Input(const char* kind, int count, std::mt19937* rng) {
    std::vector<int32_t> v(count);
    std::uniform_int_distribution<int64_t> full(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int> coin(0, 1);
    for (int i = 0; i < count; i++) {
        std::string k = kind;
        if (k == "random full scale")
            v[i] = (int32_t)full(*rng);
        else if (k == "all most negative")
            v[i] = INT32_MIN;
        else if (k == "all most positive")
            v[i] = INT32_MAX;
        else if (k == "alternating extremes")
            v[i] = (i & 1) ? INT32_MIN : INT32_MAX;
        else if (k == "random extremes")
            v[i] = coin(*rng) ? INT32_MIN : INT32_MAX;
        else if (k == "one peak")
            v[i] = i == count / 3 ? INT32_MIN : 0;
        else  // "quiet"
            v[i] = (int32_t)(full(*rng) >> 20);
    }
    return v;
}

TEST(AacFft, InverseTransformEqualsSaturatingTwin) {
    const char* kinds[] = {"random full scale",
                           "all most negative",
                           "all most positive",
                           "alternating extremes",
                           "random extremes",
                           "one peak",
                           "quiet"};
    const int shifts[] = {-40, -32, -31, -16, -3, 0, 1, 2, 5, 17, 31, 32, 40};
    std::mt19937 rng(7);
    for (int n : {128, 1024}) {
        for (const char* kind : kinds) {
            for (int shift : shifts) {
                std::vector<int32_t> fast = Input(kind, n, &rng);
                std::vector<int32_t> plain = fast;
                std::vector<int32_t> twin = fast;
                std::vector<int32_t> work(n);
                int gain = AacImdctInverse(fast.data(), n, shift, work.data());
                int gainPlain = AacImdctInversePlain(plain.data(), n, shift, work.data());
                TwinInverse(twin.data(), n, shift);
                EXPECT_EQ(gain, n == 1024 ? 10 : 7);
                EXPECT_EQ(gainPlain, gain);
                int diffs = 0, diffsPlain = 0;
                for (int i = 0; i < n; i++) {
                    diffs += fast[i] != twin[i];
                    diffsPlain += plain[i] != twin[i];
                }
                EXPECT_EQ(diffs, 0) << "n " << n << ", " << kind << ", shift " << shift;
                EXPECT_EQ(diffsPlain, 0) << "plain, n " << n << ", " << kind << ", shift " << shift;
            }
        }
    }
}

TEST(AacFft, FftEqualsSaturatingTwin) {
    std::mt19937 rng(11);
    for (int log2m = 2; log2m <= 9; log2m++) {
        for (const char* kind : {"random full scale", "random extremes", "quiet"}) {
            // Halved: complex moduli below 2^31 / sqrt(2), as the
            // pre-rotation guarantees; the butterflies cannot overflow then.
            std::vector<int32_t> fast = Input(kind, 2 << log2m, &rng);
            for (int32_t& v : fast) v >>= 1;
            std::vector<int32_t> twin = fast;
            std::vector<int32_t> plain = fast;
            AacImdctFft(fast.data(), log2m);
            AacImdctFftPlain(plain.data(), log2m);
            TwinFft(twin.data(), log2m);
            EXPECT_EQ(fast, twin) << "size " << (1 << log2m) << ", " << kind;
            EXPECT_EQ(plain, twin) << "plain, size " << (1 << log2m) << ", " << kind;
        }
    }
}

// The long-window overlap-add against its definition on 64 bits, for the
// extremes of every input.
TEST(AacFft, OverlapLongEqualsWideForm) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int64_t> full(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int> any16(-32768, 32767), pick(0, 4);
    for (int round = 0; round < 40; round++) {
        std::vector<int32_t> x(1024);
        std::vector<int16_t> o(512), w(1024);
        for (int i = 0; i < 1024; i++) {
            const int32_t ext[] = {INT32_MIN, INT32_MAX, 0, -1, (int32_t)full(rng)};
            x[i] = round < 20 ? (int32_t)full(rng) : ext[pick(rng)];
            w[i] = (int16_t)(round % 2 ? any16(rng) : (i & 1 ? 32767 : -32767));
        }
        for (int i = 0; i < 512; i++)
            o[i] = (int16_t)(round < 30 ? any16(rng) : (i & 1 ? -32768 : 32767));
        std::vector<int16_t> want(1024), fast(1024), plain(1024);
        auto round16 = [](int64_t y) {
            int64_t v = (y + 32768) >> 16;
            return (int16_t)(v > 32767 ? 32767 : (v < -32768 ? -32768 : v));
        };
        for (int n = 0; n < 512; n++) {
            want[n] = round16((((int64_t)x[512 + n] * w[n]) >> 14) -
                              ((int64_t)o[511 - n] * w[1023 - n]) * 4);
            want[512 + n] = round16(((-(int64_t)x[1023 - n] * w[512 + n]) >> 14) -
                                    ((int64_t)o[n] * w[511 - n]) * 4);
        }
        AacOverlapLong(x.data(), o.data(), w.data(), fast.data());
        AacOverlapLongPlain(x.data(), o.data(), w.data(), plain.data());
        EXPECT_EQ(fast, want) << "round " << round;
        EXPECT_EQ(plain, want) << "round " << round;
    }
}

// Against the exact DFT divided by the size. Each of the log2m stages adds at
// most about two units of rounding and a relative error from the Q15
// twiddles (1.0 stored as 32767 costs 2^-15 per stage), so the error stays
// below 1e-4 of the input's peak plus a few units.
TEST(AacFft, MatchesDoubleDft) {
    std::mt19937 rng(3);
    std::normal_distribution<double> gauss(0.0, 1.0);
    for (int log2m = 2; log2m <= 9; log2m++) {
        const int m = 1 << log2m;
        for (int signal = 0; signal < 3; signal++) {
            std::vector<int32_t> d(2 * m);
            double peak = 0;
            for (int i = 0; i < m; i++) {
                double re, im;
                if (signal == 0) {  // tone between bins
                    double ph = 2 * M_PI * 5.3 * i / m;
                    re = cos(ph) * 1.0e9;
                    im = sin(ph) * 1.0e9;
                } else if (signal == 1) {  // noise
                    re = gauss(rng) * 2.0e8;
                    im = gauss(rng) * 2.0e8;
                } else {  // impulse
                    re = i == 1 ? 1.4e9 : 0;
                    im = i == 1 ? -0.3e9 : 0;
                }
                d[2 * i] = (int32_t)lrint(re);
                d[2 * i + 1] = (int32_t)lrint(im);
                peak = std::max(peak, std::max(fabs(re), fabs(im)));
            }
            std::vector<int32_t> in = d;
            AacImdctFft(d.data(), log2m);
            double worst = 0;
            for (int k = 0; k < m; k++) {
                double re = 0, im = 0;
                for (int i = 0; i < m; i++) {
                    double a = -2 * M_PI * (double)((int64_t)i * k % m) / m;
                    re += in[2 * i] * cos(a) - in[2 * i + 1] * sin(a);
                    im += in[2 * i] * sin(a) + in[2 * i + 1] * cos(a);
                }
                worst = std::max(worst, fabs(re / m - d[2 * k]));
                worst = std::max(worst, fabs(im / m - d[2 * k + 1]));
            }
            EXPECT_LE(worst, 1e-4 * peak + 2.0 * log2m) << "size " << m << ", signal " << signal;
        }
    }
}

}  // namespace
