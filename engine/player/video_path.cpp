// Video path: the "Player Video Task" decodes packets from the video queue
// and shows each picture when the media clock reaches it; the same thread
// steps the text path.
#include <cstring>
#include <new>

#include "engine/player/player_context.h"

namespace {

VideoTrackInfo* ChosenVideoTrack(PlayerContext* ctx) {
    uint32_t i = ctx->trackChoice[PLAYER_TRACK_VIDEO];
    return &ctx->info.video[i < ctx->info.videoCount && i < 2 ? i : 0];
}

// At the end of the video stream the decoder still holds the picture it
// keeps back for reordering: it comes out once the queue is empty, and the
// video ends only when that picture has had its turn. 0 while a picture is
// still to be shown.
int ReleaseHeldPicture(PlayerContext* ctx) {
    if (ctx->framePending) return 0;
    if (ctx->popPending) {
        // The packet of the picture just shown.
        ctx->popPending = 0;
        MediaSample packet = {};
        if (PacketQueue_Peek(ctx->videoQueue, &packet)) {
            packet.length = 0;
            PacketQueue_Pop(ctx->videoQueue, &packet);
        }
    }
    if (PacketQueue_Count(ctx->videoQueue) > 0 || !ctx->videoDecoder) return 1;
    DecodedFrame held = {};
    VideoDecoder_Drain(ctx->videoDecoder, &held);
    if (!held.y) return 1;
    ctx->frame = held;
    ctx->lastPictureMs = held.time;
    ctx->framePending = held.time >= ctx->currentTarget;
    return !ctx->framePending;
}

// Shared by both fetch steps: reads one sample of `type` into `q`. With
// `release`, the end of the video stream first hands out the picture the
// decoder holds back.
int FetchPacket(PlayerContext* ctx, PacketQueue* q, uint32_t type, std::atomic<uint32_t>& ended,
                PcmBuffer* pcmOnEnd, bool release = false) {
    if (ended) {
        OS_Sleep(10);
        return 0;
    }
    MediaSample area = {};
    if (!PacketQueue_GetWriteArea(q, &area)) return 1;
    area.type = type;
    int32_t r = Source_ReadSample(ctx->source, &area);
    if (r >= 0) {
        PacketQueue_Commit(q, &area);
        return 1;
    }
    if (r == PLAYER_E_NOT_YET) return Player_SendCommand(ctx, PLAYER_STATE_BUFFER_START);
    if (r == PLAYER_E_BUFFER_TOO_SMALL) {
        if (!PacketQueue_Grow(q, area.length)) {
            ctx->lastError = PLAYER_E_OUT_OF_MEMORY;
            return 0;
        }
        return 1;
    }
    if (r == PLAYER_E_END_OF_STREAM) {
        if (release && !ReleaseHeldPicture(ctx)) return 0;
        if (PacketQueue_Count(q) > 0) return 0;
        if (pcmOnEnd) PcmBuffer_SetEnd(pcmOnEnd);
        ended = 1;
        OS_Sleep(10);
        return 0;
    }
    ctx->lastError = r;
    OS_Sleep(10);
    return 0;
}

}  // namespace

// Also the fill before the decoder's flush after a seek: the decoder may
// still hold a picture from before the seek, so nothing is released here.
int Player_FetchVideoPacket(PlayerContext* ctx) {
    return FetchPacket(ctx, ctx->videoQueue, PLAYER_TRACK_VIDEO, ctx->videoEnded, nullptr);
}

namespace {

// The fetch step of the video task and of a paused step.
int FetchVideoPacketOrRelease(PlayerContext* ctx) {
    return FetchPacket(ctx, ctx->videoQueue, PLAYER_TRACK_VIDEO, ctx->videoEnded, nullptr, true);
}

}  // namespace

int Player_FetchAudioPacket(PlayerContext* ctx) {
    return FetchPacket(ctx, ctx->audioQueue, PLAYER_TRACK_AUDIO, ctx->audioEnded, ctx->pcm);
}

