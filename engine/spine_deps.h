// Declarations of the engine parts the player stands on that are not in
// this tree yet; replaced by their own headers as they arrive.
#pragma once

#include <cstdint>

#include "engine/clock.h"
#include "engine/media_info.h"
#include "engine/media_sample.h"
#include "engine/os.h"
#include "engine/player_result.h"
#include "engine/source.h"


// ---- packet queue
struct PacketQueue;
PacketQueue* PacketQueue_Create(uint32_t entries, uint32_t maxPacket, uint32_t zeroFill);
void PacketQueue_Destroy(PacketQueue* q);
int PacketQueue_Grow(PacketQueue* q, uint32_t maxPacket);
void PacketQueue_Clear(PacketQueue* q);
int PacketQueue_GetWriteArea(PacketQueue* q, MediaSample* area);
void PacketQueue_Commit(PacketQueue* q, MediaSample* sample);
int PacketQueue_Peek(PacketQueue* q, MediaSample* packet);
void PacketQueue_KeepHead(PacketQueue* q, MediaSample* packet);
void PacketQueue_Pop(PacketQueue* q, MediaSample* packet);
uint32_t PacketQueue_Count(PacketQueue* q);

// ---- video decoder
struct DecodedFrame {
    uint8_t* y;
    uint8_t* u;
    uint8_t* v;
    uint32_t stride;
    uint32_t timeMs;
};
struct VideoDecoder;
int32_t VideoDecoder_Create(VideoDecoder** out, MediaSample* firstPacket, VideoTrackInfo* track,
                            int createAdapter);
void VideoDecoder_Destroy(VideoDecoder* dec);
void VideoDecoder_Flush(VideoDecoder* dec);
int32_t VideoDecoder_Decode(VideoDecoder* dec, MediaSample* packet);
int32_t VideoDecoder_DecodePacket(VideoDecoder* dec, MediaSample* packet, DecodedFrame* frame);

// ---- audio decoder
struct PcmBlock;
struct AudioDecoder;
int32_t AudioDecoder_Create(AudioDecoder** out, MediaSample* firstPacket, AudioTrackInfo* track);
void AudioDecoder_Destroy(AudioDecoder* dec);
int AudioDecoder_Reset(AudioDecoder* dec);
int32_t AudioDecoder_Decode(AudioDecoder* dec, MediaSample* packet, PcmBlock* area);

// ---- text decoder
struct TextDecoder;
struct SubtitleFrame {
    uint32_t words[8];
    char text[256];
    uint32_t textLength;
    uint32_t timeMs;
};
int32_t TextDecoder_Create(TextDecoder** out, const TextTrackInfo* track);
void TextDecoder_Destroy(TextDecoder* dec);
int TextDecoder_Decode(TextDecoder* dec, const MediaSample* sample, SubtitleFrame* out);
