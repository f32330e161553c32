#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "ThemeClass/ThemeLayout.h"

using skin::Piece;
using skin::Rect;

namespace {

std::string Show(const Rect& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

}  // namespace

TEST(ResolveConfigCoord, WorkedValues) {
    struct Case {
        const char* name;
        int value;
        int extent;
        int want;
    };
    const Case cases[] = {
        {"pixels from the near edge", 10, 897, 10},
        {"pixels from the far edge", -10, 897, 887},
        {"zero", 0, 897, 0},
        {"largest pixel value", 9999, 897, 9999},
        {"largest far-edge value", -9999, 897, 897 - 9999},
        {"half plus 20 px", 5000020, 897, 468},
        {"half less 20 px", -5000020, 897, 428},
        {"whole extent", 10000000, 897, 897},
        {"whole extent, negative", -10000000, 897, 897},
        {"one thousandth truncated", 10000, 897, 0},
        {"one thousandth of 1000", 10000, 1000, 1},
        // The per-mille product in double loses a pixel here; exact
        // arithmetic keeps it.
        {"whole extent of 1001", 10000000, 1001, 1001},
        {"1000 thousandths of 1001", 10000001, 1001, 1002},
        {"999 thousandths of 1001", 9990000, 1001, 999},
        {"more than the whole", 20000000, 500, 1000},
        {"most negative int", INT_MIN, 897, 214748 * 897 / 1000 - 3648},
        {"largest int", INT_MAX, 897, 214748 * 897 / 1000 + 3647},
        {"zero extent", 5000020, 0, 20},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.want, skin::ResolveConfigCoord(c.value, c.extent)) << c.name;
    }
}

TEST(ResolveConfigCoord, WholeExtentAndExactThousandthsForEveryExtent) {
    // 10000000 is the extent itself and k thousandths of a multiple of 1000
    // are exact, whatever the extent: a double product misses some of them.
    for (int e = 0; e <= 5000; ++e) {
        ASSERT_EQ(e, skin::ResolveConfigCoord(10000000, e)) << "E=" << e;
        ASSERT_EQ(e, skin::ResolveConfigCoord(-10000000, e)) << "E=" << e;
    }
    for (int m = 1; m <= 40; ++m) {
        for (int k = 1; k <= 2000; k += 7) {
            ASSERT_EQ(k * m, skin::ResolveConfigCoord(k * 10000, 1000 * m)) << k << " " << m;
        }
    }
}

TEST(ResolveConfigCoord, GrowsWithTheThousandths) {
    for (int e : {1, 7, 897, 1001, 1023, 65535}) {
        int last = INT_MIN;
        for (int k = 1; k < 1000; ++k) {
            const int r = skin::ResolveConfigCoord(k * 10000, e);
            ASSERT_GE(r, last) << "E=" << e << " k=" << k;
            ASSERT_LE(r, e);
            last = r;
        }
    }
}

TEST(ResolveConfigRect, AgainstAParent) {
    struct Case {
        const char* name;
        Rect values;
        int width;
        int height;
        Rect want;
    };
    const Case cases[] = {
        {"far-edge and whole-extent values",
         {-100, 10, 10000000, -10},
         897,
         720,
         {797, 10, 897, 710}},
        {"plain pixels", {5, 6, 50, 60}, 897, 720, {5, 6, 50, 60}},
        {"width for x, height for y",
         {5000000, 5000000, 10000000, 10000000},
         800,
         600,
         {400, 300, 800, 600}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.want, skin::ResolveConfigRect(c.values, c.width, c.height)) << c.name;
    }
}

