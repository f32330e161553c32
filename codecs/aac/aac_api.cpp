// Decoder interface: memory tables, initialisation, transport detection and
// the frame calls around the core and the SBR stage.
#include <string.h>

#include "codecs/aac/aac_internal.h"

namespace {

// The tables' sizes. The handle (table 0) sits at the start of its block,
// moved up only where pointers need more than the 4-byte alignment the
// caller gives (64-bit builds). The work buffers of table 3 are used from
// (pointer + 32) rounded down to 32 bytes; table 4 from its start. Table 3
// serves the core during its part of the frame and then lends the SBR stage
// its QMF slots of the frame. The decoder state (table 1) and the work area
// (table 2) hold more than the 18296 and 16568 bytes of the original layout
// and are used from their pointers rounded up to 32 bytes: table 1 keeps
// both channels' spectra at 32 bits (the core decodes and conceals them in
// place), and table 2 the SBR stage's per-channel state (kept overlap slots,
// 16-bit synthesis history), the parametric-stereo state and its second
// channel's frame slots (parametric stereo writes a whole frame before
// either channel is synthesised, so that channel cannot yet reuse the
// first one's slots).
const uint32_t kSlack = 32;
const uint32_t kHandleBytes =
    (uint32_t)(sizeof(AacDecHandle) + (alignof(AacDecHandle) > 4 ? alignof(AacDecHandle) - 4 : 0));
const uint32_t kScratchBytes = 16928;
const uint32_t kSpareBytes = 3944;

static_assert(sizeof(AacScratch) + 32 <= kScratchBytes, "work buffers exceed table 3");
static_assert(AAC_SBR_WORK_BYTES + 32 <= kScratchBytes, "the SBR work slots exceed table 3");
static_assert(sizeof(AacSpare) <= kSpareBytes, "spare buffers exceed table 4");
static_assert(alignof(AacSpare) <= 4, "table 4 is used at the caller's 4-byte alignment");
#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(AacDecHandle) == 16 && kHandleBytes == 16, "the handle is four pointers");
// Tables 1 and 2 as laid out today; a record that grows shows here.
static_assert(sizeof(AacDecState) + kSlack <= 25552, "decoder state grew");
static_assert(sizeof(AacWorkArea) + kSlack <= 59728, "work area grew");
#endif

const uint32_t kTableSizes[AAC_MEM_TABLE_COUNT] = {
    kHandleBytes,
    (uint32_t)sizeof(AacDecState) + kSlack,
    (uint32_t)sizeof(AacWorkArea) + kSlack,
    kScratchBytes,
    kSpareBytes,
};

template <typename T>
T* Align32(void* p) {
    return (T*)(((uintptr_t)p + 31) & ~(uintptr_t)31);
}

template <typename T>
T* AlignFor(void* p) {
    const uintptr_t a = alignof(T);
    return (T*)(((uintptr_t)p + a - 1) & ~(a - 1));
}

int RateIndex(int32_t rate) {
    for (int i = 0; i < 12; i++)
        if (kAacSampleRates[i] == rate) return i;
    return -1;
}

int32_t CheckHandle(AacDecHandle* h) {
    if (!h) return AAC_E_HANDLE;
    if (!h->state || !h->work || !h->scratch || !h->spare) return AAC_E_UNEXPECTED;
    return 0;
}

int32_t CheckInput(const AacDecInput* in) {
    if (!in) return AAC_E_POINTER;
    if (!in->data) return AAC_E_INVALIDARG;
    if (in->available < in->bytes || in->bytes <= 0) return AAC_E_INVALIDARG;
    return 0;
}

// Transport detection; sets up the reader on the frame. Returns 0 or an error.
int32_t Detect(AacDecState* s, const AacDecInput* in, int32_t* skippedOut) {
    AacBitReader* r = &s->reader;
    *skippedOut = 0;
    AacBitsInitBytes(r, in->data, in->bytes);
    r->bitsLeft = in->bytes * 8;
    if (s->framesDecoded == 0 && in->bytes >= 4 && AacCheckAdifId(r))
        s->transport = AAC_TRANSPORT_ADIF;
    const int search = s->transport == AAC_TRANSPORT_RAW && s->rateUnknown;
    if (search || s->transport == AAC_TRANSPORT_ADTS) {
        for (int32_t off = 0; off < in->bytes; off++) {
            AacBitReader t;
            AacBitsInitBytes(&t, in->data + off, in->bytes - off);
            t.bitsLeft = (in->bytes - off) * 8;
            int32_t len;
            if (in->bytes - off >= 7 && AacCheckAdtsHeader(&t, &len)) {
                *r = t;
                *skippedOut = off;
                s->transport = AAC_TRANSPORT_ADTS;
                return 0;
            }
        }
        return search ? AAC_E_NOSYNC : AAC_E_ADTS;
    }
    if (s->transport == AAC_TRANSPORT_RAW && s->framesDecoded == 0) {
        int32_t len;
        if (in->bytes >= 7 && AacCheckAdtsHeader(r, &len)) s->transport = AAC_TRANSPORT_ADTS;
    }
    return 0;
}

int32_t TransportWord(const AacDecState* s) {
    return s->transport == AAC_TRANSPORT_ADTS ? 1 : (s->transport == AAC_TRANSPORT_ADIF ? 2 : 0);
}

int32_t BytesUsed(const AacDecState* s, int32_t skipped, int32_t limit) {
    int32_t used = skipped + (s->reader.bitsRead + 7) / 8;
    return used > limit ? limit : used;
}

int32_t DecodeCommon(AacDecHandle* h, AacDecConfig* cfg, const AacDecInput* in, AacDecOutput* out,
                     int probe) {
    AacDecState* s = h->state;
    int32_t skipped = 0;
    int lost = !probe && cfg->frameLost == 1;
    if (!lost) {
        int32_t err = Detect(s, in, &skipped);
        cfg->transport = TransportWord(s);
        if (err) {
            cfg->bytesUsed = 0;
            return err;
        }
    } else {
        AacBitsInitBytes(&s->reader, in->data, in->bytes);
        s->reader.bitsLeft = in->bytes * 8;
    }
    if (lost) {
        s->frameOkInput = 0;
        s->lostFrames++;
    } else {
        s->frameOkInput = 1;
        s->lostFrames = 0;
    }
    int16_t dummy[1];
    s->pcm = out ? out->pcm : dummy;
    AacFrameOut fo;
    memset(&fo, 0, sizeof(fo));
    const int enable0 = probe || cfg->disableCh0 != 1;
    const int enable1 = probe || cfg->disableCh1 != 1;
    int32_t core = AacDecodeRawDataBlock(s, h->work, h->scratch, &fo, s->frameOkInput, probe,
                                         enable0, enable1);
    if (core == -1 || (core != 0 && core < 4101) || core == AAC_E_FORMAT) {
        cfg->bytesUsed = BytesUsed(s, skipped, in->bytes);
        return core;
    }
    if (probe && core != 0) {
        cfg->bytesUsed = BytesUsed(s, skipped, in->bytes);
        return core;
    }
    if (core != 0) s->sbrPayloads.count = 0;
    s->channels = fo.channels;
    s->frameLength = 1024;
    s->outputRate = fo.sampleRate;

    int32_t sbrResult = 0;
    int32_t sbrExtraBytes = 0;
    cfg->sbrPresent = s->sbrPayloads.count > 0;
    if (s->sbrPayloads.count > 0 && !s->sbrInitialised) {
        int32_t kernel = 0;
        if (!probe) {
            if (cfg->sbrKernel == 0)
                kernel = fo.channels == 1 ? 1 : 0;
            else
                kernel = cfg->sbrKernel == 2 ? 1 : 0;
        }
        s->sbrInitialised =
            SbrDecoderInit(h->work->sbr, fo.sampleRate, 1024, cfg->sbrDownSampled, kernel,
                           h->scratch)
                ? 1
                : 0;
    }
    if (s->sbrInitialised && (probe || cfg->skipSbr != 1)) {
        int32_t ch = s->channels;
        int32_t lastBytes = 0, usedBytes = 0;
        int32_t r = SbrFrameStep(h->work->sbr, &s->sbrPayloads, s->pcm, &ch, cfg->sbrDownSampled,
                                 probe ? 0 : cfg->monoOutput, s->frameOk, probe, enable0, enable1,
                                 &lastBytes, &usedBytes);
        (void)usedBytes;
        if (r != 0) {
            sbrResult = AAC_SBR_ERROR_BASE + r;
        } else {
            // The probe reports the output as the frames will give it.
            if (cfg->sbrDownSampled == 0) {
                s->frameLength = 2048;
                s->outputRate = fo.sampleRate * 2;
            }
            s->channels = ch;
        }
        if (!probe && cfg->monoOutput == 1) s->channels = 1;
    }

    if (probe) {
        cfg->psPresent = SbrPsFound(h->work->sbr) ? 1 : 0;
        if (cfg->psPresent) s->channels = 2;
        cfg->channels = s->channels;
        cfg->sampleRate = s->outputRate;
        cfg->bytesUsed = BytesUsed(s, skipped, in->bytes);
        if (!s->sbrInitialised) cfg->sbrPresent = 0;
        s->sbrInitialised = 0;
        memset(s->fb[0].overlap, 0, sizeof(s->fb[0].overlap));
        memset(s->fb[1].overlap, 0, sizeof(s->fb[1].overlap));
        SbrClearHistories(h->work->sbr);
        return 0;
    }

    int32_t produced = s->channels * s->frameLength * 2;
    s->framesDecoded++;
    if (!(lost && s->lostFrames >= 2)) {
        if (cfg->disableCh0 == 1)
            memset(s->pcm, 0, (size_t)s->frameLength * 2);
        else if (cfg->disableCh1 == 1 && s->channels == 2)
            memset(s->pcm + AAC_PCM_CHANNEL_STRIDE, 0, (size_t)s->frameLength * 2);
    }
    cfg->psPresent = SbrPsFound(h->work->sbr) ? 1 : 0;
    cfg->channels = s->channels;
    cfg->sampleRate = s->outputRate;
    cfg->bytesUsed = BytesUsed(s, skipped, in->bytes) + sbrExtraBytes;
    if (cfg->bytesUsed > in->bytes) cfg->bytesUsed = in->bytes;
    if (!s->sbrInitialised) cfg->sbrPresent = 0;
    out->bytesProduced = s->framesDecoded == 1 ? 0 : produced;
    return core ? core : sbrResult;
}

}  // namespace

