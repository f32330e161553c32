#include "engine/player.h"

#include <cstring>
#include <new>

#include "engine/output/default_outputs.h"
#include "engine/player/player_context.h"
#include "engine/player/player_state.h"

namespace {

const uint32_t kStatusStack = 6144;
const uint32_t kBackward = 0, kForward = 1;  // seek directions

char16_t* CopyWide(const char16_t* s) {
    if (!s) return nullptr;
    size_t n = 0;
    while (s[n]) ++n;
    char16_t* c = new (std::nothrow) char16_t[n + 1];
    if (c) std::memcpy(c, s, (n + 1) * sizeof(char16_t));
    return c;
}

void FreeNames(PlayerContext* ctx) {
    delete[] ctx->fileNameCopy;
    delete[] ctx->urlCopy;
    ctx->fileNameCopy = ctx->urlCopy = nullptr;
}

// Waits until a status thread of an earlier clip has left the context.
void WaitStatusThreadGone(PlayerContext* ctx) {
    while (ctx->statusRunning.load()) OS_Sleep(1);
    OsHandle t = ctx->statusThread.exchange(OS_INVALID_HANDLE);
    if (t != OS_INVALID_HANDLE) {
        OS_WaitThread(t, OS_INFINITE);
        OS_CloseThread(t);
    }
}

// Issues a seek-type command with the request words given; a refused command
// leaves the earlier request as it was.
int SendSeek(PlayerContext* ctx, uint32_t command, uint32_t target, uint32_t exact, uint32_t mode,
             uint32_t direction) {
    uint32_t old[5] = {ctx->requestedTarget, ctx->exact, ctx->seekMode, ctx->direction, 0};
    ctx->requestedTarget = target;
    ctx->exact = exact;
    ctx->seekMode = mode;
    ctx->direction = direction;
    if (Player_SendCommand(ctx, command)) return 1;
    ctx->requestedTarget = old[0];
    ctx->exact = old[1];
    ctx->seekMode = old[2];
    ctx->direction = old[3];
    return 0;
}

uint32_t Duration(PlayerContext* ctx) {
    OsLockGuard g(ctx->componentLock);
    return ctx->info.duration;
}

uint32_t ClockTime(PlayerContext* ctx) {
    OsLockGuard g(ctx->componentLock);
    return ctx->clock ? Clock_GetTime(ctx->clock) : 0;
}

}  // namespace

int Player_SendCommand(PlayerContext* ctx, uint32_t command) {
    if (!ctx) return 0;
    OS_Lock(ctx->lock);
    PlayerStateWords in = {ctx->state, ctx->previous, ctx->resume};
    PlayerCommandOutcome out;
    int ok = PlayerState_Accept(in, command, ctx->rewindAtEnd, &out);
    if (ok) {
        if (out.takeTarget) ctx->currentTarget = ctx->requestedTarget.load();
        ctx->previous = out.words.previous;
        ctx->resume = out.words.resume;
        ctx->state = out.words.state;
        if (out.signalStop) OS_SetEvent(ctx->stopEvent);
    }
    OS_Unlock(ctx->lock);
    return ok;
}

PlayerContext* Player_Create(const PlayerCreateConfig* config) {
    // The application names output types only; the devices behind them are
    // the engine's business.
    Outputs_InstallDefaults();
    PlayerContext* ctx = new (std::nothrow) PlayerContext();
    if (!ctx) return nullptr;
    if (!OS_ComInit()) {
        delete ctx;
        return nullptr;
    }
    ctx->lock = OS_CreateLock();
    ctx->componentLock = OS_CreateLock();
    ctx->videoLock = OS_CreateLock();
    ctx->stopEvent = OS_CreateEvent(nullptr);
    const OsLockWord bad = OS_INVALID_HANDLE;
    if (ctx->lock == bad || ctx->componentLock == bad || ctx->videoLock == bad || !ctx->stopEvent) {
        if (ctx->lock != bad) OS_DeleteLock(ctx->lock);
        if (ctx->componentLock != bad) OS_DeleteLock(ctx->componentLock);
        if (ctx->videoLock != bad) OS_DeleteLock(ctx->videoLock);
        OS_CloseEvent(ctx->stopEvent);
        OS_ComUninit();
        delete ctx;
        return nullptr;
    }
    ctx->statusThread = ctx->audioThread = ctx->videoThread = OS_INVALID_HANDLE;
    ctx->createThread = OS_CreateThread;
    if (config) {
        ctx->onOpened = config->onOpened;
        ctx->onEnded = config->onEnded;
        ctx->onStatus = config->onStatus;
        ctx->user = config->user;
        ctx->customPriority = config->customPriority;
        ctx->statusPriority = config->statusPriority;
        ctx->audioPriority = config->audioPriority;
        ctx->videoPriority = config->videoPriority;
    }
    PlayerState_InitAudioConfig(&ctx->audioConfig);
    PlayerState_InitVideoConfig(&ctx->videoConfig);
    return ctx;
}

