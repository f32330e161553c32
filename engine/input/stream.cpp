// The Stream handle: a table of operation slots over a back end, and the
// typed big- and little-endian readers.
#include "engine/input/stream.h"

#include <cstdlib>
#include <cstring>

#include "engine/player_result.h"

namespace {

void FillFileOps(StreamOps* ops) {
    std::memset(ops, 0, sizeof *ops);
    ops->open = FileStream_Open;
    ops->clone = FileStream_Clone;
    ops->close = FileStream_Close;
    ops->openCursor = FileStream_OpenCursor;
    ops->closeCursor = FileStream_CloseCursor;
    ops->getSize = FileStream_GetSize;
    ops->read = FileStream_Read;
    ops->write = FileStream_Write;
    ops->skip = FileStream_Skip;
    ops->seek = FileStream_Seek;
    ops->seekFromEnd = FileStream_SeekFromEnd;
    ops->tell = FileStream_Tell;
    ops->readHead = FileStream_ReadHead;
    ops->skipHead = FileStream_SkipHead;
    ops->tellHead = FileStream_TellHead;
    ops->rewindHead = FileStream_RewindHead;
}

}  // namespace

PlayerResult Stream_CreateFile(Stream** out, const char16_t* name, uint32_t memorySize,
                               uint32_t writeFlag) {
    *out = nullptr;
    Stream* s = static_cast<Stream*>(std::calloc(1, sizeof(Stream)));
    if (!s) return PLAYER_E_OUT_OF_MEMORY;
    FillFileOps(&s->ops);
    int32_t r = s->ops.open(&s->backEnd, name, memorySize, writeFlag);
    if (r < 0) {
        std::free(s);
        return r;
    }
    *out = s;
    return 0;
}

PlayerResult Stream_Clone(Stream* s, Stream** out) {
    *out = nullptr;
    if (!s->ops.clone) return PLAYER_E_UNSUPPORTED_FUNCTION;
    Stream* c = static_cast<Stream*>(std::calloc(1, sizeof(Stream)));
    if (!c) return PLAYER_E_OUT_OF_MEMORY;
    c->ops = s->ops;
    int32_t r = s->ops.clone(s->backEnd, &c->backEnd);
    if (r < 0) {
        std::free(c);
        return r;
    }
    *out = c;
    return 0;
}

void Stream_Close(Stream* s) {
    if (!s) return;
    if (s->ops.close) s->ops.close(s->backEnd);
    std::free(s);
}

PlayerResult Stream_OpenCursor(Stream* s, uint32_t* outCursor, uint32_t bufferSize) {
    if (!s->ops.openCursor) return PLAYER_E_UNSUPPORTED_FUNCTION;
    return s->ops.openCursor(s->backEnd, outCursor, bufferSize);
}

PlayerResult Stream_CloseCursor(Stream* s, uint32_t cursor) {
    if (!s->ops.closeCursor) return PLAYER_E_UNSUPPORTED_FUNCTION;
    return s->ops.closeCursor(s->backEnd, cursor);
}

uint32_t Stream_GetSize(Stream* s) { return s->ops.getSize ? s->ops.getSize(s->backEnd) : 0; }

uint32_t Stream_GetAvailable(Stream* s) {
    return s->ops.getAvailable ? s->ops.getAvailable(s->backEnd) : Stream_GetSize(s);
}

PlayerResult Stream_Read(Stream* s, uint32_t cursor, void* buffer, uint32_t count) {
    if (!s->ops.read) return PLAYER_E_UNSUPPORTED_FUNCTION;
    return s->ops.read(s->backEnd, cursor, buffer, count);
}

PlayerResult Stream_Write(Stream* s, uint32_t cursor, const void* buffer, uint32_t count) {
    if (!s->ops.write) return PLAYER_E_UNSUPPORTED_FUNCTION;
    return s->ops.write(s->backEnd, cursor, buffer, count);
}

PlayerResult Stream_Skip(Stream* s, uint32_t cursor, int32_t delta) {
    if (!s->ops.skip) return PLAYER_E_UNSUPPORTED_FUNCTION;
    return s->ops.skip(s->backEnd, cursor, delta);
}

PlayerResult Stream_Seek(Stream* s, uint32_t cursor, uint32_t position) {
    if (!s->ops.seek) return PLAYER_E_UNSUPPORTED_FUNCTION;
    return s->ops.seek(s->backEnd, cursor, position);
}

PlayerResult Stream_SeekFromEnd(Stream* s, uint32_t cursor, int32_t offset) {
    if (!s->ops.seekFromEnd) return PLAYER_E_UNSUPPORTED_FUNCTION;
    return s->ops.seekFromEnd(s->backEnd, cursor, offset);
}

uint32_t Stream_Tell(Stream* s, uint32_t cursor) {
    return s->ops.tell ? s->ops.tell(s->backEnd, cursor) : 0;
}

PlayerResult Stream_ReadHead(Stream* s, void* buffer, uint32_t count) {
    if (!s->ops.readHead) return PLAYER_E_UNSUPPORTED_FUNCTION;
    return s->ops.readHead(s->backEnd, buffer, count);
}

PlayerResult Stream_SkipHead(Stream* s, uint32_t count) {
    if (!s->ops.skipHead) return PLAYER_E_UNSUPPORTED_FUNCTION;
    return s->ops.skipHead(s->backEnd, count);
}

uint32_t Stream_TellHead(Stream* s) { return s->ops.tellHead ? s->ops.tellHead(s->backEnd) : 0; }

void Stream_RewindHead(Stream* s) {
    if (s->ops.rewindHead) s->ops.rewindHead(s->backEnd);
}

namespace {

const uint8_t* Fetch(Stream* s, uint32_t cursor, uint32_t n) {
    Stream_Read(s, cursor, s->scratch, n);
    return s->scratch;
}

}  // namespace

uint8_t Stream_ReadU8(Stream* s, uint32_t c) { return Fetch(s, c, 1)[0]; }

uint16_t Stream_ReadBE16(Stream* s, uint32_t c) {
    const uint8_t* b = Fetch(s, c, 2);
    return uint16_t(b[0] << 8 | b[1]);
}

uint16_t Stream_ReadLE16(Stream* s, uint32_t c) {
    const uint8_t* b = Fetch(s, c, 2);
    return uint16_t(b[1] << 8 | b[0]);
}

uint32_t Stream_ReadBE24(Stream* s, uint32_t c) {
    const uint8_t* b = Fetch(s, c, 3);
    return uint32_t(b[0]) << 16 | uint32_t(b[1]) << 8 | b[2];
}

uint32_t Stream_ReadLE24(Stream* s, uint32_t c) {
    const uint8_t* b = Fetch(s, c, 3);
    return uint32_t(b[2]) << 16 | uint32_t(b[1]) << 8 | b[0];
}

uint32_t Stream_ReadBE32(Stream* s, uint32_t c) {
    const uint8_t* b = Fetch(s, c, 4);
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

uint32_t Stream_ReadLE32(Stream* s, uint32_t c) {
    const uint8_t* b = Fetch(s, c, 4);
    return uint32_t(b[3]) << 24 | uint32_t(b[2]) << 16 | uint32_t(b[1]) << 8 | b[0];
}

uint64_t Stream_ReadBE64(Stream* s, uint32_t c) {
    const uint8_t* b = Fetch(s, c, 8);
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = v << 8 | b[i];
    return v;
}

uint64_t Stream_ReadLE64(Stream* s, uint32_t c) {
    const uint8_t* b = Fetch(s, c, 8);
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = v << 8 | b[i];
    return v;
}
