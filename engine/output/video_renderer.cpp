#include "engine/output/video_renderer.h"

#include "engine/output/display_geometry.h"

#include <cstring>
#include <new>

#include "engine/player.h"

namespace {

const int32_t kFail = static_cast<int32_t>(0x80000000u);
const int32_t kOutOfMemory = static_cast<int32_t>(0x80000001u);
const int32_t kUnsupported = static_cast<int32_t>(0x80000014u);
const int32_t kFrameLate = static_cast<int32_t>(0x80000057u);
const int32_t kOutputInitFailed = static_cast<int32_t>(0x8000003Cu);

std::atomic<const DisplayDevice*> g_displays[8];
std::atomic<WindowRectFn> g_windowRect{nullptr};

const uint32_t kI420 = 'I' | ('4' << 8) | ('2' << 16) | ('0' << 24);

}  // namespace

void VideoRenderer_RegisterDevice(uint32_t type, const DisplayDevice* ops) {
    if (type < 8) g_displays[type].store(ops);
}

void VideoRenderer_RegisterDefaultDevice(uint32_t type, const DisplayDevice* ops) {
    const DisplayDevice* none = nullptr;
    if (type < 8) g_displays[type].compare_exchange_strong(none, ops);
}

void VideoRenderer_SetWindowRectSource(WindowRectFn fn) { g_windowRect.store(fn); }

int32_t VideoRenderer_Create(VideoRenderer** out, const VideoRendererFormat* format,
                             uint32_t useCodecFourcc) {
    if (!out || !format) return kFail;
    *out = nullptr;
    VideoRenderer* r = new (std::nothrow) VideoRenderer();
    if (!r) return kOutOfMemory;
    r->codec = format->codecFourcc;
    r->sourceFourcc = useCodecFourcc ? format->codecFourcc
                                     : (format->outputFourcc ? format->outputFourcc : kI420);
    r->width = format->width;
    r->height = format->height;
    r->config = format->config;
    r->configSize = format->configSize;
    r->show = 1;
    *out = r;
    return 0;
}

void VideoRenderer_Destroy(VideoRenderer* r) {
    if (!r) return;
    {
        std::lock_guard<std::mutex> g(r->lock);
        if (r->ops.Close) r->ops.Close(r);
    }
    delete r;
}

int32_t VideoRenderer_SetDevice(VideoRenderer* r, uint32_t type) {
    if (!r) return kFail;
    std::lock_guard<std::mutex> g(r->lock);
    if (r->ops.Close) r->ops.Close(r);
    const DisplayDevice* ops = type < 8 ? g_displays[type].load() : nullptr;
    if (ops) r->ops = *ops;
    if (!r->ops.Open) return kOutputInitFailed;
    int32_t result = r->ops.Open(r);
    if (result < 0) return result;
    r->deviceType = type;
    return 0;
}

int32_t VideoRenderer_DrawFrame(VideoRenderer* r, const DecodedFrame* frame) {
    if (!r) return kFail;
    std::lock_guard<std::mutex> g(r->lock);
    if (!r->ops.Draw) return kUnsupported;
    if (!r->show) return kFrameLate;
    if (!frame || !frame->y) return 0;
    return r->ops.Draw(r, frame);
}

int32_t VideoRenderer_DrawEmpty(VideoRenderer* r, DecodedFrame* frame) {
    if (!r) return kFail;
    std::lock_guard<std::mutex> g(r->lock);
    if (!r->ops.DrawEmpty) return kUnsupported;
    int32_t result = kFrameLate;
    if (r->show) {
        result = r->ops.DrawEmpty(r, frame);
        if (frame) frame->y = nullptr;
    }
    if (frame) frame->u = nullptr;
    return result;
}

int32_t VideoRenderer_Refresh(VideoRenderer* r, uint32_t arg) {
    if (!r) return 0;
    std::lock_guard<std::mutex> g(r->lock);
    return r->ops.Refresh ? r->ops.Refresh(r, arg) : 0;
}

