// Encoder-side MPEG-4 part 2 bitstream writer for hand-built test streams:
// the syntax that no encoder on this machine produces (data partitioning
// with chosen packets, header extension codes, not-coded VOPs, every
// intra_dc_vlc_thr, user data, S-VOPs with a sprite trajectory). It writes
// valid syntax with pseudo-random content (modes, patterns, vector
// differences, coefficients) drawn from a seeded generator; it does not
// code a source picture. The decoded result is whatever the syntax says, and
// the tests compare it with FFmpeg's decode of the same bytes.
//
// Code words are taken by inverting the decoder's own lookup tables, so a
// wrong table entry shows up as a difference from FFmpeg.
#pragma once
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "codecs/video/m4v_rvlc_tables.h"
#include "codecs/video/m4v_tables.h"

namespace m4vtest {

class Bits {
public:
    void Put(uint32_t value, int n) {
        for (int i = n - 1; i >= 0; --i) PutBit(int(value >> i) & 1);
    }
    void PutBit(int b) {
        if (n_ % 8 == 0) bytes_.push_back(0);
        if (b) bytes_.back() |= uint8_t(0x80 >> (n_ % 8));
        ++n_;
    }
    void Append(const Bits& o) {
        for (size_t i = 0; i < o.n_; ++i) PutBit((o.bytes_[i / 8] >> (7 - i % 8)) & 1);
    }
    // MPEG-4 stuffing up to the byte boundary: a zero then ones (a whole byte
    // when already aligned).
    void Stuff() {
        PutBit(0);
        while (n_ % 8) PutBit(1);
    }
    void StartCode(uint8_t code) {
        while (n_ % 8) PutBit(0);
        Put(1, 24);
        Put(code, 8);
    }
    size_t size() const { return n_; }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    size_t n_ = 0;
};

// Deterministic generator (the same stream on every run).
class Rng {
public:
    explicit Rng(uint32_t seed) : s_(seed * 2654435761u + 1) {}
    uint32_t Next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        return s_;
    }
    int Range(int lo, int hi) { return lo + int(Next() % uint32_t(hi - lo + 1)); }
    bool Chance(int percent) { return int(Next() % 100) < percent; }

private:
    uint32_t s_;
};

struct Code {
    uint32_t bits = 0;
    int len = 0;
};

// Code words of the small VLCs (value -> code), from an N-bit lookup table.
template <int N>
std::map<int, Code> InvertSmall(const uint16_t* tab) {
    std::map<int, Code> m;
    for (uint32_t i = 0; i < (1u << N); ++i) {
        uint16_t e = tab[i];
        if (!e) continue;
        int len = e >> 8, v = e & 0xFF;
        if (m.count(v)) continue;
        m[v] = Code{i >> (N - len), len};
    }
    return m;
}

struct TcoefCodes {
    std::map<uint32_t, Code> events;  // key last << 16 | run << 8 | level
    Code escape;
};

// Reversible code words (sign bit not included) from the decoder's table
// layout: 1 0^k 1 x, or 0 1^i 0 1^j 0 x.
inline TcoefCodes InvertRvlc(const uint16_t* tab) {
    TcoefCodes t;
    for (int idx = 0; idx < RVLC_ENTRIES; ++idx) {
        uint16_t e = tab[idx];
        if (!e) continue;
        std::string w;
        if (idx < RVLC_ONES_ENTRIES) {
            w = "1" + std::string(size_t(idx / 2), '0') + "1";
        } else {
            int rel = (idx - RVLC_ONES_ENTRIES) / 2;
            w = "0" + std::string(size_t(rel / RVLC_MAX_J), '1') + "0" +
                std::string(size_t(rel % RVLC_MAX_J), '1') + "0";
        }
        w += char('0' + (idx & 1));
        Code c;
        for (char ch : w) c.bits = c.bits << 1 | uint32_t(ch - '0');
        c.len = int(w.size());
        uint32_t key = uint32_t((e >> 14) & 1) << 16 | uint32_t((e >> 8) & 63) << 8 | (e & 0xFF);
        t.events[key] = c;
    }
    t.escape = Code{0, 4};  // 0000, then 1 and the fixed-length fields
    return t;
}

