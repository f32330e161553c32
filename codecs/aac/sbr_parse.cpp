// SBR payload syntax (reader and mirror-image writer), delta decoding and
// dequantisation.
#include "sbr_parse.h"

#include <cstring>

#include "sbr_mantexp.h"
#include "sbr_tables.h"

namespace {

int PointerBits(int numEnv) {
    int b = 0;
    while ((1 << b) < numEnv + 1) b++;
    return b;
}

int HuffDecode(AacBitReader* br, const SbrHuffTable& t) {
    uint32_t code = 0;
    for (int len = 1; len <= 20; len++) {
        code = (code << 1) | AacBitsReadLong(br, 1);
        for (int s = 0; s < t.count; s++)
            if (t.len[s] == len && t.code[s] == code) return s - t.lav;
        if (br->bitsLeft < 0) break;
    }
    // No code matched: the data are unusable, as after an overrun.
    if (br->bitsLeft >= 0) br->bitsLeft = -1;
    return 0;
}

void HuffEncode(SbrBitWriter* bw, const SbrHuffTable& t, int value) {
    int s = value + t.lav;
    if (s < 0 || s >= t.count) {
        bw->error = 1;
        return;
    }
    SbrWriteBits(bw, t.code[s], t.len[s]);
}

struct Tables {
    const SbrHuffTable* envT;
    const SbrHuffTable* envF;
    const SbrHuffTable* noiseT;
    const SbrHuffTable* noiseF;
    int startBits;
    int factor;
};

Tables TablesFor(int ampRes, int balance) {
    Tables t;
    if (balance) {
        t.envT = &kSbrHuff[ampRes ? kSbrHuffBalT30 : kSbrHuffBalT15];
        t.envF = &kSbrHuff[ampRes ? kSbrHuffBalF30 : kSbrHuffBalF15];
        t.noiseT = &kSbrHuff[kSbrHuffNoiseBalT30];
        t.noiseF = &kSbrHuff[kSbrHuffBalF30];
        t.startBits = ampRes ? 5 : 6;
        t.factor = 2;
    } else {
        t.envT = &kSbrHuff[ampRes ? kSbrHuffEnvT30 : kSbrHuffEnvT15];
        t.envF = &kSbrHuff[ampRes ? kSbrHuffEnvF30 : kSbrHuffEnvF15];
        t.noiseT = &kSbrHuff[kSbrHuffNoiseT30];
        t.noiseF = &kSbrHuff[kSbrHuffEnvF30];
        t.startBits = ampRes ? 6 : 7;
        t.factor = 1;
    }
    return t;
}

int ReadGrid(AacBitReader* br, SbrGrid* g) {
    memset(g, 0, sizeof(*g));
    g->frameClass = (int)AacBitsReadLong(br, 2);
    switch (g->frameClass) {
        case kSbrFixFix: {
            int tmp = (int)AacBitsReadLong(br, 2);
            g->numEnv = 1 << tmp;
            if (g->numEnv > 5) return 0;
            int r = (int)AacBitsReadLong(br, 1);
            for (int e = 0; e < g->numEnv; e++) g->freqRes[e] = (uint8_t)r;
            break;
        }
        case kSbrFixVar:
        case kSbrVarFix: {
            int bord = (int)AacBitsReadLong(br, 2);
            int rel = (int)AacBitsReadLong(br, 2);
            g->numEnv = rel + 1;
            uint8_t* rb = g->frameClass == kSbrFixVar ? g->relBord1 : g->relBord0;
            for (int i = 0; i < rel; i++) rb[i] = (uint8_t)(2 * AacBitsReadLong(br, 2) + 2);
            if (g->frameClass == kSbrFixVar) {
                g->varBord1 = bord;
                g->numRel1 = rel;
            } else {
                g->varBord0 = bord;
                g->numRel0 = rel;
            }
            g->pointer = (int)AacBitsReadLong(br, PointerBits(g->numEnv));
            for (int e = 0; e < g->numEnv; e++) {
                int r = (int)AacBitsReadLong(br, 1);
                if (g->frameClass == kSbrFixVar)
                    g->freqRes[g->numEnv - 1 - e] = (uint8_t)r;
                else
                    g->freqRes[e] = (uint8_t)r;
            }
            break;
        }
        default: {
            g->varBord0 = (int)AacBitsReadLong(br, 2);
            g->varBord1 = (int)AacBitsReadLong(br, 2);
            g->numRel0 = (int)AacBitsReadLong(br, 2);
            g->numRel1 = (int)AacBitsReadLong(br, 2);
            g->numEnv = g->numRel0 + g->numRel1 + 1;
            if (g->numEnv > 5) return 0;
            for (int i = 0; i < g->numRel0; i++)
                g->relBord0[i] = (uint8_t)(2 * AacBitsReadLong(br, 2) + 2);
            for (int i = 0; i < g->numRel1; i++)
                g->relBord1[i] = (uint8_t)(2 * AacBitsReadLong(br, 2) + 2);
            g->pointer = (int)AacBitsReadLong(br, PointerBits(g->numEnv));
            for (int e = 0; e < g->numEnv; e++) g->freqRes[e] = (uint8_t)AacBitsReadLong(br, 1);
            break;
        }
    }
    return SbrGridFromSyntax(g) && SbrCheckGrid(g);
}

void WriteGrid(SbrBitWriter* bw, const SbrGrid* g) {
    SbrWriteBits(bw, (uint32_t)g->frameClass, 2);
    switch (g->frameClass) {
        case kSbrFixFix: {
            int tmp = g->numEnv == 1 ? 0 : g->numEnv == 2 ? 1 : 2;
            SbrWriteBits(bw, (uint32_t)tmp, 2);
            SbrWriteBits(bw, g->freqRes[0], 1);
            break;
        }
        case kSbrFixVar:
        case kSbrVarFix: {
            bool fv = g->frameClass == kSbrFixVar;
            SbrWriteBits(bw, (uint32_t)(fv ? g->varBord1 : g->varBord0), 2);
            int rel = fv ? g->numRel1 : g->numRel0;
            SbrWriteBits(bw, (uint32_t)rel, 2);
            const uint8_t* rb = fv ? g->relBord1 : g->relBord0;
            for (int i = 0; i < rel; i++) SbrWriteBits(bw, (uint32_t)((rb[i] - 2) / 2), 2);
            SbrWriteBits(bw, (uint32_t)g->pointer, PointerBits(g->numEnv));
            for (int e = 0; e < g->numEnv; e++)
                SbrWriteBits(bw, fv ? g->freqRes[g->numEnv - 1 - e] : g->freqRes[e], 1);
            break;
        }
        default:
            SbrWriteBits(bw, (uint32_t)g->varBord0, 2);
            SbrWriteBits(bw, (uint32_t)g->varBord1, 2);
            SbrWriteBits(bw, (uint32_t)g->numRel0, 2);
            SbrWriteBits(bw, (uint32_t)g->numRel1, 2);
            for (int i = 0; i < g->numRel0; i++)
                SbrWriteBits(bw, (uint32_t)((g->relBord0[i] - 2) / 2), 2);
            for (int i = 0; i < g->numRel1; i++)
                SbrWriteBits(bw, (uint32_t)((g->relBord1[i] - 2) / 2), 2);
            SbrWriteBits(bw, (uint32_t)g->pointer, PointerBits(g->numEnv));
            for (int e = 0; e < g->numEnv; e++) SbrWriteBits(bw, g->freqRes[e], 1);
            break;
    }
}

int AmpResInForce(const SbrHeader* h, const SbrGrid* g) {
    return (g->frameClass == kSbrFixFix && g->numEnv == 1) ? 0 : h->ampRes;
}

bool ReadEnvelope(AacBitReader* br, const SbrBandTables* t, SbrRawChannel* c, int balance) {
    Tables tb = TablesFor(c->ampRes, balance);
    int total = 0;
    for (int e = 0; e < c->grid.numEnv; e++) {
        int n = c->grid.freqRes[e] ? t->nHigh : t->nLow;
        total += n;
        if (total > 240 || n > 48) return false;
        for (int b = 0; b < n; b++) {
            int v;
            if (c->dfEnv[e] == 0)
                v = b == 0 ? (int)AacBitsReadLong(br, tb.startBits) : HuffDecode(br, *tb.envF);
            else
                v = HuffDecode(br, *tb.envT);
            c->env[e][b] = (int16_t)(v * tb.factor);
        }
    }
    return true;
}

void WriteEnvelope(SbrBitWriter* bw, const SbrBandTables* t, const SbrRawChannel* c, int balance) {
    Tables tb = TablesFor(c->ampRes, balance);
    for (int e = 0; e < c->grid.numEnv; e++) {
        int n = c->grid.freqRes[e] ? t->nHigh : t->nLow;
        for (int b = 0; b < n; b++) {
            int v = c->env[e][b] / tb.factor;
            if (c->dfEnv[e] == 0) {
                if (b == 0)
                    SbrWriteBits(bw, (uint32_t)v, tb.startBits);
                else
                    HuffEncode(bw, *tb.envF, v);
            } else {
                HuffEncode(bw, *tb.envT, v);
            }
        }
    }
}

void ReadNoise(AacBitReader* br, const SbrBandTables* t, SbrRawChannel* c, int balance) {
    Tables tb = TablesFor(c->ampRes, balance);
    for (int q = 0; q < c->grid.numNoise; q++)
        for (int b = 0; b < t->nNoise; b++) {
            int v;
            if (c->dfNoise[q] == 0)
                v = b == 0 ? (int)AacBitsReadLong(br, 5) : HuffDecode(br, *tb.noiseF);
            else
                v = HuffDecode(br, *tb.noiseT);
            c->noise[q][b] = (int16_t)(v * tb.factor);
        }
}

void WriteNoise(SbrBitWriter* bw, const SbrBandTables* t, const SbrRawChannel* c, int balance) {
    Tables tb = TablesFor(c->ampRes, balance);
    for (int q = 0; q < c->grid.numNoise; q++)
        for (int b = 0; b < t->nNoise; b++) {
            int v = c->noise[q][b] / tb.factor;
            if (c->dfNoise[q] == 0) {
                if (b == 0)
                    SbrWriteBits(bw, (uint32_t)v, 5);
                else
                    HuffEncode(bw, *tb.noiseF, v);
            } else {
                HuffEncode(bw, *tb.noiseT, v);
            }
        }
}

void ReadDtdf(AacBitReader* br, SbrRawChannel* c) {
    for (int e = 0; e < c->grid.numEnv; e++) c->dfEnv[e] = (uint8_t)AacBitsReadLong(br, 1);
    for (int q = 0; q < c->grid.numNoise; q++) c->dfNoise[q] = (uint8_t)AacBitsReadLong(br, 1);
}

void WriteDtdf(SbrBitWriter* bw, const SbrRawChannel* c) {
    for (int e = 0; e < c->grid.numEnv; e++) SbrWriteBits(bw, c->dfEnv[e], 1);
    for (int q = 0; q < c->grid.numNoise; q++) SbrWriteBits(bw, c->dfNoise[q], 1);
}

void ReadInvf(AacBitReader* br, const SbrBandTables* t, SbrRawChannel* c) {
    for (int i = 0; i < t->nNoise; i++) c->invf[i] = (uint8_t)AacBitsReadLong(br, 2);
}

void WriteInvf(SbrBitWriter* bw, const SbrBandTables* t, const SbrRawChannel* c) {
    for (int i = 0; i < t->nNoise; i++) SbrWriteBits(bw, c->invf[i], 2);
}

void ReadHarmonic(AacBitReader* br, const SbrBandTables* t, SbrRawChannel* c) {
    c->addHarmonicFlag = (uint8_t)AacBitsReadLong(br, 1);
    memset(c->addHarmonic, 0, sizeof(c->addHarmonic));
    if (c->addHarmonicFlag)
        for (int i = 0; i < t->nHigh; i++) c->addHarmonic[i] = (uint8_t)AacBitsReadLong(br, 1);
}

void WriteHarmonic(SbrBitWriter* bw, const SbrBandTables* t, const SbrRawChannel* c) {
    SbrWriteBits(bw, c->addHarmonicFlag, 1);
    if (c->addHarmonicFlag)
        for (int i = 0; i < t->nHigh; i++) SbrWriteBits(bw, c->addHarmonic[i], 1);
}

}  // namespace

