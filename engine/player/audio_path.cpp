// Audio path: the PCM buffer between the decoder and the renderer, and the
// "Player Audio Task" that decodes and writes blocks.
#include <cstring>
#include <new>

#include "engine/player/player_context.h"

PcmBuffer* PcmBuffer_Create(uint32_t rate, uint32_t channels, uint32_t samplesPerFrame,
                            uint32_t minimumFill, uint32_t capacity, uint32_t decoderInterleaved,
                            uint32_t outputInterleaved) {
    if (channels == 0 || capacity == 0) return nullptr;
    PcmBuffer* b = new (std::nothrow) PcmBuffer();
    if (!b) return nullptr;
    b->decoderInterleaved = decoderInterleaved;
    b->outputInterleaved = outputInterleaved;
    b->sampleRate = rate;
    b->channels = channels;
    b->samplesPerFrame = samplesPerFrame;
    b->minimumFill = minimumFill;
    b->capacity = capacity;
    bool ok = true;
    if (decoderInterleaved || outputInterleaved || channels == 1) {
        b->interleaved = new (std::nothrow) int16_t[size_t(channels) * capacity]();
        ok = ok && b->interleaved;
    }
    if (channels >= 2 && !(decoderInterleaved && outputInterleaved)) {
        b->left = new (std::nothrow) int16_t[capacity]();
        b->right = new (std::nothrow) int16_t[capacity]();
        ok = ok && b->left && b->right;
    }
    if (!ok) {
        PcmBuffer_Destroy(b);
        return nullptr;
    }
    return b;
}

void PcmBuffer_Destroy(PcmBuffer* b) {
    if (!b) return;
    delete[] b->interleaved;
    delete[] b->left;
    delete[] b->right;
    delete b;
}

void PcmBuffer_Clear(PcmBuffer* b) {
    if (b) b->fill = 0;
}

void PcmBuffer_SetEnd(PcmBuffer* b) {
    if (b) b->ended = 1;
}

int PcmBuffer_GetWriteArea(PcmBuffer* b, PcmBlock* a) {
    std::memset(a, 0, sizeof *a);
    uint32_t room = b->capacity - b->fill;
    if (room < b->samplesPerFrame || room == 0) return 0;
    if (b->decoderInterleaved) {
        a->interleaved = b->interleaved + size_t(b->channels) * b->fill;
    } else if (b->channels >= 2) {
        a->left = b->left + b->fill;
        a->right = b->right + b->fill;
    } else {
        a->left = b->interleaved + b->fill;
    }
    a->room = room;
    return 1;
}

void PcmBuffer_Commit(PcmBuffer* b, const PcmBlock* a) {
    uint32_t n = a->count;
    if (n > b->capacity - b->fill) n = b->capacity - b->fill;
    if (b->fill == 0) b->timeMs = a->timeMs;
    if (b->channels == 2 && b->decoderInterleaved && !b->outputInterleaved) {
        const int16_t* src = b->interleaved + size_t(2) * b->fill;
        for (uint32_t i = 0; i < n; ++i) {
            b->left[b->fill + i] = src[2 * i];
            b->right[b->fill + i] = src[2 * i + 1];
        }
    } else if (b->channels == 2 && b->outputInterleaved && !b->decoderInterleaved) {
        int16_t* dst = b->interleaved + size_t(2) * b->fill;
        for (uint32_t i = 0; i < n; ++i) {
            dst[2 * i] = b->left[b->fill + i];
            dst[2 * i + 1] = b->right[b->fill + i];
        }
    }
    b->fill += n;
}

int PcmBuffer_GetBlock(PcmBuffer* b, PcmBlock* blk) {
    std::memset(blk, 0, sizeof *blk);
    if (b->fill == 0) return 0;
    if (!b->ended) {
        if (b->minimumFill) {
            if (b->fill < b->minimumFill) return 0;
        } else if (b->capacity - b->fill >= b->samplesPerFrame) {
            return 0;
        }
    }
    if (b->outputInterleaved) {
        blk->interleaved = b->interleaved;
    } else if (b->channels >= 2) {
        blk->left = b->left;
        blk->right = b->right;
    } else {
        blk->left = b->interleaved;
    }
    blk->count = blk->room = b->fill;
    blk->timeMs = b->timeMs;
    return 1;
}

void PcmBuffer_Consume(PcmBuffer* b, const PcmBlock* blk) {
    // The renderer takes whole blocks; a block it gave back untaken keeps
    // its samples and time.
    b->fill = blk->count;
    if (b->fill == 0) b->timeMs = 0;
}

namespace {

AudioTrackInfo* ChosenAudioTrack(PlayerContext* ctx) {
    uint32_t i = ctx->trackChoice[PLAYER_TRACK_AUDIO];
    return &ctx->info.audio[i < ctx->info.audioCount && i < 2 ? i : 0];
}

}  // namespace

