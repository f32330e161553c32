// The band tables built from a header must equal a plain floating-point
// model of the standard's rules, over every header and output rate.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "codecs/aac/sbr_bands.h"

namespace {

struct Model {
    bool ok = false;
    int k0 = 0, k2 = 0, kx = 0;
    std::vector<int> master, high, low, noise, limiter;
    std::vector<int> patchSource, patchCount;
};

int Nint(double x) { return (int)std::floor(x + 0.5); }

int ModelStart(int rate, int s) {
    int base = rate < 32000 ? 3000 : (rate < 64000 ? 4000 : 5000);
    int startMin = Nint(base * 128.0 / rate);
    static const int off[6][16] = {
        {-8, -7, -6, -5, -4, -3, -2, -1, 0, 1, 2, 3, 4, 5, 6, 7},
        {-5, -4, -3, -2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 9, 11, 13},
        {-5, -3, -2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 9, 11, 13, 16},
        {-6, -4, -2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 9, 11, 13, 16},
        {-4, -2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 9, 11, 13, 16, 20},
        {-2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 9, 11, 13, 16, 20, 24},
    };
    int row = rate == 16000   ? 0
              : rate == 22050 ? 1
              : rate == 24000 ? 2
              : rate == 32000 ? 3
              : rate <= 64000 ? 4
                              : 5;
    return startMin + off[row][s];
}

std::vector<int> GeoWidths(int lo, int hi, int n) {
    std::vector<int> d(n);
    for (int k = 0; k < n; k++)
        d[k] = Nint(lo * std::pow((double)hi / lo, (k + 1.0) / n)) -
               Nint(lo * std::pow((double)hi / lo, (double)k / n));
    return d;
}

Model Build(const SbrHeader& h, int rate) {
    Model m;
    int k0 = SbrStartBand(rate, h.startFreq);
    if (k0 < 0) return m;
    int k2;
    if (h.stopFreq == 14)
        k2 = std::min(64, 2 * k0);
    else if (h.stopFreq == 15)
        k2 = std::min(64, 3 * k0);
    else {
        int base = rate < 32000 ? 6000 : (rate < 64000 ? 8000 : 10000);
        int stopMin = Nint(base * 128.0 / rate);
        auto d = GeoWidths(stopMin, 64, 13);
        std::sort(d.begin(), d.end());
        k2 = stopMin;
        for (int i = 0; i < h.stopFreq; i++) k2 += d[i];
        k2 = std::min(64, k2);
    }
    if (k2 <= k0 || k2 - k0 >= 49) return m;
    if (rate == 44100 && k2 - k0 > 35) return m;
    if (rate >= 48000 && k2 - k0 > 32) return m;
    std::vector<int>& fm = m.master;
    if (h.freqScale == 0) {
        int dk = h.alterScale ? 2 : 1;
        int nb = h.alterScale ? 2 * Nint((k2 - k0) / 4.0) : 2 * ((k2 - k0) / 2);
        if (nb <= 0) return m;
        std::vector<int> v(nb, dk);
        int diff = k2 - (k0 + nb * dk);
        int incr = diff < 0 ? 1 : -1;
        int k = diff < 0 ? 0 : nb - 1;
        while (diff != 0) {
            if (k < 0 || k >= nb) return m;
            v[k] -= incr;
            k += incr;
            diff += incr;
        }
        fm.push_back(k0);
        for (int i = 0; i < nb; i++) {
            if (v[i] <= 0) return m;
            fm.push_back(fm.back() + v[i]);
        }
    } else {
        int bands = h.freqScale == 1 ? 12 : h.freqScale == 2 ? 10 : 8;
        double warp = h.alterScale ? 1.3 : 1.0;
        bool two = (double)k2 / k0 > 2.2449;
        int k1 = two ? 2 * k0 : k2;
        int n0 = 2 * Nint(bands * std::log((double)k1 / k0) / (2.0 * std::log(2.0)));
        if (n0 <= 0) return m;
        auto d0 = GeoWidths(k0, k1, n0);
        std::sort(d0.begin(), d0.end());
        fm.push_back(k0);
        for (int x : d0) {
            if (x <= 0) return m;
            fm.push_back(fm.back() + x);
        }
        if (two) {
            int n1 = 2 * Nint(bands * std::log((double)k2 / k1) / (2.0 * std::log(2.0) * warp));
            if (n1 <= 0) return m;
            auto d1 = GeoWidths(k1, k2, n1);
            std::sort(d1.begin(), d1.end());
            if (d1[0] < d0.back()) {
                int change = d0.back() - d1[0];
                d1[0] += change;
                d1[n1 - 1] -= change;
                std::sort(d1.begin(), d1.end());
            }
            for (int x : d1) {
                if (x <= 0) return m;
                fm.push_back(fm.back() + x);
            }
        }
    }
    int nMaster = (int)fm.size() - 1;
    if (h.xoverBand >= nMaster) return m;
    m.high.assign(fm.begin() + h.xoverBand, fm.end());
    int nHigh = (int)m.high.size() - 1;
    if (nHigh > 24) return m;
    int kx = m.high[0], M = m.high.back() - kx;
    if (kx >= 33) return m;
    int nLow = nHigh / 2 + (nHigh - 2 * (nHigh / 2));
    for (int i = 0; i <= nLow; i++)
        m.low.push_back(m.high[(nHigh % 2 == 0) ? 2 * i : (i == 0 ? 0 : 2 * i - 1)]);
    int nq = h.noiseBands == 0
                 ? 1
                 : std::max(1, Nint(h.noiseBands * std::log((double)k2 / kx) / std::log(2.0)));
    if (nq > 5) return m;
    int idx = 0;
    m.noise.push_back(m.low[0]);
    for (int k = 1; k <= nq; k++) {
        idx += (nLow - idx) / (nq + 1 - k);
        m.noise.push_back(m.low[idx]);
    }
    // patches
    int goal = Nint(2.048e6 / rate);
    if (rate <= 32000) goal = 64;
    int msb = k0, usb = kx, k = 0, sb;
    if (goal < kx + M) {
        for (int i = 0; fm[i] < goal; i++) k = i + 1;
    } else {
        k = nMaster;
    }
    int guard = 0;
    do {
        int j = k + 1, odd;
        do {
            j--;
            sb = fm[j];
            odd = (sb - 2 + k0) % 2;
        } while (sb > k0 - 1 + msb - odd);
        int nb = std::max(sb - usb, 0);
        if (nb > 0) {
            m.patchCount.push_back(nb);
            m.patchSource.push_back(k0 - odd - nb);
            if (k0 - odd - nb < 1) return m;
            usb = msb = sb;
        } else {
            msb = kx;
        }
        if (fm[k] - sb < 3) k = nMaster;
        if (++guard > 64) return m;
    } while (sb != kx + M);
    if (m.patchCount.size() > 1 && m.patchCount.back() < 3) {
        m.patchCount.pop_back();
        m.patchSource.pop_back();
    }
    if (m.patchCount.size() > 5 || m.patchCount.empty()) return m;
    // limiter
    if (h.limiterBands == 0) {
        m.limiter = {m.low[0], m.low[nLow]};
    } else {
        double limBands = h.limiterBands == 1 ? 1.2 : h.limiterBands == 2 ? 2.0 : 3.0;
        std::vector<int> pb = {kx};
        for (int c : m.patchCount) pb.push_back(pb.back() + c);
        std::vector<int> lim(m.low.begin(), m.low.end());
        for (size_t i = 1; i + 1 < pb.size(); i++) lim.push_back(pb[i]);
        std::sort(lim.begin(), lim.end());
        auto isPb = [&](int x) { return std::find(pb.begin(), pb.end(), x) != pb.end(); };
        size_t kk = 1;
        while (kk < lim.size()) {
            double oct = std::log((double)lim[kk] / lim[kk - 1]) / std::log(2.0);
            if (oct * limBands < 0.49) {
                if (lim[kk] == lim[kk - 1])
                    lim.erase(lim.begin() + kk);
                else if (isPb(lim[kk])) {
                    if (isPb(lim[kk - 1]))
                        kk++;
                    else
                        lim.erase(lim.begin() + kk - 1);
                } else
                    lim.erase(lim.begin() + kk);
            } else {
                kk++;
            }
        }
        m.limiter = lim;
    }
    m.k0 = k0;
    m.k2 = k2;
    m.kx = kx;
    m.ok = true;
    return m;
}

std::vector<int> Vec(const uint8_t* a, int n) { return std::vector<int>(a, a + n + 1); }

TEST(SbrBands, MatchFloatModelOverAllHeaders) {
    const int rates[] = {16000, 22050, 24000, 32000, 44100, 48000, 64000, 88200, 96000};
    long checked = 0, valid = 0;
    for (int rate : rates) {
        for (int start = 0; start < 16; start++) {
            EXPECT_EQ(SbrStartBand(rate, start), ModelStart(rate, start)) << rate << " " << start;
            for (int stop = 0; stop < 16; stop++)
                for (int fs = 0; fs < 4; fs++)
                    for (int alter = 0; alter < 2; alter++)
                        for (int xo = 0; xo < 8; xo++)
                            for (int nb = 0; nb < 4; nb++)
                                for (int lb = 0; lb < 4; lb++) {
                                    SbrHeader h;
                                    SbrHeaderDefaults(&h);
                                    h.startFreq = (uint8_t)start;
                                    h.stopFreq = (uint8_t)stop;
                                    h.freqScale = (uint8_t)fs;
                                    h.alterScale = (uint8_t)alter;
                                    h.xoverBand = (uint8_t)xo;
                                    h.noiseBands = (uint8_t)nb;
                                    h.limiterBands = (uint8_t)lb;
                                    SbrBandTables t;
                                    int ok = SbrBuildBandTables(&t, &h, rate);
                                    Model m = Build(h, rate);
                                    checked++;
                                    std::string where =
                                        "rate " + std::to_string(rate) + " start " +
                                        std::to_string(start) + " stop " + std::to_string(stop) +
                                        " scale " + std::to_string(fs) + " alter " +
                                        std::to_string(alter) + " xover " + std::to_string(xo) +
                                        " noise " + std::to_string(nb) + " lim " +
                                        std::to_string(lb);
                                    ASSERT_EQ(ok, m.ok ? 1 : 0) << where;
                                    if (!ok) continue;
                                    valid++;
                                    ASSERT_EQ(Vec(t.master, t.nMaster), m.master) << where;
                                    ASSERT_EQ(Vec(t.high, t.nHigh), m.high) << where;
                                    ASSERT_EQ(Vec(t.low, t.nLow), m.low) << where;
                                    ASSERT_EQ(Vec(t.noise, t.nNoise), m.noise) << where;
                                    ASSERT_EQ(
                                        std::vector<int>(t.patchCount, t.patchCount + t.numPatches),
                                        m.patchCount)
                                        << where;
                                    ASSERT_EQ(std::vector<int>(t.patchSource,
                                                               t.patchSource + t.numPatches),
                                              m.patchSource)
                                        << where;
                                    ASSERT_EQ(Vec(t.limiter, t.nLimiter), m.limiter) << where;
                                }
        }
    }
    printf("checked %ld headers, %ld valid\n", checked, valid);
    EXPECT_GT(valid, checked / 10);
}

// Changing only bs_limiter_bands must rebuild the limiter table.
TEST(SbrBands, LimiterTableFollowsLimiterBands) {
    SbrHeader h;
    SbrHeaderDefaults(&h);
    h.startFreq = 5;
    h.stopFreq = 9;
    SbrBandTables t;
    ASSERT_EQ(SbrBuildBandTables(&t, &h, 44100), 1);
    SbrBandTables ref;
    for (int lb = 0; lb < 4; lb++) {
        h.limiterBands = (uint8_t)lb;
        SbrBuildBandTables(&ref, &h, 44100);
        SbrBuildLimiterTable(&t, lb);
        EXPECT_EQ(Vec(t.limiter, t.nLimiter), Vec(ref.limiter, ref.nLimiter)) << lb;
        EXPECT_EQ(t.limiterBandsBuilt, lb);
    }
    EXPECT_EQ(ref.nLimiter, t.nLimiter);
}

struct RateCase {
    const char* name;
    int rate, start, k0, goal;
};

TEST(SbrBands, StartTablesAndGoalsByRate) {
    const RateCase cases[] = {
        {"core_8000", 16000, 0, 16, 64},   {"core_11025", 22050, 15, 30, 64},
        {"core_24000", 48000, 4, 12, 43},  {"core_48000", 96000, 0, 5, 21},
        {"core_44100", 88200, 15, 31, 23}, {"unsupported_12000", 12000, 0, -1, -1},
    };
    for (const RateCase& c : cases) {
        EXPECT_EQ(SbrStartBand(c.rate, c.start), c.k0) << c.name;
        EXPECT_EQ(SbrPatchGoal(c.rate), c.goal) << c.name;
    }
}

}  // namespace
