// Stream headers: VOS/VOL, user data, VOP, video packet, H.263 picture and GOB.
#include "codecs/video/m4v_internal.h"
#include "codecs/video/m4v_tables.h"

int M4vBitLength(uint32_t v) {
    int n = 0;
    while (v) {
        ++n;
        v >>= 1;
    }
    return n;
}

static void Say(Mp4vDecPrintFn print, const char* text) {
    if (print) print(text);
}

// Next start code at or after the byte boundary; the reader is left after
// its 32 bits. -1 when the data ends first.
int M4vFindStartCode(VBits* b) {
    VbAlign(b);
    uint32_t window = 0xFFFFFFFFu;
    while (VbUnread(b) >= 8) {
        window = window << 8 | VbGet(b, 8);
        if ((window & 0xFFFFFF00u) == 0x00000100u) return int(window & 0xFF);
    }
    return -1;
}

int M4vHasVolStartCode(const uint8_t* data, uint32_t size) {
    if (!data) return 0;
    for (uint32_t i = 0; i + 4 <= size; ++i)
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1 && (data[i + 3] & 0xF0) == 0x20)
            return 1;
    return 0;
}

static int ReadMatrix(VBits* b, uint8_t* m) {
    int last = 0, i = 0;
    for (; i < 64; ++i) {
        int v = int(VbGet(b, 8));
        if (v == 0) break;
        m[kScanZigzag[i]] = uint8_t(v);
        last = v;
    }
    if (i == 0) return -1;
    for (; i < 64; ++i) m[kScanZigzag[i]] = uint8_t(last);
    return 0;
}

static void ReadComplexity(VBits* b, StreamHeader* h) {
    uint32_t f = 1u << 24;
    uint32_t method = VbGet(b, 2);
    f |= method << 22;
    if (method < 2) {
        if (!VbGet1(b)) f |= VbGet(b, 6) << 16;           // shape set
        if (!VbGet1(b)) f |= VbGet(b, 4) << 12;           // texture set 1
        VbSkip(b, 1);                                     // marker
        if (!VbGet1(b)) f |= VbGet(b, 4) << 8;            // texture set 2
        if (!VbGet1(b)) f |= VbGet(b, 6) << 2;            // motion set
        VbSkip(b, 1);                                     // marker
        if (method == 1 && !VbGet1(b)) f |= VbGet(b, 2);  // version 2 set
    }
    h->complexity = f;
}

