// Picture output of the decoder on FFmpeg-made streams: time deltas of H.263
// pictures, the deblocking post-filter on whole pictures (strips, the
// quantiser of each picture, B pictures, the end-of-stream picture), the
// key-frame probe, the immediate-output flag, Mp4vDecClose and reordering.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "codecs/video/mp4vdec.h"
#include "conformance_harness.h"

namespace {

using m4vtest::ReadFile;

std::string Dir() { return std::string(DC_TESTDATA) + "/video/output"; }

// An FFmpeg-encoded stream under Dir(), made once.
std::string MakeStream(const std::string& name, const std::string& source, int frames,
                       const std::string& options, const std::string& format) {
    std::string path = Dir() + "/" + name + "." + format;
    FILE* f = fopen(path.c_str(), "rb");
    if (f) {
        fclose(f);
        return path;
    }
    std::string cmd = "mkdir -p '" + Dir() +
                      "' && ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i '" +
                      source + "' -frames:v " + std::to_string(frames) + " -pix_fmt yuv420p " +
                      options + " -f " + format + " '" + path + ".tmp' && mv '" + path + ".tmp' '" +
                      path + "'";
    EXPECT_EQ(system(cmd.c_str()), 0) << cmd;
    return path;
}

// FFmpeg's view of a stream: one line per frame (display order) or packet.
std::vector<std::string> Probe(const std::string& path, const char* what) {
    std::string cmd = std::string("ffprobe -v error -show_") + what + " -show_entries " +
                      (strcmp(what, "frames") == 0 ? "frame=pict_type" : "packet=flags") +
                      " -of csv=p=0 '" + path + "'";
    std::vector<std::string> lines;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return lines;
    char buf[128];
    while (fgets(buf, sizeof buf, p)) {
        std::string s(buf);
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ','))
            s.pop_back();
        if (!s.empty()) lines.push_back(s);
    }
    pclose(p);
    return lines;
}

struct Units {
    std::vector<uint8_t> data, config;
    std::vector<std::pair<size_t, size_t>> units;  // offset, size
    int shortHeader = 0;
};

// Access units at each VOP (MPEG-4) or picture (H.263) start code; MPEG-4
// headers before the first VOP are the configuration.
Units Split(const std::string& path, int shortHeader) {
    Units u;
    u.shortHeader = shortHeader;
    EXPECT_TRUE(ReadFile(path, &u.data));
    const std::vector<uint8_t>& d = u.data;
    std::vector<size_t> starts;
    for (size_t i = 0; i + 3 < d.size(); ++i) {
        if (d[i] || d[i + 1]) continue;
        if (shortHeader ? (d[i + 2] & 0xFC) == 0x80 : d[i + 2] == 1 && d[i + 3] == 0xB6)
            starts.push_back(i);
    }
    if (!shortHeader && !starts.empty()) u.config.assign(d.begin(), d.begin() + long(starts[0]));
    for (size_t k = 0; k < starts.size(); ++k) {
        size_t end = k + 1 < starts.size() ? starts[k + 1] : d.size();
        u.units.push_back({starts[k], end - starts[k]});
    }
    return u;
}

struct Picture {
    int type, ticks;
    std::vector<uint8_t> y, u, v;  // visible area
    const uint8_t* planeY;
};

struct Decoder {
    Mp4vDecStreamInfo info = {};
    Mp4vDecInitConfig cfg = {};
    std::vector<uint8_t> planes;
    Mp4vDecFrameBuffer fbs[3] = {};
    m4v::MemTable tables[4] = {};
    std::vector<uint8_t> mem[4];
    int32_t kind = -1;
    Mp4vDecInitResult result = {&kind, 0, 0};
    Mp4vDecoder* dec = nullptr;

