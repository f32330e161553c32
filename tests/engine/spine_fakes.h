// Stand-ins for the engine parts the player stands on that have not landed
// in this tree yet (the packet queue, raw-picture and PCM decoders, the text
// decoder; with SPINE_FAKE_SOURCE also a source serving a generated clip
// without any file), and a simulated tick count that runs sim::Speed()
// times faster than real time. Included by one test file per executable.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/player.h"
#include "engine/player_context.h"

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
OsHandle FailingCreateThread(const char* name, OsThreadRoutine r, void* arg, int prio, uint32_t stack,
                             uint32_t flags) {
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
inline uint32_t FrameBytes(const Spec& s) { return s.width * s.height * 3 / 2; }
inline void FillPicture(const Spec& s, uint32_t index, uint8_t* p) {
    for (uint32_t i = 0; i < FrameBytes(s); ++i) p[i] = static_cast<uint8_t>(index * 7 + i * 13 + (index >> 8));
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
    if (type == 1) return s.audio ? (s.durationMs * s.rate / 1000 + s.audioPacketSamples - 1) / s.audioPacketSamples : 0;
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
void SeekAll(MediaSource* src, uint32_t pos) {
    for (uint32_t type = 1; type <= 3; ++type) {
        uint32_t i = 0;
        uint32_t n = Count(src->spec, type);
        while (i < n && TimeOf(src->spec, type, i + 1) <= pos) ++i;
        src->next[type] = i;
    }
}
}  // namespace
int32_t Source_SeekTime(MediaSource* src, uint32_t* pos, uint32_t) {
    std::lock_guard<std::mutex> g(src->lock);
    SeekAll(src, *pos);
    return 0;
}
int32_t Source_SeekFrame(MediaSource* src, uint32_t* pos, uint32_t) {
    std::lock_guard<std::mutex> g(src->lock);
    SeekAll(src, *pos);
    return 0;
}
int32_t Source_SelectTrack(MediaSource*, uint32_t, uint32_t) { return 1; }
int32_t Source_GetProgress(MediaSource*, SourceProgress* p) {
    std::memset(p, 0, sizeof *p);
    p->fillPercent = p->readPercent = 100;
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

// ---- packet queue: N slots of S bytes
struct PacketQueue {
    std::mutex lock;
    uint32_t n, size;
    std::vector<std::vector<uint8_t>> slots;
    std::vector<MediaSample> entries;
    uint32_t count = 0, read = 0, write = 0;
};
PacketQueue* PacketQueue_Create(uint32_t n, uint32_t s, uint32_t) {
    PacketQueue* q = new PacketQueue;
    q->n = n;
    q->size = s;
    q->slots.assign(n, std::vector<uint8_t>(s));
    q->entries.assign(n, MediaSample{});
    return q;
}
void PacketQueue_Destroy(PacketQueue* q) { delete q; }
int PacketQueue_Grow(PacketQueue* q, uint32_t s) {
    std::lock_guard<std::mutex> g(q->lock);
    q->size = s;
    for (auto& slot : q->slots) slot.resize(s);
    return 1;
}
void PacketQueue_Clear(PacketQueue* q) {
    std::lock_guard<std::mutex> g(q->lock);
    q->count = q->read = q->write = 0;
}
int PacketQueue_GetWriteArea(PacketQueue* q, MediaSample* a) {
    std::lock_guard<std::mutex> g(q->lock);
    if (q->count == q->n) return 0;
    a->data = q->slots[q->write].data();
    a->capacity = q->size;
    return 1;
}
void PacketQueue_Commit(PacketQueue* q, MediaSample* s) {
    std::lock_guard<std::mutex> g(q->lock);
    if (q->count == q->n) return;
    q->entries[q->write] = *s;
    q->write = (q->write + 1) % q->n;
    q->count++;
    std::memset(s, 0, sizeof *s);
}
int PacketQueue_Peek(PacketQueue* q, MediaSample* p) {
    std::lock_guard<std::mutex> g(q->lock);
    if (!q->count) return 0;
    *p = q->entries[q->read];
    return 1;
}
void PacketQueue_KeepHead(PacketQueue* q, MediaSample* p) {
    std::lock_guard<std::mutex> g(q->lock);
    q->entries[q->read].data = p->data;
    q->entries[q->read].length = p->length;
    q->entries[q->read].time = p->time;
    std::memset(p, 0, sizeof *p);
}
void PacketQueue_Pop(PacketQueue* q, MediaSample* p) {
    std::lock_guard<std::mutex> g(q->lock);
    if (!q->count) return;
    q->read = (q->read + 1) % q->n;
    q->count--;
    std::memset(p, 0, sizeof *p);
}
uint32_t PacketQueue_Count(PacketQueue* q) {
    std::lock_guard<std::mutex> g(q->lock);
    return q->count;
}

// ---- video decoder: copies raw I420 pictures into pictures of its own
struct VideoDecoder {
    uint32_t w, h;
    std::vector<uint8_t> pics[2];
    int which = 0;
};
int32_t VideoDecoder_Create(VideoDecoder** out, MediaSample*, VideoTrackInfo* t, int) {
    // Like a real decoder, learn the picture size from the stream (here: the
    // clip it was made from) when the container gave none.
    if (!t->width || !t->height) {
        t->width = clip::Current().width;
        t->height = clip::Current().height;
    }
    VideoDecoder* d = new VideoDecoder;
    d->w = t->width;
    d->h = t->height;
    d->pics[0].resize(d->w * d->h * 3 / 2);
    d->pics[1].resize(d->w * d->h * 3 / 2);
    t->outputFourCC = t->codec;
    *out = d;
    return 0;
}
void VideoDecoder_Destroy(VideoDecoder* d) { delete d; }
void VideoDecoder_Flush(VideoDecoder*) {}
int32_t VideoDecoder_Decode(VideoDecoder*, MediaSample* p) { return p->data ? 0 : PLAYER_E_FRAME_LATE; }
int32_t VideoDecoder_DecodePacket(VideoDecoder* d, MediaSample* p, DecodedFrame* f) {
    d->which ^= 1;
    uint8_t* pic = d->pics[d->which].data();
    std::memcpy(pic, p->data, d->pics[0].size());
    f->y = pic;
    f->u = pic + d->w * d->h;
    f->v = f->u + d->w * d->h / 4;
    f->stride = d->w;
    f->timeMs = p->time;
    p->length = 0;
    return 0;
}

// ---- audio decoder: 16-bit PCM into planes
struct AudioDecoder {
    uint32_t rate, channels;
    uint32_t resetPending = 1;
    uint32_t base = 0, samples = 0;
};
int32_t AudioDecoder_Create(AudioDecoder** out, MediaSample*, AudioTrackInfo* t) {
    if (t->codec > 1) return static_cast<int32_t>(0x80000030u);
    if (!t->sampleRate || !t->channels) {
        t->sampleRate = clip::Current().rate;
        t->channels = clip::Current().channels;
    }
    AudioDecoder* d = new AudioDecoder;
    d->rate = t->sampleRate;
    d->channels = t->channels;
    t->samplesPerFrame = 1024;
    t->pcmBufferSamples = (t->sampleRate / (1024 * 20) + 1) * 1024;
    *out = d;
    return 0;
}
void AudioDecoder_Destroy(AudioDecoder* d) { delete d; }
int AudioDecoder_Reset(AudioDecoder* d) {
    d->resetPending = 1;
    return 1;
}
int32_t AudioDecoder_Decode(AudioDecoder* d, MediaSample* p, PcmBlock* a) {
    if (!p->length) return PLAYER_E_AUDIO_DECODE;
    if (d->resetPending) {
        d->base = p->time;
        d->samples = 0;
        d->resetPending = 0;
    }
    uint32_t n = p->length / (d->channels * 2);
    bool more = n > a->room;
    if (more) n = a->room;
    const int16_t* s = reinterpret_cast<const int16_t*>(p->data);
    for (uint32_t i = 0; i < n; ++i) {
        a->left[i] = s[i * d->channels];
        if (d->channels == 2) a->right[i] = s[i * 2 + 1];
    }
    a->count = n;
    a->timeMs = d->base + static_cast<uint32_t>(uint64_t(d->samples) * 1000 / d->rate);
    d->samples += n;
    p->data += n * d->channels * 2;
    p->length -= n * d->channels * 2;
    p->time = d->base + static_cast<uint32_t>(uint64_t(d->samples) * 1000 / d->rate);
    return p->length ? PLAYER_E_PACKET_PENDING : 0;
}

// ---- text decoder
struct TextDecoder {};
int32_t TextDecoder_Create(TextDecoder** out, const TextTrackInfo*) {
    *out = new TextDecoder;
    return 0;
}
void TextDecoder_Destroy(TextDecoder* d) { delete d; }
int TextDecoder_Decode(TextDecoder*, const MediaSample*, SubtitleFrame*) { return 0; }
