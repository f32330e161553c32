// Test helpers of the whole-spine tests: a simulated tick count that runs
// sim::Speed() times faster than real time (or, paced, waits for the video
// path), a thread creator that can be
// told to fail, the generated clip's layout and, with SPINE_FAKE_SOURCE, a
// source that serves that clip without any file (raw I420 pictures and
// 16-bit PCM, which the engine's raw-picture and PCM adapters decode).
// Included by one test file per executable.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/player.h"
#include "engine/player/player_context.h"

namespace sim {

// Simulated milliseconds per real millisecond.
inline std::atomic<uint32_t>& Speed() {
    static std::atomic<uint32_t> s{4};
    return s;
}

// Free running, the simulated time is the real time since the first read
// times Speed(), plus an offset that keeps it from going back when a pacer
// hands the time over. A pacer owns the time while it runs (see Pacer).
struct TimeBase {
    std::atomic<bool> paced{false};
    std::atomic<uint64_t> pacedUs{0};
    std::atomic<uint64_t> offsetUs{0};
};
inline TimeBase& Base() {
    static TimeBase b;
    return b;
}
inline uint64_t FreeUs() {
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    auto us = duration_cast<microseconds>(steady_clock::now() - start).count();
    return static_cast<uint64_t>(us) * Speed() + Base().offsetUs;
}

// Lock-free: the media clock calls it with its own lock held.
inline uint32_t Now() {
    TimeBase& b = Base();
    uint64_t us = b.paced ? b.pacedUs.load() : FreeUs();
    return static_cast<uint32_t>(us / 1000);
}

inline uint32_t Tick(void*) { return Now(); }

// Makes the simulated time wait for the video path. A thread advances the
// time in small steps at Speed() times real time, but holds it while the
// player plays and the newest decoded picture lies more than `HoldLagMs`
// behind the media clock: a machine too loaded to decode in time then
// slows the clip down instead of making the engine drop late pictures.
// The time runs freely in every other state, once the picture at
// `lastPictureMs` (the clip's last) has been decoded, and when a hold
// outlasts `kGiveUpMs` of real time with no new picture: a picture the
// engine lost is not waited for, so the checks still see it missing.
class Pacer {
public:
    static constexpr int32_t kHoldLagMs = 120;
    static constexpr uint32_t kMaxStepMs = 40;  // simulated, per step
    static constexpr int kGiveUpMs = 4000;

    Pacer() = default;
    Pacer(const Pacer&) = delete;
    Pacer& operator=(const Pacer&) = delete;
    ~Pacer() { Stop(); }

    void Start(PlayerContext* player, uint32_t lastPictureMs = 0xFFFFFFFFu) {
        Stop();
        player_ = player;
        last_ = lastPictureMs;
        TimeBase& b = Base();
        b.pacedUs = FreeUs();
        b.paced = true;
        run_ = true;
        thread_ = std::thread([this] { Loop(); });
    }
    // Hands the time back to the free-running count, from where it stands.
    void Stop() {
        if (!thread_.joinable()) return;
        run_ = false;
        thread_.join();
        TimeBase& b = Base();
        uint64_t paced = b.pacedUs, free = FreeUs();
        if (paced > free) b.offsetUs += paced - free;
        b.paced = false;
    }
    bool Running() const { return thread_.joinable(); }
    // Real milliseconds the time was held, and holds given up.
    uint64_t HeldMs() const { return heldUs_ / 1000; }
    uint32_t GiveUps() const { return giveUps_; }

private:
    bool Hold() {
        if (player_->state != PLAYER_STATE_PLAYING || !player_->hasVideo) return false;
        PlayerPlaybackInfo pi;
        if (!Player_GetPlaybackInfo(player_, &pi) || !pi.videoOutput) return false;
        if (pi.lastPictureMs >= last_) return false;
        return static_cast<int32_t>(pi.clockMs - pi.lastPictureMs) > kHoldLagMs;
    }
    void Loop() {
        using namespace std::chrono;
        auto prev = steady_clock::now();
        auto holdStart = prev;
        bool holding = false, gaveUp = false;
        uint32_t heldPicture = 0;
        while (run_) {
            // (A sleep below a millisecond returns at once on Windows; the
            // part of a microsecond left over counts in the next step.)
            std::this_thread::sleep_for(milliseconds(1));
            auto now = steady_clock::now();
            auto real = duration_cast<microseconds>(now - prev);
            prev += real;
            uint64_t realUs = static_cast<uint64_t>(real.count());
            const uint32_t picture = player_->lastPictureMs;
            if (gaveUp && picture != heldPicture) gaveUp = false;
            if (!gaveUp && Hold()) {
                if (!holding || picture != heldPicture) holdStart = now;
                holding = true;
                heldPicture = picture;
                heldUs_ += realUs;
                if (now - holdStart < milliseconds(kGiveUpMs)) continue;
                gaveUp = true;
                ++giveUps_;
            }
            holding = false;
            uint64_t step = realUs * Speed();
            if (step > uint64_t(kMaxStepMs) * 1000) step = uint64_t(kMaxStepMs) * 1000;
            Base().pacedUs += step;
        }
    }

