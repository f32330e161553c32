// Builds small MP4 files in memory for the reader's tests: video, audio and
// the recorder's data track with hand-chosen sample tables, so each test
// can set up exactly the layout (or the damage) it is about.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace mp4b {

using Bytes = std::vector<uint8_t>;

inline void Put8(Bytes& b, uint32_t v) { b.push_back(uint8_t(v)); }
inline void Put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}
inline void Put24(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v >> 16));
    Put16(b, v);
}
inline void Put32(Bytes& b, uint32_t v) {
    Put16(b, v >> 16);
    Put16(b, v);
}
inline void PutTag(Bytes& b, const char* t) { b.insert(b.end(), t, t + 4); }
inline void Append(Bytes& b, const Bytes& x) { b.insert(b.end(), x.begin(), x.end()); }

inline Bytes Box(const char* type, const Bytes& payload) {
    Bytes b;
    Put32(b, uint32_t(payload.size() + 8));
    PutTag(b, type);
    Append(b, payload);
    return b;
}

inline Bytes FullBox(const char* type, uint32_t versionFlags, const Bytes& payload) {
    Bytes p;
    Put32(p, versionFlags);
    Append(p, payload);
    return Box(type, p);
}

// Expandable descriptor: tag, one-byte length (payloads here stay below 128).
inline Bytes Desc(uint8_t tag, const Bytes& payload) {
    Bytes b;
    Put8(b, tag);
    Put8(b, uint32_t(payload.size()));
    Append(b, payload);
    return b;
}

inline Bytes Esds(uint8_t objectType, uint8_t streamType, uint32_t bufferSize, uint32_t maxBitrate,
                  uint32_t avgBitrate, const Bytes& dsi) {
    Bytes dcd;
    Put8(dcd, objectType);
    Put8(dcd, uint32_t(streamType) << 2 | 1);
    Put24(dcd, bufferSize);
    Put32(dcd, maxBitrate);
    Put32(dcd, avgBitrate);
    if (!dsi.empty()) Append(dcd, Desc(5, dsi));
    Bytes es;
    Put16(es, 1);  // ES_ID
    Put8(es, 0);   // flags
    Append(es, Desc(4, dcd));
    Append(es, Desc(6, Bytes{2}));
    return FullBox("esds", 0, Desc(3, es));
}

enum Kind { kVideo, kAudio, kData, kHint, kNullNoName };

struct Track {
    Kind kind = kVideo;
    uint32_t timescale = 1000;
    std::vector<uint32_t> sizes;                      // one per sample
    std::vector<std::pair<uint32_t, uint32_t>> stts;  // {count, delta}
    std::vector<uint32_t> stss;                       // 1-based; empty: no stss box
    std::vector<std::pair<uint32_t, uint32_t>>
        stsc;  // {first chunk (1-based), per chunk}; empty: one sample per chunk
    uint32_t width = 176, height = 144;
    uint32_t channels = 2, sampleRate = 8000;
    uint8_t objectType = 0;  // 0: the kind's usual one
    Bytes dsi;               // decoder-specific info
    uint32_t bufferSize = 4000, maxBitrate = 9000, avgBitrate = 5000;
    std::string sampleEntry;                 // empty: mp4v / mp4a / mp4s
    Bytes extraEntryBoxes;                   // replaces the esds when not empty
    std::function<Bytes(uint32_t)> payload;  // default: see Pattern
    uint32_t durationMs = 0;  // mdhd duration in timescale units when 0: the stts sum
};

// Default sample bytes: the sample index (big-endian), the track number,
// then a running pattern, so a test can tell which sample it got.
inline Bytes Pattern(uint32_t trackNo, uint32_t index, uint32_t size) {
    Bytes b(size);
    for (uint32_t j = 0; j < size; ++j) b[j] = uint8_t(trackNo * 64 + index * 7 + j);
    if (size >= 5) {
        b[0] = uint8_t(index >> 24);
        b[1] = uint8_t(index >> 16);
        b[2] = uint8_t(index >> 8);
        b[3] = uint8_t(index);
        b[4] = uint8_t(trackNo);
    }
    return b;
}

struct Clip {
    std::vector<Track> tracks;
    bool moovFirst = false;
    uint32_t movieTimescale = 1000;
    uint32_t movieDurationMs = 0;  // 0: the longest track
};

