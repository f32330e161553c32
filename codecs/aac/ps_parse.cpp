// Parametric stereo payload parsing and parameter decoding.
#include <cstring>

#include "ps.h"

namespace {

const int kBandCount[3] = {10, 20, 34};
const int kFixedEnvelopes[4] = {0, 1, 2, 4};

// Skips the rest of a payload in pieces of at most 8 bits.
void SkipTo(AacBitReader* br, int start, int payloadBits) {
    int left = payloadBits - (br->bitsRead - start);
    while (left > 0) {
        int n = left > 8 ? 8 : left;
        AacBitsReadLong(br, n);
        left -= n;
    }
}

}  // namespace

int AacHuffmanTreeDecode(const int8_t* tree, AacBitReader* br) {
    int node = 0;
    // Every path of a well-formed tree ends in a leaf; the bound only guards
    // against a malformed table.
    for (int steps = 0; steps < 64; steps++) {
        int next = tree[2 * node + (int)AacBitsReadLong(br, 1)];
        if (next < 0) return -64 - next;
        node = next;
    }
    return 0;
}

int PsParseData(PsBitstream* bs, AacBitReader* br, int payloadBits) {
    const int start = br->bitsRead;
    bs->dataValid = 0;
    if (AacBitsReadLong(br, 1)) {  // enable_ps_header
        bs->headerSeen = 1;
        bs->enableIid = (uint8_t)AacBitsReadLong(br, 1);
        if (bs->enableIid) {
            int mode = (int)AacBitsReadLong(br, 3);
            bs->iidFine = mode > 2 && mode < 6 ? 1 : 0;
            bs->iidMode = (uint8_t)(mode > 2 ? mode - 3 : mode);
        }
        bs->enableIcc = (uint8_t)AacBitsReadLong(br, 1);
        if (bs->enableIcc) {
            int mode = (int)AacBitsReadLong(br, 3);
            bs->iccMode = (uint8_t)(mode > 2 ? mode - 3 : mode);
        }
        bs->enableExt = (uint8_t)AacBitsReadLong(br, 1);
    }
    // Transmitted modes 6 and 7 are reserved; so is data before any header.
    if (!bs->headerSeen || (bs->enableIid && bs->iidMode > 2) ||
        (bs->enableIcc && bs->iccMode > 2)) {
        bs->numEnv = 0;
        SkipTo(br, start, payloadBits);
        return br->bitsRead - start;
    }
    bs->frameClass = (uint8_t)AacBitsReadLong(br, 1);
    const int envIdx = (int)AacBitsReadLong(br, 2);
    if (bs->frameClass) {
        bs->numEnv = (uint8_t)(envIdx + 1);
        bs->border[0] = 0;
        for (int e = 0; e < bs->numEnv; e++)
            bs->border[e + 1] = (uint8_t)(AacBitsReadLong(br, 5) + 1);
    } else {
        bs->numEnv = (uint8_t)kFixedEnvelopes[envIdx];
    }
    if (bs->enableIid) {
        const int n = kBandCount[bs->iidMode];
        for (int e = 0; e < bs->numEnv; e++) {
            bs->iidDt[e] = (uint8_t)AacBitsReadLong(br, 1);
            const PsHuffTable& t =
                kPsHuff[(bs->iidFine ? kPsHuffIidFineF : kPsHuffIidF) + bs->iidDt[e]];
            for (int b = 0; b < n; b++)
                bs->iidDelta[e][b] = (int8_t)AacHuffmanTreeDecode(t.tree, br);
        }
    }
    if (bs->enableIcc) {
        const int n = kBandCount[bs->iccMode];
        for (int e = 0; e < bs->numEnv; e++) {
            bs->iccDt[e] = (uint8_t)AacBitsReadLong(br, 1);
            const PsHuffTable& t = kPsHuff[kPsHuffIccF + bs->iccDt[e]];
            for (int b = 0; b < n; b++)
                bs->iccDelta[e][b] = (int8_t)AacHuffmanTreeDecode(t.tree, br);
        }
    }
    if (bs->enableExt) {
        int count = (int)AacBitsReadLong(br, 4);
        if (count == 15) count += (int)AacBitsReadLong(br, 8);
        for (int i = 0; i < count; i++) AacBitsReadLong(br, 8);  // IPD/OPD: not used
    }
    if (br->bitsLeft < 0 || br->bitsRead - start > payloadBits) {
        bs->numEnv = 0;
        return br->bitsRead - start;
    }
    bs->dataValid = 1;
    return br->bitsRead - start;
}

int PsThird(int y) {
    int a = y < 0 ? -y : y;
    int q = (2 * a * 21856 + 0x8000) >> 16;
    if (q > 32767) q = 32767;
    q >>= 1;
    return y < 0 ? -q : q;
}

