// The picture control's GIF walker on GIFs of every shape mkres writes, on
// FFmpeg's GIFs (frame counts checked against ffprobe), and on damaged and
// hostile files, where every read must stay inside the data.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ThemeClass/ThemeGif.h"
#include "tools/mkres/images.h"

using skin::GifFrameCut;

namespace {

using Bytes = std::vector<uint8_t>;

std::vector<GifFrameCut> Cuts(const Bytes& g, size_t start) {
    std::vector<GifFrameCut> v;
    GifFrameCut c;
    while (skin::CutGifFrame(g.data(), g.size(), &start, &c)) v.push_back(c);
    return v;
}

size_t FirstBlock(const Bytes& g) {
    skin::GifScreen s;
    if (!skin::ReadGifScreen(g.data(), g.size(), &s)) return 0;
    return skin::kGifScreenEnd + s.globalTableSize;
}

bool Contains(const uint8_t* b, const uint8_t* e, const std::string& text) {
    return std::search(b, e, text.begin(), text.end()) != e;
}

// A small GIF by hand: header, screen with a 2-colour global table, then
// the given blocks and a trailer.
Bytes Hand(const Bytes& blocks, uint8_t packed = 0x80, bool trailer = true) {
    Bytes g = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 3, 0, packed, 0, 0};
    if (packed & 0x80) {
        const size_t n = 3u << ((packed & 7) + 1);
        for (size_t i = 0; i < n; ++i) g.push_back(static_cast<uint8_t>(i));
    }
    g.insert(g.end(), blocks.begin(), blocks.end());
    if (trailer) g.push_back(0x3B);
    return g;
}

const Bytes kGce = {0x21, 0xF9, 4, 0x08, 30, 0, 0, 0};  // disposal 2, delay 30
// A 1x1 image at (1, 2) with one data sub-block.
const Bytes kImage = {0x2C, 1, 0, 2, 0, 1, 0, 1, 0, 0x00, 2, 2, 0x4C, 0x01, 0};

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

}  // namespace

