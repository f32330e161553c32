#include "engine/output/speed_converter.h"

#include <cstring>

#include "engine/platform/os.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

struct SpeedConverter {
    SwrContext* swr;
    uint32_t inRate;
    uint32_t inChannels;
    uint32_t samplesPerFrame;
    uint32_t speed;         // percent, 0 until set
    uint32_t targetRate;    // 0: the output keeps the input rate
    uint32_t resampleRate;  // the resampler's output rate
    uint32_t outChannels;
    uint32_t procChannels;  // min(input, output), at most 2
    int16_t* in[2];
    uint32_t held;
    uint32_t inCapacity;
    int16_t* out[2];
    uint32_t outCapacity;
};

namespace {

uint32_t Min(uint32_t a, uint32_t b) { return a < b ? a : b; }

// A fresh resampler from the input rate to the current output rate, on the
// channels that are processed.
int MakeResampler(SpeedConverter* c) {
    swr_free(&c->swr);
    SwrContext* s = swr_alloc();
    if (!s) return 0;
    AVChannelLayout layout;
    av_channel_layout_default(&layout, int(c->procChannels));
    int ok = av_opt_set_chlayout(s, "in_chlayout", &layout, 0) >= 0 &&
             av_opt_set_chlayout(s, "out_chlayout", &layout, 0) >= 0 &&
             av_opt_set_int(s, "in_sample_rate", c->inRate, 0) >= 0 &&
             av_opt_set_int(s, "out_sample_rate", c->resampleRate, 0) >= 0 &&
             av_opt_set_sample_fmt(s, "in_sample_fmt", AV_SAMPLE_FMT_S16P, 0) >= 0 &&
             av_opt_set_sample_fmt(s, "out_sample_fmt", AV_SAMPLE_FMT_S16P, 0) >= 0 &&
             av_opt_set_int(s, "filter_size", 16, 0) >= 0 &&
             av_opt_set_int(s, "phase_shift", 10, 0) >= 0 &&
             av_opt_set_int(s, "linear_interp", 0, 0) >= 0 &&
             av_opt_set_double(s, "cutoff", 1.0, 0) >= 0 &&
             av_opt_set_int(s, "filter_type", SWR_FILTER_TYPE_BLACKMAN_NUTTALL, 0) >= 0 &&
             swr_init(s) >= 0;
    av_channel_layout_uninit(&layout);
    if (!ok) {
        swr_free(&s);
        return 0;
    }
    c->swr = s;
    return 1;
}

int GrowOutput(SpeedConverter* c) {
    uint64_t cap = uint64_t(c->inCapacity) * c->resampleRate / c->inRate + 1;
    if (cap > 0x7FFFFFF) return 0;
    if (cap <= c->outCapacity && c->out[0]) return 1;
    for (int16_t*& p : c->out) {
        OS_Free(p);
        p = static_cast<int16_t*>(OS_MallocZero(size_t(cap) * sizeof(int16_t)));
    }
    if (!c->out[0] || !c->out[1]) {
        c->outCapacity = 0;
        return 0;
    }
    c->outCapacity = uint32_t(cap);
    return 1;
}

int Reconfigure(SpeedConverter* c) {
    if (!MakeResampler(c)) return 0;
    c->held = 0;
    return GrowOutput(c);
}

}  // namespace

SpeedConverter* SpeedConverter_Create(uint32_t inRate, uint32_t inChannels,
                                      uint32_t samplesPerFrame, uint32_t pcmBufferSize) {
    if (inChannels == 0 || inChannels > 2 || inRate == 0) return nullptr;
    uint64_t cap = uint64_t(samplesPerFrame) + pcmBufferSize;
    if (cap == 0 || cap > 0x1000000) return nullptr;
    auto* c = static_cast<SpeedConverter*>(OS_MallocZero(sizeof(SpeedConverter)));
    if (!c) return nullptr;
    c->inRate = inRate;
    c->inChannels = inChannels;
    c->samplesPerFrame = samplesPerFrame;
    c->inCapacity = uint32_t(cap);
    c->resampleRate = inRate;
    for (int16_t*& p : c->in)
        p = static_cast<int16_t*>(OS_MallocZero(size_t(cap) * sizeof(int16_t)));
    if (!c->in[0] || !c->in[1]) {
        SpeedConverter_Destroy(c);
        return nullptr;
    }
    return c;
}

void SpeedConverter_Destroy(SpeedConverter* c) {
    if (!c) return;
    swr_free(&c->swr);
    for (int16_t* p : c->in) OS_Free(p);
    for (int16_t* p : c->out) OS_Free(p);
    OS_Free(c);
}

