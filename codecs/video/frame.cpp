// Picture-level logic: layout, buffer rotation, frame set-up, concealment and
// the access-unit state machines.
#include "codecs/video/m4v_internal.h"

static uint8_t* AlignUp(uint8_t* p, uintptr_t a) {
    return reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(p) + a - 1) & ~(a - 1));
}

int M4vLayout(Mp4vDecoder* d) {
    int w = d->hdr->width, h = d->hdr->height;
    if (w <= 0 || h <= 0 || w > d->maxW || h > d->maxH) return -1;
    d->mbw = (w + 15) / 16;
    d->mbh = (h + 15) / 16;
    d->mbCount = d->mbw * d->mbh;
    d->stride = 16 * d->mbw;
    d->codedHeight = 16 * d->mbh;
    d->layoutW = w;
    d->layoutH = h;
    d->gobRows = h <= 400 ? 1 : h <= 800 ? 2 : 4;
    int n = d->mbCount;
    // Table 1: coefficient blocks, edge scratch, DC/AC row store.
    uint8_t* p = AlignUp(d->table1, 16);
    d->blocks = reinterpret_cast<int16_t*>(p);
    p += 6 * 64 * 2;
    d->scratch = p;
    p += 24 * 24;
    d->predTmp = p;
    p += 16 * 16 + 2 * 64;
    d->acCur = reinterpret_cast<AcPredEntry(*)[2]>(p);
    p += 6 * 2 * sizeof(AcPredEntry);
    d->acLeft = reinterpret_cast<AcPredEntry*>(p);
    p += 4 * sizeof(AcPredEntry);
    d->acTop = reinterpret_cast<AcPredEntry*>(p);
    p += size_t(4 * d->mbw) * sizeof(AcPredEntry);
    // Table 2: status, modes, two quantiser arrays, vectors, field bits.
    p = AlignUp(d->table2, 4);
    d->mbStatus = p;
    p = AlignUp(p + n, 4);
    d->mbMode = p;
    p = AlignUp(p + n, 4);
    d->quantCur = p;
    p = AlignUp(p + n, 4);
    d->quantPrev = p;
    p = AlignUp(p + n, 4);
    d->mvs = reinterpret_cast<int16_t*>(p);
    d->fieldInfo = p + size_t(n) * 16;
    // Field vectors at the end of table 1.
    uintptr_t end = reinterpret_cast<uintptr_t>(d->table1) + d->table1Size - size_t(n) * 8;
    d->fieldMvs = reinterpret_cast<int16_t*>(end & ~uintptr_t(3));
    // The placement must stay inside the sizes handed out for the maximum.
    uint8_t* used1 = reinterpret_cast<uint8_t*>(d->acTop + 4 * d->mbw);
    if (used1 > reinterpret_cast<uint8_t*>(d->fieldMvs) ||
        d->fieldInfo + n > d->table2 + d->table2Size)
        return -1;
    memset(d->mbStatus, 255, size_t(n));
    memset(d->mbMode, MB_NOTCODED, size_t(n));
    memset(d->quantCur, 1, size_t(n));
    memset(d->quantPrev, 1, size_t(n));
    memset(d->mvs, 0, size_t(n) * 16);
    memset(d->fieldInfo, 0, size_t(n));
    memset(d->fieldMvs, 0, size_t(n) * 8);
    M4vChooseVopDecoders(d);
    return 0;
}

// The VOP decoders follow the coding tools of the latest VOL; a new VOL
// with other tools but the same size must not keep the old ones.
void M4vChooseVopDecoders(Mp4vDecoder* d) {
    const StreamHeader* hd = d->hdr;
    d->extendedTools = hd->interlaced || hd->quarterSample || hd->spriteEnable == 2;
    // B-VOPs are never partitioned: the general B decoder reads them.
    if (hd->dataPartitioned) {
        d->vopDecoder[0] = M4vDecodeIVopPartitioned;
        d->vopDecoder[1] = M4vDecodePVopPartitioned;
        d->vopDecoder[2] = M4vDecodeBVopGeneral;
    } else if (!d->extendedTools) {
        d->vopDecoder[0] = M4vDecodeIVopPlain;
        d->vopDecoder[1] = M4vDecodePVopPlain;
        d->vopDecoder[2] = M4vDecodeBVopPlain;
    } else {
        d->vopDecoder[0] = M4vDecodeVopGeneral;
        d->vopDecoder[1] = M4vDecodeVopGeneral;
        d->vopDecoder[2] = M4vDecodeBVopGeneral;
    }
}

