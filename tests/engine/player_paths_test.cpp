// The pure steps of the video and audio paths: the picture timing
// thresholds and the PCM buffer between the decoder and the renderer.
#include <gtest/gtest.h>

#include "spine_fakes.h"

namespace {

uint32_t g_tick = 1000;

TEST(VideoPath, PictureTimingThresholds) {
    PlayerContext ctx = {};
    ctx.clock = Clock_Create(10000, 100);
    Clock_SetTickSource(
        ctx.clock, [](void*) { return g_tick; }, nullptr);
    struct Case {
        const char* name;
        int32_t pictureOffset;  // picture time minus clock time
        int32_t result;
    };
    const Case cases[] = {
        {"on_time", 0, 0},
        {"40_early_shown", 40, 0},
        {"41_early_waits", 41, PLAYER_E_FRAME_EARLY},
        {"300_late_shown", -300, 0},
        {"301_late_dropped", -301, PLAYER_E_FRAME_LATE},
        {"600_late_dropped", -600, PLAYER_E_FRAME_LATE},
        {"601_late_skips_to_key", -601, PLAYER_E_FRAME_VERY_LATE},
        {"far_future_waits", 5000, PLAYER_E_FRAME_EARLY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result,
                  Player_CheckAvSync(&ctx, static_cast<uint32_t>(10000 + c.pictureOffset)));
    }
    Clock_Destroy(ctx.clock);
}

TEST(PcmBuffer, HandsOutABlockOnceLessThanAFrameOfRoomRemains) {
    // 44100 Hz, 1024-sample frames: (44100 / (1024 * 20) + 1) * 1024 = 3072.
    const uint32_t capacity = (44100 / (1024 * 20) + 1) * 1024;
    ASSERT_EQ(3072u, capacity);
    PcmBuffer* b = PcmBuffer_Create(44100, 2, 1024, 0, capacity, 0, 0);
    ASSERT_NE(nullptr, b);
    PcmBlock area, blk;
    for (uint32_t i = 0; i < 2; ++i) {
        ASSERT_EQ(1, PcmBuffer_GetWriteArea(b, &area));
        area.count = 1024;
        area.timeMs = 500 + i * 23;
        PcmBuffer_Commit(b, &area);
        if (i == 0) {
            EXPECT_EQ(0, PcmBuffer_GetBlock(b, &blk)) << "room for a whole frame left";
        }
    }
    ASSERT_EQ(1, PcmBuffer_GetWriteArea(b, &area));
    area.count = 1000;
    PcmBuffer_Commit(b, &area);
    EXPECT_EQ(0, PcmBuffer_GetWriteArea(b, &area)) << "less than a frame of room";
    ASSERT_EQ(1, PcmBuffer_GetBlock(b, &blk));
    EXPECT_EQ(3048u, blk.count);
    EXPECT_EQ(500u, blk.timeMs) << "the time of the first buffered sample";
    EXPECT_EQ(b->left, blk.left);
    EXPECT_EQ(b->right, blk.right);
    blk.count = 0;  // taken by the renderer
    PcmBuffer_Consume(b, &blk);
    EXPECT_EQ(0u, b->fill);
    PcmBuffer_Destroy(b);
}

TEST(PcmBuffer, EndHandsOutTheLastShortBlock) {
    PcmBuffer* b = PcmBuffer_Create(16000, 2, 1024, 0, 2048, 0, 0);
    ASSERT_NE(nullptr, b);
    PcmBlock area, blk;
    ASSERT_EQ(1, PcmBuffer_GetWriteArea(b, &area));
    area.count = 100;
    area.timeMs = 9000;
    PcmBuffer_Commit(b, &area);
    EXPECT_EQ(0, PcmBuffer_GetBlock(b, &blk));
    PcmBuffer_SetEnd(b);
    ASSERT_EQ(1, PcmBuffer_GetBlock(b, &blk));
    EXPECT_EQ(100u, blk.count);
    EXPECT_EQ(9000u, blk.timeMs);
    // A block the renderer did not take keeps its samples.
    PcmBuffer_Consume(b, &blk);
    EXPECT_EQ(100u, b->fill);
    PcmBuffer_Destroy(b);
}

TEST(PcmBuffer, MonoUsesTheSingleBufferAsTheLeftPlane) {
    PcmBuffer* b = PcmBuffer_Create(8000, 1, 256, 0, 512, 0, 0);
    ASSERT_NE(nullptr, b);
    EXPECT_NE(nullptr, b->interleaved);
    EXPECT_EQ(nullptr, b->left);
    EXPECT_EQ(nullptr, b->right);
    PcmBlock area, blk;
    ASSERT_EQ(1, PcmBuffer_GetWriteArea(b, &area));
    EXPECT_EQ(b->interleaved, area.left);
    area.count = 300;
    PcmBuffer_Commit(b, &area);
    ASSERT_EQ(1, PcmBuffer_GetBlock(b, &blk));
    EXPECT_EQ(b->interleaved, blk.left);
    EXPECT_EQ(nullptr, blk.right);
    PcmBuffer_Destroy(b);
    EXPECT_EQ(nullptr, PcmBuffer_Create(8000, 0, 256, 0, 512, 0, 0));
}

TEST(PcmBuffer, InterleavedDecodingIsSplitIntoPlanes) {
    PcmBuffer* b = PcmBuffer_Create(8000, 2, 4, 0, 8, 1, 0);
    ASSERT_NE(nullptr, b);
    PcmBlock area;
    ASSERT_EQ(1, PcmBuffer_GetWriteArea(b, &area));
    for (int i = 0; i < 8; ++i) area.interleaved[i] = static_cast<int16_t>(i);
    area.count = 4;
    PcmBuffer_Commit(b, &area);
    EXPECT_EQ(0, b->left[0]);
    EXPECT_EQ(1, b->right[0]);
    EXPECT_EQ(6, b->left[3]);
    EXPECT_EQ(7, b->right[3]);
    PcmBuffer_Destroy(b);
}

}  // namespace