int M4vParseVolHeader(VBits* b, StreamHeader* h, Mp4vDecPrintFn print) {
    VbSkip(b, 9);
    int verid = 1;
    if (VbGet1(b)) {
        verid = int(VbGet(b, 4));
        VbSkip(b, 3);
    }
    if (VbGet(b, 4) == 15) VbSkip(b, 16);
    if (VbGet1(b)) {
        VbSkip(b, 3);
        if (VbGet1(b)) VbSkip(b, 79);
    }
    if (VbGet(b, 2) != 0) {
        Say(print, "NOT SUPPORTED : Arbitrary Shape\n");
        return -1;
    }
    VbSkip(b, 1);
    int res = int(VbGet(b, 16));
    if (res == 0) {
        Say(print, "ERROR : vop_time_increment_resolution is 0\n");
        return -1;
    }
    int timeBits = M4vBitLength(uint32_t(res - 1));
    if (timeBits < 1) timeBits = 1;
    VbSkip(b, 1);
    if (VbGet1(b)) VbSkip(b, timeBits);
    VbSkip(b, 1);
    int width = int(VbGet(b, 13));
    VbSkip(b, 1);
    int height = int(VbGet(b, 13));
    VbSkip(b, 1);
    int interlaced = int(VbGet1(b));
    if (!VbGet1(b)) {
        Say(print, "NOT SUPPORTED : OBMC\n");
        return -1;
    }
    int sprite = int(VbGet(b, verid == 1 ? 1 : 2));
    int points = 0, accuracy = 0, brightness = 0;
    if (sprite != 0 && sprite != 2) {
        Say(print, "NOT SUPPORTED : sprite_enable\n");
        return -1;
    }
    if (sprite == 2) {
        points = int(VbGet(b, 6));
        if (points > 3) {
            Say(print, "ERROR : GMC points > 3");
            return -1;
        }
        accuracy = int(VbGet(b, 2));
        brightness = int(VbGet1(b));
    }
    if (VbGet1(b)) {
        Say(print, "NOT SUPPORTED : Not 8bit\n");
        return -1;
    }
    int quantType = int(VbGet1(b));
    uint8_t intraM[64], interM[64];
    memcpy(intraM, kDefaultIntraMatrix, 64);
    memcpy(interM, kDefaultInterMatrix, 64);
    if (quantType) {
        if (VbGet1(b)) {
            if (ReadMatrix(b, intraM) < 0 || intraM[0] != 8) {
                Say(print, "ERROR : intra quant matrix\n");
                return -1;
            }
        }
        if (VbGet1(b)) {
            if (ReadMatrix(b, interM) < 0) {
                Say(print, "ERROR : inter quant matrix\n");
                return -1;
            }
        }
    }
    int quarter = verid != 1 ? int(VbGet1(b)) : 0;
    StreamHeader tmp = *h;
    tmp.complexity = 0;
    if (!VbGet1(b)) ReadComplexity(b, &tmp);
    VbSkip(b, 1);  // resync_marker_disable
    int dp = int(VbGet1(b));
    int rvlc = 0;
    if (dp) {
        if (interlaced) {
            Say(print, "Error : DP+Interlaced is forbidden\n");
            return -1;
        }
        // reversible_vlc exists only with data partitioning.
        rvlc = int(VbGet1(b));
    }
    if (verid != 1) {
        if (VbGet1(b)) {
            Say(print, "NOT SUPPORTED : NewPred\n");
            return -1;
        }
        if (VbGet1(b)) {
            Say(print, "NOT SUPPORTED : reduced resolution vop\n");
            return -1;
        }
    }
    if (VbGet1(b)) {
        Say(print, "NOT SUPPORTED : scalability\n");
        return -1;
    }
    h->complexity = tmp.complexity;
    h->timeRes = res;
    h->timeBits = timeBits;
    h->width = width;
    h->height = height;
    h->interlaced = interlaced;
    h->spriteEnable = sprite;
    h->warpPoints = points;
    h->warpAccuracy = accuracy;
    h->brightnessChange = brightness;
    h->quantType = quantType;
    memcpy(h->intraMatrix, intraM, 64);
    memcpy(h->interMatrix, interM, 64);
    h->quarterSample = quarter;
    h->dataPartitioned = dp;
    h->reversibleVlc = rvlc;
    return 0;
}

static int ReadDecimal(const char* s, int* pos) {
    int v = 0, digits = 0;
    while (s[*pos] >= '0' && s[*pos] <= '9') {
        if (v < 100000000) v = v * 10 + (s[*pos] - '0');
        ++*pos;
        ++digits;
    }
    return digits ? v : -1;
}

void M4vParseUserData(VBits* b, StreamHeader* h) {
    char text[31];
    int n = 0;
    VbAlign(b);
    while (n < 30 && VbUnread(b) >= 24 && VbShow(b, 24) != 1) text[n++] = char(VbGet(b, 8));
    text[n] = 0;
    int xvid = -1, divxBuild = -1, packed = 0;
    if (n >= 4 && memcmp(text, "XviD", 4) == 0) {
        int p = 4;
        xvid = ReadDecimal(text, &p);
    } else if (n >= 4 && memcmp(text, "DivX", 4) == 0) {
        int p = 4;
        int version = ReadDecimal(text, &p);
        if (version >= 0) {
            if (strncmp(text + p, "Build", 5) == 0)
                p += 5;
            else if (text[p] == 'b')
                p += 1;
            else
                p = -1;
            if (p >= 0) {
                divxBuild = ReadDecimal(text, &p);
                if (divxBuild >= 0 && text[p] == 'p') packed = 1;
            }
        }
    }
    if ((xvid >= 1 && xvid <= 12) || (divxBuild >= 1 && divxBuild <= 499)) h->workaround = 1;
    if (packed) h->packed = 1;
    if (n >= 4 && memcmp(text, "Lavc", 4) == 0) h->lavc = 1;
}

