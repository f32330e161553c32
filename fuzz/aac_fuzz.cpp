// libFuzzer target over the AAC decoder: the first byte picks the
// configuration (rate, transport, lost frames, disabled channels), the rest
// is fed as access units the way the adapter feeds a packet.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "codecs/aac/aac_dec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static const int32_t kRates[8] = {0, 8000, 16000, 22050, 24000, 44100, 48000, 12345};
    const uint8_t sel = data[0];
    data++;
    size--;
    aac::MemTable t[AAC_MEM_TABLE_COUNT];
    AacDecGetMemTables(t);
    std::vector<std::vector<uint8_t>> blocks;
    for (auto& e : t) {
        blocks.emplace_back(e.size);
        e.pointer = blocks.back().data();
    }
    AacDecConfig cfg;
    memset(&cfg, 0, sizeof(cfg));
    cfg.sampleRate = kRates[sel & 7];
    cfg.transport = (sel >> 3) & 3;
    cfg.channels = 1 + ((sel >> 5) & 1);
    AacDecHandle* h = nullptr;
    if (AacDecInit("3.2", &h, &cfg, t) != 0) return 0;
    // the input in a buffer of its own size, so overreads show
    std::vector<uint8_t> in(data, data + size);
    std::vector<int16_t> pcm(4096);
    AacDecInput probe = {(int32_t)in.size(), (int32_t)in.size(), in.data()};
    AacDecProbeFrame(h, &cfg, &probe);
    size_t pos = 0;
    int n = 0;
    while (pos < in.size() && n++ < 200) {
        int32_t bytes = (int32_t)(in.size() - pos);
        AacDecInput ai = {bytes, bytes, in.data() + pos};
        AacDecOutput ao = {0, 8192, pcm.data()};
        cfg.frameLost = (sel >> 6) & (n & 1);
        cfg.disableCh1 = sel >> 7;
        int32_t r = AacDecDecodeFrame(h, &cfg, &ai, &ao);
        if (ao.bytesProduced < 0 || ao.bytesProduced > 8192) abort();
        int32_t used = cfg.bytesUsed;
        if (r == AAC_E_NOSYNC || used <= 0) used = 1;
        pos += (size_t)used;
    }
    AacDecClose(h);
    return 0;
}