TEST(GifWalker, FramesOfEveryRecipeShape) {
    struct Screen {
        const char* name;
        int colors;
        bool global;
        int loop;
        const char* comment;
    };
    const Screen screens[] = {
        {"2 colours", 2, true, -1, ""},
        {"256 colours, loop block", 256, true, 0, ""},
        {"8 colours, comment first", 8, true, 3, "before the frames"},
        {"no global table", 8, false, -1, ""},
    };
    struct Frame {
        const char* name;
        mkres::GifFrame f;
    };
    auto frame = [](int x, int y, int w, int h, bool gce, int delay, int dispose, int local,
                    const char* note, bool text) {
        mkres::GifFrame f;
        f.x = x, f.y = y, f.w = w, f.h = h;
        f.gce = gce, f.delay = delay, f.dispose = dispose;
        f.localColors = local;
        f.note = note;
        f.plainText = text;
        f.pattern = mkres::GifFrame::Noise;
        f.a = x * 7 + y;
        return f;
    };
    const Frame frames[] = {
        {"whole screen, delay 0", frame(0, 0, 0, 0, true, 0, 0, 4, "", false)},
        {"corner, disposal 2", frame(3, 5, 9, 7, true, 5, 2, 0, "", false)},
        {"comment inside, disposal 3", frame(10, 1, 20, 12, true, 100, 3, 16, "inside", false)},
        {"no control block", frame(1, 1, 4, 4, false, 0, 0, 2, "", false)},
        {"no control block, comment before image", frame(0, 0, 8, 8, false, 0, 0, 8, "n", false)},
        {"plain text", frame(2, 2, 16, 8, true, 7, 1, 0, "words", true)},
        {"largest delay", frame(0, 20, 40, 10, true, 65535, 7, 256, "", false)},
    };
    for (const Screen& sc : screens) {
        mkres::GifRecipe r;
        r.width = 40, r.height = 30;
        r.colors = sc.colors;
        r.globalTable = sc.global;
        r.loop = sc.loop;
        r.comment = sc.comment;
        for (const Frame& f : frames) {
            r.frames.push_back(f.f);
            if (!sc.global && !r.frames.back().localColors) r.frames.back().localColors = 4;
        }
        const Bytes g = mkres::EncodeGif(r);
        skin::GifScreen s;
        ASSERT_TRUE(skin::ReadGifScreen(g.data(), g.size(), &s)) << sc.name;
        EXPECT_EQ(40, s.width);
        EXPECT_EQ(30, s.height);
        const size_t first = FirstBlock(g);
        EXPECT_EQ(static_cast<int>(std::size(frames)),
                  skin::CountGifFrames(g.data(), g.size(), first))
            << sc.name;
        const std::vector<GifFrameCut> cuts = Cuts(g, first);
        ASSERT_EQ(std::size(frames), cuts.size()) << sc.name;
        for (size_t i = 0; i < cuts.size(); ++i) {
            const mkres::GifFrame& f = frames[i].f;
            const GifFrameCut& c = cuts[i];
            const std::string what = std::string(sc.name) + " / " + frames[i].name;
            EXPECT_EQ(f.gce ? uint32_t(f.delay) : skin::kGifNoDelay, c.delay) << what;
            EXPECT_EQ(f.gce ? uint32_t(f.dispose) : 0u, c.disposal) << what;
            if (f.plainText) {
                EXPECT_EQ(0, c.width) << what << ": plain text sets no size";
            } else {
                EXPECT_EQ(f.w ? f.w : 40, c.width) << what;
                EXPECT_EQ(f.h ? f.h : 30, c.height) << what;
                EXPECT_EQ(f.x, c.left) << what;
                EXPECT_EQ(f.y, c.top) << what;
            }
            // A frame starts at its control block; without one, at its image
            // (a comment before that image is not part of the frame).
            const bool noteInside = f.note[0] && f.gce;
            EXPECT_EQ(f.gce || f.plainText ? 0x21 : 0x2C, g[c.start]) << what;
            if (f.note[0]) {
                EXPECT_EQ(noteInside, Contains(g.data() + c.start, g.data() + c.end, f.note))
                    << what;
            }
            if (i == 0 && sc.comment[0]) {
                EXPECT_FALSE(Contains(g.data() + c.start, g.data() + c.end, sc.comment))
                    << what << ": blocks before the frame stay out";
            }

            // The one-frame GIF: same screen, the frame's bytes, a trailer.
            const Bytes one = skin::BuildFrameGif(g.data(), g.size(), s.globalTableSize, c);
            ASSERT_EQ(first + (c.end - c.start) + 1, one.size()) << what;
            EXPECT_TRUE(std::equal(g.begin(), g.begin() + static_cast<long>(first), one.begin()));
            EXPECT_EQ(0x3B, one.back()) << what;
            skin::GifScreen s1;
            ASSERT_TRUE(skin::ReadGifScreen(one.data(), one.size(), &s1)) << what;
            const std::vector<GifFrameCut> again = Cuts(one, first);
            ASSERT_EQ(1u, again.size()) << what;
            EXPECT_EQ(c.delay, again[0].delay) << what;
            EXPECT_EQ(c.disposal, again[0].disposal) << what;
            EXPECT_EQ(c.width, again[0].width) << what;
            if (noteInside) {
                EXPECT_TRUE(Contains(one.data(), one.data() + one.size(), f.note))
                    << what << ": the blocks inside the frame are copied";
            }
            size_t at = again[0].end;
            EXPECT_EQ(skin::GifBlock::Trailer, skin::GifBlockKind(one.data(), one.size(), at));
        }
    }
}

