#include "engine/output/video_renderer.h"

#include <cstring>
#include <new>

#include "engine/output/color_convert.h"
#include "engine/output/display_geometry.h"
#include "engine/player.h"

namespace {

const int32_t kFail = static_cast<int32_t>(0x80000000u);
const int32_t kOutOfMemory = static_cast<int32_t>(0x80000001u);
const int32_t kUnsupported = static_cast<int32_t>(0x80000014u);
const int32_t kFrameLate = static_cast<int32_t>(0x80000057u);
const int32_t kOutputInitFailed = static_cast<int32_t>(0x8000003Cu);

std::atomic<const DisplayDevice*> g_displays[8];
std::atomic<WindowRectFn> g_windowRect{nullptr};

const uint32_t kI420 = COLOR_FOURCC_I420;

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
    r->lock = OS_CreateLock();
    if (r->lock == OS_INVALID_HANDLE) {
        delete r;
        return kOutOfMemory;
    }
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
        OsLockGuard g(r->lock);
        if (r->ops.Close) r->ops.Close(r);
    }
    OS_DeleteLock(r->lock);
    OS_Free(r->conversion.data);
    delete[] r->overlayString;
    delete r;
}

int32_t VideoRenderer_SetDevice(VideoRenderer* r, uint32_t type) {
    if (!r) return kFail;
    OsLockGuard g(r->lock);
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
    OsLockGuard g(r->lock);
    if (!r->ops.Draw) return kUnsupported;
    if (!r->show) return kFrameLate;
    if (!frame || !frame->y) return 0;
    return r->ops.Draw(r, frame);
}

int32_t VideoRenderer_DrawEmpty(VideoRenderer* r, DecodedFrame* frame) {
    if (!r) return kFail;
    OsLockGuard g(r->lock);
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
    OsLockGuard g(r->lock);
    return r->ops.Refresh ? r->ops.Refresh(r, arg) : 0;
}

int VideoRenderer_SetRect(VideoRenderer* r, const VideoOutConfig* c) {
    if (!r) return 0;
    OsLockGuard g(r->lock);
    if (c) {
        r->window = c->fields[VIDEO_FIELD_WINDOW];
        r->x = static_cast<int32_t>(c->fields[VIDEO_FIELD_X]);
        r->y = static_cast<int32_t>(c->fields[VIDEO_FIELD_Y]);
        r->w = static_cast<int32_t>(c->fields[VIDEO_FIELD_WIDTH]);
        r->h = static_cast<int32_t>(c->fields[VIDEO_FIELD_HEIGHT]);
        r->rotation = static_cast<uint32_t>(c->fields[VIDEO_FIELD_ROTATION]);
        r->tvOut = static_cast<uint32_t>(c->fields[VIDEO_FIELD_TV_OUT]);
        r->layoutChanged = 1;
    }
    WindowRectFn fn = g_windowRect.load();
    int32_t rect[4];  // left, top, right, bottom
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
    OsLockGuard g(r->lock);
    r->aspectMode = static_cast<uint32_t>(c->fields[VIDEO_FIELD_ASPECT_MODE]);
    r->aspectW = static_cast<uint32_t>(c->fields[VIDEO_FIELD_ASPECT_WIDTH]);
    r->aspectH = static_cast<uint32_t>(c->fields[VIDEO_FIELD_ASPECT_HEIGHT]);
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
    if (c->flags & VIDEO_CONFIG_WINDOW) result &= VideoRenderer_SetRect(r, c);
    if (c->flags & VIDEO_CONFIG_ASPECT) result &= VideoRenderer_SetAspect(r, c);
    if (c->flags & VIDEO_CONFIG_SHOW)
        result &= VideoRenderer_SetShow(r, static_cast<uint32_t>(c->fields[VIDEO_FIELD_SHOW]));
    if (c->flags & VIDEO_CONFIG_OPTION)
        result &= VideoRenderer_SetOption(r, static_cast<uint32_t>(c->fields[VIDEO_FIELD_OPTION]));
    // The window is known before the device opens.
    if (c->flags & VIDEO_CONFIG_DEVICE)
        if (VideoRenderer_SetDevice(r, static_cast<uint32_t>(c->fields[VIDEO_FIELD_DEVICE])) < 0)
            result = 0;
    if (c->flags & (VIDEO_CONFIG_WINDOW | VIDEO_CONFIG_ASPECT)) VideoRenderer_Refresh(r, 1);
    return result;
}

