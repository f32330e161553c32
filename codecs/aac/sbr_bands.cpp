// SBR frequency band tables: master, high, low, noise-floor and limiter
// tables and the HF patches.
#include "sbr_bands.h"

#include <cmath>
#include <cstring>

#include "sbr_tables.h"

void SbrHeaderDefaults(SbrHeader* h) {
    h->ampRes = 1;
    h->startFreq = 10;
    h->stopFreq = 10;
    h->xoverBand = 0;
    h->freqScale = 2;
    h->alterScale = 1;
    h->noiseBands = 2;
    h->limiterBands = 2;
    h->limiterGains = 2;
    h->interpolFreq = 1;
    h->smoothingMode = 1;
}

namespace {

int RateRow(int rate) {
    switch (rate) {
        case 16000: return 0;
        case 22050: return 1;
        case 24000: return 2;
        case 32000: return 3;
        case 44100: return 4;
        case 48000: return 5;
        case 64000: return 6;
        case 88200:
        case 96000: return 7;
        default: return -1;
    }
}

void SortBytes(int* v, int n) {
    for (int i = 1; i < n; i++) {
        int x = v[i], j = i - 1;
        while (j >= 0 && v[j] > x) {
            v[j + 1] = v[j];
            j--;
        }
        v[j + 1] = x;
    }
}

// log2(hi / lo) x 4096 from the table.
int Log2Ratio(int hi, int lo) { return (int)kSbrLog2Table[hi] - (int)kSbrLog2Table[lo]; }

// 2 x round(bands x log2(hi/lo) / 2), warped by 1/1.3, held to -128..126.
// The one place that keeps exact logarithms: the 12-bit log table and a
// 50400/65536 warp put some headers just across a rounding step (k 20..44,
// 8 bands an octave, warped: 3.50001 by the standard, 3.4998 by the table)
// and so give a different master table than the standard's.
int RegionBands(int bandsPerOctave, int hi, int lo, int warp) {
    double x = bandsPerOctave * std::log((double)hi / lo) / (2.0 * std::log(2.0));
    if (warp) x /= 1.3;
    int n = 2 * (int)std::floor(x + 0.5);
    return n < -128 ? -128 : (n > 126 ? 126 : n);
}

// Widths of n geometric bands from lo to hi (the rounded cumulative
// products of the standard).
void GeometricWidths(int lo, int hi, int n, int* dk) {
    // Rounded borders lo x (hi/lo)^(k/n) by repeated Q-format products kept
    // in double: the borders are small integers, the products exact enough.
    double r = 1.0;
    // ratio^(1/n) by Newton iteration on x^n = hi/lo
    double target = (double)hi / lo;
    double q = 1.0 + (target - 1.0) / n;
    for (int it = 0; it < 100; it++) {
        double p = 1.0;
        for (int i = 0; i < n - 1; i++) p *= q;
        double f = p * q - target;
        double nq = q - f / (n * p);
        if (nq == q) break;
        q = nq;
    }
    int prev = lo;
    for (int k = 0; k < n; k++) {
        r *= q;
        int cur = (int)(lo * r + 0.5);
        if (k == n - 1) cur = hi;
        dk[k] = cur - prev;
        prev = cur;
    }
}

int IsIn(const int* v, int n, int x) {
    for (int i = 0; i < n; i++)
        if (v[i] == x) return 1;
    return 0;
}

}  // namespace

int SbrStartBand(int outputRate, int startFreq) {
    int row = RateRow(outputRate);
    if (row < 0 || startFreq < 0 || startFreq > 15) return -1;
    return kSbrStartBand[row][startFreq];
}

int SbrPatchGoal(int outputRate) {
    switch (outputRate) {
        case 16000:
        case 22050:
        case 24000:
        case 32000: return 64;
        case 44100: return 46;
        case 48000: return 43;
        case 64000: return 32;
        case 88200: return 23;
        case 96000: return 21;
        default: return -1;
    }
}

static int StopBand(int rate, int k0, int stopFreq) {
    if (stopFreq == 14) return 2 * k0 > 64 ? 64 : 2 * k0;
    if (stopFreq == 15) return 3 * k0 > 64 ? 64 : 3 * k0;
    int base = rate < 32000 ? 6000 : (rate < 64000 ? 8000 : 10000);
    int stopMin = (int)(((int64_t)base * 128 * 2 + rate) / (2 * rate));  // rounded
    if (stopMin > 64) stopMin = 64;
    int dk[13];
    GeometricWidths(stopMin, 64, 13, dk);
    SortBytes(dk, 13);
    int k2 = stopMin;
    for (int i = 0; i < stopFreq; i++) k2 += dk[i];
    return k2 > 64 ? 64 : k2;
}

