// Parametric stereo driven by the input: byte 0 picks the band limit and
// the exponents, the rest is a run of PS payloads (a length byte, then the
// payload). Each payload is parsed, its parameters decoded and one frame of
// QMF data, filled from the input, is mixed into two channels. Nothing may
// read or write outside the state and the frame.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "codecs/aac/ps.h"

namespace {
PsState g_ps;
int32_t g_re[38][64], g_im[38][64], g_rre[32][64], g_rim[32][64];
int g_exp[38];
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2 || size > 8192) return 0;
    PsDecoderInit(&g_ps);
    const int limit = 3 + data[0] % 62;
    const int kx = 3 + (data[0] >> 2) % 30;
    size_t pos = 1;
    for (int frame = 0; frame < 8 && pos < size; frame++) {
        size_t len = data[pos++];
        if (len > size - pos) len = size - pos;
        AacBitReader br;
        AacBitsInitBits(&br, data + pos, 0, (int)len * 8);
        PsParseData(&g_ps.bs, &br, (int)len * 8);
        PsDecodeParameters(&g_ps.bs, &g_ps.params);
        g_ps.bs.dataValid = 0;
        for (int l = 0; l < 38; l++) {
            for (int k = 0; k < 64; k++) {
                const uint8_t b = data[(pos + (size_t)l * 64 + (size_t)k) % size];
                g_re[l][k] = (int32_t)((uint32_t)b * 0x01010101u) ^ (k & 1 ? 0x80000000u : 0);
                g_im[l][k] = (int32_t)((uint32_t)b << 23);
            }
            g_exp[l] = (data[(pos + (size_t)l) % size] & 7) == 0
                           ? kPsMutedExp
                           : 10 + (data[(pos + l) % size] & 31);
        }
        int32_t *re[38], *im[38], *rre[32], *rim[32];
        for (int l = 0; l < 38; l++) {
            re[l] = g_re[l];
            im[l] = g_im[l];
            if (l < 32) {
                rre[l] = g_rre[l];
                rim[l] = g_rim[l];
            }
        }
        PsApplyFrame(&g_ps, re, im, rre, rim, 8 + (data[pos % size] & 31), g_exp, kx, limit);
        pos += len;
    }
    return 0;
}
