// The file stream: a file or memory block with up to 20 read cursors, each
// with a read-ahead buffer of its own, so a container reader can walk
// several tables of one file without seeking back and forth. The OS file
// pointer is only moved when the wanted position differs from where it
// stands. A stream opened for writing gives cursor 0 a write-behind ring
// (write_ring.h) when it is opened with a buffer size.
#include <cstdlib>
#include <cstring>

#include "engine/platform/fileio_sys.h"
#include "engine/player_result.h"
#include "engine/input/stream.h"
#include "engine/input/write_ring.h"

namespace {

struct StreamCursor {
    uint32_t position;  // file position of the end of the buffered data
    uint8_t* buffer;    // null: unbuffered
    uint32_t capacity;
    uint32_t filled;  // bytes the last refill put in the buffer
    uint32_t left;    // bytes not yet consumed; they end at `position`
    uint32_t gen;     // the stream's write count when the buffer was filled
    WriteRing* ring;  // cursor 0 of a stream opened for writing
};

}  // namespace

struct FileStream {
    FileIO* io;
    char16_t* name;  // kept so Clone can open the file again
    uint32_t memory;
    void* memoryBase;
    uint32_t size;
    StreamCursor* cursors[STREAM_MAX_CURSORS];
    uint32_t openCursors;
    uint32_t physical;   // where the OS file pointer stands
    bool physicalStale;  // the write task moved the file pointer
    uint32_t writeGen;   // counts writes, so read-ahead never shadows them
    uint32_t head;
    uint32_t writeFlag;
};

namespace {

StreamCursor* Cursor(FileStream* fs, uint32_t c) {
    return fs && c < STREAM_MAX_CURSORS ? fs->cursors[c] : nullptr;
}

bool PlaceFile(FileStream* fs, uint32_t position) {
    if (!fs->physicalStale && fs->physical == position) return true;
    if (!FileIO_Seek(fs->io, position)) return false;
    fs->physical = position;
    fs->physicalStale = false;
    return true;
}

WriteRing* Ring(FileStream* fs) { return fs->cursors[0] ? fs->cursors[0]->ring : nullptr; }

// Puts every byte of the write ring into the file before the handle is used
// here. False once the file refused any of them.
bool SettleRing(FileStream* fs) {
    WriteRing* ring = Ring(fs);
    if (!ring) return true;
    if (WriteRing_Pending(ring)) fs->physicalStale = true;
    return WriteRing_Drain(ring) != 0;
}

void DropReadAhead(StreamCursor* c) {
    c->position -= c->left;
    c->left = 0;
    c->filled = 0;
}

// Reads up to n bytes at `position`; the count read, 0 at the end, -1 on failure.
int32_t ReadAt(FileStream* fs, uint32_t position, void* out, uint32_t n) {
    if (!PlaceFile(fs, position)) return -1;
    int32_t r = FileIO_Read(fs->io, out, n);
    if (r > 0) fs->physical += uint32_t(r);
    return r;
}

char16_t* DupName(const char16_t* s) {
    size_t n = 0;
    while (s[n]) ++n;
    char16_t* d = static_cast<char16_t*>(std::malloc((n + 1) * sizeof(char16_t)));
    if (d) std::memcpy(d, s, (n + 1) * sizeof(char16_t));
    return d;
}

// Frees the cursor; a ring is drained and its task ended first. False when
// bytes of the ring never reached the file.
bool FreeCursor(StreamCursor* c) {
    if (!c) return true;
    bool ok = true;
    if (c->ring) {
        ok = WriteRing_Drain(c->ring) != 0;
        WriteRing_Destroy(c->ring);
    }
    std::free(c->buffer);
    std::free(c);
    return ok;
}

}  // namespace

int32_t FileStream_Open(FileStream** out, const char16_t* name, uint32_t memorySize,
                        uint32_t writeFlag) {
    *out = nullptr;
    if (!name) return PLAYER_E_FILE_NOT_FOUND;
    FileStream* fs = static_cast<FileStream*>(std::calloc(1, sizeof(FileStream)));
    if (!fs) return PLAYER_E_OUT_OF_MEMORY;
    fs->writeFlag = writeFlag ? 1 : 0;
    if (memorySize) {
        fs->memory = 1;
        fs->memoryBase = const_cast<char16_t*>(name);
        fs->io = FileIO_OpenMemory(fs->memoryBase, memorySize);
        if (!fs->io) {
            std::free(fs);
            return PLAYER_E_OUT_OF_MEMORY;
        }
        fs->size = memorySize;
    } else {
        fs->name = DupName(name);
        if (!fs->name) {
            std::free(fs);
            return PLAYER_E_OUT_OF_MEMORY;
        }
        fs->io = FileIO_Open(name, writeFlag ? 7 : 1);
        if (!fs->io) {
            std::free(fs->name);
            std::free(fs);
            return PLAYER_E_FILE_NOT_FOUND;
        }
        fs->size = FileIO_GetSize(fs->io);
    }
    *out = fs;
    return 0;
}

