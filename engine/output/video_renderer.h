// Video renderer: keeps the application's video settings, installs a
// display device's operations in its table and hands each decoded picture
// to the device's Draw under its lock.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <atomic>
#include <cstdint>

#include "engine/decode/text_decoder.h"
#include "engine/decode/video_decoder.h"
#include "engine/platform/os.h"
#include "engine/player.h"

struct VideoRenderer;
struct VideoOutConfig;

// Display operations, each taking the renderer first; null = not offered.
struct DisplayDevice {
    int32_t (*Open)(VideoRenderer* r);
    void (*Close)(VideoRenderer* r);
    int32_t (*Refresh)(VideoRenderer* r, uint32_t arg);
    int32_t (*Draw)(VideoRenderer* r, const DecodedFrame* frame);
    int32_t (*DrawEmpty)(VideoRenderer* r, DecodedFrame* frame);
};

enum : uint32_t {
    VIDEO_DEVICE_NONE = 0,
    VIDEO_DEVICE_DDRAW = PLAYER_VIDEO_OUTPUT_DDRAW,
};

// Installs the operations of a display type (the DirectDraw output
// registers type 1; tests register displays of their own).
void VideoRenderer_RegisterDevice(uint32_t type, const DisplayDevice* ops);
// Installs the operations only when the type has none yet.
void VideoRenderer_RegisterDefaultDevice(uint32_t type, const DisplayDevice* ops);

// Where a window's screen rectangle comes from (the Windows build installs
// one; without it the given rectangle is kept). Fills left, top, right,
// bottom in screen coordinates; result 1 when filled.
typedef int (*WindowRectFn)(uintptr_t window, int32_t rect[4]);
void VideoRenderer_SetWindowRectSource(WindowRectFn fn);

struct VideoRendererFormat {
    uint32_t codecFourcc;
    uint32_t outputFourcc;
    uint32_t width, height;
    const uint8_t* config;  // the track's decoder configuration
    uint32_t configSize;
};

// The text decoder's overlay for the due text sample; kept, not drawn.
typedef SubtitleFrame VideoOverlay;

// Words of the overlay block beside the subtitle copy: where and how a
// caller would like overlay text placed. Stored for the caller; no display
// draws them.
enum VideoOverlayField : uint32_t {
    VIDEO_OVERLAY_X = 0,
    VIDEO_OVERLAY_Y = 1,
    VIDEO_OVERLAY_COLOR = 2,       // COLORREF
    VIDEO_OVERLAY_BACKGROUND = 3,  // COLORREF
    VIDEO_OVERLAY_FONT_SIZE = 4,
    VIDEO_OVERLAY_FLAGS = 5,
    VIDEO_OVERLAY_FIELD_COUNT = 6,
};
// The longest overlay string kept (longer ones are cut there).
enum : uint32_t { VIDEO_OVERLAY_STRING_MAX = 1023 };

// The conversion buffer of the colour-conversion dispatch: one block, grown
// to the largest picture asked for, freed with the renderer.
struct ConversionBuffer {
    uint8_t* data;
    uint32_t size;
};

struct VideoRenderer {
    DisplayDevice ops;
    void* display;  // what the device's Open made
    uint32_t deviceType;
    uint32_t sourceFourcc, codec, width, height;
    const uint8_t* config;
    uint32_t configSize;
    uint32_t targetFourcc, targetDepth;
    uintptr_t window;
    int32_t x, y, w, h;
    uint32_t aspectMode, aspectW, aspectH;
    uint32_t rotation, tvOut;
    int32_t picX, picY, picW, picH;
    uint32_t layoutChanged;
    std::atomic<uint32_t> show;
    std::atomic<uint32_t> option;
    OsLockWord lock;
    ConversionBuffer conversion;
    VideoOverlay overlay;
    uint32_t overlayWords[VIDEO_OVERLAY_FIELD_COUNT];
    char* overlayString;  // the renderer's own copy, or null
};

int32_t VideoRenderer_Create(VideoRenderer** out, const VideoRendererFormat* format,
                             uint32_t useCodecFourcc);
void VideoRenderer_Destroy(VideoRenderer* r);
int32_t VideoRenderer_SetDevice(VideoRenderer* r, uint32_t type);
int32_t VideoRenderer_DrawFrame(VideoRenderer* r, const DecodedFrame* frame);
int32_t VideoRenderer_DrawEmpty(VideoRenderer* r, DecodedFrame* frame);
int32_t VideoRenderer_Refresh(VideoRenderer* r, uint32_t arg);
int VideoRenderer_SetRect(VideoRenderer* r, const VideoOutConfig* config);
int VideoRenderer_SetAspect(VideoRenderer* r, const VideoOutConfig* config);
int VideoRenderer_SetShow(VideoRenderer* r, uint32_t flag);
int VideoRenderer_SetOption(VideoRenderer* r, uint32_t word);
int VideoRenderer_SetConfig(VideoRenderer* r, const VideoOutConfig* config);
int VideoRenderer_GetConfig(VideoRenderer* r, VideoOutConfig* config);
int VideoRenderer_SetOverlayText(VideoRenderer* r, const VideoOverlay* overlay);
// Overlay words: count words from words[0] into fields 0..count-1 (count
// at most VIDEO_OVERLAY_FIELD_COUNT), or one field. 1; 0 for a null
// renderer or words, a count or field out of range (nothing stored then).
int VideoRenderer_SetOverlayParams(VideoRenderer* r, const uint32_t* words, uint32_t count);
int VideoRenderer_SetOverlayField(VideoRenderer* r, uint32_t field, uint32_t value);
int VideoRenderer_SetOverlayPosition(VideoRenderer* r, int32_t x, int32_t y);
int VideoRenderer_SetOverlayColors(VideoRenderer* r, uint32_t color, uint32_t background);
// Keeps a copy of the zero-terminated text (null clears it), cut at
// VIDEO_OVERLAY_STRING_MAX characters. 1; 0 for a null renderer or when
// the copy cannot be made (the earlier string stays).
int VideoRenderer_SetOverlayString(VideoRenderer* r, const char* text);
// Conversion target of the dispatch (format 0 = RGB of the depth).
int VideoRenderer_SetConversionTarget(VideoRenderer* r, uint32_t fourcc, uint32_t depth);
// Converts a decoded picture from the source format to the conversion
// target into the renderer's conversion buffer (grown as needed); *out and
// *outStride tell where it lies (see ColorConvert_Dispatch for the layout).
// 0; 0x80000001 when the buffer cannot grow; what the dispatch refuses.
int32_t VideoRenderer_Convert(VideoRenderer* r, const DecodedFrame* frame, const uint8_t** out,
                              int32_t* outStride);
uint32_t VideoRenderer_GetVersion();
// Places the picture in the configured rectangle by the aspect mode and
// rotation (display_geometry.h) and keeps it in picX..picH. Returns 1; 0 for
// a null renderer.
int VideoRenderer_ComputeOutputRect(VideoRenderer* r);
int VideoRenderer_IsDirectMode(uint32_t codec, uint32_t settings);
