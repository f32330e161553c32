// Parametric stereo signal path: decorrelation with transient reduction
// and the mixing of the mono signal and its decorrelated copy into two
// channels.
#include <cstdint>
#include <cstring>

#include "ps.h"

namespace {

int32_t MulQ31(int32_t x, int32_t c) { return (int32_t)((int64_t)x * c >> 31); }

// x c / 2^31 for a 64-bit x (below 2^62) and a Q31 c.
int64_t MulQ31Wide(int64_t x, int32_t c) { return (x >> 31) * c + (((x & 0x7fffffff) * c) >> 31); }

// The transient detector's smoothed powers stay at or below this, so that
// their sums and the 1.5 x peak difference never leave 64 bits.
const int64_t kPowerCap = (int64_t)1 << 60;

int64_t CapPower(int64_t x) { return x > kPowerCap ? kPowerCap : x; }

// x 2^d for a non-negative power, saturated at kPowerCap.
int64_t ShiftWide(int64_t x, int d) {
    if (d <= 0) return x >> (-d > 63 ? 63 : -d);
    if (d > 62 || x > (kPowerCap >> d)) return kPowerCap;
    return x << d;
}

// Product with a Q15 value of at most 32767 in magnitude (the phase tables
// and the transient gains): the result always fits 32 bits.
int32_t MulQ15Fit(int32_t x, int32_t c) { return (int32_t)(((int64_t)x * c >> 15) & ~(int64_t)1); }

void CMul(int32_t xr, int32_t xi, const int16_t* c, int32_t* yr, int32_t* yi) {
    *yr = AacSat32((int64_t)MulQ15Fit(xr, c[0]) - MulQ15Fit(xi, c[1]));
    *yi = AacSat32((int64_t)MulQ15Fit(xr, c[1]) + MulQ15Fit(xi, c[0]));
}

// All-pass link coefficients, Q31, and the decay slope above QMF band 3.
const int32_t kLinkCoef[3] = {0x53625b00, 0x4848af00, 0x3ea94d00};
const int kLinkDelay[3] = {3, 4, 5};
const int32_t kDecaySlope = 0x6666668;
const int kDecayCutoff = 3;
const int32_t kPeakDecay = 0x6209f080;
const int32_t kSmoothOld = 0x60000000;  // 0.75; the new value weighs 0.25

// Redundant sign bits of the loudest of n values, at most h (h when all
// are zero; a value of -1 counts as 31).
int Headroom32(const int32_t* v, int n, int h) {
    uint32_t acc = 0, any = 0;
    for (int i = 0; i < n; i++) {
        acc |= (uint32_t)(v[i] < 0 ? ~v[i] : v[i]);
        any |= (uint32_t)v[i];
    }
    if (any == 0) return h;
    const int r = acc ? __builtin_clz(acc) - 1 : 31;
    return r < h ? r : h;
}

void Shift32(int32_t* v, int n, int d) {
    for (int i = 0; i < n; i++) v[i] = AacShiftSat(v[i], d);
}

}  // namespace

void PsDecoderInit(PsState* ps) {
    memset(ps, 0, sizeof(*ps));
    PsHybridInit(&ps->hybrid);
    for (int g = 0; g < kPsGroups; g++) {
        ps->h[g][0] = 16384;
        ps->h[g][1] = 16384;
        int first, end;
        if (g < kPsHybridBands) {
            first = g;
            end = g + 1;
        } else {
            first = kPsGroupBorders[g - kPsHybridBands] + 7;
            end = kPsGroupBorders[g - kPsHybridBands + 1] + 7;
        }
        for (int i = first; i < end; i++) {
            ps->bandOf[i] = kPsGroupBand[g];
            ps->groupOf[i] = (uint8_t)g;
        }
    }
    for (int b = 0; b < kPsStereoBands; b++) ps->transientGain[b] = 32767;
    // All-pass link gains: the link coefficient, decaying with the QMF band
    // above band 3.
    for (int a = 0; a < kPsAllpassBands; a++) {
        int32_t g = 0x7fffffff;
        const int k = a - 7;  // QMF band of the upper all-pass bands
        if (a >= kPsHybridBands && k > kDecayCutoff) {
            const int64_t v = (int64_t)0x7fffffff - (int64_t)kDecaySlope * (k - kDecayCutoff);
            g = v < 0 ? 0 : (int32_t)v;
        }
        for (int m = 0; m < 3; m++) ps->linkGain[m][a] = MulQ31(kLinkCoef[m], g);
    }
    ps->bandLimit = ps->prevBandLimit = 3;
    ps->params.numEnv = 1;
    ps->params.border[1] = kPsSlots;
}