TEST(GifWalker, DamagedAndHostileData) {
    struct Case {
        const char* name;
        Bytes gif;
        bool screen;  // the logical screen reads
        int frames;
    };
    const Bytes good = Hand(Cat({kGce, kImage, kGce, kImage}));
    Bytes longSub = Hand(Cat({kGce, kImage}));
    longSub[13 + 6 + 8 + 11] = 200;  // the image's data sub-block claims 200 bytes
    Bytes localPast = Hand(kImage, 0x80, false);
    localPast[13 + 6 + 9] = 0x87;  // a 768-byte local table in a file of 35
    const Case cases[] = {
        {"two frames", good, true, 2},
        {"not a GIF", Bytes{'G', 'I', 'F', '8', '8', 'a', 4, 0, 3, 0, 0, 0, 0, 0x3B}, false, 0},
        {"header only", Bytes{'G', 'I', 'F', '8', '9', 'a'}, false, 0},
        {"screen cut short", Bytes{'G', 'I', 'F', '8', '9', 'a', 4, 0, 3, 0, 0x80}, false, 0},
        {"global table longer than the file",
         Bytes{'G', 'I', 'F', '8', '9', 'a', 4, 0, 3, 0, 0x87, 0, 0, 1, 2, 3, 0x3B}, false, 0},
        {"no control extension", Hand(Cat({kImage, kImage})), true, 2},
        {"plain-text extension",
         Hand(Cat({kGce, Bytes{0x21, 0x01, 12, 0, 0, 0, 0, 4, 0, 3, 0, 8, 8, 1, 0, 2, 'h', 'i', 0},
                   kImage})),
         true, 2},
        {"plain-text extension cut in its head", Hand(Bytes{0x21, 0x01, 12, 0, 0}, 0x80, false),
         true, 0},
        {"control block cut short", Hand(Bytes{0x21, 0xF9, 4, 0, 10}, 0x80, false), true, 0},
        {"control block then trailer", Hand(kGce), true, 0},
        {"control block then unknown", Hand(Cat({kGce, Bytes{0x99}, kImage})), true, 0},
        {"unknown extension label", Hand(Cat({kImage, Bytes{0x21, 0x77, 0}, kImage})), true, 1},
        {"data sub-block runs past the end", longSub, true, 0},
        {"local table runs past the end", localPast, true, 0},
        {"image descriptor cut short", Hand(Bytes{0x2C, 1, 0, 2, 0, 1}, 0x80, false), true, 0},
        {"sub-blocks without terminator", Hand(Bytes{0x21, 0xFE, 3, 'a', 'b', 'c'}, 0x80, false),
         true, 0},
        {"application block cut in its head", Hand(Bytes{0x21, 0xFF, 11, 'N', 'E'}, 0x80, false),
         true, 0},
        {"lone introducer", Hand(Bytes{0x21}, 0x80, false), true, 0},
        {"empty", Bytes{}, false, 0},
    };
    for (const Case& c : cases) {
        // A copy of exactly the file's size, so ASan sees any read past it.
        Bytes g(c.gif);
        skin::GifScreen s;
        EXPECT_EQ(c.screen, skin::ReadGifScreen(g.data(), g.size(), &s)) << c.name;
        const size_t first = c.screen ? 13 + s.globalTableSize : 13;
        EXPECT_EQ(c.frames, skin::CountGifFrames(g.data(), g.size(), first)) << c.name;
        for (const GifFrameCut& cut : Cuts(g, first)) {
            EXPECT_FALSE(skin::BuildFrameGif(g.data(), g.size(), s.globalTableSize, cut).empty())
                << c.name;
        }
    }
}

TEST(GifWalker, EveryTruncationFailsCleanly) {
    mkres::GifRecipe r;
    r.width = 16, r.height = 16;
    r.loop = 0;
    r.comment = "c";
    mkres::GifFrame a, b;
    a.pattern = mkres::GifFrame::Noise;
    b.x = 4, b.y = 4, b.w = 8, b.h = 8, b.localColors = 4, b.note = "note";
    r.frames = {a, b};
    const Bytes full = mkres::EncodeGif(r);
    const size_t first = FirstBlock(full);
    for (size_t n = 0; n < full.size(); ++n) {
        const Bytes g(full.begin(), full.begin() + static_cast<long>(n));
        skin::GifScreen s;
        const bool screen = skin::ReadGifScreen(g.data(), g.size(), &s);
        EXPECT_EQ(n >= first, screen) << n;
        const int frames = skin::CountGifFrames(g.data(), g.size(), first);
        EXPECT_LE(frames, 2) << n;
        // Only the trailer may be missing for both frames to be found.
        if (n < full.size() - 1) {
            EXPECT_LT(frames, 2) << n;
        } else {
            EXPECT_EQ(2, frames) << n;
        }
    }
}

