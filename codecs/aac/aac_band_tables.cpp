// clang-format off
// Scalefactor band tables and TNS band limits per sampling rate.
#include "codecs/aac/aac_tables.h"

// Sampling frequencies by sampling_frequency_index (ISO/IEC 14496-3 Table 1.18)
extern const int32_t kAacSampleRates[12] = {96000, 88200, 64000, 48000, 44100, 32000,
                                            24000, 22050, 16000, 12000, 11025, 8000};

// swb_offset_long_window, 96 and 88.2 kHz (ISO/IEC 14496-3 Table 4.138)
static const uint16_t kSwbLong96[42] = {
    0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40, 44, 48, 52, 56, 64, 72, 80, 88, 96, 108,
    120, 132, 144, 156, 172, 188, 212, 240, 276, 320, 384, 448, 512, 576, 640, 704, 768, 832, 896, 960, 1024};
// swb_offset_long_window, 64 kHz (Table 4.136)
static const uint16_t kSwbLong64[48] = {
    0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40, 44, 48, 52, 56, 64, 72, 80, 88, 100, 112, 124, 140, 156,
    172, 192, 216, 240, 268, 304, 344, 384, 424, 464, 504, 544, 584, 624, 664, 704, 744, 784, 824, 864, 904, 944, 984, 1024};
// swb_offset_long_window, 48 and 44.1 kHz (Table 4.131)
static const uint16_t kSwbLong48[50] = {
    0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40, 48, 56, 64, 72, 80, 88, 96, 108, 120, 132, 144, 160, 176, 196,
    216, 240, 264, 292, 320, 352, 384, 416, 448, 480, 512, 544, 576, 608, 640, 672, 704, 736, 768, 800, 832, 864, 896, 928, 1024};
// swb_offset_long_window, 32 kHz (Table 4.131, 51 bands)
static const uint16_t kSwbLong32[52] = {
    0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40, 48, 56, 64, 72, 80, 88, 96, 108, 120, 132, 144, 160, 176, 196,
    216, 240, 264, 292, 320, 352, 384, 416, 448, 480, 512, 544, 576, 608, 640, 672, 704, 736, 768, 800, 832, 864, 896, 928, 960, 992, 1024};
// swb_offset_long_window, 24 and 22.05 kHz (Table 4.140)
static const uint16_t kSwbLong24[48] = {
    0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40, 44, 52, 60, 68, 76, 84, 92, 100, 108, 116, 124, 136, 148,
    160, 172, 188, 204, 220, 240, 260, 284, 308, 336, 364, 396, 432, 468, 508, 552, 600, 652, 704, 768, 832, 896, 960, 1024};
// swb_offset_long_window, 16, 12 and 11.025 kHz (Table 4.142)
static const uint16_t kSwbLong16[44] = {
    0, 8, 16, 24, 32, 40, 48, 56, 64, 72, 80, 88, 100, 112, 124, 136, 148, 160, 172, 184, 196, 212,
    228, 244, 260, 280, 300, 320, 344, 368, 396, 424, 456, 492, 532, 572, 616, 664, 716, 772, 832, 896, 960, 1024};
// swb_offset_long_window, 8 kHz (Table 4.144)
static const uint16_t kSwbLong8[41] = {
    0, 12, 24, 36, 48, 60, 72, 84, 96, 108, 120, 132, 144, 156, 172, 188, 204, 220, 236, 252, 268,
    288, 308, 328, 348, 372, 396, 420, 448, 476, 508, 544, 580, 620, 664, 712, 764, 820, 880, 944, 1024};

// swb_offset_short_window, 96, 88.2 and 64 kHz (Table 4.139)
static const uint16_t kSwbShort96[13] = {0, 4, 8, 12, 16, 20, 24, 32, 40, 48, 64, 92, 128};
// swb_offset_short_window, 48, 44.1 and 32 kHz (Table 4.132)
static const uint16_t kSwbShort48[15] = {0, 4, 8, 12, 16, 20, 28, 36, 44, 56, 68, 80, 96, 112, 128};
// swb_offset_short_window, 24 and 22.05 kHz (Table 4.141)
static const uint16_t kSwbShort24[16] = {0, 4, 8, 12, 16, 20, 24, 28, 36, 44, 52, 64, 76, 92, 108, 128};
// swb_offset_short_window, 16, 12 and 11.025 kHz (Table 4.143)
static const uint16_t kSwbShort16[16] = {0, 4, 8, 12, 16, 20, 24, 28, 32, 40, 48, 60, 72, 88, 108, 128};
// swb_offset_short_window, 8 kHz (Table 4.145)
static const uint16_t kSwbShort8[16] = {0, 4, 8, 12, 16, 20, 24, 28, 36, 44, 52, 60, 72, 88, 108, 128};

// Rate table: bands per window and TNS_MAX_BANDS for AAC LC (ISO/IEC 14496-3 Table 4.156)
extern const AacRateTable kAacRateTables[12] = {
    {96000, 41, 12, kSwbLong96, kSwbShort96, 31, 9},
    {88200, 41, 12, kSwbLong96, kSwbShort96, 31, 9},
    {64000, 47, 12, kSwbLong64, kSwbShort96, 34, 10},
    {48000, 49, 14, kSwbLong48, kSwbShort48, 40, 14},
    {44100, 49, 14, kSwbLong48, kSwbShort48, 42, 14},
    {32000, 51, 14, kSwbLong32, kSwbShort48, 51, 14},
    {24000, 47, 15, kSwbLong24, kSwbShort24, 46, 14},
    {22050, 47, 15, kSwbLong24, kSwbShort24, 46, 14},
    {16000, 43, 15, kSwbLong16, kSwbShort16, 42, 14},
    {12000, 43, 15, kSwbLong16, kSwbShort16, 42, 14},
    {11025, 43, 15, kSwbLong16, kSwbShort16, 42, 14},
    {8000, 40, 15, kSwbLong8, kSwbShort8, 39, 14},
};
