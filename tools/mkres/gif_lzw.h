// The variable-length-code LZW of GIF image data: codes grow from
// minCodeSize + 1 bits to 12, a clear code starts every stream and is sent
// again whenever the table is full.
#pragma once

#include <cstdint>
#include <vector>

namespace mkres {

// Packs the codes of pixels (each below 1 << minCodeSize) into bytes, least
// significant bit first, as the image data stream wants them (before it is
// cut into sub-blocks). minCodeSize is 2..8.
std::vector<uint8_t> LzwEncode(const std::vector<uint8_t>& pixels, int minCodeSize);

// Cuts data into sub-blocks of at most 255 bytes followed by a zero-length
// block.
std::vector<uint8_t> SubBlocks(const std::vector<uint8_t>& data);

}  // namespace mkres
