// Command acceptance of the engine's state machine, as one table, and the
// storing of renderer settings by the interface.
#include "engine/player/player_state.h"

#include <gtest/gtest.h>

namespace {

struct Row {
    const char* name;
    uint32_t state, previous, resume, command, rewind;
    int accepted;
    uint32_t newState, newPrevious, newResume, signalStop, takeTarget;
};

// The states by name (a command carries the number of the state it leads to).
constexpr uint32_t kIdle = PLAYER_STATE_IDLE;
constexpr uint32_t kOpen = PLAYER_STATE_OPEN;
constexpr uint32_t kOpened = PLAYER_STATE_OPENED;
constexpr uint32_t kBufStart = PLAYER_STATE_BUFFER_START;
constexpr uint32_t kBuffering = PLAYER_STATE_BUFFERING;
constexpr uint32_t kReady = PLAYER_STATE_READY;
constexpr uint32_t kPlay = PLAYER_STATE_PLAY;
constexpr uint32_t kPlaying = PLAYER_STATE_PLAYING;
constexpr uint32_t kPause = PLAYER_STATE_PAUSE;
constexpr uint32_t kPaused = PLAYER_STATE_PAUSED;
constexpr uint32_t kToggle = PLAYER_STATE_TOGGLE;
constexpr uint32_t kSeek = PLAYER_STATE_SEEK;
constexpr uint32_t kStep = PLAYER_STATE_STEP;
constexpr uint32_t kFinished = PLAYER_STATE_FINISHED;
constexpr uint32_t kStop = PLAYER_STATE_STOP;
constexpr uint32_t kRangeEnd = PLAYER_STATE_RANGE_END;

const Row kRows[] = {
    // name                          st pr rs cmd rw acc  new prev res sig tgt
    {"finish_from_stop_signals", kStop, kPlaying, kPlay, kIdle, 0, 1, kIdle, kStop, kPlay, 1, 0},
    {"finish_from_finished", kFinished, kPlaying, kPlay, kIdle, 0, 1, kIdle, kFinished, kPlay, 0,
     0},
    {"idle_refused_from_playing", kPlaying, kPlay, kPlay, kIdle, 0, 0, kPlaying, kPlay, kPlay, 0,
     0},
    {"open_from_idle", kIdle, kIdle, kIdle, kOpen, 0, 1, kOpen, kIdle, kIdle, 0, 0},
    {"open_refused_while_paused", kPaused, kPause, kPause, kOpen, 0, 0, kPaused, kPause, kPause, 0,
     0},
    {"opened_sets_resume_play", kOpen, kIdle, kPause, kOpened, 0, 1, kOpened, kOpen, kPlay, 0, 0},
    {"buffer_start_from_playing", kPlaying, kPlay, kPlay, kBufStart, 0, 1, kBufStart, kPlaying,
     kPlay, 0, 0},
    {"buffering_keeps_previous", kBufStart, kPlaying, kPlay, kBuffering, 0, 1, kBuffering, kPlaying,
     kPlay, 0, 0},
    {"buffering_refused_from_ready", kReady, kBufStart, kPlay, kBuffering, 0, 0, kReady, kBufStart,
     kPlay, 0, 0},
    {"ready_from_range_end", kRangeEnd, kPlaying, kPlay, kReady, 0, 1, kReady, kRangeEnd, kPlay, 0,
     0},
    {"play_refused_while_playing", kPlaying, kPlay, kPlay, kPlay, 0, 0, kPlaying, kPlay, kPlay, 0,
     0},
    {"play_from_paused", kPaused, kPause, kPlay, kPlay, 0, 1, kPlay, kPaused, kPlay, 0, 0},
    {"playing_from_play", kPlay, kPaused, kPlay, kPlaying, 0, 1, kPlaying, kPlay, kPlay, 0, 0},
    {"pause_from_step", kStep, kPaused, kPause, kPause, 0, 1, kPause, kStep, kPause, 0, 0},
    {"pause_refused_while_paused", kPaused, kPause, kPause, kPause, 0, 0, kPaused, kPause, kPause,
     0, 0},
    {"paused_only_from_pause", kPlaying, kPlay, kPlay, kPaused, 0, 0, kPlaying, kPlay, kPlay, 0, 0},
    {"toggle_playing_pauses", kPlaying, kPlay, kPlay, kToggle, 0, 1, kPause, kPlaying, kPlay, 0, 0},
    {"toggle_range_end_pauses", kRangeEnd, kPlaying, kPlay, kToggle, 0, 1, kPause, kRangeEnd, kPlay,
     0, 0},
    {"toggle_paused_plays", kPaused, kPause, kPause, kToggle, 0, 1, kPlay, kPaused, kPause, 0, 0},
    {"toggle_refused_while_seeking", kSeek, kPlaying, kPlay, kToggle, 0, 0, kSeek, kPlaying, kPlay,
     0, 0},
    {"seek_from_playing_resumes", kPlaying, kPlay, kPause, kSeek, 0, 1, kSeek, kPlaying, kPlay, 0,
     1},
    {"seek_from_paused_pauses", kPaused, kPause, kPlay, kSeek, 0, 1, kSeek, kPaused, kPause, 0, 1},
    {"seek_from_end_plays_on", kRangeEnd, kPlaying, kPause, kSeek, 0, 1, kSeek, kRangeEnd, kPlay, 0,
     1},
    {"seek_from_end_rewinds_paused", kRangeEnd, kPlaying, kPlay, kSeek, 1, 1, kSeek, kRangeEnd,
     kPause, 0, 1},
    {"seek_from_step", kStep, kPaused, kPlay, kSeek, 0, 1, kSeek, kStep, kPause, 0, 1},
    {"seek_refused_while_buffering", kBuffering, kBufStart, kPlay, kSeek, 0, 0, kBuffering,
     kBufStart, kPlay, 0, 0},
    {"step_only_while_paused", kPlaying, kPlay, kPlay, kStep, 0, 0, kPlaying, kPlay, kPlay, 0, 0},
    {"step_from_paused", kPaused, kPause, kPlay, kStep, 0, 1, kStep, kPaused, kPlay, 0, 0},
    {"finished_refused_when_idle", kIdle, kIdle, kIdle, kFinished, 0, 0, kIdle, kIdle, kIdle, 0, 0},
    {"finished_refused_when_stopping", kStop, kPlaying, kPlay, kFinished, 0, 0, kStop, kPlaying,
     kPlay, 0, 0},
    {"finished_from_buffering", kBuffering, kBufStart, kPlay, kFinished, 0, 1, kFinished,
     kBuffering, kPlay, 0, 0},
    {"stop_refused_when_idle", kIdle, kIdle, kIdle, kStop, 0, 0, kIdle, kIdle, kIdle, 0, 0},
    {"stop_from_finished", kFinished, kPlaying, kPlay, kStop, 0, 1, kStop, kFinished, kPlay, 0, 0},
    {"stop_from_stop", kStop, kPlaying, kPlay, kStop, 0, 1, kStop, kStop, kPlay, 0, 0},
    {"range_end_from_playing", kPlaying, kPlay, kPlay, kRangeEnd, 0, 1, kRangeEnd, kPlaying, kPlay,
     0, 0},
    {"range_end_refused_paused", kPaused, kPause, kPlay, kRangeEnd, 0, 0, kPaused, kPause, kPlay, 0,
     0},
    {"command_16_refused", kPlaying, kPlay, kPlay, 16, 0, 0, kPlaying, kPlay, kPlay, 0, 0},
    {"huge_command_refused", kPlaying, kPlay, kPlay, 0xFFFFFFFF, 0, 0, kPlaying, kPlay, kPlay, 0,
     0},
};

TEST(PlayerState, AcceptanceTable) {
    for (const Row& r : kRows) {
        SCOPED_TRACE(r.name);
        PlayerCommandOutcome out;
        int ok = PlayerState_Accept({r.state, r.previous, r.resume}, r.command, r.rewind, &out);
        EXPECT_EQ(r.accepted, ok);
        EXPECT_EQ(r.newState, out.words.state);
        EXPECT_EQ(r.newPrevious, out.words.previous);
        EXPECT_EQ(r.newResume, out.words.resume);
        EXPECT_EQ(r.signalStop, out.signalStop);
        EXPECT_EQ(r.takeTarget, out.takeTarget);
    }
}

// The whole acceptance matrix: row = command, column = state (0..15).
TEST(PlayerState, AcceptanceMatrix) {
    static const char* const kMatrix[16] = {
        //0123456789ABCDEF  state
        ".............XX.",  // 0
        "X...............",  // 1
        ".X..............",  // 2
        "..X....X...X...X",  // 3
        "...X............",  // 4
        "...XX......X...X",  // 5
        "...XXX..XX.X....",  // 6
        "......X.........",  // 7
        "....XXXX...XX...",  // 8
        "........X.......",  // 9
        "......XXXX.....X",  // 10
        ".......X.X..X..X",  // 11
        ".........X......",  // 12
        ".XXXXXXXXXXXXX.X",  // 13
        ".XXXXXXXXXXXXXXX",  // 14
        ".......X........",  // 15
    };
    for (uint32_t c = 0; c < 16; ++c)
        for (uint32_t s = 0; s < 16; ++s) {
            PlayerCommandOutcome out;
            EXPECT_EQ(kMatrix[c][s] == 'X' ? 1 : 0, PlayerState_Accept({s, 0, 0}, c, 0, &out))
                << "command " << c << " state " << s;
        }
}

TEST(PlayerState, VideoConfigKeepsShowFlag) {
    VideoOutConfig stored;
    PlayerState_InitVideoConfig(&stored);
    EXPECT_EQ(0xFFFFFFFFu, stored.flags);
    EXPECT_EQ(1u, stored.fields[11]) << "pictures must be shown by default";

    VideoOutConfig in = {};
    in.flags = 0x2;
    for (int i = 0; i < 13; ++i) in.fields[i] = 100 + i;
    PlayerState_StoreVideoConfig(&stored, &in);
    const uintptr_t rect[13] = {0, 101, 102, 103, 104, 105, 0, 0, 0, 109, 110, 1, 0};
    for (int i = 0; i < 13; ++i) EXPECT_EQ(rect[i], stored.fields[i]) << "field " << i + 1;

    in.flags = 0x1 | 0x4 | 0x8 | 0x10;
    in.fields[11] = 0;
    PlayerState_StoreVideoConfig(&stored, &in);
    const uintptr_t all[13] = {100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 0, 112};
    for (int i = 0; i < 13; ++i) EXPECT_EQ(all[i], stored.fields[i]) << "field " << i + 1;
}

TEST(PlayerState, AudioConfigStoresFlaggedGroups) {
    struct Case {
        const char* name;
        uint32_t flags;
        uint32_t stored;  // bit n-1: field n stored
    };
    const Case cases[] = {
        {"device", 0x1, 0x1},
        {"volume", 0x2, 0x2},
        {"mute", 0x4, 0x4},
        {"format", 0x8, 0x18},
        {"effects", 0x10, 0x1E0},
        {"configure_only", 0x20, 0},
        {"switch10", 0x40, 0x200},
        {"switch11", 0x80, 0x400},
        {"switch12", 0x100, 0x800},
        {"switch15", 0x800, 0x4000},
        {"all_never_16", 0xFFFFFFFF, 0x7FFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AudioOutConfig stored = {};
        AudioOutConfig in;
        in.flags = c.flags;
        for (int i = 0; i < 16; ++i) in.fields[i] = 1000 + i;
        PlayerState_StoreAudioConfig(&stored, &in);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ((c.stored >> i) & 1 ? 1000u + i : 0u, stored.fields[i]) << "field " << i + 1;
    }
}

}  // namespace
