// Frame syntax: ADTS and ADIF headers, the raw_data_block element loop, the
// ADTS CRC, and the hand-over of each channel to concealment and the
// filterbank.
#include <string.h>

#include "codecs/aac/aac_internal.h"

enum {
    ID_SCE = 0,
    ID_CPE = 1,
    ID_CCE = 2,
    ID_LFE = 3,
    ID_DSE = 4,
    ID_PCE = 5,
    ID_FIL = 6,
    ID_END = 7
};

// ---------------------------------------------------------------- CRC

void AacCrcInit(AacCrcState* crc) {
    for (int i = 0; i < 256; i++) {
        uint32_t v = (uint32_t)i << 8;
        for (int b = 0; b < 8; b++) v = (v & 0x8000) ? ((v << 1) ^ 0x8005) : (v << 1);
        crc->table[i] = (uint16_t)v;
    }
    crc->count = 0;
    crc->waived = 0;
}

static int CrcRegister(AacCrcState* crc, const AacBitReader* r, int32_t bits) {
    if (crc->count >= 4) return -1;
    AacCrcRegion* g = &crc->region[crc->count];
    g->active = 1;
    g->requestedBits = bits;
    g->packedBits = 0;
    g->consumedBits = 0;
    g->start = *r;
    return crc->count++;
}

static void CrcClose(AacCrcState* crc, int idx, const AacBitReader* r) {
    if (idx < 0 || idx >= crc->count) return;
    AacCrcRegion* g = &crc->region[idx];
    g->consumedBits = r->bitsRead - g->start.bitsRead;
}

static uint16_t CrcBits(const AacCrcState* crc, uint16_t v, uint32_t bits, int n) {
    for (int i = n - 1; i >= 0; i--) {
        int bit = (bits >> i) & 1;
        int top = (v >> 15) & 1;
        v = (uint16_t)(v << 1);
        if (bit != top) v ^= 0x8005;
    }
    (void)crc;
    return v;
}

static int32_t CrcCheck(AacCrcState* crc, const uint8_t* inputStart) {
    uint16_t v = 0xFFFF;
    for (int i = 0; i < crc->count; i++) {
        AacCrcRegion* g = &crc->region[i];
        AacBitReader rr = g->start;
        if (rr.bitsLeft < 0 || rr.wordPtr - inputStart > 3092) return AAC_E_CRC;
        int32_t total = g->requestedBits > 0 ? g->requestedBits : g->consumedBits;
        int32_t fromStream = g->consumedBits < total ? g->consumedBits : total;
        if (total > 192 * 8) return AAC_E_CRC;
        int32_t done = 0;
        while (done < total) {
            int n = total - done >= 8 ? 8 : total - done;
            uint32_t bits = 0;
            for (int b = 0; b < n; b++) {
                uint32_t bit = done + b < fromStream ? AacBitsRead1(&rr) : 0;
                bits = (bits << 1) | bit;
            }
            if (n == 8)
                v = (uint16_t)(crc->table[((v >> 8) ^ bits) & 0xFF] ^ (v << 8));
            else
                v = CrcBits(crc, v, bits, n);
            done += n;
        }
        g->active = 0;
    }
    crc->count = 0;
    return v == crc->crcCheck ? 0 : AAC_E_CRC;
}

// ---------------------------------------------------------------- headers

int32_t AacCheckAdtsHeader(AacBitReader* r, int32_t* frameLengthOut) {
    AacBitReader c = *r;
    uint32_t sync = AacBitsRead(&c, 12);
    AacBitsRead(&c, 1);  // ID
    uint32_t layer = AacBitsRead(&c, 2);
    uint32_t protAbsent = AacBitsRead(&c, 1);
    AacBitsRead(&c, 2);  // profile
    uint32_t sfi = AacBitsRead(&c, 4);
    AacBitsRead(&c, 1);
    uint32_t chanCfg = AacBitsRead(&c, 3);
    AacBitsRead(&c, 4);
    uint32_t frameLength = AacBitsRead(&c, 13);
    if (frameLengthOut) *frameLengthOut = (int32_t)frameLength;
    if (sync != 0xFFF || layer != 0 || sfi >= 12 || chanCfg > 2) return 0;
    return protAbsent ? 56 : 72;
}

