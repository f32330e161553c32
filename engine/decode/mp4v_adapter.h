// MPEG-4 part 2 / H.263 adapter of the video decoder wrapper.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include "engine/decode/video_decoder.h"

extern const VideoAdapterOps kMp4vAdapterOps;

PlayerResult Mp4vAdapter_Init(VideoDecoder* dec, MediaSample* first, VideoTrackInfo* track);
void Mp4vAdapter_Close(VideoDecoder* dec);
int Mp4vAdapter_IsKeyFrame(VideoDecoder* dec, const MediaSample* packet);
PlayerResult Mp4vAdapter_Decode(VideoDecoder* dec, MediaSample* packet, DecodedFrame* frame);
// Releases the picture the decoder holds back for reordering; it carries
// the time of the packet decoded last. H.263 holds nothing back.
PlayerResult Mp4vAdapter_Drain(VideoDecoder* dec, DecodedFrame* frame);
