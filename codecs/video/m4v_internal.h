// Internal state and stages of the MPEG-4 part 2 / H.263 video decoder.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "codecs/video/m4v_tables.h"
#include "codecs/video/mp4vdec.h"

// ---- Bit reader -------------------------------------------------------------
// Big-endian, with a cache of one machine word (32 or 64 bits) holding the
// next bit at the top. A refill loads a whole word at once while the data
// lasts, then byte by byte. Reading past the end yields zero bits and drives
// the unread count negative. Bits of the cache below `bits` may already hold
// the following data; they are never read before they count.
typedef uintptr_t VbWord;
enum { kVbWordBits = int(sizeof(VbWord) * 8) };

struct VBits {
    VbWord cache;
    int32_t bits;  // valid bits in the cache
    int32_t pos;   // next byte to load
    int32_t size;
    const uint8_t* data;
};

static inline VbWord VbLoadBe(const uint8_t* p) {
    VbWord w;
    memcpy(&w, p, sizeof w);
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    return sizeof w == 8 ? VbWord(__builtin_bswap64(uint64_t(w)))
                         : VbWord(__builtin_bswap32(uint32_t(w)));
#elif defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return w;
#else
    w = 0;
    for (size_t i = 0; i < sizeof w; ++i) w = w << 8 | p[i];
    return w;
#endif
}

static inline void VbStart(VBits* b, const uint8_t* data, uint32_t size) {
    b->cache = 0;
    b->bits = 0;
    b->pos = 0;
    b->size = int32_t(size > 0x7FFFFFF0u ? 0x7FFFFFF0u : size);
    b->data = data;
}
// Makes at least 25 bits valid.
static inline void VbRefill(VBits* b) {
    if (b->bits >= 25) return;
    if (b->pos <= b->size - int32_t(sizeof(VbWord))) {
        b->cache |= VbLoadBe(b->data + b->pos) >> b->bits;
        int take = (kVbWordBits - b->bits) >> 3;
        b->pos += take;
        b->bits += take * 8;
        return;
    }
    while (b->bits < 25) {
        VbWord byte = b->pos < b->size ? b->data[b->pos] : 0;
        b->pos++;
        b->cache |= byte << (kVbWordBits - 8 - b->bits);
        b->bits += 8;
    }
}
// The next n bits (1..25) without refilling: only after VbRefill, and no
// more than the bits left since.
static inline uint32_t VbPeek(const VBits* b, int n) {
    return uint32_t(b->cache >> (kVbWordBits - n));
}
// Drops n valid bits (0..25) without refilling.
static inline void VbDrop(VBits* b, int n) {
    b->cache <<= n;
    b->bits -= n;
}
// n in 1..25
static inline uint32_t VbShow(VBits* b, int n) {
    VbRefill(b);
    return VbPeek(b, n);
}
static inline void VbSkip(VBits* b, int n) {
    if (n <= 0) return;
    if (n <= b->bits && n <= 25) {
        VbDrop(b, n);
        return;
    }
    while (n > 24) {
        VbRefill(b);
        VbDrop(b, 24);
        n -= 24;
    }
    VbRefill(b);
    VbDrop(b, n);
}
static inline uint32_t VbGet(VBits* b, int n) {
    if (n <= 0) return 0;
    if (n > 25) {
        uint32_t hi = VbGet(b, n - 16);
        return hi << 16 | VbGet(b, 16);
    }
    VbRefill(b);
    uint32_t v = VbPeek(b, n);
    VbDrop(b, n);
    return v;
}
static inline uint32_t VbGet1(VBits* b) {
    VbRefill(b);
    uint32_t v = VbPeek(b, 1);
    VbDrop(b, 1);
    return v;
}
static inline int32_t VbUnread(const VBits* b) { return b->bits + 8 * (b->size - b->pos); }
static inline int32_t VbBitPos(const VBits* b) { return b->pos * 8 - b->bits; }
static inline void VbAlign(VBits* b) {
    int r = VbBitPos(b) & 7;
    if (r) VbSkip(b, 8 - r);
}