int SbrGridFromSyntax(SbrGrid* g) {
    const int n = g->numEnv;
    if (n < 1 || n > 5) return 0;
    int lead, trail, relLead, relTrail;
    const uint8_t* rl = g->relBord0;
    const uint8_t* rt = g->relBord1;
    uint8_t fixRel[4];
    switch (g->frameClass) {
        case kSbrFixFix:
            lead = 0;
            trail = 16;
            relLead = n - 1;
            relTrail = 0;
            for (int i = 0; i < 4; i++) fixRel[i] = (uint8_t)(16 / n);
            rl = fixRel;
            break;
        case kSbrFixVar:
            lead = 0;
            trail = g->varBord1 + 16;
            relLead = 0;
            relTrail = g->numRel1;
            break;
        case kSbrVarFix:
            lead = g->varBord0;
            trail = 16;
            relLead = g->numRel0;
            relTrail = 0;
            break;
        default:
            lead = g->varBord0;
            trail = g->varBord1 + 16;
            relLead = g->numRel0;
            relTrail = g->numRel1;
            break;
    }
    int b[6];
    b[0] = lead;
    b[n] = trail;
    for (int l = 1; l <= relLead && l < n; l++) b[l] = b[l - 1] + rl[l - 1];
    for (int l = n - 1; l > relLead; l--) b[l] = b[l + 1] - rt[n - 1 - l];
    (void)relTrail;
    for (int l = 0; l <= n; l++) {
        if (b[l] < 0 || b[l] > 255) return 0;
        g->borders[l] = (uint8_t)b[l];
    }
    int p = g->pointer;
    switch (g->frameClass) {
        case kSbrFixFix: g->transientEnv = -1; break;
        case kSbrVarFix: g->transientEnv = p > 1 ? p - 1 : -1; break;
        default: g->transientEnv = p == 0 ? -1 : n + 1 - p; break;
    }
    g->numNoise = n > 1 ? 2 : 1;
    g->noiseBorders[0] = g->borders[0];
    if (g->numNoise == 1) {
        g->noiseBorders[1] = g->borders[n];
    } else {
        int mid;
        switch (g->frameClass) {
            case kSbrFixFix: mid = n / 2; break;
            case kSbrVarFix: mid = p == 0 ? 1 : (p == 1 ? n - 1 : p - 1); break;
            default: mid = p > 1 ? n + 1 - p : n - 1; break;
        }
        if (mid < 0 || mid > n) return 0;
        g->noiseBorders[1] = g->borders[mid];
        g->noiseBorders[2] = g->borders[n];
    }
    return 1;
}

