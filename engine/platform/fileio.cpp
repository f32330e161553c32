// FileIO: memory blocks here, files through the platform back end
// (fileio_posix.cpp natively, fileio_win32.cpp for Windows).
#include "engine/platform/fileio_sys.h"

#include <cstdlib>
#include <cstring>

FileIO* FileIO_Open(const char16_t* name, uint32_t mode) {
    if (!name) return nullptr;
    // Mode 0 opens nothing, and create without write (5) is refused.
    if (mode == 0 || mode == 5 || mode > 7) return nullptr;
    FileIO* io = static_cast<FileIO*>(std::calloc(1, sizeof(FileIO)));
    if (!io) return nullptr;
    if (!FileSys_Open(name, mode, &io->handle)) {
        std::free(io);
        return nullptr;
    }
    return io;
}

FileIO* FileIO_OpenMemory(void* base, uint32_t size) {
    FileIO* io = static_cast<FileIO*>(std::calloc(1, sizeof(FileIO)));
    if (!io) return nullptr;
    io->memory = 1;
    io->base = static_cast<uint8_t*>(base);
    io->current = io->base;
    io->size = size;
    io->remaining = size;
    return io;
}

void FileIO_Close(FileIO* io) {
    if (!io) return;
    if (!io->memory) FileSys_Close(io->handle);
    std::free(io);
}

int32_t FileIO_Read(FileIO* io, void* buffer, uint32_t count) {
    if (io->memory) {
        if (io->remaining == 0) return -1;
        uint32_t n = count < io->remaining ? count : io->remaining;
        std::memcpy(buffer, io->current, n);
        io->current += n;
        io->remaining -= n;
        return int32_t(n);
    }
    return FileSys_Read(io->handle, buffer, count);
}

int32_t FileIO_Write(FileIO* io, const void* buffer, uint32_t count) {
    if (io->memory) {
        if (io->remaining == 0) return -1;
        uint32_t n = count < io->remaining ? count : io->remaining;
        std::memcpy(io->current, buffer, n);
        io->current += n;
        io->remaining -= n;
        return int32_t(n);
    }
    return FileSys_Write(io->handle, buffer, count);
}

bool FileIO_Seek(FileIO* io, uint32_t position) {
    if (io->memory) {
        if (position > io->size) return false;
        io->current = io->base + position;
        io->remaining = io->size - position;
        return true;
    }
    return FileSys_Seek(io->handle, int64_t(position), FILESYS_SEEK_SET) != 0;
}

bool FileIO_Skip(FileIO* io, int32_t delta) {
    if (io->memory) {
        uint32_t pos = io->size - io->remaining;
        if (delta > 0 && uint32_t(delta) > io->remaining) return false;
        if (delta < 0 && uint32_t(-int64_t(delta)) > pos) return false;
        return FileIO_Seek(io, uint32_t(int64_t(pos) + delta));
    }
    return FileSys_Seek(io->handle, delta, FILESYS_SEEK_CUR) != 0;
}

bool FileIO_SeekFromEnd(FileIO* io, int32_t offset) {
    if (io->memory) {
        int64_t pos = int64_t(io->size) + offset;
        if (pos < 0 || pos > int64_t(io->size)) return false;
        return FileIO_Seek(io, uint32_t(pos));
    }
    return FileSys_Seek(io->handle, offset, FILESYS_SEEK_END) != 0;
}

uint32_t FileIO_Tell(FileIO* io) {
    if (io->memory) return io->size - io->remaining;
    return FileSys_Tell(io->handle);
}

uint32_t FileIO_GetSize(FileIO* io) {
    if (io->memory) return io->size;
    return FileSys_GetSize(io->handle);
}

uint16_t FileIO_ReadLE16(FileIO* io) {
    uint8_t b[2] = {0, 0};
    FileIO_Read(io, b, 2);
    return uint16_t(b[0] | b[1] << 8);
}

uint32_t FileIO_ReadLE32(FileIO* io) {
    uint8_t b[4] = {0, 0, 0, 0};
    FileIO_Read(io, b, 4);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

int FileIO_Exists(const char16_t* name) {
    FileIO* io = FileIO_Open(name, FILEIO_READ);
    if (!io) return 0;
    FileIO_Close(io);
    return 1;
}

int FileIO_Delete(const char16_t* name) { return name ? FileSys_Delete(name) : 0; }

char16_t* FileIO_GetTempPath(const char16_t* name) {
    char16_t dir[1025];
    uint32_t n = FileSys_GetTempDir(dir, 1024);
    if (n > 1024) n = 1024;
    dir[n] = 0;
    size_t m = 0;
    if (name)
        while (name[m]) ++m;
    char16_t* out = static_cast<char16_t*>(std::malloc((n + m + 1) * sizeof(char16_t)));
    if (!out) return nullptr;
    std::memcpy(out, dir, n * sizeof(char16_t));
    if (m) std::memcpy(out + n, name, m * sizeof(char16_t));
    out[n + m] = 0;
    return out;
}

uint64_t FileIO_GetDiskFree(void) { return FileSys_GetDiskFree(); }
