// Helpers of the AAC tests: the generated streams, file reading, in-process
// decoding and PSNR.
#pragma once

#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "codecs/aac/aac_dec.h"
#include "codecs/aac/aac_state.h"

namespace aactest {

inline std::string StreamDir() { return std::string(DC_TESTDATA) + "/aac"; }

// Makes the FFmpeg streams once (the script skips what exists).
inline bool EnsureStreams() {
    static int done = -1;
    if (done < 0) {
        std::string cmd = std::string(DC_SOURCE_DIR) + "/tests/codecs/aac/make_streams.sh '" +
                          StreamDir() + "' >/dev/null 2>&1";
        done = system(cmd.c_str()) == 0 ? 1 : 0;
    }
    return done == 1;
}

inline std::vector<uint8_t> ReadFile(const std::string& path) {
    std::vector<uint8_t> d;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return d;
    uint8_t buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0) d.insert(d.end(), buf, buf + n);
    fclose(f);
    return d;
}

inline std::vector<int16_t> ToSamples(const std::vector<uint8_t>& d, size_t skip) {
    std::vector<int16_t> s;
    for (size_t i = skip; i + 1 < d.size(); i += 2) s.push_back((int16_t)(d[i] | (d[i + 1] << 8)));
    return s;
}

// Best PSNR (full scale) of a against b over offsets of -2..2 frames; the
// decoder's own one-frame delay is already taken out by its output.
inline double BestPsnr(const std::vector<int16_t>& a, const std::vector<int16_t>& b, int channels,
                       int* offsetOut = nullptr) {
    double best = -1;
    for (int off = -2; off <= 2; off++) {
        long o = (long)off * 1024 * channels;
        size_t ia = o < 0 ? (size_t)-o : 0, ib = o > 0 ? (size_t)o : 0;
        if (ia >= a.size() || ib >= b.size()) continue;
        size_t n = std::min(a.size() - ia, b.size() - ib);
        if (n < 1024) continue;
        double se = 0;
        for (size_t i = 0; i < n; i++) {
            double d = (double)a[ia + i] - b[ib + i];
            se += d * d;
        }
        double mse = se / (double)n;
        double psnr = mse > 0 ? 10 * log10(32768.0 * 32768.0 / mse) : 200;
        if (psnr > best) {
            best = psnr;
            if (offsetOut) *offsetOut = off;
        }
    }
    return best;
}

// A decoder on malloc'd tables.
struct Decoder {
    aac::MemTable tables[AAC_MEM_TABLE_COUNT];
    AacDecHandle* h = nullptr;
    AacDecConfig cfg;
    std::vector<int16_t> pcm = std::vector<int16_t>(4096);
    explicit Decoder(int32_t rate = 0, int32_t transport = 0, int32_t channels = 0) {
        AacDecGetMemTables(tables);
        for (auto& t : tables) t.pointer = malloc(t.size);
        memset(&cfg, 0, sizeof(cfg));
        cfg.sampleRate = rate;
        cfg.transport = transport;
        cfg.channels = channels;
        AacDecInit("3.2", &h, &cfg, tables);
    }
    ~Decoder() {
        for (auto& t : tables) free(t.pointer);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
    int32_t Decode(const uint8_t* data, int32_t n, int32_t* produced, int lost = 0) {
        AacDecInput in = {n, n, data};
        AacDecOutput out = {0, 8192, pcm.data()};
        cfg.frameLost = lost;
        int32_t r = AacDecDecodeFrame(h, &cfg, &in, &out);
        *produced = out.bytesProduced;
        return r;
    }
    const AacStats& Stats() const { return h->work->stats; }
};

// Splits an ADTS stream into frames.
inline std::vector<std::pair<size_t, int32_t>> AdtsFrames(const std::vector<uint8_t>& d) {
    std::vector<std::pair<size_t, int32_t>> f;
    size_t p = 0;
    while (p + 7 <= d.size() && d[p] == 0xFF && (d[p + 1] & 0xF0) == 0xF0) {
        int32_t len = ((d[p + 3] & 3) << 11) | (d[p + 4] << 3) | (d[p + 5] >> 5);
        if (len < 7 || p + (size_t)len > d.size()) break;
        f.push_back({p, len});
        p += (size_t)len;
    }
    return f;
}

}  // namespace aactest
