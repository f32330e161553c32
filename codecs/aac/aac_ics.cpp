// Individual channel stream: ics_info, section data, scalefactors, pulses,
// TNS data and spectral data, and the inverse quantisation into block
// floating point (mantissas with one exponent per band, then per window).
#include <string.h>

#include "codecs/aac/aac_internal.h"

// Two bits per tree step as always, but the first eight steps walk a 16-bit
// peek held in a register and the reader moves once per codeword. Only
// codewords above 16 bits (long scalefactor codes) go on step by step; the
// walk still ends after ten steps.
static inline int32_t HuffmanDecode(AacBitReader* r, const uint16_t* tree) {
    const uint32_t window = AacBitsPeek(r, 16);
    uint32_t node4 = 0;  // a node entry (bits 0 and 1 clear) is 4 x the node
    for (int used = 0; used < 16; used += 2) {
        uint16_t e = tree[node4 + ((window >> (14 - used)) & 3)];
        if (e & 1) {
            AacBitsRead(r, used + ((e & 2) ? 1 : 2));
            return e >> 2;
        }
        node4 = e;
    }
    uint32_t node = node4 >> 2;
    AacBitsRead(r, 16);
    for (int step = 8; step < 10; step++) {
        uint16_t e = tree[4 * node + AacBitsPeek(r, 2)];
        if (e & 1) {
            AacBitsRead(r, (e & 2) ? 1 : 2);
            return e >> 2;
        }
        AacBitsRead(r, 2);
        node = e >> 2;
    }
    return 0;
}

int32_t AacHuffmanDecode(AacBitReader* r, const uint16_t* tree) { return HuffmanDecode(r, tree); }

int32_t AacParseIcsInfo(AacBitReader* r, AacChannel* c) {
    const AacRateTable* rt = AacRate(c->sfIndex);
    c->icsReservedBit = (uint8_t)AacBitsRead1(r);
    c->windowSequence = (uint8_t)AacBitsRead(r, 2);
    c->windowShape = (uint8_t)AacBitsRead1(r);
    if (c->windowSequence == AAC_EIGHT_SHORT) {
        c->maxSfb = (uint8_t)AacBitsRead(r, 4);
        c->scaleFactorGrouping = (uint8_t)AacBitsRead(r, 7);
        c->numSwb = rt->numSwbShort;
        c->numWindowGroups = 1;
        memset(c->windowGroupLength, 0, sizeof(c->windowGroupLength));
        c->windowGroupLength[0] = 1;
        for (int i = 0; i < 7; i++) {
            if (c->scaleFactorGrouping & (1 << (6 - i))) {
                c->windowGroupLength[c->numWindowGroups - 1]++;
            } else {
                c->numWindowGroups++;
                c->windowGroupLength[c->numWindowGroups - 1] = 1;
            }
        }
    } else {
        c->maxSfb = (uint8_t)AacBitsRead(r, 6);
        c->numSwb = rt->numSwbLong;
        c->numWindowGroups = 1;
        memset(c->windowGroupLength, 0, sizeof(c->windowGroupLength));
        c->windowGroupLength[0] = 1;
        if (AacBitsRead1(r)) return AAC_E_PREDICTION;
    }
    if (c->maxSfb > c->numSwb) return AAC_E_BANDS;
    return 0;
}

static int32_t ParseSectionData(AacBitReader* r, AacChannel* c) {
    const int isShort = c->windowSequence == AAC_EIGHT_SHORT;
    const int lenBits = isShort ? 3 : 5;
    const uint32_t escape = (1u << lenBits) - 1;
    memset(c->sectCb, 0, sizeof(c->sectCb));
    c->intensityUsed = 0;
    c->noiseUsed = 0;
    for (int g = 0; g < c->numWindowGroups; g++) {
        int k = 0;
        uint8_t* cbs = c->sectCb + (isShort ? g * 16 : 0);
        while (k < c->maxSfb) {
            if (r->bitsLeft < 0) return AAC_E_BANDS;
            uint32_t cb = AacBitsRead(r, 4);
            if (cb == AAC_CB_RESERVED) return AAC_E_CODEBOOK;
            int len = 0;
            uint32_t inc;
            // A run of escape values cannot pass the band count; stop early
            // rather than read an unbounded length.
            do {
                inc = AacBitsRead(r, lenBits);
                len += (int)inc;
                if (k + len > c->maxSfb || r->bitsLeft < 0)
                    return r->bitsLeft < 0 ? AAC_E_BANDS : AAC_E_BANDS;
            } while (inc == escape);
            if (len == 0) return AAC_E_BANDS;
            for (int b = k; b < k + len; b++) cbs[b] = (uint8_t)cb;
            if (cb == AAC_CB_INTENSITY || cb == AAC_CB_INTENSITY2) c->intensityUsed = 1;
            if (cb == AAC_CB_NOISE) c->noiseUsed = 1;
            k += len;
        }
    }
    return 0;
}

