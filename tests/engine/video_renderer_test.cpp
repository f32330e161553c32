// Video renderer against a recording display: configuration, the show flag,
// the reported rectangle and the device table.
#include "engine/output/video_renderer.h"

#include <gtest/gtest.h>

#include "engine/player.h"
#include "engine/player/player_state.h"
#include "recording_display.h"

namespace {

class VideoRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        RecordingDisplay::Current() = &disp;
        VideoRenderer_RegisterDevice(VIDEO_DEVICE_DDRAW, RecordingDisplay::Ops());
        VideoRendererFormat f = {0x5634504D, 0, 4, 2, nullptr, 0};
        ASSERT_EQ(0, VideoRenderer_Create(&r, &f, 0));
        for (int i = 0; i < 8; ++i) y[i] = static_cast<uint8_t>(i);
        frame = {y, u, v, 4, 1234};
    }
    void TearDown() override {
        VideoRenderer_Destroy(r);
        VideoRenderer_RegisterDevice(VIDEO_DEVICE_DDRAW, nullptr);
    }
    RecordingDisplay disp;
    VideoRenderer* r = nullptr;
    uint8_t y[8] = {}, u[2] = {9, 9}, v[2] = {5, 5};
    DecodedFrame frame;
};

TEST_F(VideoRendererTest, SourceFormatIsI420AndShowStartsOn) {
    EXPECT_EQ(0x30323449u, r->sourceFourcc);
    EXPECT_EQ(1u, r->show.load());
    EXPECT_EQ(31u, VideoRenderer_GetVersion());
    EXPECT_EQ(0, VideoRenderer_IsDirectMode(0, 0));
}

TEST_F(VideoRendererTest, DrawResults) {
    EXPECT_EQ(static_cast<int32_t>(0x80000014), VideoRenderer_DrawFrame(r, &frame))
        << "no device installed";
    VideoOutConfig cfg = {};
    cfg.flags = 0x1;
    cfg.fields[0] = VIDEO_DEVICE_DDRAW;
    ASSERT_EQ(1, VideoRenderer_SetConfig(r, &cfg));
    EXPECT_EQ(0u, disp.windowAtOpen) << "flag 0x1 alone opens without a window";
    EXPECT_EQ(0, VideoRenderer_DrawFrame(r, &frame));
    DecodedFrame none = {};
    EXPECT_GE(VideoRenderer_DrawFrame(r, &none), 0);
    VideoRenderer_SetShow(r, 0);
    EXPECT_EQ(static_cast<int32_t>(0x80000057), VideoRenderer_DrawFrame(r, &frame));
    auto pics = disp.Snapshot();
    ASSERT_EQ(1u, pics.size()) << "only the shown picture with planes reaches the device";
    EXPECT_EQ(1234u, pics[0].timeMs);
}

// The player's stored configuration, with every flag set, must leave
// pictures visible.
TEST_F(VideoRendererTest, StoredPlayerConfigShowsPictures) {
    VideoOutConfig stored;
    PlayerState_InitVideoConfig(&stored);
    VideoOutConfig app = {};
    app.flags = 0x1 | 0x2;
    app.fields[0] = VIDEO_DEVICE_DDRAW;
    app.fields[1] = 0x1001;
    PlayerState_StoreVideoConfig(&stored, &app);
    ASSERT_EQ(1, VideoRenderer_SetConfig(r, &stored));
    EXPECT_EQ(0x1001u, disp.windowAtOpen) << "the window is known before the device opens";
    EXPECT_EQ(0, VideoRenderer_DrawFrame(r, &frame));
    EXPECT_EQ(1u, disp.Snapshot().size());
}

TEST_F(VideoRendererTest, ReportedRectangle) {
    struct Case {
        const char* name;
        uint32_t tvOut;
        uint32_t w, h;
    };
    const Case cases[] = {
        {"window_rect", 0, 320, 240}, {"tv_ntsc", 1, 720, 480}, {"tv_other", 2, 720, 525}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VideoOutConfig cfg = {};
        cfg.flags = 0x2 | 0x4;
        cfg.fields[2] = 10;
        cfg.fields[3] = 20;
        cfg.fields[4] = 320;
        cfg.fields[5] = 240;
        cfg.fields[6] = 3;
        cfg.fields[10] = c.tvOut;
        ASSERT_EQ(1, VideoRenderer_SetConfig(r, &cfg));
        VideoOutConfig out = {};
        out.fields[1] = 0xABCD;
        ASSERT_EQ(1, VideoRenderer_GetConfig(r, &out));
        EXPECT_EQ(0xABCDu, out.fields[1]) << "the window field is not written";
        EXPECT_EQ(10u, out.fields[2]);
        EXPECT_EQ(c.w, out.fields[4]);
        EXPECT_EQ(c.h, out.fields[5]);
        EXPECT_EQ(3u, out.fields[6]);
    }
}

TEST_F(VideoRendererTest, OpenFailuresAndReopen) {
    EXPECT_EQ(static_cast<int32_t>(0x8000003C), VideoRenderer_SetDevice(r, 5)) << "unknown type";
    disp.openResult = static_cast<int32_t>(0x80000099);
    EXPECT_EQ(static_cast<int32_t>(0x80000099), VideoRenderer_SetDevice(r, VIDEO_DEVICE_DDRAW));
    disp.openResult = 0;
    EXPECT_EQ(0, VideoRenderer_SetDevice(r, VIDEO_DEVICE_DDRAW));
    EXPECT_EQ(1, disp.closes) << "a reopen closes the device first";
    EXPECT_EQ(0, VideoRenderer_Refresh(r, 0)) << "the display offers no refresh";
    EXPECT_EQ(static_cast<int32_t>(0x80000000), VideoRenderer_DrawEmpty(r, &frame));
    EXPECT_EQ(nullptr, frame.y);
    EXPECT_EQ(nullptr, frame.u);
}

}  // namespace
