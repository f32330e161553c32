// The grid window: its class and creation, the notifications its owner gets
// in both modes, the scroll bars and scroll codes, the wheel, and painting
// checked as colours at points of a memory DC and of the screen.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "theme_grid_scene.h"

using gridtest::GridScene;
using gridtest::HeldKeys;
using gridtest::kColWidth;
using gridtest::kRowHeight;
using gridtest::Note;

namespace {

TEST(GridWindow, CreatesItsOwnClassWithTheGridFont) {
    GridScene s;
    char cls[64] = {};
    GetClassNameA(s.grid.m_hWnd, cls, sizeof cls);
    EXPECT_STREQ(GRID_CLASSNAME, cls);
    WNDCLASSA wc = {};
    ASSERT_TRUE(GetClassInfoA(AfxGetInstanceHandle(), GRID_CLASSNAME, &wc));
    EXPECT_EQ(UINT(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW), wc.style);
    // The window font is the grid font: "돋움" at the font size.
    LOGFONTA lf = {};
    HFONT hFont = reinterpret_cast<HFONT>(s.grid.SendMessage(WM_GETFONT));
    ASSERT_NE(nullptr, hFont);
    GetObjectA(hFont, sizeof lf, &lf);
    EXPECT_EQ(12, lf.lfHeight);
    EXPECT_EQ(lf.lfHeight, s.grid.GetLogFont().lfHeight);
    // A second grid reuses the registered class.
    gridtest::TestGrid second(2, 2);
    EXPECT_TRUE(second.Create(CRect(0, 0, 50, 50), s.stage.parentWnd(), 99));
    second.DestroyWindow();
}

TEST(GridWindow, MadeByItsRunTimeClassName) {
    const CRuntimeClass* rc = RUNTIME_CLASS(CThemeGrid);
    EXPECT_STREQ("CThemeGrid", rc->m_lpszClassName);
    EXPECT_TRUE(rc->IsDerivedFrom(rc));
    CObject* made = rc->CreateObject();
    ASSERT_NE(nullptr, made);
    CThemeGrid* grid = static_cast<CThemeGrid*>(static_cast<CWnd*>(made));
    EXPECT_EQ(0, grid->GetRowCount());
    EXPECT_EQ(0, grid->GetColumnCount());
    delete grid;
}

TEST(GridWindow, CreationGivesEveryLineTheMeasuredDefaultSize) {
    themetest::SkinStage stage;
    gridtest::TestGrid grid(3, 2, 1, 0);
    grid.SetRowHeight(1, 77);  // replaced at creation
    ASSERT_TRUE(grid.Create(CRect(0, 0, 200, 100), stage.parentWnd(), 5));
    const int rowHeight = grid.GetDefaultRowHeight();
    EXPECT_GT(rowHeight, 2 * grid.Margin());
    for (int r = 0; r < 3; ++r) EXPECT_EQ(rowHeight, grid.GetRowHeight(r)) << r;
    for (int c = 0; c < 2; ++c) EXPECT_EQ(grid.GetDefaultColumnWidth(), grid.GetColumnWidth(c));
    grid.DestroyWindow();
}

// Each case acts on a fresh 8 x 5 grid (one fixed row and column) and lists
// what the owner receives, in normal and in list-view mode.
TEST(GridWindow, NotificationTable) {
    struct Case {
        const char* name;
        std::function<void(GridScene&)> prepare;  // before the log is cleared
        std::function<void(GridScene&)> act;
        std::vector<Note> normal;
        std::vector<Note> listView;
    };
    auto focus22 = [](GridScene& s) { s.grid.SetFocusCell(2, 2); };
    const std::vector<Case> cases = {
        {"click on a normal cell", nullptr, [](GridScene& s) { s.Click(2, 2); },
         {{-101, 2, 2}, {0x201, 2, 2}},
         {{-2, 2, 2}}},
        {"press on a fixed-row cell", nullptr, [](GridScene& s) { s.Click(0, 3); },
         {{-101, 1, 3}, {-108, 0, 3}, {0x201, 1, 3}},
         {{-2, 1, 3}}},
        {"double click (not editable)", [](GridScene& s) { s.grid.SetEditable(FALSE); },
         [](GridScene& s) {
             const POINT p = s.Centre(2, 2);
             s.Press(p);
             s.Release(p);
             s.Send(WM_LBUTTONDBLCLK, p, MK_LBUTTON);
             s.Release(p);
         },
         {{-101, 2, 2}, {0x201, 2, 2}, {0x203, 2, 2}, {0x201, 2, 2}},
         {{-2, 2, 2}, {-3, 2, 2}, {-2, 2, 2}}},
        {"right press and release", nullptr,
         [](GridScene& s) {
             const POINT p = s.Centre(3, 1);
             s.Send(WM_RBUTTONDOWN, p, MK_RBUTTON);
             s.Send(WM_RBUTTONUP, p);
         },
         {{-101, 3, 1}, {0x204, 3, 1}, {-100, 3, 1}},
         {{-5, 3, 1}}},
        {"right double click", nullptr,
         [](GridScene& s) { s.Send(WM_RBUTTONDBLCLK, s.Centre(3, 1), MK_RBUTTON); },
         {},
         {{-6, 3, 1}}},
        {"arrow moves the focus", focus22, [](GridScene& s) { s.Key(VK_RIGHT); },
         {{-100, 2, 2}, {-101, 2, 3}},
         {}},
        {"Delete on an editable cell", focus22, [](GridScene& s) { s.Key(VK_DELETE); },
         {{-105, 2, 2}, {-106, 2, 2}},
         {{-105, 2, 2}, {-106, 2, 2}}},
        {"release outside every cell", nullptr,
         [](GridScene& s) {
             const POINT p = {370, 270};
             s.Press(p);
             s.Release(p);
         },
         {},
         {}},
    };
    for (const Case& c : cases)
        for (BOOL listView : {FALSE, TRUE}) {
            GridScene s;
            s.grid.SetListViewMode(listView);
            if (c.prepare) c.prepare(s);
            s.notes.clear();
            c.act(s);
            const std::vector<Note>& want = listView ? c.listView : c.normal;
            EXPECT_EQ(want, s.notes) << c.name << (listView ? " (list view)" : " (normal)")
                                     << ": got " << gridtest::Describe(s.notes);
        }
}

TEST(GridWindow, NotificationsNeedAnOwnerWindow) {
    // A grid whose owner went away drops its notifications instead of
    // sending them to a stale handle.
    GridScene s;
    s.grid.SetFocusCell(2, 2);
    s.notes.clear();
    s.grid.NotifyParent(2, 2, -105);
    ASSERT_EQ(1u, s.notes.size());
    gridtest::TestGrid orphan(3, 3, 1, 1);
    orphan.NotifyParent(1, 1, -105);  // no window: nothing to send from
    EXPECT_EQ(1u, s.notes.size());
}

// The tip covers the client area and follows its size, except to a side
// of 7 pixels or less.
TEST(GridWindow, ToolTipFollowsTheSize) {
    GridScene s;
    s.grid.SetToolTipText("tip");
    ASSERT_NE(nullptr, s.grid.GetToolTip().GetSafeHwnd());
    auto toolRect = [&] {
        TTTOOLINFOA ti = {};
        EXPECT_TRUE(s.grid.GetToolTip().GetToolInfo(&ti, &s.grid, (UINT_PTR)s.grid.m_hWnd));
        return CRect(ti.rect);
    };
    auto client = [&] {
        CRect rc;
        s.grid.GetClientRect(&rc);
        return rc;
    };
    EXPECT_EQ(client(), toolRect());
    struct Case {
        int w, h;
        bool follows;
    };
    for (const Case& c : {Case{200, 100, true}, Case{7, 100, false}, Case{100, 7, false},
                          Case{8, 100, true}, Case{300, 150, true}}) {
        const CRect before = toolRect();
        s.grid.MoveWindow(0, 0, c.w, c.h);
        EXPECT_EQ(c.follows ? client() : before, toolRect()) << c.w << "x" << c.h;
    }
    s.grid.SetToolTipText("other");
    EXPECT_STREQ("other", s.grid.GetToolTip().GetText());
}

// The bars' ranges for grids of 20-pixel rows and 60-pixel columns in a
// 380 x 280 window.
TEST(GridWindow, ScrollMaxima) {
    struct Case {
        const char* name;
        int rows, cols, fixedRows, fixedCols;
        int hMax, vMax;
    };
    const Case cases[] = {
        {"fits both ways", 5, 3, 1, 1, 0, 0},
        {"30 rows: vertical only", 30, 3, 1, 1, 0, 29 * kRowHeight - 1},
        {"12 columns: horizontal only", 5, 12, 1, 1, 11 * kColWidth - 1, 0},
        {"both, two fixed rows", 30, 12, 2, 1, 11 * kColWidth - 1, 28 * kRowHeight - 1},
        {"all rows fixed", 30, 12, 30, 1, 0, 0},
        {"all columns fixed", 30, 12, 1, 12, 0, 0},
    };
    for (const Case& c : cases) {
        GridScene s(c.rows, c.cols, c.fixedRows, c.fixedCols);
        int lo = -1, hi = -1;
        GetScrollRange(s.grid.m_hWnd, SB_HORZ, &lo, &hi);
        EXPECT_EQ(0, lo) << c.name;
        EXPECT_EQ(c.hMax, hi) << c.name;
        GetScrollRange(s.grid.m_hWnd, SB_VERT, &lo, &hi);
        EXPECT_EQ(0, lo) << c.name;
        EXPECT_EQ(c.vMax, hi) << c.name;
    }
}

// Scroll codes sent to the window, the bar's position after each.
TEST(GridWindow, ScrollCodes) {
    struct Step {
        UINT msg;
        int code;
        int pos;  // -1: the bar's largest position; -2: the non-fixed client extent
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases = {
        {"line down, line up", {{WM_VSCROLL, SB_LINEDOWN, 20}, {WM_VSCROLL, SB_LINEUP, 0}}},
        {"line up at the top stays", {{WM_VSCROLL, SB_LINEUP, 0}}},
        {"bottom, then top", {{WM_VSCROLL, SB_BOTTOM, -1}, {WM_VSCROLL, SB_TOP, 0}}},
        {"bottom, then line down stays", {{WM_VSCROLL, SB_BOTTOM, -1}, {WM_VSCROLL, SB_LINEDOWN, -1}}},
        {"column right, left", {{WM_HSCROLL, SB_LINERIGHT, 60}, {WM_HSCROLL, SB_LINELEFT, 0}}},
        {"page right, then clamped to the end",
         {{WM_HSCROLL, SB_PAGERIGHT, -2}, {WM_HSCROLL, SB_PAGERIGHT, -1}}},
        {"page down, page up", {{WM_VSCROLL, SB_PAGEDOWN, -2}, {WM_VSCROLL, SB_PAGEUP, 0}}},
    };
    for (const Case& c : cases) {
        GridScene s(40, 12, 1, 1);
        for (const Step& st : c.steps) {
            s.grid.SendMessage(st.msg, MAKEWPARAM(st.code, 0), 0);
            const int bar = st.msg == WM_VSCROLL ? SB_VERT : SB_HORZ;
            SCROLLINFO si = {};
            si.cbSize = sizeof si;
            si.fMask = SIF_ALL;
            GetScrollInfo(s.grid.m_hWnd, bar, &si);
            const int top = si.nMax - static_cast<int>(si.nPage) + 1;
            RECT client;
            GetClientRect(s.grid.m_hWnd, &client);
            const int extent = bar == SB_VERT ? client.bottom - kRowHeight : client.right - kColWidth;
            const int want = st.pos == -1 ? top : st.pos == -2 ? extent : st.pos;
            EXPECT_EQ(want, si.nPos) << c.name << " code " << st.code;
        }
    }
}

TEST(GridWindow, ScrolledRowsMoveUnderTheFixedRow) {
    // Row 3 selected; one line down brings it one row nearer the header.
    GridScene s(40, 5, 1, 1);
    s.grid.SelectRange(3, 1, 3, 4);
    const COLORREF hi = GetSysColor(COLOR_HIGHLIGHT);
    auto shot = themetest::Shot(s.grid.m_hWnd);
    const int x = kColWidth + 30;
    EXPECT_EQ(hi, shot.At(x, 3 * kRowHeight + 10));
    s.grid.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    shot = themetest::Shot(s.grid.m_hWnd);
    EXPECT_EQ(hi, shot.At(x, 2 * kRowHeight + 10));
    EXPECT_NE(hi, shot.At(x, 3 * kRowHeight + 10));
    RECT r;
    ASSERT_TRUE(s.grid.GetCellRect(3, 1, &r));
    EXPECT_EQ(2 * kRowHeight, r.top);
    EXPECT_FALSE(s.grid.GetCellRect(1, 1, &r));  // scrolled out above
}

// Points of the client area and the cells under them, with the view
// scrolled one row down and one column right.
TEST(GridWindow, GeometryAfterScrolling) {
    GridScene s(40, 12, 1, 1);
    s.grid.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    s.grid.SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
    struct Case {
        const char* name;
        POINT pt;
        BOOL allowFixed;
        int row, col;
    };
    const Case cases[] = {
        {"top-left fixed cell", {5, 5}, TRUE, 0, 0},
        {"fixed cells not allowed", {5, 5}, FALSE, -1, -1},
        {"first cell on screen", {65, 25}, TRUE, 2, 2},
        {"fixed column of a body row", {10, 45}, TRUE, 3, 0},
        {"left of the client", {-1, 25}, TRUE, 2, -1},
        {"sixth column on screen", {60 + 5 * kColWidth + 2, 25}, TRUE, 2, 7},
    };
    for (const Case& c : cases) {
        const CThemeGridCellId id = s.grid.GetCellFromPt(c.pt, c.allowFixed);
        EXPECT_EQ(CThemeGridCellId(c.row, c.col), id) << c.name << ": " << id.row << "," << id.col;
    }
    EXPECT_EQ(CRect(kColWidth, kRowHeight, 2 * kColWidth - 1, 2 * kRowHeight - 1), s.Rect(2, 2));
    EXPECT_FALSE(s.grid.IsCellVisible(1, 1));
    EXPECT_TRUE(s.grid.IsCellVisible(0, 2));
    RECT r;
    EXPECT_FALSE(s.grid.GetCellRect(2, 1, &r)) << "scrolled out to the left";
}

TEST(GridWindow, WheelPostsScrollMessages) {
    struct Case {
        const char* name;
        int lines;
        short delta;
        int code;
        size_t count;
    };
    const Case cases[] = {
        {"two notches up at 3 lines", 3, 240, SB_LINEUP, 6},
        {"one notch down at 3 lines", 3, -120, SB_LINEDOWN, 3},
        {"two notches up, page per notch", -1, 240, SB_PAGEUP, 2},
        {"one notch down, page per notch", -1, -120, SB_PAGEDOWN, 1},
        {"less than a notch", 3, 30, SB_LINEUP, 0},
    };
    for (const Case& c : cases) {
        GridScene s(40, 5);
        s.grid.SetWheelLines(c.lines);
        s.grid.vscrolls.clear();
        s.grid.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(c.delta)),
                           MAKELPARAM(150, 150));
        uitest::PumpFor(20);
        EXPECT_EQ(c.count, s.grid.vscrolls.size()) << c.name;
        for (int code : s.grid.vscrolls) EXPECT_EQ(c.code, code) << c.name;
    }
}

