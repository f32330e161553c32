// Picture placement: the aspect of each mode, a picture fitted into a
// window with its aspect kept, and the renderer's output rectangle.
#include "engine/output/display_geometry.h"

#include <gtest/gtest.h>

#include "engine/output/video_renderer.h"
#include "engine/player.h"

namespace {

TEST(DisplayGeometry, AspectOfEachMode) {
    struct Case {
        uint32_t mode, w, h;
        float want;
    } cases[] = {
        {3, 640, 480, 1.33f}, {4, 640, 480, 1.78f},       {5, 1, 1, 1.85f},
        {6, 1, 1, 2.35f},     {1, 352, 288, 352.f / 288}, {9, 1280, 720, 1280.f / 720},
        {1, 640, 0, 1.0f},  // no height: no division by zero
    };
    for (const Case& k : cases)
        EXPECT_FLOAT_EQ(k.want, DisplayAspectForMode(k.mode, k.w, k.h)) << k.mode << " " << k.w;
}

struct FitCase {
    const char* name;
    int32_t left, top, right, bottom;
    uint32_t mode, width, height;
    uint32_t wantW, wantH;
};

TEST(DisplayGeometry, FitKeepsTheAspectInsideTheRectangle) {
    const FitCase cases[] = {
        {"4:3 picture into a 16:9 window", 0, 0, 1280, 720, 1, 640, 480, 960, 720},
        {"16:9 picture into a 4:3 window", 0, 0, 640, 480, 1, 1280, 720, 640, 360},
        {"4:3 picture, window offset", 100, 50, 1380, 770, 1, 640, 480, 960, 720},
        {"odd CIF into an odd window", 0, 0, 301, 199, 1, 352, 288, 240, 196},
        {"odd window narrower than the picture", 0, 0, 333, 1000, 1, 640, 480, 332, 248},
        {"16:9 mode on a 4:3 picture", 0, 0, 1280, 1280, 4, 640, 480, 1280, 716},
        {"2.35 mode", 0, 0, 940, 1000, 6, 470, 200, 940, 400},
        {"empty window", 10, 10, 10, 500, 1, 640, 480, 0, 0},
        {"inverted window", 100, 100, 0, 0, 1, 640, 480, 0, 0},
        {"picture without width", 0, 0, 100, 100, 1, 0, 480, 0, 0},
    };
    for (const FitCase& k : cases) {
        SCOPED_TRACE(k.name);
        uint32_t w = 99, h = 99;
        FitRectKeepAspect(k.left, k.top, k.right, k.bottom, k.mode, k.width, k.height, &w, &h);
        EXPECT_EQ(k.wantW, w);
        EXPECT_EQ(k.wantH, h);
        EXPECT_EQ(0u, w % 4);
        EXPECT_EQ(0u, h % 4);
        EXPECT_LE(int64_t(w), int64_t(k.right) - k.left > 0 ? int64_t(k.right) - k.left : 0);
        EXPECT_LE(int64_t(h), int64_t(k.bottom) - k.top > 0 ? int64_t(k.bottom) - k.top : 0);
    }
}

struct RectCase {
    const char* name;
    OutputRectInput in;
    OutputRect want;
};

TEST(DisplayGeometry, OutputRectangleByAspectMode) {
    const RectCase cases[] = {
        {"clamped to the source", {0, 0, 1280, 720, 0, 0, 0, 0, 640, 480}, {320, 120, 640, 480}},
        {"stretched", {0, 0, 1280, 720, 0, 2, 0, 0, 640, 480}, {0, 0, 1280, 720}},
        {"source 4:3 in 16:9", {0, 0, 1280, 720, 0, 1, 0, 0, 640, 480}, {160, 0, 960, 720}},
        {"16:9 fills 16:9", {0, 0, 1280, 720, 0, 4, 0, 0, 640, 480}, {0, 0, 1280, 720}},
        {"4:3 in a square", {0, 0, 640, 640, 0, 3, 0, 0, 352, 288}, {0, 80, 640, 480}},
        {"16:9 in 4:3, offset", {10, 20, 640, 480, 0, 4, 0, 0, 640, 480}, {10, 84, 640, 352}},
        {"odd window, 16:9", {0, 0, 301, 199, 0, 4, 0, 0, 640, 480}, {6, 19, 288, 160}},
        {"custom 2:1", {0, 0, 1000, 1000, 0, 9, 2, 1, 640, 480}, {4, 252, 992, 496}},
        {"custom with a zero side keeps the rectangle",
         {0, 0, 200, 100, 0, 9, 0, 1, 640, 480},
         {4, 2, 192, 96}},
        {"turned a quarter", {0, 0, 720, 1280, 1, 4, 0, 0, 640, 480}, {0, 0, 1280, 720}},
        {"1.85", {0, 0, 1850, 2000, 0, 5, 0, 0, 640, 480}, {5, 504, 1840, 992}},
    };
    for (const RectCase& k : cases) {
        SCOPED_TRACE(k.name);
        OutputRect r = ComputeOutputRect(k.in);
        EXPECT_EQ(k.want.x, r.x);
        EXPECT_EQ(k.want.y, r.y);
        EXPECT_EQ(k.want.width, r.width);
        EXPECT_EQ(k.want.height, r.height);
    }
}

TEST(DisplayGeometry, RendererPlacesThePictureFromItsConfiguration) {
    VideoRendererFormat f = {
        MakeFourCC('M', 'P', '4', 'V'), MakeFourCC('I', '4', '2', '0'), 640, 480, nullptr, 0};
    VideoRenderer* r = nullptr;
    ASSERT_EQ(0, VideoRenderer_Create(&r, &f, 0));
    VideoOutConfig c = {};
    c.fields[2] = 40;  // x, y, width, height of a window-less rectangle
    c.fields[3] = 30;
    c.fields[4] = 1280;
    c.fields[5] = 720;
    c.fields[6] = VIDEO_ASPECT_SOURCE;
    ASSERT_EQ(1, VideoRenderer_SetRect(r, &c));
    ASSERT_EQ(1, VideoRenderer_SetAspect(r, &c));
    ASSERT_EQ(1, VideoRenderer_ComputeOutputRect(r));
    EXPECT_EQ(200, r->picX);
    EXPECT_EQ(30, r->picY);
    EXPECT_EQ(960, r->picW);
    EXPECT_EQ(720, r->picH);
    EXPECT_EQ(0, VideoRenderer_ComputeOutputRect(nullptr));
    VideoRenderer_Destroy(r);
}

}  // namespace