void AacDecGetInfo(AacDecInfo* info) {
    if (!info) return;
    memset(info, 0, sizeof(*info));
    info->version[0] = 3;
    info->version[1] = 2;
    info->version[2] = 1;
    AacCopyText(info->name, "HE-AAC v2 fixed-point decoder");
    AacCopyText(info->maker, "dashcam player");
}

int32_t AacDecGetMemTableCount(void) { return AAC_MEM_TABLE_COUNT; }

int32_t AacDecGetMemTables(aac::MemTable* tables) {
    if (!tables) return AAC_E_POINTER;
    for (int i = 0; i < AAC_MEM_TABLE_COUNT; i++) {
        tables[i].size = kTableSizes[i];
        tables[i].alignment = 4;
    }
    return 0;
}

int32_t AacDecInit(const char* interfaceVersion, AacDecHandle** handleOut, AacDecConfig* config,
                   aac::MemTable* tables) {
    if (!handleOut) return AAC_E_POINTER;
    *handleOut = nullptr;
    if (!config || !tables) return AAC_E_POINTER;
    if (!interfaceVersion || AacCompareText(interfaceVersion, "3.2") != 0) return AAC_E_INTERFACE;
    for (int i = 0; i < AAC_MEM_TABLE_COUNT; i++) {
        if (!tables[i].pointer || ((uintptr_t)tables[i].pointer & 3) ||
            tables[i].size < kTableSizes[i])
            return AAC_E_INVALIDARG;
    }
    for (int i = 0; i < AAC_MEM_TABLE_COUNT; i++) memset(tables[i].pointer, 0, kTableSizes[i]);
    AacDecHandle* h = AlignFor<AacDecHandle>(tables[0].pointer);
    h->state = Align32<AacDecState>(tables[1].pointer);
    h->work = Align32<AacWorkArea>(tables[2].pointer);
    h->scratch = (AacScratch*)(((uintptr_t)tables[3].pointer + 32) & ~(uintptr_t)31);
    h->spare = (AacSpare*)tables[4].pointer;
    *handleOut = h;

    AacDecState* s = h->state;
    s->stats = &h->work->stats;
    s->initialised = 0;
    s->sbrInitialised = 0;
    s->transport = config->transport == 1
                       ? AAC_TRANSPORT_ADTS
                       : (config->transport == 2 ? AAC_TRANSPORT_ADIF : AAC_TRANSPORT_RAW);
    config->disableCh0 = 0;
    config->disableCh1 = 0;
    config->skipSbr = 0;
    if (config->sbrDownSampled != 1) config->sbrDownSampled = 0;
    if (config->monoOutput != 1) config->monoOutput = 0;
    int idx = RateIndex(config->sampleRate);
    s->rateUnknown = idx < 0;
    if (idx < 0) idx = 0;
    s->info.sfIndex = (int8_t)idx;
    s->info.sampleRate = kAacSampleRates[idx];
    s->info.objectType = 2;
    s->info.frameLength = 1024;
    s->info.channels =
        (uint8_t)(config->channels == 1 || config->channels == 2 ? config->channels : 0);
    s->frameLength = 1024;
    s->outputRate = s->info.sampleRate;
    AacCrcInit(&s->crc);
    for (int ch = 0; ch < 2; ch++) {
        AacConcealReset(&s->conceal[ch]);
        s->ch[ch].sfIndex = (int8_t)idx;
        s->pns[ch].seed = (uint16_t)(ch ? 0x3A5C : 0x1F2E);
    }
    s->framesDecoded = 0;
    s->initialised = 1;
    return 0;
}