int PsRescale(PsState* ps, int minInputExp) {
    int h = 64;  // nothing stored yet: no limit from the state
    h = Headroom32(&ps->delayRe[0][0], 12 * 14, h);
    h = Headroom32(&ps->delayIm[0][0], 12 * 14, h);
    h = Headroom32(ps->delay1Re, 29, h);
    h = Headroom32(ps->delay1Im, 29, h);
    h = Headroom32(&ps->apInRe[0][0], kPsAllpassBands * 16, h);
    h = Headroom32(&ps->apInIm[0][0], kPsAllpassBands * 16, h);
    h = Headroom32(&ps->apRe[0][0][0], 3 * kPsAllpassBands * 16, h);
    h = Headroom32(&ps->apIm[0][0][0], 3 * kPsAllpassBands * 16, h);
    for (int b = 0; b < 3; b++) {
        h = Headroom32(&ps->hybrid.re[b][ps->hybrid.pos], 12, h);
        h = Headroom32(&ps->hybrid.im[b][ps->hybrid.pos], 12, h);
    }
    int e = ps->exponent + h;
    if (e > minInputExp) e = minInputExp;
    e -= 1;
    const int d = e - ps->exponent;
    if (h == 64) {
        ps->exponent = e;
        return e;
    }
    if (d != 0) {
        Shift32(&ps->delayRe[0][0], 12 * 14, d);
        Shift32(&ps->delayIm[0][0], 12 * 14, d);
        Shift32(ps->delay1Re, 29, d);
        Shift32(ps->delay1Im, 29, d);
        Shift32(&ps->apInRe[0][0], kPsAllpassBands * 16, d);
        Shift32(&ps->apInIm[0][0], kPsAllpassBands * 16, d);
        Shift32(&ps->apRe[0][0][0], 3 * kPsAllpassBands * 16, d);
        Shift32(&ps->apIm[0][0][0], 3 * kPsAllpassBands * 16, d);
        for (int b = 0; b < 3; b++) {
            Shift32(&ps->hybrid.re[b][0], 12 + kPsSlots, d);
            Shift32(&ps->hybrid.im[b][0], 12 + kPsSlots, d);
        }
        for (int b = 0; b < kPsStereoBands; b++) {
            ps->peakDecay[b] = ShiftWide(ps->peakDecay[b], 2 * d);
            ps->peakDiff[b] = ShiftWide(ps->peakDiff[b], 2 * d);
            ps->power[b] = ShiftWide(ps->power[b], 2 * d);
        }
    }
    ps->exponent = e;
    return e;
}

void PsCosSin(int32_t angle, int32_t* c, int32_t* s) {
    // 2048 table steps per turn: angle x 16384 x 2048 / (2 pi x 16384) =
    // angle / (16 pi).
    const int idx = (int)(((int64_t)angle * 0x28be60e + ((int64_t)1 << 30)) >> 31) & 2047;
    auto sine = [](int k) -> int32_t {
        const int q = (k >> 9) & 3, r = k & 511;
        switch (q) {
            case 0: return kPsSine[r];
            case 1: return kPsSine[512 - r];
            case 2: return -kPsSine[r];
            default: return -kPsSine[512 - r];
        }
    };
    *s = sine(idx);
    *c = sine((idx + 512) & 2047);
}

