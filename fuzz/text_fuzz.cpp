// Text-track decoder on arbitrary samples. The first byte picks the codec;
// the rest is decoded twice, so colours carried between samples are used.
#include <cstdint>
#include <cstring>
#include <memory>

#include "engine/decode/text_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 65536) return 0;
    static const char kCodecs[3][5] = {"T140", "SAMI", "BLBX"};
    const char* name = kCodecs[data[0] % 3];
    TextTrackInfo track;
    std::memset(&track, 0, sizeof(track));
    std::memcpy(&track.codec, name, 4);
    TextDecoder* decoder = nullptr;
    if (TextDecoder_Create(&decoder, &track) != 0) return 0;
    std::unique_ptr<SubtitleFrame> frame(new SubtitleFrame());
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[size - 1 ? size - 1 : 1]);
    for (int pass = 0; pass < 2; ++pass) {
        std::memcpy(bytes.get(), data + 1, size - 1);
        MediaSample sample;
        std::memset(&sample, 0, sizeof(sample));
        sample.data = bytes.get();
        sample.length = uint32_t(size - 1);
        TextDecoder_Decode(decoder, &sample, frame.get());
        if (frame->run_count > SUBTITLE_MAX_RUNS) __builtin_trap();
        for (uint32_t i = 0; i < frame->run_count; ++i) {
            const SubtitleRun& run = frame->runs[i];
            if (run.length >= SUBTITLE_RUN_CHARS) __builtin_trap();
            bool terminated = false;
            for (uint32_t k = 0; k < SUBTITLE_RUN_CHARS && !terminated; ++k)
                terminated = run.text[k] == 0;
            if (!terminated) __builtin_trap();
        }
    }
    TextDecoder_Destroy(decoder);
    return 0;
}