void M4vSetPosition(Mp4vDecoder* d, int index) {
    d->mbIndex = index;
    d->mby = d->mbw ? index / d->mbw : 0;
    d->mbx = index - d->mby * d->mbw;
}

void M4vAdvancePosition(Mp4vDecoder* d) {
    d->mbIndex++;
    if (++d->mbx == d->mbw) {
        d->mbx = 0;
        d->mby++;
    }
}

static void Rotate(Mp4vDecoder* d, int isB) {
    FrameRec* c = nullptr;
    for (uint32_t i = 0; i < d->frameNum; ++i) {
        d->rotation = (d->rotation + 1) % d->frameNum;
        c = &d->frames[d->rotation];
        if (c != d->olderRef && c != d->newerRef) break;
    }
    int delay = !d->lowDelay && !d->immediate;
    if (!d->postFilter) {
        d->target = c;
        if (!isB) {
            d->olderRef = d->newerRef;
            d->newerRef = c;
        }
        d->outRec = d->dispRec = (delay && !isB) ? d->olderRef : c;
    } else if (!isB) {
        d->dispRec = c;
        d->target = d->olderRef;
        d->olderRef = d->newerRef;
        d->newerRef = d->target;
        d->outRec = delay ? d->olderRef : d->target;
    } else {
        d->target = d->outRec = d->dispRec = c;
    }
}

void M4vFrameSetup(Mp4vDecoder* d) {
    StreamHeader* h = d->hdr;
    int isB = h->codingType == 2;
    Rotate(d, isB);
    FrameRec* t = d->target;
    t->decodedCount = 0;
    t->type = h->codingType;
    M4vSetPosition(d, 0);
    d->packetStart = 0;
    d->qp = h->quant;
    d->fieldDct = 0;  // only the interlaced decoders set it, per macroblock
    if (d->prevType != 2) {
        uint8_t* q = d->quantCur;
        d->quantCur = d->quantPrev;
        d->quantPrev = q;
    }
    d->prevType = h->codingType;
    M4vMcSetKernels(d, isB ? 0 : h->rounding);
    if (!d->shortHdr) {
        t->seconds = d->olderRef->seconds + h->moduloTimeBase;
        t->increment = h->timeIncrement;
        if (isB) {
            int64_t res = h->timeRes;
            int64_t tn = int64_t(d->newerRef->seconds) * res + d->newerRef->increment;
            int64_t to = int64_t(d->olderRef->seconds) * res + d->olderRef->increment;
            int64_t tt = int64_t(t->seconds) * res + t->increment;
            d->trd = int32_t(tn - to);
            d->trb = int32_t(tt - to);
            // A zero distance (damaged timing) must not divide.
            d->trdRecip = d->trd > 0 ? 65535 / d->trd : 0;
            if (h->interlaced && d->fieldPeriod == 0 && d->trb > 0) d->fieldPeriod = d->trb;
            if (d->fieldPeriod > 0) {
                int p = d->fieldPeriod;
                d->fieldTrb = 2 * ((p / 2 + d->trb) / p);
                d->fieldTrd = 2 * ((p / 2 + d->trd) / p);
            } else {
                d->fieldTrb = d->fieldTrd = 0;
            }
        }
        if (h->codingType == 3 && h->spriteEnable == 2) M4vGmcSetup(d);
        if (h->quantType) {
            d->intraBlock = M4vIntraBlockMpegQuant;
            d->interBlock = M4vInterBlockMpegQuant;
        } else {
            d->intraBlock = M4vIntraBlockH263Quant;
            d->interBlock = M4vInterBlockH263Quant;
        }
        // Reversible VLC codes the texture of partitioned I- and P-VOPs.
        if (h->reversibleVlc && !isB) {
            d->intraBlock = M4vIntraBlockRvlc;
            d->interBlock = M4vInterBlockRvlc;
        }
    } else {
        // The temporal reference gives the output's time delta.
        t->seconds = 0;
        t->increment = h->timeIncrement;
        d->intraBlock = M4vIntraBlockShortHdr;
        d->interBlock = M4vInterBlockShortHdr;
    }
}