void PsMixMatrix(int iid, int icc, int fine, int16_t out[4]) {
    const int off = fine ? 15 : 7;
    const int16_t* table = fine ? kPsIidGainFine : kPsIidGain;
    iid = PsClamp(iid, -off, off);
    icc = PsClamp(icc, 0, 7);
    const int32_t c1 = table[off + iid], c2 = table[off - iid];
    const int32_t alpha = kPsIccAngle[icc];
    // beta = alpha (c1 - c2) / sqrt(2)
    const int32_t beta = (int32_t)(((int64_t)alpha * (c1 - c2) * 0x5a82799a) >> 45);
    int32_t cp, sp, cm, sm;
    PsCosSin(beta + alpha, &cp, &sp);
    PsCosSin(beta - alpha, &cm, &sm);
    auto mul = [](int32_t g, int32_t t) {
        return AacSat16((int32_t)(((int64_t)g * t + 16384) >> 15));
    };
    out[0] = mul(c2, cp);
    out[1] = mul(c1, cm);
    out[2] = mul(c2, sp);
    out[3] = mul(c1, sm);
}

void PsMix(PsState* ps, int envelope, int bandLimit) {
    if (envelope == 0) {
        if (bandLimit > ps->prevBandLimit) {
            // Bands newly inside the limit start from silence.
            for (int k = ps->prevBandLimit; k < bandLimit; k++) {
                if (k < 23) {
                    const int a = k + 7;
                    memset(ps->apInRe[a], 0, sizeof(ps->apInRe[a]));
                    memset(ps->apInIm[a], 0, sizeof(ps->apInIm[a]));
                    for (int m = 0; m < 3; m++) {
                        memset(ps->apRe[m][a], 0, sizeof(ps->apRe[m][a]));
                        memset(ps->apIm[m][a], 0, sizeof(ps->apIm[m][a]));
                    }
                } else if (k < 35) {
                    memset(ps->delayRe[k - 23], 0, sizeof(ps->delayRe[0]));
                    memset(ps->delayIm[k - 23], 0, sizeof(ps->delayIm[0]));
                } else {
                    ps->delay1Re[k - 35] = 0;
                    ps->delay1Im[k - 35] = 0;
                }
            }
        }
        ps->prevBandLimit = bandLimit;
    }
    const PsParams& p = ps->params;
    if (envelope >= p.numEnv) return;
    int len = p.border[envelope + 1] - p.border[envelope];
    if (len < 1) len = 1;
    const int32_t recip = (32767 + len / 2) / len;  // Q15
    for (int g = 0; g < kPsGroups; g++) {
        const int b = kPsGroupBand[g];
        int16_t t[4];
        PsMixMatrix(p.iid[envelope][b], p.icc[envelope][b], p.iidFine, t);
        for (int i = 0; i < 4; i++)
            ps->hStep[g][i] = (int32_t)(((int64_t)(t[i] - ps->h[g][i]) * recip + 16384) >> 15);
    }
}