void Player_Destroy(PlayerContext* ctx) {
    if (!ctx) return;
    if (ctx->state != PLAYER_STATE_IDLE) Player_Stop(ctx);
    // Even with the no-wait flag, the context outlives its status thread.
    WaitStatusThreadGone(ctx);
    if (ctx->source) Source_Close(ctx->source);
    OS_CloseEvent(ctx->stopEvent);
    OS_DeleteLock(ctx->lock);
    OS_DeleteLock(ctx->componentLock);
    OS_DeleteLock(ctx->videoLock);
    FreeNames(ctx);
    OS_ComUninit();
    delete ctx;
}

int Player_Open(PlayerContext* ctx, const PlayerOpenParams* p) {
    if (!ctx || !p || !p->fileName) return 0;
    if (!Player_SendCommand(ctx, PLAYER_STATE_OPEN)) {
        uint32_t s = ctx->state;
        if (s != PLAYER_STATE_BUFFER_START && s != PLAYER_STATE_PLAYING &&
            s != PLAYER_STATE_PAUSE && s != PLAYER_STATE_SEEK)
            return 0;
        Player_Stop(ctx);
        WaitStatusThreadGone(ctx);
        if (!Player_SendCommand(ctx, PLAYER_STATE_OPEN)) return 0;
    }
    // One status thread per context: the previous one must be gone.
    WaitStatusThreadGone(ctx);
    // A stop of the last clip that nobody waited for must not satisfy the
    // next Player_Stop at once.
    OS_WaitEvent(ctx->stopEvent, 0);
    FreeNames(ctx);
    ctx->fileNameCopy = CopyWide(p->fileName);
    ctx->urlCopy = CopyWide(p->url);
    if (!ctx->fileNameCopy || (p->url && !ctx->urlCopy)) {
        FreeNames(ctx);
        ctx->state = PLAYER_STATE_IDLE;
        return 0;
    }
    ctx->openWords.name = ctx->fileNameCopy;
    ctx->openWords.url = ctx->urlCopy;
    ctx->openWords.size = p->fileSize;
    ctx->openWords.opaque = p->opaque;
    ctx->noWait = p->noWait;
    ctx->rewindAtEnd = p->rewindAtEnd;
    ctx->trackChoice[PLAYER_TRACK_AUDIO] = p->audioTrack;
    ctx->trackChoice[PLAYER_TRACK_VIDEO] = p->videoTrack;
    ctx->trackChoice[PLAYER_TRACK_TEXT] = p->textTrack;
    ctx->currentTarget = p->startMs;
    int32_t prio = ctx->customPriority ? ctx->statusPriority : PLAYER_PRIORITY_STATUS;
    ctx->statusRunning = 1;
    OsHandle t = ctx->createThread("Player Status", Player_StatusTask, ctx, prio, kStatusStack, 0);
    if (t == OS_INVALID_HANDLE || t == 0) {
        ctx->statusRunning = 0;
        OS_Lock(ctx->lock);
        ctx->state = PLAYER_STATE_IDLE;
        OS_Unlock(ctx->lock);
        ctx->lastError = PLAYER_E_THREAD;
        return 0;
    }
    ctx->statusThread = t;  // closed by the next open or destroy, after the thread has left
    return 1;
}

int Player_Stop(PlayerContext* ctx) {
    if (!ctx) return 0;
    if (!Player_SendCommand(ctx, PLAYER_STATE_STOP)) return 0;
    if (!ctx->noWait) {
        OS_WaitEvent(ctx->stopEvent, 0x7FFFFFFF);
        OS_Sleep(10);
    }
    return 1;
}

int Player_Pause(PlayerContext* ctx) { return Player_SendCommand(ctx, PLAYER_STATE_PAUSE); }
int Player_Play(PlayerContext* ctx) { return Player_SendCommand(ctx, PLAYER_STATE_PLAY); }
int Player_TogglePause(PlayerContext* ctx) { return Player_SendCommand(ctx, PLAYER_STATE_TOGGLE); }

int Player_Seek(PlayerContext* ctx, uint32_t positionMs, uint32_t exact) {
    if (!ctx) return 0;
    uint32_t d = Duration(ctx);
    return SendSeek(ctx, PLAYER_STATE_SEEK, positionMs < d ? positionMs : d, exact,
                    PLAYER_STEP_EXACT, kForward);
}

