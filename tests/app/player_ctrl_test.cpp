// The player controller against a fake engine and a recording window port:
// open rules, seeking, volume, speed, time text, the state mapping, the range
// end, the close that must not hang, the samples read at open and the
// per-frame records.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/player_ctrl.h"
#include "engine/player_result.h"

namespace {

struct FakeEngine {
    std::vector<std::string> calls;
    PlayerCreateConfig config = {};
    PlayerOpenParams opened = {};
    std::u16string openName;
    uint32_t seekPos = 0, seekExact = 0;
    uint32_t speed = 0;
    AudioOutConfig audio = {};
    VideoOutConfig video = {};
    PlayerStatus status = {};
    uint32_t state = PLAYER_STATE_IDLE;  // what getState answers
    MediaInfoSummary info = {};
    std::vector<std::pair<uint32_t, std::string>> samples;
    size_t nextSample = 0;
    FrameTextCallback textCallback = nullptr;
    int pumpsUntilIdle = 0;  // after a stop, the engine rests after this many pumps
    bool stopped = false;
};

FakeEngine* g_engine = nullptr;

PlayerContext* Ctx() { return reinterpret_cast<PlayerContext*>(g_engine); }

const PlayerEngineApi kFakeApi = {
    [](const PlayerCreateConfig* c) {
        g_engine->config = *c;
        g_engine->calls.push_back("create");
        return Ctx();
    },
    [](PlayerContext*) { g_engine->calls.push_back("destroy"); },
    [](PlayerContext*, const PlayerOpenParams* p) {
        g_engine->opened = *p;
        g_engine->openName = p->fileName;
        g_engine->calls.push_back("open");
        return 1;
    },
    [](PlayerContext*) {
        g_engine->calls.push_back("stop");
        g_engine->stopped = true;
        return 1;
    },
    [](PlayerContext*) {
        g_engine->calls.push_back("pause");
        return 1;
    },
    [](PlayerContext*) {
        g_engine->calls.push_back("play");
        return 1;
    },
    [](PlayerContext*, uint32_t pos, uint32_t exact) {
        g_engine->seekPos = pos;
        g_engine->seekExact = exact;
        g_engine->calls.push_back("seek");
        return 1;
    },
    [](PlayerContext*, uint32_t, uint32_t) { return 1; },
    [](PlayerContext*, uint32_t, uint32_t) { return 1; },
    [](PlayerContext*, uint32_t percent) {
        g_engine->speed = percent;
        return 1;
    },
    [](PlayerContext*, const AudioOutConfig* a) {
        g_engine->audio = *a;
        return 0;
    },
    [](PlayerContext*, const VideoOutConfig* v) {
        g_engine->video = *v;
        return 0;
    },
    [](PlayerContext*, VideoOutConfig* v) { return 0; },
    [](PlayerContext*, PlayerStatus* s) {
        *s = g_engine->status;
        g_engine->status.lastError = 0;  // the engine clears it when read
        g_engine->calls.push_back("status");
    },
    [](PlayerOpenParams*, MediaInfoSummary* out, void*) {
        *out = g_engine->info;
        return int32_t(0);
    },
    [](PlayerContext*, uint8_t* buf, uint32_t* len, uint32_t* time) {
        if (g_engine->nextSample >= g_engine->samples.size()) return PLAYER_E_END_OF_STREAM;
        const auto& s = g_engine->samples[g_engine->nextSample];
        if (s.second.size() > *len) {
            *len = uint32_t(s.second.size());
            return PLAYER_E_BUFFER_TOO_SMALL;
        }
        ++g_engine->nextSample;
        std::memcpy(buf, s.second.data(), s.second.size());
        *len = uint32_t(s.second.size());
        *time = s.first;
        return int32_t(0);
    },
    [](int32_t code) -> const char* {
        return code == PLAYER_E_UNSUPPORTED_FILE ? "Unsupported file" : "?";
    },
    [](uint32_t* a, uint32_t* b) { *a = 7, *b = 31; },
    [](FrameTextCallback cb) { g_engine->textCallback = cb; },
    nullptr,
};

PlayerEngineApi WithGetState() {
    PlayerEngineApi api = kFakeApi;
    api.getState = [](PlayerContext*, uint32_t* s) {
        *s = g_engine->state;
        return 0;
    };
    return api;
}

struct Message {
    uint32_t msg;
    uintptr_t wParam;
    intptr_t lParam;
    bool sent;
};

class FakePort : public PlayerWindowPort {
public:
    void Post(CtrlWindow, uint32_t msg, uintptr_t w, intptr_t l) override {
        messages.push_back({msg, w, l, false});
    }
    void Send(CtrlWindow, uint32_t msg, uintptr_t w, intptr_t l) override {
        messages.push_back({msg, w, l, true});
    }
    bool IsEnabledWindow(CtrlWindow wnd) override { return wnd != nullptr; }
    bool ToWide(const char* text, char16_t* out, int capacity) override {
        const int n = int(std::strlen(text));
        if (n + 1 > capacity) return false;
        for (int i = 0; i <= n; ++i) out[i] = char16_t(uint8_t(text[i]));
        return true;
    }
    void Wait(uint32_t ms) override { waited += ms; }
    void PumpSentMessages(uint32_t) override {
        ++pumps;
        if (g_engine->stopped && g_engine->pumpsUntilIdle > 0 && --g_engine->pumpsUntilIdle == 0) {
            g_engine->state = PLAYER_STATE_IDLE;
            g_engine->status.state = PLAYER_STATE_IDLE;
        }
    }
    void Trace(const char* line) override { traces.push_back(line); }

