// Raw YUV adapter: uncompressed pictures in the track.
#include "engine/decode/rawyuv_adapter.h"

#include "engine/output/color_convert.h"
#include "engine/platform/os.h"

namespace {

struct RawState {
    uint8_t* work;
    uint32_t ySize, uSize, vSize;
};

}  // namespace

const VideoAdapterOps kRawYuvAdapterOps = {RawYuvAdapter_Init, RawYuvAdapter_Close, nullptr,
                                           RawYuvAdapter_Decode};

PlayerResult RawYuvAdapter_Init(VideoDecoder* dec, MediaSample*, VideoTrackInfo*) {
    RawState* s = static_cast<RawState*>(OS_MallocZero(sizeof(RawState)));
    if (!s) return PLAYER_E_OUT_OF_MEMORY;
    size_t n = size_t(dec->width) * dec->height * 4;
    s->work = static_cast<uint8_t*>(OS_MallocZero(n ? n : 16));
    if (!s->work) {
        OS_Free(s);
        return PLAYER_E_OUT_OF_MEMORY;
    }
    uint32_t in = dec->inputFourCC;
    dec->outputFourCC =
        (in == 0 || in == VideoFourCC('Y', 'V', '1', '2')) ? in : VideoFourCC('I', '4', '2', '0');
    uint32_t area = dec->width * dec->height;
    if (dec->outputFourCC) {
        s->ySize = area;
        s->uSize = s->vSize = area / 4;
    } else {
        s->ySize = s->uSize = s->vSize = uint32_t(uint64_t(dec->bitsPerPixel / 8) * area / 3);
    }
    dec->adapterState = s;
    return 0;
}

void RawYuvAdapter_Close(VideoDecoder* dec) {
    RawState* s = static_cast<RawState*>(dec->adapterState);
    if (!s) return;
    OS_Free(s->work);
    OS_Free(s);
    dec->adapterState = nullptr;
}

PlayerResult RawYuvAdapter_Decode(VideoDecoder* dec, MediaSample* packet, DecodedFrame* frame) {
    RawState* s = static_cast<RawState*>(dec->adapterState);
    uint32_t in = dec->inputFourCC;
    int w = int(dec->width), h = int(dec->height);
    bool packed = in == VideoFourCC('Y', 'U', 'Y', '2') || in == VideoFourCC('U', 'Y', 'V', 'Y') ||
                  in == VideoFourCC('Y', 'V', 'Y', 'U');
    uint64_t need = packed ? uint64_t(w) * h * 2 : uint64_t(s->ySize) + s->uSize + s->vSize;
    if (!packet->data || packet->length < need) {
        // A short sample would be read past its end: drop it.
        packet->length = 0;
        return PLAYER_E_STREAM_SYNTAX;
    }
    uint8_t* pic = packet->data;
    if (in == VideoFourCC('Y', 'U', 'Y', '2')) {
        ColorConvert_YUY2ToI420(s->work, packet->data, w, h);
        pic = s->work;
    } else if (in == VideoFourCC('U', 'Y', 'V', 'Y')) {
        ColorConvert_UYVYToI420(s->work, packet->data, w, h);
        pic = s->work;
    } else if (in == VideoFourCC('Y', 'V', 'Y', 'U')) {
        ColorConvert_YVYUToI420(s->work, packet->data, w, h);
        pic = s->work;
    }
    frame->y = pic;
    frame->u = pic + s->ySize;
    frame->v = frame->u + s->uSize;
    frame->stride = dec->width;
    frame->time = packet->time;
    packet->length = 0;
    return 0;
}
