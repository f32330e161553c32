// The picture control in a real window: still pictures by fill type, the
// caption, GIF animation sampled from the screen over time (frame order,
// rough delays, disposal), and stopping and freeing while the animation
// thread runs.
#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "ThemeClass/ThemePicture.h"
#include "theme_fixture.h"

using themetest::Hex;
using themetest::Shot;
using themetest::SkinStage;

namespace {

constexpr UINT kId = 5300;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);

std::string ImagePath(const char* name) {
    std::string s = std::string("Z:") + DC_BINARY_DIR + "/testimages/picture/" + name;
    for (auto& c : s)
        if (c == '/') c = '\\';
    return s;
}

// A 20 x 20 picture in four coloured quarters.
std::string QuarterBmp() {
    return themetest::WriteBmp("picture_quarters.bmp", 20, 20, [](int x, int y) {
        if (y < 10) return x < 10 ? kRed : kGreen;
        return x < 10 ? kBlue : kYellow;
    });
}

int ProcessThreads() {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 te = {};
    te.dwSize = sizeof te;
    int n = 0;
    for (BOOL ok = Thread32First(snap, &te); ok; ok = Thread32Next(snap, &te))
        n += te.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snap);
    return n;
}

struct PictureScene {
    SkinStage stage;
    CThemePicture pic;
    explicit PictureScene(int width = 100, int height = 80) {
        uitest::MoveCursorClient(stage.parent(), 390, 290);
        const RECT r = {10, 10, 10 + width, 10 + height};
        pic.Create(WS_CHILD | WS_VISIBLE, r, stage.parentWnd(), kId);
        themetest::Settle();
    }
    ~PictureScene() {
        if (pic.GetSafeHwnd()) pic.DestroyWindow();
    }
    HWND Hwnd() const { return pic.GetSafeHwnd(); }
    COLORREF At(int x, int y) {
        uitest::PumpPending();
        return uitest::ClientPixel(Hwnd(), x, y);
    }
};

// One colour run seen at a sampled point: the colour and how long it
// stood (from its first sample to the first sample of the next colour).
struct ColorRun {
    COLORREF color;
    DWORD start;
    DWORD ms;
};

std::vector<ColorRun> SampleRuns(PictureScene& s, int x, int y, DWORD totalMs) {
    std::vector<ColorRun> runs;
    const DWORD t0 = GetTickCount();
    for (DWORD now = t0; now - t0 < totalMs; now = GetTickCount()) {
        uitest::PumpFor(2);
        const COLORREF c = s.At(x, y);
        const DWORD t = GetTickCount() - t0;
        if (runs.empty() || runs.back().color != c) {
            if (!runs.empty()) runs.back().ms = t - runs.back().start;
            runs.push_back(ColorRun{c, t, 0});
        }
    }
    if (!runs.empty()) runs.back().ms = GetTickCount() - t0 - runs.back().start;
    return runs;
}

std::string Show(const std::vector<ColorRun>& runs) {
    std::string s;
    for (const ColorRun& r : runs) s += Hex(r.color) + ":" + std::to_string(r.ms) + " ";
    return s;
}

}  // namespace

TEST(ThemePicture, SingleFrameGifIsAStillPictureWithoutThread) {
    PictureScene s;
    ASSERT_TRUE(s.pic.LoadFile(ImagePath("pic_still.gif").c_str()));
    EXPECT_TRUE(s.pic.HasGifData());
    EXPECT_FALSE(s.pic.IsAnimated());
    EXPECT_EQ(0u, s.pic.GetAnimationFrameCount());
    EXPECT_EQ(40, s.pic.GetPictureSize().cx) << "the logical screen's size";
    EXPECT_EQ(30, s.pic.GetPictureSize().cy);
    const int threads = ProcessThreads();
    EXPECT_TRUE(s.pic.Draw());
    EXPECT_FALSE(s.pic.IsAnimating());
    EXPECT_EQ(nullptr, s.pic.GetAnimationThread());
    EXPECT_EQ(threads, ProcessThreads()) << "no thread for a still picture";
    const uitest::Picture p = Shot(s.Hwnd());
    EXPECT_EQ(Hex(kRed), Hex(p.At(0, 0))) << "checker colour 2 at the top left";
    EXPECT_EQ(Hex(kBlue), Hex(p.At(4, 0)));
    EXPECT_EQ(Hex(GetSysColor(COLOR_BTNFACE)), Hex(p.At(60, 50))) << "outside the picture";
}