// One VLC step over a table of (code length << 8 | value) entries indexed by
// the next `bits` bits: the value, or -1 for a code with no entry.
template <int N>
static inline int VlcRead(VBits* b, const VTab16<N>& t, int bits) {
    uint32_t e = t.v[VbShow(b, bits)];
    if (!e) return -1;
    VbSkip(b, int(e >> 8));
    return int(e & 0xFF);
}

// ---- Stream header record ---------------------------------------------------
struct StreamHeader {
    int32_t packed;
    int32_t workaround;
    int32_t timeRes;
    int32_t timeBits;
    int32_t width, height;
    int32_t interlaced;
    int32_t spriteEnable;
    int32_t warpPoints;
    int32_t warpAccuracy;
    int32_t brightnessChange;
    int32_t quantType;
    uint8_t intraMatrix[64];
    uint8_t interMatrix[64];
    int32_t quarterSample;
    uint32_t complexity;
    int32_t dataPartitioned;
    int32_t reversibleVlc;
    int32_t codingType;
    int32_t moduloTimeBase;
    int32_t timeIncrement;
    int32_t notCoded;
    int32_t rounding;
    int32_t quant;
    int32_t intraDcThr;
    int32_t topFieldFirst, altVertScan;
    int32_t fcodeFwd, fcodeBwd;
    int32_t resyncLen;
    int32_t lavc;  // made by libavcodec (user data "Lavc"); set, never cleared
};

struct FrameRec {
    uint8_t* y;
    uint8_t* u;
    uint8_t* v;
    int32_t type;  // -1 empty, 0 I, 1 P, 2 B, 3 S
    int32_t decodedCount;
    int32_t seconds;
    int32_t increment;
};

struct Mp4vDecoder;
typedef void (*VopDecodeFn)(Mp4vDecoder* d);
typedef int (*BlockDecodeFn)(Mp4vDecoder* d, int qp, int cbp);
// Half-pel kernel: 8 or 16 wide, h rows.
typedef void (*McFn)(uint8_t* dst, int dstStride, const uint8_t* src, int srcStride, int h);

// DC/AC prediction entry: reconstructed DC and seven quantised AC values of
// the first row (for blocks below) or first column (for blocks to the right).
struct AcPredEntry {
    int16_t dc;
    int16_t ac[7];
};

enum {
    MB_INTER = 0,
    MB_INTERQ = 1,
    MB_INTER4V = 2,
    MB_INTRA = 3,
    MB_INTRAQ = 4,
    MB_NOTCODED = 255
};