TEST(ResolveTextRect, AgainstAClient) {
    struct Case {
        const char* name;
        Rect values;
        Rect client;
        Rect want;
    };
    const Case cases[] = {
        {"far edges counted back", {5, 3, -5, 0}, {0, 0, 100, 20}, {5, 3, 95, 20}},
        {"positive far edges taken whole", {5, 3, 60, 18}, {0, 0, 100, 20}, {5, 3, 60, 18}},
        {"zero area is the client", {0, 0, 0, 0}, {0, 0, 100, 20}, {0, 0, 100, 20}},
        {"right 1 is absolute", {0, 0, 1, 1}, {0, 0, 100, 20}, {0, 0, 1, 1}},
        {"client offset added to near edges", {2, 2, -2, -2}, {10, 10, 50, 30}, {12, 12, 48, 28}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.want, skin::ResolveTextRect(c.values, c.client)) << c.name;
    }
}

TEST(SplitCaptionLines, Cutting) {
    struct Case {
        const char* name;
        std::string text;
        bool emptyTail;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {"line feed", "a\nb", false, {"a", "b"}},
        {"backslash-n", "a\\nb", false, {"a", "b"}},
        {"a line feed wins over an earlier backslash-n", "a\\nb\nc", false, {"a\\nb", "c"}},
        {"backslash-n cut in a rest without line feeds", "a\nb\\nc", false, {"a", "b", "c"}},
        {"empty label text has no line", "", false, {}},
        {"label: a trailing break gives no empty line", "a\n", false, {"a"}},
        {"button: a trailing break gives an empty line", "a\n", true, {"a", ""}},
        {"button: empty caption is one empty line", "", true, {""}},
        {"empty middle line kept", "a\n\nb", false, {"a", "", "b"}},
        {"lone backslash stays", "a\\b", false, {"a\\b"}},
        {"Korean text", "\xB0\xA1\\n\xB3\xAA", false, {"\xB0\xA1", "\xB3\xAA"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.want, skin::SplitCaptionLines(c.text, c.emptyTail)) << c.name;
    }
}

TEST(SplitCaptionLines, HoldsAtMostFiftyLines) {
    std::string text;
    for (int i = 0; i < 70; ++i) text += "x" + std::to_string(i) + "\n";
    for (bool tail : {false, true}) {
        const auto lines = skin::SplitCaptionLines(text, tail);
        ASSERT_EQ(50u, lines.size());
        EXPECT_EQ("x49", lines.back());
    }
}

TEST(SplitDrawLines, Cutting) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {"backslash-n becomes a break", "A\\nB", {"A", "B"}},
        {"line feed", "A\nB", {"A", "B"}},
        {"mixed", "A\\nB\nC", {"A", "B", "C"}},
        {"trailing break gives no empty line", "A\n", {"A"}},
        {"empty text is one empty line", "", {""}},
        {"only a break", "\n", {""}},
        {"empty middle line kept", "A\n\nB", {"A", "", "B"}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, skin::SplitDrawLines(c.text)) << c.name;
    std::string many;
    for (int i = 0; i < 60; ++i) many += "l\\n";
    EXPECT_EQ(50u, skin::SplitDrawLines(many).size());
}

TEST(Bands, CaptionAndDrawText) {
    struct Case {
        const char* name;
        bool caption;  // caption bands, else the text drawer's
        Rect area;
        int lines;
        std::vector<Rect> want;
    };
    const Case cases[] = {
        {"caption: 25 px for 2 lines", true, {0, 0, 50, 25}, 2, {{0, 0, 50, 12}, {0, 12, 50, 24}}},
        {"caption: 3 lines in 30 px",
         true,
         {0, 0, 40, 30},
         3,
         {{0, 0, 40, 10}, {0, 10, 40, 20}, {0, 20, 40, 30}}},
        {"caption: 3 lines in 40 px, not centred",
         true,
         {0, 5, 40, 45},
         3,
         {{0, 5, 40, 18}, {0, 18, 40, 31}, {0, 31, 40, 44}}},
        {"caption: group band", true, {5, 0, 170, 20}, 1, {{5, 0, 170, 20}}},
        {"drawer: 2 lines in 40 px", false, {0, 0, 30, 40}, 2, {{0, 0, 30, 20}, {0, 20, 30, 40}}},
        {"drawer: 3 lines in 40 px start at 0",
         false,
         {0, 0, 30, 40},
         3,
         {{0, 0, 30, 13}, {0, 13, 30, 26}, {0, 26, 30, 39}}},
        {"drawer: 3 lines in 41 px centred by 1",
         false,
         {0, 0, 30, 41},
         3,
         {{0, 1, 30, 14}, {0, 14, 30, 27}, {0, 27, 30, 40}}},
        {"no lines", true, {0, 0, 10, 10}, 0, {}},
    };
    for (const Case& c : cases) {
        const auto got =
            c.caption ? skin::CaptionBands(c.area, c.lines) : skin::DrawTextBands(c.area, c.lines);
        ASSERT_EQ(c.want.size(), got.size()) << c.name;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(c.want[i], got[i]) << c.name << " band " << i << " " << Show(got[i]);
        }
    }
}