int SbrCheckGrid(const SbrGrid* g) {
    const int n = g->numEnv;
    if (n < 1 || n > 5 || g->numNoise < 1 || g->numNoise > 2) return 0;
    if (g->borders[0] >= g->borders[n] || g->borders[0] > 3) return 0;
    if (g->borders[n] < 16 || g->borders[n] > 19) return 0;
    for (int l = 1; l <= n; l++)
        if (g->borders[l] <= g->borders[l - 1]) return 0;
    if (g->pointer > n) return 0;
    if (n == 1 && g->numNoise != 1) return 0;
    const int nq = g->numNoise;
    if (g->noiseBorders[0] != g->borders[0] || g->noiseBorders[nq] != g->borders[n]) return 0;
    for (int q = 1; q <= nq; q++)
        if (g->noiseBorders[q] <= g->noiseBorders[q - 1]) return 0;
    for (int q = 1; q < nq; q++) {
        bool found = false;
        for (int l = 1; l < n; l++) found |= g->noiseBorders[q] == g->borders[l];
        if (!found) return 0;
    }
    return 1;
}

int SbrParseHeader(AacBitReader* br, SbrHeader* h, int headerValid) {
    SbrHeader old = *h;
    h->ampRes = (uint8_t)AacBitsReadLong(br, 1);
    h->startFreq = (uint8_t)AacBitsReadLong(br, 4);
    h->stopFreq = (uint8_t)AacBitsReadLong(br, 4);
    h->xoverBand = (uint8_t)AacBitsReadLong(br, 3);
    AacBitsReadLong(br, 2);
    int extra1 = (int)AacBitsReadLong(br, 1);
    int extra2 = (int)AacBitsReadLong(br, 1);
    if (extra1) {
        h->freqScale = (uint8_t)AacBitsReadLong(br, 2);
        h->alterScale = (uint8_t)AacBitsReadLong(br, 1);
        h->noiseBands = (uint8_t)AacBitsReadLong(br, 2);
    } else {
        h->freqScale = 2;
        h->alterScale = 1;
        h->noiseBands = 2;
    }
    if (extra2) {
        h->limiterBands = (uint8_t)AacBitsReadLong(br, 2);
        h->limiterGains = (uint8_t)AacBitsReadLong(br, 2);
        h->interpolFreq = (uint8_t)AacBitsReadLong(br, 1);
        h->smoothingMode = (uint8_t)AacBitsReadLong(br, 1);
    } else {
        h->limiterBands = 2;
        h->limiterGains = 2;
        h->interpolFreq = 1;
        h->smoothingMode = 1;
    }
    return !headerValid || old.startFreq != h->startFreq || old.stopFreq != h->stopFreq ||
           old.xoverBand != h->xoverBand || old.freqScale != h->freqScale ||
           old.alterScale != h->alterScale || old.noiseBands != h->noiseBands;
}

