// Fuzzes the SBR frame step: header state, payload parsing, grids, delta
// decoding, concealment and the DSP behind them. Input: one config byte,
// then payloads, each a length byte and that many bytes (extension type
// nibble first, as in a FIL element).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "codecs/aac/sbr_dec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const int kRates[] = {32000, 44100, 48000, 16000, 22050, 24000, 64000, 96000};
    const uint8_t cfg = data[0];
    static SbrDecoder d;
    static SbrQmfSlot work[kSbrWorkSlots];
    if (!SbrDecoderSetup(&d, kRates[cfg & 7], (cfg >> 3) & 1, (cfg >> 4) & 1, work)) return 0;
    const int channels = (cfg >> 5) & 1 ? 2 : 1;
    const int elementId = (cfg >> 6) & 1;
    static int16_t pcm[2048];
    static int16_t out[4096];
    for (int i = 0; i < 2048; i++) pcm[i] = (int16_t)((i * 7919) % 20000 - 10000);
    size_t pos = 1;
    int frames = 0;
    while (pos < size && frames < 16) {
        size_t len = data[pos++];
        if (len > size - pos) len = size - pos;
        std::vector<uint8_t> p(data + pos, data + pos + len);
        pos += len;
        int bits = (int)len * 8 - 4;
        int type = len ? p[0] >> 4 : 13;
        SbrDecodeFrame(&d, p.empty() ? nullptr : p.data(), 4, bits, type, elementId, pcm, channels,
                       out);
        frames++;
    }
    return 0;
}
