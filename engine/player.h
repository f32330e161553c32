// The media engine's public interface: one opaque PlayerContext per
// application, driven by Player_ operations and observed through three
// callbacks that run on the engine's "Player Status" thread.
#pragma once

#include <cstdint>

#include "engine/media_info.h"

struct PlayerContext;

typedef void (*PlayerCallback)(void* user);

// Engine states; commands share the same numbers.
enum PlayerStateValue : uint32_t {
    PLAYER_STATE_IDLE = 0,
    PLAYER_STATE_OPEN = 1,
    PLAYER_STATE_OPENED = 2,
    PLAYER_STATE_BUFFER_START = 3,
    PLAYER_STATE_BUFFERING = 4,
    PLAYER_STATE_READY = 5,
    PLAYER_STATE_PLAY = 6,
    PLAYER_STATE_PLAYING = 7,
    PLAYER_STATE_PAUSE = 8,
    PLAYER_STATE_PAUSED = 9,
    PLAYER_STATE_TOGGLE = 10,
    PLAYER_STATE_SEEK = 11,
    PLAYER_STATE_STEP = 12,
    PLAYER_STATE_FINISHED = 13,
    PLAYER_STATE_STOP = 14,
    PLAYER_STATE_RANGE_END = 15,
};

enum PlayerTrackType : uint32_t {
    PLAYER_TRACK_AUDIO = 1,
    PLAYER_TRACK_VIDEO = 2,
    PLAYER_TRACK_TEXT = 3,
};

struct PlayerCreateConfig {
    PlayerCallback onOpened;
    PlayerCallback onEnded;
    PlayerCallback onStatus;
    void* user;
    uint32_t customPriority;  // 0: default priorities
    int32_t statusPriority;
    int32_t audioPriority;
    int32_t videoPriority;
};

struct PlayerOpenParams {
    const char16_t* fileName;  // UTF-16, required
    const char16_t* url;       // UTF-16 or null for a local file
    uint32_t fileSize;         // in/out: a local file's size is written here
    uint32_t startMs;
    uint32_t noWait;       // Player_Stop returns without waiting
    uint32_t rewindAtEnd;  // at the end: seek to 0 and pause
    void* opaque;          // handed to the source with the name
    uint32_t audioTrack;
    uint32_t videoTrack;
    uint32_t textTrack;
};

struct PlayerStatus {
    uint32_t state;
    uint32_t lastError;  // reading it clears it
    uint32_t fillPercent;
    uint32_t readPercent;
    uint32_t positionMs;
    uint32_t progress[3];
};

// Output types: field 1 of AudioOutConfig and of VideoOutConfig.
enum PlayerOutputType : uint32_t {
    PLAYER_OUTPUT_NONE = 0,
    PLAYER_AUDIO_OUTPUT_WAVE = 2,   // the Windows wave output
    PLAYER_VIDEO_OUTPUT_DDRAW = 1,  // the DirectDraw output
};

// Flag bits of the config records; each marks the fields it carries.
enum PlayerConfigFlag : uint32_t {
    AUDIO_CONFIG_DEVICE = 0x1,          // field 1: output type
    AUDIO_CONFIG_VOLUME = 0x2,          // field 2: one 16-bit level in each half
    AUDIO_CONFIG_MUTE = 0x4,            // field 3: 1 mutes the output
    AUDIO_CONFIG_FORMAT = 0x8,          // fields 4, 5: output rate and channels
    AUDIO_CONFIG_EFFECTS_RESET = 0x10,  // fields 6-9: the effects stage's settings cleared
    AUDIO_CONFIG_EFFECTS = 0x20,        // fields 6, 14, 12, 11, 13: effects settings
    AUDIO_CONFIG_SWITCH_1 = 0x40,       // fields 10-14: one effects switch each,
    AUDIO_CONFIG_SWITCH_2 = 0x80,       // in the order of the flags
    AUDIO_CONFIG_SWITCH_3 = 0x100,
    AUDIO_CONFIG_SWITCH_4 = 0x200,
    AUDIO_CONFIG_SWITCH_5 = 0x400,
    AUDIO_CONFIG_EFFECT_PARAMS = 0x800,  // fields 16, 15
    VIDEO_CONFIG_DEVICE = 0x1,           // field 1: display type
    VIDEO_CONFIG_WINDOW = 0x2,  // fields 2-6, 10, 11: window, x, y, width, height, rotation, TV out
    VIDEO_CONFIG_ASPECT = 0x4,  // fields 7-9: aspect mode, aspect width, aspect height
    VIDEO_CONFIG_SHOW = 0x8,    // field 12: pictures shown
    VIDEO_CONFIG_OPTION = 0x10,  // field 13
};

