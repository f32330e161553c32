// Audio renderer: hands decoded PCM blocks to an audio output device through
// a table of device operations, blocks the writer while the device is full,
// and turns the device's played-bytes reports into clock syncs (the audio
// output is the master clock).
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <atomic>
#include <cstdint>

#include "engine/platform/os.h"
#include "engine/player.h"

struct AudioRenderer;
struct AudioOutConfig;
struct MediaClock;
struct SpeedConverter;

// One block of PCM handed to AudioRenderer_Write. The renderer sets the
// count to 0 once it has taken the block.
struct PcmBlock {
    int16_t* interleaved;  // or null for planar blocks
    int16_t* left;         // left or mono plane
    int16_t* right;        // right plane or null
    uint32_t count;        // samples per channel
    uint32_t room;         // second copy of the count (room in a write area)
    uint32_t timeMs;       // time of the first sample
};

// Device operations, each taking the renderer first. A null slot means the
// device does not offer the operation.
struct AudioOutputDevice {
    int32_t (*Open)(AudioRenderer* r);  // 0 or an engine error
    void (*Close)(AudioRenderer* r);
    uint32_t (*GetFreeBytes)(AudioRenderer* r);
    int (*Write)(AudioRenderer* r, const int16_t* interleavedOrLeft, const int16_t* right,
                 uint32_t samples);
    int (*Pause)(AudioRenderer* r);
    int (*Reset)(AudioRenderer* r);
    int (*Restart)(AudioRenderer* r);
    int (*SetSpeed)(AudioRenderer* r, uint32_t percent);
    uint32_t (*GetVolume)(AudioRenderer* r);
    int (*SetVolume)(AudioRenderer* r, uint32_t volumeWord);
    uint32_t (*GetMute)(AudioRenderer* r);
    int (*SetMute)(AudioRenderer* r, uint32_t mute);
};

enum : uint32_t {
    AUDIO_DEVICE_NONE = 0,
    AUDIO_DEVICE_WAVEOUT = PLAYER_AUDIO_OUTPUT_WAVE,
    AUDIO_RING_ENTRIES = 20,
};

// Installs the operations of a device type (the wave output registers type 2;
// tests register devices of their own). Null removes the type.
void AudioRenderer_RegisterDevice(uint32_t type, const AudioOutputDevice* ops);
// Installs the operations only when the type has none yet.
void AudioRenderer_RegisterDefaultDevice(uint32_t type, const AudioOutputDevice* ops);

// The input format of a renderer, taken from the audio track record.
struct AudioRendererFormat {
    uint32_t sampleRate;
    uint32_t channels;
    uint32_t samplesPerFrame;
    uint32_t pcmBufferSize;  // samples per channel of the PCM buffer
};

struct AudioBlockRingEntry {
    uint32_t samples;
    uint32_t timeMs;
};

// Effects stage: keeps its settings and switches; changes no sample.
struct AudioEffects {
    uint32_t settings[3];
    uint32_t switches[5];
    uint32_t volume;  // the level given when the device has no volume control
    uint32_t channels;
    OsLock lock;
};

enum : uint32_t { AUDIO_EFFECTS_SWITCHES = 5 };

// Null when memory or the lock runs out.
AudioEffects* AudioEffects_Create(uint32_t channels);
void AudioEffects_Destroy(AudioEffects* e);
// Each returns 1.
int AudioEffects_Reset(AudioEffects* e);
int AudioEffects_Configure(AudioEffects* e, const uint32_t* fields);
int AudioEffects_SetSwitch(AudioEffects* e, uint32_t index, uint32_t on);
int AudioEffects_SetParams(AudioEffects* e, uint32_t first, uint32_t second);
int AudioEffects_SetVolume(AudioEffects* e, uint32_t volumeWord);
int AudioEffects_Process(AudioEffects* e, PcmBlock* block);

struct AudioRenderer {
    uint32_t deviceType;
    void* device;  // the installed device's own record
    OsLock lock;
    uint32_t inRate, inChannels;
    uint32_t outRate;
    std::atomic<uint32_t> outChannels;
    uint32_t samplesPerFrame;
    std::atomic<uint32_t> speed;
    uint32_t pcmBufferSize;
    uint32_t deviceBufferBytes;

    // The ring of written blocks, shared with the device's callback thread.
    OsLock ringLock;
    OsEvent wake;  // auto-reset; set for a writer that waits for room
    AudioBlockRingEntry ring[AUDIO_RING_ENTRIES];
    uint32_t ringCount, ringWrite, ringRead;
    uint32_t writerWaiting;
    uint32_t abortWrite;

    MediaClock* clock;  // borrowed; null: no ring, no sync
    uint32_t createFlag;
    std::atomic<uint32_t> drain;
    std::atomic<uint32_t> mute;
    uint32_t volume;
    AudioEffects* effects;
    SpeedConverter* converter;  // made when a speed or output format needs it
    AudioOutputDevice ops;
};

int32_t AudioRenderer_Create(AudioRenderer** out, const AudioRendererFormat* format,
                             MediaClock* clock, uint32_t flag);
void AudioRenderer_Destroy(AudioRenderer* r);
int32_t AudioRenderer_SetDevice(AudioRenderer* r, uint32_t type);
int AudioRenderer_Write(AudioRenderer* r, PcmBlock* block);
int AudioRenderer_Pause(AudioRenderer* r);
int AudioRenderer_Resume(AudioRenderer* r);
int AudioRenderer_Flush(AudioRenderer* r);
int AudioRenderer_IsDrained(AudioRenderer* r);
int AudioRenderer_SetSpeed(AudioRenderer* r, uint32_t percent);
int AudioRenderer_SetOutputFormat(AudioRenderer* r, uint32_t rate, uint32_t channels);
int AudioRenderer_SetConfig(AudioRenderer* r, const AudioOutConfig* config);
int AudioRenderer_GetInfo(AudioRenderer* r, uint32_t info[4]);
uint32_t AudioRenderer_GetVersion();
uint32_t AudioRenderer_RingCount(AudioRenderer* r);
// Makes a writer that waits for room give up its block (returns 1 when one
// was waiting). The device is left as it is.
int AudioRenderer_AbortWrite(AudioRenderer* r);

// Called by the device from its own thread, without any renderer lock.
void AudioRenderer_ConsumePlayed(AudioRenderer* r, uint32_t bytes);
void AudioRenderer_Wake(AudioRenderer* r);
