// The skin drawing routines drawn into a 32-bpp DIB and read back pixel by
// pixel.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ThemeClass/ThemeDraw.h"

using skin::Rect;

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A 32-bpp top-down DIB section: as a drawing target (selected into its own
// memory DC) or as a skin bitmap (not selected).
class Dib {
public:
    Dib(int w, int h, bool selected) : w_(w), h_(h) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bmp_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint32_t*>(bits);
        if (selected) {
            dc_ = CreateCompatibleDC(nullptr);
            old_ = SelectObject(dc_, bmp_);
        }
    }
    ~Dib() {
        if (dc_) {
            SelectObject(dc_, old_);
            DeleteDC(dc_);
        }
        DeleteObject(bmp_);
    }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bmp_; }
    int width() const { return w_; }
    int height() const { return h_; }

    void Set(int x, int y, COLORREF c) {
        GdiFlush();
        bits_[y * w_ + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const uint32_t p = bits_[y * w_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    void Fill(COLORREF c) {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) Set(x, y, c);
    }
    void Paint(const std::function<COLORREF(int, int)>& f) {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) Set(x, y, f(x, y));
    }
    // Pixels of the rectangle (clipped) that satisfy the test.
    int Count(const Rect& r, const std::function<bool(COLORREF)>& test) const {
        int n = 0;
        for (int y = std::max(0, r.top); y < std::min(h_, r.bottom); ++y)
            for (int x = std::max(0, r.left); x < std::min(w_, r.right); ++x)
                if (test(At(x, y))) ++n;
        return n;
    }
    int CountColor(const Rect& r, COLORREF c) const {
        return Count(r, [c](COLORREF p) { return p == c; });
    }

private:
    int w_, h_;
    HBITMAP bmp_ = nullptr;
    uint32_t* bits_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

std::string Hex(COLORREF c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06lX", static_cast<unsigned long>(c));
    return buf;
}

BOOL WINAPI FailingMaskBlt(HDC, int, int, int, int, HDC, int, int, HBITMAP, int, int, DWORD) {
    return FALSE;
}

// Runs the body once through MaskBlt and once through the fallback path.
struct BlitPath {
    const char* name;
    bool failMaskBlt;
};
const BlitPath kPaths[] = {{"MaskBlt", false}, {"fallback", true}};

class PathScope {
public:
    explicit PathScope(bool fail) {
        if (fail) skin::SetMaskBltForTest(&FailingMaskBlt);
    }
    ~PathScope() { skin::SetMaskBltForTest(nullptr); }
};

COLORREF Pattern(int x, int y) {
    // Key pixels mixed with colours that differ in every channel.
    if ((x + 2 * y) % 5 == 0) return kKey;
    return RGB((x * 37 + y * 11) & 0xFF, (x * 5 + y * 71) & 0xFF, (x * 91 + y * 3) & 0xFF);
}

}  // namespace

