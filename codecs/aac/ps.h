// Parametric stereo (HE-AAC v2): the PS payload of the SBR extended data,
// parameter decoding onto 20 stereo bands, the hybrid filterbank of QMF
// bands 0..2, the decorrelator and the 2 x 2 mixing into two channels.
// Baseline PS: IPD/OPD are skipped, 34-band parameters are mapped to 20.
#pragma once
#include <cstdint>

#include "aac_fixed.h"

#include "aac_bits.h"
#include "sbr_bits.h"

enum {
    kPsMaxEnvelopes = 5,  // 4 transmitted + 1 appended
    kPsMaxBands = 34,
    kPsStereoBands = 20,
    kPsGroups = 22,        // processing groups
    kPsHybridBands = 10,   // sub-subbands of QMF bands 0..2
    kPsSlots = 32,         // QMF slots of a frame
    kPsHybridDelay = 6,    // slots
    kPsAllpassBands = 30,  // the 10 sub-subbands and QMF bands 3..22
    kPsMutedExp = -1000,   // a slot exponent that marks a silent high band
};

// ---- bitstream and parameters

struct PsBitstream {
    uint8_t dataValid;  // this frame's payload parsed
    uint8_t headerSeen;
    uint8_t enableIid, enableIcc, enableExt;
    uint8_t iidMode, iccMode;  // 0, 1, 2: 10, 20, 34 bands
    uint8_t iidFine;
    uint8_t frameClass;
    uint8_t numEnv;  // transmitted envelopes, 0..4
    uint8_t border[kPsMaxEnvelopes + 1];
    uint8_t iidDt[kPsMaxEnvelopes], iccDt[kPsMaxEnvelopes];
    int8_t iidDelta[kPsMaxEnvelopes][kPsMaxBands];
    int8_t iccDelta[kPsMaxEnvelopes][kPsMaxBands];
    int8_t prevIid[kPsMaxBands], prevIcc[kPsMaxBands];  // last envelope, native resolution
};

// What the signal path uses for one frame.
struct PsParams {
    int numEnv;                           // 1..5
    uint8_t border[kPsMaxEnvelopes + 1];  // border[0] = 0 .. border[numEnv] = 32
    uint8_t iidFine;
    int8_t iid[kPsMaxEnvelopes][kPsStereoBands];
    int8_t icc[kPsMaxEnvelopes][kPsStereoBands];
};

// Reads one ps_data() payload (the bits after the extension id); returns
// the bits consumed. Reserved modes skip the payload and leave no data.
int PsParseData(PsBitstream* bs, AacBitReader* br, int payloadBits);

// One symbol from a bit tree: node pairs, non-negative = next node,
// negative = leaf holding -64 - value.
int AacHuffmanTreeDecode(const int8_t* tree, AacBitReader* br);

// Deltas of the first numEnv envelopes to indices (native resolution, 10
// bands spread to 20), clamped.
void PsDeltaDecode(PsBitstream* bs, int8_t iid[kPsMaxEnvelopes][kPsMaxBands],
                   int8_t icc[kPsMaxEnvelopes][kPsMaxBands], int numEnv);
// Once per frame: deltas to indices, borders, 34-to-20 mapping.
void PsDecodeParameters(PsBitstream* bs, PsParams* out);

static inline int PsClamp(int x, int low, int high) {
    return x < low ? low : (x > high ? high : x);
}
// (a + b) / 2 and y / 3, truncated toward zero.
static inline int PsHalve(int a, int b) { return (a + b) / 2; }
int PsThird(int y);
// 34 parameter bands to 20.
void PsMap34To20(int8_t* v);

// Writer for test streams: the header fields when withHeader, then the
// frame (class, borders, deltas), and extBytes filler bytes of extension
// when enableExt.
void PsWriteData(SbrBitWriter* bw, const PsBitstream* bs, int withHeader, int extBytes);
// Deltas that code n target indices (native resolution) against the
// previous envelope (dt) or along the bands; returns the largest |delta|.
int PsEncodeParameter(const int8_t* target, int n, int dt, const int8_t* prev, int mode,
                      int8_t* delta);

// ---- hybrid filterbank

struct PsHybrid {
    int32_t re[3][12 + kPsSlots];
    int32_t im[3][12 + kPsSlots];
    int pos;  // slot within the frame
};

void PsHybridInit(PsHybrid* h);
// One slot: QMF bands 0..2 in, the 10 sub-subbands out in rising
// frequency. Input is shifted right by `shift` (left, saturating, when
// negative).
void PsHybridAnalysis(const int32_t* qmfRe, const int32_t* qmfIm, int32_t* outRe, int32_t* outIm,
                      PsHybrid* h, int shift);
// Sums the sub-subbands back into QMF bands 0..2.
void PsHybridSynthesis(const int32_t* inRe, const int32_t* inIm, int32_t* qmfRe, int32_t* qmfIm);
// End of frame: the histories move back by 32 slots.
void PsHybridEndFrame(PsHybrid* h);

// ---- decorrelation and mixing

