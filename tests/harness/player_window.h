// Setting up the engine's player in Windows tests as the application does:
// callbacks to an observer, and the output types with the window to draw
// in, without installing any device.
#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/player.h"

namespace uitest {

// A player whose callbacks reach the observer's static OnOpened, OnEnded
// and OnStatus; the observer's `player` is set. Null when creation fails.
template <class Observer>
PlayerContext* CreateObservedPlayer(Observer* obs) {
    PlayerCreateConfig cfg = {
        Observer::OnOpened, Observer::OnEnded, Observer::OnStatus, obs, 0, 0, 0, 0};
    PlayerContext* player = Player_Create(&cfg);
    obs->player = player;
    return player;
}

// Video output type and window, audio output type.
inline void SetWindowOutputs(PlayerContext* player, HWND hwnd, uint32_t videoOutput,
                             uint32_t audioOutput) {
    VideoOutConfig v = {};
    v.flags = VIDEO_CONFIG_DEVICE | VIDEO_CONFIG_WINDOW;
    v.fields[VIDEO_FIELD_DEVICE] = videoOutput;
    v.fields[VIDEO_FIELD_WINDOW] = reinterpret_cast<uintptr_t>(hwnd);
    Player_SetVideoConfig(player, &v);
    AudioOutConfig a = {};
    a.flags = AUDIO_CONFIG_DEVICE;
    a.fields[AUDIO_FIELD_DEVICE] = audioOutput;
    Player_SetAudioConfig(player, &a);
}

}  // namespace uitest
