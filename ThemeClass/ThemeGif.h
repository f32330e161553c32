// The GIF block walker of the picture control: finds the frames of an
// animated GIF and cuts each one out as a stand-alone one-frame GIF that
// the system's picture loader can read. Every read is bounded by the data
// size, so damaged or hostile files fail cleanly. Plain bytes in and out;
// the window class turns the frames into pictures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace skin {

// Size of the header and the logical screen descriptor.
constexpr size_t kGifScreenEnd = 13;
// The delay of a frame that has no graphic control extension.
constexpr uint32_t kGifNoDelay = 0xFFFFFFFF;

enum class GifBlock {
    Application,  // 0x21 0xFF
    Comment,      // 0x21 0xFE
    Control,      // 0x21 0xF9, the graphic control extension
    PlainText,    // 0x21 0x01
    Image,        // 0x2C
    Trailer,      // 0x3B
    Unknown,      // anything else, or no byte left to tell
};

// "GIF87a" or "GIF89a" at the start.
bool IsGifData(const uint8_t* data, size_t size);

struct GifScreen {
    int width = 0;
    int height = 0;
    uint32_t globalTableSize = 0;  // bytes; 0 without a global table
    uint8_t background = 0;        // background colour index
};

// Reads the logical screen. False when the data is not a GIF, is shorter
// than the header and descriptor, or its global table runs past the end.
bool ReadGifScreen(const uint8_t* data, size_t size, GifScreen* out);

GifBlock GifBlockKind(const uint8_t* data, size_t size, size_t offset);
// Length of the block at offset, sub-blocks included; 0 when the block is
// unknown or does not fit in the data.
size_t GifBlockLength(const uint8_t* data, size_t size, size_t offset);

// One frame as the walker found it: its bytes run from the control block
// (or the image when there is none) through the end of the image or
// plain-text block, every block between them included.
struct GifFrameCut {
    size_t start = 0;
    size_t end = 0;
    uint32_t delay = kGifNoDelay;  // hundredths of a second
    uint32_t disposal = 0;
    int width = 0, height = 0;  // from the image descriptor; 0 for plain text
    int left = 0, top = 0;
};

// Moves *offset past the next frame. False (offset unchanged) at the
// trailer, an unknown block, or a block that does not fit.
bool SkipGifFrame(const uint8_t* data, size_t size, size_t* offset);
// As SkipGifFrame, and describes the frame.
bool CutGifFrame(const uint8_t* data, size_t size, size_t* offset, GifFrameCut* out);
// Frames from offset on, counted until the first failure.
int CountGifFrames(const uint8_t* data, size_t size, size_t offset);

// The one-frame GIF of a frame: the source's header, descriptor and global
// table, the frame's bytes, then a trailer. Empty when the cut does not lie
// within the data.
std::vector<uint8_t> BuildFrameGif(const uint8_t* data, size_t size, uint32_t globalTableSize,
                                   const GifFrameCut& cut);

// How long the animation shows a frame: its delay in hundredths of a
// second, and 100 ms for delays below 5 and for frames without a delay.
uint32_t GifFrameWaitMs(uint32_t delay);

}  // namespace skin
