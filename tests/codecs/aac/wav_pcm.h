// 16-bit PCM WAV files as samples per channel, for the stream tests that
// compare our decodes with FFmpeg's.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/tools/tool_helpers.h"

struct WavPcm {
    int rate = 0;
    std::vector<std::vector<double>> ch;
};

// Empty channels when the file is missing or holds no data chunk.
inline WavPcm ReadWav(const std::string& path) {
    WavPcm p;
    std::vector<uint8_t> d = tooltest::ReadBytes(path);
    if (d.size() < 44) return p;
    const int channels = d[22] | d[23] << 8;
    p.rate = (int)(d[24] | d[25] << 8 | d[26] << 16 | (uint32_t)d[27] << 24);
    size_t pos = 12;
    while (pos + 8 <= d.size()) {
        const uint32_t len =
            d[pos + 4] | d[pos + 5] << 8 | d[pos + 6] << 16 | (uint32_t)d[pos + 7] << 24;
        if (!memcmp(&d[pos], "data", 4)) {
            p.ch.assign((size_t)channels, {});
            const size_t end = std::min(d.size(), pos + 8 + len);
            for (size_t i = pos + 8; i + 2 * channels <= end; i += 2 * (size_t)channels)
                for (int c = 0; c < channels; c++)
                    p.ch[(size_t)c].push_back((int16_t)(d[i + 2 * c] | d[i + 2 * c + 1] << 8));
            break;
        }
        pos += 8 + len + (len & 1);
    }
    return p;
}
