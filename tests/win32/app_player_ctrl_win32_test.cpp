// The player controller under Windows: the portable suite against the fake
// engine, then Close through the Win32 window port while an engine thread is
// inside a sent message to the window thread, which must be handled during
// the wait or neither side moves.
#include "../app/player_ctrl_test.cpp"

#include <windows.h>

#include <atomic>
#include <thread>

#include "app/player_ctrl_win32.h"

namespace {

std::atomic<int> g_openedHandled{0};

LRESULT CALLBACK NotifyProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_PLAYER_OPENED) {
        ++g_openedHandled;
        return 0;
    }
    return DefWindowProcA(wnd, msg, w, l);
}

}  // namespace

TEST(PlayerCtrlWin32, CloseHandlesMessagesSentByTheEngineThread) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = NotifyProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QuorvelCtrlNotifyTest";
    RegisterClassA(&wc);
    HWND notify = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    HWND video = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    ASSERT_NE(notify, nullptr);

    FakeEngine engine;
    g_engine = &engine;
    const PlayerEngineApi api = WithGetState();
    {
        CPlayerCtrl ctrl(&api, PlayerWindowPort_Win32());
        ASSERT_EQ(ctrl.SetWindows(notify, video), 0);
        ASSERT_EQ(ctrl.Open("C:\\clip.mp4", 0, 0, 0, 0), 1);
        EXPECT_EQ(engine.opened.noWait, 1u);
        engine.state = PLAYER_STATE_OPENED;

        // The engine's status thread: sends its opened message and only
        // comes to rest once the window thread has handled it.
        std::atomic<bool> delivered{false};
        std::thread status([&] {
            DWORD_PTR result = 0;
            delivered = SendMessageTimeoutA(notify, WM_PLAYER_OPENED, 1000, 0, SMTO_NORMAL, 20000,
                                            &result) != 0;
            engine.state = PLAYER_STATE_IDLE;
        });
        Sleep(50);  // let it block in the send
        ctrl.Close();
        EXPECT_EQ(g_openedHandled.load(), 1) << "the sent message was handled during Close";
        status.join();
        EXPECT_TRUE(delivered.load());
        EXPECT_EQ(ctrl.GetState(), CTRL_STATE_CLOSED);
    }
    g_engine = nullptr;
    DestroyWindow(video);
    DestroyWindow(notify);
}
