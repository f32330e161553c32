#include "app/player_ctrl_win32.h"

#include <windows.h>

namespace {

// The engine's state without consuming the error that the status read keeps.
int PeekEngineState(PlayerContext* ctx, uint32_t* state) {
    PlayerStatus status = {};
    Player_PeekStatus(ctx, &status);
    *state = status.state;
    return 0;
}

const PlayerEngineApi kEngineApi = {
    Player_Create,
    Player_Destroy,
    Player_Open,
    Player_Stop,
    Player_Pause,
    Player_Play,
    Player_Seek,
    Player_StepForward,
    Player_StepBackward,
    Player_SetSpeed,
    Player_SetAudioConfig,
    Player_SetVideoConfig,
    Player_GetVideoConfig,
    Player_GetStatus,
    Player_GetMediaInfo,
    Player_ReadTextSample,
    Player_GetErrorText,
    Player_GetVersion,
    DdrawRendererSetTextCallback,
    PeekEngineState,
};

class Win32Port : public PlayerWindowPort {
public:
    void Post(CtrlWindow wnd, uint32_t msg, uintptr_t w, intptr_t l) override {
        PostMessageA(static_cast<HWND>(wnd), msg, WPARAM(w), LPARAM(l));
    }
    void Send(CtrlWindow wnd, uint32_t msg, uintptr_t w, intptr_t l) override {
        SendMessageA(static_cast<HWND>(wnd), msg, WPARAM(w), LPARAM(l));
    }
    bool IsEnabledWindow(CtrlWindow wnd) override {
        return wnd && IsWindow(static_cast<HWND>(wnd)) && IsWindowEnabled(static_cast<HWND>(wnd));
    }
    bool ToWide(const char* text, char16_t* out, int capacity) override {
        const int n =
            MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<WCHAR*>(out), capacity);
        return n > 0;
    }
    void Wait(uint32_t ms) override { Sleep(ms); }
    void PumpSentMessages(uint32_t ms) override {
        // Wakes for messages sent from other threads; PeekMessage delivers
        // them without taking any posted message out of the queue.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_SENDMESSAGE);
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    void Trace(const char* line) override { OutputDebugStringA(line); }
};

}  // namespace

const PlayerEngineApi* PlayerEngine_Api() { return &kEngineApi; }

PlayerWindowPort* PlayerWindowPort_Win32() {
    static Win32Port port;
    return &port;
}

void PlayerCtrl_UseWin32Bindings() {
    CPlayerCtrl::SetDefaultBindings(PlayerEngine_Api(), PlayerWindowPort_Win32());
}
