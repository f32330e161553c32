// Audio decoder wrapper: adapter choice, time stamps of decoded pieces.
#include "engine/decode/audio_decoder.h"

#include <cstdlib>
#include <cstring>

#include "engine/input/audio_headers.h"
#include "engine/output/audio_renderer.h"
#include "engine/player_result.h"

namespace {

uint32_t FourCC(const char* s) {
    return (uint32_t)(uint8_t)s[0] | ((uint32_t)(uint8_t)s[1] << 8) |
           ((uint32_t)(uint8_t)s[2] << 16) | ((uint32_t)(uint8_t)s[3] << 24);
}

}  // namespace

bool AudioDecoder_SelectCodec(AudioDecoder* dec, uint32_t tag) {
    if (tag == 1) {
        dec->ops = kPcmAdapterOps;
        return true;
    }
    if (tag == 253 || tag == 254 || tag == 255 || tag == FourCC("raac") || tag == FourCC("racp")) {
        dec->ops = kAacAdapterOps;
        return true;
    }
    return false;
}

PlayerResult AudioDecoder_Create(AudioDecoder** out, MediaSample* firstPacket,
                                 AudioTrackInfo* track) {
    *out = nullptr;
    AudioDecoder* d = (AudioDecoder*)calloc(1, sizeof(AudioDecoder));
    if (!d) return PLAYER_E_OUT_OF_MEMORY;
    d->resetPending = 1;
    d->perPacketTime = track->perPacketTime;
    d->bitrateKbps = track->bitrate / 1000;
    d->bitsPerSample = track->bitsPerSample;
    if (!AudioDecoder_SelectCodec(d, track->codec)) {
        free(d);
        return PLAYER_E_UNSUPPORTED_AUDIO_CODEC;
    }
    int32_t r = d->ops.init(d, firstPacket, track);
    if (r < 0) {
        free(d);
        return r;
    }
    d->samplesPerFrame = AudioFrame_GetSamplesPerFrame(track->codec);
    if (d->samplesPerFrame == 0) d->samplesPerFrame = 1024;
    track->sampleRate = d->outputRate;
    track->channels = d->channels;
    track->samplesPerFrame = d->samplesPerFrame;
    track->pcmBufferSamples = (d->outputRate / (d->samplesPerFrame * 20) + 1) * d->samplesPerFrame;
    *out = d;
    return 0;
}

void AudioDecoder_Destroy(AudioDecoder* dec) {
    if (!dec) return;
    if (dec->ops.close) dec->ops.close(dec);
    free(dec);
}

int AudioDecoder_Reset(AudioDecoder* dec) {
    if (dec && !dec->resetPending) {
        dec->resetPending = 1;
        if (dec->ops.reset) dec->ops.reset(dec);
    }
    return 1;
}

PlayerResult AudioDecoder_Decode(AudioDecoder* dec, MediaSample* packet, PcmBlock* area) {
    if (!packet->length) return PLAYER_E_AUDIO_DECODE;
    if (dec->perPacketTime) {
        if (packet->time != dec->timeBase) {
            dec->timeBase = packet->time;
            dec->bytesSinceBase = 0;
            dec->samplesSinceBase = 0;
        }
    } else if (dec->resetPending) {
        dec->timeBase = packet->time;
        dec->bytesSinceBase = 0;
        dec->samplesSinceBase = 0;
        dec->resetPending = 0;
    }
    area->count = 0;
    int32_t used = dec->ops.decode(dec, packet, area);
    uint32_t rate = dec->outputRate ? dec->outputRate : 1;
    area->timeMs = dec->timeBase + (uint32_t)((uint64_t)dec->samplesSinceBase * 1000 / rate);
    dec->bytesSinceBase += (uint32_t)(used > 0 ? used : 0);
    dec->samplesSinceBase += area->count;
    if (dec->frameProduced) {
        dec->frameProduced = 0;
        if (packet->length > 0 && !dec->restDropped) return PLAYER_E_PACKET_PENDING;
        dec->restDropped = 0;
        return 0;
    }
    dec->restDropped = 0;
    return PLAYER_E_AUDIO_DECODE;
}