TEST(GridWindow, WheelLinesComeFromTheUserSetting) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr,
                                             0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    char old[130] = {};
    DWORD oldSize = 128, type = 0;
    const bool hadOld =
        RegQueryValueExA(key, "WheelScrollLines", nullptr, &type, (LPBYTE)old, &oldSize) ==
        ERROR_SUCCESS;
    struct Case {
        const char* value;
        int lines;
    };
    for (const Case& c : {Case{"7", 7}, Case{"-1", -1}, Case{"x", 3}}) {
        RegSetValueExA(key, "WheelScrollLines", 0, REG_SZ, (const BYTE*)c.value,
                       (DWORD)strlen(c.value) + 1);
        gridtest::TestGrid g(1, 1);
        EXPECT_EQ(c.lines, g.GetWheelLines()) << c.value;
    }
    if (hadOld)
        RegSetValueExA(key, "WheelScrollLines", 0, type, (const BYTE*)old, oldSize);
    else
        RegDeleteValueA(key, "WheelScrollLines");
    RegCloseKey(key);
}

// ---- painting

// A 32-bit picture of what OnDraw paints into a memory DC of w x h.
uitest::Picture DrawToMemory(CThemeGrid& grid, int w, int h) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    CDC dc;
    dc.Attach(CreateCompatibleDC(screen));
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc.m_hDC, dib);
    grid.OnDraw(&dc);
    GdiFlush();
    uitest::Picture p;
    p.width = w;
    p.height = h;
    const auto* px = static_cast<const uint32_t*>(bits);
    p.pixels.assign(px, px + w * h);
    SelectObject(dc.m_hDC, old);
    DeleteObject(dib);
    return p;
}

