// The decoder's interface operations.
#include "codecs/video/m4v_internal.h"

namespace {

const uint32_t kHeaderOffset = 244;  // frame records follow the stream header

// The context sits at the first 4-byte boundary of table 0 (at its own
// alignment where pointers are wider).
const uintptr_t kContextAlign = alignof(Mp4vDecoder) < 4 ? 4 : alignof(Mp4vDecoder);

uint32_t ContextSize() {
    uint32_t n = uint32_t(sizeof(Mp4vDecoder) + kContextAlign - 1);
    return n < 516 ? 516 : n;
}

uint32_t FrameRecordOffset() {
    uint32_t a = uint32_t(alignof(FrameRec));
    return (kHeaderOffset + a - 1) / a * a;
}

template <typename T>
T* AlignPtr(void* p, uintptr_t a) {
    return reinterpret_cast<T*>((reinterpret_cast<uintptr_t>(p) + a - 1) & ~(a - 1));
}

}  // namespace

static_assert(sizeof(StreamHeader) <= 244, "stream header record grew");
// The product's table sizes: a 516-byte table 0 and 28-byte frame records.
#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(Mp4vDecoder) + 3 <= 516, "decoder context outgrew table 0");
static_assert(alignof(Mp4vDecoder) <= 4, "decoder context needs more than 4-byte alignment");
static_assert(sizeof(FrameRec) == 28, "frame record is not 28 bytes");
#endif

uint32_t* Mp4vDecGetVersion(uint32_t* words) {
    words[0] = 3;
    words[1] = 4;
    words[2] = 9;
    return words;
}

int Mp4vDecGetMemTableCount(void) { return 4; }

int Mp4vDecGetMemTables(const Mp4vDecInitConfig* config, m4v::MemTable* tables) {
    uint32_t mbw = (config->uMaxDecodableWidth + 15) / 16;
    uint32_t mbh = (config->uMaxDecodableHeight + 15) / 16;
    tables[0].size = ContextSize();
    tables[1].size = 2 * (4 * mbw * mbh + 2 * mbw * (mbh + 16) + 1468);
    tables[2].size = 25 * mbw * mbh + 28;
    uint32_t rec = uint32_t(sizeof(FrameRec));
    tables[3].size = rec == 28 ? 28 * config->uFrmBufferNum + 248
                               : FrameRecordOffset() + rec * config->uFrmBufferNum + 8;
    return 4;
}

static void InitHeader(StreamHeader* h) {
    memset(h, 0, sizeof(*h));
    h->timeRes = 1;
    h->timeBits = 1;
    h->quant = 1;
    h->fcodeFwd = 1;
    h->fcodeBwd = 1;
    h->intraDcThr = 32;
    h->resyncLen = 17;
}

int Mp4vDecParseConfig(const Mp4vDecInitConfig* config, Mp4vDecInitResult* result) {
    Mp4vDecPrintFn print = config->print;
    const Mp4vDecStreamInfo* si = config->streamInfo;
    if (!si || !si->configData || !si->configSize) {
        if (print) print("ERROR : Config data is NULL\n");
        return -1;
    }
    StreamHeader h;
    InitHeader(&h);
    VBits b;
    VbStart(&b, si->configData, si->configSize);
    int kind;
    // The last byte is not examined for a VOL start code.
    if (M4vHasVolStartCode(si->configData, si->configSize - 1 + (si->configSize > 4 ? 0 : 1))) {
        if (M4vSearchVolHeaders(&b, &h, nullptr) < 0 || h.width == 0) {
            if (print) print("ERROR : Config data is corrupted\n");
            return -1;
        }
        kind = 0;
    } else {
        if (M4vParseH263PictureHeader(&b, &h, nullptr, nullptr) < 0) {
            if (print) print("Error : H.263 picture header corrupted\n");
            return -1;
        }
        kind = 1;
    }
    if (result->streamKind) *result->streamKind = kind;
    result->width = uint32_t(h.width);
    result->height = uint32_t(h.height);
    return 0;
}

