// File stream and FileIO: read cursors with their read-ahead buffers, the
// typed readers, clones and the file layer. Portable: the Windows build runs
// the same suite under Wine (tests/win32/stream_win32_test.cpp).
#include "engine/input/stream.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr int32_t kOutOfMemory = int32_t(0x80000001u);
constexpr int32_t kFileNotFound = int32_t(0x80000010u);
constexpr int32_t kFileIo = int32_t(0x80000012u);

// A file in the temporary folder, written through FileIO itself so the test
// needs nothing of the platform; removed at the end.
struct TempFile {
    std::u16string path;
    explicit TempFile(const std::u16string& name, const std::vector<uint8_t>& bytes) {
        char16_t* p = FileIO_GetTempPath(name.c_str());
        path = p;
        std::free(p);
        Write(bytes);
    }
    // Writes the whole file anew.
    void Write(const std::vector<uint8_t>& bytes) {
        FileIO* io = FileIO_Open(path.c_str(), 7);
        ASSERT_NE(nullptr, io);
        ASSERT_EQ(int32_t(bytes.size()), FileIO_Write(io, bytes.data(), uint32_t(bytes.size())));
        FileIO_Close(io);
    }
    ~TempFile() { FileIO_Delete(path.c_str()); }
};

std::vector<uint8_t> Counting(size_t n, uint8_t start = 0) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = uint8_t(start + i);
    return v;
}

struct Opened {
    Stream* s = nullptr;
    explicit Opened(const std::u16string& path) {
        EXPECT_EQ(0, Stream_CreateFile(&s, path.c_str(), 0, 0));
    }
    ~Opened() { Stream_Close(s); }
};

TEST(FileStream, BufferedReadsServeFromTheBufferUntilItRunsOut) {
    TempFile f(u"dc_stream_buffer.bin", Counting(64));
    Opened o(f.path);
    ASSERT_NE(nullptr, o.s);
    uint32_t c;
    ASSERT_EQ(0, Stream_OpenCursor(o.s, &c, 16));
    uint8_t b[32];
    ASSERT_EQ(4, Stream_Read(o.s, c, b, 4));
    EXPECT_EQ(0, b[0]);
    // The file changes under the stream: buffered bytes still come from the
    // buffer, so exactly the 12 buffered bytes are the old ones.
    f.Write(Counting(64, 100));
    ASSERT_EQ(12, Stream_Read(o.s, c, b, 12));
    EXPECT_EQ(4, b[0]);
    EXPECT_EQ(15, b[11]);
    ASSERT_EQ(1, Stream_Read(o.s, c, b, 1));
    EXPECT_EQ(116, b[0]);  // from the file
    EXPECT_EQ(17u, Stream_Tell(o.s, c));
    // Back within the consumed part of the buffer: no file access.
    ASSERT_EQ(0, Stream_Skip(o.s, c, -1));
    ASSERT_EQ(1, Stream_Read(o.s, c, b, 1));
    EXPECT_EQ(116, b[0]);
    // Further back than the buffer holds: the file is read again.
    ASSERT_EQ(0, Stream_Seek(o.s, c, 10));
    ASSERT_EQ(2, Stream_Read(o.s, c, b, 2));
    EXPECT_EQ(110, b[0]);
}

TEST(FileStream, ReadsAcrossAndAtTheEnd) {
    TempFile f(u"dc_stream_end.bin", Counting(100));
    Opened o(f.path);
    uint32_t buffered, plain;
    ASSERT_EQ(0, Stream_OpenCursor(o.s, &buffered, 32));
    ASSERT_EQ(0, Stream_OpenCursor(o.s, &plain, 0));
    uint8_t b[64];
    struct Case {
        const char* name;
        uint32_t cursor;
        uint32_t at, n;
        int32_t result;
    } cases[] = {
        {"buffered inside", buffered, 10, 8, 8},
        {"buffered across the end", buffered, 90, 20, 10},
        {"buffered at the end", buffered, 100, 4, kFileIo},
        {"buffered large read", buffered, 0, 64, 64},
        {"plain inside", plain, 0, 50, 50},
        {"plain across the end", plain, 96, 8, 4},
        {"plain beyond the end", plain, 200, 1, kFileIo},
        {"buffered last bytes exactly", buffered, 96, 4, 4},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        ASSERT_EQ(0, Stream_Seek(o.s, tc.cursor, tc.at));
        int32_t r = Stream_Read(o.s, tc.cursor, b, tc.n);
        EXPECT_EQ(tc.result, r);
        if (r > 0) {
            EXPECT_EQ(uint8_t(tc.at), b[0]);
        }
    }
}

