#include "engine/player/player_state.h"

#include <cstring>
#include <initializer_list>

namespace {

// Bit n set: command n is accepted from that state (index = state).
uint32_t Bits(std::initializer_list<uint32_t> states) {
    uint32_t m = 0;
    for (uint32_t s : states) m |= 1u << s;
    return m;
}

}  // namespace

int PlayerState_Accept(const PlayerStateWords& in, uint32_t command, uint32_t rewindAtEnd,
                       PlayerCommandOutcome* out) {
    static const uint32_t kAll = 0xFFFF;
    // Per command (the state it leads to): the states it is accepted from.
    static const uint32_t kFrom[16] = {
        /* IDLE */ Bits({PLAYER_STATE_FINISHED, PLAYER_STATE_STOP}),
        /* OPEN */ Bits({PLAYER_STATE_IDLE}),
        /* OPENED */ Bits({PLAYER_STATE_OPEN}),
        /* BUFFER_START */
        Bits(
            {PLAYER_STATE_OPENED, PLAYER_STATE_PLAYING, PLAYER_STATE_SEEK, PLAYER_STATE_RANGE_END}),
        /* BUFFERING */ Bits({PLAYER_STATE_BUFFER_START}),
        /* READY */
        Bits({PLAYER_STATE_BUFFER_START, PLAYER_STATE_BUFFERING, PLAYER_STATE_SEEK,
              PLAYER_STATE_RANGE_END}),
        /* PLAY */
        Bits({PLAYER_STATE_BUFFER_START, PLAYER_STATE_BUFFERING, PLAYER_STATE_READY,
              PLAYER_STATE_PAUSE, PLAYER_STATE_PAUSED, PLAYER_STATE_SEEK}),
        /* PLAYING */ Bits({PLAYER_STATE_PLAY}),
        /* PAUSE */
        Bits({PLAYER_STATE_BUFFERING, PLAYER_STATE_READY, PLAYER_STATE_PLAY, PLAYER_STATE_PLAYING,
              PLAYER_STATE_SEEK, PLAYER_STATE_STEP}),
        /* PAUSED */ Bits({PLAYER_STATE_PAUSE}),
        /* TOGGLE */
        Bits({PLAYER_STATE_PLAY, PLAYER_STATE_PLAYING, PLAYER_STATE_RANGE_END, PLAYER_STATE_PAUSE,
              PLAYER_STATE_PAUSED}),
        /* SEEK */
        Bits(
            {PLAYER_STATE_PLAYING, PLAYER_STATE_PAUSED, PLAYER_STATE_STEP, PLAYER_STATE_RANGE_END}),
        /* STEP */ Bits({PLAYER_STATE_PAUSED}),
        /* FINISHED */ kAll & ~Bits({PLAYER_STATE_IDLE, PLAYER_STATE_STOP}),
        /* STOP */ kAll & ~Bits({PLAYER_STATE_IDLE}),
        /* RANGE_END */ Bits({PLAYER_STATE_PLAYING}),
    };
    out->words = in;
    out->signalStop = 0;
    out->takeTarget = 0;
    if (command >= 16 || in.state >= 16 || !(kFrom[command] & (1u << in.state))) return 0;

    uint32_t next = command;
    if (command == PLAYER_STATE_TOGGLE)
        next = (in.state == PLAYER_STATE_PAUSE || in.state == PLAYER_STATE_PAUSED)
                   ? PLAYER_STATE_PLAY
                   : PLAYER_STATE_PAUSE;
    if (command == PLAYER_STATE_IDLE && in.state == PLAYER_STATE_STOP) out->signalStop = 1;
    if (command == PLAYER_STATE_OPENED) out->words.resume = PLAYER_STATE_PLAY;
    if (command == PLAYER_STATE_SEEK) {
        out->takeTarget = 1;
        bool play = in.state == PLAYER_STATE_PLAYING ||
                    (in.state == PLAYER_STATE_RANGE_END && !rewindAtEnd);
        out->words.resume = play ? PLAYER_STATE_PLAY : PLAYER_STATE_PAUSE;
    }
    if (command != PLAYER_STATE_BUFFERING) out->words.previous = in.state;
    out->words.state = next;
    return 1;
}

void PlayerState_StoreAudioConfig(AudioOutConfig* dst, const AudioOutConfig* src) {
    struct Group {
        uint32_t flag;
        uint8_t first, last;  // field numbers, counted from 1
    };
    // Flag 0x20 marks fields of other groups, and field 16 is read from the
    // caller's record only.
    static const Group kGroups[] = {
        {AUDIO_CONFIG_DEVICE, 1, 1},
        {AUDIO_CONFIG_VOLUME, 2, 2},
        {AUDIO_CONFIG_MUTE, 3, 3},
        {AUDIO_CONFIG_FORMAT, 4, 5},
        {AUDIO_CONFIG_EFFECTS_RESET, 6, 9},
        {AUDIO_CONFIG_SWITCH_1, 10, 10},
        {AUDIO_CONFIG_SWITCH_2, 11, 11},
        {AUDIO_CONFIG_SWITCH_3, 12, 12},
        {AUDIO_CONFIG_SWITCH_4, 13, 13},
        {AUDIO_CONFIG_SWITCH_5, 14, 14},
        {AUDIO_CONFIG_EFFECT_PARAMS, 15, 15},
    };
    for (const Group& g : kGroups)
        if (src->flags & g.flag)
            for (int f = g.first; f <= g.last; ++f) dst->fields[f - 1] = src->fields[f - 1];
}

void PlayerState_StoreVideoConfig(VideoOutConfig* dst, const VideoOutConfig* src) {
    static const uint8_t kRect[] = {VIDEO_FIELD_WINDOW, VIDEO_FIELD_X,      VIDEO_FIELD_Y,
                                    VIDEO_FIELD_WIDTH,  VIDEO_FIELD_HEIGHT, VIDEO_FIELD_ROTATION,
                                    VIDEO_FIELD_TV_OUT};
    static const uint8_t kAspect[] = {VIDEO_FIELD_ASPECT_MODE, VIDEO_FIELD_ASPECT_WIDTH,
                                      VIDEO_FIELD_ASPECT_HEIGHT};
    if (src->flags & VIDEO_CONFIG_DEVICE)
        dst->fields[VIDEO_FIELD_DEVICE] = src->fields[VIDEO_FIELD_DEVICE];
    if (src->flags & VIDEO_CONFIG_WINDOW)
        for (uint8_t f : kRect) dst->fields[f] = src->fields[f];
    if (src->flags & VIDEO_CONFIG_ASPECT)
        for (uint8_t f : kAspect) dst->fields[f] = src->fields[f];
    // The show flag and the option word are kept too: the stored record goes
    // out with every flag set, and a show flag that stayed 0 would hide
    // every picture of the next clip.
    if (src->flags & VIDEO_CONFIG_SHOW)
        dst->fields[VIDEO_FIELD_SHOW] = src->fields[VIDEO_FIELD_SHOW];
    if (src->flags & VIDEO_CONFIG_OPTION)
        dst->fields[VIDEO_FIELD_OPTION] = src->fields[VIDEO_FIELD_OPTION];
}

void PlayerState_InitAudioConfig(AudioOutConfig* cfg) {
    std::memset(cfg, 0, sizeof *cfg);
    cfg->flags = 0xFFFFFFFFu;
}

void PlayerState_InitVideoConfig(VideoOutConfig* cfg) {
    std::memset(cfg, 0, sizeof *cfg);
    cfg->flags = 0xFFFFFFFFu;
    cfg->fields[VIDEO_FIELD_SHOW] = 1;
}
