// Raw YUV adapter of the video decoder wrapper: packed 4:2:2 is repacked to
// I420, planar pictures are used in place.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include "engine/decode/video_decoder.h"

extern const VideoAdapterOps kRawYuvAdapterOps;

PlayerResult RawYuvAdapter_Init(VideoDecoder* dec, MediaSample* first, VideoTrackInfo* track);
void RawYuvAdapter_Close(VideoDecoder* dec);
PlayerResult RawYuvAdapter_Decode(VideoDecoder* dec, MediaSample* packet, DecodedFrame* frame);