struct Mp4vDecoder {
    VBits bs;
    StreamHeader* hdr;
    FrameRec* frames;
    uint32_t frameNum;
    uint32_t rotation;
    FrameRec* olderRef;
    FrameRec* newerRef;
    FrameRec* target;
    FrameRec* outRec;
    FrameRec* dispRec;
    int32_t maxW, maxH;
    int32_t state;  // 0 no header, 1 between pictures, 2 macroblocks, 3 resync
    int32_t completeUnit, immediate;
    int32_t postFilter, lowDelay;
    int32_t shortHdr;
    int32_t prevType;
    int32_t fieldPeriod;
    VopDecodeFn vopDecoder[3];  // I, P/S, B; null = tool not offered
    int32_t extendedTools;
    // Geometry of the current picture size.
    int32_t mbw, mbh, mbCount, stride, codedHeight;
    int32_t layoutW, layoutH;
    // Position.
    int32_t mbx, mby, mbIndex, packetStart;
    int32_t qp;
    int32_t gobRows;  // H.263 macroblock rows per GOB
    // Per-macroblock arrays (table 2).
    uint8_t* mbStatus;
    uint8_t* mbMode;
    uint8_t* quantCur;
    uint8_t* quantPrev;
    int16_t* mvs;  // 4 vectors x 2 components per macroblock
    // Working buffers (table 1).
    int16_t* blocks;  // 6 x 64
    uint32_t summary[6];
    uint8_t* scratch;         // edge emulation, 24-byte rows
    uint8_t* predTmp;         // second prediction of a B macroblock: 16x16 + 2 x 8x8
    AcPredEntry* acTop;       // 4 per macroblock column: blocks 2, 3, U, V
    AcPredEntry* acLeft;      // 4: blocks 1, 3, U, V of the macroblock to the left
    AcPredEntry (*acCur)[2];  // 6: per block: [0] first row, [1] first column
    int16_t acDiag[3];        // above-left DCs for block 0, U, V
    // Per-macroblock intra state used by the texture decoder.
    int32_t acPredFlag;
    int32_t useDcVlc;
    // Data partitioning: the intra DC differentials were read ahead of the
    // texture (dcPreset set) and are taken from dcDiff.
    int32_t dcPreset;
    int16_t dcDiff[6];
    int32_t availMask;  // bit 0 left, 1 above, 2 above-right, 3 above-left
    // Kernel and texture slots.
    McFn mcPut[2][4];  // [16-wide?][fraction xy]
    BlockDecodeFn intraBlock, interBlock;
    const uint8_t* interScan;
    // Timing of the output.
    int32_t prevSeconds, prevIncrement, prevTr;
    int32_t h263Tr;
    int32_t h263Format;
    // B-VOP distances.
    int32_t trd, trb, trdRecip;
    int32_t fieldTrd, fieldTrb;  // interlaced direct mode, in field periods
    // Sprite trajectory of the current S-VOP: du, dv per warping point.
    int16_t warp[3][2];
    // Global motion of the current S-VOP (see M4vGmcSetup).
    int32_t gmcPoints;        // 0 identity, 1 translation, 2 or 3 affine
    int32_t gmcOffset[2][2];  // [luma, chroma][x, y]: 1/16 pel, or 16.16 when affine
    int32_t gmcDelta[2][2];   // [d/dx, d/dy][x, y]: 16.16 gradients of the affine warp
    int32_t gmcShift;         // fraction bits of the affine positions (16)
    int16_t gmcAmv[2];        // averaged vector of a GMC macroblock (vector units)
    // Interlaced streams: field vectors (two per macroblock, vertical in field
    // lines) kept at the end of table 1, and per macroblock the field bits of
    // fieldInfo (bit 0 top and bit 1 bottom field reference, bit 2 field
    // predicted).
    int16_t* fieldMvs;
    uint8_t* fieldInfo;
    int32_t fieldDct;  // dct_type of the current macroblock
    Mp4vDecPrintFn print;
    void* tables[4];
    uint8_t* table1;
    uint8_t* table2;
    uint32_t table1Size, table2Size;
};

static inline void Print(Mp4vDecoder* d, const char* text) {
    if (d->print) d->print(text);
}
static inline int ClipQ(int q) { return q < 1 ? 1 : q > 31 ? 31 : q; }
// Reads DQUANT (2 bits: -1, -2, +1, +2) and applies it to qp, kept in 1..31.
static inline int ReadDquant(VBits* b, int qp) {
    static const int8_t kDquant[4] = {-1, -2, 1, 2};
    return ClipQ(qp + kDquant[VbGet(b, 2)]);
}

// Direct mode: the forward and backward components from a co-located vector
// component, its delta and the distances TRB and TRD. Each scaling truncates
// toward zero; a distance of 0 or less (damaged timing) scales to 0.
static inline int DirectScale(int x, int num, int den) {
    return den <= 0 ? 0 : int(int64_t(x) * num / den);
}
static inline void DirectPair(int col, int delta, int trb, int trd, int16_t* f, int16_t* b) {
    int fv = DirectScale(col, trb, trd) + delta;
    *f = int16_t(fv);
    *b = int16_t(delta == 0 ? DirectScale(col, trb - trd, trd) : fv - col);
}

// libavcodec's encoder and decoder treat the left neighbour of a packet's
// first macroblock as unavailable for the block-2 vector prediction of a
// four-vector macroblock by clearing that neighbour's stored block-3 vector,
// which B-VOPs then see in direct mode. Streams it made expect the same:
// called before predicting block 2 of a four-vector macroblock.
static inline void LavcClearLeftAtPacketStart(Mp4vDecoder* d) {
    if (d->hdr->lavc && d->mbIndex == d->packetStart && d->mbx > 0) {
        int16_t* left = d->mvs + (d->mbIndex - 1) * 8 + 6;
        left[0] = left[1] = 0;
    }
}

