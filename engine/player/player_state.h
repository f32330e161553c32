// The command state machine as pure functions: what a command does to the
// state words, and how the interface stores renderer settings. The player
// applies the outcome under its context lock.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <cstdint>

#include "engine/player.h"

struct PlayerStateWords {
    uint32_t state;
    uint32_t previous;
    uint32_t resume;
};

struct PlayerCommandOutcome {
    PlayerStateWords words;  // the words after the command
    uint32_t signalStop;     // command 0 from state 14: wake Player_Stop
    uint32_t takeTarget;     // command 11: current target := requested target
};

// 1 when `command` is accepted from `in.state`, with the new words in `out`;
// 0 when refused (`out` then holds the words unchanged).
int PlayerState_Accept(const PlayerStateWords& in, uint32_t command, uint32_t rewindAtEnd,
                       PlayerCommandOutcome* out);

// Copies the fields that `src->flags` marks into the stored record `dst`.
// The stored audio record never keeps field 16.
void PlayerState_StoreAudioConfig(AudioOutConfig* dst, const AudioOutConfig* src);
void PlayerState_StoreVideoConfig(VideoOutConfig* dst, const VideoOutConfig* src);

// The stored records a new context starts with: every flag set, so a
// renderer created later receives every stored field; pictures shown.
void PlayerState_InitAudioConfig(AudioOutConfig* cfg);
void PlayerState_InitVideoConfig(VideoOutConfig* cfg);
