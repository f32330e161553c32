// The "Player Status" thread: carries out the work of each engine state.
#include <cstring>

#include "engine/player/player_context.h"

namespace {

const uint32_t kVideoStack = 4096;

// The buffering time-out's clock: the system tick unless a test set one.
uint32_t BufferingNow(PlayerContext* ctx) {
    return ctx->bufferingTick ? ctx->bufferingTick(ctx->bufferingTickUser) : OS_GetTickCount();
}
const uint32_t kAudioStack = 5120;

uint32_t FillPercent(PlayerContext* ctx) {
    SourceProgress progress = {};
    if (ctx->source) Source_GetProgress(ctx->source, &progress);
    return progress.fillPercent;
}

void StartTasks(PlayerContext* ctx) {
    if (ctx->hasVideo) {
        int32_t prio = ctx->customPriority ? ctx->videoPriority : PLAYER_PRIORITY_VIDEO;
        OsHandle t =
            ctx->createThread("Player Video Task", Player_VideoTask, ctx, prio, kVideoStack, 0);
        if (t == OS_INVALID_HANDLE || t == 0) {
            ctx->lastError = PLAYER_E_THREAD;
        } else {
            ctx->videoThread = t;
        }
    }
    if (ctx->hasAudio) {
        int32_t prio = ctx->customPriority ? ctx->audioPriority : PLAYER_PRIORITY_AUDIO;
        OsHandle t =
            ctx->createThread("Player Audio Task", Player_AudioTask, ctx, prio, kAudioStack, 0);
        if (t == OS_INVALID_HANDLE || t == 0) {
            ctx->lastError = PLAYER_E_THREAD;
        } else {
            ctx->audioThread = t;
        }
    }
}

// A step failed: the caller of the ended callback must learn why, so a
// failure that no part explained gets a code of its own. A stop is no
// failure of the clip.
void SetFailure(PlayerContext* ctx) {
    if (ctx->lastError >= 0 && ctx->state != PLAYER_STATE_STOP)
        ctx->lastError = PLAYER_E_PREPARE_FAILED;
}

void SendResumeAfterBuffering(PlayerContext* ctx) {
    Player_SendCommand(
        ctx, ctx->previous == PLAYER_STATE_PLAYING ? PLAYER_STATE_PLAY : PLAYER_STATE_READY);
}

void DoPass(PlayerContext* ctx) {
    switch (ctx->state.load()) {
        case PLAYER_STATE_OPEN:
            Player_ResetState(ctx);
            Player_SendCommand(ctx, PLAYER_STATE_OPENED);
            ctx->firstStart = 1;
            break;
        case PLAYER_STATE_OPENED:
            if (Player_Prepare(ctx))
                Player_SendCommand(ctx, PLAYER_STATE_BUFFER_START);
            else
                SetFailure(ctx);  // without an error the open would repeat forever
            break;
        case PLAYER_STATE_BUFFER_START:
            TimeoutCounter_Start(ctx);
            Clock_Pause(ctx->clock);
            AudioRenderer_Pause(ctx->audioRenderer);
            if (!Player_CheckBuffering(ctx))
                Player_SendCommand(ctx, PLAYER_STATE_BUFFERING);
            else
                SendResumeAfterBuffering(ctx);
            break;
        case PLAYER_STATE_BUFFERING:
            if (Player_CheckBuffering(ctx))
                SendResumeAfterBuffering(ctx);
            else
                OS_Sleep(10);
            break;
        case PLAYER_STATE_READY:
            if (!Player_CreateCodecs(ctx)) {
                SetFailure(ctx);
                Player_SendCommand(ctx, PLAYER_STATE_FINISHED);
                break;
            }
            Player_SendCommand(ctx, ctx->resume);
            if (ctx->firstStart) {
                ctx->firstStart = 0;
                if (ctx->onOpened) ctx->onOpened(ctx->user);
                StartTasks(ctx);
            }
            break;
        case PLAYER_STATE_PLAY:
            if (ctx->source) Source_Control(ctx->source, SOURCE_CONTROL_PLAY);
            Clock_Resume(ctx->clock, !ctx->hasAudio || ctx->audioEnded);
            AudioRenderer_Resume(ctx->audioRenderer);
            Player_SendCommand(ctx, PLAYER_STATE_PLAYING);
            break;
        case PLAYER_STATE_PLAYING:
            if (ctx->audioEnded && ctx->videoEnded) {
                if (!ctx->repeat && !ctx->rewindAtEnd) {
                    if (!ctx->hasAudio || AudioRenderer_IsDrained(ctx->audioRenderer))
                        Player_SendCommand(ctx, PLAYER_STATE_FINISHED);
                } else {
                    Player_SendCommand(ctx, PLAYER_STATE_RANGE_END);
                }
            }
            OS_Sleep(100);
            break;
        case PLAYER_STATE_PAUSE:
            if (ctx->source) Source_Control(ctx->source, SOURCE_CONTROL_PAUSE);
            Clock_Pause(ctx->clock);
            AudioRenderer_Pause(ctx->audioRenderer);
            Player_SendCommand(ctx, PLAYER_STATE_PAUSED);
            break;
        case PLAYER_STATE_SEEK:
            Player_WaitTasks(ctx);
            Clock_Pause(ctx->clock);
            AudioRenderer_Pause(ctx->audioRenderer);
            // A refused seek (past the last sample) has set the target to 0:
            // the clip goes on from its start, playing or paused as before.
            if (Player_SeekSource(ctx) || Player_SeekSource(ctx)) {
                AudioRenderer_Flush(ctx->audioRenderer);
                Player_SendCommand(
                    ctx, FillPercent(ctx) < 100 ? PLAYER_STATE_BUFFER_START : PLAYER_STATE_READY);
                VideoRenderer_Refresh(ctx->videoRenderer, 0);
            } else {
                Player_SendCommand(ctx, ctx->previous == PLAYER_STATE_PLAYING ? PLAYER_STATE_PLAY
                                                                              : PLAYER_STATE_PAUSE);
            }
            break;
        case PLAYER_STATE_STEP: {
            // The video task must be out of its decoding pass before the status
            // thread decodes.
            Player_WaitTasks(ctx);
            Player_StepPaused(ctx);
            Player_SendCommand(ctx, PLAYER_STATE_PAUSE);
            uint32_t t = ctx->lastPictureMs;
            Clock_Sync(ctx->clock, t);
            // The output still holds the sound from before the step; played
            // on, it would pull the clock back to where the clip was paused.
            AudioRenderer_Flush(ctx->audioRenderer);
            Player_SkipAudioTo(ctx, t);
            break;
        }
        case PLAYER_STATE_FINISHED:
        case PLAYER_STATE_STOP: ctx->leave = 1; break;
        case PLAYER_STATE_RANGE_END:
            if (!ctx->hasAudio || AudioRenderer_IsDrained(ctx->audioRenderer)) {
                if (!ctx->repeat && !ctx->rewindAtEnd) {
                    AudioRenderer_Flush(ctx->audioRenderer);
                    Player_SendCommand(ctx, FillPercent(ctx) < 100 ? PLAYER_STATE_BUFFER_START
                                                                   : PLAYER_STATE_READY);
                    VideoRenderer_Refresh(ctx->videoRenderer, 0);
                } else {
                    if (!ctx->hasVideo) {
                        ctx->seekMode = PLAYER_STEP_EXACT;
                        ctx->exact = 1;
                    } else {
                        ctx->seekMode = PLAYER_STEP_RESEEK;
                        ctx->direction = 0;
                    }
                    ctx->requestedTarget = 0;
                    if (!Player_SendCommand(ctx, PLAYER_STATE_SEEK)) ctx->leave = 1;
                }
            }
            OS_Sleep(100);
            break;
        default: OS_Sleep(100); break;
    }
}

}  // namespace

