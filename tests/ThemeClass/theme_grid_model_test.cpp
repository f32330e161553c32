// The grid's table: counts, cells, insertion and deletion, sizes and
// stretching, check-box columns, drop-down items, header groups, the
// modified flags and the selected map.
#include "ThemeClass/ThemeGridModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A model with a measurable text (7 px per character, 13 px high), a
// client size the test sets, and a count of table changes.
class TestGrid : public CThemeGridModel {
public:
    explicit TestGrid(int rows = 0, int cols = 0, int fixedRows = 0, int fixedCols = 0) {
        InitCounts(rows, cols, fixedRows, fixedCols);
    }
    SIZE client{0, 0};
    int changes = 0;
    int created = 0, cleared = 0;

protected:
    SIZE MeasureText(const CString& t) const override {
        return SIZE{7 * t.GetLength(), t.IsEmpty() ? 0 : 13};
    }
    SIZE GetClientSize() const override { return client; }
    void OnTableChanged() override { ++changes; }
    CThemeGridCell* CreateCell(int row, int col) override {
        ++created;
        return CThemeGridModel::CreateCell(row, col);
    }
    void ClearCell(CThemeGridCell* cell, int row, int col) override {
        ++cleared;
        CThemeGridModel::ClearCell(cell, row, col);
    }
};

// Every cell exists exactly where the counts say.
void ExpectCellsMatchCounts(const CThemeGridModel& g) {
    for (int r = 0; r < g.GetRowCount(); ++r)
        for (int c = 0; c < g.GetColumnCount(); ++c)
            ASSERT_NE(nullptr, g.GetCell(r, c)) << r << "," << c;
    EXPECT_EQ(nullptr, g.GetCell(g.GetRowCount(), 0));
    EXPECT_EQ(nullptr, g.GetCell(0, g.GetColumnCount()));
    EXPECT_EQ(nullptr, g.GetCell(-1, 0));
}

TEST(GridModel, Defaults) {
    TestGrid g;
    EXPECT_EQ(0, g.GetRowCount());
    EXPECT_EQ(10, g.GetDefaultRowHeight());
    EXPECT_EQ(30, g.GetDefaultColumnWidth());
    EXPECT_EQ(12, g.GetFontSize());
    EXPECT_EQ(0x25u, g.GetDefaultFormat());
    EXPECT_EQ(RGB(0xFF, 0xFF, 0xE0), g.GetNormalBackColor());  // 0xE0FFFF
    EXPECT_EQ(RGB(0xC0, 0xC0, 0xC0), g.GetGridLineColor());
    EXPECT_EQ(GRID_LINES_BOTH, g.GetGridLines());
    EXPECT_TRUE(g.IsEditable());
    EXPECT_TRUE(g.GetEditOnDblClick());
    EXPECT_FALSE(g.GetListMode());
    EXPECT_TRUE(g.GetDoubleBuffering());
    EXPECT_FALSE(g.GetModified());
    EXPECT_EQ(CThemeGridCellId(-1, -1), g.GetFocusCell());

    TestGrid h(4, 3, 1, 1);
    ExpectCellsMatchCounts(h);
    const CThemeGridCell* c = h.GetCell(2, 2);
    EXPECT_EQ(0u, c->state);
    EXPECT_EQ(0x25u, c->format);
    EXPECT_EQ(-1, c->image);
    EXPECT_EQ(GRID_COLOR_DEFAULT, c->backColor);
    EXPECT_EQ(GRID_COLOR_DEFAULT, c->textColor);
    EXPECT_EQ(0, c->userData);
    EXPECT_EQ(10, h.GetRowHeight(3));
    EXPECT_EQ(30, h.GetColumnWidth(2));
}

