// The player context: everything one open clip needs, shared by the
// interface (application thread), the status thread and the two media tasks.
// Words polled across threads are atomics; the state words change only in
// Player_SendCommand under the context lock.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <atomic>
#include <cstdint>

#include "engine/output/audio_renderer.h"
#include "engine/player.h"
#include "engine/player/player_deps.h"
#include "engine/output/video_renderer.h"

// Samples of audio before a block goes out, and the PCM staging area.
struct PcmBuffer {
    uint32_t decoderInterleaved;
    uint32_t outputInterleaved;
    uint32_t ended;
    uint32_t sampleRate, channels, samplesPerFrame, minimumFill;
    uint32_t timeMs;
    int16_t* interleaved;  // also the mono buffer
    int16_t* left;
    int16_t* right;
    uint32_t capacity;
    uint32_t fill;
};

PcmBuffer* PcmBuffer_Create(uint32_t rate, uint32_t channels, uint32_t samplesPerFrame,
                            uint32_t minimumFill, uint32_t capacity, uint32_t decoderInterleaved,
                            uint32_t outputInterleaved);
void PcmBuffer_Destroy(PcmBuffer* b);
void PcmBuffer_Clear(PcmBuffer* b);
void PcmBuffer_SetEnd(PcmBuffer* b);
int PcmBuffer_GetWriteArea(PcmBuffer* b, PcmBlock* area);
void PcmBuffer_Commit(PcmBuffer* b, const PcmBlock* area);
int PcmBuffer_GetBlock(PcmBuffer* b, PcmBlock* block);
void PcmBuffer_Consume(PcmBuffer* b, const PcmBlock* block);

struct PlayerContext {
    MediaInfo info;
    SourceOpenWords openWords;
    char16_t* fileNameCopy;  // the player's own copies of the caller's strings
    char16_t* urlCopy;
    std::atomic<int32_t> lastError;

    // Owned components. The interface reaches the clock, source and
    // renderers only under componentLock, which teardown takes to free them.
    MediaSource* source;
    AudioDecoder* audioDecoder;
    AudioRenderer* audioRenderer;
    TextDecoder* textDecoder;
    VideoDecoder* videoDecoder;
    VideoRenderer* videoRenderer;
    MediaClock* clock;
    uint8_t* textBuffer;
    uint32_t textBufferSize;
    OsLockWord componentLock;
    OsLockWord videoLock;  // the decoded picture, between the video task and the status thread

    DecodedFrame frame;
    uint32_t popPending;   // the packet of the pending picture stays queued until it is shown
    uint32_t pictureLags;  // the decoder still holds the picture of the packet decoded last
    std::atomic<uint32_t> lastPictureMs;  // time of the picture decoded last
    MediaSample textSample;
    SubtitleFrame subtitle;
    PcmBuffer* pcm;
    PacketQueue* audioQueue;
    PacketQueue* videoQueue;

    std::atomic<OsHandle> statusThread, audioThread, videoThread;
    std::atomic<uint32_t> statusRunning;  // a status thread may still touch the context

    uint32_t trackChoice[4];  // by track type 1..3

    std::atomic<uint32_t> requestedTarget, currentTarget, exact, seekMode, direction;
    std::atomic<uint32_t> repeat, rewindAtEnd, noWait;

    uint32_t customPriority;
    int32_t statusPriority, audioPriority, videoPriority;

    std::atomic<uint32_t> hasAudio, hasVideo, hasText;
    std::atomic<uint32_t> audioEnded, videoEnded;
    std::atomic<uint32_t> framePending, textPending;
    uint32_t firstStart;
    std::atomic<uint32_t> leave;

    std::atomic<uint32_t> bufferStartTick;  // read by tests that drive the time-out
    uint32_t bufferBudget, bufferWindow;
    std::atomic<uint32_t> rangeStart, rangeEnd;

    OsLockWord lock;
    OsHandle stopEvent;

    std::atomic<uint32_t> state, previous, resume, audioSeen, videoSeen;

    PlayerCallback onOpened, onEnded, onStatus;
    void* user;

    // Where threads come from and what drives the clock of each clip;
    // tests replace them.
    OsHandle (*createThread)(const char* name, OsThreadRoutine routine, void* arg, int priority,
                             uint32_t stackSize, uint32_t flags);
    ClockTickSource clockTick;
    void* clockTickUser;
    // The clock of the buffering time-out (null: the system tick).
    ClockTickSource bufferingTick;
    void* bufferingTickUser;

    AudioOutConfig audioConfig;
    VideoOutConfig videoConfig;
};

// Status thread and its steps.
uint32_t Player_StatusTask(void* ctx);
void Player_ResetState(PlayerContext* ctx);
int Player_Prepare(PlayerContext* ctx);
int Player_OpenSource(PlayerContext* ctx);
int Player_CheckBuffering(PlayerContext* ctx);
int Player_CreateCodecs(PlayerContext* ctx);
int Player_FillPacketQueues(PlayerContext* ctx);
int Player_SeekSource(PlayerContext* ctx);
void Player_WaitTasks(PlayerContext* ctx);
void Player_Teardown(PlayerContext* ctx);
void TimeoutCounter_Start(PlayerContext* ctx);
int TimeoutCounter_Next(PlayerContext* ctx);

// Video path.
int Player_OpenVideoPath(PlayerContext* ctx);
void Player_CloseVideoPath(PlayerContext* ctx);
int Player_OpenTextPath(PlayerContext* ctx);
void Player_CloseTextPath(PlayerContext* ctx);
void Player_TextStep(PlayerContext* ctx);
int32_t Player_CheckAvSync(PlayerContext* ctx, uint32_t pictureMs);
void Player_DecodeVideo(PlayerContext* ctx);
void Player_ShowVideo(PlayerContext* ctx, int force);
void Player_StepPaused(PlayerContext* ctx);
int Player_FetchVideoPacket(PlayerContext* ctx);
uint32_t Player_VideoTask(void* ctx);

// Audio path.
int Player_OpenAudioPath(PlayerContext* ctx);
void Player_CloseAudioPath(PlayerContext* ctx);
int Player_DecodeAudio(PlayerContext* ctx);
void Player_RenderAudio(PlayerContext* ctx);
void Player_SkipAudioTo(PlayerContext* ctx, uint32_t ms);
int Player_FetchAudioPacket(PlayerContext* ctx);
uint32_t Player_AudioTask(void* ctx);

// Stores an error in the last-error word (0 and positive results are kept out).
inline void Player_SetError(PlayerContext* ctx, int32_t code) {
    if (code < 0) ctx->lastError = code;
}
