// The picture control's GIF walker on arbitrary files: reading the screen,
// walking and cutting every frame, and building each one-frame GIF, which
// must walk again as exactly one frame.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "ThemeClass/ThemeGif.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 20) return 0;
    // A copy of exactly the input's size, so a read past it is caught.
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[size ? size : 1]);
    if (size) std::memcpy(bytes.get(), data, size);
    const uint8_t* g = bytes.get();
    skin::GifScreen screen;
    const bool ok = skin::ReadGifScreen(g, size, &screen);
    const size_t first = ok ? skin::kGifScreenEnd + screen.globalTableSize : skin::kGifScreenEnd;
    const int count = skin::CountGifFrames(g, size, first);
    size_t at = first;
    skin::GifFrameCut cut;
    int cuts = 0;
    while (skin::CutGifFrame(g, size, &at, &cut)) {
        ++cuts;
        if (cut.start < first || cut.end > size || cut.start >= cut.end) __builtin_trap();
        if (skin::GifFrameWaitMs(cut.delay) == 0) __builtin_trap();
        if (!ok) continue;
        const std::vector<uint8_t> one = skin::BuildFrameGif(g, size, screen.globalTableSize, cut);
        if (one.empty()) __builtin_trap();
        if (skin::CountGifFrames(one.data(), one.size(), first) != 1) __builtin_trap();
    }
    if (cuts != count) __builtin_trap();
    return 0;
}