int Player_StepBackward(PlayerContext* ctx, uint32_t deltaMs, uint32_t mode) {
    if (!ctx) return 0;
    uint32_t t = ClockTime(ctx);
    switch (mode) {
        case PLAYER_STEP_EXACT:
        case PLAYER_STEP_KEY:
            return SendSeek(ctx, PLAYER_STATE_SEEK, t > deltaMs ? t - deltaMs : 0,
                            mode == PLAYER_STEP_EXACT, mode, kBackward);
        case PLAYER_STEP_RESEEK:
            if (!ctx->hasVideo) return 0;
            return SendSeek(ctx, PLAYER_STATE_SEEK, t, 0, mode, kBackward);
        case PLAYER_STEP_PICTURE:
            if (!ctx->hasVideo) return 0;
            return SendSeek(ctx, PLAYER_STATE_SEEK, ctx->lastPictureMs, 1, mode, kBackward);
        default: return 0;
    }
}

int Player_StepForward(PlayerContext* ctx, uint32_t deltaMs, uint32_t mode) {
    if (!ctx) return 0;
    uint32_t t = ClockTime(ctx);
    uint32_t d = Duration(ctx);
    switch (mode) {
        case PLAYER_STEP_EXACT:
        case PLAYER_STEP_KEY: {
            uint32_t target = (d - (t < d ? t : d)) > deltaMs ? t + deltaMs : d;
            return SendSeek(ctx, PLAYER_STATE_SEEK, target, mode == PLAYER_STEP_EXACT, mode,
                            kForward);
        }
        case PLAYER_STEP_RESEEK:
            if (!ctx->hasVideo) return 0;
            return SendSeek(ctx, PLAYER_STATE_SEEK, t, 0, mode, kForward);
        case PLAYER_STEP_PICTURE:
            if (!ctx->hasVideo) return 0;
            return Player_SendCommand(ctx, PLAYER_STATE_STEP);
        default: return 0;
    }
}

int Player_SetSpeed(PlayerContext* ctx, uint32_t percent) {
    if (!ctx) return 0;
    OsLockGuard g(ctx->componentLock);
    if (ctx->audioRenderer && !AudioRenderer_SetSpeed(ctx->audioRenderer, percent)) return 0;
    if (ctx->clock) Clock_SetSpeed(ctx->clock, percent);
    return 1;
}

int Player_SetPlayRange(PlayerContext* ctx, uint32_t startMs, uint32_t endMs, uint32_t seek) {
    if (!ctx) return 0;
    {
        OsLockGuard g(ctx->componentLock);
        if (!ctx->source) return 0;
        Source_SetRange(ctx->source, startMs, endMs, 1, 0);
    }
    ctx->rangeStart = startMs;
    ctx->rangeEnd = endMs;
    // The seek names its own mode: the one left from an earlier seek or step
    // (none after an open) could make it a no-op or a picture step.
    if (seek && ClockTime(ctx) < startMs)
        return SendSeek(ctx, PLAYER_STATE_SEEK, startMs, 1, PLAYER_STEP_EXACT, kForward);
    return 1;
}

int Player_SetRepeat(PlayerContext* ctx, uint32_t flag) {
    if (!ctx) return 0;
    OsLockGuard g(ctx->componentLock);
    if (!ctx->source) return 0;
    ctx->repeat = flag;
    return 1;
}

int Player_ReopenText(PlayerContext*, uint32_t) { return 0; }

int Player_SelectTrack(PlayerContext* ctx, uint32_t index, uint32_t type) {
    if (!ctx || type < PLAYER_TRACK_AUDIO || type > PLAYER_TRACK_TEXT) return 0;
    OsLockGuard g(ctx->componentLock);
    if (!ctx->source) return 0;
    const uint32_t counts[4] = {0, ctx->info.audioCount, ctx->info.videoCount, ctx->info.textCount};
    if (index >= counts[type]) return 0;
    ctx->trackChoice[type] = index;
    if (!Source_SelectTrack(ctx->source, index, type)) return 0;
    if (ctx->audioRenderer) AudioRenderer_Flush(ctx->audioRenderer);
    return 1;
}

int Player_SetTimeOffset(PlayerContext* ctx, int32_t offsetMs, uint32_t type) {
    if (!ctx) return 0;
    OsLockGuard g(ctx->componentLock);
    if (!ctx->source) return 0;
    return Source_AddTimeOffset(ctx->source, offsetMs, type);
}

int Player_SyncClock(PlayerContext* ctx, uint32_t timeMs) {
    if (!ctx) return 0;
    OsLockGuard g(ctx->componentLock);
    if (ctx->clock) Clock_Sync(ctx->clock, timeMs);
    return 1;
}

int Player_SetAudioConfig(PlayerContext* ctx, const AudioOutConfig* config) {
    if (!ctx || !config) return 0;
    OsLockGuard g(ctx->componentLock);
    PlayerState_StoreAudioConfig(&ctx->audioConfig, config);
    return AudioRenderer_SetConfig(ctx->audioRenderer, config);
}

