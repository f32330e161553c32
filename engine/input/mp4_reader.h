// The MP4 reader: walks the box tree of an ISO base media file, describes
// its audio, video and data tracks in the MediaInfo and delivers samples one
// at a time per track type. Sample tables stay in the file: each table is
// walked through its own buffered cursor.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <cstdint>

#include "engine/media_info.h"
#include "engine/input/media_sample.h"
#include "engine/input/stream.h"

struct Mp4Reader;

enum : uint32_t {
    MP4_MAX_TRACKS = 10,
    MP4_SEEK_FORWARD = 1,   // the first sync sample after the time
    MP4_SEEK_BACKWARD = 2,  // the sync sample before
    MP4_SEEK_NEAREST = 3,
};

PlayerResult Mp4Reader_Create(Mp4Reader** out, Stream* stream);
// Closes the tracks' streams; the clip's stream belongs to the caller.
void Mp4Reader_Destroy(Mp4Reader* r);
PlayerResult Mp4Reader_ParseTopLevel(Mp4Reader* r, MediaInfo* info);
// 0, PLAYER_E_END_OF_STREAM, or PLAYER_E_BUFFER_TOO_SMALL with the size
// needed in sample->length (the capacity is left as given).
PlayerResult Mp4Reader_ReadSample(Mp4Reader* r, MediaSample* sample);
// The seeks and the track selection answer whether they moved: false when
// the time lies beyond the track (nothing moves then). FindMoov answers
// whether the movie box has been found in the bytes available so far.
bool Mp4Reader_Seek(Mp4Reader* r, uint32_t* time, uint32_t audioLed);
bool Mp4Reader_SeekDirection(Mp4Reader* r, uint32_t* time, uint32_t forward);
bool Mp4Reader_SeekByText(Mp4Reader* r, uint32_t* time, uint32_t forward);
bool Mp4Reader_SeekTrack(Mp4Reader* r, uint32_t* time, uint32_t type);
bool Mp4Reader_SelectTrack(Mp4Reader* r, uint32_t index, uint32_t time, uint32_t type);
bool Mp4Reader_FindMoov(Mp4Reader* r);

// Per-track facts the reader found (for tools and tests): sample count and
// the index of the next sample to read. 0 when there is no such track.
uint32_t Mp4Reader_TrackCount(const Mp4Reader* r);
int Mp4Reader_TrackAt(const Mp4Reader* r, uint32_t index, uint32_t* type, uint32_t* sampleCount,
                      uint32_t* nextSample);