int32_t AacCheckAdifId(AacBitReader* r) {
    AacBitReader c = *r;
    uint32_t hi = AacBitsRead(&c, 16);
    uint32_t lo = AacBitsRead(&c, 16);
    return (hi == 0x4144 && lo == 0x4946) ? 1 : 0;  // "ADIF"
}

int32_t AacParseAdtsHeader(AacBitReader* r, AacStreamInfo* info, AacCrcState* crc,
                           int32_t* blocksOut) {
    if (r->bitsLeft <= 0) return AAC_E_ADTS;
    crc->count = 0;
    crc->waived = 0;
    int idx = CrcRegister(crc, r, 56);
    uint32_t sync = AacBitsRead(r, 12);
    AacBitsRead(r, 1);
    uint32_t layer = AacBitsRead(r, 2);
    uint32_t protAbsent = AacBitsRead(r, 1);
    uint32_t profile = AacBitsRead(r, 2);
    uint32_t sfi = AacBitsRead(r, 4);
    AacBitsRead(r, 1);
    uint32_t chanCfg = AacBitsRead(r, 3);
    AacBitsRead(r, 4);
    int32_t frameLength = (int32_t)AacBitsRead(r, 13);
    AacBitsRead(r, 11);
    uint32_t blocks = AacBitsRead(r, 2);
    CrcClose(crc, idx, r);
    if (!protAbsent)
        crc->crcCheck = (uint16_t)AacBitsRead(r, 16);
    else
        crc->count = 0;  // nothing to check
    if (sync != 0xFFF || layer != 0 || sfi > 11 || chanCfg > 2) return AAC_E_ADTS;
    if (chanCfg != 0 && frameLength > (int32_t)chanCfg * 768 + 10) return AAC_E_ADTS;
    // The header may not claim more bytes than were given.
    if (r->bitsLeft < frameLength * 8 - (protAbsent ? 56 : 72) ||
        frameLength < (protAbsent ? 7 : 9))
        return AAC_E_ADTS;
    r->bitsLeft = frameLength * 8 - (protAbsent ? 56 : 72);
    info->sfIndex = (int8_t)sfi;
    info->sampleRate = kAacSampleRates[sfi];
    info->objectType = (uint8_t)(profile + 1);
    info->channelConfig = (uint8_t)chanCfg;
    if (blocksOut) *blocksOut = (int32_t)blocks + 1;
    return 0;
}

// Returns 0 for fewer than 3 channels, else -1. Records the first PCE's
// object type and rate index when pce is given.
static int32_t ParsePce(AacBitReader* r, uint8_t* pce) {
    AacBitsRead(r, 4);
    uint32_t objectType = AacBitsRead(r, 2);
    uint32_t sfi = AacBitsRead(r, 4);
    int front = (int)AacBitsRead(r, 4), side = (int)AacBitsRead(r, 4),
        back = (int)AacBitsRead(r, 4);
    int lfe = (int)AacBitsRead(r, 2), assoc = (int)AacBitsRead(r, 3), cc = (int)AacBitsRead(r, 4);
    if (AacBitsRead1(r)) AacBitsRead(r, 4);
    if (AacBitsRead1(r)) AacBitsRead(r, 4);
    if (AacBitsRead1(r)) AacBitsRead(r, 3);
    int channels = 0;
    for (int i = 0; i < front + side + back; i++) {
        channels += AacBitsRead1(r) ? 2 : 1;
        AacBitsRead(r, 4);
    }
    for (int i = 0; i < lfe; i++) {
        AacBitsRead(r, 4);
        channels++;
    }
    for (int i = 0; i < assoc; i++) AacBitsRead(r, 4);
    for (int i = 0; i < cc; i++) AacBitsRead(r, 5);
    AacBitsByteAlign(r, nullptr);
    int comment = (int)AacBitsRead(r, 8);
    AacBitsSkip(r, comment * 8);
    if (pce) {
        pce[0] = (uint8_t)(objectType + 1);
        pce[1] = (uint8_t)sfi;
    }
    return channels >= 3 ? -1 : 0;
}

