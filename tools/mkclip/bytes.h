// Big-endian byte buffer with nested box bookkeeping.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mkclip {

class ByteWriter {
public:
    void u8(uint32_t v) { buf_.push_back(static_cast<uint8_t>(v)); }
    void u16(uint32_t v) {
        u8(v >> 8);
        u8(v);
    }
    void u24(uint32_t v) {
        u8(v >> 16);
        u8(v >> 8);
        u8(v);
    }
    void u32(uint32_t v) {
        u16(v >> 16);
        u16(v);
    }
    void fourcc(const char* s) {
        for (int i = 0; i < 4; ++i) u8(static_cast<uint8_t>(s[i]));
    }
    void zeros(size_t n) { buf_.insert(buf_.end(), n, 0); }
    void bytes(const uint8_t* p, size_t n) { buf_.insert(buf_.end(), p, p + n); }
    void bytes(const std::vector<uint8_t>& v) { bytes(v.data(), v.size()); }
    void str(const std::string& s) { bytes(reinterpret_cast<const uint8_t*>(s.data()), s.size()); }

    // Opens a box; close() patches its 32-bit size.
    void open(const char* type) {
        open_.push_back(buf_.size());
        u32(0);
        fourcc(type);
    }
    // A full box: version 0 and the given flags.
    void open_full(const char* type, uint32_t flags = 0) {
        open(type);
        u32(flags & 0xFFFFFF);
    }
    void close() {
        size_t at = open_.back();
        open_.pop_back();
        put32(at, static_cast<uint32_t>(buf_.size() - at));
    }
    void put32(size_t at, uint32_t v) {
        buf_[at] = static_cast<uint8_t>(v >> 24);
        buf_[at + 1] = static_cast<uint8_t>(v >> 16);
        buf_[at + 2] = static_cast<uint8_t>(v >> 8);
        buf_[at + 3] = static_cast<uint8_t>(v);
    }
    size_t size() const { return buf_.size(); }
    const std::vector<uint8_t>& data() const { return buf_; }

private:
    std::vector<uint8_t> buf_;
    std::vector<size_t> open_;
};

inline uint32_t rd16(const uint8_t* p) { return (uint32_t(p[0]) << 8) | p[1]; }
inline uint32_t rd32(const uint8_t* p) { return (rd16(p) << 16) | rd16(p + 2); }

}  // namespace mkclip