TEST(ThemePicture, FillTypesPlaceTheStillPicture) {
    const std::string bmp = QuarterBmp();
    struct Probe {
        int x, y;
        COLORREF want;
    };
    struct Case {
        const char* name;
        int fill;
        UINT align;
        std::vector<Probe> probes;
    };
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const Case cases[] = {
        {"single, top left", 3, 0, {{5, 5, kRed}, {15, 15, kYellow}, {50, 50, face}}},
        {"single, centred (5)", 3, 5, {{45, 35, kRed}, {55, 45, kYellow}, {5, 5, face}}},
        {"single, bottom right (10)",
         3,
         10,
         {{85, 65, kRed}, {95, 75, kYellow}, {5, 5, face}, {75, 55, face}}},
        {"stretched", 1, 0, {{10, 10, kRed}, {90, 10, kGreen}, {10, 70, kBlue}, {90, 70, kYellow}}},
        {"tiled", 2, 0, {{25, 5, kRed}, {35, 15, kYellow}, {95, 75, kYellow}, {85, 65, kRed}}},
        {"nine-part: corners unscaled",
         0,
         0,
         {{2, 2, kRed}, {97, 2, kGreen}, {2, 77, kBlue}, {97, 77, kYellow}}},
    };
    for (const Case& c : cases) {
        PictureScene s;
        s.pic.SetBackImageFillType(c.fill);
        s.pic.SetBackImageAlignFormat(c.align);
        ASSERT_TRUE(s.pic.LoadFile(bmp.c_str())) << c.name;
        EXPECT_FALSE(s.pic.HasGifData());
        EXPECT_EQ(20, s.pic.GetPictureSize().cx);
        ASSERT_TRUE(s.pic.Draw()) << c.name;
        const uitest::Picture p = Shot(s.Hwnd());
        for (const Probe& pr : c.probes) {
            EXPECT_EQ(Hex(pr.want), Hex(p.At(pr.x, pr.y)))
                << c.name << " at " << pr.x << "," << pr.y;
        }
    }
}

TEST(ThemePicture, CaptionLinesAndShadow) {
    const COLORREF text = RGB(200, 0, 0), shadow = RGB(0, 0, 200);
    struct Case {
        const char* name;
        const char* caption;
        COLORREF shadow;
        bool top, middle, bottom;  // text pixels in each third
        bool shadowSeen;
        RECT area;       // caption area values
        bool rightHalf;  // text pixels right of x = 60
    };
    const RECT whole = {0, 0, 0, 0};
    const Case cases[] = {
        {"one line sits in the middle", "WWW", 0xFF00FF, false, true, false, false, whole, true},
        {"line feed: two lines", "WWW\nWWW", 0xFF00FF, true, false, true, false, whole, true},
        {"typed backslash-n: two lines", "WWW\\nWWW", 0xFF00FF, true, false, true, false, whole,
         true},
        {"shadow colour draws the shadow", "WWW", shadow, false, true, false, true, whole, true},
        {"area counted back from the far edges: top left quarter", "WW", 0xFF00FF, true, false,
         false, false, RECT{0, 0, -60, -45}, false},
    };
    for (const Case& c : cases) {
        PictureScene s(120, 90);
        s.pic.SetTextStyle(24, TRUE, text, c.shadow, DT_CENTER | DT_VCENTER);
        s.pic.SetCaptionArea(c.area.left, c.area.top, c.area.right, c.area.bottom);
        s.pic.SetCaption(c.caption);
        const uitest::Picture p = Shot(s.Hwnd());
        auto textIn = [&](int left, int top, int right, int bottom) {
            return themetest::Count(p, RECT{left, top, right, bottom},
                                    themetest::NearColor(text, 60)) > 5;
        };
        EXPECT_EQ(c.top, textIn(0, 0, 120, 30)) << c.name;
        EXPECT_EQ(c.middle, textIn(0, 35, 120, 55)) << c.name;
        EXPECT_EQ(c.bottom, textIn(0, 60, 120, 90)) << c.name;
        EXPECT_EQ(c.rightHalf, textIn(62, 0, 120, 90)) << c.name;
        const int shadowPixels =
            themetest::Count(p, RECT{0, 0, 120, 90}, themetest::NearColor(shadow, 60));
        EXPECT_EQ(c.shadowSeen, shadowPixels > 5) << c.name;
    }
}

