// Proves the platform the player stands on: a window, DirectDraw (loaded at
// run time) with a "YV12" off-screen surface blitted to an RGB 5-6-5 surface
// and on to the primary surface, and wave output playing in real time.
#include <windows.h>
#include <ddraw.h>
#include <mmsystem.h>

#include <math.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/harness/harness.h"

namespace {

const int kWidth = 160;
const int kHeight = 120;

// Topmost: other Windows tests may open windows at the same time, and the
// check reads the screen.
struct Window {
    std::unique_ptr<uitest::RecordingWindow> window =
        uitest::MakeTopWindow(40, 40, 2 * kWidth, 2 * kHeight);
    HWND hwnd = window->hwnd();
};

template <typename T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() {
        if (p) p->Release();
    }
};

std::string Hr(HRESULT hr) {
    char buf[32];
    snprintf(buf, sizeof buf, "0x%08lX", (unsigned long)hr);
    return buf;
}

// Fills a YV12 surface: Y plane, then V, then U, each with the surface pitch
// (chroma planes at half pitch). Top half one colour, bottom half another.
void FillYv12(const DDSURFACEDESC& d, const unsigned char top[3], const unsigned char bottom[3]) {
    unsigned char* y = static_cast<unsigned char*>(d.lpSurface);
    LONG pitch = d.lPitch;
    unsigned char* v = y + pitch * d.dwHeight;
    unsigned char* u = v + (pitch / 2) * (d.dwHeight / 2);
    for (DWORD row = 0; row < d.dwHeight; ++row)
        memset(y + row * pitch, row < d.dwHeight / 2 ? top[0] : bottom[0], d.dwWidth);
    for (DWORD row = 0; row < d.dwHeight / 2; ++row) {
        const unsigned char* c = row < d.dwHeight / 4 ? top : bottom;
        memset(u + row * (pitch / 2), c[1], d.dwWidth / 2);
        memset(v + row * (pitch / 2), c[2], d.dwWidth / 2);
    }
}

}  // namespace