int M4vSearchVolHeaders(VBits* b, StreamHeader* h, Mp4vDecPrintFn print) {
    for (;;) {
        int code = M4vFindStartCode(b);
        if (code < 0) return 0;
        if (code == 0xB2) {
            M4vParseUserData(b, h);
        } else if (code >= 0x20 && code <= 0x2F) {
            if (M4vParseVolHeader(b, h, print) < 0) return -1;
        }
    }
}

static const int kDcThrMap[8] = {32, 13, 15, 17, 19, 21, 23, 0};

// Sprite trajectory: du, dv of each warping point into warp (when given).
static void ReadSpriteTrajectory(VBits* b, const StreamHeader* h, int16_t (*warp)[2]) {
    static const uint16_t kDmvLen[][2] = {
        // dmv_length codes of ISO/IEC 14496-2 table V2-2: {code bits, code}
        {2, 0},  {3, 2},   {3, 3},   {3, 4},   {3, 5},     {3, 6},     {4, 14},   {5, 30},
        {6, 62}, {7, 126}, {8, 254}, {9, 510}, {10, 1022}, {11, 2046}, {12, 4094}};
    for (int i = 0; i < h->warpPoints; ++i) {
        for (int c = 0; c < 2; ++c) {
            int len = 0;
            for (int k = 0; k < 15; ++k) {
                if (VbShow(b, kDmvLen[k][0]) == kDmvLen[k][1]) {
                    VbSkip(b, kDmvLen[k][0]);
                    len = k;
                    break;
                }
            }
            int v = 0;
            if (len) {
                v = int(VbGet(b, len));
                if (!(v >> (len - 1))) v -= (1 << len) - 1;
            }
            VbSkip(b, 1);
            if (warp) warp[i][c] = int16_t(v);
        }
    }
}