// Red shows a second (delay 100), green 50 ms (delay 5), blue 100 ms
// (delay 2), in that order, over and over. The machine is loaded, so the
// bounds only tell a second from a tenth.
TEST(ThemePicture, FrameDelaysSampledOverTime) {
    PictureScene s(40, 30);
    ASSERT_TRUE(s.pic.LoadFile(ImagePath("pic_cycle.gif").c_str()));
    ASSERT_TRUE(s.pic.IsAnimated());
    EXPECT_EQ(3u, s.pic.GetAnimationFrameCount()) << "every frame with its comment block loads";
    EXPECT_TRUE(s.pic.Draw());
    EXPECT_TRUE(s.pic.IsAnimating());
    const std::vector<ColorRun> runs = SampleRuns(s, 20, 15, 3600);
    s.pic.Stop();
    const COLORREF back = s.pic.GetBackColor();
    // The order: each colour is followed by the next frame's, or by the
    // back colour that clears the picture before red comes again.
    auto next = [&](COLORREF c) -> std::vector<COLORREF> {
        if (c == kRed) return {kGreen, kBlue};  // green may fall between two samples
        if (c == kGreen) return {kBlue};
        if (c == kBlue) return {kRed, back};
        return {kRed};
    };
    ASSERT_GE(runs.size(), 4u) << Show(runs);
    for (size_t i = 1; i < runs.size(); ++i) {
        const std::vector<COLORREF> ok = next(runs[i - 1].color);
        EXPECT_NE(ok.end(), std::find(ok.begin(), ok.end(), runs[i].color))
            << "after " << Hex(runs[i - 1].color) << " came " << Hex(runs[i].color) << ": "
            << Show(runs);
    }
    // Whole red runs (not the first or last, which the sampling cuts) last
    // about a second; the green and blue between two reds about 150 ms.
    int wholeReds = 0, greens = 0;
    for (size_t i = 1; i + 1 < runs.size(); ++i) {
        if (runs[i].color == kGreen) ++greens;
        if (runs[i].color != kRed) continue;
        ++wholeReds;
        EXPECT_GE(runs[i].ms, 700u) << Show(runs);
        EXPECT_LE(runs[i].ms, 2500u) << Show(runs);
        // From the end of this red to the start of the next; sampling can
        // cut one sample's time off the 150 ms.
        for (size_t j = i + 1; j < runs.size(); ++j) {
            if (runs[j].color != kRed) continue;
            const DWORD gap = runs[j].start - (runs[i].start + runs[i].ms);
            EXPECT_GE(gap, 40u) << Show(runs);
            EXPECT_LE(gap, 800u) << Show(runs);
            break;
        }
    }
    EXPECT_GE(wholeReds, 1) << Show(runs);
    EXPECT_GE(greens, 1) << "the 50 ms frame is seen: " << Show(runs);
}

