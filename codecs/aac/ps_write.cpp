// Parametric stereo payload writer, the mirror of PsParseData, for test
// streams.
#include "ps.h"

namespace {

void WriteSymbol(SbrBitWriter* bw, const PsHuffTable& t, int value) {
    int s = PsClamp(value + t.lav, 0, t.count - 1);
    SbrWriteBits(bw, t.code[s], t.len[s]);
}

const int kBandCount[3] = {10, 20, 34};

}  // namespace

void PsWriteData(SbrBitWriter* bw, const PsBitstream* bs, int withHeader, int extBytes) {
    SbrWriteBits(bw, withHeader ? 1 : 0, 1);
    if (withHeader) {
        SbrWriteBits(bw, bs->enableIid, 1);
        if (bs->enableIid) SbrWriteBits(bw, (uint32_t)(bs->iidMode + (bs->iidFine ? 3 : 0)), 3);
        SbrWriteBits(bw, bs->enableIcc, 1);
        if (bs->enableIcc) SbrWriteBits(bw, bs->iccMode, 3);
        SbrWriteBits(bw, bs->enableExt, 1);
    }
    SbrWriteBits(bw, bs->frameClass, 1);
    if (bs->frameClass) {
        SbrWriteBits(bw, (uint32_t)(bs->numEnv - 1), 2);
        for (int e = 0; e < bs->numEnv; e++) SbrWriteBits(bw, (uint32_t)(bs->border[e + 1] - 1), 5);
    } else {
        const int idx = bs->numEnv == 4 ? 3 : bs->numEnv;
        SbrWriteBits(bw, (uint32_t)idx, 2);
    }
    if (bs->enableIid) {
        for (int e = 0; e < bs->numEnv; e++) {
            SbrWriteBits(bw, bs->iidDt[e], 1);
            const PsHuffTable& t =
                kPsHuff[(bs->iidFine ? kPsHuffIidFineF : kPsHuffIidF) + bs->iidDt[e]];
            for (int b = 0; b < kBandCount[bs->iidMode]; b++)
                WriteSymbol(bw, t, bs->iidDelta[e][b]);
        }
    }
    if (bs->enableIcc) {
        for (int e = 0; e < bs->numEnv; e++) {
            SbrWriteBits(bw, bs->iccDt[e], 1);
            const PsHuffTable& t = kPsHuff[kPsHuffIccF + bs->iccDt[e]];
            for (int b = 0; b < kBandCount[bs->iccMode]; b++)
                WriteSymbol(bw, t, bs->iccDelta[e][b]);
        }
    }
    if (bs->enableExt) {
        if (extBytes >= 15) {
            SbrWriteBits(bw, 15, 4);
            SbrWriteBits(bw, (uint32_t)(extBytes - 15), 8);
        } else {
            SbrWriteBits(bw, (uint32_t)extBytes, 4);
        }
        for (int i = 0; i < extBytes; i++) SbrWriteBits(bw, 0xA5, 8);
    }
}

int PsEncodeParameter(const int8_t* target, int n, int dt, const int8_t* prev, int mode,
                      int8_t* delta) {
    int maxAbs = 0;
    for (int b = 0; b < n; b++) {
        int ref = dt ? (mode == 0 ? prev[2 * b] : prev[b]) : (b ? target[b - 1] : 0);
        delta[b] = (int8_t)(target[b] - ref);
        int a = delta[b] < 0 ? -delta[b] : delta[b];
        if (a > maxAbs) maxAbs = a;
    }
    return maxAbs;
}
