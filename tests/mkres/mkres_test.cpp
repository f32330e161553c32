// mkres: its LZW round-trips through a decoder written here from the GIF
// rules, its GIFs decode in FFmpeg to the pictures, frame counts and delays
// that the recipe asked for (composed with the disposal methods), and its
// BMP strips and icons have the headers, sizes and key colour they should.
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/tools/tool_helpers.h"
#include "tools/mkres/gif_lzw.h"
#include "tools/mkres/images.h"

namespace {

using tooltest::Quote;
using tooltest::ReadBytes;
using tooltest::Shell;

// ---------------------------------------------------------------- LZW

// A GIF LZW decoder: reads codes least significant bit first, widening when
// the next free entry reaches 1 << width (at most 12 bits), and stops at
// the end code. Fails on a code that is not yet defined.
bool LzwDecode(const std::vector<uint8_t>& data, int minCode, std::vector<uint8_t>* out,
               std::string* why) {
    const int clear = 1 << minCode, end = clear + 1;
    std::vector<int> prefix(4096, -1), suffix(4096, 0), length(4096, 0);
    for (int i = 0; i < clear; ++i) {
        suffix[i] = i;
        length[i] = 1;
    }
    int width = minCode + 1, next = clear + 2, prev = -1;
    size_t bit = 0;
    auto read = [&](int* code) {
        if (bit + static_cast<size_t>(width) > data.size() * 8) return false;
        int c = 0;
        for (int i = 0; i < width; ++i, ++bit) c |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
        *code = c;
        return true;
    };
    auto emit = [&](int code) {
        std::vector<uint8_t> s(static_cast<size_t>(length[code]));
        for (int c = code, i = length[code] - 1; i >= 0; c = prefix[c], --i)
            s[static_cast<size_t>(i)] = static_cast<uint8_t>(suffix[c]);
        out->insert(out->end(), s.begin(), s.end());
        return s[0];
    };
    int code;
    bool sawClear = false;
    while (read(&code)) {
        if (code == clear) {
            width = minCode + 1;
            next = clear + 2;
            prev = -1;
            sawClear = true;
            continue;
        }
        if (!sawClear) {
            *why = "no clear code first";
            return false;
        }
        if (code == end) {
            // Whatever follows in the last byte must be padding.
            if ((bit + 7) / 8 != data.size()) {
                *why = "bytes after the end code";
                return false;
            }
            return true;
        }
        if (prev < 0) {
            if (code >= clear) {
                *why = "first code after clear is not a root";
                return false;
            }
            emit(code);
            prev = code;
            continue;
        }
        int first;
        if (code < next) {
            first = emit(code);
        } else if (code == next) {  // the string not yet in the table: prev + its own first
            std::vector<uint8_t> s;
            size_t at = out->size();
            emit(prev);
            first = (*out)[at];
            out->push_back(static_cast<uint8_t>(first));
        } else {
            *why =
                "code " + std::to_string(code) + " beyond the table (" + std::to_string(next) + ")";
            return false;
        }
        if (next < 4096) {
            prefix[next] = prev;
            suffix[next] = first;
            length[next] = length[prev] + 1;
            ++next;
            if (next == (1 << width) && width < 12) ++width;
        }
        prev = code;
    }
    *why = "no end code";
    return false;
}

struct LzwCase {
    const char* name;
    int minCode;
    enum { Random, Run, Ramp, FewSymbols } kind;
};

const LzwCase kLzw[] = {
    {"random_2bit", 2, LzwCase::Random},
    {"random_3bit", 3, LzwCase::Random},
    {"random_4bit", 4, LzwCase::Random},
    {"random_8bit", 8, LzwCase::Random},
    {"run_2bit", 2, LzwCase::Run},
    {"run_8bit", 8, LzwCase::Run},
    {"ramp_8bit", 8, LzwCase::Ramp},
    {"ramp_5bit", 5, LzwCase::Ramp},
    {"two_symbols_8bit", 8, LzwCase::FewSymbols},
    {"two_symbols_2bit", 2, LzwCase::FewSymbols},
};

std::vector<uint8_t> LzwInput(const LzwCase& c, size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    const int symbols = 1 << c.minCode;
    for (size_t i = 0; i < n; ++i) {
        switch (c.kind) {
            case LzwCase::Random: v[i] = static_cast<uint8_t>(rng() % symbols); break;
            case LzwCase::Run: v[i] = static_cast<uint8_t>(symbols - 1); break;
            case LzwCase::Ramp: v[i] = static_cast<uint8_t>((i / 3) % symbols); break;
            case LzwCase::FewSymbols:
                v[i] = static_cast<uint8_t>(rng() % 2 ? symbols - 1 : 0);
                break;
        }
    }
    return v;
}

class LzwRoundTrip : public ::testing::TestWithParam<LzwCase> {};

// Every length up to 700 crosses the first width changes at every phase;
// the long ones fill the table (clear codes) more than once.
TEST_P(LzwRoundTrip, EveryLengthDecodesBack) {
    const LzwCase& c = GetParam();
    std::vector<size_t> lengths;
    for (size_t n = 0; n <= 700; ++n) lengths.push_back(n);
    for (size_t n : {4095u, 4096u, 4097u, 30000u, 200000u}) lengths.push_back(n);
    for (size_t n : lengths) {
        auto in = LzwInput(c, n, static_cast<uint32_t>(n) * 7919u + 1);
        auto coded = mkres::LzwEncode(in, c.minCode);
        std::vector<uint8_t> back;
        std::string why;
        ASSERT_TRUE(LzwDecode(coded, c.minCode, &back, &why)) << "length " << n << ": " << why;
        ASSERT_EQ(back, in) << "length " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, LzwRoundTrip, ::testing::ValuesIn(kLzw),
                         [](const ::testing::TestParamInfo<LzwCase>& i) {
                             return std::string(i.param.name);
                         });

TEST(SubBlocksTest, CutsAt255AndEndsWithZero) {
    for (size_t n : {0u, 1u, 254u, 255u, 256u, 510u, 511u}) {
        std::vector<uint8_t> d(n, 0xAB);
        auto b = mkres::SubBlocks(d);
        size_t at = 0, total = 0;
        while (at < b.size() && b[at] != 0) {
            EXPECT_LE(b[at], 255);
            total += b[at];
            at += 1 + b[at];
        }
        EXPECT_EQ(total, n);
        EXPECT_EQ(at, b.size() - 1) << n;
    }
}

// ---------------------------------------------------------------- GIF

std::string Mkres() { return std::string(DC_BINARY_DIR) + "/tools/mkres/mkres"; }

std::string TempPath(const std::string& name) {
    return std::string(DC_BINARY_DIR) + "/tests/mkres_" + name;
}

// The recipe's frames composed on the screen as GIF says: each frame drawn
// over the canvas (transparent pixels leave it), then disposed of: 2 clears
// its area to the background, 3 restores what was under it. Pixels that are
// cleared to the background are marked (the decoder may show the
// background colour or transparency there), as are pixels never drawn.
const uint32_t kUnset = 0xFF000000;
const uint32_t kCleared = 0xFE000000;

std::vector<std::vector<uint32_t>> Compose(const mkres::GifRecipe& g) {
    std::vector<uint32_t> canvas(static_cast<size_t>(g.width) * g.height, kUnset);
    std::vector<std::vector<uint32_t>> shown;
    for (const auto& f : g.frames) {
        if (f.plainText) continue;
        const int w = f.w ? f.w : g.width, h = f.h ? f.h : g.height;
        const auto saved = canvas;
        auto px = mkres::FramePixels(f, w, h);
        int bits = 1;
        int colors = f.localColors ? f.localColors : g.colors;
        while ((1 << bits) < colors && bits < 8) ++bits;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int i = px[static_cast<size_t>(y) * w + x] & ((1 << bits) - 1);
                if (i == f.transparent) continue;
                canvas[static_cast<size_t>(f.y + y) * g.width + f.x + x] =
                    mkres::PaletteColor(i, f.localColors != 0);
            }
        shown.push_back(canvas);
        if (f.dispose == 2) {
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    canvas[static_cast<size_t>(f.y + y) * g.width + f.x + x] = kCleared;
        } else if (f.dispose == 3) {
            canvas = saved;
        }
    }
    return shown;
}

struct GifCase {
    const char* name;
    std::string args;  // after "gif NAME"
    mkres::GifRecipe recipe;
};

mkres::GifFrame Frame(int x, int y, int w, int h, int delay, int dispose,
                      mkres::GifFrame::Pattern p = mkres::GifFrame::Fill, int a = 1, int b = 2) {
    mkres::GifFrame f;
    f.x = x, f.y = y, f.w = w, f.h = h, f.delay = delay, f.dispose = dispose, f.pattern = p;
    f.a = a, f.b = b;
    return f;
}

std::vector<GifCase> GifCases() {
    std::vector<GifCase> v;
    auto add = [&](const char* name, std::string args, mkres::GifRecipe s) {
        v.push_back({name, std::move(args), std::move(s)});
    };
    mkres::GifRecipe s;
    s.width = 40, s.height = 30, s.colors = 8;
    s.frames = {Frame(0, 0, 40, 30, 10, 0, mkres::GifFrame::Checker, 2, 4)};
    add("still_checker", "40 30 colors=8 frame:checker=2/4", s);

    s = {};
    s.width = 64, s.height = 16, s.colors = 256;
    s.frames = {Frame(0, 0, 64, 16, 10, 0, mkres::GifFrame::Noise, 99)};
    add("still_noise_256", "64 16 colors=256 frame:noise=99", s);

    s = {};
    s.width = 123, s.height = 37, s.colors = 256;
    s.frames = {Frame(0, 0, 123, 37, 10, 0, mkres::GifFrame::Bars)};
    add("still_bars_odd_size", "123 37 colors=256 frame:bars", s);

    s = {};
    s.width = 32, s.height = 24, s.colors = 8, s.loop = 0, s.background = 5;
    s.frames = {Frame(0, 0, 32, 24, 20, 1), Frame(8, 4, 8, 8, 30, 1, mkres::GifFrame::Fill, 3),
                Frame(20, 10, 6, 6, 40, 1, mkres::GifFrame::Fill, 4)};
    add("keep_three_frames",
        "32 24 loop=0 bg=5 frame:fill=1,delay=20,dispose=1 "
        "frame:x=8,y=4,w=8,h=8,fill=3,delay=30,dispose=1 "
        "frame:x=20,y=10,w=6,h=6,fill=4,delay=40,dispose=1",
        s);

    s = {};
    s.width = 32, s.height = 24, s.colors = 8, s.loop = 3, s.background = 5;
    s.frames = {Frame(0, 0, 32, 24, 20, 1, mkres::GifFrame::Fill, 2),
                Frame(8, 4, 8, 8, 30, 2, mkres::GifFrame::Fill, 3),
                Frame(0, 0, 4, 4, 40, 0, mkres::GifFrame::Fill, 4)};
    add("dispose_background",
        "32 24 loop=3 bg=5 frame:fill=2,delay=20,dispose=1 "
        "frame:x=8,y=4,w=8,h=8,fill=3,delay=30,dispose=2 frame:x=0,y=0,w=4,h=4,fill=4,delay=40",
        s);

    s = {};
    s.width = 30, s.height = 20, s.colors = 8, s.loop = 0;
    s.frames = {Frame(0, 0, 30, 20, 10, 1, mkres::GifFrame::Checker, 1, 2),
                Frame(5, 5, 10, 10, 15, 3, mkres::GifFrame::Fill, 6),
                Frame(20, 0, 10, 20, 25, 1, mkres::GifFrame::Fill, 7)};
    add("dispose_previous",
        "30 20 loop=0 frame:checker=1/2,dispose=1 "
        "frame:x=5,y=5,w=10,h=10,fill=6,delay=15,dispose=3 "
        "frame:x=20,y=0,w=10,h=20,fill=7,delay=25,dispose=1",
        s);

    s = {};
    s.width = 24, s.height = 24, s.colors = 4, s.loop = 0;
    s.frames = {Frame(0, 0, 24, 24, 10, 1, mkres::GifFrame::Fill, 2),
                Frame(0, 0, 24, 24, 10, 1, mkres::GifFrame::Checker, 3, 0)};
    s.frames[1].transparent = 0;
    add("transparent_index",
        "24 24 colors=4 loop=0 frame:fill=2,dispose=1 frame:checker=3/0,trans=0,dispose=1", s);

    s = {};
    s.width = 20, s.height = 20, s.colors = 8, s.loop = 0;
    s.frames = {Frame(0, 0, 20, 20, 10, 1, mkres::GifFrame::Fill, 2),
                Frame(4, 4, 12, 12, 10, 1, mkres::GifFrame::Bars)};
    s.frames[1].localColors = 16;
    add("local_table",
        "20 20 loop=0 frame:fill=2,dispose=1 frame:x=4,y=4,w=12,h=12,bars,local=16,dispose=1", s);

    s = {};
    s.width = 16, s.height = 16, s.colors = 2, s.globalTable = false, s.loop = 0;
    s.frames = {Frame(0, 0, 16, 16, 10, 1, mkres::GifFrame::Checker, 0, 1),
                Frame(0, 0, 16, 16, 10, 1, mkres::GifFrame::Noise, 5)};
    s.frames[0].localColors = 2;
    s.frames[1].localColors = 256;
    add("local_tables_only",
        "16 16 global=0 loop=0 frame:checker=0/1,local=2,dispose=1 "
        "frame:noise=5,local=256,dispose=1",
        s);

    s = {};
    s.width = 16, s.height = 12, s.colors = 8, s.loop = 0;
    s.comment = "made-by-mkres";
    s.frames = {Frame(0, 0, 16, 12, 12, 1, mkres::GifFrame::Fill, 3),
                Frame(0, 0, 16, 12, 12, 1, mkres::GifFrame::Fill, 1)};
    s.frames[1].note = "between";
    s.frames.push_back(Frame(0, 0, 8, 8, 10, 0));
    s.frames.back().plainText = true;
    s.frames.back().note = "hi";
    s.frames.push_back(Frame(0, 0, 16, 12, 14, 1, mkres::GifFrame::Fill, 2));
    add("comment_and_plain_text",
        "16 12 loop=0 comment=made-by-mkres frame:fill=3,delay=12,dispose=1 "
        "frame:fill=1,delay=12,dispose=1,note=between frame:w=8,h=8,text=1,note=hi "
        "frame:fill=2,delay=14,dispose=1",
        s);
    return v;
}

class GifVsFfmpeg : public ::testing::TestWithParam<GifCase> {};

TEST_P(GifVsFfmpeg, PicturesCountAndDelays) {
    const GifCase& c = GetParam();
    const std::string path = TempPath(std::string(c.name) + ".gif");
    auto r = Shell(Quote(Mkres()) + " gif " + Quote(path) + " " + c.args);
    ASSERT_EQ(r.code, 0) << r.out;
    auto bytes = ReadBytes(path);
    ASSERT_GE(bytes.size(), 14u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
    EXPECT_EQ(bytes.back(), 0x3B);

    const auto expected = Compose(c.recipe);
    const size_t frameBytes = static_cast<size_t>(c.recipe.width) * c.recipe.height * 3;
    auto dec = Shell("ffmpeg -v error -i " + Quote(path) +
                     " -vsync passthrough -f rawvideo -pix_fmt rgb24 - 2>/dev/null");
    ASSERT_EQ(dec.code, 0);
    ASSERT_EQ(dec.out.size(), frameBytes * expected.size()) << "frames decoded";

    auto probe = Shell("ffprobe -v error -show_frames -of compact " + Quote(path));
    auto frames = tooltest::ProbeSections(probe.out, "frame");
    ASSERT_EQ(frames.size(), expected.size());
    size_t k = 0;
    for (const auto& f : c.recipe.frames) {
        if (f.plainText) continue;
        if (expected.size() > 1) {
            EXPECT_EQ(frames[k]["pkt_duration"], std::to_string(f.delay)) << "frame " << k;
        }
        ++k;
    }

    const uint32_t bg = mkres::PaletteColor(c.recipe.background, false);
    for (size_t fi = 0; fi < expected.size(); ++fi) {
        int wrong = 0;
        for (int y = 0; y < c.recipe.height; ++y)
            for (int x = 0; x < c.recipe.width; ++x) {
                const size_t i = static_cast<size_t>(y) * c.recipe.width + x;
                const uint8_t* p =
                    reinterpret_cast<const uint8_t*>(dec.out.data()) + fi * frameBytes + i * 3;
                const uint32_t got = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
                const uint32_t want = expected[fi][i];
                if (want == kUnset) continue;
                if (want == kCleared ? (got != bg && got != 0) : got != want) {
                    if (++wrong <= 3)
                        ADD_FAILURE() << "frame " << fi << " at " << x << "," << y << ": got "
                                      << std::hex << got << " want " << want;
                }
            }
        EXPECT_EQ(wrong, 0) << "frame " << fi;
    }
}

INSTANTIATE_TEST_SUITE_P(Recipes, GifVsFfmpeg, ::testing::ValuesIn(GifCases()),
                         [](const ::testing::TestParamInfo<GifCase>& i) {
                             return std::string(i.param.name);
                         });

// The walker of the picture control counts blocks by their own lengths:
// the comment and plain-text blocks must sit where the recipe put them.
TEST(GifLayoutTest, ExtensionBlocksInOrder) {
    const std::string path = TempPath("layout.gif");
    auto r = Shell(Quote(Mkres()) + " gif " + Quote(path) +
                   " 8 8 colors=4 loop=2 comment=c1 frame:delay=7,dispose=3,trans=1,note=n1 "
                   "frame:text=1,gce=0");
    ASSERT_EQ(r.code, 0) << r.out;
    auto b = ReadBytes(path);
    size_t at = 13 + 3 * 4;  // header, screen descriptor, 4-colour table
    ASSERT_EQ(b[10] & 0x87, 0x81);
    auto skipSub = [&](size_t p) {
        while (b.at(p) != 0) p += 1 + b[p];
        return p + 1;
    };
    std::vector<std::string> kinds;
    while (at < b.size() && b[at] != 0x3B) {
        if (b[at] == 0x21 && b[at + 1] == 0xFF) {
            kinds.push_back("app");
            EXPECT_EQ(std::string(b.begin() + at + 3, b.begin() + at + 14), "NETSCAPE2.0");
            EXPECT_EQ(b[at + 16] | b[at + 17] << 8, 2);
            at = skipSub(at + 14);
        } else if (b[at] == 0x21 && b[at + 1] == 0xFE) {
            kinds.push_back("comment");
            at = skipSub(at + 2);
        } else if (b[at] == 0x21 && b[at + 1] == 0xF9) {
            kinds.push_back("gce");
            EXPECT_EQ(b[at + 3], (3 << 2) | 1);
            EXPECT_EQ(b[at + 4] | b[at + 5] << 8, 7);
            EXPECT_EQ(b[at + 6], 1);
            at += 8;
        } else if (b[at] == 0x21 && b[at + 1] == 0x01) {
            kinds.push_back("text");
            at = skipSub(at + 15);
        } else if (b[at] == 0x2C) {
            kinds.push_back("image");
            size_t p = at + 10 + ((b[at + 9] & 0x80) ? 3u << ((b[at + 9] & 7) + 1) : 0u);
            at = skipSub(p + 1);
        } else {
            FAIL() << "unknown block at " << at;
        }
    }
    EXPECT_EQ(at, b.size() - 1);
    EXPECT_EQ(kinds,
              (std::vector<std::string>{"app", "comment", "gce", "comment", "image", "text"}));
}

// ---------------------------------------------------------------- BMP and ICO

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

struct BmpCase {
    const char* name;
    int w, h, frames;
    const char* face;
};

const BmpCase kBmps[] = {
    {"one_frame_odd_width", 21, 13, 1, "plain"},
    {"four_frames_play", 32, 24, 4, "play"},
    {"three_frames_pause", 17, 17, 3, "pause"},
    {"two_frames_stop", 40, 8, 2, "stop"},
    {"tiny", 1, 1, 1, "circle"},
};

class BmpStrip : public ::testing::TestWithParam<BmpCase> {};

TEST_P(BmpStrip, HeaderKeyAndFfmpegAgree) {
    const BmpCase& c = GetParam();
    const std::string path = TempPath(std::string(c.name) + ".bmp");
    auto r = Shell(Quote(Mkres()) + " bmp " + Quote(path) + " " + std::to_string(c.w) + " " +
                   std::to_string(c.h) + " frames=" + std::to_string(c.frames) + " face=" + c.face);
    ASSERT_EQ(r.code, 0) << r.out;
    auto b = ReadBytes(path);
    const int W = c.w * c.frames;
    const uint32_t stride = static_cast<uint32_t>((W * 3 + 3) & ~3);
    ASSERT_GE(b.size(), 54u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Le32(b, 2), b.size());
    EXPECT_EQ(Le32(b, 10), 54u);
    EXPECT_EQ(Le32(b, 14), 40u);
    EXPECT_EQ(static_cast<int>(Le32(b, 18)), W);
    EXPECT_EQ(static_cast<int>(Le32(b, 22)), c.h);
    EXPECT_EQ(b[28], 24);
    EXPECT_EQ(b.size(), 54 + stride * c.h);
    auto dec =
        Shell("ffmpeg -v error -i " + Quote(path) + " -f rawvideo -pix_fmt rgb24 - 2>/dev/null");
    ASSERT_EQ(dec.out.size(), static_cast<size_t>(W) * c.h * 3);
    auto px = [&](int x, int y) {
        const uint8_t* p =
            reinterpret_cast<const uint8_t*>(dec.out.data()) + (static_cast<size_t>(y) * W + x) * 3;
        return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    };
    // Rounded corners show the key; the centre of each frame does not, and
    // no two state frames have the same body colour.
    std::vector<uint32_t> centres;
    for (int f = 0; f < c.frames; ++f) {
        if (c.w >= 8 && c.h >= 8) {
            EXPECT_EQ(px(f * c.w, 0), mkres::kKey) << "frame " << f;
        }
        EXPECT_NE(px(f * c.w + c.w / 2, c.h / 2), mkres::kKey) << "frame " << f;
        centres.push_back(px(f * c.w + c.w / 2, c.h >= 3 ? 1 : 0));
    }
    for (size_t i = 1; i < centres.size(); ++i)
        EXPECT_NE(centres[i], centres[i - 1]) << "frames " << i - 1 << " and " << i;
    // The same command gives the same bytes.
    auto again =
        Shell(Quote(Mkres()) + " bmp " + Quote(path + "2") + " " + std::to_string(c.w) + " " +
              std::to_string(c.h) + " frames=" + std::to_string(c.frames) + " face=" + c.face);
    EXPECT_EQ(ReadBytes(path + "2"), b);
}

INSTANTIATE_TEST_SUITE_P(Strips, BmpStrip, ::testing::ValuesIn(kBmps),
                         [](const ::testing::TestParamInfo<BmpCase>& i) {
                             return std::string(i.param.name);
                         });

// Every face draws its own mark: white ink on the body, a picture that no
// other face draws; square corners leave no key colour at all.
TEST(StripFaces, EachFaceDrawsADistinctMark) {
    const char* kFaces[] = {"plain",   "play",    "pause", "stop",  "circle",
                            "cross",   "minus",   "next",  "eject", "rewind",
                            "forward", "speaker", "mute",  "grid",  "dial"};
    std::vector<std::vector<uint32_t>> seen;
    for (const char* name : kFaces) {
        SCOPED_TRACE(name);
        mkres::Face face;
        ASSERT_TRUE(mkres::ParseFace(name, &face));
        for (int size : {24, 40, 97}) {
            const mkres::Image img = mkres::DrawStrip(size * 3 / 2, size, 1, face, 0x3C78B4);
            int ink = 0;
            for (uint32_t p : img.px) ink += p == 0xFFFFFF;
            if (std::string(name) == "plain")
                EXPECT_EQ(ink, 0);
            else
                EXPECT_GT(ink, size / 4) << size;
            if (size == 40) {
                for (const auto& other : seen) EXPECT_NE(other, img.px);
                seen.push_back(img.px);
            }
        }
        const mkres::Image square = mkres::DrawStrip(30, 20, 2, face, 0x3C78B4, 0);
        for (uint32_t p : square.px) ASSERT_NE(p, mkres::kKey);
    }
}

TEST(IcoTest, DirectoryEntriesAndMasks) {
    const std::string path = TempPath("icon.ico");
    auto r = Shell(Quote(Mkres()) + " ico " + Quote(path) + " 16,32,48 color=C83232");
    ASSERT_EQ(r.code, 0) << r.out;
    auto b = ReadBytes(path);
    ASSERT_GE(b.size(), 6u + 48u);
    EXPECT_EQ(b[2] | b[3] << 8, 1);
    ASSERT_EQ(b[4] | b[5] << 8, 3);
    const int sizes[] = {16, 32, 48};
    for (int i = 0; i < 3; ++i) {
        const size_t e = 6 + 16 * static_cast<size_t>(i);
        const int n = sizes[i];
        EXPECT_EQ(b[e], n);
        EXPECT_EQ(b[e + 1], n);
        const uint32_t size = Le32(b, e + 8), off = Le32(b, e + 12);
        ASSERT_LE(off + size, b.size());
        EXPECT_EQ(Le32(b, off), 40u);
        EXPECT_EQ(static_cast<int>(Le32(b, off + 4)), n);
        EXPECT_EQ(static_cast<int>(Le32(b, off + 8)), 2 * n);  // colour and mask
        const uint32_t xorStride = static_cast<uint32_t>((n * 3 + 3) & ~3);
        const uint32_t andStride = static_cast<uint32_t>(((n + 31) / 32) * 4);
        EXPECT_EQ(size, 40 + (xorStride + andStride) * n);
        // Mask: the corner is transparent, the centre opaque (rows bottom-up).
        const size_t mask = off + 40 + xorStride * n;
        EXPECT_TRUE(b[mask] & 0x80) << n;
        const size_t mid =
            mask + andStride * static_cast<size_t>(n / 2) + static_cast<size_t>(n / 2 / 8);
        EXPECT_FALSE(b[mid] & (0x80 >> ((n / 2) % 8))) << n;
    }
    auto probe = Shell("ffprobe -v error -show_streams -of compact " + Quote(path));
    EXPECT_EQ(probe.code, 0) << probe.out;
}

struct BadCase {
    const char* name;
    const char* args;
    int code;
};

const BadCase kBad[] = {
    {"unknown_command", "png x.png 4 4", 1},
    {"zero_width", "bmp x.bmp 0 4", 1},
    {"five_frames", "bmp x.bmp 4 4 frames=5", 1},
    {"unknown_face", "bmp x.bmp 4 4 face=smile", 1},
    {"negative_round", "bmp x.bmp 4 4 round=-1", 1},
    {"frame_off_screen", "gif x.gif 10 10 frame:x=5,w=6", 1},
    {"no_frames", "gif x.gif 10 10", 1},
    {"no_table", "gif x.gif 10 10 global=0 frame:fill=1", 1},
    {"bad_dispose", "gif x.gif 10 10 frame:dispose=9", 1},
    {"unwritable", "bmp /nonexistent/dir/x.bmp 4 4", 2},
};

class MkresErrors : public ::testing::TestWithParam<BadCase> {};

TEST_P(MkresErrors, ClearMessageAndExitCode) {
    const BadCase& c = GetParam();
    auto r = Shell("cd " + Quote(std::string(DC_BINARY_DIR) + "/tests") + " && " + Quote(Mkres()) +
                   " " + c.args);
    EXPECT_EQ(r.code, c.code) << r.out;
    EXPECT_NE(r.out.find("mkres:"), std::string::npos) << r.out;
}

INSTANTIATE_TEST_SUITE_P(Bad, MkresErrors, ::testing::ValuesIn(kBad),
                         [](const ::testing::TestParamInfo<BadCase>& i) {
                             return std::string(i.param.name);
                         });

}  // namespace