Mp4vDecoder* Mp4vDecInit(m4v::MemTable* tables, const Mp4vDecInitConfig* config,
                         Mp4vDecInitResult* result) {
    Mp4vDecPrintFn print = config->print;
    if (config->uMaxDecodableWidth % 16 || config->uMaxDecodableHeight % 16) {
        if (print) print("Error : uMaxDecodableWidth/Height is not multiple of 16\n");
        return nullptr;
    }
    if (config->uFrmBufferNum < 3) {
        if (print) print("Error : uFrmBufferNum is smaller than 3\n");
        return nullptr;
    }
    const Mp4vDecStreamInfo* si = config->streamInfo;
    int haveConfig = si && si->configData && si->configSize;
    if (si && si->iIsShortHdrMode == -1 && !haveConfig) {
        if (print) print("Error : iIsShortHdrMode is -1 but there is no config data\n");
        return nullptr;
    }
    Mp4vDecoder* d = AlignPtr<Mp4vDecoder>(tables[0].pointer, kContextAlign);
    memset(d, 0, sizeof(*d));
    d->print = print;
    for (int i = 0; i < 4; ++i) d->tables[i] = tables[i].pointer;
    d->table1 = static_cast<uint8_t*>(tables[1].pointer);
    d->table2 = static_cast<uint8_t*>(tables[2].pointer);
    d->table1Size = tables[1].size;
    d->table2Size = tables[2].size;
    d->hdr = AlignPtr<StreamHeader>(tables[3].pointer, 4);
    InitHeader(d->hdr);
    d->frames =
        reinterpret_cast<FrameRec*>(AlignPtr<uint8_t>(tables[3].pointer, 4) + FrameRecordOffset());
    d->frameNum = config->uFrmBufferNum;
    for (uint32_t i = 0; i < d->frameNum; ++i) {
        const Mp4vDecFrameBuffer* fb = &config->frameBuffers[i];
        FrameRec* f = &d->frames[i];
        f->y = AlignPtr<uint8_t>(fb->y, 16);
        f->u = AlignPtr<uint8_t>(fb->u, 16);
        f->v = AlignPtr<uint8_t>(fb->v, 16);
        f->type = -1;
        f->decodedCount = 0;
        f->seconds = 0;
        f->increment = 0;
    }
    d->olderRef = &d->frames[0];
    d->newerRef = &d->frames[1];
    d->target = &d->frames[1];
    d->outRec = d->dispRec = nullptr;
    d->maxW = int32_t(config->uMaxDecodableWidth);
    d->maxH = int32_t(config->uMaxDecodableHeight);
    d->postFilter = si ? si->postFilter != 0 : 0;
    d->lowDelay = si ? si->lowDelay != 0 : 0;
    d->state = 0;
    int shortHdr = si ? si->iIsShortHdrMode == 1 : 0;
    if (haveConfig) {
        if (M4vHasVolStartCode(si->configData, si->configSize)) {
            shortHdr = 0;
            VBits b;
            VbStart(&b, si->configData, si->configSize);
            if (M4vSearchVolHeaders(&b, d->hdr, print) < 0 || d->hdr->width == 0) {
                if (print) print("Error : Config data is corrupted\n");
                return nullptr;
            }
            if (M4vLayout(d) < 0) {
                if (print)
                    print(
                        "Error : VOL width/height is zero or larger than "
                        "uMaxDecodableWidth/Height\n");
                return nullptr;
            }
            d->state = 1;
        } else {
            shortHdr = 1;
        }
    }
    d->shortHdr = shortHdr;
    if (shortHdr) d->lowDelay = 1;
    if (result) {
        if (result->streamKind) *result->streamKind = shortHdr;
        result->width = shortHdr ? 0 : uint32_t(d->hdr->width);
        result->height = shortHdr ? 0 : uint32_t(d->hdr->height);
    }
    return d;
}

int Mp4vDecIsKeyFrame(Mp4vDecoder* d, const Mp4vDecInput* input) {
    const uint8_t* p = input->data;
    uint32_t n = input->size;
    if (!p) return -1;
    if (!d->shortHdr) {
        for (uint32_t i = 0; i + 4 < n; ++i)
            if (p[i] == 0 && p[i + 1] == 0 && p[i + 2] == 1 && p[i + 3] == 0xB6)
                return p[i + 4] < 64 ? 1 : 0;
        return -1;
    }
    StreamHeader h = *d->hdr;
    VBits b;
    VbStart(&b, p, n);
    if (M4vParseH263PictureHeader(&b, &h, nullptr, nullptr) < 0) return -1;
    return h.codingType == 0 ? 1 : 0;
}