static int32_t ParseScaleFactors(AacBitReader* r, AacChannel* c) {
    const int isShort = c->windowSequence == AAC_EIGHT_SHORT;
    const uint16_t* sfTree = kAacCodebooks[12].tree;
    int sf = c->globalGain;
    int isPos = 0;
    int noiseEnergy = c->globalGain - 90;
    int noiseFirst = 1;
    memset(c->pnsFlags, 0, sizeof(c->pnsFlags));
    for (int g = 0; g < c->numWindowGroups; g++) {
        for (int b = 0; b < c->maxSfb; b++) {
            int slot = isShort ? g * 16 + b : b;
            int cb = c->sectCb[slot];
            if (cb == AAC_CB_ZERO) {
                c->scaleFactor[slot] = 0;
            } else if (cb == AAC_CB_INTENSITY || cb == AAC_CB_INTENSITY2) {
                isPos += HuffmanDecode(r, sfTree) - 60;
                c->scaleFactor[slot] = (int16_t)isPos;
            } else if (cb == AAC_CB_NOISE) {
                if (noiseFirst) {
                    noiseEnergy += (int)AacBitsRead(r, 9) - 256;
                    noiseFirst = 0;
                } else {
                    noiseEnergy += HuffmanDecode(r, sfTree) - 60;
                }
                c->scaleFactor[slot] = (int16_t)noiseEnergy;
                int bit = isShort ? g * 16 + b : b;
                if (bit < 128) c->pnsFlags[bit >> 5] |= 1u << (bit & 31);
            } else {
                sf += HuffmanDecode(r, sfTree) - 60;
                c->scaleFactor[slot] = (int16_t)(sf - 100);
            }
        }
        if (r->bitsLeft < 0) return AAC_E_BANDS;
    }
    return 0;
}

static int32_t ParsePulseData(AacBitReader* r, AacChannel* c) {
    c->pulsePresent = (uint8_t)AacBitsRead1(r);
    if (!c->pulsePresent) return 0;
    c->numberPulse = (uint8_t)AacBitsRead(r, 2);
    c->pulseStartSfb = (uint8_t)AacBitsRead(r, 6);
    for (int i = 0; i <= c->numberPulse; i++) {
        c->pulseOffset[i] = (uint8_t)AacBitsRead(r, 5);
        c->pulseAmp[i] = (uint8_t)AacBitsRead(r, 4);
    }
    // Pulses exist for long windows only and start inside the band table.
    if (c->windowSequence == AAC_EIGHT_SHORT || c->pulseStartSfb >= c->numSwb) return AAC_E_BANDS;
    return 0;
}

static int32_t ParseTnsData(AacBitReader* r, AacChannel* c) {
    const int isShort = c->windowSequence == AAC_EIGHT_SHORT;
    const int windows = isShort ? 8 : 1;
    const int nBits = isShort ? 1 : 2;
    const int lenBits = isShort ? 4 : 6;
    const int ordBits = isShort ? 3 : 5;
    for (int w = 0; w < windows; w++) {
        int nFilt = (int)AacBitsRead(r, nBits);
        c->tnsNumFilt[w] = (uint8_t)nFilt;
        if (!nFilt) continue;
        int coefRes = (int)AacBitsRead1(r) + 3;
        int top = c->numSwb;
        for (int f = 0; f < nFilt; f++) {
            AacTnsFilter* t = &c->tns[w][f];
            int length = (int)AacBitsRead(r, lenBits);
            int order = (int)AacBitsRead(r, ordBits);
            int start = top - length;
            if (start < 0) return AAC_E_TNS;
            t->startBand = (uint8_t)start;
            t->topBand = (uint8_t)top;
            t->coefRes = (uint8_t)coefRes;
            t->direction = 1;
            top = start;
            if (order) {
                t->direction = AacBitsRead1(r) ? 255 : 1;
                int compress = (int)AacBitsRead1(r);
                int bits = coefRes - compress;
                for (int i = 0; i < order; i++) {
                    int v = (int)AacBitsRead(r, bits);
                    if (v >= (1 << (bits - 1))) v -= 1 << bits;
                    if (i < 32) t->coef[i] = (int8_t)v;
                }
            }
            t->order = (uint8_t)(order > 12 ? 12 : order);
        }
    }
    return r->bitsLeft < 0 ? AAC_E_BANDS : 0;
}