    PlayerContext* player_ = nullptr;
    uint32_t last_ = 0xFFFFFFFFu;
    std::atomic<bool> run_{false};
    std::atomic<uint64_t> heldUs_{0};
    std::atomic<uint32_t> giveUps_{0};
    std::thread thread_;
};

}  // namespace sim

std::atomic<int>& FakeThreadFailures() {
    static std::atomic<int> n{0};
    return n;
}
OsHandle FailingCreateThread(const char* name, OsThreadRoutine r, void* arg, int prio,
                             uint32_t stack, uint32_t flags) {
    if (FakeThreadFailures() > 0) {
        --FakeThreadFailures();
        return OS_INVALID_HANDLE;
    }
    return OS_CreateThread(name, r, arg, prio, stack, flags);
}

// ---- a generated clip: raw I420 pictures, 16-bit PCM, a data track
namespace clip {
struct Spec {
    uint32_t durationMs = 5000;
    uint32_t width = 32, height = 16;
    uint32_t frameMs = 40;
    uint32_t rate = 16000, channels = 2;
    uint32_t audioPacketSamples = 800;  // 50 ms
    uint32_t textEveryMs = 1000;
    bool audio = true, video = true, text = true;
    int32_t openError = 0;
};
inline Spec& Current() {
    static Spec s;
    return s;
}
// The fill level the fake source reports (percent), changed while playing.
inline std::atomic<uint32_t>& Fill() {
    static std::atomic<uint32_t> f{100};
    return f;
}
inline uint32_t FrameBytes(const Spec& s) { return s.width * s.height * 3 / 2; }
inline void FillPicture(const Spec& s, uint32_t index, uint8_t* p) {
    for (uint32_t i = 0; i < FrameBytes(s); ++i)
        p[i] = static_cast<uint8_t>(index * 7 + i * 13 + (index >> 8));
}
}  // namespace clip

#if SPINE_FAKE_SOURCE
struct MediaSource {
    clip::Spec spec;
    std::mutex lock;
    uint32_t next[4] = {};  // next sample index per type
};

namespace {
uint32_t Count(const clip::Spec& s, uint32_t type) {
    if (type == 1)
        return s.audio ? (s.durationMs * s.rate / 1000 + s.audioPacketSamples - 1) /
                             s.audioPacketSamples
                       : 0;
    if (type == 2) return s.video ? s.durationMs / s.frameMs : 0;
    if (type == 3) return s.text ? s.durationMs / s.textEveryMs : 0;
    return 0;
}
uint32_t TimeOf(const clip::Spec& s, uint32_t type, uint32_t i) {
    if (type == 1) return static_cast<uint32_t>(uint64_t(i) * s.audioPacketSamples * 1000 / s.rate);
    if (type == 2) return i * s.frameMs;
    return i * s.textEveryMs;
}
void FillInfo(const clip::Spec& s, MediaInfo* info) {
    std::memset(info, 0, sizeof *info);
    info->duration = s.durationMs;
    info->bufferingTime = 1000;
    info->audioCount = s.audio;
    info->videoCount = s.video;
    info->textCount = s.text;
    if (s.audio) {
        AudioTrackInfo& a = info->audio[0];
        a.codec = 1;
        a.sampleRate = s.rate;
        a.channels = s.channels;
        a.bitsPerSample = 16;
        a.maxSampleSize = s.audioPacketSamples * s.channels * 2;
        a.duration = s.durationMs;
    }
    if (s.video) {
        VideoTrackInfo& v = info->video[0];
        v.codec = MakeFourCC('I', '4', '2', '0');
        v.width = s.width;
        v.height = s.height;
        v.frameRate = 1000000 / s.frameMs;
        v.maxSampleSize = clip::FrameBytes(s);
        v.duration = s.durationMs;
    }
    if (s.text) {
        info->text[0].codec = CODEC_TAG_BLBX;
        info->text[0].maxSampleSize = 64;
    }
}
}  // namespace