void SbrWriteHeader(SbrBitWriter* bw, const SbrHeader* h) {
    SbrWriteBits(bw, h->ampRes, 1);
    SbrWriteBits(bw, h->startFreq, 4);
    SbrWriteBits(bw, h->stopFreq, 4);
    SbrWriteBits(bw, h->xoverBand, 3);
    SbrWriteBits(bw, 0, 2);
    int extra1 = !(h->freqScale == 2 && h->alterScale == 1 && h->noiseBands == 2);
    int extra2 = !(h->limiterBands == 2 && h->limiterGains == 2 && h->interpolFreq == 1 &&
                   h->smoothingMode == 1);
    SbrWriteBits(bw, (uint32_t)extra1, 1);
    SbrWriteBits(bw, (uint32_t)extra2, 1);
    if (extra1) {
        SbrWriteBits(bw, h->freqScale, 2);
        SbrWriteBits(bw, h->alterScale, 1);
        SbrWriteBits(bw, h->noiseBands, 2);
    }
    if (extra2) {
        SbrWriteBits(bw, h->limiterBands, 2);
        SbrWriteBits(bw, h->limiterGains, 2);
        SbrWriteBits(bw, h->interpolFreq, 1);
        SbrWriteBits(bw, h->smoothingMode, 1);
    }
}