int VideoRenderer_SetRect(VideoRenderer* r, const VideoOutConfig* c) {
    if (!r) return 0;
    std::lock_guard<std::mutex> g(r->lock);
    if (c) {
        r->window = c->fields[1];
        r->x = static_cast<int32_t>(c->fields[2]);
        r->y = static_cast<int32_t>(c->fields[3]);
        r->w = static_cast<int32_t>(c->fields[4]);
        r->h = static_cast<int32_t>(c->fields[5]);
        r->rotation = static_cast<uint32_t>(c->fields[9]);
        r->tvOut = static_cast<uint32_t>(c->fields[10]);
        r->layoutChanged = 1;
    }
    WindowRectFn fn = g_windowRect.load();
    int32_t rect[4];
    if (r->window && fn && fn(r->window, rect)) {
        r->x = rect[0];
        r->y = rect[1];
        r->w = rect[2] - rect[0];
        r->h = rect[3] - rect[1];
    }
    if (r->tvOut) {
        r->rotation = 0;
        r->w = 720;
        r->h = r->tvOut == 1 ? 480 : 525;
    }
    return 1;
}

int VideoRenderer_SetAspect(VideoRenderer* r, const VideoOutConfig* c) {
    if (!r || !c) return 0;
    std::lock_guard<std::mutex> g(r->lock);
    r->aspectMode = static_cast<uint32_t>(c->fields[6]);
    r->aspectW = static_cast<uint32_t>(c->fields[7]);
    r->aspectH = static_cast<uint32_t>(c->fields[8]);
    r->layoutChanged = 1;
    return 1;
}

int VideoRenderer_SetShow(VideoRenderer* r, uint32_t flag) {
    if (!r) return 0;
    r->show = flag;
    return 1;
}

int VideoRenderer_SetOption(VideoRenderer* r, uint32_t word) {
    if (!r) return 0;
    r->option = word;
    return 1;
}

int VideoRenderer_SetConfig(VideoRenderer* r, const VideoOutConfig* c) {
    if (!r || !c) return 0;
    int result = 1;
    if (c->flags & 0x2) result &= VideoRenderer_SetRect(r, c);
    if (c->flags & 0x4) result &= VideoRenderer_SetAspect(r, c);
    if (c->flags & 0x8) result &= VideoRenderer_SetShow(r, static_cast<uint32_t>(c->fields[11]));
    if (c->flags & 0x10) result &= VideoRenderer_SetOption(r, static_cast<uint32_t>(c->fields[12]));
    if (c->flags & 0x1)
        if (VideoRenderer_SetDevice(r, static_cast<uint32_t>(c->fields[0])) < 0) result = 0;
    if (c->flags & 0x6) VideoRenderer_Refresh(r, 1);
    return result;
}

int VideoRenderer_GetConfig(VideoRenderer* r, VideoOutConfig* c) {
    if (!r || !c) return 0;
    std::lock_guard<std::mutex> g(r->lock);
    c->fields[0] = r->deviceType;
    c->fields[2] = static_cast<uintptr_t>(static_cast<uint32_t>(r->x));
    c->fields[3] = static_cast<uintptr_t>(static_cast<uint32_t>(r->y));
    c->fields[4] = static_cast<uintptr_t>(static_cast<uint32_t>(r->w));
    c->fields[5] = static_cast<uintptr_t>(static_cast<uint32_t>(r->h));
    c->fields[6] = r->aspectMode;
    return 1;
}

int VideoRenderer_SetOverlayText(VideoRenderer* r, const VideoOverlay* overlay) {
    if (!r) return 0;
    if (!overlay) return 1;
    std::lock_guard<std::mutex> g(r->lock);
    r->overlay = *overlay;
    return 1;
}

uint32_t VideoRenderer_GetVersion() { return 31; }

int VideoRenderer_IsDirectMode(uint32_t, uint32_t) { return 0; }

int VideoRenderer_ComputeOutputRect(VideoRenderer* r) {
    if (!r) return 0;
    OutputRectInput in = {r->x,          r->y,       r->w,       r->h,     r->rotation,
                          r->aspectMode, r->aspectW, r->aspectH, r->width, r->height};
    OutputRect out = ComputeOutputRect(in);
    r->picX = out.x;
    r->picY = out.y;
    r->picW = out.width;
    r->picH = out.height;
    return 1;
}
