// sbrsplice: turns an AAC-LC ADTS stream into an HE-AAC test stream by
// inserting, into every raw data block, a FIL element with an SBR extension
// payload (types 13 and 14, the latter with its CRC-10). The payloads come
// from deterministic sweeps picked by --seed; every payload is read back
// with the decoder's own parser before it is written.
//
//   sbrsplice IN OUT [--seed N] [--estimate ORIGINAL.wav] [--wide]
//   (both ADTS or both MP4)
//   sbrsplice IN OUT --ps [--seed N] [--estimate ORIGINAL.wav] [--ps-const IID,ICC]
//   (mono IN; HE-AAC v2)
//   any of them with --quiet-noise
// --wide (ADTS) codes the envelopes and noise floors with deltas that run
// through every symbol of the Huffman tables in use (values 0..LAV, noise
// 0..30; in a coupled pair the balance channel's values 0..LAV of its
// tables, noise 0..12); the last lines of the output count the symbols used
// per table.
// --estimate takes the envelope energies from the full-band original (16-bit
// PCM WAV at twice the core rate) instead of the sweep's levels, with the
// channels uncoupled, no inverse filtering, a low noise floor and no added
// sinusoids (the complex subband noise and a whitened patch reach the output
// at less than their subband energy, so these would lower the level). With
// --ps the stereo parameters come from the same (stereo) original, unless
// --ps-const holds every band at one IID and ICC index. --quiet-noise sets
// the noise floor as low as the syntax allows (72 dB below the envelope),
// with no inverse filtering and no added sinusoids: the high band is then
// the envelope-scaled patch alone.
// --noise-probe START,STOP,ENV,NOISE (ADTS) writes, for every frame, one
// FIXFIX envelope with every band at ENV and every noise floor at NOISE,
// the linear frequency scale with the given start and stop indices, no
// inverse filtering, no sinusoids, no smoothing, one limiter band and no
// limiting: over a silent core the high band is then the noise generator
// alone at one level, which tools/aac/noise_probe.cpp reads back.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "codecs/aac/sbr_bands.h"
#include "codecs/aac/sbr_bits.h"
#include "codecs/aac/sbr_parse.h"
#include "codecs/aac/sbr_tables.h"
#include "ps_plan.h"

namespace {

const int kRates[16] = {96000, 88200, 64000, 48000, 44100, 32000, 24000, 22050,
                        16000, 12000, 11025, 8000,  7350,  0,     0,     0};

int Fail(const char* msg) {
    fprintf(stderr, "sbrsplice: %s\n", msg);
    return 1;
}

// QMF energies of the full-band original: the standard's 64-band complex
// analysis at the output rate, |X|^2 per slot (64 samples) and band, on the
// decoder's scale (a band of a flat spectrum of power p holds 64 p).
struct Original {
    int channels = 0;
    int rate = 0;
    int slots = 0;
    std::vector<float> energy[2];  // [slot * 64 + band]

    // Mean energy over slots [s0, s1) and bands [k0, k1) of channel c.
    double Mean(int c, int s0, int s1, int k0, int k1) const {
        if (c >= channels) c = channels - 1;
        double sum = 0;
        int n = 0;
        for (int s = s0; s < s1; s++) {
            const int ss = s < 0 ? 0 : (s >= slots ? slots - 1 : s);
            for (int k = k0; k < k1; k++, n++) sum += energy[c][(size_t)ss * 64 + (size_t)k];
        }
        return n ? sum / n : 0.0;
    }
};

uint32_t Le32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | ((uint32_t)p[3] << 24);
}

// Reads a 16-bit PCM WAV file and analyses it. Returns an error text, or
// null.
const char* LoadOriginal(const char* path, Original* o) {
    FILE* f = fopen(path, "rb");
    if (!f) return "cannot open the original";
    std::vector<uint8_t> d;
    uint8_t buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0) d.insert(d.end(), buf, buf + n);
    fclose(f);
    if (d.size() < 12 || memcmp(&d[0], "RIFF", 4) || memcmp(&d[8], "WAVE", 4))
        return "the original is not a WAV file";
    size_t pos = 12;
    int bits = 0, format = 0;
    const uint8_t* pcm = nullptr;
    size_t pcmBytes = 0;
    while (pos + 8 <= d.size()) {
        const uint32_t len = Le32(&d[pos + 4]);
        const size_t body = pos + 8;
        const size_t avail = d.size() - body;
        const size_t take = len < avail ? len : avail;
        if (!memcmp(&d[pos], "fmt ", 4) && take >= 16) {
            format = d[body] | (d[body + 1] << 8);
            o->channels = d[body + 2] | (d[body + 3] << 8);
            o->rate = (int)Le32(&d[body + 4]);
            bits = d[body + 14] | (d[body + 15] << 8);
        } else if (!memcmp(&d[pos], "data", 4)) {
            pcm = &d[body];
            pcmBytes = take;
        }
        pos = body + take + (take & 1);
    }
    if (format != 1 || bits != 16 || o->channels < 1 || o->channels > 2 || !pcm)
        return "the original must be 16-bit PCM, mono or stereo";
    const size_t frames = pcmBytes / (2 * (size_t)o->channels);
    o->slots = (int)(frames / 64);
    static double cosT[64][128], sinT[64][128];
    for (int k = 0; k < 64; k++)
        for (int i = 0; i < 128; i++) {
            const double a = M_PI * (k + 0.5) * (2 * i - 0.5) / 128;
            cosT[k][i] = cos(a);
            sinT[k][i] = sin(a);
        }
    double c[640];
    for (int i = 0; i < 640; i++) c[i] = kSbrQmfWindow[i] / 32768.0;
    for (int ch = 0; ch < o->channels; ch++) {
        o->energy[ch].assign((size_t)o->slots * 64, 0.0f);
        std::vector<double> x(640, 0.0);  // newest first
        for (int s = 0; s < o->slots; s++) {
            for (int i = 639; i >= 64; i--) x[(size_t)i] = x[(size_t)i - 64];
            for (int i = 0; i < 64; i++) {
                const size_t at =
                    ((size_t)s * 64 + (size_t)(63 - i)) * (size_t)o->channels + (size_t)ch;
                x[(size_t)i] = (int16_t)(pcm[2 * at] | (pcm[2 * at + 1] << 8));
            }
            double u[128];
            for (int i = 0; i < 128; i++) {
                u[i] = 0;
                for (int j = 0; j < 5; j++) u[i] += x[(size_t)(i + 128 * j)] * c[i + 128 * j];
            }
            for (int k = 0; k < 64; k++) {
                double re = 0, im = 0;
                for (int i = 0; i < 128; i++) {
                    re += u[i] * cosT[k][i];
                    im += u[i] * sinT[k][i];
                }
                o->energy[ch][(size_t)s * 64 + (size_t)k] = (float)(re * re + im * im);
            }
        }
    }
    return nullptr;
}