int SpeedConverter_SetSpeed(SpeedConverter* c, uint32_t percent) {
    if (!c || percent == 0) return 0;
    c->speed = percent;
    uint32_t base = c->targetRate ? c->targetRate : c->inRate;
    c->resampleRate = uint32_t(uint64_t(base) * 100 / percent);
    if (c->resampleRate == 0) c->resampleRate = 1;
    if (c->outChannels == 0) {
        c->outChannels = c->inChannels;
        c->procChannels = c->inChannels;
    }
    return Reconfigure(c);
}

int SpeedConverter_SetFormat(SpeedConverter* c, uint32_t rate, uint32_t channels, int grow) {
    if (!c || channels > 2) return 0;
    c->targetRate = (rate && rate != c->inRate) ? rate : 0;
    uint32_t base = c->targetRate ? c->targetRate : c->inRate;
    c->resampleRate = c->speed ? uint32_t(uint64_t(base) * 100 / c->speed) : base;
    if (c->resampleRate == 0) c->resampleRate = 1;
    c->outChannels = channels ? channels : c->inChannels;
    c->procChannels = Min(Min(c->inChannels, c->outChannels), 2);
    if (!MakeResampler(c)) return 0;
    c->held = 0;
    return grow ? GrowOutput(c) : 1;
}

int SpeedConverter_Process(SpeedConverter* c, PcmBlock* in, PcmBlock* /*out*/) {
    if (!c || !in) return 0;
    const bool sameRate = c->resampleRate == c->inRate;
    if (sameRate && c->outChannels == c->inChannels) return 1;  // pass-through
    if (!c->swr || !c->out[0]) return 0;
    if (uint64_t(c->held) + in->count > c->inCapacity) return 0;

    // Append the block (planar) after the samples already held.
    const uint32_t n = in->count;
    const bool stereoIn = c->inChannels == 2 && in->right;
    int16_t* l = c->in[0] + c->held;
    int16_t* r = c->in[1] + c->held;
    if (c->outChannels == 1) {
        if (stereoIn)
            MixStereoToMono(l, in->left, in->right, n);
        else
            std::memcpy(l, in->left, n * sizeof(int16_t));
    } else if (!stereoIn) {
        std::memcpy(l, in->left, n * sizeof(int16_t));
        if (sameRate) std::memcpy(r, in->left, n * sizeof(int16_t));
    } else {
        std::memcpy(l, in->left, n * sizeof(int16_t));
        std::memcpy(r, in->right, n * sizeof(int16_t));
    }
    c->held += n;
    in->count = 0;

    if (sameRate) {  // only the channel count changes
        in->left = c->in[0];
        in->right = c->in[1];
        in->count = c->held;
        c->held = 0;
        return 1;
    }

    // The resampler takes every held sample and keeps back what its filter
    // still needs; the output is limited to the output buffers.
    const uint8_t* src[2] = {reinterpret_cast<const uint8_t*>(c->in[0]),
                             reinterpret_cast<const uint8_t*>(c->in[1])};
    uint8_t* dst[2] = {reinterpret_cast<uint8_t*>(c->out[0]),
                       reinterpret_cast<uint8_t*>(c->out[1])};
    int produced = swr_convert(c->swr, dst, int(c->outCapacity), src, int(c->held));
    c->held = 0;
    if (produced < 0) produced = 0;
    if (c->outChannels == 2 && c->procChannels == 1)
        CopyMonoToPlanes(c->out[0], c->out[1], c->out[0], uint32_t(produced));
    in->left = c->out[0];
    in->right = c->outChannels == 2 ? c->out[1] : nullptr;
    in->count = uint32_t(produced);
    return 1;
}

uint32_t SpeedConverter_GetOutputCapacity(const SpeedConverter* c) {
    return c ? c->outCapacity : 0;
}
uint32_t SpeedConverter_GetResampleRate(const SpeedConverter* c) { return c ? c->resampleRate : 0; }

void MixStereoToMono(int16_t* dst, const int16_t* left, const int16_t* right, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) dst[i] = int16_t((int32_t(left[i]) + right[i]) >> 1);
}

void CopyMonoToPlanes(int16_t* first, int16_t* second, const int16_t* src, uint32_t count) {
    if (first != src) std::memmove(first, src, count * sizeof(int16_t));
    if (second != src) std::memmove(second, src, count * sizeof(int16_t));
}
