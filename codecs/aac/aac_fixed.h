// Fixed-point helpers of the AAC, SBR and parametric-stereo stages. One
// convention throughout: a positive shift count moves left (saturating), a
// negative one moves right (arithmetic).
#ifndef CODECS_AAC_AAC_FIXED_H
#define CODECS_AAC_AAC_FIXED_H

#include <stdint.h>

static inline int32_t AacSat32(int64_t v) {
    return v > INT32_MAX ? INT32_MAX : (v < INT32_MIN ? INT32_MIN : (int32_t)v);
}

static inline int16_t AacSat16(int64_t v) {
    return (int16_t)(v > 32767 ? 32767 : (v < -32768 ? -32768 : v));
}

// Q31 product, saturating (only -1 x -1 can overflow).
static inline int32_t AacMulQ31(int32_t a, int32_t b) { return AacSat32(((int64_t)a * b) >> 31); }

// v x 2^s: left (saturating) when s is positive, arithmetic right when it
// is negative; s is held to -32..32, so a right shift of 32 or more leaves
// the sign (0 or -1).
static inline int32_t AacShiftSat(int32_t v, int s) {
    if (s > 32) s = 32;
    if (s < -32) s = -32;
    if (s >= 0) return AacSat32((int64_t)v * ((int64_t)1 << s));
    if (s <= -32) return v < 0 ? -1 : 0;
    return v >> (-s);
}

// Redundant sign bits of a 32-bit value (31 for 0 and -1).
static inline int AacNorm32(int32_t v) {
    uint32_t x = (uint32_t)(v ^ (v >> 31));
    if (x == 0) return 31;
    return __builtin_clz(x) - 1;
}

#endif  // CODECS_AAC_AAC_FIXED_H
