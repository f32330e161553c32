// SBR decoder set-up and frame step.
#include "sbr_dec.h"

#include <cstring>

namespace {

void ResetChannel(SbrChannelState* c, int downSampled) {
    SbrAnalysisInit(&c->ana);
    SbrSynthesisInit(&c->syn, downSampled);
    memset(c->keep, 0, sizeof(c->keep));
    memset(&c->hf, 0, sizeof(c->hf));
    SbrEnvAdjustInit(&c->adj);
    SbrChannelHistoryInit(&c->hist);
    memset(&c->frame, 0, sizeof(c->frame));
    memset(c->invf, 0, sizeof(c->invf));
    c->haveFrame = 0;
    c->lowExp = kSbrAnalysisExponent;
    for (int i = 0; i < kSbrMatrixSlots; i++) c->slotExp[i] = kSbrNoHighBand;
}

// Concealment frame: one envelope from the previous frame's last border to
// the frame end, carrying the previous frame's last envelope and noise.
void MissingFrame(SbrChannelState* c, const SbrBandTables* t) {
    SbrChannelFrame& f = c->frame;
    const int last = f.numEnv - 1;
    SbrME env[48];
    const uint8_t* table = f.freqRes[last] ? t->high : t->low;
    const int n = f.freqRes[last] ? t->nHigh : t->nLow;
    for (int hb = 0; hb < t->nHigh; hb++) {
        int b = 0;
        while (b + 1 < n && t->high[hb] >= table[b + 1]) b++;
        env[hb] = f.env[last][b];
    }
    SbrME noise[5];
    memcpy(noise, f.noise[f.numNoise - 1], sizeof(noise));
    int start = f.borders[f.numEnv] - 16;
    if (start < 0 || start > 3) start = 0;
    f.numEnv = 1;
    f.borders[0] = (uint8_t)start;
    f.borders[1] = 16;
    f.freqRes[0] = 1;
    f.transientEnv = -1;
    f.numNoise = 1;
    f.noiseBorders[0] = (uint8_t)start;
    f.noiseBorders[1] = 16;
    memcpy(f.env[0], env, sizeof(env));
    memcpy(f.noise[0], noise, sizeof(noise));
    memset(f.addHarmonic, 0, sizeof(f.addHarmonic));
}

// Shifts the predictor's kept slots (bands below `bands`) with the overlap
// slots: left by `shift`, right by -shift, saturated.
void ShiftHistory(SbrHfState* hf, int bands, int shift) {
    for (int i = 0; i < 2; i++)
        for (int k = 0; k < bands; k++) {
            hf->histRe[i][k] = AacShiftSat(hf->histRe[i][k], shift);
            hf->histIm[i][k] = AacShiftSat(hf->histIm[i][k], shift);
        }
}

// Analysis, HF generation and envelope adjustment of one channel: leaves
// the frame in c->m and returns the low band's exponent, which from here on
// holds for the overlap slots too.
int AnalyseChannel(SbrDecoder* d, SbrChannelState* c, SbrQmfSlot* frameSlots, const int16_t* pcm,
                   bool sbr) {
    const SbrKernelSet* ks = &d->ks;
    SbrBuildSlotTable(c->keep, frameSlots, frameSlots + (kSbrFrameSlots + 1) / 2, c->m.re, c->m.im,
                      kSbrOverlapSlots, kSbrFrameSlots, 0);
    SbrExponents e = {};
    SbrQmfAnalysis(pcm, kSbrFrameSlots, &e, &c->m, &c->ana, ks);
    // One exponent for the whole low band: the overlap slots and the new ones.
    // The overlap slots' bands from the previous crossover up are high band,
    // adjusted at their own exponents (slotExp): they are never rescaled.
    const int keptLow = c->syn.lowEnd > 0 && c->syn.lowEnd < 32 ? c->syn.lowEnd : 32;
    int cur = e.low;
    if (c->lowExp < cur) {
        ks->rescale(&c->m, 0, 32, kSbrOverlapSlots, kSbrMatrixSlots, c->lowExp - cur);
        cur = c->lowExp;
    } else if (c->lowExp > cur) {
        ks->rescale(&c->m, 0, keptLow, 0, kSbrOverlapSlots, cur - c->lowExp);
        ShiftHistory(&c->hf, keptLow, cur - c->lowExp);
    }
    const int hKept = ks->headroom(&c->m, 0, keptLow, 0, kSbrOverlapSlots);
    const int hNew = ks->headroom(&c->m, 0, 32, kSbrOverlapSlots, kSbrMatrixSlots);
    const int h = hKept < hNew ? hKept : hNew;
    if (h > 0 && h < 31) {
        ks->rescale(&c->m, 0, keptLow, 0, kSbrOverlapSlots, h);
        ShiftHistory(&c->hf, keptLow, h);
        ks->rescale(&c->m, 0, 32, kSbrOverlapSlots, kSbrMatrixSlots, h);
        cur += h;
    }
    for (int l = kSbrOverlapSlots; l < kSbrMatrixSlots; l++) {
        memset(c->m.re[l] + 32, 0, 32 * sizeof(int32_t));
        if (ks->complex) memset(c->m.im[l] + 32, 0, 32 * sizeof(int32_t));
    }
    const SbrBandTables* t = &d->tables;
    if (sbr) {
        const SbrChannelFrame& f = c->frame;
        const int l0 = 2 * f.borders[0], l1 = 2 * f.borders[f.numEnv];
        ks->hfGenerate(&c->m, t, &c->hf, c->invf, l0, l1);
        SbrAdjustEnvelope(&c->m, t, &d->header, &f, &c->adj, cur - 2, c->slotExp, ks,
                          ks->gainPostStep ? c->hf.aliasDegree : nullptr);
        c->syn.lowEnd = t->kx;
        c->syn.highEnd = t->kx + t->m;
    } else {
        c->syn.lowEnd = 32;
        c->syn.highEnd = 32;
        for (int l = 0; l < kSbrMatrixSlots; l++) c->slotExp[l] = kSbrNoHighBand;
    }
    return cur;
}

void SynthesiseMatrix(SbrDecoder* d, SbrChannelState* c, int lowExp, int16_t* out) {
    // The two slots before the next frame's overlap, for the predictor.
    for (int i = 0; i < 2; i++) {
        memcpy(c->hf.histRe[i], c->m.re[kSbrFrameSlots - 2 + i], sizeof(c->hf.histRe[i]));
        memcpy(c->hf.histIm[i], c->m.im[kSbrFrameSlots - 2 + i], sizeof(c->hf.histIm[i]));
    }
    SbrSynthesisOutput(&c->m, 0, kSbrFrameSlots, lowExp, c->slotExp, out, &c->syn, &d->ks);
    SbrKeepOverlapSlots(&c->m, kSbrFrameSlots);
    for (int l = 0; l < kSbrOverlapSlots; l++) c->slotExp[l] = c->slotExp[l + kSbrFrameSlots];
    for (int l = kSbrOverlapSlots; l < kSbrMatrixSlots; l++) c->slotExp[l] = kSbrNoHighBand;
    c->lowExp = lowExp;
}

void SynthesiseChannel(SbrDecoder* d, SbrChannelState* c, const int16_t* pcm, int16_t* out,
                       bool sbr) {
    SynthesiseMatrix(d, c, AnalyseChannel(d, c, d->work, pcm, sbr), out);
}

// A mono core's channel with the parametric-stereo hook: returns 2 when
// the hook produced a second channel into out2.
int SynthesiseWithPs(SbrDecoder* d, const int16_t* pcm, int16_t* out, int16_t* out2, bool sbr) {
    SbrChannelState* c = &d->ch[0];
    SbrChannelState* r = &d->ch[1];
    int lowExp = AnalyseChannel(d, c, d->work, pcm, sbr);
    // The second channel: its kept overlap slots, then its own frame slots.
    SbrBuildSlotTable(r->keep, d->psFrame, d->psFrame + (kSbrFrameSlots + 1) / 2, r->m.re, r->m.im,
                      kSbrOverlapSlots, kSbrFrameSlots, 0);
    SbrPsFrame f;
    f.left = &c->m;
    f.right = &r->m;
    f.firstSlot = kSbrOverlapSlots;
    f.slotCount = kSbrFrameSlots;
    f.lowExp = &lowExp;
    f.highExp = c->slotExp;
    f.kx = c->syn.lowEnd;
    f.m = c->syn.highEnd - c->syn.lowEnd;
    const int stereo = PsApplyQmf(d->ps, &f);
    if (stereo) {
        r->syn.lowEnd = c->syn.lowEnd;
        r->syn.highEnd = c->syn.highEnd;
        memcpy(r->slotExp, c->slotExp, sizeof(r->slotExp));
        SynthesiseMatrix(d, r, lowExp, out2);
    }
    SynthesiseMatrix(d, c, lowExp, out);
    return stereo ? 2 : 1;
}

}  // namespace

