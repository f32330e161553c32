// The Windows output devices: the wave output (audio device type 2) and the
// DirectDraw output (display type 1), and the hook for the text drawn over
// each picture.
#pragma once

#include <cstdint>

// Frame time in ms, the 4096-byte text buffer, the length (4096 on entry;
// set to the text length, 0 for no text).
typedef void (*FrameTextCallback)(uint32_t* timeMs, char* text, uint32_t* length);

enum : uint32_t { DDRAW_TEXT_BUFFER_SIZE = 4096 };

// Install the devices in the renderers' tables.
void WaveOut_Register();
void DdrawOutput_Register();

// Kept until the next open or close of the DirectDraw output.
void DdrawRendererSetTextCallback(FrameTextCallback callback);

struct AudioOutputDevice;
struct DisplayDevice;
// The operation tables themselves, for callers that wrap them (measuring).
const AudioOutputDevice* WaveOut_Device();
const DisplayDevice* DdrawOutput_Device();