// Mirror of the decoder's envelope and noise memory, so that time-direction
// deltas reproduce the planned values exactly.
struct Memory {
    SbrChannelHistory hist[2];
};

struct Planner {
    std::mt19937 rng;
    SbrHeader header;
    SbrBandTables t;
    int outputRate = 0;
    int headerEvery = 1;
    int seed = 0;
    int frame = 0;
    int prevTrail = 16;
    const Original* original = nullptr;  // envelopes from the original when set
    bool wide = false;                   // deltas sweep every Huffman symbol
    bool quietNoise = false;             // quietest noise floor, no sinusoids
    int sweepStep[10] = {};              // next magnitude per table (wide)
    int sweepSign[10] = {};              // sign preferred next (wide)
    int used[10][121] = {};              // symbols coded, per Huffman table
    int channelIndex = 0;                // channel being planned
    Memory mem;
    SbrChannelHistory decodeHist[2];  // for the read-back check
    PsPlanner* ps = nullptr;          // --ps: PS extension after each payload
    int probe[4] = {-1, 0, 0, 0};     // --noise-probe: start, stop, envelope, noise

    int R(int n) { return (int)(rng() % (uint32_t)n); }

    bool Init(int s, int rate) {
        seed = s;
        outputRate = rate;
        rng.seed((uint32_t)s * 7919u + 1u);
        bool built = false;
        for (int tries = 0; tries < 1000 && !built; tries++) {
            SbrHeaderDefaults(&header);
            if (probe[0] >= 0) {
                header.startFreq = (uint8_t)probe[0];
                header.stopFreq = (uint8_t)probe[1];
                header.freqScale = 0;
                header.alterScale = 0;
                header.noiseBands = 0;
                header.limiterBands = 0;
                header.limiterGains = 3;
                header.smoothingMode = 1;
            } else if (s != 0) {
                header.ampRes = (uint8_t)R(2);
                header.startFreq = (uint8_t)R(16);
                header.stopFreq = (uint8_t)R(16);
                header.xoverBand = (uint8_t)R(3);
                header.freqScale = (uint8_t)R(4);
                header.alterScale = (uint8_t)R(2);
                header.noiseBands = (uint8_t)R(4);
                header.limiterBands = (uint8_t)R(4);
                header.limiterGains = (uint8_t)R(4);
                header.interpolFreq = (uint8_t)R(2);
                header.smoothingMode = (uint8_t)R(2);
            }
            built = SbrBuildBandTables(&t, &header, rate) != 0;
        }
        headerEvery = s % 3 == 2 ? 8 : 1;
        for (int c = 0; c < 2; c++) {
            SbrChannelHistoryInit(&mem.hist[c]);
            SbrChannelHistoryInit(&decodeHist[c]);
        }
        return built && t.nHigh > 0;
    }

    SbrGrid Grid() {
        for (;;) {
            SbrGrid g;
            memset(&g, 0, sizeof(g));
            int lead = prevTrail - 16;
            if (probe[0] >= 0) {
                g.frameClass = kSbrFixFix;
                g.numEnv = 1;
                g.freqRes[0] = 1;
                if (SbrGridFromSyntax(&g) && SbrCheckGrid(&g)) return g;
            }
            if (lead == 0) {
                g.frameClass = (frame + seed) % 2 ? kSbrFixVar : kSbrFixFix;
            } else {
                g.frameClass = (frame + seed) % 2 ? kSbrVarVar : kSbrVarFix;
            }
            switch (g.frameClass) {
                case kSbrFixFix: g.numEnv = 1 << R(3); break;
                case kSbrFixVar:
                    g.varBord1 = R(4);
                    g.numRel1 = R(4);
                    g.numEnv = g.numRel1 + 1;
                    break;
                case kSbrVarFix:
                    g.varBord0 = lead;
                    g.numRel0 = R(4);
                    g.numEnv = g.numRel0 + 1;
                    break;
                default:
                    g.varBord0 = lead;
                    g.varBord1 = R(4);
                    g.numRel0 = R(3);
                    g.numRel1 = R(3);
                    g.numEnv = g.numRel0 + g.numRel1 + 1;
                    break;
            }
            for (int i = 0; i < 3; i++) {
                g.relBord0[i] = (uint8_t)(2 * R(3) + 2);
                g.relBord1[i] = (uint8_t)(2 * R(3) + 2);
            }
            g.pointer = g.frameClass == kSbrFixFix ? 0 : R(g.numEnv + 1);
            int fr = R(2);
            for (int e = 0; e < 5; e++) g.freqRes[e] = (uint8_t)(g.frameClass ? R(2) : fr);
            if (g.numEnv <= 5 && SbrGridFromSyntax(&g) && SbrCheckGrid(&g) && g.borders[0] == lead)
                return g;
        }
    }

