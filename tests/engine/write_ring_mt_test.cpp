// The write-behind path of a stream opened for writing: bytes written
// through cursor 0's ring reach the file in order, whatever the mix of
// write sizes, seeks and reads; a drain or a close leaves nothing behind;
// a write the disk refuses is reported.
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/input/stream.h"
#include "engine/input/write_ring.h"

namespace {

constexpr int32_t kFileIo = int32_t(0x80000012u);

struct TempPath {
    std::u16string path;
    explicit TempPath(const std::u16string& name) {
        char16_t* p = FileIO_GetTempPath(name.c_str());
        path = p;
        std::free(p);
    }
    ~TempPath() { FileIO_Delete(path.c_str()); }
};

std::vector<uint8_t> FileBytes(const std::u16string& path) {
    std::vector<uint8_t> out;
    FileIO* io = FileIO_Open(path.c_str(), FILEIO_READ);
    if (!io) return out;
    out.resize(FileIO_GetSize(io));
    int32_t got = out.empty() ? 0 : FileIO_Read(io, out.data(), uint32_t(out.size()));
    EXPECT_EQ(int32_t(out.size()), got);
    FileIO_Close(io);
    return out;
}

// Deterministic noise: chunk sizes and contents nobody chose for the code.
struct Lcg {
    uint32_t s;
    uint32_t Next() { return s = s * 1664525u + 1013904223u, s >> 8; }
};

struct SweepCase {
    const char* name;
    uint32_t blockSize;
    uint32_t maxChunk;  // chunk sizes 0..maxChunk, some above the block
    uint32_t total;
};

TEST(WriteRing, BytesWrittenInAnyChunkingReachTheFileInOrder) {
    const SweepCase cases[] = {
        {"tiny blocks, many wraps", 16, 20, 20000},
        {"chunks straddle blocks", 100, 150, 60000},
        {"chunks fill blocks exactly", 64, 64, 64 * 97},
        {"big blocks, small chunks", 4096, 9, 30000},
        {"every chunk above the block", 8, 40, 5000},
    };
    for (const SweepCase& k : cases) {
        SCOPED_TRACE(k.name);
        TempPath f(u"dc_ring_sweep.bin");
        Stream* s = nullptr;
        ASSERT_EQ(0, Stream_CreateFile(&s, f.path.c_str(), 0, 1));
        uint32_t w;
        ASSERT_EQ(0, Stream_OpenCursor(s, &w, k.blockSize));
        ASSERT_EQ(0u, w);
        Lcg rng{k.blockSize * 31 + k.total};
        std::vector<uint8_t> want;
        while (want.size() < k.total) {
            uint32_t n = rng.Next() % (k.maxChunk + 1);
            std::vector<uint8_t> chunk(n);
            for (auto& b : chunk) b = uint8_t(rng.Next());
            ASSERT_EQ(int32_t(n), Stream_Write(s, w, chunk.data(), n));
            want.insert(want.end(), chunk.begin(), chunk.end());
        }
        EXPECT_EQ(uint32_t(want.size()), Stream_GetSize(s));
        EXPECT_EQ(uint32_t(want.size()), Stream_Tell(s, w));
        Stream_Close(s);
        EXPECT_EQ(want, FileBytes(f.path));
    }
}

TEST(WriteRing, ReadsWhileWritingSeeEveryByteWritten) {
    TempPath f(u"dc_ring_readback.bin");
    Stream* s = nullptr;
    ASSERT_EQ(0, Stream_CreateFile(&s, f.path.c_str(), 0, 1));
    uint32_t w, r;
    ASSERT_EQ(0, Stream_OpenCursor(s, &w, 32));
    ASSERT_EQ(0, Stream_OpenCursor(s, &r, 64));
    Lcg rng{7};
    std::vector<uint8_t> want;
    for (int round = 0; round < 40; ++round) {
        uint32_t n = 1 + rng.Next() % 50;
        std::vector<uint8_t> chunk(n);
        for (auto& b : chunk) b = uint8_t(rng.Next());
        ASSERT_EQ(int32_t(n), Stream_Write(s, w, chunk.data(), n));
        want.insert(want.end(), chunk.begin(), chunk.end());
        // Read everything so far from the start: bytes still in the ring
        // (even in the block being filled) come back too.
        ASSERT_EQ(0, Stream_Seek(s, r, 0));
        std::vector<uint8_t> back(want.size());
        ASSERT_EQ(int32_t(back.size()), Stream_Read(s, r, back.data(), uint32_t(back.size())));
        ASSERT_EQ(want, back) << "round " << round;
    }
    Stream_Close(s);
    EXPECT_EQ(want, FileBytes(f.path));
}

TEST(WriteRing, SeekBackOverwritesInPlace) {
    TempPath f(u"dc_ring_seek.bin");
    Stream* s = nullptr;
    ASSERT_EQ(0, Stream_CreateFile(&s, f.path.c_str(), 0, 1));
    uint32_t w;
    ASSERT_EQ(0, Stream_OpenCursor(s, &w, 16));
    std::vector<uint8_t> want(100);
    for (size_t i = 0; i < want.size(); ++i) want[i] = uint8_t(i);
    ASSERT_EQ(100, Stream_Write(s, w, want.data(), 100));
    // A header patched after the body, as a muxer does.
    const uint8_t patch[6] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
    ASSERT_EQ(0, Stream_Seek(s, w, 3));
    ASSERT_EQ(6, Stream_Write(s, w, patch, 6));
    std::copy(patch, patch + 6, want.begin() + 3);
    // Then on at the end again.
    ASSERT_EQ(0, Stream_Seek(s, w, 100));
    ASSERT_EQ(2, Stream_Write(s, w, patch, 2));
    want.push_back(0xA0);
    want.push_back(0xA1);
    EXPECT_EQ(102u, Stream_GetSize(s));
    Stream_Close(s);
    EXPECT_EQ(want, FileBytes(f.path));
}

TEST(WriteRing, CloseCursorAndCloseStreamFlushEverything) {
    for (bool closeCursorFirst : {false, true}) {
        SCOPED_TRACE(closeCursorFirst ? "cursor closed first" : "stream closed");
        TempPath f(u"dc_ring_close.bin");
        Stream* s = nullptr;
        ASSERT_EQ(0, Stream_CreateFile(&s, f.path.c_str(), 0, 1));
        uint32_t w;
        ASSERT_EQ(0, Stream_OpenCursor(s, &w, 1000));
        // Less than one block: nothing has been handed to the task yet.
        const uint8_t bytes[5] = {9, 8, 7, 6, 5};
        ASSERT_EQ(5, Stream_Write(s, w, bytes, 5));
        EXPECT_TRUE(FileBytes(f.path).empty());
        if (closeCursorFirst) {
            EXPECT_EQ(0, Stream_CloseCursor(s, w));
        }
        Stream_Close(s);
        EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 5), FileBytes(f.path));
    }
}