int32_t AacDecProbeFrame(AacDecHandle* handle, AacDecConfig* config, const AacDecInput* input) {
    int32_t err = CheckHandle(handle);
    if (err) return err;
    if ((err = CheckInput(input)) != 0) return err;
    if (!handle->state->initialised) return AAC_E_NOTINIT;
    if (!config) return AAC_E_POINTER;
    return DecodeCommon(handle, config, input, nullptr, 1);
}

int32_t AacDecDecodeFrame(AacDecHandle* handle, AacDecConfig* config, const AacDecInput* input,
                          AacDecOutput* output) {
    int32_t err = CheckHandle(handle);
    if (err) return err;
    if (!handle->state->initialised) return AAC_E_NOTINIT;
    if ((err = CheckInput(input)) != 0) return err;
    if (!output) return AAC_E_POINTER;
    if (output->capacity <= 0) return AAC_E_INVALIDARG;
    if (!config) return AAC_E_POINTER;
    if (output->capacity < AAC_MIN_OUTPUT_BYTES) return AAC_E_OUTBUF;
    if (!output->pcm) return AAC_E_POINTER;
    output->bytesProduced = 0;
    return DecodeCommon(handle, config, input, output, 0);
}

int32_t AacDecClose(AacDecHandle* handle) {
    int32_t err = CheckHandle(handle);
    if (err) return err;
    if (!handle->state->initialised) return AAC_E_NOTINIT;
    handle->state->initialised = 0;
    handle->state->framesDecoded = 0;
    handle->state->sbrInitialised = 0;
    return 0;
}

void AacCopyText(char* dst, const char* src) {
    while ((*dst++ = *src++) != 0) {}
}

int32_t AacCompareText(const char* a, const char* b) {
    while (*a && *a == *b) {
        a++;
        b++;
    }
    unsigned char x = (unsigned char)*a, y = (unsigned char)*b;
    return x < y ? -1 : (x > y ? 1 : 0);
}