    bool Init(const Units& s, int w, int h, int postFilter, int lowDelay) {
        info.configData = s.config.empty() ? nullptr : s.config.data();
        info.configSize = uint32_t(s.config.size());
        info.iIsShortHdrMode = s.shortHeader;
        info.postFilter = postFilter;
        info.lowDelay = lowDelay;
        uint32_t mw = uint32_t(w + 15) & ~15u, mh = uint32_t(h + 15) & ~15u;
        size_t luma = size_t(mw) * mh, frame = luma * 3 / 2 + 48;
        planes.assign(3 * frame, 0);
        for (int i = 0; i < 3; ++i) {
            uint8_t* p = planes.data() + i * frame;
            fbs[i] = {p, p + luma + 16, p + luma + 16 + luma / 4 + 16, 0};
        }
        cfg.streamInfo = &info;
        cfg.frameBuffers = fbs;
        cfg.uFrmBufferNum = 3;
        cfg.uMaxDecodableWidth = mw;
        cfg.uMaxDecodableHeight = mh;
        Mp4vDecGetMemTables(&cfg, tables);
        for (int i = 0; i < 4; ++i) {
            mem[i].assign(tables[i].size, 0);
            tables[i].pointer = mem[i].data();
        }
        dec = Mp4vDecInit(tables, &cfg, &result);
        return dec != nullptr;
    }

    // Decodes data (empty: end of stream); appends the output picture.
    Mp4vDecOutput Decode(const uint8_t* data, size_t size, int immediate,
                         std::vector<Picture>* out) {
        int32_t pair[2] = {-1, 0};
        Mp4vDecOutput o = {};
        o.result = pair;
        Mp4vDecInput in = {};
        in.data = size ? data : nullptr;
        in.size = uint32_t(size);
        in.completeUnit = 1;
        in.immediateOutput = uint32_t(immediate);
        Mp4vDecDecodeFrame(dec, &in, &o);
        if (o.y && out) {
            Picture p;
            p.type = pair[0];
            p.ticks = pair[1];
            p.planeY = o.y;
            int w = int(o.width), h = int(o.height), cw = (w + 1) / 2, ch = (h + 1) / 2;
            for (int r = 0; r < h; ++r)
                p.y.insert(p.y.end(), o.y + r * o.stride, o.y + r * o.stride + w);
            for (int r = 0; r < ch; ++r) {
                p.u.insert(p.u.end(), o.u + r * o.stride / 2, o.u + r * o.stride / 2 + cw);
                p.v.insert(p.v.end(), o.v + r * o.stride / 2, o.v + r * o.stride / 2 + cw);
            }
            out->push_back(p);
        }
        return o;
    }

    std::vector<Picture> DecodeAll(const Units& s, int immediate = 0) {
        std::vector<Picture> pics;
        for (auto& u : s.units) Decode(&s.data[u.first], u.second, immediate, &pics);
        Decode(nullptr, 0, 0, &pics);
        return pics;
    }
    ~Decoder() {
        if (dec) Mp4vDecClose(dec, tables);
    }
};