// Sign bits of an unsigned codebook: one per non-zero value, in order, read
// at once.
static inline void ReadSigns(AacBitReader* r, int* v, int dim) {
    int nz = 0;
    for (int i = 0; i < dim; i++) nz += v[i] != 0;
    // Without branches on the values: a zero takes no bit and keeps its sign.
    uint32_t bits = AacBitsRead0(r, nz);
    for (int i = 0; i < dim; i++) {
        int z = v[i] != 0;
        nz -= z;
        int32_t neg = -(int32_t)((bits >> nz) & (uint32_t)z);
        v[i] = (v[i] ^ neg) - neg;
    }
}

// Codebooks 1-4: four values of two bits per codeword. The decoders work on a
// local copy of the reader, which the compiler can keep in registers (the
// output stores could alias the caller's).
static int32_t DecodeQuads(AacBitReader* reader, const AacCodebook* book, int32_t* out, int count,
                           uint32_t* maxOut) {
    uint32_t mx = 0;
    AacBitReader local = *reader;
    AacBitReader* r = &local;
    const uint16_t* tree = book->tree;
    const int offset = book->offset;
    for (int k = 0; k < count; k += 4) {
        int sym = HuffmanDecode(r, tree);
        int v[4] = {(sym & 3) - offset, ((sym >> 2) & 3) - offset, ((sym >> 4) & 3) - offset,
                    ((sym >> 6) & 3) - offset};
        if (!book->isSigned) ReadSigns(r, v, 4);
        out[k] = v[0];
        out[k + 1] = v[1];
        out[k + 2] = v[2];
        out[k + 3] = v[3];
        for (int i = 0; i < 4; i++) {
            uint32_t a = (uint32_t)(v[i] < 0 ? -v[i] : v[i]);
            mx = a > mx ? a : mx;
        }
    }
    *reader = local;
    *maxOut = mx;
    return 0;
}

// Codebooks 5-11: two values per codeword; 11 with escapes.
static int32_t DecodePairs(AacBitReader* reader, const AacCodebook* book, int32_t* out, int count,
                           int cb, uint32_t* maxOut) {
    uint32_t mx = 0;
    AacBitReader local = *reader;
    AacBitReader* r = &local;
    const uint16_t* tree = book->tree;
    const int bits = book->bits;
    const int mask = (1 << bits) - 1;
    const int offset = book->offset;
    for (int k = 0; k < count; k += 2) {
        int sym = HuffmanDecode(r, tree);
        int v[2] = {(sym & mask) - offset, ((sym >> bits) & mask) - offset};
        if (!book->isSigned) {
            ReadSigns(r, v, 2);
            if (cb == AAC_CB_ESC) {
                for (int i = 0; i < 2; i++) {
                    if (v[i] != 16 && v[i] != -16) continue;
                    int n = 4;
                    while (AacBitsRead1(r)) {
                        if (++n > 12) {
                            *reader = local;
                            return AAC_E_BANDS;  // would exceed 8191
                        }
                    }
                    int mag = (1 << n) + (int)AacBitsRead(r, n);
                    v[i] = v[i] < 0 ? -mag : mag;
                }
            }
        }
        out[k] = v[0];
        out[k + 1] = v[1];
        for (int i = 0; i < 2; i++) {
            uint32_t a = (uint32_t)(v[i] < 0 ? -v[i] : v[i]);
            mx = a > mx ? a : mx;
        }
    }
    *reader = local;
    *maxOut = mx;
    return 0;
}