    std::vector<Message> messages;
    std::vector<std::string> traces;
    uint32_t waited = 0;
    int pumps = 0;
};

CtrlWindow kNotify = reinterpret_cast<CtrlWindow>(uintptr_t(0x1000));
CtrlWindow kVideo = reinterpret_cast<CtrlWindow>(uintptr_t(0x2000));

struct Fixture {
    explicit Fixture(const PlayerEngineApi& api = kFakeApi) : apiCopy(api) {
        g_engine = &engine;
        engine.info.duration = 60000;
        ctrl.reset(new CPlayerCtrl(&apiCopy, &port));
        ctrl->SetWindows(kNotify, kVideo);
    }
    ~Fixture() { g_engine = nullptr; }
    // Open and let the engine call back as a clip opens.
    void OpenClip(const char* path = "D:\\RIVAVEZU\\A.mp4") {
        ASSERT_EQ(ctrl->Open(path, 0, 0, 0, 0), 1);
        engine.stopped = false;
        engine.state = engine.status.state = PLAYER_STATE_OPENED;
        engine.config.onOpened(engine.config.user);
    }
    void Report(uint32_t state, uint32_t pos, uint32_t error = 0) {
        engine.state = engine.status.state = state;
        engine.status.positionMs = pos;
        engine.status.lastError = error;
        engine.config.onStatus(engine.config.user);
    }

    FakeEngine engine;
    PlayerEngineApi apiCopy;
    FakePort port;
    std::unique_ptr<CPlayerCtrl> ctrl;
};

}  // namespace

TEST(PlayerCtrl, Construction) {
    Fixture f;
    EXPECT_EQ(f.ctrl->GetState(), CTRL_STATE_CLOSED);
    EXPECT_STREQ(f.ctrl->GetTimeText(), "00:00/00:00");
    EXPECT_EQ(f.ctrl->GetVolume(), 0xFFFFFFFFu);
    EXPECT_EQ(f.engine.config.onOpened, &CPlayerCtrl::OnOpened);
    EXPECT_EQ(f.engine.config.onStatus, &CPlayerCtrl::OnStatusChange);
    EXPECT_EQ(f.engine.config.onEnded, &CPlayerCtrl::OnEndOfStream);
    EXPECT_EQ(f.engine.config.user, f.ctrl.get());
    // SetWindows hands the video window over.
    EXPECT_EQ(f.engine.video.flags, 2u);
    EXPECT_EQ(f.engine.video.fields[1], reinterpret_cast<uintptr_t>(kVideo));
    EXPECT_EQ(f.ctrl->SetWindows(nullptr, kVideo), 0);
}