    // Wide sweep: a delta from `prev` that keeps the value within [lo, lo +
    // span], its magnitude cycling through 0..span per table, the sign
    // alternating where both fit;
    // a magnitude that fits neither way first takes the value to the nearer
    // end (`table` < 0: a start value, 0..lo + span).
    int WideDelta(int table, int prev, int lo, int span) {
        const int hi = lo + span;
        if (table < 0) return R(hi + 1) - prev;
        if (prev > hi)
            return std::max(-span, (lo + hi) / 2 - prev);  // after a change to 3.0 dB steps
        if (prev < lo) return std::min(span, (lo + hi) / 2 - prev);
        const int k = sweepStep[table] % (span + 1);
        const bool canUp = prev + k <= hi, canDown = prev - k >= lo;
        if (!canUp && !canDown)
            return prev - lo <= hi - prev ? lo - prev : hi - prev;  // k waits at an end
        sweepStep[table]++;
        sweepSign[table] ^= 1;
        return canUp && (!canDown || sweepSign[table]) ? k : -k;
    }

    // Counts the Huffman symbols of one channel's envelopes and noise floors.
    void Count(const SbrRawChannel* c, int balance) {
        const int factor = balance ? 2 : 1;
        for (int e = 0; e < c->grid.numEnv; e++) {
            const int n = c->grid.freqRes[e] ? t.nHigh : t.nLow;
            const int tt = c->dfEnv[e] ? (balance ? (c->ampRes ? kSbrHuffBalT30 : kSbrHuffBalT15)
                                                  : (c->ampRes ? kSbrHuffEnvT30 : kSbrHuffEnvT15))
                                       : (balance ? (c->ampRes ? kSbrHuffBalF30 : kSbrHuffBalF15)
                                                  : (c->ampRes ? kSbrHuffEnvF30 : kSbrHuffEnvF15));
            for (int b = c->dfEnv[e] ? 0 : 1; b < n; b++)
                used[tt][c->env[e][b] / factor + kSbrHuff[tt].lav]++;
        }
        for (int q = 0; q < c->grid.numNoise; q++) {
            const int tt = c->dfNoise[q] ? (balance ? kSbrHuffNoiseBalT30 : kSbrHuffNoiseT30)
                                         : (balance ? kSbrHuffBalF30 : kSbrHuffEnvF30);
            for (int b = c->dfNoise[q] ? 0 : 1; b < t.nNoise; b++)
                used[tt][c->noise[q][b] / factor + kSbrHuff[tt].lav]++;
        }
    }