// Quantised values of the whole channel into spectrum[] (window w at w * 128),
// and the largest magnitude of each decoded band and window.
static int32_t ParseSpectralData(AacBitReader* r, AacChannel* c, uint16_t (*bandMax)[64]) {
    const int isShort = c->windowSequence == AAC_EIGHT_SHORT;
    const uint16_t* swb = AacSwb(c);
    int32_t* spec = c->spectrum;
    memset(spec, 0, sizeof(c->spectrum));
    int winBase = 0;
    for (int g = 0; g < c->numWindowGroups; g++) {
        for (int b = 0; b < c->maxSfb; b++) {
            int cb = c->sectCb[isShort ? g * 16 + b : b];
            if (cb == AAC_CB_ZERO || cb >= AAC_CB_NOISE) continue;
            const AacCodebook* book = &kAacCodebooks[cb];
            for (int wi = 0; wi < c->windowGroupLength[g]; wi++) {
                int32_t* out = spec + (winBase + wi) * 128;
                uint32_t mx = 0;
                int32_t err =
                    book->dimension == 4
                        ? DecodeQuads(r, book, out + swb[b], swb[b + 1] - swb[b], &mx)
                        : DecodePairs(r, book, out + swb[b], swb[b + 1] - swb[b], cb, &mx);
                bandMax[winBase + wi][b] = (uint16_t)mx;
                if (err) return err;
                if (r->bitsLeft < 0) return AAC_E_BANDS;
            }
        }
        winBase += c->windowGroupLength[g];
    }
    return 0;
}

static void ApplyPulses(AacChannel* c, uint16_t* bandMax) {
    const uint16_t* swb = AacSwb(c);
    int k = swb[c->pulseStartSfb];
    for (int i = 0; i <= c->numberPulse; i++) {
        k += c->pulseOffset[i];
        if (k >= 1024) break;
        if (c->spectrum[k] > 0)
            c->spectrum[k] += c->pulseAmp[i];
        else
            c->spectrum[k] -= c->pulseAmp[i];
    }
    // Pulses come with long windows only: the band maxima again.
    for (int b = 0; b < c->maxSfb; b++) {
        uint32_t mx = 0;
        for (int j = swb[b]; j < swb[b + 1]; j++) {
            uint32_t a = (uint32_t)(c->spectrum[j] < 0 ? -c->spectrum[j] : c->spectrum[j]);
            mx = a > mx ? a : mx;
        }
        bandMax[b] = (uint16_t)mx;
    }
}

// |q|^(4/3) x 2^((sf & 3)/4) as a Q31 mantissa in [0.5, 1), for a magnitude
// a >= 1, and its exponent without the sf >> 2 part.
static inline int32_t QuantMagnitude(uint32_t a, int sf3, int* expOut) {
    int e = 32 - __builtin_clz(a);
    if (e > 15) e = 15, a = 32767;
    uint32_t m = a << (31 - e);
    int idx = (int)((m >> 22) & 0xFF);
    int frac = (int)((m >> 18) & 15);
    int32_t p =
        kAacPow43[idx] + (int32_t)(((int64_t)(kAacPow43[idx + 1] - kAacPow43[idx]) * frac) >> 4);
    int row = sf3 * 16 + e;
    int32_t prod = (int32_t)(((int64_t)p * kAacQuantGainMant[row]) >> 31);
    int ns = AacNorm32(prod);
    *expOut = kAacQuantGainExp[row] - ns;
    return prod << ns;
}

