// Fixed-point HE-AAC v2 decoder: public interface.
// Plain functions over caller-allocated memory tables; no allocation, no
// threads, no I/O. One instance is used by one thread at a time.
#ifndef CODECS_AAC_AAC_DEC_H
#define CODECS_AAC_AAC_DEC_H

#include <stdint.h>

// Result codes. 0 is success; 4096+n stream faults, 8192+n interface and
// format faults, 4352+n SBR faults, 0x8xxxxxxx system-style failures.
enum {
    AAC_OK = 0,
    AAC_E_POINTER = (int32_t)0x80004003,
    AAC_E_INVALIDARG = (int32_t)0x80070057,
    AAC_E_HANDLE = (int32_t)0x80070006,
    AAC_E_UNEXPECTED = (int32_t)0x8000FFFF,

    AAC_E_INTERFACE = 8192,
    AAC_E_NOSYNC = 8194,
    AAC_E_OUTBUF = 8196,
    AAC_E_NOTINIT = 8200,
    AAC_E_FORMAT = 8203,

    AAC_E_ADTS = 4098,
    AAC_E_ADIF = 4100,
    AAC_E_BANDS = 4102,
    AAC_E_CRC = 4103,
    AAC_E_CODEBOOK = 4104,
    AAC_E_CHANNELS = 4105,  // more than two channels, or a failing program config element
    AAC_E_PREDICTION = 4106,
    AAC_E_COUPLING = 4107,
    AAC_E_GAINCONTROL = 4108,
    AAC_E_TNS = 4115,

    AAC_SBR_ERROR_BASE = 4352
};

enum { AAC_MEM_TABLE_COUNT = 5 };

// One memory table. In the decoder's namespace: the video decoder has a
// table record of its own under the same name.
namespace aac {
struct MemTable {
    uint32_t size;       // bytes, filled by AacDecGetMemTables
    uint32_t alignment;  // always 4
    void* pointer;       // the caller's block
};
}  // namespace aac

// Thirteen 32-bit words; see each field.
struct AacDecConfig {
    int32_t sampleRate;      // in at init; out: output rate (doubled by full-rate SBR)
    int32_t channels;        // out: 1 or 2
    int32_t sbrPresent;      // out: SBR data found and the SBR decoder active
    int32_t psPresent;       // out: parametric stereo found
    int32_t bytesUsed;       // out: input bytes used by the call
    int32_t frameLost;       // in: 1 = conceal this access unit instead of parsing
    int32_t disableCh0;      // in: channel 0 not synthesised (zeroed); cleared by init
    int32_t disableCh1;      // in: channel 1 likewise
    int32_t skipSbr;         // in: skip the SBR step; cleared by init
    int32_t sbrDownSampled;  // in: SBR keeps the core rate and frame length
    int32_t monoOutput;      // in: one channel after the SBR step
    int32_t sbrKernel;       // in: 0 automatic, 1 real-valued set, 2 complex set
    int32_t transport;       // in at init: 0 detect, 1 ADTS, 2 ADIF; out: 0 raw, 1 ADTS, 2 ADIF
};

struct AacDecInput {
    int32_t bytes;      // bytes to decode (> 0)
    int32_t available;  // bytes readable from data (>= bytes)
    const uint8_t* data;
};

struct AacDecOutput {
    int32_t bytesProduced;  // out
    int32_t capacity;       // in: at least 8192
    int16_t* pcm;           // planar: channel 0 at 0, channel 1 at sample 2048
};

struct AacDecInfo {
    uint32_t version[3];
    char name[32];
    char maker[32];
};

enum {
    AAC_PCM_CHANNEL_STRIDE = 2048,  // samples between the two planes
    AAC_MIN_OUTPUT_BYTES = 8192
};

struct AacDecHandle;

void AacDecGetInfo(AacDecInfo* info);
int32_t AacDecGetMemTableCount(void);
int32_t AacDecGetMemTables(aac::MemTable* tables);
int32_t AacDecInit(const char* interfaceVersion, AacDecHandle** handleOut, AacDecConfig* config,
                   aac::MemTable* tables);
int32_t AacDecProbeFrame(AacDecHandle* handle, AacDecConfig* config, const AacDecInput* input);
int32_t AacDecDecodeFrame(AacDecHandle* handle, AacDecConfig* config, const AacDecInput* input,
                          AacDecOutput* output);
int32_t AacDecClose(AacDecHandle* handle);

void AacCopyText(char* dst, const char* src);
int32_t AacCompareText(const char* a, const char* b);

#endif