TEST(PlayerCtrl, OpenRules) {
    struct Case {
        const char* name;
        std::string path;
        bool openFirst;
        bool noVideoWindow;
        int expected;
    };
    const Case cases[] = {
        {"closed: accepted", "D:\\RIVAVEZU\\A.mp4", false, false, 1},
        {"a clip is open: refused", "D:\\RIVAVEZU\\B.mp4", true, false, 0},
        {"empty path", "", false, false, 0},
        {"path longer than the buffers", std::string(300, 'a'), false, false, 0},
        {"no video window", "D:\\A.mp4", false, true, 0},
    };
    for (const Case& c : cases) {
        Fixture f;
        if (c.noVideoWindow) {
            f.ctrl.reset(new CPlayerCtrl(&f.apiCopy, &f.port));
        }
        if (c.openFirst) f.OpenClip();
        const size_t opensBefore = f.engine.calls.size();
        EXPECT_EQ(f.ctrl->Open(c.path.c_str(), 0, 0, 1500, 0), c.expected) << c.name;
        const bool engineOpened =
            f.engine.calls.size() > opensBefore && f.engine.calls.back() == "open";
        EXPECT_EQ(engineOpened, c.expected == 1) << c.name;
        if (c.expected != 1) continue;
        EXPECT_EQ(f.engine.openName, u"D:\\RIVAVEZU\\A.mp4") << c.name;
        // Opened without waiting, whatever the caller asked.
        EXPECT_EQ(f.engine.opened.noWait, 1u) << c.name;
        EXPECT_EQ(f.engine.opened.rewindAtEnd, 1u) << c.name;
        EXPECT_EQ(f.engine.opened.startMs, 1500u) << c.name;
        EXPECT_NE(f.engine.opened.opaque, nullptr) << c.name;
    }
}

TEST(PlayerCtrl, Seek) {
    struct Case {
        const char* name;
        bool open;
        bool flagged;
        int position;
        int result;
        uint32_t engineTarget;
        uint32_t exact;
    };
    const Case cases[] = {
        {"while closed returns 0", false, false, 1000, 0, 0, 0},
        {"negative goes to 0", true, false, -5, 1, 0, 0},
        {"past the end goes to the duration", true, false, 90000, 1, 60000, 0},
        {"inside the clip", true, false, 1234, 1, 1234, 0},
        {"flagged seeks exactly", true, true, 500, 1, 500, 1},
    };
    for (const Case& c : cases) {
        Fixture f;
        if (c.open) f.OpenClip();
        f.engine.seekPos = 99999;
        const int r = c.flagged ? f.ctrl->SeekFlagged(c.position) : f.ctrl->Seek(c.position);
        EXPECT_EQ(r, c.result) << c.name;
        if (c.result) {
            EXPECT_EQ(f.engine.seekPos, c.engineTarget) << c.name;
            EXPECT_EQ(f.engine.seekExact, c.exact) << c.name;
        } else {
            EXPECT_EQ(f.engine.seekPos, 99999u) << c.name;
        }
    }
}

TEST(PlayerCtrl, VolumeAndSpeed) {
    struct Case {
        const char* name;
        int percent;
        uint32_t volume;
    };
    const Case volumes[] = {
        {"full", 100, 0xFFFFFFFFu},
        {"half", 50, 0x7FFF7FFFu},
        {"mute", 0, 0u},
        {"above 100 stays full", 150, 0xFFFFFFFFu},
        {"negative is mute", -20, 0u},
    };
    for (const Case& c : volumes) {
        Fixture f;
        f.ctrl->SetVolume(c.percent);
        EXPECT_EQ(f.ctrl->GetVolume(), c.volume) << c.name;
        EXPECT_EQ(f.engine.audio.flags, 2u) << c.name;
        EXPECT_EQ(f.engine.audio.fields[1], c.volume) << c.name;
    }
    const Case speeds[] = {
        {"0 gives 10", 0, 10}, {"negative gives 10", -3, 10}, {"1", 1, 1}, {"200", 200, 200}};
    for (const Case& c : speeds) {
        Fixture f;
        EXPECT_EQ(f.ctrl->SetSpeed(c.percent), 1) << c.name;
        EXPECT_EQ(f.engine.speed, c.volume) << c.name;
    }
}