TEST(NineGrid, CornerSizeOfTheFixedFrame) {
    struct Case {
        int extent;
        int want;
    };
    const Case cases[] = {{30, 10}, {102, 34}, {103, 50}, {200, 50}, {0, 0}, {2, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.want, skin::NineGridFrameCorner(c.extent)) << "extent " << c.extent;
    }
}

TEST(NineGrid, PiecesInDrawingOrder) {
    // A 30 x 30 source into 100 x 40 with 10-pixel corners: the centre
    // 10 x 10 goes to 80 x 20 at (10, 10), the corners stay 10 x 10.
    const auto pieces = skin::NineGridPieces({0, 0, 30, 30}, {0, 0, 100, 40}, 10, 10);
    const Piece want[9] = {
        {{10, 10, 20, 20}, {10, 10, 90, 30}},   // centre
        {{10, 0, 20, 10}, {10, 0, 90, 10}},     // top
        {{10, 20, 20, 30}, {10, 30, 90, 40}},   // bottom
        {{0, 10, 10, 20}, {0, 10, 10, 30}},     // left
        {{20, 10, 30, 20}, {90, 10, 100, 30}},  // right
        {{0, 0, 10, 10}, {0, 0, 10, 10}},       // top-left
        {{20, 0, 30, 10}, {90, 0, 100, 10}},    // top-right
        {{0, 20, 10, 30}, {0, 30, 10, 40}},     // bottom-left
        {{20, 20, 30, 30}, {90, 30, 100, 40}},  // bottom-right
    };
    ASSERT_EQ(9u, pieces.size());
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(want[i].src, pieces[i].src) << "piece " << i << " " << Show(pieces[i].src);
        EXPECT_EQ(want[i].dst, pieces[i].dst) << "piece " << i << " " << Show(pieces[i].dst);
    }
    // Offsets of both rectangles carry into every piece.
    const auto moved = skin::NineGridPieces({40, 5, 70, 35}, {7, 9, 107, 49}, 10, 10);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(want[i].src.left + 40, moved[i].src.left) << i;
        EXPECT_EQ(want[i].src.top + 5, moved[i].src.top) << i;
        EXPECT_EQ(want[i].dst.left + 7, moved[i].dst.left) << i;
        EXPECT_EQ(want[i].dst.bottom + 9, moved[i].dst.bottom) << i;
    }
}

TEST(Tiles, CutAtTheFarEdges) {
    struct Case {
        const char* name;
        Rect src;
        Rect dst;
        std::vector<Piece> want;
    };
    const Case cases[] = {
        {"2 x 2 tiles, last cut",
         {0, 0, 10, 8},
         {5, 5, 22, 17},
         {{{0, 0, 10, 8}, {5, 5, 15, 13}},
          {{0, 0, 7, 8}, {15, 5, 22, 13}},
          {{0, 0, 10, 4}, {5, 13, 15, 17}},
          {{0, 0, 7, 4}, {15, 13, 22, 17}}}},
        {"frame of a strip keeps its origin",
         {20, 0, 30, 10},
         {0, 0, 15, 10},
         {{{20, 0, 30, 10}, {0, 0, 10, 10}}, {{20, 0, 25, 10}, {10, 0, 15, 10}}}},
        {"exact fit", {0, 0, 5, 5}, {0, 0, 5, 5}, {{{0, 0, 5, 5}, {0, 0, 5, 5}}}},
        {"empty source gives nothing", {0, 0, 0, 5}, {0, 0, 50, 50}, {}},
        {"empty destination gives nothing", {0, 0, 5, 5}, {10, 10, 10, 50}, {}},
    };
    for (const Case& c : cases) {
        const auto got = skin::TilePieces(c.src, c.dst);
        ASSERT_EQ(c.want.size(), got.size()) << c.name;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(c.want[i].src, got[i].src) << c.name << " " << i << Show(got[i].src);
            EXPECT_EQ(c.want[i].dst, got[i].dst) << c.name << " " << i << Show(got[i].dst);
        }
    }
}