int SbrParseChannelElement(AacBitReader* br, const SbrHeader* h, const SbrBandTables* t,
                           SbrRawElement* el) {
    memset(el, 0, sizeof(*el));
    el->isPair = 1;
    if (AacBitsReadLong(br, 1)) AacBitsReadLong(br, 8);  // bs_data_extra, reserved bits
    el->coupling = (int)AacBitsReadLong(br, 1);
    SbrRawChannel* c0 = &el->ch[0];
    SbrRawChannel* c1 = &el->ch[1];
    if (!ReadGrid(br, &c0->grid)) return 0;
    c0->ampRes = AmpResInForce(h, &c0->grid);
    if (el->coupling)
        c1->grid = c0->grid;
    else if (!ReadGrid(br, &c1->grid))
        return 0;
    c1->ampRes = AmpResInForce(h, &c1->grid);
    ReadDtdf(br, c0);
    ReadDtdf(br, c1);
    ReadInvf(br, t, c0);
    if (el->coupling)
        memcpy(c1->invf, c0->invf, sizeof(c0->invf));
    else
        ReadInvf(br, t, c1);
    if (el->coupling) {
        if (!ReadEnvelope(br, t, c0, 0)) return 0;
        ReadNoise(br, t, c0, 0);
        if (!ReadEnvelope(br, t, c1, 1)) return 0;
        ReadNoise(br, t, c1, 1);
    } else {
        if (!ReadEnvelope(br, t, c0, 0) || !ReadEnvelope(br, t, c1, 0)) return 0;
        ReadNoise(br, t, c0, 0);
        ReadNoise(br, t, c1, 0);
    }
    ReadHarmonic(br, t, c0);
    ReadHarmonic(br, t, c1);
    return SbrParseExtendedData(br, el);
}