TEST(PlatformSmoke, DirectDrawYv12ToRgb565ToPrimary) {
    Window win;
    ASSERT_NE(nullptr, win.hwnd) << "CreateWindow failed: " << GetLastError();

    HMODULE ddraw = LoadLibraryA("DDRAW.DLL");
    ASSERT_NE(nullptr, ddraw) << "DDRAW.DLL did not load: " << GetLastError();
    typedef HRESULT(WINAPI * CreateFn)(GUID*, LPDIRECTDRAW*, IUnknown*);
    CreateFn create = reinterpret_cast<CreateFn>(
        reinterpret_cast<void*>(GetProcAddress(ddraw, "DirectDrawCreate")));
    ASSERT_NE(nullptr, create) << "no DirectDrawCreate";

    {
        ComPtr<IDirectDraw> dd;
        HRESULT hr = create(nullptr, &dd.p, nullptr);
        ASSERT_EQ(DD_OK, hr) << "DirectDrawCreate " << Hr(hr);
        hr = dd.p->SetCooperativeLevel(win.hwnd, DDSCL_NORMAL);
        ASSERT_EQ(DD_OK, hr) << "SetCooperativeLevel " << Hr(hr);

        DDSURFACEDESC pd = {};
        pd.dwSize = sizeof pd;
        pd.dwFlags = DDSD_CAPS;
        pd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        ComPtr<IDirectDrawSurface> primary;
        hr = dd.p->CreateSurface(&pd, &primary.p, nullptr);
        ASSERT_EQ(DD_OK, hr) << "primary surface " << Hr(hr);

        ComPtr<IDirectDrawClipper> clipper;
        hr = dd.p->CreateClipper(0, &clipper.p, nullptr);
        ASSERT_EQ(DD_OK, hr) << "CreateClipper " << Hr(hr);
        ASSERT_EQ(DD_OK, clipper.p->SetHWnd(0, win.hwnd));
        ASSERT_EQ(DD_OK, primary.p->SetClipper(clipper.p));

        DDSURFACEDESC yd = {};
        yd.dwSize = sizeof yd;
        yd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        yd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        yd.dwWidth = kWidth;
        yd.dwHeight = kHeight;
        yd.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
        yd.ddpfPixelFormat.dwFlags = DDPF_FOURCC;
        yd.ddpfPixelFormat.dwFourCC = MAKEFOURCC('Y', 'V', '1', '2');
        ComPtr<IDirectDrawSurface> yv12;
        hr = dd.p->CreateSurface(&yd, &yv12.p, nullptr);
        ASSERT_EQ(DD_OK, hr) << "YV12 surface " << Hr(hr);

        DDSURFACEDESC rd = {};
        rd.dwSize = sizeof rd;
        rd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        rd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        rd.dwWidth = kWidth;
        rd.dwHeight = kHeight;
        rd.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
        rd.ddpfPixelFormat.dwFlags = DDPF_RGB;
        rd.ddpfPixelFormat.dwRGBBitCount = 16;
        rd.ddpfPixelFormat.dwRBitMask = 0xF800;
        rd.ddpfPixelFormat.dwGBitMask = 0x07E0;
        rd.ddpfPixelFormat.dwBBitMask = 0x001F;
        ComPtr<IDirectDrawSurface> rgb;
        hr = dd.p->CreateSurface(&rd, &rgb.p, nullptr);
        ASSERT_EQ(DD_OK, hr) << "RGB 5-6-5 surface " << Hr(hr);

        // Top half red, bottom half blue (Y, U, V of BT.601 video range).
        const unsigned char red[3] = {81, 90, 240};
        const unsigned char blue[3] = {41, 240, 110};
        DDSURFACEDESC ld = {};
        ld.dwSize = sizeof ld;
        hr = yv12.p->Lock(nullptr, &ld, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr);
        ASSERT_EQ(DD_OK, hr) << "Lock YV12 " << Hr(hr);
        FillYv12(ld, red, blue);
        yv12.p->Unlock(nullptr);

        hr = rgb.p->Blt(nullptr, yv12.p, nullptr, DDBLT_WAIT, nullptr);
        ASSERT_EQ(DD_OK, hr) << "YV12 -> RGB 5-6-5 blit " << Hr(hr);

        // The 5-6-5 surface holds the converted colours.
        DDSURFACEDESC rl = {};
        rl.dwSize = sizeof rl;
        hr = rgb.p->Lock(nullptr, &rl, DDLOCK_WAIT | DDLOCK_READONLY, nullptr);
        ASSERT_EQ(DD_OK, hr) << "Lock RGB " << Hr(hr);
        const unsigned char* base = static_cast<const unsigned char*>(rl.lpSurface);
        WORD top =
            *reinterpret_cast<const WORD*>(base + rl.lPitch * (kHeight / 4) + 2 * (kWidth / 2));
        WORD bottom =
            *reinterpret_cast<const WORD*>(base + rl.lPitch * (3 * kHeight / 4) + 2 * (kWidth / 2));
        rgb.p->Unlock(nullptr);
        EXPECT_GE(top >> 11, 24) << std::hex << "top pixel " << top;
        EXPECT_LE((top >> 5) & 63, 16) << std::hex << "top pixel " << top;
        EXPECT_LE(top & 31, 8) << std::hex << "top pixel " << top;
        EXPECT_LE(bottom >> 11, 8) << std::hex << "bottom pixel " << bottom;
        EXPECT_GE(bottom & 31, 24) << std::hex << "bottom pixel " << bottom;

        // On to the window's client area, scaled up twice.
        RECT dst;
        GetClientRect(win.hwnd, &dst);
        POINT origin = {0, 0};
        ClientToScreen(win.hwnd, &origin);
        OffsetRect(&dst, origin.x, origin.y);
        hr = primary.p->Blt(&dst, rgb.p, nullptr, DDBLT_WAIT, nullptr);
        ASSERT_EQ(DD_OK, hr) << "RGB -> primary blit " << Hr(hr);

        // Read back from the screen; the presentation may lag a little.
        POINT pTop = {origin.x + kWidth, origin.y + kHeight / 2};
        POINT pBottom = {origin.x + kWidth, origin.y + 3 * kHeight / 2};
        COLORREF cTop = 0, cBottom = 0;
        for (int tries = 0; tries < 40; ++tries) {
            HDC screen = GetDC(nullptr);
            cTop = GetPixel(screen, pTop.x, pTop.y);
            cBottom = GetPixel(screen, pBottom.x, pBottom.y);
            ReleaseDC(nullptr, screen);
            if (GetRValue(cTop) > 180 && GetBValue(cTop) < 80 && GetBValue(cBottom) > 180 &&
                GetRValue(cBottom) < 80)
                break;
            uitest::PumpFor(50);
            primary.p->Blt(&dst, rgb.p, nullptr, DDBLT_WAIT, nullptr);
        }
        EXPECT_GT(GetRValue(cTop), 180) << std::hex << "screen top " << cTop;
        EXPECT_LT(GetGValue(cTop), 80) << std::hex << "screen top " << cTop;
        EXPECT_LT(GetBValue(cTop), 80) << std::hex << "screen top " << cTop;
        EXPECT_LT(GetRValue(cBottom), 80) << std::hex << "screen bottom " << cBottom;
        EXPECT_GT(GetBValue(cBottom), 180) << std::hex << "screen bottom " << cBottom;
    }
    FreeLibrary(ddraw);
}