// headers.cpp
int M4vBitLength(uint32_t v);
int M4vParseVolHeader(VBits* b, StreamHeader* h, Mp4vDecPrintFn print);
void M4vParseUserData(VBits* b, StreamHeader* h);
// warp, when given, receives the sprite trajectory of an S-VOP.
int M4vParseVopHeader(VBits* b, StreamHeader* h, int16_t (*warp)[2] = nullptr);
int M4vParseVideoPacketHeader(Mp4vDecoder* d);
int M4vParseH263PictureHeader(VBits* b, StreamHeader* h, int* format, Mp4vDecPrintFn print);
int M4vParseH263GobHeader(Mp4vDecoder* d);
int M4vFindStartCode(VBits* b);  // returns the code byte or -1
int M4vSearchVolHeaders(VBits* b, StreamHeader* h, Mp4vDecPrintFn print);
int M4vHasVolStartCode(const uint8_t* data, uint32_t size);

// frame.cpp
int M4vLayout(Mp4vDecoder* d);
void M4vFrameSetup(Mp4vDecoder* d);
void M4vConcealUpTo(Mp4vDecoder* d, int n);
int M4vMpeg4AccessUnit(Mp4vDecoder* d);
int M4vH263AccessUnit(Mp4vDecoder* d);
void M4vAdvancePosition(Mp4vDecoder* d);
void M4vChooseVopDecoders(Mp4vDecoder* d);  // after every VOL and layout
void M4vSetPosition(Mp4vDecoder* d, int index);

// macroblock.cpp
void M4vDecodeIVopPlain(Mp4vDecoder* d);
void M4vDecodePVopPlain(Mp4vDecoder* d);
void M4vDecodeBVopPlain(Mp4vDecoder* d);
void M4vDecodeH263I(Mp4vDecoder* d);
void M4vDecodeH263P(Mp4vDecoder* d);
int M4vDecodeMvd(VBits* b, int fcode, int* out);
void M4vPredictMv(Mp4vDecoder* d, int block, int* px, int* py);
int M4vWrapMv(int v, int fcode);
int M4vReadVectors(Mp4vDecoder* d, int four, int fcode);
// Reconstruction of the current macroblock, frame or field DCT placement.
void M4vPutIntra(Mp4vDecoder* d);
void M4vAddInter(Mp4vDecoder* d, int cbp);
int M4vDecodeIntraMb(Mp4vDecoder* d, int mode, int cbpc);
void M4vFinishMacroblock(Mp4vDecoder* d, int intra);
int M4vReadBMbHeader(Mp4vDecoder* d, int* type, int* cbp, int* deltaCoded);

// mb_partitioned.cpp
void M4vDecodeIVopPartitioned(Mp4vDecoder* d);
void M4vDecodePVopPartitioned(Mp4vDecoder* d);

// Neighbours usable for prediction: inside the picture and the packet.
static inline void ComputeAvail(Mp4vDecoder* d) {
    int i = d->mbIndex, w = d->mbw, ps = d->packetStart;
    int m = 0;
    if (d->mbx > 0 && i - 1 >= ps) m |= 1;
    if (d->mby > 0 && i - w >= ps) m |= 2;
    if (d->mby > 0 && d->mbx < w - 1 && i - w + 1 >= ps) m |= 4;
    if (d->mby > 0 && d->mbx > 0 && i - w - 1 >= ps) m |= 8;
    d->availMask = m;
}

// The (w+1) x (h+1) reference samples at (ix, iy) that a half-sample
// prediction reads: in place when they lie inside the plane, else copied
// into buf (row pitch `pitch`) with the plane's edge repeated. *ss gets the
// row stride of what is returned.
static inline const uint8_t* RefArea(const uint8_t* ref, int refStride, int planeW, int planeH,
                                     int ix, int iy, int w, int h, uint8_t* buf, int pitch,
                                     int* ss) {
    if (ix >= 0 && iy >= 0 && ix + w + 1 <= planeW && iy + h + 1 <= planeH) {
        *ss = refStride;
        return ref + iy * refStride + ix;
    }
    for (int r = 0; r <= h; ++r) {
        int sy = iy + r;
        sy = sy < 0 ? 0 : sy >= planeH ? planeH - 1 : sy;
        const uint8_t* row = ref + sy * refStride;
        for (int c = 0; c <= w; ++c) {
            int sx = ix + c;
            sx = sx < 0 ? 0 : sx >= planeW ? planeW - 1 : sx;
            buf[r * pitch + c] = row[sx];
        }
    }
    *ss = pitch;
    return buf;
}