int M4vParseVopHeader(VBits* b, StreamHeader* h, int16_t (*warp)[2]) {
    int type = int(VbGet(b, 2));
    int mtb = 0;
    while (VbGet1(b)) {
        ++mtb;
        if (VbUnread(b) <= 0) return -1;
    }
    VbSkip(b, 1);
    int inc = int(VbGet(b, h->timeBits));
    VbSkip(b, 1);
    h->codingType = type;
    h->moduloTimeBase = mtb;
    h->timeIncrement = inc;
    if (!VbGet1(b)) {
        h->notCoded = 1;
        return VbUnread(b) >= 0 ? 0 : -1;
    }
    h->notCoded = 0;
    h->rounding = (type == 1 || type == 3) ? int(VbGet1(b)) : 0;
    uint32_t cf = h->complexity;
    if ((cf & (1u << 24)) && ((cf >> 22) & 3) < 2) {
        // I-VOPs carry their own subset; P, B and S-VOPs every group that is on.
        int bitsCount = 0;
        if (type == 0) {
            bitsCount += 8 * __builtin_popcount((cf >> 16) & 0x3F);  // shape
            bitsCount += 8 * __builtin_popcount((cf >> 12) & 0x9);   // intra, not_coded
            bitsCount += 8 * __builtin_popcount((cf >> 9) & 0x7);    // dct_coefs..vlc_symbols
            bitsCount += 4 * ((cf >> 8) & 1);                        // vlc_bits
            bitsCount += 8 * ((cf >> 1) & 1);                        // sadct
        } else {
            bitsCount += 8 * __builtin_popcount((cf >> 16) & 0x3F);
            bitsCount += 8 * __builtin_popcount((cf >> 12) & 0xF);
            bitsCount += 8 * __builtin_popcount((cf >> 9) & 0x7);
            bitsCount += 4 * ((cf >> 8) & 1);
            bitsCount += 8 * __builtin_popcount((cf >> 2) & 0x3F);
            bitsCount += 8 * __builtin_popcount(cf & 0x3);
        }
        VbSkip(b, bitsCount);
    }
    h->intraDcThr = kDcThrMap[VbGet(b, 3)];
    if (h->interlaced) {
        h->topFieldFirst = int(VbGet1(b));
        h->altVertScan = int(VbGet1(b));
    } else {
        h->topFieldFirst = 0;
        h->altVertScan = 0;
    }
    if (h->spriteEnable == 2 && type == 3) {
        if (warp) memset(warp, 0, sizeof(int16_t) * 6);
        ReadSpriteTrajectory(b, h, warp);
        if (h->brightnessChange) {
            // brightness_change_factor: length code then value, not applied.
            if (!VbGet1(b))
                VbSkip(b, 5);
            else if (!VbGet1(b))
                VbSkip(b, 6);
            else if (!VbGet1(b))
                VbSkip(b, 7);
            else if (!VbGet1(b))
                VbSkip(b, 9);
            else
                VbSkip(b, 10);
        }
    }
    int q = int(VbGet(b, 5));
    if (q == 0) return -1;
    h->quant = q;
    if (type != 0) {
        h->fcodeFwd = int(VbGet(b, 3));
        if (h->fcodeFwd == 0) return -1;
    }
    if (type == 2) {
        h->fcodeBwd = int(VbGet(b, 3));
        if (h->fcodeBwd == 0) return -1;
    }
    if (type == 0)
        h->resyncLen = 17;
    else if (type == 2) {
        int f = h->fcodeFwd > h->fcodeBwd ? h->fcodeFwd : h->fcodeBwd;
        h->resyncLen = 16 + f < 18 ? 18 : 16 + f;
    } else
        h->resyncLen = 16 + h->fcodeFwd;
    return VbUnread(b) >= 0 ? 0 : -1;
}

int M4vParseVideoPacketHeader(Mp4vDecoder* d) {
    VBits* b = &d->bs;
    StreamHeader* h = d->hdr;
    for (;;) {
        VbAlign(b);
        if (VbUnread(b) < 8) return -1;
        if (VbUnread(b) >= 24 && VbShow(b, 24) == 1) return 1;
        if (VbUnread(b) >= h->resyncLen && VbShow(b, h->resyncLen) == 1) break;
        VbSkip(b, 8);
    }
    VbSkip(b, h->resyncLen);
    int mbBits = M4vBitLength(uint32_t(d->mbCount - 1));
    if (mbBits < 1) mbBits = 1;
    int mbNum = int(VbGet(b, mbBits));
    if (mbNum < d->mbIndex || mbNum >= d->mbCount) return -1;
    int q = int(VbGet(b, 5));
    if (q == 0) return -1;
    if (VbGet1(b)) {
        while (VbGet1(b))
            if (VbUnread(b) <= 0) return -1;
        VbSkip(b, 1);
        VbSkip(b, h->timeBits);
        VbSkip(b, 1);
        // vop_coding_type (2) and intra_dc_vlc_thr (3) are five bits together.
        int type = int(VbGet(b, 2));
        VbSkip(b, 3);
        if (h->spriteEnable == 2 && type == 3) ReadSpriteTrajectory(b, h, nullptr);
        if (type != 0) VbSkip(b, 3);
        if (type == 2) VbSkip(b, 3);
    }
    if (VbUnread(b) < 0) return -1;
    M4vConcealUpTo(d, mbNum);
    d->qp = q;
    return 0;
}

static const int kH263Sizes[8][2] = {{0, 0},     {128, 96},    {176, 144}, {352, 288},
                                     {704, 576}, {1408, 1152}, {0, 0},     {0, 0}};

static int FindPictureStart(VBits* b) {
    for (;;) {
        VbAlign(b);
        if (VbUnread(b) < 22) return -1;
        if (VbShow(b, 22) == 0x20) {
            VbSkip(b, 22);
            return 0;
        }
        VbSkip(b, 8);
    }
}