namespace {

struct WaveProbe {
    HANDLE done;
    LONG finished;
    LONG total;
    DWORD lastTick;
};

void CALLBACK WaveCallback(HWAVEOUT, UINT msg, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    if (msg != WOM_DONE) return;
    WaveProbe* probe = reinterpret_cast<WaveProbe*>(user);
    if (InterlockedIncrement(&probe->finished) == probe->total) {
        probe->lastTick = GetTickCount();
        SetEvent(probe->done);
    }
}

}  // namespace

TEST(PlatformSmoke, WaveOutputPlaysInRealTime) {
    const DWORD rate = 44100, channels = 2;
    const int blocks = 20;  // 50 ms each, like the engine
    const DWORD frames = rate / blocks;
    WAVEFORMATEX fmt = {};
    fmt.wFormatTag = WAVE_FORMAT_PCM;
    fmt.nChannels = (WORD)channels;
    fmt.nSamplesPerSec = rate;
    fmt.wBitsPerSample = 16;
    fmt.nBlockAlign = (WORD)(channels * 2);
    fmt.nAvgBytesPerSec = rate * fmt.nBlockAlign;

    WaveProbe probe = {CreateEventA(nullptr, TRUE, FALSE, nullptr), 0, blocks, 0};
    HWAVEOUT wo = nullptr;
    MMRESULT mr = waveOutOpen(&wo, WAVE_MAPPER, &fmt, reinterpret_cast<DWORD_PTR>(WaveCallback),
                              reinterpret_cast<DWORD_PTR>(&probe), CALLBACK_FUNCTION);
    ASSERT_EQ(MMSYSERR_NOERROR, mr) << "waveOutOpen on the wave mapper failed: " << mr;

    // One second of a quiet 440 Hz tone.
    std::vector<short> pcm(frames * blocks * channels);
    for (size_t i = 0; i < pcm.size() / channels; ++i) {
        short s = (short)(3000 * sin(2 * 3.14159265 * 440 * (double)i / rate));
        for (DWORD c = 0; c < channels; ++c) pcm[i * channels + c] = s;
    }
    std::vector<WAVEHDR> hdrs(blocks);
    for (int b = 0; b < blocks; ++b) {
        WAVEHDR& h = hdrs[b];
        memset(&h, 0, sizeof h);
        h.lpData = reinterpret_cast<LPSTR>(&pcm[(size_t)b * frames * channels]);
        h.dwBufferLength = frames * fmt.nBlockAlign;
        ASSERT_EQ(MMSYSERR_NOERROR, waveOutPrepareHeader(wo, &h, sizeof h));
    }
    DWORD start = GetTickCount();
    for (int b = 0; b < blocks; ++b)
        ASSERT_EQ(MMSYSERR_NOERROR, waveOutWrite(wo, &hdrs[b], sizeof(WAVEHDR)));
    DWORD waited = WaitForSingleObject(probe.done, 10000);
    DWORD took = probe.lastTick - start;
    EXPECT_EQ(WAIT_OBJECT_0, waited)
        << "only " << probe.finished << " of " << blocks << " blocks finished";
    if (waited == WAIT_OBJECT_0) {
        // 1 s of sound: a device that swallows it faster is no clock; the
        // upper bound leaves room for start-up latency on a busy machine.
        EXPECT_GE(took, 800u);
        EXPECT_LE(took, 2500u);
    }
    waveOutReset(wo);
    for (WAVEHDR& h : hdrs) waveOutUnprepareHeader(wo, &h, sizeof h);
    waveOutClose(wo);
    CloseHandle(probe.done);
    RecordProperty("wave_ms", (int)took);
    printf("wave output: 1000 ms of PCM played in %lu ms\n", (unsigned long)took);
}
