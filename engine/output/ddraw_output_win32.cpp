// DirectDraw output: the picture goes into a "YV12" off-screen surface, the
// display converts it into a screen-sized RGB 5-6-5 surface, a line of text
// from the application is drawn there, and the result is copied over the
// window on the primary surface.
#include <windows.h>
#include <ddraw.h>

#include <cstring>

#include "engine/output/video_renderer.h"
#include "engine/win_outputs.h"

namespace {

const int32_t kFail = static_cast<int32_t>(0x80000000u);

struct DdrawState {
    HWND window;
    HDC windowDc;
    uint32_t width, height;
    HMODULE library;
    IDirectDraw* ddraw;
    IDirectDrawSurface* primary;
    IDirectDrawSurface* rgb;
    IDirectDrawSurface* yv12;
    IDirectDrawClipper* clipper;
};

struct DdrawContext {
    DdrawState state;
    char text[DDRAW_TEXT_BUFFER_SIZE];
    uint32_t frameTimeMs;
    FrameTextCallback callback;
};

DdrawContext g_context;

template <typename T>
void Release(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

void DdrawRendererClose(void** out) {
    if (!out || !*out) return;
    DdrawState& s = g_context.state;
    if (s.windowDc) ReleaseDC(s.window, s.windowDc);
    Release(s.clipper);
    Release(s.yv12);
    Release(s.rgb);
    Release(s.primary);
    Release(s.ddraw);
    if (s.library) FreeLibrary(s.library);
    *out = nullptr;
    std::memset(&g_context, 0, sizeof g_context);
}

void OffscreenDesc(DDSURFACEDESC* d, DWORD width, DWORD height) {
    std::memset(d, 0, sizeof *d);
    d->dwSize = sizeof *d;
    d->dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    d->ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    d->dwWidth = width;
    d->dwHeight = height;
    d->ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
}

// The display may set up its YV12 conversion only at the first blit (Wine's
// takes a third of a second there). A black picture goes through the whole
// path now, while the output opens and before the clock runs, so that the
// first picture of the clip is not held up behind it.
void Prime(DdrawState& s) {
    DDSURFACEDESC d = {};
    d.dwSize = sizeof d;
    if (s.yv12->Lock(nullptr, &d, DDLOCK_WAIT, nullptr) != DD_OK) return;
    uint8_t* dst = static_cast<uint8_t*>(d.lpSurface);
    const size_t luma = size_t(d.lPitch) * s.height;
    std::memset(dst, 16, luma);
    std::memset(dst + luma, 128, size_t(d.lPitch / 2) * (s.height / 2) * 2);
    if (s.yv12->Unlock(nullptr) != DD_OK) return;
    RECT src = {0, 0, static_cast<LONG>(s.width), static_cast<LONG>(s.height)};
    RECT win = {};
    GetWindowRect(s.window, &win);
    RECT dstRect = {win.left, win.top, win.left + static_cast<LONG>(s.width),
                    win.top + static_cast<LONG>(s.height)};
    s.rgb->Blt(&dstRect, s.yv12, &src, 0, nullptr);
    s.primary->Blt(&dstRect, s.rgb, &dstRect, 0, nullptr);
}

int32_t DdrawRendererOpen(HWND window, uint32_t width, uint32_t height, uint32_t, void** out) {
    std::memset(&g_context, 0, sizeof g_context);
    *out = &g_context;
    DdrawState& s = g_context.state;
    s.window = window;
    s.width = width;
    s.height = height;
    typedef HRESULT(WINAPI * CreateFn)(GUID*, LPDIRECTDRAW*, IUnknown*);
    CreateFn create = nullptr;
    DDCAPS driverCaps = {}, emulCaps = {};
    DDSURFACEDESC d = {};
    s.library = LoadLibraryA("DDRAW.DLL");
    if (!s.library) goto fail;
    create = reinterpret_cast<CreateFn>(
        reinterpret_cast<void*>(GetProcAddress(s.library, "DirectDrawCreate")));
    if (!create || create(nullptr, &s.ddraw, nullptr) != DD_OK) goto fail;
    if (s.ddraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL) != DD_OK) goto fail;
    driverCaps.dwSize = sizeof driverCaps;
    emulCaps.dwSize = sizeof emulCaps;
    if (s.ddraw->GetCaps(&driverCaps, &emulCaps) != DD_OK) goto fail;
    d.dwSize = sizeof d;
    d.dwFlags = DDSD_CAPS;
    d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (s.ddraw->CreateSurface(&d, &s.primary, nullptr) != DD_OK) goto fail;
    if (s.ddraw->CreateClipper(0, &s.clipper, nullptr) != DD_OK) goto fail;
    if (s.clipper->SetHWnd(0, window) != DD_OK) goto fail;
    if (s.primary->SetClipper(s.clipper) != DD_OK) goto fail;
    s.windowDc = GetDC(window);
    if (!s.windowDc) goto fail;
    SetBkMode(s.windowDc, TRANSPARENT);
    OffscreenDesc(&d, width, height);
    d.ddpfPixelFormat.dwFlags = DDPF_FOURCC;
    d.ddpfPixelFormat.dwFourCC = MAKEFOURCC('Y', 'V', '1', '2');
    if (s.ddraw->CreateSurface(&d, &s.yv12, nullptr) != DD_OK) goto fail;
    OffscreenDesc(&d, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    d.ddpfPixelFormat.dwFlags = DDPF_RGB;
    d.ddpfPixelFormat.dwRGBBitCount = 16;
    d.ddpfPixelFormat.dwRBitMask = 0xF800;
    d.ddpfPixelFormat.dwGBitMask = 0x07E0;
    d.ddpfPixelFormat.dwBBitMask = 0x001F;
    if (s.ddraw->CreateSurface(&d, &s.rgb, nullptr) != DD_OK) goto fail;
    if (s.rgb->SetClipper(s.clipper) != DD_OK) goto fail;
    Prime(s);
    return 0;
fail:
    DdrawRendererClose(out);
    return kFail;
}

void Blit(DdrawState& s, const uint8_t* y, const uint8_t* u, const uint8_t* v, uint32_t stride,
          const char* text, uint32_t length) {
    DDSURFACEDESC d = {};
    d.dwSize = sizeof d;
    if (s.yv12->Lock(nullptr, &d, DDLOCK_WAIT, nullptr) != DD_OK) return;
    uint8_t* dst = static_cast<uint8_t*>(d.lpSurface);
    const LONG p = d.lPitch;
    for (uint32_t row = 0; row < s.height; ++row)
        std::memcpy(dst + row * p, y + size_t(row) * stride, s.width);
    dst += p * s.height;
    for (uint32_t row = 0; row < s.height / 2; ++row)
        std::memcpy(dst + row * (p / 2), v + size_t(row) * (stride / 2), s.width / 2);
    dst += (p / 2) * (s.height / 2);
    for (uint32_t row = 0; row < s.height / 2; ++row)
        std::memcpy(dst + row * (p / 2), u + size_t(row) * (stride / 2), s.width / 2);
    if (s.yv12->Unlock(nullptr) != DD_OK) return;
    RECT src = {0, 0, static_cast<LONG>(s.width), static_cast<LONG>(s.height)};
    RECT win = {};
    GetWindowRect(s.window, &win);
    RECT dstRect = {win.left, win.top, win.left + static_cast<LONG>(s.width),
                    win.top + static_cast<LONG>(s.height)};
    s.rgb->Blt(&dstRect, s.yv12, &src, 0, nullptr);
    if (text && length > 0) {
        HDC dc = nullptr;
        if (s.rgb->GetDC(&dc) == DD_OK) {
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(0xFF, 0, 0));
            DrawTextA(dc, text, static_cast<int>(strnlen(text, DDRAW_TEXT_BUFFER_SIZE)), &dstRect,
                      DT_BOTTOM);
            s.rgb->ReleaseDC(dc);
        }
    }
    s.primary->Blt(&dstRect, s.rgb, &dstRect, 0, nullptr);
}

int32_t DdrawRendererDrawFrame(const uint8_t* y, const uint8_t* u, const uint8_t* v,
                               uint32_t stride, uint32_t, uint32_t timeMs, void* handle) {
    if (!handle || !y || !u || !v) return kFail;
    DdrawContext* c = static_cast<DdrawContext*>(handle);
    uint32_t length = DDRAW_TEXT_BUFFER_SIZE;
    if (c->callback) {
        c->frameTimeMs = timeMs;
        c->callback(&c->frameTimeMs, c->text, &length);
    }
    // The callback's text is kept inside the buffer whatever it wrote.
    c->text[DDRAW_TEXT_BUFFER_SIZE - 1] = 0;
    if (length > DDRAW_TEXT_BUFFER_SIZE - 1) length = DDRAW_TEXT_BUFFER_SIZE - 1;
    Blit(c->state, y, u, v, stride, c->text, length);
    return 0;
}

// Display table slots of type 1; the output offers no refresh.
int32_t VideoOut_Open(VideoRenderer* r) {
    return DdrawRendererOpen(reinterpret_cast<HWND>(r->window), r->width, r->height, r->aspectMode,
                             &r->display);
}

void VideoOut_Close(VideoRenderer* r) { DdrawRendererClose(&r->display); }

int32_t VideoOut_Draw(VideoRenderer* r, const DecodedFrame* f) {
    return DdrawRendererDrawFrame(f->y, f->u, f->v, f->stride, r->aspectMode, f->time, r->display);
}

int32_t VideoOut_DrawEmpty(VideoRenderer*, DecodedFrame*) { return kFail; }

const DisplayDevice kDdraw = {VideoOut_Open, VideoOut_Close, nullptr, VideoOut_Draw,
                              VideoOut_DrawEmpty};

}  // namespace

void DdrawRendererSetTextCallback(FrameTextCallback callback) { g_context.callback = callback; }

// Operations the output offers but no display slot installs.
void DdrawRendererNoop(void* handle);
int32_t DdrawRendererUnsupported();
int32_t VideoOut_Noop(VideoRenderer* r);

void DdrawRendererNoop(void*) {}
int32_t DdrawRendererUnsupported() { return kFail; }
int32_t VideoOut_Noop(VideoRenderer* r) {
    DdrawRendererNoop(r ? r->display : nullptr);
    return 0;
}

void DdrawOutput_Register() { VideoRenderer_RegisterDevice(VIDEO_DEVICE_DDRAW, &kDdraw); }
const DisplayDevice* DdrawOutput_Device() { return &kDdraw; }
