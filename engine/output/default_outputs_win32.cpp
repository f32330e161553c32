#include <windows.h>

#include <mutex>

#include "engine/output/audio_renderer.h"
#include "engine/output/default_outputs.h"
#include "engine/output/video_renderer.h"
#include "engine/win_outputs.h"

namespace {

int ScreenRectOfWindow(uintptr_t window, int32_t rect[4]) {
    RECT r;
    if (!GetWindowRect(reinterpret_cast<HWND>(window), &r)) return 0;
    rect[0] = r.left;
    rect[1] = r.top;
    rect[2] = r.right;
    rect[3] = r.bottom;
    return 1;
}

}  // namespace

void Outputs_InstallDefaults() {
    static std::once_flag once;
    std::call_once(once, [] {
        AudioRenderer_RegisterDefaultDevice(AUDIO_DEVICE_WAVEOUT, WaveOut_Device());
        VideoRenderer_RegisterDefaultDevice(VIDEO_DEVICE_DDRAW, DdrawOutput_Device());
        VideoRenderer_SetWindowRectSource(ScreenRectOfWindow);
    });
}
