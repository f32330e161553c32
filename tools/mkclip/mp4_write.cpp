#include "mp4_write.h"

#include <algorithm>
#include <cstring>

#include "bytes.h"

namespace mkclip {
namespace {

struct Chunk {
    size_t track;
    size_t first, count;  // samples
    uint64_t start_ms;
    uint32_t offset = 0;  // from the start of the mdat payload, then absolute
};

struct Layout {
    std::vector<Chunk> chunks;                   // in mdat order
    std::vector<std::vector<size_t>> per_track;  // chunk indices per track, in order
    std::vector<uint8_t> payload;
};

Layout PlanChunks(const std::vector<Track>& tracks, uint32_t chunk_ms) {
    Layout l;
    l.per_track.resize(tracks.size());
    std::vector<Chunk> all;
    for (size_t ti = 0; ti < tracks.size(); ++ti) {
        const Track& t = tracks[ti];
        uint64_t limit = uint64_t(chunk_ms) * t.timescale / 1000;
        if (limit == 0) limit = 1;
        uint64_t time = 0;
        size_t i = 0;
        while (i < t.samples.size()) {
            Chunk c{ti, i, 0, time * 1000 / t.timescale};
            uint64_t acc = 0;
            while (i < t.samples.size() && (c.count == 0 || acc < limit)) {
                acc += t.samples[i].duration;
                ++c.count;
                ++i;
            }
            time += acc;
            all.push_back(c);
        }
    }
    std::stable_sort(all.begin(), all.end(), [](const Chunk& a, const Chunk& b) {
        return a.start_ms != b.start_ms ? a.start_ms < b.start_ms : a.track < b.track;
    });
    for (Chunk& c : all) {
        c.offset = static_cast<uint32_t>(l.payload.size());
        for (size_t i = c.first; i < c.first + c.count; ++i) {
            const auto& d = tracks[c.track].samples[i].data;
            l.payload.insert(l.payload.end(), d.begin(), d.end());
        }
        l.per_track[c.track].push_back(l.chunks.size());
        l.chunks.push_back(c);
    }
    return l;
}

// Expandable descriptor length.
void DescLength(ByteWriter& w, uint32_t n, bool long_form) {
    if (long_form) {
        w.u8(0x80 | ((n >> 21) & 0x7F));
        w.u8(0x80 | ((n >> 14) & 0x7F));
        w.u8(0x80 | ((n >> 7) & 0x7F));
        w.u8(n & 0x7F);
        return;
    }
    int groups = 1;
    while (groups < 4 && (n >> (7 * groups)) != 0) ++groups;
    for (int g = groups - 1; g >= 0; --g) w.u8(((n >> (7 * g)) & 0x7F) | (g ? 0x80 : 0));
}

void Descriptor(ByteWriter& w, uint8_t tag, const ByteWriter& body, bool long_form) {
    w.u8(tag);
    DescLength(w, static_cast<uint32_t>(body.size()), long_form);
    w.bytes(body.data());
}

uint32_t MaxSampleSize(const Track& t) {
    size_t m = 0;
    for (const Sample& s : t.samples) m = std::max(m, s.data.size());
    return static_cast<uint32_t>(m);
}

uint32_t AvgBitrate(const Track& t) {
    uint64_t bytes = 0;
    for (const Sample& s : t.samples) bytes += s.data.size();
    uint64_t dur = TrackDuration(t);
    return dur ? static_cast<uint32_t>(bytes * 8 * t.timescale / dur) : 0;
}

void Esds(ByteWriter& w, const Track& t, uint32_t es_id, bool long_form) {
    ByteWriter dcd;
    dcd.u8(t.oti);
    dcd.u8((t.stream_type << 2) | 1);
    dcd.u24(std::min<uint32_t>(MaxSampleSize(t), 0xFFFFFF));
    uint32_t avg = AvgBitrate(t);
    dcd.u32(avg);  // max bitrate: the average is as good a bound as any here
    dcd.u32(avg);
    if (!t.dsi.empty()) {
        ByteWriter dsi;
        dsi.bytes(t.dsi);
        Descriptor(dcd, 5, dsi, long_form);
    }
    ByteWriter es;
    es.u16(es_id);
    es.u8(0);
    Descriptor(es, 4, dcd, long_form);
    ByteWriter sl;
    sl.u8(2);
    Descriptor(es, 6, sl, long_form);

    w.open_full("esds");
    Descriptor(w, 3, es, long_form);
    w.close();
}

void SampleEntry(ByteWriter& w, const Track& t, uint32_t track_id, bool long_form) {
    w.open(t.entry.c_str());
    w.zeros(6);
    w.u16(1);  // data_reference_index
    if (t.kind == TrackKind::Video) {
        w.zeros(16);
        w.u16(t.width);
        w.u16(t.height);
        w.u32(0x00480000);
        w.u32(0x00480000);
        w.u32(0);
        w.u16(1);     // frame_count
        w.zeros(32);  // compressorname
        w.u16(0x18);
        w.u16(0xFFFF);
        if (t.entry == "s263") {
            w.open("d263");
            w.fourcc("mkcl");
            w.u8(0);   // decoder version
            w.u8(10);  // level
            w.u8(0);   // profile
            w.close();
        }
    } else if (t.kind == TrackKind::Audio) {
        w.zeros(8);
        w.u16(t.channels);
        w.u16(t.sample_bits);
        w.u32(0);
        w.u32(t.sample_rate << 16);
    }
    if (t.oti) Esds(w, t, track_id, long_form);
    w.close();
}

void Matrix(ByteWriter& w) {
    const uint32_t m[9] = {0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x40000000};
    for (uint32_t v : m) w.u32(v);
}

void SampleTables(ByteWriter& w, const Track& t, uint32_t track_id, const Layout& l, size_t ti,
                  bool long_form) {
    w.open("stbl");
    w.open_full("stsd");
    w.u32(1);
    SampleEntry(w, t, track_id, long_form);
    w.close();

    // stts: runs of equal durations
    std::vector<std::pair<uint32_t, uint32_t>> runs;
    for (const Sample& s : t.samples) {
        if (!runs.empty() && runs.back().second == s.duration)
            ++runs.back().first;
        else
            runs.push_back({1, s.duration});
    }
    w.open_full("stts");
    w.u32(static_cast<uint32_t>(runs.size()));
    for (auto& r : runs) {
        w.u32(r.first);
        w.u32(r.second);
    }
    w.close();

    bool reordered = false;
    for (const Sample& s : t.samples) reordered = reordered || s.cts_offset != 0;
    if (reordered) {
        std::vector<std::pair<uint32_t, uint32_t>> cts;
        for (const Sample& s : t.samples) {
            if (!cts.empty() && cts.back().second == s.cts_offset)
                ++cts.back().first;
            else
                cts.push_back({1, s.cts_offset});
        }
        w.open_full("ctts");
        w.u32(static_cast<uint32_t>(cts.size()));
        for (auto& r : cts) {
            w.u32(r.first);
            w.u32(r.second);
        }
        w.close();
    }

    if (t.write_stss) {
        std::vector<uint32_t> sync;
        for (size_t i = 0; i < t.samples.size(); ++i)
            if (t.samples[i].sync) sync.push_back(static_cast<uint32_t>(i + 1));
        w.open_full("stss");
        w.u32(static_cast<uint32_t>(sync.size()));
        for (uint32_t s : sync) w.u32(s);
        w.close();
    }

    // stsc: a new entry wherever the samples per chunk change
    const auto& chunks = l.per_track[ti];
    w.open_full("stsc");
    size_t count_at = w.size();
    w.u32(0);
    uint32_t entries = 0;
    size_t last = 0;
    for (size_t ci = 0; ci < chunks.size(); ++ci) {
        size_t n = l.chunks[chunks[ci]].count;
        if (ci == 0 || n != last) {
            w.u32(static_cast<uint32_t>(ci + 1));
            w.u32(static_cast<uint32_t>(n));
            w.u32(1);
            ++entries;
            last = n;
        }
    }
    w.put32(count_at, entries);
    w.close();

    bool same = t.constant_size && !t.samples.empty();
    for (const Sample& s : t.samples) same = same && s.data.size() == t.samples[0].data.size();
    w.open_full("stsz");
    if (same) {
        w.u32(static_cast<uint32_t>(t.samples[0].data.size()));
        w.u32(static_cast<uint32_t>(t.samples.size()));
    } else {
        w.u32(0);
        w.u32(static_cast<uint32_t>(t.samples.size()));
        for (const Sample& s : t.samples) w.u32(static_cast<uint32_t>(s.data.size()));
    }
    w.close();

    w.open_full("stco");
    w.u32(static_cast<uint32_t>(chunks.size()));
    for (size_t c : chunks) w.u32(l.chunks[c].offset);
    w.close();
    w.close();  // stbl
}

std::vector<uint8_t> Moov(const std::vector<Track>& tracks, const Layout& l,
                          const WriteOptions& o) {
    const uint32_t movie_scale = 1000;
    ByteWriter w;
    uint64_t movie_dur = 0;
    for (const Track& t : tracks)
        movie_dur = std::max(movie_dur, TrackDuration(t) * movie_scale / t.timescale);

    w.open("moov");
    w.open_full("mvhd");
    w.u32(o.creation_time);
    w.u32(o.creation_time);
    w.u32(movie_scale);
    w.u32(static_cast<uint32_t>(movie_dur));
    w.u32(0x00010000);
    w.u16(0x0100);
    w.zeros(10);
    Matrix(w);
    w.zeros(24);
    w.u32(static_cast<uint32_t>(tracks.size() + 1));
    w.close();

    for (size_t ti = 0; ti < tracks.size(); ++ti) {
        const Track& t = tracks[ti];
        uint32_t id = static_cast<uint32_t>(ti + 1);
        uint64_t dur = TrackDuration(t);
        w.open("trak");
        w.open_full("tkhd", 3);
        w.u32(o.creation_time);
        w.u32(o.creation_time);
        w.u32(id);
        w.u32(0);
        w.u32(static_cast<uint32_t>(dur * movie_scale / t.timescale));
        w.zeros(8);
        w.u16(0);  // layer
        w.u16(0);  // alternate group
        w.u16(t.kind == TrackKind::Audio ? 0x0100 : 0);
        w.u16(0);
        Matrix(w);
        w.u32(uint32_t(t.width) << 16);
        w.u32(uint32_t(t.height) << 16);
        w.close();

        if (t.edit_media_time) {
            // Composition offsets start above 0; the edit list shows the
            // track from its first presented picture.
            w.open("edts");
            w.open_full("elst");
            w.u32(1);
            w.u32(static_cast<uint32_t>(dur * movie_scale / t.timescale));
            w.u32(t.edit_media_time);
            w.u32(0x00010000);
            w.close();
            w.close();
        }

        w.open("mdia");
        w.open_full("mdhd");
        w.u32(o.creation_time);
        w.u32(o.creation_time);
        w.u32(t.timescale);
        w.u32(static_cast<uint32_t>(dur));
        w.u16(0x55C4);  // "und"
        w.u16(0);
        w.close();
        w.open_full("hdlr");
        w.u32(0);
        w.fourcc(t.handler.c_str());
        w.zeros(12);
        w.str(t.handler_name);
        w.u8(0);
        w.close();

        w.open("minf");
        if (t.media_header == "vmhd") {
            w.open_full("vmhd", 1);
            w.zeros(8);
        } else if (t.media_header == "smhd") {
            w.open_full("smhd");
            w.zeros(4);
        } else if (t.media_header == "hmhd") {
            w.open_full("hmhd");
            w.zeros(16);
        } else {
            w.open_full("nmhd");
        }
        w.close();
        w.open("dinf");
        w.open_full("dref");
        w.u32(1);
        w.open_full("url ", 1);
        w.close();
        w.close();
        w.close();
        SampleTables(w, t, id, l, ti, o.long_desc_lengths);
        w.close();  // minf
        w.close();  // mdia
        w.close();  // trak
    }
    w.close();
    return w.data();
}

}  // namespace

uint64_t TrackDuration(const Track& t) {
    uint64_t d = 0;
    for (const Sample& s : t.samples) d += s.duration;
    return d;
}

std::vector<uint8_t> WriteMp4(const std::vector<Track>& tracks, const WriteOptions& o) {
    Layout l = PlanChunks(tracks, o.chunk_ms);

    ByteWriter ftyp;
    ftyp.open("ftyp");
    ftyp.fourcc(o.major_brand.c_str());
    ftyp.u32(0);
    ftyp.fourcc(o.major_brand.c_str());
    ftyp.fourcc("isom");
    ftyp.fourcc("mp41");
    ftyp.close();

    const uint32_t mdat_header = 8;
    // The moov size does not depend on the offsets it holds, so a first pass
    // with zero offsets gives the size needed to place mdat after it.
    uint32_t base = static_cast<uint32_t>(ftyp.size()) + mdat_header;
    if (o.moov_first) base += static_cast<uint32_t>(Moov(tracks, l, o).size());
    for (Chunk& c : l.chunks) c.offset += base;
    std::vector<uint8_t> moov = Moov(tracks, l, o);

    ByteWriter mdat;
    mdat.u32(static_cast<uint32_t>(mdat_header + l.payload.size()));
    mdat.fourcc("mdat");

    std::vector<uint8_t> out = ftyp.data();
    if (o.moov_first) out.insert(out.end(), moov.begin(), moov.end());
    out.insert(out.end(), mdat.data().begin(), mdat.data().end());
    out.insert(out.end(), l.payload.begin(), l.payload.end());
    if (!o.moov_first) out.insert(out.end(), moov.begin(), moov.end());
    return out;
}

}  // namespace mkclip
