#include "tools/mkres/gif_lzw.h"

#include <cstddef>
#include <unordered_map>

namespace mkres {

namespace {

class BitWriter {
public:
    void Put(uint32_t code, int bits) {
        acc_ |= static_cast<uint64_t>(code) << n_;
        n_ += bits;
        while (n_ >= 8) {
            out_.push_back(static_cast<uint8_t>(acc_));
            acc_ >>= 8;
            n_ -= 8;
        }
    }
    std::vector<uint8_t> Finish() {
        if (n_ > 0) out_.push_back(static_cast<uint8_t>(acc_));
        acc_ = 0;
        n_ = 0;
        return std::move(out_);
    }

private:
    uint64_t acc_ = 0;
    int n_ = 0;
    std::vector<uint8_t> out_;
};

}  // namespace

std::vector<uint8_t> LzwEncode(const std::vector<uint8_t>& pixels, int minCodeSize) {
    const uint32_t clear = 1u << minCodeSize;
    const uint32_t end = clear + 1;
    const uint32_t first = clear + 2;
    BitWriter out;
    std::unordered_map<uint32_t, uint32_t> table;
    uint32_t next = first;
    // The width is the one a decoder reads with: it adds a table entry for
    // every code after the first since the last clear, and widens when its
    // next free entry reaches 1 << width.
    uint32_t sinceClear = 0;
    auto width = [&] {
        uint32_t decoderNext = first + (sinceClear > 0 ? sinceClear - 1 : 0);
        int w = minCodeSize + 1;
        while (w < 12 && decoderNext >= (1u << w)) ++w;
        return w;
    };
    auto emit = [&](uint32_t code) {
        out.Put(code, width());
        ++sinceClear;
    };
    auto reset = [&] {
        table.clear();
        next = first;
    };
    emit(clear);
    sinceClear = 0;
    if (pixels.empty()) {
        emit(end);
        return out.Finish();
    }
    uint32_t prefix = pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        const uint32_t k = pixels[i];
        const uint32_t key = (prefix << 8) | k;
        auto it = table.find(key);
        if (it != table.end()) {
            prefix = it->second;
            continue;
        }
        emit(prefix);
        table.emplace(key, next++);
        if (next == 4096) {
            emit(clear);
            sinceClear = 0;
            reset();
        }
        prefix = k;
    }
    emit(prefix);
    emit(end);
    return out.Finish();
}

std::vector<uint8_t> SubBlocks(const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out;
    for (size_t at = 0; at < data.size(); at += 255) {
        size_t n = data.size() - at < 255 ? data.size() - at : 255;
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<long>(at),
                   data.begin() + static_cast<long>(at + n));
    }
    out.push_back(0);
    return out;
}

}  // namespace mkres