struct Built {
    Bytes file;
    // Per track, the file offset of each sample (to check reads against).
    std::vector<std::vector<uint32_t>> offsets;
};

inline uint64_t SttsSum(const Track& t) {
    uint64_t s = 0;
    for (auto& e : t.stts) s += uint64_t(e.first) * e.second;
    return s;
}

inline Bytes SampleEntry(const Track& t, uint32_t trackNo) {
    Bytes e;
    for (int i = 0; i < 6; ++i) Put8(e, 0);
    Put16(e, 1);
    std::string type = t.sampleEntry;
    Bytes esds;
    if (t.kind == kVideo) {
        if (type.empty()) type = "mp4v";
        for (int i = 0; i < 16; ++i) Put8(e, 0);
        Put16(e, t.width);
        Put16(e, t.height);
        Put32(e, 0x00480000);
        Put32(e, 0x00480000);
        Put32(e, 0);
        Put16(e, 1);
        for (int i = 0; i < 32; ++i) Put8(e, 0);
        Put16(e, 24);
        Put16(e, 0xFFFF);
        esds = Esds(t.objectType ? t.objectType : 0x20, 4, t.bufferSize, t.maxBitrate, t.avgBitrate,
                    t.dsi);
    } else if (t.kind == kAudio) {
        if (type.empty()) type = "mp4a";
        Put32(e, 0);
        Put32(e, 0);
        Put16(e, t.channels);
        Put16(e, 16);
        Put16(e, 0);
        Put16(e, 0);
        Put32(e, t.sampleRate << 16);
        esds = Esds(t.objectType ? t.objectType : 0x40, 5, t.bufferSize, t.maxBitrate, t.avgBitrate,
                    t.dsi);
    } else {
        if (type.empty()) type = "mp4s";
        esds = Esds(t.objectType ? t.objectType : 211, 0x20, t.bufferSize, t.maxBitrate,
                    t.avgBitrate, t.dsi);
    }
    Append(e, t.extraEntryBoxes.empty() ? esds : t.extraEntryBoxes);
    Bytes stsd;
    Put32(stsd, 1);
    Append(stsd, Box(type.c_str(), e));
    (void)trackNo;
    return FullBox("stsd", 0, Bytes(stsd.begin(), stsd.end()));
}

// Chunk layout of a track: per chunk, the samples it holds.
inline std::vector<uint32_t> ChunkSizes(const Track& t) {
    std::vector<uint32_t> chunks;
    uint32_t n = uint32_t(t.sizes.size());
    if (t.stsc.empty()) return std::vector<uint32_t>(n, 1);
    uint32_t done = 0;
    for (size_t k = 0; k < t.stsc.size() && done < n; ++k) {
        uint32_t first = t.stsc[k].first;
        uint32_t per = t.stsc[k].second;
        while (chunks.size() + 1 < first) chunks.push_back(0);
        uint32_t last = k + 1 < t.stsc.size() ? t.stsc[k + 1].first - 1 : 0xFFFFFFFF;
        while (chunks.size() < last && done < n) {
            uint32_t take = per < n - done ? per : n - done;
            chunks.push_back(take);
            done += take;
            if (per == 0) break;
        }
    }
    return chunks;
}

