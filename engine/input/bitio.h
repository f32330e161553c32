// Most-significant-bit-first bit reader and writer over a byte buffer, the
// start-code searches and the hexadecimal text converter.
//
// Reading past the end of the data yields zero bits and sets the sticky
// `overrun` flag; no byte outside the buffer is ever read or written, so
// callers may check the flag once per unit instead of after every read.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include <stddef.h>
#include <stdint.h>

struct BitReader {
    uint8_t* data;       // start of the buffer
    uint32_t length;     // buffer length in bytes
    uint32_t bytePos;    // byte holding the next bit (may lie past the end)
    uint32_t bitOffset;  // 0-7 within that byte, 0 = its most significant bit
    uint32_t consumed;   // bits read or written since creation
    uint32_t totalBits;  // length x 8
    int writable;        // made by BitWriter_Create / BitWriter_Init
    int overrun;         // a read or write went past the end
    int saved;
    uint32_t savedBytePos, savedBitOffset, savedConsumed;
};

// Heap-allocated streams; null on allocation failure.
BitReader* BitReader_Create(const void* buffer, uint32_t length);
BitReader* BitWriter_Create(void* buffer, uint32_t length);
void BitReader_Destroy(BitReader* stream);  // null ignored
// The same over a caller-owned record.
void BitReader_Init(BitReader* stream, const void* buffer, uint32_t length);
void BitWriter_Init(BitReader* stream, void* buffer, uint32_t length);

// n is 0-32 at any bit offset.
uint32_t BitReader_ShowBits(const BitReader* stream, uint32_t n);
void BitReader_SkipBits(BitReader* stream, uint32_t n);
uint32_t BitReader_GetBits(BitReader* stream, uint32_t n);
uint32_t BitReader_GetBit(BitReader* stream);
uint32_t BitReader_GetBits8(BitReader* stream, uint32_t n);  // n up to 8
// Bits skipped to reach the next byte boundary (0 when aligned).
uint32_t BitReader_ByteAlign(BitReader* stream);
uint32_t BitReader_Position(const BitReader* stream);
// Bits left before the end of the data (0 once past it).
uint32_t BitReader_BitsLeft(const BitReader* stream);
// 1 saves the position; 0 returns to the saved one and forgets it.
void BitReader_SaveRestore(BitReader* stream, int save);

// Writes the low n bits (0-32) of value. The rest of the 32-bit window at
// the position is cleared, so a header can be written field by field into
// any buffer. Nothing is written outside the buffer or into a read-only
// stream.
void BitWriter_PutBits(BitReader* stream, uint32_t n, uint32_t value);
void BitWriter_PutBytes(BitReader* stream, uint32_t count, const uint8_t* bytes);

// Moves *data on until 00 00 01 stands at it while at least 5 bytes remain;
// the code is 0x100 + the byte after the prefix. 1 when found.
int StartCode_FindNext(const uint8_t** data, uint32_t* remaining, uint32_t* code);
// The same for one given 32-bit code (00 00 01 xx).
int StartCode_Find(const uint8_t** data, uint32_t* remaining, uint32_t code);

// Lower-cases text in place, then turns each pair of characters into a byte;
// an odd last character is ignored. Returns the bytes written.
uint32_t Hex_ToBytes(char* text, uint32_t length, uint8_t* out);