inline TcoefCodes InvertTcoef(const uint32_t* tab) {
    TcoefCodes t;
    for (uint32_t i = 0; i < 4096; ++i) {
        uint32_t e = tab[i];
        if (!e) continue;
        int len = int(e >> 16);
        Code c{i >> (12 - len), len};
        uint32_t run = e & 63;
        if (run == TCOEF_ESCAPE) {
            t.escape = c;
            continue;
        }
        uint32_t key = ((e >> 6) & 1) << 16 | run << 8 | ((e >> 7) & 0x1FF);
        if (!t.events.count(key)) t.events[key] = c;
    }
    return t;
}

struct WriterConfig {
    int width = 176, height = 144;
    int timeRes = 25;
    bool dataPartitioned = false;
    bool reversibleVlc = false;  // with data partitioning: I- and P-VOP texture
    bool sweep = false;          // reversible VLC: coded blocks walk through every table entry
    int packetMbs = 0;           // a video packet every so many macroblocks; 0: none
    bool hec = false;            // header extension in every packet header
    int warpPoints = -1;         // >= 0: GMC stream (sprite_enable 2) with this many points
    int warpAccuracy = 3;
    std::string userData;  // written before the VOL when not empty
    // Damage: in VOP `damagedVop` (counted from 0), packet `damagedPacket` is
    // left out whole (dropPacket) or its first macroblock code is invalid.
    int damagedVop = -1, damagedPacket = -1;
    bool dropPacket = false;
};

// Quantised coefficient events of one block: scan index and level.
struct Event {
    int index, level;
};

class M4vWriter {
public:
    M4vWriter(const WriterConfig& c, uint32_t seed) : c_(c), rng_(seed) {
        mcbpcIntra_ = InvertSmall<9>(kMcbpcIntra.v);
        mcbpcInter_ = InvertSmall<9>(kMcbpcInter.v);
        cbpy_ = InvertSmall<6>(kCbpy.v);
        mvd_ = InvertSmall<12>(kMvd.v);
        dcLum_ = InvertSmall<12>(kDcSizeLum.v);
        dcChr_ = InvertSmall<12>(kDcSizeChr.v);
        intra_ = InvertTcoef(kTcoefIntra.v);
        inter_ = InvertTcoef(kTcoefInter.v);
        rvlcIntra_ = InvertRvlc(kRvlcIntra.v);
        rvlcInter_ = InvertRvlc(kRvlcInter.v);
        mbw_ = (c.width + 15) / 16;
        mbh_ = (c.height + 15) / 16;
        timeBits_ = 1;
        while ((1 << timeBits_) < c.timeRes) ++timeBits_;
    }

    const std::vector<uint8_t>& bytes() const { return out_.bytes(); }
    // One entry per VOP written: 1 coded, 0 not coded.
    const std::vector<int>& coded() const { return coded_; }
    int mbCount() const { return mbw_ * mbh_; }

    void Headers() {
        Bits& w = out_;
        w.StartCode(0xB0);
        w.Put(1, 8);  // profile and level
        w.StartCode(0xB5);
        w.Put(0, 1);  // is_visual_object_identifier
        w.Put(1, 4);  // video ID
        w.Put(0, 1);  // video_signal_type
        w.Stuff();
        w.StartCode(0x00);
        if (!c_.userData.empty()) {
            w.StartCode(0xB2);
            for (char ch : c_.userData) w.Put(uint8_t(ch), 8);
        }
        w.StartCode(0x20);
        w.Put(0, 1);  // random_accessible_vol
        w.Put(1, 8);  // simple object
        w.Put(1, 1);  // is_object_layer_identifier
        w.Put(2, 4);  // verid 2
        w.Put(1, 3);
        w.Put(1, 4);  // square pixels
        w.Put(1, 1);  // vol_control_parameters
        w.Put(1, 2);  // 4:2:0
        w.Put(1, 1);  // low_delay
        w.Put(0, 1);  // no vbv parameters
        w.Put(0, 2);  // rectangular
        w.Put(1, 1);
        w.Put(uint32_t(c_.timeRes), 16);
        w.Put(1, 1);
        w.Put(0, 1);  // fixed_vop_rate
        w.Put(1, 1);
        w.Put(uint32_t(c_.width), 13);
        w.Put(1, 1);
        w.Put(uint32_t(c_.height), 13);
        w.Put(1, 1);
        w.Put(0, 1);  // interlaced
        w.Put(1, 1);  // obmc_disable
        if (c_.warpPoints >= 0) {
            w.Put(2, 2);  // GMC
            w.Put(uint32_t(c_.warpPoints), 6);
            w.Put(uint32_t(c_.warpAccuracy), 2);
            w.Put(0, 1);  // brightness change
        } else {
            w.Put(0, 2);
        }
        w.Put(0, 1);                     // not_8_bit
        w.Put(0, 1);                     // quant_type
        w.Put(0, 1);                     // quarter_sample
        w.Put(1, 1);                     // complexity estimation disabled
        w.Put(c_.packetMbs ? 0 : 1, 1);  // resync_marker_disable
        w.Put(c_.dataPartitioned ? 1 : 0, 1);
        if (c_.dataPartitioned) w.Put(c_.reversibleVlc ? 1 : 0, 1);
        w.Put(0, 1);  // newpred
        w.Put(0, 1);  // reduced resolution
        w.Put(0, 1);  // scalability
        w.Stuff();
    }

