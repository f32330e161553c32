// The meeting point between the AAC core and the SBR / parametric-stereo
// stage. The core lists the SBR extension payloads of each frame's fill
// elements here and hands its 16-bit planar PCM to the SBR stage, which runs
// in place on it.
#ifndef CODECS_AAC_AAC_SBR_HOOK_H
#define CODECS_AAC_AAC_SBR_HOOK_H

#include <stdint.h>

// One SBR extension payload of a fill element. The data begin just after the
// 4-bit extension type: at bit bitPos (0..15, MSB first) of the big-endian
// 16-bit word at wordPtr (an even address inside the caller's input), and
// hold byteCount * 8 - 4 bits. Valid during the frame call only.
struct AacSbrPayload {
    int32_t elementId;  // element the fill element followed: 0 SCE, 1 CPE
    int32_t extType;    // 13 (EXT_SBR_DATA) or 14 (EXT_SBR_DATA_CRC)
    int32_t byteCount;  // the fill element's byte count
    int32_t bitPos;
    const uint8_t* wordPtr;
    const uint8_t* dataBegin;  // readable input bytes are [dataBegin, dataEnd)
    const uint8_t* dataEnd;
};

// Rebuilt by every frame's fill elements, emptied by a bad frame. A count
// above 0 is the SBR-present flag.
struct AacSbrPayloadList {
    int32_t count;  // 0..2
    AacSbrPayload entry[2];
};

// Bytes reserved in the decoder tables for the SBR and parametric-stereo
// state (header state, QMF histories, payload store, PS state). Zeroed by
// AacDecInit. The SBR module checks its record fits with a static_assert.
enum { AAC_SBR_STATE_BYTES = 59648 };

// Bytes of frame-local work memory the SBR stage takes (its QMF slots of
// the frame), 32-byte aligned. The SBR step runs after the core has finished
// its frame, so the core's work buffers can lend it theirs.
enum { AAC_SBR_WORK_BYTES = 33 * 512 };

// Implemented by the SBR module.
//
// Sets the SBR decoder up lazily on the first frame with SBR data.
// coreRate: the core's output rate; coreFrameLength: 1024; work: the
// AAC_SBR_WORK_BYTES of work memory used by every frame step.
// Returns 1 on success, 0 on failure (SBR then stays off for the stream).
int32_t SbrDecoderInit(void* sbrState, int32_t coreRate, int32_t coreFrameLength,
                       int32_t downSampled, int32_t kernelFlag, void* work);

// One SBR frame step on the core's PCM (planar int16, channel 1 at
// pcm + 2048, room for 2048 samples per channel). *channels is the core's
// channel count on entry and the output count on return. Returns 0, 13
// (SBR data missing or not decodable) or 14 (PS in a channel pair); the
// frame call adds 4352 to a non-zero result. On 0 with downSampled 0 the
// frame holds 2048 samples per channel.
int32_t SbrFrameStep(void* sbrState, const AacSbrPayloadList* payloads, int16_t* pcm,
                     int32_t* channels, int32_t downSampled, int32_t monoOutput, int32_t frameGood,
                     int32_t parseOnly, int32_t enable0, int32_t enable1, int32_t* lastPayloadBytes,
                     int32_t* bytesUsed);

// 1 once parametric stereo data were found.
int32_t SbrPsFound(const void* sbrState);

// The probe's clean-up: clears the two channels' QMF histories.
void SbrClearHistories(void* sbrState);

#endif