TEST(WriteRing, AnotherUnbufferedCursorKeepsTheRingsBytes) {
    TempPath f(u"dc_ring_reopen.bin");
    Stream* s = nullptr;
    ASSERT_EQ(0, Stream_CreateFile(&s, f.path.c_str(), 0, 1));
    uint32_t w, other;
    ASSERT_EQ(0, Stream_OpenCursor(s, &w, 16));
    std::vector<uint8_t> want;
    for (int i = 0; i < 40; ++i) want.push_back(uint8_t(i * 3));
    ASSERT_EQ(40, Stream_Write(s, w, want.data(), 40));
    // The ring is drained and goes on with one big block.
    ASSERT_EQ(0, Stream_OpenCursor(s, &other, 0));
    EXPECT_EQ(want, FileBytes(f.path));
    std::vector<uint8_t> more(70000, 0x5A);
    ASSERT_EQ(70000, Stream_Write(s, w, more.data(), 70000));
    want.insert(want.end(), more.begin(), more.end());
    Stream_Close(s);
    EXPECT_EQ(want, FileBytes(f.path));
}

#ifndef _WIN32
// A disk that takes nothing: every block the task writes fails.
TEST(WriteRing, AWriteTheDiskRefusesIsReported) {
    Stream* s = nullptr;
    ASSERT_EQ(0, Stream_CreateFile(&s, u"/dev/full", 0, 1));
    uint32_t w;
    ASSERT_EQ(0, Stream_OpenCursor(s, &w, 8));
    const uint8_t bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    // The first writes only fill the ring; the refusal shows at the latest
    // when the ring is drained, and from then on every write reports it.
    int32_t result = 0;
    for (int i = 0; i < 20 && result >= 0; ++i) result = Stream_Write(s, w, bytes, 8);
    uint32_t r;
    ASSERT_EQ(0, Stream_OpenCursor(s, &r, 64));
    uint8_t back[8];
    EXPECT_EQ(kFileIo, Stream_Read(s, r, back, 8));
    EXPECT_EQ(kFileIo, Stream_Write(s, w, bytes, 8));
    EXPECT_EQ(kFileIo, Stream_CloseCursor(s, w));
    Stream_Close(s);
}
#endif

}  // namespace