    // A VOP that repeats the reference (vop_coded 0).
    void NotCodedVop(int type) {
        VopStart(type);
        coded_.push_back(0);
        out_.PutBit(0);
        out_.Stuff();
    }

    // An I-VOP with intra_dc_vlc_thr `dcThr` (0..7) and start quantiser qp.
    void IVop(int qp, int dcThr) { CodedVop(0, qp, dcThr, 1, nullptr); }

    // A P-VOP: not-coded, inter (one or four vectors), inter+q and intra
    // macroblocks.
    void PVop(int qp, int dcThr, int fcode) { CodedVop(1, qp, dcThr, fcode, nullptr); }

    // An S-VOP of a GMC stream: the sprite trajectory (one du, dv pair per
    // warping point, in the trajectory's own units), GMC macroblocks (not
    // coded, or mcsel with texture) beside ordinary inter and intra ones.
    void SVop(int qp, int dcThr, int fcode, const std::vector<std::pair<int, int>>& trajectory) {
        CodedVop(3, qp, dcThr, fcode, &trajectory);
    }

private:
    int Thr(int dcThr) const {
        static const int kMap[8] = {32, 13, 15, 17, 19, 21, 23, 0};
        return kMap[dcThr & 7];
    }

    void VopStart(int type) {
        out_.StartCode(0xB6);
        out_.Put(uint32_t(type), 2);
        ++tick_;
        int seconds = tick_ / c_.timeRes, inc = tick_ % c_.timeRes;
        vopMtb_ = seconds - lastSeconds_;
        for (int i = 0; i < vopMtb_; ++i) out_.PutBit(1);
        lastSeconds_ = seconds;
        out_.PutBit(0);
        out_.PutBit(1);
        out_.Put(uint32_t(inc), timeBits_);
        out_.PutBit(1);
    }

    void Put(Bits* w, const Code& c) { w->Put(c.bits, c.len); }

    void PutTrajectory(Bits* w, const std::vector<std::pair<int, int>>& t) {
        for (const auto& p : t)
            for (int v : {p.first, p.second}) {
                int a = v < 0 ? -v : v, len = 0;
                while ((1 << len) <= a) ++len;
                static const Code kLen[15] = {{0, 2},     {2, 3},     {3, 3},    {4, 3},
                                              {5, 3},     {6, 3},     {14, 4},   {30, 5},
                                              {62, 6},    {126, 7},   {254, 8},  {510, 9},
                                              {1022, 10}, {2046, 11}, {4094, 12}};
                Put(w, kLen[len]);
                if (len) w->Put(uint32_t(v > 0 ? v : v + (1 << len) - 1), len);
                w->PutBit(1);  // marker
            }
    }

    void PutDc(Bits* w, int lum, int v) {
        int a = v < 0 ? -v : v, size = 0;
        while ((1 << size) <= a) ++size;
        Put(w, (lum ? dcLum_ : dcChr_)[size]);
        if (size) {
            w->Put(uint32_t(v > 0 ? v : v + (1 << size) - 1), size);
            if (size > 8) w->PutBit(1);
        }
    }

    void PutMvd(Bits* w, int v, int fcode) {
        if (v == 0) {
            Put(w, mvd_[0]);
            return;
        }
        int a = v < 0 ? -v : v;
        int f = fcode - 1;
        int code = ((a - 1) >> f) + 1, residual = (a - 1) & ((1 << f) - 1);
        Put(w, mvd_[code]);
        w->PutBit(v < 0);
        if (f) w->Put(uint32_t(residual), f);
    }

