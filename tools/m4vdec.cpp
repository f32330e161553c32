// m4vdec INPUT OUTPUT.yuv
// Decodes an MPEG-4 part 2 elementary stream, an H.263 stream or the video
// track of an MP4 clip through the decoder interface and writes every output
// picture as planar I420 in output order.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "codecs/video/mp4vdec.h"

namespace {

struct Unit {
    size_t offset, size;
};

struct Stream {
    std::vector<uint8_t> data;
    std::vector<uint8_t> config;
    std::vector<Unit> units;
    int shortHeader = 0;
};

uint32_t Be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
uint64_t Be64(const uint8_t* p) { return uint64_t(Be32(p)) << 32 | Be32(p + 4); }

void SplitMpeg4(Stream* s) {
    const std::vector<uint8_t>& d = s->data;
    size_t n = d.size();
    std::vector<size_t> vops;
    size_t firstHeaderAfterVop = SIZE_MAX;
    std::vector<size_t> starts;  // start of each unit
    size_t configEnd = SIZE_MAX;
    for (size_t i = 0; i + 3 < n; ++i) {
        if (d[i] || d[i + 1] || d[i + 2] != 1) continue;
        uint8_t c = d[i + 3];
        if (c == 0xB6) {
            if (configEnd == SIZE_MAX) configEnd = i;
            starts.push_back(firstHeaderAfterVop != SIZE_MAX ? firstHeaderAfterVop : i);
            firstHeaderAfterVop = SIZE_MAX;
        } else if (!starts.empty() && firstHeaderAfterVop == SIZE_MAX &&
                   (c == 0xB0 || c == 0xB3 || c == 0xB5 || c <= 0x2F || c == 0xB2)) {
            firstHeaderAfterVop = i;
        }
        i += 2;
    }
    if (configEnd == SIZE_MAX) configEnd = n;
    s->config.assign(d.begin(), d.begin() + long(configEnd));
    for (size_t k = 0; k < starts.size(); ++k) {
        size_t a = starts[k], b = k + 1 < starts.size() ? starts[k + 1] : n;
        s->units.push_back({a, b - a});
    }
}

void SplitH263(Stream* s) {
    const std::vector<uint8_t>& d = s->data;
    std::vector<size_t> starts;
    for (size_t i = 0; i + 2 < d.size(); ++i)
        if (d[i] == 0 && d[i + 1] == 0 && (d[i + 2] & 0xFC) == 0x80) starts.push_back(i);
    for (size_t k = 0; k < starts.size(); ++k) {
        size_t a = starts[k], b = k + 1 < starts.size() ? starts[k + 1] : d.size();
        s->units.push_back({a, b - a});
    }
    s->shortHeader = 1;
}

// Minimal MP4 walk: the first video track's sample table.
struct Box {
    size_t start, body, end;
    uint32_t type;
};

bool ReadBox(const std::vector<uint8_t>& d, size_t pos, size_t limit, Box* b) {
    if (pos + 8 > limit) return false;
    uint64_t size = Be32(&d[pos]);
    size_t header = 8;
    if (size == 1) {
        if (pos + 16 > limit) return false;
        size = Be64(&d[pos + 8]);
        header = 16;
    } else if (size == 0) {
        size = limit - pos;
    }
    if (size < header || size > limit - pos) return false;
    b->start = pos;
    b->body = pos + header;
    b->end = pos + size_t(size);
    b->type = Be32(&d[pos + 4]);
    return true;
}

bool FindChild(const std::vector<uint8_t>& d, size_t from, size_t to, uint32_t type, Box* out) {
    Box b;
    for (size_t p = from; ReadBox(d, p, to, &b); p = b.end)
        if (b.type == type) {
            *out = b;
            return true;
        }
    return false;
}

constexpr uint32_t Tag(const char* s) {
    return uint32_t(uint8_t(s[0])) << 24 | uint32_t(uint8_t(s[1])) << 16 |
           uint32_t(uint8_t(s[2])) << 8 | uint8_t(s[3]);
}

// Reads an MPEG-4 descriptor length (up to four 7-bit groups).
size_t DescLen(const std::vector<uint8_t>& d, size_t* p, size_t end) {
    size_t len = 0;
    for (int i = 0; i < 4 && *p < end; ++i) {
        uint8_t c = d[(*p)++];
        len = len << 7 | (c & 0x7F);
        if (!(c & 0x80)) break;
    }
    return len;
}

bool ParseMp4(Stream* s) {
    const std::vector<uint8_t>& d = s->data;
    Box moov;
    if (!FindChild(d, 0, d.size(), Tag("moov"), &moov)) return false;
    Box trak;
    for (size_t p = moov.body; ReadBox(d, p, moov.end, &trak); p = trak.end) {
        if (trak.type != Tag("trak")) continue;
        Box mdia, hdlr, minf, stbl;
        if (!FindChild(d, trak.body, trak.end, Tag("mdia"), &mdia)) continue;
        if (!FindChild(d, mdia.body, mdia.end, Tag("hdlr"), &hdlr) || hdlr.body + 12 > hdlr.end)
            continue;
        if (Be32(&d[hdlr.body + 8]) != Tag("vide")) continue;
        if (!FindChild(d, mdia.body, mdia.end, Tag("minf"), &minf)) continue;
        if (!FindChild(d, minf.body, minf.end, Tag("stbl"), &stbl)) continue;
        Box stsd, stsz, stsc, stco;
        if (!FindChild(d, stbl.body, stbl.end, Tag("stsd"), &stsd)) continue;
        Box entry;
        if (!ReadBox(d, stsd.body + 8, stsd.end, &entry)) continue;
        if (entry.type == Tag("s263") || entry.type == Tag("h263")) {
            s->shortHeader = 1;
        } else {
            // Visual sample entry: 78 bytes, then child boxes (esds).
            Box esds;
            if (FindChild(d, entry.body + 78, entry.end, Tag("esds"), &esds)) {
                size_t q = esds.body + 4, e = esds.end;
                while (q + 2 <= e) {
                    uint8_t tag = d[q++];
                    size_t len = DescLen(d, &q, e);
                    if (tag == 0x03) {
                        if (q + 3 > e) break;
                        uint8_t flags = d[q + 2];
                        q += 3;
                        if (flags & 0x80) q += 2;
                        if (flags & 0x40) q += 1 + (q < e ? d[q] : 0);
                        if (flags & 0x20) q += 2;
                    } else if (tag == 0x04) {
                        q += 13;
                    } else if (tag == 0x05) {
                        if (q + len <= e)
                            s->config.assign(d.begin() + long(q), d.begin() + long(q + len));
                        break;
                    } else {
                        q += len;
                    }
                }
            }
        }
        if (!FindChild(d, stbl.body, stbl.end, Tag("stsz"), &stsz)) return false;
        if (!FindChild(d, stbl.body, stbl.end, Tag("stsc"), &stsc)) return false;
        bool co64 = false;
        if (!FindChild(d, stbl.body, stbl.end, Tag("stco"), &stco)) {
            if (!FindChild(d, stbl.body, stbl.end, Tag("co64"), &stco)) return false;
            co64 = true;
        }
        if (stsz.body + 12 > stsz.end || stsc.body + 8 > stsc.end || stco.body + 8 > stco.end)
            return false;
        uint32_t fixed = Be32(&d[stsz.body + 4]), count = Be32(&d[stsz.body + 8]);
        uint32_t chunks = Be32(&d[stco.body + 4]);
        uint32_t entries = Be32(&d[stsc.body + 4]);
        std::vector<uint32_t> sizes(count);
        for (uint32_t i = 0; i < count; ++i) {
            size_t at = stsz.body + 12 + 4 * size_t(i);
            sizes[i] = fixed ? fixed : (at + 4 <= stsz.end ? Be32(&d[at]) : 0);
        }
        uint32_t sample = 0;
        for (uint32_t c = 0; c < chunks && sample < count; ++c) {
            size_t at = stco.body + 8 + (co64 ? 8 : 4) * size_t(c);
            if (at + (co64 ? 8 : 4) > stco.end) break;
            uint64_t off = co64 ? Be64(&d[at]) : Be32(&d[at]);
            uint32_t per = 0;
            for (uint32_t e = 0; e < entries; ++e) {
                size_t ea = stsc.body + 8 + 12 * size_t(e);
                if (ea + 12 > stsc.end) break;
                if (Be32(&d[ea]) <= c + 1) per = Be32(&d[ea + 4]);
            }
            for (uint32_t k = 0; k < per && sample < count; ++k, ++sample) {
                if (off + sizes[sample] <= d.size())
                    s->units.push_back({size_t(off), sizes[sample]});
                off += sizes[sample];
            }
        }
        return true;
    }
    return false;
}

void Print(const char* text) { fputs(text, stderr); }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: m4vdec INPUT OUTPUT.yuv\n");
        return 2;
    }
    FILE* f = fopen(argv[1], "rb");
    if (!f) {
        fprintf(stderr, "m4vdec: cannot open %s\n", argv[1]);
        return 1;
    }
    Stream s;
    uint8_t buf[65536];
    size_t got;
    while ((got = fread(buf, 1, sizeof buf, f)) > 0) s.data.insert(s.data.end(), buf, buf + got);
    fclose(f);
    const std::vector<uint8_t>& d = s.data;
    if (d.size() >= 8 && Be32(&d[4]) == Tag("ftyp")) {
        if (!ParseMp4(&s)) {
            fprintf(stderr, "m4vdec: no video track in %s\n", argv[1]);
            return 1;
        }
    } else if (d.size() >= 3 && d[0] == 0 && d[1] == 0 && (d[2] & 0xFC) == 0x80) {
        SplitH263(&s);
    } else {
        SplitMpeg4(&s);
    }

    Mp4vDecStreamInfo info = {};
    info.iIsShortHdrMode = s.shortHeader ? 1 : 0;
    if (!s.config.empty()) {
        info.configData = s.config.data();
        info.configSize = uint32_t(s.config.size());
    }
    // Probe the size: the VOL, or the first H.263 picture.
    Mp4vDecInitConfig cfg = {};
    cfg.streamInfo = &info;
    cfg.print = Print;
    int32_t kind = 0;
    Mp4vDecInitResult probe = {&kind, 0, 0};
    Mp4vDecStreamInfo probeInfo = info;
    if (s.shortHeader && !s.units.empty()) {
        probeInfo.configData = &d[s.units[0].offset];
        probeInfo.configSize = uint32_t(s.units[0].size);
    }
    Mp4vDecInitConfig probeCfg = cfg;
    probeCfg.streamInfo = &probeInfo;
    probeCfg.print = Print;
    if (Mp4vDecParseConfig(&probeCfg, &probe) < 0 || probe.width == 0) {
        if (!s.shortHeader) {
            fprintf(stderr, "m4vdec: cannot read the stream headers of %s\n", argv[1]);
            return 1;
        }
        // Let the decoder report what it cannot take, picture by picture.
        probe.width = 2048;
        probe.height = 1152;
    }
    uint32_t maxW = (probe.width + 15) & ~15u, maxH = (probe.height + 15) & ~15u;
    const uint32_t kBuffers = 3;
    size_t lumaSize = size_t(maxW) * maxH;
    std::vector<uint8_t> planes(kBuffers * (lumaSize * 3 / 2 + 48));
    Mp4vDecFrameBuffer fbs[kBuffers];
    uint8_t* p = planes.data();
    for (uint32_t i = 0; i < kBuffers; ++i) {
        fbs[i].y = p;
        p += lumaSize + 15;
        fbs[i].u = p;
        p += lumaSize / 4 + 15;
        fbs[i].v = p;
        p += lumaSize / 4 + 15;
        fbs[i].unused = 0;
    }
    cfg.frameBuffers = fbs;
    cfg.uFrmBufferNum = kBuffers;
    cfg.uMaxDecodableWidth = maxW;
    cfg.uMaxDecodableHeight = maxH;
    m4v::MemTable tables[4];
    Mp4vDecGetMemTables(&cfg, tables);
    std::vector<uint8_t> mem[4];
    for (int i = 0; i < 4; ++i) {
        mem[i].assign(tables[i].size, 0);
        tables[i].pointer = mem[i].data();
    }
    Mp4vDecInitResult res = {&kind, 0, 0};
    Mp4vDecoder* dec = Mp4vDecInit(tables, &cfg, &res);
    if (!dec) return 1;

    FILE* out = fopen(argv[2], "wb");
    if (!out) {
        fprintf(stderr, "m4vdec: cannot create %s\n", argv[2]);
        return 1;
    }
    // Pictures are written row by row: a large buffer keeps that to few writes.
    static char outBuf[1 << 20];
    setvbuf(out, outBuf, _IOFBF, sizeof outBuf);
    int frames = 0;
    uint32_t width = 0, height = 0;
    auto emit = [&](const Mp4vDecOutput& o) {
        if (!o.y) return;
        width = o.width;
        height = o.height;
        for (uint32_t y = 0; y < o.height; ++y) fwrite(o.y + size_t(y) * o.stride, 1, o.width, out);
        uint32_t cw = (o.width + 1) / 2, ch = (o.height + 1) / 2;
        for (uint32_t y = 0; y < ch; ++y) fwrite(o.u + size_t(y) * (o.stride / 2), 1, cw, out);
        for (uint32_t y = 0; y < ch; ++y) fwrite(o.v + size_t(y) * (o.stride / 2), 1, cw, out);
        ++frames;
    };
    for (const Unit& u : s.units) {
        size_t done = 0;
        // A packed unit may hold two pictures: feed the rest again.
        for (int guard = 0; done < u.size && guard < 8; ++guard) {
            int32_t pair[2] = {-1, 0};
            Mp4vDecOutput o = {};
            o.result = pair;
            Mp4vDecInput in = {};
            in.data = &d[u.offset + done];
            in.size = uint32_t(u.size - done);
            in.completeUnit = 1;
            uint32_t used = Mp4vDecDecodeFrame(dec, &in, &o);
            emit(o);
            if (used == 0) break;
            done += used;
            if (u.size - done < 4) break;
        }
    }
    {
        int32_t pair[2] = {-1, 0};
        Mp4vDecOutput o = {};
        o.result = pair;
        Mp4vDecInput in = {};
        Mp4vDecDecodeFrame(dec, &in, &o);
        emit(o);
    }
    Mp4vDecClose(dec, tables);
    fclose(out);
    printf("frames=%d width=%u height=%u\n", frames, width, height);
    return frames > 0 ? 0 : 1;
}