int SbrParseExtendedData(AacBitReader* br, SbrRawElement* el) {
    if (AacBitsReadLong(br, 1)) {
        int cnt = (int)AacBitsReadLong(br, 4);
        if (cnt == 15) cnt += (int)AacBitsReadLong(br, 8);
        el->extendedBytes = cnt;
        int left = 8 * cnt;
        if (left > br->bitsLeft) return 0;  // overrun: the data are missing
        if (left > 7) {
            int id = (int)AacBitsReadLong(br, 2);
            left -= 2;
            if (id == 2) {
                el->psFound = 1;
                el->psReader = *br;
                el->psBits = left;
            }
        }
        AacBitsSkip(br, left);  // extensions are skipped whole
    }
    return br->bitsLeft < 0 ? 0 : 1;
}

int SbrParseData(AacBitReader* br, const SbrHeader* h, const SbrBandTables* t, int isPair,
                 SbrRawElement* el) {
    if (isPair) return SbrParseChannelElement(br, h, t, el);
    memset(el, 0, sizeof(*el));
    if (AacBitsReadLong(br, 1)) AacBitsReadLong(br, 4);  // bs_data_extra, reserved bits
    SbrRawChannel* c0 = &el->ch[0];
    if (!ReadGrid(br, &c0->grid)) return 0;
    c0->ampRes = AmpResInForce(h, &c0->grid);
    ReadDtdf(br, c0);
    ReadInvf(br, t, c0);
    if (!ReadEnvelope(br, t, c0, 0)) return 0;
    ReadNoise(br, t, c0, 0);
    ReadHarmonic(br, t, c0);
    return SbrParseExtendedData(br, el);
}

void SbrWriteData(SbrBitWriter* bw, const SbrHeader* h, const SbrBandTables* t,
                  const SbrRawElement* el) {
    (void)h;
    SbrWriteBits(bw, 0, 1);  // bs_data_extra
    if (el->isPair) SbrWriteBits(bw, (uint32_t)el->coupling, 1);
    const SbrRawChannel* c0 = &el->ch[0];
    const SbrRawChannel* c1 = &el->ch[1];
    WriteGrid(bw, &c0->grid);
    if (el->isPair) {
        if (!el->coupling) WriteGrid(bw, &c1->grid);
        WriteDtdf(bw, c0);
        WriteDtdf(bw, c1);
        WriteInvf(bw, t, c0);
        if (!el->coupling) WriteInvf(bw, t, c1);
        if (el->coupling) {
            WriteEnvelope(bw, t, c0, 0);
            WriteNoise(bw, t, c0, 0);
            WriteEnvelope(bw, t, c1, 1);
            WriteNoise(bw, t, c1, 1);
        } else {
            WriteEnvelope(bw, t, c0, 0);
            WriteEnvelope(bw, t, c1, 0);
            WriteNoise(bw, t, c0, 0);
            WriteNoise(bw, t, c1, 0);
        }
        WriteHarmonic(bw, t, c0);
        WriteHarmonic(bw, t, c1);
    } else {
        WriteDtdf(bw, c0);
        WriteInvf(bw, t, c0);
        WriteEnvelope(bw, t, c0, 0);
        WriteNoise(bw, t, c0, 0);
        WriteHarmonic(bw, t, c0);
    }
    SbrWriteBits(bw, 0, 1);  // bs_extended_data
}