int32_t FileStream_Clone(FileStream* fs, FileStream** out) {
    *out = nullptr;
    FileStream* c = static_cast<FileStream*>(std::calloc(1, sizeof(FileStream)));
    if (!c) return PLAYER_E_OUT_OF_MEMORY;
    if (fs->memory) {
        c->memory = 1;
        c->memoryBase = fs->memoryBase;
        c->io = FileIO_OpenMemory(fs->memoryBase, fs->size);
        if (!c->io) {
            std::free(c);
            return PLAYER_E_OUT_OF_MEMORY;
        }
        c->size = fs->size;
    } else {
        c->name = DupName(fs->name);
        if (!c->name) {
            std::free(c);
            return PLAYER_E_OUT_OF_MEMORY;
        }
        c->io = FileIO_Open(c->name, FILEIO_READ);
        if (!c->io) {
            std::free(c->name);
            std::free(c);
            return PLAYER_E_FILE_NOT_FOUND;
        }
        // The size seen at the first open: both handles walk the same tables.
        c->size = fs->size;
    }
    *out = c;
    return 0;
}

void FileStream_Close(FileStream* fs) {
    if (!fs) return;
    for (auto& c : fs->cursors) {
        FreeCursor(c);
        c = nullptr;
    }
    FileIO_Close(fs->io);
    std::free(fs->name);
    std::free(fs);
}

int32_t FileStream_OpenCursor(FileStream* fs, uint32_t* outCursor, uint32_t bufferSize) {
    if (fs->openCursors >= STREAM_MAX_CURSORS) return PLAYER_E_OUT_OF_MEMORY;
    uint32_t slot = 0;
    while (slot < STREAM_MAX_CURSORS && fs->cursors[slot]) ++slot;
    if (slot == STREAM_MAX_CURSORS) return PLAYER_E_OUT_OF_MEMORY;
    StreamCursor* c = static_cast<StreamCursor*>(std::calloc(1, sizeof(StreamCursor)));
    if (!c) return PLAYER_E_OUT_OF_MEMORY;
    c->gen = fs->writeGen;
    if (fs->writeFlag && slot == 0 && bufferSize && !fs->memory) {
        c->ring = WriteRing_Create(fs->io, bufferSize, WRITE_RING_START_BLOCKS);
        if (!c->ring || !StreamInOut_Start(c->ring)) {
            WriteRing_Destroy(c->ring);
            std::free(c);
            return PLAYER_E_OUT_OF_MEMORY;
        }
    } else if (fs->writeFlag && slot != 0 && !bufferSize && Ring(fs)) {
        // Another unbuffered cursor: cursor 0 goes on with one big block.
        WriteRing* ring = Ring(fs);
        if (!SettleRing(fs)) {
            std::free(c);
            return PLAYER_E_FILE_IO;
        }
        if (!WriteRing_Resize(ring, STREAM_WRITE_BIG_BLOCK, 1)) {
            std::free(c);
            return PLAYER_E_OUT_OF_MEMORY;
        }
    } else if (bufferSize && !fs->memory) {
        // Memory blocks need no read-ahead.
        c->buffer = static_cast<uint8_t*>(std::malloc(bufferSize));
        if (!c->buffer) {
            std::free(c);
            return PLAYER_E_OUT_OF_MEMORY;
        }
        c->capacity = bufferSize;
    }
    fs->cursors[slot] = c;
    fs->openCursors++;
    *outCursor = slot;
    return 0;
}

int32_t FileStream_CloseCursor(FileStream* fs, uint32_t cursor) {
    StreamCursor* c = Cursor(fs, cursor);
    if (!c) return PLAYER_E_FILE_IO;
    bool ok = FreeCursor(c);
    fs->cursors[cursor] = nullptr;
    fs->openCursors--;
    return ok ? 0 : PLAYER_E_FILE_IO;
}

uint32_t FileStream_GetSize(FileStream* fs) { return fs->size; }

int32_t FileStream_Read(FileStream* fs, uint32_t cursor, void* buffer, uint32_t n) {
    StreamCursor* c = Cursor(fs, cursor);
    if (!c) return PLAYER_E_FILE_IO;
    if (fs->writeFlag) {
        if (!SettleRing(fs)) return PLAYER_E_FILE_IO;
        if (c->gen != fs->writeGen) {
            DropReadAhead(c);
            c->gen = fs->writeGen;
        }
    }
    if (n > 0x7FFFFFFF) n = 0x7FFFFFFF;
    uint8_t* out = static_cast<uint8_t*>(buffer);
    if (c->left >= n) {
        std::memcpy(out, c->buffer + (c->filled - c->left), n);
        c->left -= n;
        return int32_t(n);
    }
    uint32_t have = c->left;
    if (have) std::memcpy(out, c->buffer + (c->filled - c->left), have);
    c->left = 0;
    uint32_t want = n - have;
    if (c->buffer && want < c->capacity) {
        // Small reads refill the buffer first: one file read per buffer.
        int32_t r = ReadAt(fs, c->position, c->buffer, c->capacity);
        if (r <= 0) {
            c->filled = 0;
            return have ? int32_t(have) : PLAYER_E_FILE_IO;
        }
        c->filled = uint32_t(r);
        c->position += uint32_t(r);
        uint32_t take = want < c->filled ? want : c->filled;
        std::memcpy(out + have, c->buffer, take);
        c->left = c->filled - take;
        return int32_t(have + take);
    }
    int32_t r = ReadAt(fs, c->position, out + have, want);
    if (r <= 0) {
        c->filled = 0;
        return have ? int32_t(have) : PLAYER_E_FILE_IO;
    }
    c->position += uint32_t(r);
    c->filled = 0;
    return int32_t(have + uint32_t(r));
}