int SbrDecoderSetup(SbrDecoder* d, int outputRate, int downSampled, int complexSet,
                    SbrQmfSlot* work) {
    memset(d, 0, sizeof(*d));
    d->work = work;
    if (!work) return 0;
    if (SbrStartBand(outputRate, 0) < 0 || SbrPatchGoal(outputRate) < 0) return 0;
    d->outputRate = outputRate;
    d->downSampled = downSampled ? 1 : 0;
    SbrSelectKernels(&d->ks, complexSet);
    SbrHeaderDefaults(&d->header);
    d->headerState = kSbrHeaderNone;
    for (int c = 0; c < 2; c++) ResetChannel(&d->ch[c], d->downSampled);
    PsReset(d->ps);
    return 1;
}

void SbrClearChannelHistories(SbrDecoder* d) {
    for (int c = 0; c < 2; c++) ResetChannel(&d->ch[c], d->downSampled);
}

namespace {

// Tables rebuilt for a header; both channels start their envelope history
// afresh (their filterbanks run on, so the output stays continuous).
int InstallHeader(SbrDecoder* d, const SbrHeader& h) {
    SbrBandTables t;
    if (!SbrBuildBandTables(&t, &h, d->outputRate)) return 0;
    d->header = h;
    d->tables = t;
    d->tablesOk = 1;
    for (int c = 0; c < 2; c++) {
        SbrChannelHistoryInit(&d->ch[c].hist);
        d->ch[c].haveFrame = 0;
    }
    return 1;
}

// The default header in force: its tables are built, but no data are read
// with it until a header arrives.
void FallBackToDefaults(SbrDecoder* d) {
    SbrHeader h;
    SbrHeaderDefaults(&h);
    if (!InstallHeader(d, h)) d->tablesOk = 0;
    d->headerState = kSbrHeaderDefaults;
}

// Parses one payload into the frame records of channel `first` (and
// first + 1 for a channel pair). Returns 1 when the data are usable.
int ParsePayload(SbrDecoder* d, const uint8_t* data, int bitOffset, int bits, int extType,
                 int elementId, int first, bool* psInPair) {
    if (!data || bits <= 0 || (elementId != 0 && elementId != 1)) return 0;
    AacBitReader br;
    AacBitsInitBits(&br, data, bitOffset, bits);
    if (extType == 14 && !SbrCrcCheck(&br, bits - 10)) return 0;
    int headerFlag = (int)AacBitsReadLong(&br, 1);
    if (headerFlag) {
        SbrHeader h = d->header;
        int rebuild = SbrParseHeader(&br, &h, d->headerState == kSbrHeaderValid);
        if (br.bitsLeft < 0) return 0;
        if (rebuild || !d->tablesOk) {
            if (!InstallHeader(d, h)) {
                // Band limits this rate cannot hold: nothing is read with
                // them; the defaults stand until the next good header.
                if (d->headerState != kSbrHeaderNone) FallBackToDefaults(d);
                return 0;
            }
        } else {
            d->header = h;
            // bs_limiter_bands may change alone: its table must follow.
            if (d->tables.limiterBandsBuilt != h.limiterBands)
                SbrBuildLimiterTable(&d->tables, h.limiterBands);
        }
        d->headerState = kSbrHeaderValid;
    } else if (d->headerState == kSbrHeaderNone) {
        FallBackToDefaults(d);
        return 0;
    }
    if (d->headerState != kSbrHeaderValid || !d->tablesOk) return 0;
    SbrRawElement el;
    const int isPair = elementId == 1;
    if (first + (isPair ? 1 : 0) > 1) return 0;
    if (!SbrParseData(&br, &d->header, &d->tables, isPair, &el)) return 0;
    if (br.bitsLeft < 0 || br.bitsLeft > 7) return 0;
    if (el.psFound && isPair) {
        *psInPair = true;
        return 0;
    }
    // Parametric stereo counts as found once its module takes the data (the
    // default hooks take none, and the output stays mono).
    if (el.psFound && PsReadData(d->ps, &el.psReader, el.psBits)) d->psFound = 1;
    SbrChannelFrame fr[2];
    SbrChannelHistory hist[2] = {d->ch[first].hist, d->ch[isPair ? 1 : first].hist};
    if (!SbrDecodeElement(&el, &d->tables, hist, fr)) return 0;
    for (int c = 0; c < (isPair ? 2 : 1); c++) {
        SbrChannelState* cs = &d->ch[first + c];
        cs->hist = hist[c];
        cs->frame = fr[c];
        memcpy(cs->invf, el.ch[c].invf, sizeof(cs->invf));
        cs->haveFrame = 1;
    }
    return 1;
}

}  // namespace

