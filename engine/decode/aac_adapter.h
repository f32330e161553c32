// The engine's AAC adapter over the codec in codecs/aac: sets the decoder up
// from the track record and the first packet, and decodes packets into
// planar 16-bit PCM.
#ifndef ENGINE_AAC_ADAPTER_H
#define ENGINE_AAC_ADAPTER_H

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <stdint.h>

enum {
    AAC_ADAPTER_MAX_SAMPLES = 2048,  // per channel and frame
    AAC_ADAPTER_REST_DROPPED = 1,    // flags of AacAdapter_Decode
    AAC_ADAPTER_FRAME_PRODUCED = 2
};

// The fields of the audio track record the adapter reads and writes.
struct AacAdapterTrack {
    int32_t codecTag;    // 255 AAC, 254 with SBR, 253 with SBR and PS (written back)
    int32_t sampleRate;  // in: from the container; out: output rate
    int32_t channels;    // in / out
    int32_t bitsPerSample;
    int32_t samplesPerFrame;  // out
    int32_t configLength;     // AudioSpecificConfig bytes (0 = none)
    uint8_t config[128];
};

struct AacAdapter;

// 0 or an engine result code (0x80000001 memory, 0x80000033 init failed).
int32_t AacAdapter_Open(AacAdapter** out, const uint8_t* firstPacket, int32_t length,
                        AacAdapterTrack* track);

// Decodes frames from data[0..length) while they fit in `room` samples per
// channel: left and right planes receive the samples (right only for
// stereo). Returns the bytes consumed; *count = samples per channel written;
// *flags = AAC_ADAPTER_REST_DROPPED / AAC_ADAPTER_FRAME_PRODUCED.
int32_t AacAdapter_Decode(AacAdapter* a, const uint8_t* data, int32_t length, int16_t* left,
                          int16_t* right, int32_t room, int32_t* count, int32_t* flags);

// As AacAdapter_Decode without flags.
int32_t AacAdapter_DecodeInto(AacAdapter* a, const uint8_t* data, int32_t length, int16_t* left,
                              int16_t* right, int32_t room, int32_t* count);

void AacAdapter_Reset(AacAdapter* a);
void AacAdapter_Close(AacAdapter* a);

#endif
