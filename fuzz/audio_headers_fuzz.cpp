// Audio frame header parsers on arbitrary bytes: every configuration parser
// by tag, and a frame walk that must only move forward inside the data.
#include <cstdint>
#include <cstring>
#include <memory>

#include "engine/input/audio_headers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 65536) return 0;
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[size ? size : 1]);
    if (size) std::memcpy(bytes.get(), data, size);
    const uint8_t* start = bytes.get();
    const uint32_t n = uint32_t(size);
    static const uint32_t kTags[] = {0, 255, 80, 146, 0x6173, 0x6177, 0x674F, 0x5645, 0x3331};
    for (uint32_t tag : kTags) {
        AudioFrameConfig config;
        std::memset(&config, 0, sizeof(config));
        config.codec_tag = tag;
        uint32_t spf = 0;
        AudioFrame_ParseConfig(start, n, &config, &spf);

        const uint8_t* p = start;
        uint32_t left = n;
        for (int frames = 0; frames < 1000; ++frames) {
            uint32_t frame_size = 0;
            const uint8_t* frame = AudioFrame_Parse(&p, &left, &frame_size, &spf, tag);
            if (!frame || frame_size == 0 || frame_size > left) break;
            if (frame < start || frame + left != start + n) __builtin_trap();
            p += frame_size;
            left -= frame_size;
        }
    }
    AudioFrameConfig asc;
    std::memset(&asc, 0, sizeof(asc));
    Aac_ParseAsc(start, n, &asc);
    XingInfo xing;
    if (Xing_Find(start, n, &xing)) {
        Xing_SeekPosition(&xing, size ? float(data[0]) : 0.0f);
    }
    uint32_t evrc = 0;
    const uint8_t* p = start;
    uint32_t left = n;
    Evrc_FrameSize(&p, &left, &evrc);
    p = start;
    left = n;
    Qcelp_FrameSize(&p, &left, &evrc);
    return 0;
}