int SbrDecodeFrameList(SbrDecoder* d, const SbrPayloadList* list, const int16_t* pcmIn,
                       int inStride, int channels, int16_t* pcmOut, int outStride) {
    if (channels < 1 || channels > 2) return kSbrNotDecodable;
    bool usable[2] = {false, false};
    bool psInPair = false;
    const int count = list ? (list->count > 2 ? 2 : list->count) : 0;
    for (int k = 0; k < count; k++) {
        const SbrPayload& p = list->item[k];
        // Two payloads are two single-channel elements, one per channel.
        const int first = count == 2 ? k : 0;
        const int id = count == 2 ? 0 : p.elementId;
        int ok = ParsePayload(d, p.data, p.bitPos, p.bits, p.extType, id, first, &psInPair);
        if (ok) {
            usable[first] = true;
            if (id == 1) usable[1] = true;
            if (count == 1 && id == 0) {
                // One single-channel element drives both channels of a stereo core.
                d->ch[1].frame = d->ch[0].frame;
                memcpy(d->ch[1].invf, d->ch[0].invf, sizeof(d->ch[1].invf));
                d->ch[1].haveFrame = 1;
                usable[1] = true;
            }
        }
    }
    if (count == 0 && list && list->frameGood && d->headerState == kSbrHeaderValid)
        d->headerState = kSbrHeaderDefaults;
    if (psInPair) return kSbrPsInPair;
    if (d->headerState == kSbrHeaderNone || !d->tablesOk) return kSbrNotDecodable;
    if (channels == 1 && d->monoMerge && count == 1 && list->item[0].elementId == 1 && usable[0] &&
        usable[1])
        SbrMergeChannels(&d->ch[0].frame, d->ch[0].invf, &d->ch[1].frame, d->ch[1].invf,
                         &d->tables);
    const int outLen = d->downSampled ? 1024 : 2048;
    d->outChannels = channels;
    if (channels == 1 && d->ks.complex && d->psFound) {
        SbrChannelState* cs = &d->ch[0];
        bool sbr = cs->haveFrame != 0;
        if (!usable[0] && sbr) MissingFrame(cs, &d->tables);
        d->outChannels = SynthesiseWithPs(d, pcmIn, pcmOut, pcmOut + outStride, sbr);
        return kSbrOk;
    }
    for (int c = 0; c < channels; c++) {
        SbrChannelState* cs = &d->ch[c];
        if (d->disabled[c]) {
            SbrAnalysisInit(&cs->ana);
            SbrSynthesisInit(&cs->syn, d->downSampled);
            memset(cs->keep, 0, sizeof(cs->keep));
            memset(pcmOut + outStride * c, 0, (size_t)outLen * sizeof(int16_t));
            continue;
        }
        bool sbr = cs->haveFrame != 0;
        if (!usable[c] && sbr) MissingFrame(cs, &d->tables);
        SynthesiseChannel(d, cs, pcmIn + inStride * c, pcmOut + outStride * c, sbr);
    }
    return kSbrOk;
}

