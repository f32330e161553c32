// The media source: opens a clip as a Stream, picks the container reader
// from the file's first bytes and serialises every reader call of the
// player's threads under one lock. It also applies a play range and
// per-type time offsets to the samples.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <cstdint>

#include "engine/media_info.h"
#include "engine/input/media_sample.h"
#include "engine/input/stream.h"

// The words of the open parameters the source uses.
struct SourceOpenWords {
    const char16_t* name;  // UTF-16 file name
    const char16_t* url;   // used instead of the name when not null
    uint32_t size;         // in/out: a local file's size is written here
    void* opaque;
};

// Progress record of Source_GetProgress.
struct SourceProgress {
    uint32_t fillPercent;
    uint32_t readPercent;
    uint32_t extra[3];
};

// Reader hooks; a null slot means the reader does not offer the operation.
// The seeks and the track selection answer whether they moved (false: the
// position was refused and nothing moved); the others return engine codes.
struct ReaderOps {
    int32_t (*open)(void** reader, Stream* stream);
    int32_t (*openUrl)(void** reader, SourceOpenWords* words);
    void (*close)(void* reader);
    void* unused;
    int32_t (*getInfo)(void* reader, MediaInfo* info);
    int32_t (*startPosition)(void* reader, uint32_t* position);
    int32_t (*makeIndexStep)(void* reader, uint32_t arg);
    int32_t (*readSample)(void* reader, MediaSample* sample);
    bool (*seekTime)(void* reader, uint32_t* position, uint32_t exact);
    bool (*seekFrame)(void* reader, uint32_t* position, uint32_t direction);
    bool (*seekText)(void* reader, uint32_t* position, uint32_t arg);
    bool (*seekTrack)(void* reader, uint32_t* position, uint32_t type);
    bool (*selectTrack)(void* reader, uint32_t index, uint32_t time, uint32_t type);
    int32_t (*progress)(void* reader, SourceProgress* progress);
    int32_t (*control)(void* reader, uint32_t code);
};

struct MediaSource;

PlayerResult Source_Open(MediaSource** out, SourceOpenWords* words);
void Source_Close(MediaSource* src);
PlayerResult Source_GetInfo(MediaSource* src, MediaInfo* info);
PlayerResult Source_SetStartPosition(MediaSource* src, uint32_t* position);
PlayerResult Source_ReadSample(MediaSource* src, MediaSample* sample);
bool Source_SeekTime(MediaSource* src, uint32_t* position, uint32_t exact);
bool Source_SeekFrame(MediaSource* src, uint32_t* position, uint32_t direction);
bool Source_Reposition(MediaSource* src, uint32_t* position, uint32_t arg);
bool Source_SeekTrack(MediaSource* src, uint32_t* position, uint32_t type);
bool Source_SelectTrack(MediaSource* src, uint32_t index, uint32_t type);
PlayerResult Source_CanReopenText(MediaSource* src, uint32_t track, void* context);
PlayerResult Source_GetProgress(MediaSource* src, SourceProgress* progress);
// Control codes the player passes to the reader through Source_Control.
enum SourceControlCode : uint32_t {
    SOURCE_CONTROL_STOP = 1,
    SOURCE_CONTROL_PLAY = 2,
    SOURCE_CONTROL_PAUSE = 3,
};
PlayerResult Source_Control(MediaSource* src, uint32_t code);
PlayerResult Source_SetRange(MediaSource* src, uint32_t start, uint32_t end, uint32_t set,
                             uint32_t force);
PlayerResult Source_AddTimeOffset(MediaSource* src, int32_t ms, uint32_t type);
PlayerResult Source_ProbeFileInfo(SourceOpenWords* words, MediaInfo* info);
bool Source_IsHttpUrl(const char16_t* text);

// The reader's own handle (for tools that ask the reader directly).
void* Source_GetReader(MediaSource* src);

// Reads the stream's first 4096 bytes and installs the matching reader's
// hooks; 0x80000015 when no reader takes the file.
PlayerResult Source_ProbeContainer(Stream* stream, ReaderOps* ops);
