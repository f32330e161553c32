// HE-AAC streams spliced by sbrsplice from FFmpeg AAC-LC encodes, over a
// fixed list of seeds (each picks its own SBR header: start and stop band,
// crossover, frequency scale, noise and limiter bands, smoothing) at every
// core rate the tool takes, mono and stereo, with the envelopes estimated
// from the full-band original. Each is compared against FFmpeg's decode in
// 1.5 kHz bands and sample by sample.
//
// Thresholds, by kernel set:
// - complex set (mono default, and forced on the stereo streams): FFmpeg
//   decodes in floating point, we in fixed point with 16-bit gains and Q11
//   noise, so the full band is held to 40 dB and each 1.5 kHz band's energy
//   to 0.5 dB;
// - real set (stereo default): the standard's real-valued approximation of
//   the same envelope energies, whose aliasing reduction shares gains across
//   subbands; FFmpeg has no such set, so its bands are held to the complex
//   set's decode of the same stream, within 1.5 dB;
// - parametric stereo (mono core, complex set): each output channel against
//   FFmpeg's as for the complex set.
#include <gtest/gtest.h>

#include <math.h>

#include <algorithm>
#include <string>
#include <vector>

#include "aac_test_util.h"
#include "sbr_stream_util.h"

using namespace aactest;

