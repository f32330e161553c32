// The SBR stage as the AAC core calls it: lazy set-up, the one-frame delay
// of the payloads, and the frame step in place on the core's planar PCM.
#include <cstring>

#include "codecs/aac/aac_sbr_hook.h"
#include "sbr_dec.h"

namespace {

enum { kPcmStride = 2048 };  // channel 1 of the core's PCM buffer

struct SbrHookState {
    SbrDecoder dec;
    SbrPayloadDelay delay;
};
static_assert(sizeof(SbrHookState) <= AAC_SBR_STATE_BYTES, "SBR state exceeds its reservation");
static_assert(kSbrWorkSlots * sizeof(SbrQmfSlot) <= AAC_SBR_WORK_BYTES,
              "SBR work exceeds its share");

// The core's payload list as the SBR decoder takes it. A payload's bits are
// cut to what the input holds after its start.
void ConvertList(const AacSbrPayloadList* in, SbrPayloadList* out, int32_t* lastBytes) {
    memset(out, 0, sizeof(*out));
    const int count = in ? (in->count > 2 ? 2 : (in->count < 0 ? 0 : in->count)) : 0;
    for (int k = 0; k < count; k++) {
        const AacSbrPayload& p = in->entry[k];
        SbrPayload& q = out->item[out->count];
        *lastBytes = p.byteCount;
        q.elementId = p.elementId;
        q.extType = p.extType;
        q.data = nullptr;
        q.bits = 0;
        q.bitPos = 0;
        if (p.wordPtr && p.dataEnd && p.wordPtr >= p.dataBegin && p.wordPtr < p.dataEnd &&
            p.bitPos >= 0 && p.bitPos < 16 && p.byteCount > 0) {
            const long avail = (long)(p.dataEnd - p.wordPtr) * 8 - p.bitPos;
            long bits = (long)p.byteCount * 8 - 4;
            if (bits > avail) bits = avail;
            if (bits > 0) {
                q.data = p.wordPtr;
                q.bitPos = p.bitPos;
                q.bits = (int)bits;
            }
        }
        out->count++;
    }
}

}  // namespace

int32_t SbrDecoderInit(void* sbrState, int32_t coreRate, int32_t coreFrameLength,
                       int32_t downSampled, int32_t kernelFlag, void* work) {
    if (!sbrState || !work || coreFrameLength != 1024 || coreRate <= 0 || coreRate > 48000)
        return 0;
    SbrHookState* s = static_cast<SbrHookState*>(sbrState);
    memset(s, 0, sizeof(*s));
    if (!SbrDecoderSetup(&s->dec, coreRate * 2, downSampled == 1, kernelFlag != 0,
                         static_cast<SbrQmfSlot*>(work)))
        return 0;
    SbrPayloadDelayInit(&s->delay);
    return 1;
}

int32_t SbrFrameStep(void* sbrState, const AacSbrPayloadList* payloads, int16_t* pcm,
                     int32_t* channels, int32_t downSampled, int32_t monoOutput, int32_t frameGood,
                     int32_t parseOnly, int32_t enable0, int32_t enable1, int32_t* lastPayloadBytes,
                     int32_t* bytesUsed) {
    (void)downSampled;  // fixed at set-up
    int32_t lastBytes = 0;
    if (lastPayloadBytes) *lastPayloadBytes = 0;
    if (bytesUsed) *bytesUsed = 0;
    if (!sbrState || !channels || *channels < 1 || *channels > 2) return kSbrNotDecodable;
    SbrHookState* s = static_cast<SbrHookState*>(sbrState);
    SbrPayloadList now;
    ConvertList(payloads, &now, &lastBytes);
    if (lastPayloadBytes) *lastPayloadBytes = lastBytes;
    if (parseOnly) {
        int r = SbrParseFrameList(&s->dec, &now);
        if (r == kSbrOk && s->dec.psFound) *channels = 2;
        return r;
    }
    if (!pcm) return kSbrNotDecodable;
    // The core's PCM runs one frame behind its input: so do the payloads.
    SbrPayloadList prev;
    int prevGood = 0;
    SbrPayloadDelayPush(&s->delay, &now, frameGood, &prev, &prevGood);
    if (!prevGood) prev.count = 0;  // the DSP side conceals from the last data
    prev.frameGood = prevGood;
    int ch = *channels;
    if (ch == 2 && monoOutput == 1) {
        for (int i = 0; i < 1024; i++)
            pcm[i] = (int16_t)((pcm[kPcmStride + i] >> 1) + (pcm[i] >> 1));
        ch = 1;
    }
    s->dec.monoMerge = ch != *channels;
    s->dec.disabled[0] = enable0 == 0;
    s->dec.disabled[1] = enable1 == 0;
    // In place on the core's buffer: each channel's 1024 samples become its
    // 2048 (or 1024) output samples, channel 1 still at the same stride.
    int r = SbrDecodeFrameList(&s->dec, &prev, pcm, kPcmStride, ch, pcm, kPcmStride);
    if (r != kSbrOk) return r;
    *channels = s->dec.outChannels;
    return kSbrOk;
}

int32_t SbrPsFound(const void* sbrState) {
    return sbrState ? static_cast<const SbrHookState*>(sbrState)->dec.psFound : 0;
}

void SbrClearHistories(void* sbrState) {
    if (sbrState) SbrClearChannelHistories(&static_cast<SbrHookState*>(sbrState)->dec);
}