    // Events of a coded block: 1 to 4 coefficients, scan index from `first`,
    // small levels, now and then one that needs an escape. Levels stay below
    // what dequantises beyond 2047 at quantiser qp (no real encoder goes there).
    std::vector<Event> MakeEvents(int first, int qp, int intra) {
        if (c_.sweep && rvlcNow_) return SweepEvents(first, intra);
        int cap = (2047 - qp) / (2 * qp) / 2;
        std::vector<Event> ev;
        int n = rng_.Range(1, 4), idx = first - 1;
        for (int i = 0; i < n && idx < 62; ++i) {
            idx += 1 + (rng_.Chance(70) ? rng_.Range(0, 3) : rng_.Range(0, 12));
            if (idx > 63) idx = 63;
            int level = rng_.Chance(85) ? rng_.Range(1, 3) : rng_.Range(4, 20);
            if (rng_.Chance(3)) level = rng_.Range(30, 60);  // escape
            if (level > cap) level = cap < 1 ? 1 : cap;
            ev.push_back(Event{idx, rng_.Chance(50) ? -level : level});
        }
        return ev;
    }

    // The next entry of the reversible table (in key order), ended by a last
    // event when it is not one itself.
    std::vector<Event> SweepEvents(int first, int intra) {
        const std::map<uint32_t, Code>& m = (intra ? rvlcIntra_ : rvlcInter_).events;
        size_t& pos = intra ? sweepIntra_ : sweepInter_;
        auto it = m.begin();
        std::advance(it, long(pos++ % m.size()));
        uint32_t key = it->first;
        int last = int(key >> 16), run = int((key >> 8) & 255), level = int(key & 255);
        if (pos % 3 == 0) level = -level;
        std::vector<Event> ev{Event{first + run, level}};
        if (!last) ev.push_back(Event{first + run + 1, 1});
        return ev;
    }

    void PutEvents(Bits* w, const std::vector<Event>& ev, int first, int intra) {
        const TcoefCodes& t = rvlcNow_ ? (intra ? rvlcIntra_ : rvlcInter_)
                              : intra  ? intra_
                                       : inter_;
        int prev = first - 1;
        for (size_t i = 0; i < ev.size(); ++i) {
            int last = i + 1 == ev.size();
            int run = ev[i].index - prev - 1;
            prev = ev[i].index;
            int a = ev[i].level < 0 ? -ev[i].level : ev[i].level;
            uint32_t key = uint32_t(last) << 16 | uint32_t(run) << 8 | uint32_t(a);
            auto it = t.events.find(key);
            if (it != t.events.end()) {
                Put(w, it->second);
                w->PutBit(ev[i].level < 0);
            } else if (rvlcNow_) {
                Put(w, t.escape);
                w->PutBit(1);
                w->PutBit(last);
                w->Put(uint32_t(run), 6);
                w->PutBit(1);
                w->Put(uint32_t(a), 11);
                w->PutBit(1);
                w->Put(0, 4);
                w->PutBit(ev[i].level < 0);
            } else {  // fixed-length escape
                Put(w, t.escape);
                w->Put(3, 2);
                w->PutBit(last);
                w->Put(uint32_t(run), 6);
                w->PutBit(1);
                w->Put(uint32_t(ev[i].level) & 0xFFF, 12);
                w->PutBit(1);
            }
        }
    }

    struct Mb {
        int notCoded = 0, mode = 0, cbpc = 0, cbpy = 0, mcsel = 0, acPred = 0, dquant = -1;
        int useDc = 0;
        int dc[6] = {0, 0, 0, 0, 0, 0};
        std::vector<int> mvd;  // x, y pairs
        std::vector<Event> blocks[6];
    };