void PsDecorrelate(PsState* ps, const int32_t* sRe, const int32_t* sIm, int32_t* dRe,
                   int32_t* dIm) {
    const int limit = ps->bandLimit + 7;
    const uint32_t t = ps->slotCount;
    // Transient reduction: per stereo band, a gain below 1 where the power
    // jumps above its smoothed peak-decay envelope.
    int64_t pw[kPsStereoBands] = {0};
    for (int i = 0; i < limit; i++)
        pw[ps->bandOf[i]] += ((int64_t)sRe[i] * sRe[i] >> 32) + ((int64_t)sIm[i] * sIm[i] >> 32);
    for (int b = 0; b < kPsStereoBands; b++) {
        const int64_t p = pw[b];
        int64_t peak = MulQ31Wide(ps->peakDecay[b], kPeakDecay) & ~(int64_t)1;
        if (p > peak) peak = p;
        ps->peakDecay[b] = peak;
        ps->peakDiff[b] = CapPower(((peak - p) >> 2) + MulQ31Wide(ps->peakDiff[b], kSmoothOld));
        ps->power[b] = CapPower((p >> 2) + MulQ31Wide(ps->power[b], kSmoothOld));
        const int64_t d15 = ps->peakDiff[b] + (ps->peakDiff[b] >> 1);
        int32_t gain = 32767;
        if (d15 > ps->power[b]) {
            // power / (1.5 peakDiff) in Q16, rounded to Q15. Ordinary powers stay
            // far below 2^47; extreme input is scaled down with the divisor so
            // that the shift cannot overflow.
            int64_t num = ps->power[b] > 0 ? ps->power[b] : 0, den = d15;
            while (num > (INT64_MAX >> 16)) {
                num >>= 1;
                den >>= 1;
            }
            const int64_t q16 = (num << 16) / den;
            gain = (int32_t)((q16 + 1) >> 1);
            if (gain > 32767) gain = 32767;
        }
        ps->transientGain[b] = (int16_t)gain;
    }
    for (int i = 0; i < kPsSignalBands; i++) {
        if (i >= limit) {
            dRe[i] = dIm[i] = 0;
            continue;
        }
        int32_t yr, yi;
        if (i < kPsAllpassBands) {
            // z^-2 with the fractional-delay phase, then three all-pass links.
            const int a = i;
            ps->apInRe[a][t & 15] = sRe[i];
            ps->apInIm[a][t & 15] = sIm[i];
            CMul(ps->apInRe[a][(t - 2) & 15], ps->apInIm[a][(t - 2) & 15], &kPsFractPhase[2 * a],
                 &yr, &yi);
            for (int m = 0; m < 3; m++) {
                const int32_t ag = ps->linkGain[m][a];
                const int back = (int)((t - (uint32_t)kLinkDelay[m]) & 15);
                int32_t tr, ti;
                CMul(ps->apRe[m][a][back], ps->apIm[m][a][back],
                     &kPsLinkPhase[2 * (m * kPsAllpassBands + a)], &tr, &ti);
                const int32_t wr = AacSat32((int64_t)yr + MulQ31(ag, tr));
                const int32_t wi = AacSat32((int64_t)yi + MulQ31(ag, ti));
                ps->apRe[m][a][t & 15] = wr;
                ps->apIm[m][a][t & 15] = wi;
                yr = AacSat32((int64_t)tr - MulQ31(ag, wr));
                yi = AacSat32((int64_t)ti - MulQ31(ag, wi));
            }
        } else if (i < 35 + 7) {
            const int k = i - 7 - 23, j = (int)(t % 14);
            yr = ps->delayRe[k][j];
            yi = ps->delayIm[k][j];
            ps->delayRe[k][j] = sRe[i];
            ps->delayIm[k][j] = sIm[i];
        } else {
            const int k = i - 7 - 35;
            yr = ps->delay1Re[k];
            yi = ps->delay1Im[k];
            ps->delay1Re[k] = sRe[i];
            ps->delay1Im[k] = sIm[i];
        }
        const int32_t gain = ps->transientGain[ps->bandOf[i]];
        dRe[i] = MulQ15Fit(yr, gain);
        dIm[i] = MulQ15Fit(yi, gain);
    }
}

void PsApplyMix(PsState* ps, int32_t* sRe, int32_t* sIm, const int32_t* dRe, const int32_t* dIm,
                int32_t* rRe, int32_t* rIm) {
    const int limit = ps->bandLimit + 7;
    for (int k = 0; k < kPsGroups; k++)
        for (int j = 0; j < 4; j++) {
            int32_t v = ps->h[k][j] + ps->hStep[k][j];
            ps->h[k][j] = v > 32767 ? 32767 : (v < -32768 ? -32768 : v);
        }
    for (int i = 0; i < kPsSignalBands; i++) {
        if (i >= limit) {
            rRe[i] = rIm[i] = 0;
            continue;
        }
        const int32_t* h = ps->h[ps->groupOf[i]];
        const int64_t sr = sRe[i], si = sIm[i], dr = dRe[i], di = dIm[i];
        sRe[i] = AacSat32((h[0] * sr + h[2] * dr) >> 14);
        sIm[i] = AacSat32((h[0] * si + h[2] * di) >> 14);
        rRe[i] = AacSat32((h[1] * sr + h[3] * dr) >> 14);
        rIm[i] = AacSat32((h[1] * si + h[3] * di) >> 14);
    }
}