static int BuildMaster(SbrBandTables* t, const SbrHeader* h) {
    const int k0 = t->k0, k2 = t->k2;
    int n = 0;
    if (h->freqScale == 0) {
        int dk = h->alterScale ? 2 : 1;
        int numBands = h->alterScale ? 2 * ((k2 - k0 + 2) / 4) : 2 * ((k2 - k0) / 2);
        if (numBands <= 0 || numBands > 64) return 0;
        int v[64];
        for (int i = 0; i < numBands; i++) v[i] = dk;
        int diff = k2 - (k0 + numBands * dk);
        int incr = diff < 0 ? 1 : -1;
        int k = diff < 0 ? 0 : numBands - 1;
        while (diff != 0) {
            if (k < 0 || k >= numBands) return 0;
            v[k] -= incr;
            k += incr;
            diff += incr;
        }
        t->master[0] = (uint8_t)k0;
        for (int i = 1; i <= numBands; i++) {
            int b = t->master[i - 1] + v[i - 1];
            if (v[i - 1] <= 0 || b > 64) return 0;
            t->master[i] = (uint8_t)b;
        }
        n = numBands;
    } else {
        static const int kBands[4] = {0, 12, 10, 8};
        int bands = kBands[h->freqScale];
        int twoRegions = (int64_t)k2 * 1000 > (int64_t)k0 * 2245;
        int k1 = twoRegions ? 2 * k0 : k2;
        int n0 = RegionBands(bands, k1, k0, 0);
        if (n0 <= 0 || n0 > 64) return 0;
        int dk0[64];
        GeometricWidths(k0, k1, n0, dk0);
        SortBytes(dk0, n0);
        int v[65];
        v[0] = k0;
        for (int i = 1; i <= n0; i++) {
            if (dk0[i - 1] <= 0) return 0;
            v[i] = v[i - 1] + dk0[i - 1];
        }
        n = n0;
        if (twoRegions) {
            int n1 = RegionBands(bands, k2, k1, h->alterScale);
            if (n1 <= 0 || n0 + n1 > 64) return 0;
            int dk1[64];
            GeometricWidths(k1, k2, n1, dk1);
            SortBytes(dk1, n1);
            if (dk1[0] < dk0[n0 - 1]) {
                int change = dk0[n0 - 1] - dk1[0];
                dk1[0] += change;
                dk1[n1 - 1] -= change;
                SortBytes(dk1, n1);
            }
            for (int i = 1; i <= n1; i++) {
                if (dk1[i - 1] <= 0) return 0;
                v[n0 + i] = v[n0 + i - 1] + dk1[i - 1];
            }
            n += n1;
        }
        for (int i = 0; i <= n; i++) {
            if (v[i] > 64) return 0;
            t->master[i] = (uint8_t)v[i];
        }
    }
    t->nMaster = n;
    return 1;
}

static int BuildPatches(SbrBandTables* t, int rate) {
    int goal = SbrPatchGoal(rate);
    if (goal < 0) return 0;
    const int k0 = t->k0, kx = t->kx, M = t->m;
    int msb = k0, usb = kx, k;
    if (goal < kx + M) {
        k = 0;
        for (int i = 0; t->master[i] < goal; i++) k = i + 1;
    } else {
        k = t->nMaster;
    }
    int num = 0, sb;
    int guard = 0;
    do {
        int j = k + 1, odd;
        do {
            j--;
            sb = t->master[j];
            odd = (sb - 2 + k0) % 2;
        } while (sb > k0 - 1 + msb - odd);
        int nb = sb - usb > 0 ? sb - usb : 0;
        if (nb > 0) {
            if (num >= 6) return 0;
            t->patchCount[num] = (uint8_t)nb;
            int src = k0 - odd - nb;
            if (src < 1) return 0;
            t->patchSource[num] = (uint8_t)src;
            usb = sb;
            msb = sb;
            num++;
        } else {
            msb = kx;
        }
        if (t->master[k] - sb < 3) k = t->nMaster;
        if (++guard > 64) return 0;
    } while (sb != kx + M);
    if (num > 1 && t->patchCount[num - 1] < 3) num--;
    if (num > 5 || num == 0) return 0;
    t->numPatches = num;
    return 1;
}

