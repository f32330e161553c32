// MPEG-4 part 2 / H.263 adapter over the engine's video decoder.
#include "engine/decode/mp4v_adapter.h"

#include <cstring>

#include "codecs/video/mp4vdec.h"
#include "engine/platform/os.h"

namespace {

struct Mp4vState {
    Mp4vDecoder* decoder;
    m4v::MemTable* tables;
    int tableCount;
    uint8_t* pictureBlock;
    Mp4vDecFrameBuffer buffers[3];
    Mp4vDecStreamInfo info;
    uint8_t* configCopy;
    int shortHeader;
};

void FreeState(Mp4vState* s) {
    if (!s) return;
    if (s->tables) {
        for (int i = 0; i < s->tableCount; ++i) OS_Free(s->tables[i].pointer);
        OS_Free(s->tables);
    }
    OS_Free(s->pictureBlock);
    OS_Free(s->configCopy);
    OS_Free(s);
}

}  // namespace

const VideoAdapterOps kMp4vAdapterOps = {Mp4vAdapter_Init, Mp4vAdapter_Close,
                                         Mp4vAdapter_IsKeyFrame, Mp4vAdapter_Decode,
                                         Mp4vAdapter_Drain};

PlayerResult Mp4vAdapter_Init(VideoDecoder* dec, MediaSample* first, VideoTrackInfo* track) {
    Mp4vState* s = static_cast<Mp4vState*>(OS_MallocZero(sizeof(Mp4vState)));
    if (!s) return PLAYER_E_OUT_OF_MEMORY;
    s->shortHeader = dec->inputFourCC == VideoFourCC('H', '2', '6', '3') ||
                     dec->inputFourCC == VideoFourCC('S', '2', '6', '3');
    const uint8_t* config = nullptr;
    uint32_t configSize = 0;
    uint32_t recLen = track->configLength;
    if (recLen > sizeof(track->config)) recLen = sizeof(track->config);
    if (recLen >= 3 && track->config[0] == 0 && track->config[1] == 0 && track->config[2] == 1) {
        config = track->config;
        configSize = recLen;
    } else if (first && first->data && first->length) {
        config = first->data;
        configSize = first->length;
    }
    if (config) {
        // The decoder keeps no pointer to it, but a private copy keeps the
        // packet free to move on.
        s->configCopy = static_cast<uint8_t*>(OS_Malloc(configSize));
        if (!s->configCopy) {
            FreeState(s);
            return PLAYER_E_OUT_OF_MEMORY;
        }
        memcpy(s->configCopy, config, configSize);
    }
    s->info.configData = s->configCopy;
    s->info.configSize = config ? configSize : 0;
    s->info.iIsShortHdrMode = s->shortHeader;
    uint32_t width = dec->width, height = dec->height;
    if ((width == 0 || height == 0) && config) {
        // The track record lacks the size: read it from the stream headers.
        Mp4vDecInitConfig probe = {};
        probe.streamInfo = &s->info;
        int32_t kind = 0;
        Mp4vDecInitResult pr = {&kind, 0, 0};
        if (Mp4vDecParseConfig(&probe, &pr) == 0) {
            width = pr.width;
            height = pr.height;
        }
    }
    uint32_t w16 = (width + 15) & ~15u, h16 = (height + 15) & ~15u;
    if (w16 == 0 || h16 == 0 || w16 > 4096 || h16 > 4096) {
        FreeState(s);
        return PLAYER_E_VIDEO_DECODER_INIT;
    }
    size_t picture = size_t(w16) * h16 * 3 / 2;
    s->pictureBlock = static_cast<uint8_t*>(OS_Malloc(size_t(w16) * h16 * 9 / 2 + 16));
    if (!s->pictureBlock) {
        FreeState(s);
        return PLAYER_E_OUT_OF_MEMORY;
    }
    uint8_t* base = reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(s->pictureBlock) + 15) &
                                               ~uintptr_t(15));
    for (int i = 0; i < 3; ++i) {
        uint8_t* y = base + picture * size_t(i);
        s->buffers[i].y = y;
        s->buffers[i].u = y + size_t(w16) * h16;
        s->buffers[i].v = s->buffers[i].u + size_t(w16) * h16 / 4;
        s->buffers[i].unused = 0;
    }
    Mp4vDecInitConfig cfg = {};
    cfg.streamInfo = &s->info;
    cfg.frameBuffers = s->buffers;
    cfg.uFrmBufferNum = 3;
    cfg.uMaxDecodableWidth = w16;
    cfg.uMaxDecodableHeight = h16;
    s->tableCount = Mp4vDecGetMemTableCount();
    s->tables =
        static_cast<m4v::MemTable*>(OS_MallocZero(sizeof(m4v::MemTable) * size_t(s->tableCount)));
    if (!s->tables) {
        FreeState(s);
        return PLAYER_E_OUT_OF_MEMORY;
    }
    Mp4vDecGetMemTables(&cfg, s->tables);
    for (int i = 0; i < s->tableCount; ++i) {
        s->tables[i].pointer = OS_MallocZero(s->tables[i].size);
        if (!s->tables[i].pointer) {
            FreeState(s);
            return PLAYER_E_OUT_OF_MEMORY;
        }
    }
    int32_t kind = 0;
    Mp4vDecInitResult res = {&kind, 0, 0};
    s->decoder = Mp4vDecInit(s->tables, &cfg, &res);
    if (!s->decoder) {
        FreeState(s);
        return PLAYER_E_VIDEO_DECODER_INIT;
    }
    if (!s->shortHeader && kind == 0) {
        dec->width = res.width;
        dec->height = res.height;
    } else {
        dec->width = width;
        dec->height = height;
    }
    dec->adapterState = s;
    return 0;
}