int Player_OpenAudioPath(PlayerContext* ctx) {
    if (!ctx->hasAudio || !ctx->audioQueue) return 0;
    AudioTrackInfo* track = ChosenAudioTrack(ctx);
    if (!ctx->audioDecoder) {
        MediaSample first = {};
        if (!PacketQueue_Peek(ctx->audioQueue, &first)) return 0;
        AudioDecoder* dec = nullptr;
        int32_t r = AudioDecoder_Create(&dec, &first, track);
        Player_SetError(ctx, r);
        if (r < 0 || !dec) return 0;
        ctx->audioDecoder = dec;
    } else {
        AudioDecoder_Reset(ctx->audioDecoder);
    }
    if (ctx->audioRenderer) {
        PcmBuffer_Clear(ctx->pcm);
        if (ctx->pcm) ctx->pcm->ended = 0;
        return 1;
    }
    AudioRendererFormat f = {track->sampleRate, track->channels, track->samplesPerFrame,
                             track->pcmBufferSamples};
    AudioRenderer* ar = nullptr;
    int32_t r = AudioRenderer_Create(&ar, &f, ctx->clock, !ctx->hasVideo);
    Player_SetError(ctx, r);
    if (r < 0 || !ar) return 0;
    OS_Lock(ctx->componentLock);
    // The output format and the device decide the path. Volume, mute and
    // effects follow; an output without a mixer or a mute control still
    // plays, so their results do not cost the sound.
    AudioOutConfig device = ctx->audioConfig, controls = ctx->audioConfig;
    const uint32_t kDeviceFlags = AUDIO_CONFIG_DEVICE | AUDIO_CONFIG_FORMAT;
    device.flags &= kDeviceFlags;
    controls.flags &= ~kDeviceFlags;
    int ok = AudioRenderer_SetConfig(ar, &device);
    // Without an installed output nothing would ever play or move the clock.
    if (ok && !ar->ops.Write) ok = 0;
    if (ok) AudioRenderer_SetConfig(ar, &controls);
    if (ok) ctx->audioRenderer = ar;
    OS_Unlock(ctx->componentLock);
    if (!ok) {
        AudioRenderer_Destroy(ar);
        ctx->lastError = PLAYER_E_AUDIO_OUTPUT;
        return 0;
    }
    ctx->pcm = PcmBuffer_Create(track->sampleRate, track->channels, track->samplesPerFrame, 0,
                                track->pcmBufferSamples, 0, 0);
    if (!ctx->pcm) {
        ctx->lastError = PLAYER_E_OUT_OF_MEMORY;
        return 0;
    }
    return 1;
}

void Player_CloseAudioPath(PlayerContext* ctx) {
    AudioDecoder_Destroy(ctx->audioDecoder);
    ctx->audioDecoder = nullptr;
    AudioRenderer_Destroy(ctx->audioRenderer);
    ctx->audioRenderer = nullptr;
    PacketQueue_Destroy(ctx->audioQueue);
    ctx->audioQueue = nullptr;
    PcmBuffer_Destroy(ctx->pcm);
    ctx->pcm = nullptr;
}

int Player_DecodeAudio(PlayerContext* ctx) {
    PcmBlock area;
    if (!ctx->pcm || !PcmBuffer_GetWriteArea(ctx->pcm, &area)) return 0;
    MediaSample packet = {};
    if (!PacketQueue_Peek(ctx->audioQueue, &packet)) return 0;
    int32_t r = AudioDecoder_Decode(ctx->audioDecoder, &packet, &area);
    if (r == PLAYER_E_PACKET_PENDING)
        PacketQueue_KeepHead(ctx->audioQueue, &packet);
    else
        PacketQueue_Pop(ctx->audioQueue, &packet);
    if (area.count == 0) return 0;
    uint32_t end = ctx->rangeEnd;
    if (end && end < area.timeMs) {
        PcmBuffer_SetEnd(ctx->pcm);
        ctx->audioEnded = 1;
        return 1;
    }
    PcmBuffer_Commit(ctx->pcm, &area);
    if (area.timeMs < ctx->currentTarget) PcmBuffer_Clear(ctx->pcm);
    return 1;
}

void Player_RenderAudio(PlayerContext* ctx) {
    PcmBlock blk;
    if (ctx->pcm && PcmBuffer_GetBlock(ctx->pcm, &blk) &&
        AudioRenderer_Write(ctx->audioRenderer, &blk))
        PcmBuffer_Consume(ctx->pcm, &blk);
}

void Player_SkipAudioTo(PlayerContext* ctx, uint32_t ms) {
    while (ctx->hasAudio && ctx->pcm) {
        Player_FetchAudioPacket(ctx);
        int decoded = Player_DecodeAudio(ctx);
        PcmBlock blk;
        if (PcmBuffer_GetBlock(ctx->pcm, &blk)) {
            if (ms <= blk.timeMs) return;
            blk.count = 0;
            PcmBuffer_Consume(ctx->pcm, &blk);
            continue;
        }
        // Once the audio has ended and nothing more comes out, there is
        // nothing left to skip.
        if (ctx->audioEnded && !decoded && PacketQueue_Count(ctx->audioQueue) == 0) return;
        if (ctx->state == PLAYER_STATE_STOP || ctx->leave) return;
    }
}

uint32_t Player_AudioTask(void* arg) {
    PlayerContext* ctx = static_cast<PlayerContext*>(arg);
    while (!ctx->leave) {
        uint32_t s = ctx->state;
        ctx->audioSeen = s;
        if (s == PLAYER_STATE_PLAYING || s == PLAYER_STATE_RANGE_END) {
            Player_RenderAudio(ctx);
            if (!Player_DecodeAudio(ctx)) OS_Sleep(10);
            Player_FetchAudioPacket(ctx);
        } else {
            OS_Sleep(10);
        }
    }
    OsHandle self = ctx->audioThread.load();
    OS_CloseThread(self);
    ctx->audioThread = OS_INVALID_HANDLE;
    return 0;
}
