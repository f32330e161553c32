#include "engine/output/audio_renderer.h"

#include <cstring>
#include <new>

#include "engine/output/speed_converter.h"
#include "engine/player.h"
#include "engine/player/player_deps.h"

namespace {

const int32_t kOutOfMemory = static_cast<int32_t>(0x80000001u);
const int32_t kOutputInitFailed = static_cast<int32_t>(0x8000003Bu);
const int32_t kFail = static_cast<int32_t>(0x80000000u);

std::atomic<const AudioOutputDevice*> g_devices[8];

bool IsError(int32_t r) { return r < 0; }

void ClearRingLocked(AudioRenderer* r) {
    r->ringCount = r->ringWrite = r->ringRead = 0;
    std::memset(r->ring, 0, sizeof r->ring);
}

// Signals the writer when it waits; the ring lock must be held.
void WakeLocked(AudioRenderer* r) {
    if (r->writerWaiting) {
        r->writerWaiting = 0;
        OS_SetEvent(r->wake);
    }
}

// Wakes a waiting writer and makes it give up its block.
int AbortWriter(AudioRenderer* r) {
    OsLockGuard g(r->ringLock);
    if (!r->writerWaiting) return 0;
    r->abortWrite = 1;
    WakeLocked(r);
    return 1;
}

void RingPush(AudioRenderer* r, uint32_t samples, uint32_t timeMs) {
    if (!r->clock) return;
    OsLockGuard g(r->ringLock);
    AudioBlockRingEntry& e = r->ring[r->ringWrite];
    e.samples = samples;
    e.timeMs = timeMs;
    r->ringWrite = (r->ringWrite + 1) % AUDIO_RING_ENTRIES;
    r->ringCount += 1;
}

void FreeRenderer(AudioRenderer* r) {
    SpeedConverter_Destroy(r->converter);
    AudioEffects_Destroy(r->effects);
    OS_CloseEvent(r->wake);
    if (r->lock != OS_INVALID_HANDLE) OS_DeleteLock(r->lock);
    if (r->ringLock != OS_INVALID_HANDLE) OS_DeleteLock(r->ringLock);
    delete r;
}

// The converter from the input format, made on first need; the renderer
// lock is held.
SpeedConverter* ConverterLocked(AudioRenderer* r) {
    if (!r->converter)
        r->converter =
            SpeedConverter_Create(r->inRate, r->inChannels, r->samplesPerFrame, r->pcmBufferSize);
    return r->converter;
}

}  // namespace

AudioEffects* AudioEffects_Create(uint32_t channels) {
    AudioEffects* e = new (std::nothrow) AudioEffects();
    if (!e) return nullptr;
    e->channels = channels;
    e->lock = OS_CreateLock();
    if (e->lock == OS_INVALID_HANDLE) {
        delete e;
        return nullptr;
    }
    return e;
}

void AudioEffects_Destroy(AudioEffects* e) {
    if (!e) return;
    OS_DeleteLock(e->lock);
    delete e;
}

int AudioEffects_Reset(AudioEffects* e) {
    OsLockGuard g(e->lock);
    std::memset(e->settings, 0, sizeof e->settings);
    return 1;
}

// The stage changes no sample, so its settings have nothing to act on.
int AudioEffects_Configure(AudioEffects* e, const uint32_t* /*fields*/) {
    OsLockGuard g(e->lock);
    return 1;
}

int AudioEffects_SetSwitch(AudioEffects* e, uint32_t index, uint32_t on) {
    if (index >= AUDIO_EFFECTS_SWITCHES) return 1;
    OsLockGuard g(e->lock);
    e->switches[index] = on ? 1 : 0;
    return 1;
}

int AudioEffects_SetParams(AudioEffects* e, uint32_t /*first*/, uint32_t /*second*/) {
    OsLockGuard g(e->lock);
    return 1;
}

int AudioEffects_SetVolume(AudioEffects* e, uint32_t volumeWord) {
    OsLockGuard g(e->lock);
    e->volume = volumeWord;
    return 1;
}

int AudioEffects_Process(AudioEffects* e, PcmBlock* /*block*/) {
    OsLockGuard g(e->lock);
    return 1;
}

void AudioRenderer_RegisterDevice(uint32_t type, const AudioOutputDevice* ops) {
    if (type < 8) g_devices[type].store(ops);
}