struct PaintScene : GridScene {
    PaintScene() : GridScene(6, 5, 1, 1) {
        grid.SetFixedFrameLTColor(RGB(255, 0, 0));
        grid.SetFixedFrameRBColor(RGB(0, 0, 255));
        grid.SetFixedBackColor(RGB(200, 200, 200));
    }
};

TEST(GridPaint, BacksAndGridLines) {
    PaintScene s;
    const auto p = DrawToMemory(s.grid, 380, 280);
    const CRect body = s.Rect(2, 2);
    EXPECT_EQ(RGB(0xFF, 0xFF, 0xE0), p.At(body.left + 10, body.top + 5)) << "normal back";
    EXPECT_EQ(COLORREF(0xE0FFFF), p.At(body.left + 10, body.top + 5));
    // Five columns of 60 end at 300; right of them is the outside back.
    EXPECT_EQ(s.grid.GetBackColor(), p.At(340, 50));
    EXPECT_EQ(GetSysColor(COLOR_3DSHADOW), p.At(340, 50));
    // Below the six rows (120 pixels) too.
    EXPECT_EQ(s.grid.GetBackColor(), p.At(100, 200));
    // Grid lines: the last pixel column and row of each normal cell.
    const COLORREF line = RGB(0xC0, 0xC0, 0xC0);
    EXPECT_EQ(line, p.At(body.right, body.top + 5)) << "vertical line";
    EXPECT_EQ(line, p.At(body.left + 10, body.bottom)) << "horizontal line";
    // None over the fixed cells: the header's own frame is there.
    const CRect head = s.Rect(0, 2);
    EXPECT_EQ(RGB(0, 0, 255), p.At(head.right, head.top + 5));
    const CRect side = s.Rect(3, 0);
    EXPECT_EQ(RGB(0, 0, 255), p.At(side.left + 10, side.bottom));
    // Only vertical lines when asked.
    s.grid.SetGridLines(GRID_LINES_VERT);
    const auto v = DrawToMemory(s.grid, 380, 280);
    EXPECT_EQ(line, v.At(body.right, body.top + 5));
    EXPECT_EQ(RGB(0xFF, 0xFF, 0xE0), v.At(body.left + 10, body.bottom));
}