    // Chooses target values and codes them as deltas against the memory.
    void Channel(SbrRawChannel* c, SbrChannelHistory* h, int coupling, int balance) {
        // FFmpeg keeps each channel's envelope memory as it was across a
        // change of coupling (no conversion as below), so time deltas there
        // would read differently; the first envelope after a change is coded
        // in frequency.
        const bool changed = coupling != h->prevCoupling;
        if (changed) {
            for (int i = 0; i < 64; i++) {
                if (coupling == 1)
                    h->prevEnv[i] =
                        (int16_t)((mem.hist[0].prevEnv[i] + mem.hist[1].prevEnv[i] + 1) >> 1);
                else if (coupling == 2)
                    h->prevEnv[i] = 12;
            }
            h->prevCoupling = coupling;
        }
        c->ampRes = (c->grid.frameClass == kSbrFixFix && c->grid.numEnv == 1) ? 0 : header.ampRes;
        const int a = c->ampRes ? 1 : 2;
        const int lav = balance ? (c->ampRes ? 12 : 24) * 2 : (c->ampRes ? 31 : 60);
        const int startMax =
            balance ? ((1 << (c->ampRes ? 5 : 6)) - 1) * 2 : (1 << (c->ampRes ? 6 : 7)) - 1;
        for (int e = 0; e < c->grid.numEnv; e++) {
            const int res = c->grid.freqRes[e];
            const uint8_t* table = res ? t.high : t.low;
            const int n = res ? t.nHigh : t.nLow;
            int16_t v[48];
            for (int b = 0; b < n; b++) {
                int x;
                if (probe[0] >= 0) {
                    x = probe[2];
                } else if (original && !balance) {
                    // The core frame's slots in the original: the encoder's priming
                    // puts frame n at the original's frame n - 1.
                    const int s0 = 32 * (frame - 1) + 2 * c->grid.borders[e];
                    const int s1 = 32 * (frame - 1) + 2 * c->grid.borders[e + 1];
                    const double en = original->Mean(channelIndex, s0, s1, table[b], table[b + 1]);
                    x = en > 64 ? (int)lround(a * log2(en / 64)) : 0;
                    if (x > (c->ampRes ? 63 : 127)) x = c->ampRes ? 63 : 127;
                } else if (balance) {
                    x = 12 * a + 2 * (R(5) - 2);
                } else {
                    x = a * (12 - (b * 4) / (n > 1 ? n : 1)) + R(3) - 1;
                }
                if (x < 0) x = 0;
                v[b] = (int16_t)x;
            }
            bool timeOk = frame > 0 && h->valid && !(changed && e == 0);
            c->dfEnv[e] = (uint8_t)(timeOk && R(2));
            for (int b = 0; b < n; b++) {
                int hi = 0;
                while (hi < t.nHigh && t.high[hi] < table[b]) hi++;
                int prev = c->dfEnv[e] ? h->prevEnv[hi] : (b ? v[b - 1] : 0);
                int d = v[b] - prev;
                if (wide && !original && !balance) {
                    const int table =
                        c->dfEnv[e] ? (c->ampRes ? kSbrHuffEnvT30 : kSbrHuffEnvT15)
                                    : (b ? (c->ampRes ? kSbrHuffEnvF30 : kSbrHuffEnvF15) : -1);
                    d = WideDelta(table, prev, 0, lav);
                } else if (wide && !original) {
                    // Balance values are held doubled; the sweep runs over the coded
                    // (halved) values 0..LAV, which keeps the pair within +-LAV of
                    // the centre.
                    const int table =
                        c->dfEnv[e] ? (c->ampRes ? kSbrHuffBalT30 : kSbrHuffBalT15)
                                    : (b ? (c->ampRes ? kSbrHuffBalF30 : kSbrHuffBalF15) : -1);
                    d = 2 * WideDelta(table, prev / 2, 0, lav / 2);
                }
                if (c->dfEnv[e] == 0 && b == 0) {
                    if (d > startMax) d = startMax;
                } else if (d > lav || d < -lav) {
                    d = d > 0 ? lav : -lav;
                }
                if (balance) d &= ~1;
                c->env[e][b] = (int16_t)d;
                v[b] = (int16_t)(prev + d);
            }
            for (int b = 0; b < n; b++)
                for (int hi = 0; hi < t.nHigh; hi++)
                    if (t.high[hi] >= table[b] && t.high[hi] < table[b + 1]) h->prevEnv[hi] = v[b];
        }
        int16_t nv[2][5];
        for (int q = 0; q < c->grid.numNoise; q++) {
            c->dfNoise[q] = (uint8_t)(frame > 0 && h->valid && R(2));
            for (int b = 0; b < t.nNoise; b++) {
                int x = balance ? 12 + 2 * (R(3) - 1) : 4 + R(8);
                if (original) x = 12;    // a low noise floor
                if (quietNoise) x = 30;  // the quietest the syntax allows: 72 dB below the envelope
                if (probe[0] >= 0) x = probe[3];
                int prev =
                    c->dfNoise[q] ? (q == 0 ? h->prevNoise[b] : nv[0][b]) : (b ? nv[q][b - 1] : 0);
                int d = x - prev;
                if (wide && !original && !balance)
                    d = WideDelta(c->dfNoise[q] ? kSbrHuffNoiseT30 : (b ? kSbrHuffEnvF30 : -1),
                                  prev, 0, 30);
                if (wide && !original && balance)
                    d = 2 *
                        WideDelta(c->dfNoise[q] ? kSbrHuffNoiseBalT30 : (b ? kSbrHuffBalF30 : -1),
                                  prev / 2, 0, 12);
                if (balance) d &= ~1;
                if (c->dfNoise[q] == 0 && b == 0 && d < 0) d = 0;
                c->noise[q][b] = (int16_t)d;
                nv[q][b] = (int16_t)(prev + d);
            }
        }
        for (int b = 0; b < t.nNoise; b++) h->prevNoise[b] = nv[c->grid.numNoise - 1][b];
        const bool plain =
            original || quietNoise || probe[0] >= 0;  // no inverse filtering, no sinusoids
        for (int i = 0; i < t.nNoise; i++) c->invf[i] = (uint8_t)(plain ? 0 : R(4));
        c->addHarmonicFlag = (uint8_t)(!plain && R(3) == 0);
        if (c->addHarmonicFlag)
            for (int i = 0; i < t.nHigh; i++) c->addHarmonic[i] = (uint8_t)(R(6) == 0);
        h->prevLastBorder = c->grid.borders[c->grid.numEnv] - 16;
        h->valid = 1;
    }

    // Builds the extension payload bits (type nibble first) for one block.
    bool Payload(int isPair, SbrBitWriter* bw) {
        const int extType = (frame + seed) % 2 ? 14 : 13;
        SbrWriteBits(bw, (uint32_t)extType, 4);
        if (extType == 14) SbrWriteBits(bw, 0, 10);
        const int crcStart = bw->pos;
        const bool withHeader = frame % headerEvery == 0;
        SbrWriteBits(bw, withHeader ? 1 : 0, 1);
        if (withHeader) SbrWriteHeader(bw, &header);
        SbrRawElement el;
        memset(&el, 0, sizeof(el));
        el.isPair = isPair;
        el.coupling = isPair && !original && probe[0] < 0 ? R(2) : 0;
        el.ch[0].grid = Grid();
        el.ch[1].grid = el.coupling ? el.ch[0].grid : el.ch[0].grid;
        channelIndex = 0;
        Channel(&el.ch[0], &mem.hist[0], isPair && el.coupling ? 1 : 0, 0);
        channelIndex = 1;
        if (isPair) Channel(&el.ch[1], &mem.hist[1], el.coupling ? 2 : 0, el.coupling);
        if (el.coupling) memcpy(el.ch[1].invf, el.ch[0].invf, sizeof(el.ch[0].invf));
        Count(&el.ch[0], 0);
        if (isPair) Count(&el.ch[1], el.coupling);
        SbrWriteData(bw, &header, &t, &el);
        if (ps && !ps->Extend(bw)) return false;
        while (bw->pos % 8 != 0) SbrWriteBits(bw, 0, 1);
        if (extType == 14) {
            uint32_t crc = SbrCrc10(bw->data, crcStart, bw->pos - crcStart);
            for (int i = 0; i < 10; i++) {
                int p = 4 + i;
                if ((crc >> (9 - i)) & 1) bw->data[p >> 3] |= (uint8_t)(0x80 >> (p & 7));
            }
        }
        prevTrail = el.ch[0].grid.borders[el.ch[0].grid.numEnv];
        frame++;
        return !bw->error && Check(bw->data, bw->pos, isPair, el, withHeader);
    }

