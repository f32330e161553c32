// Byte streams: a Stream handle over a table of operations, the file stream
// with up to 20 independent read cursors (each with its own read-ahead
// buffer), and the FileIO layer over the platform's file functions.
//
// Positions, sizes and counts are unsigned 32-bit (files up to 4 GB - 1).
// Results are engine result codes: 0 or a count on success, negative
// (0x80000000 + n) on failure.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <cstdint>

#include "engine/player_result.h"

enum : uint32_t {
    STREAM_MAX_CURSORS = 20,
    STREAM_TABLE_BUFFER = 1024,        // read-ahead of a container-table cursor
    STREAM_WRITE_BIG_BLOCK = 0x84000,  // one-block write ring of a reopened write cursor
};

struct FileStream;

// The operation slots; an empty slot means the operation is not offered.
struct StreamOps {
    int32_t (*open)(FileStream** out, const char16_t* name, uint32_t memorySize,
                    uint32_t writeFlag);
    int32_t (*clone)(FileStream* fs, FileStream** out);
    void (*close)(FileStream* fs);
    int32_t (*openCursor)(FileStream* fs, uint32_t* outCursor, uint32_t bufferSize);
    int32_t (*closeCursor)(FileStream* fs, uint32_t cursor);
    uint32_t (*getSize)(FileStream* fs);
    uint32_t (*getAvailable)(FileStream* fs);
    int32_t (*read)(FileStream* fs, uint32_t cursor, void* buffer, uint32_t count);
    int32_t (*write)(FileStream* fs, uint32_t cursor, const void* buffer, uint32_t count);
    int32_t (*skip)(FileStream* fs, uint32_t cursor, int32_t delta);
    int32_t (*seek)(FileStream* fs, uint32_t cursor, uint32_t position);
    int32_t (*seekFromEnd)(FileStream* fs, uint32_t cursor, int32_t offset);
    uint32_t (*tell)(FileStream* fs, uint32_t cursor);
    int32_t (*readHead)(FileStream* fs, void* buffer, uint32_t count);
    int32_t (*skipHead)(FileStream* fs, uint32_t count);
    uint32_t (*tellHead)(FileStream* fs);
    void (*rewindHead)(FileStream* fs);
};

// A handle: one thread at a time (the typed readers share its scratch area).
struct Stream {
    FileStream* backEnd;
    uint8_t scratch[8];
    StreamOps ops;
};

// Opens a file by its UTF-16 name, or with memorySize != 0 a caller's memory
// block whose address is passed as `name`. 0x80000010 when the file does not
// open, 0x80000001 when memory runs out.
PlayerResult Stream_CreateFile(Stream** out, const char16_t* name, uint32_t memorySize,
                               uint32_t writeFlag);
// An independent handle on the same file: own file handle, cursors and head.
PlayerResult Stream_Clone(Stream* s, Stream** out);
void Stream_Close(Stream* s);
PlayerResult Stream_OpenCursor(Stream* s, uint32_t* outCursor, uint32_t bufferSize);
PlayerResult Stream_CloseCursor(Stream* s, uint32_t cursor);
uint32_t Stream_GetSize(Stream* s);
uint32_t Stream_GetAvailable(Stream* s);
PlayerResult Stream_Read(Stream* s, uint32_t cursor, void* buffer, uint32_t count);
PlayerResult Stream_Write(Stream* s, uint32_t cursor, const void* buffer, uint32_t count);
PlayerResult Stream_Skip(Stream* s, uint32_t cursor, int32_t delta);
PlayerResult Stream_Seek(Stream* s, uint32_t cursor, uint32_t position);
PlayerResult Stream_SeekFromEnd(Stream* s, uint32_t cursor, int32_t offset);
uint32_t Stream_Tell(Stream* s, uint32_t cursor);
PlayerResult Stream_ReadHead(Stream* s, void* buffer, uint32_t count);
PlayerResult Stream_SkipHead(Stream* s, uint32_t count);
uint32_t Stream_TellHead(Stream* s);
void Stream_RewindHead(Stream* s);

// Typed readers. A short or failed read is not reported: the value is
// composed from the scratch bytes as they stand, so callers check sizes.
uint8_t Stream_ReadU8(Stream* s, uint32_t cursor);
uint16_t Stream_ReadBE16(Stream* s, uint32_t cursor);
uint16_t Stream_ReadLE16(Stream* s, uint32_t cursor);
uint32_t Stream_ReadBE24(Stream* s, uint32_t cursor);
uint32_t Stream_ReadLE24(Stream* s, uint32_t cursor);
uint32_t Stream_ReadBE32(Stream* s, uint32_t cursor);
uint32_t Stream_ReadLE32(Stream* s, uint32_t cursor);
uint64_t Stream_ReadBE64(Stream* s, uint32_t cursor);
uint64_t Stream_ReadLE64(Stream* s, uint32_t cursor);

// File stream operations (the slots of a file Stream).
int32_t FileStream_Open(FileStream** out, const char16_t* name, uint32_t memorySize,
                        uint32_t writeFlag);
int32_t FileStream_Clone(FileStream* fs, FileStream** out);
void FileStream_Close(FileStream* fs);
int32_t FileStream_OpenCursor(FileStream* fs, uint32_t* outCursor, uint32_t bufferSize);
int32_t FileStream_CloseCursor(FileStream* fs, uint32_t cursor);
uint32_t FileStream_GetSize(FileStream* fs);
int32_t FileStream_Read(FileStream* fs, uint32_t cursor, void* buffer, uint32_t count);
int32_t FileStream_Write(FileStream* fs, uint32_t cursor, const void* buffer, uint32_t count);
int32_t FileStream_Skip(FileStream* fs, uint32_t cursor, int32_t delta);
int32_t FileStream_Seek(FileStream* fs, uint32_t cursor, uint32_t position);
int32_t FileStream_SeekFromEnd(FileStream* fs, uint32_t cursor, int32_t offset);
uint32_t FileStream_Tell(FileStream* fs, uint32_t cursor);
int32_t FileStream_ReadHead(FileStream* fs, void* buffer, uint32_t count);
int32_t FileStream_SkipHead(FileStream* fs, uint32_t count);
uint32_t FileStream_TellHead(FileStream* fs);
void FileStream_RewindHead(FileStream* fs);

// FileIO: one opened file (or memory block). Mode bits: 1 read, 2 write,
// 4 create.
enum : uint32_t { FILEIO_READ = 1, FILEIO_WRITE = 2, FILEIO_CREATE = 4 };

struct FileIO;

FileIO* FileIO_Open(const char16_t* name, uint32_t mode);
FileIO* FileIO_OpenMemory(void* base, uint32_t size);
void FileIO_Close(FileIO* io);
int32_t FileIO_Read(FileIO* io, void* buffer, uint32_t count);  // bytes read, -1 on failure
int32_t FileIO_Write(FileIO* io, const void* buffer, uint32_t count);
bool FileIO_Seek(FileIO* io, uint32_t position);
bool FileIO_Skip(FileIO* io, int32_t delta);
bool FileIO_SeekFromEnd(FileIO* io, int32_t offset);
uint32_t FileIO_Tell(FileIO* io);
uint32_t FileIO_GetSize(FileIO* io);
uint16_t FileIO_ReadLE16(FileIO* io);
uint32_t FileIO_ReadLE32(FileIO* io);
int FileIO_Exists(const char16_t* name);
int FileIO_Delete(const char16_t* name);
// New string (free with std::free): the temporary folder followed by name.
char16_t* FileIO_GetTempPath(const char16_t* name);
uint64_t FileIO_GetDiskFree(void);