static int32_t ParseAdifHeader(AacBitReader* r, AacDecState* s) {
    if (!AacCheckAdifId(r)) return AAC_E_ADIF;
    AacBitsSkip(r, 32);
    AacAdifHeader* h = &s->adif;
    h->copyrightPresent = (uint8_t)AacBitsRead1(r);
    if (h->copyrightPresent) AacBitsSkip(r, 72);
    h->originalCopy = (uint8_t)AacBitsRead1(r);
    h->home = (uint8_t)AacBitsRead1(r);
    h->bitstreamType = (uint8_t)AacBitsRead1(r);
    h->bitrate = AacBitsReadLong(r, 23);
    h->numPce = (uint8_t)AacBitsRead(r, 4);
    for (int i = 0; i <= h->numPce; i++) {
        if (h->bitstreamType == 0) AacBitsSkip(r, 20);
        ParsePce(r, h->pce[i & 15]);
        if (r->bitsLeft < 0) return AAC_E_ADIF;
    }
    if (h->pce[0][1] > 11) return AAC_E_ADIF;
    s->info.sfIndex = (int8_t)h->pce[0][1];
    s->info.sampleRate = kAacSampleRates[h->pce[0][1]];
    s->info.objectType = h->pce[0][0];
    return 0;
}

// ---------------------------------------------------------------- elements

static void PrepareChannel(AacDecState* s, AacChannel* c) {
    c->sfIndex = s->info.sfIndex;
    c->objectType = s->info.objectType;
}

static void Count(AacDecState* s, const AacChannel* c) {
    AacStats* st = s->stats;
    if (!st) return;
    if (c->windowSequence == AAC_EIGHT_SHORT) st->shortWindows++;
    const int isShort = c->windowSequence == AAC_EIGHT_SHORT;
    for (int g = 0; g < c->numWindowGroups; g++)
        for (int b = 0; b < c->maxSfb; b++) {
            int cb = c->sectCb[isShort ? g * 16 + b : b];
            st->noiseBands += cb == AAC_CB_NOISE;
            st->intensityBands += cb == AAC_CB_INTENSITY || cb == AAC_CB_INTENSITY2;
        }
    for (int w = 0; w < (isShort ? 8 : 1); w++)
        for (int f = 0; f < c->tnsNumFilt[w]; f++)
            st->tnsFilters += c->tnsPresent && c->tns[w][f].order > 0;
    st->pulses += c->pulsePresent;
}

static void ChannelTools(AacDecState* s, int ch, int pair) {
    Count(s, &s->ch[ch]);
    AacScaleToBlockExponent(&s->ch[ch]);
    AacApplyPns(s, ch, pair);
    AacApplyTns(&s->ch[ch], nullptr);
}

static int32_t DecodeSingle(AacDecState* s, AacBitReader* r, int chIndex, int protectedFrame) {
    int idx = protectedFrame ? CrcRegister(&s->crc, r, 192) : -2;
    if (idx == -1) return AAC_E_CRC;
    AacChannel* c = &s->ch[chIndex];
    PrepareChannel(s, c);
    AacBitsRead(r, 4);  // element_instance_tag
    c->globalGain = (uint8_t)AacBitsRead(r, 8);
    int32_t err = AacDecodeIcs(r, c, 0, &s->pns[chIndex]);
    if (idx >= 0) CrcClose(&s->crc, idx, r);
    if (err) return err;
    // intensity needs a partner channel
    if (c->intensityUsed) {
        const uint16_t* swb = AacSwb(c);
        (void)swb;
    }
    ChannelTools(s, chIndex, 0);
    return 0;
}