    // Reads the payload back with the decoder's parser: what was meant is
    // what it decodes.
    bool Check(const uint8_t* data, int bits, int isPair, const SbrRawElement& meant, bool hdr) {
        AacBitReader br;
        AacBitsInitBits(&br, data, 0, bits);
        int type = (int)AacBitsReadLong(&br, 4);
        if (type == 14) {
            uint32_t crc = AacBitsReadLong(&br, 10);
            if (SbrCrc10(data, br.bitsRead, bits - br.bitsRead) != crc) return false;
        }
        if ((int)AacBitsReadLong(&br, 1) != (hdr ? 1 : 0)) return false;
        SbrHeader h = header;
        if (hdr) SbrParseHeader(&br, &h, 1);
        SbrRawElement got;
        if (!SbrParseData(&br, &h, &t, isPair, &got)) return false;
        if (br.bitsLeft > 7) return false;
        SbrChannelFrame outGot[2], outMeant[2];
        SbrChannelHistory h1[2] = {decodeHist[0], decodeHist[1]};
        SbrChannelHistory h2[2] = {decodeHist[0], decodeHist[1]};
        if (!SbrDecodeElement(&got, &t, h1, outGot)) return false;
        if (!SbrDecodeElement(&meant, &t, h2, outMeant)) return false;
        for (int c = 0; c < (isPair ? 2 : 1); c++) {
            if (memcmp(outGot[c].envValue, outMeant[c].envValue, sizeof(outGot[c].envValue)) ||
                memcmp(outGot[c].noiseValue, outMeant[c].noiseValue, sizeof(outGot[c].noiseValue)))
                return false;
            decodeHist[c] = h1[c];
        }
        return true;
    }
};

// Inserts the FIL element with the next SBR payload before ID_END of one
// raw data block. Returns an error text, or null.
const char* SpliceBlock(Planner* plan, const uint8_t* blk, int blkBytes, bool isPair,
                        std::vector<uint8_t>* result) {
    // ID_END ends at the last set bit: the byte alignment after it is zeros.
    int last = blkBytes * 8 - 1;
    while (last >= 0 && !((blk[last >> 3] >> (7 - (last & 7))) & 1)) last--;
    if (last < 2) return "raw data block without ID_END";
    const int endPos = last - 2;
    for (int i = endPos; i <= last; i++)
        if (!((blk[i >> 3] >> (7 - (i & 7))) & 1)) return "raw data block does not end in ID_END";
    uint8_t pay[600];
    SbrBitWriter pw;
    SbrBitWriterInit(&pw, pay, sizeof(pay));
    if (!plan->Payload(isPair ? 1 : 0, &pw)) return "payload did not read back as written";
    const int payBytes = pw.pos / 8;
    std::vector<uint8_t> nb((size_t)blkBytes + (size_t)payBytes + 8);
    SbrBitWriter bw;
    SbrBitWriterInit(&bw, nb.data(), (int)nb.size());
    for (int i = 0; i < endPos; i++) SbrWriteBits(&bw, (blk[i >> 3] >> (7 - (i & 7))) & 1, 1);
    SbrWriteBits(&bw, 6, 3);  // ID_FIL
    if (payBytes >= 15) {
        SbrWriteBits(&bw, 15, 4);
        SbrWriteBits(&bw, (uint32_t)(payBytes - 14), 8);
    } else {
        SbrWriteBits(&bw, (uint32_t)payBytes, 4);
    }
    for (int i = 0; i < payBytes; i++) SbrWriteBits(&bw, pay[i], 8);
    SbrWriteBits(&bw, 7, 3);  // ID_END
    while (bw.pos % 8) SbrWriteBits(&bw, 0, 1);
    if (bw.error) return "frame too large";
    nb.resize((size_t)bw.pos / 8);
    *result = nb;
    return nullptr;
}

// ---- MP4: the audio track's samples are spliced, every track's chunks are
// laid out again in one mdat, and the sample sizes and chunk offsets are
// written anew.

struct Box {
    std::string type;
    std::vector<uint8_t> payload;  // leaf boxes
    std::vector<Box> kids;         // container boxes
    bool container = false;
};

