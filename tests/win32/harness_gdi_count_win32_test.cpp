// The fixture's live-GDI-object counter: every kind of object a leak test
// relies on shows up when made and goes away when deleted; stock objects,
// failed creations and double deletes do not move the count.
#include <windows.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "tests/harness/harness.h"

namespace {

using uitest::GdiKind;

struct KindCase {
    const char* name;
    GdiKind kind;
    std::function<HGDIOBJ()> make;
    bool isDC;
};

HDC ScreenDC() { return GetDC(nullptr); }

std::string BmpFile() {
    char dir[MAX_PATH], path[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    GetTempFileNameA(dir, "gdc", 0, path);
    uitest::Picture pic;
    pic.width = 4;
    pic.height = 3;
    pic.pixels.assign(12, 0x00FF00FF);
    pic.SaveBmp(path);
    return path;
}

const KindCase kKinds[] = {
    {"solid_brush", GdiKind::Brush, [] { return HGDIOBJ(CreateSolidBrush(RGB(1, 2, 3))); }, false},
    {"hatch_brush", GdiKind::Brush, [] { return HGDIOBJ(CreateHatchBrush(HS_CROSS, 0)); }, false},
    {"indirect_brush", GdiKind::Brush,
     [] {
         LOGBRUSH lb = {BS_SOLID, RGB(9, 9, 9), 0};
         return HGDIOBJ(CreateBrushIndirect(&lb));
     },
     false},
    {"pen", GdiKind::Pen, [] { return HGDIOBJ(CreatePen(PS_SOLID, 1, RGB(255, 0, 0))); }, false},
    {"ext_pen", GdiKind::Pen,
     [] {
         LOGBRUSH lb = {BS_SOLID, RGB(0, 0, 255), 0};
         return HGDIOBJ(ExtCreatePen(PS_GEOMETRIC | PS_SOLID, 3, &lb, 0, nullptr));
     },
     false},
    {"font", GdiKind::Font,
     [] {
         return HGDIOBJ(
             CreateFontA(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
     },
     false},
    {"font_indirect", GdiKind::Font,
     [] {
         LOGFONTA lf = {};
         lf.lfHeight = -14;
         lstrcpyA(lf.lfFaceName, "Tahoma");
         return HGDIOBJ(CreateFontIndirectA(&lf));
     },
     false},
    {"bitmap", GdiKind::Bitmap, [] { return HGDIOBJ(CreateBitmap(8, 8, 1, 1, nullptr)); }, false},
    {"compatible_bitmap", GdiKind::Bitmap,
     [] {
         HDC s = ScreenDC();
         HBITMAP b = CreateCompatibleBitmap(s, 16, 16);
         ReleaseDC(nullptr, s);
         return HGDIOBJ(b);
     },
     false},
    {"dib_section", GdiKind::Bitmap,
     [] {
         BITMAPINFO bi = {};
         bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, 4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
         void* bits = nullptr;
         return HGDIOBJ(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
     },
     false},
    {"loaded_bitmap_file", GdiKind::Bitmap,
     [] {
         std::string f = BmpFile();
         HANDLE h = LoadImageA(nullptr, f.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
         DeleteFileA(f.c_str());
         return HGDIOBJ(h);
     },
     false},
    {"pattern_brush", GdiKind::Brush,
     [] {
         // The bitmap is counted too; it is deleted here so only the brush
         // stays.
         HBITMAP b = CreateBitmap(8, 8, 1, 1, nullptr);
         HBRUSH br = CreatePatternBrush(b);
         DeleteObject(b);
         return HGDIOBJ(br);
     },
     false},
    {"rect_region", GdiKind::Region, [] { return HGDIOBJ(CreateRectRgn(0, 0, 10, 10)); }, false},
    {"round_region", GdiKind::Region,
     [] { return HGDIOBJ(CreateRoundRectRgn(0, 0, 20, 20, 5, 5)); }, false},
    {"elliptic_region", GdiKind::Region, [] { return HGDIOBJ(CreateEllipticRgn(0, 0, 9, 7)); },
     false},
    {"polygon_region", GdiKind::Region,
     [] {
         POINT p[] = {{0, 0}, {10, 0}, {5, 8}};
         return HGDIOBJ(CreatePolygonRgn(p, 3, ALTERNATE));
     },
     false},
    {"palette", GdiKind::Palette,
     [] {
         struct {
             WORD ver, n;
             PALETTEENTRY e[2];
         } lp = {0x300, 2, {{1, 2, 3, 0}, {4, 5, 6, 0}}};
         return HGDIOBJ(CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp)));
     },
     false},
    {"memory_dc", GdiKind::DC, [] { return HGDIOBJ(CreateCompatibleDC(nullptr)); }, true},
};

class GdiKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(GdiKindTest, LeakShowsAndDeleteClears) {
    const KindCase& c = GetParam();
    ASSERT_TRUE(uitest::InstallGdiCounter());
    const long all = uitest::LiveGdiObjects();
    const long kind = uitest::LiveGdiObjects(c.kind);
    HGDIOBJ h = c.make();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(uitest::LiveGdiObjects(c.kind), kind + 1);
    EXPECT_EQ(uitest::LiveGdiObjects(), all + 1);
    if (c.isDC)
        EXPECT_TRUE(DeleteDC(static_cast<HDC>(h)));
    else
        EXPECT_TRUE(DeleteObject(h));
    EXPECT_EQ(uitest::LiveGdiObjects(c.kind), kind);
    EXPECT_EQ(uitest::LiveGdiObjects(), all);
}

INSTANTIATE_TEST_SUITE_P(Kinds, GdiKindTest, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<KindCase>& i) {
                             return std::string(i.param.name);
                         });

// Deletions that must not lower the count: a stock object, a second delete
// of the same handle, a failed creation.
TEST(GdiCounterTest, UnknownHandlesDoNotHideALeak) {
    ASSERT_TRUE(uitest::InstallGdiCounter());
    const long base = uitest::LiveGdiObjects();
    HBRUSH leaked = CreateSolidBrush(RGB(10, 20, 30));
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    ASSERT_TRUE(leaked && pen);
    DeleteObject(GetStockObject(BLACK_BRUSH));
    DeleteObject(pen);
    DeleteObject(pen);
    EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
    EXPECT_EQ(uitest::LiveGdiObjects(), base + 1);
    DeleteObject(leaked);
    EXPECT_EQ(uitest::LiveGdiObjects(), base);
}

// Objects selected into a DC and selected back out before deletion: the
// usual paint sequence, a thousand times, ends where it started.
TEST(GdiCounterTest, ThousandPaintCyclesReturnToBaseline) {
    ASSERT_TRUE(uitest::InstallGdiCounter());
    const long base = uitest::LiveGdiObjects();
    const long dcs = uitest::LiveWindowDCs();
    for (int i = 0; i < 1000; ++i) {
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP bmp = CreateCompatibleBitmap(screen, 8, 8);
        HBRUSH br = CreateSolidBrush(RGB(i & 255, 0, 0));
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, i & 255, 0));
        HGDIOBJ ob = SelectObject(mem, bmp), obr = SelectObject(mem, br),
                op = SelectObject(mem, pen);
        Rectangle(mem, 0, 0, 8, 8);
        SelectObject(mem, op);
        SelectObject(mem, obr);
        SelectObject(mem, ob);
        DeleteObject(pen);
        DeleteObject(br);
        DeleteObject(bmp);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
    }
    EXPECT_EQ(uitest::LiveGdiObjects(), base);
    EXPECT_EQ(uitest::LiveWindowDCs(), dcs);
}

TEST(GdiCounterTest, UnreleasedWindowDCShows) {
    ASSERT_TRUE(uitest::InstallGdiCounter());
    uitest::Stage stage(100, 80);
    const long base = uitest::LiveWindowDCs();
    HDC a = GetDC(stage.parent());
    HDC b = GetWindowDC(stage.host());
    ASSERT_TRUE(a && b);
    EXPECT_EQ(uitest::LiveWindowDCs(), base + 2);
    ReleaseDC(stage.parent(), a);
    EXPECT_EQ(uitest::LiveWindowDCs(), base + 1);
    ReleaseDC(stage.host(), b);
    EXPECT_EQ(uitest::LiveWindowDCs(), base);
}

// The fixture's own painting and read-back leave nothing behind.
TEST(GdiCounterTest, FixtureItselfIsBalanced) {
    ASSERT_TRUE(uitest::InstallGdiCounter());
    const long base = uitest::LiveGdiObjects();
    const long dcs = uitest::LiveWindowDCs();
    {
        uitest::Stage stage(120, 90, 100, 100, RGB(0, 128, 0));
        uitest::PumpFor(50);
        EXPECT_FALSE(uitest::CaptureClient(stage.parent()).empty());
        EXPECT_FALSE(uitest::CaptureScreen({100, 100, 120, 120}).empty());
    }
    EXPECT_EQ(uitest::LiveGdiObjects(), base);
    EXPECT_EQ(uitest::LiveWindowDCs(), dcs);
}

}  // namespace
