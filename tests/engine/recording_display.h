// A display device for tests: logs each picture's time and a checksum of
// its planes instead of drawing.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "engine/output/video_renderer.h"

struct RecordingDisplay {
    struct Picture {
        uint32_t timeMs;
        uint32_t checksum;
        int32_t lagMs;                 // clock minus picture time when drawn (0 without a clock)
        std::vector<uint16_t> blocks;  // luma signature (Blocks), with keepBlocks
    };
    // Where the display reads the media clock, when set.
    uint32_t (*clockNow)(void* arg) = nullptr;
    void* clockArg = nullptr;
    std::mutex lock;
    std::vector<Picture> pictures;
    int opens = 0, closes = 0, refreshes = 0;
    int32_t openResult = 0;
    bool keepBlocks = false;
    uintptr_t windowAtOpen = 0;

    static RecordingDisplay*& Current() {
        static RecordingDisplay* d = nullptr;
        return d;
    }
    static uint32_t Checksum(const DecodedFrame* f, uint32_t w, uint32_t h) {
        uint32_t s = 1;
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) s = s * 31 + f->y[y * f->stride + x];
        for (uint32_t y = 0; y < h / 2; ++y)
            for (uint32_t x = 0; x < w / 2; ++x)
                s = s * 31 + f->u[y * (f->stride / 2) + x] * 7 + f->v[y * (f->stride / 2) + x];
        return s;
    }
    // A luma signature that survives the small differences between two
    // decoders of one stream: per 16x16 block, the sum of every second
    // pixel of every second row (64 samples).
    static std::vector<uint16_t> Blocks(const uint8_t* y, uint32_t stride, uint32_t w, uint32_t h) {
        std::vector<uint16_t> out;
        for (uint32_t by = 0; by + 16 <= h; by += 16)
            for (uint32_t bx = 0; bx + 16 <= w; bx += 16) {
                uint32_t sum = 0;
                for (uint32_t r = by; r < by + 16; r += 2)
                    for (uint32_t c = bx; c < bx + 16; c += 2) sum += y[r * stride + c];
                out.push_back(static_cast<uint16_t>(sum));
            }
        return out;
    }
    // Mean absolute luma difference of two signatures (levels per pixel).
    static double BlockDistance(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b) {
        if (a.empty() || a.size() != b.size()) return 255.0;
        double d = 0;
        for (size_t i = 0; i < a.size(); ++i) d += std::abs(int(a[i]) - int(b[i]));
        return d / 64.0 / double(a.size());
    }
    static const DisplayDevice* Ops() {
        static const DisplayDevice ops = {
            [](VideoRenderer* r) -> int32_t {
                RecordingDisplay* d = Current();
                std::lock_guard<std::mutex> g(d->lock);
                ++d->opens;
                d->windowAtOpen = r->window;
                r->display = d;
                return d->openResult;
            },
            [](VideoRenderer* r) {
                RecordingDisplay* d = static_cast<RecordingDisplay*>(r->display);
                if (!d) return;
                std::lock_guard<std::mutex> g(d->lock);
                ++d->closes;
            },
            nullptr,
            [](VideoRenderer* r, const DecodedFrame* f) -> int32_t {
                RecordingDisplay* d = static_cast<RecordingDisplay*>(r->display);
                uint32_t sum = Checksum(f, r->width, r->height);
                Picture p = {f->time, sum, 0, {}};
                if (d->keepBlocks) p.blocks = Blocks(f->y, f->stride, r->width, r->height);
                std::lock_guard<std::mutex> g(d->lock);
                p.lagMs =
                    d->clockNow ? static_cast<int32_t>(d->clockNow(d->clockArg) - f->time) : 0;
                d->pictures.push_back(p);
                return 0;
            },
            [](VideoRenderer*, DecodedFrame*) -> int32_t {
                return static_cast<int32_t>(0x80000000u);
            },
        };
        return &ops;
    }
    std::vector<Picture> Snapshot() {
        std::lock_guard<std::mutex> g(lock);
        return pictures;
    }
};