    Mb MakeMb(int type, int index, int packetStart, int* qp, int thr, int gmc) {
        Mb m;
        int r = rng_.Range(0, 99);
        if (type != 0 && r < 25) {
            m.notCoded = 1;
            return m;
        }
        if (type == 0 || r < 35) {
            m.mode = rng_.Chance(20) ? 4 : 3;
        } else {
            m.mode = r < 70 ? 0 : r < 82 ? 1 : 2;
        }
        if (gmc && (m.mode == 0 || m.mode == 1)) m.mcsel = rng_.Chance(50);
        int intra = m.mode >= 3;
        int before = *qp;
        if (m.mode == 1 || m.mode == 4) {
            m.dquant = rng_.Range(0, 3);
            static const int kD[4] = {-1, -2, 1, 2};
            *qp += kD[m.dquant];
            *qp = *qp < 1 ? 1 : *qp > 31 ? 31 : *qp;
        }
        m.useDc = intra && (index == packetStart ? *qp : before) < thr;
        m.cbpc = rng_.Range(0, 3);
        m.cbpy = rng_.Range(0, 15);
        if (intra) {
            m.acPred = rng_.Chance(50);
            for (int k = 0; k < 6; ++k) {
                m.dc[k] = m.useDc ? (rng_.Chance(60) ? 0 : rng_.Range(-4, 4)) : 0;
            }
        } else if (!m.mcsel) {
            int n = m.mode == 2 ? 4 : 1;
            for (int k = 0; k < 2 * n; ++k)
                m.mvd.push_back(rng_.Chance(40) ? 0 : rng_.Range(-5, 5));
        }
        int cbp = m.cbpy << 2 | m.cbpc;
        for (int k = 0; k < 6; ++k)
            if (cbp & (32 >> k)) {
                m.blocks[k] = MakeEvents(intra ? 1 : 0, *qp, intra);
                if (intra && !m.useDc && rng_.Chance(50)) {
                    // The DC differential as the first coefficient.
                    int dc = rng_.Range(1, 3) * (rng_.Chance(50) ? -1 : 1);
                    m.blocks[k].insert(m.blocks[k].begin(), Event{0, dc});
                }
            }
        return m;
    }

    void PutTexture(Bits* w, const Mb& m) {
        int intra = m.mode >= 3;
        for (int k = 0; k < 6; ++k)
            if (!m.blocks[k].empty()) PutEvents(w, m.blocks[k], intra && m.useDc ? 1 : 0, intra);
    }

    void PutCbpy(Bits* w, const Mb& m) {
        int intra = m.mode >= 3;
        Put(w, cbpy_[intra ? m.cbpy : 15 - m.cbpy]);
    }

    void PutVectors(Bits* w, const Mb& m, int fcode) {
        for (int v : m.mvd) PutMvd(w, v, fcode);
    }

    // One macroblock in the plain (not partitioned) syntax.
    void PutPlainMb(Bits* w, int type, const Mb& m, int fcode) {
        if (type != 0) {
            w->PutBit(m.notCoded);
            if (m.notCoded) return;
        }
        if (rng_.Chance(3)) {
            // Macroblock stuffing; in P- and S-VOPs another not_coded 0 follows it.
            Put(w, (type == 0 ? mcbpcIntra_ : mcbpcInter_)[255]);
            if (type != 0) w->PutBit(0);
        }
        Put(w, (type == 0 ? mcbpcIntra_ : mcbpcInter_)[m.mode * 4 + m.cbpc]);
        if (type == 3 && (m.mode == 0 || m.mode == 1) && c_.warpPoints >= 0) w->PutBit(m.mcsel);
        if (m.mode >= 3) w->PutBit(m.acPred);
        PutCbpy(w, m);
        if (m.dquant >= 0) w->Put(uint32_t(m.dquant), 2);
        PutVectors(w, m, fcode);
        int intra = m.mode >= 3;
        int cbp = m.cbpy << 2 | m.cbpc;
        for (int k = 0; k < 6; ++k) {
            if (intra && m.useDc) PutDc(w, k < 4, m.dc[k]);
            if (cbp & (32 >> k)) PutEvents(w, m.blocks[k], intra && m.useDc ? 1 : 0, intra);
        }
    }

