// AAC adapter: owns the decoder's memory tables and its output buffer, and
// turns packets (ADTS runs, ADIF, or MP4 access units) into planar PCM.
#include "engine/decode/aac_adapter.h"

#include <stdlib.h>
#include <string.h>

#include "codecs/aac/aac_dec.h"
#include "engine/decode/audio_decoder.h"
#include "engine/input/audio_headers.h"
#include "engine/output/audio_renderer.h"

namespace {

const int32_t kErrMemory = (int32_t)0x80000001;
const int32_t kErrInit = (int32_t)0x80000033;

enum { kRaw = 0, kAdts = 1, kAdif = 2 };

int32_t SamplesPerFrame(int32_t tag) { return (tag == 253 || tag == 254) ? 2048 : 1024; }

// Length of the ADTS frame at p, or 0 when no valid header is there.
int32_t AdtsFrameLength(const uint8_t* p, int32_t n) {
    if (n < 7 || p[0] != 0xFF || (p[1] & 0xF6) != 0xF0) return 0;
    return ((p[3] & 3) << 11) | (p[4] << 3) | (p[5] >> 5);
}

}  // namespace

struct AacAdapter {
    aac::MemTable tables[AAC_MEM_TABLE_COUNT];
    AacDecHandle* handle;
    AacDecConfig config;
    AacDecConfig initConfig;
    int transport;
    int16_t* pcm;
    int32_t pcmBytes;
    AacAdapterTrack own;
    AacAdapterTrack* track;
};

int32_t AacAdapter_Open(AacAdapter** out, const uint8_t* packet, int32_t length,
                        AacAdapterTrack* track) {
    *out = nullptr;
    AacAdapter* a = (AacAdapter*)calloc(1, sizeof(AacAdapter));
    if (!a) return kErrMemory;
    a->own = *track;
    a->track = &a->own;
    if (AacDecGetMemTables(a->tables) != 0) {
        free(a);
        return kErrMemory;
    }
    for (int i = 0; i < AAC_MEM_TABLE_COUNT; i++) {
        a->tables[i].pointer = malloc(a->tables[i].size);
        if (!a->tables[i].pointer) {
            AacAdapter_Close(a);
            return kErrMemory;
        }
    }
    if (length >= 2 && packet[0] == 0xFF && (packet[1] & 0xF0) == 0xF0)
        a->transport = kAdts;
    else if (length >= 4 && memcmp(packet, "ADIF", 4) == 0)
        a->transport = kAdif;
    else
        a->transport = kRaw;
    if (track->configLength > 0) {
        AudioFrameConfig asc;
        memset(&asc, 0, sizeof(asc));
        if (Aac_ParseAsc(track->config, (uint32_t)track->configLength, &asc)) {
            if (asc.sample_rate > 0) track->sampleRate = (int32_t)asc.sample_rate;
            if (asc.channels > 0) track->channels = (int32_t)asc.channels;
        }
    }
    memset(&a->config, 0, sizeof(a->config));
    a->config.sampleRate = track->sampleRate;
    a->config.channels = track->channels;
    if (track->codecTag == 253) a->config.channels /= 2;
    if (track->codecTag == 254 || track->codecTag == 253) a->config.sampleRate /= 2;
    a->config.transport = a->transport;
    a->initConfig = a->config;
    if (AacDecInit("3.2", &a->handle, &a->config, a->tables) != 0) {
        AacAdapter_Close(a);
        return kErrInit;
    }
    // Probe the first frames to learn the stream.
    const uint8_t* p = packet;
    int32_t left = length;
    for (;;) {
        AacDecInput in = {left, left, p};
        if (left > 0 && AacDecProbeFrame(a->handle, &a->config, &in) == 0) break;
        int32_t frame = a->transport == kAdts ? AdtsFrameLength(p, left) : 0;
        if (frame <= 0 || frame >= left) {
            AacAdapter_Close(a);
            return kErrInit;
        }
        p += frame;
        left -= frame;
    }
    track->sampleRate = a->config.sampleRate;
    track->channels = a->config.channels;
    if (a->config.sbrPresent) track->codecTag = a->config.psPresent ? 253 : 254;
    track->samplesPerFrame = SamplesPerFrame(track->codecTag);
    a->own = *track;
    a->pcmBytes = AAC_PCM_CHANNEL_STRIDE * 2 * 2;
    a->pcm = (int16_t*)calloc(1, (size_t)a->pcmBytes);
    if (!a->pcm) {
        AacAdapter_Close(a);
        return kErrMemory;
    }
    *out = a;
    return 0;
}

