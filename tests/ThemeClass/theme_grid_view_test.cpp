// The grid's view: cells to pixels and back, scroll maxima and scroll codes,
// the wheel, the focus and the selection, mouse modes, the key table and the
// start of an edit, with the window's side recorded.
#include "ThemeClass/ThemeGridView.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct Notice {
    int row, col, code;
    bool operator==(const Notice& o) const {
        return row == o.row && col == o.col && code == o.code;
    }
};

// Ten rows and six columns, one fixed of each, with uneven sizes:
//   columns 40 30 50 20 60 35  -> x edges 0 40 70 120 140 200 235
//   rows    20 15 15 25 15 ... -> y edges 0 20 35 50 75 90 105 ... 165
class ViewGrid : public CThemeGridView {
public:
    explicit ViewGrid(SIZE clientSize = SIZE{150, 100}) : client(clientSize) {
        InitCounts(10, 6, 1, 1);
        const int widths[] = {40, 30, 50, 20, 60, 35};
        for (int c = 0; c < 6; ++c) SetColumnWidth(c, widths[c]);
        for (int r = 0; r < 10; ++r) SetRowHeight(r, r == 0 ? 20 : r == 3 ? 25 : 15);
        UpdateScrollBars();
    }
    SIZE client;
    std::vector<Notice> notices;
    std::vector<Notice> editors;  // code holds the key
    std::vector<int> sorts;
    int scrolls = 0;

    void Scrolled(int h, int v) {
        SetScrollPosition(GRID_BAR_HORZ, h);
        SetScrollPosition(GRID_BAR_VERT, v);
    }

protected:
    SIZE GetClientSize() const override { return client; }
    void NotifyParent(int row, int col, int code) override { notices.push_back({row, col, code}); }
    void OpenCellEditor(int row, int col, UINT key) override {
        editors.push_back({row, col, static_cast<int>(key)});
    }
    void OnHeaderSort(int col) override { sorts.push_back(col); }
    void OnScrolled(int, const GridScrollEffect& e) override { scrolls += e.changed; }
};

POINT Pt(int x, int y) { return POINT{x, y}; }

