// Bit reader and writer driven by the input: the first bytes choose the
// operations, the rest is the data. Nothing may touch memory outside it.
#include <stddef.h>
#include <stdint.h>

#include <memory>

#include "engine/input/bitio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8 || size > 65536) return 0;
    const uint8_t* ops = data;
    size_t nops = 8;
    uint32_t len = (uint32_t)(size - nops);
    std::unique_ptr<uint8_t[]> buf(new uint8_t[len ? len : 1]);
    for (uint32_t i = 0; i < len; ++i) buf[i] = data[nops + i];

    BitReader br;
    BitReader_Init(&br, buf.get(), len);
    for (size_t round = 0; round < 64; ++round) {
        uint8_t op = ops[round % nops] ^ (uint8_t)round;
        uint32_t n = op % 33;
        switch (op >> 5) {
            case 0: BitReader_GetBits(&br, n); break;
            case 1: BitReader_ShowBits(&br, n); break;
            case 2: BitReader_SkipBits(&br, n * 97); break;
            case 3: BitReader_ByteAlign(&br); break;
            case 4: BitReader_GetBits8(&br, n); break;
            case 5: BitReader_SaveRestore(&br, op & 1); break;
            default: BitReader_GetBit(&br); break;
        }
    }

    BitReader bw;
    BitWriter_Init(&bw, buf.get(), len);
    for (size_t round = 0; round < 64; ++round)
        BitWriter_PutBits(&bw, ops[round % nops] % 33, 0xA5A5A5A5u);

    const uint8_t* p = buf.get();
    uint32_t left = len, code;
    while (StartCode_FindNext(&p, &left, &code)) {
        ++p;
        --left;
    }
    p = buf.get();
    left = len;
    StartCode_Find(&p, &left, 0x000001B6);

    std::unique_ptr<char[]> text(new char[len ? len : 1]);
    for (uint32_t i = 0; i < len; ++i) text[i] = (char)buf[i];
    std::unique_ptr<uint8_t[]> out(new uint8_t[len / 2 + 1]);
    Hex_ToBytes(text.get(), len, out.get());
    return 0;
}
