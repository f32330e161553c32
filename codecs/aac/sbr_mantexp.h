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
