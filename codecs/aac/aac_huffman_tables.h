// Huffman codeword tables (standard order) and the compile-time tree builder.
#ifndef CODECS_AAC_AAC_HUFFMAN_TABLES_H
#define CODECS_AAC_AAC_HUFFMAN_TABLES_H

#include <stdint.h>

extern const uint32_t kAacSfCode[121];
extern const uint8_t kAacSfLen[121];
extern const uint16_t kAacCode1[81], kAacCode2[81], kAacCode3[81], kAacCode4[81];
extern const uint16_t kAacCode5[81], kAacCode6[81], kAacCode7[64], kAacCode8[64];
extern const uint16_t kAacCode9[169], kAacCode10[169], kAacCode11[289];
extern const uint8_t kAacLen1[81], kAacLen2[81], kAacLen3[81], kAacLen4[81];
extern const uint8_t kAacLen5[81], kAacLen6[81], kAacLen7[64], kAacLen8[64];
extern const uint8_t kAacLen9[169], kAacLen10[169], kAacLen11[289];

#endif