TEST(PlayerCtrl, TimeText) {
    struct Case {
        const char* name;
        int32_t duration, position;
        const char* expected;
    };
    const Case cases[] = {
        {"nothing", 0, 0, "00:00/00:00"},
        {"just under an hour", 3599999, 0, "00:00/59:59"},
        {"position near the end of a short clip", 3599999, 3599000, "59:59/59:59"},
        {"one hour switches both halves", 3600000, 3599999, "00:59:59/01:00:00"},
        {"over two hours", 7384000, 3723000, "01:02:03/02:03:04"},
        {"negative values count as 0", -5, -1000, "00:00/00:00"},
    };
    for (const Case& c : cases) {
        char text[CTRL_TIME_TEXT];
        FormatTimeText(text, sizeof(text), c.duration, c.position);
        EXPECT_STREQ(text, c.expected) << c.name;
    }
}

TEST(PlayerCtrl, StatusReportsMapEngineStates) {
    struct Case {
        uint32_t engineState;
        int ctrlState;
    };
    const Case cases[] = {
        {PLAYER_STATE_IDLE, CTRL_STATE_PAUSED},
        {PLAYER_STATE_FINISHED, CTRL_STATE_PAUSED},
        {PLAYER_STATE_RANGE_END, CTRL_STATE_RANGE_END},
        {PLAYER_STATE_PLAYING, CTRL_STATE_PLAYING},
        {PLAYER_STATE_OPENED, CTRL_STATE_BUSY},
        {PLAYER_STATE_BUFFER_START, CTRL_STATE_BUSY},
        {PLAYER_STATE_READY, CTRL_STATE_BUSY},
        {PLAYER_STATE_PAUSED, CTRL_STATE_PAUSED},
        {PLAYER_STATE_BUFFERING, CTRL_STATE_PAUSED},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.OpenClip();
        f.port.messages.clear();
        f.Report(c.engineState, 61000 % 60000 + 2000);
        EXPECT_EQ(f.ctrl->GetState(), c.ctrlState) << "engine state " << c.engineState;
        ASSERT_EQ(f.port.messages.size(), 1u) << "engine state " << c.engineState;
        EXPECT_EQ(f.port.messages[0].msg, WM_PLAYER_POSITION);
        EXPECT_FALSE(f.port.messages[0].sent);
        EXPECT_EQ(f.port.messages[0].wParam, 3000u);
        EXPECT_EQ(f.port.messages[0].lParam, c.ctrlState);
        EXPECT_STREQ(f.ctrl->GetTimeText(), "00:03/01:00");
    }
    // Post twice: the first playing report goes out twice.
    Fixture f;
    ASSERT_EQ(f.ctrl->Open("D:\\A.mp4", 0, 0, 0, 1), 1);
    f.engine.config.onOpened(f.engine.config.user);
    f.port.messages.clear();
    f.Report(PLAYER_STATE_PLAYING, 100);
    f.Report(PLAYER_STATE_PLAYING, 200);
    EXPECT_EQ(f.port.messages.size(), 3u);
}

TEST(PlayerCtrl, RangeEndTakenOncePerClip) {
    for (bool engineQuery : {false, true}) {
        Fixture f(engineQuery ? WithGetState() : kFakeApi);
        const char* how = engineQuery ? "with the engine's state query" : "from the reports";
        f.OpenClip();
        f.Report(PLAYER_STATE_PLAYING, 59000);
        EXPECT_FALSE(f.ctrl->TakeRangeEnd()) << how << ": playing";
        f.Report(PLAYER_STATE_RANGE_END, 60000);
        f.Report(PLAYER_STATE_RANGE_END, 60000);  // again while the audio drains
        EXPECT_TRUE(f.ctrl->TakeRangeEnd()) << how << ": first report";
        EXPECT_FALSE(f.ctrl->TakeRangeEnd()) << how << ": repeated report";
        // A seek back arms it again.
        EXPECT_EQ(f.ctrl->Seek(1000), 1);
        f.Report(PLAYER_STATE_RANGE_END, 60000);
        EXPECT_TRUE(f.ctrl->TakeRangeEnd()) << how << ": end after a seek";
        // The next clip: a stale report handled after it started is no end.
        f.engine.pumpsUntilIdle = 1;
        f.ctrl->Close();
        f.OpenClip("D:\\RIVAVEZU\\B.mp4");
        EXPECT_FALSE(f.ctrl->TakeRangeEnd()) << how << ": stale report after the next open";
        f.Report(PLAYER_STATE_PLAYING, 100);
        EXPECT_FALSE(f.ctrl->TakeRangeEnd()) << how << ": next clip playing";
        f.Report(PLAYER_STATE_RANGE_END, 60000);
        EXPECT_TRUE(f.ctrl->TakeRangeEnd()) << how << ": next clip's own end";
    }
    // The engine has moved on since the report: not taken.
    Fixture f(WithGetState());
    f.OpenClip();
    f.Report(PLAYER_STATE_RANGE_END, 60000);
    f.engine.state = PLAYER_STATE_PAUSED;
    EXPECT_FALSE(f.ctrl->TakeRangeEnd());
}

