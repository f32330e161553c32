// Video decoder wrapper.
#include "engine/decode/video_decoder.h"

#include "engine/decode/mp4v_adapter.h"
#include "engine/platform/os.h"
#include "engine/decode/rawyuv_adapter.h"

uint32_t VideoDecoder_FrameDuration(uint32_t frameRate) {
    // trunc(1000 / (rate x 0.001)); a zero rate gives no advance.
    if (frameRate == 0) return 0;
    return uint32_t(1000000ull / frameRate);
}

PlayerResult VideoDecoder_SelectCodec(VideoDecoder* dec) {
    static const uint32_t kMpeg4[] = {
        VideoFourCC('M', 'P', '4', 'V'), VideoFourCC('X', 'V', 'I', 'D'),
        VideoFourCC('D', 'I', 'V', 'X'), VideoFourCC('D', 'X', '5', '0'),
        VideoFourCC('D', 'I', 'V', '4'), VideoFourCC('D', 'I', 'V', '5'),
        VideoFourCC('M', 'P', '4', 'S'), VideoFourCC('F', 'M', 'P', '4'),
        VideoFourCC('H', '2', '6', '3'), VideoFourCC('S', '2', '6', '3')};
    static const uint32_t kRaw[] = {
        VideoFourCC('Y', 'U', 'Y', '2'), VideoFourCC('U', 'Y', 'V', 'Y'),
        VideoFourCC('Y', 'V', 'Y', 'U'), VideoFourCC('I', '4', '2', '0'),
        VideoFourCC('Y', 'V', '1', '2'), 0};
    dec->ops = nullptr;
    for (uint32_t f : kMpeg4)
        if (dec->inputFourCC == f) dec->ops = &kMp4vAdapterOps;
    for (uint32_t f : kRaw)
        if (dec->inputFourCC == f) dec->ops = &kRawYuvAdapterOps;
    return 0;
}

PlayerResult VideoDecoder_Create(VideoDecoder** out, MediaSample* first, VideoTrackInfo* track,
                                 int createAdapter) {
    *out = nullptr;
    VideoDecoder* dec = static_cast<VideoDecoder*>(OS_MallocZero(sizeof(VideoDecoder)));
    if (!dec) return PLAYER_E_OUT_OF_MEMORY;
    dec->inputFourCC = track->codec;
    dec->outputFourCC = VideoFourCC('I', '4', '2', '0');
    dec->width = track->width;
    dec->height = track->height;
    dec->frameRate = track->frameRate;
    dec->bitsPerPixel = track->bitsPerPixel;
    dec->firstAfterFlush = 1;
    dec->waitingForKey = 1;
    VideoDecoder_SelectCodec(dec);
    if (!dec->ops) {
        OS_Free(dec);
        return PLAYER_E_UNSUPPORTED_VIDEO_CODEC;
    }
    if (createAdapter) {
        PlayerResult r = dec->ops->init(dec, first, track);
        if (r != 0) {
            OS_Free(dec);
            return r;
        }
        dec->adapterActive = 1;
        dec->ownsAdapter = 1;
    }
    track->outputFourCC = dec->outputFourCC;
    track->width = dec->width;
    track->height = dec->height;
    *out = dec;
    return 0;
}

void VideoDecoder_Destroy(VideoDecoder* dec) {
    if (!dec) return;
    if (!dec->ownsAdapter) return;
    if (dec->adapterActive && dec->ops) dec->ops->close(dec);
    OS_Free(dec->scaleBuffer);
    OS_Free(dec);
}

void VideoDecoder_Flush(VideoDecoder* dec) {
    dec->keySeen = 0;
    dec->firstAfterFlush = 1;
    dec->waitingForKey = 1;
    dec->holding = 0;
}

PlayerResult VideoDecoder_Decode(VideoDecoder* dec, MediaSample* packet) {
    if (!packet->data || packet->length == 0) return PLAYER_E_FRAME_LATE;
    if (!dec->waitingForKey) return 0;
    if (!dec->ops->isKeyFrame) {
        dec->keySeen = 1;
        dec->waitingForKey = 0;
        return 0;
    }
    int k = dec->ops->isKeyFrame(dec, packet);
    if (k == 1) {
        dec->keySeen = 1;
        return 0;
    }
    if (k == 2) {
        if (!dec->keySeen) {
            packet->data += packet->length;
            packet->length = 0;
            return PLAYER_E_FRAME_LATE;
        }
        dec->waitingForKey = 0;
        return 0;
    }
    if (k == 3) {
        packet->data += packet->length;
        packet->length = 0;
        return PLAYER_E_FRAME_LATE;
    }
    dec->keySeen = 1;
    dec->waitingForKey = 0;
    return 0;
}

PlayerResult VideoDecoder_DecodePacket(VideoDecoder* dec, MediaSample* packet,
                                       DecodedFrame* frame) {
    if (dec->firstAfterFlush) {
        dec->prevTime = packet->time;
        dec->flushTime[0] = packet->time;
        dec->flushTime[1] = packet->time;
    }
    frame->y = frame->u = frame->v = nullptr;
    PlayerResult r = dec->ops->decode(dec, packet, frame);
    if (r != 0) return r;
    dec->firstAfterFlush = 0;
    dec->holding = 1;
    dec->prevTime = packet->time;
    if (packet->length > 0) {
        packet->time += VideoDecoder_FrameDuration(dec->frameRate);
        return PLAYER_E_PACKET_PENDING;
    }
    return r;
}

PlayerResult VideoDecoder_Drain(VideoDecoder* dec, DecodedFrame* frame) {
    frame->y = frame->u = frame->v = nullptr;
    if (!dec->holding || !dec->ops->drain) return 0;
    dec->holding = 0;
    return dec->ops->drain(dec, frame);
}

PlayerResult VideoDecoder_SetFrameRate(VideoDecoder* dec, uint32_t rate) {
    dec->requestedRate = rate;
    dec->repeatPictures = rate != dec->frameRate;
    return 0;
}

PlayerResult VideoDecoder_SetOutputSize(VideoDecoder* dec, uint32_t width, uint32_t height) {
    dec->outWidth = width;
    dec->outHeight = height;
    if (width != dec->width || height != dec->height) {
        size_t n = (size_t(width) * height * 3 / 2 + 15) & ~size_t(15);
        uint8_t* b = static_cast<uint8_t*>(OS_MallocZero(n ? n : 16));
        if (!b) return PLAYER_E_OUT_OF_MEMORY;
        OS_Free(dec->scaleBuffer);
        dec->scaleBuffer = b;
    }
    return 0;
}

PlayerResult VideoDecoder_SetSkip(VideoDecoder* dec, uint32_t skip) {
    dec->skip = skip;
    return 0;
}

int VideoDecoder_IsRawFourcc(uint32_t) { return 0; }
