// Reversible-VLC TCOEF tables of the MPEG-4 part 2 video decoder.
#pragma once
#include <stdint.h>

// Decode table of the reversible TCOEF code words (sign bit not included).
// A word 1 0^k 1 x is at 2k + x (k up to 11); a word 0 1^i 0 1^j 0 x at
// RVLC_ONES_ENTRIES + 2 (i * RVLC_MAX_J + j) + x (i up to 10, j up to 11).
// Entry: bit 15 valid, bit 14 last, bits 13-8 run, bits 7-0 level; 0 means
// no such code word. The word 0000 (i = j = 0, x = 0) is the escape.
#define RVLC_MAX_K 12
#define RVLC_MAX_I 11
#define RVLC_MAX_J 12
#define RVLC_ONES_ENTRIES (2 * RVLC_MAX_K)
#define RVLC_ENTRIES (RVLC_ONES_ENTRIES + 2 * RVLC_MAX_I * RVLC_MAX_J)
struct VRvlcTab {
    uint16_t v[RVLC_ENTRIES];
};
extern const VRvlcTab kRvlcIntra;
extern const VRvlcTab kRvlcInter;