// The count rules as one table: each case starts from a 6x5 grid with 2
// fixed rows and 1 fixed column, the focus at (4,3), and applies one setter.
TEST(GridModel, CountRules) {
    enum Op { kRows, kCols, kFixedRows, kFixedCols };
    struct Case {
        const char* what;
        Op op;
        int n;
        BOOL result;
        int rows, cols, fixedRows, fixedCols;
        bool focusKept;
    } cases[] = {
        {"same row count", kRows, 6, TRUE, 6, 5, 2, 1, true},
        {"grow rows", kRows, 9, TRUE, 9, 5, 2, 1, true},
        {"shrink rows above the focus", kRows, 5, TRUE, 5, 5, 2, 1, true},
        {"shrink rows to the focus row", kRows, 4, TRUE, 4, 5, 2, 1, false},
        {"shrink rows below the fixed rows", kRows, 1, TRUE, 1, 5, 1, 1, false},
        {"no rows", kRows, 0, TRUE, 0, 5, 0, 1, false},
        {"negative rows", kRows, -1, FALSE, 6, 5, 2, 1, true},
        {"grow columns", kCols, 8, TRUE, 6, 8, 2, 1, true},
        {"shrink columns to the focus column", kCols, 3, TRUE, 6, 3, 2, 1, false},
        {"shrink columns below the fixed ones", kCols, 0, TRUE, 6, 0, 2, 0, false},
        {"negative columns", kCols, -2, FALSE, 6, 5, 2, 1, true},
        {"fixed rows within", kFixedRows, 3, TRUE, 6, 5, 3, 1, true},
        {"fixed rows over the focus", kFixedRows, 5, TRUE, 6, 5, 5, 1, false},
        {"fixed rows beyond the count raise it", kFixedRows, 8, TRUE, 8, 5, 8, 1, false},
        {"negative fixed rows", kFixedRows, -1, FALSE, 6, 5, 2, 1, true},
        {"fixed columns within", kFixedCols, 2, TRUE, 6, 5, 2, 2, true},
        {"fixed columns over the focus", kFixedCols, 4, TRUE, 6, 5, 2, 4, false},
        {"fixed columns beyond the count raise it", kFixedCols, 7, TRUE, 6, 7, 2, 7, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestGrid g(6, 5, 2, 1);
        g.SetFocusCellId(4, 3);
        BOOL r = FALSE;
        switch (c.op) {
            case kRows: r = g.SetRowCount(c.n); break;
            case kCols: r = g.SetColumnCount(c.n); break;
            case kFixedRows: r = g.SetFixedRowCount(c.n); break;
            case kFixedCols: r = g.SetFixedColumnCount(c.n); break;
        }
        EXPECT_EQ(c.result, r);
        EXPECT_EQ(c.rows, g.GetRowCount());
        EXPECT_EQ(c.cols, g.GetColumnCount());
        EXPECT_EQ(c.fixedRows, g.GetFixedRowCount());
        EXPECT_EQ(c.fixedCols, g.GetFixedColumnCount());
        EXPECT_EQ(c.focusKept ? CThemeGridCellId(4, 3) : CThemeGridCellId(), g.GetFocusCell());
        if (c.focusKept) {
            EXPECT_TRUE(g.GetItemState(4, 3) & GRID_STATE_FOCUSED);
        }
        ExpectCellsMatchCounts(g);
        EXPECT_EQ(g.created - g.cleared, g.GetRowCount() * g.GetColumnCount());
    }
}

// Check-box image 0 comes with rows added by SetRowCount, from the first
// body row on, but not with rows added by InsertRow.
TEST(GridModel, CheckBoxColumns) {
    TestGrid g(3, 3, 1, 0);
    g.SetCheckBoxColumn(2);
    g.SetCheckBoxColumn(2);
    EXPECT_TRUE(g.IsCheckBoxColumn(2));
    EXPECT_FALSE(g.IsCheckBoxColumn(1));
    EXPECT_EQ(-1, g.GetItemImage(0, 2));  // fixed row
    EXPECT_EQ(0, g.GetItemImage(1, 2));
    EXPECT_EQ(-1, g.GetItemImage(1, 1));
    g.SetRowCount(5);
    EXPECT_EQ(0, g.GetItemImage(4, 2));
    EXPECT_EQ(-1, g.GetItemImage(4, 1));
    const int r = g.InsertRow("x");
    EXPECT_EQ(5, r);
    EXPECT_EQ(-1, g.GetItemImage(5, 2));
    // The column moves with an insertion to its left.
    g.InsertColumn("new", GRID_DEFAULT_FORMAT, 0);
    EXPECT_TRUE(g.IsCheckBoxColumn(3));
    EXPECT_FALSE(g.IsCheckBoxColumn(2));
    g.DeleteColumn(3);
    EXPECT_FALSE(g.IsCheckBoxColumn(3));
    g.SetRowCount(7);
    EXPECT_EQ(-1, g.GetItemImage(6, 2));
}

TEST(GridModel, InsertAndDelete) {
    struct Case {
        const char* what;
        bool column;
        int at;
        int result;
    } inserts[] = {
        {"append column", true, -1, 3},      {"column at 0", true, 0, 0},
        {"column at the count", true, 3, 3}, {"column past the count", true, 4, -1},
        {"column below -1", true, -2, -1},   {"append row", false, -1, 4},
        {"row at 1", false, 1, 1},           {"row past the count", false, 5, -1},
        {"row below -1", false, -7, -1},
    };
    for (const Case& c : inserts) {
        SCOPED_TRACE(c.what);
        TestGrid g(4, 3, 1, 1);
        g.SetFocusCellId(2, 1);
        g.SetItemText(2, 1, "focus");
        const int r = c.column ? g.InsertColumn("Heading", 0x1, c.at) : g.InsertRow("Row", c.at);
        EXPECT_EQ(c.result, r);
        if (r < 0) {
            EXPECT_EQ(4, g.GetRowCount());
            EXPECT_EQ(3, g.GetColumnCount());
            continue;
        }
        ExpectCellsMatchCounts(g);
        const CThemeGridCellId f = g.GetFocusCell();
        EXPECT_EQ(CString("focus"), g.GetItemText(f.row, f.col)) << "the focus moves with its cell";
        if (c.column) {
            EXPECT_EQ(4, g.GetColumnCount());
            EXPECT_EQ(CString("Heading"), g.GetItemText(0, r));
            EXPECT_EQ(7 * 7, g.GetColumnWidth(r));
            for (int row = 0; row < 4; ++row) EXPECT_EQ(0x1u, g.GetItemFormat(row, r));
        } else {
            EXPECT_EQ(5, g.GetRowCount());
            EXPECT_EQ(CString("Row"), g.GetItemText(r, 0));
            EXPECT_EQ(13, g.GetRowHeight(r));
        }
    }

    // An empty grid gains a first row (column) with its first column (row).
    TestGrid e;
    EXPECT_EQ(0, e.InsertColumn("A"));
    EXPECT_EQ(1, e.GetRowCount());
    EXPECT_EQ(CString("A"), e.GetItemText(0, 0));
    TestGrid e2;
    EXPECT_EQ(0, e2.InsertRow("R"));
    EXPECT_EQ(1, e2.GetColumnCount());

    // Deletion: out of range ignored; the focus goes or moves back; a fixed
    // line lowers the fixed count.
    TestGrid g(5, 4, 1, 1);
    EXPECT_FALSE(g.DeleteRow(5));
    EXPECT_FALSE(g.DeleteColumn(-1));
    g.SetFocusCellId(3, 2);
    g.SetItemText(3, 2, "f");
    EXPECT_TRUE(g.DeleteRow(1));
    EXPECT_EQ(CThemeGridCellId(2, 2), g.GetFocusCell());
    EXPECT_TRUE(g.DeleteColumn(0));
    EXPECT_EQ(0, g.GetFixedColumnCount());
    EXPECT_EQ(CThemeGridCellId(2, 1), g.GetFocusCell());
    EXPECT_EQ(CString("f"), g.GetItemText(2, 1));
    EXPECT_TRUE(g.DeleteColumn(1));
    EXPECT_EQ(CThemeGridCellId(), g.GetFocusCell());
    EXPECT_TRUE(g.DeleteRow(0));
    EXPECT_EQ(0, g.GetFixedRowCount());
    ExpectCellsMatchCounts(g);

    g.SetFixedRowCount(1);
    g.DeleteBodyRows();
    EXPECT_EQ(1, g.GetRowCount());
    g.DeleteAllItems();
    EXPECT_EQ(0, g.GetRowCount());
    EXPECT_EQ(0, g.GetColumnCount());
    EXPECT_EQ(0, g.GetComboListCount());
    EXPECT_EQ(g.created, g.cleared);
}

TEST(GridModel, SetItemMasks) {
    TestGrid g(3, 3);
    LOGFONTA font = {};
    font.lfHeight = -17;
    struct Case {
        UINT mask;
    } cases[] = {{GRID_ITEM_TEXT},   {GRID_ITEM_IMAGE},   {GRID_ITEM_PARAM},
                 {GRID_ITEM_STATE},  {GRID_ITEM_BKCOLOR}, {GRID_ITEM_TEXTCOLOR},
                 {GRID_ITEM_FORMAT}, {GRID_ITEM_FONT},    {0xFF}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        TestGrid t(2, 2);
        CThemeGridItem in;
        in.row = 1;
        in.column = 1;
        in.mask = c.mask;
        in.text = "t";
        in.image = 4;
        in.userData = static_cast<LPARAM>(-5);
        in.state = GRID_STATE_READONLY;
        in.backColor = 0x123456;
        in.textColor = 0x654321;
        in.format = 0x2;
        in.font = font;
        ASSERT_TRUE(t.SetItem(&in));
        const CThemeGridCell* cell = t.GetCell(1, 1);
        EXPECT_EQ(c.mask & GRID_ITEM_TEXT ? CString("t") : CString(), cell->text);
        EXPECT_EQ(c.mask & GRID_ITEM_IMAGE ? 4 : -1, cell->image);
        EXPECT_EQ(c.mask & GRID_ITEM_PARAM ? static_cast<LPARAM>(-5) : 0, cell->userData);
        EXPECT_EQ(c.mask & GRID_ITEM_STATE ? GRID_STATE_READONLY : 0u, cell->state);
        EXPECT_EQ(c.mask & GRID_ITEM_BKCOLOR ? 0x123456u : GRID_COLOR_DEFAULT, cell->backColor);
        EXPECT_EQ(c.mask & GRID_ITEM_TEXTCOLOR ? 0x654321u : GRID_COLOR_DEFAULT, cell->textColor);
        EXPECT_EQ(c.mask & GRID_ITEM_FORMAT ? 0x2u : 0x25u, cell->format);
        EXPECT_EQ(c.mask & GRID_ITEM_FONT ? -17 : 0, cell->font.lfHeight);

        CThemeGridItem out;
        out.row = 1;
        out.column = 1;
        out.mask = c.mask;
        ASSERT_TRUE(t.GetItem(&out));
        EXPECT_EQ(c.mask & GRID_ITEM_TEXT ? CString("t") : CString(), out.text);
        EXPECT_EQ(c.mask & GRID_ITEM_IMAGE ? 4 : 0, out.image);
    }
    CThemeGridItem outside;
    outside.row = 3;
    outside.mask = 0xFF;
    EXPECT_FALSE(g.SetItem(&outside));
    EXPECT_FALSE(g.GetItem(&outside));
    // Neutral answers outside the table.
    EXPECT_EQ(CString(), g.GetItemText(9, 9));
    EXPECT_EQ(-1, g.GetItemImage(9, 9));
    EXPECT_EQ(0u, g.GetItemState(-1, 0));
    EXPECT_EQ(0, g.GetItemData(0, 9));
    EXPECT_EQ(&g.GetLogFont(), g.GetItemFont(9, 0));
}

// The selected map holds exactly the cells whose selected bit is set,
// whichever setter changed the bit, also past row 65535.
TEST(GridModel, SelectedMapFollowsTheSelectedBit) {
    TestGrid g(70002, 2);
    auto expectInvariant = [&] {
        int bits = 0;
        for (int r = 0; r < g.GetRowCount(); ++r)
            for (int c = 0; c < g.GetColumnCount(); ++c)
                if (g.GetItemState(r, c) & GRID_STATE_SELECTED) {
                    ++bits;
                    EXPECT_TRUE(g.IsCellSelected(r, c)) << r << "," << c;
                }
        EXPECT_EQ(bits, g.GetSelectedCount());
    };
    g.SetItemState(4, 1, GRID_STATE_SELECTED);
    g.SetItemState(70000, 0, GRID_STATE_SELECTED);  // 70000 & 0xFFFF == 4464
    g.SetItemState(4464, 0, GRID_STATE_SELECTED);
    EXPECT_EQ(3, g.GetSelectedCount());
    expectInvariant();
    CThemeGridItem item;
    item.row = 5;
    item.column = 0;
    item.mask = GRID_ITEM_STATE;
    item.state = GRID_STATE_SELECTED | GRID_STATE_READONLY;
    g.SetItem(&item);
    item.row = 4;
    item.column = 1;
    item.state = 0;
    g.SetItem(&item);
    expectInvariant();
    g.DeleteRow(1);  // clears the selection
    EXPECT_EQ(0, g.GetSelectedCount());
    expectInvariant();
    g.SetItemState(69999, 1, GRID_STATE_SELECTED);
    g.SetRowCount(100);  // the selected cell goes with its row
    EXPECT_EQ(0, g.GetSelectedCount());
    g.SetItemState(7, 1, GRID_STATE_SELECTED);
    g.PrevSelectedMap()[TestGrid::SelectionKey(7, 1)] = CThemeGridCellId(7, 1);
    g.ClearSelection();
    EXPECT_EQ(0, g.GetSelectedCount());
    EXPECT_TRUE(g.PrevSelectedMap().empty());
    expectInvariant();
}

TEST(GridModel, Stretch) {
    struct Case {
        const char* what;
        std::vector<int> widths;
        int client;
        std::vector<int> expected;
    } cases[] = {
        {"7 px short over 3", {30, 30, 30}, 83, {27, 28, 28}},
        {"7 px over over 3", {30, 30, 30}, 97, {33, 32, 32}},
        {"exact", {10, 20}, 30, {10, 20}},
        {"6 px short over 3", {30, 30, 30}, 84, {28, 28, 28}},
        {"never below 0", {2, 40}, 10, {0, 24}},
        {"one column", {5}, 50, {50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestGrid g(1, static_cast<int>(c.widths.size()));
        for (size_t i = 0; i < c.widths.size(); ++i) g.SetColumnWidth(int(i), c.widths[i]);
        g.client = SIZE{c.client, 0};
        g.StretchColumnsToWindow();
        for (size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(c.expected[i], g.GetColumnWidth(int(i))) << i;
    }
    // Rows and one column.
    TestGrid g(3, 2);
    g.client = SIZE{100, 26};
    g.StretchRowsToWindow();  // 30 -> 26: -1 each, the first one more
    EXPECT_EQ(8, g.GetRowHeight(0));
    EXPECT_EQ(9, g.GetRowHeight(1));
    EXPECT_EQ(9, g.GetRowHeight(2));
    g.StretchColumnToWindow(1);
    EXPECT_EQ(70, g.GetColumnWidth(1));
    g.client = SIZE{0, 0};
    g.StretchColumnToWindow(0);
    EXPECT_EQ(0, g.GetColumnWidth(0));
    TestGrid empty;
    empty.StretchToWindow();  // no columns, no rows: nothing to do
}

TEST(GridModel, SizesAndFit) {
    TestGrid g(3, 3, 1, 2);
    EXPECT_EQ(10, g.GetFixedRowHeight());
    EXPECT_EQ(60, g.GetFixedColumnWidth());
    EXPECT_EQ(30, g.GetTotalHeight());
    EXPECT_EQ(90, g.GetTotalWidth());
    EXPECT_FALSE(g.SetRowHeight(3, 5));
    EXPECT_FALSE(g.SetColumnWidth(0, -1));
    EXPECT_EQ(0, g.GetRowHeight(-1));
    g.SetDefaultColumnWidth(12);
    EXPECT_EQ(36, g.GetTotalWidth());
    g.SetItemText(1, 1, "abcdef");
    g.SetItemText(2, 1, "ab");
    g.FitColumnToText(1);
    EXPECT_EQ(42, g.GetColumnWidth(1));
    g.FitRowToText(0);
    EXPECT_EQ(0, g.GetRowHeight(0));
    g.FitToText();
    EXPECT_EQ(0, g.GetColumnWidth(0));
    EXPECT_EQ(42, g.GetColumnWidth(1));
    EXPECT_EQ(13, g.GetRowHeight(1));
}

TEST(GridModel, ComboItems) {
    struct Case {
        const char* text;
        std::vector<std::string> items;
    } cases[] = {
        {"a\n\nb", {"a", "", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"single", {"single"}},
        {"\n", {""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TestGrid g(2, 2);
        g.SetColumnComboItems(1, c.text);
        std::vector<CString> out;
        ASSERT_TRUE(g.GetColumnComboItems(1, &out));
        ASSERT_EQ(c.items.size(), out.size());
        for (size_t i = 0; i < out.size(); ++i) EXPECT_EQ(CString(c.items[i].c_str()), out[i]);
    }
    TestGrid g(2, 3);
    std::vector<CString> out;
    EXPECT_FALSE(g.GetColumnComboItems(0, &out));
    EXPECT_FALSE(g.GetColumnComboItems(3, &out));
    const LPCTSTR items[] = {"x", "y"};
    g.SetColumnComboItems(2, items, 2);
    g.SetColumnComboItems(7, items, 2);  // outside: ignored
    // An inserted column brings its own empty list: the others keep theirs.
    g.InsertColumn("new", GRID_DEFAULT_FORMAT, 1);
    EXPECT_EQ(4, g.GetComboListCount());
    EXPECT_FALSE(g.GetColumnComboItems(1, &out));
    EXPECT_FALSE(g.GetColumnComboItems(2, &out));
    ASSERT_TRUE(g.GetColumnComboItems(3, &out));
    EXPECT_EQ(CString("y"), out[1]);
    g.SetColumnComboItems(1, "p\nq");
    EXPECT_TRUE(g.GetColumnComboItems(1, &out));
    g.DeleteColumn(1);
    ASSERT_TRUE(g.GetColumnComboItems(2, &out));
    EXPECT_EQ(CString("x"), out[0]);
    // After a load (a new column count) every column can hold items.
    g.DeleteAllItems();
    g.SetColumnCount(2);
    g.SetColumnComboItems(1, "z");
    EXPECT_TRUE(g.GetColumnComboItems(1, &out));
}

TEST(GridModel, HeaderGroups) {
    TestGrid g(2, 8);
    const UINT first[] = {1, 2, 3};
    const UINT second[] = {3, 4};
    g.AddHeaderGroup(first, 3, "A");
    g.AddHeaderGroup(second, 2, "B");
    struct Case {
        int col;
        BOOL found;
        int position;
        const char* caption;
        int first, last;
    } cases[] = {
        {1, TRUE, 0, "A", 1, 3},  {2, TRUE, 1, "A", 1, 3}, {3, TRUE, -1, "A", 1, 3},
        {4, TRUE, -1, "B", 3, 4}, {0, FALSE, 0, "", 0, 0}, {7, FALSE, 0, "", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.col);
        int pos = 0, f = 0, l = 0;
        CString cap;
        EXPECT_EQ(c.found, g.FindHeaderGroup(c.col, &pos, &cap, &f, &l));
        if (!c.found) continue;
        EXPECT_EQ(c.position, pos);
        EXPECT_EQ(CString(c.caption), cap);
        EXPECT_EQ(c.first, f);
        EXPECT_EQ(c.last, l);
    }
    // Groups stay on their columns when a column is inserted to their left.
    g.InsertColumn("x", GRID_DEFAULT_FORMAT, 0);
    int f = 0, l = 0;
    ASSERT_TRUE(g.FindHeaderGroup(2, nullptr, nullptr, &f, &l));
    EXPECT_EQ(2, f);
    EXPECT_EQ(4, l);
}

TEST(GridModel, ModifiedFlags) {
    TestGrid g(3, 3, 1, 1);
    g.SetModified(TRUE, 1, 1);
    EXPECT_TRUE(g.GetModified(1, 1));
    EXPECT_TRUE(g.GetModified());
    g.SetModified(TRUE, 2, 2);
    g.SetModified(FALSE, 1, 1);
    EXPECT_FALSE(g.GetModified(1, 1));
    EXPECT_TRUE(g.GetModified(2, 2));
    EXPECT_TRUE(g.GetModified());
    g.SetModified(FALSE, 0, 0);  // the grid flag off clears every cell
    EXPECT_FALSE(g.GetModified());
    EXPECT_FALSE(g.GetModified(2, 2));
    g.SetModified(TRUE);
    EXPECT_TRUE(g.GetModified(0, 5));  // row or column 0: the grid flag
}

TEST(GridModel, TargetCellAndQueries) {
    TestGrid g(3, 3, 1, 1);
    g.SetTargetCellText("nothing");  // no target yet
    g.SetTargetRow(2);
    g.SetTargetCellText("still nothing");
    EXPECT_EQ(CString(), g.GetItemText(2, 0));
    g.SetTargetColumn(1);
    g.SetTargetCellText("t");
    g.SetTargetCellData(9);
    EXPECT_EQ(CString("t"), g.GetItemText(2, 1));
    EXPECT_EQ(9, g.GetItemData(2, 1));

    int r = 0, c = 0;
    EXPECT_FALSE(g.GetFocusCellRowCol(&r, &c));
    g.SetFocusCellId(2, 2);
    EXPECT_TRUE(g.GetFocusCellRowCol(&r, &c));
    EXPECT_EQ(2, r);
    EXPECT_EQ(2, c);

    EXPECT_TRUE(g.IsCellFixed(0, 2));
    EXPECT_TRUE(g.IsCellFixed(2, 0));
    EXPECT_FALSE(g.IsCellFixed(1, 1));
    EXPECT_TRUE(g.IsCellEditable(1, 1));
    g.SetItemState(1, 1, GRID_STATE_READONLY);
    EXPECT_FALSE(g.IsCellEditable(1, 1));
    g.SetEditable(FALSE);
    EXPECT_FALSE(g.IsCellEditable(1, 2));
    const CThemeGridCellRange all = g.GetCellRange();
    EXPECT_TRUE(all.IsValid(3, 3));
    EXPECT_EQ(9, all.Count());
    EXPECT_FALSE(CThemeGridCellRange(0, 0, 3, 2).IsValid(3, 3));
    const CThemeGridCellRange i = CThemeGridCellRange(0, 1, 2, 2).Intersect({1, 0, 5, 1});
    EXPECT_EQ(1, i.GetMinRow());
    EXPECT_EQ(1, i.GetMinCol());
    EXPECT_EQ(2, i.GetMaxRow());
    EXPECT_EQ(1, i.GetMaxCol());
}

}  // namespace
