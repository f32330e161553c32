#include "ThemeClass/ThemeGif.h"

#include <cstring>

namespace skin {

namespace {

uint32_t Le16(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8); }

// Colour table bytes for the size bits of a packed byte.
uint32_t TableBytes(uint8_t packed) { return 3u << ((packed & 0x07) + 1); }

// End of a run of data sub-blocks starting at p (just past its zero
// terminator); 0 when the run leaves the data.
size_t SubBlocksEnd(const uint8_t* data, size_t size, size_t p) {
    while (p < size) {
        const size_t n = data[p];
        if (n == 0) return p + 1;
        if (n >= size - p) return 0;
        p += n + 1;
    }
    return 0;
}

// Length of a block whose fixed part of head bytes is followed by
// sub-blocks.
size_t WithSubBlocks(const uint8_t* data, size_t size, size_t offset, size_t head) {
    if (head > size - offset) return 0;
    const size_t end = SubBlocksEnd(data, size, offset + head);
    return end ? end - offset : 0;
}

bool SkipBlock(const uint8_t* data, size_t size, size_t* offset) {
    const size_t n = GifBlockLength(data, size, *offset);
    if (n == 0) return false;
    *offset += n;
    return true;
}

// Skips application and comment blocks; stops at any other kind. False
// when one of them does not fit.
bool SkipToGraphic(const uint8_t* data, size_t size, size_t* offset, GifBlock* kind) {
    for (;;) {
        *kind = GifBlockKind(data, size, *offset);
        if (*kind != GifBlock::Application && *kind != GifBlock::Comment) return true;
        if (!SkipBlock(data, size, offset)) return false;
    }
}

// Skips everything up to the image or plain-text block after a control
// block (further extensions are part of the frame).
bool SkipToRendering(const uint8_t* data, size_t size, size_t* offset) {
    for (;;) {
        const GifBlock kind = GifBlockKind(data, size, *offset);
        if (kind == GifBlock::Image || kind == GifBlock::PlainText) return true;
        if (kind == GifBlock::Unknown || kind == GifBlock::Trailer) return false;
        if (!SkipBlock(data, size, offset)) return false;
    }
}

}  // namespace

bool IsGifData(const uint8_t* data, size_t size) {
    if (!data || size < 6) return false;
    return std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0;
}

bool ReadGifScreen(const uint8_t* data, size_t size, GifScreen* out) {
    if (!IsGifData(data, size) || size < kGifScreenEnd) return false;
    GifScreen s;
    s.width = static_cast<int>(Le16(data + 6));
    s.height = static_cast<int>(Le16(data + 8));
    const uint8_t packed = data[10];
    s.globalTableSize = (packed & 0x80) ? TableBytes(packed) : 0;
    s.background = data[11];
    if (s.globalTableSize > size - kGifScreenEnd) return false;
    *out = s;
    return true;
}

GifBlock GifBlockKind(const uint8_t* data, size_t size, size_t offset) {
    if (!data || offset >= size) return GifBlock::Unknown;
    switch (data[offset]) {
        case 0x2C: return GifBlock::Image;
        case 0x3B: return GifBlock::Trailer;
        case 0x21: break;
        default: return GifBlock::Unknown;
    }
    if (size - offset < 2) return GifBlock::Unknown;
    switch (data[offset + 1]) {
        case 0xFF: return GifBlock::Application;
        case 0xFE: return GifBlock::Comment;
        case 0xF9: return GifBlock::Control;
        case 0x01: return GifBlock::PlainText;
        default: return GifBlock::Unknown;
    }
}

size_t GifBlockLength(const uint8_t* data, size_t size, size_t offset) {
    switch (GifBlockKind(data, size, offset)) {
        case GifBlock::Application: return WithSubBlocks(data, size, offset, 14);
        case GifBlock::Comment: return WithSubBlocks(data, size, offset, 2);
        case GifBlock::Control: return size - offset >= 8 ? 8 : 0;
        case GifBlock::PlainText: return WithSubBlocks(data, size, offset, 15);
        case GifBlock::Image: {
            if (size - offset < 10) return 0;
            const uint8_t packed = data[offset + 9];
            const size_t table = (packed & 0x80) ? TableBytes(packed) : 0;
            // Descriptor, local table, then the LZW code size byte.
            return WithSubBlocks(data, size, offset, 10 + table + 1);
        }
        case GifBlock::Trailer: return 1;
        case GifBlock::Unknown: return 0;
    }
    return 0;
}

bool CutGifFrame(const uint8_t* data, size_t size, size_t* offset, GifFrameCut* out) {
    if (!data || !offset) return false;
    size_t p = *offset;
    GifBlock kind;
    if (!SkipToGraphic(data, size, &p, &kind)) return false;
    if (kind != GifBlock::Control && kind != GifBlock::Image && kind != GifBlock::PlainText)
        return false;
    GifFrameCut cut;
    cut.start = p;
    if (kind == GifBlock::Control) {
        if (GifBlockLength(data, size, p) == 0) return false;
        cut.delay = Le16(data + p + 4);
        cut.disposal = (data[p + 3] >> 2) & 0x07;
        p += 8;
        if (!SkipToRendering(data, size, &p)) return false;
        kind = GifBlockKind(data, size, p);
    }
    if (kind == GifBlock::Image) {
        if (size - p < 10) return false;
        cut.left = static_cast<int>(Le16(data + p + 1));
        cut.top = static_cast<int>(Le16(data + p + 3));
        cut.width = static_cast<int>(Le16(data + p + 5));
        cut.height = static_cast<int>(Le16(data + p + 7));
    }
    if (!SkipBlock(data, size, &p)) return false;
    cut.end = p;
    *offset = p;
    if (out) *out = cut;
    return true;
}

bool SkipGifFrame(const uint8_t* data, size_t size, size_t* offset) {
    return CutGifFrame(data, size, offset, nullptr);
}

int CountGifFrames(const uint8_t* data, size_t size, size_t offset) {
    int n = 0;
    while (SkipGifFrame(data, size, &offset)) ++n;
    return n;
}

std::vector<uint8_t> BuildFrameGif(const uint8_t* data, size_t size, uint32_t globalTableSize,
                                   const GifFrameCut& cut) {
    std::vector<uint8_t> out;
    if (!data || size < kGifScreenEnd || globalTableSize > size - kGifScreenEnd) return out;
    const size_t head = kGifScreenEnd + globalTableSize;
    if (cut.start < head || cut.start > cut.end || cut.end > size) return out;
    out.reserve(head + (cut.end - cut.start) + 1);
    out.insert(out.end(), data, data + head);
    out.insert(out.end(), data + cut.start, data + cut.end);
    out.push_back(0x3B);
    return out;
}

uint32_t GifFrameWaitMs(uint32_t delay) {
    if (delay == kGifNoDelay || delay < 5) return 100;
    // Delays come from 16 bits; anything larger is kept below an endless wait.
    const uint64_t ms = uint64_t(delay) * 10;
    return ms < 0xFFFFFFFEu ? uint32_t(ms) : 0xFFFFFFFEu;
}

}  // namespace skin