TEST(PlayerCtrl, CloseWaitsForTheEngineWhileHandlingSentMessages) {
    struct Case {
        const char* name;
        bool engineQuery;
        int pumpsUntilIdle;  // 0: never rests
        int expectedPumps;
    };
    const Case cases[] = {
        {"rests after three pumps (state query)", true, 3, 3},
        {"rests after three pumps (status reads)", false, 3, 3},
        {"already idle", true, 0, 0},
        {"never rests: the wait is bounded", true, -1, int(CTRL_CLOSE_STEPS)},
    };
    for (const Case& c : cases) {
        Fixture f(c.engineQuery ? WithGetState() : kFakeApi);
        f.OpenClip();
        f.Report(PLAYER_STATE_PLAYING, 5000);
        if (c.pumpsUntilIdle == 0) f.engine.state = f.engine.status.state = PLAYER_STATE_IDLE;
        f.engine.pumpsUntilIdle = c.pumpsUntilIdle;
        f.port.pumps = 0;
        f.ctrl->Close();
        EXPECT_EQ(f.port.pumps, c.expectedPumps) << c.name;
        EXPECT_TRUE(f.engine.opened.noWait) << c.name;
        EXPECT_EQ(f.ctrl->GetState(), CTRL_STATE_CLOSED) << c.name;
        EXPECT_STREQ(f.ctrl->GetTimeText(), "00:00/00:00") << c.name;
    }
    // An error read while waiting is kept for GetLastErrorText.
    Fixture f;
    f.OpenClip();
    f.engine.status.state = PLAYER_STATE_PLAYING;
    f.engine.status.positionMs = 0;
    f.engine.status.lastError = uint32_t(PLAYER_E_UNSUPPORTED_FILE);
    f.engine.pumpsUntilIdle = 2;
    f.ctrl->Close();
    const char* text = f.ctrl->GetLastErrorText();
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "Unsupported file");
}

TEST(PlayerCtrl, DestroyInstanceStopsBeforeDestroying) {
    FakeEngine engine;
    g_engine = &engine;
    FakePort port;
    CPlayerCtrl::SetDefaultBindings(&kFakeApi, &port);
    CPlayerCtrl* ctrl = CPlayerCtrl::GetInstance();
    ASSERT_NE(ctrl, nullptr);
    EXPECT_EQ(CPlayerCtrl::GetInstance(), ctrl);
    engine.status.state = PLAYER_STATE_PLAYING;
    engine.pumpsUntilIdle = 2;
    CPlayerCtrl::DestroyInstance();
    ASSERT_GE(engine.calls.size(), 2u);
    EXPECT_EQ(engine.calls.back(), "destroy");
    EXPECT_EQ(port.pumps, 2);
    CPlayerCtrl::SetDefaultBindings(nullptr, nullptr);
    g_engine = nullptr;
}

TEST(PlayerCtrl, LastErrorText) {
    struct Case {
        const char* name;
        uint32_t error;
        uint32_t position;
        bool expectText;
    };
    const Case cases[] = {
        {"no error: still posts, returns null", 0, 0, false},
        {"error at position 0", uint32_t(PLAYER_E_UNSUPPORTED_FILE), 0, true},
        {"error at the start position", uint32_t(PLAYER_E_UNSUPPORTED_FILE), 1500, true},
        {"error later in the clip", uint32_t(PLAYER_E_UNSUPPORTED_FILE), 9000, false},
    };
    for (const Case& c : cases) {
        Fixture f;
        ASSERT_EQ(f.ctrl->Open("D:\\A.mp4", 0, 0, 1500, 0), 1);
        f.engine.config.onOpened(f.engine.config.user);
        f.Report(PLAYER_STATE_PAUSED, c.position, c.error);
        f.port.messages.clear();
        const char* text = f.ctrl->GetLastErrorText();
        EXPECT_EQ(text != nullptr, c.expectText) << c.name;
        ASSERT_EQ(f.port.messages.size(), 1u) << c.name;
        EXPECT_EQ(f.port.messages[0].msg, WM_PLAYER_BADFILE) << c.name;
        // Handed out once.
        if (c.expectText) {
            EXPECT_EQ(f.ctrl->GetLastErrorText(), nullptr) << c.name;
        }
    }
}