// A frame without a control block is shown for 100 ms, not for ever.
TEST(ThemePicture, FramesWithoutControlBlockAdvance) {
    PictureScene s(40, 30);
    ASSERT_TRUE(s.pic.LoadFile(ImagePath("pic_nogce.gif").c_str()));
    ASSERT_EQ(2u, s.pic.GetAnimationFrameCount());
    EXPECT_EQ(0xFFFFFFFFu, s.pic.GetFrames()[0].delay);
    s.pic.Draw();
    const std::vector<ColorRun> runs = SampleRuns(s, 20, 15, 1500);
    s.pic.Stop();
    int reds = 0, blues = 0;
    for (const ColorRun& r : runs) {
        reds += r.color == kRed;
        blues += r.color == kBlue;
    }
    EXPECT_GE(reds, 2) << Show(runs);
    EXPECT_GE(blues, 2) << Show(runs);
}

TEST(ThemePicture, DisposalMethods) {
    struct Case {
        const char* file;
        COLORREF want;  // under the red square while the blue one shows
        const char* why;
    };
    const COLORREF back = RGB(0, 128, 0);
    const Case cases[] = {
        {"pic_dispose0.gif", kRed, "left as it is"},
        {"pic_dispose2.gif", back, "filled with the back colour"},
        {"pic_dispose3.gif", kWhite, "the saved area restored"},
    };
    for (const Case& c : cases) {
        PictureScene s(40, 40);
        ASSERT_TRUE(s.pic.LoadFile(ImagePath(c.file).c_str())) << c.file;
        ASSERT_EQ(3u, s.pic.GetAnimationFrameCount());
        EXPECT_EQ(25, s.pic.GetFrames()[2].frameOffset.x);
        EXPECT_EQ(10, s.pic.GetFrames()[2].frameSize.cx);
        s.pic.SetBackColor(back);
        s.pic.Draw();
        ASSERT_TRUE(uitest::PumpUntil([&] { return s.At(30, 30) == kBlue; }, 5000)) << c.file;
        EXPECT_EQ(Hex(c.want), Hex(s.At(10, 10))) << c.file << ": " << c.why;
        EXPECT_EQ(Hex(kWhite), Hex(s.At(2, 38))) << c.file << ": the first frame stays";
        s.pic.Stop();
    }
}

TEST(ThemePicture, BackColourBeforeAndAfterLoad) {
    PictureScene s(40, 30);
    s.pic.SetBackColor(RGB(10, 20, 30));
    EXPECT_EQ(Hex(0xFFFFFF), Hex(s.pic.GetBackColor())) << "nothing loaded: no effect";
    ASSERT_TRUE(s.pic.LoadFile(ImagePath("pic_still.gif").c_str()));
    EXPECT_EQ(Hex(GetSysColor(COLOR_BTNFACE)), Hex(s.pic.GetBackColor()))
        << "each load sets its own";
    ASSERT_TRUE(s.pic.Draw());
    EXPECT_EQ(Hex(kRed), Hex(Shot(s.Hwnd()).At(0, 0)));
    s.pic.SetBackColor(RGB(10, 20, 30));
    EXPECT_EQ(Hex(RGB(10, 20, 30)), Hex(s.pic.GetBackColor()));
    s.pic.Invalidate(FALSE);
    uitest::Picture p = Shot(s.Hwnd());
    EXPECT_EQ(Hex(RGB(10, 20, 30)), Hex(p.At(0, 0))) << "the picture is gone";
    EXPECT_EQ(Hex(RGB(10, 20, 30)), Hex(p.At(39, 29)));
    ASSERT_TRUE(s.pic.Draw());
    EXPECT_EQ(Hex(kRed), Hex(Shot(s.Hwnd()).At(0, 0))) << "until the next Draw";
}

