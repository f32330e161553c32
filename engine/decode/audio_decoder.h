// Audio decoder wrapper of the audio path: picks the adapter by the track's
// codec tag, decodes one packet at a time into a PCM write area and gives
// each decoded piece its media time by counting samples from the packet
// times.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <cstdint>

#include "engine/media_info.h"
#include "engine/input/media_sample.h"

struct PcmBlock;
struct AudioDecoder;

// Adapter operations; close and reset may be absent.
struct AudioAdapterOps {
    int32_t (*init)(AudioDecoder* dec, MediaSample* firstPacket, AudioTrackInfo* track);
    void (*close)(AudioDecoder* dec);
    // Decodes from the packet into the area (count, planes); advances the
    // packet; returns the bytes consumed. Sets dec->restDropped and
    // dec->frameProduced.
    int32_t (*decode)(AudioDecoder* dec, MediaSample* packet, PcmBlock* area);
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

int32_t AudioDecoder_Create(AudioDecoder** out, MediaSample* firstPacket, AudioTrackInfo* track);
// 1 when an adapter was chosen for the tag, else 0.
int AudioDecoder_SelectCodec(AudioDecoder* dec, uint32_t tag);
void AudioDecoder_Destroy(AudioDecoder* dec);
int AudioDecoder_Reset(AudioDecoder* dec);
int32_t AudioDecoder_Decode(AudioDecoder* dec, MediaSample* packet, PcmBlock* area);

// The two adapters' operation tables.
extern const AudioAdapterOps kAacAdapterOps;
extern const AudioAdapterOps kPcmAdapterOps;