// Pixels of a rectangle leaning to one primary colour: text smoothed
// against the light back keeps that channel high and the other two low.
int CountNear(const uitest::Picture& p, const CRect& r, COLORREF c) {
    return themetest::Count(p, r, [c](COLORREF px) {
        const int ch[3] = {GetRValue(px), GetGValue(px), GetBValue(px)};
        const int want[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
        for (int i = 0; i < 3; ++i)
            if (want[i] ? ch[i] < 150 : ch[i] > 160) return false;
        return true;
    });
}

TEST(GridPaint, TextColours) {
    struct Case {
        const char* name;
        COLORREF cell;      // the cell's own text colour
        COLORREF expected;  // what its text is drawn in
        COLORREF absent;
    };
    const COLORREF gridRed = RGB(255, 0, 0), blue = RGB(0, 0, 255);
    const Case cases[] = {
        {"default colour means the grid's", GRID_COLOR_DEFAULT, gridRed, blue},
        {"own colour", blue, blue, gridRed},
    };
    for (const Case& c : cases) {
        PaintScene s;
        s.grid.SetFontColor(gridRed);
        s.grid.SetItemText(2, 2, "MMMM");
        s.grid.SetItemTextColor(2, 2, c.cell);
        // The cell's own back colour is never used by a normal cell.
        s.grid.SetItemBackColor(2, 2, RGB(0, 255, 0));
        const auto p = DrawToMemory(s.grid, 380, 280);
        const CRect r = s.Rect(2, 2);
        EXPECT_GT(CountNear(p, r, c.expected), 5) << c.name;
        EXPECT_EQ(0, CountNear(p, r, c.absent)) << c.name;
        EXPECT_EQ(0, CountNear(p, r, RGB(0, 255, 0))) << c.name;
    }
}

TEST(GridPaint, CellLooks) {
    struct Case {
        const char* name;
        std::function<void(CThemeGrid&)> set;
        COLORREF corner;    // the cell's top-left pixel
        COLORREF interior;  // a pixel well inside
    };
    const COLORREF back = RGB(0xFF, 0xFF, 0xE0), black = RGB(0, 0, 0);
    const COLORREF hi = GetSysColor(COLOR_HIGHLIGHT);
    const std::vector<Case> cases = {
        {"plain", [](CThemeGrid&) {}, back, back},
        {"focus: black frame", [](CThemeGrid& g) { g.SetFocusCell(2, 2); }, black, back},
        {"selected: highlight",
         [](CThemeGrid& g) { g.SetItemState(2, 2, GRID_STATE_SELECTED); }, hi, hi},
        {"drop target: black frame",
         [](CThemeGrid& g) { g.SetItemState(2, 2, GRID_STATE_DROPHILITED); }, black, back},
        {"back-colour callback that asks to erase",
         [](CThemeGrid& g) {
             g.SetBackColorCallback([](HWND owner, int r, int c, COLORREF* colour) {
                 *colour = IsWindow(owner) && r == 2 && c == 2 ? RGB(0, 255, 0) : *colour;
                 return 1;
             });
         },
         RGB(0, 255, 0), RGB(0, 255, 0)},
        {"callback colour without erasing is not painted",
         [](CThemeGrid& g) {
             g.SetBackColorCallback([](HWND, int, int, COLORREF* colour) {
                 *colour = RGB(0, 255, 0);
                 return 0;
             });
         },
         back, back},
        {"focus wins over selection",
         [](CThemeGrid& g) {
             g.SetItemState(2, 2, GRID_STATE_SELECTED);
             g.SetFocusCell(2, 2);
         },
         black, back},
    };
    for (const Case& c : cases) {
        PaintScene s;
        c.set(s.grid);
        const auto p = DrawToMemory(s.grid, 380, 280);
        const CRect r = s.Rect(2, 2);
        EXPECT_EQ(c.corner, p.At(r.left, r.top)) << c.name;
        EXPECT_EQ(c.interior, p.At(r.left + 30, r.top + 10)) << c.name;
    }
}

TEST(GridPaint, CheckBoxValues) {
    struct Case {
        int image;
        bool checked;
    };
    for (const Case& c : {Case{-1, false}, Case{0, false}, Case{1, true}, Case{2, true}, Case{5, true}}) {
        PaintScene s;
        s.grid.SetItemImage(2, 2, c.image);
        const auto p = DrawToMemory(s.grid, 380, 280);
        const CRect r = s.Rect(2, 2);
        // The box: one pixel in from the margin, 11 pixels, centred vertically.
        const int left = r.left + s.grid.Margin() + 1;
        const int top = r.top + (r.Height() - 11) / 2;
        const COLORREF centre = p.At(left + 5, top + 5);
        if (c.image < 0) {
            EXPECT_EQ(RGB(0xFF, 0xFF, 0xE0), centre) << "no box";
            continue;
        }
        EXPECT_EQ(RGB(0, 0, 0), p.At(left, top + 5)) << "left edge " << c.image;
        EXPECT_EQ(RGB(0xC0, 0xC0, 0xC0), p.At(left + 11, top + 5)) << "right edge " << c.image;
        EXPECT_EQ(c.checked ? RGB(0, 0, 0) : RGB(255, 255, 255), centre) << "value " << c.image;
        EXPECT_EQ(RGB(255, 255, 255), p.At(left + 5, top + 1)) << "inside the box " << c.image;
    }
}

TEST(GridPaint, HeadersRaisedOrSunkenInTheFocusLines) {
    PaintScene s;
    s.grid.SetFocusCell(2, 2);
    const auto p = DrawToMemory(s.grid, 380, 280);
    struct Case {
        const char* name;
        int row, col;
        bool sunken;
    };
    const Case cases[] = {
        {"column header of another column", 0, 3, false},
        {"row header of another row", 4, 0, false},
        {"top-left corner", 0, 0, false},
        {"column header of the focus column", 0, 2, true},
        {"row header of the focus row", 2, 0, true},
    };
    for (const Case& c : cases) {
        const CRect r = s.Rect(c.row, c.col);
        const COLORREF top = p.At(r.left + 10, r.top), left = p.At(r.left, r.top + 5);
        const COLORREF right = p.At(r.right, r.top + 5), bottom = p.At(r.left + 10, r.bottom);
        if (!c.sunken) {
            EXPECT_EQ(RGB(255, 0, 0), top) << c.name;
            EXPECT_EQ(RGB(255, 0, 0), left) << c.name;
            EXPECT_EQ(RGB(0, 0, 255), right) << c.name;
            EXPECT_EQ(RGB(0, 0, 255), bottom) << c.name;
        } else {
            EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), top) << c.name;
            EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), left) << c.name;
            EXPECT_NE(RGB(0, 0, 255), right) << c.name;
            EXPECT_NE(RGB(0, 0, 255), bottom) << c.name;
        }
        EXPECT_EQ(RGB(200, 200, 200), p.At(r.left + 3, r.top + 3)) << c.name;
    }
}