inline Bytes Trak(const Clip& c, const Track& t, uint32_t trackNo,
                  const std::vector<uint32_t>& chunkOffsets) {
    uint64_t dur = t.durationMs ? t.durationMs : SttsSum(t);
    Bytes tkhd;
    Put32(tkhd, 0);
    Put32(tkhd, 0);
    Put32(tkhd, trackNo);
    Put32(tkhd, 0);
    Put32(tkhd, uint32_t(dur * c.movieTimescale / (t.timescale ? t.timescale : 1)));
    for (int i = 0; i < 60; ++i) Put8(tkhd, 0);
    Bytes mdhd;
    Put32(mdhd, 0);
    Put32(mdhd, 0);
    Put32(mdhd, t.timescale);
    Put32(mdhd, uint32_t(dur));
    Put32(mdhd, 0x55C40000);
    Bytes hdlr;
    Put32(hdlr, 0);
    const char* handler = t.kind == kVideo   ? "vide"
                          : t.kind == kAudio ? "soun"
                          : t.kind == kHint  ? "hint"
                                             : "sdsm";
    PutTag(hdlr, handler);
    for (int i = 0; i < 12; ++i) Put8(hdlr, 0);
    if (t.kind == kData) {
        const char name[] = "XBLB data";
        hdlr.insert(hdlr.end(), name, name + sizeof name);
    } else {
        Put8(hdlr, 0);
    }
    Bytes mhd;
    if (t.kind == kVideo)
        mhd = FullBox("vmhd", 1, Bytes(8, 0));
    else if (t.kind == kAudio)
        mhd = FullBox("smhd", 0, Bytes(4, 0));
    else if (t.kind == kHint)
        mhd = FullBox("hmhd", 0, Bytes(16, 0));
    else
        mhd = FullBox("nmhd", 0, Bytes());

    Bytes stbl = SampleEntry(t, trackNo);
    Bytes stts;
    Put32(stts, uint32_t(t.stts.size()));
    for (auto& e : t.stts) Put32(stts, e.first), Put32(stts, e.second);
    Append(stbl, FullBox("stts", 0, stts));
    if (!t.stss.empty()) {
        Bytes stss;
        Put32(stss, uint32_t(t.stss.size()));
        for (uint32_t s : t.stss) Put32(stss, s);
        Append(stbl, FullBox("stss", 0, stss));
    }
    Bytes stsc;
    if (t.stsc.empty()) {
        Put32(stsc, 1);
        Put32(stsc, 1), Put32(stsc, 1), Put32(stsc, 1);
    } else {
        Put32(stsc, uint32_t(t.stsc.size()));
        for (auto& e : t.stsc) Put32(stsc, e.first), Put32(stsc, e.second), Put32(stsc, 1);
    }
    Append(stbl, FullBox("stsc", 0, stsc));
    Bytes stsz;
    Put32(stsz, 0);
    Put32(stsz, uint32_t(t.sizes.size()));
    for (uint32_t s : t.sizes) Put32(stsz, s);
    Append(stbl, FullBox("stsz", 0, stsz));
    Bytes stco;
    Put32(stco, uint32_t(chunkOffsets.size()));
    for (uint32_t o : chunkOffsets) Put32(stco, o);
    Append(stbl, FullBox("stco", 0, stco));

    Bytes minf = mhd;
    Append(minf, Box("stbl", stbl));
    Bytes mdia = FullBox("mdhd", 0, mdhd);
    Append(mdia, FullBox("hdlr", 0, hdlr));
    Append(mdia, Box("minf", minf));
    Bytes trak = FullBox("tkhd", 7, tkhd);
    Append(trak, Box("mdia", mdia));
    return Box("trak", trak);
}

