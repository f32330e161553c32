// Video renderer against a recording display: configuration, the show flag,
// the reported rectangle and the device table.
#include "engine/output/video_renderer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/output/color_convert.h"
#include "engine/output/display_geometry.h"
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
    cfg.flags = VIDEO_CONFIG_DEVICE;
    cfg.fields[VIDEO_FIELD_DEVICE] = VIDEO_DEVICE_DDRAW;
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
    app.flags = VIDEO_CONFIG_DEVICE | VIDEO_CONFIG_WINDOW;
    app.fields[VIDEO_FIELD_DEVICE] = VIDEO_DEVICE_DDRAW;
    app.fields[VIDEO_FIELD_WINDOW] = 0x1001;
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
        cfg.flags = VIDEO_CONFIG_WINDOW | VIDEO_CONFIG_ASPECT;
        cfg.fields[VIDEO_FIELD_X] = 10;
        cfg.fields[VIDEO_FIELD_Y] = 20;
        cfg.fields[VIDEO_FIELD_WIDTH] = 320;
        cfg.fields[VIDEO_FIELD_HEIGHT] = 240;
        cfg.fields[VIDEO_FIELD_ASPECT_MODE] = VIDEO_ASPECT_4_3;
        cfg.fields[VIDEO_FIELD_TV_OUT] = c.tvOut;
        ASSERT_EQ(1, VideoRenderer_SetConfig(r, &cfg));
        VideoOutConfig out = {};
        out.fields[VIDEO_FIELD_WINDOW] = 0xABCD;
        ASSERT_EQ(1, VideoRenderer_GetConfig(r, &out));
        EXPECT_EQ(0xABCDu, out.fields[VIDEO_FIELD_WINDOW]) << "the window field is not written";
        EXPECT_EQ(10u, out.fields[VIDEO_FIELD_X]);
        EXPECT_EQ(c.w, out.fields[VIDEO_FIELD_WIDTH]);
        EXPECT_EQ(c.h, out.fields[VIDEO_FIELD_HEIGHT]);
        EXPECT_EQ(uintptr_t(VIDEO_ASPECT_4_3), out.fields[VIDEO_FIELD_ASPECT_MODE]);
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

