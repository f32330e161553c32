// Audio decoder wrapper of the audio path: picks the adapter by the track's
// codec tag, decodes one packet at a time into a PCM write area and gives
// each decoded piece its media time by counting samples from the packet
// times.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <cstdint>

#include "engine/input/media_sample.h"
#include "engine/media_info.h"
#include "engine/player_result.h"

struct PcmBlock;
struct AudioDecoder;

// Adapter operations; close and reset may be absent.
struct AudioAdapterOps {
    PlayerResult (*init)(AudioDecoder* dec, MediaSample* firstPacket, AudioTrackInfo* track);
    void (*close)(AudioDecoder* dec);
    // Decodes from the packet into the area (count, planes); advances the
    // packet; returns the bytes consumed. Sets dec->restDropped and
    // dec->frameProduced.
    PlayerResult (*decode)(AudioDecoder* dec, MediaSample* packet, PcmBlock* area);
    void (*reset)(AudioDecoder* dec);
};

struct AudioDecoder {
    void* adapter;          // owned by the adapter
    uint32_t resetPending;  // the next packet sets the time base
    uint32_t restDropped;
    uint32_t frameProduced;
    uint32_t perPacketTime;  // each packet's own time re-bases the count
    uint32_t outputRate;
    uint32_t channels;
    uint32_t bitrateKbps;
    uint32_t bitsPerSample;
    uint32_t samplesPerFrame;
    uint32_t timeBase;  // ms
    uint32_t bytesSinceBase;
    uint32_t samplesSinceBase;
    AudioAdapterOps ops;
};

PlayerResult AudioDecoder_Create(AudioDecoder** out, MediaSample* firstPacket,
                                 AudioTrackInfo* track);
// Whether an adapter takes the tag (it is then installed).
bool AudioDecoder_SelectCodec(AudioDecoder* dec, uint32_t tag);
void AudioDecoder_Destroy(AudioDecoder* dec);
int AudioDecoder_Reset(AudioDecoder* dec);
PlayerResult AudioDecoder_Decode(AudioDecoder* dec, MediaSample* packet, PcmBlock* area);

// The two adapters' operation tables.
extern const AudioAdapterOps kAacAdapterOps;
extern const AudioAdapterOps kPcmAdapterOps;
// Their set-up and decode steps by name.
PlayerResult AacAdapter_Init(AudioDecoder* dec, MediaSample* firstPacket, AudioTrackInfo* track);
PlayerResult PcmAdapter_Init(AudioDecoder* dec, MediaSample* firstPacket, AudioTrackInfo* track);
PlayerResult PcmAdapter_Decode(AudioDecoder* dec, MediaSample* packet, PcmBlock* area);