namespace {

std::string Dir() { return std::string(DC_TESTDATA) + "/sbr_sweep"; }

struct SweepCase {
    const char* name;
    int rate;      // core rate
    int channels;  // of the core
    int seed;
    bool ps;  // mono core with parametric stereo from a stereo original
};

// Makes (once) the original at twice the core rate, the core and the
// spliced stream; returns the spliced stream's path, or "" when a tool fails.
std::string MakeSweepStream(const SweepCase& c) {
    RunShell("mkdir -p '" + Dir() + "'");
    const std::string base = Dir() + "/" + c.name;
    const std::string orig = base + "_orig.wav", core = base + "_core.aac", he = base + "_he.aac";
    if (!ReadFile(he).empty()) return he;
    const int outRate = 2 * c.rate;
    const int origChannels = c.ps ? 2 : c.channels;
    const std::string r = std::to_string(outRate);
    // Pink noise with a tone under it; the second channel brown noise, so
    // the channels' spectra differ.
    const std::string src =
        "-f lavfi -i 'anoisesrc=color=pink:amplitude=0.25:seed=" + std::to_string(c.seed) +
        ":sample_rate=" + r + "' -f lavfi -i 'sine=frequency=520:sample_rate=" + r + "'" +
        (origChannels == 2 ? " -f lavfi -i 'anoisesrc=color=brown:amplitude=0.3:seed=" +
                                 std::to_string(c.seed + 50) + ":sample_rate=" + r +
                                 "' -filter_complex '[0][1]amix=inputs=2[a];[a][2]amerge'"
                           : " -filter_complex amix=inputs=2");
    if (!RunShell(
            "ffmpeg -nostdin -v error -y " + src + " -t 1.5 -ac " + std::to_string(origChannels) +
            " '" + orig + "' && ffmpeg -nostdin -v error -y -i '" + orig + "' -ar " +
            std::to_string(c.rate) + " -ac " + std::to_string(c.channels) +
            " -c:a aac -aac_pns 0 -b:a 64k -threads 1 -flags +bitexact -f adts '" + core + "'"))
        return "";
    if (!RunShell("'" + SpliceTool() + "' '" + core + "' '" + he + ".tmp.aac' --seed " +
                  std::to_string(c.seed) + (c.ps ? " --ps" : "") + " --estimate '" + orig +
                  "' >/dev/null && mv '" + he + ".tmp.aac' '" + he + "'"))
        return "";
    return he;
}

// Mean QMF energy per 1.5 kHz band (by each QMF band's centre) from slot 64
// on, at output rate fs, for the bands that start below QMF band kEnd (the
// top of the limiter table, which can lie under the top of the SBR range).
// Above it neither decoder puts a signal: what is there is the banks'
// leakage, and in the real set the aliasing of the top subband that no
// neighbour cancels.
std::vector<double> Bands15(const std::vector<int16_t>& pcm, int fs, int kEnd) {
    const auto x = QmfAnalyse(pcm);
    const int nb = std::min((fs / 2 + 1499) / 1500, (int)ceil(kEnd * fs / 128.0 / 1500));
    std::vector<double> e((size_t)nb, 0.0);
    for (size_t s = 64; (s + 1) * 64 <= x.size(); s++)
        for (int k = 0; k < 64; k++) {
            const double centre = (k + 0.5) * fs / 128.0;
            const int b = (int)(centre / 1500);
            if (b < nb) e[(size_t)b] += std::norm(x[s * 64 + (size_t)k]);
        }
    return e;
}

// Full-band SNR of a against b (dB) from frame 2 to two frames before the
// end, and the delay in samples (within +-64) where it is best.
double FullBandSnr(const std::vector<int16_t>& a, const std::vector<int16_t>& b, int* delayOut) {
    const size_t n = std::min(a.size(), b.size());
    if (n < 8 * 2048) return -1;
    const size_t from = 2 * 2048, to = n - 2 * 2048;
    double best = -1e9;
    for (int off = -64; off <= 64; off++) {
        double s = 0, e = 0;
        for (size_t i = from; i < to; i++) {
            const double r = b[(size_t)((long)i + off)], d = a[i] - r;
            s += r * r;
            e += d * d;
        }
        const double v = 10 * log10(s / (e + 1e-9));
        if (v > best) {
            best = v;
            *delayOut = off;
        }
    }
    return best;
}

// Largest band difference (dB) of got against want over the bands whose
// reference energy is within 70 dB of the loudest; prints each band.
double WorstBand(const std::vector<double>& got, const std::vector<double>& want,
                 const std::string& what) {
    const double top = *std::max_element(want.begin(), want.end());
    double worst = 0;
    std::string line;
    for (size_t b = 0; b < want.size(); b++) {
        if (want[b] < top * 1e-7) continue;
        const double db = 10 * log10((got[b] + 1e-9) / want[b]);
        worst = std::max(worst, fabs(db));
        char buf[32];
        snprintf(buf, sizeof(buf), " %+.2f", db);
        line += buf;
    }
    printf("%s per 1.5 kHz band:%s\n", what.c_str(), line.c_str());
    return worst;
}

class SbrSweep : public ::testing::TestWithParam<SweepCase> {};

TEST_P(SbrSweep, MatchesFfmpegPerBand) {
    const SweepCase& c = GetParam();
    if (ReadFile(SpliceTool()).empty()) GTEST_SKIP() << "sbrsplice not built";
    const std::string he = MakeSweepStream(c);
    ASSERT_FALSE(he.empty());
    const std::vector<uint8_t> data = ReadFile(he);
    const int fs = 2 * c.rate;
    const int outChannels = c.ps ? 2 : c.channels;
    // The complex set: ours against FFmpeg.
    const Decoded cplx = DecodeAll(data, 0, 0, 2);
    ASSERT_EQ(cplx.rate, fs);
    ASSERT_EQ(cplx.channels, outChannels);
    ASSERT_GT(cplx.kTop, 0);
    std::vector<std::vector<double>> cplxBands;
    std::vector<size_t> cplxLen;
    for (int ch = 0; ch < outChannels; ch++) {
        const std::vector<int16_t> ref =
            FfmpegChannel(he, ch, he + ".ffmpeg" + std::to_string(ch) + ".raw");
        ASSERT_FALSE(ref.empty());
        int delay = 0;
        const double full = FullBandSnr(cplx.ch[ch], ref, &delay);
        // Both over the same stretch: FFmpeg's output runs longer.
        const size_t n = std::min(ref.size(), cplx.ch[ch].size());
        const std::vector<int16_t> ours(cplx.ch[ch].begin(), cplx.ch[ch].begin() + (long)n),
            theirs(ref.begin(), ref.begin() + (long)n);
        cplxBands.push_back(Bands15(ours, fs, cplx.kTop));
        cplxLen.push_back(n);
        const double worst = WorstBand(cplxBands.back(), Bands15(theirs, fs, cplx.kTop),
                                       std::string(c.name) + " ch" + std::to_string(ch));
        printf("%s ch%d complex set: full band %.1f dB (delay %d), worst band %.2f dB\n", c.name,
               ch, full, delay, worst);
        EXPECT_EQ(delay, 0) << "channel " << ch;
        EXPECT_GE(full, 40.0) << "channel " << ch;
        EXPECT_LE(worst, 0.5) << "channel " << ch;
    }
    if (c.channels == 2) {
        // The automatic choice (the real set for a channel pair) against the
        // complex set.
        const Decoded real = DecodeAll(data, 0, 0, 0);
        ASSERT_EQ(real.channels, 2);
        for (int ch = 0; ch < 2; ch++) {
            const std::vector<int16_t> part(
                real.ch[ch].begin(),
                real.ch[ch].begin() + (long)std::min(real.ch[ch].size(), cplxLen[(size_t)ch]));
            const double worst = WorstBand(Bands15(part, fs, cplx.kTop), cplxBands[(size_t)ch],
                                           std::string(c.name) + " real ch" + std::to_string(ch));
            printf("%s ch%d real set against complex set: worst band %.2f dB\n", c.name, ch, worst);
            EXPECT_LE(worst, 1.5) << "channel " << ch;
        }
    }
}

// AacDecProbeFrame learns the stream from its first access unit without
// producing PCM (SBR and parametric stereo found, the output rate and
// channels as the frames will give them) and leaves the decoder as it
// found it: the frames decoded after the probe equal those of a decoder
// that was never probed. Bad arguments come back as their failure codes.
TEST(AacProbe, ReportsTheStreamAndLeavesTheDecoderReady) {
    struct Case {
        SweepCase stream;
        int sbr, ps, channels;
    };
    const Case cases[] = {
        {{"mono22_s2", 22050, 1, 2, false}, 1, 0, 1},
        {{"stereo24_s1", 24000, 2, 1, false}, 1, 0, 2},
        {{"v2_24_s1", 24000, 1, 1, true}, 1, 1, 2},
    };
    if (ReadFile(SpliceTool()).empty()) GTEST_SKIP() << "sbrsplice not built";
    for (const Case& c : cases) {
        const std::string he = MakeSweepStream(c.stream);
        ASSERT_FALSE(he.empty());
        const std::vector<uint8_t> data = ReadFile(he);
        const auto frames = AdtsFrames(data);
        ASSERT_GT(frames.size(), 8u);
        Decoder probed, fresh;
        AacDecInput in = {frames[0].second, frames[0].second, data.data() + frames[0].first};
        ASSERT_EQ(AacDecProbeFrame(probed.h, &probed.cfg, &in), 0) << c.stream.name;
        EXPECT_EQ(probed.cfg.sbrPresent, c.sbr) << c.stream.name;
        EXPECT_EQ(probed.cfg.psPresent, c.ps) << c.stream.name;
        EXPECT_EQ(probed.cfg.channels, c.channels) << c.stream.name;
        EXPECT_EQ(probed.cfg.sampleRate, 2 * c.stream.rate) << c.stream.name;
        for (size_t f = 0; f < 8; f++) {
            int32_t a = 0, b = 0;
            probed.Decode(data.data() + frames[f].first, frames[f].second, &a);
            fresh.Decode(data.data() + frames[f].first, frames[f].second, &b);
            ASSERT_EQ(a, b) << c.stream.name << " frame " << f;
            ASSERT_EQ(probed.pcm, fresh.pcm) << c.stream.name << " frame " << f;
        }
    }
    Decoder dec;
    const uint8_t byte = 0xFF;
    AacDecInput good = {1, 1, &byte}, noData = {1, 1, nullptr}, empty = {0, 0, &byte};
    EXPECT_EQ(AacDecProbeFrame(nullptr, &dec.cfg, &good), AAC_E_HANDLE);
    EXPECT_EQ(AacDecProbeFrame(dec.h, &dec.cfg, nullptr), AAC_E_POINTER);
    EXPECT_EQ(AacDecProbeFrame(dec.h, &dec.cfg, &noData), AAC_E_INVALIDARG);
    EXPECT_EQ(AacDecProbeFrame(dec.h, &dec.cfg, &empty), AAC_E_INVALIDARG);
}

// The same seeds at every rate: mono 2 and 11, stereo 1, 5, 9 and 13, and
// two v2 streams at 24 kHz.
std::vector<SweepCase> SweepCases() {
    static std::vector<std::string> names;
    std::vector<SweepCase> v;
    names.reserve(32);
    for (int rate : {16000, 22050, 24000})
        for (int ch = 1; ch <= 2; ch++)
            for (int seed : ch == 1 ? std::vector<int>{2, 11} : std::vector<int>{1, 5, 9, 13}) {
                names.push_back(std::string(ch == 1 ? "mono" : "stereo") +
                                std::to_string(rate / 1000) + "_s" + std::to_string(seed));
                v.push_back(SweepCase{names.back().c_str(), rate, ch, seed, false});
            }
    v.push_back(SweepCase{"v2_24_s1", 24000, 1, 1, true});
    v.push_back(SweepCase{"v2_24_s2", 24000, 1, 2, true});
    return v;
}

INSTANTIATE_TEST_SUITE_P(Seeds, SbrSweep, ::testing::ValuesIn(SweepCases()),
                         [](const ::testing::TestParamInfo<SweepCase>& i) {
                             return std::string(i.param.name);
                         });

}  // namespace