// Continues the right and bottom edges of a picture whose size is not a
// multiple of 16 over the rest of its macroblocks.
static void ExtendPicture(Mp4vDecoder* d, FrameRec* f) {
    int w = d->layoutW, h = d->layoutH;
    for (int p = 0; p < 3; ++p) {
        uint8_t* base = p == 0 ? f->y : p == 1 ? f->u : f->v;
        int s = p ? d->stride / 2 : d->stride;
        int pw = p ? (w + 1) / 2 : w, ph = p ? (h + 1) / 2 : h;
        int cw = p ? d->stride / 2 : d->stride, ch = p ? d->codedHeight / 2 : d->codedHeight;
        for (int y = 0; y < ph; ++y)
            memset(base + y * s + pw, base[y * s + pw - 1], size_t(cw - pw));
        for (int y = ph; y < ch; ++y) memcpy(base + y * s, base + (ph - 1) * s, size_t(cw));
    }
}

// A buffer that is neither reference: where the end-of-stream picture is
// filtered for display (the display buffer of the last rotation when free).
static FrameRec* FreeFrame(Mp4vDecoder* d) {
    FrameRec* c = d->dispRec;
    if (c && c != d->olderRef && c != d->newerRef) return c;
    for (uint32_t i = 0; i < d->frameNum; ++i) {
        c = &d->frames[i];
        if (c != d->olderRef && c != d->newerRef) return c;
    }
    return nullptr;
}

uint32_t Mp4vDecDecodeFrame(Mp4vDecoder* d, const Mp4vDecInput* input, Mp4vDecOutput* output) {
    d->completeUnit = input->completeUnit != 0;
    d->immediate = input->immediateOutput != 0;
    VbStart(&d->bs, input->data, input->data ? input->size : 0);
    if (d->immediate && d->mbStatus) memset(d->mbStatus, 1, size_t(d->mbCount));
    int complete = 0;
    FrameRec* out = nullptr;
    FrameRec* disp = nullptr;
    int eos = input->size == 0 || !input->data;
    if (eos) {
        if (!d->lowDelay && d->newerRef && d->newerRef->type >= 0) {
            complete = 1;
            out = disp = d->newerRef;
        }
    } else {
        complete = d->shortHdr ? M4vH263AccessUnit(d) : M4vMpeg4AccessUnit(d);
        out = d->outRec;
        disp = d->dispRec;
    }
    // Every decoded picture is extended, also one that is not output yet: it
    // is the reference of the next ones.
    if (complete && !eos && !d->shortHdr && d->hdr->workaround &&
        (d->layoutW % 16 || d->layoutH % 16))
        ExtendPicture(d, d->target);
    if (complete && out && out->type >= 0) {
        int32_t* res = output->result;
        if (!d->shortHdr) {
            int64_t r = d->hdr->timeRes > 0 ? d->hdr->timeRes : 1;
            int64_t dt =
                (int64_t(out->seconds) - d->prevSeconds) * r - d->prevIncrement + out->increment;
            if (res) res[1] = int32_t(dt * 90000 / r);
            d->prevSeconds = out->seconds;
            d->prevIncrement = out->increment;
        } else {
            int tr = out->increment & 255;
            if (res) res[1] = ((tr - d->prevTr) & 255) * 3003;
            d->prevTr = tr;
        }
        // The filter strength follows the quantisers of the picture shown:
        // those of the picture just decoded when it is output at once (low
        // delay, immediate output, B pictures), else those of the previous
        // reference; at the end of the stream those of the newest reference,
        // which a B picture decoded after it has moved to the previous array.
        const uint8_t* q = out == d->target ? d->quantCur : d->quantPrev;
        if (d->postFilter && eos) {
            disp = FreeFrame(d);
            q = d->prevType == 2 ? d->quantPrev : d->quantCur;
        }
        if (d->postFilter && disp)
            M4vPostFilterPicture(d, out, disp, out->type == 2, q);
        else
            disp = out;
        if (res) res[0] = out->type;
        output->y = disp->y;
        output->u = disp->u;
        output->v = disp->v;
        output->decodedPercent =
            d->mbCount ? uint32_t(out->decodedCount) * 100u / uint32_t(d->mbCount) : 0;
        output->mbStatus = d->mbStatus;
    } else {
        if (output->result) output->result[0] = -1;
        output->y = output->u = output->v = nullptr;
        output->decodedPercent = 0;
    }
    output->width = uint32_t(d->hdr->width);
    output->height = uint32_t(d->hdr->height);
    output->stride = uint32_t(d->stride);
    int32_t unread = VbUnread(&d->bs);
    uint32_t consumed;
    if (input->size == 0)
        consumed = 0;
    else if (unread < 0)
        consumed = input->size;
    else
        consumed = input->size - uint32_t(unread >> 3);
    return consumed;
}

int Mp4vDecClose(Mp4vDecoder* d, m4v::MemTable* tables) {
    for (int i = 0; i < 4; ++i) tables[i].pointer = d->tables[i];
    return 4;
}
