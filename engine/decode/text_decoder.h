// Text-track decoder: one sample of the selected text track into a
// SubtitleFrame of coloured UTF-16 runs. "T140" is ITU-T T.140 text (UTF-8
// with ECMA-48 SGR colour sequences), "SAMI" UTF-16 markup with br and font
// tags; "BLBX", the recorder's data track, is consumed without drawing
// anything (the application reads those records itself).
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <cstdint>

#include "engine/media_info.h"
#include "engine/input/media_sample.h"

enum : uint32_t {
    SUBTITLE_MAX_RUNS = 32,
    SUBTITLE_RUN_CHARS = 128,  // NUL-terminated, at most 127 used
};

struct SubtitleRun {
    uint32_t color;   // COLORREF 0x00BBGGRR
    uint32_t length;  // T.140: the run's character count; SAMI: 0
    char16_t text[SUBTITLE_RUN_CHARS];
};

struct SubtitleFrame {
    SubtitleRun runs[SUBTITLE_MAX_RUNS];
    uint32_t run_count;
    uint32_t time;  // ms, the sample's time
};

struct TextDecoder {
    uint32_t codec;       // "T140", "SAMI" or "BLBX" in memory order
    uint32_t foreground;  // persists from sample to sample
    uint32_t background;
    char16_t text[129];    // converted T.140 text
    char16_t params[128];  // SGR parameters being collected
};

// For the track's codec: 0; 0x80000001 when the allocation fails;
// 0x80000035 for a codec other than T140, SAMI and BLBX.
int32_t TextDecoder_Create(TextDecoder** out, const TextTrackInfo* track);
void TextDecoder_Destroy(TextDecoder* decoder);  // null ignored
// Consumes the whole sample (data moves past it, length becomes 0) and sets
// the frame's time; T140 and SAMI rewrite the runs and the run count, BLBX
// leaves them. 1.
int TextDecoder_Decode(TextDecoder* decoder, MediaSample* sample, SubtitleFrame* frame);
// Applies an SGR parameter string ("31", "0;47", ...) of count characters
// to the decoder's colours.
void TextSgr_Apply(TextDecoder* decoder, const char16_t* params, uint32_t count);

// Colour by name, case-insensitive; a name that begins with a known name
// matches it; anything unknown is white.
uint32_t TextColor_FromName(const char* name);
uint32_t TextColor_FromNameW(const char16_t* name);
// One SGR code applied to the colours (unknown codes change nothing).
void TextColor_FromSgr(uint32_t code, uint32_t* foreground, uint32_t* background);
