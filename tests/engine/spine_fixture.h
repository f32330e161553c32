// The fixture of the whole-spine tests: a player with recording callbacks,
// a recording display and an audio output on the simulated clock. Include
// after spine_fakes.h.
#pragma once

#include <gtest/gtest.h>

#include <future>

#include "recording_display.h"
#include "sim_audio_device.h"

const char16_t kName[] = u"clip.mp4";

struct Observer {
    std::mutex lock;
    PlayerContext* player = nullptr;
    const char16_t* name = nullptr;
    int opened = 0, ended = 0;
    MediaInfoSummary summary = {};
    uint32_t duration = 0;
    int textSamples = 0;
    std::vector<uint32_t> states;  // engine state at each status callback
    std::vector<uint32_t> positions;
    std::vector<uint32_t> errors;

    static void OnOpened(void* u) {
        Observer* o = static_cast<Observer*>(u);
        PlayerOpenParams p = {};
        p.fileName = o->name;
        MediaInfoSummary s;
        Player_GetMediaInfo(&p, &s, nullptr);
        PlayerStatus st;
        Player_GetStatus(o->player, &st);
        uint8_t buf[1024];
        int n = 0;
        for (; n < 1024; ++n) {
            uint32_t len = sizeof buf, t = 0;
            if (Player_ReadTextSample(o->player, buf, &len, &t) < 0) break;
        }
        Player_Seek(o->player, 0, 0);  // refused at this moment
        std::lock_guard<std::mutex> g(o->lock);
        o->opened++;
        o->summary = s;
        o->duration = s.duration;
        o->textSamples = n;
    }
    static void OnStatus(void* u) {
        Observer* o = static_cast<Observer*>(u);
        PlayerStatus st;
        Player_GetStatus(o->player, &st);
        std::lock_guard<std::mutex> g(o->lock);
        o->states.push_back(st.state);
        o->positions.push_back(st.positionMs);
        if (st.lastError) o->errors.push_back(st.lastError);
    }
    static void OnEnded(void* u) {
        Observer* o = static_cast<Observer*>(u);
        std::lock_guard<std::mutex> g(o->lock);
        o->ended++;
    }
    bool Saw(uint32_t state) {
        std::lock_guard<std::mutex> g(lock);
        for (uint32_t s : states)
            if (s == state) return true;
        return false;
    }
};

class SpineTest : public ::testing::Test {
protected:
    void SetUp() override {
        clip::Current() = clip::Spec();
        clip::Fill() = 100;
        sim::Speed() = 4;
        RecordingDisplay::Current() = &display;
        SimAudioDevice::Current() = &audio;
        audio.now = [] { return sim::Now(); };
        VideoRenderer_RegisterDevice(VIDEO_DEVICE_DDRAW, RecordingDisplay::Ops());
        AudioRenderer_RegisterDevice(AUDIO_DEVICE_WAVEOUT, SimAudioDevice::Ops());
        PlayerCreateConfig cfg = {
            Observer::OnOpened, Observer::OnEnded, Observer::OnStatus, &obs, 0, 0, 0, 0};
        player = Player_Create(&cfg);
        ASSERT_NE(nullptr, player);
        obs.player = player;
        obs.name = name;
        player->clockTick = sim::Tick;
        player->createThread = FailingCreateThread;
        display.clockNow = [](void* p) {
            return Clock_GetTime(static_cast<PlayerContext*>(p)->clock);
        };
        display.clockArg = player;
        VideoOutConfig v = {};
        v.flags = 0x3;
        v.fields[0] = VIDEO_DEVICE_DDRAW;
        v.fields[1] = 0x1001;
        Player_SetVideoConfig(player, &v);
        AudioOutConfig a = {};
        a.flags = 0x3;
        a.fields[0] = AUDIO_DEVICE_WAVEOUT;
        a.fields[1] = 0xFFFFFFFF;
        Player_SetAudioConfig(player, &a);
    }
    void TearDown() override {
        pacer.Stop();
        if (player) DestroyWithin(5000);
        VideoRenderer_RegisterDevice(VIDEO_DEVICE_DDRAW, nullptr);
        AudioRenderer_RegisterDevice(AUDIO_DEVICE_WAVEOUT, nullptr);
    }
    void DestroyWithin(int ms) {
        pacer.Stop();
        auto f = std::async(std::launch::async, [this] { Player_Destroy(player); });
        ASSERT_EQ(std::future_status::ready, f.wait_for(std::chrono::milliseconds(ms)))
            << "Player_Destroy hung";
        player = nullptr;
    }
    // From here on the simulated time waits for the video path (sim::Pacer)
    // until the picture at `lastPictureMs` has been decoded; by default the
    // last picture of the generated clip.
    void PaceWithVideo(uint32_t lastPictureMs) { pacer.Start(player, lastPictureMs); }
    void PaceWithVideo() {
        const clip::Spec& s = clip::Current();
        PaceWithVideo((s.durationMs / s.frameMs - 1) * s.frameMs);
    }
    int Open(uint32_t rewind = 1) {
        PlayerOpenParams p = {};
        p.fileName = name;
        p.rewindAtEnd = rewind;
        return Player_Open(player, &p);
    }
    // Polls leave the last error to the status callback, which records it.
    uint32_t State() {
        PlayerStatus st;
        Player_PeekStatus(player, &st);
        return st.state;
    }
    uint32_t Position() {
        PlayerStatus st;
        Player_PeekStatus(player, &st);
        return st.positionMs;
    }
    // Waits (real time) until `pred` holds.
    template <class F>
    bool WaitFor(F pred, int ms = 5000) {
        for (int i = 0; i < ms; i += 5) {
            if (pred()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return pred();
    }
    const char16_t* name = kName;
    Observer obs;
    RecordingDisplay display;
    SimAudioDevice audio;
    PlayerContext* player = nullptr;
    sim::Pacer pacer;
};
