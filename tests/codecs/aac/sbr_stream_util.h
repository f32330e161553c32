// Helpers of the HE-AAC stream tests: running the tools, FFmpeg's decode of
// one channel, our decode of a whole ADTS stream and the standard's 64-band
// complex QMF analysis for measuring band energies.
#pragma once

#include <math.h>

#include <complex>
#include <string>
#include <vector>

#include "aac_test_util.h"
#include "codecs/aac/sbr_dec.h"
#include "codecs/aac/sbr_tables.h"

namespace aactest {

inline std::string SpliceTool() {
    return std::string(DC_BINARY_DIR) + "/tools/sbrsplice/sbrsplice";
}

inline bool RunShell(const std::string& cmd) { return system(cmd.c_str()) == 0; }

// FFmpeg's decode of channel ch of an HE-AAC stream (it gives a mono stream
// two equal channels), kept as 16-bit PCM in raw; empty when it fails.
inline std::vector<int16_t> FfmpegChannel(const std::string& he, int ch, const std::string& raw) {
    if (!RunShell("ffmpeg -nostdin -v quiet -y -i '" + he + "' -af 'pan=mono|c0=c" +
                  std::to_string(ch) + "' -f s16le '" + raw + "'"))
        return {};
    return ToSamples(ReadFile(raw), 0);
}

struct Decoded {
    std::vector<int16_t> ch[2];
    int rate = 0;
    int channels = 0;
    bool badResult = false;
    int kx = 0, kEnd = 0;  // SBR range of the last frame
    int kTop = 0;          // top of its limiter table: no gain above
};

inline Decoded DecodeAll(const std::vector<uint8_t>& d, int downSampled, int monoOutput,
                         int kernel = 0, int disableCh1 = 0) {
    Decoded out;
    Decoder dec;
    dec.cfg.disableCh1 = disableCh1;
    dec.cfg.sbrDownSampled = downSampled;
    dec.cfg.monoOutput = monoOutput;
    dec.cfg.sbrKernel = kernel;
    for (auto& f : AdtsFrames(d)) {
        int32_t produced = 0;
        int32_t r = dec.Decode(d.data() + f.first, f.second, &produced);
        if (r != 0 && r != AAC_SBR_ERROR_BASE + 13) out.badResult = true;
        const int ch = dec.cfg.channels;
        if (produced <= 0 || ch < 1) continue;
        const int n = produced / 2 / ch;
        for (int c = 0; c < ch; c++)
            out.ch[c].insert(out.ch[c].end(), dec.pcm.begin() + AAC_PCM_CHANNEL_STRIDE * c,
                             dec.pcm.begin() + AAC_PCM_CHANNEL_STRIDE * c + n);
        out.rate = dec.cfg.sampleRate;
        out.channels = ch;
    }
    // The SBR stage's decoder record leads its state in the work area.
    const SbrDecoder* sbr = reinterpret_cast<const SbrDecoder*>(dec.h->work->sbr);
    if (sbr->tablesOk) {
        out.kx = sbr->tables.kx;
        out.kEnd = sbr->tables.kx + sbr->tables.m;
        out.kTop = sbr->tables.nLimiter > 0 ? sbr->tables.limiter[sbr->tables.nLimiter] : 0;
    }
    return out;
}

// The standard's 64-band complex QMF analysis of 16-bit PCM: 64 values a
// slot, one slot per 64 samples.
inline std::vector<std::complex<double>> QmfAnalyse(const std::vector<int16_t>& pcm) {
    static double c[640], cs[64][128], sn[64][128];
    if (c[1] == 0) {
        for (int i = 0; i < 640; i++) c[i] = kSbrQmfWindow[i] / 32768.0;
        for (int k = 0; k < 64; k++)
            for (int i = 0; i < 128; i++) {
                const double a = M_PI * (k + 0.5) * (2 * i - 0.5) / 128;
                cs[k][i] = cos(a);
                sn[k][i] = sin(a);
            }
    }
    std::vector<double> x(640, 0.0);
    std::vector<std::complex<double>> out;
    for (size_t s = 0; (s + 1) * 64 <= pcm.size(); s++) {
        for (int i = 639; i >= 64; i--) x[(size_t)i] = x[(size_t)i - 64];
        for (int i = 0; i < 64; i++) x[(size_t)i] = pcm[s * 64 + 63 - (size_t)i];
        double u[128];
        for (int i = 0; i < 128; i++) {
            u[i] = 0;
            for (int j = 0; j < 5; j++) u[i] += x[(size_t)(i + 128 * j)] * c[i + 128 * j];
        }
        for (int k = 0; k < 64; k++) {
            double re = 0, im = 0;
            for (int i = 0; i < 128; i++) {
                re += u[i] * cs[k][i];
                im += u[i] * sn[k][i];
            }
            out.push_back({re, im});
        }
    }
    return out;
}

}  // namespace aactest
