// One compressed sample as the source hands it out and the packet queues
// keep it. Track types and the sample record are shared by every engine
// object that moves samples.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <cstdint>

enum : uint32_t {
    TRACK_TYPE_NONE = 0,  // a track the reader drops
    TRACK_TYPE_AUDIO = 1,
    TRACK_TYPE_VIDEO = 2,
    TRACK_TYPE_TEXT = 3,  // the recorder's data track (and subtitles)
};

struct MediaSample {
    uint8_t* data;      // where the reader writes the sample's bytes
    uint32_t length;    // out: bytes written; with PLAYER_E_BUFFER_TOO_SMALL the size needed
    uint32_t capacity;  // in: size of the data area
    uint32_t time;      // out: ms, including the source's time offset of the type
    uint32_t duration;  // out: ms
    uint32_t reserved;
    uint32_t type;   // in: TRACK_TYPE_AUDIO, _VIDEO or _TEXT
    uint32_t flags;  // out: passed on with the packet
};