int Player_OpenVideoPath(PlayerContext* ctx) {
    if (!ctx->hasVideo || !ctx->videoQueue) return 0;
    VideoTrackInfo* track = ChosenVideoTrack(ctx);
    MediaSample first = {};
    if (!ctx->videoDecoder) {
        if (!PacketQueue_Peek(ctx->videoQueue, &first)) return 0;
        VideoDecoder* dec = nullptr;
        int32_t r = VideoDecoder_Create(&dec, &first, track, 1);
        if (r < 0 || !dec) {
            Player_SetError(ctx, r < 0 ? r : PLAYER_E_FAIL);
            return 0;
        }
        ctx->videoDecoder = dec;
    } else {
        VideoDecoder_Flush(ctx->videoDecoder);
    }
    if (!ctx->videoRenderer) {
        if (!PacketQueue_Peek(ctx->videoQueue, &first)) return 0;
        VideoRendererFormat f = {track->codec,
                                 track->outputFourCC,
                                 track->width,
                                 track->height,
                                 track->configLength ? track->config : first.data,
                                 track->configLength ? track->configLength : first.length};
        VideoRenderer* vr = nullptr;
        int32_t r = VideoRenderer_Create(&vr, &f, 0);
        if (r < 0 || !vr) {
            Player_SetError(ctx, r < 0 ? r : PLAYER_E_FAIL);
            return 0;
        }
        OS_Lock(ctx->componentLock);
        int ok = VideoRenderer_SetConfig(vr, &ctx->videoConfig);
        if (ok) ctx->videoRenderer = vr;
        OS_Unlock(ctx->componentLock);
        if (!ok) {
            VideoRenderer_Destroy(vr);
            ctx->lastError = PLAYER_E_VIDEO_OUTPUT;
            return 0;
        }
    }
    OsLockGuard g(ctx->videoLock);
    ctx->frame.y = nullptr;
    ctx->framePending = 0;
    ctx->popPending = 0;
    ctx->pictureLags = 0;
    return 1;
}

void Player_CloseVideoPath(PlayerContext* ctx) {
    VideoDecoder_Destroy(ctx->videoDecoder);
    ctx->videoDecoder = nullptr;
    VideoRenderer_Destroy(ctx->videoRenderer);
    ctx->videoRenderer = nullptr;
    PacketQueue_Destroy(ctx->videoQueue);
    ctx->videoQueue = nullptr;
    std::memset(&ctx->frame, 0, sizeof ctx->frame);
    ctx->framePending = 0;
    Player_CloseTextPath(ctx);
}

int Player_OpenTextPath(PlayerContext* ctx) {
    if (!ctx->hasText) return 0;
    if (!ctx->textDecoder) {
        uint32_t i = ctx->trackChoice[PLAYER_TRACK_TEXT];
        if (i >= ctx->info.textCount || i >= 3) return 0;
        TextDecoder* dec = nullptr;
        int32_t r = TextDecoder_Create(&dec, &ctx->info.text[i]);
        if (r < 0 || !dec) {
            Player_SetError(ctx, r < 0 ? r : PLAYER_E_FAIL);
            return 0;
        }
        ctx->textDecoder = dec;
    }
    if (!ctx->textBuffer) {
        uint32_t m = 0;
        for (uint32_t i = 0; i < ctx->info.textCount && i < 3; ++i)
            m = ctx->info.text[i].maxSampleSize > m ? ctx->info.text[i].maxSampleSize : m;
        if (m == 0) m = 1024;
        ctx->textBuffer = new (std::nothrow) uint8_t[m];
        if (!ctx->textBuffer) return 0;
        ctx->textBufferSize = m;
    }
    return 1;
}

void Player_CloseTextPath(PlayerContext* ctx) {
    TextDecoder_Destroy(ctx->textDecoder);
    ctx->textDecoder = nullptr;
    delete[] ctx->textBuffer;
    ctx->textBuffer = nullptr;
    ctx->textBufferSize = 0;
    ctx->textPending = 0;
}

void Player_TextStep(PlayerContext* ctx) {
    if (!ctx->hasText || !ctx->textDecoder) return;
    if (ctx->textPending) {
        if (ctx->subtitle.run_count > 0 && Clock_GetTime(ctx->clock) >= ctx->subtitle.time) {
            VideoRenderer_SetOverlayText(ctx->videoRenderer, &ctx->subtitle);
            ctx->textPending = 0;
        }
        return;
    }
    // The application reads the data track itself (Player_ReadTextSample);
    // the player's own text step reads nothing, so the two never compete
    // for the same track position.
}

int32_t Player_CheckAvSync(PlayerContext* ctx, uint32_t pictureMs) {
    int32_t d = static_cast<int32_t>(Clock_GetTime(ctx->clock) - pictureMs);
    if (d > 600) return PLAYER_E_FRAME_VERY_LATE;
    if (d > 300) return PLAYER_E_FRAME_LATE;
    if (d >= -40) return 0;
    return PLAYER_E_FRAME_EARLY;
}

