// Test helpers of the whole-spine tests: a simulated tick count that runs
// sim::Speed() times faster than real time, a thread creator that can be
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

inline uint32_t Now() {
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    auto us = duration_cast<microseconds>(steady_clock::now() - start).count();
    return static_cast<uint32_t>(us * Speed() / 1000);
}

inline uint32_t Tick(void*) { return Now(); }

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