TEST(KeyedBlit, KeyPixelsKeepTheTarget) {
    struct Case {
        const char* name;
        std::function<COLORREF(int, int)> skin;
    };
    const Case cases[] = {
        {"all key", [](int, int) { return kKey; }},
        {"no key", [](int x, int y) { return RGB(x * 20, y * 20, 77); }},
        {"mixed", Pattern},
    };
    for (const BlitPath& path : kPaths) {
        PathScope scope(path.failMaskBlt);
        for (const Case& c : cases) {
            Dib skinBmp(8, 6, false);
            skinBmp.Paint(c.skin);
            Dib target(20, 20, true);
            target.Paint([](int x, int y) { return RGB(10, x * 10, y * 10); });
            skin::DrawTransparentBitmap(target.dc(), skinBmp.bitmap(), Rect{0, 0, 8, 6},
                                        Rect{5, 7, 13, 13});
            for (int y = 0; y < 20; ++y) {
                for (int x = 0; x < 20; ++x) {
                    const bool inside = x >= 5 && x < 13 && y >= 7 && y < 13;
                    COLORREF want = RGB(10, x * 10, y * 10);
                    if (inside && c.skin(x - 5, y - 7) != kKey) want = c.skin(x - 5, y - 7);
                    ASSERT_EQ(Hex(want), Hex(target.At(x, y)))
                        << path.name << " / " << c.name << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(KeyedBlit, StretchAndUnscaledForms) {
    for (const BlitPath& path : kPaths) {
        PathScope scope(path.failMaskBlt);
        Dib skinBmp(4, 2, false);
        // One frame of two columns: red, key / green, blue, and a second
        // frame that must not show.
        skinBmp.Paint([](int x, int y) {
            if (x >= 2) return kWhite;
            if (y == 0) return x == 0 ? kRed : kKey;
            return x == 0 ? kGreen : kBlue;
        });
        // Stretched 3x: every source pixel covers 3 x 3.
        Dib target(12, 12, true);
        target.Fill(RGB(1, 2, 3));
        skin::StretchTransparentBitmap(skinBmp.bitmap(), Rect{0, 0, 2, 2}, Rect{3, 3, 9, 9},
                                       target.dc());
        EXPECT_EQ(9, target.CountColor({3, 3, 6, 6}, kRed)) << path.name;
        EXPECT_EQ(9, target.CountColor({6, 3, 9, 6}, RGB(1, 2, 3))) << path.name;
        EXPECT_EQ(9, target.CountColor({3, 6, 6, 9}, kGreen)) << path.name;
        EXPECT_EQ(9, target.CountColor({6, 6, 9, 9}, kBlue)) << path.name;
        // The 36 stretched pixels less the 9 of the key.
        EXPECT_EQ(144 - 36 + 9, target.CountColor({0, 0, 12, 12}, RGB(1, 2, 3))) << path.name;

        // Unscaled: the destination's size is taken from the source corner.
        target.Fill(RGB(1, 2, 3));
        skin::BlitTransparentBitmap(skinBmp.bitmap(), Rect{0, 0, 2, 2}, Rect{1, 1, 3, 3},
                                    target.dc());
        EXPECT_EQ(Hex(kRed), Hex(target.At(1, 1))) << path.name;
        EXPECT_EQ(Hex(RGB(1, 2, 3)), Hex(target.At(2, 1))) << path.name;
        EXPECT_EQ(Hex(kGreen), Hex(target.At(1, 2))) << path.name;
        EXPECT_EQ(Hex(kBlue), Hex(target.At(2, 2))) << path.name;
        EXPECT_EQ(Hex(RGB(1, 2, 3)), Hex(target.At(3, 3))) << path.name;

        // The whole image form stretches all four columns.
        target.Fill(RGB(1, 2, 3));
        skin::DrawTransparentImage(target.dc(), skinBmp.bitmap(), Rect{0, 0, 8, 4});
        EXPECT_EQ(Hex(kRed), Hex(target.At(1, 1))) << path.name;
        EXPECT_EQ(Hex(kWhite), Hex(target.At(6, 1))) << path.name;
    }
}

TEST(KeyedBlit, FallbackGivesTheSamePicture) {
    Dib skinBmp(13, 9, false);
    skinBmp.Paint(Pattern);
    Dib a(40, 30, true), b(40, 30, true);
    auto back = [](int x, int y) { return RGB(x * 6, 200 - y * 5, (x * y) & 0xFF); };
    a.Paint(back);
    b.Paint(back);
    skin::DrawTransparentBitmap(a.dc(), skinBmp.bitmap(), Rect{0, 0, 13, 9}, Rect{2, 3, 28, 21});
    {
        PathScope scope(true);
        skin::DrawTransparentBitmap(b.dc(), skinBmp.bitmap(), Rect{0, 0, 13, 9},
                                    Rect{2, 3, 28, 21});
    }
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(Hex(a.At(x, y)), Hex(b.At(x, y))) << x << "," << y;
}

TEST(KeyedBlit, EmptyRectanglesDrawNothing) {
    struct Case {
        const char* name;
        Rect src;
        Rect dst;
    };
    const Case cases[] = {
        {"empty source", {2, 0, 2, 4}, {0, 0, 10, 10}},
        {"inverted source", {0, 4, 4, 0}, {0, 0, 10, 10}},
        {"empty destination", {0, 0, 4, 4}, {5, 5, 5, 9}},
        {"inverted destination", {0, 0, 4, 4}, {9, 0, 1, 10}},
    };
    Dib skinBmp(4, 4, false);
    skinBmp.Fill(kRed);
    for (const Case& c : cases) {
        Dib target(10, 10, true);
        target.Fill(kWhite);
        skin::DrawTransparentBitmap(target.dc(), skinBmp.bitmap(), c.src, c.dst);
        skin::DrawNineGridFrame(target.dc(), skinBmp.bitmap(), c.src, c.dst);
        EXPECT_EQ(100, target.CountColor({0, 0, 10, 10}, kWhite)) << c.name;
    }
}

TEST(NineGrid, ImagePiecesLandInPlace) {
    // A 30 x 30 image of nine 10 x 10 blocks, each its own colour, the
    // centre block with a key pixel in its middle.
    auto blockColor = [](int col, int row) { return RGB(40 + col * 80, 40 + row * 80, 99); };
    Dib skinBmp(30, 30, false);
    skinBmp.Paint([&](int x, int y) {
        if (x == 15 && y == 15) return kKey;
        return blockColor(x / 10, y / 10);
    });
    Dib target(120, 60, true);
    target.Fill(kWhite);
    const Rect dst{10, 10, 110, 50};  // 100 x 40
    skin::DrawNineGridImage(target.dc(), skinBmp.bitmap(), dst);
    // Destination columns 10|80|10 and rows 10|20|10.
    const int xs[4] = {10, 20, 100, 110};
    const int ys[4] = {10, 20, 40, 50};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const Rect cell{xs[col], ys[row], xs[col + 1], ys[row + 1]};
            const int area = cell.Width() * cell.Height();
            const int keyHoles = (row == 1 && col == 1) ? 8 * 2 : 0;  // 1 px stretched 8 x 2
            EXPECT_EQ(area - keyHoles, target.CountColor(cell, blockColor(col, row)))
                << "cell " << col << "," << row;
            EXPECT_EQ(keyHoles, target.CountColor(cell, kWhite)) << "cell " << col << "," << row;
        }
    }
    EXPECT_EQ(120 * 60 - 100 * 40 + 16, target.CountColor({0, 0, 120, 60}, kWhite));
}

TEST(NineGrid, FrameCornersFromTheSourceWidth) {
    // The left 50 source columns red, the rest blue; drawn 200 wide. With
    // 50-pixel corners the middle (from x = 50) is blue; with 34-pixel
    // corners it is stretched from the red columns 34..49 first.
    struct Case {
        const char* name;
        int width;
        COLORREF at60;
        COLORREF at40;
        COLORREF at199;
    };
    const Case cases[] = {
        {"103 px: 50-px corners", 103, kBlue, kRed, kBlue},
        {"102 px: 34-px corners", 102, kRed, kRed, kBlue},
        {"30 px: 10-px corners", 30, kRed, kRed, kRed},
    };
    for (const Case& c : cases) {
        Dib skinBmp(c.width, 30, false);
        skinBmp.Paint([](int x, int) { return x < 50 ? kRed : kBlue; });
        Dib target(200, 30, true);
        target.Fill(kWhite);
        skin::DrawNineGridFrame(target.dc(), skinBmp.bitmap(), Rect{0, 0, c.width, 30},
                                Rect{0, 0, 200, 30});
        EXPECT_EQ(Hex(c.at60), Hex(target.At(60, 15))) << c.name;
        EXPECT_EQ(Hex(c.at40), Hex(target.At(40, 15))) << c.name;
        EXPECT_EQ(Hex(c.at199), Hex(target.At(199, 15))) << c.name;
        EXPECT_EQ(0, target.CountColor({0, 0, 200, 30}, kWhite)) << c.name;
    }
}

TEST(NineGrid, StretchFormIsLaidFromTheOrigin) {
    // A frame of a strip: the second 30 x 30 frame of a 60 x 30 strip.
    Dib skinBmp(60, 30, false);
    skinBmp.Paint([](int x, int y) { return x < 30 ? kRed : (y < 10 ? kGreen : kBlue); });
    Dib target(90, 40, true);
    target.Fill(kWhite);
    skin::DrawNineGridStretch(target.dc(), skinBmp.bitmap(), Rect{30, 0, 60, 30},
                              Rect{5, 5, 95, 45});
    EXPECT_EQ(0, target.CountColor({0, 0, 90, 40}, kRed));
    EXPECT_EQ(0, target.CountColor({0, 0, 90, 40}, kWhite)) << "laid from (0, 0), 90 x 40";
    EXPECT_EQ(90 * 10, target.CountColor({0, 0, 90, 10}, kGreen));
}

TEST(Tiles, CutAtTheFarEdgesAndKeyed) {
    // 10 x 8 tile: a marker at both far corners and a key pixel at (5, 4).
    Dib skinBmp(10, 8, false);
    skinBmp.Paint([](int x, int y) {
        if (x == 9 && y == 7) return kRed;
        if (x == 0 && y == 0) return kGreen;
        if (x == 5 && y == 4) return kKey;
        return kBlue;
    });
    Dib target(30, 20, true);
    target.Fill(kWhite);
    skin::DrawTiledBitmap(target.dc(), skinBmp.bitmap(), Rect{0, 0, 10, 8}, Rect{2, 1, 27, 18});
    // Columns at 2, 12, 22 (the last 5 wide), rows at 1, 9, 17 (the last 1
    // high).
    EXPECT_EQ(Hex(kRed), Hex(target.At(11, 8)));
    EXPECT_EQ(Hex(kRed), Hex(target.At(21, 16)));
    EXPECT_EQ(Hex(kGreen), Hex(target.At(22, 17)));
    EXPECT_EQ(Hex(kBlue), Hex(target.At(26, 17)));
    EXPECT_EQ(Hex(kWhite), Hex(target.At(27, 17))) << "cut at the right edge";
    EXPECT_EQ(Hex(kWhite), Hex(target.At(22, 18))) << "cut at the bottom edge";
    EXPECT_EQ(Hex(kWhite), Hex(target.At(7, 5))) << "key pixel";
    EXPECT_EQ(Hex(kWhite), Hex(target.At(17, 13))) << "key pixel of the next tile";
    // The key shows in the four tiles wide and high enough to hold it.
    EXPECT_EQ(25 * 17 - 4, target.Count({2, 1, 27, 18}, [](COLORREF c) { return c != kWhite; }));
}

TEST(Aligned, ImageAndFrame) {
    Dib skinBmp(10, 10, false);
    skinBmp.Fill(kRed);
    struct Case {
        const char* name;
        UINT flags;
        Rect want;
    };
    const Case cases[] = {
        {"centre", DT_CENTER | DT_VCENTER, {10, 10, 20, 20}},
        {"top-left", 0, {0, 0, 10, 10}},
        {"bottom-right", DT_RIGHT | DT_BOTTOM, {21, 21, 31, 31}},
    };
    for (const Case& c : cases) {
        Dib target(31, 31, true);
        target.Fill(kWhite);
        skin::DrawAlignedImage(target.dc(), skinBmp.bitmap(), Rect{0, 0, 31, 31}, c.flags);
        EXPECT_EQ(100, target.CountColor(c.want, kRed)) << c.name;
        EXPECT_EQ(31 * 31 - 100, target.CountColor({0, 0, 31, 31}, kWhite)) << c.name;
    }
    // A frame of a strip, unscaled, centred.
    Dib strip(20, 10, false);
    strip.Paint([](int x, int) { return x < 10 ? kGreen : kBlue; });
    Dib target(31, 31, true);
    target.Fill(kWhite);
    skin::DrawAlignedFrame(target.dc(), strip.bitmap(), Rect{10, 0, 20, 10}, Rect{0, 0, 31, 31},
                           DT_CENTER | DT_VCENTER);
    EXPECT_EQ(100, target.CountColor({10, 10, 20, 20}, kBlue));
    EXPECT_EQ(0, target.CountColor({0, 0, 31, 31}, kGreen));
}

TEST(Outlines, ThreeDOutlineCornersAndEdges) {
    const COLORREF l = RGB(10, 0, 0), t = RGB(0, 20, 0), r = RGB(0, 0, 30), b = RGB(40, 40, 0);
    Dib target(12, 10, true);
    target.Fill(kWhite);
    skin::Draw3DOutline(1, 1, 10, 8, l, t, r, b, target.dc());
    struct Case {
        const char* name;
        int x, y;
        COLORREF want;
    };
    const Case cases[] = {
        {"bottom-left corner: left pen", 1, 8, l},
        {"left edge", 1, 4, l},
        {"top-left corner: top pen", 1, 1, t},
        {"top edge", 5, 1, t},
        {"top-right corner: right pen", 10, 1, r},
        {"right edge", 10, 4, r},
        {"bottom-right corner: bottom pen", 10, 8, b},
        {"bottom edge", 5, 8, b},
        {"inside untouched", 5, 4, kWhite},
        {"outside untouched", 11, 9, kWhite},
    };
    for (const Case& c : cases) EXPECT_EQ(Hex(c.want), Hex(target.At(c.x, c.y))) << c.name;
    EXPECT_EQ(2 * 10 + 2 * 6, target.Count({0, 0, 12, 10}, [](COLORREF c) { return c != kWhite; }));
}

TEST(Outlines, OutlinedBackThickness) {
    const COLORREF back = RGB(200, 100, 50), lt = RGB(1, 1, 1), rb = RGB(2, 2, 2);
    for (int thickness = 0; thickness <= 3; ++thickness) {
        Dib target(20, 16, true);
        target.Fill(kWhite);
        skin::DrawOutlinedBack(target.dc(), back, lt, rb, thickness, Rect{0, 0, 20, 16});
        for (int i = 0; i < thickness; ++i) {
            EXPECT_EQ(Hex(lt), Hex(target.At(i, 8))) << "t=" << thickness << " left ring " << i;
            EXPECT_EQ(Hex(lt), Hex(target.At(10, i))) << "t=" << thickness << " top ring " << i;
            EXPECT_EQ(Hex(rb), Hex(target.At(19 - i, 8))) << "t=" << thickness << " right " << i;
            EXPECT_EQ(Hex(rb), Hex(target.At(10, 15 - i))) << "t=" << thickness << " bottom " << i;
        }
        EXPECT_EQ(Hex(back), Hex(target.At(thickness, 8))) << "t=" << thickness;
        EXPECT_EQ(Hex(back), Hex(target.At(19 - thickness, 8))) << "t=" << thickness;
        const int inner = (20 - 2 * thickness) * (16 - 2 * thickness);
        EXPECT_EQ(inner, target.CountColor({0, 0, 20, 16}, back)) << "t=" << thickness;
    }
}

TEST(Outlines, RoundBack) {
    const COLORREF back = RGB(214, 225, 227), line = RGB(168, 179, 197);
    struct Case {
        const char* name;
        int thickness;
        bool outlineSeen;
    };
    const Case cases[] = {
        {"thickness 0 draws no outline", 0, false},
        {"thickness 1", 1, true},
        {"thickness 2", 2, true},
        {"thickness 3", 3, true},
    };
    for (const Case& c : cases) {
        Dib target(40, 30, true);
        target.Fill(kWhite);
        skin::DrawRoundBack(target.dc(), back, line, c.thickness, 10, Rect{0, 0, 40, 30});
        const int outline = target.CountColor({0, 0, 40, 30}, line);
        EXPECT_EQ(c.outlineSeen, outline > 0) << c.name;
        EXPECT_EQ(Hex(kWhite), Hex(target.At(0, 0))) << c.name << ": rounded corner";
        EXPECT_EQ(Hex(back), Hex(target.At(20, 15))) << c.name;
        if (c.thickness == 0) {
            // The fill reaches every edge.
            EXPECT_EQ(Hex(back), Hex(target.At(20, 0))) << c.name;
            EXPECT_EQ(Hex(back), Hex(target.At(20, 29))) << c.name;
            EXPECT_EQ(Hex(back), Hex(target.At(0, 15))) << c.name;
            EXPECT_EQ(Hex(back), Hex(target.At(39, 15))) << c.name;
        } else {
            EXPECT_EQ(Hex(line), Hex(target.At(20, 0))) << c.name;
            EXPECT_EQ(Hex(line), Hex(target.At(20, 29))) << c.name;
            EXPECT_EQ(Hex(back), Hex(target.At(20, c.thickness + 1))) << c.name;
        }
    }
    // Square corners with a corner value of 0.
    Dib target(40, 30, true);
    target.Fill(kWhite);
    skin::DrawRoundBack(target.dc(), back, line, 1, 0, Rect{0, 0, 40, 30});
    EXPECT_EQ(Hex(line), Hex(target.At(0, 0)));
    EXPECT_EQ(Hex(line), Hex(target.At(39, 29)));
}

TEST(Outlines, LineAndEllipseMark) {
    Dib target(20, 20, true);
    target.Fill(kWhite);
    skin::DrawLine(2, 5, 18, 5, kRed, 1, target.dc());
    EXPECT_EQ(16, target.CountColor({0, 0, 20, 20}, kRed));
    EXPECT_EQ(16, target.CountColor({2, 5, 18, 6}, kRed));

    struct Case {
        const char* name;
        int width;
        bool outlineSeen;
    };
    const Case cases[] = {
        {"width 0: no outline", 0, false}, {"width 1", 1, true}, {"width 2", 2, true}};
    for (const Case& c : cases) {
        target.Fill(kWhite);
        skin::DrawEllipseMark(Rect{2, 2, 18, 18}, kBlue, c.width, kGreen, target.dc());
        EXPECT_EQ(c.outlineSeen, target.CountColor({0, 0, 20, 20}, kBlue) > 0) << c.name;
        EXPECT_EQ(Hex(kGreen), Hex(target.At(10, 10))) << c.name;
        EXPECT_EQ(Hex(kWhite), Hex(target.At(2, 2))) << c.name;
    }
}

namespace {

bool Inky(COLORREF c) { return GetRValue(c) > 120 && GetGValue(c) < 110 && GetBValue(c) < 110; }

// Rows of the target that hold text-coloured pixels.
std::vector<int> InkRows(const Dib& d) {
    std::vector<int> rows;
    for (int y = 0; y < d.height(); ++y)
        if (d.Count({0, y, d.width(), y + 1}, Inky) > 0) rows.push_back(y);
    return rows;
}

}  // namespace

TEST(MultiLineText, LinesStackInEqualBands) {
    struct Case {
        const char* name;
        const char* text;
        int height;
        std::vector<Rect> bands;  // each must hold ink, rows between none
    };
    const Case cases[] = {
        {"backslash-n: two bands of 20", "A\\nB", 40, {{0, 0, 60, 20}, {0, 20, 60, 40}}},
        {"line feed: two bands of 20", "A\nB", 40, {{0, 0, 60, 20}, {0, 20, 60, 40}}},
        {"three lines in 40: L = 13 from 0",
         "A\nB\nC",
         40,
         {{0, 0, 60, 13}, {0, 13, 60, 26}, {0, 26, 60, 39}}},
        {"one line centred", "AB", 40, {{0, 0, 60, 40}}},
    };
    for (const Case& c : cases) {
        Dib target(60, c.height, true);
        target.Fill(kWhite);
        skin::DrawMultiLineText(target.dc(), c.text, 11, kRed, Rect{0, 0, 60, c.height},
                                DT_CENTER | DT_VCENTER, FALSE);
        for (const Rect& band : c.bands) {
            EXPECT_GT(target.Count(band, Inky), 0) << c.name << " band at " << band.top;
        }
        // Every inked row lies in one of the bands, and no band's ink
        // touches the band's first row (centred text of height 11).
        for (int y : InkRows(target)) {
            bool inBand = false;
            for (const Rect& band : c.bands) inBand |= y > band.top && y < band.bottom;
            EXPECT_TRUE(inBand) << c.name << " ink at row " << y;
        }
    }
}

TEST(MultiLineText, BoldAndColour) {
    Dib normal(80, 20, true), bold(80, 20, true);
    normal.Fill(kWhite);
    bold.Fill(kWhite);
    skin::DrawMultiLineText(normal.dc(), "HHHH", 16, kRed, Rect{0, 0, 80, 20}, DT_LEFT, FALSE);
    skin::DrawMultiLineText(bold.dc(), "HHHH", 16, kRed, Rect{0, 0, 80, 20}, DT_LEFT, TRUE);
    const int n = normal.Count({0, 0, 80, 20}, Inky);
    const int b = bold.Count({0, 0, 80, 20}, Inky);
    EXPECT_GT(n, 0);
    EXPECT_GT(b, n) << "bold draws heavier strokes";
    // Transparent background: nothing but ink and white.
    EXPECT_EQ(80 * 20, normal.Count({0, 0, 80, 20}, [](COLORREF c) {
        return GetRValue(c) >= GetGValue(c) && GetGValue(c) == GetBValue(c);
    }));
}

namespace {

std::string TempPath(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void Put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(x & 0xFF);
    v.push_back((x >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

// A 24-bit bottom-up BMP file of w x h from a colour function.
std::vector<uint8_t> MakeBmp(int w, int h, const std::function<COLORREF(int, int)>& f) {
    const int stride = (w * 3 + 3) & ~3;
    std::vector<uint8_t> v;
    v.push_back('B');
    v.push_back('M');
    Put32(v, 54 + stride * h);
    Put32(v, 0);
    Put32(v, 54);
    Put32(v, 40);
    Put32(v, w);
    Put32(v, h);
    Put16(v, 1);
    Put16(v, 24);
    Put32(v, 0);
    Put32(v, stride * h);
    Put32(v, 2835);
    Put32(v, 2835);
    Put32(v, 0);
    Put32(v, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const COLORREF c = f(x, y);
            v.push_back(GetBValue(c));
            v.push_back(GetGValue(c));
            v.push_back(GetRValue(c));
        }
        for (int p = w * 3; p < stride; ++p) v.push_back(0);
    }
    return v;
}

// A 16 x 16 32-bpp icon file.
std::vector<uint8_t> MakeIco() {
    std::vector<uint8_t> v;
    Put16(v, 0);
    Put16(v, 1);
    Put16(v, 1);
    const uint32_t xorBytes = 16 * 16 * 4, andBytes = 16 * 4;
    v.push_back(16);
    v.push_back(16);
    v.push_back(0);
    v.push_back(0);
    Put16(v, 1);
    Put16(v, 32);
    Put32(v, 40 + xorBytes + andBytes);
    Put32(v, 22);
    Put32(v, 40);
    Put32(v, 16);
    Put32(v, 32);
    Put16(v, 1);
    Put16(v, 32);
    Put32(v, 0);
    Put32(v, xorBytes + andBytes);
    Put32(v, 0);
    Put32(v, 0);
    Put32(v, 0);
    Put32(v, 0);
    for (uint32_t i = 0; i < 16 * 16; ++i) Put32(v, 0xFF00FF00);
    for (uint32_t i = 0; i < andBytes; ++i) v.push_back(0);
    return v;
}

}  // namespace

TEST(LoadPicture, BitmapFilesLoadOthersAreRefused) {
    const std::string bmp = TempPath("theme_draw_ok.bmp");
    WriteFileBytes(bmp, MakeBmp(6, 3, [](int x, int y) {
                       return x < 3 ? (y == 0 ? kRed : kKey) : RGB(10, 20, 30 + y);
                   }));
    HBITMAP h = skin::LoadPictureBitmap(bmp.c_str());
    ASSERT_NE(nullptr, h);
    BITMAP bm;
    ASSERT_EQ(int(sizeof bm), GetObject(h, sizeof bm, &bm));
    EXPECT_EQ(6, bm.bmWidth);
    EXPECT_EQ(3, bm.bmHeight);
    // Its pixels come through the keyed blit exactly.
    Dib target(6, 3, true);
    target.Fill(kWhite);
    skin::DrawTransparentImage(target.dc(), h, Rect{0, 0, 6, 3});
    EXPECT_EQ(Hex(kRed), Hex(target.At(1, 0)));
    EXPECT_EQ(Hex(kWhite), Hex(target.At(1, 1)));
    EXPECT_EQ(Hex(RGB(10, 20, 32)), Hex(target.At(4, 2)));
    DeleteObject(h);

    struct Case {
        const char* name;
        const char* file;
        bool write;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"missing file", "theme_draw_missing.bmp", false, {}},
        {"empty file", "theme_draw_empty.bmp", true, {}},
        {"garbage", "theme_draw_garbage.bmp", true, {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm'}},
        {"icon", "theme_draw_icon.ico", true, MakeIco()},
    };
    for (const Case& c : cases) {
        const std::string path = TempPath(c.file);
        DeleteFileA(path.c_str());
        if (c.write) WriteFileBytes(path, c.bytes);
        EXPECT_EQ(nullptr, skin::LoadPictureBitmap(path.c_str())) << c.name;
        DeleteFileA(path.c_str());
    }
    EXPECT_EQ(nullptr, skin::LoadPictureBitmap(nullptr));

    // The icon row means something only if the system loader reads the
    // file as an icon picture.
    const std::vector<uint8_t> ico = MakeIco();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, ico.size());
    std::memcpy(GlobalLock(block), ico.data(), ico.size());
    GlobalUnlock(block);
    IStream* stream = nullptr;
    ASSERT_EQ(S_OK, CreateStreamOnHGlobal(block, TRUE, &stream));
    IPicture* picture = nullptr;
    ASSERT_EQ(S_OK, OleLoadPicture(stream, LONG(ico.size()), FALSE, IID_IPicture,
                                   reinterpret_cast<void**>(&picture)));
    SHORT type = 0;
    picture->get_Type(&type);
    EXPECT_EQ(PICTYPE_ICON, type);
    picture->Release();
    stream->Release();
    DeleteFileA(bmp.c_str());
}

TEST(Gradient, FillsLeftToRightAndFailsWithoutTheLibrary) {
    Dib target(101, 4, true);
    target.Fill(kWhite);
    ASSERT_TRUE(
        skin::FillGradientH(target.dc(), Rect{0, 0, 101, 4}, RGB(0, 0, 0), RGB(200, 100, 0)));
    EXPECT_LE(GetRValue(target.At(0, 2)), 4);
    EXPECT_NEAR(100, GetRValue(target.At(50, 2)), 6);
    EXPECT_GE(GetRValue(target.At(100, 2)), 194);

    skin::SetGradientLibraryForTest("no_such_library_here.dll");
    target.Fill(kWhite);
    EXPECT_FALSE(
        skin::FillGradientH(target.dc(), Rect{0, 0, 101, 4}, RGB(0, 0, 0), RGB(200, 100, 0)));
    EXPECT_EQ(101 * 4, target.CountColor({0, 0, 101, 4}, kWhite));
    skin::SetGradientLibraryForTest(nullptr);
}

TEST(ClassLibraryForms, DrawAsThePlainForms) {
    // Each form the controls call, against the plain-handle routine with
    // the same rectangles: a swapped argument shows as a different picture.
    Dib skinBmp(12, 9, false);
    skinBmp.Paint(Pattern);
    CBitmap bitmap;
    bitmap.Attach(skinBmp.bitmap());
    struct Case {
        const char* name;
        std::function<void(HDC)> plain;
        std::function<void(CDC*)> wrapped;
    };
    HBITMAP h = skinBmp.bitmap();
    const Case cases[] = {
        {"DrawTransparentBitmap",
         [&](HDC dc) {
             skin::DrawTransparentBitmap(dc, h, Rect{1, 2, 9, 8}, Rect{3, 4, 30, 25});
         },
         [&](CDC* dc) { DrawTransparentBitmap(dc, &bitmap, 1, 2, 9, 8, 3, 4, 30, 25); }},
        {"DrawTransparentImage",
         [&](HDC dc) {
             skin::DrawTransparentImage(dc, h, Rect{2, 3, 33, 28});
         },
         [&](CDC* dc) { DrawTransparentImage(dc, &bitmap, 2, 3, 33, 28); }},
        {"BlitTransparentBitmap",
         [&](HDC dc) {
             skin::BlitTransparentBitmap(h, Rect{2, 1, 12, 9}, Rect{5, 6, 13, 12}, dc);
         },
         [&](CDC* dc) {
             BlitTransparentBitmap(&bitmap, CRect(2, 1, 12, 9), CRect(5, 6, 13, 12), dc);
         }},
        {"StretchTransparentBitmap",
         [&](HDC dc) {
             skin::StretchTransparentBitmap(h, Rect{0, 0, 6, 9}, Rect{1, 1, 31, 21}, dc);
         },
         [&](CDC* dc) {
             StretchTransparentBitmap(&bitmap, CRect(0, 0, 6, 9), CRect(1, 1, 31, 21), dc);
         }},
        {"DrawTiledBitmap",
         [&](HDC dc) {
             skin::DrawTiledBitmap(dc, h, Rect{1, 1, 6, 5}, Rect{2, 2, 37, 27});
         },
         [&](CDC* dc) { DrawTiledBitmap(dc, &bitmap, CRect(1, 1, 6, 5), CRect(2, 2, 37, 27)); }},
        {"DrawNineGridFrame",
         [&](HDC dc) {
             skin::DrawNineGridFrame(dc, h, Rect{0, 0, 12, 9}, Rect{1, 2, 39, 29});
         },
         [&](CDC* dc) { DrawNineGridFrame(dc, &bitmap, CRect(0, 0, 12, 9), CRect(1, 2, 39, 29)); }},
        {"DrawNineGridImage",
         [&](HDC dc) {
             skin::DrawNineGridImage(dc, h, Rect{4, 3, 38, 26});
         },
         [&](CDC* dc) { DrawNineGridImage(dc, &bitmap, CRect(4, 3, 38, 26)); }},
        {"DrawNineGridStretch",
         [&](HDC dc) {
             skin::DrawNineGridStretch(dc, h, Rect{0, 0, 9, 9}, Rect{0, 0, 35, 22});
         },
         [&](CDC* dc) {
             DrawNineGridStretch(dc, &bitmap, CRect(0, 0, 9, 9), CRect(0, 0, 35, 22));
         }},
        {"DrawAlignedImage",
         [&](HDC dc) {
             skin::DrawAlignedImage(dc, h, Rect{0, 0, 40, 30}, DT_RIGHT | DT_VCENTER);
         },
         [&](CDC* dc) { DrawAlignedImage(dc, &bitmap, 0, 0, 40, 30, DT_RIGHT | DT_VCENTER); }},
        {"DrawAlignedFrame",
         [&](HDC dc) {
             skin::DrawAlignedFrame(dc, h, Rect{6, 0, 12, 9}, Rect{0, 0, 40, 30}, DT_BOTTOM);
         },
         [&](CDC* dc) { DrawAlignedFrame(dc, &bitmap, 6, 0, 12, 9, 0, 0, 40, 30, DT_BOTTOM); }},
        {"Draw3DOutline",
         [&](HDC dc) { skin::Draw3DOutline(2, 3, 30, 20, kRed, kGreen, kBlue, kKey, dc); },
         [&](CDC* dc) { Draw3DOutline(2, 3, 30, 20, kRed, kGreen, kBlue, kKey, dc); }},
        {"DrawLine", [&](HDC dc) { skin::DrawLine(1, 2, 35, 20, kBlue, 2, dc); },
         [&](CDC* dc) { DrawLine(1, 2, 35, 20, kBlue, 2, dc); }},
        {"DrawOutlinedBack",
         [&](HDC dc) {
             skin::DrawOutlinedBack(dc, kGreen, kRed, kBlue, 2, Rect{3, 4, 33, 24});
         },
         [&](CDC* dc) { DrawOutlinedBack(dc, kGreen, kRed, kBlue, 2, 3, 4, 33, 24); }},
        {"DrawRoundBack",
         [&](HDC dc) {
             skin::DrawRoundBack(dc, kGreen, kRed, 3, 7, Rect{1, 2, 35, 27});
         },
         [&](CDC* dc) { DrawRoundBack(dc, kGreen, kRed, 3, 7, 1, 2, 35, 27); }},
        {"DrawEllipseMark",
         [&](HDC dc) {
             skin::DrawEllipseMark(Rect{4, 4, 24, 20}, kRed, 2, kBlue, dc);
         },
         [&](CDC* dc) { DrawEllipseMark(4, 4, 24, 20, kRed, 2, kBlue, dc); }},
        {"DrawMultiLineText",
         [&](HDC dc) {
             skin::DrawMultiLineText(dc, "Ab\\nCd", 12, kRed, Rect{0, 0, 40, 30}, DT_RIGHT, TRUE);
         },
         [&](CDC* dc) {
             DrawMultiLineText(dc, "Ab\\nCd", 12, kRed, 0, 0, 40, 30, DT_RIGHT, TRUE);
         }},
    };
    for (const Case& c : cases) {
        Dib a(40, 30, true), b(40, 30, true);
        a.Fill(kWhite);
        b.Fill(kWhite);
        c.plain(a.dc());
        CDC* dc = CDC::FromHandle(b.dc());
        c.wrapped(dc);
        int differ = 0, drawn = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                differ += a.At(x, y) != b.At(x, y);
                drawn += a.At(x, y) != kWhite;
            }
        EXPECT_EQ(0, differ) << c.name;
        EXPECT_GT(drawn, 0) << c.name << " drew nothing";
    }
    bitmap.Detach();
}
