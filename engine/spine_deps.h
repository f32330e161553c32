// Declarations of the engine parts the player stands on that are not in
// this tree yet; replaced by their own headers as they arrive.
#pragma once

#include <cstdint>

#include "engine/clock.h"
#include "engine/media_info.h"
#include "engine/media_sample.h"
#include "engine/os.h"
#include "engine/source.h"


// ---- result codes
const int32_t PLAYER_E_FAIL = static_cast<int32_t>(0x80000000u);
const int32_t PLAYER_E_OUT_OF_MEMORY = static_cast<int32_t>(0x80000001u);
const int32_t PLAYER_E_THREAD = static_cast<int32_t>(0x80000002u);
const int32_t PLAYER_E_NO_DATA = static_cast<int32_t>(0x80000049u);
const int32_t PLAYER_E_BUFFER_TOO_SMALL = static_cast<int32_t>(0x80000051u);
const int32_t PLAYER_E_NOT_YET = static_cast<int32_t>(0x80000052u);
const int32_t PLAYER_E_END_OF_STREAM = static_cast<int32_t>(0x80000053u);
const int32_t PLAYER_E_AUDIO_DECODE = static_cast<int32_t>(0x80000054u);
const int32_t PLAYER_E_PACKET_PENDING = static_cast<int32_t>(0x80000055u);
const int32_t PLAYER_E_NO_TRACK = static_cast<int32_t>(0x80000056u);
const int32_t PLAYER_E_FRAME_LATE = static_cast<int32_t>(0x80000057u);
const int32_t PLAYER_E_FRAME_VERY_LATE = static_cast<int32_t>(0x80000058u);
const int32_t PLAYER_E_FRAME_EARLY = static_cast<int32_t>(0x80000059u);
const int32_t PLAYER_E_AUDIO_OUTPUT = static_cast<int32_t>(0x8000003Bu);
const int32_t PLAYER_E_VIDEO_OUTPUT = static_cast<int32_t>(0x8000003Cu);

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
                            uint32_t createAdapter);
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