void AudioRenderer_RegisterDefaultDevice(uint32_t type, const AudioOutputDevice* ops) {
    const AudioOutputDevice* none = nullptr;
    if (type < 8) g_devices[type].compare_exchange_strong(none, ops);
}

int32_t AudioRenderer_Create(AudioRenderer** out, const AudioRendererFormat* format,
                             MediaClock* clock, uint32_t flag) {
    if (!out || !format) return kFail;
    *out = nullptr;
    AudioRenderer* r = new (std::nothrow) AudioRenderer();
    if (!r) return kOutOfMemory;
    r->inRate = r->outRate = format->sampleRate;
    r->inChannels = format->channels;
    r->outChannels = format->channels;
    r->samplesPerFrame = format->samplesPerFrame;
    r->pcmBufferSize = format->pcmBufferSize;
    r->speed = 100;
    r->clock = clock;
    r->createFlag = flag;
    r->lock = OS_CreateLock();
    r->ringLock = OS_CreateLock();
    r->wake = OS_CreateEvent(nullptr);
    if (r->lock == OS_INVALID_HANDLE || r->ringLock == OS_INVALID_HANDLE || !r->wake) {
        FreeRenderer(r);
        return kOutOfMemory;
    }
    r->effects = AudioEffects_Create(format->channels);
    if (!r->effects) {
        FreeRenderer(r);
        return kOutputInitFailed;
    }
    *out = r;
    return 0;
}

void AudioRenderer_Destroy(AudioRenderer* r) {
    if (!r) return;
    AbortWriter(r);
    {
        OsLockGuard g(r->lock);
        if (r->ops.Close) r->ops.Close(r);
    }
    FreeRenderer(r);
}

int32_t AudioRenderer_SetDevice(AudioRenderer* r, uint32_t type) {
    if (!r) return kFail;
    OsLockGuard g(r->lock);
    if (r->ops.Close) r->ops.Close(r);
    uint32_t step = r->pcmBufferSize ? r->pcmBufferSize : 1;
    uint32_t n = 2 * step;
    while (n < r->outRate / 2) n += step;
    r->deviceBufferBytes = r->outChannels * n * 2;
    const AudioOutputDevice* ops = type < 8 ? g_devices[type].load() : nullptr;
    if (ops) r->ops = *ops;
    r->deviceType = type;
    r->drain = 0;
    {
        OsLockGuard rg(r->ringLock);
        ClearRingLocked(r);
    }
    int32_t result = 0;
    if (r->ops.Open) {
        result = r->ops.Open(r);
        if (IsError(result)) return result;
    }
    OsLockGuard rg(r->ringLock);
    WakeLocked(r);
    return result;
}

int AudioRenderer_Write(AudioRenderer* r, PcmBlock* block) {
    if (!r || !block || block->count == 0) return 0;
    const uint32_t outCh = r->outChannels;
    if (r->mute && !r->ops.SetMute) {
        if (block->interleaved) {
            std::memset(block->interleaved, 0, size_t(outCh) * block->count * 2);
        } else {
            if (block->left) std::memset(block->left, 0, size_t(block->count) * 2);
            if (outCh == 2 && block->right) std::memset(block->right, 0, size_t(block->count) * 2);
        }
    }
    OS_Lock(r->lock);
    if (!r->ops.Write) {  // no device installed: the caller keeps the block
        OS_Unlock(r->lock);
        return 0;
    }
    if (!block->interleaved) {
        AudioEffects_Process(r->effects, block);
        // The converter hands back its own planes at the output rate and
        // channel count.
        if (r->converter) SpeedConverter_Process(r->converter, block, nullptr);
        if (block->count == 0) {  // all of it kept back by the resampler's filter
            OS_Unlock(r->lock);
            return 1;
        }
    }
    for (;;) {
        const uint32_t need = outCh * block->count * 2;
        {
            // Announce the wait before asking for room, so a played report
            // that frees room in between still wakes us.
            OsLockGuard rg(r->ringLock);
            r->writerWaiting = 1;
        }
        uint32_t freeBytes = r->ops.GetFreeBytes ? r->ops.GetFreeBytes(r) : need;
        {
            OsLockGuard rg(r->ringLock);
            if (freeBytes >= need && r->ringCount < AUDIO_RING_ENTRIES) {
                r->writerWaiting = 0;
                if (r->abortWrite) {  // flushed while we looked for room
                    r->abortWrite = 0;
                    block->count = 0;
                    OS_Unlock(r->lock);
                    return 1;
                }
                break;
            }
        }
        // Wait without the renderer lock, so pause, resume, flush and stop
        // can reach the device meanwhile. A wake left over from an earlier
        // round only costs one more look for room.
        OS_Unlock(r->lock);
        if (!OS_WaitEvent(r->wake, OS_INFINITE)) return 0;
        {
            OsLockGuard rg(r->ringLock);
            if (r->abortWrite) {
                r->abortWrite = 0;
                r->writerWaiting = 0;
                block->count = 0;
                return 1;
            }
        }
        OS_Lock(r->lock);
        if (!r->ops.Write) {
            OS_Unlock(r->lock);
            return 0;
        }
    }
    if (block->interleaved)
        r->ops.Write(r, block->interleaved, nullptr, block->count);
    else
        r->ops.Write(r, block->left, outCh >= 2 ? block->right : nullptr, block->count);
    RingPush(r, block->count, block->timeMs);
    block->count = 0;
    OS_Unlock(r->lock);
    return 1;
}