void PsMap34To20(int8_t* v) {
    int8_t o[kPsStereoBands];
    o[0] = (int8_t)PsThird(2 * v[0] + v[1]);
    o[1] = (int8_t)PsThird(v[1] + 2 * v[2]);
    o[2] = (int8_t)PsThird(2 * v[3] + v[4]);
    o[3] = (int8_t)PsThird(v[4] + 2 * v[5]);
    o[4] = (int8_t)PsHalve(v[6], v[7]);
    o[5] = (int8_t)PsHalve(v[8], v[9]);
    o[6] = v[10];
    o[7] = v[11];
    o[8] = (int8_t)PsHalve(v[12], v[13]);
    o[9] = (int8_t)PsHalve(v[14], v[15]);
    o[10] = v[16];
    o[11] = v[17];
    o[12] = v[18];
    o[13] = v[19];
    o[14] = (int8_t)PsHalve(v[20], v[21]);
    o[15] = (int8_t)PsHalve(v[22], v[23]);
    o[16] = (int8_t)PsHalve(v[24], v[25]);
    o[17] = (int8_t)PsHalve(v[26], v[27]);
    // The mean of all four values: halving the two halves would truncate
    // twice ((1, 2, 0, 1) would give 0, not 1).
    o[18] = (int8_t)((v[28] + v[29] + v[30] + v[31]) / 4);
    o[19] = (int8_t)PsHalve(v[32], v[33]);
    memcpy(v, o, sizeof(o));
}

namespace {

// Decodes one parameter's deltas of envelope e into out (native band
// count, 10-band data spread to 20). Returns the count stored.
int DeltaDecodeOne(const int8_t* delta, int dt, int mode, const int8_t* prev, int low, int high,
                   int8_t* out) {
    const int n = kBandCount[mode];
    int8_t v[kPsMaxBands];
    for (int b = 0; b < n; b++) {
        int x;
        if (dt) {
            x = (mode == 0 ? prev[2 * b] : prev[b]) + delta[b];
        } else {
            x = (b ? v[b - 1] : 0) + delta[b];
        }
        v[b] = (int8_t)PsClamp(x, low, high);
    }
    if (mode == 0) {
        for (int b = 0; b < 10; b++) out[2 * b] = out[2 * b + 1] = v[b];
        return 20;
    }
    memcpy(out, v, (size_t)n);
    return n;
}

}  // namespace

void PsDeltaDecode(PsBitstream* bs, int8_t iid[kPsMaxEnvelopes][kPsMaxBands],
                   int8_t icc[kPsMaxEnvelopes][kPsMaxBands], int numEnv) {
    const int iidMax = bs->iidFine ? 15 : 7;
    for (int e = 0; e < numEnv; e++) {
        const int8_t* prevIid = e ? iid[e - 1] : bs->prevIid;
        const int8_t* prevIcc = e ? icc[e - 1] : bs->prevIcc;
        if (bs->enableIid)
            DeltaDecodeOne(bs->iidDelta[e], bs->iidDt[e], bs->iidMode, prevIid, -iidMax, iidMax,
                           iid[e]);
        else
            memset(iid[e], 0, kPsMaxBands);
        if (bs->enableIcc)
            DeltaDecodeOne(bs->iccDelta[e], bs->iccDt[e], bs->iccMode, prevIcc, 0, 7, icc[e]);
        else
            memset(icc[e], 0, kPsMaxBands);
    }
}

void PsDecodeParameters(PsBitstream* bs, PsParams* out) {
    int numEnv = bs->dataValid ? bs->numEnv : 0;
    int8_t iid[kPsMaxEnvelopes][kPsMaxBands];
    int8_t icc[kPsMaxEnvelopes][kPsMaxBands];
    memset(iid, 0, sizeof(iid));
    memset(icc, 0, sizeof(icc));
    int iidMode = bs->iidMode, iccMode = bs->iccMode;
    if (numEnv > 0) {
        PsDeltaDecode(bs, iid, icc, numEnv);
    } else {
        // No parameters this frame: the previous frame's last ones hold over
        // one envelope. Their resolution is that of the last data seen.
        numEnv = 1;
        memcpy(iid[0], bs->prevIid, kPsMaxBands);
        memcpy(icc[0], bs->prevIcc, kPsMaxBands);
        if (!bs->enableIid) memset(iid[0], 0, kPsMaxBands);
        if (!bs->enableIcc) memset(icc[0], 0, kPsMaxBands);
    }
    memcpy(bs->prevIid, iid[numEnv - 1], kPsMaxBands);
    memcpy(bs->prevIcc, icc[numEnv - 1], kPsMaxBands);

    out->iidFine = bs->iidFine;
    out->border[0] = 0;
    if (bs->dataValid && bs->numEnv > 0 && bs->frameClass) {
        for (int e = 1; e <= numEnv; e++) out->border[e] = bs->border[e];
        if (out->border[numEnv] < kPsSlots) {
            memcpy(iid[numEnv], iid[numEnv - 1], kPsMaxBands);
            memcpy(icc[numEnv], icc[numEnv - 1], kPsMaxBands);
            numEnv++;
            out->border[numEnv] = kPsSlots;
        }
        for (int e = 1; e <= numEnv; e++) {
            int b = out->border[e];
            if (b > kPsSlots - (numEnv - e)) b = kPsSlots - (numEnv - e);
            if (b < out->border[e - 1] + 1) b = out->border[e - 1] + 1;
            out->border[e] = (uint8_t)b;
        }
    } else {
        const int s = numEnv == 4 ? 2 : numEnv - 1;
        for (int e = 1; e <= numEnv; e++) out->border[e] = (uint8_t)((kPsSlots * e) >> s);
    }
    out->numEnv = numEnv;
    for (int e = 0; e < numEnv; e++) {
        if (iidMode == 2 && bs->enableIid) PsMap34To20(iid[e]);
        if (iccMode == 2 && bs->enableIcc) PsMap34To20(icc[e]);
        memcpy(out->iid[e], iid[e], kPsStereoBands);
        memcpy(out->icc[e], icc[e], kPsStereoBands);
    }
}