uint32_t Be32(const uint8_t* p) {
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

void Put32(std::vector<uint8_t>* v, uint32_t x) {
    for (int i = 3; i >= 0; i--) v->push_back((uint8_t)(x >> (8 * i)));
}

bool IsContainer(const std::string& t) {
    return t == "moov" || t == "trak" || t == "mdia" || t == "minf" || t == "stbl";
}

bool ParseBoxes(const uint8_t* p, size_t size, std::vector<Box>* out) {
    size_t pos = 0;
    while (pos + 8 <= size) {
        uint64_t len = Be32(p + pos);
        size_t head = 8;
        if (len == 1) {
            if (pos + 16 > size) return false;
            len = (uint64_t)Be32(p + pos + 8) << 32 | Be32(p + pos + 12);
            head = 16;
        } else if (len == 0) {
            len = size - pos;
        }
        if (len < head || len > size - pos) return false;
        Box b;
        b.type.assign((const char*)p + pos + 4, 4);
        if (IsContainer(b.type)) {
            b.container = true;
            if (!ParseBoxes(p + pos + head, (size_t)len - head, &b.kids)) return false;
        } else {
            b.payload.assign(p + pos + head, p + pos + len);
        }
        out->push_back(std::move(b));
        pos += (size_t)len;
    }
    return pos == size;
}

void WriteBox(const Box& b, std::vector<uint8_t>* out) {
    std::vector<uint8_t> body;
    if (b.container) {
        for (const Box& k : b.kids) WriteBox(k, &body);
    } else {
        body = b.payload;
    }
    Put32(out, (uint32_t)(8 + body.size()));
    out->insert(out->end(), b.type.begin(), b.type.end());
    out->insert(out->end(), body.begin(), body.end());
}

Box* Find(std::vector<Box>& v, const char* type) {
    for (Box& b : v)
        if (b.type == type) return &b;
    return nullptr;
}

struct Track {
    Box* stbl = nullptr;
    bool audio = false;
    std::vector<uint32_t> sizes;
    std::vector<uint64_t> chunkOffsets;
    std::vector<uint32_t> chunkSamples;  // samples per chunk
    std::vector<uint64_t> newOffsets;
};

const char* ReadTrack(Box& trak, Track* t) {
    Box* mdia = Find(trak.kids, "mdia");
    if (!mdia) return "track without mdia";
    Box* hdlr = Find(mdia->kids, "hdlr");
    t->audio = hdlr && hdlr->payload.size() >= 12 && !memcmp(&hdlr->payload[8], "soun", 4);
    Box* minf = Find(mdia->kids, "minf");
    if (!minf) return "track without minf";
    t->stbl = Find(minf->kids, "stbl");
    if (!t->stbl) return "track without stbl";
    Box* stsz = Find(t->stbl->kids, "stsz");
    Box* stsc = Find(t->stbl->kids, "stsc");
    Box* stco = Find(t->stbl->kids, "stco");
    Box* co64 = Find(t->stbl->kids, "co64");
    if (!stsz || !stsc || (!stco && !co64)) return "incomplete sample table";
    const std::vector<uint8_t>& z = stsz->payload;
    if (z.size() < 12) return "short stsz";
    uint32_t constant = Be32(&z[4]), count = Be32(&z[8]);
    if (!constant && z.size() < 12 + 4ull * count) return "short stsz";
    for (uint32_t i = 0; i < count; i++)
        t->sizes.push_back(constant ? constant : Be32(&z[12 + 4 * i]));
    const std::vector<uint8_t>& o = stco ? stco->payload : co64->payload;
    if (o.size() < 8) return "short chunk offsets";
    uint32_t chunks = Be32(&o[4]);
    if (o.size() < 8 + (stco ? 4ull : 8ull) * chunks) return "short chunk offsets";
    for (uint32_t i = 0; i < chunks; i++)
        t->chunkOffsets.push_back(
            stco ? Be32(&o[8 + 4 * i])
                 : ((uint64_t)Be32(&o[8 + 8 * i]) << 32 | Be32(&o[12 + 8 * i])));
    const std::vector<uint8_t>& c = stsc->payload;
    if (c.size() < 8) return "short stsc";
    uint32_t entries = Be32(&c[4]);
    if (c.size() < 8 + 12ull * entries) return "short stsc";
    for (uint32_t ch = 0; ch < chunks; ch++) {
        uint32_t per = 0;
        for (uint32_t e = 0; e < entries; e++)
            if (Be32(&c[8 + 12 * e]) <= ch + 1) per = Be32(&c[8 + 12 * e + 4]);
        t->chunkSamples.push_back(per);
    }
    return nullptr;
}

// AudioSpecificConfig of the first mp4a entry: rate index and channels.
// When it carries a backward-compatible SBR extension that says "no SBR"
// (as FFmpeg writes it), the flag is set and the output rate index filled
// in, so that readers trust the inserted SBR data.
bool AudioConfig(Box* stbl, int* sfIndex, int* chanCfg) {
    Box* stsd = Find(stbl->kids, "stsd");
    if (!stsd) return false;
    const std::vector<uint8_t>& p = stsd->payload;
    for (size_t i = 0; i + 2 < p.size(); i++) {
        if (p[i] != 0x05) continue;  // DecoderSpecificInfo tag
        size_t j = i + 1, len = 0;
        for (int k = 0; k < 4 && j < p.size(); k++) {
            len = (len << 7) | (p[j] & 0x7f);
            if (!(p[j++] & 0x80)) break;
        }
        if (len < 2 || j + 2 > p.size()) continue;
        int aot = p[j] >> 3;
        if (aot != 2) continue;
        *sfIndex = ((p[j] & 7) << 1) | (p[j + 1] >> 7);
        *chanCfg = (p[j + 1] >> 3) & 15;
        if (len >= 5 && j + 5 <= p.size()) {
            uint32_t ext = (uint32_t)p[j + 2] << 16 | (uint32_t)p[j + 3] << 8 | p[j + 4];
            // 11-bit sync 0x2b7, 5-bit object type 5, presence flag, 4-bit rate
            if ((ext >> 13) == 0x2b7 && ((ext >> 8) & 31) == 5 && *sfIndex >= 6 && *sfIndex <= 8) {
                int outIndex = *sfIndex - 3;  // twice the core rate
                std::vector<uint8_t>& w = stsd->payload;
                w[j + 4] = (uint8_t)(0x80 | (outIndex << 3) | (w[j + 4] & 7));
            }
        }
        return true;
    }
    return false;
}

PsSpliceOptions g_ps;
PsPlanner g_psPlan;

const char* SpliceMp4(const std::vector<uint8_t>& in, int seed, const Original* original,
                      bool quietNoise, std::vector<uint8_t>* out) {
    std::vector<Box> top;
    if (!ParseBoxes(in.data(), in.size(), &top)) return "damaged MP4 box structure";
    Box* moov = Find(top, "moov");
    int mdats = 0;
    for (Box& b : top) mdats += b.type == "mdat";
    if (!moov || mdats != 1) return "MP4 needs one moov and one mdat";
    std::vector<Track> tracks;
    Track* audio = nullptr;
    for (Box& b : moov->kids) {
        if (b.type != "trak") continue;
        Track t;
        const char* e = ReadTrack(b, &t);
        if (e) return e;
        tracks.push_back(std::move(t));
    }
    for (Track& t : tracks)
        if (t.audio && !audio) audio = &t;
    if (!audio) return "no audio track";
    int sfIndex = 15, chanCfg = 0;
    if (!AudioConfig(audio->stbl, &sfIndex, &chanCfg)) return "audio track is not AAC-LC";
    const int coreRate = kRates[sfIndex];
    if (coreRate != 16000 && coreRate != 22050 && coreRate != 24000)
        return "core rate must be 16000, 22050 or 24000 Hz";
    if (chanCfg != 1 && chanCfg != 2) return "mono or stereo streams only";
    if (original && original->rate != 2 * coreRate)
        return "the original's rate must be twice the core's";
    Planner plan;
    plan.original = original;
    plan.quietNoise = quietNoise;
    if (!plan.Init(seed, 2 * coreRate)) return "no usable SBR header for this rate";
    static std::string psErr;
    if (g_ps.on && !(psErr = PsAttach(&g_psPlan, g_ps, chanCfg, coreRate)).empty())
        return psErr.c_str();
    if (g_ps.on) plan.ps = &g_psPlan;
    // Chunks of all tracks in file order.
    struct Chunk {
        uint64_t offset;
        Track* track;
        size_t index;
        size_t firstSample;
    };
    std::vector<Chunk> chunks;
    for (Track& t : tracks) {
        size_t s = 0;
        t.newOffsets.assign(t.chunkOffsets.size(), 0);
        for (size_t c = 0; c < t.chunkOffsets.size(); c++) {
            chunks.push_back(Chunk{t.chunkOffsets[c], &t, c, s});
            s += t.chunkSamples[c];
        }
        if (s != t.sizes.size()) return "sample table counts disagree";
    }
    std::sort(chunks.begin(), chunks.end(),
              [](const Chunk& a, const Chunk& b) { return a.offset < b.offset; });
    std::vector<uint8_t> mdat;
    for (Chunk& ch : chunks) {
        Track& t = *ch.track;
        t.newOffsets[ch.index] = mdat.size();
        uint64_t off = ch.offset;
        for (size_t s = ch.firstSample; s < ch.firstSample + t.chunkSamples[ch.index]; s++) {
            if (off + t.sizes[s] > in.size()) return "sample outside the file";
            if (&t == audio) {
                std::vector<uint8_t> nb;
                const char* e =
                    SpliceBlock(&plan, &in[(size_t)off], (int)t.sizes[s], chanCfg == 2, &nb);
                if (e) return e;
                off += t.sizes[s];
                t.sizes[s] = (uint32_t)nb.size();
                mdat.insert(mdat.end(), nb.begin(), nb.end());
            } else {
                mdat.insert(mdat.end(), in.begin() + (long)off,
                            in.begin() + (long)(off + t.sizes[s]));
                off += t.sizes[s];
            }
        }
    }
    // New sample sizes for the audio track; 32-bit chunk offsets for all.
    {
        Box* stsz = Find(audio->stbl->kids, "stsz");
        std::vector<uint8_t> z(stsz->payload.begin(), stsz->payload.begin() + 4);
        Put32(&z, 0);
        Put32(&z, (uint32_t)audio->sizes.size());
        for (uint32_t v : audio->sizes) Put32(&z, v);
        stsz->payload = z;
    }
    for (Track& t : tracks) {
        Box* co = Find(t.stbl->kids, "stco");
        if (!co) {
            co = Find(t.stbl->kids, "co64");
            co->type = "stco";
        }
        std::vector<uint8_t> v = {0, 0, 0, 0};
        Put32(&v, (uint32_t)t.newOffsets.size());
        for (size_t i = 0; i < t.newOffsets.size(); i++) Put32(&v, 0);
        co->payload = v;
    }
    // The mdat payload starts after every box before it plus its header.
    uint64_t mdatStart = 0;
    for (Box& b : top) {
        if (b.type == "mdat") break;
        std::vector<uint8_t> tmp;
        WriteBox(b, &tmp);
        mdatStart += tmp.size();
    }
    mdatStart += 8;
    if (mdatStart + mdat.size() > 0xffffffffull) return "output too large";
    for (Track& t : tracks) {
        Box* co = Find(t.stbl->kids, "stco");
        for (size_t i = 0; i < t.newOffsets.size(); i++) {
            uint32_t v = (uint32_t)(mdatStart + t.newOffsets[i]);
            for (int k = 0; k < 4; k++) co->payload[8 + 4 * i + k] = (uint8_t)(v >> (24 - 8 * k));
        }
    }
    for (Box& b : top) {
        if (b.type == "mdat") b.payload = mdat;
        WriteBox(b, out);
    }
    printf("sbrsplice: %zu samples, seed %d\n", audio->sizes.size(), seed);
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return Fail(
            "usage: sbrsplice IN OUT [--ps [--ps-const IID,ICC]] [--seed N] [--estimate "
            "ORIGINAL.wav] "
            "[--quiet-noise] [--wide] [--noise-probe S,E,ENV,NOISE]");
    int seed = 0;
    for (int i = 3; i < argc; i++) g_ps.on = g_ps.on || !strcmp(argv[i], "--ps");
    static Original original;
    const Original* est = nullptr;
    bool wide = false;
    bool quiet = false;
    int probe[4] = {-1, 0, 0, 0};
    for (int i = 3; i < argc; i++) {
        if (!strcmp(argv[i], "--seed") && i + 1 < argc) {
            seed = atoi(argv[++i]);
        } else if (!strcmp(argv[i], "--ps")) {
            g_ps.on = true;
        } else if (!strcmp(argv[i], "--estimate") && i + 1 < argc) {
            if (g_ps.on) g_ps.estimate = argv[i + 1];
            const char* e = LoadOriginal(argv[++i], &original);
            if (e) return Fail(e);
            est = &original;
        } else if (!strcmp(argv[i], "--ps-const") && i + 1 < argc) {
            int iid = 0, icc = 0;
            if (sscanf(argv[++i], "%d,%d", &iid, &icc) != 2)
                return Fail("--ps-const takes IID,ICC");
            g_ps.constant = true;
            g_ps.iid = iid;
            g_ps.icc = icc;
        } else if (!strcmp(argv[i], "--quiet-noise")) {
            quiet = true;
        } else if (!strcmp(argv[i], "--wide")) {
            wide = true;
        } else if (!strcmp(argv[i], "--noise-probe") && i + 1 < argc) {
            if (sscanf(argv[++i], "%d,%d,%d,%d", &probe[0], &probe[1], &probe[2], &probe[3]) != 4 ||
                probe[0] < 0 || probe[0] > 15 || probe[1] < 0 || probe[1] > 15 || probe[2] < 0 ||
                probe[2] > 127 || probe[3] < 0 || probe[3] > 30)
                return Fail("--noise-probe takes START,STOP,ENV,NOISE");
        } else {
            return Fail("unknown option");
        }
    }
    g_ps.seed = seed;
    FILE* f = fopen(argv[1], "rb");
    if (!f) return Fail("cannot open input");
    std::vector<uint8_t> in;
    uint8_t buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0) in.insert(in.end(), buf, buf + n);
    fclose(f);
    if (in.size() >= 8 && !memcmp(&in[4], "ftyp", 4)) {
        std::vector<uint8_t> out;
        const char* e = SpliceMp4(in, seed, est, quiet, &out);
        if (e) return Fail(e);
        FILE* o = fopen(argv[2], "wb");
        if (!o) return Fail("cannot create output");
        bool ok = fwrite(out.data(), 1, out.size(), o) == out.size();
        fclose(o);
        return ok ? 0 : Fail("write failed");
    }
    std::vector<uint8_t> out;
    Planner plan;
    plan.original = est;
    plan.quietNoise = quiet;
    plan.wide = wide;
    memcpy(plan.probe, probe, sizeof(probe));
    bool planned = false;
    size_t pos = 0;
    int frames = 0;
    while (pos + 7 <= in.size()) {
        const uint8_t* h = &in[pos];
        if (h[0] != 0xFF || (h[1] & 0xF6) != 0xF0) return Fail("lost ADTS sync");
        const int protectionAbsent = h[1] & 1;
        const int sfIndex = (h[2] >> 2) & 15;
        const int chanCfg = ((h[2] & 1) << 2) | (h[3] >> 6);
        const int len = ((h[3] & 3) << 11) | (h[4] << 3) | (h[5] >> 5);
        const int blocks = (h[6] & 3) + 1;
        if (!protectionAbsent || blocks != 1)
            return Fail("only CRC-less single-block ADTS frames are supported");
        if (len < 8 || pos + (size_t)len > in.size()) return Fail("truncated ADTS frame");
        const int coreRate = kRates[sfIndex];
        if (coreRate != 16000 && coreRate != 22050 && coreRate != 24000)
            return Fail("core rate must be 16000, 22050 or 24000 Hz");
        if (chanCfg != 1 && chanCfg != 2) return Fail("mono or stereo streams only");
        if (!planned) {
            if (est && est->rate != 2 * coreRate)
                return Fail("the original's rate must be twice the core's");
            if (!plan.Init(seed, 2 * coreRate)) return Fail("no usable SBR header for this rate");
            if (g_ps.on) {
                std::string e = PsAttach(&g_psPlan, g_ps, chanCfg, coreRate);
                if (!e.empty()) return Fail(e.c_str());
                plan.ps = &g_psPlan;
            }
            planned = true;
        }
        std::vector<uint8_t> nb;
        const char* err = SpliceBlock(&plan, h + 7, len - 7, chanCfg == 2, &nb);
        if (err) return Fail(err);
        const int newLen = 7 + (int)nb.size();
        if (newLen > 8191) return Fail("frame too large for ADTS");
        uint8_t hdr[7];
        memcpy(hdr, h, 7);
        hdr[3] = (uint8_t)((hdr[3] & 0xFC) | ((newLen >> 11) & 3));
        hdr[4] = (uint8_t)((newLen >> 3) & 0xFF);
        hdr[5] = (uint8_t)((hdr[5] & 0x1F) | ((newLen & 7) << 5));
        out.insert(out.end(), hdr, hdr + 7);
        out.insert(out.end(), nb.begin(), nb.end());
        pos += (size_t)len;
        frames++;
    }
    if (pos != in.size()) return Fail("trailing bytes after the last ADTS frame");
    FILE* o = fopen(argv[2], "wb");
    if (!o) return Fail("cannot create output");
    if (fwrite(out.data(), 1, out.size(), o) != out.size()) {
        fclose(o);
        return Fail("write failed");
    }
    fclose(o);
    printf("sbrsplice: %d frames, seed %d\n", frames, seed);
    if (probe[0] >= 0)
        printf("bands %d..%d, limiter bands %d\n", plan.t.kx, plan.t.kx + plan.t.m,
               plan.t.nLimiter);
    // Huffman symbols used: table index, distinct symbols, table size.
    for (int i = 0; i < 10; i++) {
        int distinct = 0;
        for (int k = 0; k < kSbrHuff[i].count; k++) distinct += plan.used[i][k] > 0;
        printf("huffman %d: %d of %d\n", i, distinct, kSbrHuff[i].count);
    }
    return 0;
}