// Resync marker or start code ahead: stuffing to the byte boundary (a zero
// then ones) followed by at least 16 zero bits.
static inline int PacketEnds(VBits* b) {
    int k = 8 - (VbBitPos(b) & 7);
    uint32_t v = VbShow(b, k + 16);
    return v == (((1u << (k - 1)) - 1) << 16);
}

// texture.cpp
int M4vIntraBlockH263Quant(Mp4vDecoder* d, int qp, int cbp);
int M4vIntraBlockMpegQuant(Mp4vDecoder* d, int qp, int cbp);
int M4vInterBlockH263Quant(Mp4vDecoder* d, int qp, int cbp);
int M4vInterBlockMpegQuant(Mp4vDecoder* d, int qp, int cbp);
int M4vIntraBlockShortHdr(Mp4vDecoder* d, int qp, int cbp);
int M4vInterBlockShortHdr(Mp4vDecoder* d, int qp, int cbp);
void M4vAcPredStore(Mp4vDecoder* d, int intra);
int M4vReadDcDifferential(VBits* b, int luma, int* out);
int M4vIntraBlockRvlc(Mp4vDecoder* d, int qp, int cbp);  // per quant_type
int M4vInterBlockRvlc(Mp4vDecoder* d, int qp, int cbp);

// texture_rvlc.cpp
int M4vReadRvlcEvent(VBits* b, int intra, int* run, int* level, int* last);

// idct.cpp
void M4vIdct8x8(uint32_t summary, int16_t* block);
void M4vIdctPut(uint8_t* dst, int16_t* block, int stride, uint32_t summary);
void M4vIdctAdd(uint8_t* dst, const uint8_t* pred, int16_t* block, int dstStride, int predStride,
                uint32_t summary);
void M4vIdctPutRef(uint8_t* dst, int16_t* block, int stride);  // full transform, for tests
// Plain and SSE2 twins behind M4vIdctPut and M4vIdctAdd (bit-exact with each other).
void M4vIdctPutPlain(uint8_t* dst, int16_t* block, int stride, uint32_t summary);
void M4vIdctAddPlain(uint8_t* dst, const uint8_t* pred, int16_t* block, int dstStride,
                     int predStride, uint32_t summary);
#if defined(__i386__) || defined(__x86_64__) || defined(_M_IX86) || defined(_M_X64)
#define M4V_HAVE_SSE2_KERNELS 1
void M4vIdctPutSse2(uint8_t* dst, int16_t* block, int stride, uint32_t summary);
void M4vIdctAddSse2(uint8_t* dst, const uint8_t* pred, int16_t* block, int dstStride,
                    int predStride, uint32_t summary);
#else
#define M4V_HAVE_SSE2_KERNELS 0
#endif
int M4vHaveSse2();  // 1 when the processor runs SSE2
// Half-pel kernels and the bidirectional average, plain and SSE2 twins
// (rounding 0 or 1, wide: 16 pixels, frac: bit 0 horizontal, bit 1 vertical).
McFn M4vMcKernelPlain(int rounding, int wide, int frac);
void M4vMcAveragePlain(uint8_t* dst, int ds, const uint8_t* src, int ss, int w, int h);
// Vertical quarter-pel pass over (h + 1) rows of w samples (w 8 or 16,
// h 8 or 16) at the vertical quarter offset f (1 to 3), rows mirrored.
void M4vQpelColsPlain(uint8_t* dst, int ds, const uint8_t* src, int ss, int w, int h, int f, int r);
// The horizontal pass: h lines of w + 1 samples (row stride ss) into w outputs each.
void M4vQpelRowsPlain(uint8_t* dst, int ds, const uint8_t* src, int ss, int w, int h, int f, int r);
#if M4V_HAVE_SSE2_KERNELS
void M4vQpelColsSse2(uint8_t* dst, int ds, const uint8_t* src, int ss, int w, int h, int f, int r);
void M4vQpelRowsSse2(uint8_t* dst, int ds, const uint8_t* src, int ss, int w, int h, int f, int r);
McFn M4vMcKernelSse2(int rounding, int wide, int frac);
void M4vMcAverageSse2(uint8_t* dst, int ds, const uint8_t* src, int ss, int w, int h);
#endif