TEST(VideoOutput, H263TimeDeltas) {
    // The H.263 clock runs at 30000/1001 Hz: each delta is a whole number of
    // 3003-tick periods, and together they follow the frame rate.
    struct Case {
        const char* name;
        const char* rate;
        double frameTicks;
    };
    const Case kCases[] = {
        {"ntsc", "30000/1001", 3003.0},
        {"pal", "25", 3600.0},
        {"half", "15", 6000.0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        std::string path = MakeStream(std::string("h263_rate_") + c.name,
                                      std::string("testsrc2=size=176x144:rate=") + c.rate, 30,
                                      "-c:v h263 -q:v 5", "h263");
        Units s = Split(path, 1);
        ASSERT_EQ(s.units.size(), 30u);
        Decoder d;
        ASSERT_TRUE(d.Init(s, 176, 144, 0, 0));
        std::vector<Picture> pics = d.DecodeAll(s);
        ASSERT_EQ(pics.size(), 30u);
        double sum = 0;
        for (size_t k = 1; k < pics.size(); ++k) {
            EXPECT_GT(pics[k].ticks, 0) << k;
            EXPECT_EQ(pics[k].ticks % 3003, 0) << k;
            sum += pics[k].ticks;
        }
        EXPECT_NEAR(sum, 29 * c.frameTicks, 3003.0);
    }
}

// The deblocking filter written out for whole planes: strips of 8 rows,
// vertical edges first (from the unfiltered picture), then the horizontal
// edge at the top of each strip but the first; one quantiser for the picture.
void FilterEdge(uint8_t* p, int step, int qp) {
    auto clip = [](int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); };
    int b3 = p[-3 * step], b2 = p[-2 * step], b1 = p[-step], a1 = p[0], a2 = p[step],
        a3 = p[2 * step];
    int d = b1 - a1, g = abs(d - b2 + a2);
    d = d < -2 * qp ? -2 * qp : d > 2 * qp ? 2 * qp : d;
    if (2 * g >= qp) {
        int t = (3 * d + 8) >> 4;
        p[-step] = clip(b1 - t);
        p[0] = clip(a1 + t);
    } else if (8 * g < qp) {
        int s = d >> 3, t = (5 * d + 8) >> 4;
        p[-step] = clip(b1 - s - t);
        p[0] = clip(a1 + s + t);
        p[-2 * step] = clip(b2 - t);
        p[step] = clip(a2 + t);
        p[-3 * step] = clip(b3 - t + s);
        p[2 * step] = clip(a3 + t - s);
    } else {
        int t = (3 * d + 4) >> 3;
        p[-2 * step] = uint8_t((b2 + b1 + 1) >> 1);
        p[step] = uint8_t((a2 + a1 + 1) >> 1);
        p[-step] = clip(b1 - t);
        p[0] = clip(a1 + t);
    }
}

std::vector<uint8_t> FilterPlane(std::vector<uint8_t> p, int w, int h, int qp) {
    if (w < 8 || h < 8) return p;
    // Rows past the picture (the strip's filter may reach them) are spare.
    p.resize(size_t(w) * (h + 8), 0);
    for (int sy = 0; sy < h; sy += 8) {
        for (int y = sy; y < sy + 8 && y < h; ++y)
            for (int x = 8; x + 8 <= w; x += 8) FilterEdge(&p[size_t(y) * w + x], 1, qp);
        if (sy)
            for (int x = 0; x < w - w % 8; ++x) FilterEdge(&p[size_t(sy) * w + x], w, qp);
    }
    p.resize(size_t(w) * h);
    return p;
}

// vop_quant of an I or P VOP at p (the start code), for a 5-bit time
// increment (a resolution of 25).
int VopQuant(const uint8_t* p) {
    uint32_t pos = 32;
    auto get = [&](int n) {
        int v = 0;
        for (int i = 0; i < n; ++i, ++pos) v = v << 1 | ((p[pos >> 3] >> (7 - (pos & 7))) & 1);
        return v;
    };
    int type = get(2);
    while (get(1)) {}
    get(1 + 5 + 1);  // marker, increment, marker
    get(1);          // vop_coded
    if (type == 1) get(1);
    get(3);
    return get(5);
}

