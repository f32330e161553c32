#include "dump.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "bytes.h"

namespace mkclip {
namespace {

struct Box {
    std::string type;
    size_t body, end;  // payload start and box end
};

// Children of [from, to); false when a box runs past its parent.
bool Children(const std::vector<uint8_t>& f, size_t from, size_t to, std::vector<Box>* out) {
    size_t at = from;
    while (at + 8 <= to) {
        uint32_t size = rd32(&f[at]);
        if (size < 8 || at + size > to) return false;
        out->push_back(
            {std::string(reinterpret_cast<const char*>(&f[at + 4]), 4), at + 8, at + size});
        at += size;
    }
    return true;
}

const Box* Find(const std::vector<Box>& v, const char* type) {
    for (const Box& b : v)
        if (b.type == type) return &b;
    return nullptr;
}

// Reads an expandable descriptor length.
size_t DescLen(const std::vector<uint8_t>& f, size_t* at, size_t end) {
    size_t n = 0;
    for (int i = 0; i < 4 && *at < end; ++i) {
        uint8_t b = f[(*at)++];
        n = (n << 7) | (b & 0x7F);
        if (!(b & 0x80)) break;
    }
    return n;
}

bool ParseStbl(const std::vector<uint8_t>& f, const Box& stbl, DumpTrack* t, std::string* err) {
    std::vector<Box> kids;
    if (!Children(f, stbl.body, stbl.end, &kids)) {
        *err = "stbl: a box runs past its parent";
        return false;
    }
    const Box *stsd = Find(kids, "stsd"), *stts = Find(kids, "stts"), *stsz = Find(kids, "stsz"),
              *stsc = Find(kids, "stsc"), *stco = Find(kids, "stco"), *stss = Find(kids, "stss");
    if (!stsd || !stts || !stsz || !stsc || !stco) {
        *err = "stbl lacks one of stsd, stts, stsz, stsc, stco";
        return false;
    }
    auto need = [&](const Box* b, size_t n) { return b->body + n <= b->end; };
    // stsd: the first entry's type and, when it has one, its esds object type
    if (!need(stsd, 16)) return *err = "short stsd", false;
    t->entry.assign(reinterpret_cast<const char*>(&f[stsd->body + 12]), 4);
    size_t entry_end = stsd->body + 8 + rd32(&f[stsd->body + 8]);
    if (entry_end > stsd->end) return *err = "stsd entry runs past stsd", false;
    size_t fixed = 8 + 8;  // entry header, reserved, data_reference_index
    if (t->handler == "vide")
        fixed += 70;
    else if (t->handler == "soun")
        fixed += 20;
    std::vector<Box> ext;
    size_t ext_from = stsd->body + 8 + fixed;
    if (ext_from <= entry_end && Children(f, ext_from, entry_end, &ext)) {
        if (const Box* esds = Find(ext, "esds")) {
            size_t at = esds->body + 4;
            if (at < esds->end && f[at++] == 3) {
                DescLen(f, &at, esds->end);
                at += 2;
                uint8_t flags = at < esds->end ? f[at++] : 0;
                if (flags & 0x80) at += 2;
                if ((flags & 0x40) && at < esds->end) at += 1 + f[at];
                if (flags & 0x20) at += 2;
                if (at < esds->end && f[at++] == 4) {
                    DescLen(f, &at, esds->end);
                    if (at < esds->end) t->oti = f[at];
                }
            }
        }
    }
    // stts -> decode times
    if (!need(stts, 8)) return *err = "short stts", false;
    uint32_t n = rd32(&f[stts->body + 4]);
    if (!need(stts, 8 + size_t(n) * 8)) return *err = "short stts", false;
    uint64_t time = 0;
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t count = rd32(&f[stts->body + 8 + i * 8]),
                 delta = rd32(&f[stts->body + 12 + i * 8]);
        for (uint32_t k = 0; k < count && t->times.size() < 10000000; ++k) {
            t->times.push_back(static_cast<uint32_t>(time * 1000 / t->timescale));
            time += delta;
        }
    }
    // stsz
    if (!need(stsz, 12)) return *err = "short stsz", false;
    uint32_t constant = rd32(&f[stsz->body + 4]), count = rd32(&f[stsz->body + 8]);
    if (!constant && !need(stsz, 12 + size_t(count) * 4)) return *err = "short stsz", false;
    if (count > 10000000) return *err = "too many samples", false;
    for (uint32_t i = 0; i < count; ++i)
        t->sizes.push_back(constant ? constant : rd32(&f[stsz->body + 12 + i * 4]));
    if (count != t->times.size()) return *err = "stts and stsz disagree on the sample count", false;
    // stco + stsc -> sample offsets
    if (!need(stco, 8) || !need(stsc, 8)) return *err = "short stco or stsc", false;
    uint32_t chunks = rd32(&f[stco->body + 4]), entries = rd32(&f[stsc->body + 4]);
    if (!need(stco, 8 + size_t(chunks) * 4) || !need(stsc, 8 + size_t(entries) * 12))
        return *err = "short stco or stsc", false;
    size_t sample = 0;
    for (uint32_t c = 0; c < chunks; ++c) {
        uint32_t per = 0;
        for (uint32_t e = 0; e < entries; ++e)
            if (rd32(&f[stsc->body + 8 + e * 12]) <= c + 1)
                per = rd32(&f[stsc->body + 12 + e * 12]);
        uint64_t off = rd32(&f[stco->body + 8 + c * 4]);
        for (uint32_t k = 0; k < per && sample < count; ++k, ++sample) {
            t->offsets.push_back(static_cast<uint32_t>(off));
            off += t->sizes[sample];
        }
    }
    if (t->offsets.size() != count) return *err = "stsc/stco cover fewer samples than stsz", false;
    if (stss) {
        t->has_stss = true;
        if (!need(stss, 8)) return *err = "short stss", false;
        uint32_t k = rd32(&f[stss->body + 4]);
        if (!need(stss, 8 + size_t(k) * 4)) return *err = "short stss", false;
        for (uint32_t i = 0; i < k; ++i) t->sync.push_back(rd32(&f[stss->body + 8 + i * 4]));
    }
    return true;
}

}  // namespace