int SbrDecodeFrame(SbrDecoder* d, const uint8_t* data, int bitOffset, int bits, int extType,
                   int elementId, const int16_t* pcmIn, int channels, int16_t* pcmOut) {
    SbrPayloadList list;
    list.count = data ? 1 : 0;
    list.frameGood = 1;
    list.item[0].data = data;
    list.item[0].bitPos = bitOffset;
    list.item[0].bits = bits;
    list.item[0].extType = extType;
    list.item[0].elementId = elementId;
    return SbrDecodeFrameList(d, &list, pcmIn, 1024, channels, pcmOut,
                              d->downSampled ? 1024 : 2048);
}

int SbrParseFrameList(SbrDecoder* d, const SbrPayloadList* list) {
    bool psInPair = false;
    const int count = list ? (list->count > 2 ? 2 : list->count) : 0;
    for (int k = 0; k < count; k++) {
        const SbrPayload& p = list->item[k];
        const int first = count == 2 ? k : 0;
        const int id = count == 2 ? 0 : p.elementId;
        ParsePayload(d, p.data, p.bitPos, p.bits, p.extType, id, first, &psInPair);
    }
    if (psInPair) return kSbrPsInPair;
    if (d->headerState == kSbrHeaderNone || !d->tablesOk) return kSbrNotDecodable;
    return kSbrOk;
}

