// Fuzz target over the video decoder: the first byte picks MPEG-4 or H.263
// and the switches; the rest is the stream, whose headers before the first
// VOP serve as configuration. Each call decodes until the data is used up.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <vector>

#include "codecs/video/mp4vdec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    uint8_t mode = data[0];
    const uint8_t* s = data + 1;
    size_t n = size - 1;
    const uint32_t kW = 352, kH = 288, kBuffers = 3;
    static std::vector<uint8_t> planes(kBuffers * (kW * kH * 3 / 2 + 64));
    Mp4vDecFrameBuffer fbs[kBuffers];
    for (uint32_t i = 0; i < kBuffers; ++i) {
        uint8_t* p = planes.data() + i * (kW * kH * 3 / 2 + 64);
        fbs[i] = {p, p + kW * kH + 16, p + kW * kH + 32 + kW * kH / 4, 0};
    }
    size_t config = 0;
    int shortHdr = mode & 1;
    if (!shortHdr) {
        for (size_t i = 0; i + 3 < n; ++i)
            if (s[i] == 0 && s[i + 1] == 0 && s[i + 2] == 1 && s[i + 3] == 0xB6) {
                config = i;
                break;
            }
    }
    Mp4vDecStreamInfo info = {};
    info.configData = config ? s : nullptr;
    info.configSize = uint32_t(config);
    info.iIsShortHdrMode = shortHdr;
    info.postFilter = (mode >> 1) & 1;
    info.lowDelay = (mode >> 2) & 1;
    Mp4vDecInitConfig cfg = {&info, fbs, kBuffers, kW, kH, nullptr};
    m4v::MemTable tables[4];
    Mp4vDecGetMemTables(&cfg, tables);
    std::vector<uint8_t> mem[4];
    for (int i = 0; i < 4; ++i) {
        mem[i].assign(tables[i].size, 0);
        tables[i].pointer = mem[i].data();
    }
    int32_t kind = 0;
    Mp4vDecInitResult res = {&kind, 0, 0};
    Mp4vDecoder* dec = Mp4vDecInit(tables, &cfg, &res);
    if (!dec) return 0;
    size_t pos = config;
    uint32_t sink = 0;
    for (int call = 0; call < 256 && pos < n; ++call) {
        int32_t pair[2];
        Mp4vDecOutput out = {};
        out.result = pair;
        Mp4vDecInput in = {};
        in.data = s + pos;
        in.size = uint32_t(n - pos);
        in.completeUnit = (mode >> 3) & 1 ? 0 : 1;
        in.immediateOutput = (mode >> 4) & 1;
        uint32_t used = Mp4vDecDecodeFrame(dec, &in, &out);
        if (out.y) sink += out.y[0] + out.u[0] + out.v[0];
        if (used == 0) break;
        pos += used;
    }
    int32_t pair[2];
    Mp4vDecOutput out = {};
    out.result = pair;
    Mp4vDecInput end = {};
    Mp4vDecDecodeFrame(dec, &end, &out);
    Mp4vDecIsKeyFrame(dec, &end);
    Mp4vDecClose(dec, tables);
    (void)sink;
    return 0;
}