TEST(PlayerCtrl, OpenedReadsSamplesAndFramesPostRecords) {
    Fixture f;
    const std::string gps = "$GPRMC,1,A,3723.2475,N,12702.1234,E,1.0";
    const std::string gsensor = std::string("M\x01\x02\x03\0\0\0\x18\x03\x09\x0e\x05\x3b", 13);
    f.engine.samples = {
        {0, gps},  {100, gsensor}, {200, gps}, {300, gsensor}, {400, std::string(2000, 'x')},
        {500, gps}};
    f.OpenClip();
    EXPECT_EQ(f.ctrl->Samples().count, 4u) << "the oversized sample ends the reading";
    EXPECT_EQ(f.ctrl->GetState(), CTRL_STATE_PLAYING);
    ASSERT_FALSE(f.port.messages.empty());
    const Message& opened = f.port.messages.back();
    EXPECT_EQ(opened.msg, WM_PLAYER_OPENED);
    EXPECT_TRUE(opened.sent);
    EXPECT_EQ(opened.wParam, 60000u);
    ASSERT_NE(f.engine.textCallback, nullptr);

    struct Frame {
        uint32_t time;
        uint32_t msg;  // 0: nothing posted
        uintptr_t index;
        const char* overlay;
        uint32_t length;
    };
    const Frame frames[] = {
        {0, WM_PLAYER_GPS, 0, "previous", 4096},
        {66, WM_PLAYER_GSENSOR, 1, "2024/03/09 14:05:59", 19},
        {231, WM_PLAYER_GPS, 2, "previous", 4096},
        {330, 0, 0, "", 0},
    };
    for (const Frame& fr : frames) {
        f.port.messages.clear();
        char text[DDRAW_TEXT_BUFFER_SIZE];
        std::memset(text, 0, sizeof(text));
        std::strcpy(text, "previous");
        uint32_t time = fr.time, length = DDRAW_TEXT_BUFFER_SIZE;
        f.engine.textCallback(&time, text, &length);
        EXPECT_STREQ(text, fr.overlay) << "frame " << fr.time;
        EXPECT_EQ(length, fr.length) << "frame " << fr.time;
        if (fr.msg == 0) {
            EXPECT_TRUE(f.port.messages.empty()) << "frame " << fr.time;
            continue;
        }
        ASSERT_EQ(f.port.messages.size(), 1u) << "frame " << fr.time;
        EXPECT_EQ(f.port.messages[0].msg, fr.msg) << "frame " << fr.time;
        EXPECT_EQ(f.port.messages[0].wParam, fr.index) << "frame " << fr.time;
        EXPECT_FALSE(f.port.messages[0].sent);
    }
    EXPECT_FALSE(f.port.traces.empty());
}

TEST(PlayerCtrl, ClipEndedShort) {
    struct Case {
        const char* name;
        int32_t durationMs, endMs;
        bool cut;
    };
    const Case cases[] = {
        {"end at the duration", 3072, 3072, false},
        {"end at the last picture, a frame before", 3072, 2900, false},
        {"end just inside the margin", 3072, 2072, false},
        {"end one ms past the margin", 3072, 2071, true},
        {"a tenth of the clip (recording cut short)", 3072, 303, true},
        {"nothing played", 3072, 0, true},
        {"clip shorter than the margin", 800, 0, false},
        {"no duration known", 0, 0, false},
        {"negative position", 3072, -1, false},
        {"longest clip, end near its duration", INT32_MAX, INT32_MAX - 500, false},
        {"longest clip, end far short", INT32_MAX, 1000, true},
    };
    for (const Case& c : cases) EXPECT_EQ(ClipEndedShort(c.durationMs, c.endMs), c.cut) << c.name;
}