TEST(FileStream, TypedReadersComposeBothByteOrders) {
    std::vector<uint8_t> bytes = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
    TempFile f(u"dc_stream_typed.bin", bytes);
    Opened o(f.path);
    uint32_t c;
    ASSERT_EQ(0, Stream_OpenCursor(o.s, &c, 1024));
    struct Case {
        const char* name;
        uint64_t (*read)(Stream*, uint32_t);
        uint64_t value;
    } cases[] = {
        {"U8", [](Stream* s, uint32_t c) { return uint64_t(Stream_ReadU8(s, c)); }, 0x01},
        {"BE16", [](Stream* s, uint32_t c) { return uint64_t(Stream_ReadBE16(s, c)); }, 0x0102},
        {"LE16", [](Stream* s, uint32_t c) { return uint64_t(Stream_ReadLE16(s, c)); }, 0x0201},
        {"BE24", [](Stream* s, uint32_t c) { return uint64_t(Stream_ReadBE24(s, c)); }, 0x010203},
        {"LE24", [](Stream* s, uint32_t c) { return uint64_t(Stream_ReadLE24(s, c)); }, 0x030201},
        {"BE32", [](Stream* s, uint32_t c) { return uint64_t(Stream_ReadBE32(s, c)); }, 0x01020304},
        {"LE32", [](Stream* s, uint32_t c) { return uint64_t(Stream_ReadLE32(s, c)); }, 0x04030201},
        {"BE64", [](Stream* s, uint32_t c) { return Stream_ReadBE64(s, c); },
         0x0102030405060708ull},
        {"LE64", [](Stream* s, uint32_t c) { return Stream_ReadLE64(s, c); },
         0x0807060504030201ull},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        Stream_Seek(o.s, c, 0);
        EXPECT_EQ(tc.value, tc.read(o.s, c));
    }
}

TEST(FileStream, CursorsClonesAndHead) {
    TempFile f(u"dc_stream_cursors.bin", Counting(5000));
    Opened o(f.path);
    EXPECT_EQ(5000u, Stream_GetSize(o.s));
    EXPECT_EQ(5000u, Stream_GetAvailable(o.s));
    std::vector<uint32_t> cursors;
    for (int i = 0; i < 20; ++i) {
        uint32_t c;
        ASSERT_EQ(0, Stream_OpenCursor(o.s, &c, 1024)) << i;
        cursors.push_back(c);
    }
    uint32_t extra;
    EXPECT_EQ(kOutOfMemory, Stream_OpenCursor(o.s, &extra, 1024));
    // Interleaved cursors keep their own positions.
    Stream_Seek(o.s, cursors[0], 100);
    Stream_Seek(o.s, cursors[1], 3000);
    uint8_t a = 0, b = 0;
    for (int i = 0; i < 5; ++i) {
        Stream_Read(o.s, cursors[0], &a, 1);
        Stream_Read(o.s, cursors[1], &b, 1);
    }
    EXPECT_EQ(uint8_t(104), a);
    EXPECT_EQ(uint8_t(3004), b);
    // Closing one frees a slot.
    ASSERT_EQ(0, Stream_CloseCursor(o.s, cursors[5]));
    ASSERT_EQ(0, Stream_OpenCursor(o.s, &extra, 0));
    EXPECT_EQ(cursors[5], extra);
    // A clone has its own cursors and head.
    Stream* clone = nullptr;
    ASSERT_EQ(0, Stream_Clone(o.s, &clone));
    uint32_t cc;
    ASSERT_EQ(0, Stream_OpenCursor(clone, &cc, 0));
    Stream_Seek(clone, cc, 4000);
    uint8_t x = 0;
    ASSERT_EQ(1, Stream_Read(clone, cc, &x, 1));
    EXPECT_EQ(uint8_t(4000), x);
    Stream_Close(clone);
    // The head reads from the start on its own.
    uint8_t head[8];
    ASSERT_EQ(8, Stream_ReadHead(o.s, head, 8));
    EXPECT_EQ(8u, Stream_TellHead(o.s));
    ASSERT_EQ(0, Stream_SkipHead(o.s, 92));
    ASSERT_EQ(1, Stream_ReadHead(o.s, head, 1));
    EXPECT_EQ(100, head[0]);
    Stream_RewindHead(o.s);
    EXPECT_EQ(0u, Stream_TellHead(o.s));
    // Cursors still open are freed by the close (the leak checker watches).
}

