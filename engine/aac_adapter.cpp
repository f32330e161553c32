// AAC adapter: owns the decoder's memory tables and its output buffer, and
// turns packets (ADTS runs, ADIF, or MP4 access units) into planar PCM.
#include "engine/aac_adapter.h"

#include <stdlib.h>
#include <string.h>

#include "codecs/aac/aac_dec.h"

namespace {

const int32_t kErrMemory = (int32_t)0x80000001;
const int32_t kErrInit = (int32_t)0x80000033;

enum { kRaw = 0, kAdts = 1, kAdif = 2 };

const int32_t kRates[16] = {96000, 88200, 64000, 48000, 44100, 32000, 24000, 22050,
                            16000, 12000, 11025, 8000, 7350, 0, 0, 0};

int32_t SamplesPerFrame(int32_t tag)
{
    return (tag == 253 || tag == 254) ? 2048 : 1024;
}

// Length of the ADTS frame at p, or 0 when no valid header is there.
int32_t AdtsFrameLength(const uint8_t* p, int32_t n)
{
    if (n < 7 || p[0] != 0xFF || (p[1] & 0xF6) != 0xF0)
        return 0;
    return ((p[3] & 3) << 11) | (p[4] << 3) | (p[5] >> 5);
}

} // namespace

struct AacAdapter {
    MemTable tables[AAC_MEM_TABLE_COUNT];
    AacDecHandle* handle;
    AacDecConfig config;
    AacDecConfig initConfig;
    int transport;
    int16_t* pcm;
    int32_t pcmBytes;
    AacAdapterTrack* track;
};

int32_t AacAdapter_ParseAsc(const uint8_t* data, int32_t length, int32_t* rate, int32_t* channels, int32_t* sbr)
{
    *rate = 0;
    *channels = 0;
    *sbr = 0;
    if (!data || length < 2)
        return 0;
    // audioObjectType 5, samplingFrequencyIndex 4 (15: 24-bit rate), channelConfiguration 4
    uint32_t bits = 0;
    int have = 0, pos = 0;
    auto take = [&](int n) -> uint32_t {
        while (have < n) {
            bits = (bits << 8) | (pos < length ? data[pos] : 0);
            pos++;
            have += 8;
        }
        uint32_t v = (bits >> (have - n)) & ((1u << n) - 1);
        have -= n;
        return v;
    };
    uint32_t aot = take(5);
    if (aot == 31)
        aot = 32 + take(6);
    uint32_t sfi = take(4);
    int32_t r = sfi == 15 ? (int32_t)take(24) : kRates[sfi];
    uint32_t ch = take(4);
    if (aot == 5 || aot == 29) {
        // explicit SBR: the core rate follows
        *sbr = 1;
        uint32_t esfi = take(4);
        if (esfi == 15)
            take(24);
    }
    *rate = r;
    *channels = (int32_t)ch;
    return (int32_t)aot;
}

int32_t AacAdapter_Open(AacAdapter** out, const uint8_t* packet, int32_t length, AacAdapterTrack* track)
{
    *out = nullptr;
    AacAdapter* a = (AacAdapter*)calloc(1, sizeof(AacAdapter));
    if (!a)
        return kErrMemory;
    a->track = track;
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
        int32_t rate, ch, sbr;
        if (AacAdapter_ParseAsc(track->config, track->configLength, &rate, &ch, &sbr) > 0) {
            if (rate > 0)
                track->sampleRate = rate;
            if (ch > 0)
                track->channels = ch;
        }
    }
    memset(&a->config, 0, sizeof(a->config));
    a->config.sampleRate = track->sampleRate;
    a->config.channels = track->channels;
    if (track->codecTag == 253)
        a->config.channels /= 2;
    if (track->codecTag == 254 || track->codecTag == 253)
        a->config.sampleRate /= 2;
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
        if (left > 0 && AacDecProbeFrame(a->handle, &a->config, &in) == 0)
            break;
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
    if (a->config.sbrPresent)
        track->codecTag = a->config.psPresent ? 253 : 254;
    track->samplesPerFrame = SamplesPerFrame(track->codecTag);
    a->pcmBytes = AAC_PCM_CHANNEL_STRIDE * 2 * 2;
    a->pcm = (int16_t*)calloc(1, (size_t)a->pcmBytes);
    if (!a->pcm) {
        AacAdapter_Close(a);
        return kErrMemory;
    }
    *out = a;
    return 0;
}

int32_t AacAdapter_Decode(AacAdapter* a, const uint8_t* data, int32_t length, int16_t* left, int16_t* right,
                          int32_t room, int32_t* count, int32_t* flags)
{
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
            consumed = length; // drop the rest of the packet
            *flags |= AAC_ADAPTER_REST_DROPPED;
            break;
        }
        int32_t ch = a->config.channels == 2 ? 2 : 1;
        int32_t n = o.bytesProduced / (ch * 2);
        if (n > room - *count)
            n = room - *count;
        if (n > 0) {
            memcpy(left + *count, a->pcm, (size_t)n * 2);
            if (ch == 2 && right)
                memcpy(right + *count, a->pcm + AAC_PCM_CHANNEL_STRIDE, (size_t)n * 2);
            *count += n; // the samples actually copied
            *flags |= AAC_ADAPTER_FRAME_PRODUCED;
        }
        if (a->transport == kAdts)
            consumed += frame;
        else if (a->transport == kRaw)
            consumed = length; // one access unit per packet
        else
            consumed += a->config.bytesUsed > 0 ? a->config.bytesUsed : rest;
    }
    if (a->track) {
        a->track->sampleRate = a->config.sampleRate;
        a->track->channels = a->config.channels;
    }
    return consumed;
}

int32_t AacAdapter_DecodeInto(AacAdapter* a, const uint8_t* data, int32_t length, int16_t* left, int16_t* right,
                              int32_t room, int32_t* count)
{
    int32_t flags;
    return AacAdapter_Decode(a, data, length, left, right, room, count, &flags);
}

void AacAdapter_Reset(AacAdapter* a)
{
    if (!a)
        return;
    AacDecConfig c = a->config;
    if (a->transport == kRaw) {
        if (c.sbrPresent && c.sbrDownSampled == 0)
            c.sampleRate /= 2;
        if (c.psPresent)
            c.channels /= 2;
    }
    c.transport = a->transport;
    a->config = c;
    AacDecInit("3.2", &a->handle, &a->config, a->tables);
}

void AacAdapter_Close(AacAdapter* a)
{
    if (!a)
        return;
    if (a->handle)
        AacDecClose(a->handle);
    for (int i = 0; i < AAC_MEM_TABLE_COUNT; i++)
        free(a->tables[i].pointer);
    free(a->pcm);
    free(a);
}
