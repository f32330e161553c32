// Video renderer: keeps the application's video settings, installs a
// display device's operations in its table and hands each decoded picture
// to the device's Draw under its lock.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <atomic>
#include <cstdint>
#include <mutex>

#include "engine/decode/text_decoder.h"
#include "engine/player.h"
#include "engine/decode/video_decoder.h"

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
// one; without it the given rectangle is kept). Result 1 when filled.
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
    std::mutex lock;
    VideoOverlay overlay;
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
uint32_t VideoRenderer_GetVersion();
// Places the picture in the configured rectangle by the aspect mode and
// rotation (display_geometry.h) and keeps it in picX..picH. Returns 1; 0 for
// a null renderer.
int VideoRenderer_ComputeOutputRect(VideoRenderer* r);
int VideoRenderer_IsDirectMode(uint32_t codec, uint32_t settings);
