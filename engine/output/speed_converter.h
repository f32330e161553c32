// Playback speed and format converter: resamples the planar 16-bit PCM of
// the audio renderer (so a device that cannot change its rate still plays
// faster or slower) and converts between one and two channels. Resampling is
// FFmpeg's band-limited resampler: 16 taps, 1024 phases, no interpolation
// between phases, cut-off 1.0, Blackman-Nuttall window.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <cstdint>

#include "engine/output/audio_renderer.h"

struct SpeedConverter;

// Null when channels is 0 or above 2, or when memory runs out.
SpeedConverter* SpeedConverter_Create(uint32_t inRate, uint32_t inChannels,
                                      uint32_t samplesPerFrame, uint32_t pcmBufferSize);
void SpeedConverter_Destroy(SpeedConverter* c);

// 1 on success; 0 for speed 0 (the converter keeps its previous speed) or
// when the resampler or an output buffer cannot be made.
int SpeedConverter_SetSpeed(SpeedConverter* c, uint32_t percent);
// Output rate (0 or the input rate: keep the rate) and channels (0: keep).
int SpeedConverter_SetFormat(SpeedConverter* c, uint32_t rate, uint32_t channels, int grow);

// Converts a planar block in place: on return the block's planes point at
// the converter's buffers and its count is the number of output samples
// (time kept). 1 on success; 0 when the block does not fit in the room the
// converter keeps (nothing is taken then and the block is left unchanged).
int SpeedConverter_Process(SpeedConverter* c, PcmBlock* in, PcmBlock* out);
uint32_t SpeedConverter_GetOutputCapacity(const SpeedConverter* c);

// Resampler output rate now in effect (for tests and the renderer).
uint32_t SpeedConverter_GetResampleRate(const SpeedConverter* c);

void MixStereoToMono(int16_t* dst, const int16_t* left, const int16_t* right, uint32_t count);
void CopyMonoToPlanes(int16_t* first, int16_t* second, const int16_t* src, uint32_t count);
