// The platform half of FileIO: a file handle as a pointer-sized word.
// fileio_win32.cpp implements it over the Windows file API, fileio_posix.cpp
// over POSIX for the native build.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <cstdint>

#include "engine/input/stream.h"

struct FileIO {
    uintptr_t handle;  // platform file handle
    uint32_t memory;   // 1: a caller's memory block
    uint8_t* base;
    uint8_t* current;
    uint32_t size;
    uint32_t remaining;
};

enum { FILESYS_SEEK_SET = 0, FILESYS_SEEK_CUR = 1, FILESYS_SEEK_END = 2 };

// Opens with the access of mode (FILEIO_ bits: 1 read, 2 write, 4 create).
int FileSys_Open(const char16_t* name, uint32_t mode, uintptr_t* handle);
void FileSys_Close(uintptr_t handle);
int32_t FileSys_Read(uintptr_t handle, void* buffer, uint32_t count);  // -1 on failure
int32_t FileSys_Write(uintptr_t handle, const void* buffer, uint32_t count);
int FileSys_Seek(uintptr_t handle, int64_t offset, int whence);  // 1/0
uint32_t FileSys_Tell(uintptr_t handle);
uint32_t FileSys_GetSize(uintptr_t handle);
int FileSys_Delete(const char16_t* name);
// Writes the temporary folder (with its trailing separator); returns its length.
uint32_t FileSys_GetTempDir(char16_t* out, uint32_t capacity);
uint64_t FileSys_GetDiskFree(void);
