// Engine result codes used by the stream, source and MP4 reader.
#pragma once

#include <cstdint>

#ifndef PLAYER_E_FILE_IO
constexpr int32_t kErrOutOfMemory = int32_t(0x80000001u);
constexpr int32_t kErrFileNotFound = int32_t(0x80000010u);
constexpr int32_t kErrFileIo = int32_t(0x80000012u);
constexpr int32_t kErrUnsupportedFunction = int32_t(0x80000014u);
constexpr int32_t kErrUnsupportedFile = int32_t(0x80000015u);
constexpr int32_t kErrStreamSyntax = int32_t(0x80000016u);
constexpr int32_t kErrRandomAccess = int32_t(0x80000017u);
constexpr int32_t kErrBufferTooSmall = int32_t(0x80000051u);
constexpr int32_t kErrNotYet = int32_t(0x80000052u);
constexpr int32_t kErrEndOfStream = int32_t(0x80000053u);
constexpr int32_t kErrNoTrack = int32_t(0x80000056u);
#endif
