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

const Row kRows[] = {
    // name                          st pr rs cmd rw acc  new prev res sig tgt
    {"finish_from_stop_signals", 14, 7, 6, 0, 0, 1, 0, 14, 6, 1, 0},
    {"finish_from_finished", 13, 7, 6, 0, 0, 1, 0, 13, 6, 0, 0},
    {"idle_refused_from_playing", 7, 6, 6, 0, 0, 0, 7, 6, 6, 0, 0},
    {"open_from_idle", 0, 0, 0, 1, 0, 1, 1, 0, 0, 0, 0},
    {"open_refused_while_paused", 9, 8, 8, 1, 0, 0, 9, 8, 8, 0, 0},
    {"opened_sets_resume_play", 1, 0, 8, 2, 0, 1, 2, 1, 6, 0, 0},
    {"buffer_start_from_playing", 7, 6, 6, 3, 0, 1, 3, 7, 6, 0, 0},
    {"buffering_keeps_previous", 3, 7, 6, 4, 0, 1, 4, 7, 6, 0, 0},
    {"buffering_refused_from_ready", 5, 3, 6, 4, 0, 0, 5, 3, 6, 0, 0},
    {"ready_from_range_end", 15, 7, 6, 5, 0, 1, 5, 15, 6, 0, 0},
    {"play_refused_while_playing", 7, 6, 6, 6, 0, 0, 7, 6, 6, 0, 0},
    {"play_from_paused", 9, 8, 6, 6, 0, 1, 6, 9, 6, 0, 0},
    {"playing_from_play", 6, 9, 6, 7, 0, 1, 7, 6, 6, 0, 0},
    {"pause_from_step", 12, 9, 8, 8, 0, 1, 8, 12, 8, 0, 0},
    {"pause_refused_while_paused", 9, 8, 8, 8, 0, 0, 9, 8, 8, 0, 0},
    {"paused_only_from_pause", 7, 6, 6, 9, 0, 0, 7, 6, 6, 0, 0},
    {"toggle_playing_pauses", 7, 6, 6, 10, 0, 1, 8, 7, 6, 0, 0},
    {"toggle_range_end_pauses", 15, 7, 6, 10, 0, 1, 8, 15, 6, 0, 0},
    {"toggle_paused_plays", 9, 8, 8, 10, 0, 1, 6, 9, 8, 0, 0},
    {"toggle_refused_while_seeking", 11, 7, 6, 10, 0, 0, 11, 7, 6, 0, 0},
    {"seek_from_playing_resumes", 7, 6, 8, 11, 0, 1, 11, 7, 6, 0, 1},
    {"seek_from_paused_pauses", 9, 8, 6, 11, 0, 1, 11, 9, 8, 0, 1},
    {"seek_from_end_plays_on", 15, 7, 8, 11, 0, 1, 11, 15, 6, 0, 1},
    {"seek_from_end_rewinds_paused", 15, 7, 6, 11, 1, 1, 11, 15, 8, 0, 1},
    {"seek_from_step", 12, 9, 6, 11, 0, 1, 11, 12, 8, 0, 1},
    {"seek_refused_while_buffering", 4, 3, 6, 11, 0, 0, 4, 3, 6, 0, 0},
    {"step_only_while_paused", 7, 6, 6, 12, 0, 0, 7, 6, 6, 0, 0},
    {"step_from_paused", 9, 8, 6, 12, 0, 1, 12, 9, 6, 0, 0},
    {"finished_refused_when_idle", 0, 0, 0, 13, 0, 0, 0, 0, 0, 0, 0},
    {"finished_refused_when_stopping", 14, 7, 6, 13, 0, 0, 14, 7, 6, 0, 0},
    {"finished_from_buffering", 4, 3, 6, 13, 0, 1, 13, 4, 6, 0, 0},
    {"stop_refused_when_idle", 0, 0, 0, 14, 0, 0, 0, 0, 0, 0, 0},
    {"stop_from_finished", 13, 7, 6, 14, 0, 1, 14, 13, 6, 0, 0},
    {"stop_from_stop", 14, 7, 6, 14, 0, 1, 14, 14, 6, 0, 0},
    {"range_end_from_playing", 7, 6, 6, 15, 0, 1, 15, 7, 6, 0, 0},
    {"range_end_refused_paused", 9, 8, 6, 15, 0, 0, 9, 8, 6, 0, 0},
    {"command_16_refused", 7, 6, 6, 16, 0, 0, 7, 6, 6, 0, 0},
    {"huge_command_refused", 7, 6, 6, 0xFFFFFFFF, 0, 0, 7, 6, 6, 0, 0},
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