uint32_t Player_StatusTask(void* arg) {
    PlayerContext* ctx = static_cast<PlayerContext*>(arg);
    ctx->leave = 0;
    for (;;) {
        DoPass(ctx);
        if (ctx->lastError < 0) Player_SendCommand(ctx, PLAYER_STATE_FINISHED);
        if (ctx->onStatus && ctx->state != PLAYER_STATE_SEEK) ctx->onStatus(ctx->user);
        if (ctx->leave) {
            Player_Teardown(ctx);
            if (ctx->onEnded && ctx->state == PLAYER_STATE_FINISHED) ctx->onEnded(ctx->user);
            Player_SendCommand(ctx, PLAYER_STATE_IDLE);
            // Last touch of the context: from here on it may be freed.
            ctx->statusRunning = 0;
            return 0;
        }
    }
}

void Player_ResetState(PlayerContext* ctx) {
    OS_Lock(ctx->componentLock);
    std::memset(&ctx->info, 0, sizeof ctx->info);
    OS_Unlock(ctx->componentLock);
    ctx->lastError = 0;
    ctx->seekMode = 0;
    ctx->requestedTarget = 0;
    ctx->currentTarget = 0;
    ctx->repeat = 0;
    ctx->rangeEnd = 0;
}

int Player_Prepare(PlayerContext* ctx) {
    if (!Player_OpenSource(ctx)) return 0;
    MediaClock* clock = Clock_Create(ctx->currentTarget, 100);
    if (!clock) return 0;
    if (ctx->clockTick) Clock_SetTickSource(clock, ctx->clockTick, ctx->clockTickUser);
    OS_Lock(ctx->componentLock);
    ctx->clock = clock;
    OS_Unlock(ctx->componentLock);
    ctx->hasAudio = ctx->info.audioCount != 0;
    ctx->hasVideo = ctx->info.videoCount != 0;
    ctx->hasText = ctx->info.textCount != 0;
    return 1;
}

