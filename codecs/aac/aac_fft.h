// Inverse MDCT core of the AAC filterbank: pre-rotation, complex FFT in block
// floating point and post-rotation, on 32-bit values with Q15 twiddles.
#ifndef CODECS_AAC_AAC_FFT_H
#define CODECS_AAC_AAC_FFT_H

#include <stdint.h>

// In-place forward complex FFT of 2^log2m points (interleaved re, im;
// log2m 2..9), halving at every stage: the result is the transform divided by
// 2^log2m.
void AacImdctFft(int32_t* d, int log2m);

// DCT-IV of n coefficients in place (n = 1024 or 128), divided by 2^gain and
// then shifted by `shift` bits (left saturating, right arithmetic, held to
// -32..32); returns the gain (10 or 7). work holds n values.
int AacImdctInverse(int32_t* x, int n, int shift, int32_t* work);

// Output of a long window after a long one: x the 1024 transform values
// (after the output shift), o the 512 kept overlap values, w the long window
// of the previous shape; 1024 samples rounded and saturated to 16 bits.
void AacOverlapLong(const int32_t* x, const int16_t* o, const int16_t* w, int16_t* pcm);

// The same without the SSE2 kernels (where those exist both give the same
// bits).
void AacImdctFftPlain(int32_t* d, int log2m);
int AacImdctInversePlain(int32_t* x, int n, int shift, int32_t* work);
void AacOverlapLongPlain(const int32_t* x, const int16_t* o, const int16_t* w, int16_t* pcm);

#endif