TEST(Align, ImageAndFrame) {
    struct Case {
        const char* name;
        Rect area;
        int w;
        int h;
        uint32_t flags;
        Rect want;
    };
    const Case cases[] = {
        {"centred both ways", {0, 0, 31, 31}, 10, 10, 1 | 4, {10, 10, 20, 20}},
        {"top-left", {3, 4, 31, 31}, 10, 10, 0, {3, 4, 13, 14}},
        {"right and bottom", {0, 0, 31, 31}, 10, 10, 2 | 8, {21, 21, 31, 31}},
        {"right wins over centre", {0, 0, 31, 31}, 10, 10, 2 | 1, {21, 0, 31, 10}},
        {"bottom wins over centre", {0, 0, 31, 31}, 10, 10, 8 | 4, {0, 21, 10, 31}},
        // An odd image keeps its width when centred (unscaled).
        {"odd width centred", {0, 0, 30, 30}, 11, 7, 1 | 4, {10, 12, 21, 19}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.want, skin::AlignImage(c.area, c.w, c.h, c.flags))
            << c.name << " " << Show(skin::AlignImage(c.area, c.w, c.h, c.flags));
        EXPECT_EQ(c.want, skin::AlignFrame(c.area, c.w, c.h, c.flags)) << c.name;
    }
}

TEST(Outlines, RingsAndRoundBack) {
    struct RingCase {
        const char* name;
        Rect r;
        int thickness;
        std::vector<Rect> want;
    };
    const RingCase rings[] = {
        {"thickness 0 draws none", {0, 0, 10, 10}, 0, {}},
        {"one ring on the inclusive edges", {0, 0, 10, 10}, 1, {{0, 0, 9, 9}}},
        {"three rings", {2, 2, 12, 12}, 3, {{2, 2, 11, 11}, {3, 3, 10, 10}, {4, 4, 9, 9}}},
        {"rings stop where the rectangle is used up",
         {0, 0, 4, 4},
         5,
         {{0, 0, 3, 3}, {1, 1, 2, 2}}},
    };
    for (const RingCase& c : rings) {
        EXPECT_EQ(c.want.size(), skin::OutlineRings(c.r, c.thickness).size()) << c.name;
        const auto got = skin::OutlineRings(c.r, c.thickness);
        for (size_t i = 0; i < got.size() && i < c.want.size(); ++i) {
            EXPECT_EQ(c.want[i], got[i]) << c.name << " " << i;
        }
    }
    struct RoundCase {
        const char* name;
        int thickness;
        Rect want;
    };
    const RoundCase rounds[] = {
        {"thickness 0 not shrunk", 0, {0, 0, 40, 30}},
        {"thickness 1 not shrunk", 1, {0, 0, 40, 30}},
        {"thickness 2: 1 at left and top", 2, {1, 1, 40, 30}},
        {"thickness 3: 1 on every side", 3, {1, 1, 39, 29}},
        {"thickness 4: 2 and 1", 4, {2, 2, 39, 29}},
        {"negative thickness not shrunk", -3, {0, 0, 40, 30}},
    };
    for (const RoundCase& c : rounds) {
        EXPECT_EQ(c.want, skin::RoundBackRect({0, 0, 40, 30}, c.thickness)) << c.name;
    }
}
