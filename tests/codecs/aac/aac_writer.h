// A small AAC stream writer for faults no encoder makes: ADTS frames with a
// CRC, single channel elements with chosen ics_info, sections, TNS and
// spectral bits, coupling elements and fill elements.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace aactest {

struct BitWriter {
    std::string bits;  // '0' / '1'
    void Put(uint32_t v, int n) {
        for (int i = n - 1; i >= 0; i--) bits += ((v >> i) & 1) ? '1' : '0';
    }
    void Raw(const std::string& b) { bits += b; }
};

inline uint16_t Crc16(const std::string& bits) {
    uint16_t v = 0xFFFF;
    for (char c : bits) {
        int bit = c == '1';
        int top = (v >> 15) & 1;
        v = (uint16_t)(v << 1);
        if (bit != top) v ^= 0x8005;
    }
    return v;
}

// The element-level options of one single channel element.
struct SceOptions {
    int globalGain = 100;
    int windowSequence = 0;  // long only here, unless 2
    int maxSfb = 0;
    int predictor = 0;
    int sectionCb = 1;  // codebook of the one section covering max_sfb bands
    int gainControl = 0;
    int tnsLength = -1;       // >= 0: one TNS filter of this length (order 1)
    std::string pulse = "0";  // pulse_data_present and the pulse data
    std::string spectral;     // spectral bits after the side info
};

// individual_channel_stream of a single channel element (without the id).
inline std::string SceBits(const SceOptions& o) {
    BitWriter w;
    w.Put(0, 4);  // element_instance_tag
    w.Put((uint32_t)o.globalGain, 8);
    w.Put(0, 1);
    w.Put((uint32_t)o.windowSequence, 2);
    w.Put(0, 1);
    if (o.windowSequence == 2) {
        w.Put((uint32_t)o.maxSfb, 4);
        w.Put(0x7F, 7);
    } else {
        w.Put((uint32_t)o.maxSfb, 6);
        w.Put((uint32_t)o.predictor, 1);
    }
    if (o.maxSfb > 0) {
        w.Put((uint32_t)o.sectionCb, 4);
        int left = o.maxSfb;
        int lenBits = o.windowSequence == 2 ? 3 : 5, esc = (1 << lenBits) - 1;
        while (left >= esc) {
            w.Put((uint32_t)esc, lenBits);
            left -= esc;
        }
        w.Put((uint32_t)left, lenBits);
        if (o.sectionCb != 0 && o.sectionCb != 12)
            for (int b = 0; b < o.maxSfb; b++) w.Put(0, 1);  // scalefactor difference 0
    }
    w.Raw(o.pulse);
    if (o.tnsLength >= 0) {
        w.Put(1, 1);
        w.Put(1, 2);  // n_filt
        w.Put(0, 1);  // coef_res
        w.Put((uint32_t)o.tnsLength, 6);
        w.Put(1, 5);  // order
        w.Put(0, 1);  // direction
        w.Put(0, 1);  // compress
        w.Put(1, 3);  // coefficient
    } else {
        w.Put(0, 1);
    }
    w.Put((uint32_t)o.gainControl, 1);
    w.Raw(o.spectral);
    return w.bits;
}