void Player_DecodeVideo(PlayerContext* ctx) {
    if (ctx->framePending) return;
    MediaSample packet = {};
    if (ctx->popPending) {
        // A raw picture points into its packet: the packet left the queue
        // only now that the picture is gone, so no fetch could overwrite it.
        ctx->popPending = 0;
        if (PacketQueue_Peek(ctx->videoQueue, &packet)) {
            packet.length = 0;
            PacketQueue_Pop(ctx->videoQueue, &packet);
        }
    }
    if (!PacketQueue_Peek(ctx->videoQueue, &packet)) return;
    // One picture back: decoding stops at the packet that reaches the
    // target and the picture before it is shown. A decoder that gives each
    // picture out only when the next one starts still holds that picture:
    // the target's packet is decoded to release it.
    const bool stepBack =
        ctx->seekMode == 4 && ctx->direction == 0 && packet.time >= ctx->currentTarget;
    if (stepBack && !ctx->pictureLags) {
        // The step is done, so later decoding goes on normally.
        ctx->framePending = 1;
        ctx->seekMode = 0;
        return;
    }
    if (VideoDecoder_Decode(ctx->videoDecoder, &packet) != 0) {
        PacketQueue_Pop(ctx->videoQueue, &packet);
        return;
    }
    const uint32_t packetMs = packet.time;
    int32_t r = VideoDecoder_DecodePacket(ctx->videoDecoder, &packet, &ctx->frame);
    if (ctx->frame.y) {
        ctx->lastPictureMs = ctx->frame.time;
        ctx->framePending = ctx->frame.time >= ctx->currentTarget;
    }
    ctx->pictureLags = !ctx->frame.y || ctx->frame.time < packetMs;
    if (stepBack) {
        ctx->framePending = ctx->frame.y != nullptr;
        ctx->seekMode = 0;
    }
    if (r == PLAYER_E_PACKET_PENDING)
        PacketQueue_KeepHead(ctx->videoQueue, &packet);
    else if (ctx->framePending && packet.length == 0)
        ctx->popPending = 1;
    else
        PacketQueue_Pop(ctx->videoQueue, &packet);
}

void Player_ShowVideo(PlayerContext* ctx, int force) {
    if (!ctx->framePending) return;
    if (force) {
        VideoRenderer_DrawFrame(ctx->videoRenderer, &ctx->frame);
        return;
    }
    switch (Player_CheckAvSync(ctx, ctx->frame.time)) {
        case PLAYER_E_FRAME_EARLY:
            OS_Unlock(ctx->videoLock);  // let a step or seek in while we wait
            OS_Sleep(10);
            OS_Lock(ctx->videoLock);
            break;
        case PLAYER_E_FRAME_VERY_LATE:
            VideoDecoder_Flush(ctx->videoDecoder);
            ctx->framePending = 0;
            break;
        case PLAYER_E_FRAME_LATE: ctx->framePending = 0; break;
        default:
            VideoRenderer_DrawFrame(ctx->videoRenderer, &ctx->frame);
            ctx->framePending = 0;
            break;
    }
}

void Player_StepPaused(PlayerContext* ctx) {
    OsLockGuard g(ctx->videoLock);
    ctx->framePending = 0;
    FetchVideoPacketOrRelease(ctx);
    Player_DecodeVideo(ctx);
    Player_ShowVideo(ctx, 1);
}

uint32_t Player_VideoTask(void* arg) {
    PlayerContext* ctx = static_cast<PlayerContext*>(arg);
    while (!ctx->leave) {
        uint32_t s = ctx->state;
        ctx->videoSeen = s;
        if (s == PLAYER_STATE_PLAYING || s == PLAYER_STATE_RANGE_END) {
            OsLockGuard g(ctx->videoLock);
            Player_TextStep(ctx);
            Player_ShowVideo(ctx, 0);
            Player_DecodeVideo(ctx);
            FetchVideoPacketOrRelease(ctx);
        } else if (s == PLAYER_STATE_PAUSED) {
            {
                OsLockGuard g(ctx->videoLock);
                Player_TextStep(ctx);
                FetchVideoPacketOrRelease(ctx);
                Player_DecodeVideo(ctx);
                Player_ShowVideo(ctx, 1);
            }
            OS_Sleep(10);
        } else {
            {
                OsLockGuard g(ctx->videoLock);
                Player_ShowVideo(ctx, 1);
            }
            OS_Sleep(10);
        }
    }
    OsHandle self = ctx->videoThread.load();
    OS_CloseThread(self);
    ctx->videoThread = OS_INVALID_HANDLE;
    return 0;
}