TEST(ThemePicture, StopAndFreeWhileAnimating) {
    uitest::InstallGdiCounter();
    const long gdiBefore = uitest::LiveGdiObjects();
    {
        PictureScene s(40, 30);
        ASSERT_TRUE(s.pic.LoadFile(ImagePath("pic_cycle.gif").c_str()));
        const int threads = ProcessThreads();
        ASSERT_TRUE(s.pic.Draw());
        const HANDLE first = s.pic.GetAnimationThread();
        ASSERT_NE(nullptr, first);
        EXPECT_EQ(threads + 1, ProcessThreads());
        // A second Draw while it runs starts nothing new.
        EXPECT_TRUE(s.pic.Draw());
        EXPECT_EQ(first, s.pic.GetAnimationThread());
        EXPECT_EQ(threads + 1, ProcessThreads());

        // Stop wakes the thread out of the one-second red frame at once and
        // waits for it.
        uitest::PumpUntil([&] { return s.At(20, 15) == kRed; }, 3000);
        const UINT frame = s.pic.GetCurrentFrame();
        s.pic.Stop();
        EXPECT_FALSE(s.pic.IsAnimating());
        EXPECT_EQ(nullptr, s.pic.GetAnimationThread());
        EXPECT_EQ(threads, ProcessThreads());
        EXPECT_EQ(frame, s.pic.GetCurrentFrame()) << "the frame in hand is kept";

        // Draw again goes on; FreePicture stops and releases everything.
        ASSERT_TRUE(s.pic.Draw());
        EXPECT_TRUE(s.pic.IsAnimating());
        uitest::PumpFor(120);
        s.pic.FreePicture();
        EXPECT_FALSE(s.pic.IsAnimating());
        EXPECT_EQ(0u, s.pic.GetAnimationFrameCount());
        EXPECT_EQ(threads, ProcessThreads());
        EXPECT_FALSE(s.pic.Draw()) << "nothing loaded";

        // Loading again while animating unloads first.
        for (int i = 0; i < 10; ++i) {
            ASSERT_TRUE(
                s.pic.LoadFile(ImagePath(i % 2 ? "pic_nogce.gif" : "pic_cycle.gif").c_str()));
            ASSERT_TRUE(s.pic.Draw());
            uitest::PumpFor(static_cast<DWORD>(i * 7));
        }
        EXPECT_EQ(threads + 1, ProcessThreads());
        // The window goes while the thread runs.
        s.pic.DestroyWindow();
        EXPECT_FALSE(s.pic.IsAnimating());
        EXPECT_EQ(threads, ProcessThreads());
    }
    // A heap object deleted while animating.
    {
        SkinStage stage;
        CThemePicture* pic = new CThemePicture;
        ASSERT_TRUE(pic->Create(WS_CHILD | WS_VISIBLE, RECT{0, 0, 40, 30}, stage.parentWnd(), kId));
        ASSERT_TRUE(pic->LoadFile(ImagePath("pic_nogce.gif").c_str()));
        ASSERT_TRUE(pic->Draw());
        uitest::PumpFor(50);
        pic->DestroyWindow();
        delete pic;
    }
    uitest::PumpFor(50);
    EXPECT_EQ(gdiBefore, uitest::LiveGdiObjects()) << "every DC and bitmap freed";
}