void SbrBuildLimiterTable(SbrBandTables* t, int limiterBands) {
    t->limiterBandsBuilt = limiterBands;
    if (limiterBands == 0) {
        t->limiter[0] = t->low[0];
        t->limiter[1] = t->low[t->nLow];
        t->nLimiter = 1;
        return;
    }
    static const int kLimBandsQ13[4] = {0, 9830, 16384, 24576};  // 1.2, 2, 3 per octave
    int patchBorders[7];
    patchBorders[0] = t->kx;
    for (int i = 1; i <= t->numPatches; i++)
        patchBorders[i] = patchBorders[i - 1] + t->patchCount[i - 1];
    int lim[72];
    int n = 0;
    for (int i = 0; i <= t->nLow; i++) lim[n++] = t->low[i];
    for (int i = 1; i < t->numPatches; i++) lim[n++] = patchBorders[i];
    SortBytes(lim, n);
    int nrLim = n - 1;
    int k = 1;
    while (k <= nrLim) {
        // octaves x bands-per-octave < 0.49 (octaves Q12, bands Q13)
        const int64_t width = (int64_t)Log2Ratio(lim[k], lim[k - 1]) * kLimBandsQ13[limiterBands];
        if (width * 100 < ((int64_t)49 << 25)) {
            int removeAt;
            if (lim[k] == lim[k - 1]) {
                removeAt = k;
            } else if (IsIn(patchBorders, t->numPatches + 1, lim[k])) {
                if (IsIn(patchBorders, t->numPatches + 1, lim[k - 1])) {
                    k++;
                    continue;
                }
                removeAt = k - 1;
            } else {
                removeAt = k;
            }
            for (int i = removeAt; i < nrLim; i++) lim[i] = lim[i + 1];
            nrLim--;
        } else {
            k++;
        }
    }
    for (int i = 0; i <= nrLim; i++) t->limiter[i] = (uint8_t)lim[i];
    t->nLimiter = nrLim;
}

void SbrNoiseBandTable(const uint8_t* low, int nLow, int nNoise, uint8_t* noise) {
    // Each step takes the low-resolution bands left over the noise bands
    // left; after nNoise steps none is left.
    int idx = 0;
    noise[0] = low[0];
    for (int j = 1; j <= nNoise; j++) {
        idx += (nLow - idx) / (nNoise + 1 - j);
        noise[j] = low[idx];
    }
}

int SbrBuildBandTables(SbrBandTables* t, const SbrHeader* h, int rate) {
    memset(t, 0, sizeof(*t));
    int k0 = SbrStartBand(rate, h->startFreq);
    if (k0 < 0 || h->stopFreq > 15 || h->freqScale > 3 || h->noiseBands > 3 || h->limiterBands > 3)
        return 0;
    int k2 = StopBand(rate, k0, h->stopFreq);
    if (k2 <= k0 || k2 - k0 >= 49) return 0;
    if (rate == 44100 && k2 - k0 > 35) return 0;
    if (rate >= 48000 && k2 - k0 > 32) return 0;
    t->k0 = k0;
    t->k2 = k2;
    if (!BuildMaster(t, h)) return 0;
    if (h->xoverBand >= t->nMaster) return 0;  // leaves no high band
    t->nHigh = t->nMaster - h->xoverBand;
    if (t->nHigh < 1 || t->nHigh > 24) return 0;
    for (int i = 0; i <= t->nHigh; i++) t->high[i] = t->master[i + h->xoverBand];
    t->kx = t->high[0];
    t->m = t->high[t->nHigh] - t->kx;
    if (t->kx >= 33 || t->m <= 0 || t->kx + t->m > 64) return 0;
    t->nLow = (t->nHigh >> 1) + (t->nHigh & 1);
    for (int i = 0; i <= t->nLow; i++) {
        int idx = (t->nHigh & 1) ? (i == 0 ? 0 : 2 * i - 1) : 2 * i;
        t->low[i] = t->high[idx];
    }
    int nq = 1;
    if (h->noiseBands > 0) {
        nq = (h->noiseBands * Log2Ratio(k2, t->kx) + 2048) >> 12;
        if (nq < 1) nq = 1;
    }
    if (nq > 5) return 0;
    t->nNoise = nq;
    SbrNoiseBandTable(t->low, t->nLow, nq, t->noise);
    if (!BuildPatches(t, rate)) return 0;
    SbrBuildLimiterTable(t, h->limiterBands);
    return 1;
}