static int32_t DecodePair(AacDecState* s, AacBitReader* r, int protectedFrame) {
    int idx = protectedFrame ? CrcRegister(&s->crc, r, 192) : -2;
    if (idx == -1) return AAC_E_CRC;
    AacChannel* c0 = &s->ch[0];
    AacChannel* c1 = &s->ch[1];
    PrepareChannel(s, c0);
    PrepareChannel(s, c1);
    AacBitsRead(r, 4);
    int common = (int)AacBitsRead1(r);
    s->msMaskPresent = 0;
    memset(s->msFlags, 0, sizeof(s->msFlags));
    int32_t err;
    if (common) {
        err = AacParseIcsInfo(r, c0);
        if (err) return err;
        c1->icsReservedBit = c0->icsReservedBit;
        c1->windowSequence = c0->windowSequence;
        c1->windowShape = c0->windowShape;
        c1->maxSfb = c0->maxSfb;
        c1->scaleFactorGrouping = c0->scaleFactorGrouping;
        c1->numSwb = c0->numSwb;
        c1->numWindowGroups = c0->numWindowGroups;
        memcpy(c1->windowGroupLength, c0->windowGroupLength, sizeof(c0->windowGroupLength));
        AacParseMsMask(r, s, c0);
    }
    c0->globalGain = (uint8_t)AacBitsRead(r, 8);
    err = AacDecodeIcs(r, c0, common, &s->pns[0]);
    if (idx >= 0) CrcClose(&s->crc, idx, r);
    if (err) return err;
    int idx2 = protectedFrame ? CrcRegister(&s->crc, r, 128) : -2;
    if (idx2 == -1) return AAC_E_CRC;
    c1->globalGain = (uint8_t)AacBitsRead(r, 8);
    err = AacDecodeIcs(r, c1, common, &s->pns[1]);
    if (idx2 >= 0) CrcClose(&s->crc, idx2, r);
    if (err) return err;
    if (common) {
        if (c0->noiseUsed || c1->noiseUsed) AacPnsPairBands(s);
        if (s->msMaskPresent) {
            if (s->stats)
                for (int b = 0; b < c0->maxSfb; b++)
                    for (int g = 0; g < c0->numWindowGroups; g++)
                        s->stats->msBands += (s->msFlags[b] >> g) & 1;
            AacApplyMs(s);
        }
    } else {
        memset(c0->pnsPair, 0, sizeof(c0->pnsPair));
    }
    if (c1->intensityUsed) AacApplyIntensity(s);
    for (int ch = 0; ch < 2; ch++) ChannelTools(s, ch, common);
    return 0;
}

static void SkipDse(AacBitReader* r) {
    AacBitsRead(r, 4);
    int align = (int)AacBitsRead1(r);
    int count = (int)AacBitsRead(r, 8);
    if (count == 255) count += (int)AacBitsRead(r, 8);
    if (align) AacBitsByteAlign(r, nullptr);
    AacBitsSkip(r, count * 8);
}

static void ParseFill(AacDecState* s, AacBitReader* r, int prevId) {
    int count = (int)AacBitsRead(r, 4);
    if (count == 15) count += (int)AacBitsRead(r, 8) - 1;
    if (count <= 0) return;
    int type = (int)AacBitsRead(r, 4);
    AacSbrPayloadList* list = &s->sbrPayloads;
    if ((prevId == ID_SCE || prevId == ID_CPE) && (type == 13 || type == 14) && count < 269 &&
        list->count < 2 && r->bitsLeft >= count * 8 - 4) {
        AacSbrPayload* p = &list->entry[list->count++];
        p->elementId = prevId;
        p->extType = type;
        p->byteCount = count;
        p->bitPos = r->bitPos;
        p->wordPtr = r->wordPtr;
        p->dataBegin = r->begin;
        p->dataEnd = r->end;
    }
    AacBitsSkip(r, 4 + (count - 1) * 8);
}

