// Reversible-VLC TCOEF events (data-partitioned I- and P-VOPs with
// reversible_vlc), read forward.
#include "codecs/video/m4v_internal.h"
#include "codecs/video/m4v_rvlc_tables.h"

// One event: 0 with run, level (signed) and last, or -1 on an invalid code.
// Escape: 0000 1, last (1), run (6), marker, |level| (11), marker, 0000,
// sign.
int M4vReadRvlcEvent(VBits* b, int intra, int* run, int* level, int* last) {
    uint32_t v = VbShow(b, 16);
    int len, idx;
    if (v & 0x8000) {
        int k = 0;
        while (k < RVLC_MAX_K && !((v >> (14 - k)) & 1)) ++k;
        if (k == RVLC_MAX_K) return -1;
        len = k + 3;
        idx = 2 * k + int((v >> (16 - len)) & 1);
    } else {
        int i = 0, j = 0;
        while (i < RVLC_MAX_I && ((v >> (14 - i)) & 1)) ++i;
        if (i == RVLC_MAX_I) return -1;
        while (j < RVLC_MAX_J && 2 + i + j < 16 && ((v >> (13 - i - j)) & 1)) ++j;
        if (j == RVLC_MAX_J || 2 + i + j >= 15) return -1;
        len = i + j + 4;
        int x = int((v >> (16 - len)) & 1);
        if (i == 0 && j == 0 && x == 0) {  // escape
            VbSkip(b, 5);
            *last = int(VbGet1(b));
            *run = int(VbGet(b, 6));
            VbSkip(b, 1);
            int l = int(VbGet(b, 11));
            VbSkip(b, 1);
            VbSkip(b, 4);
            if (l == 0) return -1;
            *level = VbGet1(b) ? -l : l;
            return 0;
        }
        idx = RVLC_ONES_ENTRIES + (i * RVLC_MAX_J + j) * 2 + x;
    }
    uint32_t e = (intra ? kRvlcIntra.v : kRvlcInter.v)[idx];
    if (!e) return -1;
    VbSkip(b, len);
    *last = int((e >> 14) & 1);
    *run = int((e >> 8) & 63);
    int l = int(e & 0xFF);
    *level = VbGet1(b) ? -l : l;
    return 0;
}