int VideoRenderer_GetConfig(VideoRenderer* r, VideoOutConfig* c) {
    if (!r || !c) return 0;
    OsLockGuard g(r->lock);
    c->fields[VIDEO_FIELD_DEVICE] = r->deviceType;
    c->fields[VIDEO_FIELD_X] = static_cast<uintptr_t>(static_cast<uint32_t>(r->x));
    c->fields[VIDEO_FIELD_Y] = static_cast<uintptr_t>(static_cast<uint32_t>(r->y));
    c->fields[VIDEO_FIELD_WIDTH] = static_cast<uintptr_t>(static_cast<uint32_t>(r->w));
    c->fields[VIDEO_FIELD_HEIGHT] = static_cast<uintptr_t>(static_cast<uint32_t>(r->h));
    c->fields[VIDEO_FIELD_ASPECT_MODE] = r->aspectMode;
    return 1;
}

int VideoRenderer_SetOverlayText(VideoRenderer* r, const VideoOverlay* overlay) {
    if (!r) return 0;
    if (!overlay) return 1;
    OsLockGuard g(r->lock);
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

int VideoRenderer_SetOverlayParams(VideoRenderer* r, const uint32_t* words, uint32_t count) {
    if (!r || !words || count > VIDEO_OVERLAY_FIELD_COUNT) return 0;
    OsLockGuard g(r->lock);
    for (uint32_t i = 0; i < count; ++i) r->overlayWords[i] = words[i];
    return 1;
}

int VideoRenderer_SetOverlayField(VideoRenderer* r, uint32_t field, uint32_t value) {
    if (!r || field >= VIDEO_OVERLAY_FIELD_COUNT) return 0;
    OsLockGuard g(r->lock);
    r->overlayWords[field] = value;
    return 1;
}

int VideoRenderer_SetOverlayPosition(VideoRenderer* r, int32_t x, int32_t y) {
    if (!r) return 0;
    OsLockGuard g(r->lock);
    r->overlayWords[VIDEO_OVERLAY_X] = static_cast<uint32_t>(x);
    r->overlayWords[VIDEO_OVERLAY_Y] = static_cast<uint32_t>(y);
    return 1;
}

int VideoRenderer_SetOverlayColors(VideoRenderer* r, uint32_t color, uint32_t background) {
    if (!r) return 0;
    OsLockGuard g(r->lock);
    r->overlayWords[VIDEO_OVERLAY_COLOR] = color;
    r->overlayWords[VIDEO_OVERLAY_BACKGROUND] = background;
    return 1;
}

int VideoRenderer_SetOverlayString(VideoRenderer* r, const char* text) {
    if (!r) return 0;
    char* copy = nullptr;
    if (text) {
        size_t n = strnlen(text, VIDEO_OVERLAY_STRING_MAX);
        copy = new (std::nothrow) char[n + 1];
        if (!copy) return 0;
        std::memcpy(copy, text, n);
        copy[n] = 0;
    }
    char* old;
    {
        OsLockGuard g(r->lock);
        old = r->overlayString;
        r->overlayString = copy;
    }
    delete[] old;
    return 1;
}

int VideoRenderer_SetConversionTarget(VideoRenderer* r, uint32_t fourcc, uint32_t depth) {
    if (!r) return 0;
    OsLockGuard g(r->lock);
    r->targetFourcc = fourcc;
    r->targetDepth = depth;
    return 1;
}

int32_t VideoRenderer_Convert(VideoRenderer* r, const DecodedFrame* frame, const uint8_t** out,
                              int32_t* outStride) {
    if (!r || !frame || !out || !outStride) return kFail;
    *out = nullptr;
    *outStride = 0;
    OsLockGuard g(r->lock);
    const int w = static_cast<int>(r->width), h = static_cast<int>(r->height);
    int stride = 0;
    uint32_t need = ColorConvert_TargetLayout(r->targetFourcc, r->targetDepth, w, h, &stride);
    if (!need) return kFail;
    if (need > r->conversion.size) {
        // The old picture is not kept: the conversion overwrites it anyway.
        uint8_t* grown = static_cast<uint8_t*>(OS_Malloc(need));
        if (!grown) return kOutOfMemory;
        OS_Free(r->conversion.data);
        r->conversion.data = grown;
        r->conversion.size = need;
    }
    PlanarPicture src = {frame->y, frame->u, frame->v, static_cast<int>(frame->stride)};
    int32_t result = ColorConvert_Dispatch(r->sourceFourcc, &src, w, h, r->targetFourcc,
                                           r->targetDepth, r->conversion.data, stride, w, h);
    if (result < 0) return result;
    *out = r->conversion.data;
    *outStride = stride;
    return 0;
}