int AudioRenderer_Pause(AudioRenderer* r) {
    if (!r) return 0;
    OsLockGuard g(r->lock);
    return r->ops.Pause ? r->ops.Pause(r) : 1;
}

int AudioRenderer_Resume(AudioRenderer* r) {
    if (!r) return 0;
    OsLockGuard g(r->lock);
    return r->ops.Restart ? r->ops.Restart(r) : 1;
}

int AudioRenderer_Flush(AudioRenderer* r) {
    if (!r) return 0;
    OsLockGuard g(r->lock);
    r->drain = 0;
    {
        OsLockGuard rg(r->ringLock);
        ClearRingLocked(r);
    }
    int result = r->ops.Reset ? r->ops.Reset(r) : 1;
    // Only now, with the device emptied: a writer that found it full just
    // before and is about to wait for room would otherwise wait for a played
    // report that an empty device never sends. Its block is from before the
    // flush, so it gives it up.
    AbortWriter(r);
    return result;
}

int AudioRenderer_IsDrained(AudioRenderer* r) {
    if (!r) return 0;
    r->drain = 1;
    OsLockGuard rg(r->ringLock);
    return r->deviceType == AUDIO_DEVICE_WAVEOUT ? r->ringCount <= 1 : r->ringCount == 0;
}

int AudioRenderer_AbortWrite(AudioRenderer* r) { return r ? AbortWriter(r) : 0; }

uint32_t AudioRenderer_RingCount(AudioRenderer* r) {
    if (!r) return 0;
    OsLockGuard rg(r->ringLock);
    return r->ringCount;
}

int AudioRenderer_SetSpeed(AudioRenderer* r, uint32_t percent) {
    if (!r) return 0;
    if (percent == r->speed) return 1;
    int result;
    {
        OsLockGuard g(r->lock);
        if (r->ops.SetSpeed) {
            result = r->ops.SetSpeed(r, percent);
        } else {
            // The device keeps its rate: the blocks are resampled instead.
            // Without a converter (more than two channels) the sound keeps
            // its speed.
            if (SpeedConverter* c = ConverterLocked(r)) SpeedConverter_SetSpeed(c, percent);
            result = 1;
        }
    }
    if (result) r->speed = percent;
    return result;
}

int AudioRenderer_SetOutputFormat(AudioRenderer* r, uint32_t rate, uint32_t channels) {
    if (!r || rate == 0 || channels == 0) return 0;
    if (rate == r->outRate && channels == r->outChannels) return 0;
    OsLockGuard g(r->lock);
    r->outRate = rate;
    r->outChannels = channels;
    if (SpeedConverter* c = ConverterLocked(r)) SpeedConverter_SetFormat(c, rate, channels, 1);
    return 1;
}