// mc.cpp
void M4vMcSetKernels(Mp4vDecoder* d, int rounding);
void M4vMcBlock(Mp4vDecoder* d, uint8_t* dst, int dstStride, const uint8_t* ref, int refStride,
                int planeW, int planeH, int x, int y, int mvx, int mvy, int size);
void M4vMcMacroblock(Mp4vDecoder* d, const int16_t* mv, int fourVectors);
void M4vMcPredict(Mp4vDecoder* d, const FrameRec* ref, uint8_t* dy, uint8_t* du, uint8_t* dv,
                  int ys, int cs, const int16_t* mv, int fourVectors);
void M4vMcAverage(uint8_t* dst, int ds, const uint8_t* src, int ss, int w, int h);
int M4vChromaVector1(int v);
int M4vChromaVector4(int sum);
void M4vCopyMacroblock(Mp4vDecoder* d, const FrameRec* ref);

// mc_qpel.cpp: quarter-pel luma prediction with the 8-tap half-sample filter
// of a w x h block (w 8 or 16, h 8 or 16; 8 for field halves) at (x, y) of a
// plane of planeW x planeH displaced by the quarter-pel vector (mvx, mvy).
void M4vMcQpelBlock(uint8_t* dst, int dstStride, const uint8_t* ref, int refStride, int planeW,
                    int planeH, int x, int y, int mvx, int mvy, int w, int h, int rounding);
// Whole-macroblock prediction for quarter_sample streams (one or four
// vectors in quarter-pel units; chroma from the halved vectors).
void M4vMcPredictQpel(Mp4vDecoder* d, const FrameRec* ref, uint8_t* dy, uint8_t* du, uint8_t* dv,
                      int ys, int cs, const int16_t* mv, int fourVectors, int rounding);
// Field prediction of a macroblock: field f of the target (0 top, 1 bottom)
// from field sel[f] of ref with the field vectors mv[2 * f], mv[2 * f + 1]
// (vertical in field lines; half- or quarter-pel).
void M4vMcPredictFields(Mp4vDecoder* d, const FrameRec* ref, uint8_t* dy, uint8_t* du, uint8_t* dv,
                        int ys, int cs, const int16_t* mv, const int* sel, int rounding);
// Any-vector macroblock prediction: quarter-pel or half-pel by the stream.
void M4vMcPredictAny(Mp4vDecoder* d, const FrameRec* ref, uint8_t* dy, uint8_t* du, uint8_t* dv,
                     int ys, int cs, const int16_t* mv, int fourVectors, int rounding);

// gmc.cpp: global motion compensation of S-VOPs.
void M4vGmcSetup(Mp4vDecoder* d);  // from d->warp at the frame set-up of an S-VOP
// Warped prediction of the current macroblock from the older reference; also
// stores the macroblock's averaged vector (below) in its four vector slots.
void M4vGmcPredict(Mp4vDecoder* d, uint8_t* dy, uint8_t* du, uint8_t* dv, int ys, int cs);
// The averaged vector of a GMC macroblock at the current position (vector
// units of the stream, clipped to the fcode range), into mv[0..7]: what
// vector prediction and direct mode see for mcsel and not-coded S macroblocks.
void M4vGmcAverageVector(Mp4vDecoder* d, int16_t* mv);

// mb_general.cpp / mb_bvop.cpp: the VOP decoders of streams with interlace,
// quarter-pel or GMC.
void M4vDecodeVopGeneral(Mp4vDecoder* d);
void M4vDecodeBVopGeneral(Mp4vDecoder* d);

// postfilter.cpp
// q: the quantisers of the picture src, one per macroblock.
void M4vPostFilterPicture(Mp4vDecoder* d, const FrameRec* src, FrameRec* dst, int isB,
                          const uint8_t* q);
void M4vDeblockEdge(uint8_t* p, int step, int qp);