TEST(GridPaint, HeaderTextIsBoldInTheFocusLines) {
    PaintScene s;
    s.grid.SetFixedFontColor(RGB(0, 0, 0));
    s.grid.SetItemText(0, 2, "MMMM");
    s.grid.SetItemText(0, 3, "MMMM");
    const CRect r2 = s.Rect(0, 2), r3 = s.Rect(0, 3);
    auto ink = [&](const uitest::Picture& p, const CRect& r) {
        return themetest::Count(p, CRect(r.left + 2, r.top + 2, r.right - 1, r.bottom - 1),
                                themetest::NearColor(RGB(0, 0, 0), 100));
    };
    const auto before = DrawToMemory(s.grid, 380, 280);
    EXPECT_EQ(ink(before, r2), ink(before, r3));
    s.grid.SetFocusCell(3, 2);
    const auto after = DrawToMemory(s.grid, 380, 280);
    EXPECT_GT(ink(after, r2), ink(after, r3)) << "weight 600 in the focus column";
}

TEST(GridPaint, HeaderGroupCaptionOverTheUpperHalf) {
    PaintScene s;
    for (int r = 0; r < 6; ++r) s.grid.SetRowHeight(r, 40);
    const UINT cols[] = {2, 3};
    s.grid.AddHeaderGroup(cols, 2, "");
    const auto p = DrawToMemory(s.grid, 380, 280);
    const CRect r2 = s.Rect(0, 2);
    // The cell is drawn in its lower half: its raised top edge sits halfway.
    const int lowerTop = r2.top + 1 + (r2.bottom - r2.top) / 2;
    EXPECT_EQ(RGB(255, 0, 0), p.At(r2.left + 10, lowerTop));
    // The caption box spans both columns, framed in the system colours.
    EXPECT_EQ(GetSysColor(COLOR_3DHILIGHT), p.At(r2.left + 10, r2.top));
    const CRect r3 = s.Rect(0, 3);
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), p.At(r3.right, r3.top + 5));
    EXPECT_EQ(RGB(200, 200, 200), p.At(r2.right, r2.top + 5)) << "no divider inside the caption";
}

