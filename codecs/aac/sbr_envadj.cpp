// SBR envelope adjustment in mantissa-exponent arithmetic.
#include "sbr_envadj.h"

#include <cstring>

#include "sbr_kernels.h"
#include "sbr_mantexp.h"
#include "sbr_tables.h"

namespace {

const SbrME kZero = {0, -64};
const SbrME kOne = {16384, 1};
const SbrME kEps = {16384, -39};  // ~1e-12, keeps divisions defined

SbrME Norm(SbrME a) { return SbrMeNorm(a); }
SbrME Add(SbrME a, SbrME b) { return SbrMeAdd(a, b); }
SbrME Div(SbrME a, SbrME b) { return SbrMeDiv(a, b); }
SbrME Mul(SbrME a, SbrME b) { return SbrMeMul(a, b); }
SbrME Sqrt(SbrME a) { return SbrMeSqrt(a); }
bool Less(SbrME a, SbrME b) { return SbrMeLess(a, b); }

// Energy of a 64-bit sum of squares, as mantissa-exponent.
SbrME FromSum(uint64_t s) {
    if (s == 0) return kZero;
    int nb = 64 - __builtin_clzll(s);
    int64_t mant = nb > 15 ? (int64_t)(s >> (nb - 15)) : (int64_t)(s << (15 - nb));
    if (mant > 32767) mant = 32767;
    return Norm(SbrME{(int16_t)mant, (int16_t)nb});
}

// value x 2^shift as a 32-bit integer, saturated.
int32_t ToLinear(SbrME a, int shift) {
    if (a.m == 0) return 0;
    int s = a.e + shift - 15;
    if (s >= 0) {
        if (s > 31) s = 31;
        return AacSat32((int64_t)a.m * ((int64_t)1 << s));
    }
    if (-s > 31) return 0;
    return (int32_t)(((int64_t)a.m + ((int64_t)1 << (-s - 1))) >> -s);
}

// A 64-bit product brought down by r bits (up by -r), rounded, saturated
// to 32 bits.
int64_t ScaleProduct(int64_t p, int r) {
    if (p == 0) return 0;
    if (r > 62) return 0;
    if (r > 0) return (p + ((int64_t)1 << (r - 1))) >> r;
    if (r < -31) return p > 0 ? INT32_MAX : INT32_MIN;
    const int up = -r;
    if (p > ((int64_t)INT32_MAX >> up)) return INT32_MAX;
    if (p < ((int64_t)INT32_MIN >> up)) return INT32_MIN;
    return p * ((int64_t)1 << up);
}

// Brings a[k] and b[k] (k = first .. end - 1) to one exponent per subband
// into outA and outB through the 16-bit gain alignment.
void AlignPairs(const SbrME* a, const SbrME* b, int first, int end, SbrME* outA, SbrME* outB) {
    int16_t am[64], bm[64];
    int8_t ae[64], be[64];
    const int n = end - first;
    for (int i = 0; i < n; i++) {
        const SbrME x = a[first + i], y = b[first + i];
        am[i] = x.e < -128 ? 0 : x.m;
        ae[i] = (int8_t)(x.e < -128 ? -128 : (x.e > 127 ? 127 : x.e));
        bm[i] = y.e < -128 ? 0 : y.m;
        be[i] = (int8_t)(y.e < -128 ? -128 : (y.e > 127 ? 127 : y.e));
    }
    SbrAlignGains(bm, be, am, ae, n);
    for (int i = 0; i < n; i++) {
        outA[first + i] = SbrME{am[i], ae[i]};
        outB[first + i] = SbrME{bm[i], be[i]};
    }
}

int BandOf(const uint8_t* table, int n, int k) {
    int b = 0;
    while (b + 1 < n && k >= table[b + 1]) b++;
    return b;
}

}  // namespace