TEST(ThemePicture, BadFilesAreRefused) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;  // empty: the file is not written
    };
    // A file that cannot be read leaves the loaded picture alone; data that
    // was read and refused leaves the control empty.
    const Case cases[] = {
        {"missing file", {}},
        {"GIF without graphic blocks", {'G', 'I', 'F', '8', '9', 'a', 4, 0, 3, 0, 0, 0, 0, 0x3B}},
        {"global table longer than the file",
         {'G', 'I', 'F', '8', '9', 'a', 4, 0, 3, 0, 0x87, 0, 0, 1, 2, 3, 0x3B}},
        {"control block then trailer",
         {'G', 'I', 'F', '8', '9', 'a', 4, 0, 3, 0, 0, 0, 0, 0x21, 0xF9, 4, 0, 10, 0, 0, 0, 0x3B}},
        {"not a picture", {'h', 'e', 'l', 'l', 'o'}},
    };
    PictureScene s(40, 30);
    int n = 0;
    for (const Case& c : cases) {
        const std::string path = std::string(dir) + "picture_bad_" + std::to_string(n++) + ".gif";
        DeleteFileA(path.c_str());
        if (!c.bytes.empty()) {
            FILE* f = std::fopen(path.c_str(), "wb");
            ASSERT_NE(nullptr, f);
            std::fwrite(c.bytes.data(), 1, c.bytes.size(), f);
            std::fclose(f);
        }
        // Over a running animation.
        ASSERT_TRUE(s.pic.LoadFile(ImagePath("pic_cycle.gif").c_str()));
        ASSERT_TRUE(s.pic.Draw());
        EXPECT_FALSE(s.pic.LoadFile(path.c_str())) << c.name;
        if (c.bytes.empty()) {
            EXPECT_TRUE(s.pic.IsAnimating()) << c.name;
            EXPECT_EQ(3u, s.pic.GetAnimationFrameCount()) << c.name;
            s.pic.FreePicture();
            continue;
        }
        EXPECT_FALSE(s.pic.IsAnimating()) << c.name;
        EXPECT_EQ(nullptr, s.pic.GetAnimationThread()) << c.name;
        EXPECT_FALSE(s.pic.HasGifData()) << c.name << ": a failed load leaves nothing";
        EXPECT_EQ(0u, s.pic.GetAnimationFrameCount()) << c.name;
        EXPECT_EQ(0, s.pic.GetPictureSize().cx) << c.name;
        EXPECT_FALSE(s.pic.Draw()) << c.name << ": nothing loaded";
    }
}

TEST(ThemePicture, SetBackImageLoadsAndDraws) {
    PictureScene s(40, 30);
    s.pic.SetBackImage(ImagePath("pic_still.gif").c_str());
    EXPECT_EQ(Hex(kRed), Hex(Shot(s.Hwnd()).At(0, 0)));
    s.pic.SetBackImage(ImagePath("pic_cycle.gif").c_str());
    EXPECT_TRUE(s.pic.IsAnimating()) << "an animated GIF starts playing";
    s.pic.Stop();
}

TEST(ThemePicture, LoadsFromResources) {
    PictureScene s(40, 30);
    struct Case {
        const char* name;
        const char* type;
        BOOL loads;
        UINT frames;
    };
    const Case cases[] = {
        {"PIC_STILL", "GIF", TRUE, 0},
        {"PIC_CYCLE", "GIF", TRUE, 3},
        {"PIC_MISSING", "GIF", FALSE, 0},
        {"PIC_CYCLE", "OTHER", FALSE, 0},
    };
    for (const Case& c : cases) {
        s.pic.FreePicture();
        EXPECT_EQ(c.loads, s.pic.LoadResource(c.name, c.type)) << c.name << " " << c.type;
        EXPECT_EQ(c.frames, s.pic.GetAnimationFrameCount()) << c.name;
        EXPECT_EQ(c.loads ? 40 : 0, s.pic.GetPictureSize().cx) << c.name;
    }
    EXPECT_FALSE(s.pic.LoadResource(nullptr, "GIF"));
    ASSERT_TRUE(s.pic.LoadResource("PIC_STILL", "GIF"));
    ASSERT_TRUE(s.pic.Draw());
    EXPECT_EQ(Hex(kRed), Hex(Shot(s.Hwnd()).At(0, 0)));
}

TEST(ThemePicture, ToolTipRegistersThenUpdates) {
    PictureScene s(40, 30);
    EXPECT_EQ(nullptr, s.pic.GetToolTip().GetSafeHwnd()) << "no tip before a text";
    s.pic.SetToolTipText("first");
    ASSERT_NE(nullptr, s.pic.GetToolTip().GetSafeHwnd());
    EXPECT_EQ(1, s.pic.GetToolTip().GetToolCount());
    EXPECT_STREQ("first", s.pic.GetToolTip().GetText());
    s.pic.SetToolTipText("second");
    EXPECT_EQ(1, s.pic.GetToolTip().GetToolCount()) << "updated, not added";
    EXPECT_STREQ("second", s.pic.GetToolTip().GetText());
    s.pic.DestroyWindow();
    EXPECT_EQ(0, s.pic.GetToolTip().GetToolCount()) << "the window's tool goes with it";
}