    void CodedVop(int type, int qp, int dcThr, int fcode,
                  const std::vector<std::pair<int, int>>* trajectory) {
        VopStart(type);
        coded_.push_back(1);
        rvlcNow_ = c_.reversibleVlc && c_.dataPartitioned && type != 2;
        Bits& w = out_;
        w.PutBit(1);                                            // vop_coded
        if (type == 1 || type == 3) w.PutBit(rng_.Chance(50));  // rounding type
        w.Put(uint32_t(dcThr), 3);
        if (type == 3 && trajectory) PutTrajectory(&w, *trajectory);
        w.Put(uint32_t(qp), 5);
        if (type != 0) w.Put(uint32_t(fcode), 3);
        int resyncLen = type == 0 ? 17 : 16 + fcode;
        int mbBits = 1;
        while ((1 << mbBits) < mbCount()) ++mbBits;
        int thr = Thr(dcThr);
        int gmc = type == 3 && c_.warpPoints >= 0;
        int run = qp;
        int i = 0, packet = 0;
        int vop = int(coded_.size()) - 1;
        while (i < mbCount()) {
            int start = i;
            int end = c_.packetMbs ? std::min(mbCount(), i + c_.packetMbs) : mbCount();
            bool damaged = vop == c_.damagedVop && packet++ == c_.damagedPacket;
            if (damaged && c_.dropPacket) {
                i = end;
                continue;
            }
            if (start > 0) {
                w.Stuff();
                w.Put(1, resyncLen);
                w.Put(uint32_t(start), mbBits);
                run = rng_.Range(2, 12);
                w.Put(uint32_t(run), 5);
                w.PutBit(c_.hec);
                if (c_.hec) {
                    int inc = tick_ % c_.timeRes;
                    for (int k = 0; k < vopMtb_; ++k) w.PutBit(1);  // the VOP's modulo_time_base
                    w.PutBit(0);
                    w.PutBit(1);
                    w.Put(uint32_t(inc), timeBits_);
                    w.PutBit(1);
                    w.Put(uint32_t(type), 2);
                    w.Put(uint32_t(dcThr), 3);
                    if (type == 3 && trajectory) PutTrajectory(&w, *trajectory);
                    if (type != 0) w.Put(uint32_t(fcode), 3);
                }
            }
            std::vector<Mb> mbs;
            for (int k = start; k < end; ++k) mbs.push_back(MakeMb(type, k, start, &run, thr, gmc));
            if (damaged) {
                w.Put(0, type == 0 ? 9 : 10);  // no macroblock type starts with these
                w.Put(0x7F, 7);
            } else if (!c_.dataPartitioned) {
                for (const Mb& m : mbs) PutPlainMb(&w, type, m, fcode);
            } else {
                Bits p1, p2, p3;
                for (const Mb& m : mbs) {
                    if (type == 0) {
                        Put(&p1, mcbpcIntra_[m.mode * 4 + m.cbpc]);
                        if (m.dquant >= 0) p1.Put(uint32_t(m.dquant), 2);
                        if (m.useDc)
                            for (int k = 0; k < 6; ++k) PutDc(&p1, k < 4, m.dc[k]);
                        p2.PutBit(m.acPred);
                        PutCbpy(&p2, m);
                    } else {
                        p1.PutBit(m.notCoded);
                        if (m.notCoded) continue;
                        Put(&p1, mcbpcInter_[m.mode * 4 + m.cbpc]);
                        if (gmc && (m.mode == 0 || m.mode == 1)) p1.PutBit(m.mcsel);
                        PutVectors(&p1, m, fcode);
                        if (m.mode >= 3) p2.PutBit(m.acPred);
                        PutCbpy(&p2, m);
                        if (m.dquant >= 0) p2.Put(uint32_t(m.dquant), 2);
                        if (m.useDc)
                            for (int k = 0; k < 6; ++k) PutDc(&p2, k < 4, m.dc[k]);
                    }
                    PutTexture(&p3, m);
                }
                w.Append(p1);
                if (type == 0)
                    w.Put(0x6B001, 19);
                else
                    w.Put(0x1F001, 17);
                w.Append(p2);
                w.Append(p3);
            }
            i = end;
        }
        w.Stuff();
    }

    WriterConfig c_;
    Rng rng_;
    Bits out_;
    std::map<int, Code> mcbpcIntra_, mcbpcInter_, cbpy_, mvd_, dcLum_, dcChr_;
    TcoefCodes intra_, inter_, rvlcIntra_, rvlcInter_;
    bool rvlcNow_ = false;
    size_t sweepIntra_ = 0, sweepInter_ = 0;
    int mbw_, mbh_, timeBits_;
    int tick_ = -1, lastSeconds_ = 0, vopMtb_ = 0;
    std::vector<int> coded_;
};

}  // namespace m4vtest
