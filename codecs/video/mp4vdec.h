// MPEG-4 part 2 / H.263 video decoder: public interface.
//
// The decoder allocates nothing: the caller asks for four memory tables,
// allocates them and hands them over with its frame buffers. All state lives
// in those tables; messages go only through the caller's print function.
#pragma once
#include <stdint.h>

// One memory table: the caller allocates `size` bytes and fills `pointer`.
// In the decoder's namespace: the AAC decoder has a table record of its own.
namespace m4v {
struct MemTable {
    void* pointer;
    uint32_t size;
};
}  // namespace m4v

#ifdef __cplusplus
extern "C" {
#endif

typedef void (*Mp4vDecPrintFn)(const char* text);

typedef struct Mp4vDecStreamInfo {
    const uint8_t* configData;  // VOS/VO/VOL headers or the first H.263 picture
    uintptr_t reserved1;
    uint32_t configSize;
    uint32_t reserved3;
    uint32_t reserved4;
    int32_t iIsShortHdrMode;  // 0 MPEG-4, 1 H.263, -1 decide from the config
    int32_t postFilter;       // non-zero: deblock every output picture
    int32_t lowDelay;         // non-zero: output each picture at once
} Mp4vDecStreamInfo;

typedef struct Mp4vDecFrameBuffer {
    uint8_t* y;
    uint8_t* u;
    uint8_t* v;
    uintptr_t unused;
} Mp4vDecFrameBuffer;

typedef struct Mp4vDecInitConfig {
    Mp4vDecStreamInfo* streamInfo;
    Mp4vDecFrameBuffer* frameBuffers;
    uint32_t uFrmBufferNum;
    uint32_t uMaxDecodableWidth;
    uint32_t uMaxDecodableHeight;
    Mp4vDecPrintFn print;
} Mp4vDecInitConfig;

typedef struct Mp4vDecInitResult {
    int32_t* streamKind;  // receives 0 MPEG-4, 1 short header
    uint32_t width;
    uint32_t height;
} Mp4vDecInitResult;

typedef struct Mp4vDecInput {
    uintptr_t reserved0;
    const uint8_t* data;
    uint32_t size;  // 0 = end of stream
    uint32_t completeUnit;
    uintptr_t reserved4;
    uint32_t immediateOutput;
} Mp4vDecInput;

typedef struct Mp4vDecOutput {
    int32_t* result;  // {picture type or -1, 90 kHz ticks since the last output}
    uint32_t width;
    uint32_t height;
    uint32_t stride;
    uint8_t* y;
    uint8_t* u;
    uint8_t* v;
    uintptr_t reserved7;
    uint32_t decodedPercent;
    uint8_t* mbStatus;
} Mp4vDecOutput;

typedef struct Mp4vDecoder Mp4vDecoder;

uint32_t* Mp4vDecGetVersion(uint32_t* words);
int Mp4vDecGetMemTableCount(void);
int Mp4vDecGetMemTables(const Mp4vDecInitConfig* config, m4v::MemTable* tables);
int Mp4vDecParseConfig(const Mp4vDecInitConfig* config, Mp4vDecInitResult* result);
Mp4vDecoder* Mp4vDecInit(m4v::MemTable* tables, const Mp4vDecInitConfig* config,
                         Mp4vDecInitResult* result);
int Mp4vDecIsKeyFrame(Mp4vDecoder* dec, const Mp4vDecInput* input);
uint32_t Mp4vDecDecodeFrame(Mp4vDecoder* dec, const Mp4vDecInput* input, Mp4vDecOutput* output);
int Mp4vDecClose(Mp4vDecoder* dec, m4v::MemTable* tables);

#ifdef __cplusplus
}
#endif