TEST_F(VideoRendererTest, OverlayWordsAndString) {
    struct Case {
        const char* name;
        int (*set)(VideoRenderer*);
        int result;
        uint32_t words[VIDEO_OVERLAY_FIELD_COUNT];
    } cases[] = {
        {"one field",
         [](VideoRenderer* r) { return VideoRenderer_SetOverlayField(r, 4, 18); },
         1,
         {0, 0, 0, 0, 18, 0}},
        {"field past the block",
         [](VideoRenderer* r) {
             return VideoRenderer_SetOverlayField(r, VIDEO_OVERLAY_FIELD_COUNT, 7);
         },
         0,
         {0, 0, 0, 0, 0, 0}},
        {"position",
         [](VideoRenderer* r) { return VideoRenderer_SetOverlayPosition(r, -3, 40); },
         1,
         {0xFFFFFFFDu, 40, 0, 0, 0, 0}},
        {"colours",
         [](VideoRenderer* r) { return VideoRenderer_SetOverlayColors(r, 0x0000FF, 0xFF00FF); },
         1,
         {0, 0, 0x0000FF, 0xFF00FF, 0, 0}},
        {"params, first words only",
         [](VideoRenderer* r) {
             const uint32_t w[3] = {5, 6, 7};
             return VideoRenderer_SetOverlayParams(r, w, 3);
         },
         1,
         {5, 6, 7, 0, 0, 0}},
        {"params, too many words",
         [](VideoRenderer* r) {
             const uint32_t w[VIDEO_OVERLAY_FIELD_COUNT + 1] = {1, 1, 1, 1, 1, 1, 1};
             return VideoRenderer_SetOverlayParams(r, w, VIDEO_OVERLAY_FIELD_COUNT + 1);
         },
         0,
         {0, 0, 0, 0, 0, 0}},
        {"params, no words",
         [](VideoRenderer* r) { return VideoRenderer_SetOverlayParams(r, nullptr, 2); },
         0,
         {0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(r->overlayWords, 0, sizeof r->overlayWords);
        EXPECT_EQ(c.result, c.set(r));
        for (uint32_t i = 0; i < VIDEO_OVERLAY_FIELD_COUNT; ++i)
            EXPECT_EQ(c.words[i], r->overlayWords[i]) << "word " << i;
    }
    EXPECT_EQ(0, VideoRenderer_SetOverlayField(nullptr, 0, 1));

    // The string is the renderer's own copy, cut at its limit.
    char text[] = "2024/03/15 09:30:00";
    ASSERT_EQ(1, VideoRenderer_SetOverlayString(r, text));
    text[0] = 'X';
    EXPECT_STREQ("2024/03/15 09:30:00", r->overlayString);
    std::string longText(VIDEO_OVERLAY_STRING_MAX + 50, 'a');
    ASSERT_EQ(1, VideoRenderer_SetOverlayString(r, longText.c_str()));
    EXPECT_EQ(size_t(VIDEO_OVERLAY_STRING_MAX), std::strlen(r->overlayString));
    ASSERT_EQ(1, VideoRenderer_SetOverlayString(r, nullptr));
    EXPECT_EQ(nullptr, r->overlayString);
    EXPECT_EQ(1, VideoRenderer_SetOverlayString(r, "kept until destroy"));
}

// The conversion buffer grows to the largest target asked for and holds the
// dispatch's picture.
TEST_F(VideoRendererTest, ConversionIntoTheRenderersBuffer) {
    const uint8_t* out = nullptr;
    int32_t stride = 0;
    // 4 x 2 source: luma 0..7, U 9 9, V 5 5 (fixture).
    struct Case {
        const char* name;
        uint32_t fourcc, depth;
        int32_t stride;
        std::vector<uint8_t> firstBytes;
    } cases[] = {
        {"I420 copy", COLOR_FOURCC_I420, 0, 4, {0, 1, 2, 3, 4, 5, 6, 7, 9, 9, 5, 5}},
        {"YV12 puts V first", COLOR_FOURCC_YV12, 0, 4, {0, 1, 2, 3, 4, 5, 6, 7, 5, 5, 9, 9}},
        {"UYVY", COLOR_FOURCC_UYVY, 0, 8, {9, 0, 5, 1, 9, 2, 5, 3}},
        // Y 0, U 9, V 5: blue and red clamp to 0, green (0 + 12*119 + 30*123) >> 6.
        {"rgb32 is larger", COLOR_FOURCC_RGB, 32, 16, {0, 79, 0, 0}},
    };
    uint32_t lastSize = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(1, VideoRenderer_SetConversionTarget(r, c.fourcc, c.depth));
        ASSERT_EQ(0, VideoRenderer_Convert(r, &frame, &out, &stride));
        ASSERT_NE(nullptr, out);
        EXPECT_EQ(c.stride, stride);
        EXPECT_EQ(r->conversion.data, out);
        EXPECT_GE(r->conversion.size, lastSize) << "the buffer never shrinks";
        lastSize = r->conversion.size;
        for (size_t i = 0; i < c.firstBytes.size(); ++i)
            EXPECT_EQ(c.firstBytes[i], out[i]) << "byte " << i;
    }
    ASSERT_EQ(1, VideoRenderer_SetConversionTarget(r, 'X' | 'X' << 8, 0));
    EXPECT_EQ(static_cast<int32_t>(0x80000000u), VideoRenderer_Convert(r, &frame, &out, &stride));
    EXPECT_EQ(nullptr, out);
}

// A window's screen rectangle replaces the configured one when a source
// of window rectangles is installed.
TEST_F(VideoRendererTest, WindowRectangleComesFromTheWindow) {
    VideoRenderer_SetWindowRectSource([](uintptr_t window, int32_t rect[4]) -> int {
        if (window != 0x77) return 0;
        rect[0] = 100;
        rect[1] = 50;
        rect[2] = 420;  // right
        rect[3] = 290;  // bottom
        return 1;
    });
    struct Case {
        const char* name;
        uintptr_t window;
        int32_t x, y, w, h;
    } cases[] = {{"known window", 0x77, 100, 50, 320, 240},
                 {"window the source does not know", 0x78, 1, 2, 30, 40},
                 {"no window", 0, 1, 2, 30, 40}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VideoOutConfig cfg = {};
        cfg.flags = VIDEO_CONFIG_WINDOW;
        cfg.fields[VIDEO_FIELD_WINDOW] = c.window;
        cfg.fields[VIDEO_FIELD_X] = 1;
        cfg.fields[VIDEO_FIELD_Y] = 2;
        cfg.fields[VIDEO_FIELD_WIDTH] = 30;
        cfg.fields[VIDEO_FIELD_HEIGHT] = 40;
        ASSERT_EQ(1, VideoRenderer_SetConfig(r, &cfg));
        VideoOutConfig out = {};
        ASSERT_EQ(1, VideoRenderer_GetConfig(r, &out));
        EXPECT_EQ(uintptr_t(c.x), out.fields[VIDEO_FIELD_X]);
        EXPECT_EQ(uintptr_t(c.y), out.fields[VIDEO_FIELD_Y]);
        EXPECT_EQ(uintptr_t(c.w), out.fields[VIDEO_FIELD_WIDTH]);
        EXPECT_EQ(uintptr_t(c.h), out.fields[VIDEO_FIELD_HEIGHT]);
    }
    VideoRenderer_SetWindowRectSource(nullptr);
}

}  // namespace