inline Built Build(const Clip& c) {
    // Sample data: chunks of the tracks in turn.
    std::vector<std::vector<uint32_t>> chunkLayout;
    for (auto& t : c.tracks) chunkLayout.push_back(ChunkSizes(t));
    Bytes mdatPayload;
    std::vector<std::vector<uint32_t>> chunkRel(c.tracks.size());
    std::vector<std::vector<uint32_t>> sampleRel(c.tracks.size());
    std::vector<uint32_t> next(c.tracks.size(), 0), chunkIdx(c.tracks.size(), 0);
    bool more = true;
    while (more) {
        more = false;
        for (size_t k = 0; k < c.tracks.size(); ++k) {
            auto& t = c.tracks[k];
            if (chunkIdx[k] >= chunkLayout[k].size()) continue;
            more = true;
            chunkRel[k].push_back(uint32_t(mdatPayload.size()));
            for (uint32_t s = 0; s < chunkLayout[k][chunkIdx[k]]; ++s) {
                uint32_t i = next[k]++;
                sampleRel[k].push_back(uint32_t(mdatPayload.size()));
                Bytes b = t.payload ? t.payload(i) : Pattern(uint32_t(k + 1), i, t.sizes[i]);
                b.resize(t.sizes[i]);
                Append(mdatPayload, b);
            }
            chunkIdx[k]++;
        }
    }
    auto moovWith = [&](uint32_t base) {
        Bytes mvhd;
        Put32(mvhd, 0);
        Put32(mvhd, 0);
        Put32(mvhd, c.movieTimescale);
        uint64_t longest = 0;
        for (auto& t : c.tracks) {
            uint64_t d = (t.durationMs ? t.durationMs : SttsSum(t)) * c.movieTimescale /
                         (t.timescale ? t.timescale : 1);
            if (d > longest) longest = d;
        }
        Put32(mvhd,
              c.movieDurationMs ? c.movieDurationMs * c.movieTimescale / 1000 : uint32_t(longest));
        Put32(mvhd, 0x00010000);
        Put16(mvhd, 0x0100);
        for (int i = 0; i < 10 + 36 + 24; ++i) Put8(mvhd, 0);
        Put32(mvhd, uint32_t(c.tracks.size() + 1));
        Bytes moov = FullBox("mvhd", 0, mvhd);
        for (size_t k = 0; k < c.tracks.size(); ++k) {
            std::vector<uint32_t> offs;
            for (uint32_t rel : chunkRel[k]) offs.push_back(base + rel);
            Append(moov, Trak(c, c.tracks[k], uint32_t(k + 1), offs));
        }
        return Box("moov", moov);
    };
    Bytes ftyp;
    PutTag(ftyp, "isom");
    Put32(ftyp, 0x200);
    PutTag(ftyp, "isom");
    PutTag(ftyp, "mp41");
    Bytes file = Box("ftyp", ftyp);
    uint32_t base;
    Built out;
    if (c.moovFirst) {
        Bytes probe = moovWith(0);
        base = uint32_t(file.size() + probe.size() + 8);
        Append(file, moovWith(base));
        Append(file, Box("mdat", mdatPayload));
    } else {
        base = uint32_t(file.size() + 8);
        Append(file, Box("mdat", mdatPayload));
        Append(file, moovWith(base));
    }
    for (auto& v : sampleRel) {
        std::vector<uint32_t> o;
        for (uint32_t rel : v) o.push_back(base + rel);
        out.offsets.push_back(o);
    }
    out.file = std::move(file);
    return out;
}

// Position of the first box of the given type (its size field), or -1.
inline long FindBox(const Bytes& f, const char* type, size_t from = 0) {
    for (size_t i = from + 4; i + 4 <= f.size(); ++i)
        if (std::memcmp(&f[i], type, 4) == 0) return long(i - 4);
    return -1;
}

inline void Poke32(Bytes& f, size_t at, uint32_t v) {
    f[at] = uint8_t(v >> 24);
    f[at + 1] = uint8_t(v >> 16);
    f[at + 2] = uint8_t(v >> 8);
    f[at + 3] = uint8_t(v);
}

// A typical recorder-like clip: video at 10 fps with a sync sample every 10,
// audio at 8 kHz in 1024-sample frames, and one data record a second.
inline Clip RecorderLike(uint32_t seconds) {
    Clip c;
    Track v;
    v.kind = kVideo;
    v.timescale = 1000;
    uint32_t nv = seconds * 10;
    for (uint32_t i = 0; i < nv; ++i) v.sizes.push_back(i % 10 == 0 ? 600 + i : 100 + i % 50);
    v.stts = {{nv, 100}};
    for (uint32_t i = 0; i < nv; i += 10) v.stss.push_back(i + 1);
    v.stsc = {{1, 5}};
    v.dsi = {0x00, 0x00, 0x01, 0xB0, 0x01, 0x00, 0x00, 0x01, 0xB5, 0x09};
    c.tracks.push_back(v);
    Track a;
    a.kind = kAudio;
    a.timescale = 8000;
    uint32_t na = seconds * 8000 / 1024;
    for (uint32_t i = 0; i < na; ++i) a.sizes.push_back(150 + i % 30);
    a.stts = {{na, 1024}};
    a.stsc = {{1, 4}};
    a.dsi = {0x15, 0x88};
    c.tracks.push_back(a);
    Track d;
    d.kind = kData;
    d.timescale = 1000;
    d.payload = [](uint32_t i) {
        std::string s =
            "$GPRMC,0000" + std::to_string(i) + ",A,3733.1234,N,12658.5678,E,12.5,90.0,010124,,,A";
        return Bytes(s.begin(), s.end());
    };
    for (uint32_t i = 0; i < seconds; ++i) d.sizes.push_back(uint32_t(d.payload(i).size()));
    d.stts = {{seconds, 1000}};
    c.tracks.push_back(d);
    return c;
}

}  // namespace mp4b
