// GDI wrappers drawing into a DIB: colours at points for each drawing call,
// selections that hand back the previous object, SaveDC/RestoreDC, and
// wrappers that free what they own.
#include "classlib/afxwin.h"
#include "tests/harness/harness.h"

#include <functional>
#include <string>

#include <gtest/gtest.h>

namespace {

const COLORREF kBack = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kGreen = RGB(0, 128, 0);

// A 32-bit top-down DIB section in a memory DC, cleared to white.
struct Dib {
    CDC dc;
    CBitmap bmp;
    CBitmap* pOld = nullptr;
    DWORD* bits = nullptr;
    int w, h;
    Dib(int width, int height) : w(width), h(height) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bmp.Attach(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, (void**)&bits, nullptr, 0));
        dc.CreateCompatibleDC(nullptr);
        pOld = dc.SelectObject(&bmp);
        dc.FillSolidRect(0, 0, w, h, kBack);
    }
    ~Dib() { dc.SelectObject(pOld); }
    COLORREF At(int x, int y) const {
        GdiFlush();
        DWORD p = bits[y * w + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

struct Probe {
    int x, y;
    COLORREF colour;
};

struct DrawCase {
    const char* name;
    std::function<void(CDC&)> draw;
    std::vector<Probe> probes;
};

class Drawing : public ::testing::TestWithParam<DrawCase> {};

TEST_P(Drawing, PutsTheExpectedColoursAtPoints) {
    const DrawCase& c = GetParam();
    Dib dib(64, 64);
    c.draw(dib.dc);
    for (const Probe& p : c.probes) {
        EXPECT_EQ(p.colour, dib.At(p.x, p.y)) << "at " << p.x << "," << p.y;
    }
    CWnd::DeleteTempMap();
}

// A second memory DC with a 16x16 picture: left half red, right half blue.
struct Source {
    Dib dib{16, 16};
    Source() {
        dib.dc.FillSolidRect(0, 0, 8, 16, kRed);
        dib.dc.FillSolidRect(8, 0, 8, 16, kBlue);
    }
};

INSTANTIATE_TEST_SUITE_P(
    Calls, Drawing,
    ::testing::Values(
        DrawCase{"FillSolidRect",
                 [](CDC& dc) { dc.FillSolidRect(CRect(10, 10, 20, 20), kRed); },
                 {{10, 10, kRed}, {19, 19, kRed}, {20, 20, kBack}, {9, 10, kBack}}},
        DrawCase{"FillSolidRectKeepsBkColor",
                 [](CDC& dc) {
                     dc.SetBkColor(kGreen);
                     dc.FillSolidRect(0, 0, 5, 5, kRed);
                     CRect rc(10, 10, 20, 20);
                     dc.ExtTextOut(0, 0, ETO_OPAQUE, &rc, "", 0, nullptr);
                 },
                 {{2, 2, kRed}, {15, 15, kGreen}}},
        DrawCase{"FillRectWithBrush",
                 [](CDC& dc) {
                     CBrush br(kBlue);
                     dc.FillRect(CRect(0, 0, 32, 8), &br);
                 },
                 {{0, 0, kBlue}, {31, 7, kBlue}, {32, 7, kBack}, {0, 8, kBack}}},
        DrawCase{"RectangleOutlineAndFill",
                 [](CDC& dc) {
                     CPen pen(PS_SOLID, 1, kRed);
                     CBrush br(kBlue);
                     CPen* op = dc.SelectObject(&pen);
                     CBrush* ob = dc.SelectObject(&br);
                     dc.Rectangle(10, 10, 30, 30);
                     dc.SelectObject(op);
                     dc.SelectObject(ob);
                 },
                 {{10, 10, kRed}, {29, 29, kRed}, {20, 20, kBlue}, {30, 30, kBack}}},
        DrawCase{"EllipseCentreAndCorner",
                 [](CDC& dc) {
                     CBrush br(kGreen);
                     CBrush* ob = dc.SelectObject(&br);
                     dc.SelectStockObject(NULL_PEN);
                     dc.Ellipse(0, 0, 40, 40);
                     dc.SelectObject(ob);
                 },
                 {{20, 20, kGreen}, {1, 1, kBack}, {38, 38, kBack}}},
        DrawCase{"RoundRectKeepsCornersClear",
                 [](CDC& dc) {
                     CBrush br(kRed);
                     CBrush* ob = dc.SelectObject(&br);
                     dc.SelectStockObject(NULL_PEN);
                     dc.RoundRect(0, 0, 40, 40, 20, 20);
                     dc.SelectObject(ob);
                 },
                 {{20, 20, kRed}, {0, 0, kBack}, {20, 1, kRed}}},
        DrawCase{"MoveToLineTo",
                 [](CDC& dc) {
                     CPen pen(PS_SOLID, 1, kBlue);
                     CPen* op = dc.SelectObject(&pen);
                     dc.MoveTo(0, 5);
                     dc.LineTo(50, 5);
                     CPoint last = dc.MoveTo(3, 3);
                     dc.SelectObject(op);
                     if (last.x != 50 || last.y != 5) dc.SetPixel(63, 63, kRed);
                 },
                 {{0, 5, kBlue}, {49, 5, kBlue}, {50, 5, kBack}, {10, 6, kBack}, {63, 63, kBack}}},
        DrawCase{"PolygonFill",
                 [](CDC& dc) {
                     CBrush br(kBlue);
                     CBrush* ob = dc.SelectObject(&br);
                     dc.SelectStockObject(NULL_PEN);
                     POINT tri[] = {{0, 0}, {40, 0}, {0, 40}};
                     dc.Polygon(tri, 3);
                     dc.SelectObject(ob);
                 },
                 {{5, 5, kBlue}, {35, 35, kBack}}},
        DrawCase{"SetPixelGetPixel",
                 [](CDC& dc) {
                     dc.SetPixel(7, 9, kRed);
                     if (dc.GetPixel(7, 9) != kRed) dc.SetPixel(0, 0, kBlue);
                 },
                 {{7, 9, kRed}, {0, 0, kBack}}},
        DrawCase{"BitBltFromSecondDC",
                 [](CDC& dc) {
                     Source src;
                     dc.BitBlt(20, 20, 16, 16, &src.dib.dc, 0, 0, SRCCOPY);
                 },
                 {{20, 20, kRed}, {27, 35, kRed}, {28, 20, kBlue}, {36, 20, kBack}}},
        DrawCase{"StretchBltDoubles",
                 [](CDC& dc) {
                     Source src;
                     dc.SetStretchBltMode(COLORONCOLOR);
                     dc.StretchBlt(0, 0, 32, 32, &src.dib.dc, 0, 0, 16, 16, SRCCOPY);
                 },
                 {{0, 0, kRed}, {15, 31, kRed}, {16, 0, kBlue}, {31, 31, kBlue}, {32, 0, kBack}}},
        DrawCase{"MaskBltCopiesOnlyWhereMaskIsSet",
                 [](CDC& dc) {
                     Source src;
                     // Mask: top half 1 (source), bottom half 0 (destination kept).
                     CBitmap mask;
                     WORD rows[16];
                     for (int i = 0; i < 16; ++i) rows[i] = i < 8 ? 0xFFFF : 0x0000;
                     mask.CreateBitmap(16, 16, 1, 1, rows);
                     dc.MaskBlt(0, 0, 16, 16, &src.dib.dc, 0, 0, mask, 0, 0,
                                MAKEROP4(SRCCOPY, 0x00AA0029));
                 },
                 {{0, 0, kRed}, {15, 7, kBlue}, {0, 8, kBack}, {15, 15, kBack}}},
        DrawCase{"GradientFillHorizontal",
                 [](CDC& dc) {
                     TRIVERTEX v[2] = {{0, 0, 0xFF00, 0, 0, 0}, {64, 10, 0, 0, 0xFF00, 0}};
                     GRADIENT_RECT r = {0, 1};
                     dc.GradientFill(v, 2, &r, 1, GRADIENT_FILL_RECT_H);
                 },
                 {{0, 5, RGB(255, 0, 0)}, {0, 10, kBack}}},
        DrawCase{"IntersectClipRectLimitsFill",
                 [](CDC& dc) {
                     int saved = dc.SaveDC();
                     dc.IntersectClipRect(10, 10, 20, 20);
                     dc.FillSolidRect(0, 0, 64, 64, kRed);
                     dc.RestoreDC(saved);
                     dc.FillSolidRect(0, 0, 2, 2, kBlue);
                 },
                 {{15, 15, kRed}, {5, 5, kBack}, {25, 25, kBack}, {1, 1, kBlue}}},
        DrawCase{"SelectClipRgnLimitsFill",
                 [](CDC& dc) {
                     CRgn rgn;
                     rgn.CreateRectRgn(30, 30, 40, 40);
                     dc.SelectClipRgn(&rgn);
                     dc.FillSolidRect(0, 0, 64, 64, kGreen);
                     dc.SelectClipRgn(nullptr);
                 },
                 {{35, 35, kGreen}, {29, 35, kBack}, {40, 40, kBack}}},
        DrawCase{"Draw3dRectEdges",
                 [](CDC& dc) { dc.Draw3dRect(CRect(10, 10, 20, 20), kRed, kBlue); },
                 {{10, 10, kRed}, {10, 18, kRed}, {18, 10, kRed}, {19, 19, kBlue}, {19, 11, kBlue},
                  {11, 19, kBlue}, {15, 15, kBack}}},
        DrawCase{"OpaqueTextFillsItsCell",
                 [](CDC& dc) {
                     dc.SetBkMode(OPAQUE);
                     dc.SetBkColor(kBlue);
                     dc.SetTextColor(kBlue);  // glyphs and cell alike
                     CRect rc(0, 0, 64, 64);
                     CString s("W가");
                     dc.DrawText(s, &rc, DT_LEFT | DT_TOP | DT_SINGLELINE);
                 },
                 {{0, 0, kBlue}, {2, 3, kBlue}, {63, 63, kBack}}}),
    [](const ::testing::TestParamInfo<DrawCase>& i) { return std::string(i.param.name); });

TEST(GdiSelection, SelectObjectReturnsThePreviousObject) {
    Dib dib(8, 8);
    CPen a(PS_SOLID, 1, kRed), b(PS_SOLID, 3, kBlue);
    CPen* orig = dib.dc.SelectObject(&a);
    ASSERT_NE(nullptr, orig);
    CPen* prev = dib.dc.SelectObject(&b);
    EXPECT_EQ(a.m_hObject, prev->m_hObject);
    EXPECT_EQ(b.m_hObject, dib.dc.GetCurrentPen()->m_hObject);
    dib.dc.SelectObject(orig);
    EXPECT_EQ(orig->m_hObject, dib.dc.GetCurrentPen()->m_hObject);

    CFont font;
    ASSERT_TRUE(
        font.CreateFont(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    CFont* oldFont = dib.dc.SelectObject(&font);
    EXPECT_EQ(font.m_hObject, dib.dc.GetCurrentFont()->m_hObject);
    TEXTMETRICA tm;
    ASSERT_TRUE(dib.dc.GetTextMetrics(&tm));
    EXPECT_EQ(12, tm.tmHeight - tm.tmInternalLeading);
    EXPECT_GT(tm.tmWeight, FW_NORMAL);  // Wine's substitute face answers 600
    dib.dc.SelectObject(oldFont);
    CWnd::DeleteTempMap();
}

TEST(GdiSelection, SaveDCRestoreDCBringsBackObjectsAndAttributes) {
    Dib dib(8, 8);
    CPen a(PS_SOLID, 1, kRed), b(PS_SOLID, 1, kBlue);
    CBrush ba(kRed);
    CPen* orig = dib.dc.SelectObject(&a);
    CBrush* origBrush = dib.dc.SelectObject(&ba);
    dib.dc.SetTextColor(kGreen);
    dib.dc.SetBkMode(TRANSPARENT);
    int saved = dib.dc.SaveDC();
    ASSERT_NE(0, saved);
    dib.dc.SelectObject(&b);
    dib.dc.SelectStockObject(BLACK_BRUSH);
    dib.dc.SetTextColor(kBlue);
    dib.dc.SetBkMode(OPAQUE);
    ASSERT_TRUE(dib.dc.RestoreDC(saved));
    EXPECT_EQ(a.m_hObject, dib.dc.GetCurrentPen()->m_hObject);
    EXPECT_EQ(ba.m_hObject, dib.dc.GetCurrentBrush()->m_hObject);
    EXPECT_EQ(kGreen, dib.dc.GetTextColor());
    EXPECT_EQ(TRANSPARENT, dib.dc.GetBkMode());
    dib.dc.SelectObject(orig);
    dib.dc.SelectObject(origBrush);
    CWnd::DeleteTempMap();
}

TEST(GdiObjects, WrappersFreeWhatTheyOwnAndNotWhatTheyBorrow) {
    struct Case {
        const char* name;
        std::function<HGDIOBJ(CGdiObject*&)> make;  // creates, returns the handle
    } cases[] = {
        {"pen",
         [](CGdiObject*& p) {
             auto* o = new CPen(PS_SOLID, 2, kRed);
             p = o;
             return o->m_hObject;
         }},
        {"solid brush",
         [](CGdiObject*& p) {
             auto* o = new CBrush(kRed);
             p = o;
             return o->m_hObject;
         }},
        {"hatch brush",
         [](CGdiObject*& p) {
             auto* o = new CBrush(HS_CROSS, kRed);
             p = o;
             return o->m_hObject;
         }},
        {"font",
         [](CGdiObject*& p) {
             auto* o = new CFont;
             o->CreatePointFont(100, "Arial");
             p = o;
             return o->m_hObject;
         }},
        {"bitmap",
         [](CGdiObject*& p) {
             auto* o = new CBitmap;
             o->CreateBitmap(4, 4, 1, 32, nullptr);
             p = o;
             return o->m_hObject;
         }},
        {"region",
         [](CGdiObject*& p) {
             auto* o = new CRgn;
             o->CreateEllipticRgn(0, 0, 10, 10);
             p = o;
             return o->m_hObject;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CGdiObject* p = nullptr;
        HGDIOBJ h = c.make(p);
        ASSERT_NE(nullptr, h);
        EXPECT_NE(0u, (UINT)GetObjectType(h));
        delete p;
        EXPECT_EQ(0u, (UINT)GetObjectType(h)) << "deleted with its wrapper";

        // A detached handle outlives the wrapper; a temporary owns nothing.
        CGdiObject* q = nullptr;
        HGDIOBJ h2 = c.make(q);
        EXPECT_EQ(h2, q->Detach());
        delete q;
        EXPECT_NE(0u, (UINT)GetObjectType(h2));
        EXPECT_EQ(h2, CGdiObject::FromHandle(h2)->m_hObject);
        CWnd::DeleteTempMap();
        EXPECT_NE(0u, (UINT)GetObjectType(h2));
        DeleteObject(h2);
    }
}

TEST(GdiObjects, AttachReplacesAndDeletesThePreviousHandle) {
    CBrush br(kRed);
    HGDIOBJ first = br.m_hObject;
    ASSERT_TRUE(br.CreateSolidBrush(kBlue));
    EXPECT_NE(first, br.m_hObject);
    EXPECT_EQ(0u, (UINT)GetObjectType(first));
    LOGBRUSH lb;
    ASSERT_EQ((int)sizeof lb, br.GetLogBrush(&lb));
    EXPECT_EQ(kBlue, lb.lbColor);
}

TEST(GdiObjects, SharedObjectsOutliveTheirWrappers) {
    HBRUSH sysBrush = GetSysColorBrush(COLOR_BTNFACE);
    HGDIOBJ stockPen = GetStockObject(BLACK_PEN);
    {
        CBrush b;
        ASSERT_TRUE(b.CreateSysColorBrush(COLOR_BTNFACE));
        EXPECT_EQ(sysBrush, b.m_hObject);
        CGdiObject p;
        ASSERT_TRUE(p.CreateStockObject(BLACK_PEN));
        EXPECT_EQ(stockPen, p.m_hObject);
        ASSERT_TRUE(b.CreateSolidBrush(kRed));  // replaces the shared one
    }
    EXPECT_EQ((DWORD)OBJ_BRUSH, GetObjectType(sysBrush));
    EXPECT_EQ(sysBrush, GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ((DWORD)OBJ_PEN, GetObjectType(stockPen));
}

TEST(GdiObjects, BitmapSizesAndPatternBrush) {
    Dib dib(16, 16);
    CBitmap bmp;
    ASSERT_TRUE(bmp.CreateCompatibleBitmap(&dib.dc, 8, 4));
    BITMAP bm;
    ASSERT_TRUE(bmp.GetBitmap(&bm));
    EXPECT_EQ(8, bm.bmWidth);
    EXPECT_EQ(4, bm.bmHeight);

    // An 8x8 pattern: green.
    CBitmap pat;
    DWORD px[64];
    for (DWORD& p : px) p = 0x008000;
    ASSERT_TRUE(pat.CreateBitmap(8, 8, 1, 32, px));
    CBrush br;
    ASSERT_TRUE(br.CreatePatternBrush(&pat));
    dib.dc.FillRect(CRect(0, 0, 16, 16), &br);
    EXPECT_EQ(kGreen, dib.At(3, 3));
    EXPECT_EQ(kGreen, dib.At(12, 12));
}

TEST(GdiDC, DCsFreeWhatTheyOwn) {
    HDC hdc;
    {
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        hdc = dc.GetSafeHdc();
        EXPECT_EQ((DWORD)OBJ_MEMDC, GetObjectType(hdc));
    }
    EXPECT_EQ(0u, (UINT)GetObjectType(hdc));

    HDC kept = CreateCompatibleDC(nullptr);
    {
        CDC dc;
        ASSERT_TRUE(dc.Attach(kept));
        EXPECT_FALSE(dc.Attach(kept)) << "one handle at a time";
        EXPECT_EQ(kept, dc.Detach());
    }
    EXPECT_EQ((DWORD)OBJ_MEMDC, GetObjectType(kept));
    EXPECT_EQ(CDC::FromHandle(kept), CDC::FromHandle(kept));
    CWnd::DeleteTempMap();
    EXPECT_EQ((DWORD)OBJ_MEMDC, GetObjectType(kept)) << "a temporary DC deletes nothing";
    DeleteDC(kept);
}

TEST(GdiDC, TextExtentMatchesDrawTextCalcRect) {
    Dib dib(8, 8);
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(120, "Arial", &dib.dc));
    CFont* old = dib.dc.SelectObject(&font);
    CString s("Hello 한글");
    CSize sz = dib.dc.GetTextExtent(s);
    EXPECT_GT(sz.cx, 0);
    EXPECT_GT(sz.cy, 0);
    CRect rc(0, 0, 0, 0);
    dib.dc.DrawText(s, &rc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(sz.cx, rc.Width());
    EXPECT_EQ(sz.cy, rc.Height());
    EXPECT_EQ(sz.cx, dib.dc.GetTextExtent("Hello 한글", (int)strlen("Hello 한글")).cx);
    dib.dc.SelectObject(old);
    CWnd::DeleteTempMap();
}

// Paint and client DCs on a real window: the pixels reach the window.
class CPaintedWnd : public CWnd {
public:
    int nPaint = 0;
    afx_msg void OnPaint() {
        CPaintDC dc(this);
        ++nPaint;
        CRect rc;
        GetClientRect(&rc);
        dc.FillSolidRect(&rc, kRed);
    }
    afx_msg BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPaintedWnd, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

TEST(GdiDC, PaintDCPaintsTheWindowAndClientDCReadsIt) {
    CPaintedWnd w;
    ASSERT_TRUE(w.CreateEx(WS_EX_TOPMOST, nullptr, "paint", WS_POPUP | WS_VISIBLE, 100, 100, 40, 30,
                           nullptr, nullptr));
    w.Invalidate();
    w.UpdateWindow();
    EXPECT_GE(w.nPaint, 1);
    // Read back through a memory DC: copy the window's client DC.
    Dib dib(40, 30);
    {
        CClientDC dc(&w);
        dib.dc.BitBlt(0, 0, 40, 30, &dc, 0, 0, SRCCOPY);
    }
    EXPECT_EQ(kRed, dib.At(20, 15));
    w.DestroyWindow();
}

// --- Leaks: a thousand create/destroy cycles of every wrapper ------------------

struct CycleCase {
    const char* name;
    std::function<void(CWnd*)> cycle;  // one create/use/destroy round
};

class GdiCycles : public ::testing::TestWithParam<CycleCase> {
protected:
    static CPaintedWnd* s_wnd;
    static void SetUpTestSuite() {
        ASSERT_TRUE(uitest::InstallGdiCounter());
        s_wnd = new CPaintedWnd;
        ASSERT_TRUE(s_wnd->CreateEx(0, nullptr, "cycles", WS_POPUP | WS_VISIBLE, 200, 100, 40, 30,
                                    nullptr, nullptr));
    }
    static void TearDownTestSuite() {
        s_wnd->DestroyWindow();
        delete s_wnd;
        s_wnd = nullptr;
    }
};
CPaintedWnd* GdiCycles::s_wnd = nullptr;

// The counter sees the wrappers' objects: a detached handle shows as live.
TEST_F(GdiCycles, CounterSeesObjectsTheWrappersMake) {
    long base = uitest::LiveGdiObjects();
    HGDIOBJ h;
    {
        CPen p(PS_SOLID, 1, kRed);
        EXPECT_EQ(base + 1, uitest::LiveGdiObjects());
        h = p.Detach();
    }
    EXPECT_EQ(base + 1, uitest::LiveGdiObjects());
    DeleteObject(h);
    EXPECT_EQ(base, uitest::LiveGdiObjects());
}

TEST_P(GdiCycles, ReturnToTheBaselineAfterAThousand) {
    const CycleCase& c = GetParam();
    c.cycle(s_wnd);  // first use may create lasting objects (caches); not counted
    CWnd::DeleteTempMap();
    long base = uitest::LiveGdiObjects();
    long baseDCs = uitest::LiveWindowDCs();
    for (int i = 0; i < 1000; ++i) {
        c.cycle(s_wnd);
        if (i % 100 == 99) CWnd::DeleteTempMap();
    }
    CWnd::DeleteTempMap();
    EXPECT_EQ(base, uitest::LiveGdiObjects());
    EXPECT_EQ(baseDCs, uitest::LiveWindowDCs());
}

INSTANTIATE_TEST_SUITE_P(
    Wrappers, GdiCycles,
    ::testing::Values(CycleCase{"Pen", [](CWnd*) { CPen p(PS_SOLID, 2, kRed); }},
                      CycleCase{"PenRecreated",
                                [](CWnd*) {
                                    CPen p;
                                    p.CreatePen(PS_SOLID, 1, kRed);
                                    p.CreatePen(PS_DASH, 1, kBlue);  // the first one goes
                                }},
                      CycleCase{"SolidBrush", [](CWnd*) { CBrush b(kBlue); }},
                      CycleCase{"HatchBrush", [](CWnd*) { CBrush b(HS_DIAGCROSS, kBlue); }},
                      CycleCase{"PatternBrush",
                                [](CWnd*) {
                                    CBitmap bm;
                                    WORD rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
                                    bm.CreateBitmap(8, 8, 1, 1, rows);
                                    CBrush b(&bm);
                                }},
                      CycleCase{"FontCreateFont",
                                [](CWnd*) {
                                    CFont f;
                                    f.CreateFont(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, HANGUL_CHARSET, 0,
                                                 0, 0, 0, "돋움");
                                }},
                      CycleCase{"FontIndirect",
                                [](CWnd*) {
                                    LOGFONTA lf = {};
                                    lf.lfHeight = -14;
                                    lstrcpyA(lf.lfFaceName, "Arial");
                                    CFont f;
                                    f.CreateFontIndirect(&lf);
                                }},
                      CycleCase{"FontPoint",
                                [](CWnd*) {
                                    CFont f;
                                    f.CreatePointFont(90, "Arial");
                                }},
                      CycleCase{"Bitmap",
                                [](CWnd*) {
                                    CBitmap b;
                                    b.CreateBitmap(16, 16, 1, 32, nullptr);
                                }},
                      CycleCase{"CompatibleBitmapInMemoryDC",
                                [](CWnd* w) {
                                    CClientDC screen(w);
                                    CDC mem;
                                    mem.CreateCompatibleDC(&screen);
                                    CBitmap b;
                                    b.CreateCompatibleBitmap(&screen, 20, 10);
                                    CBitmap* old = mem.SelectObject(&b);
                                    mem.FillSolidRect(0, 0, 20, 10, kRed);
                                    screen.BitBlt(0, 0, 20, 10, &mem, 0, 0, SRCCOPY);
                                    mem.SelectObject(old);
                                }},
                      CycleCase{"Regions",
                                [](CWnd*) {
                                    CRgn a, b, c;
                                    a.CreateRectRgn(0, 0, 10, 10);
                                    b.CreateEllipticRgn(5, 5, 20, 20);
                                    c.CreateRectRgn(0, 0, 0, 0);
                                    c.CombineRgn(&a, &b, RGN_OR);
                                }},
                      CycleCase{"ClipRegionSelected",
                                [](CWnd* w) {
                                    CClientDC dc(w);
                                    CRgn r;
                                    r.CreateRoundRectRgn(0, 0, 20, 20, 4, 4);
                                    dc.SelectClipRgn(&r);
                                    dc.FillSolidRect(0, 0, 40, 30, kGreen);
                                    dc.SelectClipRgn(nullptr);
                                }},
                      CycleCase{"ClientDCWithSelections",
                                [](CWnd* w) {
                                    CClientDC dc(w);
                                    CPen pen(PS_SOLID, 1, kRed);
                                    CBrush br(kBlue);
                                    CFont font;
                                    font.CreatePointFont(80, "Arial", &dc);
                                    CPen* op = dc.SelectObject(&pen);
                                    CBrush* ob = dc.SelectObject(&br);
                                    CFont* of = dc.SelectObject(&font);
                                    dc.Rectangle(1, 1, 10, 10);
                                    dc.TextOut(0, 0, CString("x"));
                                    dc.SelectObject(op);
                                    dc.SelectObject(ob);
                                    dc.SelectObject(of);
                                }},
                      CycleCase{"WindowDC",
                                [](CWnd* w) {
                                    CWindowDC dc(w);
                                    dc.SetPixel(0, 0, kRed);
                                }},
                      CycleCase{"GetDCReleaseDC",
                                [](CWnd* w) {
                                    CDC* dc = w->GetDC();
                                    dc->SelectStockObject(BLACK_PEN);
                                    w->ReleaseDC(dc);
                                }},
                      CycleCase{"PaintDC",
                                [](CWnd* w) {
                                    w->Invalidate(FALSE);
                                    w->UpdateWindow();
                                }},
                      CycleCase{"SaveRestoreWithStockObjects",
                                [](CWnd* w) {
                                    CClientDC dc(w);
                                    int saved = dc.SaveDC();
                                    dc.SelectStockObject(NULL_BRUSH);
                                    dc.SelectStockObject(DEFAULT_GUI_FONT);
                                    dc.RestoreDC(saved);
                                }},
                      CycleCase{"TemporaryWrappers",
                                [](CWnd* w) {
                                    CBrush::FromHandle((HBRUSH)GetStockObject(GRAY_BRUSH));
                                    CGdiObject::FromHandle(GetStockObject(SYSTEM_FONT));
                                    CDC* dc = w->GetDC();
                                    dc->GetCurrentFont();
                                    dc->GetCurrentBitmap();
                                    w->ReleaseDC(dc);
                                }},
                      CycleCase{"StockAndSystemObjects",
                                [](CWnd*) {
                                    CBrush sys;
                                    sys.CreateSysColorBrush(COLOR_WINDOW);
                                    CGdiObject stock;
                                    stock.CreateStockObject(WHITE_PEN);
                                }},
                      CycleCase{"DetachedAndDeleted",
                                [](CWnd*) {
                                    CBrush b(kRed);
                                    DeleteObject(b.Detach());
                                }}),
    [](const ::testing::TestParamInfo<CycleCase>& i) { return std::string(i.param.name); });

}  // namespace