void SbrReduceAliasing(SbrME* gains, const SbrME* estimated, const int16_t* degree,
                       const uint8_t* sine, int firstBand, int endBand) {
    int k = firstBand;
    while (k < endBand) {
        int end = k + 1;
        while (end < endBand && degree[end] > 0 && !sine[end - 1] && !sine[end]) end++;
        if (end - k >= 2) {
            SbrME out = kZero, est = kZero;
            for (int j = k; j < end; j++) {
                out = Add(out, Mul(gains[j], estimated[j]));
                est = Add(est, estimated[j]);
            }
            const SbrME common = Div(out, Add(kEps, est));
            SbrME moved = kZero;
            for (int j = k; j < end; j++) {
                // degree of the pair the band belongs to (the lowest takes its upper
                // neighbour's)
                const int16_t d = j == k ? degree[k + 1] : degree[j];
                const SbrME w = Norm(SbrME{d, 0});
                const SbrME keep = Add(kOne, SbrME{(int16_t)-d, 0});
                gains[j] = Add(Mul(gains[j], keep), Mul(common, w));
                moved = Add(moved, Mul(gains[j], estimated[j]));
            }
            const SbrME scale = Div(out, Add(kEps, moved));
            for (int j = k; j < end; j++) gains[j] = Mul(gains[j], scale);
        }
        k = end;
    }
}

namespace {

template <bool complexSet>
void EstimateSubbands(const SbrQmfMatrix* m, int kx, int kEnd, int l0, int l1, int inExp,
                      SbrME* cur) {
    const int shift = inExp;  // stored = true x 2^inExp
    for (int k = kx; k < kEnd; k++) {
        uint64_t s = 0;
        for (int l = l0; l < l1; l++) {
            int64_t r = m->re[l][k] >> 3, i = complexSet ? m->im[l][k] >> 3 : 0;
            s += (uint64_t)(r * r) + (uint64_t)(i * i);
        }
        SbrME v = FromSum(s);
        // Undo the >> 3 and the exponent. A real subband sample carries half
        // the energy of the complex one (its imaginary part is not formed), so
        // the real set counts its squares twice, as noise and sinusoids
        // (added to the real parts only) count in the output.
        v.e = (int16_t)(v.e + 6 - 2 * shift + (complexSet ? 0 : 1));
        cur[k] = l1 > l0 ? Div(v, Norm(SbrME{(int16_t)(l1 - l0), 15})) : kZero;
    }
}

template <bool complexSet>
void EstimateBands(const SbrQmfMatrix* m, const uint8_t* table, int nb, int kx, int kEnd, int l0,
                   int l1, int inExp, SbrME* cur) {
    EstimateSubbands<complexSet>(m, kx, kEnd, l0, l1, inExp, cur);
    for (int b = 0; b < nb; b++) {
        SbrME sum = kZero;
        for (int k = table[b]; k < table[b + 1]; k++) sum = Add(sum, cur[k]);
        SbrME avg = Div(sum, Norm(SbrME{(int16_t)(table[b + 1] - table[b]), 15}));
        for (int k = table[b]; k < table[b + 1]; k++) cur[k] = avg;
    }
}

template <bool complexSet>
void AssembleSlot(int32_t* re, int32_t* im, const SbrSlotGains* g, SbrEnvAdjustState* st) {
    for (int k = g->kx; k < g->kEnd; k++) {
        SbrME gk = g->gain[k];
        int32_t nk = g->noiseLin[k];
        if (g->weight) {
            // Both gains share one exponent: the blend is one product each.
            const int32_t wn = 0x7fff - g->weight, wo = g->weight;
            gk = SbrME{
                (int16_t)((wn * g->gainAligned[k].m + wo * g->prevGainAligned[k].m + 0x4000) >> 15),
                g->gainAligned[k].e};
            nk = ToLinear(SbrME{(int16_t)((wn * g->noiseAligned[k].m +
                                           wo * g->prevNoiseAligned[k].m + 0x4000) >>
                                          15),
                                g->noiseAligned[k].e},
                          g->outExp);
        }
        // Y = X x G: X at inExp, Y at outExp, G's mantissa in Q15.
        const int r = 15 - gk.e + g->inExp - g->outExp;
        int64_t yr = ScaleProduct((int64_t)re[k] * gk.m, r);
        int64_t yi = complexSet ? ScaleProduct((int64_t)im[k] * gk.m, r) : 0;
        st->noiseIndex = (st->noiseIndex + 1) & 511;
        const int32_t sk = g->sineLin[k];
        if (sk == 0) {
            if (!g->transient) {
                // The complex synthesis keeps half of a complex noise's energy;
                // the real one all of a real noise's: the real set adds its noise
                // 3 dB down so that both sets give the same output level.
                if (!complexSet) nk = (int32_t)(((int64_t)nk * 23170) >> 15);
                yr += ((int64_t)nk * kSbrNoiseTable[2 * st->noiseIndex]) >> 11;
                yi += ((int64_t)nk * kSbrNoiseTable[2 * st->noiseIndex + 1]) >> 11;
            }
        } else {
            const int sign = (k & 1) ? -1 : 1;
            switch (st->harmonicIndex) {
                case 0: yr += sk; break;
                case 1: yi += (int64_t)sign * sk; break;
                case 2: yr -= sk; break;
                default: yi -= (int64_t)sign * sk; break;
            }
        }
        re[k] = AacSat32(yr);
        if (complexSet) im[k] = AacSat32(yi);
    }
    st->harmonicIndex = (st->harmonicIndex + 1) & 3;
}

}  // namespace