TEST(GridPaint, DoubleBufferingOffPaintsTheSamePixels) {
    PaintScene s;
    s.grid.SetItemText(2, 2, "abc");
    s.grid.SetItemImage(3, 3, 1);
    s.grid.SetFocusCell(2, 2);
    s.grid.SelectRange(4, 1, 4, 3);
    s.grid.SetItemText(0, 1, "Head");
    s.grid.Invalidate();
    const auto buffered = themetest::Shot(s.grid.m_hWnd);
    s.grid.SetDoubleBuffering(FALSE);
    s.grid.Invalidate();
    const auto direct = themetest::Shot(s.grid.m_hWnd);
    ASSERT_FALSE(buffered.empty());
    ASSERT_EQ(buffered.width, direct.width);
    int differ = 0;
    for (size_t i = 0; i < buffered.pixels.size(); ++i) differ += buffered.pixels[i] != direct.pixels[i];
    EXPECT_EQ(0, differ);
    // And both agree with what OnDraw paints off screen.
    const auto memory = DrawToMemory(s.grid, direct.width, direct.height);
    int differMemory = 0;
    for (int y = 0; y < direct.height; ++y)
        for (int x = 0; x < direct.width; ++x) differMemory += memory.At(x, y) != direct.At(x, y);
    EXPECT_EQ(0, differMemory);
}

