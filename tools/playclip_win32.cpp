// playclip CLIP [--seconds N] [--speed P] [--screenshot FILE.bmp] [--trace]
// Plays a recorder clip in a window through the engine's default outputs
// (the wave output and the DirectDraw output), with the G-sensor record's
// date and time drawn over the picture, and prints how the pictures kept up
// with the audio clock. With --trace each drawn picture's time and the clock
// go to stderr. A clip that cannot be played prints the engine's error and
// exits with 2. It uses the public interface only.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "engine/player.h"
#include "engine/win_outputs.h"

namespace {

struct DataRecord {
    uint32_t timeMs;
    std::vector<uint8_t> bytes;
};

std::vector<DataRecord> g_records;
std::mutex g_recordsLock;
PlayerContext* g_player = nullptr;
std::atomic<int> g_opened{0};

// Measures, taken in the text callback, which the DirectDraw output calls on
// the video task for every picture it draws.
std::atomic<uint32_t> g_shown{0}, g_dropped{0}, g_late{0}, g_maxGap{0}, g_lastShownMs{0};
// The largest gap once the first half second is over: the audio clock starts
// with the device's first played-fragment report, which Wine's wave output
// gives late, so the pictures of the start are shown behind a clock jump.
std::atomic<uint32_t> g_maxSteadyGap{0};
std::atomic<bool> g_measuring{true};  // off before the stop, whose redraws are no playback
DWORD g_firstDrawTick = 0;
uint32_t g_lastFrameMs = 0, g_minStep = 0;
bool g_haveFrame = false;
bool g_trace = false;

// The G-sensor record ('M' at byte 0 or 1) of a frame time, written as date
// and time; other records leave the previous text in place.
void Measure(uint32_t frameMs) {
    if (!g_measuring) return;
    PlayerPlaybackInfo pb = {};
    uint32_t now = Player_GetPlaybackInfo(g_player, &pb) ? pb.clockMs : frameMs;
    uint32_t gap = now > frameMs ? now - frameMs : frameMs - now;
    if (!g_haveFrame) g_firstDrawTick = GetTickCount();
    if (GetTickCount() - g_firstDrawTick >= 500 && gap > g_maxSteadyGap) g_maxSteadyGap = gap;
    if (g_haveFrame && frameMs > g_lastFrameMs) {
        uint32_t step = frameMs - g_lastFrameMs;
        if (g_minStep == 0 || step < g_minStep) g_minStep = step;
        if (g_minStep && step > g_minStep + g_minStep / 2)
            g_dropped += (step + g_minStep / 2) / g_minStep - 1;
    }
    g_haveFrame = true;
    g_lastFrameMs = frameMs;
    g_shown++;
    if (gap > 40) g_late++;
    if (gap > g_maxGap) g_maxGap = gap;
    g_lastShownMs = frameMs;
    if (g_trace)
        std::fprintf(stderr, "draw t=%u clock=%u tick=%lu\n", frameMs, now, GetTickCount());
}

void OnFrameText(uint32_t* timeMs, char* text, uint32_t* length) {
    Measure(*timeMs);
    std::lock_guard<std::mutex> g(g_recordsLock);
    const DataRecord* rec = nullptr;
    for (const DataRecord& r : g_records) {
        if (r.timeMs > *timeMs) break;
        rec = &r;
    }
    if (!rec) {
        std::memset(text, 0, *length);
        *length = 0;
        return;
    }
    const std::vector<uint8_t>& b = rec->bytes;
    size_t m = b.size() > 1 && b[1] == 'M' ? 1 : (b.size() > 0 && b[0] == 'M' ? 0 : SIZE_MAX);
    if (m == SIZE_MAX || b.size() < m + 13) return;
    const uint8_t* t = &b[m + 7];
    int n = std::snprintf(text, *length, "%04d/%02d/%02d %02d:%02d:%02d", t[0] + 2000, t[1], t[2],
                          t[3], t[4], t[5]);
    *length = n > 0 ? static_cast<uint32_t>(n) : 0;
}

void OnOpened(void*) {
    std::vector<DataRecord> recs;
    for (int i = 0; i < 100000; ++i) {
        uint8_t buf[1024];
        uint32_t len = sizeof buf, t = 0;
        if (Player_ReadTextSample(g_player, buf, &len, &t) < 0) break;
        recs.push_back({t, std::vector<uint8_t>(buf, buf + len)});
    }
    {
        std::lock_guard<std::mutex> g(g_recordsLock);
        g_records.swap(recs);
    }
    DdrawRendererSetTextCallback(OnFrameText);
    g_opened = 1;
}

void OnNothing(void*) {}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void Pump(DWORD ms) {
    DWORD start = GetTickCount();
    do {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        Sleep(10);
    } while (GetTickCount() - start < ms);
}

// Saves the window's screen area as a 24-bit BMP.
bool SaveScreenshot(HWND hwnd, const char* path) {
    RECT wr;
    GetWindowRect(hwnd, &wr);
    int w = wr.right - wr.left, h = wr.bottom - wr.top;
    if (w <= 0 || h <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;  // bottom-up, as BMP files store rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bmp) {
        HGDIOBJ old = SelectObject(mem, bmp);
        BitBlt(mem, 0, 0, w, h, screen, wr.left, wr.top, SRCCOPY);
        GdiFlush();
        SelectObject(mem, old);
        uint32_t rowBytes = (uint32_t(w) * 3 + 3) & ~3u;
        uint32_t imageBytes = rowBytes * uint32_t(h);
        BITMAPFILEHEADER fh = {};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
        fh.bfSize = fh.bfOffBits + imageBytes;
        bi.bmiHeader.biSizeImage = imageBytes;
        if (FILE* f = std::fopen(path, "wb")) {
            ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 &&
                 std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
                 std::fwrite(bits, 1, imageBytes, f) == imageBytes;
            ok = std::fclose(f) == 0 && ok;
        }
        DeleteObject(bmp);
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

int Usage() {
    std::fprintf(
        stderr,
        "usage: playclip CLIP [--seconds N] [--speed P] [--screenshot FILE.bmp] [--trace]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const char* clip = nullptr;
    const char* shot = nullptr;
    double seconds = 5;
    unsigned speed = 100;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--seconds" && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else if (a == "--speed" && i + 1 < argc) {
            speed = static_cast<unsigned>(std::atoi(argv[++i]));
        } else if (a == "--trace") {
            g_trace = true;
        } else if (a == "--screenshot" && i + 1 < argc) {
            shot = argv[++i];
        } else if (a[0] == '-' || clip) {
            return Usage();
        } else {
            clip = argv[i];
        }
    }
    if (!clip || seconds <= 0 || speed == 0) return Usage();

    int wlen = MultiByteToWideChar(CP_ACP, 0, clip, -1, nullptr, 0);
    std::vector<wchar_t> wide(wlen > 0 ? wlen : 1);
    MultiByteToWideChar(CP_ACP, 0, clip, -1, wide.data(), wlen);
    std::u16string name(wide.begin(), wide.end() - 1);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "DcPlayClip";
    RegisterClassA(&wc);

    // Size the window to the picture (capped to the screen).
    PlayerOpenParams probe = {};
    probe.fileName = name.c_str();
    MediaInfoSummary info = {};
    int32_t pr = Player_GetMediaInfo(&probe, &info, nullptr);
    if (pr < 0) {
        std::fprintf(stderr, "playclip: %s: %s (0x%08X)\n", clip, Player_GetErrorText(pr),
                     static_cast<uint32_t>(pr));
        return 2;
    }
    int w = 640, h = 480;
    if (info.videoCount && info.video[0].width && info.video[0].height) {
        w = static_cast<int>(info.video[0].width);
        h = static_cast<int>(info.video[0].height);
    }
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, "DcPlayClip", "playclip", WS_POPUP | WS_VISIBLE, 0,
                                0, w, h, nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd) {
        std::fprintf(stderr, "playclip: no window (%lu)\n", GetLastError());
        return 1;
    }
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    Pump(100);

    PlayerCreateConfig cfg = {OnOpened, OnNothing, OnNothing, nullptr, 0, 0, 0, 0};
    g_player = Player_Create(&cfg);
    if (!g_player) {
        std::fprintf(stderr, "playclip: no player\n");
        return 1;
    }
    VideoOutConfig v = {};
    v.flags = VIDEO_CONFIG_DEVICE | VIDEO_CONFIG_WINDOW;
    v.fields[VIDEO_FIELD_DEVICE] = PLAYER_VIDEO_OUTPUT_DDRAW;
    v.fields[VIDEO_FIELD_WINDOW] = reinterpret_cast<uintptr_t>(hwnd);
    v.fields[VIDEO_FIELD_WIDTH] = static_cast<uintptr_t>(w);
    v.fields[VIDEO_FIELD_HEIGHT] = static_cast<uintptr_t>(h);
    Player_SetVideoConfig(g_player, &v);
    AudioOutConfig a = {};
    a.flags = AUDIO_CONFIG_DEVICE;
    a.fields[AUDIO_FIELD_DEVICE] = PLAYER_AUDIO_OUTPUT_WAVE;
    Player_SetAudioConfig(g_player, &a);

    PlayerOpenParams p = {};
    p.fileName = name.c_str();
    if (!Player_Open(g_player, &p)) {
        std::fprintf(stderr, "playclip: open failed\n");
        Player_Destroy(g_player);
        return 1;
    }
    // Until the clip opens, or ends with the reason it cannot be played.
    PlayerStatus st = {};
    for (int i = 0; i < 500 && !g_opened; ++i) {
        Pump(10);
        Player_PeekStatus(g_player, &st);
        if (st.state == PLAYER_STATE_IDLE || st.state == PLAYER_STATE_FINISHED) break;
    }
    if (!g_opened) {
        Player_GetStatus(g_player, &st);
        int32_t code = static_cast<int32_t>(st.lastError);
        if (code < 0)
            std::fprintf(stderr, "playclip: %s: %s (0x%08X)\n", clip, Player_GetErrorText(code),
                         st.lastError);
        else
            std::fprintf(stderr, "playclip: %s: did not open\n", clip);
        Player_Destroy(g_player);
        return 2;
    }
    if (speed != 100) Player_SetSpeed(g_player, speed);

    FILETIME c0, e0, k0, u0, c1, e1, k1, u1;
    GetProcessTimes(GetCurrentProcess(), &c0, &e0, &k0, &u0);
    DWORD start = GetTickCount();
    uint32_t lastError = 0;
    while (GetTickCount() - start < static_cast<DWORD>(seconds * 1000)) {
        Pump(50);
        Player_GetStatus(g_player, &st);
        if (st.lastError) lastError = st.lastError;
        if (st.state == PLAYER_STATE_FINISHED || st.state == PLAYER_STATE_RANGE_END) break;
    }
    g_measuring = false;
    double wall = (GetTickCount() - start) / 1000.0;
    GetProcessTimes(GetCurrentProcess(), &c1, &e1, &k1, &u1);
    auto ticks = [](const FILETIME& f) {
        return (uint64_t(f.dwHighDateTime) << 32) | f.dwLowDateTime;
    };
    double cpu = double(ticks(k1) - ticks(k0) + ticks(u1) - ticks(u0)) / 1e7;
    PlayerPlaybackInfo pb = {};
    Player_GetPlaybackInfo(g_player, &pb);
    uint32_t audioMs = pb.clockMs;
    int hasAudio = pb.audioOutput != 0;

    if (shot) {
        if (SaveScreenshot(hwnd, shot))
            std::printf("screenshot=%s\n", shot);
        else
            std::fprintf(stderr, "playclip: screenshot %s failed\n", shot);
    }
    Player_Stop(g_player);
    Player_Destroy(g_player);
    std::printf(
        "shown=%u dropped=%u late=%u max_av_gap_ms=%u audio_ms=%u video_ms=%u "
        "steady_max_av_gap_ms=%u\n",
        g_shown.load(), g_dropped.load(), g_late.load(), g_maxGap.load(), hasAudio ? audioMs : 0u,
        g_lastShownMs.load(), g_maxSteadyGap.load());
    std::printf("audio=%s cpu_s_per_s=%.3f wall_s=%.1f%s\n", hasAudio ? "waveout" : "none",
                wall > 0 ? cpu / wall : 0.0, wall,
                lastError ? (" last_error=" + std::to_string(lastError)).c_str() : "");
    // The window goes with the process: destroying it first costs Wine two
    // seconds.
    if (static_cast<int32_t>(lastError) < 0) {
        std::fprintf(stderr, "playclip: %s: %s (0x%08X)\n", clip,
                     Player_GetErrorText(static_cast<int32_t>(lastError)), lastError);
        return 2;
    }
    return 0;
}
