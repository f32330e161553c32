// Mantissa-exponent arithmetic on 16-bit mantissas.
#include "sbr_mantexp.h"

#include "sbr_tables.h"

namespace {

int16_t R16(int64_t x) {
    int64_t r = (x + 0x8000) >> 16;
    return (int16_t)(r > 32767 ? 32767 : (r < -32768 ? -32768 : r));
}

int32_t Sat32(int64_t v) {
    return v > INT32_MAX ? INT32_MAX : (v < INT32_MIN ? INT32_MIN : (int32_t)v);
}

// Redundant sign bits of a 16-bit mantissa (0 for 0x4000..0x7fff).
int Norm16(int16_t m) {
    if (m == 0) return 15;
    int32_t x = (int32_t)m * 65536;
    int n = 0;
    while (((x << 1) ^ x) >= 0 && n < 31) {
        x <<= 1;
        n++;
    }
    return n;
}

}  // namespace

void SbrAddMantExp(int16_t m0, int e0, int16_t m1, int e1, int16_t* m, int* e) {
    // Align the operand with the smaller exponent (m0 on a tie).
    if (e1 > e0) {
        int d = e1 - e0;
        if (d > 31) d = 31;
        m0 = R16(((int64_t)m0 * 65536) >> d);
        *e = e1;
    } else {
        int d = e0 - e1;
        if (d > 31) d = 31;
        m1 = R16(((int64_t)m1 * 65536) >> d);
        *e = e0;
    }
    int32_t h0 = R16(((int64_t)m0 * 65536) >> 1), h1 = R16(((int64_t)m1 * 65536) >> 1);
    int32_t s = h0 + h1;
    s = s > 32767 ? 32767 : (s < -32768 ? -32768 : s);
    int64_t s16 = (int64_t)s * 65536;
    if (s16 >= 0x3FFF0000 || s16 < -0x3FFFFFFF) {
        *m = (int16_t)s;
        *e += 1;
    } else {
        *m = R16(Sat32((int64_t)m0 * 65536 + (int64_t)m1 * 65536));
    }
}

void SbrDivMantExp(int16_t m0, int e0, int16_t m1, int e1, int16_t* m, int* e) {
    int z1 = Norm16(m1);
    int v = (z1 <= 5 ? (m1 >> (5 - z1)) : (m1 * (1 << (z1 - 5)))) & 0x1FF;
    int16_t q = v == 0 ? m0 : R16(Sat32(2 * (int64_t)m0 * kSbrRecipMant[(v - 1) >> 1]));
    int z2 = Norm16(q);
    if (q == 0) z2 = 0;
    *m = R16(Sat32(((int64_t)q * 65536) << z2));
    *e = e0 - e1 + z1 - z2 + 1;
}

void SbrSqrtMantExp(int16_t* m, int* e) {
    if (*m <= 0) {
        *m = 0;
        *e = -16;
        return;
    }
    int n = Norm16(*m);
    if (n > 5) n = 5;  // mantissas are expected normalised
    int E = (int8_t)(*e - n);
    int v = (*m >> (5 - n)) & 0x1FF;
    int32_t t = v == 0 ? 0x5A82 : kSbrSqrtMant[(v - 1) >> 1];
    if (E & 1) {
        t = R16(Sat32((int64_t)t * 0xB504));
        E += 1;
    }
    *m = (int16_t)t;
    *e = E >> 1;
}

namespace {
const SbrME kZero = {0, -64};
}  // namespace

SbrME SbrMeNorm(SbrME a) {
    if (a.m == 0) return kZero;
    while (a.m < 16384 && a.m > -16384 && a.m != 0) {
        a.m = (int16_t)(a.m * 2);
        a.e--;
    }
    return a;
}

SbrME SbrMeAdd(SbrME a, SbrME b) {
    if (a.m == 0) return b;
    if (b.m == 0) return a;
    int16_t m;
    int e;
    SbrAddMantExp(a.m, a.e, b.m, b.e, &m, &e);
    return SbrMeNorm(SbrME{m, (int16_t)e});
}

SbrME SbrMeDiv(SbrME a, SbrME b) {
    if (a.m == 0) return kZero;
    int16_t m;
    int e;
    b = SbrMeNorm(b);
    SbrDivMantExp(a.m, a.e, b.m, b.e, &m, &e);
    return SbrMeNorm(SbrME{m, (int16_t)e});
}

SbrME SbrMeMul(SbrME a, SbrME b) {
    if (a.m == 0 || b.m == 0) return kZero;
    int32_t p = (int32_t)a.m * b.m;  // Q30
    int64_t r = ((int64_t)p + 0x4000) >> 15;
    if (r > 32767) return SbrMeNorm(SbrME{(int16_t)(r >> 1), (int16_t)(a.e + b.e + 1)});
    return SbrMeNorm(SbrME{(int16_t)r, (int16_t)(a.e + b.e)});
}

SbrME SbrMeSqrt(SbrME a) {
    a = SbrMeNorm(a);
    int16_t m = a.m;
    int e = a.e;
    SbrSqrtMantExp(&m, &e);
    if (m == 0) return kZero;
    return SbrMeNorm(SbrME{m, (int16_t)e});
}

bool SbrMeLess(SbrME a, SbrME b) {  // both non-negative
    a = SbrMeNorm(a);
    b = SbrMeNorm(b);
    if (a.m == 0) return b.m != 0;
    if (b.m == 0) return false;
    if (a.e != b.e) return a.e < b.e;
    return a.m < b.m;
}

void SbrShiftGains16(int16_t* values, int exponent, int newExponent, int count) {
    int d = newExponent - exponent;
    if (d > 32) d = 32;
    if (d < -32) d = -32;
    for (int i = 0; i < count; i++) {
        int64_t x = (int64_t)values[i] * 65536;
        // Left shifts by up to 32 of a value below 2^31 stay inside 64 bits.
        x = d >= 0 ? x >> d : x * ((int64_t)1 << -d);
        values[i] = R16(x);
    }
}

void SbrAlignGains(int16_t* previous, int8_t* previousExponents, int16_t* current,
                   int8_t* currentExponents, int count) {
    for (int k = 0; k < count; k++) {
        const int ep = previousExponents[k], ec = currentExponents[k];
        if (ep < ec) {
            SbrShiftGains16(&previous[k], ep, ec, 1);
            previousExponents[k] = (int8_t)ec;
        } else if (ec < ep) {
            SbrShiftGains16(&current[k], ec, ep, 1);
            currentExponents[k] = (int8_t)ep;
        }
    }
}