TEST(GridPaint, CheckBoxImagesReplaceTheDrawnBox) {
    // Two 12 x 12 frames: green unchecked, red checked, magenta corners
    // (colours the 8-bit list keeps as they are).
    const std::string path = themetest::WriteBmp("grid_checks.bmp", 24, 12, [](int x, int y) {
        if ((x % 12) < 2 && y < 2) return RGB(255, 0, 255);
        return x < 12 ? RGB(0, 255, 0) : RGB(255, 0, 0);
    });
    PaintScene s;
    ASSERT_TRUE(s.grid.LoadCheckBoxImages(path.c_str()));
    ASSERT_NE(nullptr, s.grid.GetImageList());
    EXPECT_EQ(2, s.grid.GetImageList()->GetImageCount());
    s.grid.SetItemImage(2, 2, 0);
    s.grid.SetItemImage(3, 2, 1);
    const auto p = DrawToMemory(s.grid, 380, 280);
    for (int row : {2, 3}) {
        const CRect r = s.Rect(row, 2);
        const int x = r.left + s.grid.Margin();
        const int y = r.top + (r.Height() - 12) / 2;
        EXPECT_TRUE(uitest::ColorNear(row == 2 ? RGB(0, 255, 0) : RGB(255, 0, 0), p.At(x + 6, y + 6), 8))
            << row << " " << themetest::Hex(p.At(x + 6, y + 6));
        EXPECT_EQ(RGB(0xFF, 0xFF, 0xE0), p.At(x, y)) << "masked corner " << row;
    }
    // A file of one pixel's width has no frames.
    const std::string thin = themetest::WriteBmp("grid_thin.bmp", 1, 4, [](int, int) { return 0; });
    EXPECT_FALSE(s.grid.LoadCheckBoxImages(thin.c_str()));
}

}  // namespace
