// An audio output for tests that "plays" on the simulated tick count: it
// takes bytes into a buffer of the renderer's device size, plays them at the
// output rate scaled by the speed, and reports each played 50 ms fragment
// to the renderer, which drives the media clock from it.
#pragma once

#include <atomic>
#include <mutex>
#include <thread>

#include "engine/output/audio_renderer.h"

struct SimAudioDevice {
    std::mutex lock;
    uint64_t queued = 0;  // bytes written, not yet played
    uint64_t playedInFragment = 0;
    uint64_t playedTotal = 0;  // bytes reported as played
    // playedTotal as the test thread reads it while the device runs.
    uint64_t Played() {
        std::lock_guard<std::mutex> g(lock);
        return playedTotal;
    }
    uint32_t lastTick = 0;
    double carry = 0;
    bool paused = true;
    uint32_t speed = 100;
    uint32_t volume = 0;
    uint32_t opens = 0;
    int volumeResult = 1, muteResult = 1;  // 0: the output has no such control
    std::atomic<bool> run{false};
    std::thread thread;
    AudioRenderer* renderer = nullptr;
    uint32_t (*now)() = nullptr;

    static SimAudioDevice*& Current() {
        static SimAudioDevice* d = nullptr;
        return d;
    }
    uint32_t BytesPerMs() const { return renderer->outRate * renderer->outChannels * 2 / 1000; }
    uint32_t FragmentBytes() const { return BytesPerMs() * 50; }

    void Loop() {
        while (run) {
            std::this_thread::sleep_for(std::chrono::microseconds(500));
            uint32_t report = 0;
            {
                std::lock_guard<std::mutex> g(lock);
                uint32_t t = now();
                uint32_t dt = t - lastTick;
                lastTick = t;
                if (paused) continue;
                if (queued > 0) {
                    carry += double(dt) * BytesPerMs() * speed / 100.0;
                    uint64_t play = static_cast<uint64_t>(carry);
                    play -= play % (2 * renderer->outChannels);
                    if (play > queued) play = queued;
                    carry -= double(play);
                    queued -= play;
                    playedInFragment += play;
                    if (queued == 0) carry = 0;
                }
                // Whole fragments are reported; a partial one only when
                // draining, also when the drain comes after the last byte
                // has played.
                if (playedInFragment >= FragmentBytes() ||
                    (queued == 0 && renderer->drain && playedInFragment > 0)) {
                    report = static_cast<uint32_t>(playedInFragment);
                    playedTotal += playedInFragment;
                    playedInFragment = 0;
                }
            }
            if (report) {
                AudioRenderer_ConsumePlayed(renderer, report);
                AudioRenderer_Wake(renderer);
            }
        }
    }

    static const AudioOutputDevice* Ops() {
        static const AudioOutputDevice ops = {
            [](AudioRenderer* r) -> int32_t {
                SimAudioDevice* d = Current();
                d->renderer = r;
                r->device = d;
                {
                    std::lock_guard<std::mutex> g(d->lock);
                    d->queued = d->playedInFragment = 0;
                    d->lastTick = d->now();
                    d->paused = true;
                    ++d->opens;
                }
                d->run = true;
                d->thread = std::thread([d] { d->Loop(); });
                return 0;
            },
            [](AudioRenderer* r) {
                SimAudioDevice* d = static_cast<SimAudioDevice*>(r->device);
                if (!d) return;
                d->run = false;
                if (d->thread.joinable()) d->thread.join();
                r->device = nullptr;
            },
            [](AudioRenderer* r) -> uint32_t {
                SimAudioDevice* d = static_cast<SimAudioDevice*>(r->device);
                std::lock_guard<std::mutex> g(d->lock);
                return d->queued >= r->deviceBufferBytes
                           ? 0
                           : static_cast<uint32_t>(r->deviceBufferBytes - d->queued);
            },
            [](AudioRenderer* r, const int16_t*, const int16_t*, uint32_t n) {
                SimAudioDevice* d = static_cast<SimAudioDevice*>(r->device);
                std::lock_guard<std::mutex> g(d->lock);
                d->queued += uint64_t(n) * r->outChannels * 2;
                return 1;
            },
            [](AudioRenderer* r) {
                SimAudioDevice* d = static_cast<SimAudioDevice*>(r->device);
                std::lock_guard<std::mutex> g(d->lock);
                d->paused = true;
                return 1;
            },
            [](AudioRenderer* r) {
                SimAudioDevice* d = static_cast<SimAudioDevice*>(r->device);
                std::lock_guard<std::mutex> g(d->lock);
                d->queued = d->playedInFragment = 0;
                d->carry = 0;
                return 1;
            },
            [](AudioRenderer* r) {
                SimAudioDevice* d = static_cast<SimAudioDevice*>(r->device);
                std::lock_guard<std::mutex> g(d->lock);
                d->paused = false;
                d->lastTick = d->now();
                return 1;
            },
            [](AudioRenderer* r, uint32_t percent) {
                SimAudioDevice* d = static_cast<SimAudioDevice*>(r->device);
                std::lock_guard<std::mutex> g(d->lock);
                d->speed = percent;
                return 1;
            },
            [](AudioRenderer* r) -> uint32_t {
                SimAudioDevice* d = static_cast<SimAudioDevice*>(r->device);
                std::lock_guard<std::mutex> g(d->lock);
                return d->volume & 0xFFFF;
            },
            [](AudioRenderer* r, uint32_t v) {
                SimAudioDevice* d = static_cast<SimAudioDevice*>(r->device);
                std::lock_guard<std::mutex> g(d->lock);
                d->volume = v;
                return d->volumeResult;
            },
            nullptr,
            [](AudioRenderer*, uint32_t) { return Current()->muteResult; },
        };
        return &ops;
    }
};