bool ReadClip(const std::vector<uint8_t>& f, std::vector<DumpTrack>* tracks, std::string* err) {
    std::vector<Box> top;
    if (!Children(f, 0, f.size(), &top)) return *err = "a top-level box runs past the file", false;
    const Box* moov = Find(top, "moov");
    if (!moov) return *err = "no moov box", false;
    std::vector<Box> mv;
    if (!Children(f, moov->body, moov->end, &mv)) return *err = "bad moov", false;
    for (const Box& trak : mv) {
        if (trak.type != "trak") continue;
        DumpTrack t;
        std::vector<Box> tk, md, mi;
        if (!Children(f, trak.body, trak.end, &tk)) return *err = "bad trak", false;
        const Box* tkhd = Find(tk, "tkhd");
        const Box* mdia = Find(tk, "mdia");
        if (!tkhd || !mdia || tkhd->body + 16 > tkhd->end)
            return *err = "trak without tkhd or mdia", false;
        t.id = rd32(&f[tkhd->body + 12]);
        if (!Children(f, mdia->body, mdia->end, &md)) return *err = "bad mdia", false;
        const Box *mdhd = Find(md, "mdhd"), *hdlr = Find(md, "hdlr"), *minf = Find(md, "minf");
        if (!mdhd || !hdlr || !minf || mdhd->body + 20 > mdhd->end || hdlr->body + 24 > hdlr->end)
            return *err = "mdia lacks mdhd, hdlr or minf", false;
        t.timescale = rd32(&f[mdhd->body + 12]);
        t.duration = rd32(&f[mdhd->body + 16]);
        if (!t.timescale) return *err = "zero timescale", false;
        t.handler.assign(reinterpret_cast<const char*>(&f[hdlr->body + 8]), 4);
        for (size_t i = hdlr->body + 24; i < hdlr->end && f[i]; ++i) t.handler_name += char(f[i]);
        if (!Children(f, minf->body, minf->end, &mi)) return *err = "bad minf", false;
        for (const char* h : {"vmhd", "smhd", "nmhd", "hmhd"})
            if (Find(mi, h)) t.media_header = h;
        const Box* stbl = Find(mi, "stbl");
        if (!stbl) return *err = "minf without stbl", false;
        if (!ParseStbl(f, *stbl, &t, err)) return false;
        t.data_track = t.handler == "sdsm" && t.handler_name.compare(0, 4, "XBLB") == 0 &&
                       t.media_header == "nmhd" && t.oti == 211;
        for (size_t i = 0; i < t.offsets.size(); ++i)
            if (uint64_t(t.offsets[i]) + t.sizes[i] > f.size())
                return *err = "a sample lies beyond the end of the file", false;
        tracks->push_back(std::move(t));
    }
    return true;
}