int M4vParseH263PictureHeader(VBits* b, StreamHeader* h, int* format, Mp4vDecPrintFn print) {
    if (FindPictureStart(b) < 0) return -1;
    int tr = int(VbGet(b, 8));
    VbSkip(b, 5);
    int fmt = int(VbGet(b, 3));
    int width = h->width, height = h->height;
    int type, rounding = 0;
    if (fmt >= 1 && fmt <= 5) {
        width = kH263Sizes[fmt][0];
        height = kH263Sizes[fmt][1];
        type = int(VbGet1(b));
        VbSkip(b, 4);
        int q = int(VbGet(b, 5));
        if (q == 0) return -1;
        h->quant = q;
        if (VbGet1(b)) {
            Say(print, "Not supported H263 features\n");
            return -1;
        }
    } else if (fmt == 7) {
        int ufep = int(VbGet(b, 3));
        int custom = 0, customClock = 0;
        if (ufep == 1) {
            int f = int(VbGet(b, 3));
            customClock = int(VbGet1(b));
            VbSkip(b, 1);
            if (VbGet(b, 9) != 0) {
                Say(print, "Not supported H263 features\n");
                return -1;
            }
            VbSkip(b, 4);
            if (f == 6) {
                custom = 1;
            } else {
                width = kH263Sizes[f][0];
                height = kH263Sizes[f][1];
                if (width == 0) return -1;
            }
        }
        type = int(VbGet(b, 3));
        if (type > 1) {
            Say(print, "Not supported H263 features\n");
            return -1;
        }
        if (VbGet(b, 2) != 0) {
            Say(print, "Not supported H263 features\n");
            return -1;
        }
        rounding = int(VbGet1(b));
        VbSkip(b, 3);
        if (VbGet1(b)) {
            Say(print, "Not supported H263 features\n");
            return -1;
        }
        if (custom) {
            int par = int(VbGet(b, 4));
            width = (int(VbGet(b, 9)) + 1) * 4;
            VbSkip(b, 1);
            height = int(VbGet(b, 9)) * 4;
            if (par == 15) VbSkip(b, 16);
        }
        if (customClock) {
            if (ufep == 1) VbSkip(b, 8);
            VbSkip(b, 2);
        }
        int q = int(VbGet(b, 5));
        if (q == 0) return -1;
        h->quant = q;
    } else {
        return -1;
    }
    while (VbGet1(b)) {
        VbSkip(b, 8);
        if (VbUnread(b) <= 0) return -1;
    }
    if (VbUnread(b) < 0 || width <= 0 || height <= 0) return -1;
    h->width = width;
    h->height = height;
    h->codingType = type;
    h->timeIncrement = tr;
    h->rounding = rounding;
    h->notCoded = 0;
    h->fcodeFwd = 1;
    h->quantType = 0;
    h->interlaced = 0;
    h->altVertScan = 0;
    if (format) *format = fmt;
    return 0;
}

int M4vParseH263GobHeader(Mp4vDecoder* d) {
    VBits* b = &d->bs;
    for (;;) {
        if (VbUnread(b) < 17) return -1;
        if ((VbBitPos(b) & 7) == 0 && VbUnread(b) >= 22 && VbShow(b, 22) == 0x20) return 1;
        if (VbShow(b, 17) == 1) break;
        VbSkip(b, 1);
    }
    VbSkip(b, 17);
    int gn = int(VbGet(b, 5));
    // Pictures taller than 400 lines have GOBs of 2 or 4 macroblock rows.
    int first = gn * d->mbw * d->gobRows;
    if (first < d->mbIndex || first >= d->mbCount) return -1;
    VbSkip(b, 2);
    int q = int(VbGet(b, 5));
    if (q == 0) return -1;
    M4vConcealUpTo(d, first);
    d->qp = q;
    d->hdr->quant = q;
    return 0;
}