void SbrEstimateEnergyBandsComplex(const SbrQmfMatrix* m, const uint8_t* table, int nb, int kx,
                                   int kEnd, int l0, int l1, int inExp, SbrME* cur) {
    EstimateBands<true>(m, table, nb, kx, kEnd, l0, l1, inExp, cur);
}

void SbrEstimateEnergyBandsReal(const SbrQmfMatrix* m, const uint8_t* table, int nb, int kx,
                                int kEnd, int l0, int l1, int inExp, SbrME* cur) {
    EstimateBands<false>(m, table, nb, kx, kEnd, l0, l1, inExp, cur);
}

void SbrEstimateEnergySubbandsComplex(const SbrQmfMatrix* m, const uint8_t*, int, int kx, int kEnd,
                                      int l0, int l1, int inExp, SbrME* cur) {
    EstimateSubbands<true>(m, kx, kEnd, l0, l1, inExp, cur);
}

void SbrEstimateEnergySubbandsReal(const SbrQmfMatrix* m, const uint8_t*, int, int kx, int kEnd,
                                   int l0, int l1, int inExp, SbrME* cur) {
    EstimateSubbands<false>(m, kx, kEnd, l0, l1, inExp, cur);
}

void SbrAssembleSlotComplex(int32_t* re, int32_t* im, const SbrSlotGains* g,
                            SbrEnvAdjustState* st) {
    AssembleSlot<true>(re, im, g, st);
}

void SbrAssembleSlotReal(int32_t* re, int32_t* im, const SbrSlotGains* g, SbrEnvAdjustState* st) {
    AssembleSlot<false>(re, im, g, st);
}

void SbrEnvAdjustInit(SbrEnvAdjustState* st) {
    memset(st, 0, sizeof(*st));
    st->first = 1;
    st->prevTransientMarker = -1;
}

void SbrCalcGains(SbrME orig, SbrME noiseFloor, SbrME estimated, int sine, int sineInBand,
                  int transient, SbrME* gain, SbrME* noise, SbrME* sineLevel) {
    const SbrME onePlusQ = Add(kOne, noiseFloor);
    *noise = Div(Mul(orig, noiseFloor), onePlusQ);
    *sineLevel = sine ? Div(orig, onePlusQ) : kZero;
    SbrME denom = Add(kOne, estimated);  // the standard's 1 + E_curr
    if (!sineInBand) {
        if (!transient) denom = Mul(denom, onePlusQ);
        *gain = Div(orig, denom);
    } else {
        *gain = Mul(Div(orig, denom), Div(noiseFloor, onePlusQ));
    }
}