std::string DescribeRecord(const uint8_t* p, size_t n) {
    char buf[256];
    int m = -1;
    if (n > 1 && p[1] == 'M')
        m = 1;
    else if (n > 0 && p[0] == 'M')
        m = 0;
    if (m >= 0) {
        if (n < size_t(m) + 13) return "G   (short record)";
        auto s = [&](int i) { return static_cast<int8_t>(p[m + i]); };
        std::snprintf(buf, sizeof buf,
                      "G   x %+.3f y %+.3f z %+.3f g  %04d/%02d/%02d %02d:%02d:%02d", s(1) * 0.018,
                      s(2) * 0.018, s(3) * 0.018, s(7) + 2000, s(8), s(9), s(10), s(11), s(12));
        return buf;
    }
    std::string text;
    for (size_t i = 0; i < n && p[i]; ++i)
        if (p[i] >= 0x20 && p[i] < 0x7F) text += char(p[i]);
    // fields 2-7 as the player reads them
    std::vector<std::string> fld(1);
    for (char ch : text) {
        if (ch == ',')
            fld.emplace_back();
        else
            fld.back() += ch;
    }
    std::string out = "GPS " + text;
    if (fld.size() > 7 && !fld[2].empty() && fld[2][0] == 'A') {
        auto deg = [](const std::string& v, const std::string& hemi) {
            double x = std::atof(v.c_str());
            if (!hemi.empty() && (hemi[0] == 'S' || hemi[0] == 'W')) x = -x;
            double d = static_cast<double>(static_cast<long>(x) / 100 * 100);
            return d / 100 + (x - d) / 60;
        };
        std::snprintf(buf, sizeof buf, "  = %+.6f %+.6f %.1f km/h", deg(fld[3], fld[4]),
                      deg(fld[5], fld[6]), std::atof(fld[7].c_str()) * 1.852);
        out += buf;
    } else {
        out += "  = no fix";
    }
    return out;
}

int DumpClip(const std::string& path, FILE* out) {
    FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) {
        std::fprintf(stderr, "mkclip: cannot open %s\n", path.c_str());
        return 1;
    }
    std::vector<uint8_t> f;
    uint8_t buf[65536];
    size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, in)) > 0) f.insert(f.end(), buf, buf + got);
    std::fclose(in);
    std::vector<DumpTrack> tracks;
    std::string err;
    if (!ReadClip(f, &tracks, &err)) {
        std::fprintf(stderr, "mkclip: %s: %s\n", path.c_str(), err.c_str());
        return 1;
    }
    std::fprintf(out, "%s\n", path.c_str());
    const DumpTrack* data = nullptr;
    for (const DumpTrack& t : tracks) {
        std::fprintf(
            out, "  track %u: %s %s%s samples %zu duration %u ms%s\n", t.id, t.handler.c_str(),
            t.entry.c_str(), t.oti ? (" (object type " + std::to_string(t.oti) + ")").c_str() : "",
            t.sizes.size(), static_cast<uint32_t>(uint64_t(t.duration) * 1000 / t.timescale),
            t.data_track ? "  [recorder data]" : "");
        if (t.data_track && !data) data = &t;
    }
    if (!data) {
        std::fprintf(out, "  no recorder data track\n");
        return 0;
    }
    for (size_t i = 0; i < data->sizes.size(); ++i) {
        std::fprintf(out, "  %6u ms  %s\n", data->times[i],
                     DescribeRecord(&f[data->offsets[i]], data->sizes[i]).c_str());
    }
    return 0;
}

}  // namespace mkclip
