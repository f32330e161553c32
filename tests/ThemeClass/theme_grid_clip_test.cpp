// The grid's exchange text: the bytes of a copy, the splitting of pasted
// text (bounded by the block's size), paste and cut on the cells with their
// notifications, and the edit commands' enabled states.
#include "ThemeClass/ThemeGridClip.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "theme_grid_fixture.h"

namespace {

GridNotifyFn Recorder(FixtureGrid& g) {
    return [&g](int r, int c, int code) { g.Notify(r, c, code); };
}

std::string Lines(const GridPasteLines& lines) {
    std::string s;
    for (const auto& line : lines) {
        s += '[';
        for (size_t j = 0; j < line.size(); ++j) {
            if (j) s += '|';
            s += static_cast<LPCTSTR>(line[j]);
        }
        s += ']';
    }
    return s;
}

TEST(GridClip, CopyBlockBytes) {
    struct Case {
        const char* name;
        CThemeGridCellRange select;  // selected cells
        CThemeGridCellRange range;   // the range copied
        std::string bytes;
    };
    // Texts: row 1 "a" "b" "x", row 2 "c" "" "y", row 3 "d" "e" "f".
    const Case cases[] = {
        {"2x2 with an empty cell", {1, 1, 2, 2}, {1, 1, 2, 2}, std::string("a\tb\nc\t \0", 8)},
        {"one cell", {3, 3, 3, 3}, {3, 3, 3, 3}, std::string("f\0", 2)},
        {"unselected cells give nothing", {1, 1, 1, 1}, {1, 1, 2, 2},
         std::string("a\t\n\t\0", 5)},
        {"a row", {2, 1, 2, 3}, {2, 1, 2, 3}, std::string("c\t \ty\0", 6)},
        {"invalid range", {1, 1, 1, 1}, {2, 2, 1, 1}, std::string()},
    };
    for (const Case& k : cases) {
        FixtureGrid g(4, 4, 1, 1);
        g.Fill({{"", "", "", ""}, {"", "a", "b", "x"}, {"", "c", "", "y"}, {"", "d", "e", "f"}});
        g.SelectRange(k.select.GetMinRow(), k.select.GetMinCol(), k.select.GetMaxRow(),
                      k.select.GetMaxCol());
        EXPECT_EQ(k.bytes, GridCopyBlock(g, k.range)) << k.name;
    }
}

TEST(GridClip, SplitPasteText) {
    struct Case {
        const char* name;
        std::string text;
        const char* lines;
    };
    const Case cases[] = {
        {"comma and tab", "1,2\n3\t4", "[1|2][3|4]"},
        {"empty middle line clears a cell", "x\n\ny", "[x][ ][y]"},
        {"final newline adds nothing", "x\n", "[x]"},
        {"runs of separators and blanks", ",,\t a b \t,c\n", "[a b|c]"},
        {"CR LF lines", "p\tq\r\nr\r\n", "[p|q][r]"},
        {"stops at the zero byte", std::string("u\0v", 3), "[u]"},
        {"nothing", "", ""},
    };
    for (const Case& k : cases)
        EXPECT_EQ(k.lines, Lines(GridSplitPasteText(k.text.data(), k.text.size()))) << k.name;
}

// A block from another program without a terminating zero: the split stays
// inside the block (the sanitizer catches a read past it).
TEST(GridClip, UnterminatedBlockIsReadWithinItsSize) {
    const char src[] = "left\tright\nnext";
    const size_t n = sizeof(src) - 1;
    std::unique_ptr<char[]> block(new char[n]);
    std::memcpy(block.get(), src, n);
    EXPECT_EQ("[left|right][next]", Lines(GridSplitPasteText(block.get(), n)));
    EXPECT_EQ("[lef]", Lines(GridSplitPasteText(block.get(), 3)));
}

TEST(GridClip, PasteIntoCells) {
    struct Case {
        const char* name;
        std::string text;
        CThemeGridCellId start;
        std::vector<CThemeGridCellId> readOnly;
        BOOL result;
        std::vector<std::string> rows;  // rows 1..3, columns 1..3 joined by "|"
    };
    const Case cases[] = {
        {"two lines of two", "1,2\n3\t4", {1, 1}, {}, TRUE, {"1|2|o", "3|4|o", "o|o|o"}},
        {"empty line clears", "x\n\ny", {1, 1}, {}, TRUE, {"x|o|o", "|o|o", "y|o|o"}},
        {"stops at the last row and column", "a,b,c\nd,e,f\ng,h,i\nj", {2, 2}, {}, TRUE,
         {"o|o|o", "o|a|b", "o|d|e"}},
        {"read-only targets keep their text", "1,2\n3,4", {1, 1}, {{1, 2}, {2, 1}}, TRUE,
         {"1|o|o", "o|4|o", "o|o|o"}},
        {"read-only start pastes nothing", "1,2", {1, 1}, {{1, 1}}, FALSE,
         {"o|o|o", "o|o|o", "o|o|o"}},
        {"invalid start", "1", {9, 1}, {}, FALSE, {"o|o|o", "o|o|o", "o|o|o"}},
    };
    for (const Case& k : cases) {
        FixtureGrid g(4, 4, 1, 1);
        for (int r = 1; r < 4; ++r)
            for (int c = 1; c < 4; ++c) g.SetItemText(r, c, "o");
        for (const auto& id : k.readOnly) g.SetItemState(id.row, id.col, GRID_STATE_READONLY);
        const GridPasteLines lines = GridSplitPasteText(k.text.data(), k.text.size());
        EXPECT_EQ(k.result, GridPasteFields(g, k.start, lines, Recorder(g))) << k.name;
        for (int r = 1; r < 4; ++r)
            EXPECT_EQ(k.rows[r - 1], g.Text(r, 1) + "|" + g.Text(r, 2) + "|" + g.Text(r, 3))
                << k.name << " row " << r;
        for (const auto& id : k.readOnly) {
            EXPECT_FALSE(g.GetModified(id.row, id.col)) << k.name;
            for (const GridNotice& n : g.notices)
                EXPECT_FALSE(n.row == id.row && n.col == id.col) << k.name;
        }
    }
}

TEST(GridClip, PasteAnnouncesEachCellAndDropsItsSelection) {
    FixtureGrid g(3, 3, 1, 1);
    g.SelectRange(1, 1, 2, 2);
    const std::string text = "p,q";
    ASSERT_TRUE(GridPasteFields(g, {1, 1}, GridSplitPasteText(text.data(), text.size()),
                                Recorder(g)));
    const std::vector<GridNotice> want = {{1, 1, -105}, {1, 1, -106}, {1, 2, -105}, {1, 2, -106}};
    EXPECT_EQ(want, g.notices);
    EXPECT_TRUE(g.GetModified(1, 1));
    EXPECT_TRUE(g.GetModified());
    EXPECT_FALSE(g.IsCellSelected(1, 1));
    EXPECT_FALSE(g.GetItemState(1, 2) & GRID_STATE_SELECTED);
    EXPECT_TRUE(g.IsCellSelected(2, 1));
}

TEST(GridClip, Cut) {
    struct Case {
        const char* name;
        BOOL editable;
        bool readOnlyCell;  // (1, 2) read-only
        int cut;
        const char* row1;
    };
    const Case cases[] = {
        {"editable grid", TRUE, false, 2, "|"},
        {"read-only cell stays", TRUE, true, 1, "|b"},
        {"grid not editable", FALSE, false, 0, "a|b"},
    };
    for (const Case& k : cases) {
        FixtureGrid g(3, 3, 1, 1);
        g.Fill({{"", "", ""}, {"", "a", "b"}, {"", "c", "d"}});
        if (k.readOnlyCell) g.SetItemState(1, 2, GRID_STATE_READONLY);
        g.SelectRange(1, 1, 1, 2);
        g.SetEditable(k.editable);
        const std::string copied = GridCopyBlock(g, g.GetSelectionRange());
        EXPECT_EQ(std::string("a\tb\0", 4), copied) << k.name << ": copy works regardless";
        EXPECT_EQ(k.cut, GridCutCells(g, Recorder(g))) << k.name;
        EXPECT_EQ(k.row1, g.Text(1, 1) + "|" + g.Text(1, 2)) << k.name;
        EXPECT_EQ(static_cast<size_t>(2 * k.cut), g.notices.size()) << k.name;
        EXPECT_EQ(k.cut > 0, g.GetModified(1, 1) != FALSE) << k.name;
        // Emptied cells leave the selection; the map matches the bits.
        EXPECT_EQ(static_cast<size_t>(2 - k.cut), g.SelectedMap().size()) << k.name;
    }
}

TEST(GridClip, EditCommandStates) {
    struct Case {
        const char* name;
        bool select, focus, editable, readOnlyFocus, selection, clip;
        BOOL copy, cut, paste, all;
    };
    const Case cases[] = {
        {"selection, focus, text", true, true, true, false, true, true, 1, 1, 1, 1},
        {"nothing selected", false, true, true, false, true, true, 0, 0, 1, 1},
        {"grid not editable", true, true, false, false, true, true, 1, 0, 0, 1},
        {"no focus", true, false, true, false, true, true, 1, 1, 0, 1},
        {"read-only focus", true, true, true, true, true, true, 1, 1, 0, 1},
        {"clipboard without text", true, true, true, false, true, false, 1, 1, 0, 1},
        {"selection disabled", false, true, true, false, false, true, 0, 0, 1, 0},
    };
    for (const Case& k : cases) {
        FixtureGrid g(4, 4, 1, 1);
        if (k.select) g.SelectRange(1, 1, 2, 2);
        if (k.focus) g.SetFocusCell(2, 2);
        if (k.readOnlyFocus) g.SetItemState(2, 2, g.GetItemState(2, 2) | GRID_STATE_READONLY);
        g.SetEditable(k.editable);
        g.EnableSelection(k.selection);
        EXPECT_EQ(k.copy, GridEditCommandEnabled(g, GRID_CMD_COPY, k.clip)) << k.name;
        EXPECT_EQ(k.cut, GridEditCommandEnabled(g, GRID_CMD_CUT, k.clip)) << k.name;
        EXPECT_EQ(k.paste, GridEditCommandEnabled(g, GRID_CMD_PASTE, k.clip)) << k.name;
        EXPECT_EQ(k.all, GridEditCommandEnabled(g, GRID_CMD_SELECT_ALL, k.clip)) << k.name;
    }
}

}  // namespace