void SbrChannelHistoryInit(SbrChannelHistory* hist) {
    memset(hist, 0, sizeof(*hist));
    hist->prevLastBorder = 0;
}

namespace {

SbrME EnvEnergy(int x, int ampRes) {
    // 64 x 2^(x / a), a = 2 for 1.5 dB steps, 1 for 3 dB steps
    if (ampRes) return SbrME{16384, (int16_t)(7 + x)};
    if (x & 1) return SbrME{23170, (int16_t)(7 + (x >> 1) + 0)};
    return SbrME{16384, (int16_t)(7 + (x >> 1))};
}

}  // namespace

void SbrDequantEnvelope(const SbrRawChannel* r, const SbrBandTables* t, const int16_t env[5][48],
                        const int16_t noise[2][5], SbrChannelFrame* out) {
    for (int e = 0; e < r->grid.numEnv; e++) {
        const int n = r->grid.freqRes[e] ? t->nHigh : t->nLow;
        for (int b = 0; b < n; b++) out->env[e][b] = EnvEnergy(env[e][b], r->ampRes);
    }
    for (int q = 0; q < r->grid.numNoise; q++)
        for (int b = 0; b < t->nNoise; b++)
            out->noise[q][b] = SbrME{16384, (int16_t)(7 - noise[q][b])};
}

void SbrDequantCoupled(const SbrRawChannel* r, const SbrBandTables* t, const int16_t env[2][5][48],
                       const int16_t noise[2][2][5], SbrChannelFrame out[2]) {
    const int a = r->ampRes ? 1 : 2;
    const SbrME one = {16384, 1};
    for (int e = 0; e < r->grid.numEnv; e++) {
        const int n = r->grid.freqRes[e] ? t->nHigh : t->nLow;
        for (int b = 0; b < n; b++) {
            SbrME level = EnvEnergy(env[0][e][b], r->ampRes);
            level.e = (int16_t)(level.e + 1);  // the pair shares twice the level
            // R = 2^(balance / a - 12); balance values are even for a = 1
            const int bal = env[1][e][b];
            const SbrME R = (a == 1 || !(bal & 1))
                                ? SbrME{16384, (int16_t)(bal / a - 12 + 1)}
                                : SbrME{23170, (int16_t)((bal - 1) / 2 - 12 + 1)};
            const SbrME onePlusR = SbrMeAdd(one, R);
            out[1].env[e][b] = SbrMeDiv(level, onePlusR);
            out[0].env[e][b] = SbrMeMul(out[1].env[e][b], R);
        }
    }
    for (int q = 0; q < r->grid.numNoise; q++)
        for (int b = 0; b < t->nNoise; b++) {
            const SbrME base = {16384, (int16_t)(8 - noise[0][q][b])};  // 2^(7 - l)
            const SbrME R = {16384, (int16_t)(noise[1][q][b] - 12 + 1)};
            out[1].noise[q][b] = SbrMeDiv(base, SbrMeAdd(one, R));
            out[0].noise[q][b] = SbrMeMul(out[1].noise[q][b], R);
        }
}