TEST(GifWalker, BuildFrameRefusesCutsOutsideTheData) {
    const Bytes g = Hand(Cat({kGce, kImage}));
    const uint32_t table = 6;
    struct Case {
        const char* name;
        size_t start, end;
        uint32_t table;
    };
    const Case cases[] = {
        {"end past the data", 19, g.size() + 1, table},
        {"start inside the screen", 5, 20, table},
        {"start after end", 30, 20, table},
        {"table longer than the data", 19, 20, 4000},
    };
    for (const Case& c : cases) {
        GifFrameCut cut;
        cut.start = c.start;
        cut.end = c.end;
        EXPECT_TRUE(skin::BuildFrameGif(g.data(), g.size(), c.table, cut).empty()) << c.name;
    }
    EXPECT_TRUE(skin::BuildFrameGif(nullptr, 0, 0, GifFrameCut()).empty());
}

TEST(GifWalker, FrameWaits) {
    struct Case {
        const char* name;
        uint32_t delay;
        uint32_t ms;
    };
    const Case cases[] = {
        {"0 shows 100 ms", 0, 100},
        {"4 shows 100 ms", 4, 100},
        {"5 shows 50 ms", 5, 50},
        {"100 shows a second", 100, 1000},
        {"largest 16-bit", 65535, 655350},
        {"no control block: 100 ms", skin::kGifNoDelay, 100},
        {"never an endless wait", 0xFFFFFFFE, 0xFFFFFFFE},
    };
    for (const Case& c : cases) EXPECT_EQ(c.ms, skin::GifFrameWaitMs(c.delay)) << c.name;
}

// FFmpeg's GIF encoder writes frames of changed areas with their own
// control blocks: the walker finds as many frames as ffprobe reads, and
// each one-frame GIF it builds reads back as one frame.
TEST(GifWalker, FfmpegGifsMatchFfprobe) {
    const std::string dir = std::string(DC_TESTDATA) + "/gifwalk";
    std::system(("mkdir -p '" + dir + "'").c_str());
    struct Case {
        const char* name;
        const char* source;
        int frames;
        const char* options;
    };
    const Case cases[] = {
        {"testsrc", "testsrc=size=64x48:rate=10", 6, ""},
        {"moving box", "testsrc2=size=33x17:rate=5", 4, ""},
        {"noise", "cellauto=size=40x30:rate=8", 5, ""},
        {"whole frames", "testsrc2=size=20x20:rate=3", 3, "-gifflags 0"},
        {"no loop block", "testsrc=size=16x16:rate=25", 3, "-loop -1"},
    };
    auto probeFrames = [](const std::string& path) {
        const std::string cmd =
            "ffprobe -v error -count_frames -select_streams v:0 "
            "-show_entries stream=nb_read_frames -of csv=p=0 '" +
            path + "' 2>&1";
        FILE* p = popen(cmd.c_str(), "r");
        if (!p) return -1;
        char buf[64] = {};
        const size_t n = fread(buf, 1, sizeof buf - 1, p);
        pclose(p);
        buf[n] = 0;
        return std::atoi(buf);
    };
    for (const Case& c : cases) {
        const std::string path = dir + "/" + c.name + ".gif";
        const std::string cmd = "ffmpeg -v error -y -f lavfi -i " + std::string(c.source) +
                                " -frames:v " + std::to_string(c.frames) + " " + c.options + " '" +
                                path + "'";
        ASSERT_EQ(0, std::system(cmd.c_str())) << c.name;
        std::ifstream in(path, std::ios::binary);
        const Bytes g((std::istreambuf_iterator<char>(in)), {});
        skin::GifScreen s;
        ASSERT_TRUE(skin::ReadGifScreen(g.data(), g.size(), &s)) << c.name;
        const size_t first = FirstBlock(g);
        const std::vector<GifFrameCut> cuts = Cuts(g, first);
        EXPECT_EQ(probeFrames(path), static_cast<int>(cuts.size())) << c.name;
        EXPECT_EQ(skin::GifBlock::Trailer,
                  skin::GifBlockKind(g.data(), g.size(), cuts.empty() ? 0 : cuts.back().end))
            << c.name;
        for (size_t i = 0; i < cuts.size(); ++i) {
            const Bytes one = skin::BuildFrameGif(g.data(), g.size(), s.globalTableSize, cuts[i]);
            const std::string onePath = dir + "/" + c.name + "_" + std::to_string(i) + ".gif";
            std::ofstream(onePath, std::ios::binary)
                .write(reinterpret_cast<const char*>(one.data()),
                       static_cast<std::streamsize>(one.size()));
            EXPECT_EQ(1, probeFrames(onePath)) << c.name << " frame " << i;
        }
    }
}