TEST(FileStream, OpenFailuresAndModes) {
    Stream* s = nullptr;
    char16_t* missing = FileIO_GetTempPath(u"dc_stream_missing.bin");
    FileIO_Delete(missing);
    EXPECT_EQ(kFileNotFound, Stream_CreateFile(&s, missing, 0, 0));
    EXPECT_EQ(nullptr, s);
    EXPECT_EQ(0, FileIO_Exists(missing));
    struct Case {
        uint32_t mode;
        bool opens;
    } cases[] = {{0, false}, {5, false}, {1, false}, {2, false},
                 {3, false}, {7, true},  {4, true},  {6, true}};
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.mode);
        FileIO_Delete(missing);
        FileIO* io = FileIO_Open(missing, tc.mode);
        EXPECT_EQ(tc.opens, io != nullptr);
        FileIO_Close(io);
    }
    EXPECT_EQ(1, FileIO_Exists(missing));  // made by the create modes
    FileIO_Delete(missing);
    std::free(missing);
}

TEST(FileStream, NonAsciiNameAndOneClipOpenedTwice) {
    TempFile f(u"dc_스트림_é\u4e2d.mp4", Counting(3000));
    Opened first(f.path);
    Opened second(f.path);
    ASSERT_NE(nullptr, first.s);
    ASSERT_NE(nullptr, second.s);
    uint32_t c1, c2;
    ASSERT_EQ(0, Stream_OpenCursor(first.s, &c1, 1024));
    ASSERT_EQ(0, Stream_OpenCursor(second.s, &c2, 0));
    Stream_Seek(first.s, c1, 2000);
    uint8_t a[4], b[4];
    ASSERT_EQ(4, Stream_Read(first.s, c1, a, 4));
    ASSERT_EQ(4, Stream_Read(second.s, c2, b, 4));
    EXPECT_EQ(uint8_t(2000), a[0]);
    EXPECT_EQ(0, b[0]);
}

TEST(FileStream, MemoryBlockStream) {
    std::vector<uint8_t> block = Counting(300);
    Stream* s = nullptr;
    ASSERT_EQ(0, Stream_CreateFile(&s, reinterpret_cast<const char16_t*>(block.data()),
                                   uint32_t(block.size()), 0));
    uint32_t c;
    ASSERT_EQ(0, Stream_OpenCursor(s, &c, 1024));
    EXPECT_EQ(300u, Stream_GetSize(s));
    ASSERT_EQ(0, Stream_Seek(s, c, 290));
    uint8_t b[20];
    EXPECT_EQ(10, Stream_Read(s, c, b, 20));
    EXPECT_EQ(uint8_t(290), b[0]);
    EXPECT_EQ(kFileIo, Stream_Read(s, c, b, 1));
    EXPECT_EQ(kFileIo, Stream_Seek(s, c, 301));  // beyond the block
    Stream* clone = nullptr;
    ASSERT_EQ(0, Stream_Clone(s, &clone));
    uint32_t cc;
    ASSERT_EQ(0, Stream_OpenCursor(clone, &cc, 0));
    EXPECT_EQ(1, Stream_Read(clone, cc, b, 1));
    EXPECT_EQ(0, b[0]);
    Stream_Close(clone);
    Stream_Close(s);
}

TEST(FileStream, WrittenBytesReadBack) {
    char16_t* path = FileIO_GetTempPath(u"dc_stream_write.bin");
    Stream* s = nullptr;
    ASSERT_EQ(0, Stream_CreateFile(&s, path, 0, 1));
    uint32_t w, r;
    ASSERT_EQ(0, Stream_OpenCursor(s, &w, 0));
    ASSERT_EQ(0, Stream_OpenCursor(s, &r, 64));
    std::vector<uint8_t> data = Counting(1000, 7);
    ASSERT_EQ(500, Stream_Write(s, w, data.data(), 500));
    ASSERT_EQ(500, Stream_Write(s, w, data.data() + 500, 500));
    EXPECT_EQ(1000u, Stream_GetSize(s));
    std::vector<uint8_t> back(1000);
    ASSERT_EQ(1000, Stream_Read(s, r, back.data(), 1000));
    EXPECT_EQ(data, back);
    Stream_Close(s);
    FileIO_Delete(path);
    std::free(path);
}

}  // namespace