void Mp4vAdapter_Close(VideoDecoder* dec) {
    Mp4vState* s = static_cast<Mp4vState*>(dec->adapterState);
    if (!s) return;
    if (s->decoder) Mp4vDecClose(s->decoder, s->tables);
    FreeState(s);
    dec->adapterState = nullptr;
}

int Mp4vAdapter_IsKeyFrame(VideoDecoder* dec, const MediaSample* packet) {
    Mp4vState* s = static_cast<Mp4vState*>(dec->adapterState);
    if (!s || s->shortHeader || !packet->data) return 0;
    const uint8_t* p = packet->data;
    for (uint32_t i = 0; i + 4 < packet->length; ++i)
        if (p[i] == 0 && p[i + 1] == 0 && p[i + 2] == 1 && p[i + 3] == 0xB6) {
            int type = p[i + 4] >> 6;
            return type == 0 ? 1 : type == 3 ? 0 : 2;
        }
    return 0;
}

PlayerResult Mp4vAdapter_Decode(VideoDecoder* dec, MediaSample* packet, DecodedFrame* frame) {
    Mp4vState* s = static_cast<Mp4vState*>(dec->adapterState);
    int32_t pair[2] = {-1, 0};
    Mp4vDecOutput out = {};
    out.result = pair;
    Mp4vDecInput in = {};
    in.data = packet->data;
    in.size = packet->length;
    in.completeUnit = 1;
    // An MPEG-4 picture leaves the decoder when the next one starts, so it
    // carries the previous packet's time and the first packet after a flush
    // gives none. H.263 has no reordering: each picture leaves the decoder
    // at its own call and keeps its own packet's time.
    const uint32_t ownTime = packet->time;
    uint32_t used = Mp4vDecDecodeFrame(s->decoder, &in, &out);
    if (used > 0 && used <= packet->length) {
        if ((s->shortHeader || !dec->firstAfterFlush) && out.y) {
            frame->y = out.y;
            frame->u = out.u;
            frame->v = out.v;
            frame->stride = out.stride;
        }
        packet->data += used;
        packet->length -= used;
        frame->time = s->shortHeader ? ownTime : dec->prevTime;
        if (packet->length > 4) return 0;
    }
    packet->data += packet->length;
    packet->length = 0;
    frame->time = s->shortHeader ? ownTime : dec->prevTime;
    return 0;
}

PlayerResult Mp4vAdapter_Drain(VideoDecoder* dec, DecodedFrame* frame) {
    Mp4vState* s = static_cast<Mp4vState*>(dec->adapterState);
    if (!s || s->shortHeader) return 0;
    int32_t pair[2] = {-1, 0};
    Mp4vDecOutput out = {};
    out.result = pair;
    Mp4vDecInput in = {};  // size 0: the end of the stream
    in.completeUnit = 1;
    Mp4vDecDecodeFrame(s->decoder, &in, &out);
    if (!out.y) return 0;
    frame->y = out.y;
    frame->u = out.u;
    frame->v = out.v;
    frame->stride = out.stride;
    frame->time = dec->prevTime;
    return 0;
}