static void CopyRect(uint8_t* dst, const uint8_t* src, int stride, int w, int h) {
    for (int y = 0; y < h; ++y) memcpy(dst + y * stride, src + y * stride, size_t(w));
}

static void FillMacroblock(Mp4vDecoder* d, int x, int y) {
    int s = d->stride, cs = s / 2;
    uint8_t* planes[3] = {d->target->y + (y * 16) * s + x * 16, d->target->u + (y * 8) * cs + x * 8,
                          d->target->v + (y * 8) * cs + x * 8};
    for (int p = 0; p < 3; ++p) {
        int n = p ? 8 : 16, st = p ? cs : s;
        uint8_t* dst = planes[p];
        for (int r = 0; r < n; ++r) {
            uint8_t* row = dst + r * st;
            if (y > 0)
                memcpy(row, dst - st, size_t(n));
            else if (x > 0)
                memset(row, row[-1], size_t(n));
            else
                memset(row, 128, size_t(n));
        }
    }
}

void M4vCopyMacroblock(Mp4vDecoder* d, const FrameRec* ref) {
    int s = d->stride, cs = s / 2, x = d->mbx, y = d->mby;
    size_t ly = size_t(y * 16) * s + x * 16, lc = size_t(y * 8) * cs + x * 8;
    if (ref == d->target) return;
    CopyRect(d->target->y + ly, ref->y + ly, s, 16, 16);
    CopyRect(d->target->u + lc, ref->u + lc, cs, 8, 8);
    CopyRect(d->target->v + lc, ref->v + lc, cs, 8, 8);
}

void M4vConcealUpTo(Mp4vDecoder* d, int n) {
    if (n > d->mbCount) n = d->mbCount;
    int isB = d->target->type == 2;
    while (d->mbIndex < n) {
        int i = d->mbIndex;
        if (d->mbStatus[i] < 255)
            M4vCopyMacroblock(d, d->olderRef);
        else
            FillMacroblock(d, d->mbx, d->mby);
        if (!isB) d->mbStatus[i] = 1;
        d->quantCur[i] = uint8_t(d->qp);
        d->mbMode[i] = MB_NOTCODED;
        memset(d->mvs + i * 8, 0, 16);
        M4vAdvancePosition(d);
    }
}

static void NotCodedPicture(Mp4vDecoder* d) {
    FrameRec* t = d->target;
    const FrameRec* r = d->olderRef;
    t->decodedCount = r->decodedCount;
    if (t != r) {
        size_t ls = size_t(d->stride) * d->codedHeight;
        memcpy(t->y, r->y, ls);
        memcpy(t->u, r->u, ls / 4);
        memcpy(t->v, r->v, ls / 4);
    }
    memcpy(d->quantCur, d->quantPrev, size_t(d->mbCount & ~3));
    // Not-coded macroblocks for the B-VOPs that may follow.
    memset(d->mbMode, MB_NOTCODED, size_t(d->mbCount));
    memset(d->mvs, 0, size_t(d->mbCount) * 16);
}

static void RunSlot(Mp4vDecoder* d) {
    int type = d->hdr->codingType;
    VopDecodeFn fn = d->vopDecoder[type == 0 ? 0 : type == 2 ? 2 : 1];
    d->packetStart = d->mbIndex;
    if (fn) {
        fn(d);
    } else {
        // Tool not offered: the picture is concealed from the reference.
        static const char* const kMsg[4] = {"NOT SUPPORTED : I-VOP of this stream\n",
                                            "NOT SUPPORTED : P-VOP of this stream\n",
                                            "NOT SUPPORTED : B-VOP\n", "NOT SUPPORTED : S-VOP\n"};
        if (d->mbIndex == 0) Print(d, kMsg[type & 3]);
        M4vConcealUpTo(d, d->mbCount);
        VbSkip(&d->bs, VbUnread(&d->bs) > 0 ? VbUnread(&d->bs) : 0);
    }
}

