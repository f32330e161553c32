// Mantissa-exponent arithmetic of the SBR envelope adjuster: a value is a
// Q15 mantissa m with exponent e, value = (m / 32768) x 2^e.
#pragma once
#include <cstdint>

// A mantissa-exponent value: (m / 32768) x 2^e.
struct SbrME {
    int16_t m;
    int16_t e;
};

SbrME SbrMeNorm(SbrME a);
SbrME SbrMeAdd(SbrME a, SbrME b);
SbrME SbrMeDiv(SbrME a, SbrME b);
SbrME SbrMeMul(SbrME a, SbrME b);
SbrME SbrMeSqrt(SbrME a);
bool SbrMeLess(SbrME a, SbrME b);  // both non-negative

void SbrAddMantExp(int16_t m0, int e0, int16_t m1, int e1, int16_t* m, int* e);
void SbrDivMantExp(int16_t m0, int e0, int16_t m1, int e1, int16_t* m, int* e);
void SbrSqrtMantExp(int16_t* m, int* e);

// Re-expresses `count` 16-bit mantissas at exponent `exponent` at
// `newExponent`: each, placed in the upper half of 32 bits, is shifted right
// by newExponent - exponent (left when negative; the shift held to -32..32),
// rounded (add 0x8000, keep the upper half) and saturated to 16 bits.
void SbrShiftGains16(int16_t* values, int exponent, int newExponent, int count);

// Brings two gain sets to one exponent per subband: the larger of the two
// exponents, to which the other mantissa is shifted as by SbrShiftGains16
// (so neither saturates); both exponent arrays then hold it.
void SbrAlignGains(int16_t* previous, int8_t* previousExponents, int16_t* current,
                   int8_t* currentExponents, int count);