int Player_OpenSource(PlayerContext* ctx) {
    OS_Lock(ctx->componentLock);
    MediaSource* old = ctx->source;
    ctx->source = nullptr;
    OS_Unlock(ctx->componentLock);
    if (old) Source_Close(old);

    MediaSource* src = nullptr;
    int32_t r = Source_Open(&src, &ctx->openWords);
    Player_SetError(ctx, r);
    if (r < 0 || !src) return 0;
    MediaInfo info;
    std::memset(&info, 0, sizeof info);
    r = Source_GetInfo(src, &info);
    Player_SetError(ctx, r);
    OS_Lock(ctx->componentLock);
    ctx->source = src;
    ctx->info = info;
    OS_Unlock(ctx->componentLock);
    if (r < 0 || ctx->state == PLAYER_STATE_STOP) return 0;
    // A clip whose index is cut off, or whose samples sit in movie fragments,
    // has nothing to play: say so now, before any position is reported.
    if (info.audioCount == 0 && info.videoCount == 0) {
        ctx->lastError = PLAYER_E_UNSUPPORTED_FILE;
        return 0;
    }

    // A track choice beyond the clip's tracks falls back to the first one.
    const uint32_t counts[4] = {0, info.audioCount, info.videoCount, info.textCount};
    for (uint32_t type = PLAYER_TRACK_AUDIO; type <= PLAYER_TRACK_TEXT; ++type) {
        if (ctx->trackChoice[type] >= counts[type]) ctx->trackChoice[type] = 0;
        if (ctx->trackChoice[type]) Source_SelectTrack(src, ctx->trackChoice[type], type);
    }
    uint32_t pos = ctx->currentTarget;
    r = Source_SetStartPosition(src, &pos);
    ctx->currentTarget = pos;
    Player_SetError(ctx, r);
    return r >= 0;
}

int Player_CheckBuffering(PlayerContext* ctx) {
    uint32_t fill = FillPercent(ctx);
    if (fill >= 100) return 1;
    if (BufferingNow(ctx) - ctx->bufferStartTick <= ctx->bufferWindow) return 0;
    if (fill > 0) return 1;
    if (!TimeoutCounter_Next(ctx)) ctx->lastError = PLAYER_E_NO_DATA;
    return 0;
}

void TimeoutCounter_Start(PlayerContext* ctx) {
    ctx->bufferWindow = ctx->info.bufferingTime;
    ctx->bufferBudget = ctx->bufferWindow < 30000 ? 30000 : ctx->bufferWindow;
    ctx->bufferStartTick = BufferingNow(ctx);
}

int TimeoutCounter_Next(PlayerContext* ctx) {
    if (ctx->bufferBudget <= ctx->bufferWindow) return 0;
    ctx->bufferBudget -= ctx->bufferWindow;
    if (ctx->bufferBudget <= ctx->bufferWindow) ctx->bufferWindow = ctx->bufferBudget;
    ctx->bufferStartTick = BufferingNow(ctx);
    return 1;
}

int Player_CreateCodecs(PlayerContext* ctx) {
    ctx->audioEnded = !ctx->hasAudio;
    ctx->videoEnded = !ctx->hasVideo;
    {
        // The video task redraws its pending picture in every other state,
        // and a raw picture lies in its queued packet: refill only between
        // two redraws.
        OsLockGuard g(ctx->videoLock);
        if (!Player_FillPacketQueues(ctx)) return 0;
    }
    // A path that fails leaves the clip playing the other stream; its error
    // must not end the clip, so it is kept only when nothing is left.
    int32_t before = ctx->lastError;
    int32_t pathError = 0;
    if (!Player_OpenVideoPath(ctx)) {
        if (ctx->lastError < 0 && ctx->lastError != before) pathError = ctx->lastError;
        ctx->lastError = before;
        ctx->hasVideo = 0;
        ctx->videoEnded = 1;
    }
    if (!Player_OpenTextPath(ctx)) {
        ctx->lastError = before;
        ctx->hasText = 0;
    }
    if (!Player_OpenAudioPath(ctx)) {
        if (ctx->lastError < 0 && ctx->lastError != before) pathError = ctx->lastError;
        ctx->lastError = before;
        ctx->hasAudio = 0;
        ctx->audioEnded = 1;
    }
    if (ctx->hasAudio || ctx->hasVideo) return 1;
    Player_SetError(ctx, pathError);
    return 0;
}