int32_t Source_Open(MediaSource** out, SourceOpenWords* w) {
    *out = nullptr;
    if (clip::Current().openError) return clip::Current().openError;
    if (!w->name) return static_cast<int32_t>(0x80000010u);
    MediaSource* s = new MediaSource;
    s->spec = clip::Current();
    *out = s;
    return 0;
}
void Source_Close(MediaSource* s) { delete s; }
int32_t Source_GetInfo(MediaSource* s, MediaInfo* info) {
    FillInfo(s->spec, info);
    return 0;
}
int32_t Source_SetStartPosition(MediaSource*, uint32_t*) { return 0; }
int32_t Source_ReadSample(MediaSource* src, MediaSample* m) {
    std::lock_guard<std::mutex> g(src->lock);
    const clip::Spec& s = src->spec;
    uint32_t type = m->type;
    if (type < 1 || type > 3) return 0;
    uint32_t n = Count(s, type);
    if (n == 0) return PLAYER_E_NO_TRACK;
    uint32_t i = src->next[type];
    if (i >= n) return PLAYER_E_END_OF_STREAM;
    uint32_t len = 0;
    if (type == 1) len = s.audioPacketSamples * s.channels * 2;
    if (type == 2) len = clip::FrameBytes(s);
    if (type == 3) len = 24;
    if (len > m->capacity) {
        m->length = len;
        return PLAYER_E_BUFFER_TOO_SMALL;
    }
    if (type == 1) {
        int16_t* p = reinterpret_cast<int16_t*>(m->data);
        for (uint32_t k = 0; k < len / 2; ++k) p[k] = static_cast<int16_t>(i + k);
    } else if (type == 2) {
        clip::FillPicture(s, i, m->data);
    } else {
        std::memset(m->data, 0, len);
        m->data[0] = 'M';
        m->data[1] = static_cast<uint8_t>(i);
    }
    m->length = len;
    m->time = TimeOf(s, type, i);
    m->duration = type == 2 ? s.frameMs : 0;
    src->next[type] = i + 1;
    return 0;
}
namespace {
// Like the MP4 reader: a time at or past the clip's end is refused and
// nothing moves.
bool SeekAll(MediaSource* src, uint32_t pos) {
    if (pos >= src->spec.durationMs) return false;
    for (uint32_t type = 1; type <= 3; ++type) {
        uint32_t i = 0;
        uint32_t n = Count(src->spec, type);
        while (i < n && TimeOf(src->spec, type, i + 1) <= pos) ++i;
        src->next[type] = i;
    }
    return true;
}
}  // namespace
bool Source_SeekTime(MediaSource* src, uint32_t* pos, uint32_t) {
    std::lock_guard<std::mutex> g(src->lock);
    return SeekAll(src, *pos);
}
bool Source_SeekFrame(MediaSource* src, uint32_t* pos, uint32_t) {
    std::lock_guard<std::mutex> g(src->lock);
    return SeekAll(src, *pos);
}
bool Source_SelectTrack(MediaSource*, uint32_t, uint32_t) { return true; }
int32_t Source_GetProgress(MediaSource*, SourceProgress* p) {
    std::memset(p, 0, sizeof *p);
    p->fillPercent = clip::Fill();
    p->readPercent = 100;
    return 1;
}
int32_t Source_Control(MediaSource*, uint32_t) { return 0; }
int32_t Source_SetRange(MediaSource*, uint32_t, uint32_t, uint32_t, uint32_t) { return 1; }
int32_t Source_AddTimeOffset(MediaSource*, int32_t, uint32_t) { return 1; }
int32_t Source_ProbeFileInfo(SourceOpenWords* w, MediaInfo* info) {
    if (!w->name) return static_cast<int32_t>(0x80000010u);
    FillInfo(clip::Current(), info);
    return 0;
}
#endif  // SPINE_FAKE_SOURCE