// Positions in the fields arrays (field n is fields[n - 1]).
enum PlayerConfigField : uint32_t {
    AUDIO_FIELD_DEVICE = 0,
    AUDIO_FIELD_VOLUME = 1,
    AUDIO_FIELD_MUTE = 2,
    AUDIO_FIELD_RATE = 3,
    AUDIO_FIELD_CHANNELS = 4,
    AUDIO_FIELD_EFFECTS = 5,   // fields 6-9
    AUDIO_FIELD_SWITCH_1 = 9,  // fields 10-14, one per switch
    AUDIO_FIELD_EFFECT_PARAM_A = 14,
    AUDIO_FIELD_EFFECT_PARAM_B = 15,  // read from the caller's record, never stored
    VIDEO_FIELD_DEVICE = 0,
    VIDEO_FIELD_WINDOW = 1,
    VIDEO_FIELD_X = 2,
    VIDEO_FIELD_Y = 3,
    VIDEO_FIELD_WIDTH = 4,
    VIDEO_FIELD_HEIGHT = 5,
    VIDEO_FIELD_ASPECT_MODE = 6,
    VIDEO_FIELD_ASPECT_WIDTH = 7,
    VIDEO_FIELD_ASPECT_HEIGHT = 8,
    VIDEO_FIELD_ROTATION = 9,
    VIDEO_FIELD_TV_OUT = 10,
    VIDEO_FIELD_SHOW = 11,
    VIDEO_FIELD_OPTION = 12,
};

// Step modes of Player_StepForward and Player_StepBackward.
enum PlayerStepMode : uint32_t {
    PLAYER_STEP_EXACT = 1,    // by the delta, to the exact time
    PLAYER_STEP_KEY = 2,      // by the delta, to a key frame
    PLAYER_STEP_RESEEK = 3,   // to a key frame around the present (video only)
    PLAYER_STEP_PICTURE = 4,  // one picture (video only)
};

// Default thread priorities, in the OS layer's values.
enum : int32_t {
    PLAYER_PRIORITY_STATUS = -2,
    PLAYER_PRIORITY_AUDIO = 15,
    PLAYER_PRIORITY_VIDEO = 2,
};

// A flag word, then 16 fields (field n is fields[n - 1]).
struct AudioOutConfig {
    uint32_t flags;
    uint32_t fields[16];
};

// A flag word, then 13 fields (field n is fields[n - 1]). Field 2 is the
// window handle, kept pointer-sized.
struct VideoOutConfig {
    uint32_t flags;
    uintptr_t fields[13];
};

PlayerContext* Player_Create(const PlayerCreateConfig* config);
void Player_Destroy(PlayerContext* ctx);
int Player_Open(PlayerContext* ctx, const PlayerOpenParams* params);
int Player_Stop(PlayerContext* ctx);
int Player_Pause(PlayerContext* ctx);
int Player_Play(PlayerContext* ctx);
int Player_TogglePause(PlayerContext* ctx);
int Player_Seek(PlayerContext* ctx, uint32_t positionMs, uint32_t exact);
int Player_StepBackward(PlayerContext* ctx, uint32_t deltaMs, uint32_t mode);
int Player_StepForward(PlayerContext* ctx, uint32_t deltaMs, uint32_t mode);
int Player_SetSpeed(PlayerContext* ctx, uint32_t percent);
int Player_SetPlayRange(PlayerContext* ctx, uint32_t startMs, uint32_t endMs, uint32_t seek);
int Player_SetRepeat(PlayerContext* ctx, uint32_t flag);
int Player_ReopenText(PlayerContext* ctx, uint32_t track);
int Player_SelectTrack(PlayerContext* ctx, uint32_t index, uint32_t type);
int Player_SetTimeOffset(PlayerContext* ctx, int32_t offsetMs, uint32_t type);
int Player_SyncClock(PlayerContext* ctx, uint32_t timeMs);
int Player_SetAudioConfig(PlayerContext* ctx, const AudioOutConfig* config);
int Player_GetAudioInfo(PlayerContext* ctx, uint32_t info[4]);
int Player_SetVideoConfig(PlayerContext* ctx, const VideoOutConfig* config);
int Player_GetVideoConfig(PlayerContext* ctx, VideoOutConfig* config);
int Player_GetOpenMediaInfo(PlayerContext* ctx, MediaInfoSummary* out);
void Player_GetStatus(PlayerContext* ctx, PlayerStatus* out);
// The same record, leaving the last error in place: for a caller that waits
// on the engine and leaves the error to whoever reports it.
void Player_PeekStatus(PlayerContext* ctx, PlayerStatus* out);

// What a measuring client reads beside the status.
struct PlayerPlaybackInfo {
    uint32_t clockMs;        // the media clock as it stands (not capped at the duration)
    uint32_t audioOutput;    // 1 while an audio output is open
    uint32_t videoOutput;    // 1 while a display is open
    uint32_t lastPictureMs;  // time of the picture decoded last
};
// 1 when filled; 0 for a null argument.
int Player_GetPlaybackInfo(PlayerContext* ctx, PlayerPlaybackInfo* out);
int32_t Player_GetMediaInfo(PlayerOpenParams* params, MediaInfoSummary* out, void* contentInfo);
void Player_GetVersion(uint32_t* audioVersion, uint32_t* videoVersion);
int32_t Player_ReadTextSample(PlayerContext* ctx, uint8_t* buffer, uint32_t* length,
                              uint32_t* timeMs);

// Message texts of engine result codes (8-bit; Korean in code page 949).
const char* Player_GetErrorText(int32_t code);
const char* Player_GetErrorTextKor(int32_t code);

// Issues a command to the state machine: 1 when accepted, 0 when refused.
int Player_SendCommand(PlayerContext* ctx, uint32_t command);