int SbrDecodeElement(const SbrRawElement* el, const SbrBandTables* t, SbrChannelHistory hist[2],
                     SbrChannelFrame out[2]) {
    const int chans = el->isPair ? 2 : 1;
    SbrChannelHistory saved[2];
    memcpy(saved, hist, sizeof(SbrChannelHistory) * (size_t)chans);
    int16_t envVal[2][5][48] = {};
    int16_t noiseVal[2][2][5] = {};
    for (int c = 0; c < chans; c++) {
        const SbrRawChannel* r = &el->ch[c];
        SbrChannelHistory* hs = &hist[c];
        const int balance = el->coupling && c == 1;
        const int coupling = el->coupling ? (c == 0 ? 1 : 2) : 0;
        if (coupling != hs->prevCoupling) {
            for (int i = 0; i < 64; i++) {
                if (coupling == 1 && el->isPair)
                    hs->prevEnv[i] = (int16_t)((hist[0].prevEnv[i] + hist[1].prevEnv[i] + 1) >> 1);
                else if (coupling == 2)
                    hs->prevEnv[i] = 12;
            }
            hs->prevCoupling = coupling;
        }
        const int prevLast = hs->prevLastBorder;
        const bool wasValid = hs->valid != 0;
        // The first envelope must continue from the previous frame's last
        // border; coded in time it cannot be repaired.
        if (r->grid.borders[0] != hs->prevLastBorder && r->dfEnv[0] == 1 && hs->valid) {
            memcpy(hist, saved, sizeof(SbrChannelHistory) * (size_t)chans);
            return 0;
        }
        const int maxEnv = balance ? (r->ampRes ? 24 : 48) : (r->ampRes ? 35 : 70);
        for (int e = 0; e < r->grid.numEnv; e++) {
            const int res = r->grid.freqRes[e];
            const uint8_t* table = res ? t->high : t->low;
            const int n = res ? t->nHigh : t->nLow;
            int16_t* v = envVal[c][e];
            for (int b = 0; b < n; b++) {
                int hi = 0;
                while (hi < t->nHigh && t->high[hi] < table[b]) hi++;
                int prev = r->dfEnv[e] ? hs->prevEnv[hi] : (b ? v[b - 1] : 0);
                int x = prev + r->env[e][b];
                x = x > 32767 ? 32767 : (x < -32768 ? -32768 : x);
                if (x < 0) x = 0;
                if (x > maxEnv) {
                    memcpy(hist, saved, sizeof(SbrChannelHistory) * (size_t)chans);
                    return 0;
                }
                v[b] = (int16_t)x;
            }
            for (int b = 0; b < n; b++)
                for (int hi = 0; hi < t->nHigh; hi++)
                    if (t->high[hi] >= table[b] && t->high[hi] < table[b + 1])
                        hs->prevEnv[hi] = v[b];
        }
        for (int q = 0; q < r->grid.numNoise; q++) {
            for (int b = 0; b < t->nNoise; b++) {
                int prev = r->dfNoise[q] ? (q == 0 ? hs->prevNoise[b] : noiseVal[c][0][b])
                                         : (b ? noiseVal[c][q][b - 1] : 0);
                int x = prev + r->noise[q][b];
                x = x < 0 ? 0 : (x > 35 ? 35 : x);
                noiseVal[c][q][b] = (int16_t)x;
            }
        }
        for (int b = 0; b < t->nNoise; b++) hs->prevNoise[b] = noiseVal[c][r->grid.numNoise - 1][b];
        hs->prevLastBorder = r->grid.borders[r->grid.numEnv] - 16;
        hs->valid = 1;
        // frame record
        SbrChannelFrame* f = &out[c];
        memset(f, 0, sizeof(*f));
        f->numEnv = r->grid.numEnv;
        memcpy(f->borders, r->grid.borders, sizeof(f->borders));
        memcpy(f->noiseBorders, r->grid.noiseBorders, sizeof(f->noiseBorders));
        // A frequency-coded first envelope that starts off the previous
        // frame's last border is stretched back to it, so no slots are left
        // without a high band (energies are per slot and need no rescaling).
        if (wasValid && r->grid.borders[0] != prevLast && prevLast >= 0 && prevLast <= 3 &&
            prevLast < r->grid.borders[1]) {
            f->borders[0] = (uint8_t)prevLast;
            f->noiseBorders[0] = (uint8_t)prevLast;
        }
        memcpy(f->freqRes, r->grid.freqRes, sizeof(f->freqRes));
        f->transientEnv = r->grid.transientEnv;
        f->numNoise = r->grid.numNoise;
        memcpy(f->addHarmonic, r->addHarmonic, sizeof(f->addHarmonic));
        memcpy(f->envValue, envVal[c], sizeof(f->envValue));
        memcpy(f->noiseValue, noiseVal[c], sizeof(f->noiseValue));
    }
    // Dequantisation.
    if (!el->coupling) {
        for (int c = 0; c < chans; c++)
            SbrDequantEnvelope(&el->ch[c], t, envVal[c], noiseVal[c], &out[c]);
    } else {
        SbrDequantCoupled(&el->ch[0], t, envVal, noiseVal, out);
    }
    return 1;
}