void SbrLimitGains(const SbrME* orig, const SbrME* estimated, int firstBand, int endBand,
                   SbrME limiterGain, int transient, SbrME* gain, SbrME* noise, SbrME* sine) {
    static const SbrME kBoostCap = {0x5061, 2};
    SbrME so = kEps, sc = kEps;
    for (int k = firstBand; k < endBand; k++) {
        so = Add(so, orig[k]);
        sc = Add(sc, estimated[k]);
    }
    SbrME gmax = Norm(Mul(limiterGain, Div(so, sc)));
    if (gmax.e > 34) gmax = SbrME{0x4000, 34};
    SbrME tot = kEps;
    for (int k = firstBand; k < endBand; k++) {
        if (Less(gmax, gain[k])) {
            noise[k] = Mul(noise[k], Div(gmax, gain[k]));
            gain[k] = gmax;
        }
        tot = Add(tot, Mul(estimated[k], gain[k]));
        tot = Add(tot, sine[k]);
        if (sine[k].m == 0 && !transient) tot = Add(tot, noise[k]);
    }
    SbrME boost = Div(so, tot);
    if (Less(kBoostCap, boost)) boost = kBoostCap;
    for (int k = firstBand; k < endBand; k++) {
        gain[k] = Mul(gain[k], boost);
        noise[k] = Mul(noise[k], boost);
        sine[k] = Mul(sine[k], boost);
    }
}