void PsProcessSlot(PsState* ps, int32_t* slotRe, int32_t* slotIm, const int32_t* aheadRe,
                   const int32_t* aheadIm, int32_t* rightRe, int32_t* rightIm, int lowExp,
                   int highExp, int lowBandEnd) {
    const int e = ps->exponent;
    const int limit = ps->bandLimit;
    int32_t sRe[kPsSignalBands], sIm[kPsSignalBands];
    int32_t dRe[kPsSignalBands], dIm[kPsSignalBands];
    int32_t rRe[kPsSignalBands], rIm[kPsSignalBands];
    PsHybridAnalysis(aheadRe, aheadIm, sRe, sIm, &ps->hybrid, lowExp - e);
    for (int k = 3; k < 64; k++) {
        const int i = k + 7;
        const int ex = k < lowBandEnd ? lowExp : highExp;
        if (k >= limit || ex <= kPsMutedExp) {
            sRe[i] = sIm[i] = 0;
        } else {
            sRe[i] = AacShiftSat(slotRe[k], e - ex);
            sIm[i] = AacShiftSat(slotIm[k], e - ex);
        }
    }
    PsDecorrelate(ps, sRe, sIm, dRe, dIm);
    PsApplyMix(ps, sRe, sIm, dRe, dIm, rRe, rIm);
    PsHybridSynthesis(sRe, sIm, slotRe, slotIm);
    PsHybridSynthesis(rRe, rIm, rightRe, rightIm);
    for (int k = 3; k < 64; k++) {
        if (k < limit) {
            slotRe[k] = sRe[k + 7];
            slotIm[k] = sIm[k + 7];
            rightRe[k] = rRe[k + 7];
            rightIm[k] = rIm[k + 7];
        } else {
            rightRe[k] = rightIm[k] = 0;
        }
    }
    ps->slotCount++;
}

int PsApplyFrame(PsState* ps, int32_t* const* re, int32_t* const* im, int32_t* const* rightRe,
                 int32_t* const* rightIm, int lowExp, const int* highExp, int lowBandEnd,
                 int bandLimit) {
    ps->bandLimit = PsClamp(bandLimit, 3, 64);
    // A slot's high band may sit at a low exponent with small values (a large
    // envelope gain on a quiet patch): what bounds the block exponent is where
    // its values would reach full scale, not the exponent alone.
    int minExp = lowExp;
    const int k0 = PsClamp(lowBandEnd, 0, ps->bandLimit);
    for (int l = 0; l < kPsSlots; l++) {
        if (highExp[l] <= kPsMutedExp) continue;
        int h = Headroom32(&re[l][k0], ps->bandLimit - k0, 64);
        h = Headroom32(&im[l][k0], ps->bandLimit - k0, h);
        if (h == 64) continue;  // silent
        if (highExp[l] + h < minExp) minExp = highExp[l] + h;
    }
    PsRescale(ps, minExp);
    int env = 0;
    for (int l = 0; l < kPsSlots; l++) {
        if (env < ps->params.numEnv && l == ps->params.border[env]) {
            PsMix(ps, env, ps->bandLimit);
            env++;
        }
        PsProcessSlot(ps, re[l], im[l], re[l + kPsHybridDelay], im[l + kPsHybridDelay], rightRe[l],
                      rightIm[l], lowExp, highExp[l], lowBandEnd);
    }
    PsHybridEndFrame(&ps->hybrid);
    return ps->exponent;
}
