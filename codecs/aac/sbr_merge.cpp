// Mono merge: one SBR frame record from the two channels of a channel pair,
// for mono output of a stereo stream.
#include <cstring>

#include "sbr_dec.h"

namespace {

// Mean of two energies: their sum, halved.
SbrME Mean(SbrME a, SbrME b) {
    SbrME s = SbrMeAdd(a, b);
    if (s.m != 0) s.e = (int16_t)(s.e - 1);
    return s;
}

int16_t MeanValue(int16_t a, int16_t b) { return (int16_t)(((int)a + (int)b) >> 1); }

// Merged envelope borders of two grids, thinned (see SbrMergeChannels).
int MergeBorders(const SbrChannelFrame* f0, const SbrChannelFrame* f1, uint8_t* out) {
    const int n0 = f0->numEnv, n1 = f1->numEnv;
    const int start = f0->borders[0] > f1->borders[0] ? f0->borders[0] : f1->borders[0];
    const int end = f0->borders[n0] > f1->borders[n1] ? f0->borders[n0] : f1->borders[n1];
    uint8_t list[16];
    int count = 0;
    list[count++] = (uint8_t)start;
    int i0 = 1, i1 = 1;
    while (i0 < n0 && f0->borders[i0] <= start) i0++;
    while (i1 < n1 && f1->borders[i1] <= start) i1++;
    // Rising order, channel 1 first on equal values, until either channel's
    // last border is taken; the end border closes the list.
    for (;;) {
        int b;
        bool last;
        if (f1->borders[i1] <= f0->borders[i0]) {
            b = f1->borders[i1];
            last = i1 == n1;
            i1++;
        } else {
            b = f0->borders[i0];
            last = i0 == n0;
            i0++;
        }
        if (last || count >= 14) break;
        if (b > start && b < end) list[count++] = (uint8_t)b;
    }
    list[count++] = (uint8_t)end;
    // Borders less than 2 slots after the one before go (never the end).
    int n = 1;
    for (int i = 1; i < count - 1; i++)
        if (list[i] - list[n - 1] >= 2) list[n++] = list[i];
    list[n++] = (uint8_t)end;
    // A last envelope under 2 slots joins the one before.
    if (n > 2 && list[n - 1] - list[n - 2] < 2) {
        list[n - 2] = list[n - 1];
        n--;
    }
    // At most 5 envelopes: the last one under 4 slots (else the shortest)
    // joins the envelope before it.
    while (n - 1 > 5) {
        int drop = -1;
        for (int e = n - 2; e >= 1 && drop < 0; e--)
            if (list[e + 1] - list[e] < 4) drop = e;
        if (drop < 0) {
            drop = 1;
            for (int e = 2; e < n - 1; e++)
                if (list[e + 1] - list[e] < list[drop + 1] - list[drop]) drop = e;
        }
        for (int i = drop; i < n - 1; i++) list[i] = list[i + 1];
        n--;
    }
    memcpy(out, list, (size_t)n);
    return n - 1;
}

// Index of the band of table `borders` (count bands) holding the merged
// band whose upper border is `upper`, advancing from `index`.
int FollowBand(const uint8_t* borders, int count, int index, int upper) {
    while (index + 1 < count && upper > borders[index + 1]) index++;
    return index;
}

}  // namespace

void SbrMergeChannels(SbrChannelFrame* f0, uint8_t invf0[5], const SbrChannelFrame* f1,
                      const uint8_t invf1[5], const SbrBandTables* t) {
    SbrChannelFrame m;
    memset(&m, 0, sizeof(m));
    for (int b = 0; b < 5; b++)
        if (invf1[b] > invf0[b]) invf0[b] = invf1[b];
    for (int b = 0; b < 48; b++)
        m.addHarmonic[b] = (uint8_t)(f0->addHarmonic[b] | f1->addHarmonic[b]);

    m.numEnv = MergeBorders(f0, f1, m.borders);
    const int start = m.borders[0], end = m.borders[m.numEnv];

    if (f0->transientEnv < 0)
        m.transientEnv = f1->transientEnv;
    else if (f1->transientEnv < 0)
        m.transientEnv = f0->transientEnv;
    else
        m.transientEnv = f0->transientEnv < f1->transientEnv ? f0->transientEnv : f1->transientEnv;
    if (m.transientEnv >= m.numEnv) m.transientEnv = m.numEnv - 1;

    // Noise floors.
    m.numNoise = f0->numNoise > f1->numNoise ? f0->numNoise : f1->numNoise;
    if (m.numEnv == 1) m.numNoise = 1;
    m.noiseBorders[0] = (uint8_t)start;
    if (m.numNoise == 2) {
        int mid;
        if (f0->numNoise == 2 && f1->numNoise == 2)
            mid = f0->noiseBorders[1] < f1->noiseBorders[1] ? f0->noiseBorders[1]
                                                            : f1->noiseBorders[1];
        else
            mid = f0->numNoise == 2 ? f0->noiseBorders[1] : f1->noiseBorders[1];
        int moved = end;
        for (int e = 1; e <= m.numEnv; e++)
            if (m.borders[e] >= mid) {
                moved = m.borders[e];
                break;
            }
        if (moved >= end) {
            m.numNoise = 1;
        } else {
            m.noiseBorders[1] = (uint8_t)moved;
        }
    }
    m.noiseBorders[m.numNoise] = (uint8_t)end;

    // Envelope values: each channel follows the merged envelopes.
    const SbrChannelFrame* src[2] = {f0, f1};
    int cur[2] = {0, 0};
    for (int e = 0; e < m.numEnv; e++) {
        for (int c = 0; c < 2; c++)
            if (m.borders[e + 1] > src[c]->borders[cur[c] + 1] && cur[c] + 1 < src[c]->numEnv)
                cur[c]++;
        const int res = (src[0]->freqRes[cur[0]] || src[1]->freqRes[cur[1]]) ? 1 : 0;
        m.freqRes[e] = (uint8_t)res;
        const uint8_t* table = res ? t->high : t->low;
        const int bands = res ? t->nHigh : t->nLow;
        int idx[2] = {0, 0};
        for (int b = 0; b < bands && b < 48; b++) {
            for (int c = 0; c < 2; c++) {
                const int own = src[c]->freqRes[cur[c]];
                idx[c] = FollowBand(own ? t->high : t->low, own ? t->nHigh : t->nLow, idx[c],
                                    table[b + 1]);
            }
            m.env[e][b] = Mean(src[0]->env[cur[0]][idx[0]], src[1]->env[cur[1]][idx[1]]);
            m.envValue[e][b] =
                MeanValue(src[0]->envValue[cur[0]][idx[0]], src[1]->envValue[cur[1]][idx[1]]);
        }
    }
    // Noise values.
    int nc[2] = {0, 0};
    for (int l = 0; l < m.numNoise; l++) {
        for (int c = 0; c < 2; c++)
            if (nc[c] + 1 < src[c]->numNoise &&
                m.noiseBorders[l] >= src[c]->noiseBorders[nc[c] + 1])
                nc[c]++;
        for (int b = 0; b < t->nNoise && b < 5; b++) {
            m.noise[l][b] = Mean(src[0]->noise[nc[0]][b], src[1]->noise[nc[1]][b]);
            m.noiseValue[l][b] =
                MeanValue(src[0]->noiseValue[nc[0]][b], src[1]->noiseValue[nc[1]][b]);
        }
    }
    *f0 = m;
}
