// PCM adapter: 16-bit and 8-bit PCM packets into the planar write area.
#include <cstring>

#include "engine/decode/audio_decoder.h"
#include "engine/output/audio_renderer.h"

PlayerResult PcmAdapter_Init(AudioDecoder* d, MediaSample*, AudioTrackInfo* track) {
    d->outputRate = track->sampleRate;
    d->channels = track->channels == 2 ? 2 : 1;
    if (d->bitsPerSample != 8) d->bitsPerSample = 16;
    return 0;
}

namespace {

int16_t Sample(const uint8_t* p, uint32_t bits) {
    if (bits == 8) return (int16_t)(((int)p[0] - 128) * 256);  // unsigned 8-bit around 128
    return (int16_t)(p[0] | (p[1] << 8));
}

}  // namespace

PlayerResult PcmAdapter_Decode(AudioDecoder* d, MediaSample* packet, PcmBlock* area) {
    const uint32_t bytes = d->bitsPerSample == 8 ? 1 : 2;
    const uint32_t frame = bytes * d->channels;
    uint32_t count = packet->length / frame;
    if (count > area->room) {
        count = area->room;
        d->frameProduced = 1;
    }
    const uint8_t* p = packet->data;
    for (uint32_t i = 0; i < count; i++, p += frame) {
        int16_t l = Sample(p, d->bitsPerSample);
        if (area->interleaved) {
            area->interleaved[i * d->channels] = l;
            if (d->channels == 2)
                area->interleaved[i * 2 + 1] = Sample(p + bytes, d->bitsPerSample);
        } else {
            area->left[i] = l;
            if (d->channels == 2 && area->right)
                area->right[i] = Sample(p + bytes, d->bitsPerSample);
        }
    }
    area->count = count;
    if (count > 0) d->frameProduced = 1;
    uint32_t used = count * frame;
    // A trailing partial sample frame cannot be used.
    if (count == packet->length / frame) used = packet->length;
    packet->data += used;
    packet->length -= used;
    return (PlayerResult)used;
}

extern const AudioAdapterOps kPcmAdapterOps = {PcmAdapter_Init, nullptr, PcmAdapter_Decode,
                                               nullptr};