int AudioRenderer_SetConfig(AudioRenderer* r, const AudioOutConfig* config) {
    if (!r || !config) return 0;
    const uint32_t flags = config->flags;
    const uint32_t* f = config->fields;  // f[n - 1] is field n
    int result = 1;
    if (flags & AUDIO_CONFIG_FORMAT) {
        if (AudioRenderer_SetOutputFormat(r, f[AUDIO_FIELD_RATE], f[AUDIO_FIELD_CHANNELS]) &&
            r->device && !(flags & AUDIO_CONFIG_DEVICE))
            if (IsError(AudioRenderer_SetDevice(r, r->deviceType))) result = 0;
    }
    if (flags & AUDIO_CONFIG_DEVICE)
        if (IsError(AudioRenderer_SetDevice(r, f[AUDIO_FIELD_DEVICE]))) result = 0;
    if (flags & AUDIO_CONFIG_VOLUME) {
        const uint32_t volume = f[AUDIO_FIELD_VOLUME];
        if (r->ops.SetVolume)
            result &= r->ops.SetVolume(r, volume) ? 1 : 0;
        else
            result &= AudioEffects_SetVolume(r->effects, volume);
        r->volume = volume;
    }
    if (flags & AUDIO_CONFIG_MUTE) {
        if (r->ops.SetMute) result &= r->ops.SetMute(r, f[AUDIO_FIELD_MUTE]) ? 1 : 0;
        r->mute = f[AUDIO_FIELD_MUTE];
    }
    AudioEffects* e = r->effects;
    if (flags & AUDIO_CONFIG_EFFECTS_RESET) result &= AudioEffects_Reset(e);
    if (flags & AUDIO_CONFIG_EFFECTS) {
        // Fields 6, 14, 12, 11, 13.
        const uint32_t settings[5] = {f[AUDIO_FIELD_EFFECTS], f[AUDIO_FIELD_SWITCH_1 + 4],
                                      f[AUDIO_FIELD_SWITCH_1 + 2], f[AUDIO_FIELD_SWITCH_1 + 1],
                                      f[AUDIO_FIELD_SWITCH_1 + 3]};
        result &= AudioEffects_Configure(e, settings);
    }
    static const uint32_t kSwitchFlags[AUDIO_EFFECTS_SWITCHES] = {
        AUDIO_CONFIG_SWITCH_1, AUDIO_CONFIG_SWITCH_2, AUDIO_CONFIG_SWITCH_3, AUDIO_CONFIG_SWITCH_4,
        AUDIO_CONFIG_SWITCH_5};
    for (uint32_t i = 0; i < AUDIO_EFFECTS_SWITCHES; ++i)
        if (flags & kSwitchFlags[i])
            result &= AudioEffects_SetSwitch(e, i, f[AUDIO_FIELD_SWITCH_1 + i]);
    if (flags & AUDIO_CONFIG_EFFECT_PARAMS)
        result &=
            AudioEffects_SetParams(e, f[AUDIO_FIELD_EFFECT_PARAM_B], f[AUDIO_FIELD_EFFECT_PARAM_A]);
    return result;
}

int AudioRenderer_GetInfo(AudioRenderer* r, uint32_t info[4]) {
    if (!r || !info) return 0;
    info[1] = r->deviceType;
    if (r->ops.GetVolume) info[2] = r->ops.GetVolume(r);
    info[3] = r->mute;
    return 1;
}

uint32_t AudioRenderer_GetVersion() { return 7; }

void AudioRenderer_ConsumePlayed(AudioRenderer* r, uint32_t bytes) {
    if (!r || !r->clock) return;
    uint32_t syncs[AUDIO_RING_ENTRIES];
    uint32_t nsync = 0;
    {
        OsLockGuard rg(r->ringLock);
        if (r->ringCount == 0) return;
        uint32_t outCh = r->outChannels ? r->outChannels.load() : 1;
        uint32_t samples = bytes ? bytes / (2 * outCh) : r->ring[r->ringRead].samples;
        while (samples > 0 && r->ringCount > 0) {
            AudioBlockRingEntry& head = r->ring[r->ringRead];
            if (head.samples > samples) {
                head.samples -= samples;
                break;
            }
            samples -= head.samples;
            head = {0, 0};
            r->ringRead = (r->ringRead + 1) % AUDIO_RING_ENTRIES;
            r->ringCount -= 1;
            if (r->ringCount > 0) syncs[nsync++] = r->ring[r->ringRead].timeMs;
        }
        WakeLocked(r);  // a full ring has room again
    }
    for (uint32_t i = 0; i < nsync; ++i) Clock_Sync(r->clock, syncs[i]);
}

void AudioRenderer_Wake(AudioRenderer* r) {
    if (!r) return;
    OsLockGuard rg(r->ringLock);
    WakeLocked(r);
}