namespace {

uint32_t LargestSample(PlayerContext* ctx, uint32_t type) {
    uint32_t m = 0;
    if (type == PLAYER_TRACK_AUDIO)
        for (uint32_t i = 0; i < ctx->info.audioCount && i < 2; ++i)
            m = ctx->info.audio[i].maxSampleSize > m ? ctx->info.audio[i].maxSampleSize : m;
    else
        for (uint32_t i = 0; i < ctx->info.videoCount && i < 2; ++i)
            m = ctx->info.video[i].maxSampleSize > m ? ctx->info.video[i].maxSampleSize : m;
    return m ? m : 4096;
}

int PrepareQueue(PlayerContext* ctx, PacketQueue** q, uint32_t type) {
    if (*q) {
        PacketQueue_Clear(*q);
        return 1;
    }
    *q = PacketQueue_Create(2, LargestSample(ctx, type), 0);
    if (!*q) {
        ctx->lastError = PLAYER_E_OUT_OF_MEMORY;
        return 0;
    }
    return 1;
}

}  // namespace

int Player_FillPacketQueues(PlayerContext* ctx) {
    if (ctx->hasAudio && !PrepareQueue(ctx, &ctx->audioQueue, PLAYER_TRACK_AUDIO)) return 0;
    if (ctx->hasVideo && !PrepareQueue(ctx, &ctx->videoQueue, PLAYER_TRACK_VIDEO)) return 0;
    while (ctx->hasAudio && !ctx->audioEnded && PacketQueue_Count(ctx->audioQueue) < 1) {
        if (ctx->state == PLAYER_STATE_STOP) return 0;
        if (!Player_FetchAudioPacket(ctx) && !ctx->audioEnded) return 0;
    }
    while (ctx->hasVideo && !ctx->videoEnded && PacketQueue_Count(ctx->videoQueue) < 1) {
        if (ctx->state == PLAYER_STATE_STOP) return 0;
        if (!Player_FetchVideoPacket(ctx)) {
            if (!ctx->videoEnded) return 0;
            return !ctx->audioEnded;
        }
    }
    if (!ctx->videoEnded) return 1;
    return !ctx->audioEnded;
}

int Player_SeekSource(PlayerContext* ctx) {
    uint32_t wanted = ctx->currentTarget;
    uint32_t pos = wanted;
    uint32_t mode = ctx->seekMode;
    bool moved = false;
    if (mode == PLAYER_STEP_EXACT || mode == PLAYER_STEP_KEY)
        moved = Source_SeekTime(ctx->source, &pos, ctx->exact);
    else if (mode == PLAYER_STEP_RESEEK || mode == PLAYER_STEP_PICTURE)
        moved = Source_SeekFrame(ctx->source, &pos, ctx->direction);
    if (!moved) {
        ctx->currentTarget = 0;
        return 0;
    }
    if (mode == PLAYER_STEP_PICTURE) pos = wanted;
    ctx->currentTarget = pos;
    Clock_SetTime(ctx->clock, pos);
    return 1;
}

void Player_WaitTasks(PlayerContext* ctx) {
    // A writer blocked on a paused output would never see the new state:
    // make it give up its block.
    while (ctx->audioThread != OS_INVALID_HANDLE && ctx->audioSeen != ctx->state &&
           !ctx->audioEnded) {
        AudioRenderer_AbortWrite(ctx->audioRenderer);
        OS_Sleep(10);
    }
    while (ctx->videoThread != OS_INVALID_HANDLE && ctx->videoSeen != ctx->state &&
           !ctx->videoEnded)
        OS_Sleep(10);
}

void Player_Teardown(PlayerContext* ctx) {
    if (ctx->source) Source_Control(ctx->source, SOURCE_CONTROL_STOP);
    AudioRenderer_Flush(ctx->audioRenderer);
    while (ctx->audioThread != OS_INVALID_HANDLE) {
        AudioRenderer_AbortWrite(ctx->audioRenderer);
        OS_Sleep(10);
    }
    while (ctx->videoThread != OS_INVALID_HANDLE) OS_Sleep(10);
    ctx->hasAudio = 0;
    ctx->hasVideo = 0;
    ctx->hasText = 0;
    OS_Lock(ctx->componentLock);
    Player_CloseAudioPath(ctx);
    Player_CloseVideoPath(ctx);
    MediaSource* src = ctx->source;
    MediaClock* clock = ctx->clock;
    ctx->source = nullptr;
    ctx->clock = nullptr;
    OS_Unlock(ctx->componentLock);
    Source_Close(src);
    if (clock) Clock_Destroy(clock);
}