void SbrPayloadDelayInit(SbrPayloadDelay* pd) { memset(pd, 0, sizeof(*pd)); }

void SbrPayloadDelayPush(SbrPayloadDelay* pd, const SbrPayloadList* in, int good,
                         SbrPayloadList* out, int* outGood) {
    *out = pd->kept;
    *outGood = pd->keptGood;
    const int slot = pd->slot;
    pd->slot ^= 1;
    SbrPayloadList next;
    memset(&next, 0, sizeof(next));
    const int count = in ? (in->count > 2 ? 2 : in->count) : 0;
    for (int k = 0; k < count; k++) {
        const SbrPayload& p = in->item[k];
        SbrPayload& q = next.item[next.count];
        if (!p.data || p.bits <= 0 || p.bitPos < 0) continue;
        // Copy only what the payload holds, and no more than the store takes.
        int bytes = (p.bitPos + p.bits + 7) / 8;
        if (bytes > kSbrPayloadStoreBytes) bytes = kSbrPayloadStoreBytes;
        memcpy(pd->store[slot][k], p.data, (size_t)bytes);
        q = p;
        q.data = pd->store[slot][k];
        if (q.bitPos + q.bits > bytes * 8) q.bits = bytes * 8 - q.bitPos;
        next.count++;
    }
    pd->kept = next;
    pd->keptGood = good;
}