// After a run of macroblocks: 1 when the picture is complete, else the
// search for the next packet (or GOB) begins.
static int AfterMacroblocks(Mp4vDecoder* d) {
    if (d->mbIndex >= d->mbCount) {
        d->state = 1;
        return 1;
    }
    d->state = 3;
    return 0;
}

// One step of the search for a resynchronisation point with the packet or
// GOB header parser: 1 when a start code ended the picture (its rest is
// concealed); 0 otherwise, with state 2 when a header was found.
static int Resynchronise(Mp4vDecoder* d, int (*parseHeader)(Mp4vDecoder*)) {
    VBits* b = &d->bs;
    int r = parseHeader(d);
    if (r < 0 && VbUnread(b) < 32) VbSkip(b, VbUnread(b));
    if (r == 1) {
        M4vConcealUpTo(d, d->mbCount);
        d->state = 1;
        return 1;
    }
    if (r == 0) d->state = 2;
    return 0;
}

static int EndOfData(Mp4vDecoder* d) {
    if (!d->completeUnit) return 0;
    if (d->state == 2 || d->state == 3) {
        M4vConcealUpTo(d, d->mbCount);
        d->state = 1;
        return 1;
    }
    return 0;
}

int M4vMpeg4AccessUnit(Mp4vDecoder* d) {
    VBits* b = &d->bs;
    StreamHeader* h = d->hdr;
    while (VbUnread(b) >= 1) {
        if (d->state <= 1) {
            int found = 0;
            for (;;) {
                int code = M4vFindStartCode(b);
                if (code < 0) break;
                if (code == 0xB2) {
                    M4vParseUserData(b, h);
                } else if (code >= 0x20 && code <= 0x2F) {
                    if (M4vParseVolHeader(b, h, d->print) < 0) {
                        Print(d, "Error : Config data is corrupted\n");
                    } else {
                        if (d->state == 0) d->state = 1;
                        if (d->layoutW) M4vChooseVopDecoders(d);
                    }
                } else if (code == 0xB6 && h->width != 0) {
                    if (M4vParseVopHeader(b, h, d->warp) == 0) {
                        found = 1;
                        break;
                    }
                }
            }
            if (!found) break;
            if (h->width != d->layoutW || h->height != d->layoutH) {
                if (M4vLayout(d) < 0) {
                    Print(d,
                          "Error : VOL width/height is zero or larger than "
                          "uMaxDecodableWidth/Height\n");
                    d->layoutW = d->layoutH = 0;
                    continue;
                }
            }
            if (h->packed && h->notCoded) continue;
            M4vFrameSetup(d);
            if (h->notCoded) {
                NotCodedPicture(d);
                d->state = 1;
                return 1;
            }
            d->state = 2;
        } else if (d->state == 2) {
            RunSlot(d);
            if (AfterMacroblocks(d)) return 1;
        } else if (Resynchronise(d, M4vParseVideoPacketHeader)) {
            return 1;
        }
    }
    return EndOfData(d);
}

int M4vH263AccessUnit(Mp4vDecoder* d) {
    VBits* b = &d->bs;
    StreamHeader* h = d->hdr;
    while (VbUnread(b) >= 1) {
        if (d->state <= 1) {
            int fmt = 0;
            if (M4vParseH263PictureHeader(b, h, &fmt, d->print) < 0) {
                if (VbUnread(b) < 22) break;
                continue;
            }
            if (h->width != d->layoutW || h->height != d->layoutH) {
                if (M4vLayout(d) < 0) {
                    Print(d,
                          "Error : VOL width/height is zero or larger than "
                          "uMaxDecodableWidth/Height\n");
                    d->layoutW = d->layoutH = 0;
                    continue;
                }
            }
            d->h263Format = fmt;
            M4vFrameSetup(d);
            d->state = 2;
        } else if (d->state == 2) {
            d->packetStart = d->mbIndex;
            if (h->codingType == 1)
                M4vDecodeH263P(d);
            else
                M4vDecodeH263I(d);
            if (AfterMacroblocks(d)) return 1;
        } else if (Resynchronise(d, M4vParseH263GobHeader)) {
            return 1;
        }
    }
    return EndOfData(d);
}