// Mantissas of each band aligned to the band's largest value. Magnitudes
// below 16, nearly all of them, come from a table of the scalefactor's
// fraction, filled on first use.
static void InverseQuantise(AacChannel* c, uint16_t (*bandMax)[64]) {
    const int isShort = c->windowSequence == AAC_EIGHT_SHORT;
    const uint16_t* swb = AacSwb(c);
    int32_t smallMant[4][16];
    int8_t smallExp[4][16];
    uint8_t rowReady[4] = {0, 0, 0, 0};
    int winBase = 0;
    for (int g = 0; g < c->numWindowGroups; g++) {
        for (int wi = 0; wi < c->windowGroupLength[g]; wi++) {
            int w = winBase + wi;
            int32_t* spec = c->spectrum + w * 128;
            for (int b = 0; b < c->numSwb; b++) {
                int slot = isShort ? g * 16 + b : b;
                int cb = b < c->maxSfb ? c->sectCb[slot] : 0;
                c->bandExp[w][b] = -32;
                const int lo = swb[b], hi = swb[b + 1];
                if (cb == AAC_CB_ZERO || cb >= AAC_CB_NOISE) {
                    // zero already unless a pulse landed here
                    if (c->pulsePresent) memset(spec + lo, 0, sizeof(int32_t) * (hi - lo));
                    continue;
                }
                int sf = c->scaleFactor[slot];
                const int sf3 = sf & 3;
                uint32_t maxq = bandMax[w][b];
                if (maxq == 0) continue;
                int bandExp;
                QuantMagnitude(maxq, sf3, &bandExp);
                int32_t* mant = smallMant[sf3];
                int8_t* mexp = smallExp[sf3];
                if (!rowReady[sf3]) {
                    mant[0] = 0;
                    mexp[0] = 0;
                    for (uint32_t a = 1; a < 16; a++) {
                        int e;
                        mant[a] = QuantMagnitude(a, sf3, &e);
                        mexp[a] = (int8_t)e;
                    }
                    rowReady[sf3] = 1;
                }
                if (maxq < 16) {
                    // The band's few distinct values, aligned once, then
                    // looked up per line.
                    int32_t aligned[31];
                    aligned[15] = 0;
                    for (int a = 1; a <= (int)maxq; a++) {
                        int sh = mexp[a] - bandExp;
                        aligned[15 + a] = AacShiftSat(mant[a], sh);
                        aligned[15 - a] = AacShiftSat(-mant[a], sh);
                    }
                    for (int k = lo; k < hi; k++) spec[k] = aligned[15 + spec[k]];
                } else {
                    for (int k = lo; k < hi; k++) {
                        int32_t q = spec[k];
                        if (q == 0) continue;
                        uint32_t a = (uint32_t)(q < 0 ? -q : q);
                        int32_t m;
                        int e;
                        if (a < 16) {
                            m = mant[a];
                            e = mexp[a];
                        } else {
                            m = QuantMagnitude(a, sf3, &e);
                        }
                        spec[k] = AacShiftSat(q < 0 ? -m : m, e - bandExp);
                    }
                }
                c->bandExp[w][b] = (int16_t)(bandExp + (sf >> 2));
            }
        }
        winBase += c->windowGroupLength[g];
    }
}

void AacScaleToBlockExponent(AacChannel* c) {
    const int windows = c->windowSequence == AAC_EIGHT_SHORT ? 8 : 1;
    const uint16_t* swb = AacSwb(c);
    for (int w = 0; w < windows; w++) {
        int e = -32;
        for (int b = 0; b < c->numSwb; b++)
            if (c->bandExp[w][b] > e) e = c->bandExp[w][b];
        if (c->tnsPresent) e += 2;
        c->blockExp[w] = (int16_t)e;
        int32_t* spec = c->spectrum + w * 128;
        for (int b = 0; b < c->numSwb; b++) {
            // e is the largest band exponent: only right shifts here
            int s = e - c->bandExp[w][b];
            if (s == 0) continue;
            if (s > 31) s = 31;
            for (int k = swb[b]; k < swb[b + 1]; k++) spec[k] >>= s;
        }
    }
    // Lines above the last band (short tables end at 128, long at 1024) stay 0.
}

int32_t AacDecodeIcs(AacBitReader* r, AacChannel* c, int commonWindow, AacPnsState* pns) {
    int32_t err;
    (void)pns;
    if (!commonWindow) {
        err = AacParseIcsInfo(r, c);
        if (err) return err;
    }
    err = ParseSectionData(r, c);
    if (err) return err;
    err = ParseScaleFactors(r, c);
    if (err) return err;
    err = ParsePulseData(r, c);
    if (err) return err;
    c->tnsPresent = (uint8_t)AacBitsRead1(r);
    memset(c->tnsNumFilt, 0, sizeof(c->tnsNumFilt));
    if (c->tnsPresent) {
        err = ParseTnsData(r, c);
        if (err) return err;
    }
    if (AacBitsRead1(r)) return AAC_E_GAINCONTROL;
    uint16_t bandMax[8][64];  // set for every band that has spectral data
    err = ParseSpectralData(r, c, bandMax);
    if (err) return err;
    if (c->pulsePresent) ApplyPulses(c, bandMax[0]);
    InverseQuantise(c, bandMax);
    return r->bitsLeft < 0 ? AAC_E_BANDS : 0;
}