// Centre of a cell at the current scroll position.
POINT CentreOf(const ViewGrid& g, int row, int col) {
    RECT r;
    EXPECT_TRUE(g.GetCellRect(row, col, &r)) << row << "," << col;
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The selected map holds exactly the cells whose selected bit is set, and
// only the focus cell carries the focused bit.
void ExpectInvariant(const CThemeGridView& g, const std::string& where) {
    int bits = 0;
    for (int r = 0; r < g.GetRowCount(); ++r)
        for (int c = 0; c < g.GetColumnCount(); ++c) {
            const UINT s = g.GetItemState(r, c);
            if (s & GRID_STATE_SELECTED) {
                ++bits;
                ASSERT_TRUE(g.IsCellSelected(r, c)) << where << " " << r << "," << c;
            }
            const bool focus = g.GetFocusCell() == CThemeGridCellId(r, c);
            ASSERT_EQ(focus, (s & GRID_STATE_FOCUSED) != 0) << where << " " << r << "," << c;
        }
    ASSERT_EQ(bits, static_cast<int>(g.SelectedMap().size())) << where;
    for (const auto& e : g.SelectedMap()) ASSERT_TRUE(g.IsValid(e.second)) << where;
}

TEST(GridView, CellFromPoint) {
    struct Case {
        const char* name;
        int h, v;
        POINT pt;
        BOOL allowFixed;
        int row, col;
    } cases[] = {
        {"corner", 0, 0, Pt(0, 0), TRUE, 0, 0},
        {"last pixel of the corner", 0, 0, Pt(39, 19), TRUE, 0, 0},
        {"first normal cell", 0, 0, Pt(40, 20), TRUE, 1, 1},
        {"its last pixel", 0, 0, Pt(69, 34), TRUE, 1, 1},
        {"next cell on both edges", 0, 0, Pt(70, 35), TRUE, 2, 2},
        {"bottom right of the client", 0, 0, Pt(149, 99), TRUE, 5, 4},
        {"left of the grid", 0, 0, Pt(-1, 5), TRUE, 0, -1},
        {"above the grid", 0, 0, Pt(10, -1), TRUE, -1, 0},
        {"past the last column", 0, 0, Pt(300, 30), TRUE, 1, -1},
        {"past the last row", 0, 0, Pt(50, 500), TRUE, -1, 1},
        {"fixed column refused", 0, 0, Pt(10, 30), FALSE, 1, -1},
        {"fixed row refused", 0, 0, Pt(50, 10), FALSE, -1, 1},
        {"scrolled one column", 30, 0, Pt(45, 25), TRUE, 1, 2},
        {"fixed column stays put", 30, 0, Pt(10, 25), TRUE, 1, 0},
        {"scrolled both ways", 30, 15, Pt(50, 36), TRUE, 3, 2},
        {"mid-column position skips the column", 10, 0, Pt(45, 25), TRUE, 1, 2},
    };
    for (const Case& c : cases) {
        ViewGrid g;
        g.Scrolled(c.h, c.v);
        EXPECT_EQ(CThemeGridCellId(c.row, c.col), g.GetCellFromPt(c.pt, c.allowFixed)) << c.name;
    }
}

TEST(GridView, CellOriginAndRect) {
    struct Case {
        const char* name;
        int h, v, row, col;
        BOOL ok;
        RECT rect;
    } cases[] = {
        {"normal cell", 0, 0, 3, 2, TRUE, {70, 50, 119, 74}},
        {"fixed row cell", 0, 0, 0, 4, TRUE, {140, 0, 199, 19}},
        {"fixed column cell", 0, 0, 2, 0, TRUE, {0, 35, 39, 49}},
        {"scrolled out to the left", 30, 0, 1, 1, FALSE, {}},
        {"header of a scrolled-out column", 30, 0, 0, 1, FALSE, {}},
        {"fixed column when scrolled", 30, 0, 1, 0, TRUE, {0, 20, 39, 34}},
        {"scrolled cell", 30, 15, 3, 2, TRUE, {40, 35, 89, 59}},
        {"scrolled out above", 0, 15, 1, 3, FALSE, {}},
        {"row out of range", 0, 0, 10, 1, FALSE, {}},
        {"column out of range", 0, 0, 1, 6, FALSE, {}},
        {"negative", 0, 0, -1, -1, FALSE, {}},
    };
    for (const Case& c : cases) {
        ViewGrid g;
        g.Scrolled(c.h, c.v);
        RECT r = {-9, -9, -9, -9};
        ASSERT_EQ(c.ok, g.GetCellRect(c.row, c.col, &r)) << c.name;
        if (!c.ok) continue;
        EXPECT_EQ(c.rect.left, r.left) << c.name;
        EXPECT_EQ(c.rect.top, r.top) << c.name;
        EXPECT_EQ(c.rect.right, r.right) << c.name;
        EXPECT_EQ(c.rect.bottom, r.bottom) << c.name;
    }
    ViewGrid g;
    RECT r;
    ASSERT_TRUE(g.GetCellRangeRect(CThemeGridCellRange(1, 1, 3, 2), &r));
    EXPECT_EQ(40, r.left);
    EXPECT_EQ(20, r.top);
    EXPECT_EQ(119, r.right);
    EXPECT_EQ(74, r.bottom);
    // A check box takes 11 pixels off the text's left edge.
    g.SetItemImage(2, 2, 0);
    ASSERT_TRUE(g.GetTextRect(2, 2, &r));
    EXPECT_EQ(81, r.left);
    ASSERT_TRUE(g.GetTextRect(2, 3, &r));
    EXPECT_EQ(120, r.left);
}

TEST(GridView, VisibleRanges) {
    struct Case {
        const char* name;
        SIZE client;
        int h, v;
        int visible[4], full[4];
        RECT rect;
    } cases[] = {
        {"last row and column cut off",
         {150, 100},
         0,
         0,
         {1, 1, 5, 4},
         {1, 1, 4, 3},
         {0, 0, 150, 100}},
        {"edges exactly on the client",
         {140, 90},
         0,
         0,
         {1, 1, 4, 3},
         {1, 1, 4, 3},
         {0, 0, 140, 90}},
        {"all fits", {400, 400}, 0, 0, {1, 1, 9, 5}, {1, 1, 9, 5}, {0, 0, 235, 165}},
        {"scrolled", {150, 100}, 30, 15, {2, 2, 6, 4}, {2, 2, 5, 3}, {0, 0, 150, 100}},
        {"one cut-off cell is still the first",
         {50, 25},
         0,
         0,
         {1, 1, 1, 1},
         {1, 1, 1, 1},
         {0, 0, 50, 25}},
    };
    for (const Case& c : cases) {
        ViewGrid g(c.client);
        g.Scrolled(c.h, c.v);
        RECT r;
        const CThemeGridCellRange vis = g.GetVisibleNonFixedCellRange(&r);
        const CThemeGridCellRange full = g.GetUnobstructedNonFixedCellRange();
        EXPECT_EQ(c.visible[0], vis.GetMinRow()) << c.name;
        EXPECT_EQ(c.visible[1], vis.GetMinCol()) << c.name;
        EXPECT_EQ(c.visible[2], vis.GetMaxRow()) << c.name;
        EXPECT_EQ(c.visible[3], vis.GetMaxCol()) << c.name;
        EXPECT_EQ(c.full[2], full.GetMaxRow()) << c.name;
        EXPECT_EQ(c.full[3], full.GetMaxCol()) << c.name;
        EXPECT_EQ(c.rect.right, r.right) << c.name;
        EXPECT_EQ(c.rect.bottom, r.bottom) << c.name;
    }
}

TEST(GridView, Dividers) {
    struct Case {
        const char* name;
        int h;
        POINT pt;
        BOOL onCol, onRow;
        int sizeCol, sizeRow;
    } cases[] = {
        {"just right of a column divider", 0, Pt(72, 5), TRUE, FALSE, 1, 0},
        {"capture range right of it", 0, Pt(73, 5), TRUE, FALSE, 1, 0},
        {"just past the capture range", 0, Pt(74, 5), FALSE, FALSE, 2, 0},
        {"just left of a column divider", 0, Pt(68, 5), TRUE, FALSE, 1, 0},
        {"middle of a header", 0, Pt(55, 5), FALSE, FALSE, 1, 0},
        {"below the header rows", 0, Pt(72, 25), FALSE, FALSE, 1, 1},
        {"left edge of the grid divides nothing", 0, Pt(2, 5), FALSE, FALSE, -1, 0},
        {"scrolled: left of it is the fixed column", 30, Pt(42, 5), TRUE, FALSE, 0, 0},
        {"row divider in the fixed column", 0, Pt(5, 37), FALSE, TRUE, 0, 1},
        {"above a row divider", 0, Pt(5, 33), FALSE, TRUE, 0, 1},
        {"middle of a row header", 0, Pt(5, 27), FALSE, FALSE, 0, 1},
        {"row divider outside the fixed column", 0, Pt(50, 37), FALSE, FALSE, 1, 1},
    };
    for (const Case& c : cases) {
        ViewGrid g;
        g.Scrolled(c.h, 0);
        EXPECT_EQ(c.onCol, g.IsOnColumnDivider(c.pt)) << c.name;
        EXPECT_EQ(c.onRow, g.IsOnRowDivider(c.pt)) << c.name;
        EXPECT_EQ(c.sizeCol, g.ColumnToSize(c.pt)) << c.name;
        EXPECT_EQ(c.sizeRow, g.RowToSize(c.pt)) << c.name;
    }
}

TEST(GridView, ScrollMaxima) {
    struct Case {
        const char* name;
        SIZE client;
        int fixedRows;
        int hMax, vMax, hPage, vPage;
    } cases[] = {
        // Visible width 150 - 40; height 100 + 16 - 20. Scrollable 195 x 145.
        {"content larger than the client", {150, 100}, 1, 194, 144, 110, 96},
        {"content fits", {400, 400}, 1, 0, 0, 360, 396},
        {"all rows fixed", {150, 100}, 10, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        ViewGrid g(c.client);
        g.SetFixedRowCount(c.fixedRows);
        g.UpdateScrollBars();
        const GridScrollBars b = g.ComputeScrollBars();
        EXPECT_EQ(c.hMax, g.GetScrollMax(GRID_BAR_HORZ)) << c.name;
        EXPECT_EQ(c.vMax, g.GetScrollMax(GRID_BAR_VERT)) << c.name;
        EXPECT_EQ(c.hPage, b.hPage) << c.name;
        EXPECT_EQ(c.vPage, b.vPage) << c.name;
    }
}

TEST(GridView, ScrollCodes) {
    typedef GridScrollEffect E;
    struct Case {
        const char* name;
        int bar, start, track, code;
        int pos, shift;
        E::Repaint repaint;
        RECT rect;
        // clang-format off
    } cases[] = {
        // Horizontal: page 110, maximum 194, so positions end at 85.
        {"line right by the top-left width", GRID_BAR_HORZ, 0, 0, GRID_SCROLL_LINEDOWN, 30, -30, E::STRIP, {120, 0, 150, 100}},
        {"line right by the next width", GRID_BAR_HORZ, 30, 0, GRID_SCROLL_LINEDOWN, 80, -50, E::STRIP, {100, 0, 150, 100}},
        {"line right stops at the end", GRID_BAR_HORZ, 80, 0, GRID_SCROLL_LINEDOWN, 85, -20, E::STRIP, {130, 0, 150, 100}},
        {"line right at the end", GRID_BAR_HORZ, 85, 0, GRID_SCROLL_LINEDOWN, 85, 0, E::NOTHING, {}},
        {"line left by the width left of it", GRID_BAR_HORZ, 30, 0, GRID_SCROLL_LINEUP, 0, 30, E::ALL, {}},
        {"line left at the start", GRID_BAR_HORZ, 0, 0, GRID_SCROLL_LINEUP, 0, 0, E::NOTHING, {}},
        {"page left", GRID_BAR_HORZ, 30, 0, GRID_SCROLL_PAGEUP, 0, 0, E::NON_FIXED, {40, 20, 150, 100}},
        {"page right", GRID_BAR_HORZ, 0, 0, GRID_SCROLL_PAGEDOWN, 85, 0, E::NON_FIXED, {40, 20, 150, 100}},
        {"thumb to another column", GRID_BAR_HORZ, 0, 50, GRID_SCROLL_THUMBTRACK, 50, 0, E::NON_FIXED, {40, 20, 150, 100}},
        {"thumb within the column", GRID_BAR_HORZ, 40, 50, GRID_SCROLL_THUMBPOSITION, 50, 0, E::NOTHING, {}},
        {"left end", GRID_BAR_HORZ, 30, 0, GRID_SCROLL_TOP, 0, 0, E::ALL, {}},
        {"right end", GRID_BAR_HORZ, 0, 0, GRID_SCROLL_BOTTOM, 85, 0, E::ALL, {}},
        // Vertical: page 96, maximum 144, positions end at 49.
        {"line up uncovers the top strip", GRID_BAR_VERT, 15, 0, GRID_SCROLL_LINEUP, 0, 15, E::STRIP, {0, 20, 150, 35}},
        {"line down uncovers the bottom strip", GRID_BAR_VERT, 0, 0, GRID_SCROLL_LINEDOWN, 15, -15, E::STRIP, {0, 85, 150, 100}},
        {"page down", GRID_BAR_VERT, 0, 0, GRID_SCROLL_PAGEDOWN, 49, 0, E::NON_FIXED, {40, 20, 150, 100}},
        {"page up by the non-fixed height", GRID_BAR_VERT, 49, 0, GRID_SCROLL_PAGEUP, 0, 0, E::NON_FIXED, {40, 20, 150, 100}},
        {"unknown code", GRID_BAR_VERT, 15, 0, 99, 15, 0, E::NOTHING, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        ViewGrid g;
        g.SetScrollPosition(c.bar, c.start);
        g.SetTrackPosition(c.bar, c.track);
        const GridScrollEffect e =
            c.bar == GRID_BAR_HORZ ? g.OnHScroll(c.code) : g.OnVScroll(c.code);
        EXPECT_EQ(c.pos, g.GetScrollPosition(c.bar)) << c.name;
        EXPECT_EQ(c.pos, e.pos) << c.name;
        EXPECT_EQ(c.pos != c.start, e.changed) << c.name;
        EXPECT_EQ(c.shift, e.shift) << c.name;
        EXPECT_EQ(c.repaint, e.repaint) << c.name;
        if (c.repaint == E::STRIP || c.repaint == E::NON_FIXED) {
            EXPECT_EQ(c.rect.left, e.rect.left) << c.name;
            EXPECT_EQ(c.rect.top, e.rect.top) << c.name;
            EXPECT_EQ(c.rect.right, e.rect.right) << c.name;
            EXPECT_EQ(c.rect.bottom, e.rect.bottom) << c.name;
        }
        EXPECT_EQ(0, g.GetScrollPosition(c.bar == GRID_BAR_HORZ ? GRID_BAR_VERT : GRID_BAR_HORZ))
            << c.name;
    }
}

TEST(GridView, Wheel) {
    struct Case {
        const char* name;
        int delta, lines, code, count;
    } cases[] = {
        {"two notches up, three lines", 240, 3, GRID_SCROLL_LINEUP, 6},
        {"two notches up, page scrolling", 240, -1, GRID_SCROLL_PAGEUP, 2},
        {"three notches down", -360, 3, GRID_SCROLL_LINEDOWN, 9},
        {"two pages down", -240, -1, GRID_SCROLL_PAGEDOWN, 2},
        {"half a notch of three lines", 60, 3, GRID_SCROLL_LINEUP, 1},
        {"half a notch of pages", 60, -1, GRID_SCROLL_PAGEDOWN, 0},
        {"no lines per notch", 240, 0, GRID_SCROLL_LINEDOWN, 0},
    };
    for (const Case& c : cases) {
        const GridWheelSteps s = GridWheelToScroll(c.delta, c.lines);
        EXPECT_EQ(c.count, s.count) << c.name;
        if (c.count) {
            EXPECT_EQ(c.code, s.code) << c.name;
        }
    }
    // Three line-downs through rows of 15, 15 and 25, stopped at the end (49).
    ViewGrid g;
    g.OnMouseWheel(-120);
    EXPECT_EQ(49, g.GetScrollPosition(GRID_BAR_VERT));
    g.OnMouseWheel(120);
    EXPECT_EQ(0, g.GetScrollPosition(GRID_BAR_VERT));
}

TEST(GridView, KeyTable) {
    struct Case {
        const char* name;
        SIZE client;
        int row, col;
        UINT key, mods;
        BOOL handled;
        int toRow, toCol;
    } cases[] = {
        {"Tab", {400, 400}, 1, 1, GRID_KEY_TAB, 0, TRUE, 1, 2},
        {"Tab wraps", {400, 400}, 1, 5, GRID_KEY_TAB, 0, TRUE, 2, 1},
        {"Tab on the last cell", {400, 400}, 9, 5, GRID_KEY_TAB, 0, FALSE, 9, 5},
        {"Shift+Tab", {400, 400}, 1, 3, GRID_KEY_TAB, GRID_MOD_SHIFT, TRUE, 1, 2},
        {"Shift+Tab wraps back", {400, 400}, 2, 1, GRID_KEY_TAB, GRID_MOD_SHIFT, TRUE, 1, 5},
        {"Shift+Tab on the first cell",
         {400, 400},
         1,
         1,
         GRID_KEY_TAB,
         GRID_MOD_SHIFT,
         FALSE,
         1,
         1},
        {"Left", {400, 400}, 2, 3, GRID_KEY_LEFT, 0, TRUE, 2, 2},
        {"Left stops at the fixed column", {400, 400}, 2, 1, GRID_KEY_LEFT, 0, TRUE, 2, 1},
        {"Right stops at the last column", {400, 400}, 2, 5, GRID_KEY_RIGHT, 0, TRUE, 2, 5},
        {"Up stops at the fixed row", {400, 400}, 1, 3, GRID_KEY_UP, 0, TRUE, 1, 3},
        {"Down", {400, 400}, 1, 3, GRID_KEY_DOWN, 0, TRUE, 2, 3},
        {"Down stops at the last row", {400, 400}, 9, 3, GRID_KEY_DOWN, 0, TRUE, 9, 3},
        {"Home", {400, 400}, 5, 3, GRID_KEY_HOME, 0, TRUE, 1, 3},
        {"End", {400, 400}, 5, 3, GRID_KEY_END, 0, TRUE, 9, 3},
        {"Page Down, view fixed", {400, 400}, 2, 3, GRID_KEY_NEXT, 0, TRUE, 9, 3},
        {"Page Up, view fixed", {400, 400}, 5, 3, GRID_KEY_PRIOR, 0, TRUE, 1, 3},
        // The view moves from row 1 to row 4 at the top: three rows.
        {"Page Down moves with the view", {150, 100}, 2, 3, GRID_KEY_NEXT, 0, TRUE, 5, 3},
        {"other key", {400, 400}, 2, 3, 'Q', 0, FALSE, 2, 3},
    };
    for (const Case& c : cases) {
        ViewGrid g(c.client);
        g.SetFocusCell(c.row, c.col);
        g.notices.clear();
        EXPECT_EQ(c.handled, g.OnKeyDown(c.key, c.mods)) << c.name;
        EXPECT_EQ(CThemeGridCellId(c.toRow, c.toCol), g.GetFocusCell()) << c.name;
        if (c.toRow != c.row || c.toCol != c.col) {
            // The selection follows the focus to the new cell alone.
            EXPECT_EQ(1u, g.SelectedMap().size()) << c.name;
            EXPECT_TRUE(g.IsCellSelected(c.toRow, c.toCol)) << c.name;
            const std::vector<Notice> moved = {{c.row, c.col, GRID_NOTIFY_FOCUS_LOST},
                                               {c.toRow, c.toCol, GRID_NOTIFY_FOCUS_GAINED}};
            EXPECT_EQ(moved, g.notices) << c.name;
        }
        ExpectInvariant(g, c.name);
    }
    // Without a focus cell every key goes to the usual handling.
    ViewGrid g;
    EXPECT_FALSE(g.OnKeyDown(GRID_KEY_DOWN, 0));
    EXPECT_FALSE(g.GetFocusCell().row >= 0);
}

TEST(GridView, KeysScrollTheFocusIntoView) {
    ViewGrid g;
    g.SetFocusCell(1, 4);
    ASSERT_TRUE(g.OnKeyDown(GRID_KEY_RIGHT, 0));
    EXPECT_EQ(CThemeGridCellId(1, 5), g.GetFocusCell());
    EXPECT_TRUE(g.IsCellVisible(1, 5));
    EXPECT_GT(g.GetScrollPosition(GRID_BAR_HORZ), 0);
    // Tab from the last column wraps to the first non-fixed one and the
    // horizontal view goes back to its start.
    ASSERT_TRUE(g.OnKeyDown(GRID_KEY_TAB, 0));
    EXPECT_EQ(CThemeGridCellId(2, 1), g.GetFocusCell());
    EXPECT_EQ(0, g.GetScrollPosition(GRID_BAR_HORZ));
    EXPECT_TRUE(g.IsCellVisible(2, 1));
    g.SetFocusCell(5, 1);
    ASSERT_TRUE(g.OnKeyDown(GRID_KEY_DOWN, 0));
    EXPECT_TRUE(g.IsCellVisible(6, 1));
    EXPECT_GT(g.GetScrollPosition(GRID_BAR_VERT), 0);
}

TEST(GridView, ShiftExtendsFromTheAnchor) {
    ViewGrid g(SIZE{400, 400});
    g.OnLButtonDown(CentreOf(g, 2, 2), 0, true);
    g.OnLButtonUp(CentreOf(g, 2, 2));
    ASSERT_TRUE(g.OnKeyDown(GRID_KEY_RIGHT, GRID_MOD_SHIFT));
    ASSERT_TRUE(g.OnKeyDown(GRID_KEY_DOWN, GRID_MOD_SHIFT));
    EXPECT_EQ(4, g.GetSelectedCount());
    const CThemeGridCellRange r = g.GetSelectionRange();
    EXPECT_EQ(2, r.GetMinRow());
    EXPECT_EQ(2, r.GetMinCol());
    EXPECT_EQ(3, r.GetMaxRow());
    EXPECT_EQ(3, r.GetMaxCol());
    ExpectInvariant(g, "shift");
}

TEST(GridView, DeleteKey) {
    struct Case {
        const char* name;
        BOOL editable;
        UINT state;
        bool cleared;
    } cases[] = {
        {"editable cell", TRUE, 0, true},
        {"read-only cell", TRUE, GRID_STATE_READONLY, false},
        {"grid not editable", FALSE, 0, false},
    };
    for (const Case& c : cases) {
        ViewGrid g;
        g.SetEditable(c.editable);
        g.SetItemText(2, 2, "abc");
        g.SetFocusCell(2, 2);
        g.SetItemState(2, 2, g.GetItemState(2, 2) | c.state);
        g.notices.clear();
        EXPECT_TRUE(g.OnKeyDown(GRID_KEY_DELETE, 0)) << c.name;
        EXPECT_EQ(c.cleared ? "" : "abc", std::string(g.GetItemText(2, 2))) << c.name;
        EXPECT_EQ(c.cleared, g.GetModified(2, 2) != 0) << c.name;
        const std::vector<Notice> sent =
            c.cleared ? std::vector<Notice>{{2, 2, GRID_NOTIFY_TEXT_CHANGING},
                                            {2, 2, GRID_NOTIFY_TEXT_CHANGED}}
                      : std::vector<Notice>{};
        EXPECT_EQ(sent, g.notices) << c.name;
    }
}

TEST(GridView, ClicksAndTheSelection) {
    ViewGrid g(SIZE{400, 400});
    // A plain click selects the pressed cell and focuses it.
    g.OnLButtonDown(CentreOf(g, 2, 2), 0, true);
    EXPECT_EQ(GRID_MOUSE_SELECT_CELLS, g.GetMouseMode());
    g.OnLButtonUp(CentreOf(g, 2, 2));
    EXPECT_EQ(GRID_MOUSE_NOTHING, g.GetMouseMode());
    EXPECT_EQ(CThemeGridCellId(2, 2), g.GetFocusCell());
    EXPECT_EQ(Notice({2, 2, GRID_NOTIFY_LBUTTON_UP}), g.notices.back());
    EXPECT_EQ(1, g.GetSelectedCount());
    // Ctrl-click keeps it.
    g.OnLButtonDown(CentreOf(g, 4, 4), GRID_MOD_CTRL, true);
    g.OnLButtonUp(CentreOf(g, 4, 4));
    EXPECT_TRUE(g.IsCellSelected(2, 2));
    EXPECT_TRUE(g.IsCellSelected(4, 4));
    EXPECT_EQ(2, g.GetSelectedCount());
    ExpectInvariant(g, "ctrl-click");
    // Clearing then leaves nothing selected, also not the cells kept for Ctrl.
    g.ClearSelectionRange();
    EXPECT_EQ(0, g.GetSelectedCount());
    EXPECT_TRUE(g.PrevSelectedMap().empty());
    EXPECT_FALSE(g.GetSelectionRange().IsValid(g.GetRowCount(), g.GetColumnCount()));
    EXPECT_EQ(CThemeGridCellId(), g.GetFocusCell());
    ExpectInvariant(g, "cleared after ctrl-click");
    // A later plain selection does not bring them back either.
    g.SelectRange(5, 5, 5, 5);
    EXPECT_EQ(1, g.GetSelectedCount());
    // Ctrl-click then plain click: the plain click drops the earlier cells.
    g.OnLButtonDown(CentreOf(g, 1, 1), GRID_MOD_CTRL, true);
    g.OnLButtonUp(CentreOf(g, 1, 1));
    EXPECT_EQ(2, g.GetSelectedCount());
    g.OnLButtonDown(CentreOf(g, 3, 4), 0, true);
    g.OnLButtonUp(CentreOf(g, 3, 4));
    EXPECT_EQ(1, g.GetSelectedCount());
    EXPECT_TRUE(g.IsCellSelected(3, 4));
    ExpectInvariant(g, "plain click");
    // Dragging with the button held extends the rectangle from the anchor.
    g.OnLButtonDown(CentreOf(g, 2, 2), 0, true);
    g.OnMouseMove(CentreOf(g, 4, 3), true);
    EXPECT_EQ(CThemeGridCellId(4, 3), g.GetFocusCell());
    g.OnLButtonUp(CentreOf(g, 4, 3));
    EXPECT_EQ(6, g.GetSelectedCount());
    ExpectInvariant(g, "drag");
}

TEST(GridView, HeaderPresses) {
    struct Case {
        const char* name;
        int row, col;
        BOOL sortOnClick;
        int selected;
        int sortedColumn;
        bool headerNotice;
    } cases[] = {
        {"row header selects the row", 3, 0, FALSE, 5, -1, false},
        {"column header without sorting", 0, 2, FALSE, 0, -1, true},
        {"column header with sorting selects the column", 0, 2, TRUE, 9, 2, true},
        {"corner with sorting selects all", 0, 0, TRUE, 45, 0, true},
    };
    for (const Case& c : cases) {
        ViewGrid g(SIZE{400, 400});
        g.SetHeaderSort(c.sortOnClick);
        g.OnLButtonDown(CentreOf(g, c.row, c.col), 0, true);
        EXPECT_EQ(c.selected, g.GetSelectedCount()) << c.name;
        EXPECT_EQ(c.sortedColumn >= 0 ? std::vector<int>{c.sortedColumn} : std::vector<int>{},
                  g.sorts)
            << c.name;
        bool noticed = false;
        for (const Notice& n : g.notices)
            noticed |= n == Notice({c.row, c.col, GRID_NOTIFY_HEADER_PRESSED});
        EXPECT_EQ(c.headerNotice, noticed) << c.name;
        g.OnLButtonUp(CentreOf(g, c.row, c.col));
        ExpectInvariant(g, c.name);
    }
}

TEST(GridView, PressModes) {
    struct Case {
        const char* name;
        int row, col;  // the pressed cell; row -1 for a point, below
        POINT pt;
        int focusRow, focusCol;
        BOOL editOnDblClick, listMode, dragAndDrop, sortOnClick, colResize;
        bool selectFirst;
        int mode;
        // clang-format off
    } cases[] = {
        {"normal cell", 2, 2, {}, -1, -1, TRUE, FALSE, FALSE, FALSE, TRUE, false, GRID_MOUSE_SELECT_CELLS},
        {"normal cell in list mode", 2, 2, {}, -1, -1, TRUE, TRUE, FALSE, FALSE, TRUE, false, GRID_MOUSE_SELECT_ROW},
        {"the focus cell", 2, 2, {}, 2, 2, TRUE, FALSE, FALSE, FALSE, TRUE, false, GRID_MOUSE_PREPARE_EDIT},
        {"edit on one click", 2, 2, {}, -1, -1, FALSE, FALSE, FALSE, FALSE, TRUE, false, GRID_MOUSE_PREPARE_EDIT},
        {"selected cell with drag and drop", 2, 3, {}, 2, 2, TRUE, FALSE, TRUE, FALSE, TRUE, true, GRID_MOUSE_PREPARE_DRAG},
        {"selected cell without drag and drop", 2, 3, {}, 2, 2, TRUE, FALSE, FALSE, FALSE, TRUE, true, GRID_MOUSE_SELECT_CELLS},
        {"row header", 3, 0, {}, -1, -1, TRUE, FALSE, FALSE, FALSE, TRUE, false, GRID_MOUSE_SELECT_ROW},
        {"column header without sorting", 0, 3, {}, -1, -1, TRUE, FALSE, FALSE, FALSE, TRUE, false, GRID_MOUSE_NOTHING},
        {"column header with sorting", 0, 3, {}, -1, -1, TRUE, FALSE, FALSE, TRUE, TRUE, false, GRID_MOUSE_SELECT_COL},
        {"corner with sorting", 0, 0, {}, -1, -1, TRUE, FALSE, FALSE, TRUE, TRUE, false, GRID_MOUSE_SELECT_ALL},
        {"column divider", -1, -1, {72, 5}, -1, -1, TRUE, FALSE, FALSE, FALSE, TRUE, false, GRID_MOUSE_SIZING_COL},
        {"column divider, resizing off", -1, -1, {72, 5}, -1, -1, TRUE, FALSE, FALSE, FALSE, FALSE, false, GRID_MOUSE_NOTHING},
        {"row divider", -1, -1, {5, 37}, -1, -1, TRUE, FALSE, FALSE, FALSE, TRUE, false, GRID_MOUSE_SIZING_ROW},
        {"outside every cell", -1, -1, {300, 300}, -1, -1, TRUE, FALSE, FALSE, FALSE, TRUE, false, GRID_MOUSE_NOTHING},
    };
    // clang-format on
    for (const Case& c : cases) {
        // Two grids alike: one is asked, the other pressed.
        ViewGrid asked(SIZE{400, 400}), pressed(SIZE{400, 400});
        for (ViewGrid* g : {&asked, &pressed}) {
            g->SetEditOnDblClick(c.editOnDblClick);
            g->SetListMode(c.listMode);
            g->EnableDragAndDrop(c.dragAndDrop);
            g->SetHeaderSort(c.sortOnClick);
            g->SetColumnResize(c.colResize);
            g->SetFocusCell(c.focusRow, c.focusCol);
            if (c.selectFirst) g->SelectRange(2, 2, 2, 4);
        }
        const POINT pt = c.row >= 0 ? CentreOf(asked, c.row, c.col) : c.pt;
        EXPECT_EQ(c.mode, asked.PressMode(pt, 0, true)) << c.name;
        EXPECT_EQ(GRID_MOUSE_NOTHING, asked.GetMouseMode()) << c.name;
        pressed.OnLButtonDown(pt, 0, true);
        EXPECT_EQ(c.mode, pressed.GetMouseMode()) << c.name;
        ExpectInvariant(pressed, c.name);
    }
}

TEST(GridView, ReleaseAfterPress) {
    // A click on the focus cell edits it on release.
    {
        ViewGrid g(SIZE{400, 400});
        g.SetFocusCell(2, 2);
        g.OnLButtonDown(CentreOf(g, 2, 2), 0, true);
        EXPECT_TRUE(g.editors.empty());
        g.OnLButtonUp(CentreOf(g, 2, 2));
        EXPECT_EQ(std::vector<Notice>({{2, 2, static_cast<int>(GRID_EDIT_MOUSE_KEY)}}), g.editors);
    }
    // With editing on double click off, one click on a new cell does both.
    {
        ViewGrid g(SIZE{400, 400});
        g.SetEditOnDblClick(FALSE);
        g.OnLButtonDown(CentreOf(g, 3, 3), 0, true);
        g.OnLButtonUp(CentreOf(g, 3, 3));
        EXPECT_EQ(std::vector<Notice>({{3, 3, static_cast<int>(GRID_EDIT_MOUSE_KEY)}}), g.editors);
    }
    // Dragging a column divider sets the width of the column left of it to
    // the release point's x minus its left edge.
    struct Case {
        const char* name;
        POINT down, up;
        int col, width;
    } cases[] = {
        {"right of the divider", {72, 5}, {95, 8}, 1, 55},
        {"left of the divider", {68, 5}, {50, 5}, 1, 10},
        {"released where pressed", {72, 5}, {72, 5}, 1, 30},
    };
    for (const Case& c : cases) {
        ViewGrid g(SIZE{400, 400});
        g.OnLButtonDown(c.down, 0, true);
        EXPECT_EQ(GRID_MOUSE_SIZING_COL, g.GetMouseMode()) << c.name;
        g.OnLButtonUp(c.up);
        EXPECT_EQ(c.width, g.GetColumnWidth(c.col)) << c.name;
        EXPECT_EQ(GRID_MOUSE_NOTHING, g.GetMouseMode()) << c.name;
    }
    ViewGrid g(SIZE{400, 400});
    g.OnLButtonDown(Pt(5, 37), 0, true);
    g.OnLButtonUp(Pt(5, 60));
    EXPECT_EQ(40, g.GetRowHeight(1));
    // A press on a selected cell with drag and drop prepares a drag; a
    // release without dragging drops the selection.
    ViewGrid d(SIZE{400, 400});
    d.EnableDragAndDrop(TRUE);
    d.SelectRange(2, 2, 3, 3);
    d.OnLButtonDown(CentreOf(d, 3, 3), 0, true);
    EXPECT_EQ(GRID_MOUSE_PREPARE_DRAG, d.GetMouseMode());
    d.OnLButtonUp(CentreOf(d, 3, 3));
    EXPECT_EQ(0, d.GetSelectedCount());
    ExpectInvariant(d, "drag released");
}

TEST(GridView, HoverModes) {
    struct Case {
        const char* name;
        POINT pt;
        int mode;
    } cases[] = {
        {"over a column divider", {72, 5}, GRID_MOUSE_OVER_COL_DIVIDE},
        {"over a row divider", {5, 37}, GRID_MOUSE_OVER_ROW_DIVIDE},
        {"over a cell", {75, 40}, GRID_MOUSE_NOTHING},
    };
    for (const Case& c : cases) {
        ViewGrid g;
        g.OnMouseMove(c.pt, false);
        EXPECT_EQ(c.mode, g.GetMouseMode()) << c.name;
        // A press in that mode sizes the line.
        if (c.mode != GRID_MOUSE_NOTHING) {
            g.OnLButtonDown(c.pt, 0, true);
            EXPECT_EQ(c.mode + 1, g.GetMouseMode()) << c.name;
        }
    }
    ViewGrid g;
    g.OnMouseMove(Pt(72, 5), false);
    g.OnMouseMove(Pt(500, 5), false);  // outside the client: ignored
    EXPECT_EQ(GRID_MOUSE_OVER_COL_DIVIDE, g.GetMouseMode());
}

TEST(GridView, StartingAnEdit) {
    struct Case {
        const char* name;
        bool focus;
        BOOL editable;
        UINT state;
        UINT ch, mods;
        bool opens;
    } cases[] = {
        {"typed character", true, TRUE, 0, 'x', 0, true},
        {"no focus cell", false, TRUE, 0, 'x', 0, false},
        {"read-only cell", true, TRUE, GRID_STATE_READONLY, 'x', 0, false},
        {"grid not editable", true, FALSE, 0, 'x', 0, false},
        {"Ctrl held", true, TRUE, 0, 'x', GRID_MOD_CTRL, false},
        {"Tab handled by the grid", true, TRUE, 0, '\t', 0, false},
    };
    for (const Case& c : cases) {
        ViewGrid g;
        g.SetEditable(c.editable);
        // The cell lies out of view, so starting an edit would scroll.
        if (c.focus) {
            g.SetFocusCell(8, 5);
            g.SetItemState(8, 5, g.GetItemState(8, 5) | c.state);
        }
        g.notices.clear();
        g.OnChar(c.ch, c.mods);
        EXPECT_EQ(c.opens, !g.editors.empty()) << c.name;
        if (c.opens) {
            EXPECT_EQ(Notice({8, 5, static_cast<int>(c.ch)}), g.editors[0]) << c.name;
            EXPECT_EQ(Notice({8, 5, GRID_NOTIFY_TEXT_CHANGING}), g.notices[0]) << c.name;
            EXPECT_TRUE(g.IsCellVisible(8, 5)) << c.name;
        } else {
            // Nothing to edit: nothing sent and the view left alone.
            EXPECT_TRUE(g.notices.empty()) << c.name;
            EXPECT_EQ(0, g.GetScrollPosition(GRID_BAR_HORZ)) << c.name;
            EXPECT_EQ(0, g.GetScrollPosition(GRID_BAR_VERT)) << c.name;
            EXPECT_EQ(0, g.scrolls) << c.name;
        }
    }
    // No focus cell at all, with the Tab key left to the caller.
    ViewGrid g;
    g.SetHandleTabKey(FALSE);
    g.OnChar('\t', 0);
    EXPECT_TRUE(g.editors.empty());
}

TEST(GridView, CheckBoxToggle) {
    struct Case {
        const char* name;
        int before, after;
    } cases[] = {
        {"unchecked", 0, 1},
        {"checked", 1, 0},
        {"any other value", 5, 0},
    };
    for (const Case& c : cases) {
        ViewGrid g(SIZE{400, 400});
        g.SetCheckBoxColumn(2);
        g.SetItemImage(3, 2, c.before);
        g.StartCellEdit(3, 2, GRID_EDIT_MOUSE_KEY);
        EXPECT_EQ(c.after, g.GetItemImage(3, 2)) << c.name;
        EXPECT_TRUE(g.editors.empty()) << c.name;
        EXPECT_FALSE(g.GetModified(3, 2)) << c.name;
    }
}

TEST(GridView, ComboEditItems) {
    struct Case {
        const char* name;
        std::vector<std::string> items;
        const char* text;
        std::vector<std::string> shown;
        int selected;
    } cases[] = {
        {"text in the list", {"a", "b", "c"}, "b", {"a", "b", "c"}, 1},
        {"first match", {"a", "b", "b"}, "b", {"a", "b", "b"}, 1},
        {"text missing", {"a", "b"}, "z", {"z", "a", "b"}, 0},
        {"case differs", {"a", "B"}, "b", {"b", "a", "B"}, 0},
        {"empty text", {"", "a"}, "", {"", "", "a"}, 0},
        {"empty list", {}, "q", {"q"}, 0},
    };
    for (const Case& c : cases) {
        std::vector<CString> items;
        for (const std::string& s : c.items) items.push_back(CString(s.c_str()));
        int sel = -9;
        const std::vector<CString> shown = GridComboEditItems(items, CString(c.text), &sel);
        std::vector<std::string> got;
        for (const CString& s : shown) got.push_back(std::string(s));
        EXPECT_EQ(c.shown, got) << c.name;
        EXPECT_EQ(c.selected, sel) << c.name;
    }
}

TEST(GridView, FocusNotifications) {
    struct Case {
        const char* name;
        BOOL listView;
        std::vector<Notice> sent;
    } cases[] = {
        {"normal mode",
         FALSE,
         {{2, 2, GRID_NOTIFY_FOCUS_GAINED},
          {2, 2, GRID_NOTIFY_FOCUS_LOST},
          {3, 1, GRID_NOTIFY_FOCUS_GAINED}}},
        {"list-view mode", TRUE, {}},
    };
    for (const Case& c : cases) {
        ViewGrid g;
        g.SetListViewNotify(c.listView);
        EXPECT_EQ(CThemeGridCellId(), g.SetFocusCell(2, 2)) << c.name;
        EXPECT_EQ(CThemeGridCellId(2, 2), g.SetFocusCell(2, 2)) << c.name;  // no change
        EXPECT_EQ(CThemeGridCellId(2, 2), g.SetFocusCell(3, 1)) << c.name;
        EXPECT_EQ(c.sent, g.notices) << c.name;
        EXPECT_EQ(CThemeGridCellId(3, 1), g.SetFocusCell(99, 99)) << c.name;  // out of range clears
        EXPECT_EQ(CThemeGridCellId(), g.GetFocusCell()) << c.name;
        ExpectInvariant(g, c.name);
    }
}

TEST(GridView, SelectionOperations) {
    struct Case {
        const char* name;
        BOOL enabled, listMode, singleRow;
        int op;  // 0 all, 1 columns, 2 rows, 3 cells
        CThemeGridCellId anchor, cell;
        int count;
        int range[4];
    } cases[] = {
        {"all", TRUE, FALSE, FALSE, 0, {}, {}, 45, {1, 1, 9, 5}},
        {"columns from the anchor", TRUE, FALSE, FALSE, 1, {3, 2}, {5, 4}, 27, {1, 2, 9, 4}},
        {"rows from the anchor", TRUE, FALSE, FALSE, 2, {6, 2}, {4, 4}, 15, {4, 1, 6, 5}},
        {"one row in list mode", TRUE, TRUE, TRUE, 2, {6, 2}, {4, 4}, 5, {4, 1, 4, 5}},
        {"cells from the anchor", TRUE, FALSE, FALSE, 3, {5, 4}, {3, 2}, 9, {3, 2, 5, 4}},
        {"cells without an anchor", TRUE, FALSE, FALSE, 3, {}, {3, 2}, 1, {3, 2, 3, 2}},
        {"fixed cell selects nothing", TRUE, FALSE, FALSE, 3, {5, 4}, {0, 2}, 0, {10, 6, -1, -1}},
        {"selection disabled", FALSE, FALSE, FALSE, 0, {}, {}, 0, {10, 6, -1, -1}},
    };
    for (const Case& c : cases) {
        ViewGrid g;
        g.EnableSelection(c.enabled);
        g.SetListMode(c.listMode);
        g.SetSingleRowSelection(c.singleRow);
        g.SetSelectionStartCell(c.anchor);
        switch (c.op) {
            case 0: g.SelectAllCells(); break;
            case 1: g.SelectColumns(c.cell); break;
            case 2: g.SelectRows(c.cell); break;
            default: g.SelectCells(c.cell); break;
        }
        EXPECT_EQ(c.count, g.GetSelectedCount()) << c.name;
        const CThemeGridCellRange r = g.GetSelectionRange();
        EXPECT_EQ(c.range[0], r.GetMinRow()) << c.name;
        EXPECT_EQ(c.range[1], r.GetMinCol()) << c.name;
        EXPECT_EQ(c.range[2], r.GetMaxRow()) << c.name;
        EXPECT_EQ(c.range[3], r.GetMaxCol()) << c.name;
        ExpectInvariant(g, c.name);
    }
}

// Random operations, each followed by the invariant check.
TEST(GridView, InvariantOverRandomOperations) {
    const unsigned seeds[] = {1, 2, 3, 42, 1234, 99991};
    for (unsigned seed : seeds) {
        std::mt19937 rng(seed);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        ViewGrid g(SIZE{pick(30, 300), pick(30, 300)});
        g.SetListMode(pick(0, 1));
        g.SetSingleRowSelection(pick(0, 1));
        g.EnableDragAndDrop(pick(0, 1));
        g.SetHeaderSort(pick(0, 1));
        g.SetEditOnDblClick(pick(0, 1));
        const UINT keys[] = {GRID_KEY_TAB,
                             GRID_KEY_LEFT,
                             GRID_KEY_RIGHT,
                             GRID_KEY_UP,
                             GRID_KEY_DOWN,
                             GRID_KEY_HOME,
                             GRID_KEY_END,
                             GRID_KEY_PRIOR,
                             GRID_KEY_NEXT,
                             GRID_KEY_DELETE,
                             'A'};
        for (int step = 0; step < 400; ++step) {
            const int rows = g.GetRowCount(), cols = g.GetColumnCount();
            const int op = pick(0, 15);
            const POINT pt = Pt(pick(-10, 320), pick(-10, 320));
            const UINT mods = static_cast<UINT>(pick(0, 3));
            std::string where = "seed " + std::to_string(seed) + " step " + std::to_string(step) +
                                " op " + std::to_string(op);
            switch (op) {
                case 0: g.OnLButtonDown(pt, mods, pick(0, 1)); break;
                case 1: g.OnMouseMove(pt, pick(0, 1)); break;
                case 2: g.OnLButtonUp(pt); break;
                case 3: g.OnKeyDown(keys[pick(0, 10)], mods); break;
                case 4: g.ClearSelectionRange(); break;
                case 5:
                    g.SelectRange(pick(-1, rows), pick(-1, cols), pick(-1, rows), pick(-1, cols));
                    break;
                case 6: {
                    const int r = pick(-1, rows), c = pick(-1, cols);
                    const UINT keep = g.GetItemState(r, c) & GRID_STATE_FOCUSED;
                    g.SetItemState(r, c,
                                   (static_cast<UINT>(pick(0, 0x2F)) & ~GRID_STATE_FOCUSED) | keep);
                    break;
                }
                case 7: {
                    CThemeGridItem item;
                    item.row = pick(-1, rows);
                    item.column = pick(-1, cols);
                    item.mask = GRID_ITEM_STATE | GRID_ITEM_TEXT;
                    item.state = (static_cast<UINT>(pick(0, 0x2F)) & ~GRID_STATE_FOCUSED) |
                                 (g.GetItemState(item.row, item.column) & GRID_STATE_FOCUSED);
                    g.SetItem(&item);
                    break;
                }
                case 8: g.InsertRow("r", pick(-1, rows)); break;
                case 9:
                    if (rows > 3) g.DeleteRow(pick(0, rows - 1));
                    break;
                case 10: g.InsertColumn("c", GRID_DEFAULT_FORMAT, pick(-1, cols)); break;
                case 11:
                    if (cols > 3) g.DeleteColumn(pick(0, cols - 1));
                    break;
                case 12: g.SetRowCount(pick(2, 14)); break;
                case 13: g.OnChar('x', mods); break;
                case 14: g.OnMouseWheel(pick(-480, 480)); break;
                default: g.SetFocusCell(pick(-1, rows), pick(-1, cols)); break;
            }
            ExpectInvariant(g, where);
            if (HasFatalFailure()) return;
        }
    }
}

}  // namespace

namespace {

TEST(GridView, FindNextCell) {
    struct Case {
        const char* name;
        CThemeGridCellId start;
        UINT flags;
        CThemeGridCellId found;
    } cases[] = {
        {"down the column for a selected cell",
         {2, 3},
         GRID_FIND_BELOW | GRID_STATE_SELECTED,
         {6, 3}},
        {"down from the found one", {6, 3}, GRID_FIND_BELOW | GRID_STATE_SELECTED, {}},
        {"up the column, not into the fixed row",
         {6, 3},
         GRID_FIND_ABOVE | GRID_STATE_SELECTED,
         {}},
        {"up the column for a read-only cell",
         {6, 3},
         GRID_FIND_ABOVE | GRID_STATE_READONLY,
         {4, 3}},
        {"left along the row", {4, 5}, GRID_FIND_LEFT | GRID_STATE_READONLY, {4, 3}},
        {"right along the row", {4, 1}, GRID_FIND_RIGHT | GRID_STATE_MODIFIED, {4, 4}},
        {"any of two bits",
         {4, 1},
         GRID_FIND_RIGHT | GRID_STATE_MODIFIED | GRID_STATE_READONLY,
         {4, 3}},
        {"whole grid from the next column", {4, 3}, GRID_FIND_ALL | GRID_STATE_SELECTED, {5, 1}},
        {"whole grid from the start", {-1, -1}, GRID_FIND_ALL | GRID_STATE_READONLY, {4, 3}},
        {"area from the next column on", {4, 2}, GRID_FIND_AREA | GRID_STATE_SELECTED, {6, 3}},
        {"area leaves out columns left of it", {4, 3}, GRID_FIND_AREA | GRID_STATE_SELECTED, {}},
        {"nothing matches", {1, 1}, GRID_FIND_ALL | GRID_STATE_DROPHILITED, {}},
        {"invalid start, one direction", {-1, -1}, GRID_FIND_BELOW | GRID_STATE_SELECTED, {}},
    };
    ViewGrid g;
    g.SetItemState(6, 3, GRID_STATE_SELECTED);
    g.SetItemState(5, 1, GRID_STATE_SELECTED);
    g.SetItemState(4, 3, GRID_STATE_READONLY);
    g.SetItemState(4, 4, GRID_STATE_MODIFIED);
    for (const Case& c : cases) EXPECT_EQ(c.found, g.FindNextCell(c.start, c.flags)) << c.name;
}

TEST(GridView, OtherButtons) {
    struct Case {
        const char* name;
        BOOL listView;
        int button;  // 0 right down, 1 right up, 2 right double click
        std::vector<int> codes;
        bool focused;
    } cases[] = {
        {"right press, normal mode",
         FALSE,
         0,
         {GRID_NOTIFY_FOCUS_LOST, GRID_NOTIFY_FOCUS_GAINED, GRID_NOTIFY_RBUTTON_DOWN},
         true},
        {"right press, list-view mode", TRUE, 0, {}, true},
        {"right release, normal mode", FALSE, 1, {GRID_NOTIFY_FOCUS_LOST}, false},
        {"right release, list-view mode", TRUE, 1, {GRID_NOTIFY_LV_RBUTTON_UP}, false},
        {"right double click, list-view mode", TRUE, 2, {GRID_NOTIFY_LV_RBUTTON_DBLCLK}, false},
    };
    for (const Case& c : cases) {
        ViewGrid g(SIZE{400, 400});
        g.SetListViewNotify(c.listView);
        g.SetFocusCell(2, 2);
        g.SelectRange(2, 2, 3, 3);
        g.notices.clear();
        const POINT pt = CentreOf(g, 4, 4);
        if (c.button == 0) g.OnRButtonDown(pt);
        if (c.button == 1) g.OnRButtonUp(pt);
        if (c.button == 2) g.OnRButtonDblClk(pt);
        std::vector<int> codes;
        for (const Notice& n : g.notices) codes.push_back(n.code);
        EXPECT_EQ(c.codes, codes) << c.name;
        EXPECT_EQ(0, g.GetSelectedCount()) << c.name;
        EXPECT_EQ(c.focused ? CThemeGridCellId(4, 4) : CThemeGridCellId(), g.GetFocusCell())
            << c.name;
        ExpectInvariant(g, c.name);
    }
}

TEST(GridView, DoubleClicks) {
    // On a normal cell: the owner hears of it and the focus cell is edited.
    ViewGrid g(SIZE{400, 400});
    const POINT pt = CentreOf(g, 3, 3);
    g.OnLButtonDown(pt, 0, true);
    g.OnLButtonUp(pt);
    g.notices.clear();
    g.OnLButtonDblClk(pt);
    ASSERT_FALSE(g.notices.empty());
    EXPECT_EQ(Notice({3, 3, GRID_NOTIFY_LBUTTON_DBLCLK}), g.notices[0]);
    EXPECT_EQ(std::vector<Notice>({{3, 3, static_cast<int>(GRID_EDIT_MOUSE_KEY)}}), g.editors);
    // On a column divider: the column left of it fits its text (the model
    // measures nothing here, so it becomes 0 wide).
    ViewGrid d(SIZE{400, 400});
    d.OnMouseMove(Pt(72, 5), false);
    d.OnLButtonDblClk(Pt(72, 5));
    EXPECT_EQ(0, d.GetColumnWidth(1));
    EXPECT_EQ(50, d.GetColumnWidth(2));
}

TEST(GridView, AutoScrollOverTheHeaders) {
    ViewGrid g;
    g.OnLButtonDown(CentreOf(g, 3, 2), 0, true);
    g.OnMouseMove(CentreOf(g, 4, 2), true);
    ASSERT_EQ(CThemeGridCellId(4, 2), g.GetFocusCell());
    // Above the non-fixed area: the focus moves up and the selection runs
    // from the anchor to the first visible row.
    g.OnAutoScrollTimer(Pt(75, 5));
    EXPECT_EQ(CThemeGridCellId(3, 2), g.GetFocusCell());
    EXPECT_EQ(3, g.GetSelectedCount());
    // Left of it: the focus moves left.
    g.OnAutoScrollTimer(Pt(5, 60));
    EXPECT_EQ(CThemeGridCellId(3, 1), g.GetFocusCell());
    // Outside the client nothing happens.
    g.OnAutoScrollTimer(Pt(-5, 5));
    EXPECT_EQ(CThemeGridCellId(3, 1), g.GetFocusCell());
    ExpectInvariant(g, "auto scroll");
}

}  // namespace

namespace {

// Changing the table recomputes the scroll bars and keeps the positions in
// their new ranges.
TEST(GridView, TableChangesFollowTheScrollBars) {
    ViewGrid g;
    g.SetScrollPosition(GRID_BAR_VERT, 49);
    ASSERT_EQ(49, g.GetScrollPosition(GRID_BAR_VERT));
    g.SetRowCount(3);
    EXPECT_EQ(0, g.GetScrollMax(GRID_BAR_VERT));
    EXPECT_EQ(0, g.GetScrollPosition(GRID_BAR_VERT));
    EXPECT_EQ(CThemeGridCellId(1, 1), g.GetTopLeftNonFixedCell());
    g.SetRowCount(10);  // new rows take the default height of 10
    EXPECT_EQ(30 + 7 * 10 - 1, g.GetScrollMax(GRID_BAR_VERT));
}

}  // namespace