struct PsState {
    PsBitstream bs;
    PsParams params;
    PsHybrid hybrid;
    int exponent;   // stored = true x 2^exponent
    int bandLimit;  // QMF bands processed this frame
    int prevBandLimit;
    int envIndex;
    uint32_t slotCount;  // running slot counter for the circular buffers
    // Delay lines and all-pass buffers hold 32-bit values: the one block
    // exponent follows the loudest part of the frame (often the high band),
    // and 16-bit storage left the quieter low band's decorrelated signal with
    // a few bits (about 20 dB SNR on such streams).
    int32_t delayRe[12][14], delayIm[12][14];  // QMF bands 23..34
    int32_t delay1Re[29], delay1Im[29];        // QMF bands 35..63
    int32_t apInRe[kPsAllpassBands][16], apInIm[kPsAllpassBands][16];
    int32_t apRe[3][kPsAllpassBands][16], apIm[3][kPsAllpassBands][16];
    int32_t linkGain[3][kPsAllpassBands];  // Q31, set at init
    // Transient reduction per stereo band: peak-decay power, smoothed
    // peak-difference power, smoothed power. 64-bit: a 32-bit power of the
    // 29 QMF bands of the top stereo band saturates at full scale, and a
    // saturated power hides every transient there.
    int64_t peakDecay[kPsStereoBands], peakDiff[kPsStereoBands], power[kPsStereoBands];
    int32_t h[kPsGroups][4];                // h11, h12, h21, h22, Q14
    int32_t hStep[kPsGroups][4];            // per slot
    int16_t transientGain[kPsStereoBands];  // Q15, of the last slot
    uint8_t bandOf[kPsHybridBands + 61];    // stereo band of each signal index
    uint8_t groupOf[kPsHybridBands + 61];   // processing group of each signal index
};

void PsDecoderInit(PsState* ps);
// Per frame, before the slots: one block exponent for the stored state,
// no higher than minInputExp - 1. Returns the new exponent.
int PsRescale(PsState* ps, int minInputExp);
// Mixing targets for envelope e and their per-slot increments.
void PsMix(PsState* ps, int envelope, int bandLimit);
// Coefficients of one group from IID and ICC indices (Q14).
void PsMixMatrix(int iid, int icc, int fine, int16_t out[4]);
// Q15 cosine and sine of an angle in radians x 16384.
void PsCosSin(int32_t angle, int32_t* c, int32_t* s);

// Signal vectors of one slot hold the 10 sub-subbands, then QMF bands
// 3..63 at index band + 7.
enum { kPsSignalBands = kPsHybridBands + 61 };

// One slot. slotRe/Im: the slot's 64 bands (bands 0..2 are replaced);
// aheadRe/Im: bands 0..2 of the slot kPsHybridDelay later; right: the
// second channel's slot. Bands below lowBandEnd are at lowExp, the rest
// up to the band limit at highExp; the outputs are at the PS exponent.
void PsProcessSlot(PsState* ps, int32_t* slotRe, int32_t* slotIm, const int32_t* aheadRe,
                   const int32_t* aheadIm, int32_t* rightRe, int32_t* rightIm, int lowExp,
                   int highExp, int lowBandEnd);
void PsDecorrelate(PsState* ps, const int32_t* sRe, const int32_t* sIm, int32_t* dRe, int32_t* dIm);
void PsApplyMix(PsState* ps, int32_t* sRe, int32_t* sIm, const int32_t* dRe, const int32_t* dIm,
                int32_t* rRe, int32_t* rIm);

// The whole frame over a QMF matrix of kPsHybridDelay + 32 slots (slot l
// of the output is matrix slot l; the hybrid reads slot l + 6): rescale,
// envelopes, slots. highExp holds one exponent per matrix slot. Returns
// the exponent of both channels' slots 0..31.
int PsApplyFrame(PsState* ps, int32_t* const* re, int32_t* const* im, int32_t* const* rightRe,
                 int32_t* const* rightIm, int lowExp, const int* highExp, int lowBandEnd,
                 int bandLimit);

// ---- tables (ps_tables.cpp)

struct PsHuffTable {
    const uint32_t* code;
    const uint8_t* len;
    const int8_t* tree;
    int count;
    int lav;  // value = symbol - lav
};
// IID coarse (f, t), IID fine (f, t), ICC (f, t).
enum { kPsHuffIidF, kPsHuffIidT, kPsHuffIidFineF, kPsHuffIidFineT, kPsHuffIccF, kPsHuffIccT };
extern const PsHuffTable kPsHuff[6];
extern const int16_t kPsIidGain[15];
extern const int16_t kPsIidGainFine[31];
extern const int16_t kPsIccAngle[8];
extern const int16_t kPsSine[513];
extern const int16_t kPsHybrid2[6];
extern const int16_t kPsHybrid8[8 * 13 * 2];
extern const int16_t kPsFractPhase[kPsAllpassBands * 2];
extern const int16_t kPsLinkPhase[3 * kPsAllpassBands * 2];
extern const uint8_t kPsGroupBorders[kPsGroups - kPsHybridBands + 1];
extern const uint8_t kPsGroupBand[kPsGroups];
