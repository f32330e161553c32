// Internal stages of the AAC decoder and the fixed-point helpers they share.
#ifndef CODECS_AAC_AAC_INTERNAL_H
#define CODECS_AAC_AAC_INTERNAL_H

#include <stdint.h>

#include "codecs/aac/aac_fixed.h"
#include "codecs/aac/aac_state.h"
#include "codecs/aac/aac_tables.h"

static inline const AacRateTable* AacRate(int sfIndex) {
    return &kAacRateTables[(sfIndex >= 0 && sfIndex < 12) ? sfIndex : 0];
}

// Band offsets of the channel's window length.
static inline const uint16_t* AacSwb(const AacChannel* c) {
    const AacRateTable* t = AacRate(c->sfIndex);
    return c->windowSequence == AAC_EIGHT_SHORT ? t->swbShort : t->swbLong;
}

// Individual channel stream (aac_ics.cpp).
int32_t AacParseIcsInfo(AacBitReader* r, AacChannel* c);
int32_t AacDecodeIcs(AacBitReader* r, AacChannel* c, int commonWindow, AacPnsState* pns);
void AacScaleToBlockExponent(AacChannel* c);
int32_t AacHuffmanDecode(AacBitReader* r, const uint16_t* tree);

// Stereo tools, PNS and TNS (aac_tools.cpp).
void AacParseMsMask(AacBitReader* r, AacDecState* s, const AacChannel* c);
void AacPnsPairBands(AacDecState* s);
void AacApplyMs(AacDecState* s);
void AacApplyIntensity(AacDecState* s);
void AacApplyPns(AacDecState* s, int chIndex, int pair);
void AacApplyTns(AacChannel* c, int32_t* scratch);
int AacTnsReflToFilter(const int16_t* refl, int order, int16_t* coefOut);

// Filterbank (aac_filterbank.cpp).
void AacFilterbank(AacChannel* c, AacFilterbankState* fb, int16_t* pcm, int32_t* scratch);

// Concealment (aac_conceal.cpp).
void AacConcealReset(AacConcealRecord* rec);
void AacConcealChannel(AacChannel* c, AacConcealRecord* rec, int frameGood);

// Frame syntax (aac_frame.cpp).
struct AacFrameOut {
    int32_t objectType;
    int32_t frameLength;
    int32_t sampleRate;
    int32_t channels;
    int32_t stereoKind;
};
int32_t AacDecodeRawDataBlock(AacDecState* s, AacWorkArea* w, AacScratch* scratch, AacFrameOut* out,
                              int frameOkInput, int synthesisOff, int enable0, int enable1);
int32_t AacParseAdtsHeader(AacBitReader* r, AacStreamInfo* info, AacCrcState* crc,
                           int32_t* blocksOut);
int32_t AacCheckAdtsHeader(AacBitReader* r, int32_t* frameLengthOut);
int32_t AacCheckAdifId(AacBitReader* r);
void AacCrcInit(AacCrcState* crc);

#endif