int32_t AacDecodeRawDataBlock(AacDecState* s, AacWorkArea* w, AacScratch* scratch, AacFrameOut* out,
                              int frameOkInput, int synthesisOff, int enable0, int enable1) {
    AacBitReader* r = &s->reader;
    int32_t result = 0;
    int frameOk = frameOkInput;
    int blocks = 1;
    int protectedFrame = 0;
    s->sbrPayloads.count = 0;
    s->crc.count = 0;
    s->crc.waived = 0;

    if (frameOk) {
        if (s->transport == AAC_TRANSPORT_ADTS) {
            int32_t err = AacParseAdtsHeader(r, &s->info, &s->crc, &blocks);
            if (err) {
                if (s->framesDecoded == 0) return err;
                frameOk = 0;
                result = err;
            } else {
                protectedFrame = s->crc.count > 0;
                s->info.channelConfig = s->info.channelConfig;
            }
        } else if (s->transport == AAC_TRANSPORT_ADIF && s->framesDecoded == 0) {
            int32_t err = ParseAdifHeader(r, s);
            if (err) return err;
        }
    }
    if (frameOk) {
        AacBitsByteAlign(r, nullptr);
        if (AacBitsPeek(r, 3) == ID_END) frameOk = 0;  // empty raw data block
    }

    const uint8_t* blockStart = r->wordPtr;
    int32_t blockStartBits = r->bitsRead;
    int channels = 0;
    int stereoKind = 0;
    int prevId = -1;
    while (frameOk) {
        int id = (int)AacBitsRead(r, 3);
        if (r->bitsLeft < 0) {
            frameOk = 0;
            if (!result) result = AAC_E_BANDS;
            break;
        }
        if (id == ID_END) break;
        int32_t err = 0;
        int began = r->bitsRead - blockStartBits;
        switch (id) {
            case ID_SCE:
            case ID_LFE:
                if (channels + 1 > 2) {
                    err = AAC_E_CHANNELS;
                    break;
                }
                if (id == ID_LFE && protectedFrame && began < 193) s->crc.waived = 1;
                err = DecodeSingle(s, r, channels, id == ID_SCE && protectedFrame);
                channels += 1;
                stereoKind = channels == 2 ? 2 : 0;
                break;
            case ID_CPE:
                if (channels != 0) {
                    err = AAC_E_CHANNELS;
                    break;
                }
                err = DecodePair(s, r, protectedFrame);
                channels = 2;
                stereoKind = 1;
                break;
            case ID_CCE: err = AAC_E_COUPLING; break;
            case ID_DSE: {
                if (protectedFrame && began < 193) s->crc.waived = 1;
                int idx = protectedFrame ? CrcRegister(&s->crc, r, 0) : -2;
                if (idx == -1) {
                    err = AAC_E_CRC;
                    break;
                }
                SkipDse(r);
                if (idx >= 0) CrcClose(&s->crc, idx, r);
                break;
            }
            case ID_PCE: {
                int idx = protectedFrame ? CrcRegister(&s->crc, r, 0) : -2;
                if (idx == -1) {
                    err = AAC_E_CRC;
                    break;
                }
                int32_t start = r->bitsRead;
                if (ParsePce(r, nullptr) != 0 || r->bitsLeft < 0 || r->bitsRead == start)
                    err = AAC_E_CHANNELS;
                if (idx >= 0) CrcClose(&s->crc, idx, r);
                break;
            }
            case ID_FIL:
                if (protectedFrame && began < 193) s->crc.waived = 1;
                ParseFill(s, r, prevId);
                break;
        }
        if (err || r->bitsLeft < 0) {
            frameOk = 0;
            if (!result) result = err ? err : AAC_E_BANDS;
            break;
        }
        prevId = id;
    }
    (void)blockStart;

    if (frameOk && protectedFrame && !s->crc.waived) {
        int32_t err = CrcCheck(&s->crc, r->start);
        if (err) {
            frameOk = 0;
            if (!result) result = err;
        }
    }
    if (frameOk && s->transport == AAC_TRANSPORT_ADTS && blocks == 1) {
        int32_t left;
        AacBitReader t = *r;
        AacBitsByteAlign(&t, &left);
        if (left < 0 || left >= 8) {
            frameOk = 0;
            if (!result) result = AAC_E_BANDS;
        }
    }
    if (frameOk && (channels < 1 || channels > 2)) frameOk = 0;
    if (frameOk) {
        s->info.channels = (uint8_t)channels;
        s->stereoKind = (uint8_t)stereoKind;
    } else {
        s->sbrPayloads.count = 0;
    }

    const int streamChannels = s->info.channels;
    if (!synthesisOff) {
        for (int ch = 0; ch < streamChannels && ch < 2; ch++) {
            int enabled = ch == 0 ? enable0 : enable1;
            if (!enabled) {
                memset(s->fb[ch].overlap, 0, sizeof(s->fb[ch].overlap));
                continue;
            }
            if (!frameOk) s->ch[ch].sfIndex = s->info.sfIndex;
            AacConcealChannel(&s->ch[ch], &s->conceal[ch], frameOk);
            AacFilterbank(&s->ch[ch], &s->fb[ch], s->pcm + ch * AAC_PCM_CHANNEL_STRIDE,
                          scratch->fft);
        }
        w->framesDecoded++;
        w->stats.frames++;
    }
    AacBitsByteAlign(r, nullptr);

    if (s->info.frameLength != 1024 || s->info.sampleRate < 8000 || s->info.sampleRate > 96000 ||
        streamChannels < 1 || streamChannels > 2)
        return AAC_E_FORMAT;
    out->objectType = s->info.objectType;
    out->frameLength = s->info.frameLength;
    out->sampleRate = s->info.sampleRate;
    out->channels = streamChannels;
    out->stereoKind = s->stereoKind;
    if (!frameOk)
        s->frameOk = 0;
    else
        s->frameOk = 1;
    return result;
}