int32_t FileStream_Write(FileStream* fs, uint32_t cursor, const void* buffer, uint32_t n) {
    StreamCursor* c = Cursor(fs, cursor);
    if (!c) return PLAYER_E_FILE_IO;
    fs->writeGen++;
    if (n > 0x7FFFFFFF) return PLAYER_E_FILE_IO;
    // Whatever this cursor had read ahead is dropped so it never shadows
    // the written bytes.
    DropReadAhead(c);
    c->gen = fs->writeGen;
    uint32_t pos = c->position;
    if (uint64_t(pos) + n > 0xFFFFFFFFu) return PLAYER_E_FILE_IO;
    if (c->ring && n <= c->ring->blockSize) {
        // Bytes elsewhere than right after the ring's go in only once the
        // ring is in the file.
        if (WriteRing_Pending(c->ring) && pos != WriteRing_End(c->ring) && !SettleRing(fs))
            return PLAYER_E_FILE_IO;
        if (WriteRing_Failed(c->ring)) return PLAYER_E_FILE_IO;
        WriteRing_Put(c->ring, pos, buffer, n);
        c->position += n;
        if (c->position > fs->size) fs->size = c->position;
        return int32_t(n);
    }
    // No ring, or more than one of its blocks: straight to the file, after
    // whatever the ring holds.
    if (!SettleRing(fs)) return PLAYER_E_FILE_IO;
    if (!PlaceFile(fs, pos)) return PLAYER_E_FILE_IO;
    int32_t w = FileIO_Write(fs->io, buffer, n);
    if (w < 0) return PLAYER_E_FILE_IO;
    fs->physical += uint32_t(w);
    c->position += uint32_t(w);
    if (c->position > fs->size) fs->size = c->position;
    return w;
}

int32_t FileStream_Seek(FileStream* fs, uint32_t cursor, uint32_t position) {
    StreamCursor* c = Cursor(fs, cursor);
    if (!c) return PLAYER_E_FILE_IO;
    if (fs->memory && position > fs->size) return PLAYER_E_FILE_IO;
    // A target inside the buffered window only moves the read pointer.
    uint32_t bufStart = c->position - c->filled;
    if (c->filled && position >= bufStart && position <= c->position) {
        c->left = c->position - position;
        return 0;
    }
    // The file pointer itself moves at the next read, when it has to.
    c->position = position;
    c->filled = 0;
    c->left = 0;
    return 0;
}

int32_t FileStream_Skip(FileStream* fs, uint32_t cursor, int32_t delta) {
    StreamCursor* c = Cursor(fs, cursor);
    if (!c) return PLAYER_E_FILE_IO;
    int64_t target = int64_t(c->position - c->left) + delta;
    if (target < 0 || target > int64_t(0xFFFFFFFFu)) return PLAYER_E_FILE_IO;
    return FileStream_Seek(fs, cursor, uint32_t(target));
}

int32_t FileStream_SeekFromEnd(FileStream* fs, uint32_t cursor, int32_t offset) {
    int64_t target = int64_t(fs->size) + offset;
    if (target < 0 || target > int64_t(0xFFFFFFFFu)) return PLAYER_E_FILE_IO;
    return FileStream_Seek(fs, cursor, uint32_t(target));
}

uint32_t FileStream_Tell(FileStream* fs, uint32_t cursor) {
    StreamCursor* c = Cursor(fs, cursor);
    return c ? c->position - c->left : 0;
}

int32_t FileStream_ReadHead(FileStream* fs, void* buffer, uint32_t count) {
    if (!SettleRing(fs)) return PLAYER_E_FILE_IO;
    int32_t r = ReadAt(fs, fs->head, buffer, count);
    if (r <= 0) return PLAYER_E_FILE_IO;
    fs->head += uint32_t(r);
    return r;
}

int32_t FileStream_SkipHead(FileStream* fs, uint32_t count) {
    uint64_t target = uint64_t(fs->head) + count;
    if (target > 0xFFFFFFFFu) return PLAYER_E_FILE_IO;
    if (!SettleRing(fs)) return PLAYER_E_FILE_IO;
    if (!PlaceFile(fs, uint32_t(target))) return PLAYER_E_FILE_IO;
    fs->head = uint32_t(target);
    return 0;
}

uint32_t FileStream_TellHead(FileStream* fs) { return fs->head; }

void FileStream_RewindHead(FileStream* fs) { fs->head = 0; }