TEST(VideoOutput, PostFilterPictures) {
    // Rate-controlled I/P streams change the quantiser from picture to
    // picture (one per picture, read from its header): the filter of each
    // picture must take its own. The others use one quantiser throughout.
    const char* kFixed = "-q:v 5";
    const char* kRate = "-b:v 60k -qmin 2 -qmax 31";
    struct Case {
        const char* name;
        const char* source;
        int w, h, frames;
        std::string options;
        const char* format;
        int lowDelay, immediate;
    };
    const Case kCases[] = {
        {"ip", "testsrc2=size=176x144:rate=25", 176, 144, 12,
         std::string("-c:v mpeg4 -g 6 ") + kRate, "m4v", 0, 0},
        {"ip_low_delay", "testsrc2=size=176x144:rate=25", 176, 144, 12,
         std::string("-c:v mpeg4 -g 6 ") + kRate, "m4v", 1, 0},
        {"ip_immediate", "testsrc2=size=176x144:rate=25", 176, 144, 12,
         std::string("-c:v mpeg4 -g 6 ") + kRate, "m4v", 0, 1},
        {"b_frames", "mandelbrot=size=176x144:rate=25", 176, 144, 14,
         std::string("-c:v mpeg4 -g 12 -bf 2 ") + kFixed, "m4v", 0, 0},
        {"b_end_after_b", "mandelbrot=size=176x144:rate=25", 176, 144, 13,
         std::string("-c:v mpeg4 -g 12 -bf 1 ") + kFixed, "m4v", 0, 0},
        // partial strips and an odd chroma size
        {"odd_size", "testsrc2=size=180x132:rate=25", 180, 132, 8,
         std::string("-c:v mpeg4 -g 4 -bf 1 ") + kFixed, "m4v", 0, 0},
        {"odd_chroma", "testsrc2=size=174x130:rate=25", 174, 130, 6,
         std::string("-c:v mpeg4 -g 4 ") + kRate, "m4v", 0, 0},
        {"h263", "testsrc2=size=176x144:rate=25", 176, 144, 8, "-c:v h263 -g 4 -q:v 5", "h263", 0,
         0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        std::string path = MakeStream(std::string("postfilter_") + c.name, c.source, c.frames,
                                      c.options, c.format);
        int sh = strcmp(c.format, "h263") == 0;
        Units s = Split(path, sh);
        Decoder plain, filtered;
        ASSERT_TRUE(plain.Init(s, c.w, c.h, 0, c.lowDelay));
        ASSERT_TRUE(filtered.Init(s, c.w, c.h, 1, c.lowDelay));
        std::vector<Picture> a = plain.DecodeAll(s, c.immediate);
        std::vector<Picture> b = filtered.DecodeAll(s, c.immediate);
        // Every picture is output, the last one too (and with immediate
        // output, the end of the stream gives the newest reference again).
        ASSERT_EQ(a.size(), size_t(c.frames + c.immediate));
        ASSERT_EQ(b.size(), a.size());
        int cw = (c.w + 1) / 2, ch = (c.h + 1) / 2;
        for (size_t k = 0; k < a.size(); ++k) {
            SCOPED_TRACE(k);
            EXPECT_EQ(a[k].type, b[k].type);
            EXPECT_EQ(a[k].ticks, b[k].ticks);
            int qp = 5;
            if (strstr(c.options.c_str(), kRate)) {
                size_t unit = k < s.units.size() ? k : s.units.size() - 1;
                qp = VopQuant(&s.data[s.units[unit].first]);
            }
            EXPECT_TRUE(FilterPlane(a[k].y, c.w, c.h, qp) == b[k].y);
            EXPECT_TRUE(FilterPlane(a[k].u, cw, ch, qp) == b[k].u);
            EXPECT_TRUE(FilterPlane(a[k].v, cw, ch, qp) == b[k].v);
            // The filter changes the picture (these are blocky enough).
            EXPECT_FALSE(a[k].y == b[k].y);
        }
    }
}

TEST(VideoOutput, KeyFrameProbe) {
    struct Case {
        const char* name;
        const char* options;
        const char* format;
    };
    const Case kCases[] = {
        {"mpeg4_ipb", "-c:v mpeg4 -g 5 -bf 1 -q:v 4", "m4v"},
        {"mpeg4_ip", "-c:v mpeg4 -g 3 -q:v 4", "m4v"},
        {"h263_ip", "-c:v h263 -g 4 -q:v 4", "h263"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        std::string path = MakeStream(std::string("key_") + c.name, "testsrc2=size=176x144:rate=25",
                                      12, c.options, c.format);
        int sh = strcmp(c.format, "h263") == 0;
        Units s = Split(path, sh);
        // Packet flags where pictures are reordered; else the picture types.
        std::vector<std::string> flags = Probe(path, sh ? "frames" : "packets");
        if (sh)
            for (std::string& f : flags) f = f == "I" ? "K" : "_";
        ASSERT_EQ(flags.size(), s.units.size());
        Decoder d;
        ASSERT_TRUE(d.Init(s, 176, 144, 0, 0));
        for (size_t k = 0; k < s.units.size(); ++k) {
            Mp4vDecInput in = {};
            in.data = &s.data[s.units[k].first];
            in.size = uint32_t(s.units[k].second);
            EXPECT_EQ(Mp4vDecIsKeyFrame(d.dec, &in), flags[k][0] == 'K' ? 1 : 0) << k;
        }
        // Data without a picture start.
        const uint8_t junk[16] = {0, 0, 1, 0xB2, 'x', 'y', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        Mp4vDecInput in = {};
        in.data = junk;
        in.size = sizeof junk;
        EXPECT_EQ(Mp4vDecIsKeyFrame(d.dec, &in), -1);
        in.size = 3;
        EXPECT_EQ(Mp4vDecIsKeyFrame(d.dec, &in), -1);
    }
}

TEST(VideoOutput, ReorderAndImmediateOutput) {
    std::string path = MakeStream("reorder_ipbp", "testsrc2=size=176x144:rate=25", 9,
                                  "-c:v mpeg4 -g 12 -bf 1 -q:v 4", "m4v");
    Units s = Split(path, 0);
    std::vector<std::string> display = Probe(path, "frames");
    ASSERT_EQ(display.size(), 9u);
    // I P B P ...: nothing, then I, then B, P, ..., the newest P at the end.
    Decoder d;
    ASSERT_TRUE(d.Init(s, 176, 144, 0, 0));
    std::vector<Picture> pics;
    Mp4vDecOutput first = d.Decode(&s.data[s.units[0].first], s.units[0].second, 0, &pics);
    EXPECT_EQ(first.y, nullptr);
    for (size_t k = 1; k < s.units.size(); ++k)
        d.Decode(&s.data[s.units[k].first], s.units[k].second, 0, &pics);
    d.Decode(nullptr, 0, 0, &pics);
    ASSERT_EQ(pics.size(), display.size());
    for (size_t k = 0; k < pics.size(); ++k) EXPECT_EQ("IPBS"[pics[k].type], display[k][0]) << k;
    std::vector<Picture> delayed = pics;

    // Immediate output: each picture at its own call (decode order), every
    // status entry 1 before it, so only intra macroblocks read 0 after it.
    Decoder im;
    ASSERT_TRUE(im.Init(s, 176, 144, 0, 0));
    pics.clear();
    for (size_t k = 0; k < s.units.size(); ++k) {
        Mp4vDecOutput o = im.Decode(&s.data[s.units[k].first], s.units[k].second, 1, &pics);
        ASSERT_EQ(pics.size(), k + 1);
        ASSERT_NE(o.mbStatus, nullptr);
        int zeros = 0;
        for (int i = 0; i < 99; ++i) {
            EXPECT_LE(o.mbStatus[i], 1);
            zeros += o.mbStatus[i] == 0;
        }
        if (pics[k].type == 0) {
            EXPECT_EQ(zeros, 99);
        }
        EXPECT_EQ(o.decodedPercent, uint32_t(zeros * 100 / 99));
        // The same picture as the reordered decode gave.
        bool found = false;
        for (const Picture& p : delayed) found |= p.y == pics[k].y && p.type == pics[k].type;
        EXPECT_TRUE(found) << k;
    }
    // Nothing is held back for the end.
    size_t n = pics.size();
    im.Decode(nullptr, 0, 0, &pics);
    EXPECT_LE(pics.size(), n + 1);
}

TEST(VideoOutput, CloseHandsTablesBack) {
    std::string path = MakeStream("reorder_ipbp", "testsrc2=size=176x144:rate=25", 9,
                                  "-c:v mpeg4 -g 12 -bf 1 -q:v 4", "m4v");
    Units s = Split(path, 0);
    Decoder d;
    ASSERT_TRUE(d.Init(s, 176, 144, 0, 0));
    d.DecodeAll(s);
    m4v::MemTable back[4] = {};
    EXPECT_EQ(Mp4vDecClose(d.dec, back), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(back[i].pointer, d.mem[i].data()) << i;
}

}  // namespace
