#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ThemeClass/HeadRules.h"

using skin::HeaderCells;
using skin::Rect;

namespace {

Rect R(int l, int t, int r, int b) {
    Rect x;
    x.left = l;
    x.top = t;
    x.right = r;
    x.bottom = b;
    return x;
}

}  // namespace

TEST(HeadRules, CompareKeys) {
    struct Case {
        const char* name;
        const char* a;
        const char* b;
        int type;
        int want;
    };
    const Case cases[] = {
        {"numbers: 10 after 9, ascending exchanges", "10", "9", 1, 1},
        {"numbers: 9 before 10, ascending keeps", "9", "10", 1, 0},
        {"numbers: 9 before 10, descending exchanges", "9", "10", 2, 1},
        {"number against text compares as text", "10", "abc", 1, 0},
        {"text against number compares as text", "abc", "9", 1, 1},
        {"negative numbers", "-3", "2", 1, 0},
        {"negative against negative", "-3", "-12", 1, 1},
        {"a leading zero is text: '012' before '9'", "012", "9", 1, 0},
        {"a leading zero is text: '012' after '0111'", "012", "0111", 1, 1},
        {"a plus sign is text: '+5' before '3'", "+5", "3", 1, 0},
        {"a decimal point is text: '1.5' before '10'", "1.5", "10", 1, 0},
        {"minus zero is text", "-0", "-1", 1, 0},
        {"beyond int is text: '10000000000' before '9'", "10000000000", "9", 3, 0},
        {"int limits compare as numbers", "-2147483648", "2147483647", 1, 0},
        {"spaces are trimmed before the number test", "  10 ", " 9", 1, 1},
        {"empty key is text and before everything", "", "0", 1, 0},
        {"equal keys exchange when ascending", "b", "b", 1, 1},
        {"equal keys stay when descending", "b", "b", 2, 0},
        {"equal numbers exchange when ascending (toggle type)", "7", "7", 3, 1},
        {"equal numbers stay when descending (toggle type)", "7", "7", 4, 0},
        {"case-sensitive: upper case first", "B", "a", 1, 0},
        {"bytes above 0x7F sort after ASCII", "\xB0\xA1", "z", 1, 1},
        {"type 0 never exchanges", "b", "a", 0, 0},
        {"unknown type never exchanges", "b", "a", 9, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, skin::CompareKeys(c.a, c.b, c.type)) << c.name;
}

TEST(HeadRules, SortDirectionUpdate) {
    struct Step {
        const char* name;
        int type;
        int column;
        int wantType;
        int wantLast;
    };
    // One header's life: the remembered column carries from row to row.
    const Step steps[] = {
        {"ascending stays", 1, 0, 1, -1},
        {"descending stays", 2, 0, 2, -1},
        {"first toggle sort of column 0 starts ascending", 3, 0, 3, 0},
        {"the same column again turns descending", 3, 0, 4, 0},
        {"and back", 4, 0, 3, 0},
        {"another column restarts ascending", 4, 2, 3, 2},
        {"column -1 (beyond the columns) is a column too", 3, -1, 3, -1},
        {"type 0 stays", 0, 5, 0, -1},
    };
    int last = -1;
    for (const Step& s : steps) {
        EXPECT_EQ(s.wantType, skin::NextSortType(s.type, &last, s.column)) << s.name;
        EXPECT_EQ(s.wantLast, last) << s.name;
    }
}

TEST(HeadRules, ExchangeSortOrder) {
    using V = std::vector<int>;
    using K = std::vector<std::string>;
    struct Case {
        const char* name;
        K keys;
        int type;
        V want;  // original row at each position
    };
    const Case cases[] = {
        {"10, 9, abc ascending: numbers among themselves, text after",
         {"10", "9", "abc"},
         1,
         V{1, 0, 2}},
        {"10, 9, abc descending", {"10", "9", "abc"}, 2, V{2, 0, 1}},
        {"dates ascending", {"2024/01/02", "2023/12/31", "2024/01/01"}, 1, V{1, 2, 0}},
        {"type 0 keeps the order", {"c", "b", "a"}, 0, V{0, 1, 2}},
        {"all keys empty under ascending reorders (equal keys exchange)",
         {"", "", ""},
         1,
         V{2, 1, 0}},
        {"all keys empty under descending keeps", {"", "", ""}, 2, V{0, 1, 2}},
        {"one row", {"x"}, 1, V{0}},
        {"no rows", {}, 1, V{}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, skin::ExchangeSortOrder(c.keys, c.type)) << c.name;
}

TEST(HeadRules, CellGridRowsAndColumns) {
    HeaderCells cells;
    EXPECT_EQ(1, cells.Rows());
    cells.InsertColumn(0);
    cells.InsertColumn(1);
    cells.InsertColumn(5);  // past the end: appended
    EXPECT_EQ(3, cells.Columns(0));
    EXPECT_TRUE(cells.SetText(0, 2, "c"));

    // Rows added later get a cell for every column, so they can be named.
    cells.SetRows(3);
    EXPECT_EQ(3, cells.Rows());
    struct Case {
        const char* name;
        int row, col;
        bool wantSet;
    };
    const Case cases[] = {
        {"new row 1", 1, 0, true},         {"new row 2, last column", 2, 2, true},
        {"past the columns", 2, 3, false}, {"past the rows", 3, 0, false},
        {"negative row", -1, 0, false},    {"negative column", 0, -1, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.wantSet, cells.SetText(c.row, c.col, c.name)) << c.name;
        EXPECT_EQ(c.wantSet ? std::string(c.name) : std::string(), cells.Text(c.row, c.col))
            << c.name;
    }

    // No rows would leave the painter dividing by zero: refused.
    cells.SetRows(0);
    EXPECT_EQ(3, cells.Rows());
    cells.SetRows(-4);
    EXPECT_EQ(3, cells.Rows());
    cells.SetRows(1);
    EXPECT_EQ(1, cells.Rows());
    EXPECT_EQ("c", cells.Text(0, 2)) << "row 0 keeps its cells";

    cells.DeleteColumn(1);
    EXPECT_EQ(2, cells.Columns(0));
    EXPECT_EQ("c", cells.Text(0, 1));
    cells.DeleteColumn(7);
    EXPECT_EQ(2, cells.Columns(0)) << "a column no row has";
}

TEST(HeadRules, MergedCells) {
    HeaderCells cells;
    for (int c = 0; c < 3; ++c) cells.InsertColumn(c);
    cells.SetRows(2);
    EXPECT_FALSE(cells.Merge(0, 0, 2, 1)) << "bottom-right corner outside the grid";
    EXPECT_FALSE(cells.Merge(1, 1, 0, 0)) << "corners out of order";
    ASSERT_TRUE(cells.Merge(0, 0, 0, 1));
    struct Case {
        const char* name;
        int row, col;
        int wantKind, wantRows, wantCols;
    };
    const Case cases[] = {
        {"origin", 0, 0, skin::kSpanOrigin, 0, 1},
        {"covered right of it", 0, 1, skin::kSpanCovered, 0, 0},
        {"plain after the block", 0, 2, skin::kSpanPlain, 0, 0},
        {"row below stays plain", 1, 0, skin::kSpanPlain, 0, 0},
        {"outside the grid", 5, 5, skin::kSpanPlain, 0, 0},
    };
    for (const Case& c : cases) {
        int rows = -1, cols = -1;
        EXPECT_EQ(c.wantKind, cells.Span(c.row, c.col, &rows, &cols)) << c.name;
        EXPECT_EQ(c.wantRows, rows) << c.name;
        EXPECT_EQ(c.wantCols, cols) << c.name;
    }
    ASSERT_TRUE(cells.Merge(0, 2, 1, 2));
    EXPECT_EQ(0x10100u, cells.RawSpan(0, 2));
    EXPECT_EQ(0x20000u, cells.RawSpan(1, 2));
}

TEST(HeadRules, CellRectangles) {
    // Three columns of 100, 60 and 40 pixels in a header 40 pixels high.
    const std::vector<Rect> items = {R(0, 0, 100, 40), R(100, 0, 160, 40), R(160, 0, 200, 40)};
    struct Case {
        const char* name;
        int rows, row, col;
        uint32_t span;
        bool wantOk;
        Rect want;
    };
    const Case cases[] = {
        {"one row", 1, 0, 1, 0, true, R(100, 0, 160, 40)},
        {"top of two rows", 2, 0, 0, 0, true, R(0, 0, 100, 20)},
        {"bottom of two rows", 2, 1, 2, 0, true, R(160, 20, 200, 40)},
        {"three rows round down", 3, 2, 0, 0, true, R(0, 26, 100, 39)},
        {"merge over two columns", 2, 0, 0, skin::MakeOriginSpan(0, 1), true, R(0, 0, 160, 20)},
        {"merge over both rows", 2, 0, 2, skin::MakeOriginSpan(1, 0), true, R(160, 0, 200, 40)},
        {"merge past the last column stops there", 1, 0, 1, skin::MakeOriginSpan(0, 5), true,
         R(100, 0, 200, 40)},
        {"covered cell has no rectangle", 2, 0, 1, skin::kSpanCoveredValue, false, Rect()},
        {"column past the header", 1, 0, 3, 0, false, Rect()},
        {"no rows does not divide by zero", 0, 0, 0, 0, false, Rect()},
    };
    for (const Case& c : cases) {
        Rect got;
        EXPECT_EQ(c.wantOk, skin::HeaderCellRect(items, c.rows, c.row, c.col, c.span, &got))
            << c.name;
        if (c.wantOk) {
            EXPECT_TRUE(c.want == got) << c.name;
        }
    }
}

TEST(HeadRules, VisibilityAndLines) {
    struct Case {
        const char* name;
        Rect cell;
        int scroll, width;
        bool want;
    };
    const Case cases[] = {
        {"inside", R(0, 0, 100, 20), 0, 300, true},
        {"scrolled past", R(0, 0, 100, 20), 101, 300, false},
        {"right edge at the scroll position", R(0, 0, 100, 20), 100, 300, true},
        {"right of the window", R(400, 0, 500, 20), 0, 300, false},
        {"left edge at the window's right", R(300, 0, 400, 20), 0, 300, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, skin::HeaderCellVisible(c.cell, c.scroll, c.width)) << c.name;
    EXPECT_EQ(1, skin::CountTextLines(""));
    EXPECT_EQ(2, skin::CountTextLines("a\nb"));
    EXPECT_EQ(3, skin::CountTextLines("\n\n"));
}