int SbrAdjustEnvelope(SbrQmfMatrix* m, const SbrBandTables* t, const SbrHeader* h,
                      const SbrChannelFrame* f, SbrEnvAdjustState* st, int inExp, int* slotExp,
                      const SbrKernelSet* ks, const int16_t* aliasDegree) {
    const int kx = t->kx, kEnd = t->kx + t->m;
    const int la = f->transientEnv;
    SbrME G[5][64], Q[5][64], S[5][64];
    int maxEnvE = -64;  // largest exponent of the transmitted energies
    // Gains, noise and sinusoid levels of every envelope (energy domain,
    // then amplitudes).
    for (int e = 0; e < f->numEnv; e++) {
        const int l0 = 2 * f->borders[e], l1 = 2 * f->borders[e + 1];
        const uint8_t* table = f->freqRes[e] ? t->high : t->low;
        const int nb = f->freqRes[e] ? t->nHigh : t->nLow;
        const bool transient = e == la || e == st->prevTransientMarker;
        int q = 0;
        if (f->numNoise > 1 && f->borders[e] >= f->noiseBorders[1]) q = 1;
        // Estimated energy per subband, or per band spread over its subbands.
        SbrME cur[64];
        (h->interpolFreq ? ks->estimateSubbands : ks->estimateBands)(m, table, nb, kx, kEnd, l0, l1,
                                                                     inExp, cur);
        // Sinusoid placement: the middle subband of each flagged high band.
        uint8_t sineAt[64] = {};
        for (int b = 0; b < t->nHigh; b++) {
            if (!f->addHarmonic[b]) continue;
            if (!(e >= (la < 0 ? 0 : la) || st->prevHarmonic[b])) continue;
            sineAt[(t->high[b] + t->high[b + 1]) >> 1] = 1;
        }
        SbrME origK[64];
        for (int b = 0; b < nb; b++) {
            bool anySine = false;
            for (int k = table[b]; k < table[b + 1]; k++) anySine |= sineAt[k] != 0;
            for (int k = table[b]; k < table[b + 1]; k++) {
                const SbrME orig = f->env[e][b];
                origK[k] = orig;
                if (orig.m > 0 && Norm(orig).e > maxEnvE) maxEnvE = Norm(orig).e;
                SbrCalcGains(orig, f->noise[q][BandOf(t->noise, t->nNoise, k)], cur[k], sineAt[k],
                             anySine, transient, &G[e][k], &Q[e][k], &S[e][k]);
            }
        }
        // Limiter and boost per limiter band.
        const SbrME limGain = {kSbrLimiterGainMant[h->limiterGains],
                               (int16_t)kSbrLimiterGainExp[h->limiterGains]};
        for (int lb = 0; lb < t->nLimiter; lb++)
            SbrLimitGains(origK, cur, t->limiter[lb], t->limiter[lb + 1], limGain, transient, G[e],
                          Q[e], S[e]);
        // Bands outside every limiter band (the thinning of the limiter table
        // can drop the top border) get no gain, noise or sinusoid.
        for (int k = kx; k < kEnd; k++)
            if (t->nLimiter < 1 || k < t->limiter[0] || k >= t->limiter[t->nLimiter])
                G[e][k] = Q[e][k] = S[e][k] = kZero;
        // The real set's aliasing reduction draws neighbouring gains together:
        // it stays inside the limiter bands, or it would lend a gain to the
        // bands left out above.
        if (ks->gainPostStep && aliasDegree && t->nLimiter >= 1) {
            const int lo = t->limiter[0] > kx ? t->limiter[0] : kx;
            const int hi = t->limiter[t->nLimiter] < kEnd ? t->limiter[t->nLimiter] : kEnd;
            ks->gainPostStep(G[e], cur, aliasDegree, sineAt, lo, hi);
        }
        for (int k = kx; k < kEnd; k++) {
            G[e][k] = Sqrt(G[e][k]);
            Q[e][k] = Sqrt(Q[e][k]);
            S[e][k] = Sqrt(S[e][k]);
        }
    }
    // Output exponent from the largest transmitted energy: after limiting
    // and boost (at most 2.52, under 2^2) a band's output amplitude stays
    // below 2^((maxEnv + 2) / 2); kCrestBits more leave room for the peaks of
    // the slots. The gains themselves can be huge where the generated band
    // is (nearly) silent, so they never set the scale; each band's gain
    // carries its own exponent into the product.
    const int kCrestBits = 4;
    int outExp = 30 - kCrestBits - ((maxEnvE + 3) >> 1);
    if (outExp > inExp + 24) outExp = inExp + 24;
    if (outExp < -40) outExp = -40;
    const SbrME one = {32767, 0};
    if (st->first) {
        for (int k = kx; k < kEnd; k++) {
            st->prevGain[k] = G[0][k];
            st->prevNoise[k] = Q[0][k];
        }
        st->first = 0;
    }
    for (int e = 0; e < f->numEnv; e++) {
        const int l0 = 2 * f->borders[e], l1 = 2 * f->borders[e + 1];
        const bool transient = e == la || e == st->prevTransientMarker;
        const int smoothLen = transient ? 0 : (h->smoothingMode == 0 ? 4 : 0);
        int32_t n[64], s[64];
        for (int k = kx; k < kEnd; k++) {
            n[k] = ToLinear(Q[e][k], outExp);
            s[k] = ToLinear(S[e][k], outExp);
        }
        SbrME gA[64], pgA[64], nA[64], pnA[64];
        if (smoothLen > 0) {
            AlignPairs(G[e], st->prevGain, kx, kEnd, gA, pgA);
            AlignPairs(Q[e], st->prevNoise, kx, kEnd, nA, pnA);
        }
        SbrSlotGains sg;
        sg.gainAligned = gA;
        sg.prevGainAligned = pgA;
        sg.noiseAligned = nA;
        sg.prevNoiseAligned = pnA;
        sg.gain = G[e];
        sg.noise = Q[e];
        sg.noiseLin = n;
        sg.sineLin = s;
        sg.inExp = inExp;
        sg.outExp = outExp;
        sg.transient = transient;
        sg.kx = kx;
        sg.kEnd = kEnd;
        for (int l = l0; l < l1; l++) {
            const int pos = l - l0;
            sg.weight = pos < smoothLen ? kSbrSmoothing[pos] : 0;
            sg.wNew = Norm(SbrME{(int16_t)(one.m - sg.weight), 0});
            sg.wOld = Norm(SbrME{(int16_t)sg.weight, 0});
            ks->assembleSlot(m->re[l], m->im[l], &sg, st);
            slotExp[l] = outExp;
        }
        for (int k = kx; k < kEnd; k++) {
            st->prevGain[k] = G[e][k];
            st->prevNoise[k] = Q[e][k];
        }
    }
    for (int b = 0; b < t->nHigh && b < 48; b++) st->prevHarmonic[b] = f->addHarmonic[b];
    st->prevTransientMarker = (la == f->numEnv) ? 0 : -1;
    return outExp;
}
