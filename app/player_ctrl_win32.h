// The controller's Win32 bindings: the real engine's operations and the
// window port over USER32 (Windows build only).
#pragma once

#include "app/player_ctrl.h"

const PlayerEngineApi* PlayerEngine_Api();
PlayerWindowPort* PlayerWindowPort_Win32();
// Makes CPlayerCtrl::GetInstance build the controller on these.
void PlayerCtrl_UseWin32Bindings();