int Player_GetAudioInfo(PlayerContext* ctx, uint32_t info[4]) {
    if (!ctx) return 0;
    OsLockGuard g(ctx->componentLock);
    return AudioRenderer_GetInfo(ctx->audioRenderer, info);
}

int Player_SetVideoConfig(PlayerContext* ctx, const VideoOutConfig* config) {
    if (!ctx || !config) return 0;
    OsLockGuard g(ctx->componentLock);
    PlayerState_StoreVideoConfig(&ctx->videoConfig, config);
    return VideoRenderer_SetConfig(ctx->videoRenderer, config);
}

int Player_GetVideoConfig(PlayerContext* ctx, VideoOutConfig* config) {
    if (!ctx) return 0;
    OsLockGuard g(ctx->componentLock);
    return VideoRenderer_GetConfig(ctx->videoRenderer, config);
}

int Player_GetOpenMediaInfo(PlayerContext* ctx, MediaInfoSummary* out) {
    if (!ctx || !out) return 0;
    OsLockGuard g(ctx->componentLock);
    MediaInfo_Export(out, &ctx->info);
    return 1;
}

namespace {

void FillStatus(PlayerContext* ctx, PlayerStatus* out, bool clearError) {
    std::memset(out, 0, sizeof *out);
    out->state = ctx->state;
    out->lastError =
        static_cast<uint32_t>(clearError ? ctx->lastError.exchange(0) : ctx->lastError.load());
    OsLockGuard g(ctx->componentLock);
    if (ctx->source) {
        SourceProgress progress = {};
        Source_GetProgress(ctx->source, &progress);
        out->fillPercent = progress.fillPercent;
        out->readPercent = progress.readPercent;
        out->progress[0] = progress.extra[0];
        out->progress[1] = progress.extra[1];
        out->progress[2] = progress.extra[2];
    }
    uint32_t t = ctx->clock ? Clock_GetTime(ctx->clock) : 0;
    uint32_t d = ctx->info.duration;
    out->positionMs = t < d ? t : d;
}

}  // namespace

void Player_GetStatus(PlayerContext* ctx, PlayerStatus* out) {
    if (ctx && out) FillStatus(ctx, out, true);
}

void Player_PeekStatus(PlayerContext* ctx, PlayerStatus* out) {
    if (ctx && out) FillStatus(ctx, out, false);
}

int Player_GetPlaybackInfo(PlayerContext* ctx, PlayerPlaybackInfo* out) {
    if (!ctx || !out) return 0;
    std::memset(out, 0, sizeof *out);
    OsLockGuard g(ctx->componentLock);
    out->clockMs = ctx->clock ? Clock_GetTime(ctx->clock) : 0;
    out->audioOutput = ctx->audioRenderer != nullptr;
    out->videoOutput = ctx->videoRenderer != nullptr;
    out->lastPictureMs = ctx->lastPictureMs;
    return 1;
}

int32_t Player_GetMediaInfo(PlayerOpenParams* params, MediaInfoSummary* out, void* contentInfo) {
    if (!params || !out) return PLAYER_E_FAIL;
    MediaInfo* info = new (std::nothrow) MediaInfo();
    if (!info) return PLAYER_E_OUT_OF_MEMORY;
    info->contentInfo = static_cast<ContentInfo*>(contentInfo);
    SourceOpenWords w = {params->fileName, params->url, params->fileSize, nullptr};
    int32_t r = Source_ProbeFileInfo(&w, info);
    params->fileSize = w.size;
    if (r >= 0) {
        MediaInfo_Export(out, info);
        r = 0;
    }
    delete info;
    return r;
}

void Player_GetVersion(uint32_t* audioVersion, uint32_t* videoVersion) {
    if (audioVersion) *audioVersion = AudioRenderer_GetVersion();
    if (videoVersion) *videoVersion = VideoRenderer_GetVersion();
}

int32_t Player_ReadTextSample(PlayerContext* ctx, uint8_t* buffer, uint32_t* length,
                              uint32_t* timeMs) {
    if (!ctx || !buffer || !length || !timeMs || *length < 1) return PLAYER_E_FAIL;
    OsLockGuard g(ctx->componentLock);
    if (!ctx->source) return PLAYER_E_FAIL;
    MediaSample s = {};
    s.data = buffer;
    s.capacity = *length;
    s.type = PLAYER_TRACK_TEXT;
    int32_t r = Source_ReadSample(ctx->source, &s);
    *length = s.length;
    *timeMs = s.time;
    return r;
}

const char* Player_GetErrorText(int32_t code) {
    return Player_ErrorMessage(code, PLAYER_LANG_ENGLISH);
}

const char* Player_GetErrorTextKor(int32_t code) {
    return Player_ErrorMessage(code, PLAYER_LANG_KOREAN);
}