int32_t AacAdapter_Decode(AacAdapter* a, const uint8_t* data, int32_t length, int16_t* left,
                          int16_t* right, int32_t room, int32_t* count, int32_t* flags) {
    *count = 0;
    *flags = 0;
    int32_t consumed = 0;
    while (length - consumed > 0) {
        const uint8_t* p = data + consumed;
        int32_t rest = length - consumed;
        int32_t frame = rest;
        if (a->transport == kAdts) {
            frame = AdtsFrameLength(p, rest);
            if (frame <= 0 || frame > rest) {
                *flags |= AAC_ADAPTER_REST_DROPPED;
                break;
            }
        } else if (a->transport == kAdif) {
            if (rest < a->config.channels * 768) {
                *flags |= AAC_ADAPTER_REST_DROPPED;
                break;
            }
        }
        const int32_t frameSamples = SamplesPerFrame(a->track->codecTag);
        if (room - *count < frameSamples) {
            *flags |= AAC_ADAPTER_FRAME_PRODUCED;
            break;
        }
        AacDecInput in = {frame, rest, p};
        AacDecOutput o = {0, a->pcmBytes, a->pcm};
        int32_t r = AacDecDecodeFrame(a->handle, &a->config, &in, &o);
        if ((r != 0 && a->config.bytesUsed == 0) || r == AAC_E_COUPLING || r == AAC_E_GAINCONTROL) {
            consumed = length;  // drop the rest of the packet
            *flags |= AAC_ADAPTER_REST_DROPPED;
            break;
        }
        int32_t ch = a->config.channels == 2 ? 2 : 1;
        int32_t n = o.bytesProduced / (ch * 2);
        if (n > room - *count) n = room - *count;
        if (n > 0) {
            memcpy(left + *count, a->pcm, (size_t)n * 2);
            if (ch == 2 && right)
                memcpy(right + *count, a->pcm + AAC_PCM_CHANNEL_STRIDE, (size_t)n * 2);
            *count += n;  // the samples actually copied
            *flags |= AAC_ADAPTER_FRAME_PRODUCED;
        }
        if (a->transport == kAdts)
            consumed += frame;
        else if (a->transport == kRaw)
            consumed = length;  // one access unit per packet
        else
            consumed += a->config.bytesUsed > 0 ? a->config.bytesUsed : rest;
    }
    a->own.sampleRate = a->config.sampleRate;
    a->own.channels = a->config.channels;
    return consumed;
}

int32_t AacAdapter_DecodeInto(AacAdapter* a, const uint8_t* data, int32_t length, int16_t* left,
                              int16_t* right, int32_t room, int32_t* count) {
    int32_t flags;
    return AacAdapter_Decode(a, data, length, left, right, room, count, &flags);
}

void AacAdapter_Reset(AacAdapter* a) {
    if (!a) return;
    AacDecConfig c = a->config;
    if (a->transport == kRaw) {
        if (c.sbrPresent && c.sbrDownSampled == 0) c.sampleRate /= 2;
        if (c.psPresent) c.channels /= 2;
    }
    c.transport = a->transport;
    a->config = c;
    AacDecInit("3.2", &a->handle, &a->config, a->tables);
}

void AacAdapter_Close(AacAdapter* a) {
    if (!a) return;
    if (a->handle) AacDecClose(a->handle);
    for (int i = 0; i < AAC_MEM_TABLE_COUNT; i++) free(a->tables[i].pointer);
    free(a->pcm);
    free(a);
}

// ---- the AudioDecoder's AAC operations

PlayerResult AacAdapter_Init(AudioDecoder* d, MediaSample* first, AudioTrackInfo* t) {
    AacAdapterTrack tr;
    memset(&tr, 0, sizeof(tr));
    tr.codecTag = (int32_t)t->codec;
    if (tr.codecTag != 253 && tr.codecTag != 254)
        tr.codecTag = 255;  // "raac" and "racp" decode as AAC
    tr.sampleRate = (int32_t)t->sampleRate;
    tr.channels = (int32_t)t->channels;
    tr.bitsPerSample = (int32_t)t->bitsPerSample;
    tr.configLength =
        (int32_t)(t->configLength < sizeof(tr.config) ? t->configLength : sizeof(tr.config));
    memcpy(tr.config, t->config, (size_t)tr.configLength);
    AacAdapter* a = nullptr;
    int32_t r = AacAdapter_Open(&a, first->data, (int32_t)first->length, &tr);
    if (r < 0) return r;
    d->adapter = a;
    t->codec = (uint32_t)tr.codecTag;
    d->outputRate = (uint32_t)tr.sampleRate;
    d->channels = (uint32_t)tr.channels;
    return 0;
}

namespace {

void OpsClose(AudioDecoder* d) {
    AacAdapter_Close((AacAdapter*)d->adapter);
    d->adapter = nullptr;
}

PlayerResult OpsDecode(AudioDecoder* d, MediaSample* packet, PcmBlock* area) {
    AacAdapter* a = (AacAdapter*)d->adapter;
    int32_t count = 0, flags = 0, used;
    if (area->interleaved) {
        // an interleaving buffer: decode planar, then interleave
        int16_t left[AAC_ADAPTER_MAX_SAMPLES * 2], right[AAC_ADAPTER_MAX_SAMPLES * 2];
        int32_t room =
            (int32_t)(area->room < AAC_ADAPTER_MAX_SAMPLES * 2 ? area->room
                                                               : AAC_ADAPTER_MAX_SAMPLES * 2);
        used = AacAdapter_Decode(a, packet->data, (int32_t)packet->length, left, right, room,
                                 &count, &flags);
        int ch = a->config.channels == 2 ? 2 : 1;
        for (int32_t i = 0; i < count; i++) {
            area->interleaved[i * ch] = left[i];
            if (ch == 2) area->interleaved[i * 2 + 1] = right[i];
        }
    } else {
        used = AacAdapter_Decode(a, packet->data, (int32_t)packet->length, area->left, area->right,
                                 (int32_t)area->room, &count, &flags);
    }
    area->count = (uint32_t)count;
    if (used > (int32_t)packet->length) used = (int32_t)packet->length;
    packet->data += used;
    packet->length -= (uint32_t)used;
    if (flags & AAC_ADAPTER_REST_DROPPED) {
        d->restDropped = 1;
        packet->data += packet->length;
        packet->length = 0;
    }
    if (flags & AAC_ADAPTER_FRAME_PRODUCED) d->frameProduced = 1;
    d->outputRate = (uint32_t)a->config.sampleRate;
    d->channels = (uint32_t)a->config.channels;
    return used;
}

void OpsReset(AudioDecoder* d) { AacAdapter_Reset((AacAdapter*)d->adapter); }

}  // namespace

extern const AudioAdapterOps kAacAdapterOps = {AacAdapter_Init, OpsClose, OpsDecode, OpsReset};