// An ADTS frame around raw data block bits (which end with ID_END). With
// protection the CRC covers the header and the first 192 bits of the
// elements given in crcBits (zero-padded), as the decoder registers them.
inline std::vector<uint8_t> Adts(const std::string& block, int sfi = 3, int chanCfg = 1,
                                 bool protect = false,
                                 const std::vector<std::string>& crcElements = {},
                                 int lengthAdjust = 0, bool breakCrc = false) {
    std::string b = block;
    while (b.size() % 8) b += '0';
    int header = protect ? 9 : 7;
    int len = (int)b.size() / 8 + header;
    BitWriter h;
    h.Put(0xFFF, 12);
    h.Put(0, 1);
    h.Put(0, 2);
    h.Put(protect ? 0 : 1, 1);
    h.Put(1, 2);
    h.Put((uint32_t)sfi, 4);
    h.Put(0, 1);
    h.Put((uint32_t)chanCfg, 3);
    h.Put(0, 4);
    h.Put((uint32_t)(len + lengthAdjust), 13);
    h.Put(0x7FF, 11);
    h.Put(0, 2);
    std::string all = h.bits;
    if (protect) {
        std::string covered = h.bits;
        for (const std::string& e : crcElements) {
            std::string r = e.substr(0, 192);
            while (r.size() < 192) r += '0';
            covered += r;
        }
        uint16_t crc = Crc16(covered);
        if (breakCrc) crc ^= 1;
        BitWriter c;
        c.Put(crc, 16);
        all += c.bits;
    }
    all += b;
    std::vector<uint8_t> out;
    for (size_t i = 0; i + 8 <= all.size(); i += 8)
        out.push_back((uint8_t)std::stoi(all.substr(i, 8), nullptr, 2));
    return out;
}

// One CRC region as the decoder registers it: length > 0 covers exactly
// that many bits of the element (zero bits past its end), 0 the whole element.
struct CrcRegion {
    std::string bits;
    int length;
};

// A protected ADTS frame whose CRC covers the header and the given regions.
inline std::vector<uint8_t> AdtsWithCrc(const std::string& block, int chanCfg,
                                        const std::vector<CrcRegion>& regions,
                                        bool breakCrc = false) {
    std::vector<uint8_t> f = Adts(block, 3, chanCfg, true);
    std::string covered;
    for (int i = 0; i < 7; i++) {  // the header without its CRC field
        BitWriter w;
        w.Put(f[(size_t)i], 8);
        covered += w.bits;
    }
    for (const CrcRegion& r : regions) {
        if (r.length == 0) {
            covered += r.bits;
            continue;
        }
        std::string b = r.bits.substr(0, (size_t)r.length);
        while ((int)b.size() < r.length) b += '0';
        covered += b;
    }
    uint16_t crc = Crc16(covered);
    if (breakCrc) crc ^= 1;
    f[7] = (uint8_t)(crc >> 8);
    f[8] = (uint8_t)crc;
    return f;
}

// A data stream element (without the id): count payload bytes, not aligned.
inline std::string DseBits(const std::vector<uint8_t>& payload) {
    BitWriter w;
    w.Put(0, 4);  // element_instance_tag
    w.Put(0, 1);  // data_byte_align_flag
    w.Put((uint32_t)payload.size(), 8);
    for (uint8_t b : payload) w.Put(b, 8);
    return w.bits;
}

// A program config element (without the id) that begins `offset` bits into
// the frame: front elements (1 = channel pair), then a comment.
inline std::string PceBits(int offset, const std::vector<int>& front, const std::string& comment) {
    BitWriter w;
    w.Put(0, 4);  // element_instance_tag
    w.Put(1, 2);  // object type: LC
    w.Put(3, 4);  // 48 kHz
    w.Put((uint32_t)front.size(), 4);
    w.Put(0, 4 + 4 + 2 + 3 + 4);  // side, back, lfe, assoc data, cc
    w.Put(0, 3);                  // no mixdowns
    for (int cpe : front) {
        w.Put((uint32_t)cpe, 1);
        w.Put(0, 4);
    }
    while ((offset + (int)w.bits.size()) % 8) w.Put(0, 1);  // byte_alignment
    w.Put((uint32_t)comment.size(), 8);
    for (char c : comment) w.Put((uint8_t)c, 8);
    return w.bits;
}

inline std::string End() { return "111"; }
inline std::string Id(int id) {
    BitWriter w;
    w.Put((uint32_t)id, 3);
    return w.bits;
}

// A silent mono frame.
inline std::vector<uint8_t> SilentFrame(int sfi = 3) {
    return Adts(Id(0) + SceBits(SceOptions()) + End(), sfi);
}

}  // namespace aactest
