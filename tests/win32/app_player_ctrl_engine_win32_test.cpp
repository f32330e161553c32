// The player controller on the real engine: every clip of the sample card
// opens with its duration, its data-track records reach the notify window in
// the order of the clip, and the overlay shows the recorder's date. The
// controller's frame-text callback is watched through a copy of the engine
// table whose callback registration wraps it; every other operation is the
// engine's own.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/player_ctrl.h"
#include "app/player_ctrl_win32.h"
#include "tests/harness/harness.h"

namespace {

const std::string kCard = std::string(DC_TESTDATA) + "/card/RIVAVEZU";

struct ClipCase {
    const char* path;          // under the card folder
    int seconds;               // the clip's length
    int hour, minute, second;  // the recorder's clock at the first record
};

// The card as tools/mkcard makes it: a GPS sentence and a G-sensor record
// every second, 500 ms apart, the date of each record one second later.
const ClipCase kClips[] = {
    {"REC_20240315_093000.mp4", 4, 9, 30, 0},
    {"INFINITE/INFI_20240315_093004.mp4", 4, 9, 30, 4},
    {"INFINITE/INFI_20240315_093008.mp4", 3, 9, 30, 8},
    {"INFINITE/INFI_20240315_093011.mp4", 4, 9, 30, 11},
    {"EVENT/EVT_20240315_093015.mp4", 4, 9, 30, 15},
};

void PrintTo(const ClipCase& c, std::ostream* os) { *os << c.path; }

std::string RecordDate(const ClipCase& c, int offsetSeconds) {
    const int total = c.hour * 3600 + c.minute * 60 + c.second + offsetSeconds;
    char text[40];
    std::snprintf(text, sizeof text, "2024/03/15 %02d:%02d:%02d", total / 3600, total / 60 % 60,
                  total % 60);
    return text;
}

// What the video output got back from the controller, frame by frame.
struct OverlayEntry {
    uint32_t frameMs;
    std::string text;
};
std::mutex g_overlayLock;
std::vector<OverlayEntry> g_overlay;
FrameTextCallback g_ctrlCallback = nullptr;

void WatchFrameText(uint32_t* timeMs, char* text, uint32_t* length) {
    const uint32_t frameMs = timeMs ? *timeMs : 0;
    if (g_ctrlCallback) g_ctrlCallback(timeMs, text, length);
    if (!text || !length) return;
    const uint32_t n = *length < DDRAW_TEXT_BUFFER_SIZE ? *length : DDRAW_TEXT_BUFFER_SIZE;
    std::lock_guard<std::mutex> hold(g_overlayLock);
    g_overlay.push_back({frameMs, std::string(text, strnlen(text, n))});
}

void RegisterWatched(FrameTextCallback callback) {
    g_ctrlCallback = callback;
    PlayerEngine_Api()->setTextCallback(&WatchFrameText);
}

const PlayerEngineApi* WatchedEngine() {
    static PlayerEngineApi api = [] {
        PlayerEngineApi a = *PlayerEngine_Api();
        a.setTextCallback = &RegisterWatched;
        return a;
    }();
    return &api;
}

// Ends the controller (and its engine) however the case ends.
struct InstanceGuard {
    ~InstanceGuard() {
        CPlayerCtrl::DestroyInstance();
        CPlayerCtrl::SetDefaultBindings(nullptr, nullptr);
    }
};

class PlayerCtrlEngineTest : public ::testing::TestWithParam<ClipCase> {};

TEST_P(PlayerCtrlEngineTest, OpensPlaysAndReportsTheRecords) {
    const ClipCase& c = GetParam();
    const std::string clip = uitest::WinePath(kCard + "/" + c.path);
    if (GetFileAttributesA(clip.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no sample card (the native tests make it: tools/mkcard)";

    {
        std::lock_guard<std::mutex> hold(g_overlayLock);
        g_overlay.clear();
    }
    auto notify = uitest::MakeTopWindow(0, 0, 40, 40);
    auto video = uitest::MakeTopWindow(60, 60, 320, 240, RGB(0, 0, 0));
    CPlayerCtrl::SetDefaultBindings(WatchedEngine(), PlayerWindowPort_Win32());
    InstanceGuard guard;
    CPlayerCtrl* ctrl = CPlayerCtrl::GetInstance();
    ASSERT_NE(ctrl, nullptr);
    ASSERT_GE(ctrl->SetWindows(notify->hwnd(), video->hwnd()), 0);
    ASSERT_EQ(ctrl->Open(clip.c_str(), 0, 0, 0, 0), 1);

    // Opened, then played to 2 s (or to the end); the bound only ends a hung
    // run.
    auto positionAt = [&](uint32_t ms) {
        for (const auto& m : notify->log())
            if (m.msg == WM_PLAYER_POSITION && m.wParam >= ms) return true;
        return false;
    };
    const bool opened =
        uitest::PumpUntil([&] { return notify->Count(WM_PLAYER_OPENED) > 0; }, 60000);
    const bool played =
        opened &&
        uitest::PumpUntil(
            [&] { return positionAt(2000) || notify->Count(WM_PLAYER_ENDOFSTREAM) > 0; }, 60000);
    ctrl->Close();
    uitest::PumpPending();
    const std::vector<uitest::Message> log = notify->log();
    const TextSampleTable& samples = ctrl->Samples();
    const uint32_t duration = ctrl->Info().duration;
    std::vector<OverlayEntry> overlay;
    {
        std::lock_guard<std::mutex> hold(g_overlayLock);
        overlay = g_overlay;
    }
    ASSERT_TRUE(opened) << "no WM_PLAYER_OPENED";
    EXPECT_TRUE(played) << "the clip did not reach 2 s";
    EXPECT_EQ(ctrl->GetState(), CTRL_STATE_CLOSED);

    // The duration: posted with the opened message and kept by the controller.
    const auto openedMsgs = notify->Of(WM_PLAYER_OPENED);
    ASSERT_EQ(openedMsgs.size(), 1u);
    EXPECT_EQ(openedMsgs[0].wParam, WPARAM(duration));
    EXPECT_NEAR(double(duration), c.seconds * 1000.0, 300.0);

    // The data track: GPS sentence and G-sensor record by turns, 500 ms apart.
    ASSERT_EQ(samples.count, uint32_t(c.seconds * 2));
    for (uint32_t i = 0; i < samples.count; ++i) {
        SCOPED_TRACE("sample " + std::to_string(i));
        EXPECT_EQ(samples.samples[i].timeMs, i * 500);
        EXPECT_EQ(IsGSensorRecord(samples.samples[i].data), i % 2 == 1);
        if (i % 2 == 0) {
            EXPECT_EQ(0, std::memcmp(samples.samples[i].data, "$GPRMC,", 7));
        }
    }

    // The record posts: each names a sample of its own kind, in clip order.
    int gps = 0, gsensor = 0;
    int64_t lastIndex = -1;
    std::vector<std::string> postedDates;
    for (const auto& m : log) {
        if (m.msg != WM_PLAYER_GPS && m.msg != WM_PLAYER_GSENSOR) continue;
        const uint32_t k = uint32_t(m.wParam);
        ASSERT_LT(k, samples.count);
        EXPECT_GE(int64_t(k), lastIndex) << "records went backwards";
        if (lastIndex >= 0) {
            EXPECT_GE(samples.samples[k].timeMs, samples.samples[lastIndex].timeMs);
        }
        lastIndex = k;
        if (m.msg == WM_PLAYER_GPS) {
            ++gps;
            EXPECT_EQ(k % 2, 0u) << "GPS post names a G-sensor record";
        } else {
            ++gsensor;
            EXPECT_EQ(k % 2, 1u) << "G-sensor post names a GPS sentence";
            postedDates.push_back(RecordDate(c, int(k / 2)));
        }
    }
    EXPECT_GT(gps, 0);
    EXPECT_GT(gsensor, 0);

    // The overlay: the recorder's date of a G-sensor record, never going back.
    std::vector<std::string> shown;
    std::string last;
    for (const auto& e : overlay) {
        if (e.text.empty()) continue;
        EXPECT_GE(e.text, last) << "overlay went backwards at " << e.frameMs << " ms";
        last = e.text;
        if (shown.empty() || shown.back() != e.text) shown.push_back(e.text);
    }
    ASSERT_FALSE(shown.empty()) << "no date on the picture";
    for (const auto& text : shown) {
        bool known = false;
        for (int s = 0; s < c.seconds; ++s) known = known || text == RecordDate(c, s);
        EXPECT_TRUE(known) << "not a date of this clip: " << text;
    }
    for (const auto& date : postedDates)
        EXPECT_NE(std::find(shown.begin(), shown.end(), date), shown.end())
            << "G-sensor record posted without its date on the picture: " << date;
}

INSTANTIATE_TEST_SUITE_P(Card, PlayerCtrlEngineTest, ::testing::ValuesIn(kClips));

}  // namespace
