#include "engine/input/bitio.h"

#include <stdlib.h>
#include <string.h>

static uint8_t ByteAt(const BitReader* s, uint64_t index) {
    return index < s->length ? s->data[index] : 0;
}

// Big-endian 40-bit window starting at the current byte: 8 more bits than
// any read at any offset needs.
static uint64_t Window(const BitReader* s) {
    uint64_t w = 0;
    for (uint32_t i = 0; i < 5; ++i) w = (w << 8) | ByteAt(s, (uint64_t)s->bytePos + i);
    return w;
}

static void Advance(BitReader* s, uint32_t n) {
    uint64_t bits = (uint64_t)s->bytePos * 8 + s->bitOffset + n;
    if (bits > (uint64_t)s->length * 8) {
        s->overrun = 1;
        // Parks just past the end rather than wrapping the counters.
        if (bits > (uint64_t)s->length * 8 + 64) bits = (uint64_t)s->length * 8 + 64;
    }
    s->bytePos = (uint32_t)(bits >> 3);
    s->bitOffset = (uint32_t)(bits & 7);
    s->consumed += n;
}

void BitReader_Init(BitReader* s, const void* buffer, uint32_t length) {
    memset(s, 0, sizeof *s);
    s->data = static_cast<uint8_t*>(const_cast<void*>(buffer));
    s->length = buffer ? length : 0;
    s->totalBits = s->length * 8u;
}

void BitWriter_Init(BitReader* s, void* buffer, uint32_t length) {
    BitReader_Init(s, buffer, length);
    s->writable = 1;
}

BitReader* BitReader_Create(const void* buffer, uint32_t length) {
    BitReader* s = static_cast<BitReader*>(malloc(sizeof(BitReader)));
    if (s) BitReader_Init(s, buffer, length);
    return s;
}

BitReader* BitWriter_Create(void* buffer, uint32_t length) {
    BitReader* s = static_cast<BitReader*>(malloc(sizeof(BitReader)));
    if (s) BitWriter_Init(s, buffer, length);
    return s;
}

void BitReader_Destroy(BitReader* s) { free(s); }

uint32_t BitReader_ShowBits(const BitReader* s, uint32_t n) {
    if (n == 0) return 0;
    if (n > 32) n = 32;
    uint64_t w = Window(s);
    return (uint32_t)((w >> (40 - s->bitOffset - n)) & ((1ull << n) - 1));
}

void BitReader_SkipBits(BitReader* s, uint32_t n) { Advance(s, n); }

uint32_t BitReader_GetBits(BitReader* s, uint32_t n) {
    if (n > 32) n = 32;
    uint32_t v = BitReader_ShowBits(s, n);
    Advance(s, n);
    return v;
}

uint32_t BitReader_GetBit(BitReader* s) { return BitReader_GetBits(s, 1); }

uint32_t BitReader_GetBits8(BitReader* s, uint32_t n) {
    return BitReader_GetBits(s, n > 8 ? 8 : n);
}

uint32_t BitReader_ByteAlign(BitReader* s) {
    uint32_t skip = (8 - s->bitOffset) & 7;
    Advance(s, skip);
    return skip;
}

uint32_t BitReader_Position(const BitReader* s) { return s->consumed; }

uint32_t BitReader_BitsLeft(const BitReader* s) {
    uint64_t at = (uint64_t)s->bytePos * 8 + s->bitOffset;
    uint64_t total = (uint64_t)s->length * 8;
    return at >= total ? 0 : (uint32_t)(total - at);
}

void BitReader_SaveRestore(BitReader* s, int save) {
    if (save) {
        s->savedBytePos = s->bytePos;
        s->savedBitOffset = s->bitOffset;
        s->savedConsumed = s->consumed;
        s->saved = 1;
    } else if (s->saved) {
        s->bytePos = s->savedBytePos;
        s->bitOffset = s->savedBitOffset;
        s->consumed = s->savedConsumed;
        s->saved = 0;
    }
}

void BitWriter_PutBits(BitReader* s, uint32_t n, uint32_t value) {
    if (n > 32) n = 32;
    if (!s->writable) {
        Advance(s, n);
        return;
    }
    // The window is the 4 bytes at the position, or 5 when the field
    // crosses them; bits after the field inside it are cleared.
    uint32_t bytes = s->bitOffset + n > 32 ? 5 : 4;
    uint32_t windowBits = bytes * 8;
    uint64_t w = 0;
    for (uint32_t i = 0; i < bytes; ++i) w = (w << 8) | ByteAt(s, (uint64_t)s->bytePos + i);
    uint64_t keepMask = s->bitOffset ? ~0ull << (windowBits - s->bitOffset) : 0;
    uint64_t field = n ? (uint64_t)(value & (uint32_t)((1ull << n) - 1)) : 0;
    w = (w & keepMask) | (field << (windowBits - s->bitOffset - n));
    for (uint32_t i = 0; i < bytes; ++i) {
        uint64_t index = (uint64_t)s->bytePos + i;
        if (index < s->length) s->data[index] = (uint8_t)(w >> (windowBits - 8 * (i + 1)));
    }
    Advance(s, n);
}

void BitWriter_PutBytes(BitReader* s, uint32_t count, const uint8_t* bytes) {
    for (uint32_t i = 0; i < count; ++i) BitWriter_PutBits(s, 8, bytes[i]);
}

int StartCode_FindNext(const uint8_t** data, uint32_t* remaining, uint32_t* code) {
    const uint8_t* p = *data;
    uint32_t left = *remaining;
    int found = 0;
    while (left >= 5) {
        if (p[0] == 0 && p[1] == 0 && p[2] == 1) {
            if (code) *code = 0x100u | p[3];
            found = 1;
            break;
        }
        ++p;
        --left;
    }
    *data = p;
    *remaining = left;
    return found;
}

int StartCode_Find(const uint8_t** data, uint32_t* remaining, uint32_t code) {
    const uint8_t* p = *data;
    uint32_t left = *remaining;
    int found = 0;
    while (left >= 5) {
        uint32_t w = (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
        if (w == code) {
            found = 1;
            break;
        }
        ++p;
        --left;
    }
    *data = p;
    *remaining = left;
    return found;
}

static int HexDigit(char c) { return c >= 'a' && c <= 'f' ? c - 'a' + 10 : c - '0'; }

uint32_t Hex_ToBytes(char* text, uint32_t length, uint8_t* out) {
    for (uint32_t i = 0; i < length; ++i)
        if (text[i] >= 'A' && text[i] <= 'Z') text[i] = (char)(text[i] - 'A' + 'a');
    uint32_t n = length / 2;
    for (uint32_t i = 0; i < n; ++i)
        out[i] = (uint8_t)(HexDigit(text[2 * i]) * 16 + HexDigit(text[2 * i + 1]));
    return n;
}
