// Sorting rows: the quicksort itself (order, stability of equal keys, no
// swap of equal keys, ranges), the text and user-data sorts on the grid, the
// reset of focus and selection, range checks, and the header-click order.
#include "ThemeClass/ThemeGridSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "theme_grid_fixture.h"

namespace {

struct SortRun {
    std::vector<int> keys;
    std::vector<std::pair<int, int>> swaps;
};

SortRun RunSort(std::vector<int> keys, int low, int high, bool ascending) {
    SortRun run{std::move(keys), {}};
    GridQuickSort<int>(
        low, high, ascending, [&](int i) { return run.keys[i]; },
        [](int a, int b) { return a < b ? -1 : a > b ? 1 : 0; },
        [&](int a, int b) {
            run.swaps.emplace_back(a, b);
            std::swap(run.keys[a], run.keys[b]);
        });
    return run;
}

TEST(GridSort, QuickSortOrders) {
    struct Case {
        const char* name;
        std::vector<int> keys;
        int low, high;
        bool ascending;
        std::vector<int> want;
    };
    const Case cases[] = {
        {"ascending", {5, 1, 4, 2, 3}, 0, 4, true, {1, 2, 3, 4, 5}},
        {"descending", {5, 1, 4, 2, 3}, 0, 4, false, {5, 4, 3, 2, 1}},
        {"only the range moves", {9, 3, 2, 1, 0}, 1, 3, true, {9, 1, 2, 3, 0}},
        {"one row", {7, 3}, 1, 1, true, {7, 3}},
        {"empty range", {2, 1}, 1, 0, true, {2, 1}},
        {"duplicates", {2, 1, 2, 1, 2, 1}, 0, 5, true, {1, 1, 1, 2, 2, 2}},
        {"already sorted", {1, 2, 3, 4}, 0, 3, true, {1, 2, 3, 4}},
    };
    for (const Case& k : cases) {
        const SortRun run = RunSort(k.keys, k.low, k.high, k.ascending);
        EXPECT_EQ(k.want, run.keys) << k.name;
        for (const auto& s : run.swaps) {
            EXPECT_GE(std::min(s.first, s.second), k.low) << k.name;
            EXPECT_LE(std::max(s.first, s.second), k.high) << k.name;
        }
    }
}

TEST(GridSort, EqualKeysAreNeverSwapped) {
    const SortRun same = RunSort({4, 4, 4, 4, 4, 4, 4}, 0, 6, true);
    EXPECT_TRUE(same.swaps.empty());
    // Random keys with many repeats: every swap exchanges different keys.
    std::mt19937 rng(7);
    for (int round = 0; round < 50; ++round) {
        std::vector<int> keys(1 + rng() % 40);
        for (int& v : keys) v = static_cast<int>(rng() % 5);
        SortRun run{keys, {}};
        GridQuickSort<int>(
            0, static_cast<int>(keys.size()) - 1, round % 2 == 0,
            [&](int i) { return run.keys[i]; },
            [](int a, int b) { return a < b ? -1 : a > b ? 1 : 0; },
            [&](int a, int b) {
                ASSERT_NE(run.keys[a], run.keys[b]) << "round " << round;
                std::swap(run.keys[a], run.keys[b]);
            });
        std::vector<int> want = keys;
        if (round % 2 == 0)
            std::sort(want.begin(), want.end());
        else
            std::sort(want.begin(), want.end(), std::greater<int>());
        EXPECT_EQ(want, run.keys) << "round " << round;
    }
}

TEST(GridSort, TextOrderIsByUnsignedByteAndCase) {
    struct Case {
        const char* a;
        const char* b;
        int sign;
    };
    const Case cases[] = {
        {"B", "a", -1},          // upper case before lower case
        {"a", "a", 0},           {"ab", "a", 1},
        {"z", "\xB0\xA1", -1},   // a double-byte lead byte orders after ASCII
        {"\x7F", "\x80", -1},    {"", "a", -1},
    };
    for (const Case& k : cases) {
        const int r = GridCompareText(k.a, k.b);
        EXPECT_EQ(k.sign, (r > 0) - (r < 0)) << k.a << " vs " << k.b;
    }
}

// A grid of 1 fixed row and 6 body rows; column 1 holds the keys, column 2
// the row's name, user data = 10 x the key's length + its index.
struct SortGrid : FixtureGrid {
    SortGrid() : FixtureGrid(7, 3, 1, 1) { FillKeys(*this); }
    static void FillKeys(FixtureGrid& g) {
    const char* keys[] = {"pear", "Apple", "fig", "apple", "fig", "banana"};
    for (int i = 0; i < 6; ++i) {
        g.SetItemText(i + 1, 1, keys[i]);
        g.SetItemText(i + 1, 2, std::to_string(i + 1).c_str());
        g.SetItemData(i + 1, 1, static_cast<LPARAM>(10 * std::string(keys[i]).size() + i));
        g.SetRowHeight(i + 1, 10 + i);
    }
    }
};

int ByValue(LPARAM a, LPARAM b, LPARAM param) {
    return static_cast<int>(param) * (a < b ? -1 : a > b ? 1 : 0);
}

TEST(GridSort, GridSorts) {
    struct Case {
        const char* name;
        int col, low, high;
        BOOL ascending, result;
        bool byData;
        const char* keys;
    };
    const Case cases[] = {
        {"text ascending", 1, 1, -1, TRUE, TRUE, false, "Apple|apple|banana|fig|fig|pear"},
        {"text descending", 1, 1, -1, FALSE, TRUE, false, "pear|fig|fig|banana|apple|Apple"},
        {"text ranged", 1, 2, 4, TRUE, TRUE, false, "pear|Apple|apple|fig|fig|banana"},
        {"data ascending", 1, 1, -1, TRUE, TRUE, true, "fig|fig|pear|Apple|apple|banana"},
        {"column past the count", 3, 1, -1, TRUE, FALSE, false,
         "pear|Apple|fig|apple|fig|banana"},
        {"negative column", -1, 1, -1, TRUE, FALSE, false, "pear|Apple|fig|apple|fig|banana"},
        {"high past the rows", 1, 1, 7, TRUE, FALSE, false, "pear|Apple|fig|apple|fig|banana"},
        {"negative low", 1, -1, 3, TRUE, FALSE, false, "pear|Apple|fig|apple|fig|banana"},
    };
    for (const Case& k : cases) {
        SortGrid g;
        const BOOL r = k.byData ? GridSortRowsByCallback(g, ByValue, k.col, k.ascending, 1,
                                                         k.low, k.high)
                                : GridSortRowsByText(g, k.col, k.ascending, k.low, k.high);
        EXPECT_EQ(k.result, r) << k.name;
        EXPECT_EQ(k.keys, g.Column(1)) << k.name;
        // Whole rows move: the name and the height go with the key.
        for (int row = 1; row < 7; ++row) {
            const int original = std::stoi(g.Text(row, 2));
            EXPECT_EQ(9 + original, g.GetRowHeight(row)) << k.name << " row " << row;
        }
    }
}

TEST(GridSort, EqualTextsKeepTheirRows) {
    FixtureGrid g(5, 2, 1, 0);
    g.Fill({{"h", "h"}, {"same", "1"}, {"same", "2"}, {"same", "3"}, {"same", "4"}});
    ASSERT_TRUE(GridSortRowsByText(g, 0, TRUE));
    EXPECT_EQ("1|2|3|4", g.Column(1));
    ASSERT_TRUE(GridSortRowsByText(g, 0, FALSE));
    EXPECT_EQ("1|2|3|4", g.Column(1));
}

TEST(GridSort, NothingToSort) {
    struct Case {
        const char* name;
        int rows, fixedRows;
        int col;
        BOOL result;
    };
    const Case cases[] = {
        {"only fixed rows", 2, 2, 0, TRUE},
        {"one body row", 2, 1, 0, TRUE},
        {"only fixed rows, column past the count", 2, 2, 2, FALSE},
    };
    for (const Case& k : cases) {
        FixtureGrid g(k.rows, 2, k.fixedRows, 0);
        g.Fill({{"b", "x"}, {"a", "y"}});
        EXPECT_EQ(k.result, GridSortRowsByText(g, k.col, TRUE)) << k.name;
        EXPECT_EQ("b", g.Text(0, 0)) << k.name;
        EXPECT_EQ("a", g.Text(1, 0)) << k.name;
    }
}

// Swapped rows carry their cells' state bits: every sort, ranged or not,
// clears the selection, the kept cells and the focus, so no selected or
// focused bit is left on a cell the maps do not know.
TEST(GridSort, EverySortResetsFocusAndSelection) {
    struct Case {
        const char* name;
        int form;  // 0 whole text, 1 ranged text, 2 whole data, 3 ranged data
    };
    const Case cases[] = {{"text", 0}, {"ranged text", 1}, {"data", 2}, {"ranged data", 3}};
    for (const Case& k : cases) {
        SortGrid g;
        g.SelectRange(1, 1, 2, 2);
        g.PrevSelectedMap()[CThemeGridModel::SelectionKey(3, 1)] = CThemeGridCellId(3, 1);
        g.SetFocusCell(1, 1);
        g.notices.clear();
        switch (k.form) {
            case 0: GridSortRowsByText(g, 1, TRUE); break;
            case 1: GridSortRowsByText(g, 1, TRUE, 1, 4); break;
            case 2: GridSortRowsByCallback(g, ByValue, 1, TRUE, 1); break;
            default: GridSortRowsByCallback(g, ByValue, 1, TRUE, 1, 1, 4); break;
        }
        EXPECT_EQ(CThemeGridCellId(-1, -1), g.GetFocusCell()) << k.name;
        EXPECT_TRUE(g.SelectedMap().empty()) << k.name;
        EXPECT_TRUE(g.PrevSelectedMap().empty()) << k.name;
        for (int r = 0; r < g.GetRowCount(); ++r)
            for (int c = 0; c < g.GetColumnCount(); ++c)
                EXPECT_EQ(0u, g.GetItemState(r, c) & (GRID_STATE_SELECTED | GRID_STATE_FOCUSED))
                    << k.name << " " << r << "," << c;
        const std::vector<GridNotice> lost = {{1, 1, GRID_NOTIFY_FOCUS_LOST}};
        EXPECT_EQ(lost, g.notices) << k.name;
        // A later selection is consistent again.
        g.SelectRange(2, 1, 2, 2);
        EXPECT_EQ(2u, g.SelectedMap().size()) << k.name;
    }
}

TEST(GridSort, HeaderClickOrder) {
    struct Step {
        int click;
        int sortCol;
        BOOL ascending;
    };
    // Same column twice: ascending then descending; another column after a
    // descending sort starts ascending.
    const Step steps[] = {{2, 2, TRUE}, {2, 2, FALSE}, {1, 1, TRUE}, {1, 1, FALSE}, {1, 1, TRUE}};
    int sortCol = -1;
    BOOL ascending = TRUE;
    for (const Step& s : steps) {
        GridNextSortOrder(s.click, &sortCol, &ascending);
        EXPECT_EQ(s.sortCol, sortCol) << "click " << s.click;
        EXPECT_EQ(s.ascending, ascending) << "click " << s.click;
    }
}

}  // namespace
