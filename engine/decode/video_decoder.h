// Video decoder wrapper: picks a codec adapter by the track's FourCC, gates
// packets after a flush until a key frame, and turns packets into I420
// pictures with their times.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <cstdint>

#include "engine/media_info.h"
#include "engine/input/media_sample.h"
#include "engine/player_result.h"

struct DecodedFrame {
    uint8_t* y;  // null: no picture
    uint8_t* u;
    uint8_t* v;
    uint32_t stride;  // of the Y plane, bytes
    uint32_t time;    // ms
};

struct VideoDecoder;

// Table of adapter operations; an empty isKeyFrame means "not offered".
struct VideoAdapterOps {
    PlayerResult (*init)(VideoDecoder* dec, MediaSample* first, VideoTrackInfo* track);
    void (*close)(VideoDecoder* dec);
    // 1 I picture, 2 P or B picture, 3 drop it, anything else: no answer.
    int (*isKeyFrame)(VideoDecoder* dec, const MediaSample* packet);
    PlayerResult (*decode)(VideoDecoder* dec, MediaSample* packet, DecodedFrame* frame);
    // The picture still held back at the end of the stream (none: y stays
    // null); empty for adapters that hold nothing back.
    PlayerResult (*drain)(VideoDecoder* dec, DecodedFrame* frame);
};

struct VideoDecoder {
    void* adapterState;
    uint32_t inputFourCC;
    uint32_t outputFourCC;
    uint32_t width, height;
    uint32_t bitsPerPixel;
    uint32_t frameRate;  // thousandths of a frame per second
    uint32_t prevTime;   // time of the previous packet
    uint32_t flushTime[2];
    uint32_t adapterActive;
    uint32_t firstAfterFlush;
    uint32_t waitingForKey;
    uint32_t keySeen;
    uint32_t ownsAdapter;
    uint32_t holding;  // a packet was decoded since the last flush or drain
    const VideoAdapterOps* ops;
    // Settings without a caller in the player.
    uint32_t requestedRate;
    uint32_t repeatPictures;
    uint32_t outWidth, outHeight;
    uint8_t* scaleBuffer;
    uint32_t skip;
};

constexpr uint32_t VideoFourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}

PlayerResult VideoDecoder_Create(VideoDecoder** out, MediaSample* first, VideoTrackInfo* track,
                                 int createAdapter);
PlayerResult VideoDecoder_SelectCodec(VideoDecoder* dec);
void VideoDecoder_Destroy(VideoDecoder* dec);
void VideoDecoder_Flush(VideoDecoder* dec);
PlayerResult VideoDecoder_Decode(VideoDecoder* dec, MediaSample* packet);
PlayerResult VideoDecoder_DecodePacket(VideoDecoder* dec, MediaSample* packet, DecodedFrame* frame);
// At the end of the stream: the picture the adapter still holds back, once.
// Nothing after a flush until a packet has been decoded again, so a picture
// from before a seek never comes out. frame->y is null when there is none.
PlayerResult VideoDecoder_Drain(VideoDecoder* dec, DecodedFrame* frame);
PlayerResult VideoDecoder_SetFrameRate(VideoDecoder* dec, uint32_t rate);
PlayerResult VideoDecoder_SetOutputSize(VideoDecoder* dec, uint32_t width, uint32_t height);
PlayerResult VideoDecoder_SetSkip(VideoDecoder* dec, uint32_t skip);
int VideoDecoder_IsRawFourcc(uint32_t fourcc);
// Frame duration in ms for a rate in thousandths of a frame per second; 0
// for an unknown (zero) rate.
uint32_t VideoDecoder_FrameDuration(uint32_t frameRate);
