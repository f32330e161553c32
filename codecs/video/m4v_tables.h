// Tables of the MPEG-4 part 2 / H.263 video decoder.
#pragma once
#include <stdint.h>

template <int N>
struct VTab32 {
    uint32_t v[N];
};
template <int N>
struct VTab16 {
    uint16_t v[N];
};
template <int N>
struct VTab8 {
    uint8_t v[N];
};

// Packed TCOEF entry indexed by the next 12 bits: bits 0-5 run, bit 6 last,
// bits 7-15 level, bits 16-20 code length (sign bit not counted); 0 =
// invalid; run 63 = escape.
#define TCOEF_ESCAPE 0x3Fu
extern const VTab32<4096> kTcoefInter;
extern const VTab32<4096> kTcoefIntra;
// LMAX indexed [last * 64 + run], RMAX indexed [last * 64 + level].
extern const VTab8<128> kLmaxInter, kLmaxIntra, kRmaxInter, kRmaxIntra;

// Small VLCs: value in the low byte, code length in the high byte, 0 = invalid.
extern const VTab16<512> kMcbpcIntra;  // value mode*4+cbpc, 255 stuffing
extern const VTab16<512> kMcbpcInter;
extern const VTab16<64> kCbpy;   // value is the intra pattern
extern const VTab16<4096> kMvd;  // magnitude; sign bit follows if nonzero
extern const VTab16<4096> kDcSizeLum;
extern const VTab16<4096> kDcSizeChr;

extern const uint8_t kScanZigzag[64];
extern const uint8_t kScanAltHoriz[64];
extern const uint8_t kScanAltVert[64];
extern const uint8_t kDefaultIntraMatrix[64];
extern const uint8_t kDefaultInterMatrix[64];
extern const VTab32<64> kCoefClass;  // nonzero-summary pattern per raster position
extern const uint32_t kR18[47];      // 2^18 / k + 1 for dc_scaler k
extern const uint32_t kR16[33];      // 65536 / q + 1 for quantiser q
